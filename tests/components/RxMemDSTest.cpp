// The in-memory dataset as the task table and the log table use it: fields from stored
// definitions, appending, editing, posting, deleting, navigating, bookmarks, filters and the
// refusals with their texts.
#include "MemoryDataTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace memory_data_tests;

namespace {

// The task table with three tasks (ID 0..2: "alpha", "bravo", "charlie"), on the first.
class TaskTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(TaskTable());
        T->Open();
        const char* Names[] = {"alpha", "bravo", "charlie"};
        for (int I = 0; I < 3; ++I)
            AppendTask(T.get(), I, Names[I]);
        T->First();
    }
    TField* F(const char* Name) { return T->FieldByName(Name); }
    std::vector<std::string> Names() { return Column(T.get(), "DBName"); }
    TOwned<TRxMemoryData> T;
};

TEST_F(TaskTableTest, StoredDefinitionsGiveTheTaskFields) {
    EXPECT_EQ(T->Name(), "MemSettitngs");
    ASSERT_EQ(T->FieldCount(), 23);
    EXPECT_EQ(T->Fields()->Fields(0)->FieldName(), "ID");
    EXPECT_EQ(T->Fields()->Fields(22)->FieldName(), "strPwdArch");
    EXPECT_TRUE(F("ID")->Is<TIntegerField>());
    EXPECT_TRUE(F("DateLast")->Is<TDateTimeField>());
    EXPECT_TRUE(F("bitArch")->Is<TBooleanField>());
    EXPECT_EQ(F("StrConnect")->Size(), 1000);
    EXPECT_EQ(F("strPwdArch")->Size(), 20);
}

TEST_F(TaskTableTest, EveryFieldReadsBackAsWritten) {
    T->Last();
    EXPECT_EQ(F("ID")->AsInteger(), 2);
    EXPECT_EQ(F("DBName")->AsString(), "charlie");
    EXPECT_EQ(F("Hour")->AsInteger(), 2);
    EXPECT_EQ(F("Min")->AsInteger(), 2);
    EXPECT_DOUBLE_EQ(F("DateLast")->AsDateTime(), 45002.5);
    EXPECT_EQ(F("Result")->AsString(), "insert_new_task");
    EXPECT_EQ(F("Path")->AsString(), "D:\\Backup\\charlie");
    EXPECT_EQ(F("Type")->AsString(), "Type3");
    EXPECT_EQ(F("EveryType1")->AsInteger(), 1);
    EXPECT_TRUE(F("OnWeekDaysType1")->AsBoolean());
    EXPECT_EQ(F("EveryType2")->AsInteger(), 2);
    EXPECT_EQ(F("DayType2")->AsString(), "1,3,5");
    EXPECT_EQ(F("OnceType3")->AsInteger(), 0);
    EXPECT_DOUBLE_EQ(F("DateType3")->AsDateTime(), 45100.0);
    EXPECT_EQ(F("MonthType4")->AsString(), "1,2,3,4,5,6,7,8,9,10,11,12");
    EXPECT_EQ(F("EveryWeekType4")->AsInteger(), 15);
    EXPECT_TRUE(F("DailyOnType1")->AsBoolean());
    EXPECT_EQ(F("EveryHour")->AsInteger(), 3);
    EXPECT_EQ(F("Server")->AsString(), "SRV\\SQL2");
    EXPECT_EQ(F("StrConnect")->AsString(), TaskConnection);
    EXPECT_TRUE(F("bitArch")->AsBoolean());
    EXPECT_FALSE(F("bitPwdArch")->AsBoolean());
    EXPECT_EQ(F("strPwdArch")->AsString(), "pw2");
    // A text longer than the field keeps its first Size characters and disturbs no neighbour.
    T->Edit();
    F("strPwdArch")->SetAsString(std::string(30, 'x'));
    T->Post();
    EXPECT_EQ(F("strPwdArch")->AsString(), std::string(20, 'x'));
    EXPECT_FALSE(F("bitPwdArch")->AsBoolean());
}

TEST_F(TaskTableTest, NullsAndEmptyTexts) {
    // The wizard clears every field but ID and posts; an empty text then reads as no value too.
    T->Edit();
    for (int I = 1; I < T->FieldCount(); ++I)
        T->Fields()->Fields(I)->Clear();
    T->Post();
    for (int I = 1; I < T->FieldCount(); ++I)
        EXPECT_TRUE(T->Fields()->Fields(I)->IsNull()) << T->Fields()->Fields(I)->FieldName();
    EXPECT_EQ(F("Hour")->AsInteger(), 0);
    EXPECT_FALSE(F("bitArch")->AsBoolean());
    EXPECT_EQ(F("ID")->AsInteger(), 0);

    T->Edit();
    F("Path")->SetAsString("");
    F("Hour")->SetAsInteger(0);
    T->Post();
    EXPECT_TRUE(F("Path")->IsNull());
    EXPECT_TRUE(F("Path")->AsVariant().IsNull());
    EXPECT_FALSE(F("Hour")->IsNull()) << "zero is a value";
}

