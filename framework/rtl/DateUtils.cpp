#include "DateUtils.h"

#include <cmath>
#include <mutex>

using namespace SysConsts;

namespace {
const int MonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                              {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Days from 0001-01-01 (day 1) to the given date.
int DaysOf(int Year, int Month, int Day) {
    const int* Days = MonthDays[IsLeapYear(Year)];
    for (int M = 1; M < Month; ++M)
        Day += Days[M];
    int Y = Year - 1;
    return Y * 365 + Y / 4 - Y / 100 + Y / 400 + Day;
}

// The date of a time stamp's day number (1 = 0001-01-01).
void DateOfDays(int Days, int& Year, int& Month, int& Day) {
    const int D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
    int T = Days - 1;
    int Y = 1;
    Y += (T / D400) * 400;
    T %= D400;
    int I = T / D100;
    if (I == 4)
        I = 3;  // the last day of a 400-year cycle
    Y += I * 100;
    T -= I * D100;
    Y += (T / D4) * 4;
    T %= D4;
    I = T / D1;
    if (I == 4)
        I = 3;  // the last day of a 4-year cycle
    Y += I;
    T -= I * D1;
    const int* MD = MonthDays[IsLeapYear(Y)];
    int M = 1;
    while (T >= MD[M]) {
        T -= MD[M];
        ++M;
    }
    Year = Y;
    Month = M;
    Day = T + 1;
}

std::mutex ClockLock;
TClock& ClockHook() {
    static TClock Clock;
    return Clock;
}
}  // namespace

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInAMonth(int Year, int Month) {
    if (Month < 1 || Month > 12)
        return 0;
    return MonthDays[IsLeapYear(Year)][Month];
}

bool IsValidDate(int Year, int Month, int Day) {
    return Year >= 1 && Year <= 9999 && Month >= 1 && Month <= 12 && Day >= 1 && Day <= DaysInAMonth(Year, Month);
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
    if (!IsValidDate(Year, Month, Day))
        return false;
    Date = DaysOf(Year, Month, Day) - DateDelta;
    return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
    if (Hour < 0 || Hour >= HoursPerDay || Min < 0 || Min >= MinsPerHour || Sec < 0 || Sec >= SecsPerMin || MSec < 0 ||
        MSec >= MSecsPerSec)
        return false;
    Time = (Hour * 3600000.0 + Min * 60000.0 + Sec * 1000.0 + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime D;
    if (!TryEncodeDate(Year, Month, Day, D))
        throw EConvertError(SDateEncodeError);
    return D;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime T;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, T))
        throw EConvertError(STimeEncodeError);
    return T;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
    TDateTime D = EncodeDate(Year, Month, Day), T = EncodeTime(Hour, Min, Sec, MSec);
    return D >= 0 ? D + T : D - T;
}

TTimeStamp DateTimeToTimeStamp(TDateTime DateTime) {
    // Rounded to the millisecond first, so that 23:59:59.9996 is the next day's midnight; a
    // negative value keeps its time of day as the remainder of its absolute value.
    Int64 MS = static_cast<Int64>(std::llround(DateTime * MSecsPerDay));
    TTimeStamp T;
    if (MS < 0) {
        MS = -MS;
        T.Date = static_cast<int>(-(MS / MSecsPerDay)) + DateDelta;
    } else
        T.Date = static_cast<int>(MS / MSecsPerDay) + DateDelta;
    T.Time = static_cast<int>(MS % MSecsPerDay);
    return T;
}

TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp) {
    if (TimeStamp.Time < 0 || TimeStamp.Time >= MSecsPerDay || TimeStamp.Date <= 0)
        throw EConvertError("'%d.%d' is not a valid timestamp", {TimeStamp.Date, TimeStamp.Time});
    Int64 Days = TimeStamp.Date - DateDelta;
    Int64 MS = Days * MSecsPerDay;
    MS = MS >= 0 ? MS + TimeStamp.Time : MS - TimeStamp.Time;
    return static_cast<double>(MS) / MSecsPerDay;
}

Int64 TimeStampToMSecs(const TTimeStamp& TimeStamp) { return Int64(TimeStamp.Date) * MSecsPerDay + TimeStamp.Time; }

TTimeStamp MSecsToTimeStamp(Int64 MSecs) {
    TTimeStamp T;
    T.Date = static_cast<int>(MSecs / MSecsPerDay);
    T.Time = static_cast<int>(MSecs % MSecsPerDay);
    return T;
}

