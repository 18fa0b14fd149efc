// The data-aware tree list control: field binding, loading nodes from records, writing edited
// cells back, the record selection and the incremental search in the data set.
#include "dxDBCtrl.h"

#include "Forms.h"
#include "SysUtils.h"

#include <algorithm>
#include <cstdint>

// ---------------------------------------------------------------------------------------------
// The data link's field map

TdxDBTreeListDataLink::TdxDBTreeListDataLink(TCustomdxDBTreeListControl* AControl) : FControl(AControl) {
    VisualControl = true;
}

void TdxDBTreeListDataLink::AddMapping(const std::string& FieldName) {
    constexpr int MaxEntries = (1 << 28) - 1;
    if (MapCount() >= FCapacity) {
        if (FCapacity >= MaxEntries)
            throw EListError("Too many fields");
        FCapacity = FCapacity == 0 ? 8 : std::min(FCapacity * 2, MaxEntries);
        FFieldMap.reserve(static_cast<std::size_t>(FCapacity));
    }
    TField* F = DataSet() ? DataSet()->FindField(FieldName) : nullptr;
    FFieldMap.push_back(F ? F->Index() : -1);
    if (F && FControl)
        F->FreeNotification(FControl);
}

void TdxDBTreeListDataLink::ClearMapping() {
    FFieldMap.clear();
    FFieldMap.shrink_to_fit();
    FCapacity = 0;
}

TField* TdxDBTreeListDataLink::GetMappedField(int Index) const {
    if (Index < 0 || Index >= MapCount() || FFieldMap[static_cast<std::size_t>(Index)] < 0 || !DataSet())
        return nullptr;
    const int I = FFieldMap[static_cast<std::size_t>(Index)];
    return I < DataSet()->FieldCount() ? DataSet()->Fields()->Fields(I) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Life

TCustomdxDBTreeListControl::TCustomdxDBTreeListControl(TComponent* AOwner) : TCustomdxTreeListControl(AOwner) {
    FSelection = Create<TStringList>();
    FSelection->OnChange = TNotifyEvent::FromFunction([this](TObject* S) { SelectionChanged(S); });
    FPendingNodes = Create<TList>();
}

TCustomdxDBTreeListControl::~TCustomdxDBTreeListControl() = default;

void TCustomdxDBTreeListControl::BeforeDestruction() {
    TCustomdxTreeListControl::BeforeDestruction();
    FreeAndNil(FPendingNodes);
    FreeAndNil(FSelection);
}

void TCustomdxDBTreeListControl::SelectionChanged(TObject*) {
    FSearchText.clear();
    FSearchPosition = -1;
}

TdxDBTreeListColumn* TCustomdxDBTreeListControl::DBColumns(int Index) const {
    return As<TdxDBTreeListColumn>(Columns(Index));
}

TDataSet* TCustomdxDBTreeListControl::DataSet() {
    TdxDBTreeListDataLink* L = GetDataLink();
    return L ? L->DataSet() : nullptr;
}

bool TCustomdxDBTreeListControl::DataLinkActive() {
    TdxDBTreeListDataLink* L = GetDataLink();
    return L && L->Active();
}

bool TCustomdxDBTreeListControl::InDataEditState() {
    TDataSet* D = DataSet();
    return D && (D->State() == dsEdit || D->State() == dsInsert || D->State() == dsSetKey);
}

bool TCustomdxDBTreeListControl::InPending(TdxTreeListNode* Node) const { return FPendingNodes->IndexOf(Node) >= 0; }

TdxDBTreeListColumn* TCustomdxDBTreeListControl::ColumnByFieldName(const std::string& Name) {
    for (int I = 0; I < ColumnCount(); ++I)
        if (auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(I)); C && AnsiCompareText(C->FieldName(), Name) == 0)
            return C;
    return nullptr;
}

