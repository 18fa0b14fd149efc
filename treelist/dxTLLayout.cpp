// Metrics, the layout record of panels, headers and rows, cell rectangles and the hit test.
#include "dxTL.h"

#include <algorithm>

namespace {
bool InRange(int X, int Lo, int Hi) { return X >= Lo && X <= Hi; }
bool RowsIntersect(const TRect& R, int Lo, int Hi) { return TCustomdxTreeList::RangesIntersect(R.Left, R.Right, Lo, Hi); }
}  // namespace

bool TCustomdxTreeList::RangesIntersect(int A1, int A2, int B1, int B2) {
    return (A1 >= B1 && A1 <= B2) || (A2 >= B1 && A2 <= B2) || (A1 < B1 && B2 < A2);
}

// ---------------------------------------------------------------------------------------------
// Metrics

int TCustomdxTreeList::MeasureTextHeight(TFont* AFont, const char* Text, int* Width) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, AFont->Handle());
    SIZE S{};
    GetTextExtentPoint32A(DC, Text, static_cast<int>(strlen(Text)), &S);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    if (Width)
        *Width = S.cx;
    return S.cy;
}

void TCustomdxTreeList::CalcMetrics() {
    if (ComponentState().Contains(csLoading) || IsDestroying())
        return;
    const int Flat1 = Flat() ? 0 : 1;
    FBandLineCount = GetBandRowCountValue();
    FHeaderPanelRowCount = GetHeaderPanelRowCount();
    FHeaderLineCount = GetHeaderMinRowCount();
    const int HPR = FHeaderPanelRowCount;
    FBandTextHeight = MeasureTextHeight(FBandFont);
    FBandPanelHeight = FShowBands ? Flat1 + FBandLineCount * FBandTextHeight + 5 : 0;
    FHeaderRowHeight = MeasureTextHeight(FHeaderFont) * FHeaderLineCount + Flat1 + 5;
    FHeaderPanelHeight = FShowHeader ? FHeaderRowHeight * HPR : 0;
    FDropArrowRect = TRect{0, 0, 11, FHeaderRowHeight + 18};
    FGroupPanelHeight = GetGroupPanelHeight();
    FIndicatorWidth = FShowIndicator ? GetIndicatorColumnWidth() : 0;
    FTextHeight = MeasureTextHeight(Font());
    const int TH = FTextHeight;
    const int G = FShowGrid && FShowPreviewGrid ? 1 : 0;
    FFooterRowHeight = TH + 7;
    FFooterPanelHeight = FShowFooter ? (TH + 7) * HPR + Flat1 + 3 : 0;
    FGroupFooterRowHeight = (TH + 7) * HPR + G + 2;
    FStatusPanelHeight = IsStatusPanelShown() ? std::max(TH + 5, 17) : 0;
    MeasureTextHeight(Font(), "0", &FDigitWidth);
    FImageWidth = FImages ? FImages->Width() : 0;
    FImageHeight = FImages ? FImages->Height() : 0;
    FStateImageWidth = FStateImages ? FStateImages->Width() : 0;
    FStateImageHeight = FStateImages ? FStateImages->Height() : 0;
    FIndent = 16;
    FDefaultRowHeight = std::max(TH + 3, 16);
    for (int H : {FImageHeight, FStateImageHeight, GetMaxColumnTextHeight(Canvas())})
        if ((G + FDefaultRowHeight) * HPR < H)
            FDefaultRowHeight = H;
    FDefaultRowHeight += G;
    if (IsFocusCellUnhighlighted())
        FDefaultRowHeight += 2;
    if (!FCustomRowHeight)
        FRowHeight = FDefaultRowHeight;
    FRowHeight = std::max(FRowHeight, FDefaultRowHeight);
    if (FRowHeight == FDefaultRowHeight)
        FCustomRowHeight = false;
    FNewItemRowSeparator = Flat() ? 5 : 6;
    FNewItemRowHeight = HPR == 1 ? FRowHeight + FNewItemRowSeparator : 0;
    if (!FShowNewItemRow || GetVisibleBandCount() == 0)
        FNewItemRowHeight = 0;
    FPreviewLineHeight = MeasureTextHeight(FPreviewFont);

    ClearRowCache();
    LayoutDataChanged();
    UpdateScrollBars();
    BuildRowCache();
    MetricsChanged();
    if (!FRowCacheValid)
        BuildRowCache();
    CalcVisibleRowCounts();
    Invalidate();
}

