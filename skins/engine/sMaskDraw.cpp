#include "sMaskDraw.h"

#include "acFastPixels.h"
#include "acntUtils.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sVclUtils.h"

#include <algorithm>

namespace {
// The bitmap an image lies in: its own, else its manager's master bitmap.
TBitmap* SourceOf(const TsMaskData& Mask) {
    if (Mask.Bmp)
        return Mask.Bmp;
    return Mask.Manager ? Mask.Manager->MasterBitmap : nullptr;
}

// The state image shown for State: states past the last show the last.
int StateColumn(const TsMaskData& Mask, int State) {
    int S = State < Mask.ImageCount ? State : Mask.ImageCount - 1;
    return GetMaskImageWidth(Mask) * S;
}

// One piece of a nine-piece drawing: where it comes from and where it goes.
struct TPiece {
    int SX, SY, DX, DY, W, H;  // the destination size; the source piece is SW x SH
    int SW, SH;
};

// Copies a source piece over a destination area with whole tiles while they fit, then the first
// rows or columns of one more tile for the rest; a tile size of 0 gives no whole tiles, only the
// closing copy.
template <class F>
void Tile(const TPiece& P, F Copy) {
    for (int Y = 0; Y < P.H;) {
        int H = P.SH > 0 ? std::min(P.SH, P.H - Y) : P.H - Y;
        for (int X = 0; X < P.W;) {
            int W = P.SW > 0 ? std::min(P.SW, P.W - X) : P.W - X;
            Copy(P.DX + X, P.DY + Y, W, H);
            X += W;
        }
        Y += H;
    }
}

// The nine pieces of a strip's state image over Rect, in drawing order (top-left corner, left edge,
// top edge, bottom-left corner, bottom edge, bottom-right corner, top-right corner, right edge,
// centre).
struct TNinePieces {
    TPiece Piece[9];
    bool IsCorner(int I) const { return I == 0 || I == 3 || I == 5 || I == 6; }
};

TNinePieces NinePieces(const TsMaskData& Mask, const TRect& Rect, int State, int WL, int WT, int WR, int WB) {
    const int ImageWidth = GetMaskImageWidth(Mask), PartHeight = GetMaskImageHeight(Mask);
    const int MiddleW = std::max(0, ImageWidth - WL - WR), MiddleH = std::max(0, PartHeight - WT - WB);
    const int SX = Mask.R.Left + StateColumn(Mask, State), SY = Mask.R.Top;
    const int SBottom = SY + PartHeight - WB;
    const int DW = Rect.Width() - WL - WR, DH = Rect.Height() - WT - WB;
    auto Piece = [](int SX, int SY, int SW, int SH, int DX, int DY, int W, int H) {
        return TPiece{SX, SY, DX, DY, std::max(W, 0), std::max(H, 0), SW, SH};
    };
    TNinePieces N;
    N.Piece[0] = Piece(SX, SY, WL, WT, Rect.Left, Rect.Top, WL, WT);
    N.Piece[1] = Piece(SX, SY + WT, WL, MiddleH, Rect.Left, Rect.Top + WT, WL, DH);
    N.Piece[2] = Piece(SX + WL, SY, MiddleW, WT, Rect.Left + WL, Rect.Top, DW, WT);
    N.Piece[3] = Piece(SX, SBottom, WL, WB, Rect.Left, Rect.Bottom - WB, WL, WB);
    N.Piece[4] = Piece(SX + WL, SBottom, MiddleW, WB, Rect.Left + WL, Rect.Bottom - WB, DW, WB);
    N.Piece[5] = Piece(SX + WL + MiddleW, SBottom, WR, WB, Rect.Right - WR, Rect.Bottom - WB, WR, WB);
    N.Piece[6] = Piece(SX + WL + MiddleW, SY, WR, WT, Rect.Right - WR, Rect.Top, WR, WT);
    N.Piece[7] = Piece(SX + WL + MiddleW, SY + WT, WR, MiddleH, Rect.Right - WR, Rect.Top + WT, WR, DH);
    N.Piece[8] = Piece(SX + WL, SY + WT, MiddleW, MiddleH, Rect.Left + WL, Rect.Top + WT, DW, DH);
    return N;
}

// Border widths reduced so that both fit an extent; an odd extent takes one more from the far side.
void FitBorders(int Extent, int& Near, int& Far) {
    if (Extent < Near + Far) {
        int D = (Near + Far - Extent) / 2;
        Near -= D;
        Far -= D;
        if (Extent % 2 != 0)
            --Far;
        Near = std::max(Near, 0);
        Far = std::max(Far, 0);
    }
}

// A rectangle from a corner and a size, right and bottom inclusive.
TRect Inclusive(int X, int Y, int W, int H) { return TRect{X, Y, X + W - 1, Y + H - 1}; }
}  // namespace

