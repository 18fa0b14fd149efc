// The per-pixel work of the skin engine: factories of device-independent bitmaps, colour arithmetic
// (mixing, saturation, hue), grey conversion, blends of one bitmap into another with a constant
// factor, a mask image or per-pixel alpha, copies in which key-coloured pixels (0xFF00FF) let the
// background show through, channel extraction, the soft rounded shadow and one state of a button
// glyph. Everything walks bitmap rows; integer blends divide by 256.
//
// Source rectangles of the copy routines (BlendBitmapRect, CopyKeyTransparentRect, CopyOpaqueRect)
// are inclusive: Right and Bottom name the last column and row; they are limited to the source
// first. The rectangles of BlendRectAt, DrawMaskedImage, DrawMaskedPiece and DrawAlphaImage exclude
// their right and bottom edges. Pixels outside either bitmap are never touched.
//
// Start-up: sGraphUtilsInitialization() looks up UpdateLayeredWindow; sGraphUtilsFinalization()
// frees its library.
#pragma once

#include "Bitmaps.h"
#include "acFastPixels.h"
#include "sConst.h"
#include "sMaskData.h"

#include <windows.h>

// A key colour that matches no pixel (its top byte is 0xFF).
inline constexpr TColor NoKeyColor = TColor(0xFFFFFFFF);
// The tint of DrawAlphaImage that means no tint.
inline constexpr TColor NoTint = 0x1FFFFFFF;

// ---------------------------------------------------------------------------------------------
// Factories and colours

// A new 24-bit (32-bit) DIB of that size; the caller owns it.
TBitmap* NewBitmap24(int Width, int Height);
TBitmap* NewBitmap32(int Width, int Height);
// A new bitmap of Bitmap's size and pixel format, its content undefined.
TBitmap* NewBitmapLike(TBitmap* Bitmap);
// Per channel round(c1 x Part + c2 x (1 - Part)), ties to even; the top byte of C1 kept.
TColor MixColors(TColor C1, TColor C2, double Part);
// Per channel (c1 x 127 + c2 x 129) shr 8; top byte 0.
TColor MixColorsEvenly(TColor C1, TColor C2);
inline TColor HalfMixColors(TColor C1, TColor C2) { return MixColorsEvenly(C1, C2); }
// The value GetPixel gave, taken as a colour.
inline TColor PixelToColor(TColor Pixel) { return Pixel; }
// Moves every channel Amount % of the way to the channels' mean (100 grey, negative more
// saturated), rounded and limited to 0..255; Amount 0 gives Color unchanged.
TColor ChangeSaturation(TColor Color, int Amount);
// Color turned by Offset degrees on the colour wheel; greys are returned unchanged.
TColor ShiftHue(int Offset, TColor Color);

// UpdateLayeredWindow of the platform, null when it lacks it.
using TUpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                               DWORD);
extern TUpdateLayeredWindowProc UpdateLayeredWindowProc;
bool LayeredWindowsAvailable();

// ---------------------------------------------------------------------------------------------
// Grey and channels

// The three colour bytes of every pixel become their mean (integer); alpha untouched. 24-bit and
// 32-bit bitmaps; others are left alone.
void GrayscaleBitmap(TBitmap* Bitmap);
// The same, skipping pixels of Color.
void GrayscaleBitmapExcept(TBitmap* Bitmap, TColor Color);
// Extract: byte Channel (0 blue .. 3 alpha) of every 32-bit pixel into the 8-bit bitmap; otherwise
// the 8-bit values into that byte.
void CopyChannel(TBitmap* Bitmap32, TBitmap* Bitmap8, int Channel, bool Extract);

// ---------------------------------------------------------------------------------------------
// Blends and copies

