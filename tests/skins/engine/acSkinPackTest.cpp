// Packed skins: entries unpacked in file order, the options entry, and packs that are not packs.
#include "acSkinPack.h"

#include "TestSupport.h"
#include "acZStream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TEntry {
    std::string Name;
    std::string Data;
    LongInt StatedSize = -2;  // the size written; -2 = the real one
};

void Put32(Bytes& Out, LongInt V) {
    for (int I = 0; I < 4; ++I)
        Out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(V) >> (8 * I)));
}

// Count: the entry count written; the real one when not given.
Bytes PackBytes(const std::vector<TEntry>& Entries, std::optional<LongInt> Count = {}, const std::string& Magic = "ASzf") {
    Bytes Out(Magic.begin(), Magic.end());
    Put32(Out, Count ? *Count : static_cast<LongInt>(Entries.size()));
    for (const TEntry& E : Entries) {
        Put32(Out, static_cast<LongInt>(E.Name.size()));
        Out.insert(Out.end(), E.Name.begin(), E.Name.end());
        Put32(Out, E.StatedSize == -2 ? static_cast<LongInt>(E.Data.size()) : E.StatedSize);
        uLongf Size = compressBound(static_cast<uLong>(E.Data.size()));
        Bytes Z(Size);
        compress2(Z.data(), &Size, reinterpret_cast<const Bytef*>(E.Data.data()), static_cast<uLong>(E.Data.size()), 9);
        Out.insert(Out.end(), Z.begin(), Z.begin() + Size);
    }
    return Out;
}

std::string Text(TMemoryStream* S) { return std::string(static_cast<const char*>(S->Memory()), S->Size()); }

// Reads Data as a pack; gives the error text ("" when it read).
std::string Read(const Bytes& Data, TacSkinConvertor*& C) {
    C = Create<TacSkinConvertor>();
    auto* S = Create<TMemoryStream>();
    S->Write(Data.data(), static_cast<LongInt>(Data.size()));
    C->PackedData = S;
    try {
        ReadSkinPack(C);
    } catch (const Exception& E) {
        return E.ClassName() + ": " + E.Message();
    }
    return "";
}

std::string LongNoise(size_t Count) {
    std::string S(Count, '\0');
    std::uint32_t Seed = 99;
    for (char& Ch : S) {
        Seed = Seed * 1103515245u + 12345u;
        Ch = static_cast<char>(Seed >> 16);
    }
    return S;
}

TEST(SkinPack, EntriesUnpackInFileOrderWithTheOptionsApart) {
    const std::string Big = LongNoise(100000);  // spans two input blocks of the decompressor
    TacSkinConvertor* C = nullptr;
    ASSERT_EQ(Read(PackBytes({{"close.bmp", "BM-data"},
                              {"Options.dat", "[GLOBALINFO]\r\nVERSION=6.5\r\n"},
                              {"Empty.PNG", ""},
                              {"Big.png", Big},
                              {"tail.JPG", "jpeg"}}),
                   C),
              "");
    TOwned<TacSkinConvertor> Owned(C);
    ASSERT_EQ(C->ImageCount, 4);
    ASSERT_EQ(C->ImageItems.size(), 4u);
    EXPECT_EQ(C->ImageItems[0].Name, "close.bmp");
    EXPECT_TRUE(C->ImageItems[0].IsBitmap);
    EXPECT_EQ(Text(C->ImageItems[0].Data), "BM-data");
    EXPECT_EQ(Text(C->ImageItems[1].Data), "");
    EXPECT_FALSE(C->ImageItems[1].IsBitmap);
    EXPECT_EQ(Text(C->ImageItems[2].Data), Big);
    EXPECT_EQ(C->ImageItems[3].Name, "tail.JPG");
    EXPECT_EQ(Text(C->ImageItems[3].Data), "jpeg");
    ASSERT_NE(C->Options, nullptr);
    EXPECT_EQ(Text(C->Options), "[GLOBALINFO]\r\nVERSION=6.5\r\n");
}

TEST(SkinPack, OnlyOptionsAndASecondOptionsEntry) {
    TacSkinConvertor* C = nullptr;
    ASSERT_EQ(Read(PackBytes({{"OPTIONS.DAT", "first"}}), C), "");
    EXPECT_EQ(C->ImageCount, 0);
    EXPECT_TRUE(C->ImageItems.empty());
    EXPECT_EQ(Text(C->Options), "first");
    C->Free();

    ASSERT_EQ(Read(PackBytes({{"Options.dat", "first"}, {"a.bmp", "x"}, {"options.dat", "second"}}), C), "");
    EXPECT_EQ(Text(C->Options), "second");
    EXPECT_EQ(C->ImageCount, 1);
    C->Free();

    // without an options entry every image still counts
    ASSERT_EQ(Read(PackBytes({{"a.bmp", "x"}, {"b.bmp", "y"}}), C), "");
    EXPECT_EQ(C->ImageCount, 2);
    EXPECT_EQ(C->Options, nullptr);
    C->Free();
}

