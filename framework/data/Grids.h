// The Grids unit: a grid of cells with fixed rows and columns, sizes per column and row, scrolling,
// selection, keyboard and mouse handling and an in-place editor (TCustomGrid), and the grid whose
// cells its owner draws (TDrawGrid).
#pragma once

#include "Controls.h"
#include "Forms.h"
#include "StdCtrls.h"  // TScrollStyle

#include <vector>

DECLARE_ENUM(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
             goDrawFocusSelected, goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs,
             goRowSelect, goAlwaysShowEditor, goThumbTracking)
DECLARE_SET(TGridOptions, TGridOption)
DECLARE_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdFixed)
DECLARE_SET(TGridDrawState, TGridDrawStateItem)
DECLARE_ENUM(TGridState, gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving)

DECLARE_EXCEPTION(EInvalidGridOperation, Exception);

struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

class TCustomGrid;

using TDrawCellEvent = TMethodOf<TObject*, int, int, TRect, TGridDrawState>;  // (Sender, ACol, ARow, Rect, State)
using TSelectCellEvent = TMethodOf<TObject*, int, int, bool&>;              // (Sender, ACol, ARow, var CanSelect)
using TMovedEvent = TMethodOf<TObject*, int, int>;                          // (Sender, FromIndex, ToIndex)
using TGetEditEvent = TMethodOf<TObject*, int, int, std::string&>;          // (Sender, ACol, ARow, var Value)
using TSetEditEvent = TMethodOf<TObject*, int, int, const std::string&>;
DECLARE_EVENT_NAME(TDrawCellEvent)
DECLARE_EVENT_NAME(TSelectCellEvent)
DECLARE_EVENT_NAME(TMovedEvent)
DECLARE_EVENT_NAME(TGetEditEvent)
DECLARE_EVENT_NAME(TSetEditEvent)

// The editor a grid shows over its current cell: a standard edit box owned by the grid.
class TInplaceEdit : public TWinControl {
    DECLARE_CLASS(TInplaceEdit, TWinControl)
public:
    explicit TInplaceEdit(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TInplaceEdit>& B);
    TCustomGrid* Grid() const { return FGrid; }
    void SetGrid(TCustomGrid* Value) { FGrid = Value; }
    // Shows the editor on a cell rectangle (grid client coordinates) with the cell's text.
    void Move(const TRect& Loc);
    void Hide();
    bool Visible() const { return FShown; }
    std::string EditText();
    void SetEditText(const std::string& Value);
    void SelectAll();
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMGetDlgCode(TMessage& Message);
    void CNCommand(TMessage& Message);
    void WMKillFocus(TMessage& Message);

private:
    TCustomGrid* FGrid = nullptr;
    bool FShown = false;
    bool FModified = false;
    bool FSettingText = false;
    int FMaxLength = 0;
};

class TCustomGrid : public TCustomControl {
    DECLARE_CLASS(TCustomGrid, TCustomControl)
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;
    static void DefineClass(TClassBuilder<TCustomGrid>& B);
    // The in-place editor goes before the other owned components, while the grid can still hide it.
    void BeforeDestruction() override;

    // Size
    int ColCount() const { return static_cast<int>(FColWidths.size()); }
    void SetColCount(int Value);
    int RowCount() const { return static_cast<int>(FRowHeights.size()); }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    bool TabStops(int Index) const;
    void SetTabStops(int Index, bool Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value) { SetGridOptions(Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }

    // Position and selection
    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    int VisibleColCount();
    int VisibleRowCount();
    TGridState GridState() const { return FGridState; }

    // Geometry: the rectangle of a cell in client coordinates (empty when not visible) and the cell
    // under a client point (-1 outside the cells).
    TRect CellRect(int ACol, int ARow);
    TGridCoord MouseCoord(int X, int Y);
    // Moves the current cell (MoveAnchor: the selection's anchor too; Show: scrolls it into view).
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);

    // The in-place editor
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;

