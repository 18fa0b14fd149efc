// The UTF-16 writer of the string conversions.
#pragma once

#include "JclBase.h"

#include <string>

// Writes CodePoint into S at the 1-based Index and advances Index: one unit below 0x10000 (and
// U+FFFD for a value beyond 0x10FFFF), else a surrogate pair. False, with S and Index unchanged,
// when it does not fit.
bool PutUtf16CodePoint(std::wstring& S, int& Index, std::uint32_t CodePoint);

// Unit start-up and shut-down: the unit's version banner.
void JclStringConversionsInitialization();
void JclStringConversionsFinalization();
