#include "Config.h"

#include "Text.h"

#include <windows.h>

#include <cstdio>
#include <sstream>

namespace standin {

std::wstring Config::FullServerName() const {
    if (Instance.empty() || SameText(Instance, L"MSSQLSERVER"))
        return ServerName;
    return ServerName + L"\\" + Instance;
}

std::string Config::InstanceName() const {
    return Instance.empty() ? std::string("MSSQLSERVER") : ToUtf8(Instance);
}

static std::uint64_t ParseNumber(const std::string& Key, const std::string& Text, std::uint64_t Max) {
    std::string T = Trim(Text);
    if (T.empty() || T.size() > 19 || T.find_first_not_of("0123456789") != std::string::npos)
        throw ConfigError(Key + ": '" + Text + "' is not a number");
    std::uint64_t V = std::stoull(T);
    if (V > Max)
        throw ConfigError(Key + ": " + T + " is larger than " + std::to_string(Max));
    return V;
}

static std::vector<std::string> Words(const std::string& Text) {
    std::istringstream In(Text);
    std::vector<std::string> W;
    std::string X;
    while (In >> X)
        W.push_back(X);
    return W;
}

// "PATTERN => REST": the pattern may hold blanks; the arrow separates it from the rule's arguments.
static void SplitRule(const std::string& Key, const std::string& Value, const char* Usage, std::wstring& Pattern,
                      std::string& Rest) {
    auto P = Value.find("=>");
    if (P == std::string::npos || Trim(Value.substr(0, P)).empty())
        throw ConfigError(Key + ": expected '" + Usage + "', got '" + Value + "'");
    Pattern = FromUtf8(Trim(Value.substr(0, P)));
    Rest = Trim(Value.substr(P + 2));
}

static SsrpInstance ParseInstance(const std::string& Key, const std::string& Spec, const std::string& DefaultVersion) {
    // NAME[:PORT][@VERSION]
    SsrpInstance I;
    std::string S = Spec;
    auto At = S.find('@');
    I.Version = DefaultVersion;
    if (At != std::string::npos) {
        I.Version = S.substr(At + 1);
        S = S.substr(0, At);
    }
    auto Colon = S.find(':');
    if (Colon != std::string::npos) {
        I.TcpPort = static_cast<int>(ParseNumber(Key, S.substr(Colon + 1), 65535));
        S = S.substr(0, Colon);
    }
    if (S.empty() || S.size() > 32)
        throw ConfigError(Key + ": instance name '" + S + "' must have 1 to 32 characters");
    I.Name = S;
    return I;
}

void ApplySetting(Config& C, const std::string& RawKey, const std::string& RawValue) {
    std::string Key = RawKey;
    for (char& Ch : Key)
        Ch = Ch == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(Ch)));
    const std::string Value = Trim(RawValue);
    if (Key == "address") {
        C.Address = Value == "localhost" ? "127.0.0.1" : Value;
    } else if (Key == "port") {
        C.Port = static_cast<int>(ParseNumber(Key, Value, 65535));
    } else if (Key == "server") {
        C.ServerName = FromUtf8(Value);
    } else if (Key == "instance") {
        C.Instance = FromUtf8(Value);
    } else if (Key == "version") {
        C.Version = Value;
    } else if (Key == "ssrp_port") {
        C.SsrpPort = Value == "off" ? -1 : static_cast<int>(ParseNumber(Key, Value, 65535));
    } else if (Key == "ssrp_delay_ms") {
        C.SsrpDelayMs = static_cast<unsigned>(ParseNumber(Key, Value, 600000));
    } else if (Key == "ssrp_reply") {
        static const std::pair<const char*, SsrpReplyForm> Forms[] = {
            {"normal", SsrpReplyForm::Normal}, {"short", SsrpReplyForm::Short},
            {"garbage", SsrpReplyForm::Garbage}, {"oversize", SsrpReplyForm::Oversize},
            {"unterminated", SsrpReplyForm::Unterminated}};
        bool Found = false;
        for (auto& [Name, Form] : Forms)
            if (Value == Name) {
                C.SsrpForm = Form;
                Found = true;
            }
        if (!Found)
            throw ConfigError(Key + ": expected normal, short, garbage, oversize or unterminated, got '" + Value + "'");
    } else if (Key == "ssrp_instance") {
        C.SsrpInstances.push_back(ParseInstance(Key, Value, C.Version));
    } else if (Key == "ssrp_host") {
        auto W = Words(Value);
        if (W.size() < 2)
            throw ConfigError(Key + ": expected 'NAME ADDRESS [INSTANCE[:PORT][@VERSION]] ...', got '" + Value + "'");
        SsrpHost H{W[0], W[1], {}};
        for (std::size_t I = 2; I < W.size(); ++I)
            H.Instances.push_back(ParseInstance(Key, W[I], C.Version));
        if (H.Instances.empty())
            H.Instances.push_back({"MSSQLSERVER", C.Version, 1433});
        C.SsrpHosts.push_back(H);
    } else if (Key == "state") {
        C.StateDir = FromUtf8(Value);
    } else if (Key == "data_dir") {
        C.DataDir = FromUtf8(Value);
    } else if (Key == "backup_dir") {
        C.BackupDir = FromUtf8(Value);
    } else if (Key == "login") {
        auto Colon = Value.find(':');
        if (Colon == std::string::npos || Colon == 0)
            throw ConfigError(Key + ": expected 'NAME:PASSWORD', got '" + Value + "'");
        C.Logins.push_back({FromUtf8(Value.substr(0, Colon)), FromUtf8(RawValue.substr(RawValue.find(':') + 1))});
    } else if (Key == "integrated") {
        if (Value == "accept")
            C.Integrated = IntegratedMode::Accept;
        else if (Value == "challenge")
            C.Integrated = IntegratedMode::Challenge;
        else if (Value == "refuse")
            C.Integrated = IntegratedMode::Refuse;
        else
            throw ConfigError(Key + ": expected accept, challenge or refuse, got '" + Value + "'");
    } else if (Key == "encryption") {
        if (Value == "off")
            C.Encryption = 0x02;
        else if (Value == "required")
            C.Encryption = 0x03;
        else
            throw ConfigError(Key + ": expected off or required, got '" + Value + "'");
    } else if (Key == "database") {
        auto W = Words(Value);
        if (W.empty() || W.size() > 3)
            throw ConfigError(Key + ": expected 'NAME [DATA_BYTES [LOG_BYTES]]', got '" + Value + "'");
        DatabaseSeed D;
        D.Name = FromUtf8(W[0]);
        if (W.size() > 1)
            D.DataSize = ParseNumber(Key, W[1], 1ull << 40);
        if (W.size() > 2)
            D.LogSize = ParseNumber(Key, W[2], 1ull << 40);
        C.Databases.push_back(D);
    } else if (Key == "backup_size") {
        C.BackupSize = ParseNumber(Key, Value, 1ull << 40);
    } else if (Key == "fail") {
        FailRule R;
        std::string Rest;
        const char* Usage = "PATTERN => NUMBER CLASS MESSAGE";
        SplitRule(Key, Value, Usage, R.Pattern, Rest);
        auto W = Words(Rest);
        if (W.size() < 3)
            throw ConfigError(Key + ": expected '" + Usage + "', got '" + Value + "'");
        R.Number = static_cast<std::int32_t>(ParseNumber(Key, W[0], 2147483647));
        R.Class = static_cast<std::uint8_t>(ParseNumber(Key, W[1], 25));
        if (R.Class < 11)
            throw ConfigError(Key + ": an error's class is 11 to 25, got " + W[1]);
        std::size_t MsgStart = Rest.find(W[1], Rest.find(W[0]) + W[0].size()) + W[1].size();
        R.Message = FromUtf8(Trim(Rest.substr(MsgStart)));
        C.Fails.push_back(R);
    } else if (Key == "delay") {
        DelayRule R;
        std::string Rest;
        SplitRule(Key, Value, "PATTERN => MILLISECONDS", R.Pattern, Rest);
        R.Milliseconds = static_cast<unsigned>(ParseNumber(Key, Rest, 3600000));
        C.Delays.push_back(R);
    } else if (Key == "bench_query") {
        C.BenchQuery = FromUtf8(Value);
    } else if (Key == "bench_rows") {
        C.BenchRows = ParseNumber(Key, Value, 100000000);
    } else if (Key == "transcript") {
        C.TranscriptPath = FromUtf8(Value);
    } else if (Key == "ports_file") {
        C.PortsFile = FromUtf8(Value);
    } else {
        throw ConfigError("unknown setting '" + RawKey + "'");
    }
}

