// Skin images put into bitmaps: a border mask stretched over a rectangle in nine pieces, a glyph
// drawn unscaled at a point, one tile of a masked texture, the transparent corners of a control's
// cached image repainted with what lies behind it, the disabled look of a control image, and pixels
// copied where a corner image is transparent.
//
// An image strip (TsMaskData) holds ImageCount state images side by side; with a mask part
// (MaskType >= 1) the mask lies below the images, and a mask pixel says per channel how much of the
// destination shows through (0 opaque, 255 almost transparent). Pixels of KeyColor are transparent.
// Nothing here raises; missing inputs draw nothing.
#pragma once

#include "Bitmaps.h"
#include "Controls.h"
#include "sConst.h"
#include "sMaskData.h"

class TsCommonData;
class TsSkinManager;

// State State of Mask into Rect of Bitmap: corners unscaled, edges and centre tiled (or stretched);
// the centre only with FillCentre and StretchMode value 4. UseBackground lets the corners' key
// pixels show Background.
void DrawSkinMask(TBitmap* Bitmap, TRect Rect, bool FillCentre, BackgroundSource Background, const TsMaskData& Mask,
                  int State, bool UseBackground);
// State State of a glyph mask, unscaled, with its top-left corner at TopLeft; Mode 1 draws it
// normally, any other Mode ghosted.
void DrawSkinGlyph(TBitmap* Bitmap, TPoint TopLeft, int State, int Mode, const TsMaskData& Mask,
                   BackgroundSource Background);
// SrcRect of Src (whose mask lies a part height lower) into DstRect of Dst; both rectangles include
// their right and bottom edges. Mode other than 1 lets at least 100/256 of the destination through.
void CopyGlyphWithMask(TRect DstRect, TRect SrcRect, TBitmap* Dst, TBitmap* Src, int Mode, const TsMaskData& Mask);
// One tile of a texture of the master bitmap whose lower half is its mask; key pixels show the
// background.
void DrawMaskedTextureTile(TRect DstRect, TRect SrcRect, TBitmap* Dst, const TsMaskData& Mask,
                           BackgroundSource Background);
// Repaints the key-coloured pixels of the chosen border-mask corners (1 top-left, 2 bottom-left,
// 4 top-right, 8 bottom-right) in the control's cache with what lies behind the control.
void PaintCacheCorners(TsCommonData* SkinData, int State, int Corners);
void PaintAllCacheCorners(TsCommonData* SkinData, int State);
// dkGrayed greys the image; dkBlended then mixes 60 % background with 40 % image (or half and half
// with a plain background colour, the control's background colour when the source has none).
void PaintDisabledLook(TBitmap* Bitmap, TsDisabledKind DisabledKind, TControl* Control, BackgroundSource Background,
                       TPoint Offset);
// 32-bit Src pixels copied into 32-bit Dst where Dst is key-coloured (MaskIndex -1) or where the
// corner Corner (a hit-test code) of the manager's mask MaskIndex is.
void CopyKeyColoredPixels(TBitmap* Dst, TBitmap* Src, TRect DstRect, TRect SrcRect, int MaskIndex,
                          TsSkinManager* Manager, int Corner);
