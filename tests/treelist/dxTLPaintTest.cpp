#include "dxTLTestSupport.h"

using namespace treelist_tests;

namespace {
struct PaintTest : TreeListEngineTest {
    TOwned<TBitmap> Shot;
    void SetUp() override {
        TreeListEngineTest::SetUp();
        Tree->SetBorderStyle(0);
        Tree->SetScrollBars(0);
        Tree->SetColor(clWhite);
        Tree->HighlightColor = clRed;
        Tree->HideSelectionColor = clLime;
        Tree->OneBand({100, 100}, 200);
    }
    // The control as it paints now.
    void Render() {
        Shot.reset(SolidBitmap(Tree->Width(), Tree->Height(), clBlack));
        Tree->PaintTo(Shot->Canvas()->Handle(), 0, 0);
    }
    COLORREF At(int X, int Y) { return PixelAt(Shot.get(), X, Y); }
    // A point inside the empty second column of a row.
    TPoint InRow(TdxTreeListNode* Node) {
        TRect R;
        Tree->GetNodeRowRect(Node, R);
        return TPoint{R.Left + 150, (R.Top + R.Bottom) / 2};
    }
    void FocusTree(bool Focused) {
        if (Focused) {
            Tree->SetFocus();
            ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Tree->Handle(); }));
        } else {
            // Another control takes the focus.
            auto* Other = Create<TTestTreeList>(Tree->Owner());
            Other->SetParent(Tree->Parent());
            Other->SetBounds(0, 210, 50, 50);
            Other->SetFocus();
            ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Other->Handle(); }));
        }
    }
};
}  // namespace

TEST_F(PaintTest, SelectedRowColoursFollowTheFocus) {
    TdxTreeListNode* A = AddRoot("a");
    TdxTreeListNode* B = AddRoot("b");
    Tree->SetFocused(B);
    FocusTree(true);
    Render();
    EXPECT_EQ(RGB(255, 0, 0), At(InRow(B).X, InRow(B).Y));
    EXPECT_EQ(RGB(255, 255, 255), At(InRow(A).X, InRow(A).Y));

    FocusTree(false);
    Render();
    EXPECT_EQ(RGB(255, 255, 255), At(InRow(B).X, InRow(B).Y));  // hidden selection
    Tree->HideSelection = false;
    Render();
    EXPECT_EQ(RGB(0, 255, 0), At(InRow(B).X, InRow(B).Y));
}

TEST_F(PaintTest, RootsWithoutTheirOwnIndentShowNoButton) {
    TdxTreeListNode* A = Tree->Add();  // no text: nothing covers the button column
    A->AddChild();
    Tree->SetFocused(AddRoot("other"));
    TRect R;
    Tree->GetNodeRowRect(A, R);
    const int CY = (R.Top + R.Bottom) / 2;
    Render();
    int Grey = 0;
    for (int X = R.Left; X < R.Left + 16; ++X)
        Grey += At(X, CY) == GetSysColor(COLOR_GRAYTEXT);
    EXPECT_GT(Grey, 0);  // the button's frame

    Tree->SetShowRoot(false);
    Render();
    for (int X = R.Left; X < R.Left + 16; ++X)
        EXPECT_EQ(RGB(255, 255, 255), At(X, CY)) << X;
}

TEST_F(PaintTest, GridLinesUseTheirColour) {
    Tree->SetShowGrid(true);
    Tree->GridLineColor = clBlue;
    TdxTreeListNode* A = AddRoot("a");
    Tree->SetFocused(AddRoot("b"));
    TRect R;
    Tree->GetNodeRowRect(A, R);
    Render();
    EXPECT_EQ(RGB(0, 0, 255), At(R.Left + 150, R.Bottom - 1));  // under the row
    EXPECT_EQ(RGB(0, 0, 255), At(R.Left + 99, R.Top + 3));      // right of the first cell
    EXPECT_EQ(RGB(255, 255, 255), At(R.Left + 150, R.Top + 3));
}

TEST_F(PaintTest, SearchPrefixOfAWhiteCellIsInverted) {
    Tree->SetOptions(Tree->Options() - TdxTreeListOptions{toRowSelect});
    Tree->SetOptionsEx(Tree->OptionsEx() + TdxTreeListOptionsEx{txFocusCellUnhighlighted});
    TdxTreeListNode* A = AddRoot("a");
    Tree->SetNodeString(A, 1, "abcdef");
    Tree->SetFocused(A);
    Tree->SetFocusedColumn(1);
    FocusTree(true);
    TRect Cell;
    Tree->GetCellRect(A, 1, Cell);
    Render();
    EXPECT_EQ(RGB(255, 255, 255), At(Cell.Left + 2, Cell.Top + 2));
    Tree->SetSearch(1, "ab");
    Render();
    EXPECT_EQ(RGB(0, 0, 0), At(Cell.Left + 2, Cell.Top + 2));
    EXPECT_EQ(RGB(255, 255, 255), At(Cell.Right - 4, Cell.Top + 2));  // past the prefix
}

namespace {
// Paints every cell itself and tells the tree list it is done.
class TOwnDrawTreeList : public TTestTreeList {
    DECLARE_CLASS(TOwnDrawTreeList, TTestTreeList)
public:
    using TTestTreeList::TTestTreeList;
    bool HasCustomDrawCell() override { return true; }
    void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode*, int, bool& Done, TAlignment&, TFont*,
                          TColor&, std::string&, bool, bool) override {
        Canvas->Brush()->SetColor(clFuchsia);
        Canvas->FillRect(Rect);
        Done = true;
    }
};
}  // namespace

