// The storage-independent half of an application-settings store: path resolution with
// sub-storages mounted under paths, the typed value operations routed to the store that holds a
// path, every published property of an object written and read back through them, string lists
// and collections as numbered items, and the registry of property engines that take over special
// property types. The back end (registry, INI ...) derives from TJvAppStore and supplies the
// typed operations; the system itself creates no store.
#pragma once

#include "Classes.h"
#include "Lists.h"
#include "SysUtils.h"
#include "TypInfo.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TJvAppStore;

DECLARE_EXCEPTION(EJVCLException, Exception);
DECLARE_EXCEPTION(EJVCLAppStorageError, EJVCLException);

struct TJvAppStoreOptions {
    bool WriteTypedIntegers = false;        // integers through the typed ordinal writer
    bool IgnoreMissingCollections = false;  // no list stored: the collection stays as it is
    bool WriteDefaults = false;             // every property, defaults and unstored ones too
    bool StringListAsSingleValue = false;   // a string list as its text in one string
};

// An object that reads and writes itself (the interface {E3754817-49A3-4612-A228-5D44A088681D}).
class IJvAppStorageSelf {
public:
    virtual ~IJvAppStorageSelf() = default;
    virtual void ReadFromAppStorage(TJvAppStore* Store, const std::string& Path) = 0;
    virtual void WriteToAppStorage(TJvAppStore* Store, const std::string& Path) = 0;
};
// An object whose published properties are processed besides its own reading and writing (the
// interface {0211AEF7-CCE9-4F13-B3CE-287251C89182}).
class IJvAppStoragePublished {
public:
    virtual ~IJvAppStoragePublished() = default;
};

// Engines take over the storage of property types the generic rules do not serve.
class TJvAppStoragePropertyBaseEngine : public TObject {
    DECLARE_CLASS(TJvAppStoragePropertyBaseEngine, TObject)
public:
    TJvAppStoragePropertyBaseEngine() = default;
    virtual bool Supports(TObject* Object, TObject* Property) { (void)Object, (void)Property; return false; }
    virtual void ReadProperty(TJvAppStore* Store, const std::string& Path, bool ClearFirst, bool Recursive,
                              TObject* Property, TObject* Object) {
        (void)Store, (void)Path, (void)ClearFirst, (void)Recursive, (void)Property, (void)Object;
    }
    virtual void WriteProperty(TJvAppStore* Store, const std::string& Path, bool Recursive, TObject* Property,
                               TObject* Object) {
        (void)Store, (void)Path, (void)Recursive, (void)Property, (void)Object;
    }
};
using TJvAppStoragePropertyEngineClass = TClassOf<TJvAppStoragePropertyBaseEngine>;

// Owns its engines and frees them from the last to the first.
class TJvAppStoragePropertyEngineList : public TList {
    DECLARE_CLASS(TJvAppStoragePropertyEngineList, TList)
public:
    TJvAppStoragePropertyEngineList() = default;
    ~TJvAppStoragePropertyEngineList() override;
    TJvAppStoragePropertyBaseEngine* Engines(int Index) const {
        return static_cast<TJvAppStoragePropertyBaseEngine*>(Items(Index));
    }
    // The first engine, in registration order, that supports the property object; null when none.
    TJvAppStoragePropertyBaseEngine* GetEngine(TObject* Object, TObject* Property) const;
    // Forward to the engine found; false when there is none.
    bool ReadProperty(TJvAppStore* Store, const std::string& Path, bool ClearFirst, bool Recursive, TObject* Property,
                      TObject* Object);
    bool WriteProperty(TJvAppStore* Store, const std::string& Path, bool Recursive, TObject* Property, TObject* Object);
};

// The global list, made on first use; null for good once the unit has shut down.
TJvAppStoragePropertyEngineList* PropertyEngineList();
void RegisterPropertyEngine(TJvAppStoragePropertyEngineClass EngineClass);
void UnregisterPropertyEngine(TJvAppStoragePropertyEngineClass EngineClass);

// Joins path parts: a part beginning with "\" starts over, "." is dropped, n dots remove n - 1
// segments, runs of "\" are one separator; no leading or trailing "\".
std::string NormalizeStoragePath(std::initializer_list<std::string> Parts);
std::string NormalizeStoragePath(const std::vector<std::string>& Parts);

// A store mounted under a root path of another.
struct TJvAppSubStorage {
    std::string RootPath;
    TJvAppStore* Store = nullptr;
};

// (Sender, the object, Reading, var the property's storage name)
using TJvAppStorageTranslateEvent = std::function<void(TJvAppStore* Sender, TObject* Object, bool Reading, std::string& Name)>;

class TJvAppStore : public TComponent {
    DECLARE_CLASS(TJvAppStore, TComponent)
public:
    explicit TJvAppStore(TComponent* AOwner) : TComponent(AOwner) {}

    std::string Root;
    std::vector<TJvAppSubStorage> SubStorages;
    TJvAppStoreOptions Options;
    bool ReadOnly = false;
    TJvAppStorageTranslateEvent OnTranslatePropertyName;

