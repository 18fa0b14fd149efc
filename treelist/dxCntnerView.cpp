#include "dxCntner.h"

#include <memory>

namespace {
using TViewDataPtr = std::unique_ptr<TdxEditViewData, TObjectDeleter>;

TdxEditBorderStyle RaisedBorder(TdxEditBorderStyle Style) {
    switch (Style) {
    case xbsNone:
        return xbsFlat;
    case xbsSingle:
        return xbsThick;
    case xbsFlat:
        return xbs3D;
    default:
        return Style;
    }
}

TdxEditButtonViewStyle ButtonStyleForBorder(TdxEditBorderStyle Style) {
    switch (Style) {
    case xbsNone:
        return btsSimple;
    case xbsSingle:
        return btsHotFlat;
    case xbsFlat:
        return btsFlat;
    default:
        return bts3D;
    }
}

UINT EdgeFlags(const ViewInfo& Info) {
    return (Info.LeftEdge ? BF_LEFT : 0) | (Info.TopEdge ? BF_TOP : 0) | (Info.RightEdge ? BF_RIGHT : 0) |
           (Info.BottomEdge ? BF_BOTTOM : 0);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// View data

TdxEditViewData* TdxInplaceEdit::CreateViewData(bool IsPaintCopy) {
    auto* VD = static_cast<TdxEditViewData*>(Meta()->GetViewDataClass()->CreateInstance());
    VD->Enabled = Enabled();
    VD->Focused = IsFocused();
    VD->Highlighted = IsHotOrFocused();
    if (FStyle) {
        VD->BorderColor = FStyle->BorderColor();
        VD->BorderStyle = FStyle->BorderStyle();
        if (VD->Highlighted && FStyle->HotTrack())
            VD->BorderStyle = RaisedBorder(VD->BorderStyle);
        VD->ButtonStyle = FStyle->ButtonStyle();
        TdxEditButtonTransparence T = FStyle->ButtonTransparence();
        VD->ButtonsTransparent = T == ebtAlways || (T == ebtInactive && !VD->Highlighted);
        VD->Edges = FStyle->Edges();
        VD->Shadow = FStyle->Shadow();
    }
    if (VD->ButtonStyle == btsDefault)
        VD->ButtonStyle = ButtonStyleForBorder(VD->BorderStyle);
    VD->Transparent = FTransparent && !VD->Focused;
    VD->Bounds = TRect{0, 0, Width(), Height()};
    VD->TextMargins = FTextMargins;
    VD->VertLayout = 0;
    VD->Font = Font()->Handle();
    if (VD->Enabled) {
        VD->Brush = Brush()->Handle();
        VD->BkColor = static_cast<COLORREF>(ColorToRGB(Color()));
        VD->TextColor = static_cast<COLORREF>(ColorToRGB(Font()->Color()));
    } else {
        VD->Brush = GetSysColorBrush(COLOR_BTNFACE);
        VD->BkColor = GetSysColor(COLOR_BTNFACE);
        VD->TextColor = GetSysColor(COLOR_BTNSHADOW);
    }
    VD->Alignment = (IsStored(dxStored::Alignment) || !FDataDefinition) ? FAlignment : FDataDefinition->Alignment();
    VD->EditWindowView = HasEditWindow();
    VD->ValueLength = 0;
    ReadDisplayValue(VD->Value, IsPaintCopy);
    VD->Cursor = Cursor();
    return VD;
}

// ---------------------------------------------------------------------------------------------
// Class-level painting

void TdxInplaceEdit::TMetaClass::CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const {
    Info = ViewInfo{};
    if (ViewData->Shadow)
        Info.ShadowSize = 2;
    const int SS = Info.ShadowSize;
    Info.Bounds = ViewData->Bounds;
    const TRect& B = Info.Bounds;
    Info.ClientBounds = TRect{B.Left + 2, B.Top + 2, B.Right - 2 - SS, B.Bottom - 2 - SS};
    switch (ViewData->BorderStyle) {
    case xbsNone:
        Info.BorderWidth = 0;
        break;
    case xbsSingle:
        Info.BorderWidth = 1;
        break;
    default:
        Info.BorderWidth = 2;
        break;
    }
    if (AutoSize) {
        TRect R;
        GetContentRect(ViewData, R);
        int H;
        if (!R.IsEmpty()) {
            Info.Bounds.Right = Info.Bounds.Left + R.Width() + 4 + SS;
            Info.ClientBounds.Right = Info.Bounds.Left + 2 + R.Width();
            H = R.Height();
        } else
            H = CalcTextHeight(ViewData);
        Info.Bounds.Bottom = Info.Bounds.Top + H + 4 + SS;
        Info.ClientBounds.Bottom = Info.Bounds.Top + 2 + H;
    }
    Info.LeftEdge = ViewData->Edges.Contains(edgLeft);
    Info.TopEdge = ViewData->Edges.Contains(edgTop);
    Info.RightEdge = ViewData->Edges.Contains(edgRight);
    Info.BottomEdge = ViewData->Edges.Contains(edgBottom);
    Info.BorderRect = Info.ClientBounds;
    TdxInplaceEdit::InflateByBorder(Info.BorderRect, Info, true);
    if (SS > 0) {
        Info.ShadowRect = Info.BorderRect;
        OffsetRect(Info.ShadowRect, SS, SS);
    }
}

int TdxInplaceEdit::TMetaClass::CalcTextHeight(TdxEditViewData* ViewData) const {
    int Frame = IsInplace() ? 3 : 2 * (GetSystemMetrics(SM_CYBORDER) + 1);
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, ViewData->Font);
    TEXTMETRICA TM{};
    GetTextMetricsA(DC, &TM);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return Frame + TM.tmHeight;
}

void TdxInplaceEdit::TMetaClass::DrawBorder(HDC DC, const ViewInfo& Info, TdxEditViewData* ViewData) const {
    TRect R = Info.BorderRect;
    const UINT Flags = EdgeFlags(Info);
    switch (ViewData->BorderStyle) {
    case xbsSingle:
    case xbsThick: {
        HBRUSH Brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(ViewData->BorderColor)));
        const int BW = Info.BorderWidth;
        if (Info.LeftEdge && Info.TopEdge && Info.RightEdge && Info.BottomEdge)
            for (int I = 0; I < BW; ++I) {
                FrameRect(DC, R, Brush);
                InflateRect(R, -1, -1);
            }
        else {
            const LONG SideTop = Info.TopEdge ? R.Top : R.Top - BW;
            if (Info.LeftEdge) {
                TRect S{R.Left, SideTop, R.Left + BW, R.Bottom};
                FillRect(DC, S, Brush);
            }
            if (Info.TopEdge) {
                TRect S{R.Left, R.Top, R.Right, R.Top + BW};
                FillRect(DC, S, Brush);
            }
            if (Info.RightEdge) {
                TRect S{R.Right - BW, SideTop, R.Right, R.Bottom};
                FillRect(DC, S, Brush);
            }
            if (Info.BottomEdge) {
                TRect S{R.Left, R.Bottom - BW, R.Right, R.Bottom};
                FillRect(DC, S, Brush);
            }
        }
        DeleteObject(Brush);
        break;
    }
    case xbsFlat:
        DrawEdge(DC, R, BDR_SUNKENOUTER, Flags | BF_ADJUST);
        DrawEdge(DC, R, BDR_SUNKENINNER, Flags | BF_FLAT);
        break;
    case xbs3D:
        DrawEdge(DC, R, EDGE_SUNKEN, Flags);
        break;
    default:
        break;
    }
    if (ViewData->Shadow && Info.ShadowSize > 0)
        FillShadowEdges(DC, Info.ShadowRect, Info.ShadowSize, ShadowBrush);
}

