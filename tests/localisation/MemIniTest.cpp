// Delimited fields, the substring search and the in-memory INI store, with the edge cases of their
// rules: missing fields, unclosed last fields, case-insensitive names, repeated keys and sections.
#include "LocalisationTestSupport.h"
#include "MemIni.h"
#include "TestSupport.h"

#include "DateUtils.h"

using loctest::D;

namespace {
struct TFieldCase {
    std::string Text;
    int Index;
    std::string Narrow;  // ExtractDelimitedField
    std::string Wide;    // ExtractDelimitedFieldW, as 8-bit text
};

std::string K(std::string_view S) {  // "k|a|b|" with | as the delimiter
    std::string R(S);
    std::replace(R.begin(), R.end(), '|', D);
    return R;
}

TEST(DelimitedFields, ExtractByIndex) {
    const TFieldCase Cases[] = {
        {K("k|a|b|"), 0, "k", "k"},
        {K("k|a|b|"), 2, "b", "b"},
        {K("k|a|b|"), 3, "", ""},  // nothing follows the last delimiter
        {K("k|a|b|"), 4, "", ""},
        {K("|a|"), 0, "", ""},
        {K("k|a"), 1, "a", ""},  // only the 8-bit routine returns an unclosed last field
        {K("k"), 0, "k", ""},
        {K("k||b|"), 1, "", ""},
        {"", 0, "", ""},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(ExtractDelimitedField(C.Text, D, C.Index), C.Narrow) << C.Text << " #" << C.Index;
        std::wstring W = ExtractDelimitedFieldW(AnsiToWide(C.Text), static_cast<wchar_t>(D), C.Index);
        EXPECT_EQ(WideToAnsi(W), C.Wide) << C.Text << " #" << C.Index << " (UTF-16)";
    }
}

TEST(DelimitedFields, FindSubstring) {
    const struct {
        std::string Pattern, Text;
        int Pos;
    } Cases[] = {
        {"", "abc", 1},       {"abcd", "abc", 0}, {"ab", "xxab", 3},  {"b", "abcb", 2},
        {"aa", "baaa", 2},    {"AB", "xxab", 0},  {"xyz", "abc", 0},  {"abc", "abc", 1},
        {"\xCF\xF0", "x\xEF\xCF\xF0", 3},  // bytes above 127 (code page 1251 text)
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FindSubstring(C.Pattern, C.Text), C.Pos) << C.Pattern << " in " << C.Text;
}

// A store filled from lines (LF-separated here).
struct TIniFromLines {
    TsiMemIniFile Ini{""};
    explicit TIniFromLines(const std::string& Text) {
        TStringList L;
        L.SetText(Text);
        Ini.FromLines(&L);
    }
    std::vector<std::string> Written() {
        TStringList L;
        Ini.ToLines(&L);
        return loctest::Lines(&L);
    }
    std::vector<std::string> Keys(const std::string& Section) {
        TStringList L;
        Ini.GetSectionKeys(Section, &L);
        return loctest::Lines(&L);
    }
};

TEST(MemIniStore, TypedReadersFallBackToTheDefault) {
    TIniFromLines F("[S]\nhex=0x1F\ndollar=$1F\nbad=12abc\nshort=0x\nneg=-5\nseven=7\nyes=yes\nzero=0\n");
    const struct {
        const char* Key;
        LongInt Expected;
    } Ints[] = {{"hex", 31}, {"dollar", 31}, {"bad", -1}, {"short", -1}, {"neg", -5}, {"missing", -1}};
    for (const auto& C : Ints)
        EXPECT_EQ(F.Ini.GetIntValue("S", C.Key, -1), C.Expected) << C.Key;
    EXPECT_TRUE(F.Ini.GetBoolValue("S", "seven", false));
    EXPECT_FALSE(F.Ini.GetBoolValue("S", "zero", true));
    EXPECT_TRUE(F.Ini.GetBoolValue("S", "yes", true));
    EXPECT_FALSE(F.Ini.GetBoolValue("S", "yes", false));
    F.Ini.SetBoolValue("S", "flag", true);
    EXPECT_EQ(F.Ini.GetValue("S", "flag", ""), "1");
}

TEST(MemIniStore, LinesParseWithoutTrimming) {
    TIniFromLines F("a=before any section\n[S]\n a = b \n;c=comment\nnoequals\n[\n[]\nx=in unnamed\n");
    EXPECT_EQ(F.Ini.GetValue("S", " a ", "?"), " b ");
    EXPECT_EQ(F.Ini.GetValue("S", "a", "?"), "?");
    EXPECT_EQ(F.Ini.GetValue("S", "noequals", "?"), "");
    EXPECT_EQ(F.Ini.GetValue("S", "[", "?"), "") << "a lone [ is a key line";
    EXPECT_EQ(F.Ini.GetValue("S", ";c", "?"), "?");
    EXPECT_EQ(F.Ini.GetValue("", "x", "?"), "in unnamed");
    TStringList Names;
    F.Ini.GetSectionNames(&Names);
    EXPECT_EQ(loctest::Lines(&Names), (std::vector<std::string>{"", "S"})) << "the line before any section is dropped";
}

TEST(MemIniStore, NamesIgnoreCase) {
    TIniFromLines F("[OPTIONS]\nDELIMITER=;\n");
    EXPECT_EQ(F.Ini.GetValue("options", "delimiter", ""), ";");
    F.Ini.RemoveKey("Options", "Delimiter");
    EXPECT_EQ(F.Ini.GetValue("OPTIONS", "DELIMITER", "gone"), "gone");
}

TEST(MemIniStore, RepeatedKeysReadTheLaterAndWriteBoth) {
    TIniFromLines F("[S]\nk=first\nk=second\n");
    EXPECT_EQ(F.Ini.GetValue("S", "k", ""), "second");
    EXPECT_EQ(F.Written(), (std::vector<std::string>{"[S]", "k=second", "k=first", ""}));
}

TEST(MemIniStore, RepeatedSectionKeepsEveryLine) {
    TIniFromLines F("[S]\na=1\n[T]\nb=2\n[s]\nc=3\n");
    EXPECT_EQ(F.Keys("S"), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(F.Ini.GetValue("S", "c", ""), "3");
    EXPECT_EQ(F.Keys("T"), (std::vector<std::string>{"b"}));
}

TEST(MemIniStore, SetValueSplitsTheKeyAtItsEqualsSign) {
    TsiMemIniFile Ini("");
    Ini.SetValue("S", "a=b", "c");
    EXPECT_EQ(Ini.GetValue("S", "a", ""), "b=c");
    Ini.SetValue("S", "a", "new");
    EXPECT_EQ(Ini.GetValue("S", "a", ""), "new");
    TStringList Keys;
    Ini.GetSectionKeys("S", &Keys);
    EXPECT_EQ(Keys.Count(), 1) << "the old key is replaced, not repeated";
}

TEST(MemIniStore, WritesSectionsSortedAndEndsWithAnEmptyLine) {
    TIniFromLines F("[b]\nz=1\ny=2\n[A]\nx=3\n");
    EXPECT_EQ(F.Written(), (std::vector<std::string>{"[A]", "x=3", "", "[b]", "y=2", "z=1", ""}));
    TStringList Values;
    F.Ini.GetSectionValues("b", &Values);
    EXPECT_EQ(loctest::Lines(&Values), (std::vector<std::string>{"2", "1"})) << "in the order of the keys";
}

TEST(MemIniStore, SectionsWithoutKeysCountAsAbsent) {
    TIniFromLines F("[Empty]\n[Full]\nk=v\n");
    EXPECT_FALSE(F.Ini.HasSection("Empty"));
    EXPECT_TRUE(F.Ini.HasSection("full"));
    EXPECT_FALSE(F.Ini.HasSection("Missing"));
    F.Ini.RemoveSection("Full");
    EXPECT_FALSE(F.Ini.HasSection("Full"));
    EXPECT_EQ(F.Ini.GetValue("Full", "k", "gone"), "gone");
}

TEST(MemIniStore, FlushAndReadBackThroughAFile) {
    testing_support::TempDir Dir;
    const std::string Name = Dir / "lang.ini";
    {
        TsiMemIniFile Ini(Name);
        Ini.SetValue("Language names", "Rus", loctest::Cp1251(L"Русский"));
        Ini.SetIntValue("Options", "Count", 2);
        Ini.Flush();
    }
    TsiMemIniFile Again(Name);
    EXPECT_EQ(Again.GetValue("language NAMES", "rus", ""), loctest::Cp1251(L"Русский"));
    EXPECT_EQ(Again.GetIntValue("Options", "Count", 0), 2);

    TMemoryStream M;
    const std::string Text = "skipped\r\n[S]\r\nk=v\r\n";
    M.WriteBuffer(Text.data(), static_cast<LongInt>(Text.size()));
    M.SetPosition(9);
    Again.ReadFromStream(&M);
    EXPECT_EQ(Again.GetValue("S", "k", ""), "v");
    EXPECT_FALSE(Again.HasSection("Options")) << "reading a stream replaces the content";
}

// Date, time and float texts follow the user's locale: run in both.
TEST(MemIniLocale, DatesTimesAndFloatsInTheUsersFormat) {
    TsiMemIniFile Ini("");
    const TDateTime Day = EncodeDate(2024, 3, 9), Moment = Day + EncodeTime(13, 5, 7, 0);
    Ini.SetDateValue("S", "d", Day);
    Ini.SetDateTimeValue("S", "dt", Moment);
    Ini.SetTimeValue("S", "t", EncodeTime(13, 5, 7, 0));
    Ini.SetFloatValue("S", "f", 2.5);
    EXPECT_EQ(Ini.GetValue("S", "d", ""), DateToStr(Day));
    EXPECT_EQ(Ini.GetDateValue("S", "d", 0), Day);
    EXPECT_NEAR(Ini.GetDateTimeValue("S", "dt", 0), Moment, 1e-6);
    EXPECT_NEAR(Ini.GetTimeValue("S", "t", 0), EncodeTime(13, 5, 7, 0), 1e-6);
    EXPECT_EQ(Ini.GetFloatValue("S", "f", 0), 2.5);
    EXPECT_EQ(Ini.GetValue("S", "f", ""), std::string("2") + DecimalSeparator + "5");
    Ini.SetValue("S", "bad", "not a date");
    EXPECT_EQ(Ini.GetDateValue("S", "bad", 7), 7);
    EXPECT_EQ(Ini.GetFloatValue("S", "bad", 1.5), 1.5);
    EXPECT_EQ(Ini.GetTimeValue("S", "missing", 3), 3);
}
}  // namespace
