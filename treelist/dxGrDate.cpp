#include "dxGrDate.h"

#include "DateUtils.h"
#include "ResStrings.h"

#include <cmath>
#include <cstdlib>

Byte FirstWeekDay = 0;
std::string TodayCaption, ClearCaption;

void PrevMonth(Word& Year, Word& Month) {
    if (Month == 1) {
        Month = 12;
        --Year;
    } else
        --Month;
}

void NextMonth(Word& Year, Word& Month) {
    if (Month == 12) {
        Month = 1;
        ++Year;
    } else
        ++Month;
}

void AddMonths(Word& Year, Word& Month, int N) {
    int Y = Year + N / 12;
    int M = Month + N % 12;
    if (M > 12) {
        M -= 12;
        ++Y;
    } else if (M < 1) {
        M += 12;
        --Y;
    }
    Year = static_cast<Word>(Y);
    Month = static_cast<Word>(M);
}

bool LeapYear(int Year) { return Year % 4 == 0 && !(Year % 100 == 0 && Year % 400 != 0); }

int MonthDays(int Year, int Month) {
    static constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        return 0;
    return Days[Month - 1] + (Month == 2 && LeapYear(Year) ? 1 : 0);
}

int ClampDay(int Year, int Month, int Day) {
    if (Day <= 0)
        return 1;
    const int Last = MonthDays(Year, Month);
    return Day > Last ? Last : Day;
}

int DecodeDatePart(int Kind, TDateTime Date) {
    Word Y, M, D;
    DecodeDate(Date, Y, M, D);
    switch (Kind) {
    case 1:
        return Y;
    case 2:
        return M;
    case 3:
        return D;
    default:
        return -1;
    }
}

TDateTime TruncDate(TDateTime D) { return std::trunc(D >= 0 ? D + 1e-11 : D - 1e-11); }

TDateTime TimeOnly(TDateTime D) {
    Word H, M, S, MS;
    DecodeTime(D, H, M, S, MS);
    return EncodeTime(H, M, S, MS);
}

void ReadFirstWeekDay() {
    char Buf[4] = "0";
    if (!GetLocaleInfoA(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK, Buf, sizeof(Buf)))
        Buf[0] = '0', Buf[1] = 0;
    // The locale counts from Monday = 0; ours from Sunday = 0.
    int Day = std::atoi(Buf) + 1;
    FirstWeekDay = static_cast<Byte>(Day > 6 ? 0 : Day);
}

int DayColumn(TDateTime D) {
    const int C = DayOfWeek(D) - FirstWeekDay;
    return C > 0 ? C - 1 : C + 6;
}

void dxGrDateInitialization() {
    TodayCaption = LoadResString(ResString("Today"));
    ClearCaption = LoadResString(ResString("Clear"));
    ReadFirstWeekDay();
}

void dxGrDateFinalization() {
    TodayCaption.clear();
    ClearCaption.clear();
}
