#include "dxTLTestSupport.h"

using namespace treelist_tests;

namespace {
struct MessagesTest : TreeListEngineTest {
    void SetUp() override {
        TreeListEngineTest::SetUp();
        Tree->SetShowBands(true);
        Tree->OneBand({100, 100}, 200);
    }
    Layout Lay() {
        Layout L;
        Tree->CalcLayout(L);
        return L;
    }
};
}  // namespace

TEST_F(MessagesTest, DialogCodeFollowsTheOptions) {
    struct Case {
        const char* Name;
        TdxTreeListOptions Options;
        TdxTreeListOptionsEx OptionsEx;
        LRESULT Expected;
    };
    const Case Cases[] = {
        {"arrows only", {}, {}, DLGC_WANTARROWS},
        {"editing", {toEditing}, {}, DLGC_WANTARROWS | DLGC_WANTCHARS},
        {"incremental search", {}, {txIncrementalSearch}, DLGC_WANTARROWS | DLGC_WANTCHARS},
        {"tabs", {toTabs}, {}, DLGC_WANTARROWS | DLGC_WANTTAB},
    };
    for (const Case& C : Cases) {
        Tree->SetOptions(C.Options);
        Tree->SetOptionsEx(C.OptionsEx);
        EXPECT_EQ(C.Expected, Tree->Perform(WM_GETDLGCODE, 0, 0)) << C.Name;
    }
}

TEST_F(MessagesTest, DesignerMayGrabSizingEdgesOnly) {
    const Layout L = Lay();
    const int BandY = L.BandPanelRect.Top + 2;
    EXPECT_EQ(1, Tree->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(L.BandPanelRect.Left + 99, BandY)));
    EXPECT_EQ(0, Tree->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(L.RowsRect.Left + 50, L.RowsRect.Bottom - 2)));
    Tree->SetState(tsColumnSizing);
    EXPECT_EQ(1, Tree->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(L.RowsRect.Left + 50, L.RowsRect.Bottom - 2)));
    Tree->Perform(WM_CANCELMODE, 0, 0);
    EXPECT_EQ(tsIdle, Tree->State());
}

TEST_F(MessagesTest, HotTrackingFollowsTheMouseAndLeavesWithIt) {
    Tree->SetOptionsEx(Tree->OptionsEx() + TdxTreeListOptionsEx{txHotTrack});
    TdxTreeListNode* A = AddRoot("a");
    const Layout L = Lay();
    const int X = L.RowsRect.Left + 150, Y = L.Rows[0].Top + 3;
    Tree->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    EXPECT_EQ(A, Tree->HotNode());
    EXPECT_EQ(1, Tree->HotColumn());
    Tree->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(L.RowsRect.Left + 50, L.HeaderPanelRect.Top + 3));
    EXPECT_EQ(nullptr, Tree->HotNode());
    EXPECT_EQ(0, Tree->HotColumn());
    EXPECT_EQ(1, Tree->HotHeaderPart());
    Tree->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(-1, Tree->HotColumn());
    EXPECT_EQ(0, Tree->HotHeaderPart());

    // Deleting the hot node forgets it.
    Tree->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    A->Free();
    EXPECT_EQ(nullptr, Tree->HotNode());
}

TEST_F(MessagesTest, FlatBorderTakesOnePixelMore) {
    Tree->SetDrawStyle(2);
    const int Framed = Tree->ClientWidth();
    Tree->SetBorderStyle(0);
    EXPECT_EQ(Tree->Width(), Tree->ClientWidth());
    EXPECT_EQ(Tree->Width() - 4, Framed);
}