TField* TCustomdxDBTreeListControl::GetFocusedField() {
    const int C = GetFocusedAbsoluteColumn();
    if (C < 0 || C >= ColumnCount())
        return nullptr;
    auto* Col = dynamic_cast<TdxDBTreeListColumn*>(Columns(C));
    return Col ? Col->Field() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Columns from fields

void TCustomdxDBTreeListControl::CheckDefaultFields() {
    if (GetDefaultFields() && !FRebinding && !IsDestroying() && LockCount() == 0)
        throw Exception("DefaultFields property should be set to False");
}

void TCustomdxDBTreeListControl::DestroyFieldColumns() {
    CheckDefaultFields();
    DestroyColumns();
}

TdxDBTreeListColumn* TCustomdxDBTreeListControl::CreateFieldColumn(TdxTreeListColumnClass ColumnClass,
                                                                   TComponent* Owner) {
    CheckDefaultFields();
    return As<TdxDBTreeListColumn>(CreateColumn(ColumnClass, Owner ? Owner : this));
}

void TCustomdxDBTreeListControl::CreateColumnsFromDataSet(TDataSet* DataSet, TComponent* Owner) {
    if (!DataSet)
        return;
    for (int I = 0; I < DataSet->FieldCount(); ++I) {
        TField* F = DataSet->Fields()->Fields(I);
        TdxDBTreeListColumn* C = CreateFieldColumn(GetColumnClassForField(F), Owner);
        C->SetFieldName(F->FieldName());
        C->SetVisible(F->Visible());
    }
}

TdxDBTreeListColumn* TCustomdxDBTreeListControl::CreateColumnOfClass(TdxTreeListColumnClass ColumnClass) {
    return As<TdxDBTreeListColumn>(CreateColumn(ColumnClass, this));
}

TdxTreeListColumnClass TCustomdxDBTreeListControl::GetDefaultColumnClass() {
    return TdxDBTreeListColumn::StaticClass();
}

TdxTreeListColumnClass TCustomdxDBTreeListControl::GetColumnClassForField(TField*) {
    return TdxDBTreeListColumn::StaticClass();
}

void TCustomdxDBTreeListControl::BuildFieldMap() {
    TdxDBTreeListDataLink* L = GetDataLink();
    if (!L)
        return;
    if (GetDefaultFields()) {
        if (TDataSet* D = L->DataSet())
            for (int I = 0; I < D->FieldCount(); ++I)
                if (D->Fields()->Fields(I)->Visible())
                    L->AddMapping(D->Fields()->Fields(I)->FieldName());
    } else {
        for (int I = 0; I < ColumnCount(); ++I)
            if (auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(I)))
                L->AddMapping(C->FieldName());
    }
}

void TCustomdxDBTreeListControl::BindColumnFields() {
    TDataSet* D = DataSet();
    if (!D)
        return;
    for (int I = 0; I < ColumnCount(); ++I) {
        auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(I));
        if (!C)
            continue;
        C->SetFieldDirect(C->FieldName().empty() ? nullptr : D->FindField(C->FieldName()));
        const std::string& Footer = C->SummaryFooterField.empty() ? C->FieldName() : C->SummaryFooterField;
        C->SummaryFooterFieldObject = Footer.empty() ? nullptr : D->FindField(Footer);
        C->SummaryFooterValue = 0;
        C->SummaryFooterValueValid = false;
    }
}

void TCustomdxDBTreeListControl::BindPreviewField() {
    FPreviewField = nullptr;
    if (PreviewFieldName.empty() || !DataLinkActive())
        return;
    TField* F = DataSet()->FindField(PreviewFieldName);
    if (auto* B = dynamic_cast<TBlobField*>(F)) {
        const TFieldType T = B->DataType();
        if (T != ftBlob && T != ftMemo && T != ftFmtMemo)
            F = nullptr;
    }
    FPreviewField = F;
    if (F)
        F->FreeNotification(this);
}

void TCustomdxDBTreeListControl::LayoutDataChanged() {
    TCustomdxTreeListControl::LayoutDataChanged();
    HideEditorOnExit();
    TdxDBTreeListDataLink* L = GetDataLink();
    if (!L)
        return;
    L->ClearMapping();
    if (L->Active())
        BuildFieldMap();
    BindPreviewField();
    if (GetDefaultFields()) {
        FRebinding = true;
        BeginUpdate();
        try {
            if (L->Active()) {
                for (int I = ColumnCount() - 1; I >= 0; --I) {
                    auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(I));
                    bool Mapped = false;
                    for (int M = 0; C && C->Field() && M < L->MapCount() && !Mapped; ++M)
                        Mapped = L->GetMappedField(M) == C->Field();
                    if (!Mapped)
                        Columns(I)->Free();
                }
            } else {
                DestroyColumns();
            }
            for (int I = 0; I < L->MapCount(); ++I) {
                TField* F = L->GetMappedField(I);
                TdxTreeListColumn* Found = nullptr;
                for (int J = I; F && J < ColumnCount() && !Found; ++J)
                    if (auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(J)); C && C->Field() == F)
                        Found = C;
                if (!Found) {
                    TdxDBTreeListColumn* C =
                        CreateColumnOfClass(F ? GetColumnClassForField(F) : GetDefaultColumnClass());
                    if (F) {
                        C->SetFieldNameDirect(F->FieldName());
                        C->SetFieldDirect(F);
                    }
                    Found = C;
                }
                if (IndexOfColumn(Found) != I)
                    MoveColumnInList(Found, I);
            }
        } catch (...) {
            FRebinding = false;
            EndUpdate();
            throw;
        }
        FRebinding = false;
        EndUpdate();
    } else {
        for (int I = 0; I < ColumnCount(); ++I)
            if (auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(I)))
                C->SetFieldName(C->FieldName());
    }
}

