// The data-aware grid over its data source, its link, its plain column classes and the unit's
// start-up.
#include "dxDBGrid.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// The link

TdxDBGridDataLink::TdxDBGridDataLink(TdxDBGrid* AGrid) : TdxDBTreeListDataLink(AGrid), FGrid(AGrid) {}

void TdxDBGridDataLink::ActiveChanged() { FGrid->LinkActiveChanged(); }
void TdxDBGridDataLink::DataSetChanged() { FGrid->LinkDataSetChanged(); }
void TdxDBGridDataLink::DataSetScrolled(int) { FGrid->LinkRecordChanged(nullptr); }
void TdxDBGridDataLink::LayoutChanged() { FGrid->LinkLayoutChanged(); }
void TdxDBGridDataLink::RecordChanged(TField* Field) { FGrid->LinkRecordChanged(Field); }
void TdxDBGridDataLink::UpdateData() { FGrid->LinkUpdateData(); }

// ---------------------------------------------------------------------------------------------
// Life

TdxDBGrid::TdxDBGrid(TComponent* AOwner) : TCustomdxDBTreeListControl(AOwner) {
    FDataLink = Create<TdxDBGridDataLink>(this);
    SetGridStyle(true);
    SetShowGrid(true);
    SetShowHeader(true);
    SetShowIndicator(true);
    SetShowRoot(false);
    SetShowButtons(false);
    SetShowLines(false);
    SetOptions(Options() - TdxTreeListOptions{toRowSelect} + TdxTreeListOptions{toEditing, toColumnSorting});
}

TdxDBGrid::~TdxDBGrid() = default;

void TdxDBGrid::BeforeDestruction() {
    FDataLink->SetDataSource(nullptr);
    TCustomdxDBTreeListControl::BeforeDestruction();
    FRows.clear();
    FreeAndNil(FDataLink);
}

void TdxDBGrid::DefineClass(TClassBuilder<TdxDBGrid>& B) {
    B.Property("DataSource", &TdxDBGrid::DataSource, &TdxDBGrid::SetDataSource);
    B.Property("DefaultFields", &TdxDBGrid::DefaultFields, &TdxDBGrid::SetDefaultFields).Default(true);
}

void TdxDBGrid::SetDataSource(TDataSource* Value) {
    if (Value == FDataLink->DataSource())
        return;
    if (TDataSource* Old = FDataLink->DataSource())
        Old->RemoveFreeNotification(this);
    FDataLink->SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
    LinkActiveChanged();
}

void TdxDBGrid::SetDefaultFields(bool Value) {
    if (FDefaultFields == Value)
        return;
    FDefaultFields = Value;
    LinkActiveChanged();
}

void TdxDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomdxDBTreeListControl::Notification(AComponent, Operation);
    if (Operation != opRemove || !FDataLink)
        return;
    if (AComponent == FDataLink->DataSource())
        SetDataSource(nullptr);
    else if (dynamic_cast<TField*>(AComponent))
        for (int I = 0; I < ColumnCount(); ++I)
            if (auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(I)); C && C->Field() == AComponent)
                C->SetFieldDirect(nullptr);
}

bool TdxDBGrid::IsDataReadOnly() {
    TDataSet* D = DataSet();
    return ReadOnlyData || FDataLink->ReadOnly() || !D || !D->CanModify();
}

TdxTreeListColumnClass TdxDBGrid::GetDefaultColumnClass() { return TdxDBGridColumn::StaticClass(); }

TdxTreeListColumnClass TdxDBGrid::GetColumnClassForField(TField* Field) {
    if (!Field)
        return GetDefaultColumnClass();
    TdxColumnClassEntry E = DefaultGridColumnClasses().For(Field->DataType(), Field->FieldKind());
    return E.ColumnClass ? E.ColumnClass : GetDefaultColumnClass();
}

// ---------------------------------------------------------------------------------------------
// Rows from records

void TdxDBGrid::LinkActiveChanged() {
    if (ComponentState().Contains(csLoading) || IsDestroying())
        return;
    LayoutDataChanged();
    BindColumnFields();
    ReloadRows();
}

void TdxDBGrid::LinkLayoutChanged() { LinkActiveChanged(); }

