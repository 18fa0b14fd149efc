// The drawing helpers: keyed bitmap drawing with its pixels checked, text shortened to a width,
// cell text on the direct and the off-screen path, grid cell text wrapping, global memory blocks.
#include "VCLUtils.h"

#include "RxTestSupport.h"

using namespace rx_tests;

namespace {

constexpr TColor Blue = 0xFF0000, Red = 0x0000FF, Green = 0x00FF00;

// A 4 x 2 source: the left half red, the right half green, the bottom-left pixel green.
class KeyedDrawing : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Dest.reset(SolidBitmap(10, 6, Blue));
        Source.reset(SolidBitmap(4, 2, Red));
        Source->Canvas()->Brush()->SetColor(Green);
        Source->Canvas()->FillRect(TRect{2, 0, 4, 2});
        Source->Canvas()->SetPixels(0, 1, Green);
    }
    TColor At(int X, int Y) { return Dest->Canvas()->Pixels(X, Y) & 0xFFFFFF; }
    TOwned<TBitmap> Dest, Source;
};

TEST_F(KeyedDrawing, KeyColoursTable) {
    struct Case {
        const char* Name;
        TColor Key;
        TColor TopLeft, TopRight, BottomLeft;  // at (1,1), (3,1) and (1,2) of the destination
    };
    const Case Cases[] = {
        {"green is the key", Green, Red, Blue, Blue},
        {"red is the key", Red, Blue, Green, Green},
        {"no key copies opaquely", clNone, Red, Green, Green},
        {"default key is the bottom-left pixel", clDefault, Red, Blue, Blue},
    };
    for (const Case& C : Cases) {
        Dest.reset(SolidBitmap(10, 6, Blue));
        DrawBitmapKeyed(Dest->Canvas(), 1, 1, Source.get(), C.Key);
        EXPECT_EQ(At(1, 1), C.TopLeft) << C.Name;
        EXPECT_EQ(At(3, 1), C.TopRight) << C.Name;
        EXPECT_EQ(At(1, 2), C.BottomLeft) << C.Name;
        EXPECT_EQ(At(0, 0), Blue) << C.Name << ": outside the destination rectangle";
        EXPECT_EQ(At(5, 1), Blue) << C.Name << ": right of the bitmap";
    }
}

TEST_F(KeyedDrawing, SizesBelowOneMeanTheBitmapsOwn) {
    // Source width 0: the whole bitmap; destination size 0: its natural size.
    StretchBitmapKeyed(Dest->Canvas(), Source.get(), Green, 2, 2, 0, 0, 1, 1, 0, 5);
    EXPECT_EQ(At(2, 2), Red);
    EXPECT_EQ(At(4, 2), Blue);     // green of the source, keyed out
    EXPECT_EQ(At(6, 2), Blue);     // past the natural width: untouched
    EXPECT_EQ(At(2, 4), Blue);     // past the natural height: untouched
    // Stretched to twice the size: the red half covers four columns.
    StretchBitmapKeyed(Dest->Canvas(), Source.get(), Green, 0, 0, 8, 4, 0, 0, 4, 2);
    EXPECT_EQ(At(3, 0), Red);
    EXPECT_EQ(At(5, 0), Blue);
}

TEST_F(KeyedDrawing, MonochromeBitmapsKeyOnWhiteWhateverTheKey) {
    TOwned<TBitmap> Mono(SolidBitmap(2, 1, clWhite));
    Mono->Canvas()->SetPixels(0, 0, clBlack);
    Mono->SetMonochrome(true);
    ASSERT_TRUE(Mono->Monochrome());
    for (TColor Key : {Green, clBlack, clDefault}) {
        Dest.reset(SolidBitmap(10, 6, Blue));
        DrawBitmapKeyed(Dest->Canvas(), 0, 0, Mono.get(), Key);
        EXPECT_EQ(At(0, 0), 0x000000) << Key;
        EXPECT_EQ(At(1, 0), Blue) << Key;
    }
    Dest.reset(SolidBitmap(10, 6, Blue));
    DrawBitmapKeyed(Dest->Canvas(), 0, 0, Mono.get(), clNone);
    EXPECT_EQ(At(1, 0), 0xFFFFFF);
}

TEST_F(KeyedDrawing, SourceCanvasGetsItsChangeHandlerBackUnlocked) {
    int Changes = 0;
    Source->Canvas()->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    TNotifyEvent Handler = Source->Canvas()->OnChange;
    DrawBitmapKeyed(Dest->Canvas(), 0, 0, Source.get(), Green);
    EXPECT_TRUE(Source->Canvas()->OnChange == Handler);
    EXPECT_EQ(Source->Canvas()->LockCount(), 0);
    EXPECT_EQ(Changes, 0);
}

TEST_F(KeyedDrawing, PaletteRelativeColourAndWidth) {
    EXPECT_EQ(PaletteRelativeColor(Red), static_cast<TColor>(0x020000FF));
    EXPECT_EQ(PaletteRelativeColor(clWindow) & 0xFF000000, 0x02000000u);
    EXPECT_EQ(RectangleWidth(TRect{3, 0, 10, 1}), 7);
}

class CellText : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Surface.reset(SolidBitmap(200, 60, clWhite));
        Surface->Canvas()->Font()->SetName("Arial");
        Surface->Canvas()->Font()->SetHeight(-14);
        Surface->Canvas()->Font()->SetColor(clBlack);
        Surface->Canvas()->Brush()->SetColor(clWhite);
    }
    // Whether any pixel of the band of rows is dark.
    bool InkIn(int Top, int Bottom, int Left = 0, int Right = 200) {
        for (int Y = Top; Y < Bottom; ++Y)
            for (int X = Left; X < Right; ++X)
                if ((Surface->Canvas()->Pixels(X, Y) & 0xFF) < 0x80)
                    return true;
        return false;
    }
    TOwned<TBitmap> Surface;
};

