#include "IdWinsock2.h"

#include "IdGlobal.h"

namespace {
HMODULE SocketLibrary = nullptr;
HMODULE ExtensionLibrary = nullptr;

const GUID AcceptExID = WSAID_ACCEPTEX;
const GUID GetAcceptExSockaddrsID = WSAID_GETACCEPTEXSOCKADDRS;
const GUID TransmitFileID = WSAID_TRANSMITFILE;
const GUID ConnectExID = WSAID_CONNECTEX;
const GUID DisconnectExID = WSAID_DISCONNECTEX;
const GUID WSARecvMsgID = WSAID_WSARECVMSG;
const GUID TransmitPacketsID = WSAID_TRANSMITPACKETS;
const GUID WSASendMsgID = {0xA441E712, 0x754F, 0x43CA, {0x84, 0xA7, 0x0D, 0xEE, 0x44, 0xCF, 0x60, 0x6D}};
const GUID WSAPollID = {0x18C76F85, 0xDC66, 0x4964, {0x97, 0x2E, 0x23, 0xC2, 0x72, 0x38, 0x31, 0x2B}};

// Loads a library without the system's box for a missing file.
HMODULE SafeLoad(const char* Name) {
    const UINT Old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE M = LoadLibraryA(Name);
    SetErrorMode(Old);
    return M;
}
}  // namespace

EIdWinsockStubError::EIdWinsockStubError(DWORD Code, std::string_view TitleFormat, TVarRecs Args)
    : Win32Error(Code), Title(FormatEnglish(TitleFormat, Args)) {
    if (Code) {
        Win32ErrorMessage = SysErrorMessage(Code);
        SetMessage(Title + ": " + Win32ErrorMessage);
    } else {
        SetMessage(Title);
    }
}

void LoadSocketLibrary() {
    if (SocketLibrary)
        return;
    HMODULE M = SafeLoad(WINSOCK2_DLL);
    if (!M)
        throw EIdWinsockStubError(GetLastError(), IdResourceStrings::RSWinsockLoadError, {WINSOCK2_DLL});
    using TStartup = int(WSAAPI*)(WORD, LPWSADATA);
    auto Startup = reinterpret_cast<TStartup>(reinterpret_cast<void*>(GetProcAddress(M, "WSAStartup")));
    WSADATA Data{};
    const int R = Startup ? Startup(0x0202, &Data) : static_cast<int>(ERROR_PROC_NOT_FOUND);
    if (R != 0) {
        FreeLibrary(M);
        throw EIdWinsockStubError(static_cast<DWORD>(R), IdResourceStrings::RSWinsockLoadError, {WINSOCK2_DLL});
    }
    SocketLibrary = M;
}

void LoadExtensionLibrary() {
    if (ExtensionLibrary)
        return;
    ExtensionLibrary = SafeLoad(MSWSOCK_DLL);
    if (!ExtensionLibrary)
        throw EIdWinsockStubError(GetLastError(), IdResourceStrings::RSWinsockLoadError, {MSWSOCK_DLL});
}

void UnloadSocketLibraries() {
    if (ExtensionLibrary) {
        FreeLibrary(ExtensionLibrary);
        ExtensionLibrary = nullptr;
    }
    if (SocketLibrary) {
        using TCleanup = int(WSAAPI*)();
        if (auto Cleanup = reinterpret_cast<TCleanup>(reinterpret_cast<void*>(GetProcAddress(SocketLibrary, "WSACleanup"))))
            Cleanup();
        FreeLibrary(SocketLibrary);
        SocketLibrary = nullptr;
    }
    // The addresses the slots hold belonged to the libraries just unloaded.
    IdWinsock2::UnbindAllSlots();
}

HMODULE SocketLibraryHandle() { return SocketLibrary; }
bool SocketLibraryLoaded() { return SocketLibrary != nullptr; }
HMODULE ExtensionLibraryHandle() { return ExtensionLibrary; }

FARPROC BindEntryPoint(HMODULE Module, const char* Name) {
    if (!Module)
        throw EIdWinsockStubError(WSANOTINITIALISED, IdResourceStrings::RSWinsockCallError, {Name});
    FARPROC P = GetProcAddress(Module, Name);
    if (!P)
        throw EIdWinsockStubError(WSAEINVAL, IdResourceStrings::RSWinsockCallError, {Name});
    return P;
}

