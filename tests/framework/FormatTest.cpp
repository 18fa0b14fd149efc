// Format, the float texts and StrToFloat, with explicit and with the process's settings.
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
// English texts, and the same with the Russian separators, independent of the test's locale.
TFormatSettings English() { return EnglishFormatSettings(); }
TFormatSettings RussianNumbers() {
    TFormatSettings S = EnglishFormatSettings();
    S.DecimalSeparator = ',';
    S.ThousandSeparator = '\xA0';
    S.CurrencyString = "\xF0.";  // "р."
    S.CurrencyFormat = 3;
    S.NegCurrFormat = 8;
    return S;
}
}  // namespace

TEST(Format, ConversionsTable) {
    const TFormatSettings S = English();
    int Local = 0;
    struct Case {
        const char* Fmt;
        std::vector<TVarRec> Args;
        const char* Expected;
    } Cases[] = {
        {"%d items", {5}, "5 items"},
        {"%0.2d", {5}, "05"},
        {"%.3d", {-5}, "-005"},
        {"%5d|%-5d|", {42, 42}, "   42|42   |"},
        {"%d", {Int64(1) << 40}, "1099511627776"},
        {"%u", {-1}, "4294967295"},
        {"%x", {255}, "FF"},
        {"%.8x", {0x80004005u}, "80004005"},
        {"%x", {-1}, "FFFFFFFF"},
        {"%x", {Int64(-1)}, "FFFFFFFFFFFFFFFF"},
        {"%s", {"abc"}, "abc"},
        {"%.2s|%4s", {"abc", "ab"}, "ab|  ab"},
        {"%s%s", {'x', std::wstring(L"yz")}, "xyz"},
        {"%1:s %0:s %s", {"a", "b"}, "b a b"},
        {"%*d|%-*.*d", {4, 7, 4, 3, 7}, "   7|007 "},
        {"100%%", {}, "100%"},
        {"%e", {1234.5}, "1.23450000000000E+003"},
        {"%.3e", {-0.000123456}, "-1.23E-004"},
        {"%f", {1234.5}, "1234.50"},
        {"%.0f", {2.5}, "3"},
        {"%.1f", {0.05}, "0.1"},
        {"%n", {1234567.891}, "1,234,567.89"},
        {"%g", {0.5}, "0.5"},
        {"%g", {1e20}, "1E020"},
        {"%.3g", {1234.5}, "1.23E003"},
        {"%m", {-1234.5}, "($1,234.50)"},
        {"%D %X %S", {1, 10, "s"}, "1 A s"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(Format(C.Fmt, C.Args.data(), C.Args.size(), S), C.Expected) << C.Fmt;
    EXPECT_EQ(Format("%p", {&Local}).size(), 2 * sizeof(void*)) << "a pointer in full width";
    EXPECT_EQ(Format("%s: %d", {std::string("Count"), 3}), "Count: 3");
}

TEST(Format, MismatchedOrMissingArgumentsRaise) {
    struct Case {
        const char* Fmt;
        std::vector<TVarRec> Args;
        const char* Message;
    } Cases[] = {
        {"%d", {"x"}, "Format '%d' invalid or incompatible with argument"},
        {"%s", {5}, "Format '%s' invalid or incompatible with argument"},
        {"%f", {5}, "Format '%f' invalid or incompatible with argument"},
        {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
        {"%d", {true}, "Format '%d' invalid or incompatible with argument"},
        {"%z", {1}, "Format '%z' invalid or incompatible with argument"},
        {"abc %", {1}, "Format 'abc %' invalid or incompatible with argument"},
        {"%d %d", {1}, "No argument for format '%d %d'"},
        {"%2:d", {1}, "No argument for format '%2:d'"},
    };
    for (const Case& C : Cases) {
        try {
            Format(C.Fmt, C.Args.data(), C.Args.size());
            ADD_FAILURE() << C.Fmt;
        } catch (const EConvertError& E) {
            EXPECT_EQ(E.Message(), C.Message);
        }
    }
}

TEST(Format, FloatToStrGeneralTable) {
    const TFormatSettings S = English();
    struct Case {
        double V;
        const char* Expected;
    } Cases[] = {
        {0, "0"},
        {1.5, "1.5"},
        {-0.25, "-0.25"},
        {100, "100"},
        {1e15, "1E15"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1e20, "1E20"},
        {1.5e-7, "1.5E-7"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::nan(""), "NAN"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FloatToStr(C.V, S), C.Expected) << C.V;
    EXPECT_EQ(FloatToStr(-1.5, RussianNumbers()), "-1,5");
}

TEST(Format, FloatToStrFRoundsHalfAwayFromZero) {
    const TFormatSettings S = English();
    struct Case {
        double V;
        TFloatFormat F;
        int Precision, Digits;
        const char* Expected;
    } Cases[] = {
        {0.125, ffFixed, 15, 2, "0.13"},
        {-0.125, ffFixed, 15, 2, "-0.13"},
        {2.5, ffFixed, 15, 0, "3"},
        {1.005, ffFixed, 15, 2, "1.00"},  // the double lies below 1.005
        {-0.001, ffFixed, 15, 2, "0.00"},  // no "-0.00"
        {1234567.891, ffFixed, 15, 1, "1234567.9"},
        {1234567.891, ffNumber, 15, 2, "1,234,567.89"},
        {999.996, ffNumber, 15, 2, "1,000.00"},
        {1.23456789, ffFixed, 4, 6, "1.235000"},
        {123456.0, ffFixed, 4, 2, "1.235E5"},
        {1234.5, ffExponent, 4, 2, "1.235E+03"},
        {0.0, ffExponent, 3, 1, "0.00E+0"},
        {-1234.5, ffCurrency, 15, 2, "($1,234.50)"},
        {1234.5, ffCurrency, 15, 0, "$1,235"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FloatToStrF(C.V, C.F, C.Precision, C.Digits, S), C.Expected) << C.V;
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, RussianNumbers()), "-1\xA0" "234,50 \xF0.");
    EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2, RussianNumbers()), "1\xA0" "234,50 \xF0.");
}

TEST(Format, FormatFloatPictures) {
    const TFormatSettings S = English();
    struct Case {
        const char* Fmt;
        double V;
        const char* Expected;
    } Cases[] = {
        {"0.00", 1.5, "1.50"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0", -1234, "-1,234"},
        {"0.###", 1.5, "1.5"},
        {"0.###", 2, "2"},
        {"000", 7, "007"},
        {"#", 0, ""},
        {"#.##", 0.5, ".5"},
        {"0", -0.4, "0"},
        {"0.0", 12345.67, "12345.7"},
        {"00-00", 1234, "12-34"},
        {"\"$\"#,##0", 1234, "$1,234"},
        {"0 'pcs'", 3, "3 pcs"},
        {"0.00;(0.00);zero", -5, "(5.00)"},
        {"0.00;(0.00);zero", 0, "zero"},
        {"0.00;(0.00);zero", 0.001, "zero"},
        {"0.00;;zero", -5, "-5.00"},
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.00E-00", 1234.5, "1.23E03"},
        {"0.00E+00", 0.000123, "1.23E-04"},
        {"", 1.5, "1.5"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FormatFloat(C.Fmt, C.V, S), C.Expected) << C.Fmt << " " << C.V;
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, RussianNumbers()), "1\xA0" "234,50");
}

TEST(Format, StrToFloatWithTheGivenSeparator) {
    struct Case {
        const char* S;
        char Sep;
        bool Ok;
        double V;
    } Cases[] = {
        {"1.5", '.', true, 1.5},     {" -2.5e3 ", '.', true, -2500},  {"+.5", '.', true, 0.5},
        {"7.", '.', true, 7},        {"1E-2", '.', true, 0.01},       {"1,5", ',', true, 1.5},
        {"1,5", '.', false, 0},      {"1.5", ',', false, 0},          {"", '.', false, 0},
        {".", '.', false, 0},        {"1e", '.', false, 0},           {"e5", '.', false, 0},
        {"1.2.3", '.', false, 0},    {"INF", '.', false, 0},          {"1e999", '.', false, 0},
        {"1 000", '.', false, 0},    {"0x10", '.', false, 0},
    };
    for (const Case& C : Cases) {
        TFormatSettings S = English();
        S.DecimalSeparator = C.Sep;
        double V = -99;
        EXPECT_EQ(TryStrToFloat(C.S, V, S), C.Ok) << C.S;
        if (C.Ok) {
            EXPECT_DOUBLE_EQ(V, C.V) << C.S;
        }
    }
    try {
        StrToFloat("abc", English());
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "'abc' is not a valid floating point value");
    }
}

