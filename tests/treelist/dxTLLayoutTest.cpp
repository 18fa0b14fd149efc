#include "dxTLTestSupport.h"

using namespace treelist_tests;

namespace {
struct LayoutTest : TreeListEngineTest {
    // Bands of one column each, the column as wide as its band.
    void BandsOf(std::vector<int> Widths) {
        Tree->Bands.clear();
        Tree->Columns.clear();
        for (int W : Widths) {
            Tree->Bands.push_back(TestBand{W, 0, true, {{static_cast<int>(Tree->Columns.size())}}});
            Tree->Columns.push_back(TestColumn{W, 0, true, ""});
        }
        Tree->LayoutChanged();
    }
    // Sets the client width so that the data area is exactly Width pixels wide.
    void DataWidth(int Width) {
        Tree->SetBorderStyle(0);
        Tree->SetScrollBars(0);
        Tree->SetBounds(0, 0, Width, 200);
        Tree->LayoutChanged();
        ASSERT_EQ(Width, Tree->GetDataClientRect().Width());
    }
    HitInfo Hit(int X, int Y) {
        HitInfo H;
        Tree->GetHitInfo(TPoint{X, Y}, H);
        return H;
    }
    Layout Lay() {
        Layout L;
        Tree->CalcLayout(L);
        return L;
    }
};
}  // namespace

TEST_F(LayoutTest, AutoWidthSharesTheDataAreaByNaturalWidths) {
    DataWidth(600);
    BandsOf({100, 200, 100});
    Tree->SetOptions(Tree->Options() + TdxTreeListOptions{toAutoWidth});
    EXPECT_EQ(150, Tree->GetBandDisplayWidth(0));
    EXPECT_EQ(300, Tree->GetBandDisplayWidth(1));
    EXPECT_EQ(150, Tree->GetBandDisplayWidth(2));
    EXPECT_EQ(600, Tree->GetContentWidth());

    // A band whose share falls below its minimum keeps the minimum; the others share the rest by
    // their natural widths, the last band taking the remainder.
    Tree->Bands[0].MinWidth = 90;
    DataWidth(300);
    EXPECT_EQ(90, Tree->GetBandDisplayWidth(0));
    EXPECT_EQ(140, Tree->GetBandDisplayWidth(1));
    EXPECT_EQ(70, Tree->GetBandDisplayWidth(2));

    // Sizing a band under auto width keeps the content width.
    Tree->ResizeBandAutoWidth(1, 120);
    EXPECT_EQ(300, Tree->GetContentWidth());
    EXPECT_EQ(120, Tree->GetBandDisplayWidth(1));
}

TEST_F(LayoutTest, ColumnsShareTheirBand) {
    Tree->SetOptionsEx(Tree->OptionsEx() - TdxTreeListOptionsEx{txProportionalBandColumns});
    Tree->OneBand({50}, 300);
    EXPECT_EQ(300, Tree->GetColumnDisplayWidth(0));  // a lone column takes the whole band

    Tree->OneBand({100, 100, 100}, 150);
    Tree->Columns[0].MinWidth = 80;
    Tree->LayoutChanged();
    EXPECT_EQ(80, Tree->GetColumnDisplayWidth(0));
    EXPECT_EQ(150, Tree->GetColumnDisplayWidth(0) + Tree->GetColumnDisplayWidth(1) + Tree->GetColumnDisplayWidth(2));
    const Layout L = Lay();
    ASSERT_EQ(3u, L.HeaderCells.size());
    EXPECT_EQ(80, L.HeaderCells[0].Rect.Width());
    EXPECT_EQ(L.HeaderCells[0].Rect.Right, L.HeaderCells[1].Rect.Left);
    EXPECT_EQ(L.Bands[0].Rect.Right, L.HeaderCells[2].Rect.Right);
}

TEST_F(LayoutTest, RowsStartAtTheTopNode) {
    BandsOf({100});
    Layout L = Lay();
    EXPECT_TRUE(L.Rows.empty());
    EXPECT_EQ(L.RowsRect.Top - 1, L.LastRowBottom);
    for (int I = 0; I < 3; ++I)
        AddRoot(std::to_string(I));
    Tree->SetTopNode(Tree->GetRootNode(1));
    L = Lay();
    ASSERT_EQ(2u, L.Rows.size());
    EXPECT_EQ(Tree->GetRootNode(1), L.Rows[0].Node);
    EXPECT_EQ(L.RowsRect.Top + 2 * Tree->RowHeight() - 1, L.LastRowBottom);
    EXPECT_EQ(L.LastRowBottom + 1, L.EmptyAreaRect.Top);
}

