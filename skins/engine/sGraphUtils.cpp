#include "sGraphUtils.h"

#include "Canvas.h"
#include "acFastPixels.h"
#include "acntUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

TUpdateLayeredWindowProc UpdateLayeredWindowProc = nullptr;

namespace {
HMODULE User32Library = nullptr;

// Blue, green, red of a TColor as they lie in memory.
struct TBgr {
    BYTE C[3];
};
TBgr BgrOf(TColor Color) {
    auto V = static_cast<Cardinal>(Color);
    return TBgr{{BYTE(V >> 16), BYTE(V >> 8), BYTE(V)}};
}

bool SameColor(const BYTE* P, TColor Color) { return PixelIsColor(P, Color); }

// A key colour whose top byte is 0xFF matches nothing.
bool IsKey(const BYTE* P, TColor KeyColor) {
    return (static_cast<Cardinal>(KeyColor) >> 24) != 0xFF && PixelIsColor(P, KeyColor);
}

// The 32-bit value a 32-bit pixel holds as stored.
Cardinal StoredValue(const BYTE* P) {
    Cardinal V;
    std::memcpy(&V, P, 4);
    return V;
}

BYTE ToByte(double V) { return static_cast<BYTE>(std::clamp(std::nearbyint(V), 0.0, 255.0)); }

// SrcRect limited to the source, inclusive.
TRect LimitInclusive(TRect R, const TacPixelView& S) {
    R.Left = std::max<LONG>(R.Left, 0);
    R.Top = std::max<LONG>(R.Top, 0);
    R.Right = std::min<LONG>(R.Right, S.Width - 1);
    R.Bottom = std::min<LONG>(R.Bottom, S.Height - 1);
    return R;
}

// The rows and columns two rectangles (right and bottom exclusive) have in common once negative
// origins are cut from both and both bitmaps bound them; SrcRows bounds the source rows.
struct TSpan {
    int DstX, DstY, SrcX, SrcY, Cols, Rows;
};
bool FitSpan(const TRect& DstRect, const TRect& SrcRect, const TacPixelView& D, int SrcWidth, int SrcRows,
             TSpan& Span) {
    Span = TSpan{DstRect.Left, DstRect.Top, SrcRect.Left, SrcRect.Top,
                 std::min(DstRect.Right - DstRect.Left, SrcRect.Right - SrcRect.Left),
                 std::min(DstRect.Bottom - DstRect.Top, SrcRect.Bottom - SrcRect.Top)};
    int Cut = std::min(Span.DstX, Span.SrcX);
    if (Cut < 0) {
        Span.DstX -= Cut;
        Span.SrcX -= Cut;
        Span.Cols += Cut;
    }
    Cut = std::min(Span.DstY, Span.SrcY);
    if (Cut < 0) {
        Span.DstY -= Cut;
        Span.SrcY -= Cut;
        Span.Rows += Cut;
    }
    Span.Cols = std::min({Span.Cols, D.Width - Span.DstX, SrcWidth - Span.SrcX});
    Span.Rows = std::min({Span.Rows, D.Height - Span.DstY, SrcRows - Span.SrcY});
    return Span.Cols > 0 && Span.Rows > 0;
}

// SrcRect (inclusive) of S copied to (X, Y) of D except key pixels, which take Behind's pixel when
// there is one.
void CopyKeyed(const TacPixelView& D, const TacPixelView& S, int X, int Y, TRect SrcRect, TColor KeyColor,
               const TacBackgroundPixels* Behind) {
    if (!D.Valid() || !S.Valid())
        return;
    SrcRect = LimitInclusive(SrcRect, S);
    for (int R = SrcRect.Top; R <= SrcRect.Bottom; ++R) {
        int DY = Y + R - SrcRect.Top;
        if (DY < 0 || DY >= D.Height)
            continue;
        for (int C = SrcRect.Left; C <= SrcRect.Right; ++C) {
            int DX = X + C - SrcRect.Left;
            if (DX < 0 || DX >= D.Width)
                continue;
            const BYTE* SP = S.At(C, R);
            if (!IsKey(SP, KeyColor))
                CopyPixel(D.At(DX, DY), SP, D.Bytes);
            else if (Behind)
                Behind->CopyTo(D.At(DX, DY), D.Bytes, DX, DY);
        }
    }
}

// The tinted value of one channel: the source's grey scaled by the tint's channel.
int Tinted(const BYTE* S, int TintChannel) {
    int Grey = (S[0] + S[1] + S[2]) / 3;
    return std::min(255, static_cast<int>(std::nearbyint(Grey * TintChannel / 255.0)));
}

// d := d + ((t - d) x a) shr 8 (shifted toward minus infinity), t the source or its tinted value.
void AlphaBlend(BYTE* D, const BYTE* S, int A, bool UseTint, const TBgr& Tint) {
    for (int K = 0; K < 3; ++K) {
        int T = UseTint ? Tinted(S, Tint.C[K]) : S[K];
        D[K] = static_cast<BYTE>(D[K] + (((T - D[K]) * A) >> 8));
    }
}

constexpr Cardinal StoredKey = 0x00FF00FF;  // 0xFF00FF as a 32-bit pixel with alpha 0
}  // namespace

