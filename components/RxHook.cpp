#include "RxHook.h"

#include "Filer.h"
#include "Forms.h"

#include <algorithm>

namespace {
THookList* HookList = nullptr;
}  // namespace

THookList* SharedHookList() {
    if (!HookList)
        HookList = Create<THookList>();
    return HookList;
}

THookList* ExistingHookList() { return HookList; }

void RxHookInitialization() { HookList = nullptr; }

void RxHookFinalization() { FreeAndNil(HookList); }

// ---------------------------------------------------------------------------------------------
// TRxWindowHook

TRxWindowHook::TRxWindowHook(TComponent* AOwner) : TComponent(AOwner) {}

void TRxWindowHook::BeforeDestruction() {
    SetActive(false);
    SetWinControl(nullptr);
    TComponent::BeforeDestruction();
}

void TRxWindowHook::DefineClass(TClassBuilder<TRxWindowHook>& B) {
    B.Property("Active", &TRxWindowHook::Active, &TRxWindowHook::SetActive).Default(true);
    B.Property("WinControl", &TRxWindowHook::WinControl, &TRxWindowHook::SetWinControl)
        .Stored(&TRxWindowHook::IsWinControlStored);
    B.Property("BeforeMessage", &TRxWindowHook::BeforeMessage, &TRxWindowHook::BeforeMessage);
    B.Property("AfterMessage", &TRxWindowHook::AfterMessage, &TRxWindowHook::AfterMessage);
}

void TRxWindowHook::SetActive(bool Value) {
    if (Value == FActive)
        return;
    if (Value)
        AttachToControl();
    else
        DetachFromControl();
}

TWinControl* TRxWindowHook::WinControl() const { return FControlHook ? FControlHook->Control() : FControl; }

void TRxWindowHook::SetWinControl(TWinControl* Value) {
    if (Value == WinControl())
        return;
    bool WasActive = FActive;
    TControlHook* Former = DetachFromControl();
    FControl = Value;
    if (Value)
        Value->FreeNotification(this);
    // Freed later, never inside the message that caused the change.
    if (Former && Former->HookCount() == 0 && ExistingHookList())
        PostMessageA(ExistingHookList()->Handle(), ReleaseHookMessage, 0, reinterpret_cast<LPARAM>(Former));
    if (WasActive)
        AttachToControl();
}

void TRxWindowHook::AttachToControl() {
    if (FControl && !ComponentState().Contains(csDestroying))
        SharedHookList()->ObtainControlHook(FControl)->AddWindowHook(this);
    FActive = true;
}

TControlHook* TRxWindowHook::DetachFromControl() {
    TControlHook* Former = FControlHook;
    if (FControlHook)
        FControlHook->RemoveWindowHook(this);
    FActive = false;
    return Former;
}

void TRxWindowHook::FireBeforeMessage(TMessage& Msg, bool& Handled) {
    if (BeforeMessage)
        BeforeMessage(this, Msg, Handled);
}

void TRxWindowHook::FireAfterMessage(TMessage& Msg, bool& Handled) {
    if (AfterMessage)
        AfterMessage(this, Msg, Handled);
}

bool TRxWindowHook::IsForm() const {
    return WinControl() && WinControl() == Owner() && Owner()->Is<TCustomForm>();
}

bool TRxWindowHook::IsWinControlStored() const { return WinControl() && !WinControl()->Is<TCustomForm>(); }

void TRxWindowHook::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    bool HasData;
    if (auto* Ancestor = DynCast<TRxWindowHook>(Filer.Ancestor()))
        HasData = Ancestor->IsForm() != IsForm();
    else
        HasData = IsForm();
    Filer.DefineProperty(
        "IsForm",
        [this](TReader& Reader) {
            if (Reader.ReadBoolean() && Owner() && Owner()->Is<TCustomForm>())
                SetWinControl(static_cast<TWinControl*>(Owner()));
        },
        [this](TWriter& Writer) { Writer.WriteBoolean(IsForm()); }, HasData);
}

void TRxWindowHook::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove &&
        (AComponent == WinControl() || AComponent == Owner() || !Owner()))
        SetWinControl(nullptr);
}

// ---------------------------------------------------------------------------------------------
// TControlHook

TControlHook::TControlHook() {
    FNewWndProc = MakeObjectInstance(TWndMethod::Bind<&TControlHook::HookWindowProc>(this));
}

TControlHook::~TControlHook() {
    FDestroying = true;
    if (HookList)
        HookList->Remove(this);
    while (!FHooks.empty())
        RemoveWindowHook(FHooks.back());
    FControl = nullptr;
    FreeObjectInstance(FNewWndProc);
}

bool TControlHook::ControlGone() const {
    return !FControl || FControl->ComponentState().Contains(csDestroying);
}

void TControlHook::AddWindowHook(TRxWindowHook* Hook) {
    if (std::find(FHooks.begin(), FHooks.end(), Hook) == FHooks.end()) {
        FHooks.push_back(Hook);
        Hook->FControlHook = this;
        AttachControl(Hook->FControl);
    }
    InstallWindowProc();
}

