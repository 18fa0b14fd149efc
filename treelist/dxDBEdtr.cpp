#include "dxDBEdtr.h"

#include <algorithm>

namespace {
std::string FirstName(const std::string& Names) {
    const std::size_t P = Names.find(';');
    return Trim(P == std::string::npos ? Names : Names.substr(0, P));
}

bool Printable(char Key) { return static_cast<unsigned char>(Key) > 31; }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Routines of the data-aware column kinds

TdxBlobContentKind BlobContentKindOf(TdxBlobKind Kind, TField* Field) {
    switch (Kind) {
    case bkBlob: return ckBinary;
    case bkMemo: return ckMemo;
    case bkPict: return ckPicture;
    case bkOle: return ckOle;
    default: break;
    }
    if (!Field)
        return ckBinary;
    switch (Field->DataType()) {
    case ftMemo:
    case ftFmtMemo: return ckMemo;
    case ftGraphic: return ckPicture;
    case ftParadoxOle:
    case ftDBaseOle: return ckOle;
    default: return ckBinary;
    }
}

void WriteGraphicToField(TField* Field, TGraphic* Graphic) {
    if (!Field)
        return;
    if (!Graphic || Graphic->Empty()) {
        Field->Clear();
        return;
    }
    if (auto* Blob = DynCast<TBlobField>(Field)) {
        TStream* S = Blob->DataSet()->CreateBlobStream(Blob, bmWrite);
        try {
            Graphic->SaveToStream(S);
        } catch (...) {
            S->Free();
            throw;
        }
        S->Free();
        return;
    }
    TStringStream S;
    Graphic->SaveToStream(&S);
    Field->SetAsString(S.DataString());
}

void WriteEditValueToField(TField* Field, const Variant& Value) {
    if (!Field)
        return;
    if (Value.IsNull() || Value.IsEmpty())
        Field->Clear();
    else if (Value.VType() == varString)
        Field->SetAsVariant(Value);
    else
        throw EInvalidCast("Invalid variant type conversion");
}

bool VarEqualsSafe(const Variant& A, const Variant& B) {
    try {
        return A == B;
    } catch (const Exception&) {
        return false;
    }
}

bool LookupKeysModifiable(TField* Field) {
    if (!Field || !Field->DataSet() || Field->KeyFields().empty())
        return false;
    std::vector<TField*> Keys;
    try {
        Field->DataSet()->GetFieldList(Keys, Field->KeyFields());
    } catch (const Exception&) {
        return false;
    }
    if (Keys.empty())
        return false;
    for (TField* K : Keys)
        if (!K->CanModify())
            return false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// List link and drop-down list

void TdxListSourceLink::ActiveChanged() {
    if (LookupEditor)
        LookupEditor->ListLinkChanged();
}

void TdxListSourceLink::LayoutChanged() {
    if (LookupEditor)
        LookupEditor->ListLinkChanged();
}

void TdxListSourceLink::DataSetChanged() {
    if (LookupEditor)
        LookupEditor->ListDataSetChanged();
}

void TPopupDBLookupListBox::DefineClass(TClassBuilder<TPopupDBLookupListBox>& B) {
    B.Message<&TPopupDBLookupListBox::WMNCCalcSizeLookup>(WM_NCCALCSIZE);
    B.Message<&TPopupDBLookupListBox::WMNCPaintLookup>(WM_NCPAINT);
    B.Message<&TPopupDBLookupListBox::WMSizeLookup>(WM_SIZE);
}

void TPopupDBLookupListBox::SetListBorder(TdxPopupBorder Value) {
    if (FListBorder == Value)
        return;
    FListBorder = Value;
    RecreateWnd();
}

void TPopupDBLookupListBox::SetListShadow(bool Value) {
    if (FListShadow == Value)
        return;
    FListShadow = Value;
    RecreateWnd();
}

void TPopupDBLookupListBox::CreateParams(TCreateParams& Params) {
    TPopupDataList::CreateParams(Params);
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.WindowClass.style = CS_SAVEBITS;
}

int TPopupDBLookupListBox::GetBorderSize() {
    int Size;
    switch (FListBorder) {
    case pbSingle: Size = 2; break;
    case pbFrame3D: Size = 8; break;
    case pbFlat: Size = 4; break;
    default: Size = TPopupDataList::GetBorderSize(); break;
    }
    return Size + (FListShadow ? ListShadowSize : 0);
}

void TPopupDBLookupListBox::WMNCCalcSizeLookup(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    auto* P = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
    const int B = FListBorder == pbSingle ? 1 : FListBorder == pbFrame3D ? 4 : FListBorder == pbFlat ? 2 : 0;
    InflateRect(&P->rgrc[0], -B, -B);
    if (FListShadow) {
        P->rgrc[0].right -= ListShadowSize;
        P->rgrc[0].bottom -= ListShadowSize;
    }
}

void TPopupDBLookupListBox::WMNCPaintLookup(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    const LONG Style = GetWindowLongA(Handle(), GWL_STYLE);
    PaintPopupNonClient(Handle(), FListBorder, (Style & WS_VSCROLL) && (Style & WS_HSCROLL), ListShadowSize,
                        FListShadow);
    SetPopupShadowRegion(Handle(), FListShadow, ListShadowSize);
}

void TPopupDBLookupListBox::WMSizeLookup(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    const LONG Style = GetWindowLongA(Handle(), GWL_STYLE);
    PaintPopupNonClient(Handle(), FListBorder, (Style & WS_VSCROLL) && (Style & WS_HSCROLL), ListShadowSize,
                        FListShadow);
    SetPopupShadowRegion(Handle(), FListShadow, ListShadowSize);
}

// ---------------------------------------------------------------------------------------------
// Lookup editor

TdxInplaceLookupEdit::TdxInplaceLookupEdit(TComponent* AOwner) : TdxInplaceDropDownEdit(AOwner) {
    FLookupKeyValue = Null();
    FLookupListBox = Create<TPopupDBLookupListBox>(this);
    FLookupListBox->SetVisible(false);
    FLookupListBox->OnMouseUp = TMouseEvent::Bind<&TdxInplaceDropDownEdit::PopupMouseUp>(this);
    ActivePopup = FLookupListBox;
    FListLink = new TdxListSourceLink();
    FListLink->LookupEditor = this;
    FLookupSource = Create<TDataSource>(nullptr);
    SearchInPopup = true;
}

TdxInplaceLookupEdit::~TdxInplaceLookupEdit() {
    FListLink->LookupEditor = nullptr;
    delete FListLink;
    // The list box is owned, and freed with the other owned components before this runs.
    FreeAndNil(FLookupSource);
}

void TdxInplaceLookupEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TdxInplaceDropDownEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FEditField)
        FEditField = nullptr;
    if (AComponent == FLookupListBox) {
        FLookupListBox = nullptr;
        ActivePopup = nullptr;
    }
}

