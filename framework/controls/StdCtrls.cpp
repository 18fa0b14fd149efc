#include "StdCtrls.h"

#include <algorithm>
#include <cstring>

namespace {

// The system's sorted lists and our kept ones compare alike (the locale's order, case-insensitive).
int CompareItems(const std::string& A, const std::string& B) { return AnsiCompareText(A, B); }

UINT AlignmentStyle(TAlignment Value, UINT Left, UINT Right, UINT Center) {
    switch (Value) {
    case taRightJustify: return Right;
    case taCenter: return Center;
    default: return Left;
    }
}

// Window identifiers for controls whose parent finds them by identifier (WM_MEASUREITEM).
int NextControlID() {
    static int ID = 0x4000;
    if (++ID > 0x7FFF)
        ID = 0x4001;
    return ID;
}

}  // namespace

TOwnerDrawState OwnerDrawStateOf(UINT ItemState) {
    TOwnerDrawState S;
    const std::pair<UINT, TOwnerDrawStateItem> Map[] = {
        {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},     {ODS_DISABLED, odDisabled},
        {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},     {ODS_DEFAULT, odDefault},
        {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive}, {ODS_NOACCEL, odNoAccel},
        {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit}};
    for (const auto& [Flag, Item] : Map)
        if (ItemState & Flag)
            S.Include(Item);
    return S;
}

bool IsAccel(WPARAM Key, const std::string& Caption) {
    auto Amp = Caption.find('&');
    while (Amp != std::string::npos && Amp + 1 < Caption.size() && Caption[Amp + 1] == '&')
        Amp = Caption.find('&', Amp + 2);
    if (Amp == std::string::npos || Amp + 1 >= Caption.size())
        return false;
    auto Upper = [](unsigned char C) {
        return reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(C))));
    };
    return Upper(static_cast<unsigned char>(Caption[Amp + 1])) == Upper(static_cast<unsigned char>(Key & 0xFF));
}

// ---------------------------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle += TControlStyle{csOpaque, csReplicatable};
    FWidth = 65;
    FHeight = 17;
}

void TCustomLabel::DefineClass(TClassBuilder<TCustomLabel>& B) {
    B.Property("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
    B.Property("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
    B.Property("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption).TypeName("TCaption");
    B.Property("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
    B.Property("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
    B.Property("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(true);
    B.Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(false);
    B.Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
    B.Message<&TCustomLabel::CMTextChanged>(CM_TEXTCHANGED);
    B.Message<&TCustomLabel::CMFontChanged>(CM_FONTCHANGED);
    B.Message<&TCustomLabel::CMDialogChar>(CM_DIALOGCHAR);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value)
        return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (Transparent() == Value)
        return;
    if (Value)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value)
        return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value)
        return;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    std::string Text = GetLabelText();
    if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text.size() == 1 && Text[0] == '&')))
        Text += ' ';  // an empty caption still has the height of a line
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    Flags = DrawTextBiDiModeFlags(Flags);
    TCanvas* C = Canvas();
    C->SetFont(Font());
    RECT R = Rect;
    HDC DC = C->Handle();
    SetBkMode(DC, TRANSPARENT);
    if (!Enabled()) {
        // The embossed look of disabled text: a light copy one pixel down and right, then shadow.
        OffsetRect(&R, 1, 1);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
        DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
        OffsetRect(&R, -1, -1);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
        DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
    } else {
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
        DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
    }
    Rect = TRect::From(R);
}

void TCustomLabel::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    if (!Transparent()) {
        C->Brush()->SetColor(Color());
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(R);
    }
    UINT Flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) |
                 AlignmentStyle(FAlignment, DT_LEFT, DT_RIGHT, DT_CENTER);
    if (FLayout != tlTop) {
        TRect Calc = R;
        DoDrawText(Calc, Flags | DT_CALCRECT);
        int Offset = R.Height() - Calc.Height();
        R.Top += FLayout == tlBottom ? Offset : Offset / 2;
    }
    DoDrawText(R, Flags);
}

void TCustomLabel::AdjustBounds() {
    if (FComponentState.Contains(csLoading) || !FAutoSize)
        return;
    TRect R = ClientRect();
    HDC DC = TextMeasureDC();
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    std::string Text = GetLabelText();
    if (Text.empty())
        Text = " ";
    RECT Calc = R;
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &Calc,
              DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | (FShowAccelChar ? 0 : DT_NOPREFIX));
    SelectObject(DC, Old);
    int X = FLeft;
    int W = Calc.right - Calc.left, H = Calc.bottom - Calc.top;
    if (FAlignment == taRightJustify)
        X = FLeft + FWidth - W;
    SetBounds(X, FTop, W, H);
}

void TCustomLabel::CMTextChanged(TMessage&) {
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    AdjustBounds();
}

