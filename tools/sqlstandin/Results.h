// What a statement produced, independent of the wire: result sets, messages and the statement's end.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct ServerMessage {
    bool IsError = false;  // ERROR (class 11 and above) or INFO
    std::int32_t Number = 0;
    std::uint8_t State = 1;
    std::uint8_t Class = 0;
    std::wstring Text;
};

inline ServerMessage Info(std::int32_t Number, std::wstring Text) { return {false, Number, 1, 0, std::move(Text)}; }
inline ServerMessage Error(std::int32_t Number, std::uint8_t Class, std::wstring Text) {
    return {true, Number, 1, Class, std::move(Text)};
}

// Sizes count characters for the string types; Numeric uses Precision and Scale.
enum class ColumnType { Int, BigInt, Bit, VarChar, Char, NVarChar, NChar, Numeric, Guid };
struct Column {
    std::wstring Name;
    ColumnType Type = ColumnType::Int;
    std::uint16_t Size = 0;
    std::uint8_t Precision = 0, Scale = 0;
};

struct Value {
    enum Kind { Null, Integer, Text, Uuid } K = Null;
    std::int64_t Int = 0;  // Integer, Bit and Numeric (non-negative here) values
    std::wstring Str;
    std::array<std::uint8_t, 16> Guid{};
    static Value Of(std::int64_t V) { Value X; X.K = Integer; X.Int = V; return X; }
    static Value Of(std::wstring S) { Value X; X.K = Text; X.Str = std::move(S); return X; }
    static Value OfGuid(const std::array<std::uint8_t, 16>& G) { Value X; X.K = Uuid; X.Guid = G; return X; }
};
using Row = std::vector<Value>;

struct StatementResult {
    std::vector<Column> Columns;  // empty: no result set
    std::vector<Row> Rows;
    std::vector<ServerMessage> Messages;  // sent after the rows, before the statement's DONE
    bool Failed = false;
    bool Counted = false;  // DONE_COUNT
    std::uint64_t Count = 0;
    std::uint16_t CurCmd = 0;
    bool IsProcedure = false;  // an EXEC: RETURNSTATUS and DONEPROC
    bool ChangedDatabase = false;  // USE: the session's database changed
};

inline StatementResult Failure(std::vector<ServerMessage> Messages) {
    StatementResult R;
    R.Messages = std::move(Messages);
    R.Failed = true;
    return R;
}

inline std::wstring ValueText(const Value& V) {
    return V.K == Value::Text ? V.Str : V.K == Value::Integer ? std::to_wstring(V.Int) : std::wstring();
}

// Rows generated on the fly (benchmark result sets) instead of held in memory.
struct GeneratedRows {
    std::vector<Column> Columns;
    std::uint64_t Count = 0;
};

}  // namespace standin
