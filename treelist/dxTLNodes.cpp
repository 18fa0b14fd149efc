// Tree list nodes: the tree structure of the rows. Everything that depends on the control's data
// (images, strings, focus, selection) is the owner's answer.
#include "dxTL.h"

TdxTreeListNode::TdxTreeListNode(TCustomdxTreeList* AOwner) {
    if (!AOwner)
        throw EInvaliddxTreeListOperation("Invalid Owner TdxTreeListNode");
    FOwner = AOwner;
}

TdxTreeListNode::~TdxTreeListNode() {
    Deleting = true;
    DeleteChildren();
    TCustomdxTreeList* O = FOwner;
    const bool Clearing = O->FClearingAll;
    TdxTreeListNode* Prior = nullptr;
    TdxTreeListNode* NextRow = nullptr;
    bool WasLast = false, WasVisible = false;
    if (!Clearing) {
        Prior = GetPriorNode();
        NextRow = O->GetNextVisibleNode(this);
        WasLast = IsLast();
        const bool Visible = IsVisible();
        // A child of a node being deleted is gone from the rows with its parent already.
        WasVisible = Visible && !(FParent && FParent->Deleting);
        O->FCacheNeedsUpdate = Visible;
    } else {
        O->FCacheNeedsUpdate = false;
    }
    if (FParent) {
        FParent->FChildList->Remove(this);
        if (FParent->FChildList->Count() == 0) {
            FParent->FChildList->Free();
            FParent->FChildList = nullptr;
            FParent->SetHasChildren(O->NodeHasChildren(FParent));
            FParent->FExpanded = false;
        }
    } else if (!Clearing) {
        O->FRootList->Remove(this);
    }
    if (FChildList) {
        FChildList->Free();
        FChildList = nullptr;
    }
    O->NodeDeleted(this, Prior, WasVisible, WasLast, NextRow);
}

void TdxTreeListNode::DeleteChildren() {
    if (!FChildList)
        return;
    if (!FOwner || FOwner->FClearingAll) {
        TList* List = FChildList;
        FChildList = nullptr;
        try {
            for (int I = 0; I < List->Count(); ++I) {
                auto* Child = static_cast<TdxTreeListNode*>(List->Items(I));
                // The child must not look for itself in a list that is being dropped whole.
                Child->FParent = nullptr;
                Child->Free();
            }
        } catch (...) {
            List->Free();
            throw;
        }
        List->Free();
        return;
    }
    while (FChildList && FChildList->Count() > 0)
        static_cast<TdxTreeListNode*>(FChildList->Items(0))->Free();
}

TdxTreeListNode* TdxTreeListNode::LinkChild(int Index) {
    TdxTreeListNode* Node = FOwner->CreateNode();
    Node->FParent = this;
    if (!FChildList)
        FChildList = Create<TList>();
    if (Index < 0 || Index > FChildList->Count())
        Index = FChildList->Count();
    FChildList->Insert(Index, Node);
    if (!FHasChildren)
        SetHasChildren(true);
    FOwner->LinkNode(Node);
    return Node;
}

TdxTreeListNode* TdxTreeListNode::AddChild() { return LinkChild(Count()); }

TdxTreeListNode* TdxTreeListNode::AddChildFirst() { return LinkChild(0); }

TdxTreeListNode* TdxTreeListNode::InsertChild(TdxTreeListNode* Before) {
    const int I = Before ? IndexOf(Before) : -1;
    if (Before && I < 0)
        RaiseTreeListError("The node to insert before is not a child of this node");
    return LinkChild(I < 0 ? Count() : I);
}

TdxTreeListNode* TdxTreeListNode::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        return nullptr;
    return static_cast<TdxTreeListNode*>(FChildList->Items(Index));
}

int TdxTreeListNode::IndexOf(TdxTreeListNode* Child) const { return FChildList ? FChildList->IndexOf(Child) : -1; }

int TdxTreeListNode::Index() const {
    // Walking the rows asks every node for its place among its siblings: a search each time made a
    // walk quadratic.
    const TList* L = FParent ? FParent->FChildList : FOwner->FRootList;
    return L ? HintedIndexOf(*L, this, &TdxTreeListNode::FIndexHint) : -1;
}

int TdxTreeListNode::Level() const {
    int L = 0;
    for (TdxTreeListNode* P = FParent; P; P = P->FParent)
        ++L;
    return L;
}

bool TdxTreeListNode::HasAsParent(TdxTreeListNode* Node) const {
    for (TdxTreeListNode* P = FParent; P; P = P->FParent)
        if (P == Node)
            return true;
    return false;
}

bool TdxTreeListNode::IsLast() const {
    const int I = Index();
    return FParent ? I == FParent->Count() - 1 : I == FOwner->GetRootCount() - 1;
}

bool TdxTreeListNode::IsVisible() const {
    for (TdxTreeListNode* P = FParent; P; P = P->FParent)
        if (!P->FExpanded)
            return false;
    return true;
}

TdxTreeListNode* TdxTreeListNode::GetNextSibling() const {
    const int I = Index() + 1;
    return FParent ? FParent->Items(I) : FOwner->GetRootNode(I);
}

TdxTreeListNode* TdxTreeListNode::GetPrevSibling() const {
    const int I = Index();
    if (I <= 0)
        return nullptr;
    return FParent ? FParent->Items(I - 1) : FOwner->GetRootNode(I - 1);
}

