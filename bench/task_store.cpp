// The task store with 10,000 tasks: writing the task table to "Settings.ini", loading it back into
// the table, refreshing the last-run fields, and evaluating the due rules for every task line (as
// one scheduler pass does before it connects anywhere). Each figure is the best of five runs.
#include "../tests/components/MemoryDataTables.h"
#include "untBackup.h"
#include "untSettingTasks.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

double Milliseconds(const std::function<void()>& Work) {
    double Best = 1e30;
    for (int Run = 0; Run < 5; ++Run) {
        LARGE_INTEGER F, From, To;
        QueryPerformanceFrequency(&F);
        QueryPerformanceCounter(&From);
        Work();
        QueryPerformanceCounter(&To);
        const double Ms = 1000.0 * static_cast<double>(To.QuadPart - From.QuadPart) / static_cast<double>(F.QuadPart);
        Best = Ms < Best ? Ms : Best;
    }
    return Best;
}

void Report(const char* What, double Ms, int Count) {
    std::printf("%-52s %8.1f ms  %10.0f tasks per s\n", What, Ms, Count / (Ms / 1000.0));
}

}  // namespace

int main() {
    const int Tasks = 10000;
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    const std::string Folder = std::string(Temp) + "bench_task_store_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(Folder.c_str(), nullptr);
    SetProgramFolderOverride(Folder);

    TOwned<TRxMemoryData> Table(memory_data_tests::TaskTable());
    Table->Open();
    for (int I = 0; I < Tasks; ++I)
        memory_data_tests::AppendTask(Table.get(), I, "Database" + std::to_string(I));
    // Half of the tasks have run: a last-run time and a result instead of the new-task mark.
    for (Table->First(); !Table->Eof(); Table->Next())
        if (Table->FieldByName("ID")->AsInteger() % 2) {
            Table->Edit();
            Table->FieldByName("Result")->SetAsString("Succesfull");
            Table->Post();
        }

    Report("save 10,000 tasks (CloseCurrentFile)", Milliseconds([&] { CloseCurrentFile(Table.get()); }), Tasks);
    WIN32_FILE_ATTRIBUTE_DATA Attributes{};
    GetFileAttributesExA(TaskFileName().c_str(), GetFileExInfoStandard, &Attributes);
    std::printf("%-52s %8.1f KB\n", "size of Settings.ini", Attributes.nFileSizeLow / 1024.0);

    TOwned<TRxMemoryData> Loaded(memory_data_tests::TaskTable());
    Report("load 10,000 tasks (ReopenTable)", Milliseconds([&] {
               Loaded->Close();
               ReopenTable(Loaded.get());
           }),
           Tasks);
    if (Loaded->RecordCount() != Tasks)
        std::printf("loaded %d tasks instead of %d\n", Loaded->RecordCount(), Tasks);

    Report("refresh the last-run fields (ReopenResultat)", Milliseconds([&] { ReopenResultat(Loaded.get()); }), Tasks);

    const std::vector<std::string> Lines = ReadTaskLines(TaskFileName());
    Report("read and decipher the task lines", Milliseconds([&] { ReadTaskLines(TaskFileName()); }), Tasks);
    int Due = 0;
    const TDateTime N = Now();
    Report("due rules for every task line", Milliseconds([&] {
               Due = 0;
               for (const std::string& Line : Lines) {
                   try {
                       Due += IsTaskDue(Line, N);
                   } catch (const Exception&) {
                   }
               }
           }),
           Tasks);
    std::printf("(%d of %d tasks due)\n", Due, Tasks);

    DeleteFileA(TaskFileName().c_str());
    RemoveDirectoryA(Folder.c_str());
    return 0;
}
