// The tree list engine: a windowed control that shows a tree of nodes as rows under a header of
// bands and columns. The engine knows bands and columns only by index, through virtual operations
// with neutral answers; the column control answers them from its own band and column objects.
//
// What a descendant builds on:
//   - CreateNode makes every node (a text node in the column control); nodes are added with
//     Add/AddFirst/Insert (roots) and TdxTreeListNode::AddChild/AddChildFirst/InsertChild.
//   - The node data questions (GetNodeString, GetNodeValue, image indexes) and every band and
//     column question (GetVisibleBandCount, GetBandRowCount, GetColumnCountInRow, GetColumnAt,
//     GetColumnWidth, ...) are virtual; the engine's answers describe a control with no bands.
//   - A Layout is built per query (CalcLayout) from the metrics (CalcMetrics); GetHitInfo tells
//     what lies under a point, GetCellRect and GetEditorRect where a cell is.
//   - Bulk changes go between BeginUpdate and EndUpdate; the last EndUpdate re-lays out.
//   - FocusedColumn is a navigation index (header rows first, then bands, then positions).
// Start-up: LoadIndicatorImages() / FreeIndicatorImages() (the indicator glyphs are the bitmap
// resources "RODERA_ARROW" ... "RODERA_MULTIARROW").
#pragma once

#include "Controls.h"
#include "ImgList.h"
#include "Lists.h"
#include "SysUtils.h"
#include "Variants.h"
#include "dxCntner.h"
#include "dxEditor.h"
#include "DragDrop.h"

#include <functional>
#include <string>
#include <vector>

class TCustomdxTreeList;
class TdxTreeListNode;
class TStrings;
class TListBox;
class TPageControl;

DECLARE_EXCEPTION(EInvaliddxTreeListOperation, Exception);

// ---------------------------------------------------------------------------------------------
// Options and states

DECLARE_ENUM(TdxTreeListOption, toColumnSizing, toColumnMoving, toEditing, toTabs, toTabThroughRows, toRowSelect,
             toMultiSelect, toClickEdit, toPreview, toCellEndEllipsis, toAutoWidth, toMultiLevelSelect,
             toDragOutHides, toReserved13, toColumnSorting, toReserved15, toStoreInRegistry, toStoreInIniFile)
DECLARE_SET(TdxTreeListOptions, TdxTreeListOption)
DECLARE_ENUM(TdxTreeListOptionEx, txFocusCellUnhighlighted, txTextFlag, txProportionalBandColumns,
             txAutoPreviewLines, txBandSizing, txBandMoving, txArrowsWrapRows, txUpDownInBandRows, txReserved8,
             txEnterToNextCell, txEditOnKeyPress, txUnlimitedSizing, txDragScroll, txDragExpand,
             txDragExpandToggles, txCellAutoHeight, txSortHourGlass, txBandButton, txBandPanelSizing,
             txHeaderButton, txHeaderPanelSizing, txRowSizing, txMultiSort, txReserved23, txReserved24,
             txAutoHeaderPanelRowCount, txReserved26, txCaseSensitiveSort, txDragSelect, txIncrementalSearch,
             txHotTrack, txCtrlCCopies)
DECLARE_SET(TdxTreeListOptionsEx, TdxTreeListOptionEx)

inline constexpr TdxTreeListOptions dxDefaultOptions{toColumnSizing, toColumnMoving, toEditing, toTabThroughRows,
                                                     toRowSelect};
inline constexpr TdxTreeListOptionsEx dxDefaultOptionsEx{txTextFlag,  txProportionalBandColumns, txAutoPreviewLines,
                                                         txBandSizing, txBandMoving, txDragScroll, txDragExpand};

DECLARE_ENUM(TdxTreeListState, tsIdle, tsColumnSizing, tsEditing, tsColumnDragging, tsColumnDown, tsNodeDragging,
             tsNodeDown, tsHeaderButtonDown, tsBandSizing, tsBandDragging, tsBandDown, tsBandButtonDown,
             tsBandPanelSizing, tsHeaderPanelSizing, tsRowSizing, tsDropDownButtonDown, tsStatusButtonDown)

// What lies under a point.
DECLARE_ENUM(TdxTreeListHitKind, htNowhere, htHeader, htColumnEdge, htButton, htImage, htStateImage, htIndent, htCell,
             htRowRight, htOutside, htGroupPanel, htBandButton, htBand, htBandEdge, htHeaderButton, htIndicator,
             htNewItemRow, htGroupFooter, htFooter, htBandPanelEdge, htHeaderPanelEdge, htRowEdge, htPreview,
             htStatusPanel)

struct HitInfo {
    int X = 0, Y = 0;
    int Band = -1, Column = -1;
    TdxTreeListNode* Node = nullptr;
    int Row = -1, FooterRow = -1;
    TdxTreeListHitKind HitKind = htOutside;
};

// ---------------------------------------------------------------------------------------------
// The layout: built per paint, hit test or cell query

struct BandItem {
    int Band = -1;
    TRect Rect, ClipRect;
};

struct HeaderCell {
    int Column = -1, Band = -1, BandRow = 0, RowPosition = 0, RowSpan = 1;
    TRect Rect, ClipRect, BelowRect;
    bool FirstInRow = false, LastInRow = false, FirstOfAll = false, LastOfAll = false, MultiLine = false;
};

struct EmptyBandItem {
    int Band = -1;
    TRect Rect;
    bool Clipped = false;
};

struct RowItem {
    TdxTreeListNode* Node = nullptr;
    bool GroupRow = false, Selected = false;
    int Height = 0, FooterCount = 0, FooterHeight = 0, Tag = 0, PreviewLines = 0, TextLines = -1, TextLeft = 0;
    int Top = 0;  // client y of the row's top
};

struct Layout {
    TRect ClientRect, GroupPanelRect, BandPanelRect, BandButtonRect, HeaderPanelRect, HeaderButtonRect,
        NewItemRowRect, RowsRect, IndicatorRect, RightEmptyRect, EmptyAreaRect, FooterRect, StatusPanelRect,
        LeftFixedRect, RightFixedRect;
    int LeftFixedIndex = -1, RightFixedIndex = -1, LastScrolledBand = -1;
    int DataRight = 0, LastRowBottom = -1, FirstBandWidth = 0, GridLineWidth = 0;
    std::vector<BandItem> Bands;
    std::vector<HeaderCell> HeaderCells;
    std::vector<EmptyBandItem> EmptyBands;
    std::vector<RowItem> Rows;
};

// The painting record of one cell (filled by DrawCellEx, drawn by DrawCellViewData).
struct TdxTreeListCellViewData {
    HBRUSH Brush = nullptr;
    HFONT Font = nullptr;
    COLORREF BkColor = 0, TextColor = 0;
    TAlignment Alignment = taLeftJustify;
    std::string Text;
    int HighlightLength = 0;
    bool Selected = false, FocusCellUnhighlighted = false, LeftEdge = false, RightEdge = false, MultiLine = false,
         HighlightPass = false, EndEllipsis = false, ReadOnlyNewItemRow = false, Hot = false;
    TdxTreeListNode* Node = nullptr;
    int Value1 = 0, Value2 = 0;
    TColor HighlightColor = clHighlight;
    TRect Bounds;
};

// Kinds of cells the painter hands to the cell drawing operations.
enum TdxCellKind { ckData = 0, ckGroupFooter = 1, ckNewItemRow = 2, ckGroupRow = 3 };

// Indent parts of a row, x relative to the rows' left.
struct NodeIndentRects {
    TRect Indent, Button, StateImage, Image;
};

// ---------------------------------------------------------------------------------------------
// Nodes

class TdxTreeListNode : public TObject {
    DECLARE_CLASS(TdxTreeListNode, TObject)
public:
    using TCreateArg = TCustomdxTreeList;
    explicit TdxTreeListNode(TCustomdxTreeList* AOwner);
    ~TdxTreeListNode() override;

    void* Data = nullptr;
    bool Deleting = false;
    int CachedRowHeight = 0;
    int CachedLineCount = 0;

    TCustomdxTreeList* Owner() const { return FOwner; }
    TdxTreeListNode* Parent() const { return FParent; }
    TList* ChildList() const { return FChildList; }
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    bool HasChildren() const { return FHasChildren; }
    void SetHasChildren(bool Value);

    // Insertion: the new node is made by the owner's CreateNode and joins this node's children.
    TdxTreeListNode* AddChild();
    TdxTreeListNode* AddChildFirst();
    // Before is one of this node's children (null: at the end).
    TdxTreeListNode* InsertChild(TdxTreeListNode* Before);
    void DeleteChildren();
    void Expand(bool Recurse);

    int Count() const { return FChildList ? FChildList->Count() : 0; }
    TdxTreeListNode* Items(int Index) const;
    int IndexOf(TdxTreeListNode* Child) const;
    int Index() const;
    int Level() const;
    bool HasAsParent(TdxTreeListNode* Node) const;
    bool IsLast() const;
    bool IsVisible() const;
    TdxTreeListNode* GetFirstChild() const { return Items(0); }
    TdxTreeListNode* GetLastChild() const { return Items(Count() - 1); }
    TdxTreeListNode* GetNextSibling() const;
    TdxTreeListNode* GetPrevSibling() const;
    TdxTreeListNode* GetPriorNode() const;
    TdxTreeListNode* GetNext() const;
    TdxTreeListNode* GetPrev() const;
    TdxTreeListNode* GetNextVisible();
    TdxTreeListNode* GetPrevVisible();
    int GetAbsoluteIndex();

    bool Focused();
    void SetFocused(bool Value);
    bool Selected();
    void SetSelected(bool Value);
    int ImageIndex();
    void SetImageIndex(int Value);
    int SelectedIndex();
    void SetSelectedIndex(int Value);
    int StateIndex();
    void SetStateIndex(int Value);
    std::string Strings(int Column);
    void SetStrings(int Column, const std::string& Value);
    Variant Values(int Column);
    void SetValues(int Column, const Variant& Value);
    void MakeVisible();

private:
    friend class TCustomdxTreeList;
    // Links a new child at Index of this node's list (the list made on the first child).
    TdxTreeListNode* LinkChild(int Index);
    TCustomdxTreeList* FOwner = nullptr;
    TdxTreeListNode* FParent = nullptr;
    TList* FChildList = nullptr;
    bool FExpanded = false;
    bool FHasChildren = false;
    // Where Index() last found the node among its siblings (HintedIndexOf).
    int FIndexHint = -1;
};

using TdxTreeListNodeClass = TClassOf<TdxTreeListNode>;

// ---------------------------------------------------------------------------------------------
// Events

using TdxTreeListChangeNodeEvent = TMethodOf<TObject*, TdxTreeListNode*, TdxTreeListNode*>;
using TdxTreeListChangeColumnEvent = TMethodOf<TObject*, TdxTreeListNode*, int>;
using TdxTreeListNodeAllowEvent = TMethodOf<TObject*, TdxTreeListNode*, bool&>;
using TdxTreeListNodeEvent = TMethodOf<TObject*, TdxTreeListNode*>;
using TdxTreeListEditValidateEvent = TMethodOf<TObject*, std::string&, bool&>;
using TdxTreeListGetEditColorEvent = TMethodOf<TObject*, TColor&>;
using TdxTreeListHotCursorEvent = TMethodOf<TObject*, HitInfo, TCursor&>;
using TdxTreeListCompareEvent = TMethodOf<TObject*, TdxTreeListNode*, TdxTreeListNode*, int&>;
DECLARE_EVENT_NAME(TdxTreeListChangeNodeEvent)
DECLARE_EVENT_NAME(TdxTreeListChangeColumnEvent)
DECLARE_EVENT_NAME(TdxTreeListNodeAllowEvent)
DECLARE_EVENT_NAME(TdxTreeListNodeEvent)
DECLARE_EVENT_NAME(TdxTreeListEditValidateEvent)
DECLARE_EVENT_NAME(TdxTreeListGetEditColorEvent)
DECLARE_EVENT_NAME(TdxTreeListHotCursorEvent)
DECLARE_EVENT_NAME(TdxTreeListCompareEvent)

// ---------------------------------------------------------------------------------------------
// The engine

