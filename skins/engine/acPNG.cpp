#include "acPNG.h"

#include "Picture.h"
#include "acFastPixels.h"
#include "sConst.h"
#include "sGraphUtils.h"
#include "sPaintServices.h"

#include <algorithm>
#include <climits>
#include <cstring>

using namespace acPNGMessages;

namespace {

const Byte PngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr TColor NoColor = 0x1FFFFFFF;

std::uint32_t* CrcTable = nullptr;

void BuildCrcTable() {
    static const int Terms[] = {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26};
    std::uint32_t Poly = 0;
    for (int T : Terms)
        Poly |= 1u << (31 - T);
    CrcTable = new std::uint32_t[256];
    for (std::uint32_t N = 0; N < 256; ++N) {
        std::uint32_t C = N;
        for (int K = 0; K < 8; ++K)
            C = (C & 1) ? Poly ^ (C >> 1) : C >> 1;
        CrcTable[N] = C;
    }
}

inline std::uint32_t BigEndian32(const Byte* P) {
    return (std::uint32_t(P[0]) << 24) | (std::uint32_t(P[1]) << 16) | (std::uint32_t(P[2]) << 8) | P[3];
}
inline unsigned BigEndian16(const Byte* P) { return (unsigned(P[0]) << 8) | P[1]; }

// Chunk types compare without regard to letter case: bit 0x20 of each byte is cleared on both sides.
bool ChunkTypeIs(const PngChunkHead& Head, const char* Type) {
    for (int I = 0; I < 4; ++I)
        if ((Head.ChunkType[I] & ~0x20) != (Type[I] & ~0x20))
            return false;
    return true;
}

[[noreturn]] void RaiseInvalid(const char* Fmt) { throw EInvalidGraphic(Fmt, {"PNG"}); }

inline TColor RgbColor(unsigned R, unsigned G, unsigned B) {
    return static_cast<TColor>((R & 0xFF) | ((G & 0xFF) << 8) | ((B & 0xFF) << 16));
}

// A bKGD or tRNS sample of a grey image scaled to 8 bits as the reader keeps it.
unsigned ScaleGraySample(unsigned Value, int Depth) {
    if (Depth == 2)
        return Value * 15 / 3;
    if (Depth == 16)
        return Value * 255 / 65535;
    return Value & 0xFF;
}
unsigned ScaleColorSample(unsigned Value, int Depth) { return Depth == 16 ? Value * 255 / 65535 : Value & 0xFF; }

void UnfilterRow(int Filter, Byte* Row, int Count, int Bpp, const Byte* Prev) {
    switch (Filter) {
    case 1:
        for (int I = Bpp; I < Count; ++I)
            Row[I] = static_cast<Byte>(Row[I] + Row[I - Bpp]);
        break;
    case 2:
        for (int I = 0; I < Count; ++I)
            Row[I] = static_cast<Byte>(Row[I] + Prev[I]);
        break;
    case 3:
        for (int I = 0; I < Count; ++I) {
            int Left = I >= Bpp ? Row[I - Bpp] : 0;
            Row[I] = static_cast<Byte>(Row[I] + (Left + Prev[I]) / 2);
        }
        break;
    case 4:
        for (int I = 0; I < Count; ++I) {
            int A = I >= Bpp ? Row[I - Bpp] : 0;
            int B = Prev[I];
            int C = I >= Bpp ? Prev[I - Bpp] : 0;
            int P = A + B - C;
            int PA = std::abs(P - A), PB = std::abs(P - B), PC = std::abs(P - C);
            int Predictor = PA <= PB && PA <= PC ? A : PB <= PC ? B : C;
            Row[I] = static_cast<Byte>(Row[I] + Predictor);
        }
        break;
    default:
        break;
    }
}

bool PngStarted = false;

}  // namespace

