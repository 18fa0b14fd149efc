#include "dxTLTestSupport.h"

using namespace treelist_tests;

namespace {
struct InputTest : TreeListEngineTest {
    int SelectionEvents = 0;
    void SetUp() override {
        TreeListEngineTest::SetUp();
        Tree->SetShowBands(true);
        Tree->OneBand({80, 80, 80}, 240);
        Tree->OnSelectionChanged = TNotifyEvent::FromFunction([this](TObject*) { ++SelectionEvents; });
        Tree->SetFocus();
    }
    void Rows(int Count) {
        Tree->BeginUpdate();
        for (int I = 0; I < Count; ++I)
            AddRoot("row" + std::to_string(I));
        Tree->EndUpdate();
    }
    int FocusedRow() { return Tree->GetFocusedRowIndex(); }
    // A key as the window gets it: the key-down through the window procedure, Shift held.
    void Key(Word VKey, bool Shift = false) {
        std::unique_ptr<THeldKey> Held(Shift ? new THeldKey(VK_SHIFT) : nullptr);
        PostMessageA(Tree->Handle(), WM_KEYDOWN, VKey, 1);
        Pump(30);
    }
    void Char(char C) {
        PostMessageA(Tree->Handle(), WM_CHAR, static_cast<unsigned char>(C), 1);
        Pump(30);
    }
    TPoint CellPoint(int Row, int Column) {
        Layout L;
        Tree->CalcLayout(L);
        for (const HeaderCell& C : L.HeaderCells)
            if (C.Column == Column)
                return TPoint{static_cast<int>(C.Rect.Left + C.Rect.Right) / 2, L.Rows[Row].Top + 4};
        ADD_FAILURE() << "no header cell for column " << Column;
        return TPoint{0, 0};
    }
    TPoint HeaderPoint(int Column, int Dx = 0) { return HeaderCellCenter(Tree, Column, Dx); }
    void Mouse(UINT Msg, TPoint P, WPARAM Keys = 0) { SendMouse(Tree, Msg, P, Keys); }
    bool EditorShown() { return treelist_tests::EditorShown(Tree->InplaceEditor()); }
};
}  // namespace

TEST_F(InputTest, KeysMoveTheFocusAndShiftSelectsARange) {
    Tree->SetOptions(TdxTreeListOptions{toRowSelect, toMultiSelect});
    Rows(50);
    Tree->SetFocused(Tree->GetRootNode(0));
    ASSERT_EQ(0, FocusedRow());
    struct Step {
        Word Key;
        bool Shift;
        int Row;
        std::vector<int> Selected;
    };
    const int Page = Tree->VisibleRowCount() - 1;
    ASSERT_GT(Page, 1);
    const Step Steps[] = {
        {VK_DOWN, false, 1, {1}},
        {VK_DOWN, false, 2, {2}},
        {VK_DOWN, false, 3, {3}},
        {VK_NEXT, false, Tree->VisibleRowCount() - 1, {Tree->VisibleRowCount() - 1}},
        {VK_UP, true, Tree->VisibleRowCount() - 2, {Tree->VisibleRowCount() - 2, Tree->VisibleRowCount() - 1}},
    };
    for (const Step& S : Steps) {
        const int Before = SelectionEvents;
        Key(S.Key, S.Shift);
        EXPECT_EQ(S.Row, FocusedRow()) << "key " << S.Key;
        std::vector<int> Selected;
        for (TdxTreeListNode* N : Tree->SelectedSet)
            Selected.push_back(N->Index());
        std::sort(Selected.begin(), Selected.end());
        EXPECT_EQ(S.Selected, Selected) << "key " << S.Key;
        EXPECT_LE(SelectionEvents - Before, 1) << "key " << S.Key;
    }
    // The Shift range grew the selection: exactly one event for it.
    Key(VK_UP, true);
    EXPECT_EQ(3u, Tree->SelectedSet.size());
}

TEST_F(InputTest, PageDownFromTheTopJumpsToTheLastFullRowThenByAPage) {
    Rows(50);
    Tree->SetFocused(Tree->GetRootNode(0));
    const int V = Tree->VisibleRowCount();
    Key(VK_NEXT);
    EXPECT_EQ(V - 1, FocusedRow()) << "the focus first reaches the bottom of the page";
    Key(VK_NEXT);
    EXPECT_EQ(2 * (V - 1), FocusedRow());
    Key(VK_END, true);
    EXPECT_EQ(49, FocusedRow());
}

TEST_F(InputTest, ArrowsCollapseAndExpandInRowSelectAndMoveColumnsInCellMode) {
    Tree->SetOptions(TdxTreeListOptions{toRowSelect});
    TdxTreeListNode* A = AddRoot("a", 2);
    AddRoot("b");
    Tree->SetFocused(A);
    Key(VK_RIGHT);
    EXPECT_TRUE(A->Expanded());
    Key(VK_RIGHT);
    EXPECT_EQ(A->Items(0), Tree->FocusedNode()) << "an expanded node passes to its first child";
    Key(VK_LEFT);
    EXPECT_EQ(A, Tree->FocusedNode()) << "a first child passes to its parent";
    Key(VK_LEFT);
    EXPECT_FALSE(A->Expanded());
    Tree->SetOptions(TdxTreeListOptions{});
    Key(VK_RIGHT);
    EXPECT_EQ(1, Tree->GetFocusedColumn());
    Key(VK_END);
    EXPECT_EQ(2, Tree->GetFocusedColumn());
    Key(VK_TAB);
    EXPECT_EQ(2, Tree->GetFocusedColumn()) << "no tab stop past the last column";
}

