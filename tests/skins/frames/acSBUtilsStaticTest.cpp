// Hooks of text statics and size grips: a static printed from the skin with its text, a static with
// a static edge left to itself, and a grip that always hit-tests as the bottom-right corner and
// shows the skin's grip image there.
#include "../engine/SkinPixelSupport.h"

#include "acSBUtils.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace skintests;

namespace {

class acSBUtilsStaticTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"PANEL", 0x204060, 0, 0, 0, 0x00FFFF}, {"GLOBALINFO", 0x808080}});
    }
    void TearDown() override {
        FreeAndNil(Hook);
        for (HWND W : Windows)
            if (IsWindow(W))
                DestroyWindow(W);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    template <class T>
    HWND Hooked(const char* Class, const char* Text, DWORD Style, DWORD ExStyle, int W, int H) {
        HWND Wnd = CreateWindowExA(ExStyle, Class, Text, WS_CHILD | WS_VISIBLE | Style, 20, 20, W, H, Form->Handle(),
                                   nullptr, nullptr, nullptr);
        Windows.push_back(Wnd);
        Hook = Create<T>(Wnd, false, "PANEL", nullptr, nullptr);
        Hook->SkinData->RefreshSkinIndexes();
        return Wnd;
    }
    // Pixels of the window printed into a bitmap: how many have the colour C.
    int CountPrinted(HWND Wnd, int W, int H, TColor C) {
        TOwned<TBitmap> Image(MakeBitmap(W, H, pf24bit));
        SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT | PRF_ERASEBKGND);
        int N = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                N += GetPx(Image.get(), X, Y) == PxOf(C);
        return N;
    }
    TacMainWnd* Hook = nullptr;
    std::vector<HWND> Windows;
};

TEST_F(acSBUtilsStaticTest, StaticsArePaintedFromTheSkinUnlessTheyHaveAStaticEdge) {
    HWND Plain = Hooked<TacStaticWnd>("STATIC", "Hello", 0, 0, 80, 30);
    // A font drawn without smoothing, whatever the system's setting: every pixel is text or background.
    LOGFONTA Lf{};
    Lf.lfHeight = -11;
    Lf.lfQuality = NONANTIALIASED_QUALITY;
    std::strcpy(Lf.lfFaceName, "Tahoma");
    HFONT Sharp = CreateFontIndirectA(&Lf);
    SendMessageA(Plain, WM_SETFONT, reinterpret_cast<WPARAM>(Sharp), FALSE);
    const int Background = CountPrinted(Plain, 80, 30, 0x204060);
    const int Text = CountPrinted(Plain, 80, 30, 0x00FFFF);
    EXPECT_GT(Background, 80 * 30 / 2) << "the section's colour behind";
    EXPECT_GT(Text, 0) << "the text in the section's font colour";
    EXPECT_EQ(Background + Text, 80 * 30);
    FreeAndNil(Hook);
    SendMessageA(Plain, WM_SETFONT, 0, FALSE);
    DeleteObject(Sharp);

    HWND Edged = Hooked<TacStaticWnd>("STATIC", "Hello", 0, WS_EX_STATICEDGE, 80, 30);
    EXPECT_EQ(CountPrinted(Edged, 80, 30, 0x204060), 0) << "the static paints itself";
}

TEST_F(acSBUtilsStaticTest, LinksShowTheirTextWithoutAnchorTagsUnderlined) {
    // The same window printed under different hooks and texts: images compared pixel by pixel.
    auto Print = [&](bool Link, const char* Text) {
        HWND Wnd = Link ? Hooked<TacLinkWnd>("STATIC", Text, 0, 0, 80, 30) : Hooked<TacStaticWnd>("STATIC", Text, 0, 0, 80, 30);
        TOwned<TBitmap> Image(MakeBitmap(80, 30, pf24bit));
        SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT);
        std::vector<TPx> Pixels;
        for (int Y = 0; Y < 30; ++Y)
            for (int X = 0; X < 80; ++X)
                Pixels.push_back(GetPx(Image.get(), X, Y));
        FreeAndNil(Hook);
        return Pixels;
    };
    const auto Tagged = Print(true, "<A>word</A>");
    EXPECT_EQ(Tagged, Print(true, "word"));
    EXPECT_NE(Tagged, Print(false, "word")) << "underlined in the message font";
    EXPECT_NE(std::count(Tagged.begin(), Tagged.end(), PxOf(0x00FFFF)), 0);
}

TEST_F(acSBUtilsStaticTest, GripsHitTestAsTheCornerAndShowTheSkinsGripImage) {
    Manager->MasterBitmap = MakeBitmap(4, 4, pf24bit, PxOf(0x0000FF));
    TsMaskData Grip{nullptr, "GLOBALINFO", "GRIPIMAGE", Rect(0, 0, 4, 4), 1};
    Grip.Manager = Manager;
    Manager->MaskList.push_back(Grip);
    HWND Wnd = Hooked<TacSizerWnd>("SCROLLBAR", "", SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 0, 20, 20);
    RECT W{};
    GetWindowRect(Wnd, &W);
    EXPECT_EQ(SendMessageA(Wnd, WM_NCHITTEST, 0, MAKELPARAM(W.left + 1, W.top + 1)), HTBOTTOMRIGHT);
    InvalidateRect(Wnd, nullptr, TRUE);
    UpdateWindow(Wnd);
    RECT C{};
    GetClientRect(Wnd, &C);  // the grip window takes the system's size
    ASSERT_GT(C.right, 4);
    HDC DC = GetDC(Wnd);
    EXPECT_EQ(GetPixel(DC, C.right - 1, C.bottom - 1), COLORREF(0x0000FF)) << "the grip image at the bottom-right";
    EXPECT_EQ(GetPixel(DC, C.right - 4, C.bottom - 4), COLORREF(0x0000FF));
    EXPECT_NE(GetPixel(DC, 0, 0), COLORREF(0x0000FF));
    ReleaseDC(Wnd, DC);
}

}  // namespace
