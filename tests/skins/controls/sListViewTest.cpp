// The skinned list view: where a header item's text and sort glyph go, columns without images,
// mouse enter and leave events, and on the skinned path the subclassed header's hot and pressed
// items and their painting.
#include "SkinControlsTestSupport.h"

#include "sListView.h"

#include <commctrl.h>

using namespace skintests;

namespace {

TEST(sListViewLayout, HeaderTextGoesByAlignmentAndRoom) {
    // A 100 x 20 item: the text rectangle starts as (4, 1, 96, 19) and the room AW is 94.
    struct Case {
        int Format, Image, Text, Glyph;
        TRect Want;
    } Cases[] = {
        {HDF_LEFT, 0, 30, 0, {4, 1, 34, 19}},
        {HDF_LEFT, 20, 90, 0, {24, 1, 94, 19}},      // cut at the room
        {HDF_CENTER, 0, 30, 14, {28, 1, 58, 19}},    // text and glyph centred together
        {HDF_CENTER, 20, 60, 14, {26, 1, 82, 19}},   // too wide: 6 plus the image offset
        {HDF_RIGHT, 0, 30, 14, {52, 1, 82, 19}},
        {HDF_RIGHT, 10, 70, 14, {16, 1, 82, 19}},
    };
    for (const Case& K : Cases) {
        TRect T = HeaderTextRect(Rect(0, 0, 100, 20), K.Format, K.Image, K.Text, K.Glyph);
        EXPECT_EQ(T, K.Want) << "format " << K.Format << " text " << K.Text;
    }
}

class sListViewTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sListViewInitialization();
    }
    // A report view with two columns 60 and 80 pixels wide.
    TsCustomListView* PlaceReport() {
        auto* L = Place<TsCustomListView>(10, 10, 300, 150);
        L->SetViewStyle(vsReport);
        for (int W : {60, 80}) {
            TListColumn* C = L->Columns()->Add();
            C->SetCaption("Col");
            C->SetWidth(W);
        }
        L->HandleNeeded();
        return L;
    }
    static int HeaderFormat(HWND Header, int Index) {
        HDITEMA Item{};
        Item.mask = HDI_FORMAT;
        SendMessageA(Header, HDM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item));
        return Item.fmt;
    }
};

TEST_F(sListViewTest, ColumnWithoutImageAsksForNoImage) {
    TsCustomListView* L = PlaceReport();
    char Text[] = "Size";
    LVCOLUMNA Column{};
    Column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE;
    Column.pszText = Text;
    Column.cx = 50;
    Column.iImage = -1;
    ASSERT_EQ(L->Perform(LVM_INSERTCOLUMNA, 2, reinterpret_cast<LPARAM>(&Column)), 2);
    EXPECT_EQ(Column.mask & LVCF_IMAGE, 0u);
    EXPECT_EQ(HeaderFormat(L->HeaderHandle(), 2) & HDF_IMAGE, 0);
    Column.mask |= LVCF_IMAGE;
    Column.iImage = 0;
    L->Perform(LVM_SETCOLUMNA, 2, reinterpret_cast<LPARAM>(&Column));
    EXPECT_NE(Column.mask & LVCF_IMAGE, 0u) << "an image index stays";
}

TEST_F(sListViewTest, MouseOnTheControlItselfIsTold) {
    TsCustomListView* L = PlaceReport();
    std::vector<std::string> Events;
    L->OnMouseEnter = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("enter"); });
    L->OnMouseLeave = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("leave"); });
    L->Perform(CM_MOUSEENTER, 0, 0);
    L->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Form));  // a child's, not the control's
    L->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_EQ(L->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0), 1);
}

// ---------------------------------------------------------------------------------------------
// Skinned path

constexpr TColor HeaderColor = 0x00406080, HeaderHot = 0x00C0E0F0;

class sListViewSkinnedTest : public sListViewTest {
protected:
    void SetUp() override {
        sListViewTest::SetUp();
        MakeManager({{"EDIT", clWhite}, {"COLHEADER", HeaderColor, 0, 0, 0, 0, HeaderHot}});
        List = PlaceReport();
        Header = List->SubclassedHeader();
    }
    // A header message at a point of the header's client area.
    LRESULT HeaderAt(UINT Msg, int X, int Y, bool Screen = false) {
        POINT P{X, Y};
        if (Screen)
            ClientToScreen(Header, &P);
        return SendMessageA(Header, Msg, Msg == WM_NCHITTEST ? 0 : MK_LBUTTON, MAKELPARAM(P.x, P.y));
    }
    TsCustomListView* List = nullptr;
    HWND Header = nullptr;
};

TEST_F(sListViewSkinnedTest, HeaderIsSubclassedAndTracksTheHotColumn) {
    ASSERT_TRUE(List->SkinData()->IsSkinned(false));
    ASSERT_NE(Header, nullptr);
    EXPECT_EQ(Header, List->HeaderHandle());
    HeaderAt(WM_NCHITTEST, 100, 5, true);
    EXPECT_EQ(List->HotColumn(), 1);
    HeaderAt(WM_NCHITTEST, 20, 5, true);
    EXPECT_EQ(List->HotColumn(), 0);
    HeaderAt(WM_NCHITTEST, 250, 5, true);
    EXPECT_EQ(List->HotColumn(), -2) << "right of the last column";
    HeaderAt(WM_NCHITTEST, 20, 5, true);
    List->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(List->HotColumn(), -2);
}

TEST_F(sListViewSkinnedTest, PressOnADividerLeavesNoColumnPressed) {
    HeaderAt(WM_LBUTTONDOWN, 100, 5);
    EXPECT_EQ(List->PressedColumn(), 1);
    HeaderAt(WM_LBUTTONUP, 100, 5);
    EXPECT_EQ(List->PressedColumn(), -1);
    HeaderAt(WM_LBUTTONDOWN, 60, 5);
    EXPECT_EQ(List->PressedColumn(), -1);
    HeaderAt(WM_LBUTTONUP, 60, 5);
}

TEST_F(sListViewSkinnedTest, HotItemIsPaintedInTheSectionsHotColour) {
    HeaderAt(WM_NCHITTEST, 100, 5, true);
    ASSERT_EQ(List->HotColumn(), 1);
    List->PaintHeader();
    HDC DC = GetDC(Header);
    EXPECT_EQ(static_cast<TColor>(GetPixel(DC, 130, 2)), HeaderHot);
    EXPECT_EQ(static_cast<TColor>(GetPixel(DC, 50, 2)), HeaderColor);
    ReleaseDC(Header, DC);
}

}  // namespace
