// Helpers of the socket library, its run-time binding and the text decoders.
#include "ArchiveTestMain.h"
#include "IdCoder00E.h"
#include "IdCoderMIME.h"
#include "IdCoderUUE.h"
#include "IdCoderXXE.h"
#include "IdGlobal.h"
#include "IdGlobalProtocols.h"
#include "IdStreamVCL.h"
#include "IdWinsock2.h"
#include "IdWship6.h"

#include <gtest/gtest.h>

#include <string>

namespace {
class SocketUnits : public ::testing::Environment {
public:
    void SetUp() override {
        IdGlobalInitialization();
        IdWinsock2Initialization();
        IdCoderMIMEInitialization();
        IdCoderUUEInitialization();
        IdCoderXXEInitialization();
    }
};
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);
::testing::Environment* const Sockets = ::testing::AddGlobalTestEnvironment(new SocketUnits);

std::string Decoded(TIdDecoder4to3& D, const std::string& Text, Int64 Length = -1) {
    TMemoryStream In, Out;
    In.WriteBuffer(Text.data(), static_cast<LongInt>(Text.size()));
    In.SetPosition(0);
    D.StartDecoding(&Out);
    D.DecodeInput(&In, Length);
    D.FinishDecoding();
    return std::string(static_cast<const char*>(Out.Memory()), static_cast<size_t>(Out.Size()));
}
}  // namespace

TEST(SocketGlobals, FetchTokenCases) {
    struct Case {
        const char* Input;
        const char* Delimiter;
        bool Delete, CaseSensitive;
        const char* Token;
        const char* Rest;
    };
    const Case Cases[] = {
        {"a,b,c", ",", true, true, "a", "b,c"},
        {"a,b,c", ";", true, true, "a,b,c", ""},
        {"KeyXvalue", "x", true, false, "Key", "value"},
        {"KeyXvalue", "x", true, true, "KeyXvalue", ""},
        {"a,b", ",", false, true, "a", "a,b"},
    };
    for (const Case& C : Cases) {
        std::string Input = C.Input;
        EXPECT_EQ(FetchToken(Input, C.Delimiter, C.Delete, C.CaseSensitive), C.Token) << C.Input;
        EXPECT_EQ(Input, C.Rest) << C.Input;
    }
    EXPECT_TRUE(EndsWithNoCase("archive.7Z", ".7z"));
    EXPECT_FALSE(EndsWithNoCase("7z", "a.7z"));
    EXPECT_TRUE(StartsWithNoCase("Content-Type", "content-"));
    EXPECT_EQ(TrimmedToInt("  $1F "), 31);
    EXPECT_EQ(TrimmedToIntDef(" x ", -5), -5);
    EXPECT_THROW(TrimmedToInt("x"), EConvertError);
    EXPECT_EQ(FormatEnglish("%.2f", {1234.5}), "1234.50");
}

TEST(SocketGlobals, CanonicalIPv6Forms) {
    const std::pair<const char*, const char*> Cases[] = {
        {"::1", "0:0:0:0:0:0:0:1"},
        {"fe80::1:2", "FE80:0:0:0:0:0:1:2"},
        {"::ffff:192.168.0.1", "0:0:0:0:0:FFFF:C0A8:0001"},
        {"1:2:3:4:5:6:7:8", "1:2:3:4:5:6:7:8"},
        {"1::", "1:0:0:0:0:0:0:0"},
        {"1::2::3", ""},
        {"1:2:3:4:5:6:7:8:9", ""},
        {"g::1", ""},
        {"1.2.3.4", ""},
        {"::1.2.3.256", ""},
        {"::1.2.3.4567", ""},
        {"12345::1", ""},
        {"", ""},
    };
    for (const auto& [In, Out] : Cases)
        EXPECT_EQ(CanonicalIPv6(In), Out) << In;
    TIdIPv6Address G{};
    ParseIPv6OrRaise("fe80::1:2", G);
    EXPECT_EQ(G, (TIdIPv6Address{0xFE80, 0, 0, 0, 0, 0, 1, 2}));
    try {
        ParseIPv6OrRaise("nonsense", G);
        ADD_FAILURE();
    } catch (const EIdInvalidIPv6Address& E) {
        EXPECT_EQ(E.Message(), "nonsense is not a valid IPv6 address");
    }
}

