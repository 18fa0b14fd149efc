// Data sources and data links: the notifications from a data set to what shows its records.
#include "DB.h"

#include "Controls.h"

#include <algorithm>

using namespace DBConsts;

// ---------------------------------------------------------------------------------------------
// TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
    while (!FDataLinks.empty())
        FDataLinks.back()->SetDataSource(nullptr);
    if (FDataSet)
        FDataSet->RemoveDataSource(this);
}

void TDataSource::BeforeDestruction() {
    if (!FComponentState.Contains(csDestroying)) {
        Destroying();
        while (!FDataLinks.empty())
            FDataLinks.back()->SetDataSource(nullptr);
        SetDataSet(nullptr);
    }
    TComponent::BeforeDestruction();
}

void TDataSource::DefineClass(TClassBuilder<TDataSource>& B) {
    B.Property("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
    B.Property("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
    B.Property("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
    B.Property("OnDataChange", &TDataSource::OnDataChange, &TDataSource::OnDataChange);
    B.Property("OnStateChange", &TDataSource::OnStateChange, &TDataSource::OnStateChange);
    B.Property("OnUpdateData", &TDataSource::OnUpdateData, &TDataSource::OnUpdateData);
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet)
        SetDataSet(nullptr);
}

bool TDataSource::IsLinkedTo(TDataSet* DataSet) const {
    while (DataSet) {
        TDataSource* Master = DataSet->GetDataSource();
        if (!Master)
            break;
        if (Master == this)
            return true;
        DataSet = Master->DataSet();
    }
    return false;
}

void TDataSource::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet)
        return;
    if (Value && IsLinkedTo(Value))
        DatabaseError(SCircularDataLink, this);
    if (FDataSet) {
        TDataSet* Old = FDataSet;
        FDataSet = nullptr;
        Old->RemoveDataSource(this);
        Old->RemoveFreeNotification(this);
        // The links see the old data set go before the new one comes, even when both are open:
        // their record windows and a grid's columns belong to the old one.
        UpdateState();
    }
    FDataSet = Value;
    if (Value)
        Value->AddDataSource(this);
    UpdateState();
}

void TDataSource::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateState();
}

void TDataSource::UpdateState() {
    SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState Value) {
    if (Value == FState)
        return;
    TDataSetState Prior = FState;
    FState = Value;
    NotifyDataLinks(deUpdateState, 0);
    if (!FComponentState.Contains(csDestroying)) {
        OnStateChange(this);
        if (Prior == dsInactive)
            OnDataChange(this, nullptr);
    }
}

void TDataSource::Edit() {
    if (FAutoEdit && FState == dsBrowse && FDataSet)
        FDataSet->Edit();
}

void TDataSource::NotifyDataLinks(TDataEvent Event, TDataEventInfo Info) {
    // A notified link may leave (a control freed by a handler): walk a copy, skip the gone ones.
    std::vector<TDataLink*> Links = FDataLinks;
    for (TDataLink* L : Links)
        if (std::find(FDataLinks.begin(), FDataLinks.end(), L) != FDataLinks.end())
            L->DataEvent(Event, Info);
}

