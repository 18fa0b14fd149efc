#include "sSpinEdit.h"

#include "sComponentState.h"
#include "DateUtils.h"
#include "SysUtils.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

#include <algorithm>
#include <cmath>


namespace {
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
LRESULT Command(TControl* C, Word Code, LPARAM LParam = 0) {
    return C->Perform(SM_ALPHACMD, SkinCommandParam(Code), LParam);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// One half of the pair

TsSpinTimerButton::TsSpinTimerButton(TComponent* AOwner) : TsSpeedButton(AOwner) {
    Owner = DynCast<TsSpinButton>(AOwner);
}

// The hold timer is owned as a component: it goes with the button.

void TsSpinTimerButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TsSpeedButton::MouseDown(Button, Shift, X, Y);
    SetDown(true);
    if ((HoldFlags & RepeatWhileHeld) == 0)
        return;
    if (!HoldTimer)
        HoldTimer = Create<TTimer>(this);
    HoldTimer->SetOnTimer(TNotifyEvent::Bind<&TsSpinTimerButton::HoldTick>(this));
    HoldTimer->SetInterval(400);
    HoldTimer->SetEnabled(true);
}

void TsSpinTimerButton::HoldTick(TObject*) {
    HoldTimer->SetInterval(100);
    if (!MouseCapture())
        return;
    try {
        Click();
    } catch (...) {
        HoldTimer->SetEnabled(false);
        throw;
    }
}

void TsSpinTimerButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetDown(false);
    TsSpeedButton::MouseUp(Button, Shift, X, Y);
    if (HoldTimer)
        HoldTimer->SetEnabled(false);
}

void TsSpinTimerButton::Paint() {
    if (IsDestroying(this) || Loading(this))
        return;
    TsSpeedButton::Paint();
    if ((HoldFlags & ShowFocusFrame) == 0)
        return;
    TRect R{3, 3, Width() - 3, Height() - 3};
    if (Down()) {
        R.Left += 1;
        R.Top += 1;
        R.Right += 1;
        R.Bottom += 1;
    }
    Canvas()->DrawFocusRect(R);
}

void TsSpinTimerButton::PaintGlyph() {
    if (!Glyph()->Empty()) {
        TsSpeedButton::PaintGlyph();
        return;
    }
    TsCommonData* D = SkinData();
    bool Skinned = D->IsSkinned(false);
    TColor C;
    if (!Skinned) {
        C = Enabled() ? Font()->Color() : clGrayText;
    } else {
        const TsSkinManager* M = D->GetSkinManager();
        int Section = D->SectionIndex;
        if (CurrentState() == 0 && Owner && Owner->Owner)
            Section = Owner->Owner->SkinData()->SectionIndex;
        C = M->SectionIndexInRange(Section) ? M->SectionList[Section].FontColor[0] : Font()->Color();
    }
    C = ColorToRGB(C);
    TCanvas* Canvas = Skinned ? D->CacheBitmap->Canvas() : this->Canvas();
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetColor(C);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(C);
    int X0 = (Width() - 9) / 2, Y0 = (Height() - 5) / 2;
    if (Up)
        Canvas->Polygon({TPoint{X0 + 1, Y0 + 4}, TPoint{X0 + 7, Y0 + 4}, TPoint{X0 + 4, Y0 + 1}});
    else
        Canvas->Polygon({TPoint{X0 + 1, Y0 + 1}, TPoint{X0 + 7, Y0 + 1}, TPoint{X0 + 4, Y0 + 4}});
}

