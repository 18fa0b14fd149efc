#include "dxTLTestSupport.h"

using namespace treelist_tests;

namespace {
struct EditTest : TreeListEngineTest {
    std::vector<TdxTreeListNode*> Edited;
    void SetUp() override {
        TreeListEngineTest::SetUp();
        Tree->SetShowBands(true);
        Tree->OneBand({100, 100}, 200);
        Tree->SetOptions(TdxTreeListOptions{toEditing});
        Tree->OnEdited =
            TdxTreeListNodeEvent::FromFunction([this](TObject*, TdxTreeListNode* N) { Edited.push_back(N); });
        for (const char* T : {"alpha", "beta", "abacus", "gamma", "abbey"})
            AddRoot(T);
        Tree->SetFocus();
        Tree->SetFocused(Tree->GetRootNode(1));
    }
    TdxInplaceEdit* Editor() { return Tree->InplaceEditor(); }
    bool EditorShown() { return treelist_tests::EditorShown(Editor()); }
    void TypeIntoEditor(const std::string& Text) { treelist_tests::TypeIntoEditor(Editor(), Text); }
    void KeyToEditor(WPARAM Key) { treelist_tests::KeyToEditor(Editor(), Key); }
    std::string EditorText() {
        std::string S;
        Editor()->GetEditingText(S);
        return S;
    }
};
}  // namespace

TEST_F(EditTest, EditorOpensOverTheFocusedCellWithItsText) {
    Tree->ShowEditor();
    ASSERT_EQ(tsEditing, Tree->State());
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ("TdxInplaceTreeListTextEdit", Editor()->ClassName());
    EXPECT_EQ("beta", EditorText());
    TRect Cell;
    Tree->GetEditorRect(Tree->GetRootNode(1), 0, Cell);
    RECT W;
    GetWindowRect(Editor()->Handle(), &W);
    MapWindowPoints(nullptr, Tree->Handle(), reinterpret_cast<POINT*>(&W), 2);
    // The editor's frame lies two pixels outside the cell on every side.
    EXPECT_EQ(Cell.Left - 2, W.left);
    EXPECT_EQ(Cell.Top - 2, W.top);
    EXPECT_EQ(Cell.Right + 2, W.right);
    EXPECT_EQ(Cell.Bottom + 2, W.bottom);
}

TEST_F(EditTest, EnterWritesTheTypedTextAndEscapeRestoresTheOldOne) {
    Tree->ShowEditor();
    ASSERT_TRUE(EditorShown());
    KeyToEditor(VK_END);
    TypeIntoEditor("XY");
    KeyToEditor(VK_RETURN);
    EXPECT_EQ(tsIdle, Tree->State());
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ("betaXY", Tree->GetRootNode(1)->Strings(0));
    ASSERT_EQ(1u, Edited.size());
    EXPECT_EQ(Tree->GetRootNode(1), Edited[0]);

    Tree->ShowEditor();
    ASSERT_TRUE(EditorShown());
    TypeIntoEditor("Z");
    EXPECT_EQ("Z", EditorText()) << "the opened editor selects its text";
    KeyToEditor(VK_ESCAPE);
    EXPECT_EQ(tsIdle, Tree->State());
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ("betaXY", Tree->GetRootNode(1)->Strings(0));
    // Closing without a change still reports the edit as ended.
    EXPECT_EQ(2u, Edited.size());
}

TEST_F(EditTest, EditorStaysClosedWhereEditingIsRefused) {
    struct Case {
        const char* Name;
        TdxTreeListOptions Options;
        bool Allow;
    };
    const Case Cases[] = {
        {"no editing option", {}, true},
        {"row select", {toEditing, toRowSelect}, true},
        {"refused by the event", {toEditing}, false},
    };
    for (const Case& C : Cases) {
        Tree->SetOptions(C.Options);
        const bool Allow = C.Allow;
        Tree->OnEditing = TdxTreeListNodeAllowEvent::FromFunction([Allow](TObject*, TdxTreeListNode*, bool& A) { A = Allow; });
        Tree->ShowEditor();
        EXPECT_EQ(tsIdle, Tree->State()) << C.Name;
        EXPECT_FALSE(EditorShown()) << C.Name;
    }
}

TEST_F(EditTest, ReopeningOnTheSameCellKeepsTheTypedText) {
    Tree->ShowEditor();
    ASSERT_TRUE(EditorShown());
    TypeIntoEditor("Q");
    Tree->ActivateEditor(false);
    EXPECT_EQ("Q", EditorText()) << "the same cell is not loaded again";
    EXPECT_EQ("beta", Tree->GetRootNode(1)->Strings(0));
    Tree->RestartEditor();
    EXPECT_EQ("beta", Tree->GetRootNode(1)->Strings(0)) << "a restart forgets the cell: nothing is applied";
    EXPECT_EQ("beta", EditorText()) << "and loads it again";
    EXPECT_TRUE(EditorShown());
}

