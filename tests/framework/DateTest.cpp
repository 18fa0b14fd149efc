// Dates: encoding, decoding, arithmetic, the clock seam, FormatDateTime and reading dates back in
// the Russian (dd.MM.yyyy) and English (M/d/yyyy) settings.
#include "DateUtils.h"

#include <gtest/gtest.h>

namespace {
TFormatSettings English() { return EnglishFormatSettings(); }
TFormatSettings Russian() {
    TFormatSettings S = EnglishFormatSettings();
    S.DateSeparator = '.';
    S.ShortDateFormat = "dd.MM.yyyy";
    S.LongDateFormat = "d MMMM yyyy 'r.'";
    S.ShortTimeFormat = "h:mm";
    S.LongTimeFormat = "h:mm:ss";
    S.TimeAMString = "";
    S.TimePMString = "";
    S.DecimalSeparator = ',';
    return S;
}

// A fixed "now" for the century window and the missing year: 2026-04-15 13:05:09.
class FixedClock : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock([] { return EncodeDateTime(2026, 4, 15, 13, 5, 9, 0); });
    }
    void TearDown() override { SetClock(nullptr); }
};

std::string Ymd(TDateTime D) {
    Word Y, M, Dd, H, N, S, Ms;
    DecodeDateTime(D, Y, M, Dd, H, N, S, Ms);
    return Format("%.4d-%.2d-%.2d %.2d:%.2d:%.2d.%.3d", {Y, M, Dd, H, N, S, Ms});
}

// One row of a reading table: Expected is the value read, or null for a text that must not read.
void ExpectRead(const char* Text, bool Ok, TDateTime Value, const char* Expected) {
    EXPECT_EQ(Ok, Expected != nullptr) << "'" << Text << "'";
    if (Ok && Expected) {
        EXPECT_EQ(Ymd(Value), Expected) << Text;
    }
}
}  // namespace

TEST(Date, EncodeDateTableAndInvalidDatesRaise) {
    struct Case {
        int Y, M, D;
        double Value;
    } Valid[] = {{1899, 12, 30, 0}, {1900, 1, 1, 2}, {2000, 2, 29, 36585}, {1899, 12, 29, -1},
                 {1, 1, 1, -693593}, {9999, 12, 31, 2958465}, {2026, 4, 15, 46127}};
    for (const Case& C : Valid)
        EXPECT_EQ(EncodeDate(C.Y, C.M, C.D), C.Value) << C.Y << "-" << C.M << "-" << C.D;
    struct Bad {
        int Y, M, D;
    } Invalid[] = {{2001, 2, 29}, {1900, 2, 29}, {0, 1, 1}, {2000, 13, 1}, {2000, 0, 1}, {2000, 1, 32},
                   {2000, 4, 31}, {10000, 1, 1}, {2000, 1, 0}};
    for (const Bad& C : Invalid) {
        TDateTime D = 123;
        EXPECT_FALSE(TryEncodeDate(C.Y, C.M, C.D, D));
        EXPECT_EQ(D, 123);
        try {
            EncodeDate(C.Y, C.M, C.D);
            ADD_FAILURE() << C.Y << "-" << C.M << "-" << C.D;
        } catch (const EConvertError& E) {
            EXPECT_EQ(E.Message(), "Invalid argument to date encode");
        }
    }
}

TEST(Date, EncodeTimeRejectsOutOfRangeParts) {
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    struct Bad {
        int H, M, S, Ms;
    } Invalid[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}, {0, -1, 0, 0}};
    for (const Bad& C : Invalid)
        EXPECT_THROW(EncodeTime(C.H, C.M, C.S, C.Ms), EConvertError) << C.H << ":" << C.M;
    try {
        EncodeTime(25, 0, 0, 0);
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Invalid argument to time encode");
    }
}