void TsSpinTimerButton::PaintTo(HDC DC, TPoint Point) {
    PrepareCache();
    TBitmap* Cache = SkinData()->CacheBitmap;
    BitBlt(DC, Point.X, Point.Y, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// The button pair

TsSpinButton::TsSpinButton(TComponent* AOwner) : TWinControl(AOwner) {
    TControlStyle S = ControlStyle();
    S.Exclude(csAcceptsControls);
    S.Exclude(csSetCaption);
    SetControlStyle(S);
    Owner = DynCast<TsBaseSpinEdit>(AOwner);
    UpHalf = MakeHalf(true);
    DownHalf = MakeHalf(false);
    ResetGlyphs();
    SetWidth(18);
    ActiveHalf = UpHalf;
}

void TsSpinButton::DefineClass(TClassBuilder<TsSpinButton>& B) {
    B.Property("DownGlyph", &TsSpinButton::DownGlyph, &TsSpinButton::SetDownGlyph);
    B.Property("UpGlyph", &TsSpinButton::UpGlyph, &TsSpinButton::SetUpGlyph);
    B.Property("FocusControl", &TsSpinButton::FocusControl, &TsSpinButton::SetFocusControl);
    B.Property("OnUpClick", &TsSpinButton::OnUpClick, &TsSpinButton::OnUpClick);
    B.Property("OnDownClick", &TsSpinButton::OnDownClick, &TsSpinButton::OnDownClick);
    B.Message<&TsSpinButton::WMSize>(WM_SIZE);
    B.Message<&TsSpinButton::WMSetFocus>(WM_SETFOCUS);
    B.Message<&TsSpinButton::WMKillFocus>(WM_KILLFOCUS);
    B.Message<&TsSpinButton::WMGetDlgCode>(WM_GETDLGCODE);
}

TsSpinTimerButton* TsSpinButton::MakeHalf(bool IsUp) {
    auto* H = Create<TsSpinTimerButton>(this);
    H->Up = IsUp;
    H->SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
    H->SetParent(this);
    H->OnClick = TNotifyEvent::Bind<&TsSpinButton::HalfClicked>(this);
    H->SetNumGlyphs(1);
    H->OnMouseDown = TMouseEvent::Bind<&TsSpinButton::HalfPressed>(this);
    H->SetVisible(true);
    H->SetEnabled(true);
    H->SetFlat(false);
    H->SetTransparent(true);
    H->HoldFlags = RepeatWhileHeld;
    return H;
}

void TsSpinButton::ResetGlyphs() {
    UpHalf->Glyph()->Assign(nullptr);
    DownHalf->Glyph()->Assign(nullptr);
}

void TsSpinButton::SetFocusControl(TWinControl* Value) {
    if (Value == FFocusControl)
        return;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TsSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TsSpinButton::FitHalves(int& W, int& H) {
    if (!UpHalf || Loading(this) || H == 0)
        return;
    W = std::max(W, 15);
    UpHalf->SetBounds(0, 0, W, H / 2);
    DownHalf->SetBounds(0, UpHalf->Height(), W, H - UpHalf->Height());
}

void TsSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    FitHalves(AWidth, AHeight);
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TsSpinButton::WMSize(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    // The message's size is the new one: the framework takes the bounds only after it.
    int W = LOWORD(Message.LParam), H = HIWORD(Message.LParam);
    int NewW = W, NewH = H;
    FitHalves(NewW, NewH);
    if (NewW != W || NewH != H)
        SetBounds(Left(), Top(), NewW, NewH);
    Message.Result = 0;
}

void TsSpinButton::Loaded() {
    TWinControl::Loaded();
    int W = Width(), H = Height();
    FitHalves(W, H);
    if (W != Width() || H != Height())
        SetBounds(Left(), Top(), W, H);
    if (Owner) {
        UpHalf->SkinData()->SetSkinManager(Owner->SkinData()->ManagerRef);
        DownHalf->SkinData()->SetSkinManager(Owner->SkinData()->ManagerRef);
    }
}

void TsSpinButton::HalfClicked(TObject* Sender) {
    if (Sender == UpHalf)
        OnUpClick(this);
    else if (Sender == DownHalf)
        OnDownClick(this);
}

void TsSpinButton::SetActiveHalf(TsSpinTimerButton* Half) {
    if (!TabStop() || !CanFocus() || Half == ActiveHalf)
        return;
    ActiveHalf->HoldFlags &= ~ShowFocusFrame;
    ActiveHalf = Half;
    if (Focused()) {
        ActiveHalf->HoldFlags |= ShowFocusFrame;
        Invalidate();
    }
}

void TsSpinButton::HalfPressed(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
    if (Button != mbLeft)
        return;
    SetActiveHalf(static_cast<TsSpinTimerButton*>(Sender));
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TsSpinButton::WMSetFocus(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    ActiveHalf->HoldFlags |= ShowFocusFrame;
    ActiveHalf->Invalidate();
}

void TsSpinButton::WMKillFocus(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    ActiveHalf->HoldFlags &= ~ShowFocusFrame;
    ActiveHalf->Invalidate();
}

void TsSpinButton::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TsSpinButton::WndProc(TMessage& Message) {
    if (Message.Msg == SM_ALPHACMD && Owner) {
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_GETSTALE:
            Message.Result = Owner->SkinData()->InUpdate ? 1 : 0;
            return;
        case SKIN_GETBACKGROUND: {
            auto& Info = *reinterpret_cast<ParentBackgroundInfo*>(Message.LParam);
            TBitmap* Cache = Owner->SkinData()->CacheBitmap;
            if (Cache) {
                Info.Kind = 2;
                Info.Bmp = Cache;
                Info.X = Left() + 2;
                Info.Y = Top() + 2;
            } else {
                Info.Kind = 1;
            }
            Info.Color = static_cast<TColor>(Command(Owner, SKIN_GETBGCOLOR, 0));
            return;
        }
        default:
            break;
        }
    }
    TWinControl::WndProc(Message);
    if (Message.Msg == CM_ENABLEDCHANGED)
        ResetGlyphs();
}

void TsSpinButton::PaintTo(HDC DC, TPoint Point) {
    UpHalf->PaintTo(DC, Point);
    DownHalf->PaintTo(DC, TPoint{Point.X, Point.Y + UpHalf->Height()});
}

// ---------------------------------------------------------------------------------------------
// TsBaseSpinEdit

TsBaseSpinEdit::TsBaseSpinEdit(TComponent* AOwner) : TsEdit(AOwner) {
    TControlStyle S = ControlStyle();
    S.Exclude(csSetCaption);
    S.Include(csAcceptsControls);
    SetControlStyle(S);
    FButtonPair = Create<TsSpinButton>(this);
    FButtonPair->SetVisible(false);
    FButtonPair->SetParent(this);
    FButtonPair->SetFocusControl(this);
    FButtonPair->OnUpClick = TNotifyEvent::Bind<&TsBaseSpinEdit::PairUpClick>(this);
    FButtonPair->OnDownClick = TNotifyEvent::Bind<&TsBaseSpinEdit::PairDownClick>(this);
    FButtonPair->ResetGlyphs();
    FButtonPair->SetVisible(true);
    S.Exclude(csAcceptsControls);
    SetControlStyle(S);
}

TsBaseSpinEdit::~TsBaseSpinEdit() { FButtonPair = nullptr; }

void TsBaseSpinEdit::DefineClass(TClassBuilder<TsBaseSpinEdit>& B) {
    B.Property("Alignment", &TsBaseSpinEdit::Alignment, &TsBaseSpinEdit::SetAlignment).Default(taLeftJustify);
    B.Property("EditorEnabled", &TsBaseSpinEdit::EditorEnabled, &TsBaseSpinEdit::SetEditorEnabled).Default(true);
    B.Property("OnUpClick", &TsBaseSpinEdit::OnUpClick, &TsBaseSpinEdit::OnUpClick);
    B.Property("OnDownClick", &TsBaseSpinEdit::OnDownClick, &TsBaseSpinEdit::OnDownClick);
}

void TsBaseSpinEdit::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TsBaseSpinEdit::GetChildren(const TGetChildProc&, TComponent*) {}

void TsBaseSpinEdit::CreateParams(TCreateParams& Params) {
    TsEdit::CreateParams(Params);
    static const DWORD AlignStyles[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN | AlignStyles[FAlignment];
}

void TsBaseSpinEdit::CreateWnd() {
    TsEdit::CreateWnd();
    SetEditRect();
}

void TsBaseSpinEdit::Loaded() {
    TsEdit::Loaded();
    FButtonPair->ResetGlyphs();
    SetEditRect();
}

void TsBaseSpinEdit::SetEditRect() {
    if (!HandleAllocated())
        return;
    RECT R;
    SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
    R = RECT{0, 0, Width() - FButtonPair->Width() - 3, ClientHeight() + 1};
    SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&R));
    SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
}

void TsBaseSpinEdit::PlaceButtonPair() {
    FButtonPair->SetBounds(Width() - FButtonPair->Width() - 4, 0, FButtonPair->Width(), Height() - 4);
    SetEditRect();
}

bool TsBaseSpinEdit::IsValidChar(char Key) {
    bool Valid = Key == '+' || Key == '-' || IsDigit(Key) || Key == FormatSettings.DecimalSeparator ||
                 (static_cast<unsigned char>(Key) < 32 && Key != '\r');
    if (!FEditorEnabled && Valid && (Key == '\b' || static_cast<unsigned char>(Key) >= 32))
        Valid = false;
    return Valid;
}

void TsBaseSpinEdit::KeyPress(char& Key) {
    if (!IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (Key != 0)
        TsEdit::KeyPress(Key);
}

void TsBaseSpinEdit::KeyDown(Word& Key, TShiftState Shift) {
    TsEdit::KeyDown(Key, Shift);
    if (Key == VK_UP)
        UpClick(this);
    else if (Key == VK_DOWN)
        DownClick(this);
    if (Key != 0)
        SetEditRect();
}

void TsBaseSpinEdit::WndProc(TMessage& Message) {
    if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!FEditorEnabled || ReadOnly()))
        return;
    TsEdit::WndProc(Message);
    TsCommonData* D = SkinData();
    if (!D || !FButtonPair)
        return;
    switch (Message.Msg) {
    case SM_ALPHACMD:
        switch (Word Code = SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
        case SKIN_REMOVED:
        case SKIN_REFRESH:
            if (Message.LParam != reinterpret_cast<LPARAM>(D->GetSkinManager()))
                break;
            for (TsSpinTimerButton* H : {FButtonPair->UpHalf, FButtonPair->DownHalf}) {
                H->Perform(Message.Msg, Message.WParam, Message.LParam);
                if (Code == SKIN_LOADED)
                    H->SetEnabled(true);
                else
                    H->Invalidate();
            }
            FButtonPair->ResetGlyphs();
            SetEditRect();
            break;
        case SKIN_ENDUPDATE:
            FButtonPair->Repaint();
            break;
        case SKIN_GETBGCOLOR:
            Message.Result = D->GetBackgroundColor(0, nullptr);
            if (!Enabled())
                Message.Result = MixColors(GetControlBgColor(Parent()), static_cast<TColor>(Message.Result), 0.5);
            break;
        case SKIN_GETBACKGROUND:
            D->FillParentBackgroundInfo(*reinterpret_cast<ParentBackgroundInfo*>(Message.LParam), 0, nullptr);
            break;
        default:
            break;
        }
        break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:  // the framework takes the new bounds only after the window's WM_SIZE
        PlaceButtonPair();
        break;
    case CM_FONTCHANGED:
        SetEditRect();
        break;
    case WM_SETFOCUS:
        if (AutoSelect())
            SelectAll();
        break;
    case WM_PAINT:
        if (D->IsSkinned(false)) {
            D->SetInUpdate(D->IsUpdating());
            if (!D->InUpdate && Enabled())
                for (TsSpinTimerButton* H : {FButtonPair->UpHalf, FButtonPair->DownHalf}) {
                    Command(H, SKIN_ANIMDONE);
                    H->SkinData()->BackgroundStale = true;
                }
        }
        break;
    case CM_ENABLEDCHANGED:
        FButtonPair->SetEnabled(Enabled());
        if (D->IsSkinned(false)) {
            FButtonPair->SetVisible(Enabled());
        } else {
            FButtonPair->UpHalf->SetEnabled(Enabled());
            FButtonPair->DownHalf->SetEnabled(Enabled());
        }
        break;
    case CM_COLORCHANGED:
        if (D->CustomColor())
            PrepareCache();
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        for (TsSpinTimerButton* H : {FButtonPair->UpHalf, FButtonPair->DownHalf}) {
            H->SkinData()->MouseOver = false;
            Command(H, SKIN_ANIMDONE);
            H->Redraw();
        }
        break;
    default:
        break;
    }
}

void TsBaseSpinEdit::PrepareCache() {
    TsCommonData* D = SkinData();
    if (!Enabled()) {
        D->PrepareCacheBitmap();
        int B = BorderStyle() != bsNone ? (Ctl3D() ? 1 : 0) + 1 : 0;
        TCanvas* C = D->CacheBitmap->Canvas();
        C->Lock();
        FButtonPair->PaintTo(C->Handle(), TPoint{B + FButtonPair->Left(), B + FButtonPair->Top()});
        C->Unlock();
    }
    TsEdit::PrepareCache();
}

void TsBaseSpinEdit::PaintText() {
    if (FAlignment == taLeftJustify) {
        TsEdit::PaintText();
        return;
    }
    TCanvas* Canvas = SkinData()->CacheBitmap->Canvas();
    Canvas->Font()->Assign(Font());
    int T = TextInset();
    std::string S = Text();
    if (PasswordChar() != '\0')
        S.assign(S.size(), PasswordChar());
    WriteControlText(Canvas, S, true, SkinData()->IsHotState(), SkinData(),
                     DT_SINGLELINE | DT_NOPREFIX | (AlignmentTextFlags(this, FAlignment) & ~static_cast<UINT>(DT_VCENTER)),
                     Rect(T + 1, T + 1, Width() - T - FButtonPair->Width(), Height() - T));
}

// ---------------------------------------------------------------------------------------------
// TsSpinEdit

TsSpinEdit::TsSpinEdit(TComponent* AOwner) : TsBaseSpinEdit(AOwner) {}

void TsSpinEdit::DefineClass(TClassBuilder<TsSpinEdit>& B) {
    B.Property("Increment", &TsSpinEdit::Increment, &TsSpinEdit::SetIncrement).Default(1);
    B.Property("MaxValue", &TsSpinEdit::MaxValue, &TsSpinEdit::SetMaxValue).NoDefault();
    B.Property("MinValue", &TsSpinEdit::MinValue, &TsSpinEdit::SetMinValue).NoDefault();
    B.Property("Value", &TsSpinEdit::GetValue, &TsSpinEdit::SetValue).NoDefault();
    B.Message<&TsSpinEdit::CMExit>(CM_EXIT);
}

int TsSpinEdit::GetValue() {
    std::string S = Text();
    LongInt V;
    if (S.empty() || !TryStrToInt(S, V))
        return FMinValue;
    return V;
}

void TsSpinEdit::SetValue(int Value) {
    if (Loading(this))
        return;
    SetText(IntToStr(CheckValue(Value)));
}

int TsSpinEdit::CheckValue(int Value) const {
    if (FMinValue == FMaxValue)
        return Value;
    return Value < FMinValue ? FMinValue : Value > FMaxValue ? FMaxValue : Value;
}

bool TsSpinEdit::IsValidChar(char Key) {
    bool Valid = IsDigit(Key) || (static_cast<unsigned char>(Key) < 32 && Key != '\r');
    if (!EditorEnabled() && Valid && (Key == '\b' || static_cast<unsigned char>(Key) >= 32))
        Valid = false;
    return Valid;
}

void TsSpinEdit::UpClick(TObject*) {
    if (ReadOnly())
        MessageBeep(0);
    else if (OnUpClick)
        OnUpClick(this);
    else
        SetValue(GetValue() + FIncrement);
}

void TsSpinEdit::DownClick(TObject*) {
    if (ReadOnly())
        MessageBeep(0);
    else if (OnDownClick)
        OnDownClick(this);
    else
        SetValue(GetValue() - FIncrement);
}

bool TsSpinEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    TsBaseSpinEdit::DoMouseWheel(Shift, WheelDelta, MousePos);
    if (ReadOnly())
        return false;
    SetValue(GetValue() + WheelDelta / 120 * FIncrement);
    return true;
}