TEST(SocketGlobals, BytesAndStreams) {
    TIdBytes B{1, 2, 3, 4, 5};
    EXPECT_EQ(BytesAvailable(B, 1), 4);
    EXPECT_EQ(BytesAvailable(B, 1, 2), 2);
    EXPECT_EQ(BytesAvailable(B, 9), 0);
    EXPECT_THROW(BytesAvailable(B, -1), EAssertionFailed);
    TIdBytes D(4);
    CopyBytes(B, 3, D, 1, 2);
    EXPECT_EQ(D, (TIdBytes{0, 4, 5, 0}));
    EXPECT_THROW(CopyBytes(B, 4, D, 0, 2), EAssertionFailed);
    StoreWord(D, 0x0A0B, 0);
    EXPECT_EQ(BytesToWord(D, 0), 0x0A0B);

    TMemoryStream S;
    EXPECT_EQ(TIdStreamHelperVCL::Write(&S, B, 3, 1), 3);
    EXPECT_EQ(TIdStreamHelperVCL::Write(&S, B, -1, 5), 0);
    S.SetPosition(1);
    EXPECT_EQ(StreamRemaining(&S), 2);
    TIdBytes R;
    EXPECT_EQ(TIdStreamHelperVCL::ReadBytes(&S, R, -1, 1), 2);
    EXPECT_EQ(R, (TIdBytes{0, 3, 4}));
    const std::string Temp = TempPath();
    EXPECT_EQ(Temp.back(), '\\');
}

TEST(SocketBinding, SlotsBindOnFirstCallAndOnlyWhenLoaded) {
    ASSERT_FALSE(SocketLibraryLoaded());
    try {
        IdWinsock2::gethostname(nullptr, 0);
        ADD_FAILURE() << "nothing raised";
    } catch (const EIdWinsockStubError& E) {
        EXPECT_EQ(E.Win32Error, 10093u);
        EXPECT_EQ(E.Title, "Error on call to Winsock2 library function gethostname");
        EXPECT_EQ(E.Message().rfind(E.Title + ": ", 0), 0u);
    }
    EXPECT_FALSE(IdWinsock2::gethostname.Bound());
    LoadSocketLibrary();
    EXPECT_EQ(IdWinsock2::htons(0x1234), 0x3412);
    EXPECT_TRUE(IdWinsock2::htons.Bound());
    try {
        BindEntryPoint(SocketLibraryHandle(), "no_such_function");
        ADD_FAILURE() << "nothing raised";
    } catch (const EIdWinsockStubError& E) {
        EXPECT_EQ(E.Win32Error, 10022u);
    }
    // An extension function is asked of the socket it is called for.
    SOCKET S = IdWinsock2::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(S, INVALID_SOCKET);
    EXPECT_NO_THROW(BindExtension(S, "ConnectEx", GUID(WSAID_CONNECTEX)));
    IdWinsock2::closesocket(S);
    UnloadSocketLibraries();
    EXPECT_FALSE(IdWinsock2::htons.Bound());
    EXPECT_THROW(IdWinsock2::htons(1), EIdWinsockStubError);
    const std::pair<int, int> Gai[] = {{8, 11001}, {12, 12}, {1, 0}, {7, 11004}};
    for (auto [Code, Socket] : Gai)
        EXPECT_EQ(GaiToSocketError(Code), Socket);
}

