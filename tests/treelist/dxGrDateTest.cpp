#include "DateUtils.h"
#include "dxGrDate.h"

#include <gtest/gtest.h>

TEST(GrDateMonths, StepsWrapTheYear) {
    struct Case {
        Word Year, Month;
        int N;
        Word ToYear, ToMonth;
    };
    for (const Case& C : {Case{2024, 12, 1, 2025, 1}, Case{2024, 1, -1, 2023, 12}, Case{2024, 5, 20, 2026, 1},
                          Case{2024, 5, -17, 2022, 12}, Case{2024, 3, 0, 2024, 3}}) {
        Word Y = C.Year, M = C.Month;
        AddMonths(Y, M, C.N);
        EXPECT_EQ(C.ToYear, Y) << C.Year << "/" << C.Month << " + " << C.N;
        EXPECT_EQ(C.ToMonth, M) << C.Year << "/" << C.Month << " + " << C.N;
    }
    Word Y = 2024, M = 1;
    PrevMonth(Y, M);
    EXPECT_EQ(2023, Y);
    EXPECT_EQ(12, M);
    NextMonth(Y, M);
    EXPECT_EQ(2024, Y);
    EXPECT_EQ(1, M);
}

TEST(GrDateMonths, DaysAndClamping) {
    EXPECT_EQ(29, MonthDays(2024, 2));
    EXPECT_EQ(28, MonthDays(1900, 2));
    EXPECT_EQ(29, MonthDays(2000, 2));
    EXPECT_EQ(1, ClampDay(2023, 4, 0));
    EXPECT_EQ(30, ClampDay(2023, 4, 31));
    EXPECT_EQ(15, ClampDay(2023, 4, 15));
}

TEST(GrDateMonths, TruncationKeepsTheDayOfNearlyWholeNumbers) {
    EXPECT_EQ(45000.0, TruncDate(45000.0 - 1e-12));  // a plain truncation gives 44999
    EXPECT_EQ(-3.0, TruncDate(-3.5));
    TDateTime D = EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 10, 0);
    EXPECT_EQ(29, DecodeDatePart(3, D));
    EXPECT_EQ(-1, DecodeDatePart(4, D));
    EXPECT_NEAR(EncodeTime(13, 45, 10, 0), TimeOnly(D), 1e-9);
}

TEST(GrDateMonths, DayColumnFollowsTheFirstWeekDay) {
    const Byte Saved = FirstWeekDay;
    const TDateTime Monday = EncodeDate(2024, 1, 1), Sunday = EncodeDate(2024, 1, 7);
    FirstWeekDay = 1;  // Monday first
    EXPECT_EQ(0, DayColumn(Monday));
    EXPECT_EQ(6, DayColumn(Sunday));
    FirstWeekDay = 0;  // Sunday first
    EXPECT_EQ(1, DayColumn(Monday));
    EXPECT_EQ(0, DayColumn(Sunday));
    FirstWeekDay = Saved;
}

TEST(GrDateLocale, FirstWeekDayComesFromTheLocale) {
    dxGrDateInitialization();
    EXPECT_EQ("Today", TodayCaption);
    EXPECT_EQ("Clear", ClearCaption);
    char Buf[4] = "0";
    GetLocaleInfoA(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK, Buf, sizeof(Buf));
    EXPECT_EQ((Buf[0] - '0' + 1) % 7, FirstWeekDay);
    dxGrDateFinalization();
    EXPECT_TRUE(TodayCaption.empty());
}
