// Client messages of the TDS client: framing, pre-login, login, batch and sp_executesql requests,
// checked field by field against the protocol's layouts.
#include "TdsPackets.h"
#include "TdsErrors.h"

#include <gtest/gtest.h>

namespace {

std::uint16_t U16At(const TTdsBytes& B, size_t At) { return static_cast<std::uint16_t>(B[At] | (B[At + 1] << 8)); }
std::uint32_t U32At(const TTdsBytes& B, size_t At) { return U16At(B, At) | (static_cast<std::uint32_t>(U16At(B, At + 2)) << 16); }

TTdsBytes Ucs2(const std::wstring& S) {
    TTdsWriter W;
    W.WText(S);
    return W.Data;
}

// The text a LOGIN7 field points at (offset and character count at Slot).
std::wstring Login7Text(const TTdsBytes& L, size_t Slot) {
    size_t Off = U16At(L, Slot), Cch = U16At(L, Slot + 2);
    TTdsBufferInput In(L.data() + Off, Cch * 2);
    return In.WText(Cch);
}

TTdsLogin7 SampleLogin() {
    TTdsLogin7 L;
    L.HostName = L"PC1";
    L.UserName = L"sa";
    L.Password = L"pw";
    L.AppName = L"QB";
    L.ServerName = L"127.0.0.1";
    L.LibraryName = L"OLEDB";
    L.Database = L"master";
    L.ClientPid = 0x100;
    L.ClientLcid = 0x0409;
    return L;
}

}  // namespace

TEST(TdsPackets, FramingCutsAtPacketSizeAndMarksOnlyTheLastPacket) {
    TTdsBytes Payload(10000);
    for (size_t I = 0; I < Payload.size(); ++I)
        Payload[I] = static_cast<std::uint8_t>(I * 7);
    TTdsBytes F = TdsFrame(TdsPacket::SqlBatch, Payload, 4096);
    ASSERT_EQ(F.size(), Payload.size() + 3 * 8);
    TTdsBytes Joined;
    size_t Pos = 0;
    for (int Id = 1; Id <= 3; ++Id) {
        size_t Len = (F[Pos + 2] << 8) | F[Pos + 3];  // big-endian length
        EXPECT_EQ(F[Pos], TdsPacket::SqlBatch);
        EXPECT_EQ(F[Pos + 1], Id == 3 ? 1 : 0) << "EOM only on the last packet";
        EXPECT_EQ(Len, Id < 3 ? 4096u : 10000u - 2 * 4088u + 8);
        EXPECT_EQ(F[Pos + 6], Id);
        Joined.insert(Joined.end(), F.begin() + static_cast<long>(Pos + 8), F.begin() + static_cast<long>(Pos + Len));
        Pos += Len;
    }
    EXPECT_EQ(Joined, Payload);
    // An empty message is still one packet, with EOM.
    EXPECT_EQ(TdsFrame(TdsPacket::Attention, {}, 4096), (TTdsBytes{0x06, 0x01, 0x00, 0x08, 0, 0, 1, 0}));
}

TEST(TdsPackets, PreloginOptionTableWithBigEndianOffsets) {
    const std::uint8_t Version[6] = {8, 0, 1, 0x55, 0, 0};
    TTdsBytes P = BuildPrelogin(Version, TdsEncryption::NotSupported, 0x1234);
    // Four 5-byte entries and the terminator, then VERSION (6), ENCRYPTION (1), INSTOPT (1), THREADID (4).
    TTdsBytes Expected = {0x00, 0x00, 0x15, 0x00, 0x06, 0x01, 0x00, 0x1B, 0x00, 0x01, 0x02, 0x00, 0x1C, 0x00,
                          0x01, 0x03, 0x00, 0x1D, 0x00, 0x04, 0xFF, 8,    0,    1,    0x55, 0,    0,    0x02,
                          0x00, 0x34, 0x12, 0x00, 0x00};
    EXPECT_EQ(P, Expected);
}

