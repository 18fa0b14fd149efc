// The set's base, the hidden-window timer, the tray icon, the single-instance guard and the unit's
// start-up and shut-down. The other components live in abfComponents*.cpp.
#include "abfComponents.h"

#include "Dialogs.h"

#include <cstddef>
#include <cstring>

UINT WM_TASKBARCREATED = 0;
HANDLE abfOneInstanceMutex = nullptr;

void TabfComponent::DefineClass(TClassBuilder<TabfComponent>& B) {
    B.Property("About", &TabfComponent::About, &TabfComponent::SetAbout);
}

// ---------------------------------------------------------------------------------------------
// TabfCustomTimer

TabfCustomTimer::TabfCustomTimer(TComponent* AOwner) : TabfComponent(AOwner) {}

HWND TabfCustomTimer::WindowHandle() {
    // Made when first needed: a hidden top-level window is one of the dearer things a form makes
    // while it is read, and the program's tray icon needs its window only once the icon is shown.
    if (!FWindowHandle)
        FWindowHandle = AllocateHWnd(TWndMethod::Bind<&TabfCustomTimer::WndProc>(this));
    return FWindowHandle;
}

TabfCustomTimer::~TabfCustomTimer() {
    if (FWindowHandle) {
        KillTimer(FWindowHandle, 1);
        DeallocateHWnd(FWindowHandle);
    }
}

void TabfCustomTimer::BeforeDestruction() {
    FEnabled = false;
    UpdateTimer();
    TabfComponent::BeforeDestruction();
}

void TabfCustomTimer::UpdateTimer() {
    if (FWindowHandle)
        KillTimer(FWindowHandle, 1);
    if (FInterval != 0 && FEnabled && FOnTimer)
        if (!SetTimer(WindowHandle(), 1, FInterval, nullptr))
            throw EOutOfResources(SysConsts::SNoTimers);
}

void TabfCustomTimer::SetEnabled(bool Value) {
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TabfCustomTimer::SetInterval(Cardinal Value) {
    if (FInterval == Value)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TabfCustomTimer::SetOnTimer(const TNotifyEvent& Value) {
    FOnTimer = Value;
    UpdateTimer();
}

void TabfCustomTimer::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        try {
            DoTimer();
        } catch (...) {
            HandleWndException(this);
        }
        return;
    }
    Message.Result = DefWindowProcA(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TabfCustomTimer::DoTimer() { FOnTimer(this); }

// ---------------------------------------------------------------------------------------------
// TabfTrayIcon

namespace {
// The record with balloon fields (488 bytes in 32 bits), and the older shell's record (88).
constexpr DWORD LongIconDataSize = offsetof(NOTIFYICONDATAA, guidItem);
constexpr DWORD ShortIconDataSize = offsetof(NOTIFYICONDATAA, szTip) + 64;  // its tip held 64 characters
}  // namespace

TabfTrayIcon::TabfTrayIcon(TComponent* AOwner) : TabfCustomTimer(AOwner) {
    FIcon = Create<TIcon>();
    FChangeLink = Create<TChangeLink>();
    FChangeLink->OnChange = TNotifyEvent::Bind<&TabfTrayIcon::ImageListChanged>(this);
    // The timer runs only while OnTimer is assigned; the tick's work is DoTimer's. Cycling is off
    // before the handler comes, so no timer (and no window for it) is made only to be stopped.
    SetCycleIcons(false);
    SetCycleInterval(200);
    if (!Designing())
        SetOnTimer(TNotifyEvent::Bind<&TabfTrayIcon::CycleTick>(this));
    HookApplication();
}

TabfTrayIcon::~TabfTrayIcon() {
    UnhookApplication();
    FreeAndNil(FChangeLink);
    FreeAndNil(FIcon);
}

void TabfTrayIcon::BeforeDestruction() {
    // Only the icon goes: restoring the application here would show the windows of a program that
    // is ending (or of a refused second copy).
    if (FVisible || FVisibleOnDesigning) {
        try {
            DeleteFromTray();
        } catch (...) {
        }
        FVisible = FVisibleOnDesigning = false;
    }
    UnhookApplication();
    TabfCustomTimer::BeforeDestruction();
}

void TabfTrayIcon::DefineClass(TClassBuilder<TabfTrayIcon>& B) {
    using T = TabfTrayIcon;
    B.Property("CycleIcons", &T::CycleIcons, &T::SetCycleIcons).Default(false);
    B.Property("CycleInterval", &T::CycleInterval, &T::SetCycleInterval).Default(200);
    B.Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true);
    B.Property("Hint", &T::Hint, &T::SetHint);
    B.Property("Icon", &T::Icon, &T::SetIcon).Stored(&T::IconStored);
    B.Property("ImageList", &T::ImageList, &T::SetImageList);
    B.Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex).Default(0);
    B.Property("IconID", &T::IconID, &T::SetIconID).Default(0);
    B.Property("MinimizeToTray", &T::MinimizeToTray, &T::SetMinimizeToTray).Default(false);
    B.Property("MinimizeOnStart", &T::MinimizeOnStart, &T::SetMinimizeOnStart).Default(false);
    B.Property("PopupMenu", &T::PopupMenu, &T::SetPopupMenu);
    B.Property("PopupByLeft", &T::PopupByLeft, &T::SetPopupByLeft).Default(false);
    B.Property("ShowHint", &T::ShowHint, &T::SetShowHint).Default(true);
    B.Property("Visible", &T::Visible, &T::SetVisible).Default(false);
    B.Property("VisibleOnDesigning", &T::VisibleOnDesigning, &T::SetVisibleOnDesigning).Default(false);
    B.Property("InfoText", &T::InfoText, &T::SetInfoText);
    B.Property("InfoTitle", &T::InfoTitle, &T::SetInfoTitle);
    B.Property("InfoTimeout", &T::InfoTimeout, &T::SetInfoTimeout).Default(10000);
    B.Property("InfoType", &T::InfoType, &T::SetInfoType).Default(tiiNone);
    B.Property("OnMinimize", &T::OnMinimize, &T::OnMinimize);
    B.Property("OnMouseMove", &T::OnMouseMove, &T::OnMouseMove);
    B.Property("OnMouseDown", &T::OnMouseDown, &T::OnMouseDown);
    B.Property("OnMouseUp", &T::OnMouseUp, &T::OnMouseUp);
    B.Property("OnClick", &T::OnClick, &T::OnClick);
    B.Property("OnDblClick", &T::OnDblClick, &T::OnDblClick);
    B.Property("OnPopupMenu", &T::OnPopupMenu, &T::OnPopupMenu);
    B.Property("OnShow", &T::OnShow, &T::OnShow);
    B.Property("OnHide", &T::OnHide, &T::OnHide);
    B.Property("OnCycleIcons", &T::OnCycleIcons, &T::OnCycleIcons);
}

