#include "SkinPixelSupport.h"

#include "sGraphUtils.h"
#include "sMaskDraw.h"

using namespace skintests;

namespace {
TPx Grey(int V, int A = 0) { return TPx{V, V, V, A}; }
constexpr TPx Magenta{255, 0, 255};
constexpr TPx Red{0, 0, 255};

// A skin manager whose master bitmap the test paints pixel by pixel, with masks cut from it.
class MaskDrawTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        MakeManager({{"PANEL", 0xFFFFFF}});
    }
    TBitmap* Master(int W, int H, TPx Fill = TPx{}) {
        FreeAndNil(Manager->MasterBitmap);
        Manager->MasterBitmap = MakeBitmap(W, H, pf24bit, Fill);
        return Manager->MasterBitmap;
    }
    static TsMaskData Strip(TRect R, int ImageCount, int MaskType, int WL, int WT, int WR, int WB, int StretchMode = 0) {
        TsMaskData M;
        M.R = R;
        M.ImageCount = SmallInt(ImageCount);
        M.MaskType = SmallInt(MaskType);
        M.WL = SmallInt(WL);
        M.WT = SmallInt(WT);
        M.WR = SmallInt(WR);
        M.WB = SmallInt(WB);
        M.StretchMode = SmallInt(StretchMode);
        return M;
    }
    TsMaskData Bound(TsMaskData M) {
        M.Manager = Manager;
        return M;
    }
    // The letters of row Y: the pixel's grey divided by 10, as 'A' for 10, 'B' for 20 ...
    static std::string Letters(TBitmap* B, int Y, int Width) {
        std::string S;
        for (int X = 0; X < Width; ++X)
            S += static_cast<char>('@' + GetPx(B, X, Y).G / 10);
        return S;
    }
};
}  // namespace

TEST_F(MaskDrawTest, BordersShrinkToFitANarrowRectangle) {
    struct {
        int Width, WL, WR;
        const char* Row;
    } const Cases[] = {
        {10, 6, 6, "AAAAABBBBB"},  // d = 1: 5 and 5
        {9, 6, 6, "AAAAABBBB"},    // d = 1, odd width: 5 and 4
        {10, 6, 5, "AAAAABBBBB"},  // d = 0: the right edge covers the left one's last column
        {9, 6, 5, "AAAAAABBB"},    // 5 and 3, one centre column between
        {20, 3, 3, "AAACCCCCCCCCCCCCCBBB"},
    };
    for (const auto& C : Cases) {
        TBitmap* M = Master(20, 10);
        for (int Y = 0; Y < 10; ++Y)
            for (int X = 0; X < 20; ++X)
                SetPx(M, X, Y, Grey(X < C.WL ? 10 : X >= 20 - C.WR ? 20 : 30));
        TOwned<TBitmap> B(MakeBitmap(C.Width, 10, pf24bit));
        DrawSkinMask(B.get(), TRect{0, 0, C.Width, 10}, true, EmptyBackgroundSource,
                     Bound(Strip(TRect{0, 0, 20, 10}, 1, 0, C.WL, 2, C.WR, 2, 4)), 0, false);
        EXPECT_EQ(Letters(B.get(), 5, C.Width), C.Row) << C.Width << " " << C.WL << " " << C.WR;
    }
}

TEST_F(MaskDrawTest, StatesCentresAndNothingToDraw) {
    // Three states of 4 x 4 with greys 10, 20, 30.
    TBitmap* M = Master(12, 4);
    for (int X = 0; X < 12; ++X)
        for (int Y = 0; Y < 4; ++Y)
            SetPx(M, X, Y, Grey(10 * (X / 4 + 1)));
    auto Draw = [&](int State, bool FillCentre, int StretchMode, TRect R = TRect{0, 0, 6, 6}) {
        TBitmap* B = MakeBitmap(6, 6, pf24bit, Grey(90));
        DrawSkinMask(B, R, FillCentre, EmptyBackgroundSource, Bound(Strip(TRect{0, 0, 12, 4}, 3, 0, 1, 1, 1, 1, StretchMode)),
                     State, false);
        return B;
    };
    TOwned<TBitmap> Last(Draw(7, true, 4));
    EXPECT_EQ(GetPx(Last.get(), 0, 0), Grey(30));  // state 7 of 3 draws the last
    EXPECT_EQ(GetPx(Last.get(), 3, 3), Grey(30));
    TOwned<TBitmap> NoCentre(Draw(1, true, 0));
    EXPECT_EQ(GetPx(NoCentre.get(), 3, 3), Grey(90));
    EXPECT_EQ(GetPx(NoCentre.get(), 3, 0), Grey(20));
    TOwned<TBitmap> Hidden(Draw(0, true, 2 | 4));
    EXPECT_EQ(GetPx(Hidden.get(), 0, 0), Grey(90));
    TOwned<TBitmap> Shown(Draw(1, true, 2 | 4));
    EXPECT_EQ(GetPx(Shown.get(), 3, 3), Grey(20));
    TOwned<TBitmap> Thin(Draw(1, true, 4, TRect{0, 0, 1, 6}));
    EXPECT_EQ(GetPx(Thin.get(), 0, 0), Grey(90));
    TOwned<TBitmap> Stretched(Draw(2, true, 1 | 4));
    EXPECT_EQ(GetPx(Stretched.get(), 2, 3), Grey(30));
    // Without a manager nothing is drawn.
    TOwned<TBitmap> B(MakeBitmap(6, 6, pf24bit, Grey(90)));
    DrawSkinMask(B.get(), TRect{0, 0, 6, 6}, true, EmptyBackgroundSource, Strip(TRect{0, 0, 12, 4}, 3, 0, 1, 1, 1, 1, 4),
                 1, false);
    EXPECT_EQ(GetPx(B.get(), 0, 0), Grey(90));
}

