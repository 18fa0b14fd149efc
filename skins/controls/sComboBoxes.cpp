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
// TsCustomListControl

TsCustomListControl::TsCustomListControl(TComponent* AOwner) : TWinControl(AOwner) {
    FCommonData = Create<TsCommonData>(this, true);
    FCommonData->ControlKind = 1;
    if (FCommonData->SkinSection().empty() || FCommonData->SkinSection() == "UNKNOWN")
        FCommonData->SetSkinSection("COMBOBOX");
    FBoundLabel = Create<TsBoundLabel>(this, FCommonData);
}

TsCustomListControl::~TsCustomListControl() { FreeAndNil(FCommonData); }

void TsCustomListControl::AfterConstruction() {
    TWinControl::AfterConstruction();
    FCommonData->AfterOwnerLoaded();
}

void TsCustomListControl::BeforeDestruction() {
    // The label control is owned by this control: it goes with the bound label first.
    FreeAndNil(FBoundLabel);
    TWinControl::BeforeDestruction();
}

void TsCustomListControl::SetSkinData(TsCommonData* Value) {
    if (Value && Value != FCommonData)
        FCommonData->Assign(Value);
}

void TsCustomListControl::SetBoundLabel(TsBoundLabel* Value) {
    if (Value && Value != FBoundLabel)
        FBoundLabel->Assign(Value);
}

void TsCustomListControl::MoveSelection(TsCustomListControl* Destination) {
    CopySelection(Destination);
    DeleteSelected();
}

bool TsCustomListControl::HasPopupMenu() const {
    for (const TControl* C = this; C; C = C->Parent())
        if (C->PopupMenu())
            return true;
    return false;
}

void TsCustomListControl::TakeSectionColors() {
    if (!FCommonData->IsSkinned(false))
        return;
    const TsGeneralData& S = FCommonData->Section();
    if (!FCommonData->CustomColor())
        SetColor(S.Color);
    if (!FCommonData->CustomFont())
        Font()->SetColor(S.FontColor[0]);
}

void TsCustomListControl::Loaded() {
    TWinControl::Loaded();
    FCommonData->AfterOwnerLoaded();
    TakeSectionColors();
}

void TsCustomListControl::WndProc(TMessage& Message) {
    if (!FCommonData) {
        TWinControl::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD) {
        const Word Code = SkinCommandOf(Message.WParam);
        switch (Code) {
        case SKIN_LOADED:
        case SKIN_REMOVED:
        case SKIN_REFRESH:
            if (Message.LParam != reinterpret_cast<LPARAM>(FCommonData->GetSkinManager()))
                return;
            HandleCommonMessage(Message, FCommonData);
            if (Code == SKIN_REMOVED) {
                if (!FCommonData->CustomColor())
                    SetColor(clWindow);
                if (!FCommonData->CustomFont())
                    Font()->SetColor(clWindowText);
            } else if (Code == SKIN_REFRESH) {
                TakeSectionColors();
                if (HandleAllocated())
                    Repaint();
            }
            return;
        case SKIN_ENDUPDATE:
            if (FCommonData->IsUpdating()) {
                FCommonData->SetInUpdate(false);
                Repaint();
                return;
            }
            break;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return;
        case SKIN_GETAPPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    }
    if (IsControlReady(this)) {
        bool Done = false;
        SkinnedMessageBefore(Message, Done);
        if (!Done) {
            TWinControl::WndProc(Message);
            SkinnedMessageAfter(Message);
        }
    } else {
        TWinControl::WndProc(Message);
    }
    BoundLabelMessage(Message);
}

void TsCustomListControl::SkinnedMessageBefore(TMessage& Message, bool& Done) {
    if (HandleCommonMessage(Message, FCommonData)) {
        Done = true;
        return;
    }
    if (!FCommonData->IsSkinned(false))
        return;
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_NCCALCSIZE:
    case WM_MOUSEWHEEL:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        FCommonData->BackgroundStale = true;
        break;
    case WM_VSCROLL:
        Done = true;
        break;
    case WM_PRINT: {
        FCommonData->SetInUpdate(false);
        if (FCommonData->BackgroundStale)
            PaintBorderCache(FCommonData, Handle(), false);
        PaintAllCacheCorners(FCommonData, 0);
        TBitmap* Cache = FCommonData->CacheBitmap;
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        BitBlt(DC, 0, 0, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
        SendMessageA(Handle(), WM_PAINT, Message.WParam, 0);
        Done = true;
        break;
    }
    default:
        break;
    }
}

void TsCustomListControl::SkinnedMessageAfter(TMessage& Message) {
    if (!FCommonData->IsSkinned(false) || !HandleAllocated())
        return;
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENTER:
    case CM_EXIT:
        FCommonData->HasFocus = Message.Msg == WM_SETFOCUS || Message.Msg == CM_ENTER;
        FCommonData->MouseOver = false;
        FCommonData->BackgroundStale = true;
        Repaint();
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        break;
    case WM_MOVE:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_MOUSEWHEEL:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        break;
    case WM_SETFONT:
        FCommonData->BackgroundStale = true;
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        Repaint();
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (FCommonData->HasFocus || ComponentState().Contains(csDesigning))
            break;
        FCommonData->MouseOver = Message.Msg == CM_MOUSEENTER;
        FCommonData->BackgroundStale = true;
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        Repaint();
        break;
    default:
        break;
    }
}

