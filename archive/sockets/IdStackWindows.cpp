#include "IdStackWindows.h"

#include "IdWship6.h"

#include <algorithm>
#include <cstring>

namespace W = IdWinsock2;

namespace {
TIdStackWindows* CurrentWindowsStack = nullptr;

class TCriticalSectionGuard {
public:
    explicit TCriticalSectionGuard(TCriticalSection& ASection) : FSection(ASection) { FSection.Enter(); }
    ~TCriticalSectionGuard() { FSection.Leave(); }
    TCriticalSectionGuard(const TCriticalSectionGuard&) = delete;
    TCriticalSectionGuard& operator=(const TCriticalSectionGuard&) = delete;

private:
    TCriticalSection& FSection;
};

bool StackInitialized = false;

timeval* TimeValOf(int TimeOut, timeval& TV) {
    if (TimeOut == -2)
        return nullptr;
    TV.tv_sec = TimeOut / 1000;
    TV.tv_usec = (TimeOut % 1000) * 1000;
    return &TV;
}
}  // namespace

TIdStackWindows::TIdStackWindows() {
    if (!StackInitialized) {
        try {
            LoadSocketLibrary();
            LoadIPv6Helpers();
        } catch (const Exception& E) {
            throw EIdStackInitializationFailed(E.Message());
        }
        StackInitialized = true;
    }
    CurrentWindowsStack = this;
}

TIdStackWindows::~TIdStackWindows() {
    if (CurrentWindowsStack == this)
        CurrentWindowsStack = nullptr;
}

TIdStackWindows* GWindowsStack() { return CurrentWindowsStack; }

TIdServeFileProc GServeFileProc = nullptr;

namespace {
using TGetFileSizeEx = BOOL(WINAPI*)(HANDLE, PLARGE_INTEGER);
TGetFileSizeEx GetFileSizeExProc = nullptr;

Int64 ServeFile(TIdStackSocketHandle Socket, const std::string& FileName) {
    HANDLE File = CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        RaiseLastOSError();
    Int64 Size = 0;
    try {
        if (!W::TransmitFile(Socket, File, 0, 0, nullptr, nullptr, 0)) {
            if (TIdStack* Stack = GWindowsStack())
                Stack->RaiseLastSocketError();
            throw EIdSocketError("TransmitFile", W::WSAGetLastError());
        }
        LARGE_INTEGER Large{};
        if (GetFileSizeExProc && GetFileSizeExProc(File, &Large))
            Size = Large.QuadPart;
        else
            Size = GetFileSize(File, nullptr);
    } catch (...) {
        CloseHandle(File);
        throw;
    }
    CloseHandle(File);
    return Size;
}
}  // namespace

void IdStackWindowsInitialization() {
    if (Win32Platform != VER_PLATFORM_WIN32_NT)
        return;
    GetFileSizeExProc = reinterpret_cast<TGetFileSizeEx>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("Kernel32.dll"), "GetFileSizeEx")));
    GServeFileProc = ServeFile;
}

void IdStackWindowsFinalization() {
    if (!StackInitialized)
        return;
    UnloadIPv6Helpers();
    UnloadSocketLibraries();
    StackInitialized = false;
}

int TIdStackWindows::FillAddress(sockaddr_storage& Address, const std::string& IP, Word Port, TIdIPVersion IPVersion) {
    Address = sockaddr_storage{};
    if (AddressFamilyOf(IPVersion) == Id_PF_INET4) {
        auto& A = reinterpret_cast<sockaddr_in&>(Address);
        A.sin_family = AF_INET;
        if (!IP.empty())
            A.sin_addr = TranslateStringToTInAddr(IP);
        A.sin_port = W::htons(Port);
        return sizeof(sockaddr_in);
    }
    auto& A = reinterpret_cast<sockaddr_in6&>(Address);
    A.sin6_family = AF_INET6;
    if (!IP.empty())
        A.sin6_addr = TranslateStringToTIn6Addr(IP);
    A.sin6_port = W::htons(Port);
    return sizeof(sockaddr_in6);
}

