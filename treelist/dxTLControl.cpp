// The column-based tree list: bands from its collection, columns attached to it, text nodes,
// one editor per editor class; and the unit's start-up work.
#include "dxTL.h"

#include "Forms.h"
#include "dxDrawUtils.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

TCustomdxTreeListControl::TCustomdxTreeListControl(TComponent* AOwner) : TCustomdxTreeList(AOwner) {
    FBands = Create<TdxTreeListBands>(this);
    FBands->BeginUpdate();
    FBands->Add();
    FBands->EndUpdate();
    FDefaultLayout = true;
}

TCustomdxTreeListControl::~TCustomdxTreeListControl() = default;

void TCustomdxTreeListControl::BeforeDestruction() {
    if (!ComponentState().Contains(csDesigning))
        SaveStoredLayout();
    TCustomdxTreeList::BeforeDestruction();
    for (TdxTreeListColumn* C : FColumns)
        C->SetTreeListDirect(nullptr);
    FColumns.clear();
    FSortList.clear();
    FBands->Free();
    FBands = nullptr;
}

void TCustomdxTreeListControl::DefineClass(TClassBuilder<TCustomdxTreeListControl>& B) {
    B.template Message<&TCustomdxTreeListControl::CMFontChanged>(CM_FONTCHANGED);
    B.template Message<&TCustomdxTreeListControl::CMCursorChanged>(CM_CURSORCHANGED);
    B.Property("Bands", &TCustomdxTreeListControl::Bands, &TCustomdxTreeListControl::SetBands);
    B.Property("BandRowCount", &TCustomdxTreeListControl::BandRowCount, &TCustomdxTreeListControl::SetBandRowCountValue)
        .Default(1);
    B.Property("BandMaxRowCount", [](TCustomdxTreeListControl* T) { return T->BandMaxRowCount; },
               &TCustomdxTreeListControl::SetBandMaxRowCount)
        .Default(5);
    B.Property("HeaderMinRowCount", [](TCustomdxTreeListControl* T) { return T->HeaderMinRowCount; },
               &TCustomdxTreeListControl::SetHeaderMinRowCount)
        .Default(1);
    B.Property("HeaderPanelMaxRowCount", [](TCustomdxTreeListControl* T) { return T->HeaderPanelMaxRowCount; },
               &TCustomdxTreeListControl::SetHeaderPanelMaxRowCount)
        .Default(5);
    // An automatic count is not written: the columns give it.
    B.Property("HeaderPanelRowCount", &TCustomdxTreeListControl::HeaderPanelRowCountValue,
               &TCustomdxTreeListControl::SetHeaderPanelRowCountValue)
        .Stored(&TCustomdxTreeListControl::IsHeaderPanelRowCountStored);
    B.Property("DefaultLayout", &TCustomdxTreeListControl::DefaultLayout, &TCustomdxTreeListControl::SetDefaultLayout)
        .Default(true);
    B.Property("ShowBands", &TCustomdxTreeList::ShowBands, &TCustomdxTreeList::SetShowBands).Default(false);
    B.Property("ShowGrid", &TCustomdxTreeList::ShowGrid, &TCustomdxTreeList::SetShowGrid).Default(false);
    B.Property("IniFileName", [](TCustomdxTreeListControl* T) { return T->IniFileName; },
               [](TCustomdxTreeListControl* T, const std::string& V) { T->IniFileName = V; });
    B.Property("IniSectionName", [](TCustomdxTreeListControl* T) { return T->IniSectionName; },
               [](TCustomdxTreeListControl* T, const std::string& V) { T->IniSectionName = V; });
    B.Property("RegistryPath", [](TCustomdxTreeListControl* T) { return T->RegistryPath; },
               [](TCustomdxTreeListControl* T, const std::string& V) { T->RegistryPath = V; });
}

// ---------------------------------------------------------------------------------------------
// Columns

int TCustomdxTreeListControl::IndexOfColumn(TdxTreeListColumn* Column) const {
    auto I = std::find(FColumns.begin(), FColumns.end(), Column);
    return I == FColumns.end() ? -1 : static_cast<int>(I - FColumns.begin());
}

TdxTreeListColumn* TCustomdxTreeListControl::CreateColumn(TdxTreeListColumnClass ColumnClass, TComponent* Owner) {
    TdxTreeListColumn* C = ColumnClass.Create(Owner ? Owner : this->Owner());
    // A name that is taken or invalid is skipped for the next number.
    for (int N = ColumnCount() + 1;; ++N) {
        try {
            C->SetName(Name() + "Column" + std::to_string(N));
            break;
        } catch (const Exception&) {
            if (N > ColumnCount() + 10000)
                break;
        }
    }
    C->SetTreeList(this);
    return C;
}

void TCustomdxTreeListControl::AddColumn(TdxTreeListColumn* Column) {
    ClearLayoutLists();
    FColumns.push_back(Column);
    Column->SetTreeListDirect(this);
    Column->FreeNotification(this);
    if (Column->Sorted() != csNone)
        AddSortedColumn(Column);
    ColumnChanged(nullptr);
}