void TDataSource::DataEvent(TDataEvent Event, TDataEventInfo Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == dsInactive)
        return;
    NotifyDataLinks(Event, Info);
    switch (Event) {
    case deFieldChange:
        OnDataChange(this, reinterpret_cast<TField*>(Info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        OnUpdateData(this);
        break;
    default:
        break;
    }
}

void TDataSource::AddDataLink(TDataLink* Link) {
    FDataLinks.push_back(Link);
    Link->FDataSource = this;
    if (FDataSet)
        FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
    Link->FDataSource = nullptr;
    auto It = std::find(FDataLinks.begin(), FDataLinks.end(), Link);
    if (It != FDataLinks.end())
        FDataLinks.erase(It);
    Link->UpdateState();
    if (FDataSet && !FComponentState.Contains(csDestroying))
        FDataSet->UpdateBufferCount();
}

// ---------------------------------------------------------------------------------------------
// TDataLink

TDataLink::~TDataLink() {
    if (FDataSource) {
        // No notifications to a dying link: detach quietly.
        FDataSource->FDataLinks.erase(std::find(FDataSource->FDataLinks.begin(), FDataSource->FDataLinks.end(), this));
        if (TDataSet* DS = FDataSource->DataSet(); DS && !DS->ComponentState().Contains(csDestroying))
            DS->UpdateBufferCount();
        FDataSource = nullptr;
    }
}

void TDataLink::SetDataSource(TDataSource* Value) {
    if (Value == FDataSource)
        return;
    if (FDataSourceFixed)
        DatabaseError("DataSource cannot be changed");
    if (FDataSource)
        FDataSource->RemoveDataLink(this);
    if (Value)
        Value->AddDataLink(this);
    UpdateState();
}

void TDataLink::SetReadOnly(bool Value) {
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    UpdateState();
}

void TDataLink::UpdateState() {
    SetActive(FDataSource && FDataSource->State() != dsInactive);
    SetEditing(FDataSource && dsEditModes.Contains(FDataSource->State()) && !FReadOnly);
}

void TDataLink::SetActive(bool Value) {
    if (Value == FActive)
        return;
    FActive = Value;
    if (Value)
        UpdateRange();
    else
        FFirstRecord = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
    if (Value == FEditing)
        return;
    FEditing = Value;
    EditingChanged();
}

void TDataLink::SetBufferCount(int Value) {
    if (Value < 1)
        Value = 1;
    if (Value == FBufferCount)
        return;
    FBufferCount = Value;
    if (FActive) {
        UpdateRange();
        DataSet()->UpdateBufferCount();
        UpdateRange();
    }
}

void TDataLink::UpdateRange() {
    TDataSet* DS = DataSet();
    if (!DS)
        return;
    int Active = DS->FActiveRecord;
    int Count = DS->FRecordCount;
    // The active record stays inside the window; the window shows as many records as there are,
    // with no empty rows at its end while records above it are hidden.
    if (Active < FFirstRecord)
        FFirstRecord = Active;
    if (Active > FFirstRecord + FBufferCount - 1)
        FFirstRecord = Active - FBufferCount + 1;
    if (FFirstRecord + FBufferCount > Count)
        FFirstRecord = Count - FBufferCount;
    if (FFirstRecord < 0)
        FFirstRecord = 0;
}

int TDataLink::ActiveRecord() const {
    TDataSet* DS = DataSet();
    if (!DS || !FActive || DS->State() == dsSetKey)
        return 0;
    return DS->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
    TDataSet* DS = DataSet();
    if (DS && FActive && DS->State() != dsSetKey)
        DS->FActiveRecord = Value + FFirstRecord;
}

int TDataLink::RecordCount() const {
    TDataSet* DS = DataSet();
    if (!DS || !FActive)
        return 0;
    return std::clamp(DS->FRecordCount - FFirstRecord, 0, FBufferCount);
}

bool TDataLink::Bof() const { return DataSet() && DataSet()->Bof(); }
bool TDataLink::Eof() const { return DataSet() && DataSet()->Eof(); }

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource)
        FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord() {
    FUpdating = true;
    try {
        UpdateData();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

int TDataLink::MoveBy(int Distance) {
    TDataSet* DS = DataSet();
    return DS ? DS->MoveBy(Distance) : 0;
}

void TDataLink::DataEvent(TDataEvent Event, TDataEventInfo Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive)
        return;
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating)
            RecordChanged(reinterpret_cast<TField*>(Info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        int Distance = 0;
        if (FDataSource->State() != dsSetKey) {
            if (Event == deDataSetScroll)
                FFirstRecord += static_cast<int>(Info);  // the same records, moved in the ring
            int Shifted = FFirstRecord;
            UpdateRange();
            Distance = FFirstRecord - Shifted;
        }
        if (Event == deDataSetChange)
            DataSetChanged();
        else if (Event == deDataSetScroll)
            DataSetScrolled(Distance);
        else
            LayoutChanged();
        break;
    }
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case deFocusControl:
        FocusControl(reinterpret_cast<TField**>(Info));
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// TFieldDataLink

void TFieldDataLink::SetFieldName(const std::string& Value) {
    if (Value == FFieldName)
        return;
    FFieldName = Value;
    UpdateField();
}

void TFieldDataLink::UpdateField() {
    if (Active() && !FFieldName.empty())
        SetField(DataSet()->FieldByName(FFieldName));
    else
        SetField(nullptr);
}

void TFieldDataLink::SetField(TField* Value) {
    if (Value == FField)
        return;
    FField = Value;
    EditingChanged();
    RecordChanged(nullptr);
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

bool TFieldDataLink::Edit() {
    if (CanModify())
        TDataLink::Edit();
    return FEditing;
}

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    OnActiveChange(this);
}

void TFieldDataLink::FocusControl(TField** Field) {
    if (!Field || !*Field || *Field != FField)
        return;
    if (auto* W = DynCast<TWinControl>(FControl); W && W->CanFocus()) {
        *Field = nullptr;
        W->SetFocus();
    }
}

void TFieldDataLink::EditingChanged() { SetEditing(TDataLink::Editing() && CanModify()); }

void TFieldDataLink::SetEditing(bool Value) {
    if (Value == FEditing)
        return;
    FEditing = Value;
    FModified = false;
    OnEditingChange(this);
}

void TFieldDataLink::RecordChanged(TField* Field) {
    if (!Field || Field == FField) {
        OnDataChange(this);
        FModified = false;
    }
}

void TFieldDataLink::UpdateData() {
    if (!FModified)
        return;
    if (FField)
        OnUpdateData(this);
    FModified = false;
}
