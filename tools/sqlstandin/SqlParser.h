// Internal to the engine: the token cursor, typed expressions and the statement compilers. A batch is
// compiled completely before anything runs, as the server does.
#pragma once

#include "SqlEngine.h"
#include "SqlLexer.h"

#include <functional>

namespace standin::sql {

struct Context {
    Engine& E;
    SessionState& S;
};

struct Typed {
    Column Type;
    Value V;
};

// The rows a FROM clause names, with their columns.
struct RowSource {
    std::vector<Column> Columns;
    std::vector<Row> Rows;
};

using Expr = std::function<Typed(Context&, const RowSource*, const Row*)>;
using Statement = std::function<StatementResult(Context&)>;

// The text of a string or variable argument: paths and names of BACKUP, RESTORE and xp_fileexist.
std::wstring AsText(const Typed& T);

inline Column Col(std::wstring Name, ColumnType T, std::uint16_t Size = 0, std::uint8_t Precision = 0) {
    Column C;
    C.Name = std::move(Name);
    C.Type = T;
    C.Size = Size;
    C.Precision = Precision;
    return C;
}

class Parser {
public:
    Parser(const std::wstring& Text, const std::vector<Binding>& Params);
    std::vector<Statement> Batch();

    // Cursor
    const Tok& Peek(std::size_t Ahead = 0) const;
    const Tok& Next();
    bool AtEnd() const { return Peek().Kind == TokKind::End; }
    bool IsKeyword(const wchar_t* Word, std::size_t Ahead = 0) const;
    bool Keyword(const wchar_t* Word);  // consumes it when present
    bool Symbol(const wchar_t* S);
    void ExpectKeyword(const wchar_t* Word);
    void ExpectSymbol(const wchar_t* S);
    [[noreturn]] void Fail() const;  // syntax error near the current token

    // Pieces
    std::wstring ObjectName();         // a one-part name (database, table, column)
    Tok QualifiedName();               // any name token
    Expr Expression();
    std::function<bool(Context&, const RowSource*, const Row*)> Condition();
    Column TypeName();
    Expr TextArgument();               // a string literal or a variable: DISK = ..., MOVE ... TO ...
    Expr DatabaseName();               // DATABASE name, or DATABASE @variable
    Expr Device(const wchar_t* Preposition);  // TO DISK = ..., FROM DISK = ...
    std::vector<std::pair<std::wstring, Expr>> WithOptions();  // WITH a, b = x, MOVE x TO y ...

private:
    Statement Next_Statement();
    Statement Select();
    Statement UseStatement();
    Statement SetStatement();
    Statement IfStatement();
    Statement CreateTable();
    Statement DropTable();
    Statement Insert();
    Statement Exec();
    Statement Backup();
    Statement Restore();
    Statement Dbcc();
    Expr Primary();

    std::vector<Tok> FToks;
    std::size_t FPos = 0;
    const std::vector<Binding>& FParams;
};

}  // namespace standin::sql