int TCustomdxTreeList::GetRowHeight(TdxTreeListNode* Node, int ARowHeight, bool NoCache) {
    if (!Node)
        return ARowHeight;
    if (IsRowHeightCached() && !NoCache && Node->CachedRowHeight != 0)
        return Node->CachedRowHeight;
    Node->CachedLineCount = 0;
    const int HPR = FHeaderPanelRowCount;
    const int P = IsPreview() ? GetPreviewLineCount(Node) : 0;
    int H = FShowGrid ? GetGridLineWidth() : 0;
    int C = 0;
    if (!IsPreview() && HPR == 1 && IsCellAutoHeight()) {
        int MinHeight = ARowHeight;
        C = GetNodeCellLineCount(Node, MinHeight);
        if (C > 1 && MinHeight == ARowHeight)
            ARowHeight += (C - 1) * FTextHeight;
        ARowHeight = std::max(ARowHeight, MinHeight);
    }
    const bool GroupRow = IsWholeRowNode(Node);
    if (GroupRow)
        H = ARowHeight + H;
    else
        H += HPR * ARowHeight + P * FPreviewLineHeight + (P > 0 && FShowGrid && FShowPreviewGrid ? 1 : 0);
    if (!FShowGrid && Node->HasChildren() && FGridStyle)
        ++H;
    if (P > 0 && !GroupRow)
        H += 2;
    if (FShowGrid && FShowPreviewGrid)
        --H;
    H += CountGroupFooterRows(Node) * FGroupFooterRowHeight;
    if (!NoCache) {
        Node->CachedRowHeight = H;
        Node->CachedLineCount = C;
    }
    return H;
}

// ---------------------------------------------------------------------------------------------
// Layout

void TCustomdxTreeList::CalcLayoutAreas(Layout& L) {
    const TRect C = ClientRect();
    L.ClientRect = C;
    const int IW = FIndicatorWidth;
    int Y = C.Top;
    L.GroupPanelRect = FGroupPanelHeight > 0 ? TRect{C.Left, Y, C.Right, Y + FGroupPanelHeight} : TRect{};
    Y += FGroupPanelHeight;
    L.BandPanelRect = TRect{C.Left + IW, Y, C.Right, Y + FBandPanelHeight};
    L.BandButtonRect = IW > 0 ? TRect{C.Left, Y, C.Left + IW, Y + FBandPanelHeight} : TRect{};
    Y += FBandPanelHeight;
    L.HeaderPanelRect = TRect{C.Left + IW, Y, C.Right, Y + FHeaderPanelHeight};
    L.HeaderButtonRect = IW > 0 ? TRect{C.Left, Y, C.Left + IW, Y + FHeaderPanelHeight} : TRect{};
    Y += FHeaderPanelHeight;
    L.NewItemRowRect = FNewItemRowHeight > 0 ? TRect{C.Left, Y, C.Right, Y + FNewItemRowHeight} : TRect{};
    Y += FNewItemRowHeight;
    const int Bottom = std::max<int>(Y, C.Bottom - FFooterPanelHeight - FStatusPanelHeight);
    L.RowsRect = TRect{C.Left + IW, Y, C.Right, Bottom};
    L.IndicatorRect = TRect{C.Left, Y, C.Left + IW, Bottom};
    L.FooterRect = FFooterPanelHeight > 0 ? TRect{C.Left, Bottom, C.Right, Bottom + FFooterPanelHeight} : TRect{};
    const int StatusTop = Bottom + FFooterPanelHeight;
    L.StatusPanelRect = FStatusPanelHeight > 0 ? TRect{C.Left, StatusTop, C.Right, StatusTop + FStatusPanelHeight} : TRect{};
}

