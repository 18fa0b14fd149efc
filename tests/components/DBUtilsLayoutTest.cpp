// The field layout routines of the dataset utilities on the log table: stored and read back
// through an INI store, with positions, widths and visibility, duplicate and bad values.
#include "DBUtils.h"

#include "IniFiles.h"
#include "MemoryDataTables.h"
#include "RxTestSupport.h"

using namespace memory_data_tests;

namespace {

class FieldLayout : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(LogTable());
        T->SetName("rxMem");
        T->Open();
    }
    std::vector<std::string> Order() {
        std::vector<std::string> R;
        for (int I = 0; I < T->FieldCount(); ++I)
            R.push_back(T->Fields()->Fields(I)->FieldName());
        return R;
    }
    TOwned<TRxMemoryData> T;
    TMemIniFile Ini{""};
};

TEST_F(FieldLayout, StoredLayoutComesBack) {
    T->FieldByName("memRes")->SetIndex(0);
    T->FieldByName("memDB")->SetDisplayWidth(33);
    T->FieldByName("memPathFile")->SetVisible(false);
    StoreFieldLayout(T.get(), &Ini, "t2");
    EXPECT_EQ(Ini.ReadString("t2", "rxMemmemRes", ""), "0,255,1");
    EXPECT_EQ(Ini.ReadString("t2", "rxMemmemPathFile", ""), "5,255,0");

    T->FieldByName("memRes")->SetIndex(5);
    T->FieldByName("memDB")->SetDisplayWidth(10);
    T->FieldByName("memPathFile")->SetVisible(true);
    LoadFieldLayout(T.get(), &Ini, "t2", false);
    EXPECT_EQ(Order(), (std::vector<std::string>{"memRes", "memID", "memDateTime", "memServer", "memDB", "memPathFile"}));
    EXPECT_EQ(T->FieldByName("memDB")->DisplayWidth(), 33);
    EXPECT_TRUE(T->FieldByName("memPathFile")->Visible()) << "visibility only when asked";
    LoadFieldLayout(T.get(), &Ini, "t2", true);
    EXPECT_FALSE(T->FieldByName("memPathFile")->Visible());
}

TEST_F(FieldLayout, StoredValuesTable) {
    struct Case {
        const char* Name;
        std::vector<std::pair<const char*, const char*>> Values;
        std::vector<std::string> Order;
        int IDWidth;
    };
    const std::vector<std::string> Designed{"memID", "memDateTime", "memRes", "memServer", "memDB", "memPathFile"};
    const Case Cases[] = {
        {"nothing stored keeps everything", {}, Designed, 0},
        {"one field to the end", {{"rxMemmemID", "5,40,1"}}, {"memDateTime", "memRes", "memServer", "memDB", "memPathFile", "memID"}, 40},
        {"the same index twice goes to the first field only",
         {{"rxMemmemID", "3,12,1"}, {"rxMemmemDateTime", "3,12,1"}},
         {"memDateTime", "memRes", "memServer", "memID", "memDB", "memPathFile"}, 12},
        {"words that are not numbers keep index and width", {{"rxMemmemID", "x,y,z"}}, Designed, 0},
        {"an index out of range is never applied", {{"rxMemmemID", "17,9,1"}}, Designed, 9},
        {"blank separators work as commas", {{"rxMemmemID", "0 20 1"}}, Designed, 20},
        {"fields without a value keep their places first",
         {{"rxMemmemRes", "0,7,1"}}, Designed, 0},
    };
    for (const Case& C : Cases) {
        T.reset(LogTable());
        T->SetName("rxMem");
        T->Open();
        int DefaultWidth = T->FieldByName("memID")->DisplayWidth();
        Ini.Clear();
        for (auto& [Key, Value] : C.Values)
            Ini.WriteString("t2", Key, Value);
        LoadFieldLayout(T.get(), &Ini, "t2", true);
        EXPECT_EQ(Order(), C.Order) << C.Name;
        EXPECT_EQ(T->FieldByName("memID")->DisplayWidth(), C.IDWidth ? C.IDWidth : DefaultWidth) << C.Name;
    }
}

TEST_F(FieldLayout, SectionNamesTable) {
    EXPECT_EQ(DataSetSectionName(T.get()), "rxMem");
    EXPECT_EQ(SectionOrDataSetName(T.get(), ""), "rxMem");
    EXPECT_EQ(SectionOrDataSetName(T.get(), "t2"), "t2");
    rx_tests::EnsureControls();
    TForm* Form = TForm::CreateNew(nullptr);
    auto* Owned = As<TDataSet>(TRxMemoryData::StaticClass()->CreateInstance(Form));
    Owned->SetName("rxOwned");
    EXPECT_EQ(DataSetSectionName(Owned), "TForm") << "a dataset on a form takes the form's section";
    Form->Free();
    // Without a section the dataset's own name is the section.
    StoreFieldLayout(T.get(), &Ini, "");
    EXPECT_EQ(Ini.ReadString("rxMem", "rxMemmemID", ""), "0," + IntToStr(T->FieldByName("memID")->DisplayWidth()) + ",1");
}

}  // namespace
