// TCustomGrid: geometry, painting, selection, scrolling, keys, mouse, sizing and the in-place editor.
#include "Grids.h"

#include <algorithm>

namespace {
// How near (in pixels) a press must be to a grid line to size its column or row.
constexpr int SizingMargin = 3;
}

// ---------------------------------------------------------------------------------------------
// TInplaceEdit

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(false);
    SetVisible(false);
    SetParentColor(false);
    SetColor(clWindow);
}

void TInplaceEdit::DefineClass(TClassBuilder<TInplaceEdit>& B) {
    B.Message<&TInplaceEdit::WMGetDlgCode>(WM_GETDLGCODE);
    B.Message<&TInplaceEdit::CNCommand>(CN_COMMAND);
    B.Message<&TInplaceEdit::WMKillFocus>(WM_KILLFOCUS);
}

void TInplaceEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_MULTILINE | WS_CLIPSIBLINGS;
    Params.Style &= ~(WS_BORDER | WS_VISIBLE);
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TInplaceEdit::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TInplaceEdit::Move(const TRect& Loc) {
    SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
    if (!FShown) {
        FShown = true;
        SetVisible(true);
    }
    if (HandleAllocated())
        ShowWindow(Handle(), SW_SHOWNA);
}

void TInplaceEdit::Hide() {
    if (!FShown)
        return;
    FShown = false;
    SetVisible(false);
}

std::string TInplaceEdit::EditText() { return GetText(); }

void TInplaceEdit::SetEditText(const std::string& Value) {
    FSettingText = true;
    SetText(Value);
    FSettingText = false;
    FModified = false;
}

void TInplaceEdit::SelectAll() {
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FGrid && FGrid->Options().Contains(goTabs))
        Message.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == EN_CHANGE && !FSettingText) {
        FModified = true;
        if (FGrid)
            FGrid->InplaceEditChanged();
    }
}

void TInplaceEdit::WMKillFocus(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    // Leaving the editor for another control keeps its text in the cell.
    if (FGrid && reinterpret_cast<HWND>(Message.WParam) != (FGrid->HandleAllocated() ? FGrid->Handle() : nullptr))
        FGrid->UpdateText();
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    if (!FGrid || Key == 0)
        return;
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        // Moving between rows belongs to the grid.
        FGrid->KeyDown(Key, Shift);
        Key = 0;
        break;
    case VK_TAB:
        if (FGrid->Options().Contains(goTabs)) {
            FGrid->KeyDown(Key, Shift);
            Key = 0;
        }
        break;
    case VK_F2:
        FGrid->SetEditorMode(false);
        Key = 0;
        break;
    default:
        break;
    }
}

void TInplaceEdit::KeyPress(char& Key) {
    TWinControl::KeyPress(Key);
    if (!FGrid || Key == 0)
        return;
    if (Key == '\r') {
        FGrid->UpdateText();
        FGrid->SetEditorMode(false);
        Key = 0;
    } else if (Key == 27) {
        // Esc puts the cell's text back.
        SetEditText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
        FGrid->SetEditorMode(false);
        Key = 0;
    } else if (Key >= ' ' && !FGrid->CanEditAcceptKey(Key)) {
        MessageBeep(0);
        Key = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomGrid: construction and properties

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents};
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    FColWidths.assign(5, FDefaultColWidth);
    FRowHeights.assign(5, FDefaultRowHeight);
    FTabStops.assign(5, true);
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::BeforeDestruction() {
    if (FInplaceEdit) {
        TInplaceEdit* Editor = FInplaceEdit;
        FInplaceEdit = nullptr;
        FEditorMode = false;
        Editor->Free();
    }
    TCustomControl::BeforeDestruction();
}

void TCustomGrid::DefineClass(TClassBuilder<TCustomGrid>& B) {
    B.Message<&TCustomGrid::WMGetDlgCode>(WM_GETDLGCODE);
    B.Message<&TCustomGrid::WMHScroll>(WM_HSCROLL);
    B.Message<&TCustomGrid::WMVScroll>(WM_VSCROLL);
    B.Message<&TCustomGrid::WMSetCursor>(WM_SETCURSOR);
    B.Message<&TCustomGrid::WMSetFocus>(WM_SETFOCUS);
    B.Message<&TCustomGrid::WMKillFocus>(WM_KILLFOCUS);
    B.Message<&TCustomGrid::WMCancelMode>(WM_CANCELMODE);
}

void TCustomGrid::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_TABSTOP;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        Params.Style |= WS_HSCROLL;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomGrid::CreateWnd() {
    // A new window has bars of its own.
    FBarInfo[0] = FBarInfo[1] = SCROLLINFO{};
    TCustomControl::CreateWnd();
    UpdateScrollRange();
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    int OldCols = ColCount(), OldRows = RowCount();
    FColWidths.resize(static_cast<std::size_t>(NewColCount), FDefaultColWidth);
    FTabStops.resize(static_cast<std::size_t>(NewColCount), true);
    FRowHeights.resize(static_cast<std::size_t>(NewRowCount), FDefaultRowHeight);
    // The current cell, anchor and top-left stay inside the grid.
    auto Clamp = [&](TGridCoord& C) {
        C.X = std::clamp(C.X, std::min(FFixedCols, NewColCount - 1), std::max(NewColCount - 1, 0));
        C.Y = std::clamp(C.Y, std::min(FFixedRows, NewRowCount - 1), std::max(NewRowCount - 1, 0));
    };
    Clamp(FCurrent);
    Clamp(FAnchor);
    Clamp(FTopLeft);
    SizeChanged(OldCols, OldRows);
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetColCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == ColCount())
        return;
    if (FFixedCols >= Value)
        FFixedCols = Value - 1;
    ChangeSize(Value, RowCount());
}

