#include "lmddraw.h"

#include "Bitmaps.h"
#include "Canvas.h"
#include "lmdclass.h"
#include "lmdprocs.h"

#include <cmath>

TRect LayoutPlacement(const TRect& Target, int ImageWidth, int ImageHeight, int Flags) {
    const LONG W = Target.Right - Target.Left, H = Target.Bottom - Target.Top;
    TRect R{Target.Left, Target.Top, Target.Left, Target.Top};
    if (ImageWidth <= 0 || ImageHeight <= 0 || W <= 0 || H <= 0)
        return R;
    if (Flags & LayoutFlags::Centre) {
        R.Left = Target.Left + (W - ImageWidth) / 2;
        R.Top = Target.Top + (H - ImageHeight) / 2;
        R.Right = R.Left + ImageWidth;
        R.Bottom = R.Top + ImageHeight;
    } else if (Flags & LayoutFlags::Stretch) {
        const int Keep = Flags & LayoutFlags::Fit;
        if (Keep == LayoutFlags::Fit) {
            lmdprocs::FitRectKeepingAspect(TRect{0, 0, ImageWidth, ImageHeight}, Target, R);
        } else if (Keep == LayoutFlags::KeepWidthRatio) {
            R.Right = Target.Right;
            R.Bottom = Target.Top + static_cast<LONG>(std::lround(double(ImageHeight) * W / ImageWidth));
        } else if (Keep == LayoutFlags::KeepHeightRatio) {
            R.Bottom = Target.Bottom;
            R.Right = Target.Left + static_cast<LONG>(std::lround(double(ImageWidth) * H / ImageHeight));
        } else {
            R = Target;
        }
    } else {
        R.Right = Target.Left + ImageWidth;
        R.Bottom = Target.Top + ImageHeight;
    }
    return R;
}

namespace {
// One copy of the source rectangle into Place by the drawing flags.
void CopyImage(HDC Dest, const TRect& Place, HDC Source, const TRect& S, HBITMAP Mask, COLORREF Colour, int Flags) {
    const int W = Place.Right - Place.Left, H = Place.Bottom - Place.Top;
    const int SW = S.Right - S.Left, SH = S.Bottom - S.Top;
    if (Flags & LayoutFlags::BrushCopy) {
        TransparentBlt(Dest, Place.Left, Place.Top, W, H, Source, S.Left, S.Top, SW, SH, Colour);
        return;
    }
    HBITMAP OwnMask = nullptr;
    if (!(Flags & LayoutFlags::WithMask && Mask) && Flags & LayoutFlags::KeyColourMask) {
        // Pixels of the key colour come out white in a monochrome copy of the source.
        OwnMask = CreateBitmap(SW, SH, 1, 1, nullptr);
        HDC MaskDC = CreateCompatibleDC(Source);
        HGDIOBJ Old = SelectObject(MaskDC, OwnMask);
        const COLORREF OldBk = SetBkColor(Source, Colour);
        BitBlt(MaskDC, 0, 0, SW, SH, Source, S.Left, S.Top, SRCCOPY);
        SetBkColor(Source, OldBk);
        SelectObject(MaskDC, Old);
        DeleteDC(MaskDC);
        Mask = OwnMask;
    }
    if ((Flags & (LayoutFlags::WithMask | LayoutFlags::KeyColourMask)) && Mask) {
        HDC MaskDC = CreateCompatibleDC(Dest);
        HGDIOBJ Old = SelectObject(MaskDC, Mask);
        const COLORREF OldBk = SetBkColor(Dest, RGB(255, 255, 255));
        const COLORREF OldText = SetTextColor(Dest, RGB(0, 0, 0));
        const int MaskX = OwnMask ? 0 : S.Left, MaskY = OwnMask ? 0 : S.Top;
        if (OwnMask) {
            // The key pixels are not black in the source, so an OR would show them: the source is
            // put in by XOR on both sides of the mask, which cancels out where the mask keeps Dest.
            StretchBlt(Dest, Place.Left, Place.Top, W, H, Source, S.Left, S.Top, SW, SH, SRCINVERT);
            StretchBlt(Dest, Place.Left, Place.Top, W, H, MaskDC, MaskX, MaskY, SW, SH, SRCAND);
            StretchBlt(Dest, Place.Left, Place.Top, W, H, Source, S.Left, S.Top, SW, SH, SRCINVERT);
        } else {
            StretchBlt(Dest, Place.Left, Place.Top, W, H, MaskDC, MaskX, MaskY, SW, SH, SRCAND);
            StretchBlt(Dest, Place.Left, Place.Top, W, H, Source, S.Left, S.Top, SW, SH, SRCPAINT);
        }
        SetTextColor(Dest, OldText);
        SetBkColor(Dest, OldBk);
        SelectObject(MaskDC, Old);
        DeleteDC(MaskDC);
    } else {
        StretchBlt(Dest, Place.Left, Place.Top, W, H, Source, S.Left, S.Top, SW, SH, SRCCOPY);
    }
    if (OwnMask)
        DeleteObject(OwnMask);
}
}  // namespace

