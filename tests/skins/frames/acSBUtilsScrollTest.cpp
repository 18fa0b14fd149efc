// Skinned scroll bars: thumb geometry and parts as tables, sizes from the skin, the room the hook
// takes from the client area, hit codes, clicks and thumb drags turned into scroll messages, the
// scroll message itself for windows that scroll by themselves, the bar image painted from the
// skin's sections, and the shared interaction state cleared when its window goes away.
#include "../engine/SkinPixelSupport.h"

#include "acSBUtils.h"

#include <climits>
#include <tuple>
#include <vector>

using namespace skintests;

namespace {

// What the hooked test window receives: its scroll messages (message, code, high word of WParam,
// LParam) and the LParams of SKIN_AFTERSCROLL; it answers SKIN_BEFORESCROLL with BeforeAnswer.
struct TScrollLog {
    std::vector<std::tuple<UINT, int, int, LPARAM>> Scrolls;
    std::vector<LPARAM> After;
    LRESULT BeforeAnswer = 0;
} Log;

LRESULT CALLBACK TargetProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_HSCROLL || Msg == WM_VSCROLL) {
        Log.Scrolls.emplace_back(Msg, LOWORD(WParam), HIWORD(WParam), LParam);
        return 0;
    }
    if (Msg == SM_ALPHACMD) {
        if (SkinCommandOf(WParam) == SKIN_BEFORESCROLL)
            return Log.BeforeAnswer;
        if (SkinCommandOf(WParam) == SKIN_AFTERSCROLL)
            Log.After.push_back(LParam);
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

const char* TargetClass() {
    static ATOM Atom = [] {
        WNDCLASSA C{};
        C.lpfnWndProc = &TargetProc;
        C.hInstance = GetModuleHandleA(nullptr);
        C.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        C.lpszClassName = "acSBUtilsScrollTarget";
        return RegisterClassA(&C);
    }();
    (void)Atom;
    return "acSBUtilsScrollTarget";
}

TacScrollBar* MakeBar(Word Kind, int Min, int Max, int Page, int Pos, int MinThumb = 5) {
    TacScrollBar* Bar = Create<TacScrollBar>(nullptr, Kind);
    Bar->ArrowLength = 10;
    Bar->MinThumbSize = MinThumb;
    Bar->ScrollInfo.nMin = Min;
    Bar->ScrollInfo.nMax = Max;
    Bar->ScrollInfo.nPage = static_cast<UINT>(Page);
    Bar->ScrollInfo.nPos = Pos;
    return Bar;
}

TEST(acSBUtilsScrollGeometry, ThumbLengthAndStart) {
    struct Case {
        int Min, Max, Page, Pos, MinThumb;
        int Size, Start;
    } Cases[] = {
        {0, 100, 0, 0, 10, 10, 10},         // no page: as long as an arrow
        {0, 99, 10, 0, 5, 10, 10},
        {0, 99, 10, 90, 5, 10, 100},        // last position: at the track's end
        {0, 99, 10, 200, 5, 10, 100},       // beyond it: clamped
        {0, 999, 10, 0, 20, 20, 10},        // raised to the shortest thumb
        {50, 149, 10, 95, 5, 10, 55},       // positions count from nMin
        {0, 9, 10, 0, 5, 100, 10},          // the page covers everything
        {-2000000000, 2000000000, 10, 0, 5, 0, 10},  // too wide a range: no thumb
    };
    for (const Case& C : Cases) {
        TOwned<TacScrollBar> Bar(MakeBar(1, C.Min, C.Max, C.Page, C.Pos, C.MinThumb));
        int Size = -1, Start = -1;
        CalcThumb(Bar.get(), Rect(0, 0, 15, 120), Size, 0, Start);
        EXPECT_EQ(std::make_pair(Size, Start), std::make_pair(C.Size, C.Start))
            << C.Min << ".." << C.Max << " page " << C.Page << " pos " << C.Pos;
    }
}

TEST(acSBUtilsScrollGeometry, PartsAlongTheBar) {
    // 120 long, arrows of 10, thumb of 10 at 50.
    struct Case {
        Word Kind;
        int Page, Along, Across, Length;
        int Part;
    } Cases[] = {
        {1, 10, 0, 5, 120, sbpFirstArrow},  {1, 10, 9, 5, 120, sbpFirstArrow},
        {1, 10, 10, 5, 120, sbpTrackBefore}, {1, 10, 49, 5, 120, sbpTrackBefore},
        {1, 10, 50, 5, 120, sbpThumb},      {1, 10, 59, 5, 120, sbpThumb},
        {1, 10, 60, 5, 120, sbpTrackAfter}, {1, 10, 110, 5, 120, sbpSecondArrow},
        {1, 10, 120, 5, 120, sbpNone},      {1, 10, 50, 15, 120, sbpNone},  // outside the bar's width
        {0, 10, 55, 5, 120, sbpThumb},      {0, 10, 55, 15, 120, sbpNone},  // the same across for a horizontal bar
        {1, 10, 9, 5, 20, sbpFirstArrow},   {1, 10, 10, 5, 20, sbpSecondArrow},  // only two arrows fit
        {1, 100, 50, 5, 120, sbpNone},      // the thumb fills the track: nothing to click there
    };
    for (const Case& C : Cases) {
        TOwned<TacScrollBar> Bar(MakeBar(C.Kind, 0, 99, C.Page, 40));
        TRect R = C.Kind == 1 ? Rect(0, 0, 15, C.Length) : Rect(0, 0, C.Length, 15);
        int Part = C.Kind == 1 ? HitTestScrollBar(Bar.get(), nullptr, R, C.Along, C.Across)
                               : HitTestScrollBar(Bar.get(), nullptr, R, C.Across, C.Along);
        EXPECT_EQ(Part, C.Part) << "kind " << C.Kind << " at " << C.Along << "," << C.Across << " of " << C.Length;
    }
}

class acSBUtilsScrollTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        Log = TScrollLog{};
    }
    void TearDown() override {
        FreeAndNil(Hook);
        if (IsWindow(Wnd))
            DestroyWindow(Wnd);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    // A skin whose scroll-bar parts are plain colours.
    void MakeScrollSkin() {
        MakeManager({{"EDIT"},
                     {"SCROLLBAR1V", 0x0000FF},
                     {"SCROLLBAR2V", 0x00FF00},
                     {"SCROLLBTNTOP", 0xFF0000},
                     {"SCROLLBTNBOTTOM", 0x00FFFF},
                     {"SCROLLSLIDERV", 0xFFFF00},
                     {"SCROLLBAR1H", 0x000080}});
    }
    // The test window (Style added to a visible child) at (X, Y) of the form, its vertical range
    // 0..99 with page 10, hooked with bars 15 thick and arrows 10 long.
    void MakeHooked(int X, int Y, int W, int H, DWORD Style = WS_VSCROLL | WS_HSCROLL, DWORD ExStyle = 0) {
        if (!Manager)
            MakeScrollSkin();
        Wnd = CreateWindowExA(ExStyle, TargetClass(), "", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Form->Handle(),
                              nullptr, nullptr, nullptr);
        // A range given to a bar the window lacks would add that bar.
        SCROLLINFO SI{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 10, 40, 0};
        if (Style & WS_VSCROLL)
            SetScrollInfo(Wnd, SB_VERT, &SI, FALSE);
        if (Style & WS_HSCROLL)
            SetScrollInfo(Wnd, SB_HORZ, &SI, FALSE);
        Hook = Create<TacScrollWnd>(Wnd, false, "EDIT", nullptr, nullptr);
        Hook->SkinData->RefreshSkinIndexes();
        for (TacScrollBar* Bar : {Hook->HorzBar, Hook->VertBar}) {
            Bar->Thickness = 15;
            Bar->ArrowLength = 10;
        }
        RefreshWindowFrame(Wnd, true);
    }
    TRect Client() {
        RECT C{};
        GetClientRect(Wnd, &C);
        return TRect{C.left, C.top, C.right, C.bottom};
    }
    // A screen point at (X, Y) of the window.
    LPARAM At(int X, int Y) {
        RECT W{};
        GetWindowRect(Wnd, &W);
        return MAKELPARAM(W.left + X, W.top + Y);
    }
    HWND Wnd = nullptr;
    TacScrollWnd* Hook = nullptr;
};