void TCustomGrid::SetRowCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == RowCount())
        return;
    if (FFixedRows >= Value)
        FFixedRows = Value - 1;
    ChangeSize(ColCount(), Value);
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value < 0 || Value >= ColCount())
        throw EInvalidGridOperation("Fixed column count must be less than column count");
    FFixedCols = Value;
    FCurrent.X = std::max(FCurrent.X, Value);
    FAnchor.X = std::max(FAnchor.X, Value);
    FTopLeft.X = std::max(FTopLeft.X, Value);
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0 || Value >= RowCount())
        throw EInvalidGridOperation("Fixed row count must be less than row count");
    FFixedRows = Value;
    FCurrent.Y = std::max(FCurrent.Y, Value);
    FAnchor.Y = std::max(FAnchor.Y, Value);
    FTopLeft.Y = std::max(FTopLeft.Y, Value);
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    FDefaultColWidth = Value;
    std::fill(FColWidths.begin(), FColWidths.end(), Value);
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = Value;
    std::fill(FRowHeights.begin(), FRowHeights.end(), Value);
    RowHeightsChanged();
}

int TCustomGrid::ColWidths(int Index) const {
    return Index >= 0 && Index < ColCount() ? FColWidths[static_cast<std::size_t>(Index)] : FDefaultColWidth;
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    if (Index < 0 || Index >= ColCount())
        RaiseListIndexError(Index);
    Value = std::max(Value, -1);  // -1 hides a column
    if (FColWidths[static_cast<std::size_t>(Index)] == Value)
        return;
    FColWidths[static_cast<std::size_t>(Index)] = Value;
    ColWidthsChanged();
}

int TCustomGrid::RowHeights(int Index) const {
    return Index >= 0 && Index < RowCount() ? FRowHeights[static_cast<std::size_t>(Index)] : FDefaultRowHeight;
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    if (Index < 0 || Index >= RowCount())
        RaiseListIndexError(Index);
    Value = std::max(Value, -1);
    if (FRowHeights[static_cast<std::size_t>(Index)] == Value)
        return;
    FRowHeights[static_cast<std::size_t>(Index)] = Value;
    RowHeightsChanged();
}

bool TCustomGrid::TabStops(int Index) const {
    return Index >= 0 && Index < ColCount() && FTabStops[static_cast<std::size_t>(Index)];
}

void TCustomGrid::SetTabStops(int Index, bool Value) {
    if (Index < 0 || Index >= ColCount())
        RaiseListIndexError(Index);
    FTabStops[static_cast<std::size_t>(Index)] = Value;
}

void TCustomGrid::SetGridLineWidth(int Value) {
    FGridLineWidth = std::max(Value, 0);
    ColWidthsChanged();
}

void TCustomGrid::SetFixedColor(TColor Value) {
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetGridOptions(TGridOptions Value) {
    if (Value == FOptions)
        return;
    if (Value.Contains(goRowSelect))
        Value.Exclude(goAlwaysShowEditor);
    FOptions = Value;
    if (!FEditorMode && Value.Contains(goAlwaysShowEditor))
        SetEditorMode(true);
    else if (FEditorMode && !Value.Contains(goEditing))
        SetEditorMode(false);
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomGrid::ColWidthsChanged() {
    UpdateScrollRange();
    UpdateEdit();
    Invalidate();
}

void TCustomGrid::RowHeightsChanged() {
    UpdateScrollRange();
    UpdateEdit();
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Geometry

int TCustomGrid::FixedWidth() const {
    int W = 0;
    int Line = FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine) ? FGridLineWidth : 0;
    for (int I = 0; I < FFixedCols; ++I)
        if (FColWidths[static_cast<std::size_t>(I)] >= 0)
            W += FColWidths[static_cast<std::size_t>(I)] + Line;
    return W;
}

int TCustomGrid::FixedHeight() const {
    int H = 0;
    int Line = FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine) ? FGridLineWidth : 0;
    for (int I = 0; I < FFixedRows; ++I)
        if (FRowHeights[static_cast<std::size_t>(I)] >= 0)
            H += FRowHeights[static_cast<std::size_t>(I)] + Line;
    return H;
}

int TCustomGrid::ColLeft(int ACol) {
    if (ACol < 0 || ACol >= ColCount() || (ACol >= FFixedCols && ACol < FTopLeft.X))
        return -1;
    int Line = FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine) ? FGridLineWidth : 0;
    int X = 0;
    int Start = ACol < FFixedCols ? 0 : FTopLeft.X;
    if (ACol >= FFixedCols)
        X = FixedWidth();
    for (int I = Start; I < ACol; ++I)
        if (FColWidths[static_cast<std::size_t>(I)] >= 0)
            X += FColWidths[static_cast<std::size_t>(I)] + Line;
    return X < ClientWidth() ? X : -1;
}

