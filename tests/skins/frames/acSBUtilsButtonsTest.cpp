// Hooks of push buttons, check boxes, radio buttons and up-down controls: each window printed
// from the skin (section colour, check images from GLOBALINFO placed by the text side, the disabled
// look blended with what lies behind), and every window procedure given back when the hook goes.
#include "../engine/SkinPixelSupport.h"

#include "acSBUtilsButtons.h"

#include <commctrl.h>

#include <cstdlib>
#include <vector>

using namespace skintests;

namespace {

constexpr TColor ButtonColor = 0x204060, CheckColor = 0x406020, MainColor = 0x808080;
// The check images: one 12 x 12 image per state, three states side by side.
constexpr TColor BoxUnchecked = 0x0000FF, BoxChecked = 0x00FF00, RadioChecked = 0xFF0000, RadioUnchecked = 0x00FFFF;

class acSBUtilsButtonsTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"BUTTON", ButtonColor}, {"CHECKBOX", CheckColor}, {"GLOBALINFO", MainColor}});
        Manager->MasterBitmap = MakeBitmap(72, 24, pf24bit);
        const struct {
            const char* Name;
            TRect R;
            TColor C;
        } Images[] = {{"BOXUNCHECKED", Rect(0, 0, 36, 12), BoxUnchecked},
                      {"BOXCHECKED", Rect(0, 12, 36, 24), BoxChecked},
                      {"RADIOCHECKED", Rect(36, 0, 72, 12), RadioChecked},
                      {"RADIOUNCHECKED", Rect(36, 12, 72, 24), RadioUnchecked}};
        for (const auto& I : Images) {
            for (int Y = I.R.Top; Y < I.R.Bottom; ++Y)
                for (int X = I.R.Left; X < I.R.Right; ++X)
                    SetPx(Manager->MasterBitmap, X, Y, PxOf(I.C));
            TsMaskData Mask{nullptr, "GLOBALINFO", I.Name, I.R, 3};
            Mask.Manager = Manager;
            Manager->MaskList.push_back(Mask);
        }
    }
    void TearDown() override {
        for (TacMainWnd*& H : Hooks)
            FreeAndNil(H);
        for (HWND W : Windows)
            if (IsWindow(W))
                DestroyWindow(W);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    template <class T>
    HWND Hooked(const char* Class, const char* Text, DWORD Style, int W, int H, const char* Section = "") {
        HWND Wnd = CreateWindowExA(0, Class, Text, WS_CHILD | WS_VISIBLE | Style, 20, 20, W, H, Form->Handle(), nullptr,
                                   nullptr, nullptr);
        Windows.push_back(Wnd);
        T* Hook = Create<T>(Wnd, false, Section, Manager, nullptr);
        Hook->SkinData->RefreshSkinIndexes();
        Hooks.push_back(Hook);
        return Wnd;
    }
    TBitmap* Print(HWND Wnd, int W, int H) {
        TBitmap* Image = MakeBitmap(W, H, pf24bit, PxOf(0x010101));
        SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT | PRF_ERASEBKGND);
        return Image;
    }
    std::vector<TacMainWnd*> Hooks;
    std::vector<HWND> Windows;
};

bool Near(TPx A, TPx B) { return std::abs(A.R - B.R) <= 1 && std::abs(A.G - B.G) <= 1 && std::abs(A.B - B.B) <= 1; }

TEST_F(acSBUtilsButtonsTest, PushButtonPrintsItsSectionAndKeepsOwnPaintingOut) {
    HWND Wnd = Hooked<TacBtnWnd>("BUTTON", "OK", BS_PUSHBUTTON, 80, 24);
    EXPECT_EQ(Hooks.back()->SkinData->SkinSection(), "BUTTON");
    TOwned<TBitmap> Image(Print(Wnd, 80, 24));
    for (TPoint P : {Point(1, 1), Point(78, 1), Point(1, 22), Point(78, 22)})
        EXPECT_EQ(GetPx(Image.get(), P.X, P.Y), PxOf(ButtonColor)) << P.X << "," << P.Y;
    EXPECT_EQ(SendMessageA(Wnd, SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0), 1);
}

