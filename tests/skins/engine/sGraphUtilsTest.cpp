#include "SkinPixelSupport.h"

#include "sGraphUtils.h"

using namespace skintests;

namespace {
class GraphUtilsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EnsureSkinUnits();
        sGraphUtilsInitialization();
    }
    static void TearDownTestSuite() { sGraphUtilsFinalization(); }
};

constexpr TPx Magenta{255, 0, 255};
TPx Grey(int V, int A = 0) { return TPx{V, V, V, A}; }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Colours

TEST_F(GraphUtilsTest, ColourArithmetic) {
    EXPECT_EQ(MixColors(0x0000FF, 0xFF0000, 0.5), 0x800080);  // 127.5 rounds to 128
    EXPECT_EQ(MixColors(0x10000000 | 0x10, 0x30, 0.5), 0x10000020);  // C1's top byte stays
    EXPECT_EQ(MixColorsEvenly(0xFFFFFF, 0), 0x7E7E7E);
    EXPECT_EQ(HalfMixColors(0, 0xFFFFFF), 0x808080);  // 255 x 129 shr 8 = 128
    EXPECT_EQ(ChangeSaturation(0x0000FF, 100), 0x555555);
    EXPECT_EQ(ChangeSaturation(0x2A0000FF, 0), 0x2A0000FF);
    EXPECT_EQ(ChangeSaturation(0x2020A0, -100), 0x0000F5);  // 2c - mean, limited to 0..255
    EXPECT_EQ(ShiftHue(120, 0x0000FF), 0x00FF00);
    EXPECT_EQ(ShiftHue(240, 0x0000FF), 0xFF0000);
    EXPECT_EQ(ShiftHue(90, 0x808080), 0x808080);
    EXPECT_EQ(ShiftHue(90, clBlack), 0);
    EXPECT_TRUE(LayeredWindowsAvailable());
}

// ---------------------------------------------------------------------------------------------
// Grey and channels

TEST_F(GraphUtilsTest, GreyAndChannels) {
    TOwned<TBitmap> B(MakeBitmap(2, 2, pf32bit, TPx{10, 20, 31, 7}));
    SetPx(B.get(), 1, 1, Magenta);
    TOwned<TBitmap> C(Create<TBitmap>());
    C->Assign(B.get());
    GrayscaleBitmap(B.get());
    EXPECT_EQ(GetPx(B.get(), 0, 0), Grey(20, 7));
    EXPECT_EQ(GetPx(B.get(), 1, 1), Grey(170));
    C->SetPixelFormat(pf24bit);
    GrayscaleBitmapExcept(C.get(), 0xFF00FF);
    EXPECT_EQ(GetPx(C.get(), 1, 1), Magenta);
    EXPECT_EQ(GetPx(C.get(), 0, 1), Grey(20));

    TOwned<TBitmap> Narrow(Create<TBitmap>());
    Narrow->SetPixelFormat(pf8bit);
    Narrow->SetHandleType(bmDIB);
    Narrow->SetSize(2, 2);
    TOwned<TBitmap> Wide(MakeBitmap(2, 2, pf32bit, TPx{1, 2, 3, 4}));
    CopyChannel(Wide.get(), Narrow.get(), 3, true);
    EXPECT_EQ(static_cast<BYTE*>(Narrow->ScanLine(1))[1], 4);
    static_cast<BYTE*>(Narrow->ScanLine(0))[0] = 99;
    CopyChannel(Wide.get(), Narrow.get(), 1, false);
    EXPECT_EQ(GetPx(Wide.get(), 0, 0), (TPx{1, 99, 3, 4}));
    EXPECT_EQ(GetPx(Wide.get(), 1, 1), (TPx{1, 4, 3, 4}));
}

// ---------------------------------------------------------------------------------------------
// Blends