void TIdStackWindows::ReadAddress(const sockaddr_storage& Address, std::string& IP, Word& Port, TIdIPVersion& IPVersion) {
    if (Address.ss_family == AF_INET) {
        const auto& A = reinterpret_cast<const sockaddr_in&>(Address);
        IP = TranslateTInAddrToString(A.sin_addr);
        Port = W::ntohs(A.sin_port);
        IPVersion = Id_IPv4;
    } else if (Address.ss_family == AF_INET6) {
        const auto& A = reinterpret_cast<const sockaddr_in6&>(Address);
        IP = TranslateTIn6AddrToString(A.sin6_addr);
        Port = W::ntohs(A.sin6_port);
        IPVersion = Id_IPv6;
    } else {
        throw EIdIPVersionUnsupported(IdResourceStrings::RSIPVersionUnsupported);
    }
}

std::string TIdStackWindows::HostByName(const std::string& HostName, TIdIPVersion IPVersion) {
    if (GIdIPv6FuncsAvailable()) {
        addrinfo Hints{};
        Hints.ai_family = AddressFamilyOf(IPVersion);
        Hints.ai_socktype = SOCK_STREAM;
        addrinfo* Result = nullptr;
        const int R = IdWship6::getaddrinfo(HostName.c_str(), nullptr, &Hints, &Result);
        if (R != 0)
            RaiseSocketError(GaiToSocketError(R));
        sockaddr_storage S{};
        std::memcpy(&S, Result->ai_addr, std::min<size_t>(Result->ai_addrlen, sizeof S));
        IdWship6::freeaddrinfo(Result);
        std::string IP;
        Word Port;
        TIdIPVersion V;
        ReadAddress(S, IP, Port, V);
        return IP;
    }
    if (IPVersion == Id_IPv6)
        throw EIdIPv6Unavailable(IdResourceStrings::RSIPv6Unavailable);
    AddressFamilyOf(IPVersion);
    hostent* H = W::gethostbyname(HostName.c_str());
    if (!H || !H->h_addr_list || !H->h_addr_list[0])
        RaiseLastSocketError();
    return TranslateTInAddrToString(*reinterpret_cast<in_addr*>(H->h_addr_list[0]));
}

std::string TIdStackWindows::HostName() {
    char Buffer[251] = {};
    CheckForSocketError(W::gethostname(Buffer, 250));
    return Buffer;
}

void TIdStackWindows::PopulateLocalAddresses() {
    FLocalAddresses->Clear();
    const std::string Name = HostName();
    if (GIdIPv6FuncsAvailable()) {
        addrinfo Hints{};
        Hints.ai_family = AF_INET;
        Hints.ai_socktype = SOCK_STREAM;
        addrinfo* Result = nullptr;
        if (IdWship6::getaddrinfo(Name.c_str(), nullptr, &Hints, &Result) == 0) {
            for (addrinfo* A = Result; A; A = A->ai_next)
                FLocalAddresses->Add(TranslateTInAddrToString(reinterpret_cast<sockaddr_in*>(A->ai_addr)->sin_addr));
            IdWship6::freeaddrinfo(Result);
        }
        return;
    }
    if (hostent* H = W::gethostbyname(Name.c_str()))
        for (char** P = H->h_addr_list; P && *P; ++P)
            FLocalAddresses->Add(TranslateTInAddrToString(*reinterpret_cast<in_addr*>(*P)));
}

TIdStackSocketHandle TIdStackWindows::Accept(TIdStackSocketHandle Socket, std::string& IP, Word& Port,
                                             TIdIPVersion& IPVersion) {
    sockaddr_storage Address{};
    int Length = sizeof Address;
    TIdStackSocketHandle Result = W::accept(Socket, reinterpret_cast<sockaddr*>(&Address), &Length);
    if (Result == Id_INVALID_SOCKET)
        return Result;
    if (Address.ss_family != AF_INET && Address.ss_family != AF_INET6) {
        W::closesocket(Result);
        throw EIdIPVersionUnsupported(IdResourceStrings::RSIPVersionUnsupported);
    }
    ReadAddress(Address, IP, Port, IPVersion);
    return Result;
}

