// The folder chooser over the shell namespace of the Wine prefix: folders only for the wizard and
// every item for the restore, the selection it starts on, Open with the server's answer or the
// probe here, the path written back, the placement and the texts of both languages.
#include "untAddTestSupport.h"

#include "ComCtrlsTree.h"
#include "StdCtrls.h"

using namespace app_tests;
using testing_support::WriteFileText;

// The shell unit's header cannot share a file with the data units the fixture brings (both name a
// faLink); the tree is reached through its tree-view base.
void acShellCtrlsInitialization();

namespace {

TCustomTreeView* TreeOf(TfrmOpenFolder* F) { return DynCast<TCustomTreeView>(F->FindComponent("ShellTreeView")); }

class FolderChooser : public TWizardServerFixture {
protected:
    void SetUp() override {
        TWizardServerFixture::SetUp();
        if (!GetClass("TsShellTreeView"))
            acShellCtrlsInitialization();
        CreateDirectoryA((Folder / "pick").c_str(), nullptr);
        CreateDirectoryA((Folder / "pick\\sub").c_str(), nullptr);
        WriteFileText(Folder / "pick\\Sales.bak", "backup");
        // A folder in the probe file's way: the probe cannot be created in "locked".
        CreateDirectoryA((Folder / "pick\\locked").c_str(), nullptr);
        CreateDirectoryA((Folder / "pick\\locked\\Quarnel_Params.INI").c_str(), nullptr);
    }
    // The wizard on its Type2 page, with the chooser opened from its folder edit.
    TfrmAdd* WizardWithChooser(const std::string& Folder) {
        TfrmAdd* W = Open();
        W->rbType2->SetChecked(true);
        W->btnNextClick(nullptr);
        W->deFolderType2->SetText(Folder);
        W->deFolderButtonClick(nullptr);
        return W;
    }
    // The names of the items listed below the node of the selected item's parent.
    std::vector<std::string> Siblings() const {
        std::vector<std::string> Names;
        TTreeNode* Parent = TreeOf(frmOpenFolder)->Selected()->Parent();
        for (int I = 0; I < Parent->Count(); ++I)
            Names.push_back(Parent->Item(I)->Text());
        return Names;
    }
    std::string Pick(const std::string& Name) const { return Folder / ("pick\\" + Name); }
};

TEST_F(FolderChooser, FromTheWizardStartsOnTheFolderAndListsFoldersOnly) {
    WizardWithChooser(Pick("sub"));
    ASSERT_NE(frmOpenFolder, nullptr);
    EXPECT_TRUE(frmOpenFolder->Visible());
    EXPECT_EQ(frmOpenFolder->SelectedPath(), Pick("sub"));
    const std::vector<std::string> Names = Siblings();
    EXPECT_NE(std::find(Names.begin(), Names.end(), "sub"), Names.end());
    for (const std::string& N : Names)
        EXPECT_EQ(N.find("Sales"), std::string::npos) << "a file is no folder";
}

TEST_F(FolderChooser, OpenWritesTheFolderIntoThePageOnShow) {
    struct Case {
        bool Connected;
        std::string Name;
        bool Taken;
    };
    // The server's word first; without a connection the probe here decides.
    const Case Cases[] = {{false, "sub", true}, {true, "locked", true}, {false, "locked", false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name + (C.Connected ? " connected" : ""));
        Recorder.Shown.clear();
        if (C.Connected != Main->ADOConnection->Connected())
            Main->btnOpenClick(nullptr);
        TfrmAdd* W = WizardWithChooser(Pick(C.Name));
        W->deFolderType2->SetText("");
        frmOpenFolder->bbOpenClick(nullptr);
        EXPECT_EQ(W->deFolderType2->Text(), C.Taken ? Pick(C.Name) : std::string());
        EXPECT_EQ(frmOpenFolder == nullptr, C.Taken) << "the chooser closes when the folder is taken";
        EXPECT_EQ(Texts(), C.Taken ? std::vector<std::string>{}
                                   : std::vector<std::string>{Ru(L"Отсутствует доступ к папке на запись.")});
        if (frmOpenFolder)
            frmOpenFolder->Free();
        W->Free();
        Pump();
    }
}

TEST_F(FolderChooser, AFolderTheServerDoesNotSeeIsRefused) {
    Connect();
    TfrmAdd* W = WizardWithChooser(Pick("sub"));
    W->deFolderType2->SetText("");
    // Removed behind the chooser's back: the tree still selects it, the server no longer sees it.
    RemoveDirectoryA(Pick("sub").c_str());
    frmOpenFolder->bbOpenClick(nullptr);
    EXPECT_EQ(Texts(), std::vector<std::string>{Ru(L"Данная папка отсутствует в файловой системе сервера БД.")});
    EXPECT_NE(frmOpenFolder, nullptr);
    EXPECT_EQ(W->deFolderType2->Text(), "");
}

TEST_F(FolderChooser, ForTheRestoreListsFilesAndWritesTheChosenFile) {
    TOwned<TForm> Restore(TForm::CreateNewOf<TForm>(nullptr));
    auto* FileEdit = Create<TEdit>(Restore.get());
    FileEdit->SetParent(Restore.get());
    FileEdit->SetText(Pick("Sales.bak"));
    Restore->Show();
    std::vector<std::string> Names;
    std::string SelectedFirst;
    Watcher.Action = [&](TCustomForm* F) {
        auto* C = DynCast<TfrmOpenFolder>(F);
        if (!C)
            return false;
        SelectedFirst = C->SelectedPath();
        Names = Siblings();
        C->bbOpenClick(nullptr);
        return true;
    };
    ShowFolderChooserForRestore(FileEdit);
    EXPECT_EQ(SelectedFirst, Pick("Sales.bak"));
    EXPECT_NE(std::find_if(Names.begin(), Names.end(), [](const std::string& N) { return N.find("Sales") == 0; }),
              Names.end())
        << "files are listed for the restore";
    EXPECT_EQ(FileEdit->Text(), Pick("Sales.bak"));
    EXPECT_TRUE(Recorder.Shown.empty());
    Pump();
    EXPECT_EQ(frmOpenFolder, nullptr);

    // A file that does not exist: the tree starts on C:\.
    FileEdit->SetText(Pick("none.bak"));
    Watcher.Action = [&](TCustomForm* F) {
        auto* C = DynCast<TfrmOpenFolder>(F);
        if (!C)
            return false;
        SelectedFirst = C->SelectedPath();
        C->bbCloseClick(nullptr);
        return true;
    };
    ShowFolderChooserForRestore(FileEdit);
    EXPECT_EQ(SelectedFirst, "C:\\");
    EXPECT_EQ(FileEdit->Text(), Pick("none.bak")) << "Exit writes nothing";
}

TEST_F(FolderChooser, KeepsItsPlacementAndSpeaksBothLanguages) {
    ShowFolderChooserForWizard("");
    EXPECT_EQ(frmOpenFolder->Caption(), Ru(L"Проводник"));
    EXPECT_EQ(frmOpenFolder->bbOpen->Caption(), Ru(L"Открыть"));
    EXPECT_EQ(frmOpenFolder->Constraints()->MinWidth(), 250);
    EXPECT_EQ(frmOpenFolder->Constraints()->MinHeight(), 150);
    SwitchLanguage();
    EXPECT_EQ(frmOpenFolder->Caption(), "Explorer");
    EXPECT_EQ(frmOpenFolder->bbClose->Caption(), "Exit");
    EXPECT_EQ(frmOpenFolder->strrsFolderNoFound, "There is no folder on server");
    frmOpenFolder->SetBounds(20, 30, 300, 320);
    frmOpenFolder->bbCloseClick(nullptr);
    EXPECT_EQ(frmOpenFolder, nullptr);
    EXPECT_EQ(ReadSetting("Width", "frmOpenFolder"), "300");
    EXPECT_EQ(ReadSetting("Top", "frmOpenFolder"), "30");
    Pump();
    ShowFolderChooserForWizard("");
    EXPECT_EQ(frmOpenFolder->BoundsRect(), TRect(20, 30, 320, 350));
}

}  // namespace