int TCustomGrid::RowTop(int ARow) {
    if (ARow < 0 || ARow >= RowCount() || (ARow >= FFixedRows && ARow < FTopLeft.Y))
        return -1;
    int Line = FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine) ? FGridLineWidth : 0;
    int Y = 0;
    int Start = ARow < FFixedRows ? 0 : FTopLeft.Y;
    if (ARow >= FFixedRows)
        Y = FixedHeight();
    for (int I = Start; I < ARow; ++I)
        if (FRowHeights[static_cast<std::size_t>(I)] >= 0)
            Y += FRowHeights[static_cast<std::size_t>(I)] + Line;
    return Y < ClientHeight() ? Y : -1;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) {
    int X = ColLeft(ACol), Y = RowTop(ARow);
    if (X < 0 || Y < 0 || ColWidths(ACol) < 0 || RowHeights(ARow) < 0)
        return TRect{};
    return TRect{X, Y, X + ColWidths(ACol), Y + RowHeights(ARow)};
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) {
    TGridCoord Result{-1, -1};
    int VLine = FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine) ? FGridLineWidth : 0;
    int HLine = FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine) ? FGridLineWidth : 0;
    if (X < 0 || Y < 0 || X >= ClientWidth() || Y >= ClientHeight())
        return Result;
    int Pos = 0;
    for (int C = 0; C < ColCount() && Result.X < 0; C = (C + 1 == FFixedCols ? std::max(FTopLeft.X, C + 1) : C + 1)) {
        if (C >= FFixedCols && C < FTopLeft.X)
            continue;
        int W = ColWidths(C);
        if (W < 0)
            continue;
        if (X < Pos + W + VLine)
            Result.X = C;
        Pos += W + VLine;
    }
    Pos = 0;
    for (int R = 0; R < RowCount() && Result.Y < 0; R = (R + 1 == FFixedRows ? std::max(FTopLeft.Y, R + 1) : R + 1)) {
        if (R >= FFixedRows && R < FTopLeft.Y)
            continue;
        int H = RowHeights(R);
        if (H < 0)
            continue;
        if (Y < Pos + H + HLine)
            Result.Y = R;
        Pos += H + HLine;
    }
    if (Result.X < 0 || Result.Y < 0)
        return TGridCoord{-1, -1};
    return Result;
}

int TCustomGrid::VisibleColCount() {
    int VLine = FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine) ? FGridLineWidth : 0;
    int Room = ClientWidth() - FixedWidth(), N = 0;
    for (int C = FTopLeft.X; C < ColCount(); ++C) {
        int W = std::max(ColWidths(C), 0) + VLine;
        if (W > Room)
            break;
        Room -= W;
        ++N;
    }
    return std::max(N, 1);
}

int TCustomGrid::VisibleRowCount() {
    int HLine = FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine) ? FGridLineWidth : 0;
    int Room = ClientHeight() - FixedHeight(), N = 0;
    for (int R = FTopLeft.Y; R < RowCount(); ++R) {
        int H = std::max(RowHeights(R), 0) + HLine;
        if (H > Room)
            break;
        Room -= H;
        ++N;
    }
    return std::max(N, 1);
}

TGridCoord TCustomGrid::CalcMaxTopLeft() {
    // The top-left cell from which the last columns and rows just fill the client area.
    int VLine = FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine) ? FGridLineWidth : 0;
    int HLine = FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine) ? FGridLineWidth : 0;
    TGridCoord Result{ColCount() - 1, RowCount() - 1};
    int Room = ClientWidth() - FixedWidth() - (std::max(ColWidths(Result.X), 0) + VLine);
    while (Result.X > FFixedCols && Room >= std::max(ColWidths(Result.X - 1), 0) + VLine)
        Room -= std::max(ColWidths(--Result.X), 0) + VLine;
    Room = ClientHeight() - FixedHeight() - (std::max(RowHeights(Result.Y), 0) + HLine);
    while (Result.Y > FFixedRows && Room >= std::max(RowHeights(Result.Y - 1), 0) + HLine)
        Room -= std::max(RowHeights(--Result.Y), 0) + HLine;
    Result.X = std::max(Result.X, FFixedCols);
    Result.Y = std::max(Result.Y, FFixedRows);
    return Result;
}

// ---------------------------------------------------------------------------------------------
// Painting

bool TCustomGrid::HighlightCell(int ACol, int ARow, const TRect& ARect) {
    (void)ARect;
    TGridRect S = Selection();
    bool InSelection = ACol >= S.Left && ACol <= S.Right && ARow >= S.Top && ARow <= S.Bottom;
    bool IsCurrent = ACol == FCurrent.X && ARow == FCurrent.Y;
    return InSelection && (!IsCurrent || FOptions.Contains(goDrawFocusSelected) || FOptions.Contains(goRowSelect));
}

void TCustomGrid::DrawGridLines(const TRect& R, bool Fixed, bool VertLine, bool HorzLine) {
    if (FGridLineWidth <= 0)
        return;
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Fixed ? clBlack : clSilver);
    if (VertLine)
        C->FillRect(TRect{R.Right, R.Top, R.Right + FGridLineWidth, R.Bottom + FGridLineWidth});
    if (HorzLine)
        C->FillRect(TRect{R.Left, R.Bottom, R.Right + FGridLineWidth, R.Bottom + FGridLineWidth});
}

