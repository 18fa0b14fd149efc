// Fonts, pens and brushes: equal descriptions share one GDI handle, every change reaches OnChange
// (Assign too, even from the object itself), sizes follow the resolution, adopted handles.
#include "GraphicsTestSupport.h"

#include <tuple>

using graphics_test::TGraphicsFixture;

namespace {
using GraphicsObjects = TGraphicsFixture;

struct TChangeCounter : TObject {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
    TNotifyEvent Event() { return TNotifyEvent::Bind<&TChangeCounter::Changed>(this); }
};
}  // namespace

TEST_F(GraphicsObjects, NewFontIsTheFrameworkDefault) {
    TOwned<TFont> F(Create<TFont>());
    EXPECT_EQ(F->Name(), "MS Sans Serif");
    EXPECT_EQ(F->Size(), 8);
    EXPECT_EQ(F->Height(), -MulDiv(8, ScreenLogPixels, 72));
    EXPECT_EQ(F->Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(F->Color(), clWindowText);
    EXPECT_TRUE(F->Style().Empty());
}

TEST_F(GraphicsObjects, EqualFontsShareOneHandle) {
    TOwned<TFont> A(Create<TFont>()), B(Create<TFont>());
    A->SetName("Verdana");
    B->SetName("Verdana");
    A->SetStyle({fsBold});
    B->SetStyle({fsBold});
    ASSERT_NE(A->Handle(), nullptr);
    EXPECT_EQ(A->Handle(), B->Handle());
    int Shared = GraphicsDetail::SharedResourceCount();
    B->SetSize(20);
    EXPECT_NE(A->Handle(), B->Handle());
    B->SetSize(A->Size());
    EXPECT_EQ(A->Handle(), B->Handle()) << "equal again, shared again";
    EXPECT_EQ(GraphicsDetail::SharedResourceCount(), Shared) << "the record of the other size is gone";
    A->SetColor(clRed);
    EXPECT_EQ(A->Handle(), B->Handle()) << "the colour is no part of the handle";

    LOGFONTA LF{};
    ASSERT_EQ(GetObjectA(A->Handle(), sizeof LF, &LF), int(sizeof LF));
    EXPECT_STREQ(LF.lfFaceName, "Verdana");
    EXPECT_EQ(LF.lfWeight, FW_BOLD);
    EXPECT_EQ(LF.lfHeight, A->Height());
}

TEST_F(GraphicsObjects, AssignAlwaysAnnouncesTheChange) {
    TOwned<TFont> A(Create<TFont>()), B(Create<TFont>());
    TChangeCounter Counter;
    A->OnChange = Counter.Event();
    A->Assign(B.get());
    EXPECT_EQ(Counter.Count, 1) << "an equal font";
    A->Assign(A.get());
    EXPECT_EQ(Counter.Count, 2) << "the font itself";
    B->SetName("Courier New");
    B->SetColor(clBlue);
    B->SetCharset(RUSSIAN_CHARSET);
    A->Assign(B.get());
    EXPECT_GE(Counter.Count, 3);
    EXPECT_EQ(A->Name(), "Courier New");
    EXPECT_EQ(A->Color(), clBlue);
    EXPECT_EQ(A->Charset(), RUSSIAN_CHARSET);
    EXPECT_EQ(A->Handle(), B->Handle());

    int Before = Counter.Count;
    A->SetColor(clBlue);
    EXPECT_EQ(Counter.Count, Before) << "the same colour is no change";
    A->SetName("Courier New");
    EXPECT_EQ(Counter.Count, Before + 1) << "names, like the other parts of the handle, always announce";
    A->SetName("");
    EXPECT_EQ(A->Name(), "Courier New") << "an empty name is ignored";
}

TEST_F(GraphicsObjects, PointSizeFollowsTheResolution) {
    TOwned<TFont> F(Create<TFont>());
    F->SetPixelsPerInch(96);
    F->SetHeight(-16);
    EXPECT_EQ(F->Size(), 12);
    F->SetSize(9);
    EXPECT_EQ(F->Height(), -12);

    TOwned<TFont> Large(Create<TFont>());
    Large->SetPixelsPerInch(120);
    Large->Assign(F.get());
    EXPECT_EQ(Large->Size(), 9) << "points are kept across resolutions";
    EXPECT_EQ(Large->Height(), -15);
}

TEST_F(GraphicsObjects, AdoptedFontHandleDescribesItself) {
    HFONT H = CreateFontA(-20, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, RUSSIAN_CHARSET, 0, 0, 0, FIXED_PITCH, "Arial");
    TOwned<TFont> F(Create<TFont>());
    F->SetHandle(H);
    EXPECT_EQ(F->Handle(), H);
    EXPECT_EQ(F->Name(), "Arial");
    EXPECT_EQ(F->Height(), -20);
    EXPECT_EQ(F->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(F->Charset(), RUSSIAN_CHARSET);
    EXPECT_EQ(F->Pitch(), fpFixed);
    F->SetName("Verdana");
    EXPECT_NE(F->Handle(), H) << "a changed font makes its own handle";
}

TEST_F(GraphicsObjects, PublishedPropertiesReachTheSetters) {
    TOwned<TFont> F(Create<TFont>());
    TChangeCounter Counter;
    F->OnChange = Counter.Event();
    SetPropText(F.get(), "Style", "fsBold,fsUnderline");
    SetPropText(F.get(), "Charset", "RUSSIAN_CHARSET");
    SetPropText(F.get(), "Color", "clBtnFace");
    EXPECT_EQ(F->Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(F->Charset(), RUSSIAN_CHARSET);
    EXPECT_EQ(F->Color(), clBtnFace);
    EXPECT_EQ(Counter.Count, 3);
    EXPECT_FALSE(IsStoredProp(F.get(), GetPropInfo(F.get(), "Size"))) << "Height is streamed, Size not";
}

TEST_F(GraphicsObjects, PensAndBrushes) {
    TOwned<TBrush> Brush(Create<TBrush>()), Other(Create<TBrush>());
    EXPECT_EQ(Brush->Color(), clWhite);
    EXPECT_EQ(Brush->Handle(), Other->Handle());
    Brush->SetStyle(bsClear);
    Brush->SetColor(clRed);
    EXPECT_EQ(Brush->Style(), bsSolid) << "a colour makes a clear brush solid";
    LOGBRUSH LB{};
    ASSERT_TRUE(GetObjectA(Brush->Handle(), sizeof LB, &LB));
    EXPECT_EQ(LB.lbColor, COLORREF(0x0000FF));
    Other->Assign(Brush.get());
    EXPECT_EQ(Other->Handle(), Brush->Handle());

    TOwned<TPen> Pen(Create<TPen>());
    EXPECT_EQ(Pen->Color(), clBlack);
    EXPECT_EQ(Pen->Width(), 1);
    Pen->SetWidth(-3);
    EXPECT_EQ(Pen->Width(), 1) << "a negative width is ignored";
    Pen->SetStyle(psClear);
    LOGPEN LP{};
    ASSERT_TRUE(GetObjectA(Pen->Handle(), sizeof LP, &LP));
    EXPECT_EQ(LP.lopnStyle, UINT(PS_NULL));
}

TEST_F(GraphicsObjects, TheMeasuringContextMeasuresAsTheScreen) {
    HDC Screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(TextMeasureDC(), LOGPIXELSY), GetDeviceCaps(Screen, LOGPIXELSY));
    const struct {
        const char* Name;
        int Size;
        bool Bold;
        TFontCharset Charset;
        const char* Text;
    } Cases[] = {
        {"MS Sans Serif", 8, false, DEFAULT_CHARSET, "Server MS SQL"},
        {"Tahoma", 8, true, RUSSIAN_CHARSET, "\xD1\xE5\xF0\xE2\xE5\xF0 MS SQL"},  // "Сервер" in 1251
        {"Arial", 14, false, DEFAULT_CHARSET, "Wide text, with tabs\tand more"},
    };
    for (const auto& C : Cases) {
        TOwned<TFont> F(Create<TFont>());
        F->SetName(C.Name);
        F->SetSize(C.Size);
        F->SetCharset(C.Charset);
        if (C.Bold)
            F->SetStyle(TFontStyles{fsBold});
        auto Measure = [&](HDC DC) {
            HGDIOBJ Old = SelectObject(DC, F->Handle());
            SIZE S{};
            GetTextExtentPoint32A(DC, C.Text, lstrlenA(C.Text), &S);
            TEXTMETRICA TM{};
            GetTextMetricsA(DC, &TM);
            RECT R{0, 0, 0, 0};
            DrawTextA(DC, C.Text, -1, &R, DT_CALCRECT | DT_EXPANDTABS);
            SelectObject(DC, Old);
            return std::tuple(S.cx, S.cy, TM.tmHeight, TM.tmAveCharWidth, R.right, R.bottom);
        };
        EXPECT_EQ(Measure(TextMeasureDC()), Measure(Screen)) << C.Name;
    }
    ReleaseDC(nullptr, Screen);
}
