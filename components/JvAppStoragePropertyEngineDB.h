// The property engine for a data grid's columns: stored and read back as a collection of items,
// between the grid's begin-layout and end-layout when read.
#pragma once

#include "JvAppStorage.h"

class TJvAppStoragePropertyDBGridColumnsEngine : public TJvAppStoragePropertyBaseEngine {
    DECLARE_CLASS(TJvAppStoragePropertyDBGridColumnsEngine, TJvAppStoragePropertyBaseEngine)
public:
    TJvAppStoragePropertyDBGridColumnsEngine() = default;
    bool Supports(TObject* Object, TObject* Property) override;
    void ReadProperty(TJvAppStore* Store, const std::string& Path, bool ClearFirst, bool Recursive, TObject* Property,
                      TObject* Object) override;
    void WriteProperty(TJvAppStore* Store, const std::string& Path, bool Recursive, TObject* Property,
                       TObject* Object) override;
};

void JvAppStoragePropertyEngineDBInitialization();
void JvAppStoragePropertyEngineDBFinalization();