TEST_F(acSBUtilsScrollTest, BarSizesComeFromTheBarTheSystemOrTheSkin) {
    MakeManager({{"SCROLLBTNLEFT"}, {"SCROLLBTNTOP"}});
    Manager->SectionList[0].ReservedBoolean = true;
    Manager->MaskList.resize(2);
    Manager->MaskList[0] = TsMaskData{nullptr, "SCROLLBTNLEFT", "BORDERSMASK", Rect(0, 0, 90, 10), 3};
    Manager->MaskList[1] = TsMaskData{nullptr, "SCROLLBTNTOP", "BORDERSMASK", Rect(0, 0, 30, 40), 3};
    const int Big = std::max(ScrollBarArrowWidth, 30), Tall = std::max(ScrollBarArrowWidth, 40);
    struct Case {
        Word Kind;
        int Thickness, Arrow, Which;
        bool UseSkin;
        int Expected;
    } Cases[] = {
        {1, 7, -1, 1, false, 7},
        {1, -2, -1, 1, false, 2 * GetSystemMetrics(SM_CXVSCROLL)},
        {0, -1, -1, 1, false, GetSystemMetrics(SM_CYHSCROLL)},
        {1, -1, 12, 0, true, 12},
        {0, -1, -1, 0, false, ScrollBarArrowWidth},
        {0, -1, -1, 0, true, Big},       // one image of the left button's mask
        {1, -1, -1, 0, true, Tall},      // one image height of the top button's mask
        {0, -1, -2, 0, true, 2 * Big},
        {7, -1, -1, 0, true, 0},         // no such kind
    };
    for (const Case& C : Cases) {
        TOwned<TacScrollBar> Bar(Create<TacScrollBar>(nullptr, C.Kind));
        Bar->Thickness = C.Thickness;
        Bar->ArrowLength = C.Arrow;
        EXPECT_EQ(GetScrollBarSize(Bar.get(), C.Which, C.UseSkin), C.Expected)
            << "kind " << C.Kind << " which " << C.Which << " skin " << C.UseSkin;
    }
    Manager->SectionList[0].ReservedBoolean = false;
    TOwned<TacScrollBar> Bar(Create<TacScrollBar>(nullptr, Word(0)));
    EXPECT_EQ(GetScrollBarSize(Bar.get(), 0, true), ScrollBarArrowWidth) << "the skin asks for its own arrows";
}

