// In-place editing of the focused cell and the incremental search of the tree list: when an
// editor opens and closes, what it is loaded with, what closing applies, and the search that
// focuses the next node whose text starts with what was typed.
#include "dxTL.h"

#include "dxEditor.h"

namespace {
constexpr UINT_PTR EditorTimer = 2;
}  // namespace

// One delayed-edit timer for all tree lists: a click arms it on the clicked control only.
int EditorTimerId = -1;

// ---------------------------------------------------------------------------------------------
// Editor classes and the style of editors inside a tree list

TdxTreeListEditStyle::TdxTreeListEditStyle(TdxInplaceEdit* AEdit, TCustomdxTreeList* ATreeList)
    : TdxEditStyle(AEdit), TreeList(ATreeList) {}

TdxEditBorderStyle TdxTreeListEditStyle::DefaultBorderStyle() const {
    return TreeList && TreeList->ShowGrid() ? xbsNone : xbsSingle;
}

TdxEditButtonViewStyle TdxTreeListEditStyle::DefaultButtonStyle() const {
    return TreeListButtonStyle(TreeList ? TreeList->DrawStyle() : 0);
}

TdxEditButtonViewStyle TreeListButtonStyle(int DrawStyle) {
    return DrawStyle == 1 ? btsFlat : (DrawStyle == 2 ? btsHotFlat : bts3D);
}

// ---------------------------------------------------------------------------------------------
// The container's questions

TColor TCustomdxTreeList::GetEditorColor() {
    TColor C = Color();
    if (GetFocusedAbsoluteColumn() != -1)
        C = GetColumnColor(GetFocusedAbsoluteColumn());
    OnGetEditColor(this, C);
    return C;
}

TFont* TCustomdxTreeList::GetEditorFont() {
    const int C = GetFocusedAbsoluteColumn();
    return C != -1 && ColumnHasOwnFont(C) ? GetColumnFont(C) : Font();
}

TdxEditStyle* TCustomdxTreeList::CreateEditorStyle(TdxInplaceEdit* Edit) {
    return Create<TdxTreeListEditStyle>(Edit, this);
}

void TCustomdxTreeList::FocusNextColumn(bool Backward) {
    HideEditor();
    SetFocusedColumn(GetFocusedColumn() + (Backward ? -1 : 1));
}

bool TCustomdxTreeList::CanShowEditor() {
    return FState == tsEditing && !ComponentState().Contains(csDesigning) && FLockCount == 0 && HandleAllocated();
}

TdxInplaceEdit* TCustomdxTreeList::CreateEditor(int) { return Create<TdxInplaceTreeListTextEdit>(this); }

void TCustomdxTreeList::InitEditor(TdxInplaceEdit* Editor) {
    Editor->Closing = false;
    // A dithered colour would make the editor's text hard to read over the cell.
    HDC DC = GetDC(nullptr);
    Editor->SetColor(static_cast<TColor>(GetNearestColor(DC, ColorToRGB(GetEditorColor()))));
    ReleaseDC(nullptr, DC);
    Editor->Font()->Assign(GetEditorFont());
    Editor->SetTextMargins(TRect{1, 0, 0, 0});
}

void TCustomdxTreeList::GetEditorText(std::string& Text) {
    Text.clear();
    if (FState == tsEditing && FInplaceEditor)
        FInplaceEditor->GetEditingText(Text);
}

void TCustomdxTreeList::SetEditorText(const std::string& Text) {
    if (FState == tsEditing && FInplaceEditor)
        FInplaceEditor->SetEditText(Text);
}

// ---------------------------------------------------------------------------------------------
// State

void TCustomdxTreeList::SetState(TdxTreeListState Value) {
    FPrevState = FState;
    FState = Value;
    if (Value == tsEditing) {
        if (FInplaceEditor)
            FInplaceEditor->GoToTextEnd();
        if (FSearching)
            EndSearch();
    }
}

// ---------------------------------------------------------------------------------------------
// Opening

void TCustomdxTreeList::ShowEditor() {
    if (!IsEditing() || IsRowSelect() || !FFocusedNode)
        return;
    bool Allow = true;
    if (IsNewItemRowFocused())
        DoNewItemRowEditing(Allow);
    else
        DoEditing(FFocusedNode, Allow);
    if (!Allow) {
        FInplaceEditor = nullptr;
        return;
    }
    if (FState != tsIdle || GetVisibleColumnCount() == 0 || GetFocusedColumn() < 0)
        return;
    MakeColumnVisible(GetFocusedAbsoluteColumn());
    MakeNodeVisible(FFocusedNode);
    SetState(tsEditing);
    ActivateEditor(true);
}