TEST(TdsPackets, PreloginReplyIsCheckedAgainstItsPayload) {
    TTdsBytes Good = {0x00, 0x00, 0x0B, 0x00, 0x06, 0x01, 0x00, 0x11, 0x00, 0x01, 0xFF, 9, 0, 5, 0x77, 0, 0, 0x03};
    TTdsPreloginReply R = ParsePreloginReply(Good);
    EXPECT_EQ(R.Encryption, TdsEncryption::Required);
    EXPECT_EQ(R.Version[0], 9);
    EXPECT_EQ(R.Version[3], 0x77);

    TTdsBytes NoEncryption = {0x00, 0x00, 0x06, 0x00, 0x06, 0xFF, 9, 0, 5, 0x77, 0, 0};
    EXPECT_EQ(ParsePreloginReply(NoEncryption).Encryption, TdsEncryption::NotSupported) << "absent = not supported";

    const TTdsBytes Bad[] = {
        {0x01, 0x00, 0x30, 0x00, 0x01, 0xFF},  // option data beyond the payload
        {0x01, 0x00, 0x06},                    // entry cut short
        {0x01, 0x00, 0x05, 0x00, 0x00},        // no terminator
    };
    for (const TTdsBytes& B : Bad) {
        try {
            ParsePreloginReply(B);
            ADD_FAILURE() << "accepted a malformed reply";
        } catch (const ETdsError& E) {
            EXPECT_EQ(E.Kind, TTdsErrorKind::Protocol);
        }
    }
}

TEST(TdsPackets, Login7OffsetsLengthsAndPasswordObfuscation) {
    TTdsBytes L = BuildLogin7(SampleLogin());
    ASSERT_EQ(L.size(), 0x90u);
    EXPECT_EQ(U32At(L, 0), 0x90u);
    EXPECT_EQ(U32At(L, 4), 0x71000001u);
    EXPECT_EQ(U32At(L, 8), 4096u);
    EXPECT_EQ(L[24], 0xE0);
    EXPECT_EQ(L[25], 0x03);
    EXPECT_EQ(U16At(L, 36), 86) << "the variable part starts right after the 7.1 fixed part";
    EXPECT_EQ(Login7Text(L, 36), L"PC1");
    EXPECT_EQ(Login7Text(L, 40), L"sa");
    EXPECT_EQ(Login7Text(L, 48), L"QB");
    EXPECT_EQ(Login7Text(L, 52), L"127.0.0.1");
    EXPECT_EQ(Login7Text(L, 60), L"OLEDB");
    EXPECT_EQ(Login7Text(L, 68), L"master");
    EXPECT_EQ(U16At(L, 46), 2) << "the password length counts characters";
    size_t Pw = U16At(L, 44);
    EXPECT_EQ(TTdsBytes(L.begin() + static_cast<long>(Pw), L.begin() + static_cast<long>(Pw) + 4),
              (TTdsBytes{0xA2, 0xA5, 0xD2, 0xA5}));
    EXPECT_EQ(U16At(L, 80), 0) << "no security token";
    EXPECT_EQ(U16At(L, 78), 0x90) << "an empty field points at the end";
}

TEST(TdsPackets, PasswordObfuscationSwapsNibblesThenXors) {
    // 'p' = 70 00 -> 07 00 -> A2 A5; a Cyrillic letter keeps both bytes of its code.
    EXPECT_EQ(ObfuscatePassword(L"p"), (TTdsBytes{0xA2, 0xA5}));
    EXPECT_EQ(ObfuscatePassword(L"\x0416"), (TTdsBytes{0x61 ^ 0xA5, 0x40 ^ 0xA5}));
    EXPECT_TRUE(ObfuscatePassword(L"").empty());
}

TEST(TdsPackets, Login7At72AndWithIntegratedSecurity) {
    TTdsLogin7 S = SampleLogin();
    S.TdsVersion = 0x72090002;
    TTdsBytes L72 = BuildLogin7(S);
    EXPECT_EQ(L72.size(), 0x98u);
    EXPECT_EQ(U16At(L72, 36), 94) << "the fixed part grows by 8 bytes at 7.2";
    EXPECT_EQ(Login7Text(L72, 68), L"master");

    TTdsLogin7 I = SampleLogin();
    I.Sspi = {'N', 'T', 'L', 'M', 'S', 'S', 'P', 0, 1, 0, 0, 0};
    TTdsBytes LI = BuildLogin7(I);
    EXPECT_EQ(LI[25], 0x83) << "fIntSecurity";
    EXPECT_EQ(U16At(LI, 42), 0) << "no user name";
    EXPECT_EQ(U16At(LI, 46), 0) << "no password";
    size_t Off = U16At(LI, 78), Cb = U16At(LI, 80);
    ASSERT_EQ(Cb, I.Sspi.size()) << "the token length counts bytes";
    EXPECT_EQ(TTdsBytes(LI.begin() + static_cast<long>(Off), LI.begin() + static_cast<long>(Off + Cb)), I.Sspi);
    EXPECT_EQ(U32At(LI, 0), LI.size());
}

