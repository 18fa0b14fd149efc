#include "acZStream.h"

#include <cstdlib>

using namespace acZStreamMessages;

namespace {

constexpr int InputBufferSize = 65536;
constexpr LongInt SkipChunk = 8192;

voidpf ZAlloc(voidpf, uInt Items, uInt Size) { return std::calloc(Items, Size); }
void ZFree(voidpf, voidpf Address) { std::free(Address); }

}  // namespace

std::string ZLibErrorText(int Code) {
    switch (Code) {
    case 2: return "need dictionary";
    case 1: return "stream end";
    case 0: return "ok";
    case -1: return "file error";
    case -2: return "stream error";
    case -3: return "data error";
    case -4: return "insufficient memory";
    case -5: return "buffer error";
    case -6: return "incompatible version";
    default: return "";
    }
}

EZLibError::EZLibError(int Code) : Exception(ZLibErrorText(Code)), ErrorCode(Code) {}

TCustomZStream::TCustomZStream(TStream* Source)
    : FSource(Source), FSourcePosition(Source->Position()), FBuffer(InputBufferSize) {
    FZRec.zalloc = ZAlloc;
    FZRec.zfree = ZFree;
}

TZDecompressionStream::TZDecompressionStream(TStream* Source)
    : TCustomZStream(Source), FStartPosition(FSourcePosition) {
    FZRec.next_in = FBuffer.data();
    FZRec.avail_in = 0;
    int Code = inflateInit(&FZRec);
    if (Code < 0)
        throw EZDecompressionError(Code);
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&FZRec); }

LongInt TZDecompressionStream::Read(void* Buffer, LongInt Count) {
    if (Count <= 0)
        return 0;
    FZRec.next_out = static_cast<Bytef*>(Buffer);
    FZRec.avail_out = static_cast<uInt>(Count);
    if (FSource->Position() != FSourcePosition)
        FSource->SetPosition(FSourcePosition);
    while (FZRec.avail_out > 0 && !FStreamEnded) {
        if (FZRec.avail_in == 0) {
            LongInt Got = FSource->Read(FBuffer.data(), InputBufferSize);
            if (Got <= 0)
                return Count - static_cast<LongInt>(FZRec.avail_out);
            FZRec.next_in = FBuffer.data();
            FZRec.avail_in = static_cast<uInt>(Got);
            FSourcePosition = FSource->Position();
            Progress();
        }
        int Code = inflate(&FZRec, Z_NO_FLUSH);
        if (Code < 0)
            throw EZDecompressionError(Code);
        FStreamEnded = Code == Z_STREAM_END;
    }
    if (FStreamEnded && FZRec.avail_in > 0) {
        // The next entry of a pack starts right after this stream: hand back what was read past it.
        FSource->Seek(-Int64(FZRec.avail_in), soCurrent);
        FSourcePosition = FSource->Position();
        FZRec.avail_in = 0;
    }
    return Count - static_cast<LongInt>(FZRec.avail_out);
}

LongInt TZDecompressionStream::Write(const void*, LongInt) {
    throw EZDecompressionError(std::string(SInvalidStreamOperation));
}

void TZDecompressionStream::SkipBytes(Int64 Count) {
    char Buf[SkipChunk];
    while (Count > 0) {
        LongInt N = Count > SkipChunk ? SkipChunk : static_cast<LongInt>(Count);
        ReadBuffer(Buf, N);
        Count -= N;
    }
}

Int64 TZDecompressionStream::Seek(Int64 Offset, TSeekOrigin Origin) {
    Int64 Produced = static_cast<Int64>(FZRec.total_out);
    if (Offset == 0 && Origin == soBeginning) {
        // Back to where this zlib stream begins, which need not be the start of the source.
        inflateReset(&FZRec);
        FZRec.next_in = FBuffer.data();
        FZRec.avail_in = 0;
        FStreamEnded = false;
        FSource->SetPosition(FStartPosition);
        FSourcePosition = FStartPosition;
    } else if ((Origin == soCurrent && Offset >= 0) || (Origin == soBeginning && Offset >= Produced)) {
        SkipBytes(Origin == soCurrent ? Offset : Offset - Produced);
    } else if (Origin == soEnd && Offset == 0) {
        char Buf[SkipChunk];
        while (Read(Buf, SkipChunk) > 0) {
        }
    } else {
        throw EZDecompressionError(std::string(SInvalidStreamOperation));
    }
    return static_cast<Int64>(FZRec.total_out);
}