void TCustomdxTreeList::ShowEditorWithKey(char Key) {
    ShowEditor();
    if (FState != tsEditing || !FInplaceEditor || !FInplaceEditor->HandleAllocated())
        return;
    const HWND H = FInplaceEditor->Handle();
    if (Key == 22)
        PostMessageA(H, WM_PASTE, 0, 0);
    else if (Key == 24)
        PostMessageA(H, WM_CUT, 0, 0);
    else
        PostMessageA(H, WM_CHAR, static_cast<unsigned char>(Key), 0);
}

void TCustomdxTreeList::ShowEditorWithMouse(int X, int Y) {
    ShowEditor();
    if (FState == tsEditing && FInplaceEditor)
        FInplaceEditor->ActivateByMouse(X, Y);
}

void TCustomdxTreeList::ShowEditorSelected() {
    ShowEditor();
    if (FState == tsEditing && FInplaceEditor)
        FInplaceEditor->SelectAll();
}

void TCustomdxTreeList::ActivateEditor(bool Initial) {
    if (!CanShowEditor())
        return;
    TdxInplaceEdit* E = FindEditor(GetFocusedColumn());
    FInplaceEditor = E;
    if (!E) {
        FInplaceEditor = E = CreateEditor(GetFocusedColumn());
        LoadEditor();
    } else if (GetFocusedColumn() != FEditorColumn || FFocusedNode != FEditorNode) {
        EndEditing(false);
        SetState(tsEditing);
        LoadEditor();
    }
    TRect R;
    GetEditorRect(FFocusedNode, GetFocusedColumn(), R);
    if (!CanShowEditor() || FInplaceEditor != E) {
        FEditorColumn = -1;
        FEditorNode = nullptr;
        return;
    }
    if (!Initial)
        E->BeginShow();
    try {
        E->ShowAt(R);
    } catch (...) {
        if (!Initial)
            E->EndShow();
        throw;
    }
    if (!Initial)
        E->EndShow();
}

void TCustomdxTreeList::LoadEditor() {
    FEditorNode = FFocusedNode;
    FEditorColumn = GetFocusedColumn();
    if (FEditorColumn == -1)
        FEditorColumn = 0;
    FEditorStartColumn = FEditorColumn;
    TdxInplaceEdit* E = FInplaceEditor;
    E->SetParent(this);
    if (!FEditorNode)
        return;
    BeginEditorInit();
    try {
        InitEditor(E);
        Variant Value;
        GetEditorValue(FEditorNode, E, Value);
        E->SetModified(false);
        if (IsEditingReadOnly())
            E->SetStoredReadOnly(true);
        E->SetActive(true);
    } catch (...) {
        EndEditorInit();
        throw;
    }
    EndEditorInit();
}

void TCustomdxTreeList::RestartEditor() {
    if (Exiting)
        return;
    FEditorColumn = -1;
    FEditorNode = nullptr;
    ActivateEditor(false);
}

// ---------------------------------------------------------------------------------------------
// Closing

void TCustomdxTreeList::ResetEditorInfo() {
    FEditorColumn = -1;
    FEditorNode = nullptr;
    if (!IsDestroying())
        HideEditor();
}

void TCustomdxTreeList::HideEditor() {
    if (FState != tsEditing)
        return;
    SetState(tsIdle);
    EndEditing(true);
}

void TCustomdxTreeList::HideEditorOnExit() {
    if (FState != tsEditing)
        return;
    SetState(tsIdle);
    EndEditing(false);
}

void TCustomdxTreeList::EndEditing(bool Refocus) {
    TdxInplaceEdit* E = FInplaceEditor;
    if (!E)
        return;
    E->Closing = true;
    // Asked before hiding: a hidden window may already have handed the focus on.
    const bool EditorFocused = E->HandleAllocated() && GetFocus() == E->Handle();
    auto Forget = [&] {
        FEditorColumn = -1;
        FEditorNode = nullptr;
        E->HideInplace();
    };
    try {
        if (!E->ComponentState().Contains(csDestroying))
            PostEditorValue();
    } catch (...) {
        Forget();
        throw;
    }
    Forget();
    if ((Refocus || EditorFocused) && HandleAllocated() && IsWindowVisible(Handle()) && !Exiting)
        ::SetFocus(Handle());
}

