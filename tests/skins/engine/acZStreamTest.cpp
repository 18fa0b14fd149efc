// The decompression stream: reading in pieces, leaving the source right after the zlib stream,
// the forward-only seeks and the zlib error texts.
#include "acZStream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Deflate(const Bytes& Raw) {
    uLongf Size = compressBound(static_cast<uLong>(Raw.size()));
    Bytes Out(Size);
    compress2(Out.data(), &Size, Raw.data(), static_cast<uLong>(Raw.size()), 9);
    Out.resize(Size);
    return Out;
}

Bytes Noise(size_t Count, std::uint32_t Seed) {
    Bytes B(Count);
    for (auto& V : B) {
        Seed = Seed * 1103515245u + 12345u;
        V = static_cast<std::uint8_t>(Seed >> 16);
    }
    return B;
}

// A memory stream holding Prefix, the zlib stream of Raw and Suffix, positioned after Prefix.
struct TSource {
    TSource(const Bytes& Prefix, const Bytes& Raw, const Bytes& Suffix) {
        Bytes Z = Deflate(Raw);
        Stream.Write(Prefix.data(), static_cast<LongInt>(Prefix.size()));
        Stream.Write(Z.data(), static_cast<LongInt>(Z.size()));
        End = Stream.Position();
        Stream.Write(Suffix.data(), static_cast<LongInt>(Suffix.size()));
        Stream.SetPosition(static_cast<Int64>(Prefix.size()));
    }
    TMemoryStream Stream;
    Int64 End = 0;  // the first byte after the zlib stream
};

Bytes ReadAll(TStream& S, LongInt Piece) {
    Bytes Out;
    Bytes Buf(Piece);
    for (LongInt N; (N = S.Read(Buf.data(), Piece)) > 0;)
        Out.insert(Out.end(), Buf.begin(), Buf.begin() + N);
    return Out;
}

TEST(ZStreamRead, PiecesOfAnySizeGiveTheDataAndLeaveTheSourceAfterTheStream) {
    const Bytes Raw = Noise(150000, 7);  // more than two input blocks
    for (LongInt Piece : {1, 1000, 65536, 200000}) {
        TSource Src({1, 2, 3}, Raw, {9, 8, 7});
        TZDecompressionStream Z(&Src.Stream);
        EXPECT_EQ(ReadAll(Z, Piece), Raw) << Piece;
        EXPECT_EQ(Src.Stream.Position(), Src.End) << Piece;
    }
}

TEST(ZStreamRead, CorruptDataRaisesTheZlibText) {
    Bytes Z = Deflate(Noise(100, 1));
    Z[2] ^= 0xFF;
    TMemoryStream S;
    S.Write(Z.data(), static_cast<LongInt>(Z.size()));
    S.SetPosition(0);
    TZDecompressionStream D(&S);
    Bytes Buf(100);
    try {
        D.Read(Buf.data(), 100);
        FAIL() << "no error";
    } catch (const EZDecompressionError& E) {
        EXPECT_EQ(E.ErrorCode, Z_DATA_ERROR);
        EXPECT_EQ(E.Message(), "data error");
    }
}

TEST(ZStreamSeek, ForwardSeeksReadOnAndBackwardOnesAreRefused) {
    const Bytes Raw = Noise(20000, 3);
    TSource Src({5, 5}, Raw, {});
    TZDecompressionStream Z(&Src.Stream);
    Bytes Buf(100);
    Z.ReadBuffer(Buf.data(), 100);
    EXPECT_EQ(Z.Seek(Int64(0), soCurrent), 100);  // and nothing moved:
    Z.ReadBuffer(Buf.data(), 1);
    EXPECT_EQ(Buf[0], Raw[100]);
    EXPECT_EQ(Z.Seek(Int64(99), soCurrent), 200);
    EXPECT_EQ(Z.Seek(Int64(200), soBeginning), 200);  // the current position: nothing to read
    EXPECT_EQ(Z.Seek(Int64(500), soBeginning), 500);
    Z.ReadBuffer(Buf.data(), 1);
    EXPECT_EQ(Buf[0], Raw[500]);
    EXPECT_THROW(Z.Seek(Int64(10), soBeginning), EZDecompressionError);
    EXPECT_THROW(Z.Seek(Int64(-1), soCurrent), EZDecompressionError);
    EXPECT_THROW(Z.Seek(Int64(-1), soEnd), EZDecompressionError);
    EXPECT_EQ(Z.Seek(Int64(0), soEnd), Int64(Raw.size()));

    // back to the start of the zlib stream, which lies after the prefix in the source
    EXPECT_EQ(Z.Seek(Int64(0), soBeginning), 0);
    Z.ReadBuffer(Buf.data(), 3);
    EXPECT_EQ(Bytes(Buf.begin(), Buf.begin() + 3), Bytes(Raw.begin(), Raw.begin() + 3));

    try {
        Z.Write(Buf.data(), 1);
        FAIL() << "no error";
    } catch (const EZDecompressionError& E) {
        EXPECT_EQ(E.Message(), "Invalid ZStream operation!");
    }
    EXPECT_THROW(Z.Seek(Int64(Raw.size() + 1), soBeginning), EReadError);
}

TEST(ZStreamErrors, TextsOfTheReturnCodes) {
    const std::pair<int, const char*> Cases[] = {{2, "need dictionary"}, {1, "stream end"}, {0, "ok"},
                                                 {-1, "file error"}, {-2, "stream error"}, {-3, "data error"},
                                                 {-4, "insufficient memory"}, {-5, "buffer error"},
                                                 {-6, "incompatible version"}};
    for (auto [Code, Text] : Cases) {
        EZLibError E(Code);
        EXPECT_EQ(E.Message(), Text) << Code;
        EXPECT_EQ(E.ErrorCode, Code);
    }
}

}  // namespace
