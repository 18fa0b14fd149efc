// The files the program keeps, as they were stored by the other build of the program (32 or 64 bits):
// the task file, the log and a packed backup. Each is read as stored, and what this build writes is
// compared with it byte for byte where the format holds no time of writing.
#include "../components/MemoryDataTables.h"
#include "JclCompression.h"
#include "untBackup.h"
#include "untMyDialogTestSupport.h"
#include "untSettingTasks.h"

using namespace app_tests;
using memory_data_tests::AppendTask;
using memory_data_tests::Column;
using memory_data_tests::TaskTable;
using testing_support::MatchesStoredFixture;
using testing_support::ReadStoredFixture;
using testing_support::WriteFileText;

namespace {

const char* const TaskFields[] = {"DBName", "Hour", "Min", "DateLast", "Result", "Path", "Type", "EveryType1",
                                  "OnWeekDaysType1", "EveryType2", "DayType2", "OnceType3", "DateType3",
                                  "MonthType4", "EveryWeekType4", "DailyOnType1", "EveryHour", "Server",
                                  "StrConnect", "bitArch", "bitPwdArch", "strPwdArch"};

// Two tasks, the second with a Cyrillic database name ("Склад" in code page 1251).
TRxMemoryData* TwoTasks() {
    TRxMemoryData* T = TaskTable();
    T->Open();
    AppendTask(T, 0, "Sales");
    AppendTask(T, 1, "\xD1\xEA\xEB\xE0\xE4");
    return T;
}

// A backup's bytes: text pages with some noise, as a database file has.
std::string BackupBytes() {
    std::string B(20000, '\0');
    std::uint32_t X = 7;
    for (size_t I = 0; I < B.size(); ++I) {
        X = X * 1103515245u + 12345u;
        B[I] = I % 50 < 30 ? static_cast<char>('A' + I / 50 % 26) : static_cast<char>(X >> 24);
    }
    return B;
}

}  // namespace

TEST(StoredFiles, TaskFileIsReadAsStoredAndWrittenAlike) {
    TProgramFolder Folder;
    TOwned<TRxMemoryData> Tasks(TwoTasks());
    CloseCurrentFile(Tasks.get());
    EXPECT_TRUE(MatchesStoredFixture("Settings.ini", FileContents(Folder / "Settings.ini")));

    WriteFileText(Folder / "Settings.ini", ReadStoredFixture("Settings.ini"));
    TOwned<TRxMemoryData> Read(TaskTable());
    ReopenTable(Read.get());
    ASSERT_EQ(Read->RecordCount(), 2);
    for (const char* F : TaskFields)
        EXPECT_EQ(Column(Read.get(), F), Column(Tasks.get(), F)) << F;
}

TEST(StoredFiles, BackupArchiveOfTheOtherBuildUnpacks) {
    TProgramFolder Folder;
    const std::string Bak = Folder / "SRV_Sales_10.05.2024_10.30.00.bak";
    WriteFileText(Bak, BackupBytes());
    // Packed here as the backup packs; the archive holds times, so only its reading is compared.
    WriteSevenZipLibrary();
    std::string Error;
    ASSERT_TRUE(CompressBackup(Bak, "secret", &Error)) << Error;
    if (std::getenv("QUARNEL_WRITE_STORED")) {
        EXPECT_TRUE(MatchesStoredFixture("SRV_Sales.bak.7z", FileContents(Bak + ".7z")));
    }

    const std::string Stored = Folder / "stored.7z";
    WriteFileText(Stored, ReadStoredFixture("SRV_Sales.bak.7z"));
    TOwned<TJclCompressionArchive> Archive(
        GetArchiveFormats()->FindDecompressFormat(Stored)->CreateOnFile(Stored, 0, false));
    auto* SevenZip = DynCast<TJclSevenzipDecompressArchive>(Archive.get());
    ASSERT_NE(SevenZip, nullptr);
    SevenZip->ListFiles();
    ASSERT_EQ(SevenZip->GetItemCount(), 1);
    EXPECT_TRUE(SevenZip->GetItem(0)->GetEncrypted());
    SevenZip->Password = L"secret";
    SevenZip->ExtractAll(Folder / "out", true);
    EXPECT_EQ(FileContents(Folder / "out\\SRV_Sales_10.05.2024_10.30.00.bak"), BackupBytes());
}

namespace {
class StoredLog : public TDialogFixture {};
}  // namespace

TEST_F(StoredLog, LogIsReadAsStoredAndWrittenAlike) {
    const std::string When = DateTimeToStr(At(2024, 5, 10, 10, 30));
    AppendLogLine(When + "\tSuccesfull\tSRV_SQL1            \tSales\tD:\\Backup\\SRV_Sales.bak");
    AppendLogLine(When + "\t\xCE\xF8\xE8\xE1\xEA\xE0\tSRV\t\xD1\xEA\xEB\xE0\xE4\tRestore database");
    EXPECT_TRUE(MatchesStoredFixture("Backup.log", FileContents(Folder / "Backup.log")));

    WriteFileText(Folder / "Backup.log", ReadStoredFixture("Backup.log"));
    frmJOpen = Create<TfrmJOpen>(Application);
    frmJOpen->Show();
    TRxMemoryData* T = frmJOpen->rxMem;
    ASSERT_EQ(T->RecordCount(), 2);
    T->First();  // newest first
    EXPECT_EQ(T->FieldByName("memRes")->AsString(), "\xCE\xF8\xE8\xE1\xEA\xE0");  // "Ошибка"
    EXPECT_EQ(T->FieldByName("memDB")->AsString(), "\xD1\xEA\xEB\xE0\xE4");
    EXPECT_EQ(T->FieldByName("memDateTime")->AsString(), When);
    T->Next();
    EXPECT_EQ(T->FieldByName("memServer")->AsString(), "SRV_SQL1            ");
    EXPECT_EQ(T->FieldByName("memPathFile")->AsString(), "D:\\Backup\\SRV_Sales.bak");
}