void TCustomdxTreeList::LayoutBands(Layout& L) {
    const int E = GetFirstBandExtraWidth();
    const int Count = GetVisibleBandCount();
    const int LF = GetLeftFixedBand(), RF = GetRightFixedBand();
    const int Top = L.BandPanelRect.Top, Bottom = L.BandPanelRect.Bottom;
    const int FixedTop = Top, FixedBottom = L.RowsRect.Top - (IsPointRect(L.NewItemRowRect) ? 0 : FNewItemRowSeparator);
    int X0 = L.BandPanelRect.Left;
    const int Content = GetContentWidth();
    if (Content < L.BandPanelRect.Width()) {
        const int Right = L.BandPanelRect.Left + Content;
        L.RightEmptyRect = TRect{Right, L.BandPanelRect.Top, L.BandPanelRect.Right, L.RowsRect.Bottom};
        L.BandPanelRect.Right = Right;
        L.HeaderPanelRect.Right = Right;
        if (!IsPointRect(L.NewItemRowRect))
            L.NewItemRowRect.Right = Right;
    }
    int X1 = L.BandPanelRect.Right;
    if (LF >= 0 && LF < Count) {
        const int W = GetBandDisplayWidth(LF) + (LF == 0 ? E : 0);
        L.LeftFixedRect = TRect{X0, FixedTop, X0 + W, FixedBottom};
        L.LeftFixedIndex = static_cast<int>(L.Bands.size());
        const TRect R{X0, Top, X0 + W - FFixedBandLineWidth, Bottom};
        L.Bands.push_back(BandItem{LF, R, R});
        X0 += W;
    }
    TRect RightFixed{};
    if (RF >= 0 && RF < Count && RF != LF) {
        const int W = GetBandDisplayWidth(RF) + (RF == 0 ? E : 0);
        const int Left = std::max(X1 - W, X0);
        RightFixed = TRect{Left, FixedTop, X1, FixedBottom};
        L.RightFixedRect = RightFixed;
        X1 = Left;
    }
    int P = -FLeftCoord;
    for (int B = 0; B < Count; ++B) {
        if (B == LF || B == RF)
            continue;
        const int W = GetBandDisplayWidth(B) + (B == 0 ? E : 0);
        if (RangesIntersect(P, P + W, 0, X1 - X0)) {
            const TRect R{X0 + P, Top, X0 + P + W, Bottom};
            const TRect Clip{std::max<LONG>(R.Left, X0), Top, std::min<LONG>(R.Right, X1), Bottom};
            L.Bands.push_back(BandItem{B, R, Clip});
            L.LastScrolledBand = static_cast<int>(L.Bands.size()) - 1;
        }
        P += W;
        if (P > X1 - X0)
            break;
    }
    if (!IsPointRect(RightFixed)) {
        const TRect R{RightFixed.Left + FFixedBandLineWidth, Top, RightFixed.Right, Bottom};
        const TRect Clip{std::max<LONG>(R.Left, L.BandPanelRect.Left), Top, std::min<LONG>(R.Right, L.BandPanelRect.Right),
                         Bottom};
        L.RightFixedIndex = static_cast<int>(L.Bands.size());
        L.Bands.push_back(BandItem{RF, R, Clip});
    }
}

void TCustomdxTreeList::LayoutHeaderCells(Layout& L) {
    const int E = GetFirstBandExtraWidth();
    const int HPR = FHeaderPanelRowCount;
    const int PanelBottom = L.HeaderPanelRect.Bottom;
    for (const BandItem& Item : L.Bands) {
        const int Band = Item.Band;
        const int BandWidth = Item.Rect.Width();
        const int Rows = GetBandRowCount(Band);
        const int HeaderTop = L.HeaderPanelRect.Top;
        if (Rows == 0) {
            const TRect R{Item.Rect.Left, HeaderTop, Item.Rect.Right, HeaderTop + HPR * FHeaderRowHeight};
            if (RowsIntersect(R, Item.ClipRect.Left, Item.ClipRect.Right))
                L.EmptyBands.push_back(EmptyBandItem{Band, R, R.Left < Item.ClipRect.Left || R.Right > Item.ClipRect.Right});
            continue;
        }
        for (int Row = 0; Row < Rows; ++Row) {
            const int N = GetColumnCountInRow(Band, Row);
            if (N == 0)
                continue;
            std::vector<int> Cols(N), Widths(N);
            std::vector<bool> Pool(N, false);
            int Avail = BandWidth - (Band == 0 ? E : 0);
            for (int K = 0; K < N; ++K) {
                Cols[K] = GetColumnAt(Band, Row, K);
                Widths[K] = GetColumnWidth(Cols[K]);
                if (IsColumnSizable(Cols[K]))
                    Pool[K] = true;
                else
                    Avail = std::max(Avail - Widths[K], 0);
            }
            // Columns whose share would fall below their minimum keep the minimum; the rest share.
            for (bool Again = true; Again;) {
                Again = false;
                int Sum = 0;
                for (int K = 0; K < N; ++K)
                    if (Pool[K])
                        Sum += Widths[K];
                for (int K = 0; K < N && Sum > 0; ++K) {
                    if (!Pool[K])
                        continue;
                    const int Min = GetColumnMinWidth(Cols[K]);
                    if (static_cast<long long>(Widths[K]) * Avail / Sum < Min) {
                        Widths[K] = Min;
                        Pool[K] = false;
                        Avail = std::max(Avail - Min, 0);
                        Again = true;
                        break;
                    }
                }
                if (!Again && Sum > 0)
                    for (int K = 0; K < N; ++K)
                        if (Pool[K])
                            Widths[K] = static_cast<int>(static_cast<long long>(Widths[K]) * Avail / Sum);
            }
            int X = Item.Rect.Left, Used = 0;
            const int Top = HeaderTop + Row * FHeaderRowHeight;
            for (int K = 0; K < N; ++K) {
                int W = Widths[K];
                if (K == N - 1)
                    W = BandWidth - Used;
                else if (Band == 0 && K == 0 && N > 1)
                    W += E;
                const int Span = GetColumnLineCount(Band, Row, K);
                HeaderCell Cell;
                Cell.Column = Cols[K];
                Cell.Band = Band;
                Cell.BandRow = Row;
                Cell.RowPosition = K;
                Cell.RowSpan = Span;
                Cell.Rect = TRect{X, Top, X + W, Top + Span * FHeaderRowHeight};
                Cell.FirstInRow = K == 0;
                Cell.LastInRow = K == N - 1;
                Cell.MultiLine = Span > 1 || IsColumnMultiLine(Cols[K]);
                if (RangesIntersect(Cell.Rect.Left, Cell.Rect.Right, Item.ClipRect.Left, Item.ClipRect.Right) &&
                    Cell.Rect.Right > Item.ClipRect.Left && Cell.Rect.Left < Item.ClipRect.Right) {
                    Cell.ClipRect = TRect{std::max(Cell.Rect.Left, Item.ClipRect.Left), Cell.Rect.Top,
                                          std::min(Cell.Rect.Right, Item.ClipRect.Right), Cell.Rect.Bottom};
                    if (Row == Rows - 1 && Cell.Rect.Bottom < PanelBottom)
                        Cell.BelowRect = TRect{Cell.ClipRect.Left, Cell.Rect.Bottom, Cell.ClipRect.Right, PanelBottom};
                    L.HeaderCells.push_back(Cell);
                }
                X += W;
                Used += W;
            }
        }
    }
    if (!L.HeaderCells.empty()) {
        L.HeaderCells.front().FirstOfAll = true;
        L.HeaderCells.back().LastOfAll = true;
    }
}

