#include "dxTLTestSupport.h"

#include "ImgList.h"

using namespace treelist_tests;

namespace {
using EngineTest = TreeListEngineTest;
}  // namespace

TEST_F(EngineTest, DefaultsDescribeATreeWithoutBands) {
    EXPECT_EQ(dxDefaultOptions, Tree->Options());
    EXPECT_EQ(dxDefaultOptionsEx, Tree->OptionsEx());
    EXPECT_TRUE(Tree->TabStop());
    EXPECT_EQ(clWindow, Tree->Color());
    EXPECT_EQ(clBlue, Tree->PreviewFont()->Color());
    EXPECT_TRUE(Tree->ControlStyle().Contains(csOpaque));
    EXPECT_TRUE(GetWindowLongA(Tree->Handle(), GWL_STYLE) & WS_CLIPCHILDREN);
    auto* Bare = Create<TTestTreeList>(nullptr);
    Bare->Bands.clear();
    EXPECT_EQ(0, Bare->GetContentWidth());
    EXPECT_EQ(0, Bare->GetVisibleColumnCount());
    EXPECT_EQ(-1, Bare->GetVisibleColumn(0));
    Bare->Free();
}

TEST_F(EngineTest, SelectionUpdatesNestAndFireOnceForANetChange) {
    Tree->SetOptions(Tree->Options() + TdxTreeListOptions{toMultiSelect});
    TdxTreeListNode* A = AddRoot("a");
    TdxTreeListNode* B = AddRoot("b");
    int Changes = 0;
    Tree->OnSelectionChanged = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    Tree->BeginSelectionUpdate();
    Tree->BeginSelectionUpdate();
    A->SetSelected(true);
    B->SetSelected(true);
    Tree->EndSelectionUpdate();
    EXPECT_EQ(0, Changes);
    Tree->EndSelectionUpdate();
    EXPECT_EQ(1, Changes);

    // Back where it began: no event.
    Tree->BeginSelectionUpdate();
    A->SetSelected(false);
    A->SetSelected(true);
    Tree->EndSelectionUpdate();
    EXPECT_EQ(1, Changes);

    Tree->SelectRange(B, A);
    EXPECT_EQ(2, Tree->GetSelectedCount());
}

TEST_F(EngineTest, TopNodeEventFiresEvenForTheSameNode) {
    TdxTreeListNode* A = AddRoot("a");
    int Fired = 0;
    Tree->OnTopNodeChanged = TNotifyEvent::FromFunction([&](TObject*) { ++Fired; });
    Tree->SetTopNode(A);
    Tree->SetTopNode(A);
    EXPECT_EQ(2, Fired);
}

TEST_F(EngineTest, FocusMovesByRowIndexWithinTheRows) {
    for (int I = 0; I < 10; ++I)
        AddRoot(std::to_string(I));
    std::vector<std::pair<std::string, std::string>> Changes;
    Tree->OnChangeNode = TdxTreeListChangeNodeEvent::FromFunction(
        [&](TObject*, TdxTreeListNode* Old, TdxTreeListNode* N) { Changes.emplace_back(Old->Strings(0), N->Strings(0)); });
    Tree->SetFocusedRowIndex(1000);
    EXPECT_EQ(9, Tree->GetFocusedRowIndex());
    Tree->SetFocusedRowIndex(-5);
    EXPECT_EQ(0, Tree->GetFocusedRowIndex());
    EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"0", "9"}, {"9", "0"}}), Changes);
    // The focused row is scrolled into view.
    Tree->SetFocusedRowIndex(9);
    EXPECT_LE(Tree->GetTopIndex(), 9);
    EXPECT_GE(Tree->GetTopIndex() + Tree->VisibleRowCount() - 1, 9);
}

