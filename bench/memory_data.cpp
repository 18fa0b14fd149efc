// The in-memory dataset with the task table's 23 fields: appending 100,000 tasks, locating the last
// one by ID from the first record, walking the table (alone and under a 25-row link, as the task
// grid shows it) and closing it; each figure with the process's memory.
#include "RxMemDS.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

double Seconds(LARGE_INTEGER From, LARGE_INTEGER To) {
    LARGE_INTEGER F;
    QueryPerformanceFrequency(&F);
    return static_cast<double>(To.QuadPart - From.QuadPart) / static_cast<double>(F.QuadPart);
}

// The process's committed private memory (what Wine reports as the page-file usage).
double MemoryMB() {
    PROCESS_MEMORY_COUNTERS C{};
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &C, sizeof C))
        return 0;
    return static_cast<double>(C.PagefileUsage) / (1024.0 * 1024.0);
}

class TTimer {
public:
    TTimer() { QueryPerformanceCounter(&FStart); }
    double Elapsed() const {
        LARGE_INTEGER Now;
        QueryPerformanceCounter(&Now);
        return Seconds(FStart, Now);
    }

private:
    LARGE_INTEGER FStart;
};

void Report(const char* What, double S, int Count) {
    std::printf("%-44s %9.1f ms  %9.0f per s  memory %7.1f MB\n", What, 1000.0 * S, Count / S, MemoryMB());
}

// A grid's window of rows.
class TRowsLink : public TDataLink {};

}  // namespace

int main() {
    const int Tasks = 100000;
    struct Def {
        const char* Name;
        TFieldType Type;
        int Size;
    };
    const Def Defs[] = {
        {"ID", ftInteger, 0},           {"DBName", ftString, 250},       {"Hour", ftInteger, 0},
        {"Min", ftInteger, 0},          {"DateLast", ftDateTime, 0},     {"Result", ftString, 255},
        {"Path", ftString, 255},        {"Type", ftString, 250},         {"EveryType1", ftInteger, 0},
        {"OnWeekDaysType1", ftBoolean, 0}, {"EveryType2", ftInteger, 0}, {"DayType2", ftString, 250},
        {"OnceType3", ftInteger, 0},    {"DateType3", ftDateTime, 0},    {"MonthType4", ftString, 250},
        {"EveryWeekType4", ftInteger, 0}, {"DailyOnType1", ftBoolean, 0}, {"EveryHour", ftInteger, 0},
        {"Server", ftString, 250},      {"StrConnect", ftString, 1000},  {"bitArch", ftBoolean, 0},
        {"bitPwdArch", ftBoolean, 0},   {"strPwdArch", ftString, 20},
    };
    std::printf("memory at start: %.1f MB\n", MemoryMB());
    TOwned<TRxMemoryData> T(Create<TRxMemoryData>(nullptr));
    for (const Def& D : Defs)
        T->FieldDefs()->Add(D.Name, D.Type, D.Size);
    T->Open();
    TField* F[23];
    for (int I = 0; I < 23; ++I)
        F[I] = T->Fields()->Fields(I);

    TTimer Append;
    for (int I = 0; I < Tasks; ++I) {
        T->Append();
        F[0]->SetAsInteger(I);
        F[1]->SetAsString("Database" + std::to_string(I));
        F[2]->SetAsInteger(I % 24);
        F[3]->SetAsInteger(I % 60);
        F[4]->SetAsDateTime(45000.25 + I % 1000);
        F[5]->SetAsString("insert_new_task");
        F[6]->SetAsString("D:\\Backup");
        F[7]->SetAsString("Type1");
        F[8]->SetAsInteger(1);
        F[9]->SetAsBoolean(false);
        F[10]->SetAsInteger(0);
        F[11]->SetAsString("1,3,5");
        F[12]->SetAsInteger(0);
        F[13]->SetAsDateTime(45000.0);
        F[14]->SetAsString("1,6,12");
        F[15]->SetAsInteger(1);
        F[16]->SetAsBoolean(true);
        F[17]->SetAsInteger(0);
        F[18]->SetAsString("SERVER\\SQL");
        F[19]->SetAsString("Provider=SQLOLEDB.1|Integrated Security=SSPI|Persist Security Info=False|"
                           "Initial Catalog=master|Data Source=SERVER\\SQL");
        F[20]->SetAsBoolean(true);
        F[21]->SetAsBoolean(false);
        F[22]->SetAsString("");
        T->Post();
    }
    Report("append 100,000 tasks (23 fields each)", Append.Elapsed(), Tasks);

    const int Locates = 5;
    TTimer Locate;
    for (int I = 0; I < Locates; ++I) {
        T->First();
        if (!T->Locate("ID", Tasks - 1, {}) || F[0]->AsInteger() != Tasks - 1)
            std::printf("locate failed\n");
    }
    Report("locate the last task by ID, from the first", Locate.Elapsed() / Locates, Tasks);

    auto Walk = [&](const char* What) {
        TTimer Timer;
        long long Sum = 0;
        for (T->First(); !T->Eof(); T->Next())
            Sum += F[0]->AsInteger() + static_cast<long long>(F[1]->AsString().size());
        Report(What, Timer.Elapsed(), Tasks);
        return Sum;
    };
    long long Sum = Walk("walk reading ID and DBName");
    TOwned<TDataSource> Source(Create<TDataSource>(nullptr));
    Source->SetDataSet(T.get());
    TRowsLink Rows;
    Rows.SetBufferCount(25);
    Rows.SetDataSource(Source.get());
    Sum += Walk("the same walk under a 25-row link");
    Rows.SetDataSource(nullptr);

    TTimer Close;
    T->Close();
    Report("close (frees every record)", Close.Elapsed(), Tasks);
    std::printf("(checksum %lld)\n", Sum);
    return 0;
}
