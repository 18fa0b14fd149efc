#include "BitmapCodec.h"

#include "Graphic.h"

#include <algorithm>
#include <cstring>

namespace GraphicsDetail {

namespace {
RGBQUAD Quad(BYTE R, BYTE G, BYTE B) { return RGBQUAD{B, G, R, 0}; }

std::uint32_t Key(RGBQUAD C) { return C.rgbRed | (C.rgbGreen << 8) | (C.rgbBlue << 16); }

// One channel described by a mask: where it sits and how wide it is.
struct TChannel {
    DWORD Mask = 0;
    int Shift = 0;
    DWORD Max = 0;
    explicit TChannel(DWORD M) : Mask(M) {
        if (!M)
            return;
        while (!((M >> Shift) & 1))
            ++Shift;
        Max = M >> Shift;
    }
    BYTE Get(DWORD V) const {
        if (!Max)
            return 0;
        DWORD X = std::min((V & Mask) >> Shift, Max);
        return static_cast<BYTE>((X * 255 + Max / 2) / Max);
    }
    DWORD Put(BYTE C) const { return Max ? (((C * Max + 127) / 255) << Shift) & Mask : 0; }
};

constexpr DWORD Mask555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr DWORD Mask888[3] = {0xFF0000, 0x00FF00, 0x0000FF};

const DWORD* EffectiveMasks(const TDibFormat& F) {
    if (!F.PlainMasks())
        return F.Masks;
    return F.BitCount == 16 ? Mask555 : Mask888;
}
}  // namespace

bool TDibFormat::PlainMasks() const { return Masks[0] == 0 && Masks[1] == 0 && Masks[2] == 0; }

bool TDibFormat::operator==(const TDibFormat& O) const {
    return BitCount == O.BitCount && std::equal(Masks, Masks + 3, O.Masks) && Table.size() == O.Table.size() &&
           std::equal(Table.begin(), Table.end(), O.Table.begin(),
                      [](RGBQUAD A, RGBQUAD B) { return Key(A) == Key(B); });
}

std::uint32_t RowBytes(int Width, int BitCount) {
    if (Width <= 0 || BitCount <= 0)
        return 0;
    std::uint64_t Bytes = ((std::uint64_t(Width) * std::uint64_t(BitCount) + 31) / 32) * 4;
    return Bytes > MaxImageBytes ? 0 : static_cast<std::uint32_t>(Bytes);
}

std::vector<RGBQUAD> DefaultTable(int BitCount) {
    std::vector<RGBQUAD> T;
    switch (BitCount) {
    case 1:
        T = {Quad(0, 0, 0), Quad(255, 255, 255)};
        break;
    case 4:
        T = {Quad(0, 0, 0),       Quad(128, 0, 0),   Quad(0, 128, 0),   Quad(128, 128, 0),
             Quad(0, 0, 128),     Quad(128, 0, 128), Quad(0, 128, 128), Quad(192, 192, 192),
             Quad(128, 128, 128), Quad(255, 0, 0),   Quad(0, 255, 0),   Quad(255, 255, 0),
             Quad(0, 0, 255),     Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255)};
        break;
    case 8:
        // Grey levels equal to their index: an 8-bit plane (alpha, masks) shows and stretches as itself.
        for (int I = 0; I < 256; ++I)
            T.push_back(Quad(BYTE(I), BYTE(I), BYTE(I)));
        break;
    }
    return T;
}

std::vector<RGBQUAD> PaletteEntries(HPALETTE Palette) {
    std::vector<RGBQUAD> T;
    if (!Palette)
        return T;
    WORD Count = 0;
    if (!GetObjectA(Palette, sizeof Count, &Count) || Count == 0)
        return T;
    std::vector<PALETTEENTRY> E(Count);
    Count = static_cast<WORD>(GetPaletteEntries(Palette, 0, Count, E.data()));
    for (WORD I = 0; I < Count; ++I)
        T.push_back(Quad(E[I].peRed, E[I].peGreen, E[I].peBlue));
    return T;
}

