#include "acFastPixels.h"

#include "GraphicsColors.h"

#include <algorithm>
#include <cmath>

TacPixelView PixelViewOf(TBitmap* Bitmap) {
    TacPixelView View;
    if (!Bitmap || Bitmap->Width() <= 0 || Bitmap->Height() <= 0)
        return View;
    View.First = static_cast<BYTE*>(Bitmap->ScanLine(0));
    if (Bitmap->Height() > 1)
        View.Step = static_cast<LongInt>(static_cast<BYTE*>(Bitmap->ScanLine(1)) - View.First);
    View.Width = Bitmap->Width();
    View.Height = Bitmap->Height();
    View.Bytes = PixelBytes(Bitmap);
    return View;
}

int PixelBytes(TBitmap* Bitmap) {
    if (!Bitmap)
        return 0;
    switch (Bitmap->PixelFormat()) {
    case pf24bit:
        return 3;
    case pf32bit:
        return 4;
    default:
        return 0;
    }
}

namespace {
// The fields every single-bitmap access object fills on attach.
template <class T>
bool AttachTo(T& Self, TBitmap* Bitmap) {
    Self.Bitmap = Bitmap;
    if (!Bitmap || Bitmap->Width() <= 1 || Bitmap->Height() <= 1) {
        Self.PixelWidth = 0;
        return false;
    }
    Self.PixelWidth = Bitmap->Width();
    Self.PixelHeight = Bitmap->Height();
    TacPixelView View = PixelViewOf(Bitmap);
    Self.FirstRow = View.First;
    Self.RowStep = View.Step;
    return true;
}

// The part of R that lies in a W x H bitmap (right and bottom exclusive).
TRect ClipToBitmap(const TRect& R, int W, int H) {
    return TRect{std::max<LONG>(R.Left, 0), std::max<LONG>(R.Top, 0), std::min<LONG>(R.Right, W),
                 std::min<LONG>(R.Bottom, H)};
}
}  // namespace

bool TacFast24::Attach(TBitmap* ABitmap) { return AttachTo(*this, ABitmap); }

bool TacFast32::Attach(TBitmap* ABitmap) { return AttachTo(*this, ABitmap); }

void TacFast32::FillRect(const TRect& Rect, Cardinal Value) {
    if (!Bitmap)
        return;
    // Outside the bitmap there is nothing to fill; a rectangle reaching beyond it would otherwise
    // write into memory that is not the image's.
    TRect R = ClipToBitmap(Rect, Bitmap->Width(), Bitmap->Height());
    for (int Y = R.Top; Y < R.Bottom; ++Y) {
        auto* Row = static_cast<Cardinal*>(Bitmap->ScanLine(Y));
        FillPixelRun(Row + R.Left, R.Right - R.Left, Value);
    }
}

bool TacFastSumBase::Attach(TBitmap* Src, TBitmap* Dst) {
    SrcBitmap = Src;
    DstBitmap = Dst;
    if (!Src || !Dst || Src->Width() < 2 || Src->Height() < 2 || Dst->Width() < 2 || Dst->Height() < 2)
        return false;
    CommonWidth = std::min(Src->Width(), Dst->Width());
    CommonHeight = std::min(Src->Height(), Dst->Height());
    TacPixelView S = PixelViewOf(Src);
    TacPixelView D = PixelViewOf(Dst);
    SrcFirstRow = S.First;
    SrcRowStep = S.Step;
    DstFirstRow = D.First;
    DstRowStep = D.Step;
    return true;
}

void TacFastSumBase::BlendBytes(int BytesPerPixel) {
    const int A = DstWeight;
    const int SA = 255 - A;
    const int Shift = (DstLeft - SrcLeft) * BytesPerPixel;
    const int First = DstLeft * BytesPerPixel;
    const int Last = DstRight * BytesPerPixel - 1;
    for (int Y = DstBottom - 1; Y >= DstTop; --Y) {
        BYTE* D = DstFirstRow + Y * DstRowStep;
        const BYTE* S = SrcFirstRow + (Y - DstBottom + SrcBottom) * SrcRowStep - Shift;
        for (int J = Last; J >= First; --J)
            D[J] = static_cast<BYTE>((D[J] * A + S[J] * SA + 127) >> 8);
    }
}

void FillPixelRun(Cardinal* Pixels, int Count, Cardinal Value) {
    if (Count > 0)
        std::fill_n(Pixels, Count, Value);
}

void FillRect32(TBitmap* Bitmap, const TRect& Rect, TColor Color) {
    TacFast32 F;
    if (F.Attach(Bitmap))
        F.FillRect(Rect, ColorToPixel32(Color));
}

void SetAlphaInRect(TBitmap* Bitmap, const TRect& Rect, Byte Alpha) {
    if (!Bitmap)
        return;
    TRect R{Rect.Left, Rect.Top, Rect.Left + std::max<LONG>(Rect.Right - Rect.Left, 0),
            Rect.Top + std::max<LONG>(Rect.Bottom - Rect.Top, 0)};
    R = ClipToBitmap(R, Bitmap->Width(), Bitmap->Height());
    for (int Y = R.Top; Y < R.Bottom; ++Y) {
        auto* Row = static_cast<BYTE*>(Bitmap->ScanLine(Y));
        for (int X = R.Left; X < R.Right; ++X)
            Row[X * 4 + 3] = Alpha;
    }
}

void BlendRectToColor(TBitmap* Bitmap, TRect Rect, int Percent, TColor Color) {
    int B = PixelBytes(Bitmap);
    if (B == 0)
        return;
    Rect.Left = std::max<LONG>(Rect.Left, 0);
    Rect.Top = std::max<LONG>(Rect.Top, 0);
    Rect.Right = std::min<LONG>(Rect.Right, Bitmap->Width() - 1);
    Rect.Bottom = std::min<LONG>(Rect.Bottom, Bitmap->Height() - 1);
    if (Rect.Right < Rect.Left || Rect.Bottom < Rect.Top)
        return;
    auto C = static_cast<Cardinal>(ColorToRGB(Color));
    const double F = std::clamp(Percent, 0, 100) / 100.0;
    const double G = 1 - F;
    // Blue, green, red as they lie in memory.
    const double Tint[3] = {((C >> 16) & 0xFF) * G, ((C >> 8) & 0xFF) * G, (C & 0xFF) * G};
    for (int Y = Rect.Top; Y <= Rect.Bottom; ++Y) {
        BYTE* P = static_cast<BYTE*>(Bitmap->ScanLine(Y)) + Rect.Left * B;
        for (int X = Rect.Left; X <= Rect.Right; ++X, P += B)
            for (int K = 0; K < 3; ++K)
                P[K] = static_cast<BYTE>(std::nearbyint(P[K] * F + Tint[K]));
    }
}
