// The data-aware tree list: the abstract control that maps a data set's fields to columns, fills
// nodes from records and writes edited cells back into fields; the data-aware column base with its
// footer summary settings; the mask column; the filter-row editor base; the default column classes
// by field type; and the unit's start-up.
//
// A concrete control supplies the data link (a TdxDBTreeListDataLink), the data source and the
// editing, appending and searching policies (the abstract operations below).
#pragma once

#include "DB.h"
#include "dxTL.h"

#include <string>
#include <vector>

class TCustomdxDBTreeListControl;
class TdxDBTreeListColumn;

DECLARE_ENUM(TdxSummaryType, cstNone, cstSum, cstMin, cstMax, cstCount, cstAvg)

using TColumnGetText = TMethodOf<TObject*, TdxTreeListNode*, std::string&>;
using TdxSummaryEvent = TMethodOf<TObject*, TDataSet*, double&>;
using TdxGetCellEditColorEvent = TMethodOf<TObject*, TdxTreeListNode*, TdxDBTreeListColumn*, TColor&>;
DECLARE_EVENT_NAME(TColumnGetText)
DECLARE_EVENT_NAME(TdxSummaryEvent)
DECLARE_EVENT_NAME(TdxGetCellEditColorEvent)
// (Sender, ACanvas, var ARect, AColumn, var ADone)
using TCustomDrawHeaderEvent = TMethodOf<TObject*, TCanvas*, TRect&, TdxTreeListColumn*, bool&>;
DECLARE_EVENT_NAME(TCustomDrawHeaderEvent)
// (Sender, ACanvas, ARect, var AText, var AAlignment, AFont, var AColor, var ADone)
using TdxDrawSummaryFooter = TMethodOf<TObject*, TCanvas*, TRect, std::string&, TAlignment&, TFont*, TColor&, bool&>;
DECLARE_EVENT_NAME(TdxDrawSummaryFooter)

// What a node keeps of a field beside its display text: the value (where the text cannot stand
// for it) and, for a lookup field, the key values in its own data set.
class TNodeVariantData : public TObject {
    DECLARE_CLASS(TNodeVariantData, TObject)
public:
    enum : int { avValue = 1, avLookupValue = 2 };
    int AssignedValues = 0;
    Variant Value;
    Variant LookupValue;
};

// A node of a data-aware control: the text node plus the value of the control's KeyField and a
// preview text.
class TdxDBTreeListControlNode : public TdxTreeListTextNode {
    DECLARE_CLASS(TdxDBTreeListControlNode, TdxTreeListTextNode)
public:
    using TdxTreeListTextNode::TdxTreeListTextNode;
    Variant KeyValue;
    std::string PreviewText;
};

// The data link of a data-aware control: a map from positions to field indexes (-1 for a name the
// data set lacks) and a flag that the control changed the record.
class TdxDBTreeListDataLink : public TDataLink {
    DECLARE_CLASS(TdxDBTreeListDataLink, TDataLink)
public:
    explicit TdxDBTreeListDataLink(TCustomdxDBTreeListControl* AControl);
    TCustomdxDBTreeListControl* Control() const { return FControl; }
    // Capacity 8 at first, then doubling; a map larger than 2^28 - 1 entries raises.
    void AddMapping(const std::string& FieldName);
    void ClearMapping();
    int MapCount() const { return static_cast<int>(FFieldMap.size()); }
    int MapCapacity() const { return FCapacity; }
    int MappedIndex(int Index) const { return FFieldMap.at(static_cast<std::size_t>(Index)); }
    // Null for an index out of range or an unmapped entry.
    TField* GetMappedField(int Index) const;
    void SetLinkModified() { FModified = true; }
    void ClearLinkModified() { FModified = false; }
    bool LinkModified() const { return FModified; }

private:
    TCustomdxDBTreeListControl* FControl;
    std::vector<int> FFieldMap;
    int FCapacity = 0;
    bool FModified = false;
};

class TCustomdxDBTreeListControl : public TCustomdxTreeListControl {
    DECLARE_CLASS(TCustomdxDBTreeListControl, TCustomdxTreeListControl)
public:
    explicit TCustomdxDBTreeListControl(TComponent* AOwner);
    ~TCustomdxDBTreeListControl() override;
    static void DefineClass(TClassBuilder<TCustomdxDBTreeListControl>& B);
    void BeforeDestruction() override;