TacBackgroundPixels::TacBackgroundPixels(const BackgroundSource& Background, TBitmap* Except) {
    if (Background.HasBitmap && Background.Bmp && Background.Bmp != Except)
        FView = PixelViewOf(Background.Bmp);
    FX = Background.OffsetX;
    FY = Background.OffsetY;
}

bool TacBackgroundPixels::CopyTo(BYTE* Dst, int DstBytes, int X, int Y) const {
    if (!FView.Valid() || !FView.Inside(FX + X, FY + Y))
        return false;
    CopyPixel(Dst, FView.At(FX + X, FY + Y), DstBytes);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Factories and colours

namespace {
TBitmap* NewBitmap(int Width, int Height, TPixelFormat Format) {
    TBitmap* B = Create<TBitmap>();
    B->SetPixelFormat(Format);
    B->SetHandleType(bmDIB);
    B->SetSize(std::max(Width, 0), std::max(Height, 0));
    return B;
}
}  // namespace

TBitmap* NewBitmap24(int Width, int Height) { return NewBitmap(Width, Height, pf24bit); }
TBitmap* NewBitmap32(int Width, int Height) { return NewBitmap(Width, Height, pf32bit); }
TBitmap* NewBitmapLike(TBitmap* Bitmap) { return NewBitmap(Bitmap->Width(), Bitmap->Height(), Bitmap->PixelFormat()); }

TColor MixColors(TColor C1, TColor C2, double Part) {
    auto Channel = [&](int Shift) {
        double V = ((C1 >> Shift) & 0xFF) * Part + ((C2 >> Shift) & 0xFF) * (1 - Part);
        return static_cast<Cardinal>(std::nearbyint(V)) & 0xFF;
    };
    return static_cast<TColor>((static_cast<Cardinal>(C1) & 0xFF000000u) | (Channel(16) << 16) | (Channel(8) << 8) |
                               Channel(0));
}

TColor MixColorsEvenly(TColor C1, TColor C2) {
    auto Channel = [&](int Shift) { return ((((C1 >> Shift) & 0xFF) * 127 + ((C2 >> Shift) & 0xFF) * 129) >> 8); };
    return static_cast<TColor>((Channel(16) << 16) | (Channel(8) << 8) | Channel(0));
}

TColor ChangeSaturation(TColor Color, int Amount) {
    if (Amount == 0)
        return Color;
    int C[3] = {Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF};
    double Grey = (C[0] + C[1] + C[2]) / 3.0;
    Cardinal Result = 0;
    for (int K = 0; K < 3; ++K)
        Result |= Cardinal(ToByte(C[K] + Amount * (Grey - C[K]) / 100)) << (8 * K);
    return static_cast<TColor>(Result);
}

TColor ShiftHue(int Offset, TColor Color) {
    Color = ColorToRGB(Color);
    int Red = Color & 0xFF, Green = (Color >> 8) & 0xFF, Blue = (Color >> 16) & 0xFF;
    int V = std::max({Red, Green, Blue});
    int Delta = V - std::min({Red, Green, Blue});
    double S = V == 0 ? 0 : double(Delta) / V;
    if (S == 0)
        return Color;
    double H;
    if (V == Red)
        H = 60.0 * (Green - Blue) / Delta;
    else if (V == Green)
        H = 120 + 60.0 * (Blue - Red) / Delta;
    else
        H = 240 + 60.0 * (Red - Green) / Delta;
    if (H < 0)
        H += 360;
    int Hue = static_cast<int>(std::nearbyint(Offset + H)) % 360;
    int Sector = static_cast<int>(Hue / 60.0);
    double F = Hue / 60.0 - Sector;
    BYTE Vb = ToByte(V), P = ToByte(V * (1 - S)), Q = ToByte(V * (1 - F * S)), T = ToByte(V * (1 - (1 - F) * S));
    BYTE R, G, B;
    switch (Sector) {
    case 0:
        R = Vb, G = T, B = P;
        break;
    case 1:
        R = Q, G = Vb, B = P;
        break;
    case 2:
        R = P, G = Vb, B = T;
        break;
    case 3:
        R = P, G = Q, B = Vb;
        break;
    case 4:
        R = T, G = P, B = Vb;
        break;
    default:
        R = Vb, G = P, B = Q;
        break;
    }
    return static_cast<TColor>(R | (G << 8) | (B << 16));
}

bool LayeredWindowsAvailable() { return UpdateLayeredWindowProc != nullptr; }

// ---------------------------------------------------------------------------------------------
// Grey and channels

namespace {
template <class F>
void ForEachPixel(TBitmap* Bitmap, F Fn) {
    TacPixelView V = PixelViewOf(Bitmap);
    if (!V.Valid())
        return;
    for (int Y = 0; Y < V.Height; ++Y)
        for (int X = 0; X < V.Width; ++X)
            Fn(V.At(X, Y), V.Bytes);
}
}  // namespace

void GrayscaleBitmap(TBitmap* Bitmap) {
    ForEachPixel(Bitmap, [](BYTE* P, int) { P[0] = P[1] = P[2] = static_cast<BYTE>((P[0] + P[1] + P[2]) / 3); });
}

void GrayscaleBitmapExcept(TBitmap* Bitmap, TColor Color) {
    ForEachPixel(Bitmap, [Color](BYTE* P, int) {
        if (!SameColor(P, Color))
            P[0] = P[1] = P[2] = static_cast<BYTE>((P[0] + P[1] + P[2]) / 3);
    });
}

void CopyChannel(TBitmap* Bitmap32, TBitmap* Bitmap8, int Channel, bool Extract) {
    TacPixelView V32 = PixelViewOf(Bitmap32);
    TacPixelView V8 = PixelViewOf(Bitmap8);
    if (V32.Bytes != 4 || !V8.First || Bitmap8->PixelFormat() != pf8bit || Channel < 0 || Channel > 3)
        return;
    int W = std::min(V32.Width, V8.Width), H = std::min(V32.Height, V8.Height);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            BYTE& Wide = V32.At(X, Y)[Channel];
            BYTE& Narrow = V8.Row(Y)[X];
            if (Extract)
                Narrow = Wide;
            else
                Wide = Narrow;
        }
}

