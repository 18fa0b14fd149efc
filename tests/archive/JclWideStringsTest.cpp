// Wide string lists and the case mapping they compare folded names with.
#include "ArchiveTestMain.h"
#include "JclStringConversions.h"
#include "JclUnicode.h"
#include "JclWideStrings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

std::vector<std::wstring> Lines(TJclWideStrings& L) {
    std::vector<std::wstring> R;
    for (int I = 0; I < L.Count(); ++I)
        R.push_back(L.Strings(I));
    return R;
}

std::vector<std::uint8_t> Bytes(TMemoryStream& S) {
    auto* P = static_cast<const std::uint8_t*>(S.Memory());
    return std::vector<std::uint8_t>(P, P + S.Size());
}

struct TChangeCount : TObject {
    int Changing = 0, Changed = 0;
};
}  // namespace

TEST(JclWideStringList, SortedDuplicatesByMode) {
    TJclWideStringList L;
    L.SetSorted(true);
    L.Add(L"Data.bak");
    EXPECT_EQ(L.Add(L"DATA.BAK"), 0);
    EXPECT_EQ(L.Count(), 1);
    L.SetDuplicates(dupError);
    EXPECT_THROW(L.Add(L"data.bak"), EStringListError);
    EXPECT_EQ(L.Count(), 1);

    TJclWideStringList A;
    A.SetSorted(true);
    A.SetDuplicates(dupAccept);
    TObject Marker;
    for (const wchar_t* S : {L"c", L"a", L"b"})
        A.Add(S);
    EXPECT_EQ(A.AddObject(L"b", &Marker), 1);  // before the existing 'b'
    EXPECT_EQ(A.Objects(1), &Marker);
    EXPECT_EQ(Lines(A), (std::vector<std::wstring>{L"a", L"b", L"b", L"c"}));
}

TEST(JclWideStringList, CaseSensitivityResortsAndFindsExactly) {
    TJclWideStringList L;
    for (const wchar_t* S : {L"b", L"B", L"a", L"A"})
        L.Add(S);
    L.SetSorted(true);
    int Index = -1;
    EXPECT_TRUE(L.Find(L"b", Index));
    L.SetCaseSensitive(true);
    const auto Sorted = Lines(L);
    EXPECT_TRUE(L.Find(Sorted[2], Index));
    EXPECT_EQ(Index, 2);
    for (size_t I = 1; I < Sorted.size(); ++I)
        EXPECT_LT(L.CompareStrings(Sorted[I - 1], Sorted[I]), 0);
}

TEST(JclWideStringList, TextSplitsAtBreaksAndEndsAtZero) {
    struct Case {
        std::wstring Text;
        std::vector<std::wstring> Lines;
    };
    const Case Cases[] = {
        {L"a\r\n\r\nb", {L"a", L"", L"b"}},
        {L"a\n\rb", {L"a", L"", L"b"}},
        {L"a\r\n", {L"a"}},
        {std::wstring(L"x\0y", 3), {L"x"}},
        {L"", {}},
    };
    TJclWideStringList L;
    for (const Case& C : Cases) {
        L.SetText(C.Text);
        EXPECT_EQ(Lines(L), C.Lines);
    }
    L.SetText(std::wstring(L"a\r\nb"));
    EXPECT_EQ(L.Text(), L"a\r\nb\r\n");
    wchar_t* Buffer = L.GetTextBuffer();
    EXPECT_EQ(std::wstring(Buffer), L"a\r\nb\r\n");
    EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(Buffer)[-1], (6u + 1) * 2 + 4);
    TJclWideStrings::FreeTextBuffer(Buffer);
}

TEST(JclWideStringList, StreamsInBothEncodings) {
    TJclWideStringList L;
    L.Add(L"x");
    TMemoryStream Out;
    L.SaveToStream(&Out, JclWideStringsSignatureMode);
    EXPECT_EQ(Bytes(Out), (std::vector<std::uint8_t>{0xFF, 0xFE, 0x78, 0, 0x0D, 0, 0x0A, 0}));

    const std::uint8_t Ab[] = {0x41, 0x42, 0x0D, 0x0A};
    TMemoryStream In;
    In.WriteBuffer(Ab, 4);
    In.SetPosition(0);
    L.LoadFromStream(&In, JclWideStringsAnsiMode);
    EXPECT_EQ(Lines(L), (std::vector<std::wstring>{L"AB"}));
    In.SetPosition(0);
    L.LoadFromStream(&In, 0);
    EXPECT_EQ(Lines(L), (std::vector<std::wstring>{std::wstring{wchar_t(0x4241), wchar_t(0x0A0D)}}));

    // A swapped signature: big-endian text.
    const std::uint8_t Be[] = {0xFE, 0xFF, 0x00, 0x41, 0x04, 0x10};
    TMemoryStream BigEndian;
    BigEndian.WriteBuffer(Be, 6);
    BigEndian.SetPosition(0);
    L.LoadFromStream(&BigEndian, JclWideStringsAnsiMode);
    EXPECT_EQ(Lines(L), (std::vector<std::wstring>{L"A\x0410"}));
}

