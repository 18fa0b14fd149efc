#include "sMonthCalendar.h"

#include "sComponentState.h"
#include "DateUtils.h"
#include "Forms.h"
#include "sCommonData.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sPopupClndr.h"
#include "sSkinMenus.h"
#include "sVclUtils.h"

#include <algorithm>

std::string TodayLabel;
std::string WeekColumnHeader;

namespace {

struct TYmd {
    int Y, M, D;
};

TYmd Split(TDateTime Value) {
    Word Y, M, D;
    DecodeDate(Value, Y, M, D);
    return TYmd{Y, M, D};
}

// The skin-wide colour only when it is a colour at all.
bool IsRealColor(TColor C) { return C != -1 && C != 0xFF00FF && C != 0xFFFFFF; }

const TsGeneralData* SectionNamed(const TsSkinManager* M, const char* Name) {
    int I = M ? M->FindSectionIndex(Name) : -1;
    return I >= 0 ? &M->SectionList[I] : nullptr;
}

// The calendar's manager when the calendar is skinned (without the active-skin check).
TsSkinManager* SkinningManager(const TsMonthCalendar* C) {
    return C->SkinData()->IsSkinned(false) ? C->SkinData()->GetSkinManager() : nullptr;
}

// Fills R (grid coordinates) with what the calendar shows behind the grid.
void FillFromCalendar(TsCalendGrid* Grid, HDC DC, const TRect& R) {
    ParentBackgroundInfo Info;
    Info.X = 0;
    Info.Y = 0;
    QueryParentBackground(Info, Grid->Calendar, false);
    if (Info.Kind == 2 && Info.Bmp)
        BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Info.Bmp->Canvas()->Handle(),
               Grid->Left() + R.Left + Info.X, Grid->Top() + R.Top + Info.Y, SRCCOPY);
    else
        FillRectSolid(DC, R, Info.Color);
}
}  // namespace

TColor SkinMainFontColor(const TsSkinManager* M) {
    const TsGeneralData* S = SectionNamed(M, "GLOBALINFO");
    return S ? ColorToRGB(S->FontColor[1]) : TColor(0xFF00FF);
}

TColor SkinMenuSelectColor(const TsSkinManager* M) {
    const TsGeneralData* S = SectionNamed(M, "MENUITEM");
    return S && IsRealColor(S->HotColor) ? ColorToRGB(S->HotColor) : clHighlight;
}

TColor SkinMenuSelectFontColor(const TsSkinManager* M) {
    const TsGeneralData* S = SectionNamed(M, "MENUITEM");
    if (S && IsRealColor(S->HotFontColor[1]) && S->HotFontColor[1] != 0 && IsRealColor(S->HotColor))
        return ColorToRGB(S->HotFontColor[1]);
    return clHighlightText;
}

int WeekIndexOfYear(TDateTime X) {
    TDateTime J = EncodeDate(Split(X).Y, 1, 1);
    return (static_cast<int>(X - J) + DayOfWeek(J) - 1) / 7;
}

// ---------------------------------------------------------------------------------------------
// TsCalendGrid

TsCalendGrid::TsCalendGrid(TComponent* AOwner) : TDrawGrid(AOwner) {
    Calendar = DynCast<TsMonthCalendar>(AOwner);
    SetCtl3D(false);
    SetFixedCols(0);
    SetFixedRows(1);
    SetColCount(7);
    SetRowCount(8);
    // The grid keeps its first scrolling column when the fixed ones go: the day columns start at 0.
    SetLeftCol(0);
    SetScrollBars(ssNone);
    SetOptions(TGridOptions{});
    SetAlign(alClient);
    SetTag(-98);
}

