#include "DateUtils.h"
#include "TestContainer.h"
#include "dxGrDate.h"

using namespace treelist_tests;

namespace {
struct CalendarTest : TEditorTest<TdxInplaceEdit> {
    TroDeraDatePopup* Popup = nullptr;
    Byte SavedFirstDay = 0;
    int Chosen = 0;
    void SetUp() override {
        TEditorTest::SetUp();
        dxGrDateInitialization();
        SavedFirstDay = FirstWeekDay;
        FirstWeekDay = 1;  // Monday first
        Edit->ShowAt(TRect{10, 10, 150, 30});
        Popup = Create<TroDeraDatePopup>(Form);
        Popup->OwnerEdit = Edit;
        Popup->OnDateChosen = TNotifyEvent::FromFunction([this](TObject*) { ++Chosen; });
    }
    void TearDown() override {
        FirstWeekDay = SavedFirstDay;
        TEditorTest::TearDown();
    }
    void Show(TDateTime Selected) {
        Popup->SetStartDate(Selected);
        Popup->SelectDate(Selected);
        Popup->SetLeft(100);
        Popup->SetTop(100);
        Popup->ShowPopupWindow();
    }
    TPoint CellCentre(int Row, int Column) {
        TRect G = Popup->DayGridRect();
        return TPoint{G.Left + Column * Popup->DayCellWidth + Popup->DayCellWidth / 2,
                      G.Top + Row * Popup->DayCellHeight + Popup->DayCellHeight / 2};
    }
    void Click(TPoint P) {
        Popup->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.X, P.Y));
        Popup->Perform(WM_LBUTTONUP, 0, MAKELPARAM(P.X, P.Y));
    }
    void Key(Word K, TShiftState Shift = {}) { Popup->KeyDown(K, Shift); }
};
}  // namespace

TEST_F(CalendarTest, MonthStartingOnTheFirstWeekDayShowsThePreviousWeekFirst) {
    Show(EncodeDate(2024, 1, 10));  // 1 January 2024 is a Monday
    EXPECT_EQ(EncodeDate(2023, 12, 25), Popup->FirstVisibleDate());
    EXPECT_EQ(EncodeDate(2023, 12, 25), Popup->DateAtPoint(CellCentre(0, 0)));
    EXPECT_EQ(EncodeDate(2024, 1, 1), Popup->DateAtPoint(CellCentre(1, 0)));
    EXPECT_EQ(Popup->FirstVisibleDate() + 41, Popup->LastVisibleDate());
    EXPECT_EQ(NullDate, Popup->DateAtPoint(TPoint{-1, 5}));
}

TEST_F(CalendarTest, GreyDayOfThePreviousMonthIsChosenAndClosesThePopup) {
    Show(EncodeDate(2024, 1, 10));
    ASSERT_TRUE(IsWindowVisible(Popup->Handle()));
    Click(CellCentre(0, 2));
    EXPECT_EQ(EncodeDate(2023, 12, 27), Popup->SelectedDate());
    EXPECT_EQ(1, Chosen);
    EXPECT_FALSE(IsWindowVisible(Popup->Handle()));
}

TEST_F(CalendarTest, ClearChoosesNoDateAndTodayReleasedOutsideDoesNothing) {
    Popup->ClearVisible = true;
    Show(EncodeDate(2024, 3, 5));
    Popup->UpdatePopupSize();
    TRect Today = Popup->TodayButtonRect();
    Popup->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Today.Left + 2, Today.Top + 2));
    Popup->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Today.Right + 30, Today.Top + 2));
    Popup->Perform(WM_LBUTTONUP, 0, MAKELPARAM(Today.Right + 30, Today.Top + 2));
    EXPECT_EQ(EncodeDate(2024, 3, 5), Popup->SelectedDate());
    EXPECT_EQ(0, Chosen);
    TRect Clear = Popup->ClearButtonRect();
    EXPECT_GT(Clear.Left, Today.Right);
    Click(TPoint{Clear.Left + 2, Clear.Top + 2});
    EXPECT_EQ(NullDate, Popup->SelectedDate());
    EXPECT_EQ(1, Chosen);
}

TEST_F(CalendarTest, KeysMoveTheSelection) {
    struct Case {
        TDateTime From;
        Word Key;
        TShiftState Shift;
        TDateTime To;
    };
    const Case Cases[] = {
        {EncodeDate(2024, 2, 15), VK_END, {ssCtrl}, EncodeDate(2024, 2, 29)},
        {EncodeDate(2024, 2, 15), VK_HOME, {ssCtrl}, EncodeDate(2024, 2, 1)},
        {EncodeDate(2024, 2, 15), VK_HOME, {}, EncodeDate(2024, 2, 12)},  // the Monday of that week
        {EncodeDate(2024, 2, 15), VK_END, {}, EncodeDate(2024, 2, 18)},
        {EncodeDate(2024, 1, 31), VK_NEXT, {}, EncodeDate(2024, 2, 29)},
        {EncodeDate(2024, 3, 31), VK_PRIOR, {}, EncodeDate(2024, 2, 29)},
        {EncodeDate(2024, 2, 15), VK_DOWN, {}, EncodeDate(2024, 2, 22)},
        {EncodeDate(2024, 3, 1), VK_LEFT, {}, EncodeDate(2024, 2, 29)},
    };
    for (const Case& C : Cases) {
        Show(C.From);
        Key(C.Key, C.Shift);
        EXPECT_EQ(C.To, Popup->SelectedDate()) << C.Key;
    }
    Key(VK_RETURN);
    EXPECT_EQ(1, Chosen);
    EXPECT_FALSE(IsWindowVisible(Popup->Handle()));
}

TEST_F(CalendarTest, MonthListScrollsFasterFurtherAway) {
    Show(EncodeDate(2024, 6, 1));
    TRect Name = Popup->MonthNameRect();
    Popup->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((Name.Left + Name.Right) / 2, (Name.Top + Name.Bottom) / 2));
    ASSERT_NE(nullptr, Popup->MonthList);
    TAMonthListBox* List = Popup->MonthList;
    EXPECT_EQ(EncodeDate(2024, 3, 1), List->FirstMonth);
    List->MouseMove({}, 5, List->ClientHeight() + 4);
    EXPECT_EQ(6u, List->ScrollTimer());  // one step forward, the slowest
    List->MouseMove({}, 5, List->ClientHeight() + 50);
    EXPECT_EQ(9u, List->ScrollTimer());  // four steps: the fastest
    List->MouseMove({}, 5, -50);
    EXPECT_EQ(1u, List->ScrollTimer());
    List->MouseMove({}, 5, List->MonthRowHeight * 2 + 1);
    EXPECT_EQ(0u, List->ScrollTimer());
    EXPECT_EQ(EncodeDate(2024, 5, 1), List->SelectedMonth());
    POINT P{5, List->MonthRowHeight * 2 + 1};
    ::ClientToScreen(List->Handle(), &P);
    ::ScreenToClient(Popup->Handle(), &P);
    Popup->Perform(WM_LBUTTONUP, 0, MAKELPARAM(P.x, P.y));
    EXPECT_EQ(nullptr, Popup->MonthList);
    EXPECT_EQ(EncodeDate(2024, 5, 1), Popup->StartDate());
}