TEST(FormatLocale, ProcessSettingsComeFromTheUserLocale) {
    if (GetACP() == 1251) {
        EXPECT_EQ(DecimalSeparator, ',');
        EXPECT_EQ(DateSeparator, '.');
        EXPECT_EQ(ShortDateFormat, "dd.MM.yyyy");
    } else {
        EXPECT_EQ(DecimalSeparator, '.');
        EXPECT_EQ(DateSeparator, '/');
        EXPECT_EQ(ShortDateFormat, "M/d/yyyy");
        EXPECT_EQ(LongMonthNames[1], "January");
        EXPECT_EQ(ShortDayNames[1], "Sun") << "day 1 is Sunday";
        EXPECT_EQ(LongTimeFormat, "h:mm:ss AMPM");
    }
    for (int I = 1; I <= 12; ++I)
        EXPECT_FALSE(LongMonthNames[I].empty()) << I;
    for (int I = 1; I <= 7; ++I)
        EXPECT_FALSE(ShortDayNames[I].empty()) << I;
    EXPECT_EQ(FloatToStr(1.5), std::string("1") + DecimalSeparator + "5");
    EXPECT_EQ(StrToFloat(FloatToStr(-1234.25)), -1234.25);
    EXPECT_EQ(Format("%.1f", {2.25}), std::string("2") + DecimalSeparator + "3");
}

TEST(FormatLocale, GlobalSettingsChangeAndComeBack) {
    TFormatSettings Saved = FormatSettings;
    DecimalSeparator = '#';
    EXPECT_EQ(FloatToStr(0.5), "0#5");
    EXPECT_EQ(FormatSettings.DecimalSeparator, '#') << "the names are the record's fields";
    GetFormatSettings();
    EXPECT_EQ(DecimalSeparator, Saved.DecimalSeparator) << "re-read from the locale";
    FormatSettings = Saved;
}
