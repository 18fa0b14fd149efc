// The shell folder tree over a temporary folder tree the tests make, and over the desktop of the
// test prefix: choosing a folder and reading and setting its path, filters, rebuilding, rename and
// the refresh on directory changes.
#include "../engine/SkinTestSupport.h"

#include "Filer.h"
#include "Streams.h"
#include "TestSupport.h"
#include "acShellCtrlsTree.h"

#include <vector>

using namespace skintests;
using testing_support::PumpUntil;
using testing_support::TempDir;
using testing_support::WriteFileText;

namespace {

std::vector<std::string> ChildTexts(TTreeNode* Node) {
    std::vector<std::string> Texts;
    for (TTreeNode* C = Node ? Node->GetFirstChild() : nullptr; C; C = C->GetNextSibling())
        Texts.push_back(C->Text());
    return Texts;
}

TTreeNode* ChildNamed(TTreeNode* Node, const std::string& Text) {
    for (TTreeNode* C = Node ? Node->GetFirstChild() : nullptr; C; C = C->GetNextSibling())
        if (C->Text() == Text)
            return C;
    return nullptr;
}

std::string NoBackslash(const std::string& Path) { return ExcludeTrailingPathDelimiter(Path); }

class acShellCtrlsTreeTest : public SkinTest {
protected:
    // Root\Alpha\Inner, Root\Alpha\note.txt, Root\Beta, Root\top.txt
    void SetUp() override {
        SkinTest::SetUp();
        sTreeViewInitialization();
        acShellCtrlsInitialization();
        CreateDirectoryA((Dir / "Alpha").c_str(), nullptr);
        CreateDirectoryA((Dir / "Alpha\\Inner").c_str(), nullptr);
        CreateDirectoryA((Dir / "Beta").c_str(), nullptr);
        WriteFileText(Dir / "Alpha\\note.txt", "n");
        WriteFileText(Dir / "top.txt", "t");
    }
    void TearDown() override {
        SkinTest::TearDown();
        acShellCtrlsFinalization();
    }
    TsShellTreeView* PlaceTree(TacShellObjectTypes Types = {otFolders}) {
        auto* T = Place<TsShellTreeView>(10, 10, 300, 250);
        T->SetObjectTypes(Types);
        T->SetRoot(Dir.Path());
        T->HandleNeeded();
        return T;
    }