// ---------------------------------------------------------------------------------------------
// Nodes from records

void TCustomdxDBTreeListControl::AssignColumnNodeData(TdxTreeListNode* Node, TdxDBTreeListColumn* Column) {
    Column->AssignNodeData(Node);
}

std::string TCustomdxDBTreeListControl::TruncatePreview(const std::string& Text) const {
    if (PreviewMaxLength > 0 && static_cast<int>(Text.size()) > PreviewMaxLength)
        return Text.substr(0, static_cast<std::size_t>(PreviewMaxLength)) + "...";
    return Text;
}

void TCustomdxDBTreeListControl::LoadNodeData(TdxTreeListNode* Node) {
    auto* N = static_cast<TdxDBTreeListControlNode*>(Node);
    N->KeyValue = KeyField ? KeyField->AsVariant() : Unassigned();
    for (int I = 0; I < ColumnCount(); ++I)
        if (auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(I)); C && C->Field())
            AssignColumnNodeData(Node, C);
    if (FPreviewField) {
        try {
            N->PreviewText = FPreviewField->OnGetText ? FPreviewField->DisplayText()
                                                      : TruncatePreview(FPreviewField->AsString());
        } catch (const Exception&) {
            // The row keeps its previous preview.
        }
    }
}

std::string TCustomdxDBTreeListControl::GetPreviewText(TdxTreeListNode* Node) {
    return Node ? static_cast<TdxDBTreeListControlNode*>(Node)->PreviewText : std::string();
}

void TCustomdxDBTreeListControl::GetNodeSortValue(TdxTreeListNode* Node, int Column, Variant& Value) {
    if (Column >= 0 && Column < ColumnCount())
        if (auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(Column))) {
            TNodeVariantData D = C->ReadNodeVariantData(Node);
            if (D.AssignedValues & TNodeVariantData::avValue) {
                Value = D.Value;
                return;
            }
        }
    std::string S;
    GetNodeString(Node, Column, S);
    Value = S;
}

void TCustomdxDBTreeListControl::DeleteNodeValue(TdxTreeListNode* Node, int Index) {
    TStringList* L = static_cast<TdxTreeListTextNode*>(Node)->Texts();
    if (Index >= 0 && Index < L->Count()) {
        FreeObject(L->Objects(Index));
        L->Delete(Index);
    }
    for (int I = 0; I < Node->Count(); ++I)
        DeleteNodeValue(Node->Items(I), Index);
}

void TCustomdxDBTreeListControl::NodeDeleted(TdxTreeListNode* Node, TdxTreeListNode* PrevSiblingOrParent,
                                             bool WasVisible, bool WasLastSibling, TdxTreeListNode* NextRow) {
    TCustomdxTreeListControl::NodeDeleted(Node, PrevSiblingOrParent, WasVisible, WasLastSibling, NextRow);
    FPendingNodes->Remove(Node);
    if (FSelection)
        for (int I = FSelection->Count() - 1; I >= 0; --I)
            if (FSelection->Objects(I) == Node)
                FSelection->Delete(I);
}

bool TCustomdxDBTreeListControl::CanCollapseFocused(TdxTreeListNode* Node) {
    if (FPendingNodes->IndexOf(Node) < 0)
        FPendingNodes->Add(Node);
    SetFocused(Node);
    return true;
}

bool TCustomdxDBTreeListControl::IsDataSetEmpty() {
    TDataSet* D = DataSet();
    return !D || !D->Active() || (D->IsEmpty() && D->State() != dsInsert);
}

void TCustomdxDBTreeListControl::DataRefreshed() {
    if (SelectionLockCount() > 0)
        return;
    if (SearchLockCount() == 0)
        EndSearch();
    if (DataLinkActive())
        OnDataRefreshed(this);
}

// ---------------------------------------------------------------------------------------------
// Sorting and selection