void LoadConfigFile(Config& C, const std::wstring& Path) {
    HANDLE H = CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        throw ConfigError("cannot read configuration file " + ToUtf8(Path));
    std::string Content;
    char Buf[4096];
    DWORD N = 0;
    while (ReadFile(H, Buf, sizeof Buf, &N, nullptr) && N > 0)
        Content.append(Buf, N);
    CloseHandle(H);
    if (Content.size() >= 3 && Content.compare(0, 3, "\xEF\xBB\xBF") == 0)
        Content.erase(0, 3);
    int LineNo = 0;
    for (auto& Raw : Split(Content, '\n')) {
        ++LineNo;
        std::string Line = Raw;
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        std::string T = Trim(Line);
        if (T.empty() || T[0] == '#')
            continue;
        auto Eq = Line.find('=');
        if (Eq == std::string::npos)
            throw ConfigError(ToUtf8(Path) + ":" + std::to_string(LineNo) + ": expected 'key = value'");
        try {
            std::string Value = Line.substr(Eq + 1);
            // Keep a password's own blanks: only the one blank after "=" is layout.
            if (!Value.empty() && Value[0] == ' ')
                Value.erase(0, 1);
            ApplySetting(C, Trim(Line.substr(0, Eq)), Value);
        } catch (const ConfigError& E) {
            throw ConfigError(ToUtf8(Path) + ":" + std::to_string(LineNo) + ": " + E.what());
        }
    }
}

