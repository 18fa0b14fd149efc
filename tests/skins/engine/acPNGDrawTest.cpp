// PNG drawing and icons: bitmaps without alpha draw as bitmaps, 32-bit images blend by their alpha
// (with the reflection at their own size), icons take their transparency from the corner colour,
// the alpha or magenta, and transparent white is cleared.
#include "acPNGTestSupport.h"

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace pngtests;

constexpr TColor Ground = 0x1E140A;  // red 10, green 20, blue 30

TBitmap* Canvas24(int W, int H) {
    TBitmap* B = Create<TBitmap>();
    B->SetPixelFormat(pf24bit);
    B->SetSize(W, H);
    B->Canvas()->Brush()->SetColor(Ground);
    B->Canvas()->FillRect(Rect(0, 0, W, H));
    return B;
}

// Transparent (white) in the icon's mask.
bool MaskedOut(HICON Icon, int X, int Y) {
    ICONINFO Info{};
    GetIconInfo(Icon, &Info);
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Info.hbmMask);
    COLORREF C = GetPixel(DC, X, Y);
    SelectObject(DC, Old);
    DeleteDC(DC);
    DeleteObject(Info.hbmMask);
    if (Info.hbmColor)
        DeleteObject(Info.hbmColor);
    return (C & 0xFFFFFF) == 0xFFFFFF;
}

class PngDrawTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        skintests::EnsureSkinUnits();
        acPNGInitialization();
    }
    void SetUp() override { Png.reset(Create<TPNGGraphic>()); }

    // An RGBA image whose pixel (X, Y) is red 200, green 100 + X, blue 50 + Y with alpha Alpha(X, Y).
    void LoadRgba(int W, int H, std::uint16_t (*Alpha)(int, int)) {
        TImage I;
        I.Width = W;
        I.Height = H;
        I.ColorType = 6;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                I.Samples.insert(I.Samples.end(), {200, std::uint16_t(100 + X), std::uint16_t(50 + Y), Alpha(X, Y)});
        LoadPng(Png.get(), Encode(I));
    }

    TOwned<TPNGGraphic> Png;
};

int Blend(int D, int S, int A) { return D + (((S - D) * A) >> 8); }

// The largest channel difference of two colours.
int Distance(TColor A, TColor B) {
    int Max = 0;
    for (int Shift = 0; Shift < 24; Shift += 8)
        Max = std::max(Max, std::abs(int((A >> Shift) & 0xFF) - int((B >> Shift) & 0xFF)));
    return Max;
}

TEST_F(PngDrawTest, ImagesWithoutAlphaDrawAsBitmapsWithTheirTransparentColour) {
    TImage I;
    I.Width = I.Height = 2;
    I.ColorType = 2;
    I.Samples = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 0};
    I.Before.push_back({"tRNS", {0, 255, 0, 0, 0, 0}});  // red is transparent
    LoadPng(Png.get(), Encode(I));
    ASSERT_EQ(Png->PixelFormat(), pf24bit);
    TOwned<TBitmap> Target(Canvas24(4, 4));
    Target->Canvas()->Draw(1, 1, Png.get());
    EXPECT_EQ(Target->Canvas()->Pixels(1, 1), Ground);
    EXPECT_EQ(Target->Canvas()->Pixels(2, 1), TColor(0x00FF00));
    EXPECT_EQ(Target->Canvas()->Pixels(1, 2), TColor(0xFF0000));
    EXPECT_EQ(Target->Canvas()->Pixels(2, 2), Ground);
}

TEST_F(PngDrawTest, AlphaImagesBlendAndReflectOnlyAtTheirOwnSize) {
    LoadRgba(8, 8, [](int X, int) -> std::uint16_t { return X == 0 ? 0 : 255; });
    ASSERT_EQ(Png->PixelFormat(), pf32bit);
    Png->MirrorBelow = true;
    TOwned<TBitmap> Own(Canvas24(20, 40));
    Own->Canvas()->Draw(2, 2, Png.get());
    EXPECT_EQ(Own->Canvas()->Pixels(2, 5), Ground);  // alpha 0
    TColor P = Own->Canvas()->Pixels(5, 6);
    EXPECT_EQ(P & 0xFF, TColor(Blend(10, 200, 255)));
    EXPECT_EQ((P >> 8) & 0xFF, TColor(Blend(20, 103, 255)));
    EXPECT_EQ((P >> 16) & 0xFF, TColor(Blend(30, 54, 255)));
    EXPECT_NE(Own->Canvas()->Pixels(5, 11), Ground);  // the reflection below
    EXPECT_EQ(Own->Canvas()->Pixels(5, 14), Ground);  // below W x (H + H div 2)

    TOwned<TBitmap> Scaled(Canvas24(40, 40));
    Scaled->Canvas()->StretchDraw(Rect(2, 2, 18, 18), Png.get());
    EXPECT_NE(Scaled->Canvas()->Pixels(10, 10), Ground);
    EXPECT_EQ(Scaled->Canvas()->Pixels(10, 19), Ground);  // no reflection at another size
}

