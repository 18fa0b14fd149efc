// The stack over the system's socket library, bound at run time, and its descriptor lists.
#pragma once

#include "IdStackBSDBase.h"
#include "IdWinsock2.h"

class TIdStackWindows : public TIdStackBSDBase {
    DECLARE_CLASS(TIdStackWindows, TIdStackBSDBase)
public:
    // Loads the socket library and the IPv6 helpers once per process; a failure becomes
    // EIdStackInitializationFailed with its message.
    TIdStackWindows();
    ~TIdStackWindows() override;

    std::string HostByName(const std::string& HostName, TIdIPVersion IPVersion = Id_IPv4) override;
    std::string HostName() override;
    void PopulateLocalAddresses() override;
    TIdStackSocketHandle Accept(TIdStackSocketHandle Socket, std::string& IP, Word& Port,
                                TIdIPVersion& IPVersion) override;
    void Bind(TIdStackSocketHandle Socket, const std::string& IP, Word Port, TIdIPVersion IPVersion = Id_IPv4) override;
    void Connect(TIdStackSocketHandle Socket, const std::string& IP, Word Port, TIdIPVersion IPVersion = Id_IPv4) override;
    void Disconnect(TIdStackSocketHandle Socket) override;
    int IOControl(TIdStackSocketHandle Socket, std::uint32_t Command, std::uint32_t& Value) override;
    IN6_ADDR RouteSourceIPv6(TIdStackSocketHandle Socket, const std::string& IP, Word Port) override;
    void GetPeerName(TIdStackSocketHandle Socket, std::string& IP, Word& Port, TIdIPVersion& IPVersion) override;
    void GetSocketName(TIdStackSocketHandle Socket, std::string& IP, Word& Port, TIdIPVersion& IPVersion) override;
    std::string HostByAddress(const std::string& Address, TIdIPVersion IPVersion = Id_IPv4) override;
    void Listen(TIdStackSocketHandle Socket, int Backlog) override;
    int WSGetLastError() override;
    void WSSetLastError(int ErrorCode) override;
    std::string WSTranslateSocketErrorMsg(int ErrorCode) override;
    TIdStackSocketHandle NewSocketHandle(int SocketType, int Protocol, TIdIPVersion IPVersion = Id_IPv4,
                                         bool Overlapped = false) override;
    void GetSocketOption(TIdStackSocketHandle Socket, int Level, int OptName, int& Value) override;
    void SetSocketOption(TIdStackSocketHandle Socket, int Level, int OptName, int Value) override;
    int Receive(TIdStackSocketHandle Socket, TIdBytes& Buffer) override;
    int Send(TIdStackSocketHandle Socket, const TIdBytes& Buffer, int Offset = 0, int Count = -1) override;
    int ReceiveFrom(TIdStackSocketHandle Socket, TIdBytes& Buffer, std::string& IP, Word& Port,
                    TIdIPVersion& IPVersion) override;
    void SendTo(TIdStackSocketHandle Socket, const TIdBytes& Buffer, int Offset, int Count, const std::string& IP,
                Word Port, TIdIPVersion IPVersion = Id_IPv4) override;
    int ReceiveMsg(TIdStackSocketHandle Socket, TIdBytes& Buffer, TIdPacketInfo& Info) override;
    bool SupportsIPv6() override;
    void SetMulticastTTL(TIdStackSocketHandle Socket, Byte TTL, TIdIPVersion IPVersion) override;
    void SetLoopBack(TIdStackSocketHandle Socket, bool LoopBack, TIdIPVersion IPVersion) override;
    bool DropMulticastMembership(TIdStackSocketHandle Socket, const std::string& GroupIP, TIdIPVersion IPVersion) override;
    bool AddMulticastMembership(TIdStackSocketHandle Socket, const std::string& GroupIP, TIdIPVersion IPVersion) override;

    int WSCloseSocket(TIdStackSocketHandle Socket) override;
    int WSRecv(TIdStackSocketHandle Socket, void* Buffer, int Length, int Flags) override;
    int WSSend(TIdStackSocketHandle Socket, const void* Buffer, int Length, int Flags) override;
    int WSShutdown(TIdStackSocketHandle Socket, int How) override;
    bool CheckIPVersionSupport(TIdIPVersion IPVersion) override;
    void SetSocketOptionBuffer(TIdStackSocketHandle Socket, int Level, int OptName, const void* Value, int Length) override;
    Word WSGetServByName(const std::string& ServiceName) override;
    TStrings* WSGetServByPort(Word Port) override;
    int RecvFrom(TIdStackSocketHandle Socket, void* Buffer, int Length, int Flags, std::string& FromIP, Word& FromPort,
                 TIdIPVersion& IPVersion) override;
    void WSSendTo(TIdStackSocketHandle Socket, const void* Buffer, int Length, int Flags, const std::string& IP,
                  Word Port, TIdIPVersion IPVersion = Id_IPv4) override;
    TIdStackSocketHandle WSSocket(int Family, int StructType, int Protocol, bool Overlapped = false) override;
    void GetSocketOptionBuffer(TIdStackSocketHandle Socket, int Level, int OptName, void* Value, int& Length) override;
    void SetBlocking(TIdStackSocketHandle Socket, bool Blocking) override;
    bool WouldBlock(int Result) override;

private:
    // The address record of an address text and port.
    int FillAddress(sockaddr_storage& Address, const std::string& IP, Word Port, TIdIPVersion IPVersion);
    void ReadAddress(const sockaddr_storage& Address, std::string& IP, Word& Port, TIdIPVersion& IPVersion);
    bool ChangeMembership(TIdStackSocketHandle Socket, const std::string& GroupIP, TIdIPVersion IPVersion, bool Join);
};

class TIdSocketListWindows : public TIdSocketList {
    DECLARE_CLASS(TIdSocketListWindows, TIdSocketList)
public:
    // The 65th handle raises EIdStackSetSizeExceeded.
    void Add(TIdStackSocketHandle Handle) override;
    void Remove(TIdStackSocketHandle Handle) override;
    void Clear() override;
    int Count() override;
    TIdStackSocketHandle Items(int Index) override;
    bool Contains(TIdStackSocketHandle Handle) override;
    bool SelectRead(int TimeOut = -2) override;
    bool SelectReadList(TIdSocketList*& SocketList, int TimeOut = -2) override;
    TIdSocketList* Clone() override;

protected:
    bool SelectAmong(TIdSocketList* ReadList, TIdSocketList* WriteList, TIdSocketList* ExceptList, int TimeOut) override;

private:
    fd_set FFDSet{};
};

// Sends a whole file over a connected socket; gives the file's size. Set at start-up on the
// NT family, null elsewhere.
using TIdServeFileProc = Int64 (*)(TIdStackSocketHandle Socket, const std::string& FileName);
extern TIdServeFileProc GServeFileProc;

TIdStackWindows* GWindowsStack();
// Start-up: the socket-list class and, on the NT family, the file transmission.
void IdStackWindowsInitialization();
// Shut-down: the libraries go when a stack had loaded them.
void IdStackWindowsFinalization();
