#include "sComboBoxes.h"

#include "Forms.h"
#include "ObjectInstances.h"
#include "acSBUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sSkinManager.h"
#include "sDCUtils.h"
#include "sVclUtils.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Items held by the window

HWND TsCustomComboBoxStrings::ComboHandle() { return FComboBox->Handle(); }

std::string TsCustomComboBoxStrings::Get(int Index) {
    HWND H = ComboHandle();
    // The buffer takes the item's own length: a fixed one would be overrun by a long item.
    LRESULT Len = SendMessageA(H, CB_GETLBTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (Len == CB_ERR || Len < 0)
        return std::string();
    std::string Text(static_cast<std::size_t>(Len) + 1, '\0');
    LRESULT Got = SendMessageA(H, CB_GETLBTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Text.data()));
    if (Got == CB_ERR || Got < 0)
        return std::string();
    Text.resize(static_cast<std::size_t>(std::min<LRESULT>(Got, Len)));
    return Text;
}

int TsCustomComboBoxStrings::GetCount() { return static_cast<int>(SendMessageA(ComboHandle(), CB_GETCOUNT, 0, 0)); }

TObject* TsCustomComboBoxStrings::GetObject(int Index) {
    LRESULT Data = SendMessageA(ComboHandle(), CB_GETITEMDATA, static_cast<WPARAM>(Index), 0);
    if (Data == CB_ERR)
        Error(SysConsts::SListIndexError, Index);
    return reinterpret_cast<TObject*>(Data);
}

void TsCustomComboBoxStrings::PutObject(int Index, TObject* AObject) {
    SendMessageA(ComboHandle(), CB_SETITEMDATA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

void TsCustomComboBoxStrings::SetUpdateState(bool Updating) {
    SendMessageA(ComboHandle(), WM_SETREDRAW, Updating ? 0 : 1, 0);
    if (!Updating)
        FComboBox->Refresh();
}

void TsCustomComboBoxStrings::Clear() {
    std::string Text = FComboBox->Text();
    SendMessageA(ComboHandle(), CB_RESETCONTENT, 0, 0);
    FComboBox->SetText(Text);
    FComboBox->Update();
}

void TsCustomComboBoxStrings::Delete(int Index) {
    SendMessageA(ComboHandle(), CB_DELETESTRING, static_cast<WPARAM>(Index), 0);
}

int TsCustomComboBoxStrings::IndexOf(const std::string& S) {
    return static_cast<int>(
        SendMessageA(ComboHandle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str())));
}

int TsComboBoxStrings::Add(const std::string& S) {
    LRESULT R = SendMessageA(ComboHandle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (R < 0)
        throw EOutOfResources(SysConsts::SInsertLineError);
    return static_cast<int>(R);
}

void TsComboBoxStrings::Insert(int Index, const std::string& S) {
    LRESULT R = SendMessageA(ComboHandle(), CB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str()));
    if (R < 0)
        throw EOutOfResources(SysConsts::SInsertLineError);
}

// ---------------------------------------------------------------------------------------------
// TsCommonComboBox

TsCommonComboBox::TsCommonComboBox(TComponent* AOwner) : TsCommonCombo(AOwner) { FItems = GetItemsClass(); }

TsCommonComboBox::~TsCommonComboBox() {
    FreeAndNil(FItems);
    FreeAndNil(FSavedItems);
}

void TsCommonComboBox::DefineClass(TClassBuilder<TsCommonComboBox>& B) {
    B.Property("BoundLabel", &TsCommonComboBox::BoundLabel, &TsCommonComboBox::SetBoundLabel);
    B.Property("CharCase", &TsCommonComboBox::CharCase, &TsCommonComboBox::SetCharCase).Default(ecNormal);
    B.Property("DisabledKind", &TsCommonComboBox::DisabledKind, &TsCommonComboBox::SetDisabledKind)
        .Default(TsDisabledKind{dkBlended});
    B.Property("DropDownCount", &TsCommonComboBox::DropDownCount, &TsCommonComboBox::SetDropDownCount).Default(14);
    B.Property("ItemHeight", &TsCommonComboBox::ItemHeight, &TsCommonComboBox::SetItemHeight).Default(16);
    B.Property("ItemIndex", &TsCommonComboBox::GetItemIndex, &TsCommonComboBox::SetItemIndex).Default(-1);
    B.Property("Items", &TsCommonComboBox::Items, &TsCommonComboBox::SetItems);
    B.Property("MaxLength", &TsCommonComboBox::MaxLength, &TsCommonComboBox::SetMaxLength).Default(0);
    B.Property("ReadOnly", &TsCommonComboBox::ReadOnly, &TsCommonComboBox::SetReadOnly).Default(false);
    B.Property("SkinData", &TsCommonComboBox::SkinData, &TsCommonComboBox::SetSkinData);
    B.Property("Sorted", &TsCommonComboBox::Sorted, &TsCommonComboBox::SetSorted).Default(false);
    B.Property("Style", &TsCommonComboBox::Style, &TsCommonComboBox::SetStyle).Default(csDropDown);
}

TStrings* TsCommonComboBox::GetItemsClass() { return Create<TsComboBoxStrings>(this); }

void TsCommonComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    RecreateWnd();
}