void TdxDBGrid::LinkDataSetChanged() {
    if (FSyncing > 0 || IsDestroying())
        return;
    InvalidateFooterSummaries();
    TDataSet* D = DataSet();
    if (D && D->State() == dsInsert) {
        AddInsertedRow();
        return;
    }
    ReloadRows();
}

void TdxDBGrid::ReloadRows() {
    ++FSyncing;
    BeginUpdate();
    try {
        ClearNodes();
        FRows.clear();
        TDataSet* D = DataSet();
        if (FDataLink->Active() && D) {
            const TBookmark Current = D->GetBookmark();
            D->DisableControls();
            try {
                for (D->First(); !D->Eof(); D->Next()) {
                    auto* N = static_cast<TdxDBGridNode*>(Add());
                    LoadNodeData(N);
                    N->Bookmark = D->GetBookmark();
                    FRows[N->Bookmark] = N;
                }
                if (!Current.empty() && D->BookmarkValid(Current))
                    D->GotoBookmark(Current);
                else
                    D->First();
            } catch (...) {
                D->EnableControls();
                throw;
            }
            D->EnableControls();
        }
    } catch (...) {
        EndUpdate();
        --FSyncing;
        throw;
    }
    EndUpdate();
    --FSyncing;
    SortByColumns();
    FocusCurrentRecord();
    DataRefreshed();
}

void TdxDBGrid::SortingChanged() {
    if (SortedColumnCount() > 0)
        TCustomdxDBTreeListControl::SortingChanged();
    else if (FSyncing == 0 && !ComponentState().Contains(csLoading) && !IsDestroying())
        ReloadRows();
}

void TdxDBGrid::AddInsertedRow() {
    ++FSyncing;
    try {
        TdxTreeListNode* At = FocusedNode();
        auto* N = static_cast<TdxDBGridNode*>(At ? Insert(At) : Add());
        LoadNodeData(N);
        SetFocused(N);
    } catch (...) {
        --FSyncing;
        throw;
    }
    --FSyncing;
}

TdxTreeListNode* TdxDBGrid::NodeOfCurrentRecord() {
    TDataSet* D = DataSet();
    if (!D || !D->Active() || D->IsEmpty())
        return nullptr;
    if (D->State() == dsInsert) {
        for (int I = 0; I < GetRootCount(); ++I)
            if (static_cast<TdxDBGridNode*>(GetRootNode(I))->Bookmark.empty())
                return GetRootNode(I);
        return nullptr;
    }
    auto It = FRows.find(D->GetBookmark());
    return It == FRows.end() ? nullptr : It->second;
}

void TdxDBGrid::FocusCurrentRecord() {
    TdxTreeListNode* N = NodeOfCurrentRecord();
    if (!N || N == FocusedNode())
        return;
    ++FSyncing;
    try {
        SetFocused(N);
    } catch (...) {
        --FSyncing;
        throw;
    }
    --FSyncing;
}

void TdxDBGrid::LinkRecordChanged(TField* Field) {
    if (FSyncing > 0 || IsDestroying())
        return;
    if (Field)
        InvalidateFooterSummaries();
    TdxTreeListNode* N = NodeOfCurrentRecord();
    if (N && Field && !InPending(N)) {
        LoadNodeData(N);
        InvalidateNode(N, false);
    }
    FocusCurrentRecord();
    SyncEditorWithField();
}

std::string TdxDBGrid::GetGroupFooterText(TdxTreeListNode* Node, int Column, int FooterRow) {
    auto* C = Node || Column < 0 || Column >= ColumnCount() ? nullptr : DynCast<TdxDBTreeListColumn>(Columns(Column));
    if (!C)
        return TCustomdxDBTreeListControl::GetGroupFooterText(Node, Column, FooterRow);
    if (C->SummaryFooterType() != cstNone && !C->SummaryFooterValueValid)
        CalcFooterSummary(C);
    std::string Text;
    C->GetSummaryFooterText(Text);
    return Text;
}

void TdxDBGrid::InvalidateFooterSummaries() {
    for (int I = 0; I < ColumnCount(); ++I)
        if (auto* C = DynCast<TdxDBTreeListColumn>(Columns(I)))
            C->SummaryFooterValueValid = false;
}

