#include "SysUtils.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace SysConsts;
using SysUtilsDetail::ConvertedOr;
using SysUtilsDetail::ConvertedOrRaise;

// ---------------------------------------------------------------------------------------------
// Format settings and platform globals. They are filled by a static object at the end of this file,
// before main, so that every program (the test programs too) starts with the user's settings.

TFormatSettings FormatSettings;
std::string& CurrencyString = FormatSettings.CurrencyString;
Byte& CurrencyFormat = FormatSettings.CurrencyFormat;
Byte& NegCurrFormat = FormatSettings.NegCurrFormat;
char& ThousandSeparator = FormatSettings.ThousandSeparator;
char& DecimalSeparator = FormatSettings.DecimalSeparator;
Byte& CurrencyDecimals = FormatSettings.CurrencyDecimals;
char& DateSeparator = FormatSettings.DateSeparator;
char& TimeSeparator = FormatSettings.TimeSeparator;
char& ListSeparator = FormatSettings.ListSeparator;
std::string& ShortDateFormat = FormatSettings.ShortDateFormat;
std::string& LongDateFormat = FormatSettings.LongDateFormat;
std::string& TimeAMString = FormatSettings.TimeAMString;
std::string& TimePMString = FormatSettings.TimePMString;
std::string& ShortTimeFormat = FormatSettings.ShortTimeFormat;
std::string& LongTimeFormat = FormatSettings.LongTimeFormat;
std::string (&ShortMonthNames)[13] = FormatSettings.ShortMonthNames;
std::string (&LongMonthNames)[13] = FormatSettings.LongMonthNames;
std::string (&ShortDayNames)[8] = FormatSettings.ShortDayNames;
std::string (&LongDayNames)[8] = FormatSettings.LongDayNames;
Word& TwoDigitYearCenturyWindow = FormatSettings.TwoDigitYearCenturyWindow;

int Win32Platform = 0;

std::bitset<256> MakeCharSet(std::string_view Chars) {
    std::bitset<256> Set;
    for (char C : Chars)
        Set.set(static_cast<unsigned char>(C));
    return Set;
}
bool IsWinNT = false;
int Win32MajorVersion = 0;
int Win32MinorVersion = 0;
int Win32BuildNumber = 0;
std::string Win32CSDVersion;
TSysLocale SysLocale;

namespace {

// The user's own changes to the locale's formats are kept in the registry next to the locale they
// were made for. Under Wine that copy can still belong to the locale of an earlier process (the
// language follows the environment per process), so they are taken only while they match.
bool UserOverridesMatch(LCID Locale) {
    LCID User = GetUserDefaultLCID();
    if (Locale != LOCALE_USER_DEFAULT && Locale != User)
        return true;  // another locale: the system applies no overrides anyway
    HKEY Key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, KEY_READ, &Key) != ERROR_SUCCESS)
        return true;
    char Buf[32] = {};
    DWORD Size = sizeof Buf - 1, Type = 0;
    bool Match = true;
    if (RegQueryValueExA(Key, "Locale", nullptr, &Type, reinterpret_cast<BYTE*>(Buf), &Size) == ERROR_SUCCESS &&
        Type == REG_SZ)
        Match = std::strtoul(Buf, nullptr, 16) == User;
    RegCloseKey(Key);
    return Match;
}

std::string GetLocaleStr(LCID Locale, LCTYPE Type, const std::string& Default) {
    char Buf[256];
    int N = GetLocaleInfoA(Locale, Type | LOCALE_USE_CP_ACP, Buf, sizeof Buf);
    return N > 0 ? std::string(Buf, static_cast<size_t>(N - 1)) : Default;
}

const char* const EnglishShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const EnglishLongMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
const char* const EnglishShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const EnglishLongDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

}  // namespace