void TCustomLabel::CMDialogChar(TMessage& Message) {
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(Message.WParam, Caption()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    FWidth = 121;
    FHeight = 21;
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
    Brush()->SetColor(clWindow);
}

void TCustomEdit::DefineClass(TClassBuilder<TCustomEdit>& B) {
    B.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
    B.Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle)
        .TypeName("TBorderStyle")
        .Default(bsSingle);
    B.Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
    B.Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(true);
    B.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
    B.Property("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert).Default(false);
    B.Property("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default(0);
    B.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
    B.Property("Text", &TCustomEdit::Text, &TCustomEdit::SetText).TypeName("TCaption");
    B.Property("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange);
    B.Message<&TCustomEdit::CNCommand>(CN_COMMAND);
    B.Message<&TCustomEdit::WMLButtonDown>(WM_LBUTTONDOWN);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (FBorderStyle != bsNone) {
        if (Ctl3D())
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    if (!FHideSelection)
        Params.Style |= ES_NOHIDESEL;
    if (FOEMConvert)
        Params.Style |= ES_OEMCONVERT;
    if (FCharCase == ecUpperCase)
        Params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= ES_LOWERCASE;
    if (FPasswordChar)
        Params.Style |= ES_PASSWORD;
}

void TCustomEdit::CreateWnd() {
    FCreating = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
    SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    if (FPasswordChar)
        SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<Byte>(FPasswordChar), 0);
    SendMessageA(FHandle, EM_SETMODIFY, FModified, 0);
    ApplySelection();
}

void TCustomEdit::DestroyWnd() {
    FModified = SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
    DWORD Start = 0, End = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    FSelStart = static_cast<int>(Start);
    FSelEnd = static_cast<int>(End);
    TWinControl::DestroyWnd();
}

void TCustomEdit::SetBorderStyle(TFormBorderStyle Value) {
    Value = Value == bsNone ? bsNone : bsSingle;
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value)
        return;
    FCharCase = Value;
    // The new window converts the text it is made with.
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (FHideSelection == Value)
        return;
    FHideSelection = Value;
    RecreateWnd();
}

void TCustomEdit::SetMaxLength(int Value) {
    if (Value < 0 || FMaxLength == Value)
        return;
    FMaxLength = Value;
    if (FHandle)
        SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetOEMConvert(bool Value) {
    if (FOEMConvert == Value)
        return;
    FOEMConvert = Value;
    RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char Value) {
    if (FPasswordChar == Value)
        return;
    FPasswordChar = Value;
    if (FHandle) {
        SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<Byte>(Value), 0);
        Invalidate();
    }
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (FReadOnly == Value)
        return;
    FReadOnly = Value;
    if (FHandle)
        SendMessageA(FHandle, EM_SETREADONLY, Value, 0);
}

bool TCustomEdit::Modified() {
    return FHandle ? SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0 : FModified;
}

void TCustomEdit::SetModified(bool Value) {
    if (FHandle)
        SendMessageA(FHandle, EM_SETMODIFY, Value, 0);
    else
        FModified = Value;
}

void TCustomEdit::SetSelection(int Start, int End) {
    int Len = static_cast<int>(Text().size());
    FSelStart = std::clamp(Start, 0, Len);
    FSelEnd = std::clamp(End, FSelStart, Len);
    ApplySelection();
}

void TCustomEdit::ApplySelection() {
    if (FHandle)
        SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(FSelStart), static_cast<LPARAM>(FSelEnd));
}

int TCustomEdit::SelStart() {
    if (!FHandle)
        return FSelStart;
    DWORD Start = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), 0);
    return static_cast<int>(Start);
}

void TCustomEdit::SetSelStart(int Value) { SetSelection(Value, Value); }

int TCustomEdit::SelLength() {
    if (!FHandle)
        return FSelEnd - FSelStart;
    DWORD Start = 0, End = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    return static_cast<int>(End - Start);
}

void TCustomEdit::SetSelLength(int Value) {
    int Start = SelStart();
    SetSelection(Start, Start + std::max(Value, 0));
}

std::string TCustomEdit::SelText() {
    std::string T = Text();
    int Start = std::min(SelStart(), static_cast<int>(T.size()));
    return T.substr(static_cast<std::size_t>(Start), static_cast<std::size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const std::string& Value) {
    if (FHandle) {
        SendMessageA(FHandle, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
        return;
    }
    std::string T = Text();
    int Start = std::min(FSelStart, static_cast<int>(T.size()));
    int End = std::min(FSelEnd, static_cast<int>(T.size()));
    T.replace(static_cast<std::size_t>(Start), static_cast<std::size_t>(End - Start), Value);
    SetText(T);
    FSelStart = FSelEnd = Start + static_cast<int>(Value.size());
}

void TCustomEdit::SelectAll() { SetSelection(0, static_cast<int>(Text().size())); }

void TCustomEdit::ClearSelection() { SetSelText(""); }

bool TCustomEdit::CanUndo() { return FHandle && SendMessageA(FHandle, EM_CANUNDO, 0, 0) != 0; }

void TCustomEdit::Undo() {
    if (FHandle)
        SendMessageA(FHandle, WM_UNDO, 0, 0);
}

void TCustomEdit::Change() {
    Changed();
    OnChange(this);
}

void TCustomEdit::DoEnter() {
    // A click places the caret where it lands; only the keyboard's arrival selects everything.
    if (FAutoSelect && !FClickToFocus && FHandle && !(GetWindowLongPtrA(FHandle, GWL_STYLE) & ES_MULTILINE))
        SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::WMLButtonDown(TMessage& Message) {
    FClickToFocus = true;
    try {
        InheritedDispatch(StaticClass(), Message);
    } catch (...) {
        FClickToFocus = false;
        throw;
    }
    FClickToFocus = false;
}

void TCustomEdit::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating)
        Change();
}

// ---------------------------------------------------------------------------------------------
// TMemoStrings

std::vector<std::string> TMemoStrings::Split() {
    std::string T = FMemo->Text();
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    for (std::size_t I = 0; I < T.size(); ++I) {
        if (T[I] != '\r' && T[I] != '\n')
            continue;
        Lines.push_back(T.substr(Start, I - Start));
        if (T[I] == '\r' && I + 1 < T.size() && T[I + 1] == '\n')
            ++I;
        Start = I + 1;
    }
    if (Start < T.size())
        Lines.push_back(T.substr(Start));
    return Lines;
}

void TMemoStrings::Join(const std::vector<std::string>& Lines) {
    std::string T;
    for (const std::string& L : Lines)
        T += L + "\r\n";
    FMemo->SetText(T);
}

std::string TMemoStrings::Get(int Index) {
    std::vector<std::string> L = Split();
    if (Index < 0 || Index >= static_cast<int>(L.size()))
        Error(SysConsts::SListIndexError, Index);
    return L[static_cast<std::size_t>(Index)];
}

int TMemoStrings::GetCount() { return static_cast<int>(Split().size()); }

void TMemoStrings::Put(int Index, const std::string& S) {
    std::vector<std::string> L = Split();
    if (Index < 0 || Index >= static_cast<int>(L.size()))
        Error(SysConsts::SListIndexError, Index);
    L[static_cast<std::size_t>(Index)] = S;
    Join(L);
}

void TMemoStrings::Insert(int Index, const std::string& S) {
    std::vector<std::string> L = Split();
    if (Index < 0 || Index > static_cast<int>(L.size()))
        Error(SysConsts::SListIndexError, Index);
    L.insert(L.begin() + Index, S);
    Join(L);
}

void TMemoStrings::Delete(int Index) {
    std::vector<std::string> L = Split();
    if (Index < 0 || Index >= static_cast<int>(L.size()))
        Error(SysConsts::SListIndexError, Index);
    L.erase(L.begin() + Index);
    Join(L);
}

void TMemoStrings::Clear() { FMemo->SetText(""); }

std::string TMemoStrings::GetTextStr() { return FMemo->Text(); }

void TMemoStrings::SetTextStr(const std::string& Value) {
    // The memo's own line breaks are CR LF; a lone CR or LF would show as a glyph.
    std::string T;
    T.reserve(Value.size());
    for (std::size_t I = 0; I < Value.size(); ++I) {
        char C = Value[I];
        if (C == '\0')
            break;
        if (C == '\r' || C == '\n') {
            T += "\r\n";
            if (C == '\r' && I + 1 < Value.size() && Value[I + 1] == '\n')
                ++I;
        } else
            T += C;
    }
    FMemo->SetText(T);
}

void TMemoStrings::SetUpdateState(bool Updating) {
    if (!FMemo->HandleAllocated())
        return;
    SendMessageA(FMemo->Handle(), WM_SETREDRAW, !Updating, 0);
    if (!Updating)
        FMemo->Refresh();
}

// ---------------------------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
    FWidth = 185;
    FHeight = 89;
    SetAutoSelect(false);
    FControlStyle.Exclude(csFixedHeight);
    FLines = Create<TMemoStrings>(this);
}

