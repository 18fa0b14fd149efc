// Node operations of the engine: the row cache, row queries, focus, insertion and deletion
// repairs, the selection protocol and sorting of child lists.
#include "dxTL.h"

#include "Forms.h"

#include <algorithm>
#include <functional>

namespace {
bool AddressLess(const TdxTreeListNode* A, const TdxTreeListNode* B) { return std::less<const void*>()(A, B); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Row cache

bool TCustomdxTreeList::IsRowCacheUsable() const {
    return FRowCacheLists && !FRowNodeKeys.empty() && !ComponentState().Contains(csDestroying);
}

int TCustomdxTreeList::FindNodeInCache(TdxTreeListNode* Node) const {
    int Lo = 0, Hi = static_cast<int>(FRowNodeKeys.size()) - 1;
    while (Lo <= Hi) {
        const int Mid = (Lo + Hi) / 2;
        if (FRowNodeKeys[Mid] == Node)
            return Mid;
        if (AddressLess(FRowNodeKeys[Mid], Node))
            Lo = Mid + 1;
        else
            Hi = Mid - 1;
    }
    return -1;
}

void TCustomdxTreeList::BuildRowCache() {
    if (!FRowCacheLists)
        return;
    if (!FCacheChangeNode) {
        std::vector<std::pair<TdxTreeListNode*, int>> Pairs;
        Pairs.reserve(FRootList->Count());
        FRowNodes.clear();
        std::function<void(TdxTreeListNode*)> Visit = [&](TdxTreeListNode* N) {
            Pairs.emplace_back(N, static_cast<int>(FRowNodes.size()));
            FRowNodes.push_back(N);
            if (N->Expanded())
                for (int I = 0; I < N->Count(); ++I)
                    Visit(N->Items(I));
        };
        for (int I = 0; I < FRootList->Count(); ++I)
            Visit(GetRootNode(I));
        std::sort(Pairs.begin(), Pairs.end(), [](const auto& A, const auto& B) { return AddressLess(A.first, B.first); });
        FRowNodeKeys.clear();
        FRowNodeIndexes.clear();
        for (const auto& P : Pairs) {
            FRowNodeKeys.push_back(P.first);
            FRowNodeIndexes.push_back(P.second);
        }
        RebuildLayoutLists(false);
    } else if (FCacheNeedsUpdate && IsRowCacheUsable()) {
        TdxTreeListNode* Node = FCacheChangeNode;
        if (FCacheRemoving) {
            const int K = FindNodeInCache(Node);
            if (K >= 0) {
                const int R = FRowNodeIndexes[K];
                for (int& I : FRowNodeIndexes)
                    if (I >= R)
                        --I;
                FRowNodeIndexes.erase(FRowNodeIndexes.begin() + K);
                FRowNodeKeys.erase(FRowNodeKeys.begin() + K);
                FRowNodes.erase(FRowNodes.begin() + R);
            }
        } else {
            TdxTreeListNode* Follower = nullptr;
            for (TdxTreeListNode* N = Node; N && !Follower; N = N->Parent())
                Follower = N->GetNextSibling();
            int R = static_cast<int>(FRowNodes.size());
            if (Follower) {
                const int KF = FindNodeInCache(Follower);
                if (KF >= 0)
                    R = FRowNodeIndexes[KF];
            }
            for (int& I : FRowNodeIndexes)
                if (I >= R)
                    ++I;
            const int K = static_cast<int>(std::lower_bound(FRowNodeKeys.begin(), FRowNodeKeys.end(), Node, AddressLess) -
                                           FRowNodeKeys.begin());
            FRowNodeIndexes.insert(FRowNodeIndexes.begin() + K, R);
            FRowNodeKeys.insert(FRowNodeKeys.begin() + K, Node);
            FRowNodes.insert(FRowNodes.begin() + R, Node);
            TdxTreeListNode* P = Node->Parent();
            if (P && Node->IsLast() && P->Count() > 1)
                P->Items(P->Count() - 2)->CachedRowHeight = 0;
        }
    } else {
        return;
    }
    if (!FClearingAll && IsCellAutoHeight())
        ResetRowHeights();
    FRowCacheValid = true;
}

void TCustomdxTreeList::UpdateRowCacheFor(TdxTreeListNode* Node, bool Removing) {
    FCacheChangeNode = Node;
    FCacheNeedsUpdate = FCacheNeedsUpdate || Node->IsVisible();
    FCacheRemoving = Removing;
    try {
        BuildRowCache();
    } catch (...) {
        FCacheChangeNode = nullptr;
        FCacheNeedsUpdate = false;
        throw;
    }
    FCacheChangeNode = nullptr;
    FCacheNeedsUpdate = false;
}

void TCustomdxTreeList::ClearRowCache() {
    if (FClearingRows)
        return;
    FRowCacheValid = false;
    FRowNodes.clear();
    FRowNodeKeys.clear();
    FRowNodeIndexes.clear();
    FFocusedAbsoluteColumn = -1;
    ResetRowHeights();
}

void TCustomdxTreeList::ResetRowHeights() {
    if (FClearingAll || IsDestroying())
        return;
    ForEachNode([](TdxTreeListNode* N) { N->CachedRowHeight = 0; });
}

// ---------------------------------------------------------------------------------------------
// Row queries

int TCustomdxTreeList::GetRowCount() {
    if (IsRowCacheUsable())
        return static_cast<int>(FRowNodes.size());
    int Count = 0;
    for (TdxTreeListNode* N = GetFirstRootNode(); N; N = GetNextVisibleNode(N))
        ++Count;
    return Count;
}

int TCustomdxTreeList::WalkRowIndex(TdxTreeListNode* Node) {
    int R = 0;
    for (TdxTreeListNode* N = GetFirstRootNode(); N; N = GetNextVisibleNode(N), ++R)
        if (N == Node)
            return R;
    return -1;
}

TdxTreeListNode* TCustomdxTreeList::WalkNodeAtRow(int Index) {
    if (Index < 0)
        return nullptr;
    TdxTreeListNode* N = GetFirstRootNode();
    for (; N && Index > 0; --Index)
        N = GetNextVisibleNode(N);
    return N;
}

int TCustomdxTreeList::GetRowIndex(TdxTreeListNode* Node) {
    if (!Node || GetRootCount() == 0)
        return -1;
    if (IsRowCacheUsable()) {
        // A node that is no row (under a collapsed parent) has no index.
        const int K = FindNodeInCache(Node);
        return K >= 0 ? FRowNodeIndexes[K] : -1;
    }
    return WalkRowIndex(Node);
}

TdxTreeListNode* TCustomdxTreeList::GetNodeAtRow(int Index) {
    if (IsRowCacheUsable())
        return Index >= 0 && Index < static_cast<int>(FRowNodes.size()) ? FRowNodes[Index] : nullptr;
    return WalkNodeAtRow(Index);
}

int TCustomdxTreeList::GetFocusedRowIndex() { return FFocusedNode ? GetRowIndex(FFocusedNode) : 0; }

bool TCustomdxTreeList::IsLastRow(TdxTreeListNode* Node) { return Node && Node == GetNodeAtRow(GetRowCount() - 1); }

// ---------------------------------------------------------------------------------------------
// Focus

int TCustomdxTreeList::GetFocusedColumn() {
    if (IsRowSelect())
        return 0;
    if (FFocusedColumn >= 0 && FFocusedColumn < GetVisibleColumnCount())
        return FFocusedColumn;
    return 0;
}

int TCustomdxTreeList::GetFocusedAbsoluteColumn() {
    if (FFocusedAbsoluteColumn < 0)
        FFocusedAbsoluteColumn = GetVisibleColumn(GetFocusedColumn());
    return FFocusedAbsoluteColumn;
}

void TCustomdxTreeList::SetFocusedNode(TdxTreeListNode* Node, int Column, bool MakeVisible) {
    if (!Node)
        return;
    HideEditorOnExit();
    FFocusedAbsoluteColumn = -1;
    TdxTreeListNode* OldNode = FFocusedNode;
    const int OldColumn = GetFocusedColumn();
    auto Finish = [&] {
        if (MakeVisible && FFocusedNode)
            MakeNodeVisible(FFocusedNode);
        const bool NodeChanged = FFocusedNode != OldNode, ColumnChanged = GetFocusedColumn() != OldColumn;
        if ((NodeChanged && FSearchLock == 0) || ColumnChanged)
            if (FSearching)
                EndSearch();
        if (NodeChanged)
            DoChangeNode(OldNode, FFocusedNode);
        if (ColumnChanged)
            DoChangeColumn(FFocusedNode, GetFocusedColumn());
    };
    try {
        if (FLockCount > 0) {
            FFocusedNode = Node;
            FFocusedColumn = Column;
        } else if (Node != OldNode || (!IsRowSelect() && Column != OldColumn)) {
            if (Node != OldNode || IsRowSelect()) {
                if (!IsRowSelect()) {
                    FFocusedColumn = Column;
                    MakeColumnVisible(GetVisibleColumn(GetFocusedColumn()));
                }
                InvalidateRow(OldNode);
                FFocusedNode = Node;
                InvalidateRow(Node);
                if (FNewItemRowFocused) {
                    FNewItemRowFocused = false;
                    Invalidate();
                }
            } else {
                MakeColumnVisible(GetVisibleColumn(Column));
                InvalidateRow(FFocusedNode);
                FFocusedColumn = Column;
            }
        }
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
}

void TCustomdxTreeList::SetFocusedColumn(int Index) {
    if (Index != FFocusedColumn && Index >= 0 && Index < GetVisibleColumnCount())
        SetFocusedNode(FFocusedNode, Index, true);
}

void TCustomdxTreeList::SetFocusedRowIndex(int Index) {
    if (GetRootCount() == 0)
        return;
    const int C = GetFocusedRowIndex();
    if (Index == C)
        return;
    Index = std::max(Index, 0);
    Index = std::min(Index, GetRowCount() - 1);
    if (Index == C)
        return;
    SetFocusedNode(GetNodeAtRow(Index), GetFocusedColumn(), true);
}

// ---------------------------------------------------------------------------------------------
// Insertion and deletion

void TCustomdxTreeList::NodeInserted(TdxTreeListNode* Node) {
    ResetEditorInfo();
    if (!FTopNode)
        SetTopNode(Node);
    if (!FFocusedNode)
        FFocusedNode = FTopNode;
    if (FLockCount > 0)
        return;
    if (!ComponentState().Contains(csLoading) && !IsDestroying())
        UpdateRowCacheFor(Node, false);
    TdxTreeListNode* P = Node->GetPrevSibling();
    if (!P)
        P = Node->Parent();
    InvalidateNode(P ? P : Node, true);
}

void TCustomdxTreeList::NodeDeleted(TdxTreeListNode* Node, TdxTreeListNode* PrevSiblingOrParent, bool WasVisible,
                                    bool, TdxTreeListNode* NextRow) {
    OnDeletion(this, Node);
    if (FClearingAll)
        return;
    if (IsNodeSelected(Node))
        SetNodeSelected(Node, false);
    if (GetRootCount() == 0) {
        if (!IsDestroying())
            ClearRowCache();
        ClearNodeReferences();
        if (FLockCount == 0 && !IsDestroying()) {
            UpdateScrollBars();
            Invalidate();
        }
        return;
    }
    TdxTreeListNode* N = nullptr;
    auto Fallback = [&] { return PrevSiblingOrParent ? PrevSiblingOrParent : NextRow; };
    if (Node == FTopNode) {
        SetTopNode(Fallback());
        N = FTopNode;
    }
    if (Node == FFocusedNode) {
        FFocusedNode = Fallback();
        if (!N)
            N = FFocusedNode;
    }
    if (Node == FSelectStartNode)
        FSelectStartNode = nullptr;
    if (Node == FSelectionAnchor)
        FSelectionAnchor = Fallback();
    if (Node == FDragNode)
        FDragNode = nullptr;
    if (Node == FHotInfo.Node)
        FHotInfo.Node = nullptr;
    if (Node == RangeFirstNode)
        RangeFirstNode = nullptr;
    ResetEditorInfo();
    if (FCacheNeedsUpdate && FLockCount == 0 && !IsDestroying())
        UpdateRowCacheFor(Node, true);
    // A deletion under a lock leaves no stale row behind: the cache is rebuilt whole at the end.
    if (!WasVisible)
        return;
    if (!N)
        N = Fallback();
    if (N)
        InvalidateNode(N, true);
}

void TCustomdxTreeList::ClearNodeReferences() {
    SetTopNode(nullptr);
    FFocusedNode = nullptr;
    FEditorNode = nullptr;
    FEditorColumn = -1;
    FSelectionAnchor = nullptr;
    ExtendingSelection = false;
    RangeFirstNode = nullptr;
    FSelectStartNode = nullptr;
    FDragNode = nullptr;
    FHotInfo.Node = nullptr;
}

void TCustomdxTreeList::InvalidateNode(TdxTreeListNode* Node, bool Recalc) {
    if (!Node || Node->Deleting || FLockCount > 0 || IsDestroying() || !Node->IsVisible())
        return;
    if (Recalc) {
        UpdateScrollBars();
        CheckScrollPositions();
        TRect R;
        GetNodeRowRectToBottom(Node, R);
        if (R.Left != -1)
            InvalidateRect(R);
    } else {
        InvalidateRow(Node);
    }
}

bool TCustomdxTreeList::CanCollapseFocused(TdxTreeListNode* Node) {
    SetFocusedNode(Node, GetFocusedColumn(), false);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Selection protocol

bool TCustomdxTreeList::CanSelectNode(TdxTreeListNode* Node) {
    bool Allow = true;
    OnCanSelectNode(this, Node, Allow);
    if (Allow && !IsMultiLevelSelect()) {
        TdxTreeListNode* Ref = GetSelectedCount() > 0 ? GetSelectedNode(0) : RangeFirstNode;
        if (Ref)
            Allow = Ref->Parent() == Node->Parent();
    }
    return Allow;
}

void TCustomdxTreeList::ClearSelection() {
    ExtendingSelection = false;
    DoSelectionChanged();
}

void TCustomdxTreeList::DoSelectionChanged() {
    if (!IsDestroying() && FSelectionLockCount == 0)
        OnSelectionChanged(this);
}

int TCustomdxTreeList::CompareWithAnchor(TdxTreeListNode* Node) {
    const int A = GetRowIndex(Node), B = GetRowIndex(FSelectionAnchor);
    return A == B ? 0 : (A < B ? -1 : 1);
}

void TCustomdxTreeList::SelectRange(TdxTreeListNode* FromNode, TdxTreeListNode* ToNode) {
    BeginSelectionUpdate();
    try {
        const int A = GetRowIndex(FromNode), B = GetRowIndex(ToNode);
        TdxTreeListNode* N = A <= B ? FromNode : ToNode;
        TdxTreeListNode* Last = A <= B ? ToNode : FromNode;
        try {
            for (int I = 0, Count = std::abs(A - B) + 1; N && I < Count; ++I) {
                SetNodeSelected(N, true);
                if (N == Last)
                    break;
                N = GetNextVisibleNode(N);
            }
        } catch (const Exception&) {
            // A refused node ends the range; what was selected stays.
        }
    } catch (...) {
        EndSelectionUpdate();
        throw;
    }
    EndSelectionUpdate();
}

void TCustomdxTreeList::InvalidateSelection() {
    InvalidateRow(FFocusedNode);
    const int N = GetSelectedCount();
    if (N > 10) {
        Invalidate();
        return;
    }
    for (int I = 0; I < N; ++I)
        InvalidateRow(GetSelectedNode(I));
}

// ---------------------------------------------------------------------------------------------
// Sorting

int TCustomdxTreeList::CompareNodes(TdxTreeListNode* Node1, TdxTreeListNode* Node2) {
    if (Node1 == Node2)
        return 0;
    return AddressLess(Node1, Node2) ? -1 : 1;
}

namespace {
struct SortKey {
    TdxTreeListNode* Node = nullptr;
    std::vector<std::pair<Variant, bool>> Values;  // value and descending flag per sorted column
};

// The keys and the order of one sort by Column (and, sorting by several columns, the sorted
// columns after the first).
struct NodeOrder {
    TCustomdxTreeList* T;
    int Column;
    bool Descending;
    int S;
    bool Multi;
    bool CaseSensitive;
    NodeOrder(TCustomdxTreeList* ATree, int AColumn, bool ADescending)
        : T(ATree), Column(AColumn), Descending(ADescending), S(ATree->GetSortedColumnCount()),
          Multi(ATree->CanMultiSort(AColumn) && S > 1), CaseSensitive(ATree->IsCaseSensitiveSort()) {
        if (Multi) {
            Column = T->GetSortedColumn(0);
            Descending = T->IsSortedColumnDescending(0);
        }
    }
    SortKey Key(TdxTreeListNode* Node) const {
        SortKey K;
        K.Node = Node;
        Variant V;
        T->GetNodeSortValue(Node, Column, V);
        K.Values.emplace_back(V, Descending);
        for (int J = 1; Multi && J < S; ++J) {
            Variant W;
            T->GetNodeSortValue(Node, T->GetSortedColumn(J), W);
            K.Values.emplace_back(W, T->IsSortedColumnDescending(J));
        }
        return K;
    }
    int Compare(const SortKey& A, const SortKey& B) const {
        if (T->OnCompareNodes) {
            int C = 0;
            T->OnCompareNodes(T, A.Node, B.Node, C);
            return C != 0 ? C : T->CompareNodes(A.Node, B.Node);
        }
        for (size_t I = 0; I < A.Values.size(); ++I) {
            const Variant& VA = A.Values[I].first;
            const Variant& VB = B.Values[I].first;
            int C;
            if (I == 0 && CaseSensitive && VA.VType() == varString) {
                std::string SA, SB;
                try {
                    SA = VA.AsString();
                    SB = VB.IsNull() ? std::string() : VB.AsString();
                } catch (const Exception&) {
                }
                C = AnsiCompareStr(SA, SB);
            } else {
                C = CompareVariants(VA, VB);
            }
            if (C != 0)
                return A.Values[I].second ? -C : C;
        }
        return T->CompareNodes(A.Node, B.Node);
    }
};
}  // namespace

void TCustomdxTreeList::SortNodeList(TList* List, int Column, bool Descending) {
    if (!List || List->Count() < 2)
        return;
    const NodeOrder Order(this, Column, Descending);
    std::vector<SortKey> Keys;
    Keys.reserve(List->Count());
    for (int I = 0; I < List->Count(); ++I)
        Keys.push_back(Order.Key(static_cast<TdxTreeListNode*>(List->Items(I))));
    // Values of kinds that do not compare still get one answer per pair, ties fall to the node
    // order; a merge sort stays within the list even should a user's compare event contradict itself.
    std::stable_sort(Keys.begin(), Keys.end(),
                     [&](const SortKey& A, const SortKey& B) { return Order.Compare(A, B) < 0; });
    for (int I = 0; I < List->Count(); ++I)
        List->SetItems(I, Keys[I].Node);
}

bool TCustomdxTreeList::PlaceNodeInSortedList(TdxTreeListNode* Node, int Column, bool Descending) {
    TList* List = Node->Parent() ? Node->Parent()->ChildList() : FRootList;
    const int From = List ? List->IndexOf(Node) : -1;
    if (From < 0 || List->Count() < 2)
        return false;
    const NodeOrder Order(this, Column, Descending);
    const SortKey Key = Order.Key(Node);
    // The first sibling (the node itself left out) that the node sorts before.
    int Lo = 0, Hi = List->Count() - 1;
    while (Lo < Hi) {
        const int Mid = (Lo + Hi) / 2;
        const int At = Mid < From ? Mid : Mid + 1;
        if (Order.Compare(Order.Key(static_cast<TdxTreeListNode*>(List->Items(At))), Key) < 0)
            Lo = Mid + 1;
        else
            Hi = Mid;
    }
    if (Lo == From)
        return false;
    // A row without shown children moves in the row cache by itself; a shown subtree rebuilds it.
    const bool InRows = FLockCount == 0 && Node->IsVisible() && IsRowCacheUsable();
    const bool Single = InRows && !(Node->Expanded() && Node->Count() > 0);
    if (Single)
        UpdateRowCacheFor(Node, true);
    List->Move(From, Lo);
    if (Single) {
        UpdateRowCacheFor(Node, false);
    } else if (InRows) {
        ClearRowCache();
        BuildRowCache();
    }
    return true;
}

void TCustomdxTreeList::SortNodes(int Level, int Column, bool Descending) {
    const bool HourGlass = IsSortHourGlass();
    const TCursor Saved = Screen->Cursor();
    if (HourGlass)
        Screen->SetCursor(crHourGlass);
    try {
        std::function<void(TList*, int)> SortAt = [&](TList* List, int Depth) {
            if (!List)
                return;
            if (Level < 0 || Depth == Level)
                SortNodeList(List, Column, Descending);
            if (Level >= 0 && Depth >= Level)
                return;
            for (int I = 0; I < List->Count(); ++I)
                SortAt(static_cast<TdxTreeListNode*>(List->Items(I))->ChildList(), Depth + 1);
        };
        SortAt(FRootList, 0);
    } catch (...) {
        if (HourGlass)
            Screen->SetCursor(Saved);
        throw;
    }
    if (HourGlass)
        Screen->SetCursor(Saved);
}

// ---------------------------------------------------------------------------------------------
// Text of the grid

std::string TCustomdxTreeList::GetHeaderText() {
    std::string S;
    const int N = GetVisibleColumnCount();
    for (int I = 0; I < N; ++I) {
        if (I > 0)
            S += '\t';
        S += GetColumnCaption(GetVisibleColumn(I));
    }
    return S + "\r\n";
}

std::string TCustomdxTreeList::GetNodeText(TdxTreeListNode* Node) {
    if (IsWholeRowNode(Node))
        return Node->Strings(0);
    std::string S;
    const int N = GetVisibleColumnCount();
    for (int I = 0; I < N; ++I) {
        if (I > 0)
            S += '\t';
        S += Node->Strings(GetVisibleColumn(I));
    }
    return S;
}
