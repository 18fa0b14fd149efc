#include "JvAppStoragePropertyEngineDB.h"

#include "DBGrids.h"

bool TJvAppStoragePropertyDBGridColumnsEngine::Supports(TObject* Object, TObject* Property) {
    (void)Object;
    return Property && Property->Is<TDBGridColumns>();
}

void TJvAppStoragePropertyDBGridColumnsEngine::ReadProperty(TJvAppStore* Store, const std::string& Path,
                                                           bool ClearFirst, bool Recursive, TObject* Property,
                                                           TObject* Object) {
    (void)ClearFirst, (void)Recursive;
    auto* Grid = DynCast<TCustomDBGrid>(Object);
    if (Grid)
        Grid->BeginLayout();
    try {
        Store->ReadCollection(Path, As<TCollection>(Property), true, "Item");
    } catch (...) {
        if (Grid)
            Grid->EndLayout();
        throw;
    }
    if (Grid)
        Grid->EndLayout();
}

void TJvAppStoragePropertyDBGridColumnsEngine::WriteProperty(TJvAppStore* Store, const std::string& Path,
                                                            bool Recursive, TObject* Property, TObject* Object) {
    (void)Recursive, (void)Object;
    Store->WriteCollection(Path, As<TCollection>(Property), "Item");
}

void JvAppStoragePropertyEngineDBInitialization() {
    RegisterPropertyEngine(TJvAppStoragePropertyEngineClass::Of<TJvAppStoragePropertyDBGridColumnsEngine>());
}

void JvAppStoragePropertyEngineDBFinalization() {
    UnregisterPropertyEngine(TJvAppStoragePropertyEngineClass::Of<TJvAppStoragePropertyDBGridColumnsEngine>());
}
