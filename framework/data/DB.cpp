// TDataSet: states, the ring of record buffers, navigation, editing, bookmarks and notifications.
#include "DB.h"

#include "Forms.h"

#include <algorithm>

using namespace DBConsts;

// ---------------------------------------------------------------------------------------------
// Errors and the exception hook

void DatabaseError(const std::string& Message, TComponent* Component) {
    if (Component && !Component->Name().empty())
        throw EDatabaseError(Component->Name() + ": " + Message);
    throw EDatabaseError(Message);
}

void DatabaseErrorFmt(const std::string& Fmt, TVarRecs Args, TComponent* Component) {
    DatabaseError(Format(Fmt, Args), Component);
}

namespace {
TDataSetExceptionHandler GExceptionHandler = nullptr;
}

void SetDataSetExceptionHandler(TDataSetExceptionHandler Handler) { GExceptionHandler = Handler; }
TDataSetExceptionHandler DataSetExceptionHandler() { return GExceptionHandler; }

// ---------------------------------------------------------------------------------------------
// Construction and published members

TDataSet::TDataSet(TComponent* AOwner)
    : TComponent(AOwner), FFields(std::make_unique<TFields>(this)), FFieldDefs(new TFieldDefs(this)) {
    FFieldDefs->SetPropName("FieldDefs");
}

TDataSet::~TDataSet() {
    // Deleted without Free(): the descendant is gone, so its protocol cannot close the cursor
    // (a descendant deleted that way closes in its own destructor); links and fields still detach.
    DetachAll();
    delete FFieldDefs;
}

void TDataSet::BeforeDestruction() {
    if (!FComponentState.Contains(csDestroying)) {
        Destroying();
        try {
            SetActive(false);
        } catch (...) {
            // A descendant that fails to close must not stop its own destruction.
        }
        DetachAll();
    }
    TComponent::BeforeDestruction();
}

void TDataSet::DetachAll() {
    while (!FDataSources.empty())
        FDataSources.back()->SetDataSet(nullptr);
    // Persistent fields owned elsewhere stay alive but lose their data set.
    while (FFields->Count() > 0) {
        TField* F = FFields->Fields(FFields->Count() - 1);
        if (F->Owner() == this)
            FreeObject(F);
        else {
            FFields->Remove(F);
            F->FDataSet = nullptr;
        }
    }
}

