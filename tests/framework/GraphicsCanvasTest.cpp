// Canvas drawing checked pixel by pixel in 24-bit and 32-bit bitmaps: fills, frames, lines,
// polygons, text, transparent drawing of bitmaps, copies; a canvas on a foreign DC.
#include "GraphicsTestSupport.h"

using graphics_test::MakeBitmap;
using graphics_test::RowPixel;

namespace {
// Every case runs on a 24-bit and on a 32-bit bitmap.
class GraphicsCanvas : public ::testing::TestWithParam<TPixelFormat> {
protected:
    void SetUp() override {
        graphics_test::StartGraphics();
        B = MakeBitmap(GetParam(), 40, 30, clWhite);
        C = B->Canvas();
    }
    TColor At(int X, int Y) { return RowPixel(B.get(), X, Y); }
    TOwned<TBitmap> B;
    TCanvas* C = nullptr;
};
}  // namespace

INSTANTIATE_TEST_SUITE_P(Formats, GraphicsCanvas, ::testing::Values(pf24bit, pf32bit),
                         [](const auto& Info) { return Info.param == pf24bit ? "Bits24" : "Bits32"; });

TEST_P(GraphicsCanvas, FillAndFrameStopBeforeRightAndBottom) {
    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(2, 3, 10, 8));
    EXPECT_EQ(At(2, 3), clRed);
    EXPECT_EQ(At(9, 7), clRed);
    EXPECT_EQ(At(10, 7), clWhite);
    EXPECT_EQ(At(9, 8), clWhite);
    EXPECT_EQ(At(1, 3), clWhite);

    C->Brush()->SetColor(clBlue);
    C->FrameRect(Rect(20, 10, 30, 20));
    EXPECT_EQ(At(20, 10), clBlue);
    EXPECT_EQ(At(29, 19), clBlue);
    EXPECT_EQ(At(25, 15), clWhite) << "a frame leaves the inside";
    EXPECT_EQ(C->Pixels(29, 19), clBlue) << "the canvas reads what the rows hold";
}

TEST_P(GraphicsCanvas, LinesAndShapesUseThePenAndTheBrush) {
    C->Pen()->SetColor(clBlue);
    C->MoveTo(0, 5);
    C->LineTo(20, 5);
    EXPECT_EQ(At(0, 5), clBlue);
    EXPECT_EQ(At(19, 5), clBlue);
    EXPECT_EQ(At(20, 5), clWhite) << "the last point is not drawn";
    EXPECT_EQ(C->PenPos(), Point(20, 5));

    C->Pen()->SetColor(clGreen);
    C->Brush()->SetColor(clYellow);
    C->Rectangle(22, 2, 32, 12);
    EXPECT_EQ(At(22, 2), clGreen);
    EXPECT_EQ(At(31, 11), clGreen);
    EXPECT_EQ(At(26, 6), clYellow);

    C->Brush()->SetColor(clFuchsia);
    C->Polygon({Point(5, 15), Point(15, 15), Point(15, 25), Point(5, 25)});
    EXPECT_EQ(At(10, 20), clFuchsia);
    EXPECT_EQ(At(5, 15), clGreen);

    C->Pen()->SetStyle(psClear);
    C->Brush()->SetStyle(bsClear);
    C->Ellipse(20, 15, 38, 29);
    EXPECT_EQ(At(29, 22), clWhite) << "clear pen and brush draw nothing";
}

TEST_P(GraphicsCanvas, TextIsDrawnInTheFontColourOverTheBrush) {
    C->Font()->SetName("Arial");
    C->Font()->SetSize(14);
    C->Font()->SetColor(clBlack);
    C->Brush()->SetColor(clYellow);
    std::string Text = "WM";
    TSize Ext = C->TextExtent(Text);
    ASSERT_GT(Ext.cx, 10);
    ASSERT_GT(Ext.cy, 10);
    C->TextOut(2, 2, Text);
    int Ink = 0, Cell = 0, Outside = 0;
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 40; ++X) {
            bool Inside = X >= 2 && X < 2 + Ext.cx && Y >= 2 && Y < 2 + Ext.cy;
            TColor P = At(X, Y);
            if (Inside && P == clBlack)
                ++Ink;
            else if (Inside && P == clYellow)
                ++Cell;
            else if (!Inside && P != clWhite)
                ++Outside;
        }
    EXPECT_GT(Ink, 10) << "glyphs";
    EXPECT_GT(Cell, 10) << "the solid brush fills the text's cell";
    EXPECT_EQ(Outside, 0);
    EXPECT_EQ(C->PenPos(), Point(2 + Ext.cx, 2));

    // A clear brush leaves the background between the glyphs.
    B->Canvas()->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 40, 30));
    C->Brush()->SetStyle(bsClear);
    C->TextOut(2, 2, Text);
    int Yellow = 0;
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 40; ++X)
            Yellow += At(X, Y) == clYellow;
    EXPECT_EQ(Yellow, 0);
}