void GetLocaleFormatSettings(LCID Locale, TFormatSettings& S) {
    const LCTYPE NoOverride = UserOverridesMatch(Locale) ? 0 : LOCALE_NOUSEROVERRIDE;
    auto Str = [&](LCTYPE Type, const std::string& Default) { return GetLocaleStr(Locale, Type | NoOverride, Default); };
    auto Chr = [&](LCTYPE Type, char Default) {
        std::string V = Str(Type, std::string());
        return V.empty() ? Default : V[0];
    };
    auto Int = [&](LCTYPE Type) { return StrToIntDef(Str(Type, std::string()), 0); };
    for (int I = 1; I <= 12; ++I) {
        S.ShortMonthNames[I] = Str(LOCALE_SABBREVMONTHNAME1 + I - 1, EnglishShortMonths[I - 1]);
        S.LongMonthNames[I] = Str(LOCALE_SMONTHNAME1 + I - 1, EnglishLongMonths[I - 1]);
    }
    // The locale counts days from Monday; the names here start at Sunday.
    for (int I = 1; I <= 7; ++I) {
        int Day = (I + 5) % 7;  // 1 (Sunday) -> 6 (the locale's seventh), 2 (Monday) -> 0 ...
        S.ShortDayNames[I] = Str(LOCALE_SABBREVDAYNAME1 + Day, EnglishShortDays[I - 1]);
        S.LongDayNames[I] = Str(LOCALE_SDAYNAME1 + Day, EnglishLongDays[I - 1]);
    }
    S.CurrencyString = Str(LOCALE_SCURRENCY, "");
    S.CurrencyFormat = static_cast<Byte>(Int(LOCALE_ICURRENCY));
    S.NegCurrFormat = static_cast<Byte>(Int(LOCALE_INEGCURR));
    S.ThousandSeparator = Chr(LOCALE_STHOUSAND, ',');
    S.DecimalSeparator = Chr(LOCALE_SDECIMAL, '.');
    S.CurrencyDecimals = static_cast<Byte>(Int(LOCALE_ICURRDIGITS));
    S.DateSeparator = Chr(LOCALE_SDATE, '/');
    S.ShortDateFormat = Str(LOCALE_SSHORTDATE, "m/d/yy");
    S.LongDateFormat = Str(LOCALE_SLONGDATE, "mmmm d, yyyy");
    S.TimeSeparator = Chr(LOCALE_STIME, ':');
    S.TimeAMString = Str(LOCALE_S1159, "am");
    S.TimePMString = Str(LOCALE_S2359, "pm");
    S.ListSeparator = Chr(LOCALE_SLIST, ',');
    std::string HourFormat = Int(LOCALE_ITLZERO) == 0 ? "h" : "hh";
    std::string Prefix, Postfix;
    if (Int(LOCALE_ITIME) == 0) {  // 12-hour clock
        if (Int(LOCALE_ITIMEMARKPOSN) == 0)
            Postfix = " AMPM";
        else
            Prefix = "AMPM ";
    }
    S.ShortTimeFormat = Prefix + HourFormat + ":mm" + Postfix;
    S.LongTimeFormat = Prefix + HourFormat + ":mm:ss" + Postfix;
    S.TwoDigitYearCenturyWindow = 50;
}

void GetFormatSettings() {
    TFormatSettings S;
    GetLocaleFormatSettings(LOCALE_USER_DEFAULT, S);
    FormatSettings = S;
}

TFormatSettings EnglishFormatSettings() {
    TFormatSettings S;
    for (int I = 1; I <= 12; ++I) {
        S.ShortMonthNames[I] = EnglishShortMonths[I - 1];
        S.LongMonthNames[I] = EnglishLongMonths[I - 1];
    }
    for (int I = 1; I <= 7; ++I) {
        S.ShortDayNames[I] = EnglishShortDays[I - 1];
        S.LongDayNames[I] = EnglishLongDays[I - 1];
    }
    S.CurrencyString = "$";
    S.ShortDateFormat = "M/d/yyyy";
    S.LongDateFormat = "dddd, MMMM d, yyyy";
    S.TimeAMString = "AM";
    S.TimePMString = "PM";
    S.ShortTimeFormat = "h:mm AMPM";
    S.LongTimeFormat = "h:mm:ss AMPM";
    return S;
}

namespace {
void ReadPlatformGlobals() {
    OSVERSIONINFOA V{};
    V.dwOSVersionInfoSize = sizeof V;
    if (GetVersionExA(&V)) {
        Win32Platform = static_cast<int>(V.dwPlatformId);
        Win32MajorVersion = static_cast<int>(V.dwMajorVersion);
        Win32MinorVersion = static_cast<int>(V.dwMinorVersion);
        // The 9x family keeps the version in the build number's high word.
        Win32BuildNumber = Win32Platform == VER_PLATFORM_WIN32_WINDOWS ? static_cast<int>(V.dwBuildNumber & 0xFFFF)
                                                                        : static_cast<int>(V.dwBuildNumber);
        Win32CSDVersion = V.szCSDVersion;
    }
    SysLocale.DefaultLCID = GetThreadLocale();
    LANGID Lang = LANGIDFROMLCID(SysLocale.DefaultLCID);
    SysLocale.PriLangID = PRIMARYLANGID(Lang);
    SysLocale.SubLangID = SUBLANGID(Lang);
    SysLocale.FarEast = GetSystemMetrics(SM_DBCSENABLED) != 0;
    SysLocale.MiddleEast = GetSystemMetrics(SM_MIDEASTENABLED) != 0;
}
}  // namespace

void SysUtilsInitialization() {
    ReadPlatformGlobals();
    GetFormatSettings();
}

// ---------------------------------------------------------------------------------------------
// Exceptions

Exception::Exception(const std::string& Fmt, TVarRecs Args) : FMessage(Format(Fmt, Args)) {}
Exception::Exception(const TResStringRec& Res) : FMessage(LoadResString(&Res)) {}
Exception::Exception(const TResStringRec& Res, TVarRecs Args) : FMessage(Format(LoadResString(&Res), Args)) {}

void Abort() { throw EAbort(SOperationAborted); }

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

