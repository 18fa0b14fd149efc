// The DBGrids unit: a grid over a data source (TCustomDBGrid, TDBGrid) with columns bound to fields
// (TColumn, TDBGridColumns), a title row, an indicator column, editing through the in-place editor
// and a list of selected rows by bookmark (TBookmarkList).
//
// Rows: the title row (dgTitles), then one row per record of the grid's data link, whose buffer
// count is the number of data rows that fit; the current row is the link's active record. Drawing a
// data row makes its record the active buffer (TDataLink::SetActiveRecord), so fields read that
// record; the active record is put back afterwards.
#pragma once

#include "DB.h"
#include "Grids.h"

class TCustomDBGrid;
class TColumn;

DECLARE_ENUM(TDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines,
             dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect)
DECLARE_SET(TDBGridOptions, TDBGridOption)
DECLARE_ENUM(TDBGridColumnsState, csDefault, csCustomized)

using TDrawColumnCellEvent = TMethodOf<TObject*, const TRect&, int, TColumn*, TGridDrawState>;  // (Sender, Rect, DataCol, Column, State)
using TDrawDataCellEvent = TMethodOf<TObject*, const TRect&, TField*, TGridDrawState>;          // (Sender, Rect, Field, State)
using TDBGridClickEvent = TMethodOf<TColumn*>;
DECLARE_EVENT_NAME(TDrawColumnCellEvent)
DECLARE_EVENT_NAME(TDrawDataCellEvent)
DECLARE_EVENT_NAME(TDBGridClickEvent)

namespace DBGridConsts {
inline constexpr const char* SDeleteRecordQuestion = "Delete record?";
inline constexpr const char* SDeleteMultipleRecordsQuestion = "Delete all selected records?";
inline constexpr int IndicatorWidth = 11;
}  // namespace DBGridConsts

// Limits drawing on a canvas to a rectangle until it goes (the clipping before it comes back):
// a title that spans several cells is drawn whole by each of them, clipped to the cell.
class TCanvasClip {
public:
    TCanvasClip(TCanvas* Canvas, const TRect& R);
    ~TCanvasClip();
    TCanvasClip(const TCanvasClip&) = delete;
    TCanvasClip& operator=(const TCanvasClip&) = delete;

private:
    HDC FDC;
    HRGN FSaved;
    bool FHadRegion;
};

// A column's title: its own caption, font, colour and alignment, or the grid's and field's.
class TColumnTitle : public TPersistent {
    DECLARE_CLASS(TColumnTitle, TPersistent)
public:
    explicit TColumnTitle(TColumn* Column);
    ~TColumnTitle() override;
    static void DefineClass(TClassBuilder<TColumnTitle>& B);
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

