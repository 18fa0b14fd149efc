#include "TreeListTestSupport.h"
#include "dxDrawUtils.h"

#include <memory>

using namespace treelist_tests;

namespace {
struct DrawUtilsTest : TreeListTest {
    std::unique_ptr<TBitmap, TObjectDeleter> Bmp{SolidBitmap(60, 20, clWhite)};
    HDC DC() { return Bmp->Canvas()->Handle(); }
    HFONT Font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
    HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    ~DrawUtilsTest() override { DeleteObject(Red); }
    // Columns holding at least one pixel of the colour, within the rows.
    int LastColumnWith(COLORREF C, int Top = 0, int Bottom = 20) {
        int Last = -1;
        for (int X = 0; X < Bmp->Width(); ++X)
            for (int Y = Top; Y < Bottom; ++Y)
                if (PixelAt(Bmp.get(), X, Y) == C)
                    Last = X;
        return Last;
    }
};
}  // namespace

TEST_F(DrawUtilsTest, MinBitmapSizeOnlyGrows) {
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(20, 10, clWhite));
    SetMinBitmapSize(B.get(), 10, 30);
    EXPECT_EQ(20, B->Width());
    EXPECT_EQ(30, B->Height());
}

TEST_F(DrawUtilsTest, HalftoneCoversEveryOtherPixel) {
    DrawHalftoneRect(DC(), TRect{0, 0, 8, 8}, clBlue);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
            EXPECT_EQ(((X + Y) % 2 == 0) ? RGB(0, 0, 255) : RGB(255, 255, 255), PixelAt(Bmp.get(), X, Y))
                << X << "," << Y;
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(Bmp.get(), 8, 0));
}

TEST_F(DrawUtilsTest, WideTextIsClippedAtTextRectAndTheRestOfTheCellFilled) {
    const char* Text = "WWWWWWWWWWWWWW";
    TRect TextR{0, 0, 30, 20}, Cell{0, 0, 50, 20};
    DrawCellText(DC(), Text, 14, nullptr, RGB(0, 0, 0), RGB(0, 255, 0), Font, Red, 0, TextR, Cell);
    EXPECT_LE(LastColumnWith(RGB(0, 0, 0)), 29);      // the text stops at the text rectangle
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 40, 10));  // the rest of the cell takes the brush
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(Bmp.get(), 55, 10));
}

TEST_F(DrawUtilsTest, AlignmentPlacesTheTextInTheRect) {
    struct Case {
        Word Flags;
        int MinLeft, MaxRight;
    };
    // A 3-character text in a 60-pixel cell: left starts at 0, right ends at the last column.
    for (const Case& C : {Case{0, 0, 30}, Case{dxCellText::Right, 30, 59}, Case{dxCellText::Centre, 10, 50}}) {
        Bmp.reset(SolidBitmap(60, 20, clWhite));
        DrawCellText(DC(), "WWW", 3, nullptr, RGB(0, 0, 0), RGB(255, 255, 255), Font, Red, C.Flags,
                     TRect{0, 0, 60, 20}, TRect{0, 0, 60, 20});
        int First = -1;
        for (int X = 59; X >= 0; --X)
            for (int Y = 0; Y < 20; ++Y)
                if (PixelAt(Bmp.get(), X, Y) == RGB(0, 0, 0))
                    First = X;
        EXPECT_GE(First, C.MinLeft) << C.Flags;
        EXPECT_LE(LastColumnWith(RGB(0, 0, 0)), C.MaxRight) << C.Flags;
    }
}

TEST_F(DrawUtilsTest, LineFeedWithoutEllipsisStaysOnOneLine) {
    // The single-line path draws the line feed as a glyph on the first line: nothing below it.
    TRect R{0, 0, 60, 40};
    int LineH = 0;
    int Needed = DrawCellText(DC(), "A\nB", 3, &LineH, 0, 0, Font, Red, dxCellText::MeasureOnly, R, R);
    EXPECT_EQ(LineH, Needed);
    int Wrapped = DrawCellText(DC(), "A\nB", 3, &LineH, 0, 0, Font, Red,
                               dxCellText::MeasureOnly | dxCellText::WordWrap, R, R);
    EXPECT_EQ(2 * LineH, Wrapped);
}

TEST_F(DrawUtilsTest, MeasureAddsTheCellMarginsToTheTextHeight) {
    int LineH = 0;
    int Needed = DrawCellText(DC(), "Abc", 3, &LineH, 0, 0, Font, Red, dxCellText::MeasureOnly, TRect{2, 3, 60, 13},
                              TRect{0, 0, 60, 20});
    EXPECT_GT(LineH, 0);
    EXPECT_EQ(20 - 10 + LineH, Needed);
    EXPECT_EQ(0, DrawCellText(DC(), "", 0, &LineH, 0, 0, Font, Red, dxCellText::MeasureOnly, TRect{}, TRect{}) == 0
                     ? 0
                     : 1);
}

TEST_F(DrawUtilsTest, TransparentBitmapColourTakesTheBrush) {
    std::unique_ptr<TBitmap, TObjectDeleter> Src(SolidBitmap(4, 4, clFuchsia));
    Src->Canvas()->SetPixels(1, 1, clBlue);
    Src->SetTransparentColor(clFuchsia);
    DrawTransparentBitmap(DC(), Red, TRect{10, 5, 14, 9}, Src.get());
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 10, 5));
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(Bmp.get(), 11, 6));
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(Bmp.get(), 14, 5));

    DrawTransparentBitmapInRect(DC(), Red, TRect{30, 0, 40, 10}, Src.get(), TRect{32, 2, 36, 6});
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 30, 0));   // the clip rectangle is filled
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(Bmp.get(), 33, 3));   // the image lands at DestRect
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 32, 2));
}

TEST_F(DrawUtilsTest, ShadowEdgesFillBottomAndRightStrips) {
    FillShadowEdges(DC(), TRect{0, 0, 10, 10}, 2, Red);
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 0, 9));
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 9, 0));
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(Bmp.get(), 7, 7));
}

TEST_F(DrawUtilsTest, PopupOpensAboveOnlyWithMoreRoomThere) {
    TRect W;
    GetWorkArea(TPoint{10, 10}, W);
    // Owner 20 high near the bottom: below it 10 pixels, above it far more.
    TPoint P{W.Left - 5, W.Bottom - 10};
    FitPopupToWorkArea(P, 100, 200, 20);
    EXPECT_EQ(W.Left, P.X);
    EXPECT_EQ(W.Bottom - 10 - 200 - 20, P.Y);
    // Near the top the popup stays below although it overflows the bottom.
    TPoint Q{W.Right, W.Top + 5};
    FitPopupToWorkArea(Q, 100, W.Height(), 20);
    EXPECT_EQ(W.Top + 5, Q.Y);
    EXPECT_EQ(W.Right - 100, Q.X);
}

TEST_F(DrawUtilsTest, ImageListColours) {
    EXPECT_EQ(CLR_NONE, ColorToImageListColor(clNone));
    EXPECT_EQ(CLR_DEFAULT, ColorToImageListColor(clDefault));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), ColorToImageListColor(clBtnFace));
}