TEST_P(GraphicsCanvas, TextRectClipsToItsRectangle) {
    C->Font()->SetSize(20);
    C->Font()->SetColor(clBlack);
    C->Brush()->SetColor(clAqua);
    C->TextRect(Rect(5, 5, 15, 15), 0, 0, "WWWW");
    int Ink = 0;
    for (int Y = 5; Y < 15; ++Y)
        for (int X = 5; X < 15; ++X)
            Ink += At(X, Y) == clBlack;
    EXPECT_GT(Ink, 0) << "the text starts left of the rectangle and shows inside it";
    EXPECT_EQ(At(4, 4), clWhite);
    EXPECT_EQ(At(16, 10), clWhite) << "nothing beyond the rectangle";
    EXPECT_EQ(At(10, 16), clWhite);
}

TEST_P(GraphicsCanvas, TransparentBitmapLeavesItsTransparentColourOut) {
    TOwned<TBitmap> Glyph = MakeBitmap(pf24bit, 6, 6, clFuchsia);
    Glyph->Canvas()->Brush()->SetColor(clBlue);
    Glyph->Canvas()->FillRect(Rect(2, 2, 4, 4));
    C->Brush()->SetColor(clGreen);
    C->FillRect(Rect(0, 0, 40, 30));

    C->Draw(0, 0, Glyph.get());
    EXPECT_EQ(At(0, 0), clFuchsia) << "opaque unless Transparent";

    Glyph->SetTransparent(true);
    EXPECT_EQ(Glyph->TransparentColor(), clFuchsia) << "the bottom-left pixel";
    C->Draw(10, 10, Glyph.get());
    EXPECT_EQ(At(10, 10), clGreen);
    EXPECT_EQ(At(15, 15), clGreen);
    EXPECT_EQ(At(12, 12), clBlue);
    EXPECT_EQ(At(13, 13), clBlue);

    C->StretchDraw(Rect(20, 10, 32, 22), Glyph.get());
    EXPECT_EQ(At(20, 10), clGreen);
    EXPECT_EQ(At(25, 15), clBlue) << "stretched twice";
    EXPECT_EQ(At(31, 21), clGreen);

    Glyph->SetTransparentColor(clBlue);
    EXPECT_EQ(Glyph->TransparentMode(), tmFixed);
    C->Draw(0, 20, Glyph.get());
    EXPECT_EQ(At(0, 20), clFuchsia);
    EXPECT_EQ(At(2, 22), clGreen) << "now blue is left out";
}

TEST_P(GraphicsCanvas, CopyRectAndBrushCopy) {
    TOwned<TBitmap> Src = MakeBitmap(pf24bit, 4, 4, clRed);
    Src->Canvas()->SetPixels(1, 1, clLime);
    C->CopyRect(Rect(10, 10, 18, 18), Src->Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(At(10, 10), clRed);
    EXPECT_EQ(At(12, 12), clLime) << "stretched twice";
    EXPECT_EQ(At(18, 18), clWhite);

    C->Brush()->SetColor(clNavy);
    C->BrushCopy(Rect(0, 0, 4, 4), Src.get(), Rect(0, 0, 4, 4), clRed);
    EXPECT_EQ(At(0, 0), clNavy) << "red replaced by the brush";
    EXPECT_EQ(At(1, 1), clLime);
}

TEST(GraphicsCanvasHandle, ForeignDeviceContext) {
    graphics_test::StartGraphics();
    TOwned<TBitmap> Target = MakeBitmap(pf24bit, 8, 8, clWhite);
    HBITMAP Bmp = Target->ReleaseHandle();
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Bmp);
    HGDIOBJ StockFont = GetCurrentObject(DC, OBJ_FONT);
    {
        TOwned<TCanvas> C(Create<TCanvas>());
        EXPECT_THROW(C->FillRect(Rect(0, 0, 1, 1)), EInvalidOperation) << "no DC to draw on";
        C->SetHandle(DC);
        C->Brush()->SetColor(clRed);
        C->FillRect(Rect(0, 0, 4, 4));
        C->TextOut(0, 4, "x");
        EXPECT_EQ(GetPixel(DC, 3, 3), COLORREF(0x0000FF));
        C->SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), StockFont) << "the DC gets its own objects back";
    }
    SelectObject(DC, Old);
    DeleteDC(DC);
    DeleteObject(Bmp);
}
