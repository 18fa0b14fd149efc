// The two lower classes of the combo boxes: the list control with skin data and bound label, and
// the combo over the platform's COMBOBOX window with its edit and list children.
#include "sComboBoxes.h"

#include "Forms.h"
#include "ObjectInstances.h"
#include "acSBUtils.h"
#include "acSBUtilsCombo.h"
#include "sEditParts.h"
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
    MakeSkinParts(this, 1, "COMBOBOX", FCommonData, FBoundLabel);
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
    ReleaseListHook();
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
    ReleaseListHook();
    TsCustomListControl::DestroyWindowHandle();
    FEditHandle = nullptr;
    FListHandle = nullptr;
    FDropHandle = nullptr;
}

void TsCommonCombo::ReleaseListHook() {
    if (FListHook)
        UnhookWnd(FHookedList, true, 0, FListHook);
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
        if (FListHook && FListHook->SkinData)
            FListHook->SkinData->BackgroundStale = true;
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
                !ComponentState().Contains(csLoading) && !FHookedList && GetItemCount() > FDropDownCount) {
                FHookedList = reinterpret_cast<HWND>(Message.LParam);
                FListHook = TacComboListWnd::CreateEx(FHookedList, false, true, "EDIT", FCommonData->GetSkinManager(),
                                                      nullptr);
            }
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
