#include "dxCalc.h"

#include "ResStrings.h"

#include <algorithm>
#include <cmath>
#include <cstring>

std::string CalcErrorText;

namespace {
TBitmap* KeyBitmap = nullptr;

using namespace dxCalcKey;

struct TKeyInfo {
    const char* Caption;
    TColor Color;
};
const TKeyInfo KeyTable[27] = {
    {"Back", clMaroon}, {"CE", clMaroon}, {"C", clMaroon}, {"MC", clRed},   {"MR", clRed},   {"MS", clRed},
    {"M+", clRed},      {"0", clBlue},    {"1", clBlue},   {"2", clBlue},   {"3", clBlue},   {"4", clBlue},
    {"5", clBlue},      {"6", clBlue},    {"7", clBlue},   {"8", clBlue},   {"9", clBlue},   {"+/-", clBlue},
    {",", clBlue},      {"/", clRed},     {"*", clRed},    {"-", clRed},    {"+", clRed},    {"sqrt", clNavy},
    {"%", clNavy},      {"1/x", clNavy},  {"=", clRed},
};

bool IsDigit(Byte K) { return K >= Digit0 && K <= Digit0 + 9; }
bool IsArithmetic(Byte K) { return K >= Divide && K <= Add; }
}  // namespace

TCustomdxCalculator::TCustomdxCalculator(TComponent* AOwner) : TdxInplacePopupControl(AOwner) {
    SetBounds(Left(), Top(), 207, 137);
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
    SetColor(clBtnFace);
    SetTabStop(true);
    Layout();
    Clear();
}

void TCustomdxCalculator::DefineClass(TClassBuilder<TCustomdxCalculator>& B) {
    B.Message<&TCustomdxCalculator::WMEraseBkgndCalc>(WM_ERASEBKGND);
    B.Message<&TCustomdxCalculator::WMGetDlgCodeCalc>(WM_GETDLGCODE);
    B.Message<&TCustomdxCalculator::WMSizeCalc>(WM_SIZE);
    B.Message<&TCustomdxCalculator::WMFocusCalc>(WM_SETFOCUS);
    B.Message<&TCustomdxCalculator::WMFocusCalc>(WM_KILLFOCUS);
    B.Message<&TCustomdxCalculator::CMInvalidate>(CM_FONTCHANGED);
    B.Message<&TCustomdxCalculator::CMInvalidate>(CM_ENABLEDCHANGED);
    B.Message<&TCustomdxCalculator::CMMouseLeaveCalc>(CM_MOUSELEAVE);
}

void TCustomdxCalculator::CreateParams(TCreateParams& Params) {
    TdxInplacePopupControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_DBLCLKS);
    if (PopupMode)
        Params.Style &= ~static_cast<DWORD>(WS_BORDER);
}

void TCustomdxCalculator::SetButtonStyle(TdxButtonStyle Value) {
    if (FButtonStyle != Value) {
        FButtonStyle = Value;
        Invalidate();
    }
}

void TCustomdxCalculator::SetShowButtonFrame(bool Value) {
    if (FShowButtonFrame != Value) {
        FShowButtonFrame = Value;
        Invalidate();
    }
}

void TCustomdxCalculator::SetShowFocusRect(bool Value) {
    if (FShowFocusRect != Value) {
        FShowFocusRect = Value;
        Invalidate();
    }
}

// ---------------------------------------------------------------------------------------------
// Layout

