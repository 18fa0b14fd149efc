#include "RXDBCtrl.h"

#include "DBUtils.h"
#include "Dialogs.h"
#include "MaxMin.h"
#include "RxAppUtils.h"
#include "RxStrUtils.h"
#include "VCLUtils.h"

using namespace RXDBCtrlConsts;

namespace {

TBitmap* GridBitmaps[9] = {};

const char* BitmapName(TGridPicture Picture) {
    static const char* const Names[] = {"DBG_BLOB", "DBG_MEMO", "DBG_PICT",     "DBG_OLE",   "DBG_OBJECT",
                                        "DBG_DATA", "DBG_NOTEMPTY", "DBG_SMDOWN", "DBG_SMUP"};
    return Names[Picture];
}

TBitmap* LoadResourceBitmap(const char* Name) {
    TOwned<TBitmap> B(Create<TBitmap>());
    B->LoadFromResourceName(GetModuleHandleA(nullptr), Name);
    return B.release();
}

const TCharSet& LayoutDelimiters() {
    static const TCharSet Set = MakeCharSet(" ,");
    return Set;
}

// The control's OnMouseWheelDown or OnMouseWheelUp, where the controls have them; whether it
// handled the turn.
template <class C>
bool WheelEventHandled(C* Control, bool Down, TShiftState Shift, TPoint MousePos) {
    if constexpr (requires { Control->OnMouseWheelDown; }) {
        bool Handled = false;
        (Down ? Control->OnMouseWheelDown : Control->OnMouseWheelUp)(Control, Shift, MousePos, Handled);
        return Handled;
    } else {
        (void)Control, (void)Down, (void)Shift, (void)MousePos;
        return false;
    }
}

const TDBGridOptions RxDefaultOptions{dgEditing,  dgTitles,   dgIndicator,     dgColumnResize,
                                      dgColLines, dgRowLines, dgConfirmDelete, dgCancelOnExit};

}  // namespace

TBitmap* GridBitmap(TGridPicture Picture) {
    TBitmap*& B = GridBitmaps[Picture];
    if (!B)
        B = LoadResourceBitmap(BitmapName(Picture));
    return B;
}

void RXDBCtrlInitialization() { RegisterClass(TRxDBGrid::StaticClass()); }

void RXDBCtrlFinalization() {
    for (TBitmap*& B : GridBitmaps)
        FreeAndNil(B);
}

// ---------------------------------------------------------------------------------------------
// Construction and properties

TRxDBGrid::TRxDBGrid(TComponent* AOwner) : TDBGrid(AOwner) {
    TOwned<TBitmap> Dot(LoadResourceBitmap("DBG_MSDOT"));
    TOwned<TBitmap> Arrow(LoadResourceBitmap("DBG_MSARROW"));
    FMsIndicators = TCustomImageList::CreateSize<TImageList>(Dot->Width(), Dot->Height());
    FMsIndicators->AddMasked(Dot.get(), clWhite);
    FMsIndicators->AddMasked(Arrow.get(), clWhite);
    FIniLink = new TIniLink;
    FIniLink->OnSave = TNotifyEvent::Bind<&TRxDBGrid::IniSave>(this);
    FIniLink->OnLoad = TNotifyEvent::Bind<&TRxDBGrid::IniLoad>(this);
    // The grid draws its cells itself.
    TCustomGrid::SetDefaultDrawing(false);
    SetOptions(RxDefaultOptions);
}

TRxDBGrid::~TRxDBGrid() {
    delete FIniLink;
    FreeObject(FMsIndicators);
}

void TRxDBGrid::BeforeDestruction() {
    StopTracking();
    TDBGrid::BeforeDestruction();
}

