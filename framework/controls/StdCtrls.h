// The StdCtrls unit: standard controls over the system's window classes. Each superclasses its
// standard class under its own class name (GetClassName gives "TButton").
#pragma once

#include "Forms.h"

// A push button: BN_CLICKED (reflected as CN_COMMAND) runs Click, which gives the form the button's
// ModalResult. Enter clicks the default button (or the focused one), Esc the cancel button.
class TButton : public TWinControl {
    DECLARE_CLASS(TButton, TWinControl)
public:
    explicit TButton(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TButton>& B);

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CNCommand(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMFocusChanged(TMessage& Message);

private:
    void SetButtonStyle(bool ADefault);
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
};