void TdxInplaceLookupEdit::SetEditField(TField* Value) {
    FEditField = Value;
    if (Value)
        Value->FreeNotification(this);
}

TField* TdxInplaceLookupEdit::Field() { return FDataDefinition ? DefinitionField() : FEditField; }

bool TdxInplaceLookupEdit::LookupFieldMode() { return FUseLookupField && Field(); }

void TdxInplaceLookupEdit::SetUseLookupField(bool Value) {
    FUseLookupField = Value;
    if (Value) {
        FListLink->SetDataSource(nullptr);
        ListKeyFields.clear();
        FLookupSource->SetDataSet(nullptr);
    }
}

void TdxInplaceLookupEdit::SetListFieldName(const std::string& Value) {
    if (Value == FListFieldName)
        return;
    FListFieldName = Value;
    ListLinkChanged();
}

TDataSet* TdxInplaceLookupEdit::ListDataSet() {
    if (LookupFieldMode())
        return Field()->LookupDataSet();
    return FListLink->DataSource() ? FListLink->DataSource()->DataSet() : nullptr;
}

std::string TdxInplaceLookupEdit::ListKeyFieldNames() {
    return LookupFieldMode() ? Field()->LookupKeyFields() : ListKeyFields;
}

std::string TdxInplaceLookupEdit::ShownListFields() {
    if (!FListFieldName.empty())
        return FListFieldName;
    return LookupFieldMode() ? Field()->LookupResultField() : ListKeyFields;
}