TEST(Date, DecodeRoundsToTheMillisecondAndHandlesDaysBefore1900) {
    struct Case {
        double Value;
        const char* Expected;
    } Cases[] = {
        {0, "1899-12-30 00:00:00.000"},
        {-1.25, "1899-12-29 06:00:00.000"},
        {-0.5, "1899-12-30 12:00:00.000"},
        {36526.75, "2000-01-01 18:00:00.000"},
        {EncodeDate(2000, 1, 1) + (86399999.6 / 86400000), "2000-01-02 00:00:00.000"},
        {EncodeDate(2000, 1, 1) + EncodeTime(23, 59, 59, 999), "2000-01-01 23:59:59.999"},
        {-693593, "0001-01-01 00:00:00.000"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(Ymd(C.Value), C.Expected) << C.Value;
}

TEST(Date, CalendarQueries) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_EQ(DaysInAMonth(2000, 2), 29);
    EXPECT_EQ(DaysInAMonth(2001, 2), 28);
    TDateTime Sat = EncodeDate(2000, 1, 1), Mon = EncodeDate(2000, 1, 3), Sun = EncodeDate(2000, 1, 2);
    EXPECT_EQ(DayOfWeek(Sat), 7);
    EXPECT_EQ(DayOfWeek(Sun), 1);
    EXPECT_EQ(DayOfWeek(Mon), 2);
    EXPECT_EQ(DayOfTheWeek(Sat), 6);
    EXPECT_EQ(DayOfTheWeek(Sun), 7);
    EXPECT_EQ(DayOfTheWeek(Mon), 1);
    EXPECT_EQ(DayOfWeek(0), 7) << "1899-12-30 was a Saturday";
    TDateTime T = EncodeDateTime(2026, 4, 15, 13, 5, 9, 7);
    EXPECT_EQ(YearOf(T), 2026);
    EXPECT_EQ(MonthOf(T), 4);
    EXPECT_EQ(DayOf(T), 15);
    EXPECT_EQ(HourOf(T), 13);
    EXPECT_EQ(MinuteOf(T), 5);
    EXPECT_EQ(SecondOf(T), 9);
    EXPECT_EQ(MilliSecondOf(T), 7);
    EXPECT_EQ(DateOf(T), EncodeDate(2026, 4, 15));
}

TEST(Date, IncrementsAndWholeUnitsBetween) {
    struct Case {
        TDateTime From;
        int Months;
        const char* Expected;
    } Months[] = {
        {EncodeDateTime(2000, 1, 31, 10, 30, 0, 0), 1, "2000-02-29 10:30:00.000"},
        {EncodeDate(2001, 1, 31), 1, "2001-02-28 00:00:00.000"},
        {EncodeDate(2000, 3, 31), -1, "2000-02-29 00:00:00.000"},
        {EncodeDate(2000, 2, 29), 12, "2001-02-28 00:00:00.000"},
        {EncodeDate(2000, 11, 15), 3, "2001-02-15 00:00:00.000"},
        {EncodeDate(2000, 1, 15), -13, "1998-12-15 00:00:00.000"},
    };
    for (const Case& C : Months)
        EXPECT_EQ(Ymd(IncMonth(C.From, C.Months)), C.Expected);
    EXPECT_EQ(IncDay(-1.25, 1), 0.25) << "a day on from 1899-12-29 06:00";
    EXPECT_EQ(Ymd(IncMinute(EncodeDate(2000, 1, 1), -1)), "1999-12-31 23:59:00.000");
    EXPECT_EQ(Ymd(IncMinute(-1.25, 90)), "1899-12-29 07:30:00.000");

    TDateTime Then = EncodeDateTime(2000, 1, 1, 6, 0, 0, 0);
    EXPECT_EQ(DaysBetween(EncodeDateTime(2000, 1, 4, 6, 0, 0, 0), Then), 3) << "exactly three days";
    EXPECT_EQ(DaysBetween(EncodeDateTime(2000, 1, 4, 5, 59, 59, 999), Then), 2);
    EXPECT_EQ(DaysBetween(Then, EncodeDateTime(2000, 1, 4, 6, 0, 0, 0)), 3) << "absolute difference";
    TDateTime A = EncodeDateTime(2000, 1, 1, 22, 0, 0, 0);
    EXPECT_EQ(MinutesBetween(IncMinute(A, 120), A), 120);
    EXPECT_EQ(MinutesBetween(A + 7200.0 / 86400 - 1e-9, A), 120) << "the difference is rounded to the millisecond";
    EXPECT_EQ(MinutesBetween(A + 119.99 / 1440, A), 119);
}

TEST(Date, TimeStampsFileDatesAndSystemTimes) {
    TDateTime T = EncodeDateTime(2026, 4, 15, 13, 5, 9, 7);
    TTimeStamp S = DateTimeToTimeStamp(T);
    EXPECT_EQ(S.Time, ((13 * 60 + 5) * 60 + 9) * 1000 + 7);
    EXPECT_EQ(S.Date, DateDelta + 46127);
    EXPECT_EQ(TimeStampToDateTime(S), T);
    EXPECT_EQ(TimeStampToMSecs(S), Int64(S.Date) * MSecsPerDay + S.Time);
    EXPECT_EQ(MSecsToTimeStamp(TimeStampToMSecs(S)).Date, S.Date);
    EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(1, 1, 1)).Date, 1);
    EXPECT_THROW(TimeStampToDateTime(TTimeStamp{-1, 5}), EConvertError);
    EXPECT_THROW(TimeStampToDateTime(TTimeStamp{0, 0}), EConvertError);

    TDateTime Even = EncodeDateTime(2026, 4, 15, 13, 5, 8, 0);
    EXPECT_EQ(FileDateToDateTime(DateTimeToFileDate(Even)), Even);
    EXPECT_EQ(FileDateToDateTime(DateTimeToFileDate(T)), Even) << "DOS times keep even seconds";
    EXPECT_EQ(DateTimeToFileDate(EncodeDate(1979, 12, 31)), 0);

    SYSTEMTIME ST{};
    DateTimeToSystemTime(T, ST);
    EXPECT_EQ(ST.wYear, 2026);
    EXPECT_EQ(ST.wDayOfWeek, 3) << "a Wednesday";
    EXPECT_EQ(SystemTimeToDateTime(ST), T);
}