void TsCalendGrid::CreateParams(TCreateParams& Params) {
    TDrawGrid::CreateParams(Params);
    // No border: the grid lies flat on the calendar.
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TsCalendGrid::CreateWnd() {
    TDrawGrid::CreateWnd();
    SetDefaultDrawing(false);
    Busy = false;
}

void TsCalendGrid::Paint() {
    if (IsDestroying(this) || Loading(this))
        return;
    TDrawGrid::Paint();
}

void TsCalendGrid::Resized(int AWidth, int AHeight) {
    int SW = Calendar ? Calendar->WeekColumns() : 0;
    if (AWidth / (7 + SW) > 0)
        SetDefaultColWidth(AWidth / (7 + SW));
    if (AHeight / 7 > 0)
        SetDefaultRowHeight(AHeight / 7);
}

bool TsCalendGrid::SelectCell(int ACol, int ARow) {
    if (!Calendar)
        return TDrawGrid::SelectCell(ACol, ARow);
    if (Calendar->ReadOnly() && !Calendar->Updating())
        return false;
    return !Calendar->CellText(ACol, ARow).empty() && TDrawGrid::SelectCell(ACol, ARow);
}

bool TsCalendGrid::HighlightCell(int ACol, int ARow, const TRect& ARect) {
    // The selected day is the current cell: it is drawn selected even without the focus option.
    return (ACol == Col() && ARow == Row()) || TDrawGrid::HighlightCell(ACol, ARow, ARect);
}

void TsCalendGrid::Click() {
    TDrawGrid::Click();
    if (!Calendar)
        return;
    std::string T = Calendar->CellText(Col(), Row());
    if (!T.empty())
        Calendar->SetDay(StrToInt(T));
    Calendar->OnClick(Calendar);
}

bool TsCalendGrid::IsTodayCell(int ACol, int ARow) {
    if (ARow == 0 || !Calendar)
        return false;
    std::string T = Calendar->CellText(ACol, ARow);
    TDateTime D;
    return !T.empty() && TryEncodeDate(Calendar->Year(), Calendar->Month(), StrToInt(T), D) && D == ::Date();
}

void TsCalendGrid::KeyDown(Word& Key, TShiftState Shift) {
    if (!Calendar) {
        TDrawGrid::KeyDown(Key, Shift);
        return;
    }
    TsMonthCalendar* C = Calendar;
    switch (Key) {
    case VK_PRIOR:
        Shift.Contains(ssCtrl) ? C->PrevYear() : C->PrevMonth();
        return;
    case VK_NEXT:
        Shift.Contains(ssCtrl) ? C->NextYear() : C->NextMonth();
        return;
    case VK_LEFT:
    case VK_SUBTRACT:
        if (Shift.Empty()) {
            if (C->Day() < 2)
                C->SetCalendarDate(C->CalendarDate() - 1);
            else
                C->SetDay(C->Day() - 1);
            return;
        }
        break;
    case VK_RIGHT:
    case VK_ADD:
        if (Shift.Empty()) {
            if (C->Day() < C->DaysThisMonth())
                C->SetDay(C->Day() + 1);
            else
                C->SetCalendarDate(C->CalendarDate() + 1);
            return;
        }
        break;
    case VK_UP:
    case VK_DOWN: {
        Shift.Exclude(ssCtrl);
        int OldCol = Col(), OldRow = Row();
        TDrawGrid::KeyDown(Key, Shift);
        // The grid moves its cell without a click: the day follows the cell here.
        if (Col() != OldCol || Row() != OldRow)
            Click();
        return;
    }
    default:
        break;
    }
    TDrawGrid::KeyDown(Key, Shift);
}

void TsCalendGrid::KeyPress(char& Key) {
    if (Calendar && (Key == 'T' || Key == 't')) {
        Calendar->SetCalendarDate(static_cast<TDateTime>(static_cast<long long>(Now())));
        Key = 0;
    }
    TDrawGrid::KeyPress(Key);
}

void TsCalendGrid::FillWithCalendarBackground(HDC DC, const TRect& R) { FillFromCalendar(this, DC, R); }

void TsCalendGrid::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
    case WM_MOUSEMOVE:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        return;
    case WM_SIZE:
        // The columns and rows fill the new size; the framework's own size handling is not run.
        Resized(LOWORD(Message.LParam), HIWORD(Message.LParam));
        return;
    default:
        break;
    }
    TDrawGrid::WndProc(Message);
    if (!Calendar)
        return;
    switch (Message.Msg) {
    case WM_PAINT: {
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        bool Own = DC == nullptr;
        if (Own)
            DC = GetDC(Handle());
        int Saved = SaveDC(DC);
        TRect Strip{ColCount() * DefaultColWidth(), 0, Width(), Height()};
        if (Strip.Width() > 0)
            FillWithCalendarBackground(DC, Strip);
        RestoreDC(DC, Saved);
        if (Own)
            ReleaseDC(Handle(), DC);
        break;
    }
    case WM_LBUTTONUP: {
        TsPopupCalendar* P = Calendar->PopupForm();
        if (P && P->Visible() && !Busy) {
            Busy = true;
            try {
                P->CalendarClick(this);
            } catch (...) {
                Busy = false;
                throw;
            }
            Busy = false;
        }
        break;
    }
    case WM_LBUTTONDBLCLK: {
        TsPopupCalendar* P = Calendar->PopupForm();
        if (Calendar->OnDblClick && Calendar->ControlStyle().Contains(csDoubleClicks) && !(P && P->Editor))
            Calendar->OnDblClick(Calendar);
        break;
    }
    default:
        break;
    }
}

void TsCalendGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TsMonthCalendar* Cal = Calendar;
    if (!Cal)
        return;
    int SW = Cal->WeekColumns();
    bool WeekCol = SW == 1 && ACol == 0;
    std::string T = Cal->CellText(ACol, ARow);
    TCanvas* C = Canvas();
    TRect R2 = ARect;
    if (ACol == SW + 6)
        R2.Right = Width();
    if (ARow == 6)
        R2.Bottom = Height();
    FillWithCalendarBackground(C->Handle(), R2);
    C->Font()->Assign(Font());
    C->Brush()->SetColor(Color());
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetStyle(TFontStyles{});
    R2 = ARect;
    if (!Cal->ShowSelectAlways() && !Focused())
        AState.Exclude(gdSelected);
    TsSkinManager* M = SkinningManager(Cal);
    TRect TextR = ARect;
    bool Today = !WeekCol && Cal->ShowCurrentDate() && IsTodayCell(ACol, ARow);
    if (Today) {
        C->Brush()->SetStyle(bsSolid);
        C->Pen()->SetStyle(psClear);
        TColor B = M ? M->GetMainColor() : ColorToRGB(clBtnFace);
        C->Brush()->SetColor(MixColors(ColorToRGB(Cal->WeekendColor()), B, 0.3));
        C->RoundRect(R2.Left + 1, R2.Top, R2.Right, R2.Bottom + 1, 8, 8);
        C->Font()->SetColor(0xFFFFFF);
        C->Brush()->SetStyle(bsClear);
        C->Font()->SetStyle(TFontStyles{fsBold});
    } else if (Cal->IsWeekendCol(ACol)) {
        C->Font()->SetColor(Cal->WeekendColor());
    } else if (!WeekCol) {
        TColor F = M ? SkinMainFontColor(M) : TColor(0xFF00FF);
        C->Font()->SetColor(F != 0xFF00FF ? F : clWindowText);
    } else {
        if (ARow == 0) {
            C->Font()->SetName("Small Fonts");
            C->Font()->SetSize(6);
        } else {
            C->Font()->SetStyle(TFontStyles{fsBold});
        }
        TColor Grey = M ? MixColors(SkinMainFontColor(M), M->GetMainColor(), 0.3) : clGrayText;
        C->Font()->SetColor(Grey);
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetColor(Grey);
        C->MoveTo(ARect.Right - 1, ARect.Top);
        C->LineTo(ARect.Right - 1, ARect.Bottom);
        TextR.Right -= 3;
    }
    if (AState.Contains(gdSelected)) {
        if (T.empty())
            return;
        C->Font()->SetStyle(TFontStyles{fsBold});
        R2 = TRect{R2.Left + 3, R2.Top + 1, R2.Right - 2, R2.Bottom - 2};
        C->Brush()->SetStyle(bsSolid);
        if (!IsTodayCell(ACol, ARow)) {
            C->Brush()->SetColor(M ? SkinMenuSelectColor(M) : clHighlight);
            C->Font()->SetColor(M ? SkinMenuSelectFontColor(M) : clHighlightText);
            C->FillRect(R2);
        }
        C->Brush()->SetColor(Color());
        C->Brush()->SetStyle(bsClear);
        C->Pen()->SetStyle(psClear);
    }
    if (!WeekCol && ARow >= 1 && ARow <= 6 && !T.empty() && (Cal->OnDrawDay || Cal->OnGetCellParams)) {
        TDateTime D = EncodeDate(Cal->Year(), Cal->Month(), StrToInt(T));
        TColor Background = 0xFF00FF;
        if (Cal->OnDrawDay) {
            TsPopupCalendar* P = Cal->PopupForm();
            Cal->OnDrawDay(P ? P->Editor : nullptr, D, C->Font(), Background);
        } else {
            Cal->OnGetCellParams(this, D, C->Font(), Background);
        }
        if (Background != 0xFF00FF) {
            C->Brush()->SetColor(Background);
            C->Brush()->SetStyle(bsSolid);
        }
    }
    bool Solid = C->Brush()->Style() == bsSolid;
    int X = TextR.Left + (TextR.Right - TextR.Left - C->TextWidth(T)) / 2;
    int Y = TextR.Top + (TextR.Bottom - TextR.Top - C->TextHeight(T)) / 2;
    C->TextRect(TextR, X, Y, T);
    if (AState.Contains(gdSelected) && !Solid && Focused()) {
        TRect F{R2.Left - 1, R2.Top - 1, R2.Right + 1, R2.Bottom + 1};
        C->Brush()->SetStyle(bsClear);
        C->Pen()->SetStyle(psClear);
        C->DrawFocusRect(F);
    }
}