std::string TdxInplaceLookupEdit::ResultFieldName() {
    if (LookupFieldMode())
        return Field()->LookupResultField();
    return FirstName(FListFieldName.empty() ? ListKeyFields : FListFieldName);
}

TField* TdxInplaceLookupEdit::KeyField() {
    TField* F = Field();
    if (!F)
        return nullptr;
    if (LookupFieldMode())
        return F->DataSet() ? F->DataSet()->FindField(F->KeyFields()) : nullptr;
    return F;
}

Variant TdxInplaceLookupEdit::CurrentKey(bool ForStepping) {
    if (OwnKeyValue)
        return FLookupKeyValue;
    if (TField* K = KeyField())
        return K->IsNull() ? Null() : K->AsVariant();
    if (ForStepping)
        if (TDataSet* L = ListDataSet())
            if (TField* LK = L->FindField(ListKeyFieldNames()))
                return LK->AsVariant();
    return Null();
}

bool TdxInplaceLookupEdit::SetKeyValue(const Variant& Value) {
    if (!OwnKeyValue) {
        TField* K = KeyField();
        if (!K || !K->CanModify() || !CanChangeValue())
            return false;
        if (Value.IsNull())
            K->Clear();
        else
            K->SetAsVariant(Value);
    }
    StoreKeyValue(Value);
    SetModified(true);
    Change();
    return true;
}

void TdxInplaceLookupEdit::StoreKeyValue(const Variant& Value) {
    const bool Saved = FAssigningText;
    FAssigningText = true;
    FDisplayTextValid = false;
    FLookupKeyValue = Value;
    SetText(LookupDisplayText(false));
    FAssigningText = Saved;
}

void TdxInplaceLookupEdit::ClearValue() {
    if (!Field() && !OwnKeyValue)
        return;
    SetKeyValue(Null());
    SetText(LookupDisplayText(false));
    ResetSearch();
    SelectAll();
}

void TdxInplaceLookupEdit::ResetSearch() {
    FSearching = false;
    FSearchText.clear();
}

void TdxInplaceLookupEdit::SetEditValue(const Variant& Value) {
    if (RefreshSuppressed)
        return;
    TdxInplaceDropDownEdit::SetEditValue(Value);
    if (!LookupFieldMode())
        StoreKeyValue(Value);
    ResetSearch();
}

void TdxInplaceLookupEdit::RefreshDataProperties() {
    TdxInplaceDropDownEdit::RefreshDataProperties();
    if (!IsInplace()) {
        TField* F = Field();
        FUseLookupField = F && F->Lookup();
    }
}

void TdxInplaceLookupEdit::ReadDisplayValue(Variant& Value, bool FromDefinition) {
    if (!FDataDefinition || LookupFieldMode()) {
        TdxInplaceDropDownEdit::ReadDisplayValue(Value, FromDefinition);
        return;
    }
    Value = KeyToListText(FDataDefinition->Value());
}

bool TdxInplaceLookupEdit::DefaultReadOnly() {
    TField* F = Field();
    if (F && LookupFieldMode())
        return !LookupKeysModifiable(F);
    if (TField* K = KeyField())
        return !K->CanModify();
    return !OwnKeyValue;
}

