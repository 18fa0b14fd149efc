// Byte arrays read from and written to the framework's streams.
#pragma once

#include "IdGlobal.h"

class TIdStreamHelperVCL {
public:
    // Reads Count bytes (a negative Count: the rest of the stream) into Bytes at Offset, growing
    // it as needed; gives what the stream's read gives.
    static LongInt ReadBytes(TStream* Stream, TIdBytes& Bytes, LongInt Count = -1, LongInt Offset = 0);
    // Writes Count bytes of Bytes from Offset (a negative Count: all from Offset); gives the count.
    static LongInt Write(TStream* Stream, const TIdBytes& Bytes, LongInt Count = -1, LongInt Offset = 0);
};
