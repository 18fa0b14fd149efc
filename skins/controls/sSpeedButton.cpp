#include "sSpeedButton.h"

#include "sComponentState.h"
#include "Forms.h"
#include "Themes.h"
#include "sGlyphUtils.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

#include <algorithm>

bool DropDownRunning = false;
bool SpeedButtonHintsOff = false;
bool SpeedButtonSavedShowHint = false;

namespace {

// The clBtnText triangle of a drop-down arrow part.
void PaintDropArrow(TCanvas* Canvas, const TRect& R, int Pushed) {
    TPoint P0{R.Left + (R.Width() - 5) / 2 + Pushed, R.Top + (R.Height() - 5) / 2 + Pushed};
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clBtnText);
    Canvas->Pen()->SetColor(clBtnText);
    Canvas->Polygon({P0, TPoint{P0.X + 5, P0.Y}, TPoint{P0.X + 2, P0.Y + 5}});
}

// The parent's background under a control without a window, as the parent erases it.
void EraseParentBackground(TControl* Control, HDC DC) {
    TWinControl* Parent = Control->Parent();
    if (!Parent || !Parent->HandleAllocated())
        return;
    POINT Origin{};
    GetWindowOrgEx(DC, &Origin);
    SetWindowOrgEx(DC, Origin.x + Control->Left(), Origin.y + Control->Top(), nullptr);
    Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    SetWindowOrgEx(DC, Origin.x, Origin.y, nullptr);
}

// The checked look of a button held down in its group: the face and highlight colours alternating
// pixel by pixel.
void FillExclusive(HDC DC, const TRect& R) {
    const COLORREF Face = static_cast<COLORREF>(ColorToRGB(clBtnFace));
    const COLORREF Light = static_cast<COLORREF>(ColorToRGB(clBtnHighlight));
    WORD Bits[8];
    for (int Y = 0; Y < 8; ++Y)
        Bits[Y] = static_cast<WORD>(Y % 2 ? 0xAA : 0x55);
    // A monochrome pattern takes the text colour for its 0 bits and the background colour for 1.
    HBITMAP Pattern = CreateBitmap(8, 8, 1, 1, Bits);
    HBRUSH Brush = CreatePatternBrush(Pattern);
    COLORREF OldText = SetTextColor(DC, Face);
    COLORREF OldBack = SetBkColor(DC, Light);
    RECT Area = R;
    FillRect(DC, &Area, Brush);
    SetTextColor(DC, OldText);
    SetBkColor(DC, OldBack);
    DeleteObject(Brush);
    DeleteObject(Pattern);
}
}  // namespace

TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {
    FCommonData = Create<TsCommonData>(this, true);
    FCommonData->ControlKind = 92;
}

TsSpeedButton::~TsSpeedButton() {
    FreeAndNil(FAnimTimer);
    FreeAndNil(FCommonData);
}

void TsSpeedButton::AfterConstruction() {
    TSpeedButton::AfterConstruction();
    FCommonData->AfterOwnerLoaded();
    if (FCommonData->IsSkinned(false))
        FControlStyle.Include(csOpaque);
}

void TsSpeedButton::BeforeDestruction() {
    StopAnimation();
    TSpeedButton::BeforeDestruction();
}

void TsSpeedButton::Loaded() {
    TSpeedButton::Loaded();
    FCommonData->AfterOwnerLoaded();
    if (FCommonData->IsSkinned(false))
        FControlStyle.Include(csOpaque);
    if (UsesImageList())
        Glyph()->Assign(nullptr);
}