void TCustomdxCalculator::Layout() {
    for (int I = 0; I < 27; ++I) {
        TdxCalcKey& K = FKeys[I];
        K.Kind = static_cast<Byte>(I);
        K.Caption = I == Decimal ? std::string(1, DecimalSeparator) : KeyTable[I].Caption;
        K.Color = KeyTable[I].Color;
        K.Bounds = TRect{};
        K.Down = false;
        K.Grayed = false;
    }
    const int X = KeyGapX, Y = KeyGapY, W = KeyWidth, H = KeyHeight, L = WideKeyWidth, B = W + 2 * X + 4;
    auto RowTop = [&](int R) { return Y + R * (H + Y); };
    const Byte Memories[4] = {MemoryClear, MemoryRecall, MemoryStore, MemoryAdd};
    for (int R = 1; R <= 4; ++R)
        FKeys[Memories[R - 1]].Bounds = TRect{X, RowTop(R), X + W, RowTop(R) + H};
    const Byte Block[4][5] = {{Digit0 + 7, Digit0 + 8, Digit0 + 9, Divide, Sqrt},
                              {Digit0 + 4, Digit0 + 5, Digit0 + 6, Multiply, Percent},
                              {Digit0 + 1, Digit0 + 2, Digit0 + 3, Subtract, Reciprocal},
                              {Digit0, Sign, Decimal, Add, Equals}};
    for (int R = 1; R <= 4; ++R)
        for (int C = 0; C < 5; ++C) {
            const int Left = X + B + C * (X + W);
            FKeys[Block[R - 1][C]].Bounds = TRect{Left, RowTop(R), Left + W, RowTop(R) + H};
        }
    const int Right = FKeys[Equals].Bounds.Right;
    FKeys[ClearAll].Bounds = TRect{Right - L, Y, Right, Y + H};
    FKeys[ClearEntry].Bounds = TRect{Right - 2 * L - Y, Y, Right - L - Y, Y + H};
    FKeys[Back].Bounds = TRect{Right - 3 * L - 2 * Y, Y, Right - 2 * L - 2 * Y, Y + H};
    GrayMemoryKeys();
}

void TCustomdxCalculator::Clear() {
    Operator = Equals;
    EntryState = 0;
    Memory = 0;
    GrayMemoryKeys();
}

void TCustomdxCalculator::CalcSizes(int AWidth, int AHeight) {
    const int Target = std::min(AHeight, MulDiv(AWidth, 137, 207));
    auto F = [](int H) { return 5 * H + 6 * MulDiv(H, 4, 22); };
    int Best = 22;
    while (std::abs(F(Best + 1) - Target) < std::abs(F(Best) - Target))
        ++Best;
    KeyHeight = Best;
    KeyWidth = MulDiv(Best, 28, 22);
    KeyGapX = KeyGapY = MulDiv(Best, 4, 22);
    WideKeyWidth = MulDiv(KeyWidth, 17, 10);
    KeyFontSize = MulDiv(Best, 8, 22);
    PadHeight = 5 * KeyHeight + 6 * KeyGapY;
    PadWidth = 6 * KeyWidth + 8 * KeyGapX + 4;
    Layout();
}

Byte TCustomdxCalculator::KeyAt(int X, int Y) const {
    for (int I = 0; I < 27; ++I)
        if (FKeys[I].Bounds.Contains(TPoint{X, Y}))
            return static_cast<Byte>(I);
    return None;
}

// ---------------------------------------------------------------------------------------------
// Arithmetic

void TCustomdxCalculator::GrayMemoryKeys() {
    const bool Empty = Memory == 0;
    FKeys[MemoryClear].Grayed = FKeys[MemoryRecall].Grayed = Empty;
    InvalidateKey(MemoryClear);
    InvalidateKey(MemoryRecall);
}

void TCustomdxCalculator::Error() {
    EntryState = 2;
    SetDisplayText(CalcErrorText);
    if (BeepOnError)
        MessageBeep(0);
    OnCalcError(this);
}

void TCustomdxCalculator::StartNumber() {
    if (EntryState == 0) {
        EntryState = 1;
        SetDisplayText("0");
    }
}

double TCustomdxCalculator::GetValue() {
    if (EntryState == 2)
        return 0;
    std::string S;
    GetDisplayText(S);
    S = Trim(S);
    return StrToFloat(S.empty() ? "0" : S);
}

void TCustomdxCalculator::SetValue(double X) {
    const std::string S = FloatToStrF(X, ffGeneral, std::max<int>(2, Precision), 0);
    std::string Old;
    GetDisplayText(Old);
    if (S != Old) {
        SetDisplayText(S);
        OnDisplayChanged(this);
    }
}