TCustomMemo::~TCustomMemo() { FreeObject(FLines); }

void TCustomMemo::DefineClass(TClassBuilder<TCustomMemo>& B) {
    B.Property("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment).Default(taLeftJustify);
    B.Property("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
    B.Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
    B.Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
    B.Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
    B.Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
    B.Message<&TCustomMemo::WMGetDlgCode>(WM_GETDLGCODE);
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | AlignmentStyle(FAlignment, ES_LEFT, ES_RIGHT, ES_CENTER);
    if (FWantReturns)
        Params.Style |= ES_WANTRETURN;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        Params.Style |= WS_HSCROLL;
    // Wrapped lines need no horizontal scrolling, and a horizontal bar rules wrapping out.
    if (FWordWrap && FScrollBars != ssHorizontal && FScrollBars != ssBoth)
        Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
}

void TCustomMemo::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    RecreateWnd();
}

TPoint TCustomMemo::CaretPos() {
    if (!HandleAllocated())
        return TPoint{0, 0};
    HWND H = Handle();
    DWORD Start = 0;
    SendMessageA(H, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), 0);
    int Line = static_cast<int>(SendMessageA(H, EM_LINEFROMCHAR, Start, 0));
    int LineStart = static_cast<int>(SendMessageA(H, EM_LINEINDEX, static_cast<WPARAM>(Line), 0));
    return TPoint{static_cast<int>(Start) - LineStart, Line};
}

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (FWantTabs)
        Message.Result |= DLGC_WANTTAB;
    else
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (!FWantReturns)
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
}

// ---------------------------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FWidth = 75;
    FHeight = 25;
    SetTabStop(true);
}

void TButton::DefineClass(TClassBuilder<TButton>& B) {
    B.Property("Caption", &TButton::Caption, &TButton::SetCaption).TypeName("TCaption");
    B.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    B.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    B.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).TypeName("TModalResult").Default(0);
    B.Message<&TButton::CNCommand>(CN_COMMAND);
    B.Message<&TButton::CMDialogKey>(CM_DIALOGKEY);
    B.Message<&TButton::CMDialogChar>(CM_DIALOGCHAR);
    B.Message<&TButton::CMFocusChanged>(CM_FOCUSCHANGED);
}

void TButton::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= (FActive || FDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
    // Until the focus moves, Enter belongs to the default button.
    FActive = FDefault;
    TWinControl::CreateWnd();
}

void TButton::SetDefault(bool Value) {
    if (FDefault == Value)
        return;
    FDefault = Value;
    if (HandleAllocated()) {
        TCustomForm* Form = GetParentForm();
        if (Form) {
            // Tell the form's buttons which one is active now.
            TMessage M{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Form->ActiveControl()), 0};
            Form->Broadcast(M);
        }
    }
}

void TButton::SetButtonStyle(bool ADefault) {
    if (!HandleAllocated())
        return;
    LONG_PTR Style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongPtrA(FHandle, GWL_STYLE) & 0x0F) != Style)
        SendMessageA(FHandle, BM_SETSTYLE, static_cast<WPARAM>(Style), 1);
}

void TButton::Click() {
    if (TCustomForm* Form = GetParentForm())
        Form->SetModalResult(FModalResult);
    TWinControl::Click();
}

void TButton::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == BN_CLICKED)
        Click();
}

