#include "dxExEdtr.h"

// ---------------------------------------------------------------------------------------------
// The popup calculator

TdxPopupCalculator::TdxPopupCalculator(TComponent* AOwner) : TCustomdxCalculator(AOwner) { PopupMode = true; }

void TdxPopupCalculator::CreateParams(TCreateParams& Params) {
    TCustomdxCalculator::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.WindowClass.style |= CS_SAVEBITS;
}

void TdxPopupCalculator::GetDisplayText(std::string& S) { S = CalcEdit ? CalcEdit->Text() : "0"; }

void TdxPopupCalculator::SetDisplayText(const std::string& S) {
    if (!CalcEdit || !CalcEdit->CanChangeValue())
        return;
    try {
        CalcEdit->SetText(S);
        CalcEdit->SetModified(true);
    } catch (...) {
        HidePopup();
        throw;
    }
}

// A failed calculation leaves the cell as it was when the calculator opened, not at a made-up 0.
void TdxPopupCalculator::HidePopup() {
    TCustomdxCalculator::HidePopup();
    if (CalcEdit && CalcEdit->Text() == CalcErrorText) {
        CalcEdit->SetText(CalcEdit->FOpenText);
        CalcEdit->SetModified(CalcEdit->FOpenModified);
    }
}

void TdxPopupCalculator::KeyDown(Word& Key, TShiftState Shift) {
    const bool Alt = Shift.Contains(ssAlt);
    if (((Key == VK_UP || Key == VK_DOWN) && Alt) || Key == VK_F4) {
        HidePopup();
        Key = 0;
    } else if (Key == VK_RETURN) {
        TCustomdxCalculator::KeyDown(Key, Shift);
        HidePopup();
        Key = 0;
    } else if (Key == VK_ESCAPE) {
        HidePopup();
        Key = 0;
    } else
        TCustomdxCalculator::KeyDown(Key, Shift);
}

void TdxPopupCalculator::KeyPress(char& Key) {
    const bool Equals = Key == '=';
    TCustomdxCalculator::KeyPress(Key);
    if (Equals && QuickClose)
        HidePopup();
}

// ---------------------------------------------------------------------------------------------
// The editor

TdxInplaceCalcEdit::TdxInplaceCalcEdit(TComponent* AOwner) : TdxInplaceDropDownEdit(AOwner) {
    ForwardKeysToPopup = false;
}

TdxInplaceCalcEdit::~TdxInplaceCalcEdit() { FreeAndNil(FPopupCalculator); }

void TdxInplaceCalcEdit::OpenPopup() {
    if ((FPopupCalculator && FPopupCalculator->HandleAllocated() && IsWindowVisible(FPopupCalculator->Handle())) ||
        !IsEditable())
        return;
    // A fresh calculator each time, so its window is built with the current settings.
    FreeAndNil(FPopupCalculator);
    FPopupCalculator = Create<TdxPopupCalculator>(nullptr);
    TdxPopupCalculator* C = FPopupCalculator;
    C->OwnerEdit = this;
    ActivePopup = C;
    DoOpenPopup();
    FOpenText = Text();
    FOpenModified = GetModified();
    C->SetPopupBorder(ResolvedPopupBorder());
    C->SetShadow(FStyle && FStyle->Shadow());
    C->InEditorPopup = true;
    C->QuickClose = QuickClose;
    C->CalcEdit = this;
    C->Font()->Assign(Font());
    C->SetShowFocusRect(false);
    C->BeepOnError = BeepOnError;
    C->SetButtonStyle(ButtonStyle);
    C->SetShowButtonFrame(ShowButtonFrame);
    C->Precision = Precision;
    C->Layout();
    C->Clear();
    PositionPopup(C, false);
    DroppedDown = true;
    C->ShowPopupWindow();
}