void TRxDBGrid::DefineClass(TClassBuilder<TRxDBGrid>& B) {
    B.Property("Options", &TRxDBGrid::Options, &TRxDBGrid::SetOptions).Default(RxDefaultOptions);
    B.Property("MultiSelect", &TRxDBGrid::MultiSelect, &TRxDBGrid::SetMultiSelect).Default(false);
    B.Property("ClearSelection", &TRxDBGrid::ClearSelection, &TRxDBGrid::SetClearSelection).Default(true);
    B.Property("TitleButtons", &TRxDBGrid::TitleButtons, &TRxDBGrid::SetTitleButtons).Default(false);
    B.Property("ShowGlyphs", &TRxDBGrid::ShowGlyphs, &TRxDBGrid::SetShowGlyphs).Default(true);
    B.Property("DefaultDrawing", &TRxDBGrid::DefaultDrawing, &TRxDBGrid::SetDefaultDrawing).Default(true);
    B.Property("AutoAppend", &TRxDBGrid::AutoAppend, &TRxDBGrid::SetAutoAppend).Default(true);
    B.Property("FixedCols", &TRxDBGrid::FixedCols, &TRxDBGrid::SetFixedCols).Default(0);
    B.Property("RowsHeight", &TRxDBGrid::RowsHeight, &TRxDBGrid::SetRowsHeight);
    B.Property("IniStorage", &TRxDBGrid::IniStorage, &TRxDBGrid::SetIniStorage);
    B.Property("OnCheckButton", &TRxDBGrid::OnCheckButton, &TRxDBGrid::OnCheckButton);
    B.Property("OnTitleBtnClick", &TRxDBGrid::OnTitleBtnClick, &TRxDBGrid::OnTitleBtnClick);
    B.Property("OnGetBtnParams", &TRxDBGrid::OnGetBtnParams, &TRxDBGrid::OnGetBtnParams);
    B.Property("OnGetCellParams", &TRxDBGrid::OnGetCellParams, &TRxDBGrid::OnGetCellParams);
    B.Property("OnGetCellProps", &TRxDBGrid::OnGetCellProps, &TRxDBGrid::OnGetCellProps);
    B.Property("OnShowEditor", &TRxDBGrid::OnShowEditor, &TRxDBGrid::OnShowEditor);
    B.Property("OnEditChange", &TRxDBGrid::OnEditChange, &TRxDBGrid::OnEditChange);
    B.Property("OnTopLeftChanged", &TRxDBGrid::OnTopLeftChanged, &TRxDBGrid::OnTopLeftChanged);
    B.Property("OnKeyPress", &TRxDBGrid::OnKeyPress, &TRxDBGrid::OnKeyPress);
    B.Message<&TRxDBGrid::WMCancelMode>(WM_CANCELMODE);
    B.Message<&TRxDBGrid::WMRButtonUp>(WM_RBUTTONUP);
}

TDBGridOptions TRxDBGrid::Options() const {
    TDBGridOptions O = TDBGrid::Options();
    if (FMultiSelect)
        O.Include(dgMultiSelect);
    else
        O.Exclude(dgMultiSelect);
    return O;
}

void TRxDBGrid::SetDBGridOptions(TDBGridOptions Value) {
    // The platform grid never multi-selects itself: the selection is this grid's.
    bool Multi = Value.Contains(dgMultiSelect);
    Value.Exclude(dgMultiSelect);
    TDBGrid::SetDBGridOptions(Value);
    SetMultiSelect(Multi);
}

void TRxDBGrid::SetMultiSelect(bool Value) {
    if (Value == FMultiSelect)
        return;
    FMultiSelect = Value;
    if (!Value)
        SelectedRows()->Clear();
}

void TRxDBGrid::SetTitleButtons(bool Value) {
    if (Value == FTitleButtons)
        return;
    FTitleButtons = Value;
    Invalidate();
    SetOptions(Options());
}

void TRxDBGrid::SetShowGlyphs(bool Value) {
    if (Value == FShowGlyphs)
        return;
    FShowGlyphs = Value;
    Invalidate();
}

void TRxDBGrid::SetDefaultDrawing(bool Value) {
    FDefaultDrawing = Value;
    Invalidate();
}

int TRxDBGrid::FixedCols() const {
    return DataLink()->Active() ? TCustomGrid::FixedCols() - IndicatorOffset() : FFixedCols;
}

void TRxDBGrid::SetFixedCols(int Value) {
    int FixCount = MaxInteger(Value, 0) + IndicatorOffset();
    if (DataLink()->Active() && !ComponentState().Contains(csLoading) && ColCount() > IndicatorOffset() + 1) {
        FixCount = MinInteger(FixCount, ColCount() - 1);
        TCustomGrid::SetFixedCols(FixCount);
        for (int I = IndicatorOffset(); I < MinInteger(FixCount, ColCount() - 1); ++I)
            SetTabStops(I, false);
    }
    FFixedCols = FixCount - IndicatorOffset();
}

void TRxDBGrid::SetRowsHeight(int Value) {
    if (ComponentState().Contains(csDesigning) || Value == DefaultRowHeight())
        return;
    FRowsHeight = Value;
    SetDefaultRowHeight(Value);
    if (Options().Contains(dgTitles) && RowCount() > 0)
        SetRowHeights(0, Value + 2);
    TDBGrid::Resize();
}

