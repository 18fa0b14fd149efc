#include "sStyleSimply.h"

#include "Forms.h"
#include "Icons.h"
#include "acntUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sVclUtils.h"

#include <shellapi.h>

std::string ChangedSection;
std::vector<TComponent*> HookedForms;
TIcon* AppIconSmall = nullptr;
TIcon* AppIconLarge = nullptr;

std::vector<TacDialogProviderLink*>* DialogProviders = nullptr;

namespace {
bool AppIconsLoaded = false;
}  // namespace

void AddHookedForm(TComponent* Form) { HookedForms.push_back(Form); }

void RemoveHookedForm(TComponent* Form) {
    // The slot is examined again after the last entry moved into it: that entry may be Form too.
    std::size_t I = 0;
    while (I < HookedForms.size()) {
        if (HookedForms[I] == Form) {
            HookedForms[I] = HookedForms.back();
            HookedForms.pop_back();
        } else {
            ++I;
        }
    }
}

namespace {
void SendToForm(TCustomForm* Form, TMessage& Message) {
    SendMessageA(Form->Handle(), Message.Msg, Message.WParam, Message.LParam);
    BroadcastToSkinnedChildren(Form, Message);
    auto* Plain = DynCast<TForm>(Form);
    if (Plain && Plain->FormStyle() == fsMDIForm)
        if (HWND Client = FindWindowExA(Form->Handle(), nullptr, "MDICLIENT", nullptr))
            SendMessageA(Client, Message.Msg, Message.WParam, Message.LParam);
}

// The hooked top-level forms that a lock or unlock may touch, with their provider.
template <class F>
void ForEachLockableForm(TsSkinManager* Manager, F Visit) {
    for (std::size_t I = 0; I < HookedForms.size(); ++I) {
        auto* Form = DynCast<TCustomForm>(HookedForms[I]);
        auto* Plain = DynCast<TForm>(Form);
        if (!Form || Form->WindowState() == wsMinimized || (Plain && Plain->FormStyle() == fsMDIChild) ||
            Form->Parent() || !Form->Visible())
            continue;
        auto* Provider = AsFormProvider(reinterpret_cast<TObject*>(SendSkinCommandTo(Form, SKIN_GETPROVIDER, 0)));
        if (Provider && Provider->ProviderManager() == Manager)
            Visit(Form, Provider);
    }
}
}  // namespace

void BroadcastToHookedForms(TMessage& Message) {
    for (std::size_t I = 0; I < HookedForms.size(); ++I) {
        auto* Form = DynCast<TCustomForm>(HookedForms[I]);
        if (Form && !Form->ComponentState().Contains(csDestroying))
            SendToForm(Form, Message);
    }
    if (!DialogProviders)
        return;
    for (std::size_t I = 0; DialogProviders && I < DialogProviders->size(); ++I)
        if (TacDialogProviderLink* P = (*DialogProviders)[I])
            if (HWND Wnd = P->DialogWindow(); Wnd && IsWindowVisible(Wnd))
                SendMessageA(Wnd, Message.Msg, Message.WParam, Message.LParam);
}

void BroadcastToAllForms(TMessage& Message) {
    for (int I = Application->ComponentCount() - 1; I >= 0; --I) {
        // Receivers may free forms while the message goes round.
        if (I >= Application->ComponentCount())
            return;
        auto* Form = DynCast<TForm>(Application->Components(I));
        if (!Form || Form->FormStyle() == fsMDIChild || Form->ComponentState().Contains(csDestroying) ||
            Form->ComponentState().Contains(csLoading))
            continue;
        if (Form->HandleAllocated() && AnswersSkinCommand(Form->Handle(), SKIN_ISSKINNED))
            continue;
        SendToForm(Form, Message);
    }
    BroadcastToHookedForms(Message);
}

void LockFormsRedraw(TsSkinManager* Manager) {
    if (IsIconic(Application->Handle()))
        return;
    if (Manager && Manager->IsDefault() && Manager->AnimEffects->SkinChanging->Active)
        AnimationInProgress = true;
    ForEachLockableForm(Manager, [](TCustomForm* Form, TacFormProvider* Provider) {
        Provider->SetAnimating(true);
        Provider->ResetBorderRegion();
        SendMessageA(Form->Handle(), WM_SETREDRAW, 0, 0);
    });
}

void UnlockFormsRedraw(TsSkinManager* Manager, bool Repaint) {
    if (IsIconic(Application->Handle()))
        return;
    if (Manager && Manager->IsDefault())
        AnimationInProgress = false;
    ForEachLockableForm(Manager, [Manager, Repaint](TCustomForm* Form, TacFormProvider* Provider) {
        if (!Repaint) {
            SendMessageA(Form->Handle(), WM_SETREDRAW, 1, 0);
            return;
        }
        TacSkinChanging* Change = Manager ? Manager->AnimEffects->SkinChanging : nullptr;
        if (Change && Change->Active) {
            Byte Alpha = Form->AlphaBlend() ? Form->AlphaBlendValue() : 255;
            if (Provider->DrawsNonClientArea())
                AnimateFormRedraw(Form, Change->Time, Alpha, Change->Mode);
            else
                AnimateFormRedraw(Form, 0, 255, atFading);
        }
        if (Provider->HasBorderForm() && Form->WindowState() == wsMaximized) {
            // Re-applies the maximised placement without a visible flash.
            HWND Wnd = Form->Handle();
            SetWindowLongA(Wnd, GWL_STYLE, GetWindowLongA(Wnd, GWL_STYLE) & ~WS_VISIBLE);
            HWND Active = GetActiveWindow();
            ShowWindow(Wnd, SW_SHOWMAXIMIZED);
            SetWindowLongA(Wnd, GWL_STYLE, GetWindowLongA(Wnd, GWL_STYLE) | WS_VISIBLE);
            if (Active)
                SetActiveWindow(Active);
        }
        SendMessageA(Form->Handle(), WM_SETREDRAW, 1, 0);
        Provider->SetAnimating(false);
        if (Provider->DrawsNonClientArea())
            Provider->RepaintAfterSkinChange();
        else
            RedrawWindow(Form->Handle(), nullptr, nullptr, 0x585);
    });
}

void LoadAppIcons() {
    if (AppIconsLoaded)
        return;
    AppIconsLoaded = true;
    std::string Exe = Application ? Application->ExeName() : std::string();
    AppIconSmall = GetFileShellIcon(Exe, SHGFI_SMALLICON);
    AppIconLarge = GetFileShellIcon(Exe, SHGFI_LARGEICON);
}

void sStyleSimplyFinalization() {
    for (TIcon** Icon : {&AppIconSmall, &AppIconLarge})
        if (*Icon) {
            if (HICON H = (*Icon)->ReleaseHandle())
                DestroyIcon(H);
            FreeAndNil(*Icon);
        }
    AppIconsLoaded = false;
    HookedForms.clear();
    HookedForms.shrink_to_fit();
    ChangedSection.clear();
}