void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day) {
    TTimeStamp T = DateTimeToTimeStamp(Date);
    if (T.Date <= 0) {  // before 0001-01-01: nothing the platform can show
        Year = Month = Day = 0;
        return;
    }
    int Y, M, D;
    DateOfDays(T.Date, Y, M, D);
    Year = static_cast<Word>(Y);
    Month = static_cast<Word>(M);
    Day = static_cast<Word>(D);
}

void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec) {
    int MS = DateTimeToTimeStamp(Time).Time;
    Hour = static_cast<Word>(MS / 3600000);
    Min = static_cast<Word>(MS / 60000 % 60);
    Sec = static_cast<Word>(MS / 1000 % 60);
    MSec = static_cast<Word>(MS % 1000);
}

void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min, Word& Sec, Word& MSec) {
    DecodeDate(Value, Year, Month, Day);
    DecodeTime(Value, Hour, Min, Sec, MSec);
}

int DayOfWeek(TDateTime Date) { return DateTimeToTimeStamp(Date).Date % 7 + 1; }
int DayOfTheWeek(TDateTime Date) { return (DateTimeToTimeStamp(Date).Date - 1) % 7 + 1; }

int YearOf(TDateTime Value) {
    Word Y, M, D;
    DecodeDate(Value, Y, M, D);
    return Y;
}

int MonthOf(TDateTime Value) {
    Word Y, M, D;
    DecodeDate(Value, Y, M, D);
    return M;
}

int DayOf(TDateTime Value) {
    Word Y, M, D;
    DecodeDate(Value, Y, M, D);
    return D;
}

int HourOf(TDateTime Value) { return DateTimeToTimeStamp(Value).Time / 3600000; }
int MinuteOf(TDateTime Value) { return DateTimeToTimeStamp(Value).Time / 60000 % 60; }
int SecondOf(TDateTime Value) { return DateTimeToTimeStamp(Value).Time / 1000 % 60; }
int MilliSecondOf(TDateTime Value) { return DateTimeToTimeStamp(Value).Time % 1000; }

TDateTime DateOf(TDateTime Value) {
    TTimeStamp T = DateTimeToTimeStamp(Value);
    T.Time = 0;
    return TimeStampToDateTime(T);
}

TDateTime TimeOf(TDateTime Value) { return DateTimeToTimeStamp(Value).Time / double(MSecsPerDay); }

namespace {
Int64 MSecsOf(TDateTime Value) { return TimeStampToMSecs(DateTimeToTimeStamp(Value)); }
TDateTime FromMSecs(Int64 MSecs) { return TimeStampToDateTime(MSecsToTimeStamp(MSecs)); }
}  // namespace

TDateTime IncMilliSecond(TDateTime Value, Int64 Number) { return FromMSecs(MSecsOf(Value) + Number); }
TDateTime IncSecond(TDateTime Value, Int64 Number) { return IncMilliSecond(Value, Number * MSecsPerSec); }
TDateTime IncMinute(TDateTime Value, Int64 Number) { return IncMilliSecond(Value, Number * 60000); }
TDateTime IncHour(TDateTime Value, Int64 Number) { return IncMilliSecond(Value, Number * 3600000); }
TDateTime IncDay(TDateTime Value, int Number) { return IncMilliSecond(Value, Int64(Number) * MSecsPerDay); }
TDateTime IncWeek(TDateTime Value, int Number) { return IncDay(Value, Number * 7); }

TDateTime IncMonth(TDateTime Value, int Number) {
    TTimeStamp T = DateTimeToTimeStamp(Value);
    int Y, M, D;
    DateOfDays(T.Date, Y, M, D);
    int Months = Y * 12 + (M - 1) + Number;
    Y = Months / 12;
    M = Months % 12 + 1;
    if (D > DaysInAMonth(Y, M))
        D = DaysInAMonth(Y, M);
    if (!IsValidDate(Y, M, D))
        throw EConvertError(SDateEncodeError);
    T.Date = DaysOf(Y, M, D);
    return TimeStampToDateTime(T);
}

TDateTime IncYear(TDateTime Value, int Number) { return IncMonth(Value, Number * 12); }