void TdxInplaceLookupEdit::SetReadOnly(bool Value) {
    TdxInplaceDropDownEdit::SetReadOnly(Value);
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETREADONLY, TRUE, 0);
}

void TdxInplaceLookupEdit::SetActive(bool Value) {
    TdxInplaceDropDownEdit::SetActive(Value);
    ResetSearch();
}

void TdxInplaceLookupEdit::ListLinkChanged() {
    if (LookupFieldMode())
        return;
    CheckCircularLink();
    FDisplayTextValid = false;
    const bool Saved = FAssigningText;
    FAssigningText = true;
    SetText(KeyToListText(FLookupKeyValue));
    FAssigningText = Saved;
    ResetSearch();
}

void TdxInplaceLookupEdit::CheckCircularLink() {
    TDataLink* Own = GetEditorDataLink();
    TDataSet* L = FListLink->DataSource() ? FListLink->DataSource()->DataSet() : nullptr;
    // The list's own source counts too: choosing from it would move the record being edited.
    if (FListLink->Active() && Own && L && Own->DataSource() &&
        (FListLink->DataSource() == Own->DataSource() || L->IsLinkedTo(Own->DataSource())))
        DatabaseError("Circular datalinks are not allowed", this);
}

std::string TdxInplaceLookupEdit::LookupDisplayText(bool FromList) {
    if (!LookupFieldMode())
        return FListLink->DataSource() ? KeyToListText(FLookupKeyValue) : std::string();
    TField* F = Field();
    TDataSet* L = F->LookupDataSet();
    TField* Result = L ? L->FindField(F->LookupResultField()) : nullptr;
    if (!OwnKeyValue)
        return FromList && Result ? Result->DisplayText() : F->DisplayText();
    if (L && !F->LookupKeyFields().empty() && L->FindField(F->LookupKeyFields()) && Result) {
        try {
            if (L->Locate(F->LookupKeyFields(), FLookupKeyValue, {}))
                return Result->DisplayText();
        } catch (const Exception&) {
            // A key of another type finds nothing.
        }
    }
    return std::string();
}

std::string TdxInplaceLookupEdit::KeyToListText(const Variant& Key) {
    TDataSet* L = FListLink->DataSource() ? FListLink->DataSource()->DataSet() : nullptr;
    if (!L || !L->Active() || ListKeyFields.empty()) {
        FDisplayTextValid = false;
        FCachedDisplayText.clear();
        return std::string();
    }
    if (FDisplayTextValid)
        return FCachedDisplayText;
    FCachedDisplayText.clear();
    const std::string Shown = FirstName(FListFieldName.empty() ? ListKeyFields : FListFieldName);
    bool Circular = false;
    try {
        CheckCircularLink();
    } catch (const Exception&) {
        Circular = true;
    }
    if (!Circular) {
        TField* K = L->FindField(ListKeyFields);
        bool Found = K && VarEqualsSafe(K->AsVariant(), Key);
        if (!Found) {
            try {
                Found = L->Locate(ListKeyFields, Key, {});
            } catch (const Exception&) {
                Found = false;
            }
        }
        if (Found)
            if (TField* S = L->FindField(Shown))
                FCachedDisplayText = S->DisplayText();
    }
    FDisplayTextValid = true;
    return FCachedDisplayText;
}

bool TdxInplaceLookupEdit::CanOpen() {
    if (GetReadOnly())
        return false;
    if (OwnKeyValue)
        return true;
    TField* F = Field();
    return (F && F->Lookup()) || !LookupFieldMode();
}

