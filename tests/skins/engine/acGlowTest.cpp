// Glow windows: the mask looked up by name, the window's place and size around the rectangle and
// its cut visible part, a window that never takes the mouse or the focus, indexes that outlive
// removals, and the image built from the mask.
#include "SkinPixelSupport.h"
#include "acGlow.h"
#include "acSavedProcs.h"
#include "sGraphUtils.h"

namespace {

using namespace skintests;

// A skin whose section "GLOWSEC" holds a 9 x 9 glow mask "GLOW0" with 3-pixel borders; every pixel
// of the mask bitmap tells its place (blue = column, green = row) and carries alpha 200.
class GlowTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sGraphUtilsInitialization();
        acGlowInitialization();
        MakeManager({{"GLOWSEC"}});
        TsMaskData Mask;
        Mask.SectionName = "GLOWSEC";
        Mask.PropertyName = "GLOW0";
        Mask.ImageCount = 1;
        Mask.StretchMode = 4;
        Mask.WL = Mask.WT = Mask.WR = Mask.WB = 3;
        Mask.Manager = Manager;
        Mask.Bmp = NewBitmap32(9, 9);
        Mask.R = TRect{0, 0, 9, 9};
        for (int Y = 0; Y < 9; ++Y)
            for (int X = 0; X < 9; ++X)
                SetPx(Mask.Bmp, X, Y, TPx{X, Y, 7, 200});
        Manager->MaskList.push_back(Mask);
    }
    void TearDown() override {
        ClearGlowEffects();
        acGlowFinalization();
        SkinTest::TearDown();
    }
    int Add(TRect Rect, TRect Visible, int Inset = 1, const std::string& Section = "GLOWSEC",
            const std::string& MaskName = "GLOW") {
        return AddGlowEffect(Rect, Visible, Section, Manager, Form->Handle(), 255, Inset, MaskName);
    }
    static HWND WindowOf(int Index) { return GlowEffects[Index]->GlowForm->Handle(); }
    static TRect WindowRect(int Index) {
        RECT R;
        GetWindowRect(WindowOf(Index), &R);
        return TRect{R.left, R.top, R.right, R.bottom};
    }
};

TEST_F(GlowTest, NoWindowWithoutTheNumberedMaskOfTheSection) {
    struct Case {
        const char* Section;
        const char* MaskName;
    } Cases[] = {{"OTHER", "GLOW"}, {"GLOWSEC", "GLOW0"}, {"GLOWSEC", "SHADOW"}};
    for (const Case& C : Cases) {
        EXPECT_EQ(Add(TRect{100, 100, 140, 120}, TRect{0, 0, 40, 20}, 1, C.Section, C.MaskName), -1)
            << C.Section << " " << C.MaskName;
    }
    EXPECT_TRUE(GlowEffects.empty());
}

TEST_F(GlowTest, WindowSurroundsTheRectangleAndIsCutToItsVisiblePart) {
    struct Case {
        TRect Visible;
        TRect Expected;
    } Cases[] = {
        // Whole: 40 + 3 + 3 - 2 wide, starting at 100 + 1 - 3.
        {TRect{0, 0, 40, 20}, TRect{98, 98, 142, 122}},
        // Visible from row 5: 3 + 5 - 1 rows cut at the top.
        {TRect{0, 5, 40, 20}, TRect{98, 105, 142, 122}},
        // Visible up to column 30: the right end cut by 40 + 3 - 30 - 1.
        {TRect{0, 0, 30, 20}, TRect{98, 98, 130, 122}},
    };
    for (const Case& C : Cases) {
        const int I = Add(TRect{100, 100, 140, 120}, C.Visible);
        ASSERT_GE(I, 0);
        EXPECT_EQ(WindowRect(I), C.Expected) << C.Visible.Top << " " << C.Visible.Right;
        const LONG Ex = GetWindowLongA(WindowOf(I), GWL_EXSTYLE);
        EXPECT_TRUE((Ex & WS_EX_LAYERED) && (Ex & WS_EX_TOOLWINDOW));
        EXPECT_TRUE(IsWindowVisible(WindowOf(I)));
        EXPECT_EQ(GlowEffects[I]->GlowImage, nullptr);
    }
}

TEST_F(GlowTest, WindowNeverTakesTheMouseOrTheFocus) {
    SetForegroundWindow(Form->Handle());
    Pump();
    HWND Active = GetActiveWindow();
    const int I = Add(TRect{100, 100, 140, 120}, TRect{0, 0, 40, 20});
    ASSERT_GE(I, 0);
    Pump();
    EXPECT_EQ(GetActiveWindow(), Active);
    EXPECT_EQ(SendMessageA(WindowOf(I), WM_NCHITTEST, 0, MAKELPARAM(110, 110)), HTTRANSPARENT);
    EXPECT_EQ(GlowEffects[I]->GlowForm->Tag(), -98);
}

