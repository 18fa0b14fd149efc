// Dragging in the tree list: nodes through the framework's drag and drop (image, cursors,
// auto-scroll, auto-expand), band and column headers to new places with drop arrows, the sizing
// line, and the full-scroll mode of the middle button.
#include "dxTL.h"

#include "Forms.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr UINT_PTR AutoExpandTimerId = 101, DragScrollTimerId = 1;
constexpr TCursor crTreeListDelete = -1124;
constexpr TCursor crDragCopy = -1138, crMultiDragCopy = -1139;

// The screen pixels under the drop arrows.
TBitmap* ArrowBitmap = nullptr;

void StopDragTimer(HWND Wnd, UINT_PTR& Timer) {
    if (Timer != static_cast<UINT_PTR>(-1)) {
        KillTimer(Wnd, DragScrollTimerId);
        Timer = static_cast<UINT_PTR>(-1);
    }
}

void StartHorzScroll(HWND Wnd, bool Left) {
    HorzDragScrollLeft = Left;
    if (HorzDragScrollTimer == static_cast<UINT_PTR>(-1))
        HorzDragScrollTimer = SetTimer(Wnd, DragScrollTimerId, 100, HorzDragScrollTimerProc);
}

bool IsSizing(TdxTreeListState S) {
    return S == tsColumnSizing || S == tsBandSizing || S == tsBandPanelSizing || S == tsHeaderPanelSizing ||
           S == tsRowSizing;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Feedback: sizing line, drop arrows, hiding both while the window scrolls

void TCustomdxTreeList::ToggleSizingLine() {
    if (!HandleAllocated() || !IsSizing(FState))
        return;
    Layout L;
    CalcLayoutAreas(L);
    HDC DC = GetDC(Handle());
    const int OldRop = SetROP2(DC, R2_NOT);
    HGDIOBJ OldPen = SelectObject(DC, GetStockObject(BLACK_PEN));
    auto Line = [&](int X1, int Y1, int X2, int Y2) {
        MoveToEx(DC, X1, Y1, nullptr);
        LineTo(DC, X2, Y2);
    };
    const TRect& D = L.RowsRect;
    switch (FState) {
    case tsColumnSizing:
        Line(FSizingPos, IsPointRect(L.HeaderPanelRect) ? D.Top : L.HeaderPanelRect.Top, FSizingPos, D.Bottom);
        break;
    case tsBandSizing: {
        const int Top = !IsPointRect(L.BandPanelRect) ? L.BandPanelRect.Top : L.HeaderPanelRect.Top;
        Line(FSizingPos, Top, FSizingPos, D.Bottom);
        Line(FSizingPos + 1, Top, FSizingPos + 1, D.Bottom);
        break;
    }
    case tsBandPanelSizing:
    case tsHeaderPanelSizing:
        Line(D.Left, FSizingPos, D.Right, FSizingPos);
        Line(D.Left, FSizingPos + 1, D.Right, FSizingPos + 1);
        break;
    case tsRowSizing:
        Line(FShowIndicator ? L.IndicatorRect.Left : D.Left, FSizingPos, D.Right, FSizingPos);
        break;
    default: break;
    }
    SelectObject(DC, OldPen);
    SetROP2(DC, OldRop);
    ReleaseDC(Handle(), DC);
}

void TCustomdxTreeList::ToggleDropArrows(bool CheckOverlap) {
    const TRect Area{FArrowPos.X, FArrowPos.Y, FArrowPos.X + FArrowRect.Width(), FArrowPos.Y + FArrowRect.Height()};
    bool Hidden = false;
    if (CheckOverlap && FDragImageList && FDragImageList->Dragging()) {
        const TPoint P = FDragImageList->DragPosition(), H = FDragImageList->DragHotspot();
        const TRect Image{P.X - H.X, P.Y - H.Y, P.X - H.X + FDragImageList->Width(),
                          P.Y - H.Y + FDragImageList->Height()};
        RECT I;
        if (IntersectRect(&I, Image, Area)) {
            FDragImageList->HideDragImage();
            Hidden = true;
        }
    }
    HDC DC = GetDC(nullptr);
    if (FArrowsShown) {
        BitBlt(DC, Area.Left, Area.Top, Area.Width(), Area.Height(), ArrowBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
        FArrowsShown = false;
    } else if (ArrowBitmap) {
        BitBlt(ArrowBitmap->Canvas()->Handle(), 0, 0, Area.Width(), Area.Height(), DC, Area.Left, Area.Top, SRCCOPY);
        FArrowsShown = true;
        HBRUSH Brush = CreateSolidBrush(ColorToRGB(ArrowColor));
        HGDIOBJ OldBrush = SelectObject(DC, Brush);
        HGDIOBJ OldPen = SelectObject(DC, GetStockObject(BLACK_PEN));
        const int X = Area.Left, Y = Area.Top, B = Area.Bottom;
        const POINT Down[] = {{X + 5, Y + 8}, {X, Y + 3}, {X + 3, Y + 3}, {X + 3, Y}, {X + 7, Y}, {X + 7, Y + 3},
                              {X + 10, Y + 3}};
        const POINT Up[] = {{X + 5, B - 9}, {X + 10, B - 4}, {X + 7, B - 4}, {X + 7, B - 1},
                            {X + 3, B - 1}, {X + 3, B - 4},  {X, B - 4}};
        Polygon(DC, Down, 7);
        Polygon(DC, Up, 7);
        SelectObject(DC, OldPen);
        SelectObject(DC, OldBrush);
        DeleteObject(Brush);
    }
    ReleaseDC(nullptr, DC);
    if (Hidden)
        FDragImageList->ShowDragImage();
}

void TCustomdxTreeList::HideDragFeedback() {
    if (FDragFeedbackLock++ != 0)
        return;
    ToggleSizingLine();
    if ((FState == tsColumnDragging || FState == tsBandDragging) && FArrowsShown)
        ToggleDropArrows(true);
    if (FDragImageList)
        FDragImageList->HideDragImage();
    if (TDragObject* D = ActiveDragObject())
        D->HideDragImage();
}

void TCustomdxTreeList::ShowDragFeedback() {
    if (--FDragFeedbackLock != 0)
        return;
    ToggleSizingLine();
    if ((FState == tsColumnDragging || FState == tsBandDragging) && !FArrowsShown && FArrowPos.X != -100)
        ToggleDropArrows(true);
    if (FDragImageList)
        FDragImageList->ShowDragImage();
    if (TDragObject* D = ActiveDragObject())
        D->ShowDragImage();
}

void TCustomdxTreeList::FreeDragImages() {
    if (!FDragImageList)
        return;
    FDragImageList->EndDrag();
    TDragImageList* L = FDragImageList;
    FDragImageList = nullptr;
    L->Free();
}

// ---------------------------------------------------------------------------------------------
// Node dragging

TDragImageList* TCustomdxTreeList::CreateNodeDragImage(TdxTreeListNode* Node, int Column) {
    if (Column == -1)
        Column = 0;
    TRect R;
    std::string Text;
    if (GetVisibleColumnCount() > 0) {
        GetCellRect(Node, GetColumnNavigationIndex(Column), R);
        Text = GetDragImageCellText(Node, Column);
    }
    if (GetVisibleColumnCount() == 0 || R.IsEmpty())
        R = TRect{0, 0, FRowHeight, 16};
    const int W = R.Width(), H = R.Height();
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetSize(W + 26, H + 6);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(Color());
    C->FillRect(TRect{0, 0, W + 26, H + 6});
    C->Font()->Assign(Font());
    TRect F{20, 0, W + 26, H + 6};
    for (int I = 0; I < 3; ++I) {
        DrawFocusRect(C->Handle(), F);
        InflateRect(F, -1, -1);
    }
    InflateRect(F, -1, -1);
    if (FStateImages && Node->StateIndex() != -1) {
        DrawImageCentered(C, TRect{F.Left, F.Top, F.Left + FStateImageWidth, F.Bottom}, FStateImages,
                          Node->StateIndex());
        F.Left += FStateImageWidth;
    }
    if (FImages && Node->ImageIndex() != -1) {
        DrawImageCentered(C, TRect{F.Left, F.Top, F.Left + FImageWidth, F.Bottom}, FImages, Node->ImageIndex());
        F.Left += FImageWidth;
    }
    SetBkMode(C->Handle(), TRANSPARENT);
    DrawTextA(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), F,
              DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
    if (!FDragImageList)
        FDragImageList = TCustomImageList::CreateSize<TDragImageList>(W + 26, H + 6);
    FDragImageList->AddMasked(B.get(), Color());
    return FDragImageList;
}

void TCustomdxTreeList::DoStartDrag(TDragObject*& DragObject) {
    if (FState == tsEditing)
        HideEditorOnExit();
    KillEditorTimer();
    TCustomdxContainer::DoStartDrag(DragObject);
    if (!FDragNode) {
        POINT P;
        GetCursorPos(&P);
        const TPoint C = ScreenToClient(TPoint{P.x, P.y});
        FDragNode = GetNodeAt(C.X, C.Y);
    }
    if (FDragNode) {
        DoStartNodeDrag(FDragNode);
        CreateNodeDragImage(FDragNode, GetFocusedAbsoluteColumn());
        SetState(tsNodeDragging);
    }
    SetDragTarget(nullptr);
}

void TCustomdxTreeList::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    TCustomdxContainer::DragOver(Source, X, Y, State, Accept);
    if (!Dragging() && !FDragTarget)
        return;
    StopDragTimer(Handle(), HorzDragScrollTimer);
    StopDragTimer(Handle(), VertDragScrollTimer);
    HitInfo H;
    GetHitInfo(TPoint{X, Y}, H);
    if (IsDragExpand() && H.HitKind == htButton && H.Node) {
        FAutoExpandNode = H.Node;
        KillTimer(Handle(), AutoExpandTimerId);
        FAutoExpandTimer = SetTimer(Handle(), AutoExpandTimerId, AutoExpandDelay, nullptr);
    }
    if (!IsDragScroll())
        return;
    Layout L;
    CalcLayoutAreas(L);
    const int Left = !IsPointRect(L.LeftFixedRect) ? L.LeftFixedRect.Right : L.RowsRect.Left;
    const int Right = !IsPointRect(L.RightFixedRect) ? L.RightFixedRect.Left : L.RowsRect.Right;
    if (Left < X && X < Left + 12)
        StartHorzScroll(Handle(), true);
    else if (Right - 12 < X && X <= Right)
        StartHorzScroll(Handle(), false);
    const TdxTreeListHitKind K = H.HitKind;
    if (H.Node && (K == htButton || K == htImage || K == htStateImage || K == htIndent || K == htCell ||
                   K == htRowRight || K == htGroupFooter || K == htPreview)) {
        int C = H.Column == -1 ? GetFocusedAbsoluteColumn() : H.Column;
        if (H.Node != FFocusedNode)
            SetFocusedNode(H.Node, GetColumnNavigationIndex(C), true);
        else if (!IsRowSelect() && C != -1 && C != GetFocusedAbsoluteColumn())
            SetFocusedNode(H.Node, GetColumnNavigationIndex(C), true);
        UpdateWindow(Handle());
        if (H.Node == FTopNode && !IsFirstRow(FTopNode)) {
            VertDragScrollUp = true;
            VertDragScrollTimer = SetTimer(Handle(), DragScrollTimerId, 100, VertDragScrollTimerProc);
        } else if (GetRowIndex(H.Node) >= GetRowIndex(FTopNode) + FVisibleRowCount - 1 && !IsLastRow(H.Node)) {
            VertDragScrollUp = false;
            VertDragScrollTimer = SetTimer(Handle(), DragScrollTimerId, 100, VertDragScrollTimerProc);
        }
    }
}

void TCustomdxTreeList::DoEndDrag(TObject* Target, int X, int Y) {
    TCustomdxContainer::DoEndDrag(Target, X, Y);
    FDragNode = nullptr;
    SetDragTarget(nullptr);
    SetState(tsIdle);
    FreeDragImages();
    if (HandleAllocated()) {
        StopDragTimer(Handle(), HorzDragScrollTimer);
        StopDragTimer(Handle(), VertDragScrollTimer);
    }
}

void TCustomdxTreeList::CMDrag(TMessage& Message) {
    const bool Copy = CanDragCopy() && GetKeyState(VK_CONTROL) < 0;
    DragCursor = GetSelectedCount() < 2 ? (Copy ? crDragCopy : crDrag) : (Copy ? crMultiDragCopy : crMultiDrag);
    InheritedDispatch(TCustomdxTreeList::StaticClass(), Message);
    if (FState == tsNodeDragging || Dragging())
        return;
    auto* Rec = reinterpret_cast<TDragRec*>(Message.LParam);
    switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
        if (OnDragOver)
            SetDragTarget(Rec->Source);
        break;
    case dmDragLeave:
    case dmDragDrop: SetDragTarget(nullptr); break;
    default: break;
    }
}

