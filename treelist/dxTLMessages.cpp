// Window and component messages of the tree list: focus, cursor, frame, timers, hot tracking,
// the status-panel button hint and the end of mouse interactions.
#include "dxTL.h"

#include "Forms.h"

namespace {
constexpr UINT_PTR HintShowTimer = 110, HintHideTimer = 111, EditorTimer = 2;

bool IsSizingState(TdxTreeListState S) {
    return S == tsColumnSizing || S == tsBandSizing || S == tsBandPanelSizing || S == tsHeaderPanelSizing ||
           S == tsRowSizing;
}
}  // namespace

void TCustomdxTreeList::WMSetCursor(TMessage& Message) {
    if (LOWORD(Message.LParam) != HTCLIENT) {
        InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
        return;
    }
    TdxTreeListState K = FState;
    if (FState == tsIdle || FState == tsEditing) {
        HitInfo H;
        GetHitInfo(ScreenToClient(FNCPoint), H);
        if (H.HitKind == htBandPanelEdge || H.HitKind == htHeaderPanelEdge || H.HitKind == htRowEdge)
            K = tsRowSizing;
        else if (H.HitKind == htColumnEdge || (H.HitKind == htBandEdge && H.Band >= 0))
            K = tsColumnSizing;
        else
            K = tsIdle;
    }
    if (K == tsColumnSizing || K == tsBandSizing) {
        ::SetCursor(Screen->Cursors(crHSplit));
        Message.Result = 1;
    } else if (K == tsBandPanelSizing || K == tsHeaderPanelSizing || K == tsRowSizing) {
        ::SetCursor(Screen->Cursors(crVSplit));
        Message.Result = 1;
    } else {
        InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    }
}

