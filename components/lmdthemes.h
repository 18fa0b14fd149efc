// The second component library's binding of the platform's visual-styles library, loaded at start-up
// and released at shut-down. A missing library or function leaves its pointer null.
#pragma once

#include <windows.h>

#include <array>

extern HMODULE ThemeLibraryHandle;
extern bool ThemeLibraryLoaded;

inline constexpr int ThemeFunctionCount = 31;
// The names resolved, in order.
extern const std::array<const char*, ThemeFunctionCount> ThemeFunctionNames;
// The address of each, in the order of the names (null when missing).
extern std::array<FARPROC, ThemeFunctionCount> ThemeFunctions;

// The two the library calls.
using TIsThemeActive = BOOL(WINAPI*)();
using TSetThemeAppProperties = void(WINAPI*)(DWORD);
TIsThemeActive IsThemeActiveFunction();
TSetThemeAppProperties SetThemeAppPropertiesFunction();

void ThemeLibraryUnitInitialization();
void ThemeLibraryUnitFinalization();
