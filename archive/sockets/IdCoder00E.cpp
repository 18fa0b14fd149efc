#include "IdCoder00E.h"

#include "IdGlobal.h"

#include <algorithm>

void TIdDecoder00E::DecodeInput(TStream* Input, Int64 Length) {
    if (Length < 0) {
        TIdDecoder4to3::DecodeInput(Input, Length);
        return;
    }
    if (Length == 0 || StreamRemaining(Input) <= 0)
        return;
    Byte LengthChar = 0;
    Input->ReadBuffer(&LengthChar, 1);
    const Byte Count = LengthChar >= 1 && LengthChar <= 127 ? DecodeTable[LengthChar - 1] : 255;
    // A line that does not start with a length character of the alphabet carries no data.
    if (Count == 255)
        return;
    // The length character counts the decoded bytes, not the characters: the line carries them in
    // whole groups of four, and the filler of the last group is no data.
    const Int64 Characters = (Count + 2) / 3 * 4;
    DecodeBytes(Input, std::min(Characters, StreamRemaining(Input)), Count);
}
