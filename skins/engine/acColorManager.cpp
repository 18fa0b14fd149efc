#include "acColorManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace acColorManagerMessages;

namespace {

[[noreturn]] void RaiseConversionError(const char* Msg) { throw EColorConversionError(std::string(Msg)); }

inline Word Swap16(Word V) { return static_cast<Word>((V >> 8) | (V << 8)); }
// A 16-bit sample as stored; big-endian samples are turned round when Swap.
inline Word Read16(const Byte* P, bool Swap) {
    Word V = static_cast<Word>(P[0] | (P[1] << 8));
    return Swap ? Swap16(V) : V;
}
inline void Write16(Byte* P, Word V) {
    P[0] = static_cast<Byte>(V);
    P[1] = static_cast<Byte>(V >> 8);
}
inline Byte Reduce16(Word V) { return static_cast<Byte>(unsigned(V) * 255u / 65535u); }
inline Word Widen8(unsigned V) { return static_cast<Word>(V * 65535u / 255u); }
inline int ClampSample(int V) { return V < 0 ? 0 : V > 255 ? 255 : V; }
inline bool Selected(Byte Mask, int I) { return (Mask & (0x80 >> (I & 7))) != 0; }

// Sub-byte values: 8 div Bits of them per byte, the first in the most significant bits; a byte is
// left after that many values whatever the depth leaves over.
inline unsigned ReadField(const Byte* Row, int Index, int Bits) {
    int PerByte = 8 / Bits;
    int Shift = 8 - Bits * (Index % PerByte + 1);
    return (Row[Index / PerByte] >> Shift) & ((1u << Bits) - 1);
}
inline void WriteField(Byte* Row, int Index, int Bits, unsigned Value) {
    int PerByte = 8 / Bits;
    int Shift = 8 - Bits * (Index % PerByte + 1);
    Byte FieldMask = static_cast<Byte>(((1u << Bits) - 1) << Shift);
    Byte& B = Row[Index / PerByte];
    B = static_cast<Byte>((B & ~FieldMask) | ((Value << Shift) & FieldMask));
}

inline bool IsIndexedSide(Byte Scheme) { return Scheme == SchemeIndexed || Scheme == SchemeGray; }
inline bool HasAlpha(Byte Scheme) {
    return Scheme == SchemeGrayAlpha || Scheme == SchemeRGBA || Scheme == SchemeBGRA;
}
inline bool IsRgbOrder(Byte Scheme) { return Scheme == SchemeRGB || Scheme == SchemeRGBA; }
inline bool IsBgrOrder(Byte Scheme) { return Scheme == SchemeBGR || Scheme == SchemeBGRA; }

HPALETTE NewPalette(const PALETTEENTRY* Entries, int Count) {
    Count = std::clamp(Count, 1, 256);
    std::vector<Byte> Block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * Count);
    auto* P = reinterpret_cast<LOGPALETTE*>(Block.data());
    P->palVersion = 0x300;
    P->palNumEntries = static_cast<WORD>(Count);
    std::memcpy(P->palPalEntry, Entries, sizeof(PALETTEENTRY) * Count);
    return CreatePalette(P);
}

}  // namespace

TColorManager::TColorManager() { SetGammaValues(1.0f, 2.2f); }

void TColorManager::SetSourceBits(Byte Value) {
    if (Value == 0 || Value > 16)
        RaiseConversionError(SBitsPerSample);
    if (Value != FSourceBits) {
        FSourceBits = Value;
        FFormatChanged = true;
    }
}

void TColorManager::SetTargetBits(Byte Value) {
    if (Value == 0 || Value > 16)
        RaiseConversionError(SBitsPerSample);
    if (Value != FTargetBits) {
        FTargetBits = Value;
        FFormatChanged = true;
    }
}

void TColorManager::SetSourceSamples(Byte Value) {
    if (Value == 0 || Value > 4)
        RaiseConversionError(SSampleCount);
    if (Value != FSourceSamples) {
        FSourceSamples = Value;
        FFormatChanged = true;
    }
}