void TCustomdxDBTreeListControl::ClearSortedColumns() {
    TCustomdxTreeListControl::ClearSortedColumns();
    for (int I = 0; I < ColumnCount(); ++I)
        if (auto* C = dynamic_cast<TdxDBTreeListColumn*>(Columns(I)); C && C->GroupIndex() < 0)
            C->SetSortedDirect(csNone);
}

void TCustomdxDBTreeListControl::DefineClass(TClassBuilder<TCustomdxDBTreeListControl>& B) {
    B.Message<&TCustomdxDBTreeListControl::CMWinIniChange>(CM_WININICHANGE);
    B.Message<&TCustomdxDBTreeListControl::WMHScroll>(WM_HSCROLL);
}

std::vector<int> TCustomdxDBTreeListControl::ColumnScrollEdges() {
    // The scrolling bands side by side from 0, the first band with the tree's indent.
    const int Extra = GetFirstBandExtraWidth();
    const int LeftFixed = GetLeftFixedBand(), RightFixed = GetRightFixedBand();
    std::vector<int> Edges;
    int X = 0;
    for (int B = 0; B < GetVisibleBandCount(); ++B) {
        if (B == LeftFixed || B == RightFixed)
            continue;
        const int Indent = B == 0 ? Extra : 0;
        int Column = X + Indent;
        for (int I = 0, N = GetColumnCountInRow(B, 0); I < N; ++I) {
            Edges.push_back(I == 0 ? X : Column);
            Column += GetColumnDisplayWidth(GetColumnAt(B, 0, I));
        }
        X += GetBandDisplayWidth(B) + Indent;
    }
    return Edges;
}

void TCustomdxDBTreeListControl::WMHScroll(TMessage& Message) {
    const int Code = LOWORD(Message.WParam);
    const bool Line = Code == SB_LINELEFT || Code == SB_LINERIGHT;
    const bool Thumb = Code == SB_THUMBPOSITION || Code == SB_THUMBTRACK;
    if (!Line && !Thumb) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    if (!CanScroll() || GetVisibleColumnCount() == 0)
        return;
    const std::vector<int> Edges = ColumnScrollEdges();
    if (Edges.empty())
        return;
    const int Max = GetMaxLeftCoord(), Left = LeftCoord();
    // The column under a coordinate: the last edge at or before it.
    auto Under = [&](int X) {
        const auto It = std::upper_bound(Edges.begin(), Edges.end(), X);
        return It == Edges.begin() ? 0 : static_cast<int>(It - Edges.begin()) - 1;
    };
    const int Last = static_cast<int>(Edges.size()) - 1;
    int Value;
    if (Line) {
        const int I = Under(Left) + (Code == SB_LINERIGHT ? 1 : -1);
        Value = Edges[static_cast<std::size_t>(std::clamp(I, 0, Last))];
    } else {
        const int P = HIWORD(Message.WParam);
        if (P <= 0)
            Value = 0;
        else if (P >= Max)
            Value = Max;
        else if (P == Left)
            return;
        else {
            // Towards the left in the first half of the range, else towards the right.
            const int I = Under(P);
            const bool ToLeft = GetScrollableWidth() + P < GetScrollableContentWidth() / 2;
            Value = Edges[static_cast<std::size_t>(ToLeft || Edges[static_cast<std::size_t>(I)] == P ? I : std::min(I + 1, Last))];
        }
    }
    SetLeftCoord(std::min(Value, Max));
}

void TCustomdxDBTreeListControl::CMWinIniChange(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    for (int I = 0; I < ColumnCount(); ++I)
        Columns(I)->Dispatch(Message);
}

bool TCustomdxDBTreeListControl::HasCustomDrawHeader() {
    if (TCustomdxTreeListControl::HasCustomDrawHeader())
        return true;
    for (int I = 0; I < ColumnCount(); ++I)
        if (DBColumns(I) && DBColumns(I)->OnCustomDrawHeader.Assigned())
            return true;
    return false;
}

void TCustomdxDBTreeListControl::DoCustomDrawHeader(TCanvas* Canvas, int Column, bool& Done, TAlignment& Alignment,
                                                    TFont* Font, TColor& Color, std::string& Text, int& Sorted,
                                                    const TRect& Rect) {
    if (TdxDBTreeListColumn* C = Column >= 0 && Column < ColumnCount() ? DBColumns(Column) : nullptr) {
        TRect R = Rect;
        C->OnCustomDrawHeader(this, Canvas, R, C, Done);
    }
    if (!Done)
        TCustomdxTreeListControl::DoCustomDrawHeader(Canvas, Column, Done, Alignment, Font, Color, Text, Sorted, Rect);
}