TEST(TdsPackets, BatchCarriesAllHeadersOnlyFrom72) {
    EXPECT_EQ(BuildSqlBatch(L"select 1", false), Ucs2(L"select 1"));
    TTdsBytes B = BuildSqlBatch(L"select 1", true, 0x0102030405060708ull);
    ASSERT_EQ(B.size(), 22 + 16u);
    EXPECT_EQ(U32At(B, 0), 22u);
    EXPECT_EQ(U32At(B, 4), 18u);
    EXPECT_EQ(U16At(B, 8), 2);
    EXPECT_EQ(U32At(B, 10), 0x05060708u);
    EXPECT_EQ(U32At(B, 18), 1u);
    EXPECT_EQ(TTdsBytes(B.begin() + 22, B.end()), Ucs2(L"select 1"));
}

TEST(TdsPackets, SpExecuteSqlSendsTextParametersUnchangedAsNVarChar) {
    TTdsCollation Cyr{0x00D00419, 0};
    const std::wstring Value = L"C:\\It's ]here[\\";
    TTdsBytes R = BuildSpExecuteSql(L"exec master..xp_fileexist @PathName", {{L"@PathName", Value}}, false, 0, Cyr);
    TTdsBufferInput In(R);
    EXPECT_EQ(In.U16(), 0xFFFF);
    EXPECT_EQ(In.U16(), 10) << "sp_executesql by id";
    EXPECT_EQ(In.U16(), 0);
    auto Param = [&](const std::wstring& Name) {
        EXPECT_EQ(In.BVarChar(), Name);
        EXPECT_EQ(In.U8(), 0) << "input parameter";
        TTdsTypeInfo T;
        ReadTypeInfo(In, T, true);
        EXPECT_EQ(T.Type, TdsType::NVarChar);
        EXPECT_EQ(T.MaxLength, 8000u);
        EXPECT_EQ(T.Collation, Cyr);
        TTdsValue V;
        ReadValue(In, T, V);
        return V.AsWideString();
    };
    EXPECT_EQ(Param(L""), L"exec master..xp_fileexist @PathName");
    EXPECT_EQ(Param(L""), L"@PathName nvarchar(4000)");
    EXPECT_EQ(Param(L"@PathName"), Value);
    EXPECT_EQ(In.Remaining(), 0u);
}

TEST(TdsPackets, ParameterTypesFollowTheirValues) {
    struct Case {
        TTdsValue Value;
        const wchar_t* Declaration;
    };
    GUID G{0x00112233, 0x4455, 0x6677, {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};
    const Case Cases[] = {
        {TTdsValue(42), L"@p int"},
        {TTdsValue(std::int64_t(1) << 40), L"@p bigint"},
        {TTdsValue(true), L"@p bit"},
        {TTdsValue(2.5), L"@p float"},
        {TTdsValue(TTdsDateTime{39572.5}), L"@p datetime"},
        {TTdsValue(G), L"@p uniqueidentifier"},
        {TTdsValue(TTdsBytes{1, 2, 3}), L"@p varbinary(8000)"},
        {TTdsValue(), L"@p nvarchar(4000)"},
        {TTdsValue(std::wstring(4001, L'x')), L"@p ntext"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Value.AsWideString().substr(0, 20).c_str());
        EXPECT_EQ(TdsParamDeclaration({L"p", C.Value}), C.Declaration);
        // The value read back through the parameter's own wire form is the value sent.
        TTdsBytes R = BuildSpExecuteSql(L"s", {{L"p", C.Value}}, false, 0, TTdsCollation());
        TTdsBufferInput In(R);
        In.Skip(6);
        for (int Skip = 0; Skip < 2; ++Skip) {  // statement and declarations
            In.BVarChar();
            In.U8();
            TTdsTypeInfo T;
            ReadTypeInfo(In, T, true);
            TTdsValue V;
            ReadValue(In, T, V);
        }
        EXPECT_EQ(In.BVarChar(), L"@p");
        In.U8();
        TTdsTypeInfo T;
        ReadTypeInfo(In, T, true);
        if (T.IsTextPointerType()) {  // a parameter has no text pointer: length and data only
            std::uint32_t Len = In.U32();
            EXPECT_EQ(Len, 8002u);
            In.Skip(Len);
        } else {
            TTdsValue Back;
            ReadValue(In, T, Back);
            EXPECT_EQ(Back, C.Value);
        }
        EXPECT_EQ(In.Remaining(), 0u);
    }
}
