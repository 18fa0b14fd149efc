// The restore: a database restored under a new name on the server the main window is connected to,
// from a .bak file or from a .7z archive of the backup engine, which is unpacked beside itself first
// (asking for its password when its first entry is encrypted). Opened modally by the main window;
// it frees itself when closed.
#pragma once

#include "ADODB.h"
#include "Buttons.h"
#include "Dialogs.h"
#include "Forms.h"
#include "sCustomComboEdit.h"
#include "sEdit.h"
#include "sLabel.h"
#include "siComp.h"

#include <string>
#include <vector>

class TfrmRestore : public TForm {
    DECLARE_CLASS(TfrmRestore, TForm)
public:
    using TForm::TForm;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmRestore>& B);

    TsLabel* lblNewName = nullptr;
    TsEdit* edNewName = nullptr;
    TsLabel* lblFolder = nullptr;
    // The backup file: its button opens the folder chooser, which writes the chosen file's path back.
    TsComboEdit* deFolderType = nullptr;
    TBitBtn* bbRestore = nullptr;
    TBitBtn* bbNone = nullptr;
    TADOQuery* qryRestore = nullptr;
    TsiLang* siLang1 = nullptr;

    // Messages of the active language.
    std::string strrsW, strrsLink, strrsP, strrsMes, strrsNoFile, strrsNoSymb, strrsDbExists, strrsDbRest,
        strnoFormatFile, strnoWorkWithFormat, strnoFileForZip, strnoUnPackFile;

    void UpdateStrings();
    // Unpacks the archive BasePath + ".7z" into TargetDir and gives in OutFile the file its first entry
    // became; with FromVolumes the archive is read from its volumes BasePath + ".7z.001", ".002" ...
    // When a file of the archive is already there, the archive goes into a new folder below
    // TargetDir instead, so that nothing is overwritten. The password is asked for when the first
    // entry is encrypted, or before listing when the archive's names are. False after a message
    // when it could not.
    bool DecompressFile(const std::string& BasePath, const std::string& TargetDir, std::string& OutFile,
                        bool FromVolumes = false);
    // The main window's question dialog with its yes and no texts.
    int MessageDialog(const std::string& Msg, TMsgDlgType DlgType, const std::string& Caption, TMsgDlgButtons Buttons);

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void bbRestoreClick(TObject* Sender);
    void bbNoneClick(TObject* Sender);
    void deFolderTypeButtonClick(TObject* Sender);
    void siLang1ChangeLanguage(TObject* Sender);

private:
    // Removes what the last unpacking wrote (and the folder it made), however the restore ends.
    void RemoveUnpacked();

    std::vector<std::string> FUnpacked;
    std::string FUnpackFolder;
};

// The open restore window, or null; emptied when it closes.
extern TfrmRestore* frmRestore;

// Whether a new database name holds none of the characters the restore refuses: blank . , } { ] [ \ /
// - * = + ? ! & ( ) ^ # @ " and '. An empty name passes.
bool IsValidDbName(const std::string& Name);

// The RESTORE statement for the new database Name from the backup file Backup. Files: the backup's
// files as its file list gives them (logical name, type "D" or "L"). Target: the server's data folder
// followed by Name. The first data file goes to Target.mdf and the first log file to Target.ldf;
// further ones get numbered names of their own, so that no file of the backup is restored over its
// original path. Texts inside quotes have "'" doubled.
struct TBackupFile {
    std::string LogicalName;
    std::string Type;
};
std::string RestoreStatement(const std::string& Name, const std::string& Backup, const std::vector<TBackupFile>& Files,
                             const std::string& Target);
