// The column control's events and its header customizing: the moves, hides and shows that header
// drags end in, the custom-draw chains, and the customizing form with the hidden bands and columns.
#include "dxTL.h"

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <algorithm>

std::string dxTLCustomizeCaption, dxTLCustomizeBandsCaption, dxTLCustomizeHeadersCaption;

// ---------------------------------------------------------------------------------------------
// Node images

int TCustomdxTreeListControl::GetNodeImageIndex(TdxTreeListNode* Node) {
    int Index = static_cast<TdxTreeListTextNode*>(Node)->FImageIndex;
    OnGetImageIndex(this, Node, Index);
    return Index;
}

int TCustomdxTreeListControl::GetNodeSelectedIndex(TdxTreeListNode* Node) {
    int Index = static_cast<TdxTreeListTextNode*>(Node)->FSelectedIndex;
    OnGetSelectedIndex(this, Node, Index);
    return Index;
}

int TCustomdxTreeListControl::GetNodeStateIndex(TdxTreeListNode* Node) {
    int Index = static_cast<TdxTreeListTextNode*>(Node)->FStateIndex;
    OnGetStateIndex(this, Node, Index);
    return Index;
}

// ---------------------------------------------------------------------------------------------
// The columns' say over their cells and headers

bool TCustomdxTreeListControl::IsHotTrackCell(TdxTreeListNode* Node, int Column) {
    if (TCustomdxTreeList::IsHotTrackCell(Node, Column))
        return true;
    if (Column < 0 || Column >= ColumnCount() || !HandleAllocated())
        return false;
    POINT P;
    GetCursorPos(&P);
    const TPoint C = ScreenToClient(TPoint{P.x, P.y});
    int Kind = 0;
    return Columns(Column)->IsHotTrackCell(C.X, C.Y, Kind, Node);
}

bool TCustomdxTreeListControl::GetHeaderHotPart(int X, int Y, int& Part, int Column) {
    if (!TCustomdxTreeList::GetHeaderHotPart(X, Y, Part, Column))
        return false;
    int Kind = 0;
    if (Part == 2 && Column >= 0 && Column < ColumnCount() && !Columns(Column)->CanShowFilterButton(X, Y, Kind))
        Part = 1;
    return true;
}

int TCustomdxTreeListControl::GetHeaderButtonState(int Column) {
    if (Column >= 0 && Column < ColumnCount() && Columns(Column)->DisableFilter)
        return 0;
    return TCustomdxTreeList::GetHeaderButtonState(Column);
}

bool TCustomdxTreeListControl::IsEditorClick(int X, int Y, int Column, bool WasFocused) {
    // Either says yes: a plain text column never asks for a click, and click-to-edit must still open it.
    if (TCustomdxTreeList::IsEditorClick(X, Y, Column, WasFocused))
        return true;
    const int C = GetVisibleColumn(Column);
    return C >= 0 && C < ColumnCount() && Columns(C)->ShowEditorOnClick(X, Y, WasFocused);
}

void TCustomdxTreeListControl::DoGetHotCursor(const HitInfo& Info, TCursor& Cursor) {
    if (Info.Node && Info.Column >= 0 && Info.Column < ColumnCount())
        Columns(Info.Column)->GetHotCursor(Info.Node, Cursor);
    TCustomdxTreeList::DoGetHotCursor(Info, Cursor);
}

int TCustomdxTreeListControl::GetColumnTextHeight(TCanvas* Canvas, int Column) {
    return std::max(TCustomdxTreeList::GetColumnTextHeight(Canvas, Column), Columns(Column)->GetCellMinHeight(Canvas));
}

// ---------------------------------------------------------------------------------------------
// Custom drawing

void TCustomdxTreeListControl::DoCustomDrawBand(TCanvas* Canvas, int Band, bool& Done, TAlignment& Alignment,
                                                TFont* Font, TColor& Color, std::string& Text, const TRect& Rect) {
    if (Band >= 0 && Band < FBands->VisibleCount())
        OnCustomDrawBand(this, VisibleBand(Band), Canvas, Rect, Text, Color, Font, Alignment, Done);
}

bool TCustomdxTreeListControl::HasCustomDrawHeader() {
    if (OnCustomDrawColumnHeader.Assigned())
        return true;
    return std::any_of(FColumns.begin(), FColumns.end(),
                       [](TdxTreeListColumn* C) { return C->OnCustomDrawColumnHeader.Assigned(); });
}