void TCustomdxTreeList::PostEditorValue() {
    if (FEditorColumn == -1 || !FEditorNode || !FInplaceEditor)
        return;
    if (FInplaceEditor->GetModified()) {
        Variant Value;
        ApplyEditorValue(FEditorNode, FEditorColumn, Value, FInplaceEditor);
    }
    DoEdited(FEditorNode);
}

void TCustomdxTreeList::StartEditorTimer() {
    if (EditorTimerId != -1 || FState == tsEditing || !HandleAllocated())
        return;
    SetTimer(Handle(), EditorTimer, GetDoubleClickTime(), nullptr);
    EditorTimerId = static_cast<int>(EditorTimer);
}

void TCustomdxTreeList::KillEditorTimer() {
    if (EditorTimerId == -1)
        return;
    if (HandleAllocated())
        KillTimer(Handle(), EditorTimer);
    EditorTimerId = -1;
}

// ---------------------------------------------------------------------------------------------
// Incremental search

bool TCustomdxTreeList::StartSearch(int Column, const std::string& Text) {
    HideEditorOnExit();
    SetNewItemRowFocused(false);
    if (Column == -1)
        Column = GetFocusedColumn();
    FSearchColumn = Column;
    SetFocusedColumn(Column);
    FSearching = true;
    FSearchText = Text;
    DoSearch(FSearchText, 0, true);
    return !FSearchText.empty();
}

void TCustomdxTreeList::CheckSearchColumn() {
    if (IsRowSelect())
        return;
    if (GetFocusedColumn() != FSearchColumn) {
        FSearchColumn = GetFocusedColumn();
        FSearchText.clear();
    }
}

void TCustomdxTreeList::DoSearch(std::string& Text, int Direction, bool ClearOnFail) {
    ++FSearchLock;
    try {
        if (FSearchColumn == -1 || GetRootCount() == 0) {
            Text.clear();
        } else {
            TdxTreeListNode* Node = nullptr;
            if (FindNodeByText(GetVisibleColumn(FSearchColumn), Text, Node, Direction))
                SetFocusedNode(Node, GetFocusedColumn(), true);
            else if (ClearOnFail)
                Text.clear();
            else if (Direction == 0 && !Text.empty())
                Text.pop_back();
        }
        if (FFocusedNode) {
            if (IsMultiSelect() && !IsNodeSelected(FFocusedNode)) {
                ClearSelection();
                SetNodeSelected(FFocusedNode, true);
            }
            MakeNodeVisible(FFocusedNode);
            InvalidateRow(FFocusedNode);
        }
    } catch (...) {
        --FSearchLock;
        throw;
    }
    --FSearchLock;
}

bool TCustomdxTreeList::FindNodeByText(int Column, const std::string& Text, TdxTreeListNode*& Node, int Direction) {
    TdxTreeListNode* Start = FFocusedNode ? FFocusedNode : GetFirstRootNode();
    if (!Start)
        return false;
    const std::string Key = AnsiUpperCase(Text);
    auto Step = [&](TdxTreeListNode* N, bool Back) -> TdxTreeListNode* {
        if (SearchAllNodes)
            return Back ? N->GetPrev() : N->GetNext();
        return Back ? N->GetPrevVisible() : N->GetNextVisible();
    };
    auto Wrap = [&](bool Back) -> TdxTreeListNode* {
        if (!Back)
            return GetFirstRootNode();
        if (!SearchAllNodes)
            return GetLastRowNode();
        TdxTreeListNode* N = GetRootNode(GetRootCount() - 1);
        while (N->Count() > 0)
            N = N->GetLastChild();
        return N;
    };
    const bool Back = Direction == 1;
    TdxTreeListNode* Stop = Start;
    TdxTreeListNode* N = Start;
    if (Direction != 0) {
        N = Step(N, Back);
        if (!N)
            N = Wrap(Back);
        if (N == Stop)
            return false;
    }
    for (;;) {
        std::string S;
        GetNodeString(N, Column, S);
        if (AnsiUpperCase(S.substr(0, Key.size())) == Key) {
            Node = N;
            return true;
        }
        N = Step(N, Back);
        if (!N)
            N = Wrap(Back);
        if (N == Stop)
            return false;
    }
}