void DrawLayout(HDC Dest, const TRect& Target, HDC Source, TRect& Drawn, HBITMAP Mask, HPALETTE Palette,
                COLORREF Colour, int Flags, const TRect& SourceRect) {
    const int IW = SourceRect.Right - SourceRect.Left, IH = SourceRect.Bottom - SourceRect.Top;
    Drawn = LayoutPlacement(Target, IW, IH, Flags);
    if (Drawn.Right == Drawn.Left || Drawn.Bottom == Drawn.Top)
        return;
    HPALETTE OldPalette = nullptr;
    if (Palette && Flags & LayoutFlags::RealizePalette) {
        OldPalette = SelectPalette(Dest, Palette, FALSE);
        RealizePalette(Dest);
    }
    const int OldMode = SetStretchBltMode(Dest, COLORONCOLOR);
    if (Flags & LayoutFlags::Tile && !(Flags & (LayoutFlags::Centre | LayoutFlags::Stretch))) {
        const int Columns = (Target.Right - Target.Left) / IW + 1, Rows = (Target.Bottom - Target.Top) / IH + 1;
        for (int Row = 0; Row < Rows; ++Row)
            for (int Column = 0; Column < Columns; ++Column) {
                const TRect Tile{Target.Left + Column * IW, Target.Top + Row * IH, Target.Left + (Column + 1) * IW,
                                 Target.Top + (Row + 1) * IH};
                CopyImage(Dest, Tile, Source, SourceRect, Mask, Colour, Flags);
            }
        Drawn = Target;
    } else {
        CopyImage(Dest, Drawn, Source, SourceRect, Mask, Colour, Flags);
    }
    SetStretchBltMode(Dest, OldMode);
    if (OldPalette)
        SelectPalette(Dest, OldPalette, FALSE);
}

void DrawBitmapInRect(TCanvas* Canvas, const TRect& Target, TBitmap* Bitmap, TRect& Drawn, COLORREF Colour, int Flags) {
    Drawn = TRect{Target.Left, Target.Top, Target.Left, Target.Top};
    if (!Bitmap || Bitmap->Empty() || Bitmap->Canvas()->PenPos().X == -1)
        return;
    HPALETTE Palette = nullptr;
    if (Flags & LayoutFlags::RealizePalette) {
        HDC Screen = GetDC(nullptr);
        const bool FewColours = GetDeviceCaps(Screen, BITSPIXEL) <= 8;
        ReleaseDC(nullptr, Screen);
        if (!(GlobalApplication && (GlobalApplication->Options & 1) && FewColours))
            Palette = Bitmap->Palette();
    }
    const TRect Source{0, 0, Bitmap->Width(), Bitmap->Height()};
    DrawLayout(Canvas->Handle(), Target, Bitmap->Canvas()->Handle(), Drawn, nullptr, Palette, Colour, Flags, Source);
}

void DrawBitmapWithFlags(TCanvas* Canvas, const TRect& Target, TBitmap* Bitmap, LongWord Offset, int Flags) {
    if (!Bitmap)
        return;
    DrawClipped(Canvas->Handle(), Target, Offset, Flags, [&] {
        TRect Drawn;
        DrawBitmapInRect(Canvas, Target, Bitmap, Drawn, static_cast<COLORREF>(ColorToRGB(Bitmap->TransparentColor())), Flags);
    });
}