void TIdStackWindows::Bind(TIdStackSocketHandle Socket, const std::string& IP, Word Port, TIdIPVersion IPVersion) {
    sockaddr_storage Address;
    const int Length = FillAddress(Address, IP, Port, IPVersion);
    CheckForSocketError(W::bind(Socket, reinterpret_cast<sockaddr*>(&Address), Length));
}

void TIdStackWindows::Connect(TIdStackSocketHandle Socket, const std::string& IP, Word Port, TIdIPVersion IPVersion) {
    sockaddr_storage Address;
    const int Length = FillAddress(Address, IP, Port, IPVersion);
    CheckForSocketError(W::connect(Socket, reinterpret_cast<sockaddr*>(&Address), Length));
}

void TIdStackWindows::Disconnect(TIdStackSocketHandle Socket) {
    WSShutdown(Socket, SD_SEND);
    WSCloseSocket(Socket);
}

int TIdStackWindows::IOControl(TIdStackSocketHandle Socket, std::uint32_t Command, std::uint32_t& Value) {
    u_long Argument = Value;
    const int R = CheckForSocketError(W::ioctlsocket(Socket, static_cast<long>(Command), &Argument));
    Value = static_cast<std::uint32_t>(Argument);
    return R;
}

IN6_ADDR TIdStackWindows::RouteSourceIPv6(TIdStackSocketHandle Socket, const std::string& IP, Word Port) {
    constexpr DWORD RoutingInterfaceQuery = 0xC8000014;
    sockaddr_storage Destination;
    const int Length = FillAddress(Destination, IP, Port, Id_IPv6);
    sockaddr_storage Source{};
    DWORD Returned = 0;
    CheckForSocketError(W::WSAIoctl(Socket, RoutingInterfaceQuery, &Destination, static_cast<DWORD>(Length), &Source,
                                    static_cast<DWORD>(sizeof Source), &Returned, nullptr, nullptr));
    if (Source.ss_family != AF_INET6)
        throw EIdIPVersionUnsupported(IdResourceStrings::RSIPVersionUnsupported);
    return reinterpret_cast<const sockaddr_in6&>(Source).sin6_addr;
}

void TIdStackWindows::GetPeerName(TIdStackSocketHandle Socket, std::string& IP, Word& Port, TIdIPVersion& IPVersion) {
    sockaddr_storage Address{};
    int Length = sizeof Address;
    CheckForSocketError(W::getpeername(Socket, reinterpret_cast<sockaddr*>(&Address), &Length));
    ReadAddress(Address, IP, Port, IPVersion);
}

void TIdStackWindows::GetSocketName(TIdStackSocketHandle Socket, std::string& IP, Word& Port, TIdIPVersion& IPVersion) {
    sockaddr_storage Address{};
    int Length = sizeof Address;
    CheckForSocketError(W::getsockname(Socket, reinterpret_cast<sockaddr*>(&Address), &Length));
    ReadAddress(Address, IP, Port, IPVersion);
}

std::string TIdStackWindows::HostByAddress(const std::string& Address, TIdIPVersion IPVersion) {
    if (GIdIPv6FuncsAvailable()) {
        addrinfo Hints{};
        Hints.ai_family = AddressFamilyOf(IPVersion);
        Hints.ai_flags = AI_NUMERICHOST;
        Hints.ai_socktype = SOCK_STREAM;
        addrinfo* Result = nullptr;
        int R = IdWship6::getaddrinfo(Address.c_str(), nullptr, &Hints, &Result);
        if (R != 0)
            RaiseSocketError(GaiToSocketError(R));
        char Host[1025] = {};
        R = IdWship6::getnameinfo(Result->ai_addr, static_cast<socklen_t>(Result->ai_addrlen), Host, sizeof Host,
                                  nullptr, 0, NI_NAMEREQD);
        IdWship6::freeaddrinfo(Result);
        if (R != 0)
            RaiseSocketError(GaiToSocketError(R));
        return Host;
    }
    if (IPVersion == Id_IPv6)
        throw EIdIPv6Unavailable(IdResourceStrings::RSIPv6Unavailable);
    const in_addr A = TranslateStringToTInAddr(Address);
    hostent* H = W::gethostbyaddr(reinterpret_cast<const char*>(&A), sizeof A, AF_INET);
    if (!H)
        RaiseLastSocketError();
    return H->h_name;
}