void TCustomdxTreeList::SetDragTarget(TDragObject* Value) {
    if (Value == FDragTarget)
        return;
    TDragObject* Old = FDragTarget;
    if (!Value && Old)
        Old->HideDragImage();
    FDragTarget = Value;
    InvalidateRow(FFocusedNode);
    if (HandleAllocated())
        UpdateWindow(Handle());
    if (!Value && Old)
        Old->ShowDragImage();
    if (!Value)
        FAutoExpandNode = nullptr;
}

void TCustomdxTreeList::AutoExpandTimerFired() {
    KillTimer(Handle(), AutoExpandTimerId);
    FAutoExpandTimer = 0;
    POINT P;
    GetCursorPos(&P);
    HitInfo H;
    GetHitInfo(ScreenToClient(TPoint{P.x, P.y}), H);
    if (H.HitKind != htButton || !H.Node || H.Node != FAutoExpandNode)
        return;
    if (IsDragExpandToggles()) {
        H.Node->SetExpanded(!H.Node->Expanded());
        FAutoExpandTimer = SetTimer(Handle(), AutoExpandTimerId, 2 * AutoExpandDelay, nullptr);
    } else {
        H.Node->SetExpanded(true);
    }
}

// ---------------------------------------------------------------------------------------------
// Header dragging

