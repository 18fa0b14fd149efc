// Data sources and links: which notifications arrive and in what order, the link's window of
// records over the buffer ring, disabled controls, circular links, the field link.
#include "DataSetTestTable.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Writes every notification it gets as a line.
class TRecordingLink : public TDataLink {
public:
    std::vector<std::string> Log;

protected:
    void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
    void CheckBrowseMode() override { Log.push_back("check browse"); }
    void DataSetChanged() override { Log.push_back("changed"); }
    void DataSetScrolled(int Distance) override { Log.push_back("scrolled " + IntToStr(Distance)); }
    void EditingChanged() override { Log.push_back(Editing() ? "editing" : "not editing"); }
    void LayoutChanged() override { Log.push_back("layout"); }
    void RecordChanged(TField* Field) override { Log.push_back("record " + (Field ? Field->FieldName() : std::string("-"))); }
    void UpdateData() override { Log.push_back("update data"); }
};

// Ten records (ID 1..10) behind a data source with one recording link.
class LinkedTable : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(Create<TTestTable>(nullptr));
        T->FieldDefs()->Add("ID", ftInteger);
        T->FieldDefs()->Add("Name", ftString, 10);
        T->Open();
        for (int I = 1; I <= 10; ++I)
            T->AppendRecord({I, "n" + IntToStr(I)});
        T->First();
        Source.reset(Create<TDataSource>(nullptr));
        Source->SetDataSet(T.get());
        Link.SetDataSource(Source.get());
        Link.Log.clear();
    }
    void TearDown() override { Link.SetDataSource(nullptr); }
    int ID() { return T->FieldByName("ID")->AsInteger(); }
    // The IDs of the link's window, read row by row through ActiveRecord as a grid draws them.
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
    TOwned<TTestTable> T;
    TOwned<TDataSource> Source;
    TRecordingLink Link;
};

TEST_F(LinkedTable, NotificationsInOrder) {
    struct Case {
        const char* Name;
        std::function<void(TDataSet&)> Steps;
        std::vector<std::string> Log;
    };
    const Case Cases[] = {
        {"next: the one-row window moves on", [](TDataSet& D) { D.Next(); }, {"check browse", "scrolled 1"}},
        {"last", [](TDataSet& D) { D.Last(); }, {"check browse", "changed"}},
        {"edit, set, post",
         [](TDataSet& D) {
             D.Edit();
             D.FieldByName("Name")->SetAsString("x");
             D.Post();
         },
         {"check browse", "editing", "record -", "record Name", "update data", "check browse", "not editing", "changed"}},
        {"insert, cancel", [](TDataSet& D) { D.Insert(); D.Cancel(); },
         {"check browse", "editing", "changed", "check browse", "not editing", "changed"}},
        {"close, open", [](TDataSet& D) { D.Close(); D.Open(); }, {"inactive", "active"}},
        {"disabled controls: one change at the end",
         [](TDataSet& D) {
             D.DisableControls();
             D.Next();
             D.Edit();
             D.FieldByName("Name")->SetAsString("y");
             D.Post();
             D.EnableControls();
         },
         {"changed"}},
        {"a field's layout", [](TDataSet& D) { D.FieldByName("Name")->SetDisplayLabel("Title"); }, {"layout"}},
    };
    for (const Case& C : Cases) {
        T->First();
        Link.Log.clear();
        C.Steps(*T);
        EXPECT_EQ(Link.Log, C.Log) << C.Name;
    }
}

TEST_F(LinkedTable, SourceEventsAndState) {
    std::vector<std::string> Log;
    Source->OnStateChange = TNotifyEvent::FromFunction([&](TObject*) { Log.push_back("state " + GetEnumName(TypeInfoFor<TDataSetState>(), Source->State())); });
    Source->OnDataChange = TDataChangeEvent::FromFunction([&](TObject*, TField* F) { Log.push_back("data " + (F ? F->FieldName() : std::string("-"))); });
    T->Edit();
    T->FieldByName("ID")->SetAsInteger(5);
    T->Cancel();
    EXPECT_EQ(Log, (std::vector<std::string>{"state dsEdit", "data -", "data ID", "state dsBrowse", "data -"}));
    Log.clear();
    Source->SetEnabled(false);
    T->Next();
    EXPECT_EQ(Log, (std::vector<std::string>{"state dsInactive"})) << "a disabled source passes nothing on";
    EXPECT_FALSE(Link.Active());
    Source->SetEnabled(true);
    EXPECT_TRUE(Link.Active());
}

TEST_F(LinkedTable, AutoEditThroughTheLink) {
    EXPECT_TRUE(Link.Edit());
    EXPECT_EQ(T->State(), dsEdit);
    T->Cancel();
    Source->SetAutoEdit(false);
    EXPECT_FALSE(Link.Edit());
    Link.SetReadOnly(true);
    Source->SetAutoEdit(true);
    EXPECT_FALSE(Link.Edit()) << "a read-only link never edits";
    EXPECT_EQ(T->State(), dsBrowse);
}