bool TdxInplaceEdit::TMetaClass::DrawClient(HDC DC, const TRect& Rect, bool, TdxEditViewData* ViewData) const {
    if (!ViewData->MeasureOnly)
        FillRect(DC, Rect, ViewData->Brush);
    return true;
}

void TdxInplaceEdit::TMetaClass::Draw(HDC DC, const TRect&, HRGN ClipRgn, TdxEditViewData* ViewData) const {
    ViewInfo Info;
    CalcViewInfo(ViewData, false, Info);
    DrawBorder(DC, Info, ViewData);
    DrawClient(DC, Info.ClientBounds, false, ViewData);
    if (ClipRgn) {
        HRGN Border = TdxInplaceEdit::BorderRegion(Info);
        if (!Border)
            Border = CreateRectRgnIndirect(Info.BorderRect);
        CombineRgn(ClipRgn, ClipRgn, Border, RGN_DIFF);
        DeleteObject(Border);
    }
}

TCursor TdxInplaceEdit::TMetaClass::GetViewCursor(TdxEditViewData* ViewData, int, int) const {
    if (ViewData->Cursor != crDefault)
        return ViewData->Cursor;
    return ViewData->EditWindowView ? crDefault : crArrow;
}

void TdxInplaceEdit::TMetaClass::GetContentRect(TdxEditViewData*, TRect& R) const { R = TRect{}; }

TdxEditViewDataClass TdxInplaceEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxEditViewData>();
}

TdxEditStyleClass TdxInplaceEdit::TMetaClass::GetEditStyleClass() const { return TdxEditStyleClass::Of<TdxEditStyle>(); }

HRGN TdxInplaceEdit::BorderRegion(const ViewInfo& Info) {
    if (Info.ShadowSize == 0 && Info.BorderWidth == 2 && Info.LeftEdge && Info.TopEdge && Info.RightEdge &&
        Info.BottomEdge)
        return nullptr;
    HRGN R = CreateRectRgnIndirect(Info.BorderRect);
    if (Info.ShadowSize > 0) {
        HRGN S = CreateRectRgnIndirect(Info.ShadowRect);
        CombineRgn(R, R, S, RGN_OR);
        DeleteObject(S);
    }
    return R;
}

