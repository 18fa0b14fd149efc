// The whole program: QuarnelBackup.exe copied into a prepared program folder (a task file with one
// due task, the registry with a one-minute interval) runs hidden against the SQL Server stand-in;
// its first scheduler tick writes the backup, packs it, logs it and stores the result; a close
// request from the system then saves the settings and ends it.
#include "../archive/ArchiveTestMain.h"
#include "../framework/TdsStandIn.h"
#include "../app/AppTestSupport.h"
#include "JclCompression.h"
#include "Registry.h"
#include "untSetting.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace app_tests;

namespace {

::testing::Environment* const ArchiveUnits = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

constexpr const char* MainCaption = "Quarnel Backup for MS SQL Server";

std::string ProgramResult(const std::string& TaskFile) {
    try {
        std::vector<std::string> Lines = ReadTaskLines(TaskFile);
        return Lines.empty() ? "" : SplitTaskLine(Lines[0])[tfResult];
    } catch (const Exception&) {
        return "";  // being rewritten
    }
}

// Waits for Done, up to TimeoutMs, without a message loop of its own.
template <class F>
bool WaitFor(F Done, DWORD TimeoutMs) {
    const DWORD Start = GetTickCount();
    while (!Done()) {
        if (GetTickCount() - Start > TimeoutMs)
            return false;
        Sleep(200);
    }
    return true;
}

class TProgramProcess {
public:
    TProgramProcess(const std::string& Exe, const std::string& Args) {
        std::string Cmd = "\"" + Exe + "\" " + Args;
        STARTUPINFOA Si{};
        Si.cb = sizeof Si;
        std::vector<char> Line(Cmd.begin(), Cmd.end());
        Line.push_back('\0');
        if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &FInfo))
            throw std::runtime_error("cannot start " + Cmd);
    }
    ~TProgramProcess() {
        if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(FInfo.hProcess, 1);
        WaitForSingleObject(FInfo.hProcess, 5000);
        CloseHandle(FInfo.hProcess);
        CloseHandle(FInfo.hThread);
    }
    TProgramProcess(const TProgramProcess&) = delete;
    TProgramProcess& operator=(const TProgramProcess&) = delete;
    // The exit code once it ended within TimeoutMs, else -1.
    int WaitExit(DWORD TimeoutMs) {
        if (WaitForSingleObject(FInfo.hProcess, TimeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD Code = 0;
        GetExitCodeProcess(FInfo.hProcess, &Code);
        return static_cast<int>(Code);
    }

private:
    PROCESS_INFORMATION FInfo{};
};

}  // namespace

TEST(ProgramRun, HiddenProgramRunsItsFirstTickAndSavesAtTheEnd) {
    testing_support::TempDir Dir;
    const std::string Exe = Dir / "QuarnelBackup.exe";
    ASSERT_TRUE(CopyFileA((testing_support::BinDir() + "QuarnelBackup.exe").c_str(), Exe.c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryA((Dir / "bak").c_str(), nullptr));
    TTdsStandIn Server(Dir.Path(), {"--login", "sa:secret", "--server", "E2E", "--database", "Sales", "--backup-size",
                                    "65536"});
    const std::string Connection = "Provider=SQLOLEDB.1|Password=secret|Persist Security Info=False|User ID=sa|"
                                   "Initial Catalog=master|Data Source=127.0.0.1," +
                                   std::to_string(Server.Port);
    WriteTaskLines(Dir / "Settings.ini", {TLine()
                                              .Set(tfDBName, "Sales")
                                              .Set(tfHour, "10")
                                              .Set(tfMin, "0")
                                              .Set(tfResult, "insert_new_task")
                                              .Set(tfPath, Dir / "bak")
                                              .Set(tfType, "Type3")
                                              .Set(tfOnceType3, "1")
                                              .Set(tfServer, "E2E")
                                              .Set(tfStrConnect, Connection)
                                              .Set(tfBitArch, "-1")
                                              .Set(tfBitPwdArch, "-1")
                                              .Set(tfStrPwdArch, "pw-e2e")});
    TRegistry Reg;
    Reg.DeleteKey(ProgramRegKey);
    ASSERT_TRUE(Reg.OpenKey(ProgramRegKey, true));
    Reg.WriteString("Interval", "1");
    Reg.WriteString("Server", "127.0.0.1," + std::to_string(Server.Port));
    Reg.CloseKey();

    SetEnvironmentVariableA("QUARNEL_DISCOVERY_ADDRESS", ("127.0.0.1:" + std::to_string(Server.SsrpPort)).c_str());
    TProgramProcess Program(Exe, "/hide");
    SetEnvironmentVariableA("QUARNEL_DISCOVERY_ADDRESS", nullptr);

    HWND Main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (Main = FindWindowA("TfrmSetting", MainCaption)) != nullptr; }, 60000));
    // The first tick comes a minute after the start.
    ASSERT_TRUE(WaitFor([&] { return ProgramResult(Dir / "Settings.ini") == "Succesfull"; }, 180000))
        << "result: " << ProgramResult(Dir / "Settings.ini") << "\nlog: " << FileContents(Dir / "Backup.log");
    EXPECT_FALSE(IsWindowVisible(Main)) << "\"/hide\" keeps the window hidden";

    EXPECT_TRUE(FileExists(Dir / "7z.dll")) << "written from the program's resource";
    const std::vector<std::string> Archives = FilesIn(Dir / "bak\\*.7z");
    ASSERT_EQ(Archives.size(), 1u);
    EXPECT_TRUE(FilesIn(Dir / "bak\\*.bak").empty());
    const std::string Archive = Dir / ("bak\\" + Archives[0]);
    const std::string BakName = Archives[0].substr(0, Archives[0].size() - 3);
    EXPECT_EQ(BakName.rfind("E2E", 0), 0u);
    {
        TOwned<TJcl7zDecompressArchive> A(CreateArchiveOnFile<TJcl7zDecompressArchive>(Archive));
        A->ListFiles();
        ASSERT_EQ(A->GetItemCount(), 1);
        EXPECT_EQ(A->GetItem(0)->GetPackedName(), AnsiToWide(BakName));
        EXPECT_TRUE(A->GetItem(0)->GetEncrypted());
        A->Password = L"pw-e2e";
        A->ExtractAll(Dir / "out", true);
    }
    const std::string Restored = FileContents(Dir / ("out\\" + BakName));
    EXPECT_EQ(Restored.rfind("SQLSTANDIN BACKUP SET", 0), 0u);
    EXPECT_GT(Restored.size(), 65536u);

    const std::string Log = FileContents(Dir / "Backup.log");
    EXPECT_NE(Log.find("\tSuccesfull\tE2E"), std::string::npos) << Log;
    EXPECT_NE(Log.find("\tSales\t" + Dir / ("bak\\" + BakName)), std::string::npos) << Log;
    const std::vector<std::string> Fields = SplitTaskLine(ReadTaskLines(Dir / "Settings.ini")[0]);
    EXPECT_EQ(Fields[tfOnceType3], "0");
    EXPECT_NE(Fields[tfDateLast], "-1");

    // A close request from the system saves the settings and ends the program.
    PostMessageA(Main, WM_CLOSE, 0, 0);
    EXPECT_EQ(Program.WaitExit(30000), 0);
    ASSERT_TRUE(Reg.OpenKey(ProgramRegKey, false));
    EXPECT_EQ(Reg.ReadString("Interval"), "1");
    EXPECT_EQ(Reg.ReadString("typeNT"), "1");
    EXPECT_EQ(Reg.ReadInteger("Lang"), 1);
    Reg.CloseKey();
    Reg.DeleteKey(ProgramRegKey);
}
