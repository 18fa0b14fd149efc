// Strings, integer and Boolean conversions, exceptions, file names, files and the command line.
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using testing_support::TempDir;

// windows.h's DeleteFile and GetEnvironmentVariable macros must not turn these into the platform's.
static_assert(std::is_same_v<decltype(DeleteFile(std::string_view())), bool>);
static_assert(std::is_same_v<decltype(GetEnvironmentVariable(std::string_view())), std::string>);

TEST(SysUtilsStrings, OneBasedHelpersClampAndReportZero) {
    EXPECT_EQ(Pos("lo", "hello"), 4);
    EXPECT_EQ(Pos("x", "hello"), 0);
    EXPECT_EQ(Pos("", "hello"), 0) << "an empty pattern is never found";
    EXPECT_EQ(Copy("hello", 2, 3), "ell");
    EXPECT_EQ(Copy("hello", 0, 2), "he") << "an index below 1 counts as 1";
    EXPECT_EQ(Copy("hello", 4, 100), "lo");
    EXPECT_EQ(Copy("hello", 6, 1), "");
    EXPECT_EQ(Copy("hello", 2, -1), "");
    std::string S = "hello";
    Delete(S, 2, 2);
    EXPECT_EQ(S, "hlo");
    Delete(S, 0, 5);
    EXPECT_EQ(S, "hlo") << "an index outside the string deletes nothing";
    Delete(S, 3, 10);
    EXPECT_EQ(S, "hl");
    Insert("XY", S, 2);
    EXPECT_EQ(S, "hXYl");
    Insert("!", S, 100);
    EXPECT_EQ(S, "hXYl!");
    EXPECT_EQ(LastDelimiter("\\:", "C:\\dir\\file.txt"), 7);
    EXPECT_EQ(LastDelimiter(".", "none"), 0);
}

