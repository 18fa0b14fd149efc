// Direct access to the rows of 24-bit and 32-bit device-independent bitmaps for the skin painters:
// random reads and writes of single pixels (TacFast24, TacFast32), the weighted blend of one
// rectangle into another (TacFastSum24, TacFastSum32) and a few rectangle fills.
//
//   TacFast32 F;
//   if (F.Attach(Bitmap)) F.WritePixel(X, Y, 0xFF0000FF);   // opaque red
//
//   TacFastSum24 S;
//   if (S.Attach(Src, Dst)) {
//       S.DstWeight = 128;
//       S.DstLeft = 0; S.DstTop = 0; S.DstRight = W; S.DstBottom = H;   // right and bottom exclusive
//       S.SrcLeft = 0; S.SrcTop = 0; S.SrcRight = W; S.SrcBottom = H;
//       S.Blend();   // every byte: (dst x 128 + src x 127 + 127) shr 8
//   }
//
// Rows are reached through the address of row 0 and a signed step measured once at attach time
// (negative for bottom-up bitmaps). Single-pixel access and the blends do not clip: the callers keep
// inside the bitmaps. Nothing here raises.
#pragma once

#include "Bitmaps.h"
#include "System.h"

#include <windows.h>

// Random access to one bitmap, 3 bytes (blue, green, red) per pixel.
class TacFast24 : public TObject {
    DECLARE_CLASS(TacFast24, TObject)
public:
    TBitmap* Bitmap = nullptr;  // not owned
    LongInt PixelWidth = 0;     // 0 after a failed attach
    LongInt PixelHeight = 0;
    LongInt RowStep = 0;  // address of row 1 minus address of row 0
    BYTE* FirstRow = nullptr;

    // False (PixelWidth 0) for nil and for bitmaps 1 pixel wide or high. No pixel-format check.
    bool Attach(TBitmap* ABitmap);
    // 0x00BBGGRR.
    TColor ReadPixel(int X, int Y) const {
        const BYTE* P = FirstRow + Y * RowStep + X * 3;
        return static_cast<TColor>(P[2] | (P[1] << 8) | (P[0] << 16));
    }
};

// Random access to one bitmap, 4 bytes (blue, green, red, alpha) per pixel.
class TacFast32 : public TObject {
    DECLARE_CLASS(TacFast32, TObject)
public:
    TBitmap* Bitmap = nullptr;  // not owned
    LongInt PixelWidth = 0;
    LongInt PixelHeight = 0;
    LongInt RowStep = 0;
    BYTE* FirstRow = nullptr;

    bool Attach(TBitmap* ABitmap);
    // 0xAABBGGRR.
    Cardinal ReadPixel(int X, int Y) const {
        const BYTE* P = FirstRow + Y * RowStep + X * 4;
        return Cardinal(P[2]) | (Cardinal(P[1]) << 8) | (Cardinal(P[0]) << 16) | (Cardinal(P[3]) << 24);
    }
    // Value as 0xAABBGGRR.
    void WritePixel(int X, int Y, Cardinal Value) {
        BYTE* P = FirstRow + Y * RowStep + X * 4;
        P[2] = static_cast<BYTE>(Value);
        P[1] = static_cast<BYTE>(Value >> 8);
        P[0] = static_cast<BYTE>(Value >> 16);
        P[3] = static_cast<BYTE>(Value >> 24);
    }
    // Value as a raw pixel in memory order (see ColorToPixel32) into every pixel of Rect (right and
    // bottom exclusive); the part of Rect outside the bitmap is left out.
    void FillRect(const TRect& Rect, Cardinal Value);
};

// What the two blends share: the bitmaps, their rows and the rectangles. The caller fills DstWeight
// and both rectangles (right and bottom exclusive) after a successful attach; of the source
// rectangle only SrcLeft and SrcBottom are read, the source being as large as the destination.
class TacFastSumBase : public TObject {
    DECLARE_CLASS(TacFastSumBase, TObject)
public:
    TBitmap* SrcBitmap = nullptr;  // not owned
    TBitmap* DstBitmap = nullptr;  // not owned
    LongInt CommonWidth = 0;       // the smaller of the two widths (for the caller)
    LongInt CommonHeight = 0;
    BYTE* SrcFirstRow = nullptr;
    BYTE* DstFirstRow = nullptr;
    LongInt SrcRowStep = 0;
    LongInt DstRowStep = 0;
    Byte DstWeight = 0;  // the destination's weight; the source gets 255 - DstWeight
    LongInt DstLeft = 0, DstTop = 0, DstRight = 0, DstBottom = 0;
    LongInt SrcLeft = 0, SrcTop = 0, SrcRight = 0, SrcBottom = 0;

