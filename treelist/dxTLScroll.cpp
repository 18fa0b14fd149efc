// Scrolling of the tree list (rows vertically, pixels horizontally), its scroll bars, the window
// messages that keep them and the small repaint routines.
#include "dxTL.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Vertical

int TCustomdxTreeList::GetTopIndex() { return FTopNode ? GetRowIndex(FTopNode) : -1; }

int TCustomdxTreeList::CountRowsInHeight(TdxTreeListNode* Node, int Height, int& Partial, int& Full) {
    Partial = Full = 0;
    int Sum = 0;
    TdxTreeListNode* N = Node;
    for (; N; N = GetNextVisibleNode(N)) {
        const int H = GetRowHeight(N, FRowHeight, false);
        if (Sum + H > Height) {
            if (Sum < Height)
                ++Partial;
            Sum += H;
            break;
        }
        Sum += H;
        ++Partial;
        ++Full;
    }
    if (!N && Sum <= Height && Node) {
        for (TdxTreeListNode* P = Node->GetPrevVisible(); P; P = P->GetPrevVisible()) {
            const int H = GetRowHeight(P, FRowHeight, false);
            if (Sum + H > Height) {
                if (Sum < Height)
                    ++Partial;
                Sum += H;
                break;
            }
            Sum += H;
            ++Partial;
            ++Full;
        }
    }
    Partial = std::max(Partial, 1);
    Full = std::max(Full, 1);
    return Sum;
}

void TCustomdxTreeList::CalcVisibleRowCounts() {
    Layout L;
    CalcLayoutAreas(L);
    int Partial = 1, Full = 1;
    CountRowsInHeight(FTopNode ? FTopNode : GetFirstRootNode(), L.RowsRect.Height(), Partial, Full);
    FPartialRowCount = Partial;
    FVisibleRowCount = Full;
}

int TCustomdxTreeList::GetRowsScrollDistance(int Count) {
    int Sum = 0;
    if (Count < 0) {
        TdxTreeListNode* N = FTopNode;
        for (int I = 0; N && I < -Count; ++I, N = GetNextVisibleNode(N))
            Sum += GetRowHeight(N, FRowHeight, false);
        return -Sum;
    }
    TdxTreeListNode* N = FTopNode ? FTopNode->GetPrevVisible() : nullptr;
    for (int I = 0; N && I < Count; ++I, N = N->GetPrevVisible())
        Sum += GetRowHeight(N, FRowHeight, false);
    return Sum;
}

void TCustomdxTreeList::SetTopIndex(int Index) {
    HideEditorOnExit();
    const int Old = GetTopIndex();
    if (Index == Old)
        return;
    Index = std::max(Index, 0);
    const int Rows = GetRowCount();
    if (Rows < 2)
        return;
    Layout L;
    CalcLayoutAreas(L);
    int Partial, Full;
    CountRowsInHeight(GetNodeAtRow(std::min(Index, Rows - 1)), L.RowsRect.Height(), Partial, Full);
    if (Index + Full > Rows)
        Index = Rows - FVisibleRowCount;
    Index = std::max(Index, 0);
    if (Index == Old)
        return;
    const int Delta = GetRowsScrollDistance(Old - Index);
    TRect OldFocus;
    GetNodeRowRect(FFocusedNode, OldFocus);
    SetTopNode(GetNodeAtRow(Index));
    UpdateScrollBars();
    if (FLockCount > 0 || !HandleAllocated())
        return;
    TRect NewFocus;
    GetNodeRowRect(FFocusedNode, NewFocus);
    if (FVisibleRowCount < std::abs(Old - Index)) {
        Invalidate();
        return;
    }
    FWholeInvalid = false;
    if (OldFocus.Left != -1)
        ValidateRect(Handle(), OldFocus);
    ScrollRows(Delta);
    if (OldFocus.Left != -1)
        InvalidateRect(OldFocus);
    if (NewFocus.Left != -1)
        InvalidateRect(NewFocus);
}

void TCustomdxTreeList::ScrollRows(int DeltaY) {
    if (!HandleAllocated() || DeltaY == 0)
        return;
    TRect R;
    GetDataRect(R);
    ScrollWindowEx(Handle(), 0, DeltaY, R, R, nullptr, nullptr, SW_INVALIDATE);
    if (TreeStyle() && TreeLineStyle == 1 && GetVisibleBandCount() > 0) {
        // The dotted tree lines must be drawn afresh, not moved by an odd number of pixels.
        Layout L;
        CalcLayoutAreas(L);
        TRect Strip{L.RowsRect.Left, L.RowsRect.Top,
                    L.RowsRect.Left + GetBandDisplayWidth(0) + GetFirstBandExtraWidth(), L.RowsRect.Bottom};
        if (GetLeftFixedBand() >= 0) {
            Strip.Left -= FLeftCoord;
            Strip.Right -= FLeftCoord;
        }
        InvalidateRect(Strip);
    }
}

