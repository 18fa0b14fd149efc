#include "dxEditor.h"

#include <memory>

namespace {
using TViewDataPtr = std::unique_ptr<TdxEditViewData, TObjectDeleter>;

void FillWith(HDC DC, const TRect& R, HBRUSH Brush) { FillRect(DC, R, Brush); }

// A triangle or three dots in one system colour.
void DrawSymbol(HDC DC, const TRect& R, TdxEditButtonKind Kind, int Dot, int Colour) {
    HBRUSH Brush = GetSysColorBrush(Colour);
    HPEN Pen = CreatePen(PS_SOLID, 1, GetSysColor(Colour));
    HGDIOBJ OldPen = SelectObject(DC, Pen);
    HGDIOBJ OldBrush = SelectObject(DC, Brush);
    if (Kind == bkDown) {
        int S = R.Width() / 2;
        if (S % 2 == 0)
            ++S;
        const int X = (R.Left + R.Right - S) / 2;
        const int Y = (R.Top + R.Bottom - S / 2) / 2 - (R.Height() & 1);
        POINT P[3] = {{X, Y}, {X + S - 1, Y}, {X + S / 2, Y + S / 2}};
        Polygon(DC, P, 3);
    } else {
        const int X = (R.Left + R.Right - Dot) / 2;
        const int Y = (R.Top + R.Bottom - Dot / 2) / 2 - (R.Height() & 1);
        for (int I = -1; I <= 1; ++I) {
            TRect D{X + 2 * Dot * I, Y, X + 2 * Dot * I + Dot, Y + Dot};
            FillRect(DC, D, Brush);
        }
    }
    SelectObject(DC, OldBrush);
    SelectObject(DC, OldPen);
    DeleteObject(Pen);
}

void DrawEditButton(HDC DC, TRect R, bool Pushed, bool Hot, TdxDropDownEditViewData* VD,
                    const TdxEditButtonViewInfo& B) {
    const bool Glyph = B.Kind == bkGlyph;
    HBRUSH Fill = nullptr;
    const int Symbol = DrawEditButtonFrame(DC, R, Pushed, Hot, Glyph, false, VD, Fill);
    const TdxEditButtonViewStyle Style = VD->ButtonStyle == btsSimple && (Hot || Pushed) ? btsFlat : VD->ButtonStyle;
    if (Glyph && B.Glyph) {
        const int GW = B.Glyph->Width(), GH = B.Glyph->Height();
        int X = R.Left + (R.Width() - GW) / 2;
        const int Y = R.Top + (R.Height() - GH) / 2;
        if (Pushed && (Style == btsFlat || Style == btsSimple) && ((R.Width() - GW) & 1))
            ++X;
        TRect Dest{X, Y, X + GW, Y + GH};
        DrawTransparentBitmap(DC, Fill, Dest, B.Glyph);
        return;
    }
    int Dot = 1;
    if (B.Kind == bkEllipsis)
        Dot = (B.Width + ((VD->ButtonStyle == btsFlat || VD->ButtonStyle == btsSimple) ? 1 : 0)) >= 16 ? 2 : 1;
    if (VD->Enabled)
        DrawSymbol(DC, R, B.Kind, Dot, Symbol);
    else {
        TRect Shifted = R;
        OffsetRect(Shifted, 1, 1);
        DrawSymbol(DC, Shifted, B.Kind, Dot, COLOR_BTNHIGHLIGHT);
        DrawSymbol(DC, R, B.Kind, Dot, COLOR_BTNSHADOW);
    }
}
}  // namespace

