#include "dxExEdtr.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Pick list boxes

void TCustomdxPopupPickListBox::KeyPress(char& Key) {
    const auto Ch = static_cast<unsigned char>(Key);
    if (Key == '\b' || Key == 27)
        PickSearchText.clear();
    else if (Ch >= 32) {
        const Cardinal Tick = GetTickCount();
        if (Tick - PickSearchTick > 2000)
            PickSearchText.clear();
        PickSearchTick = Tick;
        if (PickSearchText.size() < 32) {
            PickSearchText += Key;
            if (SendMessageA(Handle(), LB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(PickSearchText.c_str())) == LB_ERR)
                PickSearchText.pop_back();
        }
        Key = 0;
    }
    TCustomdxPopupListBox::KeyPress(Key);
}

void TdxPopupPickListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomdxPopupPickListBox::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (auto* Edit = DynCast<TdxInplaceDropDownEdit>(Owner()))
        Edit->ClosePopup(X >= 0 && X < Width() && Y >= 0 && Y < Height());
}

// ---------------------------------------------------------------------------------------------
// The editor

TdxInplacePickEdit::TdxInplacePickEdit(TComponent* AOwner) : TdxInplaceDropDownEdit(AOwner) {
    SearchInPopup = true;
    FItems = Create<TStringList>();
    FItemsPopup = Create<TdxPopupPickListBox>(this);
    FItemsPopup->SetVisible(false);
    FItemsPopup->SetControlStyle(FItemsPopup->ControlStyle().Include(csReplicatable));
    FItemsPopup->SetIntegralHeight(true);
    FItemsPopup->SetItemHeight(11);
    FItemsPopup->OnMouseUp = TMouseEvent::Bind<&TdxInplacePickEdit::PopupMouseUp>(this);
}

TdxInplacePickEdit::~TdxInplacePickEdit() { FreeAndNil(FItems); }

void TdxInplacePickEdit::DefineClass(TClassBuilder<TdxInplacePickEdit>&) {}

void TdxInplacePickEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TdxInplaceDropDownEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FItemsPopup)
        FItemsPopup = nullptr;
}

void TdxInplacePickEdit::SetPickText(const std::string& S) {
    if (Text() != S) {
        SetMaskedText(S);
        SetModified(true);
    }
}

void TdxInplacePickEdit::ClearPickText() {
    if (!CanChangeValue())
        return;
    const bool Was = RefreshSuppressed;
    RefreshSuppressed = true;
    try {
        SetPickText(std::string());
    } catch (...) {
        RefreshSuppressed = Was;
        throw;
    }
    RefreshSuppressed = Was;
}

void TdxInplacePickEdit::ResetSearch() {
    if (RefreshSuppressed)
        return;
    FSearching = false;
    FSearchText.clear();
}

void TdxInplacePickEdit::SetEditValue(const Variant& Value) {
    TdxInplaceDropDownEdit::SetEditValue(Value);
    ResetSearch();
}

void TdxInplacePickEdit::SetActive(bool Value) {
    TdxInplaceDropDownEdit::SetActive(Value);
    ResetSearch();
}

void TdxInplacePickEdit::SetReadOnly(bool Value) {
    TdxInplaceDropDownEdit::SetReadOnly(Value);
    if (FDropDownListStyle && HandleAllocated())
        SendMessageA(FHandle, EM_SETREADONLY, 1, 0);
}

void TdxInplacePickEdit::SetDropDownListStyle(bool Value) {
    if (FDropDownListStyle == Value)
        return;
    FDropDownListStyle = Value;
    SetReadOnly(GetReadOnly());
}

void TdxInplacePickEdit::SetItemsSorted(bool Value) {
    if (FItemsSorted == Value)
        return;
    ShowPopup(false);
    FItemsSorted = Value;
    FItems->SetSorted(Value);
}

int TdxInplacePickEdit::FindPickItem(const std::string& Text) {
    if (Text.empty())
        return -1;
    const int N = static_cast<int>(Text.size());
    for (int I = 0; I < FItems->Count(); ++I) {
        const std::string Item = FItems->Strings(I);
        if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Item.c_str(), std::min(N, static_cast<int>(Item.size())),
                           Text.c_str(), N) == CSTR_EQUAL)
            return I;
    }
    return -1;
}

bool TdxInplacePickEdit::ApplySearch() {
    const int I = FindPickItem(FSearchText);
    if (I < 0)
        return false;
    const bool Was = RefreshSuppressed;
    RefreshSuppressed = true;
    try {
        if (CanChangeValue())
            SetPickText(FItems->Strings(I));
    } catch (...) {
        RefreshSuppressed = Was;
        throw;
    }
    RefreshSuppressed = Was;
    SetSelection(static_cast<int>(FSearchText.size()), GetTextLength());
    return true;
}

// The rich edit's select-all takes in its closing paragraph mark: a selection may end past the text.
bool TdxInplacePickEdit::WholeTextSelected() {
    const int Length = GetTextLength();
    return Length > 0 && GetSelStart() == 0 && GetSelLength() >= Length;
}

