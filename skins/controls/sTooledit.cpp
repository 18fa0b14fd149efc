#include "sTooledit.h"

#include "sComponentState.h"
#include "DateUtils.h"
#include "Forms.h"
#include "sMessages.h"
#include "sMonthCalendar.h"
#include "sPopupClndr.h"
#include "sVclUtils.h"

namespace {
TDateTime Today() { return static_cast<TDateTime>(static_cast<long long>(Now())); }
}  // namespace

TsCustomDateEdit::TsCustomDateEdit(TComponent* AOwner) : TsCustomComboEdit(AOwner) {
    SkinData()->ControlKind = 137;
    FCalendarHints = Create<TStringList>();
    FCalendarHints->OnChange = TNotifyEvent::Bind<&TsCustomDateEdit::CalendarHintsChanged>(this);
    DefaultGlyphIndex = DateGlyph;
    Invalidate();
    SetWidth(86);
    TControlState S = ControlState();
    SetControlState(S + TControlState{csCreating});
    UpdateFormat();
    SetControlState(S);
}

TsCustomDateEdit::~TsCustomDateEdit() {
    Unhook();
    if (FCalendarHints) {
        FCalendarHints->OnChange = TNotifyEvent();
        FreeAndNil(FCalendarHints);
    }
}

void TsCustomDateEdit::DefineClass(TClassBuilder<TsCustomDateEdit>& B) {
    B.Property("BlanksChar", &TsCustomDateEdit::BlanksChar, &TsCustomDateEdit::SetBlanksChar).Default(' ');
    B.Property("CalendarHints", &TsCustomDateEdit::CalendarHints, &TsCustomDateEdit::SetCalendarHints);
    B.Property("CheckOnExit", &TsCustomDateEdit::CheckOnExit, &TsCustomDateEdit::SetCheckOnExit).Default(false);
    B.Property("Date", &TsCustomDateEdit::Date, &TsCustomDateEdit::SetDate).Stored(false);
    B.Property("DefaultToday", &TsCustomDateEdit::DefaultToday, &TsCustomDateEdit::SetDefaultToday).Default(false);
    B.Property("DialogTitle", &TsCustomDateEdit::DialogTitle, &TsCustomDateEdit::SetDialogTitle)
        .Stored(&TsCustomDateEdit::DialogTitleStored);
    B.Property("MaxDate", &TsCustomDateEdit::MaxDate, &TsCustomDateEdit::SetMaxDate).TypeName("TDateTime");
    B.Property("MinDate", &TsCustomDateEdit::MinDate, &TsCustomDateEdit::SetMinDate).TypeName("TDateTime");
    B.Property("PopupAlign", &TsCustomDateEdit::PopupAlign, &TsCustomDateEdit::SetPopupAlign).Default(pwaRight);
    B.Property("PopupWidth", &TsCustomDateEdit::PopupWidth, &TsCustomDateEdit::SetPopupWidth).Default(282);
    B.Property("StartOfWeek", &TsCustomDateEdit::StartOfWeek, &TsCustomDateEdit::SetStartOfWeek)
        .Default(dowLocaleDefault);
    B.Property("Text", &TsCustomDateEdit::Text, &TsCustomDateEdit::SetText)
        .TypeName("TMaskedText")
        .Stored(&TsCustomDateEdit::TextStored);
    B.Property("Weekends", &TsCustomDateEdit::Weekends, &TsCustomDateEdit::SetWeekends)
        .Default(TDaysOfWeek{dowSunday});
    B.Property("WeekendColor", &TsCustomDateEdit::WeekendColor, &TsCustomDateEdit::SetWeekendColor)
        .TypeName("TColor")
        .Default(255);
    B.Property("YearDigits", &TsCustomDateEdit::YearDigits, &TsCustomDateEdit::SetYearDigits).Default(dyFour);
    B.Property("ShowCurrentDate", &TsCustomDateEdit::ShowCurrentDate, &TsCustomDateEdit::SetShowCurrentDate)
        .Default(true);
    B.Property("ShowWeeks", &TsCustomDateEdit::ShowWeeks, &TsCustomDateEdit::SetShowWeeks).Default(false);
    B.Property("ShowTodayBtn", &TsCustomDateEdit::ShowTodayBtn, &TsCustomDateEdit::SetShowTodayBtn).Default(true);
    B.Property("OnAcceptDate", &TsCustomDateEdit::OnAcceptDate, &TsCustomDateEdit::OnAcceptDate);
    B.Property("OnGetCellParams", &TsCustomDateEdit::OnGetCellParams, &TsCustomDateEdit::OnGetCellParams);
    B.Property("OnDrawDay", &TsCustomDateEdit::OnDrawDay, &TsCustomDateEdit::OnDrawDay);
    B.Message<&TsCustomDateEdit::CMExit>(CM_EXIT);
}