void TsSpinEdit::CMExit(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    int V = GetValue();
    if (CheckValue(V) != V)
        SetValue(V);
}

// ---------------------------------------------------------------------------------------------
// TsTimePicker

TsTimePicker::TsTimePicker(TComponent* AOwner) : TsBaseSpinEdit(AOwner) {}

void TsTimePicker::DefineClass(TClassBuilder<TsTimePicker>& B) {
    B.Property("Date", &TsTimePicker::GetTime, &TsTimePicker::SetTime).TypeName("TDateTime").NoDefault();
    B.Property("Value", &TsTimePicker::GetTime, &TsTimePicker::SetTime).TypeName("TDateTime").NoDefault();
    B.Property("Time", &TsTimePicker::GetTime, &TsTimePicker::SetTime).TypeName("TDateTime").NoDefault();
    B.Property("DoBeep", &TsTimePicker::DoBeep, &TsTimePicker::SetDoBeep).Default(false);
    B.Property("ShowSeconds", &TsTimePicker::ShowSeconds, &TsTimePicker::SetShowSeconds).Default(true);
    B.Property("Use12Hour", &TsTimePicker::Use12Hour, &TsTimePicker::SetUse12Hour).Default(false);
    B.Message<&TsTimePicker::CMExit>(CM_EXIT);
}