TEST_F(acSBUtilsButtonsTest, DisabledButtonKeepsFortyPercentOfItsImageOverTheBackground) {
    HWND Wnd = Hooked<TacBtnWnd>("BUTTON", "", BS_PUSHBUTTON, 40, 20);
    EnableWindow(Wnd, FALSE);
    TOwned<TBitmap> Image(Print(Wnd, 40, 20));
    auto Mix = [](int Back, int Own) { return int(Back * 0.6 + Own * 0.4 + 0.5); };
    const TPx Own = PxOf(ButtonColor), Back = PxOf(MainColor);
    const TPx Expected{Mix(Back.B, Own.B), Mix(Back.G, Own.G), Mix(Back.R, Own.R), 0};
    EXPECT_TRUE(Near(GetPx(Image.get(), 20, 10), Expected)) << GetPx(Image.get(), 20, 10) << " " << Expected;
}

TEST_F(acSBUtilsButtonsTest, CheckImageStandsOnTheSideAwayFromTheText) {
    const struct {
        DWORD Style;
        bool Check;
        TColor Image;
        bool AtRight;
    } Cases[] = {
        {BS_AUTOCHECKBOX, true, BoxChecked, false},
        {BS_AUTOCHECKBOX | BS_LEFTTEXT, true, BoxChecked, true},
        {BS_AUTOCHECKBOX | BS_LEFTTEXT, false, BoxUnchecked, true},
        {BS_AUTORADIOBUTTON, true, RadioChecked, false},
        {BS_AUTORADIOBUTTON, false, RadioUnchecked, false},
    };
    for (const auto& C : Cases) {
        HWND Wnd = Hooked<TacCheckBoxWnd>("BUTTON", "Text", C.Style, 100, 20);
        EXPECT_EQ(Hooks.back()->SkinData->SkinSection(), "CHECKBOX");
        SendMessageA(Wnd, BM_SETCHECK, C.Check ? BST_CHECKED : BST_UNCHECKED, 0);
        TOwned<TBitmap> Image(Print(Wnd, 100, 20));
        // The 12 x 12 image centred vertically (rows 4 to 15) at one edge; the section elsewhere.
        const int GlyphX = C.AtRight ? 94 : 5, OtherX = C.AtRight ? 60 : 94;  // clear of the text
        EXPECT_EQ(GetPx(Image.get(), GlyphX, 10), PxOf(C.Image)) << C.Style;
        EXPECT_EQ(GetPx(Image.get(), OtherX, 10), PxOf(CheckColor)) << C.Style;
        EXPECT_EQ(GetPx(Image.get(), GlyphX, 1), PxOf(CheckColor)) << C.Style;
    }
}

TEST_F(acSBUtilsButtonsTest, UpDownWithoutItsSectionIsPaintedAsAButton) {
    HWND Wnd = Hooked<TacSpinWnd>(UPDOWN_CLASSA, "", 0, 16, 30, "UPDOWNBTN");
    EXPECT_EQ(Hooks.back()->SkinData->SkinSection(), "BUTTON");
    TOwned<TBitmap> Image(Print(Wnd, 16, 30));
    EXPECT_EQ(GetPx(Image.get(), 8, 3), PxOf(ButtonColor));
    EXPECT_EQ(GetPx(Image.get(), 8, 26), PxOf(ButtonColor));
}

TEST_F(acSBUtilsButtonsTest, EveryHookGivesItsWindowProcedureBack) {
    const char* Classes[] = {"BUTTON", "BUTTON", UPDOWN_CLASSA};
    for (int I = 0; I < 3; ++I) {
        HWND Wnd = CreateWindowExA(0, Classes[I], "x", WS_CHILD | WS_VISIBLE | (I == 1 ? BS_AUTOCHECKBOX : 0), 0, 0, 40,
                                   20, Form->Handle(), nullptr, nullptr, nullptr);
        LONG_PTR Original = GetWindowLongPtrA(Wnd, GWLP_WNDPROC);
        TacMainWnd* Hook = I == 0   ? static_cast<TacMainWnd*>(Create<TacBtnWnd>(Wnd, false, "", nullptr, nullptr))
                           : I == 1 ? static_cast<TacMainWnd*>(Create<TacCheckBoxWnd>(Wnd, false, "", nullptr, nullptr))
                                    : static_cast<TacMainWnd*>(Create<TacSpinWnd>(Wnd, false, "", nullptr, nullptr));
        EXPECT_NE(GetWindowLongPtrA(Wnd, GWLP_WNDPROC), Original);
        FreeAndNil(Hook);
        EXPECT_EQ(GetWindowLongPtrA(Wnd, GWLP_WNDPROC), Original) << Classes[I];
        EXPECT_EQ(GetPropA(Wnd, HookPropName), nullptr);
        DestroyWindow(Wnd);
    }
}

}  // namespace
