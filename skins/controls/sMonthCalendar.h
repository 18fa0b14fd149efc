// The month calendar: a skinned panel with a title bar (month name and year, four navigation
// buttons, a year and month menu on a press), a day grid of weekday names and day numbers, and an
// optional Today button. CalendarDate is the shown and selected date; Year, Month and Day change
// one part of it and switch UseCurrentDate off; dates that do not exist are refused silently.
//
// Start-up: sMonthCalendarInitialization() reads the Today label of the common controls and
// registers TsMonthCalendar for form files; sMonthCalendarFinalization() releases the labels.
#pragma once

#include "Grids.h"
#include "Menus.h"
#include "sPanel.h"
#include "sSpeedButton.h"
#include "sTooledit.h"

#include <array>

class TsMonthCalendar;

// The label of the common controls' Today button (empty when it cannot be read) and the header of
// the week-number column.
extern std::string TodayLabel;
extern std::string WeekColumnHeader;

// The 0-based number of the Sunday-to-Saturday week of X's year that holds X.
int WeekIndexOfYear(TDateTime X);

class TsCalendGrid : public TDrawGrid {
    DECLARE_CLASS(TsCalendGrid, TDrawGrid)
public:
    explicit TsCalendGrid(TComponent* AOwner);

    TsMonthCalendar* Calendar = nullptr;
    bool Busy = false;

    void WndProc(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    bool IsTodayCell(int ACol, int ARow);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    bool HighlightCell(int ACol, int ARow, const TRect& ARect) override;
    void Click() override;

private:
    void FillWithCalendarBackground(HDC DC, const TRect& R);
    void Resized(int AWidth, int AHeight);
};

class TsMonthCalendar : public TsPanel {
    DECLARE_CLASS(TsMonthCalendar, TsPanel)
public:
    explicit TsMonthCalendar(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TsMonthCalendar>& B);

    TDateTime CalendarDate() const { return FCalendarDate; }
    void SetCalendarDate(TDateTime Value);
    int GetDatePart(int Index) const;
    void SetDatePart(int Index, int Value);
    int Year() const { return GetDatePart(1); }
    void SetYear(int Value) { SetDatePart(1, Value); }
    int Month() const { return GetDatePart(2); }
    void SetMonth(int Value) { SetDatePart(2, Value); }
    int Day() const { return GetDatePart(3); }
    void SetDay(int Value) { SetDatePart(3, Value); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    TCalDayOfWeek StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TCalDayOfWeek Value);
    bool ShowCurrentDate() const { return FShowCurrentDate; }
    void SetShowCurrentDate(bool Value);
    bool ShowSelectAlways() const { return FShowSelectAlways; }
    void SetShowSelectAlways(bool Value);
    bool ShowTitle() const { return FShowTitle; }
    void SetShowTitle(bool Value);
    bool ShowTodayBtn() const { return FShowTodayBtn; }
    void SetShowTodayBtn(bool Value);
    bool ShowWeeks() const { return FShowWeeks; }
    void SetShowWeeks(bool Value);
    bool ShowYearBtns() const { return FShowYearBtns; }
    void SetShowYearBtns(bool Value);
    bool ShowMonthBtns() const { return FShowMonthBtns; }
    void SetShowMonthBtns(bool Value);
    bool UseCurrentDate() const { return FUseCurrentDate; }
    void SetUseCurrentDate(bool Value);
    TColor WeekendColor() const { return FWeekendColor; }
    void SetWeekendColor(TColor Value);
    TDaysOfWeek Weekends() const { return FWeekends; }
    void SetWeekends(TDaysOfWeek Value);
    int MonthOffset() const { return FMonthOffset; }
    bool Updating() const { return FUpdating; }

    TNotifyEvent OnChange;
    TGetCellParams OnGetCellParams;
    TGetCellParams OnDrawDay;  // the date edit's; before OnGetCellParams

    TsCalendGrid* DayGrid = nullptr;
    TsDragBar* TitleBar = nullptr;
    TsSpeedButton* TodayButton = nullptr;
    std::array<TsTimerSpeedButton*, 4> NavButtons{};  // "<<", "<", ">", ">>"
    TPopupMenu* YearMonthMenu = nullptr;

    void WndProc(TMessage& Message) override;
    virtual void UpdateCalendar() { ArrangeDays(false); }
    void ArrangeDays(bool DayOnly);
    // The Today button names the current day ("Today: " and the long date without the system's
    // own label).
    void UpdateTodayCaption();
    void LayoutParts();
    void UpdateNavButtons();
    // 0 Monday .. 6 Sunday.
    int FirstDayOfWeek() const;
    int DaysThisMonth() const;
    int WeekColumns() const { return FShowWeeks ? 1 : 0; }
    std::string CellText(int ACol, int ARow) const;
    bool IsWeekendCol(int ACol) const;
    void PrevMonth() { ChangeMonth(-1); }
    void NextMonth() { ChangeMonth(1); }
    void PrevYear();
    void NextYear();
    // The year and month menu, made on first use and handed to the skinned menus while skinned.
    void BuildYearMonthMenu();
    // The popup form that holds the calendar, or nil.
    class TsPopupCalendar* PopupForm() const;

protected:
    void Loaded() override;
    void CreateWnd() override;
    virtual void Change() { OnChange(this); }

private:
    void ChangeMonth(int Delta);
    void StepYear(int Delta);
    void NavClick(TObject* Sender);
    void TitleDblClick(TObject* Sender);
    void TitleMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void TodayClick(TObject* Sender);
    void YearMonthMenuClick(TObject* Sender);
    void FillYearMonthMenu();
    bool CalendarDateStored() const { return !FUseCurrentDate; }

    TDateTime FCalendarDate = 0;
    int FMonthOffset = 0;
    bool FReadOnly = false;
    TCalDayOfWeek FStartOfWeek = dowLocaleDefault;
    bool FUpdating = false;
    bool FUseCurrentDate = true;
    TDaysOfWeek FWeekends{dowSunday};
    TColor FWeekendColor = 255;
    bool FShowTitle = true;
    bool FShowCurrentDate = true;
    bool FShowWeeks = false;
    bool FShowTodayBtn = false;
    bool FShowSelectAlways = true;
    bool FShowYearBtns = true;
    bool FShowMonthBtns = true;
};

// Colours of the skin's global section and menu items, as the calendar paints with them.
TColor SkinMainFontColor(const TsSkinManager* M);
TColor SkinMenuSelectColor(const TsSkinManager* M);
TColor SkinMenuSelectFontColor(const TsSkinManager* M);

void sMonthCalendarInitialization();
void sMonthCalendarFinalization();
