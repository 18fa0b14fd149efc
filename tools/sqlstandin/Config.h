// The stand-in's configuration: a small "key = value" file and the same keys as command-line flags.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace standin {

class ConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LoginEntry {
    std::wstring Name, Password;
};

// A rule applies to a request whose statement text contains Pattern (case-insensitive).
struct FailRule {
    std::wstring Pattern;
    std::int32_t Number = 50000;
    std::uint8_t Class = 16;
    std::wstring Message;
};
struct DelayRule {
    std::wstring Pattern;
    unsigned Milliseconds = 0;
};

struct DatabaseSeed {
    std::wstring Name;
    std::uint64_t DataSize = 1 << 20, LogSize = 512 << 10;
};

struct SsrpInstance {
    std::string Name, Version;
    int TcpPort = -1;  // -1: the record carries no tcp entry
};
// Another host answering discovery from a socket of its own (another loopback address, or another port).
struct SsrpHost {
    std::string Name, Address;
    std::vector<SsrpInstance> Instances;
};

enum class IntegratedMode { Accept, Challenge, Refuse };
enum class SsrpReplyForm { Normal, Short, Garbage, Oversize, Unterminated };

struct Config {
    std::string Address = "127.0.0.1";
    int Port = 1433;  // 0: any free port
    std::wstring ServerName;  // host name as the server reports it; default the computer name
    std::wstring Instance;    // empty: the default instance
    std::string Version = "9.00.1399.06";

    int SsrpPort = 1434;  // 0: any free port, -1: no responder
    unsigned SsrpDelayMs = 0;
    SsrpReplyForm SsrpForm = SsrpReplyForm::Normal;
    std::vector<SsrpInstance> SsrpInstances;  // listed besides the TDS listener's own instance
    std::vector<SsrpHost> SsrpHosts;

    std::wstring StateDir = L"sqlstandin-state";
    std::wstring DataDir, BackupDir;  // default: Data and Backup under the state folder

    std::vector<LoginEntry> Logins;  // none configured: "sa" with an empty password
    IntegratedMode Integrated = IntegratedMode::Accept;
    std::uint8_t Encryption = 0x02;  // PRELOGIN answer: 0x02 not supported, 0x03 required

    std::vector<DatabaseSeed> Databases;
    std::uint64_t BackupSize = 1 << 20;  // data bytes written after a backup's header

    std::vector<FailRule> Fails;
    std::vector<DelayRule> Delays;
    std::wstring BenchQuery;
    std::uint64_t BenchRows = 0;

    std::wstring TranscriptPath, PortsFile;

    // SERVERPROPERTY('servername'): host, or host\instance for a named instance.
    std::wstring FullServerName() const;
    std::string InstanceName() const;  // "MSSQLSERVER" for the default instance
};

// Applies one "key = value" setting; repeated keys (login, database, fail, ...) add entries.
void ApplySetting(Config& C, const std::string& Key, const std::string& Value);
void LoadConfigFile(Config& C, const std::wstring& Path);
// Flags are the same keys as "--key value" or "--key=value" ("-" and "_" alike); "--config FILE" reads a file
// at that point, so later flags override it.
Config ParseCommandLine(const std::vector<std::wstring>& Args);
void Validate(Config& C);

bool IsLoopbackAddress(const std::string& Address);
std::string HelpText();

}  // namespace standin