void TRxDBGrid::SetIniStorage(TFormPlacement* Value) {
    if (TFormPlacement* Old = FIniLink->Storage())
        Old->RemoveFreeNotification(this);
    FIniLink->SetStorage(Value);
    if (Value)
        Value->FreeNotification(this);
}

void TRxDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TDBGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && FIniLink && AComponent == FIniLink->Storage())
        FIniLink->SetStorage(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Layout

void TRxDBGrid::SetColumnAttributes() {
    TDBGrid::SetColumnAttributes();
    SetFixedCols(FFixedCols);
    // The platform's layout measures its row height from the font; a height set here stays.
    if (FRowsHeight > 0 && DefaultRowHeight() != FRowsHeight) {
        SetDefaultRowHeight(FRowsHeight);
        if (TitleOffset() > 0 && RowCount() > 0)
            SetRowHeights(0, FRowsHeight + 2);
        TDBGrid::Resize();
    }
}

void TRxDBGrid::MoveToVisibleColumnFrom(int Target) {
    // Hidden columns are passed over, but never beyond the last column.
    while (Target < ColCount() - 1 && ColWidths(Target) <= 0)
        ++Target;
    Target = MinInteger(Target, ColCount() - 1);
    if (Target != Col() && Target >= 0)
        SetCol(Target);
}

void TRxDBGrid::MoveToFirstDataColumn() {
    if (Col() < TCustomGrid::FixedCols() || ColWidths(Col()) <= 0)
        MoveToVisibleColumnFrom(MaxInteger(TCustomGrid::FixedCols(), Col()));
}

void TRxDBGrid::GoToFirstDataColumn() { MoveToVisibleColumnFrom(TCustomGrid::FixedCols()); }

void TRxDBGrid::LayoutChanged() {
    TDBGrid::LayoutChanged();
    if (DataLink()->Active() && FixedCols() > 0)
        MoveToFirstDataColumn();
}

void TRxDBGrid::ColWidthsChanged() {
    TDBGrid::ColWidthsChanged();
    if (DataLink()->Active() && FixedCols() > 0)
        MoveToFirstDataColumn();
}

void TRxDBGrid::TopLeftChanged() {
    if (Options().Contains(dgRowSelect) && FDefaultDrawing)
        InvalidateRow(Row());
    StopTracking();
    TDBGrid::TopLeftChanged();
}

// ---------------------------------------------------------------------------------------------
// Selection and keys

bool TRxDBGrid::ActiveRowSelected() {
    return FMultiSelect && DataLink()->Active() && SelectedRows()->CurrentRowSelected();
}

void TRxDBGrid::ResetSelection() {
    if (!FMultiSelect)
        return;
    if (FClearSelection)
        SelectedRows()->Clear();
    FSelecting = false;
}

void TRxDBGrid::MoveWithSelection(int Direction, TShiftState Shift) {
    TDataSet* DS = DataLink()->DataSet();
    bool SelectAfter = false;
    BeginUpdate();
    try {
        if (FMultiSelect && Shift.Contains(ssShift)) {
            if (!FSelecting) {
                FSelectionAnchor = DS->GetBookmark();
                SelectedRows()->SetCurrentRowSelected(true);
                FSelecting = true;
                SelectAfter = true;
            } else {
                // Walking back towards the anchor takes the record left behind out of the selection.
                SelectAfter = DS->CompareBookmarks(DS->GetBookmark(), FSelectionAnchor) + Direction != 0;
                if (!SelectAfter)
                    SelectedRows()->SetCurrentRowSelected(false);
            }
        } else
            ResetSelection();
        DS->MoveBy(Direction);
        if (SelectAfter)
            SelectedRows()->SetCurrentRowSelected(true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TRxDBGrid::CheckTab(bool GoForward) {
    if (!FMultiSelect)
        return;
    int ACol = Col(), Original = ACol;
    for (;;) {
        ACol += GoForward ? 1 : -1;
        if (ACol >= ColCount() || ACol < IndicatorOffset()) {
            ResetSelection();
            return;
        }
        if (ACol == Original || TabStops(ACol))
            return;
    }
}

bool TRxDBGrid::ConfirmDelete() {
    std::string Text = SelectedRows()->Count() < 2 ? SDeleteRecordQuestion : SDeleteMultipleRecordsQuestion;
    if (!Options().Contains(dgConfirmDelete))
        return true;
    return MessageDlg(MessageTextAsIs(Text), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) == mrYes;
}

void TRxDBGrid::DeleteSelected() {
    if (!ConfirmDelete())
        return;
    if (SelectedRows()->Count() > 0)
        SelectedRows()->Delete();
    else
        DataLink()->DataSet()->Delete();
}

void TRxDBGrid::KeyDown(Word& Key, TShiftState Shift) {
    TKeyEvent KeyDownEvent = OnKeyDown;
    KeyDownEvent(this, Key, Shift);
    if (!DataLink()->Active() || !CanGridAcceptKey(Key, Shift))
        return;
    TDataSet* DS = DataLink()->DataSet();
    bool RowSelect = Options().Contains(dgRowSelect);
    if (Shift.Contains(ssCtrl)) {
        switch (Key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
            ResetSelection();
            break;
        case VK_LEFT:
            if (FixedCols() > 0) {
                GoToFirstDataColumn();
                return;
            }
            break;
        case VK_DELETE:
            if (!ReadOnly() && DS->CanModify() && !DataSetIsEmpty(DS)) {
                DeleteSelected();
                return;
            }
            break;
        default:
            break;
        }
    } else {
        if (Key == VK_LEFT && FixedCols() > 0 && !RowSelect && Col() <= TCustomGrid::FixedCols())
            return;
        if (Key == VK_HOME && FixedCols() > 0 && ColCount() != IndicatorOffset() + 1 && !RowSelect) {
            GoToFirstDataColumn();
            return;
        }
        if (DS->State() == dsBrowse && (Key == VK_UP || Key == VK_DOWN)) {
            int Direction = Key == VK_UP ? -1 : 1;
            MoveWithSelection(Direction, Shift);
            if (Direction > 0 && FAutoAppend && DS->Eof() && DS->CanModify() && !ReadOnly() &&
                Options().Contains(dgEditing))
                DS->Append();
            return;
        }
        bool Clears = ((Key == VK_LEFT || Key == VK_RIGHT) && RowSelect) ||
                      ((Key == VK_HOME || Key == VK_END) && (ColCount() == IndicatorOffset() + 1 || RowSelect)) ||
                      Key == VK_ESCAPE || Key == VK_NEXT || Key == VK_PRIOR ||
                      (Key == VK_INSERT && DS->CanModify() && !ReadOnly() && Options().Contains(dgEditing));
        if (Clears)
            ResetSelection();
        else if (Key == VK_TAB && !Shift.Contains(ssAlt))
            CheckTab(!Shift.Contains(ssShift));
    }
    // The event ran already: the platform's handling must not run it again.
    OnKeyDown = nullptr;
    try {
        TDBGrid::KeyDown(Key, Shift);
    } catch (...) {
        OnKeyDown = KeyDownEvent;
        throw;
    }
    OnKeyDown = KeyDownEvent;
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TRxDBGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) {
    TDBGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs);
    if (State != gsNormal || !Options().Contains(dgColumnResize) || TitleOffset() == 0 || RowCount() == 0 ||
        Y >= RowHeights(0))
        return;
    TGridCoord Cell = MouseCoord(X, Y);
    if (Cell.X < 0)
        return;
    TRect R = CellRect(Cell.X, 0);
    if (R.Right - 5 < X) {
        State = gsColSizing;
        Index = Cell.X;
        SizingPos = R.Right;
        SizingOfs = X - SizingPos;
    } else if (R.Left + 5 > X) {
        State = gsColSizing;
        Index = Cell.X - 1;
        SizingPos = R.Left;
        SizingOfs = X - SizingPos;
    }
    if (State == gsColSizing && Index < IndicatorOffset())
        State = gsNormal;
}

void TRxDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused() && !(InplaceEditor() && InplaceEditor()->Focused()))
        SetFocus();
    if (!Focused() && !(InplaceEditor() && InplaceEditor()->Focused()))
        return;
    if (Shift.Contains(ssDouble) && Button == mbLeft)
        return;  // the double-click event runs alone
    TMouseEvent MouseDownEvent = OnMouseDown;
    auto Platform = [&](TMouseButton B, int PX) {
        OnMouseDown = nullptr;
        try {
            TDBGrid::MouseDown(B, Shift, PX, Y);
        } catch (...) {
            OnMouseDown = MouseDownEvent;
            throw;
        }
        OnMouseDown = MouseDownEvent;
    };
    TGridState Sizing;
    int Index, Pos, Ofs;
    CalcSizingState(X, Y, Sizing, Index, Pos, Ofs);
    if (Sizing != gsNormal) {
        FSizingIndex = Index;
        FSizingOfs = Ofs;
        Platform(Button, X);
        if (Sizing == gsColSizing && Button == mbLeft)
            FGridState = gsColSizing;
        MouseDownEvent(this, Button, Shift, X, Y);
        return;
    }
    TGridCoord Cell = MouseCoord(X, Y);
    bool Active = DataLink()->Active();
    int Titles = TitleOffset();
    if (DragKind() == dkDock && Cell.X >= 0 && Cell.X < IndicatorOffset() && Cell.Y >= 0 && Cell.Y < Titles &&
        !ComponentState().Contains(csDesigning)) {
        BeginDrag(false);
        return;
    }
    if (FTitleButtons && Active && Cell.Y >= 0 && Cell.Y < Titles && Cell.X >= IndicatorOffset() &&
        !ComponentState().Contains(csDesigning)) {
        if (Options().Contains(dgColumnResize) && Button == mbRight) {
            Button = mbLeft;
            FSwapButtons = true;
            SetMouseCapture(true);
        } else if (Button == mbLeft) {
            bool Enabled = true;
            TColumn* Title = TitleUnder(X, Y);
            CheckTitleButton(Title ? Title->Index() : Cell.X - IndicatorOffset(), Enabled);
            if (Enabled) {
                SetMouseCapture(true);
                FTracking = true;
                FPressedCol = Title;
                TrackButton(X, Y);
            } else
                DefaultBeep();
            return;
        }
    }
    if (Active && Cell.X >= 0 && Cell.X < FixedCols() + IndicatorOffset()) {
        if (Options().Contains(dgIndicator))
            Platform(Button, 1);
        else if (Cell.Y >= Titles && Cell.Y - Row() != 0)
            DataLink()->DataSet()->MoveBy(Cell.Y - Row());
    } else
        Platform(Button, X);
    MouseDownEvent(this, Button, Shift, X, Y);
    if ((ComponentState().Contains(csDesigning) || Options().Contains(dgColumnResize)) && Cell.Y < Titles)
        return;
    if (Button == mbLeft && FMultiSelect && DataLink()->Active()) {
        FSelecting = false;
        if (Shift.Contains(ssCtrl))
            SelectedRows()->SetCurrentRowSelected(!SelectedRows()->CurrentRowSelected());
        else {
            SelectedRows()->Clear();
            if (FClearSelection)
                SelectedRows()->SetCurrentRowSelected(true);
        }
    }
}

void TRxDBGrid::CheckTitleButton(int ACol, bool& Enabled) {
    TColumn* Column = ACol >= 0 && ACol < Columns()->Count() ? Columns()->Items(ACol) : nullptr;
    OnCheckButton(this, ACol, Column ? Column->Field() : nullptr, Enabled);
}

TColumn* TRxDBGrid::TitleUnder(int X, int Y) {
    if (X < 0 || Y < 0 || X >= ClientWidth() || Y >= ClientHeight())
        return nullptr;
    TGridCoord Cell = MouseCoord(X, Y);
    TRect Span;
    return TitleColumn(Cell.X, Cell.Y, Span);
}

void TRxDBGrid::TrackButton(int X, int Y) {
    if (!FTracking || !FPressedCol)
        return;
    bool Over = TitleUnder(X, Y) == FPressedCol;
    if (Over != FPressed) {
        FPressed = Over;
        InvalidateTitles();
    }
}

void TRxDBGrid::StopTracking() {
    if (!FTracking)
        return;
    TrackButton(-1, -1);
    FTracking = false;
    SetMouseCapture(false);
}

void TRxDBGrid::InvalidateTitles() {
    if (!HandleAllocated() || TitleOffset() == 0)
        return;
    for (int R = 0; R < TitleOffset(); ++R)
        InvalidateRow(R);
}

void TRxDBGrid::MouseMove(TShiftState Shift, int X, int Y) {
    if (FTracking)
        TrackButton(X, Y);
    TDBGrid::MouseMove(Shift, X, Y);
}

void TRxDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FTracking && FPressedCol) {
        TColumn* Column = FPressedCol;
        bool DoClick = TitleUnder(X, Y) == Column;
        StopTracking();
        if (DoClick && DataLink()->Active()) {
            DoTitleClick(Column->Index(), Column->Field());
            // The platform's title click, which its own press tracking did not see.
            TitleClick(Column);
        }
        TCustomControl::MouseUp(Button, Shift, X, Y);
        return;
    }
    if (FSwapButtons) {
        FSwapButtons = false;
        SetMouseCapture(false);
        if (Button == mbRight)
            Button = mbLeft;
    }
    if (Button == mbLeft && FGridState == gsColSizing && FSizingIndex >= IndicatorOffset() &&
        FSizingIndex < TCustomGrid::FixedCols()) {
        // A dragged width left of the cell's own edge would be negative.
        SetColWidths(FSizingIndex, MaxInteger(0, X - FSizingOfs - CellRect(FSizingIndex, 0).Left));
        FGridState = gsNormal;
        ColWidthsChanged();
        return;
    }
    TDBGrid::MouseUp(Button, Shift, X, Y);
}

