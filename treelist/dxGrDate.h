// The date popup's unit: month arithmetic shared with the date editor, the first day of the week
// from the locale and the popup's button captions. (The calendar popup classes build on these.)
//
// Start-up: dxGrDateInitialization() loads "Today" and "Clear" and reads the first day of the
// week; dxGrDateFinalization() clears the captions.
#pragma once

#include "System.h"

#include <string>

// The date that stands for no date.
inline constexpr TDateTime NullDate = -700000.0;

// 0 = Sunday .. 6 = Saturday.
extern Byte FirstWeekDay;
extern std::string TodayCaption, ClearCaption;

void PrevMonth(Word& Year, Word& Month);
void NextMonth(Word& Year, Word& Month);
// N months on (or back for a negative N), the month brought back into 1..12.
void AddMonths(Word& Year, Word& Month, int N);
bool LeapYear(int Year);
int MonthDays(int Year, int Month);
// Day brought into the month: 1 below, the month's last day above.
int ClampDay(int Year, int Month, int Day);
// Kind 1 the year, 2 the month, 3 the day; -1 for any other kind.
int DecodeDatePart(int Kind, TDateTime Date);
// The whole day of a date, robust against representation error near whole numbers.
TDateTime TruncDate(TDateTime D);
// The time of day of a date.
TDateTime TimeOnly(TDateTime D);
// The locale's first day of the week into FirstWeekDay.
void ReadFirstWeekDay();
// The column of a date in a week row that starts at FirstWeekDay: 0..6.
int DayColumn(TDateTime D);

void dxGrDateInitialization();
void dxGrDateFinalization();