void TDataSet::DefineClass(TClassBuilder<TDataSet>& B) {
    B.Property("Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
    B.Property("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(true);
    B.Property("FieldDefs", &TDataSet::FieldDefs, &TDataSet::SetFieldDefs);
    B.Property("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(false);
    B.Property("ObjectView", &TDataSet::ObjectView, &TDataSet::SetObjectView).Default(false);
    B.Property("BeforeOpen", &TDataSet::BeforeOpen, &TDataSet::BeforeOpen);
    B.Property("AfterOpen", &TDataSet::AfterOpen, &TDataSet::AfterOpen);
    B.Property("BeforeClose", &TDataSet::BeforeClose, &TDataSet::BeforeClose);
    B.Property("AfterClose", &TDataSet::AfterClose, &TDataSet::AfterClose);
    B.Property("BeforeInsert", &TDataSet::BeforeInsert, &TDataSet::BeforeInsert);
    B.Property("AfterInsert", &TDataSet::AfterInsert, &TDataSet::AfterInsert);
    B.Property("BeforeEdit", &TDataSet::BeforeEdit, &TDataSet::BeforeEdit);
    B.Property("AfterEdit", &TDataSet::AfterEdit, &TDataSet::AfterEdit);
    B.Property("BeforePost", &TDataSet::BeforePost, &TDataSet::BeforePost);
    B.Property("AfterPost", &TDataSet::AfterPost, &TDataSet::AfterPost);
    B.Property("BeforeCancel", &TDataSet::BeforeCancel, &TDataSet::BeforeCancel);
    B.Property("AfterCancel", &TDataSet::AfterCancel, &TDataSet::AfterCancel);
    B.Property("BeforeDelete", &TDataSet::BeforeDelete, &TDataSet::BeforeDelete);
    B.Property("AfterDelete", &TDataSet::AfterDelete, &TDataSet::AfterDelete);
    B.Property("BeforeScroll", &TDataSet::BeforeScroll, &TDataSet::BeforeScroll);
    B.Property("AfterScroll", &TDataSet::AfterScroll, &TDataSet::AfterScroll);
    B.Property("OnCalcFields", &TDataSet::OnCalcFields, &TDataSet::OnCalcFields);
    B.Property("OnDeleteError", &TDataSet::OnDeleteError, &TDataSet::OnDeleteError);
    B.Property("OnEditError", &TDataSet::OnEditError, &TDataSet::OnEditError);
    B.Property("OnFilterRecord", &TDataSet::OnFilterRecord, &TDataSet::SetOnFilterRecord);
    B.Property("OnNewRecord", &TDataSet::OnNewRecord, &TDataSet::OnNewRecord);
    B.Property("OnPostError", &TDataSet::OnPostError, &TDataSet::OnPostError);
}

void TDataSet::SetFieldDefs(TFieldDefs* Value) {
    if (Value != FFieldDefs)
        FFieldDefs->Assign(Value);
}

TFieldDefList& TDataSet::FieldDefList() {
    if (FFieldDefListStale) {
        FFieldDefList.Rebuild(FFieldDefs);
        FFieldDefListStale = false;
    }
    return FFieldDefList;
}

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (FStreamedActive) {
        FStreamedActive = false;
        SetActive(true);
    }
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (auto* DS = DynCast<TDataSource>(AComponent); DS && std::find(FDataSources.begin(), FDataSources.end(), DS) != FDataSources.end())
            RemoveDataSource(DS);
    }
}

void TDataSet::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    // Persistent fields of the same root are written inside their data set.
    for (int I = 0; I < FFields->Count(); ++I) {
        TField* F = FFields->Fields(I);
        if (F->Owner() == Root)
            Proc(F);
    }
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TDataSet::CheckActive() const {
    if (!Active())
        DatabaseError(SDataSetClosed, const_cast<TDataSet*>(this));
}

void TDataSet::CheckInactive() const {
    if (Active())
        DatabaseError(SDataSetOpen, const_cast<TDataSet*>(this));
}

void TDataSet::SetActive(bool Value) {
    if (FComponentState.Contains(csReading)) {
        FStreamedActive = Value;
        return;
    }
    if (Active() == Value)
        return;
    if (Value) {
        DoBeforeOpen();
        try {
            OpenCursor(false);
        } catch (...) {
            if (FState != dsOpening)
                OpenCursorComplete();
            throw;
        }
        if (FState != dsOpening)
            OpenCursorComplete();
    } else {
        bool Dying = FComponentState.Contains(csDestroying);
        if (!Dying)
            DoBeforeClose();
        SetState(dsInactive);
        CloseCursor();
        if (!Dying)
            DoAfterClose();
    }
}

void TDataSet::OpenCursor(bool InfoQuery) {
    if (InfoQuery)
        InternalInitFieldDefs();
    else if (FState != dsOpening)
        DoInternalOpen();
}

void TDataSet::DoInternalOpen() {
    FDefaultFields = FFields->Count() == 0;
    InternalOpen();
    FInternalOpenComplete = true;
    UpdateBufferCount();
    // The ring starts filled from the first record, so that a data set that opens with rows shows
    // them at once; the cursor stands before the first record after InternalOpen.
    if (FRecordCount == 0)
        GetNextRecords();
    FBOF = true;
}

void TDataSet::OpenCursorComplete() {
    if (FInternalOpenComplete) {
        SetState(dsBrowse);
        DoAfterOpen();
        if (!IsEmpty())
            DoAfterScroll();
    } else {
        SetState(dsInactive);
        CloseCursor();
    }
}

void TDataSet::CloseCursor() {
    FInternalOpenComplete = false;
    FreeFieldBuffers();
    ClearBuffers();
    SetBufferCount(0);
    if (IsCursorOpen())
        InternalClose();
}

void TDataSet::InitFieldDefs() {
    if (IsCursorOpen())
        InternalInitFieldDefs();
    else
        OpenCursor(true);  // an information query opens nothing that needs closing here
    FFieldDefs->SetUpdated(true);
}

// ---------------------------------------------------------------------------------------------
// Fields of the definitions

void TDataSet::CreateFields() {
    TFieldDefList& List = FieldDefList();
    for (int I = 0; I < List.Count(); ++I) {
        TFieldDef* Def = List.FieldDefs(I);
        // Children of object definitions are reached through their parent's field.
        if (Def->ParentDef() == nullptr && !Def->Attributes().Contains(faHiddenCol))
            Def->CreateField(this);
    }
}

void TDataSet::DestroyFields() { FFields->Clear(); }

void TDataSet::InitFieldDefsFromFields() {
    FFieldDefs->BeginUpdate();
    try {
        FFieldDefs->Clear();
        for (int I = 0; I < FFields->Count(); ++I) {
            TField* F = FFields->Fields(I);
            if (F->FieldKind() != fkData && F->FieldKind() != fkInternalCalc)
                continue;
            TFieldDef* Def = FFieldDefs->AddFieldDef();
            Def->SetName(F->FieldName());
            Def->SetDataType(F->DataType());
            Def->SetSize(F->Size());
            Def->SetRequired(F->Required());
            if (F->ReadOnly())
                Def->SetAttributes(Def->Attributes() + TFieldAttributes{faReadonly});
            if (auto* S = DynCast<TStringField>(F); S && S->FixedChar())
                Def->SetAttributes(Def->Attributes() + TFieldAttributes{faFixed});
            if (auto* B = DynCast<TBCDField>(F))
                Def->SetPrecision(B->Precision());
            Def->SetInternalCalcField(F->FieldKind() == fkInternalCalc);
        }
    } catch (...) {
        FFieldDefs->EndUpdate();
        throw;
    }
    FFieldDefs->EndUpdate();
}

void TDataSet::BindFields(bool Binding) {
    FCalcFieldsSize = 0;
    FBlobFieldCount = 0;
    FInternalCalcFields = false;
    // The fields inside object fields bind by their full names as the top-level ones do.
    std::vector<TField*> All;
    auto Collect = [&All](auto& Self, TFields* List) -> void {
        for (int I = 0; I < List->Count(); ++I) {
            All.push_back(List->Fields(I));
            if (auto* Object = DynCast<TObjectField>(List->Fields(I)))
                Self(Self, Object->Fields());
        }
    };
    Collect(Collect, FFields.get());
    for (TField* F : All) {
        if (Binding) {
            if (F->FieldKind() == fkCalculated || F->FieldKind() == fkLookup) {
                F->SetFieldNo(-1);
                F->SetOffset(FCalcFieldsSize);
                FCalcFieldsSize += F->DataSize() + 1;
            } else {
                TFieldDef* Def = FieldDefList().Find(F->FullName());
                TClass Expected = DefaultFieldClass(Def->DataType());
                if (F->DataType() != Def->DataType() && !(Expected && F->InheritsFrom(Expected)))
                    DatabaseErrorFmt(SFieldTypeMismatch, {F->DisplayName(), FieldTypeName(F->DataType()), FieldTypeName(Def->DataType())}, this);
                F->SetFieldNo(Def->FieldNo());
                if (F->IsBlob()) {
                    F->SetSize(Def->Size());
                    F->SetOffset(FBlobFieldCount++);
                }
                if (F->FieldKind() == fkInternalCalc)
                    FInternalCalcFields = true;
            }
        }
        F->Bind(Binding);
    }
}

TRecordBuffer TDataSet::FieldBuffer() const {
    switch (FState) {
    case dsBrowse:
        return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
        return ActiveBuffer();
    case dsCalcFields:
        return CalcBuffer();
    case dsFilter:
        return TempBuffer();
    default:
        return nullptr;
    }
}

void TDataSet::FreeFieldBuffers() {
    for (int I = 0; I < FFields->Count(); ++I)
        FFields->Fields(I)->FreeBuffers();
}

// ---------------------------------------------------------------------------------------------
// Field access

TField* TDataSet::FindField(const std::string& FieldName) const { return FFields->FindField(FieldName); }

TField* TDataSet::FieldByName(const std::string& FieldName) const {
    TField* F = FindField(FieldName);
    if (!F)
        DatabaseErrorFmt(SFieldNotFound, {FieldName}, const_cast<TDataSet*>(this));
    return F;
}

TField* TDataSet::FieldByNumber(int FieldNo) const { return FFields->FieldByNumber(FieldNo); }

void TDataSet::GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const {
    std::size_t Pos = 0;
    while (Pos <= FieldNames.size()) {
        std::size_t End = FieldNames.find(';', Pos);
        if (End == std::string::npos)
            End = FieldNames.size();
        std::string Name = Trim(std::string_view(FieldNames).substr(Pos, End - Pos));
        if (!Name.empty())
            List.push_back(FieldByName(Name));
        Pos = End + 1;
    }
}

TStream* TDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    (void)Field, (void)Mode;
    DatabaseErrorFmt(SFieldAccessError, {Field ? Field->DisplayName() : std::string(), "BLOB"}, this);
}