void TCustomGrid::Paint() {
    if (FBarsStale) {
        FBarsStale = false;
        UpdateScrollRange();
    }
    TCanvas* C = Canvas();
    TRect Client = ClientRect();
    bool Focus = Focused() || (FInplaceEdit && FInplaceEdit->HandleAllocated() && GetFocus() == FInplaceEdit->Handle());
    int MaxX = 0, MaxY = 0;
    auto NextIndex = [](int I, int Fixed, int First) { return I + 1 == Fixed ? std::max(First, I + 1) : I + 1; };
    for (int Row = 0; Row < RowCount(); Row = NextIndex(Row, FFixedRows, FTopLeft.Y)) {
        int Y = RowTop(Row);
        if (Y < 0) {
            if (Row >= FTopLeft.Y)
                break;
            continue;
        }
        for (int Col = 0; Col < ColCount(); Col = NextIndex(Col, FFixedCols, FTopLeft.X)) {
            int X = ColLeft(Col);
            if (X < 0) {
                if (Col >= FTopLeft.X)
                    break;
                continue;
            }
            TRect R = CellRect(Col, Row);
            if (R.IsEmpty())
                continue;
            bool Fixed = Col < FFixedCols || Row < FFixedRows;
            TGridDrawState State;
            if (Fixed)
                State.Include(gdFixed);
            else {
                if (Focus && Col == FCurrent.X && Row == FCurrent.Y)
                    State.Include(gdFocused);
                if (HighlightCell(Col, Row, R))
                    State.Include(gdSelected);
            }
            if (FDefaultDrawing)
                PrepareCell(Col, Row, R, State);
            DrawCell(Col, Row, R, State);
            if (FDefaultDrawing && Fixed && FOptions.Contains(goFixedVertLine) && FOptions.Contains(goFixedHorzLine)) {
                RECT Edge = R;
                DrawEdge(C->Handle(), &Edge, BDR_RAISEDINNER, BF_BOTTOMRIGHT | BF_TOPLEFT);
            }
            if (FDefaultDrawing && State.Contains(gdFocused) && !FOptions.Contains(goRowSelect) && !FEditorMode) {
                C->Brush()->SetColor(Color());
                C->DrawFocusRect(R);
            }
            DrawGridLines(R, Fixed, FOptions.Contains(Fixed ? goFixedVertLine : goVertLine),
                          FOptions.Contains(Fixed ? goFixedHorzLine : goHorzLine));
            MaxX = std::max<int>(MaxX, R.Right + FGridLineWidth);
            MaxY = std::max<int>(MaxY, R.Bottom + FGridLineWidth);
        }
    }
    // Below and right of the last cells: the grid's own colour.
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    if (MaxX < Client.Right)
        C->FillRect(TRect{MaxX, 0, Client.Right, Client.Bottom});
    if (MaxY < Client.Bottom)
        C->FillRect(TRect{0, MaxY, std::min<int>(MaxX, Client.Right), Client.Bottom});
    if (FDefaultDrawing && Focus && FOptions.Contains(goRowSelect)) {
        TGridRect S = Selection();
        TRect First = CellRect(std::max(S.Left, FTopLeft.X), FCurrent.Y);
        if (!First.IsEmpty()) {
            TRect Focus{First.Left, First.Top, MaxX - FGridLineWidth, First.Bottom};
            C->DrawFocusRect(Focus);
        }
    }
}

void TCustomGrid::PrepareCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    (void)ACol, (void)ARow;
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    C->Brush()->SetStyle(bsSolid);
    if (AState.Contains(gdFixed))
        C->Brush()->SetColor(FFixedColor);
    else if (AState.Contains(gdSelected)) {
        C->Brush()->SetColor(clHighlight);
        C->Font()->SetColor(clHighlightText);
    } else
        C->Brush()->SetColor(Color());
    C->FillRect(ARect);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
    if (!HandleAllocated())
        return;
    TRect R = CellRect(ACol, ARow);
    if (R.IsEmpty())
        return;
    R.Right += FGridLineWidth;
    R.Bottom += FGridLineWidth;
    InvalidateRect(Handle(), R, FALSE);
}

void TCustomGrid::InvalidateRow(int ARow) {
    if (!HandleAllocated())
        return;
    int Y = RowTop(ARow);
    if (Y < 0)
        return;
    TRect R{0, Y, ClientWidth(), Y + RowHeights(ARow) + FGridLineWidth};
    InvalidateRect(Handle(), R, FALSE);
}

void TCustomGrid::InvalidateCol(int ACol) {
    if (!HandleAllocated())
        return;
    int X = ColLeft(ACol);
    if (X < 0)
        return;
    TRect R{X, 0, X + ColWidths(ACol) + FGridLineWidth, ClientHeight()};
    InvalidateRect(Handle(), R, FALSE);
}

// ---------------------------------------------------------------------------------------------
// Selection and moving

TGridRect TCustomGrid::Selection() const {
    TGridRect R{std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y), std::max(FCurrent.X, FAnchor.X),
                std::max(FCurrent.Y, FAnchor.Y)};
    if (FOptions.Contains(goRowSelect)) {
        R.Left = FFixedCols;
        R.Right = ColCount() - 1;
    }
    return R;
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
    FAnchor = TGridCoord{Value.Left, Value.Top};
    FCurrent = TGridCoord{Value.Right, Value.Bottom};
    ClampInView(FCurrent);
    Invalidate();
}

bool TCustomGrid::SelectCell(int ACol, int ARow) {
    bool Result = true;
    OnSelectCell(this, ACol, ARow, Result);
    return Result;
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveColRow(ACol, ARow, MoveAnchor, true);
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount())
        throw EInvalidGridOperation("Grid index out of range");
    if (!SelectCell(ACol, ARow))
        return;
    if (FEditorMode)
        UpdateText();
    bool Changed = ACol != FCurrent.X || ARow != FCurrent.Y || (MoveAnchor && !(FAnchor == FCurrent));
    int OldRow = FCurrent.Y;
    TGridRect OldSel = Selection();
    FCurrent = TGridCoord{ACol, ARow};
    if (MoveAnchor || !FOptions.Contains(goRangeSelect))
        FAnchor = FCurrent;
    if (Show)
        ClampInView(FCurrent);
    if (Changed) {
        if (OldSel.Top == OldSel.Bottom && OldSel.Top == OldRow && Selection().Top == Selection().Bottom) {
            InvalidateRow(OldRow);
            InvalidateRow(ARow);
        } else
            Invalidate();
    }
    UpdateEdit();
}