std::uint32_t UpdateCrc32(std::uint32_t Crc, const void* Data, std::size_t Size) {
    if (!Size)
        return Crc;
    if (!CrcTable)
        BuildCrcTable();
    const Byte* P = static_cast<const Byte*>(Data);
    std::uint32_t C = Crc ^ 0xFFFFFFFFu;
    for (std::size_t I = 0; I < Size; ++I)
        C = CrcTable[(C ^ P[I]) & 0xFF] ^ (C >> 8);
    return C ^ 0xFFFFFFFFu;
}

// ---------------------------------------------------------------------------------------------
// TLZ77Decoder

TLZ77Decoder::TLZ77Decoder(int FlushMode, bool AutoReset) : FFlushMode(FlushMode), FAutoReset(AutoReset) {}

TLZ77Decoder::~TLZ77Decoder() {
    if (FStarted)
        inflateEnd(&FStream);
}

void TLZ77Decoder::Start() {
    if (inflateInit(&FStream) < 0)
        throw EGraphicCompression(std::string(SLZ77Error));
    FStarted = true;
}

void TLZ77Decoder::Inflate(const Byte*& Input, Byte*& Output, int InputSize, int OutputSize) {
    if (FAutoReset) {
        inflateReset(&FStream);
        FResult = Z_OK;
    }
    if (FResult != Z_OK)
        return;
    FStream.next_in = const_cast<Byte*>(Input);
    FStream.avail_in = static_cast<uInt>(InputSize);
    FStream.next_out = Output;
    FStream.avail_out = static_cast<uInt>(OutputSize);
    FResult = inflate(&FStream, FFlushMode);
    Input = FStream.next_in;
    Output = FStream.next_out;
}

void TLZ77Decoder::Finish() {
    if (!FStarted)
        return;
    FStarted = false;
    if (inflateEnd(&FStream) < 0)
        throw EGraphicCompression(std::string(SLZ77Error));
}

// ---------------------------------------------------------------------------------------------
// TPNGGraphic

TPNGGraphic::TPNGGraphic() : FConverter(new TColorManager) {}

TPNGGraphic::~TPNGGraphic() {
    delete FConverter;
    if (FPaletteHandle)
        DeleteObject(FPaletteHandle);
}

void TPNGGraphic::Assign(TPersistent* Source) {
    if (auto* Png = DynCast<TPNGGraphic>(Source))
        FInfo = Png->FInfo;
    TBitmap::Assign(Source);
}

void TPNGGraphic::ReplacePalette(HPALETTE Value) {
    if (FPaletteHandle)
        DeleteObject(FPaletteHandle);
    FPaletteHandle = Value;
}

void TPNGGraphic::ReadChunkHead() {
    Byte Head[8];
    FSource->ReadBuffer(Head, 8);
    FChunkHead.Length = BigEndian32(Head);
    std::memcpy(FChunkHead.ChunkType, Head + 4, 4);
    FRunningCrc = UpdateCrc32(0, Head + 4, 4);
    // Lengths are 31-bit in the format; a larger one is no chunk of a PNG file.
    if (FChunkHead.Length > std::uint32_t(INT_MAX))
        RaiseInvalid(SInvalidImage);
}

void TPNGGraphic::ReadChunkBody() {
    // A length beyond the stream is refused before anything is allocated for it.
    if (Int64(FChunkHead.Length) + 4 > FSource->Size() - FSource->Position())
        throw EReadError(std::string(ClassesConsts::SReadError));
    FChunkData.resize(FChunkHead.Length);
    if (FChunkHead.Length)
        FSource->ReadBuffer(FChunkData.data(), static_cast<LongInt>(FChunkHead.Length));
    Byte Stored[4];
    FSource->ReadBuffer(Stored, 4);
    FRunningCrc = UpdateCrc32(FRunningCrc, FChunkData.data(), FChunkData.size());
    if (FRunningCrc != BigEndian32(Stored))
        RaiseInvalid(SCrcError);
}

