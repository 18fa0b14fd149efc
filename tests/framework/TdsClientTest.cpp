// The TDS client against the SQL Server stand-in: login, typed rows, batches, parameters, time-outs
// with attention, instance resolution, integrated security and the refusals.
#include "ConnectionString.h"
#include "TdsClient.h"
#include "TdsStandIn.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using testing_support::TempDir;

namespace {

// One stand-in per fixture, with a login "sa" / "secret" and what the fixture adds.
class TdsClientTest : public testing::Test {
protected:
    void StartStandIn(std::vector<std::string> Args = {}) {
        Args.insert(Args.end(), {"--login", "sa:secret"});
        FServer.reset();  // one stand-in at a time on the fixture's state folder
        FServer = std::make_unique<TTdsStandIn>(FDir.Path(), Args);
    }
    TTdsConnectParams Params(const std::wstring& User = L"sa", const std::wstring& Password = L"secret") {
        TTdsConnectParams P;
        P.DataSource = FServer->DataSource();
        P.Database = L"master";
        P.UserName = User;
        P.Password = Password;
        P.ConnectTimeoutMs = 10000;
        P.Resolve.SsrpPort = static_cast<std::uint16_t>(FServer->SsrpPort);
        return P;
    }
    // The error a call raised; fails the test when there was none.
    static ETdsError Failure(const std::function<void()>& F) {
        try {
            F();
        } catch (const ETdsError& E) {
            return E;
        }
        ADD_FAILURE() << "no error was raised";
        return ETdsError();
    }
    static std::wstring Scalar(TTdsClient& C, const std::wstring& Sql) {
        TTdsReply R = C.ExecuteBatch(Sql);
        const TTdsResultSet* S = R.FirstResultSet();
        return S && S->RowCount() ? S->Cell(0, 0).AsWideString() : L"<none>";
    }

    TempDir FDir;
    std::unique_ptr<TTdsStandIn> FServer;
};

// A token source for the integrated login that needs no platform package: the stand-in takes any token.
class TFakeSspi : public ITdsSspi {
public:
    explicit TFakeSspi(int* Legs) : FLegs(Legs) {}
    TTdsBytes Start(const std::wstring& Target) override {
        EXPECT_EQ(Target.rfind(L"MSSQLSvc/", 0), 0u);
        return {'N', 'T', 'L', 'M', 'S', 'S', 'P', 0, 1, 0, 0, 0};
    }
    TTdsBytes Next(const TTdsBytes& ServerToken) override {
        EXPECT_FALSE(ServerToken.empty());
        ++*FLegs;
        return {'N', 'T', 'L', 'M', 'S', 'S', 'P', 0, 3, 0, 0, 0};
    }

private:
    int* FLegs;
};

}  // namespace

TEST_F(TdsClientTest, SqlLoginSucceedsOrFailsWithTheServersMessage) {
    StartStandIn();
    TTdsClient C;
    C.Connect(Params());
    EXPECT_TRUE(C.Connected());
    EXPECT_EQ(C.Session().Version, TdsVersion::V71Rev1);
    EXPECT_EQ(C.Session().Database, L"master");
    EXPECT_EQ(C.Session().Collation.CodePage(), 1251u);

    TTdsClient Bad;
    ETdsError E = Failure([&] { Bad.Connect(Params(L"sa", L"wrong")); });
    EXPECT_EQ(E.Kind, TTdsErrorKind::Login);
    EXPECT_EQ(E.Message(), "Login failed for user 'sa'.");
    EXPECT_EQ(E.Source, "Microsoft OLE DB Provider for SQL Server");
    EXPECT_FALSE(Bad.Connected());
}

