// Dates as the date edit types and reads them: the locale's short date format turned into a fixed
// edit mask and display format ("DD/MM/YYYY", "!99/99/9999;1; "), and a date read back from text,
// first by the places of the format's letters, then by free scanning of up to three numbers.
// Two-digit years fall into the hundred years that start sixty years back.
//
// Start-up: sDateUtilsInitialization() notes whether the locale writes four-digit years.
#pragma once

#include "SysUtils.h"
#include "TypInfo.h"

#include <string>

DECLARE_ENUM(TDateOrder, OrderMDY, OrderDMY, OrderYMD)
DECLARE_ENUM(TYearDigits, dyDefault, dyFour, dyTwo)

// The value of an empty date: 30 December 1899.
inline constexpr TDateTime EmptyDate = 0.0;
extern const int MonthLengths[12];
// The locale's ShortDateFormat holds "YYYY" (any case); set at start-up.
extern bool LocaleHasFourDigitYear;

int MonthLength(int Year, int Month);
// The first of D, M, Y in the format decides; none of them gives OrderDMY.
TDateOrder DateOrderOf(const std::string& Format);
// "MM/DD/YYYY", "DD/MM/YYYY" or "YYYY/MM/DD" (two-digit years: "YY") in the locale's order.
std::string StandardDateFormat(bool FourDigitYear);
// "!99/99/9999;1;" (or "!9999/99/99;1;", "!99/99/99;1;") followed by BlanksChar.
std::string StandardDateMask(char BlanksChar, bool FourDigitYear);
bool IsValidYMD(int Y, int M, int D);
bool IsValidDateTime(TDateTime Value);
// The year of the local clock.
int ThisYear();
int WidenYear(int Year);
// An empty text is EmptyDate; false when the text reads as no valid date.
bool TextToDate(const std::string& Format, const std::string& Text, TDateTime& Value);
// TextToDate's date, else the whole-day part of Default.
TDateTime DateFromText(const std::string& Format, const std::string& Text, TDateTime Default);
TDateTime DateOrDefault(TDateTime Value, TDateTime Default);

void sDateUtilsInitialization();
