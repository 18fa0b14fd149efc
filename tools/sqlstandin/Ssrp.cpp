#include "Ssrp.h"

#include "Text.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace standin {

std::string ResponseText(const std::string& Host, const std::vector<SsrpInstance>& Instances) {
    std::string S;
    for (auto& I : Instances) {
        S += "ServerName;" + Host + ";InstanceName;" + I.Name + ";IsClustered;No;Version;" + I.Version + ";";
        if (I.TcpPort >= 0)
            S += "tcp;" + std::to_string(I.TcpPort) + ";";
        S += ";";
    }
    return S;
}

static std::vector<std::uint8_t> Datagram(const std::string& Text, std::size_t ClaimedSize) {
    std::vector<std::uint8_t> D(3 + Text.size());
    D[0] = 0x05;
    D[1] = static_cast<std::uint8_t>(ClaimedSize);
    D[2] = static_cast<std::uint8_t>(ClaimedSize >> 8);
    std::copy(Text.begin(), Text.end(), D.begin() + 3);
    return D;
}

std::vector<std::uint8_t> Answer(const std::vector<std::uint8_t>& Request, const std::string& Host,
                                 const std::vector<SsrpInstance>& Instances, SsrpReplyForm Form) {
    if (Request.empty())
        return {};
    std::vector<SsrpInstance> Listed;
    if (Request[0] == 0x02 || Request[0] == 0x03) {
        if (Request.size() != 1)
            return {};
        Listed = Instances;
    } else if (Request[0] == 0x04) {
        std::size_t End = 1;
        while (End < Request.size() && Request[End] != 0)
            ++End;
        if (End == 1 || End - 1 > 32)
            return {};
        std::wstring Wanted = FromCodePage(std::string(Request.begin() + 1, Request.begin() + static_cast<std::ptrdiff_t>(End)), CP_ACP);
        for (auto& I : Instances)
            if (SameText(FromCodePage(I.Name, CP_ACP), Wanted))
                Listed.push_back(I);
        if (Listed.empty())
            return {};
    } else {
        return {};  // DAC requests and anything else: silence, as for a server without them
    }
    std::string Text = ResponseText(Host, Listed);
    switch (Form) {
    case SsrpReplyForm::Normal:
        break;
    case SsrpReplyForm::Short:
        return {0x05, 0x10};
    case SsrpReplyForm::Garbage: {
        std::vector<std::uint8_t> D{0x05, 40, 0};
        std::uint32_t Seed = 7;
        for (int I = 0; I < 40; ++I) {
            Seed = Seed * 1103515245u + 12345u;
            D.push_back(static_cast<std::uint8_t>(Seed >> 16));
        }
        return D;
    }
    case SsrpReplyForm::Oversize:
        return Datagram(Text, Text.size() + 500);
    case SsrpReplyForm::Unterminated:
        Text.resize(Text.size() - 2);  // no ";;" after the last record
        break;
    }
    return Datagram(Text, Text.size());
}

static SOCKET BindUdp(const std::string& Address, int Port, int& BoundPort) {
    SOCKET S = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (S == INVALID_SOCKET)
        throw std::runtime_error("cannot create a UDP socket");
    sockaddr_in A{};
    A.sin_family = AF_INET;
    A.sin_port = htons(static_cast<u_short>(Port));
    inet_pton(AF_INET, Address.c_str(), &A.sin_addr);
    if (bind(S, reinterpret_cast<sockaddr*>(&A), sizeof A) != 0) {
        int E = WSAGetLastError();
        closesocket(S);
        throw std::runtime_error("cannot bind UDP " + Address + ":" + std::to_string(Port) + " (error " + std::to_string(E) + ")");
    }
    int Len = sizeof A;
    getsockname(S, reinterpret_cast<sockaddr*>(&A), &Len);
    BoundPort = ntohs(A.sin_port);
    return S;
}

SsrpResponder::SsrpResponder(const Config& C, int TcpPort, Transcript& Log) : FConfig(C), FLog(Log) {
    Host Own{ToCodePage(C.ServerName, CP_ACP), C.Address, {{C.InstanceName(), C.Version, TcpPort}}, INVALID_SOCKET};
    Own.Instances.insert(Own.Instances.end(), C.SsrpInstances.begin(), C.SsrpInstances.end());
    Own.Socket = BindUdp(C.Address, C.SsrpPort, FPort);
    FHosts.push_back(Own);
    for (auto& H : C.SsrpHosts) {
        // A host on our own address cannot share our port: it answers from a port of its own.
        int Ignored = 0;
        Host Extra{H.Name, H.Address, H.Instances, INVALID_SOCKET};
        try {
            Extra.Socket = BindUdp(H.Address, H.Address == C.Address ? 0 : FPort, Ignored);
        } catch (...) {
            for (auto& X : FHosts)
                closesocket(X.Socket);
            throw;
        }
        FHosts.push_back(Extra);
    }
}

SsrpResponder::~SsrpResponder() {
    for (auto& H : FHosts)
        closesocket(H.Socket);
}

void SsrpResponder::Start() {
    for (std::size_t I = 0; I < FHosts.size(); ++I)
        std::thread([this, I] { Serve(I); }).detach();
}

static std::string PeerText(const sockaddr_in& A) {
    char Buf[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &A.sin_addr, Buf, sizeof Buf);
    return std::string(Buf) + ":" + std::to_string(ntohs(A.sin_port));
}

void SsrpResponder::Reply(const Host& H, SOCKET From, const std::vector<std::uint8_t>& Request, const sockaddr_in& To) {
    std::vector<std::uint8_t> D = Answer(Request, H.Name, H.Instances, FConfig.SsrpForm);
    if (D.empty()) {
        FLog.Write("-", "ssrp", "silent host=" + H.Name);
        return;
    }
    sendto(From, reinterpret_cast<const char*>(D.data()), static_cast<int>(D.size()), 0,
           reinterpret_cast<const sockaddr*>(&To), sizeof To);
    FLog.Write("-", "ssrp", "reply host=" + H.Name + " bytes=" + std::to_string(D.size()) + " to=" + PeerText(To));
}

void SsrpResponder::Serve(std::size_t Index) {
    const Host& H = FHosts[Index];
    std::vector<std::uint8_t> Buf(2048);
    for (;;) {
        sockaddr_in From{};
        int FromLen = sizeof From;
        int N = recvfrom(H.Socket, reinterpret_cast<char*>(Buf.data()), static_cast<int>(Buf.size()), 0,
                         reinterpret_cast<sockaddr*>(&From), &FromLen);
        if (N < 0) {
            if (WSAGetLastError() == WSAECONNRESET)
                continue;  // an earlier reply's ICMP "port unreachable"
            return;
        }
        std::vector<std::uint8_t> Request(Buf.begin(), Buf.begin() + N);
        FLog.Write("-", "ssrp", "request=" + Hex(Request.data(), std::min<std::size_t>(Request.size(), 40)) + " from=" +
                                    PeerText(From) + " host=" + H.Name);
        if (FConfig.SsrpDelayMs)
            Sleep(FConfig.SsrpDelayMs);
        Reply(H, H.Socket, Request, From);
        // A discovery request reaching this host is answered by every other configured host too, as a broadcast
        // would be on a network.
        if (Index == 0 && N == 1 && (Request[0] == 0x02 || Request[0] == 0x03))
            for (std::size_t I = 1; I < FHosts.size(); ++I)
                Reply(FHosts[I], FHosts[I].Socket, Request, From);
    }
}

}  // namespace standin
