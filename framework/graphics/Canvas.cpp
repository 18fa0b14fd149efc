#include "Canvas.h"

#include "Graphic.h"
#include "Bitmaps.h"


namespace {
HGDIOBJ StockPen() { return GetStockObject(BLACK_PEN); }
HGDIOBJ StockBrush() { return GetStockObject(HOLLOW_BRUSH); }
HGDIOBJ StockFont() { return GetStockObject(SYSTEM_FONT); }

const int PenModes[] = {R2_BLACK,       R2_WHITE,       R2_NOP,     R2_NOT,        R2_COPYPEN, R2_NOTCOPYPEN,
                        R2_MERGEPENNOT, R2_MASKPENNOT,  R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                        R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,  R2_NOTXORPEN};
}  // namespace

TCanvas::TCanvas() {
    InitializeCriticalSection(&FLock);
    FFont = Create<TFont>();
    FFont->OnChange = TNotifyEvent::Bind<&TCanvas::FontChanged>(this);
    FPen = Create<TPen>();
    FPen->OnChange = TNotifyEvent::Bind<&TCanvas::PenChanged>(this);
    FBrush = Create<TBrush>();
    FBrush->OnChange = TNotifyEvent::Bind<&TCanvas::BrushChanged>(this);
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
    FreeAndNil(FFont);
    FreeAndNil(FPen);
    FreeAndNil(FBrush);
    DeleteCriticalSection(&FLock);
}

HDC TCanvas::Handle() {
    // A handle given out is drawn on directly (DrawText and the like): the canvas's font, pen and
    // brush are in it, or those calls would use the context's defaults and measure another text.
    RequiredState(TCanvasState{csHandleValid, csFontValid, csPenValid, csBrushValid});
    return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
    if (FHandle == Value)
        return;
    if (FHandle) {
        DeselectHandles();
        POINT P;
        if (GetCurrentPositionEx(FHandle, &P))
            FPenPos = TPoint{P.x, P.y};
        FHandle = nullptr;
        FState.Exclude(csHandleValid);
    }
    if (Value) {
        FState.Include(csHandleValid);
        FHandle = Value;
        MoveToEx(FHandle, FPenPos.X, FPenPos.Y, nullptr);
    }
}