namespace {
void PrepareArrowBitmap(TRect& ArrowRect, int PanelHeight) {
    ArrowRect = TRect{0, 0, 11, PanelHeight + 18};
    if (!ArrowBitmap)
        ArrowBitmap = Create<TBitmap>();
    if (ArrowBitmap->Width() < ArrowRect.Width() || ArrowBitmap->Height() < ArrowRect.Height())
        ArrowBitmap->SetSize(std::max(ArrowBitmap->Width(), static_cast<int>(ArrowRect.Width())),
                             std::max(ArrowBitmap->Height(), static_cast<int>(ArrowRect.Height())));
}
}  // namespace

void TCustomdxTreeList::CreateBandDragImage(int Band) {
    const int Visible = GetVisibleBandIndex(Band);
    int W = Visible >= 0 && Visible < GetVisibleBandCount()
                ? GetBandDisplayWidth(Visible) + (Visible == 0 ? GetFirstBandExtraWidth() : 0)
                : GetBandWidthByIndex(Band);
    W = std::min(std::max(W, 1), Screen->Width());
    const int H = std::max(FBandPanelHeight, 1);
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetSize(W, H);
    B->Canvas()->Font()->Assign(FBandFont);
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(BandColor));
    SetTextColor(B->Canvas()->Handle(), ColorToRGB(FBandFont->Color()));
    DrawHeaderCell(B->Canvas()->Handle(), TRect{0, 0, W, H}, Brush, 0, FDrawStyle, 0, nullptr, 0,
                   GetBandAlignmentByIndex(Band), FBandLineCount > 1, false, GetBandCaptionByIndex(Band));
    DeleteObject(Brush);
    if (!FDragImageList)
        FDragImageList = TCustomImageList::CreateSize<TDragImageList>(W, H);
    FDragImageList->AddMasked(B.get(), clNone);
}