bool TPNGGraphic::ReadPngInfo(TStream* Stream) {
    FInfo = PngImageInfo{};
    FInfo.FileGamma = 1.0f;
    Byte Signature[8];
    Stream->ReadBuffer(Signature, 8);
    if (std::memcmp(Signature, PngSignature, 8) != 0)
        return false;
    ReadChunkHead();
    if (!ChunkTypeIs(FChunkHead, "IHDR"))
        return false;
    FInfo.InfoFlags = PngInfoValid;
    ReadChunkBody();
    if (FChunkData.size() < 13)
        return false;
    const Byte* D = FChunkData.data();
    FInfo.ImageWidth = BigEndian32(D);
    FInfo.ImageHeight = BigEndian32(D + 4);
    if (!FInfo.ImageWidth || !FInfo.ImageHeight)
        return false;
    if (FInfo.ImageWidth > std::uint32_t(INT_MAX) || FInfo.ImageHeight > std::uint32_t(INT_MAX))
        return false;
    FColorType = D[9];
    switch (FColorType) {
    case 0: FInfo.Scheme = SchemeGray; FInfo.SampleCount = 1; break;
    case 2: FInfo.Scheme = SchemeRGB; FInfo.SampleCount = 3; break;
    case 3: FInfo.Scheme = SchemeIndexed; FInfo.SampleCount = 1; break;
    case 4: FInfo.Scheme = SchemeGrayAlpha; FInfo.SampleCount = 1; break;
    case 6: FInfo.Scheme = SchemeRGBA; FInfo.SampleCount = 4; break;
    default: FInfo.Scheme = SchemeUnknown; FInfo.SampleCount = 1; break;
    }
    FInfo.SampleBits = D[8];
    FInfo.PixelBits = static_cast<Byte>(FInfo.SampleCount * FInfo.SampleBits);
    FInfo.CompressionKind = D[10] == 0 ? 2 : 0;
    FInfo.FilterMethod = D[11];
    FInfo.IsInterlaced = D[12] != 0;
    FInfo.HasAlphaChannel = FInfo.Scheme == SchemeGrayAlpha || FInfo.Scheme == SchemeRGBA || FInfo.Scheme == SchemeBGRA;
    for (;;) {
        ReadChunkHead();
        if (ChunkTypeIs(FChunkHead, "gAMA")) {
            ReadChunkBody();
            if (FChunkData.size() >= 4)
                FInfo.FileGamma = static_cast<float>(BigEndian32(FChunkData.data()) / 100000.0);
            break;
        }
        if (ChunkTypeIs(FChunkHead, "IEND"))
            break;
        Stream->Seek(Int64(FChunkHead.Length) + 4, soCurrent);
    }
    return true;
}

int TPNGGraphic::ChoosePixelLayout(int ColorType, int BitDepth) {
    TColorManager& C = *FConverter;
    auto Accepts = [BitDepth](std::initializer_list<int> Depths) {
        return std::find(Depths.begin(), Depths.end(), BitDepth) != Depths.end();
    };
    auto Setup = [&C](Byte From, Byte To, Byte Samples, int SourceBits, int TargetBits) {
        C.SetSourceScheme(From);
        C.SetTargetScheme(To);
        C.SetSourceSamples(Samples);
        C.SetTargetSamples(Samples);
        C.SetSourceBits(static_cast<Byte>(SourceBits));
        C.SetTargetBits(static_cast<Byte>(TargetBits));
    };
    switch (ColorType) {
    case 0:
        if (!Accepts({1, 2, 4, 8, 16}))
            break;
        Setup(SchemeGray, SchemeGray, 1, BitDepth, BitDepth == 2 ? 4 : BitDepth == 16 ? 8 : BitDepth);
        SetPixelFormat(C.PixelFormatOf(1));
        ReplacePalette(C.MakeGrayPalette(false));
        return (BitDepth + 7) / 8;
    case 2:
        if (!Accepts({8, 16}))
            break;
        Setup(SchemeRGB, SchemeBGR, 3, BitDepth, 8);
        SetPixelFormat(pf24bit);
        return BitDepth * 3 / 8;
    case 3:
        if (!Accepts({1, 2, 4, 8}))
            break;
        Setup(SchemeIndexed, SchemeIndexed, 1, BitDepth, BitDepth == 2 ? 4 : BitDepth);
        SetPixelFormat(C.PixelFormatOf(1));
        return 1;
    case 4:
        if (!Accepts({8, 16}))
            break;
        // The alpha samples are dropped: the image becomes plain grey levels.
        Setup(SchemeGrayAlpha, SchemeIndexed, 1, BitDepth, 8);
        SetPixelFormat(pf8bit);
        ReplacePalette(C.MakeGrayPalette(false));
        return BitDepth * 2 / 8;
    case 6:
        if (!Accepts({8, 16}))
            break;
        Setup(SchemeRGBA, SchemeBGRA, 4, BitDepth, 8);
        SetPixelFormat(pf32bit);
        return BitDepth * 4 / 8;
    default:
        break;
    }
    RaiseInvalid(SInvalidColorFormat);
}

