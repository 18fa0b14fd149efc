// The tree list engine: its fields, option sets, update brackets and life cycle.
#include "dxTL.h"

#include "Forms.h"

TCustomdxTreeList::TCustomdxTreeList(TComponent* AOwner) : TCustomdxContainer(AOwner) {
    FRootList = Create<TList>();
    FRowCacheLists = true;
    FBandFont = Create<TFont>();
    FHeaderFont = Create<TFont>();
    FPreviewFont = Create<TFont>();
    FPreviewFont->SetColor(clBlue);
    FSavedFont = Create<TFont>();
    for (TFont* F : {FBandFont, FHeaderFont, FPreviewFont})
        F->OnChange = TNotifyEvent::Bind<&TCustomdxTreeList::TreeFontChanged>(this);
    FImageChangeLink = Create<TChangeLink>();
    FImageChangeLink->OnChange = TNotifyEvent::Bind<&TCustomdxTreeList::ImageListChanged>(this);
    FStateChangeLink = Create<TChangeLink>();
    FStateChangeLink->OnChange = TNotifyEvent::Bind<&TCustomdxTreeList::ImageListChanged>(this);
    FOwnedObjects = Create<TList>();
    // Set last: these announce themselves through messages that reach the handlers above.
    TControlStyle S{csCaptureMouse, csOpaque, csDoubleClicks, csDisplayDragImage};
    SetControlStyle(S);
    SetBounds(Left(), Top(), 250, 150);
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
}

void TCustomdxTreeList::DefineClass(TClassBuilder<TCustomdxTreeList>& B) {
    B.template Message<&TCustomdxTreeList::WMVScroll>(WM_VSCROLL);
    B.template Message<&TCustomdxTreeList::WMHScroll>(WM_HSCROLL);
    B.template Message<&TCustomdxTreeList::WMGetDlgCode>(WM_GETDLGCODE);
    B.template Message<&TCustomdxTreeList::WMEraseBkgnd>(WM_ERASEBKGND);
    B.template Message<&TCustomdxTreeList::CMSysColorChange>(CM_SYSCOLORCHANGE);
    B.template Message<&TCustomdxTreeList::CMFontChanged>(CM_FONTCHANGED);
    B.template Message<&TCustomdxTreeList::WMSetCursor>(WM_SETCURSOR);
    B.template Message<&TCustomdxTreeList::WMNCHitTest>(WM_NCHITTEST);
    B.template Message<&TCustomdxTreeList::WMNCCalcSize>(WM_NCCALCSIZE);
    B.template Message<&TCustomdxTreeList::WMNCPaint>(WM_NCPAINT);
    B.template Message<&TCustomdxTreeList::WMSetFocus>(WM_SETFOCUS);
    B.template Message<&TCustomdxTreeList::WMKillFocus>(WM_KILLFOCUS);
    B.template Message<&TCustomdxTreeList::WMCancelMode>(WM_CANCELMODE);
    B.template Message<&TCustomdxTreeList::CMCancelMode>(CM_CANCELMODE);
    B.template Message<&TCustomdxTreeList::WMDestroy>(WM_DESTROY);
    B.template Message<&TCustomdxTreeList::WMTimer>(WM_TIMER);
    B.template Message<&TCustomdxTreeList::WMLButtonDown>(WM_LBUTTONDOWN);
    B.template Message<&TCustomdxTreeList::CMDrag>(CM_DRAG);
    B.template Message<&TCustomdxTreeList::WMIMEStartComposition>(WM_IME_STARTCOMPOSITION);
    B.template Message<&TCustomdxTreeList::CMColorChanged>(CM_COLORCHANGED);
    B.template Message<&TCustomdxTreeList::CMParentFontChanged>(CM_PARENTFONTCHANGED);
    B.template Message<&TCustomdxTreeList::CMDesignHitTest>(CM_DESIGNHITTEST);
    B.template Message<&TCustomdxTreeList::CMMouseEnter>(CM_MOUSEENTER);
    B.template Message<&TCustomdxTreeList::CMMouseLeave>(CM_MOUSELEAVE);
}

