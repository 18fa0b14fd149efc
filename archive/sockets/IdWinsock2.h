// The socket library bound at run time: nothing of it is imported when the program loads. Every
// function is called through a slot whose first call looks the function up and keeps it, so later
// calls go straight to the system.
#pragma once

#include "IdException.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

#include <string>

class EIdWinsockStubError : public EIdException {
    DECLARE_CLASS(EIdWinsockStubError, EIdException)
public:
    EIdWinsockStubError() = default;
    // The title is formatted in English; with a code, the system's text for it follows ": ".
    EIdWinsockStubError(DWORD Code, std::string_view TitleFormat, TVarRecs Args);
    DWORD Win32Error = 0;
    std::string Win32ErrorMessage;
    std::string Title;
};

inline constexpr const char* WINSOCK2_DLL = "WS2_32.DLL";
inline constexpr const char* MSWSOCK_DLL = "MSWSOCK.DLL";

void LoadSocketLibrary();
void LoadExtensionLibrary();
void UnloadSocketLibraries();
HMODULE SocketLibraryHandle();
bool SocketLibraryLoaded();
HMODULE ExtensionLibraryHandle();

// The address of Name in Module: 10093 (not initialised) without a module, 10022 when absent.
FARPROC BindEntryPoint(HMODULE Module, const char* Name);
// The extension function Identifier of Socket.
FARPROC BindExtension(SOCKET Socket, const char* Name, const GUID& Identifier);

enum class TIdSlotSource { SocketLibrary, ExtensionLibrary, Extension };

// One entry point: bound on its first call, then called directly.
template <class F>
class TIdWinsockSlot {
public:
    constexpr TIdWinsockSlot(const char* AName, TIdSlotSource ASource = TIdSlotSource::SocketLibrary,
                             const GUID* AIdentifier = nullptr)
        : FName(AName), FSource(ASource), FIdentifier(AIdentifier) {}

    template <class... A>
    auto operator()(A... Args) {
        if (!FProc)
            Bind(SocketOf(Args...));
        return FProc(Args...);
    }
    bool Bound() const { return FProc != nullptr; }
    void Unbind() { FProc = nullptr; }
    const char* Name() const { return FName; }

private:
    void Bind(SOCKET Socket) {
        FARPROC P = nullptr;
        switch (FSource) {
        case TIdSlotSource::SocketLibrary: P = BindEntryPoint(SocketLibraryHandle(), FName); break;
        case TIdSlotSource::ExtensionLibrary:
            LoadExtensionLibrary();
            P = BindEntryPoint(ExtensionLibraryHandle(), FName);
            break;
        case TIdSlotSource::Extension: P = BindExtension(Socket, FName, *FIdentifier); break;
        }
        FProc = reinterpret_cast<F>(reinterpret_cast<void*>(P));
    }
    // An extension function is asked of the socket its call is for (for the poll call, of the
    // first entry's socket).
    static SOCKET SocketOf() { return INVALID_SOCKET; }
    template <class First, class... Rest>
    static SOCKET SocketOf(First Arg, Rest...) {
        if constexpr (std::is_same_v<First, SOCKET>)
            return Arg;
        else if constexpr (std::is_same_v<First, LPWSAPOLLFD>)
            return Arg ? Arg->fd : INVALID_SOCKET;
        else
            return INVALID_SOCKET;
    }

    const char* FName;
    TIdSlotSource FSource;
    const GUID* FIdentifier;
    F FProc = nullptr;
};

