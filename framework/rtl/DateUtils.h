// Dates and times: TDateTime is a double, the days since 1899-12-30 00:00 with the time of day as
// the fraction (for dates before 1899-12-30 the fraction still counts forward from midnight:
// -1.25 is 1899-12-29 06:00). Valid from 0001-01-01 to 9999-12-31.
#pragma once

#include "SysUtils.h"

#include <functional>
#include <string>
#include <string_view>

constexpr int HoursPerDay = 24;
constexpr int MinsPerHour = 60;
constexpr int SecsPerMin = 60;
constexpr int MSecsPerSec = 1000;
constexpr int MinsPerDay = HoursPerDay * MinsPerHour;
constexpr int SecsPerDay = MinsPerDay * SecsPerMin;
constexpr int MSecsPerDay = SecsPerDay * MSecsPerSec;
// Days from 0001-01-01 to 1899-12-31 (a time stamp's date of 1899-12-30 is DateDelta).
constexpr int DateDelta = 693594;
constexpr double MinDateTime = -693593.0;          // 0001-01-01 00:00
constexpr double MaxDateTime = 2958465.99999999;   // 9999-12-31 23:59:59.999

// A date and time as two integers: milliseconds of the day and days since 0000-12-31 (0001-01-01 is 1).
struct TTimeStamp {
    int Time = 0;
    int Date = 0;
};

// Raise EConvertError "Invalid argument to date encode" / "... time encode" on invalid values.
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
bool IsValidDate(int Year, int Month, int Day);
// The value rounded to the millisecond; whole days go to the date.
void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day);
void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec);
void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min, Word& Sec,
                    Word& MSec);

bool IsLeapYear(int Year);
int DaysInAMonth(int Year, int Month);
int DayOfWeek(TDateTime Date);     // 1 = Sunday .. 7 = Saturday
int DayOfTheWeek(TDateTime Date);  // ISO: 1 = Monday .. 7 = Sunday
int YearOf(TDateTime Value);
int MonthOf(TDateTime Value);
int DayOf(TDateTime Value);
int HourOf(TDateTime Value);
int MinuteOf(TDateTime Value);
int SecondOf(TDateTime Value);
int MilliSecondOf(TDateTime Value);
TDateTime DateOf(TDateTime Value);  // midnight of that day
TDateTime TimeOf(TDateTime Value);  // the time of day alone

// Arithmetic on the millisecond time line, so that dates before 1899-12-30 move the right way.
TDateTime IncMilliSecond(TDateTime Value, Int64 Number = 1);
TDateTime IncSecond(TDateTime Value, Int64 Number = 1);
TDateTime IncMinute(TDateTime Value, Int64 Number = 1);
TDateTime IncHour(TDateTime Value, Int64 Number = 1);
TDateTime IncDay(TDateTime Value, int Number = 1);
TDateTime IncWeek(TDateTime Value, int Number = 1);
// The same day N months on (the month's last day when it has fewer days); the time is kept.
TDateTime IncMonth(TDateTime Value, int Number = 1);
TDateTime IncYear(TDateTime Value, int Number = 1);

// Whole units of the absolute difference, computed from the difference rounded to the millisecond
// (so exactly 3 days is 3 days), truncated.
Int64 MilliSecondsBetween(TDateTime Now, TDateTime Then);
Int64 SecondsBetween(TDateTime Now, TDateTime Then);
Int64 MinutesBetween(TDateTime Now, TDateTime Then);
Int64 HoursBetween(TDateTime Now, TDateTime Then);
Int64 DaysBetween(TDateTime Now, TDateTime Then);

TTimeStamp DateTimeToTimeStamp(TDateTime DateTime);
TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp);  // raises EConvertError for an invalid stamp
Int64 TimeStampToMSecs(const TTimeStamp& TimeStamp);
TTimeStamp MSecsToTimeStamp(Int64 MSecs);
// DOS date-time (local), as file times and FileAge give it; 0 outside 1980 .. 2107.
int DateTimeToFileDate(TDateTime DateTime);
TDateTime FileDateToDateTime(int FileDate);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& SystemTime);
void DateTimeToSystemTime(TDateTime DateTime, SYSTEMTIME& SystemTime);

// The clock: the local time (GetLocalTime) unless a test has set another; an empty function puts
// the real clock back.
using TClock = std::function<TDateTime()>;
void SetClock(TClock Clock);
TDateTime Now();
TDateTime Date();
TDateTime Time();
int CurrentYear();

// c, d .. dddddd, m .. mmmm (minutes after h/hh), y/yy, yyyy, h, hh, n, nn, s, ss, z, zzz, t, tt,
// am/pm, a/p, ampm, "/" (DateSeparator), ":" (TimeSeparator), '...' and "..." literals.
std::string FormatDateTime(std::string_view Format, TDateTime DateTime);
std::string FormatDateTime(std::string_view Format, TDateTime DateTime, const TFormatSettings& Settings);
std::string DateToStr(TDateTime Date);
std::string DateToStr(TDateTime Date, const TFormatSettings& Settings);
std::string TimeToStr(TDateTime Time);
std::string TimeToStr(TDateTime Time, const TFormatSettings& Settings);
// Short date, a blank and the long time; the time is left out when it is exactly midnight.
std::string DateTimeToStr(TDateTime DateTime);
std::string DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings);

// Dates: the field order of ShortDateFormat, DateSeparator between the fields, 1- or 2-digit years
// widened by TwoDigitYearCenturyWindow, a missing year = this year. Times: h[:n[:s[.z]]] with
// TimeSeparator and an optional AM/PM (or TimeAMString/TimePMString) before or after. Blanks around
// fields are allowed. StrToDateTime takes a date with an optional time, or a time alone.
// Anything else raises EConvertError "'%s' is not a valid date" (time, date and time).
TDateTime StrToDate(std::string_view S);
TDateTime StrToDate(std::string_view S, const TFormatSettings& Settings);
TDateTime StrToTime(std::string_view S);
TDateTime StrToTime(std::string_view S, const TFormatSettings& Settings);
TDateTime StrToDateTime(std::string_view S);
TDateTime StrToDateTime(std::string_view S, const TFormatSettings& Settings);
bool TryStrToDate(std::string_view S, TDateTime& Value);
bool TryStrToDate(std::string_view S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToTime(std::string_view S, TDateTime& Value);
bool TryStrToTime(std::string_view S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToDateTime(std::string_view S, TDateTime& Value);
bool TryStrToDateTime(std::string_view S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDateDef(std::string_view S, TDateTime Default);
TDateTime StrToDateTimeDef(std::string_view S, TDateTime Default);