void TCustomdxTreeListControl::DoCustomDrawHeader(TCanvas* Canvas, int Column, bool& Done, TAlignment& Alignment,
                                                  TFont* Font, TColor& Color, std::string& Text, int& Sorted,
                                                  const TRect& Rect) {
    if (Column < 0 || Column >= ColumnCount())
        return;
    TdxTreeListColumn* C = Columns(Column);
    auto Sort = static_cast<TdxTreeListColumnSort>(Sorted);
    OnCustomDrawColumnHeader(this, C, Canvas, Rect, Text, Color, Font, Alignment, Sort, Done);
    if (!Done)
        C->OnCustomDrawColumnHeader(C, C, Canvas, Rect, Text, Color, Font, Alignment, Sort, Done);
    Sorted = static_cast<int>(Sort);
}

bool TCustomdxTreeListControl::HasCustomDrawCell() {
    if (OnCustomDrawCell.Assigned() || OnCustomDraw.Assigned())
        return true;
    return std::any_of(FColumns.begin(), FColumns.end(),
                       [](TdxTreeListColumn* C) { return C->IsCustomDrawCellAssigned(); });
}

void TCustomdxTreeListControl::DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node,
                                                int Column, bool& Done, TAlignment& Alignment, TFont* Font,
                                                TColor& Color, std::string& Text, bool Selected, bool Focused) {
    TdxTreeListColumn* C = Column >= 0 && Column < ColumnCount() ? Columns(Column) : nullptr;
    OnCustomDraw(this, Canvas, Rect, Node, C, Text, Font, Color, Selected, Focused, Done);
    if (Done)
        return;
    OnCustomDrawCell(this, Canvas, Rect, Node, C, Selected, Focused, FDrawingNewItemRow, Text, Color, Font, Alignment,
                     Done);
    if (Done || !C)
        return;
    if (FDrawingNewItemRow ? CanEditNewItemRow() : !IsWholeRowNode(Node))
        C->DoCustomDrawCell(Canvas, Rect, Node, Selected, Focused, FDrawingNewItemRow, Text, Color, Font, Alignment,
                            Done);
}

void TCustomdxTreeListControl::DrawCellEx(TCanvas* Canvas, const TRect& Rect, int Value1, int Value2, bool RightFlag,
                                          bool LeftFlag, TdxCellKind Kind, bool MultiLine, HBRUSH Brush,
                                          COLORREF TextColor, TColor AColor, bool Focused, bool Selected, int Column,
                                          TdxTreeListNode* Node) {
    // The custom-draw chain tells new-item-row cells from data cells.
    const bool Saved = FDrawingNewItemRow;
    FDrawingNewItemRow = Kind == ckNewItemRow;
    try {
        TCustomdxTreeList::DrawCellEx(Canvas, Rect, Value1, Value2, RightFlag, LeftFlag, Kind, MultiLine, Brush,
                                      TextColor, AColor, Focused, Selected, Column, Node);
    } catch (...) {
        FDrawingNewItemRow = Saved;
        throw;
    }
    FDrawingNewItemRow = Saved;
}

void TCustomdxTreeListControl::DoCustomDrawFooterCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node,
                                                      int Column, int FooterIndex, bool& Done, TAlignment& Alignment,
                                                      TFont* Font, TColor& Color, std::string& Text) {
    TdxTreeListColumn* C = Column >= 0 && Column < ColumnCount() ? Columns(Column) : nullptr;
    if (FooterIndex == -1)
        OnCustomDrawFooter(this, Canvas, Rect, Node, C, Text, Color, Font, Alignment, Done);
    else
        OnCustomDrawFooterNode(this, Canvas, Rect, Node, C, FooterIndex, Text, Color, Font, Alignment, Done);
}

void TCustomdxTreeListControl::DoCustomDrawPreview(TCanvas* Canvas, const TRect& Rect, bool& Done, TFont* Font,
                                                   TColor& TextColor, TColor& Color, std::string& Text, bool Selected,
                                                   TdxTreeListNode* Node) {
    OnCustomDrawPreview(this, Canvas, Rect, Node, Selected, Text, Done);
    if (!Done)
        OnCustomDrawPreviewCell(this, Canvas, Rect, Node, Selected, Text, Color, TextColor, Font, Done);
}

