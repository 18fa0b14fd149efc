// Helpers shared by the test programs: paths of the build, temporary folders, files, processes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A Unix path of the build machine as Wine sees it ("Z:\...").
std::string WinPath(const std::string& UnixPath);

std::string SevenZipDllPath();  // the 7z.dll the build made
std::string BinDir();           // the folder of the program and the test programs, with trailing "\"
std::string SourceDir();        // the source tree, with trailing "\"

std::vector<std::uint8_t> ReadFileBytes(const std::string& Path);
void WriteFileBytes(const std::string& Path, const std::vector<std::uint8_t>& Data);
void WriteFileText(const std::string& Path, const std::string& Text);

// Files that the program and its libraries store, kept in tests/stored/ as one variant wrote them: the
// other variant must read them and write the very same bytes. Run a test program with
// QUARNEL_WRITE_STORED=1 to write the fixtures anew instead of comparing with them.
std::string StoredFixture(const std::string& Name);  // the fixture's path
std::string ReadStoredFixture(const std::string& Name);
::testing::AssertionResult MatchesStoredFixture(const std::string& Name, const std::string& Bytes);

// A fresh folder under the temporary path, removed with everything in it at the end of its scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return FPath; }  // with trailing "\"
    std::string operator/(const std::string& Name) const { return FPath + Name; }

private:
    std::string FPath;
};
void RemoveTree(const std::string& Path);

// Runs a command line, waits up to TimeoutMs and gives its exit code (-1 on time-out, the process is
// then killed). Extra environment entries ("NAME=value") are added to the current environment.
int RunProcess(const std::string& CommandLine, unsigned TimeoutMs, const std::vector<std::string>& ExtraEnv = {},
               std::string* Output = nullptr);

// Pumps the thread's messages until Done() or TimeoutMs passes; gives Done()'s last value.
template <class F>
bool PumpUntil(F Done, unsigned TimeoutMs) {
    DWORD Start = GetTickCount();
    while (!Done()) {
        MSG M;
        while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&M);
            DispatchMessageA(&M);
        }
        if (GetTickCount() - Start > TimeoutMs)
            return Done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace testing_support
