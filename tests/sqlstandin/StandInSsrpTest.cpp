// The resolution-protocol responder: byte-exact answers to discovery and instance requests, silence where the
// server is silent, several answering hosts, and the malformed replies tests of the program's parser need.
#include "StandInClient.h"
#include "TestSupport.h"

#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace standin_test;
using testing_support::TempDir;

namespace {

class Udp {
public:
    Udp() {
        FSocket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in A{};
        A.sin_family = AF_INET;
        inet_pton(AF_INET, "127.0.0.1", &A.sin_addr);
        bind(FSocket, reinterpret_cast<sockaddr*>(&A), sizeof A);
    }
    ~Udp() { closesocket(FSocket); }
    void SendTo(int Port, const std::vector<std::uint8_t>& D, const char* Address = "127.0.0.1") {
        sockaddr_in A{};
        A.sin_family = AF_INET;
        A.sin_port = htons(static_cast<u_short>(Port));
        inet_pton(AF_INET, Address, &A.sin_addr);
        sendto(FSocket, reinterpret_cast<const char*>(D.data()), static_cast<int>(D.size()), 0, reinterpret_cast<sockaddr*>(&A), sizeof A);
    }
    // The next datagram, or an empty one when none arrives within Ms.
    std::vector<std::uint8_t> Receive(unsigned Ms) {
        fd_set Set;
        FD_ZERO(&Set);
        FD_SET(FSocket, &Set);
        timeval Tv{static_cast<long>(Ms / 1000), static_cast<long>(Ms % 1000) * 1000};
        if (select(0, &Set, nullptr, nullptr, &Tv) <= 0)
            return {};
        std::vector<std::uint8_t> B(4096);
        int N = recv(FSocket, reinterpret_cast<char*>(B.data()), static_cast<int>(B.size()), 0);
        B.resize(N > 0 ? static_cast<std::size_t>(N) : 0);
        return B;
    }

private:
    SOCKET FSocket;
};

std::vector<std::uint8_t> Datagram(const std::string& Text) {
    std::vector<std::uint8_t> D(Text.size() + 3);
    D[0] = 0x05;
    D[1] = static_cast<std::uint8_t>(Text.size());
    D[2] = static_cast<std::uint8_t>(Text.size() >> 8);
    std::copy(Text.begin(), Text.end(), D.begin() + 3);
    return D;
}

std::string Body(const std::vector<std::uint8_t>& D) { return D.size() > 3 ? std::string(D.begin() + 3, D.end()) : ""; }

TEST(StandInSsrpTest, DiscoveryRequestIsAnsweredByteForByte) {
    TempDir Dir;
    StandIn Server(Dir.Path(), {"--server", "PC7", "--instance", "SQLEXPRESS", "--version", "9.00.1399.06", "--ssrp-instance",
                                "MSSQLSERVER:1433@8.00.194"});
    Udp U;
    U.SendTo(Server.SsrpPort(), {0x02});
    std::string Expected = "ServerName;PC7;InstanceName;SQLEXPRESS;IsClustered;No;Version;9.00.1399.06;tcp;" +
                           std::to_string(Server.Port()) +
                           ";;ServerName;PC7;InstanceName;MSSQLSERVER;IsClustered;No;Version;8.00.194;tcp;1433;;";
    EXPECT_EQ(U.Receive(5000), Datagram(Expected));
    U.SendTo(Server.SsrpPort(), {0x03});
    EXPECT_EQ(U.Receive(5000), Datagram(Expected));
}

TEST(StandInSsrpTest, InstanceRequestNamesOneInstanceOrNothing) {
    TempDir Dir;
    StandIn Server(Dir.Path(), {"--server", "PC1", "--instance", "SQL2005", "--ssrp-instance", "OTHER"});
    Udp U;
    U.SendTo(Server.SsrpPort(), {0x04, 's', 'q', 'l', '2', '0', '0', '5', 0x00});
    EXPECT_EQ(Body(U.Receive(5000)),
              "ServerName;PC1;InstanceName;SQL2005;IsClustered;No;Version;9.00.1399.06;tcp;" + std::to_string(Server.Port()) + ";;");
    // No such instance, a dedicated-admin request, a discovery request with trailing bytes: silence.
    const std::vector<std::vector<std::uint8_t>> Silent = {
        {0x04, 'N', 'O', 'N', 'E', 0x00}, {0x0F, 0x01, 'S', 'Q', 'L', '2', '0', '0', '5', 0x00}, {0x02, 0x00}, {0x04}};
    for (auto& Request : Silent)
        U.SendTo(Server.SsrpPort(), Request);
    // The responder answers in order, so an answered request after them shows that they were passed over.
    U.SendTo(Server.SsrpPort(), {0x04, 'O', 'T', 'H', 'E', 'R', 0x00});
    std::string Next = Body(U.Receive(5000));
    EXPECT_EQ(Next, "ServerName;PC1;InstanceName;OTHER;IsClustered;No;Version;9.00.1399.06;;");
}

TEST(StandInSsrpTest, EveryConfiguredHostAnswersADiscoveryRequest) {
    TempDir Dir;
    StandIn Server(Dir.Path(), {"--server", "PC1", "--ssrp-host", "PC7 127.0.0.1 SQLEXPRESS:1500 MSSQLSERVER:1433"});
    Udp U;
    U.SendTo(Server.SsrpPort(), {0x02});
    std::vector<std::string> Bodies = {Body(U.Receive(5000)), Body(U.Receive(5000))};
    std::sort(Bodies.begin(), Bodies.end());
    EXPECT_EQ(Bodies[0], "ServerName;PC1;InstanceName;MSSQLSERVER;IsClustered;No;Version;9.00.1399.06;tcp;" +
                             std::to_string(Server.Port()) + ";;");
    EXPECT_EQ(Bodies[1], "ServerName;PC7;InstanceName;SQLEXPRESS;IsClustered;No;Version;9.00.1399.06;tcp;1500;;"
                         "ServerName;PC7;InstanceName;MSSQLSERVER;IsClustered;No;Version;9.00.1399.06;tcp;1433;;");
}

TEST(StandInSsrpTest, MalformedRepliesOnRequest) {
    struct Case {
        const char* Form;
        std::function<void(const std::vector<std::uint8_t>&)> Check;
    };
    const Case Cases[] = {
        {"short", [](auto& D) { EXPECT_EQ(D, (std::vector<std::uint8_t>{0x05, 0x10})); }},
        {"oversize", [](auto& D) { ASSERT_GE(D.size(), 3u); EXPECT_GT(D[1] | D[2] << 8, static_cast<int>(D.size()) - 3); }},
        {"unterminated", [](auto& D) { EXPECT_NE(Body(D).substr(Body(D).size() - 2), ";;"); }},
        {"garbage", [](auto& D) { EXPECT_EQ(Body(D).find("ServerName"), std::string::npos); }}};
    for (auto& C : Cases) {
        SCOPED_TRACE(C.Form);
        TempDir Dir;
        StandIn Server(Dir.Path(), {"--ssrp-reply", C.Form});
        Udp U;
        U.SendTo(Server.SsrpPort(), {0x02});
        C.Check(U.Receive(5000));
    }
}

}  // namespace
