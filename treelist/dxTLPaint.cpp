// Painting of the tree list from one layout: bands, headers, indicator, footer, tree indents and
// lines, buttons, images, cells, previews, focus frames and grid lines.
#include "dxTL.h"

#include "dxDrawUtils.h"

#include <algorithm>
#include <map>

// The brushes and the off-screen buffer of one paint, made once and freed with the paint.
struct TCustomdxTreeList::PaintBrushes {
    HBRUSH Band, Header, GroupNode, Background, Separator, Highlight, TreeLine, HideSelection, FooterCell,
        FixedSeparator;
    std::map<int, HBRUSH> Columns;
    std::map<int, HBRUSH> Levels;
    // The off-screen buffer of header cells; lives as long as the paint.
    TOwned<TBitmap> PaintBitmap{Create<TBitmap>()};
    TBitmap* Bitmap = PaintBitmap.get();
    PaintBrushes(TCustomdxTreeList* T) {
        auto Make = [](TColor C) { return CreateSolidBrush(ColorToRGB(C)); };
        Band = Make(T->BandColor);
        Header = Make(T->HeaderColor);
        GroupNode = Make(T->GroupNodeColor);
        Background = Make(T->Color());
        Separator = T->DrawStyle() == 2 ? CreateSolidBrush(0xA0A0A0) : Make(clBtnShadow);
        Highlight = Make(T->HighlightColor);
        TreeLine = Make(T->TreeLineColor);
        HideSelection = Make(T->HideSelectionColor);
        FooterCell = Make(T->FooterCellColor);
        FixedSeparator = Make(T->FixedSeparatorColor);
    }
    ~PaintBrushes() {
        for (HBRUSH B : {Band, Header, GroupNode, Background, Separator, Highlight, TreeLine, HideSelection, FooterCell,
                         FixedSeparator})
            DeleteObject(B);
        for (auto& [K, B] : Columns)
            DeleteObject(B);
        for (auto& [K, B] : Levels)
            DeleteObject(B);
    }
    PaintBrushes(const PaintBrushes&) = delete;
    PaintBrushes& operator=(const PaintBrushes&) = delete;
    // A column whose colour is the control's own shares the background brush.
    HBRUSH ColumnBrush(TCustomdxTreeList* T, int Column) {
        const TColor C = T->GetColumnColor(Column);
        if (ColorToRGB(C) == ColorToRGB(T->Color()))
            return Background;
        auto I = Columns.find(Column);
        if (I == Columns.end())
            I = Columns.emplace(Column, CreateSolidBrush(ColorToRGB(C))).first;
        return I->second;
    }
    HBRUSH LevelBrush(TCustomdxTreeList* T, int Level) {
        if (!T->HasLevelColors())
            return GroupNode;
        TColor C = T->GroupNodeColor;
        T->GetLevelColor(Level, C);
        if (ColorToRGB(C) == ColorToRGB(T->GroupNodeColor))
            return GroupNode;
        auto I = Levels.find(Level);
        if (I != Levels.end())
            DeleteObject(I->second);
        return Levels[Level] = CreateSolidBrush(ColorToRGB(C));
    }
};

namespace {
// Limits drawing to R until the scope ends.
struct ClipScope {
    HDC DC;
    int Saved;
    ClipScope(HDC ADC, const TRect& R) : DC(ADC), Saved(SaveDC(ADC)) { IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom); }
    ~ClipScope() { RestoreDC(DC, Saved); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
};

int EdgeKind(const HeaderCell& C) {
    if (C.FirstInRow && C.LastInRow)
        return 0;
    return C.FirstInRow ? 2 : (C.LastInRow ? 1 : 3);
}

void Fill(HDC DC, const TRect& R, HBRUSH B) {
    if (!R.IsEmpty())
        FillRect(DC, R, B);
}
}  // namespace

