// Shared helpers of the socket and text-coding library: tokens, IPv6 address texts, English
// formatting, byte arrays.
#pragma once

#include "Classes.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using TIdBytes = std::vector<Byte>;

// The text of Input before the first Delimiter (all of it when there is none); with
// DeleteFromInput, Input loses that text and the delimiter.
std::string FetchToken(std::string& Input, const std::string& Delimiter = "", bool DeleteFromInput = true,
                       bool CaseSensitive = true);
bool StartsWithNoCase(const std::string& S, const std::string& Prefix);
bool EndsWithNoCase(const std::string& S, const std::string& Suffix);
LongInt TrimmedToInt(const std::string& S);
LongInt TrimmedToIntDef(const std::string& S, LongInt Default);

const TFormatSettings& IdEnglishFormatSettings();
std::string FormatEnglish(std::string_view Fmt, TVarRecs Args);

// The canonical form: eight upper-case hexadecimal groups without leading zeros ("::1" gives
// "0:0:0:0:0:0:0:1"); empty for a text that is no IPv6 address.
std::string CanonicalIPv6(const std::string& Text);
using TIdIPv6Address = std::array<Word, 8>;
void ParseIPv6(const std::string& Text, TIdIPv6Address& Groups, bool& Error);
void ParseIPv6OrRaise(const std::string& Text, TIdIPv6Address& Groups);
[[noreturn]] void RaiseLastSystemError();

// Bytes from Index on, at most Count of them (a negative Count: all).
LongInt BytesAvailable(const TIdBytes& Bytes, LongInt Index, LongInt Count = -1);
// Bytes left in Stream from its position, at most Count (a negative Count: all); never below 0.
Int64 StreamRemaining(TStream* Stream, Int64 Count = -1);
void CopyBytes(const TIdBytes& Source, LongInt SourceOffset, TIdBytes& Dest, LongInt DestOffset, LongInt Count);
void StoreWord(TIdBytes& Dest, Word Value, LongInt Offset);
void StoreLongWord(TIdBytes& Dest, std::uint32_t Value, LongInt Offset = 0);
Word BytesToWord(const TIdBytes& Bytes, LongInt Index = 0);

// Start-up: chooses the position search (multi-byte aware where the system has lead bytes).
void IdGlobalInitialization();