// ---------------------------------------------------------------------------------------------
// TsMonthCalendar

TsMonthCalendar::TsMonthCalendar(TComponent* AOwner) : TsPanel(AOwner) {
    SkinData()->ControlKind = 59;
    SkinData()->SetInUpdate(false);

    TitleBar = Create<TsDragBar>(this);
    TitleBar->SkinData()->SetSkinSection("DRAGBAR");
    TitleBar->SetColor(clActiveCaption);
    TitleBar->OnDblClick = TNotifyEvent::Bind<&TsMonthCalendar::TitleDblClick>(this);
    TitleBar->SkinData()->SetInUpdate(false);
    TitleBar->OnMouseDown = TMouseEvent::Bind<&TsMonthCalendar::TitleMouseDown>(this);
    TitleBar->SetAlign(alTop);
    TitleBar->SetTop(-1);

    auto* Separator = Create<TsPanel>(this);
    Separator->SetAlign(alTop);
    Separator->SetHeight(3);
    Separator->SkinData()->SetSkinSection("CHECKBOX");
    Separator->SetCaption("");
    Separator->SetBevelOuter(bvNone);
    Separator->SetParent(this);

    DayGrid = Create<TsCalendGrid>(this);
    DayGrid->SetParent(this);
    DayGrid->SetParentColor(true);
    DayGrid->OnDblClick = OnDblClick;
    DayGrid->OnClick = OnClick;

    SetBorderWidth(3);
    SetBevelWidth(1);
    SetCaption(" ");
    FCalendarDate = ::Date();
    SetWidth(178);
    SetHeight(139);

    struct TNav {
        TAlign Align;
        const char* Caption;
    } const Navs[] = {{alLeft, "<<"}, {alLeft, "<"}, {alRight, ">"}, {alRight, ">>"}};
    for (int I = 0; I < 4; ++I) {
        auto* B = Create<TsTimerSpeedButton>(this);
        B->SetParent(TitleBar);
        B->SetFlat(true);
        B->SkinData()->SetSkinSection("WEBBUTTON");
        // Buttons of one side line up by their places: "<<" before "<", ">" before ">>" (each one
        // starts beyond the place the one before it has taken).
        B->SetLeft(I * 10000);
        B->SetAlign(Navs[I].Align);
        B->SetCaption(Navs[I].Caption);
        B->OnClick = TNotifyEvent::Bind<&TsMonthCalendar::NavClick>(this);
        NavButtons[I] = B;
    }
    TitleBar->SetParent(this);

    TodayButton = Create<TsSpeedButton>(this);
    TodayButton->SetVisible(false);
    TodayButton->SetAlign(alBottom);
    TodayButton->SetHeight(18);
    TodayButton->SetFlat(true);
    TodayButton->SetAnimatEvents(TacAnimatEvents{});
    TodayButton->SkinData()->SetSkinSection("TOOLBUTTON");
    UpdateTodayCaption();
    TodayButton->Font()->SetStyle(TFontStyles{fsBold});
    TodayButton->OnClick = TNotifyEvent::Bind<&TsMonthCalendar::TodayClick>(this);
    TodayButton->SetParent(this);
}

