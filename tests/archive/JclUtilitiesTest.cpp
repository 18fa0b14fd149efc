// The utility units under the archive layer: string helpers and wildcard matching, path
// arithmetic, folders on a real temporary tree, file times, the Windows version rule and the
// system-error wrapper.
#include "ArchiveTestMain.h"
#include "JclFileUtils.h"
#include "JclResources.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using testing_support::TempDir;
using testing_support::WriteFileText;

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

// A string list with the update bracket, counting brackets so that one change is seen.
struct TRecordingList {
    std::vector<std::string> Items;
    int Updates = 0, Depth = 0;
    void BeginUpdate() { ++Depth; }
    void EndUpdate() {
        if (--Depth == 0)
            ++Updates;
    }
    void Clear() { Items.clear(); }
    void Add(const std::string& S) { Items.push_back(S); }
    int Count() const { return static_cast<int>(Items.size()); }
    const std::string& operator[](int I) const { return Items[static_cast<size_t>(I)]; }
};
}  // namespace

// ---------------------------------------------------------------------------------------------

struct WildcardCase {
    const char* Pattern;
    const char* Text;
    int Index;
    bool Matches;
};

TEST(WildcardMatch, TableOfCases) {
    const WildcardCase Cases[] = {
        {"*.7Z", "A.7Z.7Z", 1, true},   {"*.7Z", "A.7Z.BAK", 1, false}, {"?", "AB", 1, false},
        {"A*", "A", 1, true},           {"*", "", 1, true},             {"X", "", 1, false},
        {"*.BAK", "C:\\B\\X.BAK", 1, true}, {"A?C", "ABC", 1, true},    {"A?C", "AC", 1, false},
        {"*B*", "AXBY", 1, true},       {"**", "ANY", 1, true},         {"B", "AB", 2, true},
        {"*.", "README.", 1, true},     {"*.", "A.B", 1, false},        {"*?AB", "XAAB", 1, false},
        {"A*B*C", "AXXBXXC", 1, true},  {"a", "A", 1, false},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(WildcardMatch(C.Pattern, C.Text, C.Index), C.Matches) << C.Pattern << " ~ " << C.Text;
}

TEST(WildcardMatch, RefusesBlankPatternAndIndexOutsideText) {
    EXPECT_THROW(WildcardMatch("", "abc", 1), EJclStringError);
    EXPECT_THROW(WildcardMatch("a", "abc", 0), EJclStringError);
    EXPECT_THROW(WildcardMatch("a", "abc", 4), EJclStringError);
    try {
        WildcardMatch("", "x", 1);
    } catch (const EJclStringError& E) {
        EXPECT_EQ(E.Message(), "Search string cannot be blank");
    }
}

TEST(StringHelpers, ComparisonPiecesAndCase) {
    EXPECT_EQ(CompareWhole("ab", "abc", false), -1);
    EXPECT_EQ(CompareWhole("ABC", "abd", false), int('c') - int('d'));
    EXPECT_EQ(CompareWhole("ABC", "abc", true), int('A') - int('a'));
    EXPECT_TRUE(SameWhole("Backup.BAK", "backup.bak", false));
    const std::string S = "x";
    EXPECT_EQ(CompareRange(S, S, 1, true, 0), -2);  // the same string with nothing to compare
    EXPECT_EQ(CompareRange("", "a", 1, true, 1), -1);
    EXPECT_EQ(CompareRange("ab", "abc", 1, true, 5), -2);
    EXPECT_EQ(WithTrailing("\\", ""), "\\");
    EXPECT_EQ(WithTrailing("\\", "a\\"), "a\\");
    EXPECT_EQ(WithLeading("\\", "a"), "\\a");
    EXPECT_EQ(WithoutLeading("..", "..\\x"), "\\x");
    EXPECT_EQ(StrHead("abc", 5), "abc");
    EXPECT_EQ(StrHead("abc", -1), "");
    EXPECT_EQ(RepeatText("..\\", 3), "..\\..\\..\\");
    EXPECT_EQ(RepeatText("x", 0), "");
}

TEST(StringHelpersLocale, CaseTablesFollowTheCodePage) {
    // The Cyrillic capital A and small a of the code page the locale gives.
    const unsigned char Upper = static_cast<unsigned char>(GetACP() == 1251 ? 0xC0 : 'A');
    const unsigned char Lower = static_cast<unsigned char>(GetACP() == 1251 ? 0xE0 : 'a');
    EXPECT_TRUE(IsUpperByte(Upper));
    EXPECT_TRUE(IsLowerByte(Lower));
    EXPECT_EQ(StrCaseMap[CaseRowLower + Upper], Lower);
    EXPECT_EQ(StrCaseMap[CaseRowUpper + Lower], Upper);
    EXPECT_EQ(StrCaseMap[CaseRowSwap + Upper], Lower);
    EXPECT_EQ(StrCaseMap[CaseRowSwap + '1'], '1');
    std::string S = "MiXeD";
    ApplyCaseRow(S, CaseRowSwap);
    EXPECT_EQ(S, "mIxEd");
}

TEST(StringHelpers, SplittingAndJoining) {
    TRecordingList L;
    SplitByText("a\\\\b", "\\", L, true);
    EXPECT_EQ(L.Items, (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(L.Updates, 1);
    SplitByText("a\\\\b", "\\", L, false);
    EXPECT_EQ(L.Items, (std::vector<std::string>{"a", "b"}));
    SplitByTextNoCase("OneANDTwoandThree", "and", L, false);
    EXPECT_EQ(L.Items, (std::vector<std::string>{"One", "Two", "Three"}));

    TRecordingList Empty;
    EXPECT_EQ(JoinByText(Empty, "\\", true), "");
    TRecordingList Two;
    Two.Items = {"a", ""};
    EXPECT_EQ(JoinByText(Two, "\\", true), "a\\");
    EXPECT_EQ(JoinByText(Two, "\\", false), "a");

    SplitAtChar(std::string("a;;b"), ';', &L);
    EXPECT_EQ(L.Items, (std::vector<std::string>{"a", "", "b"}));
    SplitAtChar(std::string("*.gz;*.gzip;*.tgz;"), ';', &L);
    EXPECT_EQ(L.Items, (std::vector<std::string>{"*.gz", "*.gzip", "*.tgz"}));
    SplitAtChar(std::string(""), ';', &L);
    EXPECT_TRUE(L.Items.empty());
}

TEST(StringHelpers, CopyCharsToStringStaysInsideBothStrings) {
    std::string Dest = "......";
    CopyCharsToString("abcdef", 2, Dest, 1, 3);
    EXPECT_EQ(Dest, ".cde..");
    EXPECT_THROW(CopyCharsToString("abc", 2, Dest, 0, 2), EJclStringError);   // past the source
    EXPECT_THROW(CopyCharsToString("abcdef", 0, Dest, 5, 2), EJclStringError);  // past the destination
    EXPECT_EQ(Dest, ".cde..");
}

// ---------------------------------------------------------------------------------------------

struct PathCase {
    const char* In;
    const char* Out;
};

TEST(PathArithmetic, DelimitersAndExtensions) {
    EXPECT_EQ(PathWithDelimiter(""), "\\");
    EXPECT_EQ(PathWithDelimiter("C:\\"), "C:\\");
    EXPECT_EQ(PathWithDelimiter("C:\\a"), "C:\\a\\");
    EXPECT_EQ(PathWithoutDelimiter(""), "");
    EXPECT_EQ(PathWithoutDelimiter("C:\\a\\"), "C:\\a");
    EXPECT_EQ(AddFileExtension("backup.BAK", ".bak"), "backup.BAK");
    EXPECT_EQ(AddFileExtension("name.", "7z"), "name.7z");
    EXPECT_EQ(AddFileExtension("name", ".7z"), "name.7z");
    EXPECT_EQ(AddFileExtension("dir.d\\name", "7z"), "dir.d\\name.7z");
    EXPECT_EQ(AddFileExtension("", "7z"), "");
    EXPECT_EQ(PathDrivePart("\\\\srv\\share\\x"), "\\\\srv\\share");
    EXPECT_EQ(PathDrivePart("\\\\srv"), "\\\\srv");
}

TEST(PathArithmetic, CanonicalPathTable) {
    const PathCase Cases[] = {
        {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"}, {"C:\\..\\x", "C:\\x"},
        {"..\\a\\..\\b", "..\\b"},          {"..\\..\\x", "..\\..\\x"},
        {"a\\b\\", "a\\b"},                 {".", "."},
        {"", "."},                          {"\\\\srv\\share\\a\\..\\b", "\\\\srv\\share\\b"},
        {"C:", "C:"},                       {"C:\\.", "C:\\"},
        {"\\a\\..\\..\\b", "\\b"},          {"a\\..\\..\\x", "..\\x"},
        {"C:x\\..\\y", "C:y"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(CanonicalPath(C.In), C.Out) << C.In;
}

TEST(PathArithmetic, AbsolutePaths) {
    EXPECT_TRUE(IsAbsolutePath("C:\\x"));
    EXPECT_TRUE(IsAbsolutePath("\\x"));
    EXPECT_TRUE(IsAbsolutePath("\\\\server\\share\\x"));
    EXPECT_FALSE(IsAbsolutePath("x\\y"));
    EXPECT_FALSE(IsAbsolutePath("C:x"));
    EXPECT_FALSE(IsAbsolutePath("\\\\server\\share"));
}

struct RelativeCase {
    const char* Origin;
    const char* Destination;
    const char* Result;
};

TEST(PathArithmetic, RelativePathWithDrivesAndShares) {
    const RelativeCase Cases[] = {
        {"C:\\a\\b", "C:\\a\\c\\d", "..\\c\\d"},
        {"C:\\a", "D:\\b", "D:\\b"},
        {"C:\\a", "\\b", "C:\\b"},
        {"C:\\a", "b", "C:\\a\\b"},
        {"C:\\a", "c:\\A", "."},
        {"C:\\a", "", "."},
        {"", "name.bak", "name.bak"},
        {"C:\\Backup\\", "srv_db.bak", "C:\\Backup\\srv_db.bak"},
        {"\\\\srv\\share\\a", "\\\\srv\\share\\b\\c", "..\\b\\c"},
        {"\\\\srv\\share\\a", "\\\\other\\share\\b", "\\\\other\\share\\b"},
        {"\\\\srv\\share\\a", "\\x", "\\\\srv\\share\\x"},
        {"C:\\a\\b", "C:\\a\\b\\c", "c"},
        {"C:\\A\\B", "c:\\a\\b\\c", "c"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(RelativePath(C.Origin, C.Destination), C.Result) << C.Origin << " -> " << C.Destination;
}

TEST(PathArithmetic, InsideFolder) {
    EXPECT_TRUE(PathIsInside("C:\\Backup\\", "C:\\Backup\\x.bak"));
    EXPECT_TRUE(PathIsInside("C:\\Backup", "c:\\backup\\sub\\x"));
    EXPECT_FALSE(PathIsInside("C:\\Backup", "C:\\Backup\\..\\x.bak"));
    EXPECT_FALSE(PathIsInside("C:\\Backup", "C:\\BackupOther\\x"));
    EXPECT_FALSE(PathIsInside("C:\\Backup", "C:\\Backup"));
}

TEST(PathArithmetic, MaskMatching) {
    EXPECT_TRUE(FileNameMatchesMask("X.7Z", "*.7z", false));
    EXPECT_FALSE(FileNameMatchesMask("archive", "*.7z", false));
    EXPECT_TRUE(FileNameMatchesMask("README", "*.", false));
    EXPECT_TRUE(FileNameMatchesMask("anything", "*.*", false));
    EXPECT_FALSE(FileNameMatchesMask("X.7Z", "*.7z", true));
}

TEST(FileTimes, DateTimeToLocalFileTime) {
    EXPECT_EQ(DateTimeToLocalFileTime(0.0), 94353120000000000LL);
    EXPECT_EQ(DateTimeToLocalFileTime(1.5), 94353120000000000LL + 864000000000LL + 432000000000LL);
    FILETIME Ft;
    DateTimeToUtcFileTime(Ft, 45000.25);
    EXPECT_NE(Ft.dwHighDateTime, 0u);
}

TEST(FileAttributes, AttributesMatch) {
    EXPECT_TRUE(AttributesMatch(0, 0x10, 0));           // 0 counts as a normal file
    EXPECT_FALSE(AttributesMatch(0x10, 0x10, 0));
    EXPECT_TRUE(AttributesMatch(0x21, 0x10, 0x41));     // 0x40 of Required is ignored
    EXPECT_FALSE(AttributesMatch(0x20, 0, 0x02));
}

// ---------------------------------------------------------------------------------------------

class FolderTree : public ::testing::Test {
protected:
    TempDir Dir;
    std::string Root() const { return Dir.Path() + "data"; }
};

TEST_F(FolderTree, CreateDirectoryPathCreatesEveryMissingLevel) {
    const std::string Deep = Dir.Path() + "one\\two\\three\\";
    EXPECT_TRUE(CreateDirectoryPath(Deep));
    EXPECT_TRUE(DirectoryPresent(Dir.Path() + "one\\two\\three"));
    EXPECT_TRUE(CreateDirectoryPath(Deep));  // already there
    EXPECT_TRUE(CreateDirectoryPath("C:\\"));
    EXPECT_TRUE(CreateDirectoryPath("C:"));
    EXPECT_THROW(CreateDirectoryPath(""), EJclFileUtilsError);
    WriteFileText(Dir.Path() + "file", "x");
    EXPECT_FALSE(CreateDirectoryPath(Dir.Path() + "file\\sub"));  // a file is in the way
}

TEST_F(FolderTree, WalkAndEnumerateSeeHiddenEntries) {
    ASSERT_TRUE(CreateDirectoryPath(Root() + "\\S\\T"));
    ASSERT_TRUE(CreateDirectoryPath(Root() + "\\H"));
    SetFileAttributesA((Root() + "\\H").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFileText(Root() + "\\a.txt", "a");
    WriteFileText(Root() + "\\h.txt", "h");
    SetFileAttributesA((Root() + "\\h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);

    std::vector<std::string> Folders;
    WalkDirectoryTree(Root(), true, "", nullptr, [&](const std::string& F) { Folders.push_back(F); });
    std::sort(Folders.begin() + 1, Folders.end());
    EXPECT_EQ(Folders, (std::vector<std::string>{Root() + "\\", Root() + "\\H\\", Root() + "\\S\\",
                                                 Root() + "\\S\\T\\"}));
    Folders.clear();
    WalkDirectoryTree(Root(), false, "", nullptr, [&](const std::string& F) { Folders.push_back(F); });
    EXPECT_EQ(Folders.size(), 3u);  // the hidden folder stays out

    std::vector<std::string> Files;
    EnumerateDirectoryEntries(Root() + "\\*", FILE_ATTRIBUTE_DIRECTORY, 0, nullptr,
                              [&](const std::string& Folder, const TJclSearchEntry& E) {
                                  EXPECT_EQ(Folder, Root() + "\\");
                                  Files.push_back(E.Name);
                              });
    std::sort(Files.begin(), Files.end());
    EXPECT_EQ(Files, (std::vector<std::string>{"a.txt", "h.txt"}));

    bool Abort = true;
    int Calls = 0;
    EnumerateDirectoryEntries(Root() + "\\*", 0, 0, &Abort, [&](const std::string&, const TJclSearchEntry&) { ++Calls; });
    EXPECT_EQ(Calls, 0);
}

TEST_F(FolderTree, MakeUniqueFileNameSkipsTakenNames) {
    const std::string Base = Dir.Path() + "vol";
    EXPECT_EQ(MakeUniqueFileName(Base, ".tmp", "_"), Base + ".tmp");
    WriteFileText(Base + ".tmp", "");
    WriteFileText(Base + "_1.tmp", "");
    EXPECT_EQ(MakeUniqueFileName(Base, ".tmp", "_"), Base + "_2.tmp");
    // A name that already carries the extension loses it before the number.
    EXPECT_EQ(MakeUniqueFileName(Base + ".tmp", ".tmp", "_"), Base + "_2.tmp");
}

TEST_F(FolderTree, CopyRelocateAndRemove) {
    const std::string A = Dir.Path() + "a.bin";
    WriteFileText(A, "content");
    ASSERT_TRUE(CreateDirectoryPath(Dir.Path() + "into"));
    EXPECT_TRUE(CopyFileTo(A, Dir.Path() + "into", 0));
    EXPECT_TRUE(IsExistingFile(Dir.Path() + "into\\a.bin"));
    EXPECT_FALSE(CopyFileTo(A, Dir.Path() + "into", 0));  // exists, no overwrite
    EXPECT_TRUE(CopyFileTo(A, Dir.Path() + "into", 1));
    EXPECT_TRUE(RelocateFile(A, Dir.Path() + "moved.bin", 1));
    EXPECT_FALSE(IsExistingFile(A));
    EXPECT_TRUE(RemoveFile(Dir.Path() + "moved.bin", false));
    EXPECT_FALSE(RemoveFile(Dir.Path() + "moved.bin", false));
    EXPECT_FALSE(IsExistingFile(""));
}

TEST(FileInfo, ReadsTheSystemsFixedVersionRecord) {
    VS_FIXEDFILEINFO Info{};
    EXPECT_TRUE(ReadFixedFileInfo("kernel32.dll", Info));
    EXPECT_EQ(Info.dwSignature, 0xFEEF04BDu);
    EXPECT_FALSE(ReadFixedFileInfo("Z:\\no\\such\\file.dll", Info));
    EXPECT_NE(ModuleFileName(nullptr).find(".exe"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------

struct VersionCase {
    DWORD Platform, Major, Minor;
    const char* ServicePack;
    DWORD Kernel;
    int R2;
    WORD Arch;
    bool ExtRead;
    BYTE Product;
    TWindowsVersion Expected;
};

TEST(WindowsVersion, RuleTable) {
    const VersionCase Cases[] = {
        {1, 4, 0, "", 0, 0, 0, false, 0, wvWin95},
        {1, 4, 0, "B", 0, 0, 0, false, 0, wvWin95OSR2},
        {1, 4, 0, "C", 0, 0, 0, false, 0, wvWin95OSR2},
        {1, 4, 10, "", 0, 0, 0, false, 0, wvWin98},
        {1, 4, 10, "A", 0, 0, 0, false, 0, wvWin98SE},
        {1, 4, 10, "A", 0x4005A, 0, 0, false, 0, wvWinME},
        {1, 4, 90, "", 0, 0, 0, false, 0, wvWinME},
        {1, 4, 95, "", 0, 0, 0, false, 0, wvUnknown},
        {2, 3, 1, "", 0, 0, 0, false, 0, wvWinNT31},
        {2, 3, 5, "", 0, 0, 0, false, 0, wvWinNT35},
        {2, 3, 51, "", 0, 0, 0, false, 0, wvWinNT351},
        {2, 4, 0, "", 0, 0, 0, false, 0, wvWinNT4},
        {2, 5, 0, "", 0, 0, 0, true, 1, wvWin2000},
        {2, 5, 1, "", 0, 0, 0, true, 1, wvWinXP},
        {2, 5, 2, "", 0, 0, 0, true, 3, wvWin2003},
        {2, 5, 2, "", 0, 0, 9, true, 1, wvWinXP64},
        {2, 5, 2, "", 0, 0, 9, false, 1, wvWin2003},
        {2, 5, 2, "", 0, 1, 9, true, 1, wvWin2003R2},
        {2, 5, 2, "", 0, 1, 0, true, 3, wvWin2003R2},
        {2, 6, 0, "", 0, 0, 0, true, 1, wvWinVista},
        {2, 6, 0, "", 0, 0, 0, true, 3, wvWinServer2008},
        {2, 6, 1, "", 0, 0, 0, true, 1, wvWin7},
        {2, 6, 1, "", 0, 0, 0, true, 2, wvWinServer2008R2},
        {2, 6, 2, "", 0, 0, 0, true, 1, wvUnknown},
        {2, 10, 0, "", 0, 0, 0, true, 1, wvUnknown},
        {0, 3, 1, "", 0, 0, 0, false, 0, wvUnknown},
    };
    for (const auto& C : Cases) {
        TWindowsVersionFacts F;
        F.PlatformId = C.Platform;
        F.MajorVersion = C.Major;
        F.MinorVersion = C.Minor;
        F.ServicePack = C.ServicePack;
        F.KernelProductVersionHi = C.Kernel;
        F.SecondReleaseMetric = C.R2;
        F.NativeArchitecture = C.Arch;
        F.ExtendedInfoRead = C.ExtRead;
        F.ProductType = C.Product;
        EXPECT_EQ(WindowsVersionFromFacts(F), C.Expected) << C.Platform << " " << C.Major << "." << C.Minor;
    }
}

TEST(WindowsVersion, FlagsFollowTheVersion) {
    SetWindowsVersionFlags(wvWinNT351);
    EXPECT_TRUE(IsWinNT351 && IsWinNT35 && IsWinNT3);
    EXPECT_FALSE(IsWinNT31);
    SetWindowsVersionFlags(wvUnknown);
    EXPECT_FALSE(IsWinNT3 || IsWin7 || IsWinXP || IsWin95);
    // Put back what start-up found on this system.
    JclSysInfoInitialization();
    EXPECT_EQ(WindowsVersion, WindowsVersionOf());
    EXPECT_GT(ProcessorCount, 0);
    EXPECT_GT(PageSize, 0u);
    EXPECT_TRUE(IsWinNT);
}

TEST(Win32ErrorLocale, CarriesTheFailedCallsCodeAndTheSystemsText) {
    const DWORD Attr = GetFileAttributesA("Z:\\no\\such\\folder\\file");
    const DWORD Code = GetLastError();
    ASSERT_EQ(Attr, INVALID_FILE_ATTRIBUTES);
    SetLastError(Code);
    EJclWin32Error E("Failed to create mutex");
    EXPECT_EQ(E.LastError, Code);
    // The system's own text for the code, whatever language it is in.
    char Buffer[512];
    DWORD Len = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code, 0, Buffer,
                               sizeof(Buffer), nullptr);
    std::string Expected(Buffer, Len);
    while (!Expected.empty() && (static_cast<unsigned char>(Expected.back()) <= ' ' || Expected.back() == '.'))
        Expected.pop_back();
    EXPECT_FALSE(Expected.empty());
    EXPECT_EQ(E.LastErrorMsg, Expected);
    EXPECT_EQ(E.Message(), "Win32 error: " + Expected + " (" + std::to_string(Code) + ")\r\nFailed to create mutex");
}
