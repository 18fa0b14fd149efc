#include "DBCtrls.h"

#include "Forms.h"

#include <algorithm>

void TLookupListLink::ActiveChanged() { FList->LinkChanged(); }
void TLookupListLink::DataSetChanged() { FList->Invalidate(); }
void TLookupListLink::LayoutChanged() { FList->LinkChanged(); }

TDBLookupListBox::TDBLookupListBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FListLink = new TLookupListLink(this);
    FListLink->SetBufferCount(FRowCount);
    FKeyValue = Null();
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TDBLookupListBox::~TDBLookupListBox() {
    FListLink->SetDataSource(nullptr);
    delete FListLink;
}

void TDBLookupListBox::DefineClass(TClassBuilder<TDBLookupListBox>& B) {
    B.Message<&TDBLookupListBox::WMGetDlgCodeList>(WM_GETDLGCODE);
}

void TDBLookupListBox::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_BORDER;
}

int TDBLookupListBox::GetBorderSize() { return GetSystemMetrics(SM_CYBORDER); }

void TDBLookupListBox::SetListSource(TDataSource* Value) {
    FListLink->SetDataSource(Value);
    try {
        BindFields();
    } catch (...) {
        FListLink->SetDataSource(nullptr);
        BindFields();
        throw;
    }
    Invalidate();
}

void TDBLookupListBox::SetKeyField(const std::string& Value) {
    FKeyFieldName = Value;
    LinkChanged();
}

void TDBLookupListBox::SetListField(const std::string& Value) {
    FListFieldName = Value;
    LinkChanged();
}

void TDBLookupListBox::LinkChanged() {
    try {
        BindFields();
    } catch (const Exception&) {
        // A layout change of the list data set that drops a field leaves the list empty, not
        // pointing at a field that is gone.
        FKeyField = nullptr;
        FListFields.clear();
    }
    Invalidate();
}

void TDBLookupListBox::BindFields() {
    FKeyField = nullptr;
    FListFields.clear();
    TDataSet* DS = FListLink->Active() ? FListLink->DataSet() : nullptr;
    if (!DS)
        return;
    if (!FKeyFieldName.empty()) {
        FKeyField = DS->FindField(FKeyFieldName);
        if (!FKeyField)
            DatabaseErrorFmt(DBConsts::SFieldNotFound, {FKeyFieldName}, this);
    }
    std::vector<TField*> List;
    DS->GetFieldList(List, FListFieldName.empty() ? FKeyFieldName : FListFieldName);
    FListFields = List;
}

void TDBLookupListBox::SetKeyValue(const Variant& Value) {
    FKeyValue = Value;
    TDataSet* DS = ListDataSet();
    if (FKeyField && DS && !Value.IsNull() && !Value.IsEmpty()) {
        try {
            DS->Locate(FKeyField->FieldName(), Value, {});
        } catch (const Exception&) {
            // A key of another type finds no record: nothing is selected.
        }
    }
    Invalidate();
}

void TDBLookupListBox::SetRowCount(int Value) {
    FRowCount = std::max(1, Value);
    FListLink->SetBufferCount(FRowCount);
    SetHeight(FRowCount * ItemHeight() + 2 * GetBorderSize());
}

int TDBLookupListBox::ItemHeight() { return FontTextHeight(Font()); }

int TDBLookupListBox::SelectedRow() {
    if (!FKeyField || FKeyValue.IsNull() || FKeyValue.IsEmpty())
        return -1;
    const int Saved = FListLink->ActiveRecord();
    int Found = -1;
    for (int Row = 0; Row < FListLink->RecordCount() && Found < 0; ++Row) {
        FListLink->SetActiveRecord(Row);
        try {
            if (!FKeyField->IsNull() && FKeyField->AsVariant() == FKeyValue)
                Found = Row;
        } catch (const Exception&) {
            // Values that cannot be compared are different.
        }
    }
    FListLink->SetActiveRecord(Saved);
    return Found;
}

