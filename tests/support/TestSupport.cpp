#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace testing_support {

std::string WinPath(const std::string& UnixPath) {
    std::string P = "Z:" + UnixPath;
    for (char& C : P)
        if (C == '/')
            C = '\\';
    return P;
}

std::string SevenZipDllPath() { return WinPath(QUARNEL_SEVENZIP_DLL); }
std::string BinDir() { return WinPath(QUARNEL_BIN_DIR) + "\\"; }
std::string SourceDir() { return WinPath(QUARNEL_SOURCE_DIR) + "\\"; }

std::string StoredFixture(const std::string& Name) { return SourceDir() + "tests\\stored\\" + Name; }

std::string ReadStoredFixture(const std::string& Name) {
    std::vector<std::uint8_t> Data = ReadFileBytes(StoredFixture(Name));
    return std::string(Data.begin(), Data.end());
}

::testing::AssertionResult MatchesStoredFixture(const std::string& Name, const std::string& Bytes) {
    if (const char* Write = std::getenv("QUARNEL_WRITE_STORED"); Write && *Write) {
        WriteFileBytes(StoredFixture(Name), std::vector<std::uint8_t>(Bytes.begin(), Bytes.end()));
        return ::testing::AssertionSuccess() << Name << " written";
    }
    const std::string Stored = ReadStoredFixture(Name);
    if (Stored == Bytes)
        return ::testing::AssertionSuccess();
    size_t At = 0;
    while (At < Stored.size() && At < Bytes.size() && Stored[At] == Bytes[At])
        ++At;
    return ::testing::AssertionFailure() << Name << ": " << Bytes.size() << " bytes written, " << Stored.size()
                                         << " stored; the first difference at offset " << At;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& Path) {
    std::vector<std::uint8_t> Data;
    FILE* F = std::fopen(Path.c_str(), "rb");
    if (!F)
        throw std::runtime_error("cannot open " + Path);
    std::uint8_t Buf[65536];
    size_t N;
    while ((N = std::fread(Buf, 1, sizeof Buf, F)) > 0)
        Data.insert(Data.end(), Buf, Buf + N);
    std::fclose(F);
    return Data;
}

void WriteFileBytes(const std::string& Path, const std::vector<std::uint8_t>& Data) {
    FILE* F = std::fopen(Path.c_str(), "wb");
    if (!F)
        throw std::runtime_error("cannot create " + Path);
    if (!Data.empty())
        std::fwrite(Data.data(), 1, Data.size(), F);
    std::fclose(F);
}

void WriteFileText(const std::string& Path, const std::string& Text) {
    WriteFileBytes(Path, std::vector<std::uint8_t>(Text.begin(), Text.end()));
}

TempDir::TempDir() {
    char Base[MAX_PATH];
    GetTempPathA(MAX_PATH, Base);
    static unsigned Counter = 0;
    for (;;) {
        char Name[MAX_PATH];
        std::snprintf(Name, sizeof Name, "%sqbt%lu_%u_%lu", Base, GetCurrentProcessId(), ++Counter, GetTickCount());
        if (CreateDirectoryA(Name, nullptr)) {
            FPath = std::string(Name) + "\\";
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error(std::string("cannot create temporary folder ") + Name);
    }
}

TempDir::~TempDir() { RemoveTree(FPath); }

void RemoveTree(const std::string& Path) {
    std::string Dir = Path;
    if (!Dir.empty() && Dir.back() == '\\')
        Dir.pop_back();
    WIN32_FIND_DATAA D;
    HANDLE H = FindFirstFileA((Dir + "\\*").c_str(), &D);
    if (H != INVALID_HANDLE_VALUE) {
        do {
            std::string N = D.cFileName;
            if (N == "." || N == "..")
                continue;
            std::string Full = Dir + "\\" + N;
            if (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(Full);
            else {
                SetFileAttributesA(Full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(Full.c_str());
            }
        } while (FindNextFileA(H, &D));
        FindClose(H);
    }
    RemoveDirectoryA(Dir.c_str());
}

int RunProcess(const std::string& CommandLine, unsigned TimeoutMs, const std::vector<std::string>& ExtraEnv,
               std::string* Output) {
    std::vector<char> Env;
    if (!ExtraEnv.empty()) {
        // Current environment minus the overridden names, then the extra entries.
        char* Cur = GetEnvironmentStringsA();
        for (const char* P = Cur; *P; P += std::strlen(P) + 1) {
            std::string Entry = P;
            bool Overridden = false;
            for (const auto& X : ExtraEnv) {
                auto Eq = X.find('=');
                if (_strnicmp(Entry.c_str(), X.c_str(), Eq + 1) == 0)
                    Overridden = true;
            }
            if (!Overridden)
                Env.insert(Env.end(), Entry.c_str(), Entry.c_str() + Entry.size() + 1);
        }
        FreeEnvironmentStringsA(Cur);
        for (const auto& X : ExtraEnv)
            Env.insert(Env.end(), X.c_str(), X.c_str() + X.size() + 1);
        Env.push_back('\0');
    }
    SECURITY_ATTRIBUTES Sa{sizeof Sa, nullptr, TRUE};
    HANDLE ReadPipe = nullptr, WritePipe = nullptr;
    STARTUPINFOA Si{};
    Si.cb = sizeof Si;
    if (Output) {
        CreatePipe(&ReadPipe, &WritePipe, &Sa, 0);
        SetHandleInformation(ReadPipe, HANDLE_FLAG_INHERIT, 0);
        Si.dwFlags = STARTF_USESTDHANDLES;
        Si.hStdOutput = WritePipe;
        Si.hStdError = WritePipe;
        Si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION Pi{};
    std::vector<char> Cmd(CommandLine.begin(), CommandLine.end());
    Cmd.push_back('\0');
    if (!CreateProcessA(nullptr, Cmd.data(), nullptr, nullptr, Output != nullptr, 0, Env.empty() ? nullptr : Env.data(),
                        nullptr, &Si, &Pi)) {
        if (Output) {
            CloseHandle(ReadPipe);
            CloseHandle(WritePipe);
        }
        throw std::runtime_error("cannot start " + CommandLine);
    }
    if (Output) {
        CloseHandle(WritePipe);
        Output->clear();
        char Buf[4096];
        DWORD N;
        while (ReadFile(ReadPipe, Buf, sizeof Buf, &N, nullptr) && N > 0)
            Output->append(Buf, N);
        CloseHandle(ReadPipe);
    }
    int Code = -1;
    if (WaitForSingleObject(Pi.hProcess, TimeoutMs) == WAIT_OBJECT_0) {
        DWORD C = 0;
        GetExitCodeProcess(Pi.hProcess, &C);
        Code = static_cast<int>(C);
    } else {
        TerminateProcess(Pi.hProcess, 1);
    }
    CloseHandle(Pi.hThread);
    CloseHandle(Pi.hProcess);
    return Code;
}

}  // namespace testing_support