void TsSpeedButton::DefineClass(TClassBuilder<TsSpeedButton>& B) {
    B.Property("Alignment", &TsSpeedButton::Alignment, &TsSpeedButton::SetAlignment).Default(taCenter);
    B.Property("AnimatEvents", &TsSpeedButton::AnimatEvents, &TsSpeedButton::SetAnimatEvents)
        .Default(TacAnimatEvents{aeGlobalDef});
    B.Property("Blend", &TsSpeedButton::Blend, &TsSpeedButton::SetBlend).Default(0);
    B.Property("ButtonStyle", &TsSpeedButton::ButtonStyle, &TsSpeedButton::SetButtonStyle).Default(tbsButton);
    B.Property("DisabledGlyphKind", &TsSpeedButton::DisabledGlyphKind, &TsSpeedButton::SetDisabledGlyphKind)
        .Default(TsDisabledGlyphKind{dgBlended});
    B.Property("DisabledKind", &TsSpeedButton::DisabledKind, &TsSpeedButton::SetDisabledKind)
        .Default(TsDisabledKind{dkBlended});
    B.Property("DrawOverBorder", &TsSpeedButton::DrawOverBorder, &TsSpeedButton::SetDrawOverBorder).Default(true);
    B.Property("DropdownMenu", &TsSpeedButton::DropdownMenu, &TsSpeedButton::SetDropdownMenu);
    B.Property("Grayed", &TsSpeedButton::Grayed, &TsSpeedButton::SetGrayed).Default(false);
    B.Property("ImageIndex", &TsSpeedButton::ImageIndex, &TsSpeedButton::SetImageIndex).Default(-1);
    B.Property("Images", &TsSpeedButton::Images, &TsSpeedButton::SetImages);
    B.Property("Reflected", &TsSpeedButton::Reflected, &TsSpeedButton::SetReflected).Default(false);
    B.Property("ShowCaption", &TsSpeedButton::ShowCaption, &TsSpeedButton::SetShowCaption).Default(true);
    B.Property("SkinData", &TsSpeedButton::SkinData, &TsSpeedButton::SetSkinData);
    B.Property("TextAlignment", &TsSpeedButton::TextAlignment, &TsSpeedButton::SetTextAlignment).Default(taCenter);
    B.Property("TextOffset", &TsSpeedButton::TextOffset, &TsSpeedButton::SetTextOffset).Default(0);
    B.Property("OnMouseEnter", &TsSpeedButton::OnMouseEnter, &TsSpeedButton::OnMouseEnter);
    B.Property("OnMouseLeave", &TsSpeedButton::OnMouseLeave, &TsSpeedButton::OnMouseLeave);
    B.Property("OnPaint", &TsSpeedButton::OnPaint, &TsSpeedButton::OnPaint);
}

// ---------------------------------------------------------------------------------------------
// Properties

void TsSpeedButton::Changed(bool UnlessUpdating) {
    if (UnlessUpdating && (FCommonData->Flags & UpdatingFlag) != 0)
        return;
    if (Visible() || Designing(this)) {
        FCommonData->BackgroundStale = true;
        Redraw();
    }
}

void TsSpeedButton::SetSkinData(TsCommonData* Value) {
    if (Value && Value != FCommonData)
        FCommonData->Assign(Value);
}

void TsSpeedButton::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Changed(false);
}

void TsSpeedButton::SetBlend(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (Value == FBlend)
        return;
    FBlend = Value;
    Changed(true);
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle Value) {
    if (Value == FButtonStyle)
        return;
    if (!Loading(this)) {
        if (Value == tbsDropDown)
            SetWidth(Width() + 16);
        else if (FButtonStyle == tbsDropDown)
            SetWidth(Width() - 16);
    }
    FButtonStyle = Value;
    Changed(false);
}

void TsSpeedButton::SetDisabledGlyphKind(TsDisabledGlyphKind Value) {
    if (Value == FDisabledGlyphKind)
        return;
    FDisabledGlyphKind = Value;
    Changed(false);
}

void TsSpeedButton::SetDisabledKind(TsDisabledKind Value) {
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    Changed(false);
}

void TsSpeedButton::SetDropdownMenu(TPopupMenu* Value) {
    if (Value == FDropdownMenu)
        return;
    if (FDropdownMenu)
        FDropdownMenu->RemoveFreeNotification(this);
    FDropdownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TsSpeedButton::SetGrayed(bool Value) {
    if (Value == FGrayed)
        return;
    FGrayed = Value;
    Changed(true);
}

void TsSpeedButton::SetImageIndex(int Value) {
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    Changed(true);
}

void TsSpeedButton::SetImages(TCustomImageList* Value) {
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Changed(true);
}

void TsSpeedButton::SetReflected(bool Value) {
    if (Value == FReflected)
        return;
    FReflected = Value;
    FCommonData->BackgroundStale = true;
    Redraw();
}

void TsSpeedButton::SetShowCaption(bool Value) {
    if (Value == FShowCaption)
        return;
    FShowCaption = Value;
    UpdateCaption();
    Changed(false);
}

void TsSpeedButton::SetDrawOverBorder(bool Value) {
    if (Value == FDrawOverBorder)
        return;
    FDrawOverBorder = Value;
    Changed(false);
}

void TsSpeedButton::SetTextOffset(int Value) {
    if (Value == FTextOffset)
        return;
    FTextOffset = Value;
    Changed(false);
}

void TsSpeedButton::SetTextAlignment(TAlignment Value) {
    if (Value == FTextAlignment)
        return;
    FTextAlignment = Value;
    Repaint();
}

void TsSpeedButton::UpdateCaption() {
    std::string C = Caption();
    if (!C.empty())
        FSavedCaption = C;
    SetCaption(FShowCaption ? FSavedCaption : std::string());
}

bool TsSpeedButton::UsesImageList() {
    int Count = ImageCount(FImages);
    return FImages && Count > 0 && FImageIndex >= 0 && FImageIndex < Count;
}

void TsSpeedButton::GlyphChanged(TObject* Sender) {
    TSpeedButton::GlyphChanged(Sender);
    if (!FCommonData)
        return;
    TComponentState S = ComponentState();
    if (!S.Contains(csLoading) && !S.Contains(csDestroying) && !ControlState().Contains(csCreating))
        FCommonData->Invalidate();
}

void TsSpeedButton::Invalidate() {
    if (Layout() != LastLayout) {
        LastLayout = Layout();
        if (FCommonData)
            FCommonData->BackgroundStale = true;
    }
    TSpeedButton::Invalidate();
}

void TsSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
    TSpeedButton::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FDropdownMenu)
        FDropdownMenu = nullptr;
}

