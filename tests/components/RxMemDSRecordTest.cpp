// What the in-memory dataset keeps in a record beyond plain values: records past 64 KiB, blobs and
// their streams, calculated and auto-increment fields, record order by index fields, and the
// notifications that a grid's link receives.
#include "MemoryDataTables.h"

#include <gtest/gtest.h>

using namespace memory_data_tests;

namespace {

TEST(MemoryDataLargeRecords, FieldsPast64KiBStayIntact) {
    TOwned<TRxMemoryData> T(Create<TRxMemoryData>(nullptr));
    const int Wide = 20, Size = 4000;  // about 80,000 bytes of record data
    for (int I = 0; I < Wide; ++I)
        T->FieldDefs()->Add("Text" + IntToStr(I), ftString, Size);
    T->FieldDefs()->Add("Tail", ftInteger);
    T->Open();
    auto Text = [&](int Rec, int Field) { return std::string(Size - Field, static_cast<char>('A' + (Rec * 7 + Field) % 26)); };
    for (int Rec = 0; Rec < 3; ++Rec) {
        T->Append();
        for (int I = 0; I < Wide; ++I)
            T->FieldByName("Text" + IntToStr(I))->SetAsString(Text(Rec, I));
        T->FieldByName("Tail")->SetAsInteger(1000 + Rec);
        T->Post();
    }
    int Rec = 0;
    for (T->First(); !T->Eof(); T->Next(), ++Rec) {
        for (int I = 0; I < Wide; ++I)
            ASSERT_EQ(T->FieldByName("Text" + IntToStr(I))->AsString(), Text(Rec, I)) << "record " << Rec << " field " << I;
        EXPECT_EQ(T->FieldByName("Tail")->AsInteger(), 1000 + Rec);
    }
    EXPECT_EQ(Rec, 3);
}

// A memo and a binary blob beside an ID, with two records whose blobs differ.
class BlobTable : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(Create<TRxMemoryData>(nullptr));
        T->FieldDefs()->Add("ID", ftInteger);
        T->FieldDefs()->Add("Notes", ftMemo);
        T->FieldDefs()->Add("Data", ftBlob);
        T->Open();
        Add(1, "first note", std::string("\x00\x01\xFF\x00", 4));
        Add(2, "second note", "");
        T->First();
    }
    void Add(int ID, const std::string& Notes, const std::string& Data) {
        T->Append();
        T->FieldByName("ID")->SetAsInteger(ID);
        T->FieldByName("Notes")->SetAsString(Notes);
        TStringStream Source(Data);
        Blob()->LoadFromStream(&Source);
        T->Post();
    }
    TBlobField* Blob() { return As<TBlobField>(T->FieldByName("Data")); }
    std::string Notes() { return T->FieldByName("Notes")->AsString(); }
    std::string Data() {
        TStringStream Out("");
        Blob()->SaveToStream(&Out);
        return Out.DataString();
    }
    TOwned<TRxMemoryData> T;
};

TEST_F(BlobTable, EveryRecordKeepsItsOwnBlobs) {
    EXPECT_EQ(Notes(), "first note");
    EXPECT_EQ(Data(), std::string("\x00\x01\xFF\x00", 4));
    EXPECT_EQ(Blob()->BlobSize(), 4);
    T->Next();
    EXPECT_EQ(Notes(), "second note");
    EXPECT_TRUE(Blob()->IsNull());
    T->Prior();
    T->Edit();
    T->FieldByName("Notes")->SetAsString("changed");
    T->Cancel();
    EXPECT_EQ(Notes(), "first note") << "a cancelled edit keeps the stored blob";
    T->Edit();
    T->FieldByName("Notes")->SetAsString("edited");
    T->Post();
    T->Last();
    T->First();
    EXPECT_EQ(Notes(), "edited");
}

TEST_F(BlobTable, StreamsReadWriteAndSeekWithoutBounds) {
    int Changes = 0;
    Blob()->OnChange = TFieldNotifyEvent::FromFunction([&](TField*) { ++Changes; });
    T->Edit();
    {
        TOwned<TStream> S(T->CreateBlobStream(Blob(), bmReadWrite));
        EXPECT_EQ(S->Size(), 4);
        S->SetPosition(2);
        S->WriteBuffer("ab", 2);
        S->Seek(Int64(8), soBeginning);
        S->WriteBuffer("xy", 2);  // past the end: the gap fills with zeros
        EXPECT_EQ(S->Size(), 10);
        char Buf[16];
        S->Seek(Int64(100), soBeginning);
        EXPECT_EQ(S->Read(Buf, 4), 0) << "nothing to read past the end";
        S->Seek(Int64(-2), soEnd);
        ASSERT_EQ(S->Read(Buf, 16), 2);
        EXPECT_EQ(std::string(Buf, 2), "xy");
    }
    EXPECT_EQ(Changes, 1) << "freeing a written stream signals the change";
    EXPECT_TRUE(Blob()->Modified());
    T->Post();
    EXPECT_EQ(Data(), std::string("\x00\x01" "ab\x00\x00\x00\x00xy", 10));
    T->Edit();
    { TOwned<TStream> S(T->CreateBlobStream(Blob(), bmWrite)); }
    EXPECT_EQ(Data(), "") << "opening for writing alone empties the blob";
    T->Cancel();
    EXPECT_EQ(Blob()->BlobSize(), 10);
}