    // --- The concrete control's policies
    virtual TdxDBTreeListDataLink* GetDataLink() = 0;
    virtual TDataSource* GetDataSource() = 0;
    // The columns follow the data set's fields (created, freed and ordered by the binding).
    virtual bool GetDefaultFields() = 0;
    virtual bool CancelInsertOnExit() { return true; }
    virtual bool CanAppendRecords() = 0;
    virtual bool CanEditRecords() = 0;
    virtual bool SelectRangeInNodes() { return false; }
    virtual bool IsDataReadOnly() = 0;
    virtual bool SearchInNodes() = 0;
    virtual bool SelectRangeByRecords() = 0;
    // Restarts the editor when the focused field no longer holds the value it started from.
    virtual void SyncEditorWithField();
    virtual void ColumnFieldChanged(TdxDBTreeListColumn*) {}
    virtual void SetColumnGroupIndex(TdxDBTreeListColumn* Column, int Index);
    virtual void BindColumnFields();
    virtual void DoDataNotify() {}
    virtual void DoDataIndexNotify(int) {}
    virtual double GetSummaryValue() { return 0; }
    virtual void ColumnRenamed(const std::string&, const std::string&) {}
    virtual void AssignColumnNodeData(TdxTreeListNode* Node, TdxDBTreeListColumn* Column);
    // The node's key value, each bound column's cell and its preview text from the current record.
    virtual void LoadNodeData(TdxTreeListNode* Node);
    virtual TdxDBTreeListColumn* CreateColumnOfClass(TdxTreeListColumnClass ColumnClass);
    virtual void BuildFieldMap();
    virtual void DataRefreshed();
    virtual bool IsDataSetEmpty();
    virtual TdxDBTreeListColumn* CreateFieldColumn(TdxTreeListColumnClass ColumnClass, TComponent* Owner);
    virtual void CreateColumnsFromDataSet(TDataSet* DataSet, TComponent* Owner);
    virtual TdxTreeListColumnClass GetDefaultColumnClass();
    virtual TdxTreeListColumnClass GetColumnClassForField(TField* Field);

    // --- Public operations
    // The first column bound to Name (any case); null when none.
    TdxDBTreeListColumn* ColumnByFieldName(const std::string& Name);
    TField* GetFocusedField();
    TdxDBTreeListColumn* DBColumns(int Index) const;
    TDataSet* DataSet();
    bool DataLinkActive();
    std::string PreviewFieldName;
    int PreviewMaxLength = 0;
    TField* PreviewField() const { return FPreviewField; }
    TField* KeyField = nullptr;
    int GroupPanelValue = 12;
    const Variant& EditStartValue() const { return FEditStartValue; }
    TStringList* Selection() const { return FSelection; }
    bool Rebinding() const { return FRebinding; }
    bool InPending(TdxTreeListNode* Node) const;
    std::string TruncatePreview(const std::string& Text) const;

    TdxGetCellEditColorEvent OnGetCellEditColor;
    TNotifyEvent OnDataRefreshed;

