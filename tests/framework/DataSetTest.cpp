// The data set's buffer protocol, navigation, editing, events, bookmarks, Locate, filters and
// calculated fields, over the tests' own in-memory table.
#include "DataSetTestTable.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Five records (ID 1..5, Name alpha..echo) in a table whose fields come from definitions.
class FiveRecords : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(Create<TTestTable>(nullptr));
        T->FieldDefs()->Add("ID", ftInteger);
        T->FieldDefs()->Add("Name", ftString, 20);
        T->FieldDefs()->Add("Amount", ftFloat);
        T->Open();
        const char* Names[] = {"alpha", "bravo", "charlie", "delta", "echo"};
        for (int I = 0; I < 5; ++I) {
            T->Append();
            T->FieldByName("ID")->SetAsInteger(I + 1);
            T->FieldByName("Name")->SetAsString(Names[I]);
            T->FieldByName("Amount")->SetAsFloat((I + 1) * 1.5);
            T->Post();
        }
        T->First();
    }
    int ID() { return T->FieldByName("ID")->AsInteger(); }
    std::vector<int> AllIDs() {
        std::vector<int> R;
        for (T->First(); !T->Eof(); T->Next())
            R.push_back(ID());
        return R;
    }
    // Records the data set's events by name.
    void Watch() {
        auto On = [this](const char* Name) {
            return TDataSetNotifyEvent::FromFunction([this, Name](TDataSet*) { Log.push_back(Name); });
        };
        T->BeforeOpen = On("BeforeOpen");
        T->AfterOpen = On("AfterOpen");
        T->BeforeClose = On("BeforeClose");
        T->AfterClose = On("AfterClose");
        T->BeforeInsert = On("BeforeInsert");
        T->AfterInsert = On("AfterInsert");
        T->BeforeEdit = On("BeforeEdit");
        T->AfterEdit = On("AfterEdit");
        T->BeforePost = On("BeforePost");
        T->AfterPost = On("AfterPost");
        T->BeforeCancel = On("BeforeCancel");
        T->AfterCancel = On("AfterCancel");
        T->BeforeDelete = On("BeforeDelete");
        T->AfterDelete = On("AfterDelete");
        T->BeforeScroll = On("BeforeScroll");
        T->AfterScroll = On("AfterScroll");
        T->OnNewRecord = On("OnNewRecord");
    }
    TOwned<TTestTable> T;
    std::vector<std::string> Log;
};

struct NavCase {
    const char* Name;
    std::function<int(TDataSet&)> Steps;  // gives MoveBy's result where the case checks one
    int ID;
    bool Bof, Eof;
    int Moved;
};

TEST_F(FiveRecords, NavigationTable) {
    const NavCase Cases[] = {
        {"open", [](TDataSet&) { return 0; }, 1, true, false, 0},
        {"first next", [](TDataSet& D) { D.Next(); return 0; }, 2, false, false, 0},
        {"last", [](TDataSet& D) { D.Last(); return 0; }, 5, false, true, 0},
        {"last next stays", [](TDataSet& D) { D.Last(); D.Next(); return 0; }, 5, false, true, 0},
        {"first prior stays", [](TDataSet& D) { D.Prior(); return 0; }, 1, true, false, 0},
        {"move by 3", [](TDataSet& D) { return D.MoveBy(3); }, 4, false, false, 3},
        {"move past the end", [](TDataSet& D) { return D.MoveBy(10); }, 5, false, true, 4},
        {"back past the start", [](TDataSet& D) { D.Last(); return D.MoveBy(-10); }, 1, true, false, -4},
        {"next to the end", [](TDataSet& D) { for (int I = 0; I < 5; ++I) D.Next(); return 0; }, 5, false, true, 0},
        {"rec no 4", [](TDataSet& D) { D.SetRecNo(4); return 0; }, 4, false, false, 0},
        {"rec no out of range ignored", [](TDataSet& D) { D.SetRecNo(9); return 0; }, 1, true, false, 0},
    };
    for (const NavCase& C : Cases) {
        T->First();
        int Moved = C.Steps(*T);
        EXPECT_EQ(ID(), C.ID) << C.Name;
        EXPECT_EQ(T->Bof(), C.Bof) << C.Name;
        EXPECT_EQ(T->Eof(), C.Eof) << C.Name;
        EXPECT_EQ(Moved, C.Moved) << C.Name;
        EXPECT_EQ(T->RecNo(), C.ID) << C.Name;
    }
    EXPECT_EQ(T->RecordCount(), 5);
}