void TdxInplaceLookupEdit::PrepareList() {
    TPopupDBLookupListBox* L = FLookupListBox;
    L->SetParent(this);
    L->SetListBorder(ResolvedPopupBorder());
    L->SetColor(Color());
    L->Font()->Assign(Font());
    L->SetListShadow(FStyle && FStyle->Shadow());
    L->SetWidth(DropDownWidth ? DropDownWidth : Width());
    L->SetRowCount(DropDownRows);
    L->SetListSource(nullptr);
    try {
        if (LookupFieldMode()) {
            TField* F = Field();
            FLookupSource->SetDataSet(F->LookupDataSet());
            L->SetKeyField(F->LookupKeyFields());
            L->SetListField(FListFieldName.empty() ? F->LookupResultField() : FListFieldName);
            L->SetListSource(FLookupSource);
            TField* K = KeyField();
            L->SetKeyValue(K && !K->IsNull() ? K->AsVariant() : Null());
        } else {
            L->SetKeyField(ListKeyFields);
            L->SetListField(FListFieldName.empty() ? ListKeyFields : FListFieldName);
            L->SetListSource(FListLink->DataSource());
            L->SetKeyValue(FLookupKeyValue);
        }
    } catch (...) {
        L->SetListSource(nullptr);
        throw;
    }
    if (TDataSet* DS = ListDataSet()) {
        const int N = DS->RecordCount();
        if (N > 0 && N < L->RowCount())
            L->SetRowCount(N);
    }
}

