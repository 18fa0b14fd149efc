// Packed skins: one file (".asz", or the "Data" of a skin stored in a form) that carries the options
// text "Options.dat" and every image file of a skin, each compressed with zlib.
//
// Format (integers 32-bit little-endian): "ASzf", the entry count N, then N entries of
//   name length L, the name (L single-byte characters), the unpacked size S, one zlib stream.
// The compressed length is not stored: each zlib stream ends where its own trailer ends.
#pragma once

#include "Classes.h"
#include "Streams.h"

#include <string>
#include <vector>

namespace acSkinPackMessages {
inline constexpr const char* SNotPackedSkin = "Loaded data is not a packed skin file";
}

// One image file of a pack.
struct TacImageItem {
    std::string Name;  // as stored
    bool IsBitmap = false;  // the extension is ".BMP" in any case
    TMemoryStream* Data = nullptr;  // the unpacked bytes, owned by the convertor
};

// One unpacked skin.
class TacSkinConvertor : public TPersistent {
    DECLARE_CLASS(TacSkinConvertor, TPersistent)
public:
    TacSkinConvertor() = default;
    ~TacSkinConvertor() override;

    int ImageCount = 0;  // the number of image items
    std::vector<TacImageItem> ImageItems;  // in file order
    TMemoryStream* Options = nullptr;      // the options text, nil when the pack has none
    TStream* PackedData = nullptr;         // the packed source while it is read (owned)

    // Frees the images' data (from the last item), the options and the packed data.
    void Clear();
};

// When FileName exists: clears Convertor (or creates one), reads the file into PackedData and
// unpacks it; with FreeSource PackedData is freed afterwards. Nothing happens for a missing file.
void LoadSkinPack(const std::string& FileName, TacSkinConvertor*& Convertor, bool FreeSource);
// Unpacks Convertor's PackedData from position 0. Data that is not a pack frees the convertor
// (Convertor becomes nil) and raises Exception "Loaded data is not a packed skin file"; data cut
// short raises the stream's read error, corrupt entries EZDecompressionError.
void ReadSkinPack(TacSkinConvertor*& Convertor);
