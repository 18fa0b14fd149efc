#include "untFolder.h"

#include "Dialogs.h"
#include "StdCtrls.h"
#include "acShellCtrlsTree.h"
#include "untAdd.h"

// From the message window's unit, whose header brings the data units: their field attribute faLink
// and the shell unit's folder ability of that name cannot meet in one file.
void LoadDialogPlacement(TCustomForm* Form, const std::string& SubKey, bool WithSize);
void SaveDialogPlacement(TCustomForm* Form, const std::string& SubKey, bool WithSize);

TfrmOpenFolder* frmOpenFolder = nullptr;

namespace {

constexpr const char* PlacementKey = "frmOpenFolder";

bool WizardShowing() { return frmAdd && frmAdd->Showing(); }

TfrmOpenFolder* Chooser() {
    if (!frmOpenFolder)
        frmOpenFolder = Create<TfrmOpenFolder>(Application);
    return frmOpenFolder;
}

}  // namespace

void TfrmOpenFolder::DefineClass(TClassBuilder<TfrmOpenFolder>& B) {
    using T = TfrmOpenFolder;
    B.Field("ShellTreeView", &T::ShellTreeView);
    B.Field("bbOpen", &T::bbOpen);
    B.Field("bbClose", &T::bbClose);
    B.Field("siLang1", &T::siLang1);
    B.Method<&T::FormCreate>("FormCreate");
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::FormClose>("FormClose");
    B.Method<&T::bbOpenClick>("bbOpenClick");
    B.Method<&T::bbCloseClick>("bbCloseClick");
    B.Method<&T::ShellTreeViewAddFolder>("ShellTreeViewAddFolder");
    B.Method<&T::siLang1ChangeLanguage>("siLang1ChangeLanguage");
}

void TfrmOpenFolder::BeforeDestruction() {
    if (frmOpenFolder == this)
        frmOpenFolder = nullptr;
    TForm::BeforeDestruction();
}

void TfrmOpenFolder::UpdateStrings() {
    strrsFolderNoFound = siLang1->GetTextOrDefault("strrsFolderNoFound");
    strrsNoWrite = siLang1->GetTextOrDefault("strrsNoWrite");
}

void TfrmOpenFolder::siLang1ChangeLanguage(TObject*) { UpdateStrings(); }

void TfrmOpenFolder::FormCreate(TObject*) { UpdateStrings(); }

void TfrmOpenFolder::FormShow(TObject*) { LoadDialogPlacement(this, PlacementKey, true); }

void TfrmOpenFolder::FormClose(TObject*, TCloseAction& Action) {
    SaveDialogPlacement(this, PlacementKey, true);
    Action = caFree;
    if (frmOpenFolder == this)
        frmOpenFolder = nullptr;
}

void TfrmOpenFolder::bbCloseClick(TObject*) { Close(); }

void TfrmOpenFolder::ShellTreeViewAddFolder(TObject*, TacShellFolder* AFolder, bool& CanAdd) {
    // The wizard wants a folder; the restore wants a file, so it sees everything.
    if (WizardShowing())
        CanAdd = AFolder->IsFolder("", true);
}

std::string TfrmOpenFolder::SelectedPath() { return Trim(ShellTreeView->GetPath()); }

void TfrmOpenFolder::bbOpenClick(TObject*) {
    const std::string P = SelectedPath();
    if (WizardShowing()) {
        switch (frmAdd->ServerFolderTest(frmAdd->FolderConnection(), P)) {
        case faFound: break;
        case faNotFound: ShowMessage(strrsFolderNoFound); return;
        case faUndecided:
            if (!CheckFolderWritable(P, strrsNoWrite))
                return;
            break;
        }
    }
    if (P.empty())
        return;
    if (WizardShowing()) {
        if (TCustomEdit* Edit = frmAdd->FolderEdit(frmAdd->ActivePageName()))
            Edit->SetText(P);
        Close();
    }
    if (RestoreEdit) {
        if (RestoreEdit->Showing())
            RestoreEdit->SetText(P);
        Close();
    }
}

void ShowFolderChooserForWizard(const std::string& Folder) {
    TfrmOpenFolder* F = Chooser();
    if (!Trim(Folder).empty() && (FileExists(Folder) || DirectoryExists(Folder)))
        F->ShellTreeView->SetPath(Folder);
    F->Show();
}

void ShowFolderChooserForRestore(TCustomEdit* FileEdit) {
    TfrmOpenFolder* F = Chooser();
    const std::string File = FileEdit->Text();
    F->ShellTreeView->SetPath(FileExists(File) ? File : DefaultRestorePath);
    F->RestoreEdit = FileEdit;
    F->ShowModal();
}
