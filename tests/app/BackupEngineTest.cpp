// The backup engine: its texts (result, stamp, file name, quoting), packing, and scheduler passes
// against the SQL Server stand-in with a fixed clock: statements, files, the log and the task file.
#include "../archive/ArchiveTestMain.h"
#include "../framework/TdsStandIn.h"
#include "AppTestSupport.h"
#include "JclCompression.h"
#include "untBackup.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace app_tests;
using testing_support::ReadFileBytes;
using testing_support::WriteFileText;

namespace {

::testing::Environment* const ArchiveUnits = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

std::vector<std::string> Split(const std::string& S, char By) {
    std::vector<std::string> Parts;
    std::size_t Start = 0;
    for (std::size_t P = S.find(By); P != std::string::npos; P = S.find(By, Start)) {
        Parts.push_back(S.substr(Start, P - Start));
        Start = P + 1;
    }
    Parts.push_back(S.substr(Start));
    return Parts;
}

std::vector<std::string> FileLines(const std::string& Path) {
    std::vector<std::uint8_t> B = ReadFileBytes(Path);
    std::string Text(B.begin(), B.end());
    std::vector<std::string> Lines = Split(Text, '\n');
    EXPECT_EQ(Lines.back(), "") << "every line ends with CR LF";
    Lines.pop_back();
    for (std::string& L : Lines) {
        EXPECT_FALSE(L.empty() || L.back() != '\r');
        L.pop_back();
    }
    return Lines;
}

// The clock stands still at Wednesday 17 April 2024, 10:30:15.
class TFixedClock {
public:
    TFixedClock() { SetClock([] { return Time(); }); }
    ~TFixedClock() { SetClock(nullptr); }
    static TDateTime Time() { return At(2024, 4, 17, 10, 30) + 15.0 / SecsPerDay; }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Texts

TEST(BackupTexts, ResultTextKeepsTheTaskLineAndTheLogWhole) {
    EXPECT_EQ(CleanResultText("Login failed for user 'sa'.\r\nMore;\tend"), "Login failed for user  sa .  More  end");
    EXPECT_EQ(CleanResultText("Succesfull"), "Succesfull");
}

TEST(BackupTexts, StampReplacesSeparatorsAndFileNameJoinsItsParts) {
    const TFormatSettings Saved = FormatSettings;
    struct Case {
        char DateSeparator;
        const char* ShortDate;
        const char* Stamp;
    };
    const Case Cases[] = {
        {'.', "dd.MM.yyyy", "17.04.2024_10.30.15"},
        {'/', "M/d/yyyy", "4_17_2024_10.30.15"},
        {'-', "yyyy-MM-dd", "2024_04_17_10.30.15"},
    };
    for (const Case& C : Cases) {
        DateSeparator = C.DateSeparator;
        ShortDateFormat = C.ShortDate;
        TimeSeparator = ':';
        LongTimeFormat = "hh:mm:ss";
        EXPECT_EQ(BackupStamp(TFixedClock::Time()), C.Stamp);
    }
    FormatSettings = Saved;
    const std::string SNAME = "PC1_SQL2005         ";
    EXPECT_EQ(BackupFileName("D:\\Bak", SNAME, "Sales", "S"), "D:\\Bak\\PC1_SQL2005         _Sales_S.bak");
    EXPECT_EQ(BackupFileName("D:\\Bak\\", SNAME, "Sales", "S"), "D:\\Bak\\PC1_SQL2005         _Sales_S.bak");
    EXPECT_EQ(BackupFileName("", "", "Sales", "S"), "_Sales_S.bak");
}

TEST(BackupTexts, NamesAndTextsAreQuotedForTheServer) {
    EXPECT_EQ(QuoteSqlName("Sales"), "Sales");
    EXPECT_EQ(QuoteSqlName("a]b]]"), "a]]b]]]]");
    EXPECT_EQ(QuoteSqlText("C:\\it's"), "C:\\it''s");
    EXPECT_EQ(QuoteSqlText("''"), "''''");
}

// ---------------------------------------------------------------------------------------------
// Packing

TEST(CompressBackup, PacksOneEntryWithThePasswordAndKeepsTheFile) {
    TProgramFolder Folder;
    const std::string Bak = Folder / "srv_db_1.bak";
    WriteFileText(Bak, std::string(100000, 'x'));
    // As a pass does before it packs: the library comes from the program's resource.
    WriteSevenZipLibrary();
    ASSERT_TRUE(CompressBackup(Bak, "pw-7"));
    EXPECT_TRUE(FileExists(Bak));
    TOwned<TJcl7zDecompressArchive> R(CreateArchiveOnFile<TJcl7zDecompressArchive>(Bak + ".7z"));
    R->ListFiles();
    ASSERT_EQ(R->GetItemCount(), 1);
    EXPECT_EQ(R->GetItem(0)->GetPackedName(), L"srv_db_1.bak");
    EXPECT_TRUE(R->GetItem(0)->GetEncrypted());
}

TEST(CompressBackup, UnreadableBackupOrUnwritableArchiveLeavesNoArchiveAndTellsWhy) {
    TProgramFolder Folder;
    const std::string Bak = Folder / "locked.bak";
    WriteFileText(Bak, std::string(1000, 'x'));
    WriteSevenZipLibrary();
    std::string Why;
    // Another program holds the backup open.
    HANDLE Held = CreateFileA(Bak.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(Held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CompressBackup(Bak, "", &Why));
    CloseHandle(Held);
    EXPECT_NE(Why.find("locked.bak"), std::string::npos) << Why;
    EXPECT_FALSE(FileExists(Bak + ".7z"));
    EXPECT_TRUE(FileExists(Bak));
    // The backup lies where only the server sees it.
    EXPECT_FALSE(CompressBackup(Folder / "missing\\x.bak", "", &Why));
    EXPECT_FALSE(FileExists(Folder / "missing\\x.bak.7z"));
    // A folder holds the archive's name.
    ASSERT_TRUE(CreateDirectoryA((Bak + ".7z").c_str(), nullptr));
    EXPECT_FALSE(CompressBackup(Bak, "", &Why));
    EXPECT_NE(Why.find("locked.bak.7z"), std::string::npos) << Why;
    EXPECT_TRUE(DirectoryExists(Bak + ".7z"));
    EXPECT_TRUE(FileExists(Bak));
}

// ---------------------------------------------------------------------------------------------
// Passes against the stand-in

namespace {

const char* const Stamp = "17.04.2024_10.30.15";
const char* const SNAME = "PC1_SQL2005         ";

// A program folder, the stand-in (server PC1\SQL2005, login sa/secret, four databases) and the clock.
// Runs under the Russian locale only: the stamp below is its date and time text.
class BackupPassTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA((Folder / "bak").c_str(), nullptr);
        CreateDirectoryA((Folder / "it's").c_str(), nullptr);
        Server = std::make_unique<TTdsStandIn>(
            Folder.Path(), std::vector<std::string>{"--login", "sa:secret", "--server", "PC1", "--instance", "SQL2005",
                                                    "--database", "Sales", "--database", "HR", "--database", "Ops",
                                                    "--database", "Fin", "--backup-size", "4096", "--transcript",
                                                    Folder / "transcript.txt"});
    }
    std::string Connection(const char* Password = "secret") const {
        return "Provider=SQLOLEDB.1|Password=" + std::string(Password) +
               "|Persist Security Info=False|User ID=sa|Initial Catalog=master|Data Source=127.0.0.1," +
               std::to_string(Server->Port);
    }
    // A task on the stand-in, run daily at 10:00 by default, last run yesterday.
    TLine Task(const char* DBName, const std::string& Path) const {
        return TLine()
            .Set(tfDBName, DBName)
            .Set(tfHour, "10")
            .Set(tfMin, "0")
            .SetDate(tfDateLast, At(2024, 4, 16, 10, 0))
            .Set(tfResult, "Succesfull")
            .Set(tfPath, Path)
            .Set(tfType, "Type1")
            .Set(tfEveryType1, "1")
            .Set(tfOnWeekDaysType1, "0")
            .Set(tfEveryType2, "0")
            .Set(tfOnceType3, "0")
            .Set(tfEveryWeekType4, "0")
            .Set(tfDailyOnType1, "-1")
            .Set(tfEveryHour, "0")
            .Set(tfServer, "127.0.0.1")
            .Set(tfStrConnect, Connection())
            .Set(tfBitArch, "0")
            .Set(tfBitPwdArch, "0");
    }
    std::string Bak(const std::string& Folder, const char* DBName) const {
        return Folder + SNAME + "_" + DBName + "_" + Stamp + ".bak";
    }
    std::string Transcript() const {
        std::vector<std::uint8_t> B = ReadFileBytes(Folder / "transcript.txt");
        return std::string(B.begin(), B.end());
    }

    TProgramFolder Folder;
    TFixedClock Clock;
    std::unique_ptr<TTdsStandIn> Server;
};

}  // namespace

TEST_F(BackupPassTest, OneDueTaskPerKindRunsOnceAndTheRestKeepTheirLines) {
    const std::string BakDir = Folder / "bak\\";
    const std::string QuotedDir = Folder / "it's\\";
    const std::vector<std::string> Lines = {
        Task("Sales", Folder / "bak").Set(tfResult, "insert_new_task"),
        Task("HR", QuotedDir).Set(tfType, "Type2").Set(tfDayType2, "3").Set(tfBitArch, "-1").Set(tfBitPwdArch, "-1")
            .Set(tfStrPwdArch, "pw-7"),
        Task("Ops", BakDir).Set(tfType, "type3 ").SetDate(tfDateType3, At(2025, 4, 17)).Set(tfOnceType3, "1")
            .Set(tfBitArch, "True"),
        Task("Fin", BakDir).Set(tfType, "Type4").Set(tfMonthType4, "4").Set(tfEveryWeekType4, "17")
            .Set(tfBitArch, "1"),
        Task("Sales", BakDir).Set(tfType, "Type2").Set(tfDayType2, "1"),
        Task("Sales", BakDir).Set(tfStrConnect, Connection("wrong")),
        "broken;line;",
    };
    WriteTaskLines(Folder / "Settings.ini", Lines);
    // The Fin task's archive cannot be created: a folder holds its name.
    ASSERT_TRUE(CreateDirectoryA((Bak(BakDir, "Fin") + ".7z").c_str(), nullptr));

    EXPECT_THROW(RunDueTasks(), EListError);  // the broken line, once every other line was handled

    // The statements, in order for each due task.
    const std::string T = Transcript();
    std::size_t Pos = 0;
    for (const char* Name : {"Sales", "HR", "Ops", "Fin"}) {
        const std::string DB = Name;
        const std::string Dir = DB == "HR" ? "it''s\\" : "bak\\";
        const std::string Expected[] = {
            "batch DBCC SHRINKDATABASE ([" + DB + "],10)",
            "batch SELECT REPLACE(CONVERT(char(20), SERVERPROPERTY('servername')),'\\','_') as SNAME",
            "batch BACKUP DATABASE [" + DB + "] TO DISK='" + QuoteSqlText(Folder.Path()) + Dir + SNAME + "_" + DB +
                "_" + Stamp + ".bak'",
        };
        for (const std::string& Statement : Expected) {
            const std::size_t Found = T.find(Statement, Pos);
            ASSERT_NE(Found, std::string::npos) << Statement;
            Pos = Found + Statement.size();
        }
    }
    EXPECT_EQ(T.find("BACKUP DATABASE", Pos), std::string::npos);
    EXPECT_NE(T.find("login failed user=sa"), std::string::npos);

    // The files.
    EXPECT_TRUE(FileExists(Bak(BakDir, "Sales")));
    EXPECT_FALSE(FileExists(Bak(QuotedDir, "HR")));
    EXPECT_TRUE(FileExists(Bak(QuotedDir, "HR") + ".7z"));
    EXPECT_FALSE(FileExists(Bak(BakDir, "Ops")));
    EXPECT_TRUE(FileExists(Bak(BakDir, "Ops") + ".7z"));
    EXPECT_TRUE(FileExists(Bak(BakDir, "Fin")));
    EXPECT_TRUE(DirectoryExists(Bak(BakDir, "Fin") + ".7z"));
    EXPECT_TRUE(ReadFileBytes(Folder / "7z.dll") == ReadFileBytes(testing_support::SevenZipDllPath()));

    // The password protects the data, not the names.
    TOwned<TJcl7zDecompressArchive> R(CreateArchiveOnFile<TJcl7zDecompressArchive>(Bak(QuotedDir, "HR") + ".7z"));
    R->ListFiles();
    ASSERT_EQ(R->GetItemCount(), 1);
    EXPECT_EQ(R->GetItem(0)->GetPackedName(), AnsiToWide(ExtractFileName(Bak(QuotedDir, "HR"))));
    EXPECT_THROW(R->ExtractAll(Folder / "out", true), EJclCompressionError);
    R->Password = L"pw-7";
    R->ExtractAll(Folder / "out", true);
    const std::vector<std::uint8_t> Restored = ReadFileBytes(Folder / ("out\\" + ExtractFileName(Bak(QuotedDir, "HR"))));
    EXPECT_EQ(std::string(Restored.begin(), Restored.begin() + 21), "SQLSTANDIN BACKUP SET");

    // The log: one line per run, five fields.
    const std::string Now = DateTimeToStr(TFixedClock::Time());
    const std::vector<std::string> Log = FileLines(Folder / "Backup.log");
    ASSERT_EQ(Log.size(), 5u);
    const std::vector<std::vector<std::string>> Runs = {
        {Now, "Succesfull", SNAME, "Sales", Bak(BakDir, "Sales")},
        {Now, "Succesfull", SNAME, "HR", Bak(QuotedDir, "HR")},
        {Now, "Succesfull", SNAME, "Ops", Bak(BakDir, "Ops")},
    };
    for (std::size_t I = 0; I < Runs.size(); ++I)
        EXPECT_EQ(Split(Log[I], '\t'), Runs[I]);
    const std::vector<std::string> Packing = Split(Log[3], '\t');
    ASSERT_EQ(Packing.size(), 5u);
    EXPECT_NE(Packing[1], "Succesfull");
    EXPECT_EQ(Packing[4], Bak(BakDir, "Fin"));
    const std::vector<std::string> Refused = Split(Log[4], '\t');
    EXPECT_EQ(Refused, (std::vector<std::string>{Now, "Login failed for user  sa .", "127.0.0.1", "Sales", ""}));

    // The task file: time and result of each run, the once flag cleared, the rest unchanged.
    const std::vector<std::string> After = ReadTaskLines(Folder / "Settings.ini");
    ASSERT_EQ(After.size(), Lines.size());
    for (int I : {0, 1, 2, 3}) {
        const std::vector<std::string> F = SplitTaskLine(After[static_cast<std::size_t>(I)]);
        ASSERT_EQ(F.size(), 22u);
        EXPECT_EQ(F[tfResult], "Succesfull") << I;
        EXPECT_EQ(F[tfDateLast], Now) << I;
        EXPECT_EQ(F[tfOnceType3], "0") << I;
        EXPECT_EQ(F[tfPath].back(), '\\') << I;
    }
    EXPECT_EQ(After[4], Lines[4]);
    const std::vector<std::string> Failed = SplitTaskLine(After[5]);
    EXPECT_EQ(Failed[tfResult], "Login failed for user  sa .");
    EXPECT_EQ(Failed[tfDateLast], SplitTaskLine(Lines[5])[tfDateLast]);
    EXPECT_EQ(After[6], Lines[6]);

    // A second pass a minute later: the finished tasks are not due again; the refused one is retried.
    SetClock([] { return TFixedClock::Time() + 1.0 / MinsPerDay; });
    EXPECT_THROW(RunDueTasks(), EListError);
    EXPECT_EQ(Transcript().find("BACKUP DATABASE", Pos), std::string::npos);
    EXPECT_EQ(FileLines(Folder / "Backup.log").size(), 6u);
}

TEST_F(BackupPassTest, NeverRunTaskThatCannotConnectKeepsItsNewTaskMark) {
    const std::string Line = Task("Sales", Folder / "bak").Set(tfResult, "insert_new_task").Set(tfStrConnect,
                                                                                                 Connection("wrong"));
    WriteTaskLines(Folder / "Settings.ini", {Line});
    RunDueTasks();
    EXPECT_EQ(ReadTaskLines(Folder / "Settings.ini"), std::vector<std::string>{Line});
    EXPECT_EQ(FileLines(Folder / "Backup.log").size(), 1u);
}

TEST_F(BackupPassTest, NamesWithBracketsAreQuotedAndAServerErrorBecomesTheResult) {
    WriteTaskLines(Folder / "Settings.ini", {Task("No]Such'Db", Folder / "bak")});
    RunDueTasks();
    const std::string T = Transcript();
    EXPECT_NE(T.find("batch DBCC SHRINKDATABASE ([No]]Such'Db],10)"), std::string::npos);
    EXPECT_NE(T.find("batch BACKUP DATABASE [No]]Such'Db] TO DISK='"), std::string::npos);
    EXPECT_NE(T.find("_No]Such''Db_"), std::string::npos);
    const std::string Result = SplitTaskLine(ReadTaskLines(Folder / "Settings.ini").at(0))[tfResult];
    EXPECT_NE(Result, "Succesfull");
    EXPECT_EQ(Result.find_first_of("';\t\r\n"), std::string::npos);
    EXPECT_EQ(Split(FileLines(Folder / "Backup.log").at(0), '\t').at(1), Result);
    EXPECT_FALSE(FileExists(Folder / "7z.dll"));  // written only for a task that packs
}

TEST_F(BackupPassTest, UnwritableLogOrLibraryDoesNotLoseThePass) {
    WriteTaskLines(Folder / "Settings.ini", {Task("Sales", Folder / "bak").Set(tfBitArch, "-1")});
    // Folders hold the names of the log and of the library.
    ASSERT_TRUE(CreateDirectoryA((Folder / "Backup.log").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((Folder / "7z.dll").c_str(), nullptr));
    EXPECT_THROW(RunDueTasks(), EFileStreamError);
    const std::vector<std::string> F = SplitTaskLine(ReadTaskLines(Folder / "Settings.ini").at(0));
    EXPECT_EQ(F[tfResult], "Succesfull");
    EXPECT_EQ(F[tfDateLast], DateTimeToStr(TFixedClock::Time()));
    // Not due again: the next pass runs nothing.
    const std::size_t Backups = Transcript().find("BACKUP DATABASE");
    EXPECT_NO_THROW(RunDueTasks());
    EXPECT_EQ(Transcript().find("BACKUP DATABASE", Backups + 1), std::string::npos);
}

TEST_F(BackupPassTest, ResultOfAPassSurvivesAReaderHoldingTheTaskFileAsItIsWritten) {
    WriteTaskLines(Folder / "Settings.ini", {Task("Sales", Folder / "bak").Set(tfResult, "insert_new_task")});
    // Another program (a watcher of the results) has the file open when the pass writes it back.
    auto Reader = std::make_unique<TFileStream>(Folder / "Settings.ini", fmOpenRead | fmShareDenyWrite);
    int Waits = 0;
    SetFileInUseWait([&](int) {
        ++Waits;
        Reader.reset();
    });
    RunDueTasks();
    SetFileInUseWait(nullptr);
    EXPECT_EQ(Waits, 1);
    const std::vector<std::string> F = SplitTaskLine(ReadTaskLines(Folder / "Settings.ini").at(0));
    EXPECT_EQ(F[tfResult], "Succesfull");
    EXPECT_EQ(F[tfDateLast], DateTimeToStr(TFixedClock::Time()));
}

TEST(BackupPass, WithoutTaskFileNothingIsCreated) {
    TProgramFolder Folder;
    RunDueTasks();
    WIN32_FIND_DATAA D;
    HANDLE Find = FindFirstFileA((Folder / "*").c_str(), &D);
    int Entries = 0;
    if (Find != INVALID_HANDLE_VALUE) {
        do
            Entries += std::string(D.cFileName) != "." && std::string(D.cFileName) != "..";
        while (FindNextFileA(Find, &D));
        FindClose(Find);
    }
    EXPECT_EQ(Entries, 0);
}