void TCustomdxTreeList::CreateColumnDragImage(int Column) {
    int W = GetColumnWidth(Column);
    if (IsColumnVisible(Column)) {
        Layout L;
        CalcLayout(L);
        if (const HeaderCell* C = FindHeaderCell(L, Column))
            W = C->Rect.Width();
    }
    if (W < 1)
        W = 20;
    W = std::min(W, Screen->Width());
    const int H = std::max(FHeaderRowHeight, 1);
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetSize(W, H);
    B->Canvas()->Font()->Assign(FHeaderFont);
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(HeaderColor));
    SetTextColor(B->Canvas()->Handle(), ColorToRGB(FHeaderFont->Color()));
    DrawHeaderCell(B->Canvas()->Handle(), TRect{0, 0, W, H}, Brush, 0, FDrawStyle, 0,
                   ColumnHasHeaderGlyph(Column) ? GetColumnHeaderGlyph(Column) : nullptr, GetColumnSorted(Column),
                   GetColumnHeaderAlignment(Column), FHeaderLineCount > 1, false, GetColumnCaption(Column));
    DeleteObject(Brush);
    if (!FDragImageList)
        FDragImageList = TCustomImageList::CreateSize<TDragImageList>(W, H);
    FDragImageList->AddMasked(B.get(), clNone);
}

void TCustomdxTreeList::StartBandDrag(int Band) {
    PrepareArrowBitmap(FArrowRect, FBandPanelHeight);
    CreateBandDragImage(Band);
    BeginHeaderDrag(tsBandDragging);
}

void TCustomdxTreeList::StartColumnDrag(int Column) {
    PrepareArrowBitmap(FArrowRect, FHeaderRowHeight);
    CreateColumnDragImage(Column);
    BeginHeaderDrag(tsColumnDragging);
}

void TCustomdxTreeList::BeginHeaderDrag(TdxTreeListState DragState) {
    Application->CancelHint();
    FDragImageList->SetDragImage(0, FDragImageList->Width() / 2, FDragImageList->Height() / 2);
    FArrowPos = TPoint{-100, -100};
    FArrowsShown = false;
    ToggleDropArrows(false);
    POINT P;
    GetCursorPos(&P);
    FDragImageList->BeginDrag(GetDesktopWindow(), P.x, P.y);
    SetState(DragState);
}

void TCustomdxTreeList::GetHeaderDragCursor(TPoint P, TCursor& Cursor) {
    if (TWinControl* F = CustomizingForm()) {
        RECT R;
        GetWindowRect(F->Handle(), &R);
        if (PtInRect(&R, POINT{P.X, P.Y})) {
            Cursor = crDrag;
            if (FState == tsColumnDragging && FDragColumn >= 0 && IsColumnCustomizingDisabled(FDragColumn))
                Cursor = crTreeListDelete;
            return;
        }
    }
    if (FState == tsColumnDragging && GetVisibleBandCount() == 0)
        Cursor = crTreeListDelete;
}

