// Test helpers for the stand-in: starting it as a process on free ports, and a minimal TDS client that sends
// what the program sends and decodes what the stand-in answers.
#pragma once

#include <winsock2.h>

#include <cstdint>
#include <string>
#include <vector>

namespace standin_test {

// A running stand-in: --port 0 --ssrp-port 0, state, transcript and ports file in Folder; killed at the end.
class StandIn {
public:
    StandIn(const std::string& Folder, const std::vector<std::string>& Args);
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;
    void Stop();
    int Port() const { return FPort; }
    int SsrpPort() const { return FSsrpPort; }
    std::string Transcript() const;
    const std::string& Folder() const { return FFolder; }

private:
    std::string FFolder;
    PROCESS_INFORMATION FProcess{};
    int FPort = 0, FSsrpPort = 0;
};

struct Message {
    std::int32_t Number = 0;
    std::uint8_t Class = 0;
    std::string Text;  // UTF-8
};

struct ResultSet {
    std::vector<std::string> Names;
    std::vector<std::vector<std::uint8_t>> TypeInfo;  // the TYPE_INFO bytes of each column, type byte first
    std::vector<std::vector<std::string>> Rows;        // values as UTF-8 text; "NULL" for null
};

struct Done {
    std::uint8_t Token = 0;
    std::uint16_t Status = 0;
    std::uint64_t Count = 0;
};

struct Reply {
    std::vector<std::uint8_t> Tokens;  // token bytes in order
    std::vector<ResultSet> Sets;
    std::vector<Message> Errors, Infos;
    std::vector<Done> Dones;
    std::vector<std::uint8_t> AckVersion;  // LOGINACK's TDS version bytes
    std::vector<std::uint8_t> SspiToken;
    std::string Database;
    int ReturnStatus = -1;
    std::vector<std::int32_t> ErrorNumbers() const;
};

class TdsClient {
public:
    explicit TdsClient(int Port);
    ~TdsClient();
    TdsClient(const TdsClient&) = delete;
    TdsClient& operator=(const TdsClient&) = delete;

    std::vector<std::uint8_t> PreLogin();  // the usual request; gives the reply's payload
    Reply Login(const std::string& User, const std::string& Password, const std::string& Database = "master",
                std::uint32_t Version = 0x71000001, bool Integrated = false);
    Reply Batch(const std::string& Utf8Text);
    // sp_executesql with nvarchar parameters: (name, value) pairs.
    Reply ExecuteSql(const std::string& Statement, const std::vector<std::pair<std::string, std::string>>& Params);

    void Send(std::uint8_t Type, const std::vector<std::uint8_t>& Payload, std::uint8_t Status = 1);
    void SendRaw(const std::vector<std::uint8_t>& Bytes);
    std::vector<std::uint8_t> ReadMessage();  // throws std::runtime_error when the server closed
    Reply ReadReply() { return Parse(ReadMessage()); }
    bool ClosedByServer();                    // the server closed the connection (within a few seconds)
    bool Tds72() const { return F72; }

private:
    Reply Parse(const std::vector<std::uint8_t>& Data);
    std::vector<std::uint8_t> AllHeaders() const;
    SOCKET FSocket = INVALID_SOCKET;
    bool F72 = false;
};

std::vector<std::uint8_t> Ucs2(const std::string& Utf8);
std::string Utf8(const std::wstring& Wide);

}  // namespace standin_test