void TCanvas::DeselectHandles() {
    if (!FHandle || (FState * TCanvasState{csFontValid, csPenValid, csBrushValid}).Empty())
        return;
    SelectObject(FHandle, StockPen());
    SelectObject(FHandle, StockBrush());
    SelectObject(FHandle, StockFont());
    FState -= TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::RequiredState(TCanvasState ReqState) {
    TCanvasState Needed = ReqState - FState;
    if (Needed.Empty())
        return;
    if (Needed.Contains(csHandleValid)) {
        CreateHandle();
        if (!FHandle)
            throw EInvalidOperation(GraphicsConsts::SNoCanvas);
    }
    if (Needed.Contains(csFontValid))
        SelectFont();
    if (Needed.Contains(csPenValid))
        SelectPen();
    if (Needed.Contains(csBrushValid))
        SelectBrush();
    FState += Needed;
}

void TCanvas::SelectFont() {
    SelectObject(FHandle, FFont->Handle());
    SetTextColor(FHandle, static_cast<COLORREF>(ColorToRGB(FFont->Color())));
}

void TCanvas::SelectPen() {
    SelectObject(FHandle, FPen->Handle());
    SetROP2(FHandle, PenModes[FPen->Mode()]);
}

void TCanvas::SelectBrush() {
    HBRUSH B = FBrush->Handle();
    UnrealizeObject(B);
    SelectObject(FHandle, B);
    // A hatched or clear brush lets text and hatches show the background; only a solid one paints it.
    if (FBrush->Style() == bsSolid) {
        SetBkColor(FHandle, static_cast<COLORREF>(ColorToRGB(FBrush->Color())));
        SetBkMode(FHandle, OPAQUE);
    } else {
        SetBkColor(FHandle, ~static_cast<COLORREF>(ColorToRGB(FBrush->Color())) & 0xFFFFFF);
        SetBkMode(FHandle, TRANSPARENT);
    }
}

// The objects leave the DC before their handles may be freed by the change.
void TCanvas::FontChanged(TObject*) {
    if (FState.Contains(csFontValid)) {
        FState.Exclude(csFontValid);
        SelectObject(FHandle, StockFont());
    }
}

void TCanvas::PenChanged(TObject*) {
    if (FState.Contains(csPenValid)) {
        FState.Exclude(csPenValid);
        SelectObject(FHandle, StockPen());
    }
}

void TCanvas::BrushChanged(TObject*) {
    if (FState.Contains(csBrushValid)) {
        FState.Exclude(csBrushValid);
        SelectObject(FHandle, StockBrush());
    }
}

void TCanvas::Lock() {
    EnterCriticalSection(&FLock);
    ++FLockCount;
}

bool TCanvas::TryLock() {
    if (!TryEnterCriticalSection(&FLock))
        return false;
    ++FLockCount;
    return true;
}

void TCanvas::Unlock() {
    --FLockCount;
    LeaveCriticalSection(&FLock);
}

void TCanvas::Changed() {
    if (OnChange)
        OnChange(this);
}

void TCanvas::Changing() {
    if (OnChanging)
        OnChanging(this);
}

TPoint TCanvas::PenPos() {
    if (FHandle) {
        POINT P;
        if (GetCurrentPositionEx(FHandle, &P))
            return TPoint{P.x, P.y};
    }
    return FPenPos;
}

TCanvasOrientation TCanvas::CanvasOrientation() {
    if (FHandle && (GetLayout(FHandle) & LAYOUT_RTL))
        return coRightToLeft;
    return coLeftToRight;
}

void TCanvas::FillRect(const TRect& R) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csBrushValid});
    ::FillRect(FHandle, R, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& R) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csBrushValid});
    ::FrameRect(FHandle, R, FBrush->Handle());
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::Polygon(FHandle, reinterpret_cast<const POINT*>(Points.data()), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::Polyline(FHandle, reinterpret_cast<const POINT*>(Points.data()), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::MoveTo(int X, int Y) {
    if (FHandle)
        MoveToEx(FHandle, X, Y, nullptr);
    FPenPos = TPoint{X, Y};
}

void TCanvas::LineTo(int X, int Y) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::LineTo(FHandle, X, Y);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& R) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csBrushValid});
    ::DrawFocusRect(FHandle, R);
    Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
    RequiredState(TCanvasState{csHandleValid});
    return static_cast<TColor>(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid});
    SetPixel(FHandle, X, Y, static_cast<COLORREF>(ColorToRGB(Value)));
    Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    int W = TextWidth(Text);
    if (CanvasOrientation() == coRightToLeft)
        X += W + 1;
    ExtTextOutA(FHandle, X, Y, static_cast<UINT>(FTextFlags), nullptr, Text.data(), static_cast<UINT>(Text.size()),
                nullptr);
    MoveTo(X + W, Y);
    Changed();
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const std::string& Text) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    UINT Options = (static_cast<UINT>(FTextFlags) & ~UINT(ETO_OPAQUE)) | ETO_CLIPPED;
    if (FBrush->Style() != bsClear)
        Options |= ETO_OPAQUE;
    if (CanvasOrientation() == coRightToLeft)
        X += TextWidth(Text) + 1;
    ExtTextOutA(FHandle, X, Y, Options, R, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const std::string& Text) {
    RequiredState(TCanvasState{csHandleValid, csFontValid});
    TSize S;
    GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), S);
    return S;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    RequiredState(TCanvasState{csHandleValid});
    SetBkColor(FHandle, static_cast<COLORREF>(ColorToRGB(FBrush->Color())));
    Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
    if (!Graphic)
        return;
    Changing();
    RequiredState(TCanvasState{csHandleValid});
    Graphic->Draw(this, R);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    Canvas->RequiredState(TCanvasState{csHandleValid, csBrushValid});
    StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left, Source.Top,
               Source.Width(), Source.Height(), static_cast<DWORD>(FCopyMode));
    Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
    if (!Bitmap)
        return;
    // Where the mask is set the brush is painted: D xor (S and (P xor D)).
    constexpr DWORD ROP_DSPDxax = 0x00E20746;
    Lock();
    struct TUnlock {
        TCanvas* C;
        ~TUnlock() { C->Unlock(); }
    } Unlocker{this};
    Changing();
    RequiredState(TCanvasState{csHandleValid, csBrushValid});
    TBitmap* Src = Bitmap;
    TOwned<TBitmap> Mask(Create<TBitmap>());
    Mask->SetHandle(GraphicsDetail::CreateMaskBitmap(Src, ColorToRGB(Color)));
    HDC SrcDC = Src->Canvas()->Handle();
    HDC MaskDC = Mask->Canvas()->Handle();
    if (FBrush->Style() == bsClear) {
        GraphicsDetail::TransparentStretchBlt(FHandle, Dest, SrcDC, Source, MaskDC, Source.Left, Source.Top);
    } else {
        StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), SrcDC, Source.Left, Source.Top,
                   Source.Width(), Source.Height(), SRCCOPY);
        COLORREF Text = SetTextColor(FHandle, 0);
        COLORREF Back = SetBkColor(FHandle, 0xFFFFFF);
        StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), MaskDC, Source.Left, Source.Top,
                   Source.Width(), Source.Height(), ROP_DSPDxax);
        SetTextColor(FHandle, Text);
        SetBkColor(FHandle, Back);
    }
    Changed();
}

