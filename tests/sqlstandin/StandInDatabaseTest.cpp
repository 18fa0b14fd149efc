// The program's statements against the stand-in: backup, file list, restore under a new name, the database
// list, the server name, the master file and the folder test, with the files on disk, the error pairs of
// failing statements and the state kept across a restart.
#include "StandInClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace standin_test;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

const std::vector<std::string> Settings = {"--login", "sa:pw", "--database", "Sales", "--database", "Odd]Name",
                                           "--server", "PC1", "--instance", "SQL2005", "--backup-size", "100000"};

class StandInDatabaseTest : public ::testing::Test {
protected:
    StandInDatabaseTest() : Server(Dir.Path(), Settings) {}
    std::unique_ptr<TdsClient> Connect() {
        auto C = std::make_unique<TdsClient>(Server.Port());
        C->PreLogin();
        EXPECT_TRUE(C->Login("sa", "pw").Errors.empty());
        return C;
    }
    std::string Data(const std::string& Name) { return Dir.Path() + "state\\Data\\" + Name; }
    static bool Exists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    static std::string FolderTest(const std::string& Path) {
        return "if isnull(object_id('tempdb..#TempTableFileEx'),0)>0 drop table #TempTableFileEx\r\n"
               "create table #TempTableFileEx (File_Exists int, Dir int, ParentDir int)\r\n"
               "insert #TempTableFileEx\r\n"
               "exec master..xp_fileexist " + Path + "\r\n"
               "select File_Exists,Dir,ParentDir from #TempTableFileEx";
    }
    TempDir Dir;
    StandIn Server;
};

TEST_F(StandInDatabaseTest, BackupThenRestoreUnderANewName) {
    auto C = Connect();
    std::string Bak = Dir / "Sales.bak";
    Reply B = C->Batch("BACKUP DATABASE [Sales] TO DISK='" + Bak + "'");
    EXPECT_TRUE(B.Errors.empty());
    ASSERT_EQ(B.Infos.size(), 3u);
    EXPECT_EQ(B.Infos[0].Text, "Processed 13 pages for database 'Sales', file 'Sales' on file 1.");
    EXPECT_EQ(B.Infos[2].Number, 3014);

    // The backup file: a header naming the database and its logical files, then the configured data.
    auto File = ReadFileBytes(Bak);
    std::string Text(File.begin(), File.end());
    auto HeaderEnd = Text.find("\nend\n");
    ASSERT_NE(HeaderEnd, std::string::npos);
    EXPECT_EQ(File.size(), HeaderEnd + 5 + 100000);
    std::string Header = Text.substr(0, HeaderEnd);
    EXPECT_NE(Header.find("database\tSales\n"), std::string::npos);
    EXPECT_NE(Header.find("\tSales\t" + Data("Sales.mdf")), std::string::npos);
    EXPECT_NE(Header.find("\tSales_log\t" + Data("Sales_log.LDF")), std::string::npos);

    Reply L = C->Batch("RESTORE FILELISTONLY FROM DISK='" + Bak + "' WITH FILE = 1");
    ASSERT_EQ(L.Sets.size(), 1u);
    const ResultSet& S = L.Sets[0];
    ASSERT_EQ(S.Names.size(), 20u);
    EXPECT_EQ(S.Names[0], "LogicalName");
    EXPECT_EQ(S.Names[2], "Type");
    EXPECT_EQ(S.Names[19], "IsPresent");
    // Wire types as the server gives them: nvarchar(128), char(1), numeric(20,0), uniqueidentifier.
    EXPECT_EQ(S.TypeInfo[0], (std::vector<std::uint8_t>{0xE7, 0x00, 0x01, 0x19, 0x04, 0xD0, 0x00, 0x00}));
    EXPECT_EQ(S.TypeInfo[2], (std::vector<std::uint8_t>{0xAF, 0x01, 0x00, 0x19, 0x04, 0xD0, 0x00, 0x00}));
    EXPECT_EQ(S.TypeInfo[4], (std::vector<std::uint8_t>{0x6C, 0x0D, 0x14, 0x00}));
    EXPECT_EQ(S.TypeInfo[9], (std::vector<std::uint8_t>{0x24, 0x10}));
    ASSERT_EQ(S.Rows.size(), 2u);
    EXPECT_EQ(S.Rows[0][0], "Sales");
    EXPECT_EQ(S.Rows[0][2], "D");
    EXPECT_EQ(S.Rows[0][3], "PRIMARY");
    EXPECT_EQ(S.Rows[0][4], "1048576");
    EXPECT_EQ(S.Rows[1][0], "Sales_log");
    EXPECT_EQ(S.Rows[1][2], "L");
    EXPECT_EQ(S.Rows[1][3], "NULL");

    std::string T = Data("Sales2");
    Reply R = C->Batch("RESTORE DATABASE [Sales2] FROM DISK='" + Bak + "' WITH  MOVE 'Sales' TO '" + T + ".mdf', MOVE 'Sales_log' TO '" +
                       T + ".ldf', replace");
    EXPECT_TRUE(R.Errors.empty());
    EXPECT_EQ(R.Infos.back().Number, 3014);
    EXPECT_TRUE(Exists(T + ".mdf"));
    EXPECT_TRUE(Exists(T + ".ldf"));

    Reply Names = C->Batch("select name from master..sysdatabases order by name");
    std::vector<std::vector<std::string>> Expected = {{"master"}, {"model"}, {"msdb"}, {"Odd]Name"}, {"Sales"}, {"Sales2"}, {"tempdb"}};
    EXPECT_EQ(Names.Sets.at(0).Rows, Expected);
    EXPECT_EQ(C->Batch("select count(name) as KOL from master..sysdatabases where name='sales2'").Sets.at(0).Rows[0][0], "1");

    // The transcript shows the requests and their replies in order.
    std::string Log = Server.Transcript();
    auto Backup = Log.find("batch BACKUP DATABASE [Sales] TO DISK=");
    auto Restore = Log.find("batch RESTORE DATABASE [Sales2]");
    ASSERT_NE(Backup, std::string::npos);
    ASSERT_NE(Restore, std::string::npos);
    EXPECT_LT(Backup, Restore);
    EXPECT_NE(Log.find("reply info=4035,4035,3014", Backup), std::string::npos);
    EXPECT_NE(Log.find("reply rows=7(name)"), std::string::npos);
}

