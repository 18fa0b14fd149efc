// Hooks of tab and page controls: the page area from the section of the tabs' side (CHECKBOX
// without tabs), pages hooked once each, and a page's hook dropped with its window.
#include "../engine/SkinPixelSupport.h"

#include "ComCtrls.h"
#include "acSBUtilsTabs.h"

#include <commctrl.h>

#include <algorithm>

using namespace skintests;

namespace {

constexpr TColor PageColor = 0x204060, BottomColor = 0x602040, NoTabsColor = 0x406020;

class acSBUtilsTabsTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"PAGECONTROL", PageColor},
                     {"PAGECONTROLBOTTOM", BottomColor},
                     {"CHECKBOX", NoTabsColor},
                     {"GLOBALINFO", 0x808080}});
        Manager->CacheCommonIndexes();
    }
    void TearDown() override {
        FreeAndNil(Hook);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    TPx PrintedAt(HWND Wnd, int X, int Y) {
        TOwned<TBitmap> Image(MakeBitmap(200, 120, pf24bit));
        SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT);
        return GetPx(Image.get(), X, Y);
    }
    TacMainWnd* Hook = nullptr;
};

TEST_F(acSBUtilsTabsTest, PageAreaTakesTheSectionOfItsTabsSide) {
    HWND Tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | TCS_BOTTOM, 10, 10, 200, 120,
                                Form->Handle(), nullptr, nullptr, nullptr);
    Hook = Create<TacTabControlWnd>(Tabs, false, "", Manager, nullptr);
    EXPECT_EQ(Hook->SkinData->SkinSection(), "PAGECONTROL");
    EXPECT_EQ(PrintedAt(Tabs, 100, 60), PxOf(NoTabsColor)) << "no tabs: all from CHECKBOX";
    char Text[] = "Tab";
    TCITEMA Item{};
    Item.mask = TCIF_TEXT;
    Item.pszText = Text;
    SendMessageA(Tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Item));
    SendMessageA(Tabs, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&Item));
    EXPECT_EQ(PrintedAt(Tabs, 100, 40), PxOf(BottomColor)) << "tabs at the bottom";
    EXPECT_EQ(SendMessageA(Tabs, SM_ALPHACMD, SkinCommandParam(SKIN_GETMANAGER), 0), reinterpret_cast<LRESULT>(Manager));
    FreeAndNil(Hook);
    DestroyWindow(Tabs);
}

TEST_F(acSBUtilsTabsTest, PagesAreHookedOnceAndTheirHooksGoWithThem) {
    auto* Pages = Place<TPageControl>(10, 10, 200, 120);
    auto* First = Create<TTabSheet>(Form);
    First->SetPageControl(Pages);
    auto* Second = Create<TTabSheet>(Form);
    Second->SetPageControl(Pages);
    Pages->SetActivePage(First);
    ASSERT_NE(Second->Handle(), nullptr);  // the hidden page's window made as well
    TsCommonData* D = Create<TsCommonData>(Pages, true);
    auto* PageHook = Create<TacPageControlWnd>(Pages->Handle(), false, "", Manager, D);
    Hook = PageHook;
    ASSERT_NE(PageHookList, nullptr);
    const auto Hooked = [] { return PageHookList ? static_cast<int>(PageHookList->size()) : 0; };
    const int Count = Hooked();
    EXPECT_EQ(Count, 2);
    EXPECT_EQ(SendMessageA(First->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0), 1);
    PageHook->HookPages();
    EXPECT_EQ(Hooked(), Count) << "no page hooked twice";
    FreeAndNil(Second);
    EXPECT_EQ(Hooked(), Count - 1) << "the page's hook went with its window";
    FreeAndNil(Hook);
    FreeAndNil(D);
}

}  // namespace