int TsSpeedButton::CurrentState() {
    if (FState == bsDown || FState == bsExclusive)
        return 2;
    return FCommonData->IsHotState() ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Sizes and places

int TsSpeedButton::GlyphWidth() {
    int N = std::max(1, NumGlyphs());
    if (Glyph()->Width() > 0)
        return Glyph()->Width() / N;
    return UsesImageList() ? FImages->Width() / N : 0;
}

int TsSpeedButton::GlyphHeight() {
    if (Glyph()->Height() > 0)
        return Glyph()->Height();
    return UsesImageList() ? FImages->Height() : 0;
}

int TsSpeedButton::CaptionMaxWidth() {
    if (!FShowCaption || Caption().empty())
        return 0;
    int W = Width() - 2 * Margin() - ArrowWidth();
    int GW = GlyphWidth();
    if (GW != 0 && (Layout() == blGlyphLeft || Layout() == blGlyphRight))
        W -= GW + Spacing();
    return W;
}

void TsSpeedButton::CalcCaptionSize(TSize& Size) {
    Size = TSize{0, 0};
    std::string C = Caption();
    if (C.empty())
        return;
    TCanvas* Canvas = FCommonData->CacheBitmap->Canvas();
    Canvas->Font()->Assign(Font());
    RECT R{0, 0, CaptionMaxWidth(), 0};
    DrawTextA(Canvas->Handle(), C.c_str(), static_cast<int>(C.size()), &R, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    Size = TSize{R.right - R.left, R.bottom - R.top};
}

void TsSpeedButton::GetGlyphRect(TRect& Rect) {
    TSize C;
    CalcCaptionSize(C);
    int GW = GlyphWidth(), GH = GlyphHeight(), AW = ArrowWidth(), M = MarginOffset();
    int T = FShowCaption && GW > 0 && !Caption().empty() ? Spacing() : 0;
    int HX = (Width() - AW - GW - T - C.cx) / 2 - M;
    int HY = (Height() - GH - T - C.cy) / 2 - M;
    int MidY = (Height() - GH) / 2;
    int L = 0, Tp = MidY;
    switch (Layout()) {
    case blGlyphLeft:
        L = FAlignment == taLeftJustify ? M : FAlignment == taRightJustify ? M + 2 * HX : M + HX;
        break;
    case blGlyphRight:
        L = FAlignment == taLeftJustify    ? Width() - AW - M - 2 * HX - T - GW
            : FAlignment == taRightJustify ? Width() - AW - GW - M
                                           : (Width() - AW - GW + T + C.cx) / 2;
        break;
    case blGlyphTop:
        L = (Width() - AW - GW) / 2 + 1;
        Tp = HY + M;
        break;
    case blGlyphBottom:
        L = (Width() - AW - GW) / 2 + 1;
        Tp = Height() - M - HY - GH;
        break;
    }
    if (CurrentState() == 2) {
        ++L;
        ++Tp;
    }
    Rect = TRect{L, Tp, L + GW, Tp + GH};
    if (FReflected) {
        int Up = Rect.Height() / 6;
        Rect.Top -= Up;
        Rect.Bottom -= Up;
    }
}

void TsSpeedButton::GetCaptionRect(TRect& Rect) {
    TSize C;
    CalcCaptionSize(C);
    int GW = GlyphWidth(), GH = GlyphHeight(), AW = ArrowWidth(), M = MarginOffset(), S = Spacing();
    bool HasText = !Caption().empty();
    int TW = GW >= 1 && HasText ? S : 0;
    int TH = GH >= 1 && HasText ? S : 0;
    int L = 0, T = 0, R = 0, B = 0;
    if (Layout() == blGlyphLeft || Layout() == blGlyphRight) {
        int HX = (Width() - AW - GW - TW - C.cx) / 2 - M;
        T = (Height() - C.cy) / 2;
        B = Height() - T;
        int G = GW > 0 ? S : 0;
        if (Layout() == blGlyphLeft) {
            if (FAlignment == taLeftJustify) {
                L = GW + Margin() + G;
                R = Width() - AW - M - 2 * HX;
            } else if (FAlignment == taRightJustify) {
                L = M + 2 * HX + GW + G;
                R = Width() - AW - M;
            } else {
                L = GW + M + HX + G;
                R = Width() - AW - M - HX;
            }
        } else {
            L = FAlignment == taLeftJustify ? M : FAlignment == taRightJustify ? M + 2 * HX : M + HX;
            R = L + C.cx;
        }
    } else {
        int VY = (Height() - GH - TH - C.cy) / 2 - M;
        L = (Width() - C.cx - AW) / 2;
        if (Layout() == blGlyphTop) {
            T = GH + M + VY + TH;
            R = Width() - L - AW;
            B = Height() - VY - M;
        } else {
            T = M + VY;
            R = Width() - (Width() - C.cx - AW) / 2 - AW;
            B = Height() - VY - M - GH - TH;
        }
    }
    Rect = TRect{L + FTextOffset - 1, T, R + FTextOffset + 2, B};
    if (CurrentState() == 2) {
        Rect.Left += 1;
        Rect.Right += 1;
        Rect.Top += 1;
        Rect.Bottom += 1;
    }
}

// ---------------------------------------------------------------------------------------------
// Caption and glyph

void TsSpeedButton::PaintCaption() {
    if (!FShowCaption)
        return;
    TCanvas* Canvas = FCommonData->CacheBitmap->Canvas();
    Canvas->Font()->Assign(Font());
    Canvas->Brush()->SetStyle(bsClear);
    TRect R;
    GetCaptionRect(R);
    DrawCaption(R, AlignmentTextFlags(this, FTextAlignment) | DT_EXPANDTABS | DT_WORDBREAK);
}

void TsSpeedButton::DrawCaption(TRect Rect, UINT Flags) {
    Flags = DrawTextBiDiModeFlags(Flags) & ~static_cast<UINT>(DT_SINGLELINE);
    std::string C = Caption();
    if (FCommonData->IsSkinned(false)) {
        TCanvas* Canvas = FCommonData->CacheBitmap->Canvas();
        Canvas->Font()->Assign(Font());
        WriteControlText(Canvas, C, true, CurrentState() != 0, FCommonData, Flags, Rect);
        return;
    }
    TCanvas* Canvas = this->Canvas();
    Canvas->Brush()->SetStyle(bsClear);
    HDC DC = Canvas->Handle();
    auto Draw = [&](TRect R) {
        DrawTextA(DC, C.c_str(), static_cast<int>(C.size()), reinterpret_cast<RECT*>(&R), Flags);
    };
    if (Enabled()) {
        Draw(Rect);
        return;
    }
    // Embossed: the highlight one pixel down and right, the shadow on top.
    Canvas->Font()->SetColor(clBtnHighlight);
    SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
    Draw(TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right + 1, Rect.Bottom + 1});
    Canvas->Font()->SetColor(clBtnShadow);
    SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
    Draw(Rect);
}

void TsSpeedButton::PaintGlyph() {
    PaintButtonGlyph(this, FCommonData->IsSkinned(false) ? FCommonData->CacheBitmap->Canvas() : Canvas());
}

// ---------------------------------------------------------------------------------------------
// Painting

void TsSpeedButton::StdPaint(bool PaintBorders) {
    TCanvas* C = Canvas();
    if (!Enabled())
        FState = bsDisabled;
    else if (FState == bsDisabled)
        FState = Down() && GroupIndex() != 0 ? bsExclusive : bsUp;
    C->Font()->Assign(Font());
    if (FButtonStyle == tbsSeparator)
        return;
    TThemeServices* Themes = ThemeServices();
    const bool Themed = Themes->ThemesEnabled();
    if (FButtonStyle == tbsDivider) {
        TRect R{Width() / 2 - 1, 0, Width() / 2 + 1, Height()};
        if (Themed) {
            R.Right = R.Left + 4;
            EraseParentBackground(this, C->Handle());
            Themes->DrawElement(C->Handle(), TThemeServices::GetElementDetails(ttbSeparatorNormal), R);
        } else {
            DrawEdge(C->Handle(), reinterpret_cast<RECT*>(&R), BDR_SUNKENOUTER, BF_RECT);
        }
        return;
    }
    const bool Pressed = FState == bsDown || FState == bsExclusive;
    const bool ArrowDown = (FDropdownMenu && FMenuShown) || Down() || Pressed;
    if (PaintBorders && Themed)
        StdPaintThemedBorders(Pressed, ArrowDown);
    else if (PaintBorders)
        StdPaintClassicBorders(Pressed, ArrowDown);
    PaintCaption();
    PaintGlyph();
}

void TsSpeedButton::StdPaintThemedBorders(bool Pressed, bool ArrowDown) {
    TCanvas* C = Canvas();
    HDC DC = C->Handle();
    TThemeServices* Themes = ThemeServices();
    EraseParentBackground(this, DC);
    // States of both elements: normal 2, hot 3, pressed 4, disabled 5.
    const int State = FState == bsDisabled ? 5 : Pressed ? 4 : FMouseInControl ? 3 : 2;
    auto Details = [&](int S) {
        return Flat() ? TThemeServices::GetElementDetails(static_cast<TThemedToolBar>(ttbButtonNormal + S - 2))
                      : TThemeServices::GetElementDetails(static_cast<TThemedButton>(tbPushButtonNormal + S - 2));
    };
    TRect R{0, 0, Width() - ArrowWidth(), Height()};
    Themes->DrawElement(DC, Details(State), R);
    R = Themes->ContentRect(DC, Details(State), R);
    if (FButtonStyle == tbsDropDown) {
        const int ArrowState = ArrowDown ? 4 : State;
        TRect A{Width() - 16, 0, Width(), Height()};
        Themes->DrawElement(DC, Details(ArrowState), A);
        PaintDropArrow(C, A, Flat() && ArrowState == 4 ? 1 : 0);
    }
    if (Flat() && State == 4)
        C->Font()->SetColor(clHighlightText);
}

void TsSpeedButton::StdPaintClassicBorders(bool Pressed, bool ArrowDown) {
    TCanvas* C = Canvas();
    HDC DC = C->Handle();
    TRect R{0, 0, Width() - ArrowWidth(), Height()};
    if (!Flat()) {
        UINT Flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Pressed ? DFCS_PUSHED : 0);
        DrawFrameControl(DC, reinterpret_cast<RECT*>(&R), DFC_BUTTON, Flags);
    } else {
        if (Pressed || (FMouseInControl && FState != bsDisabled) || Designing(this)) {
            UINT Flags = BF_RECT | (Transparent() ? 0 : BF_MIDDLE);
            DrawEdge(DC, reinterpret_cast<RECT*>(&R), Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, Flags);
        } else if (!Transparent()) {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(Color());
            C->FillRect(R);
        }
        R.Left += 1;
        R.Top += 1;
        R.Right -= 1;
        R.Bottom -= 1;
    }
    if (FState == bsExclusive && !(Flat() && FMouseInControl))
        FillExclusive(DC, R);
    if (FButtonStyle != tbsDropDown)
        return;
    TRect A{Width() - 16, 0, Width(), Height()};
    if (ArrowDown) {
        if (Flat())
            DrawEdge(DC, reinterpret_cast<RECT*>(&A), BDR_SUNKENOUTER, BF_RECT | (Transparent() ? 0 : BF_MIDDLE));
        else
            DrawFrameControl(DC, reinterpret_cast<RECT*>(&A), DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    } else if (!Flat()) {
        DrawFrameControl(DC, reinterpret_cast<RECT*>(&A), DFC_BUTTON, DFCS_BUTTONPUSH);
    } else if (FMouseInControl) {
        DrawEdge(DC, reinterpret_cast<RECT*>(&A), BDR_RAISEDINNER, BF_RECT);
    }
    PaintDropArrow(C, TRect{Width() - 16, 0, Width(), Height()}, Pressed ? 1 : 0);
}

void TsSpeedButton::PrepareCache() {
    FCommonData->PrepareCacheBitmap();
    TBitmap* Cache = FCommonData->CacheBitmap;
    Cache->Canvas()->Font()->Assign(Font());
    ParentBackgroundInfo Info;
    QueryParentBackground(Info, Parent(), false);
    BackgroundSource Background;
    ToBackgroundSource(Info, Background);
    if (Background.HasBitmap && Background.Bmp && Background.Bmp->Width() == 0)
        return;
    auto CopyBackground = [&] {
        if (Background.HasBitmap && Background.Bmp)
            BitBlt(Cache->Canvas()->Handle(), 0, 0, Width(), Height(), Background.Bmp->Canvas()->Handle(),
                   Left() + Background.OffsetX, Top() + Background.OffsetY, SRCCOPY);
        else
            FillRectSolid(Cache->Canvas()->Handle(), TRect{0, 0, Width(), Height()}, Background.Color);
    };
    int State = CurrentState();
    if (FButtonStyle == tbsSeparator) {
        CopyBackground();
    } else if (FButtonStyle == tbsDivider) {
        CopyBackground();
    } else {
        TRect Main{0, 0, Width() - ArrowWidth(), Height()};
        if (FDrawOverBorder) {
            PaintControlSkin(FCommonData, Background, true, false, State, Cache, Point(Left(), Top()), Main);
            PaintCaption();
            PaintGlyph();
        } else {
            PaintControlSkin(FCommonData, Background, false, false, State, Cache, Point(Left(), Top()), Main);
            PaintCaption();
            PaintGlyph();
        }
        if (FButtonStyle == tbsDropDown) {
            int ArrowState = (FDropdownMenu && FMenuShown) || Down() || FState == bsDown || FState == bsExclusive ? 2
                             : FCommonData->IsHotState()                                                      ? 1
                                                                                                              : 0;
            PaintControlSkin(FCommonData, Background, true, false, ArrowState, Cache,
                             Point(Left() + Width() - 16, Top()), TRect{Width() - 16, 0, Width(), Height()});
        }
        if (!Enabled()) {
            BackgroundSource Behind;
            FCommonData->GetParentBackgroundSource(Behind);
            PaintDisabledLook(Cache, FDisabledKind, Parent(), Behind, Point(Left(), Top()));
        }
        OnPaint(this, Cache);
    }
    FCommonData->BackgroundStale = false;
}

void TsSpeedButton::Paint() {
    TsSkinManager* M = FCommonData->GetSkinManager();
    if (M && M->SkinData->SkinActive && FCommonData->SectionIndex < 1)
        FCommonData->RefreshSkinIndexes();
    if (!FCommonData->IsSkinned(false)) {
        StdPaint(true);
        return;
    }
    if (Width() < 1 || Height() < 1)
        return;
    TBitmap* Source = nullptr;
    if (FAnimTimer && FAnimTimer->Enabled() && FAnimTimer->WorkImage->Width() == Width()) {
        Source = FAnimTimer->WorkImage;
    } else {
        TsCommonData& D = *FCommonData;
        D.BackgroundStale = Down() != LastDown || D.BackgroundStale || D.PartlyClipped;
        LastDown = Down();
        D.PartlyClipped = D.MustRepaintOnMove();
        if (D.BackgroundStale) {
            LastNumGlyphs = NumGlyphs();
            LastSpacing = Spacing();
        } else if (LastNumGlyphs != NumGlyphs() || LastSpacing != Spacing()) {
            LastNumGlyphs = NumGlyphs();
            LastSpacing = Spacing();
            D.BackgroundStale = true;
        }
        if (D.BackgroundStale && !D.RepaintOnMove)
            PrepareCache();
        Source = D.CacheBitmap;
    }
    BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), Source->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSpeedButton::Redraw() {
    TComponentState S = ComponentState();
    if (ControlState().Contains(csCreating) || S.Contains(csDestroying) || S.Contains(csLoading) || !Parent() ||
        !Visible() || !Parent()->HandleAllocated())
        return;
    if (!FCommonData->IsSkinned(false) || Designing(this)) {
        Repaint();
        return;
    }
    if (FCommonData->BackgroundStale) {
        PrepareCache();
        if (!ControlState().Contains(csPaintCopy))
            PaintOverlappingSiblings(FCommonData->CacheBitmap->Canvas());
    }
    TBitmap* Source = FAnimTimer && FAnimTimer->Enabled() && FAnimTimer->WorkImage->Width() == Width()
                          ? FAnimTimer->WorkImage
                          : FCommonData->CacheBitmap;
    BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), Source->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSpeedButton::PaintOverlappingSiblings(TCanvas* ACanvas) {
    TWinControl* P = Parent();
    if (!P)
        return;
    TRect Bounds = BoundsRect();
    auto Inside = [&](int X, int Y) {
        return X >= Bounds.Left && X < Bounds.Right && Y >= Bounds.Top && Y < Bounds.Bottom;
    };
    for (int I = 0; I < P->ControlCount(); ++I) {
        TControl* C = P->Controls(I);
        if (C == this || !C->Visible() || !(Inside(C->Left(), C->Top()) || Inside(C->Left() + C->Width(), C->Top() + C->Height())))
            continue;
        HDC DC = ACanvas->Handle();
        int Saved = SaveDC(DC);
        ACanvas->Lock();
        C->SetControlState(TControlState(C->ControlState()).Include(csPaintCopy));
        MoveWindowOrg(DC, C->Left() - Left(), C->Top() - Top());
        IntersectClipRect(DC, 0, 0, C->Width(), C->Height());
        C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        C->SetControlState(TControlState(C->ControlState()).Exclude(csPaintCopy));
        ACanvas->Unlock();
        RestoreDC(DC, Saved);
    }
}

// ---------------------------------------------------------------------------------------------
// State fades

void TsSpeedButton::AnimateStateChange(bool Fast, bool Allowed) {
    if (!CanChangeState())
        return;
    const TsSkinManager* M = FCommonData->GetSkinManager();
    bool Fades = FCommonData->IsSkinned(false) && M->SectionList[FCommonData->SectionIndex].FadingEnabled;
    if (Allowed && Fades && !FadingBlocked && !FCommonData->BackgroundStale) {
        FCommonData->BackgroundStale = true;
        StartAnimation(Fast);
    } else {
        FCommonData->BackgroundStale = true;
        if (FAnimTimer)
            StopAnimation();
        Redraw();
    }
    FCommonData->RefreshGlow(Fast, nullptr);
}

void TsSpeedButton::StartAnimation(bool Fast) {
    if (Designing(this))
        return;
    int Level = 1;
    if (FAnimTimer) {
        Level = FAnimTimer->StepCount - FAnimTimer->Step;
        FreeAndNil(FAnimTimer);
    }
    TsSkinManager* M = FCommonData->GetSkinManager();
    if (!FCommonData->IsSkinned(false) || !M->SectionList[FCommonData->SectionIndex].FadingEnabled || FadingBlocked)
        return;
    FAnimTimer = Create<TsAnimTimer>(nullptr);
    FAnimTimer->Prepare(FCommonData);
    if (Fast)
        FAnimTimer->StepCount /= 2;
    FAnimTimer->Step = std::max(Level, 1);
    TBitmap* Cache = FCommonData->CacheBitmap;
    PaintOverlappingSiblings(Cache->Canvas());
    FAnimTimer->StartImage->Assign(Cache);
    PrepareCache();
    PaintOverlappingSiblings(Cache->Canvas());
    PaintAllCacheCorners(FCommonData, CurrentState());
    FAnimTimer->SetEnabled(true);
    FAnimTimer->MakeStep();
}

void TsSpeedButton::StopAnimation() {
    if (!FAnimTimer)
        return;
    if (!IsDestroying(this) && !Designing(this)) {
        FAnimTimer->SetEnabled(false);
        if (FAnimTimer->Step != 0) {
            FCommonData->BackgroundStale = true;
            Repaint();
        }
    }
    FreeAndNil(FAnimTimer);
}

// ---------------------------------------------------------------------------------------------
// Messages

void TsSpeedButton::WndProc(TMessage& Message) {
    if (!FCommonData) {
        TSpeedButton::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD) {
        auto ForManager = [&] { return Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager()); };
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
            if (ForManager()) {
                HandleCommonMessage(Message, FCommonData);
                if (FCommonData->IsSkinned(false))
                    FControlStyle.Include(csOpaque);
                return;
            }
            break;
        case SKIN_REMOVED:
            if (ForManager() && !IsDestroying(this)) {
                HandleCommonMessage(Message, FCommonData);
                FControlStyle.Exclude(csOpaque);
                if (Visible())
                    Repaint();
            }
            break;
        case SKIN_REFRESH:
            if (ForManager()) {
                HandleCommonMessage(Message, FCommonData);
                if (Visible())
                    Repaint();
                return;
            }
            break;
        case SKIN_ENDUPDATE:
            if (FCommonData->IsUpdating()) {
                FCommonData->SetInUpdate(false);
                Redraw();
                return;
            }
            break;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return;
        case SKIN_REPAINTNOW:
            FCommonData->InUpdate = false;
            FCommonData->BackgroundStale = true;
            Redraw();
            break;
        case SKIN_GETAPPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    }
    if (!IsControlReady(this) || !FCommonData->IsSkinned(false)) {
        bool Live = Enabled() && !Designing(this);
        if (Message.Msg == CM_MOUSEENTER && Live) {
            FCommonData->MouseOver = true;
            OnMouseEnter(this);
        } else if (Message.Msg == CM_MOUSELEAVE && Live) {
            FCommonData->MouseOver = false;
            OnMouseLeave(this);
            if (FState == bsDown)
                FState = bsUp;
        }
        TSpeedButton::WndProc(Message);
        return;
    }
    SkinnedWndProc(Message);
}