TEST_F(acSBUtilsScrollTest, TheHookTakesTheBarsRoomFromTheClientArea) {
    struct Case {
        int W, H;
        DWORD Style;
        bool HorzShown, VertShown;
        TRect Client;
    } Cases[] = {
        {100, 80, WS_VSCROLL | WS_HSCROLL, true, true, {0, 0, 85, 65}},
        {100, 80, WS_VSCROLL, false, true, {0, 0, 85, 80}},
        {10, 80, WS_VSCROLL, false, false, {0, 0, 10, 80}},  // narrower than the bar: no bar, no room
        {100, 80, 0, false, false, {0, 0, 100, 80}},
    };
    for (const Case& C : Cases) {
        MakeHooked(10, 10, C.W, C.H, C.Style);
        EXPECT_EQ(Hook->HorzBar->Shown, C.HorzShown) << C.W << " style " << C.Style;
        EXPECT_EQ(Hook->VertBar->Shown, C.VertShown) << C.W << " style " << C.Style;
        EXPECT_EQ(Client(), C.Client) << C.W << " style " << C.Style;
        EXPECT_EQ(GetScrollBarOfWindow(Wnd, 1), Hook->VertBar);
        FreeAndNil(Hook);
        DestroyWindow(Wnd);
    }
    EXPECT_EQ(GetScrollBarOfWindow(Form->Handle(), 1), nullptr);
    EXPECT_FALSE(SetMinThumbSize(Form->Handle(), 3, 4));
}

TEST_F(acSBUtilsScrollTest, HitCodesOfBarsAndTheGripCorner) {
    RECT FormClient{};
    GetClientRect(Form->Handle(), &FormClient);
    // At the form's bottom-right client corner the square between the bars is a size grip.
    MakeHooked(FormClient.right - 100, FormClient.bottom - 80, 100, 80);
    auto Hit = [&](int X, int Y) { return SendMessageA(Wnd, WM_NCHITTEST, 0, At(X, Y)); };
    EXPECT_EQ(Hit(92, 30), HTVSCROLL);
    EXPECT_EQ(Hit(30, 72), HTHSCROLL);
    EXPECT_EQ(Hit(92, 72), HTBOTTOMRIGHT);
    EXPECT_EQ(Hit(30, 30), HTCLIENT);
    FreeAndNil(Hook);
    DestroyWindow(Wnd);

    MakeHooked(10, 10, 100, 80);
    EXPECT_NE(Hit(92, 72), HTBOTTOMRIGHT) << "not in the parent's corner";
    FreeAndNil(Hook);
    DestroyWindow(Wnd);

    // A left scroll bar has its grip at the parent's bottom-left corner.
    MakeHooked(0, FormClient.bottom - 80, 100, 80, WS_VSCROLL | WS_HSCROLL, WS_EX_LEFTSCROLLBAR);
    EXPECT_EQ(Hit(7, 30), HTVSCROLL);
    EXPECT_EQ(Hit(7, 72), HTBOTTOMRIGHT);
}