class TCustomdxTreeList : public TCustomdxContainer {
    DECLARE_CLASS(TCustomdxTreeList, TCustomdxContainer)
public:
    explicit TCustomdxTreeList(TComponent* AOwner);
    ~TCustomdxTreeList() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TCustomdxTreeList>& B);

    // --- Nodes (roots)
    TdxTreeListNode* Add();
    TdxTreeListNode* AddFirst();
    // Before is a root (null: at the end).
    TdxTreeListNode* Insert(TdxTreeListNode* Before);
    void ClearNodes();
    int GetRootCount() const { return FRootList->Count(); }
    TdxTreeListNode* GetRootNode(int Index) const;
    TdxTreeListNode* GetFirstRootNode() const { return GetRootNode(0); }
    TdxTreeListNode* GetLastRowNode() const;
    int IndexOfRoot(TdxTreeListNode* Node) const { return FRootList->IndexOf(Node); }
    TdxTreeListNode* GetNextVisibleNode(TdxTreeListNode* Node);
    bool IsNodeVisible(TdxTreeListNode* Node) const { return Node && Node->IsVisible(); }
    void MakeNodeVisible(TdxTreeListNode* Node);
    TList* OwnedObjects() const { return FOwnedObjects; }

    // --- Update brackets
    void BeginUpdate();
    void EndUpdate();
    int LockCount() const { return FLockCount; }
    int SelectionLockCount() const { return FSelectionLockCount; }
    int SearchLockCount() const { return FSearchLock; }
    bool ClearingNodes() const { return FClearingAll; }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    virtual void BeginSelectionUpdate();
    virtual void EndSelectionUpdate();

    // --- Rows and focus
    int GetRowCount();
    int GetRowIndex(TdxTreeListNode* Node);
    TdxTreeListNode* GetNodeAtRow(int Index);
    int GetFocusedRowIndex();
    bool IsRowCacheUsable() const;
    TdxTreeListNode* FocusedNode() const { return FFocusedNode; }
    void SetFocused(TdxTreeListNode* Node) { SetFocusedNode(Node, GetFocusedColumn(), true); }
    TdxTreeListNode* TopNode() const { return FTopNode; }
    int GetFocusedColumn();
    void SetFocusedColumn(int Index);
    int GetFocusedAbsoluteColumn();
    TdxTreeListNode* SelectionAnchor() const { return FSelectionAnchor; }
    TdxTreeListNode* SelectStartNode() const { return FSelectStartNode; }
    void MakeColumnVisible(int Column);
    void MakeBandVisible(int Band);
    void SetLeftCoord(int Value);
    int LeftCoord() const { return FLeftCoord; }
    int VisibleRowCount() const { return FVisibleRowCount; }
    void UpdateRowCacheFor(TdxTreeListNode* Node, bool Removing);
    int FindNodeInCache(TdxTreeListNode* Node) const;
    void ClearNodeReferences();
    // Rows from the focused node to the row count; the text of the header and of a node row.
    std::string GetHeaderText();
    std::string GetNodeText(TdxTreeListNode* Node);
    void CopyToClipboard();
    bool IsFirstNodeFocused();
    bool IsLastNodeFocused();
    virtual void CopyAllToStrings(TStrings* Strings);
    virtual void CopySelectedToStrings(TStrings* Strings);
    void SortNodeList(TList* List, int Column, bool Descending);
    // Moves Node inside its (sorted) sibling list to the place SortNodeList would give it; true
    // when it moved.
    bool PlaceNodeInSortedList(TdxTreeListNode* Node, int Column, bool Descending);
    bool IsFocusWithin();
    virtual bool IsFocusedOrEditing();

    // --- Metrics and layout
    void CalcMetrics();
    int GetRowHeight(TdxTreeListNode* Node, int ARowHeight, bool NoCache);
    void CalcLayoutAreas(Layout& L);
    void CalcLayout(Layout& L);
    void FreeLayout(Layout& L) { L = Layout(); }
    void GetCellRect(TdxTreeListNode* Node, int ColumnIndex, TRect& Rect);
    void GetEditorRect(TdxTreeListNode* Node, int ColumnIndex, TRect& Rect);
    NodeIndentRects CalcNodeIndentRects(TdxTreeListNode* Node, int Top, int Bottom, int FirstBandWidth);
    int GetVisibleColumn(int Index);
    int GetColumnNavigationIndex(int Column);
    virtual void GetHitInfo(TPoint P, HitInfo& Info);
    TdxTreeListNode* GetNodeAt(int X, int Y);
    static bool RangesIntersect(int A1, int A2, int B1, int B2);

    // --- Widths and row geometry
    int GetContentWidth();
    int GetBandDisplayWidth(int Band);
    int GetBandNaturalWidth(int Band);
    int GetBandMinDisplayWidth(int Band);
    int GetRowWidth(int Band, int Row);
    int GetRowMinWidth(int Band, int Row);
    int GetScrollableContentWidth();
    int GetScrollableWidth() { return GetScrollableRect().Width(); }
    TRect GetScrollableRect();
    TRect GetDataClientRect();
    int GetBandLeft(int Band);
    int GetVisibleColumnCount();
    int GetColumnLineCount(int Band, int Row, int Col);
    void ResizeBandAutoWidth(int Band, int Width);
    void ResizeColumnAutoWidth(int Column, int Width);
    void SetBandWidthScaled(int Band, int Width);
    void SetColumnWidthInRow(int Band, int Column, int Width);
    void GetBandSizingBounds(int Band, int X, int& Max, int& Min, int& Offset);
    void GetColumnSizingBounds(int Column, int X, int& Max, int& Min, int& Offset);
    void GetBandPanelSizingPos(int Y, int& Pos, int& Pos2);
    void GetHeaderPanelSizingPos(int Y, int& Pos, int& Pos2);
    void GetRowSizingBounds(TdxTreeListNode* Node, int Y, int& Max, int& Min);
    int GetBandRowCountAt(int Y);
    int GetHeaderRowCountAt(int Y);
    int CalcRowHeightFor(TdxTreeListNode* Node, int Height);
    int CalcBandPanelHeight(int RowCount) { return RowCount * FBandTextHeight + 5 + (Flat() ? 0 : 1); }
    void GetNodeIndent(TdxTreeListNode* Node, int& AIndent, int& TextLeft);
    int GetNodeTextWidth(TdxTreeListNode* Node);
    bool IsSingleLineAutoHeight();
    int GetGroupFooterLevel(TdxTreeListNode* Node, int Index);
    int CountGroupFooterRows(TdxTreeListNode* Node);
    int GetGroupFooterRowsBelow(TdxTreeListNode* Node, int Level);
    void GetGroupFooterRect(TdxTreeListNode* Node, int Index, TRect& Rect, const Layout& L, int RightGap, int Top);
    void GetNodeRowRect(TdxTreeListNode* Node, TRect& Rect);
    void GetNodeRowRectToBottom(TdxTreeListNode* Node, TRect& Rect);
    int GetLastPageTopIndex(int Index);
    void GetStatusButtonRect(TRect& Rect);
    static int AddTextMargin(int Height) { return Height + 3; }

    // --- In-place editing: one editor at a time for the focused cell
    // ShowEditor opens it (toEditing, no toRowSelect, a focused node, DoEditing allows);
    // HideEditor posts a modified value (OnEdited fires either way) and hides it; HideEditorOnExit
    // does the same without taking the focus back.
    void ShowEditor();
    // Ctrl+V (22) and Ctrl+X (24) reach the editor as paste and cut, any other key as a character.
    void ShowEditorWithKey(char Key);
    void ShowEditorWithMouse(int X, int Y);
    void ShowEditorSelected();
    void HideEditor();
    void HideEditorOnExit();
    void ResetEditorInfo();
    void ActivateEditor(bool Initial);
    void LoadEditor();
    void EndEditing(bool Refocus);
    void PostEditorValue();
    void RestartEditor();
    void KillEditorTimer();
    // Arms the delayed-edit timer (the double-click time) unless it runs or an editor is open.
    void StartEditorTimer();
    TdxInplaceEdit* InplaceEditor() const { return FInplaceEditor; }
    TdxTreeListNode* EditorNode() const { return FEditorNode; }
    int EditorColumn() const { return FEditorColumn; }
    // Set by a descendant while it handles its own exit: closing then never takes the focus back.
    bool Exiting = false;
    TdxTreeListState State() const { return FState; }
    void SetState(TdxTreeListState Value);
    TdxTreeListState PrevState() const { return FPrevState; }

    // --- Keyboard and mouse
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // Kind 0 first root, 1 previous row, 2 next node (Deep: depth-first through collapsed nodes),
    // 3 last row (Deep: down through last children).
    virtual TdxTreeListNode* GetNavigationNode(TdxTreeListNode* Node, int Kind, bool Deep);
    virtual void FocusNavigationNode(int Kind, bool Deep);
    void StepFocusedRow(int Delta, TShiftState Shift);
    void PageFocusedRow(int Delta);
    // The first tab-stop column from Start on (navigation order); past the end (or -1) when none.
    int FindTabStopColumn(int Start, bool Forward);
    void FocusPrevRowLastColumn();
    void FocusNextRowFirstColumn();
    // Moves the focus to the band row above or below; False when it wrapped (the row moves too).
    bool MoveInBandRows(bool Up);
    const HitInfo& DownHitInfo() const { return FDownHitInfo; }
    int PressedBand() const { return FPressedBand; }
    int PressedColumn() const { return FPressedColumn; }
    int SizingPos() const { return FSizingPos; }

    // --- Dragging: nodes through the framework's drag and drop, band and column headers to new
    // places (drop arrows, a delete cursor outside), the sizing line, and the full-scroll mode of
    // the middle button.
    struct HeaderDropTarget {
        int Band = -1, Col = -1, Row = -1, Column = -1;
    };
    virtual void StartBandDrag(int Band);
    virtual void StartColumnDrag(int Column);
    virtual void EndBandDrag(bool Drop);
    virtual void EndColumnDrag(bool Drop);
    void DragBandMove();
    void DragColumnMove();
    void DragHeaderMove(bool IsBand);
    void BeginHeaderDrag(TdxTreeListState DragState);
    // The shared end of a band or column header drag: clears the drag state and takes the pressed
    // and dragged items out of their fields; on a drop, gives the cursor and the place under it.
    bool FinishHeaderDrag(bool IsBand, bool Drop, int& Pressed, int& Dragged, TPoint& P, HeaderDropTarget& T);
    // Band: Target.Band is the drop position (-1 outside, -2 no move); column: all four fields
    // (Column -1 outside, -2 no move, -3 a place without a column). ScreenPoint receives the
    // arrows' top-left corner when a place was found.
    virtual void GetHeaderDropPosition(TPoint& ScreenPoint, HeaderDropTarget* Target, int Dragged, int Pressed,
                                       bool IsBand);
    virtual void GetHeaderDragCursor(TPoint P, TCursor& Cursor);
    virtual TDragImageList* CreateNodeDragImage(TdxTreeListNode* Node, int Column);
    void CreateBandDragImage(int Band);
    void CreateColumnDragImage(int Column);
    void FreeDragImages();
    void ToggleSizingLine();
    void ToggleDropArrows(bool CheckOverlap);
    void HideDragFeedback();
    void ShowDragFeedback();
    void SetDragTarget(TDragObject* Value);
    TDragImageList* GetDragImages() override { return DragImagesEnabled ? FDragImageList : nullptr; }
    TDragImageList* DragImageList() const { return FDragImageList; }
    bool DragImagesEnabled = true;
    int DragBand() const { return FDragBand; }
    int DragColumn() const { return FDragColumn; }
    bool ArrowsShown() const { return FArrowsShown; }
    TPoint ArrowPos() const { return FArrowPos; }
    TdxTreeListNode* DragNode() const { return FDragNode; }
    TdxTreeListNode* AutoExpandNode() const { return FAutoExpandNode; }
    void FullScroll();
    // The anchor bitmap for the scroll bars present, and the direction and speed (1..12) for a
    // screen point (direction 0 inside the dead zone, else 1 left, 2 up, 3 right, 4 down).
    static const char* FullScrollBitmapName(bool HasH, bool HasV);
    static void FullScrollDirection(TPoint Anchor, int AnchorWidth, bool HasH, bool HasV, TPoint P, int& Direction,
                                    int& Speed);
    static TCursor FullScrollCursor(int Direction, bool HasH, bool HasV);
    void FullScrollStep(int Direction);

    // --- Incremental search in the focused column
    bool StartSearch(int Column, const std::string& Text);
    void CheckSearchColumn();
    // Finds the next node whose text in the search column starts with Text (any case) and focuses
    // it; Direction 0 starts at the focused node, 1 steps backwards first, 2 forwards. A failed
    // search clears Text (ClearOnFail) or drops its last character.
    virtual void DoSearch(std::string& Text, int Direction, bool ClearOnFail);
    virtual bool FindNodeByText(int Column, const std::string& Text, TdxTreeListNode*& Node, int Direction);
    int SearchColumn() const { return FSearchColumn; }

    // --- Scrolling and repainting
    int GetTopIndex();
    void SetTopIndex(int Index);
    int CountRowsInHeight(TdxTreeListNode* Node, int Height, int& Partial, int& Full);
    int GetRowsScrollDistance(int Count);
    void ScrollRows(int DeltaY);
    virtual void GetVertScrollInfo(int& Min, int& Max, int& Page, int& Pos);
    void UpdateVertScrollBar();
    void UpdateHorzScrollBar();
    // LeftCoord for a thumb position: steps of 4 pixels, the last step exact.
    int HorzThumbPosition(int P);
    void InvalidateRow(TdxTreeListNode* Node);
    void InvalidateRect(const TRect& R);
    void Invalidate() override;
    void CheckScrollPositions();
    int GetMaxLeftCoord();
    TdxTreeListNode* GetTopNodeForRow(int Row);

    // --- Properties
    TdxTreeListOptions Options() const { return FOptions; }
    void SetOptions(TdxTreeListOptions Value);
    TdxTreeListOptionsEx OptionsEx() const { return FOptionsEx; }
    void SetOptionsEx(TdxTreeListOptionsEx Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    TFont* BandFont() const { return FBandFont; }
    void SetBandFont(TFont* Value);
    TFont* HeaderFont() const { return FHeaderFont; }
    void SetHeaderFont(TFont* Value);
    TFont* PreviewFont() const { return FPreviewFont; }
    void SetPreviewFont(TFont* Value);
    bool ShowBands() const { return FShowBands; }
    void SetShowBands(bool Value) { SetLayoutFlag(FShowBands, Value); }
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value) { SetLayoutFlag(FShowButtons, Value); }
    bool ShowFooter() const { return FShowFooter; }
    void SetShowFooter(bool Value) { SetLayoutFlag(FShowFooter, Value); }
    bool ShowGrid() const { return FShowGrid; }
    void SetShowGrid(bool Value) { SetLayoutFlag(FShowGrid, Value); }
    bool ShowHeader() const { return FShowHeader; }
    void SetShowHeader(bool Value) { SetLayoutFlag(FShowHeader, Value); }
    bool ShowIndicator() const { return FShowIndicator; }
    void SetShowIndicator(bool Value) { SetLayoutFlag(FShowIndicator, Value); }
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value) { SetLayoutFlag(FShowLines, Value); }
    bool ShowNewItemRow() const { return FShowNewItemRow; }
    void SetShowNewItemRow(bool Value) { SetLayoutFlag(FShowNewItemRow, Value); }
    bool ShowPreviewGrid() const { return FShowPreviewGrid; }
    void SetShowPreviewGrid(bool Value) { SetLayoutFlag(FShowPreviewGrid, Value); }
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value) { SetLayoutFlag(FShowRoot, Value); }
    bool ShowGroupFooter() const { return FShowGroupFooter; }
    void SetShowGroupFooter(bool Value) { SetLayoutFlag(FShowGroupFooter, Value); }
    bool GridStyle() const { return FGridStyle; }
    void SetGridStyle(bool Value) { SetLayoutFlag(FGridStyle, Value); }
    bool TreeStyle() const { return !FGridStyle; }
    int DrawStyle() const { return FDrawStyle; }  // 0 3-D, 1 flat, 2 ultra-flat
    void SetDrawStyle(int Value);
    bool Flat() const { return FDrawStyle != 0; }
    int ScrollBars() const { return FScrollBars; }  // 0 none, 1 horizontal, 2 vertical, 3 both
    void SetScrollBars(int Value);
    int BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(int Value);
    int RowHeight() const { return FRowHeight; }
    virtual void SetRowHeight(int Height);
    bool CustomRowHeight() const { return FCustomRowHeight; }
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    int Indent() const { return FIndent; }
    int TextHeight() const { return FTextHeight; }
    int BandPanelHeight() const { return FBandPanelHeight; }
    int HeaderPanelHeight() const { return FHeaderPanelHeight; }
    int HeaderRowHeight() const { return FHeaderRowHeight; }
    int IndicatorWidth() const { return FIndicatorWidth; }
    int FooterPanelHeight() const { return FFooterPanelHeight; }
    int FooterRowHeight() const { return FFooterRowHeight; }
    int GroupFooterRowHeight() const { return FGroupFooterRowHeight; }
    int NewItemRowHeight() const { return FNewItemRowHeight; }
    int PreviewLineHeight() const { return FPreviewLineHeight; }
    int ImageWidth() const { return FImageWidth; }
    int StateImageWidth() const { return FStateImageWidth; }
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    int PreviewLines() const { return FPreviewLines; }
    void SetPreviewLines(int Value);
    int PreviewIndent() const { return FPreviewIndent; }
    int CellAutoHeightMaxLines() const { return FCellAutoHeightMaxLines; }
    void SetCellAutoHeightMaxLines(int Value);
    bool NewItemRowFocused() const { return FNewItemRowFocused; }
    void SetNewItemRowFocused(bool Value);
    bool Searching() const { return FSearching; }
    const std::string& SearchText() const { return FSearchText; }
    void EndSearch();

    // Colours (defaults from the constructor)
    TColor ArrowColor = 0x00FF00;
    TColor BandColor = clBtnFace;
    TColor FixedSeparatorColor = clWindowFrame;
    TColor FooterCellColor = cl3DLight;
    TColor FooterCellTextColor = clWindowText;
    TColor GridLineShadowColor = clBtnShadow;
    TColor GridLineColor = clNone;
    TColor GroupNodeColor = clBtnFace;
    TColor GroupNodeTextColor = clNone;
    TColor HeaderColor = clBtnFace;
    TColor HighlightColor = clHighlight;
    TColor HighlightTextColor = clHighlightText;
    TColor HideSelectionColor = clBtnFace;
    TColor HideSelectionTextColor = clBtnText;
    TColor TreeLineColor = clGrayText;
    TColor SearchHighlightColor = clNone;
    TColor SearchHighlightTextColor = clNone;
    int TreeLineStyle = 1;
    bool HideSelection = true;
    bool HideFocusRect = true;
    bool ExpandOnDblClick = true;
    bool SearchAllNodes = true;
    int AutoExpandDelay = 500;

    // Events
    TdxTreeListChangeNodeEvent OnChangeNode;
    TdxTreeListChangeColumnEvent OnChangeColumn;
    TNotifyEvent OnTopNodeChanged;
    TdxTreeListNodeAllowEvent OnExpanding, OnCollapsing, OnEditing, OnCanSelectNode;
    TdxTreeListNodeEvent OnExpanded, OnCollapsed, OnDeletion, OnEdited, OnStartNodeDrag;
    TNotifyEvent OnEditChange;
    TdxTreeListEditValidateEvent OnEditValidate;
    TNotifyEvent OnLeftCoordChanged;
    TdxTreeListGetEditColorEvent OnGetEditColor;
    TdxTreeListHotCursorEvent OnGetHotCursor;
    TNotifyEvent OnSelectionChanged;
    TdxTreeListCompareEvent OnCompareNodes;

    // The editor's questions (the container's operations)
    bool CanEditorModify() override { return true; }
    bool IsEditorValidChar(char) override { return true; }
    bool IsClickActivation() override { return FOptions.Contains(toClickEdit); }
    bool WantsEditorTab() override { return FOptions.Contains(toTabs) && GetKeyState(VK_CONTROL) >= 0; }
    bool ContainerOption() override { return FOptions.Contains(toReserved13); }
    bool EditorOptionFlag() override { return FOptionsEx.Contains(txReserved24); }
    TdxPopupBorder EditorBorderKind() override { return FDrawStyle != 0 ? pbSingle : pbFrame3D; }
    TColor GetEditorColor() override;
    TFont* GetEditorFont() override;
    TdxEditStyle* CreateEditorStyle(TdxInplaceEdit* Edit) override;
    bool IsEditorKeyBlocked() override { return GetFocusedColumn() != FEditorStartColumn; }
    void FocusNextColumn(bool Backward) override;
    void EditorFocusChanged() override { InvalidateSelection(); }

    // The editing questions (a descendant loads and writes the cell's value)
    virtual bool CanShowEditor();
    virtual TdxInplaceEdit* FindEditor(int /*Column*/) { return FInplaceEditor; }
    virtual TdxInplaceEdit* CreateEditor(int Column);
    virtual void InitEditor(TdxInplaceEdit* Editor);
    virtual void GetEditorValue(TdxTreeListNode*, TdxInplaceEdit*, Variant& Value) { Value = std::string(); }
    virtual void ApplyEditorValue(TdxTreeListNode*, int, Variant& Value, TdxInplaceEdit*) { Value = std::string(); }
    virtual void GetEditorText(std::string& Text);
    virtual void SetEditorText(const std::string& Text);

    // =========================================================================================
    // Virtual operations with their neutral answers

    // Notifications and events
    virtual void CancelMode();
    virtual bool CanScroll() { return true; }
    virtual void NodeInserted(TdxTreeListNode* Node);
    // A node's string or value at Column was set through the node.
    virtual void NodeValueChanged(TdxTreeListNode*, int /*Column*/) {}
    virtual void LayoutDataChanged() {}
    virtual bool CanDblClick() { return true; }
    virtual bool NodeHasChildren(TdxTreeListNode* Node) { return Node->Count() > 0; }
    virtual void ClearCachedWidths() {}
    virtual void ClearRowCache();
    virtual void ResetRowHeights();
    virtual void DoCollapsed(TdxTreeListNode* Node) { OnCollapsed(this, Node); }
    virtual void DoEdited(TdxTreeListNode* Node) { OnEdited(this, Node); }
    virtual void DoExpanded(TdxTreeListNode* Node) { OnExpanded(this, Node); }
    virtual void DoCollapsing(TdxTreeListNode* Node, bool& Allow) { OnCollapsing(this, Node, Allow); }
    virtual void DoEditing(TdxTreeListNode* Node, bool& Allow) { OnEditing(this, Node, Allow); }
    virtual void DoExpanding(TdxTreeListNode* Node, bool& Allow) { OnExpanding(this, Node, Allow); }
    virtual void BandEdgeDblClick(int) {}
    virtual void ColumnEdgeDblClick(int) {}
    virtual void DoChangeColumn(TdxTreeListNode* Node, int Column) { OnChangeColumn(this, Node, Column); }
    virtual void DoLeftCoordChanged() { OnLeftCoordChanged(this); }
    virtual void DoChangeNode(TdxTreeListNode* OldNode, TdxTreeListNode* Node) { OnChangeNode(this, OldNode, Node); }
    // The column is the sender of both editor events.
    virtual void DoEditChange(TObject* Column) { OnEditChange(Column); }
    virtual void DoEditValidate(TObject* Column, std::string& ErrorText, bool& Accept) {
        OnEditValidate(Column, ErrorText, Accept);
    }
    virtual void RestoreStoredLayout() {}
    virtual void SaveStoredLayout() {}
    virtual void NodeDeleted(TdxTreeListNode* Node, TdxTreeListNode* PrevSiblingOrParent, bool WasVisible,
                             bool WasLastSibling, TdxTreeListNode* NextRow);
    virtual void DeleteNodeValue(TdxTreeListNode*, int) {}
    virtual void MetricsChanged() {}
    virtual void GetDataRect(TRect& Rect);
    virtual bool IsHotTrackCell(TdxTreeListNode*, int) { return FOptionsEx.Contains(txHotTrack); }
    virtual bool GetHeaderHotPart(int X, int Y, int& Part, int Column);
    virtual void LayoutChanged();
    virtual void RebuildLayoutLists(bool) {}
    virtual void ClearLayoutWidths() {}
    virtual void BuildRowCache();
    virtual bool CanCollapseFocused(TdxTreeListNode* Node);
    virtual bool IsEditorClick(int /*X*/, int /*Y*/, int /*Column*/, bool /*WasFocused*/) {
        return FOptions.Contains(toClickEdit);
    }
    virtual void InvalidateNode(TdxTreeListNode* Node, bool Recalc);
    virtual bool CanAutoSizeHeaderRows() { return true; }

    // Node data (abstract: the column control answers from its text nodes)
    virtual TdxTreeListNode* CreateNode() = 0;
    virtual int GetNodeImageIndex(TdxTreeListNode* Node) = 0;
    virtual int GetNodeSelectedIndex(TdxTreeListNode* Node) = 0;
    virtual int GetNodeStateIndex(TdxTreeListNode* Node) = 0;
    virtual void GetNodeValue(TdxTreeListNode* Node, int Column, Variant& Value) = 0;
    virtual void GetNodeString(TdxTreeListNode* Node, int Column, std::string& Text) = 0;
    virtual void GetNodeSortValue(TdxTreeListNode*, int, Variant& Value) { Value = std::string(); }
    virtual void SetFocusedNode(TdxTreeListNode* Node, int Column, bool MakeVisible);
    virtual void SetFocusedRowIndex(int Index);
    virtual void SetNodeImageIndex(TdxTreeListNode* Node, int Value) = 0;
    virtual void SetNodeSelectedIndex(TdxTreeListNode* Node, int Value) = 0;
    virtual void SetNodeStateIndex(TdxTreeListNode* Node, int Value) = 0;
    virtual void SetNodeString(TdxTreeListNode* Node, int Column, const std::string& Text) = 0;
    virtual void SetNodeValue(TdxTreeListNode* Node, int Column, const Variant& Value) = 0;
    virtual void SetTopNode(TdxTreeListNode* Node);

    // Bands and columns (the engine has none)
    virtual int GetGroupPanelHeight() { return 0; }
    virtual TAlignment GetBandAlignmentByIndex(int) { return taLeftJustify; }
    virtual int GetBandCollectionCount() { return 0; }
    virtual int GetBandIndexOfVisible(int Index) { return Index; }
    virtual std::string GetBandCaptionByIndex(int) { return std::string(); }
    virtual int GetBandWidthByIndex(int) { return 0; }
    virtual TAlignment GetBandAlignment(int) { return taLeftJustify; }
    virtual int GetVisibleBandCount() { return 0; }
    virtual int GetLeftFixedBand() { return -1; }
    virtual int GetRightFixedBand() { return -1; }
    virtual int GetBandMinWidth(int) { return 0; }
    virtual int GetBandWidth(int) { return 0; }
    virtual std::string GetBandCaption(int) { return std::string(); }
    virtual int GetFirstBandExtraWidth() { return 0; }
    virtual int GetVisibleBandIndex(int Index) { return Index; }
    virtual bool GetBandOnlyOwnColumns() { return false; }
    virtual int GetColumnCount() { return 0; }
    virtual int GetColumnAt(int, int, int) { return -1; }
    virtual TAlignment GetColumnHeaderAlignment(int) { return taLeftJustify; }
    virtual int GetColumnBandIndex(int) { return 0; }
    virtual int GetColumnDisplayWidth(int Column);
    virtual int GetColumnCountInRow(int, int) { return 0; }
    virtual int GetColumnColIndex(int) { return 0; }
    virtual int GetHeaderButtonState(int Column);
    virtual TBitmap* GetColumnHeaderGlyph(int) { return nullptr; }
    virtual int GetColumnHeaderMaxLineCount(int) { return 1; }
    virtual int GetColumnMinWidth(int) { return 0; }
    virtual int GetBandRowCount(int) { return 0; }
    virtual int GetColumnRowIndex(int) { return 0; }
    virtual int GetColumnSorted(int) { return 0; }
    virtual bool GetColumnTabStop(int) { return true; }
    virtual std::string GetColumnCaption(int) { return std::string(); }
    virtual std::string GetColumnFullCaption(int Column) { return GetColumnCaption(Column); }
    virtual int GetColumnWidth(int) { return 0; }
    virtual TColor GetColumnColor(int) { return Color(); }
    virtual TFont* GetColumnFont(int) { return Font(); }
    virtual bool ColumnHasOwnFont(int) { return false; }
    virtual bool ColumnHasHeaderGlyph(int) { return false; }
    virtual TAlignment GetCellAlignment(TdxTreeListNode*, int) { return taLeftJustify; }
    virtual std::string GetCellText(TdxTreeListNode*, int) { return std::string(); }
    virtual std::string GetNewItemRowText(int) { return std::string(); }
    virtual bool IsColumnMultiLine(int) { return false; }
    virtual bool CanEditNewItemRow() { return true; }
    virtual int GetIndicatorColumnWidth() { return 12; }
    virtual int GetColumnTextHeight(TCanvas* Canvas, int Column);
    virtual std::string GetPreviewText(TdxTreeListNode*) { return std::string(); }
    virtual int GetRowTag(TdxTreeListNode*, bool) { return 0; }
    virtual int GetNodeCellLineCount(TdxTreeListNode* Node, int& Height);
    virtual bool HasStatusButton() { return false; }
    virtual std::string GetStatusPanelText() { return std::string(); }
    virtual std::string GetStatusButtonHint() { return std::string(); }
    // Measures a cell's Text in Width pixels for automatic row heights (GridLines: both grid flags
    // are on; at most MaxLineCount lines, -1 for no limit); False when nothing was measured.
    virtual bool CalcCellTextHeight(TdxTreeListNode* /*Node*/, int /*Column*/, int& /*Height*/, int& /*LineCount*/,
                                    bool /*GridLines*/, bool /*FocusCellUnhighlighted*/, int /*MaxLineCount*/,
                                    int /*TextHeight*/, int /*Width*/, const std::string& /*Text*/) {
        return false;
    }
    virtual int GetMaxColumnTextHeight(TCanvas* Canvas);
    virtual int GetPreviewLineCount(TdxTreeListNode* Node);
    virtual int GetGridLineWidth() { return FGridLineWidth < 1 ? 1 : FGridLineWidth; }
    virtual void CalcHeaderPanelRowCount() {}
    virtual bool IsWholeRowNode(TdxTreeListNode*) { return false; }
    virtual TAlignment GetGroupFooterAlignment(TdxTreeListNode* Node, int Column) {
        return GetCellAlignment(Node, Column);
    }
    virtual std::string GetGroupFooterText(TdxTreeListNode*, int, int) { return std::string(); }
    virtual bool IsColumnFooterShown(int) { return false; }
    virtual int GetFooterRowCount() { return 0; }
    virtual bool IsLevelGroupFooter(int) { return false; }

    // Option tests
    virtual bool IsCaseSensitiveSort() { return FOptionsEx.Contains(txCaseSensitiveSort); }
    virtual bool IsAutoPreviewLines() { return FOptionsEx.Contains(txAutoPreviewLines); }
    virtual bool CanDragCopy() { return false; }
    virtual bool ShowHeaderButtons() { return false; }
    virtual bool IsAutoHeaderPanelRowCount() { return FOptionsEx.Contains(txAutoHeaderPanelRowCount); }
    virtual bool IsIncrementalSearch() { return FOptionsEx.Contains(txIncrementalSearch); }
    virtual bool IsColumnSorting() { return FOptions.Contains(toColumnSorting); }
    virtual bool IsOptionExFlag23() { return FOptionsEx.Contains(txReserved23); }
    virtual bool IsAutoWidth() { return FOptions.Contains(toAutoWidth); }
    virtual bool IsProportionalBandColumns() { return FOptionsEx.Contains(txProportionalBandColumns); }
    virtual bool IsOptionsFlag15() { return FOptions.Contains(toReserved15); }
    virtual bool IsOptionExFlag8() { return FOptionsEx.Contains(txReserved8); }
    virtual bool IsDragExpandToggles() { return FOptionsEx.Contains(txDragExpandToggles); }
    virtual bool IsCellEndEllipsis() { return FOptions.Contains(toCellEndEllipsis); }
    virtual bool IsDragExpand() { return FOptionsEx.Contains(txDragExpand); }
    virtual bool IsDragScroll() { return FOptionsEx.Contains(txDragScroll); }
    virtual bool IsEditing() { return FOptions.Contains(toEditing); }
    virtual bool IsEditOnKeyPress() { return FOptionsEx.Contains(txEditOnKeyPress); }
    virtual bool IsEnterToNextCell() {
        return FOptionsEx.Contains(txEnterToNextCell) && FOptionsEx.Contains(txEditOnKeyPress);
    }
    virtual bool IsDragOutHides() { return FOptions.Contains(toDragOutHides); }
    virtual bool IsMultiLevelSelect() { return FOptions.Contains(toMultiLevelSelect); }
    virtual bool IsStatusPanelShown() { return false; }
    virtual bool IsArrowsWrapRows() { return FOptionsEx.Contains(txArrowsWrapRows); }
    virtual bool HasHorzScrollBar() { return FScrollBars == 1 || FScrollBars == 3; }
    virtual bool IsDragSelect() {
        return FOptionsEx.Contains(txDragSelect) && (FOptions.Contains(toRowSelect) || !FOptions.Contains(toEditing));
    }
    virtual bool IsMultiSelect() { return FOptions.Contains(toMultiSelect); }
    virtual bool IsMultiSortOption() { return FOptionsEx.Contains(txMultiSort); }
    // The header click being handled asks to sort by one more column (Shift with txMultiSort).
    bool IsMultiSortClick() const { return FSortShift; }
    virtual bool IsNewItemRowFocused() { return FNewItemRowFocused; }
    virtual bool IsNewItemRowShown() { return FShowNewItemRow && FNewItemRowHeight > 0; }
    virtual bool IsCellAutoHeight() { return FOptionsEx.Contains(txCellAutoHeight) && FCellAutoHeightMaxLines != 0; }
    virtual bool IsRowSelect() { return FOptions.Contains(toRowSelect); }
    virtual bool IsSortHourGlass() { return FOptionsEx.Contains(txSortHourGlass); }
    virtual bool IsShowGroupFooter() { return FShowGroupFooter; }
    virtual bool IsPreview() { return FOptions.Contains(toPreview) && FPreviewLines != 0; }
    virtual bool IsRowHeightCached() { return true; }
    virtual bool IsTabThroughRows() { return FOptions.Contains(toTabThroughRows); }
    virtual bool IsUpDownInBandRows() { return FOptionsEx.Contains(txUpDownInBandRows); }
    virtual bool KeepBothScrollBars() { return false; }
    virtual bool HasVertScrollBar() { return FScrollBars == 2 || FScrollBars == 3; }
    virtual bool IsTextFlag() { return FOptionsEx.Contains(txTextFlag); }
    virtual bool IsBandButton() { return FOptionsEx.Contains(txBandButton); }
    virtual bool IsUnlimitedBandSizing(int) { return FOptionsEx.Contains(txUnlimitedSizing); }
    virtual bool IsBandPanelSizing() { return FOptionsEx.Contains(txBandPanelSizing); }
    virtual bool IsBandSizable(int) { return true; }
    virtual bool IsColumnFullWidthSizing() { return FOptionsEx.Contains(txProportionalBandColumns) && !FShowBands; }
    virtual bool IsHeaderButton() { return FOptionsEx.Contains(txHeaderButton); }
    virtual bool IsUnlimitedColumnSizing(int) { return FOptionsEx.Contains(txUnlimitedSizing); }
    virtual bool IsHeaderPanelSizing() { return FOptionsEx.Contains(txHeaderPanelSizing); }
    virtual bool IsColumnSizable(int) { return true; }
    virtual bool CanSizeColumn(int Column) { return FOptions.Contains(toColumnSizing) && IsColumnSizable(Column); }
    virtual bool IsRowSizing() { return FOptionsEx.Contains(txRowSizing); }
    virtual bool IsFocusCellUnhighlighted() { return FOptionsEx.Contains(txFocusCellUnhighlighted); }
    // A band's edge may be dragged.
    bool CanSizeBand(int Band) {
        return FOptionsEx.Contains(txBandSizing) && IsBandSizable(Band) &&
               (FShowBands || !IsProportionalBandColumns());
    }

    // Layout setters and header notifications (hooks of the column control)
    virtual void SetBandRowCount(int) {}
    virtual void SetBandWidth(int, int) {}
    virtual void SetHeaderPanelRowCount(int) {}
    virtual void SetColumnWidth(int, int) {}
    virtual void ScaleHiddenBandWidths(int, int) {}
    virtual void ScaleBandColumnWidths(int, int, int) {}
    virtual void DoBandButtonClick() {}
    virtual void DoBandClick(int) {}
    virtual void DoSizingEnded() {}
    virtual void DoHeaderButtonClick() {}
    virtual void DoColumnHeaderClick(int) {}
    virtual void DoDropDownButtonClick(int) {}
    virtual void DoStatusButtonClick() {}
    virtual int GetBandMaxRowCount() { return 5; }
    virtual int GetBandRowCountValue() { return 1; }
    virtual int GetHeaderPanelMaxRowCount() { return 4; }
    virtual int GetHeaderPanelRowCount() { return 1; }
    virtual int GetHeaderMinRowCount() { return 1; }
    virtual bool IsCustomizing() { return false; }
    virtual bool IsCustomizingColumns() { return false; }
    virtual std::string GetDragImageCellText(TdxTreeListNode* Node, int Column) { return GetCellText(Node, Column); }
    virtual bool CanDragBand(int) { return FOptionsEx.Contains(txBandMoving); }
    virtual bool CanDragColumn(int) { return FOptions.Contains(toColumnMoving); }
    virtual int GetFixedValue() { return 100; }
    virtual bool IsBandCustomizingDisabled(int) { return false; }
    virtual bool IsColumnCustomizingDisabled(int) { return false; }
    virtual bool CanShowBandInCustomizing(int) { return false; }
    virtual bool CanShowColumnInCustomizing(int) { return false; }
    virtual bool IsColumnVisible(int) { return true; }
    virtual void MoveBand(int /*From*/, int /*To*/) {}
    virtual void DoDragOverBand(TPoint, int, bool&) {}
    virtual void DoEndDragBand(TPoint, int, bool&, int&, int) {}
    virtual void HideBand(int) {}
    virtual void ShowBandAt(int /*Target*/, int /*Band*/) {}
    virtual void DoDragOverColumn(TPoint, int, bool&) {}
    virtual void DoEndDragColumn(TPoint, int, bool&, HeaderDropTarget&) {}
    virtual void MoveColumn(int /*Column*/, int /*Band*/, int /*Col*/, int /*Row*/) {}
    virtual void HideColumn(int) {}
    virtual void ShowColumnAt(int /*Band*/, int /*Row*/, int /*Column*/, int /*Col*/) {}
    virtual bool IsColumnLocked(int) { return false; }
    // The customizing form over which a header drop shows or hides (null when not shown).
    virtual TWinControl* CustomizingForm() { return nullptr; }
    virtual void DoStartNodeDrag(TdxTreeListNode* Node) { OnStartNodeDrag(this, Node); }
    virtual bool IsLastRow(TdxTreeListNode* Node);
    virtual bool IsFirstRow(TdxTreeListNode* Node) { return Node && Node == GetFirstRootNode(); }
    virtual int GetPartialRowCount() { return FPartialRowCount; }
    virtual void CalcVisibleRowCounts();
    virtual void UpdateScrollBars();
    virtual bool CanProcessKey(Word, TShiftState) { return true; }
    virtual void UpdateHotTrack(const HitInfo& Info);
    void ShowPanelButtonHint(bool Now);
    void HidePanelButtonHint();
    void HideUnneededScrollBars();
    // The hot cell or header part (0 none, 1 header, 2 its drop-down button).
    TdxTreeListNode* HotNode() const { return FHotInfo.Node; }
    int HotColumn() const { return FHotInfo.Column; }
    int HotHeaderPart() const { return FHotHeaderPart; }
    bool PanelButtonHot() const { return FPanelButtonHot; }
    virtual void DoGetHotCursor(const HitInfo& Info, TCursor& Cursor) { OnGetHotCursor(this, Info, Cursor); }
    virtual void DoNewItemRowEditing(bool&) {}
    virtual void InsertNewItemRow() {}

    // Selection (storage is the descendants')
    virtual bool CanChangeSelection() { return true; }
    virtual bool CanSelectNode(TdxTreeListNode* Node);
    virtual void ClearSelection();
    virtual int CompareWithAnchor(TdxTreeListNode* Node);
    virtual int GetSelectionCount() { return GetSelectedCount(); }
    virtual void DoSelectionChanged();
    virtual int GetSelectedCount() { return 0; }
    virtual TdxTreeListNode* GetSelectedNode(int) { return nullptr; }
    virtual void InvalidateSelection();
    virtual bool IsNodeSelected(TdxTreeListNode*) { return false; }
    virtual void SetNodeSelected(TdxTreeListNode*, bool) { DoSelectionChanged(); }
    virtual void SelectRange(TdxTreeListNode* FromNode, TdxTreeListNode* ToNode);
    virtual void SetSelectionAnchor(TdxTreeListNode* Node) { FSelectionAnchor = Node; }

    // Sorting
    virtual void ClearSortedColumns() {}
    virtual int CompareNodes(TdxTreeListNode* Node1, TdxTreeListNode* Node2);
    virtual void SortNodes(int Level, int Column, bool Descending);
    virtual int GetSortedColumnCount() { return 0; }
    virtual bool IsSortedColumnDescending(int) { return false; }
    virtual int GetSortedColumn(int Index) { return Index; }
    virtual bool CanMultiSort(int) { return IsMultiSortOption(); }

    // Custom drawing hooks
    virtual bool HasCustomDrawBand() { return false; }
    virtual bool HasCustomDrawCell() { return false; }
    virtual bool HasCustomDrawFooterCell() { return false; }
    virtual bool HasCustomDrawHeader() { return false; }
    virtual bool HasCustomDrawPreview() { return false; }
    virtual bool HasLevelColors() { return false; }
    virtual TColor GetGridLineDrawColor() { return GridLineColor == clNone ? GridLineShadowColor : GridLineColor; }
    virtual void DoCustomDrawBand(TCanvas*, int, bool&, TAlignment&, TFont*, TColor&, std::string&, const TRect&) {}
    virtual void DoCustomDrawHeader(TCanvas*, int, bool&, TAlignment&, TFont*, TColor&, std::string&, int&,
                                    const TRect&) {}
    virtual void DoCustomDrawCell(TCanvas*, const TRect&, TdxTreeListNode*, int, bool&, TAlignment&, TFont*, TColor&,
                                  std::string&, bool /*Selected*/, bool /*Focused*/) {}
    virtual void DoCustomDrawFooterCell(TCanvas*, const TRect&, TdxTreeListNode*, int, int, bool&, TAlignment&, TFont*,
                                        TColor&, std::string&) {}
    virtual void DoCustomDrawPreview(TCanvas*, const TRect&, bool&, TFont*, TColor&, TColor&, std::string&, bool,
                                     TdxTreeListNode*) {}
    virtual void GetLevelColor(int, TColor&) {}
    virtual bool IsHotCell(TdxTreeListNode* Node, int Column) {
        return Node && Node == FHotInfo.Node && Column == FHotInfo.Column;
    }
    virtual void DrawEmptyArea(TCanvas*, const TRect&, HBRUSH, HBRUSH) {}
    virtual void BeginCellDraw(TdxTreeListNode*) {}
    virtual void EndCellDraw(TdxTreeListNode*) {}
    virtual void DrawCell(TCanvas* Canvas, const TRect& Rect, bool RightFlag, bool LeftFlag, TdxCellKind Kind,
                          bool MultiLine, HBRUSH Brush, TColor AColor, bool Focused, bool Selected, int FooterRow,
                          int Column, TdxTreeListNode* Node);
    virtual void DrawCellEx(TCanvas* Canvas, const TRect& Rect, int Value1, int Value2, bool RightFlag, bool LeftFlag,
                            TdxCellKind Kind, bool MultiLine, HBRUSH Brush, COLORREF TextColor, TColor AColor,
                            bool Focused, bool Selected, int Column, TdxTreeListNode* Node);
    virtual void DrawPreview(TCanvas* Canvas, const TRect& Rect, bool Selected, HBRUSH Brush, COLORREF TextColor,
                             TColor AColor, TdxTreeListNode* Node);
    // The engine draws the record plainly: its background and its text.
    virtual void DrawCellViewData(HDC DC, const TRect& Rect, const TdxTreeListCellViewData& ViewData, int Column);
    TdxTreeListCellViewData& CellViewData() { return FCellViewData; }

    // Band bookkeeping the column control answers: every column's band index becomes Map(old index),
    // written to the columns directly; the band collection changed; the default layout is left.
    virtual void RemapColumnBands(const std::function<int(int)>& /*Map*/) {}
    virtual void BandsChanged() {}
    virtual void DisableDefaultLayout() {}

    // Extending a Shift range (set by keyboard steps, cleared by ClearSelection).
    bool ExtendingSelection = false;
    TdxTreeListNode* RangeFirstNode = nullptr;

