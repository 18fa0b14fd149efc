// The translation component itself: its defaults, the one-per-owner rule, the language properties
// with their errors, the single-value setter, removal notices and the finishing step after loading.
#include "LocalisationTestSupport.h"

#include "GraphicsObjects.h"

#include <functional>

using namespace loctest;

namespace {

// A component with two languages, as every window of the program has.
struct TTwoLanguages : TLangOnOwner {
    TTwoLanguages() {
        TStringList Names;
        Names.Add("Rus");
        Names.Add("Eng");
        Lang->SetNumOfLanguages(2);
        Lang->SetLangNames(&Names);
    }
};

TEST(siLangDefaults, NewComponent) {
    TLangOnOwner F;
    TsiLang* L = F.Lang;
    EXPECT_EQ(Lines(L->LangNames()), (std::vector<std::string>{"Language N1"}));
    EXPECT_EQ(L->Language(), "Language N1");
    EXPECT_EQ(L->NumOfLanguages(), 1);
    EXPECT_EQ(L->ActiveLanguage(), 1);
    EXPECT_EQ(L->LangDelim(), 1);
    EXPECT_EQ(L->Version(), "6.4");
    EXPECT_EQ(L->ChangedKind(), -1);
    EXPECT_EQ(L->ExcludedProperties()->Count(), 20);
    EXPECT_EQ(L->ExcludedProperties()->Strings(19), "MasterFields");
    EXPECT_EQ(Lines(L->StringsTypes()), (std::vector<std::string>{"TIB_STRINGLIST", "TSTRINGLIST"}));
    const std::vector<std::string> Keys = {"Warning", "Error", "Information", "Confirm", "Yes", "No", "OK", "Cancel",
                                           "Abort", "Retry", "Ignore", "All", "No To All", "Yes To All", "Help"};
    ASSERT_EQ(L->DlgsCaptions()->Count(), 15);
    for (int I = 0; I < 15; ++I)
        EXPECT_EQ(EntryKey(L->DlgsCaptions()->Strings(I), D), Keys[static_cast<size_t>(I)]);
    EXPECT_EQ(L->DlgsCaptions()->Strings(4), Entry({"Yes", "&Yes"}));
    EXPECT_EQ(L->DlgsCaptions()->Strings(12), Entry({"No To All", "N&o to All"}));
    EXPECT_TRUE(L->OwnerHasNoFont()) << "the test owner publishes no Font";
    for (TStringsType K : {stCaptions, stStrings, stCharSets})
        EXPECT_EQ(L->GetKindList(K)->Count(), 0);
}

// An owner that publishes a font, as forms do (data modules do not).
class TOwnerWithFont : public TComponent {
    DECLARE_CLASS(TOwnerWithFont, TComponent)
public:
    using TComponent::TComponent;
    static void DefineClass(TClassBuilder<TOwnerWithFont>& B) { B.Property("Font", &TOwnerWithFont::GetFont); }
    TFont* GetFont() const { return FFont.get(); }

private:
    TOwned<TFont> FFont{Create<TFont>()};
};

TEST(siLangDefaults, OwnerFont) {
    TOwned<TOwnerWithFont> WithFont(Create<TOwnerWithFont>(nullptr));
    EXPECT_FALSE(Create<TsiLang>(WithFont.get())->OwnerHasNoFont());
    TOwned<TsiLang> Alone(Create<TsiLang>(nullptr));
    EXPECT_FALSE(Alone->OwnerHasNoFont()) << "no owner, nothing to say";
}

TEST(siLangDefaults, KindListsByName) {
    TLangOnOwner F;
    const std::pair<TStringsType, TStrings*> Kinds[] = {
        {stCaptions, F.Lang->Captions()},   {stHints, F.Lang->Hints()},         {stDisplayLabels, F.Lang->DisplayLabels()},
        {stFonts, F.Lang->Fonts()},         {stMultiLines, F.Lang->MultiLines()}, {stDlgsCaptions, F.Lang->DlgsCaptions()},
        {stStrings, F.Lang->Strings()},     {stOtherStrings, F.Lang->OtherStrings()}, {stLocales, F.Lang->Locales()},
        {stCollections, F.Lang->Collections()}, {stCharSets, F.Lang->CharSets()}};
    for (const auto& [Kind, List] : Kinds)
        EXPECT_EQ(F.Lang->GetKindList(Kind), List) << Kind;
    EXPECT_EQ(F.Lang->GetKindList(stListView_TreeView_Items), nullptr);
}

TEST(siLangDefaults, AllDialogCaptionsOnDemand) {
    TLangOnOwner F;
    F.Lang->SetNeedAllDlgs(true);
    ASSERT_EQ(F.Lang->DlgsCaptions()->Count(), 86);
    EXPECT_EQ(F.Lang->DlgsCaptions()->Strings(15), Entry({"Open", "&Open"}));
    EXPECT_EQ(F.Lang->DlgsCaptions()->Strings(85), Entry({"Find", "Find"}));
    F.Lang->SetNeedAllDlgs(false);
    ASSERT_EQ(F.Lang->DlgsCaptions()->Count(), 15);
    EXPECT_EQ(EntryKey(F.Lang->DlgsCaptions()->Strings(14), D), "Help");
}

TEST(siLangErrors, OnlyOneComponentPerOwner) {
    TLangOnOwner F;
    try {
        Create<TsiLang>(F.Owner.get());
        FAIL() << "a second component was accepted";
    } catch (const ELanguageError&) {
        FAIL() << "the plain exception class is expected";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Only one TsiCustomLang component per Form/DataModule allowed!");
    }
    EXPECT_EQ(F.Owner->ComponentCount(), 1) << "the refused component leaves nothing behind";
}

TEST(siLangErrors, PropertyValuesOutOfRange) {
    TOwned<TfrmSetting> Owner(Create<TfrmSetting>(nullptr));
    TsiLang* L = Create<TsiLang>(Owner.get());
    L->SetNumOfLanguages(2);
    TOwned<TsiLang> Alone(Create<TsiLang>(nullptr));
    const struct {
        std::function<void()> Set;
        std::string Message;
    } Cases[] = {
        {[&] { L->SetActiveLanguage(3); }, "TfrmSetting: 3 - is not a valid property value!\rValue must be within [1..2]!"},
        {[&] { Alone->SetActiveLanguage(0); }, "0 - is not a valid property value!\rValue must be within [1..1]!"},
        {[&] { L->SetNumOfLanguages(0); }, "0 - is not a valid property value !\rValue must be more than ZERO !"},
        {[&] { L->SetResourceLanguageIndex(0); }, "0 - is not a valid property value!\rValue must be within [1..2]!"},
    };
    for (const auto& C : Cases) {
        EXPECT_THROW(C.Set(), ELanguageError) << C.Message;
        EXPECT_EQ(MessageOf(C.Set), C.Message);
    }
    EXPECT_EQ(L->ActiveLanguage(), 1);
    EXPECT_EQ(L->NumOfLanguages(), 2);
    EXPECT_EQ(L->ResourceLanguageIndex(), 1);
}

TEST(siLangLanguages, SwitchingRaisesOnChangeLanguageOnce) {
    TTwoLanguages F;
    int Changes = 0;
    F.Lang->OnChangeLanguage = TNotifyEvent::FromFunction([&](TObject* Sender) {
        EXPECT_EQ(Sender, F.Lang);
        ++Changes;
    });
    F.Lang->SetActiveLanguage(1);
    EXPECT_EQ(Changes, 0) << "the current language applies nothing";
    F.Lang->SetActiveLanguage(2);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(F.Lang->Language(), "Eng");
    F.Lang->SetLanguage("Rus");
    EXPECT_EQ(F.Lang->ActiveLanguage(), 1);
    EXPECT_EQ(Changes, 2);
}

TEST(siLangLanguages, VetoKeepsEverything) {
    TTwoLanguages F;
    F.Lang->Strings()->Add(Entry({"k", "a", "b"}));
    RebuildIndexes(F.Lang);
    int Asked = 0, Changes = 0;
    F.Lang->OnLanguageChanging = TLanguageChangingEvent::FromFunction([&](TObject*, int NewLanguage, bool& Allow) {
        EXPECT_EQ(NewLanguage, 2);
        ++Asked;
        Allow = false;
    });
    F.Lang->OnChangeLanguage = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    F.Lang->SetActiveLanguage(2);
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(F.Lang->ActiveLanguage(), 1);
    EXPECT_EQ(F.Lang->Language(), "Rus");
    EXPECT_EQ(F.Lang->GetText("k"), "a");
    F.Lang->DrivenByDispatcher = true;  // the dispatcher has asked already
    F.Lang->SetActiveLanguage(2);
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(F.Lang->ActiveLanguage(), 2);
}

TEST(siLangLanguages, LanguageByName) {
    TTwoLanguages F;
    F.Lang->SetLanguage("Eng");
    EXPECT_EQ(F.Lang->ActiveLanguage(), 2);
    EXPECT_EQ(MessageOf([&] { F.Lang->SetLanguage("Deu"); }), "Language name shall be included in LangNames property!");
    EXPECT_THROW(F.Lang->SetLanguage("Deu"), ELanguageError);
    EXPECT_EQ(F.Lang->Language(), "Eng");
}

TEST(siLangLanguages, FewerLanguagesCutEntriesAndNames) {
    TTwoLanguages F;
    F.Lang->Captions()->Add(Entry({"k", "a", "b"}));
    F.Lang->Hints()->Add(Entry({"short", "x"}));
    F.Lang->SetNumOfLanguages(1);
    EXPECT_EQ(F.Lang->Captions()->Strings(0), Entry({"k", "a"}));
    EXPECT_EQ(F.Lang->Hints()->Strings(0), Entry({"short", "x"}));
    EXPECT_EQ(Lines(F.Lang->LangNames()), (std::vector<std::string>{"Rus"}));
}

TEST(siLangLanguages, MoreLanguagesPadEntriesAndAddNames) {
    TTwoLanguages F;
    F.Lang->Strings()->Add(Entry({"k", "a", "b"}));
    F.Lang->SetNumOfLanguages(3);
    EXPECT_EQ(Lines(F.Lang->LangNames()), (std::vector<std::string>{"Rus", "Eng", "Language N3"}));
    EXPECT_EQ(F.Lang->Strings()->Strings(0), Entry({"k", "a", "b", ""}));
    F.Lang->SetActiveLanguage(3);
    EXPECT_EQ(F.Lang->GetTextOrDefault("k"), "a") << "the rebuilt index knows the third language";
}

TEST(siLangLanguages, LanguageNamesKeepAtLeastOneLanguage) {
    TTwoLanguages F;
    TStringList None;
    F.Lang->SetLangNames(&None);
    EXPECT_EQ(F.Lang->NumOfLanguages(), 2);
    EXPECT_EQ(Lines(F.Lang->LangNames()), (std::vector<std::string>{"Rus", "Eng"}));
    TStringList Three;
    for (const char* N : {"A", "B", "C"})
        Three.Add(N);
    F.Lang->SetActiveLanguage(2);
    F.Lang->SetLangNames(&Three);
    EXPECT_EQ(F.Lang->NumOfLanguages(), 3);
    EXPECT_EQ(F.Lang->Language(), "B");
}

TEST(siLangLanguages, DefaultLanguageStaysInRange) {
    TTwoLanguages F;
    F.Lang->SetDefaultLanguage(3);
    EXPECT_EQ(F.Lang->DefaultLanguage(), 1);
    F.Lang->SetDefaultLanguage(2);
    EXPECT_EQ(F.Lang->DefaultLanguage(), 2);
    F.Lang->SetVersion("7.0");
    EXPECT_EQ(F.Lang->Version(), "6.4");
}

TEST(siLangValues, SetTranslation) {
    const std::string Exit = "Exit";
    const struct {
        std::string Before;
        int Language;
        std::string After;
    } Cases[] = {
        {Entry({"btnClose", Cp1251(L"Выход"), ""}), 2, Entry({"btnClose", Cp1251(L"Выход"), Exit})},
        {Entry({"btnClose", "old", "x"}), 1, Entry({"btnClose", Exit, "x"})},
        {Entry({"btnClose", "a"}) + "tail", 2, Entry({"btnClose", "a"}) + Exit},  // ends inside the field
        {"btnClose" + std::string(1, D) + "a", 2, Entry({"btnClose", "a", Exit})},   // too short: padded
        {"btnClose", 1, Entry({"btnClose", Exit})},
    };
    for (const auto& C : Cases) {
        TTwoLanguages F;
        F.Lang->Captions()->Add(Entry({"other", "o", "o"}));
        F.Lang->Captions()->Add(C.Before);
        F.Lang->SetTranslation(F.Lang->Captions(), Exit, "BTNCLOSE", C.Language);
        EXPECT_EQ(F.Lang->Captions()->Strings(1), C.After) << C.Before;
        EXPECT_EQ(F.Lang->Captions()->Strings(0), Entry({"other", "o", "o"}));
    }
}

TEST(siLangValues, SetTranslationReachesTheIndex) {
    TTwoLanguages F;
    F.Lang->Strings()->Add(Entry({"msg", "a", ""}));
    RebuildIndexes(F.Lang);
    F.Lang->SetTranslationByRef(F.Lang->Strings(), "msg", 2, "b");
    F.Lang->SetActiveLanguage(2);
    EXPECT_EQ(F.Lang->GetText("msg"), "b");
    EXPECT_EQ(F.Lang->Strings()->Strings(0), Entry({"msg", "a", "b"}));
    F.Lang->SetTranslation(F.Lang->Strings(), "x", "missing", 2);
    EXPECT_EQ(F.Lang->Strings()->Count(), 1);
}

TEST(siLangValues, ReplacedStringsListIsLookedUpAtOnce) {
    TTwoLanguages F;
    TStringList New;
    New.Add(Entry({"msg", "new", "neu"}));
    int Changes = 0;
    F.Lang->OnChangeLanguage = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    F.Lang->SetStrings(&New);
    EXPECT_EQ(F.Lang->GetText("msg"), "new");
    EXPECT_EQ(F.Lang->ChangedKind(), stStrings);
    EXPECT_EQ(Changes, 1);
    F.Lang->SetDlgsCaptions(&New);
    EXPECT_EQ(Changes, 1) << "dialog captions are only copied";
}

TEST(siLangValues, DelimiterChangeConvertsEveryList) {
    TTwoLanguages F;
    F.Lang->Captions()->Add(Entry({"k", "a", "b"}));
    TsiExtendedItem* Item = F.Lang->ExtendedTranslations()->Add();
    Item->SetValues(Entry({"x", "y"}));
    F.Lang->SetLangDelim('|');
    EXPECT_EQ(F.Lang->Captions()->Strings(0), "k|a|b|");
    EXPECT_EQ(Item->Values(), "x|y|");
    EXPECT_EQ(F.Lang->DlgsCaptions()->Strings(0), "Warning|Warning||") << "padded when the second language came";
}

TEST(siLangNotifications, RemovedComponentLeavesNamesButKeepsEntries) {
    TTwoLanguages F;
    TComponent* Button = Create<TComponent>(F.Owner.get());
    Button->SetName("btnOk");
    F.Lang->DoNotTranslate()->Add("btnOk");
    F.Lang->Captions()->Add(Entry({"btnOk", "a", "b"}));
    F.Lang->ExtendedTranslations()->Add()->SetIdentifier("btnOk.Font.Name");
    F.Lang->ExtendedTranslations()->Add()->SetIdentifier("btnOkay.Caption");
    Button->Free();
    EXPECT_EQ(F.Lang->DoNotTranslate()->Count(), 0);
    ASSERT_EQ(F.Lang->ExtendedTranslations()->Count(), 1);
    EXPECT_EQ(F.Lang->ExtendedTranslations()->Items(0)->Identifier(), "btnOkay.Caption");
    EXPECT_EQ(F.Lang->Captions()->Count(), 1) << "entries are kept at run time";
}

TEST(siLangNotifications, DesignTimeRemovalDeletesTheComponentsKeys) {
    TTwoLanguages F;
    TComponent* Memo = Create<TComponent>(F.Owner.get());
    Memo->SetName("memInfo");
    F.Lang->SetDesigning(true, false);
    F.Lang->Captions()->Add(Entry({"memInfo", "a", "b"}));
    F.Lang->Captions()->Add(Entry({"memInfoX", "a", "b"}));
    F.Lang->MultiLines()->Add(Entry({"memInfo.Lines", "a", "b"}));
    F.Lang->MultiLines()->Add(Entry({"other.Lines", "a", "b"}));
    Memo->Free();
    EXPECT_EQ(Lines(F.Lang->Captions()), (std::vector<std::string>{Entry({"memInfoX", "a", "b"})}));
    EXPECT_EQ(Lines(F.Lang->MultiLines()), (std::vector<std::string>{Entry({"other.Lines", "a", "b"})}));
}

TEST(siLangLocales, ChangeLocalesFillsAnEmptyList) {
    TLangOnOwner F;
    F.Lang->SetChangeLocales(true);
    ASSERT_EQ(F.Lang->Locales()->Count(), 15);
    EXPECT_EQ(F.Lang->Locales()->Strings(2), Entry({"Decimal Separator", std::string(1, DecimalSeparator)}));
    EXPECT_EQ(F.Lang->Locales()->Strings(4), Entry({"Short Date Format", ShortDateFormat}));
    EXPECT_EQ(ExtractDelimitedField(F.Lang->Locales()->Strings(12), D, 1).substr(0, LongMonthNames[1].size() + 1),
              LongMonthNames[1] + ",");
    F.Lang->SetChangeLocales(false);
    F.Lang->SetChangeLocales(true);
    EXPECT_EQ(F.Lang->Locales()->Count(), 15) << "a list that holds entries gets nothing added";
}

// The finishing step after a form is read.
TEST(siLangLoaded, TabDelimitedDataBecomesCharacterOne) {
    const std::string Data = "stCaptions\r\nbtnOk\ta\tb\t\r\nstStrings\r\nmsg\tx\ty\t\r\n";
    auto Form = ReadLangForm("    NumOfLanguages = 2\n    LangDelim = 9", Data);
    TsiLang* L = LangOf(Form.get());
    EXPECT_EQ(L->LangDelim(), 1);
    EXPECT_EQ(L->Captions()->Strings(0), Entry({"btnOk", "a", "b"}));
    EXPECT_EQ(L->DlgsCaptions()->Strings(0), Entry({"Warning", "Warning"}));
    L->SetActiveLanguage(2);
    EXPECT_EQ(L->GetText("msg"), "y");
}

TEST(siLangLoaded, TabsInCharacterOneDataAreConverted) {
    // Data of an older version: LangDelim 1 stored, but the entries still carry TABs.
    const std::string Data = "stCaptions\r\nbtnOk\ta\tb\t\r\n";
    auto Form = ReadLangForm("    NumOfLanguages = 2\n    LangDelim = 1", Data);
    EXPECT_EQ(LangOf(Form.get())->Captions()->Strings(0), Entry({"btnOk", "a", "b"}));
}

TEST(siLangLoaded, CommonStringsFromAnotherComponentLeaveTheirLists) {
    auto Form = ReadLangForm("    LangDelim = 1\n    Options = [loUseExtCommonStrings]",
                             "stLocales\r\n" + Entry({"Decimal Separator", ","}) + "\r\n");
    TsiLang* L = LangOf(Form.get());
    EXPECT_EQ(L->DlgsCaptions()->Count(), 0);
    EXPECT_EQ(L->Locales()->Count(), 0);
}

TEST(siLangLoaded, ElevenLocaleItemsGetTheNewFour) {
    std::string Data = "stLocales\r\n";
    for (int I = 0; I < 11; ++I)
        Data += Entry({LocaleItemNames[static_cast<size_t>(I)], "v"}) + "\r\n";
    auto Form = ReadLangForm("    LangDelim = 1", Data);
    TsiLang* L = LangOf(Form.get());
    ASSERT_EQ(L->Locales()->Count(), 15);
    EXPECT_EQ(L->Locales()->Strings(14), Entry({"Long Day Names", L->LocaleDefaults()[14]}));
}

TEST(siLangLoaded, ExcludedPropertiesLeaveTheLists) {
    const std::string Data = "stCaptions\r\n" + Entry({"btnOk", "a"}) + "\r\nstOtherStrings\r\n" +
                             Entry({"dlgOpen.FileName", "x"}) + "\r\n" + Entry({"dlgOpen.Title", "y"}) + "\r\n" +
                             Entry({"lbl.Name", "z"}) + "\r\nstCollections\r\n" +
                             Entry({"grid.Columns[0].FieldName", "f"}) + "\r\n" +
                             Entry({"grid.Columns[0].Title.FileName", "t"}) + "\r\n";
    auto Form = ReadLangForm("    LangDelim = 1\n    SmartExcludeProps.Strings = (\n      'btnOk.Caption')", Data);
    TsiLang* L = LangOf(Form.get());
    EXPECT_EQ(L->Captions()->Count(), 0);
    EXPECT_EQ(Lines(L->OtherStrings()), (std::vector<std::string>{Entry({"dlgOpen.Title", "y"})}));
    EXPECT_EQ(Lines(L->Collections()), (std::vector<std::string>{Entry({"grid.Columns[0].Title.FileName", "t"})}))
        << "only the collection property and the item's first property are tested";

    TLangOnOwner F;
    F.Lang->Hints()->Add(Entry({"btnOk", "hint"}));
    TStringList Excluded;
    Excluded.Add("Hint");
    F.Lang->SetExcludedProperties(&Excluded);
    EXPECT_EQ(F.Lang->Hints()->Count(), 0);
}

}  // namespace
