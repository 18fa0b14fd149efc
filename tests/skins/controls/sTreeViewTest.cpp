// The skinned tree view: the standard tree view without a skin manager, and the section colours and
// tree hook it keeps in step with a skin.
#include "../engine/SkinTestSupport.h"

#include "Filer.h"
#include "Streams.h"
#include "sTreeView.h"

#include <commctrl.h>

using namespace skintests;

namespace {

LRESULT Command(TControl* C, Word Code, LPARAM LParam = 0) {
    return C->Perform(SM_ALPHACMD, SkinCommandParam(Code), LParam);
}

class sTreeViewTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sTreeViewInitialization();
        acSBUtilsInitialization();
    }
    void TearDown() override {
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    TsTreeView* PlaceTree() {
        auto* T = Place<TsTreeView>(10, 30, 200, 150);
        T->HandleNeeded();
        TTreeNode* A = T->Items()->AddChild(nullptr, "first");
        T->Items()->AddChild(A, "child");
        return T;
    }
};

TEST_F(sTreeViewTest, WithoutManagerItIsTheStandardTreeView) {
    TsTreeView* T = PlaceTree();
    EXPECT_EQ(T->SkinData()->ControlKind, 96);
    EXPECT_EQ(T->SkinData()->SkinSection(), "EDIT");
    EXPECT_FALSE(T->SkinData()->IsSkinned(false));
    EXPECT_EQ(Command(T, SKIN_ISSKINNED), 1);
    EXPECT_EQ(Command(T, SKIN_GETAPPLICATION), reinterpret_cast<LRESULT>(Application));
    Command(T, SKIN_REFRESH, 0);
    EXPECT_EQ(T->TreeHook(), nullptr);
    EXPECT_EQ(GetHookOfWindow(T->Handle()), nullptr);
    EXPECT_EQ(T->Color(), clWindow);
    T->Items()->GetFirstNode()->Expand(false);
    EXPECT_EQ(SendMessageA(T->Handle(), TVM_GETCOUNT, 0, 0), 2);
}

TEST_F(sTreeViewTest, TheBoundLabelFollowsTheTree) {
    TsTreeView* T = PlaceTree();
    T->BoundLabel()->SetActive(true);
    T->BoundLabel()->SetLayout(sclTopLeft);
    T->BoundLabel()->SetCaption("Folders:");
    TCustomLabel* L = T->BoundLabel()->TheLabel;
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->Top(), 30 - L->Height());
    T->SetBounds(10, 60, 200, 150);
    EXPECT_EQ(L->Top(), 60 - L->Height()) << "placed again when the tree moves";
    T->SetBiDiMode(bdRightToLeft);
    T->Perform(CM_BIDIMODECHANGED, 0, 0);
    EXPECT_EQ(L->BiDiMode(), bdRightToLeft);
    T->SetVisible(false);
    EXPECT_FALSE(L->Visible());
}

class sTreeViewSkinnedTest : public sTreeViewTest {
protected:
    void SetUp() override {
        sTreeViewTest::SetUp();
        MakeManager({{"EDIT", 0xE0F0F0, 0, 0, 0, 0x102030, 0xFFF0E0, 0x302010}});
    }
    // A tree read from form text, so that it is loaded as the program's trees are.
    TsTreeView* ReadTree(const std::string& Extra = std::string()) {
        std::string Binary = ObjectTextToBinary("object F: TForm\n  object tvTree: TsTreeView\n    Left = 10\n"
                                                "    Top = 30\n    Width = 200\n    Height = 150\n" +
                                                Extra + "  end\nend\n");
        TOwned<TMemoryStream> S(Create<TMemoryStream>());
        S->WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
        S->SetPosition(0);
        S->ReadComponent(Form);
        return DynCast<TsTreeView>(Form->FindComponent("tvTree"));
    }
};

TEST_F(sTreeViewSkinnedTest, ALoadedTreeTakesTheSectionColoursAndAHook) {
    TsTreeView* T = ReadTree();
    ASSERT_NE(T, nullptr);
    ASSERT_TRUE(T->SkinData()->IsSkinned(false));
    EXPECT_EQ(T->Color(), static_cast<TColor>(0xE0F0F0));
    T->HandleNeeded();
    T->Perform(CM_SHOWINGCHANGED, 0, 0);
    ASSERT_NE(T->TreeHook(), nullptr);
    EXPECT_EQ(GetHookOfWindow(T->Handle()), T->TreeHook());
    T->Repaint();
    Pump();
    EXPECT_EQ(T->Font()->Color(), static_cast<TColor>(0x302010)) << "the hook writes with the hot font colour";
    EXPECT_EQ(TreeView_GetBkColor(T->Handle()), static_cast<COLORREF>(0xFFF0E0));

    Command(T, SKIN_REMOVED, reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(T->TreeHook(), nullptr);
    EXPECT_EQ(GetHookOfWindow(T->Handle()), nullptr);
    EXPECT_EQ(T->Color(), clWindow);
    EXPECT_EQ(T->Font()->Color(), clWindowText);
}

TEST_F(sTreeViewSkinnedTest, ACustomColourStaysThroughLoadingAndRemoval) {
    TsTreeView* T = ReadTree("    Color = clInfoBk\n    SkinData.CustomColor = True\n");
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->Color(), clInfoBk);
    Command(T, SKIN_REMOVED, reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(T->Color(), clInfoBk);
    EXPECT_EQ(T->Font()->Color(), clWindowText);
}

TEST_F(sTreeViewSkinnedTest, FreeingTheTreeGivesItsWindowBack) {
    TsTreeView* T = PlaceTree();
    Command(T, SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager));
    ASSERT_NE(T->TreeHook(), nullptr);
    HWND Wnd = T->Handle();
    FreeAndNil(T);
    EXPECT_FALSE(IsWindow(Wnd));
    EXPECT_EQ(GetPropA(Wnd, HookPropName), nullptr);
}

}  // namespace
