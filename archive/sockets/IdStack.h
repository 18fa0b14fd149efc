// The socket stack: one virtual interface over the socket functions, with address texts, error
// translation, descriptor lists for waiting on many sockets and the Internet checksum.
#pragma once

#include "IdException.h"
#include "IdGlobal.h"
#include "SyncObjs.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

enum TIdIPVersion : Byte { Id_IPv4 = 0, Id_IPv6 = 1 };
inline constexpr int Id_PF_INET4 = 2;
inline constexpr int Id_PF_INET6 = 23;
using TIdStackSocketHandle = SOCKET;
inline constexpr TIdStackSocketHandle Id_INVALID_SOCKET = INVALID_SOCKET;
inline constexpr int Id_SOCKET_ERROR = -1;

class TIdCriticalSection : public TCriticalSection {
    DECLARE_CLASS(TIdCriticalSection, TCriticalSection)
};

// The address family of an IP version; any other version raises EIdIPVersionUnsupported.
int AddressFamilyOf(TIdIPVersion IPVersion);

// Where a datagram came from and went to.
struct TIdPacketInfo {
    std::string SourceIP;
    Word SourcePort = 0;
    TIdIPVersion SourceIPVersion = Id_IPv4;
    std::string DestIP;
    std::uint32_t DestIF = 0;
    Byte TTL = 0;
};

class TIdStack : public TObject {
    DECLARE_CLASS(TIdStack, TObject)
public:
    virtual std::string HostByName(const std::string& HostName, TIdIPVersion IPVersion = Id_IPv4) = 0;
    virtual std::string HostName() = 0;
    virtual void PopulateLocalAddresses() = 0;
    // Id_INVALID_SOCKET (nothing raised) when the call fails.
    virtual TIdStackSocketHandle Accept(TIdStackSocketHandle Socket, std::string& IP, Word& Port,
                                        TIdIPVersion& IPVersion) = 0;
    virtual void Bind(TIdStackSocketHandle Socket, const std::string& IP, Word Port, TIdIPVersion IPVersion = Id_IPv4) = 0;
    virtual void Connect(TIdStackSocketHandle Socket, const std::string& IP, Word Port, TIdIPVersion IPVersion = Id_IPv4) = 0;
    virtual void Disconnect(TIdStackSocketHandle Socket) = 0;
    virtual int IOControl(TIdStackSocketHandle Socket, std::uint32_t Command, std::uint32_t& Value) = 0;
    virtual void GetPeerName(TIdStackSocketHandle Socket, std::string& IP, Word& Port, TIdIPVersion& IPVersion) = 0;
    virtual void GetSocketName(TIdStackSocketHandle Socket, std::string& IP, Word& Port, TIdIPVersion& IPVersion) = 0;
    virtual std::string HostByAddress(const std::string& Address, TIdIPVersion IPVersion = Id_IPv4) = 0;
    Word HostToNetwork(Word Value);
    std::uint32_t HostToNetwork(std::uint32_t Value);
    std::uint64_t HostToNetwork(std::uint64_t Value);
    TIdIPv6Address HostToNetwork(const TIdIPv6Address& Value);
    Word NetworkToHost(Word Value) { return HostToNetwork(Value); }
    std::uint32_t NetworkToHost(std::uint32_t Value) { return HostToNetwork(Value); }
    std::uint64_t NetworkToHost(std::uint64_t Value) { return HostToNetwork(Value); }
    TIdIPv6Address NetworkToHost(const TIdIPv6Address& Value) { return HostToNetwork(Value); }
    virtual void Listen(TIdStackSocketHandle Socket, int Backlog) = 0;
    virtual int WSGetLastError() = 0;
    virtual void WSSetLastError(int ErrorCode) = 0;
    // "Socket Error # %d" CR LF and the code's text.
    virtual std::string WSTranslateSocketErrorMsg(int ErrorCode);
    [[noreturn]] virtual void RaiseSocketError(int ErrorCode);
    // -1 raises the socket error of the last error; anything else passes.
    int CheckForSocketError(int Result);
    // As above, but a last error among Ignore is given back instead of raised (0: none).
    int CheckForSocketError(int Result, std::initializer_list<int> Ignore);
    [[noreturn]] void RaiseLastSocketError() {
        RaiseSocketError(WSGetLastError());
        __builtin_unreachable();  // every stack raises there
    }
    virtual TIdStackSocketHandle NewSocketHandle(int SocketType, int Protocol, TIdIPVersion IPVersion = Id_IPv4,
                                                 bool Overlapped = false) = 0;
    virtual void GetSocketOption(TIdStackSocketHandle Socket, int Level, int OptName, int& Value) = 0;
    virtual void SetSocketOption(TIdStackSocketHandle Socket, int Level, int OptName, int Value) = 0;
    virtual int Receive(TIdStackSocketHandle Socket, TIdBytes& Buffer) = 0;
    // Count < 0: to the end of Buffer; nothing is sent when the count is not positive.
    virtual int Send(TIdStackSocketHandle Socket, const TIdBytes& Buffer, int Offset = 0, int Count = -1) = 0;
    virtual int ReceiveFrom(TIdStackSocketHandle Socket, TIdBytes& Buffer, std::string& IP, Word& Port,
                            TIdIPVersion& IPVersion) = 0;
    virtual void SendTo(TIdStackSocketHandle Socket, const TIdBytes& Buffer, int Offset, int Count,
                        const std::string& IP, Word Port, TIdIPVersion IPVersion = Id_IPv4) = 0;
    // A datagram with where it came from and, where the system tells (the packet-information
    // option set on the socket), where it went and its hop limit.
    virtual int ReceiveMsg(TIdStackSocketHandle Socket, TIdBytes& Buffer, TIdPacketInfo& Info) = 0;
    virtual bool SupportsIPv6() = 0;
    virtual void SetMulticastTTL(TIdStackSocketHandle Socket, Byte TTL, TIdIPVersion IPVersion) = 0;
    virtual void SetLoopBack(TIdStackSocketHandle Socket, bool LoopBack, TIdIPVersion IPVersion) = 0;
    virtual bool DropMulticastMembership(TIdStackSocketHandle Socket, const std::string& GroupIP,
                                         TIdIPVersion IPVersion) = 0;
    virtual bool AddMulticastMembership(TIdStackSocketHandle Socket, const std::string& GroupIP,
                                        TIdIPVersion IPVersion) = 0;
    // The one's complement of the 16-bit one's-complement sum of the bytes.
    Word CalcCheckSum(const TIdBytes& Data);
    // Stores the checksum of an IPv4 packet at Offset (the field counted as zero). An IPv6 packet
    // needs the route it takes (the form below): without one it raises EIdIPVersionUnsupported.
    void WriteChecksum(TIdBytes& Data, int Offset, TIdIPVersion IPVersion = Id_IPv4);
    // Stores the checksum of a packet for IP at Offset (the field counted as zero). For IPv6 it
    // covers the pseudo-header first: the source address the system sends from to IP (asked on
    // Socket), IP, the packet's length as 32 bits and the next header 58 (ICMPv6, whose checksum a
    // sender computes), each in network order. For IPv4 Socket and Port are not used.
    void WriteChecksum(TIdStackSocketHandle Socket, TIdBytes& Data, int Offset, const std::string& IP, Word Port,
                       TIdIPVersion IPVersion);
    // The source address of the route to an IPv6 destination, as the system's routing-interface
    // query on Socket answers it.
    virtual IN6_ADDR RouteSourceIPv6(TIdStackSocketHandle Socket, const std::string& IP, Word Port) = 0;

