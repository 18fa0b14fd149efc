// The data-aware grid: one row per record of its data source's data set (in data-set order until a
// column sorts them), columns made from the fields by the default grid column table, the focused
// row and the data set's current record kept together, and cells edited in the record.
// Also the grid's own column classes for plain fields and masks, and the unit's start-up.
#pragma once

#include "dxDBCtrl.h"

#include <map>

class TdxDBGrid;

// A record's row: the node of the data-aware control and the record's bookmark (empty for the
// record being inserted).
class TdxDBGridNode : public TdxDBTreeListControlNode {
    DECLARE_CLASS(TdxDBGridNode, TdxDBTreeListControlNode)
public:
    using TdxDBTreeListControlNode::TdxDBTreeListControlNode;
    TBookmark Bookmark;
};

class TdxDBGridDataLink : public TdxDBTreeListDataLink {
    DECLARE_CLASS(TdxDBGridDataLink, TdxDBTreeListDataLink)
public:
    explicit TdxDBGridDataLink(TdxDBGrid* AGrid);

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    TdxDBGrid* FGrid;
};

class TdxDBGrid : public TCustomdxDBTreeListControl {
    DECLARE_CLASS(TdxDBGrid, TCustomdxDBTreeListControl)
public:
    explicit TdxDBGrid(TComponent* AOwner);
    ~TdxDBGrid() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TdxDBGrid>& B);

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    // The columns follow the data set's fields (the default); False keeps the columns as set.
    bool DefaultFields() const { return FDefaultFields; }
    void SetDefaultFields(bool Value);
    bool ReadOnlyData = false;

    // The row of the data set's current record (null when none).
    TdxTreeListNode* NodeOfCurrentRecord();

    // --- The policies of the data-aware control
    TdxDBTreeListDataLink* GetDataLink() override { return FDataLink; }
    TDataSource* GetDataSource() override { return FDataLink->DataSource(); }
    bool GetDefaultFields() override { return FDefaultFields; }
    bool CanAppendRecords() override { return !ReadOnlyData; }
    bool CanEditRecords() override { return !ReadOnlyData; }
    bool IsDataReadOnly() override;
    bool SearchInNodes() override { return false; }
    bool SelectRangeByRecords() override { return false; }
    TdxTreeListColumnClass GetDefaultColumnClass() override;
    TdxTreeListColumnClass GetColumnClassForField(TField* Field) override;
    TdxTreeListNode* CreateNode() override { return Create<TdxDBGridNode>(this); }
    void DoChangeNode(TdxTreeListNode* OldNode, TdxTreeListNode* Node) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    // The footer cell of a column shows its footer summary (computed when first shown after a
    // change of the records).
    std::string GetGroupFooterText(TdxTreeListNode* Node, int Column, int FooterRow) override;
    // With no sorted column left the rows are the records in data-set order again.
    void SortingChanged() override;

    // The link's notices
    void LinkActiveChanged();
    void LinkDataSetChanged();
    void LinkRecordChanged(TField* Field);
    void LinkLayoutChanged();
    void LinkUpdateData();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TdxDBGridDataLink* FDataLink;
    bool FDefaultFields = true;
    int FSyncing = 0;
    std::map<TBookmark, TdxTreeListNode*> FRows;
    // Every record's row again, in data-set order, the current record's row focused.
    void ReloadRows();
    void FocusCurrentRecord();
    void AddInsertedRow();
    // Sum, minimum, maximum, count or average of the footer field's values the rows keep.
    void CalcFooterSummary(TdxDBTreeListColumn* Column);
    void InvalidateFooterSummaries();
};

// Grid columns: the data-aware columns with their grouping and summary settings published.
class TdxDBGridColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBGridColumn, TdxDBTreeListColumn)
public:
    using TdxDBTreeListColumn::TdxDBTreeListColumn;
    static void DefineClass(TClassBuilder<TdxDBGridColumn>& B);
};

class TdxDBGridMaskColumn : public TdxDBTreeListMaskColumn {
    DECLARE_CLASS(TdxDBGridMaskColumn, TdxDBTreeListMaskColumn)
public:
    using TdxDBTreeListMaskColumn::TdxDBTreeListMaskColumn;
    static void DefineClass(TClassBuilder<TdxDBGridMaskColumn>& B);
};

// The published grouping and summary settings every grid column class adds (Filter: also
// DisableFilter, which the kinds that start with it set leave out).
template <class C>
void DefineGridColumnProperties(TClassBuilder<C>& B, bool Filter = true) {
    if (Filter)
        B.Property("DisableFilter", [](C* X) { return X->DisableFilter; }, [](C* X, bool V) { X->DisableFilter = V; })
            .Default(false);
    B.Property("GroupIndex", [](C* X) { return X->GroupIndex(); }, [](C* X, int V) { X->SetGroupIndex(V); })
        .Default(-1);
    B.Property("SummaryType", [](C* X) { return X->SummaryType(); },
               [](C* X, TdxSummaryType V) { X->SetSummaryType(V); })
        .Default(cstNone);
    B.Property("SummaryField", [](C* X) { return X->SummaryField; },
               [](C* X, const std::string& V) { X->SummaryField = V; });
    B.Property("SummaryFormat", [](C* X) { return X->SummaryFormat; },
               [](C* X, const std::string& V) { X->SummaryFormat = V; });
    B.Property("SortBySummary", [](C* X) { return X->SortBySummary(); }, [](C* X, bool V) { X->SetSortBySummary(V); })
        .Default(false);
    B.Property("OnSummary", [](C* X) { return X->OnSummary; }, [](C* X, TdxSummaryEvent V) { X->OnSummary = V; });
    B.Property("SummaryGroupName", [](C* X) { return X->SummaryGroupName; },
               [](C* X, const std::string& V) { X->SummaryGroupName = V; });
}

// The default grid column table (base class TdxDBGridColumn); filled at start-up by the grid
// column kinds' unit.
TdxDefaultColumnTable& DefaultGridColumnClasses();
void RegisterDefaultGridColumnClasses(TdxProposeColumnClass Callback);
void ResetDefaultGridColumnClasses();

// The hint a grid shows in its empty group panel (loaded at start-up).
std::string GroupPanelText();

// Unit start-up: the two column classes registered, the group panel text loaded.
void dxDBGridInitialization();
void dxDBGridFinalization();