void DrawSkinMask(TBitmap* Bitmap, TRect Rect, bool FillCentre, BackgroundSource Background, const TsMaskData& Mask,
                  int State, bool UseBackground) {
    if ((State == 0 && (Mask.StretchMode & 2)) || Rect.Width() < 2 || Rect.Height() < 2 || !Mask.Manager)
        return;
    int WL = Mask.WL, WT = Mask.WT, WR = Mask.WR, WB = Mask.WB;
    FitBorders(Rect.Width(), WL, WR);
    FitBorders(Rect.Height(), WT, WB);
    TBitmap* Src = SourceOf(Mask);
    if (Mask.ImageCount <= 0 || !Bitmap || !Src)
        return;
    const TNinePieces N = NinePieces(Mask, Rect, State, WL, WT, WR, WB);
    const bool DrawCentre = FillCentre && (Mask.StretchMode & 4);
    if (Mask.MaskType == 0) {
        HDC DstDC = Bitmap->Canvas()->Handle();
        HDC SrcDC = Src->Canvas()->Handle();
        const bool Stretch = Mask.StretchMode & 1;
        if (Stretch)
            SetStretchBltMode(DstDC, HALFTONE);
        for (int I = 0; I < 9; ++I) {
            const TPiece& P = N.Piece[I];
            if ((I == 8 && !DrawCentre) || P.W <= 0 || P.H <= 0)
                continue;
            if (N.IsCorner(I))
                CopyKeyTransparentRect(Bitmap, Src, P.DX, UseBackground, Background, 0xFF00FF,
                                       Inclusive(P.SX, P.SY, P.W, P.H), P.DY);
            else if (Stretch)
                StretchBlt(DstDC, P.DX, P.DY, P.W, P.H, SrcDC, P.SX, P.SY, P.SW, P.SH, SRCCOPY);
            else
                Tile(P, [&](int X, int Y, int W, int H) { BitBlt(DstDC, X, Y, W, H, SrcDC, P.SX, P.SY, SRCCOPY); });
        }
        return;
    }
    for (int I = 0; I < 9; ++I) {
        const TPiece& P = N.Piece[I];
        if ((I == 8 && !DrawCentre) || P.W <= 0 || P.H <= 0)
            continue;
        if (N.IsCorner(I)) {
            DrawMaskedPiece(TRect{P.DX, P.DY, P.DX + P.W, P.DY + P.H}, TRect{P.SX, P.SY, P.SX + P.W, P.SY + P.H},
                            Bitmap, Mask, UseBackground, Background, Src);
        } else if (P.SW > 0 && P.SH > 0) {
            Tile(P, [&](int X, int Y, int W, int H) {
                DrawMaskedPiece(TRect{X, Y, X + W, Y + H}, TRect{P.SX, P.SY, P.SX + W, P.SY + H}, Bitmap, Mask, false,
                                EmptyBackgroundSource, Src);
            });
        }
    }
}