void TabfTrayIcon::SetHint(const std::string& Value) {
    if (FHint == Value)
        return;
    FHint = Value.size() >= 64 ? Value.substr(0, 63) : Value;
    UpdateIcon();
}

TIcon* TabfTrayIcon::Icon() const {
    TakeListIcon();
    return FIcon;
}

void TabfTrayIcon::SetIcon(TIcon* Value) {
    FListIconDue = false;
    FIcon->Assign(Value);
    UpdateIcon();
}

void TabfTrayIcon::SetIconID(int Value) {
    if (FIconID == Value)
        return;
    // The shell knows the icon by its id: a shown icon moves from the old id to the new one.
    bool Shown = FVisible && !Designing();
    if (Shown)
        DeleteFromTray();
    FIconID = Value;
    if (Shown)
        InsertToTray();
}

void TabfTrayIcon::SetImageList(TCustomImageList* Value) {
    TakeListIcon();  // an image still due comes from the list it was set from
    if (SetImageListOf(this, FImageList, Value, FChangeLink))
        UpdateIconFromImageList();
}

void TabfTrayIcon::SetImageIndex(int Value) {
    FImageIndex = Value;
    UpdateIconFromImageList();
}

void TabfTrayIcon::SetShowHint(bool Value) {
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    UpdateIcon();
}

void TabfTrayIcon::SetPopupMenu(TPopupMenu* Value) { abfSetReference(this, FPopupMenu, Value); }

void TabfTrayIcon::SetVisible(bool Value) {
    if (FVisible == Value)
        return;
    FVisible = Value;
    if (!Designing())
        Value ? ShowIcon() : HideIcon();
}

void TabfTrayIcon::SetVisibleOnDesigning(bool Value) {
    if (FVisibleOnDesigning == Value)
        return;
    FVisibleOnDesigning = Value;
    if (Designing())
        Value ? ShowIcon() : HideIcon();
}

void TabfTrayIcon::FillIconData() {
    std::size_t TipLimit = IsNewShell ? 127 : 63;
    TakeListIcon();
    FIconData = NOTIFYICONDATAA{};
    FIconData.cbSize = IsNewShell ? LongIconDataSize : ShortIconDataSize;
    FIconData.hWnd = WindowHandle();
    FIconData.uID = static_cast<UINT>(FIconID);
    FIconData.uFlags = FIconFlags;
    FIconData.uCallbackMessage = WM_ABF_TRAYNOTIFY;
    FIconData.hIcon = FIcon->Empty() ? nullptr : FIcon->Handle();
    if (FShowHint)
        std::memcpy(FIconData.szTip, FHint.data(), std::min(FHint.size(), TipLimit));
}

