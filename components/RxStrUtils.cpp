#include "RxStrUtils.h"

namespace {
bool IsDelimiter(const TCharSet& Delimiters, char C) { return Delimiters.test(static_cast<unsigned char>(C)); }
}  // namespace

int NthWordStart(int N, std::string_view Text, const TCharSet& Delimiters) {
    int Count = 0;
    std::size_t I = 0;
    int Result = 0;
    while (I < Text.size() && Count != N) {
        while (I < Text.size() && IsDelimiter(Delimiters, Text[I]))
            ++I;
        if (I < Text.size())
            ++Count;
        if (Count == N)
            Result = static_cast<int>(I) + 1;
        else
            while (I < Text.size() && !IsDelimiter(Delimiters, Text[I]))
                ++I;
    }
    return Result;
}

std::string NthWord(int N, std::string_view Text, const TCharSet& Delimiters) {
    int Start = NthWordStart(N, Text, Delimiters);
    if (Start == 0)
        return std::string();
    std::size_t I = static_cast<std::size_t>(Start - 1), End = I;
    while (End < Text.size() && !IsDelimiter(Delimiters, Text[End]))
        ++End;
    return std::string(Text.substr(I, End - I));
}