void CopyGlyphWithMask(TRect DstRect, TRect SrcRect, TBitmap* Dst, TBitmap* Src, int Mode, const TsMaskData& Mask) {
    TacPixelView D = PixelViewOf(Dst), S = PixelViewOf(Src);
    if (!D.Valid() || !S.Valid() || DstRect.Left < 0 || DstRect.Top < 0 || SrcRect.Left < 0 || SrcRect.Top < 0)
        return;
    const int PartHeight = GetMaskImageHeight(Mask);
    // Both loops include their last index.
    int Rows = std::min(DstRect.Bottom - DstRect.Top, SrcRect.Bottom - SrcRect.Top) + 1;
    int Cols = std::min(DstRect.Right - DstRect.Left, SrcRect.Right - SrcRect.Left) + 1;
    Rows = std::min<int>(Rows, D.Height - DstRect.Top);
    Cols = std::min<int>({Cols, D.Width - DstRect.Left, S.Width - SrcRect.Left});
    if (Mask.MaskType >= 1)
        Rows = std::min<int>(Rows, S.Height - PartHeight - SrcRect.Top);
    else
        Rows = std::min<int>(Rows, S.Height - SrcRect.Top);
    if (Mask.ImageCount < 1)
        Rows = std::min<int>(Rows, Mask.R.Top + PartHeight - SrcRect.Top);
    if (Rows <= 0 || Cols <= 0)
        return;
    if (Mask.MaskType == 0) {
        CopyOpaqueRect(Dst, Src, DstRect.Left, KeyColor, Inclusive(SrcRect.Left, SrcRect.Top, Cols, Rows),
                       DstRect.Top);
        return;
    }
    for (int R = 0; R < Rows; ++R)
        for (int C = 0; C < Cols; ++C) {
            const BYTE* SP = S.At(SrcRect.Left + C, SrcRect.Top + R);
            if (PixelIsColor(SP, KeyColor))
                continue;
            const BYTE* MP = S.At(SrcRect.Left + C, SrcRect.Top + R + PartHeight);
            BYTE W[3];
            for (int K = 0; K < 3; ++K)
                W[K] = static_cast<BYTE>(Mode == 1 ? MP[K] : std::min(MP[K] + 100, 255));
            MaskBlendPixel(D.At(DstRect.Left + C, DstRect.Top + R), SP, W, D.Bytes);
        }
}

void DrawSkinGlyph(TBitmap* Bitmap, TPoint TopLeft, int State, int Mode, const TsMaskData& Mask,
                   BackgroundSource Background) {
    if (!Bitmap || Mask.ImageCount <= 0)
        return;
    const int ImageWidth = GetMaskImageWidth(Mask), PartHeight = GetMaskImageHeight(Mask);
    const int DX = TopLeft.X < 0 ? -TopLeft.X : 0, DY = TopLeft.Y < 0 ? -TopLeft.Y : 0;
    const int W = std::min<int>(ImageWidth - DX, Bitmap->Width() - (TopLeft.X + DX));
    const int H = std::min<int>(PartHeight - DY, Bitmap->Height() - (TopLeft.Y + DY));
    if (W <= 0 || H <= 0)
        return;
    const TRect Source = Inclusive(Mask.R.Left + StateColumn(Mask, State) + DX, Mask.R.Top + DY, W, H);
    const TRect Target = Inclusive(TopLeft.X + DX, TopLeft.Y + DY, W, H);
    if (Mask.Bmp) {
        if (Mask.Bmp->Width() >= Mask.R.Right && Mask.Bmp->Height() >= Mask.R.Bottom)
            CopyGlyphWithMask(Target, Source, Bitmap, Mask.Bmp, Mode, Mask);
        return;
    }
    TBitmap* Master = SourceOf(Mask);
    if (!Master)
        return;
    if (Mask.MaskType >= 1)
        CopyGlyphWithMask(Target, Source, Bitmap, Master, Mode, Mask);
    else if (Mode == 1)
        CopyKeyTransparentRect(Bitmap, Master, Target.Left, true, Background, 0xFF00FF, Source, Target.Top);
    else
        BlendBitmapRect(Bitmap, Target.Left, Target.Top, KeyColor, 0.5, Source, Master);
}

namespace {
// The rows and columns a tile and its source share once negative origins are cut from both.
struct TTileSpan {
    int DstX, DstY, SrcX, SrcY, Cols, Rows;
};
void CutNegativeOrigins(TTileSpan& T) {
    int Cut = std::min(T.DstX, T.SrcX);
    if (Cut < 0) {
        T.DstX -= Cut;
        T.SrcX -= Cut;
        T.Cols += Cut;
    }
    Cut = std::min(T.DstY, T.SrcY);
    if (Cut < 0) {
        T.DstY -= Cut;
        T.SrcY -= Cut;
        T.Rows += Cut;
    }
}
}  // namespace