void TsMonthCalendar::DefineClass(TClassBuilder<TsMonthCalendar>& B) {
    B.Property("OnChange", &TsMonthCalendar::OnChange, &TsMonthCalendar::OnChange);
    B.Property("OnGetCellParams", &TsMonthCalendar::OnGetCellParams, &TsMonthCalendar::OnGetCellParams);
    B.Property("CalendarDate", &TsMonthCalendar::CalendarDate, &TsMonthCalendar::SetCalendarDate)
        .TypeName("TDateTime")
        .Stored(&TsMonthCalendar::CalendarDateStored);
    B.Property("Day", &TsMonthCalendar::Day, &TsMonthCalendar::SetDay).Stored(false);
    B.Property("Month", &TsMonthCalendar::Month, &TsMonthCalendar::SetMonth).Stored(false);
    B.Property("Year", &TsMonthCalendar::Year, &TsMonthCalendar::SetYear).Stored(false);
    B.Property("ReadOnly", &TsMonthCalendar::ReadOnly, &TsMonthCalendar::SetReadOnly).Default(false);
    B.Property("StartOfWeek", &TsMonthCalendar::StartOfWeek, &TsMonthCalendar::SetStartOfWeek)
        .Default(dowLocaleDefault);
    B.Property("ShowCurrentDate", &TsMonthCalendar::ShowCurrentDate, &TsMonthCalendar::SetShowCurrentDate)
        .Default(true);
    B.Property("ShowSelectAlways", &TsMonthCalendar::ShowSelectAlways, &TsMonthCalendar::SetShowSelectAlways)
        .Default(true);
    B.Property("ShowTitle", &TsMonthCalendar::ShowTitle, &TsMonthCalendar::SetShowTitle).Default(true);
    B.Property("ShowTodayBtn", &TsMonthCalendar::ShowTodayBtn, &TsMonthCalendar::SetShowTodayBtn).Default(false);
    B.Property("ShowWeeks", &TsMonthCalendar::ShowWeeks, &TsMonthCalendar::SetShowWeeks).Default(false);
    B.Property("ShowYearBtns", &TsMonthCalendar::ShowYearBtns, &TsMonthCalendar::SetShowYearBtns).Default(true);
    B.Property("ShowMonthBtns", &TsMonthCalendar::ShowMonthBtns, &TsMonthCalendar::SetShowMonthBtns).Default(true);
    B.Property("UseCurrentDate", &TsMonthCalendar::UseCurrentDate, &TsMonthCalendar::SetUseCurrentDate)
        .Default(true);
    B.Property("WeekendColor", &TsMonthCalendar::WeekendColor, &TsMonthCalendar::SetWeekendColor)
        .TypeName("TColor")
        .Default(255);
    B.Property("Weekends", &TsMonthCalendar::Weekends, &TsMonthCalendar::SetWeekends)
        .Default(TDaysOfWeek{dowSunday});
}

TsPopupCalendar* TsMonthCalendar::PopupForm() const { return DynCast<TsPopupCalendar>(Parent()); }

void TsMonthCalendar::UpdateTodayCaption() {
    // Made anew whenever the calendar is laid out or shown, so a calendar kept past midnight names
    // the new day.
    std::string Caption = !TodayLabel.empty() ? TodayLabel + FormatDateTime(" mmmm d, yyyy", ::Date())
                                              : FormatDateTime("\"Today: \" mmmm d, yyyy", ::Date());
    if (TodayButton && TodayButton->Caption() != Caption)
        TodayButton->SetCaption(Caption);
}

void TsMonthCalendar::CreateWnd() {
    TsPanel::CreateWnd();
    UpdateTodayCaption();
    if (FShowTodayBtn)
        TodayButton->SetVisible(true);
    LayoutParts();
    UpdateNavButtons();
}

void TsMonthCalendar::Loaded() {
    TsPanel::Loaded();
    if (TitleBar && TitleBar->Visible()) {
        TitleBar->SkinData()->ManagerRef = SkinData()->ManagerRef;
        for (auto* B : NavButtons)
            B->SkinData()->ManagerRef = SkinData()->ManagerRef;
    }
}