void RaiseLastOSError(DWORD LastError) {
    EOSError E = LastError != 0 ? EOSError(Format(SOSError, {static_cast<LongInt>(LastError), SysErrorMessage(LastError)}))
                                : EOSError(SUnkOSError);
    E.ErrorCode = LastError;
    throw E;
}

bool Win32Check(bool Ok) {
    if (!Ok)
        RaiseLastOSError();
    return Ok;
}

std::string SysErrorMessage(DWORD ErrorCode) {
    char* Buf = nullptr;
    DWORD N = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                 FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, ErrorCode, 0, reinterpret_cast<char*>(&Buf), 0, nullptr);
    std::string S;
    if (N > 0 && Buf)
        S.assign(Buf, N);
    if (Buf)
        LocalFree(Buf);
    while (!S.empty() && (static_cast<unsigned char>(S.back()) <= ' ' || S.back() == '.'))
        S.pop_back();
    return S;
}

void Assert(bool Condition, const std::string& Msg, std::source_location Where) {
    if (Condition)
        return;
    throw EAssertionFailed(SAssertError, {Msg.empty() ? std::string(SAssertionFailed) : Msg, Where.file_name(),
                                          static_cast<LongInt>(Where.line())});
}

// ---------------------------------------------------------------------------------------------
// Strings

namespace {
template <class V>
int PosOf(V Substr, V S) {
    if (Substr.empty())
        return 0;
    size_t P = S.find(Substr);
    return P == V::npos ? 0 : static_cast<int>(P) + 1;
}

template <class V>
std::basic_string<typename V::value_type> CopyOf(V S, int Index, int Count) {
    int Len = static_cast<int>(S.size());
    if (Index < 1)
        Index = 1;
    if (Count <= 0 || Index > Len)
        return {};
    if (Count > Len - Index + 1)
        Count = Len - Index + 1;
    return std::basic_string<typename V::value_type>(S.substr(static_cast<size_t>(Index - 1), static_cast<size_t>(Count)));
}

template <class Str>
void DeleteOf(Str& S, int Index, int Count) {
    int Len = static_cast<int>(S.size());
    if (Index < 1 || Index > Len || Count <= 0)
        return;
    if (Count > Len - Index + 1)
        Count = Len - Index + 1;
    S.erase(static_cast<size_t>(Index - 1), static_cast<size_t>(Count));
}

template <class V, class Str>
void InsertOf(V Source, Str& S, int Index) {
    int Len = static_cast<int>(S.size());
    if (Index < 1)
        Index = 1;
    if (Index > Len + 1)
        Index = Len + 1;
    S.insert(static_cast<size_t>(Index - 1), Source);
}

inline bool IsBlankOrControl(char C) { return static_cast<unsigned char>(C) <= ' '; }

std::wstring ToWide(std::string_view S, UINT CodePage, DWORD Flags) {
    if (S.empty())
        return {};
    int N = MultiByteToWideChar(CodePage, Flags, S.data(), static_cast<int>(S.size()), nullptr, 0);
    if (N <= 0 && Flags != 0 && GetLastError() == ERROR_INVALID_FLAGS)
        return ToWide(S, CodePage, 0);  // code pages that take no flags (UTF-8, the ISO-2022 family ...)
    std::wstring W(static_cast<size_t>(N > 0 ? N : 0), L'\0');
    if (N > 0)
        MultiByteToWideChar(CodePage, Flags, S.data(), static_cast<int>(S.size()), W.data(), N);
    return W;
}
}  // namespace

int Pos(std::string_view Substr, std::string_view S) { return PosOf(Substr, S); }
int Pos(std::wstring_view Substr, std::wstring_view S) { return PosOf(Substr, S); }
int AnsiPos(std::string_view Substr, std::string_view S) { return PosOf(Substr, S); }
std::string Copy(std::string_view S, int Index, int Count) { return CopyOf(S, Index, Count); }
std::wstring Copy(std::wstring_view S, int Index, int Count) { return CopyOf(S, Index, Count); }
void Delete(std::string& S, int Index, int Count) { DeleteOf(S, Index, Count); }
void Delete(std::wstring& S, int Index, int Count) { DeleteOf(S, Index, Count); }
void Insert(std::string_view Source, std::string& S, int Index) { InsertOf(Source, S, Index); }
void Insert(std::wstring_view Source, std::wstring& S, int Index) { InsertOf(Source, S, Index); }

int LastDelimiter(std::string_view Delimiters, std::string_view S) {
    for (int I = static_cast<int>(S.size()); I >= 1; --I)
        if (Delimiters.find(S[static_cast<size_t>(I - 1)]) != std::string_view::npos)
            return I;
    return 0;
}

std::string StringOfChar(char Ch, int Count) { return Count > 0 ? std::string(static_cast<size_t>(Count), Ch) : std::string(); }

std::string Trim(std::string_view S) { return TrimRight(TrimLeft(S)); }

std::string TrimLeft(std::string_view S) {
    size_t I = 0;
    while (I < S.size() && IsBlankOrControl(S[I]))
        ++I;
    return std::string(S.substr(I));
}