bool TCustomdxDBTreeListControl::HasCustomDrawFooterCell() {
    if (TCustomdxTreeListControl::HasCustomDrawFooterCell())
        return true;
    for (int I = 0; I < ColumnCount(); ++I)
        if (DBColumns(I) && DBColumns(I)->OnDrawSummaryFooter.Assigned())
            return true;
    return false;
}

void TCustomdxDBTreeListControl::DoCustomDrawFooterCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node,
                                                        int Column, int FooterIndex, bool& Done, TAlignment& Alignment,
                                                        TFont* Font, TColor& Color, std::string& Text) {
    // The footer row (not a group footer) is the summary footer.
    TdxDBTreeListColumn* C = Column >= 0 && Column < ColumnCount() ? DBColumns(Column) : nullptr;
    if (C && FooterIndex == -1)
        C->OnDrawSummaryFooter(C, Canvas, Rect, Text, Alignment, Font, Color, Done);
    if (!Done)
        TCustomdxTreeListControl::DoCustomDrawFooterCell(Canvas, Rect, Node, Column, FooterIndex, Done, Alignment, Font,
                                                         Color, Text);
}

void TCustomdxDBTreeListControl::BeforeColumnSort(TdxTreeListColumn* Column) {
    auto* C = dynamic_cast<TdxDBTreeListColumn*>(Column);
    if (IsColumnSorting() && (!C || C->GroupIndex() < 0) && !IsMultiSortClick() && SortLock() == 0)
        ClearSortedColumns();
}

int TCustomdxDBTreeListControl::CompareNodes(TdxTreeListNode* Node1, TdxTreeListNode* Node2) {
    const Variant& A = static_cast<TdxDBTreeListControlNode*>(Node1)->KeyValue;
    const Variant& B = static_cast<TdxDBTreeListControlNode*>(Node2)->KeyValue;
    if (A.IsEmpty() || B.IsEmpty())
        return 0;
    try {
        if (A == B)
            return TCustomdxTreeListControl::CompareNodes(Node1, Node2);
        return A < B ? -1 : 1;
    } catch (const EVariantError&) {
        // Keys that cannot be ordered fall back to the engine's strict order.
        return TCustomdxTreeListControl::CompareNodes(Node1, Node2);
    }
}

void TCustomdxDBTreeListControl::ClearSelection() {
    if (FSelection->Count() == 0) {
        TCustomdxTreeListControl::ClearSelection();
        return;
    }
    if (!IsDestroying())
        InvalidateSelection();
    FSelection->Clear();
    TCustomdxTreeListControl::ClearSelection();
}

TdxTreeListNode* TCustomdxDBTreeListControl::GetSelectedNode(int Index) {
    return Index >= 0 && Index < FSelection->Count() ? static_cast<TdxTreeListNode*>(FSelection->Objects(Index))
                                                     : nullptr;
}

namespace {
// The position of Node in a list ordered by node address (where it is or would be).
int AddressPosition(TStringList* L, TdxTreeListNode* Node) {
    int Lo = 0, Hi = L->Count();
    const auto Key = reinterpret_cast<std::uintptr_t>(Node);
    while (Lo < Hi) {
        const int Mid = (Lo + Hi) / 2;
        if (reinterpret_cast<std::uintptr_t>(L->Objects(Mid)) < Key)
            Lo = Mid + 1;
        else
            Hi = Mid;
    }
    return Lo;
}
}  // namespace

bool TCustomdxDBTreeListControl::IsNodeSelected(TdxTreeListNode* Node) {
    const int P = AddressPosition(FSelection, Node);
    return P < FSelection->Count() && FSelection->Objects(P) == Node;
}

void TCustomdxDBTreeListControl::SetNodeSelected(TdxTreeListNode* Node, bool Value) {
    if (!Node || IsNodeSelected(Node) == Value)
        return;
    const int P = AddressPosition(FSelection, Node);
    if (Value) {
        if (!CanSelectNode(Node))
            return;
        FSelection->InsertObject(P, std::string(), Node);
    } else {
        FSelection->Delete(P);
    }
    InvalidateRow(Node);
    TCustomdxTreeListControl::SetNodeSelected(Node, Value);
}