void TColorManager::SetTargetSamples(Byte Value) {
    if (Value == 0 || Value > 4)
        RaiseConversionError(SSampleCount);
    if (Value != FTargetSamples) {
        FTargetSamples = Value;
        FFormatChanged = true;
    }
}

void TColorManager::SetSourceScheme(Byte Value) {
    if (Value != FSourceScheme) {
        FSourceScheme = Value;
        FFormatChanged = true;
    }
}

void TColorManager::SetTargetScheme(Byte Value) {
    if (Value != FTargetScheme) {
        FTargetScheme = Value;
        FFormatChanged = true;
    }
}

TPixelFormat TColorManager::PixelFormatOf(int Side) const {
    int S = Side == 0 ? FSourceSamples : FTargetSamples;
    int B = Side == 0 ? FSourceBits : FTargetBits;
    switch (S) {
    case 1:
        if (B == 1)
            return pf1bit;
        if (B >= 2 && B <= 4)
            return pf4bit;
        if (B >= 8 && B <= 16)
            return pf8bit;
        return pfCustom;
    case 3:
        return B >= 1 && B <= 5 ? pf15bit : pf24bit;
    case 4:
        return B >= 8 ? pf32bit : pfCustom;
    default:
        return pfCustom;
    }
}

void TColorManager::SetGammaValues(float Main, float Display) {
    FMainGamma = Main > 0 ? Main : 1.0f;
    FDisplayGamma = Display > 0 ? Display : 2.2f;
    double Exponent = 1.0 / (double(FMainGamma) * double(FDisplayGamma));
    // A sub-byte source indexes the table with target-depth values; the table holds 256 entries.
    int N = FSourceBits >= 8 ? 255 : std::min((1 << FTargetBits) - 1, 255);
    int M = FTargetBits >= 8 ? 255 : (1 << FTargetBits) - 1;
    for (int I = 0; I <= N; ++I)
        FGammaTable[I] = static_cast<Byte>(std::lrint(M * std::pow(double(I) / N, Exponent)));
}

void TColorManager::ConvertPixelRow(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target) {
    if (FFormatChanged)
        ChooseRowConverter();
    if (!FRowConverter)
        RaiseConversionError(SNoConverter);
    (this->*FRowConverter)(Source, PlaneCount, Mask, Count, Target);
}

void TColorManager::ChooseRowConverter() {
    FRowConverter = nullptr;
    bool SourceIndexedSide = FSourceScheme == SchemeIndexed || FSourceScheme == SchemeGray ||
                             FSourceScheme == SchemeGrayAlpha;
    if (SourceIndexedSide != IsIndexedSide(FTargetScheme))
        RaiseConversionError(SIndexedConversion);
    SourceOptions = static_cast<Byte>(HasAlpha(FSourceScheme) ? SourceOptions | coAlpha : SourceOptions & ~coAlpha);
    TargetOptions = static_cast<Byte>(HasAlpha(FTargetScheme) ? TargetOptions | coAlpha : TargetOptions & ~coAlpha);

    bool TargetRgb = IsRgbOrder(FTargetScheme);
    bool TargetBgr = IsBgrOrder(FTargetScheme);
    auto EightOr16 = [](Byte B) { return B == 8 || B == 16; };
    switch (FSourceScheme) {
    case SchemeIndexed:
        if (FSourceBits == 16 && FTargetBits == 16)
            FRowConverter = &TColorManager::RowIndexed16To16;
        else if (FSourceBits == 16)
            FRowConverter = &TColorManager::RowIndexed16ToN;
        else if (FTargetBits == 16)
            FRowConverter = &TColorManager::RowIndexedNTo16;
        else
            FRowConverter = &TColorManager::RowLowDepth;
        break;
    case SchemeGray:
        if (FSourceBits != 16 && FTargetBits != 16)
            FRowConverter = &TColorManager::RowLowDepth;
        else if (FSourceBits >= 8 && FTargetBits >= 8)
            FRowConverter = &TColorManager::RowGray;
        break;
    case SchemeGrayAlpha:
        if (EightOr16(FSourceBits) && EightOr16(FTargetBits))
            FRowConverter = &TColorManager::RowGray;
        break;
    case SchemeRGB:
    case SchemeRGBA:
        if (TargetRgb)
            FRowConverter = &TColorManager::RowRgbToRgb;
        else if (TargetBgr)
            FRowConverter = &TColorManager::RowRgbToBgr;
        break;
    case SchemeBGR:
    case SchemeBGRA:
        if (TargetRgb)
            FRowConverter = &TColorManager::RowBgrToRgb;
        else if (TargetBgr)
            FRowConverter = &TColorManager::RowBgrToBgr;
        break;
    case SchemeCMYK:
        if (TargetRgb)
            FRowConverter = &TColorManager::RowCmykToRgb;
        else if (TargetBgr)
            FRowConverter = &TColorManager::RowCmykToBgr;
        break;
    case SchemeLab:
        if (TargetRgb)
            FRowConverter = &TColorManager::RowLabToRgb;
        else if (TargetBgr)
            FRowConverter = &TColorManager::RowLabToBgr;
        break;
    case SchemeYCbCr:
    case SchemePhotoYCC:
        if (TargetRgb || TargetBgr) {
            PrepareYccTables();
            FRowConverter = TargetRgb ? &TColorManager::RowYccToRgb : &TColorManager::RowYccToBgr;
        }
        break;
    default:
        break;
    }
    FFormatChanged = false;
}

