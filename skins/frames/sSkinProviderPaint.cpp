// The form image (frame, title bar, icon, caption text, caption buttons, extended border) and the
// routines that put it on the window; the caption buttons' layout, hit test and states.
#include "sSkinProvider.h"

#include "Icons.h"
#include "acBorderForm.h"
#include "acSBAnimation.h"
#include "acntUtils.h"
#include "sDCUtils.h"
#include "sMDIForm.h"
#include "sPaintServices.h"
#include "acPNG.h"
#include "sSectionPaint.h"
#include "sStyleSimply.h"
#include "sSkinMenus.h"
#include "sSystemMenu.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr const char* GlobalInfo = "GLOBALINFO";

// The image at a new size, white and transparent like a new bitmap. Nothing of the old picture is
// kept: the form image is painted whole after every size change, and carrying the old pixels over
// would convert the whole picture at every step of a resize.
void SizeFreshImage(TBitmap* Image, int W, int H) {
    if (Image->Width() == W && Image->Height() == H)
        return;
    const TPixelFormat F = Image->PixelFormat();
    if ((F != pf24bit && F != pf32bit) || W <= 0 || H <= 0) {
        Image->SetSize(W, H);
        return;
    }
    BITMAPINFO BI{};
    BI.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    BI.bmiHeader.biWidth = W;
    BI.bmiHeader.biHeight = H;
    BI.bmiHeader.biPlanes = 1;
    BI.bmiHeader.biBitCount = F == pf32bit ? 32 : 24;
    BI.bmiHeader.biCompression = BI_RGB;
    void* Bits = nullptr;
    HBITMAP B = CreateDIBSection(nullptr, &BI, DIB_RGB_COLORS, &Bits, nullptr, 0);
    if (!B || !Bits) {
        if (B)
            DeleteObject(B);
        Image->SetSize(W, H);
        return;
    }
    const size_t Stride = ((size_t(W) * BI.bmiHeader.biBitCount + 31) / 32) * 4;
    if (F == pf32bit)
        std::fill_n(static_cast<DWORD*>(Bits), size_t(W) * H, DWORD(0x00FFFFFF));
    else
        std::memset(Bits, 0xFF, Stride * H);
    Image->SetHandle(B);
}

}  // namespace

int GlobalMask(TsSkinManager* M, const std::string& Name) {
    int G = M ? M->FindSectionIndex(GlobalInfo) : -1;
    return G >= 0 ? M->FindMaskIndex(G, GlobalInfo, Name) : -1;
}

int TsSkinProvider::TitleSkinIndex() {
    TsSkinManager* M = ProviderManager();
    if (TitleIndex < 0 && M)
        TitleIndex = M->FindSectionIndex(TitleSkinName());
    return TitleIndex;
}

// ---------------------------------------------------------------------------------------------
// Title icon and grip

bool TsSkinProvider::TitleIconVisible() {
    return HasStandardBorder() && FShowAppIcon && Form->HandleAllocated() && GetSystemMenu(Form->Handle(), FALSE);
}

int TsSkinProvider::TitleIconWidth() {
    if (!TitleIconVisible())
        return 0;
    return FTitleIcon->Width != 0 ? FTitleIcon->Width : IconSizeForHeight(GetCaptionHeight(true));
}

int TsSkinProvider::TitleIconHeight() {
    if (!TitleIconVisible())
        return 0;
    return FTitleIcon->Height != 0 ? FTitleIcon->Height : IconSizeForHeight(GetCaptionHeight(true));
}

void TsSkinProvider::GetIconRect(TRect& R) {
    TRect Ext;
    GetExtRect(Ext);
    TsSkinData* D = ProviderManager() ? ProviderManager()->SkinData : nullptr;
    HWND H = Form->Handle();
    R.Left = FrameBorderWidth(H, BorderForm, true) + (D ? D->TitleLeftMargin : 0) + Ext.Left;
    R.Right = R.Left + TitleIconWidth();
    int Top0 = FrameBorderWidth(H, BorderForm, false) / 2 + Ext.Top - 1;
    int Span = InnerFrameWidth(H, BorderForm, false) + GetCaptionHeight(true) + Ext.Top - Top0 - TitleIconHeight();
    R.Top = Top0 + Span / 2;
    R.Bottom = R.Top + TitleIconHeight();
    if (BorderForm && D) {
        R.Top += D->ExtCenterOffset;
        R.Bottom += D->ExtCenterOffset;
        if (IsZoomedForm() && D->ExtTitleHeight != D->ExtMaxTitleHeight) {
            int Shift = (D->ExtTitleHeight - D->ExtMaxTitleHeight) / 2 - 2;
            R.Top += Shift;
            R.Bottom += Shift;
        }
    }
}

void TsSkinProvider::PaintTitleIcon() {
    if (!TitleIconVisible())
        return;
    TRect R;
    GetIconRect(R);
    TBitmap* Image = FSkinData->CacheBitmap;
    HDC DC = Image->Canvas()->Handle();
    int W = TitleIconWidth(), H = TitleIconHeight();
    if (FTitleIcon->Glyph()->Empty()) {
        HICON Icon = reinterpret_cast<HICON>(SendMessageA(Application->Handle(), WM_GETICON, 2, 0));
        if (!Icon) {
            LoadAppIcons();
            TIcon* Own = (H > 16 && AppIconLarge) ? AppIconLarge : AppIconSmall;
            Icon = Own ? Own->Handle() : LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
        }
        if (Icon)
            DrawIconEx(DC, R.Left, R.Top, Icon, W, H, 0, nullptr, DI_NORMAL);
        return;
    }
    TBitmap* Glyph = FTitleIcon->Glyph();
    Glyph->SetTransparent(true);
    Glyph->SetTransparentColor(0xFF00FF);
    if (Glyph->PixelFormat() == pf32bit) {
        DrawMaskedImage(TRect{R.Left, R.Top, R.Left + Glyph->Width(), R.Top + Glyph->Height()},
                        TRect{0, 0, Glyph->Width(), Glyph->Height()}, Image, false, EmptyBackgroundSource, Glyph);
    } else {
        int S = FTitleIcon->Width != 0 ? FTitleIcon->Width : IconSizeForHeight(TitleBarHeight() - 2);
        int SH = FTitleIcon->Width != 0 ? FTitleIcon->Height : S;
        Image->Canvas()->StretchDraw(TRect{R.Left, R.Top, R.Left + S, R.Top + SH}, Glyph);
    }
}

bool TsSkinProvider::GripVisible() const {
    return GripMode == gmRightBottom && !IsZoomedForm() && (FormStyleBits() & WS_THICKFRAME);
}