namespace {
bool OverForm(TWinControl* F, TPoint P) {
    if (!F || !F->HandleAllocated())
        return false;
    RECT R;
    GetWindowRect(F->Handle(), &R);
    return PtInRect(&R, POINT{P.X, P.Y}) != FALSE;
}
}  // namespace

void TCustomdxTreeList::GetHeaderDropPosition(TPoint& ScreenPoint, HeaderDropTarget* Target, int Dragged, int Pressed,
                                              bool IsBand) {
    HeaderDropTarget T;
    TPoint Arrow{-100, -100};
    auto Done = [&](bool Found) {
        if (Target)
            *Target = T;
        if (Found)
            ScreenPoint = ClientToScreen(Arrow);
        else
            ScreenPoint = TPoint{-100, -100};
    };
    if (OverForm(CustomizingForm(), ScreenPoint)) {
        Done(false);
        return;
    }
    const TPoint P = ScreenToClient(ScreenPoint);
    Layout L;
    CalcLayout(L);
    if (IsBand) {
        if (P.Y < L.BandPanelRect.Top || P.Y >= L.BandPanelRect.Bottom) {
            Done(false);
            return;
        }
        T.Band = -2;
        if (L.Bands.empty()) {
            T.Band = 0;
            Arrow = TPoint{L.BandPanelRect.Left - 5, L.BandPanelRect.Top - 9};
            Done(true);
            return;
        }
        const BandItem* Hit = nullptr;
        bool Before = true;
        for (const BandItem& B : L.Bands)
            if (P.X >= B.ClipRect.Left && P.X < B.ClipRect.Right) {
                Hit = &B;
                Before = P.X <= (B.Rect.Left + B.Rect.Right) / 2;
            }
        const BandItem& Last = L.Bands.back();
        if (!Hit && P.X >= Last.ClipRect.Right && Last.Band != Pressed && Last.Band != GetRightFixedBand()) {
            Hit = &Last;
            Before = false;
        }
        if (!Hit || Hit->Band == Pressed) {
            Done(false);
            return;
        }
        int Target2 = Hit->Band;
        if ((Before && Target2 == Pressed + 1 && Pressed >= 0) || (!Before && Target2 == Pressed - 1) ||
            (Before && Target2 == GetLeftFixedBand() && Target2 >= 0) ||
            (!Before && Target2 == GetRightFixedBand() && Target2 >= 0)) {
            Done(false);
            return;
        }
        if (Before && Pressed >= 0 && Pressed < Target2)
            --Target2;
        else if (!Before && (Target2 < Pressed || Pressed < 0))
            ++Target2;
        T.Band = Target2;
        const int X = std::clamp<int>(Before ? Hit->Rect.Left : Hit->Rect.Right, L.BandPanelRect.Left - 5,
                                      L.BandPanelRect.Right);
        Arrow = TPoint{X - 5, Hit->Rect.Top - 9};
        Done(true);
        return;
    }
    if (L.Bands.empty() || P.Y < L.HeaderPanelRect.Top || P.Y >= L.HeaderPanelRect.Bottom) {
        Done(false);
        return;
    }
    T = HeaderDropTarget{-1, -1, -1, -2};
    const int DraggedBand = Dragged >= 0 ? GetColumnBandIndex(Dragged) : -1;
    auto Refused = [&](const HeaderCell& C) {
        return DraggedBand != C.Band && DraggedBand >= 0 && GetBandOnlyOwnColumns();
    };
    const HeaderCell* Hit = nullptr;
    for (const HeaderCell& C : L.HeaderCells)
        if (!IsColumnLocked(C.Column) && P.X >= C.ClipRect.Left && P.X < C.ClipRect.Right && P.Y >= C.Rect.Top &&
            P.Y < C.Rect.Bottom)
            Hit = &C;
    bool Before = true;
    if (!Hit) {
        // Right of the last band: after the last cell of the row under the point.
        const int LastRight = L.Bands.back().Rect.Right;
        if (P.X >= LastRight) {
            for (const HeaderCell& C : L.HeaderCells)
                if (P.Y >= C.Rect.Top && P.Y < C.Rect.Bottom && C.Band == L.Bands.back().Band && C.LastInRow)
                    Hit = &C;
            Before = false;
        } else {
            for (auto I = L.HeaderCells.rbegin(); I != L.HeaderCells.rend(); ++I)
                if (!Refused(*I) && P.X >= I->Rect.Left && P.X < I->Rect.Right) {
                    T = HeaderDropTarget{I->Band, I->RowPosition, I->BandRow + 1, -3};
                    Arrow = TPoint{static_cast<int>(I->Rect.Left) - 5, static_cast<int>(I->Rect.Bottom) - 9};
                    Done(true);
                    return;
                }
            for (const BandItem& B : L.Bands)
                if (P.X >= B.Rect.Left && P.X < B.Rect.Right && !(DraggedBand != B.Band && GetBandOnlyOwnColumns())) {
                    T = HeaderDropTarget{B.Band, 0, 0, -3};
                    Arrow = TPoint{std::max<int>(B.Rect.Left, L.RowsRect.Left) - 5,
                                   static_cast<int>(L.HeaderPanelRect.Top) - 9};
                    Done(true);
                    return;
                }
            Done(false);
            return;
        }
        if (!Hit) {
            Done(false);
            return;
        }
    } else {
        Before = P.X <= (Hit->Rect.Left + Hit->Rect.Right) / 2;
    }
    if (Refused(*Hit) || Hit->Column == Pressed) {
        T = HeaderDropTarget{Hit->Band, Hit->RowPosition, Hit->BandRow, -2};
        Done(false);
        return;
    }
    T = HeaderDropTarget{Hit->Band, Hit->RowPosition, Hit->BandRow, Hit->Column};
    const bool SameRow = Dragged >= 0 && Pressed >= 0 && DraggedBand == Hit->Band &&
                         GetColumnRowIndex(Dragged) == Hit->BandRow;
    if (SameRow) {
        const int D = GetColumnNavigationIndex(Dragged), C = GetColumnNavigationIndex(Hit->Column);
        if ((Before && C == D + 1) || (!Before && C == D - 1)) {
            T.Column = -2;
            Done(false);
            return;
        }
    }
    int Col = Before ? Hit->RowPosition : Hit->RowPosition + 1;
    if (SameRow && GetColumnColIndex(Dragged) < Col)
        --Col;
    T = HeaderDropTarget{Hit->Band, Col, Hit->BandRow, -3};
    const int X = std::clamp<int>(Before ? Hit->Rect.Left : Hit->Rect.Right, L.RowsRect.Left - 5, L.RowsRect.Right);
    Arrow = TPoint{X - 5, static_cast<int>(Hit->Rect.Top) - 9};
    Done(true);
}