void TsCustomListControl::BoundLabelMessage(TMessage& Message) {
    if (!FBoundLabel || !FBoundLabel->TheLabel)
        return;
    TCustomLabel* L = FBoundLabel->TheLabel;
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case CM_BIDIMODECHANGED:
        break;
    case CM_VISIBLECHANGED:
        L->SetVisible(Visible());
        break;
    case CM_ENABLEDCHANGED:
        L->SetEnabled(Enabled());
        break;
    default:
        return;
    }
    FBoundLabel->PlaceLabel();
}

// ---------------------------------------------------------------------------------------------
// TsCommonCombo

TsCommonCombo::TsCommonCombo(TComponent* AOwner) : TsCustomListControl(AOwner) {
    TControlStyle Style = ControlStyle();
    for (TControlStyleItem I : {csCaptureMouse, csSetCaption, csDoubleClicks, csFixedHeight, csReflector, csOpaque})
        Style.Include(I);
    SetControlStyle(Style);
    SetTabStop(true);
    SetParentColor(false);
    FCanvas = Create<TControlCanvas>();
    FCanvas->SetControl(this);
    FEditInstance = MakeObjectInstance(TWndMethod::Bind<&TsCommonCombo::EditWndProc>(this));
    FListInstance = MakeObjectInstance(TWndMethod::Bind<&TsCommonCombo::ListWndProc>(this));
    SetBounds(Left(), Top(), 145, 22);
}

TsCommonCombo::~TsCommonCombo() {
    FreeObjectInstance(FEditInstance);
    FreeObjectInstance(FListInstance);
    FreeAndNil(FCanvas);
}

void TsCommonCombo::BeforeDestruction() {
    // The children must not call into this object's procedures once it goes.
    if (HandleAllocated())
        ReleaseChildren();
    FHookedList = nullptr;
    TsCustomListControl::BeforeDestruction();
}

void TsCommonCombo::CreateWnd() {
    TsCustomListControl::CreateWnd();
    SendMessageA(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    FEditHandle = nullptr;
    FListHandle = nullptr;
    FDropHandle = Handle();
    SubclassChildren();
}

void TsCommonCombo::SubclassChildren() {
    COMBOBOXINFO Info{};
    Info.cbSize = sizeof(Info);
    if (!GetComboBoxInfo(Handle(), &Info))
        return;
    if (Info.hwndItem && Info.hwndItem != Handle()) {
        FEditHandle = Info.hwndItem;
        FDefEditProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FEditHandle, GWLP_WNDPROC));
        SetWindowLongPtrA(FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditInstance));
    }
    // Only a simple combo box's list is a child of the control; a drop-down list is a popup.
    if (Info.hwndList && (GetWindowLongA(Handle(), GWL_STYLE) & 3) == CBS_SIMPLE) {
        FListHandle = Info.hwndList;
        FSubclassedList = Info.hwndList;
        FDefListProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FListHandle, GWLP_WNDPROC));
        SetWindowLongPtrA(FListHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FListInstance));
    }
}

