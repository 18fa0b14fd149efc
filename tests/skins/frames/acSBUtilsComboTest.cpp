// Hooks of combo boxes: the dropped list window gets its own hook, the button shows pressed while
// the list is down, repeated drops hold no GDI objects, and a skin change or the window's end while
// the list is down leaves every window procedure given back.
#include "../engine/SkinPixelSupport.h"

#include "acSBUtilsCombo.h"

#include <vector>

using namespace skintests;

namespace {

constexpr TColor EditColor = 0x303030, ButtonColor = 0x2040C0, ButtonHotColor = 0xC04020;

// The live GDI objects of the process. Where the platform does not count them, every handle index
// it can give out (the low word of a handle; a zero high word matches any generation) is asked.
int CountGdiObjects() {
    if (DWORD N = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(N);
    int Count = 0;
    for (UINT_PTR I = 1; I < 0x10000; ++I)
        Count += GetObjectType(reinterpret_cast<HGDIOBJ>(I)) != 0;
    return Count;
}

class acSBUtilsComboTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"EDIT", EditColor}, {"COMBOBTN", ButtonColor, 0, 0, 0, 0, ButtonHotColor}, {"GLOBALINFO", 0x808080}});
        Manager->CacheCommonIndexes();
        Combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 20, 20, 120, 150,
                                Form->Handle(), nullptr, nullptr, nullptr);
        for (const char* S : {"one", "two", "three"})
            SendMessageA(Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S));
        ComboProc = GetWindowLongPtrA(Combo, GWLP_WNDPROC);
        COMBOBOXINFO Info{};
        Info.cbSize = sizeof(Info);
        GetComboBoxInfo(Combo, &Info);
        List = Info.hwndList;
        ListProc = GetWindowLongPtrA(List, GWLP_WNDPROC);
        Hook = Create<TacComboBoxWnd>(Combo, false, "", Manager, nullptr);
    }
    void TearDown() override {
        FreeAndNil(Hook);
        if (IsWindow(Combo))
            DestroyWindow(Combo);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    void Drop(bool Down) {
        SendMessageA(Combo, CB_SHOWDROPDOWN, Down ? TRUE : FALSE, 0);
        Pump();
        UpdateWindow(List);
    }
    TPx ButtonPixel() {
        RECT W{};
        GetWindowRect(Combo, &W);
        TOwned<TBitmap> Image(MakeBitmap(W.right - W.left, W.bottom - W.top, pf24bit));
        SendMessageA(Combo, WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT);
        TRect B = Hook->GetButtonRect();
        return GetPx(Image.get(), (B.Left + B.Right) / 2, B.Top + 1);
    }
    HWND Combo = nullptr, List = nullptr;
    LONG_PTR ComboProc = 0, ListProc = 0;
    TacComboBoxWnd* Hook = nullptr;
};

TEST_F(acSBUtilsComboTest, DroppedListIsHookedAndTheButtonPaintsPressedMeanwhile) {
    EXPECT_EQ(Hook->SkinData->SkinSection(), "EDIT");
    EXPECT_EQ(ButtonPixel(), PxOf(ButtonColor));
    Drop(true);
    ASSERT_TRUE(IsWindowVisible(List));
    ASSERT_NE(Hook->ListHook, nullptr);
    EXPECT_EQ(Hook->ListHandle, List);
    EXPECT_EQ(GetHookOfWindow(List), Hook->ListHook);
    EXPECT_EQ(Hook->ButtonState(), 2);
    EXPECT_EQ(ButtonPixel(), PxOf(ButtonHotColor)) << "pressed while the list is down";
    Drop(false);
    EXPECT_EQ(ButtonPixel(), PxOf(ButtonColor));
    FreeAndNil(Hook);
    EXPECT_EQ(GetWindowLongPtrA(Combo, GWLP_WNDPROC), ComboProc);
    EXPECT_EQ(GetWindowLongPtrA(List, GWLP_WNDPROC), ListProc);
    EXPECT_EQ(GetPropA(List, HookPropName), nullptr);
}

TEST_F(acSBUtilsComboTest, FiftyDropsKeepTheGdiObjectCount) {
    Drop(true);
    Drop(false);
    const int Before = CountGdiObjects();
    ASSERT_GT(Before, 0);
    for (int I = 0; I < 50; ++I) {
        Drop(true);
        Drop(false);
    }
    EXPECT_EQ(CountGdiObjects(), Before);
}

TEST_F(acSBUtilsComboTest, SkinRemovedWhileDroppedGivesEveryProcedureBack) {
    Drop(true);
    ASSERT_NE(Hook->ListHook, nullptr);
    SendMessageA(Combo, SM_ALPHACMD, SkinCommandParam(SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager));
    FreeAndNil(Manager);
    Drop(false);
    FreeAndNil(Hook);
    EXPECT_EQ(GetWindowLongPtrA(Combo, GWLP_WNDPROC), ComboProc);
    EXPECT_EQ(GetWindowLongPtrA(List, GWLP_WNDPROC), ListProc);
    Drop(true);
    Drop(false);
}

TEST_F(acSBUtilsComboTest, ComboDestroyedWhileDroppedLeavesTheHooksUnhooked) {
    Drop(true);
    ASSERT_NE(Hook->ListHook, nullptr);
    DestroyWindow(Combo);
    EXPECT_TRUE(Hook->Unhooked);
    EXPECT_TRUE(Hook->ListHook->Unhooked);
    FreeAndNil(Hook);
}

TEST_F(acSBUtilsComboTest, SimpleBoxShowsWhatLiesBehindItBelowItsList) {
    HWND Simple = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_SIMPLE, 180, 20, 120, 103,
                                  Form->Handle(), nullptr, nullptr, nullptr);
    for (const char* S : {"one", "two", "three", "four", "five", "six", "seven", "eight"})
        SendMessageA(Simple, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S));
    COMBOBOXINFO Info{};
    Info.cbSize = sizeof(Info);
    ASSERT_TRUE(GetComboBoxInfo(Simple, &Info));
    auto* BoxHook = Create<TacComboBoxWnd>(Simple, false, "", Manager, nullptr);
    HDC Probe = GetDC(Simple);
    SendMessageA(Simple, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(Probe), reinterpret_cast<LPARAM>(Info.hwndList));
    ReleaseDC(Simple, Probe);
    ASSERT_NE(BoxHook->ListHook, nullptr);
    EXPECT_TRUE(BoxHook->ListHook->SimpleList);
    RECT B{}, L{};
    GetWindowRect(Simple, &B);
    GetWindowRect(Info.hwndList, &L);
    // A box a few pixels taller than its whole rows leaves a strip below its list.
    ASSERT_GT(B.bottom, L.bottom);
    HDC DC = GetWindowDC(Simple);
    const int X = (B.right - B.left) / 2, Y = B.bottom - B.top - 1;
    RECT Strip{0, L.bottom - B.top, B.right - B.left, B.bottom - B.top};
    HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(DC, &Strip, Red);
    DeleteObject(Red);
    ASSERT_EQ(GetPixel(DC, X, Y), RGB(255, 0, 0));
    SendMessageA(Info.hwndList, WM_NCPAINT, 1, 0);
    EXPECT_EQ(GetPixel(DC, X, Y), static_cast<COLORREF>(ColorToRGB(0x808080))) << "the form's background";
    ReleaseDC(Simple, DC);
    FreeAndNil(BoxHook);
    DestroyWindow(Simple);
}

}  // namespace