TEST_F(GraphUtilsTest, BlendBitmapRectKeepsPartOfTheDestination) {
    struct {
        double Keep;
        int Src, Dst, Expected;
    } const Cases[] = {{0, 200, 10, 200}, {1, 200, 10, 10}, {0.5, 1, 0, 0}, {0.5, 3, 0, 2}, {0.4, 100, 200, 140}};
    for (const auto& C : Cases) {
        TOwned<TBitmap> Dst(MakeBitmap(3, 3, pf32bit, Grey(C.Dst, 66)));
        TOwned<TBitmap> Src(MakeBitmap(2, 2, pf24bit, Grey(C.Src)));
        BlendBitmapRect(Dst.get(), 1, 1, NoKeyColor, C.Keep, TRect{0, 0, 5, 5}, Src.get());
        EXPECT_EQ(GetPx(Dst.get(), 2, 2), Grey(C.Expected, 66)) << C.Keep << " " << C.Src;
        EXPECT_EQ(GetPx(Dst.get(), 0, 0), Grey(C.Dst, 66));
    }
    // Key pixels are skipped; both 32-bit bitmaps are each read with their own pixel size.
    TOwned<TBitmap> Dst(MakeBitmap(2, 2, pf32bit, Grey(50, 1)));
    TOwned<TBitmap> Src(MakeBitmap(2, 2, pf32bit, Grey(150, 2)));
    SetPx(Src.get(), 0, 0, Magenta);
    BlendBitmapRect(Dst.get(), 0, 0, 0xFF00FF, 0.5, TRect{0, 0, 1, 1}, Src.get());
    EXPECT_EQ(GetPx(Dst.get(), 0, 0), Grey(50, 1));
    EXPECT_EQ(GetPx(Dst.get(), 1, 1), Grey(100, 1));
}

TEST_F(GraphUtilsTest, TintShadowMaskAndMixIntoThirtyTwoBits) {
    TOwned<TBitmap> B(MakeBitmap(2, 2, pf24bit, Grey(100)));
    SetPx(B.get(), 1, 1, Magenta);
    TintBitmap(B.get(), 0x0000FF, 0xFF00FF, 0.5);
    EXPECT_EQ(GetPx(B.get(), 0, 0), (TPx{50, 50, 178}));  // red channel 255 + 0.5 x (100 - 255) = 177.5
    EXPECT_EQ(GetPx(B.get(), 1, 1), Magenta);

    TOwned<TBitmap> Shadow(MakeBitmap(2, 2, pf24bit, Grey(200)));
    TOwned<TBitmap> Mask(MakeBitmap(2, 2, pf24bit, Grey(128)));
    SetPx(Mask.get(), 1, 0, Grey(255));
    ShadowMaskBlend(Shadow.get(), Mask.get(), 0);
    EXPECT_EQ(GetPx(Shadow.get(), 0, 0), Grey(100));
    EXPECT_EQ(GetPx(Shadow.get(), 1, 0), Grey(199));

    TOwned<TBitmap> A(MakeBitmap(2, 2, pf24bit, Grey(200)));
    TOwned<TBitmap> Bb(MakeBitmap(2, 2, pf24bit, Grey(100)));
    TOwned<TBitmap> D(MakeBitmap(2, 2, pf32bit, Grey(0, 9)));
    MixBitmapsTo32(D.get(), A.get(), Bb.get(), 64, nullptr);
    EXPECT_EQ(GetPx(D.get(), 1, 1), Grey(125, 9));  // (64 x 100 + 100 x 256) shr 8
    MixBitmapsTo32(D.get(), A.get(), Bb.get(), 0, Mask.get());
    EXPECT_EQ(GetPx(D.get(), 0, 0), Grey(150, 9));
    EXPECT_EQ(GetPx(D.get(), 1, 0), Grey(199, 9));
}

TEST_F(GraphUtilsTest, BlendRectAtClipsAndKeepsEqualFormats) {
    TOwned<TBitmap> Dst(MakeBitmap(4, 4, pf24bit, Grey(0)));
    TOwned<TBitmap> Src(MakeBitmap(4, 4, pf24bit, Grey(255)));
    SetPx(Src.get(), 1, 1, Grey(100));
    // A destination point left of and above Dst cuts as much from the source.
    BlendRectAt(Dst.get(), Src.get(), 0, TPoint{-1, -1}, TRect{0, 0, 3, 3});
    EXPECT_EQ(GetPx(Dst.get(), 0, 0), Grey(100));  // (100 x 255 + 127) shr 8
    EXPECT_EQ(GetPx(Dst.get(), 1, 1), Grey(254));
    EXPECT_EQ(GetPx(Dst.get(), 2, 2), Grey(0));  // right and bottom are exclusive
    TOwned<TBitmap> Other(MakeBitmap(4, 4, pf32bit, Grey(255, 255)));
    BlendRectAt(Dst.get(), Other.get(), 0, TPoint{2, 2}, TRect{0, 0, 4, 4});
    EXPECT_EQ(GetPx(Dst.get(), 3, 3), Grey(0));
    TOwned<TBitmap> D32(MakeBitmap(3, 3, pf32bit, Grey(0, 0)));
    BlendRectAt(D32.get(), Other.get(), 128, TPoint{1, 1}, TRect{0, 0, 9, 9});
    EXPECT_EQ(GetPx(D32.get(), 2, 2), Grey(127, 127));  // alpha blended too
    EXPECT_EQ(GetPx(D32.get(), 0, 0), Grey(0, 0));
    TOwned<TBitmap> Whole(MakeBitmap(2, 2, pf24bit, Grey(10)));
    TOwned<TBitmap> Half(MakeBitmap(2, 2, pf24bit, Grey(30)));
    BlendBitmaps24(Whole.get(), Half.get(), 128);
    EXPECT_EQ(GetPx(Whole.get(), 1, 0), Grey(20));  // (1280 + 3810 + 127) shr 8
}

