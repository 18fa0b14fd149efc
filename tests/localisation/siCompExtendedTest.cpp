// Extended translations: dotted paths from the owner or its components resolved (bad paths are
// unresolved, never an error), properties read and written as text by kind, and the values of the
// active language applied, a stale item skipped without stopping the rest.
#include "LocalisationTestComponents.h"

using namespace loctest;

namespace {

struct TExtendedPaths : ::testing::Test {
    TLangWithBoxes F{"Grid", "Edit"};
    TPropsBox* Grid = F.Box("Grid");
    TPropsBox* Edit = F.Box("Edit");
    void SetUp() override {
        Grid->Columns()->Add();
        Grid->Columns()->Add();
        Grid->Column(1)->Title()->Caption = "old";
    }
    void AddItem(const std::string& Identifier, const std::string& Values) {
        TsiExtendedItem* Item = F.Lang->ExtendedTranslations()->Add();
        Item->SetIdentifier(Identifier);
        Item->SetValues(Values);
    }
};

TEST_F(TExtendedPaths, Resolution) {
    const struct {
        const char* Identifier;
        TObject* Holder;
        TTypeKind Kind;
    } Cases[] = {
        {"Grid.Columns[1].Title.Caption", Grid->Column(1)->Title(), tkLString},
        {"Grid.Columns[0].Text", Grid->Column(0), tkLString},
        {"Edit.Title.Caption", Edit->Title(), tkLString},
        {"Edit.Count", Edit, tkInteger},
        {"Edit.Lines", Edit, tkClass},
        {"Edit.Font", Edit, tkUnknown},  // an object that is no string list
        {"TCaptionOwner.Caption", F.Owner.get(), tkLString},
        {"Edit.Missing", Edit, tkUnknown},
        // Unresolved paths: none of them is an error.
        {"Grid.Columns[2].Title.Caption", nullptr, tkUnknown},
        {"Grid.Columns[-1].Title.Caption", nullptr, tkUnknown},
        {"Grid.Columns[x].Title.Caption", nullptr, tkUnknown},
        {"Grid.Columns[1.Title.Caption", nullptr, tkUnknown},
        {"Grid.Nothing.Caption", nullptr, tkUnknown},
        {"Nobody.Caption", nullptr, tkUnknown},
        {"Caption", nullptr, tkUnknown},
        {"", nullptr, tkUnknown},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(F.Lang->ResolvePathOwner(C.Identifier), C.Holder) << C.Identifier;
        EXPECT_EQ(F.Lang->GetPropertyTypeKind(C.Identifier), C.Kind) << C.Identifier;
        EXPECT_NO_THROW(F.Lang->SetPropertyText(C.Identifier, "1")) << C.Identifier;
    }
}

TEST_F(TExtendedPaths, TextByKind) {
    const struct {
        const char* Identifier;
        std::string Text;
    } Cases[] = {
        {"Edit.Count", "-42"},
        {"Edit.Big", "8589934592"},  // beyond 32 bits
        {"Edit.Align", "alClient"},
        {"Edit.Anchors", "akLeft,akBottom"},
        {"Edit.Caption", Cp1251(L"Сервер")},
        {"Edit.WideText", Cp1251(L"Сервер")},
        {"Edit.Lines", "a,\"b c\""},
        {"Grid.Columns[1].Title.Caption", "Server"},
    };
    F.Lang->CharSets()->Add(Entry({"TCaptionOwner", "RUSSIAN_CHARSET", "RUSSIAN_CHARSET"}));
    F.Lang->RefreshActiveCharset();
    for (const auto& C : Cases) {
        F.Lang->SetPropertyText(C.Identifier, C.Text);
        EXPECT_EQ(F.Lang->GetPropertyText(C.Identifier), C.Text) << C.Identifier;
    }
    F.Lang->SetPropertyText("Edit.Ratio", "2" + std::string(1, DecimalSeparator) + "5");
    EXPECT_EQ(Edit->Ratio, 2.5);

    // A text that does not fit its property leaves the property as it was.
    for (const char* Bad : {"Edit.Count", "Edit.Align", "Edit.Anchors", "Edit.Big", "Edit.Ratio"})
        F.Lang->SetPropertyText(Bad, "not a value");
    EXPECT_EQ(Edit->Count, -42);
    EXPECT_EQ(Edit->Align, alClient);
    EXPECT_EQ(Edit->Big, 8589934592LL);
    EXPECT_EQ(Edit->Ratio, 2.5);
}

TEST_F(TExtendedPaths, StringListsKeepTheirObjectsAndShrink) {
    Edit->Lines()->SetCommaText("x,y,z");
    Edit->Lines()->SetObjects(0, Edit);
    F.Lang->SetPropertyText("Edit.Lines", "a,b");
    EXPECT_EQ(Lines(Edit->Lines()), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Edit->Lines()->Objects(0), Edit) << "a replaced line keeps its object";
}

TEST_F(TExtendedPaths, ApplyingSkipsStaleItemsAndEmptyValues) {
    AddItem("Grid.Columns[7].Title.Caption", Cp1251(L"Сервер") + D + "Server" + D);  // a column removed since
    AddItem("Grid.Columns[1].Title.Caption", Cp1251(L"База") + D + "Database" + D);
    AddItem("Edit.Caption", Cp1251(L"Имя") + D + D);
    AddItem("Edit.Hint", std::string(1, D) + "English only" + D);
    Edit->Caption = "as designed";
    int Changes = 0;
    F.Lang->OnChangeLanguage = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });

    F.Lang->SetActiveLanguage(2);
    EXPECT_EQ(Grid->Column(1)->Title()->Caption, "Database");
    EXPECT_EQ(Edit->Caption, "as designed") << "an empty value leaves the property";
    EXPECT_EQ(Edit->Hint, "English only");
    EXPECT_EQ(Changes, 1) << "the stale column did not stop the switch";

    F.Lang->SetActiveLanguage(1);
    EXPECT_EQ(Grid->Column(1)->Title()->Caption, Cp1251(L"База"));
    EXPECT_EQ(Edit->Caption, Cp1251(L"Имя"));
    EXPECT_EQ(Edit->Hint, "English only") << "language 1 is empty";

    F.Lang->SetTranslateType(ttGetDefault);
    F.Lang->SetActiveLanguage(2);
    EXPECT_EQ(Edit->Caption, Cp1251(L"Имя")) << "ttGetDefault takes the first value";
}

