// The date edit: an edit with an embedded button whose popup is the drop-down month calendar. The
// date lives in the text, in the standard date format of the locale (day, month and year in the
// locale's order, four- or two-digit year); Date reads it on every call and SetDate writes it.
// Numeric-pad plus and minus step the date by a day and "T" gives today. The mask and format follow
// the locale: the edit hooks the main window and rebuilds them when the settings change.
//
// Start-up: sTooleditInitialization() registers TsDateEdit for form files.
#pragma once

#include "ComCtrls.h"
#include "sCustomComboEdit.h"
#include "sDateUtils.h"

DECLARE_SET(TDaysOfWeek, TCalDayOfWeek)

using TOnAcceptDate = TMethodOf<TObject*, TDateTime&, bool&>;
DECLARE_EVENT_NAME(TOnAcceptDate)
using TGetCellParams = TMethodOf<TObject*, TDateTime, TFont*, TColor&>;
DECLARE_EVENT_NAME(TGetCellParams)

class TsPopupCalendar;

class TsCustomDateEdit : public TsCustomComboEdit {
    DECLARE_CLASS(TsCustomDateEdit, TsCustomComboEdit)
public:
    explicit TsCustomDateEdit(TComponent* AOwner);
    ~TsCustomDateEdit() override;
    static void DefineClass(TClassBuilder<TsCustomDateEdit>& B);

    char BlanksChar() const { return FBlanksChar; }
    void SetBlanksChar(char Value);
    TStrings* CalendarHints() const { return FCalendarHints; }
    void SetCalendarHints(TStrings* Value) { FCalendarHints->Assign(Value); }
    bool CheckOnExit() const { return FCheckOnExit; }
    void SetCheckOnExit(bool Value) { FCheckOnExit = Value; }
    bool DefaultToday() const { return FDefaultToday; }
    void SetDefaultToday(bool Value) { FDefaultToday = Value; }
    const std::string& DialogTitle() const { return FDialogTitle; }
    void SetDialogTitle(const std::string& Value) { FDialogTitle = Value; }
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    TCalDayOfWeek StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TCalDayOfWeek Value);
    TDaysOfWeek Weekends() const { return FWeekends; }
    void SetWeekends(TDaysOfWeek Value);
    TColor WeekendColor() const { return FWeekendColor; }
    void SetWeekendColor(TColor Value);
    TYearDigits YearDigits() const { return FYearDigits; }
    void SetYearDigits(TYearDigits Value);
    bool ShowCurrentDate() const { return FShowCurrentDate; }
    void SetShowCurrentDate(bool Value) { FShowCurrentDate = Value; }
    bool ShowWeeks() const { return FShowWeeks; }
    void SetShowWeeks(bool Value) { FShowWeeks = Value; }
    bool ShowTodayBtn() const { return FShowTodayBtn; }
    void SetShowTodayBtn(bool Value) { FShowTodayBtn = Value; }
    const std::string& DateFormat() const { return FDateFormat; }
    bool Formatting() const { return FFormatting; }
    TsPopupCalendar* PopupCalendar() const;

    // EmptyDate for an empty text; the default (today with DefaultToday, else EmptyDate) for one
    // that does not read. Never raises.
    TDateTime Date();
    // An invalid value or EmptyDate shows the empty date (or today with DefaultToday).
    void SetDate(TDateTime Value);

    TOnAcceptDate OnAcceptDate;
    TGetCellParams OnGetCellParams;
    TGetCellParams OnDrawDay;

    void WndProc(TMessage& Message) override;
    void PopupDropDown() override;
    virtual void AcceptValue(TDateTime Value);
    virtual void UpdateMask();
    void UpdateFormat();
    void UpdateCalendar();
    bool IsFourDigitYear() const;
    std::string CurrentMask() const;
    bool TextIsBlank();
    // Reads the text with the locale's date reader; raises EConvertError "Invalid Date".
    bool CheckValidDate();

protected:
    void Loaded() override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Change() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    void CMExit(TMessage& Message);
    void CalendarHintsChanged(TObject* Sender);
    void AppHook(TMessage& Message, bool& Handled);
    void Unhook();
    bool DialogTitleStored() const { return !FDialogTitle.empty() && FDialogTitle != "Date select"; }
    bool TextStored() const { return !FDefaultToday; }

    std::string FDialogTitle = "Date select";
    bool FDefaultToday = false;
    bool FCheckOnExit = false;
    char FBlanksChar = ' ';
    TStringList* FCalendarHints = nullptr;
    TCalDayOfWeek FStartOfWeek = dowLocaleDefault;
    TDaysOfWeek FWeekends{dowSunday};
    TColor FWeekendColor = 255;
    TYearDigits FYearDigits = dyFour;
    std::string FDateFormat;
    bool FFormatting = false;
    bool FHooked = false;
    TDateTime FMinDate = EmptyDate;
    TDateTime FMaxDate = EmptyDate;
    bool FShowCurrentDate = true;
    bool FShowWeeks = false;
    bool FShowTodayBtn = true;
};

class TsDateEdit : public TsCustomDateEdit {
    DECLARE_CLASS(TsDateEdit, TsCustomDateEdit)
public:
    explicit TsDateEdit(TComponent* AOwner);
};

void sTooleditInitialization();