TEST_F(PaintTest, ACustomDrawnCellIsLeftToItsHook) {
    TForm* F = NewForm();
    auto* Own = Create<TOwnDrawTreeList>(F);
    Own->SetParent(F);
    Own->SetBorderStyle(0);
    Own->SetBounds(0, 0, 300, 200);
    Own->OneBand({100, 100}, 200);
    TdxTreeListNode* A = Own->Add();
    Own->SetNodeString(A, 1, "text that is not drawn");
    TOwned<TBitmap> B(SolidBitmap(300, 200, clBlack));
    Own->PaintTo(B->Canvas()->Handle(), 0, 0);
    TRect Cell;
    Own->GetCellRect(A, 1, Cell);
    ASSERT_GT(Cell.Width(), 20) << "the cell must be laid out for its pixels to be read";
    ASSERT_GT(Cell.Height(), 0);
    for (int X = Cell.Left; X < Cell.Right; X += 7)
        EXPECT_EQ(RGB(255, 0, 255), PixelAt(B.get(), X, (Cell.Top + Cell.Bottom) / 2)) << X;
}

TEST_F(PaintTest, TheStatusPanelShowsItsButtonAndTextAndTheNewItemRowItsIndicator) {
    Tree->StatusPanel = Tree->StatusButton = true;
    Tree->StatusText = "Filter";
    Tree->SetShowIndicator(true);
    Tree->SetShowNewItemRow(true);
    AddRoot("a");
    AddRoot("b");
    Tree->SetFocused(Tree->GetRootNode(0));
    Render();
    Layout L;
    Tree->CalcLayout(L);
    ASSERT_FALSE(IsPointRect(L.StatusPanelRect));
    const TRect& P = L.StatusPanelRect;
    const int Top = P.Top + (P.Height() - 11) / 2;
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), At(P.Left + 3 + 6, Top + 5)) << "the middle of the button's X";
    int Shadow = 0, BeforeText = 0;
    for (int Y = P.Top; Y < P.Bottom; ++Y)
        for (int X = P.Left; X < P.Right; ++X)
            if (At(X, Y) == GetSysColor(COLOR_BTNSHADOW))
                ++(X < P.Left + 20 ? BeforeText : Shadow);
    EXPECT_GT(Shadow, 10) << "the engraved text";
    EXPECT_EQ(0, BeforeText) << "the text starts right of the button";

    ASSERT_FALSE(IsPointRect(L.NewItemRowRect));
    ASSERT_FALSE(L.Rows.empty());
    const RowItem& Row = L.Rows.back();  // not focused: an indicator cell without a glyph
    int Differ = 0;
    for (int Y = 0; Y < Tree->RowHeight(); ++Y)
        for (int X = 0; X < Tree->IndicatorWidth(); ++X)
            Differ += At(L.NewItemRowRect.Left + X, L.NewItemRowRect.Top + Y) != At(L.IndicatorRect.Left + X, Row.Top + Y);
    EXPECT_GT(Differ, 5) << "the new-item row's indicator cell shows the insert glyph";
}

TEST_F(PaintTest, InvalidationsAfterAPaintOrAScrollAreNotLost) {
    for (int I = 0; I < 30; ++I)
        AddRoot("n" + std::to_string(I));
    Tree->SetFocused(Tree->GetRootNode(0));
    const HWND H = Tree->Handle();
    RECT Client, U;
    GetClientRect(H, &Client);
    Tree->Update();
    ASSERT_FALSE(GetUpdateRect(H, &U, FALSE));
    Tree->Invalidate();
    Tree->Invalidate();
    ASSERT_TRUE(GetUpdateRect(H, &U, FALSE));
    EXPECT_TRUE(EqualRect(&U, &Client));
    Tree->Update();
    EXPECT_FALSE(GetUpdateRect(H, &U, FALSE)) << "painted";

    // After the paint a row asks for itself again.
    TdxTreeListNode* N = Tree->GetRootNode(1);
    TRect Row;
    Tree->GetNodeRowRect(N, Row);
    Tree->InvalidateRow(N);
    ASSERT_TRUE(GetUpdateRect(H, &U, FALSE));
    EXPECT_EQ(Row.Top, U.top);
    EXPECT_EQ(Row.Bottom, U.bottom);
    Tree->Update();

    // Switching drawing off validates the window: drawing again asks for all of it anew.
    Tree->Invalidate();
    Tree->Perform(WM_SETREDRAW, 0, 0);
    Tree->Perform(WM_SETREDRAW, 1, 0);
    Tree->Invalidate();
    ASSERT_TRUE(GetUpdateRect(H, &U, FALSE)) << "drawing switched on again";
    EXPECT_TRUE(EqualRect(&U, &Client));
    Tree->Update();

    // A scroll of a window that waits for its paint keeps all of it waiting: the focused row, which
    // the scroll takes out and moves, is asked for again at its new place.
    Tree->SetFocused(Tree->GetRootNode(5));
    Tree->Update();
    Tree->Invalidate();
    Tree->SetTopIndex(3);
    ASSERT_EQ(3, Tree->GetTopIndex());
    HRGN Waiting = CreateRectRgn(0, 0, 0, 0);
    HRGN All = CreateRectRgnIndirect(&Client);
    GetUpdateRgn(H, Waiting, FALSE);
    EXPECT_TRUE(EqualRgn(Waiting, All));
    DeleteObject(Waiting);
    DeleteObject(All);
}
