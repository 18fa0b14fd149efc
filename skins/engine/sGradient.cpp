#include "sGradient.h"

#include "SysUtils.h"
#include "acFastPixels.h"
#include "acntUtils.h"

#include <algorithm>
#include <cmath>

namespace {
using TGradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
HMODULE GradientLibrary = nullptr;
TGradientFillProc GradientFillProc = nullptr;

// One colour in single precision per channel, as the bands are computed.
struct TChannels {
    float C[3];  // red, green, blue
};

TChannels ChannelsOf(TColor Color) {
    return TChannels{{float(Color & 0xFF), float((Color >> 8) & 0xFF), float((Color >> 16) & 0xFF)}};
}

// Writes Colour (rounded, ties to even) into Count pixels from P on.
void WriteRun(BYTE* P, int Count, int Bytes, const TChannels& Colour) {
    BYTE Red = static_cast<BYTE>(std::nearbyint(Colour.C[0]));
    BYTE Green = static_cast<BYTE>(std::nearbyint(Colour.C[1]));
    BYTE Blue = static_cast<BYTE>(std::nearbyint(Colour.C[2]));
    for (int I = 0; I < Count; ++I, P += Bytes) {
        P[0] = Blue;
        P[1] = Green;
        P[2] = Red;
        if (Bytes == 4)
            P[3] = 255;
    }
}

TChannels Delta(const GradientStep& S, int Steps) {
    TChannels A = ChannelsOf(S.Color1), B = ChannelsOf(S.Color2);
    return TChannels{{(B.C[0] - A.C[0]) / Steps, (B.C[1] - A.C[1]) / Steps, (B.C[2] - A.C[2]) / Steps}};
}

void Advance(TChannels& Colour, const TChannels& D) {
    for (int K = 0; K < 3; ++K)
        Colour.C[K] += D.C[K];
}

void PaintVertical(TBitmap* Bmp, const TRect& R, const TsGradArray& Steps, int Offset, int Bytes) {
    const int BmpH = Bmp->Height();
    const int Limit = std::min<int>(R.Bottom, BmpH) - 1;
    const int XEnd = std::min<int>(R.Width() + R.Left, Bmp->Width()) - 1;
    const TacPixelView Rows = PixelViewOf(Bmp);
    int Y = Offset + R.Top;
    for (size_t I = 0; I < Steps.size(); ++I) {
        const bool LastStep = I + 1 == Steps.size();
        int Start = Y;
        Y = Steps[I].Percent * (Offset + R.Height()) / 100 + Start;
        Y = LastStep ? Limit : std::min(Y, Limit);
        if (Y <= Start)
            continue;
        if (LastStep || Y > BmpH - 1) {
            Y = std::min<int>(R.Bottom - 1, BmpH - 1);
            if (Y == Start)
                return;
        }
        TChannels D = Delta(Steps[I], Y - Start);
        TChannels Colour = ChannelsOf(Steps[I].Color1);
        for (int Row = Start; Row <= Y; ++Row, Advance(Colour, D))
            // An offset can put the first bands above the bitmap: their colours still count.
            if (Row >= 0 && Row < BmpH && XEnd >= R.Left)
                WriteRun(Rows.Row(Row) + R.Left * Bytes, XEnd - R.Left + 1, Bytes, Colour);
    }
}

void PaintHorizontal(TBitmap* Bmp, const TRect& R, const TsGradArray& Steps, int Bytes) {
    const double Unit = R.Width() / 100.0;
    const int Limit = std::min<int>(R.Right, Bmp->Width()) - 1;
    const TacPixelView Rows = PixelViewOf(Bmp);
    for (int Row = R.Top; Row < R.Bottom; ++Row) {
        BYTE* Line = Rows.Row(Row);
        int X = R.Left;
        for (size_t I = 0; I < Steps.size(); ++I) {
            int Start = X;
            X = static_cast<int>(std::nearbyint(Steps[I].Percent * Unit + Start));
            X = I + 1 == Steps.size() ? Limit : std::min(X, Limit);
            int N = X - Start;
            if (N <= 0)
                continue;
            TChannels D = Delta(Steps[I], N);
            TChannels Colour = ChannelsOf(Steps[I].Color1);
            for (int Col = Start; Col <= X; ++Col, Advance(Colour, D))
                WriteRun(Line + Col * Bytes, 1, Bytes, Colour);
        }
    }
}

void PaintFourCorners(TBitmap* Bmp, const TRect& R, const TsGradArray& Steps) {
    if (!GradientFillProc)
        return;
    const LONG X[5] = {R.Left, R.Left + R.Width() / 2, R.Right, R.Right, R.Left};
    const LONG Y[5] = {R.Top, R.Top + R.Height() / 2, R.Top, R.Bottom, R.Bottom};
    TRIVERTEX V[5]{};
    TColor Colour = Steps[0].Color1;
    for (int I = 0; I < 5; ++I) {
        // A corner without a step of its own takes the colour of the corner before it.
        if (static_cast<size_t>(I) < Steps.size())
            Colour = Steps[I].Color1;
        V[I].x = X[I];
        V[I].y = Y[I];
        V[I].Red = static_cast<COLOR16>((Colour & 0xFF) << 8);
        V[I].Green = static_cast<COLOR16>(((Colour >> 8) & 0xFF) << 8);
        V[I].Blue = static_cast<COLOR16>(((Colour >> 16) & 0xFF) << 8);
        V[I].Alpha = 0;
    }
    GRADIENT_TRIANGLE T[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
    GradientFillProc(Bmp->Canvas()->Handle(), V, 5, T, 4, GRADIENT_FILL_TRIANGLE);
}
}  // namespace

void ParseGradientData(const std::string& Text, TsGradArray& Steps) {
    Steps.clear();
    if (Text.empty())
        return;
    const TacCharSet Delims = MakeCharSet(";");
    int N = CountWords(Text, Delims) / 5;
    Steps.resize(static_cast<size_t>(N));
    for (int K = 0; K < N; ++K) {
        auto Word = [&](int I) { return StrToInt(GetWordAt(5 * K + I, Text, Delims)); };
        GradientStep& S = Steps[static_cast<size_t>(K)];
        S.Color1 = std::max(0, Word(1));
        S.Color2 = std::max(0, Word(2));
        S.Percent = std::clamp(Word(3), 0, 100);
        S.Mode = Word(4);
    }
}

void PaintGradient(TBitmap* Bmp, TRect R, const TsGradArray& Steps, int Offset) {
    if (!Bmp || R.Width() <= 0 || R.Height() <= 0)
        return;
    R.Right = std::min<LONG>(R.Right, Bmp->Width());
    R.Bottom = std::min<LONG>(R.Bottom, Bmp->Height());
    R.Left = std::max<LONG>(R.Left, 0);
    R.Top = std::max<LONG>(R.Top, 0);
    if (Steps.empty() || R.IsEmpty())
        return;
    int Bytes = PixelBytes(Bmp);
    switch (Steps[0].Mode) {
    case 0:
        if (Bytes)
            PaintVertical(Bmp, R, Steps, Offset, Bytes);
        break;
    case 1:
        if (Bytes)
            PaintHorizontal(Bmp, R, Steps, Bytes);
        break;
    case 2:
        PaintFourCorners(Bmp, R, Steps);
        break;
    default:
        break;
    }
}

void sGradientInitialization() {
    GradientLibrary = LoadLibraryA("msimg32.dll");
    GradientFillProc = LibraryProc<TGradientFillProc>(GradientLibrary, "GradientFill");
}

void sGradientFinalization() {
    GradientFillProc = nullptr;
    if (GradientLibrary)
        FreeLibrary(GradientLibrary);
    GradientLibrary = nullptr;
}