TRect TCanvas::ClipRect() {
    RequiredState(TCanvasState{csHandleValid});
    TRect R;
    GetClipBox(FHandle, R);
    return R;
}

namespace GraphicsDetail {
void TransparentStretchBlt(HDC DstDC, const TRect& Dest, HDC SrcDC, const TRect& Source, HDC MaskDC, int MaskX,
                           int MaskY) {
    int SrcW = Source.Width(), SrcH = Source.Height();
    if (SrcW <= 0 || SrcH <= 0 || Dest.Width() == 0 || Dest.Height() == 0)
        return;
    // The source with its transparent pixels made black, ORed onto the destination after the
    // destination's opaque part has been cleared through the mask.
    HDC MemDC = CreateCompatibleDC(nullptr);
    HBITMAP MemBmp = CreateCompatibleBitmap(SrcDC, SrcW, SrcH);
    HGDIOBJ OldBmp = SelectObject(MemDC, MemBmp);
    BitBlt(MemDC, 0, 0, SrcW, SrcH, SrcDC, Source.Left, Source.Top, SRCCOPY);
    SetTextColor(MemDC, 0);
    SetBkColor(MemDC, 0xFFFFFF);
    constexpr DWORD ROP_DSna = 0x00220326;
    BitBlt(MemDC, 0, 0, SrcW, SrcH, MaskDC, MaskX, MaskY, ROP_DSna);
    COLORREF Text = SetTextColor(DstDC, 0);
    COLORREF Back = SetBkColor(DstDC, 0xFFFFFF);
    int Mode = SetStretchBltMode(DstDC, COLORONCOLOR);
    StretchBlt(DstDC, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), MaskDC, MaskX, MaskY, SrcW, SrcH, SRCAND);
    StretchBlt(DstDC, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), MemDC, 0, 0, SrcW, SrcH, SRCPAINT);
    SetStretchBltMode(DstDC, Mode);
    SetTextColor(DstDC, Text);
    SetBkColor(DstDC, Back);
    SelectObject(MemDC, OldBmp);
    DeleteObject(MemBmp);
    DeleteDC(MemDC);
}
}  // namespace GraphicsDetail