void TCustomdxTreeList::LayoutRows(Layout& L) {
    int Y = L.RowsRect.Top;
    if (FRowHeight > 0)
        L.Rows.reserve(L.RowsRect.Height() / FRowHeight + 1);
    const bool AutoHeight = IsSingleLineAutoHeight();
    for (TdxTreeListNode* N = FTopNode; N && Y < L.RowsRect.Bottom; N = GetNextVisibleNode(N)) {
        RowItem Row;
        Row.Node = N;
        Row.Top = Y;
        Row.GroupRow = IsWholeRowNode(N);
        Row.Selected = N->Selected();
        Row.Height = GetRowHeight(N, FRowHeight, false);
        Row.FooterCount = CountGroupFooterRows(N);
        Row.FooterHeight = Row.FooterCount * FGroupFooterRowHeight;
        Row.Tag = GetRowTag(N, Row.Selected);
        Row.PreviewLines = IsPreview() ? GetPreviewLineCount(N) : 0;
        int MinHeight = FRowHeight;
        Row.TextLines = AutoHeight ? GetNodeCellLineCount(N, MinHeight) : -1;
        L.Rows.push_back(Row);
        Y += Row.Height;
    }
    if (Y < L.RowsRect.Bottom) {
        L.LastRowBottom = Y - 1;
        L.EmptyAreaRect = TRect{L.ClientRect.Left, Y, L.DataRight + 1, L.RowsRect.Bottom};
        L.IndicatorRect.Bottom = Y;
    }
}

void TCustomdxTreeList::CalcLayout(Layout& L) {
    L = Layout();
    CalcLayoutAreas(L);
    LayoutBands(L);
    LayoutHeaderCells(L);
    const int Content = GetContentWidth();
    L.DataRight = L.RowsRect.Left + Content - 1 - (L.LeftFixedIndex < 0 ? FLeftCoord : 0);
    if (L.RightFixedIndex >= 0)
        L.DataRight = std::min<int>(L.DataRight, L.RowsRect.Right - 1);
    LayoutRows(L);
    if (GetVisibleBandCount() > 0) {
        int W = GetBandDisplayWidth(0) + GetFirstBandExtraWidth();
        if (L.RightFixedIndex >= 0 && GetRightFixedBand() != 0)
            W = std::min<int>(W, L.RightFixedRect.Left - L.RowsRect.Left + (L.LeftFixedIndex < 0 ? FLeftCoord : 0));
        L.FirstBandWidth = std::max(W, 0);
    }
    L.GridLineWidth = FShowGrid ? GetGridLineWidth() : 0;
    for (TRect* R : {&L.BandPanelRect, &L.BandButtonRect, &L.HeaderPanelRect, &L.HeaderButtonRect})
        if (R->Height() <= 0)
            *R = TRect{};
}