void TRxDBGrid::WMCancelMode(TMessage& Message) {
    StopTracking();
    InheritedDispatch(StaticClass(), Message);
}

void TRxDBGrid::WMRButtonUp(TMessage& Message) {
    // A column move started with the right button ends with it.
    if (FSwapButtons || FGridState == gsColMoving || FGridState == gsRowMoving) {
        TShiftState Shift = KeysToShiftState(Message.WParam);
        MouseUp(mbRight, Shift, static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

bool TRxDBGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (!WheelEventHandled(this, true, Shift, MousePos) && CanFocus() && DataLink()->Active())
        DataLink()->DataSet()->MoveBy(1);
    return true;
}

bool TRxDBGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (!WheelEventHandled(this, false, Shift, MousePos) && CanFocus() && DataLink()->Active())
        DataLink()->DataSet()->MoveBy(-1);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Editing

int TRxDBGrid::GetImageIndex(TField* Field) {
    if (!FShowGlyphs || !Field)
        return -1;
    // A field that shows and takes its text through its own events is edited as text.
    if (!ReadOnly() && Field->CanModify() && Field->OnGetText && Field->OnSetText)
        return -1;
    switch (Field->DataType()) {
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftTypedBinary:
    case ftOraBlob:
        return gpBlob;
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob:
        return gpMemo;
    case ftGraphic:
        return gpPicture;
    case ftParadoxOle:
    case ftDBaseOle:
        return gpOle;
    case ftCursor:
    case ftReference:
    case ftDataSet:
        return gpData;
    default:
        return -1;
    }
}

bool TRxDBGrid::CanEditShow() {
    bool Result = TDBGrid::CanEditShow();
    TField* F = SelectedField();
    if (Result && F && GetImageIndex(F) >= 0)
        Result = false;
    if (Result)
        OnShowEditor(this, F, Result);
    return Result;
}

TInplaceEdit* TRxDBGrid::CreateEditor() { return TDBGrid::CreateEditor(); }

void TRxDBGrid::InplaceEditChanged() {
    TDBGrid::InplaceEditChanged();
    EditChanged(this);
}

// ---------------------------------------------------------------------------------------------
// Drawing

bool TRxDBGrid::HighlightCell(int ACol, int ARow, const TRect& ARect) {
    if (ARow >= TitleOffset() && ACol >= IndicatorOffset() && DataLink()->Active() &&
        ARow - TitleOffset() < DataLink()->RecordCount()) {
        int Old = DataLink()->ActiveRecord();
        DataLink()->SetActiveRecord(ARow - TitleOffset());
        bool Selected = ActiveRowSelected();
        DataLink()->SetActiveRecord(Old);
        if (Selected)
            return true;
    }
    return TDBGrid::HighlightCell(ACol, ARow, ARect);
}

void TRxDBGrid::GetCellParams(TField* Field, TFont* AFont, TColor& Background, bool Highlight) {
    if (OnGetCellParams)
        OnGetCellParams(this, Field, AFont, Background, Highlight);
    else if (OnGetCellProps) {
        if (Highlight) {
            TColor Colour = AFont->Color();
            OnGetCellProps(this, Field, AFont, Colour);
            AFont->SetColor(Colour);
        } else
            OnGetCellProps(this, Field, AFont, Background);
    }
}

void TRxDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas* C = Canvas();
    if (AState.Contains(gdFixed)) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FixedColor());
        C->FillRect(ARect);
    }
    TDBGrid::DrawCell(ACol, ARow, ARect, AState);
    int Titles = TitleOffset();
    bool Active = DataLink()->Active();
    if (ACol == 0 && Options().Contains(dgIndicator) && ARow >= Titles && FMultiSelect && Active &&
        DataLink()->DataSet()->State() == dsBrowse && ARow - Titles < DataLink()->RecordCount()) {
        int Old = DataLink()->ActiveRecord();
        DataLink()->SetActiveRecord(ARow - Titles);
        bool Selected = SelectedRows()->CurrentRowSelected();
        DataLink()->SetActiveRecord(Old);
        if (Selected) {
            int Image = ARow - Titles == Old ? 1 : 0;
            int Inset = Options().Contains(dgColLines) && Options().Contains(dgRowLines) ? 1 : 2;
            FMsIndicators->Draw(C, ARect.Right - FMsIndicators->Width() - Inset,
                                (ARect.Top + ARect.Bottom - FMsIndicators->Height()) / 2, Image);
        }
    } else if (ARow < Titles && (FTitleButtons || FixedCols() > 0) && ACol >= IndicatorOffset()) {
        DrawTitleCell(ACol, ARow, ARect);
    }
}