HPALETTE CreatePaletteFrom(const std::vector<RGBQUAD>& Table) {
    if (Table.empty())
        return nullptr;
    std::vector<BYTE> Buf(sizeof(LOGPALETTE) + Table.size() * sizeof(PALETTEENTRY));
    auto* P = reinterpret_cast<LOGPALETTE*>(Buf.data());
    P->palVersion = 0x300;
    P->palNumEntries = static_cast<WORD>(Table.size());
    for (size_t I = 0; I < Table.size(); ++I)
        P->palPalEntry[I] = PALETTEENTRY{Table[I].rgbRed, Table[I].rgbGreen, Table[I].rgbBlue, 0};
    return CreatePalette(P);
}

void DecodeRow(const TDibFormat& F, const BYTE* Src, int Width, RGBQUAD* Dst) {
    auto FromTable = [&](unsigned Index) {
        return Index < F.Table.size() ? RGBQUAD{F.Table[Index].rgbBlue, F.Table[Index].rgbGreen, F.Table[Index].rgbRed, 0}
                                      : RGBQUAD{0, 0, 0, 0};
    };
    switch (F.BitCount) {
    case 1:
        for (int X = 0; X < Width; ++X)
            Dst[X] = FromTable((Src[X >> 3] >> (7 - (X & 7))) & 1);
        return;
    case 4:
        for (int X = 0; X < Width; ++X)
            Dst[X] = FromTable((X & 1) ? Src[X >> 1] & 0x0F : Src[X >> 1] >> 4);
        return;
    case 8:
        for (int X = 0; X < Width; ++X)
            Dst[X] = FromTable(Src[X]);
        return;
    case 24:
        for (int X = 0; X < Width; ++X, Src += 3)
            Dst[X] = RGBQUAD{Src[0], Src[1], Src[2], 0};
        return;
    case 32:
        if (F.PlainMasks()) {
            std::memcpy(Dst, Src, size_t(Width) * 4);
            return;
        }
        break;
    }
    const DWORD* M = EffectiveMasks(F);
    TChannel R(M[0]), G(M[1]), B(M[2]);
    int Step = F.BitCount / 8;
    for (int X = 0; X < Width; ++X, Src += Step) {
        DWORD V = Step == 2 ? DWORD(Src[0] | (Src[1] << 8)) : DWORD(Src[0] | (Src[1] << 8) | (Src[2] << 16) | (DWORD(Src[3]) << 24));
        Dst[X] = RGBQUAD{B.Get(V), G.Get(V), R.Get(V), 0};
    }
}

BYTE TRowEncoder::NearestIndex(RGBQUAD C) {
    std::uint32_t K = Key(C);
    auto It = FCache.find(K);
    if (It != FCache.end())
        return It->second;
    int Best = 0;
    long BestDist = -1;
    for (size_t I = 0; I < FFormat.Table.size(); ++I) {
        const RGBQUAD& T = FFormat.Table[I];
        long DR = long(T.rgbRed) - C.rgbRed, DG = long(T.rgbGreen) - C.rgbGreen, DB = long(T.rgbBlue) - C.rgbBlue;
        long D = DR * DR + DG * DG + DB * DB;
        if (BestDist < 0 || D < BestDist) {
            Best = static_cast<int>(I);
            BestDist = D;
            if (D == 0)
                break;
        }
    }
    FCache.emplace(K, static_cast<BYTE>(Best));
    return static_cast<BYTE>(Best);
}