void TCustomGrid::SetCol(int Value) {
    if (Value != FCurrent.X)
        FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int Value) {
    if (Value != FCurrent.Y)
        FocusCell(FCurrent.X, Value, true);
}

void TCustomGrid::SetLeftCol(int Value) { MoveTopLeft(Value, FTopLeft.Y); }
void TCustomGrid::SetTopRow(int Value) { MoveTopLeft(FTopLeft.X, Value); }

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
    TGridCoord Max = CalcMaxTopLeft();
    ALeft = std::clamp(ALeft, std::min(FFixedCols, ColCount() - 1), std::max(Max.X, FFixedCols));
    ATop = std::clamp(ATop, std::min(FFixedRows, RowCount() - 1), std::max(Max.Y, FFixedRows));
    if (ALeft == FTopLeft.X && ATop == FTopLeft.Y)
        return;
    int DX = ALeft - FTopLeft.X, DY = ATop - FTopLeft.Y;
    FTopLeft = TGridCoord{ALeft, ATop};
    ScrollData(DX, DY);
    TopLeftChanged();
}

void TCustomGrid::ScrollData(int DX, int DY) {
    (void)DX, (void)DY;
    // The cells move under fixed rows and columns: repaint rather than blit.
    Invalidate();
    UpdateScrollPos();
    UpdateEdit();
}

void TCustomGrid::TopLeftChanged() {
    if (FEditorMode && FInplaceEdit)
        UpdateEdit();
    OnTopLeftChanged(this);
}

void TCustomGrid::ClampInView(const TGridCoord& Coord) {
    if (!HandleAllocated() && ClientWidth() <= 0)
        return;
    int NewLeft = FTopLeft.X, NewTop = FTopLeft.Y;
    if (Coord.X >= FFixedCols) {
        if (Coord.X < FTopLeft.X)
            NewLeft = Coord.X;
        else {
            while (NewLeft < Coord.X) {
                TGridCoord Saved = FTopLeft;
                FTopLeft.X = NewLeft;
                bool Fits = NewLeft + VisibleColCount() > Coord.X;
                FTopLeft = Saved;
                if (Fits)
                    break;
                ++NewLeft;
            }
        }
    }
    if (Coord.Y >= FFixedRows) {
        if (Coord.Y < FTopLeft.Y)
            NewTop = Coord.Y;
        else {
            TGridCoord Saved = FTopLeft;
            FTopLeft.Y = NewTop;
            int Visible = VisibleRowCount();
            FTopLeft = Saved;
            if (Coord.Y >= NewTop + Visible)
                NewTop = Coord.Y - Visible + 1;
        }
    }
    MoveTopLeft(NewLeft, NewTop);
}

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex)
        return;
    int W = FColWidths[static_cast<std::size_t>(FromIndex)];
    FColWidths.erase(FColWidths.begin() + FromIndex);
    FColWidths.insert(FColWidths.begin() + ToIndex, W);
    ColumnMoved(FromIndex, ToIndex);
    Invalidate();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex)
        return;
    int H = FRowHeights[static_cast<std::size_t>(FromIndex)];
    FRowHeights.erase(FRowHeights.begin() + FromIndex);
    FRowHeights.insert(FRowHeights.begin() + ToIndex, H);
    RowMoved(FromIndex, ToIndex);
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Scroll bars

void TCustomGrid::SetScrollBar(int Bar, int Min, int Max, int Page, int Pos) {
    if (!HandleAllocated())
        return;
    SCROLLINFO& Last = FBarInfo[Bar == SB_VERT ? 1 : 0];
    if (Last.cbSize != 0 && Last.nMin == Min && Last.nMax == Max && Last.nPage == static_cast<UINT>(Page) && Last.nPos == Pos)
        return;
    SCROLLINFO SI{sizeof(SI), SIF_RANGE | SIF_PAGE | SIF_POS, Min, Max, static_cast<UINT>(Page), Pos, 0};
    SetScrollInfo(Handle(), Bar, &SI, TRUE);
    Last = SI;
}

void TCustomGrid::UpdateScrollRange() {
    if (!HandleAllocated())
        return;
    TGridCoord Max = CalcMaxTopLeft();
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        SetScrollBar(SB_VERT, FFixedRows, RowCount() - 1, RowCount() - Max.Y, FTopLeft.Y);
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        SetScrollBar(SB_HORZ, FFixedCols, ColCount() - 1, ColCount() - Max.X, FTopLeft.X);
}

void TCustomGrid::UpdateScrollPos() { ScrollBarsChanged(); }

void TCustomGrid::ScrollBarsChanged() {
    FBarsStale = true;
    Invalidate();
}