protected:
    // The cursor the user set; a hot cell's cursor is assigned over it under FSettingHotCursor
    // (so that the column control does not take it for the user's).
    TCursor FOwnCursor = crDefault;
    bool FSettingHotCursor = false;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DoExit() override;
    void Resize() override;
    void Paint() override;
    void WMVScroll(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void WMGetDlgCode(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMCancelMode(TMessage& Message);
    void CMCancelMode(TMessage& Message);
    void WMDestroy(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMIMEStartComposition(TMessage& Message);
    void WMTimer(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMDesignHitTest(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void WndProc(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The parts of the handlers between their selection brackets.
    void HandleKeyDown(Word& Key, TShiftState Shift);
    bool HandleMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void HandleMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void InvalidateHeaderOf(int Column);
    void InvalidateBandOf(int Band);
    // Moves the sizing line to Pos limited to Min..Max, redrawing only on a change.
    void ClampSizingPos(int Pos, int Min, int Max);
    // Repaints a hot cell with the indent and images of its row, or a hot column header.
    void InvalidateHotCell(TdxTreeListNode* Node, int Column, int Part);
    void ImageListChanged(TObject* Sender);
    void TreeFontChanged(TObject* Sender);
    void SetLayoutFlag(bool& Field, bool Value);
    // Depth-first over all nodes (collapsed ones included), the node before its children.
    template <class F>
    void ForEachNode(F&& Fn) {
        for (int I = 0; I < FRootList->Count(); ++I)
            ForEachNodeFrom(static_cast<TdxTreeListNode*>(FRootList->Items(I)), Fn);
    }

    // Metrics (recomputed by CalcMetrics)
    int FGroupPanelHeight = 0, FBandPanelHeight = 0, FBandLineCount = 1, FBandTextHeight = 0;
    int FHeaderPanelHeight = 18, FHeaderLineCount = 1, FHeaderPanelRowCount = 1, FHeaderRowHeight = 18;
    int FNewItemRowHeight = 0, FNewItemRowSeparator = 6, FFixedBandLineWidth = 2;
    int FDefaultRowHeight = 18, FRowHeight = 18;
    bool FCustomRowHeight = false;
    int FGridLineWidth = 1, FTextHeight = 11, FCellAutoHeightMaxLines = -1, FPreviewLineHeight = 11;
    int FPreviewIndent = 20, FPreviewLines = 2, FIndicatorWidth = 0, FFooterRowHeight = 0;
    int FGroupFooterRowHeight = 0, FFooterPanelHeight = 0, FStatusPanelHeight = 0, FDigitWidth = 0;
    int FImageWidth = 0, FImageHeight = 0, FLeastImageHeight = 16, FIndent = 16, FStateImageWidth = 0,
        FStateImageHeight = 0;
    TRect FDropArrowRect{0, 0, 11, 36};

    TdxTreeListNode* FFocusedNode = nullptr;
    TdxTreeListNode* FTopNode = nullptr;
    TdxTreeListNode* FSelectStartNode = nullptr;
    TdxTreeListNode* FSelectionAnchor = nullptr;
    TdxTreeListNode* FDragNode = nullptr;
    TdxTreeListNode* FEditorNode = nullptr;
    int FEditorColumn = -1;
    int FEditorStartColumn = -1;
    TdxInplaceEdit* FInplaceEditor = nullptr;
    TdxTreeListState FPrevState = tsIdle;
    HitInfo FHotInfo;
    int FHotHeaderPart = 0;
    TPoint FNCPoint{-1, -1};
    bool FPanelButtonHot = false, FPanelButtonPressed = false;
    bool FHintShowing = false, FHintHiding = false;
    TdxContainerHintWindow* FHintWindow = nullptr;
    int FDropDownColumn = -1;
    int FFocusedColumn = -1;
    int FFocusedAbsoluteColumn = -1;
    int FLeftCoord = 0;
    int FPartialRowCount = 1, FVisibleRowCount = 1;
    TdxTreeListState FState = tsIdle;
    bool FNewItemRowFocused = false;
    bool FClickToEditPending = false;
    bool FSearching = false;
    std::string FSearchText;
    int FSearchColumn = -1;
    int FSearchLock = 0;
    HitInfo FDownHitInfo;
    TPoint FDownPos;
    int FPressedBand = -1, FPressedColumn = -1;
    bool FPressedShown = false;
    int FSizingPos = 0, FSizingStartPos = 0;
    bool FDeferredSelect = false, FCtrlShiftSelecting = false, FWasUnfocused = false;
    bool FSortShift = false, FSortCtrl = false;
    int FDragBand = -1, FDragColumn = -1;
    TDragImageList* FDragImageList = nullptr;
    TDragObject* FDragTarget = nullptr;
    TdxTreeListNode* FAutoExpandNode = nullptr;
    UINT_PTR FAutoExpandTimer = 0;
    TPoint FArrowPos{-100, -100};
    TRect FArrowRect;
    bool FArrowsShown = false;
    int FDragFeedbackLock = 0;
    void DoStartDrag(TDragObject*& DragObject) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    void CMDrag(TMessage& Message);
    void AutoExpandTimerFired();

private:
    template <class F>
    static void ForEachNodeFrom(TdxTreeListNode* Node, F& Fn) {
        Fn(Node);
        for (int I = 0; I < Node->Count(); ++I)
            ForEachNodeFrom(Node->Items(I), Fn);
    }
    friend class TdxTreeListNode;
    TdxTreeListNode* LinkRoot(int Index);
    void LinkNode(TdxTreeListNode* Node);
    // Row-cache fallbacks: walks over expanded nodes.
    int WalkRowIndex(TdxTreeListNode* Node);
    TdxTreeListNode* WalkNodeAtRow(int Index);
    void PrepareDestroy();
    int ColumnDisplayWidthInRow(int Column, int Band, int Row);
    void LayoutBands(Layout& L);
    void LayoutHeaderCells(Layout& L);
    void LayoutRows(Layout& L);
    void HitTestHeader(const Layout& L, HitInfo& Info);
    void HitTestRows(const Layout& L, HitInfo& Info);
    const HeaderCell* FindHeaderCell(const Layout& L, int Column) const;
    // Painting steps
    struct PaintBrushes;
    void PaintBands(const Layout& L, PaintBrushes& B);
    void PaintHeaders(const Layout& L, PaintBrushes& B);
    void PaintIndicator(const Layout& L, PaintBrushes& B);
    void PaintFooter(const Layout& L, PaintBrushes& B);
    void PaintStatusPanel(const Layout& L, PaintBrushes& B);
    void PaintRows(const Layout& L, PaintBrushes& B);
    void PaintRowIndent(const Layout& L, const RowItem& Row, PaintBrushes& B);
    void PaintGridLines(const Layout& L);
    bool IsCellHighlighted(const RowItem& Row, int Column, bool ControlFocused);
    void GetCellColors(bool Highlighted, bool ControlFocused, int Column, PaintBrushes& B, HBRUSH& Brush,
                       COLORREF& TextColor, TColor& BkColor);
    void DrawSearchHighlight(TCanvas* Canvas, const TRect& Rect, const std::string& Text, TAlignment Alignment,
                             TColor CellColor);
    TdxTreeListCellViewData FCellViewData;
    int MeasureTextHeight(TFont* AFont, const char* Text = "Wg", int* Width = nullptr);

    TList* FRootList = nullptr;
    TList* FOwnedObjects = nullptr;
    int FLockCount = 0;
    std::vector<TdxTreeListNode*> FRowNodes, FRowNodeKeys;
    std::vector<int> FRowNodeIndexes;
    bool FRowCacheLists = false;
    bool FRowCacheValid = false;
    // The whole window waits for its paint: nothing was painted or validated since Invalidate().
    bool FWholeInvalid = false;
    TdxTreeListNode* FCacheChangeNode = nullptr;
    bool FCacheNeedsUpdate = false;
    bool FCacheRemoving = false;
    int FSelectionLockCount = 0, FSavedSelectionCount = 0;
    bool FClearingRows = false, FClearingAll = false;
    bool FInternalFontChange = false;

    TdxTreeListOptions FOptions = dxDefaultOptions;
    TdxTreeListOptionsEx FOptionsEx = dxDefaultOptionsEx;
    TFont* FBandFont = nullptr;
    TFont* FHeaderFont = nullptr;
    TFont* FPreviewFont = nullptr;
    TFont* FSavedFont = nullptr;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    TChangeLink* FImageChangeLink = nullptr;
    TChangeLink* FStateChangeLink = nullptr;
    bool FShowBands = false, FShowButtons = true, FShowFooter = false, FShowGrid = false, FShowHeader = true,
         FShowIndicator = false, FShowLines = true, FShowNewItemRow = false, FShowPreviewGrid = true,
         FShowRoot = true, FShowGroupFooter = false, FGridStyle = false;
    int FDrawStyle = 0;
    int FScrollBars = 3;
    int FBorderStyle = 1;
};

// ---------------------------------------------------------------------------------------------
// Bands: named groups of columns side by side above the column headers

DECLARE_ENUM(TroDeraBandFixed, bfNone, bfLeft, bfRight)

class TdxTreeListBand : public TCollectionItem {
    DECLARE_CLASS(TdxTreeListBand, TCollectionItem)
public:
    explicit TdxTreeListBand(TCollection* ACollection);
    ~TdxTreeListBand() override;
    static void DefineClass(TClassBuilder<TdxTreeListBand>& B);
    void Assign(TPersistent* Source) override;
    void SetIndex(int Value) override;
    virtual void RestoreDefaults();

    TCustomdxTreeList* TreeList() const;
    int VisibleIndex() const;
    int RowCount() const;
    int ColumnCountInRow(int Row) const;
    // The column index at that row and position, -1 when none.
    int ColumnAt(int Row, int Col) const;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool DisableCustomizing() const { return FDisableCustomizing; }
    void SetDisableCustomizing(bool Value);
    bool DisableDragging = false;
    TroDeraBandFixed Fixed() const { return FFixed; }
    void SetFixed(TroDeraBandFixed Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    bool OnlyOwnColumns = false;
    bool Sizing() const { return FSizing; }
    void SetSizing(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);

private:
    friend class TdxTreeListBands;
    TAlignment FAlignment = taCenter;
    std::string FCaption;
    bool FDisableCustomizing = false;
    TroDeraBandFixed FFixed = bfNone;
    int FMinWidth = 30;
    bool FSizing = true;
    bool FVisible = true;
    int FWidth = 250;
};

class TdxTreeListBands : public TCollection {
    DECLARE_CLASS(TdxTreeListBands, TCollection)
public:
    explicit TdxTreeListBands(TCustomdxTreeList* ATreeList, TCollectionItemClass ItemClass = TdxTreeListBand::StaticClass());
    TdxTreeListBand* Add() { return static_cast<TdxTreeListBand*>(TCollection::Add()); }
    TdxTreeListBand* Items(int Index) const { return static_cast<TdxTreeListBand*>(TCollection::Items(Index)); }
    TPersistent* GetOwner() override;
    TCustomdxTreeList* TreeList() const { return FTreeList; }
    int GetAbsoluteIndex(int VisibleIndex) const;
    int GetVisibleIndex(int Index) const;
    int VisibleCount() const;
    TdxTreeListBand* VisibleItems(int VisibleIndex) const;
    void RepairFixedBands();

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomdxTreeList* FTreeList;
};

// ---------------------------------------------------------------------------------------------
// Editors of a tree list: distinct classes, so that the control reuses an editor only of its own
// class; their style follows the list's look unless told otherwise.

class TdxInplaceTreeListTextEdit : public TdxInplaceTextEdit {
    DECLARE_CLASS(TdxInplaceTreeListTextEdit, TdxInplaceTextEdit)
public:
    using TdxInplaceTextEdit::TdxInplaceTextEdit;
};

class TdxInplaceTreeListMaskEdit : public TdxInplaceMaskEdit {
    DECLARE_CLASS(TdxInplaceTreeListMaskEdit, TdxInplaceMaskEdit)
public:
    using TdxInplaceMaskEdit::TdxInplaceMaskEdit;
};

class TdxTreeListEditStyle : public TdxEditStyle {
    DECLARE_CLASS(TdxTreeListEditStyle, TdxEditStyle)
public:
    TdxTreeListEditStyle(TdxInplaceEdit* AEdit, TCustomdxTreeList* ATreeList);
    TCustomdxTreeList* TreeList;

protected:
    TColor DefaultBorderColor() const override { return clWindowFrame; }
    // No border over grid lines: the cell's own lines frame the editor.
    TdxEditBorderStyle DefaultBorderStyle() const override;
    TdxEditButtonViewStyle DefaultButtonStyle() const override;
    TdxEditButtonTransparence DefaultButtonTransparence() const override { return ebtNone; }
    TdxEditEdges DefaultEdges() const override { return TdxEditEdges{edgLeft, edgTop, edgRight, edgBottom}; }
    bool DefaultHotTrack() const override { return false; }
    bool DefaultShadow() const override { return false; }
};

// Button look of a draw style: 3-D, flat, hot flat.
TdxEditButtonViewStyle TreeListButtonStyle(int DrawStyle);
// The delayed-edit timer's id while it runs on some tree list, else -1.
extern int EditorTimerId;

// ---------------------------------------------------------------------------------------------
// Free routines of the unit

bool IsPointRect(const TRect& R);
inline int MaxOf(int A, int B) { return A > B ? A : B; }
[[noreturn]] void RaiseTreeListError(const std::string& Message);
bool SameTextIgnoreCase(const std::string& S1, const std::string& S2);
// Lines Text needs when wrapped into Width - WidthOffset (Height gets their height + 3).
int CalcTextLineCount(const std::string& Text, int Width, int LineHeight, int& Height, int WidthOffset, bool FullInset,
                      TFont* Font, int MaxLines);

// Sort comparisons: < 0, 0, > 0.
int CompareVariants(const Variant& A, const Variant& B);
int CompareTreeOrder(TdxTreeListNode* NodeA, TdxTreeListNode* NodeB);

// Shared images: the indicator glyphs (glyph k > 0 is image k - 1), the 12 x 12 expand-button
// bitmaps and the background kept under the header drop arrows.
extern TImageList* IndicatorImages;
extern TBitmap* PlusBitmap;
extern TBitmap* MinusBitmap;
extern TBitmap* DropArrowBackground;
void LoadIndicatorImages();
void FreeIndicatorImages();
// The screen copy kept under the header drop arrows.
void FreeTreeListDragBitmap();
void BuildExpandButtonBitmaps();
void DrawExpandButtonBitmap(TBitmap* Bitmap, const TRect& Rect, bool Plus);

// Painters. Style: 0 3-D, 1 flat, 2 ultra-flat. Kind: edge kind of a header cell in its band row
// (0 alone, 1 last, 2 first, 3 middle). Drop-down button state bits: 1 shown, 2 hot, 4 pressed,
// 8 active. Sorted: 0 none, 1 ascending, 2 descending.
void DrawImageCentered(TCanvas* Canvas, const TRect& Rect, TCustomImageList* ImageList, int Index);
void DrawBitmapCentered(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap);
void DrawTreeButton(HDC DC, const TRect& Rect, int CenterY, bool Plus);
void DrawBitmapButton(TCanvas* Canvas, const TRect& Rect, bool Plus);
void DrawFlatButton(HDC DC, const TRect& Rect, bool Plus);
void DrawSortArrow(HDC DC, const TRect& Rect, bool Up);
// Draws the edge and the fill; Rect becomes the area inside the edge.
void DrawHeaderEdge(HDC DC, TRect& Rect, HBRUSH Brush, int Style, int Kind, bool Pressed);
void DrawHeaderButton(HDC DC, TRect Rect, HBRUSH Brush, int Style, int Kind, bool Pressed);
void DrawDropDownButton(HDC DC, const TRect& Rect, int State);
void DrawHeaderCell(HDC DC, TRect Rect, HBRUSH Brush, int ButtonState, int Style, int Kind, TBitmap* Glyph, int Sorted,
                    TAlignment Alignment, bool MultiLine, bool Pressed, const std::string& Text);
// DrawHeaderCell composed in Bitmap (grown to the cell as needed) and copied to DC within ClipRect;
// the font and text colour are the DC's.
void DrawHeaderCellBuffered(HDC DC, const TRect& Rect, const TRect& ClipRect, HBRUSH Brush, int ButtonState, int Style,
                            int Kind, TBitmap* Glyph, int Sorted, TAlignment Alignment, bool MultiLine, bool Pressed,
                            const std::string& Text, TBitmap* Bitmap);
void DrawIndicatorCell(HDC DC, const TRect& Rect, const TRect& ClipRect, int Style, int Glyph, HBRUSH Brush);
void DrawVisibleFocusRect(HDC DC, const TRect& Rect);
void DrawInvertedFrame(HDC DC, const TRect& R);

// Drag timers (timer id 1) and their bookkeeping; a handle of -1 means not running.
extern UINT_PTR HorzDragScrollTimer;
extern UINT_PTR VertDragScrollTimer;
extern bool HorzDragScrollLeft;
extern bool VertDragScrollUp;
void CALLBACK HorzDragScrollTimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);
void CALLBACK VertDragScrollTimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);
void CALLBACK DragSelectTimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);
// A cell's background and text, 2 pixels in from the sides.
void DrawTreeCellText(HDC DC, const TRect& Rect, HBRUSH Brush, COLORREF TextColor, const std::string& Text,
                      TAlignment Alignment, bool MultiLine, bool EndEllipsis);
// A preview's background and word-wrapped text, Indent pixels in from the left.
void DrawPreviewText(HDC DC, const TRect& Rect, HBRUSH Brush, COLORREF TextColor, const std::string& Text, int Indent,
                     HFONT Font);

// ---------------------------------------------------------------------------------------------
// Columns and the column-based control

class TCustomdxTreeListControl;
class TdxRegIniWrapper;

DECLARE_ENUM(TdxTreeListColumnSort, csNone, csDown, csUp)

class TdxTreeListColumn;

// Events of the column control and its columns (var parameters by reference, in the order given).
using TdxTLGetNodeIndexEvent = TMethodOf<TObject*, TdxTreeListNode*, int&>;
// (Sender, ABand, ACanvas, ARect, AText, AColor, AFont, AAlignment, ADone)
using TdxTLCustomDrawBand =
    TMethodOf<TObject*, TdxTreeListBand*, TCanvas*, TRect, std::string&, TColor&, TFont*, TAlignment&, bool&>;
// (Sender, AColumn, ACanvas, ARect, AText, AColor, AFont, AAlignment, ASorted, ADone)
using TdxTLCustomDrawHeader = TMethodOf<TObject*, TdxTreeListColumn*, TCanvas*, TRect, std::string&, TColor&, TFont*,
                                        TAlignment&, TdxTreeListColumnSort&, bool&>;
// (Sender, ACanvas, ARect, ANode, AColumn, ASelected, AFocused, ANewItemRow, AText, AColor, AFont, AAlignment, ADone)
using TdxTLCustomDrawCell = TMethodOf<TObject*, TCanvas*, TRect, TdxTreeListNode*, TdxTreeListColumn*, bool, bool, bool,
                                      std::string&, TColor&, TFont*, TAlignment&, bool&>;
// (Sender, ACanvas, ARect, ANode, AColumn, AFooterIndex, AText, AColor, AFont, AAlignment, ADone)
using TdxTLCustomDrawFooterNode = TMethodOf<TObject*, TCanvas*, TRect, TdxTreeListNode*, TdxTreeListColumn*, int,
                                            std::string&, TColor&, TFont*, TAlignment&, bool&>;
// (Sender, ACanvas, ARect, ANode, AColumn, AText, AColor, AFont, AAlignment, ADone)
using TdxTLCustomDrawFooter = TMethodOf<TObject*, TCanvas*, TRect, TdxTreeListNode*, TdxTreeListColumn*, std::string&,
                                        TColor&, TFont*, TAlignment&, bool&>;
// (Sender, ACanvas, ARect, ANode, ASelected, AText, AColor, ATextColor, AFont, ADone)
using TdxTLCustomDrawPreviewCell =
    TMethodOf<TObject*, TCanvas*, TRect, TdxTreeListNode*, bool, std::string&, TColor&, TColor&, TFont*, bool&>;
using TdxTLGetLevelColorEvent = TMethodOf<TObject*, int, TColor&>;
using TdxTLColumnHasFooterEvent = TMethodOf<TObject*, int, bool&>;
using TdxTLBandAllowEvent = TMethodOf<TObject*, TdxTreeListBand*, bool&>;
using TdxTLBandEvent = TMethodOf<TObject*, TdxTreeListBand*>;
using TdxTLDragOverBandEvent = TMethodOf<TObject*, TdxTreeListBand*, TPoint, bool&>;
// (Sender, ABand, P, ABandIndex (collection), AFrom (pressed position, -1 from the customizing form), ATo, AAccept)
using TdxTLEndDragBandEvent = TMethodOf<TObject*, TdxTreeListBand*, TPoint, int, int, int&, bool&>;
using TdxTLShowBandEvent = TMethodOf<TObject*, TdxTreeListBand*, int>;
using TdxTLColumnAllowEvent = TMethodOf<TObject*, TdxTreeListColumn*, bool&>;
using TdxTLColumnEvent = TMethodOf<TObject*, TdxTreeListColumn*>;
using TdxTLDragOverColumnEvent = TMethodOf<TObject*, TdxTreeListColumn*, TPoint, bool&>;
// (Sender, AColumn, P, ATarget (the drop position in its header row, -1 outside), AAccept)
using TdxTLEndDragColumnEvent = TMethodOf<TObject*, TdxTreeListColumn*, TPoint, int, bool&>;
// (Sender, AColumn, ABandIndex (visible), ARowIndex, AColIndex)
using TdxTLShowColumnEvent = TMethodOf<TObject*, TdxTreeListColumn*, int, int, int>;
using TdxTLGetColumnSortedEvent = TMethodOf<TObject*, TdxTreeListColumn*, TdxTreeListColumnSort&>;
using TdxTLColumnPositionEvent = TMethodOf<TObject*, int, int>;
// (Sender, ACanvas, ARect, ANode, AColumn, AText, AFont, AColor, ASelected, AFocused, ADone)
using TdxTLCustomDrawEvent = TMethodOf<TObject*, TCanvas*, TRect, TdxTreeListNode*, TdxTreeListColumn*,
                                       const std::string&, TFont*, TColor&, bool, bool, bool&>;
// (Sender, ACanvas, ARect, ANode, ASelected, AText, ADone)
using TdxTLCustomDrawPreviewEvent =
    TMethodOf<TObject*, TCanvas*, TRect, TdxTreeListNode*, bool, const std::string&, bool&>;
// (Sender, X, Y, AColumn, ATarget)
using TdxTLEndColumnDragPosEvent = TMethodOf<TObject*, int, int, TdxTreeListColumn*, int&>;
// (Sender, ANode, AColumn, AText, AWidth, ATextHeight, AMaxLineCount, AOption, AGridLines, ALineCount, AHeight,
// ADone)
using TdxTLCalcCellHeightEvent = TMethodOf<TObject*, TdxTreeListNode*, TdxTreeListColumn*, const std::string&, int, int,
                                           int, bool, bool, int&, int&, bool&>;
using TdxTLGetDragCellTextEvent = TMethodOf<TObject*, TdxTreeListNode*, TdxTreeListColumn*, std::string&>;

// A node that keeps its cell strings by data index, and its own image indexes.
class TdxTreeListTextNode : public TdxTreeListNode {
    DECLARE_CLASS(TdxTreeListTextNode, TdxTreeListNode)
public:
    explicit TdxTreeListTextNode(TCustomdxTreeList* AOwner);
    ~TdxTreeListTextNode() override;
    int FImageIndex = 0, FSelectedIndex = -1, FStateIndex = -1;
    TStringList* Texts() const { return FStrings; }

private:
    TStringList* FStrings;
};

// One data cell of every row: caption and header look, width and place in the header (band,
// header row, position), sort state, and the editor that edits its cells. Values that were never
// set answer their defaults and are not written to the form.
class TdxTreeListColumn : public TComponent {
    DECLARE_CLASS(TdxTreeListColumn, TComponent)
public:
    explicit TdxTreeListColumn(TComponent* AOwner);
    ~TdxTreeListColumn() override;
    static void DefineClass(TClassBuilder<TdxTreeListColumn>& B);
    void Assign(TPersistent* Source) override;

    TCustomdxTreeListControl* TreeList() const { return FTreeList; }
    void SetTreeList(TCustomdxTreeListControl* Value);
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }
    void SetParentComponent(TComponent* Value) override;

    virtual TdxInplaceEditClass GetEditorClass();
    virtual void InitEditProperties(TdxInplaceEdit* Editor);
    virtual void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value);
    virtual void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value);
    virtual bool CanEdit() { return !DisableEditor; }
    virtual int GetDataIndex();
    // Set by a column kind that lends its data to another column (-1: the column's own place).
    int DataIndexOverride = -1;
    virtual int GetDefaultWidth() { return 100; }
    // The node's string at the column's data index.
    virtual void GetCellText(TdxTreeListNode* Node, std::string& Text);
    // Place in the control's sort list (-1: not sorted).
    int GetSortIndex();
    // Width back to the default unless set.
    void SyncWidth() {
        if (!FWidthAssigned)
            FWidth = GetDefaultWidth();
    }
    // Questions the control passes on for the column's cells and header (column kinds answer them).
    virtual bool IsHotTrackCell(int /*X*/, int /*Y*/, int& /*Kind*/, TdxTreeListNode*) { return false; }
    virtual bool CanShowFilterButton(int /*X*/, int /*Y*/, int& /*Kind*/);
    virtual bool IsMultiLineCell() { return false; }
    virtual bool ShowEditorOnClick(int /*X*/, int /*Y*/, bool /*IsFocusedNode*/) { return false; }
    virtual void GetHotCursor(TdxTreeListNode*, TCursor&) {}
    virtual int GetCellMinHeight(TCanvas*) { return 0; }
    // The width a node's cell text needs (after the case conversion), for best fit.
    virtual int GetBestFitWidth(TCanvas* Canvas, TdxTreeListNode* Node);
    virtual std::string GetDefaultCaption() { return std::string(); }
    virtual TAlignment GetDefaultAlignment() { return taLeftJustify; }
    virtual int GetDefaultMaxLength() { return 0; }
    virtual bool GetDefaultReadOnly() { return false; }
    virtual void RestoreDefaults();
    virtual void SetIndex(int Value);
    int Index();
    void EditChanged(TObject* Sender);
    void EditValidate(TObject* Sender, std::string& ErrorText, bool& Accept);

    std::string Caption();
    void SetCaption(const std::string& Value);
    TAlignment Alignment();
    void SetAlignment(TAlignment Value);
    // The default width (from the field, for data-aware columns) until a width is set.
    int Width() { return FWidthAssigned ? FWidth : std::max(GetDefaultWidth(), FMinWidth); }
    void SetWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int BandIndex() const { return FBandIndex; }
    void SetBandIndex(int Value);
    int RowIndex() const;
    void SetRowIndex(int Value);
    int StoredRowIndex() const { return FStoredRowIndex; }
    // The control's bookkeeping: no checks, no notice.
    void SetTreeListDirect(TCustomdxTreeListControl* Value) { FTreeList = Value; }
    void SetBandIndexDirect(int Value) { FBandIndex = Value; }
    // The control compacts header rows and loads layouts through this (no checks, no notice).
    void SetRowIndexDirect(int Row, int Stored) {
        FRowIndex = Row;
        FStoredRowIndex = Stored;
    }
    int ColIndex();
    void SetColIndex(int Value);
    TdxTreeListColumnSort Sorted() const { return FSorted; }
    void SetSorted(TdxTreeListColumnSort Value);
    // The data-aware control's sort reset: no sort-list change, no notice.
    void SetSortedDirect(TdxTreeListColumnSort Value) { FSorted = Value; }
    // Read-only when set so (or, never set, by default), or when the control edits nothing.
    bool ReadOnly();
    void SetReadOnly(bool Value);
    bool IsReadOnlyStored() { return FReadOnlyAssigned && FReadOnly != GetDefaultReadOnly(); }
    // The editor's text limit (0: none).
    int MaxLength() { return FMaxLengthAssigned ? FMaxLength : GetDefaultMaxLength(); }
    void SetMaxLength(int Value);
    bool IsMaxLengthStored() { return FMaxLengthAssigned && FMaxLength != GetDefaultMaxLength(); }
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    bool Sizing() const { return FSizing; }
    void SetSizing(bool Value);
    bool IsWidthAssigned() const { return FWidthAssigned; }
    bool IsAlignmentStored() const { return FAlignmentAssigned; }
    bool IsCaptionStored() { return FCaptionAssigned && FCaption != GetDefaultCaption(); }
    bool IsCaptionAssigned() const { return FCaptionAssigned; }
    // Writes the width without a layout change (the control's sizing).
    void StoreWidth(int Value) {
        FWidth = std::max(Value, FMinWidth);
        FWidthAssigned = true;
    }
    void NotifyChange(bool KeepWidth);

    TAlignment HeaderAlignment = taLeftJustify;
    bool DisableCaption = false, DisableCustomizing = false, DisableDragging = false, DisableEditor = false;
    // Published by the grid column kinds; a column that disables filtering has no header button.
    bool DisableFilter = false;
    bool TabStop = true;
    int HeaderMaxLineCount = 1;
    TEditCharCase CharCase = ecNormal;
    char PasswordChar = 0;
    // The sort position read from a stored layout (-1 none).
    int PendingSortOrder = -1;
    TNotifyEvent OnChange;
    TdxTreeListEditValidateEvent OnValidate;
    TdxTLCustomDrawCell OnCustomDrawCell;
    TdxTLCustomDrawHeader OnCustomDrawColumnHeader;
    // Runs after every rename (not published).
    TNotifyEvent OnNameChanged;

    // Cell colour and font: the control's until set here (the font follows the control's font
    // until it is changed); the header glyph is made on first use, nil frees it.
    TColor Color();
    void SetColor(TColor Value);
    bool IsColorStored();
    TFont* Font();
    void SetFont(TFont* Value);
    bool IsFontAssigned() const { return FFontAssigned; }
    void SyncFont();
    TBitmap* HeaderGlyph();
    void SetHeaderGlyph(TBitmap* Value);
    bool HasHeaderGlyph() const { return FHeaderGlyph != nullptr; }

    // Painting: cells without the live editor are painted by the column's editor class from the
    // column's view data (made on first use, of the class the editor class names).
    TTextLayout VertAlignment = tlTop;
    TdxEditViewData* ViewData();
    // Fills ViewData from the control's cell record (a search-highlight pass draws only the
    // highlighted prefix, transparently over the painted cell).
    virtual void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell);
    virtual bool IsCustomDrawCellAssigned() { return OnCustomDrawCell.Assigned(); }
    virtual void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node, bool Selected,
                                  bool Focused, bool NewItemRow, std::string& Text, TColor& Color, TFont* Font,
                                  TAlignment& Alignment, bool& Done);
    // The top and bottom lines of Rect, and the left and right ones when asked, filled with Brush;
    // Rect shrinks past them.
    static void DrawCellFrame(HDC DC, TRect& Rect, HBRUSH Brush, bool RightEdge, bool LeftEdge);
    // The node whose cell is being painted or measured (null otherwise).
    TdxTreeListNode* NodeInWork = nullptr;

