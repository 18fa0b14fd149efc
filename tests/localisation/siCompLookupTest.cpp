// Message lookup: the main window's messages in both languages with the fallback to language 1,
// keys without regard to case, unknown keys, the second fallback language, the text search over
// the other lists, the sorted index's bisection and the C-escape decoder.
#include "LocalisationTestSupport.h"

using namespace loctest;

namespace {

// The main window as the program loads it: its resource read through the framework.
struct TMainWindowLocale : ::testing::Test {
    TOwned<TfrmSetting> Form = LoadForm<TfrmSetting>();
    TsiLang* Lang = Form->siLang1;
};

TEST_F(TMainWindowLocale, MessagesInBothLanguages) {
    ASSERT_NE(Lang, nullptr);
    const struct {
        const char* Key;
        std::string Russian, English;
    } Cases[] = {
        {"strrsSucc", Cp1251(L"Успешно выполнено"), "Well done successfully"},
        {"strrsInsTask", Cp1251(L"Внесена задача"), "The task is brought"},
        {"strsDelCont", " ", " "},  // English is empty: language 1's blank
        {"strrsStateCheck", Cp1251(L"Идет проверка. Подождите, пока она не закончится."), "There is a checking. Wait until end."},
        {"STRRSSUCC", Cp1251(L"Успешно выполнено"), "Well done successfully"},
        {"strrssucc", Cp1251(L"Успешно выполнено"), "Well done successfully"},
        {"strsYes", Cp1251(L"Да"), "Yes"},
        {"noSuchKey", "", ""},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Lang->GetTextOrDefault(C.Key), C.Russian) << C.Key;
    SwitchLookupLanguage(Lang, 2);
    for (const auto& C : Cases)
        EXPECT_EQ(Lang->GetTextOrDefault(C.Key), C.English) << C.Key;
    EXPECT_EQ(Lang->GetText("strsDelCont"), "") << "GetText keeps an empty English value";
    Lang->SetTranslateType(ttGetDefault);
    EXPECT_EQ(Lang->GetText("strsDelCont"), " ");
}

TEST_F(TMainWindowLocale, UnknownKeyRaisesOnlyWhenAsked) {
    EXPECT_EQ(Lang->GetText("missing"), "");
    Lang->SetDoRaiseExceptions(true);
    EXPECT_THROW(Lang->GetTextOrDefault("missing"), ELanguageError);
    EXPECT_EQ(MessageOf([&] { Lang->GetText("missing"); }), "String identifier \"missing\" not found!");
    std::string R;
    EXPECT_THROW(Lang->LookupText(Lang->DlgsCaptions(), "missing", R, true), ELanguageError);
    EXPECT_EQ(Lang->GetText("STRRSP"), Cp1251(L"Предупреждение"));
}

TEST_F(TMainWindowLocale, OtherListsAreSearchedAsText) {
    std::string R;
    Lang->LookupText(Lang->DlgsCaptions(), "no to all", R, true);
    EXPECT_EQ(R, Cp1251(L"Н&ет для всех"));
    Lang->LookupText(Lang->DlgsCaptions(), "warning", R, true);
    EXPECT_EQ(R, Cp1251(L"Предупреждение")) << "the first entry";
    SwitchLookupLanguage(Lang, 2);
    Lang->LookupText(Lang->Captions(), "ToolBar1", R, false);
    EXPECT_EQ(R, "");
    Lang->LookupText(Lang->Captions(), "ToolBar1", R, true);
    EXPECT_EQ(R, Cp1251(L"Панель"));
    Lang->LookupText(Lang->Collections(), "dbgridmain.columns[0].title.caption", R, true);
    EXPECT_EQ(R, "Server");
}

TEST(LookupText, FieldScanStopsAtTheEndOfTheLine) {
    TLangOnOwner F;
    F.Lang->SetNumOfLanguages(2);
    F.Lang->Hints()->Add(std::string("short") + D + "a");
    F.Lang->Hints()->Add(Entry({"next", "b", "c"}));
    F.Lang->Hints()->Add(Entry({"btn", "x", "y"}));
    F.Lang->Hints()->Add(Entry({"btnOk", "ok", "OK"}));
    SwitchLookupLanguage(F.Lang, 2);
    std::string R;
    F.Lang->LookupText(F.Lang->Hints(), "short", R, false);
    EXPECT_EQ(R, "") << "nothing of the next entry";
    F.Lang->LookupText(F.Lang->Hints(), "btnOk", R, false);
    EXPECT_EQ(R, "OK") << "a key is matched with its delimiter, not as a prefix";
    F.Lang->LookupText(F.Lang->Hints(), "next", R, false);
    EXPECT_EQ(R, "c");
}

TEST(LookupText, DefaultLanguageFallbackRestoresTheLanguage) {
    TLangOnOwner F;
    F.Lang->SetNumOfLanguages(3);
    F.Lang->Strings()->Add(Entry({"k", "a", "", ""}));
    F.Lang->Strings()->Add(Entry({"m", "a", "b", ""}));
    RebuildIndexes(F.Lang);
    F.Lang->SetUseDefaultLanguage(true);
    F.Lang->SetDefaultLanguage(2);
    F.Lang->SetActiveLanguage(3);
    EXPECT_EQ(F.Lang->GetTextOrDefault("k"), "a");
    EXPECT_EQ(F.Lang->GetTextOrDefault("m"), "b");
    EXPECT_EQ(F.Lang->ActiveLanguage(), 3);
    // A fallback language read from a form is taken as it stands; a bad one makes the lookup raise.
    F.Lang->IncludeState(csLoading);
    F.Lang->SetDefaultLanguage(0);
    F.Lang->ExcludeState(csLoading);
    EXPECT_THROW(F.Lang->GetTextOrDefault("k"), EListError);
    EXPECT_EQ(F.Lang->ActiveLanguage(), 3) << "restored when the lookup raises";
}

TEST(LookupText, EntryReaders) {
    TLangOnOwner F;
    F.Lang->SetNumOfLanguages(2);
    F.Lang->CharSets()->Add(Entry({"TOwnerForm", "RUSSIAN_CHARSET", ""}));
    F.Lang->CharSets()->Add(Entry({"towneRForm", "late", "late"}));
    SwitchLookupLanguage(F.Lang, 2);
    std::string R;
    F.Lang->EntryValueAt(F.Lang->CharSets(), 0, R, false);
    EXPECT_EQ(R, "");
    F.Lang->EntryValueAt(F.Lang->CharSets(), 0, R, true);
    EXPECT_EQ(R, "RUSSIAN_CHARSET");
    F.Lang->EntryValueAt(F.Lang->CharSets(), 2, R, true);
    EXPECT_EQ(R, "");
    F.Lang->EntryValueOfKey(F.Lang->CharSets(), "TOWNERFORM", R, 1);
    EXPECT_EQ(R, "RUSSIAN_CHARSET") << "the first entry with the key";
    EXPECT_EQ(F.Lang->CharsetOfLanguage(1), 204);
    EXPECT_EQ(F.Lang->CharsetOfLanguage(2), 1);
}

TEST(LookupText, RedirectedListsWithoutADispatcherGiveNothing) {
    TLangOnOwner F;
    F.Lang->Strings()->Add(Entry({"k", "v"}));
    RebuildIndexes(F.Lang);
    F.Lang->SetOptions(TsiLangOptions{loUseExtUDStrings});
    EXPECT_EQ(F.Lang->GetTextOrDefault("k"), "");
    F.Lang->SetOptions(TsiLangOptions{loUseExtCommonStrings});
    EXPECT_EQ(F.Lang->GetTextOrDefault("k"), "v");
    std::string R = "x";
    F.Lang->LookupText(F.Lang->DlgsCaptions(), "Warning", R, true);
    EXPECT_EQ(R, "");
}

// The sorted index on its own.
struct TIndexOf : TLangOnOwner {
    explicit TIndexOf(std::initializer_list<std::pair<const char*, const char*>> Entries) {
        Lang->SetNumOfLanguages(2);
        for (const auto& [K, V] : Entries)
            Lang->Strings()->Add(Entry({K, std::string(V) + "1", V}));
        RebuildIndexes(Lang);
    }
    TsiStringsCollection* Index() { return Lang->StringsIndex(); }
};

TEST(SortedIndex, Bisection) {
    TIndexOf One({{"only", "o"}});
    EXPECT_EQ(One.Index()->ValueOfKey("only", 2), "o");
    EXPECT_EQ(One.Index()->ValueOfKey("other", 2), "");
    EXPECT_EQ(One.Index()->ValueOfKey("a", 2), "");

    TIndexOf Three({{"c", "C"}, {"a", "A"}, {"b", "B"}});
    EXPECT_EQ(Three.Index()->Items(0)->ItemKey, "a") << "sorted by key";
    EXPECT_EQ(Three.Index()->ValueOfKey("C", 2), "C");
    EXPECT_EQ(Three.Index()->ValueOfKey("A", 1), "A1");
    EXPECT_EQ(Three.Index()->ValueOfKey("d", 2), "");
    EXPECT_EQ(Three.Index()->ValueOfKey("0", 2), "");
    EXPECT_EQ(Three.Index()->IndexOfKey("B"), 1);
    EXPECT_EQ(Three.Index()->IndexOfKey("x"), -1);

    TIndexOf Two({{"a", "A"}, {"b", "B"}});
    EXPECT_EQ(Two.Index()->ValueOfKey("b", 2), "B") << "the last position of a two-item window";

    // Cyrillic keys: the last candidate is compared like the bisection, without regard to case.
    TIndexOf Cyr({{"a", "A"}, {"\xC1\xE5\xE7", "X"}});
    EXPECT_EQ(Cyr.Index()->ValueOfKey("\xE1\xE5\xE7", 2), "X");
}

TEST(SortedIndex, ManyKeysAreAllFound) {
    TLangOnOwner F;
    F.Lang->SetNumOfLanguages(2);
    for (int I = 0; I < 500; ++I)
        F.Lang->Strings()->Add(Entry({"key" + IntToStr((I * 7919) % 500), "r", "e" + IntToStr((I * 7919) % 500)}));
    RebuildIndexes(F.Lang);
    for (int I = 0; I < 500; ++I)
        ASSERT_EQ(F.Lang->StringsIndex()->ValueOfKey("KEY" + IntToStr(I), 2), "e" + IntToStr(I)) << I;
}

TEST(SortedIndex, TranslationByAnotherLanguagesText) {
    TIndexOf F({{"k1", "Open"}, {"k2", "Close"}, {"k3", "Save"}});
    F.Lang->SetHandleResourceStrings(true);
    RebuildIndexes(F.Lang);
    F.Lang->SetResourceLanguageIndex(2);
    TsiStringsCollection* R = F.Lang->ResourceIndex();
    EXPECT_EQ(R->SortColumn, 2);
    EXPECT_EQ(R->GetTranslation("Save", 1), "Save1");
    EXPECT_EQ(R->GetTranslation("Open", 1), "Open1");
    EXPECT_EQ(R->GetTranslation("save", 1), "save") << "values compare with case";
    EXPECT_EQ(R->GetTranslation("Missing", 1), "Missing");
}

TEST(CEscapes, Decode) {
    const struct {
        std::string In, Out;
    } Cases[] = {
        {"a\\tb", "a\tb"},
        {"\\x41\\x4a", "AJ"},
        {"\\101", "A"},
        {"\\q", "\\q"},
        {"\\xZ", "\\xZ"},
        {"end\\", "end\\"},
        {"\\x", "\\x"},
        {"\\\"\\'\\?\\\\", "\"'?\\"},
        {"\\a\\b\\f\\n\\r\\v", "\a\b\f\n\r\v"},
        {"\\0x", std::string("\0x", 2)},
        {"\\4012", "\x01" "2"},  // three octal digits at most, low 8 bits
        {"\\x414", "A4"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(DecodeCEscapes(C.In), C.Out) << C.In;
}

TEST(CEscapes, AppliedToLookupsWhenSwitchedOn) {
    TLangOnOwner F;
    F.Lang->Strings()->Add(Entry({"k", "a\\tb"}));
    RebuildIndexes(F.Lang);
    EXPECT_EQ(F.Lang->GetText("k"), "a\\tb");
    F.Lang->DecodeEscapes = true;
    EXPECT_EQ(F.Lang->GetText("k"), "a\tb");
    EXPECT_EQ(F.Lang->GetTextOrDefault("k"), "a\tb");
}

}  // namespace