std::string TsTimePicker::FormatTime() const {
    char Buf[16];
    if (FShowSeconds)
        std::snprintf(Buf, sizeof Buf, "%02d:%02d:%02d", Hour, Minute, Second);
    else
        std::snprintf(Buf, sizeof Buf, "%02d:%02d", Hour, Minute);
    return Buf;
}

TDateTime TsTimePicker::GetTime() {
    std::string S = Text();
    if (static_cast<int>(S.size()) != FullLength())
        return 0;
    LongInt H, M, Sec = 0;
    if (!TryStrToInt(S.substr(0, 2), H) || !TryStrToInt(S.substr(3, 2), M) ||
        (FShowSeconds && !TryStrToInt(S.substr(6, 2), Sec)))
        return 0;
    if (H < 0 || H > 23 || M < 0 || M > 59 || Sec < 0 || Sec > 59)
        return 0;
    Hour = static_cast<Word>(H);
    Minute = static_cast<Word>(M);
    Second = static_cast<Word>(Sec);
    return (H * 3600000.0 + M * 60000.0 + Sec * 1000.0) / 86400000.0;
}

void TsTimePicker::SetTime(TDateTime Value) {
    long long Ms = std::llround(std::fabs(Value) * 86400000.0) % 86400000LL;
    Hour = static_cast<Word>(Ms / 3600000);
    Minute = static_cast<Word>(Ms / 60000 % 60);
    Second = static_cast<Word>(Ms / 1000 % 60);
    if (!Loading(this))
        SetText(FormatTime());
}

