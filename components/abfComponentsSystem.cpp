// The start button's properties, the colour picker, autorun and shutdown.
#include "abfComponents.h"

// ---------------------------------------------------------------------------------------------
// TabfStartButtonProperties

TabfStartButtonProperties::TabfStartButtonProperties(TComponent* AOwner) : TabfComponent(AOwner) {
    HWND Taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    FHandle = Taskbar ? FindWindowExA(Taskbar, nullptr, "Button", nullptr) : nullptr;
    ReadPlacement();
}

void TabfStartButtonProperties::DefineClass(TClassBuilder<TabfStartButtonProperties>& B) {
    using T = TabfStartButtonProperties;
    B.Property("ButtonLeft", &T::ButtonLeft, &T::SetButtonLeft).Stored(false);
    B.Property("ButtonTop", &T::ButtonTop, &T::SetButtonTop).Stored(false);
    B.Property("ButtonWidth", &T::ButtonWidth, &T::SetButtonWidth).Stored(false);
    B.Property("ButtonHeight", &T::ButtonHeight, &T::SetButtonHeight).Stored(false);
    B.Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true);
    B.Property("Visible", &T::Visible, &T::SetVisible).Default(true);
}

void TabfStartButtonProperties::ReadPlacement() {
    WINDOWPLACEMENT P{};
    P.length = sizeof P;
    if (!FHandle || !GetWindowPlacement(FHandle, &P)) {
        FLeft = FTop = FWidth = FHeight = 0;
        return;
    }
    FLeft = P.rcNormalPosition.left;
    FTop = P.rcNormalPosition.top;
    FWidth = P.rcNormalPosition.right - P.rcNormalPosition.left;
    FHeight = P.rcNormalPosition.bottom - P.rcNormalPosition.top;
}

void TabfStartButtonProperties::SetPlacement(int Left, int Top, int Width, int Height) {
    if (Left == FLeft && Top == FTop && Width == FWidth && Height == FHeight)
        return;
    if (FHandle)
        SetWindowPos(FHandle, nullptr, Left, Top, Width, Height, SWP_NOACTIVATE | SWP_NOZORDER);
}

int TabfStartButtonProperties::ButtonLeft() {
    ReadPlacement();
    return FLeft;
}

int TabfStartButtonProperties::ButtonTop() {
    ReadPlacement();
    return FTop;
}

int TabfStartButtonProperties::ButtonWidth() {
    ReadPlacement();
    return FWidth;
}

int TabfStartButtonProperties::ButtonHeight() {
    ReadPlacement();
    return FHeight;
}

void TabfStartButtonProperties::SetEnabled(bool Value) {
    if (FHandle)
        EnableWindow(FHandle, Value);
}

void TabfStartButtonProperties::SetVisible(bool Value) {
    if (FHandle)
        ShowWindow(FHandle, Value ? SW_SHOWNORMAL : SW_HIDE);
}

// ---------------------------------------------------------------------------------------------
// TabfColorPicker

TabfColorPicker::TabfColorPicker(TComponent* AOwner) : TabfCustomTimer(AOwner) { SetInterval(100); }

void TabfColorPicker::DefineClass(TClassBuilder<TabfColorPicker>& B) {
    using T = TabfColorPicker;
    B.Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true);
    B.Property("Interval", &T::Interval, &T::SetInterval).Default(100);
    B.Property("OnTimer", &T::OnTimer, &T::SetOnTimer);
}

void TabfColorPicker::DoTimer() {
    TabfCustomTimer::DoTimer();
    UpdateCursor();
}

TColor TabfColorPicker::GetColor() { return PixelColorUnderCursor(); }

void TabfColorPicker::SetCursor(TCursor Index) {
    if (FCursor == Index)
        return;
    FCursor = Index;
    UpdateCursor();
}

void TabfColorPicker::UpdateCursor() {
    // While it runs, the picker shows the cursor of its index on every tick.
    if (FCursor == 0 || !Screen)
        return;
    if (HCURSOR C = Screen->Cursors(FCursor))
        ::SetCursor(C);
}

// ---------------------------------------------------------------------------------------------
// TabfAutoRun

TabfAutoRun::TabfAutoRun(TComponent* AOwner) : TabfComponent(AOwner) {
    if (!Designing())
        FFileName = ProgramFileName();
}

void TabfAutoRun::DefineClass(TClassBuilder<TabfAutoRun>& B) {
    using T = TabfAutoRun;
    B.Property("AutoRun", &T::AutoRun, &T::SetAutoRun).Default(false);
    B.Property("FileName", &T::FileName, &T::SetFileName);
    B.Property("Kind", &T::Kind, &T::SetKind).Default(aekMachineRun);
}

void TabfAutoRun::Loaded() {
    TabfComponent::Loaded();
    Apply();
}

void TabfAutoRun::Apply() {
    if (Designing() || Loading())
        return;
    Unregister();
    if (FAutoRun)
        RegisterAutoExec(FKind, FFileName);
}

void TabfAutoRun::Unregister() {
    if (Designing() || Loading())
        return;
    UnregisterAutoExec(FKind, FFileName);
}

// ---------------------------------------------------------------------------------------------
// TabfShutdown

void TabfShutdown::DefineClass(TClassBuilder<TabfShutdown>& B) {
    using T = TabfShutdown;
    B.Property("ActionType", &T::ActionType, &T::SetActionType).Default(aatPowerOff);
    B.Property("Force", &T::Force, &T::SetForce).Default(false);
    B.Property("OnQueryShutdown", &T::OnQueryShutdown, &T::OnQueryShutdown);
}

void TabfShutdown::DoQueryShutdown(bool& CanShutdown) { OnQueryShutdown(this, CanShutdown); }

namespace {
// The shutdown privilege in the process's token; false when any step fails.
bool EnableShutdownPrivilege() {
    HANDLE Process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId());
    if (!Process)
        return false;
    HANDLE Token = nullptr;
    BOOL Opened = OpenProcessToken(Process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &Token);
    CloseHandle(Process);
    if (!Opened)
        return false;
    TOKEN_PRIVILEGES P{};
    P.PrivilegeCount = 1;
    P.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool Ok = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &P.Privileges[0].Luid) &&
              AdjustTokenPrivileges(Token, FALSE, &P, 0, nullptr, nullptr);
    CloseHandle(Token);
    return Ok;
}
}  // namespace

bool TabfShutdown::Execute() {
    if (IsWinNT && !EnableShutdownPrivilege())
        return false;
    bool CanShutdown = true;
    DoQueryShutdown(CanShutdown);
    if (!CanShutdown)
        return false;
    UINT Force = FForce ? EWX_FORCE : 0;
    switch (FActionType) {
    case aatPowerOff: return ExitWindowsEx(EWX_POWEROFF | Force, 0) != 0;
    case aatShutdown: return ExitWindowsEx(EWX_SHUTDOWN | Force, 0) != 0;
    case aatReboot: return ExitWindowsEx(EWX_REBOOT | Force, 0) != 0;
    case aatLogOff: return ExitWindowsEx(EWX_LOGOFF | Force, 0) != 0;
    case aatSuspend: return SetSystemPowerState(TRUE, FForce) != 0;
    case aatHibernate: return SetSystemPowerState(FALSE, FForce) != 0;
    }
    return false;
}
