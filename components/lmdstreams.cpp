#include "lmdstreams.h"

#include "lmdprocs.h"

#include <vector>

namespace lmdstreams {

void PackStream(TStream* Source, TStream* Dest, LongInt Count) {
    // The blocks are gathered first so that the total goes in front without seeking back: some
    // streams end their data where a write ends.
    TMemoryStream Blocks;
    std::vector<Byte> In(lmdprocs::MaxBlockSize), Out(lmdprocs::MaxBlockSize + 1);
    while (Count > 0) {
        const LongInt N = std::min<LongInt>(Count, lmdprocs::MaxBlockSize);
        Source->ReadBuffer(In.data(), N);
        const LongInt S = lmdprocs::Lzrw1PackBlock(In.data(), Out.data(), N);
        WriteLongInt(&Blocks, S);
        Blocks.WriteBuffer(Out.data(), S);
        Count -= N;
    }
    WriteLongInt(Dest, static_cast<LongInt>(Blocks.Size()));
    if (Blocks.Size() > 0)
        Dest->CopyFrom(&Blocks, 0);
}

void UnpackStream(TStream* Source, TStream* Dest) {
    LongInt Total = ReadLongInt(Source);
    std::vector<Byte> In(lmdprocs::MaxBlockSize + 1), Out(lmdprocs::MaxBlockSize);
    if (Total < 0)
        throw EReadError("Stream read error");
    while (Total > 0) {
        const LongInt S = ReadLongInt(Source);
        if (S < 1 || S > lmdprocs::MaxBlockSize + 1 || S + 4 > Total)
            throw EReadError("Stream read error");
        Source->ReadBuffer(In.data(), S);
        const int N = lmdprocs::Lzrw1UnpackBlock(In.data(), Out.data(), S);
        if (N > 0)
            Dest->WriteBuffer(Out.data(), N);
        Total -= S + 4;
    }
}

void WriteLongInt(TStream* Stream, LongInt Value) { Stream->WriteBuffer(&Value, 4); }
LongInt ReadLongInt(TStream* Stream) {
    LongInt Value;
    Stream->ReadBuffer(&Value, 4);
    return Value;
}
void WriteByteValue(TStream* Stream, Byte Value) { Stream->WriteBuffer(&Value, 1); }
Byte ReadByteValue(TStream* Stream) {
    Byte Value;
    Stream->ReadBuffer(&Value, 1);
    return Value;
}

void WriteShortText(TStream* Stream, const std::string& Text) {
    const Byte N = static_cast<Byte>(std::min<size_t>(Text.size(), 255));
    WriteByteValue(Stream, N);
    if (N)
        Stream->WriteBuffer(Text.data(), N);
}

std::string ReadShortText(TStream* Stream) {
    std::string Text(ReadByteValue(Stream), '\0');
    if (!Text.empty())
        Stream->ReadBuffer(Text.data(), static_cast<LongInt>(Text.size()));
    return Text;
}

void WriteSizedData(TStream* Stream, TStream* Data, bool Packed) {
    Data->SetPosition(0);
    if (Packed)
        return PackStream(Data, Stream, static_cast<LongInt>(Data->Size()));
    WriteLongInt(Stream, static_cast<LongInt>(Data->Size()));
    if (Data->Size() > 0)
        Stream->CopyFrom(Data, Data->Size());
}

void ReadSizedData(TStream* Stream, TMemoryStream* Data, bool Packed) {
    Data->Clear();
    if (Packed) {
        UnpackStream(Stream, Data);
    } else {
        const LongInt Size = ReadLongInt(Stream);
        if (Size < 0 || Size > Stream->Size() - Stream->Position())
            throw EReadError("Stream read error");
        if (Size > 0)
            Data->CopyFrom(Stream, Size);
    }
    Data->SetPosition(0);
}

void WriteStringsData(TStream* Stream, TStrings* Strings, bool Packed) {
    TStringStream Text(Strings->Text());
    WriteSizedData(Stream, &Text, Packed);
}

void ReadStringsData(TStream* Stream, TStrings* Strings, bool Packed) {
    TMemoryStream Data;
    ReadSizedData(Stream, &Data, Packed);
    Strings->LoadFromStream(&Data);
}

void WriteBitmapData(TStream* Stream, TBitmap* Bitmap, bool Packed, int Colours) {
    TMemoryStream Data;
    if (Colours == -1)
        Bitmap->SaveToStream(&Data);
    else
        BitmapToDibStream(&Data, Bitmap, Colours);
    WriteSizedData(Stream, &Data, Packed);
}

void ReadBitmapData(TStream* Stream, TBitmap* Bitmap, bool Packed) {
    TMemoryStream Data;
    ReadSizedData(Stream, &Data, Packed);
    Bitmap->LoadFromStream(&Data);
}

void BitmapToDibStream(TStream* Stream, TBitmap* Bitmap, int Colours) {
    WriteBitmapFileImage(Stream, Bitmap->Handle(), Bitmap->Palette(), Bitmap->Monochrome() ? 2 : Colours, false);
}

void WriteBitmapFileImage(TStream* Stream, HBITMAP Bitmap, HPALETTE Palette, int Colours, bool WithSize) {
    BITMAP Info{};
    if (!Bitmap || !GetObjectA(Bitmap, sizeof Info, &Info))
        throw Exception("Bitmap image is not valid");
    WORD Bits;
    switch (Colours) {
        case 2: Bits = 1; break;
        case 16: Bits = 4; break;
        case 256: Bits = 8; break;
        default:
            Bits = static_cast<WORD>(Info.bmPlanes * Info.bmBitsPixel);
            if (Bits == 16 || Bits == 32)
                Bits = 24;
    }
    const DWORD RowSize = ((Info.bmWidth * Bits + 31) / 32) * 4;
    const DWORD ImageSize = RowSize * static_cast<DWORD>(Info.bmHeight);
    const DWORD ColourCount = Bits == 24 ? 0 : 1u << Bits;
    std::vector<Byte> Header(sizeof(BITMAPINFOHEADER) + ColourCount * sizeof(RGBQUAD));
    auto* Bih = reinterpret_cast<BITMAPINFOHEADER*>(Header.data());
    Bih->biSize = sizeof(BITMAPINFOHEADER);
    Bih->biWidth = Info.bmWidth;
    Bih->biHeight = Info.bmHeight;
    Bih->biPlanes = 1;
    Bih->biBitCount = Bits;
    Bih->biCompression = BI_RGB;
    Bih->biSizeImage = ImageSize;
    std::vector<Byte> Pixels(ImageSize);
    HDC DC = GetDC(nullptr);
    HPALETTE Old = Palette ? SelectPalette(DC, Palette, FALSE) : nullptr;
    if (Palette)
        RealizePalette(DC);
    const int Lines = GetDIBits(DC, Bitmap, 0, static_cast<UINT>(Info.bmHeight), Pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(Header.data()), DIB_RGB_COLORS);
    if (Old)
        SelectPalette(DC, Old, FALSE);
    ReleaseDC(nullptr, DC);
    if (Lines == 0)
        throw Exception("Bitmap image is not valid");
    // GetDIBits may fill in its own header fields; the file keeps the documented ones.
    Bih->biSizeImage = ImageSize;
    Bih->biXPelsPerMeter = Bih->biYPelsPerMeter = 0;
    Bih->biClrUsed = Bih->biClrImportant = 0;
    BITMAPFILEHEADER File{};
    File.bfType = 0x4D42;
    File.bfOffBits = static_cast<DWORD>(sizeof File + Header.size());
    File.bfSize = File.bfOffBits + ImageSize;
    if (WithSize)
        WriteLongInt(Stream, static_cast<LongInt>(File.bfSize));
    Stream->WriteBuffer(&File, sizeof File);
    Stream->WriteBuffer(Header.data(), static_cast<LongInt>(Header.size()));
    if (ImageSize)
        Stream->WriteBuffer(Pixels.data(), static_cast<LongInt>(ImageSize));
}

}  // namespace lmdstreams
