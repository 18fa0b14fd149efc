// The painting routines the skinned edit and the skin data already call. The device-context and
// bitmap helpers are complete; the section, mask and text painters that follow are placeholders
// that draw nothing (the painting convention for "nothing to paint") until the units that paint
// skin sections, masks and skinned text define them here instead.
#include "sPaintServices.h"

#include <cmath>

void FillRectSolid(HDC DC, TRect Rect, TColor Color) {
    SaveDC(DC);
    HBRUSH Brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color)));
    FillRect(DC, reinterpret_cast<const RECT*>(&Rect), Brush);
    DeleteObject(Brush);
    RestoreDC(DC, -1);
}

void CopyBorderStrips(HDC DstDC, int X, int Y, int B, HDC SrcDC, int SrcX, int SrcY, int W, int H) {
    BitBlt(DstDC, X, Y, B, H, SrcDC, SrcX, SrcY, SRCCOPY);
    BitBlt(DstDC, X, Y, W, B, SrcDC, SrcX, SrcY, SRCCOPY);
    BitBlt(DstDC, X + W - B, Y, B, H, SrcDC, SrcX + W - B, SrcY, SRCCOPY);
    BitBlt(DstDC, X, Y + H - B, W, B, SrcDC, SrcX, SrcY + H - B, SRCCOPY);
}

namespace {
TBitmap* NewBitmap(int Width, int Height, TPixelFormat Format) {
    TBitmap* B = Create<TBitmap>();
    B->SetPixelFormat(Format);
    B->SetHandleType(bmDIB);
    B->SetSize(Width, Height);
    return B;
}
}  // namespace

TBitmap* NewBitmap24(int Width, int Height) { return NewBitmap(Width, Height, pf24bit); }
TBitmap* NewBitmap32(int Width, int Height) { return NewBitmap(Width, Height, pf32bit); }

TColor MixColors(TColor C1, TColor C2, double Part) {
    auto Channel = [&](int Shift) {
        double V = ((C1 >> Shift) & 0xFF) * Part + ((C2 >> Shift) & 0xFF) * (1 - Part);
        return static_cast<TColor>(std::nearbyint(V)) & 0xFF;  // the default rounding: ties to even
    };
    return static_cast<TColor>((static_cast<Cardinal>(C1) & 0xFF000000u) | (Channel(16) << 16) | (Channel(8) << 8) |
                               Channel(0));
}

void PaintControlSkin(TsCommonData*, BackgroundSource, bool, bool, int, TBitmap*, TPoint, TRect, int, int) {}
void PaintAllCacheCorners(TsCommonData*, int) {}
void PaintDisabledLook(TBitmap*, TsDisabledKind, TControl*, BackgroundSource, TPoint) {}
void WriteControlText(TCanvas*, const std::string&, bool, bool, TsCommonData*, UINT, TRect) {}