namespace {
// The drag images on the screen are hidden while the control paints under them.
struct DragImagesHidden {
    TDragImageList* Images;
    TDragObject* Drag;
    DragImagesHidden(TDragImageList* I, TDragObject* D) : Images(I), Drag(D) {
        if (Images)
            Images->HideDragImage();
        if (Drag)
            Drag->HideDragImage();
    }
    ~DragImagesHidden() {
        if (Drag)
            Drag->ShowDragImage();
        if (Images)
            Images->ShowDragImage();
    }
};

// The status button's X: two diagonal strokes two pixels wide, two pixels inside the box.
void DrawStatusButtonGlyph(HDC DC, const TRect& R, bool Hot, bool Pressed) {
    const int Fill = Pressed ? COLOR_WINDOWFRAME : Hot ? COLOR_WINDOW : COLOR_BTNFACE;
    const int Ink = Pressed ? COLOR_WINDOW : Hot ? COLOR_WINDOWFRAME : COLOR_BTNTEXT;
    FillRect(DC, R, GetSysColorBrush(Fill));
    HPEN Pen = CreatePen(PS_SOLID, 1, GetSysColor(Ink));
    HGDIOBJ Old = SelectObject(DC, Pen);
    const int L = R.Left + 2, T = R.Top + 2, Rt = R.Right - 2, B = R.Bottom - 2;
    for (int D = 0; D < 2; ++D) {
        MoveToEx(DC, L + D, T, nullptr);
        LineTo(DC, Rt - 2 + D, B);
        MoveToEx(DC, Rt - 1 - D, T, nullptr);
        LineTo(DC, L + 1 - D, B);
    }
    SelectObject(DC, Old);
    DeleteObject(Pen);
}
}  // namespace

void TCustomdxTreeList::PaintStatusPanel(const Layout& L, PaintBrushes& B) {
    HDC DC = Canvas()->Handle();
    if (IsPointRect(L.StatusPanelRect) || !RectVisible(DC, L.StatusPanelRect))
        return;
    const TRect& P = L.StatusPanelRect;
    Fill(DC, P, B.Header);
    TRect Text{P.Left + 2, P.Top + 2, P.Right - 2, P.Bottom - 2};
    if (HasStatusButton()) {
        const int Top = P.Top + (P.Height() - 11) / 2;
        DrawStatusButtonGlyph(DC, TRect{P.Left + 3, Top, P.Left + 15, Top + 11}, FPanelButtonHot,
                              FState == tsStatusButtonDown && FPanelButtonPressed);
        Text.Left += 18;
    }
    // Engraved text: a highlight copy one pixel down and right under the text in the separator colour.
    const std::string S = GetStatusPanelText();
    HGDIOBJ OldFont = SelectObject(DC, Font()->Handle());
    const int OldMode = SetBkMode(DC, TRANSPARENT);
    const UINT Flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    TRect Shadow{Text.Left + 1, Text.Top + 1, Text.Right + 1, Text.Bottom + 1};
    SetTextColor(DC, ColorToRGB(clBtnHighlight));
    DrawTextA(DC, S.c_str(), static_cast<int>(S.size()), Shadow, Flags);
    SetTextColor(DC, FDrawStyle == 2 ? 0xA0A0A0 : ColorToRGB(clBtnShadow));
    DrawTextA(DC, S.c_str(), static_cast<int>(S.size()), Text, Flags);
    SetBkMode(DC, OldMode);
    SelectObject(DC, OldFont);
    ExcludeClipRect(DC, P.Left, P.Top, P.Right, P.Bottom);
}

void TCustomdxTreeList::Paint() {
    DragImagesHidden Hidden(FDragImageList, ActiveDragObject());
    Layout L;
    CalcLayout(L);
    PaintBrushes B(this);
    HDC DC = Canvas()->Handle();
    if (!IsPointRect(L.GroupPanelRect) && RectVisible(DC, L.GroupPanelRect))
        DrawEmptyArea(Canvas(), L.GroupPanelRect, B.Separator, B.Header);
    PaintBands(L, B);
    PaintHeaders(L, B);
    if (!IsPointRect(L.NewItemRowRect)) {
        // The new-item row: its cells over a header-style separator strip.
        Fill(DC, L.NewItemRowRect, B.Background);
        TRect Sep{L.NewItemRowRect.Left, L.NewItemRowRect.Bottom - FNewItemRowSeparator, L.NewItemRowRect.Right,
                  L.NewItemRowRect.Bottom};
        DrawHeaderEdge(DC, Sep, B.Header, FDrawStyle == 0 ? 0 : 1, 0, false);
        for (const HeaderCell& C : L.HeaderCells) {
            const TRect R{C.ClipRect.Left, L.NewItemRowRect.Top, C.ClipRect.Right,
                          L.NewItemRowRect.Top + FRowHeight - (FShowGrid && FShowPreviewGrid ? 1 : 0)};
            DrawCellEx(Canvas(), R, 0, 0, C.LastOfAll, C.FirstOfAll, ckNewItemRow, false, B.ColumnBrush(this, C.Column),
                       ColorToRGB(Font()->Color()), GetColumnColor(C.Column), false, false, C.Column, FFocusedNode);
        }
        if (FShowIndicator && FIndicatorWidth > 0) {
            const TRect R{L.NewItemRowRect.Left, L.NewItemRowRect.Top, L.NewItemRowRect.Left + FIndicatorWidth,
                          L.NewItemRowRect.Top + FRowHeight};
            DrawIndicatorCell(DC, R, R, FDrawStyle, 3, B.Header);  // "RODERA_INSERT"
        }
    }
    PaintIndicator(L, B);
    PaintFooter(L, B);
    PaintStatusPanel(L, B);
    PaintRows(L, B);
}

