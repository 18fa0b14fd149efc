// The date popup's unit: the calendar that drops down from the date editor (a month grid with a
// caption, month arrows, a weekday row and Today and Clear buttons), the month list over its
// caption, and the month arithmetic, first day of the week and captions they share.
//
// Start-up: dxGrDateInitialization() loads "Today" and "Clear" and reads the first day of the
// week; dxGrDateFinalization() clears the captions.
#pragma once

#include "dxCntner.h"

#include <string>

// The date that stands for no date.
inline constexpr TDateTime NullDate = -700000.0;

// 0 = Sunday .. 6 = Saturday.
extern Byte FirstWeekDay;
extern std::string TodayCaption, ClearCaption;

void PrevMonth(Word& Year, Word& Month);
void NextMonth(Word& Year, Word& Month);
// N months on (or back for a negative N), the month brought back into 1..12.
void AddMonths(Word& Year, Word& Month, int N);
bool LeapYear(int Year);
int MonthDays(int Year, int Month);
// Day brought into the month: 1 below, the month's last day above.
int ClampDay(int Year, int Month, int Day);
// Kind 1 the year, 2 the month, 3 the day; -1 for any other kind.
int DecodeDatePart(int Kind, TDateTime Date);
// The whole day of a date, robust against representation error near whole numbers.
TDateTime TruncDate(TDateTime D);
// The time of day of a date.
TDateTime TimeOnly(TDateTime D);
// The locale's first day of the week into FirstWeekDay.
void ReadFirstWeekDay();
// The column of a date in a week row that starts at FirstWeekDay: 0..6.
int DayColumn(TDateTime D);

// ---------------------------------------------------------------------------------------------

class TCustomdxCalendar : public TdxInplacePopupControl {
    DECLARE_CLASS(TCustomdxCalendar, TdxInplacePopupControl)
public:
    explicit TCustomdxCalendar(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomdxCalendar>& B);

    virtual TDateTime FirstVisibleDate() { return FStartDate; }
    virtual TDateTime LastVisibleDate() { return LastMonthDate(); }
    virtual TDateTime LastMonthDate() = 0;
    virtual TDateTime SelectedDate();
    virtual TDateTime SelectedEndDate();
    virtual void SetStartDate(TDateTime D);
    virtual void SelectDate(TDateTime D);
    virtual void SetRangeEnd(TDateTime D);
    virtual void MakeSelectionVisible() = 0;
    virtual TDateTime DateAtPoint(TPoint P) = 0;
    virtual void DoDateChosen() { OnDateChosen(this); }

    TDateTime StartDate() const { return FStartDate; }
    TDateTime RangeStart() const { return FRangeStart; }
    TDateTime RangeEnd() const { return FRangeEnd; }
    bool FlatStyle = true;
    TDateTime DragStartDate = NullDate;
    TNotifyEvent OnDateChosen;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

    TDateTime FStartDate = 0;
    TDateTime FRangeStart = 0;
    TDateTime FRangeEnd = 0;
};

class TroDeraDatePopup;

// Seven months over the calendar's caption; scrolls by itself while the mouse is held above or
// below it.
class TAMonthListBox : public TCustomControl {
    DECLARE_CLASS(TAMonthListBox, TCustomControl)
public:
    explicit TAMonthListBox(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TAMonthListBox>& B);

    // The month of the hot row, or NullDate.
    TDateTime SelectedMonth();
    TDateTime FirstMonth = NullDate;
    int MonthRowHeight = 0;
    int HotRow = -1;
    TroDeraDatePopup* Calendar = nullptr;

    void MouseMove(TShiftState Shift, int X, int Y) override;
    UINT_PTR ScrollTimer() const { return FScrollTimer; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }
    void WMDestroy(TMessage& Message);
    void WMTimer(TMessage& Message);
    void CMFontChanged(TMessage& Message);

private:
    void StopScroll();
    UINT_PTR FScrollTimer = 0;
};

class TroDeraDatePopup : public TCustomdxCalendar {
    DECLARE_CLASS(TroDeraDatePopup, TCustomdxCalendar)
public:
    explicit TroDeraDatePopup(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TroDeraDatePopup>& B);

    TDateTime FirstVisibleDate() override;
    TDateTime LastVisibleDate() override;
    TDateTime LastMonthDate() override;
    void SetStartDate(TDateTime D) override;
    void SetRangeEnd(TDateTime D) override;
    void MakeSelectionVisible() override;
    TDateTime DateAtPoint(TPoint P) override;
    void HidePopup() override;
    void UpdatePopupSize();

    // Geometry in client coordinates.
    TRect CaptionRect();
    TRect MonthRect();
    TRect DayGridRect();
    TRect LeftArrowRect();
    TRect RightArrowRect();
    TRect MonthNameRect();
    TRect TodayButtonRect();
    TRect ClearButtonRect();

    bool TodayVisible = true;
    bool ClearVisible = false;
    int DayCellWidth = 0, SideMargin = 0, DayCellHeight = 0, CaptionHeight = 0, WeekdayRowHeight = 0;
    int TodayWidth = 0, ClearWidth = 0, ButtonsTopGap = 0, PushButtonHeight = 0, ButtonBandHeight = 0;
    TAMonthListBox* MonthList = nullptr;
    int MonthListIndex = 0;

    void KeyDown(Word& Key, TShiftState Shift) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMFontChanged(TMessage& Message);
    void WMSizePopup(TMessage& Message);
    void WMTimer(TMessage& Message);
    void WMDestroy(TMessage& Message);
    void WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS; }

private:
    bool ButtonsShown() const { return TodayVisible || ClearVisible; }
    int Frame() const { return FlatStyle ? 0 : 1; }
    void StepMonth(int Delta);
    void OpenMonthList();
    void FreeMonthList();
    void Choose();
    void PaintButton(HDC DC, const TRect& R, const std::string& Caption, bool Pressed);

    UINT_PTR FArrowTimer = 0;
    bool FTodayTracking = false, FTodayDown = false, FClearTracking = false, FClearDown = false;
};

void dxGrDateInitialization();
void dxGrDateFinalization();