void TRowEncoder::Encode(const RGBQUAD* Src, int Width, BYTE* Dst) {
    switch (FFormat.BitCount) {
    case 1:
    case 4: {
        int Bits = FFormat.BitCount;
        int PerByte = 8 / Bits;
        std::memset(Dst, 0, (size_t(Width) * Bits + 7) / 8);
        for (int X = 0; X < Width; ++X)
            Dst[X / PerByte] |= static_cast<BYTE>(NearestIndex(Src[X]) << ((PerByte - 1 - X % PerByte) * Bits));
        return;
    }
    case 8:
        for (int X = 0; X < Width; ++X)
            Dst[X] = NearestIndex(Src[X]);
        return;
    case 24:
        for (int X = 0; X < Width; ++X, Dst += 3) {
            Dst[0] = Src[X].rgbBlue;
            Dst[1] = Src[X].rgbGreen;
            Dst[2] = Src[X].rgbRed;
        }
        return;
    case 32:
        if (FFormat.PlainMasks()) {
            std::memcpy(Dst, Src, size_t(Width) * 4);
            return;
        }
        break;
    }
    const DWORD* M = EffectiveMasks(FFormat);
    TChannel R(M[0]), G(M[1]), B(M[2]);
    int Step = FFormat.BitCount / 8;
    for (int X = 0; X < Width; ++X, Dst += Step) {
        DWORD V = R.Put(Src[X].rgbRed) | G.Put(Src[X].rgbGreen) | B.Put(Src[X].rgbBlue);
        for (int I = 0; I < Step; ++I)
            Dst[I] = static_cast<BYTE>(V >> (8 * I));
    }
}

// ---------------------------------------------------------------------------------------------
// BMP files

namespace {
[[noreturn]] void Bad() { InvalidGraphic(GraphicsConsts::SInvalidBitmap); }

DWORD LE32(const BYTE* P) { return DWORD(P[0]) | (DWORD(P[1]) << 8) | (DWORD(P[2]) << 16) | (DWORD(P[3]) << 24); }
WORD LE16(const BYTE* P) { return static_cast<WORD>(P[0] | (P[1] << 8)); }

// Reads inside [Position, Limit) only.
class TBoundedReader {
public:
    TBoundedReader(TStream* S, Int64 Available) : FStream(S), FStart(S->Position()) {
        Int64 Size = S->Size();
        FLimit = std::min(FStart + std::max<Int64>(Available, 0), Size);
    }
    void Read(void* Buf, Int64 Count) {
        if (Count < 0 || FStream->Position() + Count > FLimit)
            Bad();
        FStream->ReadBuffer(Buf, static_cast<LongInt>(Count));
    }
    Int64 Offset() { return FStream->Position() - FStart; }
    Int64 Left() { return FLimit - FStream->Position(); }
    void SeekOffset(Int64 Offset) { FStream->SetPosition(FStart + Offset); }

private:
    TStream* FStream;
    Int64 FStart;
    Int64 FLimit;
};

// Run-length coded rows (8 or 4 bits, bottom-up) into plain rows; input that ends early leaves the
// rest at index 0, output never leaves the image.
void DecodeRle(const std::vector<BYTE>& In, int BitCount, int Width, int Rows, std::uint32_t Stride, BYTE* Out) {
    auto Put = [&](int X, int Y, BYTE Index) {
        if (X < 0 || X >= Width || Y < 0 || Y >= Rows)
            return;
        BYTE* Row = Out + size_t(Y) * Stride;
        if (BitCount == 8)
            Row[X] = Index;
        else if (X & 1)
            Row[X >> 1] = static_cast<BYTE>((Row[X >> 1] & 0xF0) | (Index & 0x0F));
        else
            Row[X >> 1] = static_cast<BYTE>((Row[X >> 1] & 0x0F) | (Index << 4));
    };
    size_t P = 0, N = In.size();
    long X = 0, Y = 0;
    while (P + 1 < N && Y < Rows) {
        BYTE Count = In[P], Value = In[P + 1];
        P += 2;
        if (Count > 0) {
            for (int I = 0; I < Count; ++I, ++X)
                Put(X, Y, BitCount == 8 ? Value : ((I & 1) ? Value & 0x0F : Value >> 4));
        } else if (Value == 0) {
            X = 0;
            ++Y;
        } else if (Value == 1) {
            break;
        } else if (Value == 2) {
            if (P + 1 >= N)
                break;
            X += In[P];
            Y += In[P + 1];
            P += 2;
        } else {
            size_t Bytes = BitCount == 8 ? Value : (Value + 1u) / 2;
            if (P + Bytes > N)
                break;
            for (int I = 0; I < Value; ++I, ++X)
                Put(X, Y, BitCount == 8 ? In[P + I] : ((I & 1) ? In[P + I / 2] & 0x0F : In[P + I / 2] >> 4));
            P += Bytes + (Bytes & 1);
        }
    }
}

// Rows in a layout the bitmap class keeps as it is: tables up to 8 bits, 5-5-5 and 5-6-5, plain
// 24 and 32 bits. Anything else is widened to plain 32 bits (alpha 0).
void Normalise(TDibImage& Img) {
    TDibFormat& F = Img.Format;
    if (F.BitCount <= 8 || F.BitCount == 24 || F.PlainMasks())
        return;
    const DWORD* M = F.Masks;
    if (F.BitCount == 16 && std::equal(M, M + 3, Mask555)) {
        std::fill(F.Masks, F.Masks + 3, 0);
        return;
    }
    if (F.BitCount == 16 && M[0] == 0xF800 && M[1] == 0x07E0 && M[2] == 0x001F)
        return;
    if (F.BitCount == 32 && std::equal(M, M + 3, Mask888)) {
        std::fill(F.Masks, F.Masks + 3, 0);
        return;
    }
    TDibFormat To;
    To.BitCount = 32;
    std::uint32_t From = RowBytes(Img.Width, F.BitCount), Stride = RowBytes(Img.Width, 32);
    if (!Stride || std::uint64_t(Stride) * Img.Height > MaxImageBytes)
        Bad();
    std::vector<BYTE> Bits(size_t(Stride) * Img.Height);
    for (int Y = 0; Y < Img.Height; ++Y)
        DecodeRow(F, Img.Bits.data() + size_t(Y) * From, Img.Width, reinterpret_cast<RGBQUAD*>(Bits.data() + size_t(Y) * Stride));
    Img.Bits = std::move(Bits);
    F = To;
}
}  // namespace