void TCustomdxTreeList::PaintBands(const Layout& L, PaintBrushes& B) {
    HDC DC = Canvas()->Handle();
    if (!IsPointRect(L.BandButtonRect))
        DrawHeaderButton(DC, L.BandButtonRect, B.Band, FDrawStyle, 0, FState == tsBandButtonDown && FPressedShown);
    if (IsPointRect(L.BandPanelRect) || !RectVisible(DC, L.BandPanelRect))
        return;
    HGDIOBJ OldFont = SelectObject(DC, FBandFont->Handle());
    SetTextColor(DC, ColorToRGB(FBandFont->Color()));
    for (const BandItem& Item : L.Bands) {
        std::string Text = GetBandCaption(Item.Band);
        TAlignment Alignment = GetBandAlignment(Item.Band);
        TColor Color = BandColor;
        bool Done = false;
        if (HasCustomDrawBand()) {
            ClipScope Clip(DC, Item.ClipRect);
            DoCustomDrawBand(Canvas(), Item.Band, Done, Alignment, FBandFont, Color, Text, Item.Rect);
        }
        if (Done)
            continue;
        HBRUSH Brush = ColorToRGB(Color) != ColorToRGB(BandColor) ? CreateSolidBrush(ColorToRGB(Color)) : B.Band;
        DrawHeaderCellBuffered(DC, Item.Rect, Item.ClipRect, Brush, 0, FDrawStyle, 0, nullptr, 0, Alignment,
                               FBandLineCount > 1, FState == tsBandDown && FPressedShown && Item.Band == FPressedBand,
                               Text, B.Bitmap);
        if (Brush != B.Band)
            DeleteObject(Brush);
    }
    if (!IsPointRect(L.LeftFixedRect))
        Fill(DC, TRect{L.LeftFixedRect.Right - FFixedBandLineWidth, L.BandPanelRect.Top, L.LeftFixedRect.Right,
                       L.BandPanelRect.Bottom},
             B.FixedSeparator);
    if (!IsPointRect(L.RightFixedRect))
        Fill(DC, TRect{L.RightFixedRect.Left, L.BandPanelRect.Top, L.RightFixedRect.Left + FFixedBandLineWidth,
                       L.BandPanelRect.Bottom},
             B.FixedSeparator);
    SelectObject(DC, OldFont);
}