TEST_F(MaskDrawTest, EdgesAreTiledFromTheirStartWithAClosingPartTile) {
    TBitmap* M = Master(4, 3, Grey(10));
    SetPx(M, 1, 0, Grey(20));  // the top edge's tile: B C
    SetPx(M, 2, 0, Grey(30));
    TOwned<TBitmap> B(MakeBitmap(9, 3, pf24bit, Grey(90)));
    DrawSkinMask(B.get(), TRect{0, 0, 9, 3}, false, EmptyBackgroundSource, Bound(Strip(TRect{0, 0, 4, 3}, 1, 0, 1, 1, 1, 1)),
                 0, false);
    EXPECT_EQ(Letters(B.get(), 0, 9), "ABCBCBCBA");
}

TEST_F(MaskDrawTest, MaskPartsBlendAndCornersShowTheBackground) {
    // A 4 x 4 image over its 4 x 4 mask; the top-left pixel is transparent.
    TBitmap* M = Master(4, 8, Grey(200));
    for (int Y = 4; Y < 8; ++Y)
        for (int X = 0; X < 4; ++X)
            SetPx(M, X, Y, Grey(0));
    SetPx(M, 0, 0, Magenta);
    TOwned<TBitmap> B(MakeBitmap(6, 6, pf24bit, Grey(10)));
    DrawSkinMask(B.get(), TRect{0, 0, 6, 6}, false, BackgroundSource{nullptr, 0, 0, 0x0000FF, false},
                 Bound(Strip(TRect{0, 0, 4, 8}, 1, 1, 1, 1, 1, 1)), 0, true);
    EXPECT_EQ(GetPx(B.get(), 0, 0), Red);
    EXPECT_EQ(GetPx(B.get(), 2, 0), Grey(200));
    EXPECT_EQ(GetPx(B.get(), 3, 3), Grey(10));  // no centre without FillCentre
    EXPECT_EQ(GetPx(B.get(), 5, 5), Grey(200));
    // No whole tiles on a zero middle height: the left edge stays, the top edge is drawn.
    Master(4, 4, Grey(200));
    TOwned<TBitmap> Flat(MakeBitmap(6, 6, pf24bit, Grey(10)));
    DrawSkinMask(Flat.get(), TRect{0, 0, 6, 6}, true, EmptyBackgroundSource,
                 Bound(Strip(TRect{0, 0, 4, 4}, 1, 1, 1, 1, 1, 1, 4)), 0, false);
    EXPECT_EQ(GetPx(Flat.get(), 0, 2), Grey(10));
    EXPECT_EQ(GetPx(Flat.get(), 3, 3), Grey(10));
    EXPECT_EQ(GetPx(Flat.get(), 2, 0), Grey(51));  // image 200, mask 200: (200 x 256 - 190 x 200) shr 8
}

