// The stand-in's configuration: bad settings are refused with a clear message before anything listens, and a
// configuration file gives the same settings as flags.
#include "StandInClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace standin_test;
using testing_support::BinDir;
using testing_support::RunProcess;
using testing_support::TempDir;

namespace {

TEST(StandInConfigTest, BadSettingsAreRefusedWithAClearMessage) {
    const std::pair<std::string, std::string> Cases[] = {
        {"--address 10.0.0.1", "address 10.0.0.1 is not a loopback address"},
        {"--address 0.0.0.0", "is not a loopback address"},
        {"--ssrp-host \"PC7 192.168.1.5\"", "ssrp_host PC7: address 192.168.1.5 is not a loopback address"},
        {"--port 70000", "port: 70000 is larger than 65535"},
        {"--colour blue", "unknown setting 'colour'"},
        {"--fail \"BACKUP 3201 16\"", "fail: expected 'PATTERN => NUMBER CLASS MESSAGE'"},
        {"--fail \"BACKUP => 3201 9 text\"", "an error's class is 11 to 25"},
        {"--integrated maybe", "integrated: expected accept, challenge or refuse"},
        {"--port", "--port needs a value"},
        {"--config Z:\\no\\such\\file.conf", "cannot read configuration file"}};
    for (auto& [Args, Message] : Cases) {
        SCOPED_TRACE(Args);
        std::string Out;
        EXPECT_EQ(RunProcess("\"" + BinDir() + "sqlstandin.exe\" " + Args, 30000, {}, &Out), 2);
        EXPECT_NE(Out.find("sqlstandin: "), std::string::npos) << Out;
        EXPECT_NE(Out.find(Message), std::string::npos) << Out;
    }
}

TEST(StandInConfigTest, ConfigurationFileGivesTheSameSettings) {
    TempDir Dir;
    testing_support::WriteFileText(Dir / "standin.conf", "# test configuration\r\n"
                                                         "server = FILEHOST\r\n"
                                                         "login = reader:two words \r\n"
                                                         "database = Accounts 65536 8192\r\n");
    StandIn Server(Dir.Path(), {"--config", Dir / "standin.conf"});
    TdsClient C(Server.Port());
    ASSERT_TRUE(C.Login("reader", "two words ").Errors.empty());  // the password keeps its own blanks
    Reply R = C.Batch("select @@servername as n, count(name) as k from master..sysdatabases where name = 'Accounts'");
    EXPECT_EQ(R.ErrorNumbers(), std::vector<std::int32_t>{8120});  // an aggregate beside a plain column
    Reply S = C.Batch("select name from master..sysdatabases where name = 'Accounts'");
    EXPECT_EQ(S.Sets.at(0).Rows.size(), 1u);
    EXPECT_EQ(C.Batch("select @@servername as n").Sets.at(0).Rows.at(0).at(0), "FILEHOST");
}

}  // namespace
