// The folder chooser: the shell namespace as a tree. For the task wizard it picks the backup folder
// (folders only) and makes sure the server, or failing that this computer, can use it; for the
// restore it picks the backup file. It frees itself when closed.
#pragma once

#include "Buttons.h"
#include "Forms.h"
#include "siComp.h"

#include <string>

class TsShellTreeView;
class TacShellFolder;
class TCustomEdit;

class TfrmOpenFolder : public TForm {
    DECLARE_CLASS(TfrmOpenFolder, TForm)
public:
    using TForm::TForm;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmOpenFolder>& B);

    TsShellTreeView* ShellTreeView = nullptr;
    TBitBtn* bbOpen = nullptr;
    TBitBtn* bbClose = nullptr;
    TsiLang* siLang1 = nullptr;

    // Messages of the active language (UpdateStrings).
    std::string strrsFolderNoFound, strrsNoWrite;
    // The restore's file edit while the chooser serves the restore, else null.
    TCustomEdit* RestoreEdit = nullptr;

    void UpdateStrings();
    // The full path of the item selected in the tree, trimmed; "" when nothing is selected.
    std::string SelectedPath();

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void bbOpenClick(TObject* Sender);
    void bbCloseClick(TObject* Sender);
    void ShellTreeViewAddFolder(TObject* Sender, TacShellFolder* AFolder, bool& CanAdd);
    void siLang1ChangeLanguage(TObject* Sender);
};

// The open chooser, or null; emptied when it closes.
extern TfrmOpenFolder* frmOpenFolder;

// Where the chooser and the restore start when no backup file is known yet.
inline constexpr const char* DefaultRestorePath = "C:\\";

// The wizard's way in: creates the chooser when there is none, selects Folder when it names an
// existing file or folder, and shows the chooser without waiting.
void ShowFolderChooserForWizard(const std::string& Folder);
// The restore's way in: creates the chooser when there is none, selects the file FileEdit names when
// it exists, else "C:\", and shows the chooser modally; Open writes the chosen path into FileEdit.
void ShowFolderChooserForRestore(TCustomEdit* FileEdit);
