// Tokens of the statements the stand-in understands: names (dotted, [bracketed] with "]]" for "]"), string
// literals ('' for ', N'...'), numbers, @variables, symbols. Comments and layout are dropped.
#pragma once

#include "Results.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace standin::sql {

// A statement the server refuses; a compile error fails the whole batch before anything runs.
class SqlError : public std::runtime_error {
public:
    explicit SqlError(ServerMessage M) : std::runtime_error("sql error"), Message(std::move(M)) {}
    ServerMessage Message;
};

enum class TokKind { Name, String, Number, Variable, Symbol, End };

struct Tok {
    TokKind Kind = TokKind::End;
    std::wstring Text;                // symbol, number, variable or string value; for names the parts joined by "."
    std::vector<std::wstring> Parts;  // name parts, brackets removed ("master..sysdatabases": master, "", sysdatabases)
    bool Bracketed = false;           // a one-part name written as [x] or "x" is never a keyword
    std::size_t Start = 0, End = 0;   // source offsets
};

std::vector<Tok> Lex(const std::wstring& Text);

ServerMessage SyntaxErrorNear(const std::wstring& Near);

}  // namespace standin::sql