int DrawEditButtonFrame(HDC DC, TRect& R, bool Pushed, bool Hot, bool Glyph, bool SkipWhenViewTransparent,
                        TdxEditViewData* VD, HBRUSH& Fill) {
    const bool Transparent = VD->ButtonsTransparent;
    const bool SkipFace = SkipWhenViewTransparent && VD->Transparent;
    Fill = Transparent ? VD->Brush : GetSysColorBrush(COLOR_BTNFACE);
    TdxEditButtonViewStyle Style = VD->ButtonStyle;
    if (Style == btsSimple && (Hot || Pushed))
        Style = btsFlat;
    if (Transparent && !Glyph && !SkipFace)
        FillWith(DC, R, VD->Brush);
    const UINT Middle = (Transparent || Glyph) ? 0 : BF_MIDDLE;
    int Symbol = COLOR_BTNTEXT;
    switch (Style) {
    case bts3D:
        if (Pushed) {
            DrawEdge(DC, R, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | Middle | BF_ADJUST);
            DrawEdge(DC, R, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST);
        } else
            DrawEdge(DC, R, EDGE_RAISED, BF_RECT | Middle | BF_ADJUST);
        break;
    case btsFlat:
        if (!Transparent && !SkipFace) {
            TRect Column{R.Left, R.Top, R.Left + 1, R.Bottom};
            FillWith(DC, Column, GetSysColorBrush(COLOR_BTNFACE));
            R.Left += 1;
        }
        DrawEdge(DC, R, Pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | Middle | BF_ADJUST);
        break;
    case btsSimple:
        if (Transparent)
            InflateRect(R, -1, -1);
        else {
            FrameRect(DC, R, VD->Brush);
            InflateRect(R, -1, -1);
            TRect Column{R.Left, R.Top, R.Left + 1, R.Bottom};
            FillWith(DC, Column, VD->Brush);
            R.Left += 1;
            if (!Glyph)
                FillWith(DC, R, Fill);
        }
        break;
    case btsHotFlat:
        FrameRect(DC, R, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(R, -1, -1);
        if (!Transparent) {
            Fill = GetSysColorBrush(COLOR_BTNFACE);
            if (VD->Enabled && Pushed)
                Fill = GetSysColorBrush(COLOR_BTNTEXT);
            else if (VD->Enabled && Hot)
                Fill = GetSysColorBrush(COLOR_BTNSHADOW);
            if (!Glyph)
                FillWith(DC, R, Fill);
        }
        if (Hot || Pushed) {
            if (!Transparent)
                Symbol = COLOR_WINDOW;
            else if (!Pushed)
                Symbol = COLOR_BTNSHADOW;
        }
        break;
    default:
        break;
    }
    if (Pushed && Style != btsHotFlat) {
        const int Shift = (Glyph && Style == bts3D) ? 2 : 1;
        OffsetRect(R, Shift, Shift);
    }
    return Symbol;
}

// ---------------------------------------------------------------------------------------------
// Class level: buttons in the view

TdxEditViewDataClass TdxInplaceDropDownEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxDropDownEditViewData>();
}

int TdxInplaceDropDownEdit::TMetaClass::ButtonWidth(TdxDropDownEditViewData* ViewData,
                                                   const TdxEditButtonViewInfo& Button) const {
    const TdxEditButtonViewStyle S = ViewData->ButtonStyle;
    if (Button.Kind == bkGlyph && Button.Glyph && Button.Glyph->Width() > 0)
        return Button.Glyph->Width() + 2 + ((S == btsFlat || S == btsSimple) ? 1 : 0) + (S == bts3D ? 2 : 0);
    return GetSystemMetrics(SM_CXVSCROLL) - ((S == btsFlat || S == btsSimple) ? 1 : 0);
}

void TdxInplaceDropDownEdit::TMetaClass::InitButtons(TdxDropDownEditViewData* ViewData) const {
    for (TdxEditButtonViewInfo& B : ViewData->Buttons)
        B = TdxEditButtonViewInfo{};
    if (ViewData->HideButtons) {
        ViewData->ButtonCount = 0;
        return;
    }
    ViewData->ButtonCount = 1;
    TdxEditButtonViewInfo& B = ViewData->Buttons[0];
    B.Glyph = ViewData->Glyph;
    B.Index = 0;
    B.Kind = ViewData->Glyph ? bkGlyph : bkDown;
    B.LeftAlignment = false;
    B.Width = ButtonWidth(ViewData, B);
}

void TdxInplaceDropDownEdit::TMetaClass::CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const {
    TdxInplaceMaskEdit::TMetaClass::CalcViewInfo(ViewData, AutoSize, Info);
    auto* VD = DynCast<TdxDropDownEditViewData>(ViewData);
    if (!VD)
        return;
    InitButtons(VD);
    for (int I = 0; I < VD->ButtonCount; ++I) {
        if (VD->Buttons[I].LeftAlignment)
            Info.ClientBounds.Left += VD->Buttons[I].Width;
        else
            Info.ClientBounds.Right -= VD->Buttons[I].Width;
    }
}