TEST_F(StandInDatabaseTest, ServerNameAndMasterFileComeBlankPadded) {
    auto C = Connect();
    Reply N = C->Batch("SELECT REPLACE(CONVERT(char(20), SERVERPROPERTY('servername')),'\\','_') as SNAME");
    ASSERT_EQ(N.Sets.size(), 1u);
    EXPECT_EQ(N.Sets[0].Names[0], "SNAME");
    EXPECT_EQ(N.Sets[0].TypeInfo[0], (std::vector<std::uint8_t>{0xA7, 0x14, 0x00, 0x19, 0x04, 0xD0, 0x00, 0x00}));
    EXPECT_EQ(N.Sets[0].Rows[0][0], "PC1_SQL2005         ");
    Reply F = C->Batch("select filename from dbo.sysfiles where fileid = 1");
    ASSERT_EQ(F.Sets.size(), 1u);
    EXPECT_EQ(F.Sets[0].TypeInfo[0][0], 0xEF);
    std::string Master = Data("master.mdf");
    EXPECT_EQ(F.Sets[0].Rows[0][0], Master + std::string(260 - Master.size(), ' '));
}

TEST_F(StandInDatabaseTest, FolderTestReportsFoldersFilesAndMissingPaths) {
    testing_support::WriteFileText(Dir / "plain.txt", "x");
    CreateDirectoryA((Dir / "it's").c_str(), nullptr);
    const std::pair<std::string, std::vector<std::string>> Cases[] = {
        {"'" + Dir.Path() + "'", {"0", "1", "1"}},
        {"'" + Dir / "it''s" + "'", {"0", "1", "1"}},
        {"'" + Dir / "plain.txt" + "'", {"1", "0", "1"}},
        {"'" + Dir / "missing\\deeper" + "'", {"0", "0", "0"}}};
    auto C = Connect();
    for (auto& [Path, Row] : Cases) {
        SCOPED_TRACE(Path);
        Reply R = C->Batch(FolderTest(Path));
        EXPECT_TRUE(R.Errors.empty());
        ASSERT_EQ(R.Sets.size(), 1u);
        EXPECT_EQ(R.Sets[0].Names, (std::vector<std::string>{"File_Exists", "Dir", "ParentDir"}));
        EXPECT_EQ(R.Sets[0].Rows, std::vector<std::vector<std::string>>{Row});
        // drop-or-nothing, create, insert (one row), select (one row)
        ASSERT_EQ(R.Dones.size(), 4u);
        EXPECT_EQ(R.Dones[2].Status, 0x0011);
        EXPECT_EQ(R.Dones[2].Count, 1u);
        EXPECT_EQ(R.Dones[3].Status, 0x0010);
    }
}

TEST_F(StandInDatabaseTest, FolderTestAsAnRpcWithItsParameter) {
    auto C = Connect();
    std::string Sql = FolderTest("@PathName");
    Reply R = C->ExecuteSql(Sql, {{"@PathName", Dir.Path()}});
    EXPECT_TRUE(R.Errors.empty());
    ASSERT_EQ(R.Sets.size(), 1u);
    EXPECT_EQ(R.Sets[0].Rows, (std::vector<std::vector<std::string>>{{"0", "1", "1"}}));
    EXPECT_EQ(R.ReturnStatus, 0);
    ASSERT_FALSE(R.Dones.empty());
    EXPECT_EQ(R.Dones.back().Token, 0xFE);
    EXPECT_EQ(R.Dones.back().Status, 0);
    EXPECT_EQ(R.Dones.front().Token, 0xFF);
    EXPECT_NE(Server.Transcript().find("rpc sp_executesql if isnull(object_id("), std::string::npos);
    EXPECT_NE(Server.Transcript().find(" | @PathName=" + Dir.Path()), std::string::npos);
}

