// Bitmap resampling: sizes, the box filter's repetition, exact triangle weights when halving,
// clamped overshoot, formats and the edge mirroring of wide filters.
#include "acResample.h"

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A bitmap whose pixel (X, Y) has every channel (alpha too) set to Value(X, Y).
TBitmap* MakeBitmap(int W, int H, TPixelFormat Format, const std::function<int(int, int)>& Value) {
    TBitmap* B = Create<TBitmap>();
    B->SetPixelFormat(Format);
    B->SetSize(W, H);
    int Bpp = Format == pf32bit ? 4 : 3;
    for (int Y = 0; Y < H; ++Y) {
        auto* Row = static_cast<Byte*>(B->ScanLine(Y));
        for (int X = 0; X < W; ++X)
            for (int C = 0; C < Bpp; ++C)
                Row[X * Bpp + C] = static_cast<Byte>(Value(X, Y));
    }
    return B;
}

int Channel(TBitmap* B, int X, int Y, int C) {
    int Bpp = B->PixelFormat() == pf32bit ? 4 : 3;
    return static_cast<const Byte*>(B->ScanLine(Y))[X * Bpp + C];
}

class ResampleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { skintests::EnsureSkinUnits(); }
};

TEST_F(ResampleTest, ASourceUnderTwoPixelsIsRefusedBeforeAnythingChanges) {
    TOwned<TBitmap> Src(MakeBitmap(1, 10, pf8bit, [](int, int) { return 5; }));
    TOwned<TBitmap> Dst(MakeBitmap(3, 3, pf24bit, [](int, int) { return 7; }));
    try {
        ResampleBitmap(Src.get(), Dst.get(), 5, 5, 1);
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Source bitmap is too small");
    }
    EXPECT_EQ(Src->PixelFormat(), pf8bit);
    EXPECT_EQ(Dst->Width(), 3);
}

TEST_F(ResampleTest, BoxFilterRepeatsPixelsWhenEnlarging) {
    TOwned<TBitmap> Src(MakeBitmap(2, 2, pf24bit, [](int X, int Y) { return 10 + X + 2 * Y; }));
    TOwned<TBitmap> Dst(Create<TBitmap>());
    ResampleBitmap(Src.get(), Dst.get(), 4, 4, 0);
    ASSERT_EQ(Dst->PixelFormat(), pf24bit);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X)
            EXPECT_EQ(Channel(Dst.get(), X, Y, 1), 10 + X / 2 + 2 * (Y / 2)) << X << "," << Y;
}

TEST_F(ResampleTest, HalvingWithTheTriangleWeighsNeighboursAQuarterEach) {
    // Weights 0.25, 0.5, 0.25 in 16.16 fixed point: a ramp stays exact, the mirrored left edge
    // takes pixel 1 twice.
    TOwned<TBitmap> Src(MakeBitmap(100, 4, pf24bit, [](int X, int) { return X; }));
    TOwned<TBitmap> Dst(Create<TBitmap>());
    ResampleBitmap(Src.get(), Dst.get(), 50, 4, 1);
    EXPECT_EQ(Channel(Dst.get(), 0, 0, 0), 0);
    for (int X = 1; X < 50; ++X)
        EXPECT_EQ(Channel(Dst.get(), X, 2, 2), 2 * X) << X;
}

TEST_F(ResampleTest, OvershootIsClampedToTheByteRange) {
    struct Case {
        std::vector<int> Row;
        int Expected;  // pixel 3 of 8, centred between source pixels 1 and 2
    };
    const Case Cases[] = {{{0, 255, 255, 0}, 255}, {{255, 0, 0, 255}, 0}};
    for (const Case& C : Cases) {
        TOwned<TBitmap> Src(MakeBitmap(4, 2, pf24bit, [&](int X, int) { return C.Row[X]; }));
        TOwned<TBitmap> Dst(Create<TBitmap>());
        ResampleBitmap(Src.get(), Dst.get(), 8, 2, 5);
        EXPECT_EQ(Channel(Dst.get(), 3, 0, 0), C.Expected);
    }
}

TEST_F(ResampleTest, SameSizeCopiesAndFormatsFollowTheSource) {
    TOwned<TBitmap> Src(MakeBitmap(3, 3, pf32bit, [](int X, int Y) { return X * 3 + Y; }));
    TOwned<TBitmap> Dst(Create<TBitmap>());
    ResampleBitmap(Src.get(), Dst.get(), 3, 3, 6);
    EXPECT_EQ(Dst->PixelFormat(), pf32bit);
    EXPECT_EQ(Channel(Dst.get(), 2, 1, 3), 7);
    ResampleBitmap(Src.get(), Src.get(), 3, 3, 6);
    EXPECT_EQ(Channel(Src.get(), 2, 1, 3), 7);

    // alpha is resampled with the colours
    ResampleBitmap(Src.get(), Dst.get(), 6, 6, 0);
    EXPECT_EQ(Channel(Dst.get(), 5, 5, 3), 8);

    TOwned<TBitmap> Grey(Create<TBitmap>());
    Grey->SetPixelFormat(pf8bit);
    Grey->SetSize(4, 4);
    ResampleBitmap(Grey.get(), Grey.get(), 2, 2, 1);
    EXPECT_EQ(Grey->PixelFormat(), pf24bit);
    EXPECT_EQ(Grey->Width(), 2);
}

TEST_F(ResampleTest, WideFiltersShrinkingToOnePixelStayInsideTheSource) {
    // Supports of 1.5 to 3 pixels reach 15 to 30 source pixels either side of a 10-pixel line.
    for (int Filter = 3; Filter < ResampleFilterCount; ++Filter) {
        TOwned<TBitmap> Src(MakeBitmap(10, 10, pf24bit, [](int, int) { return 100; }));
        TOwned<TBitmap> Dst(Create<TBitmap>());
        ResampleBitmap(Src.get(), Dst.get(), 1, 1, Filter);
        int V = Channel(Dst.get(), 0, 0, 0);
        EXPECT_GE(V, 90) << Filter;
        EXPECT_LE(V, 110) << Filter;
    }
}

}  // namespace
