// The engine's answers to the virtual operations that have more than a one-line default.
#include "dxTL.h"

#include <algorithm>

void TCustomdxTreeList::LayoutChanged() {
    if (FLockCount > 0)
        return;
    ++FLockCount;
    try {
        CalcMetrics();
    } catch (...) {
        --FLockCount;
        throw;
    }
    --FLockCount;
}

void TCustomdxTreeList::SetTopNode(TdxTreeListNode* Node) {
    FTopNode = Node;
    OnTopNodeChanged(this);
}

void TCustomdxTreeList::GetDataRect(TRect& Rect) {
    Layout L;
    CalcLayoutAreas(L);
    Rect = L.RowsRect;
    if (FShowIndicator)
        Rect.Left = L.IndicatorRect.Left;
}

int TCustomdxTreeList::GetHeaderButtonState(int Column) {
    if (!ShowHeaderButtons())
        return 0;
    if (Column != FHotInfo.Column || FHotHeaderPart != 2)
        return 1;
    if (Column == FDropDownColumn && FState == tsDropDownButtonDown)
        return 7;
    return 3;
}

bool TCustomdxTreeList::GetHeaderHotPart(int X, int Y, int& Part, int Column) {
    Part = 1;
    Layout L;
    CalcLayout(L);
    if (const HeaderCell* Cell = FindHeaderCell(L, Column)) {
        const TRect Inner{Cell->Rect.Left + 2, Cell->Rect.Top + 2, Cell->Rect.Right - 2, Cell->Rect.Bottom - 2};
        if (Cell->ClipRect.Contains(TPoint{X, Y}) && Inner.Width() >= 16 && X >= Inner.Right - 15 && X < Inner.Right)
            Part = 2;
    }
    return true;
}

int TCustomdxTreeList::GetColumnTextHeight(TCanvas*, int Column) {
    if (!ColumnHasOwnFont(Column))
        return 0;
    return MeasureTextHeight(GetColumnFont(Column)) + 3;
}

int TCustomdxTreeList::GetMaxColumnTextHeight(TCanvas* Canvas) {
    int H = 0;
    for (int C = 0, N = GetColumnCount(); C < N; ++C)
        if (IsColumnVisible(C))
            H = std::max(H, GetColumnTextHeight(Canvas, C));
    return H;
}

void TCustomdxTreeList::EndSearch() {
    FSearching = false;
    if (FLockCount == 0 && !IsDestroying())
        InvalidateRow(FFocusedNode);
}
