// The reply token stream and the data types: replies built token by token from the protocol's
// layouts are parsed into result sets, counts, messages and session changes.
#include "TdsErrors.h"
#include "TdsTokens.h"

#include <gtest/gtest.h>

namespace {

// Hands a message out in chunks of a fixed size, as packets would: tokens straddle them.
class TChunkedInput : public TTdsInput {
public:
    TChunkedInput(const TTdsBytes& Data, size_t Chunk) : FData(Data), FChunk(Chunk) {}

protected:
    bool NextChunk() override {
        if (FNext >= FData.size())
            return false;
        size_t N = std::min(FChunk, FData.size() - FNext);
        FPos = FData.data() + FNext;
        FEnd = FPos + N;
        FNext += N;
        return true;
    }

private:
    const TTdsBytes& FData;
    size_t FChunk;
    size_t FNext = 0;
};

const TTdsBytes CyrillicCollation = {0x19, 0x04, 0xD0, 0x00, 0x00};  // Cyrillic_General_CI_AS

// Builds replies token by token.
struct TReply {
    TTdsWriter W;
    bool Wide = false;  // 7.2 widths

    TReply& Bytes(const TTdsBytes& B) {
        W.Bytes(B);
        return *this;
    }
    TReply& Message(bool Error, std::int32_t Number, std::uint8_t Class, const std::wstring& Text,
                    const std::wstring& Proc = L"", std::int32_t Line = 1) {
        TTdsWriter B;
        B.U32(static_cast<std::uint32_t>(Number));
        B.U8(1);
        B.U8(Class);
        B.UsVarChar(Text);
        B.BVarChar(L"PC1\\SQL2005");
        B.BVarChar(Proc);
        if (Wide)
            B.U32(static_cast<std::uint32_t>(Line));
        else
            B.U16(static_cast<std::uint16_t>(Line));
        W.U8(Error ? TdsToken::Error : TdsToken::Info);
        W.U16(static_cast<std::uint16_t>(B.Size()));
        W.Bytes(B.Data);
        return *this;
    }
    TReply& EnvText(std::uint8_t Type, const std::wstring& New, const std::wstring& Old) {
        TTdsWriter B;
        B.U8(Type);
        B.BVarChar(New);
        B.BVarChar(Old);
        W.U8(TdsToken::EnvChange);
        W.U16(static_cast<std::uint16_t>(B.Size()));
        W.Bytes(B.Data);
        return *this;
    }
    TReply& EnvBytes(std::uint8_t Type, const TTdsBytes& New) {
        W.U8(TdsToken::EnvChange);
        W.U16(static_cast<std::uint16_t>(3 + New.size()));
        W.U8(Type);
        W.U8(static_cast<std::uint8_t>(New.size()));
        W.Bytes(New);
        W.U8(0);
        return *this;
    }
    TReply& LoginAck(const TTdsBytes& Version) {
        TTdsWriter B;
        B.U8(1);
        B.Bytes(Version);
        B.BVarChar(L"SQL Server");
        B.Bytes(TTdsBytes{9, 0, 5, 0x77});
        W.U8(TdsToken::LoginAck);
        W.U16(static_cast<std::uint16_t>(B.Size()));
        W.Bytes(B.Data);
        return *this;
    }
    // One column per entry: TYPE_INFO bytes (with the table name of text types), then its name.
    TReply& Columns(const std::vector<std::pair<TTdsBytes, std::wstring>>& Cols, std::uint16_t Flags = 1) {
        W.U8(TdsToken::ColMetadata);
        W.U16(static_cast<std::uint16_t>(Cols.size()));
        for (const auto& [Type, Name] : Cols) {
            if (Wide)
                W.U32(0);
            else
                W.U16(0);
            W.U16(Flags);
            W.Bytes(Type);
            W.BVarChar(Name);
        }
        return *this;
    }
    TReply& Row(const TTdsBytes& Values) {
        W.U8(TdsToken::Row);
        W.Bytes(Values);
        return *this;
    }
    TReply& Done(std::uint16_t Status, std::uint64_t Count = 0, std::uint8_t Token = TdsToken::Done) {
        W.U8(Token);
        W.U16(Status);
        W.U16(0xC1);
        if (Wide)
            W.U64(Count);
        else
            W.U32(static_cast<std::uint32_t>(Count));
        return *this;
    }
};

TTdsSession LoggedIn(std::uint32_t Version = TdsVersion::V71Rev1) {
    TTdsSession S;
    S.RequestedVersion = Version;
    S.Version = Version;
    return S;
}

// Parses a message whole, then again in 1-byte and 7-byte chunks, which must give the same reply.
TTdsReply Parse(const TTdsBytes& Message, TTdsSession& Session) {
    TTdsReply Whole;
    TTdsSession Start = Session;
    {
        TTdsTokenParser P(Session);
        TTdsBufferInput In(Message);
        P.ParseMessage(In, Whole);
    }
    for (size_t Chunk : {size_t(1), size_t(7)}) {
        TTdsSession S = Start;
        TTdsTokenParser P(S);
        TChunkedInput In(Message, Chunk);
        TTdsReply R;
        P.ParseMessage(In, R);
        EXPECT_EQ(R.ResultSets.size(), Whole.ResultSets.size());
        for (size_t I = 0; I < R.ResultSets.size() && I < Whole.ResultSets.size(); ++I)
            EXPECT_TRUE(R.ResultSets[I].Cells == Whole.ResultSets[I].Cells) << "chunks of " << Chunk;
        EXPECT_EQ(R.Messages.size(), Whole.Messages.size());
        EXPECT_EQ(R.Dones.size(), Whole.Dones.size());
    }
    return Whole;
}

TTdsErrorKind ParseFailure(const TTdsBytes& Message, TTdsSession Session) {
    TTdsTokenParser P(Session);
    TTdsBufferInput In(Message);
    TTdsReply R;
    try {
        P.ParseMessage(In, R);
    } catch (const ETdsError& E) {
        return E.Kind;
    }
    ADD_FAILURE() << "the malformed reply was accepted";
    return TTdsErrorKind::Server;
}

TTdsBytes Concat(std::initializer_list<TTdsBytes> Parts) {
    TTdsBytes R;
    for (const TTdsBytes& P : Parts)
        R.insert(R.end(), P.begin(), P.end());
    return R;
}

}  // namespace