bool TCustomdxTreeListControl::IsColumnFooterShown(int Column) {
    bool Result = false;
    OnColumnHasFooter(this, Column, Result);
    return Result;
}

std::string TCustomdxTreeListControl::GetDragImageCellText(TdxTreeListNode* Node, int Column) {
    std::string Text = TCustomdxTreeList::GetDragImageCellText(Node, Column);
    OnGetDragCellText(this, Node, Column >= 0 && Column < ColumnCount() ? Columns(Column) : nullptr, Text);
    return Text;
}

// ---------------------------------------------------------------------------------------------
// Header drags and clicks

bool TCustomdxTreeListControl::CanDragBand(int Band) {
    TdxTreeListBand* B = Band >= 0 && Band < FBands->VisibleCount() ? VisibleBand(Band) : nullptr;
    bool Allow = TCustomdxTreeList::CanDragBand(Band) && B && B->Fixed() == bfNone && !B->DisableDragging;
    if (Allow)
        OnCanDragBand(this, B, Allow);
    return Allow;
}

bool TCustomdxTreeListControl::CanDragColumn(int C) {
    bool Allow = TCustomdxTreeList::CanDragColumn(C) && C >= 0 && C < ColumnCount() && !Columns(C)->DisableDragging;
    if (Allow)
        OnCanDragColumn(this, Columns(C), Allow);
    return Allow;
}

void TCustomdxTreeListControl::StartBandDrag(int Band) {
    TCustomdxTreeList::StartBandDrag(Band);
    if (FCustomizePages && FBandList)
        FCustomizePages->SetActivePageIndex(0);
    if (Band >= 0 && Band < FBands->Count())
        OnStartBandDrag(this, FBands->Items(Band));
}

void TCustomdxTreeListControl::StartColumnDrag(int Column) {
    TCustomdxTreeList::StartColumnDrag(Column);
    if (FCustomizePages && FBandList && FColumnList)
        FCustomizePages->SetActivePageIndex(FCustomizePages->PageCount() - 1);
    if (Column >= 0 && Column < ColumnCount())
        OnStartColumnDrag(this, Columns(Column));
}

void TCustomdxTreeListControl::EndBandDrag(bool Drop) {
    TCustomdxTreeList::EndBandDrag(Drop);
    ReleaseDragCapture();
}

void TCustomdxTreeListControl::EndColumnDrag(bool Drop) {
    TCustomdxTreeList::EndColumnDrag(Drop);
    ReleaseDragCapture();
}

void TCustomdxTreeListControl::ReleaseDragCapture() {
    // A drag from the customizing form captured the mouse for this control.
    if (HandleAllocated() && GetCapture() == Handle())
        ReleaseCapture();
}

void TCustomdxTreeListControl::DoDragOverBand(TPoint P, int Band, bool& Accept) {
    if (Band >= 0 && Band < FBands->Count())
        OnDragOverBand(this, FBands->Items(Band), P, Accept);
}

void TCustomdxTreeListControl::DoEndDragBand(TPoint P, int Band, bool& Accept, int& Target, int Pressed) {
    if (Band >= 0 && Band < FBands->Count())
        OnEndDragBand(this, FBands->Items(Band), P, Band, Pressed, Target, Accept);
}

void TCustomdxTreeListControl::DoDragOverColumn(TPoint P, int Column, bool& Accept) {
    if (Column >= 0 && Column < ColumnCount())
        OnDragOverColumn(this, Columns(Column), P, Accept);
}

void TCustomdxTreeListControl::DoEndDragColumn(TPoint P, int Column, bool& Accept, HeaderDropTarget& Target) {
    if (Column < 0 || Column >= ColumnCount())
        return;
    TdxTreeListColumn* C = Columns(Column);
    OnEndDragColumn(this, C, P, Target.Col, Accept);
    if (GetVisibleBandCount() != 1)
        return;
    OnColumnPositionChanged(this, C->ColIndex(), Target.Col);
    OnEndColumnDragPos(this, P.X, P.Y, C, Target.Col);
}

void TCustomdxTreeListControl::DoBandClick(int Band) {
    if (Band >= 0 && Band < FBands->VisibleCount())
        OnBandClick(this, VisibleBand(Band));
}

void TCustomdxTreeListControl::DoColumnHeaderClick(int Column) {
    if (Column < 0 || Column >= ColumnCount())
        return;
    TdxTreeListColumn* C = Columns(Column);
    OnColumnClick(this, C);
    if (IsColumnSorting() && IndexOfColumn(C) >= 0)
        ToggleColumnSort(C);
}

