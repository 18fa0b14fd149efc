// Drawing and placement routines shared by the in-place editors, their popups and the tree list:
// cell text with the library's own flag word, a 50 % halftone overlay, bitmaps drawn with a
// transparent colour replaced by a brush, image-list images, shadow edges and popups kept inside
// the monitor's work area.
//
// Start-up: dxDrawUtilsInitialization() builds the halftone brush (reference-counted: nested calls
// share one brush); dxDrawUtilsFinalization() deletes it with the last call.
#pragma once

#include "Bitmaps.h"
#include "GraphicsColors.h"
#include "ImgList.h"
#include "Types.h"

#include <windows.h>

// Flag word of DrawCellText.
namespace dxCellText {
inline constexpr Word AlignMask = 0x0003;  // 0 left, 1 centre, 2 right
inline constexpr Word Centre = 0x0001;
inline constexpr Word Right = 0x0002;
inline constexpr Word VCenter = 0x0004;    // centred single line
inline constexpr Word Bottom = 0x0008;     // bottom single line
inline constexpr Word WordWrap = 0x0010;   // word-wrapped lines
inline constexpr Word EndEllipsis = 0x0100;
inline constexpr Word PathEllipsis = 0x0200;
inline constexpr Word FocusRect = 0x0400;
inline constexpr Word FocusOnText = 0x0800;  // with FocusRect: around the text only
inline constexpr Word Transparent = 0x1000;
inline constexpr Word Prefix = 0x2000;
inline constexpr Word MeasureOnly = 0x4000;
inline constexpr Word KeepBkMode = 0x8000;
}  // namespace dxCellText

// The 8 x 8 single-pixel checkerboard brush (black at (0, 0)); 0 outside start-up and shut-down.
extern HBRUSH HalftoneBrush;

// Widens and heightens Bitmap to at least Width x Height; never shrinks it.
void SetMinBitmapSize(TBitmap* Bitmap, int Width, int Height);
// Every other pixel of R becomes Color; the others keep what DC shows.
void DrawHalftoneRect(HDC DC, const TRect& R, TColor Color);
// The bitmap at R with the pixels of its transparent colour replaced by Brush.
void DrawTransparentBitmap(HDC DC, HBRUSH Brush, const TRect& R, TBitmap* Bitmap);
// ClipRect filled with Brush and the bitmap at DestRect inside it (transparent colour replaced by
// Brush), put on DC with one blit.
void DrawTransparentBitmapInRect(HDC DC, HBRUSH Brush, const TRect& ClipRect, TBitmap* Bitmap, const TRect& DestRect);
// Draws (or, with dxCellText::MeasureOnly, measures) Count characters of Text in a cell. Colours are
// RGB values. In measure mode: the cell height the text needs, and the height of one line in
// *TextHeight when given; otherwise 0.
int DrawCellText(HDC DC, const char* Text, int Count, int* TextHeight, COLORREF TextColor, COLORREF BkColor, HFONT Font,
                 HBRUSH Brush, Word Flags, const TRect& TextRect, const TRect& CellRect);
// Moves the top-left point of a Width x Height popup into the work area near it; a popup that does
// not fit below its owner (OwnerHeight high) opens above it when there is more room there.
void FitPopupToWorkArea(TPoint& P, int Width, int Height, int OwnerHeight);
// The work area of the monitor nearest to P.
void GetWorkArea(TPoint P, TRect& R);
// The colour as the system image lists take it (clNone and clDefault as their markers).
COLORREF ColorToImageListColor(TColor Color);
// One image in the list's own drawing style, image type, background and blend colours; nothing
// while the list has no handle.
void DrawImageListImage(HDC DC, int X, int Y, TCustomImageList* ImageList, int Index);
// The bottom strip (Size high) and the right strip (Size wide) of R filled with Brush.
void FillShadowEdges(HDC DC, const TRect& R, int Size, HBRUSH Brush);

// A cursor from the module's data resource of that name (hot spot and image, as a cursor resource
// holds them); null when there is none.
HCURSOR LoadDataCursor(const char* Name);

void dxDrawUtilsInitialization();
void dxDrawUtilsFinalization();