TEST_F(acSBUtilsScrollTest, ClicksOnArrowsAndTrackScrollUntilTheButtonIsReleased) {
    MakeHooked(10, 10, 100, 120, WS_VSCROLL);
    // Vertical bar: arrows 0..10 and 110..120, thumb of 10 at 10 + 40 = 50.
    struct Case {
        int Y;
        int Code;
    } Cases[] = {{5, SB_LINEUP}, {115, SB_LINEDOWN}, {20, SB_PAGEUP}, {80, SB_PAGEDOWN}};
    for (const Case& C : Cases) {
        Log.Scrolls.clear();
        SendMessageA(Wnd, WM_NCLBUTTONDOWN, HTVSCROLL, At(92, C.Y));
        EXPECT_EQ(BarInteraction.PressedPart, C.Code);
        EXPECT_NE(BarInteraction.RepeatTimer, 0u);
        EXPECT_EQ(GetCapture(), Wnd);
        SendMessageA(Wnd, WM_LBUTTONUP, 0, 0);
        EXPECT_EQ(Log.Scrolls, (std::vector<std::tuple<UINT, int, int, LPARAM>>{{WM_VSCROLL, C.Code, 0, 0},
                                                                                 {WM_VSCROLL, SB_ENDSCROLL, 0, 0}}))
            << C.Y;
        EXPECT_EQ(BarInteraction.PressedPart, sbpNone);
        EXPECT_EQ(BarInteraction.PressedBar, -1);
    }
    Log.Scrolls.clear();
    Hook->VertBar->Flags |= 2;
    SendMessageA(Wnd, WM_NCLBUTTONDOWN, HTVSCROLL, At(92, 115));
    EXPECT_TRUE(Log.Scrolls.empty()) << "a disabled arrow ignores the click";
}

TEST_F(acSBUtilsScrollTest, DraggingTheThumbSendsPositionsWithinTheRange) {
    struct Case {
        int Min, Max, Page;
        int ToY;  // window row the thumb is dragged to
        int Expected;
    } Cases[] = {
        {0, 99, 10, 500, 90},    // the track's end: the last position a page can start at
        {0, 99, 10, -500, 0},
        {50, 149, 10, 500, 140},  // counted from nMin
        {50, 149, 10, -500, 50},
        {0, 99, 0, 500, 99},     // no page: every position up to nMax
    };
    for (const Case& C : Cases) {
        MakeHooked(10, 10, 100, 120, WS_VSCROLL);
        SCROLLINFO SI{sizeof(SCROLLINFO), SIF_ALL, C.Min, C.Max, static_cast<UINT>(C.Page), C.Min, 0};
        SetScrollInfo(Wnd, SB_VERT, &SI, FALSE);
        Hook->UpdateScrollInfo(false);
        int ThumbSize = 0, ThumbStart = 0;
        RECT W{};
        GetWindowRect(Wnd, &W);
        CalcThumb(Hook->VertBar, Hook->GetVertBarRect(), ThumbSize, 0, ThumbStart);
        Log.Scrolls.clear();
        SendMessageA(Wnd, WM_NCLBUTTONDOWN, HTVSCROLL, At(92, ThumbStart - W.top + 1));
        ASSERT_TRUE(Hook->ThumbTracking) << C.Min;
        TrackVertThumb(Hook->VertBar, Wnd, W.left + 92, W.top + C.ToY);
        SendMessageA(Wnd, WM_LBUTTONUP, 0, 0);
        EXPECT_FALSE(Hook->ThumbTracking);
        std::vector<std::tuple<UINT, int, int, LPARAM>> Expected{{WM_VSCROLL, SB_THUMBPOSITION, C.Expected, 0},
                                                                 {WM_VSCROLL, SB_ENDSCROLL, C.Expected, 0}};
        if (C.Expected != C.Min)
            Expected.insert(Expected.begin(), {WM_VSCROLL, SB_THUMBTRACK, C.Expected, 0});
        EXPECT_EQ(Log.Scrolls, Expected) << C.Min << ".." << C.Max << " to " << C.ToY;
        SI.fMask = SIF_POS;
        GetScrollInfo(Wnd, SB_VERT, &SI);
        EXPECT_EQ(SI.nPos, C.Expected) << "the window's own position follows the drag";
        FreeAndNil(Hook);
        DestroyWindow(Wnd);
    }
}