void TdxInplacePickEdit::KeyPress(char& Key) {
    if (GetReadOnly()) {
        Key = 0;
        TdxInplaceDropDownEdit::KeyPress(Key);
        return;
    }
    bool Found = false;
    const int Length = GetTextLength();
    const bool CaretAtEnd = GetSelStart() + GetSelLength() >= Length;
    if (Key == '\b') {
        if (!CaretAtEnd && !FDropDownListStyle)
            ResetSearch();
        if (FDropDownListStyle) {
            if (WholeTextSelected() && CanDeleteText)
                ClearPickText();
            else if (!FSearching) {
                FSearching = true;
                FSearchText = Text();
            }
        }
        if (FSearching) {
            if (!FSearchText.empty())
                FSearchText.pop_back();
            if (!FSearchText.empty() || (FDropDownListStyle && !CanDeleteText)) {
                SetSelection(static_cast<int>(FSearchText.size()), GetTextLength());
                Found = ApplySearch();
            } else
                ClearPickText();
        }
    } else if (static_cast<unsigned char>(Key) >= 32) {
        if (!CaretAtEnd || Length != static_cast<int>(FSearchText.size()))
            ResetSearch();
        if (FSearching && (MaxLength() == 0 || Length < MaxLength()))
            FSearchText += Key;
        else {
            FSearching = true;
            std::string S = Text();
            S.erase(std::min<std::size_t>(GetSelStart(), S.size()), GetSelLength());
            FSearchText = S + Key;
        }
        Found = ApplySearch();
        if (ImmediateDropDown && !DroppedDown) {
            OpenPopup();
            if (FItemsPopup && FItemsPopup->HandleAllocated())
                RemovePendingMessage(FItemsPopup->Handle(), WM_MOUSEMOVE);
            PopupSearch(Text());
        }
    }
    if (Found)
        Key = 0;
    TdxInplaceDropDownEdit::KeyPress(Key);
}

void TdxInplacePickEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE)
        ResetSearch();
    else if (Key == VK_DELETE && FDropDownListStyle && WholeTextSelected() && CanDeleteText)
        ClearPickText();
    if (!IsInplace() && FItems->Count() > 0) {
        switch (Key) {
        case VK_PRIOR: StepValue(1 - DropDownRows, false); Key = 0; break;
        case VK_NEXT: StepValue(DropDownRows - 1, false); Key = 0; break;
        case VK_UP: StepValue(-1, false); Key = 0; break;
        case VK_DOWN: StepValue(1, false); Key = 0; break;
        default: break;
        }
    }
    TdxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TdxInplacePickEdit::StepValue(int Delta, bool Cycle) {
    if (GetReadOnly() || FItems->Count() == 0)
        return;
    ResetSearch();
    const int Last = FItems->Count() - 1;
    const int I = FPickIndex == -1 ? FindPickItem(Text()) : FPickIndex;
    int N = 0;
    if (I >= 0 && I <= Last) {
        N = std::max(0, I + Delta);
        if (N > Last)
            N = Cycle ? 0 : Last;
    }
    FPickIndex = N;
    if (CanChangeValue())
        SetPickText(FItems->Strings(N));
    SelectAll();
}

void TdxInplacePickEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Shift.Contains(ssDouble) && Revertable && FItems->Count() > 1) {
        StepValue(1, true);
        PopupSearch(Text());
    }
    TdxInplaceDropDownEdit::MouseDown(Button, Shift, X, Y);
}

void TdxInplacePickEdit::PreparePickList() {
    TdxPopupPickListBox* L = FItemsPopup;
    L->SetParent(this);
    L->SetColor(Color());
    L->Font()->Assign(Font());
    L->SetListBorder(ResolvedPopupBorder());
    L->SetListShadow(FStyle && FStyle->Shadow());
    L->Items()->Assign(FItems);
    int Widest = 0;
    if (DropDownWidth == 0) {
        TCanvas* C = L->Canvas();
        C->Font()->Assign(L->Font());
        for (int I = 0; I < FItems->Count(); ++I)
            Widest = std::max(Widest, C->TextWidth(FItems->Strings(I)));
    }
    L->FitToItems(std::min(FItems->Count(), DropDownRows), std::max(10, Widest) + 4, DropDownWidth);
    L->SetItemIndex(FItems->IndexOf(Text()));
    PositionPopup(L, true);
}

