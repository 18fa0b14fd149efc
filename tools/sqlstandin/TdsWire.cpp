#include "TdsWire.h"

#include <cstring>

namespace standin::tds {

void Writer::U16(std::uint16_t V) {
    U8(static_cast<std::uint8_t>(V));
    U8(static_cast<std::uint8_t>(V >> 8));
}
void Writer::U16BE(std::uint16_t V) {
    U8(static_cast<std::uint8_t>(V >> 8));
    U8(static_cast<std::uint8_t>(V));
}
void Writer::U32(std::uint32_t V) {
    U16(static_cast<std::uint16_t>(V));
    U16(static_cast<std::uint16_t>(V >> 16));
}
void Writer::U64(std::uint64_t V) {
    U32(static_cast<std::uint32_t>(V));
    U32(static_cast<std::uint32_t>(V >> 32));
}
void Writer::Raw(const void* Data, std::size_t Size) {
    auto P = static_cast<const std::uint8_t*>(Data);
    Bytes.insert(Bytes.end(), P, P + Size);
}
void Writer::Ucs2(const std::wstring& Text) {
    for (wchar_t C : Text)
        U16(static_cast<std::uint16_t>(C));
}
void Writer::BVarChar(const std::wstring& Text) {
    std::wstring T = Text.substr(0, 255);
    U8(static_cast<std::uint8_t>(T.size()));
    Ucs2(T);
}
void Writer::UsVarChar(const std::wstring& Text) {
    std::wstring T = Text.substr(0, 65535);
    U16(static_cast<std::uint16_t>(T.size()));
    Ucs2(T);
}
void Writer::PatchU16(std::size_t At, std::uint16_t V) {
    Bytes.at(At) = static_cast<std::uint8_t>(V);
    Bytes.at(At + 1) = static_cast<std::uint8_t>(V >> 8);
}

const std::uint8_t* Reader::Take(std::size_t N) {
    if (N > FSize - FPos)
        throw ProtocolError("message shorter than its fields claim");
    const std::uint8_t* P = FData + FPos;
    FPos += N;
    return P;
}
std::uint8_t Reader::U8() { return *Take(1); }
std::uint16_t Reader::U16() {
    auto P = Take(2);
    return static_cast<std::uint16_t>(P[0] | P[1] << 8);
}
std::uint16_t Reader::U16BE() {
    auto P = Take(2);
    return static_cast<std::uint16_t>(P[0] << 8 | P[1]);
}
std::uint32_t Reader::U32() {
    std::uint32_t Lo = U16();
    return Lo | static_cast<std::uint32_t>(U16()) << 16;
}
std::uint64_t Reader::U64() {
    std::uint64_t Lo = U32();
    return Lo | static_cast<std::uint64_t>(U32()) << 32;
}
std::wstring Reader::Ucs2(std::size_t Chars) {
    auto P = Take(Chars * 2);
    std::wstring S(Chars, L'\0');
    for (std::size_t I = 0; I < Chars; ++I)
        S[I] = static_cast<wchar_t>(P[2 * I] | P[2 * I + 1] << 8);
    return S;
}
void Reader::Seek(std::size_t Pos) {
    if (Pos > FSize)
        throw ProtocolError("offset outside the message");
    FPos = Pos;
}

void PacketChannel::ReadExact(std::uint8_t* Into, std::size_t N) {
    while (N > 0) {
        int Got = recv(FSocket, reinterpret_cast<char*>(Into), static_cast<int>(N), 0);
        if (Got <= 0)
            throw ConnectionClosed();
        Into += Got;
        N -= static_cast<std::size_t>(Got);
    }
}

Message PacketChannel::Read(std::size_t MaxMessage) {
    Message M;
    bool First = true;
    for (;;) {
        std::uint8_t H[8];
        ReadExact(H, 8);
        std::size_t Length = static_cast<std::size_t>(H[2] << 8 | H[3]);
        if (Length < 8 || Length > 32767)
            throw ProtocolError("packet length " + std::to_string(Length) + " out of range");
        if (First)
            M.Type = H[0];
        else if (H[0] != M.Type)
            throw ProtocolError("packet type changed inside a message");
        First = false;
        std::size_t Old = M.Data.size();
        if (Old + Length - 8 > MaxMessage)
            throw ProtocolError("message larger than " + std::to_string(MaxMessage) + " bytes");
        M.Data.resize(Old + Length - 8);
        ReadExact(M.Data.data() + Old, Length - 8);
        if (H[1] & Eom) {
            M.Ignored = (H[1] & Ignore) != 0;
            return M;
        }
    }
}

bool PacketChannel::WaitReadable(unsigned Ms) {
    fd_set Set;
    FD_ZERO(&Set);
    FD_SET(FSocket, &Set);
    timeval Tv{static_cast<long>(Ms / 1000), static_cast<long>(Ms % 1000) * 1000};
    return select(0, &Set, nullptr, nullptr, &Tv) > 0;
}

void PacketChannel::SendPacket(const std::uint8_t* Data, std::size_t Size, bool Last) {
    std::vector<std::uint8_t> P(8 + Size);
    P[0] = Reply;
    P[1] = Last ? Eom : 0;
    P[2] = static_cast<std::uint8_t>((Size + 8) >> 8);
    P[3] = static_cast<std::uint8_t>(Size + 8);
    P[4] = static_cast<std::uint8_t>(FSpid >> 8);
    P[5] = static_cast<std::uint8_t>(FSpid);
    P[6] = FPacketId++;
    P[7] = 0;
    if (Size)
        std::memcpy(P.data() + 8, Data, Size);
    const char* Src = reinterpret_cast<const char*>(P.data());
    std::size_t Left = P.size();
    while (Left > 0) {
        int Sent = send(FSocket, Src, static_cast<int>(Left), 0);
        if (Sent <= 0)
            throw ConnectionClosed();
        Src += Sent;
        Left -= static_cast<std::size_t>(Sent);
    }
}

void PacketChannel::Put(const std::uint8_t* Data, std::size_t Size) {
    FPending.insert(FPending.end(), Data, Data + Size);
    FReplyBytes += Size;
    const std::size_t Body = FPacketSize - 8;
    std::size_t Off = 0;
    // Keep at least one byte back so that the reply's last packet, the one with EOM, is never empty.
    while (FPending.size() - Off > Body) {
        SendPacket(FPending.data() + Off, Body, false);
        Off += Body;
    }
    FPending.erase(FPending.begin(), FPending.begin() + static_cast<std::ptrdiff_t>(Off));
}

void PacketChannel::EndReply() {
    SendPacket(FPending.data(), FPending.size(), true);
    FPending.clear();
    FPacketId = 1;
    FReplyBytes = 0;
}

}  // namespace standin::tds