void TabfTrayIcon::ShellRequest(DWORD Message, const char* FailureFormat) {
    try {
        FillIconData();
        Shell_NotifyIconA(Message, &FIconData);  // a refusal (an icon already there or gone) is harmless
    } catch (...) {
        throw EabfTrayIcon(FailureFormat, {Name()});
    }
}

void TabfTrayIcon::InsertToTray() { ShellRequest(NIM_ADD, "%s.InsertToTray failed"); }

void TabfTrayIcon::DeleteFromTray() { ShellRequest(NIM_DELETE, "%s.DeleteFromTray failed"); }

void TabfTrayIcon::UpdateIcon() {
    // Only an icon in the tray is asked for: the shell refuses any other, and its answer crosses to
    // the tray's process, which a program reading its windows would wait for at every property.
    if (Designing() ? !FVisibleOnDesigning : !FVisible)
        return;
    FillIconData();
    Shell_NotifyIconA(NIM_MODIFY, &FIconData);
}

void TabfTrayIcon::ShowIcon() {
    FIconFlags |= NIF_ICON;
    InsertToTray();
    if (Designing())
        FVisibleOnDesigning = true;
    else
        FVisible = true;
    OnShow(this);
}

void TabfTrayIcon::HideIcon() {
    FIconFlags &= ~static_cast<UINT>(NIF_ICON);
    DeleteFromTray();
    if (Designing())
        FVisibleOnDesigning = false;
    else
        FVisible = false;
    OnHide(this);
    if (FMinimizeToTray)
        RestoreApplication();
    if (TWinControl* C = OwnerControl(); C && !C->Visible())
        C->SetVisible(true);
}

void TabfTrayIcon::OwnerToForeground() {
    if (TWinControl* C = OwnerControl())
        SetForegroundWindow(C->Handle());
}

void TabfTrayIcon::ShowPopupMenu() {
    if (!FPopupMenu || !FPopupMenu->AutoPopup())
        return;
    POINT P{};
    GetCursorPos(&P);
    if (Application)
        Application->ProcessMessages();
    OwnerToForeground();
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(P.x, P.y);
    // The system needs a message after a menu shown for a background window, or the menu's
    // window does not close when the user clicks elsewhere.
    if (TWinControl* C = OwnerControl())
        PostMessageA(C->Handle(), WM_NULL, 0, 0);
    OnPopupMenu(this);
}

void TabfTrayIcon::RestoreApplication() { ShowApplication(); }

void TabfTrayIcon::MinimizeApplication() { HideApplication(); }

void TabfTrayIcon::ShowBalloon() {
    if (!IsNewShell)
        return;
    FillIconData();
    FIconData.dwInfoFlags = static_cast<DWORD>(FInfoType);
    FIconData.uFlags = NIF_INFO;
    FIconData.uTimeout = static_cast<UINT>(FInfoTimeout);
    std::memcpy(FIconData.szInfo, FInfoText.data(), std::min<std::size_t>(FInfoText.size(), 255));
    std::memcpy(FIconData.szInfoTitle, FInfoTitle.data(), std::min<std::size_t>(FInfoTitle.size(), 63));
    Shell_NotifyIconA(NIM_MODIFY, &FIconData);
}

void TabfTrayIcon::UpdateIconFromImageList() {
    if (!FImageList)
        return;
    // The icon is made from the list when it is asked for or goes to the shell: while a window is
    // read, its list is set and changes before the icon is in the tray, and every icon made from
    // it then would be thrown away.
    FListIconDue = true;
    UpdateIcon();
}

void TabfTrayIcon::TakeListIcon() const {
    if (!FListIconDue)
        return;
    FListIconDue = false;
    FIcon->Assign(nullptr);
    if (FImageList)
        FImageList->GetIcon(FImageIndex, FIcon);
}

void TabfTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
    TabfCustomTimer::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FPopupMenu)
        FPopupMenu = nullptr;
    if (AComponent == FImageList)
        SetImageList(nullptr);
}

void TabfTrayIcon::Loaded() {
    TabfCustomTimer::Loaded();
    if (FMinimizeOnStart && !Designing()) {
        if (Application)
            Application->ShowMainForm = false;
        DoMinimize();
    }
    if ((FVisible && !Designing()) || (FVisibleOnDesigning && Designing()))
        ShowIcon();
}

