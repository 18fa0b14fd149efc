// Date utilities of the date edit: the locale's order made into the fixed format and mask, reading
// dates by position and freely, two-digit years around a set clock.
#include "DateUtils.h"
#include "sDateUtils.h"

#include <gtest/gtest.h>

namespace {

// Runs with the clock in 2026 and with its own format settings, given back at the end.
class sDateUtilsLocaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = FormatSettings;
        SetClock([] { return EncodeDate(2026, 6, 15) + 0.5; });
    }
    void TearDown() override {
        SetClock(nullptr);
        FormatSettings = Saved;
    }
    static void UseFormat(const char* Short, char Separator) {
        ShortDateFormat = Short;
        DateSeparator = Separator;
    }
    TFormatSettings Saved;
};

TEST_F(sDateUtilsLocaleTest, TheLocalesOrderGivesTheFixedFormatAndMask) {
    struct Case {
        const char* Short;
        const char* Four;
        const char* Two;
        const char* Mask;
    } Cases[] = {
        {"dd.MM.yyyy", "DD/MM/YYYY", "DD/MM/YY", "!99/99/9999;1; "},
        {"M/d/yyyy", "MM/DD/YYYY", "MM/DD/YY", "!99/99/9999;1; "},
        {"yyyy-MM-dd", "YYYY/MM/DD", "YY/MM/DD", "!9999/99/99;1; "},
        {"---", "DD/MM/YYYY", "DD/MM/YY", "!99/99/9999;1; "},
    };
    for (const Case& C : Cases) {
        UseFormat(C.Short, '.');
        EXPECT_EQ(StandardDateFormat(true), C.Four) << C.Short;
        EXPECT_EQ(StandardDateFormat(false), C.Two) << C.Short;
        EXPECT_EQ(StandardDateMask(' ', true), C.Mask) << C.Short;
        EXPECT_EQ(StandardDateMask('_', false), "!99/99/99;1;_") << C.Short;
    }
}

TEST_F(sDateUtilsLocaleTest, TwoDigitYearsFallIntoTheHundredYearsFromSixtyBack) {
    const std::pair<int, int> Cases[] = {{66, 1966}, {65, 2065}, {0, 2000}, {99, 1999}, {100, 100}, {2024, 2024}, {-1, -1}};
    for (auto [Year, Wide] : Cases)
        EXPECT_EQ(WidenYear(Year), Wide) << Year;
    EXPECT_EQ(ThisYear(), 2026);
}

TEST_F(sDateUtilsLocaleTest, TextReadsByPositionThenFreely) {
    struct Case {
        const char* Format;
        char Separator;
        const char* Text;
        bool Ok;
        int Y, M, D;
    } Cases[] = {
        {"DD/MM/YYYY", '.', "25.12.2024", true, 2024, 12, 25},
        {"MM/DD/YYYY", '/', "3/4/2025", true, 2025, 3, 4},
        {"MM/DD/YYYY", '/', "03/04/2025", true, 2025, 3, 4},
        {"DD/MM/YY", '.', "25.12.65", true, 2065, 12, 25},
        {"DD/MM/YY", '.', "25.12.66", true, 1966, 12, 25},
        {"DD/MM/YYYY", '.', "7.3", true, 2026, 3, 7},
        {"YYYY/MM/DD", '-', "2024-02-29", true, 2024, 2, 29},
        {"DD/MM/YYYY", '.', "31.02.2024", false, 0, 0, 0},
        {"DD/MM/YYYY", '.', "  .  .    ", false, 0, 0, 0},
        {"DD/MM/YYYY", '.', "25.12.    ", false, 0, 0, 0},
        {"DD/MM/YYYY", '.', "25.12.2024 x", false, 0, 0, 0},
    };
    for (const Case& C : Cases) {
        DateSeparator = C.Separator;
        TDateTime V = -1;
        EXPECT_EQ(TextToDate(C.Format, C.Text, V), C.Ok) << C.Text;
        if (C.Ok) {
            EXPECT_EQ(V, EncodeDate(C.Y, C.M, C.D)) << C.Text;
        }
    }
}

TEST_F(sDateUtilsLocaleTest, MonthNamesReadByTheirFirstLetters) {
    DateSeparator = '-';
    std::string Text = "05-" + LongMonthNames[3].substr(0, 3) + "-2024";
    TDateTime V;
    ASSERT_TRUE(TextToDate("DD-MMM-YYYY", Text, V)) << Text;
    EXPECT_EQ(V, EncodeDate(2024, 3, 5));
}

TEST_F(sDateUtilsLocaleTest, EmptyAndUnreadableTextsAndDefaults) {
    TDateTime V = -1;
    EXPECT_TRUE(TextToDate("DD/MM/YYYY", "", V));
    EXPECT_EQ(V, EmptyDate);
    DateSeparator = '.';
    TDateTime Today = EncodeDate(2026, 6, 15);
    EXPECT_EQ(DateFromText("DD/MM/YYYY", "  .  .    ", Today + 0.75), Today) << "the whole day of the default";
    EXPECT_EQ(DateFromText("DD/MM/YYYY", "01.01.2000", Today), EncodeDate(2000, 1, 1));
    EXPECT_EQ(DateOrDefault(EmptyDate, Today), Today);
    EXPECT_EQ(DateOrDefault(5.0, Today), 5.0);
}

TEST(sDateUtilsTest, MonthLengthsAndValidity) {
    EXPECT_EQ(MonthLength(2024, 2), 29);
    EXPECT_EQ(MonthLength(2100, 2), 28);
    EXPECT_EQ(MonthLength(2025, 12), 31);
    EXPECT_TRUE(IsValidYMD(9999, 12, 31));
    EXPECT_FALSE(IsValidYMD(10000, 1, 1));
    EXPECT_FALSE(IsValidYMD(2025, 4, 31));
    EXPECT_FALSE(IsValidYMD(0, 1, 1));
    EXPECT_TRUE(IsValidDateTime(EncodeDate(2024, 2, 29)));
    EXPECT_FALSE(IsValidDateTime(1e9));
    EXPECT_EQ(DateOrderOf("yyyy.dd.MM"), OrderYMD);
    EXPECT_EQ(DateOrderOf("d/M/y"), OrderDMY);
    EXPECT_EQ(DateOrderOf("M-d-y"), OrderMDY);
}

}  // namespace