void TCustomdxTreeList::GetVertScrollInfo(int& Min, int& Max, int& Page, int& Pos) {
    const int Rows = GetRowCount();
    Min = 0;
    Max = FVisibleRowCount >= Rows ? 0 : Rows - 1;
    Page = FVisibleRowCount;
    Pos = std::max(GetTopIndex(), 0);
}

void TCustomdxTreeList::UpdateVertScrollBar() {
    if (!HandleAllocated())
        return;
    CalcVisibleRowCounts();
    if (!HasVertScrollBar())
        return;
    SCROLLINFO Old{};
    Old.cbSize = sizeof(Old);
    Old.fMask = SIF_ALL;
    GetFlatScrollInfo(SB_VERT, Old);
    int Min, Max, Page, Pos;
    GetVertScrollInfo(Min, Max, Page, Pos);
    if (Old.nMin == Min && Old.nMax == Max && static_cast<int>(Old.nPage) == Page && Old.nPos == Pos)
        return;
    SCROLLINFO New{};
    New.cbSize = sizeof(New);
    New.fMask = SIF_ALL;
    New.nMin = Min;
    New.nMax = Max;
    New.nPage = static_cast<UINT>(Page);
    New.nPos = Pos;
    SetFlatScrollInfo(SB_VERT, New, true);
}

void TCustomdxTreeList::UpdateHorzScrollBar() {
    if (!HandleAllocated() || !HasHorzScrollBar())
        return;
    const int Page = GetScrollableWidth(), Content = GetScrollableContentWidth();
    SCROLLINFO Old{};
    Old.cbSize = sizeof(Old);
    Old.fMask = SIF_ALL;
    GetFlatScrollInfo(SB_HORZ, Old);
    const int Max = Page >= Content ? 0 : Content - 1;
    if (Old.nMin == 0 && Old.nMax == Max && static_cast<int>(Old.nPage) == Page && Old.nPos == FLeftCoord)
        return;
    SCROLLINFO New{};
    New.cbSize = sizeof(New);
    New.fMask = SIF_ALL;
    New.nMax = Max;
    New.nPage = static_cast<UINT>(std::max(Page, 0));
    New.nPos = FLeftCoord;
    SetFlatScrollInfo(SB_HORZ, New, true);
}

void TCustomdxTreeList::UpdateScrollBars() {
    if (!HandleAllocated())
        return;
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
}

// ---------------------------------------------------------------------------------------------
// Horizontal

void TCustomdxTreeList::SetLeftCoord(int Value) {
    HideEditorOnExit();
    if (Value == FLeftCoord)
        return;
    const int Width = GetScrollableWidth(), Content = GetScrollableContentWidth();
    Value = std::max(Value, 0);
    if (Value + Width > Content)
        Value = Content - Width;
    Value = std::max(Value, 0);
    if (Value == FLeftCoord)
        return;
    const int Old = FLeftCoord;
    FLeftCoord = Value;
    UpdateScrollBars();
    if (FLockCount > 0)
        return;
    if (HandleAllocated()) {
        if (FShowFooter || Width < std::abs(Old - Value) || GetLeftFixedBand() >= 0 || GetRightFixedBand() >= 0) {
            Invalidate();
        } else {
            const TRect R = GetScrollableRect();
            ScrollWindowEx(Handle(), Old - Value, 0, R, R, nullptr, nullptr, SW_INVALIDATE);
        }
    }
    DoLeftCoordChanged();
}

int TCustomdxTreeList::GetMaxLeftCoord() { return std::max(GetScrollableContentWidth() - GetScrollableWidth(), 0); }

void TCustomdxTreeList::CheckScrollPositions() {
    if (!HandleAllocated())
        return;
    const int Top = GetTopIndex();
    int T = Top;
    const int Rows = GetRowCount();
    if (Rows < T + FVisibleRowCount)
        T = Rows - FVisibleRowCount;
    T = std::max(T, 0);
    if (T != Top && Top >= 0)
        SetTopIndex(T);
    const int Width = GetScrollableWidth(), Content = GetScrollableContentWidth();
    if (Width < Content && FLeftCoord + Width > Content) {
        FLeftCoord = Content - Width;
        Invalidate();
    } else if (Width >= Content && FLeftCoord != 0) {
        SetLeftCoord(0);
    }
}

