#include "Buttons.h"

#include "Dialogs.h"

#include <algorithm>

namespace {

TSize GlyphSizeOf(TBitmap* Glyph, int NumGlyphs) {
    if (!Glyph || Glyph->Empty() || NumGlyphs < 1)
        return TSize{0, 0};
    return TSize{Glyph->Width() / NumGlyphs, Glyph->Height()};
}

// The image of the glyph a state shows: images that the glyph lacks fall back to the up image.
int GlyphIndexOf(TButtonState State, int NumGlyphs) {
    int Index = static_cast<int>(State);
    if (State == bsExclusive && NumGlyphs < 4)
        Index = 2;
    return Index < NumGlyphs ? Index : 0;
}

void FillMasked(HDC DC, int X, int Y, int W, int H, HDC MaskDC, int SrcX, TColor Color) {
    // Where the mask is clear (the glyph's own pixels) the brush paints; elsewhere the target stays.
    HBRUSH Brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color)));
    HGDIOBJ OldBrush = SelectObject(DC, Brush);
    COLORREF OldText = SetTextColor(DC, RGB(0, 0, 0));
    COLORREF OldBk = SetBkColor(DC, RGB(255, 255, 255));
    BitBlt(DC, X, Y, W, H, MaskDC, SrcX, 0, 0x00B8074A);  // PSDPxax
    SetBkColor(DC, OldBk);
    SetTextColor(DC, OldText);
    SelectObject(DC, OldBrush);
    DeleteObject(Brush);
}

// Draws a button's glyph and caption into Client of a canvas, as the state shows them.
void DrawButtonFace(TCanvas* Canvas, const TRect& Client, TBitmap* Glyph, int NumGlyphs, TButtonState State,
                    const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing, TPoint Offset,
                    TFont* Font) {
    Canvas->SetFont(Font);
    HDC DC = Canvas->Handle();
    TSize GlyphSize = GlyphSizeOf(Glyph, NumGlyphs);
    TButtonFaceLayout L = CalcButtonLayout(DC, Client, GlyphSize, Caption, Layout, Margin, Spacing);
    bool Disabled = State == bsDisabled;
    if (GlyphSize.cx > 0)
        DrawGlyph(DC, Glyph, NumGlyphs, GlyphIndexOf(State, NumGlyphs), L.GlyphRect.Left + Offset.X,
                  L.GlyphRect.Top + Offset.Y, Disabled && NumGlyphs < 2);
    if (Caption.empty())
        return;
    RECT R = L.TextRect;
    OffsetRect(&R, Offset.X, Offset.Y);
    SetBkMode(DC, TRANSPARENT);
    UINT Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (Disabled) {
        OffsetRect(&R, 1, 1);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
        DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &R, Flags);
        OffsetRect(&R, -1, -1);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
    } else
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Font->Color())));
    DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &R, Flags);
}

}  // namespace

TButtonFaceLayout CalcButtonLayout(HDC DC, const TRect& Client, TSize GlyphSize, const std::string& Caption,
                                   TButtonLayout Layout, int Margin, int Spacing) {
    TSize TextSize{0, 0};
    if (!Caption.empty()) {
        RECT R{0, 0, Client.Width(), 0};
        DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &R, DT_CALCRECT | DT_SINGLELINE);
        TextSize = TSize{R.right - R.left, R.bottom - R.top};
    }
    bool Horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    int ClientLen = Horizontal ? Client.Width() : Client.Height();
    int GlyphLen = Horizontal ? GlyphSize.cx : GlyphSize.cy;
    int TextLen = Horizontal ? TextSize.cx : TextSize.cy;
    if (GlyphLen == 0 || TextLen == 0)
        Spacing = 0;
    if (Margin == -1) {
        if (Spacing == -1) {
            Margin = (ClientLen - GlyphLen - TextLen) / 3;
            Spacing = Margin;
        } else
            Margin = (ClientLen - GlyphLen - Spacing - TextLen + 1) / 2;
    } else if (Spacing == -1)
        Spacing = (ClientLen - Margin - GlyphLen - TextLen) / 2;

    // Along the layout's axis: glyph at the margin, text after the spacing; across it: centred.
    int GlyphPos = 0, TextPos = 0;
    switch (Layout) {
    case blGlyphLeft:
    case blGlyphTop:
        GlyphPos = Margin;
        TextPos = GlyphPos + GlyphLen + Spacing;
        break;
    case blGlyphRight:
    case blGlyphBottom:
        GlyphPos = ClientLen - Margin - GlyphLen;
        TextPos = GlyphPos - Spacing - TextLen;
        break;
    }
    TButtonFaceLayout L;
    if (Horizontal) {
        int GY = (Client.Height() - GlyphSize.cy + 1) / 2, TY = (Client.Height() - TextSize.cy + 1) / 2;
        L.GlyphRect = Bounds(Client.Left + GlyphPos, Client.Top + GY, GlyphSize.cx, GlyphSize.cy);
        L.TextRect = Bounds(Client.Left + TextPos, Client.Top + TY, TextSize.cx, TextSize.cy);
    } else {
        int GX = (Client.Width() - GlyphSize.cx + 1) / 2, TX = (Client.Width() - TextSize.cx + 1) / 2;
        L.GlyphRect = Bounds(Client.Left + GX, Client.Top + GlyphPos, GlyphSize.cx, GlyphSize.cy);
        L.TextRect = Bounds(Client.Left + TX, Client.Top + TextPos, TextSize.cx, TextSize.cy);
    }
    return L;
}