namespace IdWinsock2 {
#define SOCKET_LIBRARY_SLOTS(X)                                                                                 \
    X(accept) X(bind) X(closesocket) X(connect) X(ioctlsocket) X(getpeername) X(getsockname) X(getsockopt)      \
    X(htonl) X(htons) X(inet_addr) X(inet_ntoa) X(listen) X(ntohl) X(ntohs) X(recv) X(recvfrom) X(select)      \
    X(send) X(sendto) X(setsockopt) X(shutdown) X(socket) X(gethostbyaddr) X(gethostbyname) X(gethostname)     \
    X(getservbyport) X(getservbyname) X(getprotobynumber) X(getprotobyname) X(__WSAFDIsSet) X(WSAStartup)      \
    X(WSACleanup) X(WSASetLastError) X(WSAGetLastError) X(WSAIsBlocking) X(WSAUnhookBlockingHook)               \
    X(WSASetBlockingHook) X(WSACancelBlockingCall) X(WSAAsyncGetServByName) X(WSAAsyncGetServByPort)            \
    X(WSAAsyncGetProtoByName) X(WSAAsyncGetProtoByNumber) X(WSAAsyncGetHostByName) X(WSAAsyncGetHostByAddr)     \
    X(WSACancelAsyncRequest) X(WSAAsyncSelect) X(WSAAccept) X(WSACloseEvent) X(WSAConnect) X(WSACreateEvent)    \
    X(WSAEnumNetworkEvents) X(WSAEventSelect) X(WSAGetOverlappedResult) X(WSAGetQOSByName) X(WSAHtonl)          \
    X(WSAHtons) X(WSAIoctl) X(WSAJoinLeaf) X(WSANtohl) X(WSANtohs) X(WSARecv) X(WSARecvDisconnect)              \
    X(WSARecvFrom) X(WSAResetEvent) X(WSASend) X(WSASendDisconnect) X(WSASendTo) X(WSASetEvent)                 \
    X(WSAWaitForMultipleEvents) X(WSANSPIoctl) X(WSALookupServiceEnd) X(WSARemoveServiceClass)                  \
    X(WSAProviderConfigChange) X(WSADuplicateSocketA) X(WSADuplicateSocketW) X(WSAEnumProtocolsA)               \
    X(WSAEnumProtocolsW) X(WSASocketA) X(WSASocketW) X(WSAAddressToStringA) X(WSAAddressToStringW)              \
    X(WSAStringToAddressA) X(WSAStringToAddressW) X(WSALookupServiceBeginA) X(WSALookupServiceBeginW)           \
    X(WSALookupServiceNextA) X(WSALookupServiceNextW) X(WSAInstallServiceClassA) X(WSAInstallServiceClassW)     \
    X(WSAGetServiceClassInfoA) X(WSAGetServiceClassInfoW) X(WSAEnumNameSpaceProvidersA)                          \
    X(WSAEnumNameSpaceProvidersW) X(WSAGetServiceClassNameByClassIdA) X(WSAGetServiceClassNameByClassIdW)       \
    X(WSASetServiceA) X(WSASetServiceW)

#define DECLARE_SOCKET_SLOT(Name) extern TIdWinsockSlot<decltype(&::Name)> Name;
SOCKET_LIBRARY_SLOTS(DECLARE_SOCKET_SLOT)
#undef DECLARE_SOCKET_SLOT

extern TIdWinsockSlot<decltype(&::WSARecvEx)> WSARecvEx;
extern TIdWinsockSlot<LPFN_ACCEPTEX> AcceptEx;
extern TIdWinsockSlot<LPFN_GETACCEPTEXSOCKADDRS> GetAcceptExSockaddrs;
extern TIdWinsockSlot<LPFN_TRANSMITFILE> TransmitFile;
extern TIdWinsockSlot<LPFN_CONNECTEX> ConnectEx;
extern TIdWinsockSlot<LPFN_DISCONNECTEX> DisconnectEx;
extern TIdWinsockSlot<LPFN_WSARECVMSG> WSARecvMsg;
extern TIdWinsockSlot<LPFN_TRANSMITPACKETS> TransmitPackets;
extern TIdWinsockSlot<LPFN_WSASENDMSG> WSASendMsg;
extern TIdWinsockSlot<LPFN_WSAPOLL> WSAPoll;

// Every slot back to its binding stub (after the library was unloaded).
void UnbindAllSlots();
}  // namespace IdWinsock2

extern IN6_ADDR in6addr_any_value;
extern IN6_ADDR in6addr_loopback_value;

// Descriptor sets and the control messages of the receive-message call.
bool IdFDIsSet(SOCKET Socket, fd_set* Set);
inline void IdFDZero(fd_set* Set) { Set->fd_count = 0; }
// Headers and data are aligned to the platform's natural alignment: the pointer's width (4 or 8).
inline constexpr size_t IdCMsgAlignment = sizeof(ULONG_PTR);
inline constexpr size_t IdCMsgAlign(size_t Length) { return (Length + IdCMsgAlignment - 1) & ~(IdCMsgAlignment - 1); }
inline constexpr size_t IdCMsgHeaderLength = IdCMsgAlign(sizeof(WSACMSGHDR));  // 12 or 16
inline size_t IdCMsgLength(size_t DataLength) { return DataLength + IdCMsgHeaderLength; }
WSACMSGHDR* IdCMsgFirstHeader(const WSAMSG* Msg);
WSACMSGHDR* IdCMsgNextHeader(const WSAMSG* Msg, const WSACMSGHDR* Header);
inline Byte* IdCMsgData(WSACMSGHDR* Header) { return reinterpret_cast<Byte*>(Header) + IdCMsgHeaderLength; }

// Start-up: the two IPv6 address constants; no library is loaded.
void IdWinsock2Initialization();