TEST_F(BlobTable, WritingRefusals) {
    struct Case {
        const char* Name;
        std::function<void()> Steps;
        const char* Message;
    };
    const Case Cases[] = {
        {"writing while browsing", [&] { TOwned<TStream> S(T->CreateBlobStream(Blob(), bmWrite)); },
         "Dataset not in edit or insert mode"},
        {"clearing while browsing", [&] { Blob()->Clear(); }, "Dataset not in edit or insert mode"},
        {"a read-only blob",
         [&] {
             Blob()->SetReadOnly(true);
             T->Edit();
             TOwned<TStream> S(T->CreateBlobStream(Blob(), bmReadWrite));
         },
         "Field 'Data' cannot be modified"},
    };
    for (const Case& C : Cases) {
        SetUp();
        try {
            C.Steps();
            ADD_FAILURE() << C.Name << ": no error";
        } catch (const EDatabaseError& E) {
            EXPECT_EQ(E.Message(), C.Message) << C.Name;
        }
        EXPECT_EQ(Data(), std::string("\x00\x01\xFF\x00", 4)) << C.Name;
    }
}

TEST_F(BlobTable, AnEmptyTableHasNoBlobToRead) {
    T->EmptyTable();
    EXPECT_TRUE(Blob()->IsNull());
    EXPECT_EQ(Notes(), "");
    TOwned<TStream> S(T->CreateBlobStream(Blob(), bmRead));
    char Buf[4];
    EXPECT_EQ(S->Read(Buf, 4), 0);
}

// Persistent fields: an auto-increment number, a name and a calculated upper-case copy of it.
class CalculatedTable : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(Create<TRxMemoryData>(nullptr));
        auto* N = Create<TAutoIncField>(T.get());
        N->SetFieldName("N");
        N->SetDataSet(T.get());
        auto* Name = Create<TStringField>(T.get());
        Name->SetFieldName("Name");
        Name->SetSize(10);
        Name->SetDataSet(T.get());
        auto* Upper = Create<TStringField>(T.get());
        Upper->SetFieldName("Upper");
        Upper->SetSize(10);
        Upper->SetFieldKind(fkCalculated);
        Upper->SetDataSet(T.get());
        T->OnCalcFields = TDataSetNotifyEvent::FromFunction([](TDataSet* D) {
            D->FieldByName("Upper")->SetAsString(UpperCase(D->FieldByName("Name")->AsString()));
        });
        T->Open();
    }
    void Add(const char* Name) {
        T->Append();
        T->FieldByName("Name")->SetAsString(Name);
        T->Post();
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> R;
        for (T->First(); !T->Eof(); T->Next())
            R.push_back(T->FieldByName("N")->AsString() + T->FieldByName("Name")->AsString() +
                        T->FieldByName("Upper")->AsString());
        return R;
    }
    TOwned<TRxMemoryData> T;
};

TEST_F(CalculatedTable, AutoIncrementAndCalculatedValues) {
    Add("ab");
    Add("cd");
    T->First();
    T->InsertRecord({Variant(), "ef"});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"3efEF", "1abAB", "2cdCD"}));
    EXPECT_EQ(T->FieldDefs()->Count(), 2) << "only the data fields are stored";
    T->First();
    T->Edit();
    T->FieldByName("Name")->SetAsString("gh");
    EXPECT_EQ(T->FieldByName("Upper")->AsString(), "GH") << "recalculated on the change";
    T->Post();
    EXPECT_EQ(T->FieldByName("N")->AsInteger(), 3) << "editing keeps the number";
    // Closing resets the counter with the records.
    T->Close();
    T->Open();
    Add("ij");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"1ijIJ"}));
}

// Exposes the index field list that CompareRecords orders by.
class TSortableMemoryData : public TRxMemoryData {
public:
    using TRxMemoryData::TRxMemoryData;
    void SetIndex(const std::string& FieldNames, bool CaseInsensitive, bool Descending) {
        CreateIndexList(FieldNames);
        FCaseInsensitiveSort = CaseInsensitive;
        FDescendingSort = Descending;
    }
};

