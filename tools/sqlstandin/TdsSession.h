// One client connection: pre-login, login, then requests (batches, sp_executesql RPCs, attentions) until the
// client closes. Malformed input closes this session only.
#pragma once

#include "Catalog.h"
#include "Config.h"
#include "SqlEngine.h"
#include "Transcript.h"

#include <winsock2.h>

#include <atomic>
#include <string>

namespace standin {

struct ServerContext {
    const Config& Settings;
    Catalog& Databases;
    sql::Engine& Engine;
    Transcript& Log;
    std::atomic<int> NextSpid{51};
};

// Serves the connection until it ends, then closes the socket.
void RunSession(SOCKET S, const std::string& Peer, ServerContext& Server);

}  // namespace standin
