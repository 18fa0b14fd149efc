#include "JclStrings.h"

#include "JclUnitVersioning.h"

#include "JclResources.h"

#include <windows.h>

unsigned char StrCaseMap[768];
Word StrCharTypes[256];

namespace {
bool TablesBuilt = false;
}

namespace {
const TUnitVersionInfo JclStringsBanner = UnitBanner("JclStrings", 3321, "common");
}  // namespace

void JclStringsInitialization() {
    RegisterProgramUnitBanner(JclStringsBanner);
    if (TablesBuilt)
        return;
    for (int C = 0; C < 256; ++C) {
        char Ch = static_cast<char>(C);
        WORD Type = 0;
        GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, &Ch, 1, &Type);
        StrCharTypes[C] = Type;
        char Lower = Ch, Upper = Ch;
        CharLowerBuffA(&Lower, 1);
        CharUpperBuffA(&Upper, 1);
        StrCaseMap[CaseRowLower + C] = static_cast<unsigned char>(Lower);
        StrCaseMap[CaseRowUpper + C] = static_cast<unsigned char>(Upper);
        if (Type & C1_UPPER)
            StrCaseMap[CaseRowSwap + C] = static_cast<unsigned char>(Lower);
        else if (Type & C1_LOWER)
            StrCaseMap[CaseRowSwap + C] = static_cast<unsigned char>(Upper);
        else
            StrCaseMap[CaseRowSwap + C] = static_cast<unsigned char>(C);
    }
    TablesBuilt = true;
}

void ApplyCaseRow(std::string& S, int Row) {
    for (char& C : S)
        C = static_cast<char>(StrCaseMap[Row + static_cast<unsigned char>(C)]);
}

void LowerInPlace(std::string& S) { ApplyCaseRow(S, CaseRowLower); }

std::string LowerCopy(const std::string& S) {
    std::string R = S;
    LowerInPlace(R);
    return R;
}

bool IsUpperByte(unsigned char C) { return (StrCharTypes[C] & C1_UPPER) != 0; }
bool IsLowerByte(unsigned char C) { return (StrCharTypes[C] & C1_LOWER) != 0; }

std::string StrHead(const std::string& S, int Count) {
    if (Count <= 0)
        return std::string();
    return S.substr(0, static_cast<size_t>(Count));
}

std::string WithLeading(const std::string& Prefix, const std::string& S) {
    return S.compare(0, Prefix.size(), Prefix) == 0 ? S : Prefix + S;
}

std::string WithoutLeading(const std::string& Prefix, const std::string& S) {
    return S.compare(0, Prefix.size(), Prefix) == 0 ? S.substr(Prefix.size()) : S;
}

std::string WithTrailing(const std::string& Suffix, const std::string& S) {
    if (S.size() >= Suffix.size() && S.compare(S.size() - Suffix.size(), Suffix.size(), Suffix) == 0)
        return S;
    return S + Suffix;
}

std::string RepeatText(const std::string& S, int Count) {
    std::string R;
    if (Count > 0) {
        R.reserve(S.size() * static_cast<size_t>(Count));
        for (int I = 0; I < Count; ++I)
            R += S;
    }
    return R;
}

int CompareRange(const std::string& S1, const std::string& S2, int Index, bool CaseSensitive, int Count) {
    if (&S1 == &S2)
        return (Count > 0 || S1.empty()) ? 0 : -2;
    if (S1.empty() || S2.empty())
        return -1;
    if (Count <= 0)
        return -2;
    const long long L1 = static_cast<long long>(S1.size()), L2 = static_cast<long long>(S2.size());
    if (L1 < static_cast<long long>(Index) + Count - 1)
        return -2;
    long long N = Count;
    if (L2 < static_cast<long long>(Index) + Count - 1)
        N = L2 - Index + 1;
    for (long long I = 0; I < N; ++I) {
        unsigned char A = static_cast<unsigned char>(S1[static_cast<size_t>(Index - 1 + I)]);
        unsigned char B = static_cast<unsigned char>(S2[static_cast<size_t>(Index - 1 + I)]);
        if (!CaseSensitive) {
            A = StrCaseMap[CaseRowLower + A];
            B = StrCaseMap[CaseRowLower + B];
        }
        if (A != B)
            return int(A) - int(B);
    }
    return 0;
}

int CompareWhole(const std::string& S1, const std::string& S2, bool CaseSensitive) {
    if (&S1 == &S2)
        return 0;
    if (S1.size() != S2.size())
        return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
    return CompareRange(S1, S2, 1, CaseSensitive, static_cast<int>(S1.size()));
}

bool SameWhole(const std::string& S1, const std::string& S2, bool CaseSensitive) {
    return CompareWhole(S1, S2, CaseSensitive) == 0;
}

bool WildcardMatch(const std::string& Pattern, const std::string& S, int Index) {
    if (Pattern.empty())
        throw EJclStringError(JclResources::RsBlankSearchString);
    if (Pattern == "*")
        return true;
    if (S.empty())
        return false;
    if (Index < 1 || static_cast<size_t>(Index) > S.size())
        throw EJclStringError(JclResources::RsArgumentOutOfRange);

    const size_t SEnd = S.size(), PEnd = Pattern.size();
    size_t s = static_cast<size_t>(Index - 1), p = 0;
    bool HaveResume = false;  // resumeS and resumeP are set together once a star has anchored
    bool HaveResumeP = false;
    size_t ResumeS = 0, ResumeP = 0;

    enum { Main, Star } Step = Main;
    for (;;) {
        if (Step == Main) {
            if (p == PEnd) {
                if (s == SEnd)
                    return true;
                if (!(HaveResume && HaveResumeP))
                    return false;
                s = ResumeS;
                p = ResumeP;
                Step = Star;
                continue;
            }
            const char Pc = Pattern[p];
            if (Pc == '*') {
                ++p;
                ResumeP = p;
                HaveResumeP = true;
                Step = Star;
                continue;
            }
            if (s == SEnd)
                return false;
            if (Pc == '?' || Pc == S[s]) {
                ++s;
                ++p;
                continue;
            }
            if (!(HaveResume && HaveResumeP))
                return false;
            s = ResumeS;
            p = ResumeP;
            Step = Star;
            continue;
        }
        // Star step
        if (p == PEnd)
            return true;
        const char Pc = Pattern[p];
        if (Pc == '*') {
            ++p;
            ResumeP = p;
            HaveResumeP = true;
            continue;
        }
        if (Pc == '?') {
            if (s == SEnd)
                return false;
            ++s;
            ++p;
            continue;
        }
        size_t Found = S.find(Pc, s);
        if (Found == std::string::npos)
            return false;
        s = Found + 1;
        ResumeS = s;
        HaveResume = true;
        ++p;
        Step = Main;
    }
}

void CutToken(std::string& S, char Separator, std::string& Token) {
    size_t P = S.find(Separator);
    if (P == std::string::npos) {
        Token = S;
        S.clear();
    } else {
        Token = S.substr(0, P);
        S.erase(0, P + 1);
    }
}