void TCustomdxTreeList::BeforeDestruction() {
    PrepareDestroy();
    // The nodes go while the descendant is whole: their deletion events still reach its answers.
    ClearRowCache();
    FRowCacheLists = false;
    ClearNodes();
    TCustomdxContainer::BeforeDestruction();
}

void TCustomdxTreeList::PrepareDestroy() {
    Destroying();
    if (HandleAllocated())
        DestroyHandle();
    SetParent(nullptr);
    ResetEditorInfo();
}

TCustomdxTreeList::~TCustomdxTreeList() {
    if (GetRootCount() > 0) {
        // Deleted without Free: no descendant is left to hear of the nodes.
        Destroying();
        FRowCacheLists = false;
        ClearNodes();
    }
    for (int I = 0; I < FOwnedObjects->Count(); ++I)
        static_cast<TObject*>(FOwnedObjects->Items(I))->Free();
    FOwnedObjects->Free();
    if (FImages)
        FImages->UnRegisterChanges(FImageChangeLink);
    if (FStateImages)
        FStateImages->UnRegisterChanges(FStateChangeLink);
    for (TObject* O : std::initializer_list<TObject*>{FPreviewFont, FRootList, FImageChangeLink, FStateChangeLink,
                                                      FHeaderFont, FBandFont, FSavedFont})
        O->Free();
}

// ---------------------------------------------------------------------------------------------
// Roots

TdxTreeListNode* TCustomdxTreeList::LinkRoot(int Index) {
    TdxTreeListNode* Node = CreateNode();
    if (Index < 0 || Index > FRootList->Count())
        Index = FRootList->Count();
    FRootList->Insert(Index, Node);
    LinkNode(Node);
    return Node;
}

void TCustomdxTreeList::LinkNode(TdxTreeListNode* Node) { NodeInserted(Node); }

TdxTreeListNode* TCustomdxTreeList::Add() { return LinkRoot(FRootList->Count()); }

TdxTreeListNode* TCustomdxTreeList::AddFirst() { return LinkRoot(0); }

TdxTreeListNode* TCustomdxTreeList::Insert(TdxTreeListNode* Before) {
    const int I = Before ? IndexOfRoot(Before) : -1;
    if (Before && I < 0)
        RaiseTreeListError("The node to insert before is not a root");
    return LinkRoot(I);
}

TdxTreeListNode* TCustomdxTreeList::GetRootNode(int Index) const {
    if (Index < 0 || Index >= FRootList->Count())
        return nullptr;
    return static_cast<TdxTreeListNode*>(FRootList->Items(Index));
}

TdxTreeListNode* TCustomdxTreeList::GetLastRowNode() const {
    TdxTreeListNode* N = GetRootNode(FRootList->Count() - 1);
    while (N && N->Expanded() && N->Count() > 0)
        N = N->GetLastChild();
    return N;
}

void TCustomdxTreeList::ClearNodes() {
    const bool Locked = !IsDestroying();
    if (Locked)
        BeginUpdate();
    FClearingAll = true;
    try {
        ClearRowCache();
        FClearingRows = true;
        try {
            ClearSelection();
            ClearNodeReferences();
            FHotInfo = HitInfo();
            // Every subtree goes through the fast path: no per-node cache or focus repair.
            for (int I = 0; I < FRootList->Count(); ++I)
                static_cast<TdxTreeListNode*>(FRootList->Items(I))->Free();
            FRootList->Clear();
            for (int I = 0; I < FOwnedObjects->Count(); ++I)
                static_cast<TObject*>(FOwnedObjects->Items(I))->Free();
            FOwnedObjects->Clear();
        } catch (...) {
            FClearingRows = false;
            throw;
        }
        FClearingRows = false;
    } catch (...) {
        FClearingAll = false;
        if (Locked)
            EndUpdate();
        throw;
    }
    FClearingAll = false;
    if (Locked)
        EndUpdate();
}

