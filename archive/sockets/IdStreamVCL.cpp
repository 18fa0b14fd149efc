#include "IdStreamVCL.h"

LongInt TIdStreamHelperVCL::ReadBytes(TStream* Stream, TIdBytes& Bytes, LongInt Count, LongInt Offset) {
    Assert(Stream != nullptr);
    if (Count < 0)
        Count = static_cast<LongInt>(StreamRemaining(Stream));
    if (Count == 0)
        return 0;
    if (Bytes.size() < static_cast<size_t>(Offset + Count))
        Bytes.resize(static_cast<size_t>(Offset + Count));
    return Stream->Read(Bytes.data() + Offset, Count);
}

LongInt TIdStreamHelperVCL::Write(TStream* Stream, const TIdBytes& Bytes, LongInt Count, LongInt Offset) {
    Assert(Stream != nullptr);
    if (Bytes.empty())
        return 0;
    const LongInt N = BytesAvailable(Bytes, Offset, Count);
    if (N <= 0)
        return 0;
    Stream->WriteBuffer(Bytes.data() + Offset, N);
    return N;
}