TEST_F(TaskTableTest, EditingTable) {
    struct Case {
        const char* Name;
        std::function<void(TRxMemoryData&)> Steps;
        std::vector<std::string> Names;  // afterwards, in record order
        std::string Current;
    };
    auto Name = [](TDataSet& D, const char* V) { D.FieldByName("DBName")->SetAsString(V); };
    const Case Cases[] = {
        {"edit, post", [&](TRxMemoryData& D) { D.Next(); D.Edit(); Name(D, "b2"); D.Post(); }, {"alpha", "b2", "charlie"}, "b2"},
        {"edit, cancel", [&](TRxMemoryData& D) { D.Edit(); Name(D, "a2"); D.Cancel(); }, {"alpha", "bravo", "charlie"}, "alpha"},
        {"insert on the first goes before it", [&](TRxMemoryData& D) { D.Insert(); Name(D, "new"); D.Post(); },
         {"new", "alpha", "bravo", "charlie"}, "new"},
        {"insert in the middle", [&](TRxMemoryData& D) { D.MoveBy(2); D.Insert(); Name(D, "new"); D.Post(); },
         {"alpha", "bravo", "new", "charlie"}, "new"},
        {"append from the first adds at the end", [&](TRxMemoryData& D) { D.Append(); Name(D, "new"); D.Post(); },
         {"alpha", "bravo", "charlie", "new"}, "new"},
        {"append after the last", [&](TRxMemoryData& D) { D.Last(); D.Next(); D.Append(); Name(D, "new"); D.Post(); },
         {"alpha", "bravo", "charlie", "new"}, "new"},
        {"append cancelled", [&](TRxMemoryData& D) { D.Append(); Name(D, "new"); D.Cancel(); },
         {"alpha", "bravo", "charlie"}, "charlie"},
        {"delete in the middle: the next becomes current", [](TRxMemoryData& D) { D.Next(); D.Delete(); },
         {"alpha", "charlie"}, "charlie"},
        {"delete the last: the prior becomes current", [](TRxMemoryData& D) { D.Last(); D.Delete(); },
         {"alpha", "bravo"}, "bravo"},
        {"insert record before the current", [](TRxMemoryData& D) { D.Next(); D.InsertRecord({7, "golf"}); },
         {"alpha", "golf", "bravo", "charlie"}, "golf"},
        {"append record", [](TRxMemoryData& D) { D.AppendRecord({7, "golf"}); }, {"alpha", "bravo", "charlie", "golf"}, "golf"},
        {"a modified edit is posted by scrolling", [&](TRxMemoryData& D) { D.Edit(); Name(D, "a2"); D.Next(); },
         {"a2", "bravo", "charlie"}, "bravo"},
        {"setting the record number posts the edit first", [&](TRxMemoryData& D) { D.Edit(); Name(D, "a2"); D.SetRecNo(3); },
         {"a2", "bravo", "charlie"}, "charlie"},
    };
    for (const Case& C : Cases) {
        SetUp();
        C.Steps(*T);
        EXPECT_EQ(T->State(), dsBrowse) << C.Name;
        EXPECT_EQ(F("DBName")->AsString(), C.Current) << C.Name;
        EXPECT_EQ(Names(), C.Names) << C.Name;
    }
}

TEST_F(TaskTableTest, NavigationAndNumbering) {
    struct Case {
        const char* Name;
        std::function<void(TDataSet&)> Steps;
        int RecNo;
        bool Bof, Eof;
    };
    const Case Cases[] = {
        {"open", [](TDataSet&) {}, 1, true, false},
        {"next", [](TDataSet& D) { D.Next(); }, 2, false, false},
        {"last", [](TDataSet& D) { D.Last(); }, 3, false, true},
        {"past the end", [](TDataSet& D) { D.MoveBy(10); }, 3, false, true},
        {"back past the start", [](TDataSet& D) { D.Last(); D.MoveBy(-10); }, 1, true, false},
        {"record number 2", [](TDataSet& D) { D.SetRecNo(2); }, 2, false, false},
        {"record number 0 is ignored", [](TDataSet& D) { D.SetRecNo(0); }, 1, true, false},
        {"record number 4 is ignored", [](TDataSet& D) { D.SetRecNo(4); }, 1, true, false},
    };
    for (const Case& C : Cases) {
        T->First();
        C.Steps(*T);
        EXPECT_EQ(T->RecNo(), C.RecNo) << C.Name;
        EXPECT_EQ(F("ID")->AsInteger(), C.RecNo - 1) << C.Name;
        EXPECT_EQ(T->Bof(), C.Bof) << C.Name;
        EXPECT_EQ(T->Eof(), C.Eof) << C.Name;
    }
    EXPECT_EQ(T->RecordCount(), 3);
    EXPECT_TRUE(T->IsSequenced());
}