void TCustomGrid::DoScroll(int Bar, int Code) {
    bool Vert = Bar == SB_VERT;
    int Pos = Vert ? FTopLeft.Y : FTopLeft.X;
    int Page = Vert ? VisibleRowCount() : VisibleColCount();
    SCROLLINFO SI{sizeof(SI), SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(Handle(), Bar, &SI);
    switch (Code) {
    case SB_LINEUP: --Pos; break;
    case SB_LINEDOWN: ++Pos; break;
    case SB_PAGEUP: Pos -= Page; break;
    case SB_PAGEDOWN: Pos += Page; break;
    case SB_TOP: Pos = 0; break;
    case SB_BOTTOM: Pos = Vert ? RowCount() : ColCount(); break;
    case SB_THUMBTRACK:
        if (!FOptions.Contains(goThumbTracking))
            return;
        Pos = SI.nTrackPos;
        break;
    case SB_THUMBPOSITION: Pos = SI.nTrackPos; break;
    default: return;
    }
    if (Vert)
        MoveTopLeft(FTopLeft.X, Pos);
    else
        MoveTopLeft(Pos, FTopLeft.Y);
}

void TCustomGrid::WMVScroll(TMessage& Message) { DoScroll(SB_VERT, LOWORD(Message.WParam)); }
void TCustomGrid::WMHScroll(TMessage& Message) { DoScroll(SB_HORZ, LOWORD(Message.WParam)); }

void TCustomGrid::Resize() {
    UpdateScrollRange();
    // A bigger window may show everything from an earlier top-left.
    MoveTopLeft(FTopLeft.X, FTopLeft.Y);
    TCustomControl::Resize();
}

// ---------------------------------------------------------------------------------------------
// Keys

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
    if (FOptions.Contains(goTabs))
        Message.Result |= DLGC_WANTTAB;
    if (FOptions.Contains(goEditing))
        Message.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0 || !CanGridAcceptKey(Key, Shift))
        return;
    TGridCoord New = FCurrent;
    bool Ctrl = Shift.Contains(ssCtrl);
    bool RowSelect = FOptions.Contains(goRowSelect);
    switch (Key) {
    case VK_UP: New.Y--; break;
    case VK_DOWN: New.Y++; break;
    case VK_LEFT:
        if (RowSelect)
            MoveTopLeft(FTopLeft.X - 1, FTopLeft.Y);
        else
            New.X--;
        break;
    case VK_RIGHT:
        if (RowSelect)
            MoveTopLeft(FTopLeft.X + 1, FTopLeft.Y);
        else
            New.X++;
        break;
    case VK_PRIOR: New.Y -= VisibleRowCount(); break;
    case VK_NEXT: New.Y += VisibleRowCount(); break;
    case VK_HOME:
        if (Ctrl || RowSelect)
            New.Y = FFixedRows;
        else
            New.X = FFixedCols;
        break;
    case VK_END:
        if (Ctrl || RowSelect)
            New.Y = RowCount() - 1;
        else
            New.X = ColCount() - 1;
        break;
    case VK_TAB:
        if (FOptions.Contains(goTabs) && !Shift.Contains(ssAlt)) {
            // The next (Shift: previous) tab-stop column, wrapping into the next row.
            int Step = Shift.Contains(ssShift) ? -1 : 1;
            int C = New.X, R = New.Y;
            for (int Guard = 0; Guard < ColCount() * 2; ++Guard) {
                C += Step;
                if (C >= ColCount()) {
                    C = FFixedCols;
                    if (++R >= RowCount())
                        R = FFixedRows;
                } else if (C < FFixedCols) {
                    C = ColCount() - 1;
                    if (--R < FFixedRows)
                        R = RowCount() - 1;
                }
                if (TabStops(C))
                    break;
            }
            New = TGridCoord{C, R};
        }
        break;
    case VK_F2:
        SetEditorMode(true);
        break;
    default:
        return;
    }
    New.X = std::clamp(New.X, FFixedCols, std::max(ColCount() - 1, FFixedCols));
    New.Y = std::clamp(New.Y, FFixedRows, std::max(RowCount() - 1, FFixedRows));
    // Hidden columns (width -1) are passed over in the direction of the move, else the other way.
    int Dir = New.X < FCurrent.X ? -1 : 1;
    for (int Turn = 0; Turn < 2 && ColWidths(New.X) < 0; ++Turn, Dir = -Dir)
        for (int C = New.X; C >= FFixedCols && C < ColCount(); C += Dir)
            if (ColWidths(C) >= 0) {
                New.X = C;
                break;
            }
    if (!(New == FCurrent))
        FocusCell(New.X, New.Y, !(Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect) && Key != VK_TAB));
}