TEST_F(EngineTest, RowSelectIgnoresAColumnChange) {
    Tree->OneBand({50, 50}, 100);
    TdxTreeListNode* A = AddRoot("a");
    Tree->SetFocused(A);
    int Events = 0;
    Tree->OnChangeNode = TdxTreeListChangeNodeEvent::FromFunction([&](TObject*, TdxTreeListNode*, TdxTreeListNode*) { ++Events; });
    Tree->OnChangeColumn = TdxTreeListChangeColumnEvent::FromFunction([&](TObject*, TdxTreeListNode*, int) { ++Events; });
    Tree->SetFocusedNode(A, 1, false);
    EXPECT_EQ(0, Events);
    EXPECT_EQ(0, Tree->GetFocusedColumn());

    Tree->SetOptions(Tree->Options() - TdxTreeListOptions{toRowSelect});
    int Column = -1;
    Tree->OnChangeColumn = TdxTreeListChangeColumnEvent::FromFunction([&](TObject*, TdxTreeListNode*, int C) { Column = C; });
    Tree->SetFocusedColumn(1);
    EXPECT_EQ(1, Column);
    Tree->SetFocusedColumn(7);  // out of range: ignored
    EXPECT_EQ(1, Tree->GetFocusedColumn());
}

TEST_F(EngineTest, FontsAndImageLists) {
    EXPECT_TRUE(Tree->ParentFont());
    const int Before = Tree->HeaderRowHeight();
    Tree->HeaderFont()->SetSize(Tree->HeaderFont()->Size() * 3);
    EXPECT_FALSE(Tree->ParentFont());
    EXPECT_GT(Tree->HeaderRowHeight(), Before);

    auto* Images = TCustomImageList::CreateSize<TImageList>(20, 30, Tree->Owner());
    Tree->SetImages(Images);
    EXPECT_EQ(20, Tree->ImageWidth());
    EXPECT_GE(Tree->DefaultRowHeight(), 30);
    Images->Free();
    EXPECT_EQ(nullptr, Tree->Images());
    EXPECT_EQ(0, Tree->ImageWidth());
    EXPECT_LT(Tree->DefaultRowHeight(), 30);
}

TEST_F(EngineTest, CopiedTextFollowsTheNavigationOrder) {
    Tree->OneBand({40, 40}, 80);
    TdxTreeListNode* A = AddRoot("a", 1);
    Tree->SetNodeString(A, 1, "x");
    A->Expand(false);
    TOwned<TStringList> All(Create<TStringList>());
    Tree->CopyAllToStrings(All.get());
    EXPECT_EQ("C0\tC1\r\n\r\na\tx\r\na.0\t\r\n", All->Text());
    TOwned<TStringList> Sel(Create<TStringList>());
    Tree->SetOptions(Tree->Options() + TdxTreeListOptions{toMultiSelect});
    A->Items(0)->SetSelected(true);
    A->SetSelected(true);
    Tree->CopySelectedToStrings(Sel.get());
    EXPECT_EQ("C0\tC1\r\n\r\na\tx\r\na.0\t\r\n", Sel->Text());
}

TEST_F(EngineTest, RowHeightGrowsOnlyFromTheDefault) {
    const int Default = Tree->DefaultRowHeight();
    Tree->SetRowHeight(Default + 10);
    EXPECT_EQ(Default + 10, Tree->RowHeight());
    EXPECT_TRUE(Tree->CustomRowHeight());
    Tree->SetRowHeight(3);
    EXPECT_EQ(Default, Tree->RowHeight());
    EXPECT_FALSE(Tree->CustomRowHeight());
}

TEST_F(EngineTest, EditorQuestionsFollowTheOptions) {
    EXPECT_TRUE(Tree->CanEditorModify());
    EXPECT_FALSE(Tree->IsClickActivation());
    EXPECT_FALSE(Tree->WantsEditorTab());
    Tree->SetOptions(Tree->Options() + TdxTreeListOptions{toClickEdit, toTabs});
    EXPECT_TRUE(Tree->IsClickActivation());
    EXPECT_TRUE(Tree->WantsEditorTab());
    {
        THeldKey Ctrl(VK_CONTROL);
        EXPECT_FALSE(Tree->WantsEditorTab());  // Ctrl+Tab leaves the control
    }
    EXPECT_EQ(pbFrame3D, Tree->EditorBorderKind());
    Tree->SetDrawStyle(1);
    EXPECT_EQ(pbSingle, Tree->EditorBorderKind());
    Tree->OnGetEditColor = TdxTreeListGetEditColorEvent::FromFunction([](TObject*, TColor& C) { C = clYellow; });
    EXPECT_EQ(clYellow, Tree->GetEditorColor());
}