protected:
    void ChangeName(const std::string& NewName) override;
    void ReadState(TReader& Reader) override;
    // "SortedOrder" (the place in a multi-column sort) and "StoredRowIndex" (when not 0).
    void DefineProperties(TFiler& Filer) override;

private:
    TCustomdxTreeListControl* FTreeList = nullptr;
    std::string FCaption;
    bool FCaptionAssigned = false;
    TAlignment FAlignment = taLeftJustify;
    bool FAlignmentAssigned = false;
    int FWidth = 100;
    bool FWidthAssigned = false;
    int FMinWidth = 20;
    bool FVisible = true;
    int FBandIndex = 0;
    int FRowIndex = 0, FStoredRowIndex = 0;
    TdxTreeListColumnSort FSorted = csNone;
    bool FReadOnly = false;
    bool FReadOnlyAssigned = false;
    int FMaxLength = 0;
    bool FMaxLengthAssigned = false;
    bool FOEMConvert = false;
    bool FSizing = true;
    TdxEditViewData* FViewData = nullptr;
    TColor FColor = clWindow;
    bool FColorAssigned = false;
    TFont* FFont = nullptr;
    bool FFontAssigned = false;
    TBitmap* FHeaderGlyph = nullptr;
    void FontChanged(TObject* Sender);
};

