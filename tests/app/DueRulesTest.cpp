// The due rules of the four schedule kinds, case by case, with the time of each test given.
// 15 April 2024 is a Monday.
#include "AppTestSupport.h"
#include "untBackup.h"

#include <gtest/gtest.h>

using namespace app_tests;

namespace {

const char* const Ok = "Succesfull";

TLine Type1(int Hour, int Min, bool Daily, bool WorkDays, int EveryDays, int EveryHour, TDateTime LastRun,
            const char* Result = Ok) {
    return TLine()
        .Set(tfType, "Type1")
        .Set(tfHour, IntToStr(Hour))
        .Set(tfMin, IntToStr(Min))
        .SetDate(tfDateLast, LastRun)
        .Set(tfResult, Result)
        .Set(tfDailyOnType1, BoolToStr(Daily))
        .Set(tfOnWeekDaysType1, BoolToStr(WorkDays))
        .Set(tfEveryType1, IntToStr(EveryDays))
        .Set(tfEveryHour, IntToStr(EveryHour));
}

TLine Type2(const char* Days, int Hour, int Min, TDateTime LastRun, const char* Result = Ok) {
    return TLine()
        .Set(tfType, "Type2")
        .Set(tfDayType2, Days)
        .Set(tfHour, IntToStr(Hour))
        .Set(tfMin, IntToStr(Min))
        .SetDate(tfDateLast, LastRun)
        .Set(tfResult, Result);
}

TLine Type3(TDateTime Date, int Hour, int Min, const char* Result, const char* Once = "0") {
    return TLine()
        .Set(tfType, "Type3")
        .SetDate(tfDateType3, Date)
        .Set(tfHour, IntToStr(Hour))
        .Set(tfMin, IntToStr(Min))
        .Set(tfResult, Result)
        .Set(tfOnceType3, Once);
}

TLine Type4(const char* Months, int Day, int Hour, int Min, TDateTime LastRun) {
    return TLine()
        .Set(tfType, "Type4")
        .Set(tfMonthType4, Months)
        .Set(tfEveryWeekType4, IntToStr(Day))
        .Set(tfHour, IntToStr(Hour))
        .Set(tfMin, IntToStr(Min))
        .SetDate(tfDateLast, LastRun)
        .Set(tfResult, Ok);
}

struct DueCase {
    const char* What;
    std::string Line;
    TDateTime Now;
    bool Due;
};

void ExpectCases(const std::vector<DueCase>& Cases) {
    for (const DueCase& C : Cases)
        EXPECT_EQ(IsTaskDue(C.Line, C.Now), C.Due) << C.What << " at " << DateTimeToStr(C.Now);
}

}  // namespace

// The dates of the lines go through the user's formats, so the rules run under both locales.
TEST(DueRulesLocale, DaysOfTheWeek) {
    const TDateTime Monday10 = At(2024, 4, 15, 10, 0);
    ExpectCases({
        {"ran Monday 10:00, Monday 11:00", Type2("1,3", 10, 0, Monday10), At(2024, 4, 15, 11, 0), false},
        {"Wednesday before its time", Type2("1,3", 10, 0, Monday10), At(2024, 4, 17, 9, 59), false},
        {"Wednesday at its time", Type2("1,3", 10, 0, Monday10), At(2024, 4, 17, 10, 0), true},
        {"Wednesday with seconds", Type2("1,3", 10, 0, Monday10), At(2024, 4, 17, 10, 0) + 30.0 / SecsPerDay, true},
        {"a day not listed", Type2("1,3", 10, 0, Monday10), At(2024, 4, 16, 12, 0), false},
        {"saved, not yet run, later that Monday", Type2("1,3", 10, 0, Monday10, "insert_new_task"),
         At(2024, 4, 15, 11, 0), true},
        {"item with a blank", Type2("1, 3", 10, 0, Monday10), At(2024, 4, 17, 10, 0), false},
        {"item with a leading zero", Type2("1,03", 10, 0, Monday10), At(2024, 4, 17, 10, 0), false},
        {"Sunday is 7", Type2("7", 0, 0, Monday10), At(2024, 4, 21, 0, 0), true},
        {"empty list", Type2("", 0, 0, Monday10), At(2024, 4, 17, 10, 0), false},
    });
}