Int64 MilliSecondsBetween(TDateTime Now, TDateTime Then) {
    Int64 D = MSecsOf(Now) - MSecsOf(Then);
    return D < 0 ? -D : D;
}
Int64 SecondsBetween(TDateTime Now, TDateTime Then) { return MilliSecondsBetween(Now, Then) / MSecsPerSec; }
Int64 MinutesBetween(TDateTime Now, TDateTime Then) { return MilliSecondsBetween(Now, Then) / 60000; }
Int64 HoursBetween(TDateTime Now, TDateTime Then) { return MilliSecondsBetween(Now, Then) / 3600000; }
Int64 DaysBetween(TDateTime Now, TDateTime Then) { return MilliSecondsBetween(Now, Then) / MSecsPerDay; }

int DateTimeToFileDate(TDateTime DateTime) {
    Word Y, M, D, H, N, S, MS;
    DecodeDateTime(DateTime, Y, M, D, H, N, S, MS);
    if (Y < 1980 || Y > 2107)
        return 0;
    DWORD Date = (DWORD(Y - 1980) << 9) | (DWORD(M) << 5) | D;
    DWORD Time = (DWORD(H) << 11) | (DWORD(N) << 5) | (S / 2);
    return static_cast<int>((Date << 16) | Time);
}

TDateTime FileDateToDateTime(int FileDate) {
    DWORD F = static_cast<DWORD>(FileDate);
    int Date = static_cast<int>(F >> 16), Time = static_cast<int>(F & 0xFFFF);
    return EncodeDate((Date >> 9) + 1980, (Date >> 5) & 15, Date & 31) +
           EncodeTime(Time >> 11, (Time >> 5) & 63, (Time & 31) * 2, 0);
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& ST) {
    return EncodeDateTime(ST.wYear, ST.wMonth, ST.wDay, ST.wHour, ST.wMinute, ST.wSecond, ST.wMilliseconds);
}

void DateTimeToSystemTime(TDateTime DateTime, SYSTEMTIME& ST) {
    DecodeDateTime(DateTime, ST.wYear, ST.wMonth, ST.wDay, ST.wHour, ST.wMinute, ST.wSecond, ST.wMilliseconds);
    ST.wDayOfWeek = static_cast<WORD>(DayOfWeek(DateTime) - 1);
}

void SetClock(TClock Clock) {
    std::lock_guard<std::mutex> G(ClockLock);
    ClockHook() = std::move(Clock);
}

TDateTime Now() {
    TClock Clock;
    {
        std::lock_guard<std::mutex> G(ClockLock);
        Clock = ClockHook();
    }
    if (Clock)
        return Clock();
    SYSTEMTIME ST;
    GetLocalTime(&ST);
    return SystemTimeToDateTime(ST);
}

TDateTime Date() { return DateOf(Now()); }
TDateTime Time() { return TimeOf(Now()); }
int CurrentYear() { return YearOf(Now()); }

// ---------------------------------------------------------------------------------------------
// FormatDateTime

namespace {

class TDateFormatter {
public:
    TDateFormatter(TDateTime Value, const TFormatSettings& FS) : FValue(Value), FS(FS) {
        DecodeDateTime(Value, FYear, FMonth, FDay, FHour, FMin, FSec, FMSec);
    }

    std::string Run(std::string_view Fmt) {
        Append(Fmt, 0);
        return FOut;
    }

private:
    static char Up(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 32) : C; }

    static bool StartsWithNoCase(std::string_view S, size_t I, std::string_view Word) {
        if (S.size() - I < Word.size())
            return false;
        for (size_t K = 0; K < Word.size(); ++K)
            if (Up(S[I + K]) != Up(Word[K]))
                return false;
        return true;
    }

    void Number(int N, int Digits) {
        std::string S = std::to_string(N);
        if (static_cast<int>(S.size()) < Digits)
            S.insert(0, static_cast<size_t>(Digits) - S.size(), '0');
        FOut += S;
    }

    // A 12-hour clock when an am/pm marker follows this hour, before another hour.
    bool TwelveHourAhead(std::string_view F, size_t I) {
        char Quote = 0;
        for (; I < F.size(); ++I) {
            char C = F[I];
            if (Quote) {
                if (C == Quote)
                    Quote = 0;
                continue;
            }
            if (C == '"' || C == '\'')
                Quote = C;
            else if (C == 'a' || C == 'A')
                return StartsWithNoCase(F, I, "AM/PM") || StartsWithNoCase(F, I, "A/P") || StartsWithNoCase(F, I, "AMPM");
            else if (C == 'h' || C == 'H')
                return false;
        }
        return false;
    }

