#include "IdStack.h"

#include "IdWinsock2.h"

#include <algorithm>
#include <vector>

TIdCriticalSection* GStackCriticalSection = nullptr;

int AddressFamilyOf(TIdIPVersion IPVersion) {
    switch (IPVersion) {
    case Id_IPv4: return Id_PF_INET4;
    case Id_IPv6: return Id_PF_INET6;
    }
    throw EIdIPVersionUnsupported(IdResourceStrings::RSIPVersionUnsupported);
}

namespace {
const char* SocketErrorText(int Code) {
    switch (Code) {
    case 10004: return "Interrupted system call.";
    case 10009: return "Bad file number.";
    case 10013: return "Access denied.";
    case 10014: return "Buffer fault.";
    case 10022: return "Invalid argument.";
    case 10024: return "Too many open files.";
    case 10035: return "Operation would block.";
    case 10036: return "Operation now in progress.";
    case 10037: return "Operation already in progress.";
    case 10038: return "Socket operation on non-socket.";
    case 10039: return "Destination address required.";
    case 10040: return "Message too long.";
    case 10041: return "Protocol wrong type for socket.";
    case 10042: return "Bad protocol option.";
    case 10043: return "Protocol not supported.";
    case 10044: return "Socket type not supported.";
    case 10045: return "Operation not supported on socket.";
    case 10046: return "Protocol family not supported.";
    case 10047: return "Address family not supported by protocol family.";
    case 10048: return "Address already in use.";
    case 10049: return "Cannot assign requested address.";
    case 10050: return "Network is down.";
    case 10051: return "Network is unreachable.";
    case 10052: return "Net dropped connection or reset.";
    case 10053: return "Software caused connection abort.";
    case 10054: return "Connection reset by peer.";
    case 10055: return "No buffer space available.";
    case 10056: return "Socket is already connected.";
    case 10057: return "Socket is not connected.";
    case 10058: return "Cannot send or receive after socket is closed.";
    case 10059: return "Too many references, cannot splice.";
    case 10060: return "Connection timed out.";
    case 10061: return "Connection refused.";
    case 10062: return "Too many levels of symbolic links.";
    case 10063: return "File name too long.";
    case 10064: return "Host is down.";
    case 10065: return "No route to host.";
    case 10066: return "Directory not empty";
    default: return "";
    }
}

int DecimalField(const std::string& Field) {
    const std::string T = Trim(Field);
    const LongInt V = StrToInt(T);  // a field that is no number raises the conversion error
    // A field beyond a byte would stand for another address than the text says.
    if (V < 0 || V > 255)
        throw EConvertError(Format(SysConsts::SInvalidInteger, {T}));
    return V;
}
}  // namespace

std::string TIdStack::WSTranslateSocketErrorMsg(int ErrorCode) {
    return FormatEnglish(IdResourceStrings::RSStackError, {ErrorCode, std::string(SocketErrorText(ErrorCode))});
}

void TIdStack::RaiseSocketError(int ErrorCode) {
    if (ErrorCode == WSAENOTSOCK)
        throw EIdNotASocket(WSTranslateSocketErrorMsg(ErrorCode), ErrorCode);
    throw EIdSocketError(WSTranslateSocketErrorMsg(ErrorCode), ErrorCode);
}

int TIdStack::CheckForSocketError(int Result) {
    if (Result == Id_SOCKET_ERROR)
        RaiseLastSocketError();
    return Result;
}

int TIdStack::CheckForSocketError(int Result, std::initializer_list<int> Ignore) {
    if (Result != Id_SOCKET_ERROR)
        return 0;
    const int Code = WSGetLastError();
    if (std::find(Ignore.begin(), Ignore.end(), Code) == Ignore.end())
        RaiseSocketError(Code);
    return Code;
}

Word TIdStack::HostToNetwork(Word Value) { return static_cast<Word>((Value >> 8) | (Value << 8)); }

std::uint32_t TIdStack::HostToNetwork(std::uint32_t Value) { return __builtin_bswap32(Value); }

std::uint64_t TIdStack::HostToNetwork(std::uint64_t Value) {
    return (static_cast<std::uint64_t>(HostToNetwork(static_cast<std::uint32_t>(Value))) << 32) |
           HostToNetwork(static_cast<std::uint32_t>(Value >> 32));
}

TIdIPv6Address TIdStack::HostToNetwork(const TIdIPv6Address& Value) {
    TIdIPv6Address R;
    for (size_t I = 0; I < R.size(); ++I)
        R[I] = HostToNetwork(Value[I]);
    return R;
}

Word TIdStack::CalcCheckSum(const TIdBytes& Data) {
    std::uint32_t Sum = 0;
    size_t I = 0;
    for (; I + 1 < Data.size(); I += 2) {
        Word W;
        std::memcpy(&W, &Data[I], 2);
        Sum += W;
    }
    if (I < Data.size())
        Sum += Data[I];
    Sum = (Sum >> 16) + (Sum & 0xFFFF);
    Sum += Sum >> 16;
    return static_cast<Word>(~Sum);
}