void TsSkinProvider::GripPosition(int MaskIndex, TPoint& P) {
    TsSkinManager* M = ProviderManager();
    TRect Ext;
    GetExtRect(Ext);
    const TsMaskData& Mask = M->MaskList[MaskIndex];
    TBitmap* Image = FSkinData->CacheBitmap;
    int F = FrameBorderWidth(Form->Handle(), BorderForm, true);
    P.X = Image->Width() - GetMaskImageWidth(Mask) - F - Ext.Right - 1;
    P.Y = Image->Height() - GetMaskImageHeight(Mask) - F - Ext.Bottom - 1;
}

void TsSkinProvider::PaintGrip(HDC DC) {
    TsSkinManager* M = ProviderManager();
    int Index = GlobalMask(M, "GRIPIMAGE");
    if (Index < 0)
        return;
    TPoint P;
    GripPosition(Index, P);
    const TsMaskData& Mask = M->MaskList[Index];
    TOwned<TBitmap> Work(NewBitmap24(GetMaskImageWidth(Mask), GetMaskImageHeight(Mask)));
    BitBlt(Work->Canvas()->Handle(), 0, 0, Work->Width(), Work->Height(), FSkinData->CacheBitmap->Canvas()->Handle(),
           P.X, P.Y, SRCCOPY);
    DrawSkinGlyph(Work.get(), TPoint{0, 0}, 0, 1, Mask, MakeBackgroundSource(Work.get(), 0, 0));
    BitBlt(DC, P.X, P.Y, Work->Width(), Work->Height(), Work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// The form image

void TsSkinProvider::PrepareFormImage() {
    if (Form->FormState().Contains(fsCreating) || !Form->HandleAllocated())
        return;
    TsSkinManager* M = ProviderManager();
    const int W = FormImageWidth(), H = ImageHeight();
    TRect Ext;
    GetExtRect(Ext);
    if (!FSkinData->CacheBitmap) {
        FSkinData->CacheBitmap = BorderForm ? NewBitmap32(W, H) : NewBitmap24(W, H);
        FSkinData->UpdatePlainFlag(false);
        FSkinData->BackgroundStale = true;
    }
    // An image of another size than the window's is stale, whether or not the size change has been
    // told yet: the window may be painted before its WM_SIZE arrives.
    TBitmap* Image = FSkinData->CacheBitmap;
    if (!FSkinData->BackgroundStale && Image->Width() == W && Image->Height() == H) {
        FSkinData->SetInUpdate(false);
        return;
    }
    RegionChanged = true;
    SizeFreshImage(Image, W, H);
    const TRect FrameRect{Ext.Left, Ext.Top, W - Ext.Right, H - Ext.Bottom};
    const int State = FormActive ? 1 : 0;
    if (M && FSkinData->IsSkinned(false)) {
        BackgroundSource Background = EmptyBackgroundSource;
        if (Form->Parent()) {
            ParentBackgroundInfo Info;
            QueryParentBackground(Info, Form->Parent(), false);
            ToBackgroundSource(Info, Background);
        }
        if (FSkinData->Flags & PlainBackgroundFlag) {
            TRect Fill = BorderForm ? FrameRect
                                    : TRect{0, 0, W,
                                            GetCaptionHeight(true) + SideFrameWidth(true) +
                                                MenuLineCount() * MenuLineHeight() + 1};
            FillRectSolid(Image->Canvas()->Handle(), Fill, FormColor());
            if (!CenterMode()) {
                TRect Client;
                PaintSkinBorder(Image->Canvas()->Handle(), FrameRect, SideFrameWidth(true), FSkinData, State, Client);
            }
        } else if (HasBorder() || (Form->Parent() && !CenterMode())) {
            PaintControlSkin(FSkinData, Background, false, Form->Parent() != nullptr, State, Image,
                             TPoint{Form->Left(), Form->Top()}, FrameRect);
        } else {
            PaintSkinSection(FSkinData->SectionIndex, FSkinData->SkinSection(), Background, 0xFF00FF, -1, -1, M,
                             Image, TPoint{Form->Left(), Form->Top()}, FrameRect, State);
        }
        if (GripVisible() && FSkinData->NeedsSkinPaint()) {
            FSkinData->BackgroundStale = false;
            PaintGrip(Image->Canvas()->Handle());
        }
        BackgroundSource BgSource = MakeBackgroundSource(Image, GetClientOffsetX(), GetClientOffsetY());
        if (!CenterMode() && GetCaptionHeight(true) > 0 && FDrawNonClientArea) {
            int Title = TitleSkinIndex();
            if (M->SectionIndexInRange(Title))
                PaintSkinItem(Title, TitleSkinName(), BgSource, -1, -1, M, Image, TPoint{0, 0},
                              TRect{FrameRect.Left, FrameRect.Top, FrameRect.Right, TitleBottom()}, State, true);
            PaintTitleIcon();
        }
        if (MenuPresent() && MenuHasVisibleItems() && MenuLineHeight() > 0 && FDrawNonClientArea)
            PaintMenuLine();
        if (IsMDIParent() && MDIHelper)
            PaintMDIArea();
        if (BorderForm)
            PaintExtendedBorder();
        if (!CenterMode())
            PaintCaptionText();
        if (GetCaptionHeight(true) > 0 && FDrawNonClientArea) {
            SaveButtonsArea(true);
            PaintTitleButtons();
        }
    }
    FrameStale = false;
    ImagePainted = true;
    FSkinData->BackgroundStale = false;
    FSkinData->SetInUpdate(false);
}

// The MDI client window's place in the image, below the menu line and inside the aligned controls.
void TsSkinProvider::PaintMDIArea() {
    TsSkinManager* M = ProviderManager();
    const int Area = M ? M->FindSectionIndex("MDIAREA") : -1;
    TBitmap* Image = FSkinData->CacheBitmap;
    if (Area < 0 || !Image)
        return;
    TRect Ext;
    GetExtRect(Ext);
    const int S = SideFrameWidth(true);
    const int Rows = MenuHasVisibleItems() ? MenuLineCount() * MenuLineHeight() : 0;
    const TRect R{SumAlignedChildSizes(Form, alLeft, false) + S + Ext.Left,
                  SumAlignedChildSizes(Form, alTop, false) + Rows + TitleBottom() + Form->BorderWidth() +
                      (MenuLineHeight() > 0 ? 1 : 0),
                  Image->Width() - S - SumAlignedChildSizes(Form, alRight, false) - Ext.Right,
                  Image->Height() - S - SumAlignedChildSizes(Form, alBottom, false) - Ext.Bottom};
    if (R.Right > R.Left && R.Bottom > R.Top)
        PaintSkinItemToDC(Area, "MDIAREA", MakeBackgroundSource(Image, 0, 0), M, Image->Canvas()->Handle(),
                          TPoint{R.Left, R.Top}, R, 0, true);
}

void TsSkinProvider::PaintCaptionText() {
    if (GetCaptionHeight(true) <= 0 || !FDrawNonClientArea)
        return;
    TsSkinManager* M = ProviderManager();
    TsSkinData* D = M->SkinData;
    TBitmap* Image = FSkinData->CacheBitmap;
    TRect Ext;
    GetExtRect(Ext);
    HWND H = Form->Handle();
    TRect R;
    R.Left = FrameBorderWidth(H, BorderForm, true) + (TitleIconVisible() ? TitleIconWidth() : 0) + D->TitleLeftMargin +
             Ext.Left + (CaptionIndex >= 0 ? 2 : 0) + 4;
    R.Right = FormImageWidth() - Ext.Right - ButtonsWidth() - Ext.Right - 12;
    R.Bottom = TitleBottom();
    R.Top = IsZoomedForm() ? FrameBorderWidth(H, BorderForm, false) / 2 + Ext.Top + 1 : Ext.Top + 2;
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    TCanvas* Canvas = Image->Canvas();
    HFONT CaptionFont = CreateCaptionFont();
    if (CaptionFont)
        Canvas->Font()->SetHandle(CaptionFont);
    const std::string Text = Form->Caption();
    TSize Size{};
    CanvasTextExtent(Canvas, Text, Size);
    int AddedW = 0;
    if (!FAddedTitle->Text().empty()) {
        TSize AddedSize{};
        TextSizeWithFont(FAddedTitle->Font()->Handle(), FAddedTitle->Text(), AddedSize);
        AddedW = AddedSize.cx;
    }
    R.Top += (R.Bottom - R.Top - Size.cy) / 2;
    R.Bottom = R.Top + Size.cy;
    if (FCaptionAlignment == taRightJustify) {
        if (Size.cx + AddedW + 4 < R.Right - R.Left)
            R.Left = R.Right - Size.cx - AddedW - 4;
    } else if (FCaptionAlignment == taCenter) {
        R.Left = std::max(R.Left, R.Left + (R.Right - R.Left - (Size.cx + AddedW + 4)) / 2);
        R.Right = std::min(R.Left + Size.cx, R.Right);
    }
    int Title = TitleSkinIndex();
    Canvas->Brush()->SetStyle(bsClear);
    WriteSectionText(Canvas, Text, Form->Enabled(), M, FormActive, M->SectionIndexInRange(Title) ? Title : -1,
                     DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER, R);
    R.Left += Size.cx;
    if (!FAddedTitle->Text().empty() && M->SectionIndexInRange(Title)) {
        R.Left += 4;
        R.Right = R.Left + AddedW + 4;
        if (R.Left + 8 < R.Right) {
            Canvas->Font()->Assign(FAddedTitle->Font());
            const TsGeneralData& S = M->SectionList[Title];
            TColor C = FAddedTitle->Font()->Color();
            if (C == clNone || C == clWindowText)
                C = FormActive ? S.HotFontColor[0] : S.FontColor[0];
            else if (!FormActive)
                C = MixColors(C, S.FontColor[0], 0.5);
            Canvas->Font()->SetColor(C);
            RECT WR{R.Left, R.Top, R.Right, R.Bottom};
            DrawTextA(Canvas->Handle(), FAddedTitle->Text().c_str(), -1, &WR,
                      DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
        }
    }
}

void TsSkinProvider::PaintExtendedBorder() {
    TsSkinManager* M = ProviderManager();
    TBitmap* Image = FSkinData->CacheBitmap;
    TRect Ext;
    GetExtRect(Ext);
    // The window body is opaque; only the margins carry the shadow's alpha.
    Image->SetPixelFormat(pf32bit);
    for (int Y = Ext.Top; Y < Image->Height() - Ext.Bottom; ++Y) {
        auto* Row = static_cast<Byte*>(Image->ScanLine(Y));
        for (int X = Ext.Left; X < Image->Width() - Ext.Right; ++X)
            Row[X * 4 + 3] = 255;
    }
    TBitmap* Shadow = FormActive ? static_cast<TBitmap*>(M->ExBorderActive) : static_cast<TBitmap*>(M->ExBorderInactive);
    BorderForm->ShadowPicture = Shadow;
    if (!Shadow || Shadow->Empty())
        return;
    const int F = M->SkinData->ExtFormOffset;
    CopyFramedImage(Image, Shadow, TRect{0, 0, Image->Width(), Image->Height()}, false, 0, TRect{1, 1, 1, 1}, Ext,
                    TRect{Ext.Left + F, Ext.Top + F, Ext.Right + F, Ext.Bottom + F},
                    TRect{0, 0, Shadow->Width(), Shadow->Height()});
}

// ---------------------------------------------------------------------------------------------
// Putting the image on the window

void TsSkinProvider::PaintFrame(HDC DC) {
    if (FSkinData->BackgroundStale || !FSkinData->NeedsSkinPaint() || !FSkinData->CacheBitmap) {
        PrepareFormImage();
        FSkinData->BackgroundStale = false;
        FSkinData->SetInUpdate(false);
    }
    TBitmap* Image = FSkinData->CacheBitmap;
    if (!Image)
        return;
    HDC Src = Image->Canvas()->Handle();
    HWND H = Form->Handle();
    const int Y = (FormStyleBits() & WS_CAPTION) == WS_CAPTION ? TitleBarHeight() : TopFrameHeight(true);
    const int S = SideFrameWidth(true), T = TopFrameHeight(true), W = FormImageWidth();
    const int SrcY = (IsIconicForm() ? 1 : 0) + InnerFrameWidth(H, BorderForm, true) + GetCaptionHeight(true) +
                     (MenuHasVisibleItems() ? MenuLineCount() * MenuLineHeight() + 1 : 0) + Form->BorderWidth();
    const int IH = Image->Height(), IW = Image->Width();
    BitBlt(DC, 0, 0, W, Y, Src, 0, 0, SRCCOPY);
    BitBlt(DC, 0, Y, S, IH - Y, Src, 0, SrcY, SRCCOPY);
    BitBlt(DC, S, Form->Height() - T, W - S, T, Src, FrameBorderWidth(H, BorderForm, true) + Form->BorderWidth(),
           Form->Height() - T, SRCCOPY);
    BitBlt(DC, IW - S, Y, S, IH - T, Src, IW - S, SrcY, SRCCOPY);
}

void TsSkinProvider::PaintNonClient() {
    if (!FDrawNonClientArea || !Form->HandleAllocated() || ChildMaximized || HiddenByMaximizedChild())
        return;
    HWND H = Form->Handle();
    if (!MenuRebuilt && RebuildMenu())
        MenuRebuilt = true;
    if (RegionChanged && !InSetRegion) {
        if (HasBorder() || HasSizingFrame(H) || IsIconicForm()) {
            FillRegionRects();
            RegionChanged = false;
            UpdateFormRegion(!AnimationInProgress);
            RegionChanged = false;
        } else {
            SetWindowRgn(H, nullptr, FALSE);
        }
    }
    FSkinData->SetInUpdate(false);
    if (FSkinData->CacheBitmap && FSkinData->CacheBitmap->Width() == 0)
        FSkinData->BackgroundStale = true;
    HDC DC = GetWindowDC(H);
    if (!BorderForm) {
        PaintFrame(DC);
    } else if (TBitmap* Image = FSkinData->CacheBitmap) {
        // The border window shows the rest; the form's own window keeps only the menu rows (and the
        // form's inner border) between its caption, which the border window covers, and its client.
        if (FSkinData->BackgroundStale || Image->Width() == 0)
            PrepareFormImage();
        TRect Ext;
        GetExtRect(Ext);
        const int F = FrameBorderWidth(H, BorderForm, false), BW = Form->BorderWidth();
        const int X = F, Y = GetCaptionHeight(false) + F - (CaptionGrown ? 4 : 0);
        const int RowsH = MenuLineCount() * MenuLineHeight() + (MenuPresent() ? 1 : 0) + BW;
        const int SX = ExtendedBorderOffset(BorderForm) + Ext.Left, SY = ExtendedTitleOffset(BorderForm) + Ext.Top;
        HDC Src = Image->Canvas()->Handle();
        const int LineW = Image->Width() - Ext.Left - Ext.Right;
        BitBlt(DC, X, Y, LineW, RowsH, Src, X + SX, Y + SY, SRCCOPY);
        if (BW > 0) {
            const int Bottom = Form->Height() - F - BW, Inner = Form->Width() - 2 * F;
            BitBlt(DC, X, Y, BW, Bottom - Y, Src, X + SX, Y + SY, SRCCOPY);
            BitBlt(DC, X, Bottom, Inner, BW, Src, X + SX, Bottom + SY, SRCCOPY);
            BitBlt(DC, X + Inner - BW, Y, BW, Bottom - Y, Src, X + Inner - BW + SX, Y + SY, SRCCOPY);
        }
    }
    ReleaseDC(H, DC);
    InSetRegion = false;
}

void TsSkinProvider::RepaintFrame() {
    if (!Form || !Form->Visible() || !FDrawNonClientArea || !Form->HandleAllocated() ||
        Form->ControlState().Contains(csDestroyingHandle) || !IsSkinned())
        return;
    FSkinData->BackgroundStale = true;
    if (BorderForm) {
        UpdateBorder(true);
        return;
    }
    if (!FSkinData->CacheBitmap) {
        TsSkinManager* M = ProviderManager();
        UpdateBorderForm(M && M->GetExtendedBorders());
    }
    HDC DC = GetWindowDC(Form->Handle());
    PaintFrame(DC);
    ReleaseDC(Form->Handle(), DC);
}

void TsSkinProvider::SaveButtonsArea(bool FullHeight) {
    TBitmap* Image = FSkinData->CacheBitmap;
    TRect Ext;
    GetExtRect(Ext);
    HWND H = Form->Handle();
    ButtonsWork->SetPixelFormat(Image->PixelFormat());
    int W = FrameBorderWidth(H, BorderForm, true) + ButtonsWidth() + Ext.Right + 10;
    int Caption = InnerFrameWidth(H, BorderForm, true) + GetCaptionHeight(true);
    int Full = Caption + FrameBorderWidth(H, BorderForm, false) + MenuLineHeight() + Ext.Top;
    ButtonsWork->SetSize(W, Full);
    BitBlt(ButtonsWork->Canvas()->Handle(), 0, 0, W, FullHeight ? Full : Caption, Image->Canvas()->Handle(),
           FormImageWidth() - W - 1, 0, SRCCOPY);
}

void TsSkinProvider::RestoreButtonsArea() {
    TBitmap* Image = FSkinData->CacheBitmap;
    BitBlt(Image->Canvas()->Handle(), FormImageWidth() - ButtonsWork->Width() - 1, 0, ButtonsWork->Width(),
           ButtonsWork->Height(), ButtonsWork->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// Caption buttons

void TsSkinProvider::UpdateButtonImages() {
    TsSkinManager* M = ProviderManager();
    int G = M ? M->FindSectionIndex(GlobalInfo) : -1;
    if (G < 0)
        return;
    auto Mask = [&](const char* Name) { return M->FindMaskIndex(G, GlobalInfo, Name); };
    BtnMin.HitCode = HTMINBUTTON;
    BtnMax.HitCode = HTMAXBUTTON;
    BtnClose.HitCode = HTCLOSE;
    BtnHelp.HitCode = HTHELP;
    if (HasStandardBorder()) {
        BtnMin.ImageIndex = Mask("BICONMIN");
        BtnMax.ImageIndex = Mask("BICONMAX");
        bool Alone = !SystemMenu || (!SystemMenu->VisibleMax() && !SystemMenu->VisibleMin());
        BtnClose.ImageIndex = Alone && Mask("BICLOSEALONE") >= 0 ? Mask("BICLOSEALONE") : Mask("BICONCLOSE");
        BtnHelp.ImageIndex = Mask("BICONHELP");
        BtnMin.BigImage = true;
    } else {
        BtnClose.ImageIndex = Mask("SICONCLOSE");
        BtnMin.ImageIndex = Mask("SICONMIN");
        BtnMax.ImageIndex = Mask("SICONMAX");
        BtnHelp.ImageIndex = Mask("SICONHELP") >= 0 ? Mask("SICONHELP") : Mask("BICONHELP");
        BtnMin.BigImage = false;
    }
    BtnMax.BigImage = BtnClose.BigImage = BtnMin.BigImage;
    BtnHelp.BigImage = false;
    BtnMDIMin.HitCode = HTMDIMIN;
    BtnMDIMax.HitCode = HTMDIMAX;
    BtnMDIClose.HitCode = HTMDICLOSE;
    const bool MDIParent = IsMDIParent() && !M->ComponentState().Contains(csDesigning);
    if (BtnClose.ImageIndex < 0) {
        BtnClose.ImageIndex = Mask("BICONCLOSE");
        BtnMin.ImageIndex = Mask("BICONMIN");
        BtnMax.ImageIndex = Mask("BICONMAX");
        BtnHelp.ImageIndex = Mask("BICONHELP");
        BtnClose.BigImage = BtnMin.BigImage = BtnMax.BigImage = BtnHelp.BigImage = true;
        if (MDIParent) {
            BtnMDIMin.ImageIndex = Mask("BICONMIN");
            BtnMDIMax.ImageIndex = Mask("BICONMAX");
            BtnMDIClose.ImageIndex = Mask("BICONCLOSE");
            BtnMDIMin.BigImage = BtnMDIMax.BigImage = BtnMDIClose.BigImage = true;
        }
    } else if (MDIParent) {
        BtnMDIMin.ImageIndex = Mask("SICONMIN");
        BtnMDIMax.ImageIndex = Mask("SICONMAX");
        BtnMDIClose.ImageIndex = Mask("SICONCLOSE");
        BtnMDIMin.BigImage = BtnMDIMax.BigImage = BtnMDIClose.BigImage = false;
        if (BtnMDIMin.ImageIndex < 0) {
            BtnMDIMin.ImageIndex = BtnMin.ImageIndex;
            BtnMDIMax.ImageIndex = BtnMax.ImageIndex;
            BtnMDIClose.ImageIndex = BtnClose.ImageIndex;
            BtnMDIMin.BigImage = BtnMDIMax.BigImage = BtnMDIClose.BigImage = true;
        }
    }
    TitleButtonMask = Mask("TITLEBUTTON");
}

int TsSkinProvider::ButtonWidth(const TitleButtonState& Button) {
    TsSkinManager* M = ProviderManager();
    if (!M || !M->MaskIndexInRange(Button.ImageIndex))
        return 21;
    const TsMaskData& Mask = M->MaskList[Button.ImageIndex];
    if (Mask.Bmp)
        return Mask.Bmp->Width() / std::max<int>(1, Mask.ImageCount);
    return GetMaskImageWidth(Mask);
}

int TsSkinProvider::ButtonHeight() {
    TsSkinManager* M = ProviderManager();
    if (!M || !M->MaskIndexInRange(BtnClose.ImageIndex))
        return 21;
    const TsMaskData& Mask = M->MaskList[BtnClose.ImageIndex];
    if (Mask.Bmp)
        return Mask.Bmp->Height() / 2;
    return GetMaskImageHeight(Mask);
}

int TsSkinProvider::UserButtonWidth(TsTitleButton* Item) {
    TsSkinManager* M = ProviderManager();
    int GlyphW = Item && !Item->Glyph()->Empty() ? Item->Glyph()->Width() + 2 : 0;
    int MaskW = 21;
    if (M && M->MaskIndexInRange(TitleButtonMask)) {
        const TsMaskData& Mask = M->MaskList[TitleButtonMask];
        MaskW = (Mask.R.Right - Mask.R.Left) / std::max<int>(1, Mask.ImageCount);
    }
    return std::max(GlyphW, MaskW);
}

int TsSkinProvider::ButtonsWidth() {
    TsSkinManager* M = ProviderManager();
    int S = HasStandardBorder() && M ? M->SkinData->TitleButtonSpacing : 0;
    int Total = M ? M->SkinData->TitleRightMargin : 0;
    if (SystemMenu && SystemMenu->VisibleClose()) {
        Total += ButtonWidth(BtnClose);
        if (SystemMenu->VisibleMax())
            Total += ButtonWidth(BtnMax) + S;
        if (SystemMenu->VisibleMin())
            Total += ButtonWidth(BtnMin) + S;
        if (Form->BorderIcons().Contains(biHelp))
            Total += ButtonWidth(BtnHelp) + S;
    }
    if (FTitleButtons->Count() > 0) {
        Total += 8;
        for (int I = 0; I < FTitleButtons->Count(); ++I)
            Total += UserButtonWidth(FTitleButtons->Items(I)) + S;
    }
    return Total;
}

int TsSkinProvider::SystemButtonCount() {
    if (!SystemMenu || !SystemMenu->VisibleClose())
        return 0;
    return 1 + (SystemMenu->VisibleMax() ? 1 : 0) + (SystemMenu->VisibleMin() ? 1 : 0) +
           (Form->BorderIcons().Contains(biHelp) ? 1 : 0);
}

void TsSkinProvider::PlaceTitleButton(TitleButtonState& Button, int& X, int MaskIndex, bool Enabled,
                                      TsTitleButton* Item) {
    TsSkinManager* M = ProviderManager();
    TsSkinData* D = M->SkinData;
    TRect Ext;
    GetExtRect(Ext);
    HWND H = Form->Handle();
    int Width = Item ? UserButtonWidth(Item) : ButtonWidth(Button);
    int Top;
    if (Button.BigImage && D->TitleButtonVAlign == 1) {
        Top = !BorderForm ? Ext.Top
                          : (IsZoomedForm() && D->TitleTopMargin != 0 ? Ext.Top + FrameBorderWidth(H, BorderForm, false)
                                                                       : Ext.Top + D->TitleTopMargin);
        if (IsZoomedForm() && Form->Constraints()->MaxHeight() == 0 && Form->Constraints()->MaxWidth() == 0)
            Top += FrameBorderWidth(H, BorderForm, false) - 1;
    } else {
        Top = (InnerFrameWidth(H, BorderForm, true) + GetCaptionHeight(true) - ButtonHeight()) / 2 + Ext.Top;
        if (BorderForm && D->ExtBorderMode == 1)
            Top += D->ExtCenterOffset;
        if (IsZoomedForm() && BorderForm)
            Top += FrameBorderWidth(H, BorderForm, false) / 2 - 2;
        if (HasStandardBorder() && ButtonHeight() < 16)
            Top += 2;
    }
    Button.Rect = TRect{X - Width, Top, X, Top + ButtonHeight()};
    if (M->MaskIndexInRange(MaskIndex)) {
        int Mode = ((Button.State == 0 || Button.Animation) && !(FormActive && Enabled)) ? 2 : 1;
        DrawSkinGlyph(FSkinData->CacheBitmap, TPoint{Button.Rect.Left, Button.Rect.Top},
                      Button.Animation ? 0 : std::max(Button.State, 0), Mode, M->MaskList[MaskIndex],
                      MakeBackgroundSource(FSkinData->CacheBitmap, 0, 0));
    }
}

void TsSkinProvider::DrawUserGlyph(TsTitleButton* Item, bool Pressed) {
    TBitmap* Glyph = Item->Glyph();
    if (Glyph->Empty())
        return;
    const TRect& R = Item->Data.Rect;
    int L = R.Left + (UserButtonWidth(Item) - Glyph->Width()) / 2 + (Pressed ? 1 : 0);
    int T = R.Top + (ButtonHeight() - Glyph->Height()) / 2 + (Pressed ? 1 : 0);
    TBitmap* Image = FSkinData->CacheBitmap;
    if (Glyph->PixelFormat() == pf32bit) {
        DrawMaskedImage(TRect{L, T, L + Glyph->Width(), T + Glyph->Height()},
                        TRect{0, 0, Glyph->Width(), Glyph->Height()}, Image, true, MakeBackgroundSource(Image, 0, 0),
                        Glyph);
    } else {
        Glyph->SetPixelFormat(pf24bit);
        CopyOpaquePixels(Image, Glyph, L, Glyph->Canvas()->Pixels(0, Glyph->Height() - 1), T);
    }
}

void TsSkinProvider::PaintTitleButtons() {
    if (!HasBorder() || !SystemMenu)
        return;
    TsSkinManager* M = ProviderManager();
    TsSkinData* D = M->SkinData;
    TRect Ext;
    GetExtRect(Ext);
    int X = FormImageWidth() - D->TitleRightMargin - Ext.Right - FrameBorderWidth(Form->Handle(), BorderForm, true);
    RestoreButtonsArea();
    const int S = HasStandardBorder() ? D->TitleButtonSpacing : 0;
    if (SystemMenu->VisibleClose()) {
        if (BtnClose.ImageIndex >= 0) {
            PlaceTitleButton(BtnClose, X, BtnClose.ImageIndex, true, nullptr);
            X = BtnClose.Rect.Left - S;
        }
        if (SystemMenu->VisibleMax()) {
            bool Zoomed = IsZoomedForm();
            int Index = BtnMax.ImageIndex;
            if (Zoomed) {
                Index = GlobalMask(M, "BICONNORM");
                if (Index < 0)
                    Index = M->FindMaskIndex(FSkinData->SectionIndex, FSkinData->SkinSection(), "BICONNORM");
            } else {
                Index = GlobalMask(M, "BICONMAX");
            }
            if (Index >= 0)
                BtnMax.ImageIndex = Index;
            bool Enabled = Zoomed ? SystemMenu->EnabledRestore() : SystemMenu->EnabledMax();
            PlaceTitleButton(BtnMax, X, BtnMax.ImageIndex, Enabled, nullptr);
            X = BtnMax.Rect.Left - S;
        }
        if (SystemMenu->VisibleMin()) {
            int Index = BtnMin.ImageIndex;
            bool Enabled = SystemMenu->EnabledMin();
            if (IsIconicForm()) {
                Index = GlobalMask(M, "BICONNORM");
                Enabled = SystemMenu->EnabledRestore();
            }
            PlaceTitleButton(BtnMin, X, Index, Enabled, nullptr);
            X = BtnMin.Rect.Left - S;
        }
        if (Form->BorderIcons().Contains(biHelp) && BtnHelp.ImageIndex >= 0) {
            PlaceTitleButton(BtnHelp, X, BtnHelp.ImageIndex, true, nullptr);
            X = BtnHelp.Rect.Left - S;
        }
    }
    if (FTitleButtons->Count() > 0) {
        X -= 8;
        for (int I = 0; I < FTitleButtons->Count(); ++I) {
            TsTitleButton* B = FTitleButtons->Items(I);
            B->Data.HitCode = HTUSERBUTTON + I;
            if (!B->Visible())
                continue;
            B->Data.ImageIndex = B->UseSkinData && TitleButtonMask >= 0 ? TitleButtonMask : -1;
            PlaceTitleButton(B->Data, X, B->Data.ImageIndex, B->Enabled, B);
            DrawUserGlyph(B, false);
            X = B->Data.Rect.Left - S;
        }
    }
    if (MDIButtonsShown())
        PaintMDIButtons();
}

TitleButtonState* TsSkinProvider::ButtonByCode(int HitCode) {
    switch (HitCode) {
        case HTMINBUTTON:
            return &BtnMin;
        case HTMAXBUTTON:
            return &BtnMax;
        case HTCLOSE:
            return &BtnClose;
        case HTHELP:
            return &BtnHelp;
        case HTMDICLOSE:
            return &BtnMDIClose;
        case HTMDIMAX:
            return &BtnMDIMax;
        case HTMDIMIN:
            return &BtnMDIMin;
        default:
            if (HitCode >= HTUSERBUTTON && HitCode < HTUSERBUTTON + FTitleButtons->Count())
                return &FTitleButtons->Items(HitCode - HTUSERBUTTON)->Data;
            return nullptr;
    }
}

int TsSkinProvider::HitTest(TMessage& Message) {
    TPoint P;
    ScreenToWindow(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)), P);
    auto Inside = [&P](const TRect& R) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; };
    HWND H = Form->Handle();
    TRect Ext;
    GetExtRect(Ext);
    if (!BorderForm && SystemMenu) {
        // Buttons are numbered close, maximise, minimise, help, then every extra button.
        int N = 0, Found = 0;
        const bool Close = SystemMenu->VisibleClose(), Max = SystemMenu->VisibleMax();
        const bool Min = SystemMenu->VisibleMin() || IsIconic(H), Help = Form->BorderIcons().Contains(biHelp);
        if (Close) {
            ++N;
            if (Inside(BtnClose.Rect))
                Found = N;
            if (!Found && Max && (++N, Inside(BtnMax.Rect)))
                Found = N;
            if (!Found && Min && (++N, Inside(BtnMin.Rect)))
                Found = N;
            if (!Found && Help && (++N, Inside(BtnHelp.Rect)))
                Found = N;
        }
        const int K = Close ? 1 + (Max ? 1 : 0) + (Min ? 1 : 0) + (Help ? 1 : 0) : 0;
        for (int I = 0; !Found && I < FTitleButtons->Count(); ++I)
            if (FTitleButtons->Items(I)->Visible() && Inside(FTitleButtons->Items(I)->Data.Rect))
                Found = K + I + 1;
        int Code = HTCLIENT;
        if (Found > K) {
            TsTitleButton* B = FTitleButtons->Items(Found - K - 1);
            Code = B->Enabled ? HTUSERBUTTON + Found - K - 1 : HTCLIENT;
        } else if (Found > 0) {
            Code = SystemButtonCode(Found, Max, Min, Help);
        }
        if (Code != HTCLIENT) {
            SetHotButton(Code, true);
            return Code;
        }
    }
    if (!IsZoomed(H) && HasSizingFrame(H) && !BorderForm) {
        int B = FrameBorderWidth(H, BorderForm, true), T = InnerFrameWidth(H, BorderForm, false);
        int Code = P.Y > Form->Height() - B ? HTBOTTOM : (P.Y < T ? HTTOP : HTCLIENT);
        if (P.X < B)
            Code = Code == HTTOP ? HTTOPLEFT : (Code == HTBOTTOM ? HTBOTTOMLEFT : HTLEFT);
        else if (P.X > Form->Width() - B)
            Code = Code == HTTOP ? HTTOPRIGHT : (Code == HTBOTTOM ? HTBOTTOMRIGHT : HTRIGHT);
        if (Code != HTCLIENT) {
            SetHotButton(-1, true);
            return Code;
        }
    }
    const int C = GetCaptionHeight(false), D = InnerFrameWidth(H, BorderForm, true);
    if (P.Y >= 0 && P.Y <= C + D) {
        TRect Icon;
        GetIconRect(Icon);
        return Inside(Icon) ? HTSYSMENU : HTCAPTION;
    }
    if (P.Y <= C + D + MenuLineCount() * MenuLineHeight()) {
        // The menu line: the system's bar, but for the buttons of a maximised MDI child.
        int Code = HTMENU;
        if (MDIButtonsShown()) {
            const TPoint Q{P.X + Ext.Left + ExtendedBorderOffset(BorderForm), P.Y + Ext.Top + ExtendedTitleOffset(BorderForm)};
            auto In = [&Q](const TRect& R) { return Q.X >= R.Left && Q.X < R.Right && Q.Y >= R.Top && Q.Y < R.Bottom; };
            if (In(BtnMDIClose.Rect))
                Code = HTMDICLOSE;
            else if (In(BtnMDIMax.Rect))
                Code = HTMDIMAX;
            else if (In(BtnMDIMin.Rect))
                Code = HTMDIMIN;
        }
        SetHotButton(Code == HTMENU ? 0 : Code, true);
        return Code;
    }
    int Code = HTCLIENT;
    if (GripVisible() || InScrollSizeBox(P)) {
        int Grip = GlobalMask(ProviderManager(), "GRIPIMAGE");
        if (Grip >= 0 && FSkinData->CacheBitmap) {
            TPoint G;
            GripPosition(Grip, G);
            if (P.Y > G.Y && P.X > G.X)
                Code = HTBOTTOMRIGHT;
        }
    }
    SetHotButton(Code == HTCLIENT ? 0 : Code, true);
    return Code;
}

int TsSkinProvider::SystemButtonCode(int Position, bool Max, bool Min, bool Help) {
    // The numbering follows the layout: each position names the button drawn there.
    std::vector<int> Order{HTCLOSE};
    if (Max)
        Order.push_back(HTMAXBUTTON);
    if (Min)
        Order.push_back(HTMINBUTTON);
    if (Help)
        Order.push_back(HTHELP);
    if (Position < 1 || Position > static_cast<int>(Order.size()) || !SystemMenu)
        return -1;
    const bool Iconic = IsIconicForm();
    int Code = Order[Position - 1];
    if (Code == HTMAXBUTTON && !(SystemMenu->EnabledMax() || (SystemMenu->EnabledRestore() && !Iconic)))
        return HTCAPTION;
    if (Code == HTMINBUTTON && !(Iconic || SystemMenu->EnabledMin()))
        return HTCAPTION;
    return Code;
}

void TsSkinProvider::SetHotButton(int HitCode, bool Repaint) {
    if (!FDrawNonClientArea || HitCode == HotButton || (HotButton == -1 && HitCode == 0))
        return;
    if (HotButton > 0)
        if (TitleButtonState* Old = ButtonByCode(HotButton)) {
            Old->State = 0;
            if (HotButton >= HTUSERBUTTON)
                HideTitleButtonHint(FTitleButtons->Items(HotButton - HTUSERBUTTON));
            if (Repaint)
                RepaintButton(HotButton);
        }
    HotButton = HitCode;
    if (TitleButtonState* New = ButtonByCode(HitCode)) {
        New->State = 1;
        if (HitCode >= HTUSERBUTTON)
            ShowTitleButtonHint(FTitleButtons->Items(HitCode - HTUSERBUTTON));
    }
    ButtonPressed = false;
    if (Repaint)
        RepaintButton(HitCode);
}

void TsSkinProvider::PressButton(int HitCode) {
    if (HitCode != HotButton && HotButton > 0)
        if (TitleButtonState* Old = ButtonByCode(HotButton)) {
            Old->State = 0;
            if (HotButton >= HTUSERBUTTON)
                HideTitleButtonHint(FTitleButtons->Items(HotButton - HTUSERBUTTON));
            RepaintButton(HotButton);
        }
    HotButton = HitCode;
    TitleButtonState* B = ButtonByCode(HitCode);
    if (!B)
        return;
    if (HitCode == HTMAXBUTTON && SystemMenu &&
        !(SystemMenu->EnabledMax() || (IsZoomedForm() && SystemMenu->EnabledRestore()))) {
        HotButton = 0;
        return;
    }
    B->State = 2;
    ButtonPressed = true;
    RepaintButton(HitCode);
}

void TsSkinProvider::RepaintButton(int HitCode) {
    TitleButtonState* B = ButtonByCode(HitCode);
    TsSkinManager* M = ProviderManager();
    TBitmap* Image = FSkinData->CacheBitmap;
    if (!B || B->State == -1 || !M || !Image || Image->Width() == 0 || !Form->HandleAllocated())
        return;
    const bool MDIButton = HitCode >= HTMDICLOSE && HitCode <= HTMDIMIN;
    if (!MDIButton && (M->GetAllowGlowing() || BorderForm)) {
        StartButtonAnimation(*B, B->State, B->State == 2 ? 1 : 10, B->State != 0, this);
        return;
    }
    TRect Icon;
    GetIconRect(Icon);
    const int W = B->Rect.Right - B->Rect.Left, H = B->Rect.Bottom - B->Rect.Top;
    int Index = B->ImageIndex;
    bool Disabled = false;
    if (MDIButton) {
        // The child's buttons lie on the menu line, whose clean background MenuLineBg keeps.
        TsSystemMenu* ChildMenu = MDIChildProvider ? MDIChildProvider->SystemMenu : nullptr;
        if (HitCode == HTMDIMAX) {
            bool Maximized = false;
            ActiveMDIChildOf(Form, &Maximized);
            if (Maximized) {
                int Norm = GlobalMask(M, "SICONNORM");
                Index = Norm >= 0 ? Norm : GlobalMask(M, "BICONNORM");
            }
            Disabled = !ChildMenu || !ChildMenu->EnabledRestore();
        } else if (HitCode == HTMDIMIN) {
            Disabled = !ChildMenu || !ChildMenu->EnabledMin();
            if (Disabled)
                return;
        }
        if (MenuLineBg && MenuLineBg->Width() > 0) {
            const TPoint O = MenuLineOrigin();
            BitBlt(Image->Canvas()->Handle(), B->Rect.Left, B->Rect.Top, W, H, MenuLineBg->Canvas()->Handle(),
                   B->Rect.Left - O.X, B->Rect.Top - O.Y, SRCCOPY);
        }
    } else if (B->Rect.Left > Icon.Right) {
        int SrcX = B->Rect.Left - (FormImageWidth() - ButtonsWork->Width() - 1);
        BitBlt(Image->Canvas()->Handle(), B->Rect.Left, B->Rect.Top, W, H, ButtonsWork->Canvas()->Handle(), SrcX,
               B->Rect.Top, SRCCOPY);
    }
    if (HitCode == HTMAXBUTTON && IsZoomedForm()) {
        int Norm = GlobalMask(M, "BICONNORM");
        if (Norm >= 0)
            Index = Norm;
    }
    if (M->MaskIndexInRange(Index)) {
        bool UserButton = HitCode >= HTUSERBUTTON;
        int Mode = ((Disabled || B->State == 0) && (Disabled || !FormActive)) ? 2 : 1;
        if (UserButton)
            Mode = B->State == 0 && !FormActive ? 2 : 1;
        DrawSkinGlyph(Image, TPoint{B->Rect.Left, B->Rect.Top}, B->State, Mode, M->MaskList[Index],
                      MakeBackgroundSource(Image, 0, 0));
    }
    if (HitCode >= HTUSERBUTTON)
        DrawUserGlyph(FTitleButtons->Items(HitCode - HTUSERBUTTON), B->State == 2);
    TRect Ext;
    GetExtRect(Ext);
    const int DX = Ext.Left + ExtendedBorderOffset(BorderForm), DY = Ext.Top + ExtendedTitleOffset(BorderForm);
    HDC DC = GetWindowDC(Form->Handle());
    BitBlt(DC, B->Rect.Left - DX, B->Rect.Top - DY, W, H, Image->Canvas()->Handle(), B->Rect.Left, B->Rect.Top,
           SRCCOPY);
    ReleaseDC(Form->Handle(), DC);
}

void TsSkinProvider::StopButtonAnimations() {
    for (TitleButtonState* B : {&BtnMin, &BtnMax, &BtnClose, &BtnHelp})
        if (B->Animation)
            FreeAndNil(B->Animation);
    if (FTitleButtons)
        for (int I = 0; I < FTitleButtons->Count(); ++I)
            if (FTitleButtons->Items(I)->Data.Animation)
                FreeAndNil(FTitleButtons->Items(I)->Data.Animation);
}

void TsSkinProvider::DropSysMenu(int X, int Y) {
    if (!SystemMenu || !Form->HandleAllocated())
        return;
    HWND H = Form->Handle();
    TsSkinManager* M = ProviderManager();
    if (M && M->SkinnedPopups) {
        SystemMenu->UpdateItems(false);
        if (MakeSkinMenu && SystemMenu->Items()->Count() > 0) {
            TMenuItem* First = SystemMenu->Items()->Items(0);
            if (First->Name() == "SkinSelectItem") {
                First->Clear();
                First->Free();
                if (SystemMenu->Items()->Count() > 0 && SystemMenu->Items()->Items(0)->IsLine())
                    SystemMenu->Items()->Items(0)->Free();
            }
            SystemMenu->AddSkinsItem();
        }
        // Items made since the menus were last hooked get the skinned drawing too.
        if (TsSkinableMenus* Menus = SkinableMenusOf(M))
            Menus->HookMenu(SystemMenu, true);
        SystemMenu->SetWindowHandle(H);
        SystemMenu->Popup(X, Y);
        return;
    }
    // The window's own menu, with the commands enabled as the skinned buttons are.
    LONG Style = GetWindowLongA(H, GWL_STYLE);
    SetWindowLongA(H, GWL_STYLE, Style & ~WS_VISIBLE);
    HMENU Menu = GetSystemMenu(H, FALSE);
    auto Enable = [Menu](UINT Command, bool On) {
        EnableMenuItem(Menu, Command, MF_BYCOMMAND | (On ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    };
    SystemMenu->UpdateItems(false);
    Enable(SC_RESTORE, SystemMenu->VisibleRestore() && SystemMenu->EnabledRestore());
    Enable(SC_MOVE, !IsZoomed(H) && !IsIconic(H));
    Enable(SC_SIZE, SystemMenu->VisibleSize() && Form->BorderStyle() != bsSingle && !IsIconic(H) &&
                        Form->WindowState() == wsNormal);
    Enable(SC_MINIMIZE, SystemMenu->VisibleMin() && SystemMenu->EnabledMin());
    Enable(SC_MAXIMIZE, SystemMenu->VisibleMax() && SystemMenu->EnabledMax());
    Enable(SC_CLOSE, SystemMenu->VisibleClose());
    SetWindowLongA(H, GWL_STYLE, GetWindowLongA(H, GWL_STYLE) | (Style & WS_VISIBLE));
    UINT Command = TrackPopupMenu(Menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, X, Y, 0, H, nullptr);
    if (Command)
        PostMessageA(H, WM_SYSCOMMAND, Command, 0);
}

// ---------------------------------------------------------------------------------------------
// The caption cover

namespace {
TForm* CaptionCover = nullptr;
TWndMethod CoverOldProc;
}  // namespace

void TsSkinProvider::CoverWndProc(TMessage& Message) {
    // Nothing of the cover is painted: the screen keeps what lies below it.
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    if (CoverOldProc)
        CoverOldProc(Message);
}

void TsSkinProvider::ShowCaptionCover(bool WholeForm) {
    if (!FDrawNonClientArea || ShowAnimPending || Animating || CoverLock > 0 || InMDICommand ||
        !Form->HandleAllocated())
        return;
    const bool Child = IsMDIChild();
    if (Child && MDISkinProvider && (MDISkinProvider->CoverLock > 0 || MDISkinProvider->InMDICommand))
        return;
    if (!CaptionCover) {
        CaptionCover = TForm::CreateNew(Application);
        CaptionCover->SetTag(-98);  // no dialog hook takes it
        CaptionCover->SetBorderStyle(bsNone);
        CoverOldProc = CaptionCover->WindowProc;
        CaptionCover->WindowProc = TWndMethod::Bind<&TsSkinProvider::CoverWndProc>(this);
    }
    CaptionCover->SetVisible(false);
    int X = Form->Left(), Y = Form->Top(), W = Form->Width(), H = WholeForm ? Form->Height() : TitleBarHeight();
    if (BorderForm) {
        TRect Ext;
        GetExtRect(Ext);
        const int F = FrameBorderWidth(Form->Handle(), BorderForm, false);
        X = Form->Left() + F;
        W = Form->Width() - 2 * F;
        H = MenuLineCount() * MenuLineHeight();
        if (H)
            ++H;
        Y = GetClientOffsetY() + Form->Top() - H - Ext.Top - ExtendedTitleOffset(BorderForm);
    } else if (Child && MDISkinProvider && MDISkinProvider->Form->HandleAllocated()) {
        TCustomForm* Parent = MDISkinProvider->Form;
        POINT P{Form->Left() + 2, Form->Top() + 2};
        for (int I = 0; I < Parent->ControlCount(); ++I) {
            TControl* C = Parent->Controls(I);
            if (!C->Visible())
                continue;
            if (C->Align() == alLeft)
                P.x += C->Width();
            else if (C->Align() == alTop)
                P.y += C->Height();
        }
        ClientToScreen(Parent->Handle(), &P);
        X = P.x;
        Y = P.y;
        H = TitleBarHeight();
    }
    HWND After = (GetWindowLongA(Form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) ? HWND_TOPMOST
                                                                              : GetWindow(Form->Handle(), GW_HWNDPREV);
    SetWindowPos(CaptionCover->Handle(), After, X, Y, W, H,
                 SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

void TsSkinProvider::HideCaptionCover() {
    if (!CaptionCover)
        return;
    CaptionCover->WindowProc = CoverOldProc;
    CoverOldProc = TWndMethod();
    FreeAndNil(CaptionCover);
}

void TsSkinProvider::CallOldCovered(TMessage& Message, TsSkinProvider* CoverOf) {
    CoverOf->ShowCaptionCover(false);
    CallOld(Message);
    CoverOf->HideCaptionCover();
}