void TsSpeedButton::SkinnedWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_GETSTALE:
            Message.Result = FCommonData->InUpdate ? 1 : 0;
            return;
        case SKIN_SECTIONCHANGED:
            Redraw();
            return;
        case SKIN_ANIMDONE:
            StopAnimation();
            return;
        default:
            break;
        }
        break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        if (Visible())
            FCommonData->BackgroundStale = true;
        break;
    case WM_ERASEBKGND:
        return;
    case WM_LBUTTONUP:
        if (!Designing(this) && FAnimTimer && FAnimTimer->Enabled() && FAnimTimer->WorkImage->Width() == Width()) {
            StopAnimation();
            PrepareCache();
            Redraw();
        }
        break;
    case CM_TEXTCHANGED:
        if (FShowCaption) {
            FCommonData->BackgroundStale = true;
            Redraw();
            return;
        }
        break;
    case CM_MOUSEENTER:
        if (Enabled() && !FMouseInControl && !Designing(this))
            DoMouseEnter();
        break;
    case CM_MOUSELEAVE:
        if (Enabled())
            DoMouseLeave();
        break;
    default:
        break;
    }
    if (HandleCommonMessage(Message, FCommonData))
        return;
    TSpeedButton::WndProc(Message);
    AfterSkinnedMessage(Message);
}