void TIdStackWindows::Listen(TIdStackSocketHandle Socket, int Backlog) { CheckForSocketError(W::listen(Socket, Backlog)); }

int TIdStackWindows::WSGetLastError() { return W::WSAGetLastError(); }

void TIdStackWindows::WSSetLastError(int ErrorCode) { W::WSASetLastError(ErrorCode); }

std::string TIdStackWindows::WSTranslateSocketErrorMsg(int ErrorCode) {
    if (ErrorCode == WSAHOST_NOT_FOUND)
        return FormatEnglish(IdResourceStrings::RSStackError, {ErrorCode, std::string("Host not found.")});
    return TIdStackBSDBase::WSTranslateSocketErrorMsg(ErrorCode);
}

TIdStackSocketHandle TIdStackWindows::NewSocketHandle(int SocketType, int Protocol, TIdIPVersion IPVersion,
                                                      bool Overlapped) {
    TIdStackSocketHandle S = WSSocket(AddressFamilyOf(IPVersion), SocketType, Protocol, Overlapped);
    if (S == Id_INVALID_SOCKET)
        RaiseLastSocketError();
    return S;
}

void TIdStackWindows::GetSocketOption(TIdStackSocketHandle Socket, int Level, int OptName, int& Value) {
    int Length = sizeof Value;
    GetSocketOptionBuffer(Socket, Level, OptName, &Value, Length);
}

void TIdStackWindows::SetSocketOption(TIdStackSocketHandle Socket, int Level, int OptName, int Value) {
    SetSocketOptionBuffer(Socket, Level, OptName, &Value, sizeof Value);
}

int TIdStackWindows::Receive(TIdStackSocketHandle Socket, TIdBytes& Buffer) {
    return CheckForSocketError(WSRecv(Socket, Buffer.data(), static_cast<int>(Buffer.size()), 0));
}

int TIdStackWindows::Send(TIdStackSocketHandle Socket, const TIdBytes& Buffer, int Offset, int Count) {
    const int N = BytesAvailable(Buffer, Offset, Count);
    if (N <= 0)
        return 0;
    return CheckForSocketError(WSSend(Socket, Buffer.data() + Offset, N, 0));
}

int TIdStackWindows::ReceiveFrom(TIdStackSocketHandle Socket, TIdBytes& Buffer, std::string& IP, Word& Port,
                                 TIdIPVersion& IPVersion) {
    return RecvFrom(Socket, Buffer.data(), static_cast<int>(Buffer.size()), 0, IP, Port, IPVersion);
}

void TIdStackWindows::SendTo(TIdStackSocketHandle Socket, const TIdBytes& Buffer, int Offset, int Count,
                             const std::string& IP, Word Port, TIdIPVersion IPVersion) {
    const int N = BytesAvailable(Buffer, Offset, Count);
    WSSendTo(Socket, Buffer.data() + Offset, N, 0, IP, Port, IPVersion);
}

