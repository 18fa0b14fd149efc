#include "IdGlobal.h"

#include "IdException.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
bool MultiBytePositions = false;

std::string AsciiUpper(std::string S) {
    for (char& C : S)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 32);
    return S;
}

// The first occurrence of Sub in S, stepping over the trail bytes of double-byte characters.
size_t FindToken(const std::string& S, const std::string& Sub, bool MultiByte) {
    if (!MultiByte)
        return S.find(Sub);
    for (size_t I = 0; I + Sub.size() <= S.size();) {
        if (S.compare(I, Sub.size(), Sub) == 0)
            return I;
        I += IsDBCSLeadByte(static_cast<BYTE>(S[I])) ? 2 : 1;
    }
    return std::string::npos;
}

bool ParseHexGroup(const std::string& G, Word& Value) {
    if (G.empty() || G.size() > 4)
        return false;
    unsigned V = 0;
    for (char C : G) {
        V <<= 4;
        if (C >= '0' && C <= '9')
            V |= static_cast<unsigned>(C - '0');
        else if (C >= 'A' && C <= 'F')
            V |= static_cast<unsigned>(C - 'A' + 10);
        else if (C >= 'a' && C <= 'f')
            V |= static_cast<unsigned>(C - 'a' + 10);
        else
            return false;
    }
    Value = static_cast<Word>(V);
    return true;
}

bool ParseDecimalField(const std::string& F, int& Value) {
    if (F.empty() || F.size() > 3)
        return false;
    Value = 0;
    for (char C : F) {
        if (C < '0' || C > '9')
            return false;
        Value = Value * 10 + (C - '0');
    }
    return Value <= 255;
}

std::string HexOf(unsigned V, int Digits = 1) {
    char Buf[16];
    std::snprintf(Buf, sizeof Buf, "%0*X", Digits, V);
    return Buf;
}
}  // namespace

void IdGlobalInitialization() {
    CPINFO Info{};
    MultiBytePositions = GetCPInfo(CP_ACP, &Info) && Info.MaxCharSize > 1;
}

std::string FetchToken(std::string& Input, const std::string& Delimiter, bool DeleteFromInput, bool CaseSensitive) {
    const bool Plain = !MultiBytePositions || Delimiter == std::string(1, '\0');
    const size_t P = CaseSensitive ? FindToken(Input, Delimiter, !Plain)
                                   : FindToken(AsciiUpper(Input), AsciiUpper(Delimiter), !Plain);
    if (P == std::string::npos || Delimiter.empty()) {
        std::string Result = Input;
        if (DeleteFromInput)
            Input.clear();
        return Result;
    }
    std::string Result = Input.substr(0, P);
    if (DeleteFromInput)
        Input.erase(0, P + Delimiter.size());
    return Result;
}

namespace {
bool SameLocaleText(const char* A, const char* B, size_t N) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, A, static_cast<int>(N), B, static_cast<int>(N)) ==
           CSTR_EQUAL;
}
}  // namespace

bool StartsWithNoCase(const std::string& S, const std::string& Prefix) {
    return S.size() >= Prefix.size() && SameLocaleText(S.data(), Prefix.data(), Prefix.size());
}

bool EndsWithNoCase(const std::string& S, const std::string& Suffix) {
    return S.size() >= Suffix.size() && SameLocaleText(S.data() + S.size() - Suffix.size(), Suffix.data(), Suffix.size());
}

LongInt TrimmedToInt(const std::string& S) { return StrToInt(Trim(S)); }
LongInt TrimmedToIntDef(const std::string& S, LongInt Default) { return StrToIntDef(Trim(S), Default); }

const TFormatSettings& IdEnglishFormatSettings() {
    static const TFormatSettings Settings = [] {
        TFormatSettings S = EnglishFormatSettings();
        S.CurrencyFormat = 0;
        S.NegCurrFormat = 0;
        S.CurrencyString = "$";
        S.CurrencyDecimals = 2;
        S.ThousandSeparator = ',';
        S.DecimalSeparator = '.';
        S.DateSeparator = '/';
        S.ShortDateFormat = "M/d/yyyy";
        S.LongDateFormat = "dddd, MMMM dd, yyyy";
        S.TimeSeparator = ':';
        S.TimeAMString = "AM";
        S.TimePMString = "PM";
        S.LongTimeFormat = "h:mm:ss AMPM";
        S.ShortTimeFormat = "h:mm AMPM";
        S.ListSeparator = ',';
        return S;
    }();
    return Settings;
}

std::string FormatEnglish(std::string_view Fmt, TVarRecs Args) { return Format(Fmt, Args, IdEnglishFormatSettings()); }