void TPNGGraphic::LoadFromStream(TStream* Stream) {
    SetHandle(nullptr);
    // What an earlier image made transparent is no part of this one.
    SetTransparent(false);
    SetTransparentMode(tmAuto);
    FStreamStart = Stream->Position();
    FInflater = nullptr;
    FSource = Stream;
    if (!ReadPngInfo(Stream))
        RaiseInvalid(SInvalidImage);
    Stream->SetPosition(FStreamStart + 8);
    FProgressArea = Rect(0, 0, static_cast<LONG>(FInfo.ImageWidth), 1);
    Progress(this, psStarting, 0, false, FProgressArea, SPreparing);

    ReplacePalette(nullptr);
    FPaletteAlpha.clear();
    FBackgroundValue = 0xFFFFFF;
    FTransparentValue = NoColor;
    FChunkDataSize = 0;
    FChunkDataPos = nullptr;
    ReadChunkHead();
    FChunkData.clear();
    // Every file decodes the same whatever was read before: gamma correction is only switched on
    // by this file's own gAMA chunk, with a table built for 8-bit samples. The alpha bits belong to
    // the converter chosen for the formats, which is not chosen again when they stay the same.
    FConverter->SourceOptions = static_cast<Byte>(coNeedByteSwap | (FConverter->SourceOptions & coAlpha));
    FConverter->TargetOptions &= coAlpha;
    FConverter->SetSourceBits(8);
    FConverter->SetTargetBits(8);
    FConverter->SetGammaValues(1.0f, 2.2f);

    try {
        ReadChunkBody();
        if (FInfo.CompressionKind != 2)
            throw EInvalidGraphic(SUnsupported, {SCompressionScheme, "PNG"});
        FInflater = new TLZ77Decoder(Z_PARTIAL_FLUSH, false);
        FInflater->Start();
        for (;;) {
            ReadChunkHead();
            if (ChunkTypeIs(FChunkHead, "IDAT")) {
                Progress(this, psEnding, 0, false, FProgressArea, "");
                DecodeImageData();
                // on to the skip step with the chunk that follows the image data
            } else if (ChunkTypeIs(FChunkHead, "PLTE")) {
                if (FChunkHead.Length % 3)
                    RaiseInvalid(SInvalidPalette);
                ReadChunkBody();
                if (FColorType == 3) {
                    FBytesPerPixel = ChoosePixelLayout(3, FInfo.SampleBits);
                    ReplacePalette(FConverter->MakeColorPalette(FChunkData.data(), 0,
                                                                static_cast<int>(FChunkHead.Length / 3), false));
                }
                continue;
            } else if (ChunkTypeIs(FChunkHead, "gAMA")) {
                ReadChunkBody();
                if (FChunkData.size() >= 4) {
                    FConverter->SetGammaValues(static_cast<float>(BigEndian32(FChunkData.data()) / 100000.0), 2.2f);
                    FConverter->TargetOptions |= coApplyGamma;
                    FInfo.InfoFlags |= PngInfoGamma;
                }
                continue;
            } else if (ChunkTypeIs(FChunkHead, "bKGD")) {
                ReadBackgroundChunk();
                continue;
            } else if (ChunkTypeIs(FChunkHead, "tRNS")) {
                ReadTransparencyChunk();
                continue;
            }
            Stream->Seek(Int64(FChunkHead.Length) + 4, soCurrent);
            if (ChunkTypeIs(FChunkHead, "IEND"))
                break;
            if (!(FChunkHead.ChunkType[0] & 0x20))
                throw EInvalidGraphic(std::string(SUnknownCriticalChunk));
        }
    } catch (...) {
        try {
            FinishLoad();
        } catch (...) {
            // the first error is the one to report
        }
        throw;
    }
    FinishLoad();
}