TEST(SkinPack, DataThatIsNoPackFreesTheConvertor) {
    const std::string NotPack = "Exception: Loaded data is not a packed skin file";
    auto NegativeName = [] {
        Bytes B = PackBytes({}, 1);
        Put32(B, -5);
        return B;
    };
    auto LongName = [] {
        Bytes B = PackBytes({}, 1);
        Put32(B, 1000);
        B.push_back('a');
        return B;
    };
    struct Case {
        const char* Name;
        Bytes Data;
        std::string Expected;
        bool Freed;
    };
    const Case Cases[] = {
        {"magic in other case", PackBytes({{"Options.dat", "x"}}, {}, "aszf"), NotPack, true},
        {"shorter than the magic", Bytes{'A', 'S'}, NotPack, true},
        {"negative count", PackBytes({}, -3), NotPack, true},
        {"negative name length", NegativeName(), NotPack, true},
        {"name beyond the data", LongName(), NotPack, true},
        {"negative size", PackBytes({{"a.bmp", "x", -1}}), NotPack, true},
        {"entry shorter than its size", PackBytes({{"a.bmp", "abc", 4}}), "EReadError: Stream read error", false},
        {"count beyond the entries", PackBytes({{"a.bmp", "abc"}}, 2), "EReadError: Stream read error", false},
    };
    for (const Case& C : Cases) {
        TacSkinConvertor* Conv = nullptr;
        EXPECT_EQ(Read(C.Data, Conv), C.Expected) << C.Name;
        EXPECT_EQ(Conv == nullptr, C.Freed) << C.Name;
        if (Conv)
            Conv->Free();
    }

    Bytes Corrupt = PackBytes({{"a.bmp", LongNoise(300)}});
    Corrupt[8 + 4 + 5 + 4 + 2] ^= 0xFF;  // the first block header of the entry's zlib stream
    TacSkinConvertor* Conv = nullptr;
    EXPECT_EQ(Read(Corrupt, Conv), "EZDecompressionError: data error");
    Conv->Free();
}

TEST(SkinPack, LoadFromAFile) {
    testing_support::TempDir Dir;
    Bytes Data = PackBytes({{"Options.dat", "[A]"}, {"x.bmp", "1"}});
    testing_support::WriteFileBytes(Dir / "skin.asz", Data);

    TacSkinConvertor* C = nullptr;
    LoadSkinPack(Dir / "missing.asz", C, true);
    EXPECT_EQ(C, nullptr);

    LoadSkinPack(Dir / "skin.asz", C, false);
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->ImageCount, 1);
    ASSERT_NE(C->PackedData, nullptr);
    EXPECT_EQ(C->PackedData->Size(), Int64(Data.size()));

    LoadSkinPack(Dir / "skin.asz", C, true);  // the same convertor, cleared and filled again
    EXPECT_EQ(C->ImageCount, 1);
    EXPECT_EQ(C->PackedData, nullptr);
    EXPECT_EQ(Text(C->Options), "[A]");
    C->Free();
}

}  // namespace

// A packed skin as the other build (32 or 64 bits) wrote it: its entries are packed to the very same
// bytes here, and the stored file unpacks to them.
TEST(SkinPack, StoredPackOfTheOtherBuild) {
    const std::string Options = "[GLOBALINFO]\r\nVERSION=6.5\r\nNAME=Stored\r\n[FORM]\r\nCOLOR=12632256\r\n";
    const std::string Image = "BM" + LongNoise(3000);
    const Bytes Packed = PackBytes({{"Options.dat", Options}, {"form.bmp", Image}});
    EXPECT_TRUE(testing_support::MatchesStoredFixture("skin.asz", std::string(Packed.begin(), Packed.end())));

    const std::string Stored = testing_support::ReadStoredFixture("skin.asz");
    TacSkinConvertor* C = nullptr;
    ASSERT_EQ(Read(Bytes(Stored.begin(), Stored.end()), C), "");
    TOwned<TacSkinConvertor> Owned(C);
    ASSERT_EQ(C->ImageItems.size(), 1u);
    EXPECT_EQ(C->ImageItems[0].Name, "form.bmp");
    EXPECT_EQ(Text(C->ImageItems[0].Data), Image);
    ASSERT_NE(C->Options, nullptr);
    EXPECT_EQ(Text(C->Options), Options);
}