void TCustomGrid::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0 || !FOptions.Contains(goEditing))
        return;
    if (Key == '\r') {
        SetEditorMode(!FEditorMode);
        Key = 0;
    } else if (Key == 27) {
        if (FEditorMode)
            SetEditorMode(false);
    } else if (static_cast<Byte>(Key) >= ' ' && !FEditorMode && CanEditAcceptKey(Key)) {
        // Typing starts the editor with the key as its text.
        ShowEditor();
        if (FEditorMode && FInplaceEdit) {
            FInplaceEdit->SetText(std::string(1, Key));
            SendMessageA(FInplaceEdit->Handle(), EM_SETSEL, 1, 1);
            FInplaceEdit->SetModified(true);
            InplaceEditChanged();
        }
        Key = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) {
    State = gsNormal;
    Index = -1;
    bool InFixedRows = Y < FixedHeight();
    bool InFixedCols = X < FixedWidth();
    if (FOptions.Contains(goColSizing) && InFixedRows) {
        for (int C = 0; C < ColCount(); ++C) {
            TRect R = CellRect(C, 0);
            if (R.IsEmpty())
                continue;
            int Line = R.Right;
            if (std::abs(X - Line) <= SizingMargin) {
                State = gsColSizing;
                Index = C;
                SizingPos = Line;
                SizingOfs = X - Line;
            }
        }
    }
    if (State == gsNormal && FOptions.Contains(goRowSizing) && InFixedCols) {
        for (int R = 0; R < RowCount(); ++R) {
            TRect Cell = CellRect(0, R);
            if (Cell.IsEmpty())
                continue;
            if (std::abs(Y - Cell.Bottom) <= SizingMargin) {
                State = gsRowSizing;
                Index = R;
                SizingPos = Cell.Bottom;
                SizingOfs = Y - Cell.Bottom;
            }
        }
    }
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused() && !(FInplaceEdit && FInplaceEdit->Focused()))
        SetFocus();
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        TGridState State;
        int Index, Pos, Ofs;
        CalcSizingState(X, Y, State, Index, Pos, Ofs);
        if (State != gsNormal) {
            FGridState = State;
            FSizingIndex = Index;
            FSizingPos = Pos;
            FSizingOfs = Ofs;
        } else {
            TGridCoord Cell = MouseCoord(X, Y);
            if (Cell.X >= FFixedCols && Cell.Y >= 0 && Cell.Y < FFixedRows && FOptions.Contains(goColMoving)) {
                FGridState = gsColMoving;
                FMoveIndex = FMovePos = Cell.X;
            } else if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows) {
                bool WasCurrent = Cell == FCurrent;
                if (Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect))
                    MoveColRow(Cell.X, Cell.Y, false, true);
                else
                    MoveColRow(Cell.X, Cell.Y, true, true);
                FGridState = gsSelecting;
                if (WasCurrent && FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && Cell == FCurrent)
                    ShowEditor();
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    switch (FGridState) {
    case gsSelecting: {
        TGridCoord Cell = MouseCoord(X, Y);
        if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows && !(Cell == FCurrent) && FOptions.Contains(goRangeSelect))
            MoveColRow(Cell.X, Cell.Y, false, true);
        break;
    }
    case gsColSizing: {
        int Left = FSizingPos - ColWidths(FSizingIndex);
        SetColWidths(FSizingIndex, std::max(X - FSizingOfs - Left, 0));
        break;
    }
    case gsRowSizing: {
        int Top = FSizingPos - RowHeights(FSizingIndex);
        SetRowHeights(FSizingIndex, std::max(Y - FSizingOfs - Top, 0));
        break;
    }
    case gsColMoving: {
        // Only the column under the pointer counts: above or below the cells the drag keeps its target.
        TGridCoord Cell = MouseCoord(X, 0);
        if (Cell.X >= FFixedCols)
            FMovePos = Cell.X;
        break;
    }
    default:
        break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGridState Was = FGridState;
    FGridState = gsNormal;
    if (Was == gsColSizing || Was == gsRowSizing) {
        // The live sizing already set the size; this makes it final.
        if (Was == gsColSizing)
            ColWidthsChanged();
        else
            RowHeightsChanged();
    } else if (Was == gsColMoving && FMoveIndex != FMovePos)
        MoveColumn(FMoveIndex, FMovePos);
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelDown(Shift, MousePos))
        return true;
    int Target = std::min(FCurrent.Y + std::max(1, Mouse ? Mouse->WheelScrollLines() : 3), std::max(RowCount() - 1, FFixedRows));
    if (Target != FCurrent.Y)
        FocusCell(FCurrent.X, Target, true);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelUp(Shift, MousePos))
        return true;
    int Target = std::max(FCurrent.Y - std::max(1, Mouse ? Mouse->WheelScrollLines() : 3), FFixedRows);
    if (Target != FCurrent.Y)
        FocusCell(FCurrent.X, Target, true);
    return true;
}

void TCustomGrid::WMSetCursor(TMessage& Message) {
    if (LOWORD(Message.LParam) == HTCLIENT && FGridState == gsNormal) {
        POINT P;
        GetCursorPos(&P);
        ::ScreenToClient(Handle(), &P);
        TGridState State;
        int Index, Pos, Ofs;
        CalcSizingState(P.x, P.y, State, Index, Pos, Ofs);
        if (State != gsNormal) {
            ::SetCursor(SystemCursor(State == gsColSizing ? IDC_SIZEWE : IDC_SIZENS));
            Message.Result = 1;
            return;
        }
    }
    InheritedDispatch(StaticClass(), Message);
}

void TCustomGrid::WMCancelMode(TMessage& Message) {
    FGridState = gsNormal;
    InheritedDispatch(StaticClass(), Message);
}

void TCustomGrid::WMSetFocus(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    InvalidateCell(FCurrent.X, FCurrent.Y);
    if (FOptions.Contains(goRowSelect))
        InvalidateRow(FCurrent.Y);
    if (FEditorMode && FInplaceEdit && FInplaceEdit->Visible() && FInplaceEdit->HandleAllocated())
        ::SetFocus(FInplaceEdit->Handle());
}

void TCustomGrid::WMKillFocus(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    InvalidateCell(FCurrent.X, FCurrent.Y);
    if (FOptions.Contains(goRowSelect))
        InvalidateRow(FCurrent.Y);
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    if (!FOptions.Contains(goAlwaysShowEditor))
        HideEditor();
}

// ---------------------------------------------------------------------------------------------
// The in-place editor

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

