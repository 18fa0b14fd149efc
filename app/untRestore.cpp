#include "untRestore.h"

#include "DateUtils.h"
#include "JclCompression.h"
#include "Registry.h"
#include "pPassword.h"
#include "untBackup.h"
#include "untFolder.h"
#include "untSettingTasks.h"
#include "untMyDialog.h"
#include "untSetting.h"

#include <memory>

TfrmRestore* frmRestore = nullptr;

namespace {

constexpr const char* PlacementKey = "frmRestore";
constexpr LongInt StatementTimeout = 600;
constexpr const char* ForbiddenNameChars = " .,}{][\\/-*=+?!&()^#@\"'";

// The busy pointer for the whole program while the restore works, and the default one afterwards,
// whichever way the restore ends.
class TBusyCursor {
public:
    TBusyCursor() { Screen->SetCursor(crHourGlass); }
    ~TBusyCursor() { Screen->SetCursor(crDefault); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// Archive objects are freed by whoever made them.
struct TArchiveFree {
    void operator()(TJclCompressionArchive* Archive) const { Archive->Free(); }
};

// Log lines are split at TAB and end at CR or LF: an error text keeps neither.
std::string LogField(std::string Text) {
    for (char& C : Text)
        if (C == '\t' || C == '\r' || C == '\n')
            C = ' ';
    return Text;
}

// A folder below Dir that does not exist yet.
std::string NewFolderBelow(const std::string& Dir) {
    for (int N = 1;; ++N) {
        std::string Folder = IncludeTrailingPathDelimiter(Dir) + "QuarnelRestore" + IntToStr(N) + "\\";
        if (!DirectoryExists(Folder) && !FileExists(ExcludeTrailingPathDelimiter(Folder)))
            return Folder;
    }
}

}  // namespace

bool IsValidDbName(const std::string& Name) { return Name.find_first_of(ForbiddenNameChars) == std::string::npos; }

std::string RestoreStatement(const std::string& Name, const std::string& Backup, const std::vector<TBackupFile>& Files,
                             const std::string& Target) {
    const std::string T = Trim(Target);
    std::string Moves;
    // Data files first, then log files, each kind in the order of the file list.
    for (const char* Type : {"D", "L"}) {
        const std::string First = T + (Type[0] == 'D' ? ".mdf" : ".ldf");
        int Count = 0;
        for (const TBackupFile& F : Files) {
            if (F.Type != Type)
                continue;
            ++Count;
            const std::string To =
                Count == 1 ? First : T + "_" + IntToStr(Count) + (Type[0] == 'D' ? ".ndf" : ".ldf");
            Moves += std::string(Moves.empty() ? " MOVE " : ", MOVE ") + "'" + QuoteSqlText(F.LogicalName) + "' TO '" +
                     QuoteSqlText(To) + "'";
        }
        // A backup without a file of this kind: the server refuses the empty name and says why.
        if (Count == 0)
            Moves += std::string(Moves.empty() ? " MOVE " : ", MOVE ") + "'' TO '" + QuoteSqlText(First) + "'";
    }
    return "RESTORE DATABASE [" + Name + "]" + " FROM DISK=" + "'" + QuoteSqlText(Backup) + "'" + " WITH " + Moves +
           ", replace";
}

void TfrmRestore::DefineClass(TClassBuilder<TfrmRestore>& B) {
    using T = TfrmRestore;
    B.Field("lblNewName", &T::lblNewName);
    B.Field("edNewName", &T::edNewName);
    B.Field("lblFolder", &T::lblFolder);
    B.Field("deFolderType", &T::deFolderType);
    B.Field("bbRestore", &T::bbRestore);
    B.Field("bbNone", &T::bbNone);
    B.Field("qryRestore", &T::qryRestore);
    B.Field("siLang1", &T::siLang1);
    B.Method<&T::FormCreate>("FormCreate");
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::FormClose>("FormClose");
    B.Method<&T::bbRestoreClick>("bbRestoreClick");
    B.Method<&T::bbNoneClick>("bbNoneClick");
    B.Method<&T::deFolderTypeButtonClick>("deFolderTypeButtonClick");
    B.Method<&T::siLang1ChangeLanguage>("siLang1ChangeLanguage");
}

void TfrmRestore::BeforeDestruction() {
    if (frmRestore == this)
        frmRestore = nullptr;
    TForm::BeforeDestruction();
}

void TfrmRestore::UpdateStrings() {
    struct TEntry {
        std::string TfrmRestore::*Variable;
        const char* Key;
    };
    static const TEntry Entries[] = {
        {&TfrmRestore::strrsW, "strrsW"},
        {&TfrmRestore::strrsLink, "strrsLink"},
        {&TfrmRestore::strrsP, "strrsP"},
        {&TfrmRestore::strrsMes, "strrsMes"},
        {&TfrmRestore::strrsNoFile, "strrsNoFile"},
        {&TfrmRestore::strrsNoSymb, "strrsNoSymb"},
        {&TfrmRestore::strrsDbExists, "strrsDbExists"},
        {&TfrmRestore::strrsDbRest, "strrsDbRest"},
        {&TfrmRestore::strnoFormatFile, "strnoFormatFile"},
        {&TfrmRestore::strnoWorkWithFormat, "strnoWorkWithFormat"},
        {&TfrmRestore::strnoFileForZip, "strnoFileForZip"},
        {&TfrmRestore::strnoUnPackFile, "strnoUnPackFile"},
    };
    for (const TEntry& E : Entries)
        this->*E.Variable = siLang1->GetTextOrDefault(E.Key);
}

void TfrmRestore::siLang1ChangeLanguage(TObject*) { UpdateStrings(); }

void TfrmRestore::FormCreate(TObject*) {
    qryRestore->SetConnection(frmSetting ? frmSetting->ADOConnection : nullptr);
    UpdateStrings();
}

int TfrmRestore::MessageDialog(const std::string& Msg, TMsgDlgType DlgType, const std::string& Caption,
                               TMsgDlgButtons Buttons) {
    return ::MessageDialog(Msg, DlgType, Caption, Buttons, frmSetting ? frmSetting->strsYes : std::string(),
                           frmSetting ? frmSetting->strsNo : std::string());
}

void TfrmRestore::FormShow(TObject*) {
    Application->BringToFront();
    LoadDialogPlacement(this, PlacementKey, false);
    TRegistry R;
    std::string Path;
    if (R.OpenKey(std::string(ProgramRegKey) + "\\" + PlacementKey, true)) {
        try {
            Path = R.ReadString("RestorePath");
        } catch (const Exception&) {
        }
    }
    deFolderType->SetText(Path.empty() ? DefaultRestorePath : Path);
}

void TfrmRestore::FormClose(TObject*, TCloseAction& Action) {
    SaveDialogPlacement(this, PlacementKey, false);
    TRegistry R;
    if (R.OpenKey(std::string(ProgramRegKey) + "\\" + PlacementKey, true))
        R.WriteString("RestorePath", deFolderType->Text());
    Action = caFree;
    if (frmRestore == this)
        frmRestore = nullptr;
}

void TfrmRestore::bbNoneClick(TObject*) { Close(); }

void TfrmRestore::RemoveUnpacked() {
    for (const std::string& File : FUnpacked)
        if (FileExists(File))
            DeleteFile(File);
    FUnpacked.clear();
    if (!FUnpackFolder.empty())
        RemoveDir(ExcludeTrailingPathDelimiter(FUnpackFolder));
    FUnpackFolder.clear();
}

bool TfrmRestore::DecompressFile(const std::string& BasePath, const std::string& TargetDir, std::string& OutFile,
                                 bool FromVolumes) {
    UpdateStrings();
    OutFile.clear();
    const std::string ArchiveName = BasePath + ".7z";
    WriteSevenZipLibrary();
    TJclCompressionArchiveClass Format = GetArchiveFormats()->FindDecompressFormat(ArchiveName);
    if (!Format) {
        ShowMyDialog(strnoFormatFile + " " + ArchiveName, strrsMes);
        return false;
    }
    // The first volume's name brings the others (the archive layer reads the numbered series).
    std::unique_ptr<TJclCompressionArchive, TArchiveFree> Archive(
        Format->CreateOnFile(FromVolumes ? ArchiveName + ".001" : ArchiveName, 0, false));
    auto* SevenZip = DynCast<TJclSevenzipDecompressArchive>(Archive.get());
    if (!SevenZip) {
        ShowMyDialog(strnoWorkWithFormat, strrsMes);
        return false;
    }
    auto EmptyPrompt = [] {
        if (!frmPassword)
            frmPassword = Create<TfrmPassword>(Application);
        frmPassword->edPassword->SetText("");
    };
    auto AskPassword = [&] {
        EmptyPrompt();
        frmPassword->ShowModal();
        SevenZip->Password = AnsiToWide(frmPassword->edPassword->Text());
    };
    bool Asked = false;
    try {
        SevenZip->ListFiles();
    } catch (const EJclCompressionPasswordError&) {
        // Encrypted names (an archive the backup did not write): nothing lists without the password.
        AskPassword();
        Asked = true;
        try {
            SevenZip->ListFiles();
        } catch (const EJclCompressionPasswordError&) {
            ShowMyDialog(strnoUnPackFile, strrsMes);
            return false;
        }
    }
    if (SevenZip->GetItemCount() == 0) {
        ShowMyDialog(strnoFileForZip, strrsMes);
        return false;
    }
    if (!Asked) {
        EmptyPrompt();
        if (SevenZip->GetItem(0)->GetEncrypted())
            AskPassword();
        else
            SevenZip->Password.clear();
    }

    // A file beside the archive with an entry's name (a .bak kept from the backup) would be
    // overwritten and then deleted with the unpacked copy: the archive goes into a folder of its own.
    std::string Dir = IncludeTrailingPathDelimiter(TargetDir);
    bool Taken = false;
    for (LongInt I = 0; I < SevenZip->GetItemCount(); ++I)
        if (const std::string Name = WideToAnsi(SevenZip->GetItem(I)->GetPackedName());
            !Name.empty() && (FileExists(Dir + Name) || DirectoryExists(Dir + Name)))
            Taken = true;
    if (Taken) {
        Dir = NewFolderBelow(Dir);
        FUnpackFolder = Dir;
    }
    try {
        SevenZip->ExtractAll(Dir, true);
        for (LongInt I = 0; I < SevenZip->GetItemCount(); ++I)
            if (std::string File = SevenZip->GetItem(I)->GetFileName(); !File.empty() && FileExists(File))
                FUnpacked.push_back(File);
        OutFile = SevenZip->GetItem(0)->GetFileName();
        return true;
    } catch (...) {
        ShowMyDialog(strnoUnPackFile, strrsMes);
        return false;
    }
}

void TfrmRestore::bbRestoreClick(TObject*) {
    const std::string F = Trim(deFolderType->Text());
    if (!FileExists(F)) {
        ShowMyDialog(strrsNoFile, strrsP);
        return;
    }
    if (!frmSetting->ADOConnection->Connected()) {
        if (MessageDialog(strrsLink, mtConfirmation, strrsW, mbOKCancel) != mrOk)
            return;
        frmSetting->btnOpenClick(this);
    }
    // Exactly ".7z", or the first of its numbered volumes: any other spelling goes to the server as
    // a backup file.
    const bool FirstVolume = F.size() > 7 && F.compare(F.size() - 7, 7, ".7z.001") == 0;
    const bool Archive = ExtractFileExt(F) == ".7z" || FirstVolume;
    TBusyCursor Busy;
    // Whatever was unpacked goes again whichever way the restore ends: a refused name must not leave
    // a copy of the backup behind.
    struct TUnpackedScope {
        TfrmRestore* Owner;
        ~TUnpackedScope() { Owner->RemoveUnpacked(); }
    } Unpacked{this};

    std::string B = F;
    if (Archive) {
        const std::string A = F.substr(0, F.size() - (FirstVolume ? 7 : 3));
        std::string Out;
        if (!DecompressFile(A, ExtractFilePath(A), Out, FirstVolume))
            return;
        B = Out;
    }
    const std::string N = Trim(edNewName->Text());
    if (!IsValidDbName(N)) {
        ShowMyDialog(strrsNoSymb, strrsP);
        return;
    }

    qryRestore->SetCommandTimeout(StatementTimeout);
    qryRestore->Close();
    qryRestore->SQL()->SetText("select count(name) as KOL from master..sysdatabases where name='" + QuoteSqlText(N) +
                               "'");
    qryRestore->Open();
    if (qryRestore->FieldByName("KOL")->AsInteger() >= 1) {
        ShowMyDialog(strrsDbExists, strrsP);
        return;
    }

    Application->ProcessMessages();
    qryRestore->Close();
    qryRestore->SQL()->SetText("select filename from dbo.sysfiles where fileid = 1");
    qryRestore->Open();
    std::string Folder = Trim(qryRestore->FieldByName("filename")->AsString());
    while (!Folder.empty() && Folder.back() != '\\')
        Folder.pop_back();
    if (Folder.empty())
        return;

    qryRestore->Close();
    qryRestore->SQL()->SetText("RESTORE FILELISTONLY FROM DISK='" + QuoteSqlText(B) + "'" + " WITH FILE = 1");
    qryRestore->Open();
    std::vector<TBackupFile> Files;
    for (qryRestore->First(); !qryRestore->Eof(); qryRestore->Next())
        Files.push_back({qryRestore->FieldByName("LogicalName")->AsString(), qryRestore->FieldByName("Type")->AsString()});
    qryRestore->Close();

    // Only the restore's own failure is shown and logged; the window closes after either outcome.
    std::string Result = ResultSucceeded;
    bool Restored = true;
    qryRestore->SQL()->SetText(RestoreStatement(N, B, Files, Folder + N));
    // A large database takes longer than any fixed limit to restore.
    qryRestore->SetCommandTimeout(0);
    try {
        qryRestore->ExecSQL();
    } catch (const Exception& E) {
        Result = E.Message();
        Restored = false;
    }
    qryRestore->SetCommandTimeout(StatementTimeout);
    if (!Restored)
        ShowMyDialog(Result, strrsP);
    AppendLogLine(DateTimeToStr(Now()) + "\t" + LogField(Result) + "\t" + frmSetting->cbServers->Text() + "\t" + N +
                  "\t" + "Restore database");
    if (Restored)
        ShowMyDialog(strrsDbRest, strrsMes);
    Close();
}

void TfrmRestore::deFolderTypeButtonClick(TObject*) { ShowFolderChooserForRestore(deFolderType); }
