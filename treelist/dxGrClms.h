// The grid's column classes for each data-aware column kind: the tree-list kind with its grouping
// and summary settings published; the check and image kinds also show their display texts in
// filter lists. The unit's start-up registers them and fills the default grid column table.
#pragma once

#include "dxDBGrid.h"
#include "dxDBTLCl.h"

#define DX_GRID_COLUMN(Name, Base, Filter)                                                  \
    class Name : public Base {                                                              \
        DECLARE_CLASS(Name, Base)                                                           \
    public:                                                                                 \
        using Base::Base;                                                                   \
        static void DefineClass(TClassBuilder<Name>& B) { DefineGridColumnProperties(B, Filter); } \
    };

DX_GRID_COLUMN(TdxDBGridButtonColumn, TdxDBTreeListButtonColumn, true)
DX_GRID_COLUMN(TdxDBGridDateColumn, TdxDBTreeListDateColumn, true)
DX_GRID_COLUMN(TdxDBGridSpinColumn, TdxDBTreeListSpinColumn, true)
DX_GRID_COLUMN(TdxDBGridLookupColumn, TdxDBTreeListLookupColumn, true)
DX_GRID_COLUMN(TdxDBGridPickColumn, TdxDBTreeListPickColumn, true)
DX_GRID_COLUMN(TdxDBGridCalcColumn, TdxDBTreeListCalcColumn, true)
DX_GRID_COLUMN(TdxDBGridHyperLinkColumn, TdxDBTreeListHyperLinkColumn, true)
DX_GRID_COLUMN(TdxDBGridTimeColumn, TdxDBTreeListTimeColumn, true)
DX_GRID_COLUMN(TdxDBGridCurrencyColumn, TdxDBTreeListCurrencyColumn, true)
DX_GRID_COLUMN(TdxDBGridMemoColumn, TdxDBTreeListMemoColumn, false)
DX_GRID_COLUMN(TdxDBGridGraphicColumn, TdxDBTreeListGraphicColumn, false)
DX_GRID_COLUMN(TdxDBGridBlobColumn, TdxDBTreeListBlobColumn, false)
DX_GRID_COLUMN(TdxDBGridMRUColumn, TdxDBTreeListMRUColumn, true)
DX_GRID_COLUMN(TdxDBGridWrapperColumn, TdxDBTreeListWrapperColumn, false)

// The check column that shows DisplayChecked, DisplayUnChecked and DisplayNull (where set) for its
// states in filter texts and lists.
class TdxDBGridCheckColumn : public TdxDBTreeListCheckColumn {
    DECLARE_CLASS(TdxDBGridCheckColumn, TdxDBTreeListCheckColumn)
public:
    using TdxDBTreeListCheckColumn::TdxDBTreeListCheckColumn;
    static void DefineClass(TClassBuilder<TdxDBGridCheckColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    void GetFilterText(const std::string& Data, std::string& Text) override;
    void InitFilterEditor(TdxInplaceEdit* Editor) override;
    const std::string& DisplayChecked() const { return FDisplayChecked; }
    void SetDisplayChecked(const std::string& Value);
    const std::string& DisplayUnChecked() const { return FDisplayUnChecked; }
    void SetDisplayUnChecked(const std::string& Value);
    const std::string& DisplayNull() const { return FDisplayNull; }
    void SetDisplayNull(const std::string& Value);

private:
    std::string FDisplayChecked, FDisplayUnChecked, FDisplayNull;
};

// The image column whose filter texts are the values' descriptions.
class TdxDBGridImageColumn : public TdxDBTreeListImageColumn {
    DECLARE_CLASS(TdxDBGridImageColumn, TdxDBTreeListImageColumn)
public:
    using TdxDBTreeListImageColumn::TdxDBTreeListImageColumn;
    static void DefineClass(TClassBuilder<TdxDBGridImageColumn>& B) { DefineGridColumnProperties(B); }
    void GetFilterText(const std::string& Data, std::string& Text) override { ValueToDisplayText(Data, Text); }
};

void ProposeGridColumnClass(TFieldType FieldType, TFieldKind FieldKind, TdxColumnClassEntry& Entry);

// Unit start-up: the kinds registered for streaming and proposed for the default grid column
// table; shut-down resets the table.
void dxGrClmsInitialization();
void dxGrClmsFinalization();