TEST(TdsTokens, LoginReplySetsTheSession) {
    TReply R;
    R.EnvText(1, L"master", L"master")
        .Message(false, 5701, 0, L"Changed database context to 'master'.")
        .EnvBytes(7, CyrillicCollation)
        .LoginAck({0x71, 0x00, 0x00, 0x01})
        .EnvText(4, L"8192", L"4096")
        .Done(0);
    TTdsSession S;
    TTdsReply Reply = Parse(R.W.Data, S);
    ASSERT_TRUE(Reply.LoginAck);
    EXPECT_EQ(Reply.LoginAck->TdsVersion, TdsVersion::V71Rev1);
    EXPECT_EQ(Reply.LoginAck->ProgName, L"SQL Server");
    EXPECT_EQ(Reply.LoginAck->ProgVersion, 0x09000577u);
    EXPECT_EQ(S.Version, TdsVersion::V71Rev1);
    EXPECT_EQ(S.Database, L"master");
    EXPECT_EQ(S.PacketSize, 8192u);
    EXPECT_EQ(S.Collation.Lcid(), 0x0419u);
    EXPECT_EQ(S.Collation.CodePage(), 1251u);
    EXPECT_TRUE(Reply.Final);
    ASSERT_EQ(Reply.Messages.size(), 1u);
    EXPECT_FALSE(Reply.Messages[0].Fails()) << "information is no error";
    EXPECT_EQ(Reply.FirstFailure(), nullptr);
}

