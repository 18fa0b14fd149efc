// Free routines of the tree list unit: the shared indicator images and expand-button bitmaps,
// header and indicator cell painters, text measuring, sort comparisons and the drag timers.
#include "dxTL.h"

#include "dxDrawUtils.h"

#include <algorithm>

TBitmap* DropArrowBackground = nullptr;
TBitmap* PlusBitmap = nullptr;
TBitmap* MinusBitmap = nullptr;
TImageList* IndicatorImages = nullptr;
UINT_PTR HorzDragScrollTimer = static_cast<UINT_PTR>(-1);
UINT_PTR VertDragScrollTimer = static_cast<UINT_PTR>(-1);
bool HorzDragScrollLeft = false;
bool VertDragScrollUp = false;

namespace {
const char* const IndicatorNames[] = {"RODERA_ARROW", "RODERA_EDIT", "RODERA_INSERT", "RODERA_MULTIDOT",
                                      "RODERA_MULTIARROW"};

void FillSys(HDC DC, int L, int T, int R, int B, int SysColor) {
    RECT Rc{L, T, R, B};
    FillRect(DC, &Rc, GetSysColorBrush(SysColor));
}

void DrawEdgeOf(HDC DC, TRect R, UINT Edge, UINT Flags) { DrawEdge(DC, R, Edge, Flags); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Shared images

void DrawExpandButtonBitmap(TBitmap* Bitmap, const TRect& Rect, bool Plus) {
    HDC DC = Bitmap->Canvas()->Handle();
    TRect R = Rect;
    DrawEdgeOf(DC, R, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
    DrawEdgeOf(DC, R, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
    R = TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    DrawEdgeOf(DC, R, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
    FillSys(DC, R.Left, R.Top, R.Right - 1, R.Bottom - 1, COLOR_BTNFACE);
    FillSys(DC, 3, 5, 8, 6, COLOR_BTNTEXT);
    if (Plus)
        FillSys(DC, 5, 3, 6, 8, COLOR_BTNTEXT);
}

void BuildExpandButtonBitmaps() {
    for (auto [B, Plus] : {std::pair{PlusBitmap, true}, std::pair{MinusBitmap, false}}) {
        if (!B)
            continue;
        B->SetPixelFormat(pf24bit);
        B->SetSize(12, 12);
        DrawExpandButtonBitmap(B, TRect{0, 0, 12, 12}, Plus);
    }
}

void LoadIndicatorImages() {
    DropArrowBackground = Create<TBitmap>();
    PlusBitmap = Create<TBitmap>();
    MinusBitmap = Create<TBitmap>();
    TOwned<TBitmap> First(Create<TBitmap>());
    First->LoadFromResourceName(MainInstance(), IndicatorNames[0]);
    IndicatorImages = TCustomImageList::CreateSize<TImageList>(First->Width(), First->Height());
    for (const char* Name : IndicatorNames) {
        TOwned<TBitmap> B(Create<TBitmap>());
        B->LoadFromResourceName(MainInstance(), Name);
        IndicatorImages->AddMasked(B.get(), clWhite);
    }
    BuildExpandButtonBitmaps();
}

void FreeIndicatorImages() {
    FreeTreeListDragBitmap();
    for (TObject** P : {reinterpret_cast<TObject**>(&IndicatorImages), reinterpret_cast<TObject**>(&DropArrowBackground),
                        reinterpret_cast<TObject**>(&PlusBitmap), reinterpret_cast<TObject**>(&MinusBitmap)}) {
        if (*P)
            (*P)->Free();
        *P = nullptr;
    }
}

// ---------------------------------------------------------------------------------------------
// Painters

void DrawImageCentered(TCanvas* Canvas, const TRect& Rect, TCustomImageList* ImageList, int Index) {
    if (!ImageList || Index < 0 || Index >= ImageList->Count())
        return;
    ImageList->Draw(Canvas, (Rect.Left + Rect.Right - ImageList->Width() + 1) / 2,
                    (Rect.Top + Rect.Bottom - ImageList->Height() + 1) / 2, Index, true);
}

void DrawBitmapCentered(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap) {
    if (!Bitmap)
        return;
    Canvas->Draw((Rect.Left + Rect.Right - Bitmap->Width() + 1) / 2, (Rect.Top + Rect.Bottom - Bitmap->Height() + 1) / 2,
                 Bitmap);
}

void DrawTreeButton(HDC DC, const TRect& Rect, int CenterY, bool Plus) {
    const int X = (Rect.Left + Rect.Right - 9) / 2, Y = CenterY - 4;
    RECT Box{X, Y, X + 9, Y + 9};
    FillRect(DC, &Box, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(DC, &Box, GetSysColorBrush(COLOR_GRAYTEXT));
    FillSys(DC, X + 2, Y + 4, X + 7, Y + 5, COLOR_WINDOWTEXT);
    if (Plus)
        FillSys(DC, X + 4, Y + 2, X + 5, Y + 7, COLOR_WINDOWTEXT);
}

void DrawBitmapButton(TCanvas* Canvas, const TRect& Rect, bool Plus) {
    DrawBitmapCentered(Canvas, Rect, Plus ? PlusBitmap : MinusBitmap);
}

void DrawFlatButton(HDC DC, const TRect& Rect, bool Plus) {
    const int X = (Rect.Left + Rect.Right - 11) / 2, Y = (Rect.Top + Rect.Bottom - 11) / 2;
    DrawEdgeOf(DC, TRect{X + 1, Y + 1, X + 12, Y + 12}, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_FLAT);
    RECT Box{X, Y, X + 11, Y + 11};
    FrameRect(DC, &Box, GetSysColorBrush(COLOR_WINDOWFRAME));
    FillSys(DC, X + 3, Y + 5, X + 8, Y + 6, COLOR_WINDOWFRAME);
    if (Plus)
        FillSys(DC, X + 5, Y + 3, X + 6, Y + 8, COLOR_WINDOWFRAME);
}

void DrawSortArrow(HDC DC, const TRect& Rect, bool Up) {
    const int X = (Rect.Left + Rect.Right - 8) / 2, Y = (Rect.Top + Rect.Bottom - 7) / 2;
    HPEN Shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN Light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ Old = SelectObject(DC, Shadow);
    if (Up) {
        MoveToEx(DC, X + 4, Y, nullptr);
        LineTo(DC, X, Y + 7);
        SelectObject(DC, Light);
        LineTo(DC, X + 8, Y + 7);
        LineTo(DC, X + 4, Y);
    } else {
        MoveToEx(DC, X + 8, Y, nullptr);
        SelectObject(DC, Shadow);
        LineTo(DC, X, Y);
        LineTo(DC, X + 4, Y + 7);
        SelectObject(DC, Light);
        LineTo(DC, X + 8, Y);
    }
    SelectObject(DC, Old);
    DeleteObject(Shadow);
    DeleteObject(Light);
}

void DrawHeaderEdge(HDC DC, TRect& Rect, HBRUSH Brush, int Style, int Kind, bool Pressed) {
    if (Style == 0) {
        DrawEdgeOf(DC, Rect, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
        DrawEdge(DC, Rect, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                 (Pressed ? BF_LEFT | BF_TOP : BF_RECT) | BF_ADJUST);
        FillRect(DC, Rect, Brush);
        return;
    }
    if (Kind != 0) {
        FillRect(DC, Rect, Brush);
        const UINT Edge = Style == 2 ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
        const UINT Flat = Style == 2 ? BF_FLAT : 0;
        DrawEdgeOf(DC, Rect, Edge, BF_TOP | Flat);
        DrawEdgeOf(DC, Rect, Edge, BF_BOTTOM | Flat);
        const int Cut = Kind == 1 || Kind == 3 ? 2 : 1;
        const TRect V{Rect.Left, Rect.Top + Cut, Rect.Right, Rect.Bottom - Cut};
        if (Style == 1)
            DrawEdgeOf(DC, V, Edge, BF_LEFT);
        DrawEdgeOf(DC, V, Edge, BF_RIGHT | Flat);
        Rect = TRect{Rect.Left + 2, Rect.Top + 1, Rect.Right - 2, Rect.Bottom - 1};
        return;
    }
    if (Style == 2) {
        FrameRect(DC, Rect, GetSysColorBrush(COLOR_BTNSHADOW));
        Rect = TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
    } else {
        DrawEdgeOf(DC, Rect, BDR_RAISEDINNER, BF_RECT);
    }
    FillRect(DC, Rect, Brush);
    Rect = TRect{Rect.Left + 1, Rect.Top, Rect.Right - 1, Rect.Bottom};
}

void DrawHeaderButton(HDC DC, TRect Rect, HBRUSH Brush, int Style, int Kind, bool Pressed) {
    const TRect Whole = Rect;
    DrawHeaderEdge(DC, Rect, Brush, Style, Kind, Pressed);
    if (Style != 0 && Pressed)
        InvertRect(DC, Whole);
}

void DrawDropDownButton(HDC DC, const TRect& Rect, int State) {
    FrameRect(DC, Rect, GetSysColorBrush(COLOR_BTNSHADOW));
    const RECT Inner{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
    const int Fill = State & 4 ? COLOR_BTNTEXT : (State & 2 ? COLOR_BTNSHADOW : COLOR_BTNFACE);
    FillRect(DC, &Inner, GetSysColorBrush(Fill));
    int W = Rect.Width() / 2;
    if (W % 2 == 0)
        --W;
    if (W < 1)
        return;
    const COLORREF C = State & (2 | 4) ? GetSysColor(COLOR_WINDOW)
                                       : (State & 8 ? RGB(0, 0, 255) : GetSysColor(COLOR_BTNTEXT));
    const int X = Rect.Left + (Rect.Width() - W) / 2, Y = Rect.Top + (Rect.Height() - (W + 1) / 2) / 2;
    HBRUSH B = CreateSolidBrush(C);
    for (int I = 0; I * 2 < W; ++I) {
        RECT Line{X + I, Y + I, X + W - I, Y + I + 1};
        FillRect(DC, &Line, B);
    }
    DeleteObject(B);
}

namespace {
constexpr UINT HeaderSingleLine = DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
constexpr UINT HeaderMultiLine = DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK;
constexpr UINT AlignFlags[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};
}  // namespace

void DrawHeaderCell(HDC DC, TRect Rect, HBRUSH Brush, int ButtonState, int Style, int Kind, TBitmap* Glyph, int Sorted,
                    TAlignment Alignment, bool MultiLine, bool Pressed, const std::string& Text) {
    DrawHeaderEdge(DC, Rect, Brush, Style, Kind, Pressed);
    TRect T = Style == 0 && Pressed ? TRect{Rect.Left + 3, Rect.Top + 3, Rect.Right + 2, Rect.Bottom + 2}
                                    : TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
    T.Bottom -= 1;
    if (ButtonState != 0 && T.Width() > 14) {
        DrawDropDownButton(DC, TRect{T.Right - 15, T.Top, T.Right, T.Bottom}, ButtonState);
        T.Right -= 15;
    }
    if (Sorted != 0 && T.Width() > 15) {
        DrawSortArrow(DC, TRect{T.Right - 16, T.Top, T.Right, T.Bottom}, Sorted == 1);
        T.Right -= 16;
    }
    if (Glyph && !Glyph->Empty() && T.Width() > Glyph->Width()) {
        const int Y = (T.Top + T.Bottom - Glyph->Height()) / 2;
        DrawTransparentBitmap(DC, Brush, TRect{T.Left, Y, T.Left + Glyph->Width(), Y + Glyph->Height()}, Glyph);
        T.Left += Glyph->Width() + 2;
    }
    SetBkMode(DC, TRANSPARENT);
    UINT Flags = (MultiLine ? HeaderMultiLine : HeaderSingleLine) | AlignFlags[std::clamp(static_cast<int>(Alignment), 0, 2)];
    if (!MultiLine) {
        SIZE S{};
        GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), &S);
        if (S.cx <= T.Width())
            Flags |= DT_NOCLIP;
    }
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), T, Flags);
}

void DrawIndicatorCell(HDC DC, const TRect& Rect, const TRect& ClipRect, int Style, int Glyph, HBRUSH Brush) {
    HDC Mem = CreateCompatibleDC(DC);
    HBITMAP Bmp = CreateCompatibleBitmap(DC, std::max<int>(Rect.Width(), 1), std::max<int>(Rect.Height(), 1));
    HGDIOBJ Old = SelectObject(Mem, Bmp);
    TRect R{0, 0, Rect.Width(), Rect.Height()};
    if (Style == 2) {
        DrawEdgeOf(Mem, R, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM | BF_FLAT | BF_ADJUST);
        FillRect(Mem, R, Brush);
    } else {
        DrawHeaderEdge(Mem, R, Brush, Style, 0, false);
    }
    if (Glyph > 0 && IndicatorImages && Glyph - 1 < IndicatorImages->Count()) {
        const TRect Whole{0, 0, Rect.Width(), Rect.Height()};
        DrawImageListImage(Mem, (Whole.Right - IndicatorImages->Width() + 1) / 2,
                           (Whole.Bottom - IndicatorImages->Height() + 1) / 2, IndicatorImages, Glyph - 1);
    }
    BitBlt(DC, ClipRect.Left, ClipRect.Top, ClipRect.Width(), ClipRect.Height(), Mem, ClipRect.Left - Rect.Left,
           ClipRect.Top - Rect.Top, SRCCOPY);
    SelectObject(Mem, Old);
    DeleteObject(Bmp);
    DeleteDC(Mem);
}

void DrawVisibleFocusRect(HDC DC, const TRect& Rect) {
    const COLORREF Bk = SetBkColor(DC, RGB(0, 0, 0)), Tx = SetTextColor(DC, RGB(255, 255, 255));
    DrawFocusRect(DC, Rect);
    SetBkColor(DC, Bk);
    SetTextColor(DC, Tx);
}

void DrawInvertedFrame(HDC DC, const TRect& R) {
    const RECT Top{R.Left, R.Top, R.Right, R.Top + 1};
    const RECT Right{R.Right - 1, R.Top + 1, R.Right, R.Bottom};
    const RECT Left{R.Left, R.Top + 1, R.Left + 1, R.Bottom};
    const RECT Bottom{R.Left + 1, R.Bottom - 1, R.Right - 1, R.Bottom};
    for (const RECT* P : {&Top, &Right, &Left, &Bottom})
        InvertRect(DC, P);
}

// ---------------------------------------------------------------------------------------------
// Text

int CalcTextLineCount(const std::string& Text, int Width, int LineHeight, int& Height, int WidthOffset, bool FullInset,
                      TFont* Font, int MaxLines) {
    if (Text.empty() || MaxLines == 0)
        return 0;
    RECT R{2, FullInset ? 2 : 1, Width - WidthOffset - 2, LineHeight - (FullInset ? 2 : 1)};
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    Height = DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R,
                       DT_NOPREFIX | DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    if (LineHeight == 0) {
        SIZE S{};
        GetTextExtentPoint32A(DC, "Wg", 2, &S);
        LineHeight = S.cy;
    }
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    int Lines = LineHeight > 0 ? Height / LineHeight : 0;
    if (MaxLines != -1 && Lines > MaxLines) {
        Lines = MaxLines;
        Height = MaxLines * LineHeight;
    }
    Height += 3;
    return Lines;
}

bool SameTextIgnoreCase(const std::string& S1, const std::string& S2) { return AnsiUpperCase(S1) == AnsiUpperCase(S2); }

// ---------------------------------------------------------------------------------------------
// Sort comparisons

namespace {
// Values that cannot be compared with each other are ordered by kind, strings first, so that
// every pair gets one strict answer.
int KindRank(const Variant& V) {
    const TVarType T = V.VType() & varTypeMask;
    return T == varString || T == varOleStr ? 0 : 1 + T;
}
}  // namespace

int CompareVariants(const Variant& A, const Variant& B) {
    const bool NullA = A.IsNull(), NullB = B.IsNull();
    if (NullA && NullB)
        return 0;
    if (NullA)
        return -1;
    if (NullB)
        return 1;
    try {
        // One comparison says both whether the values are equal and which is less: for texts each
        // question is a comparison by the locale, the most of a sort's time.
        if (!A.IsArray() && !B.IsArray()) {
            const TVariantRelationship R = VarCompareValue(A, B);
            if (R != vrNotEqual)
                return R == vrEqual ? 0 : (R == vrLessThan ? -1 : 1);
        } else {
            if (A == B)
                return 0;
            return B < A ? 1 : -1;
        }
    } catch (const Exception&) {
    }
    const int RA = KindRank(A), RB = KindRank(B);
    if (RA != RB)
        return RA < RB ? -1 : 1;
    try {
        const int C = AnsiCompareStr(A.AsString(), B.AsString());
        return C < 0 ? -1 : (C > 0 ? 1 : 0);
    } catch (const Exception&) {
        return 0;
    }
}

int CompareTreeOrder(TdxTreeListNode* NodeA, TdxTreeListNode* NodeB) {
    if (NodeA == NodeB)
        return 0;
    if (NodeA->HasAsParent(NodeB))
        return 1;
    if (NodeB->HasAsParent(NodeA))
        return -1;
    int LA = NodeA->Level(), LB = NodeB->Level();
    while (LA > LB) {
        NodeA = NodeA->Parent();
        --LA;
    }
    while (LB > LA) {
        NodeB = NodeB->Parent();
        --LB;
    }
    while (NodeA->Parent() != NodeB->Parent()) {
        NodeA = NodeA->Parent();
        NodeB = NodeB->Parent();
    }
    return NodeA->Index() - NodeB->Index();
}

// ---------------------------------------------------------------------------------------------
// Drag timers

namespace {
TCustomdxTreeList* TreeListOf(HWND Wnd) {
    TWinControl* C = FindControl(Wnd);
    return C && C->Is<TCustomdxTreeList>() ? static_cast<TCustomdxTreeList*>(C) : nullptr;
}

void StopTimer(HWND Wnd, UINT_PTR& Timer) {
    if (Timer != static_cast<UINT_PTR>(-1))
        KillTimer(Wnd, 1);
    Timer = static_cast<UINT_PTR>(-1);
}
}  // namespace

void CALLBACK HorzDragScrollTimerProc(HWND Wnd, UINT, UINT_PTR, DWORD) {
    TCustomdxTreeList* T = TreeListOf(Wnd);
    const bool Dragging = T && (T->State() == tsColumnDragging || T->State() == tsNodeDragging ||
                                T->State() == tsBandDragging);
    if (Dragging) {
        if (HorzDragScrollLeft && T->LeftCoord() > 0) {
            T->SetLeftCoord(T->LeftCoord() - 32);
            return;
        }
        if (!HorzDragScrollLeft && T->LeftCoord() < T->GetMaxLeftCoord()) {
            T->SetLeftCoord(T->LeftCoord() + 32);
            return;
        }
    }
    StopTimer(Wnd, HorzDragScrollTimer);
}

void CALLBACK VertDragScrollTimerProc(HWND Wnd, UINT, UINT_PTR, DWORD) {
    TCustomdxTreeList* T = TreeListOf(Wnd);
    POINT P;
    GetCursorPos(&P);
    if (T && T->State() == tsNodeDragging && WindowFromPoint(P) == Wnd) {
        T->SetFocusedRowIndex(T->GetFocusedRowIndex() + (VertDragScrollUp ? -1 : 1));
        return;
    }
    StopTimer(Wnd, VertDragScrollTimer);
}

void CALLBACK DragSelectTimerProc(HWND Wnd, UINT, UINT_PTR, DWORD) {
    TCustomdxTreeList* T = TreeListOf(Wnd);
    if (T && T->State() == tsNodeDown) {
        T->SetFocusedRowIndex(T->GetFocusedRowIndex() + (VertDragScrollUp ? -1 : 1));
        return;
    }
    StopTimer(Wnd, VertDragScrollTimer);
}

// ---------------------------------------------------------------------------------------------
// Cell and preview text

namespace {
constexpr UINT CellSingleLine = DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
constexpr UINT CellMultiLine = DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK;
constexpr UINT PreviewFlags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK;
}  // namespace

void DrawTreeCellText(HDC DC, const TRect& Rect, HBRUSH Brush, COLORREF TextColor, const std::string& Text,
                      TAlignment Alignment, bool MultiLine, bool EndEllipsis) {
    FillRect(DC, Rect, Brush);
    const int OldMode = SetBkMode(DC, TRANSPARENT);
    const COLORREF OldColor = SetTextColor(DC, TextColor);
    TRect T{Rect.Left + 2, Rect.Top + (MultiLine ? 1 : 0), Rect.Right - 2, Rect.Bottom};
    const UINT Flags = (MultiLine ? CellMultiLine : CellSingleLine) | (EndEllipsis ? DT_END_ELLIPSIS : 0) |
                       AlignFlags[std::clamp(static_cast<int>(Alignment), 0, 2)];
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), T, Flags);
    SetTextColor(DC, OldColor);
    SetBkMode(DC, OldMode);
}

void DrawPreviewText(HDC DC, const TRect& Rect, HBRUSH Brush, COLORREF TextColor, const std::string& Text, int Indent,
                     HFONT Font) {
    FillRect(DC, Rect, Brush);
    const int OldMode = SetBkMode(DC, TRANSPARENT);
    const COLORREF OldColor = SetTextColor(DC, TextColor);
    HGDIOBJ OldFont = SelectObject(DC, Font);
    TRect T{Rect.Left + 1 + Indent, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), T, PreviewFlags);
    SelectObject(DC, OldFont);
    SetTextColor(DC, OldColor);
    SetBkMode(DC, OldMode);
}

void DrawHeaderCellBuffered(HDC DC, const TRect& Rect, const TRect& ClipRect, HBRUSH Brush, int ButtonState, int Style,
                            int Kind, TBitmap* Glyph, int Sorted, TAlignment Alignment, bool MultiLine, bool Pressed,
                            const std::string& Text, TBitmap* Bitmap) {
    const int W = Rect.Width(), H = Rect.Height();
    if (W <= 0 || H <= 0)
        return;
    SetMinBitmapSize(Bitmap, W, H);
    HDC Mem = Bitmap->Canvas()->Handle();
    HGDIOBJ OldFont = SelectObject(Mem, GetCurrentObject(DC, OBJ_FONT));
    SetTextColor(Mem, GetTextColor(DC));
    DrawHeaderCell(Mem, TRect{0, 0, W, H}, Brush, ButtonState, Style, Kind, Glyph, Sorted, Alignment, MultiLine, false,
                   Text);
    if (Style != 0 && Pressed)
        BitBlt(Mem, 0, 0, W, H, nullptr, 0, 0, DSTINVERT);
    BitBlt(DC, ClipRect.Left, ClipRect.Top, ClipRect.Width(), ClipRect.Height(), Mem, ClipRect.Left - Rect.Left,
           ClipRect.Top - Rect.Top, SRCCOPY);
    SelectObject(Mem, OldFont);
}