void TCustomdxTreeListControl::RemoveColumn(TdxTreeListColumn* Column) {
    ClearLayoutLists();
    Column->SetTreeListDirect(nullptr);
    FColumns.erase(std::remove(FColumns.begin(), FColumns.end(), Column), FColumns.end());
    RemoveSortedColumn(Column);
    if (!IsDestroying())
        ColumnChanged(nullptr);
}

void TCustomdxTreeListControl::MoveColumnInList(TdxTreeListColumn* Column, int Index) {
    ClearLayoutLists();
    FColumns.erase(std::remove(FColumns.begin(), FColumns.end(), Column), FColumns.end());
    FColumns.insert(FColumns.begin() + Index, Column);
}

void TCustomdxTreeListControl::DestroyColumns() {
    while (!FColumns.empty()) {
        TdxTreeListColumn* C = FColumns.back();
        RemoveColumn(C);
        C->Free();
    }
}

void TCustomdxTreeListControl::AssignColumns(TCustomdxTreeListControl* Source) {
    InTreeListUpdate(this, [&] {
        TComponent* Owner = FColumns.empty() ? this : FColumns.front()->Owner();
        DestroyColumns();
        for (int I = 0; Source && I < Source->ColumnCount(); ++I) {
            TdxTreeListColumn* From = Source->Columns(I);
            TdxTreeListColumn* C = CreateColumn(TdxTreeListColumnClass(From->ClassType()), Owner);
            C->Assign(From);
            C->SetName(From->Name());
        }
    });
}

void TCustomdxTreeListControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomdxTreeList::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (auto* C = dynamic_cast<TdxTreeListColumn*>(AComponent); C && IndexOfColumn(C) >= 0) {
        if (!IsDestroying())
            ForEachNode([this, C](TdxTreeListNode* N) { DeleteNodeValue(N, IndexOfColumn(C)); });
        RemoveColumn(C);
    }
    FEditors.erase(std::remove(FEditors.begin(), FEditors.end(), AComponent), FEditors.end());
    if (AComponent == FCustomizeForm)
        CustomizeFormDestroyed();
}

void TCustomdxTreeListControl::ColumnChanged(TdxTreeListColumn* Column) {
    ClearLayoutLists();
    if (ComponentState().Contains(csLoading) || IsDestroying())
        return;
    (void)Column;
    if (HeaderRowLock == 0)
        NormalizeHeaderRows();
    ClearRowCache();
    LayoutChanged();
    Invalidate();
}

void TCustomdxTreeListControl::MoveNodeStrings(int From, int To) {
    ForEachNode([From, To](TdxTreeListNode* N) {
        TStringList* S = static_cast<TdxTreeListTextNode*>(N)->Texts();
        while (S->Count() <= std::max(From, To))
            S->Add(std::string());
        const std::string Text = S->Strings(From);
        TObject* Obj = S->Objects(From);
        S->Delete(From);
        S->InsertObject(To, Text, Obj);
    });
}

void TCustomdxTreeListControl::NormalizeHeaderRows() {
    ClearRowCache();
    const int Rows = FHeaderPanelRowCount;
    for (TdxTreeListColumn* C : FColumns)
        if (C->StoredRowIndex() > Rows - 1)
            C->SetRowIndexDirect(Rows - 1, Rows - 1);
    // Rows without a visible column close up, band by band.
    for (int B = 0; B < FBands->Count(); ++B) {
        for (int R = Rows - 1; R >= 0; --R) {
            bool Used = false;
            for (TdxTreeListColumn* C : FColumns)
                Used = Used || (C->Visible() && C->BandIndex() == B && C->RowIndex() == R);
            if (Used)
                continue;
            for (TdxTreeListColumn* C : FColumns)
                if (C->Visible() && C->BandIndex() == B && C->RowIndex() > R)
                    C->SetRowIndexDirect(C->RowIndex() - 1, C->StoredRowIndex() - 1);
        }
        std::set<int> UsedRows;
        for (TdxTreeListColumn* C : FColumns)
            if (C->Visible() && C->BandIndex() == B)
                UsedRows.insert(C->RowIndex());
        const int U = static_cast<int>(UsedRows.size());
        for (TdxTreeListColumn* C : FColumns)
            if (C->BandIndex() == B && C->RowIndex() >= U)
                C->SetRowIndexDirect(std::max(U - 1, 0), std::max(U - 1, 0));
    }
    if (IsAutoHeaderPanelRowCount() && !FUpdatingHeaderRows)
        DeriveHeaderPanelRowCount();
    ClearLayoutLists();
    if (LockCount() == 0 && !IsDestroying())
        BuildRowCache();
}

TdxTreeListColumn* TCustomdxTreeListControl::FocusedColumnObject() {
    const int C = GetFocusedAbsoluteColumn();
    return C >= 0 && C < ColumnCount() ? Columns(C) : nullptr;
}

int TCustomdxTreeListControl::VisibleBandColumnCount(int BandIndex, int Row) {
    int N = 0;
    for (TdxTreeListColumn* C : FColumns)
        N += C->Visible() && C->BandIndex() == BandIndex && C->RowIndex() == Row;
    return N;
}

std::vector<int> TCustomdxTreeListControl::RowColumns(int Band, int Row) {
    std::vector<int> R;
    if (Band < 0 || Row < 0)
        return R;
    const int Index = GetBandIndexOfVisible(Band);
    for (int I = 0; I < ColumnCount(); ++I)
        if (IsColumnVisible(I) && FColumns[static_cast<size_t>(I)]->BandIndex() == Index &&
            FColumns[static_cast<size_t>(I)]->RowIndex() == Row)
            R.push_back(I);
    return R;
}