void TsCommonCombo::ReleaseChildren() {
    if (FEditHandle && FDefEditProc && IsWindow(FEditHandle))
        SetWindowLongPtrA(FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefEditProc));
    if (FSubclassedList && FDefListProc && IsWindow(FSubclassedList))
        SetWindowLongPtrA(FSubclassedList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefListProc));
    FSubclassedList = nullptr;
}

void TsCommonCombo::DestroyWindowHandle() {
    ReleaseChildren();
    TsCustomListControl::DestroyWindowHandle();
    FEditHandle = nullptr;
    FListHandle = nullptr;
    FDropHandle = nullptr;
    FHookedList = nullptr;
}

void TsCommonCombo::Loaded() {
    TsCustomListControl::Loaded();
    if (FStoredItemIndex != -1) {
        int Index = FStoredItemIndex;
        FStoredItemIndex = -1;
        SetItemIndex(Index);
    }
}

bool TsCommonCombo::SkinSectionValid() const {
    TsSkinManager* M = FCommonData->GetSkinManager();
    return M && M->SectionIndexInRange(FCommonData->SectionIndex);
}

int TsCommonCombo::GetItemIndex() {
    if (ComponentState().Contains(csLoading))
        return FStoredItemIndex;
    return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)) : FSaveIndex;
}

void TsCommonCombo::SetItemIndex(int Value) {
    if (ComponentState().Contains(csLoading)) {
        FStoredItemIndex = Value;
        return;
    }
    if (Value == GetItemIndex())
        return;
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
    if (SkinSectionValid())
        Repaint();
}

void TsCommonCombo::AddItem(const std::string& Item, TObject* AObject) { FItems->AddObject(Item, AObject); }

void TsCommonCombo::Clear() {
    SetText("");
    FItems->Clear();
    FSaveIndex = -1;
}

void TsCommonCombo::CopySelection(TsCustomListControl* Destination) {
    int Index = GetItemIndex();
    if (Destination && Index >= 0 && Index < FItems->Count())
        Destination->AddItem(FItems->Strings(Index), FItems->Objects(Index));
}

void TsCommonCombo::DeleteSelected() {
    int Index = GetItemIndex();
    if (Index >= 0 && Index < FItems->Count())
        FItems->Delete(Index);
}

void TsCommonCombo::SelectAll() { SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF)); }

void TsCommonCombo::SetItems(TStrings* Value) {
    if (FItems)
        FItems->Assign(Value);
    else
        FItems = Value;
}

void TsCommonCombo::SetMaxLength(int Value) {
    Value = std::max(Value, 0);
    if (Value == FMaxLength)
        return;
    FMaxLength = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TsCommonCombo::SetDropDownCount(int Value) { FDropDownCount = Value; }

void TsCommonCombo::SetItemHeight(int Value) {
    if (Value <= 0)
        return;
    FItemHeight = Value;
    if (HandleAllocated()) {
        SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, Value);
        RecreateWnd();
    }
}

