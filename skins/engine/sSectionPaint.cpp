#include "sSectionPaint.h"

#include "Canvas.h"
#include "Controls.h"
#include "GraphicsColors.h"
#include "Jpeg.h"
#include "acntUtils.h"
#include "sCommonData.h"
#include "sVclUtils.h"

#include <algorithm>
#include <memory>

namespace {

// Rect has an area and lies wholly inside Bitmap.
bool RectInBitmap(TBitmap* Bitmap, const TRect& Rect) {
    return Bitmap && !Rect.IsEmpty() && Rect.Left >= 0 && Rect.Top >= 0 && Rect.Right <= Bitmap->Width() &&
           Rect.Bottom <= Bitmap->Height();
}

void FillBitmapRect(TBitmap* Bitmap, const TRect& Rect, TColor Color) {
    if (Rect.IsEmpty())
        return;
    if (Bitmap->PixelFormat() == pf32bit)
        FillRect32(Bitmap, Rect, Color);
    else
        FillRectSolid(Bitmap->Canvas()->Handle(), Rect, Color);
}

BackgroundSource Shifted(BackgroundSource Background, TPoint By) {
    Background.OffsetX += By.X;
    Background.OffsetY += By.Y;
    return Background;
}

// What a section paints with in one state, after the texture was looked up.
struct TSectionLook {
    TColor C = 0;
    int T = 0, G = 0, I = 0;
    const std::string* GradientText = nullptr;
    const TsGradArray* Steps = nullptr;
    int MaskTexture = -1;  // a texture among the manager's masks
    int Pattern = -1;      // else a texture of the pattern list
    bool HasTexture() const { return MaskTexture >= 0 || Pattern >= 0; }
    bool HasGradient() const { return G > 0 && GradientText && !GradientText->empty(); }
};

TSectionLook ChooseLook(const TsGeneralData& S, int State) {
    TSectionLook L;
    bool Hot = State != 0;
    L.C = Hot ? S.HotColor : S.Color;
    L.T = Hot ? S.HotTransparency : S.Transparency;
    L.G = Hot ? S.HotGradientPercent : S.GradientPercent;
    L.I = Hot ? S.HotImagePercent : S.ImagePercent;
    if (L.G != 0) {
        L.GradientText = Hot ? &S.HotGradientData : &S.GradientData;
        L.Steps = Hot ? &S.HotGradient : &S.Gradient;
    }
    return L;
}

TBitmap* TemporaryLike(TBitmap* Bitmap, int Width, int Height) {
    return Bitmap->PixelFormat() == pf32bit ? NewBitmap32(Width, Height) : NewBitmap24(Width, Height);
}

// What lies behind copied into Rect of Bitmap (from the background bitmap at Offset plus its own
// offsets), or Rect filled with the background colour.
void PaintWhatLiesBehind(TBitmap* Bitmap, const TRect& Rect, const BackgroundSource& Background, TPoint Offset) {
    if (!Background.HasBitmap || !Background.Bmp) {
        FillBitmapRect(Bitmap, Rect, Background.Color);
        return;
    }
    if (Background.Bmp == Bitmap)
        return;
    BitBlt(Bitmap->Canvas()->Handle(), Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
           Background.Bmp->Canvas()->Handle(), Offset.X + Background.OffsetX, Offset.Y + Background.OffsetY, SRCCOPY);
}

// The section's own look (texture, gradient, colour) into R of Target. R's origin lies at Offset of
// the background. AtVariant selects PaintSkinSectionAt's colour for an image-less section.
void PaintOwnBackground(TBitmap* Target, TRect R, const TSectionLook& L, TsSkinManager* Manager,
                        const BackgroundSource& Background, TPoint Offset, bool AtVariant) {
    const TRect Whole = R;
    bool TextureDrawn = false;
    if (L.I > 0 && L.HasTexture()) {
        TRect Left = R;
        if (L.Pattern >= 0) {
            DrawTexture(Target->Canvas(), Left, static_cast<TGraphic*>(Manager->PatternList[L.Pattern].Img), 0,
                        TsMaskData{});
        } else {
            const TsMaskData& Mask = Manager->MaskList[L.MaskTexture];
            if (Mask.MaskType >= 1)
                DrawTextureMasked(Target, Left, Shifted(Background, {Offset.X - R.Left, Offset.Y - R.Top}),
                                  Mask.StretchMode, Mask);
            else
                DrawTexture(Target->Canvas(), Left, nullptr, Mask.StretchMode, Mask);
        }
        FillBitmapRect(Target, Left, L.C);
        TextureDrawn = true;
    }
    if (L.G > 0) {
        if (TextureDrawn) {
            TOwned<TBitmap> Gradient(TemporaryLike(Target, Whole.Width(), Whole.Height()));
            TRect All{0, 0, Whole.Width(), Whole.Height()};
            if (L.HasGradient())
                PaintGradient(Gradient.get(), All, *L.Steps, 0);
            else
                FillBitmapRect(Gradient.get(), All, L.C);
            BlendRectAt(Target, Gradient.get(), static_cast<Byte>(ClampToByte(L.I * 255 / 100)), Whole.TopLeft(),
                        TRect{0, 0, Whole.Width() - 1, Whole.Height() - 1});
        } else if (L.HasGradient()) {
            PaintGradient(Target, Whole, *L.Steps, 0);
        } else {
            FillBitmapRect(Target, Whole, L.C);
        }
    }
    int S = L.G + L.I;
    if (S >= 1 && S <= 99) {
        // The blend takes its rectangle with the last column and row included.
        BlendRectToColor(Target, TRect{Whole.Left, Whole.Top, Whole.Right - 1, Whole.Bottom - 1}, S, L.C);
    } else if (S == 0) {
        bool NoBitmapBehind = !Background.HasBitmap || !Background.Bmp;
        TColor Fill = L.C;
        if (AtVariant) {
            if (NoBitmapBehind && L.T == 100)
                Fill = Background.Color;
        } else if (NoBitmapBehind && L.T != 0) {
            Fill = L.T == 100 ? L.C : MixColors(L.C, Background.Color, L.T / 100.0);
        }
        FillBitmapRect(Target, Whole, Fill);
    }
}

// The own look into a temporary image, what lies behind into Rect, then the image over it with the
// section's transparency.
void BlendOwnOverBackground(TBitmap* Bitmap, const TRect& Rect, const TSectionLook& L, TsSkinManager* Manager,
                            const BackgroundSource& Background, TPoint Offset, bool AtVariant, bool Force24) {
    TOwned<TBitmap> Own(Force24 ? NewBitmap24(Rect.Width(), Rect.Height())
                                         : TemporaryLike(Bitmap, Rect.Width(), Rect.Height()));
    PaintOwnBackground(Own.get(), TRect{0, 0, Rect.Width(), Rect.Height()}, L, Manager, Background, Offset, AtVariant);
    PaintWhatLiesBehind(Bitmap, Rect, Background, Offset);
    BlendRectAt(Bitmap, Own.get(), static_cast<Byte>(ClampToByte(L.T * 255 / 100)), Rect.TopLeft(),
                TRect{0, 0, Rect.Width(), Rect.Height()});
}

TsSkinManager* ManagerOrDefault(TsSkinManager* Manager) { return Manager ? Manager : DefaultManager; }

bool SectionUsable(TsSkinManager* Manager, int SectionIndex, TBitmap* Bitmap, const TRect& Rect) {
    return Manager && Manager->SectionIndexInRange(SectionIndex) && RectInBitmap(Bitmap, Rect);
}

// Step 3 of the section painting: a masked texture with StretchMode 10 laid over what was painted.
void OverlayMaskedTexture(TsSkinManager* Manager, int HotTextureIndex, int TextureIndex, TBitmap* Bitmap,
                          TRect Rect, const BackgroundSource& Background, TPoint Offset) {
    int Index = TextureIndex != -1 ? TextureIndex : HotTextureIndex;
    if (!Manager->MaskIndexInRange(Index))
        return;
    const TsMaskData& Mask = Manager->MaskList[Index];
    if (Mask.MaskType >= 1 && Mask.StretchMode == 10)
        DrawTextureMasked(Bitmap, Rect, Shifted(Background, Offset), 10, Mask);
}

// The section's four corner images at the corners of Rect, over Bitmap itself.
void PaintCornerImages(TsSkinManager* Manager, const TsGeneralData& S, TBitmap* Bitmap, const TRect& Rect, int State) {
    const BackgroundSource Self = MakeBackgroundSource(Bitmap, 0, 0);
    auto Glyph = [&](int Index, bool Right, bool Bottom) {
        if (!Manager->MaskIndexInRange(Index))
            return;
        const TsMaskData& M = Manager->MaskList[Index];
        TPoint P{Right ? Rect.Right - GetMaskImageWidth(M) : Rect.Left,
                 Bottom ? Rect.Bottom - GetMaskImageHeight(M) : Rect.Top};
        DrawSkinGlyph(Bitmap, P, State, 1, M, Self);
    };
    Glyph(S.ImgTL, false, false);
    Glyph(S.ImgTR, true, false);
    Glyph(S.ImgBL, false, true);
    Glyph(S.ImgBR, true, true);
}

// Tiles of W x H from the source DC at (SX, SY) over R of the destination, the last column and row
// cut.
void TileBlt(HDC Dst, const TRect& R, HDC Src, int SX, int SY, int W, int H) {
    if (W <= 0 || H <= 0)
        return;
    for (int Y = R.Top; Y < R.Bottom; Y += H)
        for (int X = R.Left; X < R.Right; X += W)
            BitBlt(Dst, X, Y, std::min(W, int(R.Right) - X), std::min(H, int(R.Bottom) - Y), Src, SX, SY, SRCCOPY);
}

void StretchPiece(HDC Dst, const TRect& D, HDC Src, const TRect& S) {
    if (D.IsEmpty() || S.IsEmpty())
        return;
    StretchBlt(Dst, D.Left, D.Top, D.Width(), D.Height(), Src, S.Left, S.Top, S.Width(), S.Height(), SRCCOPY);
}

void FramedPiece(HDC Dst, const TRect& D, HDC Src, const TRect& S, int Mode) {
    if (Mode == 0)
        TileBlt(Dst, D, Src, S.Left, S.Top, S.Width(), S.Height());
    else if (Mode == 1)
        StretchPiece(Dst, D, Src, S);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Sections

void PaintSkinSection(int SectionIndex, const std::string& SectionName, BackgroundSource Background,
                      TColor CustomColor, int HotTextureIndex, int TextureIndex, TsSkinManager* Manager,
                      TBitmap* Bitmap, TPoint Offset, TRect Rect, int State) {
    Manager = ManagerOrDefault(Manager);
    if (!SectionUsable(Manager, SectionIndex, Bitmap, Rect))
        return;
    const TsGeneralData& S = Manager->SectionList[SectionIndex];
    TSectionLook L;
    if (CustomColor == TColor(0xFF00FF)) {
        L = ChooseLook(S, State);
        if (L.T != 100 && L.I > 0) {
            const char* Name = State != 0 ? "HOTPATTERN" : "PATTERN";
            int Given = State != 0 ? HotTextureIndex : TextureIndex;
            int Index = -1;
            if (Given == -1)
                Index = Manager->FindMaskIndex(SectionIndex, SectionName, Name);
            else if (Manager->MaskIndexInRange(Given) && Manager->MaskList[Given].MaskType == 0)
                Index = Given;
            if (Manager->MaskIndexInRange(Index))
                L.MaskTexture = Index;
            else
                L.Pattern = Manager->FindPatternIndex(SectionIndex, SectionName, Name);
        }
    } else {
        L.C = CustomColor;
    }

    bool NothingBehind = !Background.HasBitmap && Background.Color == TColor(0xFF00FF);
    bool BitmapBehind = Background.HasBitmap && Background.Bmp;
    if (NothingBehind || L.T == 0)
        PaintOwnBackground(Bitmap, Rect, L, Manager, Background, Offset, false);
    else if (L.T == 100)
        PaintWhatLiesBehind(Bitmap, Rect, Background, Offset);
    else if (BitmapBehind || L.HasGradient() || (L.I > 0 && L.HasTexture()))
        BlendOwnOverBackground(Bitmap, Rect, L, Manager, Background, Offset, false, false);
    else
        FillBitmapRect(Bitmap, Rect, MixColors(Background.Color, L.C, L.T / 100.0));

    if (State == 0)
        OverlayMaskedTexture(Manager, HotTextureIndex, TextureIndex, Bitmap, Rect, Background, Offset);
}

void PaintSkinSectionAt(int SectionIndex, int HotTextureIndex, int TextureIndex, TsSkinManager* Manager,
                        TBitmap* Bitmap, TPoint Offset, TRect Rect, int State, BackgroundSource Background,
                        const std::string& SectionName) {
    (void)SectionName;
    Manager = ManagerOrDefault(Manager);
    if (!SectionUsable(Manager, SectionIndex, Bitmap, Rect))
        return;
    TSectionLook L = ChooseLook(Manager->SectionList[SectionIndex], State);
    int Given = State != 0 ? HotTextureIndex : TextureIndex;
    if (Manager->MaskIndexInRange(Given))
        L.MaskTexture = Given;
    bool BitmapBehind = Background.HasBitmap && Background.Bmp;
    if (L.T == 100 && BitmapBehind && Background.Bmp != Bitmap)
        PaintWhatLiesBehind(Bitmap, Rect, Background, Offset);
    else if (!BitmapBehind || L.T == 0)
        PaintOwnBackground(Bitmap, Rect, L, Manager, Background, Offset, true);
    else
        BlendOwnOverBackground(Bitmap, Rect, L, Manager, Background, Offset, true, true);
}

void PaintControlBackground(TsCommonData* SkinData, BackgroundSource Background, int State, TBitmap* Bitmap,
                            TPoint Offset, TRect Rect) {
    if (!SkinData)
        return;
    TColor Custom = 0xFF00FF;
    if (SkinData->CustomColor() && SkinData->HostControl)
        Custom = ColorToRGB(SkinData->HostControl->Color());
    PaintSkinSection(SkinData->SectionIndex, SkinData->SkinSection(), Background, Custom, SkinData->HotTextureIndex,
                     SkinData->TextureIndex, SkinData->GetSkinManager(), Bitmap, Offset, Rect, State);
}

void PaintControlSkin(TsCommonData* SkinData, BackgroundSource Background, bool MaskState, bool UseBackground,
                      int State, TBitmap* Bitmap, TPoint Offset, TRect Rect, int, int) {
    if (!SkinData)
        return;
    TsSkinManager* Manager = SkinData->GetSkinManager();
    if (!SectionUsable(Manager, SkinData->SectionIndex, Bitmap, Rect))
        return;
    PaintControlBackground(SkinData, Background, State, Bitmap, Offset, Rect);
    Background = Shifted(Background, Offset);
    if (Manager->MaskIndexInRange(SkinData->BorderMaskIndex)) {
        const TsMaskData& Border = Manager->MaskList[SkinData->BorderMaskIndex];
        if (State != 0 || (Border.StretchMode & 2) == 0)
            DrawSkinMask(Bitmap, Rect, MaskState, Background, Border, State, UseBackground);
    }
    PaintCornerImages(Manager, Manager->SectionList[SkinData->SectionIndex], Bitmap, Rect, State);
}

void PaintControlSkinOnParent(TsCommonData* SkinData, TControl* Parent, bool MaskState, bool UseBackground, int State,
                              TBitmap* Bitmap, TPoint Offset, TRect Rect) {
    ParentBackgroundInfo Info;
    QueryParentBackground(Info, Parent, false);
    BackgroundSource Background;
    ToBackgroundSource(Info, Background);
    PaintControlSkin(SkinData, Background, MaskState, UseBackground, State, Bitmap, Offset, Rect);
}

void PaintSkinItem(int SectionIndex, const std::string& SectionName, BackgroundSource Background, int HotTextureIndex,
                   int TextureIndex, TsSkinManager* Manager, TBitmap* Bitmap, TPoint Offset, TRect Rect, int State,
                   bool MaskState) {
    Manager = ManagerOrDefault(Manager);
    if (!SectionUsable(Manager, SectionIndex, Bitmap, Rect))
        return;
    PaintSkinSection(SectionIndex, SectionName, Background, 0xFF00FF, HotTextureIndex, TextureIndex, Manager, Bitmap,
                     Offset, Rect, State);
    const TsGeneralData& S = Manager->SectionList[SectionIndex];
    PaintCornerImages(Manager, S, Bitmap, Rect, State);
    if (Manager->MaskIndexInRange(S.BorderIndex))
        DrawSkinMask(Bitmap, Rect, MaskState, Shifted(Background, Offset), Manager->MaskList[S.BorderIndex], State,
                     true);
}

void PaintSkinItemToDC(int SectionIndex, const std::string& SectionName, BackgroundSource Background,
                       TsSkinManager* Manager, HDC DC, TPoint Offset, TRect Rect, int State, bool MaskState) {
    Manager = ManagerOrDefault(Manager);
    if (!DC || Rect.IsEmpty() || !Manager || !Manager->SectionIndexInRange(SectionIndex))
        return;
    TOwned<TBitmap> Item(NewBitmap24(Rect.Width(), Rect.Height()));
    PaintSkinItem(SectionIndex, SectionName, Background, -1, -1, Manager, Item.get(), Offset,
                  TRect{0, 0, Rect.Width(), Rect.Height()}, State, MaskState);
    BitBlt(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Item->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void PaintSectionWithMask(int SectionIndex, int HotTextureIndex, int TextureIndex, TsSkinManager* Manager,
                          TBitmap* Bitmap, TPoint Offset, TRect Rect, int State, bool MaskState,
                          BackgroundSource Background, const std::string& SectionName, int MaskIndex) {
    Manager = ManagerOrDefault(Manager);
    if (!SectionUsable(Manager, SectionIndex, Bitmap, Rect))
        return;
    PaintSkinSectionAt(SectionIndex, HotTextureIndex, TextureIndex, Manager, Bitmap, Offset, Rect, State, Background,
                       SectionName);
    if (Manager->MaskIndexInRange(MaskIndex))
        DrawSkinMask(Bitmap, Rect, MaskState, Shifted(Background, Offset), Manager->MaskList[MaskIndex], State, true);
}

int PaintSkinItemByName(TBitmap* Bitmap, const std::string& Name, const std::string& FallbackName, HDC DC,
                        TColor Color, TRect Rect, TsSkinManager* Manager, int State) {
    Manager = ManagerOrDefault(Manager);
    if (!Manager)
        return -1;
    int Section = Manager->FindSectionIndex(Name);
    if (Section < 0)
        Section = Manager->FindSectionIndex(FallbackName);
    if (!Manager->SectionIndexInRange(Section) || !Bitmap)
        return Section;
    BackgroundSource Background;
    Background.Color = Color;
    if (DC) {
        BitBlt(Bitmap->Canvas()->Handle(), 0, 0, Bitmap->Width(), Bitmap->Height(), DC, Rect.Left, Rect.Top, SRCCOPY);
        Background.Bmp = Bitmap;
        Background.HasBitmap = true;
    }
    PaintSkinItem(Section, Manager->SectionList[Section].SectionName, Background, -1, -1, Manager, Bitmap, TPoint{0, 0},
                  TRect{0, 0, Bitmap->Width(), Bitmap->Height()}, State, true);
    return Section;
}

// ---------------------------------------------------------------------------------------------
// Borders

void PaintSkinBorder(HDC DC, TRect Rect, int MinBorder, TsCommonData* SkinData, int State, TRect& ClientRect) {
    ClientRect = Rect;
    if (!SkinData)
        return;
    TColor Colour = SkinData->GetBackgroundColor(State, nullptr);
    ParentBackgroundInfo Info;
    TControl* Host = SkinData->HostControl;
    if (Host && Host->Parent()) {
        QueryParentBackground(Info, Host->Parent(), false);
        Info.X += Host->Left();
        Info.Y += Host->Top();
    }
    TsSkinManager* Manager = SkinData->GetSkinManager();
    const int W = Rect.Width(), H = Rect.Height();
    if (Manager && Manager->MaskIndexInRange(SkinData->BorderMaskIndex)) {
        const TsMaskData& Mask = Manager->MaskList[SkinData->BorderMaskIndex];
        SkinData->PrepareCacheBitmap();
        TBitmap* Cache = SkinData->CacheBitmap;
        if (!Cache)
            return;
        HDC CacheDC = Cache->Canvas()->Handle();
        BackgroundSource Background;
        ToBackgroundSource(Info, Background);
        if (Mask.MaskType == 1) {
            if (Background.HasBitmap && Background.Bmp)
                CopyBorderStrips(CacheDC, Rect.Left, Rect.Top, Mask.WL, Background.Bmp->Canvas()->Handle(),
                                 Info.X + Rect.Left, Info.Y + Rect.Top, W, H);
            else
                FillBorderSolid(CacheDC, Rect, Mask.WL, Colour, Mask.WB, Mask.WR, Mask.WT);
        }
        DrawSkinMask(Cache, Rect, false, Background, Mask, State, true);
        ClientRect = TRect{Rect.Left + Mask.WL, Rect.Top + Mask.WT, Rect.Right - Mask.WR, Rect.Bottom - Mask.WB};
        if (MinBorder > 0) {
            int BandL = std::max(std::min(MinBorder, W - Mask.WR) - Mask.WL, 0);
            int BandT = std::max(std::min(MinBorder, H - Mask.WB) - Mask.WT, 0);
            int BandR = std::max(std::min(MinBorder, W - Mask.WL) - Mask.WR, 0);
            int BandB = std::max(std::min(MinBorder, H - Mask.WT) - Mask.WB, 0);
            FillBorderSolid(CacheDC, ClientRect, BandL, Colour, BandB, BandR, BandT);
            ClientRect = TRect{Rect.Left + MinBorder, Rect.Top + MinBorder, Rect.Right - MinBorder, Rect.Bottom - MinBorder};
            ClientRect.Right = std::max(ClientRect.Right, ClientRect.Left);
            ClientRect.Bottom = std::max(ClientRect.Bottom, ClientRect.Top);
            if (DC != CacheDC)
                CopyBorderStrips(DC, Rect.Left, Rect.Top, MinBorder, CacheDC, Rect.Left, Rect.Top, W, H);
        }
    } else if (MinBorder > 0) {
        FillBorderSolid(DC, Rect, MinBorder, Colour, MinBorder, MinBorder, MinBorder);
        ClientRect = TRect{Rect.Left + MinBorder, Rect.Top + MinBorder, std::max(Rect.Right - MinBorder, Rect.Left + MinBorder),
                           std::max(Rect.Bottom - MinBorder, Rect.Top + MinBorder)};
    }
}

// ---------------------------------------------------------------------------------------------
// Textures

void TileImage(TCanvas* Canvas, TRect R, TGraphic* Image) {
    if (!Image || Image->Width() <= 0 || Image->Height() <= 0 || R.IsEmpty())
        return;
    const int W = Image->Width(), H = Image->Height();
    if (auto* Bmp = DynCast<TBitmap>(Image)) {
        TileBlt(Canvas->Handle(), R, Bmp->Canvas()->Handle(), 0, 0, W, H);
        return;
    }
    HDC DC = Canvas->Handle();
    int Saved = SaveDC(DC);
    IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
    for (int Row = 0; Row <= R.Height() / H; ++Row)
        for (int Col = 0; Col <= R.Width() / W; ++Col)
            Canvas->Draw(R.Left + Col * W, R.Top + Row * H, Image);
    RestoreDC(DC, Saved);
}

void DrawTexture(TCanvas* Canvas, TRect& R, TGraphic* Image, int StretchMode, const TsMaskData& Mask) {
    if (Image && !Image->Empty()) {
        TileImage(Canvas, R, Image);
        R = TRect{};
        return;
    }
    TsSkinManager* Manager = Mask.Manager;
    if (!Manager || !Manager->MasterBitmap || R.IsEmpty())
        return;
    HDC Dst = Canvas->Handle(), Src = Manager->MasterBitmap->Canvas()->Handle();
    const TRect& M = Mask.R;
    const int W = M.Width(), H = M.Height();
    auto Tile = [&](const TRect& Area) { TileBlt(Dst, Area, Src, M.Left, M.Top, W, H); };
    auto Stretch = [&](const TRect& Area) {
        SetStretchBltMode(Dst, HALFTONE);
        StretchPiece(Dst, Area, Src, M);
    };
    const TRect Whole = R;
    switch (StretchMode) {
    case 0:
        Tile(Whole);
        R = TRect{};
        break;
    case 1:
        Stretch(Whole);
        R = TRect{};
        break;
    case 2:
    case 4: {
        TRect Top{Whole.Left, Whole.Top, Whole.Right, std::min<LONG>(Whole.Top + H, Whole.Bottom)};
        StretchMode == 2 ? Tile(Top) : Stretch(Top);
        R.Top = Top.Bottom;
        break;
    }
    case 3:
    case 5: {
        TRect Left{Whole.Left, Whole.Top, std::min<LONG>(Whole.Left + W, Whole.Right), Whole.Bottom};
        StretchMode == 3 ? Tile(Left) : Stretch(Left);
        R.Left = Left.Right;
        break;
    }
    case 6: {
        TRect Bottom{Whole.Left, std::max<LONG>(Whole.Bottom - H, Whole.Top), Whole.Right, Whole.Bottom};
        Tile(Bottom);
        R.Bottom = Bottom.Top;
        break;
    }
    case 7: {
        TRect Right{std::max<LONG>(Whole.Right - W, Whole.Left), Whole.Top, Whole.Right, Whole.Bottom};
        Tile(Right);
        R.Right = Right.Left;
        break;
    }
    case 10:
        if (H > 0)
            for (int Y = Whole.Top; Y < Whole.Bottom - H; Y += H)
                Tile(TRect{Whole.Left, Y, Whole.Right, Y + H});
        R = TRect{};
        break;
    default:
        break;
    }
}

void DrawTextureMasked(TBitmap* Bitmap, TRect& R, BackgroundSource Background, int StretchMode,
                       const TsMaskData& Mask) {
    if (StretchMode != 0 && StretchMode != 10)
        return;
    const int W = GetMaskImageWidth(Mask), H = Mask.R.Height() / 2;
    const TRect Whole = R;
    R = TRect{};
    if (!Bitmap || W <= 0 || H <= 0 || !Mask.Manager)
        return;
    auto Cell = [&](int X, int Y, int CW) {
        DrawMaskedTextureTile(TRect{X, Y, X + CW, Y + H}, TRect{Mask.R.Left, Mask.R.Top, Mask.R.Left + CW, Mask.R.Top + H},
                              Bitmap, Mask, Background);
    };
    int NextY = Whole.Top, NextX = Whole.Left;
    for (int Y = Whole.Top; Y < Whole.Bottom - H; Y += H) {
        if (StretchMode == 0) {
            for (int X = Whole.Left; X < Whole.Right; X += W)
                Cell(X, Y, std::min(W, int(Whole.Right) - X));
        } else {
            for (int X = Whole.Left; X < Whole.Right - W; X += W) {
                Cell(X, Y, W);
                NextX = X + W;
            }
        }
        NextY = Y + H;
    }
    if (StretchMode == 10) {
        TRect Below{Whole.Left, NextY, Whole.Right, Whole.Bottom};
        TRect Beside{NextX, Whole.Top, Whole.Right, Whole.Bottom};
        for (const TRect& Strip : {Below, Beside}) {
            if (Strip.IsEmpty())
                continue;
            if (Background.HasBitmap && Background.Bmp)
                BitBlt(Bitmap->Canvas()->Handle(), Strip.Left, Strip.Top, Strip.Width(), Strip.Height(),
                       Background.Bmp->Canvas()->Handle(), Strip.Left + Background.OffsetX,
                       Strip.Top + Background.OffsetY, SRCCOPY);
            else
                FillBitmapRect(Bitmap, Strip, Background.Color);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Framed images and regions

void CopyFramedImage(TBitmap* Dst, TBitmap* Src, TRect DstRect, bool FillCentre, int CentreMode, TRect EdgeModes,
                     TRect Borders1, TRect Borders2, TRect SrcRect) {
    if (!Dst || !Src || DstRect.IsEmpty() || SrcRect.IsEmpty())
        return;
    const int mL = std::min(Borders1.Left, Borders2.Left), mT = std::min(Borders1.Top, Borders2.Top);
    const int mR = std::min(Borders1.Right, Borders2.Right), mB = std::min(Borders1.Bottom, Borders2.Bottom);
    HDC D = Dst->Canvas()->Handle(), S = Src->Canvas()->Handle();
    SetStretchBltMode(D, BLACKONWHITE);
    const TRect& B2 = Borders2;
    auto Copy = [&](int DX, int DY, int SX, int SY, int W, int H) {
        if (W > 0 && H > 0)
            BitBlt(D, DX, DY, W, H, S, SX, SY, SRCCOPY);
    };
    // Corners with the full side widths and the smaller heights; the taller remainder of the outer
    // columns with the smaller widths.
    Copy(DstRect.Left, DstRect.Top, SrcRect.Left, SrcRect.Top, B2.Left, mT);
    Copy(DstRect.Right - B2.Right, DstRect.Top, SrcRect.Right - B2.Right, SrcRect.Top, B2.Right, mT);
    Copy(DstRect.Left, DstRect.Bottom - mB, SrcRect.Left, SrcRect.Bottom - mB, B2.Left, mB);
    Copy(DstRect.Right - B2.Right, DstRect.Bottom - mB, SrcRect.Right - B2.Right, SrcRect.Bottom - mB, B2.Right, mB);
    if (B2.Top > mT) {
        Copy(DstRect.Left, DstRect.Top + mT, SrcRect.Left, SrcRect.Top + mT, mL, B2.Top - mT);
        Copy(DstRect.Right - mR, DstRect.Top + mT, SrcRect.Right - mR, SrcRect.Top + mT, mR, B2.Top - mT);
    }
    if (B2.Bottom > mB) {
        Copy(DstRect.Left, DstRect.Bottom - B2.Bottom, SrcRect.Left, SrcRect.Bottom - B2.Bottom, mL, B2.Bottom - mB);
        Copy(DstRect.Right - mR, DstRect.Bottom - B2.Bottom, SrcRect.Right - mR, SrcRect.Bottom - B2.Bottom, mR,
             B2.Bottom - mB);
    }
    // Edges between the Borders2 corners.
    const TRect SrcInner{SrcRect.Left + B2.Left, SrcRect.Top + B2.Top, SrcRect.Right - B2.Right,
                         SrcRect.Bottom - B2.Bottom};
    const TRect DstInner{DstRect.Left + B2.Left, DstRect.Top + B2.Top, DstRect.Right - B2.Right,
                         DstRect.Bottom - B2.Bottom};
    FramedPiece(D, TRect{DstRect.Left, DstInner.Top, DstInner.Left, DstInner.Bottom}, S,
                TRect{SrcRect.Left, SrcInner.Top, SrcInner.Left, SrcInner.Bottom}, EdgeModes.Left);
    FramedPiece(D, TRect{DstInner.Left, DstRect.Top, DstInner.Right, DstInner.Top}, S,
                TRect{SrcInner.Left, SrcRect.Top, SrcInner.Right, SrcInner.Top}, EdgeModes.Top);
    FramedPiece(D, TRect{DstInner.Right, DstInner.Top, DstRect.Right, DstInner.Bottom}, S,
                TRect{SrcInner.Right, SrcInner.Top, SrcRect.Right, SrcInner.Bottom}, EdgeModes.Right);
    FramedPiece(D, TRect{DstInner.Left, DstInner.Bottom, DstInner.Right, DstRect.Bottom}, S,
                TRect{SrcInner.Left, SrcInner.Bottom, SrcInner.Right, SrcRect.Bottom}, EdgeModes.Bottom);
    if (FillCentre)
        FramedPiece(D, DstInner, S, SrcInner, CentreMode == 1 ? 1 : 0);
}

void AddCornerHoleRects(TAOR& Rects, int Width, const TsMaskData& Mask, bool Bottom, int Y) {
    TBitmap* Image = Mask.Bmp ? Mask.Bmp : (Mask.Manager ? Mask.Manager->MasterBitmap : nullptr);
    if (!Image || Mask.ImageCount <= 0 || Image->PixelFormat() != pf24bit)
        return;
    const int Rows = Bottom ? Mask.WB : Mask.WT;
    const int First = Bottom ? Mask.R.Top + Mask.R.Height() / (Mask.MaskType + 1) - Mask.WB : Mask.R.Top;
    if (First < 0 || First + Rows > Image->Height())
        return;
    const int ImageW = GetMaskImageWidth(Mask);
    // Runs end at the first other pixel and at the end of each corner's scan.
    auto Scan = [&](const BYTE* Line, int Row, int From, int To, int Shift) {
        int RunStart = -1;
        auto Close = [&](int End) {
            if (RunStart >= 0)
                Rects.push_back(TRect{RunStart - Mask.R.Left + Shift, Y + Row, End - Mask.R.Left + Shift, Y + Row + 1});
            RunStart = -1;
        };
        for (int X = From; X <= To; ++X) {
            bool Key = X >= 0 && X < Image->Width() && Line[X * 3] == 0xFF && Line[X * 3 + 1] == 0x00 &&
                       Line[X * 3 + 2] == 0xFF;
            if (!Key)
                Close(X);
            else if (RunStart < 0)
                RunStart = X;
        }
        Close(To + 1);
    };
    for (int Row = 0; Row < Rows; ++Row) {
        const BYTE* Line = static_cast<const BYTE*>(Image->ScanLine(First + Row));
        if (Mask.WL > 0)
            Scan(Line, Row, Mask.R.Left, Mask.R.Left + Mask.WL - 1, 0);
        if (Mask.WR > 0)
            Scan(Line, Row, Mask.R.Left + ImageW - Mask.WR, Mask.R.Left + ImageW - 1, Width - ImageW);
    }
}

// ---------------------------------------------------------------------------------------------
// Caches to the screen

namespace {
// The cache copied to DstRect of DC, with what ExcludeChildren leaves out of the clipping kept clear.
template <class F>
void CopyCacheClipped(TsCommonData* SkinData, TPoint SrcPos, bool UpdateCorners, HDC DC, TRect DstRect,
                      F ExcludeChildren) {
    if (UpdateCorners)
        PaintAllCacheCorners(SkinData, 0);
    int Saved = SaveDC(DC);
    IntersectClipRect(DC, DstRect.Left, DstRect.Top, DstRect.Right, DstRect.Bottom);
    ExcludeChildren();
    BitBlt(DC, DstRect.Left, DstRect.Top, DstRect.Width(), DstRect.Height(), SkinData->CacheBitmap->Canvas()->Handle(),
           SrcPos.X, SrcPos.Y, SRCCOPY);
    RestoreDC(DC, Saved);
}
}  // namespace

void CopyCacheClipControls(TWinControl* Control, TsCommonData* SkinData, TPoint SrcPos, int DY, int DX, bool UpdateCorners,
                           HDC DC, TRect DstRect) {
    if (!Control || !SkinData || !SkinData->CacheBitmap)
        return;
    CopyCacheClipped(SkinData, SrcPos, UpdateCorners, DC, DstRect, [&] {
        for (int I = 0; I < Control->ControlCount(); ++I) {
            TControl* Child = Control->Controls(I);
            if (!Child->Visible())
                continue;
            TRect B{Child->Left() + DX, Child->Top() + DY, Child->Left() + Child->Width() + DX,
                    Child->Top() + Child->Height() + DY};
            bool Overlaps =
                B.Left < DstRect.Right && B.Right > DstRect.Left && B.Top < DstRect.Bottom && B.Bottom > DstRect.Top;
            bool Covers = Child->ComponentState().Contains(csDesigning) || Child->ControlStyle().Contains(csOpaque) ||
                          DynCast<TGraphicControl>(Child) != nullptr;
            if (Overlaps && Covers)
                ExcludeClipRect(DC, B.Left, B.Top, B.Right, B.Bottom);
        }
    });
}

void CopyCacheClipWindows(HWND Wnd, TsCommonData* SkinData, TPoint SrcPos, int DY, int DX, bool UpdateCorners, HDC DC,
                          TRect DstRect) {
    if (!Wnd || !SkinData || !SkinData->CacheBitmap)
        return;
    CopyCacheClipped(SkinData, SrcPos, UpdateCorners, DC, DstRect, [&] {
        RECT Own;
        GetWindowRect(Wnd, &Own);
        for (HWND Child = GetTopWindow(Wnd); Child; Child = GetWindow(Child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(Child))
                continue;
            RECT CR;
            GetWindowRect(Child, &CR);
            TRect B{CR.left - Own.left - DX, CR.top - Own.top - DY, CR.right - Own.left - DX, CR.bottom - Own.top - DY};
            LONG Style = GetWindowLongA(Child, GWL_STYLE);
            bool GroupBox = (Style & 7) == BS_GROUPBOX && (GetWindowLongA(Child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0;
            if (!GroupBox) {
                ExcludeClipRect(DC, B.Left, B.Top, B.Right, B.Bottom);
            } else if (DefaultManager) {
                // A group box hides only its frame; what lies inside it shows the cache.
                int Caption = static_cast<int>(SendSkinCommand(Child, SKIN_GETMANAGER, 0));
                int L = 0, R = 0, Bt = 0;
                int Section = DefaultManager->FindSectionIndex("GROUPBOX");
                int MaskIndex = DefaultManager->FindMaskIndex(Section, "GROUPBOX", "BORDERSMASK");
                if (DefaultManager->MaskIndexInRange(MaskIndex)) {
                    const TsMaskData& M = DefaultManager->MaskList[MaskIndex];
                    L = M.WL;
                    R = M.WR;
                    Bt = M.WB;
                }
                if (Caption > 0)
                    ExcludeClipRect(DC, B.Left, B.Top, B.Right, B.Top + Caption);
                ExcludeClipRect(DC, B.Left, B.Top, B.Left + L, B.Bottom);
                ExcludeClipRect(DC, B.Right - R, B.Top, B.Right, B.Bottom);
                ExcludeClipRect(DC, B.Left, B.Bottom - Bt, B.Right, B.Bottom);
            }
        }
    });
}
