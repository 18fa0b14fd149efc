#include "IdCoder00E.h"

void TIdDecoder00E::DecodeInput(TStream* Input, Int64 Length) {
    if (Length < 0) {
        TIdDecoder4to3::DecodeInput(Input, Length);
        return;
    }
    if (Length == 0)
        return;
    Byte LengthChar = 0;
    Input->ReadBuffer(&LengthChar, 1);
    const Byte Count = LengthChar >= 1 && LengthChar <= 127 ? DecodeTable[LengthChar - 1] : 255;
    TIdDecoder4to3::DecodeInput(Input, Count);
}
