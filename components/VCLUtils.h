// Drawing helpers of the component library: bitmaps drawn with a transparent key colour, text
// shortened to a width, text painted into grid cells, and a few small platform wrappers.
#pragma once

#include "Bitmaps.h"
#include "Canvas.h"
#include "DB.h"
#include "Grids.h"

#include <string>

// Shared by all cell painting that needs an off-screen pass; made on first use, only grows, freed
// by the unit's shut-down.
extern TBitmap* CellTextBitmap;

// Source rectangle of SrcDC stretched onto the destination rectangle; source pixels of KeyColour
// leave the destination as it was. Palette may be 0.
void StretchBlitKeyed(HDC DstDC, int DstX, int DstY, int DstW, int DstH, HDC SrcDC, int SrcX, int SrcY, int SrcW,
                      int SrcH, HPALETTE Palette, TColor KeyColour);
// The same for a bitmap. Sizes below 1 mean the bitmap's own; clNone copies opaquely, clDefault
// keys on the bottom-left pixel, and a monochrome bitmap always keys on white.
void StretchBitmapKeyed(TCanvas* Canvas, TBitmap* Bitmap, TColor KeyColour, int DstX, int DstY, int DstW, int DstH,
                        int SrcX, int SrcY, int SrcW, int SrcH);
void DrawBitmapKeyed(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor KeyColour);
TColor PaletteRelativeColor(TColor Colour);
inline int RectangleWidth(const TRect& R) { return R.Right - R.Left; }

// Text that the canvas measures no wider than MaxWidth: cut and ended by "...", at worst "..." alone.
std::string ShortenTextToWidth(const std::string& Text, TCanvas* Canvas, int MaxWidth);
// Text drawn into Rect at (DX, DY) inside it. Plain text on a pure colour goes straight to the
// canvas; wrapped text, line breaks and dithered backgrounds go through CellTextBitmap.
void PaintCellText(TCanvas* Canvas, const TRect& Rect, int DX, int DY, const std::string& Text, TAlignment Alignment,
                   bool WordWrap, bool RightToLeft);
// Vertical alignment of grid cell text: 0 top, 1 centre, 2 bottom. Col and Row are not used.
void GridCellText(TCustomGrid* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                  TAlignment Alignment, int VertAlign, bool WordWrap, bool RightToLeft);
void GridCellTextNoBidi(TCustomGrid* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                        TAlignment Alignment, int VertAlign, bool WordWrap);
// Wrapping exactly when centred.
void GridCellTextAuto(TCustomGrid* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                      TAlignment Alignment, int VertAlign, bool RightToLeft);
void GridCellTextAutoNoBidi(TCustomGrid* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                            TAlignment Alignment, int VertAlign);

void DefaultBeep();
inline std::string MessageTextAsIs(const std::string& Text) { return Text; }

// A zero-filled, locked block of global memory; null when Size <= 0.
void* AllocZeroedGlobal(int Size);
// Unlocks and frees a block of AllocZeroedGlobal and clears P (null is left alone).
void FreeGlobalAndClear(void*& P);

void VCLUtilsFinalization();