TEST_F(GraphUtilsTest, MaskImagesLetTheDestinationThroughByTheMask) {
    // Upper half the image, lower half its mask.
    struct {
        int Mask, Expected;
    } const Cases[] = {{0, 200}, {255, 100}, {128, 150}};
    for (const auto& C : Cases) {
        TOwned<TBitmap> Src(MakeBitmap(2, 4, pf24bit, Grey(200)));
        SetPx(Src.get(), 0, 2, Grey(C.Mask));
        TOwned<TBitmap> Dst(MakeBitmap(2, 2, pf24bit, Grey(100)));
        DrawMaskedImage(TRect{0, 0, 2, 2}, TRect{0, 0, 2, 2}, Dst.get(), false, EmptyBackgroundSource, Src.get());
        // (200 x 256 + (100 - 200) x m) shr 8
        EXPECT_EQ(GetPx(Dst.get(), 0, 0), Grey(C.Expected)) << C.Mask;
    }
    // A 32-bit image blends by its alpha; with a background bitmap a key pixel shows it.
    TOwned<TBitmap> Glyph(MakeBitmap(2, 2, pf32bit, TPx{200, 200, 200, 64}));
    SetPx(Glyph.get(), 1, 1, TPx{255, 0, 255, 0});
    TOwned<TBitmap> Back(MakeBitmap(4, 4, pf24bit, Grey(7)));
    TOwned<TBitmap> Dst(MakeBitmap(2, 2, pf32bit, Grey(100, 0)));
    DrawMaskedImage(TRect{-1, 0, 2, 2}, TRect{0, 0, 3, 2}, Dst.get(), true, MakeBackgroundSource(Back.get(), 2, 2),
                    Glyph.get());
    EXPECT_EQ(GetPx(Dst.get(), 0, 0), Grey(125, 255));  // a negative left is cut from both rectangles
    EXPECT_EQ(GetPx(Dst.get(), 1, 1), Grey(100, 0));  // source (2, 1) is outside the glyph
    DrawMaskedImage(TRect{0, 0, 2, 2}, TRect{0, 0, 2, 2}, Dst.get(), true, MakeBackgroundSource(Back.get(), 2, 2),
                    Glyph.get());
    EXPECT_EQ(GetPx(Dst.get(), 1, 1), Grey(7, 255));
}

TEST_F(GraphUtilsTest, MaskedPiecesShowWhatLiesBehindTheirKeyPixels) {
    TsMaskData Mask;
    Mask.R = TRect{0, 0, 2, 4};
    TOwned<TBitmap> Src(MakeBitmap(2, 4, pf24bit, Grey(0)));  // mask 0: the image is opaque
    SetPx(Src.get(), 0, 0, Magenta);
    SetPx(Src.get(), 1, 0, Grey(90));
    struct {
        bool UseBackground;
        BackgroundSource Background;
        TPx KeyResult;
    } Cases[] = {
        {true, BackgroundSource{nullptr, 0, 0, 0x0000FF, false}, TPx{0, 0, 255}},  // a plain red background
        {true, BackgroundSource{nullptr, 0, 0, 0xFF00FF, false}, Grey(33)},         // no colour: left alone
        {false, EmptyBackgroundSource, Magenta},                                     // no background: blended
    };
    for (auto& C : Cases) {
        TOwned<TBitmap> Dst(MakeBitmap(2, 2, pf24bit, Grey(33)));
        DrawMaskedPiece(TRect{0, 0, 2, 2}, TRect{0, 0, 2, 2}, Dst.get(), Mask, C.UseBackground, C.Background,
                        Src.get());
        EXPECT_EQ(GetPx(Dst.get(), 0, 0), C.KeyResult);
        EXPECT_EQ(GetPx(Dst.get(), 1, 0), Grey(90));
    }
    TOwned<TBitmap> Back(MakeBitmap(3, 3, pf32bit, Grey(44, 1)));
    TOwned<TBitmap> Dst(MakeBitmap(2, 2, pf32bit, Grey(33, 0)));
    DrawMaskedPiece(TRect{0, 0, 2, 2}, TRect{0, 0, 2, 2}, Dst.get(), Mask, true, MakeBackgroundSource(Back.get(), 1, 1),
                    Src.get());
    EXPECT_EQ(GetPx(Dst.get(), 0, 0), Grey(44, 255));
    EXPECT_EQ(GetPx(Dst.get(), 1, 1), Grey(0, 255));
}

