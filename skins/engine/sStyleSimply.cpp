#include "sStyleSimply.h"

#include "Forms.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sVclUtils.h"

std::string ChangedSection;
std::vector<TComponent*> HookedForms;

void AddHookedForm(TComponent* Form) { HookedForms.push_back(Form); }

void RemoveHookedForm(TComponent* Form) {
    int Last = static_cast<int>(HookedForms.size()) - 1;
    const int Count = static_cast<int>(HookedForms.size());
    for (int I = 0; I < Count; ++I)
        if (Last >= 0 && HookedForms[I] == Form) {
            HookedForms[I] = HookedForms[Last];
            HookedForms[Last] = nullptr;
        }
    if (Last >= 0 && HookedForms[Last] == nullptr)
        HookedForms.resize(Last);
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
        // Only a form whose provider answers is frozen; the provider itself tells its manager.
        (void)Manager;
        auto* Provider = reinterpret_cast<TObject*>(SendSkinCommandTo(Form, SKIN_GETPROVIDER, 0));
        if (Provider && AsFormProvider(Provider))
            Visit(Form, AsFormProvider(Provider));
    }
}
}  // namespace

void BroadcastToHookedForms(TMessage& Message) {
    for (std::size_t I = 0; I < HookedForms.size(); ++I) {
        auto* Form = DynCast<TCustomForm>(HookedForms[I]);
        if (Form && !Form->ComponentState().Contains(csDestroying))
            SendToForm(Form, Message);
    }
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
    ForEachLockableForm(Manager, [](TCustomForm* Form, TacFormProvider*) {
        SendMessageA(Form->Handle(), WM_SETREDRAW, 0, 0);
    });
}

void UnlockFormsRedraw(TsSkinManager* Manager, bool Repaint) {
    if (IsIconic(Application->Handle()))
        return;
    if (Manager && Manager->IsDefault())
        AnimationInProgress = false;
    ForEachLockableForm(Manager, [Manager, Repaint](TCustomForm* Form, TacFormProvider*) {
        TacSkinChanging* Change = Manager ? Manager->AnimEffects->SkinChanging : nullptr;
        if (Repaint && Change && Change->Active) {
            // The framework's forms have no constant opacity of their own: they show fully opaque.
            AnimateFormRedraw(Form, Change->Time, 255, Change->Mode);
        }
        SendMessageA(Form->Handle(), WM_SETREDRAW, 1, 0);
        if (Repaint)
            RedrawWindow(Form->Handle(), nullptr, nullptr, 0x585);
    });
}
