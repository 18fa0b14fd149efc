// Pixel rows of device-independent bitmaps in every layout the bitmap class meets (1, 4 and 8 bits
// through a colour table, 16 bits by channel masks, 24 and 32 bits), decoded to and encoded from
// rows of RGBQUAD, and the BMP file format. Internal to the graphics unit.
#pragma once

#include "Classes.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace GraphicsDetail {

// Bits per pixel, the colour table (up to 8 bits) and the channel masks (16 and 32 bits; all zero
// means the plain layout: 5-5-5 for 16 bits, B-G-R-A bytes for 32).
struct TDibFormat {
    int BitCount = 0;
    DWORD Masks[3] = {0, 0, 0};  // red, green, blue
    std::vector<RGBQUAD> Table;

    bool PlainMasks() const;
    bool operator==(const TDibFormat& O) const;
};

// Bytes of one row, rounded up to 32 bits as DIB rows are; 0 for sizes that overflow.
std::uint32_t RowBytes(int Width, int BitCount);

// What a new bitmap of a low bit depth starts with: black and white, the 16 standard colours, a
// grey ramp of 256 levels.
std::vector<RGBQUAD> DefaultTable(int BitCount);
std::vector<RGBQUAD> PaletteEntries(HPALETTE Palette);
HPALETTE CreatePaletteFrom(const std::vector<RGBQUAD>& Table);

// One row to RGBQUAD. 32-bit pixels keep their fourth byte; every other layout gives alpha 0.
void DecodeRow(const TDibFormat& F, const BYTE* Src, int Width, RGBQUAD* Dst);

// RGBQUAD rows into one layout; colours without an exact entry in a colour table take the nearest.
class TRowEncoder {
public:
    explicit TRowEncoder(const TDibFormat& F) : FFormat(F) {}
    void Encode(const RGBQUAD* Src, int Width, BYTE* Dst);
    BYTE NearestIndex(RGBQUAD C);

private:
    const TDibFormat& FFormat;
    std::unordered_map<std::uint32_t, BYTE> FCache;
};

// A whole image as a BMP holds it: rows bottom-up, each RowBytes long.
struct TDibImage {
    TDibFormat Format;
    int Width = 0;
    int Height = 0;
    std::vector<BYTE> Bits;
};

// Reads a BMP (with its file header) or a packed DIB (header, table, bits: bitmap resources) of at
// most Available bytes from the stream's position on. Top-down and run-length coded images and odd
// channel masks are turned into plain bottom-up rows. Anything malformed or cut short raises
// EInvalidGraphic "Bitmap image is not valid"; nothing is read past Available.
TDibImage ReadDib(TStream* Stream, Int64 Available, bool FileHeader);
// Writes a BMP: file header, BITMAPINFOHEADER, colour table or masks, rows.
void WriteBmp(TStream* Stream, const TDibImage& Image);

// The largest image the bitmap class makes, in bytes of pixel data.
constexpr std::uint64_t MaxImageBytes = 0x20000000;

}  // namespace GraphicsDetail