TEST_F(TdsClientTest, QueriesGiveTypedRows) {
    StartStandIn({"--database", "Sales", "--database", "Stock"});
    TTdsClient C;
    C.Connect(Params());
    TTdsReply R = C.ExecuteBatch(L"select name from master..sysdatabases order by name");
    const TTdsResultSet* S = R.FirstResultSet();
    ASSERT_NE(S, nullptr);
    ASSERT_GE(S->RowCount(), 2u);
    EXPECT_EQ(S->Columns[0].Type.SqlType, TTdsSqlType::NVarChar);
    std::vector<std::wstring> Names;
    for (size_t I = 0; I < S->RowCount(); ++I)
        Names.push_back(S->Cell(I, 0).AsWideString());
    EXPECT_NE(std::find(Names.begin(), Names.end(), L"Sales"), Names.end());
    EXPECT_TRUE(std::is_sorted(Names.begin(), Names.end(), [](const std::wstring& A, const std::wstring& B) {
        return _wcsicmp(A.c_str(), B.c_str()) < 0;
    }));

    TTdsReply K = C.ExecuteBatch(L"select count(name) as KOL from master..sysdatabases where name='Sales'");
    EXPECT_EQ(K.FirstResultSet()->Cell(0, K.FirstResultSet()->FindColumn(L"KOL")).AsInteger(), 1);

    // The server name as the engine asks for it: char(20), blanks kept.
    std::wstring SName =
        Scalar(C, L"SELECT REPLACE(CONVERT(char(20), SERVERPROPERTY('servername')),'\\','_') as SNAME");
    EXPECT_EQ(SName.size(), 20u);
    EXPECT_EQ(SName.back(), L' ');
}

TEST_F(TdsClientTest, BatchOpensOnItsFinalResultWithDoneCounts) {
    StartStandIn();
    TTdsClient C;
    C.Connect(Params());
    std::wstring Folder = L"C:\\";
    TTdsReply R = C.ExecuteBatch(
        L"if isnull(object_id('tempdb..#TempTableFileEx'),0)>0 drop table #TempTableFileEx\r\n"
        L"create table #TempTableFileEx (File_Exists int, Dir int, ParentDir int)\r\n"
        L"insert #TempTableFileEx\r\n"
        L"exec master..xp_fileexist 'C:\\'\r\n"
        L"select File_Exists,Dir,ParentDir from #TempTableFileEx\r\n");
    const TTdsResultSet* S = R.FirstResultSet();
    ASSERT_NE(S, nullptr);
    ASSERT_EQ(S->RowCount(), 1u);
    EXPECT_EQ(S->Cell(0, S->FindColumn(L"Dir")).AsInteger(), 1);
    EXPECT_EQ(R.RowsAffected(), 1) << "the insert";
    EXPECT_TRUE(R.Final);
    EXPECT_GE(R.Dones.size(), 3u);
}

TEST_F(TdsClientTest, ParametersComeThroughUnchanged) {
    StartStandIn();
    TTdsClient C;
    C.Connect(Params());
    const std::wstring Tricky = L"C:\\It's ]a[ \x0416\x0443\x0440\x043D\x0430\x043B\\";
    TTdsReply R = C.ExecuteSql(L"select @PathName as P", {{L"@PathName", Tricky}});
    ASSERT_NE(R.FirstResultSet(), nullptr);
    EXPECT_EQ(R.FirstResultSet()->Cell(0, 0).AsWideString(), Tricky);
    EXPECT_EQ(R.ReturnStatuses.size(), 1u) << "sp_executesql ends as a procedure";

    TTdsReply F = C.ExecuteSql(L"if isnull(object_id('tempdb..#T'),0)>0 drop table #T\r\n"
                               L"create table #T (File_Exists int, Dir int, ParentDir int)\r\n"
                               L"insert #T\r\nexec master..xp_fileexist @PathName\r\n"
                               L"select File_Exists,Dir,ParentDir from #T",
                               {{L"@PathName", std::wstring(L"C:\\")}});
    ASSERT_NE(F.FirstResultSet(), nullptr);
    EXPECT_EQ(F.FirstResultSet()->Cell(0, 1).AsInteger(), 1);
}