bool TDataSet::GetCurrentRecord(TRecordBuffer Buffer) {
    (void)Buffer;
    return false;
}

bool TDataSet::IsSequenced() { return true; }

// ---------------------------------------------------------------------------------------------
// States and notifications

void TDataSet::SetState(TDataSetState Value) {
    if (FState != Value) {
        FState = Value;
        FModified = false;
        DataEvent(deUpdateState, 0);
    }
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
    TDataSetState Old = FState;
    FState = Value;
    ++FDisableCount;
    return Old;
}

void TDataSet::RestoreState(TDataSetState Value) {
    FState = Value;
    --FDisableCount;
}

void TDataSet::DataEvent(TDataEvent Event, TDataEventInfo Info) {
    if (Event == deFieldChange) {
        auto* F = reinterpret_cast<TField*>(Info);
        if (F->FieldKind() == fkData || F->FieldKind() == fkInternalCalc)
            FModified = true;
        if (FState != dsSetKey) {
            if (FCalcFieldsSize != 0 && FAutoCalcFields && F->FieldKind() == fkData)
                CalculateFields(ActiveBuffer());
            F->Change();
        }
    }
    if (!ControlsDisabled() && FState != dsBlockRead) {
        // A handler may detach a data source: walk a copy.
        std::vector<TDataSource*> Sources = FDataSources;
        for (TDataSource* DS : Sources)
            if (std::find(FDataSources.begin(), FDataSources.end(), DS) != FDataSources.end())
                DS->DataEvent(Event, Info);
    } else if ((Event == deUpdateState && FState == dsInactive) || Event == deLayoutChange)
        FEnableEvent = deLayoutChange;
}

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0)
        return;
    if (--FDisableCount == 0) {
        if (FDisableState != FState)
            DataEvent(deUpdateState, 0);
        if (FDisableState != dsInactive && FState != dsInactive)
            DataEvent(FEnableEvent, 0);
    }
}

