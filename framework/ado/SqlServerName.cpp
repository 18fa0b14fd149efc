#include "SqlServerName.h"

#include "TdsErrors.h"
#include "TdsTypes.h"

#include <cstring>

namespace {

[[noreturn]] void InvalidServer() { throw ETdsError(TTdsErrorKind::Config, TdsTextInvalidServer); }
[[noreturn]] void NotFound(const std::string& Detail = {}) {
    throw ETdsError(TTdsErrorKind::Network, Detail.empty() ? TdsTextNotFound : std::string(TdsTextNotFound) + " " + Detail);
}

}  // namespace

std::wstring LocalComputerName() {
    wchar_t Buf[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD N = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(Buf, &N) ? std::wstring(Buf, N) : std::wstring();
}

TSqlServerName ParseSqlServerName(const std::wstring& DataSource) {
    TSqlServerName N;
    std::wstring S = Trim(DataSource);
    size_t Comma = S.find(L',');
    if (Comma != std::wstring::npos) {
        std::wstring P = Trim(S.substr(Comma + 1));
        S = Trim(S.substr(0, Comma));
        unsigned long Port = 0;
        if (P.empty() || P.size() > 5 || P.find_first_not_of(L"0123456789") != std::wstring::npos)
            InvalidServer();
        Port = std::wcstoul(P.c_str(), nullptr, 10);
        if (Port == 0 || Port > 65535)
            InvalidServer();
        N.Port = static_cast<std::uint16_t>(Port);
    }
    size_t Slash = S.find(L'\\');
    if (Slash != std::wstring::npos) {
        N.Instance = Trim(S.substr(Slash + 1));
        S = Trim(S.substr(0, Slash));
        if (N.Instance.empty())
            InvalidServer();
    }
    if (S.empty() && (Comma != std::wstring::npos || Slash != std::wstring::npos))
        InvalidServer();
    N.Host = S.empty() ? L"(local)" : S;
    N.Local = S.empty() || S == L"." || WideSameText(S, L"(local)") || WideSameText(S, LocalComputerName());
    return N;
}

TTdsBytes BuildSsrpInstanceRequest(const std::string& Instance) {
    TTdsBytes R(Instance.size() + 2, 0);
    R[0] = 0x04;
    std::memcpy(R.data() + 1, Instance.data(), Instance.size());
    return R;
}

std::vector<TSsrpInstance> ParseSsrpResponse(const std::uint8_t* Data, size_t Size) {
    std::vector<TSsrpInstance> List;
    if (Size < 3 || Data[0] != 0x05)
        return List;
    size_t Declared = Data[1] | (Data[2] << 8);
    size_t Len = Size - 3 < Declared ? Size - 3 : Declared;
    const char* P = reinterpret_cast<const char*>(Data + 3);
    // Tokens separated by ";"; a record runs from the key "ServerName" to an empty token.
    std::vector<std::string> Tokens;
    size_t Start = 0;
    for (size_t I = 0; I <= Len; ++I)
        if (I == Len || P[I] == ';') {
            Tokens.emplace_back(P + Start, I - Start);
            Start = I + 1;
        }
    TSsrpInstance* Cur = nullptr;
    for (size_t I = 0; I < Tokens.size(); ++I) {
        const std::string& K = Tokens[I];
        if (K.empty()) {
            Cur = nullptr;
            continue;
        }
        if (K == "ServerName") {
            Cur = &List.emplace_back();
        }
        if (!Cur || I + 1 >= Tokens.size())
            continue;
        if (Tokens[I + 1] == "ServerName")
            continue;  // a key whose values ran over the record: the next record starts here
        const std::string& V = Tokens[++I];
        if (K == "ServerName")
            Cur->ServerName = V;
        else if (K == "InstanceName")
            Cur->InstanceName = V;
        else if (K == "Version")
            Cur->Version = V;
        else if (K == "np")
            Cur->Pipe = V;
        else if (K == "tcp") {
            unsigned long Port = V.size() <= 5 && !V.empty() && V.find_first_not_of("0123456789") == std::string::npos
                                     ? std::strtoul(V.c_str(), nullptr, 10)
                                     : 0;
            Cur->TcpPort = Port <= 65535 ? static_cast<std::uint16_t>(Port) : 0;
        }
        if (V.empty())
            Cur = nullptr;  // the value was the record's end
    }
    return List;
}

bool DefaultHostResolver(const std::string& Host, in_addr& Address) {
    unsigned long A = inet_addr(Host.c_str());
    if (A != INADDR_NONE || Host == "255.255.255.255") {
        Address.s_addr = A;
        return true;
    }
    addrinfo Hints{};
    Hints.ai_family = AF_INET;
    Hints.ai_socktype = SOCK_STREAM;
    addrinfo* Res = nullptr;
    if (getaddrinfo(Host.c_str(), nullptr, &Hints, &Res) != 0 || !Res)
        return false;
    Address = reinterpret_cast<sockaddr_in*>(Res->ai_addr)->sin_addr;
    freeaddrinfo(Res);
    return true;
}

namespace {

// Asks the host's resolution service for the instance; 0 when no usable answer came in time.
std::uint16_t AskInstancePort(const in_addr& Host, const std::wstring& Instance, const TTdsDeadline& Deadline,
                              const TSqlResolveOptions& Options) {
    std::string Name = WideToAnsi(Instance);  // the service speaks the system's code page
    if (Name.size() > 32)
        return 0;
    TWinsockUser Winsock;
    SOCKET S = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (S == INVALID_SOCKET)
        return 0;
    sockaddr_in To{};
    To.sin_family = AF_INET;
    To.sin_addr = Host;
    To.sin_port = htons(Options.SsrpPort);
    TTdsBytes Req = BuildSsrpInstanceRequest(Name);
    std::uint16_t Port = 0;
    if (sendto(S, reinterpret_cast<const char*>(Req.data()), static_cast<int>(Req.size()), 0,
               reinterpret_cast<const sockaddr*>(&To), sizeof To) > 0) {
        TTdsDeadline Wait = TTdsDeadline::After(Deadline.Remaining() < Options.SsrpWaitMs ? Deadline.Remaining()
                                                                                            : Options.SsrpWaitMs);
        std::uint8_t Buf[2048];
        while (!Port && !Wait.Passed()) {
            fd_set R;
            FD_ZERO(&R);
            FD_SET(S, &R);
            DWORD Left = Wait.Remaining();
            timeval Tv{static_cast<long>(Left / 1000), static_cast<long>(Left % 1000) * 1000};
            if (select(0, &R, nullptr, nullptr, &Tv) <= 0)
                break;
            sockaddr_in From{};
            int FromLen = sizeof From;
            int N = recvfrom(S, reinterpret_cast<char*>(Buf), sizeof Buf, 0, reinterpret_cast<sockaddr*>(&From), &FromLen);
            // Only the host's own service answers a unicast request; anything else is noise.
            if (N <= 0 || From.sin_addr.s_addr != Host.s_addr || From.sin_port != To.sin_port)
                continue;
            for (const TSsrpInstance& I : ParseSsrpResponse(Buf, static_cast<size_t>(N)))
                if (I.TcpPort && WideSameText(AnsiToWide(I.InstanceName), Instance)) {
                    Port = I.TcpPort;
                    break;
                }
        }
    }
    closesocket(S);
    return Port;
}

}  // namespace

sockaddr_in ResolveSqlServer(const TSqlServerName& Name, const TTdsDeadline& Deadline, const TSqlResolveOptions& Options) {
    sockaddr_in A{};
    A.sin_family = AF_INET;
    if (Name.Local)
        A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    else {
        std::string Host = WideToAnsi(Name.Host);
        TWinsockUser Winsock;
        if (!Options.ResolveHost || !Options.ResolveHost(Host, A.sin_addr))
            NotFound();
    }
    std::uint16_t Port = Name.Port;
    if (!Port && !Name.Instance.empty()) {
        Port = AskInstancePort(A.sin_addr, Name.Instance, Deadline, Options);
        if (!Port && WideSameText(Name.Instance, L"MSSQLSERVER"))
            Port = 1433;  // a default instance listens there even when its host does not answer
        if (!Port)
            NotFound("The instance \"" + WideToAnsi(Name.Instance) + "\" of \"" + WideToAnsi(Name.Host) +
                     "\" did not answer or is not reachable over TCP.");
    }
    A.sin_port = htons(Port ? Port : 1433);
    return A;
}
