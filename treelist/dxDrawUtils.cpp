#include "dxDrawUtils.h"

#include "Canvas.h"
#include "Streams.h"

#include <commctrl.h>

#include <cstring>

HBRUSH HalftoneBrush = nullptr;

namespace {
int HalftoneUsers = 0;

// A memory DC with a bitmap of its own, both freed at the end of the scope.
class TMemoryDC {
public:
    TMemoryDC(HDC Reference, int Width, int Height, bool Monochrome = false) {
        FDC = CreateCompatibleDC(Reference);
        FBitmap = Monochrome ? CreateBitmap(Width, Height, 1, 1, nullptr) : CreateCompatibleBitmap(Reference, Width, Height);
        FOld = SelectObject(FDC, FBitmap);
    }
    ~TMemoryDC() {
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC DC() const { return FDC; }

private:
    HDC FDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
};

// Replaces the pixels of Bitmap's transparent colour in Image (placed at Dest inside it) by Brush.
void PaintTransparentInto(const TMemoryDC& Image, int Width, int Height, HBRUSH Brush, TBitmap* Bitmap) {
    TMemoryDC Mask(Image.DC(), Width, Height, true);
    COLORREF OldBk = SetBkColor(Image.DC(), static_cast<COLORREF>(ColorToRGB(Bitmap->TransparentColor())));
    BitBlt(Mask.DC(), 0, 0, Width, Height, Image.DC(), 0, 0, SRCCOPY);
    SetBkColor(Image.DC(), RGB(255, 255, 255));
    COLORREF OldText = SetTextColor(Image.DC(), RGB(0, 0, 0));
    HGDIOBJ OldBrush = SelectObject(Image.DC(), Brush);
    // DSPDxax: the image where the mask is 0, the brush where it is 1.
    BitBlt(Image.DC(), 0, 0, Width, Height, Mask.DC(), 0, 0, 0x00E20746);
    SelectObject(Image.DC(), OldBrush);
    SetTextColor(Image.DC(), OldText);
    SetBkColor(Image.DC(), OldBk);
}

bool HasLineBreak(const char* Text, int Count) {
    return std::memchr(Text, '\r', Count) != nullptr || std::memchr(Text, '\n', Count) != nullptr;
}
}  // namespace

void SetMinBitmapSize(TBitmap* Bitmap, int Width, int Height) {
    int W = Bitmap->Width() < Width ? Width : Bitmap->Width();
    int H = Bitmap->Height() < Height ? Height : Bitmap->Height();
    if (W != Bitmap->Width() || H != Bitmap->Height())
        Bitmap->SetSize(W, H);
}

void DrawHalftoneRect(HDC DC, const TRect& R, TColor Color) {
    int W = R.Width(), H = R.Height();
    if (W <= 0 || H <= 0)
        return;
    TMemoryDC Image(DC, W, H);
    SetTextColor(Image.DC(), RGB(0, 0, 0));
    SetBkColor(Image.DC(), RGB(255, 255, 255));
    RECT Whole{0, 0, W, H};
    FillRect(Image.DC(), &Whole, HalftoneBrush);
    // The screen on the brush's white squares, black on the others.
    BitBlt(Image.DC(), 0, 0, W, H, DC, R.Left, R.Top, SRCAND);
    COLORREF OldText = SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Color)));
    COLORREF OldBk = SetBkColor(DC, RGB(0, 0, 0));
    FillRect(DC, R, HalftoneBrush);
    BitBlt(DC, R.Left, R.Top, W, H, Image.DC(), 0, 0, SRCPAINT);
    SetBkColor(DC, OldBk);
    SetTextColor(DC, OldText);
}

void DrawTransparentBitmap(HDC DC, HBRUSH Brush, const TRect& R, TBitmap* Bitmap) {
    int W = Bitmap->Width(), H = Bitmap->Height();
    if (W <= 0 || H <= 0)
        return;
    TMemoryDC Image(DC, W, H);
    BitBlt(Image.DC(), 0, 0, W, H, Bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
    PaintTransparentInto(Image, W, H, Brush, Bitmap);
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Image.DC(), 0, 0, SRCCOPY);
}