TdxTreeListNode* TCustomdxTreeList::GetNextVisibleNode(TdxTreeListNode* Node) {
    if (!Node)
        return nullptr;
    if (IsRowCacheUsable()) {
        const int K = FindNodeInCache(Node);
        if (K >= 0) {
            const int R = FRowNodeIndexes[K] + 1;
            return R < static_cast<int>(FRowNodes.size()) ? FRowNodes[R] : nullptr;
        }
    }
    if (Node->Expanded() && Node->Count() > 0)
        return Node->Items(0);
    for (TdxTreeListNode* N = Node; N; N = N->Parent())
        if (TdxTreeListNode* S = N->GetNextSibling())
            return S;
    return nullptr;
}

void TCustomdxTreeList::MakeNodeVisible(TdxTreeListNode* Node) {
    if (!Node)
        return;
    bool Expanded = false;
    if (!Node->IsVisible()) {
        BeginUpdate();
        try {
            for (TdxTreeListNode* P = Node->Parent(); P; P = P->Parent())
                if (!P->Expanded()) {
                    P->SetExpanded(true);
                    Expanded = true;
                }
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    const int T = GetRowIndex(FTopNode), R = GetRowIndex(Node), V = FVisibleRowCount;
    if (R < 0)
        return;
    if (T >= 0 && T <= R && R <= T + V - 1 && !Expanded)
        return;
    if (T < 0 || R < T)
        SetTopNode(GetNodeAtRow(R));
    else if (R > T + V - 1)
        SetTopNode(GetNodeAtRow(GetLastPageTopIndex(R)));
    CheckScrollPositions();
    Invalidate();
}

void TCustomdxTreeList::MakeColumnVisible(int Column) {
    if (Column < 0 || Column >= GetColumnCount())
        return;
    const int Band = GetColumnBandIndex(Column), Row = GetColumnRowIndex(Column);
    if (Band == GetLeftFixedBand() || Band == GetRightFixedBand())
        return;
    // The column's edges in scrolled terms, whether it is laid out now or scrolled away.
    int Left = GetBandLeft(Band);
    for (int P = 0, N = GetColumnCountInRow(Band, Row); P < N; ++P) {
        const int C = GetColumnAt(Band, Row, P);
        if (C == Column)
            break;
        Left += GetColumnDisplayWidth(C);
    }
    const int Right = Left + GetColumnDisplayWidth(Column);
    const int W = GetScrollableWidth(), C = FLeftCoord;
    if (C <= Left && Right <= C + W)
        return;
    SetLeftCoord(Left < C ? Left : std::min(Right - W, Left));
}

void TCustomdxTreeList::MakeBandVisible(int Band) {
    if (Band < 0 || Band >= GetVisibleBandCount() || GetVisibleBandCount() < 2)
        return;
    if (Band == GetLeftFixedBand() || Band == GetRightFixedBand())
        return;
    const int Left = GetBandLeft(Band), Right = Left + GetBandDisplayWidth(Band);
    const int W = GetScrollableWidth(), C = FLeftCoord;
    if (C <= Left && Right <= C + W)
        return;
    SetLeftCoord(Left < C ? Left : std::min(Right - W, Left));
}

// ---------------------------------------------------------------------------------------------
// Update brackets

void TCustomdxTreeList::BeginUpdate() {
    ++FLockCount;
    if (FState == tsNodeDown)
        FClickToEditPending = true;
    FEditorColumn = -1;
    FEditorNode = nullptr;
    SetState(tsIdle);
    EndEditing(false);
    ClearRowCache();
    BeginSelectionUpdate();
}

void TCustomdxTreeList::EndUpdate() {
    --FLockCount;
    LayoutChanged();
    EndSelectionUpdate();
}

void TCustomdxTreeList::BeginSelectionUpdate() {
    if (FSelectionLockCount == 0)
        FSavedSelectionCount = GetSelectedCount();
    ++FSelectionLockCount;
}

void TCustomdxTreeList::EndSelectionUpdate() {
    if (--FSelectionLockCount == 0 && GetSelectedCount() != FSavedSelectionCount)
        DoSelectionChanged();
}

// ---------------------------------------------------------------------------------------------
// Copying

bool TCustomdxTreeList::IsFirstNodeFocused() { return GetRootCount() == 0 || FFocusedNode == GetFirstRootNode(); }

bool TCustomdxTreeList::IsLastNodeFocused() { return GetRootCount() == 0 || FFocusedNode == GetLastRowNode(); }

void TCustomdxTreeList::CopyAllToStrings(TStrings* Strings) {
    Strings->Add(GetHeaderText());
    for (TdxTreeListNode* N = GetFirstRootNode(); N; N = GetNextVisibleNode(N))
        Strings->Add(GetNodeText(N));
}

void TCustomdxTreeList::CopySelectedToStrings(TStrings* Strings) {
    Strings->Add(GetHeaderText());
    if (IsMultiSelect()) {
        std::vector<TdxTreeListNode*> Nodes;
        for (int I = 0; I < GetSelectedCount(); ++I)
            if (TdxTreeListNode* N = GetSelectedNode(I))
                Nodes.push_back(N);
        std::stable_sort(Nodes.begin(), Nodes.end(),
                         [](TdxTreeListNode* A, TdxTreeListNode* B) { return CompareTreeOrder(A, B) < 0; });
        for (TdxTreeListNode* N : Nodes)
            Strings->Add(GetNodeText(N));
    } else if (FFocusedNode) {
        Strings->Add(GetNodeText(FFocusedNode));
    }
}

void TCustomdxTreeList::CopyToClipboard() {
    TOwned<TStringList> List(Create<TStringList>());
    CopySelectedToStrings(List.get());
    const std::string Text = List->Text();
    if (!OpenClipboard(HandleAllocated() ? Handle() : nullptr))
        return;
    EmptyClipboard();
    if (HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE, Text.size() + 1)) {
        memcpy(GlobalLock(Mem), Text.c_str(), Text.size() + 1);
        GlobalUnlock(Mem);
        if (!SetClipboardData(CF_TEXT, Mem))
            GlobalFree(Mem);
    }
    CloseClipboard();
}

bool TCustomdxTreeList::IsFocusWithin() {
    if (!HandleAllocated())
        return false;
    HWND F = GetFocus();
    return F && (F == Handle() || IsChild(Handle(), F));
}

bool TCustomdxTreeList::IsFocusedOrEditing() { return IsFocusWithin(); }

// ---------------------------------------------------------------------------------------------
// Window and component life

void TCustomdxTreeList::CreateParams(TCreateParams& Params) {
    TCustomdxContainer::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    if (FBorderStyle == 1 && FDrawStyle == 0) {
        if (Ctl3D()) {
            Params.Style &= ~WS_BORDER;
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        } else {
            Params.Style |= WS_BORDER;
        }
    } else if (FBorderStyle == 1) {
        Params.Style |= WS_BORDER;
    }
    if (FDrawStyle != 0 && FBorderStyle == 0)
        Params.Style &= ~WS_BORDER;
}

void TCustomdxTreeList::CreateWnd() {
    FWholeInvalid = false;
    TCustomdxContainer::CreateWnd();
    CalcMetrics();
    UpdateScrollBars();
}

void TCustomdxTreeList::Loaded() {
    TCustomdxContainer::Loaded();
    LayoutChanged();
}

void TCustomdxTreeList::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomdxContainer::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FStateImages)
        SetStateImages(nullptr);
    if (AComponent == FInplaceEditor)
        FInplaceEditor = nullptr;
}

