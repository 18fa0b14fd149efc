// Path and geometry routines of the second component library, and its block compression and packed
// streams: the exact packed forms the format fixes, round trips across block boundaries, and
// refusal of damaged packed data.
#include "lmdprocs.h"
#include "lmdstreams.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace lmdprocs;

namespace {

TEST(LibraryPaths, TrailingBackslashes) {
    struct Case {
        const char* Text;
        const char* With;
        const char* Without;
    };
    for (const Case& C : {Case{"", "\\", ""}, Case{"  ", "  \\", "  "}, Case{"C:\\x", "C:\\x\\", "C:\\x"},
                          Case{"C:\\x\\", "C:\\x\\", "C:\\x"}, Case{"C:\\x\\\\", "C:\\x\\\\", "C:\\x\\"}}) {
        EXPECT_EQ(WithTrailingBackslash(C.Text), C.With) << '"' << C.Text << '"';
        EXPECT_EQ(WithoutTrailingBackslash(C.Text), C.Without) << '"' << C.Text << '"';
    }
}

TEST(LibraryPaths, Prefixes) {
    EXPECT_EQ(PathForPrefix(ppFixed, true), "");
    EXPECT_EQ(PathForPrefix(ppFixed, false), "");
    for (TLMDPathPrefix P : {ppWindows, ppSystem, ppProgram}) {
        const std::string With = PathForPrefix(P, true), Without = PathForPrefix(P, false);
        ASSERT_GT(Without.size(), 2u);
        EXPECT_EQ(With, Without + "\\");
    }
    EXPECT_EQ(PathForPrefix(ppProgram, true), ProgramDirectory());
}

TEST(LibraryGeometry, FitKeepsProportions) {
    TRect R;
    FitRectKeepingAspect(TRect{0, 0, 100, 50}, TRect{10, 20, 60, 70}, R);
    EXPECT_EQ(R, (TRect{10, 20, 60, 45}));
    FitRectKeepingAspect(TRect{0, 0, 0, 50}, TRect{10, 20, 60, 70}, R);
    EXPECT_EQ(R, (TRect{10, 20, 10, 20})) << "an empty image fits as an empty rectangle";
    const long double Values[] = {3, -2, 5};
    EXPECT_EQ(SmallestOfReals(Values, 3), -2);
    EXPECT_EQ(SmallestOfReals(Values, 0), 0);
}

std::vector<Byte> Pack(const std::vector<Byte>& In) {
    std::vector<Byte> Out(In.size() + 1);
    Out.resize(static_cast<size_t>(Lzrw1PackBlock(In.data(), Out.data(), static_cast<int>(In.size()))));
    return Out;
}

std::vector<Byte> Unpack(const std::vector<Byte>& Packed) {
    std::vector<Byte> Out(MaxBlockSize);
    Out.resize(static_cast<size_t>(Lzrw1UnpackBlock(Packed.data(), Out.data(), static_cast<int>(Packed.size()))));
    return Out;
}

std::vector<Byte> RandomBytes(size_t N, unsigned Seed) {
    std::mt19937 Gen(Seed);
    std::vector<Byte> V(N);
    for (Byte& B : V)
        B = static_cast<Byte>(Gen());
    return V;
}

TEST(BlockCompression, PackedForms) {
    const std::vector<Byte> Random = RandomBytes(1000, 1);
    const std::vector<Byte> Stored = Pack(Random);
    ASSERT_EQ(Stored.size(), 1001u);
    EXPECT_EQ(Stored[0], 0x80);
    EXPECT_EQ(Unpack(Stored), Random);

    const std::vector<Byte> Runs = Pack(std::vector<Byte>(5000, 'A'));
    EXPECT_EQ(Runs, (std::vector<Byte>{0x40, 0xC0, 0x00, 0, 0x0F, 0xEF, 'A', 0, 0x03, 0x79, 'A'}))
        << "two run items (4095 and 905 bytes) behind one control word";
    EXPECT_EQ(Unpack(Runs), std::vector<Byte>(5000, 'A'));
}

TEST(BlockCompression, RoundTrips) {
    std::string Text;
    for (int I = 0; Text.size() < MaxBlockSize; ++I)
        Text += "line " + std::to_string(I % 97) + " of a repeated text\r\n";
    Text.resize(MaxBlockSize);
    std::vector<Byte> Mixed(Text.begin(), Text.end());
    std::vector<Byte> Noise = RandomBytes(300, 2);
    std::copy(Noise.begin(), Noise.end(), Mixed.begin() + 1000);
    std::fill(Mixed.begin() + 5000, Mixed.begin() + 5020, 7);
    for (const std::vector<Byte>& In : {Mixed, std::vector<Byte>{}, std::vector<Byte>{1, 2, 3}}) {
        const std::vector<Byte> Packed = Pack(In);
        EXPECT_LE(Packed.size(), In.size() + 1);
        EXPECT_EQ(Unpack(Packed), In);
    }
    EXPECT_LT(Pack(Mixed).size(), Mixed.size() / 2) << "text packs";
}

TEST(BlockCompression, DamagedBlocksAreRefused) {
    // A copy item reaching 16 bytes before the first output byte.
    const std::vector<Byte> BeforeStart{0x40, 0x80, 0x00, 0x01, 0x00};
    EXPECT_THROW(Unpack(BeforeStart), EReadError);
    std::vector<Byte> Small(10);
    const std::vector<Byte> LongRun{0x40, 0x80, 0x00, 0, 0x0F, 0xEF, 'A'};
    EXPECT_THROW(Lzrw1UnpackBlock(LongRun.data(), Small.data(), 7, 10), EReadError) << "output beyond its room";
    const std::vector<Byte> Cut{0x40, 0x80, 0x00, 0x01};
    EXPECT_THROW(Unpack(Cut), EReadError);
}

TEST(PackedStreams, RoundTripAcrossBlocks) {
    std::string Data(3 * MaxBlockSize + 17, '\0');
    for (size_t I = 0; I < Data.size(); ++I)
        Data[I] = static_cast<char>((I * 7) % 251);
    TStringStream Source(Data), Packed;
    lmdstreams::PackStream(&Source, &Packed, static_cast<LongInt>(Data.size()));
    Packed.SetPosition(0);
    TStringStream Back;
    lmdstreams::UnpackStream(&Packed, &Back);
    EXPECT_EQ(Back.DataString(), Data);
    LongInt Total;
    std::memcpy(&Total, Packed.DataString().data(), 4);
    EXPECT_EQ(static_cast<size_t>(Total) + 4, Packed.DataString().size());
}

TEST(PackedStreams, EmptyAndBogus) {
    TStringStream Source, Packed;
    lmdstreams::PackStream(&Source, &Packed, 0);
    EXPECT_EQ(Packed.DataString(), std::string(4, '\0'));
    Packed.SetPosition(0);
    TStringStream Back;
    lmdstreams::UnpackStream(&Packed, &Back);
    EXPECT_EQ(Back.DataString(), "");

    for (std::string Bogus : {std::string("\x08\0\0\0\x50\0\0\0", 8), std::string("\x60\0\0\0\x00\0\x01\0", 8)}) {
        TStringStream In(Bogus), Out;
        EXPECT_THROW(lmdstreams::UnpackStream(&In, &Out), EReadError);
    }
}

TEST(PackedStreams, Elements) {
    TStringStream S;
    lmdstreams::WriteShortText(&S, std::string(300, 'x'));
    lmdstreams::WriteByteValue(&S, 9);
    TStringList Lines;
    Lines.Add("one");
    Lines.Add("two");
    lmdstreams::WriteStringsData(&S, &Lines, false);
    lmdstreams::WriteStringsData(&S, &Lines, true);
    S.SetPosition(0);
    EXPECT_EQ(lmdstreams::ReadShortText(&S), std::string(255, 'x'));
    EXPECT_EQ(lmdstreams::ReadByteValue(&S), 9);
    for (bool Packed : {false, true}) {
        TStringList Back;
        lmdstreams::ReadStringsData(&S, &Back, Packed);
        EXPECT_EQ(Back.Text(), Lines.Text());
    }
    EXPECT_EQ(S.Position(), S.Size());
}

}  // namespace