    void Append(std::string_view F, int Depth) {
        if (Depth > 2)  // a format that names itself (a settings string holding "c") ends here
            return;
        size_t I = 0;
        while (I < F.size()) {
            char C = F[I];
            char T = Up(C);
            if (T >= 'A' && T <= 'Z') {
                if (T == 'M' && FLastToken == 'H')
                    T = 'N';
                FLastToken = T;
            }
            size_t Count = 1;
            while (I + Count < F.size() && Up(F[I + Count]) == Up(C))
                ++Count;
            switch (T) {
            case 'Y':
                I += Count;
                if (Count <= 2)
                    Number(FYear % 100, 2);
                else
                    Number(FYear, 4);
                break;
            case 'M':
                I += Count;
                if (Count <= 2)
                    Number(FMonth, static_cast<int>(Count));
                else
                    FOut += Count == 3 ? FS.ShortMonthNames[FMonth] : FS.LongMonthNames[FMonth];
                break;
            case 'D':
                I += Count;
                if (Count <= 2)
                    Number(FDay, static_cast<int>(Count));
                else if (Count == 3)
                    FOut += FS.ShortDayNames[DayOfWeek(FValue)];
                else if (Count == 4)
                    FOut += FS.LongDayNames[DayOfWeek(FValue)];
                else if (Count == 5)
                    Append(FS.ShortDateFormat, Depth + 1);
                else
                    Append(FS.LongDateFormat, Depth + 1);
                break;
            case 'H': {
                I += Count;
                int H = FHour;
                if (TwelveHourAhead(F, I)) {
                    if (H == 0)
                        H = 12;
                    else if (H > 12)
                        H -= 12;
                }
                Number(H, Count > 2 ? 2 : static_cast<int>(Count));
                break;
            }
            case 'N':
                I += Count;
                Number(FMin, Count > 2 ? 2 : static_cast<int>(Count));
                break;
            case 'S':
                I += Count;
                Number(FSec, Count > 2 ? 2 : static_cast<int>(Count));
                break;
            case 'Z':
                I += Count;
                Number(FMSec, Count <= 2 ? 1 : 3);
                break;
            case 'T':
                I += Count;
                Append(Count == 1 ? FS.ShortTimeFormat : FS.LongTimeFormat, Depth + 1);
                break;
            case 'C':
                I += Count;
                Append(FS.ShortDateFormat, Depth + 1);
                if (FHour != 0 || FMin != 0 || FSec != 0) {
                    FOut += ' ';
                    Append(FS.LongTimeFormat, Depth + 1);
                }
                break;
            case 'A':
                if (StartsWithNoCase(F, I, "AM/PM")) {
                    FOut.append(F.substr(FHour >= 12 ? I + 3 : I, 2));
                    I += 5;
                } else if (StartsWithNoCase(F, I, "A/P")) {
                    FOut += F[FHour >= 12 ? I + 2 : I];
                    I += 3;
                } else if (StartsWithNoCase(F, I, "AMPM")) {
                    FOut += FHour >= 12 ? FS.TimePMString : FS.TimeAMString;
                    I += 4;
                } else {
                    FOut += C;
                    ++I;
                }
                break;
            case '/':
                FOut += FS.DateSeparator;
                ++I;
                break;
            case ':':
                FOut += FS.TimeSeparator;
                ++I;
                break;
            case '"':
            case '\'': {
                size_t End = F.find(C, I + 1);
                if (End == std::string_view::npos)
                    End = F.size();
                FOut.append(F.substr(I + 1, End - I - 1));
                I = End + 1;
                break;
            }
            default:
                FOut += C;
                ++I;
                break;
            }
        }
    }

    TDateTime FValue;
    const TFormatSettings& FS;
    Word FYear = 0, FMonth = 0, FDay = 0, FHour = 0, FMin = 0, FSec = 0, FMSec = 0;
    char FLastToken = ' ';
    std::string FOut;
};

}  // namespace

std::string FormatDateTime(std::string_view Format, TDateTime DateTime, const TFormatSettings& Settings) {
    return TDateFormatter(DateTime, Settings).Run(Format.empty() ? std::string_view("C") : Format);
}

