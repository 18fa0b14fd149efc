// The date edit: the date written in and read from the locale's text, two-digit years, empty and
// invalid dates, the day-stepping keys, the date limits, the calendar hints, the drop-down calendar
// and reading from a form file.
#include "SkinControlsTestSupport.h"

#include "DateUtils.h"
#include "sMonthCalendar.h"
#include "sPopupClndr.h"
#include "sTooledit.h"

using namespace skintests;

namespace {

// The clock stands at noon of 15 June 2026; the date format is set by each test.
class sTooleditLocaleTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        Saved = FormatSettings;
        SetClock([] { return EncodeDate(2026, 6, 15) + 0.5; });
        UseFormat("dd.MM.yyyy", '.');
        sCustomComboEditInitialization();
        sTooleditInitialization();
        sMonthCalendarInitialization();
        sPopupClndrInitialization();
    }
    void TearDown() override {
        SkinTest::TearDown();
        SetClock(nullptr);
        FormatSettings = Saved;
    }
    static void UseFormat(const char* Short, char Separator) {
        ShortDateFormat = Short;
        DateSeparator = Separator;
    }
    TsDateEdit* PlaceEdit() {
        auto* E = Place<TsDateEdit>(20, 20, 100, 21);
        E->HandleNeeded();
        return E;
    }
    TFormatSettings Saved;
};

TEST_F(sTooleditLocaleTest, DatesAreWrittenInTheLocalesOrderAndReadBack) {
    struct Case {
        const char* Short;
        char Separator;
        const char* Format;
        const char* Mask;
        const char* Text;
    } Cases[] = {
        {"dd.MM.yyyy", '.', "DD/MM/YYYY", "!99/99/9999;1; ", "25.12.2024"},
        {"M/d/yyyy", '/', "MM/DD/YYYY", "!99/99/9999;1; ", "12/25/2024"},
        {"yyyy-MM-dd", '-', "YYYY/MM/DD", "!9999/99/99;1; ", "2024-12-25"},
    };
    for (const Case& C : Cases) {
        UseFormat(C.Short, C.Separator);
        TsDateEdit* E = PlaceEdit();
        EXPECT_EQ(E->SkinData()->ControlKind, 140);
        EXPECT_EQ(E->DateFormat(), C.Format);
        EXPECT_EQ(E->EditMask(), C.Mask);
        E->SetDate(EncodeDate(2024, 12, 25) + 0.75);
        EXPECT_EQ(E->Text(), C.Text) << "the time is dropped";
        EXPECT_EQ(E->Date(), EncodeDate(2024, 12, 25)) << C.Short;
        E->Free();
    }
}

TEST_F(sTooleditLocaleTest, EmptyBlankAndInvalidDates) {
    TsDateEdit* E = PlaceEdit();
    EXPECT_EQ(E->Date(), EmptyDate);
    E->SetDate(EncodeDate(2024, 12, 25));
    E->SetDate(EmptyDate);
    EXPECT_EQ(E->Date(), EmptyDate);
    EXPECT_TRUE(E->TextIsBlank()) << E->Text();
    E->SetDate(EncodeDate(2024, 12, 25));
    E->SetDate(4000000.0);  // beyond the year 9999
    EXPECT_EQ(E->Date(), EmptyDate);
    E->SetText("31.02.2024");
    EXPECT_EQ(E->Date(), EmptyDate) << "no such day";

    E->SetDefaultToday(true);
    E->SetDate(EmptyDate);
    EXPECT_EQ(E->Date(), EncodeDate(2026, 6, 15)) << "the empty date shows today";
    E->SetText("  .  .    ");
    EXPECT_EQ(E->Date(), EncodeDate(2026, 6, 15)) << "blanks and separators read as today";
}

TEST_F(sTooleditLocaleTest, TwoDigitYearsFallIntoTheCenturyFromSixtyYearsBack) {
    TsDateEdit* E = PlaceEdit();
    E->SetYearDigits(dyTwo);
    EXPECT_EQ(E->EditMask(), "!99/99/99;1; ");
    E->SetText("25.12.65");
    EXPECT_EQ(E->Date(), EncodeDate(2065, 12, 25));
    E->SetText("25.12.66");
    EXPECT_EQ(E->Date(), EncodeDate(1966, 12, 25));
    E->SetYearDigits(dyFour);
    EXPECT_EQ(E->Text(), "25.12.1966") << "the date is kept through the new mask";
}

TEST_F(sTooleditLocaleTest, NumericPadStepsTheDayAndTGivesToday) {
    TsDateEdit* E = PlaceEdit();
    auto Key = [&](WPARAM VKey) { SendMessageA(E->Handle(), WM_KEYDOWN, VKey, 1); };
    auto Char = [&](char Ch) { SendMessageA(E->Handle(), WM_CHAR, static_cast<BYTE>(Ch), 1); };
    Key(VK_ADD);
    EXPECT_EQ(E->Date(), EncodeDate(2026, 6, 16)) << "tomorrow from an empty date";
    Key(VK_SUBTRACT);
    Key(VK_SUBTRACT);
    EXPECT_EQ(E->Date(), EncodeDate(2026, 6, 14));
    Char('+');
    Char('-');
    EXPECT_EQ(E->Date(), EncodeDate(2026, 6, 14)) << "the main keyboard's plus and minus do nothing";
    Char('t');
    EXPECT_EQ(E->Date(), EncodeDate(2026, 6, 15));
    E->SetReadOnly(true);
    Key(VK_ADD);
    EXPECT_EQ(E->Date(), EncodeDate(2026, 6, 15)) << "read-only";
}

