#include "VCLUtils.h"

#include "MaxMin.h"

TBitmap* CellTextBitmap = nullptr;

namespace {

struct TMemoryContext {
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ OldBitmap = nullptr;
    void Make(HDC Compatible, HBITMAP B) {
        DC = CreateCompatibleDC(Compatible);
        Bitmap = B;
        OldBitmap = SelectObject(DC, Bitmap);
    }
    void Free() {
        SelectObject(DC, OldBitmap);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
};

// Undoes a palette selection on every exit path.
struct TPaletteScope {
    HPALETTE Old = nullptr;
    HDC DC = nullptr;
    bool Background = false;
    void Select(HDC ADC, HPALETTE Palette, bool ABackground) {
        DC = ADC;
        Background = ABackground;
        Old = SelectPalette(DC, Palette, Background ? TRUE : FALSE);
        RealizePalette(DC);
    }
    void Restore() {
        if (DC)
            SelectPalette(DC, Old, Background ? TRUE : FALSE);
    }
};

const UINT CellFlags[] = {
    DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX,    // taLeftJustify
    DT_RIGHT | DT_EXPANDTABS | DT_NOPREFIX,   // taRightJustify
    DT_CENTER | DT_EXPANDTABS | DT_NOPREFIX,  // taCenter
};

TAlignment Mirrored(TAlignment A) {
    if (A == taLeftJustify)
        return taRightJustify;
    if (A == taRightJustify)
        return taLeftJustify;
    return A;
}

int UnsignedHalf(int Value) { return static_cast<int>(static_cast<unsigned>(Value) >> 1); }

}  // namespace

void StretchBlitKeyed(HDC DstDC, int DstX, int DstY, int DstW, int DstH, HDC SrcDC, int SrcX, int SrcY, int SrcW,
                      int SrcH, HPALETTE Palette, TColor KeyColour) {
    TMemoryContext Copy, MaskCtx, InvMask, Work;
    Copy.Make(DstDC, CreateCompatibleBitmap(DstDC, SrcW, SrcH));
    MaskCtx.Make(DstDC, CreateBitmap(SrcW, SrcH, 1, 1, nullptr));
    InvMask.Make(DstDC, CreateBitmap(SrcW, SrcH, 1, 1, nullptr));
    Work.Make(DstDC, CreateCompatibleBitmap(DstDC, DstW, DstH));
    TPaletteScope DstPal, CopyPal, MaskPal, WorkPal;
    if (Palette) {
        DstPal.Select(DstDC, Palette, true);
        CopyPal.Select(Copy.DC, Palette, false);
        MaskPal.Select(MaskCtx.DC, Palette, false);
        WorkPal.Select(Work.DC, Palette, true);
    }
    SetMapMode(SrcDC, GetMapMode(DstDC));
    SetMapMode(Copy.DC, GetMapMode(DstDC));
    BitBlt(Copy.DC, 0, 0, SrcW, SrcH, SrcDC, SrcX, SrcY, SRCCOPY);
    // Colour to monochrome: pixels of the background colour become white, the rest black.
    COLORREF OldBk = SetBkColor(Copy.DC, static_cast<COLORREF>(PaletteRelativeColor(KeyColour)));
    BitBlt(MaskCtx.DC, 0, 0, SrcW, SrcH, Copy.DC, 0, 0, SRCCOPY);
    SetBkColor(Copy.DC, OldBk);
    BitBlt(InvMask.DC, 0, 0, SrcW, SrcH, MaskCtx.DC, 0, 0, NOTSRCCOPY);
    BitBlt(Work.DC, 0, 0, DstW, DstH, DstDC, DstX, DstY, SRCCOPY);
    StretchBlt(Work.DC, 0, 0, DstW, DstH, MaskCtx.DC, 0, 0, SrcW, SrcH, SRCAND);
    BitBlt(Copy.DC, 0, 0, SrcW, SrcH, InvMask.DC, 0, 0, SRCAND);
    StretchBlt(Work.DC, 0, 0, DstW, DstH, Copy.DC, 0, 0, SrcW, SrcH, SRCPAINT);
    BitBlt(DstDC, DstX, DstY, DstW, DstH, Work.DC, 0, 0, SRCCOPY);
    WorkPal.Restore();
    MaskPal.Restore();
    CopyPal.Restore();
    DstPal.Restore();
    Copy.Free();
    MaskCtx.Free();
    InvMask.Free();
    Work.Free();
}

void StretchBitmapKeyed(TCanvas* Canvas, TBitmap* Bitmap, TColor KeyColour, int DstX, int DstY, int DstW, int DstH,
                        int SrcX, int SrcY, int SrcW, int SrcH) {
    if (DstW < 1)
        DstW = Bitmap->Width();
    if (DstH < 1)
        DstH = Bitmap->Height();
    if (SrcW < 1 || SrcH < 1) {
        SrcX = SrcY = 0;
        SrcW = Bitmap->Width();
        SrcH = Bitmap->Height();
    }
    if (!Bitmap->Monochrome())
        SetStretchBltMode(Canvas->Handle(), COLORONCOLOR);
    TCanvas* Source = Bitmap->Canvas();
    TNotifyEvent SavedOnChange = Source->OnChange;
    Source->OnChange = nullptr;
    Source->Lock();
    auto Restore = [&] {
        Source->OnChange = SavedOnChange;
        Source->Unlock();
    };
    try {
        if (KeyColour == clNone) {
            StretchBlt(Canvas->Handle(), DstX, DstY, DstW, DstH, Source->Handle(), SrcX, SrcY, SrcW, SrcH,
                       static_cast<DWORD>(Canvas->CopyMode()));
        } else {
            if (KeyColour == clDefault)
                KeyColour = Source->Pixels(0, Bitmap->Height() - 1);
            KeyColour = Bitmap->Monochrome() ? clWhite : ColorToRGB(KeyColour);
            StretchBlitKeyed(Canvas->Handle(), DstX, DstY, DstW, DstH, Source->Handle(), SrcX, SrcY, SrcW, SrcH,
                             Bitmap->Palette(), KeyColour);
        }
    } catch (...) {
        Restore();
        throw;
    }
    Restore();
}

void DrawBitmapKeyed(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor KeyColour) {
    StretchBitmapKeyed(Canvas, Bitmap, KeyColour, X, Y, Bitmap->Width(), Bitmap->Height(), 0, 0, Bitmap->Width(),
                       Bitmap->Height());
}

TColor PaletteRelativeColor(TColor Colour) { return ColorToRGB(Colour) | 0x02000000; }

std::string ShortenTextToWidth(const std::string& Text, TCanvas* Canvas, int MaxWidth) {
    std::string Result = Text;
    int Length = static_cast<int>(Text.size());
    for (int I = 1; I <= Length && Canvas->TextWidth(Result) > MaxWidth;) {
        ++I;
        Result = Text.substr(0, static_cast<std::size_t>(MaxInteger(Length - I, 0))) + "...";
    }
    return Result;
}

void PaintCellText(TCanvas* Canvas, const TRect& Rect, int DX, int DY, const std::string& Text, TAlignment Alignment,
                   bool WordWrap, bool RightToLeft) {
    if (!CellTextBitmap)
        CellTextBitmap = Create<TBitmap>();
    COLORREF Brush = static_cast<COLORREF>(ColorToRGB(Canvas->Brush()->Color()));
    bool RightToLeftCanvas = Canvas->CanvasOrientation() == coRightToLeft;
    if (!WordWrap && GetNearestColor(Canvas->Handle(), Brush) == Brush && Text.find('\r') == std::string::npos) {
        if (RightToLeftCanvas && !RightToLeft)
            Alignment = Mirrored(Alignment);
        int X;
        switch (Alignment) {
        case taRightJustify:
            X = Rect.Right - Canvas->TextWidth(Text) - 3;
            break;
        case taCenter:
            X = Rect.Left + UnsignedHalf(RectangleWidth(Rect)) - UnsignedHalf(Canvas->TextWidth(Text));
            break;
        default:
            X = Rect.Left + DX;
            break;
        }
        Canvas->TextRect(Rect, X, Rect.Top + DY, Text);
        return;
    }
    TCanvas* Off = CellTextBitmap->Canvas();
    Off->Lock();
    try {
        int W = RectangleWidth(Rect), H = Rect.Bottom - Rect.Top;
        if (CellTextBitmap->Width() < W || CellTextBitmap->Height() < H)
            CellTextBitmap->SetSize(MaxInteger(CellTextBitmap->Width(), W), MaxInteger(CellTextBitmap->Height(), H));
        Off = CellTextBitmap->Canvas();
        Off->Font()->Assign(Canvas->Font());
        Off->Brush()->Assign(Canvas->Brush());
        Off->Brush()->SetStyle(bsSolid);
        Off->FillRect(TRect{0, 0, W, H});
        SetBkMode(Off->Handle(), TRANSPARENT);
        if (RightToLeftCanvas)
            Alignment = Mirrored(Alignment);
        UINT Flags = CellFlags[Alignment];
        if (WordWrap)
            Flags |= DT_WORDBREAK;
        if (RightToLeft)
            Flags |= DT_RTLREADING;
        RECT R{DX, DY, W - 1, H - 1};
        Off->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
        DrawTextA(Off->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
        Canvas->CopyRect(Rect, Off, TRect{0, 0, W, H});
    } catch (...) {
        Off->Unlock();
        throw;
    }
    Off->Unlock();
}

void GridCellText(TCustomGrid* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                  TAlignment Alignment, int VertAlign, bool WordWrap, bool RightToLeft) {
    (void)Col, (void)Row;
    TCanvas* Canvas = Grid->Canvas();
    int DY = 2;
    if (VertAlign == 1 || VertAlign == 2) {
        int Th = Canvas->TextHeight("W");
        int H = Rect.Bottom - Rect.Top;
        DY = VertAlign == 1 ? MaxInteger(1, (H - Th) / 2) : MaxInteger(2, H - Th);
    }
    PaintCellText(Canvas, Rect, 2, DY, Text, Alignment, WordWrap, RightToLeft);
}

void GridCellTextNoBidi(TCustomGrid* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                        TAlignment Alignment, int VertAlign, bool WordWrap) {
    GridCellText(Grid, Col, Row, Text, Rect, Alignment, VertAlign, WordWrap, false);
}

void GridCellTextAuto(TCustomGrid* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                      TAlignment Alignment, int VertAlign, bool RightToLeft) {
    GridCellText(Grid, Col, Row, Text, Rect, Alignment, VertAlign, Alignment == taCenter, RightToLeft);
}

void GridCellTextAutoNoBidi(TCustomGrid* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                            TAlignment Alignment, int VertAlign) {
    GridCellTextNoBidi(Grid, Col, Row, Text, Rect, Alignment, VertAlign, Alignment == taCenter);
}

void DefaultBeep() { MessageBeep(0); }

void* AllocZeroedGlobal(int Size) {
    if (Size <= 0)
        return nullptr;
    HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(Size));
    return Block ? GlobalLock(Block) : nullptr;
}

void FreeGlobalAndClear(void*& P) {
    if (!P)
        return;
    HGLOBAL Block = GlobalHandle(P);
    GlobalUnlock(Block);
    GlobalFree(Block);
    P = nullptr;
}

void VCLUtilsFinalization() { FreeAndNil(CellTextBitmap); }
