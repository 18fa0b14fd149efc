// 8-bit string helpers of the utility library: per-locale case and type tables, prefixes and
// suffixes, comparison, wildcard matching, splitting and joining. Indexes are 1-based, as the
// strings of the system count them.
#pragma once

#include "JclBase.h"

#include <string>

// Rows of the case table.
constexpr int CaseRowLower = 0;
constexpr int CaseRowUpper = 256;
constexpr int CaseRowSwap = 512;

// The tables, built by JclStringsInitialization for the user's default locale.
extern unsigned char StrCaseMap[768];
extern Word StrCharTypes[256];

void ApplyCaseRow(std::string& S, int Row);
void LowerInPlace(std::string& S);
std::string LowerCopy(const std::string& S);
bool IsUpperByte(unsigned char C);
bool IsLowerByte(unsigned char C);

std::string StrHead(const std::string& S, int Count);
std::string WithLeading(const std::string& Prefix, const std::string& S);
std::string WithoutLeading(const std::string& Prefix, const std::string& S);
std::string WithTrailing(const std::string& Suffix, const std::string& S);
std::string RepeatText(const std::string& S, int Count);

// -2 marks "nothing comparable" (see the rules in the implementation); otherwise the difference of
// the first differing bytes, or 0.
int CompareRange(const std::string& S1, const std::string& S2, int Index, bool CaseSensitive, int Count);
int CompareWhole(const std::string& S1, const std::string& S2, bool CaseSensitive);
bool SameWhole(const std::string& S1, const std::string& S2, bool CaseSensitive);

// Whether Pattern ("*" any run, "?" one character, others themselves, exact bytes) matches S from
// character Index to its end. Raises EJclStringError for a blank pattern or an Index outside S.
bool WildcardMatch(const std::string& Pattern, const std::string& S, int Index = 1);

// Cuts the text before the first Separator from S into Token (all of S when there is none).
void CutToken(std::string& S, char Separator, std::string& Token);

// Splitting and joining over any string list with Clear, Add, Count, the item operator and the
// update bracket (the framework's string lists).
template <class TList>
void SplitByText(std::string S, const std::string& Separator, TList& List, bool AllowEmpty);
template <class TList>
void SplitByTextNoCase(std::string S, const std::string& Separator, TList& List, bool AllowEmpty);
template <class TList>
std::string JoinByText(TList& List, const std::string& Separator, bool AllowEmpty);
template <class TList>
void SplitAtChar(std::string S, char Separator, TList* List);

// Unit start-up: builds the type and case tables once.
void JclStringsInitialization();

// ---------------------------------------------------------------------------------------------

namespace JclStringsDetail {
// Splits S at every occurrence of Separator, searching in Haystack (S itself or its lower-cased
// copy) so that the pieces keep the case they have in S.
template <class TList>
void SplitSearchingIn(std::string S, std::string Haystack, const std::string& Separator, TList& List,
                      bool AllowEmpty) {
    List.BeginUpdate();
    try {
        List.Clear();
        if (!Separator.empty()) {
            for (size_t P; (P = Haystack.find(Separator)) != std::string::npos;) {
                if (AllowEmpty || P > 0)
                    List.Add(S.substr(0, P));
                S.erase(0, P + Separator.size());
                Haystack.erase(0, P + Separator.size());
            }
        }
        if (!S.empty())
            List.Add(S);
    } catch (...) {
        List.EndUpdate();
        throw;
    }
    List.EndUpdate();
}
}  // namespace JclStringsDetail

template <class TList>
void SplitByText(std::string S, const std::string& Separator, TList& List, bool AllowEmpty) {
    std::string Haystack = S;
    JclStringsDetail::SplitSearchingIn(std::move(S), std::move(Haystack), Separator, List, AllowEmpty);
}

template <class TList>
void SplitByTextNoCase(std::string S, const std::string& Separator, TList& List, bool AllowEmpty) {
    std::string Haystack = LowerCopy(S);
    JclStringsDetail::SplitSearchingIn(std::move(S), std::move(Haystack), LowerCopy(Separator), List, AllowEmpty);
}

template <class TList>
std::string JoinByText(TList& List, const std::string& Separator, bool AllowEmpty) {
    std::string Result;
    const int N = List.Count();
    for (int I = 0; I < N; ++I) {
        const std::string& Item = List[I];
        if (AllowEmpty || !Item.empty())
            Result += Item + Separator;
    }
    // Only a separator that was actually appended is cut off.
    if (N > 0 && Result.size() >= Separator.size())
        Result.resize(Result.size() - Separator.size());
    return Result;
}

template <class TList>
void SplitAtChar(std::string S, char Separator, TList* List) {
    if (!List)
        return;
    List->BeginUpdate();
    try {
        List->Clear();
        while (!S.empty()) {
            std::string Token;
            CutToken(S, Separator, Token);
            List->Add(Token);
        }
    } catch (...) {
        List->EndUpdate();
        throw;
    }
    List->EndUpdate();
}