TEST_F(InputTest, ClickInTheFocusedCellOpensTheEditorAfterTheDoubleClickTime) {
    Tree->SetOptions(TdxTreeListOptions{toEditing});
    Rows(5);
    Tree->SetFocused(Tree->GetRootNode(2));
    Tree->SetFocusedColumn(1);
    Tree->GetRootNode(2)->SetStrings(1, "cell");
    const TPoint P = CellPoint(2, 1);
    Mouse(WM_LBUTTONDOWN, P, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, P);
    EXPECT_FALSE(EditorShown()) << "not before the double-click time";
    ASSERT_TRUE(PumpUntil([&] { return EditorShown(); }, GetDoubleClickTime() + 2000));
    EXPECT_EQ(tsEditing, Tree->State());
    std::string Text;
    Tree->InplaceEditor()->GetEditingText(Text);
    EXPECT_EQ("cell", Text);
    TRect Cell;
    Tree->GetEditorRect(Tree->GetRootNode(2), 1, Cell);
    RECT W;
    GetWindowRect(Tree->InplaceEditor()->Handle(), &W);
    MapWindowPoints(nullptr, Tree->Handle(), reinterpret_cast<POINT*>(&W), 2);
    EXPECT_EQ(Cell.Left - 2, W.left);
    EXPECT_EQ(Cell.Top - 2, W.top);
    EXPECT_EQ(Cell.Right + 2, W.right);
    EXPECT_EQ(Cell.Bottom + 2, W.bottom);
}

TEST_F(InputTest, ClickOnAnotherNodeOnlyFocusesIt) {
    Tree->SetOptions(TdxTreeListOptions{toEditing});
    Rows(5);
    Tree->SetFocused(Tree->GetRootNode(0));
    const TPoint P = CellPoint(3, 0);
    Mouse(WM_LBUTTONDOWN, P, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, P);
    EXPECT_EQ(Tree->GetRootNode(3), Tree->FocusedNode());
    Pump(GetDoubleClickTime() + 200);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(tsIdle, Tree->State());
}

TEST_F(InputTest, ShiftAndCtrlClicksSelectRangesAndToggle) {
    Tree->SetOptions(TdxTreeListOptions{toRowSelect, toMultiSelect});
    Rows(8);
    Tree->SetFocused(Tree->GetRootNode(1));
    Mouse(WM_LBUTTONDOWN, CellPoint(4, 0), MK_LBUTTON | MK_SHIFT);
    Mouse(WM_LBUTTONUP, CellPoint(4, 0));
    EXPECT_EQ(4u, Tree->SelectedSet.size()) << "from the focused node to the clicked one";
    Mouse(WM_LBUTTONDOWN, CellPoint(2, 0), MK_LBUTTON | MK_CONTROL);
    Mouse(WM_LBUTTONUP, CellPoint(2, 0));
    EXPECT_EQ(3u, Tree->SelectedSet.size());
    EXPECT_FALSE(Tree->IsNodeSelected(Tree->GetRootNode(2)));
    EXPECT_EQ(Tree->GetRootNode(2), Tree->SelectionAnchor());
    // A press on a selected node keeps the selection until the release.
    Mouse(WM_LBUTTONDOWN, CellPoint(3, 0), MK_LBUTTON);
    EXPECT_EQ(3u, Tree->SelectedSet.size());
    Mouse(WM_LBUTTONUP, CellPoint(3, 0));
    EXPECT_EQ(1u, Tree->SelectedSet.size());
}

TEST_F(InputTest, NodeDragStartsPastFivePixels) {
    Tree->SetDragMode(dmAutomatic);
    Tree->SetOptions(TdxTreeListOptions{toRowSelect});
    Rows(5);
    const TPoint P = CellPoint(1, 0);
    Mouse(WM_LBUTTONDOWN, P, MK_LBUTTON);
    EXPECT_EQ(tsNodeDown, Tree->State());
    Mouse(WM_MOUSEMOVE, TPoint{P.X + 5, P.Y}, MK_LBUTTON);
    EXPECT_FALSE(Tree->Dragging());
    Mouse(WM_MOUSEMOVE, TPoint{P.X + 6, P.Y}, MK_LBUTTON);
    EXPECT_TRUE(Tree->Dragging());
    EXPECT_EQ(Tree->GetRootNode(1), Tree->FocusedNode());
    Tree->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Tree->Dragging());
    EXPECT_EQ(tsIdle, Tree->State());
}