    // --- What the data-aware control changes in the engine's answers
    TdxTreeListNode* CreateNode() override { return Create<TdxDBTreeListControlNode>(this); }
    void ClearSortedColumns() override;
    // The columns' own drawing events: the header's first, the footer summary's for the footer row.
    bool HasCustomDrawHeader() override;
    void DoCustomDrawHeader(TCanvas* Canvas, int Column, bool& Done, TAlignment& Alignment, TFont* Font, TColor& Color,
                            std::string& Text, int& Sorted, const TRect& Rect) override;
    bool HasCustomDrawFooterCell() override;
    void DoCustomDrawFooterCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node, int Column, int FooterIndex,
                                bool& Done, TAlignment& Alignment, TFont* Font, TColor& Color,
                                std::string& Text) override;
    // One sorted column at a time, unless the header click asks for one more.
    void BeforeColumnSort(TdxTreeListColumn* Column) override;
    int CompareNodes(TdxTreeListNode* Node1, TdxTreeListNode* Node2) override;
    void ClearSelection() override;
    int GetSelectedCount() override { return FSelection->Count(); }
    TdxTreeListNode* GetSelectedNode(int Index) override;
    bool IsNodeSelected(TdxTreeListNode* Node) override;
    void SetNodeSelected(TdxTreeListNode* Node, bool Value) override;
    void SelectRange(TdxTreeListNode* FromNode, TdxTreeListNode* ToNode) override;
    bool IsColumnFooterShown(int Column) override;
    TColor GetEditorColor() override;
    bool IsEditorValidChar(char Key) override;
    bool CanEditorModify() override;
    bool IsEditingReadOnly() override;
    bool CanShowEditor() override;
    void DoEditing(TdxTreeListNode* Node, bool& Allow) override;
    void DoNewItemRowEditing(bool& Result) override;
    void InsertNewItemRow() override;
    void GetEditorValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void ApplyEditorValue(TdxTreeListNode* Node, int Column, Variant& Value, TdxInplaceEdit* Editor) override;
    bool CanEditNewItemRow() override;
    std::string GetNewItemRowText(int Column) override;
    int GetRowTag(TdxTreeListNode* Node, bool Selected) override;
    int GetGroupPanelHeight() override { return 0; }
    bool IsDragScroll() override;
    bool CanScroll() override;
    void DeleteNodeValue(TdxTreeListNode* Node, int Index) override;
    void NodeDeleted(TdxTreeListNode* Node, TdxTreeListNode* PrevSiblingOrParent, bool WasVisible,
                     bool WasLastSibling, TdxTreeListNode* NextRow) override;
    bool CanCollapseFocused(TdxTreeListNode* Node) override;
    void LayoutDataChanged() override;
    bool FindNodeByText(int Column, const std::string& Text, TdxTreeListNode*& Node, int Direction) override;
    std::string GetPreviewText(TdxTreeListNode* Node) override;
    // A cell sorts by the field value the node keeps, else by its text.
    void GetNodeSortValue(TdxTreeListNode* Node, int Column, Variant& Value) override;
    // Refused while the columns follow the fields (unless the binding itself does it).
    void DestroyFieldColumns();

protected:
    // Columns that follow the system's settings (the currency column's format) hear of a change.
    void CMWinIniChange(TMessage& Message);
    // Horizontal scrolling steps from column edge to column edge of the scrolling bands.
    void WMHScroll(TMessage& Message);
    // The left edges of the scrolling bands' columns in scrolled coordinates, ascending.
    std::vector<int> ColumnScrollEdges();
    void DoExit() override;
    void DoStartDrag(TDragObject*& DragObject) override;
    void BindPreviewField();
    bool InDataEditState();
    void CheckDefaultFields();

private:
    TStringList* FSelection;
    std::string FSearchText;
    int FSearchPosition = -1;
    bool FRebinding = false;
    TList* FPendingNodes;
    Variant FEditStartValue;
    TField* FPreviewField = nullptr;
    void SelectionChanged(TObject* Sender);
    void SelectRangeFromRows(TdxTreeListNode* FromNode, TdxTreeListNode* ToNode);
};

// ---------------------------------------------------------------------------------------------
// Columns

