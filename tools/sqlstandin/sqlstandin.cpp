// SQL Server stand-in: TDS on loopback and the resolution protocol, for tests and the demo.
#include "Catalog.h"
#include "Config.h"
#include "SqlEngine.h"
#include "Ssrp.h"
#include "TdsSession.h"
#include "Text.h"
#include "Transcript.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <thread>

using namespace standin;

static int Fatal(int Code, const std::string& Message) {
    std::fprintf(stderr, "sqlstandin: %s\n", Message.c_str());
    return Code;
}

// The ports file is written whole and then renamed, so a reader never sees half of it.
static void WritePortsFile(const std::wstring& Path, const std::string& Line) {
    std::wstring Tmp = Path + L".tmp";
    HANDLE H = CreateFileW(Tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write the ports file " + ToUtf8(Path));
    DWORD Done = 0;
    WriteFile(H, Line.data(), static_cast<DWORD>(Line.size()), &Done, nullptr);
    CloseHandle(H);
    if (!MoveFileExW(Tmp.c_str(), Path.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw std::runtime_error("cannot write the ports file " + ToUtf8(Path));
}

int main() {
    int Argc = 0;
    wchar_t** Argv = CommandLineToArgvW(GetCommandLineW(), &Argc);
    std::vector<std::wstring> Args(Argv + 1, Argv + Argc);
    LocalFree(Argv);
    if (!Args.empty() && (Args[0] == L"--help" || Args[0] == L"-h" || Args[0] == L"/?")) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    Config C;
    try {
        C = ParseCommandLine(Args);
        Validate(C);
    } catch (const ConfigError& E) {
        return Fatal(2, E.what());
    }
    WSADATA Wsa;
    if (WSAStartup(MAKEWORD(2, 2), &Wsa) != 0)
        return Fatal(3, "cannot start the socket library");
    try {
        Catalog Databases(C);
        Transcript Log(C.TranscriptPath);
        sql::Engine Engine(C, Databases);
        ServerContext Server{C, Databases, Engine, Log};

        SOCKET Listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        // Two stand-ins must never share a port unnoticed.
        BOOL Exclusive = TRUE;
        setsockopt(Listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&Exclusive), sizeof Exclusive);
        sockaddr_in A{};
        A.sin_family = AF_INET;
        A.sin_port = htons(static_cast<u_short>(C.Port));
        inet_pton(AF_INET, C.Address.c_str(), &A.sin_addr);
        if (bind(Listener, reinterpret_cast<sockaddr*>(&A), sizeof A) != 0 || listen(Listener, SOMAXCONN) != 0)
            return Fatal(3, "cannot listen on TCP " + C.Address + ":" + std::to_string(C.Port) + " (error " +
                                std::to_string(WSAGetLastError()) + ")");
        int Len = sizeof A;
        getsockname(Listener, reinterpret_cast<sockaddr*>(&A), &Len);
        const int TcpPort = ntohs(A.sin_port);

        std::unique_ptr<SsrpResponder> Ssrp;
        if (C.SsrpPort >= 0) {
            Ssrp = std::make_unique<SsrpResponder>(C, TcpPort, Log);
            Ssrp->Start();
        }
        std::string Ready = "sqlstandin ready tcp=" + C.Address + ":" + std::to_string(TcpPort) + " ssrp=" +
                            (Ssrp ? C.Address + ":" + std::to_string(Ssrp->Port()) : std::string("off")) + "\n";
        Log.Write("-", "listen", Trim(Ready.substr(Ready.find("tcp="))));
        if (!C.PortsFile.empty())
            WritePortsFile(C.PortsFile, Ready);
        std::fputs(Ready.c_str(), stdout);
        std::fflush(stdout);

        for (;;) {
            sockaddr_in Peer{};
            int PeerLen = sizeof Peer;
            SOCKET S = accept(Listener, reinterpret_cast<sockaddr*>(&Peer), &PeerLen);
            if (S == INVALID_SOCKET)
                continue;
            char Host[INET_ADDRSTRLEN] = "?";
            inet_ntop(AF_INET, &Peer.sin_addr, Host, sizeof Host);
            std::string PeerText = std::string(Host) + ":" + std::to_string(ntohs(Peer.sin_port));
            std::thread([S, PeerText, &Server] { RunSession(S, PeerText, Server); }).detach();
        }
    } catch (const std::exception& E) {
        return Fatal(3, E.what());
    }
}