void DrawGlyph(HDC DC, TBitmap* Glyph, int NumGlyphs, int Index, int X, int Y, bool Embossed) {
    TSize Size = GlyphSizeOf(Glyph, NumGlyphs);
    if (Size.cx == 0 || Size.cy == 0)
        return;
    TColor Transparent = Glyph->TransparentColor();
    int SrcX = std::clamp(Index, 0, NumGlyphs - 1) * Size.cx;
    HBITMAP Mask = GraphicsDetail::CreateMaskBitmap(Glyph, Transparent);
    HDC MaskDC = CreateCompatibleDC(DC);
    HGDIOBJ OldMask = SelectObject(MaskDC, Mask);
    if (Embossed) {
        FillMasked(DC, X + 1, Y + 1, Size.cx, Size.cy, MaskDC, SrcX, clBtnHighlight);
        FillMasked(DC, X, Y, Size.cx, Size.cy, MaskDC, SrcX, clBtnShadow);
    } else {
        // The image's own pixels over the target, the transparent ones leaving it as it was.
        HDC Src = Glyph->Canvas()->Handle();
        COLORREF OldText = SetTextColor(DC, RGB(0, 0, 0));
        COLORREF OldBk = SetBkColor(DC, RGB(255, 255, 255));
        BitBlt(DC, X, Y, Size.cx, Size.cy, Src, SrcX, 0, SRCINVERT);
        BitBlt(DC, X, Y, Size.cx, Size.cy, MaskDC, SrcX, 0, SRCAND);
        BitBlt(DC, X, Y, Size.cx, Size.cy, Src, SrcX, 0, SRCINVERT);
        SetBkColor(DC, OldBk);
        SetTextColor(DC, OldText);
    }
    SelectObject(MaskDC, OldMask);
    DeleteDC(MaskDC);
    DeleteObject(Mask);
}

// ---------------------------------------------------------------------------------------------
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    // Clicks are the button's own (on release inside), not the framework's.
    FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csSetCaption};
    FWidth = 23;
    FHeight = 22;
    FGlyph = Create<TBitmap>();
    FGlyph->OnChange = TNotifyEvent::Bind<&TSpeedButton::GlyphChanged>(this);
    UpdateTransparency();
}

TSpeedButton::~TSpeedButton() { FreeObject(FGlyph); }