void TsTimePicker::SetShowSeconds(bool Value) {
    if (Value == FShowSeconds)
        return;
    TDateTime T = GetTime();
    FShowSeconds = Value;
    SetTime(T);
    if (!Loading(this) && Visible())
        Repaint();
}

void TsTimePicker::SetUse12Hour(bool Value) {
    FUse12Hour = Value;
    FHourCount = Value ? 12 : 24;
}

void TsTimePicker::ParseParts() {
    std::string S = Text();
    auto Part = [&](size_t At) { return At + 2 <= S.size() ? static_cast<Word>(StrToIntDef(S.substr(At, 2), 0)) : Word(0); };
    Hour = Part(0);
    Minute = Part(3);
    Second = FShowSeconds ? Part(6) : Word(0);
}

bool TsTimePicker::CaretChangesAllowed() { return !Loading(this) && !Designing(this) && Visible(); }

void TsTimePicker::SelectCharAt(int P) {
    if (!CaretChangesAllowed())
        return;
    SetSelStart(P - 1);
    SetSelLength(1);
}

void TsTimePicker::SetCaret(int P, bool Select) {
    FCaretPos = P == 3 ? 2 : P == 6 ? 5 : P;
    if (Select)
        SelectCharAt(FCaretPos);
}

void TsTimePicker::AdvanceCaret() {
    int Next = FCaretPos + 1 + (FCaretPos == 2 || FCaretPos == 5 ? 1 : 0);
    SetCaret(std::min(FullLength(), Next), true);
}

