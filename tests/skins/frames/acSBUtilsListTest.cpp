// Hooks of list views: the column header painted from the skin section by section in display
// order (the hot column in the hot look), a thumb drag that scrolls a report view by whole rows,
// and the header's procedure given back with the list's.
#include "../engine/SkinPixelSupport.h"

#include "Grids.h"
#include "acSBUtilsList.h"

#include <commctrl.h>

using namespace skintests;

namespace {

constexpr TColor ListColor = 0xF0F0F0, HeaderColor = 0x204060, HeaderHotColor = 0x60A020;

class acSBUtilsListTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"EDIT", ListColor}, {"COLHEADER", HeaderColor, 0, 0, 0, 0, HeaderHotColor}, {"GLOBALINFO", 0x808080}});
        List = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 200, 150, Form->Handle(),
                               nullptr, nullptr, nullptr);
        char Empty[] = "";
        for (int Width : {40, 80}) {
            LVCOLUMNA C{};
            C.mask = LVCF_WIDTH | LVCF_TEXT;
            C.cx = Width;
            C.pszText = Empty;
            SendMessageA(List, LVM_INSERTCOLUMNA, static_cast<WPARAM>(Width == 40 ? 0 : 1), reinterpret_cast<LPARAM>(&C));
        }
        for (int I = 0; I < 50; ++I) {
            char Text[8] = "row";
            LVITEMA Item{};
            Item.mask = LVIF_TEXT;
            Item.iItem = I;
            Item.pszText = Text;
            SendMessageA(List, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Item));
        }
        Header = reinterpret_cast<HWND>(SendMessageA(List, LVM_GETHEADER, 0, 0));
        ListProc = GetWindowLongPtrA(List, GWLP_WNDPROC);
        HeaderProc = GetWindowLongPtrA(Header, GWLP_WNDPROC);
        Hook = Create<TacListViewWnd>(List, false, "", Manager, nullptr);
    }
    void TearDown() override {
        FreeAndNil(Hook);
        if (IsWindow(List))
            DestroyWindow(List);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    // The header row of the printed list at x (y 2 keeps clear of any text).
    TPx HeaderPixel(TBitmap* Image, int X) { return GetPx(Image, Hook->LeftEdge + X, Hook->LeftEdge + 2); }
    TBitmap* Print() {
        TBitmap* Image = MakeBitmap(200, 150, pf24bit);
        SendMessageA(List, WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT | PRF_NONCLIENT);
        return Image;
    }
    HWND List = nullptr, Header = nullptr;
    LONG_PTR ListProc = 0, HeaderProc = 0;
    TacListViewWnd* Hook = nullptr;
};

TEST_F(acSBUtilsListTest, HeaderSectionsArePaintedInDisplayOrder) {
    ASSERT_EQ(Hook->HeaderWnd, Header);
    Hook->HotColumn = 1;
    {
        TOwned<TBitmap> Image(Print());
        EXPECT_EQ(HeaderPixel(Image.get(), 20), PxOf(HeaderColor)) << "column 0 first, 40 wide";
        EXPECT_EQ(HeaderPixel(Image.get(), 60), PxOf(HeaderHotColor)) << "the hot column 1 after it";
        EXPECT_EQ(HeaderPixel(Image.get(), 150), PxOf(HeaderColor)) << "the empty rest of the header";
    }
    int Order[2] = {1, 0};
    SendMessageA(Header, HDM_SETORDERARRAY, 2, reinterpret_cast<LPARAM>(Order));
    TOwned<TBitmap> Image(Print());
    EXPECT_EQ(HeaderPixel(Image.get(), 20), PxOf(HeaderHotColor)) << "column 1 shown first, 80 wide";
    EXPECT_EQ(HeaderPixel(Image.get(), 60), PxOf(HeaderHotColor));
    EXPECT_EQ(HeaderPixel(Image.get(), 100), PxOf(HeaderColor)) << "column 0 after it";
}

TEST_F(acSBUtilsListTest, ThumbDragScrollsAReportViewByWholeRows) {
    ASSERT_EQ(SendMessageA(List, LVM_GETTOPINDEX, 0, 0), 0);
    BarInteraction.LastTrackPos = 0;
    SendMessageA(List, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 0);
    EXPECT_EQ(SendMessageA(List, LVM_GETTOPINDEX, 0, 0), 5);
    BarInteraction.LastTrackPos = 5;
    SendMessageA(List, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 8);  // the skinned bar's position in LParam
    EXPECT_EQ(SendMessageA(List, LVM_GETTOPINDEX, 0, 0), 8);
    BarInteraction.LastTrackPos = 0;
}

TEST_F(acSBUtilsListTest, FreeingTheHookGivesListAndHeaderTheirProceduresBack) {
    EXPECT_NE(GetWindowLongPtrA(Header, GWLP_WNDPROC), HeaderProc);
    FreeAndNil(Hook);
    EXPECT_EQ(GetWindowLongPtrA(List, GWLP_WNDPROC), ListProc);
    EXPECT_EQ(GetWindowLongPtrA(Header, GWLP_WNDPROC), HeaderProc);
}

TEST_F(acSBUtilsListTest, ListDestroyedWhileHookedLeavesItUnhooked) {
    DestroyWindow(List);
    EXPECT_TRUE(Hook->Unhooked);
    EXPECT_EQ(Hook->HeaderWnd, nullptr);
    FreeAndNil(Hook);
}

TEST_F(acSBUtilsListTest, GridTakesTheSkinsFixedColourUntilItsHookIsFreed) {
    auto* Grid = Place<TDrawGrid>(220, 10, 150, 100);
    Grid->SetFixedColor(clBtnFace);
    auto* Data = Create<TsCommonData>(Grid, true);
    auto* GridHook = Create<TacGridWnd>(Grid->Handle(), false, "", Manager, Data);
    GridHook->SetSkinParams();
    EXPECT_EQ(Grid->FixedColor(), Manager->GetMainColor());
    FreeAndNil(GridHook);
    EXPECT_EQ(Grid->FixedColor(), clBtnFace) << "the grid's own colour is back";
    FreeAndNil(Data);
}

}  // namespace
