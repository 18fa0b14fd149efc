// Drawing images into rectangles with layout flags: placed, centred, stretched (optionally keeping
// proportions) or tiled; copied plainly, through a mask, or with a transparent key colour.
#pragma once

#include "System.h"
#include "Types.h"

#include <windows.h>

namespace LayoutFlags {
inline constexpr int Clipped = 0x1;
inline constexpr int Centre = 0x8;
inline constexpr int Stretch = 0x10;
inline constexpr int Tile = 0x20;
inline constexpr int KeyColourMask = 0x40;  // a mask is built from the key colour
inline constexpr int BrushCopy = 0x80;      // the key colour is left out
inline constexpr int WithMask = 0x100;      // the given mask is used
inline constexpr int KeepHeightRatio = 0x200;
inline constexpr int KeepWidthRatio = 0x400;
inline constexpr int Fit = KeepHeightRatio | KeepWidthRatio;
inline constexpr int RealizePalette = 0x1000;
}  // namespace LayoutFlags

// Where an image of ImageWidth x ImageHeight goes in Target (the first tile when tiling). An empty
// image or target places nothing: an empty rectangle at the target's origin.
TRect LayoutPlacement(const TRect& Target, int ImageWidth, int ImageHeight, int Flags);

// Draws SourceRect of Source into Target of Dest by Flags; Drawn is the placement (the whole target
// when tiling). Mask is the monochrome mask for WithMask; Colour the key colour for KeyColourMask
// and BrushCopy. An empty image or target draws nothing.
void DrawLayout(HDC Dest, const TRect& Target, HDC Source, TRect& Drawn, HBITMAP Mask, HPALETTE Palette,
                COLORREF Colour, int Flags, const TRect& SourceRect);

class TBitmap;
class TCanvas;

// Runs Draw with Dest clipped to Target moved by Offset's low (x) and high (y) 16-bit halves when
// Flags holds LayoutFlags::Clipped, otherwise unclipped; the clip goes again afterwards, also when
// Draw raises.
template <class F>
void DrawClipped(HDC Dest, const TRect& Target, LongWord Offset, int Flags, F Draw);

// Bitmap into Target by the layout flags, Colour the key colour; Drawn is the placement. Nothing is
// drawn while the bitmap's canvas pen stands at x = -1 (the mark of a bitmap being built). With
// LayoutFlags::RealizePalette the bitmap's palette is realised on Dest, unless the library's
// application object asks not to on screens of 256 colours or fewer.
void DrawBitmapInRect(TCanvas* Canvas, const TRect& Target, TBitmap* Bitmap, TRect& Drawn, COLORREF Colour, int Flags);
// DrawBitmapInRect with the bitmap's transparent colour, clipped as DrawClipped says.
void DrawBitmapWithFlags(TCanvas* Canvas, const TRect& Target, TBitmap* Bitmap, LongWord Offset, int Flags);

template <class F>
void DrawClipped(HDC Dest, const TRect& Target, LongWord Offset, int Flags, F Draw) {
    if (!(Flags & LayoutFlags::Clipped)) {
        Draw();
        return;
    }
    const int DX = static_cast<short>(Offset & 0xFFFF), DY = static_cast<short>(Offset >> 16);
    HRGN Clip = CreateRectRgn(Target.Left + DX, Target.Top + DY, Target.Right + DX, Target.Bottom + DY);
    SelectClipRgn(Dest, Clip);
    try {
        Draw();
    } catch (...) {
        SelectClipRgn(Dest, nullptr);
        DeleteObject(Clip);
        throw;
    }
    SelectClipRgn(Dest, nullptr);
    DeleteObject(Clip);
}