// The strip inside the border, shared out from the last record to the first.
static int LayOutButtons(TdxDropDownEditViewData* VD, const ViewInfo& Info, TRect* Rects) {
    TRect Strip = Info.BorderRect;
    TdxInplaceEdit::InflateByBorder(Strip, Info, false);
    for (int I = VD->ButtonCount - 1; I >= 0; --I) {
        const TdxEditButtonViewInfo& B = VD->Buttons[I];
        if (B.LeftAlignment) {
            Rects[I] = TRect{Strip.Left, Strip.Top, Strip.Left + B.Width, Strip.Bottom};
            Strip.Left += B.Width;
        } else {
            Rects[I] = TRect{Strip.Right - B.Width, Strip.Top, Strip.Right, Strip.Bottom};
            Strip.Right -= B.Width;
        }
    }
    return VD->ButtonCount;
}

void TdxInplaceDropDownEdit::TMetaClass::DrawBorder(HDC DC, const ViewInfo& Info, TdxEditViewData* ViewData) const {
    TdxInplaceMaskEdit::TMetaClass::DrawBorder(DC, Info, ViewData);
    auto* VD = DynCast<TdxDropDownEditViewData>(ViewData);
    if (!VD)
        return;
    TRect Rects[dxMaxEditButtons];
    const int N = LayOutButtons(VD, Info, Rects);
    for (int I = 0; I < N; ++I) {
        const bool Hot = VD->HotButton == I;
        DrawEditButton(DC, Rects[I], Hot && VD->PushedButton == I, Hot, VD, VD->Buttons[I]);
    }
}

// ---------------------------------------------------------------------------------------------
// Life

TdxInplaceDropDownEdit::TdxInplaceDropDownEdit(TComponent* AOwner) : TdxInplaceMaskEdit(AOwner) {}

TdxInplaceDropDownEdit::~TdxInplaceDropDownEdit() { FreeAndNil(FButtonGlyph); }

void TdxInplaceDropDownEdit::DefineClass(TClassBuilder<TdxInplaceDropDownEdit>& B) {
    B.Message<&TdxInplaceDropDownEdit::WMLButtonDownDrop>(WM_LBUTTONDOWN);
    B.Message<&TdxInplaceDropDownEdit::WMLButtonDblClk>(WM_LBUTTONDBLCLK);
    B.Message<&TdxInplaceDropDownEdit::WMLButtonUpDrop>(WM_LBUTTONUP);
    B.Message<&TdxInplaceDropDownEdit::WMMouseWheel>(WM_MOUSEWHEEL);
    B.Message<&TdxInplaceDropDownEdit::WMNCHitTest>(WM_NCHITTEST);
    B.Message<&TdxInplaceDropDownEdit::WMNCLButtonDown>(WM_NCLBUTTONDOWN);
    B.Message<&TdxInplaceDropDownEdit::WMNCLButtonDblClk>(WM_NCLBUTTONDBLCLK);
    B.Message<&TdxInplaceDropDownEdit::WMCancelModeDrop>(WM_CANCELMODE);
    B.Message<&TdxInplaceDropDownEdit::WMCaptureChanged>(WM_CAPTURECHANGED);
    B.Message<&TdxInplaceDropDownEdit::WMKillFocusDrop>(WM_KILLFOCUS);
    B.Message<&TdxInplaceDropDownEdit::WMGetDlgCodeDrop>(WM_GETDLGCODE);
    B.Message<&TdxInplaceDropDownEdit::CMCancelMode>(CM_CANCELMODE);
    B.Message<&TdxInplaceDropDownEdit::CMHintShow>(CM_HINTSHOW);
    B.Message<&TdxInplaceDropDownEdit::PopupClosed>(PopupClosedMessage);
    B.Message<&TdxInplaceDropDownEdit::OpenPopupRequest>(OpenPopupMessage);
}

TBitmap* TdxInplaceDropDownEdit::ButtonGlyph() {
    if (!FButtonGlyph)
        FButtonGlyph = Create<TBitmap>();
    return FButtonGlyph;
}

void TdxInplaceDropDownEdit::SetButtonGlyph(TBitmap* Value) {
    if (!Value || Value->Empty())
        FreeAndNil(FButtonGlyph);
    else
        ButtonGlyph()->Assign(Value);
    StyleChanged();
}

TdxEditViewData* TdxInplaceDropDownEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceMaskEdit::CreateViewData(IsPaintCopy);
    if (auto* D = DynCast<TdxDropDownEditViewData>(VD)) {
        D->Glyph = (FButtonGlyph && !FButtonGlyph->Empty()) ? FButtonGlyph : nullptr;
        D->HotButton = FHotButton;
        D->PushedButton = FPushedButton;
        D->HideButtons = FStyle && FStyle->ButtonTransparence() == ebtHideInactive && !IsHotOrFocused();
    }
    return VD;
}

int TdxInplaceDropDownEdit::ButtonRects(TdxDropDownEditViewData* ViewData, const ViewInfo& Info, TRect* Rects) {
    return LayOutButtons(ViewData, Info, Rects);
}

// ---------------------------------------------------------------------------------------------
// Protocol

bool TdxInplaceDropDownEdit::PopupActive() {
    return ActivePopup && ActivePopup->HandleAllocated() && IsWindowVisible(ActivePopup->Handle()) &&
           (GetFocus() == ActivePopup->Handle() || ForwardKeysToPopup);
}

bool TdxInplaceDropDownEdit::IsFocused() {
    return TdxInplaceMaskEdit::IsFocused() ||
           (ActivePopup && ActivePopup->HandleAllocated() && GetFocus() == ActivePopup->Handle());
}

TdxPopupBorder TdxInplaceDropDownEdit::ResolvedPopupBorder() {
    if (PopupBorder != pbDefault)
        return PopupBorder;
    if (TCustomdxContainer* C = Container())
        return C->EditorBorderKind();
    switch (FStyle ? FStyle->BorderStyle() : xbs3D) {
    case xbsSingle:
    case xbs3D:
        return pbSingle;
    case xbsFlat:
        return pbFlat;
    default:
        return pbFrame3D;
    }
}

void TdxInplaceDropDownEdit::ShowPopup(bool Show) {
    if (Show == PopupActive())
        return;
    if (Show)
        PostMessageA(Handle(), OpenPopupMessage, 0, 0);
    else
        ClosePopup(false);
}

void TdxInplaceDropDownEdit::SetHotButton(int Index) {
    if (FHotButton == Index)
        return;
    FHotButton = Index;
    if (HandleAllocated())
        SendMessageA(FHandle, WM_NCPAINT, 1, 0);
}

void TdxInplaceDropDownEdit::ReleaseButton() {
    if (FPushedButton == -1)
        return;
    FPushedButton = -1;
    if (HandleAllocated()) {
        if (GetCapture() == FHandle)
            ReleaseCapture();
        SendMessageA(FHandle, WM_NCPAINT, 1, 0);
    }
}

void TdxInplaceDropDownEdit::PressButton(bool NoCapture, int Index) {
    if (ActivePopup && DroppedDown && ForwardKeysToPopup) {
        ClosePopup(false);
        return;
    }
    if (DroppedDown)
        return;
    FPushedButton = FHotButton;
    if (!NoCapture)
        SetCapture(Handle());
    SendMessageA(Handle(), WM_NCPAINT, 1, 0);
    if (Index != -1)
        ShowPopup(true);
}

void TdxInplaceDropDownEdit::PopupMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    if (Button != mbLeft || !ActivePopup)
        return;
    ClosePopup(ActivePopup->ClientRect().Contains(TPoint{X, Y}));
}

void TdxInplaceDropDownEdit::FocusEditor() {
    if (HandleAllocated() && GetFocus() != FHandle && CanFocus() && IsWindowVisible(FHandle) && Application &&
        Application->Active())
        ::SetFocus(FHandle);
}

void TdxInplaceDropDownEdit::DoOpenPopup() {
    OnBeforePopup(this);
    OnPopup(this);
}

void TdxInplaceDropDownEdit::PopupKeyDown(Word& Key, TShiftState Shift) {
    const bool Alt = Shift.Contains(ssAlt);
    if (((Key == VK_UP || Key == VK_DOWN) && Alt) || (Key == VK_F4 && !Alt)) {
        if (DroppedDown)
            ClosePopup(true);
        else
            OpenPopup();
        Key = 0;
    } else if ((Key == VK_RETURN || Key == VK_ESCAPE) && DroppedDown && !Alt) {
        const bool Enter = Key == VK_RETURN;
        ClosePopup(Enter);
        if (Enter)
            RemovePendingMessage(Handle(), WM_CHAR);
        Key = 0;
    }
}

void TdxInplaceDropDownEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!ForwardKeysToPopup) {
        const bool Alt = Shift.Contains(ssAlt);
        if (((Key == VK_UP || Key == VK_DOWN) && Alt) || (Key == VK_F4 && !Alt)) {
            OpenPopup();
            Key = 0;
            return;
        }
    }
    TdxInplaceMaskEdit::KeyDown(Key, Shift);
}

void TdxInplaceDropDownEdit::PositionPopup(TControl* Popup, bool AdjustWidth) {
    RECT W;
    GetWindowRect(Handle(), &W);
    TRect R = TRect::From(W);
    TViewDataPtr VD(CreateViewData(false));
    ViewInfo Info;
    Meta()->CalcViewInfo(VD.get(), false, Info);
    int Width = Info.BorderRect.Width() + (VD->Shadow ? 2 : 0);
    if (AdjustWidth && Width > Popup->Width())
        Popup->SetWidth(Width);
    R.Left += Info.BorderRect.Left;
    R.Right = R.Left + Width;
    if (VD->BorderStyle == xbsNone || VD->BorderStyle == xbsSingle) {
        InflateRect(R, 0, -1);
        if (!IsInplace() && VD->BorderStyle == xbsNone)
            InflateRect(R, 0, -1);
    }
    TPoint P{R.Left, R.Bottom};
    if (PopupAlignment == taRightJustify)
        P.X = R.Right - Popup->Width();
    else if (PopupAlignment == taCenter)
        P.X = (R.Left + R.Right) / 2 - Popup->Width() / 2;
    FitPopupToWorkArea(P, Popup->Width(), Popup->Height(), R.Height());
    Popup->SetBounds(P.X, P.Y, Popup->Width(), Popup->Height());
}

// ---------------------------------------------------------------------------------------------
// Showing, activation

void TdxInplaceDropDownEdit::InitialShow() {
    TdxInplaceMaskEdit::InitialShow();
    if (ImmediatePopup)
        ShowPopup(true);
}

void TdxInplaceDropDownEdit::HideInplace() {
    if (DroppedDown && ActivePopup && ActivePopup->HandleAllocated())
        PostMessageA(ActivePopup->Handle(), WM_CLOSE, 0, 0);
    DroppedDown = false;
    TdxInplaceMaskEdit::HideInplace();
}

void TdxInplaceDropDownEdit::ShowInplace() {
    DroppedDown = false;
    TdxInplaceMaskEdit::ShowInplace();
}

void TdxInplaceDropDownEdit::SetHot(bool Value) {
    TdxInplaceMaskEdit::SetHot(Value);
    if (!Value)
        SetHotButton(-1);
}

void TdxInplaceDropDownEdit::ActivateByMouse(int X, int Y) { FeedClickToFrame(X, Y); }

void TdxInplaceDropDownEdit::ActivateByClick() {
    if (PopupOnClick && !(ActivePopup && DroppedDown))
        OpenPopup();
}

// ---------------------------------------------------------------------------------------------
// Messages

void TdxInplaceDropDownEdit::WndProc(TMessage& Message) {
    const UINT Msg = Message.Msg;
    if (!ForwardKeysToPopup || (Msg != WM_KEYDOWN && Msg != WM_SYSKEYDOWN && Msg != WM_CHAR)) {
        TdxInplaceMaskEdit::WndProc(Message);
        return;
    }
    Word Key = static_cast<Word>(Message.WParam);
    if (Msg != WM_CHAR) {
        PopupKeyDown(Key, KeyDataToShiftState(Message.LParam));
        if (Key == 0)
            return;
    }
    if (!DroppedDown || !ActivePopup || !ActivePopup->HandleAllocated()) {
        TdxInplaceMaskEdit::WndProc(Message);
        return;
    }
    if (!SearchInPopup) {
        Message.Result = SendMessageA(ActivePopup->Handle(), Msg, Message.WParam, Message.LParam);
        return;
    }
    if (Msg == WM_CHAR || (Msg == WM_KEYDOWN && (Key == VK_BACK || Key == VK_DELETE))) {
        TdxInplaceMaskEdit::WndProc(Message);
        PopupSearch(Text());
    } else if (Msg == WM_KEYDOWN && (Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_RIGHT) &&
               HasEditWindow())
        TdxInplaceMaskEdit::WndProc(Message);
    else if (Msg == WM_KEYDOWN && (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME ||
                                   Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN))
        Message.Result = SendMessageA(ActivePopup->Handle(), Msg, Message.WParam, Message.LParam);
    else if (Msg == WM_SYSKEYDOWN && Key == VK_F4)
        TdxInplaceMaskEdit::WndProc(Message);
}