FARPROC BindExtension(SOCKET Socket, const char* Name, const GUID& Identifier) {
    FARPROC P = nullptr;
    DWORD Bytes = 0;
    GUID ID = Identifier;
    if (IdWinsock2::WSAIoctl(Socket, SIO_GET_EXTENSION_FUNCTION_POINTER, &ID, static_cast<DWORD>(sizeof ID), &P,
                             static_cast<DWORD>(sizeof P), &Bytes, nullptr, nullptr) != 0)
        throw EIdWinsockStubError(static_cast<DWORD>(IdWinsock2::WSAGetLastError()), IdResourceStrings::RSWinsockCallError,
                                  {Name});
    return P;
}

namespace IdWinsock2 {
#define DEFINE_SOCKET_SLOT(Name) TIdWinsockSlot<decltype(&::Name)> Name{#Name};
SOCKET_LIBRARY_SLOTS(DEFINE_SOCKET_SLOT)
#undef DEFINE_SOCKET_SLOT

TIdWinsockSlot<decltype(&::WSARecvEx)> WSARecvEx{"WSARecvEx", TIdSlotSource::ExtensionLibrary};
TIdWinsockSlot<LPFN_ACCEPTEX> AcceptEx{"AcceptEx", TIdSlotSource::Extension, &AcceptExID};
TIdWinsockSlot<LPFN_GETACCEPTEXSOCKADDRS> GetAcceptExSockaddrs{"GetAcceptExSockaddrs", TIdSlotSource::Extension,
                                                                &GetAcceptExSockaddrsID};
TIdWinsockSlot<LPFN_TRANSMITFILE> TransmitFile{"TransmitFile", TIdSlotSource::Extension, &TransmitFileID};
TIdWinsockSlot<LPFN_CONNECTEX> ConnectEx{"ConnectEx", TIdSlotSource::Extension, &ConnectExID};
TIdWinsockSlot<LPFN_DISCONNECTEX> DisconnectEx{"DisconnectEx", TIdSlotSource::Extension, &DisconnectExID};
TIdWinsockSlot<LPFN_WSARECVMSG> WSARecvMsg{"WSARecvMsg", TIdSlotSource::Extension, &WSARecvMsgID};
TIdWinsockSlot<LPFN_TRANSMITPACKETS> TransmitPackets{"TransmitPackets", TIdSlotSource::Extension, &TransmitPacketsID};
TIdWinsockSlot<LPFN_WSASENDMSG> WSASendMsg{"WSASendMsg", TIdSlotSource::Extension, &WSASendMsgID};
TIdWinsockSlot<LPFN_WSAPOLL> WSAPoll{"WSAPoll", TIdSlotSource::Extension, &WSAPollID};

void UnbindAllSlots() {
#define UNBIND_SOCKET_SLOT(Name) Name.Unbind();
    SOCKET_LIBRARY_SLOTS(UNBIND_SOCKET_SLOT)
#undef UNBIND_SOCKET_SLOT
    for (auto* S : {&WSARecvEx})
        S->Unbind();
    AcceptEx.Unbind();
    GetAcceptExSockaddrs.Unbind();
    TransmitFile.Unbind();
    ConnectEx.Unbind();
    DisconnectEx.Unbind();
    WSARecvMsg.Unbind();
    TransmitPackets.Unbind();
    WSASendMsg.Unbind();
    WSAPoll.Unbind();
}
}  // namespace IdWinsock2

IN6_ADDR in6addr_any_value{};
IN6_ADDR in6addr_loopback_value{};

bool IdFDIsSet(SOCKET Socket, fd_set* Set) { return IdWinsock2::__WSAFDIsSet(Socket, Set) != 0; }

WSACMSGHDR* IdCMsgFirstHeader(const WSAMSG* Msg) {
    return Msg->Control.len >= IdCMsgHeaderLength ? reinterpret_cast<WSACMSGHDR*>(Msg->Control.buf) : nullptr;
}

WSACMSGHDR* IdCMsgNextHeader(const WSAMSG* Msg, const WSACMSGHDR* Header) {
    if (!Header)
        return IdCMsgFirstHeader(Msg);
    const Byte* Next = reinterpret_cast<const Byte*>(Header) + IdCMsgAlign(Header->cmsg_len);
    const Byte* End = reinterpret_cast<const Byte*>(Msg->Control.buf) + Msg->Control.len;
    if (Next + IdCMsgHeaderLength > End)
        return nullptr;
    return reinterpret_cast<WSACMSGHDR*>(const_cast<Byte*>(Next));
}

void IdWinsock2Initialization() {
    in6addr_any_value = IN6_ADDR{};
    in6addr_loopback_value = IN6_ADDR{};
    in6addr_loopback_value.s6_addr[15] = 1;
}
