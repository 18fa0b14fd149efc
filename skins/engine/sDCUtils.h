// Painting services the skinned controls, frames and menus share on device contexts and canvases:
// solid fills of rectangles and border strips, copies of border strips, graphic children left out
// of the clipping, text measuring and shortening, skinned captions with outline colours and a
// blurred shadow, the placement of a button's glyph and caption, bevel and dotted frames.
#pragma once

#include "Buttons.h"
#include "Canvas.h"
#include "Controls.h"
#include "sConst.h"

#include <windows.h>

#include <string>

class TsCommonData;
class TsSkinManager;

// ---------------------------------------------------------------------------------------------
// Fills and strips

// Rect filled with ColorToRGB(Color); the DC's state is kept.
void FillRectSolid(HDC DC, TRect Rect, TColor Color);
// The four border strips of Rect (widths WL, WT, WR, WB) filled with one colour.
void FillBorderSolid(HDC DC, TRect Rect, int WL, TColor Color, int WB, int WR, int WT);
// The four strips of width B of the W x H rectangle at (SrcX, SrcY) of SrcDC copied to (X, Y) of DstDC.
void CopyBorderStrips(HDC DstDC, int X, int Y, int B, HDC SrcDC, int SrcX, int SrcY, int W, int H);
// Leaves the visible graphic children of Parent (moved by DX, DY) out of DC's clipping.
void ExcludeGraphicChildren(HDC DC, TWinControl* Parent, int DY, int DX);

// ---------------------------------------------------------------------------------------------
// Text

// Text shortened from the end, with "..." added, until it fits Width; empty when not even one
// character fits, or for Width <= 0.
void CutTextToWidth(TCanvas* Canvas, const std::string& Text, int Width, std::string& Result);
void DrawTextOnDC(HDC DC, const std::string& Text, TRect& Rect, UINT Format);
int CanvasTextWidth(TCanvas* Canvas, const std::string& Text);
int CanvasTextHeight(TCanvas* Canvas, const std::string& Text);
void CanvasTextExtent(TCanvas* Canvas, const std::string& Text, TSize& Size);
void CanvasTextRect(TCanvas* Canvas, TRect Rect, int X, const std::string& Text, int Y);
// GetTextExtentPoint32 on the screen DC with the font; 0 x 0 when it fails.
void TextSizeWithFont(HFONT FontHandle, const std::string& Text, TSize& Size);

// Writes the blurred shadow of Text (drawn in Bitmap's canvas font into Rect) into Bitmap, moving
// the pixels under it toward Color; the caller draws the text itself. Flags 1, 2, 4, 8 thicken the
// shadow by a pixel to the left, up, right, down. ShadowCache keeps the blurred shadow between calls:
// one of the shadow area's size is used as it is (the caller keeps one per text and frees it).
void WriteTextWithShadow(TBitmap* Bitmap, const std::string& Text, TRect Rect, TBitmap*& ShadowCache, TColor Color,
                         int Radius, int Flags, UINT Format);
// A Gaussian blur (Sigma in pixels) of an 8-bit grey DIB, rows then columns; other bitmaps are left.
void BlurBitmap8(TBitmap* Bitmap, double Sigma);

// Text in the colours of a section: its outline colours one pixel around, then its font colour;
// disabled text in 40 % font colour, 60 % section colour. Manager nil: the default manager.
void DrawSectionText(TCanvas* Canvas, const std::string& Text, bool Enabled, TsSkinManager* Manager, bool Hot,
                     int SectionIndex, UINT Format, TRect Rect);
// A control's caption in its host's font and its section's colours (or those of the parent section
// that hands on its font), with the section's shadow.
void DrawControlText(TCanvas* Canvas, const std::string& Text, bool Enabled, bool Hot, TsCommonData* SkinData,
                     UINT Format, TRect Rect);
inline void WriteSectionText(TCanvas* Canvas, const std::string& Text, bool Enabled, TsSkinManager* Manager, bool Hot,
                             int SectionIndex, UINT Format, TRect Rect) {
    DrawSectionText(Canvas, Text, Enabled, Manager, Hot, SectionIndex, Format, Rect);
}
inline void WriteControlText(TCanvas* Canvas, const std::string& Text, bool Enabled, bool Hot, TsCommonData* SkinData,
                             UINT Format, TRect Rect) {
    DrawControlText(Canvas, Text, Enabled, Hot, SkinData, Format, Rect);
}

// ---------------------------------------------------------------------------------------------
// Layout and frames

// Places a button's glyph (GlyphSize) and caption (TextSize) in Client: Layout glyph left, right,
// above or below; Alignment left, right or centred; Margin -1 and a negative Spacing spread them
// evenly. Bit value 2 of BiDiFlags swaps left and right.
void LayoutGlyphAndCaption(TRect Client, TPoint GlyphSize, TPoint TextSize, UINT BiDiFlags, TRect& TextBounds,
                           TPoint& GlyphPos, int Margin, int Spacing, TAlignment Alignment, TButtonLayout Layout);
// Count nested one-pixel bevel frames inside Rect; Rect shrinks by the frames drawn, Count ends at 0.
void DrawBevelLines(HDC DC, TRect& Rect, TColor TopLeftColor, int& Count, TColor BottomRightColor);
// A dotted focus-style frame of black and white pixels every third pixel.
void DrawDottedFrame(TCanvas* Canvas, TRect Rect);