TEST_F(MaskDrawTest, GlyphsAreCutAtTheLeftAndGhostedOrMasked) {
    TBitmap* M = Master(30, 2);
    for (int X = 0; X < 30; ++X)
        for (int Y = 0; Y < 2; ++Y)
            SetPx(M, X, Y, Grey(100 + X));
    SetPx(M, 12, 0, Magenta);
    const TsMaskData Glyph = Bound(Strip(TRect{0, 0, 30, 2}, 3, 0, 0, 0, 0, 0));
    TOwned<TBitmap> B(MakeBitmap(12, 2, pf24bit, Grey(0)));
    DrawSkinGlyph(B.get(), TPoint{-3, 0}, 0, 1, Glyph, EmptyBackgroundSource);
    EXPECT_EQ(GetPx(B.get(), 0, 0), Grey(103));
    EXPECT_EQ(GetPx(B.get(), 6, 1), Grey(109));
    EXPECT_EQ(GetPx(B.get(), 7, 1), Grey(0));
    DrawSkinGlyph(B.get(), TPoint{2, 0}, 9, 1, Glyph, EmptyBackgroundSource);
    EXPECT_EQ(GetPx(B.get(), 2, 1), Grey(120));
    TOwned<TBitmap> Ghost(MakeBitmap(12, 2, pf24bit, Grey(0)));
    DrawSkinGlyph(Ghost.get(), TPoint{0, 0}, 1, 0, Glyph, EmptyBackgroundSource);
    EXPECT_EQ(GetPx(Ghost.get(), 1, 0), Grey(56));  // half of 111, ties to even
    EXPECT_EQ(GetPx(Ghost.get(), 2, 0), Grey(0));   // the key pixel is skipped

    struct {
        int Mode, Mask, Expected;
    } const Cases[] = {{1, 0, 200}, {1, 255, 10}, {2, 0, 125}, {2, 100, 51}};
    for (const auto& C : Cases) {
        for (bool OwnBitmap : {false, true}) {
            TOwned<TBitmap> Image(MakeBitmap(2, 4, pf24bit, Grey(200)));
            for (int X = 0; X < 2; ++X)
                for (int Y = 2; Y < 4; ++Y)
                    SetPx(Image.get(), X, Y, Grey(C.Mask));
            FreeAndNil(Manager->MasterBitmap);
            Manager->MasterBitmap = OwnBitmap ? nullptr : Image.get();
            TsMaskData Masked = Bound(Strip(TRect{0, 0, 2, 4}, 1, 1, 0, 0, 0, 0));
            if (OwnBitmap)
                Masked.Bmp = Image.get();
            TOwned<TBitmap> D(MakeBitmap(2, 2, pf32bit, Grey(10, 0)));
            DrawSkinGlyph(D.get(), TPoint{0, 0}, 0, C.Mode, Masked, EmptyBackgroundSource);
            EXPECT_EQ(GetPx(D.get(), 1, 1), Grey(C.Expected, 255)) << C.Mode << " " << C.Mask << " " << OwnBitmap;
            Manager->MasterBitmap = nullptr;
        }
    }
}

TEST_F(MaskDrawTest, TextureTileKeyPixelsTakeWhatLiesBehind) {
    TBitmap* M = Master(2, 4, Grey(0));
    SetPx(M, 0, 0, Magenta);
    SetPx(M, 1, 0, Grey(200));
    const TsMaskData Texture = Bound(Strip(TRect{0, 0, 2, 4}, 1, 1, 0, 0, 0, 0));
    TOwned<TBitmap> Back24(MakeBitmap(3, 3, pf24bit, Grey(7)));
    SetPx(Back24.get(), 1, 1, Grey(77));
    TOwned<TBitmap> Back32(MakeBitmap(3, 3, pf32bit, Grey(8)));
    struct {
        BackgroundSource Background;
        TPx Key;
    } const Cases[] = {
        {BackgroundSource{nullptr, 0, 0, 0x0000FF, false}, Red},
        {BackgroundSource{nullptr, 0, 0, 0xFF00FF, false}, Grey(10)},
        {MakeBackgroundSource(Back24.get(), 1, 1), Grey(77)},
        {MakeBackgroundSource(Back32.get(), 0, 0), Grey(8)},
        {BackgroundSource{Back32.get(), 0, 0, 0x00FF00, true}, TPx{0, 255, 0}},
        {MakeBackgroundSource(Back24.get(), 5, 5), Grey(10)},  // outside the background
    };
    for (const auto& C : Cases) {
        TOwned<TBitmap> D(MakeBitmap(2, 2, pf24bit, Grey(10)));
        DrawMaskedTextureTile(TRect{0, 0, 2, 2}, TRect{0, 0, 2, 2}, D.get(), Texture, C.Background);
        EXPECT_EQ(GetPx(D.get(), 0, 0), C.Key);
        EXPECT_EQ(GetPx(D.get(), 1, 0), Grey(200));
    }
    // A negative origin moves both rectangles.
    TOwned<TBitmap> D(MakeBitmap(2, 2, pf24bit, Grey(10)));
    DrawMaskedTextureTile(TRect{-1, 0, 1, 2}, TRect{0, 0, 2, 2}, D.get(), Texture, EmptyBackgroundSource);
    EXPECT_EQ(GetPx(D.get(), 0, 0), Grey(200));
    EXPECT_EQ(GetPx(D.get(), 1, 0), Grey(10));
}

