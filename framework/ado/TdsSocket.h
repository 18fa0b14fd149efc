// The TCP connection of a TDS client: connect with a time-out, send framed messages, and read
// server messages packet by packet with a time-out per wait.
#pragma once

#include "TdsStream.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <cstdint>
#include <functional>

// Starts Winsock once per process user; the library stays started while any user lives. A user
// made with StartNow false starts it on its first Start (a connection object that is never opened
// does not load the socket library).
class TWinsockUser {
public:
    explicit TWinsockUser(bool StartNow = true);
    ~TWinsockUser();
    TWinsockUser(const TWinsockUser&) = delete;
    TWinsockUser& operator=(const TWinsockUser&) = delete;
    void Start();

private:
    bool FStarted = false;
};

// Milliseconds left until a tick-count deadline; INFINITE for none.
class TTdsDeadline {
public:
    static TTdsDeadline After(DWORD Ms) { return TTdsDeadline(Ms); }
    static TTdsDeadline Never() { return TTdsDeadline(); }
    DWORD Remaining() const;
    bool Passed() const { return Remaining() == 0; }
    bool Infinite() const { return FInfinite; }

private:
    TTdsDeadline() = default;
    explicit TTdsDeadline(DWORD Ms) : FInfinite(false), FStart(GetTickCount()), FLength(Ms) {}
    bool FInfinite = true;
    DWORD FStart = 0;
    DWORD FLength = 0;
};

class TTdsSocket : public TTdsInput {
public:
    TTdsSocket() = default;
    ~TTdsSocket() override { Close(); }
    TTdsSocket(const TTdsSocket&) = delete;
    TTdsSocket& operator=(const TTdsSocket&) = delete;

    // False when the connection could not be made before the deadline.
    bool Connect(const sockaddr_in& Address, const TTdsDeadline& Deadline);
    void Close();
    bool IsOpen() const { return FSocket != INVALID_SOCKET; }

    // Sends a whole message, framed into packets. A failed send raises the network error.
    void SendMessage(std::uint8_t Type, const TTdsBytes& Payload, size_t PacketSize);
    // Sends bytes as they are (the attention packet); false when the send failed.
    bool SendRaw(const void* Data, size_t Size);

    // Starts reading the next server message; its bytes are then read through TTdsInput.
    void BeginMessage();
    // Reads a whole message into memory (the pre-login reply).
    TTdsBytes ReadMessage();

    // The wait for server bytes. When TimeoutMs passes with nothing received, OnTimeout decides:
    // true keeps waiting (it may have changed TimeoutMs), false raises the time-out error. Another
    // thread may change TimeoutMs; a waiting reader sees the new value within half a second.
    std::atomic<DWORD> TimeoutMs{INFINITE};
    std::function<bool()> OnTimeout;

protected:
    bool NextChunk() override;

private:
    void Receive();  // at least one more byte into the buffer, or an error
    bool WaitReadable();

    SOCKET FSocket = INVALID_SOCKET;
    TTdsBytes FBuffer = TTdsBytes(64 * 1024);
    size_t FHead = 0;  // first unread byte of the buffer
    size_t FTail = 0;  // end of the received bytes
    bool FMessageDone = true;  // the last packet of the current message has been handed out
};