void TPNGGraphic::FinishLoad() {
    TLZ77Decoder* Inflater = FInflater;
    FInflater = nullptr;
    FChunkData.clear();
    FChunkData.shrink_to_fit();
    FChunkDataPos = nullptr;
    FChunkDataSize = 0;
    // A palette the bitmap has not taken (the image data never came) is not kept for the next load.
    ReplacePalette(nullptr);
    Progress(this, psEnding, 0, false, FProgressArea, "");
    if (Inflater) {
        TOwned<TLZ77Decoder> Owned(Inflater);
        Inflater->Finish();
    }
}

void TPNGGraphic::DecodeImageData() {
    Progress(this, psStarting, 0, false, FProgressArea, STransfering);
    const int Depth = FInfo.SampleBits;
    if (PixelFormat() == pfDevice)
        FBytesPerPixel = ChoosePixelLayout(FColorType, Depth);
    int SampleFactor = Depth == 16 ? FBytesPerPixel / 2 : FBytesPerPixel;
    const int Width = static_cast<int>(FInfo.ImageWidth);
    const int Height = static_cast<int>(FInfo.ImageHeight);
    // Rows and the bitmap must be addressable with 32-bit sizes.
    Int64 RowBytes64 = (Int64(Width) * Depth + 7) / 8 * SampleFactor + 1;
    Int64 ImageBytes64 = (Int64(Width) * 32 + 31) / 32 * 4 * Height;
    if (RowBytes64 > INT_MAX || ImageBytes64 > INT_MAX)
        RaiseInvalid(SInvalidImage);
    if (FPaletteHandle) {
        SetPalette(FPaletteHandle);
        FPaletteHandle = nullptr;  // the bitmap owns it now
    }
    SetSize(Width, Height);
    TCanvas* C = Canvas();
    C->Lock();
    C->Brush()->SetColor(FBackgroundValue);
    C->FillRect(Rect(0, 0, Width, Height));
    C->Unlock();
    if (FTransparentValue != NoColor) {
        SetTransparentColor(FTransparentValue);
        SetTransparent(true);
    }

    const int RowBytes = static_cast<int>(RowBytes64);
    std::vector<Byte> RowA(RowBytes, 0), RowB(RowBytes, 0);
    Byte* Current = RowA.data();
    Byte* Previous = RowB.data();
    auto DecodeRow = [&](int Y, int Bytes, Byte Mask) {
        InflateRow(Current, Bytes);
        UnfilterRow(Current[0], Current + 1, Bytes - 1, FBytesPerPixel, Previous + 1);
        FConverter->ConvertPixelRow(Current + 1, Mask, Width, ScanLine(Y));
        std::swap(Current, Previous);
    };
    auto RowProgress = [&](int Y) {
        Progress(this, psRunning, static_cast<Byte>(MulDiv(Y, 100, Height)), true, FProgressArea, "");
        OffsetRect(FProgressArea, 0, 1);
    };
    if (FInfo.IsInterlaced) {
        static const int ColumnStart[7] = {0, 4, 0, 2, 0, 1, 0};
        static const int ColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};
        static const int RowStart[7] = {0, 0, 4, 0, 2, 0, 1};
        static const int RowStep[7] = {8, 8, 8, 4, 4, 2, 2};
        static const Byte PassMask[7] = {0x80, 0x08, 0x88, 0x22, 0xAA, 0x55, 0xFF};
        for (int Pass = 0; Pass < 7; ++Pass) {
            if (ColumnStart[Pass] >= Width)
                continue;
            int Columns = (Width - ColumnStart[Pass] + ColumnStep[Pass] - 1) / ColumnStep[Pass];
            int PassBytes = static_cast<int>((Int64(Columns) * Depth + 7) / 8 * SampleFactor + 1);
            std::fill(Previous, Previous + RowBytes, Byte(0));
            for (int Y = RowStart[Pass]; Y < Height; Y += RowStep[Pass]) {
                DecodeRow(Y, PassBytes, PassMask[Pass]);
                if (Pass == 6)
                    RowProgress(Y);
            }
        }
    } else {
        for (int Y = 0; Y < Height; ++Y) {
            DecodeRow(Y, RowBytes, 0xFF);
            RowProgress(Y);
        }
    }
    while (ChunkTypeIs(FChunkHead, "IDAT")) {
        ReadChunkBody();
        ReadChunkHead();
    }
}