void TsSpeedButton::AfterSkinnedMessage(TMessage& Message) {
    bool Design = Designing(this);
    switch (Message.Msg) {
    case WM_MOVE:
        if (Design && !FCommonData->IsUpdating())
            Repaint();
        break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        if (Design && !FCommonData->IsUpdating())
            Redraw();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!Design)
            AnimateStateChange(true, AnimatEventAllowed(aeMouseDown, FAnimatEvents, FCommonData->GetSkinManager()));
        break;
    case WM_LBUTTONUP:
        if (Design || IsDestroying(this))
            Message.Result = 1;
        else
            AnimateStateChange(true, AnimatEventAllowed(aeMouseUp, FAnimatEvents, FCommonData->GetSkinManager()));
        break;
    case CM_VISIBLECHANGED:
        FCommonData->MouseOver = false;
        break;
    case CM_ENABLEDCHANGED:
        if (Visible() || Design) {
            FCommonData->BackgroundStale = true;
            if (!Loading(this))
                Redraw();
        }
        break;
    case CM_BUTTONPRESSED:
        FCommonData->BackgroundStale = true;
        Redraw();
        break;
    default:
        break;
    }
}

void TsSpeedButton::DoMouseEnter() {
    OnMouseEnter(this);
    if (!FCommonData->MouseOver) {
        FCommonData->MouseOver = true;
        AnimateStateChange(false, AnimatEventAllowed(aeMouseEnter, FAnimatEvents, FCommonData->GetSkinManager()));
    }
}