void TCustomdxTreeList::DoExit() {
    TCustomdxContainer::DoExit();
    HideEditorOnExit();
}

void TCustomdxTreeList::Resize() {
    TCustomdxContainer::Resize();
    if (HandleAllocated() && !ComponentState().Contains(csLoading)) {
        ResetRowHeights();
        HideEditor();
        HideUnneededScrollBars();
        CalcVisibleRowCounts();
        UpdateScrollBars();
        CheckScrollPositions();
        Invalidate();
    }
}

void TCustomdxTreeList::ImageListChanged(TObject* Sender) {
    if (HandleAllocated() && (Sender == FImages || Sender == FStateImages))
        LayoutChanged();
}

void TCustomdxTreeList::TreeFontChanged(TObject*) {
    if (!FInternalFontChange && !ComponentState().Contains(csLoading))
        SetParentFont(false);
    LayoutChanged();
}

// ---------------------------------------------------------------------------------------------
// Property setters

void TCustomdxTreeList::SetLayoutFlag(bool& Field, bool Value) {
    if (Field == Value)
        return;
    Field = Value;
    LayoutChanged();
}

void TCustomdxTreeList::SetOptions(TdxTreeListOptions Value) {
    if (FOptions == Value)
        return;
    FOptions = Value;
    LayoutChanged();
}