TEST(JclWideStringList, AssignsWithTheEightBitListAndNotifiesOutsideUpdates) {
    TOwned<TStringList> Ansi(Create<TStringList>());
    Ansi->Add("\xCF\xF0\xE8\xE2\xE5\xF2");  // in code page 1251 the Russian greeting
    Ansi->SetDelimiter(';');
    TJclWideStringList L;
    L.Assign(Ansi.get());
    EXPECT_EQ(L.Delimiter, L';');
    EXPECT_EQ(L.Strings(0), AnsiToWide(Ansi->Strings(0)));
    L.Add(L"two");
    TOwned<TStringList> Back(Create<TStringList>());
    Back->Assign(&L);
    EXPECT_EQ(Back->Count(), 2);
    EXPECT_EQ(Back->Strings(0), Ansi->Strings(0));
    EXPECT_EQ(Back->Delimiter(), ';');
    TPersistent Other;
    EXPECT_THROW(L.Assign(&Other), EConvertError);

    TChangeCount Count;
    L.OnChanging = TNotifyEvent::FromFunction([&](TObject*) { ++Count.Changing; });
    L.OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Count.Changed; });
    L.Add(L"three");  // the insertion and the string: two pairs
    EXPECT_EQ(Count.Changed, 2);
    L.BeginUpdate();
    L.Add(L"four");
    L.Delete(0);
    L.EndUpdate();
    EXPECT_EQ(Count.Changed, 3);
    EXPECT_EQ(Count.Changing, Count.Changed);
    EXPECT_THROW(L.Strings(10), EListError);
}

// ---------------------------------------------------------------------------------------------

TEST(JclUnicodeCase, MappingsOfTheTable) {
    struct Case {
        wchar_t Code;
        TCaseKind Kind;
        std::wstring Result;
    };
    const Case Cases[] = {
        {L'A', ckFold, L"a"},          {L'a', ckUpper, L"A"},           {L'a', ckFold, L"a"},
        {0xDF, ckFold, L"ss"},         {0xDF, ckLower, L"\xDF"},        {0xDF, ckTitle, L"Ss"},
        {0xDF, ckUpper, L"SS"},        {0x3C2, ckFold, L"\x3C3"},       {0x3C2, ckLower, L"\x3C2"},
        {0x130, ckFold, L"i\x307"},    {0x0416, ckFold, L"\x0436"},     {L'1', ckUpper, L"1"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(CaseMapping(C.Code, C.Kind), C.Result) << int(C.Code) << " " << int(C.Kind);
    EXPECT_TRUE(CaseTableLoaded());
}

TEST(JclUnicodeCase, FoldedComparison) {
    EXPECT_TRUE(SameTextFolded(L"Backup.7Z", L"backup.7z"));
    EXPECT_TRUE(SameTextFolded(L"\x0411\x044D\x043A\x0430\x043F", L"\x0431\x042D\x041A\x0410\x041F"));
    EXPECT_FALSE(SameTextFolded(L"STRASSE", L"stra\xDF" L"e"));
    EXPECT_LT(CompareFolded(std::wstring(1, wchar_t(0xE000)), std::wstring(1, wchar_t(0xD800))), 0);
    EXPECT_LT(CompareFolded(L"ab", L"ABC"), 0);
    EXPECT_EQ(CompareFolded(L"Docs\\A.TXT", L"docs\\a.txt"), 0);
}

TEST(JclUnicodeCase, Utf16WriterFitsOrLeavesAlone) {
    std::wstring Two(2, L'\0');
    int Index = 1;
    EXPECT_TRUE(PutUtf16CodePoint(Two, Index, 0x1F600));
    EXPECT_EQ(Two, (std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}));
    EXPECT_EQ(Index, 3);
    std::wstring One(1, L'-');
    Index = 1;
    EXPECT_FALSE(PutUtf16CodePoint(One, Index, 0x1F600));
    EXPECT_EQ(One, L"-");
    EXPECT_EQ(Index, 1);
    EXPECT_TRUE(PutUtf16CodePoint(One, Index, 0x110000));
    EXPECT_EQ(One, std::wstring(1, wchar_t(0xFFFD)));
    EXPECT_FALSE(PutUtf16CodePoint(One, Index, L'x'));  // past the end
}

TEST(JclUnicodeCase, LocaleCodePages) {
    EXPECT_EQ(LocaleAnsiCodePage(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)), 1251u);
    EXPECT_EQ(LocaleAnsiCodePage(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)), 1252u);
    EXPECT_EQ(UnicodeCompareText(L"\x0430", L"\x0410", LOCALE_USER_DEFAULT), 0);
}