std::string TrimRight(std::string_view S) {
    size_t N = S.size();
    while (N > 0 && IsBlankOrControl(S[N - 1]))
        --N;
    return std::string(S.substr(0, N));
}

std::wstring Trim(std::wstring_view S) {
    size_t B = 0, E = S.size();
    while (B < E && S[B] <= L' ')
        ++B;
    while (E > B && S[E - 1] <= L' ')
        --E;
    return std::wstring(S.substr(B, E - B));
}

std::string UpperCase(std::string_view S) {
    std::string R(S);
    for (char& C : R)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 32);
    return R;
}

std::string LowerCase(std::string_view S) {
    std::string R(S);
    for (char& C : R)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C + 32);
    return R;
}

namespace {
// A copy with the system's case mapping of the code page (or UTF-16) applied.
template <class Str, class View, class Map>
Str Mapped(View S, Map CharBuff) {
    Str R(S);
    if (!R.empty())
        CharBuff(R.data(), static_cast<DWORD>(R.size()));
    return R;
}
}  // namespace

std::string AnsiUpperCase(std::string_view S) { return Mapped<std::string>(S, CharUpperBuffA); }
std::string AnsiLowerCase(std::string_view S) { return Mapped<std::string>(S, CharLowerBuffA); }
std::wstring WideUpperCase(std::wstring_view S) { return Mapped<std::wstring>(S, CharUpperBuffW); }
std::wstring WideLowerCase(std::wstring_view S) { return Mapped<std::wstring>(S, CharLowerBuffW); }

int CompareStr(std::string_view S1, std::string_view S2) {
    size_t N = S1.size() < S2.size() ? S1.size() : S2.size();
    for (size_t I = 0; I < N; ++I) {
        int D = static_cast<unsigned char>(S1[I]) - static_cast<unsigned char>(S2[I]);
        if (D != 0)
            return D;
    }
    return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

int CompareText(std::string_view S1, std::string_view S2) {
    size_t N = S1.size() < S2.size() ? S1.size() : S2.size();
    for (size_t I = 0; I < N; ++I) {
        int A = static_cast<unsigned char>(S1[I]), B = static_cast<unsigned char>(S2[I]);
        if (A >= 'a' && A <= 'z')
            A -= 32;
        if (B >= 'a' && B <= 'z')
            B -= 32;
        if (A != B)
            return A - B;
    }
    return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

bool SameText(std::string_view S1, std::string_view S2) { return S1.size() == S2.size() && CompareText(S1, S2) == 0; }

namespace {
// The user locale's comparison, 1/2/3 mapped to -1/0/1.
int LocaleCompare(std::string_view S1, std::string_view S2, DWORD Flags) {
    return CompareStringA(LOCALE_USER_DEFAULT, Flags, S1.data(), static_cast<int>(S1.size()), S2.data(),
                          static_cast<int>(S2.size())) -
           2;
}
int LocaleCompare(std::wstring_view S1, std::wstring_view S2, DWORD Flags) {
    return CompareStringW(LOCALE_USER_DEFAULT, Flags, S1.data(), static_cast<int>(S1.size()), S2.data(),
                          static_cast<int>(S2.size())) -
           2;
}
}  // namespace

int AnsiCompareStr(std::string_view S1, std::string_view S2) { return LocaleCompare(S1, S2, 0); }
int AnsiCompareText(std::string_view S1, std::string_view S2) { return LocaleCompare(S1, S2, NORM_IGNORECASE); }
bool AnsiSameStr(std::string_view S1, std::string_view S2) { return AnsiCompareStr(S1, S2) == 0; }
bool AnsiSameText(std::string_view S1, std::string_view S2) { return AnsiCompareText(S1, S2) == 0; }

int WideCompareStr(std::wstring_view S1, std::wstring_view S2) { return LocaleCompare(S1, S2, 0); }
int WideCompareText(std::wstring_view S1, std::wstring_view S2) { return LocaleCompare(S1, S2, NORM_IGNORECASE); }

bool WideSameText(std::wstring_view S1, std::wstring_view S2) { return WideCompareText(S1, S2) == 0; }

std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern,
                          TReplaceFlags Flags) {
    if (OldPattern.empty())
        return std::string(S);
    // Case is folded on copies of equal length (the ANSI code pages map letters one to one), so
    // positions found in the copies are positions in S.
    std::string SearchStr, Patt;
    if (Flags.Contains(rfIgnoreCase)) {
        SearchStr = AnsiUpperCase(S);
        Patt = AnsiUpperCase(OldPattern);
    } else {
        SearchStr = S;
        Patt = OldPattern;
    }
    std::string Result;
    size_t From = 0;
    while (true) {
        size_t At = SearchStr.find(Patt, From);
        if (At == std::string::npos)
            break;
        Result.append(S.substr(From, At - From));
        Result.append(NewPattern);
        From = At + Patt.size();
        if (!Flags.Contains(rfReplaceAll))
            break;
    }
    Result.append(S.substr(From));
    return Result;
}

std::string AnsiQuotedStr(std::string_view S, char Quote) {
    std::string R(1, Quote);
    for (char C : S) {
        R += C;
        if (C == Quote)
            R += C;
    }
    R += Quote;
    return R;
}

std::string QuotedStr(std::string_view S) { return AnsiQuotedStr(S, '\''); }

std::string AnsiExtractQuotedStr(std::string_view& Src, char Quote) {
    if (Src.empty() || Src[0] != Quote)
        return {};
    std::string R;
    size_t I = 1;
    while (I < Src.size()) {
        if (Src[I] == Quote) {
            if (I + 1 < Src.size() && Src[I + 1] == Quote) {
                R += Quote;
                I += 2;
                continue;
            }
            ++I;  // the closing quote
            Src.remove_prefix(I);
            return R;
        }
        R += Src[I++];
    }
    Src.remove_prefix(Src.size());
    return R;
}

std::string AnsiDequotedStr(std::string_view S, char Quote) {
    std::string_view Rest = S;
    std::string R = AnsiExtractQuotedStr(Rest, Quote);
    return R.empty() ? std::string(S) : R;
}

std::wstring AnsiToWide(std::string_view S, UINT CodePage) { return ToWide(S, CodePage, MB_PRECOMPOSED); }

std::string WideToAnsi(std::wstring_view S, UINT CodePage) {
    if (S.empty())
        return {};
    int N = WideCharToMultiByte(CodePage, 0, S.data(), static_cast<int>(S.size()), nullptr, 0, nullptr, nullptr);
    std::string R(static_cast<size_t>(N > 0 ? N : 0), '\0');
    if (N > 0)
        WideCharToMultiByte(CodePage, 0, S.data(), static_cast<int>(S.size()), R.data(), N, nullptr, nullptr);
    return R;
}

UINT CharsetCodePage(Byte Charset) {
    CHARSETINFO Info{};
    if (TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(Charset)), &Info, TCI_SRCCHARSET))
        return Info.ciACP;
    return GetACP();
}

