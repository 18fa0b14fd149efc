// Drawing one cell, footer cell, new-item-row cell or preview: text, colours, custom-draw hooks and
// the incremental-search highlight.
#include "dxTL.h"

namespace {
// Restores the canvas font and ends the node's cell drawing also when a hook raises.
struct CellDrawScope {
    TCustomdxTreeList* Tree;
    TdxTreeListNode* Node;
    TCanvas* Canvas;
    TFont* Saved;
    bool FontSaved = false;
    ~CellDrawScope() {
        if (FontSaved)
            Canvas->Font()->Assign(Saved);
        if (Node)
            Tree->EndCellDraw(Node);
    }
};

COLORREF Inverse(TColor C) { return ColorToRGB(C) ^ 0xFFFFFF; }
}  // namespace

void TCustomdxTreeList::DrawSearchHighlight(TCanvas* Canvas, const TRect& Rect, const std::string& Text,
                                            TAlignment Alignment, TColor CellColor) {
    if (FSearchText.empty())
        return;
    const std::string Prefix = Text.substr(0, std::min(Text.size(), FSearchText.size()));
    HDC DC = Canvas->Handle();
    const COLORREF Bk = SearchHighlightColor == clNone ? Inverse(CellColor) : ColorToRGB(SearchHighlightColor);
    const COLORREF Tx = SearchHighlightTextColor == clNone ? Inverse(Canvas->Font()->Color())
                                                           : ColorToRGB(SearchHighlightTextColor);
    SIZE S{};
    GetTextExtentPoint32A(DC, Prefix.c_str(), static_cast<int>(Prefix.size()), &S);
    SIZE Whole{};
    GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), &Whole);
    int X = Rect.Left + 2;
    if (Alignment == taRightJustify)
        X = Rect.Right - 2 - Whole.cx;
    else if (Alignment == taCenter)
        X = (Rect.Left + Rect.Right - Whole.cx) / 2;
    const TRect R{X, Rect.Top, std::min<LONG>(X + S.cx, Rect.Right), Rect.Bottom};
    HBRUSH B = CreateSolidBrush(Bk);
    DrawTreeCellText(DC, TRect{R.Left - 0, R.Top, R.Right + 2, R.Bottom}, B, Tx, "", taLeftJustify, false, false);
    const COLORREF OldBk = SetBkColor(DC, Bk), OldTx = SetTextColor(DC, Tx);
    const int OldMode = SetBkMode(DC, TRANSPARENT);
    TRect T{R.Left, R.Top, R.Right, R.Bottom};
    DrawTextA(DC, Prefix.c_str(), static_cast<int>(Prefix.size()), T, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    SetBkMode(DC, OldMode);
    SetBkColor(DC, OldBk);
    SetTextColor(DC, OldTx);
    DeleteObject(B);
}

