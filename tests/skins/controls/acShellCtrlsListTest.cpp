// The shell list view over a temporary folder tree the tests make: masks, order, incremental
// search, navigation back to the parent, refresh keeping the selection, and the wildcard match.
#include "../engine/SkinTestSupport.h"

#include "TestSupport.h"
#include "acShellCtrlsList.h"
#include "acShellCtrlsTree.h"

#include <vector>

using namespace skintests;
using testing_support::TempDir;
using testing_support::WriteFileText;

namespace {

class acShellCtrlsListTest : public SkinTest {
protected:
    // Root\Sub\inner.txt, Root\a.TXT, Root\b.log, Root\c.dat, Root\txt
    void SetUp() override {
        SkinTest::SetUp();
        sListViewInitialization();
        acShellCtrlsInitialization();
        CreateDirectoryA((Dir / "Sub").c_str(), nullptr);
        WriteFileText(Dir / "Sub\\inner.txt", "i");
        WriteFileText(Dir / "a.TXT", "a");
        WriteFileText(Dir / "b.log", "b");
        WriteFileText(Dir / "c.dat", "c");
        WriteFileText(Dir / "txt", "x");
    }
    void TearDown() override {
        SkinTest::TearDown();
        acShellCtrlsFinalization();
    }
    TacCustomShellListView* PlaceList(const std::string& Mask = std::string()) {
        auto* L = Place<TacCustomShellListView>(10, 10, 300, 250);
        L->ShowExt = seShow;
        L->Mask = Mask;
        L->SetViewStyle(vsList);
        L->HandleNeeded();
        L->SetRoot(Dir.Path());
        return L;
    }
    static std::vector<std::string> Captions(TacCustomShellListView* L) {
        std::vector<std::string> Texts;
        // As the window shows them.
        for (int I = 0; I < L->Items()->Count(); ++I) {
            char Buffer[MAX_PATH] = {};
            LVITEMA Item{};
            Item.iItem = I;
            Item.pszText = Buffer;
            Item.cchTextMax = MAX_PATH;
            SendMessageA(L->Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Item));
            Texts.push_back(Buffer);
        }
        return Texts;
    }

    TempDir Dir;
};

TEST_F(acShellCtrlsListTest, MasksFilterFilesOnlyAndFoldersComeFirst) {
    struct Case {
        const char* Mask;
        std::vector<std::string> Shown;
    };
    const Case Cases[] = {
        {"", {"Sub", "a.TXT", "b.log", "c.dat", "txt"}},
        {"*.txt;*.LOG", {"Sub", "a.TXT", "b.log"}},
        {"txt", {"Sub", "txt"}},
        {"?.dat", {"Sub", "c.dat"}},
    };
    for (const Case& C : Cases) {
        TacCustomShellListView* L = PlaceList(C.Mask);
        EXPECT_EQ(Captions(L), C.Shown) << "mask " << C.Mask;
        EXPECT_EQ(L->FolderCount(), L->Items()->Count());
        EXPECT_EQ(L->Items()->Item(0)->Caption(), "Sub") << "items read in code are filled too";
        L->Free();
    }
}

TEST_F(acShellCtrlsListTest, IncrementalSearchFindsEveryItemAndWrapsOnlyWhenAsked) {
    TacCustomShellListView* L = PlaceList();
    EXPECT_EQ(L->OwnerDataFind("TX", 0, false), 4) << "the last item is found";
    EXPECT_EQ(L->OwnerDataFind("su", 2, false), -1);
    EXPECT_EQ(L->OwnerDataFind("su", 2, true), 0);
    EXPECT_EQ(L->OwnerDataFind("zz", 3, true), -1);
    // Through the window, as typing in the list does.
    LVFINDINFOA Find{};
    Find.flags = LVFI_PARTIAL | LVFI_STRING;
    Find.psz = "c.";
    EXPECT_EQ(SendMessageA(L->Handle(), LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&Find)), 3);
}