// ---------------------------------------------------------------------------------------------
// Blends and copies

void BlendBitmapRect(TBitmap* Dst, int X, int Y, TColor KeyColor, double Keep, TRect SrcRect, TBitmap* Src) {
    TacPixelView D = PixelViewOf(Dst), S = PixelViewOf(Src);
    if (!D.Valid() || !S.Valid())
        return;
    SrcRect = LimitInclusive(SrcRect, S);
    // A 32-bit source over a 24-bit destination matches its key by the value the pixel stores.
    const bool StoredCompare = S.Bytes == 4 && D.Bytes == 3;
    const bool HasKey = (static_cast<Cardinal>(KeyColor) >> 24) != 0xFF;
    for (int R = SrcRect.Top; R <= SrcRect.Bottom; ++R) {
        int DY = Y + R - SrcRect.Top;
        if (DY < 0 || DY >= D.Height)
            continue;
        for (int C = SrcRect.Left; C <= SrcRect.Right; ++C) {
            int DX = X + C - SrcRect.Left;
            if (DX < 0 || DX >= D.Width)
                continue;
            const BYTE* SP = S.At(C, R);
            if (HasKey && (StoredCompare ? StoredValue(SP) == static_cast<Cardinal>(KeyColor) : SameColor(SP, KeyColor)))
                continue;
            BYTE* DP = D.At(DX, DY);
            for (int K = 0; K < 3; ++K)
                DP[K] = ToByte(SP[K] - Keep * (SP[K] - DP[K]));
        }
    }
}