void TCustomdxTreeList::DrawCell(TCanvas* Canvas, const TRect& Rect, bool RightFlag, bool LeftFlag, TdxCellKind Kind,
                                 bool MultiLine, HBRUSH Brush, TColor AColor, bool Focused, bool Selected,
                                 int FooterRow, int Column, TdxTreeListNode* Node) {
    if (Node)
        BeginCellDraw(Node);
    CellDrawScope Scope{this, Node, Canvas, FSavedFont};
    std::string Text;
    TAlignment Alignment;
    switch (Kind) {
    case ckGroupFooter:
        Text = GetGroupFooterText(Node, Column, FooterRow);
        Alignment = GetGroupFooterAlignment(Node, Column);
        break;
    case ckNewItemRow:
        Text = GetNewItemRowText(Column);
        Alignment = GetCellAlignment(Node, Column);
        break;
    default:
        Text = GetCellText(Node, Column);
        Alignment = GetCellAlignment(Node, Column);
        break;
    }
    HDC DC = Canvas->Handle();
    const bool OwnFont = (Kind == ckData || Kind == ckNewItemRow) && ColumnHasOwnFont(Column);
    const bool Custom = Kind == ckGroupFooter ? HasCustomDrawFooterCell() : HasCustomDrawCell();
    if (Custom || OwnFont) {
        Canvas->Font()->SetColor(static_cast<TColor>(GetTextColor(DC)));
        FSavedFont->Assign(Canvas->Font());
        Scope.FontSaved = true;
        if (OwnFont) {
            Canvas->Font()->Assign(GetColumnFont(Column));
            if (Selected)
                Canvas->Font()->SetColor(FSavedFont->Color());
        }
    }
    const COLORREF OldBk = GetBkColor(DC);
    TColor Color = AColor;
    bool Done = false;
    if (Kind == ckGroupFooter)
        DoCustomDrawFooterCell(Canvas, Rect, Node, Column, FooterRow, Done, Alignment, Canvas->Font(), Color, Text);
    else
        DoCustomDrawCell(Canvas, Rect, Node, Column, Done, Alignment, Canvas->Font(), Color, Text, Selected, Focused);
    if (Done)
        return;
    HBRUSH B = Brush;
    HBRUSH Own = nullptr;
    if (ColorToRGB(Color) != ColorToRGB(AColor)) {
        Own = B = CreateSolidBrush(ColorToRGB(Color));
        SetBkColor(DC, ColorToRGB(Color));
    }
    HGDIOBJ OldFont = SelectObject(DC, Canvas->Font()->Handle());
    DrawTreeCellText(DC, Rect, B, GetTextColor(DC), Text, Alignment, MultiLine, IsCellEndEllipsis());
    if (Kind == ckData && FSearching && Column == FSearchColumn && Focused && Node == FFocusedNode) {
        DrawSearchHighlight(Canvas, Rect, Text, Alignment, Color);
        TRect F{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
        if (IsRowSelect() || IsFocusCellUnhighlighted()) {
            if (!LeftFlag)
                --F.Left;
            if (!RightFlag)
                ++F.Right;
        }
        DrawVisibleFocusRect(DC, F);
    }
    SelectObject(DC, OldFont);
    if (Own) {
        SetBkColor(DC, OldBk);
        DeleteObject(Own);
    }
}

void TCustomdxTreeList::DrawCellEx(TCanvas* Canvas, const TRect& Rect, int Value1, int Value2, bool RightFlag,
                                   bool LeftFlag, TdxCellKind Kind, bool MultiLine, HBRUSH Brush, COLORREF TextColor,
                                   TColor AColor, bool Focused, bool Selected, int Column, TdxTreeListNode* Node) {
    if (Node)
        BeginCellDraw(Node);
    CellDrawScope Scope{this, Node, Canvas, FSavedFont};
    const std::string Text = Kind == ckData || Kind == ckGroupRow ? GetCellText(Node, Column) : GetNewItemRowText(Column);
    TAlignment Alignment = GetCellAlignment(Node, Column);
    const bool OwnFont = ColumnHasOwnFont(Column);
    FSavedFont->Assign(Canvas->Font());
    Scope.FontSaved = true;
    if (OwnFont) {
        Canvas->Font()->Assign(GetColumnFont(Column));
        if (!Selected)
            TextColor = ColorToRGB(Canvas->Font()->Color());
    }
    Canvas->Font()->SetColor(static_cast<TColor>(TextColor));
    std::string Custom = Text;
    TColor Color = AColor;
    bool Done = false;
    HBRUSH B = Brush;
    HBRUSH Own = nullptr;
    if (HasCustomDrawCell()) {
        DoCustomDrawCell(Canvas, Rect, Node, Column, Done, Alignment, Canvas->Font(), Color, Custom, Selected, Focused);
        if (Done)
            return;
        if (ColorToRGB(Color) != ColorToRGB(AColor))
            Own = B = CreateSolidBrush(ColorToRGB(Color));
        TextColor = ColorToRGB(Canvas->Font()->Color());
    }
    TdxTreeListCellViewData& V = FCellViewData;
    V = TdxTreeListCellViewData();
    V.Brush = B;
    V.Font = Canvas->Font()->Handle();
    V.BkColor = ColorToRGB(Color);
    V.TextColor = TextColor;
    V.Alignment = Alignment;
    V.Text = Custom;
    V.Selected = Selected;
    V.FocusCellUnhighlighted = IsFocusCellUnhighlighted();
    V.LeftEdge = LeftFlag;
    V.RightEdge = RightFlag;
    V.MultiLine = MultiLine;
    V.EndEllipsis = IsCellEndEllipsis();
    V.Node = Node;
    V.ReadOnlyNewItemRow = Kind == ckNewItemRow && !CanEditNewItemRow();
    V.Value1 = Value1;
    V.Value2 = Value2;
    V.HighlightColor = Focused ? HighlightColor : HideSelectionColor;
    V.Hot = IsHotCell(Node, Column);
    V.Bounds = TRect{-2, -2, Rect.Width() + 2, Rect.Height() + 2};
    HDC DC = Canvas->Handle();
    DrawCellViewData(DC, Rect, V, Column);
    if (Kind == ckData && FSearching && Column == FSearchColumn && Focused && Node == FFocusedNode &&
        !FSearchText.empty()) {
        V.HighlightPass = true;
        V.HighlightLength = static_cast<int>(FSearchText.size());
        V.BkColor = SearchHighlightColor == clNone ? Inverse(Color) : ColorToRGB(SearchHighlightColor);
        V.TextColor = SearchHighlightTextColor == clNone ? TextColor ^ 0xFFFFFF : ColorToRGB(SearchHighlightTextColor);
        DrawSearchHighlight(Canvas, Rect, Custom, Alignment, Color);
        TRect F{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
        DrawVisibleFocusRect(DC, F);
    }
    if (Own)
        DeleteObject(Own);
}

void TCustomdxTreeList::DrawCellViewData(HDC DC, const TRect& Rect, const TdxTreeListCellViewData& V, int) {
    HGDIOBJ Old = SelectObject(DC, V.Font);
    DrawTreeCellText(DC, Rect, V.Brush, V.TextColor, V.Text, V.Alignment, V.MultiLine, V.EndEllipsis);
    SelectObject(DC, Old);
}

void TCustomdxTreeList::DrawPreview(TCanvas* Canvas, const TRect& Rect, bool Selected, HBRUSH Brush,
                                    COLORREF TextColor, TColor AColor, TdxTreeListNode* Node) {
    std::string Text = GetPreviewText(Node);
    TColor Color = AColor;
    TColor Tx = static_cast<TColor>(TextColor);
    if (ColorToRGB(AColor) != ColorToRGB(HighlightColor))
        Tx = FPreviewFont->Color();
    FSavedFont->Assign(Canvas->Font());
    CellDrawScope Scope{this, nullptr, Canvas, FSavedFont, true};
    Canvas->Font()->Assign(FPreviewFont);
    HDC DC = Canvas->Handle();
    const COLORREF OldBk = GetBkColor(DC);
    bool Done = false;
    DoCustomDrawPreview(Canvas, Rect, Done, Canvas->Font(), Tx, Color, Text, Selected, Node);
    if (Done)
        return;
    HBRUSH B = Brush;
    HBRUSH Own = nullptr;
    if (ColorToRGB(Color) != ColorToRGB(AColor)) {
        Own = B = CreateSolidBrush(ColorToRGB(Color));
        SetBkColor(DC, ColorToRGB(Color));
    }
    DrawPreviewText(DC, Rect, B, ColorToRGB(Tx), Text, FPreviewIndent, Canvas->Font()->Handle());
    if (Own) {
        SetBkColor(DC, OldBk);
        DeleteObject(Own);
    }
}