int TCustomdxTreeListControl::GetColumnSorted(int C) {
    TdxTreeListColumnSort Sorted = Columns(C)->Sorted();
    OnGetColumnSorted(this, Columns(C), Sorted);
    return static_cast<int>(Sorted);
}

bool TCustomdxTreeListControl::CanSortColumn(TdxTreeListColumn* Column) {
    bool Allow = true;
    OnColumnSorting(this, Column, Allow);
    return Allow;
}

void TCustomdxTreeListControl::ToggleColumnSort(TdxTreeListColumn* Column) {
    if (!CanSortColumn(Column))
        return;
    Column->SetSorted(FSortCtrl ? csNone : (Column->Sorted() == csUp ? csDown : csUp));
}

// ---------------------------------------------------------------------------------------------
// Moving, hiding and showing bands and columns

void TCustomdxTreeListControl::MoveBand(int From, int To) {
    if (From == To)
        return;
    TdxTreeListBand* B = VisibleBand(From);
    TdxTreeListBand* T = VisibleBand(To);
    if (B && T)
        B->SetIndex(T->Index());
}

void TCustomdxTreeListControl::ShowBandAt(int Target, int Band) {
    TdxTreeListBand* B = FBands->Items(Band);
    BeginUpdate();
    try {
        B->SetVisible(true);
        Target = std::max(Target, 0);
        const int Visible = FBands->VisibleCount();
        if (Visible > 1)
            B->SetIndex(Target < Visible ? VisibleBand(Target)->Index() : FBands->Count() - 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    UpdateCustomizingLists();
    OnShowBand(this, B, Target);
}

void TCustomdxTreeListControl::HideBand(int Band) {
    TdxTreeListBand* B = FBands->Items(Band);
    B->SetVisible(false);
    UpdateCustomizingLists();
    OnHideBand(this, B);
}

void TCustomdxTreeListControl::PlaceColumn(TdxTreeListColumn* C, int Band, int Col, int Row, bool Show) {
    BeginUpdate();
    try {
        if (Show)
            C->SetVisible(true);
        if (Row >= FHeaderPanelRowCount)
            SetHeaderPanelRowCountValue(Row + 1);
        C->SetBandIndex(FBands->GetAbsoluteIndex(Band));
        C->SetRowIndex(Row);
        C->SetColIndex(Col);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    ColumnChanged(nullptr);
}

void TCustomdxTreeListControl::MoveColumn(int Column, int Band, int Col, int Row) {
    TdxTreeListColumn* C = Columns(Column);
    PlaceColumn(C, Band, Col, Row, false);
    OnColumnMoved(this, C);
}

void TCustomdxTreeListControl::ShowColumnAt(int Band, int Row, int Column, int Col) {
    TdxTreeListColumn* C = Columns(Column);
    PlaceColumn(C, Band, Col, Row, true);
    UpdateCustomizingLists();
    OnShowColumn(this, C, Band, Row, Col);
}

void TCustomdxTreeListControl::HideColumn(int Column) {
    TdxTreeListColumn* C = Columns(Column);
    C->SetVisible(false);
    UpdateCustomizingLists();
    OnHideColumn(this, C);
}

bool TCustomdxTreeListControl::CanShowBandInCustomizing(int Band) {
    TdxTreeListBand* B = FBands->Items(Band);
    return !B->Visible() && !B->DisableCustomizing();
}

bool TCustomdxTreeListControl::CanShowColumnInCustomizing(int Column) {
    TdxTreeListColumn* C = Columns(Column);
    return !(C->Visible() && C->BandIndex() >= 0) && !C->DisableCustomizing;
}

// ---------------------------------------------------------------------------------------------
// The customizing form

void TCustomdxTreeListControl::ColumnsCustomizing() {
    if (FCustomizeForm) {
        FCustomizeForm->Show();
        return;
    }
    TForm* F = TForm::CreateNew(this);
    F->SetBorderStyle(bsSizeToolWin);
    F->SetFormStyle(fsStayOnTop);
    F->SetCaption(dxTLCustomizeCaption);
    F->SetBounds(0, 0, 180, 240);
    if (HandleAllocated()) {
        const TPoint P = ClientToScreen(TPoint{Width(), 0});
        F->SetBounds(std::min<int>(P.X, Screen->Width() - F->Width()), P.Y, F->Width(), F->Height());
    }
    F->OnClose = TCloseEvent::FromFunction([this](TObject* S, TCloseAction& A) { CustomizeFormClose(S, A); });
    FCustomizePages = Create<TPageControl>(F);
    FCustomizePages->SetName("PageControl");
    FCustomizePages->SetParent(F);
    FCustomizePages->SetAlign(alClient);
    auto AddPage = [&](const std::string& Caption) {
        auto* Page = Create<TTabSheet>(F);
        Page->SetPageControl(FCustomizePages);
        Page->SetCaption(Caption);
        auto* List = Create<TListBox>(F);
        List->SetParent(Page);
        List->SetAlign(alClient);
        List->OnMouseDown = TMouseEvent::FromFunction([this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
            CustomizeListMouseDown(S, B, Sh, X, Y);
        });
        return List;
    };
    FBandList = AddPage(dxTLCustomizeBandsCaption);
    FColumnList = AddPage(dxTLCustomizeHeadersCaption);
    FCustomizeForm = F;
    F->FreeNotification(this);
    UpdateCustomizingBorders();
    UpdateCustomizingLists();
    FCustomizePages->SetActivePageIndex(ShowBands() ? 0 : 1);
    F->Show();
}

void TCustomdxTreeListControl::EndColumnsCustomizing() {
    if (FCustomizeForm)
        FCustomizeForm->Close();
}

void TCustomdxTreeListControl::CustomizeFormClose(TObject*, TCloseAction& Action) {
    Action = caFree;
    OnEndCustomizing(this);
}

void TCustomdxTreeListControl::CustomizeFormDestroyed() {
    FCustomizeForm = nullptr;
    FCustomizePages = nullptr;
    FBandList = FColumnList = nullptr;
}

TWinControl* TCustomdxTreeListControl::CustomizingForm() {
    return FCustomizeForm && FCustomizeForm->Visible() ? FCustomizeForm : nullptr;
}

void TCustomdxTreeListControl::UpdateCustomizingLists() {
    if (!FCustomizeForm)
        return;
    TStrings* Bands = FBandList->Items();
    Bands->BeginUpdate();
    Bands->Clear();
    for (int I = 0; I < FBands->Count(); ++I)
        if (CanShowBandInCustomizing(I))
            Bands->AddObject(FBands->Items(I)->Caption(), FBands->Items(I));
    Bands->EndUpdate();
    TStrings* Columns = FColumnList->Items();
    Columns->BeginUpdate();
    Columns->Clear();
    for (int I = 0; I < ColumnCount(); ++I)
        if (CanShowColumnInCustomizing(I))
            Columns->AddObject(GetColumnFullCaption(I), this->Columns(I));
    Columns->EndUpdate();
}

void TCustomdxTreeListControl::UpdateCustomizingBorders() {
    if (!FCustomizeForm)
        return;
    const bool Flat = DrawStyle() != 0;
    for (TListBox* List : {FBandList, FColumnList})
        if (List->Ctl3D() == Flat) {
            List->SetCtl3D(!Flat);
            if (List->HandleAllocated())
                List->RecreateWnd();
        }
}

void TCustomdxTreeListControl::MetricsChanged() {
    TCustomdxTreeList::MetricsChanged();
    UpdateCustomizingBorders();
}

void TCustomdxTreeListControl::CustomizeListMouseDown(TObject* Sender, TMouseButton Button, TShiftState,
                                                      int X, int Y) {
    if (Button != mbLeft || State() != tsIdle)
        return;
    auto* List = static_cast<TListBox*>(Sender);
    const int Item = List->ItemAtPos(TPoint{X, Y}, true);
    if (Item < 0)
        return;
    TObject* Obj = List->Items()->Objects(Item);
    if (List == FColumnList) {
        const int Column = IndexOfColumn(static_cast<TdxTreeListColumn*>(Obj));
        if (Column < 0)
            return;
        FDragColumn = Column;
        FPressedColumn = -1;
        StartColumnDrag(Column);
    } else {
        const int Band = static_cast<TdxTreeListBand*>(Obj)->Index();
        FDragBand = Band;
        FPressedBand = -1;
        StartBandDrag(Band);
    }
    // The drop comes to this control: it takes the mouse from the list.
    SetCapture(Handle());
}