void TintBitmap(TBitmap* Bitmap, TColor Color, TColor SkipColor, double Keep) {
    TBgr C = BgrOf(Color);
    ForEachPixel(Bitmap, [&](BYTE* P, int Bytes) {
        if (Bytes == 4 ? StoredValue(P) == static_cast<Cardinal>(SkipColor) : SameColor(P, SkipColor))
            return;
        for (int K = 0; K < 3; ++K)
            P[K] = ToByte(C.C[K] + Keep * (P[K] - C.C[K]));
    });
}

void ShadowMaskBlend(TBitmap* Bitmap, TBitmap* Mask, TColor Color) {
    TacPixelView V = PixelViewOf(Bitmap), M = PixelViewOf(Mask);
    if (!V.Valid() || !M.Valid() || V.Width != M.Width || V.Height != M.Height)
        return;
    TBgr C = BgrOf(Color);
    for (int Y = 0; Y < V.Height; ++Y)
        for (int X = 0; X < V.Width; ++X) {
            BYTE* P = V.At(X, Y);
            const BYTE* MP = M.At(X, Y);
            for (int K = 0; K < 3; ++K)
                P[K] = static_cast<BYTE>((C.C[K] * 256 + (P[K] - C.C[K]) * MP[K]) >> 8);
        }
}

namespace {
// A W x H rectangle of Src at SrcPoint blended at DstPoint of Dst; both already clipped.
template <class TSum>
void BlendEqualRects(TBitmap* Dst, TBitmap* Src, Byte Weight, TPoint DstPoint, TPoint SrcPoint, int W, int H) {
    TSum Sum;
    if (!Sum.Attach(Src, Dst))
        return;
    Sum.DstWeight = Weight;
    Sum.DstLeft = DstPoint.X;
    Sum.DstTop = DstPoint.Y;
    Sum.DstRight = DstPoint.X + W;
    Sum.DstBottom = DstPoint.Y + H;
    Sum.SrcLeft = SrcPoint.X;
    Sum.SrcTop = SrcPoint.Y;
    Sum.SrcRight = SrcPoint.X + W;
    Sum.SrcBottom = SrcPoint.Y + H;
    Sum.Blend();
}
}  // namespace

void BlendBitmaps24(TBitmap* Dst, TBitmap* Src, Byte Weight) {
    if (!Dst || !Src || Dst->Width() != Src->Width() || Dst->Height() != Src->Height())
        return;
    BlendEqualRects<TacFastSum24>(Dst, Src, Weight, TPoint{0, 0}, TPoint{0, 0}, Dst->Width(), Dst->Height());
}