TEST(SysUtilsStrings, TrimRemovesBlanksAndControlCharacters) {
    EXPECT_EQ(Trim(" \t\r\n a b \x01\x1f"), "a b");
    EXPECT_EQ(TrimLeft("  a  "), "a  ");
    EXPECT_EQ(TrimRight("  a  "), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0") << "only characters up to the blank go";
}

// Bytes E0 E1 are small letters in code pages 1251 and 1252 alike, with capitals C0 C1.
TEST(SysUtilsLocale, CaseMappingAsciiOrByTheSystem) {
    EXPECT_EQ(UpperCase("abc\xE0\xE1"), "ABC\xE0\xE1");
    EXPECT_EQ(LowerCase("ABC\xC0"), "abc\xC0");
    EXPECT_EQ(AnsiUpperCase("abc\xE0\xE1"), "ABC\xC0\xC1");
    EXPECT_EQ(AnsiLowerCase("ABC\xC0\xC1"), "abc\xE0\xE1");
    EXPECT_EQ(CompareText("\xE0", "\xC0") != 0, true) << "CompareText folds ASCII only";
    EXPECT_EQ(AnsiCompareText("\xE0", "\xC0"), 0);
    EXPECT_TRUE(AnsiSameText("Abc\xE0", "aBC\xC0"));
    EXPECT_FALSE(AnsiSameStr("a", "A"));
}

TEST(SysUtilsStrings, ComparisonsGiveTheSign) {
    struct Case {
        const char *A, *B;
        int Str, Text;
    } Cases[] = {
        {"a", "a", 0, 0}, {"a", "b", -1, -1}, {"b", "a", 1, 1}, {"a", "B", 1, -1},
        {"abc", "ab", 1, 1}, {"", "a", -1, -1}, {"ABC", "abc", -1, 0},
    };
    auto Sign = [](int V) { return V < 0 ? -1 : (V > 0 ? 1 : 0); };
    for (const Case& C : Cases) {
        EXPECT_EQ(Sign(CompareStr(C.A, C.B)), C.Str) << C.A << " / " << C.B;
        EXPECT_EQ(Sign(CompareText(C.A, C.B)), C.Text) << C.A << " / " << C.B;
        EXPECT_EQ(SameText(C.A, C.B), C.Text == 0);
    }
    EXPECT_LT(AnsiCompareStr("a", "b"), 0);
    EXPECT_GT(AnsiCompareText("b", "A"), 0);
}

TEST(SysUtilsStrings, StringReplaceNeverRescansInsertedText) {
    struct Case {
        const char *S, *Old, *New;
        TReplaceFlags Flags;
        const char* Expected;
    } Cases[] = {
        {"aXbXc", "X", "--", {}, "a--bXc"},
        {"aXbXc", "X", "--", {rfReplaceAll}, "a--b--c"},
        {"aXbxc", "x", "", {rfReplaceAll, rfIgnoreCase}, "abc"},
        {"aXbxc", "x", "", {rfReplaceAll}, "aXbc"},
        {"aaa", "a", "aa", {rfReplaceAll}, "aaaaaa"},
        {"abab", "ab", "b", {rfReplaceAll}, "bb"},
        {"text", "", "x", {rfReplaceAll}, "text"},
        {"x;y;", ";", "|", {rfReplaceAll}, "x|y|"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(StringReplace(C.S, C.Old, C.New, C.Flags), C.Expected) << C.S << " " << C.Old;
}

TEST(SysUtilsStrings, QuotingDoublesAndExtractingHalvesQuotes) {
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(QuotedStr(""), "''");
    EXPECT_EQ(AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");
    std::string_view Src = "\"a\"\"b\" rest";
    EXPECT_EQ(AnsiExtractQuotedStr(Src, '"'), "a\"b");
    EXPECT_EQ(Src, " rest");
    Src = "\"open";
    EXPECT_EQ(AnsiExtractQuotedStr(Src, '"'), "open");
    EXPECT_TRUE(Src.empty()) << "without a closing quote the text runs to the end";
    Src = "plain";
    EXPECT_EQ(AnsiExtractQuotedStr(Src, '"'), "");
    EXPECT_EQ(Src, "plain");
    EXPECT_EQ(AnsiDequotedStr("'x''y'", '\''), "x'y");
    EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
}

TEST(SysUtilsStrings, CodePageConversionsAreExplicit) {
    // "Привет" in code page 1251 and in UTF-16.
    const std::string Cp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
    const std::wstring Wide = L"\x041F\x0440\x0438\x0432\x0435\x0442";
    EXPECT_EQ(AnsiToWide(Cp1251, 1251), Wide);
    EXPECT_EQ(WideToAnsi(Wide, 1251), Cp1251);
    EXPECT_EQ(UTF8Encode(Wide), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    EXPECT_EQ(UTF8Decode(UTF8Encode(Wide)), Wide);
    EXPECT_EQ(AnsiToWide(std::string("a\0b", 3), 1252), std::wstring(L"a\0b", 3)) << "NUL is a character";
    EXPECT_EQ(AnsiToWide("", 1251), L"");
}

TEST(SysUtilsConvert, StrToIntTable) {
    struct Case {
        const char* S;
        bool Ok;
        LongInt Value;
    } Cases[] = {
        {"0", true, 0},           {"12", true, 12},          {"0012", true, 12},
        {"  12", true, 12},       {"+5", true, 5},            {"-5", true, -5},
        {"$1F", true, 31},        {"$1f", true, 31},          {"-$10", true, -16},
        {"$FFFFFFFF", true, -1},  {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0}, {"$100000000", false, 0},  {"0x10", false, 0},
        {"12 ", false, 0},        {"", false, 0},             {" ", false, 0},
        {"-", false, 0},          {"$", false, 0},            {"- 5", false, 0},
        {"1.5", false, 0},        {"\t5", false, 0},          {"x10", false, 0},
    };
    for (const Case& C : Cases) {
        LongInt V = 77;
        EXPECT_EQ(TryStrToInt(C.S, V), C.Ok) << "'" << C.S << "'";
        if (C.Ok) {
            EXPECT_EQ(V, C.Value) << C.S;
            EXPECT_EQ(StrToInt(C.S), C.Value);
        } else {
            EXPECT_EQ(V, 77) << "a failed conversion leaves the value";
            EXPECT_EQ(StrToIntDef(C.S, -9), -9);
        }
    }
    try {
        StrToInt("0x10");
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "'0x10' is not a valid integer value");
    }
}

TEST(SysUtilsConvert, StrToInt64CoversTheWholeRange) {
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64("2147483648"), 2147483648LL);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(StrToInt64Def("abc", 3), 3);
}

TEST(SysUtilsConvert, IntToStrAndHex) {
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(255, 1), "FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF") << "32-bit two's complement";
    EXPECT_EQ(IntToHex(Int64(-1), 2), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(DWORD(0x80004005), 8), "80004005");
}

TEST(SysUtilsConvert, BooleansAsTextAndNumbers) {
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_EQ(BoolToStr(false), "0");
    EXPECT_EQ(BoolToStr(true, true), "True");
    struct Case {
        const char* S;
        bool Ok, Value;
    } Cases[] = {{"-1", true, true}, {"1", true, true},   {"0", true, false},     {"True", true, true},
                 {"false", true, false}, {"TRUE", true, true}, {"yes", false, false}, {"", false, false}};
    for (const Case& C : Cases) {
        bool B = false;
        EXPECT_EQ(TryStrToBool(C.S, B), C.Ok) << C.S;
        if (C.Ok) {
            EXPECT_EQ(B, C.Value) << C.S;
        }
    }
    EXPECT_THROW(StrToBool("yes"), EConvertError);
}

TEST(SysUtilsConvert, RoundHalfToEvenTruncTowardZero) {
    struct Case {
        double X;
        Int64 Round, Trunc;
    } Cases[] = {{0.5, 0, 0},   {1.5, 2, 1},   {2.5, 2, 2},    {2.51, 3, 2},  {-0.5, 0, 0},
                 {-1.5, -2, -1}, {-2.5, -2, -2}, {-2.6, -3, -2}, {3.0, 3, 3}, {1e12 + 0.5, 1000000000000LL, 1000000000000LL}};
    for (const Case& C : Cases) {
        EXPECT_EQ(Round(C.X), C.Round) << C.X;
        EXPECT_EQ(Trunc(C.X), C.Trunc) << C.X;
    }
}

TEST(SysUtilsExceptions, HierarchyMessagesAndFormatArguments) {
    try {
        throw EListError(SysConsts::SListIndexError, {5});
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (5)");
        EXPECT_STREQ(E.what(), "List index out of bounds (5)");
        EXPECT_EQ(E.ClassName(), "EListError");
    }
    EXPECT_THROW(throw EStringListError(SysConsts::SDuplicateString), EListError);
    try {
        Abort();
    } catch (const EAbort& E) {
        EXPECT_EQ(E.ClassName(), "EAbort");
    }
    EXPECT_TRUE(EVariantError::StaticClass()->InheritsFrom(Exception::StaticClass()));
    EXPECT_TRUE(ERegistryException::StaticClass()->InheritsFrom(Exception::StaticClass()));
}

TEST(SysUtilsExceptions, OSErrorsCarryCodeAndTheSystemText) {
    std::string Text = SysErrorMessage(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(Text.empty());
    EXPECT_NE(Text.back(), '.');
    EXPECT_GT(static_cast<unsigned char>(Text.back()), ' ');
    EXPECT_EQ(SysErrorMessage(0xDEADBEEF), "") << "no text for an unknown code";
    SetLastError(ERROR_FILE_NOT_FOUND);
    try {
        RaiseLastOSError();
    } catch (const EOSError& E) {
        EXPECT_EQ(E.ErrorCode, DWORD(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(E.Message(), "System Error.  Code: 2.\r\n" + Text);
    }
    try {
        RaiseLastOSError(0);
    } catch (const EOSError& E) {
        EXPECT_EQ(E.Message(), "A call to an OS function failed");
    }
}

TEST(SysUtilsExceptions, AssertNamesFileAndLine) {
    EXPECT_NO_THROW(Assert(true));
    int Line = __LINE__ + 2;
    try {
        Assert(false);
        FAIL();
    } catch (const EAssertionFailed& E) {
        EXPECT_NE(E.Message().find("Assertion failure ("), std::string::npos) << E.Message();
        EXPECT_NE(E.Message().find("SysUtilsTest.cpp, line " + std::to_string(Line) + ")"), std::string::npos)
            << E.Message();
    }
    try {
        Assert(false, "count");
    } catch (const EAssertionFailed& E) {
        EXPECT_EQ(E.Message().rfind("count (", 0), 0u) << E.Message();
    }
}

TEST(SysUtilsFileNames, SplitAndChange) {
    struct Case {
        const char *Name, *Path, *Dir, *File, *Ext;
    } Cases[] = {
        {"C:\\dir\\file.txt", "C:\\dir\\", "C:\\dir", "file.txt", ".txt"},
        {"C:\\file", "C:\\", "C:\\", "file", ""},
        {"C:file.a.b", "C:", "C:", "file.a.b", ".b"},
        {"\\dir.x\\file", "\\dir.x\\", "\\dir.x", "file", ""},
        {"file.", "", "", "file.", "."},
        {"dir\\\\x", "dir\\\\", "dir\\\\", "x", ""},
        {"", "", "", "", ""},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(ExtractFilePath(C.Name), C.Path) << C.Name;
        EXPECT_EQ(ExtractFileDir(C.Name), C.Dir) << C.Name;
        EXPECT_EQ(ExtractFileName(C.Name), C.File) << C.Name;
        EXPECT_EQ(ExtractFileExt(C.Name), C.Ext) << C.Name;
    }
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\c.txt", ".bak"), "C:\\a.b\\c.bak");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\c", ".bak"), "C:\\a.b\\c.bak");
    EXPECT_EQ(ChangeFileExt("c.txt", ""), "c");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\x"), "C:\\x\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\x\\"), "C:\\x\\");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("C:\\x\\"), "C:\\x");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("C:\\x"), "C:\\x");
    EXPECT_EQ(ExtractFileDrive("C:\\x"), "C:");
    EXPECT_EQ(ExtractFileDrive("\\\\srv\\share\\x"), "\\\\srv\\share");
    EXPECT_EQ(ExpandFileName("C:\\a\\..\\b\\.\\c.txt"), "C:\\b\\c.txt");
}

TEST(SysUtilsFiles, ExistenceCreationAndRemoval) {
    TempDir Dir;
    std::string Sub = Dir / "a\\b\\c";
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(DirectoryExists(""));
    EXPECT_TRUE(ForceDirectories(Sub + "\\"));
    EXPECT_TRUE(DirectoryExists(Sub));
    EXPECT_FALSE(FileExists(Sub)) << "a folder is no file";
    EXPECT_TRUE(ForceDirectories(Sub)) << "an existing folder is success";
    EXPECT_THROW(ForceDirectories(""), EInOutError);
    std::string F = Sub + "\\f.bin";
    int H = FileCreate(F);
    ASSERT_NE(H, -1);
    EXPECT_EQ(FileWrite(H, "abcdef", 6), 6);
    EXPECT_EQ(FileSeek(H, 2, 0), 2);
    char Buf[8] = {};
    EXPECT_EQ(FileRead(H, Buf, 8), 4);
    EXPECT_STREQ(Buf, "cdef");
    EXPECT_EQ(FileSeek(H, Int64(-1), 2), 5);
    FileClose(H);
    EXPECT_TRUE(FileExists(F));
    EXPECT_NE(FileAge(F), -1);
    EXPECT_EQ(FileAge(Sub), -1) << "a folder has no file age";
    EXPECT_EQ(FileAge(Sub + "\\missing"), -1);
    EXPECT_EQ(FileOpen(Sub + "\\missing", 0), -1);
    EXPECT_TRUE(RenameFile(F, Sub + "\\g.bin"));
    EXPECT_FALSE(FileExists(F));
    EXPECT_FALSE(RemoveDir(Sub)) << "a folder with a file stays";
    EXPECT_TRUE(DeleteFile(Sub + "\\g.bin"));
    EXPECT_FALSE(DeleteFile(Sub + "\\g.bin"));
    EXPECT_TRUE(RemoveDir(Sub));
    EXPECT_FALSE(CreateDir(Dir / "x\\y")) << "CreateDir makes no parents";
}

TEST(SysUtilsFiles, FindSkipsFoldersUnlessAsked) {
    TempDir Dir;
    testing_support::WriteFileText(Dir / "one.txt", "1");
    testing_support::WriteFileText(Dir / "two.txt", "22");
    CreateDir(Dir / "sub.txt");
    auto Names = [&](int Attr) {
        std::vector<std::string> R;
        TSearchRec F;
        if (FindFirst(Dir / "*.txt", Attr, F) == 0) {
            do
                R.push_back(F.Name + ((F.Attr & faDirectory) ? "/" : ":" + std::to_string(F.Size)));
            while (FindNext(F) == 0);
            FindClose(F);
        }
        std::sort(R.begin(), R.end());
        return R;
    };
    EXPECT_EQ(Names(0), (std::vector<std::string>{"one.txt:1", "two.txt:2"}));
    EXPECT_EQ(Names(faDirectory), (std::vector<std::string>{"one.txt:1", "sub.txt/", "two.txt:2"}));
    TSearchRec F;
    EXPECT_NE(FindFirst(Dir / "*.none", faAnyFile, F), 0);
}

TEST(SysUtilsProgram, CommandLineSplitsAtBlanksAndQuotesGroup) {
    using SysUtilsDetail::SplitCommandLine;
    struct Case {
        const char* Line;
        std::vector<std::string> Params;
    } Cases[] = {
        {"prog.exe /hide", {"prog.exe", "/hide"}},
        {"\"C:\\Program Files\\p.exe\" a  b", {"C:\\Program Files\\p.exe", "a", "b"}},
        {"p \"two words\" x\"y z\"w", {"p", "two words", "xy zw"}},
        {"p \"\" last", {"p", "last"}},
        {"p", {"p"}},
        {"p /HIDE\t/acver", {"p", "/HIDE", "/acver"}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(SplitCommandLine(C.Line), C.Params) << C.Line;
    EXPECT_EQ(ParamStr(0), ProgramFileName());
    EXPECT_EQ(ParamStr(ParamCount() + 1), "");
}

TEST(SysUtilsProgram, ProgramFolderSeam) {
    std::string Real = ProgramFileName();
    ASSERT_FALSE(Real.empty());
    SetProgramFolderOverride("C:\\elsewhere");
    EXPECT_EQ(ProgramFileName(), "C:\\elsewhere\\" + ExtractFileName(Real));
    EXPECT_EQ(ParamStr(0), ProgramFileName());
    SetProgramFolderOverride("");
    EXPECT_EQ(ProgramFileName(), Real);
}

TEST(SysUtilsProgram, EnvironmentAndPlatform) {
    SetEnvironmentVariableA("QUARNEL_H2_PROBE", "value 1");
    EXPECT_EQ(GetEnvironmentVariable("QUARNEL_H2_PROBE"), "value 1");
    EXPECT_EQ(GetEnvironmentVariable("QUARNEL_H2_MISSING"), "");
    EXPECT_EQ(Win32Platform, VER_PLATFORM_WIN32_NT);
    EXPECT_GE(Win32MajorVersion, 5);
    EXPECT_EQ(SysLocale.PriLangID, PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())));
}

TEST(SysUtilsResStrings, LiteralsModulesAndTheLoaderHook) {
    EXPECT_EQ(LoadResString(ResConsts::SMsgDlgNoToAll), "N&o to All");
    EXPECT_EQ(LoadStr(65000), "") << "the program has no such string";
    static HMODULE ComCtl = LoadLibraryA("comctl32.dll");
    TResStringRec Today = ResString(&ComCtl, 4163);  // the month calendar's "Today"
    EXPECT_FALSE(LoadResString(Today).empty());
    TResStringLoader Old = SetResStringLoader([](const TResStringRec* R) { return "[" + DefaultLoadResString(R) + "]"; });
    EXPECT_EQ(LoadResString(ResConsts::SMsgDlgWarning), "[Warning]");
    EXPECT_EQ(EConvertError(ResConsts::SMsgDlgError).Message(), "[Error]") << "CreateRes loads through the hook";
    SetResStringLoader(Old);
    EXPECT_EQ(LoadResString(ResConsts::SMsgDlgWarning), "Warning");
}

// A module of our own with a string table, made by copying a system library and adding the strings.
TEST(SysUtilsResStrings, StringsOfAnotherModuleAreCutAt1023Characters) {
    TempDir Dir;
    char System[MAX_PATH];
    GetSystemDirectoryA(System, MAX_PATH);
    std::string Copy = Dir / "strings.dll";
    ASSERT_TRUE(CopyFileA((std::string(System) + "\\version.dll").c_str(), Copy.c_str(), FALSE));
    // Block 1 holds strings 16..31: each a 16-bit length and its UTF-16 characters.
    std::vector<WORD> Block;
    auto Put = [&](const std::wstring& S) {
        Block.push_back(static_cast<WORD>(S.size()));
        Block.insert(Block.end(), S.begin(), S.end());
    };
    Put(L"Today");                    // 16
    Put(std::wstring(2000, L'x'));    // 17
    Put(L"\x0421\x0435\x0433\x043E\x0434\x043D\x044F");  // 18
    for (int I = 3; I < 16; ++I)
        Put(L"");
    HANDLE U = BeginUpdateResourceA(Copy.c_str(), FALSE);
    ASSERT_NE(U, nullptr);
    ASSERT_TRUE(UpdateResourceA(U, RT_STRING, MAKEINTRESOURCEA(2), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), Block.data(),
                                static_cast<DWORD>(Block.size() * sizeof(WORD))));
    ASSERT_TRUE(EndUpdateResourceA(U, FALSE));
    static HMODULE Module = nullptr;
    Module = LoadLibraryExA(Copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(Module, nullptr);
    EXPECT_EQ(LoadResString(ResString(&Module, 16)), "Today");
    EXPECT_EQ(LoadResString(ResString(&Module, 17)), std::string(1023, 'x'));
    EXPECT_EQ(LoadResString(ResString(&Module, 18)), WideToAnsi(L"\x0421\x0435\x0433\x043E\x0434\x043D\x044F"))
        << "through the ANSI code page";
    EXPECT_EQ(LoadResString(ResString(&Module, 19)), "");
    FreeLibrary(Module);
}
