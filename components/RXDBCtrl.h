// The data-aware grid TRxDBGrid: the data grid with multi-selection by bookmark and its own
// indicator images, title cells drawn as buttons with sort markers and click events, images for
// blob-like fields, fixed data columns, a settable row height, a confirmation before deleting,
// events that colour single cells, and the column layout kept through a form placement.
#pragma once

#include "DBGrids.h"
#include "ImgList.h"
#include "Placemnt.h"

DECLARE_ENUM(TSortMarker, smNone, smDown, smUp)

// (Sender, ACol, Field, var Enabled)
using TCheckTitleBtnEvent = TMethodOf<TObject*, int, TField*, bool&>;
// (Sender, ACol, Field)
using TTitleClickEvent = TMethodOf<TObject*, int, TField*>;
// (Sender, Field, AFont, var Background, var SortMarker, IsDown)
using TGetBtnParamsEvent = TMethodOf<TObject*, TField*, TFont*, TColor&, TSortMarker&, bool>;
// (Sender, Field, AFont, var Background, Highlight)
using TGetCellParamsEvent = TMethodOf<TObject*, TField*, TFont*, TColor&, bool>;
// (Sender, Field, AFont, var Background)
using TGetCellPropsEvent = TMethodOf<TObject*, TField*, TFont*, TColor&>;
// (Sender, Field, var AllowEdit)
using TEditShowEvent = TMethodOf<TObject*, TField*, bool&>;
DECLARE_EVENT_NAME(TCheckTitleBtnEvent)
DECLARE_EVENT_NAME(TTitleClickEvent)
DECLARE_EVENT_NAME(TGetBtnParamsEvent)
DECLARE_EVENT_NAME(TGetCellParamsEvent)
DECLARE_EVENT_NAME(TGetCellPropsEvent)
DECLARE_EVENT_NAME(TEditShowEvent)

namespace RXDBCtrlConsts {
inline constexpr const char* SDeleteRecordQuestion = "Delete record?";
inline constexpr const char* SDeleteMultipleRecordsQuestion = "Delete all selected records?";
}  // namespace RXDBCtrlConsts

// The unit's field and marker images, numbered in this order.
DECLARE_ENUM(TGridPicture, gpBlob, gpMemo, gpPicture, gpOle, gpObject, gpData, gpNotEmpty, gpMarkDown, gpMarkUp)
// Loaded from the program's resources on first use; freed by the unit's shut-down.
TBitmap* GridBitmap(TGridPicture Picture);

class TRxDBGrid : public TDBGrid {
    DECLARE_CLASS(TRxDBGrid, TDBGrid)
public:
    explicit TRxDBGrid(TComponent* AOwner);
    ~TRxDBGrid() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TRxDBGrid>& B);

    // The platform grid's options, with dgMultiSelect exactly when MultiSelect is on.
    TDBGridOptions Options() const;
    void SetOptions(TDBGridOptions Value) { SetDBGridOptions(Value); }
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ClearSelection() const { return FClearSelection; }
    void SetClearSelection(bool Value) { FClearSelection = Value; }
    bool TitleButtons() const { return FTitleButtons; }
    void SetTitleButtons(bool Value);
    bool ShowGlyphs() const { return FShowGlyphs; }
    void SetShowGlyphs(bool Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    bool AutoAppend() const { return FAutoAppend; }
    void SetAutoAppend(bool Value) { FAutoAppend = Value; }
    // Data columns kept fixed beyond the indicator.
    int FixedCols() const;
    void SetFixedCols(int Value);
    int RowsHeight() const { return DefaultRowHeight(); }
    void SetRowsHeight(int Value);
    TFormPlacement* IniStorage() const { return FIniLink->Storage(); }
    void SetIniStorage(TFormPlacement* Value);

    // The column layout: under "GridName.FieldName" as "index,width" for persistent columns, else
    // the data set's field layout. Storage as the placement routines take it.
    void StoreGridLayout(TObject* Storage, const std::string& Section);
    void LoadGridLayout(TObject* Storage, const std::string& Section);
    // The image a field shows in its cells, or -1 for text.
    int GetImageIndex(TField* Field);
    // The column whose title button is held down (null when none) and whether the mouse is over it.
    TColumn* PressedColumn() const { return FTracking ? FPressedCol : nullptr; }
    bool TitlePressed() const { return FTracking && FPressed; }

    TCheckTitleBtnEvent OnCheckButton;
    TTitleClickEvent OnTitleBtnClick;
    TGetBtnParamsEvent OnGetBtnParams;
    TGetCellParamsEvent OnGetCellParams;
    TGetCellPropsEvent OnGetCellProps;
    TEditShowEvent OnShowEditor;
    TNotifyEvent OnEditChange;

protected:
    void Paint() override;
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) override;
    TInplaceEdit* CreateEditor() override;
    bool CanEditShow() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool HighlightCell(int ACol, int ARow, const TRect& ARect) override;
    void LayoutChanged() override;
    void SetColumnAttributes() override;
    void SetDBGridOptions(TDBGridOptions Value) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void TopLeftChanged() override;
    void ColWidthsChanged() override;
    void DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) override;
    void DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) override;
    void InplaceEditChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoTitleClick(int ACol, TField* AField) { OnTitleBtnClick(this, ACol, AField); }
    virtual void CheckTitleButton(int ACol, bool& Enabled);
    virtual void EditChanged(TObject* Sender) { OnEditChange(Sender); }
    virtual void GetCellParams(TField* Field, TFont* AFont, TColor& Background, bool Highlight);

    void WMCancelMode(TMessage& Message);
    void WMRButtonUp(TMessage& Message);

private:
    bool ActiveRowSelected();
    void ResetSelection();
    void MoveWithSelection(int Direction, TShiftState Shift);
    void CheckTab(bool GoForward);
    bool ConfirmDelete();
    void DeleteSelected();
    // After a layout change: a current column among the fixed or hidden ones moves right.
    void MoveToFirstDataColumn();
    // Home and Ctrl+Left: the first visible column past the fixed ones.
    void GoToFirstDataColumn();
    void MoveToVisibleColumnFrom(int Target);
    // The column whose title lies under a client point (null outside the titles).
    TColumn* TitleUnder(int X, int Y);
    void TrackButton(int X, int Y);
    void StopTracking();
    void InvalidateTitles();
    void DrawTitleCell(int ACol, int ARow, const TRect& Cell);
    std::string StorageSection();
    void IniSave(TObject* Sender);
    void IniLoad(TObject* Sender);

    bool FMultiSelect = false;
    bool FClearSelection = true;
    bool FTitleButtons = false;
    bool FShowGlyphs = true;
    bool FDefaultDrawing = true;
    bool FAutoAppend = true;
    int FFixedCols = 0;
    int FRowsHeight = 0;  // 0: the platform's height
    TImageList* FMsIndicators = nullptr;
    TIniLink* FIniLink = nullptr;
    TBookmark FSelectionAnchor;
    bool FSelecting = false;
    TColumn* FPressedCol = nullptr;
    bool FPressed = false;
    bool FTracking = false;
    bool FSwapButtons = false;
    int FSizingIndex = -1;
    int FSizingOfs = 0;
};

// Unit start-up registers the grid class for form streaming; shut-down frees the images.
void RXDBCtrlInitialization();
void RXDBCtrlFinalization();