void TabfTrayIcon::DoTimer() {
    if (FImageList)
        SetImageIndex(FImageIndex >= FImageList->Count() - 1 ? 0 : FImageIndex + 1);
    OnCycleIcons(this);
}

void TabfTrayIcon::CycleTick(TObject*) {}

void TabfTrayIcon::TaskbarRestarted() {
    DeleteFromTray();
    InsertToTray();
}

void TabfTrayIcon::WndProc(TMessage& Message) {
    if (Message.Msg == WM_ABF_TRAYNOTIFY) {
        if (Designing() || !FEnabled)
            return;
        POINT P{};
        GetCursorPos(&P);
        TShiftState Shift = GetShiftState();
        switch (Message.LParam) {
        case WM_MOUSEMOVE:
            GetCursorPos(&P);
            DoMouseMove(Shift, P.x, P.y);
            break;
        case WM_LBUTTONDOWN:
            DoMouseDown(mbLeft, Shift + TShiftState{ssLeft}, P.x, P.y);
            FClickPending = true;
            break;
        case WM_LBUTTONUP:
            DoMouseUp(mbLeft, Shift + TShiftState{ssLeft}, P.x, P.y);
            if (FClickPending)
                DoClick();
            if (FPopupByLeft)
                ShowPopupMenu();
            FClickPending = false;
            break;
        case WM_LBUTTONDBLCLK: DoDblClick(); break;
        case WM_RBUTTONDOWN: DoMouseDown(mbRight, Shift + TShiftState{ssRight}, P.x, P.y); break;
        case WM_RBUTTONUP:
            DoMouseUp(mbRight, Shift + TShiftState{ssRight}, P.x, P.y);
            ShowPopupMenu();
            break;
        case WM_MBUTTONDOWN: DoMouseDown(mbMiddle, Shift + TShiftState{ssMiddle}, P.x, P.y); break;
        case WM_MBUTTONUP: DoMouseUp(mbMiddle, Shift + TShiftState{ssMiddle}, P.x, P.y); break;
        default: TabfCustomTimer::WndProc(Message);
        }
        return;
    }
    if (Message.Msg == WM_QUERYENDSESSION) {
        Message.Result = 1;
        return;
    }
    if (WM_TASKBARCREATED != 0 && Message.Msg == WM_TASKBARCREATED && FVisible)
        TaskbarRestarted();
    TabfCustomTimer::WndProc(Message);
}

void TabfTrayIcon::HookApplication() {
    if (Designing() || !Application || !Application->Handle())
        return;
    HWND W = Application->Handle();
    FOldAppWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(W, GWLP_WNDPROC));
    FAppWndProcInstance = MakeObjectInstance(TWndMethod::Bind<&TabfTrayIcon::AppWndProc>(this));
    SetWindowLongPtrA(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FAppWndProcInstance));
}

void TabfTrayIcon::UnhookApplication() {
    if (FOldAppWndProc && Application && IsWindow(Application->Handle()))
        SetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldAppWndProc));
    FreeObjectInstance(FAppWndProcInstance);
    FAppWndProcInstance = nullptr;
    FOldAppWndProc = nullptr;
}

void TabfTrayIcon::AppWndProc(TMessage& Message) {
    if (Message.Msg == WM_SIZE && Message.WParam == SIZE_MINIMIZED && FMinimizeToTray)
        DoMinimize();
    Message.Result = CallWindowProcA(FOldAppWndProc, Application->Handle(), Message.Msg, Message.WParam, Message.LParam);
}

void TabfTrayIcon::DoMouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }

void TabfTrayIcon::DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    OnMouseDown(this, Button, Shift, X, Y);
}

void TabfTrayIcon::DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    OwnerToForeground();
    OnMouseUp(this, Button, Shift, X, Y);
}

void TabfTrayIcon::DoClick() { OnClick(this); }

void TabfTrayIcon::DoDblClick() {
    if (FPopupMenu && FPopupMenu->AutoPopup() && !FPopupByLeft) {
        TMenuItem* Items = FPopupMenu->Items();
        for (int I = 0; I < Items->Count(); ++I)
            if (Items->Items(I)->Default()) {
                Items->Items(I)->Click();
                OnDblClick(this);
                OwnerToForeground();
                return;
            }
    }
    if (Designing())
        return;
    if (TWinControl* C = OwnerControl()) {
        if (FMinimizeToTray && C->Visible())
            MinimizeApplication();
        else
            RestoreApplication();
    }
    OnDblClick(this);
}

void TabfTrayIcon::DoMinimize() {
    if (Designing())
        return;
    MinimizeApplication();
    SetVisible(true);
    OnMinimize(this);
}

