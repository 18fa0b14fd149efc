// Packing speed and memory of the backup's archive road against the 7-Zip library's own console
// program built from the same source: one 256 MiB file of database-like pages, level 9, compressed
// headers, a password, each packer in a child process of its own, in one run.
//
// Usage: bench_archive_pack.exe [console program] [work folder]
#include "JclBase.h"
#include "JclCompression.h"
#include "JclFileUtils.h"
#include "JclStrings.h"
#include "JclSysInfo.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef QUARNEL_7ZCON
#define QUARNEL_7ZCON ""
#endif

namespace {

constexpr Int64 FileSize = 256LL * 1024 * 1024;
constexpr const wchar_t* Password = L"Bench-1";

std::string WinePathOf(const std::string& UnixPath) {
    if (UnixPath.empty() || UnixPath[0] != '/')
        return UnixPath;
    std::string P = "Z:" + UnixPath;
    for (char& C : P)
        if (C == '/')
            C = '\\';
    return P;
}

// Pages of 8 KiB as a database server writes them: a header, rows of numbers, names, dates and
// amounts, and the free space at the end of the page.
void WriteDatabaseLikeFile(const std::string& Path) {
    static const char* Names[] = {"Ivanov", "Petrov", "Sidorova", "Kuznetsov", "Smirnova", "Popov", "Volkova",
                                  "Morozov", "Novikova", "Fedorov", "Orders", "Invoice", "Moscow", "Kazan"};
    HANDLE H = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<char> Chunk(1 << 20);
    std::uint32_t Seed = 2463534242u;
    auto Next = [&] {
        Seed ^= Seed << 13;
        Seed ^= Seed >> 17;
        Seed ^= Seed << 5;
        return Seed;
    };
    std::uint32_t PageNo = 0, RowId = 1;
    for (Int64 Done = 0; Done < FileSize; Done += static_cast<Int64>(Chunk.size())) {
        for (size_t Page = 0; Page < Chunk.size(); Page += 8192) {
            char* P = &Chunk[Page];
            std::memset(P, 0, 8192);
            std::snprintf(P, 96, "PAGE%08u OBJ%04u LSN%012u", PageNo, PageNo % 97, PageNo * 7 + 3);
            ++PageNo;
            size_t Off = 96;
            const size_t Used = 5000 + Next() % 3000;
            while (Off + 80 < Used) {
                const std::uint32_t R = Next();
                Off += static_cast<size_t>(std::snprintf(P + Off, 80, "%u|%s|%s|2025-%02u-%02u %02u:%02u|%u.%02u|%u;",
                                                         RowId++, Names[R % 14], Names[(R >> 4) % 14], 1 + R % 12,
                                                         1 + (R >> 8) % 28, (R >> 13) % 24, (R >> 18) % 60,
                                                         (R >> 7) % 100000, R % 100, R & 0xFFFF));
            }
        }
        DWORD W = 0;
        WriteFile(H, Chunk.data(), static_cast<DWORD>(Chunk.size()), &W, nullptr);
    }
    CloseHandle(H);
}

int PackWithOurClasses(const std::string& Bak) {
    JclBaseInitialization();
    JclStringsInitialization();
    JclSysInfoInitialization();
    try {
        const std::string Name = Bak + ".7z";
        TJclCompressionArchiveClass Class = GetArchiveFormats()->FindCompressFormat(Name);
        TOwned<TJclCompressionArchive> A(Class->CreateOnFile(Name, 0, false));
        auto* SevenZ = As<TJcl7zCompressArchive>(A.get());
        SevenZ->SetCompressionLevel(9);
        SevenZ->SetCompressHeader(true);
        SevenZ->Password = Password;
        const std::string Bare = FileNamePart(Bak);
        SevenZ->AddDirectory(std::wstring(Bare.begin(), Bare.end()), Bak, false, false);
        SevenZ->Compress();
    } catch (const Exception& E) {
        std::fprintf(stderr, "packing failed: %s\n", E.Message().c_str());
        return 1;
    }
    JclCompressionFinalization();
    return 0;
}

struct TRun {
    double Seconds = 0;
    SIZE_T PeakWorkingSet = 0;
    SIZE_T PeakPagefile = 0;
    DWORD ExitCode = 1;
};

// Runs a command line, sampling the child's peak figures while it runs (they cannot be read once
// it has gone).
TRun Measure(const std::string& CommandLine) {
    TRun R;
    STARTUPINFOA Si{};
    Si.cb = sizeof(Si);
    PROCESS_INFORMATION Pi{};
    std::string Cmd = CommandLine;
    LARGE_INTEGER Freq, T0, T1;
    QueryPerformanceFrequency(&Freq);
    QueryPerformanceCounter(&T0);
    if (!CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi)) {
        std::fprintf(stderr, "cannot start: %s\n", CommandLine.c_str());
        return R;
    }
    for (;;) {
        PROCESS_MEMORY_COUNTERS C{};
        if (K32GetProcessMemoryInfo(Pi.hProcess, &C, sizeof(C))) {
            R.PeakWorkingSet = std::max(R.PeakWorkingSet, C.PeakWorkingSetSize);
            R.PeakPagefile = std::max(R.PeakPagefile, C.PeakPagefileUsage);
        }
        if (WaitForSingleObject(Pi.hProcess, 50) == WAIT_OBJECT_0)
            break;
    }
    QueryPerformanceCounter(&T1);
    GetExitCodeProcess(Pi.hProcess, &R.ExitCode);
    CloseHandle(Pi.hThread);
    CloseHandle(Pi.hProcess);
    R.Seconds = double(T1.QuadPart - T0.QuadPart) / double(Freq.QuadPart);
    return R;
}