TDibImage ReadDib(TStream* Stream, Int64 Available, bool FileHeader) {
    TBoundedReader In(Stream, Available);
    DWORD OffBits = 0;
    if (FileHeader) {
        BYTE H[14];
        In.Read(H, sizeof H);
        if (H[0] != 'B' || H[1] != 'M')
            Bad();
        OffBits = LE32(H + 10);
    }
    BYTE Hdr[124] = {};
    In.Read(Hdr, 4);
    DWORD HeaderSize = LE32(Hdr);
    LONG Width, Height;
    WORD Planes, BitCount;
    DWORD Compression = BI_RGB, SizeImage = 0, ClrUsed = 0;
    bool Core = HeaderSize == sizeof(BITMAPCOREHEADER);
    if (Core) {
        In.Read(Hdr + 4, 8);
        Width = LE16(Hdr + 4);
        Height = LE16(Hdr + 6);
        Planes = LE16(Hdr + 8);
        BitCount = LE16(Hdr + 10);
    } else if (HeaderSize == 40 || HeaderSize == 52 || HeaderSize == 56 || HeaderSize == 108 || HeaderSize == 124) {
        In.Read(Hdr + 4, HeaderSize - 4);
        Width = static_cast<LONG>(LE32(Hdr + 4));
        Height = static_cast<LONG>(LE32(Hdr + 8));
        Planes = LE16(Hdr + 12);
        BitCount = LE16(Hdr + 14);
        Compression = LE32(Hdr + 16);
        SizeImage = LE32(Hdr + 20);
        ClrUsed = LE32(Hdr + 32);
    } else {
        Bad();
    }
    bool TopDown = Height < 0;
    if (Width <= 0 || Height == 0 || Height == LONG(0x80000000) || Planes != 1)
        Bad();
    int Rows = TopDown ? -Height : Height;
    switch (Compression) {
    case BI_RGB:
        if (BitCount != 1 && BitCount != 4 && BitCount != 8 && BitCount != 16 && BitCount != 24 && BitCount != 32)
            Bad();
        break;
    case BI_BITFIELDS:
        if (BitCount != 16 && BitCount != 32)
            Bad();
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (BitCount != (Compression == BI_RLE8 ? 8 : 4) || TopDown)
            Bad();
        break;
    default:
        Bad();
    }
    std::uint32_t Stride = RowBytes(Width, BitCount);
    if (!Stride || std::uint64_t(Stride) * Rows > MaxImageBytes)
        Bad();

    TDibImage Img;
    Img.Width = Width;
    Img.Height = Rows;
    Img.Format.BitCount = BitCount;
    if (Compression == BI_BITFIELDS) {
        if (HeaderSize == 40)
            In.Read(Hdr + 40, 12);
        for (int I = 0; I < 3; ++I)
            Img.Format.Masks[I] = LE32(Hdr + 40 + 4 * I);
        if (Img.Format.PlainMasks())
            Bad();
    }
    DWORD MaxColors = BitCount <= 8 ? (1u << BitCount) : 0;
    if (ClrUsed > 256 || (BitCount <= 8 && ClrUsed > MaxColors))
        Bad();
    DWORD Colors = ClrUsed ? ClrUsed : MaxColors;
    int EntrySize = Core ? 3 : 4;
    std::vector<BYTE> Table(size_t(Colors) * EntrySize);
    In.Read(Table.data(), static_cast<Int64>(Table.size()));
    if (BitCount <= 8)
        for (DWORD I = 0; I < Colors; ++I)
            Img.Format.Table.push_back(Quad(Table[I * EntrySize + 2], Table[I * EntrySize + 1], Table[I * EntrySize]));

    // The pixel data starts where the file header says when that is sensible (after the table,
    // inside the data); some writers leave a gap there.
    if (OffBits >= In.Offset() && OffBits < In.Offset() + In.Left())
        In.SeekOffset(OffBits);
    Img.Bits.assign(size_t(Stride) * Rows, 0);
    if (Compression == BI_RLE8 || Compression == BI_RLE4) {
        if (SizeImage == 0)
            Bad();
        std::vector<BYTE> Packed(SizeImage);
        In.Read(Packed.data(), SizeImage);
        DecodeRle(Packed, BitCount, Width, Rows, Stride, Img.Bits.data());
    } else {
        In.Read(Img.Bits.data(), static_cast<Int64>(Img.Bits.size()));
        if (TopDown)
            for (int Y = 0; Y < Rows / 2; ++Y)
                std::swap_ranges(Img.Bits.begin() + std::ptrdiff_t(Y) * Stride, Img.Bits.begin() + std::ptrdiff_t(Y + 1) * Stride,
                                 Img.Bits.begin() + std::ptrdiff_t(Rows - 1 - Y) * Stride);
    }
    Normalise(Img);
    return Img;
}