std::string CanonicalIPv6(const std::string& Text) {
    std::string S = Text;
    if (S.empty())
        return "";
    if (S.front() == ':')
        S.insert(0, "0");
    if (S.back() == ':')
        S += "0";
    std::vector<size_t> Dots, Colons;
    for (size_t I = 0; I < S.size(); ++I) {
        const char C = S[I];
        if (C == '.') {
            if (Dots.size() == 3)
                return "";
            Dots.push_back(I);
        } else if (C == ':') {
            if (Colons.size() == 7)
                return "";
            Colons.push_back(I);
        } else if (!((C >= '0' && C <= '9') ||
                     (Dots.empty() && ((C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f'))))) {
            return "";
        }
    }
    const bool Plain = Dots.empty() && Colons.size() >= 2;
    const bool WithIPv4 = Dots.size() == 3 && Colons.size() >= 2 && Colons.size() <= 6 && Dots.front() > Colons.back();
    if (!Plain && !WithIPv4)
        return "";
    Word Group;
    if (!ParseHexGroup(S.substr(0, Colons.front()), Group))
        return "";
    std::string Result = HexOf(Group) + ":";
    const size_t Fill = (WithIPv4 ? 7 : 8) - Colons.size();
    bool Compressed = false;
    for (size_t K = 0; K + 1 < Colons.size(); ++K) {
        const size_t A = Colons[K], B = Colons[K + 1];
        if (B == A + 1) {
            if (Compressed)
                return "";
            Compressed = true;
            for (size_t N = 0; N < Fill; ++N)
                Result += "0:";
        } else {
            if (!ParseHexGroup(S.substr(A + 1, B - A - 1), Group))
                return "";
            Result += HexOf(Group) + ":";
        }
    }
    if (Plain) {
        if (!ParseHexGroup(S.substr(Colons.back() + 1), Group))
            return "";
        Result += HexOf(Group);
        return Result;
    }
    // The IPv4 tail: four decimal fields, nothing after the fourth.
    int F[4];
    const size_t Last = Colons.back();
    if (!ParseDecimalField(S.substr(Last + 1, Dots[0] - Last - 1), F[0]) ||
        !ParseDecimalField(S.substr(Dots[0] + 1, Dots[1] - Dots[0] - 1), F[1]) ||
        !ParseDecimalField(S.substr(Dots[1] + 1, Dots[2] - Dots[1] - 1), F[2]) ||
        !ParseDecimalField(S.substr(Dots[2] + 1), F[3]))
        return "";
    Result += HexOf(static_cast<unsigned>(F[0]), 2) + HexOf(static_cast<unsigned>(F[1]), 2) + ":" +
              HexOf(static_cast<unsigned>(F[2]), 2) + HexOf(static_cast<unsigned>(F[3]), 2);
    return Result;
}

void ParseIPv6(const std::string& Text, TIdIPv6Address& Groups, bool& Error) {
    std::string S = CanonicalIPv6(Text);
    Error = S.empty();
    if (Error)
        return;
    for (Word& G : Groups)
        ParseHexGroup(FetchToken(S, ":"), G);
}

void ParseIPv6OrRaise(const std::string& Text, TIdIPv6Address& Groups) {
    bool Error;
    ParseIPv6(Text, Groups, Error);
    if (Error)
        throw EIdInvalidIPv6Address(Format(IdResourceStrings::RSInvalidIPv6Address, {Text}));
}

void RaiseLastSystemError() { RaiseLastOSError(); }

LongInt BytesAvailable(const TIdBytes& Bytes, LongInt Index, LongInt Count) {
    Assert(Index >= 0);
    const LongInt Left = std::max<LongInt>(0, static_cast<LongInt>(Bytes.size()) - Index);
    return Count < 0 ? Left : std::min(Count, Left);
}

Int64 StreamRemaining(TStream* Stream, Int64 Count) {
    const Int64 Left = std::max<Int64>(0, Stream->Size() - Stream->Position());
    return Count < 0 ? Left : std::max<Int64>(0, std::min(Count, Left));
}

void CopyBytes(const TIdBytes& Source, LongInt SourceOffset, TIdBytes& Dest, LongInt DestOffset, LongInt Count) {
    Assert(SourceOffset >= 0 && Count >= 0 && static_cast<size_t>(SourceOffset + Count) <= Source.size());
    Assert(DestOffset >= 0 && static_cast<size_t>(DestOffset + Count) <= Dest.size());
    std::copy_n(Source.begin() + SourceOffset, Count, Dest.begin() + DestOffset);
}

void StoreWord(TIdBytes& Dest, Word Value, LongInt Offset) {
    Assert(Offset >= 0 && static_cast<size_t>(Offset) + 2 <= Dest.size());
    std::memcpy(Dest.data() + Offset, &Value, 2);
}

void StoreLongWord(TIdBytes& Dest, std::uint32_t Value, LongInt Offset) {
    Assert(Offset >= 0 && static_cast<size_t>(Offset) + 4 <= Dest.size());
    std::memcpy(Dest.data() + Offset, &Value, 4);
}

Word BytesToWord(const TIdBytes& Bytes, LongInt Index) {
    Assert(Index >= 0 && static_cast<size_t>(Index) + 2 <= Bytes.size());
    Word W;
    std::memcpy(&W, Bytes.data() + Index, 2);
    return W;
}