void TCustomdxDBTreeListControl::SelectRange(TdxTreeListNode* FromNode, TdxTreeListNode* ToNode) {
    if (InDataEditState() || !IsMultiSelect())
        return;
    BeginSelectionUpdate();
    try {
        if (SelectRangeInNodes()) {
            TCustomdxTreeListControl::SelectRange(FromNode, ToNode);
        } else if (SelectRangeByRecords() && DataLinkActive()) {
            TDataSet* D = DataSet();
            TdxTreeListNode* First = FocusedNode();
            D->DisableControls();
            try {
                const int A = GetRowIndex(FromNode), B = GetRowIndex(ToNode);
                TdxTreeListNode* N = A <= B ? FromNode : ToNode;
                for (int I = 0, Count = std::abs(A - B) + 1; N && I < Count; ++I) {
                    SetFocused(N);
                    SetNodeSelected(N, true);
                    N = GetNextVisibleNode(N);
                }
                SetFocused(First);
            } catch (...) {
                D->EnableControls();
                throw;
            }
            D->EnableControls();
        } else {
            SelectRangeFromRows(FromNode, ToNode);
        }
    } catch (...) {
        EndSelectionUpdate();
        throw;
    }
    EndSelectionUpdate();
}

void TCustomdxDBTreeListControl::SelectRangeFromRows(TdxTreeListNode* FromNode, TdxTreeListNode* ToNode) {
    BeginUpdate();
    try {
        int A = GetRowIndex(FromNode), B = GetRowIndex(ToNode);
        if (A > B)
            std::swap(A, B);
        std::vector<TdxTreeListNode*> Rows;
        for (int I = std::max(A, 0); I <= B; ++I)
            if (TdxTreeListNode* N = GetNodeAtRow(I); N && CanSelectNode(N))
                Rows.push_back(N);
        for (TdxTreeListNode* N : Rows)
            if (!IsNodeSelected(N))
                FSelection->InsertObject(AddressPosition(FSelection, N), std::string(), N);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    DoSelectionChanged();
}

// ---------------------------------------------------------------------------------------------
// Editing

bool TCustomdxDBTreeListControl::IsColumnFooterShown(int Column) {
    if (TCustomdxTreeListControl::IsColumnFooterShown(Column))
        return true;
    auto* C = Column >= 0 && Column < ColumnCount() ? dynamic_cast<TdxDBTreeListColumn*>(Columns(Column)) : nullptr;
    return C && C->SummaryFooterType() != cstNone;
}

TColor TCustomdxDBTreeListControl::GetEditorColor() {
    TColor C = TCustomdxTreeListControl::GetEditorColor();
    OnGetCellEditColor(this, FocusedNode(), dynamic_cast<TdxDBTreeListColumn*>(FocusedColumnObject()), C);
    return C;
}

bool TCustomdxDBTreeListControl::IsEditorValidChar(char Key) {
    auto* C = dynamic_cast<TdxDBTreeListColumn*>(FocusedColumnObject());
    return !C || C->IsValidChar(Key);
}

bool TCustomdxDBTreeListControl::CanEditorModify() {
    TdxDBTreeListDataLink* L = GetDataLink();
    if (!CanEditRecords() || IsDataReadOnly() || !L || !L->Active() || L->ReadOnly())
        return false;
    auto* C = dynamic_cast<TdxDBTreeListColumn*>(FocusedColumnObject());
    if (!C || C->ReadOnly() || !C->Field())
        return false;
    TField* F = C->Field();
    bool Modifiable = F->CanModify();
    if (!Modifiable && F->Lookup() && F->DataSet()) {
        std::vector<TField*> Keys;
        try {
            F->DataSet()->GetFieldList(Keys, F->KeyFields());
        } catch (const Exception&) {
            Keys.clear();
        }
        Modifiable = !Keys.empty() && std::all_of(Keys.begin(), Keys.end(), [](TField* K) { return K->CanModify(); });
    }
    if (!Modifiable)
        return false;
    if (auto* B = dynamic_cast<TBlobField*>(F); B && !B->OnSetText && !C->CompareAsValue())
        return false;
    if (IsDataSetEmpty())
        return false;
    L->Edit();
    if (!L->Editing())
        return false;
    L->SetLinkModified();
    return true;
}

bool TCustomdxDBTreeListControl::IsEditingReadOnly() {
    return TCustomdxTreeListControl::IsEditingReadOnly() || IsDataSetEmpty() || IsDataReadOnly();
}

bool TCustomdxDBTreeListControl::CanShowEditor() {
    return TCustomdxTreeListControl::CanShowEditor() && FocusedNode() && DataLinkActive();
}

void TCustomdxDBTreeListControl::DoEditing(TdxTreeListNode* Node, bool& Allow) {
    TCustomdxTreeListControl::DoEditing(Node, Allow);
    Allow = Allow && CanEditRecords();
}

void TCustomdxDBTreeListControl::DoNewItemRowEditing(bool& Result) {
    Result = false;
    const int Col = GetFocusedAbsoluteColumn();
    if (Col < 0 || Col >= ColumnCount() || !IsColumnVisible(Col) || !Columns(Col)->CanEdit())
        return;
    TDataSet* D = DataSet();
    if (!D || !D->Active() || !CanAppendRecords() || !CanEditRecords())
        return;
    if (D->State() != dsInsert)
        D->Insert();
    Result = true;
    bool Allow = true;
    TCustomdxTreeListControl::DoEditing(FocusedNode(), Allow);
}

void TCustomdxDBTreeListControl::InsertNewItemRow() {
    bool Result = false;
    DoNewItemRowEditing(Result);
}

void TCustomdxDBTreeListControl::GetEditorValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    TCustomdxTreeListControl::GetEditorValue(Node, Editor, Value);
    FEditStartValue = Value;
}

