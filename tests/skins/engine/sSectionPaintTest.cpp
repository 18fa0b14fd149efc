#include "SkinPixelSupport.h"

#include "sGradient.h"
#include "sGraphUtils.h"
#include "sSectionPaint.h"

#include <memory>

using namespace skintests;

namespace {
TPx Grey(int V) { return TPx{V, V, V}; }
constexpr TPx Magenta{255, 0, 255};

// One section "PANEL" of a known colour on a default manager with a master bitmap the test paints.
class SectionPaintTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        MakeManager({{"PANEL", 0xC8C8C8}});
        Manager->MasterBitmap = MakeBitmap(40, 40, pf24bit, Grey(0));
    }
    TsGeneralData& Panel() { return Manager->SectionList[0]; }
    // A texture of W x H at (X, Y) of the master bitmap, every pixel Fill.
    int AddTexture(int X, int Y, int W, int H, TPx Fill, int StretchMode) {
        for (int Row = Y; Row < Y + H; ++Row)
            for (int Col = X; Col < X + W; ++Col)
                SetPx(Manager->MasterBitmap, Col, Row, Fill);
        TsMaskData M;
        M.SectionName = "PANEL";
        M.PropertyName = "PATTERN";
        M.R = TRect{X, Y, X + W, Y + H};
        M.ImageCount = 1;
        M.StretchMode = SmallInt(StretchMode);
        M.ImgType = itisaTexture;
        M.Manager = Manager;
        Manager->MaskList.push_back(M);
        return static_cast<int>(Manager->MaskList.size()) - 1;
    }
    void Paint(TBitmap* Target, BackgroundSource Background, TRect R, int TextureIndex = -1, int State = 0) {
        PaintSkinSection(0, "PANEL", Background, 0xFF00FF, -1, TextureIndex, Manager, Target, TPoint{0, 0}, R, State);
    }
};

BackgroundSource ColourBehind(TColor C) {
    BackgroundSource B;
    B.Color = C;
    return B;
}
}  // namespace

TEST_F(SectionPaintTest, TransparencyMixesTheSectionWithWhatLiesBehind) {
    TOwned<TBitmap> Parent(MakeBitmap(8, 8, pf24bit, Grey(40)));
    SetPx(Parent.get(), 3, 2, Grey(90));
    struct {
        int Transparency;
        bool OverBitmap;
        TPx Expected;
    } const Cases[] = {
        {0, true, Grey(200)},    // opaque: the section colour
        {100, true, Grey(90)},   // the parent's pixel unchanged (offset 2, 1 in the parent)
        {100, false, Grey(60)},  // the parent's colour
        {50, true, Grey((90 * 127 + 200 * 128 + 127) >> 8)},
        {50, false, Grey(130)},  // plain colours mixed evenly
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Transparency);
        Panel().Transparency = C.Transparency;
        TOwned<TBitmap> Target(MakeBitmap(6, 6, pf24bit, Grey(0)));
        BackgroundSource Behind = C.OverBitmap ? MakeBackgroundSource(Parent.get(), 2, 1) : ColourBehind(0x3C3C3C);
        Paint(Target.get(), Behind, TRect{0, 0, 6, 6});
        EXPECT_EQ(GetPx(Target.get(), 1, 1), C.Expected);
    }
}

TEST_F(SectionPaintTest, GradientKeepsItsPercentAndTakesTheRestOfTheColour) {
    Panel().GradientPercent = 30;
    Panel().GradientData = "0;0;100;0;0;";
    ParseGradientData(Panel().GradientData, Panel().Gradient);
    TOwned<TBitmap> Target(MakeBitmap(5, 5, pf24bit, Grey(7)));
    Paint(Target.get(), ColourBehind(0xFF00FF), TRect{0, 0, 5, 5});
    // 30 % of black, 70 % of 200, in every pixel including the last column and row.
    EXPECT_EQ(GetPx(Target.get(), 0, 0), Grey(140));
    EXPECT_EQ(GetPx(Target.get(), 4, 4), Grey(140));
}

TEST_F(SectionPaintTest, TextureModesCoverTheirPartAndLeaveTheRestToTheColour) {
    Panel().ImagePercent = 100;
    struct {
        int StretchMode;
        int Row;           // the row inspected in column 0
        bool FromTexture;  // texture pixel there, else the section colour
    } const Cases[] = {
        {0, 9, true},   {2, 2, true},  {2, 3, false},  // a row of tiles along the top, then colour
        {6, 9, true},   {6, 6, false},                 // along the bottom
        {10, 3, true},  {10, 8, true}, {10, 9, false}, // rows of tiles while more than a tile's height follows
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << "mode " << C.StretchMode << " row " << C.Row);
        Manager->MaskList.clear();
        int Texture = AddTexture(0, 0, 4, 3, Grey(50), C.StretchMode);
        TOwned<TBitmap> Target(MakeBitmap(8, 10, pf24bit, Grey(7)));
        Paint(Target.get(), ColourBehind(0xFF00FF), TRect{0, 0, 8, 10}, Texture);
        // In mode 10 the untiled bottom is left as it was; elsewhere it takes the section colour.
        TPx Rest = C.StretchMode == 10 ? Grey(7) : Grey(200);
        EXPECT_EQ(GetPx(Target.get(), 0, C.Row), C.FromTexture ? Grey(50) : Rest);
    }
}

