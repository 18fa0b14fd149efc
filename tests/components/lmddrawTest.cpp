// Image layout: where each flag places an image, and the pixels a plain, tiled and key-coloured copy
// leave behind.
#include "lmddraw.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageLayout, Placements) {
    const TRect Target{10, 20, 110, 70};  // 100 x 50
    struct Case {
        int Flags;
        TRect Expected;
    };
    for (const Case& C : {Case{0, {10, 20, 50, 40}}, Case{LayoutFlags::Centre, {40, 35, 80, 55}},
                          Case{LayoutFlags::Stretch, {10, 20, 110, 70}},
                          Case{LayoutFlags::Stretch | LayoutFlags::Fit, {10, 20, 110, 70}},
                          Case{LayoutFlags::Stretch | LayoutFlags::KeepWidthRatio, {10, 20, 110, 70}},
                          Case{LayoutFlags::Stretch | LayoutFlags::KeepHeightRatio, {10, 20, 110, 70}}})
        EXPECT_EQ(LayoutPlacement(Target, 40, 20, C.Flags), C.Expected) << C.Flags;
    EXPECT_EQ(LayoutPlacement(Target, 50, 50, LayoutFlags::Stretch | LayoutFlags::Fit), (TRect{10, 20, 60, 70}));
    EXPECT_EQ(LayoutPlacement(Target, 50, 50, LayoutFlags::Stretch | LayoutFlags::KeepWidthRatio), (TRect{10, 20, 110, 120}));
    EXPECT_EQ(LayoutPlacement(Target, 0, 20, LayoutFlags::Tile), (TRect{10, 20, 10, 20})) << "an empty image places nothing";
}

// A 32-bit memory surface of W x H filled with Fill.
struct TSurface {
    TSurface(int W, int H, COLORREF Fill) {
        DC = CreateCompatibleDC(nullptr);
        BITMAPINFO Info{};
        Info.bmiHeader = {sizeof(BITMAPINFOHEADER), W, -H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* Bits = nullptr;
        Bitmap = CreateDIBSection(DC, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
        Old = SelectObject(DC, Bitmap);
        HBRUSH B = CreateSolidBrush(Fill);
        RECT R{0, 0, W, H};
        FillRect(DC, &R, B);
        DeleteObject(B);
    }
    ~TSurface() {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    COLORREF At(int X, int Y) const { return GetPixel(DC, X, Y); }
    HDC DC;
    HBITMAP Bitmap;
    HGDIOBJ Old;
};

TEST(ImageLayout, DrawnPixels) {
    const COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Key = RGB(255, 0, 255);
    TSurface Image(4, 4, Red);
    SetPixel(Image.DC, 0, 0, Key);
    TRect Drawn;

    TSurface Plain(10, 10, Blue);
    DrawLayout(Plain.DC, TRect{2, 2, 10, 10}, Image.DC, Drawn, nullptr, nullptr, Key, 0, TRect{0, 0, 4, 4});
    EXPECT_EQ(Drawn, (TRect{2, 2, 6, 6}));
    EXPECT_EQ(Plain.At(2, 2), Key);
    EXPECT_EQ(Plain.At(5, 5), Red);
    EXPECT_EQ(Plain.At(6, 6), Blue);

    TSurface Tiled(10, 10, Blue);
    DrawLayout(Tiled.DC, TRect{0, 0, 10, 10}, Image.DC, Drawn, nullptr, nullptr, Key, LayoutFlags::Tile, TRect{0, 0, 4, 4});
    EXPECT_EQ(Drawn, (TRect{0, 0, 10, 10}));
    EXPECT_EQ(Tiled.At(9, 9), Red);
    EXPECT_EQ(Tiled.At(8, 8), Key);

    TSurface Keyed(10, 10, Blue);
    DrawLayout(Keyed.DC, TRect{0, 0, 10, 10}, Image.DC, Drawn, nullptr, nullptr, Key, LayoutFlags::BrushCopy,
               TRect{0, 0, 4, 4});
    EXPECT_EQ(Keyed.At(0, 0), Blue) << "the key colour is left out";
    EXPECT_EQ(Keyed.At(1, 1), Red);

    TSurface Empty(10, 10, Blue);
    DrawLayout(Empty.DC, TRect{0, 0, 10, 10}, Image.DC, Drawn, nullptr, nullptr, Key, LayoutFlags::Tile, TRect{0, 0, 0, 4});
    EXPECT_EQ(Empty.At(0, 0), Blue);
}

}  // namespace
