#include "LMDXPThemeManager.h"

#include "Restore.h"
#include "lmdclass.h"

TLMDXPThemeManager* GlobalThemeManager = nullptr;

void TLMDXPThemeManager::HookWndProc(TMessage& Msg) {
    if (GlobalApplication) {
        if (Msg.Msg == WM_CREATE)
            GlobalApplication->RefreshThemeState();
        else if (Msg.Msg == WM_THEMECHANGED && !FSwitching && GlobalApplication->ThemesInUse()) {
            // Switching off and on again tells every visible form.
            TRestore<bool> Switching(FSwitching, true);
            GlobalApplication->SetThemeUse(false);
            GlobalApplication->SetThemeUse(true);
        }
    }
    TLMDWndProcComponent::HookWndProc(Msg);
}

void LMDXPThemeManagerInitialization() {
    if (!GlobalThemeManager)
        GlobalThemeManager = Create<TLMDXPThemeManager>(nullptr);
}

void LMDXPThemeManagerFinalization() { FreeAndNil(GlobalThemeManager); }
