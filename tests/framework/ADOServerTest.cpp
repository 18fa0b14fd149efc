// The components against the SQL Server stand-in: logins through the connection string, typed rows
// navigated as a data set, the folder test's batch with its parameter, parameters that come back
// unchanged, time-outs that keep the connection, the server's errors in order, instances by name,
// integrated security, and the connection's end closing its queries.
#include "ADODB.h"
#include "TdsStandIn.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::TempDir;

namespace {

// A stand-in with a login "sa" / "secret" and what the test adds; a connection and a query on it.
class ADOServer : public testing::Test {
protected:
    void StartStandIn(std::vector<std::string> Args = {}) {
        Args.insert(Args.end(), {"--login", "sa:secret"});
        FServer.reset();  // one stand-in at a time on the fixture's state folder
        FServer = std::make_unique<TTdsStandIn>(FDir.Path(), Args);
        Conn->ResolveOptions.SsrpPort = static_cast<std::uint16_t>(FServer->SsrpPort);
        Conn->SetConnectionString(SqlLogin(FServer->DataSource()));
    }
    // The string the main window builds for a SQL login.
    static std::wstring SqlLogin(const std::wstring& Server, const std::wstring& Password = L"secret") {
        return L"Provider=SQLOLEDB.1;Password=" + Password + L";Persist Security Info=False;User ID=sa;"
               L"Initial Catalog=master;Data Source=" + Server;
    }
    // The message of the error F raises; fails the test when there is none.
    static std::string Failure(const std::function<void()>& F) {
        try {
            F();
        } catch (const Exception& E) {
            return E.Message();
        }
        ADD_FAILURE() << "no error was raised";
        return {};
    }
    void OpenSql(const std::string& Sql) {
        Query->Close();
        Query->SQL()->SetText(Sql);
        Query->Open();
    }

    TempDir FDir;
    std::unique_ptr<TTdsStandIn> FServer;
    TOwned<TADOConnection> Conn{Create<TADOConnection>(nullptr)};
    TOwned<TADOQuery> Query{[this] {
        auto* Q = Create<TADOQuery>(nullptr);
        Q->SetConnection(Conn.get());
        return Q;
    }()};
};

// The folder test of the task wizard, one statement per line.
const char* const FolderTest = "if isnull(object_id('tempdb..#TempTableFileEx'),0)>0 drop table #TempTableFileEx\r\n"
                               "create table #TempTableFileEx (File_Exists int, Dir int, ParentDir int)\r\n"
                               "insert #TempTableFileEx\r\n"
                               "exec master..xp_fileexist :@PathName\r\n"
                               "select File_Exists,Dir,ParentDir from #TempTableFileEx\r\n";

}  // namespace

TEST_F(ADOServer, SqlLoginConnectsOrFailsWithTheServersMessage) {
    StartStandIn();
    std::vector<std::string> Events;
    Conn->AfterConnect = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("connect"); });
    Conn->AfterDisconnect = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("disconnect"); });
    Conn->SetLoginPrompt(false);
    Conn->Open();
    EXPECT_TRUE(Conn->Connected());
    Conn->Close();
    EXPECT_FALSE(Conn->Connected());
    EXPECT_EQ(Events, (std::vector<std::string>{"connect", "disconnect"}));

    Conn->SetConnectionString(SqlLogin(FServer->DataSource(), L"wrong"));
    EXPECT_EQ(Failure([&] { Conn->Open(); }), "Login failed for user 'sa'.");
    EXPECT_FALSE(Conn->Connected());
    ASSERT_GE(Conn->Errors().Count(), 1);
    EXPECT_EQ(Conn->Errors().Item(0).NativeError, 18456);

    Conn->SetConnectionString(SqlLogin(L"127.0.0.1,1"));
    EXPECT_EQ(Failure([&] { Conn->Open(); }),
              "[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.");
    EXPECT_EQ(Events.size(), 2u) << "no event for an open that failed";
}

TEST_F(ADOServer, ConnectionStringAndProviderChangeOnlyWhileClosed) {
    StartStandIn();
    const std::wstring Original = Conn->ConnectionString();
    Conn->Open();
    EXPECT_EQ(Failure([&] { Conn->SetConnectionString(L"Provider=SQLOLEDB.1;Data Source=x"); }),
              "Operation is not allowed when the object is open.");
    EXPECT_EQ(Failure([&] { Conn->SetProvider(L"SQLOLEDB"); }), "Operation is not allowed when the object is open.");
    EXPECT_EQ(Conn->ConnectionString(), Original);
    Conn->Close();

    Conn->SetProvider(L"MSDASQL");
    EXPECT_EQ(Conn->Provider(), L"MSDASQL");
    EXPECT_EQ(Conn->ConnectionString(), L"Provider=MSDASQL" + Original.substr(std::wstring(L"Provider=SQLOLEDB.1").size()));
    EXPECT_EQ(Failure([&] { Conn->Open(); }), "Provider cannot be found. It may not be properly installed.");
    Conn->SetProvider(L"SQLOLEDB");
    Conn->Open();
    EXPECT_TRUE(Conn->Connected());
}