void TdxInplacePickEdit::OpenPopup() {
    if (DefinitionReadOnly() || !FItemsPopup)
        return;
    if (HandleAllocated() && GetFocus() != FHandle && CanFocus())
        ::SetFocus(FHandle);
    if (!HandleAllocated() || GetFocus() != FHandle)
        return;
    DoOpenPopup();
    ActivePopup = FItemsPopup;
    if (FItems->Count() == 0)
        return;
    PreparePickList();
    SetWindowPos(FItemsPopup->Handle(), HWND_TOP, FItemsPopup->Left(), FItemsPopup->Top(), FItemsPopup->Width(),
                 FItemsPopup->Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    DroppedDown = true;
    InvalidateEditor();
}

void TdxInplacePickEdit::PopupSearch(const std::string& Text) {
    if (!DroppedDown || !FItemsPopup)
        return;
    if (!FSearching && FPickIndex < FItemsPopup->Items()->Count())
        FItemsPopup->SetItemIndex(FPickIndex);
    else
        FItemsPopup->SetItemIndex(FindPickItem(Text));
}

void TdxInplacePickEdit::ClosePopup(bool Accept) {
    if (!DroppedDown)
        return;
    ResetSearch();
    if (HWND Capture = GetCapture())
        SendMessageA(Capture, WM_CANCELMODE, 0, 0);
    FocusEditor();
    if (FItemsPopup && FItemsPopup->HandleAllocated())
        SetWindowPos(FItemsPopup->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
    DroppedDown = false;
    InvalidateEditor();
    std::string S = Text();
    const int I = FItemsPopup ? FItemsPopup->ItemIndex() : -1;
    if (I >= 0 && I < FItemsPopup->Items()->Count())
        S = FItemsPopup->Items()->Strings(I);
    DoCloseUp(S, Accept);
    if (Accept && CanChangeValue()) {
        SetPickText(S);
        SelectAll();
    }
}

// ---------------------------------------------------------------------------------------------
// MRU editor

TdxEditViewDataClass TdxInplaceMRUEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxMRUEditViewData>();
}

void TdxInplaceMRUEdit::TMetaClass::InitButtons(TdxDropDownEditViewData* ViewData) const {
    TdxInplacePickEdit::TMetaClass::InitButtons(ViewData);
    auto* VD = DynCast<TdxMRUEditViewData>(ViewData);
    if (!VD || VD->ButtonCount < 1 || !VD->ShowEllipsis || VD->ButtonCount >= dxMaxEditButtons)
        return;
    TdxEditButtonViewInfo& First = VD->Buttons[0];
    TdxEditButtonViewInfo& Added = VD->Buttons[VD->ButtonCount++];
    Added = TdxEditButtonViewInfo{};
    Added.Index = 1;
    Added.LeftAlignment = First.LeftAlignment;
    if (VD->Glyph) {
        First.Kind = bkDown;
        First.Glyph = nullptr;
        First.Width = ButtonWidth(VD, First);
        Added.Kind = bkGlyph;
        Added.Glyph = VD->Glyph;
    } else
        Added.Kind = bkEllipsis;
    Added.Width = ButtonWidth(VD, Added);
}

TdxInplaceMRUEdit::TdxInplaceMRUEdit(TComponent* AOwner) : TdxInplacePickEdit(AOwner) { ImmediateDropDown = false; }

TdxEditViewData* TdxInplaceMRUEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplacePickEdit::CreateViewData(IsPaintCopy);
    if (auto* D = DynCast<TdxMRUEditViewData>(VD))
        D->ShowEllipsis = FShowEllipsis;
    return VD;
}

void TdxInplaceMRUEdit::AddMRUItem(const std::string& S) {
    if (S.empty())
        return;
    const int I = Items()->IndexOf(S);
    if (I >= 0)
        Items()->Move(I, 0);
    else {
        Items()->Insert(0, S);
        TrimMRUList();
    }
}

void TdxInplaceMRUEdit::TrimMRUList() {
    if (FMaxItemCount > 0)
        while (Items()->Count() > FMaxItemCount)
            Items()->Delete(Items()->Count() - 1);
}

void TdxInplaceMRUEdit::SetMaxItemCount(int Value) {
    Value = std::max(0, Value);
    if (FMaxItemCount != Value) {
        FMaxItemCount = Value;
        TrimMRUList();
    }
}

void TdxInplaceMRUEdit::SetShowEllipsis(bool Value) {
    if (FShowEllipsis != Value) {
        FShowEllipsis = Value;
        StyleChanged();
    }
}

void TdxInplaceMRUEdit::Validate() {
    TdxInplacePickEdit::Validate();
    if (GetModified())
        AddMRUItem(Text());
}

void TdxInplaceMRUEdit::PressButton(bool NoCapture, int Index) {
    TdxInplacePickEdit::PressButton(NoCapture, Index == 1 ? -1 : Index);
}

void TdxInplaceMRUEdit::ButtonClick(int Index) {
    if (Index == 1)
        DoButtonClick();
}

void TdxInplaceMRUEdit::KeyDown(Word& Key, TShiftState Shift) {
    const Word Pressed = Key;
    TdxInplacePickEdit::KeyDown(Key, Shift);
    if (FShowEllipsis && Pressed == VK_RETURN && Shift.Contains(ssCtrl) && IsEditable()) {
        if (HandleAllocated())
            RemovePendingMessage(FHandle, WM_CHAR);
        DoButtonClick();
    }
}