void TsSpeedButton::DoMouseLeave() {
    if (!FCommonData->MouseOver)
        return;
    OnMouseLeave(this);
    FCommonData->MouseOver = false;
    if (FState == bsDown)
        FState = bsUp;
    if (Visible())
        AnimateStateChange(false, AnimatEventAllowed(aeMouseLeave, FAnimatEvents, FCommonData->GetSkinManager()));
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TsSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!SpeedButtonHintsOff && Application) {
        SpeedButtonSavedShowHint = Application->ShowHint();
        Application->SetShowHint(false);
        SpeedButtonHintsOff = true;
    }
    bool Drops = Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown && FDropdownMenu &&
                 (X > Width() - 16 || !OnClick);
    if (!Drops) {
        TSpeedButton::MouseDown(Button, Shift, X, Y);
        return;
    }
    DropDown();
}

void TsSpeedButton::DropDown() {
    OpenMenuButton = this;
    StopAnimation();
    if (DropDownRunning)
        return;
    DropDownRunning = true;
    FMenuShown = true;
    FCommonData->BackgroundStale = true;
    bool NoClick = !OnClick;
    if (NoClick)
        FState = bsDown;
    Redraw();
    if (!FCommonData->IsSkinned(false))
        Repaint();
    FDropdownMenu->SetPopupComponent(this);
    TPoint P = ClientToScreen(TPoint{0, Height() + 1});
    FDropdownMenu->Popup(P.X, P.Y);
    FMenuShown = false;
    DropDownRunning = false;
    OpenMenuButton = nullptr;
    POINT Cursor;
    GetCursorPos(&Cursor);
    TPoint TL = ClientToScreen(TPoint{0, 0});
    if (Cursor.x < TL.X || Cursor.y < TL.Y || Cursor.x >= TL.X + Width() || Cursor.y >= TL.Y + Height())
        Perform(CM_MOUSELEAVE, 0, 0);
    if (NoClick)
        FState = bsUp;
    if (!FCommonData->IsSkinned(false))
        Repaint();
}

void TsSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // Only a release that follows a press gives back the setting the press saved.
    if (SpeedButtonHintsOff && Application)
        Application->SetShowHint(SpeedButtonSavedShowHint);
    SpeedButtonHintsOff = false;
    if (Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown) {
        FMenuShown = false;
        OpenMenuButton = nullptr;
    }
    TSpeedButton::MouseUp(Button, Shift, X, Y);
}

TsTimerSpeedButton::TsTimerSpeedButton(TComponent* AOwner) : TsSpeedButton(AOwner) {
    SetWidth(Height() - 4);
}

void sSpeedButtonInitialization() { RegisterClass(TsSpeedButton::StaticClass()); }
