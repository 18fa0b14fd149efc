#include "SqlParser.h"

#include "Text.h"

#include <windows.h>

#include <algorithm>

namespace standin::sql {

static bool IsTextType(ColumnType T) {
    return T == ColumnType::VarChar || T == ColumnType::Char || T == ColumnType::NVarChar || T == ColumnType::NChar;
}

std::wstring AsText(const Typed& T) { return ValueText(T.V); }

// Comparison under the server's case-insensitive collation: trailing blanks do not count.
static int Compare(const Value& A, const Value& B) {
    if (A.K == Value::Integer && B.K == Value::Integer)
        return A.Int < B.Int ? -1 : A.Int > B.Int ? 1 : 0;
    auto Strip = [](std::wstring S) {
        while (!S.empty() && S.back() == L' ')
            S.pop_back();
        return Upper(S);
    };
    std::wstring X = Strip(A.K == Value::Integer ? std::to_wstring(A.Int) : A.Str);
    std::wstring Y = Strip(B.K == Value::Integer ? std::to_wstring(B.Int) : B.Str);
    return X < Y ? -1 : X > Y ? 1 : 0;
}

static Typed Convert(const Typed& From, const Column& To) {
    Typed R{To, From.V};
    if (From.V.K == Value::Null)
        return R;
    if (IsTextType(To.Type)) {
        std::wstring S = AsText(From);
        if (S.size() > To.Size)
            S.resize(To.Size);
        if ((To.Type == ColumnType::Char || To.Type == ColumnType::NChar) && S.size() < To.Size)
            S.resize(To.Size, L' ');
        R.V = Value::Of(S);
    } else if (To.Type == ColumnType::Int || To.Type == ColumnType::BigInt || To.Type == ColumnType::Bit) {
        if (From.V.K == Value::Text) {
            std::wstring S = Trim(From.V.Str);
            if (S.empty() || S.find_first_not_of(L"-0123456789") != std::wstring::npos || S.size() > 18)
                throw SqlError(Error(245, 16, L"Conversion failed when converting the varchar value '" + From.V.Str +
                                                  L"' to data type int."));
            R.V = Value::Of(std::stoll(S));
        }
        if (To.Type == ColumnType::Bit)
            R.V = Value::Of(R.V.Int != 0 ? 1 : 0);
    }
    return R;
}

static std::wstring ReplaceAll(const std::wstring& S, const std::wstring& What, const std::wstring& With) {
    if (What.empty())
        return S;
    std::wstring U = Upper(S), W = Upper(What), Out;
    std::size_t Pos = 0;
    for (;;) {
        std::size_t P = U.find(W, Pos);
        if (P == std::wstring::npos)
            break;
        Out += S.substr(Pos, P - Pos) + With;
        Pos = P + What.size();
    }
    return Out + S.substr(Pos);
}

static const wchar_t* const StatementStarts[] = {L"SELECT", L"INSERT", L"UPDATE", L"DELETE", L"IF",     L"ELSE",
                                                 L"CREATE", L"DROP",   L"EXEC",   L"EXECUTE", L"BACKUP", L"RESTORE",
                                                 L"DBCC",   L"USE",    L"SET",    L"DECLARE", L"BEGIN",  L"END",
                                                 L"PRINT",  L"FROM",   L"WHERE",  L"ORDER",   L"GROUP",  L"UNION"};

Parser::Parser(const std::wstring& Text, const std::vector<Binding>& Params) : FToks(Lex(Text)), FParams(Params) {}

const Tok& Parser::Peek(std::size_t Ahead) const { return FToks[std::min(FPos + Ahead, FToks.size() - 1)]; }
const Tok& Parser::Next() {
    const Tok& T = Peek();
    if (FPos < FToks.size() - 1)
        ++FPos;
    return T;
}

bool Parser::IsKeyword(const wchar_t* Word, std::size_t Ahead) const {
    const Tok& T = Peek(Ahead);
    return T.Kind == TokKind::Name && !T.Bracketed && T.Parts.size() == 1 && SameText(T.Parts[0], Word);
}
bool Parser::Keyword(const wchar_t* Word) {
    if (!IsKeyword(Word))
        return false;
    Next();
    return true;
}
bool Parser::Symbol(const wchar_t* S) {
    if (Peek().Kind != TokKind::Symbol || Peek().Text != S)
        return false;
    Next();
    return true;
}
void Parser::ExpectKeyword(const wchar_t* Word) {
    if (!Keyword(Word))
        Fail();
}
void Parser::ExpectSymbol(const wchar_t* S) {
    if (!Symbol(S))
        Fail();
}

void Parser::Fail() const {
    const Tok* T = &Peek();
    if (T->Kind == TokKind::End && FPos > 0)
        T = &FToks[FPos - 1];
    std::wstring Near = T->Text;
    if (T->Kind == TokKind::Name)
        Near = T->Parts.back();
    throw SqlError(SyntaxErrorNear(Near));
}

std::wstring Parser::ObjectName() {
    if (Peek().Kind != TokKind::Name || Peek().Parts.size() != 1)
        Fail();
    return Next().Parts[0];
}

Tok Parser::QualifiedName() {
    if (Peek().Kind != TokKind::Name)
        Fail();
    return Next();
}

Column Parser::TypeName() {
    std::wstring N = Upper(ObjectName());
    auto Sized = [&](ColumnType T, std::uint16_t Default) {
        std::uint16_t Size = Default;
        if (Symbol(L"(")) {
            if (Peek().Kind != TokKind::Number)
                Fail();
            Size = static_cast<std::uint16_t>(std::min(8000, std::stoi(Next().Text)));
            ExpectSymbol(L")");
        }
        return Col(L"", T, Size);
    };
    if (N == L"INT" || N == L"SMALLINT" || N == L"TINYINT")
        return Col(L"", ColumnType::Int);
    if (N == L"BIGINT")
        return Col(L"", ColumnType::BigInt);
    if (N == L"BIT")
        return Col(L"", ColumnType::Bit);
    if (N == L"CHAR")
        return Sized(ColumnType::Char, 1);
    if (N == L"VARCHAR")
        return Sized(ColumnType::VarChar, 30);
    if (N == L"NCHAR")
        return Sized(ColumnType::NChar, 1);
    if (N == L"NVARCHAR")
        return Sized(ColumnType::NVarChar, 30);
    if (N == L"SYSNAME")
        return Col(L"", ColumnType::NVarChar, 128);
    throw SqlError(Error(2715, 16, L"Column, parameter, or variable #1: Cannot find data type " + N + L"."));
}

Expr Parser::TextArgument() {
    if (Peek().Kind != TokKind::String && Peek().Kind != TokKind::Variable)
        Fail();
    return Primary();
}

static Typed ServerProperty(Context& C, const std::wstring& Name) {
    const Config& Cfg = C.E.Settings();
    Column T = Col(L"", ColumnType::NVarChar, 128);
    std::wstring N = Upper(Name);
    if (N == L"SERVERNAME")
        return {T, Value::Of(Cfg.FullServerName())};
    if (N == L"MACHINENAME")
        return {T, Value::Of(Cfg.ServerName)};
    if (N == L"INSTANCENAME")
        return {T, Cfg.Instance.empty() ? Value{} : Value::Of(Cfg.Instance)};
    if (N == L"PRODUCTVERSION")
        return {T, Value::Of(FromUtf8(Cfg.Version))};
    return {T, Value{}};
}

static const TempTable* FindTemp(const SessionState& S, const std::wstring& Name) {
    for (auto& T : S.TempTables)
        if (SameText(T.Name, Name))
            return &T;
    return nullptr;
}

Expr Parser::Primary() {
    const Tok T = Next();
    switch (T.Kind) {
    case TokKind::String: {
        Typed V{Col(L"", ColumnType::NVarChar, static_cast<std::uint16_t>(std::max<std::size_t>(1, T.Text.size()))),
                Value::Of(T.Text)};
        return [V](Context&, const RowSource*, const Row*) { return V; };
    }
    case TokKind::Number: {
        if (T.Text.find(L'.') != std::wstring::npos || T.Text.size() > 18)
            throw SqlError(SyntaxErrorNear(T.Text));
        Typed V{Col(L"", ColumnType::Int), Value::Of(std::stoll(T.Text))};
        if (V.V.Int > 2147483647)
            V.Type.Type = ColumnType::BigInt;
        return [V](Context&, const RowSource*, const Row*) { return V; };
    }
    case TokKind::Variable: {
        std::wstring N = Upper(T.Text);
        if (N == L"@@SPID")
            return [](Context& C, const RowSource*, const Row*) { return Typed{Col(L"", ColumnType::Int), Value::Of(C.S.Spid)}; };
        if (N == L"@@SERVERNAME")
            return [](Context& C, const RowSource*, const Row*) { return ServerProperty(C, L"servername"); };
        if (N == L"@@VERSION")
            return [](Context& C, const RowSource*, const Row*) {
                return Typed{Col(L"", ColumnType::NVarChar, 256),
                             Value::Of(L"SQL Server stand-in " + FromUtf8(C.E.Settings().Version))};
            };
        for (auto& B : FParams)
            if (SameText(B.Name, T.Text)) {
                Typed V{B.Type, B.V};
                return [V](Context&, const RowSource*, const Row*) { return V; };
            }
        throw SqlError(Error(137, 15, L"Must declare the scalar variable \"" + T.Text + L"\"."));
    }
    case TokKind::Symbol:
        if (T.Text == L"(") {
            Expr E = Expression();
            ExpectSymbol(L")");
            return E;
        }
        if (T.Text == L"-" && Peek().Kind == TokKind::Number) {
            Expr E = Primary();
            return [E](Context& C, const RowSource* Src, const Row* R) {
                Typed V = E(C, Src, R);
                V.V.Int = -V.V.Int;
                return V;
            };
        }
        --FPos;
        Fail();
    case TokKind::End:
        --FPos;
        Fail();
    case TokKind::Name:
        break;
    }
    if (!T.Bracketed && T.Parts.size() == 1 && SameText(T.Parts[0], L"NULL"))
        return [](Context&, const RowSource*, const Row*) { return Typed{Col(L"", ColumnType::Int), Value{}}; };
    if (Peek().Kind == TokKind::Symbol && Peek().Text == L"(" && T.Parts.size() == 1) {
        Next();
        std::wstring F = Upper(T.Parts[0]);
        if (F == L"CONVERT" || F == L"CAST") {
            Column To;
            Expr E;
            if (F == L"CONVERT") {
                To = TypeName();
                ExpectSymbol(L",");
                E = Expression();
            } else {
                E = Expression();
                ExpectKeyword(L"AS");
                To = TypeName();
            }
            ExpectSymbol(L")");
            return [To, E](Context& C, const RowSource* Src, const Row* R) { return Convert(E(C, Src, R), To); };
        }
        std::vector<Expr> Args;
        if (!Symbol(L")")) {
            do
                Args.push_back(Expression());
            while (Symbol(L","));
            ExpectSymbol(L")");
        }
        auto Arity = [&](std::size_t N) {
            if (Args.size() != N)
                throw SqlError(Error(174, 15, L"The " + Upper(T.Parts[0]) + L" function requires " + std::to_wstring(N) +
                                                  L" argument(s)."));
        };
        if (F == L"REPLACE") {
            Arity(3);
            return [Args](Context& C, const RowSource* Src, const Row* R) {
                Typed S = Args[0](C, Src, R), What = Args[1](C, Src, R), With = Args[2](C, Src, R);
                bool Narrow = S.Type.Type == ColumnType::Char || S.Type.Type == ColumnType::VarChar;
                Column T = Col(L"", Narrow ? ColumnType::VarChar : ColumnType::NVarChar, std::max<std::uint16_t>(S.Type.Size, 1));
                if (S.V.K == Value::Null || What.V.K == Value::Null || With.V.K == Value::Null)
                    return Typed{T, Value{}};
                return Typed{T, Value::Of(ReplaceAll(AsText(S), AsText(What), AsText(With)))};
            };
        }
        if (F == L"SERVERPROPERTY") {
            Arity(1);
            return [Args](Context& C, const RowSource* Src, const Row* R) { return ServerProperty(C, AsText(Args[0](C, Src, R))); };
        }
        if (F == L"ISNULL") {
            Arity(2);
            return [Args](Context& C, const RowSource* Src, const Row* R) {
                Typed A = Args[0](C, Src, R);
                if (A.V.K != Value::Null)
                    return A;
                return Typed{A.Type, Args[1](C, Src, R).V};
            };
        }
        if (F == L"OBJECT_ID") {
            Arity(1);
            return [Args](Context& C, const RowSource* Src, const Row* R) {
                std::wstring Name = AsText(Args[0](C, Src, R));
                Name = Name.substr(Name.find_last_of(L'.') == std::wstring::npos ? 0 : Name.find_last_of(L'.') + 1);
                Typed Id{Col(L"", ColumnType::Int), Value{}};
                for (std::size_t I = 0; I < C.S.TempTables.size(); ++I)
                    if (SameText(C.S.TempTables[I].Name, Name))
                        Id.V = Value::Of(static_cast<std::int64_t>(1000 + I));
                return Id;
            };
        }
        if (F == L"DB_NAME") {
            return [](Context& C, const RowSource*, const Row*) {
                return Typed{Col(L"", ColumnType::NVarChar, 128), Value::Of(C.S.Database)};
            };
        }
        throw SqlError(Error(195, 15, L"'" + T.Parts[0] + L"' is not a recognized built-in function name."));
    }
    // A column of the FROM clause's rows.
    std::wstring Name = T.Parts.back();
    return [Name](Context&, const RowSource* Src, const Row* R) {
        if (Src)
            for (std::size_t I = 0; I < Src->Columns.size(); ++I)
                if (SameText(Src->Columns[I].Name, Name))
                    return Typed{Src->Columns[I], R && I < R->size() ? (*R)[I] : Value{}};
        throw SqlError(Error(207, 16, L"Invalid column name '" + Name + L"'."));
    };
}

Expr Parser::Expression() { return Primary(); }

std::function<bool(Context&, const RowSource*, const Row*)> Parser::Condition() {
    std::vector<std::function<bool(Context&, const RowSource*, const Row*)>> Terms;
    do {
        Expr L = Expression();
        if (Keyword(L"IS")) {
            bool Not = Keyword(L"NOT");
            ExpectKeyword(L"NULL");
            Terms.push_back([L, Not](Context& C, const RowSource* Src, const Row* R) {
                return (L(C, Src, R).V.K == Value::Null) != Not;
            });
            continue;
        }
        if (Peek().Kind != TokKind::Symbol)
            Fail();
        std::wstring Op = Next().Text;
        if (Op != L"=" && Op != L"<>" && Op != L"!=" && Op != L">" && Op != L"<" && Op != L">=" && Op != L"<=") {
            --FPos;
            Fail();
        }
        Expr Rt = Expression();
        Terms.push_back([L, Rt, Op](Context& C, const RowSource* Src, const Row* R) {
            Value A = L(C, Src, R).V, B = Rt(C, Src, R).V;
            if (A.K == Value::Null || B.K == Value::Null)
                return false;
            int X = Compare(A, B);
            return Op == L"=" ? X == 0 : (Op == L"<>" || Op == L"!=") ? X != 0 : Op == L">" ? X > 0 : Op == L"<" ? X < 0
                                                                                  : Op == L">=" ? X >= 0 : X <= 0;
        });
    } while (Keyword(L"AND"));
    return [Terms](Context& C, const RowSource* Src, const Row* R) {
        for (auto& T : Terms)
            if (!T(C, Src, R))
                return false;
        return true;
    };
}

std::vector<std::pair<std::wstring, Expr>> Parser::WithOptions() {
    std::vector<std::pair<std::wstring, Expr>> Options;
    if (!Keyword(L"WITH"))
        return Options;
    do {
        std::wstring Name = Upper(ObjectName());
        Expr E;
        if (Name == L"MOVE") {
            Expr From = TextArgument();
            ExpectKeyword(L"TO");
            Expr To = TextArgument();
            Options.push_back({L"MOVE", From});
            Options.push_back({L"TO", To});
            continue;
        }
        if (Symbol(L"="))
            E = Peek().Kind == TokKind::Name ? (Next(), Expr{}) : Primary();
        Options.push_back({Name, E});
    } while (Symbol(L","));
    return Options;
}

// FROM sources: the system tables of the catalog and the session's temporary tables.
static RowSource Source(Context& C, const Tok& Name) {
    std::wstring Object = Upper(Name.Parts.back());
    std::wstring DbPart = Name.Parts.size() >= 3 ? Name.Parts[0] : L"";
    RowSource Src;
    if (!Object.empty() && Object[0] == L'#') {
        const TempTable* T = FindTemp(C.S, Name.Parts.back());
        if (!T)
            throw SqlError(Error(208, 16, L"Invalid object name '" + Name.Parts.back() + L"'."));
        return {T->Columns, T->Rows};
    }
    Catalog& Cat = C.E.Databases();
    std::lock_guard<std::mutex> G(Cat.Lock());
    if (Object == L"SYSDATABASES") {
        Src.Columns = {Col(L"name", ColumnType::NVarChar, 128), Col(L"dbid", ColumnType::Int),
                       Col(L"filename", ColumnType::NVarChar, 260)};
        for (auto& D : Cat.Databases())
            Src.Rows.push_back({Value::Of(D.Name), Value::Of(D.Id), D.Files.empty() ? Value{} : Value::Of(D.Files[0].Physical)});
        return Src;
    }
    if (Object == L"SYSFILES") {
        const Database* D = Cat.Find(DbPart.empty() ? C.S.Database : DbPart);
        if (!D)
            throw SqlError(Error(208, 16, L"Invalid object name '" + Name.Text + L"'."));
        Src.Columns = {Col(L"fileid", ColumnType::Int),  Col(L"groupid", ColumnType::Int),
                       Col(L"size", ColumnType::Int),    Col(L"maxsize", ColumnType::Int),
                       Col(L"growth", ColumnType::Int),  Col(L"status", ColumnType::Int),
                       Col(L"name", ColumnType::NChar, 128), Col(L"filename", ColumnType::NChar, 260)};
        for (std::size_t I = 0; I < D->Files.size(); ++I) {
            const DbFile& F = D->Files[I];
            Src.Rows.push_back({Value::Of(static_cast<std::int64_t>(I + 1)), Value::Of(F.Type == L'L' ? 0 : 1),
                                Value::Of(static_cast<std::int64_t>(F.Size / 8192)), Value::Of(-1), Value::Of(10),
                                Value::Of(F.Type == L'L' ? 0x100042 : 0x2), Value::Of(F.Logical), Value::Of(F.Physical)});
        }
        return Src;
    }
    throw SqlError(Error(208, 16, L"Invalid object name '" + Name.Text + L"'."));
}

Statement Parser::Select() {
    struct Item {
        std::wstring Alias;
        bool HasAlias = false, Star = false, Count = false;
        Expr E;  // for COUNT: its argument, empty for COUNT(*)
    };
    std::vector<Item> Items;
    std::int64_t Top = -1;
    if (Keyword(L"TOP")) {
        if (Peek().Kind != TokKind::Number)
            Fail();
        Top = std::stoll(Next().Text);
    }
    auto IsClause = [&] {
        for (auto W : StatementStarts)
            if (IsKeyword(W))
                return true;
        return false;
    };
    do {
        Item It;
        if (Symbol(L"*")) {
            It.Star = true;
        } else if (Peek().Kind == TokKind::Name && Peek().Parts.size() == 1 && Peek(1).Kind == TokKind::Symbol &&
                   Peek(1).Text == L"=") {
            It.Alias = Next().Parts[0];
            It.HasAlias = true;
            Next();
            It.E = Expression();
        } else {
            if (IsKeyword(L"COUNT") && Peek(1).Text == L"(") {
                Next(), Next();
                It.Count = true;
                if (!Symbol(L"*"))
                    It.E = Expression();
                ExpectSymbol(L")");
            } else {
                if (Peek().Kind == TokKind::Name && Peek(1).Text != L"(")
                    It.Alias = Peek().Parts.back();
                It.E = Expression();
            }
            if (Keyword(L"AS")) {
                if (Peek().Kind != TokKind::Name && Peek().Kind != TokKind::String)
                    Fail();
                const Tok& A = Next();
                It.Alias = A.Kind == TokKind::Name ? A.Parts.back() : A.Text;
            } else if (Peek().Kind == TokKind::Name && Peek().Parts.size() == 1 && !IsClause()) {
                It.Alias = Next().Parts[0];
            }
        }
        Items.push_back(It);
    } while (Symbol(L","));
    bool HasFrom = Keyword(L"FROM");
    Tok From;
    if (HasFrom)
        From = QualifiedName();
    std::function<bool(Context&, const RowSource*, const Row*)> Where;
    if (Keyword(L"WHERE"))
        Where = Condition();
    std::vector<std::pair<Expr, bool>> Order;
    if (Keyword(L"ORDER")) {
        ExpectKeyword(L"BY");
        do {
            Expr E = Expression();
            bool Desc = Keyword(L"DESC");
            if (!Desc)
                Keyword(L"ASC");
            Order.push_back({E, Desc});
        } while (Symbol(L","));
    }
    bool Aggregate = std::any_of(Items.begin(), Items.end(), [](const Item& I) { return I.Count; });
    if (Aggregate && !std::all_of(Items.begin(), Items.end(), [](const Item& I) { return I.Count; }))
        throw SqlError(Error(8120, 16, L"Column is invalid in the select list because it is not contained in either an "
                                       L"aggregate function or the GROUP BY clause."));
    return [=](Context& C) {
        RowSource Src;
        if (HasFrom)
            Src = Source(C, From);
        else
            Src.Rows.push_back({});
        std::vector<const Row*> Rows;
        for (auto& R : Src.Rows)
            if (!Where || Where(C, &Src, &R))
                Rows.push_back(&R);
        if (!Order.empty())
            std::stable_sort(Rows.begin(), Rows.end(), [&](const Row* A, const Row* B) {
                for (auto& [E, Desc] : Order) {
                    int X = Compare(E(C, &Src, A).V, E(C, &Src, B).V);
                    if (X != 0)
                        return Desc ? X > 0 : X < 0;
                }
                return false;
            });
        if (Top >= 0 && Rows.size() > static_cast<std::size_t>(Top))
            Rows.resize(static_cast<std::size_t>(Top));
        StatementResult R;
        R.CurCmd = 0xC1;
        R.Counted = true;
        if (Aggregate) {
            Row Out;
            for (auto& It : Items) {
                std::int64_t N = 0;
                for (auto* Rw : Rows)
                    if (!It.E || It.E(C, &Src, Rw).V.K != Value::Null)
                        ++N;
                R.Columns.push_back(Col(It.Alias, ColumnType::Int));
                Out.push_back(Value::Of(N));
            }
            R.Rows.push_back(Out);
            R.Count = 1;
            return R;
        }
        // Column types come from the source; expressions are typed by evaluating them once.
        const Row* First = Rows.empty() ? nullptr : Rows[0];
        for (auto& It : Items) {
            if (It.Star) {
                R.Columns.insert(R.Columns.end(), Src.Columns.begin(), Src.Columns.end());
                continue;
            }
            Column T = It.E(C, &Src, First).Type;
            T.Name = It.Alias;
            R.Columns.push_back(T);
        }
        for (auto* Rw : Rows) {
            Row Out;
            for (auto& It : Items) {
                if (It.Star)
                    Out.insert(Out.end(), Rw->begin(), Rw->end());
                else
                    Out.push_back(It.E(C, &Src, Rw).V);
            }
            R.Rows.push_back(Out);
        }
        R.Count = R.Rows.size();
        return R;
    };
}

Statement Parser::UseStatement() {
    std::wstring Name = ObjectName();
    return [Name](Context& C) {
        Catalog& Cat = C.E.Databases();
        std::lock_guard<std::mutex> G(Cat.Lock());
        const Database* D = Cat.Find(Name);
        if (!D)
            return Failure({Error(911, 16, L"Database '" + Name + L"' does not exist. Make sure that the name is entered correctly.")});
        StatementResult R;
        R.ChangedDatabase = C.S.Database != D->Name;
        C.S.Database = D->Name;
        return R;
    };
}

Statement Parser::SetStatement() {
    // Session options are accepted and have no effect on what the stand-in answers.
    if (AtEnd())
        Fail();
    while (!AtEnd() && !(Peek().Kind == TokKind::Symbol && Peek().Text == L";")) {
        bool Start = false;
        for (auto W : StatementStarts)
            Start = Start || IsKeyword(W);
        if (Start)
            break;
        Next();
    }
    return [](Context&) { return StatementResult{}; };
}

Statement Parser::IfStatement() {
    auto Cond = Condition();
    Statement Then = Next_Statement();
    Statement Else;
    if (Keyword(L"ELSE"))
        Else = Next_Statement();
    return [Cond, Then, Else](Context& C) {
        if (Cond(C, nullptr, nullptr))
            return Then(C);
        return Else ? Else(C) : StatementResult{};
    };
}

Statement Parser::CreateTable() {
    ExpectKeyword(L"TABLE");
    Tok Name = QualifiedName();
    TempTable T;
    T.Name = Name.Parts.back();
    ExpectSymbol(L"(");
    do {
        std::wstring ColName = ObjectName();
        Column C = TypeName();
        C.Name = ColName;
        if (Keyword(L"NOT"))
            ExpectKeyword(L"NULL");
        else
            Keyword(L"NULL");
        T.Columns.push_back(C);
    } while (Symbol(L","));
    ExpectSymbol(L")");
    return [T](Context& C) {
        if (T.Name.empty() || T.Name[0] != L'#')
            return Failure({Error(262, 14, L"CREATE TABLE permission denied in database '" + C.S.Database + L"'.")});
        if (FindTemp(C.S, T.Name))
            return Failure({Error(2714, 16, L"There is already an object named '" + T.Name + L"' in the database.")});
        C.S.TempTables.push_back(T);
        return StatementResult{};
    };
}

Statement Parser::DropTable() {
    ExpectKeyword(L"TABLE");
    std::wstring Name = QualifiedName().Parts.back();
    return [Name](Context& C) {
        auto& V = C.S.TempTables;
        auto It = std::find_if(V.begin(), V.end(), [&](const TempTable& T) { return SameText(T.Name, Name); });
        if (It == V.end())
            return Failure({Error(3701, 11, L"Cannot drop the table '" + Name +
                                                L"', because it does not exist or you do not have permission.")});
        V.erase(It);
        return StatementResult{};
    };
}

Statement Parser::Insert() {
    Keyword(L"INTO");
    std::wstring Name = QualifiedName().Parts.back();
    Statement Source;
    std::vector<std::vector<Expr>> Values;
    if (IsKeyword(L"EXEC") || IsKeyword(L"EXECUTE")) {
        Next();
        Source = Exec();
    } else {
        ExpectKeyword(L"VALUES");
        do {
            ExpectSymbol(L"(");
            std::vector<Expr> Row;
            do
                Row.push_back(Expression());
            while (Symbol(L","));
            ExpectSymbol(L")");
            Values.push_back(Row);
        } while (Symbol(L","));
    }
    return [Name, Source, Values](Context& C) {
        TempTable* T = const_cast<TempTable*>(FindTemp(C.S, Name));
        if (!T)
            return Failure({Error(208, 16, L"Invalid object name '" + Name + L"'.")});
        std::vector<Row> Rows;
        if (Source) {
            StatementResult From = Source(C);
            if (From.Failed)
                return From;
            Rows = From.Rows;
        } else {
            for (auto& Exprs : Values) {
                Row R;
                for (auto& E : Exprs)
                    R.push_back(E(C, nullptr, nullptr).V);
                Rows.push_back(R);
            }
        }
        for (auto& R : Rows)
            if (R.size() != T->Columns.size())
                return Failure({Error(213, 16, L"Column name or number of supplied values does not match table definition.")});
        T->Rows.insert(T->Rows.end(), Rows.begin(), Rows.end());
        StatementResult R;
        R.Counted = true;
        R.Count = Rows.size();
        R.CurCmd = 0xC3;
        return R;
    };
}

// xp_fileexist: whether a path is a file, a folder, and whether its parent folder exists.
static StatementResult FileExist(const std::wstring& Path) {
    DWORD A = GetFileAttributesW(Path.c_str());
    std::wstring P = Path;
    while (P.size() > 1 && (P.back() == L'\\' || P.back() == L'/'))
        P.pop_back();
    auto Slash = P.find_last_of(L"\\/");
    std::wstring Parent = Slash == std::wstring::npos ? L"" : P.substr(0, Slash + 1);
    DWORD PA = Parent.empty() || Parent.size() == P.size() + 1 ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(Parent.c_str());
    StatementResult R;
    R.IsProcedure = true;
    R.Counted = true;
    R.Count = 1;
    R.Columns = {Col(L"File Exists", ColumnType::Int), Col(L"File is a Directory", ColumnType::Int),
                 Col(L"Parent Directory Exists", ColumnType::Int)};
    bool Exists = A != INVALID_FILE_ATTRIBUTES;
    bool Dir = Exists && (A & FILE_ATTRIBUTE_DIRECTORY);
    bool ParentDir = PA != INVALID_FILE_ATTRIBUTES && (PA & FILE_ATTRIBUTE_DIRECTORY);
    R.Rows.push_back({Value::Of(Exists && !Dir ? 1 : 0), Value::Of(Dir ? 1 : 0), Value::Of(ParentDir ? 1 : 0)});
    return R;
}

Statement Parser::Exec() {
    Tok Proc = QualifiedName();
    std::vector<Expr> Args;
    if (!AtEnd() && !(Peek().Kind == TokKind::Symbol && Peek().Text == L";")) {
        bool Start = false;
        for (auto W : StatementStarts)
            Start = Start || IsKeyword(W);
        if (!Start) {
            do
                Args.push_back(Expression());
            while (Symbol(L","));
        }
    }
    std::wstring Name = Proc.Parts.back();
    if (SameText(Name, L"xp_fileexist")) {
        if (Args.empty())
            throw SqlError(Error(22027, 16, L"Usage:  EXECUTE xp_fileexist <filename> [, <file_exists INT> OUTPUT]"));
        Expr Path = Args[0];
        return [Path](Context& C) { return FileExist(AsText(Path(C, nullptr, nullptr))); };
    }
    return [Name](Context&) { return Failure({Error(2812, 16, L"Could not find stored procedure '" + Name + L"'.")}); };
}

Statement Parser::Next_Statement() {
    static const std::pair<const wchar_t*, Statement (Parser::*)()> Starts[] = {
        {L"SELECT", &Parser::Select}, {L"USE", &Parser::UseStatement},  {L"SET", &Parser::SetStatement},
        {L"IF", &Parser::IfStatement}, {L"CREATE", &Parser::CreateTable}, {L"DROP", &Parser::DropTable},
        {L"INSERT", &Parser::Insert}, {L"EXEC", &Parser::Exec},          {L"EXECUTE", &Parser::Exec},
        {L"BACKUP", &Parser::Backup}, {L"RESTORE", &Parser::Restore},    {L"DBCC", &Parser::Dbcc}};
    for (auto& [Word, Compile] : Starts)
        if (Keyword(Word))
            return (this->*Compile)();
    Fail();
}

std::vector<Statement> Parser::Batch() {
    std::vector<Statement> Out;
    for (;;) {
        while (Symbol(L";")) {
        }
        if (AtEnd())
            return Out;
        Out.push_back(Next_Statement());
    }
}

std::vector<StatementResult> Engine::Run(const std::wstring& Text, const std::vector<Binding>& Params, SessionState& S) {
    std::vector<Statement> Statements;
    try {
        Parser P(Text, Params);
        Statements = P.Batch();
    } catch (const SqlError& E) {
        return {Failure({E.Message})};
    } catch (const std::exception&) {
        // Numbers too large for their type are the only other way a statement fails to compile.
        return {Failure({Error(8115, 16, L"Arithmetic overflow error converting expression to data type int.")})};
    }
    std::vector<StatementResult> Results;
    Context C{*this, S};
    for (auto& St : Statements) {
        try {
            Results.push_back(St(C));
        } catch (const SqlError& E) {
            Results.push_back(Failure({E.Message}));
        } catch (const std::exception& E) {
            // The state folder could not be written, for one: the statement fails, the server goes on.
            Results.push_back(Failure({Error(50000, 16, FromUtf8(E.what()))}));
        }
    }
    return Results;
}

std::optional<ServerMessage> Engine::ConfiguredFailure(const std::wstring& Text) const {
    for (auto& F : FConfig.Fails)
        if (ContainsText(Text, F.Pattern))
            return Error(F.Number, F.Class, F.Message);
    return std::nullopt;
}

unsigned Engine::ConfiguredDelay(const std::wstring& Text) const {
    for (auto& D : FConfig.Delays)
        if (ContainsText(Text, D.Pattern))
            return D.Milliseconds;
    return 0;
}

static std::wstring Collapse(const std::wstring& S) {
    std::wstring Out;
    for (wchar_t C : Trim(S)) {
        bool Space = C == L' ' || C == L'\t' || C == L'\r' || C == L'\n';
        if (Space && !Out.empty() && Out.back() == L' ')
            continue;
        Out += Space ? L' ' : C;
    }
    return Upper(Out);
}

bool Engine::IsBenchQuery(const std::wstring& Text) const {
    return !FConfig.BenchQuery.empty() && Collapse(Text) == Collapse(FConfig.BenchQuery);
}

GeneratedRows Engine::BenchRows() const {
    Column Amount = Col(L"amount", ColumnType::Numeric);
    Amount.Precision = 20;
    return {{Col(L"id", ColumnType::Int), Col(L"name", ColumnType::NVarChar, 64), Col(L"code", ColumnType::VarChar, 10), Amount},
            FConfig.BenchRows};
}

Row Engine::BenchRow(std::uint64_t I) {
    return {Value::Of(static_cast<std::int64_t>(I + 1)), Value::Of(L"Row " + std::to_wstring(I + 1)),
            Value::Of(L"C" + std::to_wstring(I % 100000)), Value::Of(static_cast<std::int64_t>(I * 100))};
}

}  // namespace standin::sql
