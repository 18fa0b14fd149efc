// Word extraction from delimited texts (placements and grid layouts are read back with it).
#pragma once

#include <bitset>
#include <string>
#include <string_view>

// A set of 8-bit characters.
using TCharSet = std::bitset<256>;

TCharSet MakeCharSet(std::string_view Chars);

// The 1-based position of the first character of the N-th word, 0 when there is none (also for N <= 0).
int NthWordStart(int N, std::string_view Text, const TCharSet& Delimiters);
// The N-th word, empty when there is none. Runs of delimiters separate; they never make empty words.
std::string NthWord(int N, std::string_view Text, const TCharSet& Delimiters);
