// The month calendar: changes of year, month and day that keep the date valid, the day layout and
// its cell texts, the grid's keys with and without ReadOnly, the week column, and the popup's
// acceptance on a button release.
#include "SkinControlsTestSupport.h"

#include "DateUtils.h"
#include "sMonthCalendar.h"
#include "sPopupClndr.h"
#include "sTooledit.h"

#include <cmath>

using namespace skintests;

namespace {

// The clock stands at noon of 15 June 2026.
class sMonthCalendarTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        SetClock([] { return EncodeDate(2026, 6, 15) + 0.5; });
        sMonthCalendarInitialization();
    }
    void TearDown() override {
        SkinTest::TearDown();
        SetClock(nullptr);
    }
    TsMonthCalendar* PlaceCalendar(TDateTime Date) {
        auto* C = Place<TsMonthCalendar>(10, 10, 178, 139);
        C->SetStartOfWeek(dowMonday);
        C->HandleNeeded();
        C->SetCalendarDate(Date);
        Changes = 0;
        C->OnChange = TNotifyEvent::FromFunction([this](TObject*) { ++Changes; });
        return C;
    }
    static void Key(TsMonthCalendar* C, Word VKey, TShiftState Shift = {}) { C->DayGrid->KeyDown(VKey, Shift); }
    int Changes = 0;
};

TEST_F(sMonthCalendarTest, ChangesKeepTheDayInsideTheNewMonth) {
    enum Step { NextYearStep, PrevMonthStep, NextMonthStep, MonthFeb, Year2023 };
    struct Case {
        int Y, M, D;
        Step Do;
        int EY, EM, ED, Notifications;
    } Cases[] = {
        {2024, 2, 29, NextYearStep, 2025, 2, 28, 2},
        {2024, 2, 29, Year2023, 2024, 2, 29, 0},
        {2025, 1, 31, MonthFeb, 2025, 2, 28, 1},
        {2025, 3, 31, PrevMonthStep, 2025, 2, 28, 1},
        {2025, 1, 31, NextMonthStep, 2025, 2, 28, 1},
    };
    for (const Case& K : Cases) {
        TsMonthCalendar* C = PlaceCalendar(EncodeDate(K.Y, K.M, K.D));
        switch (K.Do) {
        case NextYearStep: C->NextYear(); break;
        case PrevMonthStep: C->PrevMonth(); break;
        case NextMonthStep: C->NextMonth(); break;
        case MonthFeb: C->SetMonth(2); break;
        case Year2023: C->SetYear(2023); break;
        }
        EXPECT_EQ(C->CalendarDate(), EncodeDate(K.EY, K.EM, K.ED)) << K.Y << "-" << K.M << "-" << K.D;
        EXPECT_EQ(Changes, K.Notifications);
        FreeAndNil(C);
    }
}

TEST_F(sMonthCalendarTest, DaysFollowTheFirstWeekdayAndTheTitleNamesTheMonth) {
    // 1 June 2025 is a Sunday: with Monday first it stands alone in the last column of row 1.
    TsMonthCalendar* C = PlaceCalendar(EncodeDate(2025, 6, 10));
    EXPECT_EQ(C->MonthOffset(), -5);
    for (int Col = 0; Col < 6; ++Col)
        EXPECT_EQ(C->CellText(Col, 1), "") << Col;
    EXPECT_EQ(C->CellText(6, 1), "1");
    EXPECT_EQ(C->CellText(0, 2), "2");
    EXPECT_EQ(C->CellText(0, 6), "30");
    EXPECT_EQ(C->CellText(1, 6), "");
    EXPECT_EQ(C->CellText(0, 0), ShortDayNames[2]) << "Monday";
    EXPECT_TRUE(C->IsWeekendCol(6));
    EXPECT_FALSE(C->IsWeekendCol(5));
    EXPECT_EQ(C->TitleBar->Caption(), LongMonthNames[6] + " 2025");
    EXPECT_EQ(C->DayGrid->Col(), 1) << "the 10th is a Tuesday";
    EXPECT_EQ(C->DayGrid->Row(), 3);

    for (int I = 0; I < 3; ++I)
        EXPECT_LT(C->NavButtons[I]->Left(), C->NavButtons[I + 1]->Left()) << "\"<<\", \"<\", \">\", \">>\"";

    C->SetShowWeeks(true);
    EXPECT_EQ(C->DayGrid->ColCount(), 8);
    EXPECT_EQ(C->CellText(0, 0), WeekColumnHeader);
    EXPECT_EQ(C->CellText(7, 1), "1");
    EXPECT_EQ(C->CellText(0, 2), IntToStr(WeekIndexOfYear(EncodeDate(2025, 6, 2)) + 1));
}