struct EditCase {
    const char* Name;
    std::function<void(TDataSet&)> Steps;
    std::vector<int> IDs;  // the records afterwards, in order
    int Current;           // the current record's ID afterwards
};

TEST_F(FiveRecords, EditingTable) {
    auto SetID = [](TDataSet& D, int V) { D.FieldByName("ID")->SetAsInteger(V); };
    const EditCase Cases[] = {
        {"edit post", [&](TDataSet& D) { D.Next(); D.Edit(); SetID(D, 20); D.Post(); }, {1, 20, 3, 4, 5}, 20},
        {"edit cancel", [&](TDataSet& D) { D.Next(); D.Edit(); SetID(D, 20); D.Cancel(); }, {1, 2, 3, 4, 5}, 2},
        {"insert on first goes before it", [&](TDataSet& D) { D.Insert(); SetID(D, 9); D.Post(); }, {9, 1, 2, 3, 4, 5}, 9},
        {"insert in the middle", [&](TDataSet& D) { D.MoveBy(2); D.Insert(); SetID(D, 9); D.Post(); }, {1, 2, 9, 3, 4, 5}, 9},
        {"append from the first adds at the end", [&](TDataSet& D) { D.Append(); SetID(D, 9); D.Post(); }, {1, 2, 3, 4, 5, 9}, 9},
        {"insert cancel", [&](TDataSet& D) { D.Next(); D.Insert(); SetID(D, 9); D.Cancel(); }, {1, 2, 3, 4, 5}, 2},
        {"append cancel", [&](TDataSet& D) { D.Next(); D.Append(); SetID(D, 9); D.Cancel(); }, {1, 2, 3, 4, 5}, 5},
        {"delete in the middle: next becomes current", [&](TDataSet& D) { D.MoveBy(2); D.Delete(); }, {1, 2, 4, 5}, 4},
        {"delete the last: prior becomes current", [&](TDataSet& D) { D.Last(); D.Delete(); }, {1, 2, 3, 4}, 4},
        {"delete while inserting cancels", [&](TDataSet& D) { D.Insert(); D.Delete(); }, {1, 2, 3, 4, 5}, 1},
        {"append record", [&](TDataSet& D) { D.AppendRecord({7, "golf", 2.0}); }, {1, 2, 3, 4, 5, 7}, 7},
        {"insert record", [&](TDataSet& D) { D.Next(); D.InsertRecord({8, "hotel"}); }, {1, 8, 2, 3, 4, 5}, 8},
        {"unmodified edit leaves on browse", [&](TDataSet& D) { D.Edit(); D.Next(); }, {1, 2, 3, 4, 5}, 2},
        {"modified edit posts on scroll", [&](TDataSet& D) { D.Edit(); SetID(D, 11); D.Next(); }, {11, 2, 3, 4, 5}, 2},
    };
    for (const EditCase& C : Cases) {
        SetUp();
        C.Steps(*T);
        EXPECT_EQ(T->State(), dsBrowse) << C.Name;
        EXPECT_EQ(ID(), C.Current) << C.Name;
        EXPECT_EQ(AllIDs(), C.IDs) << C.Name;
    }
}