TEST_F(CellText, ShortenedTextsTable) {
    TCanvas* C = Surface->Canvas();
    const std::string Six = "ABCDEF";
    struct Case {
        const char* Name;
        std::string Text;
        int Width;
        std::string Expected;
    };
    const Case Cases[] = {
        {"fits", Six, C->TextWidth(Six), Six},
        {"four characters and the dots fit", Six, C->TextWidth("ABCD..."), "ABCD..."},
        {"one pixel less drops one more", Six, C->TextWidth("ABCD...") - 1, "ABC..."},
        {"width 0", Six, 0, "..."},
        {"negative width", Six, -5, "..."},
        {"empty text", "", 0, ""},
        {"one character too wide", "W", 1, "..."},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(ShortenTextToWidth(K.Text, C, K.Width), K.Expected) << K.Name;
}

TEST_F(CellText, LineBreakTakesTheOffScreenPathAndBreaks) {
    int LineHeight = Surface->Canvas()->TextHeight("W");
    PaintCellText(Surface->Canvas(), TRect{0, 0, 200, 60}, 2, 2, "WWW\r\nWWW", taLeftJustify, false, false);
    EXPECT_TRUE(InkIn(2, 2 + LineHeight));
    EXPECT_TRUE(InkIn(2 + LineHeight, 2 + 2 * LineHeight)) << "the second line is drawn below the first";
    ASSERT_NE(CellTextBitmap, nullptr);
    EXPECT_GE(CellTextBitmap->Width(), 200);
    EXPECT_EQ(CellTextBitmap->Canvas()->LockCount(), 0);
}

TEST_F(CellText, PlainTextStaysOnOneLineAndAligns) {
    int LineHeight = Surface->Canvas()->TextHeight("W");
    PaintCellText(Surface->Canvas(), TRect{0, 0, 200, 60}, 2, 2, "WW WW", taRightJustify, false, false);
    EXPECT_TRUE(InkIn(0, 60, 150, 200));
    EXPECT_FALSE(InkIn(0, 60, 0, 100)) << "right-aligned text stays at the right";
    EXPECT_FALSE(InkIn(2 + LineHeight + 2, 60));
}

TEST_F(CellText, CellTextBitmapOnlyGrowsAndGoesAtShutDown) {
    PaintCellText(Surface->Canvas(), TRect{0, 0, 150, 50}, 2, 2, "a", taLeftJustify, true, false);
    int W = CellTextBitmap->Width(), H = CellTextBitmap->Height();
    PaintCellText(Surface->Canvas(), TRect{0, 0, 20, 10}, 2, 2, "a", taLeftJustify, true, false);
    EXPECT_EQ(CellTextBitmap->Width(), W);
    EXPECT_EQ(CellTextBitmap->Height(), H);
    VCLUtilsFinalization();
    EXPECT_EQ(CellTextBitmap, nullptr);
}

// Grid cells: centred text wraps at word boundaries, left- and right-aligned text does not.
class GridCellWrap : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(0, 0, 300, 200);
        Grid = new TDrawGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 300, 200);
        Form->Show();
        Pump();
        Grid->Canvas()->Font()->SetHeight(-14);
        Grid->Canvas()->Font()->SetColor(clBlack);
        Grid->Canvas()->Brush()->SetColor(clWhite);
    }
    int InkRows(const TRect& R) {
        int Last = -1;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                if ((Grid->Canvas()->Pixels(X, Y) & 0xFF) < 0x80)
                    Last = Y;
        return Last;
    }
    TForm* Form = nullptr;
    TDrawGrid* Grid = nullptr;
};

TEST_F(GridCellWrap, CentredWrapsOthersDoNot) {
    int LineHeight = Grid->Canvas()->TextHeight("W");
    int Narrow = Grid->Canvas()->TextWidth("WWW") + 8;
    TRect Centred{10, 10, 10 + Narrow, 10 + 3 * LineHeight};
    GridCellTextAuto(Grid, 1, 1, "WWW WWW", Centred, taCenter, 0, false);
    EXPECT_GT(InkRows(Centred), 10 + LineHeight + 2) << "the second word went to a second line";
    TRect Left{150, 10, 150 + Narrow, 10 + 3 * LineHeight};
    GridCellTextAutoNoBidi(Grid, 1, 1, "WWW WWW", Left, taLeftJustify, 0);
    int LastInk = InkRows(Left);
    EXPECT_GE(LastInk, 10);
    EXPECT_LT(LastInk, 10 + LineHeight + 2) << "left-aligned text stays on one line";
}

TEST(VCLUtilsMemory, ZeroedGlobalBlocks) {
    EXPECT_EQ(AllocZeroedGlobal(0), nullptr);
    EXPECT_EQ(AllocZeroedGlobal(-4), nullptr);
    void* P = AllocZeroedGlobal(64);
    ASSERT_NE(P, nullptr);
    auto* Bytes = static_cast<unsigned char*>(P);
    for (int I = 0; I < 64; ++I)
        ASSERT_EQ(Bytes[I], 0) << I;
    FreeGlobalAndClear(P);
    EXPECT_EQ(P, nullptr);
    FreeGlobalAndClear(P);  // a cleared pointer is left alone
    EXPECT_EQ(MessageTextAsIs("Delete record?"), "Delete record?");
}

}  // namespace
