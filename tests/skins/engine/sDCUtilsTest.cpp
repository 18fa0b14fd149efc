#include "SkinPixelSupport.h"

#include "sDCUtils.h"
#include "sGraphUtils.h"

using namespace skintests;

namespace {
class DCUtilsTest : public SkinTest {};

TPx Grey(int V, int A = 0) { return TPx{V, V, V, A}; }

// Whether some pixel of the bitmap is exactly P (alpha ignored).
bool HasPixel(TBitmap* B, TPx P) {
    for (int Y = 0; Y < B->Height(); ++Y)
        for (int X = 0; X < B->Width(); ++X) {
            TPx Q = GetPx(B, X, Y);
            if (Q.B == P.B && Q.G == P.G && Q.R == P.R)
                return true;
        }
    return false;
}

// Whether some pixel leans toward blue (text edges are smoothed, so outline pixels are mixed).
bool HasBluish(TBitmap* B) {
    for (int Y = 0; Y < B->Height(); ++Y)
        for (int X = 0; X < B->Width(); ++X) {
            TPx Q = GetPx(B, X, Y);
            if (Q.B > Q.R + 30 && Q.B > Q.G + 30)
                return true;
        }
    return false;
}

// A white 8-bit grey DIB of one row with a black pixel at X.
TBitmap* GreyRow(int Width, int BlackAt) {
    TBitmap* B = Create<TBitmap>();
    B->SetPixelFormat(pf8bit);
    B->SetHandleType(bmDIB);
    B->SetSize(Width, 1);
    auto* Row = static_cast<BYTE*>(B->ScanLine(0));
    for (int X = 0; X < Width; ++X)
        Row[X] = X == BlackAt ? 0 : 255;
    return B;
}
}  // namespace

TEST_F(DCUtilsTest, StripsAreFilledAndCopiedAroundTheCentre) {
    TOwned<TBitmap> B(MakeBitmap(10, 10, pf24bit, Grey(255)));
    HDC DC = B->Canvas()->Handle();
    FillBorderSolid(DC, TRect{0, 0, 10, 10}, 0, clBlack, 0, 0, 0);
    EXPECT_FALSE(HasPixel(B.get(), Grey(0)));
    FillBorderSolid(DC, TRect{1, 1, 9, 9}, 1, 0x0000FF, 3, 2, 1);
    EXPECT_EQ(GetPx(B.get(), 1, 1), (TPx{0, 0, 255}));     // top strip
    EXPECT_EQ(GetPx(B.get(), 1, 8), (TPx{0, 0, 255}));     // left strip
    EXPECT_EQ(GetPx(B.get(), 5, 6), (TPx{0, 0, 255}));     // bottom strip, 3 high
    EXPECT_EQ(GetPx(B.get(), 7, 3), (TPx{0, 0, 255}));     // right strip, 2 wide
    EXPECT_EQ(GetPx(B.get(), 5, 5), Grey(255));
    TOwned<TBitmap> D(MakeBitmap(10, 10, pf24bit, Grey(9)));
    CopyBorderStrips(D->Canvas()->Handle(), 0, 0, 1, DC, 1, 1, 8, 8);
    EXPECT_EQ(GetPx(D.get(), 0, 7), (TPx{0, 0, 255}));
    EXPECT_EQ(GetPx(D.get(), 7, 0), (TPx{0, 0, 255}));
    EXPECT_EQ(GetPx(D.get(), 3, 3), Grey(9));
    FillRectSolid(DC, TRect{4, 4, 6, 6}, clBtnFace);
    EXPECT_EQ(GetPx(B.get(), 5, 5), PxOf(ColorToRGB(clBtnFace)));
}