int TsTimePicker::CaretPart() {
    int S = SelStart();
    return S < 3 ? 0 : S < 6 ? 1 : 2;
}

void TsTimePicker::ReplaceChar(int P, char C) {
    std::string S = Text();
    if (!EditorEnabled() || static_cast<int>(S.size()) < P)
        return;
    S[P - 1] = C;
    SetText(S);
}

void TsTimePicker::SetHour(int H) {
    while (H < 0)
        H += FHourCount;
    while (H >= FHourCount)
        H -= FHourCount;
    Hour = static_cast<Word>(H);
}

void TsTimePicker::SetMinute(int M) {
    if (M >= 60) {
        SetHour(Hour + 1);
        SetMinute(M - 60);
    } else if (M < 0) {
        SetHour(Hour - 1);
        SetMinute(M + 60);
    } else {
        Minute = static_cast<Word>(M);
    }
}

void TsTimePicker::SetSecond(int S) {
    if (S >= 60) {
        SetMinute(Minute + 1);
        SetSecond(S - 60);
    } else if (S < 0) {
        SetMinute(Minute - 1);
        SetSecond(S + 60);
    } else {
        Second = static_cast<Word>(S);
    }
}

void TsTimePicker::Step(int Delta) {
    int Part = CaretPart();
    if (ReadOnly()) {
        if (FDoBeep)
            MessageBeep(0);
        return;
    }
    if (static_cast<int>(Text().size()) == FullLength()) {
        ParseParts();
        if (Part == 0)
            SetHour(Hour + Delta);
        else if (Part == 1)
            SetMinute(Minute + Delta);
        else
            SetSecond(Second + Delta);
        SetText(FormatTime());
    }
    if (!Loading(this)) {
        SetSelStart(Part * 3);
        FCaretPos = Part * 3 + 2;
        SetSelLength(2);
    }
}

