#include "dxTLTestSupport.h"

using namespace treelist_tests;

namespace {
// The glyphs belong to the unit's start-up, which the other tests paint with: a test that frees
// them gets them back, and loading twice would leak the first set.
struct DrawTest : TreeListTest {
    void SetUp() override {
        TreeListTest::SetUp();
        if (!IndicatorImages)
            LoadIndicatorImages();
    }
    void TearDown() override {
        if (!IndicatorImages)
            LoadIndicatorImages();
        TreeListTest::TearDown();
    }
};
}  // namespace

TEST_F(DrawTest, IndicatorGlyphsComeFromTheResources) {
    ASSERT_NE(nullptr, IndicatorImages);
    EXPECT_EQ(5, IndicatorImages->Count());
    EXPECT_GT(IndicatorImages->Width(), 0);

    // The arrow glyph is drawn in the middle of the cell, its white mask left transparent.
    TOwned<TBitmap> B(SolidBitmap(12, 18, clRed));
    DrawIndicatorCell(B->Canvas()->Handle(), TRect{0, 0, 12, 18}, TRect{0, 0, 12, 18}, 2, 1,
                      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    int Black = 0;
    for (int Y = 0; Y < 18; ++Y)
        for (int X = 0; X < 12; ++X)
            Black += PixelAt(B.get(), X, Y) == RGB(0, 0, 0);
    EXPECT_GE(Black, 10);
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(B.get(), 1, 1));
    FreeIndicatorImages();
    EXPECT_EQ(nullptr, IndicatorImages);
    EXPECT_EQ(nullptr, PlusBitmap);
}

TEST_F(DrawTest, ExpandButtonBitmapsShowPlusAndMinus) {
    const COLORREF Text = GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(Text, PixelAt(PlusBitmap, 5, 4));   // the plus has its vertical bar
    EXPECT_NE(Text, PixelAt(MinusBitmap, 5, 4));  // the minus has none
    EXPECT_EQ(Text, PixelAt(MinusBitmap, 4, 5));
}

TEST_F(DrawTest, TextLineCount) {
    TOwned<TFont> F(Create<TFont>());
    int Height = 0;
    HDC DC = GetDC(nullptr);
    SelectObject(DC, F->Handle());
    SIZE S{};
    GetTextExtentPoint32A(DC, "Wg", 2, &S);
    ReleaseDC(nullptr, DC);
    const std::string Four = "one\ntwo\nthree\nfour";
    EXPECT_EQ(4, CalcTextLineCount(Four, 200, S.cy, Height, 0, true, F.get(), -1));
    EXPECT_EQ(2, CalcTextLineCount(Four, 200, S.cy, Height, 0, true, F.get(), 2));
    EXPECT_EQ(2 * S.cy + 3, Height);
    Height = 77;
    EXPECT_EQ(0, CalcTextLineCount("", 200, S.cy, Height, 0, true, F.get(), -1));
    EXPECT_EQ(0, CalcTextLineCount(Four, 200, S.cy, Height, 0, true, F.get(), 0));
    EXPECT_EQ(77, Height);
}
