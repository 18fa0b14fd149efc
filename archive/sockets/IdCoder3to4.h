// Decoding of the encodings that carry three bytes in four characters.
#pragma once

#include "IdCoder.h"

#include <array>
#include <string>

// Entry c - 1 holds the 6-bit value of character code c; 255 for characters outside the alphabet.
using TIdDecodeTable = std::array<Byte, 127>;

void BuildDecodeTable(const std::string& Alphabet, TIdDecodeTable& Table);

class TIdDecoder4to3 : public TIdDecoder {
    DECLARE_CLASS(TIdDecoder4to3, TIdDecoder)
public:
    using TIdDecoder::TIdDecoder;
    void DecodeInput(TStream* Input, Int64 Length = -1) override;

    TIdDecodeTable DecodeTable{};
    char FillChar = '=';

protected:
    // Decodes the whole groups of four among N bytes read from Input; a Limit that is not negative
    // keeps at most that many output bytes.
    void DecodeBytes(TStream* Input, Int64 N, Int64 Limit = -1);
};