TdxTreeListNode* TdxTreeListNode::GetPriorNode() const {
    if (TdxTreeListNode* Prev = GetPrevSibling())
        return Prev;
    return FParent;
}

TdxTreeListNode* TdxTreeListNode::GetNext() const {
    if (Count() > 0)
        return Items(0);
    for (const TdxTreeListNode* N = this; N; N = N->FParent)
        if (TdxTreeListNode* S = N->GetNextSibling())
            return S;
    return nullptr;
}

TdxTreeListNode* TdxTreeListNode::GetPrev() const {
    TdxTreeListNode* N = GetPrevSibling();
    if (!N)
        return FParent;
    while (N->Count() > 0)
        N = N->GetLastChild();
    return N;
}

TdxTreeListNode* TdxTreeListNode::GetNextVisible() { return FOwner->GetNextVisibleNode(this); }

TdxTreeListNode* TdxTreeListNode::GetPrevVisible() {
    if (FOwner->IsRowCacheUsable()) {
        const int R = FOwner->GetRowIndex(this);
        return R > 0 ? FOwner->GetNodeAtRow(R - 1) : nullptr;
    }
    TdxTreeListNode* N = GetPrevSibling();
    if (!N)
        return FParent;
    while (N->FExpanded && N->Count() > 0)
        N = N->GetLastChild();
    return N;
}

int TdxTreeListNode::GetAbsoluteIndex() { return FOwner->GetRowIndex(this); }

bool TdxTreeListNode::Focused() { return FOwner->FocusedNode() == this; }

// Unfocusing asks for a null focus, which the control refuses: a list with nodes always has a
// focused node, which the keys, the editor and the selection-follows-focus rule start from.
void TdxTreeListNode::SetFocused(bool Value) {
    if (Value != Focused())
        FOwner->SetFocusedNode(Value ? this : nullptr, FOwner->GetFocusedColumn(), true);
}

bool TdxTreeListNode::Selected() { return FOwner->IsMultiSelect() ? FOwner->IsNodeSelected(this) : Focused(); }

void TdxTreeListNode::SetSelected(bool Value) { FOwner->SetNodeSelected(this, Value); }

int TdxTreeListNode::ImageIndex() { return FOwner->GetNodeImageIndex(this); }
void TdxTreeListNode::SetImageIndex(int Value) { FOwner->SetNodeImageIndex(this, Value); }
int TdxTreeListNode::SelectedIndex() { return FOwner->GetNodeSelectedIndex(this); }
void TdxTreeListNode::SetSelectedIndex(int Value) { FOwner->SetNodeSelectedIndex(this, Value); }
int TdxTreeListNode::StateIndex() { return FOwner->GetNodeStateIndex(this); }
void TdxTreeListNode::SetStateIndex(int Value) { FOwner->SetNodeStateIndex(this, Value); }

std::string TdxTreeListNode::Strings(int Column) {
    std::string S;
    FOwner->GetNodeString(this, Column, S);
    return S;
}

void TdxTreeListNode::SetStrings(int Column, const std::string& Value) {
    FOwner->SetNodeString(this, Column, Value);
    FOwner->NodeValueChanged(this, Column);
}

Variant TdxTreeListNode::Values(int Column) {
    Variant V;
    FOwner->GetNodeValue(this, Column, V);
    return V;
}

void TdxTreeListNode::SetValues(int Column, const Variant& Value) {
    FOwner->SetNodeValue(this, Column, Value);
    FOwner->NodeValueChanged(this, Column);
}

void TdxTreeListNode::MakeVisible() { FOwner->MakeNodeVisible(this); }

void TdxTreeListNode::SetExpanded(bool Value) {
    if (!FHasChildren || FExpanded == Value)
        return;
    bool Allow = true;
    if (Value)
        FOwner->DoExpanding(this, Allow);
    else
        FOwner->DoCollapsing(this, Allow);
    if (!Allow)
        return;
    if (!Value) {
        if (FOwner->TopNode() && FOwner->TopNode()->HasAsParent(this))
            FOwner->SetTopNode(this);
        if (FOwner->FocusedNode() && FOwner->FocusedNode()->HasAsParent(this) && !FOwner->CanCollapseFocused(this))
            return;
    }
    FExpanded = Value;
    if (FOwner->LockCount() == 0 && !FOwner->IsDestroying())
        FOwner->BuildRowCache();
    FOwner->InvalidateNode(this, true);
    if (Value)
        FOwner->DoExpanded(this);
    else
        FOwner->DoCollapsed(this);
}

void TdxTreeListNode::Expand(bool Recurse) {
    if (!FHasChildren)
        return;
    const bool Lock = FOwner->LockCount() == 0;
    if (Lock)
        FOwner->BeginUpdate();
    try {
        SetExpanded(true);
        if (Recurse) {
            const int N = Count();
            for (int I = 0; I < N; ++I)
                if (TdxTreeListNode* Child = Items(I))
                    Child->Expand(true);
        }
    } catch (...) {
        if (Lock)
            FOwner->EndUpdate();
        throw;
    }
    if (Lock)
        FOwner->EndUpdate();
}

void TdxTreeListNode::SetHasChildren(bool Value) {
    if (FHasChildren == Value)
        return;
    FHasChildren = Value || Count() > 0;
    FOwner->InvalidateNode(this, false);
}