Int64 SizeOf(const std::string& Path) {
    WIN32_FILE_ATTRIBUTE_DATA D{};
    if (!GetFileAttributesExA(Path.c_str(), GetFileExInfoStandard, &D))
        return -1;
    return (Int64(D.nFileSizeHigh) << 32) | D.nFileSizeLow;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--pack") == 0)
        return PackWithOurClasses(argv[2]);

    const std::string Console = argc > 1 ? argv[1] : WinePathOf(QUARNEL_7ZCON);
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    const std::string Work = argc > 2 ? PathWithDelimiter(argv[2]) : std::string(Temp) + "quarnel-bench\\";
    CreateDirectoryA(Work.c_str(), nullptr);
    const std::string Ours = Work + "ours.bak", Theirs = Work + "theirs.bak";
    DeleteFileA((Ours + ".7z").c_str());
    DeleteFileA((Theirs + ".7z").c_str());

    std::printf("writing %lld MiB of database-like pages...\n", static_cast<long long>(FileSize >> 20));
    WriteDatabaseLikeFile(Ours);
    CopyFileA(Ours.c_str(), Theirs.c_str(), FALSE);

    char Self[MAX_PATH];
    GetModuleFileNameA(nullptr, Self, MAX_PATH);
    const TRun A = Measure("\"" + std::string(Self) + "\" --pack \"" + Ours + "\"");
    const TRun B = Measure("\"" + Console + "\" a -t7z -mx=9 -md=64m -mhc=on -mhe=off -mtc=on -mta=on -mtm=on " +
                           "-ms=4294967295b -pBench-1 -y -bd -bso0 \"" + Theirs + ".7z\" \"" + Theirs + "\"");

    std::printf("%-28s %10s %14s %16s %16s %5s\n", "packer", "seconds", "archive bytes", "peak working set",
                "peak pagefile", "exit");
    std::printf("%-28s %10.2f %14lld %16lu %16lu %5lu\n", "archive classes (7z.dll)", A.Seconds,
                static_cast<long long>(SizeOf(Ours + ".7z")), static_cast<unsigned long>(A.PeakWorkingSet),
                static_cast<unsigned long>(A.PeakPagefile), static_cast<unsigned long>(A.ExitCode));
    std::printf("%-28s %10.2f %14lld %16lu %16lu %5lu\n", "library console program", B.Seconds,
                static_cast<long long>(SizeOf(Theirs + ".7z")), static_cast<unsigned long>(B.PeakWorkingSet),
                static_cast<unsigned long>(B.PeakPagefile), static_cast<unsigned long>(B.ExitCode));
    if (B.Seconds > 0)
        std::printf("time ratio (ours / console): %.3f (goal: at most 1.05)\n", A.Seconds / B.Seconds);
    for (const std::string& F : {Ours, Theirs, Ours + ".7z", Theirs + ".7z"})
        DeleteFileA(F.c_str());
    return A.ExitCode == 0 && B.ExitCode == 0 ? 0 : 1;
}
