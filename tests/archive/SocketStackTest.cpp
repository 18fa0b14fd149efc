// The socket stack over the system's socket library, on loopback only.
#include "ArchiveTestMain.h"
#include "IdStackWindows.h"
#include "IdWinsock2.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

TIdBytes BytesOf(const std::string& S) { return TIdBytes(S.begin(), S.end()); }

class SocketStack : public ::testing::Test {
protected:
    void SetUp() override {
        IdWinsock2Initialization();
        IdStackInitialization();
        IdStackWindowsInitialization();
        Stack.reset(Create<TIdStackWindows>());
    }
    void TearDown() override {
        Stack.reset();
        IdStackWindowsFinalization();
    }
    TOwned<TIdStackWindows> Stack;
};
}  // namespace

TEST_F(SocketStack, TextsChecksAndAddresses) {
    EXPECT_EQ(Stack->WSTranslateSocketErrorMsg(10061), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(Stack->WSTranslateSocketErrorMsg(12345), "Socket Error # 12345\r\n");
    EXPECT_EQ(Stack->WSTranslateSocketErrorMsg(11001), "Socket Error # 11001\r\nHost not found.");
    EXPECT_THROW(Stack->RaiseSocketError(10038), EIdNotASocket);

    EXPECT_TRUE(Stack->IsValidIPv4MulticastGroup("239.1.2.3"));
    EXPECT_FALSE(Stack->IsValidIPv4MulticastGroup("240.0.0.1"));
    EXPECT_FALSE(Stack->IsValidIPv4MulticastGroup("239.1.2"));
    EXPECT_FALSE(Stack->IsValidIPv4MulticastGroup("239.1.2.3."));
    EXPECT_TRUE(Stack->IsValidIPv6MulticastGroup("ff02::1"));
    EXPECT_FALSE(Stack->IsValidIPv6MulticastGroup("fe80::1"));

    EXPECT_EQ(Stack->CalcCheckSum(TIdBytes{0x01, 0x00, 0x02, 0x00}), 0xFFFC);
    EXPECT_EQ(Stack->CalcCheckSum(TIdBytes{0xFF, 0xFF, 0xFF, 0xFF, 0x01}), static_cast<Word>(~0x0001u));
    EXPECT_EQ(Stack->HostToNetwork(std::uint64_t(0x0102030405060708ull)), 0x0807060504030201ull);
    TIdBytes Packet{0x01, 0x00, 0xAA, 0xBB, 0x02, 0x00};
    Stack->WriteChecksum(Packet, 2);
    EXPECT_EQ(BytesToWord(Packet, 2), 0xFFFC);  // the field counted as zero
    EXPECT_EQ(Stack->CalcCheckSum(Packet), 0);  // a packet with its checksum sums to zero

    EXPECT_EQ(Stack->TranslateTInAddrToString(Stack->TranslateStringToTInAddr(" 10 .0.0. 1")), "10.0.0.1");
    // A field beyond a byte is refused instead of standing for another address.
    EXPECT_THROW(Stack->TranslateStringToTInAddr("256.1.1.1"), EConvertError);
    EXPECT_THROW(Stack->TranslateStringToTInAddr("1.x.1.1"), EConvertError);
    EXPECT_EQ(Stack->TranslateTIn6AddrToString(Stack->TranslateStringToTIn6Addr("fe80::1:2")), "FE80:0:0:0:0:0:1:2");
    EXPECT_THROW(Stack->TranslateStringToTIn6Addr("1::2::3"), EIdInvalidIPv6Address);
    EXPECT_THROW(AddressFamilyOf(TIdIPVersion(2)), EIdIPVersionUnsupported);

    EXPECT_EQ(Stack->WSGetServByName("8080"), 8080);
    EXPECT_THROW(Stack->WSGetServByName("no-such-service"), EIdInvalidServiceName);
}

TEST_F(SocketStack, StreamOverLoopbackWithAList) {
    TIdStackSocketHandle Listener = Stack->NewSocketHandle(SOCK_STREAM, IPPROTO_TCP);
    Stack->Bind(Listener, "127.0.0.1", 0);
    Stack->Listen(Listener, 1);
    std::string IP;
    Word Port = 0;
    TIdIPVersion Version;
    Stack->GetSocketName(Listener, IP, Port, Version);
    EXPECT_EQ(IP, "127.0.0.1");
    ASSERT_NE(Port, 0);

    TIdStackSocketHandle Client = Stack->NewSocketHandle(SOCK_STREAM, IPPROTO_TCP);
    Stack->Connect(Client, "127.0.0.1", Port);
    std::string PeerIP;
    Word PeerPort = 0;
    TIdStackSocketHandle Server = Stack->Accept(Listener, PeerIP, PeerPort, Version);
    ASSERT_NE(Server, Id_INVALID_SOCKET);
    EXPECT_EQ(PeerIP, "127.0.0.1");
    EXPECT_EQ(Version, Id_IPv4);

    EXPECT_EQ(Stack->Send(Client, BytesOf("xxhello"), 2), 5);
    EXPECT_EQ(Stack->Send(Client, BytesOf("abc"), 3), 0);  // nothing left from the offset

    TIdSocketListWindows Ready;
    Ready.Add(Listener);
    Ready.Add(Server);
    TIdSocketList* Readable = nullptr;
    EXPECT_TRUE(Ready.SelectReadList(Readable, 5000));
    TOwned<TIdSocketList> Owned(Readable);
    EXPECT_EQ(Readable->Count(), 1);
    EXPECT_TRUE(Readable->Contains(Server));
    Ready.Remove(Listener);
    EXPECT_EQ(Ready.Items(0), Server);

    std::uint32_t Pending = 0;
    Stack->IOControl(Server, FIONREAD, Pending);
    EXPECT_EQ(Pending, 5u);
    TIdBytes Buffer(16);
    const int N = Stack->Receive(Server, Buffer);
    EXPECT_EQ(std::string(Buffer.begin(), Buffer.begin() + N), "hello");
    // A whole file sent through the system's file transmission.
    testing_support::TempDir Dir;
    const std::string Sent(3000, 'f');
    testing_support::WriteFileText(Dir / "sent.bin", Sent);
    ASSERT_NE(GServeFileProc, nullptr);
    EXPECT_EQ(GServeFileProc(Server, Dir / "sent.bin"), 3000);
    std::string Got;
    TIdBytes Chunk(4096);
    while (Got.size() < Sent.size()) {
        const int R = Stack->Receive(Client, Chunk);
        ASSERT_GT(R, 0);
        Got.append(Chunk.begin(), Chunk.begin() + R);
    }
    EXPECT_EQ(Got, Sent);

    Stack->Disconnect(Client);
    Stack->Disconnect(Server);
    Stack->WSCloseSocket(Listener);

    // Nothing listens there any more.
    TIdStackSocketHandle Late = Stack->NewSocketHandle(SOCK_STREAM, IPPROTO_TCP);
    try {
        Stack->Connect(Late, "127.0.0.1", Port);
        ADD_FAILURE() << "nothing raised";
    } catch (const EIdSocketError& E) {
        EXPECT_EQ(E.LastError, 10061);
        EXPECT_EQ(E.Message(), "Socket Error # 10061\r\nConnection refused.");
    }
    Stack->WSCloseSocket(Late);
}

TEST_F(SocketStack, DatagramsAndSetLimits) {
    TIdStackSocketHandle A = Stack->NewSocketHandle(SOCK_DGRAM, IPPROTO_UDP);
    TIdStackSocketHandle B = Stack->NewSocketHandle(SOCK_DGRAM, IPPROTO_UDP);
    Stack->Bind(B, "127.0.0.1", 0);
    std::string IP;
    Word Port = 0;
    TIdIPVersion Version;
    Stack->GetSocketName(B, IP, Port, Version);
    Stack->SendTo(A, BytesOf("ping"), 0, -1, "127.0.0.1", Port);
    TIdBytes Buffer(32);
    std::string From;
    Word FromPort = 0;
    const int N = Stack->ReceiveFrom(B, Buffer, From, FromPort, Version);
    EXPECT_EQ(std::string(Buffer.begin(), Buffer.begin() + N), "ping");
    EXPECT_EQ(From, "127.0.0.1");
    // With the packet-information option the datagram tells where it went.
    Stack->SetSocketOption(B, IPPROTO_IP, IP_PKTINFO, 1);
    Stack->SendTo(A, BytesOf("pong"), 0, -1, "127.0.0.1", Port);
    TIdPacketInfo Info;
    const int M = Stack->ReceiveMsg(B, Buffer, Info);
    EXPECT_EQ(std::string(Buffer.begin(), Buffer.begin() + M), "pong");
    EXPECT_EQ(Info.SourceIP, "127.0.0.1");
    EXPECT_EQ(Info.DestIP, "127.0.0.1");

    int Value = 0;
    Stack->SetSocketOption(B, SOL_SOCKET, SO_RCVBUF, 8192);
    Stack->GetSocketOption(B, SOL_SOCKET, SO_RCVBUF, Value);
    EXPECT_GE(Value, 8192);
    Stack->WSCloseSocket(A);
    Stack->WSCloseSocket(B);

    TIdSocketListWindows Full;
    for (int I = 0; I < 64; ++I)
        Full.Add(static_cast<TIdStackSocketHandle>(1000 + I));
    EXPECT_THROW(Full.Add(5000), EIdStackSetSizeExceeded);
    EXPECT_THROW(Full.Items(64), EIdStackSetSizeExceeded);
    EXPECT_EQ(Full.Count(), 64);
}

namespace {
// A stack whose routes all leave from one known address.
class TFixedRouteStack : public TIdStackWindows {
    DECLARE_CLASS(TFixedRouteStack, TIdStackWindows)
public:
    IN6_ADDR RouteSourceIPv6(TIdStackSocketHandle, const std::string& IP, Word) override {
        AskedFor = IP;
        return TranslateStringToTIn6Addr("fe80::1");
    }
    std::string AskedFor;
};

// The Internet checksum as the protocol defines it: 16-bit words in network order.
Word NetworkOrderChecksum(const TIdBytes& Bytes) {
    std::uint32_t Sum = 0;
    for (size_t I = 0; I < Bytes.size(); I += 2)
        Sum += static_cast<std::uint32_t>(Bytes[I] << 8) | (I + 1 < Bytes.size() ? Bytes[I + 1] : 0);
    while (Sum >> 16)
        Sum = (Sum & 0xFFFF) + (Sum >> 16);
    return static_cast<Word>(~Sum);
}
}  // namespace

TEST_F(SocketStack, IPv6ChecksumsCoverThePseudoHeaderOfTheRoute) {
    TOwned<TFixedRouteStack> Fixed(Create<TFixedRouteStack>());
    // An echo request of ICMPv6 with an odd length: type 128, code 0, checksum, id 0x1234, sequence 1, "abc".
    TIdBytes Packet{128, 0, 0xEE, 0xEE, 0x12, 0x34, 0x00, 0x01, 'a', 'b', 'c'};
    Fixed->WriteChecksum(0, Packet, 2, "fe80::2", 0, Id_IPv6);
    EXPECT_EQ(Fixed->AskedFor, "fe80::2");

    TIdBytes Pseudo{0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1,
                    0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2,
                    0, 0, 0, 11, 0, 0, 0, 58};
    TIdBytes Zeroed = Packet;
    Zeroed[2] = Zeroed[3] = 0;
    Pseudo.insert(Pseudo.end(), Zeroed.begin(), Zeroed.end());
    EXPECT_EQ((Packet[2] << 8) | Packet[3], NetworkOrderChecksum(Pseudo));
    Pseudo[40 + 2] = Packet[2];
    Pseudo[40 + 3] = Packet[3];
    EXPECT_EQ(NetworkOrderChecksum(Pseudo), 0) << "the whole sums to zero with the checksum in place";

    // IPv4 ignores the route: the checksum of the packet itself.
    TIdBytes Four{0x01, 0x00, 0xAA, 0xBB, 0x02, 0x00};
    Fixed->WriteChecksum(0, Four, 2, "127.0.0.1", 0, Id_IPv4);
    EXPECT_EQ(BytesToWord(Four, 2), 0xFFFC);
    EXPECT_EQ(Fixed->AskedFor, "fe80::2") << "no route asked for IPv4";
}