void TButton::CMDialogKey(TMessage& Message) {
    bool Enter = Message.WParam == VK_RETURN && FActive;
    bool Esc = Message.WParam == VK_ESCAPE && FCancel;
    if ((Enter || Esc) && KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TButton::CMFocusChanged(TMessage& Message) {
    auto* Focused = reinterpret_cast<TControl*>(Message.LParam);
    // A focused button is the one Enter clicks; otherwise the default button is.
    if (auto* B = DynCast<TButton>(Focused))
        FActive = B == this;
    else
        FActive = FDefault;
    SetButtonStyle(FActive);
    InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FWidth = 97;
    FHeight = 17;
    SetTabStop(true);
}

void TCustomCheckBox::DefineClass(TClassBuilder<TCustomCheckBox>& B) {
    B.Property("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment)
        .TypeName("TLeftRight")
        .Default(taRightJustify);
    B.Property("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed).Default(false);
    B.Property("Caption", &TCustomCheckBox::Caption, &TCustomCheckBox::SetCaption).TypeName("TCaption");
    // Checked is State's view: only State is kept in form files.
    B.Property("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked).Stored(false);
    B.Property("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState).Default(cbUnchecked);
    B.Property("WordWrap", &TCustomCheckBox::WordWrap, &TCustomCheckBox::SetWordWrap).Default(false);
    B.Message<&TCustomCheckBox::CNCommand>(CN_COMMAND);
    B.Message<&TCustomCheckBox::CMDialogChar>(CM_DIALOGCHAR);
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    // Three states, toggled by the control itself (Toggle) rather than by the system.
    Params.Style |= BS_3STATE;
    if (FAlignment == taLeftJustify)
        Params.Style |= BS_LEFTTEXT;
    if (FWordWrap)
        Params.Style |= BS_MULTILINE;
}

void TCustomCheckBox::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomCheckBox::SetWordWrap(bool Value) {
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value)
        return;
    FState = Value;
    // Through the window procedure, so that a control or hook watching BM_SETCHECK sees it.
    if (FHandle)
        SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(Value), 0);
    if (!FClicksDisabled && !FComponentState.Contains(csLoading))
        Click();
}

void TCustomCheckBox::SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == BN_CLICKED)
        Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused())
            Toggle();
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FWidth = 113;
    FHeight = 17;
}

void TRadioButton::DefineClass(TClassBuilder<TRadioButton>& B) {
    B.Property("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment)
        .TypeName("TLeftRight")
        .Default(taRightJustify);
    B.Property("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption).TypeName("TCaption");
    B.Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
    B.Property("WordWrap", &TRadioButton::WordWrap, &TRadioButton::SetWordWrap).Default(false);
    B.Message<&TRadioButton::CNCommand>(CN_COMMAND);
    B.Message<&TRadioButton::CMDialogChar>(CM_DIALOGCHAR);
}

void TRadioButton::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= BS_RADIOBUTTON;
    if (FAlignment == taLeftJustify)
        Params.Style |= BS_LEFTTEXT;
    if (FWordWrap)
        Params.Style |= BS_MULTILINE;
}

void TRadioButton::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(FHandle, BM_SETCHECK, FChecked, 0);
}

void TRadioButton::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TRadioButton::SetWordWrap(bool Value) {
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    RecreateWnd();
}

void TRadioButton::TurnSiblingsOff() {
    if (!FParent)
        return;
    for (int I = 0; I < FParent->ControlCount(); ++I)
        if (auto* R = DynCast<TRadioButton>(FParent->Controls(I)); R && R != this)
            R->SetChecked(false);
}

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value)
        return;
    FChecked = Value;
    // The checked button of a group is the one Tab reaches.
    SetTabStop(Value);
    if (FHandle)
        SendMessageA(FHandle, BM_SETCHECK, Value, 0);
    if (!Value)
        return;
    TurnSiblingsOff();
    if (!FComponentState.Contains(csLoading))
        Click();
}

void TRadioButton::CNCommand(TMessage& Message) {
    switch (HIWORD(Message.WParam)) {
    case BN_CLICKED: SetChecked(true); break;
    case BN_DOUBLECLICKED: DblClick(); break;
    }
}

void TRadioButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused())
            SetChecked(true);
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// TControlItems

LRESULT TControlItems::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return SendMessageA(FControl->Handle(), Msg, WParam, LParam);
}

int TControlItems::GetCount() {
    if (!Live())
        return static_cast<int>(FKept.size());
    return static_cast<int>(std::max<LRESULT>(Send(FMsgs.GetCount), 0));
}

void TControlItems::CheckIndex(int Index) {
    if (Index < 0 || Index >= GetCount())
        Error(SysConsts::SListIndexError, Index);
}

std::string TControlItems::Get(int Index) {
    CheckIndex(Index);
    if (!Live())
        return FKept[static_cast<std::size_t>(Index)].first;
    LRESULT Len = Send(FMsgs.GetTextLen, static_cast<WPARAM>(Index));
    if (Len <= 0)
        return std::string();
    // Sized from the item's own length: a long item is never cut or overrun.
    std::string S(static_cast<std::size_t>(Len) + 1, '\0');
    LRESULT Got = Send(FMsgs.GetText, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.data()));
    S.resize(static_cast<std::size_t>(std::clamp<LRESULT>(Got, 0, Len)));
    return S;
}

TObject* TControlItems::GetObject(int Index) {
    CheckIndex(Index);
    if (!Live())
        return FKept[static_cast<std::size_t>(Index)].second;
    return reinterpret_cast<TObject*>(Send(FMsgs.GetItemData, static_cast<WPARAM>(Index)));
}

