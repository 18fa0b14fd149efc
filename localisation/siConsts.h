// Names of the translation component classes and of the lookup methods, kept for tools that scan a
// program's sources and forms.
#pragma once

#include "Lists.h"

// The five translation component class names; created by the unit's start-up, freed by its shut-down
// (null outside).
extern TStringList* TranslationComponentClassNames;

inline constexpr const char* GetTextMethodName = "GetText(";
inline constexpr const char* GetTextOrDefaultMethodName = "GetTextOrDefault(";
inline constexpr const char* GetTextCMethodName = "GetTextC(";
inline constexpr const char* GetTextOrDefaultCMethodName = "GetTextOrDefaultC(";
inline constexpr const char* GetTextWMethodName = "GetTextW(";
inline constexpr const char* GetTextOrDefaultWMethodName = "GetTextOrDefaultW(";

void siConstsInitialization();
void siConstsFinalization();