void TPNGGraphic::InflateRow(Byte* Buffer, int Count) {
    Byte* Out = Buffer;
    int Left = Count;
    for (;;) {
        if (FInflater->InputLeft() == 0) {
            while (FChunkDataSize == 0) {
                if (!ChunkTypeIs(FChunkHead, "IDAT"))
                    return;
                ReadChunkBody();
                FChunkDataPos = FChunkData.data();
                FChunkDataSize = static_cast<int>(FChunkData.size());
                ReadChunkHead();
            }
        }
        const Byte* In = FChunkDataPos;
        FInflater->Inflate(In, Out, FChunkDataSize, Left);
        FChunkDataPos = In;
        FChunkDataSize = FInflater->InputLeft();
        Left = FInflater->OutputLeft();
        int Result = FInflater->ResultCode();
        if (Result == Z_STREAM_END) {
            if (Left > 0 || FChunkDataSize > 0)
                RaiseInvalid(SExtraCompressedData);
            return;
        }
        if (Result != Z_OK)
            RaiseInvalid(SCompressionError);
        if (Left == 0)
            return;
    }
}

void TPNGGraphic::ReadBackgroundChunk() {
    ReadChunkBody();
    const Byte* D = FChunkData.data();
    const int Depth = FInfo.SampleBits;
    switch (FColorType) {
    case 0:
    case 4:
        if (FChunkData.size() >= 2)
            FBackgroundValue = static_cast<TColor>(ScaleGraySample(BigEndian16(D), Depth));
        break;
    case 2:
    case 6:
        if (FChunkData.size() >= 6)
            FBackgroundValue = RgbColor(ScaleColorSample(BigEndian16(D), Depth),
                                        ScaleColorSample(BigEndian16(D + 2), Depth),
                                        ScaleColorSample(BigEndian16(D + 4), Depth));
        break;
    case 3:
        if (!FChunkData.empty())
            FBackgroundValue = D[0];
        break;
    default:
        break;
    }
}