TEST_F(MaskDrawTest, CacheCornersShowTheParentsColour) {
    TBitmap* M = Master(6, 6, Grey(50));
    SetPx(M, 0, 0, Magenta);
    SetPx(M, 5, 5, Magenta);
    Manager->MaskList.push_back(Bound(Strip(TRect{0, 0, 6, 6}, 1, 0, 2, 2, 2, 2)));
    auto* Panel = Place<TSkinTestPanel>(10, 10, 20, 20);
    TsCommonData* D = Panel->SkinData;
    D->BorderMaskIndex = 0;
    D->PrepareCacheBitmap();
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 20; ++X)
            SetPx(D->CacheBitmap, X, Y, Grey(9));
    PaintAllCacheCorners(D, 0);
    const TPx Face = PxOf(ColorToRGB(clBtnFace));
    EXPECT_EQ(GetPx(D->CacheBitmap, 0, 0), Face);
    EXPECT_EQ(GetPx(D->CacheBitmap, 19, 19), Face);
    EXPECT_EQ(GetPx(D->CacheBitmap, 1, 1), Grey(9));
    SetPx(D->CacheBitmap, 0, 0, Grey(9));
    PaintCacheCorners(D, 0, 8);  // the bottom-right corner alone
    EXPECT_EQ(GetPx(D->CacheBitmap, 0, 0), Grey(9));
    D->BorderMaskIndex = 5;
    PaintCacheCorners(D, 0, 15);
    EXPECT_EQ(GetPx(D->CacheBitmap, 0, 0), Grey(9));
}

TEST_F(MaskDrawTest, DisabledLookGreysFirstAndBlendsSecond) {
    TOwned<TBitmap> Back(MakeBitmap(4, 4, pf24bit, Grey(100)));
    const TColor Face = ColorToRGB(clBtnFace);
    struct {
        TsDisabledKind Kind;
        BackgroundSource Background;
        TPx Expected;
    } const Cases[] = {
        {TsDisabledKind{dkGrayed}, EmptyBackgroundSource, Grey(30)},
        {TsDisabledKind{dkGrayed, dkBlended}, MakeBackgroundSource(Back.get(), 1, 1), Grey(72)},
        {TsDisabledKind{dkGrayed, dkBlended}, BackgroundSource{nullptr, 0, 0, 0, false}, Grey(15)},
        {TsDisabledKind{dkBlended}, BackgroundSource{nullptr, 0, 0, 0xFF00FF, false},
         PxOf(MixColors(0x00005A, Face, 0.5))},
    };
    for (const auto& C : Cases) {
        TOwned<TBitmap> B(MakeBitmap(2, 2, pf24bit, TPx{0, 0, 90}));
        PaintDisabledLook(B.get(), C.Kind, Form, C.Background, TPoint{1, 1});
        EXPECT_EQ(GetPx(B.get(), 1, 1), C.Expected);
    }
}

TEST_F(MaskDrawTest, KeyColouredPixelsAreReplacedWholeIgnoringAlpha) {
    TOwned<TBitmap> Src(MakeBitmap(3, 3, pf32bit, TPx{5, 5, 5, 6}));
    TOwned<TBitmap> Dst(MakeBitmap(3, 3, pf32bit, Grey(9, 9)));
    SetPx(Dst.get(), 1, 1, TPx{255, 0, 255, 77});
    CopyKeyColoredPixels(Dst.get(), Src.get(), TRect{0, 0, 3, 3}, TRect{0, 0, 3, 3}, -1, nullptr, 0);
    EXPECT_EQ(GetPx(Dst.get(), 1, 1), (TPx{5, 5, 5, 6}));
    EXPECT_EQ(GetPx(Dst.get(), 0, 0), Grey(9, 9));
    // With a mask: where its bottom-right corner is transparent.
    TBitmap* M = Master(4, 4, Grey(50));
    SetPx(M, 3, 3, Magenta);
    Manager->MaskList.push_back(Bound(Strip(TRect{0, 0, 4, 4}, 1, 0, 2, 2, 2, 2)));
    TOwned<TBitmap> Corner(MakeBitmap(3, 3, pf32bit, Grey(9, 9)));
    CopyKeyColoredPixels(Corner.get(), Src.get(), TRect{1, 1, 3, 3}, TRect{0, 0, 2, 2}, 0, Manager, HTBOTTOMRIGHT);
    EXPECT_EQ(GetPx(Corner.get(), 2, 2), (TPx{5, 5, 5, 6}));
    EXPECT_EQ(GetPx(Corner.get(), 1, 1), Grey(9, 9));
}
