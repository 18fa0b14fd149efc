#include "StdCtrls.h"

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FWidth = 75;
    FHeight = 25;
    SetTabStop(true);
}

void TButton::DefineClass(TClassBuilder<TButton>& B) {
    B.Property("Caption", &TButton::Caption, &TButton::SetCaption).TypeName("TCaption");
    B.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    B.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    B.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).TypeName("TModalResult").Default(0);
    B.Message<&TButton::CNCommand>(CN_COMMAND);
    B.Message<&TButton::CMDialogKey>(CM_DIALOGKEY);
    B.Message<&TButton::CMDialogChar>(CM_DIALOGCHAR);
    B.Message<&TButton::CMFocusChanged>(CM_FOCUSCHANGED);
}

void TButton::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= (FActive || FDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool Value) {
    if (FDefault == Value)
        return;
    FDefault = Value;
    if (HandleAllocated()) {
        TCustomForm* Form = GetParentForm();
        if (Form) {
            // Tell the form's buttons which one is active now.
            TMessage M{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Form->ActiveControl()), 0};
            Form->Broadcast(M);
        }
    }
}

void TButton::SetButtonStyle(bool ADefault) {
    if (!HandleAllocated())
        return;
    LONG_PTR Style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongPtrA(FHandle, GWL_STYLE) & 0x0F) != Style)
        SendMessageA(FHandle, BM_SETSTYLE, static_cast<WPARAM>(Style), 1);
}

void TButton::Click() {
    if (TCustomForm* Form = GetParentForm())
        Form->SetModalResult(FModalResult);
    TWinControl::Click();
}

void TButton::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == BN_CLICKED)
        Click();
}

void TButton::CMDialogKey(TMessage& Message) {
    bool Enter = Message.WParam == VK_RETURN && FActive;
    bool Esc = Message.WParam == VK_ESCAPE && FCancel;
    if ((Enter || Esc) && KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TButton::CMDialogChar(TMessage& Message) {
    // The accelerator: the character after "&" in the caption, without regard to case.
    std::string C = Caption();
    auto Amp = C.find('&');
    while (Amp != std::string::npos && Amp + 1 < C.size() && C[Amp + 1] == '&')
        Amp = C.find('&', Amp + 2);
    if (Amp != std::string::npos && Amp + 1 < C.size() && CanFocus() &&
        CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(C[Amp + 1])))) ==
            CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(Message.WParam & 0xFF)))) {
        Click();
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TButton::CMFocusChanged(TMessage& Message) {
    auto* Focused = reinterpret_cast<TControl*>(Message.LParam);
    // A focused button is the one Enter clicks; otherwise the default button is.
    if (auto* B = DynCast<TButton>(Focused))
        FActive = B == this;
    else
        FActive = FDefault;
    SetButtonStyle(FActive);
    InheritedDispatch(StaticClass(), Message);
}