TEST_F(StandInDatabaseTest, FailingStatementsGiveTheServersErrorPairs) {
    auto C = Connect();
    std::string Bak = Dir / "ok.bak";
    ASSERT_TRUE(C->Batch("BACKUP DATABASE [Sales] TO DISK='" + Bak + "'").Errors.empty());
    testing_support::WriteFileText(Dir / "not-a-backup.bak", "hello");
    const std::pair<std::string, std::vector<std::int32_t>> Cases[] = {
        {"BACKUP DATABASE [Nope] TO DISK='" + Dir / "n.bak" + "'", {911, 3013}},
        {"BACKUP DATABASE [Sales] TO DISK='" + Dir / "no\\folder.bak" + "'", {3201, 3013}},
        {"RESTORE FILELISTONLY FROM DISK='" + Dir / "missing.bak" + "' WITH FILE = 1", {3201, 3013}},
        {"RESTORE FILELISTONLY FROM DISK='" + Dir / "not-a-backup.bak" + "' WITH FILE = 1", {3241, 3013}},
        {"RESTORE FILELISTONLY FROM DISK='" + Bak + "' WITH FILE = 2", {4038, 3013}},
        {"RESTORE DATABASE [X] FROM DISK='" + Bak + "' WITH MOVE 'Nope' TO '" + Data("X.mdf") + "', replace", {3234, 3013}},
        // The log file not moved would go over the source database's own file.
        {"RESTORE DATABASE [X] FROM DISK='" + Bak + "' WITH MOVE 'Sales' TO '" + Data("X.mdf") + "', replace",
         {1834, 3156, 3119, 3013}},
        {"RESTORE DATABASE [X] FROM DISK='" + Bak + "' WITH MOVE 'Sales' TO '" + Data("X.mdf") + "', MOVE 'Sales_log' TO '" +
             Data("X.mdf") + "', replace",
         {3176, 3119, 3013}},
        {"RESTORE DATABASE [X] FROM DISK='" + Bak + "' WITH MOVE 'Sales' TO '" + Dir / "none\\X.mdf" + "', MOVE 'Sales_log' TO '" +
             Data("X.ldf") + "', replace",
         {5133, 3156, 3119, 3013}},
        {"DBCC SHRINKDATABASE ([Nope],10)", {2520}}};
    for (auto& [Sql, Numbers] : Cases) {
        SCOPED_TRACE(Sql);
        Reply R = C->Batch(Sql);
        EXPECT_EQ(R.ErrorNumbers(), Numbers);
        for (auto& E : R.Errors)
            EXPECT_EQ(E.Class, 16);
        EXPECT_EQ(R.Dones.back().Status & 0x0002, 0x0002);
    }
    Reply R = C->Batch("BACKUP DATABASE [Sales] TO DISK='" + Dir / "no\\folder.bak" + "'");
    EXPECT_EQ(R.Errors.at(0).Text, "Cannot open backup device '" + Dir / "no\\folder.bak" +
                                       "'. Operating system error 3(The system cannot find the path specified.).");
    EXPECT_EQ(R.Errors.at(1).Text, "BACKUP DATABASE is terminating abnormally.");
    EXPECT_FALSE(Exists(Data("X.mdf")));
}

TEST_F(StandInDatabaseTest, QuotedNamesAndPathsAreReadAsWritten) {
    auto C = Connect();
    std::string Bak = Dir / "odd'name.bak";
    Reply R = C->Batch("BACKUP DATABASE [Odd]]Name] TO DISK='" + Dir / "odd''name.bak" + "'");
    EXPECT_TRUE(R.Errors.empty());
    EXPECT_TRUE(Exists(Bak));
    EXPECT_EQ(C->Batch("RESTORE FILELISTONLY FROM DISK='" + Dir / "odd''name.bak" + "'").Sets.at(0).Rows.at(0).at(0), "Odd]Name");
}

TEST_F(StandInDatabaseTest, RestoredDatabaseSurvivesARestart) {
    {
        auto C = Connect();
        std::string Bak = Dir / "s.bak";
        ASSERT_TRUE(C->Batch("BACKUP DATABASE [Sales] TO DISK='" + Bak + "'").Errors.empty());
        ASSERT_TRUE(C->Batch("RESTORE DATABASE [Kept] FROM DISK='" + Bak + "' WITH MOVE 'Sales' TO '" + Data("Kept.mdf") +
                             "', MOVE 'Sales_log' TO '" + Data("Kept.ldf") + "', replace")
                        .Errors.empty());
    }
    Server.Stop();
    StandIn Again(Dir.Path(), Settings);
    TdsClient C(Again.Port());
    ASSERT_TRUE(C.Login("sa", "pw", "Kept").Errors.empty());
    Reply R = C.Batch("select filename from dbo.sysfiles where fileid = 1");
    EXPECT_EQ(R.Sets.at(0).Rows.at(0).at(0).substr(0, Data("Kept.mdf").size()), Data("Kept.mdf"));
}

}  // namespace