TEST(SocketBinding, ControlMessageWalk) {
    // The layout of the platform: a header of a size and two ints, data after it, all aligned to the
    // pointer's width (12-byte headers on 4-byte alignment in 32 bits, 16 on 8 in 64 bits).
    constexpr size_t Header = sizeof(void*) == 8 ? 16 : 12;
    static_assert(IdCMsgHeaderLength == Header);
    alignas(8) char Buffer[2 * Header + 8] = {};
    WSAMSG Msg{};
    Msg.Control.buf = Buffer;
    Msg.Control.len = sizeof Buffer;
    auto* First = IdCMsgFirstHeader(&Msg);
    ASSERT_EQ(reinterpret_cast<char*>(First), Buffer);
    First->cmsg_len = IdCMsgLength(5);  // Header + 5, aligned up
    auto* Second = IdCMsgNextHeader(&Msg, First);
    ASSERT_EQ(reinterpret_cast<char*>(Second), Buffer + Header + sizeof(void*));
    Second->cmsg_len = Header;
    EXPECT_EQ(IdCMsgNextHeader(&Msg, Second), nullptr) << "a third header would not fit";
    Msg.Control.len = Header - 1;
    EXPECT_EQ(IdCMsgFirstHeader(&Msg), nullptr);
}

TEST(TextDecoders, Base64UuencodeAndXxencode) {
    TIdDecoder4to3 Base64(nullptr);
    Base64.DecodeTable = GBase64DecodeTable;
    Base64.FillChar = '=';
    EXPECT_EQ(Decoded(Base64, "TWFu"), "Man");
    EXPECT_EQ(Decoded(Base64, "TWE="), "Ma");
    EXPECT_EQ(Decoded(Base64, "TQ=="), "M");
    EXPECT_EQ(Decoded(Base64, "TWFuTW"), "Man");  // only whole groups count
    EXPECT_EQ(Decoded(Base64, "TQ==TWFu"), "M");   // padding ends the data: no zero tail
    EXPECT_EQ(Decoded(Base64, "TWFuTWFu", 4), "Man");

    EXPECT_EQ(GUUEDecodeTable[' ' - 1], 0);
    EXPECT_EQ(GUUEDecodeTable['`' - 1], 0);
    TIdDecoder00E Uue(nullptr);
    Uue.DecodeTable = GUUEDecodeTable;
    Uue.FillChar = '~';
    TIdDecoder00E Xxe(nullptr);
    Xxe.DecodeTable = GXXEDecodeTable;
    Xxe.FillChar = '~';
    // xxencode of "Cat": 'C' 'a' 't' = 0x43 0x61 0x74 -> 6-bit values 16, 54, 5, 52.
    const std::string XxCat = std::string(1, GXXECodeTable[16]) + GXXECodeTable[54] + GXXECodeTable[5] + GXXECodeTable[52];
    // A line's length character counts the bytes it carries; the filler of its last group is cut.
    struct Line {
        TIdDecoder00E& Decoder;
        std::string Text;
        Int64 Length;
        std::string Expected;
    } const Lines[] = {
        {Uue, "#0V%T", 1, "Cat"},
        {Uue, "!0P``", 1, "C"},
        {Uue, "\"0V$``", 1, "Ca"},
        {Uue, "!0P  ", 1, "C"},         // blanks stand for the grave accent
        {Uue, "`", 1, ""},              // the closing line carries nothing
        {Uue, "#0V%T", 0, ""},
        {Uue, "#0V", 1, ""},            // a cut line gives only whole groups
        {Uue, "a0V%T", 1, ""},          // no length character of the alphabet
        {Uue, "0V%T", -1, "Cat"},       // without a length character the groups decode as they are
        {Xxe, GXXECodeTable[3] + XxCat, 1, "Cat"},
        {Xxe, XxCat, -1, "Cat"},
    };
    for (const Line& L : Lines)
        EXPECT_EQ(Decoded(L.Decoder, L.Text, L.Length), L.Expected) << L.Text << " " << L.Length;
}
