// Skin sections turned into pixels: a section's colour, transparency, gradient and texture over what
// lies behind, a control's whole skin (background, border mask, corner images), any section as an
// item, a control's border into its cache, textures tiled or stretched, nine-piece copies of framed
// images, the transparent corner runs of a mask as region rectangles, and a cache copied to the
// screen around child windows.
//
// The routines shared with the controls, frames and hooks are declared in sPaintServices.h; this
// unit defines them. Every routine draws nothing when its manager is missing, the section index is
// out of range, the bitmap is nil or the rectangle is empty or leaves the bitmap.
#pragma once

#include "sPaintServices.h"

class TGraphic;
class TCanvas;

// PaintSkinSection with the texture indexes used as passed (no search by name).
void PaintSkinSectionAt(int SectionIndex, int HotTextureIndex, int TextureIndex, TsSkinManager* Manager,
                        TBitmap* Bitmap, TPoint Offset, TRect Rect, int State, BackgroundSource Background,
                        const std::string& SectionName);
// Section background, corner images and border mask of any section.
void PaintSkinItem(int SectionIndex, const std::string& SectionName, BackgroundSource Background, int HotTextureIndex,
                   int TextureIndex, TsSkinManager* Manager, TBitmap* Bitmap, TPoint Offset, TRect Rect, int State,
                   bool MaskState);
// PaintSkinSectionAt, then the border mask MaskIndex.
void PaintSectionWithMask(int SectionIndex, int HotTextureIndex, int TextureIndex, TsSkinManager* Manager,
                          TBitmap* Bitmap, TPoint Offset, TRect Rect, int State, bool MaskState,
                          BackgroundSource Background, const std::string& SectionName, int MaskIndex);
// The section Name (else FallbackName) as an item over the whole Bitmap; with a DC the bitmap first
// takes what DC shows at Rect's top-left as its background, else Color is the background. Returns
// the section index, negative when the skin holds neither name.
int PaintSkinItemByName(TBitmap* Bitmap, const std::string& Name, const std::string& FallbackName, HDC DC,
                        TColor Color, TRect Rect, TsSkinManager* Manager, int State);

// A texture over R of Canvas: Image (a pattern) tiled over all of R, else Mask's rectangle of the
// master bitmap placed by StretchMode. R becomes the part left for a colour fill.
void DrawTexture(TCanvas* Canvas, TRect& R, TGraphic* Image, int StretchMode, const TsMaskData& Mask);
// Image tiled over R from its top-left, the last column and row cut.
void TileImage(TCanvas* Canvas, TRect R, TGraphic* Image);
// A texture whose lower half is its mask, in cells over R (StretchMode 0 or 10); R becomes empty.
void DrawTextureMasked(TBitmap* Bitmap, TRect& R, BackgroundSource Background, int StretchMode,
                       const TsMaskData& Mask);

// Nine-piece copy of SrcRect of Src into DstRect of Dst: corners 1:1, edges by EdgeModes (per side:
// 0 tiled, 1 stretched, other values left), the centre tiled (CentreMode 0) or stretched with
// FillCentre.
void CopyFramedImage(TBitmap* Dst, TBitmap* Src, TRect DstRect, bool FillCentre, int CentreMode, TRect EdgeModes,
                     TRect Borders1, TRect Borders2, TRect SrcRect);
// The key-coloured runs of the mask's left and right corner (top rows, or bottom rows with Bottom)
// added as one-pixel-high rectangles from row Y on; Width is the window's width.
void AddCornerHoleRects(TAOR& Rects, int Width, const TsMaskData& Mask, bool Bottom, int Y);
// CopyCacheClipControls for a plain window and its child windows.
void CopyCacheClipWindows(HWND Wnd, TsCommonData* SkinData, TPoint SrcPos, int DY, int DX, bool UpdateCorners, HDC DC,
                          TRect DstRect);