void DrawTransparentBitmapInRect(HDC DC, HBRUSH Brush, const TRect& ClipRect, TBitmap* Bitmap, const TRect& DestRect) {
    int W = ClipRect.Width(), H = ClipRect.Height();
    if (W <= 0 || H <= 0)
        return;
    TMemoryDC Image(DC, W, H);
    RECT Whole{0, 0, W, H};
    FillRect(Image.DC(), &Whole, Brush);
    BitBlt(Image.DC(), DestRect.Left - ClipRect.Left, DestRect.Top - ClipRect.Top, DestRect.Width(), DestRect.Height(),
           Bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
    PaintTransparentInto(Image, W, H, Brush, Bitmap);
    BitBlt(DC, ClipRect.Left, ClipRect.Top, W, H, Image.DC(), 0, 0, SRCCOPY);
}

int DrawCellText(HDC DC, const char* Text, int Count, int* TextHeight, COLORREF TextColor, COLORREF BkColor, HFONT Font,
                 HBRUSH Brush, Word Flags, const TRect& TextRect, const TRect& CellRect) {
    using namespace dxCellText;
    HGDIOBJ OldFont = SelectObject(DC, Font);
    COLORREF OldBk = SetBkColor(DC, BkColor);
    COLORREF OldText = SetTextColor(DC, TextColor);
    auto Restore = [&] {
        SetTextColor(DC, OldText);
        SetBkColor(DC, OldBk);
        SelectObject(DC, OldFont);
    };
    if (!Text)
        Count = 0;
    SIZE Extent{0, 0};
    GetTextExtentPoint32A(DC, Text ? Text : "", Count, &Extent);
    const bool Measure = (Flags & MeasureOnly) != 0;
    if (Measure) {
        if (TextHeight)
            *TextHeight = Extent.cy;
        if (Extent.cy == 0) {
            Restore();
            return 0;
        }
    }
    const bool Opaque = (Flags & dxCellText::Transparent) == 0;
    const bool KeepMode = (Flags & KeepBkMode) != 0;
    bool TooWide;
    bool MultiLine;
    if (Flags & (Prefix | WordWrap)) {
        MultiLine = true;
        TooWide = true;
    } else {
        TooWide = TextRect.Width() < Extent.cx;
        MultiLine = (Flags & (EndEllipsis | PathEllipsis)) != 0 && (TooWide || HasLineBreak(Text, Count));
    }
    int Height = Extent.cy;
    TRect Occupied = TextRect;
    if (MultiLine) {
        static constexpr UINT Aligns[4] = {DT_LEFT, DT_CENTER, DT_RIGHT, DT_LEFT};
        UINT Format = Aligns[Flags & AlignMask];
        if (!TooWide)
            Format |= DT_NOCLIP;
        if (!(Flags & Prefix))
            Format |= DT_NOPREFIX;
        if (Flags & EndEllipsis)
            Format |= DT_END_ELLIPSIS;
        if (Flags & PathEllipsis)
            Format |= DT_PATH_ELLIPSIS;
        if (Flags & VCenter)
            Format |= DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
        else if (Flags & dxCellText::Bottom)
            Format |= DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS;
        else if (Flags & WordWrap)
            Format |= DT_WORDBREAK | DT_EXPANDTABS;
        else
            Format |= DT_SINGLELINE | DT_EXPANDTABS;
        if (Measure) {
            TRect R = TextRect;
            Height = DrawTextA(DC, Text, Count, R, Format | DT_CALCRECT);
        } else {
            if (Opaque)
                FillRect(DC, CellRect, Brush);
            int OldMode = KeepMode ? 0 : SetBkMode(DC, TRANSPARENT);
            TRect R = TextRect;
            DrawTextA(DC, Text, Count, R, Format);
            if (!KeepMode)
                SetBkMode(DC, OldMode);
            if ((Flags & FocusRect) && (Flags & FocusOnText)) {
                DrawTextA(DC, Text, Count, Occupied, Format | DT_CALCRECT);
                if (Format & DT_SINGLELINE)
                    Occupied.Top = Occupied.Bottom - Extent.cy;
            }
        }
    } else if (!Measure) {
        TRect Clip = CellRect;
        int X = TextRect.Left, Y = TextRect.Top;
        if (TooWide) {
            if (Opaque) {
                TRect Rest{TextRect.Right, CellRect.Top, CellRect.Right, CellRect.Bottom};
                if (!Rest.IsEmpty())
                    FillRect(DC, Rest, Brush);
            }
            Clip.Right = TextRect.Right;
        } else if ((Flags & AlignMask) == Centre)
            X = (TextRect.Left + TextRect.Right - Extent.cx) / 2;
        else if ((Flags & AlignMask) == dxCellText::Right)
            X = TextRect.Right - Extent.cx;
        if (Flags & VCenter)
            Y = (TextRect.Top + TextRect.Bottom - Extent.cy) / 2;
        else if (Flags & dxCellText::Bottom)
            Y = TextRect.Bottom - Extent.cy;
        if (Opaque)
            ExtTextOutA(DC, X, Y, ETO_OPAQUE | ETO_CLIPPED, Clip, Text, Count, nullptr);
        else {
            int OldMode = KeepMode ? 0 : SetBkMode(DC, TRANSPARENT);
            ExtTextOutA(DC, X, Y, ETO_CLIPPED, Clip, Text, Count, nullptr);
            if (!KeepMode)
                SetBkMode(DC, OldMode);
        }
        Occupied = TRect{X, Y, X + Extent.cx, Y + Extent.cy};
    }
    int Result = 0;
    if (Measure)
        Result = CellRect.Height() - TextRect.Height() + Height;
    else if ((Flags & FocusRect) && !((Flags & FocusOnText) && Count == 0)) {
        TRect F = (Flags & FocusOnText) ? Occupied : TextRect;
        InflateRect(F, 1, 1);
        SetBkColor(DC, RGB(0, 0, 0));
        SetTextColor(DC, RGB(255, 255, 255));
        DrawFocusRect(DC, F);
    }
    Restore();
    return Result;
}

void GetWorkArea(TPoint P, TRect& R) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, static_cast<RECT*>(R), 0);
    HMONITOR Monitor = MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST);
    MONITORINFO Info{};
    Info.cbSize = sizeof(Info);
    if (Monitor && GetMonitorInfoA(Monitor, &Info))
        R = TRect::From(Info.rcWork);
}