void TControlItems::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    if (!Live())
        FKept[static_cast<std::size_t>(Index)].second = AObject;
    else
        Send(FMsgs.SetItemData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

int TControlItems::SortedIndexOf(const std::string& S) {
    auto It = std::upper_bound(FKept.begin(), FKept.end(), S,
                               [](const std::string& V, const auto& E) { return CompareItems(V, E.first) < 0; });
    return static_cast<int>(It - FKept.begin());
}

int TControlItems::Add(const std::string& S) { return AddObject(S, nullptr); }

int TControlItems::AddObject(const std::string& S, TObject* AObject) {
    int Index;
    if (Live()) {
        // The window places the item itself when it sorts.
        LRESULT R = Send(FMsgs.Add, 0, reinterpret_cast<LPARAM>(S.c_str()));
        if (R < 0)
            throw EOutOfResources(StdCtrlsConsts::SInsertLineError);
        Index = static_cast<int>(R);
        if (AObject)
            Send(FMsgs.SetItemData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
    } else {
        Index = Sorted ? SortedIndexOf(S) : static_cast<int>(FKept.size());
        FKept.insert(FKept.begin() + Index, {S, AObject});
    }
    return Index;
}

void TControlItems::Insert(int Index, const std::string& S) {
    if (Index < 0 || Index > GetCount())
        Error(SysConsts::SListIndexError, Index);
    if (Live()) {
        if (Send(FMsgs.Insert, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
            throw EOutOfResources(StdCtrlsConsts::SInsertLineError);
    } else
        FKept.insert(FKept.begin() + Index, {S, nullptr});
}

void TControlItems::Delete(int Index) {
    CheckIndex(Index);
    if (Live())
        Send(FMsgs.Delete, static_cast<WPARAM>(Index));
    else
        FKept.erase(FKept.begin() + Index);
}

void TControlItems::Clear() {
    if (Live())
        Send(FMsgs.Reset);
    else
        FKept.clear();
}

int TControlItems::IndexOf(const std::string& S) {
    if (!Live())
        return TStrings::IndexOf(S);
    // The window's search is case-insensitive like ours, and finds the first such item.
    LRESULT R = Send(FMsgs.FindExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
    return R < 0 ? -1 : static_cast<int>(R);
}

void TControlItems::SetUpdateState(bool Updating) {
    if (!Live())
        return;
    Send(WM_SETREDRAW, !Updating);
    if (!Updating)
        InvalidateRect(FControl->Handle(), nullptr, TRUE);
}

void TControlItems::WindowCreated() {
    std::vector<std::pair<std::string, TObject*>> Items;
    Items.swap(FKept);
    for (const auto& [S, Obj] : Items) {
        LRESULT I = Send(FMsgs.Add, 0, reinterpret_cast<LPARAM>(S.c_str()));
        if (I >= 0 && Obj)
            Send(FMsgs.SetItemData, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(Obj));
    }
}

void TControlItems::WindowDestroying() {
    FKept.clear();
    int N = GetCount();
    for (int I = 0; I < N; ++I)
        FKept.emplace_back(Get(I), GetObject(I));
}

// ---------------------------------------------------------------------------------------------
// TCustomListControl

TCustomListControl::TCustomListControl(TComponent* AOwner, const TItemMessages& Messages) : TWinControl(AOwner) {
    FItems = Create<TControlItems>(this, Messages);
    FCanvas = Create<TControlCanvas>();
    FCanvas->SetControl(this);
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
    Brush()->SetColor(clWindow);
}

TCustomListControl::~TCustomListControl() {
    FreeObject(FCanvas);
    FreeObject(FItems);
}

void TCustomListControl::DefineClass(TClassBuilder<TCustomListControl>& B) {
    B.Property("ItemHeight", &TCustomListControl::ItemHeight, &TCustomListControl::SetItemHeight);
    B.Property("ItemIndex", &TCustomListControl::ItemIndex, &TCustomListControl::SetItemIndex).Default(-1);
    B.Property("Items", &TCustomListControl::Items, &TCustomListControl::SetItems);
    B.Property("Sorted", &TCustomListControl::Sorted, &TCustomListControl::SetSorted).Default(false);
    B.Property("OnDrawItem", &TCustomListControl::OnDrawItem, &TCustomListControl::OnDrawItem);
    B.Property("OnMeasureItem", &TCustomListControl::OnMeasureItem, &TCustomListControl::OnMeasureItem);
    B.Message<&TCustomListControl::CNDrawItem>(CN_DRAWITEM);
    B.Message<&TCustomListControl::CNMeasureItem>(CN_MEASUREITEM);
}

void TCustomListControl::CreateWnd() {
    TWinControl::CreateWnd();
    SetWindowLongPtrA(FHandle, GWLP_ID, NextControlID());
    if (IsOwnerDraw() && !IsVariable() && FItemHeightSet)
        SendMessageA(FHandle, SetItemHeightMsg(), 0, FItemHeight);
    FItems->WindowCreated();
    if (FItemIndex >= 0 && FItemIndex < FItems->Count())
        SendMessageA(FHandle, SetCurSelMsg(), static_cast<WPARAM>(FItemIndex), 0);
}

void TCustomListControl::DestroyWnd() {
    FItemIndex = static_cast<int>(SendMessageA(FHandle, GetCurSelMsg(), 0, 0));
    FItems->WindowDestroying();
    TWinControl::DestroyWnd();
}

void TCustomListControl::Loaded() {
    TWinControl::Loaded();
    // The index was read before the items; now it can be checked against them.
    if (!HandleAllocated() && (FItemIndex < -1 || FItemIndex >= FItems->Count()))
        FItemIndex = -1;
}

int TCustomListControl::ItemIndex() {
    if (!HandleAllocated())
        return FItemIndex;
    return static_cast<int>(SendMessageA(FHandle, GetCurSelMsg(), 0, 0));
}

void TCustomListControl::SetItemIndex(int Value) {
    if (FComponentState.Contains(csLoading) && !HandleAllocated()) {
        FItemIndex = Value;
        return;
    }
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    if (HandleAllocated())
        SendMessageA(FHandle, SetCurSelMsg(), static_cast<WPARAM>(Value), 0);
    else
        FItemIndex = Value;
}

void TCustomListControl::SetSorted(bool Value) {
    if (FItems->Sorted == Value)
        return;
    FItems->Sorted = Value;
    RecreateWnd();
}

int TCustomListControl::ItemHeight() {
    if (HandleAllocated() && IsOwnerDraw() && !IsVariable()) {
        LRESULT H = SendMessageA(FHandle, SetItemHeightMsg() == LB_SETITEMHEIGHT ? LB_GETITEMHEIGHT : CB_GETITEMHEIGHT,
                                 0, 0);
        if (H > 0)
            return static_cast<int>(H);
    }
    return FItemHeight;
}

void TCustomListControl::SetItemHeight(int Value) {
    if (Value <= 0)
        return;
    FItemHeight = Value;
    FItemHeightSet = true;
    if (HandleAllocated() && IsOwnerDraw() && !IsVariable()) {
        SendMessageA(FHandle, SetItemHeightMsg(), 0, Value);
        Invalidate();
    }
}

void TCustomListControl::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    if (Index >= 0 && Index < FItems->Count())
        FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TCustomListControl::MeasureItem(int Index, int& Height) { OnMeasureItem(this, Index, Height); }

void TCustomListControl::CNDrawItem(TMessage& Message) {
    auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    TOwnerDrawState State = OwnerDrawStateOf(D->itemState);
    FCanvas->Lock();
    try {
        FCanvas->SetHandle(D->hDC);
        FCanvas->SetFont(Font());
        FCanvas->Brush()->Assign(Brush());
        if (State.Contains(odSelected)) {
            FCanvas->Brush()->SetColor(clHighlight);
            FCanvas->Font()->SetColor(clHighlightText);
        }
        TRect R = TRect::From(D->rcItem);
        if (static_cast<int>(D->itemID) >= 0)
            DrawItem(static_cast<int>(D->itemID), R, State);
        else
            FCanvas->FillRect(R);
        if (State.Contains(odFocused) && !State.Contains(odNoFocusRect))
            DrawFocusRect(D->hDC, &D->rcItem);
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
        throw;
    }
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    Message.Result = 1;
}

void TCustomListControl::CNMeasureItem(TMessage& Message) {
    auto* M = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    int H = FItemHeight;
    if (IsVariable() && static_cast<int>(M->itemID) >= 0)
        MeasureItem(static_cast<int>(M->itemID), H);
    M->itemHeight = static_cast<UINT>(std::max(H, 1));
    Message.Result = 1;
}

// ---------------------------------------------------------------------------------------------
// TCustomComboBox

namespace {
constexpr TItemMessages ComboMessages{CB_ADDSTRING,   CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
                                      CB_GETCOUNT,    CB_GETLBTEXT,    CB_GETLBTEXTLEN, CB_GETITEMDATA,
                                      CB_SETITEMDATA, CB_FINDSTRINGEXACT};
constexpr TItemMessages ListMessages{LB_ADDSTRING,   LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                                     LB_GETCOUNT,    LB_GETTEXT,      LB_GETTEXTLEN,   LB_GETITEMDATA,
                                     LB_SETITEMDATA, LB_FINDSTRINGEXACT};
}  // namespace

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TCustomListControl(AOwner, ComboMessages) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight};
    FWidth = 145;
    FHeight = 21;
}

void TCustomComboBox::DefineClass(TClassBuilder<TCustomComboBox>& B) {
    B.Property("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase).Default(ecNormal);
    B.Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
    B.Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
    B.Property("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
    B.Property("Text", [](TCustomComboBox* C) { return C->Text(); },
               [](TCustomComboBox* C, const std::string& V) { C->SetText(V); })
        .TypeName("TCaption");
    B.Property("OnChange", &TCustomComboBox::OnChange, &TCustomComboBox::OnChange);
    B.Property("OnCloseUp", &TCustomComboBox::OnCloseUp, &TCustomComboBox::OnCloseUp);
    B.Property("OnDropDown", &TCustomComboBox::OnDropDown, &TCustomComboBox::OnDropDown);
    B.Property("OnSelect", &TCustomComboBox::OnSelect, &TCustomComboBox::OnSelect);
    B.Message<&TCustomComboBox::CNCommand>(CN_COMMAND);
    B.Message<&TCustomComboBox::WMSetText>(WM_SETTEXT);
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "COMBOBOX");
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
    switch (FStyle) {
    case csDropDown: Params.Style |= CBS_DROPDOWN; break;
    case csSimple: Params.Style |= CBS_SIMPLE; break;
    case csDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
    }
    if (Sorted())
        Params.Style |= CBS_SORT;
    if (FCharCase == ecUpperCase)
        Params.Style |= CBS_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= CBS_LOWERCASE;
    // The window's height includes the dropped list; the control's stays the closed height.
    if (FStyle != csSimple)
        Params.Height = FHeight + ItemHeight() * FDropDownCount + 2;
}

void TCustomComboBox::CreateWnd() {
    // The text the window should show comes after the items, so a drop-down list can select it.
    std::string KeptText = FText;
    TCustomListControl::CreateWnd();
    COMBOBOXINFO Info{};
    Info.cbSize = sizeof(Info);
    if (GetComboBoxInfo(FHandle, &Info)) {
        FEditHandle = Info.hwndItem != FHandle ? Info.hwndItem : nullptr;
        FListHandle = Info.hwndList;
    }
    if (FMaxLength > 0)
        SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    if (FStyle == csDropDown || FStyle == csSimple) {
        if (!KeptText.empty())
            SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(KeptText.c_str()));
    }
}

void TCustomComboBox::DestroyWnd() {
    FEditHandle = nullptr;
    FListHandle = nullptr;
    TCustomListControl::DestroyWnd();
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    // The system fixes a drop-down combo box's closed height; the list's height is ours to set.
    TCustomListControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    AdjustDropDown();
}

void TCustomComboBox::AdjustDropDown() {
    if (!HandleAllocated() || FStyle == csSimple)
        return;
    int Count = std::clamp(FItems->Count(), 1, std::max(FDropDownCount, 1));
    RECT R;
    GetWindowRect(FHandle, &R);
    SetWindowPos(FHandle, nullptr, 0, 0, FWidth, FHeight + ItemHeight() * Count + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

std::string TCustomComboBox::GetText() {
    if (!HandleAllocated() && FStyle != csDropDown && FStyle != csSimple)
        return FItemIndex >= 0 && FItemIndex < FItems->Count() ? FItems->Strings(FItemIndex) : std::string();
    return TCustomListControl::GetText();
}

void TCustomComboBox::WMSetText(TMessage& Message) {
    if (FStyle == csDropDown || FStyle == csSimple) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    // A drop-down list shows only its items: a text selects the item of that text, or none.
    std::string S = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
    int Index = S.empty() ? -1 : FItems->IndexOf(S);
    SetItemIndex(Index);
    Message.Result = Index >= 0 || S.empty();
}

void TCustomComboBox::SetItemIndex(int Value) {
    bool Live = HandleAllocated() && !FComponentState.Contains(csLoading);
    TCustomListControl::SetItemIndex(Value);
    // Without a window the text of an editable combo box follows the selection as the window's would.
    if (!Live && !FComponentState.Contains(csLoading) && (FStyle == csDropDown || FStyle == csSimple) &&
        !HandleAllocated())
        FText = FItemIndex >= 0 ? FItems->Strings(FItemIndex) : std::string();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (FStyle == Value)
        return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int Value) {
    if (Value <= 0 || FDropDownCount == Value)
        return;
    FDropDownCount = Value;
    AdjustDropDown();
}

bool TCustomComboBox::DroppedDown() {
    return HandleAllocated() && SendMessageA(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (!HandleAllocated())
        return;
    SendMessageA(FHandle, CB_SHOWDROPDOWN, Value, 0);
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value)
        return;
    FCharCase = Value;
    RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int Value) {
    if (Value < 0 || FMaxLength == Value)
        return;
    FMaxLength = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

int TCustomComboBox::SelStart() {
    if (!HandleAllocated())
        return 0;
    DWORD Start = 0;
    SendMessageA(FHandle, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start), 0);
    return static_cast<int>(Start);
}

void TCustomComboBox::SetSelStart(int Value) {
    if (HandleAllocated())
        SendMessageA(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(Value, Value));
}

int TCustomComboBox::SelLength() {
    if (!HandleAllocated())
        return 0;
    DWORD Start = 0, End = 0;
    SendMessageA(FHandle, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    return static_cast<int>(End - Start);
}

void TCustomComboBox::SetSelLength(int Value) {
    if (!HandleAllocated())
        return;
    int Start = SelStart();
    SendMessageA(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(Start, Start + std::max(Value, 0)));
}

void TCustomComboBox::SelectAll() {
    if (HandleAllocated())
        SendMessageA(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void TCustomComboBox::Change() {
    Changed();
    OnChange(this);
}

void TCustomComboBox::DropDown() { OnDropDown(this); }

void TCustomComboBox::CloseUp() { OnCloseUp(this); }

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::CNCommand(TMessage& Message) {
    switch (HIWORD(Message.WParam)) {
    case CBN_EDITCHANGE: Change(); break;
    case CBN_SELCHANGE: {
        // The edit shows the new item only after this notification; the handlers read it already.
        int Index = ItemIndex();
        if (Index >= 0 && FEditHandle) {
            std::string S = FItems->Strings(Index);
            SendMessageA(FEditHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(S.c_str()));
        }
        Click();
        Select();
        break;
    }
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomListControl(AOwner, ListMessages) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csClickEvents};
    FWidth = 121;
    FHeight = 97;
}

void TCustomListBox::DefineClass(TClassBuilder<TCustomListBox>& B) {
    B.Property("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle)
        .TypeName("TBorderStyle")
        .Default(bsSingle);
    B.Property("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect).Default(true);
    B.Property("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight).Default(false);
    B.Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
    B.Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).Default(lbStandard);
    B.Message<&TCustomListBox::CNCommand>(CN_COMMAND);
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    Params.Style |= WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
    if (FStyle == lbOwnerDrawFixed)
        Params.Style |= LBS_OWNERDRAWFIXED;
    else if (FStyle == lbOwnerDrawVariable)
        Params.Style |= LBS_OWNERDRAWVARIABLE;
    if (!FIntegralHeight)
        Params.Style |= LBS_NOINTEGRALHEIGHT;
    if (Sorted())
        Params.Style |= LBS_SORT;
    if (FMultiSelect)
        Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (FBorderStyle != bsNone) {
        if (Ctl3D())
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
}

void TCustomListBox::CreateWnd() {
    TCustomListControl::CreateWnd();
    if (FMultiSelect) {
        for (int I : FSelectedKept)
            SendMessageA(FHandle, LB_SETSEL, TRUE, I);
        if (FItemIndex >= 0 && FItemIndex < FItems->Count())
            SendMessageA(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(FItemIndex), 0);
    }
    SendMessageA(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(FTopIndex), 0);
}

void TCustomListBox::DestroyWnd() {
    FSelectedKept.clear();
    if (FMultiSelect) {
        int N = FItems->Count();
        for (int I = 0; I < N; ++I)
            if (SendMessageA(FHandle, LB_GETSEL, static_cast<WPARAM>(I), 0) > 0)
                FSelectedKept.push_back(I);
    }
    FTopIndex = static_cast<int>(SendMessageA(FHandle, LB_GETTOPINDEX, 0, 0));
    int Caret = FMultiSelect ? static_cast<int>(SendMessageA(FHandle, LB_GETCARETINDEX, 0, 0)) : -1;
    TCustomListControl::DestroyWnd();
    if (FMultiSelect)
        FItemIndex = Caret;
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
    if (FStyle == Value)
        return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TFormBorderStyle Value) {
    Value = Value == bsNone ? bsNone : bsSingle;
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
    if (FIntegralHeight == Value)
        return;
    FIntegralHeight = Value;
    RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool Value) {
    if (FMultiSelect == Value)
        return;
    FMultiSelect = Value;
    RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
    if (FExtendedSelect == Value)
        return;
    FExtendedSelect = Value;
    RecreateWnd();
}

int TCustomListBox::ItemIndex() {
    if (!FMultiSelect || !HandleAllocated())
        return TCustomListControl::ItemIndex();
    // A multi-selection list's current item is the one with the focus rectangle.
    return FItems->Count() == 0 ? -1 : static_cast<int>(SendMessageA(FHandle, LB_GETCARETINDEX, 0, 0));
}

void TCustomListBox::SetItemIndex(int Value) {
    if (!FMultiSelect || !HandleAllocated() || FComponentState.Contains(csLoading)) {
        TCustomListControl::SetItemIndex(Value);
        return;
    }
    if (Value < 0 || Value >= FItems->Count())
        return;
    SendMessageA(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(Value), 0);
}

bool TCustomListBox::Selected(int Index) {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError(Format(SysConsts::SListIndexError, {Index}));
    if (!HandleAllocated())
        return FMultiSelect ? std::find(FSelectedKept.begin(), FSelectedKept.end(), Index) != FSelectedKept.end()
                            : FItemIndex == Index;
    return SendMessageA(FHandle, LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError(Format(SysConsts::SListIndexError, {Index}));
    if (!FMultiSelect) {
        if (Value)
            SetItemIndex(Index);
        else if (ItemIndex() == Index)
            SetItemIndex(-1);
        return;
    }
    if (HandleAllocated()) {
        SendMessageA(FHandle, LB_SETSEL, Value, Index);
        return;
    }
    auto It = std::find(FSelectedKept.begin(), FSelectedKept.end(), Index);
    if (Value && It == FSelectedKept.end())
        FSelectedKept.push_back(Index);
    else if (!Value && It != FSelectedKept.end())
        FSelectedKept.erase(It);
}

int TCustomListBox::SelCount() {
    if (!FMultiSelect)
        return ItemIndex() >= 0 ? 1 : 0;
    if (!HandleAllocated())
        return static_cast<int>(FSelectedKept.size());
    return static_cast<int>(std::max<LRESULT>(SendMessageA(FHandle, LB_GETSELCOUNT, 0, 0), 0));
}

int TCustomListBox::TopIndex() {
    return HandleAllocated() ? static_cast<int>(SendMessageA(FHandle, LB_GETTOPINDEX, 0, 0)) : FTopIndex;
}

void TCustomListBox::SetTopIndex(int Value) {
    if (Value < 0)
        return;
    if (HandleAllocated())
        SendMessageA(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
    else
        FTopIndex = Value;
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) {
    int Count = FItems->Count();
    if (!HandleAllocated() || !ClientRect().Contains(Pos))
        return Existing ? -1 : Count;
    for (int I = TopIndex(); I < Count; ++I) {
        TRect R = ItemRect(I);
        if (R.Contains(Pos))
            return I;
        if (R.Top > Pos.Y)
            break;
    }
    return Existing ? -1 : Count;
}

TRect TCustomListBox::ItemRect(int Index) {
    RECT R{};
    if (HandleAllocated() && Index >= 0 && Index < FItems->Count())
        SendMessageA(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
    return TRect::From(R);
}

void TCustomListBox::CNCommand(TMessage& Message) {
    switch (HIWORD(Message.WParam)) {
    case LBN_SELCHANGE: Changed(); Click(); break;
    case LBN_DBLCLK: DblClick(); break;
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                                  csReplicatable};
    FWidth = 185;
    FHeight = 105;
}

void TCustomGroupBox::DefineClass(TClassBuilder<TCustomGroupBox>& B) {
    B.Property("Caption", &TCustomGroupBox::Caption, &TCustomGroupBox::SetCaption).TypeName("TCaption");
    B.Message<&TCustomGroupBox::CMTextChanged>(CM_TEXTCHANGED);
    B.Message<&TCustomGroupBox::CMFontChanged>(CM_FONTCHANGED);
    B.Message<&TCustomGroupBox::CMDialogChar>(CM_DIALOGCHAR);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    // Children start below the caption band and inside the frame.
    Rect.Top += FontTextHeight(Font());
    Rect.Left += 1;
    Rect.Right -= 1;
    Rect.Bottom -= 1;
}

void TCustomGroupBox::Paint() {
    TCanvas* C = Canvas();
    C->SetFont(Font());
    int H = C->TextHeight("0");
    TRect R{0, H / 2 - 1, Width(), Height()};
    RECT Frame = R;
    DrawEdge(C->Handle(), &Frame, EDGE_ETCHED, BF_RECT);
    std::string Text = Caption();
    if (Text.empty())
        return;
    RECT T{8, 0, 0, H};
    DrawTextA(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), &T, DT_CALCRECT | DT_SINGLELINE);
    C->Brush()->SetColor(Color());
    C->Brush()->SetStyle(bsSolid);
    HDC DC = C->Handle();
    SetBkMode(DC, OPAQUE);
    SetBkColor(DC, static_cast<COLORREF>(ColorToRGB(Color())));
    SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Enabled() ? Font()->Color() : clGrayText)));
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &T, DT_SINGLELINE);
}

void TCustomGroupBox::CMTextChanged(TMessage&) {
    Invalidate();
    Realign();
}

void TCustomGroupBox::CMFontChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Realign();
}

void TCustomGroupBox::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
        SelectFirst();
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------

void StdCtrlsInitialization() {
    RegisterClasses({TLabel::StaticClass(), TEdit::StaticClass(), TMemo::StaticClass(), TButton::StaticClass(),
                     TCheckBox::StaticClass(), TRadioButton::StaticClass(), TComboBox::StaticClass(),
                     TListBox::StaticClass(), TGroupBox::StaticClass()});
}
