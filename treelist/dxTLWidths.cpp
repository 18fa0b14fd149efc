// Band and column widths, sizing limits and per-node measures of the tree list engine.
#include "dxTL.h"

#include <algorithm>

namespace {
// The system's rounding multiply-divide; a zero divisor gives 0 instead of the system's -1.
int Share(int Number, int Numerator, int Denominator) {
    return Denominator == 0 ? 0 : MulDiv(Number, Numerator, Denominator);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Band widths

int TCustomdxTreeList::GetRowWidth(int Band, int Row) {
    int W = 0;
    for (int P = 0, N = GetColumnCountInRow(Band, Row); P < N; ++P)
        W += GetColumnWidth(GetColumnAt(Band, Row, P));
    return W;
}

int TCustomdxTreeList::GetRowMinWidth(int Band, int Row) {
    int W = 0;
    for (int P = 0, N = GetColumnCountInRow(Band, Row); P < N; ++P)
        W += GetColumnMinWidth(GetColumnAt(Band, Row, P));
    return W;
}

int TCustomdxTreeList::GetBandMinDisplayWidth(int Band) {
    int W = IsBandSizable(Band) ? GetBandMinWidth(Band) : GetBandWidth(Band);
    for (int R = 0, N = GetBandRowCount(Band); R < N; ++R)
        W = std::max(W, GetRowMinWidth(Band, R));
    return W;
}

int TCustomdxTreeList::GetBandNaturalWidth(int Band) {
    int W;
    if (IsProportionalBandColumns()) {
        W = 0;
        for (int R = 0, N = GetBandRowCount(Band); R < N; ++R)
            W = std::max(W, GetRowWidth(Band, R));
        if (W == 0)
            W = GetBandWidth(Band);
    } else {
        W = GetBandWidth(Band);
    }
    return std::max(W, GetBandMinDisplayWidth(Band));
}

int TCustomdxTreeList::GetContentWidth() {
    const int N = GetVisibleBandCount();
    if (N == 0)
        return 0;
    const int E = GetFirstBandExtraWidth();
    if (!IsAutoWidth()) {
        int W = E;
        for (int B = 0; B < N; ++B)
            W += GetBandDisplayWidth(B);
        return W;
    }
    int S = E;
    bool AnySizable = false;
    for (int B = 0; B < N; ++B) {
        S += GetBandMinDisplayWidth(B);
        AnySizable = AnySizable || IsBandSizable(B);
    }
    const int R = GetDataClientRect().Width();
    return R < S || !AnySizable ? S : R;
}

int TCustomdxTreeList::GetBandDisplayWidth(int Band) {
    if (!IsAutoWidth())
        return GetBandNaturalWidth(Band);
    const int Count = GetVisibleBandCount();
    const int E = GetFirstBandExtraWidth();
    const int Content = GetContentWidth();
    if (Band == Count - 1) {
        int W = Content - E;
        for (int B = 0; B < Count - 1; ++B)
            W -= GetBandDisplayWidth(B);
        return W;
    }
    const int N = Content - E;
    int D = 0, Smin = 0;
    for (int B = 0; B < Count; ++B) {
        D += GetBandNaturalWidth(B);
        Smin += GetBandMinDisplayWidth(B);
    }
    int D2 = 0;
    for (int B = 0; B < Count; ++B) {
        const int Nat = GetBandNaturalWidth(B);
        if (IsBandSizable(B) && GetBandMinDisplayWidth(B) < Share(N, Nat, D))
            D2 += Nat;
    }
    const int Nat = GetBandNaturalWidth(Band), M = GetBandMinDisplayWidth(Band), S = Share(N, Nat, D);
    if (!IsBandSizable(Band))
        return Nat;
    if (D2 == D)
        return S;
    if (M < S)
        return M + Share(N - Smin, Nat, D2);
    return M;
}

// ---------------------------------------------------------------------------------------------
// Column widths inside a band

int TCustomdxTreeList::GetColumnDisplayWidth(int Column) {
    const int Band = GetColumnBandIndex(Column);
    const int Row = GetColumnRowIndex(Column);
    int W = ColumnDisplayWidthInRow(Column, Band, Row);
    if (Band == 0 && GetColumnColIndex(Column) == 0 && GetColumnCountInRow(Band, Row) > 0 &&
        GetColumnAt(Band, Row, 0) == Column)
        W += GetFirstBandExtraWidth();
    return W;
}

int TCustomdxTreeList::ColumnDisplayWidthInRow(int Column, int Band, int Row) {
    const int N = GetColumnCountInRow(Band, Row);
    int Avail = GetBandDisplayWidth(Band), W = GetRowWidth(Band, Row), M = GetRowMinWidth(Band, Row);
    bool TooNarrow = false;
    int W2 = 0;
    for (int P = 0; P < N; ++P) {
        const int C = GetColumnAt(Band, Row, P);
        if (!IsColumnSizable(C))
            continue;
        if (Share(Avail, GetColumnWidth(C), W) < GetColumnMinWidth(C))
            TooNarrow = true;
        else
            W2 += GetColumnWidth(C);
    }
    int Given = 0;
    for (int P = 0; P < N; ++P) {
        const int C = GetColumnAt(Band, Row, P);
        const int Width = GetColumnWidth(C), Min = GetColumnMinWidth(C);
        int Result;
        if (P == N - 1) {
            Result = Avail - Given;
        } else if (!IsColumnSizable(C)) {
            Result = Width;
            Avail -= Width;
            W -= Width;
            M -= Min;
        } else {
            const int S = Share(Avail, Width, W);
            if (W2 == W)
                Result = S;
            else if (Min >= S)
                Result = Min;
            else if (TooNarrow)
                Result = Min + Share(Avail - M, Width, W2);
            else
                Result = S;
            Given += Result;
        }
        if (C == Column)
            return Result;
    }
    return 0;
}

int TCustomdxTreeList::GetColumnLineCount(int Band, int Row, int Col) {
    if (Row != GetBandRowCount(Band) - 1)
        return 1;
    int Lines = GetHeaderPanelRowCount() - Row;
    const int Max = GetColumnHeaderMaxLineCount(GetColumnAt(Band, Row, Col));
    if (Max > 0)
        Lines = std::min(Lines, Max);
    return std::max(Lines, 1);
}

int TCustomdxTreeList::GetVisibleColumnCount() {
    int N = 0;
    const int HPR = GetHeaderPanelRowCount();
    for (int J = 0; J < HPR; ++J)
        for (int B = 0, BC = GetVisibleBandCount(); B < BC; ++B)
            if (J < GetBandRowCount(B))
                N += GetColumnCountInRow(B, J);
    return N;
}

// ---------------------------------------------------------------------------------------------
// Resizing

void TCustomdxTreeList::ResizeBandAutoWidth(int Band, int Width) {
    const int N = GetVisibleBandCount(), E = GetFirstBandExtraWidth();
    if (Band < 0 || Band >= N)
        return;
    std::vector<int> Widths(N);
    for (int B = 0; B < N; ++B)
        Widths[B] = GetBandDisplayWidth(B) - (B == 0 ? E : 0);
    const int Old = Widths[Band];
    Widths[Band] = Width - (Band == 0 ? E : 0);
    const int First = Band == N - 1 ? 0 : Band + 1, Last = Band == N - 1 ? N - 2 : N - 1;
    int D = 0;
    for (int B = First; B <= Last; ++B)
        D += Widths[B];
    BeginUpdate();
    try {
        if (D > 0) {
            const int Rest = D + Old - Widths[Band];
            int Given = 0;
            for (int B = First; B <= Last; ++B) {
                Widths[B] = B == Last ? Rest - Given : Share(Widths[B], Rest, D);
                Given += Widths[B];
            }
            ScaleHiddenBandWidths(Rest, D);
        }
        for (int B = 0; B < N; ++B) {
            if (IsProportionalBandColumns()) {
                RebuildLayoutLists(true);
                SetBandWidthScaled(B, Widths[B] + (B == 0 ? E : 0));
            } else {
                SetBandWidth(B, Widths[B]);
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomdxTreeList::ResizeColumnAutoWidth(int Column, int Width) {
    const int Band = GetColumnBandIndex(Column), Row = GetColumnRowIndex(Column), E = GetFirstBandExtraWidth();
    const int N = GetColumnCountInRow(Band, Row);
    std::vector<int> Cols(N), Widths(N);
    int Pos = -1;
    for (int P = 0; P < N; ++P) {
        Cols[P] = GetColumnAt(Band, Row, P);
        Widths[P] = GetColumnDisplayWidth(Cols[P]) - (Band == 0 && P == 0 ? E : 0);
        if (Cols[P] == Column)
            Pos = P;
    }
    if (Pos < 0)
        return;
    const int Old = Widths[Pos];
    Widths[Pos] = Width - (Band == 0 && Pos == 0 ? E : 0);
    const int First = Pos == N - 1 ? 0 : Pos + 1, Last = Pos == N - 1 ? N - 2 : N - 1;
    int D = 0;
    for (int P = First; P <= Last; ++P)
        D += Widths[P];
    int RowTotal = 0;
    BeginUpdate();
    try {
        RebuildLayoutLists(false);
        if (D > 0) {
            const int Rest = D + Old - Widths[Pos];
            int Given = 0;
            for (int P = First; P <= Last; ++P) {
                Widths[P] = P == Last ? Rest - Given : Share(Widths[P], Rest, D);
                Given += Widths[P];
            }
            ScaleBandColumnWidths(Band, Rest, D);
        }
        for (int P = 0; P < N; ++P) {
            SetColumnWidth(Cols[P], Widths[P]);
            RowTotal += Widths[P];
        }
        const int BandWidth = GetBandDisplayWidth(Band);
        if (IsProportionalBandColumns() && BandWidth > 0)
            for (int R = 0, RC = GetBandRowCount(Band); R < RC; ++R)
                if (R != Row)
                    for (int P = 0, PC = GetColumnCountInRow(Band, R); P < PC; ++P) {
                        const int C = GetColumnAt(Band, R, P);
                        SetColumnWidth(C, Share(GetColumnWidth(C), RowTotal, BandWidth));
                    }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomdxTreeList::SetColumnWidthInRow(int Band, int Column, int Width) {
    const int E = GetFirstBandExtraWidth();
    const int D = GetBandDisplayWidth(Band);
    const int Rest = Width + D - GetColumnDisplayWidth(Column);
    const int Row = GetColumnRowIndex(Column);
    std::vector<std::pair<int, int>> NewWidths;
    for (int R = 0, RC = GetBandRowCount(Band); R < RC; ++R) {
        const int N = GetColumnCountInRow(Band, R);
        int Given = 0;
        for (int P = 0; P < N; ++P) {
            const int C = GetColumnAt(Band, R, P);
            const int Extra = Band == 0 && P == 0 ? E : 0;
            int W;
            if (P == N - 1)
                W = Rest - Given - Extra;
            else if (R == Row)
                W = (C == Column ? Width : GetColumnDisplayWidth(C)) - Extra;
            else
                W = Share(GetColumnDisplayWidth(C), Rest, D) - Extra;
            Given += W + Extra;
            NewWidths.emplace_back(C, W);
        }
    }
    BeginUpdate();
    try {
        for (const auto& [C, W] : NewWidths)
            SetColumnWidth(C, W);
        ScaleBandColumnWidths(Band, Rest, D);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomdxTreeList::SetBandWidthScaled(int Band, int Width) {
    const int D = GetBandDisplayWidth(Band);
    const int NewWidth = Width - (Band == 0 ? GetFirstBandExtraWidth() : 0);
    const bool Lock = FLockCount == 0;
    if (Lock)
        BeginUpdate();
    try {
        for (int R = 0, RC = GetBandRowCount(Band); R < RC; ++R)
            for (int P = 0, N = GetColumnCountInRow(Band, R); P < N; ++P) {
                const int C = GetColumnAt(Band, R, P);
                SetColumnWidth(C, Share(GetColumnDisplayWidth(C), NewWidth, D));
            }
        ScaleBandColumnWidths(Band, NewWidth, D);
        SetBandWidth(Band, NewWidth);
    } catch (...) {
        if (Lock)
            EndUpdate();
        throw;
    }
    if (Lock)
        EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Sizing limits

void TCustomdxTreeList::GetBandSizingBounds(int Band, int X, int& Max, int& Min, int& Offset) {
    Max = Min = X;
    Layout L;
    CalcLayout(L);
    for (const HeaderCell& Cell : L.HeaderCells) {
        if (Cell.Band != Band)
            continue;
        Offset = Cell.Rect.Left;
        for (const BandItem& B : L.Bands)
            if (B.Band == Band)
                Offset = B.Rect.Left;
        Min = Offset + GetBandMinDisplayWidth(Band) + (Band == 0 ? GetFirstBandExtraWidth() : 0);
        Max = IsUnlimitedBandSizing(Band) ? 100000 : ClientWidth() - 2;
        return;
    }
}

void TCustomdxTreeList::GetColumnSizingBounds(int Column, int X, int& Max, int& Min, int& Offset) {
    Max = Min = X;
    Layout L;
    CalcLayout(L);
    const HeaderCell* Cell = FindHeaderCell(L, Column);
    if (!Cell)
        return;
    Offset = Cell->Rect.Left;
    Min = Offset + GetColumnMinWidth(Column) + (Cell->Band == 0 && Cell->FirstInRow ? GetFirstBandExtraWidth() : 0);
    if (!IsAutoWidth() && IsUnlimitedColumnSizing(Column)) {
        Max = 100000;
    } else if (IsColumnFullWidthSizing()) {
        Max = ClientWidth() - 1;
    } else {
        Max = Cell->Rect.Right;
        for (const BandItem& B : L.Bands)
            if (B.Band == Cell->Band)
                Max = B.Rect.Right;
    }
}

void TCustomdxTreeList::GetBandPanelSizingPos(int Y, int& Pos, int& Pos2) {
    Layout L;
    CalcLayoutAreas(L);
    if (L.BandPanelRect.IsEmpty()) {
        Pos = Pos2 = Y;
        return;
    }
    const int Top = L.BandPanelRect.Top;
    int Result = Top + CalcBandPanelHeight(1);
    for (int N = 2; N <= GetBandMaxRowCount(); ++N) {
        const int Prev = Top + CalcBandPanelHeight(N - 1), Cur = Top + CalcBandPanelHeight(N);
        if (Y < (Prev + Cur) / 2) {
            Result = Prev;
            break;
        }
        Result = Cur;
    }
    Pos = Pos2 = Result;
}

int TCustomdxTreeList::GetBandRowCountAt(int Y) {
    Layout L;
    CalcLayoutAreas(L);
    int Count = 0;
    for (int N = 1; N <= GetBandMaxRowCount(); ++N) {
        if (Y < L.BandPanelRect.Top + CalcBandPanelHeight(N))
            break;
        ++Count;
    }
    return Count;
}

void TCustomdxTreeList::GetHeaderPanelSizingPos(int Y, int& Pos, int& Pos2) {
    Layout L;
    CalcLayoutAreas(L);
    if (L.HeaderPanelRect.IsEmpty() || FHeaderRowHeight <= 0) {
        Pos = Pos2 = Y;
        return;
    }
    int Rows = static_cast<int>((Y + FHeaderRowHeight / 2 - L.HeaderPanelRect.Top) / FHeaderRowHeight);
    Rows = std::min(std::max(Rows, 1), GetHeaderPanelMaxRowCount());
    Pos = Pos2 = L.HeaderPanelRect.Top + Rows * FHeaderRowHeight;
}

int TCustomdxTreeList::GetHeaderRowCountAt(int Y) {
    Layout L;
    CalcLayoutAreas(L);
    if (FHeaderRowHeight <= 0)
        return 1;
    return std::max<int>((Y + FHeaderRowHeight / 2 - L.HeaderPanelRect.Top) / FHeaderRowHeight, 1);
}

void TCustomdxTreeList::GetRowSizingBounds(TdxTreeListNode* Node, int Y, int& Max, int& Min) {
    Max = Min = Y;
    if (!Node)
        return;
    TRect R;
    GetNodeRowRect(Node, R);
    Min = R.Top + GetRowHeight(Node, FDefaultRowHeight, true);
    Layout L;
    CalcLayoutAreas(L);
    Max = !L.FooterRect.IsEmpty() ? L.FooterRect.Top - 1 : ClientRect().Bottom - 1;
}

int TCustomdxTreeList::CalcRowHeightFor(TdxTreeListNode* Node, int Height) {
    if (!Node || Height < FDefaultRowHeight)
        return FRowHeight;
    int Last = FRowHeight;
    for (int H = FDefaultRowHeight; H <= Height; ++H) {
        if (GetRowHeight(Node, H, true) > Height)
            break;
        Last = H;
    }
    return Last;
}

// ---------------------------------------------------------------------------------------------
// Horizontal areas

TRect TCustomdxTreeList::GetDataClientRect() {
    TRect R = ClientRect();
    if (FShowIndicator)
        R.Left += FIndicatorWidth;
    R.Bottom -= FStatusPanelHeight;
    return R;
}

TRect TCustomdxTreeList::GetScrollableRect() {
    TRect R = GetDataClientRect();
    R.Top += FGroupPanelHeight;
    if (!IsAutoWidth()) {
        const int LF = GetLeftFixedBand(), RF = GetRightFixedBand();
        if (LF >= 0)
            R.Left += GetBandDisplayWidth(LF) + (LF == 0 ? GetFirstBandExtraWidth() : 0);
        if (RF >= 0)
            R.Right -= GetBandDisplayWidth(RF);
    }
    return R;
}

int TCustomdxTreeList::GetScrollableContentWidth() {
    int W = GetContentWidth();
    const int LF = GetLeftFixedBand(), RF = GetRightFixedBand();
    if (LF >= 0)
        W -= GetBandDisplayWidth(LF) + (LF == 0 ? GetFirstBandExtraWidth() : 0);
    if (RF >= 0)
        W -= GetBandDisplayWidth(RF);
    return W;
}

int TCustomdxTreeList::GetBandLeft(int Band) {
    const int N = GetVisibleBandCount(), LF = GetLeftFixedBand(), RF = GetRightFixedBand();
    if (N <= 1 || Band < 0 || Band >= N || Band == LF || Band == RF)
        return 0;
    const int First = LF >= 0 ? LF + 1 : 0;
    if (Band == First)
        return 0;
    int W = 0;
    for (int B = First; B < Band; ++B)
        W += GetBandDisplayWidth(B) + (B == 0 ? GetFirstBandExtraWidth() : 0);
    return W;
}

// ---------------------------------------------------------------------------------------------
// Node measures

void TCustomdxTreeList::GetNodeIndent(TdxTreeListNode* Node, int& AIndent, int& TextLeft) {
    const int Levels = Node->Level() + (Node->HasChildren() ? 1 : (TreeStyle() ? 1 : 0));
    AIndent = FIndent * Levels;
    if (!FShowRoot && TreeStyle())
        AIndent -= FIndent;
    TextLeft = AIndent;
    if (Node->StateIndex() != -1)
        TextLeft += FStateImageWidth;
    TextLeft += FImageWidth;
}

int TCustomdxTreeList::GetNodeTextWidth(TdxTreeListNode* Node) {
    int I, TextLeft;
    GetNodeIndent(Node, I, TextLeft);
    return GetContentWidth() - (FShowGrid ? 1 : 0) - TextLeft;
}

int TCustomdxTreeList::GetPreviewLineCount(TdxTreeListNode* Node) {
    if (!Node || !IsAutoPreviewLines())
        return FPreviewLines;
    const std::string Text = GetPreviewText(Node);
    if (Text.empty())
        return 0;
    int Height = 0;
    const int Lines = CalcTextLineCount(Text, GetNodeTextWidth(Node), FPreviewLineHeight, Height, FPreviewIndent,
                                        false, FPreviewFont, FPreviewLines);
    return std::max(Lines, 0);
}

int TCustomdxTreeList::GetNodeCellLineCount(TdxTreeListNode* Node, int& Height) {
    if (Node->CachedRowHeight != 0 && Node->CachedLineCount != 0)
        return Node->CachedLineCount;
    if (IsWholeRowNode(Node))
        return 1;
    const bool BothGrid = FShowGrid && FShowPreviewGrid;
    const bool Unhighlighted = IsFocusCellUnhighlighted();
    int Result = -1;
    const int N = GetVisibleColumnCount();
    for (int I = 0; I < N; ++I) {
        const int C = GetVisibleColumn(I);
        int W = GetColumnDisplayWidth(C);
        if (I == 0) {
            int Ind, TextLeft;
            GetNodeIndent(Node, Ind, TextLeft);
            W -= TextLeft;
        }
        if (Unhighlighted && (I == 0 || I == N - 1))
            --W;
        if (BothGrid)
            --W;
        int H = FTextHeight, Lines = 0;
        if (!CalcCellTextHeight(Node, C, H, Lines, BothGrid, Unhighlighted, FCellAutoHeightMaxLines, FTextHeight, W,
                                GetCellText(Node, C)))
            continue;
        if (BothGrid)
            ++H;
        if (Unhighlighted)
            H += 2;
        Height = std::max(Height, H);
        Result = std::max(Result, Lines);
    }
    return Result;
}

bool TCustomdxTreeList::IsSingleLineAutoHeight() {
    return !IsPreview() && FHeaderPanelRowCount == 1 && IsCellAutoHeight();
}

int TCustomdxTreeList::CountGroupFooterRows(TdxTreeListNode* Node) {
    int Count = 0;
    if (!FShowGroupFooter || !Node || Node->HasChildren() || !Node->Parent() || !Node->IsLast())
        return 0;
    for (TdxTreeListNode* N = Node; N && N->IsLast() && N->Parent(); N = N->Parent())
        if (IsLevelGroupFooter(N->Parent()->Level()))
            ++Count;
    return Count;
}

int TCustomdxTreeList::GetGroupFooterLevel(TdxTreeListNode* Node, int Index) {
    if (!FShowGroupFooter || !Node || Node->HasChildren() || !Node->Parent() || !Node->IsLast())
        return -1;
    int I = 0;
    for (TdxTreeListNode* N = Node; N && N->IsLast() && N->Parent(); N = N->Parent()) {
        const int Level = N->Parent()->Level();
        if (IsLevelGroupFooter(Level) && I++ == Index)
            return Level;
    }
    return -1;
}

int TCustomdxTreeList::GetGroupFooterRowsBelow(TdxTreeListNode* Node, int Level) {
    int Count = 0;
    for (int I = 0, N = CountGroupFooterRows(Node); I < N; ++I)
        if (GetGroupFooterLevel(Node, I) > Level)
            ++Count;
    return Count;
}

void TCustomdxTreeList::GetGroupFooterRect(TdxTreeListNode* Node, int Index, TRect& Rect, const Layout& L,
                                           int RightGap, int Top) {
    const int Level = GetGroupFooterLevel(Node, Index);
    const int DataLeft = L.RowsRect.Left;
    int Left = DataLeft;
    if (Level >= 0) {
        Left += (Level + 1) * FIndent;
        if (!FShowRoot && TreeStyle())
            Left -= FIndent;
    }
    Rect.Top = Top + Index * FGroupFooterRowHeight;
    Rect.Bottom = Rect.Top + FGroupFooterRowHeight;
    Rect.Left = Left;
    Rect.Right = DataLeft + GetContentWidth() - RightGap;
    if (IsPointRect(L.LeftFixedRect)) {
        Rect.Left -= FLeftCoord;
        Rect.Right -= FLeftCoord;
    } else {
        Rect.Right -= FLeftCoord;
    }
    if (!IsPointRect(L.RightFixedRect)) {
        Rect.Right = std::min(Rect.Right, L.RightFixedRect.Left - RightGap);
        Rect.Left = std::min(Rect.Left, L.RightFixedRect.Left);
    }
    Rect.Left = std::max<LONG>(Rect.Left, DataLeft);
}

void TCustomdxTreeList::GetNodeRowRect(TdxTreeListNode* Node, TRect& Rect) {
    Rect = TRect{-1, -1, -1, -1};
    if (!Node || !FTopNode)
        return;
    Layout L;
    CalcLayoutAreas(L);
    int Y = L.RowsRect.Top;
    for (TdxTreeListNode* N = FTopNode; N && Y < L.RowsRect.Bottom; N = GetNextVisibleNode(N)) {
        const int H = GetRowHeight(N, FRowHeight, false);
        if (N == Node) {
            Rect = TRect{FShowIndicator ? L.IndicatorRect.Left : L.RowsRect.Left, Y, L.RowsRect.Right, Y + H};
            return;
        }
        Y += H;
    }
}

void TCustomdxTreeList::GetNodeRowRectToBottom(TdxTreeListNode* Node, TRect& Rect) {
    GetNodeRowRect(Node, Rect);
    if (Rect.Left == -1)
        return;
    Layout L;
    CalcLayoutAreas(L);
    Rect.Bottom = L.RowsRect.Bottom;
}

int TCustomdxTreeList::GetLastPageTopIndex(int Index) {
    if (Index < 0)
        return Index - FVisibleRowCount + 1;
    Layout L;
    CalcLayoutAreas(L);
    const int Avail = L.RowsRect.Height();
    int S = GetRowHeight(GetNodeAtRow(Index), FRowHeight, false);
    int Count = 0;
    for (int R = Index - 1; R >= 0; --R) {
        S += GetRowHeight(GetNodeAtRow(R), FRowHeight, false);
        if (S > Avail)
            break;
        ++Count;
    }
    return Index - Count;
}

void TCustomdxTreeList::GetStatusButtonRect(TRect& Rect) {
    Layout L;
    CalcLayoutAreas(L);
    if (L.StatusPanelRect.IsEmpty()) {
        Rect = TRect{};
        return;
    }
    const int Top = L.StatusPanelRect.Top + (L.StatusPanelRect.Height() - 11) / 2;
    Rect = TRect{L.StatusPanelRect.Left + 3, Top, L.StatusPanelRect.Left + 15, Top + 11};
}