void DrawMaskedTextureTile(TRect DstRect, TRect SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                           BackgroundSource Background) {
    TBitmap* Master = Mask.Manager ? Mask.Manager->MasterBitmap : nullptr;
    TacPixelView D = PixelViewOf(Dst), S = PixelViewOf(Master);
    if (!D.Valid() || !S.Valid())
        return;
    const int MaskOffset = (Mask.R.Bottom - Mask.R.Top) / 2;
    TTileSpan T{DstRect.Left, DstRect.Top, SrcRect.Left, SrcRect.Top,
                std::min(DstRect.Width(), SrcRect.Width()), std::min(DstRect.Height(), SrcRect.Height())};
    CutNegativeOrigins(T);
    T.Cols = std::min({T.Cols, D.Width - T.DstX, S.Width - T.SrcX});
    // The mask rows below the tile must lie in the master bitmap too.
    T.Rows = std::min({T.Rows, D.Height - T.DstY, S.Height - T.SrcY - MaskOffset});
    if (T.Cols <= 0 || T.Rows <= 0 || MaskOffset < 0)
        return;
    const TacBackgroundPixels Behind(Background);
    const bool ColourOver32 = Behind.Bytes() == 4 && Background.Color != 0xFF00FF;
    for (int R = 0; R < T.Rows; ++R)
        for (int C = 0; C < T.Cols; ++C) {
            const int X = T.DstX + C, Y = T.DstY + R;
            const BYTE* SP = S.At(T.SrcX + C, T.SrcY + R);
            BYTE* DP = D.At(X, Y);
            if (!PixelIsColor(SP, KeyColor))
                MaskBlendPixel(DP, SP, S.At(T.SrcX + C, T.SrcY + R + MaskOffset), D.Bytes);
            else if (!Behind.HasBitmap() || ColourOver32) {
                if (Background.Color != 0xFF00FF)
                    PutPixelColor(DP, Background.Color);
            } else {
                Behind.CopyTo(DP, D.Bytes, X, Y);
            }
        }
}

void PaintCacheCorners(TsCommonData* SkinData, int State, int Corners) {
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    if (!M || !M->MaskIndexInRange(SkinData->BorderMaskIndex) || !SkinData->CacheBitmap || !Host ||
        Host->Width() < 2 || Host->Height() < 2 || !Host->Parent())
        return;
    ParentBackgroundInfo Info;
    QueryParentBackground(Info, Host->Parent(), false);
    BackgroundSource Background;
    ToBackgroundSource(Info, Background);
    if (Background.HasBitmap) {
        Background.OffsetX += Host->Left();
        Background.OffsetY += Host->Top();
    }
    TsMaskData Mask = M->MaskList[static_cast<size_t>(SkinData->BorderMaskIndex)];
    if (Mask.Bmp && Mask.ImageCount == 0) {
        Mask.ImageCount = 3;
        Mask.MaskType = 1;
        Mask.R = TRect{0, 0, Mask.Bmp->Width(), Mask.Bmp->Height()};
    }
    TacPixelView Cache = PixelViewOf(SkinData->CacheBitmap), S = PixelViewOf(SourceOf(Mask));
    if (!Cache.Valid() || !S.Valid() || Mask.ImageCount <= 0)
        return;
    const int ImageWidth = GetMaskImageWidth(Mask), PartHeight = GetMaskImageHeight(Mask);
    const int MiddleW = ImageWidth - Mask.WL - Mask.WR;
    const int SX = Mask.R.Left + StateColumn(Mask, State), SY = Mask.R.Top;
    const int SBottom = Mask.MaskType == 0 ? Mask.R.Bottom - Mask.WB : SY + PartHeight - Mask.WB;
    const int W = Host->Width(), H = Host->Height();
    const TacBackgroundPixels Behind(Background);
    const bool PlainOnly = !Background.HasBitmap && (Mask.MaskType >= 1 || Background.Color != 0xFF00FF);
    struct {
        int Bit, SrcX, SrcY, DstX, DstY, Cols, Rows;
    } const Pieces[] = {
        {1, SX, SY, 0, 0, Mask.WL, Mask.WT},
        {2, SX, SBottom, 0, H - Mask.WB, Mask.WL, Mask.WB},
        {8, SX + Mask.WL + MiddleW, SBottom, W - Mask.WR, H - Mask.WB, Mask.WR, Mask.WB},
        {4, SX + Mask.WL + MiddleW, SY, W - Mask.WR, 0, Mask.WR, Mask.WT},
    };
    for (const auto& P : Pieces) {
        if (!(Corners & P.Bit))
            continue;
        TTileSpan T{P.DstX, P.DstY, P.SrcX, P.SrcY, P.Cols, P.Rows};
        CutNegativeOrigins(T);
        for (int R = 0; R < T.Rows; ++R)
            for (int C = 0; C < T.Cols; ++C) {
                const int X = T.DstX + C, Y = T.DstY + R;
                if (!Cache.Inside(X, Y) || !S.Inside(T.SrcX + C, T.SrcY + R) ||
                    !PixelIsColor(S.At(T.SrcX + C, T.SrcY + R), KeyColor))
                    continue;
                BYTE* DP = Cache.At(X, Y);
                if (Background.HasBitmap)
                    Behind.CopyTo(DP, Cache.Bytes, X, Y);
                else if (PlainOnly)
                    PutPixelColor(DP, Background.Color);
            }
    }
}

