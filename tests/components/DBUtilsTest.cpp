// Locating by scan and the empty test, on the log table with Cyrillic server names.
#include "DBUtils.h"

#include "MemoryDataTables.h"

#include <gtest/gtest.h>

using namespace memory_data_tests;

namespace {

// Four log lines: servers "Сервер", "сервер2", "Сервер" again and "BACKUP", databases db0..db3.
class LocateByScanLocale : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(LogTable());
        T->Open();
        const char* Servers[] = {"\xD1\xE5\xF0\xE2\xE5\xF0", "\xF1\xE5\xF0\xE2\xE5\xF0" "2", "\xD1\xE5\xF0\xE2\xE5\xF0",
                                 "BACKUP"};
        for (int I = 0; I < 4; ++I)
            T->AppendRecord({I + 1, 45000.0, "Succesfull", Servers[I], "db" + IntToStr(I), "D:\\b.bak"});
        T->First();
        T->BeforeScroll = TDataSetNotifyEvent::FromFunction([this](TDataSet*) { ++Scrolls; });
    }
    int ID() { return T->FieldByName("memID")->AsInteger(); }
    TOwned<TRxMemoryData> T;
    int Scrolls = 0;
};

TEST_F(LocateByScanLocale, KeysAndOptionsTable) {
    struct Case {
        const char* Name;
        const char* Fields;
        Variant Keys;
        TLocateOptions Options;
        int Found;  // memID, 0 for none
    };
    const Case Cases[] = {
        {"exact text", "memServer", "BACKUP", {}, 4},
        {"text in the other case, case-insensitive", "memServer", "backup", {loCaseInsensitive}, 4},
        {"text in the other case, case-sensitive", "memServer", "backup", {}, 0},
        {"first two Cyrillic letters in the other case, insensitive partial", "memServer", "\xD1\xC5",
         {loCaseInsensitive, loPartialKey}, 1},
        {"first two Cyrillic letters in the other case, sensitive partial", "memServer", "\xF1\xC5", {loPartialKey}, 0},
        {"lower-case Cyrillic partial", "memServer", "\xF1\xE5", {loPartialKey}, 2},
        {"a partial key longer than the text", "memServer", "BACKUPS", {loPartialKey}, 0},
        {"an integer field by number", "memID", 3, {}, 3},
        {"an integer field by numeric text", "memid", "2", {}, 2},
        {"options do not apply to other kinds", "memID", "3x", {loPartialKey}, 0},
        {"two fields", "memServer;memDB", VarArrayOf({"\xD1\xE5\xF0\xE2\xE5\xF0", "db2"}), {}, 3},
        {"two fields, second differs", "memServer;memDB", VarArrayOf({"BACKUP", "db0"}), {}, 0},
        {"no fields at all match at once", "", 1, {}, 4},
    };
    for (const Case& C : Cases) {
        T->Last();  // a miss must come back here
        bool Found = LocateByScan(T.get(), C.Fields, C.Keys, C.Options);
        EXPECT_EQ(Found, C.Found != 0) << C.Name;
        EXPECT_EQ(ID(), C.Found ? C.Found : 4) << C.Name;
        EXPECT_FALSE(T->ControlsDisabled()) << C.Name;
    }
}

TEST_F(LocateByScanLocale, TheCurrentRecordWinsWithoutMoving) {
    T->SetRecNo(3);
    Scrolls = 0;
    EXPECT_TRUE(LocateByScan(T.get(), "memServer", "\xD1\xE5\xF0\xE2\xE5\xF0", {}));
    EXPECT_EQ(ID(), 3) << "an earlier record matches too";
    EXPECT_EQ(Scrolls, 0) << "no scan ran";
}

TEST_F(LocateByScanLocale, PendingEditsArePostedFirst) {
    T->Edit();
    T->FieldByName("memDB")->SetAsString("edited");
    EXPECT_TRUE(LocateByScan(T.get(), "memDB", "edited", {}));
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(ID(), 1);
}

TEST_F(LocateByScanLocale, ErrorsLeaveTheControlsEnabledAndThePositionKept) {
    T->SetRecNo(2);
    EXPECT_THROW(LocateByScan(T.get(), "memServer;Missing", VarArrayOf({"x", "y"}), {}), EDatabaseError);
    EXPECT_EQ(ID(), 2);
    // One value for two fields: the scan fails at the first record whose first field matches.
    EXPECT_THROW(LocateByScan(T.get(), "memServer;memDB", VarArrayOf({"BACKUP"}), {}), EVariantError);
    EXPECT_FALSE(T->ControlsDisabled());
    EXPECT_EQ(ID(), 2);
}

TEST(LocateByScanEmpty, AnEmptyOrClosedDataSet) {
    TOwned<TRxMemoryData> T(LogTable());
    EXPECT_TRUE(DataSetIsEmpty(T.get())) << "closed";
    T->Open();
    EXPECT_TRUE(DataSetIsEmpty(T.get()));
    int Scrolls = 0;
    T->BeforeScroll = TDataSetNotifyEvent::FromFunction([&](TDataSet*) { ++Scrolls; });
    EXPECT_FALSE(LocateByScan(T.get(), "memID", 1, {}));
    EXPECT_EQ(Scrolls, 0) << "left untouched";
    T->AppendRecord({1});
    EXPECT_FALSE(DataSetIsEmpty(T.get()));
    T->Next();
    EXPECT_TRUE(T->Eof());
    EXPECT_FALSE(DataSetIsEmpty(T.get())) << "at the end is not empty";
}

}  // namespace
