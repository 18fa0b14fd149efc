// Small bitmaps for the pixel tests of the skin painters: made in one colour, read and written one
// pixel at a time as the bytes they hold, compared as 0x00RRGGBB-free colour values.
#pragma once

#include "Bitmaps.h"
#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace skintests {

// The bytes of one pixel: blue, green, red and (32-bit) alpha.
struct TPx {
    int B = 0, G = 0, R = 0, A = 0;
    bool operator==(const TPx&) const = default;
};
inline std::ostream& operator<<(std::ostream& S, const TPx& P) {
    return S << "(b" << P.B << " g" << P.G << " r" << P.R << " a" << P.A << ")";
}
// The pixel of a TColor (0x00BBGGRR) with alpha A.
inline TPx PxOf(TColor C, int A = 0) { return TPx{int((C >> 16) & 0xFF), int((C >> 8) & 0xFF), int(C & 0xFF), A}; }

inline int BytesOf(TBitmap* B) { return B->PixelFormat() == pf32bit ? 4 : 3; }

inline TPx GetPx(TBitmap* B, int X, int Y) {
    const BYTE* P = static_cast<const BYTE*>(B->ScanLine(Y)) + X * BytesOf(B);
    return TPx{P[0], P[1], P[2], BytesOf(B) == 4 ? P[3] : 0};
}

inline void SetPx(TBitmap* B, int X, int Y, TPx V) {
    BYTE* P = static_cast<BYTE*>(B->ScanLine(Y)) + X * BytesOf(B);
    P[0] = BYTE(V.B);
    P[1] = BYTE(V.G);
    P[2] = BYTE(V.R);
    if (BytesOf(B) == 4)
        P[3] = BYTE(V.A);
}

// A W x H DIB of the format with every pixel V.
inline TBitmap* MakeBitmap(int W, int H, TPixelFormat Format, TPx V = TPx{}) {
    TBitmap* B = Create<TBitmap>();
    B->SetPixelFormat(Format);
    B->SetHandleType(bmDIB);
    B->SetSize(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            SetPx(B, X, Y, V);
    return B;
}

}  // namespace skintests