int TIdStackWindows::ReceiveMsg(TIdStackSocketHandle Socket, TIdBytes& Buffer, TIdPacketInfo& Info) {
    Info = TIdPacketInfo{};
    if (!(Win32MajorVersion > 5 || (Win32MajorVersion == 5 && Win32MinorVersion >= 1)))
        return ReceiveFrom(Socket, Buffer, Info.SourceIP, Info.SourcePort, Info.SourceIPVersion);
    sockaddr_storage From{};
    alignas(8) char Control[256] = {};
    WSABUF Data{static_cast<ULONG>(Buffer.size()), reinterpret_cast<char*>(Buffer.data())};
    WSAMSG Msg{};
    Msg.name = reinterpret_cast<sockaddr*>(&From);
    Msg.namelen = sizeof From;
    Msg.lpBuffers = &Data;
    Msg.dwBufferCount = 1;
    Msg.Control.buf = Control;
    Msg.Control.len = sizeof Control;
    DWORD Received = 0;
    CheckForSocketError(W::WSARecvMsg(Socket, &Msg, &Received, nullptr, nullptr));
    ReadAddress(From, Info.SourceIP, Info.SourcePort, Info.SourceIPVersion);
    for (WSACMSGHDR* H = IdCMsgFirstHeader(&Msg); H; H = IdCMsgNextHeader(&Msg, H)) {
        if (H->cmsg_type == IP_PKTINFO && H->cmsg_level == IPPROTO_IP) {
            const auto* P = reinterpret_cast<const IN_PKTINFO*>(IdCMsgData(H));
            Info.DestIP = TranslateTInAddrToString(P->ipi_addr);
            Info.DestIF = P->ipi_ifindex;
        } else if (H->cmsg_type == IP_PKTINFO && H->cmsg_level == IPPROTO_IPV6) {
            const auto* P = reinterpret_cast<const IN6_PKTINFO*>(IdCMsgData(H));
            Info.DestIP = TranslateTIn6AddrToString(P->ipi6_addr);
            Info.DestIF = P->ipi6_ifindex;
        } else if (H->cmsg_type == 21) {
            Info.TTL = *IdCMsgData(H);
        }
    }
    return static_cast<int>(Received);
}

bool TIdStackWindows::SupportsIPv6() {
    DWORD Size = 0;
    W::WSAEnumProtocolsA(nullptr, nullptr, &Size);
    std::vector<Byte> Buffer(Size);
    auto* Protocols = reinterpret_cast<WSAPROTOCOL_INFOA*>(Buffer.data());
    const int N = Size ? W::WSAEnumProtocolsA(nullptr, Protocols, &Size) : 0;
    for (int I = 0; I < N; ++I)
        if (Protocols[I].iAddressFamily == Id_PF_INET6)
            return true;
    return false;
}

void TIdStackWindows::SetMulticastTTL(TIdStackSocketHandle Socket, Byte TTL, TIdIPVersion IPVersion) {
    SetSocketOption(Socket, IPVersion == Id_IPv6 ? IPPROTO_IPV6 : IPPROTO_IP, 10, TTL);
}

void TIdStackWindows::SetLoopBack(TIdStackSocketHandle Socket, bool LoopBack, TIdIPVersion IPVersion) {
    SetSocketOption(Socket, IPVersion == Id_IPv6 ? IPPROTO_IPV6 : IPPROTO_IP, 11, LoopBack ? 1 : 0);
}

bool TIdStackWindows::ChangeMembership(TIdStackSocketHandle Socket, const std::string& GroupIP, TIdIPVersion IPVersion,
                                       bool Join) {
    const int Option = Join ? 12 : 13;
    if (IPVersion == Id_IPv4 && IsValidIPv4MulticastGroup(GroupIP)) {
        ip_mreq Request{};
        Request.imr_multiaddr = TranslateStringToTInAddr(GroupIP);
        SetSocketOptionBuffer(Socket, IPPROTO_IP, Option, &Request, sizeof Request);
        return true;
    }
    if (IPVersion == Id_IPv6 && IsValidIPv6MulticastGroup(GroupIP)) {
        ipv6_mreq Request{};
        Request.ipv6mr_multiaddr = TranslateStringToTIn6Addr(GroupIP);
        SetSocketOptionBuffer(Socket, IPPROTO_IPV6, Option, &Request, sizeof Request);
        return true;
    }
    return false;
}

bool TIdStackWindows::DropMulticastMembership(TIdStackSocketHandle Socket, const std::string& GroupIP,
                                              TIdIPVersion IPVersion) {
    return ChangeMembership(Socket, GroupIP, IPVersion, false);
}

bool TIdStackWindows::AddMulticastMembership(TIdStackSocketHandle Socket, const std::string& GroupIP,
                                             TIdIPVersion IPVersion) {
    return ChangeMembership(Socket, GroupIP, IPVersion, true);
}

int TIdStackWindows::WSCloseSocket(TIdStackSocketHandle Socket) { return W::closesocket(Socket); }

int TIdStackWindows::WSRecv(TIdStackSocketHandle Socket, void* Buffer, int Length, int Flags) {
    return W::recv(Socket, static_cast<char*>(Buffer), Length, Flags);
}

