// The statement engine: compiles a batch into statements and runs them against the catalog and the session,
// giving what each statement produced. Only the statements the program and its tests send are understood;
// anything else is refused with the server's syntax error.
#pragma once

#include "Catalog.h"
#include "Config.h"
#include "Results.h"

#include <optional>
#include <string>
#include <vector>

namespace standin::sql {

struct TempTable {
    std::wstring Name;
    std::vector<Column> Columns;
    std::vector<Row> Rows;
};

struct SessionState {
    int Spid = 51;
    std::wstring Login;
    std::wstring Database = L"master";
    std::vector<TempTable> TempTables;
};

// A parameter of an RPC (sp_executesql): its declared type and value.
struct Binding {
    std::wstring Name;  // with "@"
    Column Type;
    Value V;
};

class Engine {
public:
    Engine(const Config& C, Catalog& Cat) : FConfig(C), FCatalog(Cat) {}

    // A compile error fails the whole batch: one failed result and nothing runs.
    std::vector<StatementResult> Run(const std::wstring& Text, const std::vector<Binding>& Params, SessionState& S);

    // Configured failures and delays, matched on the request's statement text.
    std::optional<ServerMessage> ConfiguredFailure(const std::wstring& Text) const;
    unsigned ConfiguredDelay(const std::wstring& Text) const;

    // The benchmark result set: generated rows instead of a stored table.
    bool IsBenchQuery(const std::wstring& Text) const;
    GeneratedRows BenchRows() const;
    static Row BenchRow(std::uint64_t Index);

    const Config& Settings() const { return FConfig; }
    Catalog& Databases() { return FCatalog; }

private:
    const Config& FConfig;
    Catalog& FCatalog;
};

}  // namespace standin::sql