TsPopupCalendar* TsCustomDateEdit::PopupCalendar() const { return DynCast<TsPopupCalendar>(Popup); }

// ---------------------------------------------------------------------------------------------
// Format and mask

bool TsCustomDateEdit::IsFourDigitYear() const {
    return FYearDigits == dyFour || (FYearDigits == dyDefault && LocaleHasFourDigitYear);
}

void TsCustomDateEdit::UpdateFormat() { FDateFormat = StandardDateFormat(IsFourDigitYear()); }

std::string TsCustomDateEdit::CurrentMask() const { return StandardDateMask(FBlanksChar, IsFourDigitYear()); }

bool TsCustomDateEdit::TextIsBlank() {
    for (char C : Text())
        if (C != '\0' && C != ' ' && C != FBlanksChar && C != DateSeparator)
            return false;
    return true;
}

void TsCustomDateEdit::UpdateMask() {
    TDateTime D = Date();
    std::string OldFormat = FDateFormat;
    UpdateFormat();
    std::string M = CurrentMask();
    if (M != EditMask() || FDateFormat != OldFormat) {
        SetEditMask("");
        SetEditMask(M);
    }
    UpdateCalendar();
    SetDate(D);
}

void TsCustomDateEdit::SetBlanksChar(char Value) {
    if (Value == FBlanksChar)
        return;
    FBlanksChar = static_cast<unsigned char>(Value) < 32 ? ' ' : Value;
    UpdateMask();
}

void TsCustomDateEdit::SetYearDigits(TYearDigits Value) {
    if (Value == FYearDigits)
        return;
    FYearDigits = Value;
    UpdateMask();
}

void TsCustomDateEdit::SetStartOfWeek(TCalDayOfWeek Value) {
    if (Value == FStartOfWeek)
        return;
    FStartOfWeek = Value;
    UpdateCalendar();
}

void TsCustomDateEdit::SetWeekends(TDaysOfWeek Value) {
    if (Value == FWeekends)
        return;
    FWeekends = Value;
    UpdateCalendar();
}

void TsCustomDateEdit::SetWeekendColor(TColor Value) {
    if (Value == FWeekendColor)
        return;
    FWeekendColor = Value;
    UpdateCalendar();
}

// ---------------------------------------------------------------------------------------------
// The date

TDateTime TsCustomDateEdit::Date() {
    TDateTime Default = FDefaultToday && !Designing(this) ? Today() : EmptyDate;
    // A text of blanks and separators alone is no date: it gives the default.
    if (!Text().empty() && TextIsBlank())
        return Default;
    return DateFromText(FDateFormat, Text(), Default);
}

void TsCustomDateEdit::SetDate(TDateTime Value) {
    if (!IsValidDateTime(Value) || Value == EmptyDate)
        Value = FDefaultToday && !Designing(this) ? Today() : EmptyDate;
    TDateTime Old = Date();
    if (Value != EmptyDate)
        SetText(FormatDateTime(FDateFormat, Value));
    else
        SetText("");
    SetModified(Date() != Old);
    if (Modified())
        SkinData()->BackgroundStale = true;
}

