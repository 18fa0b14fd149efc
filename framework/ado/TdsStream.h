// Byte-level reading and writing of TDS data: little-endian integers, UCS-2 text and the
// length-prefixed forms. Readers pull bytes on demand, so a token may straddle packets.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using TTdsBytes = std::vector<std::uint8_t>;

// Raises the protocol error (EOleException) that ends a connection: the stream is not what TDS allows.
[[noreturn]] void TdsProtocolError(const char* What);

class TTdsWriter {
public:
    TTdsBytes Data;

    size_t Size() const { return Data.size(); }
    void U8(std::uint8_t V) { Data.push_back(V); }
    void U16(std::uint16_t V) {
        U8(static_cast<std::uint8_t>(V));
        U8(static_cast<std::uint8_t>(V >> 8));
    }
    void U16BE(std::uint16_t V) {
        U8(static_cast<std::uint8_t>(V >> 8));
        U8(static_cast<std::uint8_t>(V));
    }
    void U32(std::uint32_t V) {
        U16(static_cast<std::uint16_t>(V));
        U16(static_cast<std::uint16_t>(V >> 16));
    }
    void U64(std::uint64_t V) {
        U32(static_cast<std::uint32_t>(V));
        U32(static_cast<std::uint32_t>(V >> 32));
    }
    void Bytes(const void* Src, size_t N) {
        const auto* P = static_cast<const std::uint8_t*>(Src);
        Data.insert(Data.end(), P, P + N);
    }
    void Bytes(const TTdsBytes& B) { Data.insert(Data.end(), B.begin(), B.end()); }
    void Zeros(size_t N) { Data.insert(Data.end(), N, 0); }
    // UCS-2 little-endian, no prefix, no terminator.
    void WText(const std::wstring& S) {
        for (wchar_t C : S)
            U16(static_cast<std::uint16_t>(C));
    }
    void BVarChar(const std::wstring& S) {  // 1-byte prefix counting characters
        U8(static_cast<std::uint8_t>(S.size()));
        WText(S);
    }
    void UsVarChar(const std::wstring& S) {  // 2-byte prefix counting characters
        U16(static_cast<std::uint16_t>(S.size()));
        WText(S);
    }
    void PutU16At(size_t Pos, std::uint16_t V) {
        Data[Pos] = static_cast<std::uint8_t>(V);
        Data[Pos + 1] = static_cast<std::uint8_t>(V >> 8);
    }
    void PutU32At(size_t Pos, std::uint32_t V) {
        PutU16At(Pos, static_cast<std::uint16_t>(V));
        PutU16At(Pos + 2, static_cast<std::uint16_t>(V >> 16));
    }
};

// The bytes of one message, handed out in chunks (packet payloads) by the concrete reader.
// Every read past the message's end is a protocol error.
class TTdsInput {
public:
    virtual ~TTdsInput() = default;

    std::uint8_t U8() {
        if (FPos == FEnd)
            Fill();
        return *FPos++;
    }
    std::uint16_t U16() {
        std::uint8_t B[2];
        Read(B, 2);
        return static_cast<std::uint16_t>(B[0] | (B[1] << 8));
    }
    std::uint32_t U32() {
        std::uint8_t B[4];
        Read(B, 4);
        return B[0] | (B[1] << 8) | (B[2] << 16) | (static_cast<std::uint32_t>(B[3]) << 24);
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::uint64_t U64() {
        std::uint64_t Lo = U32();
        return Lo | (static_cast<std::uint64_t>(U32()) << 32);
    }
    void Read(void* Dst, size_t N) {
        if (static_cast<size_t>(FEnd - FPos) >= N) {
            std::memcpy(Dst, FPos, N);
            FPos += N;
            return;
        }
        ReadSlow(static_cast<std::uint8_t*>(Dst), N);
    }
    void Skip(size_t N) { ReadSlow(nullptr, N); }
    TTdsBytes Bytes(size_t N) {
        TTdsBytes B(N);
        if (N)
            Read(B.data(), N);
        return B;
    }
    std::wstring WText(size_t Chars);
    std::wstring BVarChar() { return WText(U8()); }
    std::wstring UsVarChar() { return WText(U16()); }

    // True when every byte of the current message has been read.
    bool AtMessageEnd();

protected:
    // Makes the next chunk of the current message current (FPos, FEnd); false when the message has
    // no more bytes (and again at every later call).
    virtual bool NextChunk() = 0;

    const std::uint8_t* FPos = nullptr;
    const std::uint8_t* FEnd = nullptr;

private:
    void Fill();
    void ReadSlow(std::uint8_t* Dst, size_t N);
};

// A whole message held in memory: tests and the bounded parts of tokens.
class TTdsBufferInput : public TTdsInput {
public:
    explicit TTdsBufferInput(const TTdsBytes& B) : TTdsBufferInput(B.data(), B.size()) {}
    TTdsBufferInput(const std::uint8_t* Data, size_t Size) {
        FPos = Data;
        FEnd = Data + Size;
    }
    size_t Remaining() const { return static_cast<size_t>(FEnd - FPos); }

protected:
    bool NextChunk() override { return false; }
};