void TdxDBGrid::CalcFooterSummary(TdxDBTreeListColumn* Column) {
    // The rows keep the values of their columns' fields: the footer field is read through the
    // column bound to it.
    TField* F = Column->SummaryFooterFieldObject;
    TdxDBTreeListColumn* Source = Column;
    if (F && F != Column->Field())
        Source = ColumnByFieldName(F->FieldName());
    double Sum = 0, Min = 0, Max = 0;
    int Count = 0, Values = 0;
    for (const auto& Row : FRows) {
        ++Count;
        if (!Source || !F)
            continue;
        const TNodeVariantData Data = Source->ReadNodeVariantData(Row.second);
        if (!(Data.AssignedValues & TNodeVariantData::avValue) || Data.Value.IsNull() || Data.Value.IsEmpty())
            continue;
        double V = 0;
        try {
            V = Data.Value.AsDouble();
        } catch (const Exception&) {
            continue;
        }
        Min = Values == 0 ? V : std::min(Min, V);
        Max = Values == 0 ? V : std::max(Max, V);
        Sum += V;
        ++Values;
    }
    double Value = 0;
    switch (Column->SummaryFooterType()) {
    case cstSum: Value = Sum; break;
    case cstMin: Value = Min; break;
    case cstMax: Value = Max; break;
    case cstCount: Value = Count; break;
    case cstAvg: Value = Values ? Sum / Values : 0; break;
    default: break;
    }
    Column->SummaryFooterValue = Value;
    Column->SummaryFooterValueValid = true;
}

void TdxDBGrid::LinkUpdateData() {
    if (State() == tsEditing)
        PostEditorValue();
}

void TdxDBGrid::DoChangeNode(TdxTreeListNode* OldNode, TdxTreeListNode* Node) {
    TCustomdxDBTreeListControl::DoChangeNode(OldNode, Node);
    TDataSet* D = DataSet();
    if (FSyncing > 0 || !Node || !D || !D->Active())
        return;
    const TBookmark& B = static_cast<TdxDBGridNode*>(Node)->Bookmark;
    if (B.empty() || !D->BookmarkValid(B))
        return;
    ++FSyncing;
    try {
        D->GotoBookmark(B);
    } catch (...) {
        --FSyncing;
        throw;
    }
    --FSyncing;
    // Posting a pending record on the move reloads the rows; the row under the cursor stays focused.
    FocusCurrentRecord();
}

void TdxDBGrid::KeyDown(Word& Key, TShiftState Shift) {
    const Word Pressed = Key;
    TCustomdxDBTreeListControl::KeyDown(Key, Shift);
    TDataSet* D = DataSet();
    if (!D || !D->Active() || State() == tsEditing)
        return;
    if (Pressed == VK_RETURN && (D->State() == dsEdit || D->State() == dsInsert)) {
        D->Post();
        FDataLink->ClearLinkModified();
    } else if (Pressed == VK_ESCAPE && (D->State() == dsEdit || D->State() == dsInsert)) {
        D->Cancel();
        FDataLink->ClearLinkModified();
    }
}

// ---------------------------------------------------------------------------------------------
// Plain grid columns

void TdxDBGridColumn::DefineClass(TClassBuilder<TdxDBGridColumn>& B) { DefineGridColumnProperties(B); }

void TdxDBGridMaskColumn::DefineClass(TClassBuilder<TdxDBGridMaskColumn>& B) { DefineGridColumnProperties(B); }

TdxDefaultColumnTable& DefaultGridColumnClasses() {
    static TdxDefaultColumnTable Table(&TdxDBGridColumn::StaticClass);
    return Table;
}

void RegisterDefaultGridColumnClasses(TdxProposeColumnClass Callback) { DefaultGridColumnClasses().Register(Callback); }

void ResetDefaultGridColumnClasses() { DefaultGridColumnClasses().Reset(); }

// ---------------------------------------------------------------------------------------------
// Unit start-up

namespace {
inline constexpr TResStringRec SGroupPanelText = ResString("Drag a column header here to group by that column");
std::string GroupPanel;
int StartCount = 0;
}  // namespace

std::string GroupPanelText() { return GroupPanel; }

void dxDBGridInitialization() {
    if (StartCount++ > 0)
        return;
    RegisterClasses({TdxDBGridColumn::StaticClass(), TdxDBGridMaskColumn::StaticClass(), TdxDBGrid::StaticClass()});
    GroupPanel = LoadResString(SGroupPanelText);
}

void dxDBGridFinalization() {
    if (--StartCount > 0)
        return;
    GroupPanel.clear();
}