TEST_F(LayoutTest, HitTestPrecedence) {
    Tree->SetShowBands(true);
    BandsOf({100, 100});
    Tree->SetShowIndicator(false);
    TdxTreeListNode* A = AddRoot("a");
    const Layout L = Lay();
    const int BandY = L.BandPanelRect.Top + 2, HeaderY = L.HeaderPanelRect.Top + 2;
    const int RowY = L.RowsRect.Top + 2, X0 = L.RowsRect.Left;
    struct Case {
        const char* Name;
        int X, Y;
        TdxTreeListHitKind Kind;
        int Band, Column;
    };
    const Case Cases[] = {
        {"outside", -1, RowY, htOutside, -1, -1},
        {"band", X0 + 50, BandY, htBand, 0, -1},
        {"band edge on the right edge", X0 + 100, BandY, htBandEdge, 0, -1},
        {"band edge inside", X0 + 97, BandY, htBandEdge, 0, -1},
        {"header", X0 + 50, HeaderY, htHeader, 0, 0},
        {"last cell of a band row: band edge", X0 + 98, HeaderY, htBandEdge, 0, -1},
        {"cell", X0 + 150, RowY, htCell, 1, 1},
        {"right of the data", X0 + 250, RowY, htRowRight, -1, -1},
        {"below the rows", X0 + 50, L.RowsRect.Bottom - 2, htNowhere, -1, -1},
    };
    for (const Case& C : Cases) {
        const HitInfo H = Hit(C.X, C.Y);
        EXPECT_EQ(C.Kind, H.HitKind) << C.Name;
        EXPECT_EQ(C.Band, H.Band) << C.Name;
        if (C.Column >= 0) {
            EXPECT_EQ(C.Column, H.Column) << C.Name;
        }
    }
    EXPECT_EQ(A, Hit(X0 + 150, RowY).Node);
    EXPECT_EQ(0, Hit(X0 + 150, RowY).Row);

    Tree->SetOptionsEx(Tree->OptionsEx() - TdxTreeListOptionsEx{txBandSizing});
    EXPECT_EQ(htBand, Hit(X0 + 100, BandY).HitKind);
}

TEST_F(LayoutTest, RowEdgesSpanTheRowWithoutAnIndicator) {
    BandsOf({200});
    Tree->SetOptionsEx(Tree->OptionsEx() + TdxTreeListOptionsEx{txRowSizing});
    AddRoot("a");
    AddRoot("b");
    const Layout L = Lay();
    const int Bottom = L.Rows[0].Top + L.Rows[0].Height;
    for (int X : {L.RowsRect.Left + 1, L.RowsRect.Left + 150}) {
        const HitInfo H = Hit(X, Bottom - 2);
        EXPECT_EQ(htRowEdge, H.HitKind);
        EXPECT_EQ(0, H.Row);
        EXPECT_EQ(htRowEdge, Hit(X, Bottom + 1).HitKind);  // the top of the next row is the edge above it
        EXPECT_EQ(0, Hit(X, Bottom + 1).Row);
    }
    EXPECT_EQ(htCell, Hit(L.RowsRect.Left + 150, L.Rows[0].Top + 5).HitKind);
}

TEST_F(LayoutTest, RowsAreHitOnlyWhenBandsAreLaidOut) {
    Tree->Bands.clear();
    Tree->LayoutChanged();
    AddRoot("a");
    const Layout L = Lay();
    EXPECT_TRUE(L.Bands.empty());
    EXPECT_EQ(0, L.FirstBandWidth);
    EXPECT_EQ(htNowhere, Hit(L.RowsRect.Left + 20, L.RowsRect.Top + 2).HitKind);
}

TEST_F(LayoutTest, ExpandButtonsAndCellsOfATree) {
    BandsOf({200});
    TdxTreeListNode* A = AddRoot("a", 1);
    A->Expand(false);
    const Layout L = Lay();
    const int Y0 = L.Rows[0].Top + 3, Y1 = L.Rows[1].Top + 3;
    EXPECT_EQ(htButton, Hit(L.RowsRect.Left + 8, Y0).HitKind);
    EXPECT_EQ(htIndent, Hit(L.RowsRect.Left + 8, Y1).HitKind);
    EXPECT_EQ(htCell, Hit(L.RowsRect.Left + 40, Y1).HitKind);
    TRect Cell;
    Tree->GetCellRect(A->Items(0), 0, Cell);
    EXPECT_EQ(L.RowsRect.Left + 32, Cell.Left);  // past the child's indent
    EXPECT_EQ(L.Rows[1].Top, Cell.Top);
}

TEST_F(LayoutTest, ScrolledAwayColumnHasNoCellRectangle) {
    DataWidth(200);
    BandsOf({150, 150, 150, 150});
    TdxTreeListNode* A = AddRoot("a");
    Tree->SetLeftCoord(1000);
    EXPECT_EQ(400, Tree->LeftCoord());  // kept within the content
    TRect R;
    Tree->GetCellRect(A, 0, R);
    EXPECT_EQ((TRect{-1, -1, -1, -1}), R);
    Tree->GetCellRect(A, 3, R);
    EXPECT_NE(-1, R.Left);
    Tree->MakeColumnVisible(0);
    EXPECT_EQ(0, Tree->LeftCoord());
}

TEST_F(LayoutTest, ThumbTrackingMovesInStepsOfFour) {
    DataWidth(200);
    BandsOf({250, 250});
    ASSERT_EQ(500, Tree->GetScrollableContentWidth());
    ASSERT_EQ(200, Tree->GetScrollableWidth());
    EXPECT_EQ(36, Tree->HorzThumbPosition(37));
    EXPECT_EQ(300, Tree->HorzThumbPosition(299));
    EXPECT_EQ(0, Tree->HorzThumbPosition(-3));
    EXPECT_EQ(500, Tree->HorzThumbPosition(700));
}

