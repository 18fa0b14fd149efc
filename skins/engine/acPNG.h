// TPNGGraphic: a bitmap that reads PNG images into itself. After loading it is an ordinary bitmap
// whose pixel format follows the image's colour type: 1, 4 or 8 bits over a palette for grey and
// indexed images, 24 bits for RGB, 32 bits with straight (not premultiplied) alpha for RGBA.
// The unit registers the class for "png" files with TPicture.
//
//   TOwned<TPNGGraphic> Png(Create<TPNGGraphic>());
//   Png->LoadFromStream(Stream);     // EInvalidGraphic on any format error
//
// Start-up: acPNGInitialization() registers the format; acPNGFinalization() withdraws it and frees
// the CRC table.
#pragma once

#include "Bitmaps.h"
#include "acColorManager.h"

#include <zlib.h>

#include <cstdint>
#include <vector>

DECLARE_EXCEPTION(EGraphicCompression, Exception);

namespace acPNGMessages {
inline constexpr const char* SInvalidImage = "Cannot load image. Invalid or unexpected %s image format.";
inline constexpr const char* SCrcError = "Cannot load image. CRC error found in %s file.";
inline constexpr const char* SUnsupported = "Cannot load image. %s not supported for %s files.";
inline constexpr const char* SCompressionScheme = "The compression scheme is";
inline constexpr const char* SInvalidPalette = "Cannot load image. Palette in %s file is invalid.";
inline constexpr const char* SUnknownCriticalChunk = "Cannot load PNG image. Unexpected but critical chunk detected.";
inline constexpr const char* SInvalidColorFormat = "Invalid color format in %s file.";
inline constexpr const char* SExtraCompressedData = "Cannot load image. Extra compressed data found in %s file.";
inline constexpr const char* SCompressionError = "Cannot load image. Compression error found in %s file.";
inline constexpr const char* SLZ77Error = "LZ77 decompression error.";
inline constexpr const char* SPreparing = "Preparing...";
inline constexpr const char* STransfering = "Transfering...";
}  // namespace acPNGMessages

// PngImageInfo.InfoFlags values.
inline constexpr Byte PngInfoValid = 1;  // a valid header was read
inline constexpr Byte PngInfoGamma = 2;  // gamma correction is in use

// What the header says.
struct PngImageInfo {
    Byte InfoFlags = 0;
    std::uint32_t ImageWidth = 0;
    std::uint32_t ImageHeight = 0;
    Byte Scheme = 0;        // colour scheme code: 1 indexed, 2 grey, 3 grey with alpha, 4 RGB, 5 RGBA, 0 other
    Byte SampleBits = 0;    // the header's bit depth
    Byte SampleCount = 0;   // 1, 3 (RGB) or 4 (RGBA); grey with alpha records 1
    Byte PixelBits = 0;     // SampleCount x SampleBits
    Byte CompressionKind = 0;  // 2 for the zlib method 0, else 0
    float FileGamma = 1.0f;    // gAMA / 100000
    bool IsInterlaced = false;
    bool HasAlphaChannel = false;
    Byte FilterMethod = 0;  // stored only
};

// Length (host order) and type of a chunk.
struct PngChunkHead {
    std::uint32_t Length = 0;
    char ChunkType[4] = {};
};

using TByteArray = std::vector<Byte>;

// The zlib decompressor that the PNG reader feeds chunk by chunk.
class TLZ77Decoder : public TObject {
    DECLARE_CLASS(TLZ77Decoder, TObject)
public:
    TLZ77Decoder(int FlushMode, bool AutoReset);
    ~TLZ77Decoder() override;

    // inflateInit; a negative result raises EGraphicCompression "LZ77 decompression error.".
    void Start();
    // Inflates from Input into Output and moves both on; does nothing once a call has returned a
    // non-zero result (the stream has ended or failed).
    void Inflate(const Byte*& Input, Byte*& Output, int InputSize, int OutputSize);
    // inflateEnd; a negative result raises EGraphicCompression.
    void Finish();
    int InputLeft() const { return static_cast<int>(FStream.avail_in); }
    int OutputLeft() const { return static_cast<int>(FStream.avail_out); }
    int ResultCode() const { return FResult; }

private:
    z_stream FStream{};
    int FResult = 0;
    int FFlushMode;
    bool FAutoReset;
    bool FStarted = false;
};