TEST_F(FixedClock, NowDateAndTimeComeFromTheClockSeam) {
    EXPECT_EQ(Now(), EncodeDateTime(2026, 4, 15, 13, 5, 9, 0));
    EXPECT_EQ(Date(), EncodeDate(2026, 4, 15));
    EXPECT_EQ(Time(), EncodeTime(13, 5, 9, 0));
    EXPECT_EQ(CurrentYear(), 2026);
    SetClock(nullptr);
    EXPECT_GE(YearOf(Now()), 2024) << "the real clock is back";
}

TEST(Date, FormatDateTimeSpecifiers) {
    const TFormatSettings S = English();
    TDateTime T = EncodeDateTime(2026, 4, 5, 13, 5, 9, 7);
    TDateTime Morning = EncodeDateTime(2026, 4, 5, 0, 30, 0, 0);
    struct Case {
        const char* Fmt;
        TDateTime Value;
        const char* Expected;
    } Cases[] = {
        {"c", T, "4/5/2026 1:05:09 PM"},
        {"c", EncodeDate(2026, 4, 5), "4/5/2026"},
        {"c", EncodeDate(2026, 4, 5) + EncodeTime(0, 0, 0, 500), "4/5/2026"},
        {"d dd ddd dddd", T, "5 05 Sun Sunday"},
        {"ddddd", T, "4/5/2026"},
        {"dddddd", T, "Sunday, April 5, 2026"},
        {"m mm mmm mmmm", T, "4 04 Apr April"},
        {"yy yyyy y", T, "26 2026 26"},
        {"h hh n nn s ss z zzz", T, "13 13 5 05 9 09 7 007"},
        {"h:m", T, "13:5"},
        {"hh:mm", T, "13:05"},
        {"h:mm am/pm", T, "1:05 pm"},
        {"h:mm AM/PM", Morning, "12:30 AM"},
        {"hh:mm A/P", T, "01:05 P"},
        {"h ampm", T, "1 PM"},
        {"t|tt", T, "1:05 PM|1:05:09 PM"},
        {"dd/mm/yyyy hh:nn:ss", T, "05/04/2026 13:05:09"},
        {"'day' d \"of\" mmmm", T, "day 5 of April"},
        {"mmmm d, yyyy", T, "April 5, 2026"},
        {"h 'am' x", T, "13 am x"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FormatDateTime(C.Fmt, C.Value, S), C.Expected) << C.Fmt;
    TFormatSettings R = Russian();
    EXPECT_EQ(FormatDateTime("c", T, R), "05.04.2026 13:05:09");
    EXPECT_EQ(FormatDateTime("dd/mm/yy", T, R), "05.04.26") << "\"/\" is the date separator";
    EXPECT_EQ(FormatDateTime("dddddd", T, R), "5 April 2026 r.");
    EXPECT_EQ(DateToStr(T, R), "05.04.2026");
    EXPECT_EQ(TimeToStr(T, R), "13:05:09");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 4, 5), R), "05.04.2026") << "midnight leaves the time out";
}

TEST_F(FixedClock, StrToDateRussianSettings) {
    const TFormatSettings R = Russian();
    struct Case {
        const char* S;
        const char* Expected;  // null: not a date
    } Cases[] = {
        {"15.04.2026", "2026-04-15 00:00:00.000"},
        {" 5.4.2026 ", "2026-04-05 00:00:00.000"},
        {"05 . 04 . 2026", "2026-04-05 00:00:00.000"},
        {"15.04.26", "2026-04-15 00:00:00.000"},
        {"15.04.30", "2030-04-15 00:00:00.000"},
        {"15.04.75", "2075-04-15 00:00:00.000"},
        {"15.04.76", "1976-04-15 00:00:00.000"},
        {"15.04.99", "1999-04-15 00:00:00.000"},
        {"15.04.0026", "0026-04-15 00:00:00.000"},
        {"15.04", "2026-04-15 00:00:00.000"},
        {"15.04.2026.", "2026-04-15 00:00:00.000"},
        {"31.04.2026", nullptr},
        {"29.02.2025", nullptr},
        {"15/04/2026", nullptr},
        {"04.15.2026", nullptr},
        {"15.04.2026x", nullptr},
        {"15.04.2026 10:00", nullptr},
        {"", nullptr},
        {"15", nullptr},
        {"abc", nullptr},
        {"15.04.12026", nullptr},
    };
    for (const Case& C : Cases) {
        TDateTime D = -7;
        bool Ok = TryStrToDate(C.S, D, R);
        ExpectRead(C.S, Ok, D, C.Expected);
    }
    try {
        StrToDate("31.04.2026", R);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "'31.04.2026' is not a valid date");
    }
}