void TCustomdxCalculator::ButtonClick(Byte Key) {
    OnKeyButton(this, Key);
    if (EntryState == 2 && Key != ClearEntry && Key != ClearAll) {
        Error();
        return;
    }
    std::string S;
    if (Key == Decimal) {
        StartNumber();
        GetDisplayText(S);
        if (S.find(DecimalSeparator) == std::string::npos)
            SetDisplayText(S + DecimalSeparator);
        return;
    }
    if (IsDigit(Key)) {
        StartNumber();
        GetDisplayText(S);
        if (S == "0")
            S.clear();
        const std::size_t Limit = std::max<int>(2, Precision) + (S.find('-') != std::string::npos ? 1 : 0);
        if (S.size() < Limit)
            SetDisplayText(S + static_cast<char>('0' + Key - Digit0));
        else if (BeepOnError)
            MessageBeep(0);
        return;
    }
    switch (Key) {
    case Back:
        StartNumber();
        GetDisplayText(S);
        if (S.size() <= 1 || (S.size() == 2 && S[0] == '-'))
            SetDisplayText("0");
        else
            SetDisplayText(S.substr(0, S.size() - 1));
        break;
    case Sign:
        SetValue(-GetValue());
        break;
    case Sqrt:
    case Reciprocal: {
        EntryState = IsArithmetic(Operator) ? 1 : 0;
        const double V = GetValue();
        if (Key == Sqrt && V >= 0)
            SetValue(std::sqrt(V));
        else if (Key == Reciprocal && V != 0)
            SetValue(1 / V);
        else
            Error();
        break;
    }
    case Divide:
    case Multiply:
    case Subtract:
    case Add:
    case Percent:
    case Equals:
        if (EntryState != 1)
            break;
        EntryState = 0;
        {
            double V = GetValue();
            if (Key == Percent) {
                if (Operator == Divide || Operator == Multiply)
                    V = V / 100;
                else if (Operator == Subtract || Operator == Add)
                    V = Operand * V / 100;
            }
            switch (Operator) {
            case Divide:
                if (V == 0) {
                    Error();
                    return;
                }
                SetValue(Operand / V);
                break;
            case Multiply: SetValue(Operand * V); break;
            case Subtract: SetValue(Operand - V); break;
            case Add: SetValue(Operand + V); break;
            default:
                if (Key == Percent)
                    SetValue(V);
                break;
            }
        }
        Operator = Key;
        Operand = GetValue();
        if (Key == Percent || Key == Equals)
            OnCalcResult(this);
        break;
    case ClearEntry:
    case ClearAll:
        EntryState = 0;
        SetValue(0);
        Operator = Equals;
        break;
    case MemoryAdd:
    case MemoryStore:
        EntryState = 0;
        Memory = Key == MemoryAdd ? Memory + GetValue() : GetValue();
        GrayMemoryKeys();
        break;
    case MemoryRecall:
        EntryState = 0;
        StartNumber();
        SetValue(Memory);
        break;
    case MemoryClear:
        Memory = 0;
        GrayMemoryKeys();
        break;
    default:
        break;
    }
}

void TCustomdxCalculator::CopyToClipboard() {
    std::string S;
    GetDisplayText(S);
    if (!OpenClipboard(HandleAllocated() ? FHandle : nullptr))
        return;
    EmptyClipboard();
    if (HGLOBAL G = GlobalAlloc(GMEM_MOVEABLE, S.size() + 1)) {
        std::memcpy(GlobalLock(G), S.c_str(), S.size() + 1);
        GlobalUnlock(G);
        if (!SetClipboardData(CF_TEXT, G))
            GlobalFree(G);
    }
    CloseClipboard();
}

void TCustomdxCalculator::PasteFromClipboard() {
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(HandleAllocated() ? FHandle : nullptr))
        return;
    std::string S;
    if (HANDLE H = GetClipboardData(CF_TEXT)) {
        if (const char* P = static_cast<const char*>(GlobalLock(H))) {
            S = P;
            GlobalUnlock(H);
        }
    }
    CloseClipboard();
    if (!CurrencyString.empty())
        for (std::size_t P; (P = S.find(CurrencyString)) != std::string::npos;)
            S.erase(P, CurrencyString.size());
    try {
        SetValue(StrToFloat(Trim(S)));
        EntryState = 1;
    } catch (EConvertError&) {
        SetValue(0);
    }
}

// ---------------------------------------------------------------------------------------------
// Painting

void TCustomdxCalculator::InvalidateKey(Byte K) {
    if (HandleAllocated() && K < 27) {
        RECT R = FKeys[K].Bounds;
        InvalidateRect(FHandle, &R, FALSE);
    }
}