bool TCustomdxTreeListControl::IsColumnVisible(int C) {
    TdxTreeListColumn* Col = Columns(C);
    return Col->Visible() && Col->BandIndex() >= 0 && Col->BandIndex() < FBands->Count() &&
           FBands->Items(Col->BandIndex())->Visible();
}

int TCustomdxTreeListControl::GetColumnAt(int Band, int Row, int Col) {
    if (UseGrid()) {
        if (Band < 0 || Row < 0 || Col < 0 || Band >= static_cast<int>(FColumnGrid.size()))
            return -1;
        const auto& Rows = FColumnGrid[static_cast<size_t>(Band)];
        if (Row >= static_cast<int>(Rows.size()) || Col >= static_cast<int>(Rows[static_cast<size_t>(Row)].size()))
            return -1;
        return Rows[static_cast<size_t>(Row)][static_cast<size_t>(Col)];
    }
    const std::vector<int> R = RowColumns(Band, Row);
    return Col >= 0 && Col < static_cast<int>(R.size()) ? R[static_cast<size_t>(Col)] : -1;
}

int TCustomdxTreeListControl::GetColumnCountInRow(int Band, int Row) {
    if (Band < 0 || Row < 0)
        return 0;
    if (UseGrid()) {
        if (Band >= static_cast<int>(FColumnGrid.size()))
            return 0;
        const auto& Rows = FColumnGrid[static_cast<size_t>(Band)];
        return Row < static_cast<int>(Rows.size()) ? static_cast<int>(Rows[static_cast<size_t>(Row)].size()) : 0;
    }
    return static_cast<int>(RowColumns(Band, Row).size());
}

int TCustomdxTreeListControl::GetBandRowCount(int Band) {
    if (Band < 0)
        return 0;
    if (UseGrid()) {
        if (Band >= static_cast<int>(FColumnGrid.size()))
            return 0;
        const auto& Rows = FColumnGrid[static_cast<size_t>(Band)];
        return static_cast<int>(
            std::count_if(Rows.begin(), Rows.end(), [](const std::vector<int>& R) { return !R.empty(); }));
    }
    const int Index = FBands->GetAbsoluteIndex(Band);
    std::set<int> Rows;
    for (int I = 0; I < ColumnCount(); ++I)
        if (IsColumnVisible(I) && FColumns[static_cast<size_t>(I)]->BandIndex() == Index)
            Rows.insert(FColumns[static_cast<size_t>(I)]->RowIndex());
    return static_cast<int>(Rows.size());
}

// ---------------------------------------------------------------------------------------------
// Layout lists

int TCustomdxTreeListControl::GetBandIndexOfVisible(int Index) {
    if (UseBandLists())
        return Index >= 0 && Index < static_cast<int>(FBandVisibleToIndex.size())
                   ? FBandVisibleToIndex[static_cast<size_t>(Index)]
                   : -1;
    return FBands->GetAbsoluteIndex(Index);
}

int TCustomdxTreeListControl::GetVisibleBandIndex(int Index) {
    if (UseBandLists())
        return Index >= 0 && Index < static_cast<int>(FBandIndexToVisible.size())
                   ? FBandIndexToVisible[static_cast<size_t>(Index)]
                   : -1;
    return FBands->GetVisibleIndex(Index);
}

void TCustomdxTreeListControl::RebuildLayoutLists(bool) {
    if (!FBands || IsDestroying())
        return;
    FRebuildingBands = true;
    FBandVisibleToIndex.clear();
    FBandIndexToVisible.assign(static_cast<size_t>(FBands->Count()), -1);
    for (int I = 0; I < FBands->Count(); ++I)
        if (FBands->Items(I)->Visible()) {
            FBandIndexToVisible[static_cast<size_t>(I)] = static_cast<int>(FBandVisibleToIndex.size());
            FBandVisibleToIndex.push_back(I);
        }
    FRebuildingBands = false;
    FBandListsBuilt = true;

    FRebuildingGrid = true;
    FColumnGrid.clear();
    struct Entry {
        int Band, Row, Index;
    };
    std::vector<Entry> Entries;
    for (int I = 0; I < ColumnCount(); ++I)
        if (IsColumnVisible(I))
            Entries.push_back(Entry{FBandIndexToVisible[static_cast<size_t>(Columns(I)->BandIndex())],
                                    Columns(I)->RowIndex(), I});
    std::sort(Entries.begin(), Entries.end(), [](const Entry& A, const Entry& B) {
        return std::tie(A.Band, A.Row, A.Index) < std::tie(B.Band, B.Row, B.Index);
    });
    // A visible band without visible columns gets an empty entry when a later band needs the slot.
    for (const Entry& E : Entries) {
        if (static_cast<int>(FColumnGrid.size()) <= E.Band)
            FColumnGrid.resize(static_cast<size_t>(E.Band) + 1);
        auto& Rows = FColumnGrid[static_cast<size_t>(E.Band)];
        if (static_cast<int>(Rows.size()) <= E.Row)
            Rows.resize(static_cast<size_t>(E.Row) + 1);
        Rows[static_cast<size_t>(E.Row)].push_back(E.Index);
    }
    FRebuildingGrid = false;
    FGridBuilt = true;
    ClearCachedWidths();
}