TEST_F(TaskTableTest, LocateFindsTheWizardsRecordByLowerCaseName) {
    EXPECT_TRUE(T->Locate("id", 2, {}));
    EXPECT_EQ(F("DBName")->AsString(), "charlie");
    EXPECT_TRUE(T->Locate("Server;DBName", VarArrayOf({"SRV\\SQL1", "bravo"}), {}));
    EXPECT_EQ(F("ID")->AsInteger(), 1);
    EXPECT_FALSE(T->Locate("ID", 9, {}));
    EXPECT_EQ(F("ID")->AsInteger(), 1) << "a miss stays on the record";

    std::vector<std::string> Events;
    T->BeforeScroll = TDataSetNotifyEvent::FromFunction([&](TDataSet*) { Events.push_back("before"); });
    T->AfterScroll = TDataSetNotifyEvent::FromFunction([&](TDataSet*) { Events.push_back("after"); });
    EXPECT_TRUE(T->Locate("DBName", "alpha", {}));
    ASSERT_FALSE(Events.empty());
    EXPECT_EQ(Events.front(), "before");
    EXPECT_EQ(Events.back(), "after");
    Events.clear();
    EXPECT_FALSE(T->Locate("DBName", "zulu", {}));
    EXPECT_EQ(Events.front(), "before");
}

TEST_F(TaskTableTest, RecordIDsStartAgainWhenTheTableEmpties) {
    EXPECT_EQ(BookmarkID(T->GetBookmark()), -2147483647) << "the first record of a new table";
    T->Last();
    EXPECT_EQ(BookmarkID(T->GetBookmark()), -2147483645);
    while (!T->IsEmpty())
        T->Delete();
    AppendTask(T.get(), 5, "echo");
    EXPECT_EQ(BookmarkID(T->GetBookmark()), -2147483647);

    AppendTask(T.get(), 6, "foxtrot");
    T->EmptyTable();
    EXPECT_TRUE(T->IsEmpty());
    EXPECT_EQ(T->RecordCount(), 0);
    AppendTask(T.get(), 7, "golf");
    EXPECT_EQ(BookmarkID(T->GetBookmark()), -2147483647);
}

TEST_F(TaskTableTest, ClosingEmptiesTheTable) {
    T->Close();
    T->EmptyTable();
    EXPECT_FALSE(T->Active()) << "emptying a closed table does nothing";
    T->Open();
    EXPECT_TRUE(T->IsEmpty());
    EXPECT_EQ(T->RecordCount(), 0);
    EXPECT_EQ(T->FieldCount(), 23);
    AppendTask(T.get(), 0, "alpha");
    EXPECT_EQ(T->RecordCount(), 1);
}

TEST_F(TaskTableTest, Bookmarks) {
    T->Next();
    TBookmark Bravo = T->GetBookmark();
    T->Last();
    TBookmark Charlie = T->GetBookmark();
    EXPECT_TRUE(T->BookmarkValid(Bravo));
    EXPECT_LT(T->CompareBookmarks(Bravo, Charlie), 0);
    EXPECT_GT(T->CompareBookmarks(Charlie, Bravo), 0);
    EXPECT_EQ(T->CompareBookmarks(Bravo, Bravo), 0);
    EXPECT_EQ(T->CompareBookmarks({}, {}), 0);
    EXPECT_LT(T->CompareBookmarks({}, Bravo), 0);
    EXPECT_GT(T->CompareBookmarks(Bravo, {}), 0);

    T->GotoBookmark(Bravo);
    EXPECT_EQ(F("DBName")->AsString(), "bravo");

    EXPECT_FALSE(T->BookmarkValid(BookmarkOf(INT32_MIN))) << "the empty ID is never a record";
    EXPECT_FALSE(T->BookmarkValid(BookmarkOf(-2147483600))) << "an ID never given";
    T->Delete();
    EXPECT_FALSE(T->BookmarkValid(Bravo)) << "a deleted record's bookmark leads nowhere";
    EXPECT_TRUE(T->BookmarkValid(Charlie));
    T->Close();
    EXPECT_FALSE(T->BookmarkValid(Charlie));
}