void TCustomdxTreeList::WMNCHitTest(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    FNCPoint = TPoint{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
}

void TCustomdxTreeList::WMNCCalcSize(TMessage& Message) {
    if (FBorderStyle == 1 && FDrawStyle != 0) {
        // Flat looks draw a one-pixel frame of their own instead of the system border.
        auto* R = reinterpret_cast<RECT*>(Message.LParam);
        InflateRect(R, -1, -1);
    }
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
}

void TCustomdxTreeList::WMNCPaint(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    if (FDrawStyle == 0 || FBorderStyle != 1)
        return;
    HDC DC = GetWindowDC(Handle());
    RECT W;
    GetWindowRect(Handle(), &W);
    OffsetRect(&W, -W.left, -W.top);
    if (FDrawStyle == 2)
        FrameRect(DC, &W, GetSysColorBrush(COLOR_BTNSHADOW));
    else
        DrawEdge(DC, &W, BDR_SUNKENOUTER, BF_RECT);
    const LONG Style = GetWindowLongA(Handle(), GWL_STYLE);
    if ((Style & WS_HSCROLL) && (Style & WS_VSCROLL)) {
        const RECT Corner{W.right - 1 - GetSystemMetrics(SM_CXVSCROLL), W.bottom - 1 - GetSystemMetrics(SM_CYHSCROLL),
                          W.right - 1, W.bottom - 1};
        FillRect(DC, &Corner, GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(Handle(), DC);
}

void TCustomdxTreeList::WMSetFocus(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    if (!FFocusedNode)
        FFocusedNode = FTopNode;
    const HWND From = reinterpret_cast<HWND>(Message.WParam);
    if (!FInplaceEditor || !FInplaceEditor->HandleAllocated() || From != FInplaceEditor->Handle()) {
        InvalidateRow(FFocusedNode);
        if (FState == tsEditing)
            ActivateEditor(false);
    }
    if (IsMultiSelect() && GetSelectedCount() > 0)
        InvalidateSelection();
    if (IsNewItemRowShown())
        Invalidate();
}

void TCustomdxTreeList::WMKillFocus(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    const HWND To = reinterpret_cast<HWND>(Message.WParam);
    if (FInplaceEditor && FInplaceEditor->HandleAllocated() && To == FInplaceEditor->Handle())
        return;
    InvalidateRow(FFocusedNode);
    if (FInplaceEditor)
        HideEditorOnExit();
    if (IsMultiSelect() && GetSelectedCount() > 0)
        InvalidateSelection();
    if (IsNewItemRowShown())
        Invalidate();
    if (FState == tsNodeDown)
        SetState(tsIdle);
}

void TCustomdxTreeList::WMCancelMode(TMessage& Message) {
    CancelMode();
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
}

void TCustomdxTreeList::CMCancelMode(TMessage& Message) {
    CancelMode();
    if (FInplaceEditor)
        FInplaceEditor->Dispatch(Message);
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
}

void TCustomdxTreeList::WMLButtonDown(TMessage& Message) {
    KillEditorTimer();
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    if (FInplaceEditor)
        FInplaceEditor->ClickTime = static_cast<Cardinal>(GetMessageTime());
}

void TCustomdxTreeList::WMIMEStartComposition(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    ShowEditor();
}

void TCustomdxTreeList::WMDestroy(TMessage& Message) {
    HidePanelButtonHint();
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
}

void TCustomdxTreeList::WMTimer(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    switch (Message.WParam) {
    case EditorTimer:
        KillEditorTimer();
        if (FState == tsIdle)
            ShowEditor();
        break;
    case 101: AutoExpandTimerFired(); break;
    case HintHideTimer: HidePanelButtonHint(); break;
    case HintShowTimer: ShowPanelButtonHint(true); break;
    default: break;
    }
}

void TCustomdxTreeList::CMColorChanged(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    LayoutChanged();
}

void TCustomdxTreeList::CMParentFontChanged(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    if (ParentFont()) {
        FInternalFontChange = true;
        try {
            FBandFont->Assign(Font());
            FHeaderFont->Assign(Font());
            FPreviewFont->SetName(Font()->Name());
            FPreviewFont->SetSize(Font()->Size());
            FPreviewFont->SetStyle(Font()->Style());
            FPreviewFont->SetColor(clBlue);
        } catch (...) {
            FInternalFontChange = false;
            throw;
        }
        FInternalFontChange = false;
    }
    LayoutChanged();
}

void TCustomdxTreeList::CMDesignHitTest(TMessage& Message) {
    HitInfo H;
    GetHitInfo(TPoint{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))}, H);
    static constexpr TdxTreeListHitKind Kinds[] = {htHeader, htColumnEdge, htBand, htBandEdge, htBandPanelEdge,
                                                   htHeaderPanelEdge, htRowEdge};
    static constexpr TdxTreeListState States[] = {tsColumnSizing, tsColumnDragging, tsColumnDown, tsBandSizing,
                                                  tsBandDragging, tsBandDown, tsBandPanelSizing, tsHeaderPanelSizing,
                                                  tsRowSizing};
    bool Hit = false;
    for (TdxTreeListHitKind K : Kinds)
        Hit = Hit || H.HitKind == K;
    for (TdxTreeListState S : States)
        Hit = Hit || FState == S;
    Message.Result = Hit ? 1 : 0;
}

void TCustomdxTreeList::CMMouseEnter(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    if (Message.LParam != 0 || !HandleAllocated())
        return;
    POINT P;
    GetCursorPos(&P);
    HitInfo H;
    GetHitInfo(ScreenToClient(TPoint{P.x, P.y}), H);
    UpdateHotTrack(H);
}

void TCustomdxTreeList::CMMouseLeave(TMessage& Message) {
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    if (Message.LParam != 0)
        return;
    HitInfo None;
    None.HitKind = htNowhere;
    UpdateHotTrack(None);
    HidePanelButtonHint();
}

// ---------------------------------------------------------------------------------------------
// Hot tracking and the status-panel button

void TCustomdxTreeList::InvalidateHotCell(TdxTreeListNode* Node, int Column, int Part) {
    if (!HandleAllocated())
        return;
    Layout L;
    CalcLayout(L);
    const HeaderCell* Cell = FindHeaderCell(L, Column);
    if (!Node) {
        if (Cell && Part != 0)
            InvalidateRect(Cell->ClipRect);
        return;
    }
    TRect Row;
    GetNodeRowRect(Node, Row);
    if (Row.Left == -1)
        return;
    int Ind, TextLeft;
    GetNodeIndent(Node, Ind, TextLeft);
    InvalidateRect(TRect{L.RowsRect.Left, Row.Top, L.RowsRect.Left + TextLeft, Row.Bottom});
    if (Cell)
        InvalidateRect(TRect{Cell->ClipRect.Left, Row.Top, Cell->ClipRect.Right, Row.Bottom});
}

void TCustomdxTreeList::UpdateHotTrack(const HitInfo& Info) {
    if (FState == tsIdle || FState == tsStatusButtonDown) {
        TRect Button;
        GetStatusButtonRect(Button);
        const bool Hot = HasStatusButton() && Button.Contains(TPoint{Info.X, Info.Y}) && Info.HitKind != htNowhere;
        if (Hot != FPanelButtonHot) {
            FPanelButtonHot = Hot;
            InvalidateRect(Button);
            if (!Hot || FState == tsStatusButtonDown)
                HidePanelButtonHint();
            else
                ShowPanelButtonHint(false);
        }
    }
    if (!FOptionsEx.Contains(txHotTrack) && !ShowHeaderButtons())
        return;
    TdxTreeListNode* OldNode = FHotInfo.Node;
    const int OldColumn = FHotInfo.Column, OldPart = FHotHeaderPart;
    TdxTreeListNode* Node = nullptr;
    int Column = -1, Part = 0;
    if (Info.Node && Info.Column >= 0 && IsHotTrackCell(Info.Node, Info.Column)) {
        Node = Info.Node;
        Column = Info.Column;
    } else if (Info.HitKind == htHeader && Info.Column >= 0 && GetHeaderHotPart(Info.X, Info.Y, Part, Info.Column)) {
        Column = Info.Column;
    } else {
        Part = 0;
    }
    if (Node == OldNode && Column == OldColumn && Part == OldPart)
        return;
    FHotInfo.Node = Node;
    FHotInfo.Column = Column;
    FHotHeaderPart = Part;
    if (Node == OldNode && Column == OldColumn) {
        InvalidateHotCell(OldNode, OldColumn, OldPart);
        InvalidateHotCell(Node, Column, Part);
        return;
    }
    // The cursor is assigned, not only shown: the next WM_SETCURSOR would put the old one back.
    TCursor C = FOwnCursor;
    DoGetHotCursor(Info, C);
    if (C != Cursor()) {
        FSettingHotCursor = true;
        try {
            SetCursor(C);
        } catch (...) {
            FSettingHotCursor = false;
            throw;
        }
        FSettingHotCursor = false;
    }
    InvalidateHotCell(OldNode, OldColumn, OldPart);
    InvalidateHotCell(Node, Column, Part);
}

void TCustomdxTreeList::ShowPanelButtonHint(bool Now) {
    HidePanelButtonHint();
    if (!HandleAllocated())
        return;
    if (!Now) {
        SetTimer(Handle(), HintShowTimer, 1000, nullptr);
        FHintShowing = true;
        return;
    }
    TRect Button;
    GetStatusButtonRect(Button);
    const TPoint P = ClientToScreen(TPoint{Button.Right + 4, Button.Top - FTextHeight});
    FHintWindow = Create<TdxContainerHintWindow>(this);
    FHintWindow->ShowHintAt(P, GetStatusButtonHint(), Font());
    SetTimer(Handle(), HintHideTimer, 5000, nullptr);
    FHintHiding = true;
}

void TCustomdxTreeList::HidePanelButtonHint() {
    if (HandleAllocated()) {
        if (FHintShowing)
            KillTimer(Handle(), HintShowTimer);
        if (FHintHiding)
            KillTimer(Handle(), HintHideTimer);
    }
    FHintShowing = FHintHiding = false;
    if (FHintWindow) {
        TdxContainerHintWindow* W = FHintWindow;
        FHintWindow = nullptr;
        W->Free();
    }
}

// ---------------------------------------------------------------------------------------------
// Ending a mouse interaction

void TCustomdxTreeList::CancelMode() {
    if (IsSizingState(FState)) {
        SetState(tsIdle);
        SetCursor(Cursor());
    } else {
        switch (FState) {
        case tsBandDown:
            SetState(tsIdle);
            InvalidateBandOf(FPressedBand);
            FPressedBand = -1;
            break;
        case tsBandDragging: EndBandDrag(false); break;
        case tsColumnDragging: EndColumnDrag(false); break;
        case tsBandButtonDown:
        case tsHeaderButtonDown:
            SetState(tsIdle);
            FPressedShown = false;
            Invalidate();
            break;
        case tsColumnDown:
            SetState(tsIdle);
            InvalidateHeaderOf(FPressedColumn);
            FPressedColumn = -1;
            break;
        case tsDropDownButtonDown:
            SetState(tsIdle);
            InvalidateHeaderOf(FDropDownColumn);
            FDropDownColumn = -1;
            FPressedColumn = -1;
            break;
        case tsStatusButtonDown: {
            SetState(tsIdle);
            FPanelButtonPressed = false;
            TRect R;
            GetStatusButtonRect(R);
            InvalidateRect(R);
            break;
        }
        default: break;
        }
    }
    HidePanelButtonHint();
}

void TCustomdxTreeList::HideUnneededScrollBars() {
    if (!HandleAllocated() || KeepBothScrollBars())
        return;
    const LONG Style = GetWindowLongA(Handle(), GWL_STYLE);
    if (!(Style & WS_HSCROLL) || !(Style & WS_VSCROLL))
        return;
    TRect R;
    GetDataRect(R);
    int Partial, Full;
    CountRowsInHeight(FTopNode ? FTopNode : GetFirstRootNode(), R.Height() + GetSystemMetrics(SM_CYHSCROLL), Partial,
                      Full);
    if (Full >= GetRowCount() && GetScrollableWidth() + GetSystemMetrics(SM_CXVSCROLL) >= GetScrollableContentWidth()) {
        SetWindowLongA(Handle(), GWL_STYLE, Style & ~(WS_HSCROLL | WS_VSCROLL));
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}
