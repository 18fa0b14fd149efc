// The storage format of the second component library's containers and waves: values, texts,
// string lists and bitmaps written to streams plainly with their size in front, or packed in blocks.
#pragma once

#include "Bitmaps.h"
#include "Lists.h"
#include "Streams.h"

namespace lmdstreams {

// A 32-bit total, then per block of at most 32,781 input bytes its 32-bit packed size and the packed
// block. Count must not exceed what Source can deliver from its position.
void PackStream(TStream* Source, TStream* Dest, LongInt Count);
// Appends the unpacked bytes of one packed stream read from Source's position to Dest. Sizes that do
// not fit the stream's own total, or blocks that do not unpack, raise EReadError.
void UnpackStream(TStream* Source, TStream* Dest);

void WriteLongInt(TStream* Stream, LongInt Value);
LongInt ReadLongInt(TStream* Stream);
void WriteByteValue(TStream* Stream, Byte Value);
Byte ReadByteValue(TStream* Stream);
// A length byte and at most 255 characters (a longer text is cut).
void WriteShortText(TStream* Stream, const std::string& Text);
std::string ReadShortText(TStream* Stream);

// Plain: the 32-bit size of the data, then the data; packed: a packed stream of the data.
void WriteSizedData(TStream* Stream, TStream* Data, bool Packed);
// The data of either form into a new memory stream, rewound.
void ReadSizedData(TStream* Stream, TMemoryStream* Data, bool Packed);

void WriteStringsData(TStream* Stream, TStrings* Strings, bool Packed);
void ReadStringsData(TStream* Stream, TStrings* Strings, bool Packed);
// Colours -1: the framework's own bitmap format; 2, 16 or 256: a bitmap file image of 1, 4 or 8 bits.
void WriteBitmapData(TStream* Stream, TBitmap* Bitmap, bool Packed, int Colours);
void ReadBitmapData(TStream* Stream, TBitmap* Bitmap, bool Packed);

// The bitmap as a bitmap file of the requested depth (0: the bitmap's own, 16 and 32 bits as 24),
// preceded by its 32-bit size when WithSize is set. A bitmap without a handle raises
// "Bitmap image is not valid".
void WriteBitmapFileImage(TStream* Stream, HBITMAP Bitmap, HPALETTE Palette, int Colours, bool WithSize);
// A monochrome bitmap is always written with 1 bit.
void BitmapToDibStream(TStream* Stream, TBitmap* Bitmap, int Colours);

}  // namespace lmdstreams