// The standard CRC-32; Crc is the value for the bytes before, 0 to start.
std::uint32_t UpdateCrc32(std::uint32_t Crc, const void* Data, std::size_t Size);

class TPNGGraphic : public TBitmap {
    DECLARE_CLASS(TPNGGraphic, TBitmap)
public:
    TPNGGraphic();
    ~TPNGGraphic() override;

    // A PNG graphic's header record comes along with the image.
    void Assign(TPersistent* Source) override;
    // A 32-bit image is blended by its alpha over what R of the canvas holds, scaled when R has
    // another size (colour and alpha scaled apart with the halftone filter), with the mirrored copy
    // below it when MirrorBelow is set and the size is the image's own; other images draw as bitmaps.
    void Draw(TCanvas* ACanvas, const TRect& R) override;
    // One PNG image from the stream's position on. Format errors raise EInvalidGraphic, a stream that
    // ends early its read error; the bitmap keeps whatever was decoded by then.
    void LoadFromStream(TStream* Stream) override;

    const PngImageInfo& Info() const { return FInfo; }
    TColorManager* Converter() const { return FConverter; }
    // Opacity per palette entry from the tRNS chunk of an indexed image (256 entries, else empty);
    // kept, not applied to the pixels.
    const TByteArray& PaletteAlpha() const { return FPaletteAlpha; }
    // The tRNS colour of grey and RGB images; 0x1FFFFFFF when there is none.
    TColor TransparentValue() const { return FTransparentValue; }
    // The bKGD value: a colour for RGB images, a grey level or palette index for the others.
    TColor BackgroundValue() const { return FBackgroundValue; }

    // Drawing adds a mirrored, fading copy below the image.
    bool MirrorBelow = false;

private:
    bool ReadPngInfo(TStream* Stream);
    void ReadChunkHead();
    void ReadChunkBody();
    int ChoosePixelLayout(int ColorType, int BitDepth);
    void DecodeImageData();
    void InflateRow(Byte* Buffer, int Count);
    void ReadBackgroundChunk();
    void ReadTransparencyChunk();
    void ReplacePalette(HPALETTE Value);
    void FinishLoad();

    TColorManager* FConverter = nullptr;
    TRect FProgressArea{};
    Int64 FStreamStart = 0;
    TStream* FSource = nullptr;
    PngImageInfo FInfo;
    TLZ77Decoder* FInflater = nullptr;
    int FChunkDataSize = 0;
    TByteArray FChunkData;
    const Byte* FChunkDataPos = nullptr;
    PngChunkHead FChunkHead;
    std::uint32_t FRunningCrc = 0;
    int FBytesPerPixel = 1;
    HPALETTE FPaletteHandle = nullptr;  // owned until the bitmap takes it
    TByteArray FPaletteAlpha;
    TColor FTransparentValue = 0x1FFFFFFF;
    TColor FBackgroundValue = 0xFFFFFF;
    Byte FColorType = 0;  // the header's colour type
};

// Icons for the alpha image list; the caller owns them (0 when the system refuses one).
// UseCornerColor (or an image that is not 32-bit, which is converted to 32 bits): every pixel equal
// to the top-left one, alpha included, is transparent; otherwise the image's alpha decides.
HICON MakeIconFromPng(TPNGGraphic* Png, bool UseCornerColor);
// The image over Color (an RGB colour); an image that is not 32-bit is converted to 32 bits with
// its magenta pixels transparent. From 2 x 2 pixels on the icon holds the image's own pixels and
// alpha, and Color does not show.
HICON MakeIconFromPngOnColor(TPNGGraphic* Png, TColor Color);
// Pixels of a 32-bit bitmap (at least 2 x 2) that are white with alpha 0 become 0 in all four bytes.
void ClearTransparentWhite(TBitmap* Bitmap);

void acPNGInitialization();
void acPNGFinalization();