TEST_F(TdsClientTest, ServerErrorsComeAfterTheWholeReplyAndKeepTheConnection) {
    StartStandIn({"--fail", "BACKUP DATABASE => 3201 16 Cannot open backup device 'Q:\\x.bak'."});
    TTdsClient C;
    C.Connect(Params());
    ETdsError E = Failure([&] { C.ExecuteBatch(L"BACKUP DATABASE [master] TO DISK='Q:\\x.bak'"); });
    EXPECT_EQ(E.Kind, TTdsErrorKind::Server);
    EXPECT_EQ(E.Message(), "Cannot open backup device 'Q:\\x.bak'.");
    EXPECT_EQ(E.ErrorCode, static_cast<HRESULT>(0x80040E14));
    ASSERT_FALSE(E.Messages.empty());
    EXPECT_EQ(E.Messages[0].Number, 3201);
    EXPECT_EQ(Scalar(C, L"select 7 as n"), L"7");

    ETdsError Syntax = Failure([&] { C.ExecuteBatch(L"this is no statement"); });
    EXPECT_EQ(Syntax.Kind, TTdsErrorKind::Server);
    EXPECT_FALSE(Syntax.Message().empty());
    EXPECT_TRUE(C.Connected());
}

TEST_F(TdsClientTest, TimeOutSendsAttentionAndTheConnectionStaysUsable) {
    StartStandIn({"--delay", "slow_one => 4000"});
    TTdsClient C;
    C.Connect(Params());
    ETdsError E = Failure([&] { C.ExecuteBatch(L"select 1 as slow_one", 500); });
    EXPECT_EQ(E.Kind, TTdsErrorKind::Timeout);
    EXPECT_EQ(E.Message(), "Timeout expired");
    EXPECT_TRUE(C.Connected());
    EXPECT_EQ(Scalar(C, L"select 2 as n"), L"2");
}

TEST_F(TdsClientTest, CancelFromAnotherThread) {
    StartStandIn({"--delay", "slow_one => 4000"});
    TTdsClient C;
    C.Connect(Params());
    std::thread Canceller([&] {
        Sleep(300);
        C.Cancel();
    });
    ETdsError E = Failure([&] { C.ExecuteBatch(L"select 1 as slow_one"); });
    Canceller.join();
    EXPECT_EQ(E.Kind, TTdsErrorKind::Cancelled);
    EXPECT_EQ(Scalar(C, L"select 3 as n"), L"3");
    C.Cancel();  // nothing pending: no attention goes out, the next reply is not disturbed
    EXPECT_EQ(Scalar(C, L"select 4 as n"), L"4");
}

TEST_F(TdsClientTest, InstanceIsResolvedThroughTheStandInsResponder) {
    StartStandIn({"--instance", "SQL2005"});
    TTdsClient C;
    TTdsConnectParams P = Params();
    P.DataSource = L"(local)\\sql2005";
    C.Connect(P);
    EXPECT_TRUE(C.Connected());

    P.DataSource = L"127.0.0.1\\NoSuchOne";
    TTdsClient D;
    ETdsError E = Failure([&] { D.Connect(P); });
    EXPECT_EQ(E.Kind, TTdsErrorKind::Network);
    EXPECT_EQ(E.Message().rfind("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.", 0), 0u);
}

TEST_F(TdsClientTest, UnreachableServer) {
    StartStandIn();
    TTdsClient C;
    TTdsConnectParams P = Params();
    P.DataSource = L"127.0.0.1,1";
    ETdsError E = Failure([&] { C.Connect(P); });
    EXPECT_EQ(E.Kind, TTdsErrorKind::Network);
    EXPECT_EQ(E.Message(), "[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.");
    EXPECT_EQ(Failure([&] { C.ExecuteBatch(L"select 1"); }).Message(), "Operation is not allowed when the object is closed.");
}

TEST_F(TdsClientTest, ServerThatRequiresEncryptionIsRefusedClearly) {
    StartStandIn({"--encryption", "required"});
    TTdsClient C;
    ETdsError E = Failure([&] { C.Connect(Params()); });
    EXPECT_EQ(E.Kind, TTdsErrorKind::Unsupported);
    EXPECT_NE(E.Message().find("encrypted connection"), std::string::npos) << E.Message();
    EXPECT_FALSE(C.Connected());
}

