// Applying a language to windowless owners: every kind of list, the owner's own texts and font,
// the tidy that runs first (entries of removed components, texts from actions, empty entries), the
// process's formats, the storage of values as UTF-8 and the pseudo-translations of test mode.
#include "LocalisationTestComponents.h"

using namespace loctest;

namespace {

struct TApplyLists : ::testing::Test {
    TLangWithBoxes F{"Box1", "Box2"};
    TsiLang* L = F.Lang;
    TPropsBox* Box1 = F.Box("Box1");
    TPropsBox* Box2 = F.Box("Box2");
    int Changes = 0;
    void SetUp() override { L->OnChangeLanguage = TNotifyEvent::FromFunction([this](TObject*) { ++Changes; }); }
};

TEST_F(TApplyLists, EveryKindInBothLanguages) {
    Box1->Columns()->Add();
    L->Captions()->Add(Entry({"TCaptionOwner", Cp1251(L"Окно"), "Window"}));
    L->Captions()->Add(Entry({"Box1", Cp1251(L"Выход"), "Exit"}));
    L->Captions()->Add(Entry({"Box2", Cp1251(L"Панель"), ""}));
    L->Hints()->Add(Entry({"Box1", Cp1251(L"Добавить"), "Add task"}));
    L->MultiLines()->Add(Entry({"Box1.Lines", Cp1251(L"Старт,Финиш"), "Start,Finish"}));
    L->OtherStrings()->Add(Entry({"Box2.Title.Caption", Cp1251(L"Имя"), "Name"}));
    L->OtherStrings()->Add(Entry({"Box2.WideText", Cp1251(L"Сервер"), "Server"}));
    L->Collections()->Add(Entry({"Box1.Columns[0].Title.Caption", Cp1251(L"База"), "Database"}));
    L->Collections()->Add(Entry({"Box1.Columns[0].Text", Cp1251(L"Путь"), ""}));
    L->CharSets()->Add(Entry({"TCaptionOwner", "RUSSIAN_CHARSET", "DEFAULT_CHARSET"}));

    L->SetActiveLanguage(2);
    EXPECT_EQ(F.Owner->Caption, "Window");
    EXPECT_EQ(Box1->Caption, "Exit");
    EXPECT_EQ(Box2->Caption, "") << "an empty English value keeps the text";
    EXPECT_EQ(Box1->Hint, "Add task");
    EXPECT_EQ(Lines(Box1->Lines()), (std::vector<std::string>{"Start", "Finish"}));
    EXPECT_EQ(Box2->Title()->Caption, "Name");
    EXPECT_EQ(Box2->WideText, L"Server");
    EXPECT_EQ(Box1->Column(0)->Title()->Caption, "Database");
    EXPECT_EQ(Changes, 1);

    L->SetActiveLanguage(1);
    EXPECT_EQ(F.Owner->Caption, Cp1251(L"Окно"));
    EXPECT_EQ(Box2->Caption, Cp1251(L"Панель"));
    EXPECT_EQ(Lines(Box1->Lines()), (std::vector<std::string>{Cp1251(L"Старт"), Cp1251(L"Финиш")}));
    EXPECT_EQ(Box2->WideText, L"Сервер") << "through code page 1251 of language 1";
    EXPECT_EQ(Box1->Column(0)->Text, Cp1251(L"Путь"));
    EXPECT_EQ(Changes, 2);

    L->SetTranslateType(ttGetDefault);
    L->SetActiveLanguage(2);
    EXPECT_EQ(Box2->Caption, Cp1251(L"Панель")) << "ttGetDefault applies language 1's value";
    EXPECT_EQ(Box1->Column(0)->Text, Cp1251(L"Путь"));
}

TEST_F(TApplyLists, OwnerFontAndComponentFonts) {
    L->Fonts()->Add(Entry({"TCaptionOwner", "Tahoma", ""}));
    L->Fonts()->Add(Entry({"Box1", "Arial", "Courier New"}));
    L->CharSets()->Add(Entry({"TCaptionOwner", "RUSSIAN_CHARSET", "DEFAULT_CHARSET"}));
    L->CharSets()->Add(Entry({"Box1", "russian_charset", "OEM_CHARSET"}));
    L->SetActiveLanguage(2);
    EXPECT_EQ(F.Owner->Font()->Charset(), 1);
    EXPECT_NE(F.Owner->Font()->Name(), "Tahoma") << "an empty name keeps the font";
    EXPECT_EQ(Box1->Font()->Name(), "Courier New");
    EXPECT_EQ(Box1->Font()->Charset(), 255);
    L->SetActiveLanguage(1);
    EXPECT_EQ(F.Owner->Font()->Name(), "Tahoma");
    EXPECT_EQ(F.Owner->Font()->Charset(), 204);
    EXPECT_EQ(Box1->Font()->Charset(), 204) << "component charsets match without regard to case";
}

TEST_F(TApplyLists, ExclusionsAndRelativePaths) {
    L->Captions()->Add(Entry({"Box1", "a", "b"}));
    L->Captions()->Add(Entry({"Box2", "c", "d"}));
    L->OtherStrings()->Add(Entry({"Box1.FileName", "..\\one.txt", "..\\two.txt"}));
    Box1->FileName = ExpandFileName("..\\two.txt");
    TStringList Skip;
    Skip.Add("Box2");
    L->SetDoNotTranslate(&Skip);
    L->SetActiveLanguage(2);
    EXPECT_EQ(Box1->Caption, "b");
    EXPECT_EQ(Box2->Caption, "") << "listed in DoNotTranslate";
    EXPECT_EQ(Box1->FileName, ExpandFileName("..\\two.txt")) << "the same file is not rewritten";
    L->SetActiveLanguage(1);
    EXPECT_EQ(Box1->FileName, "..\\one.txt");
}

TEST_F(TApplyLists, ReplacedListAppliesOnlyItsKind) {
    L->Captions()->Add(Entry({"Box1", "a", "b"}));
    L->Hints()->Add(Entry({"Box1", "h1", "h2"}));
    L->SetActiveLanguage(2);
    Box1->Caption = Box1->Hint = "changed";
    TStringList Hints;
    Hints.Add(Entry({"Box1", "h1", "new hint"}));
    L->SetHints(&Hints);
    EXPECT_EQ(L->ChangedKind(), stHints);
    EXPECT_EQ(Box1->Hint, "new hint");
    EXPECT_EQ(Box1->Caption, "changed") << "the captions were not applied again";
}

TEST_F(TApplyLists, TidyMovesEntriesOfMissingComponents) {
    L->Captions()->Add(Entry({"TCaptionOwner", "o", "O"}));
    L->Captions()->Add(Entry({"Gone", "g", "G"}));
    L->Captions()->Add(Entry({"Box1", "a", "b"}));
    L->OtherStrings()->Add(Entry({"TCaptionOwner.Hint", "x", "y"}));
    L->OtherStrings()->Add(Entry({"Gone.Caption", "x", "y"}));
    L->Collections()->Add(Entry({"Box1.Columns[3].Text", "x", "y"}));
    L->SetActiveLanguage(2);
    EXPECT_EQ(Lines(L->Captions()), (std::vector<std::string>{Entry({"TCaptionOwner", "o", "O"}), Entry({"Box1", "a", "b"})}));
    EXPECT_EQ(Lines(L->OtherStrings()), (std::vector<std::string>{Entry({"TCaptionOwner.Hint", "x", "y"})}));
    EXPECT_EQ(L->Collections()->Count(), 0) << "an index past the collection's items";
    ASSERT_NE(L->RemovedEntries(), nullptr);
    EXPECT_EQ(Lines(L->RemovedEntries()), (std::vector<std::string>{Entry({"Gone", "g", "G"}), Entry({"Gone.Caption", "x", "y"}),
                                                                     Entry({"Box1.Columns[3].Text", "x", "y"})}));
}

TEST_F(TApplyLists, TidyDropsOnlyEntriesWithoutAValue) {
    Box1->Columns()->Add();
    const std::vector<std::string> OtherStrings = {Entry({"Box1.Caption", " ", ""}), Entry({"Box1.Hint", "", ""}),
                                                   Entry({"Box2.Caption", "", "x"})};
    for (const auto& E : OtherStrings)
        L->OtherStrings()->Add(E);
    L->Collections()->Add(Entry({"Box1.Columns[0].Text", " ", "\t"}));
    L->Collections()->Add(Entry({"Box1.Columns[0].Title.Caption", "a ", ""}));
    L->Collections()->Add(Entry({"Box1.Columns[0].Lines", "", ""}));
    L->SetActiveLanguage(2);
    EXPECT_EQ(Lines(L->OtherStrings()), (std::vector<std::string>{OtherStrings[0], OtherStrings[2]}))
        << "a blank value is a value; no value at all is none";
    EXPECT_EQ(Lines(L->Collections()), (std::vector<std::string>{Entry({"Box1.Columns[0].Title.Caption", "a ", ""})}))
        << "blank collection values count as none, a value with a trailing blank stays";

    L->SetAutoSkipEmpties(false);
    L->OtherStrings()->Add(Entry({"Box1.Hint", "", ""}));
    L->SetActiveLanguage(1);
    EXPECT_EQ(L->OtherStrings()->Count(), 3);
}

TEST_F(TApplyLists, CaptionFromAnActionIsLeftToIt) {
    TActionStub* Action = Create<TActionStub>(F.Owner.get());
    Action->SetName("actOpen");
    Action->Caption = Box1->Caption = "Open";
    Box1->Action = Action;
    L->Captions()->Add(Entry({"Box1", "a", "b"}));
    L->Captions()->Add(Entry({"Box2", "c", "d"}));
    L->SetActiveLanguage(2);
    EXPECT_EQ(Box1->Caption, "Open");
    EXPECT_EQ(Lines(L->Captions()), (std::vector<std::string>{Entry({"Box2", "c", "d"})}));
}

TEST_F(TApplyLists, LocalesChangeTheProcessFormats) {
    const TFormatSettings Saved = FormatSettings;
    L->SetChangeLocales(true);
    EXPECT_EQ(L->Locales()->Count(), LocaleItemCount) << "filled with the current formats";
    L->SetChangeLocales(false);
    L->SetChangeLocales(true);
    EXPECT_EQ(L->Locales()->Count(), LocaleItemCount) << "nothing added to a filled list";
    L->Locales()->Clear();
    L->Locales()->Add(Entry({"Decimal Separator", ".", ","}));
    L->Locales()->Add(Entry({"Long Month Names", "", "Jan,Feb"}));
    L->SetActiveLanguage(2);
    const char Decimal = DecimalSeparator;
    const std::string February = LongMonthNames[2], March = LongMonthNames[3];
    FormatSettings = Saved;
    EXPECT_EQ(Decimal, ',');
    EXPECT_EQ(February, "Feb");
    EXPECT_EQ(March, Saved.LongMonthNames[3]) << "only the months the value names";
}

TEST(ApplyStorage, Utf8StorageRoundTripsAndRefusesAsAWhole) {
    TLangWithBoxes F{"Box1"};
    TsiLang* L = F.Lang;
    L->CharSets()->Add(Entry({"TCaptionOwner", "RUSSIAN_CHARSET", "DEFAULT_CHARSET"}));
    const std::vector<std::string> Captions = {Entry({"Box1", Cp1251(L"Выход"), "Exit"}), Entry({"k", Cp1251(L"я"), ""})};
    for (const auto& E : Captions)
        L->Captions()->Add(E);
    L->Strings()->Add(Entry({"msg", Cp1251(L"Готово"), "Done"}));
    RebuildIndexes(L);
    L->SetStoreAsUTF8(true);
    EXPECT_EQ(L->Captions()->Strings(0), Entry({"Box1", "Выход", "Exit"}));
    EXPECT_EQ(L->GetTextOrDefault("msg"), Cp1251(L"Готово")) << "lookups convert back";
    L->SetStoreAsUTF8(false);
    EXPECT_EQ(Lines(L->Captions()), Captions);

    // A value that is no UTF-8 cannot be converted back: nothing changes, and the caller hears it.
    L->SetStoreAsUTF8(true);
    L->Hints()->Add(Entry({"Box1", "\xFF", ""}));
    EXPECT_THROW(L->SetStoreAsUTF8(false), ELanguageError);
    EXPECT_TRUE(L->StoreAsUTF8());
    EXPECT_EQ(L->Captions()->Strings(0), Entry({"Box1", "Выход", "Exit"}));
}

TEST(ApplyTestMode, PseudoTranslationsFillMissingTexts) {
    TLangWithBoxes F{"Box1", "Box2"};
    TOwned<TsiLangDispatcher> Dispatcher(Create<TsiLangDispatcher>(nullptr));
    TStringList Names;
    Names.SetCommaText("Rus,Eng");
    Dispatcher->SetLangNames(&Names);
    Dispatcher->TestModeInfo()->Active = true;
    Dispatcher->TestModeInfo()->Kind = tmkFlipCase;
    F.Lang->Captions()->Add(Entry({"Box1", "Open", ""}));
    F.Lang->Captions()->Add(Entry({"Box2", "Save", "Store"}));
    F.Lang->Strings()->Add(Entry({"msg", "Done", ""}));
    RebuildIndexes(F.Lang);
    F.Lang->SetLangDispatcher(Dispatcher.get());
    Dispatcher->SetActiveLanguage(2);
    EXPECT_EQ(F.Box("Box1")->Caption, "oPEN");
    EXPECT_EQ(F.Box("Box2")->Caption, "Store");
    EXPECT_EQ(F.Lang->GetText("msg"), "dONE");
    std::string R;
    F.Lang->LookupText(F.Lang->Captions(), "Box1", R, false);
    EXPECT_EQ(R, "oPEN");

    Dispatcher->TestModeInfo()->Kind = tmkExpandWidth;
    const std::string Wide = F.Lang->PseudoTranslate("Open");
    EXPECT_GT(Wide.size(), 4u);
    EXPECT_EQ(Wide.find_first_not_of("OPEN*"), std::string::npos) << Wide;
}

}  // namespace