class TdxTreeListMaskColumn : public TdxTreeListColumn {
    DECLARE_CLASS(TdxTreeListMaskColumn, TdxTreeListColumn)
public:
    using TdxTreeListColumn::TdxTreeListColumn;
    static void DefineClass(TClassBuilder<TdxTreeListMaskColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceTreeListMaskEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    std::string EditMask;
    bool IgnoreMaskBlank = false;
};

using TdxTreeListColumnClass = TClassOf<TdxTreeListColumn>;

// The tree list with real bands (its Bands collection) and columns (components of the form,
// attached to it), text nodes, one editor per editor class, and its layout stored in the
// registry or an INI file.
class TCustomdxTreeListControl : public TCustomdxTreeList {
    DECLARE_CLASS(TCustomdxTreeListControl, TCustomdxTreeList)
public:
    explicit TCustomdxTreeListControl(TComponent* AOwner);
    ~TCustomdxTreeListControl() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TCustomdxTreeListControl>& B);

    // --- Bands and columns
    TdxTreeListBands* Bands() const { return FBands; }
    void SetBands(TdxTreeListBands* Value) { FBands->Assign(Value); }
    int ColumnCount() const { return static_cast<int>(FColumns.size()); }
    TdxTreeListColumn* Columns(int Index) const { return FColumns.at(static_cast<size_t>(Index)); }
    int IndexOfColumn(TdxTreeListColumn* Column) const;
    // A column of the class owned by Owner, named after the control ("<Name>Column<n>").
    TdxTreeListColumn* CreateColumn(TdxTreeListColumnClass ColumnClass, TComponent* Owner = nullptr);
    void AddColumn(TdxTreeListColumn* Column);
    virtual void RemoveColumn(TdxTreeListColumn* Column);
    void MoveColumnInList(TdxTreeListColumn* Column, int Index);
    virtual void ColumnChanged(TdxTreeListColumn* Column);
    virtual void MoveNodeStrings(int FromIndex, int ToIndex);
    void NormalizeHeaderRows();
    void DestroyColumns();
    // The source's columns copied: same classes, settings and names (owned as the first existing
    // column is, else by the control).
    virtual void AssignColumns(TCustomdxTreeListControl* Source);
    TdxTreeListColumn* FocusedColumnObject();
    int VisibleBandColumnCount(int BandIndex, int Row);

