// INI files: the in-memory file, the profile-function file and the registry-backed ones.
#include "IniFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using testing_support::TempDir;

namespace {
std::vector<std::string> Lines(TStrings& S) {
    std::vector<std::string> R;
    for (int I = 0; I < S.Count(); ++I)
        R.push_back(S[I]);
    return R;
}

std::string FileText(const std::string& Name) {
    auto B = testing_support::ReadFileBytes(Name);
    return std::string(B.begin(), B.end());
}

const char* const SkinOptions =
    "; skin options\r\n"
    "stray=before any section\r\n"
    "[GLOBALINFO]\r\n"
    "VERSION = 7.52\r\n"
    "BorderWidth=0x1F\r\n"
    "Shadow=$10\r\n"
    "Bad=12abc\r\n"
    "Hex=0x\r\n"
    "\r\n"
    "[  Button  ]\r\n"
    "Quoted=\"a b\"\r\n"
    "Flag=-1\r\n"
    "[globalinfo]\r\n"
    "Author=someone\r\n";

// A key of this test process under HKEY_CURRENT_USER, removed afterwards.
class RegistryIni : public ::testing::Test {
protected:
    std::string Key = "Software\\Quarnel Tests\\h2-ini-" + std::to_string(GetCurrentProcessId());
    void TearDown() override { TRegistry().DeleteKey("\\" + Key); }
};
}  // namespace

TEST(MemIniFile, ReadsSectionsAndKeysInFileOrderWithoutRegardToCase) {
    TempDir Dir;
    testing_support::WriteFileText(Dir / "Options.dat", SkinOptions);
    TMemIniFile Ini(Dir / "Options.dat");
    TStringList S;
    Ini.ReadSections(&S);
    EXPECT_EQ(Lines(S), (std::vector<std::string>{"GLOBALINFO", "Button"}));
    Ini.ReadSection("globalinfo", &S);
    EXPECT_EQ(Lines(S), (std::vector<std::string>{"VERSION", "BorderWidth", "Shadow", "Bad", "Hex", "Author"}))
        << "a repeated header adds to the first section";
    EXPECT_EQ(Ini.ReadString("GlobalInfo", "version", "?"), "7.52");
    EXPECT_EQ(Ini.ReadString("Button", "Quoted", "?"), "\"a b\"") << "quotes are kept";
    EXPECT_EQ(Ini.ReadString("Button", "Missing", "dflt"), "dflt");
    EXPECT_EQ(Ini.ReadString("Nowhere", "x", "dflt"), "dflt");
    EXPECT_EQ(Ini.ReadString("GLOBALINFO", "stray", "none"), "none") << "lines before any section are skipped";
    EXPECT_TRUE(Ini.SectionExists("BUTTON"));
    EXPECT_TRUE(Ini.ValueExists("Button", "flag"));
    EXPECT_FALSE(Ini.ValueExists("Button", "nothing"));
}

TEST(MemIniFile, TypedValues) {
    TMemIniFile Ini("");
    TStringList Text;
    Text.SetText(SkinOptions);
    Ini.SetStrings(&Text);
    struct Case {
        const char* Ident;
        LongInt Expected;
    } Integers[] = {{"BorderWidth", 31}, {"Shadow", 16}, {"Bad", -7}, {"Hex", -7}, {"Missing", -7}};
    for (const Case& C : Integers)
        EXPECT_EQ(Ini.ReadInteger("GLOBALINFO", C.Ident, -7), C.Expected) << C.Ident;
    EXPECT_TRUE(Ini.ReadBool("Button", "Flag", false));
    EXPECT_TRUE(Ini.ReadBool("Button", "Missing", true));
    EXPECT_FALSE(Ini.ReadBool("Button", "Quoted", false)) << "not a number: the default";
    TFormatSettings Saved = FormatSettings;
    DecimalSeparator = '.';
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("GLOBALINFO", "VERSION", 0), 7.52);
    DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("GLOBALINFO", "VERSION", 0), 0) << "the user's separator decides";
    Ini.WriteFloat("S", "F", 2.5);
    EXPECT_EQ(Ini.ReadString("S", "F", ""), "2,5");
    FormatSettings = Saved;
    Ini.WriteDate("S", "D", EncodeDate(2026, 4, 15));
    EXPECT_EQ(Ini.ReadDate("S", "D", 0), EncodeDate(2026, 4, 15));
    EXPECT_EQ(Ini.ReadDateTime("S", "Bad", 1.5), 1.5);
    Ini.WriteBool("S", "B", true);
    Ini.WriteInteger("S", "I", -12);
    EXPECT_EQ(Ini.ReadString("S", "B", ""), "1");
    EXPECT_EQ(Ini.ReadInteger("S", "I", 0), -12);
}