// A column bound to a field of the control's data set: caption, alignment and width come from
// the field until set, the cells show the field's display text, edited text goes back into the
// field.
class TdxDBTreeListColumn : public TdxTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListColumn, TdxTreeListColumn)
public:
    explicit TdxDBTreeListColumn(TComponent* AOwner);
    ~TdxDBTreeListColumn() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TdxDBTreeListColumn>& B);
    void Assign(TPersistent* Source) override;

    TCustomdxDBTreeListControl* GetTreeList() const;
    TField* Field() const { return FField; }
    // The binding's own write: no checks, no notice.
    void SetFieldDirect(TField* Value) { FField = Value; }
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldNameDirect(const std::string& Value) { FFieldName = Value; }

    // Overrides of the tree-list column
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    bool IsCustomDrawCellAssigned() override;
    void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node, bool Selected, bool Focused,
                          bool NewItemRow, std::string& Text, TColor& Color, TFont* Font, TAlignment& Alignment,
                          bool& Done) override;
    void SetIndex(int Value) override;
    TAlignment GetDefaultAlignment() override;
    std::string GetDefaultCaption() override;
    virtual int GetDefaultMaxLength();
    virtual bool GetDefaultReadOnly();
    int GetDefaultWidth() override;
    void RestoreDefaults() override;

    // New operations
    virtual void SetFieldName(const std::string& Name);
    virtual bool StoreFieldValue() { return false; }
    virtual void AssignNodeData(TdxTreeListNode* Node);
    virtual TdxInplaceEdit* CreateFilterEditor(TComponent* Owner);
    virtual TdxInplaceEditClass GetFilterEditorClass();
    virtual void GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text);
    virtual void SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value);
    virtual int GetFilterOperators() { return 255; }
    virtual void GetNodeValue(TdxTreeListNode* Node, Variant& Value);
    virtual void GetNodeValueText(TdxTreeListNode* Node, Variant& Value, std::string& Text);
    virtual void GetFilterText(const std::string& Data, std::string& Text) { Text = Data; }
    virtual void GetSummaryFooterText(std::string& Text);
    virtual void VariantToText(const Variant& Value, std::string& Text) { Text = VarToStr(Value); }
    virtual TVarType GetFilterVarType();
    virtual bool CompareAsValue() { return false; }
    virtual bool FieldValueEquals(const Variant& Value);
    virtual void InitFilterEditor(TdxInplaceEdit* Editor);
    virtual bool IsValidChar(char Key);
    virtual void GetCellText(TdxTreeListNode* Node, std::string& Text);
    // The record a node keeps at this column's data index (an empty one when none is stored).
    TNodeVariantData ReadNodeVariantData(TdxTreeListNode* Node);
    void NotifyFieldChange(bool LayoutOnly);
    // Another column's node data is read and written in place of this column's while set (-1 none).
    int GetDataIndex() override { return FDataIndexOverride >= 0 ? FDataIndexOverride : TdxTreeListColumn::GetDataIndex(); }
    void SetDataIndexOverride(int Value) { FDataIndexOverride = Value; }

    bool DisableGrouping() const { return FDisableGrouping; }
    void SetDisableGrouping(bool Value);
    bool DisableFilter = false;
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // The control's grouping decision: no checks, no notice.
    void SetGroupIndexDirect(int Value) { FGroupIndex = Value; }
    TdxSummaryType SummaryType() const { return FSummaryType; }
    void SetSummaryType(TdxSummaryType Value);
    bool SortBySummary() const { return FSummaryType != cstNone && FSortBySummary; }
    void SetSortBySummary(bool Value) { FSortBySummary = Value; }
    TdxSummaryType SummaryFooterType() const { return FSummaryFooterType; }
    void SetSummaryFooterType(TdxSummaryType Value);
    std::string SummaryFormat, SummaryGroupName, SummaryField;
    std::string SummaryFooterFormat, SummaryFooterField;
    TField* SummaryFooterFieldObject = nullptr;
    double SummaryFooterValue = 0;
    bool SummaryFooterValueValid = false;
    TColumnGetText OnGetText;
    TdxSummaryEvent OnSummary, OnSummaryFooter;
    TdxTLCustomDrawEvent OnCustomDraw;
    TCustomDrawHeaderEvent OnCustomDrawHeader;
    TdxDrawSummaryFooter OnDrawSummaryFooter;

private:
    TField* FField = nullptr;
    std::string FFieldName;
    bool FDisableGrouping = false;
    int FGroupIndex = -1;
    TdxSummaryType FSummaryType = cstNone;
    bool FSortBySummary = false;
    TdxSummaryType FSummaryFooterType = cstNone;
    int FDataIndexOverride = -1;
    bool IsAttached() const { return GetTreeList() != nullptr; }
    bool ControlLoading() const;
    // The default width measured last and what it was measured from: every layout question asks
    // for the width, and measuring takes a device context and two fonts.
    struct TFontKey {
        std::string Name;
        int Height = 0;
        TFontStyles Style;
        TFontCharset Charset = 0;
        TFontPitch Pitch = fpDefault;
        bool operator==(const TFontKey&) const = default;
        static TFontKey Of(TFont* F) { return {F->Name(), F->Height(), F->Style(), F->Charset(), F->Pitch()}; }
    };
    struct TWidthKey {
        std::string Caption;
        TField* Field = nullptr;
        int DisplayWidth = 0;
        TFontKey HeaderFont, Font;
        bool operator==(const TWidthKey&) const = default;
    };
    TWidthKey FMeasuredFrom;
    int FMeasuredWidth = -1;
    int MeasureDefaultWidth(TCustomdxDBTreeListControl* T, const std::string& Caption);
};

