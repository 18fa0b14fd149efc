// The shell combo box: the desktop with its folders and, right after My Computer, the drives, each
// indented by its depth; the way down to a chosen folder added one level at a time; and a linked
// shell tree that the combo box follows.
#include "../engine/SkinTestSupport.h"

#include "TestSupport.h"
#include "acShellCtrlsCombo.h"
#include "acShellCtrlsTree.h"

#include <string>
#include <vector>

using namespace skintests;
using testing_support::TempDir;

namespace {

PItemIDList IdOfPath(const std::string& Path) {
    std::wstring Wide(Path.begin(), Path.end());
    ULONG Eaten = 0;
    PItemIDList ID = nullptr;
    GetDesktopShellFolder()->ParseDisplayName(nullptr, nullptr, Wide.data(), &Eaten, &ID, nullptr);
    return ID;
}

class acShellCtrlsComboTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sTreeViewInitialization();
        acShellCtrlsInitialization();
        CreateDirectoryA((Dir / "Alpha").c_str(), nullptr);
        CreateDirectoryA((Dir / "Alpha\\Inner").c_str(), nullptr);
        CreateDirectoryA((Dir / "Beta").c_str(), nullptr);
    }
    void TearDown() override {
        SkinTest::TearDown();
        acShellCtrlsFinalization();
    }
    TacCustomShellComboBox* PlaceCombo(const std::string& Root = "") {
        auto* C = Create<TacCustomShellComboBox>(Form);
        static_cast<TControl*>(C)->SetBounds(10, 10, 250, 24);
        C->SetParent(Form);
        C->HandleNeeded();
        if (!Root.empty())
            C->SetRoot(Root);
        return C;
    }
    std::string CaptionAt(TacCustomShellComboBox* C, int I) { return C->ItemsEx()->Items(I)->Caption(); }
    int IndentAt(TacCustomShellComboBox* C, int I) { return C->ItemsEx()->Items(I)->Indend(); }
    TempDir Dir;
};

TEST_F(acShellCtrlsComboTest, DesktopListsItsFoldersAndTheDrivesAfterMyComputer) {
    TacCustomShellComboBox* C = PlaceCombo();
    ASSERT_GT(C->ItemsEx()->Count(), 2);
    EXPECT_EQ(C->GetItemIndex(), 0);
    PItemIDList Drives = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &Drives)));
    const int MyComputer = C->IndexOfId(Drives);
    FreeItemIdList(Drives);
    ASSERT_GT(MyComputer, 0);
    const int Top = IndentAt(C, 0);
    for (int I = 1; I <= MyComputer; ++I)
        EXPECT_EQ(IndentAt(C, I), Top + 1) << CaptionAt(C, I);
    ASSERT_LT(MyComputer + 1, C->ItemsEx()->Count());
    int DrivesSeen = 0;
    for (int I = MyComputer + 1; I < C->ItemsEx()->Count() && IndentAt(C, I) == Top + 2; ++I)
        DrivesSeen += CaptionAt(C, I).find(':') != std::string::npos;
    EXPECT_GT(DrivesSeen, 0) << "the drives right after My Computer, one level deeper";
    EXPECT_EQ(static_cast<int>(C->Items()->Count()), C->ItemsEx()->Count()) << "the strings shown follow the items";
}

TEST_F(acShellCtrlsComboTest, ChoosingADeepFolderAddsEachMissingAncestor) {
    TacCustomShellComboBox* C = PlaceCombo(Dir.Path());
    ASSERT_EQ(C->ItemsEx()->Count(), 3) << "the root and its two folders";
    EXPECT_EQ(CaptionAt(C, 1), "Alpha");
    EXPECT_EQ(CaptionAt(C, 2), "Beta");
    PItemIDList Inner = IdOfPath(Dir / "Alpha\\Inner");
    ASSERT_NE(Inner, nullptr);
    C->SelectItemId(Inner);
    EXPECT_EQ(C->ItemsEx()->Count(), 4);
    EXPECT_EQ(CaptionAt(C, 2), "Inner");
    EXPECT_EQ(IndentAt(C, 2), IndentAt(C, 1) + 1);
    EXPECT_EQ(C->GetItemIndex(), 2);
    EXPECT_EQ(C->IndexOfId(Inner), 2);
    FreeItemIdList(Inner);
}

TEST_F(acShellCtrlsComboTest, FollowsALinkedShellTree) {
    TacCustomShellComboBox* C = PlaceCombo(Dir.Path());
    auto* T = Place<TsShellTreeView>(10, 40, 300, 200);
    T->SetRoot(Dir.Path());
    T->HandleNeeded();
    T->SetShellComboBox(C);
    EXPECT_EQ(C->ShellTreeView(), T);
    TTreeNode* Alpha = T->Items()->GetFirstNode()->GetFirstChild();
    ASSERT_NE(Alpha, nullptr);
    Alpha->Expand(false);
    TTreeNode* Inner = Alpha->GetFirstChild();
    ASSERT_NE(Inner, nullptr);
    T->SetSelected(Inner);
    ASSERT_GE(C->GetItemIndex(), 0);
    EXPECT_EQ(CaptionAt(C, C->GetItemIndex()), "Inner");
    FreeAndNil(T);
    EXPECT_EQ(C->ShellTreeView(), nullptr) << "the link goes with the tree";
}

}  // namespace
