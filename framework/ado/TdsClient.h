// The TDS client: one TCP connection to a SQL Server, the login, requests (SQL batches and
// sp_executesql with typed parameters) and their replies, drained whole before the next request.
//
// Failures raise ETdsError (an EOleException with the provider's texts); its Kind tells whether the
// connection is still usable (Server, Timeout, Cancelled) or was closed (Login, Network, Protocol,
// Unsupported). One thread uses a client; Cancel may come from another.
#pragma once

#include "SqlServerName.h"
#include "TdsPackets.h"
#include "TdsSocket.h"
#include "TdsSspi.h"
#include "TdsTokens.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct TTdsConnectParams {
    std::wstring DataSource;  // "(local)", ".", host, "host\instance", "host,port"
    std::wstring Database;    // the login's database; empty: the login's default
    std::wstring UserName;
    std::wstring Password;
    bool IntegratedSecurity = false;
    DWORD ConnectTimeoutMs = 15000;  // bounds resolution, connect and login; 0: no limit
    std::uint32_t TdsVersion = TdsVersion::V71Rev1;  // the highest version asked for
    std::uint32_t PacketSize = 4096;
    std::wstring AppName;  // empty: the executable's base name
    TSqlResolveOptions Resolve;
    std::function<std::unique_ptr<ITdsSspi>()> CreateSspi;  // empty: the platform's "Negotiate"
};

class TTdsClient {
public:
    TTdsClient() = default;
    ~TTdsClient() { Disconnect(); }
    TTdsClient(const TTdsClient&) = delete;
    TTdsClient& operator=(const TTdsClient&) = delete;

    // Resolves the server, connects and logs in. On failure the client stays disconnected.
    void Connect(const TTdsConnectParams& Params);
    // Closes the connection (TDS has no logout message).
    void Disconnect();
    bool Connected() const { return FSocket.IsOpen(); }

    // Runs a batch. TimeoutMs bounds each wait for the server (0: none); when it passes the request
    // is cancelled with an attention and "Timeout expired" raised. A reply with an error above
    // class 10 raises that error after the whole reply was read.
    TTdsReply ExecuteBatch(const std::wstring& Sql, DWORD TimeoutMs = 0);
    // Runs Sql through sp_executesql with named parameters ("@name" in Sql), typed by their values.
    TTdsReply ExecuteSql(const std::wstring& Sql, const std::vector<TTdsParam>& Params, DWORD TimeoutMs = 0);
    // Cancels the running request from another thread: it ends with "Operation cancelled".
    void Cancel();

    const TTdsSession& Session() const { return FSession; }
    const TTdsLoginAck& LoginAck() const { return FLoginAck; }
    // The messages of the login reply (database and language changes ...).
    const std::vector<TTdsMessage>& LoginMessages() const { return FLoginMessages; }

    // How long an attention may wait for its acknowledgement before the connection is given up.
    DWORD AttentionGraceMs = 30000;

private:
    enum class TAttention { None, Timeout, Cancel };

    void Login(const TTdsConnectParams& P, const TSqlServerName& Name, const sockaddr_in& Address,
               const TTdsDeadline& Deadline);
    TTdsReply Request(std::uint8_t Type, const TTdsBytes& Payload, DWORD TimeoutMs);
    bool SendAttention();  // with FLock held
    bool OnReadTimeout();

    TWinsockUser FWinsock{false};  // started by the first Connect
    TTdsSocket FSocket;
    TTdsSession FSession;
    TTdsTokenParser FParser{FSession};
    TTdsLoginAck FLoginAck;
    std::vector<TTdsMessage> FLoginMessages;

    std::mutex FLock;  // guards the two below against Cancel
    bool FPending = false;  // a request was sent and its reply is not complete
    TAttention FAttention = TAttention::None;
};