void TsCommonComboBox::SetSorted(bool Value) {
    if (Value == FSorted)
        return;
    FSorted = Value;
    RecreateWnd();
}

void TsCommonComboBox::SetCharCase(TEditCharCase Value) {
    if (Value == FCharCase)
        return;
    FCharCase = Value;
    RecreateWnd();
}

void TsCommonComboBox::SetDisabledKind(TsDisabledKind Value) {
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    FCommonData->Invalidate();
}

int TsCommonComboBox::GetItemHt() {
    if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)
        return ItemHeight();
    return static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
}

void TsCommonComboBox::MeasureItem(int Index, int& Height) {
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

void TsCommonComboBox::CreateParams(TCreateParams& Params) {
    TsCommonCombo::CreateParams(Params);
    CreateSubClass(Params, "COMBOBOX");
    Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
    switch (FStyle) {
    case csDropDown: Params.Style |= CBS_DROPDOWN; break;
    case csSimple: Params.Style |= CBS_SIMPLE; break;
    case csDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
    }
    if (FSorted)
        Params.Style |= CBS_SORT;
    if (FCharCase == ecUpperCase)
        Params.Style |= CBS_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= CBS_LOWERCASE;
}

void TsCommonComboBox::CreateWnd() {
    TsCommonCombo::CreateWnd();
    if (FSavedItems) {
        FItems->Assign(FSavedItems);
        FreeAndNil(FSavedItems);
        if (FSaveIndex != -1) {
            FSaveIndex = std::min(FSaveIndex, FItems->Count() - 1);
            SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(FSaveIndex), 0);
        }
    }
    if (EditHandle())
        SendMessageA(EditHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void TsCommonComboBox::DestroyWnd() {
    if (FItems->Count() > 0) {
        FSaveIndex = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
        FreeAndNil(FSavedItems);
        FSavedItems = Create<TStringList>();
        FSavedItems->Assign(FItems);
    }
    TsCommonCombo::DestroyWnd();
}

// ---------------------------------------------------------------------------------------------
// Painting

void TsCommonComboBox::PaintSkin(HDC DC) {
    FCommonData->PrepareCacheBitmap();
    BackgroundSource Background;
    FCommonData->GetParentBackgroundSource(Background);
    const int State = FCommonData->IsHotState() ? 1 : 0;
    TBitmap* Cache = FCommonData->CacheBitmap;
    PaintControlSkin(FCommonData, Background, true, false, State, Cache, Point(Left(), Top()),
                     Rect(0, 0, Width(), Height()), 0, 0);
    PaintAllCacheCorners(FCommonData, 0);
    if (ShowButton())
        PaintButton();
    FCommonData->BackgroundStale = false;
    if (!Enabled()) {
        FCommonData->GetParentBackgroundSource(Background);
        PaintDisabledLook(Cache, FDisabledKind, Parent(), Background, Point(Left(), Top()));
    }
    BitBlt(DC, 0, 0, Width(), Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    TOwnerDrawState ItemState{odComboBoxEdit};
    if (FCommonData->HasFocus)
        ItemState.Include(odFocused);
    TRect R = ClientRect();
    InflateRect(R, -3, -3);
    Canvas()->PaintOn(DC, [&] { DrawSkinItem(GetItemIndex(), R, ItemState); });
}

void TsCommonComboBox::WMPaint(TMessage& Message) {
    if (!FCommonData->IsSkinned(false)) {
        TsCommonCombo::WndProc(Message);
        return;
    }
    if (!FCommonData->CustomColor() && FCommonData->SectionIndex >= 0)
        SetColor(FCommonData->Section().HotColor);
    Brush()->SetStyle(bsClear);
    PAINTSTRUCT PS;
    BeginPaint(Handle(), &PS);
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    const bool OwnDC = DC == nullptr;
    if (OwnDC)
        DC = GetWindowDC(Handle());
    SaveDC(DC);
    FCommonData->SetInUpdate(FCommonData->IsUpdating());
    if (!FCommonData->InUpdate)
        PaintSkin(DC);
    RestoreDC(DC, -1);
    if (OwnDC)
        ReleaseDC(Handle(), DC);
    EndPaint(Handle(), &PS);
}

void TsCommonComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    Canvas()->FillRect(Rect);
    if (Index >= 0 && Index < FItems->Count())
        Canvas()->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TsCommonComboBox::CNDrawItem(TMessage& Message) {
    auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    TOwnerDrawState State;
    for (auto [Bit, Item] : {std::pair{ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed}, {ODS_DISABLED, odDisabled},
                             {ODS_CHECKED, odChecked}, {ODS_FOCUS, odFocused}, {ODS_DEFAULT, odDefault}})
        if (D->itemState & Bit)
            State.Include(Item);
    const int Index = static_cast<int>(D->itemID);
    Canvas()->PaintOn(D->hDC, [&] {
        Canvas()->Font()->Assign(Font());
        Canvas()->Brush()->Assign(Brush());
        const TRect R = *reinterpret_cast<const TRect*>(&D->rcItem);
        if (FCommonData->IsSkinned(false)) {
            if (!(D->itemState & ODS_COMBOBOXEDIT) && Index >= 0)
                DrawSkinItem(Index, R, State);
            return;
        }
        if (D->itemState & ODS_COMBOBOXEDIT)
            State.Include(odComboBoxEdit);
        if (State.Contains(odSelected)) {
            Canvas()->Brush()->SetColor(clHighlight);
            Canvas()->Font()->SetColor(clHighlightText);
        } else {
            Canvas()->Brush()->SetColor(Color());
        }
        if (Index < 0)
            Canvas()->FillRect(R);
        else
            DrawItem(Index, R, State);
        if (State.Contains(odFocused))
            DrawFocusRect(D->hDC, &D->rcItem);
    });
    Message.Result = 1;
}

// ---------------------------------------------------------------------------------------------
// Completion and keys

void TsCommonComboBox::SetTextAndCaret(const std::string& Text, int Caret) {
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetText(Text);
    SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(Caret, Caret));
}

void TsCommonComboBox::Backspace() {
    DWORD Start = 0, End = 0;
    SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    std::string T = Text();
    Start = std::min<DWORD>(Start, static_cast<DWORD>(T.size()));
    End = std::min<DWORD>(End, static_cast<DWORD>(T.size()));
    if (Start < End) {
        SetTextAndCaret(T.erase(Start, End - Start), static_cast<int>(Start));
    } else if (!IsListStyle() && !T.empty()) {
        if (Start > 0) {
            SetTextAndCaret(T.erase(Start - 1, 1), static_cast<int>(Start - 1));
            FFilter = Text();
        }
    } else if (IsListStyle() && !FFilter.empty()) {
        FFilter.pop_back();
    }
}

void TsCommonComboBox::KeyPress(char& Key) {
    TsCommonCombo::KeyPress(Key);
    if (!FAutoComplete || Key == '\0')
        return;
    if (IsListStyle()) {
        DWORD Now = GetTickCount();
        if (Now - FLastKeyTime >= 500)
            FFilter.clear();
        FLastKeyTime = Now;
    } else {
        FFilter = Text();
    }
    switch (Key) {
    case '\b':
        Backspace();
        Key = '\0';
        Change();
        return;
    case '\t':
        if (FAutoDropDown && DroppedDown())
            SetDroppedDown(false);
        return;
    case '\x1b':
        return;
    default: break;
    }
    if (FAutoDropDown && !DroppedDown())
        SetDroppedDown(true);
    DWORD Start = 0, End = 0;
    if (!IsListStyle())
        SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    std::string Candidate = Start < End ? FFilter.substr(0, Start) + Key : FFilter + Key;
    if (SelectItem(Candidate))
        Key = '\0';
}

bool TsCommonComboBox::SelectItem(const std::string& Prefix) {
    if (Prefix.empty()) {
        SetItemIndex(-1);
        Change();
        return false;
    }
    const int Old = GetItemIndex();
    const int I = static_cast<int>(
        SendMessageA(Handle(), CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Prefix.c_str())));
    if (I < 0)
        return false;
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(I), 0);
    if (IsListStyle()) {
        SetItemIndex(I);
        FFilter = Prefix;
    } else {
        std::string Item = FItems->Strings(I);
        SetText(Prefix + Item.substr(std::min(Prefix.size(), Item.size())));
        SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(Prefix.size(), 0xFFFF));
    }
    if (I != Old) {
        Click();
        Select();
    }
    return true;
}

