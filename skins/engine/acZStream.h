// A read-only stream that inflates one zlib stream (header, deflate data, checksum trailer) from
// its source. A read that meets the end of the compressed data gives back the source bytes read
// beyond it, so the source is left right after the zlib stream: packed skins rely on that instead
// of storing the compressed lengths.
//
//   TZDecompressionStream Z(Packed);    // Packed positioned at the zlib header
//   Target->CopyFrom(&Z, UnpackedSize);
#pragma once

#include "Streams.h"
#include "SysUtils.h"

#include <zlib.h>

#include <vector>

// A zlib error; ErrorCode is zlib's return code and the message its text.
class EZLibError : public Exception {
    DECLARE_CLASS(EZLibError, Exception)
public:
    using Exception::Exception;
    EZLibError() = default;
    explicit EZLibError(int Code);
    int ErrorCode = 0;
};
DECLARE_EXCEPTION(EZDecompressionError, EZLibError);

namespace acZStreamMessages {
inline constexpr const char* SInvalidStreamOperation = "Invalid ZStream operation!";
}

// The text of a zlib return code ("data error" for -3); empty for codes zlib does not have.
std::string ZLibErrorText(int Code);

class TCustomZStream : public TStream {
    DECLARE_CLASS(TCustomZStream, TStream)
public:
    explicit TCustomZStream(TStream* Source);
    TNotifyEvent OnProgress;  // after each block read from the source

protected:
    void Progress() {
        if (OnProgress)
            OnProgress(this);
    }
    TStream* FSource;        // not owned
    Int64 FSourcePosition;   // where the next compressed byte is read
    z_stream FZRec{};
    std::vector<Byte> FBuffer;  // compressed input, 65,536 bytes
};

class TZDecompressionStream : public TCustomZStream {
    DECLARE_CLASS(TZDecompressionStream, TCustomZStream)
public:
    // Starts at Source's current position; inflateInit failing raises EZDecompressionError.
    explicit TZDecompressionStream(TStream* Source);
    ~TZDecompressionStream() override;

    // The bytes produced, fewer at the end of the data; corrupt data raises EZDecompressionError.
    LongInt Read(void* Buffer, LongInt Count) override;
    // Always raises EZDecompressionError "Invalid ZStream operation!".
    LongInt Write(const void* Buffer, LongInt Count) override;
    // Forward only, by reading: 0 from the beginning starts again; a non-negative offset from the
    // current position, or a position not before the current one, reads on; 0 from the end reads
    // everything. Anything else raises "Invalid ZStream operation!". Gives the bytes produced.
    using TStream::Seek;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;

private:
    void SkipBytes(Int64 Count);
    Int64 FStartPosition;  // where the zlib stream begins in the source
    bool FStreamEnded = false;
};
