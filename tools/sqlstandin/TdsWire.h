// TDS framing: little-endian byte building and bounds-checked reading, and the packet layer over a socket.
#pragma once

#include <winsock2.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace standin::tds {

// Malformed input from a client: the session that sent it is closed; the process goes on.
class ProtocolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class ConnectionClosed : public std::runtime_error {
public:
    ConnectionClosed() : std::runtime_error("connection closed") {}
};

enum PacketType : std::uint8_t {
    SqlBatch = 0x01, Rpc = 0x03, Reply = 0x04, Attention = 0x06, Login7 = 0x10, Sspi = 0x11, PreLogin = 0x12
};
enum PacketStatus : std::uint8_t { Eom = 0x01, Ignore = 0x02 };

class Writer {
public:
    std::vector<std::uint8_t> Bytes;
    void U8(std::uint8_t V) { Bytes.push_back(V); }
    void U16(std::uint16_t V);
    void U16BE(std::uint16_t V);
    void U32(std::uint32_t V);
    void U64(std::uint64_t V);
    void Raw(const void* Data, std::size_t Size);
    void Ucs2(const std::wstring& Text);  // no prefix
    void BVarChar(const std::wstring& Text);
    void UsVarChar(const std::wstring& Text);
    void PatchU16(std::size_t At, std::uint16_t V);
    std::size_t Size() const { return Bytes.size(); }
};

// Every read checks the bytes actually there; running past the end is a protocol error.
class Reader {
public:
    Reader(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}
    explicit Reader(const std::vector<std::uint8_t>& V) : Reader(V.data(), V.size()) {}
    std::uint8_t U8();
    std::uint16_t U16();
    std::uint16_t U16BE();
    std::uint32_t U32();
    std::uint64_t U64();
    const std::uint8_t* Take(std::size_t N);
    std::wstring Ucs2(std::size_t Chars);
    std::wstring BVarChar() { return Ucs2(U8()); }
    std::wstring UsVarChar() { return Ucs2(U16()); }
    void Skip(std::size_t N) { Take(N); }
    std::size_t Pos() const { return FPos; }
    std::size_t Left() const { return FSize - FPos; }
    void Seek(std::size_t Pos);

private:
    const std::uint8_t* FData;
    std::size_t FSize, FPos = 0;
};

struct Message {
    std::uint8_t Type = 0;
    bool Ignored = false;  // the client abandoned it (IGNORE bit)
    std::vector<std::uint8_t> Data;
};

// One client connection: reads whole messages, writes replies cut into packets of the negotiated size.
class PacketChannel {
public:
    explicit PacketChannel(SOCKET S) : FSocket(S) {}
    // Reads up to and including the EOM packet. Throws ConnectionClosed on an orderly close.
    Message Read(std::size_t MaxMessage);
    // Waits up to Ms for input; true when something can be read (or the peer closed).
    bool WaitReadable(unsigned Ms);
    void SetPacketSize(std::size_t Size) { FPacketSize = Size; }
    std::size_t PacketSize() const { return FPacketSize; }
    void SetSpid(std::uint16_t Spid) { FSpid = Spid; }

    // The reply under construction: full packets leave as soon as they are complete.
    void Put(const Writer& W) { Put(W.Bytes.data(), W.Bytes.size()); }
    void Put(const std::uint8_t* Data, std::size_t Size);
    void EndReply();
    std::size_t ReplyBytes() const { return FReplyBytes; }

private:
    void ReadExact(std::uint8_t* Into, std::size_t N);
    void SendPacket(const std::uint8_t* Data, std::size_t Size, bool Last);

    SOCKET FSocket;
    std::size_t FPacketSize = 4096;
    std::uint16_t FSpid = 0;
    std::uint8_t FPacketId = 1;
    std::vector<std::uint8_t> FPending;
    std::size_t FReplyBytes = 0;
};

}  // namespace standin::tds