void TsCustomDateEdit::SetMinDate(TDateTime Value) {
    if ((FMaxDate != EmptyDate && Value > FMaxDate) || Value == FMinDate)
        return;
    FMinDate = Value;
    if (Date() < FMinDate)
        SetDate(FMinDate);
}

void TsCustomDateEdit::SetMaxDate(TDateTime Value) {
    if (Value == FMaxDate || Value < FMinDate)
        return;
    FMaxDate = Value;
    if (Date() > FMaxDate)
        SetDate(FMaxDate);
}

void TsCustomDateEdit::AcceptValue(TDateTime Value) {
    SetDate(Value);
    SelectAllText();
}

bool TsCustomDateEdit::CheckValidDate() {
    if (TextIsBlank())
        return false;
    FFormatting = true;
    try {
        TDateTime D;
        if (!TryStrToDate(Text(), D))
            throw EConvertError("Invalid Date");
        SetDate(D);
        FFormatting = false;
        return true;
    } catch (...) {
        FFormatting = false;
        if (CanFocus())
            SetFocus();
        throw;
    }
}

void TsCustomDateEdit::CMExit(TMessage& Message) {
    if (!Designing(this) && FCheckOnExit && CheckValidDate()) {
        if (FMaxDate != EmptyDate && Date() > FMaxDate)
            SetDate(FMaxDate);
        else if (FMinDate != EmptyDate && Date() < FMinDate)
            SetDate(FMinDate);
    }
    InheritedDispatch(StaticClass(), Message);
}

void TsCustomDateEdit::Change() {
    if (!FFormatting)
        TsCustomComboEdit::Change();
}

// ---------------------------------------------------------------------------------------------
// Keys

namespace {
bool IsCalendarKey(Word Key) {
    switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_ADD:
    case VK_SUBTRACT:
        return true;
    default:
        return false;
    }
}
}  // namespace

void TsCustomDateEdit::KeyDown(Word& Key, TShiftState Shift) {
    TsPopupCalendar* P = PopupCalendar();
    if (IsCalendarKey(Key) && IsPopupVisible() && P && P->Calendar()) {
        P->Calendar()->DayGrid->KeyDown(Key, Shift);
        Key = 0;
    } else if (Shift.Empty() && DirectInput() && !ReadOnly() && (Key == VK_ADD || Key == VK_SUBTRACT)) {
        // A read-only date takes no step from the keyboard, as it takes no "T".

        TDateTime D = DateOrDefault(Date(), Now());
        AcceptValue(Key == VK_ADD ? D + 1 : D - 1);
        Key = 0;
    }
    TsCustomComboEdit::KeyDown(Key, Shift);
}

void TsCustomDateEdit::KeyPress(char& Key) {
    bool Special = Key == '+' || Key == '-' || Key == 'T' || Key == 't';
    TsPopupCalendar* P = PopupCalendar();
    if (Special && IsPopupVisible() && P && P->Calendar()) {
        P->Calendar()->DayGrid->KeyPress(Key);
        Key = 0;
    } else if (Special && DirectInput() && !ReadOnly()) {
        // Plus and minus step only on the numeric pad (in KeyDown).
        if (Key == 'T' || Key == 't')
            AcceptValue(Today());
        Key = 0;
    }
    TsCustomComboEdit::KeyPress(Key);
}

// ---------------------------------------------------------------------------------------------
// The popup calendar

void TsCustomDateEdit::PopupDropDown() {
    if (!Popup)
        Popup = TsPopupCalendar::CreatePopup(this);
    TsPopupCalendar* P = PopupCalendar();
    TsMonthCalendar* C = P->Calendar();
    TDateTime D = Date();
    C->SetCalendarDate(D == EmptyDate ? Today() : D);
    C->SetControlStyle(C->ControlStyle() - TControlStyle{csDoubleClicks});
    P->Editor = this;
    UpdateCalendar();
    TsCustomComboEdit::PopupDropDown();
}