void TdxInplaceEdit::InflateByBorder(TRect& R, const ViewInfo& Info, bool Outward) {
    const int D = Outward ? Info.BorderWidth : -Info.BorderWidth;
    if (Info.LeftEdge)
        R.Left -= D;
    if (Info.TopEdge)
        R.Top -= D;
    if (Info.RightEdge)
        R.Right += D;
    if (Info.BottomEdge)
        R.Bottom += D;
}

// ---------------------------------------------------------------------------------------------
// The editor window's shape and painting

void TdxInplaceEdit::UpdateWindowShape() {
    if (!HandleAllocated() || ComponentState().Contains(csDestroying))
        return;
    TViewDataPtr VD(CreateViewData(false));
    ViewInfo Info;
    Meta()->CalcViewInfo(VD.get(), AutoSizeActive(), Info);
    if (Info.Bounds.Width() != Width() || Info.Bounds.Height() != Height())
        SetBounds(Left(), Top(), Info.Bounds.Width(), Info.Bounds.Height());
    SetWindowRgn(FHandle, BorderRegion(Info), TRUE);
}

void TdxInplaceEdit::UpdateHotRegion() {
    if (ComponentState().Contains(csDestroying) || !FStyle)
        return;
    if (FStyle->HotTrack() || FStyle->ButtonTransparence() != ebtNone)
        UpdateWindowShape();
}

void TdxInplaceEdit::WMSize(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    UpdateWindowShape();
}

void TdxInplaceEdit::CMFontChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    UpdateWindowShape();
}

void TdxInplaceEdit::CMColorChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    StyleChanged();
}

void TdxInplaceEdit::CMEnabledChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    StyleChanged();
}

void TdxInplaceEdit::CMTextChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!HasEditWindow())
        InvalidateEditor();
}

void TdxInplaceEdit::WMNCCalcSize(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!Message.LParam)
        return;
    TViewDataPtr VD(CreateViewData(false));
    ViewInfo Info;
    Meta()->CalcViewInfo(VD.get(), false, Info);
    // The first rectangle of either form of the message is the proposed client area.
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    R->left += Info.ClientBounds.Left - Info.Bounds.Left;
    R->top += Info.ClientBounds.Top - Info.Bounds.Top;
    R->right -= Info.Bounds.Right - Info.ClientBounds.Right;
    R->bottom -= Info.Bounds.Bottom - Info.ClientBounds.Bottom;
    if (R->left > R->right)
        R->right = R->left;
}

void TdxInplaceEdit::WMNCPaint(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    TViewDataPtr VD(CreateViewData(false));
    ViewInfo Info;
    Meta()->CalcViewInfo(VD.get(), false, Info);
    HDC DC = GetWindowDC(FHandle);
    Meta()->DrawBorder(DC, Info, VD.get());
    LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
    if ((Style & WS_VSCROLL) && (Style & WS_HSCROLL)) {
        TRect R = Info.BorderRect;
        InflateRect(R, -Info.BorderWidth, -Info.BorderWidth);
        TRect Box{R.Right - GetSystemMetrics(SM_CXVSCROLL), R.Bottom - GetSystemMetrics(SM_CYHSCROLL), R.Right, R.Bottom};
        FillRect(DC, Box, GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(FHandle, DC);
}

void TdxInplaceEdit::WMPaint(TMessage& Message) {
    const bool PaintCopy = ControlState().Contains(csPaintCopy);
    if (!PaintCopy && (FActive || !DrawsInactiveAsCell()) &&
        !(HasEditWindow() && ComponentState().Contains(csDesigning))) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    TViewDataPtr VD(CreateViewData(true));
    PAINTSTRUCT PS{};
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    const bool Began = DC == nullptr;
    if (Began)
        DC = BeginPaint(FHandle, &PS);
    if (PaintCopy)
        Meta()->Draw(DC, VD->Bounds, nullptr, VD.get());
    else
        Meta()->DrawClient(DC, ClientRect(), false, VD.get());
    if (Began)
        EndPaint(FHandle, &PS);
}

void TdxInplaceEdit::PaintWindow(HDC DC) {
    if (ClientWidth() > 0) {
        TViewDataPtr VD(CreateViewData(false));
        Meta()->DrawClient(DC, ClientRect(), true, VD.get());
    }
    // Only a native edit control has painting of its own to add.
    if (HasEditWindow())
        TWinControl::PaintWindow(DC);
}

void TdxInplaceEdit::WMEraseBkgnd(TMessage& Message) {
    if (HasEditWindow() && Enabled())
        InheritedDispatch(StaticClass(), Message);
    else
        Message.Result = 1;
}

void TdxInplaceEdit::WMSetCursor(TMessage& Message) {
    if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(Message.LParam) == HTCLIENT) {
        POINT P;
        GetCursorPos(&P);
        ::ScreenToClient(FHandle, &P);
        TViewDataPtr VD(CreateViewData(false));
        TCursor C = Meta()->GetViewCursor(VD.get(), P.x, P.y);
        if (C != crDefault && Screen) {
            ::SetCursor(Screen->Cursors(C));
            Message.Result = 1;
            return;
        }
    }
    InheritedDispatch(StaticClass(), Message);
}
