// Wave data: only RIFF data whose first chunk is the format is taken, an empty wave stays readable in
// both container forms, and the form property round-trips through the component stream.
#include "lmdwave.h"

#include "lmdstreams.h"

#include <gtest/gtest.h>

namespace {

std::string Wave(const char* FirstChunk = "fmt ", Word Channels = 2) {
    std::string S = "RIFF";
    S.append("\x24\0\0\0", 4);
    S += "WAVE";
    S += FirstChunk;
    S.append("\x10\0\0\0", 4);
    const Word Tag = 1;
    const LongWord Rate = 22050, Average = 88200;
    const Word Align = 4, Bits = 16;
    S.append(reinterpret_cast<const char*>(&Tag), 2);
    S.append(reinterpret_cast<const char*>(&Channels), 2);
    S.append(reinterpret_cast<const char*>(&Rate), 4);
    S.append(reinterpret_cast<const char*>(&Average), 4);
    S.append(reinterpret_cast<const char*>(&Align), 2);
    S.append(reinterpret_cast<const char*>(&Bits), 2);
    return S + "data" + std::string("\x04\0\0\0\1\2\3\4", 8);
}

TEST(WaveData, Header) {
    TStringStream S(Wave("fmt ", 1));
    WaveHeaderInfo Info;
    ASSERT_TRUE(ReadWaveHeader(&S, Info));
    EXPECT_EQ(Info.SampleRate, 22050u);
    EXPECT_EQ(Info.Channels, 1);
    EXPECT_EQ(Info.IsPcm, 1);
    EXPECT_EQ(Info.BlockAlign, 4);
    EXPECT_EQ(S.Position(), 0);
    TStringStream Empty;
    EXPECT_FALSE(ReadWaveHeader(&Empty, Info));
}

TEST(WaveData, LoadingChecksTheHeader) {
    TOwned<TLMDWave> W(Create<TLMDWave>());
    TStringStream Good(Wave());
    W->LoadFromStream(&Good);
    EXPECT_EQ(W->DataSize(), static_cast<LongInt>(Wave().size()));

    TStringStream DataFirst(Wave("data"));
    EXPECT_THROW(W->LoadFromStream(&DataFirst), EInvalidWave);
    EXPECT_EQ(W->DataSize(), static_cast<LongInt>(Wave().size())) << "a refused wave keeps the old data";

    TStringStream Empty;
    W->LoadFromStream(&Empty);
    EXPECT_TRUE(W->IsEmpty());
}

TEST(WaveData, EmptyWaveInContainerForms) {
    TOwned<TLMDWave> Empty(Create<TLMDWave>()), Copy(Create<TLMDWave>());
    Copy->Assign(Empty.get());
    EXPECT_TRUE(Copy->HasDataStream()) << "assigning an empty wave gives an empty data stream";
    TStringStream S;
    for (bool Packed : {false, true})
        WriteWaveData(&S, Copy.get(), Packed);
    EXPECT_EQ(S.DataString().substr(0, 4), std::string(4, '\0')) << "plain: size 0 and no bytes";
    const std::string Trailer = "more";
    S.WriteString(Trailer);

    TOwned<TLMDWave> Full(Create<TLMDWave>());
    TStringStream Good(Wave());
    S.SetPosition(0);
    for (bool Packed : {false, true}) {
        Full->LoadFromStream(&Good);
        Good.SetPosition(0);
        ReadWaveData(&S, Full.get(), Packed);
        EXPECT_TRUE(Full->IsEmpty()) << "an empty wave reads back from inside a longer stream";
    }
    EXPECT_EQ(S.ReadString(4), Trailer);
}

TEST(WaveData, PackedRoundTrip) {
    TOwned<TLMDWave> W(Create<TLMDWave>()), Back(Create<TLMDWave>());
    TStringStream Good(Wave());
    W->LoadFromStream(&Good);
    TStringStream S;
    WriteWaveData(&S, W.get(), true);
    S.SetPosition(0);
    ReadWaveData(&S, Back.get(), true);
    TStringStream Saved;
    Back->SaveToStream(&Saved);
    EXPECT_EQ(Saved.DataString(), Wave());
}

}  // namespace
