// A small PNG writer for the reader's tests: images are built from sample values, filtered with any
// of the five row filters, optionally interlaced, compressed with zlib and cut into chunks of any
// size, with extra chunks placed before or after the image data.
#pragma once

#include "Graphics.h"
#include "Streams.h"
#include "acPNG.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace pngtests {

using Bytes = std::vector<std::uint8_t>;

struct TChunk {
    std::string Type;
    Bytes Data;
};

inline void PutBE32(Bytes& Out, std::uint32_t V) {
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Out.push_back(static_cast<std::uint8_t>(V >> Shift));
}

// Length, type, data and the CRC (zlib's own, independent of the reader's).
inline Bytes ChunkBytes(const std::string& Type, const Bytes& Data) {
    Bytes Out;
    PutBE32(Out, static_cast<std::uint32_t>(Data.size()));
    Out.insert(Out.end(), Type.begin(), Type.end());
    Out.insert(Out.end(), Data.begin(), Data.end());
    uLong Crc = crc32(0, reinterpret_cast<const Bytef*>(Type.data()), 4);
    if (!Data.empty())
        Crc = crc32(Crc, Data.data(), static_cast<uInt>(Data.size()));
    PutBE32(Out, static_cast<std::uint32_t>(Crc));
    return Out;
}