TEST_F(sMonthCalendarTest, ArrowsCrossMonthEdgesAndReadOnlyKeepsOnlyTheDateKeys) {
    TsMonthCalendar* C = PlaceCalendar(EncodeDate(2025, 1, 31));
    Key(C, VK_RIGHT);
    EXPECT_EQ(C->CalendarDate(), EncodeDate(2025, 2, 1));
    Key(C, VK_LEFT);
    EXPECT_EQ(C->CalendarDate(), EncodeDate(2025, 1, 31));
    Key(C, VK_UP);
    EXPECT_EQ(C->CalendarDate(), EncodeDate(2025, 1, 24)) << "a row up is a week back";
    EXPECT_FALSE(C->UseCurrentDate());

    C->SetReadOnly(true);
    Key(C, VK_UP);
    EXPECT_EQ(C->CalendarDate(), EncodeDate(2025, 1, 24));
    Key(C, VK_NEXT);
    EXPECT_EQ(C->CalendarDate(), EncodeDate(2025, 2, 24));
    Key(C, VK_PRIOR, TShiftState{ssCtrl});
    EXPECT_EQ(C->CalendarDate(), EncodeDate(2024, 2, 24));
    char T = 't';
    C->DayGrid->KeyPress(T);
    EXPECT_EQ(C->CalendarDate(), EncodeDate(2026, 6, 15));
    EXPECT_EQ(T, 0);
}

// Unskinned: today's badge is 30 % of the weekend colour over the button face; the selected day
// is filled with the highlight colour; the other cells show the calendar's colour.
TEST_F(sMonthCalendarTest, TodayWearsItsBadgeAndTheSelectedDayTheHighlight) {
    TsMonthCalendar* C = PlaceCalendar(EncodeDate(2026, 6, 10));
    C->SetWeekendColor(0x0000FF);
    TsCalendGrid* G = C->DayGrid;
    G->Repaint();
    auto CellOf = [&](int Day) {
        for (int Row = 1; Row <= 6; ++Row)
            for (int Col = 0; Col < 7; ++Col)
                if (C->CellText(Col, Row) == IntToStr(Day))
                    return G->CellRect(Col, Row);
        return TRect{};
    };
    HDC DC = GetDC(G->Handle());
    TRect Today = CellOf(15), Selected = CellOf(10);
    TColor TodayPixel = static_cast<TColor>(GetPixel(DC, Today.Left + 3, Today.Top + Today.Height() / 2));
    TColor SelectedPixel = static_cast<TColor>(GetPixel(DC, Selected.Left + 4, Selected.Top + Selected.Height() / 2));
    TRect Empty = G->CellRect(0, 6);  // after the 30th
    TColor EmptyPixel = static_cast<TColor>(GetPixel(DC, Empty.Left + Empty.Width() / 2, Empty.Top + Empty.Height() / 2));
    ReleaseDC(G->Handle(), DC);
    TColor Face = ColorToRGB(clBtnFace);
    auto Mix = [&](int Shift, int Weekend) {
        return static_cast<TColor>(std::lround(0.3 * Weekend + 0.7 * ((Face >> Shift) & 0xFF))) << Shift;
    };
    EXPECT_EQ(TodayPixel, Mix(0, 0xFF) | Mix(8, 0) | Mix(16, 0));
    EXPECT_EQ(SelectedPixel, ColorToRGB(clHighlight));
    EXPECT_EQ(EmptyPixel, ColorToRGB(C->Color())) << "the calendar's own colour behind the days";
}

TEST_F(sMonthCalendarTest, AReleaseOnTheWeekdayRowAcceptsTheSelectedDate) {
    sCustomComboEditInitialization();
    auto* E = Place<TsDateEdit>(20, 20, 100, 21);
    E->HandleNeeded();
    E->SetDate(EncodeDate(2026, 3, 8));
    E->Button()->Click();
    TsPopupCalendar* P = E->PopupCalendar();
    ASSERT_TRUE(P && P->Visible());
    TsCalendGrid* G = P->Calendar()->DayGrid;
    P->Calendar()->SetDay(11);
    TRect Header = G->CellRect(3, 0);
    SendMessageA(G->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(Header.Left + 2, Header.Top + 2));
    EXPECT_FALSE(P->Visible());
    EXPECT_EQ(E->Date(), EncodeDate(2026, 3, 11));
    EXPECT_FALSE(G->Busy);
}