TEST_F(acShellCtrlsListTest, OpeningAFolderAndGoingBackAndRefreshKeepingTheLastSelection) {
    TacCustomShellListView* L = PlaceList();
    L->SetItemIndex(0);
    Word Enter = VK_RETURN;
    L->KeyDown(Enter, {});
    EXPECT_EQ(Captions(L), (std::vector<std::string>{"inner.txt"}));
    Word Backspace = VK_BACK;
    L->KeyDown(Backspace, {});
    ASSERT_EQ(L->Items()->Count(), 5);
    EXPECT_TRUE(SameText(ExcludeTrailingPathDelimiter(L->RootFolder()->PathName()),
                         ExcludeTrailingPathDelimiter(Dir.Path())));
    L->SetItemIndex(4);
    WriteFileText(Dir / "d.dat", "d");
    L->Refresh();
    EXPECT_EQ(L->Items()->Count(), 6);
    EXPECT_EQ(L->ItemIndex(), 4) << "the last item of before is selected again";
}

TEST_F(acShellCtrlsListTest, BackspaceInADriveRootShowsMyComputer) {
    TacCustomShellListView* L = PlaceList();
    L->SetRoot("C:\\");
    Word Backspace = VK_BACK;
    L->KeyDown(Backspace, {});
    TacRoot Computer = "rfMyComputer";
    TacShellFolder* Expected = ResolveRootFolder(nullptr, std::string(), Computer);
    ASSERT_NE(Expected, nullptr);
    EXPECT_TRUE(SameItemIdLists(L->RootFolder()->AbsoluteID(), Expected->AbsoluteID()));
    Expected->Free();
}

TEST_F(acShellCtrlsListTest, ALinkedTreeFollowsTheShownFolderAndTheLinkGoesWithTheTree) {
    sTreeViewInitialization();
    auto* T = Place<TsShellTreeView>(320, 10, 200, 250);
    T->SetRoot(Dir.Path());
    T->HandleNeeded();
    TacCustomShellListView* L = PlaceList();
    L->SetShellTreeView(T);
    L->SetItemIndex(0);
    Word Enter = VK_RETURN;
    L->KeyDown(Enter, {});
    EXPECT_TRUE(SameText(T->GetPath(), Dir / "Sub")) << T->GetPath();
    T->Free();
    EXPECT_EQ(L->ShellTreeView(), nullptr);
    Word Backspace = VK_BACK;
    L->KeyDown(Backspace, {});
    EXPECT_EQ(L->Items()->Count(), 5);
}

TEST_F(acShellCtrlsListTest, ATreeLinkedToTheListShowsItsRootAndItsChosenFolderThere) {
    sTreeViewInitialization();
    auto* T = Place<TsShellTreeView>(320, 10, 200, 250);
    T->HandleNeeded();
    auto* L = Place<TacCustomShellListView>(10, 10, 300, 250);
    L->ShowExt = seShow;
    L->SetViewStyle(vsList);
    L->HandleNeeded();
    T->SetShellListView(L);
    T->SetRoot(Dir.Path());
    EXPECT_EQ(L->Items()->Count(), 5);
    T->SetPath(Dir / "Sub");
    EXPECT_EQ(Captions(L), (std::vector<std::string>{"inner.txt"}));
    L->Free();
    EXPECT_EQ(T->ShellListView(), nullptr);
    T->SetPath(Dir.Path());
}

TEST(acShellCtrlsListMaskTest, WildcardsMatchAsWholeNamesInAnyCase) {
    struct Case {
        const char* Name;
        const char* Mask;
        bool Matches;
    };
    const Case Cases[] = {
        {"report.TXT", "*.txt", true},   {"report.txt.bak", "*.txt", false}, {"a.txt", "a.txt", true},
        {"a.txt", "a.tx", false},        {"a.txt", "", false},               {"", "*", true},
        {"abcabc", "a*c*c", true},       {"abc", "a*bc*c", false},           {"ab", "a*b*b", false},
        {"x1y", "x?y", true},            {"xy", "x?y", false},               {"\xF4\xE0\xE9\xEB.doc", "\xD4*", true},
        {"\xB8\xEB\xEA\xE0", "\xA8*", true}, {"name", "**", true},           {"aXbXc", "*X*X*", true},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(MatchesMask(C.Name, C.Mask), C.Matches) << C.Name << " ~ " << C.Mask;
}

}  // namespace