bool TCustomGrid::CanEditShow() {
    return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && (FEditorMode || FOptions.Contains(goAlwaysShowEditor)) &&
           !ComponentState().Contains(csDesigning) && HandleAllocated();
}

void TCustomGrid::SetEditorMode(bool Value) {
    if (Value == FEditorMode)
        return;
    if (Value) {
        FEditorMode = true;
        ShowEditor();
        if (!FInplaceEdit || !FInplaceEdit->Visible())
            FEditorMode = false;
    } else {
        if (FOptions.Contains(goAlwaysShowEditor) && CanEditShow())
            return;
        HideEditor();
        FEditorMode = false;
    }
}

void TCustomGrid::ShowEditor() {
    FEditorMode = true;
    if (!CanEditShow())
        return;
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetGrid(this);
        FInplaceEdit->SetParent(this);
    }
    FInplaceCol = FCurrent.X;
    FInplaceRow = FCurrent.Y;
    FInplaceEdit->SetMaxLength(GetEditLimit());
    FInplaceEdit->SetEditText(GetEditText(FCurrent.X, FCurrent.Y));
    TRect R = CellRect(FCurrent.X, FCurrent.Y);
    if (R.IsEmpty()) {
        FInplaceEdit->Hide();
        return;
    }
    FInplaceEdit->Font()->Assign(Font());
    FInplaceEdit->Move(R);
    FInplaceEdit->SelectAll();
    if (Focused() && FInplaceEdit->HandleAllocated())
        ::SetFocus(FInplaceEdit->Handle());
}

void TCustomGrid::HideEditor() {
    if (!FInplaceEdit || !FInplaceEdit->Visible())
        return;
    UpdateText();
    bool HadFocus = FInplaceEdit->HandleAllocated() && GetFocus() == FInplaceEdit->Handle();
    FInplaceEdit->Hide();
    FInplaceCol = FInplaceRow = -1;
    if (HadFocus && HandleAllocated())
        ::SetFocus(Handle());
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::UpdateText() {
    if (FInplaceEdit && FInplaceCol >= 0 && FInplaceEdit->Modified()) {
        FInplaceEdit->SetModified(false);
        SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->EditText());
    }
}

void TCustomGrid::UpdateEdit() {
    if (!FEditorMode || !FInplaceEdit)
        return;
    if (!CanEditShow()) {
        HideEditor();
        return;
    }
    if (FInplaceCol != FCurrent.X || FInplaceRow != FCurrent.Y) {
        UpdateText();
        ShowEditor();
    } else {
        TRect R = CellRect(FCurrent.X, FCurrent.Y);
        if (R.IsEmpty())
            FInplaceEdit->Hide();
        else
            FInplaceEdit->Move(R);
    }
}

// ---------------------------------------------------------------------------------------------
// TDrawGrid

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

void TDrawGrid::DefineClass(TClassBuilder<TDrawGrid>& B) {
    B.Property("ColCount", &TDrawGrid::ColCount, &TDrawGrid::SetColCount).Default(5);
    B.Property("DefaultColWidth", &TDrawGrid::DefaultColWidth, &TDrawGrid::SetDefaultColWidth).Default(64);
    B.Property("DefaultDrawing", &TDrawGrid::DefaultDrawing, &TDrawGrid::SetDefaultDrawing).Default(true);
    B.Property("DefaultRowHeight", &TDrawGrid::DefaultRowHeight, &TDrawGrid::SetDefaultRowHeight).Default(24);
    B.Property("FixedColor", &TDrawGrid::FixedColor, &TDrawGrid::SetFixedColor).TypeName("TColor").Default(clBtnFace);
    B.Property("FixedCols", &TDrawGrid::FixedCols, &TDrawGrid::SetFixedCols).Default(1);
    B.Property("FixedRows", &TDrawGrid::FixedRows, &TDrawGrid::SetFixedRows).Default(1);
    B.Property("GridLineWidth", &TDrawGrid::GridLineWidth, &TDrawGrid::SetGridLineWidth).Default(1);
    B.Property("Options", &TDrawGrid::Options, &TDrawGrid::SetOptions)
        .Default(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect});
    B.Property("RowCount", &TDrawGrid::RowCount, &TDrawGrid::SetRowCount).Default(5);
    B.Property("ScrollBars", &TDrawGrid::ScrollBars, &TDrawGrid::SetScrollBars).Default(ssBoth);
    B.Property("OnColumnMoved", &TDrawGrid::OnColumnMoved, &TDrawGrid::OnColumnMoved);
    B.Property("OnDrawCell", &TDrawGrid::OnDrawCell, &TDrawGrid::OnDrawCell);
    B.Property("OnGetEditText", &TDrawGrid::OnGetEditText, &TDrawGrid::OnGetEditText);
    B.Property("OnRowMoved", &TDrawGrid::OnRowMoved, &TDrawGrid::OnRowMoved);
    B.Property("OnSelectCell", &TDrawGrid::OnSelectCell, &TDrawGrid::OnSelectCell);
    B.Property("OnSetEditText", &TDrawGrid::OnSetEditText, &TDrawGrid::OnSetEditText);
    B.Property("OnTopLeftChanged", &TDrawGrid::OnTopLeftChanged, &TDrawGrid::OnTopLeftChanged);
}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    OnDrawCell(this, ACol, ARow, ARect, AState);
}

std::string TDrawGrid::GetEditText(int ACol, int ARow) {
    std::string Value;
    OnGetEditText(this, ACol, ARow, Value);
    return Value;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const std::string& Value) { OnSetEditText(this, ACol, ARow, Value); }