void TColorManager::PrepareYccTables() {
    double WR = FLumaWeights[0], WG = FLumaWeights[1], WB = FLumaWeights[2];
    double KR = 2 - 2 * WR, KB = 2 - 2 * WB;
    double GR = WR * KR / WG, GB = WB * KB / WG;
    bool Photo = FSourceScheme == SchemePhotoYCC;
    int CrOffset = Photo ? 137 : 128;
    int CbOffset = Photo ? 156 : 128;
    FCrToRed.assign(256, 0);
    FCbToBlue.assign(256, 0);
    FCrToGreen.assign(256, 0);
    FCbToGreen.assign(256, 0);
    for (int I = 0; I < 256; ++I) {
        FCrToRed[I] = static_cast<int>(std::lrint(KR * (I - CrOffset)));
        FCbToBlue[I] = static_cast<int>(std::lrint(KB * (I - CbOffset)));
        FCrToGreen[I] = -static_cast<int>(std::lrint(GR * (I - CrOffset)));
        FCbToGreen[I] = -static_cast<int>(std::lrint(GB * (I - CbOffset)));
    }
}

// ---------------------------------------------------------------------------------------------
// Indexed and grey rows

void TColorManager::RowIndexed16To16(const void* const* Source, int, Byte Mask, int Count, void* Target) {
    const Byte* S = static_cast<const Byte*>(Source[0]);
    Byte* T = static_cast<Byte*>(Target);
    bool Swap = SourceOptions & coNeedByteSwap;
    for (int I = 0; I < Count; ++I)
        if (Selected(Mask, I)) {
            Write16(T + 2 * I, Read16(S, Swap));
            S += 2;
        }
}

void TColorManager::RowIndexed16ToN(const void* const* Source, int, Byte Mask, int Count, void* Target) {
    if (FTargetBits > 8)
        return;
    const Byte* S = static_cast<const Byte*>(Source[0]);
    Byte* T = static_cast<Byte*>(Target);
    bool Swap = SourceOptions & coNeedByteSwap;
    unsigned TargetMax = (1u << FTargetBits) - 1;
    for (int I = 0; I < Count; ++I)
        if (Selected(Mask, I)) {
            WriteField(T, I, FTargetBits, Read16(S, Swap) * TargetMax / 65535u);
            S += 2;
        }
}

void TColorManager::RowIndexedNTo16(const void* const* Source, int, Byte Mask, int Count, void* Target) {
    if (FSourceBits > 8)
        return;
    const Byte* S = static_cast<const Byte*>(Source[0]);
    Byte* T = static_cast<Byte*>(Target);
    bool Swap = SourceOptions & coNeedByteSwap;
    unsigned SourceMax = (1u << FSourceBits) - 1;
    int Next = 0;
    for (int I = 0; I < Count; ++I)
        if (Selected(Mask, I)) {
            Word V = static_cast<Word>(ReadField(S, Next++, FSourceBits) * 65535u / SourceMax);
            Write16(T + 2 * I, Swap ? Swap16(V) : V);
        }
}