void TCustomdxTreeList::PaintHeaders(const Layout& L, PaintBrushes& B) {
    HDC DC = Canvas()->Handle();
    if (!IsPointRect(L.HeaderButtonRect))
        DrawHeaderButton(DC, L.HeaderButtonRect, B.Header, FDrawStyle, 0,
                         FState == tsHeaderButtonDown && FPressedShown);
    if (IsPointRect(L.HeaderPanelRect) || !RectVisible(DC, L.HeaderPanelRect))
        return;
    HGDIOBJ OldFont = SelectObject(DC, FHeaderFont->Handle());
    SetTextColor(DC, ColorToRGB(FHeaderFont->Color()));
    for (const HeaderCell& C : L.HeaderCells) {
        std::string Text = GetColumnCaption(C.Column);
        TAlignment Alignment = GetColumnHeaderAlignment(C.Column);
        int Sorted = GetColumnSorted(C.Column);
        TColor Color = HeaderColor;
        bool Done = false;
        if (HasCustomDrawHeader()) {
            ClipScope Clip(DC, C.ClipRect);
            DoCustomDrawHeader(Canvas(), C.Column, Done, Alignment, FHeaderFont, Color, Text, Sorted, C.Rect);
        }
        if (!Done) {
            HBRUSH Brush = ColorToRGB(Color) != ColorToRGB(HeaderColor) ? CreateSolidBrush(ColorToRGB(Color)) : B.Header;
            DrawHeaderCellBuffered(DC, C.Rect, C.ClipRect, Brush, GetHeaderButtonState(C.Column), FDrawStyle,
                                   EdgeKind(C), ColumnHasHeaderGlyph(C.Column) ? GetColumnHeaderGlyph(C.Column) : nullptr,
                                   Sorted, Alignment, C.RowSpan > 1 || FHeaderLineCount > 1,
                                   FState == tsColumnDown && FPressedShown && C.Column == FPressedColumn, Text,
                                   B.Bitmap);
            if (Brush != B.Header)
                DeleteObject(Brush);
        }
        Fill(DC, C.BelowRect, B.Separator);
    }
    for (const EmptyBandItem& E : L.EmptyBands)
        Fill(DC, E.Rect, B.Separator);
    SelectObject(DC, OldFont);
}

void TCustomdxTreeList::PaintIndicator(const Layout& L, PaintBrushes& B) {
    HDC DC = Canvas()->Handle();
    if (!FShowIndicator || IsPointRect(L.IndicatorRect))
        return;
    for (const RowItem& Row : L.Rows) {
        const TRect R{L.IndicatorRect.Left, Row.Top, L.IndicatorRect.Right,
                      std::min<LONG>(Row.Top + Row.Height, L.RowsRect.Bottom)};
        if (RectVisible(DC, R))
            DrawIndicatorCell(DC, R, R, FDrawStyle, Row.Tag, B.Header);
    }
    ExcludeClipRect(DC, L.IndicatorRect.Left, L.IndicatorRect.Top, L.IndicatorRect.Right, L.IndicatorRect.Bottom);
}