TEST_F(FixedClock, StrToTimeAndDateTime) {
    const TFormatSettings R = Russian(), E = English();
    struct Case {
        const char* S;
        bool EnglishSettings;
        const char* Expected;
    } Times[] = {
        {"13:05", false, "1899-12-30 13:05:00.000"},
        {"13:05:09", false, "1899-12-30 13:05:09.000"},
        {"13:05:09,250", false, "1899-12-30 13:05:09.250"},
        {"13:05:09.250", false, "1899-12-30 13:05:09.250"},
        {"7", false, "1899-12-30 07:00:00.000"},
        {" 1:05 PM ", true, "1899-12-30 13:05:00.000"},
        {"12:00 AM", true, "1899-12-30 00:00:00.000"},
        {"12:30 pm", true, "1899-12-30 12:30:00.000"},
        {"AM 9:15", true, "1899-12-30 09:15:00.000"},
        {"13:00 PM", true, nullptr},
        {"0:10 AM", true, nullptr},
        {"24:00", false, nullptr},
        {"12:60", false, nullptr},
        {"12:", false, nullptr},
        {"12:30x", false, nullptr},
        {"", false, nullptr},
    };
    for (const Case& C : Times) {
        TDateTime T = -7;
        bool Ok = TryStrToTime(C.S, T, C.EnglishSettings ? E : R);
        ExpectRead(C.S, Ok, T, C.Expected);
    }
    Case DateTimes[] = {
        {"15.04.2026 13:05:09", false, "2026-04-15 13:05:09.000"},
        {"15.04.2026", false, "2026-04-15 00:00:00.000"},
        {"  15.04.2026   13:05  ", false, "2026-04-15 13:05:00.000"},
        {"13:05", false, "1899-12-30 13:05:00.000"},
        {"4/15/2026 1:05:09 PM", true, "2026-04-15 13:05:09.000"},
        {"4/15/2026", true, "2026-04-15 00:00:00.000"},
        {"1/2/1899 6:00 AM", true, "1899-01-02 06:00:00.000"},
        {"15.04.2026 25:00", false, nullptr},
        {"15.04.2026 x", false, nullptr},
        {"4/15/2026 13:05 PM", true, nullptr},
        {"-1", false, nullptr},
    };
    for (const Case& C : DateTimes) {
        TDateTime T = -7;
        bool Ok = TryStrToDateTime(C.S, T, C.EnglishSettings ? E : R);
        ExpectRead(C.S, Ok, T, C.Expected);
    }
    EXPECT_THROW(StrToTime("25:00", R), EConvertError);
    try {
        StrToDateTime("x", R);
    } catch (const EConvertError& Err) {
        EXPECT_EQ(Err.Message(), "'x' is not a valid date and time");
    }
}

TEST(Date, TextRoundTripsWithoutMilliseconds) {
    const TDateTime Values[] = {
        EncodeDateTime(2026, 4, 15, 13, 5, 9, 0), EncodeDateTime(2026, 12, 31, 23, 59, 59, 0),
        EncodeDateTime(2000, 2, 29, 0, 0, 1, 0),  EncodeDate(1999, 1, 1),
        EncodeDateTime(1, 1, 1, 12, 0, 0, 0),     EncodeDateTime(1899, 12, 29, 6, 30, 0, 0),
    };
    for (const TFormatSettings& S : {Russian(), English()})
        for (TDateTime V : Values) {
            std::string Text = DateTimeToStr(V, S);
            EXPECT_EQ(Ymd(StrToDateTime(Text, S)), Ymd(V)) << Text;
        }
}

TEST(DateLocale, ProcessSettingsReadTheirOwnText) {
    TDateTime V = EncodeDateTime(2026, 4, 15, 13, 5, 9, 0);
    EXPECT_EQ(ShortDateFormat, GetACP() == 1251 ? "dd.MM.yyyy" : "M/d/yyyy");
    EXPECT_EQ(DateToStr(V), GetACP() == 1251 ? "15.04.2026" : "4/15/2026");
    EXPECT_EQ(StrToDateTime(DateTimeToStr(V)), V);
    EXPECT_EQ(StrToDate(DateToStr(V)), EncodeDate(2026, 4, 15));
    EXPECT_EQ(StrToTime(TimeToStr(V)), EncodeTime(13, 5, 9, 0));
    EXPECT_THROW(StrToDate("31/31/2026"), EConvertError);
}