    // False when either bitmap is less than 2 pixels wide or high. No pixel-format check.
    bool Attach(TBitmap* Src, TBitmap* Dst);

protected:
    // dst := (dst x DstWeight + src x (255 - DstWeight) + 127) shr 8 for every byte, rows bottom
    // first and bytes last first: the order decides the outcome when source and destination
    // overlap in one bitmap.
    void BlendBytes(int BytesPerPixel);
};

// The weighted blend of 24-bit pixels.
class TacFastSum24 : public TacFastSumBase {
    DECLARE_CLASS(TacFastSum24, TacFastSumBase)
public:
    void Blend() { BlendBytes(3); }
};

// The weighted blend of 32-bit pixels; the alpha byte is blended like the colour bytes.
class TacFastSum32 : public TacFastSumBase {
    DECLARE_CLASS(TacFastSum32, TacFastSumBase)
public:
    void Blend() { BlendBytes(4); }
};

// The 32-bit pixel whose bytes in memory are the colour's blue, green, red and 255 (0xFFRRGGBB).
inline Cardinal ColorToPixel32(TColor Color) {
    auto C = static_cast<Cardinal>(Color);
    return ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF) | 0xFF000000u;
}
// Value stored Count times from Pixels on; nothing for a negative Count.
void FillPixelRun(Cardinal* Pixels, int Count, Cardinal Value);
// Rect (right and bottom exclusive) of a 32-bit bitmap filled with Color, opaque. A bitmap less than
// 2 pixels wide or high is left untouched.
void FillRect32(TBitmap* Bitmap, const TRect& Rect, TColor Color);
// Alpha written into the alpha byte of every pixel of Rect of a 32-bit bitmap, colours unchanged.
void SetAlphaInRect(TBitmap* Bitmap, const TRect& Rect, Byte Alpha);
// Every pixel of Rect (inclusive on all four sides, clamped to the bitmap) keeps Percent % of itself
// and takes the rest of Color (system colours resolved), rounded to nearest with ties to even.
// 24-bit and 32-bit bitmaps (the alpha byte untouched).
void BlendRectToColor(TBitmap* Bitmap, TRect Rect, int Percent, TColor Color);

// ---------------------------------------------------------------------------------------------
// Row addressing shared by the engine's pixel loops

// A 24-bit or 32-bit DIB as its pixel loops see it: the address of row 0, the signed step to the
// next row, its size and the bytes of one pixel (0 for other formats, whose rows are still given).
struct TacPixelView {
    BYTE* First = nullptr;
    LongInt Step = 0;
    int Width = 0;
    int Height = 0;
    int Bytes = 0;

    bool Valid() const { return First != nullptr && Bytes != 0; }
    bool Inside(int X, int Y) const { return X >= 0 && Y >= 0 && X < Width && Y < Height; }
    BYTE* Row(int Y) const { return First + Y * Step; }
    BYTE* At(int X, int Y) const { return First + Y * Step + X * Bytes; }
};
// The view of Bitmap; First is null for nil or an empty bitmap.
TacPixelView PixelViewOf(TBitmap* Bitmap);
// Bytes per pixel of a 24-bit (3) or 32-bit (4) bitmap; 0 for any other format and for nil.
int PixelBytes(TBitmap* Bitmap);

// ---------------------------------------------------------------------------------------------
// Single pixels of 24-bit and 32-bit rows (blue, green, red, alpha in memory)

// The pixel's blue, green and red are those of Color (0x00BBGGRR).
inline bool PixelIsColor(const BYTE* P, TColor Color) {
    auto C = static_cast<Cardinal>(Color);
    return P[0] == BYTE(C >> 16) && P[1] == BYTE(C >> 8) && P[2] == BYTE(C);
}
// Writes Color's blue, green and red.
inline void PutPixelColor(BYTE* P, TColor Color) {
    auto C = static_cast<Cardinal>(Color);
    P[0] = BYTE(C >> 16);
    P[1] = BYTE(C >> 8);
    P[2] = BYTE(C);
}
// Copies blue, green and red; a 32-bit destination becomes opaque.
inline void CopyPixel(BYTE* Dst, const BYTE* Src, int DstBytes) {
    Dst[0] = Src[0];
    Dst[1] = Src[1];
    Dst[2] = Src[2];
    if (DstBytes == 4)
        Dst[3] = 255;
}
// d := (s x 256 + (d - s) x w) shr 8 per colour channel, w the weight of the destination from the
// matching channel of a mask pixel; a 32-bit destination becomes opaque.
inline void MaskBlendPixel(BYTE* D, const BYTE* S, const BYTE* W, int DstBytes) {
    for (int K = 0; K < 3; ++K)
        D[K] = static_cast<BYTE>((S[K] * 256 + (D[K] - S[K]) * W[K]) >> 8);
    if (DstBytes == 4)
        D[3] = 255;
}
