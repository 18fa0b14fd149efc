#include "TdsSocket.h"

#include "TdsErrors.h"
#include "TdsPackets.h"

TWinsockUser::TWinsockUser(bool StartNow) {
    if (StartNow)
        Start();
}

void TWinsockUser::Start() {
    if (FStarted)
        return;
    WSADATA D;
    FStarted = WSAStartup(MAKEWORD(2, 2), &D) == 0;
}

TWinsockUser::~TWinsockUser() {
    if (FStarted)
        WSACleanup();
}

DWORD TTdsDeadline::Remaining() const {
    if (FInfinite)
        return INFINITE;
    DWORD Spent = GetTickCount() - FStart;
    return Spent >= FLength ? 0 : FLength - Spent;
}

namespace {

[[noreturn]] void ReadFailed() { throw ETdsError(TTdsErrorKind::Network, TdsTextReadFailed); }

timeval ToTimeval(DWORD Ms) {
    timeval Tv;
    Tv.tv_sec = static_cast<long>(Ms / 1000);
    Tv.tv_usec = static_cast<long>(Ms % 1000) * 1000;
    return Tv;
}

}  // namespace

bool TTdsSocket::Connect(const sockaddr_in& Address, const TTdsDeadline& Deadline) {
    Close();
    FSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (FSocket == INVALID_SOCKET)
        return false;
    u_long NonBlocking = 1;
    ioctlsocket(FSocket, FIONBIO, &NonBlocking);
    bool Ok = connect(FSocket, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0;
    if (!Ok && WSAGetLastError() == WSAEWOULDBLOCK) {
        fd_set W, E;
        FD_ZERO(&W);
        FD_ZERO(&E);
        FD_SET(FSocket, &W);
        FD_SET(FSocket, &E);
        DWORD Left = Deadline.Remaining();
        timeval Tv = ToTimeval(Left);
        if (select(0, nullptr, &W, &E, Left == INFINITE ? nullptr : &Tv) > 0 && FD_ISSET(FSocket, &W)) {
            int Err = 0;
            int Len = sizeof Err;
            getsockopt(FSocket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&Err), &Len);
            Ok = Err == 0;
        }
    }
    if (!Ok) {
        Close();
        return false;
    }
    NonBlocking = 0;
    ioctlsocket(FSocket, FIONBIO, &NonBlocking);
    BOOL NoDelay = TRUE;  // requests are whole messages: no reason to hold them back
    setsockopt(FSocket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&NoDelay), sizeof NoDelay);
    FHead = FTail = 0;
    FMessageDone = true;
    return true;
}

void TTdsSocket::Close() {
    if (FSocket != INVALID_SOCKET) {
        shutdown(FSocket, SD_BOTH);
        closesocket(FSocket);
        FSocket = INVALID_SOCKET;
    }
    FPos = FEnd = nullptr;
    FHead = FTail = 0;
    FMessageDone = true;
}

bool TTdsSocket::SendRaw(const void* Data, size_t Size) {
    const char* P = static_cast<const char*>(Data);
    while (Size) {
        int N = send(FSocket, P, static_cast<int>(Size), 0);
        if (N <= 0)
            return false;
        P += N;
        Size -= static_cast<size_t>(N);
    }
    return true;
}

void TTdsSocket::SendMessage(std::uint8_t Type, const TTdsBytes& Payload, size_t PacketSize) {
    TTdsBytes Framed = TdsFrame(Type, Payload, PacketSize);
    if (FSocket == INVALID_SOCKET || !SendRaw(Framed.data(), Framed.size()))
        throw ETdsError(TTdsErrorKind::Network, TdsTextWriteFailed);
}

bool TTdsSocket::WaitReadable() {
    DWORD Start = GetTickCount();
    DWORD Limit = TimeoutMs;
    for (;;) {
        DWORD Now = TimeoutMs;
        if (Now != Limit) {  // changed by another thread (a cancel): count from here
            Limit = Now;
            Start = GetTickCount();
        }
        DWORD Slice = 500;
        if (Limit != INFINITE) {
            DWORD Spent = GetTickCount() - Start;
            Slice = Spent >= Limit ? 0 : (Limit - Spent < Slice ? Limit - Spent : Slice);
        }
        fd_set R;
        FD_ZERO(&R);
        FD_SET(FSocket, &R);
        timeval Tv = ToTimeval(Slice);
        int N = select(0, &R, nullptr, nullptr, &Tv);
        if (N > 0)
            return true;
        if (N < 0)
            ReadFailed();
        if (Limit == INFINITE || GetTickCount() - Start < Limit)
            continue;
        if (!OnTimeout || !OnTimeout())
            return false;
        Limit = TimeoutMs;
        Start = GetTickCount();
    }
}

void TTdsSocket::Receive() {
    if (FSocket == INVALID_SOCKET)
        ReadFailed();
    if (FHead == FTail)
        FHead = FTail = 0;
    else if (FBuffer.size() - FTail < TdsPacket::MaxSize) {  // keep room for a whole packet
        std::memmove(FBuffer.data(), FBuffer.data() + FHead, FTail - FHead);
        FTail -= FHead;
        FHead = 0;
    }
    if (!WaitReadable())
        throw ETdsError(TTdsErrorKind::Timeout, TdsTextTimeout);
    int N = recv(FSocket, reinterpret_cast<char*>(FBuffer.data() + FTail), static_cast<int>(FBuffer.size() - FTail), 0);
    if (N <= 0)
        ReadFailed();
    FTail += static_cast<size_t>(N);
}

void TTdsSocket::BeginMessage() {
    if (FPos != FEnd)
        TdsProtocolError("a new message begins before the last one was read");
    FMessageDone = false;
}

bool TTdsSocket::NextChunk() {
    while (!FMessageDone) {
        while (FTail - FHead < TdsPacket::HeaderSize)
            Receive();
        const std::uint8_t* H = FBuffer.data() + FHead;
        size_t Len = (H[2] << 8) | H[3];
        if (H[0] != TdsPacket::Reply)
            TdsProtocolError("the server sent a packet of an unexpected type");
        if (Len < TdsPacket::HeaderSize || Len > TdsPacket::MaxSize)
            TdsProtocolError("packet length out of range");
        while (FTail - FHead < Len)
            Receive();
        H = FBuffer.data() + FHead;
        FMessageDone = H[1] & TdsPacket::StatusEom;
        FPos = H + TdsPacket::HeaderSize;
        FEnd = H + Len;
        FHead += Len;
        if (FPos != FEnd || FMessageDone)
            return FPos != FEnd;
    }
    return false;
}

TTdsBytes TTdsSocket::ReadMessage() {
    BeginMessage();
    TTdsBytes All;
    while (!AtMessageEnd()) {
        All.insert(All.end(), FPos, FEnd);
        FPos = FEnd;
    }
    return All;
}