TEST_F(GraphUtilsTest, AlphaImagesFadeTintAndReflect) {
    struct {
        int Blend;
        TColor Tint;
        TPx Expected;
    } const Cases[] = {
        {100, NoTint, Grey(10)},
        {0, NoTint, TPx{199, 99, 10}},   // 10 + (190 x 255) shr 8, 10 + (90 x 255) shr 8
        {50, NoTint, TPx{104, 54, 10}},  // a = 127
        {0, 0x0000FF, TPx{0, 0, 102}},  // grey 103 tinted red: 103 on red, 0 (floor of -9.96) elsewhere
    };
    for (const auto& C : Cases) {
        TOwned<TBitmap> Src(MakeBitmap(2, 2, pf32bit, TPx{200, 100, 10, 255}));
        TOwned<TBitmap> Dst(MakeBitmap(2, 2, pf24bit, Grey(10)));
        DrawAlphaImage(TRect{0, 0, 2, 2}, TRect{0, 0, 2, 2}, Dst.get(), false, C.Blend, C.Tint, false,
                       EmptyBackgroundSource, Src.get());
        EXPECT_EQ(GetPx(Dst.get(), 1, 1), C.Expected) << C.Blend;
    }
    // The mirrored copy: row Bottom + k takes source row Bottom - k - 1 at a third of its alpha,
    // fading by 255 div (height div 2) a row.
    TOwned<TBitmap> Src(MakeBitmap(1, 6, pf32bit, Grey(240, 255)));
    TOwned<TBitmap> Dst(MakeBitmap(1, 12, pf24bit, Grey(0)));
    DrawAlphaImage(TRect{0, 0, 1, 6}, TRect{0, 0, 1, 6}, Dst.get(), true, 0, NoTint, false, EmptyBackgroundSource,
                   Src.get());
    const int Rows[] = {239, 239, 239, 239, 239, 239, 0, 79, 52, 0};  // weights 85, then 170 x 85 div 255
    for (int Y = 0; Y < 10; ++Y)
        EXPECT_EQ(GetPx(Dst.get(), 0, Y), Grey(Rows[Y])) << Y;
    // A 24-bit image becomes 32-bit first: with alpha 0 nothing shows.
    TOwned<TBitmap> Plain(MakeBitmap(1, 2, pf24bit, Grey(240)));
    DrawAlphaImage(TRect{0, 0, 1, 2}, TRect{0, 0, 1, 2}, Dst.get(), false, 0, NoTint, false, EmptyBackgroundSource,
                   Plain.get());
    EXPECT_EQ(Plain->PixelFormat(), pf32bit);
    EXPECT_EQ(GetPx(Dst.get(), 0, 0), Grey(239));
}

TEST_F(GraphUtilsTest, KeyedCopies) {
    TOwned<TBitmap> Src(MakeBitmap(3, 3, pf24bit, Grey(50)));
    SetPx(Src.get(), 1, 1, Magenta);
    SetPx(Src.get(), 2, 2, Grey(60));
    TOwned<TBitmap> Back(MakeBitmap(5, 5, pf24bit, Grey(9)));
    SetPx(Back.get(), 2, 2, Grey(99));
    struct {
        bool UseBackground;
        bool BackIsDst;
        TPx KeyResult;
    } const Cases[] = {{true, false, Grey(99)}, {false, false, Grey(1)}, {true, true, Grey(1)}};
    for (const auto& C : Cases) {
        TOwned<TBitmap> Dst(MakeBitmap(4, 4, pf32bit, Grey(1, 0)));
        BackgroundSource Behind = MakeBackgroundSource(C.BackIsDst ? Dst.get() : Back.get(), 1, 1);
        CopyKeyTransparentRect(Dst.get(), Src.get(), 1, C.UseBackground, Behind, 0xFF00FF, TRect{1, 1, 9, 9}, 1);
        TPx Key = C.KeyResult;
        if (Key != Grey(1))
            Key.A = 255;
        EXPECT_EQ(GetPx(Dst.get(), 1, 1), Key);
        EXPECT_EQ(GetPx(Dst.get(), 2, 2), Grey(60, 255));
        EXPECT_EQ(GetPx(Dst.get(), 3, 3), Grey(1, 0));
    }
    // Source rows and columns are counted from the source rectangle's corner.
    TOwned<TBitmap> Dst(MakeBitmap(3, 3, pf24bit, Grey(1)));
    CopyOpaqueRect(Dst.get(), Src.get(), 0, 0xFF00FF, TRect{1, 1, 2, 2}, 0);
    EXPECT_EQ(GetPx(Dst.get(), 0, 0), Grey(1));
    EXPECT_EQ(GetPx(Dst.get(), 1, 1), Grey(60));
    TOwned<TBitmap> D32(MakeBitmap(2, 2, pf32bit, Grey(1, 0)));
    CopyOpaquePixels(D32.get(), Src.get(), -1, 0xFF00FF, -1);
    EXPECT_EQ(GetPx(D32.get(), 0, 0), Grey(1, 0));
    EXPECT_EQ(GetPx(D32.get(), 1, 1), Grey(60, 255));
}