TEST(TdsTokens, LoginAckVersionForms) {
    const std::pair<TTdsBytes, std::uint32_t> Cases[] = {
        {{0x07, 0x01, 0x00, 0x00}, TdsVersion::V71},  // the old spelling of 7.1
        {{0x71, 0x00, 0x00, 0x01}, TdsVersion::V71Rev1},
        {{0x72, 0x09, 0x00, 0x02}, TdsVersion::V72},
        {{0x02, 0x00, 0x09, 0x72}, TdsVersion::V72},  // least significant byte first
        {{0x07, 0x00, 0x00, 0x00}, 0x70000000},
    };
    for (const auto& [Wire, Version] : Cases) {
        TReply R;
        R.Wide = Version >= TdsVersion::V72;  // the acknowledged version sets the widths
        R.LoginAck(Wire).Done(0);
        TTdsSession S;
        EXPECT_EQ(Parse(R.W.Data, S).LoginAck->TdsVersion, Version);
    }
    TReply Bad;
    Bad.LoginAck({0x01, 0x02, 0x03, 0x04});
    EXPECT_EQ(ParseFailure(Bad.W.Data, TTdsSession()), TTdsErrorKind::Protocol);
}

TEST(TdsTokens, FailedLoginBeforeTheVersionIsKnown) {
    // The DONE of a failed login comes before any LOGINACK: its width follows the bytes left.
    for (bool Wide : {false, true}) {
        TReply R;
        R.Wide = Wide;
        R.Message(true, 18456, 14, L"Login failed for user 'sa'.").Done(TdsDone::Error);
        TTdsSession S;  // asked for 7.1, version not settled
        TTdsReply Reply = Parse(R.W.Data, S);
        ASSERT_NE(Reply.FirstFailure(), nullptr);
        EXPECT_EQ(Reply.FirstFailure()->Text, L"Login failed for user 'sa'.");
        EXPECT_EQ(Reply.FirstFailure()->Number, 18456);
        EXPECT_TRUE(Reply.Final);
        EXPECT_TRUE(Reply.Dones.back().Failed());
        EXPECT_FALSE(Reply.LoginAck);
    }
}