    bool IsValidIPv4(const std::string& IP);
    bool IsValidIPv4MulticastGroup(const std::string& IP);
    bool IsValidIPv6MulticastGroup(const std::string& IP);
    // Four decimal fields 0 to 255; anything else raises the conversion error.
    in_addr TranslateStringToTInAddr(const std::string& IP);
    std::string TranslateTInAddrToString(const in_addr& Address);
    IN6_ADDR TranslateStringToTIn6Addr(const std::string& IP);
    std::string TranslateTIn6AddrToString(const IN6_ADDR& Address);
};

class TIdSocketList : public TObject {
    DECLARE_CLASS(TIdSocketList, TObject)
public:
    TIdSocketList() = default;
    virtual void Add(TIdStackSocketHandle Handle) = 0;
    virtual void Remove(TIdStackSocketHandle Handle) = 0;
    virtual void Clear() = 0;
    virtual int Count() = 0;
    virtual TIdStackSocketHandle Items(int Index) = 0;
    virtual bool Contains(TIdStackSocketHandle Handle) = 0;
    // Time-outs in milliseconds; -2 waits without limit.
    virtual bool SelectRead(int TimeOut = -2) = 0;
    virtual bool SelectReadList(TIdSocketList*& SocketList, int TimeOut = -2) = 0;
    // Waits until a socket of the lists is ready; each list then holds only its ready sockets.
    static bool Select(TIdSocketList* ReadList, TIdSocketList* WriteList, TIdSocketList* ExceptList, int TimeOut = -2);
    virtual TIdSocketList* Clone() = 0;

protected:
    friend class TIdSocketListWindows;
    virtual bool SelectAmong(TIdSocketList* ReadList, TIdSocketList* WriteList, TIdSocketList* ExceptList,
                             int TimeOut) = 0;

public:

protected:
    TIdCriticalSection FLock;
};

TIdStack* GStack();
extern TIdCriticalSection* GStackCriticalSection;
void IdStackInitialization();
