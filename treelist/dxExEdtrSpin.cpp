#include "dxExEdtr.h"

#include <cmath>
#include <memory>

namespace {
using TViewDataPtr = std::unique_ptr<TdxEditViewData, TObjectDeleter>;

void DrawSpinArrow(HDC DC, const TRect& R, bool Up, int Colour) {
    int S = (R.Width() - 2) / 2;
    if (S % 2 == 0)
        ++S;
    const int X = (R.Left + R.Right - S) / 2;
    const int Y = (R.Top + R.Bottom - S / 2) / 2 - 1;
    POINT P[3];
    if (Up) {
        P[0] = {X, Y + S / 2};
        P[1] = {X + S / 2, Y};
        P[2] = {X + S - 1, Y + S / 2};
    } else {
        P[0] = {X, Y + 1};
        P[1] = {X + S - 1, Y + 1};
        P[2] = {X + S / 2, Y + 1 + S / 2};
    }
    HPEN Pen = CreatePen(PS_SOLID, 1, GetSysColor(Colour));
    HGDIOBJ OldPen = SelectObject(DC, Pen);
    HGDIOBJ OldBrush = SelectObject(DC, GetSysColorBrush(Colour));
    Polygon(DC, P, 3);
    SelectObject(DC, OldBrush);
    SelectObject(DC, OldPen);
    DeleteObject(Pen);
}

void DrawSpinButton(HDC DC, TRect R, bool Up, bool Hot, bool Pushed, TdxEditViewData* VD) {
    HBRUSH Fill = nullptr;
    const int Symbol = DrawEditButtonFrame(DC, R, Pushed, Hot, false, true, VD, Fill);
    if (VD->Enabled)
        DrawSpinArrow(DC, R, Up, Symbol);
    else {
        TRect Shifted = R;
        OffsetRect(Shifted, 1, 1);
        DrawSpinArrow(DC, Shifted, Up, COLOR_BTNHIGHLIGHT);
        DrawSpinArrow(DC, R, Up, COLOR_BTNSHADOW);
    }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Class level

TdxEditViewDataClass TdxInplaceSpinEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxSpinEditViewData>();
}

int TdxInplaceSpinEdit::TMetaClass::SpinButtonWidth(TdxEditViewData* ViewData) const {
    auto* S = DynCast<TdxSpinEditViewData>(ViewData);
    if (!S || !S->ShowButtons)
        return 0;
    int W = GetSystemMetrics(SM_CXVSCROLL);
    if (W % 2 == 0)
        --W;
    W = std::max(W, 13);
    if (ViewData->ButtonStyle == btsFlat || ViewData->ButtonStyle == btsSimple)
        --W;
    return W;
}

void TdxInplaceSpinEdit::TMetaClass::CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const {
    TdxInplaceMaskEdit::TMetaClass::CalcViewInfo(ViewData, AutoSize, Info);
    Info.ClientBounds.Right -= SpinButtonWidth(ViewData);
}

bool TdxInplaceSpinEdit::TMetaClass::SpinParts(TdxEditViewData* ViewData, const ViewInfo& Info, TRect& Up,
                                               TRect& Down) const {
    const int W = SpinButtonWidth(ViewData);
    if (W == 0)
        return false;
    TRect Column = Info.BorderRect;
    TdxInplaceEdit::InflateByBorder(Column, Info, false);
    Column.Left = Column.Right - W;
    const int Middle = (Column.Top + Column.Bottom) / 2;
    Up = TRect{Column.Left, Column.Top, Column.Right, Middle};
    Down = TRect{Column.Left, Middle, Column.Right, Column.Bottom};
    return true;
}

void TdxInplaceSpinEdit::TMetaClass::DrawBorder(HDC DC, const ViewInfo& Info, TdxEditViewData* ViewData) const {
    TdxInplaceMaskEdit::TMetaClass::DrawBorder(DC, Info, ViewData);
    TRect Up, Down;
    if (!SpinParts(ViewData, Info, Up, Down))
        return;
    auto* S = static_cast<TdxSpinEditViewData*>(ViewData);
    for (Byte Half : {Byte(1), Byte(2)}) {
        const bool Hot = S->HotPart == Half;
        DrawSpinButton(DC, Half == 1 ? Up : Down, Half == 1, Hot, Hot && S->PushedPart == Half, ViewData);
    }
}

// ---------------------------------------------------------------------------------------------
// Value

TdxInplaceSpinEdit::TdxInplaceSpinEdit(TComponent* AOwner) : TdxInplaceMaskEdit(AOwner) {
    TControlStyle S = ControlStyle();
    S.Exclude(csSetCaption);
    SetControlStyle(S);
    SetText("0");
}

void TdxInplaceSpinEdit::DefineClass(TClassBuilder<TdxInplaceSpinEdit>& B) {
    B.Message<&TdxInplaceSpinEdit::WMEditorEnabledOnly>(WM_CUT);
    B.Message<&TdxInplaceSpinEdit::WMEditorEnabledOnly>(WM_PASTE);
    B.Message<&TdxInplaceSpinEdit::WMEditorEnabledOnly>(WM_CLEAR);
    B.Message<&TdxInplaceSpinEdit::WMCancelModeSpin>(WM_CANCELMODE);
    B.Message<&TdxInplaceSpinEdit::WMCaptureChangedSpin>(WM_CAPTURECHANGED);
    B.Message<&TdxInplaceSpinEdit::WMKillFocusSpin>(WM_KILLFOCUS);
    B.Message<&TdxInplaceSpinEdit::WMMouseWheelSpin>(WM_MOUSEWHEEL);
    B.Message<&TdxInplaceSpinEdit::WMLButtonUpSpin>(WM_LBUTTONUP);
    B.Message<&TdxInplaceSpinEdit::WMNCHitTestSpin>(WM_NCHITTEST);
    B.Message<&TdxInplaceSpinEdit::WMNCLButtonDownSpin>(WM_NCLBUTTONDOWN);
    B.Message<&TdxInplaceSpinEdit::WMNCLButtonDblClkSpin>(WM_NCLBUTTONDBLCLK);
    B.Message<&TdxInplaceSpinEdit::WMTimer>(WM_TIMER);
}

double TdxInplaceSpinEdit::EmptyValue() const { return FNumberKind == 1 ? FMinValue : std::trunc(FMinValue); }

double TdxInplaceSpinEdit::ClampValue(double V) const {
    if (FMaxValue == FMinValue)
        return V;
    return std::min(std::max(V, FMinValue), FMaxValue);
}

double TdxInplaceSpinEdit::GetValue() {
    const std::string S = Text();
    if (S.empty())
        return EmptyValue();
    try {
        return FNumberKind == 1 ? StrToFloat(S) : static_cast<double>(StrToInt(S));
    } catch (const EConvertError&) {
        return EmptyValue();
    }
}

void TdxInplaceSpinEdit::SetValue(double V) {
    V = ClampValue(V);
    // Integers round to the nearest, ties to even.
    const std::string S = FNumberKind == 1 ? FloatToStrF(V, ffGeneral, 15, 0) : IntToStr(static_cast<int>(std::nearbyint(V)));
    if (S == Text())
        return;
    const bool Modified = GetModified();
    SetMaskedText(S);
    SetModified(Modified);
}

void TdxInplaceSpinEdit::SetMaxValue(double V) {
    if (V < FMinValue)
        V = FMinValue;
    if (V == FMaxValue)
        return;
    FMaxValue = V;
    SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetMinValue(double V) {
    if (V > FMaxValue)
        V = FMaxValue;
    if (V == FMinValue)
        return;
    FMinValue = V;
    SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetMinMax(double Min, double Max) {
    FMinValue = std::min(Min, Max);
    FMaxValue = Max;
    SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetMinMaxStored(double Min, double Max) {
    FStoredValues |= dxStored::MinValue | dxStored::MaxValue;
    SetMinMax(Min, Max);
}

void TdxInplaceSpinEdit::SetNumberKind(Byte T) {
    if (T == FNumberKind)
        return;
    FNumberKind = T;
    if (!Text().empty())
        SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetNumberKindStored(Byte T) {
    FStoredValues |= dxStored::NumberKind;
    SetNumberKind(T);
}

void TdxInplaceSpinEdit::RefreshDataProperties() {
    TdxInplaceMaskEdit::RefreshDataProperties();
    if (!IsStored(dxStored::NumberKind))
        SetNumberKind(DefaultNumberKind());
    if (!IsStored(dxStored::MinValue) && !IsStored(dxStored::MaxValue))
        SetMinMax(DefaultMinValue(), DefaultMaxValue());
    else {
        if (!IsStored(dxStored::MaxValue))
            SetMaxValue(DefaultMaxValue());
        if (!IsStored(dxStored::MinValue))
            SetMinValue(DefaultMinValue());
    }
}

void TdxInplaceSpinEdit::RestoreDefaults() {
    TdxInplaceMaskEdit::RestoreDefaults();
    SetMinMax(DefaultMinValue(), DefaultMaxValue());
    SetNumberKind(DefaultNumberKind());
}

void TdxInplaceSpinEdit::Validate() {
    TdxInplaceMaskEdit::Validate();
    if (GetModified())
        SetValue(GetValue());
}

void TdxInplaceSpinEdit::Spin() {
    if (!IsEditable()) {
        MessageBeep(0);
        return;
    }
    if (!CanChangeValue())
        return;
    if (FPushedSpinButton == 1)
        SetValue(GetValue() + GetIncrement());
    else if (FPushedSpinButton == 2)
        SetValue(GetValue() - GetIncrement());
    SetModified(true);
}

// ---------------------------------------------------------------------------------------------
// Keys

bool TdxInplaceSpinEdit::IsValidSpinChar(char Ch) {
    const auto C = static_cast<unsigned char>(Ch);
    if (!EditorEnabled && (C >= 32 || Ch == '\b'))
        return false;
    if (C < 32)
        return true;
    return Ch == '+' || Ch == '-' || (Ch >= '0' && Ch <= '9') || (FNumberKind == 1 && Ch == FormatSettings.DecimalSeparator);
}

void TdxInplaceSpinEdit::KeyPress(char& Key) {
    if (Key == ',' || Key == '.')
        Key = FormatSettings.DecimalSeparator;
    if ((Key == '\b' || static_cast<unsigned char>(Key) >= 32) && !IsValidSpinChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (Key)
        TdxInplaceMaskEdit::KeyPress(Key);
}

void TdxInplaceSpinEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!EditorEnabled && IsEditKey(Key, Shift))
        Key = 0;
    if ((Key == VK_UP || Key == VK_DOWN) && (!UseCtrlIncrement || Shift.Contains(ssCtrl))) {
        FPushedSpinButton = FHotSpinButton = Key == VK_UP ? 1 : 2;
        if (HandleAllocated() && GetCapture() == FHandle)
            ReleaseCapture();
        RepaintFrame();
        Spin();
        Key = 0;
        return;
    }
    TdxInplaceMaskEdit::KeyDown(Key, Shift);
}

void TdxInplaceSpinEdit::KeyUp(Word& Key, TShiftState Shift) {
    if (Key == VK_UP || Key == VK_DOWN)
        ReleaseSpin();
    TdxInplaceMaskEdit::KeyUp(Key, Shift);
}

void TdxInplaceSpinEdit::DefaultHandler(TMessage& Message) {
    // The edit window never moves its caret for the spin keys.
    if (Message.Msg == WM_KEYDOWN && (Message.WParam == VK_UP || Message.WParam == VK_DOWN))
        return;
    TdxInplaceMaskEdit::DefaultHandler(Message);
}

void TdxInplaceSpinEdit::WMEditorEnabledOnly(TMessage& Message) {
    if (EditorEnabled)
        InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// Buttons and mouse

TdxEditViewData* TdxInplaceSpinEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceMaskEdit::CreateViewData(IsPaintCopy);
    if (auto* S = DynCast<TdxSpinEditViewData>(VD)) {
        S->ShowButtons = IsHotOrFocused() || !FStyle || FStyle->ButtonTransparence() != ebtHideInactive;
        S->PushedPart = FPushedSpinButton;
        const bool Keyboard = FPushedSpinButton != 0 && !(HandleAllocated() && GetCapture() == FHandle);
        S->HotPart = Keyboard ? FPushedSpinButton : FHotSpinButton;
    }
    return VD;
}

void TdxInplaceSpinEdit::RepaintFrame() {
    if (HandleAllocated())
        SendMessageA(FHandle, WM_NCPAINT, 1, 0);
}

void TdxInplaceSpinEdit::SetHotSpinButton(Byte Half) {
    if (FHotSpinButton == Half)
        return;
    FHotSpinButton = Half;
    RepaintFrame();
}

void TdxInplaceSpinEdit::ReleaseSpin() {
    if (FPushedSpinButton == 0)
        return;
    FPushedSpinButton = 0;
    FHotSpinButton = 0;
    if (HandleAllocated() && GetCapture() == FHandle)
        ReleaseCapture();
    RepaintFrame();
}

void TdxInplaceSpinEdit::SetHot(bool Value) {
    TdxInplaceMaskEdit::SetHot(Value);
    if (!Value)
        SetHotSpinButton(0);
}

void TdxInplaceSpinEdit::ActivateByMouse(int X, int Y) { FeedClickToFrame(X, Y); }

void TdxInplaceSpinEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    ReleaseSpin();
    TdxInplaceMaskEdit::MouseUp(Button, Shift, X, Y);
}

void TdxInplaceSpinEdit::WMLButtonUpSpin(TMessage& Message) {
    ReleaseSpin();
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceSpinEdit::WMCancelModeSpin(TMessage& Message) {
    ReleaseSpin();
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceSpinEdit::WMCaptureChangedSpin(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    ReleaseSpin();
}

void TdxInplaceSpinEdit::WMKillFocusSpin(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (GetKeyState(VK_UP) < 0 || GetKeyState(VK_DOWN) < 0)
        ReleaseSpin();
}

void TdxInplaceSpinEdit::WMMouseWheelSpin(TMessage& Message) {
    const auto Delta = static_cast<short>(HIWORD(Message.WParam));
    const Byte Old = FPushedSpinButton;
    FPushedSpinButton = Delta <= 0 ? 2 : 1;
    try {
        Spin();
    } catch (...) {
        FPushedSpinButton = Old;
        throw;
    }
    FPushedSpinButton = Old;
    Message.Result = 1;
}

void TdxInplaceSpinEdit::WMNCHitTestSpin(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (ComponentState().Contains(csDesigning)) {
        SetHotSpinButton(0);
        return;
    }
    RECT W;
    GetWindowRect(FHandle, &W);
    const TPoint P{static_cast<SmallInt>(LOWORD(Message.LParam)) - W.left,
                   static_cast<SmallInt>(HIWORD(Message.LParam)) - W.top};
    TViewDataPtr VD(CreateViewData(false));
    ViewInfo Info;
    Meta()->CalcViewInfo(VD.get(), false, Info);
    TRect Up, Down;
    if (Meta()->SpinParts(VD.get(), Info, Up, Down) && (Up.Contains(P) || Down.Contains(P)) &&
        (!GetCapture() || FPushedSpinButton != 0)) {
        const Byte Half = Up.Contains(P) ? 1 : 2;
        SetHotSpinButton(FPushedSpinButton != 0 && FPushedSpinButton != Half ? 0 : Half);
        Message.Result = HTBORDER;
        return;
    }
    SetHotSpinButton(0);
}

void TdxInplaceSpinEdit::WMNCLButtonDownSpin(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (FHotSpinButton == 0)
        return;
    FPushedSpinButton = FHotSpinButton;
    SetCapture(FHandle);
    RepaintFrame();
    Spin();
    // A press while an earlier repeat is still pending starts no repeat.
    if (FSpinTimer == 0)
        FSpinTimer = SetTimer(FHandle, RepeatTimerId, 400, nullptr);
    else {
        KillTimer(FHandle, RepeatTimerId);
        FSpinTimer = 0;
    }
    if (GetFocus() != FHandle && CanFocus())
        ::SetFocus(FHandle);
}

void TdxInplaceSpinEdit::WMNCLButtonDblClkSpin(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    ReleaseSpin();
    if (FSpinTimer) {
        KillTimer(FHandle, RepeatTimerId);
        FSpinTimer = 0;
    }
    SendMessageA(FHandle, WM_NCLBUTTONDOWN, Message.WParam, Message.LParam);
    SendMessageA(FHandle, WM_NCLBUTTONUP, Message.WParam, Message.LParam);
}

void TdxInplaceSpinEdit::WMTimer(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Message.WParam != RepeatTimerId)
        return;
    KillTimer(FHandle, RepeatTimerId);
    FSpinTimer = 0;
    if (FPushedSpinButton != 0 && GetCapture() == FHandle) {
        if (FPushedSpinButton == FHotSpinButton)
            Spin();
        FSpinTimer = SetTimer(FHandle, RepeatTimerId, 100, nullptr);
    }
}