TEST_F(ADOServer, QueryGivesTypedRowsThroughFieldsAndNavigates) {
    StartStandIn({"--database", "Sales", "--database", "Stock"});
    Query->SetCursorType(ctStatic);
    OpenSql("select name from master..sysdatabases order by name");
    EXPECT_TRUE(Conn->Connected()) << "a query opens its closed connection";
    TField* Name = Query->FieldByName("name");
    EXPECT_TRUE(Name->Is<TWideStringField>());
    ASSERT_EQ(Query->RecordCount(), 6);
    std::vector<std::string> Names;
    for (Query->First(); !Query->Eof(); Query->Next())
        Names.push_back(Name->AsString());
    EXPECT_EQ(Names, (std::vector<std::string>{"master", "model", "msdb", "Sales", "Stock", "tempdb"}));
    EXPECT_EQ(Name->AsString(), "tempdb") << "Eof stays on the last record";
    Query->Prior();
    EXPECT_EQ(Name->AsString(), "Stock");
    EXPECT_EQ(Query->RecNo(), 5);
    Query->MoveBy(-10);
    EXPECT_TRUE(Query->Bof());
    EXPECT_EQ(Name->AsString(), "master");

    OpenSql("select count(name) as KOL from master..sysdatabases where name='Sales'");
    EXPECT_TRUE(Query->FieldByName("KOL")->Is<TIntegerField>());
    EXPECT_EQ(Query->FieldByName("KOL")->AsInteger(), 1);

    // The engine's server name: char(20) through REPLACE, used untrimmed.
    OpenSql("SELECT REPLACE(CONVERT(char(20), SERVERPROPERTY('servername')),'\\','_') as SNAME");
    TField* SName = Query->FieldByName("SNAME");
    EXPECT_TRUE(SName->Is<TStringField>());
    EXPECT_EQ(SName->AsString().size(), 20u);
    EXPECT_EQ(SName->AsString().back(), ' ');
}

TEST_F(ADOServer, BackupFileListGivesEveryKindOfColumn) {
    StartStandIn({"--database", "Sales"});
    Query->SQL()->SetText("BACKUP DATABASE [Sales] TO DISK='sales.bak'");
    EXPECT_EQ(Query->ExecSQL(), -1) << "no statement gave a count";
    ASSERT_GE(Conn->Errors().Count(), 2) << "the server's information is kept, not raised";
    EXPECT_EQ(Conn->Errors().Item(Conn->Errors().Count() - 1).NativeError, 3014);
    EXPECT_EQ(Failure([&] { Query->Open(); }), "CommandText does not return a result set");

    OpenSql("RESTORE FILELISTONLY FROM DISK='sales.bak' WITH FILE = 1");
    ASSERT_EQ(Query->RecordCount(), 2);
    EXPECT_TRUE(Query->FieldByName("LogicalName")->Is<TWideStringField>());
    EXPECT_EQ(Query->FieldByName("Type")->AsString(), "D");
    EXPECT_TRUE(Query->FieldByName("Size")->Is<TBCDField>());
    EXPECT_GT(Query->FieldByName("Size")->AsFloat(), 0);
    EXPECT_TRUE(Query->FieldByName("FileId")->Is<TLargeintField>());
    EXPECT_EQ(Query->FieldByName("FileId")->AsInteger(), 1);
    EXPECT_EQ(Query->FieldByName("UniqueId")->AsString().size(), 38u);
    EXPECT_TRUE(Query->FieldByName("IsReadOnly")->Is<TBooleanField>());
    EXPECT_FALSE(Query->FieldByName("IsReadOnly")->AsBoolean());
    Query->Next();
    EXPECT_EQ(Query->FieldByName("Type")->AsString(), "L");
}

TEST_F(ADOServer, FolderTestBatchOpensOnItsFinalResult) {
    StartStandIn();
    Query->SetCommandTimeout(600);
    Query->SQL()->SetText(FolderTest);
    ASSERT_EQ(Query->Parameters()->Count(), 1);
    Query->Parameters()->ParamByName("@PathName")->SetValue(Variant("C:\\"));
    Query->Open();
    EXPECT_EQ(Query->RecordCount(), 1);
    EXPECT_EQ(Query->FieldByName("Dir")->AsInteger(), 1);
    EXPECT_EQ(Query->RowsAffected(), 1) << "the insert's count";

    Query->Close();
    Query->Parameters()->ParamByName("@PathName")->SetValue(Variant("C:\\no such folder"));
    Query->Open();
    EXPECT_EQ(Query->FieldByName("Dir")->AsInteger(), 0);
    EXPECT_EQ(Query->ExecSQL(), 1) << "ExecSQL runs the whole batch";
}

TEST_F(ADOServer, CommandRunsTheWholeBatch) {
    StartStandIn();
    TOwned<TADOCommand> Cmd(Create<TADOCommand>(nullptr));
    Cmd->SetName("cmdFolder");
    Cmd->SetCommandText(AnsiToWide(FolderTest));
    EXPECT_EQ(Failure([&] { Cmd->Execute(); }), "cmdFolder: Missing Connection or ConnectionString");
    Cmd->SetConnection(Conn.get());
    Cmd->Parameters()->ParamByName("@PathName")->SetValue(Variant("C:\\"));
    EXPECT_EQ(Cmd->Execute(), 1);
    Cmd->SetCommandText(L"");
    EXPECT_EQ(Failure([&] { Cmd->Execute(); }), "Command text was not set for the command object.");
}