// The mask editor's subclass that only the data-aware mask column uses.
class TdxInplaceDBTreeListMaskEdit : public TdxInplaceMaskEdit {
    DECLARE_CLASS(TdxInplaceDBTreeListMaskEdit, TdxInplaceMaskEdit)
public:
    using TdxInplaceMaskEdit::TdxInplaceMaskEdit;
};

class TdxDBTreeListMaskColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListMaskColumn, TdxDBTreeListColumn)
public:
    using TdxDBTreeListColumn::TdxDBTreeListColumn;
    static void DefineClass(TClassBuilder<TdxDBTreeListMaskColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListMaskEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    bool FieldValueEquals(const Variant& Value) override;
    // The stored mask when set, else the field's.
    std::string EditMask() const;
    void SetEditMask(const std::string& Value);
    bool IsEditMaskStored() const;
    bool IgnoreMaskBlank = false;

private:
    std::string FEditMask;
    bool FEditMaskAssigned = false;
};

// The base of every filter-row editor: a mask editor that works as an ordinary stand-alone edit
// control, not hosted by a container.
class TCustomdxFilterEdit : public TdxInplaceMaskEdit {
public:
    struct TMetaClass : TdxInplaceMaskEdit::TMetaClass {
        using TdxInplaceMaskEdit::TMetaClass::TMetaClass;
        bool IsInplace() const override { return false; }
    };
    DECLARE_CLASS(TCustomdxFilterEdit, TdxInplaceMaskEdit)

public:
    using TdxInplaceMaskEdit::TdxInplaceMaskEdit;
};

// ---------------------------------------------------------------------------------------------
// Summary texts and default column classes

// Kind 0 a group row, 1 the footer; DateKind ftUnknown for a number, else ftDate, ftTime or
// ftDateTime.
std::string FormatSummaryText(TdxSummaryType SummaryType, const std::string& Format, TFieldType DateKind, int Kind,
                              double Value);

struct TdxColumnClassEntry {
    TdxTreeListColumnClass ColumnClass;
    int Priority = 0;
};
// Called per field type (kind fkData) and once for lookup fields (type ftUnknown, kind fkLookup);
// an entry is replaced only by a higher priority.
using TdxProposeColumnClass = void (*)(TFieldType FieldType, TFieldKind FieldKind, TdxColumnClassEntry& Entry);

// A table of default column classes: one entry per field type from ftUnknown to ftTypedBinary and
// one for lookup fields. At load (and after Reset) ftUnknown holds (nil, 0), every other entry
// (Base, 0).
class TdxDefaultColumnTable {
public:
    explicit TdxDefaultColumnTable(TClass (*Base)()) : FBase(Base) {}
    void Register(TdxProposeColumnClass Callback);
    void Reset();
    // The lookup entry for a lookup field, else the type's (types after ftTypedBinary have none).
    TdxColumnClassEntry For(TFieldType FieldType, TFieldKind FieldKind);

private:
    static constexpr int TypeEntries = static_cast<int>(ftTypedBinary) + 1;
    TClass (*FBase)();
    TdxColumnClassEntry FTypes[TypeEntries];
    TdxColumnClassEntry FLookup;
    bool FReady = false;
};

// The tree list's table (base class TdxDBTreeListColumn).
TdxDefaultColumnTable& DefaultColumnClasses();
void RegisterDefaultColumnClasses(TdxProposeColumnClass Callback);
void ResetDefaultColumnClasses();

// The record-deletion confirmation of a concrete control (caption, one record, the selection).
std::string dxDBCtrlConfirmCaption();
std::string dxDBCtrlDeleteRecordQuestion();
std::string dxDBCtrlDeleteSelectedQuestion();

// Unit start-up: the column classes registered for streaming, the confirmation texts loaded.
void dxDBCtrlInitialization();
void dxDBCtrlFinalization();
