// Server names of "Data Source" and their resolution, with the instance lookup answered by a small
// responder on loopback.
#include "SqlServerName.h"
#include "TdsErrors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

struct TNameCase {
    const wchar_t* DataSource;
    const wchar_t* Host;
    const wchar_t* Instance;
    std::uint16_t Port;
    bool Local;
};

TTdsErrorKind FailureOf(const std::function<void()>& F, std::string* Message = nullptr) {
    try {
        F();
    } catch (const ETdsError& E) {
        if (Message)
            *Message = E.Message();
        return E.Kind;
    }
    ADD_FAILURE() << "no error";
    return TTdsErrorKind::Server;
}

TTdsBytes Response(const std::string& Text) {
    TTdsBytes B(Text.size() + 3);
    B[0] = 0x05;
    B[1] = static_cast<std::uint8_t>(Text.size());
    B[2] = static_cast<std::uint8_t>(Text.size() >> 8);
    std::memcpy(B.data() + 3, Text.data(), Text.size());
    return B;
}

// A resolution service on a loopback port: answers each request with the datagrams the test gives,
// the first from a socket of another port when asked (a stranger).
class TResponder {
public:
    explicit TResponder(std::vector<TTdsBytes> Replies, bool FirstFromStranger = false)
        : FReplies(std::move(Replies)), FStranger(FirstFromStranger) {
        FSocket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in A{};
        A.sin_family = AF_INET;
        A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(FSocket, reinterpret_cast<sockaddr*>(&A), sizeof A);
        int Len = sizeof A;
        getsockname(FSocket, reinterpret_cast<sockaddr*>(&A), &Len);
        Port = ntohs(A.sin_port);
        FThread = std::thread([this] { Run(); });
    }
    ~TResponder() {
        closesocket(FSocket);
        FThread.join();
    }
    std::uint16_t Port = 0;
    std::atomic<int> Requests{0};
    TTdsBytes LastRequest;

private:
    void Run() {
        std::uint8_t Buf[512];
        sockaddr_in From{};
        int Len = sizeof From;
        int N = recvfrom(FSocket, reinterpret_cast<char*>(Buf), sizeof Buf, 0, reinterpret_cast<sockaddr*>(&From), &Len);
        if (N <= 0)
            return;
        LastRequest.assign(Buf, Buf + N);
        ++Requests;
        for (size_t I = 0; I < FReplies.size(); ++I) {
            SOCKET S = FSocket;
            if (I == 0 && FStranger)
                S = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
            sendto(S, reinterpret_cast<const char*>(FReplies[I].data()), static_cast<int>(FReplies[I].size()), 0,
                   reinterpret_cast<sockaddr*>(&From), Len);
            if (S != FSocket)
                closesocket(S);
        }
    }
    TWinsockUser FWinsock;
    SOCKET FSocket;
    std::vector<TTdsBytes> FReplies;
    bool FStranger;
    std::thread FThread;
};

TSqlResolveOptions Options(std::uint16_t SsrpPort) {
    TSqlResolveOptions O;
    O.SsrpPort = SsrpPort;
    O.SsrpWaitMs = 300;
    O.ResolveHost = [](const std::string& Host, in_addr& A) {
        if (Host != "dbhost" && Host != "127.0.0.1")
            return false;
        A.s_addr = htonl(INADDR_LOOPBACK);
        return true;
    };
    return O;
}

}  // namespace

TEST(TdsServerName, DataSourceForms) {
    std::wstring Me = LocalComputerName();
    const TNameCase Cases[] = {
        {L"(local)", L"(local)", L"", 0, true},
        {L".", L".", L"", 0, true},
        {L"", L"(local)", L"", 0, true},
        {Me.c_str(), Me.c_str(), L"", 0, true},
        {L"dbhost", L"dbhost", L"", 0, false},
        {L" PC1\\SQL2005 ", L"PC1", L"SQL2005", 0, false},
        {L"(LOCAL)\\SQLEXPRESS", L"(LOCAL)", L"SQLEXPRESS", 0, true},
        {L"host,1500", L"host", L"", 1500, false},
        {L"host\\inst, 1501", L"host", L"inst", 1501, false},
        {L"127.0.0.1", L"127.0.0.1", L"", 0, false},
    };
    for (const TNameCase& C : Cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(C.DataSource)));
        TSqlServerName N = ParseSqlServerName(C.DataSource);
        EXPECT_EQ(N.Host, C.Host);
        EXPECT_EQ(N.Instance, C.Instance);
        EXPECT_EQ(N.Port, C.Port);
        EXPECT_EQ(N.Local, C.Local);
    }
    for (const wchar_t* Bad : {L"host,", L"host,0", L"host,65536", L"host,12a", L"host\\", L",1433", L"\\inst"}) {
        std::string Msg;
        EXPECT_EQ(FailureOf([&] { ParseSqlServerName(Bad); }, &Msg), TTdsErrorKind::Config);
        EXPECT_EQ(Msg, TdsTextInvalidServer);
    }
}

