// Keyboard and mouse input of the tree list: focus and selection moves, expansion, sizing and
// header presses, the editor's start rules and the incremental search keys. Every handler runs
// inside one selection bracket, so it fires at most one selection-changed event.
#include "dxTL.h"

#include "DragDrop.h"
#include "Forms.h"

#include <algorithm>

namespace {
bool IsHeaderInteraction(TdxTreeListState S) {
    return S == tsColumnSizing || S == tsColumnDragging || S == tsBandSizing || S == tsBandDragging ||
           S == tsBandPanelSizing || S == tsHeaderPanelSizing || S == tsRowSizing;
}

bool IsNodeKind(TdxTreeListHitKind K) {
    return K == htButton || K == htImage || K == htStateImage || K == htIndent || K == htCell || K == htRowRight ||
           K == htGroupFooter || K == htPreview;
}

// The node kinds on which a right press counts.
bool IsRightPressKind(TdxTreeListHitKind K) {
    return K == htImage || K == htStateImage || K == htCell || K == htNewItemRow || K == htGroupFooter ||
           K == htPreview;
}

// Runs Fn inside a selection bracket that is closed also when an exception passes.
template <class F>
auto InSelectionUpdate(TCustomdxTreeList* T, F&& Fn) {
    T->BeginSelectionUpdate();
    try {
        if constexpr (std::is_void_v<decltype(Fn())>) {
            Fn();
            T->EndSelectionUpdate();
        } else {
            auto R = Fn();
            T->EndSelectionUpdate();
            return R;
        }
    } catch (...) {
        T->EndSelectionUpdate();
        throw;
    }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Navigation

TdxTreeListNode* TCustomdxTreeList::GetNavigationNode(TdxTreeListNode* Node, int Kind, bool Deep) {
    switch (Kind) {
    case 0: return GetFirstRootNode();
    case 1: return Node ? Node->GetPrevVisible() : nullptr;
    case 2: return Node ? (Deep ? Node->GetNext() : Node->GetNextVisible()) : nullptr;
    case 3: {
        TdxTreeListNode* N = GetLastRowNode();
        while (Deep && N && N->Count() > 0)
            N = N->GetLastChild();
        return N;
    }
    default: return nullptr;
    }
}

void TCustomdxTreeList::FocusNavigationNode(int Kind, bool Deep) {
    TdxTreeListNode* N = GetNavigationNode(FFocusedNode, Kind, Deep);
    if (!N)
        return;
    const bool Follow = GetSelectedCount() == 1 && IsNodeSelected(FFocusedNode);
    SetFocusedNode(N, GetFocusedColumn(), true);
    if (Follow) {
        ClearSelection();
        SetNodeSelected(N, true);
    }
}

void TCustomdxTreeList::StepFocusedRow(int Delta, TShiftState Shift) {
    TdxTreeListNode* F = FFocusedNode;
    auto ClearUnlessAtEnd = [&] {
        const bool Keep = (Delta < 0 && IsFirstRow(F) && GetSelectedCount() == 1) || (Delta > 0 && IsLastRow(F));
        if (!Keep)
            ClearSelection();
    };
    auto Move = [&] { SetFocusedRowIndex(GetFocusedRowIndex() + Delta); };
    if (!(IsMultiSelect() && Shift.Contains(ssShift))) {
        ClearUnlessAtEnd();
        SetSelectionAnchor(nullptr);
        Move();
        return;
    }
    if (ExtendingSelection) {
        const bool Back = Delta + CompareWithAnchor(F) == 0;
        if (Back)
            SetNodeSelected(F, false);
        Move();
        if (!Back)
            SetNodeSelected(FFocusedNode, true);
        return;
    }
    ClearUnlessAtEnd();
    if (CanChangeSelection() && FSelectionAnchor) {
        SelectRange(FSelectionAnchor, F);
        if (Delta * CompareWithAnchor(F) < 0)
            SetNodeSelected(F, false);
    } else {
        SetSelectionAnchor(F);
        SetNodeSelected(F, true);
    }
    ExtendingSelection = true;
    Move();
    SetNodeSelected(FFocusedNode, true);
}

void TCustomdxTreeList::PageFocusedRow(int Delta) {
    const int Count = GetRowCount();
    const int F = GetFocusedRowIndex();
    if (Count < 2) {
        SetFocusedRowIndex(std::clamp(F + Delta, 0, std::max(Count - 1, 0)));
        return;
    }
    const int T = GetTopIndex(), V = FVisibleRowCount;
    const int Bottom = std::min(T + V - 1, Count - 1);
    if (T < F && F < Bottom)
        SetFocusedRowIndex(Delta < 0 ? T : Bottom);
    else
        SetFocusedRowIndex(F + Delta * (V < 2 ? 1 : V - 1));
}

int TCustomdxTreeList::FindTabStopColumn(int Start, bool Forward) {
    const int Count = GetVisibleColumnCount();
    for (int C = Start; Forward ? C < Count : C >= 0; C += Forward ? 1 : -1)
        if (C >= 0 && C < Count && GetColumnTabStop(GetVisibleColumn(C)))
            return C;
    return Forward ? Count : -1;
}

void TCustomdxTreeList::FocusPrevRowLastColumn() {
    ClearSelection();
    SetFocusedRowIndex(GetFocusedRowIndex() - 1);
    SetFocusedColumn(FindTabStopColumn(GetVisibleColumnCount() - 1, false));
}

void TCustomdxTreeList::FocusNextRowFirstColumn() {
    ClearSelection();
    SetFocusedRowIndex(GetFocusedRowIndex() + 1);
    const int C = FindTabStopColumn(0, true);
    if (C < GetVisibleColumnCount())
        SetFocusedColumn(C);
}

bool TCustomdxTreeList::MoveInBandRows(bool Up) {
    if (IsRowSelect() || !FFocusedNode || IsWholeRowNode(FFocusedNode))
        return false;
    const int Column = GetVisibleColumn(GetFocusedColumn());
    if (Column < 0)
        return false;
    const int Band = GetColumnBandIndex(Column);
    const int Rows = GetBandRowCount(Band);
    if (Rows < 2)
        return false;
    const int Row = GetColumnRowIndex(Column), Pos = GetColumnColIndex(Column);
    int Target = Row + (Up ? -1 : 1);
    bool Wrapped = false;
    if (Target < 0) {
        if (IsFirstRow(FFocusedNode))
            return false;
        Target = Rows - 1;
        Wrapped = true;
    } else if (Target >= Rows) {
        if (IsLastRow(FFocusedNode))
            return false;
        Target = 0;
        Wrapped = true;
    }
    const int InRow = GetColumnCountInRow(Band, Target);
    if (InRow <= 0)
        return false;
    const int C = GetColumnAt(Band, Target, std::min(Pos, InRow - 1));
    if (C >= 0)
        SetFocusedColumn(GetColumnNavigationIndex(C));
    return !Wrapped;
}

// ---------------------------------------------------------------------------------------------
// Keys

void TCustomdxTreeList::KeyDown(Word& Key, TShiftState Shift) {
    TCustomdxContainer::KeyDown(Key, Shift);
    if (!CanProcessKey(Key, Shift))
        Key = 0;
    if (Key == 0)
        return;
    InSelectionUpdate(this, [&] { HandleKeyDown(Key, Shift); });
}

void TCustomdxTreeList::HandleKeyDown(Word& Key, TShiftState Shift) {
    if (IsHeaderInteraction(FState)) {
        if (Key == VK_ESCAPE)
            CancelMode();
        return;
    }
    if (GetRootCount() == 0)
        return;
    if (FState == tsEditing && (Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
                                Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN)) {
        HideEditor();
        if (Key == VK_ESCAPE)
            return;
    }
    const bool Ctrl = Shift.Contains(ssCtrl);
    bool Sh = Shift.Contains(ssShift);
    if (FNewItemRowFocused && (Key == VK_NEXT || Key == VK_DOWN)) {
        SetNewItemRowFocused(false);
        SetFocusedNode(FTopNode, GetFocusedColumn(), true);
        if (!Ctrl && !Sh && FFocusedNode) {
            ClearSelection();
            SetSelectionAnchor(nullptr);
            SetNodeSelected(FFocusedNode, true);
        }
        return;
    }
    if (FSearching) {
        CheckSearchColumn();
        switch (Key) {
        case VK_BACK:
            if (!FSearchText.empty())
                FSearchText.pop_back();
            DoSearch(FSearchText, 0, false);
            return;
        case VK_DELETE:
            FSearchText.clear();
            DoSearch(FSearchText, 0, false);
            return;
        case VK_ESCAPE: EndSearch(); return;
        case VK_RETURN:
            if (Sh) {
                DoSearch(FSearchText, 1, false);
                return;
            }
            if (Ctrl) {
                DoSearch(FSearchText, 2, false);
                return;
            }
            break;
        default: break;
        }
    }
    const bool NavKey = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_UP ||
                        Key == VK_DOWN;
    if (Ctrl && !(NavKey && Sh && CanChangeSelection())) {
        ExtendingSelection = false;
        switch (Key) {
        case VK_SPACE:
            if ((IsRowSelect() || !IsEditing()) && FFocusedNode) {
                SetNodeSelected(FFocusedNode, !IsNodeSelected(FFocusedNode));
                SetSelectionAnchor(FFocusedNode);
            }
            break;
        case VK_PRIOR: PageFocusedRow(-1); break;
        case VK_NEXT: PageFocusedRow(1); break;
        case VK_END: SetFocusedRowIndex(GetRowCount() - 1); break;
        case VK_HOME: SetFocusedRowIndex(0); break;
        case VK_LEFT: SetFocusedColumn(0); break;
        case VK_RIGHT: SetFocusedColumn(GetVisibleColumnCount() - 1); break;
        case VK_UP:
            if (IsFirstRow(FFocusedNode) && IsNewItemRowShown())
                SetNewItemRowFocused(true);
            else
                SetFocusedRowIndex(GetFocusedRowIndex() - 1);
            break;
        case VK_DOWN: SetFocusedRowIndex(GetFocusedRowIndex() + 1); break;
        case VK_INSERT: CopyToClipboard(); break;
        default: break;
        }
        return;
    }
    // The anchor of a Shift range: kept or taken from the focus with Shift, cleared otherwise.
    auto RangeAnchor = [&] {
        if (Sh && CanChangeSelection()) {
            if (!FSelectionAnchor)
                SetSelectionAnchor(FFocusedNode);
        } else {
            SetSelectionAnchor(nullptr);
        }
    };
    auto SelectToAnchor = [&] {
        if (Sh && FSelectionAnchor && FFocusedNode)
            SelectRange(FSelectionAnchor, FFocusedNode);
    };
    const int Count = GetVisibleColumnCount();
    switch (Key) {
    case VK_TAB:
        if (Shift.Contains(ssAlt))
            break;
        if (Sh) {
            if (IsRowSelect()) {
                ClearSelection();
                SetFocusedRowIndex(GetFocusedRowIndex() - 1);
            } else {
                const int C = FindTabStopColumn(GetFocusedColumn() - 1, false);
                if (C < 0 && IsTabThroughRows())
                    FocusPrevRowLastColumn();
                else
                    SetFocusedColumn(C);
            }
            Sh = false;
        } else if (IsRowSelect()) {
            ClearSelection();
            SetFocusedRowIndex(GetFocusedRowIndex() + 1);
        } else {
            const int C = FindTabStopColumn(GetFocusedColumn() + 1, true);
            if (C >= Count && IsTabThroughRows())
                FocusNextRowFirstColumn();
            else
                SetFocusedColumn(C);
        }
        break;
    case VK_RETURN:
        if (IsEnterToNextCell()) {
            const int C = FindTabStopColumn(GetFocusedColumn() + 1, true);
            if (C >= Count)
                FocusNextRowFirstColumn();
            else
                SetFocusedColumn(C);
            ShowEditor();
        }
        break;
    case VK_ESCAPE:
        ClearSelection();
        if (FInplaceEditor)
            FInplaceEditor->RevertValue();
        HideEditor();
        break;
    case VK_PRIOR:
    case VK_NEXT:
        ClearSelection();
        RangeAnchor();
        if (Key == VK_PRIOR && IsFirstRow(FFocusedNode) && IsNewItemRowShown())
            SetNewItemRowFocused(true);
        else
            PageFocusedRow(Key == VK_PRIOR ? -1 : 1);
        SelectToAnchor();
        break;
    case VK_END:
    case VK_HOME:
        if (IsRowSelect() || Sh) {
            ClearSelection();
            RangeAnchor();
            SetFocusedRowIndex(Key == VK_END ? GetRowCount() - 1 : 0);
            SelectToAnchor();
        } else {
            SetFocusedColumn(Key == VK_END ? Count - 1 : 0);
        }
        break;
    case VK_LEFT:
        if (IsRowSelect()) {
            if (FFocusedNode)
                MakeNodeVisible(FFocusedNode);
            if (FNewItemRowFocused || !FFocusedNode)
                break;
            TdxTreeListNode* F = FFocusedNode;
            if (F->Expanded() && NodeHasChildren(F)) {
                F->SetExpanded(false);
            } else if (!F->Parent() || F->Index() > 0) {
                ClearSelection();
                SetFocusedRowIndex(GetFocusedRowIndex() - 1);
            } else {
                ClearSelection();
                SetFocusedNode(F->Parent(), GetFocusedColumn(), true);
            }
        } else if (GetFocusedColumn() == 0 && IsArrowsWrapRows()) {
            FocusPrevRowLastColumn();
        } else {
            SetFocusedColumn(GetFocusedColumn() - 1);
        }
        break;
    case VK_RIGHT:
        if (IsRowSelect()) {
            if (FFocusedNode)
                MakeNodeVisible(FFocusedNode);
            if (FNewItemRowFocused || !FFocusedNode)
                break;
            TdxTreeListNode* F = FFocusedNode;
            if (NodeHasChildren(F)) {
                if (!F->Expanded()) {
                    F->SetExpanded(true);
                } else if (F->Count() > 0) {
                    ClearSelection();
                    SetFocusedNode(F->GetFirstChild(), GetFocusedColumn(), true);
                }
            } else {
                ClearSelection();
                SetFocusedRowIndex(GetFocusedRowIndex() + 1);
            }
        } else if (GetFocusedColumn() == Count - 1 && IsArrowsWrapRows()) {
            FocusNextRowFirstColumn();
        } else {
            SetFocusedColumn(GetFocusedColumn() + 1);
        }
        break;
    case VK_UP:
        if (IsUpDownInBandRows() && MoveInBandRows(true))
            break;
        if (IsFirstRow(FFocusedNode) && IsNewItemRowShown())
            SetNewItemRowFocused(true);
        else
            StepFocusedRow(-1, Shift);
        break;
    case VK_DOWN:
        if (IsUpDownInBandRows() && MoveInBandRows(false))
            break;
        StepFocusedRow(1, Shift);
        break;
    case VK_F2: ShowEditor(); break;
    default: break;
    }
    if (GetSelectedCount() == 0 && FFocusedNode)
        SetNodeSelected(FFocusedNode, true);
}

void TCustomdxTreeList::KeyPress(char& Key) {
    const bool CtrlOnly = (GetKeyState(VK_CONTROL) < 0) && (GetKeyState(VK_MENU) >= 0);
    if (FState == tsIdle && !FSearching && IsIncrementalSearch() && Key != '\b' && Key != '\t' && Key != '\r' &&
        Key != 27 && !CtrlOnly)
        StartSearch(-1, std::string());
    InSelectionUpdate(this, [&] {
        const unsigned char K = static_cast<unsigned char>(Key);
        if (FSearching || !IsEditOnKeyPress() || FState == tsEditing) {
            TCustomdxContainer::KeyPress(Key);
        } else if (Key == '\r') {
            ShowEditor();
        } else if (Key == '\b' || K == 22 || K == 24 || K >= 32) {
            ShowEditorWithKey(Key);
            if (FState != tsEditing)
                TCustomdxContainer::KeyPress(Key);
        } else {
            TCustomdxContainer::KeyPress(Key);
        }
        if (FState != tsEditing && FFocusedNode) {
            if (K == 3 && FOptionsEx.Contains(txCtrlCCopies))
                CopyToClipboard();
            else if (Key == '*' && NodeHasChildren(FFocusedNode))
                FFocusedNode->Expand(true);
            else if (Key == '+') {
                MakeNodeVisible(FFocusedNode);
                FFocusedNode->SetExpanded(true);
            } else if (Key == '-') {
                MakeNodeVisible(FFocusedNode);
                FFocusedNode->SetExpanded(false);
            }
        }
        if (FSearching && K > 31 && !CtrlOnly) {
            CheckSearchColumn();
            FSearchText += Key;
            DoSearch(FSearchText, 0, false);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TCustomdxTreeList::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    // A paint, switching drawing off (which validates the window) or a change of its place or
    // visibility leaves the window no longer wholly invalid.
    case WM_PAINT:
    case WM_SETREDRAW:
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED:
        FWholeInvalid = false;
        break;
    case WM_MOUSEMOVE:
        if (FState == tsColumnDragging || FState == tsBandDragging) {
            if (FState == tsColumnDragging)
                DragColumnMove();
            else
                DragBandMove();
            return;
        }
        break;
    case WM_KEYDOWN:
        if (Dragging() && DragMode() == dmAutomatic) {
            if (Message.WParam == VK_ESCAPE) {
                EndDrag(false);
            } else if (Message.WParam == VK_ADD || Message.WParam == VK_SUBTRACT) {
                POINT P;
                GetCursorPos(&P);
                const TPoint C = ScreenToClient(TPoint{P.x, P.y});
                if (TdxTreeListNode* N = GetNodeAt(C.X, C.Y))
                    if (NodeHasChildren(N) && N->Expanded() == (Message.WParam == VK_SUBTRACT))
                        N->SetExpanded(Message.WParam == VK_ADD);
            }
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The automatic drag of a node starts from the mouse handling, past its own threshold.
        if (!ComponentState().Contains(csDesigning) && !Dragging() && DragMode() == dmAutomatic) {
            SetControlState(ControlState() + TControlState{csLButtonDown});
            Dispatch(Message);
            return;
        }
        break;
    default: break;
    }
    TCustomdxContainer::WndProc(Message);
}

void TCustomdxTreeList::InvalidateHeaderOf(int Column) {
    if (Column < 0 || !HandleAllocated()) {
        Invalidate();
        return;
    }
    Layout L;
    CalcLayout(L);
    if (const HeaderCell* C = FindHeaderCell(L, Column))
        InvalidateRect(C->ClipRect);
}

void TCustomdxTreeList::InvalidateBandOf(int Band) {
    if (!HandleAllocated())
        return;
    Layout L;
    CalcLayout(L);
    for (const BandItem& B : L.Bands)
        if (B.Band == Band)
            InvalidateRect(B.ClipRect);
}

void TCustomdxTreeList::ClampSizingPos(int Pos, int Min, int Max) {
    Pos = std::max(std::min(Pos, Max), Min);
    if (Pos == FSizingPos)
        return;
    ToggleSizingLine();
    FSizingPos = Pos;
    ToggleSizingLine();
}

void TCustomdxTreeList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (InSelectionUpdate(this, [&] { return HandleMouseDown(Button, Shift, X, Y); }))
        TCustomdxContainer::MouseDown(Button, Shift, X, Y);
}

bool TCustomdxTreeList::HandleMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FState == tsEditing && FInplaceEditor && FInplaceEditor->IgnoreContainerMouse)
        return false;
    if (FInplaceEditor && !FInplaceEditor->KeepOpenOnContainerClick())
        HideEditor();
    FDeferredSelect = FCtrlShiftSelecting = false;
    if (!ComponentState().Contains(csDesigning) && (CanFocus() || !GetParentForm())) {
        FWasUnfocused = !IsFocusWithin();
        SetFocus();
        if (!IsFocusWithin()) {
            ReleaseCapture();
            return false;
        }
    }
    GetHitInfo(TPoint{X, Y}, FDownHitInfo);
    const HitInfo& H = FDownHitInfo;
    const bool Double = Shift.Contains(ssDouble);
    if (Button == mbRight && FState != tsIdle)
        CancelMode();
    if (Button == mbLeft && FState == tsIdle) {
        switch (H.HitKind) {
        case htBandEdge:
            if (H.Band < 0)
                break;
            if (Double) {
                BandEdgeDblClick(H.Band);
                return true;
            }
            SetState(tsBandSizing);
            FSizingPos = FSizingStartPos = X;
            ToggleSizingLine();
            return true;
        case htColumnEdge:
            if (H.Column < 0)
                break;
            if (Double) {
                ColumnEdgeDblClick(H.Column);
                return true;
            }
            SetState(tsColumnSizing);
            FSizingPos = FSizingStartPos = X;
            ToggleSizingLine();
            return true;
        case htBandPanelEdge:
        case htHeaderPanelEdge:
        case htRowEdge:
            SetState(H.HitKind == htBandPanelEdge    ? tsBandPanelSizing
                     : H.HitKind == htHeaderPanelEdge ? tsHeaderPanelSizing
                                                      : tsRowSizing);
            FSizingPos = FSizingStartPos = Y;
            ToggleSizingLine();
            return true;
        case htBand:
            SetState(tsBandDown);
            FPressedBand = H.Band;
            FPressedShown = true;
            FDownPos = TPoint{X, Y};
            InvalidateBandOf(H.Band);
            break;
        case htHeader:
            if (!ShowHeaderButtons() || FHotHeaderPart != 2) {
                SetState(tsColumnDown);
                FPressedColumn = H.Column;
                FPressedShown = true;
                FDownPos = TPoint{X, Y};
            } else {
                SetState(tsDropDownButtonDown);
                FDropDownColumn = H.Column;
                FPressedShown = true;
            }
            InvalidateHeaderOf(H.Column);
            break;
        case htBandButton:
            if (IsBandButton()) {
                SetState(tsBandButtonDown);
                FPressedShown = true;
                Invalidate();
            }
            break;
        case htHeaderButton:
            if (IsHeaderButton()) {
                SetState(tsHeaderButtonDown);
                FPressedShown = true;
                Invalidate();
            }
            break;
        case htStatusPanel: {
            TRect R;
            GetStatusButtonRect(R);
            if (HasStatusButton() && R.Contains(TPoint{X, Y})) {
                SetState(tsStatusButtonDown);
                FPanelButtonPressed = true;
                InvalidateRect(R);
            }
            break;
        }
        default: break;
        }
    }
    if (FState == tsIdle && (Button == mbLeft || (Button == mbRight && IsRightPressKind(H.HitKind)))) {
        if (H.Node && (H.HitKind == htButton || (Double && IsNodeKind(H.HitKind)))) {
            KillEditorTimer();
            if (H.HitKind == htButton || ExpandOnDblClick)
                H.Node->SetExpanded(!H.Node->Expanded());
            if (Double && CanDblClick())
                DblClick();
            return true;
        }
        if (H.HitKind == htNewItemRow) {
            if (!FFocusedNode) {
                InsertNewItemRow();
            } else {
                const int Nav = H.Column >= 0 ? GetColumnNavigationIndex(H.Column) : GetFocusedColumn();
                const bool Repeat = FNewItemRowFocused && Nav == GetFocusedColumn();
                SetFocusedColumn(Nav);
                SetNewItemRowFocused(true);
                FClickToEditPending = true;
                if (Button == mbLeft && Repeat && !FWasUnfocused)
                    StartEditorTimer();
            }
            return true;
        }
        if (H.Node && (IsNodeKind(H.HitKind) || H.HitKind == htIndicator)) {
            const bool WasFocused = H.Node == FFocusedNode;
            const int OldColumn = GetFocusedColumn();
            if (Button == mbLeft && H.HitKind != htIndicator)
                SetState(tsNodeDown);
            FDragNode = H.Node;
            SetNewItemRowFocused(false);
            FSelectStartNode = FFocusedNode;
            SetFocusedNode(H.Node, H.Column >= 0 ? GetColumnNavigationIndex(H.Column) : GetFocusedColumn(), true);
            FDownPos = TPoint{X, Y};
            if (IsMultiSelect()) {
                ExtendingSelection = false;
                const bool Sh = Shift.Contains(ssShift), Ctrl = Shift.Contains(ssCtrl);
                if (Sh || Ctrl) {
                    FCtrlShiftSelecting = true;
                    if (Sh) {
                        if (!FSelectionAnchor || !IsNodeVisible(FSelectionAnchor))
                            SetSelectionAnchor(FSelectStartNode);
                        if (!Ctrl && FSelectionAnchor) {
                            ClearSelection();
                            FSelectStartNode = FSelectionAnchor;
                        }
                        if (FSelectStartNode)
                            SelectRange(FSelectStartNode, FFocusedNode);
                        else
                            SetNodeSelected(FFocusedNode, !IsNodeSelected(FFocusedNode));
                    } else {
                        SetNodeSelected(FFocusedNode, !IsNodeSelected(FFocusedNode));
                        SetSelectionAnchor(FFocusedNode);
                    }
                    return true;
                }
                if (IsNodeSelected(FFocusedNode)) {
                    if (Button == mbLeft)
                        FDeferredSelect = true;
                } else {
                    ClearSelection();
                    SetNodeSelected(FFocusedNode, true);
                    SetSelectionAnchor(FFocusedNode);
                }
            }
            if (Button == mbLeft && H.HitKind == htCell && !IsRowSelect() && H.Column >= 0) {
                if (IsEditorClick(X, Y, GetFocusedColumn(), WasFocused)) {
                    SetState(tsIdle);
                    ShowEditorWithMouse(X, Y);
                } else if (WasFocused && GetFocusedColumn() == OldColumn && !FWasUnfocused) {
                    StartEditorTimer();
                }
            }
        }
    }
    if (Button == mbLeft && Double && CanDblClick() &&
        (H.HitKind == htNowhere || (H.HitKind >= htButton && H.HitKind <= htOutside)))
        DblClick();
    if (Button == mbMiddle && FState == tsIdle)
        FullScroll();
    return true;
}

void TCustomdxTreeList::MouseMove(TShiftState Shift, int X, int Y) {
    HitInfo H;
    GetHitInfo(TPoint{X, Y}, H);
    if (FState == tsNodeDown && !Shift.Contains(ssLeft))
        SetState(tsIdle);
    int Max = 0, Min = 0, Offset = 0, Pos2 = 0;
    const bool Moved = std::abs(X - FDownPos.X) > 5 || std::abs(Y - FDownPos.Y) > 5;
    switch (FState) {
    case tsBandSizing:
        GetBandSizingBounds(FDownHitInfo.Band, X, Max, Min, Offset);
        ClampSizingPos(X, Min, Max);
        break;
    case tsColumnSizing:
        GetColumnSizingBounds(FDownHitInfo.Column, X, Max, Min, Offset);
        ClampSizingPos(X, Min, Max);
        break;
    case tsBandPanelSizing:
        GetBandPanelSizingPos(Y, Min, Pos2);
        ClampSizingPos(Min, Min, Min);
        break;
    case tsHeaderPanelSizing:
        GetHeaderPanelSizingPos(Y, Min, Pos2);
        ClampSizingPos(Min, Min, Min);
        break;
    case tsRowSizing:
        GetRowSizingBounds(FDownHitInfo.Node, Y, Max, Min);
        ClampSizingPos(Y, Min, Max);
        break;
    case tsBandDown:
        if (Moved && CanDragBand(FPressedBand)) {
            FDragBand = GetBandIndexOfVisible(FPressedBand);
            StartBandDrag(FDragBand);
        } else {
            const bool On = H.HitKind == htBand && H.Band == FPressedBand;
            if (On != FPressedShown) {
                FPressedShown = On;
                InvalidateBandOf(FPressedBand);
            }
        }
        break;
    case tsColumnDown:
        if (Moved && CanDragColumn(FPressedColumn)) {
            FDragColumn = FPressedColumn;
            StartColumnDrag(FDragColumn);
        } else {
            const bool On = H.HitKind == htHeader && H.Column == FPressedColumn;
            if (On != FPressedShown) {
                FPressedShown = On;
                InvalidateHeaderOf(FPressedColumn);
            }
        }
        break;
    case tsDropDownButtonDown: {
        int Part = 0;
        const bool On = H.HitKind == htHeader && H.Column == FDropDownColumn &&
                        GetHeaderHotPart(X, Y, Part, H.Column) && Part == 2;
        if (On != FPressedShown) {
            FPressedShown = On;
            InvalidateHeaderOf(FDropDownColumn);
        }
        break;
    }
    case tsBandButtonDown:
    case tsHeaderButtonDown: {
        const bool On = H.HitKind == (FState == tsBandButtonDown ? htBandButton : htHeaderButton);
        if (On != FPressedShown) {
            FPressedShown = On;
            Invalidate();
        }
        break;
    }
    case tsNodeDown:
        if (DragMode() == dmAutomatic) {
            if (Moved) {
                TdxTreeListNode* N = FDragNode ? FDragNode : H.Node;
                if (N) {
                    if (N != FFocusedNode) {
                        if (!FCtrlShiftSelecting)
                            ClearSelection();
                        SetFocusedNode(N, GetFocusedColumn(), true);
                    }
                    SetNodeSelected(N, true);
                    FDeferredSelect = FCtrlShiftSelecting = false;
                    BeginDrag(false);
                }
            }
        } else if (IsDragSelect() && GetRootCount() > 0) {
            Layout L;
            CalcLayoutAreas(L);
            if (Y < L.RowsRect.Top || Y >= L.RowsRect.Bottom) {
                const bool Up = Y < L.RowsRect.Top;
                SetFocusedRowIndex(Up ? GetTopIndex() : GetTopIndex() + FVisibleRowCount - 1);
                VertDragScrollUp = Up;
                if (VertDragScrollTimer == static_cast<UINT_PTR>(-1))
                    VertDragScrollTimer = SetTimer(Handle(), 1, 60, DragSelectTimerProc);
            } else {
                if (VertDragScrollTimer != static_cast<UINT_PTR>(-1)) {
                    KillTimer(Handle(), 1);
                    VertDragScrollTimer = static_cast<UINT_PTR>(-1);
                }
                if (TdxTreeListNode* N = GetNodeAt(L.RowsRect.Left, Y)) {
                    SetFocusedNode(N, GetFocusedColumn(), true);
                    if (IsMultiSelect() && FSelectStartNode) {
                        ClearSelection();
                        SelectRange(FSelectStartNode, N);
                    }
                }
            }
        }
        break;
    default: break;
    }
    UpdateHotTrack(H);
    TCustomdxContainer::MouseMove(Shift, X, Y);
}

void TCustomdxTreeList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    InSelectionUpdate(this, [&] { HandleMouseUp(Button, Shift, X, Y); });
    TCustomdxContainer::MouseUp(Button, Shift, X, Y);
}

void TCustomdxTreeList::HandleMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    HitInfo H;
    GetHitInfo(TPoint{X, Y}, H);
    const TdxTreeListState WasState = FState;
    int Max = 0, Min = 0, Offset = 0;
    switch (FState) {
    case tsBandSizing:
        ToggleSizingLine();
        GetBandSizingBounds(FDownHitInfo.Band, FSizingPos, Max, Min, Offset);
        FSizingPos = std::max(std::min(FSizingPos, Max), Min);
        if (FSizingPos != FSizingStartPos) {
            const int W = FSizingPos - Offset + 2;
            if (IsAutoWidth())
                ResizeBandAutoWidth(FDownHitInfo.Band, W);
            else
                SetBandWidthScaled(FDownHitInfo.Band, W);
            DoSizingEnded();
        }
        SetState(tsIdle);
        break;
    case tsColumnSizing: {
        ToggleSizingLine();
        const int C = FDownHitInfo.Column;
        GetColumnSizingBounds(C, FSizingPos, Max, Min, Offset);
        FSizingPos = std::max(std::min(FSizingPos, Max), Min);
        if (FSizingPos != FSizingStartPos) {
            const int W = FSizingPos - Offset + 1;
            const int Band = GetColumnBandIndex(C);
            if (IsProportionalBandColumns() && !IsAutoWidth() && GetBandRowCount(Band) <= 1)
                SetColumnWidthInRow(Band, C, W);
            else
                ResizeColumnAutoWidth(C, W);
            DoSizingEnded();
        }
        SetState(tsIdle);
        break;
    }
    case tsBandPanelSizing:
        ToggleSizingLine();
        SetBandRowCount(GetBandRowCountAt(FSizingPos));
        SetState(tsIdle);
        break;
    case tsHeaderPanelSizing:
        ToggleSizingLine();
        SetHeaderPanelRowCount(GetHeaderRowCountAt(FSizingPos));
        SetState(tsIdle);
        break;
    case tsRowSizing:
        ToggleSizingLine();
        if (FSizingPos != FSizingStartPos && FDownHitInfo.Node) {
            TRect R;
            GetNodeRowRect(FDownHitInfo.Node, R);
            SetRowHeight(CalcRowHeightFor(FDownHitInfo.Node, FSizingPos - R.Top));
        }
        SetState(tsIdle);
        break;
    case tsBandDown: {
        const int Band = FPressedBand;
        CancelMode();
        if (H.HitKind == htBand && H.Band == Band)
            DoBandClick(Band);
        break;
    }
    case tsBandDragging: EndBandDrag(true); break;
    case tsColumnDragging: EndColumnDrag(true); break;
    case tsDropDownButtonDown: {
        const int Column = FDropDownColumn;
        int Part = 0;
        const bool On = H.HitKind == htHeader && H.Column == Column && GetHeaderHotPart(X, Y, Part, Column) &&
                        Part == 2;
        CancelMode();
        if (On && !ComponentState().Contains(csDesigning)) {
            FDropDownColumn = Column;
            try {
                DoDropDownButtonClick(Column);
            } catch (...) {
                FDropDownColumn = -1;
                throw;
            }
            FDropDownColumn = -1;
        }
        break;
    }
    case tsStatusButtonDown: {
        const bool Hot = FPanelButtonHot;
        CancelMode();
        if (Hot)
            DoStatusButtonClick();
        break;
    }
    case tsColumnDown: {
        const int Column = FPressedColumn;
        CancelMode();
        if (H.HitKind == htHeader && H.Column == Column) {
            FSortShift = Shift.Contains(ssShift) && IsMultiSortOption();
            FSortCtrl = Shift.Contains(ssCtrl);
            try {
                DoColumnHeaderClick(Column);
            } catch (...) {
                FSortShift = FSortCtrl = false;
                throw;
            }
            FSortShift = FSortCtrl = false;
        }
        break;
    }
    case tsBandButtonDown:
    case tsHeaderButtonDown: {
        const bool Shown = FPressedShown;
        const bool Band = FState == tsBandButtonDown;
        CancelMode();
        if (Shown) {
            if (Band)
                DoBandButtonClick();
            else
                DoHeaderButtonClick();
        }
        break;
    }
    default: break;
    }
    if (FDeferredSelect) {
        FDeferredSelect = false;
        ClearSelection();
        if (FFocusedNode) {
            SetNodeSelected(FFocusedNode, true);
            SetSelectionAnchor(FFocusedNode);
        }
    }
    const bool NodeState = WasState == tsEditing || WasState == tsNodeDragging || WasState == tsNodeDown;
    if ((NodeState || FClickToEditPending) && FOptions.Contains(toClickEdit) && !IsRowSelect() && Button == mbLeft &&
        (H.HitKind == htCell || H.HitKind == htNewItemRow) && H.HitKind == FDownHitInfo.HitKind &&
        H.Column == FDownHitInfo.Column && H.Node == FDownHitInfo.Node &&
        (H.Node == FFocusedNode || H.HitKind == htNewItemRow)) {
        SetState(tsIdle);
        if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl))
            ShowEditorSelected();
    }
    FClickToEditPending = false;
    if (FState == tsNodeDown)
        SetState(tsIdle);
    if (NodeState)
        Click();
}
