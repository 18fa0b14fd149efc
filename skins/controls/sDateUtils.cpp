#include "sDateUtils.h"

#include "DateUtils.h"

#include <cmath>

const int MonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
bool LocaleHasFourDigitYear = false;

namespace {
char Upper(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

int MonthByName(const std::string& S, int N) {
    if (S.empty())
        return 0;
    for (int A = 1; A <= 12; ++A) {
        const std::string& Name = LongMonthNames[A];
        if (!Name.empty() && AnsiCompareText(Name.substr(0, N), S.substr(0, N)) == 0)
            return A;
    }
    return 0;
}

// The text under the format's run of Letter (at least MinCount of them), read by position.
int ReadFormatField(const std::string& Format, const std::string& Text, char Letter, int Default, int Bad,
                    int MinCount) {
    int L = static_cast<int>(Format.size());
    if (Text.size() > Format.size())
        return Default;
    if (Text.size() < Format.size())
        L = static_cast<int>(Text.size());
    std::string UpFormat = UpperCase(Format);
    std::string Run(MinCount, Upper(Letter));
    size_t Found = UpFormat.find(Run);
    if (Found == std::string::npos)
        return Default;
    std::string Collected;
    if (Format.size() < 20 && static_cast<int>(Format.size()) >= MinCount)
        for (int I = static_cast<int>(Found); I < L && Upper(Format[I]) == Upper(Letter); ++I)
            if (Text[I] != ' ')
                Collected += Text[I];
    if (Collected.empty())
        return Bad;
    if (MinCount > 1) {
        int Month = MonthByName(Collected, MinCount);
        return Month == 0 ? -1 : Month;
    }
    return StrToIntDef(Collected, -1);
}

void SkipSpaces(const std::string& S, size_t& Pos) {
    while (Pos < S.size() && S[Pos] == ' ')
        ++Pos;
}

bool ReadSeparator(const std::string& S, size_t& Pos, char Ch) {
    SkipSpaces(S, Pos);
    if (Pos < S.size() && S[Pos] == Ch) {
        ++Pos;
        return true;
    }
    return false;
}

bool ReadNumber(const std::string& S, int MaxLen, size_t& Pos, int& N) {
    SkipSpaces(S, Pos);
    N = 0;
    int Read = 0;
    while (Pos < S.size() && S[Pos] >= '0' && S[Pos] <= '9' && Read < MaxLen && N < 1000) {
        N = N * 10 + (S[Pos] - '0');
        ++Pos;
        ++Read;
    }
    return Read > 0;
}

bool ReadDateFree(const std::string& Text, const std::string& Format, int& Y, int& M, int& D) {
    Y = M = D = 0;
    TDateOrder Order = DateOrderOf(Format);
    size_t Pos = 0;
    int N1, N2, N3;
    if (!ReadNumber(Text, 4, Pos, N1) || !ReadSeparator(Text, Pos, DateSeparator) || !ReadNumber(Text, 4, Pos, N2))
        return false;
    if (ReadSeparator(Text, Pos, DateSeparator)) {
        if (!ReadNumber(Text, 4, Pos, N3))
            return false;
        if (Order == OrderMDY)
            M = N1, D = N2, Y = N3;
        else if (Order == OrderDMY)
            D = N1, M = N2, Y = N3;
        else
            Y = N1, M = N2, D = N3;
        Y = WidenYear(Y);
    } else {
        Y = ThisYear();
        if (Order == OrderDMY)
            D = N1, M = N2;
        else
            M = N1, D = N2;
    }
    ReadSeparator(Text, Pos, DateSeparator);
    SkipSpaces(Text, Pos);
    return IsValidYMD(Y, M, D) && Pos == Text.size();
}

bool ReadDateByFormat(const std::string& Format, const std::string& Text, int& Y, int& M, int& D) {
    M = ReadFormatField(Format, Text, 'm', 0, -1, 3);
    if (M == 0)
        M = ReadFormatField(Format, Text, 'm', 0, -1, 1);
    D = ReadFormatField(Format, Text, 'd', 1, -1, 1);
    Y = WidenYear(ReadFormatField(Format, Text, 'y', ThisYear(), -1, 1));
    if (M > 0 && D > 0 && IsValidYMD(Y, M, D))
        return true;
    return ReadDateFree(Text, Format, Y, M, D);
}
}  // namespace

int MonthLength(int Year, int Month) { return MonthLengths[Month - 1] + (Month == 2 && IsLeapYear(Year) ? 1 : 0); }

TDateOrder DateOrderOf(const std::string& Format) {
    for (char C : Format) {
        switch (Upper(C)) {
        case 'D': return OrderDMY;
        case 'M': return OrderMDY;
        case 'Y': return OrderYMD;
        default: break;
        }
    }
    return OrderDMY;
}

std::string StandardDateFormat(bool FourDigitYear) {
    const char* Year = FourDigitYear ? "YYYY" : "YY";
    switch (DateOrderOf(ShortDateFormat)) {
    case OrderMDY: return std::string("MM/DD/") + Year;
    case OrderYMD: return std::string(Year) + "/MM/DD";
    default: return std::string("DD/MM/") + Year;
    }
}

std::string StandardDateMask(char BlanksChar, bool FourDigitYear) {
    std::string Mask = !FourDigitYear                              ? "!99/99/99;1;"
                       : DateOrderOf(ShortDateFormat) == OrderYMD ? "!9999/99/99;1;"
                                                                   : "!99/99/9999;1;";
    return Mask + BlanksChar;
}

bool IsValidYMD(int Y, int M, int D) {
    return Y >= 1 && Y <= 9999 && M >= 1 && M <= 12 && D >= 1 && D <= MonthLength(Y, M);
}

bool IsValidDateTime(TDateTime Value) {
    if (!std::isfinite(Value))
        return false;
    try {
        Word Y, M, D;
        DecodeDate(Value, Y, M, D);
        return IsValidYMD(Y, M, D);
    } catch (const Exception&) {
        return false;
    }
}

int ThisYear() {
    Word Y, M, D;
    DecodeDate(Now(), Y, M, D);
    return Y;
}

int WidenYear(int Year) {
    // A year that could not be read (negative) stays invalid instead of landing in the window.
    if (Year >= 100 || Year < 0)
        return Year;
    int Pivot = ThisYear() - 60;
    int Result = Year + Pivot / 100 * 100;
    return Result < Pivot ? Result + 100 : Result;
}

bool TextToDate(const std::string& Format, const std::string& Text, TDateTime& Value) {
    if (Text.empty()) {
        Value = EmptyDate;
        return true;
    }
    int Y, M, D;
    if (!ReadDateByFormat(Format, Text, Y, M, D))
        return false;
    return TryEncodeDate(Y, M, D, Value);
}

TDateTime DateFromText(const std::string& Format, const std::string& Text, TDateTime Default) {
    TDateTime Value;
    return TextToDate(Format, Text, Value) ? Value : std::trunc(Default);
}

TDateTime DateOrDefault(TDateTime Value, TDateTime Default) { return Value == EmptyDate ? Default : Value; }

void sDateUtilsInitialization() { LocaleHasFourDigitYear = UpperCase(ShortDateFormat).find("YYYY") != std::string::npos; }
