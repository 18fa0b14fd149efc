#include "WinUtils.h"

#include <atomic>

namespace {
std::atomic<LANGID> LangOverride{0};
}

HMODULE SafeLoadLibrary(const std::string& FileName, UINT ErrorMode) {
    UINT OldMode = SetErrorMode(ErrorMode);
    unsigned short ControlWord;
    __asm__ volatile("fnstcw %0" : "=m"(ControlWord));
    HMODULE Module = LoadLibraryA(FileName.c_str());
    __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(ControlWord));
    SetErrorMode(OldMode);
    return Module;
}

LANGID SystemDefaultLangID() {
    LANGID L = LangOverride.load();
    return L ? L : GetSystemDefaultLangID();
}

void SetSystemDefaultLangIDOverride(LANGID Language) { LangOverride.store(Language); }