std::string UTF8Encode(std::wstring_view S) { return WideToAnsi(S, CP_UTF8); }
std::wstring UTF8Decode(std::string_view S) { return ToWide(S, CP_UTF8, 0); }
std::string AnsiToUtf8(std::string_view S) { return UTF8Encode(AnsiToWide(S)); }
std::string Utf8ToAnsi(std::string_view S) { return WideToAnsi(UTF8Decode(S)); }

// ---------------------------------------------------------------------------------------------
// Integers and Booleans

std::string IntToStr(Int64 Value) { return std::to_string(Value); }

std::string HexDigits(std::uint64_t Bits, int Digits) {
    static const char Hex[] = "0123456789ABCDEF";
    std::string R;
    do {
        R.insert(R.begin(), Hex[Bits & 15]);
        Bits >>= 4;
    } while (Bits != 0);
    if (static_cast<int>(R.size()) < Digits)
        R.insert(0, static_cast<size_t>(Digits) - R.size(), '0');
    return R;
}

namespace {
// The platform's integer reading: blanks, sign, then decimal digits or "$" and hexadecimal digits,
// up to the end. A hexadecimal value may use all the bits of the type (it wraps to negative).
bool ParseInteger(std::string_view S, int Bits, Int64& Value) {
    size_t I = 0;
    while (I < S.size() && S[I] == ' ')
        ++I;
    bool Negative = false;
    if (I < S.size() && (S[I] == '-' || S[I] == '+')) {
        Negative = S[I] == '-';
        ++I;
    }
    bool Hex = I < S.size() && S[I] == '$';
    if (Hex)
        ++I;
    if (I >= S.size())
        return false;
    std::uint64_t Limit = Hex ? (Bits == 32 ? 0xFFFFFFFFull : ~0ull)
                              : (Bits == 32 ? 0x7FFFFFFFull : 0x7FFFFFFFFFFFFFFFull) + (Negative ? 1 : 0);
    std::uint64_t Base = Hex ? 16 : 10;
    std::uint64_t N = 0;
    for (; I < S.size(); ++I) {
        char C = S[I];
        unsigned D;
        if (C >= '0' && C <= '9')
            D = static_cast<unsigned>(C - '0');
        else if (Hex && C >= 'a' && C <= 'f')
            D = static_cast<unsigned>(C - 'a' + 10);
        else if (Hex && C >= 'A' && C <= 'F')
            D = static_cast<unsigned>(C - 'A' + 10);
        else
            return false;
        if (N > (Limit - D) / Base)
            return false;
        N = N * Base + D;
    }
    if (Hex && Bits == 32)
        N = static_cast<std::uint64_t>(static_cast<Int64>(static_cast<LongInt>(static_cast<std::uint32_t>(N))));
    std::uint64_t Magnitude = Negative ? (0 - N) : N;
    Value = static_cast<Int64>(Magnitude);
    if (Bits == 32)
        Value = static_cast<LongInt>(static_cast<std::uint32_t>(Magnitude));
    return true;
}
}  // namespace