TEST(DueRulesLocale, OneDayOfChosenMonths) {
    const TDateTime LongAgo = At(2024, 1, 15, 0, 30);
    const TDateTime April15 = At(2024, 4, 15, 0, 30);
    ExpectCases({
        {"15 April at its time", Type4("1,4,7,10", 15, 0, 30, LongAgo), At(2024, 4, 15, 0, 30), true},
        {"15 April later that day", Type4("1,4,7,10", 15, 0, 30, LongAgo), At(2024, 4, 15, 23, 59), true},
        {"15 April before its time", Type4("1,4,7,10", 15, 0, 30, LongAgo), At(2024, 4, 15, 0, 29), false},
        {"15 April after the run", Type4("1,4,7,10", 15, 0, 30, April15), At(2024, 4, 15, 23, 59), false},
        {"15 May", Type4("1,4,7,10", 15, 0, 30, LongAgo), At(2024, 5, 15, 1, 0), false},
        {"14 April", Type4("1,4,7,10", 15, 0, 30, LongAgo), At(2024, 4, 14, 1, 0), false},
        {"month 10 is not month 1", Type4("10,11,12", 15, 0, 30, LongAgo), At(2024, 1, 15, 1, 0), false},
    });
}

TEST(DueRulesLocale, Once) {
    const TDateTime Yesterday = At(2024, 4, 15);
    const TDateTime Now = At(2024, 4, 16, 9, 0);
    ExpectCases({
        {"yesterday noon, last run failed", Type3(Yesterday, 12, 0, "Login failed"), Now, true},
        {"yesterday noon, run succeeded", Type3(Yesterday, 12, 0, Ok), Now, false},
        {"succeeded, with blanks around", Type3(Yesterday, 12, 0, " Succesfull "), Now, false},
        {"saved, not yet run", Type3(Yesterday, 12, 0, "insert_new_task"), Now, true},
        {"today, before its time", Type3(At(2024, 4, 16), 9, 1, "insert_new_task"), Now, false},
        {"today, at its time", Type3(At(2024, 4, 16), 9, 0, "insert_new_task"), Now, true},
        {"next year, run at once", Type3(At(2025, 4, 16), 9, 0, "insert_new_task", "1"), Now, true},
        {"next year, flag cleared", Type3(At(2025, 4, 16), 9, 0, Ok, "0"), Now, false},
        {"flag must be exactly 1", Type3(At(2025, 4, 16), 9, 0, Ok, " 1"), Now, false},
        {"date that does not read", Type3(Yesterday, 12, 0, "x").Set(tfDateType3, "none"), Now, true},
    });
}

TEST(DueRulesLocale, DailyWithoutRepetition) {
    const TDateTime Saved = At(2024, 4, 15, 7, 0);
    const TDateTime Ran = At(2024, 4, 15, 7, 15);
    ExpectCases({
        {"saved at 07:00, first pass", Type1(8, 0, true, false, 1, 0, Saved, "insert_new_task"), At(2024, 4, 15, 7, 15),
         true},
        {"ran at 07:15, same day 08:00", Type1(8, 0, true, false, 1, 0, Ran), At(2024, 4, 15, 8, 0), false},
        {"next day 07:59", Type1(8, 0, true, false, 1, 0, Ran), At(2024, 4, 16, 7, 59), false},
        {"next day 08:00", Type1(8, 0, true, false, 1, 0, Ran), At(2024, 4, 16, 8, 0), true},
        {"never ran (no date at all)", Type1(8, 0, true, false, 1, 0, 0).Set(tfDateLast, "-1"), At(2024, 4, 15, 0, 0),
         true},
    });
}

TEST(DueRulesLocale, DailyRepeatingEveryTwoHours) {
    const TDateTime Yesterday22 = At(2024, 4, 14, 22, 0);
    ExpectCases({
        {"first pass after midnight", Type1(22, 0, true, false, 1, 2, Yesterday22), At(2024, 4, 15, 0, 5), true},
        {"ran 00:05, 21:59", Type1(22, 0, true, false, 1, 2, At(2024, 4, 15, 0, 5)), At(2024, 4, 15, 21, 59), false},
        {"ran 00:05, 22:00", Type1(22, 0, true, false, 1, 2, At(2024, 4, 15, 0, 5)), At(2024, 4, 15, 22, 0), true},
        {"ran 22:00, 23:59", Type1(22, 0, true, false, 1, 2, At(2024, 4, 15, 22, 0)), At(2024, 4, 15, 23, 59), false},
        {"ran 10:00 at 10:00, 12:00", Type1(10, 0, true, false, 1, 2, At(2024, 4, 15, 10, 0)), At(2024, 4, 15, 12, 0),
         true},
        {"ran 10:00, 11:59", Type1(10, 0, true, false, 1, 2, At(2024, 4, 15, 10, 0)), At(2024, 4, 15, 11, 59), false},
    });
}