    int BandRowCount() const { return FBandRowCount; }
    void SetBandRowCountValue(int Value);
    int HeaderPanelRowCountValue() const { return FHeaderPanelRowCount; }
    void SetHeaderPanelRowCountValue(int Value);
    bool DefaultLayout() const { return FDefaultLayout; }
    void SetDefaultLayout(bool Value);
    // One visible band with every column, no band panel, one header row.
    void ResetToDefaultLayout();
    int BandMaxRowCount = 5, HeaderMinRowCount = 1, HeaderPanelMaxRowCount = 5;
    void SetBandMaxRowCount(int Value);
    void SetHeaderPanelMaxRowCount(int Value);
    void SetHeaderMinRowCount(int Value);
    bool IsHeaderPanelRowCountStored() { return !IsAutoHeaderPanelRowCount() && FHeaderPanelRowCount != 1; }
    // Turns the automatic header-row count (from the columns' rows) off.
    virtual void DisableAutoHeaderRows();
    virtual void HeaderRowsChanged() { LayoutChanged(); }
    void SyncColumnWidths();
    int HeaderRowLock = 0;

    // --- Layout storage
    std::string IniFileName, IniSectionName, RegistryPath;
    const std::string& ParentFormName() const { return FParentFormName; }
    void SaveToRegIni(TObject* RegIniObject, std::string Key);
    void LoadFromRegIni(TObject* RegIniObject, std::string Key);
    void SaveLayoutToIniFile(const std::string& FileName);
    void LoadLayoutFromIniFile(const std::string& FileName);
    void SaveLayoutToRegistry(const std::string& Key);
    void LoadLayoutFromRegistry(const std::string& Key);
    virtual void BeginLayoutLoad(TdxRegIniWrapper* Wrapper);
    virtual void EndLayoutLoad(TdxRegIniWrapper* Wrapper);
    virtual void LoadOptionsLayout(TdxRegIniWrapper* Wrapper, const std::string& Key);
    virtual void LoadColumnLayout(TdxRegIniWrapper* Wrapper, const std::string& Section, TdxTreeListColumn* Column);
    virtual void SaveOptionsLayout(TdxRegIniWrapper* Wrapper, const std::string& Key);
    virtual void SaveColumnLayout(TdxRegIniWrapper* Wrapper, const std::string& Section, TdxTreeListColumn* Column);
    void RestoreStoredLayout() override;
    void SaveStoredLayout() override;
    // The sort list in sort order.
    int SortedColumnCount() const { return static_cast<int>(FSortList.size()); }
    TdxTreeListColumn* SortedColumns(int Index) const { return FSortList.at(static_cast<size_t>(Index)); }
    void AddSortedColumn(TdxTreeListColumn* Column);
    void RemoveSortedColumn(TdxTreeListColumn* Column);
    void RebuildSortList();