TEST_F(DCUtilsTest, TextIsCutWithDots) {
    TOwned<TBitmap> B(MakeBitmap(4, 4, pf24bit));
    TCanvas* C = B->Canvas();
    const std::string Long = "A rather long caption";
    std::string R;
    CutTextToWidth(C, Long, 0, R);
    EXPECT_EQ(R, "");
    CutTextToWidth(C, "Short", 1000, R);
    EXPECT_EQ(R, "Short");
    const int Half = C->TextWidth(Long) / 2;
    CutTextToWidth(C, Long, Half, R);
    ASSERT_GT(R.size(), 3u);
    EXPECT_EQ(R.substr(R.size() - 3), "...");
    EXPECT_LE(C->TextWidth(R), Half);
    EXPECT_EQ(Long.compare(0, R.size() - 3, R, 0, R.size() - 3), 0);
    CutTextToWidth(C, Long, C->TextWidth("A...") - 1, R);
    EXPECT_EQ(R, "");
    EXPECT_EQ(CanvasTextWidth(C, Long), C->TextWidth(Long));
}

TEST_F(DCUtilsTest, BlurKernelStopsWhereItsTailsWeighLessThanHalfAGreyLevel) {
    // Sigma 1 keeps two taps a side: the third neighbour stays white.
    TOwned<TBitmap> Narrow(GreyRow(21, 10));
    BlurBitmap8(Narrow.get(), 1);
    const BYTE* Row = static_cast<BYTE*>(Narrow->ScanLine(0));
    EXPECT_LT(Row[12], 255);
    EXPECT_EQ(Row[13], 255);
    EXPECT_LT(Row[10], 255);
    EXPECT_EQ(Row[0], 255);  // a sum of exactly 255 stays 255
    // A wide kernel has at most 100 taps a side; the outermost pair alone already weighs more than
    // half a grey level, so 99 are kept.
    TOwned<TBitmap> Wide(GreyRow(301, 150));
    BlurBitmap8(Wide.get(), 100);
    Row = static_cast<BYTE*>(Wide->ScanLine(0));
    EXPECT_EQ(Row[249], 254);
    EXPECT_EQ(Row[250], 255);
    EXPECT_EQ(Row[51], 254);
    EXPECT_EQ(Row[50], 255);
    // Other formats are left alone.
    TOwned<TBitmap> Colour(MakeBitmap(3, 3, pf24bit, Grey(255)));
    SetPx(Colour.get(), 1, 1, Grey(0));
    BlurBitmap8(Colour.get(), 1);
    EXPECT_EQ(GetPx(Colour.get(), 0, 1), Grey(255));
}

TEST_F(DCUtilsTest, ShadowDarkensTowardItsColourAndTheCacheIsMatchedBySize) {
    auto Shadowed = [](const std::string& Text, TBitmap*& Cache, TPixelFormat Format) {
        TBitmap* B = MakeBitmap(60, 40, Format, Grey(255, 200));
        WriteTextWithShadow(B, Text, TRect{10, 10, 50, 30}, Cache, 0x0000FF, 2, 15, DT_LEFT);
        return B;
    };
    TBitmap* Cache = nullptr;
    TOwned<TBitmap> First(Shadowed("WWW", Cache, pf24bit));
    ASSERT_NE(Cache, nullptr);
    EXPECT_EQ(Cache->Width(), 52);  // the text rectangle and 2 + 4 on each side
    EXPECT_EQ(Cache->Height(), 32);
    EXPECT_EQ(Cache->PixelFormat(), pf8bit);
    EXPECT_EQ(GetPx(First.get(), 0, 0), Grey(255));  // outside the shadow area
    TPx Darkest = Grey(255);
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 60; ++X) {
            TPx P = GetPx(First.get(), X, Y);
            EXPECT_EQ(P.R, 255);  // moving toward red never changes the red channel of white
            if (P.G < Darkest.G)
                Darkest = P;
        }
    EXPECT_LT(Darkest.G, 200);
    EXPECT_EQ(Darkest.B, Darkest.G);
    // Another text with a cache of the right size draws the old shadow.
    TOwned<TBitmap> Second(Shadowed("i", Cache, pf24bit));
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 60; ++X)
            ASSERT_EQ(GetPx(Second.get(), X, Y), GetPx(First.get(), X, Y));
    // 32-bit: alpha becomes max(0, a + m - 255).
    TOwned<TBitmap> Alpha(Shadowed("WWW", Cache, pf32bit));
    bool Lowered = false;
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 60; ++X)
            Lowered = Lowered || GetPx(Alpha.get(), X, Y).A < 200;
    EXPECT_TRUE(Lowered);
    EXPECT_EQ(GetPx(Alpha.get(), 0, 0).A, 200);
    FreeAndNil(Cache);
}