void TCustomdxCalculator::DrawKey(HDC DC, const TdxCalcKey& K) {
    const int W = K.Bounds.Width(), H = K.Bounds.Height();
    if (!KeyBitmap)
        KeyBitmap = Create<TBitmap>();
    if (KeyBitmap->Width() < W || KeyBitmap->Height() < H)
        KeyBitmap->SetSize(std::max(W, KeyBitmap->Width()), std::max(H, KeyBitmap->Height()));
    TCanvas* C = KeyBitmap->Canvas();
    C->Font()->Assign(Canvas()->Font());
    C->Brush()->SetColor(Color());
    HDC B = C->Handle();
    TRect R{0, 0, W, H};
    C->FillRect(R);
    const bool Pressed = K.Down && !K.Grayed;
    if (FButtonStyle == bsStandard) {
        RECT F = R;
        DrawFrameControl(B, &F, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED : 0));
    } else if (FButtonStyle == bsFlat || Pressed || K.Kind == HotKey) {
        RECT F = R;
        DrawEdge(B, &F, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    TRect T = R;
    InflateRect(T, -2, -2);
    if (Pressed)
        OffsetRect(T, 2, 2);
    SetBkMode(B, TRANSPARENT);
    auto Caption = [&](TColor Colour, int Shift) {
        SetTextColor(B, ColorToRGB(Colour));
        RECT D = T;
        OffsetRect(&D, Shift, Shift);
        DrawTextA(B, K.Caption.c_str(), static_cast<int>(K.Caption.size()), &D,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
    };
    if (!Enabled()) {
        Caption(clBtnHighlight, 1);
        Caption(clBtnShadow, 0);
    } else
        Caption(K.Grayed ? clBtnShadow : K.Color, 0);
    if (FShowButtonFrame) {
        TRect F = R;
        InflateRect(F, -3, -3);
        if (Pressed)
            OffsetRect(F, 1, 1);
        HGDIOBJ OldBrush = SelectObject(B, GetStockObject(NULL_BRUSH));
        HPEN Pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ OldPen = SelectObject(B, Pen);
        RoundRect(B, F.Left, F.Top, F.Right, F.Bottom, F.Height() - 4, F.Height() - 4);
        SelectObject(B, OldPen);
        SelectObject(B, OldBrush);
        DeleteObject(Pen);
    }
    BitBlt(DC, K.Bounds.Left, K.Bounds.Top, W, H, B, 0, 0, SRCCOPY);
    if (K.Kind == Equals && FShowFocusRect && HandleAllocated() && GetFocus() == FHandle) {
        RECT F = K.Bounds;
        InflateRect(&F, -3, -3);
        DrawFocusRect(DC, &F);
    }
}

void TCustomdxCalculator::Paint() {
    if (!HandleAllocated())
        return;
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    if (AutoFontSize) {
        C->Font()->SetSize(KeyFontSize);
        C->Font()->SetStyle(KeyFontSize >= 10 ? TFontStyles{fsBold} : TFontStyles{});
    }
    HDC DC = C->Handle();
    const TRect Client = ClientRect();
    HRGN Rest = CreateRectRgn(Client.Left, Client.Top, Client.Right, Client.Bottom);
    for (int I = 0; I < 27; ++I) {
        RECT R = FKeys[I].Bounds;
        if (FKeys[I].Bounds.Width() <= 0 || !RectVisible(DC, &R))
            continue;
        DrawKey(DC, FKeys[I]);
        HRGN K = CreateRectRgn(R.left, R.top, R.right, R.bottom);
        CombineRgn(Rest, Rest, K, RGN_DIFF);
        DeleteObject(K);
    }
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color()));
    FillRgn(DC, Rest, Brush);
    DeleteObject(Brush);
    DeleteObject(Rest);
}

void TCustomdxCalculator::WMEraseBkgndCalc(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Message.Result = 1;
}

void TCustomdxCalculator::WMSizeCalc(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    CalcSizes(ClientWidth(), ClientHeight());
    if (ClientWidth() != PadWidth || ClientHeight() != PadHeight)
        SetClientSize(PadWidth, PadHeight);
}

void TCustomdxCalculator::WMFocusCalc(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    InvalidateKey(Equals);
}

void TCustomdxCalculator::CMInvalidate(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Invalidate();
}

void TCustomdxCalculator::CMMouseLeaveCalc(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (FButtonStyle == bsExtraFlat) {
        const Byte Old = HotKey;
        HotKey = None;
        InvalidateKey(Old);
    }
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

void TCustomdxCalculator::Track(int X, int Y) {
    if (MouseKey >= 27)
        return;
    const bool Down = KeyAt(X, Y) == MouseKey;
    if (FKeys[MouseKey].Down != Down) {
        FKeys[MouseKey].Down = Down;
        InvalidateKey(MouseKey);
    }
}

void TCustomdxCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TdxInplacePopupControl::MouseDown(Button, Shift, X, Y);
    if (!ComponentState().Contains(csDesigning) && !InEditorPopup && CanFocus())
        SetFocus();
    const Byte K = KeyAt(X, Y);
    if (Button == mbLeft && K != None) {
        SetCapture(Handle());
        Tracking = true;
        MouseKey = K;
        Track(X, Y);
    }
}