void TRxDBGrid::DrawTitleCell(int ACol, int ARow, const TRect& Cell) {
    TCanvas* C = Canvas();
    C->Pen()->SetColor(clBtnShadow);
    // A hidden neighbour leaves no line of its own: close the border.
    if (ACol > IndicatorOffset() && ColWidths(ACol - 1) <= 0) {
        C->MoveTo(Cell.Left - 1, Cell.Top);
        C->LineTo(Cell.Left - 1, Cell.Bottom);
    }
    // A title over nested columns spans them: each of its cells draws it whole, clipped.
    TRect ARect = Cell;
    TColumn* Column = TitleColumn(ACol, ARow, ARect);
    TCanvasClip Clip(C, Cell);
    bool Down = FTracking && FPressed && Column && Column == FPressedCol;
    if (FTitleButtons || (Options().Contains(dgColLines) && Options().Contains(dgRowLines))) {
        RECT Edge{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
        DrawEdge(C->Handle(), &Edge, Down ? BDR_SUNKENINNER : BDR_RAISEDINNER, BF_RECT);
        ARect = TRect{ARect.Left + 1, ARect.Top + 1, ARect.Right - 1, ARect.Bottom - 1};
    }
    if (!Column) {
        C->Brush()->SetColor(FixedColor());
        C->FillRect(ARect);
        GridCellTextAutoNoBidi(this, ACol, ARow, "", ARect, taLeftJustify, 1);
        return;
    }
    TColor Background = Column->Title()->Color();
    TSortMarker Marker = smNone;
    C->Font()->Assign(Column->Title()->Font());
    if (FTitleButtons && Column->Field())
        OnGetBtnParams(this, Column->Field(), C->Font(), Background, Marker, Down);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Background);
    C->FillRect(ARect);
    TRect TextRect = ARect;
    if (Down)
        TextRect = TRect{ARect.Left + 1, ARect.Top + 1, ARect.Right + 1, ARect.Bottom + 1};
    DrawExpandButton(Column, TextRect);
    TBitmap* MarkerBitmap = Marker == smDown ? GridBitmap(gpMarkDown) : Marker == smUp ? GridBitmap(gpMarkUp) : nullptr;
    int MarkerSpace = MarkerBitmap ? MarkerBitmap->Width() + 6 : 0;
    std::string Caption = ShortenTextToWidth(Column->Title()->Caption(), C, RectangleWidth(TextRect) - MarkerSpace - 4);
    GridCellTextAuto(this, ACol, ARow, Caption, TextRect, Column->Title()->Alignment(), 1, UseRightToLeftAlignment());
    if (MarkerBitmap && RectangleWidth(TextRect) > MarkerBitmap->Width()) {
        int X = UseRightToLeftAlignment() ? TextRect.Left + 3 : TextRect.Right - MarkerBitmap->Width() - 3;
        int Y = (TextRect.Top + TextRect.Bottom - MarkerBitmap->Height()) / 2;
        DrawBitmapKeyed(C, X, Y, MarkerBitmap, clFuchsia);
    }
}