TEST_F(PngDrawTest, ScaledAlphaFollowsTheImage) {
    LoadRgba(4, 4, [](int X, int) -> std::uint16_t { return X < 2 ? 0 : 255; });
    TOwned<TBitmap> Target(Canvas24(20, 20));
    Target->Canvas()->StretchDraw(Rect(0, 0, 16, 16), Png.get());
    // the halftone filter may carry a little across the edge, never the image itself
    EXPECT_LT(Distance(Target->Canvas()->Pixels(1, 8), Ground), 16);
    EXPECT_GT(Distance(Target->Canvas()->Pixels(14, 8), Ground), 100);
    EXPECT_EQ(Target->Canvas()->Pixels(14, 17), Ground);  // outside the drawn rectangle
}

TEST_F(PngDrawTest, IconFromTheCornerColourMasksEveryPixelOfThatColour) {
    TImage I;
    I.Width = I.Height = 3;
    I.ColorType = 2;
    for (int K = 0; K < 9; ++K)
        I.Samples.insert(I.Samples.end(), {std::uint16_t(K == 4 ? 9 : 1), 2, 3});
    LoadPng(Png.get(), Encode(I));
    HICON Icon = MakeIconFromPng(Png.get(), true);
    ASSERT_NE(Icon, nullptr);
    EXPECT_EQ(Png->PixelFormat(), pf32bit);
    EXPECT_TRUE(MaskedOut(Icon, 0, 0));
    EXPECT_TRUE(MaskedOut(Icon, 2, 1));
    EXPECT_FALSE(MaskedOut(Icon, 1, 1));
    DestroyIcon(Icon);

    // corner colour on an opaque alpha image too; without it nothing is masked
    LoadRgba(3, 3, [](int, int) -> std::uint16_t { return 255; });
    Icon = MakeIconFromPng(Png.get(), false);
    EXPECT_FALSE(MaskedOut(Icon, 0, 0));
    DestroyIcon(Icon);
}

TEST_F(PngDrawTest, IconOnAColourMasksMagentaOfImagesWithoutAlpha) {
    TImage I;
    I.Width = I.Height = 2;
    I.ColorType = 2;
    I.Samples = {255, 0, 255, 10, 20, 30, 10, 20, 30, 255, 0, 255};
    LoadPng(Png.get(), Encode(I));
    HICON Icon = MakeIconFromPngOnColor(Png.get(), 0x00FF00);
    ASSERT_NE(Icon, nullptr);
    EXPECT_TRUE(MaskedOut(Icon, 0, 0));
    EXPECT_FALSE(MaskedOut(Icon, 1, 0));
    EXPECT_TRUE(MaskedOut(Icon, 1, 1));
    DestroyIcon(Icon);
}

TEST_F(PngDrawTest, TransparentWhiteIsCleared) {
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetPixelFormat(pf32bit);
    B->SetSize(2, 2);
    auto* Row = static_cast<Byte*>(B->ScanLine(0));
    const Byte Pixels[8] = {255, 255, 255, 0, 255, 255, 255, 1};
    std::copy(Pixels, Pixels + 8, Row);
    ClearTransparentWhite(B.get());
    Row = static_cast<Byte*>(B->ScanLine(0));
    EXPECT_EQ(std::vector<Byte>(Row, Row + 8), (std::vector<Byte>{0, 0, 0, 0, 255, 255, 255, 1}));

    TOwned<TBitmap> Small(Create<TBitmap>());
    Small->SetPixelFormat(pf32bit);
    Small->SetSize(1, 1);
    auto* One = static_cast<Byte*>(Small->ScanLine(0));
    std::fill(One, One + 3, Byte(255));
    One[3] = 0;
    ClearTransparentWhite(Small.get());
    EXPECT_EQ(static_cast<Byte*>(Small->ScanLine(0))[0], 255);
}

}  // namespace