TEST_F(TExtendedPaths, IdentifierFollowsARenamedComponent) {
    AddItem("Edit.Title.Caption", std::string("a") + D + "b" + D);
    AddItem("TCaptionOwner.Caption", std::string("c") + D + "d" + D);
    F.Lang->IncludeState(csDesigning);
    F.Lang->Loaded();
    TsiExtendedItems* Items = F.Lang->ExtendedTranslations();
    Edit->SetName("leServerName");
    EXPECT_EQ(Items->Items(0)->Identifier(), "leServerName.Title.Caption");
    EXPECT_TRUE(Items->Items(1)->IsRoot());
    EXPECT_EQ(Items->FindItem("LESERVERNAME.TITLE.CAPTION"), Items->Items(0));
    Edit->Free();
    ASSERT_EQ(Items->Count(), 1) << "the item of a removed component goes with it";
    EXPECT_EQ(Items->Items(0)->Identifier(), "TCaptionOwner.Caption");
}

TEST_F(TExtendedPaths, TextFromAnAction) {
    TActionStub* Action = Create<TActionStub>(F.Owner.get());
    Action->Caption = "Open";
    Edit->Action = Action;
    Edit->Caption = "Open";
    Edit->Hint = "mine";
    EXPECT_TRUE(F.Lang->IsTextFromAction(Edit, 0));
    EXPECT_FALSE(F.Lang->IsTextFromAction(Edit, 1));
    EXPECT_FALSE(F.Lang->IsTextFromAction(Edit, 2));
    EXPECT_FALSE(F.Lang->IsTextFromAction(Grid, 0)) << "no action";
    EXPECT_FALSE(F.Lang->IsTextFromAction(nullptr, 0));
}

}  // namespace