void TSpeedButton::DefineClass(TClassBuilder<TSpeedButton>& B) {
    B.Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
    B.Property("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption).TypeName("TCaption");
    B.Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
    B.Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
    B.Property("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    B.Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
    B.Property("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
    B.Property("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
    B.Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).TypeName("TNumGlyphs").Default(1);
    B.Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
    B.Property("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).Default(true);
    B.Message<&TSpeedButton::CMButtonPressed>(CM_BUTTONPRESSED);
    B.Message<&TSpeedButton::CMEnabledChanged>(CM_ENABLEDCHANGED);
    B.Message<&TSpeedButton::CMMouseEnter>(CM_MOUSEENTER);
    B.Message<&TSpeedButton::CMMouseLeave>(CM_MOUSELEAVE);
    B.Message<&TSpeedButton::CMTextChanged>(CM_TEXTCHANGED);
    B.Message<&TSpeedButton::CMDialogChar>(CM_DIALOGCHAR);
}

void TSpeedButton::UpdateTransparency() {
    // A flat transparent button lets its parent show through; any other paints all of itself.
    if (FFlat && FTransparent)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
}

void TSpeedButton::GlyphChanged(TObject*) {
    if (!FGlyph->Empty() && FGlyph->Height() > 0 && FGlyph->Width() % FGlyph->Height() == 0) {
        int N = FGlyph->Width() / FGlyph->Height();
        if (N >= 1 && N <= 4)
            FNumGlyphs = N;
    }
    Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value)
        return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    // The last button down of a group stays down unless the group allows all up.
    if (FDown && !FAllowAllUp && !FComponentState.Contains(csLoading))
        return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp)
            Invalidate();
        FState = bsExclusive;
    } else {
        FState = bsUp;
        Repaint();
    }
    if (Value)
        UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
    if (FFlat == Value)
        return;
    FFlat = Value;
    UpdateTransparency();
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int Value) {
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    if (FLayout == Value)
        return;
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    if (FMargin == Value || Value < -1)
        return;
    FMargin = Value;
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) {
    if (Value < 1 || Value > 4 || FNumGlyphs == Value)
        return;
    FNumGlyphs = Value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    if (FSpacing == Value || Value < -1)
        return;
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    UpdateTransparency();
    Invalidate();
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !FParent || FComponentState.Contains(csLoading))
        return;
    TMessage M{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
    FParent->Broadcast(M);
}

void TSpeedButton::CMButtonPressed(TMessage& Message) {
    auto* Sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
    if (static_cast<int>(Message.WParam) != FGroupIndex || Sender == this)
        return;
    if (Sender->FDown && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    FAllowAllUp = Sender->FAllowAllUp;
}

void TSpeedButton::Loaded() {
    TGraphicControl::Loaded();
    FState = !Enabled() ? bsDisabled : FDown ? bsExclusive : bsUp;
    if (FDown)
        UpdateExclusive();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (!FDown) {
        FState = bsDown;
        Repaint();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    TButtonState NewState = FDown ? bsExclusive : bsUp;
    if (ClientRect().Contains(TPoint{X, Y}))
        NewState = FDown ? bsExclusive : bsDown;
    if (NewState != FState) {
        FState = NewState;
        Repaint();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    bool DoClick = ClientRect().Contains(TPoint{X, Y});
    if (FGroupIndex == 0) {
        FState = bsUp;
        FMouseInControl = FMouseInControl && DoClick;
        Invalidate();
    } else if (DoClick) {
        SetDown(!FDown);
        if (FDown)
            Repaint();
    } else {
        if (FDown)
            FState = bsExclusive;
        Repaint();
    }
    if (DoClick)
        Click();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
    FState = !Enabled() ? bsDisabled : FDown ? bsExclusive : bsUp;
    if (!Enabled())
        FDragging = false;
    InheritedDispatch(StaticClass(), Message);
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Message.LParam != 0)
        return;
    FMouseInControl = true;
    if (FFlat && Enabled())
        Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Message.LParam != 0)
        return;
    FMouseInControl = false;
    if (FFlat && Enabled())
        Invalidate();
}

void TSpeedButton::CMTextChanged(TMessage&) { Invalidate(); }

void TSpeedButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.WParam, Caption()) && Enabled() && Visible() && FParent && FParent->Showing()) {
        Click();
        Message.Result = 1;
    }
}

void TSpeedButton::Paint() {
    TCanvas* C = Canvas();
    HDC DC = C->Handle();
    TRect R = ClientRect();
    bool Pushed = FState == bsDown || FState == bsExclusive;
    if (!FFlat) {
        RECT F = R;
        DrawFrameControl(DC, &F, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Pushed ? DFCS_PUSHED : 0));
        R = TRect::From(F);
    } else {
        if (!FTransparent) {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(Color());
            C->FillRect(R);
        }
        if ((FMouseInControl || Pushed) && Enabled()) {
            RECT F = R;
            DrawEdge(DC, &F, Pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
        R = TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    }
    TButtonState Shown = Enabled() ? FState : bsDisabled;
    TPoint Offset = Pushed ? TPoint{1, 1} : TPoint{0, 0};
    DrawButtonFace(C, R, FGlyph, FNumGlyphs, Shown, Caption(), FLayout, FMargin, FSpacing, Offset, Font());
}

// ---------------------------------------------------------------------------------------------
// TBitBtn

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
    FGlyph = Create<TBitmap>();
    FGlyph->OnChange = TNotifyEvent::Bind<&TBitBtn::GlyphChanged>(this);
}