TEST(TdsServerName, ResolutionResponsesAreParsedWithinTheirBytes) {
    auto One = Response("ServerName;PC1;InstanceName;SQL2005;IsClustered;No;Version;9.00.1399.06;tcp;1500;;");
    auto List = ParseSsrpResponse(One.data(), One.size());
    ASSERT_EQ(List.size(), 1u);
    EXPECT_EQ(List[0].ServerName, "PC1");
    EXPECT_EQ(List[0].InstanceName, "SQL2005");
    EXPECT_EQ(List[0].Version, "9.00.1399.06");
    EXPECT_EQ(List[0].TcpPort, 1500);

    auto Two = Response("ServerName;PC7;InstanceName;SQLEXPRESS;IsClustered;No;Version;9.00.1;np;\\\\PC7\\pipe\\x;;"
                        "ServerName;PC7;InstanceName;MSSQLSERVER;IsClustered;No;Version;8.00.194;tcp;1433;;");
    List = ParseSsrpResponse(Two.data(), Two.size());
    ASSERT_EQ(List.size(), 2u);
    EXPECT_EQ(List[0].TcpPort, 0) << "named pipes only";
    EXPECT_EQ(List[1].InstanceName, "MSSQLSERVER");
    EXPECT_EQ(List[1].TcpPort, 1433);

    // The declared size reaches past the datagram: only received bytes count.
    TTdsBytes Short = One;
    Short[1] = 0xFF;
    Short.resize(Short.size() - 8);  // cut inside "tcp;1500"
    List = ParseSsrpResponse(Short.data(), Short.size());
    ASSERT_EQ(List.size(), 1u);
    EXPECT_EQ(List[0].TcpPort, 0);

    for (const TTdsBytes& Junk : {TTdsBytes{}, TTdsBytes{0x05}, TTdsBytes{0x04, 1, 0, 'x'}, Response("tcp;99;;")})
        EXPECT_TRUE(ParseSsrpResponse(Junk.data(), Junk.size()).empty());
    EXPECT_EQ(BuildSsrpInstanceRequest("SQL2005"), (TTdsBytes{0x04, 'S', 'Q', 'L', '2', '0', '0', '5', 0x00}));
}

TEST(TdsServerName, InstanceIsResolvedThroughTheResolutionService) {
    TResponder R({TTdsBytes{0x05, 0xFF},  // garbage first
                  Response("ServerName;PC1;InstanceName;Other;IsClustered;No;Version;9.0;tcp;1111;;"),
                  Response("ServerName;PC1;InstanceName;SQL2005;IsClustered;No;Version;9.0;tcp;1500;;")});
    sockaddr_in A = ResolveSqlServer(ParseSqlServerName(L"dbhost\\sql2005"), TTdsDeadline::After(5000), Options(R.Port));
    EXPECT_EQ(ntohs(A.sin_port), 1500);
    EXPECT_EQ(A.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
    EXPECT_EQ(R.LastRequest, BuildSsrpInstanceRequest("sql2005"));
}

TEST(TdsServerName, AnswersFromElsewhereAreIgnored) {
    TResponder R({Response("ServerName;PC1;InstanceName;SQL2005;IsClustered;No;Version;9.0;tcp;1500;;")}, true);
    std::string Msg;
    EXPECT_EQ(FailureOf([&] { ResolveSqlServer(ParseSqlServerName(L"dbhost\\SQL2005"), TTdsDeadline::After(5000),
                                               Options(R.Port)); },
                        &Msg),
              TTdsErrorKind::Network);
    EXPECT_EQ(Msg.rfind(TdsTextNotFound, 0), 0u) << Msg;
    EXPECT_NE(Msg.find("SQL2005"), std::string::npos) << "the message names the instance";
}

TEST(TdsServerName, PortsWithoutTheResolutionService) {
    TResponder R({});  // answers nothing
    TSqlResolveOptions O = Options(R.Port);
    // An explicit port needs no lookup; the default instance falls back to 1433 when unanswered.
    EXPECT_EQ(ntohs(ResolveSqlServer(ParseSqlServerName(L"dbhost\\x,2000"), TTdsDeadline::After(5000), O).sin_port), 2000);
    EXPECT_EQ(ntohs(ResolveSqlServer(ParseSqlServerName(L"dbhost"), TTdsDeadline::After(5000), O).sin_port), 1433);
    EXPECT_EQ(R.Requests, 0);
    EXPECT_EQ(ntohs(ResolveSqlServer(ParseSqlServerName(L"dbhost\\MSSQLSERVER"), TTdsDeadline::After(5000), O).sin_port),
              1433);
    EXPECT_EQ(R.Requests, 1);
    std::string Msg;
    EXPECT_EQ(FailureOf([&] { ResolveSqlServer(ParseSqlServerName(L"nohost"), TTdsDeadline::After(5000), O); }, &Msg),
              TTdsErrorKind::Network);
    EXPECT_EQ(Msg, TdsTextNotFound);
}