// ---------------------------------------------------------------------------------------------
// TabfOneInstance

void TabfOneInstance::DefineClass(TClassBuilder<TabfOneInstance>& B) {
    using T = TabfOneInstance;
    B.Property("ActivatePrevInstance", &T::ActivatePrevInstance, &T::SetActivatePrevInstance).Default(true);
    B.Property("Message", &T::Message, &T::SetMessage);
    B.Property("ShowMessage", &T::ShowMessage, &T::SetShowMessage).Default(false);
    B.Property("OnShowMessage", &T::OnShowMessage, &T::OnShowMessage);
}

void TabfOneInstance::Loaded() {
    TabfComponent::Loaded();
    CheckInstance();
}

void TabfOneInstance::CheckInstance() {
    if (AnotherInstanceRunning())
        DoAlreadyRunning();
}

bool TabfOneInstance::AnotherInstanceRunning() {
    if (Designing())
        return false;
    std::string Title = Application ? Application->Title() : std::string();
    // Any error counts, so it must not be one left over from an earlier call.
    SetLastError(ERROR_SUCCESS);
    HANDLE Section = CreateMutexA(nullptr, TRUE, (Title + abfOneInstanceCriticalSectionSuffix).c_str());
    if (GetLastError() != ERROR_SUCCESS || !Section)
        return true;  // a copy starting at the same moment holds it; our handle stays open
    if (abfOneInstanceMutex) {
        ReleaseMutex(abfOneInstanceMutex);
        CloseHandle(abfOneInstanceMutex);
    }
    abfOneInstanceMutex = CreateMutexA(nullptr, FALSE, (Title + abfOneInstanceDefaultSuffix).c_str());
    DWORD Wait = WaitForSingleObject(abfOneInstanceMutex, 0);
    ReleaseMutex(Section);
    CloseHandle(Section);
    // An abandoned mutex (a copy that died) or a failed wait does not stop this copy.
    return Wait == WAIT_TIMEOUT;
}

void TabfOneInstance::DoAlreadyRunning() {
    bool Terminate = true;
    std::string Title = Application ? Application->Title() : std::string();
    bool ShowMainForm = Application ? Application->ShowMainForm : true;
    if (Application)
        Application->ShowMainForm = false;
    if (FShowMessage) {
        if (OnShowMessage)
            OnShowMessage(this, Terminate);
        else {
            std::string Text = !FMessage.empty() ? FMessage : Format("Application \"%s\" is already running.", {Title});
            MessagePresenter().MessageBox(Application ? Application->Handle() : nullptr, Text, Title,
                                          MB_OK | MB_ICONEXCLAMATION);
        }
    }
    if (FActivatePrevInstance)
        ActivatePreviousInstance();
    if (!Application)
        return;
    if (Terminate)
        Application->Terminate();
    else
        Application->ShowMainForm = ShowMainForm;
}

// ---------------------------------------------------------------------------------------------
// Unit start-up and shut-down

void abfComponentsInitialization() {
    abfOneInstanceMutex = nullptr;
    WM_TASKBARCREATED = RegisterWindowMessageA("TaskbarCreated");
    RegisterClassesSafe({TabfComponent::StaticClass(), TabfCustomThreadComponent::StaticClass(),
                         TabfCustomTimer::StaticClass(), TabfCustomThreadTimer::StaticClass(),
                         TabfCustomWndProcHook::StaticClass(), TabfCustomFileStorage::StaticClass(),
                         TabfAutoRun::StaticClass(), TabfOneInstance::StaticClass(), TabfShutdown::StaticClass(),
                         TabfTrayIcon::StaticClass(), TabfWndProcHook::StaticClass(), TabfFileStorage::StaticClass(),
                         TabfWav::StaticClass(), TabfThreadComponent::StaticClass(), TabfThreadTimer::StaticClass(),
                         TabfFileOperation::StaticClass(), TabfFileAssociation::StaticClass(),
                         TabfCustomFolderMonitor::StaticClass(), TabfFolderMonitor::StaticClass(),
                         TabfCustomRegistryMonitor::StaticClass(), TabfRegistryMonitor::StaticClass(),
                         TabfStartButtonProperties::StaticClass(), TabfColorPicker::StaticClass()});
}

void abfComponentsFinalization() {
    FreeAndNil(abfWndProcHookList);
    if (abfOneInstanceMutex) {
        // A copy that does not own it (a refused second one) fails here, harmlessly.
        ReleaseMutex(abfOneInstanceMutex);
        CloseHandle(abfOneInstanceMutex);
        abfOneInstanceMutex = nullptr;
    }
}