TEST_F(TaskTableTest, BookmarksFollowTheirRecordsThroughInsertsAndDeletes) {
    // Each step changes the list before some records; every remembered bookmark must still lead to
    // its own record, and a deleted record's to none.
    auto InsertBefore = [this](const char* Name, int Position, int ID) {
        T->First();
        T->MoveBy(Position);
        T->Insert();
        SetTask(T.get(), ID, Name);
        T->Post();
    };
    struct Step {
        const char* Name;
        std::function<void()> Do;
        std::vector<std::string> Order;
    };
    const Step Steps[] = {
        {"insert before the first", [&] { InsertBefore("zulu", 0, 10); }, {"zulu", "alpha", "bravo", "charlie"}},
        {"insert in the middle", [&] { InsertBefore("mike", 2, 11); }, {"zulu", "alpha", "mike", "bravo", "charlie"}},
        {"delete in the middle",
         [&] {
             T->First();
             T->MoveBy(1);
             T->Delete();
         },
         {"zulu", "mike", "bravo", "charlie"}},
        {"append", [&] { AppendTask(T.get(), 12, "yankee"); }, {"zulu", "mike", "bravo", "charlie", "yankee"}},
        {"delete the first",
         [&] {
             T->First();
             T->Delete();
         },
         {"mike", "bravo", "charlie", "yankee"}},
    };
    std::map<std::string, TBookmark> Marks;
    for (T->First(); !T->Eof(); T->Next())
        Marks[F("DBName")->AsString()] = T->GetBookmark();
    for (const Step& S : Steps) {
        S.Do();
        EXPECT_EQ(Names(), S.Order) << S.Name;
        for (const auto& [Name, Mark] : Marks) {
            const bool Kept = std::find(S.Order.begin(), S.Order.end(), Name) != S.Order.end();
            EXPECT_EQ(T->BookmarkValid(Mark), Kept) << S.Name << ": " << Name;
            if (!Kept)
                continue;
            T->GotoBookmark(Mark);
            EXPECT_EQ(F("DBName")->AsString(), Name) << S.Name;
        }
        for (T->First(); !T->Eof(); T->Next())
            Marks[F("DBName")->AsString()] = T->GetBookmark();
    }
}

TEST_F(TaskTableTest, RefusalsTable) {
    struct Case {
        const char* Name;
        std::function<void(TRxMemoryData&)> Steps;
        const char* Message;
    };
    const Case Cases[] = {
        {"set a field while browsing", [](TRxMemoryData& D) { D.FieldByName("Hour")->SetAsInteger(3); },
         "MemSettitngs: Dataset not in edit or insert mode"},
        {"a read-only field, by its display name",
         [](TRxMemoryData& D) {
             TField* Name = D.FieldByName("DBName");
             Name->SetReadOnly(true);
             Name->SetDisplayLabel("\xC1\xE0\xE7\xE0 \xE4\xE0\xED\xED\xFB\xF5");
             D.Edit();
             Name->SetAsString("x");
         },
         "MemSettitngs: Field '\xC1\xE0\xE7\xE0 \xE4\xE0\xED\xED\xFB\xF5' cannot be modified"},
        {"going to a record emptied away",
         [](TRxMemoryData& D) {
             TBookmark B = D.GetBookmark();
             D.EmptyTable();
             D.GotoBookmark(B);
         },
         "MemSettitngs: No data found"},
    };
    for (const Case& C : Cases) {
        SetUp();
        try {
            C.Steps(*T);
            ADD_FAILURE() << C.Name << ": no error";
        } catch (const EDatabaseError& E) {
            EXPECT_EQ(E.Message(), C.Message) << C.Name;
        }
    }
}

TEST(MemoryDataOpening, PersistentFieldOfAnUnknownTypeIsRefused) {
    TOwned<TRxMemoryData> T(Create<TRxMemoryData>(nullptr));
    auto* Known = Create<TIntegerField>(T.get());
    Known->SetFieldName("ID");
    Known->SetDataSet(T.get());
    auto* Odd = Create<TField>(T.get());  // the bare field kind has no type of its own
    Odd->SetFieldName("Odd");
    Odd->SetDisplayLabel("Strange");
    Odd->SetDataSet(T.get());
    try {
        T->Open();
        FAIL() << "opened";
    } catch (const EDatabaseError& E) {
        EXPECT_EQ(E.Message(), "Field 'Strange' is of an unknown type");
    }
    EXPECT_FALSE(T->Active());
    Odd->Free();
    T->Open();
    EXPECT_EQ(T->FieldDefs()->Count(), 1) << "definitions rebuilt from the persistent fields";
}