int TIdStackWindows::WSSend(TIdStackSocketHandle Socket, const void* Buffer, int Length, int Flags) {
    return W::send(Socket, static_cast<const char*>(Buffer), Length, Flags);
}

int TIdStackWindows::WSShutdown(TIdStackSocketHandle Socket, int How) { return W::shutdown(Socket, How); }

bool TIdStackWindows::CheckIPVersionSupport(TIdIPVersion IPVersion) {
    TIdStackSocketHandle S = WSSocket(AddressFamilyOf(IPVersion), SOCK_STREAM, IPPROTO_TCP);
    if (S == Id_INVALID_SOCKET)
        return false;
    WSCloseSocket(S);
    return true;
}

void TIdStackWindows::SetSocketOptionBuffer(TIdStackSocketHandle Socket, int Level, int OptName, const void* Value,
                                            int Length) {
    CheckForSocketError(W::setsockopt(Socket, Level, OptName, static_cast<const char*>(Value), Length));
}

void TIdStackWindows::GetSocketOptionBuffer(TIdStackSocketHandle Socket, int Level, int OptName, void* Value,
                                            int& Length) {
    CheckForSocketError(W::getsockopt(Socket, Level, OptName, static_cast<char*>(Value), &Length));
}

Word TIdStackWindows::WSGetServByName(const std::string& ServiceName) {
    if (servent* S = W::getservbyname(ServiceName.c_str(), nullptr))
        return W::ntohs(static_cast<u_short>(S->s_port));
    LongInt Port = 0;
    if (!TryStrToInt(ServiceName, Port) || Port < 0 || Port > 65535)
        throw EIdInvalidServiceName(Format(IdResourceStrings::RSInvalidServiceName, {ServiceName}));
    return static_cast<Word>(Port);
}

TStrings* TIdStackWindows::WSGetServByPort(Word Port) {
    TOwned<TStringList> Names(Create<TStringList>());
    if (servent* S = W::getservbyport(static_cast<int>(W::htons(Port)), nullptr)) {
        Names->Add(S->s_name);
        for (char** A = S->s_aliases; A && *A; ++A)
            Names->Add(*A);
    }
    return Names.release();
}

int TIdStackWindows::RecvFrom(TIdStackSocketHandle Socket, void* Buffer, int Length, int Flags, std::string& FromIP,
                              Word& FromPort, TIdIPVersion& IPVersion) {
    sockaddr_storage Address{};
    int AddressLength = sizeof Address;
    const int R = CheckForSocketError(
        W::recvfrom(Socket, static_cast<char*>(Buffer), Length, Flags, reinterpret_cast<sockaddr*>(&Address), &AddressLength));
    ReadAddress(Address, FromIP, FromPort, IPVersion);
    return R;
}

void TIdStackWindows::WSSendTo(TIdStackSocketHandle Socket, const void* Buffer, int Length, int Flags,
                               const std::string& IP, Word Port, TIdIPVersion IPVersion) {
    sockaddr_storage Address;
    const int AddressLength = FillAddress(Address, IP, Port, IPVersion);
    const int R = W::sendto(Socket, static_cast<const char*>(Buffer), Length, Flags,
                            reinterpret_cast<sockaddr*>(&Address), AddressLength);
    if (R == Id_SOCKET_ERROR) {
        const int Code = WSGetLastError();
        if (Code == WSAEMSGSIZE)
            throw EIdPackageSizeTooBig(IdResourceStrings::RSPackageSizeTooBig);
        RaiseSocketError(Code);
    }
    if (R != Length)
        throw EIdNotAllBytesSent(IdResourceStrings::RSNotAllBytesSent);
}

TIdStackSocketHandle TIdStackWindows::WSSocket(int Family, int StructType, int Protocol, bool Overlapped) {
    if (Overlapped)
        return W::WSASocketA(Family, StructType, Protocol, nullptr, 0, WSA_FLAG_OVERLAPPED);
    return W::socket(Family, StructType, Protocol);
}