void TRxDBGrid::DrawDataCell(const TRect&, TField*, TGridDrawState) {}

void TRxDBGrid::DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) {
    TCanvas* C = Canvas();
    TField* Field = Column->Field();
    bool Highlight = (State.Contains(gdSelected) && (Focused() || Options().Contains(dgAlwaysShowSelection))) ||
                     ActiveRowSelected();
    TColor Background = C->Brush()->Color();
    GetCellParams(Field, C->Font(), Background, Highlight);
    C->Brush()->SetColor(Background);
    if (FDefaultDrawing) {
        int Image = GetImageIndex(Field);
        if (Image >= 0) {
            TBitmap* B = GridBitmap(static_cast<TGridPicture>(Image));
            C->FillRect(Rect);
            DrawBitmapKeyed(C, (Rect.Left + Rect.Right - B->Width()) / 2, (Rect.Top + Rect.Bottom - B->Height()) / 2,
                            B, clOlive);
        } else
            DefaultDrawColumnCell(Rect, DataCol, Column, State);
    }
    if (Columns()->State() == csDefault)
        TDBGrid::DrawDataCell(Rect, Field, State);
    TDBGrid::DrawColumnCell(Rect, DataCol, Column, State);
    TCustomForm* Form = ::GetParentForm(this);
    if (FDefaultDrawing && Highlight && !ComponentState().Contains(csDesigning) && !Options().Contains(dgRowSelect) &&
        Form && Form->ActiveControl() == this)
        C->DrawFocusRect(Rect);
}

