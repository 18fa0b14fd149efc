// The skin manager's menu options and its hook of the application window.
#include "sSkinManager.h"

#include "Forms.h"
#include "acntUtils.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sVclUtils.h"

// ---------------------------------------------------------------------------------------------
// Menu options

TacMenuSupport::TacMenuSupport() : ExtraLineFont(Create<TFont>()) {}

TacMenuSupport::~TacMenuSupport() { FreeAndNil(ExtraLineFont); }

void TacMenuSupport::DefineClass(TClassBuilder<TacMenuSupport>& B) {
    using S = TacMenuSupport;
    B.Property("IcoLineSkin", &S::IcoLineSkin, &S::IcoLineSkin);
    B.Property("UseExtraLine", &S::UseExtraLine, &S::UseExtraLine).Default(false);
    B.Property("ExtraLineWidth", &S::ExtraLineWidth, &S::ExtraLineWidth).Default(32);
    B.Property("ExtraLineFont", &S::GetExtraLineFont, &S::SetExtraLineFont);
}

void TsSkinManager::SetSkinnedPopups(bool Value) {
    if (Value == SkinnedPopups)
        return;
    SkinnedPopups = Value;
    if (Value && IsDefault() && SkinableMenus && !ComponentState().Contains(csDesigning))
        SkinableMenus->UpdateActive();
}

// ---------------------------------------------------------------------------------------------
// The application window's hook

namespace {
// The main form's provider plays its hide animation as the program ends: the form's own procedure
// leaves that case alone.
void HideMainFormAnimated() {
    TCustomForm* Main = Application->MainForm();
    if (!Main || !Main->HandleAllocated())
        return;
    auto* Provider = reinterpret_cast<TObject*>(SendSkinCommand(Main->Handle(), SKIN_GETPROVIDER, 0));
    if (TacFormProvider* P = Provider ? AsFormProvider(Provider) : nullptr)
        P->PlayClosingHide();
}
}  // namespace

void TsSkinManager::MainWindowHook(TMessage& Message, bool& Handled) {
    if (!SkinnedPopups || !Application)
        return;
    switch (Message.Msg) {
        case WM_WINDOWPOSCHANGED: {
            auto* Pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
            if (Pos && (Pos->flags & SWP_HIDEWINDOW) && LayeredWindowsAvailable() &&
                !IsIconic(Application->Handle()) && AnimEffects->FormHide->Active && AnimEffects->FormHide->Time > 0 &&
                Application->Terminated())
                HideMainFormAnimated();
            break;
        }
        case WM_SYSCOMMAND:
            switch (Message.WParam & 0xFFF0) {
                case SC_MINIMIZE: LastSysCommand = 2; break;
                case SC_RESTORE: LastSysCommand = 1; break;
                default: LastSysCommand = 0; break;
            }
            break;
        case WM_THEMECHANGED:
            Handled = true;
            break;
        case CM_ACTIVATE:
            if (Screen)
                for (int I = Screen->FormCount() - 1; I >= 0; --I)
                    if (Screen->Forms(I)->HandleAllocated())
                        SendSkinCommand(Screen->Forms(I)->Handle(), SKIN_REPAINTNOW, 0);
            break;
        case MenuBorderMsg:
            if (TMenuItem* Item = FindMenuItemByCommand(static_cast<Word>(Message.LParam)); Item && SkinableMenus)
                SkinableMenus->HookPopupOfItem(Item);
            Handled = true;
            break;
        case MenuBorderItemMsg:
            if (SkinableMenus && Message.LParam)
                SkinableMenus->HookPopupOfWindow(reinterpret_cast<HWND>(Message.LParam));
            Handled = true;
            break;
        default:
            break;
    }
}
