// Case mapping of UTF-16 code units from the program's case table resource ("UNICODEDATA",
// "CASE"), read on first use, and the locale helpers of the Unicode unit.
#pragma once

#include "JclBase.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

using TUCS4Array = std::vector<std::uint32_t>;

enum TCaseKind : Byte { ckFold, ckLower, ckTitle, ckUpper };

// Reads the case table once. A failed read leaves no table behind and raises; the next lookup
// tries again (a half-read table would answer wrongly without a word).
void LoadCaseTable();
bool CaseTableLoaded();
// The mapping of Code in Kind; a fold without an entry takes the lower mapping. False when empty.
bool CaseLookup(std::uint32_t Code, TCaseKind Kind, TUCS4Array& Mapping);
// One code unit mapped (no surrogate pairs are combined); the unit itself when nothing maps it.
std::wstring CaseMapping(wchar_t Code, TCaseKind Kind);
std::wstring CaseFoldUnit(wchar_t Code);

// The locale's default ANSI code page; the system's when the locale names none.
UINT LocaleAnsiCodePage(LCID Locale);
// Comparison without regard to case in the user's locale, chosen by the platform at start-up.
using TCompareTextFunc = int (*)(const std::wstring& S1, const std::wstring& S2, LCID Locale);
extern TCompareTextFunc UnicodeCompareText;

// Unit start-up and shut-down: the lock and the comparison; the table goes at shut-down.
void JclUnicodeInitialization();
void JclUnicodeFinalization();