std::string FormatDateTime(std::string_view Format, TDateTime DateTime) {
    return FormatDateTime(Format, DateTime, FormatSettings);
}

std::string DateToStr(TDateTime Date, const TFormatSettings& S) { return FormatDateTime("ddddd", Date, S); }
std::string DateToStr(TDateTime Date) { return DateToStr(Date, FormatSettings); }
std::string TimeToStr(TDateTime Time, const TFormatSettings& S) { return FormatDateTime("tt", Time, S); }
std::string TimeToStr(TDateTime Time) { return TimeToStr(Time, FormatSettings); }
std::string DateTimeToStr(TDateTime DateTime, const TFormatSettings& S) { return FormatDateTime("c", DateTime, S); }
std::string DateTimeToStr(TDateTime DateTime) { return DateTimeToStr(DateTime, FormatSettings); }

// ---------------------------------------------------------------------------------------------
// Reading dates and times

namespace {

class TDateScanner {
public:
    TDateScanner(std::string_view S, const TFormatSettings& FS) : FText(S), FS(FS) {}

    bool AtEnd() const { return FPos >= FText.size(); }

    // Value only when Scan takes the whole text.
    bool Whole(bool (TDateScanner::*Scan)(TDateTime&), TDateTime& Value) {
        TDateTime V;
        if (!(this->*Scan)(V) || !AtEnd())
            return false;
        Value = V;
        return true;
    }

    bool ScanDate(TDateTime& Value) {
        enum { doMDY, doDMY, doYMD } Order = doMDY;
        for (char C : FS.ShortDateFormat) {
            char U = C >= 'a' && C <= 'z' ? static_cast<char>(C - 32) : C;
            if (U == 'Y') {
                Order = doYMD;
                break;
            }
            if (U == 'M') {
                Order = doMDY;
                break;
            }
            if (U == 'D') {
                Order = doDMY;
                break;
            }
        }
        int N1, N2, N3, L1, L2, L3;
        if (!ScanNumber(N1, L1) || !ScanChar(FS.DateSeparator) || !ScanNumber(N2, L2))
            return false;
        int Y, M, D, YearLen;
        if (ScanChar(FS.DateSeparator)) {
            if (!ScanNumber(N3, L3))
                return false;
            switch (Order) {
            case doMDY:
                Y = N3, YearLen = L3, M = N1, D = N2;
                break;
            case doDMY:
                Y = N3, YearLen = L3, M = N2, D = N1;
                break;
            default:
                Y = N1, YearLen = L1, M = N2, D = N3;
                break;
            }
            if (YearLen <= 2) {
                int Base = CurrentYear() - FS.TwoDigitYearCenturyWindow;
                Y += Base / 100 * 100;
                if (FS.TwoDigitYearCenturyWindow > 0 && Y < Base)
                    Y += 100;
            }
        } else {
            Y = CurrentYear();
            if (Order == doDMY)
                D = N1, M = N2;
            else
                M = N1, D = N2;
        }
        ScanChar(FS.DateSeparator);  // a closing separator is allowed
        Blanks();
        return TryEncodeDate(Y, M, D, Value);
    }

    bool ScanTime(TDateTime& Value) {
        int BaseHour = AmPm();
        if (BaseHour >= 0)
            Blanks();
        int Hour, Min = 0, Sec = 0, MSec = 0, L;
        if (!ScanNumber(Hour, L))
            return false;
        if (ScanChar(FS.TimeSeparator)) {
            if (!ScanNumber(Min, L))
                return false;
            if (ScanChar(FS.TimeSeparator)) {
                if (!ScanNumber(Sec, L))
                    return false;
                if (ScanChar(FS.DecimalSeparator) || ScanChar('.'))
                    if (!ScanNumber(MSec, L))
                        return false;
            }
        }
        if (BaseHour < 0)
            BaseHour = AmPm();
        if (BaseHour >= 0) {
            if (Hour == 0 || Hour > 12)
                return false;
            if (Hour == 12)
                Hour = 0;
            Hour += BaseHour;
        }
        Blanks();
        return TryEncodeTime(Hour, Min, Sec, MSec, Value);
    }

private:
    void Blanks() {
        while (FPos < FText.size() && FText[FPos] == ' ')
            ++FPos;
    }