void TColorManager::RowLowDepth(const void* const* Source, int, Byte Mask, int Count, void* Target) {
    if (FSourceBits > 8 || FTargetBits > 8)
        return;
    const Byte* S = static_cast<const Byte*>(Source[0]);
    Byte* T = static_cast<Byte*>(Target);
    if (FSourceBits == FTargetBits && Mask == 0xFF) {
        std::memcpy(T, S, (size_t(Count) * FSourceBits + 7) / 8);
        return;
    }
    unsigned SourceMax = (1u << FSourceBits) - 1;
    unsigned TargetMax = (1u << FTargetBits) - 1;
    int Next = 0;
    for (int I = 0; I < Count; ++I)
        if (Selected(Mask, I))
            WriteField(T, I, FTargetBits, ReadField(S, Next++, FSourceBits) * TargetMax / SourceMax);
}

void TColorManager::RowGray(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target) {
    if ((FSourceBits != 8 && FSourceBits != 16) || (FTargetBits != 8 && FTargetBits != 16))
        return;
    const Byte* S = static_cast<const Byte*>(Source[0]);
    Byte* T = static_cast<Byte*>(Target);
    bool Swap = SourceOptions & coNeedByteSwap;
    int SampleBytes = FSourceBits / 8;
    // Interleaved grey with alpha: the alpha sample is stepped over.
    int Step = PlaneCount > 1 || !(SourceOptions & coAlpha) ? SampleBytes : 2 * SampleBytes;
    for (int I = 0; I < Count; ++I) {
        if (!Selected(Mask, I))
            continue;
        if (FSourceBits == 8 && FTargetBits == 8)
            T[I] = S[0];
        else if (FSourceBits == 16 && FTargetBits == 8)
            T[I] = Reduce16(Read16(S, Swap));
        else if (FSourceBits == 8)
            Write16(T + 2 * I, Widen8(S[0]));
        else
            Write16(T + 2 * I, Read16(S, Swap));
        S += Step;
    }
}

// ---------------------------------------------------------------------------------------------
// Colour rows