void BlendRectAt(TBitmap* Dst, TBitmap* Src, Byte Weight, TPoint DstPoint, TRect SrcRect) {
    if (!Dst || !Src)
        return;
    if (DstPoint.X < 0) {
        SrcRect.Left -= DstPoint.X;
        DstPoint.X = 0;
    }
    if (DstPoint.Y < 0) {
        SrcRect.Top -= DstPoint.Y;
        DstPoint.Y = 0;
    }
    if (SrcRect.Left < 0) {
        DstPoint.X -= SrcRect.Left;
        SrcRect.Left = 0;
    }
    if (SrcRect.Top < 0) {
        DstPoint.Y -= SrcRect.Top;
        SrcRect.Top = 0;
    }
    if (SrcRect.IsEmpty() || DstPoint.X >= Dst->Width() || DstPoint.Y >= Dst->Height() ||
        SrcRect.Left >= Src->Width() || SrcRect.Top >= Src->Height())
        return;
    SrcRect.Right = std::min<LONG>(SrcRect.Right, Src->Width());
    SrcRect.Bottom = std::min<LONG>(SrcRect.Bottom, Src->Height());
    SrcRect.Right = std::min<LONG>(SrcRect.Right, SrcRect.Left + Dst->Width() - DstPoint.X);
    SrcRect.Bottom = std::min<LONG>(SrcRect.Bottom, SrcRect.Top + Dst->Height() - DstPoint.Y);
    int W = SrcRect.Width(), H = SrcRect.Height();
    int Bytes = PixelBytes(Dst);
    if (W <= 0 || H <= 0 || Bytes == 0 || Bytes != PixelBytes(Src))
        return;
    if (Bytes == 4)
        BlendEqualRects<TacFastSum32>(Dst, Src, Weight, DstPoint, SrcRect.TopLeft(), W, H);
    else
        BlendEqualRects<TacFastSum24>(Dst, Src, Weight, DstPoint, SrcRect.TopLeft(), W, H);
}

void DrawMaskedImage(TRect DstRect, TRect SrcRect, TBitmap* Dst, bool UseBackground,
                     BackgroundSource Background, TBitmap* Src) {
    TacPixelView D = PixelViewOf(Dst), S = PixelViewOf(Src);
    if (!D.Valid() || !S.Valid())
        return;
    const int MaskOffset = S.Bytes == 4 ? 0 : S.Height / 2;
    TSpan Sp;
    if (!FitSpan(DstRect, SrcRect, D, S.Width, S.Height - MaskOffset, Sp))
        return;
    const TacBackgroundPixels Behind(Background);
    for (int R = 0; R < Sp.Rows; ++R) {
        const int DY = Sp.DstY + R, SY = Sp.SrcY + R;
        for (int C = 0; C < Sp.Cols; ++C) {
            const int DX = Sp.DstX + C;
            const BYTE* SP = S.At(Sp.SrcX + C, SY);
            BYTE* DP = D.At(DX, DY);
            if (Behind.HasBitmap() && (S.Bytes == 4 ? StoredValue(SP) == StoredKey : SameColor(SP, 0xFF00FF))) {
                if (UseBackground)
                    Behind.CopyTo(DP, D.Bytes, DX, DY);
                continue;
            }
            if (S.Bytes == 4) {
                const int A = SP[3];
                for (int K = 0; K < 3; ++K)
                    DP[K] = static_cast<BYTE>((DP[K] * 256 + (SP[K] - DP[K]) * A) >> 8);
                if (D.Bytes == 4)
                    DP[3] = 255;
            } else {
                MaskBlendPixel(DP, SP, S.At(Sp.SrcX + C, SY + MaskOffset), D.Bytes);
            }
        }
    }
}