bool TDataSet::IsLinkedTo(TDataSource* DataSource) const {
    for (const TDataSet* DS = this; DS;) {
        TDataSource* Master = DS->GetDataSource();
        if (!Master)
            break;
        if (Master == DataSource)
            return true;
        DS = Master->DataSet();
    }
    return false;
}

void TDataSet::AddDataSource(TDataSource* DataSource) {
    FDataSources.push_back(DataSource);
    DataSource->FreeNotification(this);
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* DataSource) {
    auto It = std::find(FDataSources.begin(), FDataSources.end(), DataSource);
    if (It == FDataSources.end())
        return;
    FDataSources.erase(It);
    if (!FComponentState.Contains(csDestroying))
        UpdateBufferCount();
}

std::vector<TDataLink*> TDataSet::AllLinks() const {
    std::vector<TDataLink*> Links;
    for (TDataSource* DS : FDataSources)
        Links.insert(Links.end(), DS->FDataLinks.begin(), DS->FDataLinks.end());
    return Links;
}

void TDataSet::InternalHandleException() {
    if (GExceptionHandler)
        GExceptionHandler(this);
    else if (Application)
        Application->HandleException(this);
}

// ---------------------------------------------------------------------------------------------
// The buffer ring

void TDataSet::UpdateBufferCount() {
    if (!IsCursorOpen())
        return;
    int Max = 1;
    for (TDataLink* L : AllLinks())
        Max = std::max(Max, L->FBufferCount);
    SetBufferCount(Max);
}

void TDataSet::ShiftLinks(int Distance) {
    if (Distance == 0)
        return;
    for (TDataLink* L : AllLinks())
        L->FFirstRecord += Distance;
}