void FitPopupToWorkArea(TPoint& P, int Width, int Height, int OwnerHeight) {
    TRect W;
    GetWorkArea(P, W);
    if (P.X < W.Left)
        P.X = W.Left;
    if (P.X + Width > W.Right)
        P.X = W.Right - Width;
    if (P.Y + Height > W.Bottom && W.Bottom - (P.Y + OwnerHeight) < P.Y - W.Top)
        P.Y = P.Y - Height - OwnerHeight;
}

COLORREF ColorToImageListColor(TColor Color) {
    if (Color == clNone)
        return CLR_NONE;
    if (Color == clDefault)
        return CLR_DEFAULT;
    return static_cast<COLORREF>(ColorToRGB(Color));
}

void DrawImageListImage(HDC DC, int X, int Y, TCustomImageList* ImageList, int Index) {
    if (!ImageList || !ImageList->HandleAllocated())
        return;
    static constexpr UINT Styles[4] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    UINT Style = Styles[ImageList->DrawingStyle()];
    if (ImageList->ImageType() == itMask)
        Style |= ILD_MASK;
    ImageList_DrawEx(ImageList->Handle(), Index, DC, X, Y, 0, 0, ColorToImageListColor(ImageList->BkColor()),
                     ColorToImageListColor(ImageList->BlendColor()), Style);
}

void FillShadowEdges(HDC DC, const TRect& R, int Size, HBRUSH Brush) {
    TRect BottomStrip{R.Left, R.Bottom - Size, R.Right, R.Bottom};
    TRect RightStrip{R.Right - Size, R.Top, R.Right, R.Bottom};
    FillRect(DC, BottomStrip, Brush);
    FillRect(DC, RightStrip, Brush);
}

void dxDrawUtilsInitialization() {
    if (HalftoneUsers++ > 0)
        return;
    // Rows of a monochrome bitmap are word-aligned: one word per row, the pattern in its first byte
    // (a set bit is white; the black pixels are those whose column and row are both even or both odd).
    WORD Pattern[8];
    for (int Row = 0; Row < 8; ++Row)
        Pattern[Row] = (Row % 2 == 0) ? 0x55 : 0xAA;
    HBITMAP Bits = CreateBitmap(8, 8, 1, 1, Pattern);
    HalftoneBrush = CreatePatternBrush(Bits);
    DeleteObject(Bits);
}

void dxDrawUtilsFinalization() {
    if (HalftoneUsers == 0 || --HalftoneUsers > 0)
        return;
    DeleteObject(HalftoneBrush);
    HalftoneBrush = nullptr;
}

HCURSOR LoadDataCursor(const char* Name) {
    HMODULE M = MainInstance();
    HRSRC Res = FindResourceA(M, Name, MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL Data = Res ? LoadResource(M, Res) : nullptr;
    auto* Bits = Data ? static_cast<BYTE*>(LockResource(Data)) : nullptr;
    if (!Bits)
        return nullptr;
    return reinterpret_cast<HCURSOR>(
        CreateIconFromResourceEx(Bits, SizeofResource(M, Res), FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
}