namespace {
// The drag image follows the mouse; the delete cursor shifts it left of the cursor.
void MoveDragImage(TDragImageList* Images, TPoint P, TCursor Cursor) {
    const int E = Cursor == crTreeListDelete ? 32 : 0;
    const TPoint Hot{(Images->Width() - E) / 2, Images->Height() / 2};
    if (Images->Dragging() && Images->DragHotspot().X == Hot.X && Images->DragHotspot().Y == Hot.Y) {
        Images->DragMove(P.X - E / 2, P.Y);
        return;
    }
    Images->EndDrag();
    Images->SetDragImage(0, Hot.X, Hot.Y);
    Images->BeginDrag(GetDesktopWindow(), P.X - E / 2, P.Y);
}
}  // namespace

void TCustomdxTreeList::DragBandMove() { DragHeaderMove(true); }

void TCustomdxTreeList::DragColumnMove() { DragHeaderMove(false); }

void TCustomdxTreeList::DragHeaderMove(bool IsBand) {
    StopDragTimer(Handle(), HorzDragScrollTimer);
    POINT SP;
    GetCursorPos(&SP);
    TPoint P{SP.x, SP.y};
    TPoint A = P;
    if (IsBand)
        GetHeaderDropPosition(A, nullptr, FDragBand, FPressedBand, true);
    else
        GetHeaderDropPosition(A, nullptr, FDragColumn, FPressedColumn, false);
    if (A.X != FArrowPos.X || A.Y != FArrowPos.Y) {
        if (FArrowsShown)
            ToggleDropArrows(true);
        FArrowPos = A;
        if (A.X != -100)
            ToggleDropArrows(true);
    }
    Layout L;
    CalcLayoutAreas(L);
    const TRect& Panel = IsBand ? L.BandPanelRect : L.HeaderPanelRect;
    const TPoint C = ScreenToClient(P);
    TCursor Cursor = C.Y >= Panel.Top && C.Y < Panel.Bottom && C.X >= 0 && C.X < ClientWidth() ? this->Cursor()
                                                                                              : crTreeListDelete;
    GetHeaderDragCursor(P, Cursor);
    bool Accept = Cursor != crTreeListDelete;
    if (IsBand)
        DoDragOverBand(C, FDragBand, Accept);
    else
        DoDragOverColumn(C, FDragColumn, Accept);
    Cursor = Accept ? this->Cursor() : crTreeListDelete;
    if (FDragImageList) {
        if (Cursor != FDragImageList->DragCursor) {
            FDragImageList->HideDragImage();
            FDragImageList->DragCursor = Cursor;
            ::SetCursor(Screen->Cursors(Cursor));
            FDragImageList->ShowDragImage();
        }
        MoveDragImage(FDragImageList, P, Cursor);
    }
    if (!OverForm(CustomizingForm(), P)) {
        const int Left = !IsPointRect(L.LeftFixedRect) ? L.LeftFixedRect.Right : Panel.Left;
        const int Right = !IsPointRect(L.RightFixedRect) ? L.RightFixedRect.Left : Panel.Right;
        if (C.X > Left && C.X < Left + 12)
            StartHorzScroll(Handle(), true);
        else if (C.X > Right - 12 && C.X <= Right)
            StartHorzScroll(Handle(), false);
    }
}

