#include "SkinPixelSupport.h"

#include "sGradient.h"

using namespace skintests;

namespace {
class GradientTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EnsureSkinUnits();
        sGradientInitialization();
    }
    static void TearDownTestSuite() { sGradientFinalization(); }

    static TsGradArray Parsed(const std::string& Text) {
        TsGradArray Steps;
        ParseGradientData(Text, Steps);
        return Steps;
    }
};
}  // namespace

TEST_F(GradientTest, TextIsReadInGroupsOfFiveWords) {
    struct {
        const char* Text;
        size_t Count;
        TColor Color1, Color2;
        int Percent, Mode;
    } const Cases[] = {
        {"16777215;0;100;0;0", 1, 0xFFFFFF, 0, 100, 0},
        {"1;2;30;1;0;7;8", 1, 1, 2, 30, 1},          // a trailing incomplete group is ignored
        {"-5;255;150;2;x", 1, 0, 255, 100, 2},       // the fifth word is never read
        {";;10;;20;;-1;;0;;9;;", 1, 10, 20, 0, 0},   // runs of separators count once
        {"1;2;50;0;0;3;4;50;0;0", 2, 1, 2, 50, 0},
    };
    for (const auto& C : Cases) {
        TsGradArray S = Parsed(C.Text);
        ASSERT_EQ(S.size(), C.Count) << C.Text;
        EXPECT_EQ(S[0].Color1, C.Color1) << C.Text;
        EXPECT_EQ(S[0].Color2, C.Color2) << C.Text;
        EXPECT_EQ(S[0].Percent, C.Percent) << C.Text;
        EXPECT_EQ(S[0].Mode, C.Mode) << C.Text;
    }
    EXPECT_TRUE(Parsed("").empty());
    EXPECT_TRUE(Parsed("1;2;3;4").empty());
    TsGradArray Old = Parsed("1;2;3;4;5");
    EXPECT_THROW(ParseGradientData("1;2;x;4;5", Old), EConvertError);
}

TEST_F(GradientTest, VerticalBandRunsFromTheFirstRowToTheLast) {
    TOwned<TBitmap> B(MakeBitmap(4, 100, pf24bit));
    PaintGradient(B.get(), TRect{0, 0, 4, 100}, Parsed("16777215;0;100;0;0"), 0);
    EXPECT_EQ(GetPx(B.get(), 0, 0), (TPx{255, 255, 255}));
    EXPECT_EQ(GetPx(B.get(), 3, 99), (TPx{0, 0, 0}));
    // 255 - 255 x 33 / 99 = 170
    EXPECT_EQ(GetPx(B.get(), 2, 33), (TPx{170, 170, 170}));
    for (int Y = 1; Y < 100; ++Y)
        EXPECT_LE(GetPx(B.get(), 0, Y).R, GetPx(B.get(), 0, Y - 1).R) << Y;
}

TEST_F(GradientTest, TwoHalfBandsShareTheirMiddleRowAndTheSecondWins) {
    TOwned<TBitmap> B(MakeBitmap(2, 100, pf32bit));
    // red to green, then blue to white
    PaintGradient(B.get(), TRect{0, 0, 2, 100}, Parsed("255;65280;50;0;0;16711680;16777215;50;0;0"), 0);
    EXPECT_EQ(GetPx(B.get(), 0, 0), (TPx{0, 0, 255, 255}));
    EXPECT_EQ(GetPx(B.get(), 0, 49), (TPx{0, 250, 5, 255}));  // 255 x 49 / 50 = 249.9
    EXPECT_EQ(GetPx(B.get(), 0, 50), (TPx{255, 0, 0, 255}));
    EXPECT_EQ(GetPx(B.get(), 1, 99), (TPx{255, 255, 255, 255}));
}