TEST(TdsTokens, EveryDataTypeDecodes) {
    const TTdsBytes Cyr = CyrillicCollation;
    const TTdsBytes Latin = {0x09, 0x04, 0xD0, 0x00, 0x34};  // sort order 52: code page 1252
    const TTdsBytes Ptr(16, 0xAB), Stamp(8, 0x01);
    GUID G{0x00112233, 0x4455, 0x6677, {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};
    struct Case {
        const char* Name;
        TTdsBytes TypeInfo;
        TTdsBytes Value;
        TTdsSqlType Type;
        TTdsValue Expected;
        const wchar_t* Text;
    };
    const Case Cases[] = {
        {"tinyint", {0x30}, {0xFF}, TTdsSqlType::TinyInt, TTdsValue(255), L"255"},
        {"smallint", {0x34}, {0xFE, 0xFF}, TTdsSqlType::SmallInt, TTdsValue(-2), L"-2"},
        {"int", {0x38}, {0x01, 0, 0, 0x80}, TTdsSqlType::Int, TTdsValue(-2147483647), L"-2147483647"},
        {"bigint", {0x7F}, TTdsBytes(8, 0xFF), TTdsSqlType::BigInt, TTdsValue(-1), L"-1"},
        {"intn 4", {0x26, 4}, {4, 7, 0, 0, 0}, TTdsSqlType::Int, TTdsValue(7), L"7"},
        {"intn null", {0x26, 4}, {0}, TTdsSqlType::Int, TTdsValue(), L""},
        {"intn 1 is unsigned", {0x26, 1}, {1, 0xC8}, TTdsSqlType::TinyInt, TTdsValue(200), L"200"},
        {"intn 8", {0x26, 8}, {8, 0, 0, 0, 0, 0, 1, 0, 0}, TTdsSqlType::BigInt, TTdsValue(std::int64_t(1) << 40),
         L"1099511627776"},
        {"bit", {0x32}, {1}, TTdsSqlType::Bit, TTdsValue(true), L"True"},
        {"bitn null", {0x68, 1}, {0}, TTdsSqlType::Bit, TTdsValue(), L""},
        {"real", {0x3B}, {0x00, 0x00, 0xC0, 0x3F}, TTdsSqlType::Real, TTdsValue(1.5), L"1.5"},
        {"floatn", {0x6D, 8}, {8, 0, 0, 0, 0, 0, 0, 0xD0, 0xBF}, TTdsSqlType::Float, TTdsValue(-0.25), L"-0.25"},
        {"money", {0x3C}, {0, 0, 0, 0, 0x40, 0xE2, 0x01, 0x00}, TTdsSqlType::Money, {}, L"12.3456"},
        {"money negative", {0x3C}, TTdsBytes(8, 0xFF), TTdsSqlType::Money, {}, L"-0.0001"},
        {"smallmoney", {0x7A}, {0xB0, 0x3C, 0xFF, 0xFF}, TTdsSqlType::SmallMoney, {}, L"-5.0000"},
        {"moneyn null", {0x6E, 8}, {0}, TTdsSqlType::Money, TTdsValue(), L""},
        {"datetime", {0x3D}, {0x92, 0x9A, 0, 0, 0x00, 0xC1, 0xC5, 0x00}, TTdsSqlType::DateTime,
         TTdsValue(TTdsDateTime{39572.5}), L"2008-05-04 12:00:00"},
        {"datetime before 1899-12-30", {0x3D}, {0x46, 0x2E, 0xFF, 0xFF, 0x80, 0xE0, 0x62, 0x00}, TTdsSqlType::DateTime,
         TTdsValue(TTdsDateTime{-53688.25}), L"1753-01-01 06:00:00"},
        {"datetime milliseconds", {0x6F, 8}, {8, 0, 0, 0, 0, 1, 0, 0, 0}, TTdsSqlType::DateTime, {},
         L"1900-01-01 00:00:00.003"},
        {"smalldatetime", {0x3A}, {1, 0, 90, 0}, TTdsSqlType::SmallDateTime, TTdsValue(TTdsDateTime{3.0625}),
         L"1900-01-02 01:30:00"},
        {"datetimen null", {0x6F, 8}, {0}, TTdsSqlType::DateTime, TTdsValue(), L""},
        {"decimal", {0x6A, 17, 38, 2}, Concat({{17, 1, 0x39, 0x30}, TTdsBytes(14, 0)}), TTdsSqlType::Decimal, {},
         L"123.45"},
        {"numeric(25,0)", {0x6C, 13, 25, 0}, {13, 1, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0}, TTdsSqlType::Numeric, {},
         L"1048576"},
        {"numeric negative", {0x6C, 5, 5, 3}, {5, 0, 0x39, 0x30, 0, 0}, TTdsSqlType::Numeric, {}, L"-12.345"},
        {"numeric small fraction", {0x6C, 5, 5, 3}, {5, 1, 5, 0, 0, 0}, TTdsSqlType::Numeric, {}, L"0.005"},
        {"numeric 10^25", {0x6C, 17, 38, 0},
         {17, 1, 0, 0, 0, 0x4A, 0x48, 0x01, 0x14, 0x16, 0x95, 0x45, 0x08, 0, 0, 0, 0, 0}, TTdsSqlType::Numeric, {},
         L"10000000000000000000000000"},
        {"uniqueidentifier", {0x24, 16},
         {16, 0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF},
         TTdsSqlType::Guid, TTdsValue(G), L"{00112233-4455-6677-8899-AABBCCDDEEFF}"},
        {"char in code page 1251", Concat({{0xAF, 20, 0}, Cyr}), {4, 0, 0xCF, 0xCA, 0x31, 0x20}, TTdsSqlType::Char,
         TTdsValue(std::wstring(L"\x041F\x041A" L"1 ")), L"\x041F\x041A" L"1 "},
        {"varchar in code page 1252", Concat({{0xA7, 10, 0}, Latin}), {1, 0, 0xE9}, TTdsSqlType::VarChar,
         TTdsValue(std::wstring(L"\x00E9")), L"\x00E9"},
        {"varchar empty is no null", Concat({{0xA7, 10, 0}, Cyr}), {0, 0}, TTdsSqlType::VarChar,
         TTdsValue(std::wstring()), L""},
        {"nchar", Concat({{0xEF, 8, 2}, Cyr}), {4, 0, 'a', 0, ' ', 0}, TTdsSqlType::NChar,
         TTdsValue(std::wstring(L"a ")), L"a "},
        {"nvarchar null", Concat({{0xE7, 0, 1}, Cyr}), {0xFF, 0xFF}, TTdsSqlType::NVarChar, TTdsValue(), L""},
        {"binary", {0xAD, 4, 0}, {2, 0, 0xDE, 0xAD}, TTdsSqlType::Binary, TTdsValue(TTdsBytes{0xDE, 0xAD}), L"DEAD"},
        {"varbinary null", {0xA5, 32, 0}, {0xFF, 0xFF}, TTdsSqlType::VarBinary, TTdsValue(), L""},
        {"text", Concat({{0x23, 0xFF, 0xFF, 0xFF, 0x7F}, Cyr, {1, 0, 't', 0}}),
         Concat({{16}, Ptr, Stamp, {3, 0, 0, 0, 0xC0, 'b', 'c'}}), TTdsSqlType::Text,
         TTdsValue(std::wstring(L"\x0410" L"bc")), L"\x0410" L"bc"},
        {"ntext null", Concat({{0x63, 0xFE, 0xFF, 0xFF, 0x7F}, Cyr, {0, 0}}), {0}, TTdsSqlType::NText, TTdsValue(), L""},
        {"image", {0x22, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0}, Concat({{16}, Ptr, Stamp, {2, 0, 0, 0, 1, 2}}),
         TTdsSqlType::Image, TTdsValue(TTdsBytes{1, 2}), L"0102"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TReply R;
        R.Columns({{C.TypeInfo, L"C"}}).Row(C.Value).Row(C.Value).Done(TdsDone::Count, 2);
        TTdsSession S = LoggedIn();
        TTdsReply Reply = Parse(R.W.Data, S);
        ASSERT_EQ(Reply.ResultSets.size(), 1u);
        const TTdsResultSet& Set = Reply.ResultSets[0];
        ASSERT_EQ(Set.RowCount(), 2u);
        EXPECT_EQ(Set.Columns[0].Type.SqlType, C.Type);
        const TTdsValue& V = Set.Cell(1, 0);
        if (!C.Expected.IsNull() || std::wstring(C.Text).empty()) {
            EXPECT_TRUE(V == C.Expected) << "got " << testing::PrintToString(V.AsWideString());
        }
        EXPECT_EQ(V.AsWideString(), C.Text);
    }
}

TEST(TdsTokens, FolderTestBatchOpensOnItsFinalResult) {
    // drop/create/insert give DONEs (the insert counts one row), then the select's result.
    TReply R;
    const TTdsBytes IntN = {0x26, 4};
    R.Done(TdsDone::More)
        .Done(TdsDone::More)
        .Done(TdsDone::More | TdsDone::Count, 1)
        .Columns({{IntN, L"File_Exists"}, {IntN, L"Dir"}, {IntN, L"ParentDir"}})
        .Row({4, 0, 0, 0, 0, 4, 1, 0, 0, 0, 4, 1, 0, 0, 0})
        .Done(TdsDone::Count, 1);
    TTdsSession S = LoggedIn();
    TTdsReply Reply = Parse(R.W.Data, S);
    const TTdsResultSet* Set = Reply.FirstResultSet();
    ASSERT_NE(Set, nullptr);
    ASSERT_EQ(Set->RowCount(), 1u);
    EXPECT_EQ(Set->FindColumn(L"dir"), 1) << "columns are found by name, without regard to case";
    EXPECT_EQ(Set->FindColumn(L"Missing"), -1);
    EXPECT_EQ(Set->Cell(0, Set->FindColumn(L"Dir")).AsInteger(), 1);
    EXPECT_EQ(Set->Cell(0, 0).AsInteger(), 0);
    EXPECT_EQ(Reply.Dones.size(), 4u);
    EXPECT_EQ(Reply.Dones.back().ResultSet, 0);
    EXPECT_EQ(Reply.RowsAffected(), 1) << "the insert's count; the select's rows are no rows affected";
    EXPECT_TRUE(Reply.Final);
}

TEST(TdsTokens, ErrorsAreKeptInOrderAndTheFirstAboveClass10Fails) {
    TReply R;
    R.Message(false, 4035, 0, L"Processed 96 pages.")
        .Message(true, 50000, 10, L"class 10 is information")
        .Message(true, 3201, 16, L"Cannot open backup device 'X:\\a.bak'.")
        .Message(true, 3013, 16, L"BACKUP DATABASE is terminating abnormally.")
        .Done(TdsDone::Error);
    TTdsSession S = LoggedIn();
    TTdsReply Reply = Parse(R.W.Data, S);
    ASSERT_EQ(Reply.Messages.size(), 4u);
    ASSERT_NE(Reply.FirstFailure(), nullptr);
    EXPECT_EQ(Reply.FirstFailure()->Number, 3201);
    EXPECT_EQ(Reply.FirstFailure()->Class, 16);
    EXPECT_EQ(Reply.FirstFailure()->Server, L"PC1\\SQL2005");
    EXPECT_EQ(Reply.FirstFailure()->Line, 1);
    EXPECT_EQ(Reply.Messages[3].Number, 3013);
    EXPECT_EQ(Reply.RowsAffected(), -1);
}

TEST(TdsTokens, RpcReplyWithProcedureTokens) {
    TReply R;
    R.Columns({{{0x26, 4}, L"KOL"}})
        .Bytes({TdsToken::Order, 2, 0, 1, 0})
        .Row({4, 1, 0, 0, 0})
        .Done(TdsDone::More | TdsDone::Count, 1, TdsToken::DoneInProc)
        .Done(TdsDone::More | TdsDone::Count, 3, TdsToken::DoneInProc)
        .Bytes({TdsToken::ReturnStatus, 0, 0, 0, 0})
        .Bytes({TdsToken::ReturnValue, 1, 0, 2, '@', 0, 'n', 0, 1, 0, 0, 0, 0, 0x26, 4, 4, 9, 0, 0, 0})
        .Done(0, 0, TdsToken::DoneProc);
    TTdsSession S = LoggedIn();
    TTdsReply Reply = Parse(R.W.Data, S);
    EXPECT_EQ(Reply.FirstResultSet()->Cell(0, 0).AsInteger(), 1);
    ASSERT_EQ(Reply.ReturnStatuses.size(), 1u);
    ASSERT_EQ(Reply.ReturnValues.size(), 1u);
    EXPECT_EQ(Reply.ReturnValues[0].Name, L"@n");
    EXPECT_EQ(Reply.ReturnValues[0].Value.AsInteger(), 9);
    EXPECT_EQ(Reply.RowsAffected(), 3);
    EXPECT_TRUE(Reply.Final);
}

TEST(TdsTokens, Version72Widths) {
    TReply R;
    R.Wide = true;
    R.Columns({{Concat({{0x63, 0xFE, 0xFF, 0xFF, 0x7F}, CyrillicCollation, {2, 3, 0, 'd', 0, 'b', 0, 'o', 0, 1, 0, 't', 0}}),
                L"Notes"}})
        .Row(Concat({{16}, TTdsBytes(24, 0), {2, 0, 0, 0, 'x', 0}}))
        .Message(true, 208, 16, L"Invalid object name 'x'.", L"", 70000)
        .Done(TdsDone::Count | TdsDone::More, 5000000000ull)
        .Done(TdsDone::Attn);
    TTdsSession S = LoggedIn(TdsVersion::V72);
    TTdsReply Reply = Parse(R.W.Data, S);
    EXPECT_EQ(Reply.ResultSets[0].Columns[0].TableName, L"dbo.t");
    EXPECT_EQ(Reply.ResultSets[0].Cell(0, 0).AsWideString(), L"x");
    EXPECT_EQ(Reply.Messages[0].Line, 70000);
    EXPECT_EQ(Reply.Dones[0].RowCount, 5000000000ull);
    EXPECT_TRUE(Reply.AttentionAck);
}

TEST(TdsTokens, NullBitmapRowsLeaveNullColumnsOut) {
    TReply R;
    R.Wide = true;
    R.Columns({{{0x26, 4}, L"A"}, {Concat({{0xE7, 20, 0}, CyrillicCollation}), L"B"}, {{0x26, 2}, L"C"}})
        .Bytes({TdsToken::NbcRow, 0x02, 4, 5, 0, 0, 0, 2, 6, 0})
        .Done(TdsDone::Count, 1);
    TTdsSession S = LoggedIn(TdsVersion::V73B);
    TTdsReply Reply = Parse(R.W.Data, S);
    const TTdsResultSet& Set = Reply.ResultSets[0];
    EXPECT_EQ(Set.Cell(0, 0).AsInteger(), 5);
    EXPECT_TRUE(Set.Cell(0, 1).IsNull());
    EXPECT_EQ(Set.Cell(0, 2).AsInteger(), 6);
}

TEST(TdsTokens, CollationCodePages) {
    EXPECT_EQ((TTdsCollation{0x00D00419, 0}).CodePage(), 1251u);
    EXPECT_EQ((TTdsCollation{0x00D00409, 0}).CodePage(), 1252u);
    EXPECT_EQ((TTdsCollation{0x00D00409, 52}).CodePage(), 1252u);
    EXPECT_EQ((TTdsCollation{0x00D00409, 30}).CodePage(), 437u) << "the sort order decides";
    EXPECT_EQ((TTdsCollation{0, 0}).CodePage(), static_cast<UINT>(CP_ACP)) << "raw: the system's page";
}

TEST(TdsTokens, MalformedRepliesAreProtocolErrors) {
    TTdsSession S = LoggedIn();
    const std::pair<const char*, TTdsBytes> Cases[] = {
        {"unknown token", {0x01, 0x00}},
        {"row without metadata", {TdsToken::Row, 4, 1, 0, 0, 0}},
        {"metadata cut short", {TdsToken::ColMetadata, 1, 0, 0, 0, 1, 0, 0x26}},
        {"integer of length 3", {TdsToken::ColMetadata, 1, 0, 0, 0, 1, 0, 0x26, 3, 0}},
        {"unsupported type", {TdsToken::ColMetadata, 1, 0, 0, 0, 1, 0, 0x62, 0, 0, 0, 0, 0}},
        {"odd UCS-2 length", Concat({{TdsToken::ColMetadata, 1, 0, 0, 0, 1, 0, 0xE7, 10, 0}, CyrillicCollation,
                                     {0, TdsToken::Row, 3, 0, 'a', 0, 'b'}})},
        {"error longer than the message", {TdsToken::Error, 0x40, 0, 1, 2, 3}},
        {"value beyond the message", {TdsToken::ColMetadata, 1, 0, 0, 0, 1, 0, 0xA5, 8, 0, 0, TdsToken::Row, 8, 0, 1}},
        {"packet size out of range", {TdsToken::EnvChange, 7, 0, 4, 2, '9', 0, '9', 0, 0}},
    };
    for (const auto& [Name, Bytes] : Cases) {
        SCOPED_TRACE(Name);
        EXPECT_EQ(ParseFailure(Bytes, S), TTdsErrorKind::Protocol);
    }
}

TEST(TdsTokens, LocaleValueConversions) {
    // Conversions are independent of the user's locale: "." always separates decimals here.
    EXPECT_EQ(TTdsValue(2.5).AsWideString(), L"2.5");
    EXPECT_EQ(TTdsValue(std::wstring(L" 42 ")).AsInteger(), 42);
    EXPECT_DOUBLE_EQ(TTdsValue(std::wstring(L"0.125")).AsFloat(), 0.125);
    EXPECT_TRUE(TTdsValue(std::wstring(L"Yes")).AsBoolean());
    EXPECT_EQ(TTdsValue().AsInteger(), 0);
    EXPECT_EQ(TTdsValue().AsWideString(), L"");
    EXPECT_THROW(TTdsValue(std::wstring(L"12a")).AsInteger(), EConvertError);
    EXPECT_THROW(TTdsValue(TTdsBytes{1}).AsFloat(), EConvertError);
}