TEST(DueRulesLocale, WorkingDaysAndEveryNDays) {
    const TDateTime WeekAgo = At(2024, 4, 13, 6, 0);
    ExpectCases({
        {"working days, Saturday", Type1(0, 0, false, true, 0, 0, WeekAgo), At(2024, 4, 20, 23, 59), false},
        {"working days, Sunday", Type1(0, 0, false, true, 0, 0, WeekAgo), At(2024, 4, 21, 12, 0), false},
        {"working days, Friday", Type1(6, 0, false, true, 0, 0, WeekAgo), At(2024, 4, 19, 6, 0), true},
        // Repetition on working days needs strictly more than the period, every N days the period.
        {"working days, repeat 2 h, at 2 h", Type1(6, 0, false, true, 0, 2, At(2024, 4, 15, 6, 0)),
         At(2024, 4, 15, 8, 0), false},
        {"working days, repeat 2 h, past 2 h", Type1(6, 0, false, true, 0, 2, At(2024, 4, 15, 6, 0)),
         At(2024, 4, 15, 8, 1), true},
        {"every 3 days, repeat 2 h, at 2 h", Type1(6, 0, false, false, 3, 2, At(2024, 4, 15, 6, 0)),
         At(2024, 4, 15, 8, 0), true},
        {"every 3 days, repeat 2 h, next day", Type1(6, 0, false, false, 3, 2, At(2024, 4, 15, 8, 0)),
         At(2024, 4, 16, 6, 0), true},
        {"every 3 days, three days to the minute", Type1(6, 0, false, false, 3, 0, At(2024, 4, 12, 6, 0)),
         At(2024, 4, 15, 6, 0), true},
        {"every 3 days, ran 06:10, 06:05", Type1(6, 0, false, false, 3, 0, At(2024, 4, 12, 6, 10)),
         At(2024, 4, 15, 6, 5), false},
        {"every 3 days, ran 06:10, 06:10", Type1(6, 0, false, false, 3, 0, At(2024, 4, 12, 6, 10)),
         At(2024, 4, 15, 6, 10), true},
        {"every 0 days", Type1(0, 0, false, false, 0, 0, WeekAgo), At(2024, 4, 15, 12, 0), false},
    });
}

TEST(DueRules, KindIsReadUpperCasedAndTrimmed) {
    const std::string Line = Type2("1", 0, 0, At(2024, 4, 1)).Set(tfType, "  type2 ");
    EXPECT_EQ(GetTaskType(Line), "TYPE2");
    EXPECT_TRUE(IsTaskDue(Line, At(2024, 4, 15, 0, 0)));
    EXPECT_FALSE(IsTaskDue(TLine().Set(tfType, "Type5"), At(2024, 4, 15)));
}

TEST(DueRules, SameDayMinutes) {
    EXPECT_EQ(MinutesSameDay(At(2024, 4, 15, 10, 0), At(2024, 4, 15, 12, 30) + 59.0 / SecsPerDay), 150);
    EXPECT_EQ(MinutesSameDay(At(2024, 4, 15, 23, 59), At(2024, 4, 16, 0, 0)), -1);
    EXPECT_EQ(MinutesSameDay(At(1, 1, 1, 12, 0), At(1, 1, 1, 6, 0)), 360);
}

TEST(DueRules, ShortLinesAndBadTimesRaiseExceptForMonthlyTasks) {
    const TDateTime Now = At(2024, 4, 15, 12, 0);
    EXPECT_THROW(IsTaskDue("Sales;1;2;", Now), EListError);
    EXPECT_THROW(IsTaskDue(Type1(8, 0, true, false, 1, 0, Now).Cut(16), Now), EListError);
    EXPECT_THROW(IsTaskDue(Type2("1", 0, 0, Now).Cut(10), Now), EListError);
    EXPECT_THROW(IsTaskDue(Type3(Now, 0, 0, Ok).Cut(12), Now), EListError);
    EXPECT_THROW(IsTaskDue(Type2("1", 24, 0, Now), Now), EConvertError);
    EXPECT_THROW(IsTaskDue(Type3(Now, 8, 0, Ok).Set(tfMin, "x"), Now), EConvertError);
    EXPECT_THROW(IsTaskDue(Type1(8, 60, true, false, 1, 0, Now), Now), EConvertError);
    // A task that never ran takes 00:00 as its time, so its bad time raises nothing.
    EXPECT_TRUE(IsTaskDue(Type1(99, 0, true, false, 1, 0, Now, "insert_new_task"), Now));
    EXPECT_FALSE(IsTaskDue(Type4("4", 15, 25, 0, At(2024, 1, 1)), Now));
    EXPECT_FALSE(IsTaskDue(Type4("4", 15, 0, 0, At(2024, 1, 1)).Cut(14), Now));
}