TEST(MemoryDataOpening, CapacityIsStreamedAndKeepsTheRecords) {
    TOwned<TRxMemoryData> T(ReadTable("object T: TRxMemoryData\n  Capacity = 50\n  FieldDefs = <\n" +
                                      FieldDefItem("N", "ftInteger") + "  >\nend\n"));
    EXPECT_GE(T->Capacity(), 50);
    T->Open();
    for (int I = 0; I < 60; ++I)
        T->AppendRecord({I});
    EXPECT_EQ(T->RecordCount(), 60);
    EXPECT_THROW(T->SetCapacity(10), EListError);
    T->Last();
    EXPECT_EQ(T->FieldByName("N")->AsInteger(), 59);
}

// The log table with five lines; a filter event that keeps the lines whose memID the test allows.
class LogFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(LogTable());
        T->Open();
        for (int I = 1; I <= 5; ++I)
            T->AppendRecord({I, 45000.0 + I, I % 2 ? "Succesfull" : "error", "SRV", "db" + IntToStr(I), "D:\\b.bak"});
        T->SetOnFilterRecord(TFilterRecordEvent::FromFunction([this](TDataSet* D, bool& Accept) {
            ++Calls;
            if (Throw)
                throw Exception("filter failed");
            Accept = Keep(D->FieldByName("memID")->AsInteger());
        }));
    }
    std::vector<int> IDs() {
        std::vector<int> R;
        for (T->First(); !T->Eof(); T->Next())
            R.push_back(T->FieldByName("memID")->AsInteger());
        return R;
    }
    TOwned<TRxMemoryData> T;
    std::function<bool(int)> Keep = [](int) { return true; };
    bool Throw = false;
    int Calls = 0;
};

TEST_F(LogFilterTest, RecordsTheFilterRejectsAreSkipped) {
    Keep = [](int ID) { return ID % 2 == 1; };
    T->SetFiltered(true);
    EXPECT_EQ(T->FieldByName("memID")->AsInteger(), 1) << "switching the filter on goes to the first record";
    EXPECT_EQ(IDs(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(T->RecordCount(), 5) << "the count ignores the filter";
    EXPECT_FALSE(T->IsSequenced());
    T->Last();
    T->Prior();
    EXPECT_EQ(T->FieldByName("memID")->AsInteger(), 3);
    // Deleting goes back to a record the filter keeps.
    T->Last();
    T->Delete();
    EXPECT_EQ(T->FieldByName("memID")->AsInteger(), 3);
    T->SetFiltered(false);
    EXPECT_EQ(IDs(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(LogFilterTest, AFilterThatRejectsEverything) {
    Keep = [](int) { return false; };
    T->SetFiltered(true);
    EXPECT_TRUE(T->IsEmpty());
    EXPECT_TRUE(T->Bof());
    EXPECT_TRUE(T->Eof());
    T->Next();
    EXPECT_TRUE(T->Eof()) << "next gives end of data";
    T->Prior();
    EXPECT_TRUE(T->Bof()) << "prior gives beginning of data";
    EXPECT_FALSE(T->Locate("memID", 3, {}));
}

TEST_F(LogFilterTest, ABookmarkToARejectedRecordLeavesThePosition) {
    T->SetRecNo(2);
    TBookmark Two = T->GetBookmark();
    Keep = [](int ID) { return ID != 2; };
    T->SetFiltered(true);
    T->Next();
    ASSERT_EQ(T->FieldByName("memID")->AsInteger(), 3);
    T->GotoBookmark(Two);
    EXPECT_EQ(T->FieldByName("memID")->AsInteger(), 3);
}

TEST_F(LogFilterTest, FilterErrorsGoToTheApplicationsHandler) {
    static int Handled = 0;
    Handled = 0;
    SetDataSetExceptionHandler([](TObject*) { ++Handled; });
    Throw = true;
    T->SetFiltered(true);
    SetDataSetExceptionHandler(nullptr);
    EXPECT_GT(Handled, 0);
    EXPECT_EQ(T->FieldByName("memID")->AsInteger(), 1) << "a failing filter does not stop the walk";
}

}  // namespace