void TCustomdxDBTreeListControl::ApplyEditorValue(TdxTreeListNode* Node, int Column, Variant& Value,
                                                  TdxInplaceEdit* Editor) {
    const int Absolute = GetVisibleColumn(Column);
    TdxDBTreeListDataLink* L = GetDataLink();
    auto* C = Absolute >= 0 && Absolute < ColumnCount() ? dynamic_cast<TdxDBTreeListColumn*>(Columns(Absolute))
                                                        : nullptr;
    if (Column < 0 || !L || !L->LinkModified()) {
        Value = std::string();
    } else if (C && C->Field() && InDataEditState()) {
        FPendingNodes->Add(Node);
        try {
            C->AssignEditValue(Node, Editor, Value);
            if (FPendingNodes->IndexOf(Node) >= 0) {
                std::string Text, Shown;
                C->GetCellText(Node, Text);
                C->VariantToText(Text, Shown);
                SetNodeString(Node, C->GetDataIndex(), Shown);
                FPendingNodes->Remove(Node);
            }
        } catch (...) {
            FPendingNodes->Remove(Node);
            throw;
        }
        InvalidateNode(Node, false);
    }
    FEditStartValue = Value;
}

void TCustomdxDBTreeListControl::SyncEditorWithField() {
    if (State() != tsEditing)
        return;
    auto* C = dynamic_cast<TdxDBTreeListColumn*>(FocusedColumnObject());
    if (C && !C->FieldValueEquals(FEditStartValue))
        RestartEditor();
}

void TCustomdxDBTreeListControl::SetColumnGroupIndex(TdxDBTreeListColumn* Column, int Index) {
    Column->SetGroupIndexDirect(Index);
}

bool TCustomdxDBTreeListControl::CanEditNewItemRow() {
    TDataSet* D = DataSet();
    return TCustomdxTreeListControl::CanEditNewItemRow() && FocusedNode() && D && D->State() == dsInsert;
}

std::string TCustomdxDBTreeListControl::GetNewItemRowText(int Column) {
    return CanEditNewItemRow() ? GetCellText(FocusedNode(), Column) : std::string();
}

int TCustomdxDBTreeListControl::GetRowTag(TdxTreeListNode* Node, bool Selected) {
    if (Node != FocusedNode())
        return Selected ? 4 : 0;
    TDataSet* D = DataSet();
    if (D && D->State() == dsEdit)
        return 2;
    if (D && D->State() == dsInsert)
        return 3;
    return Selected && IsMultiSelect() ? 5 : 1;
}

bool TCustomdxDBTreeListControl::IsDragScroll() {
    return TCustomdxTreeListControl::IsDragScroll() && !InDataEditState();
}

bool TCustomdxDBTreeListControl::CanScroll() {
    if (CanFocus() && !ComponentState().Contains(csDesigning)) {
        SetFocus();
        return Focused() || (InplaceEditor() && InplaceEditor()->Focused());
    }
    return true;
}

void TCustomdxDBTreeListControl::DoStartDrag(TDragObject*& DragObject) {
    if (InDataEditState())
        DataSet()->Post();
    TCustomdxTreeListControl::DoStartDrag(DragObject);
}

