#include "JclUnitVersioning.h"

#include "Classes.h"
#include "JclSynch.h"
#include "JclSysUtils.h"

namespace {
TJclMutex* GlobalMutex = nullptr;
void* SharedView = nullptr;
TUnitVersioning* Registry = nullptr;
bool OwnsRegistry = false;
bool Finalized = false;

class TMutexHold {
public:
    explicit TMutexHold(TJclMutex* M) : FM(M) { FM->WaitSignal(INFINITE); }
    ~TMutexHold() { FM->ReleaseOwnership(); }
    TMutexHold(const TMutexHold&) = delete;
    TMutexHold& operator=(const TMutexHold&) = delete;

private:
    TJclMutex* FM;
};

TUnitVersioning*& SharedAddress() { return *static_cast<TUnitVersioning**>(SharedView); }
}  // namespace

TUnitVersion* TUnitVersioningModule::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    return FItems[static_cast<size_t>(Index)].get();
}

void TUnitVersioningModule::Add(const TUnitVersionInfo* Info) { FItems.emplace_back(Create<TUnitVersion>(Info)); }

int TUnitVersioningModule::IndexOfInfo(const TUnitVersionInfo* Info) const {
    for (int I = 0; I < Count(); ++I)
        if (FItems[static_cast<size_t>(I)]->Info() == Info)
            return I;
    return -1;
}

TUnitVersioningModule* TUnitVersioning::Modules(int Index) const {
    if (Index < 0 || Index >= ModuleCount())
        RaiseListIndexError(Index);
    return FModules[static_cast<size_t>(Index)].get();
}

void TUnitVersioning::AddUnitVersion(HINSTANCE Instance, const TUnitVersionInfo* Info) {
    for (auto& M : FModules)
        if (M->Instance() == Instance) {
            if (M->IndexOfInfo(Info) < 0)
                M->Add(Info);
            return;
        }
    FModules.emplace_back(Create<TUnitVersioningModule>(Instance));
    FModules.back()->Add(Info);
}

void TUnitVersioning::RemoveModule(HINSTANCE Instance) {
    for (size_t I = FModules.size(); I-- > 0;)
        if (FModules[I]->Instance() == Instance) {
            FModules.erase(FModules.begin() + static_cast<std::ptrdiff_t>(I));
            break;
        }
}

std::string UnitVersioningMutexName() { return "MutexNPA_UnitVersioning_" + std::to_string(GetCurrentProcessId()); }
std::string UnitVersioningSharedName() { return "ShmNPA_UnitVersioning_" + std::to_string(GetCurrentProcessId()); }

TUnitVersioning* GetUnitVersioning() {
    if (Finalized)
        return nullptr;
    if (!GlobalMutex)
        GlobalMutex = Create<TJclMutex>(nullptr, false, UnitVersioningMutexName());
    if (!Registry) {
        TMutexHold Hold(GlobalMutex);
        if (!SharedView)
            SharedOpenOrCreate(UnitVersioningSharedName(), sizeof(void*), FILE_MAP_ALL_ACCESS, SharedView);
        if (SharedView) {
            Registry = SharedAddress();
            if (!Registry) {
                Registry = Create<TUnitVersioning>();
                SharedAddress() = Registry;
                OwnsRegistry = true;
            }
        } else {
            Registry = Create<TUnitVersioning>();
            OwnsRegistry = true;
        }
    } else if (SharedView && !OwnsRegistry) {
        // Another module's registry can go with that module: read its address again. Only the owner
        // writes the address of its own, so the owner's units register without taking the mutex.
        TMutexHold Hold(GlobalMutex);
        Registry = SharedAddress();
    }
    return Registry;
}

void RegisterUnitBanner(HINSTANCE Instance, const TUnitVersionInfo& Info) {
    if (TUnitVersioning* R = GetUnitVersioning())
        R->AddUnitVersion(Instance, &Info);
}

void UnregisterUnitBanners(HINSTANCE Instance) {
    if (TUnitVersioning* R = GetUnitVersioning())
        R->RemoveModule(Instance);
}

TUnitVersionInfo UnitBanner(const char* Unit, int Revision, const char* Folder) {
    TUnitVersionInfo Info;
    Info.RCSfile = std::string("$URL: archive/") + Unit + ".cpp $";
    Info.Revision = "$Revision: " + std::to_string(Revision) + " $";
    Info.Date = "$Date: 2010-10-01 12:00:00 +0000 (Fri, 01 Oct 2010) $";
    Info.LogPath = std::string("source\\") + Folder;
    return Info;
}

void RegisterProgramUnitBanner(const TUnitVersionInfo& Info) { RegisterUnitBanner(GetModuleHandleA(nullptr), Info); }

void UnregisterProgramUnitBanners() { UnregisterUnitBanners(GetModuleHandleA(nullptr)); }

namespace {
const TUnitVersionInfo Banner = UnitBanner("JclUnitVersioning", 3188, "common");
}

void JclUnitVersioningInitialization() { RegisterProgramUnitBanner(Banner); }

void JclUnitVersioningFinalization() {
    Finalized = true;
    try {
        if (SharedView) {
            {
                TMutexHold Hold(GlobalMutex);
                SharedAddress() = nullptr;
            }
            SharedCloseView(SharedView);
        }
        if (Registry && OwnsRegistry)
            FreeObject(Registry);
    } catch (...) {
    }
    Registry = nullptr;
    OwnsRegistry = false;
    FreeAndNil(GlobalMutex);
}
