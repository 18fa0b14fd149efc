// The process-wide registry of the units' version banners. One registry object serves every module
// of the process: its address lives in a named shared-memory block guarded by a named mutex, both
// named after the process.
#pragma once

#include "JclBase.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

struct TUnitVersionInfo {
    std::string RCSfile;   // "$URL: <location> $"
    std::string Revision;  // "$Revision: <number> $"
    std::string Date;      // "$Date: <date> $"
    std::string LogPath;   // the source folder
    std::string Extra;
    void* Data = nullptr;
};

class TUnitVersion : public TObject {
    DECLARE_CLASS(TUnitVersion, TObject)
public:
    explicit TUnitVersion(const TUnitVersionInfo* AInfo) : FInfo(AInfo) {}
    const TUnitVersionInfo* Info() const { return FInfo; }

private:
    const TUnitVersionInfo* FInfo;
};

class TUnitVersioningModule : public TObject {
    DECLARE_CLASS(TUnitVersioningModule, TObject)
public:
    explicit TUnitVersioningModule(HINSTANCE AInstance) : FInstance(AInstance) {}
    HINSTANCE Instance() const { return FInstance; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TUnitVersion* Items(int Index) const;
    void Add(const TUnitVersionInfo* Info);
    int IndexOfInfo(const TUnitVersionInfo* Info) const;  // by address; -1 when absent

private:
    HINSTANCE FInstance;
    std::vector<std::unique_ptr<TUnitVersion, TObjectDeleter>> FItems;
};

class TUnitVersioning : public TObject {
    DECLARE_CLASS(TUnitVersioning, TObject)
public:
    // Virtual, so that every module runs the code of the module that created the shared object.
    virtual void AddUnitVersion(HINSTANCE Instance, const TUnitVersionInfo* Info);
    virtual void RemoveModule(HINSTANCE Instance);
    int ModuleCount() const { return static_cast<int>(FModules.size()); }
    TUnitVersioningModule* Modules(int Index) const;

private:
    std::vector<std::unique_ptr<TUnitVersioningModule, TObjectDeleter>> FModules;
    std::vector<std::unique_ptr<TObject, TObjectDeleter>> FProviders;
};

// The banner of a unit of this library: its source location, revision and folder ("common" or
// "windows"); kept by the unit for as long as the registry may hold its address.
TUnitVersionInfo UnitBanner(const char* Unit, int Revision, const char* Folder);
// Registers a unit's banner with the program's instance, as every unit's start-up does.
void RegisterProgramUnitBanner(const TUnitVersionInfo& Info);
void UnregisterProgramUnitBanners();

// Unit start-up: registers its own banner.
void JclUnitVersioningInitialization();

// The registry this module sees; null once the unit has shut down.
TUnitVersioning* GetUnitVersioning();
void RegisterUnitBanner(HINSTANCE Instance, const TUnitVersionInfo& Info);
void UnregisterUnitBanners(HINSTANCE Instance);

// The names the registry is shared under.
std::string UnitVersioningMutexName();
std::string UnitVersioningSharedName();

// Unit shut-down: empties the shared block, frees the registry this module made, swallows errors.
void JclUnitVersioningFinalization();
