#include "ComCtrlsTree.h"

#include <algorithm>

namespace {
// The window's children in the order the nodes already have.
int CALLBACK CompareByIndex(LPARAM A, LPARAM B, LPARAM) {
    return reinterpret_cast<TTreeNode*>(A)->Index() - reinterpret_cast<TTreeNode*>(B)->Index();
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TTreeNode

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const { return FOwner->Owner(); }

void TTreeNode::SetText(const std::string& Value) {
    if (Value == FText)
        return;
    FText = Value;
    TreeView()->UpdateWindowItem(this);
}

void TTreeNode::SetImageIndex(int Value) {
    if (Value != FImageIndex) {
        FImageIndex = Value;
        TreeView()->UpdateWindowItem(this);
    }
}

void TTreeNode::SetSelectedIndex(int Value) {
    if (Value != FSelectedIndex) {
        FSelectedIndex = Value;
        TreeView()->UpdateWindowItem(this);
    }
}

void TTreeNode::SetHasChildren(bool Value) {
    if (Value != FHasChildren) {
        FHasChildren = Value;
        TreeView()->UpdateWindowItem(this);
    }
}

void TTreeNode::SetExpanded(bool Value) {
    if (Value)
        Expand(false);
    else
        Collapse(false);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool Value) {
    if (Value)
        TreeView()->SetSelected(this);
    else if (Selected())
        TreeView()->SetSelected(nullptr);
}

int TTreeNode::Level() const {
    int L = 0;
    for (TTreeNode* P = FParent; P; P = P->FParent)
        ++L;
    return L;
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

int TTreeNode::Index() const {
    const auto& S = FOwner->SiblingsOf(FParent);
    return static_cast<int>(std::find(S.begin(), S.end(), this) - S.begin());
}

int TTreeNode::AbsoluteIndex() const {
    int N = 0;
    for (TTreeNode* P = FOwner->GetFirstNode(); P && P != this; P = P->GetNext())
        ++N;
    return N;
}

TTreeNode* TTreeNode::GetNextSibling() const {
    const auto& S = FOwner->SiblingsOf(FParent);
    std::size_t I = static_cast<std::size_t>(Index());
    return I + 1 < S.size() ? S[I + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    const auto& S = FOwner->SiblingsOf(FParent);
    int I = Index();
    return I > 0 ? S[static_cast<std::size_t>(I - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FItems.empty())
        return FItems.front();
    for (const TTreeNode* N = this; N; N = N->FParent)
        if (TTreeNode* S = N->GetNextSibling())
            return S;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* P = GetPrevSibling();
    if (!P)
        return FParent;
    while (!P->FItems.empty())
        P = P->FItems.back();
    return P;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
    for (TTreeNode* P = FParent; P; P = P->FParent)
        if (P == Value)
            return true;
    return false;
}

void TTreeNode::Expand(bool Recurse) {
    TCustomTreeView* V = TreeView();
    if (!FExpanded && HasChildren() && V->CanExpand(this)) {
        FExpanded = true;
        if (V->HandleAllocated() && FItemId) {
            V->FManualNotify = true;
            SendMessageA(V->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(FItemId));
            V->FManualNotify = false;
        }
        V->Expand(this);
    }
    if (Recurse)
        for (TTreeNode* C : FItems)
            C->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
    TCustomTreeView* V = TreeView();
    if (FExpanded && V->CanCollapse(this)) {
        FExpanded = false;
        if (V->HandleAllocated() && FItemId) {
            V->FManualNotify = true;
            SendMessageA(V->Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItemId));
            V->FManualNotify = false;
        }
        V->Collapse(this);
    }
    if (Recurse)
        for (TTreeNode* C : FItems)
            C->Collapse(true);
}

void TTreeNode::MakeVisible() {
    for (TTreeNode* P = FParent; P; P = P->FParent)
        if (!P->FExpanded)
            P->Expand(false);
    TCustomTreeView* V = TreeView();
    if (V->HandleAllocated() && FItemId)
        SendMessageA(V->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(FItemId));
}

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren() {
    while (!FItems.empty())
        FOwner->Delete(FItems.back());
}

bool TTreeNode::CustomSort(const std::function<int(TTreeNode*, TTreeNode*)>& Compare, bool Recurse) {
    std::function<int(TTreeNode*, TTreeNode*)> Cmp = Compare;
    if (!Cmp) {
        TCustomTreeView* V = TreeView();
        Cmp = [V](TTreeNode* A, TTreeNode* B) {
            int R = 0;
            if (V->OnCompare)
                V->OnCompare(V, A, B, 0, R);
            else
                R = AnsiCompareText(A->Text(), B->Text());
            return R;
        };
    }
    // A stable merge sort stays in bounds whatever the comparison answers.
    std::stable_sort(FItems.begin(), FItems.end(), [&](TTreeNode* A, TTreeNode* B) { return Cmp(A, B) < 0; });
    TCustomTreeView* V = TreeView();
    if (V->HandleAllocated() && FItemId) {
        TVSORTCB Sort{};
        Sort.hParent = FItemId;
        Sort.lpfnCompare = &CompareByIndex;
        SendMessageA(V->Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&Sort));
    }
    if (Recurse)
        for (TTreeNode* C : FItems)
            C->CustomSort(Compare, true);
    return true;
}

bool TTreeNode::AlphaSort(bool Recurse) { return CustomSort(nullptr, Recurse); }

// ---------------------------------------------------------------------------------------------
// TTreeNodes

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner) {}

TTreeNodes::~TTreeNodes() {
    std::function<void(TTreeNode*)> Free = [&](TTreeNode* N) {
        for (TTreeNode* C : N->FItems)
            Free(C);
        delete N;
    };
    for (TTreeNode* N : FRoots)
        Free(N);
    FRoots.clear();
}

TPersistent* TTreeNodes::GetOwner() { return FOwner; }

int TTreeNodes::Count() const {
    int N = 0;
    for (TTreeNode* P = GetFirstNode(); P; P = P->GetNext())
        ++N;
    return N;
}

TTreeNode* TTreeNodes::Item(int Index) const {
    if (Index >= 0) {
        int N = 0;
        for (TTreeNode* P = GetFirstNode(); P; P = P->GetNext(), ++N)
            if (N == Index)
                return P;
    }
    RaiseListIndexError(Index);
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM ItemId) const {
    if (!ItemId)
        return nullptr;
    for (TTreeNode* P = GetFirstNode(); P; P = P->GetNext())
        if (P->FItemId == ItemId)
            return P;
    return nullptr;
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* Parent, int Index, const std::string& S, void* Ptr) {
    auto* Node = new TTreeNode(this);
    Node->FText = S;
    Node->FData = Ptr;
    Node->FParent = Parent;
    auto& Sib = SiblingsOf(Parent);
    Index = std::clamp(Index, 0, static_cast<int>(Sib.size()));
    Sib.insert(Sib.begin() + Index, Node);
    FOwner->InsertWindowItem(Node);
    if (Parent)
        FOwner->UpdateWindowItem(Parent);
    return Node;
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
    return InsertAt(Parent, static_cast<int>(SiblingsOf(Parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr) {
    return InsertAt(Parent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    return AddChildObject(Sibling ? Sibling->FParent : nullptr, S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    return AddChildObjectFirst(Sibling ? Sibling->FParent : nullptr, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    if (!Sibling)
        return AddChildObject(nullptr, S, Ptr);
    return InsertAt(Sibling->FParent, Sibling->Index(), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node || Node->FOwner != this || Node->FDeleting)
        return;
    Node->FDeleting = true;
    // Children first, the last first, so that each deletion event sees an intact parent.
    while (!Node->FItems.empty())
        Delete(Node->FItems.back());
    TCustomTreeView* V = FOwner;
    V->Delete(Node);
    if (V->FSelected == Node)
        V->FSelected = nullptr;
    if (V->HandleAllocated() && Node->FItemId) {
        V->FManualNotify = true;
        SendMessageA(V->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->FItemId));
        V->FManualNotify = false;
    }
    auto& Sib = SiblingsOf(Node->FParent);
    Sib.erase(std::remove(Sib.begin(), Sib.end(), Node), Sib.end());
    TTreeNode* Parent = Node->FParent;
    delete Node;
    if (Parent)
        V->UpdateWindowItem(Parent);
}

void TTreeNodes::Clear() {
    BeginUpdate();
    while (!FRoots.empty())
        Delete(FRoots.back());
    EndUpdate();
}

void TTreeNodes::BeginUpdate() { BeginWindowUpdate(FOwner, FUpdateCount); }

void TTreeNodes::EndUpdate() { EndWindowUpdate(FOwner, FUpdateCount); }

void TTreeNodes::Assign(TPersistent* Source) {
    auto* Src = DynCast<TTreeNodes>(Source);
    if (!Src) {
        TPersistent::Assign(Source);
        return;
    }
    if (Src == this)
        return;
    BeginUpdate();
    Clear();
    std::function<void(TTreeNode*, TTreeNode*)> Copy = [&](TTreeNode* From, TTreeNode* ToParent) {
        TTreeNode* N = AddChildObject(ToParent, From->FText, From->FData);
        N->FImageIndex = From->FImageIndex;
        N->FSelectedIndex = From->FSelectedIndex;
        N->FHasChildren = From->FHasChildren;
        for (TTreeNode* C : From->FItems)
            Copy(C, N);
    };
    for (TTreeNode* R : Src->FRoots)
        Copy(R, nullptr);
    EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
    FWidth = 121;
    FHeight = 97;
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
    FTreeNodes = Create<TTreeNodes>(this);
    FImageChangeLink = Create<TChangeLink>();
    FImageChangeLink->OnChange = TNotifyEvent::Bind<&TCustomTreeView::ImageListChange>(this);
}

TCustomTreeView::~TCustomTreeView() {
    FreeAndNil(FTreeNodes);
    FreeAndNil(FImageChangeLink);
}

void TCustomTreeView::BeforeDestruction() {
    // The nodes go before the window, without deletion events to a form that is going too.
    OnDeletion = nullptr;
    TWinControl::BeforeDestruction();
}

void TCustomTreeView::DefineClass(TClassBuilder<TCustomTreeView>& B) {
    B.Property("AutoExpand", &TCustomTreeView::AutoExpand, &TCustomTreeView::SetAutoExpand).Default(false);
    B.Property("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection).Default(true);
    B.Property("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
    B.Property("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly).Default(false);
    B.Property("RightClickSelect", &TCustomTreeView::RightClickSelect, &TCustomTreeView::SetRightClickSelect)
        .Default(false);
    B.Property("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons).Default(true);
    B.Property("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines).Default(true);
    B.Property("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot).Default(true);
    B.Property("OnChange", [](TCustomTreeView* V) { return V->OnChange; },
               [](TCustomTreeView* V, const TTVChangedEvent& E) { V->OnChange = E; });
    B.Property("OnChanging", [](TCustomTreeView* V) { return V->OnChanging; },
               [](TCustomTreeView* V, const TTVChangingEvent& E) { V->OnChanging = E; });
    B.Property("OnCollapsed", [](TCustomTreeView* V) { return V->OnCollapsed; },
               [](TCustomTreeView* V, const TTVChangedEvent& E) { V->OnCollapsed = E; });
    B.Property("OnCollapsing", [](TCustomTreeView* V) { return V->OnCollapsing; },
               [](TCustomTreeView* V, const TTVChangingEvent& E) { V->OnCollapsing = E; });
    B.Property("OnCompare", [](TCustomTreeView* V) { return V->OnCompare; },
               [](TCustomTreeView* V, const TTVCompareEvent& E) { V->OnCompare = E; });
    B.Property("OnDeletion", [](TCustomTreeView* V) { return V->OnDeletion; },
               [](TCustomTreeView* V, const TTVChangedEvent& E) { V->OnDeletion = E; });
    B.Property("OnExpanded", [](TCustomTreeView* V) { return V->OnExpanded; },
               [](TCustomTreeView* V, const TTVChangedEvent& E) { V->OnExpanded = E; });
    B.Property("OnExpanding", [](TCustomTreeView* V) { return V->OnExpanding; },
               [](TCustomTreeView* V, const TTVChangingEvent& E) { V->OnExpanding = E; });
    B.Property("OnEdited", [](TCustomTreeView* V) { return V->OnEdited; },
               [](TCustomTreeView* V, const TTVEditedEvent& E) { V->OnEdited = E; });
    B.Property("OnGetImageIndex", [](TCustomTreeView* V) { return V->OnGetImageIndex; },
               [](TCustomTreeView* V, const TTVChangedEvent& E) { V->OnGetImageIndex = E; });
    B.Property("OnGetSelectedIndex", [](TCustomTreeView* V) { return V->OnGetSelectedIndex; },
               [](TCustomTreeView* V, const TTVChangedEvent& E) { V->OnGetSelectedIndex = E; });
    B.Message<&TCustomTreeView::CNNotify>(CN_NOTIFY);
    B.Message<&TCustomTreeView::WMRButtonDown>(WM_RBUTTONDOWN);
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TREEVIEWA);
    Params.Style |= (FShowLines ? TVS_HASLINES : 0) | (FShowRoot ? TVS_LINESATROOT : 0) |
                    (FShowButtons ? TVS_HASBUTTONS : 0) | (FReadOnly ? 0 : TVS_EDITLABELS) |
                    (FHideSelection ? 0 : TVS_SHOWSELALWAYS) | (FAutoExpand ? TVS_SINGLEEXPAND : 0);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateComponentWindows() {
    TWinControl::CreateComponentWindows();
    SendMessageA(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
    // The window is new (or made again): it shows every node, expanded and selected as before.
    FFilling = true;
    for (TTreeNode* N : FTreeNodes->FRoots)
        InsertWindowTree(N);
    FFilling = false;
    if (FSelected && FSelected->FItemId) {
        FManualNotify = true;
        SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FSelected->FItemId));
        FManualNotify = false;
    }
}

void TCustomTreeView::DestroyWnd() {
    // The selection outlives the window; the items' handles do not.
    FSelected = Selected();
    FManualNotify = true;
    TWinControl::DestroyWnd();
    FManualNotify = false;
    for (TTreeNode* P = FTreeNodes->GetFirstNode(); P; P = P->GetNext())
        P->FItemId = nullptr;
}

void TCustomTreeView::InsertWindowTree(TTreeNode* Node) {
    InsertWindowItem(Node);
    for (TTreeNode* C : Node->FItems)
        InsertWindowTree(C);
    if (Node->FExpanded && Node->FItemId) {
        FManualNotify = true;
        SendMessageA(FHandle, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Node->FItemId));
        FManualNotify = false;
    }
}

void TCustomTreeView::InsertWindowItem(TTreeNode* Node) {
    if (!HandleAllocated() || (Node->FParent && !Node->FParent->FItemId))
        return;
    TVINSERTSTRUCTA Ins{};
    Ins.hParent = Node->FParent ? Node->FParent->FItemId : TVI_ROOT;
    TTreeNode* Prev = Node->GetPrevSibling();
    Ins.hInsertAfter = Prev && Prev->FItemId ? Prev->FItemId : TVI_FIRST;
    Ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    Ins.item.pszText = Node->FText.data();
    Ins.item.lParam = reinterpret_cast<LPARAM>(Node);
    Ins.item.cChildren = I_CHILDRENCALLBACK;
    // The window asks for the images when it shows them (TVN_GETDISPINFO).
    Ins.item.iImage = I_IMAGECALLBACK;
    Ins.item.iSelectedImage = I_IMAGECALLBACK;
    Node->FItemId = reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Ins)));
}

void TCustomTreeView::UpdateWindowItem(TTreeNode* Node) {
    if (!HandleAllocated() || !Node->FItemId)
        return;
    TVITEMA Item{};
    Item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    Item.hItem = Node->FItemId;
    Item.pszText = Node->FText.data();
    Item.cChildren = I_CHILDRENCALLBACK;
    Item.iImage = I_IMAGECALLBACK;
    Item.iSelectedImage = I_IMAGECALLBACK;
    SendMessageA(FHandle, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
}

TTreeNode* TCustomTreeView::Selected() const {
    if (!HandleAllocated())
        return FSelected;
    auto Item = reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0));
    return FTreeNodes->GetNode(Item);
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
    if (Value && Value->FOwner != FTreeNodes)
        return;
    FSelected = Value;
    if (HandleAllocated()) {
        // Selecting in code runs OnChanging and OnChange through the window's notifications.
        SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Value ? Value->FItemId : nullptr));
    }
}

TTreeNode* TCustomTreeView::TopItem() const {
    if (!HandleAllocated())
        return FTreeNodes->GetFirstNode();
    return FTreeNodes->GetNode(reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
    if (HandleAllocated() && Value && Value->FItemId)
        SendMessageA(FHandle, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(Value->FItemId));
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
    if (!HandleAllocated())
        return nullptr;
    TVHITTESTINFO Hit{};
    Hit.pt = POINT{X, Y};
    auto Item = reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)));
    return (Hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT)) ? FTreeNodes->GetNode(Item) : nullptr;
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
    if (!SetImageListOf(this, FImages, Value, FImageChangeLink))
        return;
    ImageListChange(this);
}

void TCustomTreeView::ImageListChange(TObject*) {
    if (HandleAllocated())
        SendMessageA(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL,
                     reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}



void TCustomTreeView::SetShowRoot(bool Value) { SetStyleFlag(this, FShowRoot, Value); }
void TCustomTreeView::SetShowButtons(bool Value) { SetStyleFlag(this, FShowButtons, Value); }
void TCustomTreeView::SetShowLines(bool Value) { SetStyleFlag(this, FShowLines, Value); }
void TCustomTreeView::SetReadOnly(bool Value) { SetStyleFlag(this, FReadOnly, Value); }
void TCustomTreeView::SetHideSelection(bool Value) { SetStyleFlag(this, FHideSelection, Value); }
void TCustomTreeView::SetAutoExpand(bool Value) { SetStyleFlag(this, FAutoExpand, Value); }

bool TCustomTreeView::CustomSort(const std::function<int(TTreeNode*, TTreeNode*)>& Compare, bool Recurse) {
    std::function<int(TTreeNode*, TTreeNode*)> Cmp = Compare;
    if (!Cmp)
        Cmp = [this](TTreeNode* A, TTreeNode* B) {
            int R = 0;
            if (OnCompare)
                OnCompare(this, A, B, 0, R);
            else
                R = AnsiCompareText(A->Text(), B->Text());
            return R;
        };
    auto& Roots = FTreeNodes->FRoots;
    std::stable_sort(Roots.begin(), Roots.end(), [&](TTreeNode* A, TTreeNode* B) { return Cmp(A, B) < 0; });
    if (HandleAllocated()) {
        TVSORTCB Sort{};
        Sort.hParent = TVI_ROOT;
        Sort.lpfnCompare = &CompareByIndex;
        SendMessageA(FHandle, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&Sort));
    }
    if (Recurse)
        for (TTreeNode* N : Roots)
            N->CustomSort(Cmp, true);
    return true;
}

bool TCustomTreeView::AlphaSort(bool Recurse) { return CustomSort(nullptr, Recurse); }

void TCustomTreeView::FullExpand() {
    for (TTreeNode* N : FTreeNodes->FRoots)
        N->Expand(true);
}

void TCustomTreeView::FullCollapse() {
    for (TTreeNode* N : FTreeNodes->FRoots)
        N->Collapse(true);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
    bool Allow = true;
    OnExpanding(this, Node, Allow);
    return Allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
    bool Allow = true;
    OnCollapsing(this, Node, Allow);
    return Allow;
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
    bool Allow = true;
    OnChanging(this, Node, Allow);
    return Allow;
}

void TCustomTreeView::Change(TTreeNode* Node) { OnChange(this, Node); }
void TCustomTreeView::Expand(TTreeNode* Node) { OnExpanded(this, Node); }

void TCustomTreeView::Edit(TTreeNode* Node, const std::string& Text) {
    std::string S = Text;
    if (OnEdited)
        OnEdited(this, Node, S);
    Node->SetText(S);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node) {
    if (OnGetImageIndex)
        OnGetImageIndex(this, Node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) {
    if (OnGetSelectedIndex)
        OnGetSelectedIndex(this, Node);
}
void TCustomTreeView::Collapse(TTreeNode* Node) { OnCollapsed(this, Node); }
void TCustomTreeView::Delete(TTreeNode* Node) { OnDeletion(this, Node); }

void TCustomTreeView::CNNotify(TMessage& Message) {
    auto* H = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    switch (H->code) {
    case TVN_GETDISPINFOA:
    case TVN_GETDISPINFOW: {
        // Both layouts start alike up to the item's children count.
        auto* D = reinterpret_cast<NMTVDISPINFOA*>(Message.LParam);
        auto* Node = reinterpret_cast<TTreeNode*>(D->item.lParam);
        if (!Node)
            return;
        if (D->item.mask & TVIF_CHILDREN)
            D->item.cChildren = Node->HasChildren() ? 1 : 0;
        if (D->item.mask & TVIF_IMAGE) {
            GetImageIndex(Node);
            D->item.iImage = Node->FImageIndex;
        }
        if (D->item.mask & TVIF_SELECTEDIMAGE) {
            GetSelectedIndex(Node);
            D->item.iSelectedImage = Node->FSelectedIndex;
        }
        return;
    }
    case TVN_ENDLABELEDITA:
    case TVN_ENDLABELEDITW: {
        // The node takes the text itself (Edit), so the window is told to keep its own.
        // The window repeats the end while its edit control still lives (when the rename rebuilds the
        // node, or the dying edit loses the focus): one edit control's end is handled once.
        auto* D = reinterpret_cast<NMTVDISPINFOA*>(Message.LParam);
        HWND EditWnd = reinterpret_cast<HWND>(SendMessageA(Handle(), TVM_GETEDITCONTROL, 0, 0));
        if (!D->item.pszText || (EditWnd && EditWnd == FEditEnded))
            return;
        std::string Text = H->code == TVN_ENDLABELEDITA
                               ? std::string(D->item.pszText)
                               : WideToAnsi(reinterpret_cast<NMTVDISPINFOW*>(Message.LParam)->item.pszText);
        TTreeNode* Node = reinterpret_cast<TTreeNode*>(D->item.lParam);
        if (!Node)
            Node = FTreeNodes->GetNode(D->item.hItem);
        if (Node) {
            FEditEnded = EditWnd;
            Edit(Node, Text);
        }
        return;
    }
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW: {
        if (FFilling || FComponentState.Contains(csDestroying))
            return;
        auto* N = reinterpret_cast<NMTREEVIEWA*>(Message.LParam);
        Message.Result = CanChange(reinterpret_cast<TTreeNode*>(N->itemNew.lParam)) ? 0 : 1;
        return;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        if (FFilling || FComponentState.Contains(csDestroying))
            return;
        auto* N = reinterpret_cast<NMTREEVIEWA*>(Message.LParam);
        FSelected = reinterpret_cast<TTreeNode*>(N->itemNew.lParam);
        Change(FSelected);
        return;
    }
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        if (FManualNotify)
            return;
        auto* N = reinterpret_cast<NMTREEVIEWA*>(Message.LParam);
        auto* Node = reinterpret_cast<TTreeNode*>(N->itemNew.lParam);
        if (!Node)
            return;
        bool Allow = (N->action & TVE_EXPAND) ? CanExpand(Node) : CanCollapse(Node);
        Message.Result = Allow ? 0 : 1;
        return;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
        if (FManualNotify)
            return;
        auto* N = reinterpret_cast<NMTREEVIEWA*>(Message.LParam);
        auto* Node = reinterpret_cast<TTreeNode*>(N->itemNew.lParam);
        if (!Node)
            return;
        Node->FExpanded = (N->itemNew.state & TVIS_EXPANDED) != 0;
        if (Node->FExpanded)
            Expand(Node);
        else
            Collapse(Node);
        return;
    }
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW:
        // The nodes, not the window, decide what is deleted (see TTreeNodes::Delete).
        return;
    default: break;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TCustomTreeView::WMRButtonDown(TMessage& Message) {
    if (FRightClickSelect) {
        auto& M = AsMsg<TWMMouse>(Message);
        if (TTreeNode* Node = GetNodeAt(M.XPos(), M.YPos()))
            SetSelected(Node);
    }
    InheritedDispatch(StaticClass(), Message);
}
