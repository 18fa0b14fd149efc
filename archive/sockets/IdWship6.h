// The IPv6 name-resolution helpers of the socket library, taken when the system has them.
#pragma once

#include "IdWinsock2.h"

namespace IdWship6 {
extern decltype(&::getaddrinfo) getaddrinfo;
extern decltype(&::getnameinfo) getnameinfo;
extern decltype(&::freeaddrinfo) freeaddrinfo;
extern decltype(&::inet_pton) inet_pton;
extern decltype(&::inet_ntop) inet_ntop;
extern FARPROC GetAddrInfoExA;
extern FARPROC SetAddrInfoExA;
extern FARPROC FreeAddrInfoEx;
extern FARPROC WSASetSocketPeerTargetName;
extern FARPROC WSADeleteSocketPeerTargetName;
extern FARPROC WSAImpersonateSocketPeer;
extern FARPROC WSAQuerySocketSecurity;
extern FARPROC WSARevertImpersonation;
}  // namespace IdWship6

bool GIdIPv6FuncsAvailable();
void LoadIPv6Helpers();
void UnloadIPv6Helpers();
// A name-resolution error as the socket error it stands for.
int GaiToSocketError(int Code);