const HeaderCell* TCustomdxTreeList::FindHeaderCell(const Layout& L, int Column) const {
    for (const HeaderCell& Cell : L.HeaderCells)
        if (Cell.Column == Column)
            return &Cell;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Cells

void TCustomdxTreeList::GetCellRect(TdxTreeListNode* Node, int ColumnIndex, TRect& Rect) {
    Rect = TRect{-1, -1, -1, -1};
    Layout L;
    CalcLayout(L);
    const RowItem* Row = nullptr;
    for (const RowItem& R : L.Rows)
        if (R.Node == Node)
            Row = &R;
    const HeaderCell* Cell = FindHeaderCell(L, GetVisibleColumn(ColumnIndex));
    if (!Row || !Cell)
        return;
    int Left = Cell->Rect.Left;
    if (Cell->Band == GetBandIndexOfVisible(0) || Cell->Band == 0) {
        int Ind, TextLeft;
        GetNodeIndent(Node, Ind, TextLeft);
        const int Unscrolled = Left + (L.LeftFixedIndex < 0 ? FLeftCoord : 0);
        const int Overlap = L.RowsRect.Left + Ind - Unscrolled;
        if (Overlap > 0)
            Left += Overlap;
    }
    int Top = Row->Top + Cell->BandRow * FRowHeight;
    if (FGridStyle && !FShowGrid && Node->HasChildren())
        ++Top;
    int Bottom = Top + Cell->RowSpan * FRowHeight - (FShowGrid && FShowPreviewGrid ? 1 : 0);
    if (IsSingleLineAutoHeight())
        Bottom = Row->Top + Row->Height - L.GridLineWidth - Row->FooterHeight;
    Rect = TRect{Left, Top, Cell->Rect.Right, Bottom};
}

void TCustomdxTreeList::GetEditorRect(TdxTreeListNode* Node, int ColumnIndex, TRect& Rect) {
    GetCellRect(Node, ColumnIndex, Rect);
    if (Rect.Left == -1)
        return;
    Layout L;
    CalcLayout(L);
    const HeaderCell* Cell = FindHeaderCell(L, GetVisibleColumn(ColumnIndex));
    if (!Cell)
        return;
    if (FShowGrid)
        --Rect.Right;
    if (Cell->Band == 0 && Cell->FirstInRow) {
        int Ind, TextLeft;
        GetNodeIndent(Node, Ind, TextLeft);
        Rect.Left = std::max<LONG>(Rect.Left, L.RowsRect.Left + TextLeft - (L.LeftFixedIndex < 0 ? FLeftCoord : 0));
    }
    if (IsFocusCellUnhighlighted()) {
        ++Rect.Top;
        --Rect.Bottom;
        if (Cell->FirstOfAll)
            ++Rect.Left;
        if (Cell->LastOfAll)
            --Rect.Right;
    }
}

NodeIndentRects TCustomdxTreeList::CalcNodeIndentRects(TdxTreeListNode* Node, int Top, int Bottom, int FirstBandWidth) {
    NodeIndentRects R;
    const int L = Node->Level();
    const int Shift = (!FShowRoot && TreeStyle() ? FIndent : 0);
    const int LeafShift = FGridStyle && !Node->HasChildren() ? FIndent : 0;
    if (Node->HasChildren() && FShowButtons)
        R.Button = TRect{L * FIndent - Shift, Top, (L + 1) * FIndent - Shift, Bottom};
    int X = (L + 1) * FIndent - Shift - LeafShift;
    if (Node->StateIndex() != -1) {
        R.StateImage = TRect{X, Top, X + FStateImageWidth, Bottom};
        X += FStateImageWidth;
        if (Node->ImageIndex() != -1 || Node->SelectedIndex() != -1)
            R.Image = TRect{X, Top, X + FImageWidth, Bottom};
    } else if (Node->ImageIndex() != -1 || Node->SelectedIndex() != -1) {
        R.Image = TRect{X, Top, X + FImageWidth - 1, Bottom};
    }
    int First = -1;
    for (const TRect* P : {&R.Button, &R.StateImage, &R.Image})
        if (!IsPointRect(*P)) {
            First = P->Left;
            break;
        }
    if (First < 0) {
        int Ind, TextLeft;
        GetNodeIndent(Node, Ind, TextLeft);
        First = Ind;
    }
    if (First > 0)
        R.Indent = TRect{0, Top, First, Bottom};
    for (TRect* P : {&R.Indent, &R.Button, &R.StateImage, &R.Image}) {
        if (IsPointRect(*P))
            continue;
        if (P->Left >= FirstBandWidth)
            *P = TRect{};
        else
            P->Right = std::min<LONG>(P->Right, FirstBandWidth);
    }
    return R;
}

// ---------------------------------------------------------------------------------------------
// Navigation order

int TCustomdxTreeList::GetVisibleColumn(int Index) {
    if (Index < 0)
        return -1;
    const int HPR = GetHeaderPanelRowCount();
    for (int J = 0; J < HPR; ++J)
        for (int B = 0, BC = GetVisibleBandCount(); B < BC; ++B) {
            if (J >= GetBandRowCount(B))
                continue;
            const int N = GetColumnCountInRow(B, J);
            if (Index < N)
                return GetColumnAt(B, J, Index);
            Index -= N;
        }
    return -1;
}

int TCustomdxTreeList::GetColumnNavigationIndex(int Column) {
    int I = 0;
    const int HPR = GetHeaderPanelRowCount();
    for (int J = 0; J < HPR; ++J)
        for (int B = 0, BC = GetVisibleBandCount(); B < BC; ++B) {
            if (J >= GetBandRowCount(B))
                continue;
            for (int P = 0, N = GetColumnCountInRow(B, J); P < N; ++P, ++I)
                if (GetColumnAt(B, J, P) == Column)
                    return I;
        }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Hit test

TdxTreeListNode* TCustomdxTreeList::GetNodeAt(int X, int Y) {
    HitInfo Info;
    GetHitInfo(TPoint{X, Y}, Info);
    return Info.Node;
}

void TCustomdxTreeList::HitTestHeader(const Layout& L, HitInfo& Info) {
    const int X = Info.X, Y = Info.Y;
    Info.HitKind = L.HeaderCells.empty() ? htNowhere : htHeader;
    const bool FullWidth = IsColumnFullWidthSizing();
    auto BandEdge = [&](int Band) {
        if (CanSizeBand(Band)) {
            Info.HitKind = htBandEdge;
            Info.Band = Band;
            return true;
        }
        return false;
    };
    // The last sizable column of a band's last row stands for the band's edge without a band panel.
    auto LastColumnEdge = [&](int Band) {
        const int Row = GetBandRowCount(Band) - 1;
        const int N = Row >= 0 ? GetColumnCountInRow(Band, Row) : 0;
        if (N == 0)
            return false;
        const int C = GetColumnAt(Band, Row, N - 1);
        if (!CanSizeColumn(C))
            return false;
        Info.HitKind = htColumnEdge;
        Info.Band = Band;
        Info.Column = C;
        return true;
    };
    auto PrevBandEdge = [&](int Band) { return FullWidth ? LastColumnEdge(Band) : BandEdge(Band); };
    for (size_t I = 0; I < L.HeaderCells.size(); ++I) {
        const HeaderCell& Cell = L.HeaderCells[I];
        if (!Cell.ClipRect.Contains(TPoint{X, Y}))
            continue;
        Info.Band = Cell.Band;
        Info.Column = Cell.Column;
        const int Edge = Cell.ClipRect.Right;
        if (X >= Edge - 4) {
            if (!Cell.LastInRow || FullWidth) {
                if (CanSizeColumn(Cell.Column))
                    Info.HitKind = htColumnEdge;
            } else {
                BandEdge(Cell.Band);
            }
            return;
        }
        // The first pixels of a cell belong to the edge of the cell (or band) before it.
        if (Cell.FirstInRow) {
            if (X < Cell.Rect.Left + 4 && I > 0) {
                int Prev = -1;
                for (const BandItem& B : L.Bands)
                    if (B.Band == Cell.Band)
                        break;
                    else
                        Prev = B.Band;
                if (Prev >= 0 && Cell.Band != 0) {
                    if (!PrevBandEdge(Prev))
                        Info.HitKind = htHeader;
                    return;
                }
            }
        } else {
            for (const HeaderCell& P : L.HeaderCells)
                if (P.Band == Cell.Band && P.BandRow == Cell.BandRow && P.RowPosition == Cell.RowPosition - 1 &&
                    X <= P.ClipRect.Right + 4 && CanSizeColumn(P.Column)) {
                    Info.HitKind = htColumnEdge;
                    Info.Column = P.Column;
                    return;
                }
        }
        return;
    }
}

void TCustomdxTreeList::HitTestRows(const Layout& L, HitInfo& Info) {
    const int X = Info.X, Y = Info.Y;
    for (size_t I = 0; I < L.Rows.size(); ++I) {
        const RowItem& Row = L.Rows[I];
        if (Y < Row.Top || Y >= Row.Top + Row.Height)
            continue;
        Info.Row = static_cast<int>(I);
        Info.Node = Row.Node;
        Info.HitKind = X < L.DataRight ? htCell : htRowRight;
        const int Bottom = Row.Top + Row.Height - L.GridLineWidth;
        const int FooterTop = Bottom - Row.FooterHeight;
        const int Scroll = L.LeftFixedIndex < 0 ? FLeftCoord : 0;
        if (Row.FooterCount > 0 && Y >= FooterTop) {
            Info.HitKind = htGroupFooter;
            Info.FooterRow = (Y - FooterTop) / std::max(FGroupFooterRowHeight, 1);
        } else {
            int Ind, TextLeft;
            GetNodeIndent(Row.Node, Ind, TextLeft);
            const int Zone = std::min(TextLeft, L.FirstBandWidth) - Scroll;
            if (X - L.RowsRect.Left < Zone && X >= L.RowsRect.Left) {
                const NodeIndentRects R = CalcNodeIndentRects(Row.Node, Row.Top, Row.Top + Row.Height, L.FirstBandWidth);
                const TPoint P{X - L.RowsRect.Left + Scroll, Y};
                Info.HitKind = htNowhere;
                if (R.Indent.Contains(P))
                    Info.HitKind = htIndent;
                else if (R.Button.Contains(P))
                    Info.HitKind = htButton;
                else if (R.StateImage.Contains(P))
                    Info.HitKind = htStateImage;
                else if (R.Image.Contains(P))
                    Info.HitKind = htImage;
            }
            if (Info.HitKind == htCell && Row.PreviewLines > 0) {
                const int PreviewTop = Bottom - Row.FooterHeight - Row.PreviewLines * FPreviewLineHeight - 2;
                if (Y >= PreviewTop && Y < Bottom - Row.FooterHeight)
                    Info.HitKind = htPreview;
            }
        }
        if (Info.HitKind != htCell && Info.HitKind != htGroupFooter)
            return;
        const bool SingleRow = FHeaderPanelRowCount == 1;
        for (const HeaderCell& Cell : L.HeaderCells) {
            if (X < Cell.ClipRect.Left || X >= Cell.ClipRect.Right)
                continue;
            int Top = Row.Top + Cell.BandRow * FRowHeight, CellBottom = Top + Cell.RowSpan * FRowHeight;
            if (SingleRow || Info.HitKind == htGroupFooter) {
                Top = Row.Top;
                CellBottom = Row.Top + Row.Height;
            }
            if (Y >= Top && Y < CellBottom) {
                Info.Band = Cell.Band;
                Info.Column = Cell.Column;
                return;
            }
        }
        return;
    }
}

void TCustomdxTreeList::GetHitInfo(TPoint P, HitInfo& Info) {
    Info = HitInfo();
    Info.X = P.X;
    Info.Y = P.Y;
    Info.HitKind = htOutside;
    Layout L;
    CalcLayout(L);
    const int X = P.X, Y = P.Y;
    if (!L.ClientRect.Contains(P))
        return;
    Info.HitKind = htNowhere;
    if (L.GroupPanelRect.Contains(P)) {
        Info.HitKind = htGroupPanel;
        return;
    }
    const int BandBottom = L.GroupPanelRect.Bottom > 0 ? L.GroupPanelRect.Bottom + FBandPanelHeight
                                                       : L.ClientRect.Top + FGroupPanelHeight + FBandPanelHeight;
    if (IsBandPanelSizing() && FBandPanelHeight > 0 && InRange(Y, BandBottom - 4, BandBottom + 4)) {
        Info.HitKind = htBandPanelEdge;
        return;
    }
    if (L.BandButtonRect.Contains(P)) {
        Info.HitKind = htBandButton;
        return;
    }
    const bool InBandRows = !IsPointRect(L.BandPanelRect) && Y >= L.BandPanelRect.Top && Y < L.BandPanelRect.Bottom;
    if (InBandRows && X >= L.BandPanelRect.Left && X <= L.BandPanelRect.Right + 4) {
        Info.HitKind = htBand;
        const BandItem* Under = nullptr;
        const BandItem* Prev = nullptr;
        for (const BandItem& B : L.Bands) {
            if (X >= B.ClipRect.Left && X < B.ClipRect.Right) {
                Under = &B;
                break;
            }
            Prev = &B;
        }
        if (Under) {
            Info.Band = Under->Band;
            if (CanSizeBand(Under->Band) && X >= Under->ClipRect.Right - 4)
                Info.HitKind = htBandEdge;
            else if (Prev && CanSizeBand(Prev->Band) && X <= Prev->ClipRect.Right + 4) {
                Info.HitKind = htBandEdge;
                Info.Band = Prev->Band;
            }
        } else if (!L.Bands.empty()) {
            const BandItem& Last = L.Bands.back();
            Info.Band = Last.Band;
            if (CanSizeBand(Last.Band) && X <= Last.ClipRect.Right + 4)
                Info.HitKind = htBandEdge;
            else
                Info.HitKind = htNowhere;
        }
        return;
    }
    if (IsHeaderPanelSizing() && FHeaderPanelHeight > 0 &&
        InRange(Y, L.HeaderPanelRect.Bottom - 4, L.HeaderPanelRect.Bottom + 4)) {
        Info.HitKind = htHeaderPanelEdge;
        return;
    }
    if (L.HeaderButtonRect.Contains(P)) {
        Info.HitKind = htHeaderButton;
        return;
    }
    const bool InHeaderRows =
        !IsPointRect(L.HeaderPanelRect) && Y >= L.HeaderPanelRect.Top && Y < L.HeaderPanelRect.Bottom;
    if (InHeaderRows && X >= L.HeaderPanelRect.Left) {
        if (X < L.HeaderPanelRect.Right) {
            HitTestHeader(L, Info);
        } else if (X <= L.HeaderPanelRect.Right + 4 && !L.Bands.empty()) {
            const int Band = L.Bands.back().Band;
            Info.HitKind = htNowhere;
            if (IsColumnFullWidthSizing()) {
                const int Row = GetBandRowCount(Band) - 1;
                const int N = Row >= 0 ? GetColumnCountInRow(Band, Row) : 0;
                if (N > 0 && CanSizeColumn(GetColumnAt(Band, Row, N - 1))) {
                    Info.HitKind = htColumnEdge;
                    Info.Band = Band;
                    Info.Column = GetColumnAt(Band, Row, N - 1);
                }
            } else if (CanSizeBand(Band)) {
                Info.HitKind = htBandEdge;
                Info.Band = Band;
            }
        }
        return;
    }
    if (L.NewItemRowRect.Contains(P) && Y < L.NewItemRowRect.Bottom - FNewItemRowSeparator) {
        Info.HitKind = htNewItemRow;
        for (const HeaderCell& Cell : L.HeaderCells)
            if (X >= Cell.ClipRect.Left && X < Cell.ClipRect.Right) {
                Info.Band = Cell.Band;
                Info.Column = Cell.Column;
                break;
            }
        return;
    }
    // Indicator (the whole row width when it is hidden, for the row edges only).
    const bool IndicatorShown = FShowIndicator && FIndicatorWidth > 0;
    const bool InIndicator = IndicatorShown ? X >= L.IndicatorRect.Left && X < L.IndicatorRect.Right
                                            : X >= L.RowsRect.Left && X < L.RowsRect.Right;
    if (InIndicator && Y >= L.RowsRect.Top && Y < L.RowsRect.Bottom + 4) {
        for (size_t I = 0; I < L.Rows.size(); ++I) {
            const RowItem& Row = L.Rows[I];
            const int Bottom = Row.Top + Row.Height;
            const bool LastRow = I + 1 == L.Rows.size();
            if (Y < Row.Top || Y >= Bottom + (LastRow ? 4 : 0))
                continue;
            if (IsRowSizing()) {
                if (Y >= Bottom - 4) {
                    Info.HitKind = htRowEdge;
                    Info.Row = static_cast<int>(I);
                    Info.Node = Row.Node;
                    return;
                }
                if (I > 0 && Y < Row.Top + 4) {
                    Info.HitKind = htRowEdge;
                    Info.Row = static_cast<int>(I) - 1;
                    Info.Node = L.Rows[I - 1].Node;
                    return;
                }
            }
            if (IndicatorShown && Y < Bottom) {
                Info.HitKind = htIndicator;
                Info.Row = static_cast<int>(I);
                Info.Node = Row.Node;
                return;
            }
            break;
        }
        if (IndicatorShown && Y < L.RowsRect.Bottom)
            return;
    }
    if (L.StatusPanelRect.Contains(P)) {
        Info.HitKind = htStatusPanel;
        return;
    }
    if (L.FooterRect.Contains(P)) {
        Info.HitKind = htFooter;
        for (const HeaderCell& Cell : L.HeaderCells) {
            const int Top = L.FooterRect.Top + Cell.BandRow * FFooterRowHeight - (Cell.BandRow == 0 ? 1 : 0);
            const int Bottom = L.FooterRect.Top + Cell.BandRow * FFooterRowHeight + Cell.RowSpan * FFooterRowHeight + 3;
            if (X >= Cell.ClipRect.Left && X < Cell.ClipRect.Right && Y >= Top && Y < Bottom) {
                Info.Band = Cell.Band;
                Info.Column = Cell.Column;
                break;
            }
        }
        return;
    }
    if (!L.Bands.empty() && Y >= L.RowsRect.Top && Y < L.RowsRect.Bottom)
        HitTestRows(L, Info);
}
