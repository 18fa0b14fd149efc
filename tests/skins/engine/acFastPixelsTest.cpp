#include "SkinPixelSupport.h"

#include "acFastPixels.h"

using namespace skintests;

namespace {
class FastPixelsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureSkinUnits(); }
};
}  // namespace

TEST_F(FastPixelsTest, AttachNeedsTwoPixelsEachWay) {
    struct {
        int W, H;
        bool Attached;
    } const Cases[] = {{1, 5, false}, {5, 1, false}, {2, 2, true}, {0, 0, false}};
    for (const auto& C : Cases) {
        TOwned<TBitmap> B(MakeBitmap(C.W, C.H, pf32bit));
        TacFast24 F24;
        TacFast32 F32;
        F24.PixelWidth = F32.PixelWidth = 99;
        EXPECT_EQ(F24.Attach(B.get()), C.Attached) << C.W << "x" << C.H;
        EXPECT_EQ(F32.Attach(B.get()), C.Attached) << C.W << "x" << C.H;
        EXPECT_EQ(F24.PixelWidth, C.Attached ? C.W : 0);
        EXPECT_EQ(F32.PixelWidth, C.Attached ? C.W : 0);
    }
    TacFast24 F;
    EXPECT_FALSE(F.Attach(nullptr));
    TOwned<TBitmap> Small(MakeBitmap(1, 3, pf24bit));
    TOwned<TBitmap> Big(MakeBitmap(3, 3, pf24bit));
    TacFastSum24 S;
    EXPECT_FALSE(S.Attach(Small.get(), Big.get()));
    EXPECT_FALSE(S.Attach(Big.get(), Small.get()));
    EXPECT_TRUE(S.Attach(Big.get(), Big.get()));
}