TEST_F(EditTest, MovingToAnotherColumnAppliesTheValue) {
    Tree->ShowEditor();
    ASSERT_TRUE(EditorShown());
    TypeIntoEditor("!");
    Tree->SetFocusedColumn(1);
    EXPECT_EQ(tsIdle, Tree->State());
    EXPECT_EQ("!", Tree->GetRootNode(1)->Strings(0));
    ASSERT_EQ(1u, Edited.size());
    Tree->ShowEditor();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ("", EditorText());
    Tree->SetFocusedColumn(0);
    EXPECT_EQ(2u, Edited.size()) << "an unmodified editor still ends with the edited event";
    EXPECT_EQ("", Tree->GetRootNode(1)->Strings(1));
}

TEST_F(EditTest, WhileExitingClosingLeavesTheFocusAlone) {
    TEdit* Other = Create<TEdit>(Tree->Owner());
    Other->SetParent(static_cast<TWinControl*>(Tree->Owner()));
    Other->SetBounds(0, 220, 100, 20);
    Tree->ShowEditor();
    ASSERT_TRUE(EditorShown());
    Tree->Exiting = true;
    Other->SetFocus();
    EXPECT_EQ(Other->Handle(), GetFocus());
    EXPECT_EQ(tsIdle, Tree->State());
    Tree->Exiting = false;
}

TEST_F(EditTest, EditorColourIsASolidScreenColour) {
    Tree->OnGetEditColor = TdxTreeListGetEditColorEvent::FromFunction(
        [](TObject*, TColor& C) { C = static_cast<TColor>(RGB(0x12, 0x34, 0x56)); });
    Tree->ShowEditor();
    ASSERT_TRUE(EditorShown());
    HDC DC = GetDC(nullptr);
    const COLORREF Solid = GetNearestColor(DC, RGB(0x12, 0x34, 0x56));
    ReleaseDC(nullptr, DC);
    EXPECT_EQ(Solid, ColorToRGB(Editor()->Color()));
}

TEST_F(EditTest, SearchFocusesTheFirstMatchAndKeepsFocusWithoutOne) {
    Tree->SetFocused(Tree->GetRootNode(0));
    EXPECT_TRUE(Tree->StartSearch(-1, "AB"));
    EXPECT_EQ(Tree->GetRootNode(2), Tree->FocusedNode()) << "case is ignored";
    std::string Text = "abz";
    Tree->DoSearch(Text, 0, false);
    EXPECT_EQ("ab", Text) << "a failed typed search drops its last character";
    EXPECT_EQ(Tree->GetRootNode(2), Tree->FocusedNode());
    EXPECT_TRUE(Tree->Searching());
    EXPECT_FALSE(Tree->StartSearch(-1, "zz"));
    EXPECT_EQ("", Tree->SearchText()) << "a failed start clears the text";
    EXPECT_EQ(Tree->GetRootNode(2), Tree->FocusedNode());
}

TEST_F(EditTest, SearchOnWrapsAndStopsWhereItBegan) {
    Tree->SetFocused(Tree->GetRootNode(4));  // "abbey", the last node
    Tree->StartSearch(-1, "ab");
    ASSERT_EQ(Tree->GetRootNode(4), Tree->FocusedNode());
    std::string Text = "ab";
    Tree->DoSearch(Text, 2, false);
    EXPECT_EQ(Tree->GetRootNode(2), Tree->FocusedNode()) << "forwards from the last node wraps to the first";
    Tree->DoSearch(Text, 2, false);
    EXPECT_EQ(Tree->GetRootNode(4), Tree->FocusedNode());
    Text = "gam";
    Tree->DoSearch(Text, 1, false);
    EXPECT_EQ(Tree->GetRootNode(3), Tree->FocusedNode()) << "backwards";
    Text = "gam";
    Tree->DoSearch(Text, 2, false);
    EXPECT_EQ(Tree->GetRootNode(3), Tree->FocusedNode()) << "the only match stops the walk at its start";
    EXPECT_EQ("gam", Text);
}

TEST_F(EditTest, OpeningTheEditorEndsTheSearch) {
    Tree->StartSearch(-1, "ga");
    ASSERT_TRUE(Tree->Searching());
    Tree->ShowEditor();
    EXPECT_FALSE(Tree->Searching());
}