TEST_F(InputTest, IncrementalSearchFollowsTypedKeys) {
    Tree->SetOptionsEx(Tree->OptionsEx() + TdxTreeListOptionsEx{txIncrementalSearch});
    for (const char* T : {"zeta", "alpha", "abc", "abd", "beta"})
        AddRoot(T);
    Tree->SetFocused(Tree->GetRootNode(0));
    Char('a');
    Char('b');
    EXPECT_TRUE(Tree->Searching());
    EXPECT_EQ("ab", Tree->SearchText());
    EXPECT_EQ(Tree->GetRootNode(2), Tree->FocusedNode());
    Char('x');
    EXPECT_EQ("ab", Tree->SearchText()) << "no match: the character is dropped";
    EXPECT_EQ(Tree->GetRootNode(2), Tree->FocusedNode());
    Key(VK_RETURN, false);
    {
        THeldKey Ctrl(VK_CONTROL);
        PostMessageA(Tree->Handle(), WM_KEYDOWN, VK_RETURN, 1);
        Pump(30);
    }
    EXPECT_EQ(Tree->GetRootNode(3), Tree->FocusedNode()) << "Ctrl+Enter finds the next match";
    Key(VK_BACK);
    EXPECT_EQ("a", Tree->SearchText());
    Key(VK_ESCAPE);
    EXPECT_FALSE(Tree->Searching());
}

TEST_F(InputTest, HeaderDragReordersOrHidesColumnsAndEscapeCancels) {
    Rows(3);
    ASSERT_EQ((std::vector<int>{0, 1, 2}), Tree->Order());
    // Column 0 dropped on the right half of column 2.
    Mouse(WM_LBUTTONDOWN, HeaderPoint(0), MK_LBUTTON);
    EXPECT_EQ(tsColumnDown, Tree->State());
    Mouse(WM_MOUSEMOVE, HeaderPoint(0, 10), MK_LBUTTON);
    EXPECT_EQ(tsColumnDragging, Tree->State());
    Mouse(WM_MOUSEMOVE, HeaderPoint(2, 20), MK_LBUTTON);
    EXPECT_TRUE(Tree->ArrowsShown());
    Mouse(WM_LBUTTONUP, HeaderPoint(2, 20));
    EXPECT_EQ(tsIdle, Tree->State());
    EXPECT_EQ((std::vector<int>{1, 2, 0}), Tree->Order());
    EXPECT_FALSE(Tree->ArrowsShown());

    // Escape ends the drag where it is, without a drop.
    Mouse(WM_LBUTTONDOWN, HeaderPoint(1), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, HeaderPoint(1, 10), MK_LBUTTON);
    ASSERT_EQ(tsColumnDragging, Tree->State());
    Tree->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(tsIdle, Tree->State());
    Mouse(WM_LBUTTONUP, HeaderPoint(0, 20));
    EXPECT_EQ((std::vector<int>{1, 2, 0}), Tree->Order());

    // Dropped below the header: hidden only with "drag out hides".
    for (bool Hides : {false, true}) {
        Tree->SetOptions(Hides ? Tree->Options() + TdxTreeListOptions{toDragOutHides}
                               : Tree->Options() - TdxTreeListOptions{toDragOutHides});
        Mouse(WM_LBUTTONDOWN, HeaderPoint(2), MK_LBUTTON);
        Mouse(WM_MOUSEMOVE, HeaderPoint(2, 10), MK_LBUTTON);
        ASSERT_EQ(tsColumnDragging, Tree->State());
        Mouse(WM_MOUSEMOVE, CellPoint(2, 2), MK_LBUTTON);
        Mouse(WM_LBUTTONUP, CellPoint(2, 2));
        EXPECT_EQ(Hides ? (std::vector<int>{1, 0}) : (std::vector<int>{1, 2, 0}), Tree->Order()) << Hides;
    }
}

TEST_F(InputTest, ColumnEdgeDragSizesTheColumnAndEscapeKeepsTheWidth) {
    Rows(3);
    Layout L;
    Tree->CalcLayout(L);
    const HeaderCell& C0 = L.HeaderCells[0];
    const TPoint Edge{static_cast<int>(C0.Rect.Right) - 1, static_cast<int>(C0.Rect.Top + C0.Rect.Bottom) / 2};
    HitInfo H;
    Tree->GetHitInfo(Edge, H);
    ASSERT_EQ(htColumnEdge, H.HitKind);
    const int Before = Tree->Columns[H.Column].Width;
    Mouse(WM_LBUTTONDOWN, Edge, MK_LBUTTON);
    EXPECT_EQ(tsColumnSizing, Tree->State());
    Mouse(WM_MOUSEMOVE, TPoint{Edge.X + 20, Edge.Y}, MK_LBUTTON);
    Tree->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(tsIdle, Tree->State());
    Mouse(WM_LBUTTONUP, TPoint{Edge.X + 20, Edge.Y});
    EXPECT_EQ(Before, Tree->Columns[H.Column].Width);
    Mouse(WM_LBUTTONDOWN, Edge, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, TPoint{Edge.X - 20, Edge.Y}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, TPoint{Edge.X - 20, Edge.Y});
    EXPECT_NE(Before, Tree->Columns[H.Column].Width);
}