void TCustomdxCalculator::MouseMove(TShiftState Shift, int X, int Y) {
    TdxInplacePopupControl::MouseMove(Shift, X, Y);
    if (Tracking)
        Track(X, Y);
    else if (FButtonStyle == bsExtraFlat && Enabled()) {
        const Byte K = KeyAt(X, Y);
        if (K != HotKey) {
            const Byte Old = HotKey;
            HotKey = K;
            InvalidateKey(Old);
            InvalidateKey(K);
        }
    }
}

void TCustomdxCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TdxInplacePopupControl::MouseUp(Button, Shift, X, Y);
    const Byte K = MouseKey;
    const bool WasDown = K < 27 && FKeys[K].Down;
    if (Tracking) {
        Track(-1, -1);
        Tracking = false;
        if (HandleAllocated() && GetCapture() == FHandle)
            ReleaseCapture();
    }
    if (K < 27)
        FKeys[K].Down = false;
    MouseKey = None;
    if (Button == mbLeft && WasDown)
        ButtonClick(K);
}

void TCustomdxCalculator::PressKey(Byte K) {
    if (K != PressedKey) {
        ReleasePressedKey();
        PressedKey = K;
        FKeys[K].Down = true;
        InvalidateKey(K);
        if (HandleAllocated())
            UpdateWindow(FHandle);
        if (K != Back)
            ButtonClick(K);
    }
}

void TCustomdxCalculator::ReleasePressedKey() {
    if (PressedKey < 27) {
        FKeys[PressedKey].Down = false;
        InvalidateKey(PressedKey);
    }
    PressedKey = None;
}

void TCustomdxCalculator::KeyDown(Word& Key, TShiftState Shift) {
    TdxInplacePopupControl::KeyDown(Key, Shift);
    const bool Ctrl = Shift.Contains(ssCtrl);
    if (Key == VK_INSERT && Shift.Contains(ssShift))
        PasteFromClipboard();
    else if (Key == VK_INSERT && Ctrl)
        CopyToClipboard();
    Byte K = None;
    switch (Key) {
    case VK_RETURN: K = Equals; break;
    case VK_ESCAPE: K = ClearAll; break;
    case VK_DELETE: K = ClearEntry; break;
    case 'C': K = Ctrl ? None : ClearAll; break;
    case 'L': K = Ctrl ? MemoryClear : None; break;
    case 'R': K = Ctrl ? MemoryRecall : Reciprocal; break;
    case 'M': K = Ctrl ? MemoryStore : None; break;
    case 'P': K = Ctrl ? MemoryAdd : None; break;
    case VK_F9: K = Sign; break;
    default: break;
    }
    if (K != None)
        PressKey(K);
}

void TCustomdxCalculator::KeyPress(char& Key) {
    TdxInplacePopupControl::KeyPress(Key);
    if (Key == 22)
        PasteFromClipboard();
    else if (Key == 3)
        CopyToClipboard();
    Byte K = None;
    if (Key == '\b')
        K = Back;
    else if (Key >= '0' && Key <= '9')
        K = static_cast<Byte>(Digit0 + Key - '0');
    else if (Key == DecimalSeparator)
        K = Decimal;
    else
        switch (Key) {
        case '%': K = Percent; break;
        case '*': K = Multiply; break;
        case '+': K = Add; break;
        case '-': K = Subtract; break;
        case '/': K = Divide; break;
        case '=': K = Equals; break;
        case '@': K = Sqrt; break;
        default: break;
        }
    if (K != None)
        PressKey(K);
    if (PressedKey == Back)
        ButtonClick(Back);
}

void TCustomdxCalculator::KeyUp(Word& Key, TShiftState Shift) {
    TdxInplacePopupControl::KeyUp(Key, Shift);
    ReleasePressedKey();
}

// ---------------------------------------------------------------------------------------------
// Unit start-up and shut-down

void dxCalcInitialization() {
    if (!KeyBitmap)
        KeyBitmap = Create<TBitmap>();
    CalcErrorText = LoadResString(ResString("Error"));
}

void dxCalcFinalization() {
    FreeAndNil(KeyBitmap);
    CalcErrorText.clear();
}