// SrcRect of Src onto (X, Y) of Dst: D := round(S - Keep x (S - D)), ties to even, so Dst keeps
// Keep of itself; source pixels of KeyColor are skipped. The alpha byte of Dst is left alone.
void BlendBitmapRect(TBitmap* Dst, int X, int Y, TColor KeyColor, double Keep, TRect SrcRect, TBitmap* Src);
// Every pixel except those of SkipColor moves toward Color: P := round(c + Keep x (P - c)).
void TintBitmap(TBitmap* Bitmap, TColor Color, TColor SkipColor, double Keep);
// P := (c x 256 + (P - c) x M) shr 8 with c Color's and M Mask's channel; equal sizes only.
void ShadowMaskBlend(TBitmap* Bitmap, TBitmap* Mask, TColor Color);
// Equal-size 24-bit bitmaps: D := (D x Weight + S x (255 - Weight) + 127) shr 8.
void BlendBitmaps24(TBitmap* Dst, TBitmap* Src, Byte Weight);
// SrcRect of Src blended at DstPoint of Dst by the rule of BlendBitmaps24, both clipped; both
// bitmaps 24-bit or both 32-bit (alpha blended too), anything else does nothing.
void BlendRectAt(TBitmap* Dst, TBitmap* Src, Byte Weight, TPoint DstPoint, TRect SrcRect);
// A mask image: the lower half of Src is the mask of its upper half. D := (S x 256 + (D - S) x M)
// shr 8; a 32-bit Src blends by its alpha instead. With a background bitmap, 0xFF00FF source pixels
// show the background when UseBackground is set.
void DrawMaskedImage(TRect DstRect, TRect SrcRect, TBitmap* Dst, bool UseBackground,
                     BackgroundSource Background, TBitmap* Src);
// The same for a piece of a skin image whose mask lies half the image's height below the piece.
void DrawMaskedPiece(TRect DstRect, TRect SrcRect, TBitmap* Dst, const TsMaskData& Mask, bool UseBackground,
                     BackgroundSource Background, TBitmap* Src);
// A 32-bit image with straight alpha over Dst, faded by Blend percent, optionally tinted (NoTint:
// none) and with a fading mirrored copy below DstRect.
void DrawAlphaImage(TRect DstRect, TRect SrcRect, TBitmap* Dst, bool Reflect, int Blend, TColor Tint,
                    bool UseBackground, BackgroundSource Background, TBitmap* Src);
// SrcRect of Src copied to (X, Y) of Dst; pixels of KeyColor show the background when UseBackground
// is set and a background bitmap other than Dst holds that place, else they leave Dst alone.
void CopyKeyTransparentRect(TBitmap* Dst, TBitmap* Src, int X, bool UseBackground, BackgroundSource Background,
                            TColor KeyColor, TRect SrcRect, int Y);
// The pixels of SrcRect that are not KeyColor copied to (X, Y).
void CopyOpaqueRect(TBitmap* Dst, TBitmap* Src, int X, TColor KeyColor, TRect SrcRect, int Y);
// All pixels of Src that are not KeyColor copied to (X, Y); a 32-bit Dst gets alpha 255.
void CopyOpaquePixels(TBitmap* Dst, TBitmap* Src, int X, TColor KeyColor, int Y);
// Equal-size 24-bit A and B mixed into 32-bit Dst: D := (W x (a - b) + b x 256) shr 8, W = Weight or
// the Mask's channel; Dst's alpha untouched.
void MixBitmapsTo32(TBitmap* Dst, TBitmap* A, TBitmap* B, Byte Weight, TBitmap* Mask);
// Darkens Rect of Bitmap toward Color with a soft rounded shadow: Transparency percent of the
// image shows in the middle, Steps rings fade out toward the edge, corners rounded by Radius.
void PaintSoftShadow(TBitmap* Bitmap, TRect Rect, int Transparency, TColor Color, int Steps, int Radius);
// One state of a button glyph strip of NumGlyphs images into Rect of Dst (an image's bottom-left
// pixel is its transparent colour). Reflected is not used.
void DrawStateGlyph(TBitmap* Glyph, TBitmap* Dst, TRect Rect, bool Reflected, bool Down, int Blend, int State,
                    TsDisabledGlyphKind DisabledGlyphKind, bool Enabled, int NumGlyphs);

// What lies behind the pixels of an image: the background bitmap's pixel at the destination position
// plus the source's offsets, when the source has a 24-bit or 32-bit bitmap (other than Except).
class TacBackgroundPixels {
public:
    explicit TacBackgroundPixels(const BackgroundSource& Background, TBitmap* Except = nullptr);
    bool HasBitmap() const { return FView.Valid(); }
    // Bytes per pixel of the background bitmap; 0 without one.
    int Bytes() const { return FView.Bytes; }
    // Copies the pixel behind destination (X, Y) into Dst; False outside the background.
    bool CopyTo(BYTE* Dst, int DstBytes, int X, int Y) const;

private:
    TacPixelView FView;
    int FX = 0, FY = 0;
};

void sGraphUtilsInitialization();
void sGraphUtilsFinalization();
