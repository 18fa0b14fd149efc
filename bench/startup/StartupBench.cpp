// Starts the program and a bare window program from the same folder several times each, in turns,
// and times every start until the process shows a visible, painted top-level window. Prints the
// medians of both and their ratio.
#include "BenchClock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string ProgramFolder() {
    char Path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string S = Path;
    return S.substr(0, S.find_last_of("\\/") + 1);
}

struct TFind {
    DWORD Pid;
    HWND Found;
};

BOOL CALLBACK FindShown(HWND Wnd, LPARAM Param) {
    auto* F = reinterpret_cast<TFind*>(Param);
    DWORD Pid = 0;
    GetWindowThreadProcessId(Wnd, &Pid);
    RECT R{};
    if (Pid != F->Pid || !IsWindowVisible(Wnd) || IsIconic(Wnd) || !GetWindowRect(Wnd, &R) || R.right - R.left < 100)
        return TRUE;
    F->Found = Wnd;
    return FALSE;
}

// Milliseconds from CreateProcess until the process has a visible top-level window and the window's
// thread answers a message (its start-up work is over and it reads its queue), or -1 on failure.
// (An update region is no sign of painting under Wine: the X server's expose events come later.)
double TimeStart(const std::string& Exe) {
    STARTUPINFOA Si{};
    Si.cb = sizeof Si;
    PROCESS_INFORMATION Pi{};
    std::string Command = "\"" + Exe + "\"";
    const double Start = BenchNow();
    if (!CreateProcessA(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi))
        return -1;
    double Result = -1;
    TFind F{Pi.dwProcessId, nullptr};
    while (BenchNow() - Start < 30000) {
        F.Found = nullptr;
        EnumWindows(FindShown, reinterpret_cast<LPARAM>(&F));
        DWORD_PTR Answer = 0;
        if (F.Found && SendMessageTimeoutA(F.Found, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &Answer)) {
            Result = BenchNow() - Start;
            break;
        }
        if (WaitForSingleObject(Pi.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    // A window that closes ends its program; the program itself only hides into its tray icon.
    if (F.Found)
        PostMessageA(F.Found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(Pi.hProcess, 2000) != WAIT_OBJECT_0) {
        TerminateProcess(Pi.hProcess, 0);
        WaitForSingleObject(Pi.hProcess, 10000);
    }
    CloseHandle(Pi.hThread);
    CloseHandle(Pi.hProcess);
    // Wine tidies up after a program with windows for a while; a start in that time waits for it.
    Sleep(2500);
    return Result;
}

double Median(std::vector<double> V) {
    std::sort(V.begin(), V.end());
    const std::size_t N = V.size();
    return N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
}

void Print(const char* Name, const std::vector<double>& Ms) {
    std::printf("%-16s", Name);
    for (double V : Ms)
        std::printf(" %7.1f", V);
    std::printf("   median %7.1f ms\n", Median(Ms));
}

}  // namespace

int main(int argc, char** argv) {
    const int Runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    // The program's discovery broadcast stays on loopback.
    if (!std::getenv("QUARNEL_DISCOVERY_ADDRESS"))
        SetEnvironmentVariableA("QUARNEL_DISCOVERY_ADDRESS", "127.0.0.1:1434");
    const std::string Folder = ProgramFolder();
    const std::string Bare = Folder + "startup_bare_window.exe", Program = Folder + "QuarnelBackup.exe";
    // One start of each first: the loader's file cache is warm for both.
    if (TimeStart(Bare) < 0 || TimeStart(Program) < 0) {
        std::printf("a program did not show its window: %s, %s\n", Bare.c_str(), Program.c_str());
        return 1;
    }
    std::vector<double> BareMs, ProgramMs;
    for (int I = 0; I < Runs; ++I) {
        BareMs.push_back(TimeStart(Bare));
        ProgramMs.push_back(TimeStart(Program));
    }
    for (const auto* Ms : {&BareMs, &ProgramMs})
        if (std::count(Ms->begin(), Ms->end(), -1.0)) {
            std::printf("a start failed to show its window\n");
            return 1;
        }
    std::printf("Start until the main window is visible and answers, %d runs each, in turns:\n", Runs);
    Print("bare window", BareMs);
    Print("QuarnelBackup", ProgramMs);
    std::printf("ratio %.2f (goal: at most 1.5)\n", Median(ProgramMs) / Median(BareMs));
    return 0;
}