TEST_F(FastPixelsTest, PixelsAreReadAsColoursWhateverTheRowOrder) {
    TOwned<TBitmap> B24(MakeBitmap(3, 3, pf24bit));
    TOwned<TBitmap> B32(MakeBitmap(3, 3, pf32bit));
    SetPx(B24.get(), 0, 0, TPx{0x11, 0x22, 0x33});
    SetPx(B24.get(), 2, 1, TPx{0xAA, 0xBB, 0xCC});
    SetPx(B32.get(), 1, 2, TPx{0x11, 0x22, 0x33, 0x44});
    TacFast24 F24;
    TacFast32 F32;
    ASSERT_TRUE(F24.Attach(B24.get()));
    ASSERT_TRUE(F32.Attach(B32.get()));
    // DIBs are stored bottom-up here: the step is negative, row 0 is still the top row.
    EXPECT_LT(F24.RowStep, 0);
    EXPECT_EQ(F24.ReadPixel(0, 0), 0x112233);
    EXPECT_EQ(F24.ReadPixel(2, 1), 0xAABBCC);
    EXPECT_EQ(F32.ReadPixel(1, 2), 0x44112233u);
    F32.WritePixel(0, 0, F32.ReadPixel(1, 2));
    EXPECT_EQ(GetPx(B32.get(), 0, 0), (TPx{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(ColorToPixel32(0x112233), 0xFF332211u);
}

TEST_F(FastPixelsTest, BlendDividesBy256) {
    struct {
        int Weight, Dst, Src, Expected;
    } const Cases[] = {{0, 0, 255, 254}, {0, 9, 0, 0},       {128, 200, 100, 150}, {255, 127, 0, 127},
                       {255, 128, 0, 127}, {255, 255, 255, 254}, {64, 0, 255, 190}};
    for (const auto& C : Cases) {
        const TPx Dst{C.Dst, C.Dst, C.Dst, C.Dst};
        TOwned<TBitmap> D(MakeBitmap(2, 2, pf32bit, Dst));
        TOwned<TBitmap> S(MakeBitmap(2, 2, pf32bit, TPx{C.Src, C.Src, C.Src, C.Src}));
        TacFastSum32 Sum;
        ASSERT_TRUE(Sum.Attach(S.get(), D.get()));
        Sum.DstWeight = Byte(C.Weight);
        Sum.DstRight = Sum.DstBottom = Sum.SrcRight = Sum.SrcBottom = 2;
        Sum.Blend();
        const int E = C.Expected;
        EXPECT_EQ(GetPx(D.get(), 1, 1), (TPx{E, E, E, E})) << C.Weight << " " << C.Dst << " " << C.Src;
    }
}

TEST_F(FastPixelsTest, BlendMapsRowsFromTheBottomAndWalksBackwards) {
    // One bitmap as source and destination, the source one pixel to the left: walking backwards,
    // each pixel takes its left neighbour's old value.
    TOwned<TBitmap> B(MakeBitmap(4, 2, pf24bit));
    SetPx(B.get(), 0, 1, TPx{255, 255, 255});
    TacFastSum24 Sum;
    ASSERT_TRUE(Sum.Attach(B.get(), B.get()));
    Sum.DstWeight = 0;
    Sum.DstLeft = 1;
    Sum.DstRight = 3;
    Sum.DstTop = 1;
    Sum.DstBottom = 2;
    Sum.SrcLeft = 0;
    Sum.SrcBottom = 2;
    Sum.Blend();
    EXPECT_EQ(GetPx(B.get(), 1, 1), (TPx{254, 254, 254}));
    EXPECT_EQ(GetPx(B.get(), 2, 1), (TPx{0, 0, 0}));

    // Source rows are counted from the bottom of both rectangles.
    TOwned<TBitmap> Src(MakeBitmap(2, 3, pf24bit));
    TOwned<TBitmap> Dst(MakeBitmap(2, 2, pf24bit, TPx{7, 7, 7}));
    SetPx(Src.get(), 0, 2, TPx{100, 100, 100});
    ASSERT_TRUE(Sum.Attach(Src.get(), Dst.get()));
    EXPECT_EQ(Sum.CommonHeight, 2);
    Sum.DstWeight = 0;
    Sum.DstLeft = Sum.SrcLeft = 0;
    Sum.DstRight = 1;
    Sum.DstTop = 1;
    Sum.DstBottom = 2;
    Sum.SrcBottom = 3;
    Sum.Blend();
    EXPECT_EQ(GetPx(Dst.get(), 0, 1), (TPx{100, 100, 100}) /* (100 x 255 + 127) shr 8 */);
    EXPECT_EQ(GetPx(Dst.get(), 0, 0), (TPx{7, 7, 7}));
}

TEST_F(FastPixelsTest, FillsAndAlphaStayInsideTheBitmap) {
    TOwned<TBitmap> B(MakeBitmap(4, 3, pf32bit, TPx{1, 1, 1, 1}));
    FillRect32(B.get(), TRect{2, 1, 9, 9}, 0x0000FF);
    EXPECT_EQ(GetPx(B.get(), 3, 2), (TPx{0, 0, 255, 255}));
    EXPECT_EQ(GetPx(B.get(), 1, 1), (TPx{1, 1, 1, 1}));
    SetAlphaInRect(B.get(), TRect{-1, 0, 2, 3}, 77);
    EXPECT_EQ(GetPx(B.get(), 1, 2), (TPx{1, 1, 1, 77}));
    EXPECT_EQ(GetPx(B.get(), 2, 2).A, 255);
    TOwned<TBitmap> Line(MakeBitmap(4, 1, pf32bit, TPx{1, 1, 1, 1}));
    FillRect32(Line.get(), TRect{0, 0, 4, 1}, 0);
    EXPECT_EQ(GetPx(Line.get(), 0, 0), (TPx{1, 1, 1, 1}));
    Cardinal Run[3] = {5, 5, 5};
    FillPixelRun(Run, -2, 9);
    FillPixelRun(Run, 2, 9);
    EXPECT_EQ(Run[1], 9u);
    EXPECT_EQ(Run[2], 5u);
}

TEST_F(FastPixelsTest, BlendToColourRoundsTiesToEvenOverAnInclusiveRect) {
    struct {
        int Percent, Pixel, Colour, Expected;
    } const Cases[] = {{50, 1, 0, 0}, {50, 3, 0, 2}, {100, 77, 0, 77}, {0, 77, 200, 200}, {30, 100, 0, 30}};
    for (const auto& C : Cases) {
        TOwned<TBitmap> B(MakeBitmap(3, 2, pf32bit, TPx{C.Pixel, C.Pixel, C.Pixel, 9}));
        BlendRectToColor(B.get(), TRect{0, 0, 3, 2}, C.Percent, TColor(C.Colour * 0x010101));
        const int E = C.Expected;
        EXPECT_EQ(GetPx(B.get(), 2, 1), (TPx{E, E, E, 9})) << C.Percent << " " << C.Pixel;
        EXPECT_EQ(GetPx(B.get(), 0, 0), (TPx{E, E, E, 9}));
    }
    TOwned<TBitmap> B(MakeBitmap(3, 3, pf24bit));
    BlendRectToColor(B.get(), TRect{1, 1, 1, 1}, 0, clBtnFace);
    EXPECT_EQ(GetPx(B.get(), 1, 1), PxOf(ColorToRGB(clBtnFace)));
    EXPECT_EQ(GetPx(B.get(), 2, 2), (TPx{0, 0, 0}));
}