void TsMonthCalendar::WndProc(TMessage& Message) {
    TsPanel::WndProc(Message);
    if (Message.Msg != SM_ALPHACMD || !SkinData())
        return;
    Word Code = SkinCommandOf(Message.WParam);
    if ((Code != SKIN_REMOVED && Code != SKIN_REFRESH) ||
        Message.LParam != reinterpret_cast<LPARAM>(SkinData()->GetSkinManager()))
        return;
    if (TsSkinManager* M = SkinData()->GetSkinManager(); YearMonthMenu && M->SkinnedPopups)
        if (TsSkinableMenus* Menus = SkinableMenusOf(M))
            Menus->HookMenu(YearMonthMenu, Code == SKIN_REFRESH);
    UpdateCalendar();
    DayGrid->Repaint();
    if (FShowTitle && TitleBar->HandleAllocated())
        SendMessageA(TitleBar->Handle(), Message.Msg, Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------------------------------------
// Settings

void TsMonthCalendar::SetStartOfWeek(TCalDayOfWeek Value) {
    if (Value == FStartOfWeek)
        return;
    FStartOfWeek = Value;
    UpdateCalendar();
}

void TsMonthCalendar::SetShowCurrentDate(bool Value) {
    if (Value == FShowCurrentDate)
        return;
    FShowCurrentDate = Value;
    Invalidate();
}

void TsMonthCalendar::SetShowSelectAlways(bool Value) {
    if (Value == FShowSelectAlways)
        return;
    FShowSelectAlways = Value;
    ArrangeDays(false);
}

void TsMonthCalendar::SetShowTitle(bool Value) {
    if (Value == FShowTitle)
        return;
    FShowTitle = Value;
    TitleBar->SetVisible(Value);
    TitleBar->SetParent(Value ? this : nullptr);
}

void TsMonthCalendar::SetShowTodayBtn(bool Value) {
    if (Value == FShowTodayBtn)
        return;
    FShowTodayBtn = Value;
    TodayButton->SetParent(Value ? this : nullptr);
    ArrangeDays(false);
}

void TsMonthCalendar::SetShowWeeks(bool Value) {
    if (Value == FShowWeeks)
        return;
    FShowWeeks = Value;
    DayGrid->SetDefaultColWidth(std::max(1, DayGrid->Width() / (7 + WeekColumns())));
    LayoutParts();
    Invalidate();
}

void TsMonthCalendar::SetShowYearBtns(bool Value) {
    if (Value == FShowYearBtns)
        return;
    FShowYearBtns = Value;
    UpdateNavButtons();
}

void TsMonthCalendar::SetShowMonthBtns(bool Value) {
    if (Value == FShowMonthBtns)
        return;
    FShowMonthBtns = Value;
    UpdateNavButtons();
}

void TsMonthCalendar::SetUseCurrentDate(bool Value) {
    if (Value == FUseCurrentDate)
        return;
    FUseCurrentDate = Value;
    if (Value) {
        FCalendarDate = ::Date();
        UpdateCalendar();
    }
}

void TsMonthCalendar::SetWeekendColor(TColor Value) {
    if (Value == FWeekendColor)
        return;
    FWeekendColor = Value;
    SkinData()->Invalidate();
    if (DayGrid)
        DayGrid->Invalidate();
}

void TsMonthCalendar::SetWeekends(TDaysOfWeek Value) {
    if (Value == FWeekends)
        return;
    FWeekends = Value;
    UpdateCalendar();
}

void TsMonthCalendar::LayoutParts() {
    TodayButton->SetParent(FShowTodayBtn ? this : nullptr);
    if (!DayGrid)
        return;
    DayGrid->SetColCount(7 + WeekColumns());
    DayGrid->SetFixedCols(WeekColumns());
    DayGrid->SetLeftCol(WeekColumns());
    UpdateCalendar();
}

void TsMonthCalendar::UpdateNavButtons() {
    NavButtons[0]->SetVisible(FShowYearBtns);
    NavButtons[3]->SetVisible(FShowYearBtns);
    NavButtons[1]->SetVisible(FShowMonthBtns);
    NavButtons[2]->SetVisible(FShowMonthBtns);
}

// ---------------------------------------------------------------------------------------------
// Dates

int TsMonthCalendar::GetDatePart(int Index) const {
    TYmd P = Split(FCalendarDate);
    switch (Index) {
    case 1: return P.Y;
    case 2: return P.M;
    case 3: return P.D;
    default: return -1;
    }
}

void TsMonthCalendar::SetCalendarDate(TDateTime Value) {
    if (Value == FCalendarDate)
        return;
    TYmd P = Split(Value);
    TDateTime Check;
    if (!TryEncodeDate(P.Y, P.M, P.D, Check))
        return;
    FCalendarDate = Value;
    UpdateCalendar();
    Change();
}

void TsMonthCalendar::SetDatePart(int Index, int Value) {
    if (Value < 1)
        return;
    TYmd P = Split(FCalendarDate);
    switch (Index) {
    case 1:
        if (Value == P.Y)
            return;
        P.Y = Value;
        break;
    case 2:
        if (Value > 12 || Value == P.M)
            return;
        P.M = Value;
        P.D = std::min(P.D, MonthLength(P.Y, Value));
        break;
    case 3:
        if (Value > DaysThisMonth() || Value == P.D)
            return;
        P.D = Value;
        break;
    default:
        return;
    }
    TDateTime D;
    if (!TryEncodeDate(P.Y, P.M, P.D, D))
        return;
    FCalendarDate = D;
    FUseCurrentDate = false;
    ArrangeDays(Index == 3);
    Change();
}

void TsMonthCalendar::ChangeMonth(int Delta) {
    TYmd P = Split(FCalendarDate);
    int S = P.D;
    TDateTime X = EncodeDate(P.Y, P.M, 1);
    if (Delta > 0)
        X = EncodeDate(P.Y, P.M, MonthLength(P.Y, P.M));
    TYmd Q = Split(X + Delta);
    int Length = MonthLength(Q.Y, Q.M);
    TDateTime D;
    if (TryEncodeDate(Q.Y, Q.M, S < Length ? S : Length, D))
        SetCalendarDate(D);
}

void TsMonthCalendar::StepYear(int Delta) {
    if (IsLeapYear(Year()) && Month() == 2 && Day() == 29)
        SetDay(28);
    TDateTime D;
    if (Delta < 0 || TryEncodeDate(Year() + Delta, Month(), Day(), D))
        SetYear(Year() + Delta);
}

void TsMonthCalendar::PrevYear() { StepYear(-1); }
void TsMonthCalendar::NextYear() { StepYear(1); }

int TsMonthCalendar::FirstDayOfWeek() const {
    if (FStartOfWeek != dowLocaleDefault)
        return FStartOfWeek;
    char Buffer[2] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, Buffer, 2);
    int F = Buffer[0] - '0';
    return F >= 0 && F <= 6 ? F : 0;
}

int TsMonthCalendar::DaysThisMonth() const { return MonthLength(Year(), Month()); }

bool TsMonthCalendar::IsWeekendCol(int ACol) const {
    int W = (ACol + FirstDayOfWeek() - WeekColumns()) % 7;
    return W >= 0 && W <= 6 && FWeekends.Contains(static_cast<TCalDayOfWeek>(W));
}

std::string TsMonthCalendar::CellText(int ACol, int ARow) const {
    int SW = WeekColumns();
    bool WeekCol = SW == 1 && ACol == 0;
    if (ARow == 0)
        return WeekCol ? WeekColumnHeader : ShortDayNames[(ACol + FirstDayOfWeek() - SW + 1) % 7 + 1];
    if (!WeekCol) {
        int N = ACol - SW + FMonthOffset + 7 * (ARow - 1);
        return N >= 1 && N <= DaysThisMonth() ? IntToStr(N) : std::string();
    }
    if (ARow > 6)
        return std::string();
    int Y = Year(), M = Month();
    int R = ARow == 1 ? FMonthOffset + 6 : FMonthOffset + 7 * ARow - 6;
    if (FirstDayOfWeek() == 0)
        R -= 1;
    if (R <= 0) {
        // Before the 1st of January the week is the one of the last day of December before it.
        if (--M < 1) {
            M = 12;
            --Y;
        }
        R = MonthLength(Y, M);
    } else if (R > DaysThisMonth()) {
        R -= DaysThisMonth();
        if (++M > 12) {
            M = 1;
            ++Y;
        }
    }
    return IntToStr(WeekIndexOfYear(EncodeDate(Y, M, R)) + 1);
}

void TsMonthCalendar::ArrangeDays(bool DayOnly) {
    UpdateTodayCaption();
    FUpdating = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } Reset{FUpdating};
    TYmd P = Split(FCalendarDate);
    TDateTime First;
    if (!TryEncodeDate(P.Y, P.M, 1, First))
        return;
    int A = (DayOfWeek(First) - FirstDayOfWeek() + 6) % 7;
    FMonthOffset = A == 0 ? -5 : 2 - A;
    if (DayGrid) {
        int SW = WeekColumns();
        DayGrid->MoveColRow((P.D - FMonthOffset) % 7 + SW, (P.D - FMonthOffset) / 7 + 1, false, false);
    }
    if (DayOnly)
        return;
    TitleBar->SetCaption(LongMonthNames[P.M] + " " + IntToStr(P.Y));
    if (DayGrid)
        DayGrid->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Title, buttons and the year and month menu

void TsMonthCalendar::NavClick(TObject* Sender) {
    int Index = static_cast<int>(std::find(NavButtons.begin(), NavButtons.end(), Sender) - NavButtons.begin());
    switch (Index) {
    case 0: PrevYear(); break;
    case 1: PrevMonth(); break;
    case 2: NextMonth(); break;
    case 3: NextYear(); break;
    default: break;
    }
}

void TsMonthCalendar::TitleDblClick(TObject*) { SetCalendarDate(::Date()); }

void TsMonthCalendar::TitleMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    BuildYearMonthMenu();
    TPoint P;
    GetCursorPos(reinterpret_cast<POINT*>(&P));
    YearMonthMenu->Popup(P.X, std::max(0, static_cast<int>(P.Y) - 120));
}

