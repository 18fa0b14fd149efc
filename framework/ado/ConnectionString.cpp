#include "ConnectionString.h"

namespace {

const char* const BadFormat = "Format of the connection string is invalid.";

bool IsBlank(wchar_t C) { return C == L' ' || C == L'\t' || C == L'\r' || C == L'\n'; }

}  // namespace

namespace {

struct TPair {
    std::wstring Key;
    std::wstring Value;
    size_t Begin;  // the pair's text, without its ";"
    size_t End;
};

std::vector<TPair> SplitPairs(const std::wstring& S) {
    std::vector<TPair> Pairs;
    size_t I = 0;
    const size_t N = S.size();
    while (I < N) {
        size_t Begin = I;
        size_t Eq = S.find_first_of(L"=;", I);
        if (Eq == std::wstring::npos || S[Eq] == L';') {
            if (!Trim(S.substr(I, Eq == std::wstring::npos ? std::wstring::npos : Eq - I)).empty())
                throw ETdsError(TTdsErrorKind::Config, BadFormat);
            I = Eq == std::wstring::npos ? N : Eq + 1;
            continue;
        }
        std::wstring Key = Trim(S.substr(I, Eq - I));
        if (Key.empty())
            throw ETdsError(TTdsErrorKind::Config, BadFormat);
        I = Eq + 1;
        while (I < N && IsBlank(S[I]))
            ++I;
        std::wstring Value;
        if (I < N && (S[I] == L'"' || S[I] == L'\'')) {
            wchar_t Q = S[I++];
            for (;;) {
                if (I >= N)
                    throw ETdsError(TTdsErrorKind::Config, BadFormat);
                if (S[I] == Q) {
                    if (I + 1 < N && S[I + 1] == Q) {
                        Value += Q;
                        I += 2;
                        continue;
                    }
                    ++I;
                    break;
                }
                Value += S[I++];
            }
            while (I < N && IsBlank(S[I]))
                ++I;
            if (I < N && S[I] != L';')
                throw ETdsError(TTdsErrorKind::Config, BadFormat);
        } else {
            size_t End = S.find(L';', I);
            Value = Trim(S.substr(I, End == std::wstring::npos ? std::wstring::npos : End - I));
            I = End == std::wstring::npos ? N : End;
        }
        Pairs.push_back({std::move(Key), std::move(Value), Begin, I});
        if (I < N)
            ++I;  // the ";"
    }
    return Pairs;
}

}  // namespace

std::vector<std::pair<std::wstring, std::wstring>> SplitConnectionString(const std::wstring& S) {
    std::vector<std::pair<std::wstring, std::wstring>> R;
    for (TPair& P : SplitPairs(S))
        R.emplace_back(std::move(P.Key), std::move(P.Value));
    return R;
}

TSqlConnectionString ParseConnectionString(const std::wstring& S) {
    TSqlConnectionString C;
    for (const auto& [K, V] : SplitConnectionString(S)) {
        if (WideSameText(K, L"Provider"))
            C.Provider = V;
        else if (WideSameText(K, L"Data Source"))
            C.DataSource = V;
        else if (WideSameText(K, L"Initial Catalog"))
            C.InitialCatalog = V;
        else if (WideSameText(K, L"User ID"))
            C.UserID = V;
        else if (WideSameText(K, L"Password"))
            C.Password = V;
        else if (WideSameText(K, L"Integrated Security"))
            C.IntegratedSecurity = WideSameText(V, L"SSPI");
    }
    if (!WideSameText(C.Provider, L"SQLOLEDB") && !WideSameText(C.Provider, L"SQLOLEDB.1"))
        throw ETdsError(TTdsErrorKind::Config, TdsTextProviderNotFound, {}, TdsProviderNotFound);
    return C;
}

std::wstring QuoteConnectionStringValue(const std::wstring& Value) {
    bool Plain = Value.find_first_of(L";\"'") == std::wstring::npos && Trim(Value) == Value;
    if (Plain)
        return Value;
    wchar_t Q = Value.find(L'"') == std::wstring::npos ? L'"' : Value.find(L'\'') == std::wstring::npos ? L'\'' : L'"';
    std::wstring R(1, Q);
    for (wchar_t C : Value) {
        R += C;
        if (C == Q)
            R += Q;
    }
    return R + Q;
}

std::wstring SetConnectionStringValue(const std::wstring& S, const std::wstring& Key, const std::wstring& Value) {
    // The rest of the string stays as written: callers compare parts of it as text.
    std::vector<TPair> Pairs = SplitPairs(S);
    std::wstring R = S;
    bool Done = false;
    for (auto P = Pairs.rbegin(); P != Pairs.rend(); ++P) {
        if (!WideSameText(P->Key, Key))
            continue;
        bool First = true;
        for (auto Q = P + 1; Q != Pairs.rend(); ++Q)
            First = First && !WideSameText(Q->Key, Key);
        if (First) {
            R.replace(P->Begin, P->End - P->Begin, P->Key + L"=" + QuoteConnectionStringValue(Value));
            Done = true;
        } else {  // a later duplicate goes, with its ";"
            size_t End = P->End < R.size() && R[P->End] == L';' ? P->End + 1 : P->End;
            R.erase(P->Begin, End - P->Begin);
        }
    }
    if (!Done) {
        if (!Trim(R).empty() && Trim(R).back() != L';')
            R += L";";
        R += Key + L"=" + QuoteConnectionStringValue(Value);
    }
    return R;
}

TTdsConnectParams SqlConnectParams(const TSqlConnectionString& C, unsigned ConnectionTimeoutSec) {
    TTdsConnectParams P;
    P.DataSource = C.DataSource;
    P.Database = C.InitialCatalog;
    P.IntegratedSecurity = C.IntegratedSecurity;
    P.UserName = C.UserID;
    P.Password = C.Password;
    P.ConnectTimeoutMs = ConnectionTimeoutSec * 1000;
    return P;
}
