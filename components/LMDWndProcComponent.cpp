#include "LMDWndProcComponent.h"

#include "Forms.h"

TLMDWndProcComponent::TLMDWndProcComponent(TComponent* AOwner) : TLMDCustomComponent(AOwner) {
    if (auto* Form = DynCast<TCustomForm>(AOwner))
        FMDIKind = Form->FormStyle() == fsMDIChild ? 1 : Form->FormStyle() == fsMDIForm ? 2 : 0;
}

TLMDWndProcComponent::~TLMDWndProcComponent() { RemoveHook(); }

void TLMDWndProcComponent::Loaded() {
    TLMDCustomComponent::Loaded();
    if (!Designing() || DesignUse)
        EnableHook();
}

HWND TLMDWndProcComponent::HookedWindow() {
    auto* Control = DynCast<TWinControl>(Owner());
    if (!Control)
        return nullptr;
    try {
        HWND Window = Control->Handle();
        if (FMDIKind == 2 && !HookMDIFrame) {
            // An MDI frame's children live in its client window.
            HWND Client = FindWindowExA(Window, nullptr, "MDICLIENT", nullptr);
            return Client ? Client : Window;
        }
        return Window;
    } catch (const Exception&) {
        return nullptr;
    }
}

bool TLMDWndProcComponent::InstallHook() {
    HWND Window = HookedWindow();
    if (!Window || FPrevWndProc || (Designing() && !DesignUse))
        return false;
    FDestroying = false;
    try {
        if (HookApplication)
            FApplicationHooked = ApplicationHook();
        FHookProc = MakeObjectInstance(TWndMethod::Bind<&TLMDWndProcComponent::HookWndProc>(this));
        FWindow = Window;
        FPrevWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Window, GWLP_WNDPROC));
        SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FHookProc));
    } catch (const Exception&) {
        RemoveHook();
        return false;
    }
    return true;
}

bool TLMDWndProcComponent::RemoveHook() {
    if (FPrevWndProc && FWindow && IsWindow(FWindow))
        SetWindowLongPtrA(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevWndProc));
    FPrevWndProc = nullptr;
    FWindow = nullptr;
    FreeObjectInstance(FHookProc);
    FHookProc = nullptr;
    FApplicationHooked = false;
    Quiet = false;
    FDestroying = false;
    return true;
}

void TLMDWndProcComponent::EnableHook() {
    if (Enabled && !FPrevWndProc)
        InstallHook();
}

void TLMDWndProcComponent::DesignCheck() {
    if (Designing() && !DesignUse)
        RemoveHook();
}

void TLMDWndProcComponent::CallPrevious(TMessage& Msg) {
    if (FPrevWndProc)
        Msg.Result = CallWindowProcA(FPrevWndProc, FWindow, Msg.Msg, Msg.WParam, Msg.LParam);
}

void TLMDWndProcComponent::HookWndProc(TMessage& Msg) {
    // The window's own procedure sees its destruction: the hook steps out first and passes it on.
    if (Msg.Msg == WM_DESTROY) {
        FDestroying = true;
        WNDPROC Prev = FPrevWndProc;
        HWND Window = FWindow;
        RemoveHook();
        Msg.Result = CallWindowProcA(Prev, Window, Msg.Msg, Msg.WParam, Msg.LParam);
        return;
    }
    CallPrevious(Msg);
}
