#include "IdCoder3to4.h"

#include "IdGlobal.h"

#include <vector>

void BuildDecodeTable(const std::string& Alphabet, TIdDecodeTable& Table) {
    Table.fill(255);
    for (size_t I = 0; I < 64 && I < Alphabet.size(); ++I) {
        const unsigned char C = static_cast<unsigned char>(Alphabet[I]);
        if (C >= 1 && C <= 127)
            Table[C - 1] = static_cast<Byte>(I);
    }
}

void TIdDecoder4to3::DecodeInput(TStream* Input, Int64 Length) { DecodeBytes(Input, StreamRemaining(Input, Length)); }

void TIdDecoder4to3::DecodeBytes(TStream* Input, Int64 N, Int64 Limit) {
    if (N <= 0)
        return;
    std::vector<Byte> In(static_cast<size_t>(N));
    Input->ReadBuffer(In.data(), static_cast<LongInt>(N));
    const size_t Groups = In.size() / 4;
    std::vector<Byte> Out;
    Out.reserve(Groups * 3);
    auto T = [&](Byte C) -> std::uint32_t { return C >= 1 && C <= 127 ? DecodeTable[C - 1] : 255u; };
    for (size_t G = 0; G < Groups; ++G) {
        const Byte* C = &In[G * 4];
        const std::uint32_t V = (T(C[0]) << 18) | (T(C[1]) << 12) | (T(C[2]) << 6) | T(C[3]);
        const Byte Bytes[3] = {static_cast<Byte>(V >> 16), static_cast<Byte>(V >> 8), static_cast<Byte>(V)};
        // Padding ends the data: the output holds only the bytes decoded, also when the padding
        // comes early (a zero tail would pass for data).
        if (C[2] == static_cast<Byte>(FillChar)) {
            Out.push_back(Bytes[0]);
            break;
        }
        if (C[3] == static_cast<Byte>(FillChar)) {
            Out.insert(Out.end(), Bytes, Bytes + 2);
            break;
        }
        Out.insert(Out.end(), Bytes, Bytes + 3);
    }
    if (Limit >= 0 && Out.size() > static_cast<size_t>(Limit))
        Out.resize(static_cast<size_t>(Limit));
    if (FStream && !Out.empty())
        FStream->WriteBuffer(Out.data(), static_cast<LongInt>(Out.size()));
}
