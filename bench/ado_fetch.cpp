// Fetch speed of the query component: rows per second opening the stand-in's generated result set
// (100,000 rows of int, nvarchar(64), varchar(10) and numeric(20,0)) through TADOQuery, and walking
// it record by record reading every field as a program does.
#include "ADODB.h"

#include "../tests/framework/TdsStandIn.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {
using TSteadyClock = std::chrono::steady_clock;
double Seconds(TSteadyClock::time_point From, TSteadyClock::time_point To) { return std::chrono::duration<double>(To - From).count(); }
}  // namespace

int main() {
    const int Rows = 100000;
    const char* Query = "select id, name, code, amount from bench_rows";
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    std::string Dir = std::string(Temp) + "ado_fetch_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(Dir.c_str(), nullptr);
    int Result = 0;
    try {
        TTdsStandIn Server(Dir + "\\", {"--bench-query", Query, "--bench-rows", std::to_string(Rows), "--login", "sa:bench"});
        TOwned<TADOConnection> Conn(Create<TADOConnection>(nullptr));
        Conn->SetConnectionString(L"Provider=SQLOLEDB.1;Password=bench;Persist Security Info=False;User ID=sa;"
                                  L"Initial Catalog=master;Data Source=" + Server.DataSource());
        Conn->SetLoginPrompt(false);
        TOwned<TADOQuery> Q(Create<TADOQuery>(nullptr));
        Q->SetConnection(Conn.get());
        Q->SetCursorType(ctStatic);
        Q->SQL()->SetText(Query);
        Q->Open();  // warm-up, and the connection
        Q->Close();
        double BestOpen = 1e30, BestWalk = 1e30;
        long long Sum = 0;
        for (int Run = 0; Run < 5; ++Run) {
            TSteadyClock::time_point A = TSteadyClock::now();
            Q->Open();
            TSteadyClock::time_point B = TSteadyClock::now();
            if (Q->RecordCount() != Rows) {
                std::printf("ado_fetch: expected %d rows, got %d\n", Rows, Q->RecordCount());
                return 1;
            }
            TField* Id = Q->FieldByName("id");
            TField* Name = Q->FieldByName("name");
            TField* Code = Q->FieldByName("code");
            TField* Amount = Q->FieldByName("amount");
            for (Q->First(); !Q->Eof(); Q->Next())
                Sum += Id->AsInteger() + static_cast<long long>(Name->AsString().size() + Code->AsString().size()) +
                       static_cast<long long>(Amount->AsFloat());
            TSteadyClock::time_point C = TSteadyClock::now();
            Q->Close();
            BestOpen = std::min(BestOpen, Seconds(A, B));
            BestWalk = std::min(BestWalk, Seconds(B, C));
        }
        std::printf("ado_fetch: open (request, fetch, fields), %d rows x 4 columns: best of 5 %.3f s, %.0f rows/s\n", Rows,
                    BestOpen, Rows / BestOpen);
        std::printf("ado_fetch: walk with Next reading 4 fields per row: best of 5 %.3f s, %.0f rows/s\n", BestWalk,
                    Rows / BestWalk);
        std::printf("ado_fetch: open and walk together: %.0f rows/s (checksum %lld)\n", Rows / (BestOpen + BestWalk), Sum);
    } catch (const Exception& E) {
        std::printf("ado_fetch: %s\n", E.Message().c_str());
        Result = 1;
    } catch (const std::exception& E) {
        std::printf("ado_fetch: %s\n", E.what());
        Result = 1;
    }
    std::error_code Ignored;
    std::filesystem::remove_all(Dir, Ignored);
    return Result;
}