void TRxDBGrid::Paint() {
    TDBGrid::Paint();
    if (Options().Contains(dgRowSelect) && FDefaultDrawing && Focused()) {
        TRect Box{0, 0, 0, 0};
        bool Any = false;
        for (int C = TCustomGrid::FixedCols(); C < ColCount(); ++C) {
            TRect R = CellRect(C, Row());
            if (R.IsEmpty())
                continue;
            Box = Any ? TRect{MinInteger(Box.Left, R.Left), R.Top, MaxInteger(Box.Right, R.Right), R.Bottom} : R;
            Any = true;
        }
        if (Any)
            Canvas()->DrawFocusRect(Box);
    }
}

// ---------------------------------------------------------------------------------------------
// Column layout

void TRxDBGrid::StoreGridLayout(TObject* Storage, const std::string& Section) {
    if (!DataSource() || !DataSource()->DataSet())
        return;
    if (Columns()->State() != csCustomized) {
        StoreFieldLayout(DataSource()->DataSet(), Storage, Section);
        return;
    }
    std::string Target = Section.empty() ? DefaultSectionName(this) : Section;
    StorageEraseSection(Storage, Target);
    for (int I = 0; I < Columns()->Count(); ++I) {
        TColumn* Column = Columns()->Items(I);
        StorageWriteString(Storage, Target, Format("%s.%s", {Name(), Column->FieldName()}),
                           Format("%d,%d", {Column->Index(), Column->Width()}));
    }
}

