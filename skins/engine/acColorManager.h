// TColorManager turns one row of decoded image samples into one row of a device-independent bitmap:
// bit depth (1 to 16 bits per sample), channel order, colour space, alpha kept or dropped, byte order
// of 16-bit samples, gamma, and an eight-pixel mask so that interlaced images are assembled pass by
// pass. It also builds the palettes of indexed and grey bitmaps.
//
//   TColorManager M;
//   M.SetSourceScheme(SchemeRGBA); M.SetTargetScheme(SchemeBGRA);
//   M.SetSourceSamples(4); M.SetTargetSamples(4);
//   M.SourceOptions = coNeedByteSwap;          // big-endian 16-bit samples
//   M.ConvertPixelRow(Row, 0xFF, Width, Bitmap->ScanLine(Y));
#pragma once

#include "Bitmaps.h"
#include "SysUtils.h"

#include <windows.h>

#include <array>
#include <vector>

DECLARE_EXCEPTION(EColorConversionError, Exception);

// Colour schemes of a source or target row.
enum : Byte {
    SchemeUnknown = 0,
    SchemeIndexed = 1,    // palette index
    SchemeGray = 2,
    SchemeGrayAlpha = 3,  // grey, then alpha
    SchemeRGB = 4,        // red first
    SchemeRGBA = 5,       // red first, alpha last
    SchemeBGR = 6,        // blue first
    SchemeBGRA = 7,       // blue first, alpha last
    SchemeCMY = 8,
    SchemeCMYK = 9,
    SchemeLab = 10,  // CIE L*, a*, b*
    SchemeYCbCr = 11,
    SchemePhotoYCC = 12,
};

// Option bits of SourceOptions and TargetOptions.
inline constexpr Byte coAlpha = 1;            // the side has alpha (set when the converter is chosen)
inline constexpr Byte coApplyGamma = 2;       // target: colour samples go through the gamma table
inline constexpr Byte coNeedByteSwap = 4;     // source: 16-bit samples are big-endian
inline constexpr Byte coLabByteRange = 8;     // source: L* stored 0..255 instead of 0..100
inline constexpr Byte coLabChromaOffset = 16;  // source: a* and b* stored with an offset of 128

namespace acColorManagerMessages {
inline constexpr const char* SBitsPerSample = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
inline constexpr const char* SSampleCount = "Sample count per pixel does not correspond to the given color scheme.";
inline constexpr const char* SIndexedConversion =
    "Conversion between indexed and non-indexed pixel formats is not supported.";
inline constexpr const char* SNoConverter = "Color conversion failed. Could not find a proper method.";
}  // namespace acColorManagerMessages

class TColorManager : public TObject {
    DECLARE_CLASS(TColorManager, TObject)
public:
    TColorManager();

    // 1..16; 0 or more raise EColorConversionError. A changed value chooses the converter again.
    void SetSourceBits(Byte Value);
    void SetTargetBits(Byte Value);
    // 1..4.
    void SetSourceSamples(Byte Value);
    void SetTargetSamples(Byte Value);
    void SetSourceScheme(Byte Value);
    void SetTargetScheme(Byte Value);
    Byte SourceBits() const { return FSourceBits; }
    Byte TargetBits() const { return FTargetBits; }
    Byte SourceSamples() const { return FSourceSamples; }
    Byte TargetSamples() const { return FTargetSamples; }
    Byte SourceScheme() const { return FSourceScheme; }
    Byte TargetScheme() const { return FTargetScheme; }

    // Option bits (co...), read and written directly by the owner; never cleared by the manager
    // except the alpha bits, which follow the schemes when the converter is chosen.
    Byte SourceOptions = 0;
    Byte TargetOptions = 0;

    // The bitmap format of one side: 0 source, 1 target.
    TPixelFormat PixelFormatOf(int Side) const;

    // Main: the file's gamma (1.0 when not above 0); Display: the display's (2.2 when not above 0).
    // The table is built for the bit depths current at the time of the call.
    void SetGammaValues(float Main, float Display);
    float MainGamma() const { return FMainGamma; }
    float DisplayGamma() const { return FDisplayGamma; }
    const std::array<Byte, 256>& GammaTable() const { return FGammaTable; }

    // Converts Count target pixels. Source holds PlaneCount row addresses: one for interleaved
    // samples, or one per sample plane. Target pixel i is written only when bit (0x80 >> i mod 8)
    // of Mask is set, and only then is a source pixel consumed.
    void ConvertPixelRow(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void ConvertPixelRow(const void* Source, Byte Mask, int Count, void* Target) {
        ConvertPixelRow(&Source, 1, Mask, Count, Target);
    }

    // A palette from Count entries (at most 256): Format 0 interleaved 8-bit triples, 1 quadruples
    // (fourth byte skipped), 2 and 3 three 8-bit planes, 4 to 7 the same with 16-bit samples.
    // Interleaved entries are blue first when BgrOrder. Spread to 2^TargetBits entries when the
    // target is another depth of up to 8 bits. The caller owns the palette.
    HPALETTE MakeColorPalette(const void* const* Source, int PlaneCount, int Format, int Count, bool BgrOrder);
    HPALETTE MakeColorPalette(const void* Source, int Format, int Count, bool BgrOrder) {
        return MakeColorPalette(&Source, 1, Format, Count, BgrOrder);
    }
    // Grey levels, 2^min(TargetBits x TargetSamples, 8) entries, darkest first unless Inverse.
    HPALETTE MakeGrayPalette(bool Inverse);

private:
    using TRowConverter = void (TColorManager::*)(const void* const*, int, Byte, int, void*);

    void ChooseRowConverter();
    void PrepareYccTables();

    void RowIndexed16To16(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowIndexed16ToN(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowIndexedNTo16(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowLowDepth(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowGray(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowRgbToRgb(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowRgbToBgr(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowBgrToRgb(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowBgrToBgr(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowCmykToRgb(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowCmykToBgr(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowLabToRgb(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowLabToBgr(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowYccToRgb(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);
    void RowYccToBgr(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target);

    // The shared walk of the colour converters; Space picks the source colour space.
    enum class TSpace { Rgb, Cmyk, Lab, Ycc };
    void ConvertColorRow(const void* const* Source, int PlaneCount, Byte Mask, int Count, void* Target,
                         TSpace Space, bool Reverse);

    bool FFormatChanged = true;
    Byte FSourceBits = 8;
    Byte FTargetBits = 8;
    Byte FSourceSamples = 3;
    Byte FTargetSamples = 3;
    float FMainGamma = 1.0f;
    float FDisplayGamma = 2.2f;
    std::array<Byte, 256> FGammaTable{};
    std::array<float, 3> FLumaWeights{0.299f, 0.587f, 0.114f};
    std::vector<int> FCrToRed, FCbToBlue, FCrToGreen, FCbToGreen;
    Byte FSourceScheme = SchemeRGB;
    Byte FTargetScheme = SchemeBGR;
    TRowConverter FRowConverter = nullptr;
};