bool TsCommonCombo::DroppedDown() { return HandleAllocated() && SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TsCommonCombo::SetDroppedDown(bool Value) {
    SendMessageA(Handle(), CB_SHOWDROPDOWN, Value ? 1 : 0, 0);
    RECT R;
    ::GetClientRect(Handle(), &R);
    InvalidateRect(Handle(), &R, TRUE);
}

bool TsCommonCombo::Focused() const {
    HWND Focus = GetFocus();
    return Focus && (Focus == FEditHandle || Focus == FListHandle || (HandleAllocated() && Focus == FHandle));
}

void TsCommonCombo::MeasureItem(int Index, int& Height) {
    if (OnMeasureList)
        OnMeasureList(this, Index, Height);
}

void TsCommonCombo::AdjustDropDown() {
    if (!FDropHandle)
        return;
    const int N = std::min(GetItemCount(), FDropDownCount);
    FAdjustingDropDown = true;
    SetWindowPos(FDropHandle, nullptr, 0, 0, Width(), std::max(N, 1) * GetItemHt() + Height() + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_HIDEWINDOW);
    FAdjustingDropDown = false;
    SetWindowPos(FDropHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
}

void TsCommonCombo::Change() {
    if (ComponentState().Contains(csLoading))
        return;
    Changed();
    UpdateMargins();
    if (SkinSectionValid() && HandleAllocated()) {
        RECT R{3, 3, Width() - 3, Height() - 3};
        InvalidateRect(Handle(), &R, FALSE);
    }
    OnChange(this);
}

void TsCommonCombo::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TsCommonCombo::DropDown() { OnDropDown(this); }

void TsCommonCombo::CloseUp() { OnCloseUp(this); }

bool TsCommonCombo::CloseOnKey(WPARAM Key) {
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && DroppedDown()) {
        SetDroppedDown(false);
        return true;
    }
    return false;
}

void TsCommonCombo::CNCommand(TMessage& Message) {
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE: {
        int Index = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
        if (Index >= 0 && Index < FItems->Count())
            SetText(FItems->Strings(Index));
        Click();
        Select();
        break;
    }
    case CBN_DBLCLK: DblClick(); break;
    case CBN_SETFOCUS:
        FIsFocused = true;
        FCommonData->HasFocus = true;
        FFocusChanged = true;
        break;
    case CBN_KILLFOCUS:
        FIsFocused = false;
        FCommonData->HasFocus = false;
        FFocusChanged = true;
        break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN:
        FFocusChanged = false;
        DropDown();
        AdjustDropDown();
        if (FFocusChanged) {
            PostMessageA(Handle(), WM_CANCELMODE, 0, 0);
            if (!FIsFocused)
                PostMessageA(Handle(), CB_SHOWDROPDOWN, 0, 0);
        }
        break;
    case CBN_CLOSEUP:
        FCommonData->BackgroundStale = true;
        Repaint();
        CloseUp();
        break;
    default: break;
    }
}

void TsCommonCombo::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        if (FAdjustingDropDown) {
            DefaultHandler(Message);
            return;
        }
        break;
    case WM_CHAR:
        if (CloseOnKey(Message.WParam))
            return;
        break;
    case CN_COMMAND:
        CNCommand(Message);
        return;
    case CN_MEASUREITEM: {
        auto* M = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        int H = FItemHeight;
        MeasureItem(static_cast<int>(M->itemID), H);
        M->itemHeight = static_cast<UINT>(FItemHeight);
        return;
    }
    case CM_CANCELMODE:
        if (Message.LParam != reinterpret_cast<LPARAM>(this) && HandleAllocated())
            SendMessageA(Handle(), CB_SHOWDROPDOWN, 0, 0);
        break;
    case WM_GETDLGCODE:
        DefaultHandler(Message);
        if (DroppedDown())
            Message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_DRAWITEM:
    case WM_DELETEITEM:
        DefaultHandler(Message);
        return;
    default:
        if (Message.Msg >= WM_CTLCOLORMSGBOX && Message.Msg <= WM_CTLCOLORSTATIC) {
            // A list long enough for a scroll bar is where the scroll-bar hook goes.
            if (Message.Msg == WM_CTLCOLORLISTBOX && FCommonData->IsSkinned(false) &&
                !ComponentState().Contains(csLoading) && !FHookedList && GetItemCount() > FDropDownCount)
                FHookedList = reinterpret_cast<HWND>(Message.LParam);
            HDC DC = reinterpret_cast<HDC>(Message.WParam);
            SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
            ::SetBkColor(DC, static_cast<COLORREF>(ColorToRGB(Brush()->Color())));
            Message.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
            return;
        }
        break;
    }
    TsCustomListControl::WndProc(Message);
}