void TDataSet::SetBufferCount(int Value) {
    if (Value == FBufferCount)
        return;
    if (Value < FBufferCount && FRecordCount > 0) {
        // Drop records from the top, as few as keep the active record inside the smaller ring
        // and no more than the links' windows start below.
        int Delta = std::max(0, FActiveRecord - Value + 1);
        int MinFirst = FActiveRecord;
        for (TDataLink* L : AllLinks())
            MinFirst = std::min(MinFirst, L->FFirstRecord);
        Delta = std::max(Delta, std::min(MinFirst, FActiveRecord));
        Delta = std::min(Delta, FRecordCount - 1);
        for (int I = 0; I < Delta; ++I)
            MoveBuffer(0, FRecordCount);  // the top record goes behind the others
        FActiveRecord -= Delta;
        if (FCurrentRecord != -1)
            FCurrentRecord -= Delta;
        FRecordCount = std::min(FRecordCount - Delta, Value);
        if (FCurrentRecord >= FRecordCount)
            FCurrentRecord = -1;
        ShiftLinks(-Delta);
        for (TDataLink* L : AllLinks())
            L->FFirstRecord = std::max(0, L->FFirstRecord);
    }
    int Old = FBufferCount;
    // Free the buffers beyond the new ring (the spare included), keep the rest.
    int OldTotal = static_cast<int>(FBuffers.size());
    int NewTotal = Value > 0 ? Value + 1 : 0;
    for (int I = NewTotal; I < OldTotal; ++I)
        FreeRecordBuffer(FBuffers[I]);
    FBuffers.resize(static_cast<std::size_t>(NewTotal), nullptr);
    for (int I = OldTotal; I < NewTotal; ++I)
        FBuffers[I] = AllocRecordBuffer();
    FBufferCount = Value;
    if (Value > Old && FRecordCount > 0) {
        GetNextRecords();
        int Before = FActiveRecord;
        GetPriorRecords();
        ShiftLinks(FActiveRecord - Before);
    }
}

void TDataSet::MoveBuffer(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    TRecordBuffer Buffer = FBuffers[CurIndex];
    FBuffers.erase(FBuffers.begin() + CurIndex);
    FBuffers.insert(FBuffers.begin() + NewIndex, Buffer);
}

void TDataSet::ClearBuffers() {
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    FBOF = true;
    FEOF = true;
}

void TDataSet::ActivateBuffers() {
    FRecordCount = 1;
    FActiveRecord = 0;
    FCurrentRecord = 0;
    FBOF = false;
    FEOF = false;
}

void TDataSet::SetCurrentRecord(int Index) {
    if (FCurrentRecord == Index)
        return;
    TRecordBuffer Buffer = FBuffers[Index];
    switch (GetBookmarkFlag(Buffer)) {
    case bfCurrent:
    case bfInserted:
        InternalSetToRecord(Buffer);
        break;
    case bfBOF:
        InternalFirst();
        break;
    case bfEOF:
        InternalLast();
        break;
    }
    FCurrentRecord = Index;
}

void TDataSet::UpdateCursorPos() {
    if (FRecordCount > 0)
        SetCurrentRecord(FActiveRecord);
}