void TIdStack::WriteChecksum(TIdBytes& Data, int Offset, TIdIPVersion IPVersion) {
    if (IPVersion != Id_IPv4)
        throw EIdIPVersionUnsupported(IdResourceStrings::RSIPVersionUnsupported);
    StoreWord(Data, 0, Offset);
    StoreWord(Data, CalcCheckSum(Data), Offset);
}

void TIdStack::WriteChecksum(TIdStackSocketHandle Socket, TIdBytes& Data, int Offset, const std::string& IP, Word Port,
                             TIdIPVersion IPVersion) {
    if (IPVersion != Id_IPv6) {
        WriteChecksum(Data, Offset, IPVersion);
        return;
    }
    constexpr Byte NextHeaderICMPv6 = 58;
    const IN6_ADDR Source = RouteSourceIPv6(Socket, IP, Port);
    const IN6_ADDR Destination = TranslateStringToTIn6Addr(IP);
    const std::uint32_t Length = static_cast<std::uint32_t>(Data.size());
    TIdBytes Summed(40);
    std::memcpy(&Summed[0], &Source, 16);
    std::memcpy(&Summed[16], &Destination, 16);
    for (int I = 0; I < 4; ++I)
        Summed[32 + I] = static_cast<Byte>(Length >> (24 - 8 * I));
    Summed[39] = NextHeaderICMPv6;
    StoreWord(Data, 0, Offset);
    // The pseudo-header is 40 bytes long, so the packet's words keep their alignment after it.
    Summed.insert(Summed.end(), Data.begin(), Data.end());
    StoreWord(Data, CalcCheckSum(Summed), Offset);
}

bool TIdStack::IsValidIPv4(const std::string& IP) {
    std::string S = IP;
    for (int I = 0; I < 4; ++I) {
        const std::string Field = FetchToken(S, ".");
        if (Field.empty() || Field.size() > 3 || Field.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(Field) > 255)
            return false;
        if (I < 3 && S.empty())
            return false;
    }
    return S.empty() && IP.back() != '.';
}

bool TIdStack::IsValidIPv4MulticastGroup(const std::string& IP) {
    if (!IsValidIPv4(IP))
        return false;
    const int First = std::stoi(IP.substr(0, IP.find('.')));
    return First >= 224 && First <= 239;
}

bool TIdStack::IsValidIPv6MulticastGroup(const std::string& IP) {
    const std::string C = CanonicalIPv6(IP);
    return C.size() >= 2 && (C[0] == 'F' || C[0] == 'f') && (C[1] == 'F' || C[1] == 'f');
}

in_addr TIdStack::TranslateStringToTInAddr(const std::string& IP) {
    std::string S = IP;
    in_addr A{};
    A.S_un.S_un_b.s_b1 = static_cast<u_char>(DecimalField(FetchToken(S, ".")));
    A.S_un.S_un_b.s_b2 = static_cast<u_char>(DecimalField(FetchToken(S, ".")));
    A.S_un.S_un_b.s_b3 = static_cast<u_char>(DecimalField(FetchToken(S, ".")));
    A.S_un.S_un_b.s_b4 = static_cast<u_char>(DecimalField(S));
    return A;
}

std::string TIdStack::TranslateTInAddrToString(const in_addr& A) {
    return std::to_string(A.S_un.S_un_b.s_b1) + "." + std::to_string(A.S_un.S_un_b.s_b2) + "." +
           std::to_string(A.S_un.S_un_b.s_b3) + "." + std::to_string(A.S_un.S_un_b.s_b4);
}

IN6_ADDR TIdStack::TranslateStringToTIn6Addr(const std::string& IP) {
    TIdIPv6Address Groups;
    ParseIPv6OrRaise(IP, Groups);
    Groups = HostToNetwork(Groups);
    IN6_ADDR A{};
    std::memcpy(&A, Groups.data(), 16);
    return A;
}

std::string TIdStack::TranslateTIn6AddrToString(const IN6_ADDR& A) {
    TIdIPv6Address Groups;
    std::memcpy(Groups.data(), &A, 16);
    Groups = NetworkToHost(Groups);
    std::string R;
    for (size_t I = 0; I < Groups.size(); ++I)
        R += (I ? ":" : "") + IntToHex(Groups[I], 1);
    return R;
}

bool TIdSocketList::Select(TIdSocketList* ReadList, TIdSocketList* WriteList, TIdSocketList* ExceptList, int TimeOut) {
    TIdSocketList* Lists[] = {ReadList, WriteList, ExceptList};
    for (TIdSocketList* L : Lists)
        if (L)
            return L->SelectAmong(ReadList, WriteList, ExceptList, TimeOut);
    return false;
}

void IdStackInitialization() {
    if (!GStackCriticalSection)
        GStackCriticalSection = Create<TIdCriticalSection>();
}