void TCustomdxDBTreeListControl::DoExit() {
    const bool WasExiting = Exiting;
    Exiting = true;
    try {
        TdxDBTreeListDataLink* L = GetDataLink();
        if (L && L->Active()) {
            TDataSet* D = L->DataSet();
            if (D->State() == dsInsert && !D->Modified() && !L->LinkModified() && CancelInsertOnExit())
                D->Cancel();
            else
                L->UpdateRecord();
        }
    } catch (...) {
        Exiting = WasExiting;
        if (CanFocus())
            SetFocus();
        throw;
    }
    Exiting = WasExiting;
    if (IsMultiSelect() && State() == tsEditing && GetSelectedCount() > 0)
        InvalidateSelection();
    TCustomdxTreeListControl::DoExit();
}

// ---------------------------------------------------------------------------------------------
// Incremental search in the data set

bool TCustomdxDBTreeListControl::FindNodeByText(int Column, const std::string& Text, TdxTreeListNode*& Node,
                                                int Direction) {
    if (SearchInNodes())
        return TCustomdxTreeListControl::FindNodeByText(Column, Text, Node, Direction);
    Node = nullptr;
    TDataSource* S = GetDataSource();
    TDataSet* D = S ? S->DataSet() : nullptr;
    if (!D || !D->Active() || InDataEditState() || (D->Bof() && D->Eof()) || Text.empty())
        return false;
    const int Absolute = Column >= 0 && Column < ColumnCount() ? Column : -1;
    auto* C = Absolute >= 0 ? dynamic_cast<TdxDBTreeListColumn*>(Columns(Absolute)) : nullptr;
    TField* F = C ? C->Field() : nullptr;
    if (!F)
        return false;
    const std::string Wanted = AnsiUpperCase(Text);
    auto Matches = [&] { return AnsiUpperCase(F->AsString().substr(0, Text.size())) == Wanted; };
    if (Direction == 0 && Matches())
        return true;
    const TBookmark Start = D->GetBookmark();
    TdxDBTreeListDataLink* L = GetDataLink();
    bool Found = false;
    D->DisableControls();
    try {
        bool Wrapped = false;
        // One full round at most, also where bookmarks cannot tell the start again.
        const int Limit = std::max(D->RecordCount(), 0) + 1;
        auto Step = [&] {
            if (Direction == 1) {
                D->Prior();
                if (D->Bof()) {
                    D->Last();
                    Wrapped = true;
                }
            } else {
                D->Next();
                if (D->Eof()) {
                    D->First();
                    Wrapped = true;
                }
            }
        };
        if (Direction != 0)
            Step();
        for (int Steps = 0; Steps <= Limit && (!D->Eof() || Direction != 0); ++Steps) {
            if (Wrapped && (L && L->Active() ? D->CompareBookmarks(D->GetBookmark(), Start) : -1) == 0)
                break;
            if (Matches()) {
                Found = true;
                break;
            }
            Step();
        }
        if (!Found && D->BookmarkValid(Start))
            D->GotoBookmark(Start);
    } catch (...) {
        D->EnableControls();
        throw;
    }
    D->EnableControls();
    return Found;
}

// ---------------------------------------------------------------------------------------------
// Unit start-up

namespace {
inline constexpr TResStringRec SConfirm = ResString("Confirm");
inline constexpr TResStringRec SDeleteRecord = ResString("Delete record?");
inline constexpr TResStringRec SDeleteSelected = ResString("Delete all selected records?");
std::string ConfirmCaption, DeleteRecordQuestion, DeleteSelectedQuestion;
int StartCount = 0;
}  // namespace

std::string dxDBCtrlConfirmCaption() { return ConfirmCaption; }
std::string dxDBCtrlDeleteRecordQuestion() { return DeleteRecordQuestion; }
std::string dxDBCtrlDeleteSelectedQuestion() { return DeleteSelectedQuestion; }

void dxDBCtrlInitialization() {
    if (StartCount++ > 0)
        return;
    RegisterClasses({TdxDBTreeListColumn::StaticClass(), TdxDBTreeListMaskColumn::StaticClass()});
    ConfirmCaption = LoadResString(SConfirm);
    DeleteRecordQuestion = LoadResString(SDeleteRecord);
    DeleteSelectedQuestion = LoadResString(SDeleteSelected);
}

void dxDBCtrlFinalization() {
    if (--StartCount > 0)
        return;
    ConfirmCaption.clear();
    DeleteRecordQuestion.clear();
    DeleteSelectedQuestion.clear();
}