void TsCustomDateEdit::UpdateCalendar() {
    TsPopupCalendar* P = PopupCalendar();
    if (!P || !P->Calendar())
        return;
    TsMonthCalendar* C = P->Calendar();
    C->SetStartOfWeek(FStartOfWeek);
    C->SetWeekends(FWeekends);
    C->SetWeekendColor(FWeekendColor);
    C->SetShowWeeks(FShowWeeks);
    C->SetShowTodayBtn(FShowTodayBtn);
    P->SetHeight(FShowTodayBtn ? 144 + 16 : 144);
    C->OnGetCellParams = OnGetCellParams;
    C->OnDrawDay = OnDrawDay;
    TsSkinManager* M = DefaultManager;
    P->SetColor(SkinData()->IsSkinned(false) && M ? M->GetMainColor() : clBtnFace);
    for (int I = 0; I < 4 && I < FCalendarHints->Count(); ++I) {
        C->NavButtons[I]->SetHint(FCalendarHints->Strings(I));
        C->NavButtons[I]->SetShowHint(ShowHint());
    }
}

void TsCustomDateEdit::CalendarHintsChanged(TObject*) {
    FCalendarHints->OnChange = TNotifyEvent();
    while (FCalendarHints->Count() > 4)
        FCalendarHints->Delete(FCalendarHints->Count() - 1);
    FCalendarHints->OnChange = TNotifyEvent::Bind<&TsCustomDateEdit::CalendarHintsChanged>(this);
    if (!Designing(this))
        UpdateCalendar();
}

// ---------------------------------------------------------------------------------------------
// Windows and messages

void TsCustomDateEdit::Loaded() {
    TsCustomComboEdit::Loaded();
    UpdateMask();
}

void TsCustomDateEdit::CreateWnd() {
    TsCustomComboEdit::CreateWnd();
    UpdateMask();
    if (!Designing(this) && !FHooked && Application) {
        Application->HookMainWindow(TWindowHook::Bind<&TsCustomDateEdit::AppHook>(this));
        FHooked = true;
    }
}

void TsCustomDateEdit::DestroyWnd() {
    Unhook();
    TsCustomComboEdit::DestroyWnd();
}

void TsCustomDateEdit::Unhook() {
    if (!FHooked)
        return;
    FHooked = false;
    if (Application)
        Application->UnhookMainWindow(TWindowHook::Bind<&TsCustomDateEdit::AppHook>(this));
}

void TsCustomDateEdit::AppHook(TMessage& Message, bool&) {
    // The hook runs before the application reads the changed settings: they are read here first.
    if (Message.Msg == WM_WININICHANGE) {
        Application->UpdateFormatSettings();
        UpdateMask();
    }
}

void TsCustomDateEdit::WndProc(TMessage& Message) {
    if (Message.Msg == SM_ALPHACMD && SkinData()) {
        Word Code = SkinCommandOf(Message.WParam);
        if ((Code == SKIN_LOADED || Code == SKIN_REMOVED || Code == SKIN_REFRESH) &&
            Message.LParam == reinterpret_cast<LPARAM>(SkinData()->GetSkinManager())) {
            if (auto* P = DynCast<TWinControl>(Popup))
                BroadcastToSkinnedChildren(P, Message);
            UpdateFormat();
            UpdateMask();
        }
    }
    TsCustomComboEdit::WndProc(Message);
}

TsDateEdit::TsDateEdit(TComponent* AOwner) : TsCustomDateEdit(AOwner) {
    SkinData()->ControlKind = 140;
    SetEditMask("!90/90/0000;1; ");
    UpdateMask();
}

void sTooleditInitialization() { RegisterClass(TsDateEdit::StaticClass()); }