TEST_F(acSBUtilsScrollTest, WindowsThatScrollThemselvesGetTheWholePosition) {
    MakeHooked(10, 10, 100, 120, WS_VSCROLL);
    struct Case {
        LRESULT Answer;
        int Code, Pos;
        int HighWord;
        LPARAM LParam;
        int StoredPos;
    } Cases[] = {
        {1, SB_THUMBTRACK, 70000, 65535, 70000, 40},  // scrolls by itself: its scroll information is left alone
        {0, SB_THUMBTRACK, 30, 30, 0, 30},
        {0, SB_THUMBTRACK, 70000, 65535, 0, 90},       // stored, then kept inside the range by the system
        {0, SB_LINEDOWN, 0, 0, 0, 40},
    };
    for (const Case& C : Cases) {
        SCROLLINFO SI{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 40, 0};
        SetScrollInfo(Wnd, SB_VERT, &SI, FALSE);
        Log.Scrolls.clear();
        Log.After.clear();
        Log.BeforeAnswer = C.Answer;
        SendScrollMessage(Wnd, WM_VSCROLL, C.Code, C.Pos);
        EXPECT_EQ(Log.Scrolls, (std::vector<std::tuple<UINT, int, int, LPARAM>>{{WM_VSCROLL, C.Code, C.HighWord, C.LParam}}))
            << C.Answer << " " << C.Pos;
        EXPECT_EQ(Log.After, std::vector<LPARAM>{MAKELONG(C.Code, WM_VSCROLL)});
        GetScrollInfo(Wnd, SB_VERT, &SI);
        EXPECT_EQ(SI.nPos, C.StoredPos) << C.Answer << " " << C.Pos;
    }
}

TEST_F(acSBUtilsScrollTest, TheBarIsPaintedFromTheSkinsSections) {
    MakeHooked(10, 10, 100, 120, WS_VSCROLL);
    TOwned<TBitmap> Image(MakeBitmap(100, 120, pf24bit));
    ASSERT_EQ(Hook->PaintScrollBars(Wnd, 0, Image->Canvas()->Handle(), -1), 1);
    // Arrows 0..10 and 110..120, thumb 50..60; the track halves meet at the thumb's middle.
    struct Case {
        int Y;
        TColor Color;
    } Cases[] = {{2, 0xFF0000}, {30, 0x0000FF}, {52, 0xFFFF00}, {80, 0x00FF00}, {117, 0x00FFFF}};
    for (const Case& C : Cases)
        EXPECT_EQ(GetPx(Image.get(), 92, C.Y), PxOf(C.Color)) << C.Y;
    EXPECT_EQ(GetPx(Image.get(), 40, 60), TPx{}) << "the client area is not touched";

}

TEST_F(acSBUtilsScrollTest, AWindowThatGoesAwayWhilePressedLeavesNoStateBehind) {
    MakeHooked(10, 10, 100, 120, WS_VSCROLL);
    SendMessageA(Wnd, WM_NCMOUSEMOVE, HTVSCROLL, At(92, 30));
    SendMessageA(Wnd, WM_NCLBUTTONDOWN, HTVSCROLL, At(92, 115));
    ASSERT_EQ(BarInteraction.ActiveBarWindow, Wnd);
    ASSERT_EQ(BarInteraction.HoverBar, 1);
    DestroyWindow(Wnd);
    EXPECT_EQ(BarInteraction.ActiveBarWindow, nullptr);
    EXPECT_EQ(BarInteraction.HoverBar, -1);
    EXPECT_EQ(BarInteraction.PressedPart, sbpNone);
    EXPECT_EQ(BarInteraction.RepeatTimer, 0u);
    EXPECT_EQ(GetHookOfWindow(Wnd), nullptr);
}

}  // namespace