std::string TDBLookupListBox::RowText(int Row) {
    if (FListFields.empty() || Row < 0 || Row >= FListLink->RecordCount())
        return std::string();
    const int Saved = FListLink->ActiveRecord();
    FListLink->SetActiveRecord(Row);
    std::string S;
    for (TField* F : FListFields) {
        if (!S.empty())
            S += "  ";
        S += F->DisplayText();
    }
    FListLink->SetActiveRecord(Saved);
    return S;
}

void TDBLookupListBox::Paint() {
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    const int H = ItemHeight();
    const int Selected = Focused() || FListLink->Active() ? SelectedRow() : -1;
    const int W = ClientWidth();
    for (int Row = 0; Row < FRowCount; ++Row) {
        TRect R{0, Row * H, W, (Row + 1) * H};
        const bool Sel = Row == Selected;
        C->Brush()->SetColor(Sel ? clHighlight : Color());
        C->Font()->SetColor(Sel ? clHighlightText : Font()->Color());
        C->FillRect(R);
        const std::string S = RowText(Row);
        if (!S.empty())
            C->TextRect(R, R.Left + 2, R.Top, S);
        if (Sel && Focused())
            C->DrawFocusRect(R);
    }
    C->Brush()->SetColor(Color());
    C->FillRect(TRect{0, FRowCount * H, W, ClientHeight()});
}

void TDBLookupListBox::SelectCurrent() {
    if (!FKeyField)
        return;
    FKeyValue = FKeyField->IsNull() ? Null() : FKeyField->AsVariant();
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TDBLookupListBox::SelectRowAt(int Y) {
    TDataSet* DS = ListDataSet();
    const int H = ItemHeight();
    if (!DS || H <= 0 || Y < 0)
        return;
    const int Row = Y / H;
    if (Row >= FListLink->RecordCount())
        return;
    DS->MoveBy(Row - FListLink->ActiveRecord());
    SelectCurrent();
}

void TDBLookupListBox::SelectBy(int Distance) {
    TDataSet* DS = ListDataSet();
    if (!DS || !FListLink->Active())
        return;
    if (SelectedRow() < 0 && Distance > 0)
        DS->First();
    else
        DS->MoveBy(Distance);
    SelectCurrent();
}

void TDBLookupListBox::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    TDataSet* DS = ListDataSet();
    if (!DS || !FListLink->Active())
        return;
    switch (Key) {
    case VK_UP: SelectBy(-1); break;
    case VK_DOWN: SelectBy(1); break;
    case VK_PRIOR: SelectBy(1 - FRowCount); break;
    case VK_NEXT: SelectBy(FRowCount - 1); break;
    case VK_HOME: DS->First(); SelectCurrent(); break;
    case VK_END: DS->Last(); SelectCurrent(); break;
    default: return;
    }
    Key = 0;
}

void TDBLookupListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft)
        SelectRowAt(Y);
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TDBLookupListBox::MouseMove(TShiftState Shift, int X, int Y) {
    if (Shift.Contains(ssLeft) && Y >= 0 && Y < ClientHeight())
        SelectRowAt(Y);
    TCustomControl::MouseMove(Shift, X, Y);
}

void TDBLookupListBox::WMGetDlgCodeList(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

// ---------------------------------------------------------------------------------------------

TPopupDataList::TPopupDataList(TComponent* AOwner) : TDBLookupListBox(AOwner) { SetTabStop(false); }

void TPopupDataList::DefineClass(TClassBuilder<TPopupDataList>& B) {
    B.Message<&TPopupDataList::WMMouseActivate>(WM_MOUSEACTIVATE);
}

void TPopupDataList::CreateParams(TCreateParams& Params) {
    TDBLookupListBox::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClass.style = CS_SAVEBITS;
}

void TPopupDataList::CreateWnd() {
    TDBLookupListBox::CreateWnd();
    // A top-level window, so that it may stand outside the control that drops it down.
    ::SetParent(Handle(), nullptr);
}

void TPopupDataList::WMMouseActivate(TMessage& Message) { Message.Result = MA_NOACTIVATE; }