TEST_F(ADOServer, ParametersComeThroughUnchanged) {
    StartStandIn();
    const std::wstring Tricky = L"C:\\It's ]a[ \x0416\x0443\x0440\x043D\x0430\x043B\\";
    Query->SQL()->SetText("select :@PathName as P, :plain as Q");
    Query->Parameters()->ParamByName("@PathName")->SetValue(Variant(Tricky));
    Query->Parameters()->ParamByName("plain")->SetValue(Variant("x'y"));
    Query->Open();
    EXPECT_EQ(As<TWideStringField>(Query->FieldByName("P"))->AsWideString(), Tricky);
    EXPECT_EQ(Query->FieldByName("Q")->AsString(), "x'y");
}

TEST_F(ADOServer, TimeOutCancelsTheStatementAndKeepsTheConnection) {
    StartStandIn({"--delay", "slow_one => 4000", "--delay", "slowish => 1500"});
    Query->SetCommandTimeout(1);
    Query->SQL()->SetText("select 1 as slow_one");
    EXPECT_EQ(Failure([&] { Query->Open(); }), "Timeout expired");
    EXPECT_TRUE(Conn->Connected());
    OpenSql("select 2 as n");
    EXPECT_EQ(Query->FieldByName("n")->AsInteger(), 2);

    // 0: no limit, as the backup statement runs.
    Query->SetCommandTimeout(0);
    OpenSql("select 3 as slowish");
    EXPECT_EQ(Query->FieldByName("slowish")->AsInteger(), 3);
}

TEST_F(ADOServer, ServerErrorsKeepEveryMessageInOrder) {
    StartStandIn();
    Query->SQL()->SetText("BACKUP DATABASE [master] TO DISK='Q:\\x.bak'");
    std::string Message = Failure([&] { Query->ExecSQL(); });
    EXPECT_EQ(Message.rfind("Cannot open backup device 'Q:\\x.bak'.", 0), 0u) << Message;
    std::vector<LongInt> Numbers;
    for (int I = 0; I < Conn->Errors().Count(); ++I)
        Numbers.push_back(Conn->Errors().Item(I).NativeError);
    EXPECT_EQ(Numbers, (std::vector<LongInt>{3201, 3013}));
    EXPECT_EQ(Conn->Errors().Item(0).Number, static_cast<HRESULT>(0x80040E14));
    EXPECT_TRUE(Conn->Connected());
    EXPECT_EQ(Conn->Execute(L"select 1 as n"), -1);
}

TEST_F(ADOServer, InstanceNameIsResolvedThroughTheResolutionService) {
    StartStandIn({"--instance", "SQL2005"});
    Conn->SetConnectionString(SqlLogin(L"(local)\\sql2005"));
    Conn->Open();
    EXPECT_TRUE(Conn->Connected());
    Conn->Close();

    Conn->SetConnectionString(SqlLogin(L"127.0.0.1\\NoSuchOne"));
    std::string Message = Failure([&] { Conn->Open(); });
    EXPECT_EQ(Message.rfind("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.", 0), 0u)
        << Message;
}

TEST_F(ADOServer, IntegratedSecurityLogsInOrNamesTheReason) {
    StartStandIn({"--integrated", "accept"});
    Conn->SetConnectionString(L"Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                              L"Initial Catalog=master;Data Source=" + FServer->DataSource());
    try {
        Conn->Open();
        EXPECT_TRUE(Conn->Connected());
        std::printf("[ note ] integrated security: the platform gave a token\n");
    } catch (const EOleException& E) {
        EXPECT_EQ(E.Message().rfind("Integrated security is not available: ", 0), 0u) << E.Message();
        EXPECT_FALSE(Conn->Connected());
        std::printf("[ note ] integrated security: %s\n", E.Message().c_str());
    }
}

TEST_F(ADOServer, TheConnectionsEndClosesItsQueries) {
    StartStandIn();
    int Disconnects = 0;
    Conn->AfterDisconnect = TNotifyEvent::FromFunction([&](TObject*) { ++Disconnects; });
    OpenSql("select 1 as n");
    Conn->Close();
    EXPECT_FALSE(Query->Active());
    EXPECT_EQ(Disconnects, 1);

    // A connection the server drops ends as a closed one.
    OpenSql("select 1 as n");
    FServer.reset();
    Query->Close();
    Query->SQL()->SetText("select 2 as n");
    EXPECT_FALSE(Failure([&] { Query->Open(); }).empty());
    EXPECT_FALSE(Conn->Connected());
    EXPECT_EQ(Disconnects, 2);

    Conn.reset();
    EXPECT_EQ(Query->Connection(), nullptr);
    EXPECT_EQ(Failure([&] { Query->Open(); }), "Missing Connection or ConnectionString");
}