    TempDir Dir;
};

TEST_F(acShellCtrlsTreeTest, APathRootShowsItsLastComponentAndItsFolders) {
    TsShellTreeView* T = PlaceTree();
    TTreeNode* Top = T->Items()->GetFirstNode();
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(Top->GetNextSibling(), nullptr);
    EXPECT_EQ(Top->Text(), ExtractFileName(NoBackslash(Dir.Path())));
    EXPECT_TRUE(Top->Selected());
    EXPECT_TRUE(Top->Expanded());
    EXPECT_EQ(ChildTexts(Top), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_TRUE(ChildNamed(Top, "Alpha")->HasChildren());
    TTreeNode* Beta = ChildNamed(Top, "Beta");
    Beta->Expand(false);
    EXPECT_FALSE(Beta->HasChildren()) << "an empty folder has no button once opened";
    EXPECT_TRUE(SameText(T->GetPath(), NoBackslash(Dir.Path()))) << T->GetPath();
    EXPECT_EQ(T->Root(), Dir.Path());
    EXPECT_TRUE(T->RightClickSelect());

    T->SetSelected(nullptr);
    EXPECT_EQ(T->GetPath(), "") << "no selection reads as no path";
    EXPECT_EQ(T->CurrentFolder(), nullptr);
}

TEST_F(acShellCtrlsTreeTest, SettingAPathOpensTheTreeDownToIt) {
    TsShellTreeView* T = PlaceTree();
    T->SetPath(Dir / "Alpha\\Inner");
    ASSERT_NE(T->Selected(), nullptr);
    EXPECT_EQ(T->Selected()->Text(), "Inner");
    EXPECT_EQ(T->Selected()->Level(), 2);
    EXPECT_TRUE(T->Selected()->Parent()->Expanded());
    EXPECT_TRUE(SameText(T->GetPath(), Dir / "Alpha\\Inner"));
    EXPECT_FALSE(T->IsUpdating());

    T->SetPath(Dir / "Alpha\\note.txt");
    EXPECT_EQ(T->Selected(), nullptr) << "files are not listed with folders alone";
    EXPECT_EQ(T->GetPath(), "");

    try {
        T->SetPath(Dir / "no such folder");
        ADD_FAILURE() << "a path the shell cannot parse raises";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Error Setting Path");
    }
}

TEST_F(acShellCtrlsTreeTest, FilesAreListedAndChosenWithNonFolders) {
    TsShellTreeView* T = PlaceTree({otFolders, otNonFolders});
    TTreeNode* Top = T->Items()->GetFirstNode();
    std::vector<std::string> Texts = ChildTexts(Top);
    EXPECT_EQ(Texts.size(), 3u);
    EXPECT_NE(std::find(Texts.begin(), Texts.end(), "top.txt"), Texts.end());
    EXPECT_TRUE(ChildNamed(Top, "Alpha")->HasChildren());

    T->SetPath(Dir / "Alpha\\note.txt");
    ASSERT_NE(T->Selected(), nullptr);
    EXPECT_EQ(T->Selected()->Text(), "note.txt");
    EXPECT_TRUE(SameText(T->GetPath(), Dir / "Alpha\\note.txt"));

    T->SetObjectTypes({otFolders});
    Top = T->Items()->GetFirstNode();
    EXPECT_EQ(ChildTexts(Top), (std::vector<std::string>{"Alpha", "Beta"})) << "the tree is built again";
    EXPECT_TRUE(Top->Selected());
}

TEST_F(acShellCtrlsTreeTest, RejectedItemsAreNeverShown) {
    TsShellTreeView* T = PlaceTree({otFolders, otNonFolders});
    std::vector<std::string> Asked;
    T->OnAddFolder = TacAddFolderEvent::FromFunction([&](TObject* Sender, TacShellFolder* F, bool& CanAdd) {
        EXPECT_EQ(Sender, T);
        Asked.push_back(F->DisplayName(seSystem));
        CanAdd = F->IsFolder() && F->DisplayName(seSystem) != "Beta";
    });
    T->SetObjectTypes({otFolders, otNonFolders});
    TTreeNode* Top = T->Items()->GetFirstNode();
    EXPECT_EQ(ChildTexts(Top), (std::vector<std::string>{"Alpha"}));
    EXPECT_EQ(Asked.size(), 3u);
    T->SetPath(Dir / "Beta");
    EXPECT_EQ(T->Selected(), nullptr);
}

TEST_F(acShellCtrlsTreeTest, TheDesktopRootReachesADriveThroughTheComputer) {
    auto* T = Place<TsShellTreeView>(10, 10, 300, 250);
    T->HandleNeeded();
    TTreeNode* Top = T->Items()->GetFirstNode();
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(SendMessageA(T->Handle(), TVM_GETCOUNT, 0, 0), T->Items()->Count()) << "each node shown once";
    EXPECT_EQ(T->Root(), "rfDesktop");
    EXPECT_EQ(Top->Text(), GetItemDisplayName(GetDesktopShellFolder().Get(), DesktopFolder->AbsoluteID(),
                                              SHGDN_NORMAL, seSystem));
    T->SetPath("C:\\");
    ASSERT_NE(T->Selected(), nullptr);
    EXPECT_EQ(T->Selected()->Level(), 2) << "the desktop, the computer, the drive";
    EXPECT_TRUE(SameText(T->GetPath(), "C:\\"));
    EXPECT_TRUE(T->Selected()->Parent()->Expanded());

    T->SetPath(Dir / "Alpha");
    ASSERT_NE(T->Selected(), nullptr);
    EXPECT_EQ(T->Selected()->Text(), "Alpha");
    EXPECT_TRUE(SameText(T->GetPath(), Dir / "Alpha"));
}

TEST_F(acShellCtrlsTreeTest, RebuildingANodeReadsNewItemsAndKeepsItsOpenBranches) {
    TsShellTreeView* T = PlaceTree();
    T->SetPath(Dir / "Alpha\\Inner");
    TTreeNode* Top = T->Items()->GetFirstNode();
    CreateDirectoryA((Dir / "Gamma").c_str(), nullptr);
    T->SetSelected(Top);
    T->RefreshSelected();
    Top = T->Items()->GetFirstNode();
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(Top->GetNextSibling(), nullptr) << "the old node is gone";
    EXPECT_EQ(ChildTexts(Top), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_TRUE(ChildNamed(Top, "Alpha")->Expanded());
    EXPECT_TRUE(Top->Selected());
    EXPECT_EQ(T->NodeFolder(0), T->CurrentFolder());
}

TEST_F(acShellCtrlsTreeTest, TheSystemImagesAreTheTreesUnlessSwitchedOff) {
    TsShellTreeView* T = PlaceTree();
    ASSERT_NE(T->SystemImages(), nullptr);
    auto WindowList = [&] {
        return reinterpret_cast<HIMAGELIST>(SendMessageA(T->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    };
    EXPECT_EQ(WindowList(), T->SystemImages());
    TTreeNode* Alpha = ChildNamed(T->Items()->GetFirstNode(), "Alpha");
    EXPECT_GE(Alpha->ImageIndex(), 0);
    EXPECT_GE(Alpha->SelectedIndex(), 0);
    // Another list given to the window is replaced by the tree's own choice.
    SendMessageA(T->Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    EXPECT_EQ(WindowList(), T->SystemImages());
    T->SetUseShellImages(false);
    EXPECT_EQ(WindowList(), nullptr);
}

TEST_F(acShellCtrlsTreeTest, AWindowMadeAgainStartsFromTheRoot) {
    TsShellTreeView* T = PlaceTree();
    T->SetPath(Dir / "Alpha\\Inner");
    T->RecreateWnd();
    T->HandleNeeded();
    TTreeNode* Top = T->Items()->GetFirstNode();
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(Top->GetNextSibling(), nullptr);
    EXPECT_TRUE(Top->Selected());
    EXPECT_EQ(T->Items()->Count(), 3) << "the root and its two folders";
    EXPECT_EQ(SendMessageA(T->Handle(), TVM_GETCOUNT, 0, 0), 3);
    T->SetPath(Dir / "Alpha\\Inner");
    EXPECT_TRUE(SameText(T->GetPath(), Dir / "Alpha\\Inner"));
}

TEST_F(acShellCtrlsTreeTest, EditingANodeRenamesItsFolder) {
    TsShellTreeView* T = PlaceTree();
    T->SetPath(Dir / "Beta");
    bool Handled = false;
    T->ExecuteVerb("Rename", Handled);
    EXPECT_TRUE(Handled);
    std::vector<std::string> Edited;
    T->OnEdited = TTVEditedEvent::FromFunction([&](TObject*, TTreeNode* Node, std::string& Text) {
        Edited.push_back(Node->Text() + ">" + Text);
        Text += "2";  // the handler has the last word on the name
    });
    HWND Edit = reinterpret_cast<HWND>(SendMessageA(T->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(Edit, nullptr);
    SetWindowTextA(Edit, "Delta");
    SendMessageA(T->Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
    EXPECT_EQ(Edited, (std::vector<std::string>{"Beta>Delta"}));
    EXPECT_TRUE(DirectoryExists(Dir / "Delta2"));
    EXPECT_FALSE(DirectoryExists(Dir / "Beta"));
    EXPECT_EQ(ChildTexts(T->Items()->GetFirstNode()), (std::vector<std::string>{"Alpha", "Delta2"}));
}

TEST_F(acShellCtrlsTreeTest, ImageHandlersAreAskedOnlyForTheProgramsOwnImages) {
    TsShellTreeView* T = PlaceTree();
    int Asked = 0, AskedSelected = 0;
    T->OnGetImageIndex = TTVExpandedEvent::FromFunction([&](TObject*, TTreeNode* Node) {
        ++Asked;
        Node->SetImageIndex(1);
    });
    T->OnGetSelectedIndex = TTVExpandedEvent::FromFunction([&](TObject*, TTreeNode*) { ++AskedSelected; });
    auto Show = [&] {
        RedrawWindow(T->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Pump();
    };
    Show();
    EXPECT_EQ(Asked + AskedSelected, 0) << "the shell's images: no handler";

    auto* L = TCustomImageList::CreateSize<TImageList>(16, 16, Form);
    T->SetImages(L);
    Show();
    EXPECT_GT(Asked, 0) << "the window asks for each shown node's image";
    TTreeNode* Top = T->Items()->GetFirstNode();
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(Top->ImageIndex(), 1);
    T->SetSelected(Top);
    Show();
    EXPECT_GT(AskedSelected, 0);
}

TEST_F(acShellCtrlsTreeTest, ShellVerbsOpenFromTheItemsFolderAndDropDeletedItems) {
    TsShellTreeView* T = PlaceTree();
    T->SetPath(Dir / "Beta");
    std::string Before = GetCurrentDir();
    bool Handled = false;
    T->ExecuteVerb("open", Handled);
    EXPECT_FALSE(Handled) << "the shell opens the item";
    EXPECT_TRUE(SameText(IncludeTrailingPathDelimiter(GetCurrentDir()), Dir.Path()));
    T->VerbCompleted("open", true);
    EXPECT_EQ(GetCurrentDir(), Before);

    T->VerbCompleted("delete", false);
    EXPECT_EQ(ChildTexts(T->Items()->GetFirstNode()).size(), 2u) << "a failed verb changes nothing";
    RemoveDirectoryA((Dir / "Beta").c_str());
    T->VerbCompleted("Delete", true);
    EXPECT_EQ(ChildTexts(T->Items()->GetFirstNode()), (std::vector<std::string>{"Alpha"}));
}

TEST_F(acShellCtrlsTreeTest, AutoRefreshReadsTheSelectedFolderAgainAfterAChange) {
    TsShellTreeView* T = PlaceTree();
    T->SetAutoRefresh(true);
    ASSERT_NE(T->Notifier(), nullptr);
    EXPECT_TRUE(SameText(T->Notifier()->Root(), NoBackslash(Dir.Path())));
    T->SetSelected(ChildNamed(T->Items()->GetFirstNode(), "Alpha"));
    ASSERT_NE(T->Notifier(), nullptr);
    EXPECT_TRUE(SameText(T->Notifier()->Root(), Dir / "Alpha")) << "the notifier follows the selection";
    // Folders are made until one is seen: the worker may not watch yet when the first one comes.
    int Made = 0;
    EXPECT_TRUE(PumpUntil(
        [&] {
            CheckSynchronize();
            if (T->Selected() && T->Selected()->Count() > 1)
                return true;
            CreateDirectoryA((Dir / ("Alpha\\Fresh" + IntToStr(++Made))).c_str(), nullptr);
            return false;
        },
        10000));
    ASSERT_NE(T->Selected(), nullptr);
    EXPECT_EQ(T->Selected()->Text(), "Alpha");
    EXPECT_EQ(T->Selected()->Item(0)->Text(), "Fresh1") << "the shell's order: Fresh1 before Inner";
    T->SetAutoRefresh(false);
    EXPECT_EQ(T->Notifier(), nullptr);
}

// A hidden form read from form text, as the program's folder chooser is made.
TForm* ReadTreeForm(const std::string& Options) {
    std::string Text = "object F: TForm\n  Left = 60\n  Top = 60\n  Width = 320\n  Height = 300\n"
                       "  object tvFolders: TsShellTreeView\n    Left = 0\n    Top = 0\n    Width = 300\n"
                       "    Height = 250\n" +
                       Options + "  end\nend\n";
    std::string Binary = ObjectTextToBinary(Text);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    S->SetPosition(0);
    TForm* F = TForm::CreateNew(nullptr);
    S->ReadComponent(F);
    return F;
}

TEST_F(acShellCtrlsTreeTest, FormTextGivesTheTreeItsStreamedOptions) {
    TOwned<TForm> F(ReadTreeForm("    Root = '" + Dir.Path() +
                                 "'\n    ObjectTypes = [otFolders, otNonFolders]\n    UseShellImages = True\n"
                                 "    AutoRefresh = False\n    ShowExt = seHide\n    SkinData.SkinSection = 'EDIT'\n"));
    auto* T = DynCast<TsShellTreeView>(F->FindComponent("tvFolders"));
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->ObjectTypes(), (TacShellObjectTypes{otFolders, otNonFolders}));
    EXPECT_EQ(T->ShowExt(), seHide);
    EXPECT_EQ(T->SkinData()->SkinSection(), "EDIT");
    TTreeNode* Top = T->Items()->GetFirstNode();
    ASSERT_NE(Top, nullptr) << "the tree is built once loaded";
    EXPECT_NE(ChildNamed(Top, "top"), nullptr) << "names without their extension";
}

TEST_F(acShellCtrlsTreeTest, APathSetBeforeTheWindowIsShownWhenItOpens) {
    TOwned<TForm> F(ReadTreeForm("    ObjectTypes = [otFolders, otNonFolders]\n    Root = 'rfDesktop'\n"));
    auto* T = DynCast<TsShellTreeView>(F->FindComponent("tvFolders"));
    ASSERT_NE(T, nullptr);
    EXPECT_FALSE(T->HandleAllocated());
    T->SetPath(Dir / "Alpha\\note.txt");
    EXPECT_TRUE(SameText(T->GetPath(), Dir / "Alpha\\note.txt"));
    EXPECT_FALSE(T->HandleAllocated()) << "choosing needs no window";
    F->Show();
    ASSERT_TRUE(T->HandleAllocated());
    EXPECT_EQ(SendMessageA(T->Handle(), TVM_GETCOUNT, 0, 0), T->Items()->Count());
    auto Caret = reinterpret_cast<HTREEITEM>(SendMessageA(T->Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    ASSERT_NE(T->Selected(), nullptr);
    EXPECT_EQ(Caret, T->Selected()->ItemId()) << "the window shows the chosen file";
    T->SetPath("C:\\");
    EXPECT_TRUE(SameText(T->GetPath(), "C:\\"));
}

}  // namespace