TEST_F(TdsClientTest, Version72Session) {
    StartStandIn();
    TTdsClient C;
    TTdsConnectParams P = Params();
    P.TdsVersion = TdsVersion::V72;
    C.Connect(P);
    EXPECT_EQ(C.Session().Version, TdsVersion::V72);
    EXPECT_EQ(Scalar(C, L"select 5 as n"), L"5");
    TTdsReply R = C.ExecuteSql(L"select @p as v", {{L"@p", std::wstring(L"x'y")}});
    EXPECT_EQ(R.FirstResultSet()->Cell(0, 0).AsWideString(), L"x'y");
}

TEST_F(TdsClientTest, IntegratedSecurityChallengeAndRefusal) {
    int Legs = 0;
    auto Integrated = [&] {
        TTdsConnectParams P = Params(L"", L"");
        P.IntegratedSecurity = true;
        P.CreateSspi = [&] { return std::make_unique<TFakeSspi>(&Legs); };
        return P;
    };
    StartStandIn({"--integrated", "challenge"});
    TTdsClient C;
    C.Connect(Integrated());
    EXPECT_EQ(Legs, 1) << "the server's challenge was answered with an SSPI message";
    EXPECT_EQ(Scalar(C, L"select 6 as n"), L"6");

    StartStandIn({"--integrated", "refuse"});
    TTdsClient D;
    ETdsError E = Failure([&] { D.Connect(Integrated()); });
    EXPECT_EQ(E.Kind, TTdsErrorKind::Login);
    EXPECT_NE(E.Message().find("untrusted domain"), std::string::npos) << E.Message();
}

TEST_F(TdsClientTest, IntegratedSecurityThroughThePlatform) {
    // Under Wine the platform's package may give no token; then the login fails naming the reason.
    StartStandIn({"--integrated", "accept"});
    TTdsConnectParams P = Params(L"", L"");
    P.IntegratedSecurity = true;
    TTdsClient C;
    try {
        C.Connect(P);
        EXPECT_TRUE(C.Connected());
        std::printf("[ note ] integrated security: the platform gave a token\n");
    } catch (const ETdsError& E) {
        EXPECT_EQ(E.Kind, TTdsErrorKind::Login);
        EXPECT_EQ(E.Message().rfind("Integrated security is not available: ", 0), 0u) << E.Message();
        std::printf("[ note ] integrated security: %s\n", E.Message().c_str());
    }
}

TEST_F(TdsClientTest, ConnectionStringOfTheProgram) {
    StartStandIn();
    TSqlConnectionString S = ParseConnectionString(
        L"Provider=SQLOLEDB.1;Password=secret;Persist Security Info=False;User ID=sa;Initial Catalog=master;"
        L"Data Source=" + FServer->DataSource());
    TTdsClient C;
    C.Connect(SqlConnectParams(S));
    EXPECT_EQ(Scalar(C, L"select db_name() as d"), L"master");
}

TEST(TdsClientLogin, ConnectionTimeoutBoundsALoginThatGetsNoAnswer) {
    // A listener that takes the connection but never answers the pre-login.
    TWinsockUser Winsock;
    SOCKET L = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in A{};
    A.sin_family = AF_INET;
    A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(L, reinterpret_cast<sockaddr*>(&A), sizeof A), 0);
    ASSERT_EQ(listen(L, 1), 0);
    int Len = sizeof A;
    getsockname(L, reinterpret_cast<sockaddr*>(&A), &Len);
    TTdsConnectParams P;
    P.DataSource = L"127.0.0.1," + std::to_wstring(ntohs(A.sin_port));
    P.UserName = L"sa";
    P.ConnectTimeoutMs = 700;
    TTdsClient C;
    try {
        C.Connect(P);
        ADD_FAILURE() << "connected to a silent server";
    } catch (const ETdsError& E) {
        EXPECT_EQ(E.Kind, TTdsErrorKind::Timeout);
        EXPECT_EQ(E.Message(), "Timeout expired");
    }
    EXPECT_FALSE(C.Connected());
    closesocket(L);
}