bool TryStrToInt(std::string_view S, LongInt& Value) {
    Int64 V;
    if (!ParseInteger(S, 32, V))
        return false;
    Value = static_cast<LongInt>(V);
    return true;
}

LongInt StrToInt(std::string_view S) { return ConvertedOrRaise<LongInt>(S, TryStrToInt, SInvalidInteger); }
LongInt StrToIntDef(std::string_view S, LongInt Default) { return ConvertedOr(S, TryStrToInt, Default); }

bool TryStrToInt64(std::string_view S, Int64& Value) { return ParseInteger(S, 64, Value); }

Int64 StrToInt64(std::string_view S) { return ConvertedOrRaise<Int64>(S, TryStrToInt64, SInvalidInteger); }
Int64 StrToInt64Def(std::string_view S, Int64 Default) { return ConvertedOr(S, TryStrToInt64, Default); }

std::string BoolToStr(bool B, bool UseBoolStrs) {
    if (UseBoolStrs)
        return B ? "True" : "False";
    return B ? "-1" : "0";
}

bool TryStrToBool(std::string_view S, bool& Value) {
    Int64 I;
    double F;
    if (TryStrToInt64(S, I))
        Value = I != 0;
    else if (TryStrToFloat(S, F))
        Value = F != 0;
    else if (AnsiSameText(S, "True"))
        Value = true;
    else if (AnsiSameText(S, "False"))
        Value = false;
    else
        return false;
    return true;
}

bool StrToBool(std::string_view S) { return ConvertedOrRaise<bool>(S, TryStrToBool, SInvalidBoolean); }
bool StrToBoolDef(std::string_view S, bool Default) { return ConvertedOr(S, TryStrToBool, Default); }

Int64 Round(double X) {
    double R = std::floor(X);
    double D = X - R;
    if (D > 0.5 || (D == 0.5 && std::fmod(R, 2.0) != 0))
        R += 1;
    return static_cast<Int64>(R);
}

Int64 Trunc(double X) { return static_cast<Int64>(X); }
double Int(double X) { return std::trunc(X); }
double Frac(double X) { return X - std::trunc(X); }

// ---------------------------------------------------------------------------------------------
// File names

std::string ExtractFilePath(std::string_view FileName) {
    return Copy(FileName, 1, LastDelimiter("\\:", FileName));
}

std::string ExtractFileDir(std::string_view FileName) {
    int I = LastDelimiter("\\:", FileName);
    // Keep the delimiter of a root ("C:\", "\") but drop any other trailing one.
    if (I > 1 && FileName[static_cast<size_t>(I - 1)] == '\\' && FileName[static_cast<size_t>(I - 2)] != '\\' &&
        FileName[static_cast<size_t>(I - 2)] != ':')
        --I;
    return Copy(FileName, 1, I);
}

std::string ExtractFileName(std::string_view FileName) {
    return Copy(FileName, LastDelimiter("\\:", FileName) + 1, static_cast<int>(FileName.size()));
}

std::string ExtractFileExt(std::string_view FileName) {
    int I = LastDelimiter(".\\:", FileName);
    if (I > 0 && FileName[static_cast<size_t>(I - 1)] == '.')
        return Copy(FileName, I, static_cast<int>(FileName.size()));
    return {};
}

std::string ExtractFileDrive(std::string_view FileName) {
    if (FileName.size() >= 2 && FileName[1] == ':')
        return std::string(FileName.substr(0, 2));
    if (FileName.size() >= 2 && FileName[0] == '\\' && FileName[1] == '\\') {
        // "\\server\share": up to the delimiter after the share name, or the end.
        size_t Server = FileName.find('\\', 2);
        if (Server == std::string_view::npos)
            return std::string(FileName);
        size_t Share = FileName.find('\\', Server + 1);
        return std::string(FileName.substr(0, Share == std::string_view::npos ? FileName.size() : Share));
    }
    return {};
}

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension) {
    int I = LastDelimiter(".\\:", FileName);
    if (I == 0 || FileName[static_cast<size_t>(I - 1)] != '.')
        I = static_cast<int>(FileName.size()) + 1;
    return Copy(FileName, 1, I - 1) + std::string(Extension);
}

std::string ExpandFileName(std::string_view FileName) {
    std::string Name(FileName);
    char Buf[MAX_PATH * 4];
    char* FilePart = nullptr;
    DWORD N = GetFullPathNameA(Name.c_str(), sizeof Buf, Buf, &FilePart);
    if (N == 0 || N >= sizeof Buf)
        return Name;
    return std::string(Buf, N);
}

bool IsPathDelimiter(std::string_view S, int Index) {
    return Index >= 1 && Index <= static_cast<int>(S.size()) && S[static_cast<size_t>(Index - 1)] == PathDelim;
}