bool TDataSet::GetNextRecord() {
    TGetMode Mode = gmNext;
    if (FRecordCount > 0) {
        SetCurrentRecord(FRecordCount - 1);
        // An inserted record at the end stands before the cursor's record: that one comes next.
        if (FState == dsInsert && FCurrentRecord == FActiveRecord && GetBookmarkFlag(ActiveBuffer()) == bfCurrent)
            Mode = gmCurrent;
    }
    if (GetRecord(FBuffers[FRecordCount], Mode, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (FRecordCount == 0)
        ActivateBuffers();
    else if (FRecordCount < FBufferCount)
        ++FRecordCount;
    else
        MoveBuffer(0, FRecordCount);
    FCurrentRecord = FRecordCount - 1;
    return true;
}

bool TDataSet::GetPriorRecord() {
    if (FRecordCount > 0)
        SetCurrentRecord(0);
    if (GetRecord(FBuffers[FRecordCount], gmPrior, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (FRecordCount == 0)
        ActivateBuffers();
    else {
        MoveBuffer(FRecordCount, 0);
        if (FRecordCount < FBufferCount) {
            ++FRecordCount;
            ++FActiveRecord;
        }
    }
    FCurrentRecord = 0;
    return true;
}

int TDataSet::GetNextRecords() {
    int N = 0;
    while (FRecordCount < FBufferCount && GetNextRecord())
        ++N;
    return N;
}

int TDataSet::GetPriorRecords() {
    int N = 0;
    while (FRecordCount < FBufferCount && GetPriorRecord())
        ++N;
    return N;
}

void TDataSet::Resync(TResyncMode Mode) {
    if (Mode.Contains(rmExact)) {
        CursorPosChanged();
        if (GetRecord(FBuffers[FRecordCount], gmCurrent, true) != grOK)
            DatabaseError(SRecordNotFound, this);
    } else if (GetRecord(FBuffers[FRecordCount], gmCurrent, false) != grOK &&
               GetRecord(FBuffers[FRecordCount], gmNext, false) != grOK &&
               GetRecord(FBuffers[FRecordCount], gmPrior, false) != grOK) {
        ClearBuffers();
        DataEvent(deDataSetChange, 0);
        return;
    }
    int Count = Mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
    MoveBuffer(FRecordCount, 0);
    ActivateBuffers();
    try {
        while (Count > 0 && GetPriorRecord())
            --Count;
        GetNextRecords();
        GetPriorRecords();
    } catch (...) {
        DataEvent(deDataSetChange, 0);
        throw;
    }
    DataEvent(deDataSetChange, 0);
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    Resync({});
}

// ---------------------------------------------------------------------------------------------
// Navigation

void TDataSet::First() {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    try {
        InternalFirst();
        GetNextRecord();
        GetNextRecords();
    } catch (...) {
        FBOF = true;
        DataEvent(deDataSetChange, 0);
        throw;
    }
    FBOF = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::Last() {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    try {
        InternalLast();
        GetPriorRecord();
        GetPriorRecords();
    } catch (...) {
        FEOF = true;
        DataEvent(deDataSetChange, 0);
        throw;
    }
    FEOF = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

int TDataSet::MoveBy(int Distance) {
    CheckBrowseMode();
    int Result = 0;
    DoBeforeScroll();
    if ((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)) {
        FBOF = false;
        FEOF = false;
        // Shift: how far the records moved in the ring (a fetch at a full ring pushes them).
        int Shift = 0;
        auto Finish = [&] { DataEvent(deDataSetScroll, Shift); };
        try {
            while (Distance > 0) {
                if (FActiveRecord < FRecordCount - 1)
                    ++FActiveRecord;
                else {
                    bool Full = FRecordCount >= FBufferCount;
                    if (!GetNextRecord()) {
                        FEOF = true;
                        break;
                    }
                    if (Full)
                        --Shift;
                    else
                        ++FActiveRecord;
                }
                --Distance;
                ++Result;
            }
            while (Distance < 0) {
                if (FActiveRecord > 0)
                    --FActiveRecord;
                else {
                    bool Full = FRecordCount >= FBufferCount;
                    if (!GetPriorRecord()) {
                        FBOF = true;
                        break;
                    }
                    ++Shift;
                    if (!Full)
                        --FActiveRecord;  // the fetch kept the old record active one row down
                }
                ++Distance;
                --Result;
            }
        } catch (...) {
            Finish();
            throw;
        }
        Finish();
        DoAfterScroll();
    }
    return Result;
}

int TDataSet::RecordCount() {
    CheckActive();
    return GetRecordCount();
}

// ---------------------------------------------------------------------------------------------
// Editing

void TDataSet::CheckCanModify() {
    if (!CanModify())
        DatabaseError(SDataSetReadOnly, this);
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    switch (FState) {
    case dsEdit:
    case dsInsert:
        UpdateRecord();
        if (FModified)
            Post();
        else
            Cancel();
        break;
    case dsSetKey:
        Post();
        break;
    default:
        break;
    }
}

void TDataSet::UpdateRecord() {
    if (!dsEditModes.Contains(FState))
        DatabaseError(SNotEditing, this);
    DataEvent(deUpdateRecord, 0);
}

template <class Op>
void TDataSet::CheckOperation(Op Operation, const TDataSetErrorEvent& ErrorEvent) {
    for (;;) {
        try {
            UpdateCursorPos();
            (this->*Operation)();
            return;
        } catch (EDatabaseError& E) {
            TDataAction Action = daFail;
            ErrorEvent(this, E, Action);
            if (Action == daFail)
                throw;
            if (Action == daAbort)
                Abort();
        }
    }
}

void TDataSet::InitRecord(TRecordBuffer Buffer) {
    InternalInitRecord(Buffer);
    ClearCalcFields(Buffer);
    SetBookmarkFlag(Buffer, bfInserted);
}

void TDataSet::Edit() {
    if (FState == dsEdit || FState == dsInsert)
        return;
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeEdit();
    CheckOperation(&TDataSet::InternalEdit, OnEditError);
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    DoAfterEdit();
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
    SetState(dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        UpdateCursorPos();
        FreeFieldBuffers();
        SetState(dsBrowse);
        Resync({});
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange, 0);
    DoAfterInsert();
    DoAfterScroll();
}

void TDataSet::Insert() {
    BeginInsertAppend();
    TBookmark OldCurrent = GetBookmark();
    MoveBuffer(FRecordCount, FActiveRecord);
    TRecordBuffer Buffer = ActiveBuffer();
    InitRecord(Buffer);
    if (FRecordCount == 0)
        SetBookmarkFlag(Buffer, bfBOF);
    else if (!OldCurrent.empty())
        SetBookmarkData(Buffer, OldCurrent.data());
    if (FRecordCount < FBufferCount)
        ++FRecordCount;
    // The ring moved under the cursor's buffer index: let the next sync reposition it.
    CursorPosChanged();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Append() {
    BeginInsertAppend();
    ClearBuffers();
    TRecordBuffer Buffer = FBuffers[0];
    InitRecord(Buffer);
    SetBookmarkFlag(Buffer, bfEOF);
    FRecordCount = 1;
    FBOF = false;
    GetPriorRecords();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Post() {
    UpdateRecord();
    if (FState != dsEdit && FState != dsInsert)
        return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforePost();
    CheckOperation(&TDataSet::InternalPost, OnPostError);
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync({});
    DoAfterPost();
}

void TDataSet::InternalPost() { CheckRequiredFields(); }

void TDataSet::CheckRequiredFields() {
    for (int I = 0; I < FFields->Count(); ++I) {
        TField* F = FFields->Fields(I);
        if (F->Required() && !F->ReadOnly() && F->FieldKind() == fkData && F->IsNull()) {
            F->FocusControl();
            DatabaseErrorFmt(SFieldRequired, {F->DisplayName()}, this);
        }
    }
}

void TDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert)
        return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeCancel();
    bool ScrollEvents = FState == dsInsert;
    if (ScrollEvents)
        DoBeforeScroll();
    UpdateCursorPos();
    InternalCancel();
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync({});
    DoAfterCancel();
    if (ScrollEvents)
        DoAfterScroll();
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == dsInsert || FState == dsSetKey) {
        Cancel();
        return;
    }
    if (FRecordCount == 0)
        DatabaseError(SDataSetEmpty, this);
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeDelete();
    DoBeforeScroll();
    CheckOperation(&TDataSet::InternalDelete, OnDeleteError);
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync({});
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::ClearFields() {
    if (!dsEditModes.Contains(FState))
        DatabaseError(SNotEditing, this);
    DataEvent(deCheckBrowseMode, 0);
    FreeFieldBuffers();
    InternalInitRecord(ActiveBuffer());
    if (FState != dsSetKey)
        GetCalcFields(ActiveBuffer());
    DataEvent(deRecordChange, 0);
}

void TDataSet::SetFields(std::initializer_list<Variant> Values) {
    int I = 0;
    for (const Variant& V : Values) {
        if (I >= FFields->Count())
            break;
        FFields->Fields(I++)->SetAsVariant(V);
    }
}

void TDataSet::InsertAppendRecord(std::initializer_list<Variant> Values, bool Append) {
    BeginInsertAppend();
    if (!Append)
        UpdateCursorPos();
    DisableControls();
    try {
        MoveBuffer(FRecordCount, FActiveRecord);
        try {
            TRecordBuffer Buffer = ActiveBuffer();
            InitRecord(Buffer);
            FState = dsInsert;
            try {
                DoOnNewRecord();
                DoAfterInsert();
                SetFields(Values);
                DoBeforePost();
                InternalAddRecord(Buffer, Append);
            } catch (...) {
                FreeFieldBuffers();
                FState = dsBrowse;
                FModified = false;
                throw;
            }
            FreeFieldBuffers();
            FState = dsBrowse;
            FModified = false;
        } catch (...) {
            MoveBuffer(FActiveRecord, FRecordCount);
            throw;
        }
        CursorPosChanged();
        Resync({});
        DoAfterPost();
    } catch (...) {
        EnableControls();
        throw;
    }
    EnableControls();
}

void TDataSet::AppendRecord(std::initializer_list<Variant> Values) { InsertAppendRecord(Values, true); }
void TDataSet::InsertRecord(std::initializer_list<Variant> Values) { InsertAppendRecord(Values, false); }

// ---------------------------------------------------------------------------------------------
// Calculated fields

void TDataSet::GetCalcFields(TRecordBuffer Buffer) {
    if (FCalcFieldsSize > 0 || FInternalCalcFields) {
        TDataSetState Saved = FState;
        FState = dsCalcFields;
        try {
            CalculateFields(Buffer);
        } catch (...) {
            FState = Saved;
            throw;
        }
        FState = Saved;
    }
}

void TDataSet::CalculateFields(TRecordBuffer Buffer) {
    FCalcBuffer = Buffer;
    if (FState != dsInternalCalc) {
        ClearCalcFields(Buffer);
        for (int I = 0; I < FFields->Count(); ++I)
            if (FFields->Fields(I)->FieldKind() == fkLookup)
                FFields->Fields(I)->CalcLookupValue();
    }
    DoOnCalcFields();
}

// ---------------------------------------------------------------------------------------------
// Bookmarks

bool TDataSet::BookmarkAvailable() {
    return (FState == dsBrowse || FState == dsEdit || FState == dsInsert) && !IsEmpty() && FBookmarkSize > 0 &&
           GetBookmarkFlag(ActiveBuffer()) == bfCurrent;
}

TBookmark TDataSet::GetBookmark() {
    TBookmark Result;
    if (BookmarkAvailable()) {
        Result.resize(static_cast<std::size_t>(FBookmarkSize));
        GetBookmarkData(ActiveBuffer(), Result.data());
    }
    return Result;
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark) {
    if (Bookmark.empty())
        return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(Bookmark.data());
    Resync({rmExact, rmCenter});
    DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmark& Bookmark) {
    (void)Bookmark;
    return false;
}

int TDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
    if (Bookmark1.empty() || Bookmark2.empty())
        return Bookmark1.empty() == Bookmark2.empty() ? 0 : (Bookmark1.empty() ? -1 : 1);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Searching and field values as variants

bool TDataSet::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
    (void)KeyFields, (void)KeyValues, (void)Options;
    return false;
}

Variant TDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) {
    (void)KeyFields, (void)KeyValues, (void)ResultFields;
    return Null();
}

Variant TDataSet::FieldValues(const std::string& FieldNames) const {
    std::vector<TField*> List;
    GetFieldList(List, FieldNames);
    if (List.size() == 1)
        return List[0]->AsVariant();
    std::vector<Variant> Values;
    for (TField* F : List)
        Values.push_back(F->AsVariant());
    return VarArrayOf(Values);
}

void TDataSet::SetFieldValues(const std::string& FieldNames, const Variant& Value) {
    std::vector<TField*> List;
    GetFieldList(List, FieldNames);
    if (List.size() == 1 && !VarIsArray(Value)) {
        List[0]->SetAsVariant(Value);
        return;
    }
    for (std::size_t I = 0; I < List.size(); ++I)
        List[I]->SetAsVariant(Value[static_cast<int>(I)]);
}

// ---------------------------------------------------------------------------------------------
// Filters

void TDataSet::SetFilteredValue(bool Value) { FFiltered = Value; }
void TDataSet::SetOnFilterRecordValue(const TFilterRecordEvent& Value) { FOnFilterRecord = Value; }