void DrawMaskedPiece(TRect DstRect, TRect SrcRect, TBitmap* Dst, const TsMaskData& Mask, bool UseBackground,
                     BackgroundSource Background, TBitmap* Src) {
    TacPixelView D = PixelViewOf(Dst), S = PixelViewOf(Src);
    if (!D.Valid() || !S.Valid())
        return;
    const int MaskOffset = (Mask.R.Bottom - Mask.R.Top) / 2;
    TSpan Sp;
    if (MaskOffset < 0 || !FitSpan(DstRect, SrcRect, D, S.Width, S.Height - MaskOffset, Sp))
        return;
    const TacBackgroundPixels Behind(Background);
    const bool PlainBehind = !Background.HasBitmap || !Background.Bmp;
    // A plain background is written as its blue, green and red, with the alpha its colour carries.
    const TBgr BackColour = BgrOf(Background.Color);
    const BYTE BackAlpha = static_cast<BYTE>(static_cast<Cardinal>(Background.Color) >> 24);
    for (int R = 0; R < Sp.Rows; ++R) {
        const int DY = Sp.DstY + R, SY = Sp.SrcY + R;
        for (int C = 0; C < Sp.Cols; ++C) {
            const int DX = Sp.DstX + C;
            const BYTE* SP = S.At(Sp.SrcX + C, SY);
            BYTE* DP = D.At(DX, DY);
            if (SameColor(SP, KeyColor) && (UseBackground || !PlainBehind)) {
                if (UseBackground && !PlainBehind) {
                    Behind.CopyTo(DP, D.Bytes, DX, DY);
                } else if (UseBackground && Background.Color != 0xFF00FF) {
                    std::memcpy(DP, BackColour.C, 3);
                    if (D.Bytes == 4)
                        DP[3] = BackAlpha;
                }
                continue;
            }
            MaskBlendPixel(DP, SP, S.At(Sp.SrcX + C, SY + MaskOffset), D.Bytes);
        }
    }
}

void DrawAlphaImage(TRect DstRect, TRect SrcRect, TBitmap* Dst, bool Reflect, int Blend, TColor Tint,
                    bool UseBackground, BackgroundSource Background, TBitmap* Src) {
    if (!Src || !Dst)
        return;
    if (Src->PixelFormat() != pf32bit)
        Src->SetPixelFormat(pf32bit);
    TacPixelView D = PixelViewOf(Dst), S = PixelViewOf(Src);
    TSpan Sp;
    if (!D.Valid() || !S.Valid() || !FitSpan(DstRect, SrcRect, D, S.Width, S.Height, Sp))
        return;
    const bool UseTint = Tint != NoTint;
    const TBgr TintBgr = BgrOf(Tint);
    const TacBackgroundPixels Behind(Background);
    for (int R = 0; R < Sp.Rows; ++R) {
        const int DY = Sp.DstY + R;
        for (int C = 0; C < Sp.Cols; ++C) {
            const int DX = Sp.DstX + C;
            const BYTE* SP = S.At(Sp.SrcX + C, Sp.SrcY + R);
            BYTE* DP = D.At(DX, DY);
            if (StoredValue(SP) == StoredKey) {
                if (UseBackground)
                    Behind.CopyTo(DP, D.Bytes, DX, DY);
                continue;
            }
            AlphaBlend(DP, SP, std::max(0, (100 - Blend) * SP[3] / 100), UseTint, TintBgr);
        }
    }
    if (!Reflect)
        return;
    const int Half = S.Height / 2;
    const int Count = std::min<int>(Half - 1, D.Height - DstRect.Bottom - 1);
    int Fade = 255;
    for (int K = 1; K <= Count; ++K, Fade -= 255 / Half) {
        const int DY = DstRect.Bottom + K, SY = SrcRect.Bottom - K - 1;
        if (DY < 0 || SY < 0 || SY >= S.Height)
            continue;
        for (int C = 0; C < Sp.Cols; ++C) {
            const BYTE* SP = S.At(Sp.SrcX + C, SY);
            if (StoredValue(SP) == StoredKey)
                continue;
            const int A = SP[3];
            int Weight = Blend != 0 ? (100 - Blend) * A / 300 * Fade / 255 : Fade * (A / 3) / 255;
            AlphaBlend(D.At(Sp.DstX + C, DY), SP, std::max(0, Weight), UseTint, TintBgr);
        }
    }
}