TEST_F(DCUtilsTest, GlyphAndCaptionLayout) {
    struct {
        TRect Client;
        int Layout, Alignment, Margin, Spacing;
        UINT BiDi;
        TPoint Glyph;
        TRect Text;
    } const Cases[] = {
        // evenly spread: Margin = Spacing = (100 - 56) div 3 = 14
        {{0, 0, 100, 25}, 0, 0, -1, -1, 0, {14, 5}, {44, 6, 84, 19}},
        {{10, 20, 110, 45}, 0, 0, -1, -1, 0, {24, 25}, {54, 26, 94, 39}},
        // glyph right, right aligned, margin 2 (Margin -1 with a given spacing)
        {{0, 0, 100, 25}, 1, 1, -1, 4, 0, {82, 5}, {38, 6, 78, 19}},
        // the right-to-left flag turns glyph left into glyph right
        {{0, 0, 100, 25}, 0, 1, -1, 4, 2, {82, 5}, {38, 6, 78, 19}},
        // centred, glyph left: (100 - 40 - 4 - 16) div 2 = 20
        {{0, 0, 100, 25}, 0, 2, -1, 4, 0, {20, 5}, {40, 6, 80, 19}},
        // glyph above, V = (60 - 16 - 3 - 13) div 2 = 14
        {{0, 0, 100, 60}, 2, 0, 5, 3, 0, {42, 14}, {30, 33, 70, 46}},
        // glyph below
        {{0, 0, 100, 60}, 3, 0, 5, 3, 0, {42, 30}, {30, 14, 70, 27}},
        // a given margin with a negative spacing: (100 - 10 - 16 - 40) div 2 = 17
        {{0, 0, 100, 25}, 0, 0, 10, -1, 0, {10, 5}, {43, 6, 83, 19}},
    };
    for (const auto& C : Cases) {
        TRect Text;
        TPoint Glyph;
        LayoutGlyphAndCaption(C.Client, TPoint{16, 16}, TPoint{40, 13}, C.BiDi, Text, Glyph, C.Margin, C.Spacing,
                              static_cast<TAlignment>(C.Alignment), static_cast<TButtonLayout>(C.Layout));
        EXPECT_EQ(Glyph, C.Glyph) << C.Layout << "/" << C.Alignment;
        EXPECT_EQ(Text, C.Text) << C.Layout << "/" << C.Alignment;
    }
    // Without a caption the spacing is 0.
    TRect Text;
    TPoint Glyph;
    LayoutGlyphAndCaption(TRect{0, 0, 100, 25}, TPoint{16, 16}, TPoint{0, 0}, 0, Text, Glyph, 4, 9, taLeftJustify,
                          blGlyphLeft);
    EXPECT_EQ(Text.Left, 20);
}

