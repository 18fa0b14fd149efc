#include "RxMemDS.h"
#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxDBEdtr.h"

#include <memory>

using namespace treelist_tests;

namespace {
// Fruits (ID, Name): 1 Banana, 2 Apple, 3 Cherry, 4 Apricot; Orders (FruitID, lookup Fruit) with
// one order of a banana, in edit state as a grid holds a record being edited.
struct LookupEditTest : TEditorTest<TdxInplaceLookupEdit> {
    std::unique_ptr<TRxMemoryData, TObjectDeleter> Fruits, Orders;
    TField* FruitID = nullptr;
    TField* Fruit = nullptr;

    void SetUp() override {
        TEditorTest::SetUp();
        Fruits.reset(Create<TRxMemoryData>(nullptr));
        Fruits->FieldDefs()->Add("ID", ftInteger);
        Fruits->FieldDefs()->Add("Name", ftString, 20);
        Fruits->Open();
        const char* Names[] = {"Banana", "Apple", "Cherry", "Apricot"};
        for (int I = 0; I < 4; ++I) {
            Fruits->Append();
            Fruits->FieldByName("ID")->SetAsInteger(I + 1);
            Fruits->FieldByName("Name")->SetAsString(Names[I]);
            Fruits->Post();
        }
        Fruits->First();
        Orders.reset(Create<TRxMemoryData>(nullptr));
        FruitID = Create<TIntegerField>(Orders.get());
        FruitID->SetFieldName("FruitID");
        FruitID->SetDataSet(Orders.get());
        Fruit = Create<TStringField>(Orders.get());
        Fruit->SetFieldName("Fruit");
        Fruit->SetSize(20);
        Fruit->SetFieldKind(fkLookup);
        Fruit->SetLookupDataSet(Fruits.get());
        Fruit->SetKeyFields("FruitID");
        Fruit->SetLookupKeyFields("ID");
        Fruit->SetLookupResultField("Name");
        Fruit->SetDataSet(Orders.get());
        Orders->Open();
        Orders->Append();
        FruitID->SetAsInteger(1);
        Orders->Post();
        Orders->Edit();
        ASSERT_EQ("Banana", Fruit->DisplayText());
        Edit->SetEditField(Fruit);
        Edit->ImmediateDropDown = false;
        Open(Variant(Fruit->DisplayText()));
        Edit->SetFocus();
    }
    void Press(char Ch) {
        char K = Ch;
        Edit->KeyPress(K);
    }
};
}  // namespace

TEST_F(LookupEditTest, TypingAPrefixShowsTheMatchAndWritesItsKey) {
    ASSERT_EQ("Banana", Edit->Text());
    Press('a');
    EXPECT_EQ("Apple", Edit->Text());
    EXPECT_EQ(2, FruitID->AsInteger());
    Press('p');
    EXPECT_EQ("Apple", Edit->Text());
    EXPECT_EQ(2, FruitID->AsInteger());
    int Start = 0, End = 0;
    Edit->GetSelection(Start, End);
    EXPECT_EQ(2, Start) << "the completed part stays selected";
    EXPECT_EQ(5, End);
    EXPECT_TRUE(Edit->GetModified());
    // "apr" goes on to Apricot; a letter that matches nothing is taken back.
    Press('r');
    EXPECT_EQ("Apricot", Edit->Text());
    EXPECT_EQ(4, FruitID->AsInteger());
    Press('z');
    EXPECT_EQ("Apricot", Edit->Text());
    EXPECT_EQ("apr", Edit->SearchText());
    // Backspace steps the search back one character and completes again; the list's current
    // record, Apricot, still starts with "ap".
    Press('\b');
    EXPECT_EQ("ap", Edit->SearchText());
    EXPECT_EQ("Apricot", Edit->Text());
    Edit->GetSelection(Start, End);
    EXPECT_EQ(2, Start);
    Orders->Post();
    EXPECT_EQ("Apricot", Fruit->DisplayText());
}

TEST_F(LookupEditTest, StepsThroughTheListAndClearsWhenAllowed) {
    Edit->StepValue(1, false);
    EXPECT_EQ(2, FruitID->AsInteger());
    EXPECT_EQ("Apple", Edit->Text());
    Edit->StepValue(2, true);
    EXPECT_EQ(4, FruitID->AsInteger());
    // Past the last row with cycling: the first.
    Edit->StepValue(1, true);
    EXPECT_EQ(1, FruitID->AsInteger());
    Edit->CanDeleteText = true;
    Edit->SelectAll();
    Press('\b');
    EXPECT_TRUE(FruitID->IsNull());
    EXPECT_EQ("", Edit->Text());
}

TEST_F(LookupEditTest, DropDownListShowsTheRowsAndAcceptsThePick) {
    Edit->DropDownRows = 7;
    Edit->OpenPopup();
    ASSERT_TRUE(Edit->DroppedDown);
    TPopupDBLookupListBox* L = Edit->LookupListBox();
    EXPECT_TRUE(IsWindowVisible(L->Handle()));
    EXPECT_EQ(4, L->RowCount()) << "fewer records than rows shrink the list";
    EXPECT_EQ("Banana", L->RowText(0));
    EXPECT_EQ(0, L->SelectedRow());
    L->SelectRowAt(2 * L->ItemHeight() + 1);
    EXPECT_EQ(Variant(3), L->KeyValue());
    Edit->ClosePopup(true);
    EXPECT_FALSE(IsWindowVisible(L->Handle()));
    EXPECT_EQ(3, FruitID->AsInteger());
    EXPECT_EQ("Cherry", Edit->Text());
    // Cancelled: the key stays.
    Edit->OpenPopup();
    L->SelectRowAt(1);
    Edit->ClosePopup(false);
    EXPECT_EQ(3, FruitID->AsInteger());
}

TEST_F(LookupEditTest, ListSourceModeShowsTheListTextOfItsKey) {
    auto* Source = Create<TDataSource>(Form);
    Source->SetDataSet(Fruits.get());
    Edit->SetEditField(nullptr);
    Edit->SetUseLookupField(false);
    Edit->OwnKeyValue = true;
    Edit->ListKeyFields = "ID";
    Edit->SetListFieldName("Name");
    Edit->ListLink()->SetDataSource(Source);
    Edit->SetEditValue(Variant(3));
    EXPECT_EQ("Cherry", Edit->Text());
    Press('b');
    EXPECT_EQ("Banana", Edit->Text());
    EXPECT_EQ(Variant(1), Edit->LookupKeyValue());
    EXPECT_EQ(1, FruitID->AsInteger()) << "an editor that keeps its own key writes no field";
}

TEST_F(LookupEditTest, ListSourceOfTheEditorsOwnDataIsACircularLink) {
    struct TOwnLinkEdit : TdxInplaceLookupEdit {
        using TdxInplaceLookupEdit::TdxInplaceLookupEdit;
        TDataLink* OwnLink = nullptr;
        TDataLink* GetEditorDataLink() override { return OwnLink; }
    };
    auto* Own = Create<TDataSource>(Form);
    Own->SetDataSet(Fruits.get());
    TDataLink Link;
    Link.SetDataSource(Own);
    auto* E = new TOwnLinkEdit(Form);
    E->OwnLink = &Link;
    E->SetUseLookupField(false);
    E->ListKeyFields = "ID";
    try {
        E->ListLink()->SetDataSource(Own);
        ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& Error) {
        EXPECT_NE(std::string::npos, Error.Message().find("Circular datalinks are not allowed"));
    }
    E->ListLink()->SetDataSource(nullptr);
    E->Free();
}
