// The stand-in's TDS side, driven by a minimal client: pre-login, logins, versions, requests, attention,
// the IGNORE bit, malformed input and several sessions at once.
#include "StandInClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace standin_test;
using testing_support::TempDir;

namespace {

// One stand-in for the suite: a SQL login, a slow statement, a failing one and a benchmark query.
class StandInProtocolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Dir = new TempDir;
        Server = new StandIn(Dir->Path(), {"--login", "sa:Secret1", "--login", "backup:", "--database", "Sales", "--server", "PC1",
                                           "--instance", "SQL2005", "--delay", "WAITFOR SLOW => 20000", "--fail",
                                           "BROKEN => 50001 16 Injected failure.", "--bench-query", "select * from bench",
                                           "--bench-rows", "5000", "--integrated", "challenge"});
    }
    static void TearDownTestSuite() {
        delete Server;
        delete Dir;
    }
    static std::unique_ptr<TdsClient> LoggedIn(std::uint32_t Version = 0x71000001) {
        auto C = std::make_unique<TdsClient>(Server->Port());
        C->PreLogin();
        Reply R = C->Login("sa", "Secret1", "master", Version);
        EXPECT_TRUE(R.Errors.empty());
        return C;
    }
    static TempDir* Dir;
    static StandIn* Server;
};
TempDir* StandInProtocolTest::Dir = nullptr;
StandIn* StandInProtocolTest::Server = nullptr;

TEST_F(StandInProtocolTest, PreLoginReplyCarriesVersionEncryptionInstanceAndThreadOptions) {
    TdsClient C(Server->Port());
    std::vector<std::uint8_t> Expected = {0x00, 0x00, 0x15, 0x00, 0x06, 0x01, 0x00, 0x1B, 0x00, 0x01, 0x02, 0x00, 0x1C,
                                          0x00, 0x01, 0x03, 0x00, 0x1D, 0x00, 0x00, 0xFF, 0x09, 0x00, 0x05, 0x77, 0x00,
                                          0x00, 0x02, 0x00};
    EXPECT_EQ(C.PreLogin(), Expected);
}

struct LoginCase {
    const char *User, *Password, *Database;
    std::vector<std::int32_t> Errors;
};

TEST_F(StandInProtocolTest, LoginsAreCheckedAgainstTheConfiguration) {
    const LoginCase Cases[] = {{"sa", "Secret1", "master", {}},
                               {"SA", "Secret1", "Sales", {}},  // login names ignore case, passwords do not
                               {"backup", "", "master", {}},
                               {"sa", "secret1", "master", {18456}},
                               {"nobody", "Secret1", "master", {18456}},
                               {"sa", "Secret1", "NoSuchDb", {4060, 18456}}};
    for (auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.User) + "/" + Case.Password + "/" + Case.Database);
        TdsClient C(Server->Port());
        C.PreLogin();
        Reply R = C.Login(Case.User, Case.Password, Case.Database);
        EXPECT_EQ(R.ErrorNumbers(), Case.Errors);
        ASSERT_FALSE(R.Dones.empty());
        if (Case.Errors.empty()) {
            EXPECT_EQ(R.AckVersion, (std::vector<std::uint8_t>{0x71, 0x00, 0x00, 0x01}));
            EXPECT_EQ(R.Dones.back().Status, 0);
        } else {
            EXPECT_TRUE(R.AckVersion.empty());
            EXPECT_EQ(R.Dones.back().Status, 0x0002);
            EXPECT_EQ(R.Errors.back().Class, 14);
            EXPECT_TRUE(C.ClosedByServer());
        }
    }
    EXPECT_NE(Server->Transcript().find("login failed user=sa error=18456"), std::string::npos);
}

TEST_F(StandInProtocolTest, WrongLoginGetsTheServersMessage) {
    TdsClient C(Server->Port());
    Reply R = C.Login("sa", "bad", "master");
    ASSERT_EQ(R.Errors.size(), 1u);
    EXPECT_EQ(R.Errors[0].Text, "Login failed for user 'sa'.");
}

