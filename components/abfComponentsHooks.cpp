// Window-procedure hooks: every active hook of one window is a link of one chain, rebuilt from the
// process-wide list whenever a hook of that window is switched on or off.
#include "abfComponents.h"

#include <vector>

TabfWndProcHookList* abfWndProcHookList = nullptr;

namespace {
const HWND NoWindow = reinterpret_cast<HWND>(-1);

bool IsRealWindow(HWND W) { return W && W != NoWindow; }
}  // namespace

// Builds the chain of Window anew from the active hooks in list order. Leaving (switched off now, or
// null) still counts when the chain's base procedure is looked for: when it was the first link, the
// procedure it saved is the window's own one.
void abfRebuildHookChain(HWND Window, TabfCustomWndProcHook* Leaving) {
    std::vector<TabfCustomWndProcHook*> Chain;
    WNDPROC Base = nullptr;
    if (abfWndProcHookList)
        for (int I = 0; I < abfWndProcHookList->Count(); ++I) {
            auto* H = static_cast<TabfCustomWndProcHook*>(abfWndProcHookList->Items(I));
            if (!H->FChained || H->FChainWindow != Window)
                continue;
            if (!Base)
                Base = H->FPrevWndProc;
            if (H != Leaving)
                Chain.push_back(H);
        }
    if (!Base)
        Base = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Window, GWLP_WNDPROC));
    if (Leaving) {
        Leaving->FChained = false;
        Leaving->FChainWindow = nullptr;
    }
    WNDPROC Prev = Base;
    for (TabfCustomWndProcHook* H : Chain) {
        H->FPrevWndProc = Prev;
        Prev = H->FInstance;
    }
    SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Prev));
}

TabfCustomWndProcHook::TabfCustomWndProcHook(TComponent* AOwner) : TabfComponent(AOwner) {
    if (!abfWndProcHookList)
        abfWndProcHookList = Create<TabfWndProcHookList>();
    abfWndProcHookList->Add(this);
}

TabfCustomWndProcHook::~TabfCustomWndProcHook() {
    if (FActive)
        Unhook();
    FreeObjectInstance(FInstance);
    if (!abfWndProcHookList)
        return;
    abfWndProcHookList->Remove(this);
    if (abfWndProcHookList->Count() == 0)
        FreeAndNil(abfWndProcHookList);
}

void TabfCustomWndProcHook::BeforeDestruction() {
    SetActive(false);
    TabfComponent::BeforeDestruction();
}

void TabfCustomWndProcHook::Loaded() {
    TabfComponent::Loaded();
    if (FActive)
        Hook();
}

void TabfCustomWndProcHook::Notification(TComponent* AComponent, TOperation Operation) {
    TabfComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FWinControl)
        SetWinControl(nullptr);
    if (AComponent == this)
        SetActive(false);
}

void TabfCustomWndProcHook::SetActive(bool Value) {
    if (FActive == Value)
        return;
    Value ? Hook() : Unhook();
}

void TabfCustomWndProcHook::Hook() {
    if (!Designing() && !Loading()) {
        HWND W = GetHandle();
        if (IsRealWindow(W) && !FChained) {
            if (!FInstance)
                FInstance = MakeObjectInstance(TWndMethod::Bind<&TabfCustomWndProcHook::WndProc>(this));
            FChained = true;
            FChainWindow = W;
            FPrevWndProc = nullptr;
            abfRebuildHookChain(W, nullptr);
        }
    }
    FActive = true;
}

void TabfCustomWndProcHook::Unhook() {
    if (FChained) {
        HWND W = FChainWindow;
        if (IsWindow(W))
            abfRebuildHookChain(W, this);
        FChained = false;
        FChainWindow = nullptr;
    }
    FPrevWndProc = nullptr;
    FActive = false;
}

template <class F>
void TabfCustomWndProcHook::SwitchedOff(F Change) {
    bool WasActive = FActive;
    SetActive(false);
    try {
        Change();
    } catch (...) {
        SetActive(WasActive);
        throw;
    }
    SetActive(WasActive);
}

HWND TabfCustomWndProcHook::GetHandle() {
    if (FHandle && FHandle != NoWindow)
        return FHandle;
    TWinControl* C = GetWinControl();
    if (!C)
        return NoWindow;
    TComponentState S = C->ComponentState();
    if (!C->HandleAllocated() && (S.Contains(csReading) || S.Contains(csDestroying)))
        return NoWindow;
    return C->Handle();
}

void TabfCustomWndProcHook::SetHandle(HWND Value) {
    if (FHandle == Value)
        return;
    SwitchedOff([&] { FHandle = Value; });
    OnChangeHandle(this);
}

TWinControl* TabfCustomWndProcHook::GetWinControl() {
    return FWinControl ? FWinControl : DynCast<TWinControl>(Owner());
}

void TabfCustomWndProcHook::SetWinControl(TWinControl* Value) {
    if (FWinControl == Value)
        return;
    SwitchedOff([&] { abfSetReference<TWinControl>(this, FWinControl, Value); });
    OnChangeWinControl(this);
}

void TabfCustomWndProcHook::WndProc(TMessage& Message) {
    HWND W = FChained ? FChainWindow : GetHandle();
    if (!IsRealWindow(W))
        return;
    bool Handled = false;
    OnMessageBefore(this, Message, Handled);
    if (!Handled) {
        if (Message.Msg == WM_LBUTTONDOWN && FAutoDrag && IsWindow(W)) {
            ReleaseCapture();
            SendMessageA(W, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
        } else
            Message.Result = CallWindowProcA(FPrevWndProc, W, Message.Msg, Message.WParam, Message.LParam);
    }
    OnMessageAfter(this, Message, Handled);
}

void TabfWndProcHook::DefineClass(TClassBuilder<TabfWndProcHook>& B) {
    using T = TabfWndProcHook;
    B.Property("Active", &T::Active, &T::SetActive).Default(false);
    B.Property("AutoDrag", &T::AutoDrag, &T::SetAutoDrag).Default(false);
    B.Property("WinControl", &T::WinControl, &T::SetWinControl);
    B.Property("OnChangeHandle", &T::OnChangeHandle, &T::OnChangeHandle);
    B.Property("OnChangeWinControl", &T::OnChangeWinControl, &T::OnChangeWinControl);
    B.Property("OnMessageAfter", &T::OnMessageAfter, &T::OnMessageAfter);
    B.Property("OnMessageBefore", &T::OnMessageBefore, &T::OnMessageBefore);
}
