// A component that subclasses its owner's window (an MDI frame's client window unless asked for the
// frame itself): its HookWndProc sees every message first and passes it on to the window's own
// procedure, the window's destruction included.
#pragma once

#include "LMDCustomComponent.h"
#include "ObjectInstances.h"

class TLMDWndProcComponent : public TLMDCustomComponent {
    DECLARE_CLASS(TLMDWndProcComponent, TLMDCustomComponent)
public:
    explicit TLMDWndProcComponent(TComponent* AOwner);
    ~TLMDWndProcComponent() override;
    void Loaded() override;

    // 0 without an owner or a window.
    HWND HookedWindow();
    // False when there is no window, a hook is installed already, or the component is designed
    // without design use.
    bool InstallHook();
    bool RemoveHook();
    bool Hooked() const { return FPrevWndProc != nullptr; }

    virtual bool ApplicationHook() { return true; }
    virtual void EnableHook();
    virtual void DisableHook() { RemoveHook(); }
    virtual void HookWndProc(TMessage& Msg);
    virtual void DesignCheck();
    virtual void HookIdle() {}

    bool Enabled = true;
    bool DesignUse = false;
    bool Quiet = false;
    bool HookMDIFrame = false;
    bool HookApplication = false;

protected:
    // The window's own procedure for the message.
    void CallPrevious(TMessage& Msg);
    int MDIKind() const { return FMDIKind; }

private:
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    int FMDIKind = 0;  // 0 none, 1 MDI child, 2 MDI frame
    bool FApplicationHooked = false;
    WNDPROC FHookProc = nullptr;
    WNDPROC FPrevWndProc = nullptr;
    HWND FWindow = nullptr;
    bool FDestroying = false;
};