    // --- The engine's questions
    TdxTreeListNode* CreateNode() override { return Create<TdxTreeListTextNode>(this); }
    int GetNodeImageIndex(TdxTreeListNode* Node) override;
    int GetNodeSelectedIndex(TdxTreeListNode* Node) override;
    int GetNodeStateIndex(TdxTreeListNode* Node) override;
    void GetNodeValue(TdxTreeListNode* Node, int Column, Variant& Value) override;
    void GetNodeString(TdxTreeListNode* Node, int Column, std::string& Text) override;
    void SetNodeImageIndex(TdxTreeListNode* Node, int Value) override;
    void SetNodeSelectedIndex(TdxTreeListNode* Node, int Value) override;
    void SetNodeStateIndex(TdxTreeListNode* Node, int Value) override;
    void SetNodeString(TdxTreeListNode* Node, int Column, const std::string& Text) override;
    void SetNodeValue(TdxTreeListNode* Node, int Column, const Variant& Value) override;

    TAlignment GetBandAlignmentByIndex(int Index) override { return FBands->Items(Index)->Alignment(); }
    int GetBandCollectionCount() override { return FBands->Count(); }
    int GetBandIndexOfVisible(int Index) override;
    std::string GetBandCaptionByIndex(int Index) override { return FBands->Items(Index)->Caption(); }
    int GetBandWidthByIndex(int Index) override { return FBands->Items(Index)->Width(); }
    TAlignment GetBandAlignment(int Band) override { return VisibleBand(Band)->Alignment(); }
    int GetVisibleBandCount() override {
        return UseBandLists() ? static_cast<int>(FBandVisibleToIndex.size()) : FBands->VisibleCount();
    }
    int GetLeftFixedBand() override;
    int GetRightFixedBand() override;
    int GetBandMinWidth(int Band) override { return VisibleBand(Band)->MinWidth(); }
    int GetBandWidth(int Band) override { return VisibleBand(Band)->Width(); }
    std::string GetBandCaption(int Band) override { return VisibleBand(Band)->Caption(); }
    int GetVisibleBandIndex(int Index) override;
    bool IsBandSizable(int Band) override { return VisibleBand(Band)->Sizing(); }
    int GetColumnCount() override { return ColumnCount(); }
    int GetColumnAt(int Band, int Row, int Col) override;
    int GetColumnCountInRow(int Band, int Row) override;
    int GetBandRowCount(int Band) override;
    int GetColumnDisplayWidth(int Column) override;
    // Layout lists: band positions, the column grid (band, header row, position) and the display
    // widths, built after each row-cache build and emptied with the row cache; queries on an
    // empty list or during its rebuild compute their answer from the bands and columns.
    void RebuildLayoutLists(bool) override;
    void ClearLayoutWidths() override;
    void ClearCachedWidths() override;
    void ClearRowCache() override;
    void ResetRowHeights() override;
    bool LayoutListsBuilt() const { return FGridBuilt; }
    // The text of a sorted column set through a node, or edited, moves the node to its place.
    void NodeValueChanged(TdxTreeListNode* Node, int Column) override;    TAlignment GetColumnHeaderAlignment(int C) override { return Columns(C)->HeaderAlignment; }
    int GetColumnBandIndex(int C) override { return Columns(C)->BandIndex(); }
    int GetColumnColIndex(int C) override { return Columns(C)->ColIndex(); }
    int GetColumnRowIndex(int C) override { return Columns(C)->RowIndex(); }
    bool GetColumnTabStop(int C) override { return Columns(C)->TabStop; }
    int GetColumnWidth(int C) override { return Columns(C)->Width(); }
    int GetColumnMinWidth(int C) override { return Columns(C)->Sizing() ? Columns(C)->MinWidth() : Columns(C)->Width(); }
    int GetColumnSorted(int C) override;
    int GetColumnHeaderMaxLineCount(int C) override { return Columns(C)->HeaderMaxLineCount; }
    std::string GetColumnCaption(int C) override { return Columns(C)->DisableCaption ? "" : Columns(C)->Caption(); }
    std::string GetColumnFullCaption(int C) override { return Columns(C)->Caption(); }
    TColor GetColumnColor(int C) override { return Columns(C)->Color(); }
    TFont* GetColumnFont(int C) override { return Columns(C)->Font(); }
    bool ColumnHasOwnFont(int C) override { return Columns(C)->IsFontAssigned(); }
    bool ColumnHasHeaderGlyph(int C) override { return Columns(C)->HasHeaderGlyph(); }
    TBitmap* GetColumnHeaderGlyph(int C) override { return Columns(C)->HeaderGlyph(); }
    TAlignment GetCellAlignment(TdxTreeListNode*, int C) override { return Columns(C)->Alignment(); }
    std::string GetCellText(TdxTreeListNode* Node, int C) override;
    bool IsColumnSizable(int C) override { return Columns(C)->Sizing(); }
    bool IsColumnVisible(int C) override;
    bool IsProportionalBandColumns() override { return FDefaultLayout || TCustomdxTreeList::IsProportionalBandColumns(); }
    void SetBandRowCount(int Value) override { SetBandRowCountValue(Value); }
    void ScaleHiddenBandWidths(int N, int D) override;
    void ScaleBandColumnWidths(int Band, int N, int D) override;
    void SetBandWidth(int Band, int Width) override;
    void SetHeaderPanelRowCount(int Value) override { SetHeaderPanelRowCountValue(Value); }
    void SetColumnWidth(int C, int Width) override;
    int GetBandMaxRowCount() override { return BandMaxRowCount; }
    int GetBandRowCountValue() override { return FBandRowCount; }
    int GetHeaderPanelMaxRowCount() override { return HeaderPanelMaxRowCount; }
    int GetHeaderPanelRowCount() override { return FHeaderPanelRowCount; }
    int GetHeaderMinRowCount() override { return std::max(HeaderMinRowCount, 1); }
    bool CanDragBand(int Band) override;
    bool CanDragColumn(int C) override;
    bool IsBandCustomizingDisabled(int Band) override { return FBands->Items(Band)->DisableCustomizing(); }
    bool IsColumnCustomizingDisabled(int C) override { return Columns(C)->DisableCustomizing; }
    void MoveBand(int From, int To) override;
    void MoveColumn(int Column, int Band, int Col, int Row) override;
    void HideColumn(int Column) override;
    void HideBand(int Band) override;
    void ShowColumnAt(int Band, int Row, int Column, int Col) override;
    void ShowBandAt(int Target, int Band) override;
    void RemapColumnBands(const std::function<int(int)>& Map) override;
    void BandsChanged() override;
    void DisableDefaultLayout() override { FDefaultLayout = false; }
    void DoColumnHeaderClick(int Column) override;
    int GetSortedColumnCount() override { return SortedColumnCount(); }
    int GetSortedColumn(int Index) override { return SortedColumns(Index)->GetDataIndex(); }
    bool IsSortedColumnDescending(int Index) override { return SortedColumns(Index)->Sorted() == csDown; }
    void ClearSortedColumns() override { FSortList.clear(); }