TEST(MemIniFile, ChangesAreWrittenByUpdateFile) {
    TempDir Dir;
    std::string Name = Dir / "Settings.ini";
    testing_support::WriteFileText(Name, "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    {
        TMemIniFile Ini(Name);
        Ini.WriteString("a", "X", "10");
        Ini.WriteString("C", "new", "v");
        Ini.DeleteKey("A", "y");
        Ini.EraseSection("b");
        EXPECT_EQ(FileText(Name), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n") << "nothing written yet";
        Ini.UpdateFile();
    }
    EXPECT_EQ(FileText(Name), "[A]\r\nX=10\r\n\r\n[C]\r\nnew=v\r\n\r\n");
    TMemIniFile Again(Name);
    TStringList Values;
    Again.ReadSectionValues("A", &Values);
    EXPECT_EQ(Lines(Values), (std::vector<std::string>{"X=10"}));
    Again.Rename(Dir / "missing.ini", true);
    Again.ReadSections(&Values);
    EXPECT_EQ(Values.Count(), 0) << "a missing file gives an empty store";
    TMemIniFile NoName("");
    NoName.WriteString("s", "k", "v");
    EXPECT_THROW(NoName.UpdateFile(), EFCreateError);
}

TEST(IniFile, ProfileFunctionsStripQuotesAndKeepLongValues) {
    TempDir Dir;
    std::string Name = Dir / "Quarnel_Params.INI";
    TIniFile Ini(Name);
    Ini.WriteString("Main", "Quoted", "\"a b\"");
    Ini.WriteString("Main", "Plain", "text");
    std::string Long(5000, 'x');
    Ini.WriteString("Main", "Long", Long);
    Ini.WriteInteger("Other", "N", 0x10);
    Ini.UpdateFile();
    EXPECT_EQ(Ini.ReadString("Main", "Quoted", ""), "a b");
    EXPECT_EQ(Ini.ReadString("main", "PLAIN", ""), "text");
    EXPECT_EQ(Ini.ReadString("Main", "Long", ""), Long) << "nothing is cut";
    EXPECT_EQ(Ini.ReadString("Main", "Missing", "dflt"), "dflt");
    EXPECT_EQ(Ini.ReadInteger("Other", "N", 0), 16);
    TStringList S;
    Ini.ReadSections(&S);
    EXPECT_EQ(Lines(S), (std::vector<std::string>{"Main", "Other"}));
    Ini.ReadSection("Main", &S);
    EXPECT_EQ(Lines(S), (std::vector<std::string>{"Quoted", "Plain", "Long"}));
    Ini.ReadSectionValues("Other", &S);
    EXPECT_EQ(Lines(S), (std::vector<std::string>{"N=16"}));
    Ini.DeleteKey("Main", "Long");
    EXPECT_FALSE(Ini.ValueExists("Main", "Long"));
    Ini.EraseSection("Main");
    EXPECT_FALSE(Ini.SectionExists("Main"));
    TIniFile Nowhere(Dir / "no\\such\\folder\\x.ini");
    EXPECT_THROW(Nowhere.WriteString("s", "k", "v"), EIniFileException);
}

TEST_F(RegistryIni, RegIniFileKeepsSectionsAsSubkeysAndValuesAsText) {
    {
        TRegIniFile Ini(Key);
        Ini.WriteInteger("t1", "Width", 120);
        Ini.WriteBool("t1", "Visible", true);
        Ini.WriteBool("t2", "Visible", false);
        Ini.WriteString("", "Top", "root value");
    }
    TRegistry R;
    ASSERT_TRUE(R.OpenKey("\\" + Key + "\\t1", false));
    EXPECT_EQ(R.ReadString("Width"), "120") << "integers are stored as text";
    EXPECT_EQ(R.ReadString("Visible"), "1");
    R.WriteInteger("Dword", 7);
    R.CloseKey();

    TRegIniFile Ini(Key);
    EXPECT_EQ(Ini.ReadInteger("t1", "Width", 0), 120);
    EXPECT_EQ(Ini.ReadInteger("t1", "Dword", 0), 7) << "a number value reads too";
    EXPECT_TRUE(Ini.ReadBool("t1", "Visible", false));
    EXPECT_FALSE(Ini.ReadBool("t2", "Visible", true));
    EXPECT_EQ(Ini.ReadString("", "Top", ""), "root value");
    EXPECT_EQ(Ini.ReadString("missing", "x", "dflt"), "dflt");
    EXPECT_FALSE(Ini.KeyExists("missing")) << "reading does not create sections";
    TStringList S;
    Ini.ReadSections(&S);
    std::vector<std::string> Sections = Lines(S);
    std::sort(Sections.begin(), Sections.end());
    EXPECT_EQ(Sections, (std::vector<std::string>{"t1", "t2"}));
    Ini.ReadSectionValues("t1", &S);
    std::vector<std::string> Values = Lines(S);
    std::sort(Values.begin(), Values.end());
    EXPECT_EQ(Values, (std::vector<std::string>{"Dword=7", "Visible=1", "Width=120"}));
    Ini.DeleteKey("t1", "Width");
    EXPECT_EQ(Ini.ReadInteger("t1", "Width", -1), -1);
    Ini.EraseSection("t1");
    EXPECT_FALSE(Ini.KeyExists("t1"));
    TRegIniFile Root("");
    EXPECT_TRUE(Root.OpenKey(Key, false)) << "an empty name opens the root";
}

TEST_F(RegistryIni, RegistryIniFileStoresIntegersAsNumbers) {
    {
        TRegistryIniFile Ini(Key);
        Ini.WriteInteger("Placement", "Flags", 3);
        Ini.WriteString("Placement", "NormPos", "1,2,3,4");
        EXPECT_TRUE(Ini.ValueExists("Placement", "Flags"));
        EXPECT_FALSE(Ini.ValueExists("Placement", "Nothing"));
    }
    TRegistry R;
    ASSERT_TRUE(R.OpenKey("\\" + Key + "\\Placement", false));
    EXPECT_EQ(R.ReadInteger("Flags"), 3);
    TRegistryIniFile Ini(Key);
    EXPECT_EQ(Ini.ReadInteger("Placement", "Flags", 0), 3);
    EXPECT_EQ(Ini.ReadString("Placement", "NormPos", ""), "1,2,3,4");
    EXPECT_EQ(Ini.ReadInteger("Placement", "NormPos", -1), -1);
}