void TCustomdxTreeListControl::ClearLayoutWidths() {
    FRebuildingWidths = true;
    try {
        std::vector<int> Widths(static_cast<size_t>(ColumnCount()), 0);
        for (int I = 0; I < ColumnCount(); ++I)
            if (IsColumnVisible(I))
                Widths[static_cast<size_t>(I)] = TCustomdxTreeList::GetColumnDisplayWidth(I);
        FColumnWidths = std::move(Widths);
    } catch (...) {
        FRebuildingWidths = false;
        throw;
    }
    FRebuildingWidths = false;
    FWidthsClientWidth = ClientWidth();
    FWidthsExtra = GetFirstBandExtraWidth();
    FWidthsBuilt = true;
}

void TCustomdxTreeListControl::ClearCachedWidths() {
    FWidthsBuilt = false;
    FColumnWidths.clear();
}

void TCustomdxTreeListControl::ClearLayoutLists() {
    FBandListsBuilt = FGridBuilt = false;
    FBandVisibleToIndex.clear();
    FBandIndexToVisible.clear();
    FColumnGrid.clear();
    ClearCachedWidths();
}

void TCustomdxTreeListControl::ClearRowCache() {
    ClearLayoutLists();
    TCustomdxTreeList::ClearRowCache();
}

void TCustomdxTreeListControl::ResetRowHeights() {
    ClearCachedWidths();
    TCustomdxTreeList::ResetRowHeights();
}

int TCustomdxTreeListControl::GetColumnDisplayWidth(int Column) {
    if (FRebuildingWidths || !UseGrid() || !UseBandLists())
        return TCustomdxTreeList::GetColumnDisplayWidth(Column);
    // A width or an indent that changed without a re-layout makes the widths stale.
    if (FWidthsBuilt && (FWidthsClientWidth != ClientWidth() || FWidthsExtra != GetFirstBandExtraWidth()))
        ClearCachedWidths();
    if (!FWidthsBuilt && LockCount() == 0)
        ClearLayoutWidths();
    if (FWidthsBuilt && Column >= 0 && Column < static_cast<int>(FColumnWidths.size()) && IsColumnVisible(Column))
        return FColumnWidths[static_cast<size_t>(Column)];
    return TCustomdxTreeList::GetColumnDisplayWidth(Column);
}

int TCustomdxTreeListControl::GetLeftFixedBand() {
    return FBands->VisibleCount() > 0 && VisibleBand(0)->Fixed() == bfLeft ? 0 : -1;
}

int TCustomdxTreeListControl::GetRightFixedBand() {
    const int N = FBands->VisibleCount();
    return N > 0 && VisibleBand(N - 1)->Fixed() == bfRight ? N - 1 : -1;
}

std::string TCustomdxTreeListControl::GetCellText(TdxTreeListNode* Node, int C) {
    std::string S;
    if (Node)
        GetNodeString(Node, C, S);
    return S;
}

void TCustomdxTreeListControl::SetBandWidth(int Band, int Width) {
    if (Band >= 0 && Band < FBands->VisibleCount())
        VisibleBand(Band)->SetWidth(Width);
}

void TCustomdxTreeListControl::SetColumnWidth(int C, int Width) {
    if (Columns(C)->Sizing()) {
        Columns(C)->StoreWidth(Width);
        ClearCachedWidths();
    }
}