TEST_F(GlowTest, RectangleSmallerThanTheInsetGetsNoWindow) {
    const int I = Add(TRect{100, 100, 102, 102}, TRect{0, 0, 2, 2}, 10);
    ASSERT_GE(I, 0);
    EXPECT_FALSE(GlowEffects[I]->GlowForm->HandleAllocated());
}

TEST_F(GlowTest, IndexesStayValidAfterRemovals) {
    const int First = Add(TRect{10, 10, 50, 30}, TRect{0, 0, 40, 20});
    const int Second = Add(TRect{60, 10, 100, 30}, TRect{0, 0, 40, 20});
    ASSERT_EQ(First, 0);
    ASSERT_EQ(Second, 1);
    HWND SecondWnd = WindowOf(Second);
    for (int Index : {First, First, -1, 7})
        RemoveGlowEffect(Index);
    ASSERT_EQ(GlowEffects.size(), 2u);
    EXPECT_EQ(GlowEffects[0], nullptr);
    ASSERT_NE(GlowEffects[1], nullptr);
    EXPECT_EQ(WindowOf(1), SecondWnd);
    EXPECT_EQ(Add(TRect{10, 10, 50, 30}, TRect{0, 0, 40, 20}), 2);
    ClearGlowEffects();
    EXPECT_TRUE(GlowEffects.empty());
    Pump();
    EXPECT_FALSE(IsWindow(SecondWnd));
}

TEST_F(GlowTest, ImageIsTheMaskStretchedOverTransparentBlack) {
    TacGlowEffect Effect;
    Effect.Manager = Manager;
    Effect.PrepareImage(12, 10);
    ASSERT_NE(Effect.GlowImage, nullptr);
    EXPECT_EQ(GetPx(Effect.GlowImage, 5, 5), (TPx{0, 0, 0, 0})) << "no mask: nothing drawn";

    Effect.Mask = static_cast<int>(Manager->MaskList.size()) - 1;
    Effect.PrepareImage(12, 10);
    struct Case {
        int X, Y;
        TPx Expected;
    } Cases[] = {
        {0, 0, {0, 0, 7}},   // corners copied
        {11, 9, {8, 8, 7}},
        {11, 0, {8, 0, 7}},
        {3, 0, {3, 0, 7}},   // top edge tiled from column 3
        {6, 0, {3, 0, 7}},
        {0, 4, {0, 4, 7}},   // left edge tiled from row 3
        {6, 6, {3, 3, 7}},   // centre tiled
    };
    // Which mask pixel landed where; the alpha the corner copy leaves is the mask painter's own.
    for (const Case& C : Cases) {
        TPx Got = GetPx(Effect.GlowImage, C.X, C.Y);
        Got.A = 0;
        EXPECT_EQ(Got, C.Expected) << C.X << "," << C.Y;
    }
}

// A later hook of a glow window, chained and given back through the registry like the library's.
struct TLaterHook : TObject {
    TControl* Target = nullptr;
    TWndMethod Saved;
    void Hook(TControl* C) {
        Target = C;
        ChainWindowProc(C, TWndMethod::Bind<&TLaterHook::Proc>(this), Saved);
    }
    void Unhook() { UnchainWindowProc(Target, TWndMethod::Bind<&TLaterHook::Proc>(this), Saved); }
    void Proc(TMessage& M) { Saved(M); }
};

TEST_F(GlowTest, AHookOfTheGlowWindowAndTheEffectLeaveInEitherOrder) {
    for (bool EffectFirst : {true, false}) {
        const int I = Add(TRect{100, 100, 140, 120}, TRect{0, 0, 40, 20});
        ASSERT_GE(I, 0);
        TForm* Glow = GlowEffects[I]->GlowForm;
        HWND W = Glow->Handle();
        const TWndMethod Underneath = GlowEffects[I]->SavedWindowProc;
        TLaterHook Later;
        Later.Hook(Glow);
        RECT R;
        GetWindowRect(W, &R);
        const LPARAM Inside = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
        if (EffectFirst) {
            RemoveGlowEffect(I);
            EXPECT_TRUE(Later.Saved == Underneath) << "the later hook calls what the effect replaced";
            EXPECT_EQ(SendMessageA(W, WM_NCHITTEST, 0, Inside), HTCLIENT);
            Later.Unhook();
        } else {
            Later.Unhook();
            EXPECT_EQ(SendMessageA(W, WM_NCHITTEST, 0, Inside), HTTRANSPARENT) << "the effect answers again";
            RemoveGlowEffect(I);
        }
        EXPECT_TRUE(Glow->WindowProc == Underneath) << EffectFirst;
        Pump();
        EXPECT_FALSE(IsWindow(W));
    }
}

}  // namespace