void TdxInplaceDropDownEdit::MouseMove(TShiftState Shift, int X, int Y) {
    TdxInplaceMaskEdit::MouseMove(Shift, X, Y);
    if (!(FPushedButton != -1 || (PopupOnClick && Shift.Contains(ssLeft))) || !DroppedDown || !ActivePopup ||
        !ActivePopup->HandleAllocated())
        return;
    POINT P{X, Y};
    ::ClientToScreen(FHandle, &P);
    ::ScreenToClient(ActivePopup->Handle(), &P);
    if (ActivePopup->ClientRect().Contains(TPoint{P.x, P.y})) {
        ReleaseButton();
        SendMessageA(ActivePopup->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.x, P.y));
    }
}

void TdxInplaceDropDownEdit::WMLButtonDownDrop(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (PopupOnClick)
        PressButton(true, 0);
}

void TdxInplaceDropDownEdit::WMLButtonDblClk(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (PopupOnClick)
        PressButton(true, 0);
}

void TdxInplaceDropDownEdit::WMLButtonUpDrop(TMessage& Message) {
    if (FPushedButton != -1) {
        // A release off the button is no click.
        const int Index = FHotButton == -1 ? -1 : FPushedButton;
        ReleaseButton();
        if (Index != -1)
            ButtonClick(Index);
    }
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceDropDownEdit::WMMouseWheel(TMessage& Message) {
    const auto Delta = static_cast<short>(HIWORD(Message.WParam));
    if (PopupActive())
        SendMessageA(ActivePopup->Handle(), WM_VSCROLL, Delta <= 0 ? SB_LINEDOWN : SB_LINEUP, 0);
    else
        StepValue(Delta <= 0 ? 1 : -1, false);
    Message.Result = 1;
}

void TdxInplaceDropDownEdit::WMNCHitTest(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (ComponentState().Contains(csDesigning)) {
        SetHotButton(-1);
        return;
    }
    RECT W;
    GetWindowRect(FHandle, &W);
    TPoint P{static_cast<SmallInt>(LOWORD(Message.LParam)) - W.left, static_cast<SmallInt>(HIWORD(Message.LParam)) - W.top};
    TViewDataPtr VD(CreateViewData(false));
    auto* D = static_cast<TdxDropDownEditViewData*>(VD.get());
    ViewInfo Info;
    Meta()->CalcViewInfo(D, false, Info);
    TRect Rects[dxMaxEditButtons];
    const int N = LayOutButtons(D, Info, Rects);
    for (int I = 0; I < N; ++I)
        if (Rects[I].Contains(P) && (!GetCapture() || FPushedButton != -1)) {
            SetHotButton(FPushedButton == -1 || FPushedButton == I ? I : -1);
            Message.Result = HTBORDER;
            return;
        }
    SetHotButton(-1);
}

void TdxInplaceDropDownEdit::WMNCLButtonDown(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (FHotButton != -1) {
        PressButton(false, FHotButton);
        FocusEditor();
    }
}

void TdxInplaceDropDownEdit::WMNCLButtonDblClk(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    SendMessageA(FHandle, WM_NCLBUTTONDOWN, Message.WParam, Message.LParam);
}

void TdxInplaceDropDownEdit::WMCancelModeDrop(TMessage& Message) {
    ReleaseButton();
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceDropDownEdit::WMCaptureChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    ReleaseButton();
}

void TdxInplaceDropDownEdit::WMKillFocusDrop(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (DroppedDown)
        ClosePopup(false);
}

void TdxInplaceDropDownEdit::WMGetDlgCodeDrop(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (IsInplace() || PopupActive())
        Message.Result |= DLGC_WANTALLKEYS;
}

void TdxInplaceDropDownEdit::CMCancelMode(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    auto* Sender = reinterpret_cast<TControl*>(Message.LParam);
    if (DroppedDown && Sender != this && Sender != ActivePopup)
        ClosePopup(false);
}

void TdxInplaceDropDownEdit::CMHintShow(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (PopupActive())
        Message.Result = 1;
}

void TdxInplaceDropDownEdit::PopupClosed(TMessage&) { DroppedDown = false; }

void TdxInplaceDropDownEdit::OpenPopupRequest(TMessage&) { OpenPopup(); }
