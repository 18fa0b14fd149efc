// Helpers of the graphics tests: start-up, bitmaps made and read pixel by pixel through their rows.
#pragma once

#include "Graphics.h"
#include "Jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace graphics_test {

inline void StartGraphics() {
    GraphicsInitialization();
    JpegInitialization();
}

struct TGraphicsFixture : ::testing::Test {
    void SetUp() override { StartGraphics(); }
};

// A bitmap of the format and size filled with one colour through its canvas.
inline TOwned<TBitmap> MakeBitmap(TPixelFormat Format, int W, int H, TColor Fill = clWhite) {
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetPixelFormat(Format);
    B->SetSize(W, H);
    B->Canvas()->Brush()->SetColor(Fill);
    B->Canvas()->FillRect(Rect(0, 0, W, H));
    return B;
}

// Pixel (X, Y) of a 24- or 32-bit bitmap read from its row, as 0x00BBGGRR.
inline TColor RowPixel(TBitmap* B, int X, int Y) {
    auto* Row = static_cast<const BYTE*>(B->ScanLine(Y));  // first: a device bitmap becomes a DIB here
    const BYTE* P = Row + X * (B->PixelFormat() == pf32bit ? 4 : 3);
    return P[2] | (P[1] << 8) | (P[0] << 16);
}

inline std::string Saved(TGraphic* G) {
    TStringStream S;
    G->SaveToStream(&S);
    return S.DataString();
}

// Largest difference of one channel between two colours (lossy formats).
inline int ColorDistance(TColor A, TColor B) {
    int D = 0;
    for (int Shift = 0; Shift < 24; Shift += 8)
        D = std::max(D, std::abs(((A >> Shift) & 0xFF) - ((B >> Shift) & 0xFF)));
    return D;
}

}  // namespace graphics_test