std::string IncludeTrailingPathDelimiter(std::string_view S) {
    std::string R(S);
    if (!IsPathDelimiter(S, static_cast<int>(S.size())))
        R += PathDelim;
    return R;
}

std::string ExcludeTrailingPathDelimiter(std::string_view S) {
    std::string R(S);
    if (IsPathDelimiter(S, static_cast<int>(S.size())))
        R.pop_back();
    return R;
}

// ---------------------------------------------------------------------------------------------
// Files

namespace {
DWORD AttributesOf(std::string_view Name) { return GetFileAttributesA(std::string(Name).c_str()); }

HANDLE ToHandle(int Handle) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(Handle)); }
int FromHandle(HANDLE H) { return H == INVALID_HANDLE_VALUE ? -1 : static_cast<int>(reinterpret_cast<intptr_t>(H)); }

int FileTimeToDos(const FILETIME& Utc) {
    FILETIME Local;
    WORD Date = 0, Time = 0;
    if (!FileTimeToLocalFileTime(&Utc, &Local) || !FileTimeToDosDateTime(&Local, &Date, &Time))
        return -1;
    return static_cast<int>((static_cast<DWORD>(Date) << 16) | Time);
}
}  // namespace

bool FileExists(std::string_view FileName) {
    if (FileName.empty())
        return false;
    DWORD A = AttributesOf(FileName);
    return A != INVALID_FILE_ATTRIBUTES && (A & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(std::string_view Directory) {
    if (Directory.empty())
        return false;
    DWORD A = AttributesOf(Directory);
    return A != INVALID_FILE_ATTRIBUTES && (A & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteFile(std::string_view FileName) { return DeleteFileA(std::string(FileName).c_str()) != 0; }

bool RenameFile(std::string_view OldName, std::string_view NewName) {
    return MoveFileA(std::string(OldName).c_str(), std::string(NewName).c_str()) != 0;
}

bool CreateDir(std::string_view Dir) { return CreateDirectoryA(std::string(Dir).c_str(), nullptr) != 0; }
bool RemoveDir(std::string_view Dir) { return RemoveDirectoryA(std::string(Dir).c_str()) != 0; }

bool ForceDirectories(std::string_view Dir) {
    if (Dir.empty())
        throw EInOutError(SCannotCreateDir);
    std::string D = ExcludeTrailingPathDelimiter(Dir);
    if (D.size() < 3 || DirectoryExists(D) || ExtractFilePath(D) == D)
        return true;  // a root, or there already
    // Another process may create it between the test and the call: count that as success.
    return ForceDirectories(ExtractFilePath(D)) && (CreateDir(D) || DirectoryExists(D));
}

std::string GetCurrentDir() {
    char Buf[MAX_PATH * 4];
    DWORD N = GetCurrentDirectoryA(sizeof Buf, Buf);
    return N > 0 && N < sizeof Buf ? std::string(Buf, N) : std::string();
}

bool SetCurrentDir(std::string_view Dir) { return SetCurrentDirectoryA(std::string(Dir).c_str()) != 0; }

std::string GetEnvironmentVariable(std::string_view Name) {
    std::string N(Name);
    DWORD Size = GetEnvironmentVariableA(N.c_str(), nullptr, 0);
    if (Size == 0)
        return {};
    std::string R(Size, '\0');
    DWORD Got = GetEnvironmentVariableA(N.c_str(), R.data(), Size);
    R.resize(Got < Size ? Got : 0);
    return R;
}

int FileCreate(std::string_view FileName) {
    return FromHandle(CreateFileA(std::string(FileName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

int FileOpen(std::string_view FileName, LongWord Mode) {
    static const DWORD Access[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    static const DWORD Share[5] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    LongWord A = Mode & 3, S = (Mode & 0xF0) >> 4;
    if (A > 2 || S > 4)
        return -1;
    return FromHandle(CreateFileA(std::string(FileName).c_str(), Access[A], Share[S], nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

void FileClose(int Handle) { CloseHandle(ToHandle(Handle)); }

int FileRead(int Handle, void* Buffer, LongWord Count) {
    DWORD N = 0;
    return ReadFile(ToHandle(Handle), Buffer, Count, &N, nullptr) ? static_cast<int>(N) : -1;
}

int FileWrite(int Handle, const void* Buffer, LongWord Count) {
    DWORD N = 0;
    return WriteFile(ToHandle(Handle), Buffer, Count, &N, nullptr) ? static_cast<int>(N) : -1;
}

Int64 FileSeek(int Handle, Int64 Offset, int Origin) {
    LARGE_INTEGER Dist, NewPos;
    Dist.QuadPart = Offset;
    if (!SetFilePointerEx(ToHandle(Handle), Dist, &NewPos, static_cast<DWORD>(Origin)))
        return -1;
    return NewPos.QuadPart;
}

int FileSeek(int Handle, int Offset, int Origin) { return static_cast<int>(FileSeek(Handle, Int64(Offset), Origin)); }

int FileAge(std::string_view FileName) {
    WIN32_FIND_DATAA D;
    HANDLE H = FindFirstFileA(std::string(FileName).c_str(), &D);
    if (H == INVALID_HANDLE_VALUE)
        return -1;
    ::FindClose(H);
    if (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return -1;
    return FileTimeToDos(D.ftLastWriteTime);
}

int FileGetAttr(std::string_view FileName) { return static_cast<int>(AttributesOf(FileName)); }

int FileSetAttr(std::string_view FileName, int Attr) {
    return SetFileAttributesA(std::string(FileName).c_str(), static_cast<DWORD>(Attr)) ? 0 : static_cast<int>(GetLastError());
}

namespace {
int FindMatchingFile(TSearchRec& F) {
    while (F.FindData.dwFileAttributes & static_cast<DWORD>(F.ExcludeAttr))
        if (!FindNextFileA(F.FindHandle, &F.FindData))
            return static_cast<int>(GetLastError());
    F.Time = FileTimeToDos(F.FindData.ftLastWriteTime);
    F.Size = (static_cast<Int64>(F.FindData.nFileSizeHigh) << 32) | F.FindData.nFileSizeLow;
    F.Attr = static_cast<int>(F.FindData.dwFileAttributes);
    F.Name = F.FindData.cFileName;
    return 0;
}
}  // namespace

int FindFirst(std::string_view Path, int Attr, TSearchRec& F) {
    const int Special = faHidden | faSysFile | faVolumeID | faDirectory;
    F.ExcludeAttr = ~Attr & Special;
    F.FindHandle = FindFirstFileA(std::string(Path).c_str(), &F.FindData);
    if (F.FindHandle == INVALID_HANDLE_VALUE)
        return static_cast<int>(GetLastError());
    int R = FindMatchingFile(F);
    if (R != 0)
        FindClose(F);
    return R;
}

int FindNext(TSearchRec& F) {
    if (F.FindHandle == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    return FindNextFileA(F.FindHandle, &F.FindData) ? FindMatchingFile(F) : static_cast<int>(GetLastError());
}

void FindClose(TSearchRec& F) {
    if (F.FindHandle != INVALID_HANDLE_VALUE) {
        ::FindClose(F.FindHandle);
        F.FindHandle = INVALID_HANDLE_VALUE;
    }
}

// ---------------------------------------------------------------------------------------------
// Program and command line

namespace {
std::string& ProgramFolderOverride() {
    static std::string Folder;
    return Folder;
}

std::string RealProgramFileName() {
    char Buf[MAX_PATH * 4];
    DWORD N = GetModuleFileNameA(nullptr, Buf, sizeof Buf);
    return std::string(Buf, N < sizeof Buf ? N : 0);
}

// One parameter from P on, as the platform splits them: leading blanks and empty "" pairs are
// skipped; quotes group blanks into the parameter and are dropped.
size_t NextParam(std::string_view S, size_t P, std::string& Param) {
    auto At = [&](size_t I) { return I < S.size() ? static_cast<unsigned char>(S[I]) : 0u; };
    while (true) {
        while (At(P) != 0 && At(P) <= ' ')
            ++P;
        if (At(P) == '"' && At(P + 1) == '"')
            P += 2;
        else
            break;
    }
    Param.clear();
    while (At(P) > ' ') {
        if (At(P) == '"') {
            ++P;
            while (At(P) != 0 && At(P) != '"')
                Param += S[P++];
            if (At(P) != 0)
                ++P;
        } else
            Param += S[P++];
    }
    return P;
}
}  // namespace

void SetProgramFolderOverride(std::string_view Folder) { ProgramFolderOverride() = std::string(Folder); }

std::string ProgramFileName() {
    std::string Real = RealProgramFileName();
    const std::string& Folder = ProgramFolderOverride();
    if (Folder.empty())
        return Real;
    return IncludeTrailingPathDelimiter(Folder) + ExtractFileName(Real);
}

std::vector<std::string> SysUtilsDetail::SplitCommandLine(std::string_view CommandLine) {
    std::vector<std::string> Params;
    std::string Param;
    size_t P = 0;
    P = NextParam(CommandLine, P, Param);  // the program's own token
    Params.push_back(Param);
    while (true) {
        P = NextParam(CommandLine, P, Param);
        if (Param.empty())
            break;
        Params.push_back(Param);
    }
    return Params;
}

int ParamCount() { return static_cast<int>(SysUtilsDetail::SplitCommandLine(GetCommandLineA()).size()) - 1; }

std::string ParamStr(int Index) {
    if (Index == 0)
        return ProgramFileName();
    std::vector<std::string> Params = SysUtilsDetail::SplitCommandLine(GetCommandLineA());
    return Index > 0 && Index < static_cast<int>(Params.size()) ? Params[static_cast<size_t>(Index)] : std::string();
}

// ---------------------------------------------------------------------------------------------

namespace {
// Fills the globals above before main (see the top of this file).
struct TSysUtilsStartup {
    TSysUtilsStartup() { SysUtilsInitialization(); }
} SysUtilsStartup;
}  // namespace
