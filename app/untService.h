// The data module that carries the captions of the standard message dialogs in both languages: its
// translation component follows the main window's language dispatcher.
#pragma once

#include "Forms.h"
#include "siComp.h"

class TDMService : public TDataModule {
    DECLARE_CLASS(TDMService, TDataModule)
public:
    using TDataModule::TDataModule;
    static void DefineClass(TClassBuilder<TDMService>& B) { B.Field("siLang1", &TDMService::siLang1); }

    TsiLang* siLang1 = nullptr;
};

extern TDMService* DMService;