bool TCustomdxTreeList::FinishHeaderDrag(bool IsBand, bool Drop, int& Pressed, int& Dragged, TPoint& P,
                                         HeaderDropTarget& T) {
    SetState(tsIdle);
    FreeDragImages();
    if (FArrowsShown)
        ToggleDropArrows(false);
    FArrowPos = TPoint{-100, -100};
    int& PressedField = IsBand ? FPressedBand : FPressedColumn;
    int& DragField = IsBand ? FDragBand : FDragColumn;
    Pressed = PressedField;
    PressedField = -1;
    Invalidate();
    if (HandleAllocated())
        StopDragTimer(Handle(), HorzDragScrollTimer);
    Dragged = DragField;
    DragField = -1;
    if (!Drop || Dragged < 0)
        return false;
    POINT SP;
    GetCursorPos(&SP);
    P = TPoint{SP.x, SP.y};
    if (!OverForm(CustomizingForm(), P))
        GetHeaderDropPosition(P, &T, Dragged, Pressed, IsBand);
    return true;
}

void TCustomdxTreeList::EndBandDrag(bool Drop) {
    int Pressed, Band;
    TPoint P;
    HeaderDropTarget T;
    if (!FinishHeaderDrag(true, Drop, Pressed, Band, P, T))
        return;
    bool Accept = true;
    int Target = T.Band;
    DoEndDragBand(P, Band, Accept, Target, Pressed);
    if (!Accept)
        return;
    if (Pressed == -1) {
        if (IsCustomizing() && Target != -1 && Target != -2)
            ShowBandAt(Target, Band);
    } else if (Target != -1 && Target != -2 && Target != Pressed) {
        MoveBand(Pressed, Target);
        MakeBandVisible(Target);
    } else if (Target == -1 && (IsCustomizing() || IsDragOutHides()) && !IsBandCustomizingDisabled(Band)) {
        HideBand(Band);
    }
}

void TCustomdxTreeList::EndColumnDrag(bool Drop) {
    int Pressed, Column;
    TPoint P;
    HeaderDropTarget T;
    if (!FinishHeaderDrag(false, Drop, Pressed, Column, P, T))
        return;
    bool Accept = true;
    DoEndDragColumn(P, Column, Accept, T);
    if (!Accept)
        return;
    if (!IsColumnVisible(Column)) {
        if (IsCustomizingColumns() && T.Column != -1 && T.Column != -2)
            ShowColumnAt(T.Band, T.Row, Column, T.Col);
    } else if (T.Column != -1 && T.Column != -2 && T.Column != Column) {
        MoveColumn(Column, T.Band, T.Col, T.Row);
        MakeColumnVisible(Column);
    } else if (T.Column == -1 && (IsCustomizingColumns() || IsDragOutHides()) &&
               !IsColumnCustomizingDisabled(Column) && GetVisibleColumnCount() > 1) {
        HideColumn(Column);
    }
}

// ---------------------------------------------------------------------------------------------
// Full-scroll mode

const char* TCustomdxTreeList::FullScrollBitmapName(bool HasH, bool HasV) {
    if (!HasH)
        return "RODERA_VERSCROLLBITMAP";
    if (!HasV)
        return "RODERA_HORSCROLLBITMAP";
    return "RODERA_FULLSCROLLBITMAP";
}

void TCustomdxTreeList::FullScrollDirection(TPoint Anchor, int W, bool HasH, bool HasV, TPoint P, int& Direction,
                                            int& Speed) {
    const bool InX = !HasH || std::abs(P.X - Anchor.X) <= W / 2;
    const bool InY = !HasV || std::abs(P.Y - Anchor.Y) <= W / 2;
    if (InX && InY) {
        Direction = Speed = 0;
        return;
    }
    const int DX = P.X - Anchor.X, DY = P.Y - Anchor.Y;
    int D;
    if (!HasH || (HasV && std::abs(DY) >= std::abs(DX))) {
        Direction = DY < 0 ? 2 : 4;
        D = std::abs(DY);
    } else {
        Direction = DX < 0 ? 1 : 3;
        D = std::abs(DX);
    }
    Speed = std::min((D - W / 2) / 5 + 1, 12);
}

TCursor TCustomdxTreeList::FullScrollCursor(int Direction, bool HasH, bool HasV) {
    switch (Direction) {
    case 1: return -1137;
    case 2: return -1134;
    case 3: return -1135;
    case 4: return -1136;
    default: return HasH && HasV ? -1131 : (HasH ? -1132 : -1133);
    }
}

