// Starts the SQL Server stand-in (sqlstandin.exe beside the running program) on free loopback ports
// for the TDS client's tests and benchmark, and stops it at the end of its scope.
#pragma once

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

class TTdsStandIn {
public:
    // Args: further "--key value" settings. State lives in StateFolder.
    TTdsStandIn(const std::string& StateFolder, const std::vector<std::string>& Args) {
        char Exe[MAX_PATH];
        DWORD N = GetModuleFileNameA(nullptr, Exe, MAX_PATH);
        std::string Dir(Exe, N);
        Dir.erase(Dir.find_last_of('\\') + 1);
        std::string Cmd = "\"" + Dir + "sqlstandin.exe\" --port 0 --ssrp-port 0 --state \"" + StateFolder + "state\"";
        for (const std::string& A : Args)
            Cmd += " \"" + A + "\"";
        SECURITY_ATTRIBUTES Sa{sizeof Sa, nullptr, TRUE};
        HANDLE Write = nullptr;
        if (!CreatePipe(&FOut, &Write, &Sa, 0))
            throw std::runtime_error("cannot create a pipe");
        SetHandleInformation(FOut, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA Si{};
        Si.cb = sizeof Si;
        Si.dwFlags = STARTF_USESTDHANDLES;
        Si.hStdOutput = Write;
        Si.hStdError = Write;
        Si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        std::vector<char> Line(Cmd.begin(), Cmd.end());
        Line.push_back('\0');
        BOOL Ok = CreateProcessA(nullptr, Line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &Si, &FProcess);
        CloseHandle(Write);
        if (!Ok)
            throw std::runtime_error("cannot start " + Cmd);
        // The stand-in prints one line when it listens: "sqlstandin ready tcp=A:P ssrp=A:P".
        std::string Out;
        char C;
        DWORD Got;
        while (Out.find('\n') == std::string::npos && ReadFile(FOut, &C, 1, &Got, nullptr) && Got)
            Out += C;
        size_t T = Out.find("tcp="), U = Out.find("ssrp=");
        if (Out.rfind("sqlstandin ready", 0) != 0 || T == std::string::npos)
            throw std::runtime_error("the stand-in did not start: " + Out);
        Port = std::atoi(Out.c_str() + Out.find(':', T) + 1);
        if (U != std::string::npos && Out.compare(U, 8, "ssrp=off") != 0)
            SsrpPort = std::atoi(Out.c_str() + Out.find(':', U) + 1);
    }
    ~TTdsStandIn() {
        TerminateProcess(FProcess.hProcess, 0);
        WaitForSingleObject(FProcess.hProcess, 5000);
        CloseHandle(FProcess.hProcess);
        CloseHandle(FProcess.hThread);
        CloseHandle(FOut);
    }
    TTdsStandIn(const TTdsStandIn&) = delete;
    TTdsStandIn& operator=(const TTdsStandIn&) = delete;

    // "127.0.0.1,<port>": the Data Source that reaches it.
    std::wstring DataSource() const { return L"127.0.0.1," + std::to_wstring(Port); }

    int Port = 0;
    int SsrpPort = 0;

private:
    PROCESS_INFORMATION FProcess{};
    HANDLE FOut = nullptr;
};