void TCustomdxTreeListControl::ScaleHiddenBandWidths(int N, int D) {
    BeginUpdate();
    try {
        for (int I = 0; I < FBands->Count(); ++I)
            if (TdxTreeListBand* B = FBands->Items(I); !B->Visible() && B->Sizing())
                B->SetWidth(MulDiv(B->Width(), N, D));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomdxTreeListControl::ScaleBandColumnWidths(int Band, int N, int D) {
    const int Index = FBands->GetAbsoluteIndex(Band);
    BeginUpdate();
    try {
        for (TdxTreeListColumn* C : FColumns)
            if (C->BandIndex() == Index && !C->Visible() && C->Sizing())
                C->SetWidth(MulDiv(C->Width(), N, D));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomdxTreeListControl::SetBandRowCountValue(int Value) {
    Value = std::clamp(Value, 1, std::max(BandMaxRowCount, 1));
    if (Value == FBandRowCount)
        return;
    FBandRowCount = Value;
    BandsChanged();
}

void TCustomdxTreeListControl::SetHeaderPanelRowCountValue(int Value) {
    ClearLayoutLists();
    Value = std::clamp(Value, 1, std::max(HeaderPanelMaxRowCount, 1));
    if (Value == FHeaderPanelRowCount)
        return;
    // A count set from outside ends the automatic count.
    if (!FUpdatingHeaderRows)
        DisableAutoHeaderRows();
    FHeaderPanelRowCount = Value;
    if (Value > 1)
        FDefaultLayout = false;
    if (!ComponentState().Contains(csLoading))
        NormalizeHeaderRows();
    HeaderRowsChanged();
}

void TCustomdxTreeListControl::DisableAutoHeaderRows() {
    if (IsAutoHeaderPanelRowCount())
        SetOptionsEx(OptionsEx() - TdxTreeListOptionsEx{txAutoHeaderPanelRowCount});
}

void TCustomdxTreeListControl::DeriveHeaderPanelRowCount() {
    int Stored = -1;
    for (int I = 0; I < ColumnCount(); ++I)
        if (IsColumnVisible(I))
            Stored = std::max(Stored, Columns(I)->StoredRowIndex());
    if (Stored >= 0)
        SetHeaderRowsKeepingAuto(Stored + 1);
}

// A count that is not the user's: the automatic count stays on.
void TCustomdxTreeListControl::SetHeaderRowsKeepingAuto(int Value) {
    FUpdatingHeaderRows = true;
    try {
        SetHeaderPanelRowCountValue(Value);
    } catch (...) {
        FUpdatingHeaderRows = false;
        throw;
    }
    FUpdatingHeaderRows = false;
}

void TCustomdxTreeListControl::BandsChanged() {
    if (IsAutoHeaderPanelRowCount() && !FUpdatingHeaderRows)
        InTreeListUpdate(this, [this] { DeriveHeaderPanelRowCount(); });
    else
        LayoutChanged();
}

void TCustomdxTreeListControl::SetBandMaxRowCount(int Value) {
    BandMaxRowCount = std::max(Value, 1);
    SetBandRowCountValue(FBandRowCount);
}

void TCustomdxTreeListControl::SetHeaderPanelMaxRowCount(int Value) {
    HeaderPanelMaxRowCount = std::max(Value, 1);
    SetHeaderRowsKeepingAuto(FHeaderPanelRowCount);
}

void TCustomdxTreeListControl::SetHeaderMinRowCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == HeaderMinRowCount)
        return;
    HeaderMinRowCount = Value;
    HeaderRowsChanged();
}

void TCustomdxTreeListControl::SyncColumnWidths() {
    for (TdxTreeListColumn* C : FColumns)
        C->SyncWidth();
}

void TCustomdxTreeListControl::SetDefaultLayout(bool Value) {
    FDefaultLayout = Value;
    if (!Value || ComponentState().Contains(csLoading))
        return;
    ResetToDefaultLayout();
}

void TCustomdxTreeListControl::ResetToDefaultLayout() {
    BeginUpdate();
    try {
        SetShowBands(false);
        FHeaderPanelRowCount = 1;
        while (FBands->Count() > 1)
            FBands->Items(FBands->Count() - 1)->Free();
        if (FBands->Count() == 0)
            FBands->Add();
        FBands->Items(0)->SetVisible(true);
        for (TdxTreeListColumn* C : FColumns)
            C->SetBandIndex(0);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    FDefaultLayout = true;
}

// ---------------------------------------------------------------------------------------------
// Bands

void TCustomdxTreeListControl::RemapColumnBands(const std::function<int(int)>& Map) {
    ClearLayoutLists();
    for (TdxTreeListColumn* C : FColumns)
        C->SetBandIndexDirect(Map(C->BandIndex()));
}

// ---------------------------------------------------------------------------------------------
// Sorting

void TCustomdxTreeListControl::AddSortedColumn(TdxTreeListColumn* Column) {
    if (Column->Sorted() != csNone && std::find(FSortList.begin(), FSortList.end(), Column) == FSortList.end())
        FSortList.push_back(Column);
}

void TCustomdxTreeListControl::RemoveSortedColumn(TdxTreeListColumn* Column) {
    FSortList.erase(std::remove(FSortList.begin(), FSortList.end(), Column), FSortList.end());
}

void TCustomdxTreeListControl::SortedColumnChanged(TdxTreeListColumn* Column) {
    AddSortedColumn(Column);
    FSortPending = true;
}

void TCustomdxTreeListControl::UnlockSort() {
    if (--FSortLock == 0)
        SortingChanged();
}

void TCustomdxTreeListControl::GetNodeSortValue(TdxTreeListNode* Node, int Column, Variant& Value) {
    std::string S;
    GetNodeString(Node, Column, S);
    Value = S;
}

void TCustomdxTreeListControl::SortByColumns() {
    if (FSortList.empty() || FSorting || ComponentState().Contains(csLoading))
        return;
    if (LockCount() > 0) {
        FSortPending = true;
        return;
    }
    FSortPending = false;
    // The column sorted last decides unless several columns sort together (txMultiSort).
    TdxTreeListColumn* C = FSortList.back();
    FSorting = true;
    try {
        SortNodes(-1, C->GetDataIndex(), C->Sorted() == csDown);
    } catch (...) {
        FSorting = false;
        throw;
    }
    FSorting = false;
    ClearRowCache();
    LayoutChanged();
    Invalidate();
}

void TCustomdxTreeListControl::NodeValueChanged(TdxTreeListNode* Node, int Column) {
    if (FSortList.empty() || FSorting || !Node || Node->Deleting || ComponentState().Contains(csLoading) ||
        IsDestroying())
        return;
    if (std::none_of(FSortList.begin(), FSortList.end(),
                     [Column](TdxTreeListColumn* C) { return C->GetDataIndex() == Column; }) &&
        !OnCompareNodes)
        return;
    if (LockCount() > 0) {
        FSortPending = true;
        return;
    }
    // The same order as a whole sort: the column sorted last decides.
    TdxTreeListColumn* C = FSortList.back();
    if (PlaceNodeInSortedList(Node, C->GetDataIndex(), C->Sorted() == csDown))
        Invalidate();
}

void TCustomdxTreeListControl::LayoutChanged() {
    if (FSortPending && LockCount() == 0 && !FSorting) {
        SortByColumns();
        return;
    }
    TCustomdxTreeList::LayoutChanged();
}

void TCustomdxTreeListControl::RebuildSortList() {
    FSortList.clear();
    for (TdxTreeListColumn* C : FColumns)
        AddSortedColumn(C);
    std::stable_sort(FSortList.begin(), FSortList.end(), [](TdxTreeListColumn* A, TdxTreeListColumn* B) {
        return A->PendingSortOrder < B->PendingSortOrder;
    });
}

// ---------------------------------------------------------------------------------------------
// Nodes

namespace {
TdxTreeListTextNode* AsText(TdxTreeListNode* Node) { return static_cast<TdxTreeListTextNode*>(Node); }
}  // namespace


void TCustomdxTreeListControl::SetNodeImageIndex(TdxTreeListNode* Node, int Value) {
    if (Value != GetNodeImageIndex(Node)) {
        AsText(Node)->FImageIndex = Value;
        InvalidateNode(Node, false);
    }
}

void TCustomdxTreeListControl::SetNodeSelectedIndex(TdxTreeListNode* Node, int Value) {
    if (Value != GetNodeSelectedIndex(Node)) {
        AsText(Node)->FSelectedIndex = Value;
        InvalidateNode(Node, false);
    }
}

void TCustomdxTreeListControl::SetNodeStateIndex(TdxTreeListNode* Node, int Value) {
    if (Value != GetNodeStateIndex(Node)) {
        AsText(Node)->FStateIndex = Value;
        InvalidateNode(Node, false);
    }
}

void TCustomdxTreeListControl::GetNodeString(TdxTreeListNode* Node, int Column, std::string& S) {
    TStringList* L = AsText(Node)->Texts();
    S = Column >= 0 && Column < L->Count() ? L->Strings(Column) : std::string();
}

void TCustomdxTreeListControl::GetNodeValue(TdxTreeListNode* Node, int Column, Variant& Value) {
    std::string S;
    GetNodeString(Node, Column, S);
    Value = S;
}

void TCustomdxTreeListControl::SetNodeString(TdxTreeListNode* Node, int Column, const std::string& S) {
    if (Column < 0)
        return;
    TStringList* L = AsText(Node)->Texts();
    while (L->Count() <= Column)
        L->Add(std::string());
    L->SetStrings(Column, S);
}

void TCustomdxTreeListControl::SetNodeValue(TdxTreeListNode* Node, int Column, const Variant& Value) {
    SetNodeString(Node, Column, Value.AsString());
    if (LockCount() == 0)
        InvalidateNode(Node, false);
}

// ---------------------------------------------------------------------------------------------
// Editing

TdxInplaceEdit* TCustomdxTreeListControl::FindEditor(int) {
    TdxTreeListColumn* C = FocusedColumnObject();
    if (!C)
        return nullptr;
    const TClass K = C->GetEditorClass();
    for (TdxInplaceEdit* E : FEditors)
        if (E->ClassType() == K)
            return E;
    return nullptr;
}

TdxInplaceEdit* TCustomdxTreeListControl::CreateEditor(int Column) {
    TdxTreeListColumn* C = FocusedColumnObject();
    if (!C)
        return TCustomdxTreeList::CreateEditor(Column);
    TdxInplaceEdit* E = C->GetEditorClass().Create(this);
    FEditors.push_back(E);
    return E;
}

void TCustomdxTreeListControl::InitEditor(TdxInplaceEdit* Editor) {
    TCustomdxTreeList::InitEditor(Editor);
    if (TdxTreeListColumn* C = FocusedColumnObject())
        C->InitEditProperties(Editor);
}

void TCustomdxTreeListControl::GetEditorValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    if (TdxTreeListColumn* C = FocusedColumnObject())
        C->InitEditValue(Node, Editor, Value);
    else
        TCustomdxTreeList::GetEditorValue(Node, Editor, Value);
}

void TCustomdxTreeListControl::ApplyEditorValue(TdxTreeListNode* Node, int Column, Variant& Value,
                                                TdxInplaceEdit* Editor) {
    const int Absolute = GetVisibleColumn(Column);
    if (Absolute >= 0 && Absolute < ColumnCount()) {
        Columns(Absolute)->AssignEditValue(Node, Editor, Value);
        InvalidateNode(Node, false);
        NodeValueChanged(Node, Columns(Absolute)->GetDataIndex());
    } else {
        TCustomdxTreeList::ApplyEditorValue(Node, Column, Value, Editor);
    }
}

void TCustomdxTreeListControl::DoEditing(TdxTreeListNode* Node, bool& Allow) {
    TCustomdxTreeList::DoEditing(Node, Allow);
    if (Allow)
        if (TdxTreeListColumn* C = FocusedColumnObject())
            Allow = C->CanEdit();
}

bool TCustomdxTreeListControl::CanEditorModify() {
    TdxTreeListColumn* C = FocusedColumnObject();
    return C && !C->ReadOnly();
}

// ---------------------------------------------------------------------------------------------
// Best fit

void TCustomdxTreeListControl::ApplyBestFit(TdxTreeListColumn* Column) {
    TOwned<TBitmap> Measure(Create<TBitmap>());
    TCanvas* Canvas = Measure->Canvas();
    Canvas->Font()->Assign(Font());
    const int Margin = Canvas->TextWidth("0") / 2 + 1;
    const int FirstBand = GetVisibleBandCount() > 0 ? GetBandIndexOfVisible(0) : -1;
    auto Fit = [&](TdxTreeListColumn* C) {
        // The tree's column also holds the indents and images of the nodes.
        const bool TreeColumn = C->Visible() && C->BandIndex() == FirstBand && C->ColIndex() == 0;
        Canvas->Font()->Assign(C->IsFontAssigned() ? C->Font() : Font());
        int Max = 0;
        ForEachNode([&](TdxTreeListNode* Node) {
            if (IsWholeRowNode(Node))
                return;
            int W = C->GetBestFitWidth(Canvas, Node);
            if (TreeColumn) {
                W += (Node->Level() + (ShowRoot() && !GridStyle() ? 1 : 0)) * Indent() - GetFirstBandExtraWidth();
                if (GetNodeStateIndex(Node) != -1)
                    W += StateImageWidth();
                if (GetNodeImageIndex(Node) != -1 || GetNodeSelectedIndex(Node) != -1)
                    W += ImageWidth();
            }
            Max = std::max(Max, W);
        });
        Canvas->Font()->Assign(HeaderFont());
        Max = std::max(Max, Canvas->TextWidth(C->Caption()) + (C->DisableFilter ? 0 : 15));
        if (C->Sizing())
            C->SetWidth(Max + 2 * Margin);
    };
    if (Column) {
        Fit(Column);
        return;
    }
    BeginUpdate();
    try {
        for (TdxTreeListColumn* C : FColumns)
            Fit(C);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomdxTreeListControl::BandEdgeDblClick(int Band) {
    BeginUpdate();
    try {
        for (int Row = 0; Row < GetBandRowCount(Band); ++Row)
            for (int Col = 0; Col < GetColumnCountInRow(Band, Row); ++Col)
                ApplyBestFit(Columns(GetColumnAt(Band, Row, Col)));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    DoSizingEnded();
}

void TCustomdxTreeListControl::ColumnEdgeDblClick(int Column) {
    if (Column < 0 || Column >= ColumnCount())
        return;
    ApplyBestFit(Columns(Column));
    DoSizingEnded();
}

// ---------------------------------------------------------------------------------------------
// Painting through the columns' editor classes

namespace {
// Hands a column the node it paints or measures, and takes it back also when painting raises.
struct NodeInWorkScope {
    TdxTreeListColumn* Column;
    NodeInWorkScope(TdxTreeListColumn* C, TdxTreeListNode* Node) : Column(C) { C->NodeInWork = Node; }
    ~NodeInWorkScope() { Column->NodeInWork = nullptr; }
};

HDC MeasureDC = nullptr;
}  // namespace

void TCustomdxTreeListControl::GetCellViewBounds(const TRect& Rect, TRect& Bounds) {
    Bounds = TRect{Rect.Left - 2, Rect.Top - 2, Rect.Right + 2, Rect.Bottom + 2};
}

void TCustomdxTreeListControl::DrawCellViewData(HDC DC, const TRect& Rect, const TdxTreeListCellViewData& Cell,
                                                int Column) {
    if (Column < 0 || Column >= ColumnCount()) {
        TCustomdxTreeList::DrawCellViewData(DC, Rect, Cell, Column);
        return;
    }
    TdxTreeListColumn* C = Columns(Column);
    NodeInWorkScope Scope(C, Cell.Node);
    TdxEditViewData* V = C->ViewData();
    C->PrepareViewData(V, Cell);
    GetCellViewBounds(Rect, V->Bounds);
    C->GetEditorClass()->Draw(DC, Rect, nullptr, V);
}

bool TCustomdxTreeListControl::CalcCellTextHeight(TdxTreeListNode* Node, int Column, int& Height, int& LineCount,
                                                  bool GridLines, bool FocusCellUnhighlighted, int MaxLineCount,
                                                  int TextHeight, int Width, const std::string& Text) {
    if (Column < 0 || Column >= ColumnCount())
        return false;
    TdxTreeListColumn* C = Columns(Column);
    bool Done = false;
    OnCalcCellHeight(this, Node, C, Text, Width, TextHeight, MaxLineCount, FocusCellUnhighlighted, GridLines,
                     LineCount, Height, Done);
    if (Done)
        return true;
    TdxTreeListCellViewData& Cell = CellViewData();
    Cell = TdxTreeListCellViewData();
    Cell.Brush = Brush()->Handle();
    Cell.Font = (ColumnHasOwnFont(Column) ? GetColumnFont(Column) : Font())->Handle();
    Cell.Alignment = C->Alignment();
    Cell.Text = Text;
    Cell.MultiLine = true;
    Cell.Node = Node;
    Cell.HighlightColor = HighlightColor;
    Cell.Hot = IsHotCell(Node, Column);
    Cell.Bounds = TRect{-2, -2, Width + 2, TextHeight + 2};
    NodeInWorkScope Scope(C, Node);
    TdxEditViewData* V = C->ViewData();
    C->PrepareViewData(V, Cell);
    GetCellViewBounds(TRect{0, 0, Width, TextHeight}, V->Bounds);
    ViewInfo Info;
    C->GetEditorClass()->CalcViewInfo(V, false, Info);
    V->MeasureOnly = true;
    V->LineCount = 0;
    if (!MeasureDC)
        MeasureDC = GetDC(nullptr);
    if (C->GetEditorClass()->DrawClient(MeasureDC, Info.ClientBounds, false, V)) {
        Height = V->TextHeight;
        LineCount = V->LineCount;
        if (MaxLineCount != -1 && LineCount > MaxLineCount) {
            LineCount = MaxLineCount;
            Height = V->LineHeight * MaxLineCount;
        }
    } else {
        LineCount = 1;
    }
    V->MeasureOnly = false;
    Height = AddTextMargin(Height);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Streaming and life

void TCustomdxTreeListControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    TCustomdxTreeList::GetChildren(Proc, Root);
    for (TdxTreeListColumn* C : FColumns)
        if (C->Owner() == Root)
            Proc(C);
}

void TCustomdxTreeListControl::SetChildOrder(TComponent* Child, int Order) {
    if (auto* C = dynamic_cast<TdxTreeListColumn*>(Child); C && IndexOfColumn(C) >= 0)
        C->SetIndex(Order);
    else
        TCustomdxTreeList::SetChildOrder(Child, Order);
}

void TCustomdxTreeListControl::SetParent(TWinControl* AParent) {
    TCustomdxTreeList::SetParent(AParent);
    if (AParent)
        if (TCustomForm* F = GetParentForm())
            FParentFormName = F->Name();
}

void TCustomdxTreeListControl::CMFontChanged(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    BeginUpdate();
    for (TdxTreeListColumn* C : FColumns)
        C->SyncFont();
    EndUpdate();
}

void TCustomdxTreeListControl::CMCursorChanged(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    if (!FSettingHotCursor)
        FOwnCursor = Cursor();
}

void TCustomdxTreeListControl::Resize() {
    ClearCachedWidths();
    TCustomdxTreeList::Resize();
}

void TCustomdxTreeListControl::Loaded() {
    TCustomdxTreeList::Loaded();
    NormalizeHeaderRows();
    RebuildSortList();
    if (!ComponentState().Contains(csDesigning))
        RestoreStoredLayout();
    LayoutChanged();
}

// ---------------------------------------------------------------------------------------------
// Unit start-up

namespace {
struct CursorEntry {
    TCursor Id;
    const char* Name;
};
constexpr CursorEntry TreeListCursors[] = {
    {-1124, "DXTLDELETECURSOR"},      {-1131, "DXTL_FULLSCROLLCURSOR"},  {-1132, "DXTL_HORSCROLLCURSOR"},
    {-1133, "DXTL_VERSCROLLCURSOR"},  {-1134, "DXTL_UPSCROLLCURSOR"},    {-1135, "DXTL_RIGHTSCROLLCURSOR"},
    {-1136, "DXTL_DOWNSCROLLCURSOR"}, {-1137, "DXTL_LEFTSCROLLCURSOR"},  {-1138, "DXTL_DRAGCOPY"},
    {-1139, "DXTL_MULTIDRAGCOPY"},
};
int StartCount = 0;
}  // namespace

TImageList* dxTLImageList = nullptr;

void dxTLInitialization() {
    if (StartCount++ > 0)
        return;
    RegisterClasses({TdxTreeListColumn::StaticClass(), TdxTreeListMaskColumn::StaticClass(),
                     TCustomdxTreeListControl::StaticClass()});
    for (const CursorEntry& C : TreeListCursors)
        Screen->SetCursors(C.Id, LoadDataCursor(C.Name));
    HorzDragScrollTimer = VertDragScrollTimer = static_cast<UINT_PTR>(-1);
    EditorTimerId = -1;
    LoadIndicatorImages();
    dxTLCustomizeCaption = "Customize";
    dxTLCustomizeBandsCaption = "    Bands    ";
    dxTLCustomizeHeadersCaption = "   Headers   ";
    dxTLImageList = Create<TImageList>(nullptr);
    dxTLImageList->SetMasked(false);
    dxTLImageList->SetAllocBy(1);
    dxTLImageList->SetHandle(ImageList_Create(1, 1, 0, 1, 1));
    MeasureDC = GetDC(nullptr);
}

void dxTLFinalization() {
    if (--StartCount > 0)
        return;
    if (MeasureDC) {
        ReleaseDC(nullptr, MeasureDC);
        MeasureDC = nullptr;
    }
    if (dxTLImageList) {
        dxTLImageList->Free();
        dxTLImageList = nullptr;
    }
    dxTLCustomizeCaption.clear();
    dxTLCustomizeBandsCaption.clear();
    dxTLCustomizeHeadersCaption.clear();
    FreeIndicatorImages();
    for (const CursorEntry& C : TreeListCursors)
        Screen->SetCursors(C.Id, nullptr);
}