    // Digits after blanks; stops once the value reaches 1000 (a year has at most four digits).
    bool ScanNumber(int& N, int& Len) {
        Blanks();
        size_t I = FPos;
        N = 0;
        while (I < FText.size() && FText[I] >= '0' && FText[I] <= '9' && N < 1000)
            N = N * 10 + (FText[I++] - '0');
        if (I == FPos)
            return false;
        Len = static_cast<int>(I - FPos);
        FPos = I;
        return true;
    }

    bool ScanChar(char C) {
        Blanks();
        if (FPos < FText.size() && FText[FPos] == C) {
            ++FPos;
            return true;
        }
        return false;
    }

    bool ScanWord(const std::string& W) {
        Blanks();
        if (W.empty() || FText.size() - FPos < W.size())
            return false;
        if (!AnsiSameText(FText.substr(FPos, W.size()), W))
            return false;
        FPos += W.size();
        return true;
    }

    // 0 for a morning marker, 12 for an afternoon one, -1 for none.
    int AmPm() {
        if (ScanWord(FS.TimeAMString) || ScanWord("AM"))
            return 0;
        if (ScanWord(FS.TimePMString) || ScanWord("PM"))
            return 12;
        return -1;
    }

    std::string_view FText;
    const TFormatSettings& FS;
    size_t FPos = 0;
};

}  // namespace

bool TryStrToDate(std::string_view S, TDateTime& Value, const TFormatSettings& Settings) {
    TDateScanner Scan(S, Settings);
    return Scan.Whole(&TDateScanner::ScanDate, Value);
}

bool TryStrToTime(std::string_view S, TDateTime& Value, const TFormatSettings& Settings) {
    TDateScanner Scan(S, Settings);
    return Scan.Whole(&TDateScanner::ScanTime, Value);
}

bool TryStrToDateTime(std::string_view S, TDateTime& Value, const TFormatSettings& Settings) {
    TDateScanner Scan(S, Settings);
    TDateTime D, T = 0;
    if (Scan.ScanDate(D) && (Scan.AtEnd() || (Scan.ScanTime(T) && Scan.AtEnd()))) {
        Value = D >= 0 ? D + T : D - T;
        return true;
    }
    return TryStrToTime(S, Value, Settings);
}

bool TryStrToDate(std::string_view S, TDateTime& Value) { return TryStrToDate(S, Value, FormatSettings); }
bool TryStrToTime(std::string_view S, TDateTime& Value) { return TryStrToTime(S, Value, FormatSettings); }
bool TryStrToDateTime(std::string_view S, TDateTime& Value) { return TryStrToDateTime(S, Value, FormatSettings); }

namespace {
// The conversion's value in the given settings, or EConvertError naming the text.
TDateTime Converted(std::string_view S, const TFormatSettings& Settings,
                    bool (*Try)(std::string_view, TDateTime&, const TFormatSettings&), const char* Message) {
    return SysUtilsDetail::ConvertedOrRaise<TDateTime>(
        S, [&](std::string_view T, TDateTime& V) { return Try(T, V, Settings); }, Message);
}
}  // namespace

TDateTime StrToDate(std::string_view S, const TFormatSettings& Settings) {
    return Converted(S, Settings, TryStrToDate, SInvalidDate);
}
TDateTime StrToTime(std::string_view S, const TFormatSettings& Settings) {
    return Converted(S, Settings, TryStrToTime, SInvalidTime);
}
TDateTime StrToDateTime(std::string_view S, const TFormatSettings& Settings) {
    return Converted(S, Settings, TryStrToDateTime, SInvalidDateTime);
}

TDateTime StrToDate(std::string_view S) { return StrToDate(S, FormatSettings); }
TDateTime StrToTime(std::string_view S) { return StrToTime(S, FormatSettings); }
TDateTime StrToDateTime(std::string_view S) { return StrToDateTime(S, FormatSettings); }

TDateTime StrToDateDef(std::string_view S, TDateTime Default) {
    return SysUtilsDetail::ConvertedOr<TDateTime>(
        S, [](std::string_view T, TDateTime& V) { return TryStrToDate(T, V); }, Default);
}

TDateTime StrToDateTimeDef(std::string_view S, TDateTime Default) {
    return SysUtilsDetail::ConvertedOr<TDateTime>(
        S, [](std::string_view T, TDateTime& V) { return TryStrToDateTime(T, V); }, Default);
}