TEST_F(DCUtilsTest, BevelsAndDottedFrames) {
    TOwned<TBitmap> B(MakeBitmap(10, 10, pf24bit, Grey(128)));
    TRect R{1, 1, 9, 9};
    int Count = 2;
    DrawBevelLines(B->Canvas()->Handle(), R, clWhite, Count, clBlack);
    EXPECT_EQ(Count, 0);
    EXPECT_EQ(R, (TRect{3, 3, 7, 7}));
    EXPECT_EQ(GetPx(B.get(), 1, 1), Grey(255));
    EXPECT_EQ(GetPx(B.get(), 8, 8), Grey(0));
    EXPECT_EQ(GetPx(B.get(), 2, 6), Grey(255));
    EXPECT_EQ(GetPx(B.get(), 7, 2), Grey(0));
    EXPECT_EQ(GetPx(B.get(), 4, 4), Grey(128));

    TOwned<TBitmap> F(MakeBitmap(12, 12, pf24bit, Grey(128)));
    DrawDottedFrame(F->Canvas(), TRect{2, 2, 8, 8});
    EXPECT_EQ(GetPx(F.get(), 2, 2), Grey(0));
    EXPECT_EQ(GetPx(F.get(), 3, 2), Grey(128));
    EXPECT_EQ(GetPx(F.get(), 5, 8), Grey(0));
    EXPECT_EQ(GetPx(F.get(), 8, 5), Grey(0));
    EXPECT_EQ(GetPx(F.get(), 1, 1), Grey(255));
    EXPECT_EQ(GetPx(F.get(), 4, 7), Grey(255));
}

TEST_F(DCUtilsTest, SectionTextUsesTheSectionsColours) {
    MakeManager({{"GLOBALINFO", 0xFFFFFF}, {"LABEL", 0x00FF00, 0, 0, 0, 0x0000FF}});
    Manager->SectionList[1].FontColor[1] = 0xFF0000;  // outline on the left
    auto Draw = [&](bool Enabled, TsSkinManager* M) {
        TBitmap* B = MakeBitmap(80, 30, pf24bit, Grey(255));
        B->Canvas()->Font()->SetSize(14);
        DrawSectionText(B->Canvas(), "HIH", Enabled, M, false, 1, DT_LEFT, TRect{5, 5, 75, 28});
        return B;
    };
    TOwned<TBitmap> Normal(Draw(true, nullptr));
    EXPECT_TRUE(HasPixel(Normal.get(), TPx{0, 0, 255}));
    EXPECT_TRUE(HasBluish(Normal.get()));  // the outline left of the strokes (edges may be smoothed)
    TOwned<TBitmap> Disabled(Draw(false, Manager));
    EXPECT_TRUE(HasPixel(Disabled.get(), PxOf(MixColors(0x0000FF, 0x00FF00, 0.4))));
    EXPECT_FALSE(HasBluish(Disabled.get()));
    FreeAndNil(Manager);
    TOwned<TBitmap> NoManager(Draw(true, nullptr));
    EXPECT_FALSE(HasPixel(NoManager.get(), TPx{0, 0, 255}));
}

TEST_F(DCUtilsTest, ControlTextIsClippedAndDisabledTextMixesWithTheMainColour) {
    MakeManager({{"GLOBALINFO", 0x000000}, {"PANEL", 0x00FF00, 0, 0, 0, 0x0000FF}});
    auto* Panel = Place<TSkinTestPanel>(10, 10, 100, 40);
    Panel->SkinData->SetSkinSection("PANEL");
    Panel->Font()->SetSize(14);
    TOwned<TBitmap> B(MakeBitmap(100, 40, pf24bit, Grey(255)));
    DrawControlText(B->Canvas(), "HHHHHHHH", true, false, Panel->SkinData, DT_LEFT, TRect{5, 5, 30, 35});
    EXPECT_TRUE(HasPixel(B.get(), TPx{0, 0, 255}));
    for (int Y = 0; Y < 40; ++Y)
        EXPECT_EQ(GetPx(B.get(), 31, Y), Grey(255)) << Y;  // clipped to the rectangle
    TOwned<TBitmap> D(MakeBitmap(100, 40, pf24bit, Grey(255)));
    DrawControlText(D->Canvas(), "HHH", false, false, Panel->SkinData, DT_LEFT, TRect{5, 5, 95, 35});
    EXPECT_TRUE(HasPixel(D.get(), PxOf(MixColors(0x0000FF, 0x000000, 0.4))));
}
