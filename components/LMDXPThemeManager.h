// The window-procedure component that keeps the library's application object informed of theme
// changes; one is created without an owner at start-up.
#pragma once

#include "LMDWndProcComponent.h"

class TLMDXPThemeManager : public TLMDWndProcComponent {
    DECLARE_CLASS(TLMDXPThemeManager, TLMDWndProcComponent)
public:
    using TLMDWndProcComponent::TLMDWndProcComponent;
    void HookWndProc(TMessage& Msg) override;
};

extern TLMDXPThemeManager* GlobalThemeManager;
void LMDXPThemeManagerInitialization();
void LMDXPThemeManagerFinalization();