TEST(MemoryDataCompareRecordsLocale, OrderByIndexFieldsThenID) {
    TOwned<TSortableMemoryData> T(Create<TSortableMemoryData>(nullptr));
    T->FieldDefs()->Add("Name", ftString, 10);
    T->FieldDefs()->Add("Num", ftInteger);
    T->FieldDefs()->Add("Flag", ftBoolean);
    T->FieldDefs()->Add("Amount", ftFloat);
    T->Open();
    T->AppendRecord({"beta", 2, true, 1.5});
    T->AppendRecord({"Alpha", 2, false, 2.5});
    T->AppendRecord({"alpha", Null(), false, 2.5});
    struct Case {
        const char* Fields;
        bool CaseInsensitive, Descending;
        int A, B, Result;
    };
    const Case Cases[] = {
        {"Name", false, false, 0, 1, 1},
        {"Name", false, true, 0, 1, -1},
        {"Name", true, false, 1, 2, -1},  // equal names: the older record first
        {"Name", false, false, 1, 2, AnsiCompareStr("Alpha", "alpha")},
        {"Num", false, false, 0, 1, -1},
        {"Num", false, true, 0, 1, 1},
        {"Num", false, false, 1, 2, 1},  // a value after no value
        {"Num", false, false, 2, 1, -1},
        {"Flag", false, false, 0, 1, 1},
        {"Amount", false, false, 0, 1, -1},
        {"Num;Amount", false, true, 0, 1, 1},
        {"Flag;Amount", false, false, 1, 2, -1},
        {"", false, false, 1, 1, 0},
    };
    for (const Case& C : Cases) {
        T->SetIndex(C.Fields, C.CaseInsensitive, C.Descending);
        EXPECT_EQ(T->CompareRecords(T->Records(C.A), T->Records(C.B)), C.Result)
            << C.Fields << " " << C.A << "/" << C.B << (C.Descending ? " descending" : "");
    }
}

// Writes every notification it gets as a line.
class TRecordingLink : public TDataLink {
public:
    std::vector<std::string> Log;

protected:
    void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { Log.push_back("changed"); }
    void DataSetScrolled(int Distance) override { Log.push_back("scrolled " + IntToStr(Distance)); }
    void EditingChanged() override { Log.push_back(Editing() ? "editing" : "not editing"); }
    void LayoutChanged() override { Log.push_back("layout"); }
    void RecordChanged(TField* Field) override { Log.push_back("record " + (Field ? Field->FieldName() : std::string("-"))); }
    void UpdateData() override { Log.push_back("update data"); }
};

// The log table with twenty lines behind a data source with a five-row link, as the log grid.
class LogGridLink : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(LogTable());
        T->Open();
        for (int I = 1; I <= 20; ++I)
            T->AppendRecord({I, 45000.0 + I, "Succesfull", "SRV", "db", "D:\\b.bak"});
        T->First();
        Source.reset(Create<TDataSource>(nullptr));
        Source->SetDataSet(T.get());
        Link.SetBufferCount(5);
        Link.SetDataSource(Source.get());
        Link.Log.clear();
    }
    void TearDown() override { Link.SetDataSource(nullptr); }
    int ID() { return T->FieldByName("memID")->AsInteger(); }
    // The window's rows read through ActiveRecord, as the grid draws them.
    std::vector<int> Window() {
        std::vector<int> R;
        int Saved = Link.ActiveRecord();
        for (int Row = 0; Row < Link.RecordCount(); ++Row) {
            Link.SetActiveRecord(Row);
            R.push_back(ID());
        }
        Link.SetActiveRecord(Saved);
        return R;
    }
    TOwned<TRxMemoryData> T;
    TOwned<TDataSource> Source;
    TRecordingLink Link;
};

TEST_F(LogGridLink, TheGridSeesEveryChange) {
    EXPECT_EQ(Window(), (std::vector<int>{1, 2, 3, 4, 5}));

    EXPECT_TRUE(T->Locate("memID", 12, {}));
    EXPECT_EQ(ID(), 12);
    EXPECT_EQ(Link.Log.back(), "changed");
    std::vector<int> W = Window();
    EXPECT_EQ(W.size(), 5u);
    EXPECT_EQ(W[static_cast<std::size_t>(Link.ActiveRecord())], 12);

    Link.Log.clear();
    T->Edit();
    T->FieldByName("memRes")->SetAsString("error");
    T->Post();
    EXPECT_EQ(Link.Log, (std::vector<std::string>{"editing", "record -", "record memRes", "update data", "not editing", "changed"}));

    Link.Log.clear();
    T->Delete();
    EXPECT_EQ(Link.Log, (std::vector<std::string>{"changed"}));
    EXPECT_EQ(ID(), 13);

    Link.Log.clear();
    T->Last();
    EXPECT_EQ(Window(), (std::vector<int>{16, 17, 18, 19, 20}));
    T->Append();
    T->FieldByName("memID")->SetAsInteger(21);
    T->Post();
    EXPECT_EQ(Window(), (std::vector<int>{17, 18, 19, 20, 21}));

    Link.Log.clear();
    T->EmptyTable();
    EXPECT_EQ(Link.Log, (std::vector<std::string>{"changed"}));
    EXPECT_EQ(Link.RecordCount(), 0);

    Link.Log.clear();
    T->Close();
    T->Open();
    EXPECT_EQ(Link.Log, (std::vector<std::string>{"inactive", "active"}));
    EXPECT_TRUE(Window().empty());
}

}  // namespace
