#include "siConsts.h"

TStringList* TranslationComponentClassNames = nullptr;

void siConstsInitialization() {
    if (TranslationComponentClassNames)
        return;
    TranslationComponentClassNames = Create<TStringList>();
    for (const char* Name : {"TsiLang", "TsiLangLinked", "TsiLangRT", "TsiLangRTSE", "TsiLangTLV"})
        TranslationComponentClassNames->Add(Name);
}

void siConstsFinalization() { FreeAndNil(TranslationComponentClassNames); }
