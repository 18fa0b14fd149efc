// Server names as "Data Source" gives them, and their resolution to a TCP endpoint:
// "(local)", "." and the machine's own name are this computer; "host,port" names the port;
// "host\instance" asks the host's resolution service (UDP 1434) for the instance's port;
// otherwise port 1433.
#pragma once

#include "TdsSocket.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TSqlServerName {
    std::wstring Host;      // as written; empty never (the local host is "(local)")
    std::wstring Instance;  // empty for the default instance
    std::uint16_t Port = 0; // 0: none given
    bool Local = false;     // "(local)", ".", the machine's name or an empty Data Source
};

// Splits a Data Source. Raises ETdsError (kind Config) for a malformed one (bad port, empty host).
TSqlServerName ParseSqlServerName(const std::wstring& DataSource);

// One instance of a resolution-service reply.
struct TSsrpInstance {
    std::string ServerName;
    std::string InstanceName;
    std::string Version;
    std::string Pipe;
    std::uint16_t TcpPort = 0;  // 0: not reachable over TCP
};

// The request for one instance's details: 0x04, the name (at most 32 bytes), 0x00.
TTdsBytes BuildSsrpInstanceRequest(const std::string& Instance);
// Parses a server response datagram (0x05, size, text); bytes beyond the datagram are never read.
std::vector<TSsrpInstance> ParseSsrpResponse(const std::uint8_t* Data, size_t Size);

// Gives the IPv4 address of a host name; false when it has none.
using THostResolver = std::function<bool(const std::string& Host, in_addr& Address)>;
bool DefaultHostResolver(const std::string& Host, in_addr& Address);

struct TSqlResolveOptions {
    std::uint16_t SsrpPort = 1434;
    DWORD SsrpWaitMs = 1000;  // for the instance's answer
    THostResolver ResolveHost = DefaultHostResolver;
};

// The TCP endpoint of a server. Raises ETdsError (kind Network) with the provider's text when the
// host or the instance cannot be found before the deadline.
sockaddr_in ResolveSqlServer(const TSqlServerName& Name, const TTdsDeadline& Deadline, const TSqlResolveOptions& Options);

// This computer's name (NetBIOS form), as "Data Source" may name it.
std::wstring LocalComputerName();