    void InvalidateCell(int ACol, int ARow);
    void InvalidateCol(int ACol);
    void InvalidateRow(int ARow);
    void InvalidateGrid() { Invalidate(); }

protected:
    friend class TInplaceEdit;
    void Paint() override;
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
    // With DefaultDrawing, before DrawCell: the grid's font and the cell's background (fixed,
    // highlighted or normal).
    virtual void PrepareCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    virtual bool SelectCell(int ACol, int ARow);
    // Whether a press at (X, Y) starts sizing: the state (gsColSizing, gsRowSizing or gsNormal),
    // the column or row, the line's position and the press's offset from it. A press on a fixed
    // row's cell of a movable column that starts no sizing drags that column (gsColMoving).
    virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs);
    virtual TInplaceEdit* CreateEditor();
    virtual bool CanEditShow();
    virtual bool CanEditModify() { return true; }
    virtual bool CanEditAcceptKey(char Key) { (void)Key; return true; }
    virtual bool CanGridAcceptKey(Word Key, TShiftState Shift) { (void)Key, (void)Shift; return true; }
    virtual std::string GetEditText(int ACol, int ARow) { (void)ACol, (void)ARow; return std::string(); }
    virtual void SetEditText(int ACol, int ARow, const std::string& Value) { (void)ACol, (void)ARow, (void)Value; }
    virtual int GetEditLimit() { return 0; }
    // The editor's text changed (typed, not set by the grid).
    virtual void InplaceEditChanged() {}
    virtual void TopLeftChanged();
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount) { (void)OldColCount, (void)OldRowCount; }
    virtual void ColumnMoved(int FromIndex, int ToIndex) { OnColumnMoved(this, FromIndex, ToIndex); }
    virtual void RowMoved(int FromIndex, int ToIndex) { OnRowMoved(this, FromIndex, ToIndex); }
    virtual bool HighlightCell(int ACol, int ARow, const TRect& ARect);
    virtual void SetGridOptions(TGridOptions Value);
    virtual void ShowEditor();
    virtual void HideEditor();
    virtual void UpdateEdit();
    // Puts the editor's text into the cell (SetEditText) when it changed.
    void UpdateText();
    // Scrolling: the grid's own scroll bars by its top-left cell.
    virtual void UpdateScrollRange();
    virtual void UpdateScrollPos();
    // SetScrollInfo only when the bar's range, page or position changed: redrawing a bar costs
    // more than a scroll step of the data.
    void SetScrollBar(int Bar, int Min, int Max, int Page, int Pos);
    // Marks the bars for an update at the next paint (many steps between two paints set them once).
    void ScrollBarsChanged();
    virtual void ScrollData(int DX, int DY);
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    void MoveTopLeft(int ALeft, int ATop);
    // Keeps the current cell in view.
    void ClampInView(const TGridCoord& Coord);
    TGridCoord CalcMaxTopLeft();

    void CreateWnd() override;
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // A wheel notch the events leave unhandled moves the current row by the lines a notch scrolls.
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Resize() override;
    void DoExit() override;

    void WMGetDlgCode(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void WMVScroll(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMCancelMode(TMessage& Message);

    // The drawing state shared with descendants while painting.
    TGridCoord FCurrent{1, 1};
    TGridCoord FAnchor{1, 1};
    TGridCoord FTopLeft{1, 1};
    TGridState FGridState = gsNormal;
    bool FEditorMode = false;
    TInplaceEdit* FInplaceEdit = nullptr;
    int FInplaceCol = -1, FInplaceRow = -1;

private:
    void ChangeSize(int NewColCount, int NewRowCount);
    void DoScroll(int Bar, int Code);
    int ColLeft(int ACol);  // left edge of a visible column, or -1
    int RowTop(int ARow);
    int FixedWidth() const;
    int FixedHeight() const;
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    void DrawGridLines(const TRect& R, bool Fixed, bool VertLine, bool HorzLine);

    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    std::vector<bool> FTabStops;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FGridLineWidth = 1;
    TColor FFixedColor = clBtnFace;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TScrollStyle FScrollBars = ssBoth;
    bool FDefaultDrawing = true;
    // Sizing and moving in progress
    int FSizingIndex = 0, FSizingPos = 0, FSizingOfs = 0;
    int FMoveIndex = 0, FMovePos = 0;  // the dragged column and where it goes
    bool FInScroll = false;
    SCROLLINFO FBarInfo[2]{};  // last set: [SB_HORZ], [SB_VERT]
    bool FBarsStale = false;
};

// A grid whose cells are drawn by OnDrawCell (on the cell's background when DefaultDrawing).
class TDrawGrid : public TCustomGrid {
    DECLARE_CLASS(TDrawGrid, TCustomGrid)
public:
    explicit TDrawGrid(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TDrawGrid>& B);
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
};