    // The field's DisplayLabel (or the field name) unless set.
    std::string Caption() const;
    void SetCaption(const std::string& Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TColor Color() const;
    void SetColor(TColor Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // Takes the grid's title font again (until the title's own font is changed).
    void RefreshDefaultFont();

private:
    void FontChanged(TObject* Sender);
    bool IsCaptionStored() const { return FCaptionSet; }
    bool IsFontStored() const { return FFontSet; }
    bool IsColorStored() const { return FColorSet; }
    TColumn* FColumn;
    std::string FCaption;
    TFont* FFont;
    TColor FColor = clBtnFace;
    TAlignment FAlignment = taLeftJustify;
    bool FCaptionSet = false, FFontSet = false, FColorSet = false, FDefaultingFont = false;
};

// A grid column: the field it shows (by FieldName), its width, colours, font and title.
class TColumn : public TCollectionItem {
    DECLARE_CLASS(TColumn, TCollectionItem)
public:
    explicit TColumn(TCollection* ACollection);
    ~TColumn() override;
    static void DefineClass(TClassBuilder<TColumn>& B);
    void Assign(TPersistent* Source) override;
    std::string GetDisplayName() override;

    TCustomDBGrid* Grid() const;
    // The field of FieldName in the grid's data set (null while the link is inactive).
    TField* Field();
    void SetField(TField* Value);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    // Pixels; the field's display width in the column's font unless set.
    int Width();
    void SetWidth(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TColumnTitle* Title() const { return FTitle; }
    void SetTitle(TColumnTitle* Value) { FTitle->Assign(Value); }
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TColor Color() const;
    void SetColor(TColor Value);
    TAlignment Alignment();
    void SetAlignment(TAlignment Value);
    // Nesting of object fields (the data set's ObjectView): the columns of an object field's
    // children follow its column, named "Parent.Child"; the nearest such column before this one is
    // its parent. An expandable column (an object field with children, in object view) shows
    // either itself (collapsed) or its children (expanded), whose titles sit one title row lower.
    TColumn* ParentColumn();
    int Depth();
    bool Expandable();
    bool Expanded() const { return FExpanded; }
    // Expanding a column whose children have no columns yet adds them after it.
    void SetExpanded(bool Value);
    // Visible, not an expanded column and every parent expanded: the column has a grid column.
    bool Showing();
    int DefaultWidth();
    void RefreshDefaultFont();

private:
    friend class TColumnTitle;
    friend class TDBGridColumns;
    friend class TCustomDBGrid;
    void FontChanged(TObject* Sender);
    bool IsWidthStored() const { return FWidthSet; }
    bool IsFontStored() const { return FFontSet; }
    bool IsColorStored() const { return FColorSet; }
    bool IsAlignmentStored() const { return FAlignmentSet; }
    std::string FFieldName;
    TField* FField = nullptr;
    int FWidth = 64;
    bool FVisible = true;
    bool FReadOnly = false;
    TColumnTitle* FTitle;
    TFont* FFont;
    TColor FColor = clWindow;
    TAlignment FAlignment = taLeftJustify;
    bool FWidthSet = false, FFontSet = false, FColorSet = false, FAlignmentSet = false, FDefaultingFont = false;
    bool FDefaultColumn = false;  // made from a field by the grid, not kept by the form
    bool FExpanded = false;
};

// The grid's columns: built from the data set's visible fields (csDefault) or kept as they are
// (csCustomized: persistent columns, as a form file gives them).
class TDBGridColumns : public TCollection {
    DECLARE_CLASS(TDBGridColumns, TCollection)
public:
    explicit TDBGridColumns(TCustomDBGrid* Grid);
    TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
    TColumn* Items(int Index) const { return static_cast<TColumn*>(TCollection::Items(Index)); }
    TCustomDBGrid* Grid() const { return FGrid; }
    TPersistent* GetOwner() override;
    TDBGridColumnsState State() const;
    void SetState(TDBGridColumnsState Value);
    // Default columns again from the data set's fields.
    void RebuildColumns();
    void RestoreDefaults();
    void Update(TCollectionItem* Item) override;

protected:
    // A column added by code or a form file (not by RebuildColumns) makes the columns persistent:
    // the default ones go.
    void Added(TCollectionItem*& Item) override;

private:
    TCustomDBGrid* FGrid;
    bool FRebuilding = false;
};

// The selected rows of a multi-selecting grid, as bookmarks in the data set's order.
class TBookmarkList {
public:
    explicit TBookmarkList(TCustomDBGrid* Grid) : FGrid(Grid) {}
    int Count() const { return static_cast<int>(FList.size()); }
    const TBookmark& Items(int Index) const;
    bool CurrentRowSelected() const;
    void SetCurrentRowSelected(bool Value);
    void Clear();
    // Deletes the selected records from the data set.
    void Delete();
    bool Find(const TBookmark& Item, int& Index) const;
    int IndexOf(const TBookmark& Item) const;
    // Drops bookmarks that are no longer valid; true when any went.
    bool Refresh();

private:
    TDataSet* DataSet() const;
    TCustomDBGrid* FGrid;
    std::vector<TBookmark> FList;
};

class TCustomDBGrid : public TCustomGrid {
    DECLARE_CLASS(TCustomDBGrid, TCustomGrid)
public:
    explicit TCustomDBGrid(TComponent* AOwner);
    ~TCustomDBGrid() override;
    static void DefineClass(TClassBuilder<TCustomDBGrid>& B);

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    TDataLink* DataLink() const { return FDataLink; }
    TDBGridColumns* Columns() const { return FColumns; }
    void SetColumns(TDBGridColumns* Value) { FColumns->Assign(Value); }
    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions Value) { SetDBGridOptions(Value); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TFont* TitleFont() const { return FTitleFont; }
    void SetTitleFont(TFont* Value) { FTitleFont->Assign(Value); }
    int IndicatorOffset() const { return FOptions.Contains(dgIndicator) ? 1 : 0; }
    // Title rows: one, and one more for each level of nested columns showing in object view.
    int TitleOffset() const;
    // The data set shows its object fields as fields with nested fields.
    bool ObjectView() const;
    // The current column's index in Columns, and its field.
    int SelectedIndex() const { return Col() - IndicatorOffset(); }
    void SetSelectedIndex(int Value);
    TField* SelectedField();
    void SetSelectedField(TField* Value);
    TBookmarkList* SelectedRows() { return &FBookmarks; }
    int FieldCount() const { return FColumns->Count(); }

    void BeginLayout();
    void EndLayout();
    void BeginUpdate() { ++FUpdateLock; }
    void EndUpdate();
    // Columns, sizes and rows again after a change of fields, columns or options.
    virtual void LayoutChanged();
    // The platform's drawing of a data cell: the field's display text in the column's alignment,
    // 2 pixels in, on the canvas's brush and font as the grid set them.
    void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);
    void DefaultDrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
    // The column whose title covers the title cell (ACol, ARow), and that title's whole rectangle
    // (a parent's title spans its showing children; a column's own title reaches down to the last
    // title row). Null outside the titles' columns.
    TColumn* TitleColumn(int ACol, int ARow, TRect& Span);
    // Where an expandable column's expand button sits in its title: a scroll-bar arrow's width at
    // the right (left for right-to-left); false when the title is not wider than that.
    bool ExpandButtonRect(TColumn* Column, const TRect& Span, TRect& Button);
    // Draws the expand button of an expandable column's title (pointing right when collapsed,
    // left when expanded, mirrored right-to-left) and takes its room from Span.
    void DrawExpandButton(TColumn* Column, TRect& Span);

    TDrawColumnCellEvent OnDrawColumnCell;
    TDrawDataCellEvent OnDrawDataCell;
    TDBGridClickEvent OnCellClick;
    TDBGridClickEvent OnTitleClick;
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;

protected:
    friend class TGridDataLink;
    friend class TColumn;
    friend class TColumnTitle;
    friend class TDBGridColumns;
    friend class TBookmarkList;

    void Paint() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    // Titles and data cells set their own font and background in DrawCell.
    void PrepareCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    virtual void DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
    virtual void DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) override;
    TInplaceEdit* CreateEditor() override;
    bool CanEditShow() override;
    bool CanEditModify() override;
    bool CanEditAcceptKey(char Key) override;
    virtual bool CanGridAcceptKey(Word Key, TShiftState Shift) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    int GetEditLimit() override;
    void InplaceEditChanged() override;
    bool HighlightCell(int ACol, int ARow, const TRect& ARect) override;
    bool SelectCell(int ACol, int ARow) override;
    void TopLeftChanged() override;
    void ColWidthsChanged() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void UpdateScrollRange() override;
    void UpdateScrollPos() override;
    virtual void SetColumnAttributes();
    virtual void SetDBGridOptions(TDBGridOptions Value);
    virtual void CellClick(TColumn* Column) { OnCellClick(Column); }
    virtual void TitleClick(TColumn* Column) { OnTitleClick(Column); }
    virtual void ColEnter() { OnColEnter(this); }
    virtual void ColExit() { OnColExit(this); }

    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Resize() override;
    void DoExit() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void FontChanged(TObject* Sender) override;

    void WMVScroll(TMessage& Message);
    void WMCancelMode(TMessage& Message);
    void WMRButtonUp(TMessage& Message);

    // Data link notifications
    virtual void LinkActive(bool Value);
    virtual void DataChanged();
    virtual void Scroll(int Distance);
    virtual void RecordChanged(TField* Field);
    virtual void EditingChanged();
    virtual void UpdateData();
    // Asks (dgConfirmDelete) and deletes the selected records, or the current one.
    void DeleteRecords();
    TColumn* ColumnAt(int ACol) const;  // the column of a grid column, or null
    bool AcquireLayoutLock();
    void EndLayoutLock();
    bool FieldEditable(TColumn* Column);

private:
    void InternalLayout();
    void UpdateRowCount();
    void UpdateActive();
    void TitleFontChanged(TObject* Sender);
    void DrawIndicator(const TRect& R, bool Current);
    bool IsColumnsStored() const { return FColumns->State() == csCustomized; }

    TDataLink* FDataLink;
    TDBGridColumns* FColumns;
    TDBGridOptions FOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                            dgConfirmDelete, dgCancelOnExit};
    bool FReadOnly = false;
    TFont* FTitleFont;
    TBookmarkList FBookmarks;
    int FLayoutLock = 0;
    int FUpdateLock = 0;
    bool FInLayout = false;
    bool FEditModified = false;
    std::string FEditText;
    TGridCoord FPressed{-1, -1};
    bool FSelecting = false;
};

// The published data grid.
class TDBGrid : public TCustomDBGrid {
    DECLARE_CLASS(TDBGrid, TCustomDBGrid)
public:
    using TCustomDBGrid::TCustomDBGrid;
};

// Registers the grid classes for streaming: the unit's start-up work.
void DBGridsInitialization();
