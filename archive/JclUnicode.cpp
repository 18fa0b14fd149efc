#include "JclUnicode.h"

#include "Classes.h"
#include "JclResources.h"
#include "JclStreams.h"
#include "JclStringConversions.h"
#include "JclSynch.h"
#include "JclUnitVersioning.h"

#include <array>
#include <atomic>
#include <memory>

namespace {

struct TCase {
    std::array<TUCS4Array, 4> Map;
};
using TCaseArray = std::array<TCase, 256>;
using TCaseRows = std::array<std::unique_ptr<TCaseArray>, 256>;
using TCasePlanes = std::array<std::unique_ptr<TCaseRows>, 256>;

std::unique_ptr<TCasePlanes> CaseTable;
std::atomic<bool> CaseTableIsLoaded{false};
TJclCriticalSection* LoadInProgress = nullptr;

std::uint32_t ReadCodePoint(TJclEasyStream& S) {
    std::uint32_t C = 0;
    S.ReadBuffer(&C, 3);
    return C;
}

std::unique_ptr<TCasePlanes> ReadCaseTable() {
    auto Table = std::make_unique<TCasePlanes>();
    TJclEasyStream Stream(Create<TResourceStream>(GetModuleHandleA(nullptr), "CASE", "UNICODEDATA"), true);
    const LongInt Count = Stream.ReadInt32();
    for (LongInt I = 0; I < Count; ++I) {
        const std::uint32_t Code = ReadCodePoint(Stream);
        auto& Plane = (*Table)[(Code >> 16) & 0xFF];
        if (!Plane)
            Plane = std::make_unique<TCaseRows>();
        auto& Row = (*Plane)[(Code >> 8) & 0xFF];
        if (!Row)
            Row = std::make_unique<TCaseArray>();
        TCase& Cell = (*Row)[Code & 0xFF];
        for (TUCS4Array& Kind : Cell.Map) {
            const Byte N = Stream.ReadUInt8();
            Kind.resize(N);
            for (Byte K = 0; K < N; ++K)
                Kind[K] = ReadCodePoint(Stream);
        }
    }
    return Table;
}

int CompareTextNT(const std::wstring& S1, const std::wstring& S2, LCID Locale) {
    return CompareStringW(Locale, NORM_IGNORECASE, S1.c_str(), static_cast<int>(S1.size()), S2.c_str(),
                          static_cast<int>(S2.size())) -
           2;
}

int CompareTextWin9x(const std::wstring& S1, const std::wstring& S2, LCID Locale) {
    const UINT CodePage = LocaleAnsiCodePage(Locale);
    const std::string A1 = WideToAnsi(S1, CodePage), A2 = WideToAnsi(S2, CodePage);
    return CompareStringA(Locale, NORM_IGNORECASE, A1.c_str(), static_cast<int>(A1.size()), A2.c_str(),
                          static_cast<int>(A2.size())) -
           2;
}

}  // namespace

TCompareTextFunc UnicodeCompareText = CompareTextNT;

bool CaseTableLoaded() { return CaseTableIsLoaded; }

void LoadCaseTable() {
    if (CaseTableIsLoaded)
        return;
    if (!LoadInProgress)
        JclUnicodeInitialization();
    LoadInProgress->EnterSection();
    try {
        if (!CaseTableIsLoaded) {
            CaseTable = ReadCaseTable();
            CaseTableIsLoaded = true;
        }
    } catch (...) {
        LoadInProgress->LeaveSection();
        throw;
    }
    LoadInProgress->LeaveSection();
}

bool CaseLookup(std::uint32_t Code, TCaseKind Kind, TUCS4Array& Mapping) {
    LoadCaseTable();
    Mapping.clear();
    if (const auto& Plane = (*CaseTable)[(Code >> 16) & 0xFF])
        if (const auto& Row = (*Plane)[(Code >> 8) & 0xFF])
            Mapping = (*Row)[Code & 0xFF].Map[Kind];
    if (Mapping.empty() && Kind == ckFold)
        return CaseLookup(Code, ckLower, Mapping);
    return !Mapping.empty();
}

std::wstring CaseMapping(wchar_t Code, TCaseKind Kind) {
    TUCS4Array Mapping;
    if (!CaseLookup(static_cast<std::uint16_t>(Code), Kind, Mapping))
        return std::wstring(1, Code);
    std::wstring Result(Mapping.size() * 2, L'\0');
    int Index = 1;
    for (std::uint32_t C : Mapping)
        PutUtf16CodePoint(Result, Index, C);
    if (Index < 1)
        throw EJclUnexpectedEOSequenceError(JclResources::RsUnexpectedEOSequence);
    Result.resize(static_cast<size_t>(Index - 1));
    return Result;
}

std::wstring CaseFoldUnit(wchar_t Code) { return CaseMapping(Code, ckFold); }

UINT LocaleAnsiCodePage(LCID Locale) {
    char Text[7] = {};
    if (GetLocaleInfoA(Locale, LOCALE_IDEFAULTANSICODEPAGE, Text, sizeof(Text) - 1) > 0) {
        LongInt Value = 0;
        if (TryStrToInt(Text, Value))
            return static_cast<UINT>(Value);
    }
    return GetACP();
}

namespace {
const TUnitVersionInfo JclUnicodeBanner = UnitBanner("JclUnicode", 3256, "common");
}

void JclUnicodeInitialization() {
    RegisterProgramUnitBanner(JclUnicodeBanner);
    if (!LoadInProgress)
        LoadInProgress = Create<TJclCriticalSection>();
    UnicodeCompareText = Win32Platform == VER_PLATFORM_WIN32_NT ? CompareTextNT : CompareTextWin9x;
}

void JclUnicodeFinalization() {
    UnregisterProgramUnitBanners();
    FreeAndNil(LoadInProgress);
    CaseTable.reset();
    CaseTableIsLoaded = false;
}