inline int SamplesPerPixel(int ColorType) {
    switch (ColorType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

struct TImage {
    std::uint32_t Width = 1;
    std::uint32_t Height = 1;
    int ColorType = 0;
    int Depth = 8;
    std::vector<std::uint16_t> Samples;  // SamplesPerPixel per pixel, rows top down
    bool Interlaced = false;
    int Filter = 0;     // 0..4 for every row; 5 takes 0..4 in turn
    int IdatSplit = 0;  // bytes per image-data chunk; 0 = one chunk
    int CompressionByte = 0;
    std::vector<TChunk> Before;  // between the header and the image data
    std::vector<TChunk> After;   // between the image data and IEND
    Bytes Trailer;               // after IEND

    std::uint16_t Sample(std::uint32_t X, std::uint32_t Y, int K) const {
        return Samples[(size_t(Y) * Width + X) * SamplesPerPixel(ColorType) + K];
    }
};

// The samples of the given pixels of row Y packed as the format stores them.
inline Bytes PackPixels(const TImage& I, std::uint32_t Y, const std::vector<std::uint32_t>& Columns) {
    Bytes Out;
    int N = SamplesPerPixel(I.ColorType);
    int Bits = 0;
    unsigned Acc = 0;
    for (std::uint32_t X : Columns)
        for (int K = 0; K < N; ++K) {
            unsigned V = I.Sample(X, Y, K);
            if (I.Depth == 16) {
                Out.push_back(static_cast<std::uint8_t>(V >> 8));
                Out.push_back(static_cast<std::uint8_t>(V));
            } else if (I.Depth == 8) {
                Out.push_back(static_cast<std::uint8_t>(V));
            } else {
                Acc = (Acc << I.Depth) | (V & ((1u << I.Depth) - 1));
                Bits += I.Depth;
                if (Bits == 8) {
                    Out.push_back(static_cast<std::uint8_t>(Acc));
                    Acc = 0;
                    Bits = 0;
                }
            }
        }
    if (Bits)
        Out.push_back(static_cast<std::uint8_t>(Acc << (8 - Bits)));
    return Out;
}

inline int FilterBpp(const TImage& I) {
    int Bits = SamplesPerPixel(I.ColorType) * I.Depth;
    return Bits < 8 ? 1 : Bits / 8;
}

// One row with its filter byte; Prev is the previous unfiltered row of the same pass (or empty).
inline Bytes FilterRow(int Filter, const Bytes& Row, const Bytes& Prev, int Bpp) {
    Bytes Out{static_cast<std::uint8_t>(Filter)};
    for (size_t I = 0; I < Row.size(); ++I) {
        int A = I >= size_t(Bpp) ? Row[I - Bpp] : 0;
        int B = Prev.empty() ? 0 : Prev[I];
        int C = I >= size_t(Bpp) && !Prev.empty() ? Prev[I - Bpp] : 0;
        int Pred = 0;
        switch (Filter) {
        case 1: Pred = A; break;
        case 2: Pred = B; break;
        case 3: Pred = (A + B) / 2; break;
        case 4: {
            int P = A + B - C, PA = std::abs(P - A), PB = std::abs(P - B), PC = std::abs(P - C);
            Pred = PA <= PB && PA <= PC ? A : PB <= PC ? B : C;
            break;
        }
        default: break;
        }
        Out.push_back(static_cast<std::uint8_t>(Row[I] - Pred));
    }
    return Out;
}

// The filtered scan lines, pass by pass for an interlaced image.
inline Bytes ImageData(const TImage& I) {
    struct Pass { std::uint32_t X0, DX, Y0, DY; };
    std::vector<Pass> Passes = I.Interlaced
        ? std::vector<Pass>{{0, 8, 0, 8}, {4, 8, 0, 8}, {0, 4, 4, 8}, {2, 4, 0, 4}, {0, 2, 2, 4}, {1, 2, 0, 2}, {0, 1, 1, 2}}
        : std::vector<Pass>{{0, 1, 0, 1}};
    Bytes Out;
    int RowNumber = 0;
    for (const Pass& P : Passes) {
        if (P.X0 >= I.Width)
            continue;
        std::vector<std::uint32_t> Columns;
        for (std::uint32_t X = P.X0; X < I.Width; X += P.DX)
            Columns.push_back(X);
        Bytes Prev;
        for (std::uint32_t Y = P.Y0; Y < I.Height; Y += P.DY) {
            Bytes Row = PackPixels(I, Y, Columns);
            int Filter = I.Filter == 5 ? RowNumber % 5 : I.Filter;
            Bytes F = FilterRow(Filter, Row, Prev, FilterBpp(I));
            Out.insert(Out.end(), F.begin(), F.end());
            Prev = Row;
            ++RowNumber;
        }
    }
    return Out;
}

inline Bytes Compress(const Bytes& Raw) {
    uLongf Size = compressBound(static_cast<uLong>(Raw.size()));
    Bytes Out(Size);
    compress2(Out.data(), &Size, Raw.data(), static_cast<uLong>(Raw.size()), 9);
    Out.resize(Size);
    return Out;
}

inline Bytes HeaderData(const TImage& I) {
    Bytes D;
    PutBE32(D, I.Width);
    PutBE32(D, I.Height);
    D.push_back(static_cast<std::uint8_t>(I.Depth));
    D.push_back(static_cast<std::uint8_t>(I.ColorType));
    D.push_back(static_cast<std::uint8_t>(I.CompressionByte));
    D.push_back(0);
    D.push_back(I.Interlaced ? 1 : 0);
    return D;
}

inline const Bytes& Signature() {
    static const Bytes S{0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    return S;
}

inline void Append(Bytes& Out, const Bytes& More) { Out.insert(Out.end(), More.begin(), More.end()); }

// The whole file.
inline Bytes Encode(const TImage& I) {
    Bytes Out = Signature();
    Append(Out, ChunkBytes("IHDR", HeaderData(I)));
    for (const TChunk& C : I.Before)
        Append(Out, ChunkBytes(C.Type, C.Data));
    Bytes Z = Compress(ImageData(I));
    size_t Step = I.IdatSplit > 0 ? size_t(I.IdatSplit) : Z.size();
    for (size_t P = 0; P < Z.size(); P += Step)
        Append(Out, ChunkBytes("IDAT", Bytes(Z.begin() + P, Z.begin() + std::min(Z.size(), P + Step))));
    for (const TChunk& C : I.After)
        Append(Out, ChunkBytes(C.Type, C.Data));
    Append(Out, ChunkBytes("IEND", {}));
    Append(Out, I.Trailer);
    return Out;
}

// Samples from a fixed sequence, each below 2^Depth (or below Limit when given).
inline std::vector<std::uint16_t> PatternSamples(const TImage& I, unsigned Limit = 0) {
    unsigned Max = Limit ? Limit : (1u << I.Depth);
    std::vector<std::uint16_t> S(size_t(I.Width) * I.Height * SamplesPerPixel(I.ColorType));
    std::uint32_t Seed = 12345;
    for (auto& V : S) {
        Seed = Seed * 1103515245u + 12345u;
        V = static_cast<std::uint16_t>((Seed >> 8) % Max);
    }
    return S;
}

// A palette of Count entries: entry i is (i x 10, 255 - i, i x 3) truncated to bytes.
inline Bytes PaletteData(int Count) {
    Bytes P;
    for (int I = 0; I < Count; ++I) {
        P.push_back(static_cast<std::uint8_t>(I * 10));
        P.push_back(static_cast<std::uint8_t>(255 - I));
        P.push_back(static_cast<std::uint8_t>(I * 3));
    }
    return P;
}

inline void LoadPng(TPNGGraphic* Png, const Bytes& Data) {
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->Write(Data.data(), static_cast<LongInt>(Data.size()));
    S->SetPosition(0);
    Png->LoadFromStream(S.get());
}

// The value of one pixel as the bitmap stores it: the palette index for up to 8 bits, else the
// bytes from the lowest address up (blue, green, red, alpha).
inline unsigned StoredPixel(TBitmap* B, int X, int Y) {
    const auto* Row = static_cast<const std::uint8_t*>(B->ScanLine(Y));
    switch (B->PixelFormat()) {
    case pf1bit: return (Row[X / 8] >> (7 - X % 8)) & 1;
    case pf4bit: return (Row[X / 2] >> (X % 2 ? 0 : 4)) & 15;
    case pf8bit: return Row[X];
    case pf24bit: return Row[3 * X] | (Row[3 * X + 1] << 8) | (Row[3 * X + 2] << 16);
    case pf32bit:
        return Row[4 * X] | (Row[4 * X + 1] << 8) | (Row[4 * X + 2] << 16) | (unsigned(Row[4 * X + 3]) << 24);
    default: return 0xFFFFFFFF;
    }
}

}  // namespace pngtests
