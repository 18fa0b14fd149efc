// Decoding of the line-length-prefixed encodings (uuencode, xxencode).
#pragma once

#include "IdCoder3to4.h"

class TIdDecoder00E : public TIdDecoder4to3 {
    DECLARE_CLASS(TIdDecoder00E, TIdDecoder4to3)
public:
    using TIdDecoder4to3::TIdDecoder4to3;
    // A negative Length decodes everything; a positive one decodes one line: its length character
    // gives the number of bytes it carries; 0 does nothing.
    void DecodeInput(TStream* Input, Int64 Length = -1) override;
};