void TdxInplaceLookupEdit::OpenPopup() {
    if (!CanOpen() || !FLookupListBox)
        return;
    if (HandleAllocated() && GetFocus() != Handle() && CanFocus())
        ::SetFocus(Handle());
    if (!HandleAllocated() || GetFocus() != Handle())
        return;
    DoOpenPopup();
    PrepareList();
    PositionPopup(FLookupListBox, false);
    SetWindowPos(FLookupListBox->Handle(), nullptr, FLookupListBox->Left(), FLookupListBox->Top(), 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    DroppedDown = true;
    InvalidateEditor();
}

void TdxInplaceLookupEdit::ClosePopup(bool Accept) {
    if (!DroppedDown)
        return;
    ResetSearch();
    if (HWND Capture = GetCapture())
        SendMessageA(Capture, WM_CANCELMODE, 0, 0);
    FocusEditor();
    if (FLookupListBox->HandleAllocated())
        SetWindowPos(FLookupListBox->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    DroppedDown = false;
    Variant Value = FLookupListBox->KeyValue();
    FLookupListBox->SetListSource(nullptr);
    FLookupSource->SetDataSet(nullptr);
    InvalidateEditor();
    if (OnCloseUp)
        OnCloseUp(this, Value, Accept);
    if (Accept) {
        SetKeyValue(Value);
        if (LookupFieldMode()) {
            const std::string S = LookupDisplayText(false);
            if (S != Text())
                SetText(S);
        }
        SelectAll();
    }
}

void TdxInplaceLookupEdit::PopupSearch(const std::string&) {
    if (FLookupListBox)
        FLookupListBox->SetKeyValue(CurrentKey(false));
}

void TdxInplaceLookupEdit::StepValue(int Delta, bool Cycle) {
    if (!CanOpen())
        return;
    ResetSearch();
    TDataSet* L = ListDataSet();
    const std::string Keys = ListKeyFieldNames();
    if (L && L->Active() && !Keys.empty()) {
        // A key of several fields has no single list field to read a new key from: no step.
        if (TField* LK = L->FindField(Keys)) {
            const Variant Current = CurrentKey(true);
            bool Found = false;
            try {
                Found = !Current.IsNull() && L->Locate(Keys, Current, {});
            } catch (const Exception&) {
                Found = false;
            }
            if (Found) {
                L->MoveBy(Delta);
                if (L->Eof() && Cycle)
                    L->First();
            } else
                L->First();
            const Variant NewKey = LK->AsVariant();
            if (!VarEqualsSafe(NewKey, Current))
                SetKeyValue(NewKey);
        }
    }
    SelectAll();
}

bool TdxInplaceLookupEdit::WholeTextSelected() {
    int Start = 0, End = 0;
    GetSelection(Start, End);
    return Start == 0 && End >= GetTextLength();
}

void TdxInplaceLookupEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE)
        ResetSearch();
    else if (Key == VK_DELETE && CanDeleteText && WholeTextSelected()) {
        ClearValue();
        Key = 0;
        return;
    }
    if (!IsInplace()) {
        int Delta = 0;
        switch (Key) {
        case VK_PRIOR: Delta = 1 - DropDownRows; break;
        case VK_NEXT: Delta = DropDownRows - 1; break;
        case VK_UP: Delta = -1; break;
        case VK_DOWN: Delta = 1; break;
        default: break;
        }
        if (Delta != 0 && !Shift.Contains(ssAlt)) {
            StepValue(Delta, false);
            Key = 0;
            return;
        }
    }
    if (ClearKey != 0 && ShortCut(Key, Shift) == ClearKey) {
        ClearValue();
        Key = 0;
        return;
    }
    TdxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TdxInplaceLookupEdit::RunSearch() {
    for (;;) {
        const bool Saved = FAssigningText;
        FAssigningText = true;
        SetText(FSearchText);
        FAssigningText = Saved;
        TDataSet* L = ListDataSet();
        bool Found = false;
        try {
            Found = L && L->Locate(ResultFieldName(), Variant(FSearchText), {loCaseInsensitive, loPartialKey});
        } catch (const Exception&) {
            Found = false;
        }
        if (Found) {
            bool Accepted = false;
            RefreshSuppressed = true;
            try {
                TField* LK = L->FindField(ListKeyFieldNames());
                Accepted = LK && SetKeyValue(LK->IsNull() ? Null() : LK->AsVariant());
            } catch (...) {
                RefreshSuppressed = false;
                throw;
            }
            RefreshSuppressed = false;
            FAssigningText = true;
            SetText(LookupDisplayText(Accepted));
            FAssigningText = Saved;
            SetSelection(static_cast<int>(FSearchText.size()), GetTextLength());
            return;
        }
        if (FSearchText.size() > 1) {
            // As if the last character had not been typed.
            FSearchText.pop_back();
            continue;
        }
        ResetSearch();
        FAssigningText = true;
        SetText(LookupDisplayText(false));
        FAssigningText = Saved;
        return;
    }
}

void TdxInplaceLookupEdit::KeyPress(char& Key) {
    if (GetReadOnly()) {
        Key = 0;
        return;
    }
    if (!Field() && !OwnKeyValue) {
        TdxInplaceDropDownEdit::KeyPress(Key);
        return;
    }
    TDataSet* L = ListDataSet();
    TField* Result = L ? L->FindField(ResultFieldName()) : nullptr;
    if (Key == VK_BACK) {
        if (CanDeleteText && WholeTextSelected())
            ClearValue();
        else {
            int Start = 0, End = 0;
            GetSelection(Start, End);
            if (!FSearching && Start > 0) {
                FSearching = true;
                FSearchText = Text().substr(0, static_cast<std::size_t>(Start));
            }
            if (FSearching) {
                if (!FSearchText.empty())
                    FSearchText.pop_back();
                if (!FSearchText.empty() || !CanDeleteText) {
                    SetSelection(static_cast<int>(FSearchText.size()), GetTextLength());
                    if (!FSearchText.empty())
                        RunSearch();
                } else
                    ClearValue();
            }
        }
        Key = 0;
        return;
    }
    if (Printable(Key)) {
        if (L && Result) {
            FSearchText += Key;
            FSearching = true;
            RunSearch();
            if (ImmediateDropDown && !DroppedDown) {
                OpenPopup();
                PopupSearch(FSearchText);
            }
        }
        Key = 0;
        return;
    }
    TdxInplaceDropDownEdit::KeyPress(Key);
}

void TdxInplaceLookupEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Shift.Contains(ssDouble) && StepOnDblClick) {
        StepValue(1, true);
        PopupSearch(std::string());
    }
    TdxInplaceDropDownEdit::MouseDown(Button, Shift, X, Y);
}
