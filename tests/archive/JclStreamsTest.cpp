// The archive streams: the split stream over three small volumes, the base stream's seek rules
// and the bulk copy.
#include "JclStreams.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <numeric>
#include <vector>

namespace {

// An owner that supplies up to Count memory volumes, each with the same size limit.
class ThreeVolumes : public ::testing::Test {
protected:
    static constexpr int Count = 3;
    static constexpr Int64 Limit = 10;
    std::array<TOwned<TMemoryStream>, Count> Volumes;
    int Supplied = Count;  // volumes the owner hands out
    int Fetches = 0;
    TOwned<TJclDynamicSplitStream> Split;

    void SetUp() override {
        for (auto& V : Volumes)
            V.reset(Create<TMemoryStream>());
        Split.reset(Create<TJclDynamicSplitStream>(false));
        Split->OnFetchVolume = TJclOnVolume::FromFunction([this](LongInt Index, TStream*& S) {
            ++Fetches;
            S = Index >= 0 && Index < Supplied ? Volumes[static_cast<size_t>(Index)].get() : nullptr;
        });
        Split->OnFetchVolumeMaxSize = TJclOnVolumeMaxSize::FromFunction([](LongInt, Int64& Size) { Size = Limit; });
    }
    static std::vector<char> Bytes(int N) {
        std::vector<char> B(static_cast<size_t>(N));
        std::iota(B.begin(), B.end(), 'A');
        return B;
    }
    Int64 VolumeSize(int I) { return Volumes[static_cast<size_t>(I)]->Size(); }
};

TEST_F(ThreeVolumes, WritesFillEachVolumeToItsLimit) {
    auto Data = Bytes(25);
    EXPECT_EQ(Split->Write(Data.data(), 25), 25);
    EXPECT_EQ(VolumeSize(0), 10);
    EXPECT_EQ(VolumeSize(1), 10);
    EXPECT_EQ(VolumeSize(2), 5);
    EXPECT_EQ(Split->Position(), 25);
    EXPECT_EQ(Split->Size(), 25);
}

TEST_F(ThreeVolumes, ReadsBackAcrossVolumeBorders) {
    auto Data = Bytes(25);
    Split->Write(Data.data(), 25);
    EXPECT_EQ(Split->Seek(Int64(0), soBeginning), 0);
    std::vector<char> Back(25);
    EXPECT_EQ(Split->Read(Back.data(), 25), 25);
    EXPECT_EQ(Back, Data);
    // Past the end: the last volume gives nothing and no further volume is supplied.
    char More[4];
    EXPECT_EQ(Split->Read(More, 4), 0);
}

TEST_F(ThreeVolumes, SeeksWalkBetweenVolumes) {
    auto Data = Bytes(25);
    Split->Write(Data.data(), 25);
    EXPECT_EQ(Split->Seek(Int64(10), soBeginning), 10);
    EXPECT_EQ(Split->VolumeIndex(), 1);
    EXPECT_EQ(Split->VolumePosition(), 0);
    EXPECT_EQ(Split->Seek(Int64(5), soBeginning), 5);
    EXPECT_EQ(Split->VolumeIndex(), 0);
    EXPECT_EQ(Split->VolumePosition(), 5);
    EXPECT_EQ(Split->Seek(Int64(-1), soBeginning), 5);  // nothing lies before volume 0: the old position
    EXPECT_EQ(Split->Seek(Int64(0), soEnd), 25);
    EXPECT_EQ(Split->Seek(Int64(-3), soCurrent), 22);
    char C;
    EXPECT_EQ(Split->Read(&C, 1), 1);
    EXPECT_EQ(C, Data[22]);
    EXPECT_THROW(Split->Seek(Int64(0), TSeekOrigin(3)), EJclStreamError);
}

TEST_F(ThreeVolumes, SeekBeforeAnyWriteStartsInVolumeZero) {
    EXPECT_EQ(Split->VolumeIndex(), -1);
    EXPECT_EQ(Split->Seek(Int64(4), soBeginning), 4);
    EXPECT_EQ(Split->VolumeIndex(), 0);
    auto Data = Bytes(8);
    EXPECT_EQ(Split->Write(Data.data(), 8), 8);
    EXPECT_EQ(VolumeSize(0), 10);  // 4 bytes of gap, then 6 before the limit
    EXPECT_EQ(VolumeSize(1), 2);
    EXPECT_EQ(Split->Position(), 12);
}

TEST_F(ThreeVolumes, SeekToTheLastLimitWithoutAFurtherVolumeKeepsPositionsTogether) {
    Supplied = 1;
    EXPECT_EQ(Split->Seek(Int64(10), soBeginning), 10);
    EXPECT_EQ(Split->VolumeIndex(), 0);
    EXPECT_EQ(Split->VolumePosition(), 10);
    char C = 'x';
    EXPECT_EQ(Split->Write(&C, 1), 0);  // the only volume is full
}

TEST_F(ThreeVolumes, SizeCountsUpToTheFirstEmptyVolumeAndRestoresThePosition) {
    auto Data = Bytes(25);
    Split->Write(Data.data(), 25);
    Split->Seek(Int64(13), soBeginning);
    EXPECT_EQ(Split->Size(), 25);
    EXPECT_EQ(Split->Position(), 13);
    EXPECT_EQ(Split->VolumeIndex(), 1);
    EXPECT_EQ(Split->VolumePosition(), 3);
    Volumes[1]->SetSize(0);
    EXPECT_EQ(Split->Size(), 10);  // volume 2 lies beyond the empty one
}

TEST_F(ThreeVolumes, SetSizeSpreadsOverVolumesByTheirLimits) {
    Split->SetSize(23);
    EXPECT_EQ(VolumeSize(0), 10);
    EXPECT_EQ(VolumeSize(1), 10);
    EXPECT_EQ(VolumeSize(2), 3);
    Split->SetSize(0);
    EXPECT_EQ(VolumeSize(0), 0);
    EXPECT_EQ(VolumeSize(1), 10);  // later volumes are left alone
}

TEST_F(ThreeVolumes, NoVolumeZeroMovesNothing) {
    Supplied = 0;
    char Buf[4] = {};
    EXPECT_EQ(Split->Write(Buf, 4), 0);
    EXPECT_EQ(Split->Read(Buf, 4), 0);
    EXPECT_EQ(Split->Seek(Int64(7), soBeginning), 0);
    EXPECT_EQ(Split->Size(), 0);
}

// A stream whose 64-bit seek answers a fixed position, and whose reads count.
class FixedSeekStream : public TJclStream {
public:
    Int64 Answer = 0;
    Int64 Remaining = 0;
    std::vector<LongInt> ReadSizes;
    LongInt Read(void*, LongInt Count) override {
        LongInt N = static_cast<LongInt>(std::min<Int64>(Count, Remaining));
        Remaining -= N;
        ReadSizes.push_back(N);
        return N;
    }
    LongInt Write(const void*, LongInt Count) override { return Count; }
    using TJclStream::Seek;
    Int64 Seek(Int64, TSeekOrigin) override { return Answer; }
};

TEST(JclStream, ThirtyTwoBitSeekRefusesWhatDoesNotFit) {
    FixedSeekStream S;
    S.Answer = 3000000000LL;
    EXPECT_EQ(S.Seek(LongInt(0), Word(0)), -1);
    S.Answer = 123;
    EXPECT_EQ(S.Seek(LongInt(0), Word(1)), 123);
    EXPECT_EQ(S.Seek(LongInt(0), Word(3)), -1);  // no such origin
    TOwned<TMemoryStream> M(Create<TMemoryStream>());
    TJclStreamDecorator D(M.get(), false);
    EXPECT_EQ(D.Write("abc", 3), 3);
    EXPECT_EQ(D.Seek(LongInt(0), Word(soFromBeginning)), 0);
    TJclEasyStream E(M.get(), false);
    M->Seek(Int64(0), soBeginning);
    M->Write("\x01\x02\x03\x04\xFF", 5);
    M->Seek(Int64(0), soBeginning);
    EXPECT_EQ(E.ReadInt32(), 0x04030201);
    EXPECT_EQ(E.ReadUInt8(), 0xFF);
    EXPECT_THROW(E.ReadUInt8(), EReadError);
}

TEST(JclStream, CopyStreamDataReadsInBufferChunks) {
    FixedSeekStream Source;
    Source.Remaining = 10000;
    TOwned<TMemoryStream> Dest(Create<TMemoryStream>());
    EXPECT_EQ(CopyStreamData(&Source, Dest.get(), 4096), 10000);
    EXPECT_EQ(Source.ReadSizes, (std::vector<LongInt>{4096, 4096, 1808}));
    EXPECT_EQ(Dest->Size(), 10000);
}

}  // namespace