void TIdStackWindows::SetBlocking(TIdStackSocketHandle Socket, bool Blocking) {
    u_long Value = Blocking ? 0 : 1;
    CheckForSocketError(W::ioctlsocket(Socket, static_cast<long>(FIONBIO), &Value));
}

bool TIdStackWindows::WouldBlock(int Result) { return Result == Id_SOCKET_ERROR && WSGetLastError() == WSAEWOULDBLOCK; }

// ---------------------------------------------------------------------------------------------
// Descriptor lists

void TIdSocketListWindows::Add(TIdStackSocketHandle Handle) {
    TCriticalSectionGuard Hold(FLock);
    if (FFDSet.fd_count >= FD_SETSIZE)
        throw EIdStackSetSizeExceeded(IdResourceStrings::RSSetSizeExceeded);
    FFDSet.fd_array[FFDSet.fd_count++] = Handle;
}

void TIdSocketListWindows::Remove(TIdStackSocketHandle Handle) {
    TCriticalSectionGuard Hold(FLock);
    for (u_int I = 0; I < FFDSet.fd_count; ++I)
        if (FFDSet.fd_array[I] == Handle) {
            FFDSet.fd_array[I] = FFDSet.fd_array[--FFDSet.fd_count];
            return;
        }
}

void TIdSocketListWindows::Clear() {
    TCriticalSectionGuard Hold(FLock);
    IdFDZero(&FFDSet);
}

int TIdSocketListWindows::Count() {
    TCriticalSectionGuard Hold(FLock);
    return static_cast<int>(FFDSet.fd_count);
}

TIdStackSocketHandle TIdSocketListWindows::Items(int Index) {
    TCriticalSectionGuard Hold(FLock);
    if (Index < 0 || static_cast<u_int>(Index) >= FFDSet.fd_count)
        throw EIdStackSetSizeExceeded(IdResourceStrings::RSSetSizeExceeded);
    return FFDSet.fd_array[Index];
}

bool TIdSocketListWindows::Contains(TIdStackSocketHandle Handle) {
    TCriticalSectionGuard Hold(FLock);
    return std::find(FFDSet.fd_array, FFDSet.fd_array + FFDSet.fd_count, Handle) != FFDSet.fd_array + FFDSet.fd_count;
}

TIdSocketList* TIdSocketListWindows::Clone() {
    auto* Copy = Create<TIdSocketListWindows>();
    TCriticalSectionGuard Hold(FLock);
    Copy->FFDSet = FFDSet;
    return Copy;
}

bool TIdSocketListWindows::SelectAmong(TIdSocketList* ReadList, TIdSocketList* WriteList, TIdSocketList* ExceptList,
                                       int TimeOut) {
    fd_set Sets[3];
    fd_set* Pointers[3] = {nullptr, nullptr, nullptr};
    TIdSocketList* Lists[3] = {ReadList, WriteList, ExceptList};
    for (int I = 0; I < 3; ++I)
        if (auto* L = DynCast<TIdSocketListWindows>(Lists[I])) {
            TCriticalSectionGuard Hold(L->FLock);
            Sets[I] = L->FFDSet;
            Pointers[I] = &Sets[I];
        }
    timeval TV;
    const int R = W::select(0, Pointers[0], Pointers[1], Pointers[2], TimeValOf(TimeOut, TV));
    if (R == Id_SOCKET_ERROR) {
        if (TIdStack* Stack = GWindowsStack())
            Stack->RaiseLastSocketError();
        throw EIdSocketError("select", W::WSAGetLastError());
    }
    for (int I = 0; I < 3; ++I)
        if (auto* L = DynCast<TIdSocketListWindows>(Lists[I])) {
            TCriticalSectionGuard Hold(L->FLock);
            L->FFDSet = Sets[I];
        }
    return R > 0;
}

bool TIdSocketListWindows::SelectRead(int TimeOut) {
    TOwned<TIdSocketList> Copy(Clone());
    return SelectAmong(Copy.get(), nullptr, nullptr, TimeOut);
}

bool TIdSocketListWindows::SelectReadList(TIdSocketList*& SocketList, int TimeOut) {
    SocketList = Clone();
    return SelectAmong(SocketList, nullptr, nullptr, TimeOut);
}
