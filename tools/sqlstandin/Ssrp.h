// The resolution-protocol responder on UDP: lists this host's instances (and those of the configured extra
// hosts, each answering from a socket of its own) and tells one instance's TCP port.
#pragma once

#include "Config.h"
#include "Transcript.h"

#include <winsock2.h>

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// The SVR_RESP data for a host's instances: "ServerName;...;;" records.
std::string ResponseText(const std::string& Host, const std::vector<SsrpInstance>& Instances);
// One datagram answering Request, or empty for silence.
std::vector<std::uint8_t> Answer(const std::vector<std::uint8_t>& Request, const std::string& Host,
                                 const std::vector<SsrpInstance>& Instances, SsrpReplyForm Form);

class SsrpResponder {
public:
    // Binds every socket; throws std::runtime_error when one cannot be bound.
    SsrpResponder(const Config& C, int TcpPort, Transcript& Log);
    ~SsrpResponder();
    SsrpResponder(const SsrpResponder&) = delete;
    SsrpResponder& operator=(const SsrpResponder&) = delete;
    int Port() const { return FPort; }
    void Start();  // one receiving thread per socket, for the life of the process

private:
    struct Host {
        std::string Name, Address;
        std::vector<SsrpInstance> Instances;
        SOCKET Socket = INVALID_SOCKET;
    };
    void Serve(std::size_t HostIndex);
    void Reply(const Host& H, SOCKET From, const std::vector<std::uint8_t>& Request, const sockaddr_in& To);

    const Config& FConfig;
    Transcript& FLog;
    std::vector<Host> FHosts;  // [0] is this host, bound to the configured address and port
    int FPort = 0;
};

}  // namespace standin