TEST_F(LinkedTable, WindowFollowsTheActiveRecord) {
    Link.SetBufferCount(4);
    EXPECT_EQ(Window(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Link.ActiveRecord(), 0);
    T->MoveBy(3);
    EXPECT_EQ(Window(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Link.ActiveRecord(), 3);
    Link.Log.clear();
    T->Next();
    EXPECT_EQ(Window(), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(Link.Log, (std::vector<std::string>{"check browse", "scrolled 1"}));
    T->Last();
    EXPECT_EQ(Window(), (std::vector<int>{7, 8, 9, 10}));
    EXPECT_EQ(Link.ActiveRecord(), 3);
    T->MoveBy(-5);
    EXPECT_EQ(ID(), 5);
    EXPECT_EQ(Window(), (std::vector<int>{5, 6, 7, 8}));
    EXPECT_EQ(Link.ActiveRecord(), 0);
    // A wider window fills from the records around the current one.
    Link.SetBufferCount(8);
    EXPECT_EQ(Window(), (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(ID(), 5);
    Link.SetBufferCount(20);
    EXPECT_EQ(Link.RecordCount(), 10);
    EXPECT_EQ(Window().front(), 1);
    EXPECT_EQ(ID(), 5);
    // A narrower window keeps the current record inside it.
    Link.SetBufferCount(3);
    EXPECT_EQ(ID(), 5);
    std::vector<int> Narrow = Window();
    ASSERT_EQ(Narrow.size(), 3u);
    EXPECT_NE(std::find(Narrow.begin(), Narrow.end(), 5), Narrow.end());
    T->MoveBy(3);
    EXPECT_EQ(Window(), (std::vector<int>{6, 7, 8}));
}

TEST_F(LinkedTable, TwoLinksShareTheRing) {
    TRecordingLink Small;
    Small.SetDataSource(Source.get());
    Link.SetBufferCount(6);
    T->MoveBy(4);  // ID 5
    std::vector<int> Wide = Window();
    EXPECT_EQ(Small.RecordCount(), 1);
    Small.SetActiveRecord(Small.ActiveRecord());
    EXPECT_EQ(ID(), 5) << "the one-row link sits on the active record";
    T->Last();
    EXPECT_EQ(Window(), (std::vector<int>{5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Small.ActiveRecord(), 0);
    EXPECT_EQ(ID(), 10);
    (void)Wide;
    Small.SetDataSource(nullptr);
}

TEST_F(LinkedTable, RefreshAndResyncKeepTheRow) {
    Link.SetBufferCount(5);
    T->MoveBy(6);  // ID 7, on the last row of 3..7
    int Row = Link.ActiveRecord();
    T->Refresh();
    EXPECT_EQ(ID(), 7);
    EXPECT_EQ(Link.ActiveRecord(), Row);
    TBookmark B = T->GetBookmark();
    T->First();
    T->GotoBookmark(B);
    EXPECT_EQ(ID(), 7);
}

// A data set linked to a master through a data source, to test circular links.
class TDetailTable : public TTestTable {
    DECLARE_CLASS(TDetailTable, TTestTable)
public:
    using TTestTable::TTestTable;
    TDataSource* Master = nullptr;
    TDataSource* GetDataSource() const override { return Master; }
};

TEST(DataLinkCircular, IsRefused) {
    TOwned<TDetailTable> A(Create<TDetailTable>(nullptr));
    TOwned<TDataSource> S(Create<TDataSource>(nullptr));
    A->Master = S.get();
    try {
        S->SetDataSet(A.get());
        FAIL();
    } catch (const EDatabaseError& E) {
        EXPECT_EQ(E.Message(), "Circular datalinks are not allowed");
    }
    EXPECT_EQ(S->DataSet(), nullptr);
}

TEST_F(LinkedTable, FreeingTheDataSetDetaches) {
    T.reset();
    EXPECT_EQ(Source->DataSet(), nullptr);
    EXPECT_FALSE(Link.Active());
}

TEST_F(LinkedTable, FieldLinkFollowsItsField) {
    TFieldDataLink FL;
    std::vector<std::string> Log;
    std::string Shown;
    FL.OnDataChange = TNotifyEvent::FromFunction([&](TObject*) { Shown = FL.Field() ? FL.Field()->AsString() : ""; Log.push_back("data"); });
    FL.OnEditingChange = TNotifyEvent::FromFunction([&](TObject*) { Log.push_back(FL.Editing() ? "editing" : "browsing"); });
    FL.OnUpdateData = TNotifyEvent::FromFunction([&](TObject*) { FL.Field()->SetAsString("typed"); });
    FL.SetFieldName("name");
    FL.SetDataSource(Source.get());
    ASSERT_NE(FL.Field(), nullptr);
    EXPECT_EQ(Shown, "n1");
    T->Next();
    EXPECT_EQ(Shown, "n2");
    Log.clear();
    ASSERT_TRUE(FL.Edit());
    T->FieldByName("ID")->SetAsInteger(99);
    EXPECT_EQ(Log, (std::vector<std::string>{"editing", "data"})) << "another field's change is not this link's";
    FL.Modified();
    T->Post();
    EXPECT_EQ(T->FieldByName("Name")->AsString(), "typed") << "posting takes the control's value";
    FL.SetDataSource(nullptr);
    EXPECT_EQ(FL.Field(), nullptr);
}

}  // namespace