void TCustomdxTreeList::PaintFooter(const Layout& L, PaintBrushes& B) {
    HDC DC = Canvas()->Handle();
    if (IsPointRect(L.FooterRect) || !RectVisible(DC, L.FooterRect))
        return;
    TRect R = L.FooterRect;
    if (FDrawStyle == 0) {
        FrameRect(DC, R, GetSysColorBrush(COLOR_WINDOWFRAME));
        R = TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    } else {
        DrawEdge(DC, R, BDR_SUNKENOUTER, BF_TOP | BF_ADJUST);
    }
    if (FDrawStyle != 2)
        DrawEdge(DC, R, BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
    Fill(DC, R, B.Header);
    for (const HeaderCell& C : L.HeaderCells) {
        if (!IsColumnFooterShown(C.Column))
            continue;
        const int Top = L.FooterRect.Top + C.BandRow * FFooterRowHeight;
        TRect Cell{C.ClipRect.Left + 1, Top + 1, C.ClipRect.Right - 1, Top + C.RowSpan * FFooterRowHeight - 1};
        DrawEdge(DC, Cell, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        DrawCell(Canvas(), Cell, C.LastOfAll, C.FirstOfAll, ckGroupFooter, false, B.Header, HeaderColor, false, false,
                 -1, C.Column, nullptr);
    }
    ExcludeClipRect(DC, L.FooterRect.Left, L.FooterRect.Top, L.FooterRect.Right, L.FooterRect.Bottom);
}

bool TCustomdxTreeList::IsCellHighlighted(const RowItem& Row, int Column, bool ControlFocused) {
    if (!Row.Selected || (FNewItemRowFocused && !IsMultiSelect()))
        return false;
    if (HideSelection && !ControlFocused)
        return false;
    const bool Unhighlighted = IsFocusCellUnhighlighted();
    const bool FocusedColumn = Column == GetFocusedAbsoluteColumn();
    return IsRowSelect() || (IsMultiSelect() && !Unhighlighted) ||
           (IsMultiSelect() && Unhighlighted && (FNewItemRowFocused || Row.Node != FFocusedNode)) ||
           (FocusedColumn && !Unhighlighted) || (!FocusedColumn && Unhighlighted);
}

void TCustomdxTreeList::GetCellColors(bool Highlighted, bool ControlFocused, int Column, PaintBrushes& B,
                                      HBRUSH& Brush, COLORREF& TextColor, TColor& BkColor) {
    if (Highlighted) {
        Brush = ControlFocused ? B.Highlight : B.HideSelection;
        TextColor = ColorToRGB(ControlFocused ? HighlightTextColor : HideSelectionTextColor);
        BkColor = ControlFocused ? HighlightColor : HideSelectionColor;
        return;
    }
    Brush = Column >= 0 ? B.ColumnBrush(this, Column) : B.Background;
    TextColor = ColorToRGB(Column >= 0 ? GetColumnFont(Column)->Color() : Font()->Color());
    BkColor = Column >= 0 ? GetColumnColor(Column) : Color();
}

void TCustomdxTreeList::PaintRowIndent(const Layout& L, const RowItem& Row, PaintBrushes& B) {
    HDC DC = Canvas()->Handle();
    TdxTreeListNode* Node = Row.Node;
    const int Origin = L.RowsRect.Left - (L.LeftFixedIndex < 0 ? FLeftCoord : 0);
    ClipScope Clip(DC, TRect{L.RowsRect.Left, Row.Top, Origin + L.FirstBandWidth, Row.Top + Row.Height});
    const int Bottom = Row.Top + Row.Height - L.GridLineWidth - Row.FooterHeight;
    int Ind, TextLeft;
    GetNodeIndent(Node, Ind, TextLeft);
    const int Level = Node->Level();
    const int Shift = !FShowRoot && TreeStyle() ? 1 : 0;
    for (int I = 0; I * FIndent < Ind; ++I) {
        HBRUSH Brush = B.Background;
        if (FGridStyle)
            Brush = I + Shift > Level ? B.GroupNode : B.LevelBrush(this, I + Shift);
        // Down through the grid line's pixel: the line is drawn later only from its own indent on.
        Fill(DC, TRect{Origin + I * FIndent, Row.Top, Origin + (I + 1) * FIndent, Bottom + L.GridLineWidth}, Brush);
    }
    const int Col = Level - Shift;
    const int CX = Origin + Col * FIndent + FIndent / 2, CY = (Row.Top + Bottom) / 2;
    const bool Button = Node->HasChildren() && FShowButtons;
    if (TreeStyle() && FShowLines) {
        HBRUSH Line = B.TreeLine;
        if (TreeLineStyle == 1 && HalftoneBrush) {
            Line = HalftoneBrush;
            SetBrushOrgEx(DC, (L.RowsRect.Left + Row.Top) & 1, 0, nullptr);
            SetTextColor(DC, ColorToRGB(TreeLineColor));
            SetBkColor(DC, ColorToRGB(Color()));
        }
        if (Col >= 0) {
            Fill(DC, TRect{Button ? CX + 5 : CX, CY, Origin + (Col + 1) * FIndent, CY + 1}, Line);
            const bool FirstRoot = !Node->Parent() && Node->Index() == 0;
            Fill(DC, TRect{CX, FirstRoot ? CY : Row.Top, CX + 1, Button ? CY - 5 : CY}, Line);
            if (!Node->IsLast())
                Fill(DC, TRect{CX, Button ? CY + 5 : CY, CX + 1, Bottom}, Line);
        }
        int A = Col - 1;
        for (TdxTreeListNode* P = Node->Parent(); P; P = P->Parent(), --A)
            if (A >= 0 && !P->IsLast())
                Fill(DC, TRect{Origin + A * FIndent + FIndent / 2, Row.Top, Origin + A * FIndent + FIndent / 2 + 1, Bottom},
                     Line);
    }
    const NodeIndentRects R = CalcNodeIndentRects(Node, Row.Top, Bottom, L.FirstBandWidth);
    if (Button && Col >= 0) {
        const TRect Cell{Origin + Col * FIndent, Row.Top, Origin + (Col + 1) * FIndent, Bottom};
        if (TreeStyle())
            DrawTreeButton(DC, Cell, CY, !Node->Expanded());
        else if (FDrawStyle == 2)
            DrawFlatButton(DC, Cell, !Node->Expanded());
        else
            DrawBitmapButton(Canvas(), Cell, !Node->Expanded());
    }
    auto Shifted = [&](const TRect& X) { return TRect{X.Left + Origin, X.Top, X.Right + Origin, X.Bottom}; };
    HBRUSH ImageBack = TreeStyle() || (!Node->HasChildren() && !Row.GroupRow) ? B.Background : B.LevelBrush(this, Level);
    if (!IsPointRect(R.StateImage)) {
        Fill(DC, Shifted(R.StateImage), ImageBack);
        DrawImageCentered(Canvas(), Shifted(R.StateImage), FStateImages, Node->StateIndex());
    }
    if (!IsPointRect(R.Image)) {
        Fill(DC, Shifted(R.Image), ImageBack);
        DrawImageCentered(Canvas(), Shifted(R.Image), FImages, Row.Selected ? Node->SelectedIndex() : Node->ImageIndex());
    }
}

void TCustomdxTreeList::PaintRows(const Layout& L, PaintBrushes& B) {
    HDC DC = Canvas()->Handle();
    Fill(DC, L.RightEmptyRect, B.Background);
    Fill(DC, L.EmptyAreaRect, B.Background);
    if (L.Rows.empty() || !RectVisible(DC, L.RowsRect))
        return;
    const bool Focused = IsFocusedOrEditing();
    const int Origin = L.RowsRect.Left - (L.LeftFixedIndex < 0 ? FLeftCoord : 0);
    const bool RowFrame = IsRowSelect() || IsFocusCellUnhighlighted();
    TRect FocusFrame{};
    HGDIOBJ OldFont = SelectObject(DC, Font()->Handle());
    for (const RowItem& Row : L.Rows) {
        const TRect RowRect{L.RowsRect.Left, Row.Top, L.RowsRect.Right, Row.Top + Row.Height};
        if (!RectVisible(DC, RowRect))
            continue;
        TdxTreeListNode* Node = Row.Node;
        BeginCellDraw(Node);
        try {
            PaintRowIndent(L, Row, B);
        } catch (...) {
            EndCellDraw(Node);
            throw;
        }
        EndCellDraw(Node);
        int Ind, TextLeft;
        GetNodeIndent(Node, Ind, TextLeft);
        const int CellsLeft = Origin + TextLeft;
        const int Bottom = Row.Top + Row.Height - L.GridLineWidth - Row.FooterHeight;
        const int PreviewHeight = Row.PreviewLines > 0 ? Row.PreviewLines * FPreviewLineHeight + 2 : 0;
        const bool IsFocusedRow = Node == FFocusedNode && !FNewItemRowFocused;
        if (Row.GroupRow) {
            const TRect R{CellsLeft, Row.Top, L.DataRight + 1, Bottom};
            HBRUSH Brush;
            COLORREF Tx;
            TColor Bk;
            GetCellColors(IsCellHighlighted(Row, -1, Focused), Focused, -1, B, Brush, Tx, Bk);
            SetTextColor(DC, Tx);
            DrawCell(Canvas(), R, true, true, ckGroupRow, false, Brush, Bk, Focused, Row.Selected, -1, -1, Node);
            if (IsFocusedRow)
                FocusFrame = R;
            continue;
        }
        for (const HeaderCell& C : L.HeaderCells) {
            TRect R{C.Rect.Left, Row.Top + C.BandRow * FRowHeight, C.Rect.Right,
                    Row.Top + (C.BandRow + C.RowSpan) * FRowHeight};
            if (FHeaderPanelRowCount == 1)
                R.Bottom = Bottom - PreviewHeight;
            if (C.Band == GetBandIndexOfVisible(0) || C.Band == 0)
                R.Left = std::max<LONG>(R.Left, CellsLeft);
            if (FShowGrid)
                --R.Right;
            if (R.IsEmpty())
                continue;
            ClipScope Clip(DC, TRect{C.ClipRect.Left, L.RowsRect.Top, C.ClipRect.Right, L.RowsRect.Bottom});
            if (!RectVisible(DC, R))
                continue;
            const bool Highlighted = IsCellHighlighted(Row, C.Column, Focused);
            HBRUSH Brush;
            COLORREF Tx;
            TColor Bk;
            GetCellColors(Highlighted, Focused, C.Column, B, Brush, Tx, Bk);
            const bool FocusedCell = Focused && Node == FFocusedNode && (IsRowSelect() || C.Column == GetFocusedAbsoluteColumn());
            DrawCellEx(Canvas(), R, 0, 0, C.LastOfAll, C.FirstOfAll, ckData,
                       C.RowSpan > 1 || Row.TextLines > 1 || C.MultiLine, Brush, Tx, Bk, FocusedCell, Highlighted,
                       C.Column, Node);
            if (IsFocusedRow && !RowFrame && C.Column == GetFocusedAbsoluteColumn())
                FocusFrame = R;
        }
        if (PreviewHeight > 0) {
            const TRect R{CellsLeft, Bottom - PreviewHeight, L.DataRight + 1, Bottom};
            HBRUSH Brush;
            COLORREF Tx;
            TColor Bk;
            GetCellColors(Row.Selected && (!HideSelection || Focused) && IsRowSelect(), Focused, -1, B, Brush, Tx, Bk);
            DrawPreview(Canvas(), R, Row.Selected, Brush, Tx, Bk, Node);
        }
        for (int I = 0; I < Row.FooterCount; ++I) {
            TRect R;
            GetGroupFooterRect(Node, I, R, L, 0, Bottom + L.GridLineWidth);
            const int Level = GetGroupFooterLevel(Node, I);
            Fill(DC, R, HasLevelColors() ? B.LevelBrush(this, Level) : B.FooterCell);
        }
        if (IsFocusedRow && RowFrame && ((Focused && !FOptions.Contains(toReserved13)) || (!Focused && !HideFocusRect)))
            FocusFrame = TRect{CellsLeft, Row.Top, L.DataRight + 1, Bottom};
    }
    SelectObject(DC, OldFont);
    PaintGridLines(L);
    if (!IsPointRect(FocusFrame)) {
        if (Focused)
            DrawVisibleFocusRect(DC, FocusFrame);
        else if (FState != tsNodeDragging)
            DrawInvertedFrame(DC, FocusFrame);
    }
}

void TCustomdxTreeList::PaintGridLines(const Layout& L) {
    if (!FShowGrid || L.Rows.empty())
        return;
    std::vector<POINT> Points;
    auto Segment = [&](int X1, int Y1, int X2, int Y2) {
        Points.push_back(POINT{X1, Y1});
        Points.push_back(POINT{X2, Y2});
    };
    const int Origin = L.RowsRect.Left - (L.LeftFixedIndex < 0 ? FLeftCoord : 0);
    const int Top = L.RowsRect.Top;
    const RowItem& Last = L.Rows.back();
    const int Bottom = std::min<int>(Last.Top + Last.Height, L.RowsRect.Bottom);
    for (const HeaderCell& C : L.HeaderCells)
        if (C.Rect.Right - 1 < L.RowsRect.Right && C.Rect.Right - 1 >= C.ClipRect.Left)
            Segment(C.Rect.Right - 1, Top, C.Rect.Right - 1, Bottom);
    for (size_t I = 0; I < L.Rows.size(); ++I) {
        const RowItem& Row = L.Rows[I];
        TdxTreeListNode* N = Row.Node;
        int Indent = N->Level() * FIndent + (N->Expanded() ? FIndent - 1 : 0);
        if (!N->HasChildren() && N->IsLast())
            Indent -= FIndent;
        if (I + 1 < L.Rows.size())
            Indent = std::min(Indent, L.Rows[I + 1].Node->Level() * FIndent);
        else
            Indent = 0;
        if (!FShowRoot && TreeStyle())
            Indent -= FIndent;
        const int Y = Row.Top + Row.Height - 1;
        Segment(Origin + std::max(Indent, 0), Y, L.DataRight + 1, Y);
    }
    Segment(L.DataRight, Top, L.DataRight, Bottom);
    std::vector<DWORD> Counts(Points.size() / 2, 2);
    HDC DC = Canvas()->Handle();
    HPEN Pen = CreatePen(PS_SOLID, 1, ColorToRGB(GetGridLineDrawColor()));
    HGDIOBJ Old = SelectObject(DC, Pen);
    PolyPolyline(DC, Points.data(), Counts.data(), static_cast<DWORD>(Counts.size()));
    SelectObject(DC, Old);
    DeleteObject(Pen);
}