Config ParseCommandLine(const std::vector<std::wstring>& Args) {
    Config C;
    for (std::size_t I = 0; I < Args.size(); ++I) {
        std::string A = ToUtf8(Args[I]);
        if (A.size() < 3 || A.compare(0, 2, "--") != 0)
            throw ConfigError("unexpected argument '" + A + "' (settings are given as --key value)");
        std::string Key = A.substr(2), Value;
        auto Eq = Key.find('=');
        if (Eq != std::string::npos) {
            Value = Key.substr(Eq + 1);
            Key = Key.substr(0, Eq);
        } else {
            if (I + 1 >= Args.size())
                throw ConfigError("--" + Key + " needs a value");
            Value = ToUtf8(Args[++I]);
        }
        if (Key == "config")
            LoadConfigFile(C, FromUtf8(Value));
        else
            ApplySetting(C, Key, Value);
    }
    return C;
}

bool IsLoopbackAddress(const std::string& Address) {
    unsigned A, B, Cc, D;
    char Tail;
    if (std::sscanf(Address.c_str(), "%u.%u.%u.%u%c", &A, &B, &Cc, &D, &Tail) != 4)
        return false;
    return A == 127 && B < 256 && Cc < 256 && D < 256;
}

void Validate(Config& C) {
    if (!IsLoopbackAddress(C.Address))
        throw ConfigError("address " + C.Address + " is not a loopback address (127.x.x.x); the stand-in listens on loopback only");
    for (auto& H : C.SsrpHosts)
        if (!IsLoopbackAddress(H.Address))
            throw ConfigError("ssrp_host " + H.Name + ": address " + H.Address + " is not a loopback address");
    if (C.ServerName.empty()) {
        wchar_t Name[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD N = MAX_COMPUTERNAME_LENGTH + 1;
        C.ServerName = GetComputerNameW(Name, &N) ? std::wstring(Name, N) : L"SQLSTANDIN";
    }
    if (C.StateDir.empty())
        throw ConfigError("state: the state folder must be named");
    if (C.DataDir.empty())
        C.DataDir = C.StateDir + L"\\Data";
    if (C.BackupDir.empty())
        C.BackupDir = C.StateDir + L"\\Backup";
    if (C.Logins.empty())
        C.Logins.push_back({L"sa", L""});
    if (!C.BenchQuery.empty() && C.BenchRows == 0)
        throw ConfigError("bench_query needs bench_rows");
}

std::string HelpText() {
    return "usage: sqlstandin [--config FILE] [--key value ...]\n"
           "A SQL Server stand-in for tests: TDS on a loopback address, the resolution protocol on UDP.\n"
           "Keys (file: 'key = value'; flags: --key value): address, port, server, instance, version,\n"
           "ssrp_port, ssrp_delay_ms, ssrp_reply, ssrp_instance, ssrp_host, state, data_dir, backup_dir,\n"
           "login, integrated, encryption, database, backup_size, fail, delay, bench_query, bench_rows,\n"
           "transcript, ports_file. See README.md beside the sources.\n";
}

}  // namespace standin