    // Editing through the focused column's editor class
    TdxInplaceEdit* FindEditor(int Column) override;
    TdxInplaceEdit* CreateEditor(int Column) override;
    void InitEditor(TdxInplaceEdit* Editor) override;
    void GetEditorValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void ApplyEditorValue(TdxTreeListNode* Node, int Column, Variant& Value, TdxInplaceEdit* Editor) override;
    void DoEditing(TdxTreeListNode* Node, bool& Allow) override;
    bool CanEditorModify() override;

    // Cells are painted through the column's editor class and view data; the sort value of a
    // node is its cell string.
    void DrawCellViewData(HDC DC, const TRect& Rect, const TdxTreeListCellViewData& ViewData, int Column) override;
    virtual void GetCellViewBounds(const TRect& Rect, TRect& Bounds);
    bool CalcCellTextHeight(TdxTreeListNode* Node, int Column, int& Height, int& LineCount, bool GridLines,
                            bool FocusCellUnhighlighted, int MaxLineCount, int TextHeight, int Width,
                            const std::string& Text) override;
    void GetNodeSortValue(TdxTreeListNode* Node, int Column, Variant& Value) override;
    // Sorts every level of the tree by the sorted columns (nothing when none is sorted); inside an
    // update the sort waits for its end.
    void SortByColumns();
    bool IsHotTrackCell(TdxTreeListNode* Node, int Column) override;
    bool GetHeaderHotPart(int X, int Y, int& Part, int Column) override;
    int GetHeaderButtonState(int Column) override;
    bool IsEditorClick(int X, int Y, int Column, bool WasFocused) override;
    void DoGetHotCursor(const HitInfo& Info, TCursor& Cursor) override;
    bool IsColumnMultiLine(int Column) override { return Columns(Column)->IsMultiLineCell(); }
    int GetColumnTextHeight(TCanvas* Canvas, int Column) override;
    // Widens a column (every column when nil) to its widest cell text and caption.
    virtual void ApplyBestFit(TdxTreeListColumn* Column);
    void BandEdgeDblClick(int Band) override;
    void ColumnEdgeDblClick(int Column) override;
    void LayoutChanged() override;
    int SortLock() const { return FSortLock; }
    bool IsSortLocked() const { return FSortLock > 0; }
    void LockSort() { ++FSortLock; }
    void UnlockSort();
    virtual void SortingChanged() { SortByColumns(); }
    virtual bool CanSortColumn(TdxTreeListColumn* Column);
    virtual void ToggleColumnSort(TdxTreeListColumn* Column);
    virtual void BeforeColumnSort(TdxTreeListColumn*) {}
    virtual void SortedColumnChanged(TdxTreeListColumn* Column);

    // --- Events and their hooks
    bool HasCustomDrawBand() override { return OnCustomDrawBand.Assigned(); }
    void DoCustomDrawBand(TCanvas* Canvas, int Band, bool& Done, TAlignment& Alignment, TFont* Font, TColor& Color,
                          std::string& Text, const TRect& Rect) override;
    bool HasCustomDrawHeader() override;
    void DoCustomDrawHeader(TCanvas* Canvas, int Column, bool& Done, TAlignment& Alignment, TFont* Font, TColor& Color,
                            std::string& Text, int& Sorted, const TRect& Rect) override;
    bool HasCustomDrawCell() override;
    void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node, int Column, bool& Done,
                          TAlignment& Alignment, TFont* Font, TColor& Color, std::string& Text, bool Selected,
                          bool Focused) override;
    void DrawCellEx(TCanvas* Canvas, const TRect& Rect, int Value1, int Value2, bool RightFlag, bool LeftFlag,
                    TdxCellKind Kind, bool MultiLine, HBRUSH Brush, COLORREF TextColor, TColor AColor, bool Focused,
                    bool Selected, int Column, TdxTreeListNode* Node) override;
    bool HasCustomDrawFooterCell() override { return OnCustomDrawFooter.Assigned() || OnCustomDrawFooterNode.Assigned(); }
    void DoCustomDrawFooterCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node, int Column, int FooterIndex,
                                bool& Done, TAlignment& Alignment, TFont* Font, TColor& Color,
                                std::string& Text) override;
    bool HasCustomDrawPreview() override { return OnCustomDrawPreviewCell.Assigned() || OnCustomDrawPreview.Assigned(); }
    void DoCustomDrawPreview(TCanvas* Canvas, const TRect& Rect, bool& Done, TFont* Font, TColor& TextColor,
                             TColor& Color, std::string& Text, bool Selected, TdxTreeListNode* Node) override;
    bool HasLevelColors() override { return OnGetLevelColor.Assigned(); }
    void GetLevelColor(int Level, TColor& Color) override { OnGetLevelColor(this, Level, Color); }
    bool IsColumnFooterShown(int Column) override;
    void DoSizingEnded() override { OnHeaderSized(this); }
    void StartBandDrag(int Band) override;
    void StartColumnDrag(int Column) override;
    void EndBandDrag(bool Drop) override;
    void EndColumnDrag(bool Drop) override;
    void DoDragOverBand(TPoint P, int Band, bool& Accept) override;
    void DoEndDragBand(TPoint P, int Band, bool& Accept, int& Target, int Pressed) override;
    void DoDragOverColumn(TPoint P, int Column, bool& Accept) override;
    void DoEndDragColumn(TPoint P, int Column, bool& Accept, HeaderDropTarget& Target) override;
    void DoBandClick(int Band) override;
    void DoBandButtonClick() override { OnBandButtonClick(this); }
    void DoHeaderButtonClick() override { OnHeaderButtonClick(this); }
    std::string GetDragImageCellText(TdxTreeListNode* Node, int Column) override;

    TdxTLGetNodeIndexEvent OnGetImageIndex, OnGetSelectedIndex, OnGetStateIndex;
    TdxTLCustomDrawBand OnCustomDrawBand;
    TdxTLCustomDrawHeader OnCustomDrawColumnHeader;
    TdxTLCustomDrawCell OnCustomDrawCell;
    TdxTLCustomDrawFooterNode OnCustomDrawFooterNode;
    TdxTLCustomDrawFooter OnCustomDrawFooter;
    TdxTLCustomDrawPreviewCell OnCustomDrawPreviewCell;
    TdxTLGetLevelColorEvent OnGetLevelColor;
    TdxTLColumnHasFooterEvent OnColumnHasFooter;
    TNotifyEvent OnHeaderSized;
    TdxTLBandAllowEvent OnCanDragBand;
    TdxTLBandEvent OnStartBandDrag;
    TdxTLDragOverBandEvent OnDragOverBand;
    TdxTLEndDragBandEvent OnEndDragBand;
    TdxTLShowBandEvent OnShowBand;
    TdxTLBandEvent OnHideBand, OnBandClick;
    TdxTLColumnAllowEvent OnCanDragColumn;
    TdxTLColumnEvent OnStartColumnDrag;
    TdxTLDragOverColumnEvent OnDragOverColumn;
    TdxTLEndDragColumnEvent OnEndDragColumn;
    TdxTLShowColumnEvent OnShowColumn;
    TdxTLColumnEvent OnHideColumn, OnColumnClick;
    TNotifyEvent OnBandButtonClick, OnHeaderButtonClick;
    TdxTLColumnAllowEvent OnColumnSorting;
    TdxTLGetColumnSortedEvent OnGetColumnSorted;
    TdxTLColumnEvent OnColumnMoved;
    TdxTLColumnPositionEvent OnColumnPositionChanged;
    TdxTLCustomDrawEvent OnCustomDraw;
    TdxTLCustomDrawPreviewEvent OnCustomDrawPreview;
    TdxTLEndColumnDragPosEvent OnEndColumnDragPos;
    TdxTLCalcCellHeightEvent OnCalcCellHeight;
    TdxTLGetDragCellTextEvent OnGetDragCellText;

    // --- Header customizing: a form with the hidden bands and the hidden columns in two list
    // boxes on the pages of "PageControl". Dragging a header onto the form hides it; dragging an
    // entry from a list onto the header shows it there.
    void ColumnsCustomizing();
    void EndColumnsCustomizing();
    TForm* CustomizeForm() const { return FCustomizeForm; }
    TListBox* CustomizeBandList() const { return FBandList; }
    TListBox* CustomizeColumnList() const { return FColumnList; }
    // Refills both lists from the hidden bands and columns.
    void UpdateCustomizingLists();
    // Gives both lists the flat look unless the list is drawn 3-D.
    void UpdateCustomizingBorders();
    TWinControl* CustomizingForm() override;
    bool IsCustomizing() override { return FCustomizeForm != nullptr; }
    bool IsCustomizingColumns() override { return FCustomizeForm != nullptr && FColumnList != nullptr; }
    bool CanShowBandInCustomizing(int Band) override;
    bool CanShowColumnInCustomizing(int Column) override;
    void MetricsChanged() override;
    TNotifyEvent OnEndCustomizing;

    // Streaming: the columns are the control's children in the form.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;
    void SetParent(TWinControl* AParent) override;

protected:
    // Unassigned column fonts follow the control's font (in place of the engine's handling).
    void CMFontChanged(TMessage& Message);
    // A cursor set from outside becomes the one hot tracking returns to.
    void CMCursorChanged(TMessage& Message);
    void Resize() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TdxTreeListBand* VisibleBand(int Band) {
        const int I = GetBandIndexOfVisible(Band);
        return I >= 0 ? FBands->Items(I) : nullptr;
    }

private:
    TdxTreeListBands* FBands = nullptr;
    std::vector<TdxTreeListColumn*> FColumns;
    std::vector<TdxTreeListColumn*> FSortList;
    std::vector<TdxInplaceEdit*> FEditors;
    int FBandRowCount = 1, FHeaderPanelRowCount = 1;
    bool FDefaultLayout = true;
    bool FLayoutLoaded = false, FLayoutSaved = false;
    std::string FParentFormName;
    // Visible columns of a band (visible position) and header row, in list order.
    std::vector<int> RowColumns(int Band, int Row);
    int FSortLock = 0;
    bool FSortPending = false, FSorting = false;
    TForm* FCustomizeForm = nullptr;
    TPageControl* FCustomizePages = nullptr;
    TListBox* FBandList = nullptr;
    TListBox* FColumnList = nullptr;
    void CustomizeListMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void CustomizeFormClose(TObject* Sender, TCloseAction& Action);
    void CustomizeFormDestroyed();
    void ReleaseDragCapture();
    // A column moved (and shown) to a band (visible position), header row and position.
    void PlaceColumn(TdxTreeListColumn* Column, int Band, int Col, int Row, bool Show);
    bool FDrawingNewItemRow = false;
    // Set while the header panel's row count is derived from the columns.
    bool FUpdatingHeaderRows = false;
    void DeriveHeaderPanelRowCount();
    void SetHeaderRowsKeepingAuto(int Value);
    std::vector<int> FBandVisibleToIndex, FBandIndexToVisible;
    // Per visible band, per header row (by RowIndex), the column indexes in position order.
    std::vector<std::vector<std::vector<int>>> FColumnGrid;
    std::vector<int> FColumnWidths;
    // The client width and first-band extra the widths were taken with.
    int FWidthsClientWidth = 0, FWidthsExtra = 0;
    bool FBandListsBuilt = false, FGridBuilt = false, FWidthsBuilt = false;
    bool FRebuildingBands = false, FRebuildingGrid = false, FRebuildingWidths = false;
    void ClearLayoutLists();
    bool UseBandLists() const { return FBandListsBuilt && !FRebuildingBands; }
    bool UseGrid() const { return FGridBuilt && !FRebuildingGrid; }
};

// The customizing form's caption and page captions (set by the unit's start-up).
extern std::string dxTLCustomizeCaption, dxTLCustomizeBandsCaption, dxTLCustomizeHeadersCaption;

// Reads and writes layout values through an INI file (TIniFile, TMemIniFile) or a registry
// INI object (TRegIniFile); the object is not owned.
class TdxRegIniWrapper : public TObject {
    DECLARE_CLASS(TdxRegIniWrapper, TObject)
public:
    explicit TdxRegIniWrapper(TObject* ARegIniObject) : RegIniObject(ARegIniObject) {}
    TObject* RegIniObject;
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    void ReadSections(TStrings* Strings);
    void EraseSection(const std::string& Section);
    // INI files only: the section Key and every section below it ("Key\...").
    void EraseSectionsWithPrefix(const std::string& Key);
};

// A layout key with one leading backslash and none trailing.
std::string NormalizeLayoutKey(std::string Key);

// A 1 x 1 image list the unit's start-up makes and its shut-down frees.
extern TImageList* dxTLImageList;

// Unit start-up: column classes registered for streaming, the tree-list cursors loaded.
void dxTLInitialization();
void dxTLFinalization();

// Runs Body inside an update of the tree list, when there is one, and ends the update however Body
// ends: assigning many properties repaints once.
template <class F>
void InTreeListUpdate(TCustomdxTreeList* T, F&& Body) {
    if (T)
        T->BeginUpdate();
    try {
        Body();
    } catch (...) {
        if (T)
            T->EndUpdate();
        throw;
    }
    if (T)
        T->EndUpdate();
}