TEST_F(StandInProtocolTest, LoginAckAnswersTheClientsVersionUpTo72) {
    const std::pair<std::uint32_t, std::vector<std::uint8_t>> Cases[] = {
        {0x71000000, {0x07, 0x01, 0x00, 0x00}},
        {0x71000001, {0x71, 0x00, 0x00, 0x01}},
        {0x72090002, {0x72, 0x09, 0x00, 0x02}},
        {0x74000004, {0x72, 0x09, 0x00, 0x02}}};
    for (auto& [Version, Ack] : Cases) {
        SCOPED_TRACE(Version);
        TdsClient C(Server->Port());
        C.PreLogin();
        Reply R = C.Login("sa", "Secret1", "master", Version);
        EXPECT_EQ(R.AckVersion, Ack);
        // Each version's widths hold for the rest of the session (8-byte counts at 7.2).
        Reply Q = C.Batch("select count(name) as KOL from master..sysdatabases where name='Sales'");
        ASSERT_EQ(Q.Sets.size(), 1u);
        EXPECT_EQ(Q.Sets[0].Rows, (std::vector<std::vector<std::string>>{{"1"}}));
        EXPECT_EQ(Q.Dones.back().Count, 1u);
    }
    TdsClient Old(Server->Port());
    Reply R = Old.Login("sa", "Secret1", "master", 0x70000000);
    EXPECT_EQ(R.ErrorNumbers(), std::vector<std::int32_t>{18456});
    EXPECT_TRUE(Old.ClosedByServer());
}

TEST_F(StandInProtocolTest, IntegratedLoginGoesThroughTheConfiguredChallenge) {
    TdsClient C(Server->Port());
    C.PreLogin();
    Reply R = C.Login("", "", "master", 0x71000001, true);
    EXPECT_TRUE(R.Errors.empty());
    EXPECT_EQ(R.AckVersion.size(), 4u);
    std::string T = Server->Transcript();
    EXPECT_NE(T.find("sspi 4e544c4d5353500001000000"), std::string::npos);  // the client's negotiate token
    EXPECT_NE(T.find("sspi 4e544c4d5353500003000000"), std::string::npos);  // its answer to the challenge
}

TEST_F(StandInProtocolTest, StatementsItCannotRunGetTheServersErrorsAndTheSessionGoesOn) {
    const std::pair<const char*, std::int32_t> Cases[] = {
        {"selct name from master..sysdatabases", 102},
        {"select 'unclosed", 105},
        {"select convert(char(99999999999), 'x') as y", 8115},
        {"select name from nowhere", 208},
        {"select @missing as x", 137},
        {"exec sp_who", 2812}};
    auto C = LoggedIn();
    for (auto& [Sql, Number] : Cases) {
        SCOPED_TRACE(Sql);
        Reply R = C->Batch(Sql);
        EXPECT_EQ(R.ErrorNumbers(), std::vector<std::int32_t>{Number});
        EXPECT_EQ(R.Dones.back().Status & 0x0002, 0x0002);
    }
    EXPECT_EQ(C->Batch("selct 1").Errors.at(0).Text, "Incorrect syntax near 'selct'.");
    EXPECT_TRUE(C->Batch("select 1 as one").Errors.empty());
}

TEST_F(StandInProtocolTest, ConfiguredFailureReplacesTheStatementsResult) {
    auto C = LoggedIn();
    Reply R = C->Batch("select 'BROKEN' as x");
    ASSERT_EQ(R.Errors.size(), 1u);
    EXPECT_EQ(R.Errors[0].Number, 50001);
    EXPECT_EQ(R.Errors[0].Text, "Injected failure.");
    EXPECT_TRUE(R.Sets.empty());
}

