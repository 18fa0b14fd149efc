// The text routines over delimited entries and the property layer the component reaches its owner's
// components through.
#include "LocalisationTestComponents.h"

using namespace loctest;

namespace {

const std::string d(1, D);

TEST(siCompText, WordsOfDelimitedText) {
    const struct {
        int N;
        std::string Text, Delims;
        int Position;
        std::string Word;
    } Cases[] = {
        {1, "k" + d + d + "b" + d, d, 1, "k"},
        {2, "k" + d + d + "b" + d, d, 3, ""},  // two delimiters enclose an empty word
        {3, "k" + d + d + "b" + d, d, 4, "b"},
        {4, "k" + d + d + "b" + d, d, 0, ""},
        {1, d + "a" + d, d, 2, "a"},  // a leading delimiter counts no empty first word
        {2, "Title.X", ".", 7, "X"},
        {2, "a.b[c", ".[", 3, "b"},
        {1, "", ".", 0, ""},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(WordPosition(C.N, C.Text, C.Delims), C.Position) << C.N << " of " << C.Text;
        EXPECT_EQ(ExtractWord(C.N, C.Text, C.Delims), C.Word) << C.N << " of " << C.Text;
    }
}

TEST(siCompText, FieldsMovedAndDeleted) {
    EXPECT_EQ(DeleteField(Entry({"k", "a", "b"}), 1, D), Entry({"k", "b", ""}));
    EXPECT_EQ(DeleteField(Entry({"k", "a", "b"}), 2, D), Entry({"k", "a", ""}));
    EXPECT_EQ(MoveField(Entry({"k", "a", "b", "c"}), 3, 1, D), Entry({"k", "c", "a", "b"}));
    EXPECT_EQ(MoveField(Entry({"k", "a", "b", "c"}), 1, 3, D), Entry({"k", "b", "c", "a"}));
    EXPECT_EQ(MoveField(Entry({"k", "a", "b", "c"}), 2, 2, D), Entry({"k", "a", "b", "c"}));

    TStringList L;
    L.Add(Entry({"x", "eng", "rus"}));
    L.Add(Entry({"y", "yes", "да"}));
    MoveColumn(&L, 2, 1, D);
    EXPECT_EQ(Lines(&L), (std::vector<std::string>{Entry({"x", "rus", "eng"}), Entry({"y", "да", "yes"})}));
    DeleteColumn(&L, 2, D);
    EXPECT_EQ(Lines(&L), (std::vector<std::string>{Entry({"x", "rus", ""}), Entry({"y", "да", ""})}));
    EXPECT_TRUE(ListHasKey(&L, "Y", D));
    EXPECT_FALSE(ListHasKey(&L, "rus", D));
}

TEST(siCompText, ReplaceTextAndKeys) {
    EXPECT_EQ(ReplaceText("a.b.c", ".", "--", false), "a--b.c");
    EXPECT_EQ(ReplaceText("a.b.c", ".", "", true), "abc");
    EXPECT_EQ(ReplaceText("abc", "", "x", true), "abc") << "an empty pattern changes nothing and ends";
    EXPECT_EQ(ReplaceText("abc", "z", "x", true), "abc");
    EXPECT_EQ(EntryKey("no delimiter", D), "");
    EXPECT_EQ(EntryKey(Entry({"key", "v"}), D), "key");
    TLangOnOwner F;
    EXPECT_EQ(F.Lang->StripDelimiters(d + d + "a" + d + "b" + d + d), "a" + d + "b");
    EXPECT_EQ(F.Lang->StripDelimiters(d + d), "");
}

TEST(siCompText, SmallPredicatesAndTestModeTexts) {
    EXPECT_FALSE(IsExtraDialogCaption("No To All"));
    EXPECT_TRUE(IsExtraDialogCaption("N&o To All")) << "compared without the ampersands of the table";
    EXPECT_TRUE(IsExtraDialogCaption("Open"));
    EXPECT_TRUE(IsSibFileName("C:\\lang\\texts.sib"));
    EXPECT_FALSE(IsSibFileName("texts.sib.txt"));
    EXPECT_EQ(FlipCase("Ab1 z"), "aB1 Z");
    EXPECT_EQ(FlipCase(Cp1251(L"ПрИвет")), Cp1251(L"пРиВЕТ"));
    EXPECT_EQ(ExpandChars("abc", '*', 100), "a*b*c*");
    EXPECT_EQ(ExpandChars("abcd", '#', 50), "abc#d#") << "the later characters get the padding";
    EXPECT_EQ(ExpandChars("%d files", '*', 100), "%d files") << "a format string stays";
    EXPECT_EQ(CompareTextNoCase(Cp1251(L"Сервер"), Cp1251(L"СЕРВЕР")), 0);
    EXPECT_NE(CompareTextExact(Cp1251(L"Сервер"), Cp1251(L"СЕРВЕР")), 0);
}

TEST(siCompProperties, ListOfPublishedProperties) {
    EXPECT_EQ(MessageOf([] { TsiPropInfoList L(nullptr, tkProperties); }), "NIL passed as AObject in TsiPropInfoList.Create!");
    TOwned<TPropsBox> Box(Create<TPropsBox>(nullptr));
    TsiPropInfoList Strings(Box.get(), StringKinds);
    ASSERT_NE(Strings.Find("caption"), nullptr);
    EXPECT_EQ(Strings.Find("caption")->Name, "Caption");
    EXPECT_EQ(Strings.Find("Font"), nullptr) << "not a string";
    EXPECT_EQ(Strings.Size(), Strings.Count() * 4);
    for (int I = 1; I < Strings.Count(); ++I)
        EXPECT_LT(CompareText(Strings.Items(I - 1)->Name, Strings.Items(I)->Name), 0) << "sorted by name";
    EXPECT_THROW(Strings.Items(Strings.Count()), EListError);

    EXPECT_TRUE(HasProperty(Box.get(), "font", ObjectKinds, "tfont"));
    EXPECT_FALSE(HasProperty(Box.get(), "Font", StringKinds));
    EXPECT_FALSE(HasProperty(Box.get(), "Lines", ObjectKinds, "TFont"));
    EXPECT_FALSE(HasProperty(nullptr, "Caption", StringKinds));
    Box->Font()->SetName("Arial");
    Box->Font()->SetCharset(204);
    EXPECT_EQ(FontNameOf(Box.get()), "Arial");
    EXPECT_EQ(FontCharsetOf(Box.get()), 204);
    TOwned<TTitleStub> NoFont(Create<TTitleStub>());
    EXPECT_EQ(FontNameOf(NoFont.get()), "");
    EXPECT_EQ(FontCharsetOf(NoFont.get()), 0);
}

TEST(siCompProperties, WideStringsTakeTheActiveCharset) {
    TLangWithBoxes F({"Box1"});
    F.Lang->CharSets()->Add(Entry({"TCaptionOwner", "RUSSIAN_CHARSET", "DEFAULT_CHARSET"}));
    F.Lang->RefreshActiveCharset();
    TPropsBox* Box = F.Box("Box1");
    F.Lang->WritePropertyByName(Box, "WideText", Cp1251(L"Сервер"));
    EXPECT_EQ(Box->WideText, L"Сервер");
    EXPECT_EQ(F.Lang->ReadPropertyByName(Box, "WideText"), Cp1251(L"Сервер"));
    F.Lang->WritePropertyByName(Box, "NoSuchProperty", "x");  // nothing happens
    EXPECT_EQ(F.Lang->ReadPropertyByName(Box, "NoSuchProperty"), "");
    EXPECT_EQ(F.Lang->ReadPropertyByName(nullptr, "Caption"), "");
    EXPECT_EQ(F.Lang->FindListProperty("Captions"), F.Lang->Captions());
    EXPECT_EQ(F.Lang->FindListProperty("Version"), nullptr);

    // The hook sees every text before it is written.
    SetPropertyHook = [](TObject*, PPropInfo, std::string& Text) { Text = "[" + Text + "]"; };
    F.Lang->WritePropertyByName(Box, "Caption", "x");
    SetPropertyHook = nullptr;
    EXPECT_EQ(Box->Caption, "[x]");
}

}  // namespace