void TsTimePicker::UpClick(TObject*) { Step(1); }
void TsTimePicker::DownClick(TObject*) { Step(-1); }

bool TsTimePicker::IsValidChar(char Key) {
    if (!EditorEnabled() || !IsDigit(Key))
        return false;
    std::string S = Text();
    auto At = [&](int P) { return P >= 1 && P <= static_cast<int>(S.size()) && IsDigit(S[P - 1]) ? S[P - 1] - '0' : 0; };
    int K = Key - '0';
    switch (FCaretPos) {
    case 1: return K * 10 + At(2) <= 23;
    case 2: return At(1) * 10 + K <= 23;
    case 4:
    case 7: return K <= 5;
    case 5: return At(4) * 10 + K <= 59;
    case 8: return At(7) * 10 + K <= 59;
    default: return true;
    }
}

void TsTimePicker::KeyPress(char& Key) {
    // Copying changes nothing: the standard edit may have it.
    if (Key == 3) {
        TsEdit::KeyPress(Key);
        return;
    }
    if (!IsValidChar(Key)) {
        Key = 0;
        if (FDoBeep)
            MessageBeep(0);
        return;
    }
    // A text that is not a whole time reads as midnight; typing starts over from there.
    if (static_cast<int>(Text().size()) != FullLength()) {
        SetText(EmptyText());
        SetCaret(1, true);
    }
    if (IsWholeTextSelected(this))
        SetCaret(1, true);
    TsBaseSpinEdit::KeyPress(Key);
    if (Key == 0)
        return;
    ReplaceChar(FCaretPos, Key);
    Key = 0;
    AdvanceCaret();
}