void TColorManager::ConvertColorRow(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target,
                                    TSpace Space, bool Reverse) {
    const int SB = FSourceBits, TB = FTargetBits;
    if ((SB != 8 && SB != 16) || (TB != 8 && TB != 16))
        return;
    const bool Swap = SourceOptions & coNeedByteSwap;
    const bool Gamma = TargetOptions & coApplyGamma;
    const bool Planar = PlaneCount > 1;
    const int ColourSamples = Space == TSpace::Cmyk ? 4 : 3;
    bool SourceAlpha = Space == TSpace::Rgb && (SourceOptions & coAlpha);
    const bool TargetAlpha = TargetOptions & coAlpha;
    if (Planar && PlaneCount < ColourSamples)
        return;
    if (Planar && PlaneCount < ColourSamples + 1)
        SourceAlpha = false;
    const int SourceSamples = ColourSamples + (SourceAlpha ? 1 : 0);
    const int SourceBytes = SB / 8, TargetBytes = TB / 8;
    const int TargetStep = (TargetAlpha ? 4 : 3) * TargetBytes;

    const Byte* P[5] = {};
    int Planes = Planar ? std::min(PlaneCount, 5) : 1;
    for (int K = 0; K < Planes; ++K)
        P[K] = static_cast<const Byte*>(Source[K]);
    auto SampleAt = [&](int K) { return Planar ? P[K] : P[0] + K * SourceBytes; };
    auto Read8 = [&](int K) -> unsigned { return SB == 8 ? *SampleAt(K) : Reduce16(Read16(SampleAt(K), Swap)); };
    auto G = [&](unsigned V) -> unsigned { return Gamma ? FGammaTable[V] : V; };

    Byte* T = static_cast<Byte*>(Target);
    for (int I = 0; I < Count; ++I) {
        if (!Selected(Mask, I))
            continue;
        Byte* Px = T + I * TargetStep;
        unsigned C[3];  // in the source's order (red first for the computed spaces), target depth
        bool Native16 = false;  // C already holds 16-bit values as they are to be written
        switch (Space) {
        case TSpace::Rgb:
            for (int K = 0; K < 3; ++K) {
                if (TB == 8)
                    C[K] = G(Read8(K));
                else if (SB == 8)
                    C[K] = G(*SampleAt(K));
                else
                    C[K] = Read16(SampleAt(K), Swap);
            }
            Native16 = SB == 16 && TB == 16;
            break;
        case TSpace::Cmyk:
            for (int K = 0; K < 3; ++K) {
                int V;
                if (SB == 8) {
                    int Ch = *SampleAt(K), Black = *SampleAt(3);
                    V = Ch * Black / 255 - Ch - Black + 255;
                } else {
                    long long Ch = Read16(SampleAt(K), Swap), Black = Read16(SampleAt(3), Swap);
                    V = static_cast<int>(255 - (Ch + Black - Ch * Black / 65535) * 255 / 65535);
                }
                C[K] = G(static_cast<unsigned>(ClampSample(V)));
            }
            break;
        case TSpace::Lab: {
            double L = Read8(0);
            if (SourceOptions & coLabByteRange)
                L /= 2.55;
            unsigned RawA = Read8(1), RawB = Read8(2);
            double A = (SourceOptions & coLabChromaOffset) ? double(int(RawA) - 128) : double(static_cast<signed char>(RawA));
            double B = (SourceOptions & coLabChromaOffset) ? double(int(RawB) - 128) : double(static_cast<signed char>(RawB));
            double X, Y, Z;
            if (L < 7.9996) {
                Y = L / 903.3;
                X = Y + A / 3893.5;
                Z = Y - B / 1557.4;
            } else {
                double F = (L + 16) / 116;
                X = std::pow(F + A / 500, 3);
                Y = F * F * F;
                Z = std::pow(F - B / 200, 3);
            }
            double Rgb[3] = {2.998 * X - 1.458 * Y - 0.541 * Z, -0.952 * X + 1.893 * Y + 0.059 * Z,
                             0.099 * X - 0.198 * Y + 1.099 * Z};
            for (int K = 0; K < 3; ++K)
                C[K] = G(static_cast<unsigned>(ClampSample(static_cast<int>(std::lrint(Rgb[K] * 255)))));
            break;
        }
        case TSpace::Ycc:
            if (SB == 16 && TB == 16) {
                double Y = 1.3584 * Read16(SampleAt(0), Swap);
                double Cb = Read16(SampleAt(1), Swap), Cr = Read16(SampleAt(2), Swap);
                double Rgb[3] = {Y + 1.8215 * Cr, Y - 0.9271435 * Cr - 0.4302726 * Cb, Y + 2.2179 * Cb};
                for (int K = 0; K < 3; ++K)
                    C[K] = static_cast<unsigned>(std::clamp<long>(std::lrint(Rgb[K]), 0, 65535));
                Native16 = true;
            } else {
                int Y = static_cast<int>(Read8(0)), Cb = static_cast<int>(Read8(1)), Cr = static_cast<int>(Read8(2));
                C[0] = G(static_cast<unsigned>(ClampSample(Y + FCrToRed[Cr])));
                C[1] = G(static_cast<unsigned>(ClampSample(Y + FCbToGreen[Cb] + FCrToGreen[Cr])));
                C[2] = G(static_cast<unsigned>(ClampSample(Y + FCbToBlue[Cb])));
            }
            break;
        }
        for (int K = 0; K < 3; ++K) {
            int Slot = Reverse ? 2 - K : K;
            if (TB == 8) {
                Px[Slot] = static_cast<Byte>(C[K]);
            } else if (Native16) {
                Write16(Px + 2 * Slot, static_cast<Word>(C[K]));
            } else {
                Word V = Widen8(C[K]);
                Write16(Px + 2 * Slot, Swap ? Swap16(V) : V);
            }
        }
        if (SourceAlpha && TargetAlpha) {
            const Byte* A = SampleAt(3);
            if (SB == 8 && TB == 8) {
                Px[3] = *A;
            } else if (TB == 8) {
                Px[3] = Reduce16(Read16(A, Swap));
            } else if (SB == 8) {
                Word V = Widen8(*A);
                Write16(Px + 6, Swap ? Swap16(V) : V);
            } else {
                Write16(Px + 6, Read16(A, Swap));
            }
        }
        if (Planar) {
            for (int K = 0; K < Planes; ++K)
                P[K] += SourceBytes;
        } else {
            P[0] += SourceSamples * SourceBytes;
        }
    }
}

