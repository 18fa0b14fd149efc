// System helpers over Win32 that the Parts reach through the framework.
#pragma once

#include "SysUtils.h"

#include <string>

// LoadLibrary under the given error mode (restored after), keeping the floating-point control word
// that a library's start-up code may change.
HMODULE SafeLoadLibrary(const std::string& FileName, UINT ErrorMode = SEM_NOOPENFILEERRORBOX);

// The system's language (GetSystemDefaultLangID), unless a test has set another: the seam for the
// program's choice of its first language. 0 puts the system's back.
LANGID SystemDefaultLangID();
void SetSystemDefaultLangIDOverride(LANGID Language);