void TsTimePicker::KeyDown(Word& Key, TShiftState Shift) {
    bool Shifted = Shift.Contains(ssShift);
    switch (Key) {
    case VK_BACK:
    case VK_DELETE:
        if (IsWholeTextSelected(this)) {
            SetSelStart(0);
            SetSelLength(0);
            SetText(EmptyText());
            SetCaret(1, true);
        } else {
            ReplaceChar(FCaretPos, '0');
            if (Key == VK_BACK) {
                Key = VK_LEFT;
                KeyDown(Key, Shift);
                return;
            }
            SelectCharAt(FCaretPos);
            Key = 0;
        }
        break;
    case VK_LEFT:
        if (!Shifted) {
            SetCaret(std::max(1, FCaretPos - 1 - (FCaretPos == 4 || FCaretPos == 7 ? 1 : 0)), true);
        } else {
            FCaretPos = std::max(1, FCaretPos - 1);
            TsBaseSpinEdit::KeyDown(Key, Shift);
            return;
        }
        break;
    case VK_RIGHT:
        if (!Shifted) {
            AdvanceCaret();
        } else {
            FCaretPos = std::min(FullLength(), FCaretPos + 1);
            TsBaseSpinEdit::KeyDown(Key, Shift);
            return;
        }
        break;
    case VK_UP:
        UpClick(this);
        break;
    case VK_DOWN:
        DownClick(this);
        break;
    default:
        break;
    }
    switch (Key) {
    case VK_BACK:
    case VK_SPACE:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_DELETE:
        Key = 0;
        break;
    default:
        break;
    }
    TsBaseSpinEdit::KeyDown(Key, Shift);
    if (Key == VK_END) {
        FCaretPos = FullLength();
        if (!Shifted) {
            SelectCharAt(FCaretPos);
            Key = 0;
        }
    } else if (Key == VK_HOME) {
        if (!Shifted) {
            SelectCharAt(1);
            Key = 0;
        } else {
            SetSelStart(FCaretPos);
        }
        FCaretPos = 1;
    }
}

void TsTimePicker::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TsBaseSpinEdit::MouseUp(Button, Shift, X, Y);
    if (SelLength() == 0)
        SetCaret(std::min(SelStart() + 1, FullLength()), true);
}

void TsTimePicker::Loaded() {
    TsBaseSpinEdit::Loaded();
    if (IsWholeTextSelected(this))
        FCaretPos = FullLength() + 1;
    else
        SetCaret(1, true);
    if (Text().empty())
        SetText(EmptyText());
}

void TsTimePicker::CMExit(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    TDateTime T = GetTime();
    if (CheckTime(T) != T)
        SetTime(CheckTime(T));
}

void sSpinEditInitialization() {
    RegisterClass(TsSpinEdit::StaticClass());
    RegisterClass(TsTimePicker::StaticClass());
}