void TCustomdxTreeList::SetOptionsEx(TdxTreeListOptionsEx Value) {
    if (FOptionsEx == Value)
        return;
    FOptionsEx = Value;
    LayoutChanged();
}

void TCustomdxTreeList::SetImages(TCustomImageList* Value) {
    BeginUpdate();
    try {
        if (FImages)
            FImages->UnRegisterChanges(FImageChangeLink);
        FImages = Value;
        if (FImages) {
            FImages->RegisterChanges(FImageChangeLink);
            FImages->FreeNotification(this);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomdxTreeList::SetStateImages(TCustomImageList* Value) {
    BeginUpdate();
    try {
        if (FStateImages)
            FStateImages->UnRegisterChanges(FStateChangeLink);
        FStateImages = Value;
        if (FStateImages) {
            FStateImages->RegisterChanges(FStateChangeLink);
            FStateImages->FreeNotification(this);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomdxTreeList::SetBandFont(TFont* Value) {
    FBandFont->Assign(Value);
    LayoutChanged();
}

void TCustomdxTreeList::SetHeaderFont(TFont* Value) {
    FHeaderFont->Assign(Value);
    LayoutChanged();
}

void TCustomdxTreeList::SetPreviewFont(TFont* Value) { FPreviewFont->Assign(Value); }

void TCustomdxTreeList::SetDrawStyle(int Value) {
    if (FDrawStyle == Value)
        return;
    FDrawStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
    LayoutChanged();
}

void TCustomdxTreeList::SetBorderStyle(int Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomdxTreeList::SetScrollBars(int Value) {
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    UpdateScrollBars();
}

void TCustomdxTreeList::SetRowHeight(int Height) {
    if (Height == FRowHeight)
        return;
    FRowHeight = Height;
    FCustomRowHeight = true;
    LayoutChanged();
}

void TCustomdxTreeList::SetGridLineWidth(int Value) {
    if (Value == FGridLineWidth)
        return;
    FGridLineWidth = Value;
    LayoutChanged();
}

void TCustomdxTreeList::SetPreviewLines(int Value) {
    if (Value == FPreviewLines)
        return;
    FPreviewLines = Value;
    LayoutChanged();
}

void TCustomdxTreeList::SetCellAutoHeightMaxLines(int Value) {
    if (Value == FCellAutoHeightMaxLines)
        return;
    FCellAutoHeightMaxLines = Value;
    LayoutChanged();
}

void TCustomdxTreeList::SetNewItemRowFocused(bool Value) {
    if (FNewItemRowFocused == Value)
        return;
    FNewItemRowFocused = Value;
    Invalidate();
}

// ---------------------------------------------------------------------------------------------

bool IsPointRect(const TRect& R) { return R.Left == R.Right && R.Top == R.Bottom; }

void RaiseTreeListError(const std::string& Message) { throw EInvaliddxTreeListOperation(Message); }