TEST_F(GradientTest, HorizontalBandsAreComputedPerPixel) {
    TOwned<TBitmap> B(MakeBitmap(100, 3, pf24bit, TPx{1, 2, 3}));
    // black to red 200 over the left half (4 a column), then red 255 to black
    PaintGradient(B.get(), TRect{0, 1, 100, 3}, Parsed("0;200;50;1;0;255;0;50;0;0"), 0);
    EXPECT_EQ(GetPx(B.get(), 0, 0), (TPx{1, 2, 3}));  // above R
    EXPECT_EQ(GetPx(B.get(), 0, 1), (TPx{0, 0, 0}));
    EXPECT_EQ(GetPx(B.get(), 25, 2), (TPx{0, 0, 100}));
    // the first band ends at column 50, which the second band repaints
    EXPECT_EQ(GetPx(B.get(), 50, 2), (TPx{0, 0, 255}));
    EXPECT_EQ(GetPx(B.get(), 99, 2), (TPx{0, 0, 0}));
}

TEST_F(GradientTest, FourCornersTakeTheFirstColourOfEachStep) {
    TOwned<TBitmap> B(MakeBitmap(40, 40, pf24bit));
    // top-left red, centre green; the missing steps repeat green
    PaintGradient(B.get(), TRect{0, 0, 40, 40}, Parsed("255;0;0;2;0;65280;0;0;0;0"), 0);
    TPx Corner = GetPx(B.get(), 0, 0);
    TPx Centre = GetPx(B.get(), 20, 20);
    TPx Far = GetPx(B.get(), 39, 39);
    EXPECT_GT(Corner.R, 200);
    EXPECT_LT(Corner.G, 60);
    EXPECT_GT(Centre.G, 200);
    EXPECT_GT(Far.G, 200);
    EXPECT_LT(Far.R, 20);
}

TEST_F(GradientTest, NothingIsWrittenOutsideTheBitmapOrForOtherModesAndFormats) {
    const TPx Grey{9, 9, 9};
    TOwned<TBitmap> B(MakeBitmap(5, 5, pf24bit, Grey));
    PaintGradient(B.get(), TRect{-10, -10, 50, 50}, Parsed("0;0;100;0;0"), -40);
    PaintGradient(B.get(), TRect{-10, -10, 50, 50}, Parsed("0;0;100;1;0"), 0);
    EXPECT_EQ(GetPx(B.get(), 4, 4), (TPx{0, 0, 0}));
    TOwned<TBitmap> C(MakeBitmap(5, 5, pf24bit, Grey));
    PaintGradient(C.get(), TRect{0, 0, 5, 5}, Parsed("0;0;100;7;0"), 0);
    PaintGradient(C.get(), TRect{0, 0, 5, 0}, Parsed("0;0;100;0;0"), 0);
    PaintGradient(C.get(), TRect{0, 0, 5, 5}, TsGradArray{}, 0);
    for (int Y = 0; Y < 5; ++Y)
        EXPECT_EQ(GetPx(C.get(), 2, Y), Grey);
    TOwned<TBitmap> Paletted(Create<TBitmap>());
    Paletted->SetPixelFormat(pf8bit);
    Paletted->SetSize(4, 4);
    std::uint8_t Before = *static_cast<std::uint8_t*>(Paletted->ScanLine(2));
    PaintGradient(Paletted.get(), TRect{0, 0, 4, 4}, Parsed("0;255;100;0;0"), 0);
    EXPECT_EQ(*static_cast<std::uint8_t*>(Paletted->ScanLine(2)), Before);
}

TEST(MaskData, ImageSizesOfAStrip) {
    struct {
        TRect R;
        int ImageCount, MaskType, Width, Height;
    } const Cases[] = {{{0, 0, 30, 20}, 3, 1, 10, 10}, {{5, 5, 35, 25}, 0, 0, 0, 20}, {{0, 0, 30, 20}, 2, -1, 15, 0},
                       {{0, 0, 31, 21}, 3, 2, 10, 7}};
    for (const auto& C : Cases) {
        TsMaskData M;
        M.R = C.R;
        M.ImageCount = SmallInt(C.ImageCount);
        M.MaskType = SmallInt(C.MaskType);
        EXPECT_EQ(GetMaskImageWidth(M), C.Width);
        EXPECT_EQ(GetMaskImageHeight(M), C.Height);
    }
}