TEST_F(FiveRecords, RefusalsTable) {
    struct Case {
        const char* Name;
        std::function<void(TTestTable&)> Steps;
        const char* Message;
    };
    const Case Cases[] = {
        {"post while browsing", [](TTestTable& D) { D.Post(); }, "Dataset not in edit or insert mode"},
        {"set a field while browsing", [](TTestTable& D) { D.FieldByName("ID")->SetAsInteger(3); },
         "Dataset not in edit or insert mode"},
        {"edit a read-only table", [](TTestTable& D) { D.ReadOnlyTable = true; D.Edit(); }, "Cannot modify a read-only dataset"},
        {"delete on an empty table",
         [](TTestTable& D) {
             while (!D.IsEmpty())
                 D.Delete();
             D.Delete();
         },
         "Cannot perform this operation on an empty dataset"},
        {"navigate a closed table", [](TTestTable& D) { D.Close(); D.First(); }, "Cannot perform this operation on a closed dataset"},
        {"unknown field", [](TTestTable& D) { D.FieldByName("Nope"); }, "Field 'Nope' not found"},
        {"read-only field",
         [](TTestTable& D) {
             D.FieldByName("ID")->SetReadOnly(true);
             D.Edit();
             D.FieldByName("ID")->SetAsInteger(1);
         },
         "Field 'ID' cannot be modified"},
        {"not an integer", [](TTestTable& D) { D.Edit(); D.FieldByName("ID")->SetAsString("x1"); },
         "'x1' is not a valid integer value for field 'ID'"},
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

TEST_F(FiveRecords, ErrorsNameTheComponent) {
    T->SetName("Tasks");
    try {
        T->Post();
        FAIL();
    } catch (const EDatabaseError& E) {
        EXPECT_EQ(E.Message(), "Tasks: Dataset not in edit or insert mode");
    }
}

TEST_F(FiveRecords, EventOrder) {
    Watch();
    struct Case {
        const char* Name;
        std::function<void(TDataSet&)> Steps;
        std::vector<std::string> Events;
    };
    const Case Cases[] = {
        {"next", [](TDataSet& D) { D.Next(); }, {"BeforeScroll", "AfterScroll"}},
        {"append and post",
         [](TDataSet& D) {
             D.Append();
             D.FieldByName("ID")->SetAsInteger(6);
             D.Post();
         },
         {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll", "BeforePost", "AfterPost"}},
        {"edit and cancel", [](TDataSet& D) { D.Edit(); D.Cancel(); }, {"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel"}},
        {"insert and cancel", [](TDataSet& D) { D.Insert(); D.Cancel(); },
         {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll", "BeforeCancel", "BeforeScroll",
          "AfterCancel", "AfterScroll"}},
        {"delete", [](TDataSet& D) { D.Delete(); }, {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}},
        {"close and open", [](TDataSet& D) { D.Close(); D.Open(); }, {"BeforeClose", "AfterClose", "BeforeOpen", "AfterOpen"}},
    };
    for (const Case& C : Cases) {
        Log.clear();
        C.Steps(*T);
        EXPECT_EQ(Log, C.Events) << C.Name;
    }
}

TEST_F(FiveRecords, ClosingEmptiesAndOpeningStartsBeforeTheFirst) {
    T->Close();
    EXPECT_FALSE(T->Active());
    EXPECT_EQ(T->FieldCount(), 0) << "default fields go with the cursor";
    T->Open();
    EXPECT_TRUE(T->IsEmpty());
    EXPECT_TRUE(T->Bof());
    EXPECT_TRUE(T->Eof());
    EXPECT_TRUE(T->FieldByName("Name")->IsNull());
    EXPECT_EQ(T->FieldByName("Name")->AsString(), "");
}

TEST_F(FiveRecords, OpeningWithStoredRowsShowsTheFirstAtOnce) {
    T->KeepRecordsOnClose = true;
    T->Close();
    TOwned<TDataSource> Source(Create<TDataSource>(nullptr));
    TDataLink Link;
    Link.SetBufferCount(3);
    Source->SetDataSet(T.get());
    Link.SetDataSource(Source.get());
    T->Open();
    EXPECT_FALSE(T->IsEmpty());
    EXPECT_TRUE(T->Bof());
    EXPECT_FALSE(T->Eof());
    EXPECT_EQ(ID(), 1);
    EXPECT_EQ(Link.RecordCount(), 3) << "the link's window is filled as well";
    T->Next();
    EXPECT_EQ(ID(), 2);
    Link.SetDataSource(nullptr);
    // Filtered before opening: the first accepted record is the one shown.
    T->Close();
    T->SetOnFilterRecord(TFilterRecordEvent::FromFunction(
        [](TDataSet* D, bool& Accept) { Accept = D->FieldByName("ID")->AsInteger() > 3; }));
    T->SetFiltered(true);
    T->Open();
    EXPECT_EQ(ID(), 4);
}

TEST_F(FiveRecords, BookmarksComeBackAndDie) {
    T->MoveBy(2);
    TBookmark B = T->GetBookmark();
    ASSERT_EQ(B.size(), 4u);
    T->Last();
    T->GotoBookmark(B);
    EXPECT_EQ(ID(), 3);
    EXPECT_TRUE(T->BookmarkValid(B));

    T->First();
    TBookmark First = T->GetBookmark();
    EXPECT_EQ(T->CompareBookmarks(First, B), -1);
    EXPECT_EQ(T->CompareBookmarks(B, First), 1);
    EXPECT_EQ(T->CompareBookmarks(B, B), 0);
    EXPECT_EQ(T->CompareBookmarks(TBookmark(), B), -1);
    EXPECT_EQ(T->CompareBookmarks(TBookmark(), TBookmark()), 0);

    T->GotoBookmark(B);
    T->Delete();
    EXPECT_FALSE(T->BookmarkValid(B)) << "a deleted record's bookmark is no longer valid";
    T->FreeBookmark(B);
    EXPECT_TRUE(B.empty());
    T->Insert();
    EXPECT_TRUE(T->GetBookmark().empty()) << "a record not yet posted has no bookmark";
    T->Cancel();
}

TEST_F(FiveRecords, LocateTable) {
    struct Case {
        const char* Name;
        const char* Fields;
        Variant Keys;
        TLocateOptions Options;
        bool Found;
        int ID;  // where the table stands afterwards
    };
    const Case Cases[] = {
        {"field names without regard to case", "id", Variant(4), {}, true, 4},
        {"a string key", "Name", Variant("charlie"), {}, true, 3},
        {"case-insensitive", "NAME", Variant("DELTA"), {loCaseInsensitive}, true, 4},
        {"case-sensitive refuses other case", "Name", Variant("DELTA"), {}, false, 2},
        {"partial, other case", "Name", Variant("ECH"), {loCaseInsensitive, loPartialKey}, true, 5},
        {"partial, case-sensitive, other case", "Name", Variant("ECH"), {loPartialKey}, false, 2},
        {"two fields", "ID;Name", VarArrayOf({Variant(5), Variant("echo")}), {}, true, 5},
        {"two fields, one differs", "ID; Name", VarArrayOf({Variant(5), Variant("alpha")}), {}, false, 2},
        {"no such record", "ID", Variant(42), {}, false, 2},
    };
    for (const Case& C : Cases) {
        T->First();
        T->Next();
        EXPECT_EQ(T->Locate(C.Fields, C.Keys, C.Options), C.Found) << C.Name;
        EXPECT_EQ(ID(), C.ID) << C.Name;
    }
    EXPECT_EQ(VarToStr(T->Lookup("ID", Variant(3), "Name")), "charlie");
    EXPECT_TRUE(VarIsNull(T->Lookup("ID", Variant(42), "Name")));
    EXPECT_EQ(ID(), 2) << "Lookup does not move";
}

TEST_F(FiveRecords, FilterTable) {
    int Calls = 0;
    T->SetOnFilterRecord(TFilterRecordEvent::FromFunction([&](TDataSet* D, bool& Accept) {
        ++Calls;
        Accept = D->FieldByName("ID")->AsInteger() % 2 == 0;
    }));
    T->SetFiltered(true);
    EXPECT_EQ(AllIDs(), (std::vector<int>{2, 4}));
    EXPECT_GT(Calls, 0);
    T->Last();
    EXPECT_EQ(ID(), 4);
    EXPECT_TRUE(T->Locate("ID", Variant(3), {}) == false) << "a filtered-out record is not found";

    T->SetOnFilterRecord(TFilterRecordEvent::FromFunction([](TDataSet*, bool& Accept) { Accept = false; }));
    T->First();
    EXPECT_TRUE(T->IsEmpty());
    EXPECT_TRUE(T->Bof() && T->Eof());
    T->Next();
    EXPECT_TRUE(T->Eof()) << "next gives end of data";
    T->Prior();
    EXPECT_TRUE(T->Bof()) << "prior gives beginning of data";

    T->SetFiltered(false);
    EXPECT_EQ(AllIDs(), (std::vector<int>{1, 2, 3, 4, 5}));
}

// Persistent fields: two data fields and a calculated one.
class CalculatedFields : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(Create<TTestTable>(nullptr));
        ID = Create<TIntegerField>(T.get());
        ID->SetFieldName("ID");
        ID->SetDataSet(T.get());
        Name = Create<TStringField>(T.get());
        Name->SetFieldName("Name");
        Name->SetDataSet(T.get());
        Label = Create<TStringField>(T.get());
        Label->SetFieldName("Label");
        Label->SetFieldKind(fkCalculated);
        Label->SetSize(40);
        Label->SetDataSet(T.get());
        T->OnCalcFields = TDataSetNotifyEvent::FromFunction([this](TDataSet*) {
            ++Calcs;
            Label->SetAsString(Name->AsString() + "#" + ID->AsString());
        });
        T->Open();
        T->AppendRecord({1, "one"});
        T->AppendRecord({2, "two"});
        T->First();
    }
    TOwned<TTestTable> T;
    TIntegerField* ID;
    TStringField* Name;
    TStringField* Label;
    int Calcs = 0;
};

TEST_F(CalculatedFields, ComputedPerRecordAndAfterEveryChange) {
    EXPECT_EQ(T->FieldDefs()->Count(), 2) << "definitions made from the persistent data fields";
    EXPECT_EQ(Label->AsString(), "one#1");
    T->Next();
    EXPECT_EQ(Label->AsString(), "two#2");
    T->Edit();
    Name->SetAsString("zwei");
    EXPECT_EQ(Label->AsString(), "zwei#2") << "recomputed after a data field changed";
    T->Post();
    EXPECT_EQ(Label->AsString(), "zwei#2");
    T->SetAutoCalcFields(false);
    T->Edit();
    int Before = Calcs;
    Name->SetAsString("deux");
    EXPECT_EQ(Calcs, Before) << "without AutoCalcFields a change computes nothing";
    T->Cancel();
    EXPECT_LT(Label->FieldNo(), 0);
}

TEST_F(CalculatedFields, CalculatedValuesAreWrittenOnlyWhileComputing) {
    try {
        Label->SetAsString("x");
        FAIL();
    } catch (const EDatabaseError& E) {
        EXPECT_EQ(E.Message(), "Dataset not in edit or insert mode");
    }
    T->Close();
    EXPECT_EQ(T->FieldCount(), 3) << "persistent fields stay after closing";
}

TEST(DataSetFieldDefs, StreamedDefinitionsGiveTheFields) {
    TOwned<TTestTable> T(Create<TTestTable>(nullptr));
    std::string Text =
        "object Table1: TTestTable\n"
        "  FieldDefs = <\n"
        "    item\n      Name = 'ID'\n      DataType = ftInteger\n    end\n"
        "    item\n      Name = 'DBName'\n      DataType = ftString\n      Size = 250\n    end\n"
        "    item\n      Name = 'bitArch'\n      DataType = ftBoolean\n    end\n"
        "    item\n      Name = 'DateLast'\n      DataType = ftDateTime\n    end>\n"
        "end\n";
    TMemoryStream Bin;
    TStringStream Src(Text);
    ObjectTextToBinary(&Src, &Bin);
    Bin.SetPosition(0);
    Bin.ReadComponent(T.get());
    ASSERT_EQ(T->FieldDefs()->Count(), 4);
    T->Open();
    ASSERT_EQ(T->FieldCount(), 4);
    EXPECT_TRUE(T->FieldByName("id")->Is<TIntegerField>());
    EXPECT_EQ(T->FieldByName("DBName")->Size(), 250);
    EXPECT_TRUE(T->FieldByName("BITARCH")->Is<TBooleanField>());
    EXPECT_TRUE(T->FieldByName("DateLast")->Is<TDateTimeField>());

    // Written back, the definitions read the same.
    TMemoryStream Out;
    Out.WriteComponent(T.get());
    Out.SetPosition(0);
    TStringStream Txt("");
    ObjectBinaryToText(&Out, &Txt);
    EXPECT_NE(Txt.DataString().find("Size = 250"), std::string::npos) << Txt.DataString();
}

TEST(DataSetFieldDefs, UnknownTypesAndDuplicatesAreRefused) {
    TOwned<TTestTable> T(Create<TTestTable>(nullptr));
    T->FieldDefs()->Add("A", ftInteger);
    EXPECT_THROW(T->FieldDefs()->Add("a", ftString, 5), EDatabaseError);
    T->FieldDefs()->Add("Obj", ftArray);  // object fields are ftADT only
    try {
        T->Open();
        FAIL();
    } catch (const EDatabaseError& E) {
        EXPECT_EQ(E.Message(), "Field 'Obj' is of an unknown type");
    }
    EXPECT_FALSE(T->Active());
}

}  // namespace