void TCustomdxTreeList::FullScrollStep(int Direction) {
    switch (Direction) {
    case 1: Perform(WM_HSCROLL, SB_LINELEFT, 0); break;
    case 2: Perform(WM_VSCROLL, SB_LINEUP, 0); break;
    case 3: Perform(WM_HSCROLL, SB_LINERIGHT, 0); break;
    case 4: Perform(WM_VSCROLL, SB_LINEDOWN, 0); break;
    default: break;
    }
}

void TCustomdxTreeList::FullScroll() {
    if (!HandleAllocated())
        return;
    const LONG Style = GetWindowLongA(Handle(), GWL_STYLE);
    const bool HasH = (Style & WS_HSCROLL) != 0, HasV = (Style & WS_VSCROLL) != 0;
    POINT AP;
    GetCursorPos(&AP);
    const TPoint Anchor{AP.x, AP.y};
    HBITMAP Bmp = LoadBitmapA(GetModuleHandleA(nullptr), FullScrollBitmapName(HasH, HasV));
    BITMAP BI{};
    if (Bmp)
        GetObjectA(Bmp, sizeof(BI), &BI);
    const int W = Bmp ? BI.bmWidth : 29, H = Bmp ? BI.bmHeight : 29;
    HWND AnchorWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, Anchor.X - W / 2, Anchor.Y - H / 2, W, H, Handle(),
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowRgn(AnchorWnd, CreateEllipticRgn(0, 0, W + 1, H + 1), FALSE);
    SetWindowPos(AnchorWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    auto PaintAnchor = [&] {
        HDC DC = GetWindowDC(AnchorWnd);
        if (Bmp) {
            HDC MemDC = CreateCompatibleDC(DC);
            HGDIOBJ Old = SelectObject(MemDC, Bmp);
            BitBlt(DC, 0, 0, W, H, MemDC, 0, 0, SRCCOPY);
            SelectObject(MemDC, Old);
            DeleteDC(MemDC);
        }
        HRGN R = CreateEllipticRgn(0, 0, W + 1, H + 1);
        FrameRgn(DC, R, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
        DeleteObject(R);
        ReleaseDC(AnchorWnd, DC);
    };
    PaintAnchor();
    int Direction = 0, Speed = 1, Counter = 0;
    bool HasLeft = false;
    ::SetCursor(Screen->Cursors(FullScrollCursor(0, HasH, HasV)));
    const UINT_PTR Timer = SetTimer(nullptr, 0, 20, nullptr);
    SetCapture(Handle());
    TPoint Last = Anchor;
    auto Cleanup = [&] {
        if (GetCapture() == Handle())
            ReleaseCapture();
        KillTimer(nullptr, Timer);
        DestroyWindow(AnchorWnd);
        if (Bmp)
            DeleteObject(Bmp);
    };
    try {
        MSG Msg;
        bool Running = true;
        while (Running && GetCapture() == Handle()) {
            const BOOL R = GetMessageA(&Msg, nullptr, 0, 0);
            if (R == -1)
                break;
            if (R == 0) {
                PostQuitMessage(static_cast<int>(Msg.wParam));
                break;
            }
            switch (Msg.message) {
            case WM_KEYDOWN:
            case WM_KEYUP:
                if (Msg.wParam == VK_ESCAPE)
                    Running = false;
                break;
            case WM_TIMER:
                if (Msg.wParam == Timer && Msg.hwnd == nullptr) {
                    ++Counter;
                    if (Direction != 0 && Counter % (13 - Speed) == 0)
                        FullScrollStep(Direction);
                } else {
                    DispatchMessageA(&Msg);
                }
                break;
            case WM_MOUSEMOVE: {
                POINT P{static_cast<short>(LOWORD(Msg.lParam)), static_cast<short>(HIWORD(Msg.lParam))};
                ::ClientToScreen(Msg.hwnd, &P);
                if (P.x == Last.X && P.y == Last.Y)
                    break;
                Last = TPoint{P.x, P.y};
                FullScrollDirection(Anchor, W, HasH, HasV, Last, Direction, Speed);
                if (Direction != 0)
                    HasLeft = true;
                ::SetCursor(Screen->Cursors(FullScrollCursor(Direction, HasH, HasV)));
                break;
            }
            case WM_MBUTTONUP:
                if (HasLeft)
                    Running = false;
                break;
            case WM_PAINT:
                if (Msg.hwnd == AnchorWnd) {
                    ValidateRgn(AnchorWnd, nullptr);
                    PaintAnchor();
                    break;
                }
                DispatchMessageA(&Msg);
                break;
            default:
                if (Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSEWHEEL) {
                    Running = false;
                    break;
                }
                TranslateMessage(&Msg);
                DispatchMessageA(&Msg);
                break;
            }
        }
    } catch (...) {
        Cleanup();
        throw;
    }
    Cleanup();
}

void FreeTreeListDragBitmap() { FreeAndNil(ArrowBitmap); }
