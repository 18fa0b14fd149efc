#include "dxExEdtr.h"
#include "dxGrDate.h"

#include <shellapi.h>

#include <cmath>

// ---------------------------------------------------------------------------------------------
// Hyperlink editor

TdxEditViewDataClass TdxInplaceHyperLinkEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxHyperLinkEditViewData>();
}

TCursor TdxInplaceHyperLinkEdit::TMetaClass::GetViewCursor(TdxEditViewData* ViewData, int X, int Y) const {
    auto* VD = DynCast<TdxHyperLinkEditViewData>(ViewData);
    if (VD && VD->CanFollow)
        return HandCursorIndex;
    return TdxInplaceTextEdit::TMetaClass::GetViewCursor(ViewData, X, Y);
}

TdxInplaceHyperLinkEdit::TdxInplaceHyperLinkEdit(TComponent* AOwner) : TdxInplaceTextEdit(AOwner) {
    SetAutoSelect(false);
}

TdxInplaceHyperLinkEdit::~TdxInplaceHyperLinkEdit() { FreeAndNil(FUnderlinedFont); }

void TdxInplaceHyperLinkEdit::DefineClass(TClassBuilder<TdxInplaceHyperLinkEdit>& B) {
    B.Message<&TdxInplaceHyperLinkEdit::WMLButtonDblClkLink>(WM_LBUTTONDBLCLK);
    B.Message<&TdxInplaceHyperLinkEdit::WMSetFontLink>(WM_SETFONT);
    B.Message<&TdxInplaceHyperLinkEdit::CMFontChangedLink>(CM_FONTCHANGED);
}

void TdxInplaceHyperLinkEdit::FollowLink() {
    if (OnStartClick) {
        OnStartClick(this);
        return;
    }
    const std::string S = Text();
    if (Trim(S).empty())
        return;
    TCustomForm* F = GetParentForm();
    ShellExecuteA(F && F->HandleAllocated() ? F->Handle() : nullptr, "OPEN", S.c_str(), nullptr, nullptr,
                  SW_SHOWMAXIMIZED);
}

TFont* TdxInplaceHyperLinkEdit::GetUnderlinedFont() {
    if (!FUnderlinedFont) {
        FUnderlinedFont = Create<TFont>();
        Perform(CM_FONTCHANGED, 0, 0);
    }
    return FUnderlinedFont;
}

void TdxInplaceHyperLinkEdit::SetEditFontColor(TColor Value) {
    if (FEditFontColor == Value)
        return;
    FEditFontColor = Value;
    Perform(CM_FONTCHANGED, 0, 0);
    Invalidate();
}

void TdxInplaceHyperLinkEdit::CMFontChangedLink(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (FUnderlinedFont) {
        FUnderlinedFont->Assign(Font());
        TFontStyles Style = FUnderlinedFont->Style();
        Style.Include(fsUnderline);
        FUnderlinedFont->SetStyle(Style);
        FUnderlinedFont->SetColor(FEditFontColor);
    }
}

void TdxInplaceHyperLinkEdit::WMSetFontLink(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    CHARFORMAT2A F{};
    F.cbSize = sizeof(F);
    F.dwMask = CFM_COLOR | CFM_UNDERLINETYPE;
    F.bUnderlineType = CFU_UNDERLINE;
    if (FEditFontColor == clWindowText || FEditFontColor == clDefault)
        F.dwEffects = CFE_AUTOCOLOR;
    else
        F.crTextColor = ColorToRGB(FEditFontColor);
    SendMessageA(FHandle, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&F));
}

TdxEditViewData* TdxInplaceHyperLinkEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceTextEdit::CreateViewData(IsPaintCopy);
    if (auto* D = DynCast<TdxHyperLinkEditViewData>(VD))
        D->CanFollow = !ComponentState().Contains(csDesigning) && (SingleClick || IsInplace() || !IsEditable());
    TFont* F = GetUnderlinedFont();
    VD->TextColor = ColorToRGB(F->Color());
    VD->Font = F->Handle();
    return VD;
}

void TdxInplaceHyperLinkEdit::ActivateByClick() {
    if (!SingleClick)
        return;
    if (HandleAllocated())
        UpdateWindow(FHandle);
    FollowLink();
}

void TdxInplaceHyperLinkEdit::SelectAll() {
    if (!IsInplace())
        TdxInplaceTextEdit::SelectAll();
}

void TdxInplaceHyperLinkEdit::KeyDown(Word& Key, TShiftState Shift) {
    const TShortCut Pressed = ShortCut(Key, Shift);
    if (Pressed != 0 && Pressed == StartKey) {
        if (HandleAllocated())
            RemovePendingMessage(FHandle, WM_CHAR);
        FollowLink();
        Key = 0;
        return;
    }
    TdxInplaceTextEdit::KeyDown(Key, Shift);
}

void TdxInplaceHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TdxInplaceTextEdit::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !ClientRect().Contains(TPoint{X, Y}))
        return;
    if (SingleClick || IsInplace() || !IsEditable())
        FollowLink();
}

void TdxInplaceHyperLinkEdit::WMLButtonDblClkLink(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    FollowLink();
}

// ---------------------------------------------------------------------------------------------
// Time editor

const char* const TimeFormats[3][2] = {
    {"hh:nn:ss", "00:00:00;1;0"}, {"hh:nn", "00:00;1;0"}, {"hh", "00;1;0"}};

TdxInplaceTimeEdit::TdxInplaceTimeEdit(TComponent* AOwner) : TdxInplaceSpinEdit(AOwner) {
    SetStoredEditMask(TimeFormats[FTimeEditFormat][1]);
    IgnoreMaskBlank = true;
}

void TdxInplaceTimeEdit::SetTimeEditFormat(TdxTimeEditFormat Value) {
    if (FTimeEditFormat == Value)
        return;
    FTimeEditFormat = Value;
    SetStoredEditMask(TimeFormats[Value][1]);
}

void TdxInplaceTimeEdit::SetTime(TDateTime Value) {
    if (Value == FTimeValue)
        return;
    TCustomdxContainer* C = Container();
    if ((C && C->ComponentState().Contains(csLoading)) || CanChangeValue())
        SetValue(Value);
}

void TdxInplaceTimeEdit::SetEditValue(const Variant& Value) {
    const bool Modified = GetModified();
    if (Value.IsNull() || Value.IsEmpty() ||
        ((Value.VType() == varString || Value.VType() == varOleStr) && Value.AsString().empty())) {
        FDatePart = 0;
        SetValue(0);
    } else {
        const TDateTime D = VarToDateTime(Value);
        FDatePart = TruncDate(D);
        SetValue(TimeOnly(D));
    }
    SetModified(Modified);
}

void TdxInplaceTimeEdit::ReadEditValue(Variant& Value) {
    if (FTimeValue == 0 && FDatePart == 0)
        Value = Variant::FromCurrency(0);
    else
        Value = Variant(FDatePart + FTimeValue);
}

double TdxInplaceTimeEdit::GetValue() {
    try {
        return StrToTime(Text());
    } catch (const EConvertError&) {
        return 0;
    }
}

char TdxInplaceTimeEdit::CurrentSection() {
    const std::string F = UpperCase(TimeFormats[FTimeEditFormat][0]);
    int P = GetSelStart() + 1;
    if (MaxLength() > 0)
        P = std::min(P, MaxLength());
    P = std::min<int>(P, static_cast<int>(F.size()));
    const char C = F[P - 1];
    if (C == 'H' || C == 'N' || C == 'S')
        return C;
    return P > 1 ? F[P - 2] : F[0];
}

double TdxInplaceTimeEdit::GetIncrement() {
    switch (CurrentSection()) {
    case 'H': return TimeHour;
    case 'N': return TimeMinute;
    case 'S': return TimeSecond;
    default: return 0;
    }
}

bool TdxInplaceTimeEdit::IsValidSpinChar(char Ch) {
    const int S = GetSelStart();
    const bool Digit = Ch >= '0' && Ch <= '9';
    switch (CurrentSection()) {
    case 'H':
        if (S == 0)
            return Ch >= '0' && Ch <= '2';
        if (S == 1)
            return Text().empty() || Text()[0] != '2' ? Digit : Ch >= '0' && Ch <= '3';
        return true;
    case 'N':
        return S == 3 ? Ch >= '0' && Ch <= '5' : true;
    case 'S':
        return S == 6 ? Ch >= '0' && Ch <= '5' : true;
    default:
        return true;
    }
}

void TdxInplaceTimeEdit::SetValue(double X) {
    // A half-second margin: a value stepped past the last second of the day by floating-point
    // arithmetic must still count as past it.
    if (X < MinTime || X > MaxTime + TimeSecond / 2)
        return;
    const int Start = HandleAllocated() ? GetSelStart() : 0;
    const int Caret = Start <= 2 ? 1 : Start <= 5 ? 4 : 7;
    FTimeValue = X;
    std::string S;
    try {
        S = FormatDateTime(TimeFormats[FTimeEditFormat][0], X);
    } catch (const Exception&) {
        S = TimeToStr(Time());
    }
    SetMaskedText(S);
    if (HandleAllocated())
        SetSelection(Caret, Caret + 1);
}