void PaintAllCacheCorners(TsCommonData* SkinData, int State) { PaintCacheCorners(SkinData, State, 15); }

void PaintDisabledLook(TBitmap* Bitmap, TsDisabledKind DisabledKind, TControl* Control, BackgroundSource Background,
                       TPoint Offset) {
    if (!Bitmap)
        return;
    if (DisabledKind.Contains(dkGrayed))
        GrayscaleBitmap(Bitmap);
    if (!DisabledKind.Contains(dkBlended))
        return;
    if (Background.HasBitmap && Background.Bmp) {
        const int X = Background.OffsetX + Offset.X, Y = Background.OffsetY + Offset.Y;
        BlendBitmapRect(Bitmap, 0, 0, NoKeyColor, 0.4, TRect{X, Y, X + Bitmap->Width(), Y + Bitmap->Height()},
                        Background.Bmp);
    } else {
        TColor Colour = Background.Color != 0xFF00FF ? Background.Color : GetControlBgColor(Control);
        BlendRectToColor(Bitmap, TRect{0, 0, Bitmap->Width(), Bitmap->Height()}, 50, Colour);
    }
}

void CopyKeyColoredPixels(TBitmap* Dst, TBitmap* Src, TRect DstRect, TRect SrcRect, int MaskIndex,
                          TsSkinManager* Manager, int Corner) {
    TacPixelView D = PixelViewOf(Dst), S = PixelViewOf(Src);
    if (D.Bytes != 4 || S.Bytes != 4)
        return;
    const int Cols = std::min<int>(RectWidth(DstRect, true) - 1, S.Width - SrcRect.Left - 1);
    const int Rows = std::min<int>(RectHeight(DstRect, true) - 1, S.Height - SrcRect.Top - 1);
    TacPixelView MaskPixels;
    int OX = 0, OY = 0;
    if (MaskIndex != -1) {
        if (!Manager || !Manager->MaskIndexInRange(MaskIndex))
            return;
        const TsMaskData& Mask = Manager->MaskList[static_cast<size_t>(MaskIndex)];
        MaskPixels = PixelViewOf(SourceOf(Mask));
        if (!MaskPixels.Valid())
            return;
        const int Right = Mask.R.Left + GetMaskImageWidth(Mask) - Mask.WR;
        const int Bottom = Mask.R.Top + GetMaskImageHeight(Mask) - Mask.WB;
        OX = Corner == HTTOPRIGHT || Corner == HTBOTTOMRIGHT ? Right : Mask.R.Left;
        OY = Corner == HTBOTTOMLEFT || Corner == HTBOTTOMRIGHT ? Bottom : Mask.R.Top;
    }
    for (int R = 0; R <= Rows; ++R)
        for (int C = 0; C <= Cols; ++C) {
            const int X = DstRect.Left + C, Y = DstRect.Top + R;
            if (!D.Inside(X, Y) || !S.Inside(SrcRect.Left + C, SrcRect.Top + R))
                continue;
            BYTE* DP = D.At(X, Y);
            bool Transparent = MaskIndex == -1
                                   ? PixelIsColor(DP, KeyColor)
                                   : MaskPixels.Inside(OX + C, OY + R) && PixelIsColor(MaskPixels.At(OX + C, OY + R), KeyColor);
            if (Transparent)
                std::copy_n(S.At(SrcRect.Left + C, SrcRect.Top + R), 4, DP);
        }
}
