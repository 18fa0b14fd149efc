#include "IdWship6.h"

#include <atomic>

namespace IdWship6 {
decltype(&::getaddrinfo) getaddrinfo = nullptr;
decltype(&::getnameinfo) getnameinfo = nullptr;
decltype(&::freeaddrinfo) freeaddrinfo = nullptr;
decltype(&::inet_pton) inet_pton = nullptr;
decltype(&::inet_ntop) inet_ntop = nullptr;
FARPROC GetAddrInfoExA = nullptr;
FARPROC SetAddrInfoExA = nullptr;
FARPROC FreeAddrInfoEx = nullptr;
FARPROC WSASetSocketPeerTargetName = nullptr;
FARPROC WSADeleteSocketPeerTargetName = nullptr;
FARPROC WSAImpersonateSocketPeer = nullptr;
FARPROC WSAQuerySocketSecurity = nullptr;
FARPROC WSARevertImpersonation = nullptr;
}  // namespace IdWship6

namespace {
std::atomic<HMODULE> Wship6Library{nullptr};
std::atomic<HMODULE> SecurityLibrary{nullptr};
bool HelpersAvailable = false;

template <class F>
void Take(HMODULE M, const char* Name, F& Slot) {
    Slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(M, Name)));
}

bool NewEnoughPlatform() { return Win32Platform == VER_PLATFORM_WIN32_NT && Win32MajorVersion >= 5; }
}  // namespace

bool GIdIPv6FuncsAvailable() { return HelpersAvailable; }

void LoadIPv6Helpers() {
    namespace W = IdWship6;
    HelpersAvailable = false;
    if (!NewEnoughPlatform())
        return;
    LoadSocketLibrary();
    HMODULE From = SocketLibraryHandle();
    Take(From, "getaddrinfo", W::getaddrinfo);
    if (!W::getaddrinfo) {
        From = LoadLibraryA("Wship6.dll");
        Wship6Library = From;
        if (From)
            Take(From, "getaddrinfo", W::getaddrinfo);
    }
    if (From) {
        Take(From, "getnameinfo", W::getnameinfo);
        Take(From, "freeaddrinfo", W::freeaddrinfo);
    }
    if (!W::getaddrinfo || !W::getnameinfo || !W::freeaddrinfo) {
        UnloadIPv6Helpers();
        return;
    }
    HelpersAvailable = true;
    Take(From, "inet_pton", W::inet_pton);
    Take(From, "inet_ntop", W::inet_ntop);
    Take(From, "GetAddrInfoExA", W::GetAddrInfoExA);
    Take(From, "SetAddrInfoExA", W::SetAddrInfoExA);
    Take(From, "FreeAddrInfoEx", W::FreeAddrInfoEx);
    if (HMODULE Security = LoadLibraryA("Fwpuclnt.dll")) {
        SecurityLibrary = Security;
        Take(Security, "WSASetSocketPeerTargetName", W::WSASetSocketPeerTargetName);
        Take(Security, "WSADeleteSocketPeerTargetName", W::WSADeleteSocketPeerTargetName);
        Take(Security, "WSAImpersonateSocketPeer", W::WSAImpersonateSocketPeer);
        Take(Security, "WSAQuerySocketSecurity", W::WSAQuerySocketSecurity);
        Take(Security, "WSARevertImpersonation", W::WSARevertImpersonation);
    }
}

void UnloadIPv6Helpers() {
    namespace W = IdWship6;
    if (!NewEnoughPlatform())
        return;
    if (HMODULE M = Wship6Library.exchange(nullptr))
        FreeLibrary(M);
    if (HMODULE M = SecurityLibrary.exchange(nullptr))
        FreeLibrary(M);
    HelpersAvailable = false;
    W::getaddrinfo = nullptr;
    W::getnameinfo = nullptr;
    W::freeaddrinfo = nullptr;
    W::WSASetSocketPeerTargetName = W::WSADeleteSocketPeerTargetName = W::WSAImpersonateSocketPeer = nullptr;
    W::WSAQuerySocketSecurity = W::WSARevertImpersonation = nullptr;
}

int GaiToSocketError(int Code) {
    switch (Code) {
    case 1: return 0;
    case 2: return 11002;
    case 3: return 10022;
    case 4: return 11003;
    case 5: return 10047;
    case 6: return 8;
    case 7: return 11004;
    case 8: return 11001;
    case 9: return 10109;
    case 10: return 10044;
    case 11: RaiseLastOSError();
    default: return Code;
    }
}
