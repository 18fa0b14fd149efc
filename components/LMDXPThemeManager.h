// The window-procedure component that keeps the library's application object informed of theme
// changes; one is created without an owner at start-up.
#pragma once

#include "LMDWndProcComponent.h"

class TLMDXPThemeManager : public TLMDWndProcComponent {
    DECLARE_CLASS(TLMDXPThemeManager, TLMDWndProcComponent)
public:
    using TLMDWndProcComponent::TLMDWndProcComponent;
    void HookWndProc(TMessage& Msg) override;

private:
    // Set while the manager's own switch tells the forms; the change it hears back from the form it
    // hooks is its own and must not switch again.
    bool FSwitching = false;
};

extern TLMDXPThemeManager* GlobalThemeManager;
void LMDXPThemeManagerInitialization();
void LMDXPThemeManagerFinalization();