void TsMonthCalendar::TodayClick(TObject*) {
    SetCalendarDate(::Date());
    if (TsPopupCalendar* P = PopupForm())
        P->CalendarClick(this);
}

void TsMonthCalendar::BuildYearMonthMenu() {
    if (!YearMonthMenu)
        FillYearMonthMenu();
    TsSkinManager* M = SkinData() ? SkinData()->GetSkinManager() : nullptr;
    if (M && SkinData()->IsSkinned(false) && M->SkinnedPopups)
        if (TsSkinableMenus* Menus = SkinableMenusOf(M))
            Menus->HookMenu(YearMonthMenu, true);
}

void TsMonthCalendar::FillYearMonthMenu() {
    YearMonthMenu = Create<TPopupMenu>(this);
    int Y = Year(), M = Month();
    auto YearItem = [&](int N, bool Indented) {
        auto* Item = Create<TMenuItem>(YearMonthMenu);
        Item->SetTag(N);
        Item->SetCaption((Indented ? "  " : "") + IntToStr(N));
        if (N == Y) {
            Item->SetDefault(true);
            Item->SetChecked(true);
        }
        for (int I = 1; I <= 12; ++I) {
            auto* MonthItem = Create<TMenuItem>(YearMonthMenu);
            MonthItem->SetCaption(LongMonthNames[I]);
            if (N == Y && I == M) {
                MonthItem->SetDefault(true);
                MonthItem->SetChecked(true);
            }
            MonthItem->OnClick = TNotifyEvent::Bind<&TsMonthCalendar::YearMonthMenuClick>(this);
            Item->Add(MonthItem);
        }
        return Item;
    };
    auto Decade = [&](int N) {
        auto* Item = Create<TMenuItem>(YearMonthMenu);
        Item->SetCaption(IntToStr(N) + ".." + IntToStr(N + 9));
        for (int I = N; I <= N + 9; ++I)
            Item->Add(YearItem(I, false));
        YearMonthMenu->Items()->Add(Item);
    };
    for (int N = Y - 54; N < Y - 4; N += 10)
        Decade(N);
    for (int N = Y - 4; N <= Y + 5; ++N)
        YearMonthMenu->Items()->Add(YearItem(N, true));
    for (int N = Y + 6; N < Y + 46; N += 10)
        Decade(N);
}

void TsMonthCalendar::YearMonthMenuClick(TObject* Sender) {
    auto* Item = As<TMenuItem>(Sender);
    if (!Item->Parent())
        return;
    SetYear(Item->Parent()->Tag());
    SetMonth(Item->MenuIndex() + 1);
}

void sMonthCalendarInitialization() {
    TodayLabel.clear();
    if (HMODULE Lib = LoadLibraryA("comctl32.dll")) {
        char Buffer[256] = {};
        if (LoadStringA(Lib, 4163, Buffer, sizeof(Buffer)) > 0)
            TodayLabel = Buffer;
        FreeLibrary(Lib);
    }
    WeekColumnHeader = "\xB9/w";
    RegisterClass(TsMonthCalendar::StaticClass());
}

void sMonthCalendarFinalization() {
    TodayLabel.clear();
    WeekColumnHeader.clear();
}