    // The store and the path an operation on Path goes to; raises "Invalid path" for a path that
    // names a mounted store's root itself.
    void ResolvePath(const std::string& Path, TJvAppStore*& TargetStore, std::string& TargetPath);
    // Read-only as writes see it: the flag while designing, else the flag or the back end's answer.
    bool IsReadOnly();

    bool ValueStored(const std::string& Path);
    bool ListStored(const std::string& Path, const std::string& ItemName);
    void DeleteValue(const std::string& Path);
    void DeleteSubTree(const std::string& Path);
    int ReadInteger(const std::string& Path, int Default);
    void WriteInteger(const std::string& Path, int Value);
    double ReadFloat(const std::string& Path, double Default);
    void WriteFloat(const std::string& Path, double Value);
    TDateTime ReadDateTime(const std::string& Path, TDateTime Default);
    void WriteDateTime(const std::string& Path, TDateTime Value);
    std::string ReadString(const std::string& Path, const std::string& Default);
    void WriteString(const std::string& Path, const std::string& Value);
    std::wstring ReadWideString(const std::string& Path, const std::wstring& Default);
    void WriteWideString(const std::string& Path, const std::wstring& Value);
    Int64 ReadOrdinal(const std::string& Path, PTypeInfo TypeInfo, Int64 Default);
    void WriteOrdinal(const std::string& Path, PTypeInfo TypeInfo, Int64 Value);
    Int64 ReadSet(const std::string& Path, PTypeInfo TypeInfo, Int64 Default);
    void WriteSet(const std::string& Path, PTypeInfo TypeInfo, Int64 Value);

    // One published property at Path (the property's own path).
    void ReadProperty(const std::string& Path, TObject* Object, const std::string& PropertyName, bool Recursive,
                      bool ClearFirst);
    void WriteProperty(const std::string& Path, TObject* Object, const std::string& PropertyName, bool Recursive);
    // Every published property of Object under Path, in declaration order, less those named in
    // IgnoreList (compared without regard to case).
    void ReadPersistent(const std::string& Path, TObject* Object, bool Recursive = true, bool ClearFirst = true,
                        const std::vector<std::string>& IgnoreList = {});
    void WritePersistent(const std::string& Path, TObject* Object, bool Recursive = true,
                         const std::vector<std::string>& IgnoreList = {});
    // Lists as numbered items under Path, with their count and their own published properties.
    void ReadStringList(const std::string& Path, TStrings* List, bool ClearFirst, const std::string& ItemName = "Item");
    void WriteStringList(const std::string& Path, TStrings* List, const std::string& ItemName = "Item");
    void ReadCollection(const std::string& Path, TCollection* List, bool ClearFirst, const std::string& ItemName = "Item");
    void WriteCollection(const std::string& Path, TCollection* List, const std::string& ItemName = "Item");

protected:
    // The back end's typed operations on paths of this store.
    virtual bool DoValueStored(const std::string& Path) = 0;
    virtual bool DoListStored(const std::string& Path, const std::string& ItemName) = 0;
    virtual void DoDeleteValue(const std::string& Path) = 0;
    virtual void DoDeleteSubTree(const std::string& Path) = 0;
    virtual int DoReadInteger(const std::string& Path, int Default) = 0;
    virtual void DoWriteInteger(const std::string& Path, int Value) = 0;
    virtual double DoReadFloat(const std::string& Path, double Default) = 0;
    virtual void DoWriteFloat(const std::string& Path, double Value) = 0;
    virtual TDateTime DoReadDateTime(const std::string& Path, TDateTime Default) = 0;
    virtual void DoWriteDateTime(const std::string& Path, TDateTime Value) = 0;
    virtual std::string DoReadString(const std::string& Path, const std::string& Default) = 0;
    virtual void DoWriteString(const std::string& Path, const std::string& Value) = 0;
    virtual std::wstring DoReadWideString(const std::string& Path, const std::wstring& Default) = 0;
    virtual void DoWriteWideString(const std::string& Path, const std::wstring& Value) = 0;
    virtual Int64 DoReadOrdinal(const std::string& Path, PTypeInfo TypeInfo, Int64 Default) = 0;
    virtual void DoWriteOrdinal(const std::string& Path, PTypeInfo TypeInfo, Int64 Value) = 0;
    virtual Int64 DoReadSet(const std::string& Path, PTypeInfo TypeInfo, Int64 Default) = 0;
    virtual void DoWriteSet(const std::string& Path, PTypeInfo TypeInfo, Int64 Value) = 0;
    virtual int DoReadListItemCount(const std::string& Path) = 0;
    virtual void DoWriteListItemCount(const std::string& Path, int Count) = 0;
    // The name of item Index under a list's path ("Item0" ...).
    virtual std::string ItemNameIndexPath(const std::string& ItemName, int Index) { return ItemName + IntToStr(Index); }
    virtual bool DoReadOnly() { return false; }

private:
    std::string PropertyPath(const std::string& Path, TObject* Object, const std::string& Name, bool Reading);
    bool ListWritable(const std::string& Path);
    int ReadListCount(const std::string& Path);
    void WriteListCount(const std::string& Path, int Count);
};

void JvAppStorageFinalization();