void TControlHook::RemoveWindowHook(TRxWindowHook* Hook) {
    Hook->FControlHook = nullptr;
    std::erase(FHooks, Hook);
    if (FHooks.empty())
        RestoreWindowProc();
}

void TControlHook::AttachControl(TWinControl* Control) {
    if (Control == FControl)
        return;
    RestoreWindowProc();
    FControl = Control;
    if (!FHooks.empty())
        InstallWindowProc();
}

void TControlHook::InstallWindowProc() {
    if (!FControl || FControl->ComponentState().Contains(csDesigning) ||
        FControl->ComponentState().Contains(csDestroying) || FDestroying)
        return;
    HWND Wnd = FControl->Handle();
    auto Current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
    if (Current != FNewWndProc) {
        FPrevWndProc = Current;
        FWindow = Wnd;
        SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FNewWndProc));
    }
}

void TControlHook::RestoreWindowProc() {
    if (FControl && FControl->HandleAllocated() && FPrevWndProc) {
        HWND Wnd = FControl->Handle();
        // A procedure someone installed on top of ours stays: taking ours out would cut theirs off.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)) == FNewWndProc)
            SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevWndProc));
    }
    FPrevWndProc = nullptr;
}

void TControlHook::HookWindowProc(TMessage& Msg) {
    bool Handled = false;
    if (!FControl)
        return;
    if (Msg.Msg != WM_QUIT)
        DispatchToHooks(TPhase::Before, Msg, Handled);
    if (!Handled || Msg.Msg == WM_DESTROY) {
        HWND Wnd = FWindow;
        WNDPROC Prev = FPrevWndProc;
        try {
            Msg.Result = Prev ? CallWindowProcA(Prev, Wnd, Msg.Msg, Msg.WParam, Msg.LParam)
                              : DefWindowProcA(Wnd, Msg.Msg, Msg.WParam, Msg.LParam);
        } catch (...) {
            DispatchToHooks(TPhase::After, Msg, Handled);
            throw;
        }
        DispatchToHooks(TPhase::After, Msg, Handled);
    }
    if (Msg.Msg == WM_DESTROY) {
        RestoreWindowProc();
        // The window may be made again (a recreated handle): the hook comes back with it.
        if (HookList && !FDestroying && !ControlGone())
            PostMessageA(HookList->Handle(), ReinstallHookMessage, 0, reinterpret_cast<LPARAM>(this));
    }
}

void TControlHook::DispatchToHooks(TPhase Phase, TMessage& Msg, bool& Handled) {
    if (FHooks.empty() || ControlGone() || FDestroying)
        return;
    // The hook added last sees the message first; a handler may remove hooks meanwhile.
    for (int I = static_cast<int>(FHooks.size()) - 1; I >= 0; --I) {
        if (I >= static_cast<int>(FHooks.size()))
            continue;
        TRxWindowHook* Hook = FHooks[static_cast<std::size_t>(I)];
        try {
            if (Phase == TPhase::Before)
                Hook->FireBeforeMessage(Msg, Handled);
            else
                Hook->FireAfterMessage(Msg, Handled);
        } catch (...) {
            HandleWndException(Hook);
        }
        if (Handled)
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// THookList

THookList::THookList() { FHandle = AllocateMessageHWnd(TWndMethod::Bind<&THookList::ListWindowProc>(this)); }

THookList::~THookList() {
    // Taken out first: the global reference is already cleared when the unit shuts down, so a
    // control hook could not find this list to leave it.
    while (Count() > 0) {
        TControlHook* Hook = ControlHooks(Count() - 1);
        Delete(Count() - 1);
        FreeObject(Hook);
    }
    DeallocateHWnd(FHandle);
}

TControlHook* THookList::FindControlHook(TWinControl* Control) const {
    if (!Control)
        return nullptr;
    for (int I = 0; I < Count(); ++I)
        if (ControlHooks(I)->Control() == Control)
            return ControlHooks(I);
    return nullptr;
}

TControlHook* THookList::ObtainControlHook(TWinControl* Control) {
    if (TControlHook* Found = FindControlHook(Control))
        return Found;
    auto* Hook = Create<TControlHook>();
    try {
        Add(Hook);
    } catch (...) {
        Hook->Free();
        throw;
    }
    Hook->AttachControl(Control);
    return Hook;
}

void THookList::ListWindowProc(TMessage& Msg) {
    auto* Hook = reinterpret_cast<TControlHook*>(Msg.LParam);
    switch (Msg.Msg) {
    case ReinstallHookMessage:
        // Deferred work: the object may be gone by now, and a control hook left without window
        // hooks may name a control that is gone as well.
        if (IndexOf(Hook) >= 0 && Hook->HookCount() > 0)
            Hook->InstallWindowProc();
        break;
    case ReleaseHookMessage:
        if (IndexOf(Hook) >= 0 && Hook->HookCount() == 0)
            Hook->Free();
        break;
    default:
        Msg.Result = DefWindowProcA(FHandle, Msg.Msg, Msg.WParam, Msg.LParam);
        break;
    }
}