TEST_F(StandInProtocolTest, AttentionStopsADelayedStatementAndIsAcknowledged) {
    auto C = LoggedIn();
    C->Send(0x01, Ucs2("select 'WAITFOR SLOW' as x"));
    C->Send(0x06, {});
    Reply R = C->ReadReply();
    ASSERT_EQ(R.Dones.size(), 1u);
    EXPECT_EQ(R.Dones[0].Status & 0x0020, 0x0020);
    EXPECT_TRUE(R.Sets.empty());
    // An attention after a complete reply is acknowledged too.
    C->Batch("select 1 as one");
    C->Send(0x06, {});
    EXPECT_EQ(C->ReadReply().Dones.at(0).Status, 0x0020);
    EXPECT_TRUE(C->Batch("select 1 as one").Errors.empty());
}

TEST_F(StandInProtocolTest, IgnoreBitDiscardsThePartlySentRequest) {
    auto C = LoggedIn();
    C->Send(0x01, Ucs2("select 1 as one"), 0x00);     // first packet, no EOM
    C->Send(0x01, Ucs2(" , 2 as two"), 0x03);         // EOM + IGNORE
    Reply R = C->ReadReply();
    EXPECT_TRUE(R.Sets.empty());
    ASSERT_EQ(R.Dones.size(), 1u);
    EXPECT_EQ(R.Dones[0].Status, 0x0002);
}

TEST_F(StandInProtocolTest, MalformedInputClosesOnlyThatSession) {
    const std::vector<std::vector<std::uint8_t>> Bad = {
        {0x12, 0x01, 0x00, 0x03, 0, 0, 1, 0},                               // length below the header
        {0x05, 0x01, 0x00, 0x08, 0, 0, 1, 0},                               // unknown packet type
        {0x12, 0x01, 0x00, 0x0E, 0, 0, 1, 0, 0x00, 0x00, 0x40, 0x00, 0x06, 0xFF},  // option beyond the message
        {0x10, 0x01, 0x00, 0x10, 0, 0, 1, 0, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0x71}};  // LOGIN7 claiming more than sent
    for (auto& Packet : Bad) {
        TdsClient C(Server->Port());
        C.SendRaw(Packet);
        EXPECT_TRUE(C.ClosedByServer());
    }
    auto C = LoggedIn();
    EXPECT_TRUE(C->Batch("select 1 as one").Errors.empty());
}

TEST_F(StandInProtocolTest, SeveralSessionsAtOnceKeepTheirOwnState) {
    auto A = LoggedIn(), B = LoggedIn(0x72090002);
    EXPECT_TRUE(A->Batch("create table #T (x int)").Errors.empty());
    EXPECT_TRUE(B->Batch("create table #T (x int)").Errors.empty());  // temporary tables are per session
    EXPECT_TRUE(A->Batch("insert #T values (1), (2)").Errors.empty());
    Reply Ra = A->Batch("select x from #T"), Rb = B->Batch("select x from #T");
    EXPECT_EQ(Ra.Sets.at(0).Rows.size(), 2u);
    EXPECT_EQ(Rb.Sets.at(0).Rows.size(), 0u);
    Reply Spids = A->Batch("select @@spid as s");
    EXPECT_NE(Spids.Sets.at(0).Rows.at(0).at(0), B->Batch("select @@spid as s").Sets.at(0).Rows.at(0).at(0));
}

TEST_F(StandInProtocolTest, BenchmarkQueryStreamsTheConfiguredRows) {
    auto C = LoggedIn();
    Reply R = C->Batch("SELECT *  FROM bench");
    ASSERT_EQ(R.Sets.size(), 1u);
    EXPECT_EQ(R.Sets[0].Names, (std::vector<std::string>{"id", "name", "code", "amount"}));
    ASSERT_EQ(R.Sets[0].Rows.size(), 5000u);
    EXPECT_EQ(R.Sets[0].Rows[4999], (std::vector<std::string>{"5000", "Row 5000", "C4999", "499900"}));
    EXPECT_EQ(R.Dones.back().Count, 5000u);
}

}  // namespace