void TPNGGraphic::ReadTransparencyChunk() {
    ReadChunkBody();
    const Byte* D = FChunkData.data();
    const int Depth = FInfo.SampleBits;
    switch (FColorType) {
    case 0:
        if (FChunkData.size() >= 2) {
            unsigned V = ScaleGraySample(BigEndian16(D), Depth);
            FTransparentValue = RgbColor(V, V, V);
        }
        break;
    case 2:
        if (FChunkData.size() >= 6)
            FTransparentValue = RgbColor(ScaleColorSample(BigEndian16(D), Depth),
                                         ScaleColorSample(BigEndian16(D + 2), Depth),
                                         ScaleColorSample(BigEndian16(D + 4), Depth));
        break;
    case 3: {
        FPaletteAlpha.assign(256, 255);
        size_t N = std::min<size_t>(FChunkData.size(), 256);
        std::copy(D, D + N, FPaletteAlpha.begin());
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Drawing and icons

namespace {

// 256 grey levels, entry i = (i, i, i): an 8-bit image over it keeps its values through the
// device format and back.
HPALETTE GreyPalette() {
    std::vector<Byte> Block(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* P = reinterpret_cast<LOGPALETTE*>(Block.data());
    P->palVersion = 0x300;
    P->palNumEntries = 256;
    for (int I = 0; I < 256; ++I)
        P->palPalEntry[I] = PALETTEENTRY{Byte(I), Byte(I), Byte(I), 0};
    return CreatePalette(P);
}

TBitmap* NewGreyBitmap(int Width, int Height) {
    TBitmap* B = Create<TBitmap>();
    B->SetPixelFormat(pf8bit);
    B->SetPalette(GreyPalette());
    B->SetSize(Width, Height);
    return B;
}

// A plain device-format bitmap of that size.
TBitmap* NewDeviceBitmap(int Width, int Height) {
    TBitmap* B = Create<TBitmap>();
    B->SetSize(Width, Height);
    return B;
}

void FillBlack(TBitmap* B) { FillRectSolid(B->Canvas()->Handle(), Rect(0, 0, B->Width(), B->Height()), clBlack); }

void HalftoneStretch(TBitmap* Dst, TBitmap* Src) {
    HDC DC = Dst->Canvas()->Handle();
    int OldMode = SetStretchBltMode(DC, HALFTONE);
    SetBrushOrgEx(DC, 0, 0, nullptr);
    StretchBlt(DC, 0, 0, Dst->Width(), Dst->Height(), Src->Canvas()->Handle(), 0, 0, Src->Width(), Src->Height(),
               SRCCOPY);
    SetStretchBltMode(DC, OldMode);
}

HICON IconOf(TBitmap* Colors, TBitmap* Mask) {
    ICONINFO Info{};
    Info.fIcon = TRUE;
    Info.hbmColor = Colors->Handle();
    Info.hbmMask = Mask->Handle();
    return CreateIconIndirect(&Info);
}

}  // namespace

void TPNGGraphic::Draw(TCanvas* ACanvas, const TRect& R) {
    if (PixelFormat() != pf32bit) {
        TBitmap::Draw(ACanvas, R);
        return;
    }
    const int W = R.Width(), H = R.Height();
    if (W <= 0 || H <= 0)
        return;
    TOwned<TBitmap> Work(NewBitmap24(W, H + (MirrorBelow ? H / 2 : 0)));
    BitBlt(Work->Canvas()->Handle(), 0, 0, W, Work->Height(), ACanvas->Handle(), R.Left, R.Top, SRCCOPY);
    if (W == Width() && H == Height()) {
        DrawAlphaImage(Rect(0, 0, W, H), Rect(0, 0, W, H), Work.get(), MirrorBelow, 0, NoTint, false,
                       EmptyBackgroundSource, this);
    } else {
        TOwned<TBitmap> Scaled(NewDeviceBitmap(W, H));
        HalftoneStretch(Scaled.get(), this);
        Scaled->SetPixelFormat(pf32bit);
        TOwned<TBitmap> Alpha(NewGreyBitmap(Width(), Height()));
        CopyChannel(this, Alpha.get(), 3, true);
        Alpha->SetPixelFormat(pfDevice);
        TOwned<TBitmap> ScaledAlpha(NewDeviceBitmap(W, H));
        HalftoneStretch(ScaledAlpha.get(), Alpha.get());
        ScaledAlpha->SetPalette(GreyPalette());
        ScaledAlpha->SetPixelFormat(pf8bit);
        CopyChannel(Scaled.get(), ScaledAlpha.get(), 3, false);
        DrawAlphaImage(Rect(0, 0, W, H), Rect(0, 0, W, H), Work.get(), false, 0, NoTint, false,
                       EmptyBackgroundSource, Scaled.get());
    }
    BitBlt(ACanvas->Handle(), R.Left, R.Top, Work->Width(), Work->Height(), Work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

HICON MakeIconFromPng(TPNGGraphic* Png, bool UseCornerColor) {
    const int W = Png->Width(), H = Png->Height();
    TOwned<TBitmap> Mask(Create<TBitmap>());
    if (UseCornerColor || Png->PixelFormat() != pf32bit) {
        Png->SetPixelFormat(pf32bit);
        Mask.reset(NewGreyBitmap(W, H));
        FillBlack(Mask.get());
        TacFast32 Pixels;
        if (Pixels.Attach(Png)) {
            const Cardinal Corner = Pixels.ReadPixel(0, 0);
            for (int Y = 0; Y < H; ++Y) {
                auto* Row = static_cast<Byte*>(Mask->ScanLine(Y));
                for (int X = 0; X < W; ++X)
                    Row[X] = Pixels.ReadPixel(X, Y) == Corner ? 255 : 0;
            }
        }
        Mask->SetPixelFormat(pf1bit);
    } else {
        Mask->SetPixelFormat(pf1bit);
        Mask->SetSize(W, H);
        FillBlack(Mask.get());
    }
    return IconOf(Png, Mask.get());
}

HICON MakeIconFromPngOnColor(TPNGGraphic* Png, TColor Color) {
    const int W = Png->Width(), H = Png->Height();
    TOwned<TBitmap> Mask(Create<TBitmap>());
    Mask->SetPixelFormat(pf1bit);
    Mask->SetSize(W, H);
    FillBlack(Mask.get());
    TOwned<TBitmap> Colors(NewBitmap32(W, H));
    FillRectSolid(Colors->Canvas()->Handle(), Rect(0, 0, W, H), Color);
    Png->Draw(Colors->Canvas(), Rect(0, 0, W, H));
    if (Png->PixelFormat() != pf32bit) {
        Png->SetPixelFormat(pf32bit);
        TacFast32 Pixels;
        if (Pixels.Attach(Png))
            for (int Y = 0; Y < H; ++Y)
                for (int X = 0; X < W; ++X) {
                    Cardinal P = Pixels.ReadPixel(X, Y) & 0x00FFFFFF;
                    Pixels.WritePixel(X, Y, P == 0x00FF00FF ? P : P | 0xFF000000u);
                }
    }
    TacFast32 Source, Target;
    if (Source.Attach(Png) && Target.Attach(Colors.get())) {
        HDC MaskDC = Mask->Canvas()->Handle();
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                Cardinal P = Source.ReadPixel(X, Y);
                Target.WritePixel(X, Y, P);
                SetPixelV(MaskDC, X, Y, (P >> 24) == 0 ? 0xFFFFFF : 0);
            }
    }
    return IconOf(Colors.get(), Mask.get());
}

void ClearTransparentWhite(TBitmap* Bitmap) {
    if (Bitmap->PixelFormat() != pf32bit)
        return;
    TacFast32 Pixels;
    if (!Pixels.Attach(Bitmap))
        return;
    for (int X = 0; X < Pixels.PixelWidth; ++X)
        for (int Y = 0; Y < Pixels.PixelHeight; ++Y)
            if (Pixels.ReadPixel(X, Y) == 0x00FFFFFFu)
                Pixels.WritePixel(X, Y, 0);
}

// ---------------------------------------------------------------------------------------------
// Unit start-up

void acPNGInitialization() {
    if (PngStarted)
        return;
    PngStarted = true;
    RegisterClass(TPNGGraphic::StaticClass());
    TPicture::RegisterFileFormat("png", "Portable network graphics (skin library)", TPNGGraphic::StaticClass());
}

void acPNGFinalization() {
    if (!PngStarted)
        return;
    PngStarted = false;
    TPicture::UnregisterGraphicClass(TPNGGraphic::StaticClass());
    delete[] CrcTable;
    CrcTable = nullptr;
}
