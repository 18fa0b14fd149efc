// The stored translation data: the reader and writer of "TranslationData" byte for byte, its UTF-16
// form, inherited forms, padding and merging of entries, and the "ValuesEx" payload of extended
// translations.
#include "LocalisationTestSupport.h"

using namespace loctest;

namespace {

// The password prompt's data of the worked example, in code page 1251 as the program stores it.
std::string PasswordData() {
    return "stCaptions\r\n" + Entry({"btnOk", Cp1251(L"Применить"), "Apply"}) + "\r\n" +
           Entry({"TfrmPassword", Cp1251(L"Пароль"), "Password"}) + "\r\nstFonts\r\n" +
           Entry({"TfrmPassword", "MS Sans Serif", ""}) + "\r\nstCharSets\r\n" +
           Entry({"TfrmPassword", "DEFAULT_CHARSET", "DEFAULT_CHARSET"}) + "\r\n";
}

struct TPasswordLang {
    TOwned<TfrmPassword> Owner{Create<TfrmPassword>(nullptr)};
    TsiLang* Lang = Create<TsiLang>(Owner.get());
    TPasswordLang() { Lang->SetNumOfLanguages(2); }
};

TEST(TranslationData, WorkedExample) {
    TPasswordLang F;
    const std::string Ok = Entry({"btnOk", Cp1251(L"Применить"), "Apply"});
    const std::string Expected = "btnOk\x01\xCF\xF0\xE8\xEC\xE5\xED\xE8\xF2\xFC\x01"
                                 "Apply\x01";
    ASSERT_EQ(Ok, Expected) << "the bytes of the worked example";
    ReadData(F.Lang, PasswordData());
    EXPECT_EQ(Lines(F.Lang->Captions()),
              (std::vector<std::string>{Entry({"TfrmPassword", Cp1251(L"Пароль"), "Password"}), Ok}))
        << "the owner's entry moves to the top";
    EXPECT_EQ(ExtractDelimitedField(F.Lang->Captions()->Strings(1), D, 1), Cp1251(L"Применить"));
    EXPECT_EQ(ExtractDelimitedField(F.Lang->Captions()->Strings(1), D, 2), "Apply");
    EXPECT_EQ(Lines(F.Lang->Fonts()), (std::vector<std::string>{Entry({"TfrmPassword", "MS Sans Serif", ""})}));
    EXPECT_EQ(Lines(F.Lang->CharSets()),
              (std::vector<std::string>{Entry({"TfrmPassword", "DEFAULT_CHARSET", "DEFAULT_CHARSET"})}));
    EXPECT_EQ(F.Lang->Hints()->Count(), 0);
    EXPECT_EQ(F.Lang->DlgsCaptions()->Count(), 15) << "a kind the data does not name keeps its entries";
}

TEST(TranslationData, WriterEmitsEveryKindInOrder) {
    TPasswordLang F;
    F.Lang->DlgsCaptions()->Clear();
    F.Lang->Captions()->Add(Entry({"TfrmPassword", "a", "b"}));
    F.Lang->Strings()->Add(Entry({"msg", "one\r\ntwo", "x\ny\r"}));
    EXPECT_EQ(WrittenData(F.Lang), "stCaptions\r\n" + Entry({"TfrmPassword", "a", "b"}) +
                                       "\r\nstHints\r\nstDisplayLabels\r\nstFonts\r\nstMultiLines\r\nstDlgsCaptions\r\n"
                                       "stStrings\r\n" +
                                       Entry({"msg", "one\x19\x1atwo", "x\x1ay\x19"}) +
                                       "\r\nstOtherStrings\r\nstLocales\r\nstCollections\r\nstCharSets\r\n");
}

TEST(TranslationData, LineBreaksInValuesRoundTrip) {
    TPasswordLang F;
    const std::string Stored = "stStrings\r\n" + Entry({"msg", "one\x19\x1atwo", "x\x1ay"}) + "\r\n";
    ReadData(F.Lang, Stored);
    EXPECT_EQ(F.Lang->Strings()->Strings(0), Entry({"msg", "one\r\ntwo", "x\ny"}));
    const std::string Written = WrittenData(F.Lang);
    EXPECT_NE(Written.find(Stored), std::string::npos);
}

TEST(TranslationData, HeadersAndStrayLines) {
    const struct {
        const char* What;
        std::string Data;
        std::vector<std::string> Captions;
    } Cases[] = {
        {"header in capitals", "STCAPTIONS\r\n" + Entry({"a", "1"}) + "\r\n", {Entry({"a", "1"})}},
        {"lines before the first header", Entry({"x", "0"}) + "\r\nstCaptions\r\n" + Entry({"a", "1"}) + "\r\n",
         {Entry({"a", "1"})}},
        {"a kind without a list", "stCaptions\r\n" + Entry({"a", "1"}) + "\r\nstListView_TreeView_Items\r\n" +
                                      Entry({"lv", "2"}) + "\r\n",
         {Entry({"a", "1"})}},
        {"header on the last line", "stCaptions", {Entry({"kept", "k"})}},
        {"one byte", "s", {Entry({"kept", "k"})}},
        {"empty", "", {Entry({"kept", "k"})}},
        {"LF and CR alone end lines", "stCaptions\n" + Entry({"a", "1"}) + "\r" + Entry({"b", "2"}),
         {Entry({"a", "1"}), Entry({"b", "2"})}},
        {"NUL ends the text", "stCaptions\r\n" + Entry({"a", "1"}) + std::string(1, '\0') + "\r\n" + Entry({"b", "2"}),
         {Entry({"a", "1"})}},
    };
    for (const auto& C : Cases) {
        TPasswordLang F;
        F.Lang->Captions()->Add(Entry({"kept", "k"}));
        ReadData(F.Lang, C.Data);
        EXPECT_EQ(Lines(F.Lang->Captions()), C.Captions) << C.What;
    }
}

TEST(TranslationDataLocale, Utf16Data) {
    // A UTF-16 stream: the 8-bit pass reads the character sets, the UTF-16 pass converts every
    // language through its own code page, whatever the system's is.
    const wchar_t Dw = 1;
    std::wstring Text = L"stCaptions_Unicode\r\nbtnOk";
    (((Text += Dw) += L"Применить") += Dw) += L"Apply";
    Text += Dw;
    Text += L"\r\nstCharSets\r\nTfrmPassword";
    (((Text += Dw) += L"RUSSIAN_CHARSET") += Dw) += L"DEFAULT_CHARSET";
    Text += Dw;
    Text += L"\r\nstFonts\r\nTfrmPassword";
    (Text += Dw) += L"Arial";
    (Text += Dw) += Dw;
    Text += L"\r\n";
    std::string Bytes(reinterpret_cast<const char*>(Text.data()), Text.size() * 2);
    TPasswordLang F;
    ReadData(F.Lang, Bytes);
    EXPECT_EQ(Lines(F.Lang->Captions()), (std::vector<std::string>{Entry({"btnOk", Cp1251(L"Применить"), "Apply"})}));
    EXPECT_EQ(F.Lang->LanguageCharsets(), (std::vector<Byte>{204, 1}));
    EXPECT_EQ(Lines(F.Lang->Fonts()), (std::vector<std::string>{Entry({"TfrmPassword", "Arial", ""})}));
}

TEST(TranslationData, UnicodeSectionRebuildsExtendedValues) {
    TPasswordLang F;
    TsiExtendedItem* Narrow = F.Lang->ExtendedTranslations()->Add();
    Narrow->SetValues(Entry({"a", "b"}));
    ReadData(F.Lang, "stCaptions_Unicode\r\n" + Entry({"x", "1", "2"}) + "\r\n");
    EXPECT_EQ(Narrow->Values(), Entry({"", ""})) << "8-bit values have no UTF-16 form to rebuild from";
    EXPECT_EQ(Lines(F.Lang->Captions()), (std::vector<std::string>{Entry({"x", "1", "2"})}));
}

TEST(TranslationData, InheritedFormMergesIntoTheAncestorsEntries) {
    TPasswordLang F;
    F.Lang->SetIsInheritedOwner(true);
    F.Lang->Captions()->Add(Entry({"btnOk", "a", "b"}));
    ReadData(F.Lang, "stCaptions\r\n" + Entry({"BTNOK", "", "B"}) + "\r\n" + Entry({"TfrmPassword", "p", "P"}) +
                         "\r\n" + Entry({"lbl", "l", "L"}) + "\r\n");
    EXPECT_EQ(Lines(F.Lang->Captions()), (std::vector<std::string>{Entry({"TfrmPassword", "p", "P"}),
                                                                   Entry({"btnOk", "a", "B"}), Entry({"lbl", "l", "L"})}));
}

TEST(TranslationData, StoredOnlyWhenItDiffersFromTheAncestor) {
    TPasswordLang Mine, Ancestor;
    TMemoryStream M;
    TWriter W(&M);
    EXPECT_TRUE(Mine.Lang->IsTranslationDataStored(W));
    W.SetAncestor(Ancestor.Lang);
    EXPECT_FALSE(Mine.Lang->IsTranslationDataStored(W));
    Mine.Lang->Hints()->Add(Entry({"b", "h"}));
    EXPECT_TRUE(Mine.Lang->IsTranslationDataStored(W));
}

TEST(StoredEntries, MergeEntry) {
    const struct {
        std::string Old, New, Merged;
    } Cases[] = {
        {Entry({"k", "a", "b"}), Entry({"k", "", "B", "", "C"}), Entry({"k", "a", "B", "", "C"})},
        {Entry({"k", "a", "b"}), Entry({"K", "x"}), Entry({"k", "x", "b"})},
        {Entry({"k", "a"}), "k", Entry({"k", "a"})},
        {"k", Entry({"k", "n"}), Entry({"k", "n"})},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(MergeEntry(C.Old, C.New, D), C.Merged) << C.Old << " + " << C.New;
}

TEST(StoredEntries, PadEntries) {
    TPasswordLang F;
    TStringList L;
    for (const std::string& S : {std::string("Key") + D + "a", Entry({"Key", "a", "b"}), std::string("bare")})
        L.Add(S);
    F.Lang->PadEntries(&L);
    EXPECT_EQ(Lines(&L), (std::vector<std::string>{Entry({"Key", "a", ""}), Entry({"Key", "a", "b"}), Entry({"bare", "", ""})}));
}

TEST(StoredEntries, WideLinesSplitAtCarriageReturns) {
    TsiWideStringsAdapter A;
    A.SetText(L"one\r\ntwo\rthree\nx\rtail");
    ASSERT_EQ(A.Count(), 3);
    EXPECT_EQ(A.Strings(0), L"one");
    EXPECT_EQ(A.Strings(1), L"two");
    EXPECT_EQ(A.Strings(2), L"threex");
    EXPECT_THROW(A.Strings(3), EListError);
}

TEST(ExtendedValues, ValuesExPayloads) {
    const std::string Russian = Entry({Cp1251(L"Сервер"), "Server"});
    std::wstring Wide = L"Сервер";
    Wide += wchar_t(1);
    std::string WideBytes = std::string(4, '\x07') + std::string(reinterpret_cast<const char*>(Wide.data()), Wide.size() * 2);
    const struct {
        const char* What;
        std::string Payload;
        std::string Values;
        std::wstring WideValues;
    } Cases[] = {
        {"8-bit", Russian, Russian, L""},
        {"UTF-16 after four bytes", WideBytes, WideToAnsi(Wide), Wide},
        {"too short for UTF-16", std::string("a\0", 2), "", L""},
        {"empty", "", "", L""},
    };
    ASSERT_EQ(Russian.size(), 14u);
    for (const auto& C : Cases) {
        std::string Hex;
        for (unsigned char B : C.Payload)
            Hex += IntToHex(B, 2);
        std::string Text = "object Owner1: TOwnerForm\n  object siLang1: TsiLang\n    ExtendedTranslations = <\n"
                           "      item\n        Identifier = 'grid.Columns[0].Title.Caption'\n"
                           "        PropertyType = tkLString\n        ValuesEx = {" + Hex + "}\n      end>\n  end\nend\n";
        std::string Binary = ObjectTextToBinary(Text);
        TMemoryStream M;
        M.WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
        M.SetPosition(0);
        TOwned<TOwnerForm> Form(As<TOwnerForm>(M.ReadComponent(nullptr)));
        TsiExtendedItems* Items = LangOf(Form.get())->ExtendedTranslations();
        ASSERT_EQ(Items->Count(), 1) << C.What;
        EXPECT_EQ(Items->Items(0)->Values(), C.Values) << C.What;
        EXPECT_EQ(Items->Items(0)->WideValues(), C.WideValues) << C.What;
        EXPECT_EQ(Items->Items(0)->PropertyType(), tkLString);
        EXPECT_EQ(Items->FindItem("GRID.Columns[0].Title.Caption"), Items->Items(0));
        EXPECT_FALSE(Items->Items(0)->IsRoot());
    }
}

}  // namespace