void TsCommonComboBox::WMLButtonDown(TMessage& Message) {
    if (FReadOnly) {
        SetFocus();
        return;
    }
    TsCommonCombo::WndProc(Message);
    TCustomForm* Form = GetParentForm();
    if (Form && Form->ActiveControl() != this && GetCapture() == Handle())
        ReleaseCapture();
}

void TsCommonComboBox::WndProc(TMessage& Message) {
    if (FReadOnly) {
        switch (Message.Msg) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYUP:
        case WM_CUT:
        case WM_PASTE:
        case WM_CLEAR:
        case WM_UNDO:
        case CN_KEYDOWN:
        case CN_CHAR:
        case CN_SYSKEYDOWN:
        case CN_SYSCHAR:
        case WM_COMMAND:
        case CN_COMMAND:
            return;
        case WM_LBUTTONDBLCLK:
            SetFocus();
            OnDblClick(this);
            return;
        default: break;
        }
    }
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_ERASEBKGND:
        if (!FCommonData->IsSkinned(false)) {
            RECT R;
            ::GetClientRect(Handle(), &R);
            HBRUSH B = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color())));
            FillRect(reinterpret_cast<HDC>(Message.WParam), &R, B);
            DeleteObject(B);
        }
        Message.Result = 1;
        return;
    case CN_DRAWITEM:
        CNDrawItem(Message);
        return;
    case WM_LBUTTONDOWN:
        WMLButtonDown(Message);
        return;
    default: break;
    }
    TsCommonCombo::WndProc(Message);
}

void TsComboBoxEx::DefineClass(TClassBuilder<TsComboBoxEx>& B) {
    B.Property("Images", &TsComboBoxEx::Images, &TsComboBoxEx::SetImages);
    B.Property("ItemsEx", &TsComboBoxEx::ItemsEx, &TsComboBoxEx::SetItemsEx);
}

void sComboBoxesInitialization() {
    RegisterClasses({TsCommonComboBox::StaticClass(), TsComboBoxEx::StaticClass()});
}