TEST_F(SectionPaintTest, TextureTwoTilesHighDrawsOneRowOnly) {
    TsMaskData M;
    M.R = TRect{0, 0, 2, 2};
    M.ImageCount = 1;
    M.Manager = Manager;
    SetPx(Manager->MasterBitmap, 0, 0, Grey(70));
    TOwned<TBitmap> Target(MakeBitmap(4, 4, pf24bit, Grey(9)));
    TRect R{0, 0, 4, 4};
    DrawTexture(Target->Canvas(), R, nullptr, 10, M);
    EXPECT_TRUE(R.IsEmpty());
    EXPECT_EQ(GetPx(Target.get(), 2, 0), Grey(70));
    EXPECT_EQ(GetPx(Target.get(), 2, 2), Grey(9));
}

TEST_F(SectionPaintTest, UnusableInputsPaintNothing) {
    TOwned<TBitmap> Target(MakeBitmap(4, 4, pf24bit, Grey(9)));
    const TRect Outside[] = {{-1, 0, 3, 3}, {0, 0, 5, 4}, {2, 2, 2, 4}};
    for (const TRect& R : Outside)
        Paint(Target.get(), ColourBehind(0), R);
    PaintSkinSection(3, "NONE", ColourBehind(0), 0xFF00FF, -1, -1, Manager, Target.get(), TPoint{}, TRect{0, 0, 4, 4}, 0);
    EXPECT_EQ(PaintSkinItemByName(Target.get(), "NONE", "MISSING", nullptr, 0, TRect{0, 0, 4, 4}, Manager, 0), -1);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X)
            ASSERT_EQ(GetPx(Target.get(), X, Y), Grey(9));
    EXPECT_EQ(PaintSkinItemByName(Target.get(), "NONE", "PANEL", nullptr, 0, TRect{0, 0, 4, 4}, Manager, 0), 0);
    EXPECT_EQ(GetPx(Target.get(), 3, 3), Grey(200));
}

TEST_F(SectionPaintTest, CustomColourReplacesTheSectionAndItsTransparency) {
    Panel().Transparency = 100;
    TOwned<TBitmap> Target(MakeBitmap(4, 4, pf32bit, Grey(9)));
    PaintSkinSection(0, "PANEL", ColourBehind(0), 0x0000FF, -1, -1, Manager, Target.get(), TPoint{}, TRect{0, 0, 4, 4}, 0);
    EXPECT_EQ(GetPx(Target.get(), 1, 1), (TPx{0, 0, 255, 255}));
}

TEST_F(SectionPaintTest, ControlSkinDrawsCornerImagesAtTheRectangleCorners) {
    // A 2 x 2 corner image at (10, 10) of the master bitmap, its top-left pixel transparent.
    for (int Y = 10; Y < 12; ++Y)
        for (int X = 10; X < 12; ++X)
            SetPx(Manager->MasterBitmap, X, Y, Grey(30));
    SetPx(Manager->MasterBitmap, 10, 10, Magenta);
    TsMaskData Corner;
    Corner.R = TRect{10, 10, 12, 12};
    Corner.ImageCount = 1;
    Corner.Manager = Manager;
    Manager->MaskList.push_back(Corner);
    Panel().ImgBR = 0;
    auto* Panel1 = Place<TSkinTestPanel>(0, 0, 6, 5);
    Panel1->SkinData->SectionIndex = 0;
    TOwned<TBitmap> Target(MakeBitmap(6, 5, pf24bit, Grey(9)));
    PaintControlSkin(Panel1->SkinData, ColourBehind(0), false, true, 0, Target.get(), TPoint{}, TRect{0, 0, 6, 5});
    EXPECT_EQ(GetPx(Target.get(), 4, 3), Grey(200));  // the key pixel shows the section
    EXPECT_EQ(GetPx(Target.get(), 5, 4), Grey(30));
    EXPECT_EQ(GetPx(Target.get(), 0, 0), Grey(200));
}

TEST_F(SectionPaintTest, CornerHolesBecomeRunsOfOnePixelHighRectangles) {
    // Left corner row: magenta, magenta, white, magenta; the right corner is all white.
    TPx Row[] = {Magenta, Magenta, Grey(255), Magenta, Grey(255), Grey(255), Grey(255), Grey(255)};
    for (int X = 0; X < 8; ++X)
        SetPx(Manager->MasterBitmap, 20 + X, 30, Row[X]);
    SetPx(Manager->MasterBitmap, 27, 31, Magenta);  // bottom row, last column of the right corner
    TsMaskData M;
    M.R = TRect{20, 30, 28, 32};
    M.ImageCount = 1;
    M.WL = M.WR = 4;
    M.WT = M.WB = 1;
    M.Manager = Manager;
    TAOR Rects;
    AddCornerHoleRects(Rects, 8, M, false, 0);
    ASSERT_EQ(Rects.size(), 2u);
    EXPECT_EQ(Rects[0], (TRect{0, 0, 2, 1}));
    EXPECT_EQ(Rects[1], (TRect{3, 0, 4, 1}));
    Rects.clear();
    AddCornerHoleRects(Rects, 100, M, true, 50);  // right-corner columns move to the window's width
    ASSERT_EQ(Rects.size(), 1u);
    EXPECT_EQ(Rects[0], (TRect{99, 50, 100, 51}));
}

TEST_F(SectionPaintTest, BorderWithMinimumBandLeavesTheInnerClientArea) {
    auto* Panel1 = Place<TSkinTestPanel>(0, 0, 20, 10);
    Panel1->SkinData->SectionIndex = 0;
    HDC DC = GetDC(nullptr);
    TRect Client;
    PaintSkinBorder(DC, TRect{0, 0, 20, 10}, 3, Panel1->SkinData, 0, Client);
    EXPECT_EQ(Client, (TRect{3, 3, 17, 7}));
    PaintSkinBorder(DC, TRect{0, 0, 4, 4}, 3, Panel1->SkinData, 0, Client);
    EXPECT_EQ(Client, (TRect{3, 3, 3, 3}));  // never turned inside out
    ReleaseDC(nullptr, DC);
}