void WriteBmp(TStream* Stream, const TDibImage& Image) {
    const TDibFormat& F = Image.Format;
    bool Masks = F.BitCount == 16 && !F.PlainMasks();
    DWORD Extra = F.BitCount <= 8 ? DWORD(F.Table.size() * 4) : Masks ? 12 : 0;
    DWORD Header = 14 + sizeof(BITMAPINFOHEADER) + Extra;
    BITMAPFILEHEADER FH{};
    FH.bfType = 0x4D42;
    FH.bfOffBits = Header;
    FH.bfSize = Header + DWORD(Image.Bits.size());
    BITMAPINFOHEADER IH{};
    IH.biSize = sizeof IH;
    IH.biWidth = Image.Width;
    IH.biHeight = Image.Height;
    IH.biPlanes = 1;
    IH.biBitCount = static_cast<WORD>(F.BitCount);
    IH.biCompression = Masks ? BI_BITFIELDS : BI_RGB;
    IH.biSizeImage = DWORD(Image.Bits.size());
    IH.biClrUsed = F.BitCount <= 8 ? DWORD(F.Table.size()) : 0;
    Stream->WriteBuffer(&FH, 14);
    Stream->WriteBuffer(&IH, sizeof IH);
    if (F.BitCount <= 8 && !F.Table.empty())
        Stream->WriteBuffer(F.Table.data(), static_cast<LongInt>(F.Table.size() * 4));
    if (Masks)
        Stream->WriteBuffer(F.Masks, 12);
    if (!Image.Bits.empty())
        Stream->WriteBuffer(Image.Bits.data(), static_cast<LongInt>(Image.Bits.size()));
}

}  // namespace GraphicsDetail
