#include "dxGrDate.h"

#include "DateUtils.h"

#include <algorithm>
#include <cstdlib>

namespace {
TDateTime FirstOfMonth(TDateTime D) { return TruncDate(D) - DecodeDatePart(3, D) + 1; }

// The same day (clamped) Delta months on.
TDateTime ShiftMonths(TDateTime D, int Delta) {
    Word Y, M, Day;
    DecodeDate(D, Y, M, Day);
    AddMonths(Y, M, Delta);
    return EncodeDate(Y, M, ClampDay(Y, M, Day));
}

void FillColour(HDC DC, const TRect& R, TColor C) {
    HBRUSH B = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(C)));
    FillRect(DC, R, B);
    DeleteObject(B);
}

void Line(HDC DC, int X1, int Y1, int X2, int Y2, TColor C) {
    HPEN P = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(C)));
    HGDIOBJ Old = SelectObject(DC, P);
    MoveToEx(DC, X1, Y1, nullptr);
    LineTo(DC, X2, Y2);
    SelectObject(DC, Old);
    DeleteObject(P);
}

void Exclude(HDC DC, const TRect& R) { ExcludeClipRect(DC, R.Left, R.Top, R.Right, R.Bottom); }

std::string MonthCaption(TDateTime D) {
    return FormatSettings.LongMonthNames[DecodeDatePart(2, D)] + " " + std::to_string(DecodeDatePart(1, D));
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomdxCalendar

TCustomdxCalendar::TCustomdxCalendar(TComponent* AOwner) : TdxInplacePopupControl(AOwner) {
    TControlStyle S = ControlStyle();
    S.Include(csDoubleClicks);
    SetControlStyle(S);
    FStartDate = FRangeStart = FRangeEnd = Date();
}

void TCustomdxCalendar::DefineClass(TClassBuilder<TCustomdxCalendar>& B) {
    B.Message<&TCustomdxCalendar::WMEraseBkgnd>(WM_ERASEBKGND);
}

void TCustomdxCalendar::CreateParams(TCreateParams& Params) {
    TdxInplacePopupControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TCustomdxCalendar::CreateWnd() {
    TdxInplacePopupControl::CreateWnd();
    Perform(CM_FONTCHANGED);
}

TDateTime TCustomdxCalendar::SelectedDate() {
    if (FRangeEnd == NullDate)
        return FRangeStart;
    return std::min(FRangeStart, FRangeEnd);
}

TDateTime TCustomdxCalendar::SelectedEndDate() { return std::max(FRangeStart, FRangeEnd); }

void TCustomdxCalendar::SetStartDate(TDateTime D) {
    if (FStartDate != D)
        FStartDate = D;
}

void TCustomdxCalendar::SelectDate(TDateTime D) {
    FRangeStart = D;
    FRangeEnd = NullDate;
    SetRangeEnd(D);
}

void TCustomdxCalendar::SetRangeEnd(TDateTime D) {
    if (D == FRangeEnd)
        return;
    MakeSelectionVisible();
    FRangeEnd = D;
    MakeSelectionVisible();
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// TroDeraDatePopup: geometry and dates

TroDeraDatePopup::TroDeraDatePopup(TComponent* AOwner) : TCustomdxCalendar(AOwner) {
    FStartDate = FirstOfMonth(Date());
    SetBounds(Left(), Top(), 20, 20);
    PopupMode = true;
}

void TroDeraDatePopup::DefineClass(TClassBuilder<TroDeraDatePopup>& B) {
    B.Message<&TroDeraDatePopup::CMFontChanged>(CM_FONTCHANGED);
    B.Message<&TroDeraDatePopup::WMSizePopup>(WM_SIZE);
    B.Message<&TroDeraDatePopup::WMTimer>(WM_TIMER);
    B.Message<&TroDeraDatePopup::WMDestroy>(WM_DESTROY);
    B.Message<&TroDeraDatePopup::WMGetDlgCode>(WM_GETDLGCODE);
}

void TroDeraDatePopup::CreateParams(TCreateParams& Params) {
    TCustomdxCalendar::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.WindowClass.style |= CS_SAVEBITS;
}

void TroDeraDatePopup::CMFontChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    const int W0 = C->TextWidth("0"), H0 = C->TextHeight("0");
    DayCellWidth = 3 * W0;
    SideMargin = 2 * W0;
    DayCellHeight = H0 + 2;
    CaptionHeight = H0 + 4 + (FlatStyle ? 1 : 0);
    WeekdayRowHeight = H0 + 3;
    TodayWidth = C->TextWidth(TodayCaption) + DayCellWidth;
    ClearWidth = C->TextWidth(ClearCaption) + DayCellWidth;
    ButtonsTopGap = Font()->Size() / 2;
    PushButtonHeight = MulDiv(C->TextHeight("Wg"), 20, 13);
    ButtonBandHeight = Font()->Size() * 3 / 4 + PushButtonHeight + ButtonsTopGap;
    if (HandleAllocated())
        SendMessageA(FHandle, WM_SIZE, 0, 0);
}

void TroDeraDatePopup::WMSizePopup(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    UpdatePopupSize();
}

void TroDeraDatePopup::UpdatePopupSize() {
    if (!HandleAllocated() || DayCellWidth == 0)
        return;
    RECT W, C;
    GetWindowRect(FHandle, &W);
    GetClientRect(FHandle, &C);
    const int NewW = (W.right - W.left - C.right) + 2 * SideMargin + 7 * DayCellWidth;
    const int NewH = (W.bottom - W.top - C.bottom) + Frame() + CaptionHeight + WeekdayRowHeight + 6 * DayCellHeight + 1 +
                     (ButtonsShown() ? ButtonBandHeight : 0);
    if (NewW != Width() || NewH != Height())
        SetBounds(Left(), Top(), NewW, NewH);
}

TRect TroDeraDatePopup::CaptionRect() { return TRect{0, 0, ClientWidth(), CaptionHeight}; }

TRect TroDeraDatePopup::MonthRect() {
    const int Top = CaptionHeight + Frame();
    return TRect{0, Top, ClientWidth(), Top + WeekdayRowHeight + 6 * DayCellHeight + 1};
}

TRect TroDeraDatePopup::DayGridRect() {
    TRect M = MonthRect();
    const int Top = M.Top + WeekdayRowHeight;
    return TRect{M.Left + SideMargin, Top, M.Right - SideMargin, Top + 6 * DayCellHeight};
}

TRect TroDeraDatePopup::LeftArrowRect() { return TRect{1, 1, DayCellWidth - 1, CaptionHeight - 1}; }

TRect TroDeraDatePopup::RightArrowRect() {
    return TRect{ClientWidth() - DayCellWidth, 1, ClientWidth() - Frame() - 1, CaptionHeight - 1};
}

TRect TroDeraDatePopup::MonthNameRect() {
    TRect M = MonthRect();
    M.Left += DayCellWidth;
    M.Right -= DayCellWidth + Frame();
    M.Bottom = M.Top - Frame() - 1;
    M.Top = M.Bottom - CaptionHeight + 2;
    return M;
}

TRect TroDeraDatePopup::TodayButtonRect() {
    const int Top = ClientHeight() + ButtonsTopGap - ButtonBandHeight;
    const int Spare = ClientWidth() - TodayWidth - (ClearVisible ? ClearWidth : 0);
    const int Left = Spare / (ClearVisible ? 3 : 2);
    return TRect{Left, Top, Left + TodayWidth, Top + PushButtonHeight};
}

TRect TroDeraDatePopup::ClearButtonRect() {
    const int Top = ClientHeight() + ButtonsTopGap - ButtonBandHeight;
    const int Gap = (ClientWidth() - (TodayVisible ? TodayWidth : 0) - ClearWidth) / (TodayVisible ? 3 : 2);
    const int Left = ClientWidth() - ClearWidth - Gap;
    return TRect{Left, Top, Left + ClearWidth, Top + PushButtonHeight};
}

TDateTime TroDeraDatePopup::FirstVisibleDate() {
    const int C = DayColumn(FStartDate);
    return FStartDate - (C == 0 ? 7 : C);
}

TDateTime TroDeraDatePopup::LastMonthDate() {
    return FStartDate + MonthDays(DecodeDatePart(1, FStartDate), DecodeDatePart(2, FStartDate)) - 1;
}

TDateTime TroDeraDatePopup::LastVisibleDate() {
    const int Days = MonthDays(DecodeDatePart(1, FStartDate), DecodeDatePart(2, FStartDate));
    const int C = DayColumn(FStartDate);
    return LastMonthDate() + 42 - Days - C - (C == 0 ? 7 : 0);
}

void TroDeraDatePopup::SetStartDate(TDateTime D) { TCustomdxCalendar::SetStartDate(FirstOfMonth(D)); }

void TroDeraDatePopup::SetRangeEnd(TDateTime D) {
    if (D != FRangeEnd)
        FRangeStart = D;
    TCustomdxCalendar::SetRangeEnd(D);
}

void TroDeraDatePopup::MakeSelectionVisible() {
    if (FRangeStart == NullDate)
        return;
    if (FirstVisibleDate() > FRangeStart)
        SetStartDate(ShiftMonths(FRangeStart, -1));
    if (LastVisibleDate() < FRangeStart)
        SetStartDate(TruncDate(FRangeStart));
}

TDateTime TroDeraDatePopup::DateAtPoint(TPoint P) {
    if (!ClientRect().Contains(P))
        return NullDate;
    TRect G = DayGridRect();
    if (!G.Contains(P) || DayCellWidth == 0 || DayCellHeight == 0)
        return NullDate;
    const int C = (P.X - G.Left) / DayCellWidth, R = (P.Y - G.Top) / DayCellHeight;
    if (C > 6 || R > 5)
        return NullDate;
    // One month cell: it is both the first and the last month, so the grey days count too.
    TDateTime D = FStartDate - DayColumn(FStartDate) + 7 * R + C;
    if (DayColumn(FStartDate) == 0)
        D -= 7;
    return D;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TroDeraDatePopup::PaintButton(HDC DC, const TRect& Rect, const std::string& Caption, bool Pressed) {
    TRect R = Rect;
    if (Pressed)
        DrawFrameControl(DC, R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    else {
        FillColour(DC, R, clBtnFace);
        Line(DC, R.Left, R.Bottom - 1, R.Right - 1, R.Bottom - 1, clBtnText);
        Line(DC, R.Right - 1, R.Top, R.Right - 1, R.Bottom, clBtnText);
        Line(DC, R.Left + 1, R.Bottom - 2, R.Right - 2, R.Bottom - 2, clBtnShadow);
        Line(DC, R.Right - 2, R.Top + 1, R.Right - 2, R.Bottom - 1, clBtnShadow);
        Line(DC, R.Left + 1, R.Top + 1, R.Right - 2, R.Top + 1, clBtnHighlight);
        Line(DC, R.Left + 1, R.Top + 1, R.Left + 1, R.Bottom - 2, clBtnHighlight);
        SetPixel(DC, R.Right - 2, R.Top + 1, GetSysColor(COLOR_BTNFACE));
    }
    TRect T = R;
    InflateRect(T, -2, -2);
    if (Pressed)
        OffsetRect(T, 1, 1);
    SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(DC, TRANSPARENT);
    DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), T, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Exclude(DC, Rect);
}

void TroDeraDatePopup::Paint() {
    HDC DC = Canvas()->Handle();
    Canvas()->Font()->Assign(Font());
    SelectObject(DC, Canvas()->Font()->Handle());
    const int Saved = SaveDC(DC);
    // Caption with the month arrows and the month's name.
    TRect Caption = CaptionRect();
    if (!FlatStyle)
        Caption.Bottom += 1;
    FillColour(DC, Caption, clBtnFace);
    if (!FlatStyle) {
        Line(DC, Caption.Left, Caption.Bottom - 1, Caption.Right, Caption.Bottom - 1, clBtnText);
        Line(DC, Caption.Right - 1, Caption.Top, Caption.Right - 1, Caption.Bottom, clBtnText);
        Caption.Right -= 1;
    }
    TRect Edge = Caption;
    DrawEdge(DC, Edge, BDR_RAISEDINNER, BF_TOP | BF_BOTTOM | BF_LEFT | BF_RIGHT);
    int S = CaptionHeight / 2;
    if (S % 2 == 0)
        ++S;
    HBRUSH Arrow = GetSysColorBrush(COLOR_BTNTEXT);
    HPEN ArrowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ OldBrush = SelectObject(DC, Arrow), OldPen = SelectObject(DC, ArrowPen);
    const int Mid = CaptionHeight / 2;
    const int LB = SideMargin - 1, RB = ClientWidth() - SideMargin;
    POINT L[3] = {{LB, Mid - S / 2}, {LB, Mid + S / 2}, {LB - S / 2, Mid}};
    POINT R[3] = {{RB, Mid - S / 2}, {RB, Mid + S / 2}, {RB + S / 2, Mid}};
    Polygon(DC, L, 3);
    Polygon(DC, R, 3);
    SelectObject(DC, OldBrush);
    SelectObject(DC, OldPen);
    DeleteObject(ArrowPen);
    const std::string Name = MonthCaption(FStartDate);
    TRect NameRect = Caption;
    InflateRect(NameRect, -1, -1);
    NameRect.Left += DayCellWidth;
    NameRect.Right -= DayCellWidth;
    SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(DC, GetSysColor(COLOR_BTNFACE));
    SIZE Ext;
    GetTextExtentPoint32A(DC, Name.c_str(), static_cast<int>(Name.size()), &Ext);
    ExtTextOutA(DC, (NameRect.Left + NameRect.Right - Ext.cx) / 2, (Caption.Top + Caption.Bottom - Ext.cy) / 2,
                ETO_OPAQUE | ETO_CLIPPED, NameRect, Name.c_str(), static_cast<UINT>(Name.size()), nullptr);
    Exclude(DC, CaptionRect());
    // Weekday row.
    TRect G = DayGridRect();
    TRect Week{G.Left - 8, MonthRect().Top, G.Right + 8, G.Top};
    FillColour(DC, Week, clWindow);
    Line(DC, G.Left, G.Top - 2, G.Right, G.Top - 2, clBtnShadow);
    Line(DC, G.Left, G.Top - 1, G.Right, G.Top - 1, clWindow);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    for (int C = 0; C < 7; ++C) {
        const std::string Day = FormatSettings.ShortDayNames[(FirstWeekDay + C) % 7 + 1].substr(0, 1);
        TRect Cell{G.Left + C * DayCellWidth, Week.Top, G.Left + (C + 1) * DayCellWidth - 3, G.Top - 2};
        DrawTextA(DC, Day.c_str(), static_cast<int>(Day.size()), Cell, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    Exclude(DC, Week);
    // Day cells.
    const TDateTime Today = Date(), First = FirstVisibleDate(), Sel = SelectedDate(), SelEnd = SelectedEndDate();
    for (int Row = 0; Row < 6; ++Row)
        for (int C = 0; C < 7; ++C) {
            const TDateTime D = First + 7 * Row + C;
            TRect Cell{G.Left + C * DayCellWidth, G.Top + Row * DayCellHeight, G.Left + (C + 1) * DayCellWidth,
                       G.Top + (Row + 1) * DayCellHeight};
            const bool Selected = Sel != NullDate && D >= TruncDate(Sel) && D <= TruncDate(SelEnd);
            FillColour(DC, Cell, Selected ? (FlatStyle ? clBtnFace : clHighlight) : clWindow);
            TRect Text = Cell;
            if (D == TruncDate(Today)) {
                HBRUSH Maroon = CreateSolidBrush(RGB(128, 0, 0));
                FrameRect(DC, Cell, Maroon);
                DeleteObject(Maroon);
                InflateRect(Text, -1, -1);
            }
            const bool Grey = D < FStartDate || D > LastMonthDate();
            SetTextColor(DC, GetSysColor(Selected ? COLOR_HIGHLIGHTTEXT : Grey ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
            Text.Right -= 3;
            const std::string Num = std::to_string(DecodeDatePart(3, D));
            DrawTextA(DC, Num.c_str(), static_cast<int>(Num.size()), Text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        }
    Exclude(DC, G);
    if (ButtonsShown()) {
        const int Y = ClientHeight() - ButtonBandHeight - 1;
        Line(DC, SideMargin, Y, ClientWidth() - SideMargin, Y, clBtnShadow);
        Exclude(DC, TRect{SideMargin, Y, ClientWidth() - SideMargin, Y + 1});
        if (TodayVisible)
            PaintButton(DC, TodayButtonRect(), TodayCaption, FTodayTracking && FTodayDown);
        if (ClearVisible)
            PaintButton(DC, ClearButtonRect(), ClearCaption, FClearTracking && FClearDown);
    }
    FillColour(DC, ClientRect(), clWindow);
    RestoreDC(DC, Saved);
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

void TroDeraDatePopup::StepMonth(int Delta) {
    SetStartDate(ShiftMonths(FStartDate, Delta));
    Invalidate();
}

void TroDeraDatePopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TPoint P{X, Y};
    if (Button == mbLeft && ButtonsShown()) {
        if (TodayVisible && TodayButtonRect().Contains(P)) {
            FTodayTracking = FTodayDown = true;
            InvalidateRect(Handle(), TodayButtonRect(), FALSE);
            return;
        }
        if (ClearVisible && ClearButtonRect().Contains(P)) {
            FClearTracking = FClearDown = true;
            InvalidateRect(Handle(), ClearButtonRect(), FALSE);
            return;
        }
        if (Y >= ClientHeight() - ButtonBandHeight)
            return;
    }
    TCustomdxCalendar::MouseDown(Button, Shift, X, Y);
    if (Shift.Contains(ssDouble) || Button != mbLeft)
        return;
    DragStartDate = SelectedDate();
    const TDateTime D = DateAtPoint(P);
    if (D != NullDate)
        SelectDate(D);
    if (MonthNameRect().Contains(P))
        OpenMonthList();
    else if (LeftArrowRect().Contains(P) || RightArrowRect().Contains(P)) {
        const bool Left = LeftArrowRect().Contains(P);
        StepMonth(Left ? -1 : 1);
        if (!FArrowTimer)
            FArrowTimer = SetTimer(Handle(), Left ? 1 : 2, 170, nullptr);
    }
}

void TroDeraDatePopup::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomdxCalendar::MouseMove(Shift, X, Y);
    if (FArrowTimer)
        return;
    const TPoint P{X, Y};
    if (MonthList) {
        POINT Q{X, Y};
        ::ClientToScreen(Handle(), &Q);
        ::ScreenToClient(MonthList->Handle(), &Q);
        MonthList->MouseMove(Shift, Q.x, Q.y);
        return;
    }
    if (FTodayTracking || FClearTracking) {
        bool& Down = FTodayTracking ? FTodayDown : FClearDown;
        const TRect R = FTodayTracking ? TodayButtonRect() : ClearButtonRect();
        if (Down != R.Contains(P)) {
            Down = !Down;
            InvalidateRect(Handle(), R, FALSE);
        }
        return;
    }
    if (!Shift.Contains(ssLeft))
        return;
    const TDateTime D = DateAtPoint(P);
    if (D != NullDate)
        SetRangeEnd(D);
    else if (!ClientRect().Contains(P) && DragStartDate != NullDate)
        SelectDate(DragStartDate);
    Update();
}

void TroDeraDatePopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomdxCalendar::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (FArrowTimer) {
        KillTimer(Handle(), FArrowTimer);
        FArrowTimer = 0;
        return;
    }
    if (MonthList) {
        const TDateTime M = MonthList->SelectedMonth();
        FreeMonthList();
        if (M != NullDate) {
            SetStartDate(ShiftMonths(M, -MonthListIndex));
            Invalidate();
        }
        return;
    }
    const TPoint P{X, Y};
    if (FTodayTracking || FClearTracking) {
        const bool Today = FTodayTracking, Down = Today ? FTodayDown : FClearDown;
        FTodayTracking = FTodayDown = FClearTracking = FClearDown = false;
        Invalidate();
        if (!Down)
            return;
        SelectDate(Today ? Date() : NullDate);
    }
    if (ClientRect().Contains(P))
        Choose();
}

void TroDeraDatePopup::Choose() {
    HidePopup();
    DoDateChosen();
}

void TroDeraDatePopup::WMTimer(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Message.WParam != 1 && Message.WParam != 2)
        return;
    POINT P;
    GetCursorPos(&P);
    ::ScreenToClient(Handle(), &P);
    const TRect Area = Message.WParam == 1 ? LeftArrowRect() : RightArrowRect();
    if (Area.Contains(TPoint{P.x, P.y}))
        StepMonth(Message.WParam == 1 ? -1 : 1);
}

void TroDeraDatePopup::WMDestroy(TMessage& Message) {
    if (FArrowTimer) {
        KillTimer(FHandle, FArrowTimer);
        FArrowTimer = 0;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TroDeraDatePopup::KeyDown(Word& Key, TShiftState Shift) {
    TCustomdxCalendar::KeyDown(Key, Shift);
    const TDateTime D = SelectedDate() == NullDate ? Date() : TruncDate(SelectedDate());
    switch (Key) {
    case VK_RETURN:
        if (!MonthList)
            Choose();
        break;
    case VK_ESCAPE:
    case VK_F4:
        HidePopup();
        break;
    case VK_PRIOR:
    case VK_NEXT:
        SelectDate(ShiftMonths(D, Key == VK_PRIOR ? -1 : 1));
        break;
    case VK_HOME:
        SelectDate(Shift == TShiftState{ssCtrl} ? FirstOfMonth(D) : D - DayColumn(D));
        break;
    case VK_END:
        SelectDate(Shift == TShiftState{ssCtrl} ? FirstOfMonth(D) + MonthDays(DecodeDatePart(1, D), DecodeDatePart(2, D)) - 1
                                                : D - DayColumn(D) + 6);
        break;
    case VK_LEFT:
    case VK_RIGHT:
        SelectDate(D + (Key == VK_LEFT ? -1 : 1));
        break;
    case VK_UP:
    case VK_DOWN:
        if (Shift == TShiftState{ssAlt})
            HidePopup();
        else
            SelectDate(D + (Key == VK_UP ? -7 : 7));
        break;
    default:
        break;
    }
}

void TroDeraDatePopup::HidePopup() {
    if (HandleAllocated() && IsWindowVisible(FHandle)) {
        if (GetCapture() == FHandle)
            ReleaseCapture();
        if (FArrowTimer) {
            KillTimer(FHandle, FArrowTimer);
            FArrowTimer = 0;
        }
        FreeMonthList();
        FTodayTracking = FClearTracking = false;
    }
    TCustomdxCalendar::HidePopup();
}

// ---------------------------------------------------------------------------------------------
// Month list

void TroDeraDatePopup::OpenMonthList() {
    FreeMonthList();
    MonthListIndex = 0;
    MonthList = Create<TAMonthListBox>(this);
    MonthList->Calendar = this;
    MonthList->Font()->Assign(Font());
    MonthList->FirstMonth = ShiftMonths(FStartDate, -3);
    MonthList->Perform(CM_FONTCHANGED);
    TRect N = MonthNameRect();
    POINT Centre{(N.Left + N.Right) / 2, (N.Top + N.Bottom) / 2};
    ::ClientToScreen(Handle(), &Centre);
    MonthList->SetBounds(Centre.x - MonthList->Width() / 2, Centre.y - MonthList->Height() / 2, MonthList->Width(),
                         MonthList->Height());
    ShowWindow(MonthList->Handle(), SW_SHOWNOACTIVATE);
    SetCapture(Handle());
}

void TroDeraDatePopup::FreeMonthList() { FreeAndNil(MonthList); }

TAMonthListBox::TAMonthListBox(TComponent* AOwner) : TCustomControl(AOwner) { SetVisible(false); }

void TAMonthListBox::DefineClass(TClassBuilder<TAMonthListBox>& B) {
    B.Message<&TAMonthListBox::WMEraseBkgnd>(WM_ERASEBKGND);
    B.Message<&TAMonthListBox::WMDestroy>(WM_DESTROY);
    B.Message<&TAMonthListBox::WMTimer>(WM_TIMER);
    B.Message<&TAMonthListBox::CMFontChanged>(CM_FONTCHANGED);
}

void TAMonthListBox::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOPMOST;
    Params.WindowClass.style |= CS_SAVEBITS;
    if (Calendar && Calendar->HandleAllocated())
        Params.WndParent = Calendar->Handle();
}

void TAMonthListBox::CMFontChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!Calendar)
        return;
    MonthRowHeight = Calendar->CaptionHeight - 2;
    SetBounds(Left(), Top(), 2 * GetSystemMetrics(SM_CXBORDER) + 6 * Calendar->DayCellWidth,
              2 * GetSystemMetrics(SM_CYBORDER) + 7 * MonthRowHeight);
}

TDateTime TAMonthListBox::SelectedMonth() { return HotRow < 0 ? NullDate : ShiftMonths(FirstMonth, HotRow); }

void TAMonthListBox::Paint() {
    HDC DC = Canvas()->Handle();
    Canvas()->Font()->Assign(Font());
    SelectObject(DC, Canvas()->Font()->Handle());
    for (int Row = 0; Row < 7; ++Row) {
        TRect R{0, Row * MonthRowHeight, ClientWidth(), (Row + 1) * MonthRowHeight};
        const bool Hot = Row == HotRow;
        FillColour(DC, R, Hot ? clWindowText : clWindow);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Hot ? clWindow : clWindowText)));
        SetBkMode(DC, TRANSPARENT);
        const std::string S = MonthCaption(ShiftMonths(FirstMonth, Row));
        DrawTextA(DC, S.c_str(), static_cast<int>(S.size()), R, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }
}

void TAMonthListBox::StopScroll() {
    if (FScrollTimer && HandleAllocated())
        KillTimer(FHandle, FScrollTimer);
    FScrollTimer = 0;
}

void TAMonthListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (ClientRect().Contains(TPoint{X, Y})) {
        StopScroll();
        const int Row = MonthRowHeight > 0 ? Y / MonthRowHeight : -1;
        if (Row != HotRow) {
            HotRow = Row;
            Invalidate();
        }
        return;
    }
    if (HotRow != -1) {
        HotRow = -1;
        Invalidate();
    }
    if (Y >= 0 && Y < ClientHeight()) {
        StopScroll();
        return;
    }
    // Further above or below scrolls faster: 1 to 4 steps of speed, one every 500 to 50 ms.
    const int Sign = Y < 0 ? -1 : 1;
    const int Distance = Y < 0 ? Y : Y + 1 - ClientHeight();
    const int K = std::clamp(Sign + Distance / 12, -4, 4);
    const UINT_PTR Id = static_cast<UINT_PTR>(K + 5);
    if (FScrollTimer == Id)
        return;
    StopScroll();
    static constexpr UINT Intervals[5] = {0, 500, 250, 100, 50};
    FScrollTimer = SetTimer(Handle(), Id, Intervals[std::abs(K)], nullptr);
}

void TAMonthListBox::WMTimer(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    const TDateTime Old = FirstMonth;
    FirstMonth = ShiftMonths(FirstMonth, Message.WParam < 6 ? -1 : 1);
    if (FirstMonth != Old)
        Invalidate();
}

void TAMonthListBox::WMDestroy(TMessage& Message) {
    StopScroll();
    InheritedDispatch(StaticClass(), Message);
}