TEST_F(sMonthCalendarTest, TheTodayButtonNamesTheDayTheCalendarIsShownOn) {
    sCustomComboEditInitialization();
    auto* E = Place<TsDateEdit>(20, 20, 100, 21);
    E->HandleNeeded();
    auto ShownCaption = [&] {
        E->Button()->Click();
        TsPopupCalendar* P = E->PopupCalendar();
        EXPECT_TRUE(P && P->Visible());
        std::string Caption = P ? P->Calendar()->TodayButton->Caption() : "";
        if (P)
            P->Close();
        return Caption;
    };
    auto EndsWith = [](const std::string& S, const std::string& Tail) {
        return S.size() >= Tail.size() && S.compare(S.size() - Tail.size(), Tail.size(), Tail) == 0;
    };
    const std::string First = ShownCaption();
    EXPECT_TRUE(EndsWith(First, FormatDateTime(" mmmm d, yyyy", EncodeDate(2026, 6, 15)))) << First;
    SetClock([] { return EncodeDate(2026, 6, 16) + 0.01; });  // past midnight, the popup kept
    const std::string Next = ShownCaption();
    EXPECT_TRUE(EndsWith(Next, FormatDateTime(" mmmm d, yyyy", EncodeDate(2026, 6, 16)))) << Next;
}

// The popup's window region leaves out the key-coloured corner pixels of the calendar's border
// mask: here the top-left pixel and the bottom-right one of a 9 x 6 border image.
TEST_F(sMonthCalendarTest, SkinnedPopupCutsTheBorderCornersOutOfItsWindow) {
    sCustomComboEditInitialization();
    MakeManager({{"EDIT", 0xFFFFFF}, {"PANEL", 0xFFFFFF}});
    TsMaskData Border;
    Border.Bmp = Create<TBitmap>();
    Border.Bmp->SetPixelFormat(pf24bit);
    Border.Bmp->SetSize(9, 6);
    FillRectSolid(Border.Bmp->Canvas()->Handle(), Rect(0, 0, 9, 6), 0x808080);
    SetPixel(Border.Bmp->Canvas()->Handle(), 0, 0, 0xFF00FF);
    SetPixel(Border.Bmp->Canvas()->Handle(), 8, 5, 0xFF00FF);
    Border.R = TRect{0, 0, 9, 6};
    Border.ImageCount = 1;
    Border.WL = Border.WR = 3;
    Border.WT = Border.WB = 2;
    Border.Manager = Manager;
    Manager->MaskList.push_back(Border);

    auto* E = Place<TsDateEdit>(20, 20, 100, 21);
    E->HandleNeeded();
    E->Button()->Click();
    TsPopupCalendar* P = E->PopupCalendar();
    ASSERT_TRUE(P && P->Visible());
    P->Calendar()->SkinData()->BorderMaskIndex = static_cast<int>(Manager->MaskList.size()) - 1;
    P->FormShow(P);
    HRGN Region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(P->Handle(), Region), ERROR);
    const int W = P->Width(), H = P->Height();
    struct {
        int X, Y;
        bool Inside;
    } const Cases[] = {{0, 0, false}, {1, 0, true}, {W - 1, 0, true}, {W - 1, H - 1, false}, {W - 2, H - 1, true}};
    for (const auto& C : Cases)
        EXPECT_EQ(PtInRegion(Region, C.X, C.Y) != FALSE, C.Inside) << C.X << "," << C.Y;
    DeleteObject(Region);
    P->Close();
}

TEST_F(sMonthCalendarTest, ThePopupFromItsFormResourceAndFromCodeAreAlike) {
    sPopupClndrInitialization();
    ASSERT_NE(FindResourceA(GetModuleHandleA(nullptr), "TSPOPUPCALENDAR", MAKEINTRESOURCEA(10)), nullptr);
    TsPopupCalendar* Popups[] = {TsPopupCalendar::CreatePopup(Form), TsPopupCalendar::CreateInCode(Form)};
    for (TsPopupCalendar* P : Popups) {
        ASSERT_NE(P->Calendar(), nullptr);
        EXPECT_EQ(P->BorderStyle(), bsNone);
        EXPECT_EQ(P->ClientWidth(), 189);
        EXPECT_EQ(P->ClientHeight(), 132);
        EXPECT_TRUE(P->KeyPreview());
        EXPECT_EQ(P->Tag(), -98);
        EXPECT_EQ(P->Font()->Name(), "Tahoma");
        EXPECT_EQ(P->Calendar()->Align(), alClient);
        EXPECT_EQ(P->Calendar()->BorderWidth(), 3);
        EXPECT_EQ(P->Calendar()->SkinData()->SkinSection(), "PANEL");
        EXPECT_TRUE(P->OnClose && P->OnDeactivate && P->OnKeyDown && P->OnShow);
    }
}

}  // namespace