void TsCommonCombo::EditWndProc(TMessage& Message) {
    if (Message.Msg == WM_SYSCOMMAND) {
        WndProc(Message);
        return;
    }
    ComboWndProc(Message, FEditHandle, FDefEditProc);
    if (Message.Msg == WM_SETFONT)
        SendMessageA(FEditHandle, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void TsCommonCombo::ListWndProc(TMessage& Message) { ComboWndProc(Message, FListHandle, FDefListProc); }

void TsCommonCombo::ComboWndProc(TMessage& Message, HWND ChildWindow, WNDPROC OldProc) {
    try {
        switch (Message.Msg) {
        case WM_SETFOCUS: {
            TCustomForm* Form = GetParentForm();
            if (Form && !Form->SetFocusedControl(this))
                return;
            break;
        }
        case WM_KILLFOCUS:
            if (ControlState().Contains(csFocusing))
                return;
            break;
        case WM_NCHITTEST:
            if (ComponentState().Contains(csDesigning)) {
                Message.Result = HTTRANSPARENT;
                return;
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (ChildWindow != FListHandle && DoKeyDown(static_cast<TWMKey&>(Message)))
                return;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (DoKeyUp(static_cast<TWMKey&>(Message)))
                return;
            break;
        case WM_CHAR:
            if (DoKeyPress(static_cast<TWMKey&>(Message)))
                return;
            if (CloseOnKey(Message.WParam))
                return;
            break;
        case WM_RBUTTONUP:
            if (HasPopupMenu()) {
                POINT P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
                MapWindowPoints(ChildWindow, Handle(), &P, 1);
                Message.LParam = MAKELPARAM(P.x, P.y);
                WndProc(Message);
                return;
            }
            break;
        case CN_KEYDOWN:
        case CN_CHAR:
        case CN_SYSKEYDOWN:
        case CN_SYSCHAR:
            WndProc(Message);
            return;
        default:
            break;
        }
        Message.Result = CallWindowProcA(OldProc, ChildWindow, Message.Msg, Message.WParam, Message.LParam);
        if (Message.Msg == WM_GETDLGCODE && DroppedDown())
            Message.Result |= DLGC_WANTALLKEYS;
        if (Message.Msg == WM_LBUTTONDBLCLK && ControlStyle().Contains(csDoubleClicks))
            DblClick();
    } catch (Exception&) {
        Application->HandleException(this);
    }
}

TRect TsCommonCombo::GetButtonRect() const {
    const int W = FShowButton ? GetSystemMetrics(SM_CXVSCROLL) + 1 : 0;
    const int L = UseRightToLeftAlignment() ? 2 : Width() - W - 2;
    return Rect(L, 2, L + W, Height() - 2);
}

void TsCommonCombo::PaintButton() {
    TsSkinManager* M = FCommonData->GetSkinManager();
    TBitmap* Cache = FCommonData->CacheBitmap;
    if (!M || !Cache)
        return;
    const int State = DroppedDown() ? 2 : FCommonData->IsHotState() ? 1 : 0;
    const TRect R = GetButtonRect();
    const TsCommonIndexes& Ix = M->CommonIndexes;
    if (M->SectionIndexInRange(Ix.ComboButton))
        PaintSkinItem(Ix.ComboButton, "COMBOBTN", MakeBackgroundSource(Cache, 0, 0), Ix.ComboButtonHotTexture,
                      Ix.ComboButtonTexture, M, Cache, Point(R.Left, R.Top), R, State, true);
    if (M->MaskIndexInRange(Ix.ComboGlyph)) {
        const TsMaskData& Glyph = M->MaskList[Ix.ComboGlyph];
        const int FrameW = GetMaskImageWidth(Glyph), FrameH = GetMaskImageHeight(Glyph);
        const TPoint At = Point(R.Left + (R.Right - R.Left - FrameW) / 2, (Height() - FrameH) / 2);
        DrawSkinGlyph(Cache, At, State, 1, Glyph, MakeBackgroundSource(Cache, 0, 0));
    }
}

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

// ---------------------------------------------------------------------------------------------
// Extended combo box

namespace {
// Pixels a list row moves right per indent level.
constexpr int IndentStep = 16;
// The gap between an item's image and its text.
constexpr int ImageTextGap = 5;
}  // namespace

void TsComboItem::DefineClass(TClassBuilder<TsComboItem>& B) {
    B.Property("Caption", &TsComboItem::Caption, &TsComboItem::SetCaption);
    B.Property("SelectedImageIndex", &TsComboItem::SelectedImageIndex, &TsComboItem::SetSelectedImageIndex)
        .TypeName("TImageIndex")
        .Default(-1);
    B.Property("ImageIndex", &TsComboItem::ImageIndex, &TsComboItem::SetImageIndex).TypeName("TImageIndex").Default(-1);
    B.Property("OverlayImageIndex", &TsComboItem::OverlayImageIndex, &TsComboItem::SetOverlayImageIndex)
        .TypeName("TImageIndex")
        .Default(-1);
    B.Property("Indend", &TsComboItem::Indend, &TsComboItem::SetIndend).Default(-1);
}

void TsComboItem::Assign(TPersistent* Source) {
    if (auto* S = DynCast<TsComboItem>(Source)) {
        FCaption = S->FCaption;
        FSelectedImageIndex = S->FSelectedImageIndex;
        FImageIndex = S->FImageIndex;
        FOverlayImageIndex = S->FOverlayImageIndex;
        FIndend = S->FIndend;
        Data = S->Data;
        return;
    }
    TCollectionItem::Assign(Source);
}

std::string TsComboItem::GetDisplayName() { return FCaption.empty() ? TCollectionItem::GetDisplayName() : FCaption; }

void TsComboItem::SetCaption(const std::string& Value) {
    if (Value == FCaption)
        return;
    FCaption = Value;
    SetDisplayName(Value);
}

TsComboItem* TsComboItems::AddItem(const std::string& Caption, int ImageIndex, int SelectedImageIndex,
                                   int OverlayImageIndex, int Indent, void* Data) {
    auto* Item = static_cast<TsComboItem*>(Add());
    Item->SetCaption(Caption);
    Item->SetImageIndex(ImageIndex);
    Item->SetSelectedImageIndex(SelectedImageIndex);
    Item->SetOverlayImageIndex(OverlayImageIndex);
    Item->SetIndend(Indent);
    Item->Data = Data;
    return Item;
}

TsCustomComboBoxEx::TsCustomComboBoxEx(TComponent* AOwner) : TsCommonComboBox(AOwner) {
    SetStyle(csOwnerDrawFixed);
    FItemsEx = Create<TsComboItems>(this);
    FItemsEx->SetPropName("ItemsEx");
    FImageChangeLink = Create<TChangeLink>();
    FImageChangeLink->OnChange = TNotifyEvent::Bind<&TsCustomComboBoxEx::ImageListChange>(this);
    UpdateItems();
}

TsCustomComboBoxEx::~TsCustomComboBoxEx() {
    FreeAndNil(FImageChangeLink);
    FreeAndNil(FItemsEx);
}

void TsCustomComboBoxEx::BeforeDestruction() {
    if (FImages)
        FImages->UnRegisterChanges(FImageChangeLink);
    FImageChangeLink->OnChange = TNotifyEvent();
    TsCommonComboBox::BeforeDestruction();
}

void TsCustomComboBoxEx::CreateWnd() {
    TsCommonComboBox::CreateWnd();
    if (FItemsPending)
        UpdateItems();
    UpdateMargins();
}

void TsCustomComboBoxEx::UpdateItems() {
    if (!HandleAllocated()) {
        FItemsPending = true;
        return;
    }
    FItems->BeginUpdate();
    try {
        FItems->Clear();
        for (int I = 0; I < FItemsEx->Count(); ++I)
            FItems->Insert(FItemsEx->Items(I)->Index(), FItemsEx->Items(I)->Caption());
    } catch (...) {
        FItems->EndUpdate();
        throw;
    }
    FItems->EndUpdate();
    FItemsPending = false;
}

void TsCustomComboBoxEx::Clear() {
    TsCommonComboBox::Clear();
    FItemsEx->Clear();
}

void TsCustomComboBoxEx::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->UnRegisterChanges(FImageChangeLink);
    FImages = Value;
    if (FImages) {
        FImages->RegisterChanges(FImageChangeLink);
        FImages->FreeNotification(this);
        if (HandleAllocated())
            PostMessageA(Handle(), WM_USER + 2, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
        if (GetItemHt() < FImages->Height())
            SetItemHeight(FImages->Height());
    } else if (HandleAllocated()) {
        Perform(WM_USER + 2, 0, 0);
        RecreateWnd();
    }
    UpdateMargins();
}

void TsCustomComboBoxEx::ImageListChange(TObject* Sender) {
    if (!Sender) {
        SetImages(nullptr);
        return;
    }
    if (HandleAllocated() && FImages)
        Perform(WM_USER + 2, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
}

void TsCustomComboBoxEx::Notification(TComponent* AComponent, TOperation Operation) {
    TsCommonComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

void TsCustomComboBoxEx::UpdateMargins() {
    if (!HandleAllocated())
        return;
    if (FImages && GetItemIndex() >= 0) {
        if (EditHandle())
            SendMessageA(EditHandle(), EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(FImages->Width(), 0));
        return;
    }
    if (EditHandle())
        SendMessageA(EditHandle(), EM_SETMARGINS, EC_LEFTMARGIN, 0);
    Invalidate();
}

TsComboItem* TsCustomComboBoxEx::ItemAt(int Index) const {
    return Index >= 0 && Index < FItemsEx->Count() ? FItemsEx->Items(Index) : nullptr;
}

TsComboItem* TsCustomComboBoxEx::CurrentItem() { return ItemAt(GetItemIndex()); }

int TsCustomComboBoxEx::GetImageIndex(TsComboItem* Item, TOwnerDrawState State) const {
    if (!FImages || !Item)
        return -1;
    if (!State.Contains(odComboBoxEdit) && State.Contains(odSelected) && Item->SelectedImageIndex() >= 0)
        return Item->SelectedImageIndex();
    return Item->ImageIndex();
}

void TsCustomComboBoxEx::GetImageRect(TsComboItem* Item, TOwnerDrawState State, TRect& R) const {
    if (!FImages || !Item) {
        R = TRect{};
        return;
    }
    const int A = (Height() - FImages->Height()) / 2;
    R = Rect(A, A, A + FImages->Width(), A + FImages->Height());
    if (!State.Contains(odComboBoxEdit) && Item->Indend() > 0)
        OffsetRect(R, IndentStep * Item->Indend(), 0);
}

void TsCustomComboBoxEx::DrawImage(TsComboItem* Item, TOwnerDrawState State, int X, int Y) {
    const int Image = GetImageIndex(Item, State);
    if (FImages && Image >= 0 && Image < FImages->Count())
        FImages->Draw(Canvas(), X, Y, Image, Enabled());
}

bool TsCustomComboBoxEx::FocusedLook(TOwnerDrawState State) {
    return (FCommonData->HasFocus || Focused() || State.Contains(odFocused)) && !DroppedDown();
}

void TsCustomComboBoxEx::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    const int ButtonWidth = GetButtonRect().Right - GetButtonRect().Left;
    TsComboItem* Item = ItemAt(Index);
    std::string Text = Index >= 0 && Index < FItems->Count() ? FItems->Strings(Index) : std::string();
    TRect ImageRect;
    if (State.Contains(odComboBoxEdit)) {
        Rect.Right -= 1;
        C->Brush()->SetColor(FocusedLook(State) ? clHighlight : Color());
        C->FillRect(Rect);
        Rect.Right -= 3;
        if (Index < 0)
            return;
        GetImageRect(CurrentItem(), State, ImageRect);
        if (GetImageIndex(Item, State) < 0) {
            ImageRect.Top = Rect.Top;
            ImageRect.Bottom = Rect.Bottom;
        } else {
            DrawImage(Item, State, ImageRect.Left, ImageRect.Top);
        }
        TRect TextRect = ::Rect(ImageRect.Right + ImageTextGap, Rect.Top,
                                Width() - ButtonWidth - 3 * (ShowButton() ? 1 : 0), Rect.Bottom);
        C->Brush()->SetStyle(bsClear);
        C->Font()->Assign(Font());
        if (State.Contains(odFocused))
            C->Font()->SetColor(clHighlightText);
        C->TextRect(TextRect, TextRect.Left, TextRect.Top + (TextRect.Bottom - TextRect.Top - C->TextHeight(Text)) / 2,
                    Text);
        return;
    }
    const bool Selected = State.Contains(odSelected);
    C->Brush()->SetColor(Selected ? clHighlight : Color());
    C->Font()->SetColor(Selected ? clHighlightText : Font()->Color());
    C->FillRect(Rect);
    if (Selected)
        C->DrawFocusRect(Rect);
    GetImageRect(Item, State, ImageRect);
    const int RowTop = Rect.Top + (Rect.Bottom - Rect.Top - (ImageRect.Bottom - ImageRect.Top)) / 2;
    OffsetRect(ImageRect, 0, RowTop - ImageRect.Top);
    if (ImageRect.Right > ImageRect.Left)
        DrawImage(Item, State, ImageRect.Left, ImageRect.Top);
    const int TextLeft = ImageRect.Right + ImageTextGap;
    C->Brush()->SetStyle(bsClear);
    C->TextOut(TextLeft, Rect.Top + (Rect.Bottom - Rect.Top - C->TextHeight(Text)) / 2, Text);
}

void TsCustomComboBoxEx::DrawSkinItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas* C = Canvas();
    TsComboItem* Item = ItemAt(Index);
    std::string Text = Index >= 0 && Index < FItems->Count() ? FItems->Strings(Index) : std::string();
    const int ButtonWidth = GetButtonRect().Right - GetButtonRect().Left;
    TRect ImageRect;
    if (State.Contains(odComboBoxEdit)) {
        C->Font()->Assign(Font());
        if (Index < 0 || GetImageIndex(Item, State) < 0)
            ImageRect = ::Rect(Rect.Left - 3, Rect.Top, Rect.Left - 3, Rect.Bottom);
        else
            GetImageRect(CurrentItem(), State, ImageRect);
        TRect TextRect = ::Rect(ImageRect.Right + 3, 0, Width() - ButtonWidth - 2 * (ShowButton() ? 1 : 0) - 3, Height());
        const bool Highlight = FocusedLook(State);
        if (Highlight) {
            TRect Area = ::Rect(Rect.Left, Rect.Top, TextRect.Right, Rect.Bottom);
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(clHighlight);
            C->FillRect(Area);
            C->DrawFocusRect(Area);
            C->Font()->SetColor(clHighlightText);
        }
        if (Index >= 0 && GetImageIndex(Item, State) >= 0)
            DrawImage(Item, State, ImageRect.Left, ImageRect.Top);
        TextRect.Left += 2;
        if (Highlight) {
            C->Brush()->SetStyle(bsClear);
            C->TextRect(TextRect, TextRect.Left,
                        TextRect.Top + (TextRect.Bottom - TextRect.Top - C->TextHeight(Text)) / 2, Text);
        } else {
            DrawControlText(C, Text, Enabled(), FCommonData->IsHotState(), FCommonData,
                            DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, TextRect);
        }
        return;
    }
    if (Index < 0 || Index >= FItems->Count())
        return;
    const bool Skinned = FCommonData->IsSkinned(false);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Skinned ? FCommonData->Section().Color : Color());
    C->Font()->SetColor(Skinned ? FCommonData->Section().FontColor[0] : Font()->Color());
    C->FillRect(Rect);
    GetImageRect(Item, State, ImageRect);
    const int RowTop = Rect.Top + (Rect.Bottom - Rect.Top - (ImageRect.Bottom - ImageRect.Top)) / 2;
    OffsetRect(ImageRect, 0, RowTop - ImageRect.Top);
    TRect TextRect = ::Rect(ImageRect.Right + ImageTextGap, Rect.Top, Rect.Right, Rect.Bottom);
    if (State.Contains(odSelected)) {
        C->Brush()->SetColor(clHighlight);
        C->Font()->SetColor(clHighlightText);
        TextRect.Right = std::min<LONG>(TextRect.Right, TextRect.Left + C->TextWidth(Text) + 6);
        C->FillRect(Rect);
        C->DrawFocusRect(Rect);
    }
    if (ImageRect.Right > ImageRect.Left)
        DrawImage(Item, State, ImageRect.Left, ImageRect.Top);
    C->Brush()->SetStyle(bsClear);
    C->TextOut(TextRect.Left, TextRect.Top + (TextRect.Bottom - TextRect.Top - C->TextHeight(Text)) / 2, Text);
}

void TsComboBoxEx::DefineClass(TClassBuilder<TsComboBoxEx>& B) {
    B.Property("Images", &TsComboBoxEx::Images, &TsComboBoxEx::SetImages);
    B.Property("ItemsEx", &TsComboBoxEx::ItemsEx, &TsComboBoxEx::SetItemsEx);
}

void sComboBoxesInitialization() {
    RegisterClasses({TsCommonComboBox::StaticClass(), TsComboBoxEx::StaticClass()});
}