TBitBtn::~TBitBtn() { FreeObject(FGlyph); }

void TBitBtn::DefineClass(TClassBuilder<TBitBtn>& B) {
    B.Property("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
    B.Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
    B.Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
    B.Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
    B.Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).TypeName("TNumGlyphs").Default(1);
    B.Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
    B.Message<&TBitBtn::CNDrawItem>(CN_DRAWITEM);
    B.Message<&TBitBtn::CMEnabledChanged>(CM_ENABLEDCHANGED);
    B.Message<&TBitBtn::CMTextChanged>(CM_TEXTCHANGED);
}

void TBitBtn::CreateParams(TCreateParams& Params) {
    TButton::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetButtonStyle(bool ADefault) {
    // The button stays owner-drawn; the default frame is ours to paint.
    if (ADefault == FIsFocused)
        return;
    FIsFocused = ADefault;
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind Value) {
    if (FKind == Value)
        return;
    FKind = Value;
    if (Value == bkCustom)
        return;
    struct TKindInfo {
        TBitBtnKind Kind;
        const TResStringRec* Caption;
        TModalResult Result;
    };
    using namespace ResConsts;
    static const TResStringRec SClose = ResString("&Close");
    const TKindInfo Kinds[] = {{bkOK, &SMsgDlgOK, mrOk},        {bkCancel, &SMsgDlgCancel, mrCancel},
                               {bkHelp, &SMsgDlgHelp, mrNone},  {bkYes, &SMsgDlgYes, mrYes},
                               {bkNo, &SMsgDlgNo, mrNo},        {bkClose, &SClose, mrNone},
                               {bkAbort, &SMsgDlgAbort, mrAbort}, {bkRetry, &SMsgDlgRetry, mrRetry},
                               {bkIgnore, &SMsgDlgIgnore, mrIgnore}, {bkAll, &SMsgDlgAll, mrAll}};
    for (const TKindInfo& K : Kinds)
        if (K.Kind == Value) {
            // A form file's own (translated) caption wins over the kind's.
            if (!FComponentState.Contains(csLoading) || Caption().empty())
                SetCaption(LoadResString(K.Caption));
            SetModalResult(K.Result);
        }
    SetDefault(Value == bkOK || Value == bkYes);
    SetCancel(Value == bkCancel || Value == bkNo);
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    if (FLayout == Value)
        return;
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value) {
    if (FMargin == Value || Value < -1)
        return;
    FMargin = Value;
    Invalidate();
}

void TBitBtn::SetNumGlyphs(TNumGlyphs Value) {
    if (Value < 1 || Value > 4 || FNumGlyphs == Value)
        return;
    FNumGlyphs = Value;
    Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    if (FSpacing == Value || Value < -1)
        return;
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::GlyphChanged(TObject*) {
    if (!FGlyph->Empty() && FGlyph->Height() > 0 && FGlyph->Width() % FGlyph->Height() == 0) {
        int N = FGlyph->Width() / FGlyph->Height();
        if (N >= 1 && N <= 4)
            FNumGlyphs = N;
    }
    Invalidate();
}

void TBitBtn::CMEnabledChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Invalidate();
}

void TBitBtn::CMTextChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Invalidate();
}

void TBitBtn::CNDrawItem(TMessage& Message) {
    auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    bool Pushed = D->itemState & ODS_SELECTED;
    bool Focused = D->itemState & ODS_FOCUS;
    TOwned<TCanvas> C(Create<TCanvas>());
    C->SetHandle(D->hDC);
    RECT R = D->rcItem;
    HDC DC = D->hDC;
    if (FIsFocused || Focused) {
        // The default button's dark outline.
        FrameRect(DC, &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&R, -1, -1);
    }
    DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Pushed ? DFCS_PUSHED : 0));
    TButtonState State = !Enabled() ? bsDisabled : Pushed ? bsDown : bsUp;
    TPoint Offset = Pushed ? TPoint{1, 1} : TPoint{0, 0};
    DrawButtonFace(C.get(), TRect::From(R), FGlyph, FNumGlyphs, State, Caption(), FLayout, FMargin, FSpacing, Offset,
                   Font());
    if (Focused) {
        InflateRect(&R, -1, -1);
        DrawFocusRect(DC, &R);
    }
    C->SetHandle(nullptr);
    Message.Result = 1;
}

void ButtonsInitialization() { RegisterClasses({TSpeedButton::StaticClass(), TBitBtn::StaticClass()}); }
