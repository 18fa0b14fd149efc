// The task store: the cipher against its worked rules, the enciphered file as raw bytes, the task
// table written to "Settings.ini" and read back in the user's date formats, and the store's edge cases.
#include "../components/MemoryDataTables.h"
#include "AppTestSupport.h"
#include "uEncrypt.h"
#include "untSettingTasks.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

using namespace app_tests;
using memory_data_tests::AppendTask;
using memory_data_tests::TaskTable;
using testing_support::ReadFileBytes;
using testing_support::WriteFileText;

namespace {

std::string FileBytes(const std::string& Path) {
    std::vector<std::uint8_t> B = ReadFileBytes(Path);
    return std::string(B.begin(), B.end());
}

// The table the main window holds, over a program folder of its own.
class TaskStoreTest : public ::testing::Test {
protected:
    void SetUp() override { T->Open(); }
    TField* F(const char* Name) { return T->FieldByName(Name); }
    void Reload() {
        T->Close();
        ReopenTable(T.get());
        T->First();
    }

    TProgramFolder Folder;
    TOwned<TRxMemoryData> T{TaskTable()};
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// The cipher

TEST(Cipher, PositionIUsesKeyDigitIModTenPlusOne) {
    // Zero bytes take on the key bytes themselves: the first the second digit, the ninth the tenth,
    // the tenth the first, the eleventh the second again.
    EXPECT_EQ(Crypt(std::string(12, '\0')), "305127469830");
    // Sums wrap modulo 256: 0xFF + '3' (0x33) = 0x32.
    EXPECT_EQ(Crypt("\xFF"), "\x32");
    EXPECT_EQ(EnCrypt("\x32"), "\xFF");
    EXPECT_EQ(Crypt("A"), "t");  // 'A' + '3'
}

TEST(Cipher, EveryByteRoundTripsAndAnEmptyKeyChangesNothing) {
    std::string All;
    for (int I = 0; I < 256 * 3; ++I)
        All += static_cast<char>(I % 256);
    EXPECT_EQ(EnCrypt(Crypt(All)), All);
    EXPECT_NE(Crypt(All), All);
    std::string Text = "unchanged";
    CryptText(Text, "", false);
    EXPECT_EQ(Text, "unchanged");
}

// ---------------------------------------------------------------------------------------------
// The file as bytes

TEST(TaskFile, BytesThatEncipherToNulCrOrLfReadBackIntact) {
    TProgramFolder Folder;
    // Every byte from 0xC7 to 0xDD meets every key digit at some position, so the enciphered text
    // holds NUL, LF and CR.
    std::string Field;
    for (int Round = 0; Round < 10; ++Round)
        for (int C = 0xC7; C <= 0xDD; ++C)
            Field += static_cast<char>(C);
    const std::vector<std::string> Lines = {TLine().Set(tfDBName, Field).Text(), TLine().Set(tfPath, Field).Text()};
    WriteTaskLines(Folder / "Settings.ini", Lines);
    const std::string Bytes = FileBytes(Folder / "Settings.ini");
    EXPECT_NE(Bytes.find('\0'), std::string::npos);
    EXPECT_NE(Bytes.substr(0, Bytes.size() - 2).find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(Bytes.substr(Bytes.size() - 2), "\r\n");
    EXPECT_EQ(ReadTaskLines(Folder / "Settings.ini"), Lines);
}

TEST(TaskFile, WholeTextIsTrimmedEncipheredAndEndsWithCrLf) {
    TProgramFolder Folder;
    WriteTaskLines(Folder / "Settings.ini", {" a;", "b; "});
    EXPECT_EQ(FileBytes(Folder / "Settings.ini"), Crypt("a;\r\nb;") + "\r\n");
    // A file written by hand with lone CR and LF line ends reads as three lines.
    WriteFileText(Folder / "Settings.ini", Crypt("x;\ry;\nz;") + "\r\n");
    EXPECT_EQ(ReadTaskLines(Folder / "Settings.ini"), (std::vector<std::string>{"x;", "y;", "z;"}));
}

TEST(TaskFile, LinesSplitIntoFieldsAtEverySemicolon) {
    EXPECT_EQ(SplitTaskLine("a;b;;c;"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitTaskLine("a;b"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitTaskLine(";"), (std::vector<std::string>{""}));
    EXPECT_TRUE(SplitTaskLine("").empty());
    EXPECT_EQ(JoinTaskLine({"a", "", "c"}), "a;;c;");
}

TEST(TaskFile, AFailedReplaceLeavesTheOldFileWhole) {
    TProgramFolder Folder;
    const std::string Name = Folder / "Settings.ini";
    WriteTaskLines(Name, {"old;"});
    const std::string Before = FileBytes(Name);
    // Another program holds the file open without letting it be replaced.
    HANDLE Held = CreateFileA(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(Held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(WriteTaskLines(Name, {"new;"}), EFCreateError);
    CloseHandle(Held);
    EXPECT_EQ(FileBytes(Name), Before);
    EXPECT_FALSE(FileExists(Name + ".new"));
}

// ---------------------------------------------------------------------------------------------
// Table to file to table

// Runs under the Russian and the English locale: the date-times go through each one's formats.
TEST_F(TaskStoreTest, LocaleRoundTripGivesBackEveryField) {
    for (int I = 0; I < 4; ++I)
        AppendTask(T.get(), I, "db" + std::to_string(I));
    T->Last();
    T->Edit();
    F("DateLast")->SetAsDateTime(At(2024, 12, 31, 23, 59) + 59.0 / SecsPerDay);
    F("DateType3")->SetAsDateTime(At(2025, 1, 2, 6, 5));
    F("Path")->SetAsString("  C:\\Backups  ");
    T->Post();
    CloseCurrentFile(T.get());

    TOwned<TRxMemoryData> Back(TaskTable());
    ReopenTable(Back.get());
    ASSERT_EQ(Back->RecordCount(), 4);
    T->First();
    Back->First();
    for (int I = 0; I < 4; ++I, T->Next(), Back->Next()) {
        EXPECT_EQ(Back->FieldByName("ID")->AsInteger(), I);
        for (const char* Name : TaskFieldNames) {
            std::string Want = F(Name)->AsString();
            if (std::string(Name) == "Path")
                Want = Trim(Want);
            EXPECT_EQ(Back->FieldByName(Name)->AsString(), Want) << Name << " of task " << I;
        }
    }
    T->Last();
    Back->Last();
    EXPECT_NEAR(Back->FieldByName("DateLast")->AsDateTime(), F("DateLast")->AsDateTime(), 0.5 / MSecsPerDay);
    EXPECT_NEAR(Back->FieldByName("DateType3")->AsDateTime(), F("DateType3")->AsDateTime(), 0.5 / MSecsPerDay);
}

TEST_F(TaskStoreTest, EmptyTableWritesAnEmptyFileThatLoadsEmpty) {
    CloseCurrentFile(T.get());
    EXPECT_TRUE(FileBytes(Folder / "Settings.ini").empty());
    Reload();
    EXPECT_TRUE(T->Active());
    EXPECT_EQ(T->RecordCount(), 0);
}

TEST_F(TaskStoreTest, MissingFileLoadsEmptyAndClosedTableWritesNothing) {
    Reload();
    EXPECT_EQ(T->RecordCount(), 0);
    T->Close();
    CloseCurrentFile(T.get());
    EXPECT_FALSE(FileExists(Folder / "Settings.ini"));
}

TEST_F(TaskStoreTest, EmptyFolderIsStoredAsMinusOneAndEmptyDateLastToo) {
    T->Append();
    F("DBName")->SetAsString("Sales");
    F("Path")->SetAsString("   ");
    T->Post();
    CloseCurrentFile(T.get());
    const std::vector<std::string> Fields = SplitTaskLine(ReadTaskLines(Folder / "Settings.ini").at(0));
    ASSERT_EQ(Fields.size(), 22u);
    EXPECT_EQ(Fields[tfPath], "-1");
    EXPECT_EQ(Fields[tfDateLast], "-1");
    EXPECT_EQ(Fields[tfDateType3], "");
    EXPECT_EQ(Fields[tfHour], "0");
    EXPECT_EQ(Fields[tfBitArch], "0");
    Reload();
    EXPECT_EQ(F("Path")->AsString(), "");
}

TEST_F(TaskStoreTest, FieldTextsLoadWithTheirFallBacks) {
    struct Case {
        const char* Text;
        bool Bool;
        LongInt Int;
    };
    const Case Cases[] = {
        {"-1", true, -1}, {"1", true, 1}, {"True", true, 0}, {"0", false, 0}, {"False", false, 0}, {"", false, 0},
        {"abc", false, 0},
    };
    std::vector<std::string> Lines;
    for (const Case& C : Cases)
        Lines.push_back(TLine().Set(tfBitArch, C.Text).Set(tfHour, C.Text).Text());
    for (const char* Date : {"-1", "abc", "31.31.2024"})
        Lines.push_back(TLine().Set(tfDateLast, Date).Text());
    WriteTaskLines(Folder / "Settings.ini", Lines);
    Reload();
    for (const Case& C : Cases) {
        EXPECT_EQ(F("bitArch")->AsBoolean(), C.Bool) << C.Text;
        EXPECT_EQ(F("Hour")->AsInteger(), C.Int) << C.Text;
        T->Next();
    }
    for (; !T->Eof(); T->Next()) {
        EXPECT_FALSE(F("DateLast")->IsNull());
        EXPECT_EQ(F("DateLast")->AsDateTime(), 0.0);
    }
}

TEST_F(TaskStoreTest, ShortLineSetsTheFieldsItHasAndLongerOnesAreCut) {
    WriteTaskLines(Folder / "Settings.ini",
                   {"Sales;7;", TLine().Set(tfDBName, "HR").Set(23, "extra").Set(tfStrPwdArch, "pw").Text()});
    Reload();
    ASSERT_EQ(T->RecordCount(), 2);
    EXPECT_EQ(F("DBName")->AsString(), "Sales");
    EXPECT_EQ(F("Hour")->AsInteger(), 7);
    EXPECT_TRUE(F("Min")->IsNull());
    EXPECT_TRUE(F("Result")->IsNull());
    EXPECT_TRUE(F("bitArch")->IsNull());
    T->Next();
    EXPECT_EQ(F("ID")->AsInteger(), 1);
    EXPECT_EQ(F("strPwdArch")->AsString(), "pw");
}

TEST_F(TaskStoreTest, LoadingTwiceWithoutClosingAppendsTheTasksAgain) {
    WriteTaskLines(Folder / "Settings.ini", {TLine().Set(tfDBName, "a"), TLine().Set(tfDBName, "b")});
    ReopenTable(T.get());
    ReopenTable(T.get());
    EXPECT_EQ(memory_data_tests::Column(T.get(), "ID"), (std::vector<std::string>{"0", "1", "0", "1"}));
}

TEST_F(TaskStoreTest, FieldThatALineCannotHoldIsRefusedBeforeTheFileChanges) {
    WriteTaskLines(Folder / "Settings.ini", {"kept;"});
    const std::string Before = FileBytes(Folder / "Settings.ini");
    for (const char* Bad : {"a;b", "a\rb", "a\nb"}) {
        T->Close();
        T->Open();
        AppendTask(T.get(), 0, "db");
        T->Edit();
        F("strPwdArch")->SetAsString(Bad);
        T->Post();
        EXPECT_THROW(CloseCurrentFile(T.get()), EConvertError);
        EXPECT_EQ(FileBytes(Folder / "Settings.ini"), Before);
    }
}

TEST_F(TaskStoreTest, ResultRefreshCopiesRunFieldsAndKeepsTheCurrentRow) {
    for (int I = 0; I < 3; ++I)
        AppendTask(T.get(), I, "db" + std::to_string(I));
    CloseCurrentFile(T.get());
    std::vector<std::string> Lines = ReadTaskLines(Folder / "Settings.ini");
    // What the engine writes after running task 1.
    std::vector<std::string> Fields = SplitTaskLine(Lines[1]);
    Fields[tfDateLast] = DateTimeToStr(At(2025, 3, 4, 5, 6));
    Fields[tfResult] = "Succesfull";
    Fields[tfOnceType3] = "0";
    Fields[tfDBName] = "not copied";
    Lines[1] = JoinTaskLine(Fields);
    WriteTaskLines(Folder / "Settings.ini", Lines);

    T->Locate("ID", 2, {});
    T->Edit();
    F("OnceType3")->SetAsInteger(1);
    T->Post();
    T->Locate("ID", 1, {});
    ASSERT_EQ(F("OnceType3")->AsInteger(), 1);
    ReopenResultat(T.get());
    EXPECT_EQ(F("ID")->AsInteger(), 1);
    EXPECT_NEAR(F("DateLast")->AsDateTime(), At(2025, 3, 4, 5, 6), 0.5 / MSecsPerDay);
    EXPECT_EQ(F("Result")->AsString(), "Succesfull");
    EXPECT_EQ(F("OnceType3")->AsInteger(), 0);
    EXPECT_EQ(F("DBName")->AsString(), "db1");
    T->Last();
    EXPECT_EQ(F("OnceType3")->AsInteger(), 0);  // the file's value wins over the table's
}

TEST_F(TaskStoreTest, ANeverRunTaskKeepsItsDateLastThroughEveryWrite) {
    // What a never-run task holds in the file; the table read back (whole, or its run fields
    // refreshed over an older table) and written again.
    for (const char* Stored : {"-1", ""}) {
        SCOPED_TRACE(std::string("DateLast \"") + Stored + "\"");
        const std::string Ran = DateTimeToStr(At(2025, 3, 4, 5, 6));
        WriteTaskLines(Folder / "Settings.ini", {TLine().Set(tfDBName, "new").Set(tfDateLast, Stored).Set(tfResult, "insert_new_task"),
                                                 TLine().Set(tfDBName, "old").Set(tfDateLast, Ran).Set(tfResult, "Succesfull")});
        Reload();
        CloseCurrentFile(T.get());
        std::vector<std::string> Lines = ReadTaskLines(Folder / "Settings.ini");
        ASSERT_EQ(Lines.size(), 2u);
        EXPECT_EQ(SplitTaskLine(Lines[0])[tfDateLast], "-1");
        EXPECT_EQ(SplitTaskLine(Lines[1])[tfDateLast], Ran);

        std::vector<std::string> Fields = SplitTaskLine(Lines[0]);
        Fields[tfDateLast] = Stored;
        Lines[0] = JoinTaskLine(Fields);
        WriteTaskLines(Folder / "Settings.ini", Lines);
        ReopenResultat(T.get());
        CloseCurrentFile(T.get());
        Lines = ReadTaskLines(Folder / "Settings.ini");
        EXPECT_EQ(SplitTaskLine(Lines[0])[tfDateLast], "-1");
        EXPECT_EQ(SplitTaskLine(Lines[1])[tfDateLast], Ran);
    }
}

TEST_F(TaskStoreTest, ResultRefreshRaisesForAMissingFileOrAShortLine) {
    AppendTask(T.get(), 0, "db");
    EXPECT_THROW(ReopenResultat(T.get()), EFOpenError);
    WriteTaskLines(Folder / "Settings.ini", {"a;b;c;d;"});
    EXPECT_THROW(ReopenResultat(T.get()), EListError);
}

TEST_F(TaskStoreTest, WriterWaitsForAReaderAndGivesUpOnOneThatNeverLetsGoWithTheOldFileWhole) {
    const std::string Name = Folder / "Settings.ini";
    WriteTaskLines(Name, {"old;"});
    // Another program reading the file, the way a reader of the task file opens it.
    auto Reader = std::make_unique<TFileStream>(Name, fmOpenRead | fmShareDenyWrite);
    struct Case {
        int LetGoAt;  // the wait at which the reader closes; -1 never
        bool Written;
    };
    for (const Case& C : {Case{0, true}, Case{3, true}, Case{-1, false}}) {
        SCOPED_TRACE(C.LetGoAt);
        if (!Reader)
            Reader = std::make_unique<TFileStream>(Name, fmOpenRead | fmShareDenyWrite);
        int Waits = 0;
        SetFileInUseWait([&](int Attempt) {
            EXPECT_EQ(Attempt, Waits);
            ++Waits;
            if (Attempt == C.LetGoAt)
                Reader.reset();
        });
        if (C.Written) {
            WriteTaskLines(Name, {"new;"});
            EXPECT_EQ(Waits, C.LetGoAt + 1);
            EXPECT_EQ(ReadTaskLines(Name), std::vector<std::string>{"new;"});
            WriteTaskLines(Name, {"old;"});
        } else {
            EXPECT_THROW(WriteTaskLines(Name, {"new;"}), EFCreateError);
            EXPECT_GT(Waits, 10);
            Reader.reset();
            EXPECT_EQ(ReadTaskLines(Name), std::vector<std::string>{"old;"});
            EXPECT_FALSE(FileExists(Name + ".new"));
        }
        SetFileInUseWait(nullptr);
    }
}