void TColorManager::RowRgbToRgb(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Rgb, false);
}
void TColorManager::RowRgbToBgr(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Rgb, true);
}
void TColorManager::RowBgrToRgb(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Rgb, true);
}
void TColorManager::RowBgrToBgr(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Rgb, false);
}
void TColorManager::RowCmykToRgb(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Cmyk, false);
}
void TColorManager::RowCmykToBgr(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Cmyk, true);
}
void TColorManager::RowLabToRgb(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Lab, false);
}
void TColorManager::RowLabToBgr(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Lab, true);
}
void TColorManager::RowYccToRgb(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Ycc, false);
}
void TColorManager::RowYccToBgr(const void* const* S, int N, Byte M, int C, void* T) {
    ConvertColorRow(S, N, M, C, T, TSpace::Ycc, true);
}

// ---------------------------------------------------------------------------------------------
// Palettes

HPALETTE TColorManager::MakeColorPalette(const void* const* Source, int PlaneCount, int Format, int Count,
                                         bool BgrOrder) {
    Count = std::clamp(Count, 0, 256);
    std::array<PALETTEENTRY, 256> E{};
    const bool Swap = SourceOptions & coNeedByteSwap;
    const bool Gamma = TargetOptions & coApplyGamma;
    const bool Wide = Format >= 4;
    const int Layout = Format & 3;
    const int SampleBytes = Wide ? 2 : 1;
    auto Sample = [&](const Byte* P) -> Byte { return Wide ? Reduce16(Read16(P, Swap)) : *P; };
    const bool Planes = Layout >= 2;
    if (Planes && PlaneCount < 3)
        Count = 0;
    for (int I = 0; I < Count; ++I) {
        Byte C[3];
        if (!Planes) {
            const Byte* P = static_cast<const Byte*>(Source[0]) + I * (Layout == 0 ? 3 : 4) * SampleBytes;
            for (int K = 0; K < 3; ++K)
                C[K] = Sample(P + K * SampleBytes);
            if (BgrOrder)
                std::swap(C[0], C[2]);
        } else {
            for (int K = 0; K < 3; ++K)
                C[K] = Sample(static_cast<const Byte*>(Source[K]) + I * SampleBytes);
        }
        if (Gamma)
            for (Byte& V : C)
                V = FGammaTable[V];
        E[I] = PALETTEENTRY{C[0], C[1], C[2], 0};
    }
    int Entries = Count;
    if (FTargetBits <= 8 && FTargetBits != FSourceBits) {
        // The low-depth converter scales the indexes; the palette is spread in the same proportion.
        int TargetMax = (1 << FTargetBits) - 1;
        int SourceMax = (1 << FSourceBits) - 1;
        auto From = [&](int I) { return std::min(I * SourceMax / TargetMax, 255); };
        if (FTargetBits > FSourceBits) {
            for (int I = TargetMax; I >= 0; --I)
                E[I] = E[From(I)];
        } else {
            for (int I = 0; I <= TargetMax; ++I)
                E[I] = E[From(I)];
        }
        Entries = TargetMax + 1;
    }
    return NewPalette(E.data(), Entries);
}

HPALETTE TColorManager::MakeGrayPalette(bool Inverse) {
    int Entries = 1 << std::min(FTargetBits * FTargetSamples, 8);
    int Step = 255 / std::max(Entries - 1, 1);
    const bool Gamma = TargetOptions & coApplyGamma;
    std::array<PALETTEENTRY, 256> E{};
    for (int I = 0; I < Entries; ++I) {
        Byte V = static_cast<Byte>(I * Step);
        if (Gamma)
            V = FGammaTable[V];
        E[Inverse ? Entries - 1 - I : I] = PALETTEENTRY{V, V, V, 0};
    }
    return NewPalette(E.data(), Entries);
}
