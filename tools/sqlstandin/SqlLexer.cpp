#include "SqlLexer.h"

#include <cwctype>

namespace standin::sql {

ServerMessage SyntaxErrorNear(const std::wstring& Near) {
    return Error(102, 15, L"Incorrect syntax near '" + Near + L"'.");
}

static bool NameStart(wchar_t C) { return std::iswalpha(C) || C == L'_' || C == L'#' || C > 127; }
static bool NameChar(wchar_t C) { return NameStart(C) || std::iswdigit(C) || C == L'$' || C == L'@'; }

static ServerMessage Unclosed(const std::wstring& Rest) {
    return Error(105, 15, L"Unclosed quotation mark after the character string '" + Rest + L"'.");
}

// One name part at I: plain, [bracketed] or "quoted"; false when none starts there.
static bool NamePart(const std::wstring& S, std::size_t& I, std::wstring& Part, bool& Quoted) {
    const std::size_t N = S.size();
    Quoted = false;
    if (I < N && (S[I] == L'[' || S[I] == L'"')) {
        wchar_t Close = S[I] == L'[' ? L']' : L'"';
        std::size_t J = I + 1;
        Part.clear();
        for (;;) {
            if (J >= N)
                throw SqlError(Unclosed(S.substr(I + 1)));
            if (S[J] == Close) {
                if (J + 1 < N && S[J + 1] == Close) {
                    Part += Close;
                    J += 2;
                    continue;
                }
                break;
            }
            Part += S[J++];
        }
        I = J + 1;
        Quoted = true;
        return true;
    }
    if (I < N && NameStart(S[I])) {
        std::size_t J = I;
        while (J < N && NameChar(S[J]))
            ++J;
        Part = S.substr(I, J - I);
        I = J;
        return true;
    }
    return false;
}

std::vector<Tok> Lex(const std::wstring& S) {
    std::vector<Tok> Out;
    const std::size_t N = S.size();
    std::size_t I = 0;
    while (I < N) {
        wchar_t C = S[I];
        if (std::iswspace(C)) {
            ++I;
            continue;
        }
        if (C == L'-' && I + 1 < N && S[I + 1] == L'-') {
            while (I < N && S[I] != L'\n')
                ++I;
            continue;
        }
        if (C == L'/' && I + 1 < N && S[I + 1] == L'*') {
            int Depth = 0;
            do {
                if (I + 1 >= N)
                    throw SqlError(Error(113, 15, L"Missing end comment mark '*/'."));
                if (S[I] == L'/' && S[I + 1] == L'*')
                    ++Depth, I += 2;
                else if (S[I] == L'*' && S[I + 1] == L'/')
                    --Depth, I += 2;
                else
                    ++I;
            } while (Depth > 0);
            continue;
        }
        Tok T;
        T.Start = I;
        if (C == L'\'' || ((C == L'N' || C == L'n') && I + 1 < N && S[I + 1] == L'\'')) {
            std::size_t J = C == L'\'' ? I + 1 : I + 2;
            std::size_t ValueStart = J;
            for (;;) {
                if (J >= N)
                    throw SqlError(Unclosed(S.substr(ValueStart)));
                if (S[J] == L'\'') {
                    if (J + 1 < N && S[J + 1] == L'\'') {
                        T.Text += L'\'';
                        J += 2;
                        continue;
                    }
                    break;
                }
                T.Text += S[J++];
            }
            T.Kind = TokKind::String;
            I = J + 1;
        } else if (C == L'@') {
            std::size_t J = I + 1;
            while (J < N && (NameChar(S[J]) || S[J] == L'@'))
                ++J;
            T.Kind = TokKind::Variable;
            T.Text = S.substr(I, J - I);
            I = J;
        } else if (std::iswdigit(C) || (C == L'.' && I + 1 < N && std::iswdigit(S[I + 1]))) {
            std::size_t J = I;
            while (J < N && (std::iswdigit(S[J]) || S[J] == L'.'))
                ++J;
            T.Kind = TokKind::Number;
            T.Text = S.substr(I, J - I);
            I = J;
        } else if (NameStart(C) || C == L'[' || C == L'"') {
            T.Kind = TokKind::Name;
            std::wstring Part;
            bool Quoted = false;
            NamePart(S, I, Part, Quoted);
            T.Parts.push_back(Part);
            T.Bracketed = Quoted;
            // Dotted names: "a.b", "a..b", "[a].[b]".
            while (I < N && S[I] == L'.') {
                ++I;
                if (NamePart(S, I, Part, Quoted))
                    T.Parts.push_back(Part);
                else if (I < N && S[I] == L'.')
                    T.Parts.push_back(L"");
                else
                    throw SqlError(SyntaxErrorNear(L"."));
            }
            for (std::size_t K = 0; K < T.Parts.size(); ++K)
                T.Text += (K ? L"." : L"") + T.Parts[K];
        } else {
            T.Kind = TokKind::Symbol;
            std::wstring Two = S.substr(I, 2);
            if (Two == L">=" || Two == L"<=" || Two == L"<>" || Two == L"!=") {
                T.Text = Two;
                I += 2;
            } else {
                T.Text = std::wstring(1, C);
                ++I;
            }
        }
        T.End = I;
        Out.push_back(T);
    }
    Tok End;
    End.Start = End.End = N;
    Out.push_back(End);
    return Out;
}

}  // namespace standin::sql
