// The restore against the SQL Server stand-in: from a .bak file and from an archive of the backup
// engine (with the password prompt), the checks that refuse a file, a name or an existing database,
// the statement with its moved files, the log line, what is left on disk, and the window's placement.
#include "../framework/TdsStandIn.h"
#include "untMyDialogTestSupport.h"

#include "DateUtils.h"
#include "JclCompression.h"
#include "untBackup.h"
#include "untFolder.h"

#include <memory>

using namespace app_tests;
using testing_support::ReadFileBytes;
using testing_support::WriteFileText;

// The shell unit's header cannot share a file with the data units (both name a faLink).
void acShellCtrlsInitialization();

namespace {

std::string FileText(const std::string& Path) {
    std::vector<std::uint8_t> B = ReadFileBytes(Path);
    return std::string(B.begin(), B.end());
}

TEST(RestoreName, TheTwentyThreeCharactersAreRefused) {
    for (char C : std::string(" .,}{][\\/-*=+?!&()^#@\"'"))
        EXPECT_FALSE(IsValidDbName(std::string("a") + C + "b")) << C;
    for (const char* Name : {"my db", "a-b", "x.y"})
        EXPECT_FALSE(IsValidDbName(Name)) << Name;
    for (const char* Name : {"Sales_2", "", "db$1", "\xC1\xE0\xE7\xE0"})
        EXPECT_TRUE(IsValidDbName(Name)) << Name;
}

TEST(RestoreStatement, OneMovePerFileWithDistinctTargets) {
    struct Case {
        std::vector<TBackupFile> Files;
        std::string Moves;
    };
    const Case Cases[] = {
        {{{"Sales", "D"}, {"Sales_log", "L"}}, " MOVE 'Sales' TO 'C:\\Data\\New.mdf', MOVE 'Sales_log' TO 'C:\\Data\\New.ldf'"},
        {{{"Sales_log", "L"}, {"Sales", "D"}}, " MOVE 'Sales' TO 'C:\\Data\\New.mdf', MOVE 'Sales_log' TO 'C:\\Data\\New.ldf'"},
        {{{"A", "D"}, {"B", "D"}, {"L1", "L"}, {"L2", "L"}, {"ft", "F"}},
         " MOVE 'A' TO 'C:\\Data\\New.mdf', MOVE 'B' TO 'C:\\Data\\New_2.ndf', MOVE 'L1' TO 'C:\\Data\\New.ldf', MOVE 'L2' TO "
         "'C:\\Data\\New_2.ldf'"},
        {{{"it's", "D"}, {"log", "L"}}, " MOVE 'it''s' TO 'C:\\Data\\New.mdf', MOVE 'log' TO 'C:\\Data\\New.ldf'"},
        {{}, " MOVE '' TO 'C:\\Data\\New.mdf', MOVE '' TO 'C:\\Data\\New.ldf'"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(RestoreStatement("New", "D:\\b\\x.bak", C.Files, " C:\\Data\\New "),
                  "RESTORE DATABASE [New] FROM DISK='D:\\b\\x.bak' WITH " + C.Moves + ", replace");
    EXPECT_EQ(RestoreStatement("N", "D:\\o'k\\x.bak", {{"d", "D"}, {"l", "L"}}, "C:\\it's\\N"),
              "RESTORE DATABASE [N] FROM DISK='D:\\o''k\\x.bak' WITH  MOVE 'd' TO 'C:\\it''s\\N.mdf', MOVE 'l' TO "
              "'C:\\it''s\\N.ldf', replace");
}

// The stand-in as server DB1 with the database Sales and the login sa/secret; the main window
// connected to it; a backup of Sales in the folder "bak".
class Restore : public TDialogFixture {
protected:
    void SetUp() override {
        TDialogFixture::SetUp();
        CreateDirectoryA((Folder / "bak").c_str(), nullptr);
        Server = std::make_unique<TTdsStandIn>(
            Folder.Path(), std::vector<std::string>{"--login", "sa:secret", "--server", "DB1", "--database", "Sales",
                                                    "--backup-size", "20000", "--fail",
                                                    "DATABASE [Blocked] => 3101 16 Exclusive access could not be obtained"});
        Main->cbServers->SetText("127.0.0.1," + std::to_string(Server->Port));
        Main->rbnamePassword->SetChecked(true);
        Main->edSQLName->SetText("sa");
        Main->edSQLPassword->SetText("secret");
        Main->btnOpenClick(nullptr);
        ASSERT_TRUE(Main->ADOConnection->Connected());
        Main->ADOConnection->Execute("BACKUP DATABASE [Sales] TO DISK='" + Bak() + "'");
        ASSERT_TRUE(FileExists(Bak()));
        // The archives of these tests are packed before any restore wrote the library.
        WriteSevenZipLibrary();
    }
    void TearDown() override {
        Watcher.Action = nullptr;
        if (frmRestore)
            frmRestore->Free();
        if (Main->ADOConnection->Connected())
            Main->ADOConnection->Close();
        Server.reset();
        TDialogFixture::TearDown();
    }
    std::string Bak() const { return Folder / "bak\\DB1_Sales_1.bak"; }
    std::string DataDir() const { return Folder / "state\\Data\\"; }
    TfrmRestore* Open() {
        frmRestore = Create<TfrmRestore>(Application);
        frmRestore->Show();
        return frmRestore;
    }
    // Restores File as Name through the window's button.
    void RestoreAs(const std::string& File, const std::string& Name) {
        TfrmRestore* R = frmRestore ? frmRestore : Open();
        R->deFolderType->SetText(" " + File + " ");
        R->edNewName->SetText(Name);
        R->bbRestoreClick(nullptr);
    }
    int DatabaseCount(const std::string& Name) {
        TOwned<TADOQuery> Q(Create<TADOQuery>(nullptr));
        Q->SetConnection(Main->ADOConnection);
        Q->SQL()->SetText("select count(name) as KOL from master..sysdatabases where name='" + Name + "'");
        Q->Open();
        return Q->FieldByName("KOL")->AsInteger();
    }
    // Answers the password prompt with Password (Apply) or with Cancel.
    void AnswerPassword(const std::string& Password, bool Cancel = false) {
        Watcher.Action = [this, Password, Cancel](TCustomForm* F) {
            auto* P = DynCast<TfrmPassword>(F);
            if (!P)
                return false;
            ++PromptShown;
            EXPECT_EQ(P->edPassword->Text(), "") << "emptied before every use";
            P->edPassword->SetText(Password);
            if (Cancel)
                P->btnCloseClick(nullptr);
            else
                P->btnOkClick(nullptr);
            return true;
        };
    }
    std::string LogLine() { return FileExists(Folder / "Backup.log") ? FileText(Folder / "Backup.log") : ""; }
    // Packs the backup as another 7z writer may: with its names encrypted under Password, or in
    // volumes of VolumeSize bytes named Bak() + ".7z.001", ".002" ...
    void PackOtherwise(const std::wstring& Password, bool EncryptNames, Int64 VolumeSize = 0) {
        TOwned<TJcl7zCompressArchive> A(VolumeSize ? CreateArchiveOnFile<TJcl7zCompressArchive>(Bak() + ".7z.%.3d", VolumeSize, true)
                                                   : CreateArchiveOnFile<TJcl7zCompressArchive>(Bak() + ".7z"));
        A->SetEncryptHeader(EncryptNames);
        A->Password = Password;
        A->AddDirectory(L"DB1_Sales_1.bak", Bak(), false, false);
        A->Compress();
    }

    std::unique_ptr<TTdsStandIn> Server;
    int PromptShown = 0;
};

TEST_F(Restore, FromABackupFileLogsTheRestoreAndCloses) {
    const TDateTime Before = Now();
    RestoreAs(Bak(), "Sales_2");
    EXPECT_EQ(Texts(), (std::vector<std::string>{Ru(L"База успешно восстановлена.")}));
    EXPECT_EQ(Recorder.Shown[0].Caption, Ru(L"Сообщение"));
    EXPECT_EQ(frmRestore, nullptr) << "the window closed";
    EXPECT_EQ(DatabaseCount("Sales_2"), 1);
    EXPECT_TRUE(FileExists(DataDir() + "Sales_2.mdf"));
    EXPECT_TRUE(FileExists(DataDir() + "Sales_2.ldf"));
    EXPECT_TRUE(FileExists(Bak()));

    const std::string Line = LogLine();
    ASSERT_GE(Line.size(), 2u);
    EXPECT_EQ(Line.substr(Line.size() - 2), "\r\n");
    const std::string Tail =
        "\tSuccesfull\t" + Main->cbServers->Text() + "\tSales_2\tRestore database\r\n";
    ASSERT_GT(Line.size(), Tail.size());
    EXPECT_EQ(Line.substr(Line.size() - Tail.size()), Tail);
    TDateTime Logged = 0;
    ASSERT_TRUE(TryStrToDateTime(Line.substr(0, Line.find('\t')), Logged));
    EXPECT_GE(Logged, Before - 1.0 / 86400);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(Restore, AnArchiveIsUnpackedBesideItselfRestoredAndTheUnpackedFileRemoved) {
    ASSERT_TRUE(CompressBackup(Bak(), "pw-7"));
    DeleteFile(Bak());
    // Gone unless a test before this one loaded the library from here: the restore writes it again.
    DeleteFile(Folder / "7z.dll");
    AnswerPassword("pw-7");
    RestoreAs(Bak() + ".7z", "FromArchive");
    EXPECT_EQ(PromptShown, 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{Ru(L"База успешно восстановлена.")}));
    EXPECT_EQ(DatabaseCount("FromArchive"), 1);
    EXPECT_FALSE(FileExists(Bak())) << "the unpacked file is removed";
    EXPECT_TRUE(FileExists(Bak() + ".7z")) << "the archive stays";
    EXPECT_TRUE(FileExists(Folder / "7z.dll")) << "the library is written beside the program";
    ASSERT_NE(frmPassword, nullptr);
    EXPECT_FALSE(frmPassword->Visible()) << "the prompt is kept, hidden";
}

TEST_F(Restore, AFileBesideTheArchiveWithTheEntrysNameIsNeitherOverwrittenNorDeleted) {
    ASSERT_TRUE(CompressBackup(Bak(), ""));
    const std::vector<std::uint8_t> Kept = ReadFileBytes(Bak());
    RestoreAs(Bak() + ".7z", "Beside");
    EXPECT_EQ(PromptShown, 0) << "an archive without a password asks for none";
    EXPECT_EQ(Texts(), (std::vector<std::string>{Ru(L"База успешно восстановлена.")}));
    EXPECT_EQ(ReadFileBytes(Bak()), Kept);
    EXPECT_FALSE(DirectoryExists(Folder / "bak\\QuarnelRestore1")) << "the folder it was unpacked into is gone";
}

TEST_F(Restore, AWrongOrCancelledPasswordStopsWithTheUnpackMessage) {
    for (bool EncryptedNames : {false, true}) {
        if (EncryptedNames)
            PackOtherwise(L"pw-7", true);
        else
            ASSERT_TRUE(CompressBackup(Bak(), "pw-7"));
        ASSERT_TRUE(DeleteFile(Bak()));
        for (bool Cancel : {false, true}) {
            SCOPED_TRACE(std::string(Cancel ? "cancel" : "wrong") + (EncryptedNames ? ", encrypted names" : ""));
            Recorder.Shown.clear();
            PromptShown = 0;
            AnswerPassword("nope", Cancel);
            RestoreAs(Bak() + ".7z", "Never");
            EXPECT_EQ(PromptShown, 1);
            EXPECT_EQ(Texts(), (std::vector<std::string>{Ru(L"Не смог распаковать файл")}));
            EXPECT_EQ(Recorder.Shown[0].Caption, Ru(L"Сообщение"));
            EXPECT_NE(frmRestore, nullptr) << "the window stays open";
            EXPECT_FALSE(FileExists(Bak()));
            EXPECT_FALSE(DirectoryExists(Folder / "bak\\QuarnelRestore1"));
        }
        // The next archive is made from the backup again.
        Main->ADOConnection->Execute("BACKUP DATABASE [Sales] TO DISK='" + Bak() + "'");
        DeleteFile(Bak() + ".7z");
    }
    EXPECT_EQ(DatabaseCount("Never"), 0);
    EXPECT_EQ(LogLine(), "");
}

TEST_F(Restore, EncryptedNamesAreListedAfterThePasswordIsAskedOnce) {
    PackOtherwise(L"pw-27", true);
    ASSERT_TRUE(DeleteFile(Bak()));
    AnswerPassword("pw-27");
    RestoreAs(Bak() + ".7z", "FromHidden");
    EXPECT_EQ(PromptShown, 1) << "the password read the names and then the data";
    EXPECT_EQ(Texts(), (std::vector<std::string>{Ru(L"База успешно восстановлена.")}));
    EXPECT_EQ(DatabaseCount("FromHidden"), 1);
    EXPECT_FALSE(FileExists(Bak())) << "the unpacked file is removed";
}

TEST_F(Restore, AFirstVolumeBringsTheWholeSplitArchive) {
    // Packed once whole to learn its size, then in volumes of a third of it.
    PackOtherwise(L"", false);
    const Int64 Size = static_cast<Int64>(ReadFileBytes(Bak() + ".7z").size());
    ASSERT_TRUE(DeleteFile(Bak() + ".7z"));
    PackOtherwise(L"", false, Size / 3 + 1);
    std::vector<std::string> Volumes;
    for (int N = 1; FileExists(Bak() + Format(".7z.%.3d", {N})); ++N)
        Volumes.push_back(Bak() + Format(".7z.%.3d", {N}));
    ASSERT_EQ(Volumes.size(), 3u) << "archive of " << Size << " bytes";
    ASSERT_TRUE(DeleteFile(Bak()));
    RestoreAs(Bak() + ".7z.001", "FromVolumes");
    EXPECT_EQ(PromptShown, 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{Ru(L"База успешно восстановлена.")}));
    EXPECT_EQ(DatabaseCount("FromVolumes"), 1);
    EXPECT_FALSE(FileExists(Bak())) << "the unpacked file is removed";
    for (const std::string& V : Volumes)
        EXPECT_TRUE(FileExists(V)) << "the volumes stay";
}

TEST_F(Restore, OnlyALowerCaseSevenZipExtensionIsUnpacked) {
    ASSERT_TRUE(CompressBackup(Bak(), ""));
    ASSERT_TRUE(MoveFileA((Bak() + ".7z").c_str(), (Bak() + ".7Z").c_str()));
    // The server is given the archive itself, which it cannot read as a backup: the error reaches the
    // application's handler and the window stays.
    try {
        RestoreAs(Bak() + ".7Z", "Caps");
        ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("incorrectly formed"), std::string::npos) << E.Message();
    }
    EXPECT_NE(frmRestore, nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(LogLine(), "");
}

TEST_F(Restore, RefusalsComeBeforeAnyRestore) {
    struct Case {
        std::string File, Name;
        std::wstring Message, Caption;
    };
    const Case Cases[] = {
        {Folder / "bak\\missing.bak", "X", L"Файл не найден.", L"Предупреждение"},
        {Bak(), "my db", L"Имя базы содержит недопустимые символы.", L"Предупреждение"},
        {Bak(), "a-b", L"Имя базы содержит недопустимые символы.", L"Предупреждение"},
        {Bak(), "x.y", L"Имя базы содержит недопустимые символы.", L"Предупреждение"},
        {Bak(), "Sales", L"База данных с таким наименованием уже существует.", L"Предупреждение"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Recorder.Shown.clear();
        RestoreAs(C.File, C.Name);
        ASSERT_EQ(Texts(), (std::vector<std::string>{Ru(C.Message.c_str())}));
        EXPECT_EQ(Recorder.Shown[0].Caption, Ru(C.Caption.c_str()));
        EXPECT_NE(frmRestore, nullptr);
    }
    EXPECT_EQ(LogLine(), "") << "no RESTORE was sent";
}

TEST_F(Restore, ARefusedNameLeavesNoUnpackedCopy) {
    ASSERT_TRUE(CompressBackup(Bak(), ""));
    DeleteFile(Bak());
    RestoreAs(Bak() + ".7z", "bad name");
    EXPECT_EQ(Texts(), (std::vector<std::string>{Ru(L"Имя базы содержит недопустимые символы.")}));
    EXPECT_FALSE(FileExists(Bak()));
}

TEST_F(Restore, WithoutAConnectionItAsksFirst) {
    Main->btnOpenClick(nullptr);
    ASSERT_FALSE(Main->ADOConnection->Connected());
    Recorder.Answer = mrCancel;
    RestoreAs(Bak(), "Asked");
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_EQ(Recorder.Shown[0].Text, Ru(L"Установить связь с сервером?"));
    EXPECT_EQ(Recorder.Shown[0].Caption, Ru(L"Вопрос"));
    EXPECT_EQ(Recorder.Shown[0].Buttons, (std::vector<std::string>{Ru(L"Да"), Ru(L"Нет")}));
    EXPECT_FALSE(Main->ADOConnection->Connected());

    Recorder.Answer = mrOk;
    Recorder.Shown.clear();
    RestoreAs(Bak(), "Asked");
    EXPECT_TRUE(Main->ADOConnection->Connected()) << "OK connects through the main window";
    EXPECT_EQ(Texts(), (std::vector<std::string>{Ru(L"Установить связь с сервером?"), Ru(L"База успешно восстановлена.")}));
    EXPECT_EQ(DatabaseCount("Asked"), 1);
}

TEST_F(Restore, EveryFileOfTheBackupIsMovedAndTheServersErrorIsShownAndLogged) {
    // A backup with two data files and a log file, as the stand-in writes its backup sets.
    const std::string Multi = Folder / "bak\\multi.bak";
    WriteFileText(Multi, "SQLSTANDIN BACKUP SET 1\ndatabase\tBig\n"
                         "file\tD\t65536\tBig\tC:\\old\\Big.mdf\n"
                         "file\tD\t65536\tBig2\tC:\\old\\Big2.ndf\n"
                         "file\tL\t65536\tBig_log\tC:\\old\\Big_log.ldf\n"
                         "data\t0\nend\n");
    RestoreAs(Multi, "BigCopy");
    EXPECT_EQ(Texts(), (std::vector<std::string>{Ru(L"База успешно восстановлена.")}));
    for (const char* File : {"BigCopy.mdf", "BigCopy_2.ndf", "BigCopy.ldf"})
        EXPECT_TRUE(FileExists(DataDir() + File)) << File;

    // A file the server cannot restore: its error text goes to the window and into the log line.
    Recorder.Shown.clear();
    const std::string Broken = Folder / "bak\\broken.bak";
    WriteFileText(Broken, "SQLSTANDIN BACKUP SET 1\ndatabase\tOld\nfile\tD\t65536\tOld\tC:\\o\\Old.mdf\n"
                          "file\tL\t65536\tOld_log\tC:\\o\\Old_log.ldf\ndata\t0\nend\n");
    SwitchLanguage();
    RestoreAs(Broken, "Blocked");
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_NE(Recorder.Shown[0].Text.find("Exclusive access could not be obtained"), std::string::npos);
    EXPECT_EQ(Recorder.Shown[0].Caption, "Warning");
    EXPECT_EQ(frmRestore, nullptr) << "the window closes after the restore's own error too";
    const std::string Log = LogLine();
    const std::size_t Last = Log.rfind('\n', Log.size() - 2) + 1;
    const std::string Line = Log.substr(Last);
    EXPECT_EQ(Line.find('\r'), Line.size() - 2) << "one line";
    EXPECT_NE(Line.find("\tBlocked\tRestore database\r\n"), std::string::npos) << Line;
    EXPECT_NE(Line.find("\tExclusive access could not be obtained"), std::string::npos) << Line;
}

TEST_F(Restore, OpenedModallyItFreesItselfWhenCancelled) {
    int Seen = 0;
    Watcher.Action = [&](TCustomForm* F) {
        auto* R = DynCast<TfrmRestore>(F);
        if (!R)
            return false;
        ++Seen;
        R->bbNoneClick(nullptr);
        return true;
    };
    frmRestore = Create<TfrmRestore>(Application);
    frmRestore->ShowModal();
    EXPECT_EQ(Seen, 1);
    EXPECT_EQ(frmRestore, nullptr);
    Pump();
    EXPECT_EQ(Screen->FormCount(), 1) << "only the main window is left";
}

TEST_F(Restore, TheFileButtonPicksTheBackupInTheFolderChooser) {
    if (!GetClass("TsShellTreeView"))
        acShellCtrlsInitialization();
    TfrmRestore* R = Open();
    R->deFolderType->SetText(Bak());
    std::string Started;
    Watcher.Action = [&](TCustomForm* F) {
        auto* C = DynCast<TfrmOpenFolder>(F);
        if (!C)
            return false;
        Started = C->SelectedPath();
        R->deFolderType->SetText("changed meanwhile");
        C->bbOpenClick(nullptr);
        return true;
    };
    R->deFolderType->DoButtonClick(nullptr);
    EXPECT_EQ(Started, Bak()) << "the chooser starts on the file the edit names";
    EXPECT_EQ(R->deFolderType->Text(), Bak()) << "Open writes the chosen file back";
    Pump();
    EXPECT_EQ(frmOpenFolder, nullptr);
}

TEST_F(Restore, PlacementAndRestorePathAreKept) {
    TfrmRestore* R = Open();
    EXPECT_EQ(R->deFolderType->Text(), "C:\\");
    EXPECT_EQ(R->Caption(), Ru(L"Восстановление базы данных"));
    EXPECT_EQ(R->lblFolder->Caption(), Ru(L"Путь к файлу архива  Quarnel Backup"));
    R->deFolderType->SetText("D:\\b\\x.bak");
    R->SetBounds(44, 55, R->Width(), R->Height());
    R->bbNoneClick(nullptr);
    EXPECT_EQ(frmRestore, nullptr);
    EXPECT_EQ(ReadSetting("RestorePath", "frmRestore"), "D:\\b\\x.bak");
    EXPECT_EQ(ReadSetting("Left", "frmRestore"), "44");
    EXPECT_EQ(ReadSetting("Top", "frmRestore"), "55");
    Pump();

    SwitchLanguage();
    R = Open();
    EXPECT_EQ(R->deFolderType->Text(), "D:\\b\\x.bak");
    EXPECT_EQ(R->BoundsRect().TopLeft(), (TPoint{44, 55}));
    EXPECT_EQ(R->Caption(), "Database restore");
    EXPECT_EQ(R->strrsNoFile, "File not found.");
    EXPECT_EQ(R->strnoUnPackFile, "Could not decompress file");
    R->edNewName->SetText("x");
    R->deFolderType->SetText("Z:\\none.bak");
    R->bbRestoreClick(nullptr);
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_EQ(Recorder.Shown[0].Text, "File not found.");
    EXPECT_EQ(Recorder.Shown[0].Caption, "Warning");
}

}  // namespace