TEST_F(LayoutTest, TopIndexStaysWithinTheRows) {
    BandsOf({200});
    AddRoot("only");
    Tree->SetTopIndex(5);
    EXPECT_EQ(0, Tree->GetTopIndex());  // one row: nothing scrolls
    for (int I = 0; I < 40; ++I)
        AddRoot(std::to_string(I));
    Tree->SetTopIndex(1000);
    EXPECT_EQ(Tree->GetRowCount() - Tree->VisibleRowCount(), Tree->GetTopIndex());
    Tree->Perform(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(0, Tree->GetTopIndex());
    Tree->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(1, Tree->GetTopIndex());
}

TEST_F(LayoutTest, SizingLimits) {
    Tree->SetShowBands(true);
    BandsOf({100});
    const int Top = Lay().BandPanelRect.Top;
    int Pos, Pos2;
    // The band panel snaps to whole band rows at the midpoints.
    const int One = Top + Tree->CalcBandPanelHeight(1), Two = Top + Tree->CalcBandPanelHeight(2);
    Tree->GetBandPanelSizingPos((One + Two) / 2 - 1, Pos, Pos2);
    EXPECT_EQ(One, Pos);
    Tree->GetBandPanelSizingPos((One + Two) / 2 + 1, Pos, Pos2);
    EXPECT_EQ(Two, Pos);
    EXPECT_EQ(2, Tree->GetBandRowCountAt(Two + 1));

    // Row sizing never goes below the row's height at the default row height.
    TdxTreeListNode* A = AddRoot("a");
    int Max, Min;
    Tree->GetRowSizingBounds(A, 100, Max, Min);
    TRect R;
    Tree->GetNodeRowRect(A, R);
    EXPECT_EQ(R.Top + Tree->GetRowHeight(A, Tree->DefaultRowHeight(), true), Min);
    EXPECT_EQ(Tree->RowHeight(), Tree->CalcRowHeightFor(A, 2));
    EXPECT_EQ(Tree->DefaultRowHeight() + 7, Tree->CalcRowHeightFor(A, Tree->DefaultRowHeight() + 7));
}

TEST_F(LayoutTest, AutoHeightRowsFollowTheirTallestCell) {
    Tree->OneBand({100, 100}, 200);
    TdxTreeListNode* One = AddRoot("one");
    TdxTreeListNode* Three = AddRoot("a\nb\nc");
    Tree->SetOptionsEx(Tree->OptionsEx() + TdxTreeListOptionsEx{txCellAutoHeight});
    const int TH = Tree->TextHeight();
    EXPECT_EQ(Tree->RowHeight(), Tree->GetRowHeight(One, Tree->RowHeight(), true));
    EXPECT_EQ(3 * TH + 3, Tree->GetRowHeight(Three, Tree->RowHeight(), true));
    Tree->SetCellAutoHeightMaxLines(2);
    EXPECT_EQ(2 * TH + 3, Tree->GetRowHeight(Three, Tree->RowHeight(), true));
    Tree->SetCellAutoHeightMaxLines(0);  // no automatic height at all
    EXPECT_EQ(Tree->RowHeight(), Tree->GetRowHeight(Three, Tree->RowHeight(), true));
}

TEST_F(LayoutTest, ColumnSizingSpreadsOverItsRow) {
    DataWidth(300);
    Tree->OneBand({100, 100, 100}, 300);
    Tree->SetOptions(Tree->Options() + TdxTreeListOptions{toAutoWidth});
    // Under auto width the following columns give up what the sized one gains.
    Tree->ResizeColumnAutoWidth(0, 150);
    EXPECT_EQ(300, Tree->GetContentWidth());
    EXPECT_EQ(150, Tree->GetColumnDisplayWidth(0));
    EXPECT_EQ(75, Tree->GetColumnDisplayWidth(1));
    EXPECT_EQ(75, Tree->GetColumnDisplayWidth(2));

    // Without it the band grows by what the column gains.
    Tree->SetOptions(Tree->Options() - TdxTreeListOptions{toAutoWidth});
    Tree->OneBand({50, 50}, 100);
    Tree->SetColumnWidthInRow(0, 0, 80);
    EXPECT_EQ(80, Tree->GetColumnDisplayWidth(0));
    EXPECT_EQ(50, Tree->GetColumnDisplayWidth(1));
    EXPECT_EQ(130, Tree->GetBandDisplayWidth(0));
    int Max, Min, Offset;
    Tree->GetColumnSizingBounds(1, 5, Max, Min, Offset);
    EXPECT_EQ(80, Offset);
    EXPECT_EQ(80, Min);  // no minimum width
    EXPECT_EQ(299, Max);  // proportional columns without a band panel size up to the client's edge
    Tree->SetShowBands(true);
    Tree->GetColumnSizingBounds(1, 5, Max, Min, Offset);
    EXPECT_EQ(130, Max);  // else up to the band's right edge
}