void CopyKeyTransparentRect(TBitmap* Dst, TBitmap* Src, int X, bool UseBackground, BackgroundSource Background,
                            TColor KeyColor, TRect SrcRect, int Y) {
    // A background that is the destination itself already lies under the key pixels.
    const TacBackgroundPixels Behind(Background, Dst);
    CopyKeyed(PixelViewOf(Dst), PixelViewOf(Src), X, Y, SrcRect, KeyColor,
              UseBackground && Behind.HasBitmap() ? &Behind : nullptr);
}

void CopyOpaqueRect(TBitmap* Dst, TBitmap* Src, int X, TColor KeyColor, TRect SrcRect, int Y) {
    CopyKeyed(PixelViewOf(Dst), PixelViewOf(Src), X, Y, SrcRect, KeyColor, nullptr);
}

void CopyOpaquePixels(TBitmap* Dst, TBitmap* Src, int X, TColor KeyColor, int Y) {
    if (Src)
        CopyKeyed(PixelViewOf(Dst), PixelViewOf(Src), X, Y, TRect{0, 0, Src->Width() - 1, Src->Height() - 1},
                  KeyColor, nullptr);
}

void MixBitmapsTo32(TBitmap* Dst, TBitmap* A, TBitmap* B, Byte Weight, TBitmap* Mask) {
    TacPixelView D = PixelViewOf(Dst), VA = PixelViewOf(A), VB = PixelViewOf(B), M = PixelViewOf(Mask);
    if (D.Bytes != 4 || !VA.Valid() || !VB.Valid() || VA.Width != VB.Width || VA.Height != VB.Height)
        return;
    if (Mask && (!M.Valid() || M.Width < VA.Width || M.Height < VA.Height))
        return;
    const int W = std::min(VA.Width, D.Width), H = std::min(VA.Height, D.Height);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            BYTE* DP = D.At(X, Y);
            const BYTE *PA = VA.At(X, Y), *PB = VB.At(X, Y);
            for (int K = 0; K < 3; ++K) {
                int Wt = Mask ? M.At(X, Y)[K] : Weight;
                DP[K] = static_cast<BYTE>((Wt * (PA[K] - PB[K]) + PB[K] * 256) >> 8);
            }
        }
}

void PaintSoftShadow(TBitmap* Bitmap, TRect Rect, int Transparency, TColor Color, int Steps, int Radius) {
    const int W = Rect.Width(), H = Rect.Height();
    if (!Bitmap || W <= 0 || H <= 0)
        return;
    TOwned<TBitmap> Copy(NewBitmap24(W, H));
    TOwned<TBitmap> Mask(NewBitmap24(W, H));
    BitBlt(Copy->Canvas()->Handle(), 0, 0, W, H, Bitmap->Canvas()->Handle(), Rect.Left, Rect.Top, SRCCOPY);
    const int N = std::min({W / 2, H / 2, Steps});
    const int Round = std::min({W / 2, H / 2, Radius});
    const int E = Transparency * 255 / 100;
    TCanvas* C = Mask->Canvas();
    C->Pen()->SetStyle(psClear);
    C->Brush()->SetStyle(bsSolid);
    auto Grey = [](int Level) { return static_cast<TColor>(Level * 0x010101); };
    for (int U = 0; U <= N; ++U) {
        int Level = U == 0 ? 255 : E + static_cast<int>(std::nearbyint(double(255 - E) / (N + 1) * (N - U + 1)));
        C->Brush()->SetColor(Grey(Level));
        C->RoundRect(U, U, W - U, H - U, Round, Round);
    }
    C->Brush()->SetColor(Grey(E));
    C->RoundRect(N, N, W - N, H - N, N, N);
    ShadowMaskBlend(Copy.get(), Mask.get(), Color);
    BitBlt(Bitmap->Canvas()->Handle(), Rect.Left, Rect.Top, W, H, Copy->Canvas()->Handle(), 0, 0, SRCCOPY);
}