void TRxDBGrid::LoadGridLayout(TObject* Storage, const std::string& Section) {
    if (!DataSource() || !DataSource()->DataSet())
        return;
    BeginLayout();
    try {
        if (Columns()->State() != csCustomized)
            LoadFieldLayout(DataSource()->DataSet(), Storage, Section, false);
        else {
            std::string Source = Section.empty() ? DefaultSectionName(this) : Section;
            std::vector<std::pair<TColumn*, int>> Wanted;
            for (int I = 0; I < Columns()->Count(); ++I) {
                TColumn* Column = Columns()->Items(I);
                std::string V = StorageReadString(Storage, Source, Format("%s.%s", {Name(), Column->FieldName()}), "");
                int Index = StrToIntDef(NthWord(1, V, LayoutDelimiters()), Column->Index());
                Column->SetWidth(StrToIntDef(NthWord(2, V, LayoutDelimiters()), Column->Width()));
                Wanted.emplace_back(Column, Index);
            }
            for (int P = 0; P < static_cast<int>(Wanted.size()); ++P)
                for (auto& [Column, Index] : Wanted)
                    if (Index == P) {
                        Column->SetIndex(P);
                        break;
                    }
        }
    } catch (...) {
        EndLayout();
        throw;
    }
    EndLayout();
}

std::string TRxDBGrid::StorageSection() {
    std::string Root = FIniLink->RootSection();
    if (Columns()->State() == csCustomized)
        return Root + DefaultSectionName(this);
    if (!Root.empty() && DataSource() && DataSource()->DataSet())
        return Root + DataSetSectionName(DataSource()->DataSet());
    return std::string();
}

void TRxDBGrid::IniSave(TObject*) {
    if (!Name().empty() && FIniLink->StorageObject())
        StoreGridLayout(FIniLink->StorageObject(), StorageSection());
}

void TRxDBGrid::IniLoad(TObject*) {
    if (!Name().empty() && FIniLink->StorageObject())
        LoadGridLayout(FIniLink->StorageObject(), StorageSection());
}