TEST_F(sTooleditLocaleTest, ALocaleChangeRebuildsTheMaskAndKeepsTheDate) {
    UseFormat("yyyy-MM-dd", '-');
    TsDateEdit* E = PlaceEdit();
    E->SetDate(EncodeDate(2024, 12, 25));
    ASSERT_EQ(E->Text(), "2024-12-25");
    // The application's window hears of the change; the system's settings come back.
    SendMessageA(Application->Handle(), WM_WININICHANGE, 0, 0);
    EXPECT_EQ(E->DateFormat(), StandardDateFormat(true));
    EXPECT_EQ(E->EditMask(), StandardDateMask(' ', true));
    EXPECT_EQ(E->Date(), EncodeDate(2024, 12, 25));
    FreeAndNil(E);
    SendMessageA(Application->Handle(), WM_WININICHANGE, 0, 0);  // the hook went with the edit
}

TEST_F(sTooleditLocaleTest, DateLimitsMoveTheDateAndRefuseCrossing) {
    TsDateEdit* E = PlaceEdit();
    E->SetDate(EncodeDate(2026, 6, 10));
    E->SetMinDate(EncodeDate(2026, 6, 20));
    EXPECT_EQ(E->Date(), EncodeDate(2026, 6, 20));
    E->SetMaxDate(EncodeDate(2026, 1, 1));
    EXPECT_EQ(E->MaxDate(), EmptyDate) << "below the minimum: ignored";
    E->SetMaxDate(EncodeDate(2026, 7, 1));
    E->SetMinDate(EncodeDate(2026, 8, 1));
    EXPECT_EQ(E->MinDate(), EncodeDate(2026, 6, 20)) << "above the maximum: ignored";

    E->SetCheckOnExit(true);
    E->SetText("05.09.2026");
    E->Perform(CM_EXIT, 0, 0);
    EXPECT_EQ(E->Date(), EncodeDate(2026, 7, 1)) << "leaving clamps to the maximum";
}

TEST_F(sTooleditLocaleTest, CalendarHintsKeepFourLines) {
    TsDateEdit* E = PlaceEdit();
    TOwned<TStringList> L(Create<TStringList>());
    for (const char* S : {"a", "b", "c", "d", "e", "f"})
        L->Add(S);
    E->SetCalendarHints(L.get());
    EXPECT_EQ(E->CalendarHints()->Count(), 4);
    EXPECT_EQ(E->CalendarHints()->Strings(3), "d");
}

TEST_F(sTooleditLocaleTest, TheDropDownCalendarShowsTheDateAndHandsBackThePickedOne) {
    TsDateEdit* E = PlaceEdit();
    E->SetDate(EncodeDate(2026, 3, 8));
    int Changes = 0;
    E->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    bool Refuse = true;
    E->OnAcceptDate = TOnAcceptDate::FromFunction([&](TObject*, TDateTime&, bool& CanAccept) { CanAccept = !Refuse; });
    E->Button()->Click();
    TsPopupCalendar* P = E->PopupCalendar();
    ASSERT_NE(P, nullptr);
    ASSERT_TRUE(E->IsPopupVisible());
    EXPECT_EQ(P->Editor, E);
    EXPECT_EQ(P->Height(), 160) << "with the Today button";
    EXPECT_EQ(P->Width(), 282);
    TsMonthCalendar* C = P->Calendar();
    EXPECT_EQ(C->CalendarDate(), EncodeDate(2026, 3, 8));
    EXPECT_FALSE(C->ControlStyle().Contains(csDoubleClicks));

    C->SetDay(20);
    P->CalendarClick(C);
    EXPECT_TRUE(E->IsPopupVisible()) << "a refused date leaves the popup open";
    EXPECT_EQ(E->Date(), EncodeDate(2026, 3, 8));
    Refuse = false;
    P->CalendarClick(C);
    EXPECT_FALSE(E->IsPopupVisible());
    EXPECT_EQ(E->Date(), EncodeDate(2026, 3, 20));
    EXPECT_GT(Changes, 0);

    E->SetDate(EmptyDate);
    E->Button()->Click();
    EXPECT_EQ(C->CalendarDate(), EncodeDate(2026, 6, 15)) << "an empty date opens on today";
    Word Esc = VK_ESCAPE;
    P->FormKeyDown(P, Esc, TShiftState{});
    EXPECT_FALSE(E->IsPopupVisible());
    EXPECT_EQ(E->Date(), EmptyDate);
}

TEST_F(sTooleditLocaleTest, ReadFromAFormItTakesTheLocalesMask) {
    ReadFormText(Form, "object F: TForm\n  object deStart: TsDateEdit\n    Left = 8\n    Top = 8\n"
                       "    Width = 86\n    Height = 21\n    AutoSize = False\n    EditMask = '!99/99/9999;1; '\n"
                       "    MaxLength = 10\n    Text = '01.02.2027'\n    GlyphMode.Grayed = False\n"
                       "    SkinData.SkinSection = 'EDIT'\n  end\nend\n");
    auto* E = DynCast<TsDateEdit>(Form->FindComponent("deStart"));
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E->Date(), EncodeDate(2027, 2, 1));
    EXPECT_EQ(E->DefaultGlyphIndex, DateGlyph);
    EXPECT_EQ(E->DialogTitle(), "Date select");
}

}  // namespace