// ---------------------------------------------------------------------------------------------
// Messages

void TCustomdxTreeList::WMVScroll(TMessage& Message) {
    if (!CanScroll())
        return;
    const int Code = LOWORD(Message.WParam);
    const int Top = GetTopIndex(), Rows = GetRowCount();
    int Index;
    switch (Code) {
    case SB_LINEUP: Index = Top - 1; break;
    case SB_LINEDOWN: Index = Top + 1; break;
    case SB_PAGEUP: Index = Top - FVisibleRowCount; break;
    case SB_PAGEDOWN: Index = Top + FVisibleRowCount; break;
    case SB_TOP: Index = 0; break;
    case SB_BOTTOM: Index = Rows; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SCROLLINFO SI{};
        SI.cbSize = sizeof(SI);
        SI.fMask = SIF_ALL;
        GetFlatScrollInfo(SB_VERT, SI);
        Index = SI.nTrackPos <= 0 ? 0 : (SI.nTrackPos >= Rows ? Rows : SI.nTrackPos);
        break;
    }
    default: return;
    }
    SetTopIndex(Index);
}

int TCustomdxTreeList::HorzThumbPosition(int P) {
    const int Width = GetScrollableWidth(), Content = GetScrollableContentWidth();
    if (P <= 0)
        return 0;
    if (P >= Content)
        return Content;
    if (Width + P + 1 >= Content)
        return P + 1;
    return ((P + 1) / 4) * 4;
}

void TCustomdxTreeList::WMHScroll(TMessage& Message) {
    if (!CanScroll() || GetVisibleColumnCount() == 0)
        return;
    const int Code = LOWORD(Message.WParam);
    int Value;
    switch (Code) {
    case SB_LINELEFT: Value = FLeftCoord - FDigitWidth; break;
    case SB_LINERIGHT: Value = FLeftCoord + FDigitWidth; break;
    case SB_PAGELEFT: Value = FLeftCoord - GetScrollableWidth(); break;
    case SB_PAGERIGHT: Value = FLeftCoord + GetScrollableWidth(); break;
    case SB_LEFT: Value = 0; break;
    case SB_RIGHT: Value = GetScrollableContentWidth(); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SCROLLINFO SI{};
        SI.cbSize = sizeof(SI);
        SI.fMask = SIF_ALL;
        GetFlatScrollInfo(SB_HORZ, SI);
        Value = HorzThumbPosition(SI.nTrackPos);
        break;
    }
    default: return;
    }
    SetLeftCoord(Value);
}

void TCustomdxTreeList::WMGetDlgCode(TMessage& Message) {
    LRESULT R = DLGC_WANTARROWS;
    const bool Alt = GetKeyState(VK_MENU) < 0, Ctrl = GetKeyState(VK_CONTROL) < 0;
    if (FOptions.Contains(toEditing) || FSearching || (IsIncrementalSearch() && !Alt))
        R |= DLGC_WANTCHARS;
    if (FOptions.Contains(toTabs) && !Ctrl)
        R |= DLGC_WANTTAB;
    Message.Result = R;
}

void TCustomdxTreeList::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TCustomdxTreeList::CMSysColorChange(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    BuildExpandButtonBitmaps();
}

void TCustomdxTreeList::CMFontChanged(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    LayoutChanged();
}

// ---------------------------------------------------------------------------------------------
// Repaint routines

void TCustomdxTreeList::InvalidateRect(const TRect& R) {
    if (HandleAllocated() && !FWholeInvalid)
        ::InvalidateRect(Handle(), R, FALSE);
}

void TCustomdxTreeList::Invalidate() {
    // Each invalidation is a call into the window system, and stepping through the rows asks for
    // several per step. Once the whole window waits for its paint, only the windowed children
    // (which may have painted since) need asking again.
    if (!FWholeInvalid || !HandleAllocated()) {
        TCustomdxContainer::Invalidate();
        FWholeInvalid = HandleAllocated();
        return;
    }
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* W = dynamic_cast<TWinControl*>(Controls(I)))
            W->Perform(CM_INVALIDATE, 1, 0);
}

void TCustomdxTreeList::InvalidateRow(TdxTreeListNode* Node) {
    if (!Node || !HandleAllocated() || FLockCount > 0)
        return;
    TRect R;
    GetNodeRowRect(Node, R);
    if (R.Left != -1)
        InvalidateRect(R);
}