namespace {
// The colour of an image's bottom pixel in column X.
TColor BottomPixel(TBitmap* Bitmap, int X) {
    TacPixelView V = PixelViewOf(Bitmap);
    if (!V.Valid() || X < 0 || X >= V.Width)
        return NoKeyColor;
    const BYTE* P = V.At(X, V.Height - 1);
    return static_cast<TColor>(P[2] | (P[1] << 8) | (P[0] << 16));
}

// Which image of a strip of NumGlyphs shows a state.
int StateImage(TBitmap* Glyph, bool Down, int State, bool Enabled, int NumGlyphs) {
    const bool FourBit = Glyph->PixelFormat() == pf4bit;
    if (!Enabled || State == 0)
        return 0;
    if (State == 1)
        return FourBit ? 0 : 1;
    if (State == 2) {
        int Pressed = 2 + (Down ? 1 : 0);
        if (Pressed < NumGlyphs)
            return Pressed;
        return FourBit ? 0 : std::min(1, NumGlyphs - 1);
    }
    return 0;  // other states show the normal image
}
}  // namespace

void DrawStateGlyph(TBitmap* Glyph, TBitmap* Dst, TRect Rect, bool /*Reflected*/, bool Down, int Blend, int State,
                    TsDisabledGlyphKind DisabledGlyphKind, bool Enabled, int NumGlyphs) {
    if (!Glyph || !Dst || Glyph->Width() <= 0 || Glyph->Height() <= 0)
        return;
    TOwned<TBitmap> Work(Create<TBitmap>());
    Work->Assign(Glyph);
    Work->SetPixelFormat(pf24bit);
    const TRect WholeRect{0, 0, Rect.Width(), Rect.Height()};
    if (NumGlyphs <= 1) {
        TColor Key = BottomPixel(Work.get(), 0);
        if (Enabled) {
            if (State != 0 || Blend < 1)
                CopyOpaquePixels(Dst, Work.get(), Rect.Left, Key, Rect.Top);
            else
                BlendBitmapRect(Dst, Rect.Left, Rect.Top, Key, Blend / 100.0, WholeRect, Work.get());
            return;
        }
        if (DisabledGlyphKind.Contains(dgGrayed))
            GrayscaleBitmap(Work.get());
        if (DisabledGlyphKind.Contains(dgBlended))
            BlendBitmapRect(Dst, Rect.Left, Rect.Top, BottomPixel(Work.get(), 0), 0.5, WholeRect, Work.get());
        else
            CopyOpaquePixels(Dst, Work.get(), Rect.Left, Key, Rect.Top);
        return;
    }
    const int Index = StateImage(Glyph, Down, State, Enabled, NumGlyphs);
    const int W = Work->Width() / NumGlyphs;
    const TRect Source{Index * W, 0, (Index + 1) * W - 1, Work->Height() - 1};
    if (!Enabled && State == 0 && Blend > 0)
        BlendBitmapRect(Dst, Rect.Left, Rect.Top, BottomPixel(Work.get(), 0), Blend / 100.0, Source, Work.get());
    else
        CopyOpaqueRect(Dst, Work.get(), Rect.Left, BottomPixel(Work.get(), Enabled ? Index * W : 0), Source,
                       Rect.Top);
}

// ---------------------------------------------------------------------------------------------

void sGraphUtilsInitialization() {
    if (UpdateLayeredWindowProc)
        return;
    User32Library = LoadLibraryA("user32.dll");
    UpdateLayeredWindowProc = LibraryProc<TUpdateLayeredWindowProc>(User32Library, "UpdateLayeredWindow");
}

void sGraphUtilsFinalization() {
    UpdateLayeredWindowProc = nullptr;
    if (User32Library)
        FreeLibrary(User32Library);
    User32Library = nullptr;
}