TEST_F(GraphUtilsTest, SoftShadowWithoutStepsDarkensEvenly) {
    TOwned<TBitmap> B(MakeBitmap(10, 10, pf24bit, Grey(200)));
    PaintSoftShadow(B.get(), TRect{2, 2, 8, 8}, 50, 0x000000, 0, 0);
    // E = 127: (0 x 256 + 200 x 127) shr 8 = 99
    EXPECT_EQ(GetPx(B.get(), 4, 4), Grey(99));
    EXPECT_EQ(GetPx(B.get(), 1, 1), Grey(200));
    TOwned<TBitmap> Rings(MakeBitmap(20, 20, pf24bit, Grey(200)));
    PaintSoftShadow(Rings.get(), TRect{0, 0, 20, 20}, 0, 0x000000, 3, 4);
    EXPECT_EQ(GetPx(Rings.get(), 10, 10), Grey(0));
    EXPECT_GT(GetPx(Rings.get(), 1, 10).R, GetPx(Rings.get(), 2, 10).R);  // lighter toward the edge
}

TEST_F(GraphUtilsTest, StateGlyphChoosesItsImage) {
    // Each image of the strip has its own grey, with a magenta bottom-left pixel as its key.
    auto Strip = [](int Count) {
        TBitmap* B = MakeBitmap(2 * Count, 2, pf24bit);
        for (int I = 0; I < Count; ++I) {
            SetPx(B, 2 * I, 0, Grey(10 * (I + 1)));
            SetPx(B, 2 * I + 1, 0, Grey(10 * (I + 1)));
            SetPx(B, 2 * I, 1, Magenta);
            SetPx(B, 2 * I + 1, 1, Grey(10 * (I + 1)));
        }
        return B;
    };
    struct {
        int Count, State;
        bool Down, Enabled;
        int Image;
    } const Cases[] = {{4, 2, false, true, 2}, {4, 2, true, true, 3}, {3, 2, true, true, 1}, {4, 1, false, true, 1},
                       {4, 1, false, false, 0}, {4, 0, true, true, 0}};
    for (const auto& C : Cases) {
        TOwned<TBitmap> Glyph(Strip(C.Count));
        TOwned<TBitmap> Dst(MakeBitmap(2, 2, pf24bit, Grey(1)));
        DrawStateGlyph(Glyph.get(), Dst.get(), TRect{0, 0, 2, 2}, false, C.Down, 0, C.State, TsDisabledGlyphKind{},
                       C.Enabled, C.Count);
        EXPECT_EQ(GetPx(Dst.get(), 1, 0), Grey(10 * (C.Image + 1))) << C.Count << " " << C.State << " " << C.Down;
        EXPECT_EQ(GetPx(Dst.get(), 0, 1), Grey(1));  // the key pixel is not copied
    }
    // One image, disabled, grey and blended: half of its grey over the destination.
    TOwned<TBitmap> Single(MakeBitmap(2, 2, pf24bit, TPx{0, 0, 90}));
    SetPx(Single.get(), 0, 1, Magenta);
    TOwned<TBitmap> Dst(MakeBitmap(2, 2, pf24bit, Grey(100)));
    DrawStateGlyph(Single.get(), Dst.get(), TRect{0, 0, 2, 2}, false, false, 0, 0, TsDisabledGlyphKind{dgGrayed, dgBlended},
                   false, 1);
    EXPECT_EQ(GetPx(Dst.get(), 1, 0), Grey(65));  // grey 30, then 30 - 0.5 x (30 - 100)
}
