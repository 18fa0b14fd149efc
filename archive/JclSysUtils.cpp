#include "JclSysUtils.h"

#include "JclUnitVersioning.h"

#include "JclResources.h"
#include "JclSysInfo.h"

#include <atomic>
#include <cstring>

namespace {

struct TMMFHandleListItem {
    TMMFHandleListItem* Next;
    void* Memory;
    HANDLE Handle;
    std::string Name;
    LongInt References;
};

TMMFHandleListItem* MMFHandleList = nullptr;
std::atomic<TJclIntfCriticalSection*> GlobalMMFHandleListCS{nullptr};
std::atomic<bool> ShuttingDown{false};

bool SameAsciiName(const std::string& A, const std::string& B) {
    if (A.size() != B.size())
        return false;
    for (size_t I = 0; I < A.size(); ++I) {
        auto Up = [](char C) { return (C >= 'a' && C <= 'z') ? char(C - 32) : C; };
        if (Up(A[I]) != Up(B[I]))
            return false;
    }
    return true;
}

// The old platforms refuse names that the NT family takes (an empty one, a "\" namespace).
bool NamesAreRestricted() {
    switch (WindowsVersion) {
    case wvUnknown:
    case wvWin95:
    case wvWin95OSR2:
    case wvWin98:
    case wvWin98SE:
    case wvWinME:
    case wvWinNT31:
    case wvWinNT35:
    case wvWinNT351:
    case wvWinNT4: return true;
    default: return false;
    }
}

}  // namespace

HRESULT STDMETHODCALLTYPE TJclIntfCriticalSection::QueryInterface(REFIID IID, void** Obj) {
    if (!Obj)
        return E_POINTER;
    if (IsEqualGUID(IID, IID_IUnknown)) {
        *Obj = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    *Obj = nullptr;
    return E_NOINTERFACE;
}

TJclLockReference AcquireRegistryLock() {
    if (ShuttingDown)
        return TJclLockReference();
    TJclIntfCriticalSection* Lock = GlobalMMFHandleListCS.load();
    if (!Lock) {
        auto* Mine = Create<TJclIntfCriticalSection>();
        TJclIntfCriticalSection* Expected = nullptr;
        if (GlobalMMFHandleListCS.compare_exchange_strong(Expected, Mine))
            Lock = Mine;
        else {
            FreeObject(Mine);
            Lock = Expected;
        }
    }
    Lock->AddRef();
    return TJclLockReference(Lock);
}

void ZeroMemoryBlock(void* P, size_t Size) {
    if (Size > 0) {
        static_cast<char*>(P)[0] = 0;
        std::memset(P, 0, Size);
    }
}

void ReleaseModule(HMODULE& Module) {
    if (Module) {
        FreeLibrary(Module);
        Module = nullptr;
    }
}

DWORD SharedOpenOrCreate(const std::string& Name, DWORD Size, DWORD DesiredAccess, void*& P) {
    P = nullptr;
    DWORD Result = 0;
    if (NamesAreRestricted() && (Name.empty() || Name.find('\\') != std::string::npos))
        throw ESharedMemError(Format(JclResources::RsInvalidMMFName, {Name}));
    TJclLockReference Lock = AcquireRegistryLock();
    for (TMMFHandleListItem* Item = MMFHandleList; Item; Item = Item->Next)
        if (SameAsciiName(Item->Name, Name)) {
            ++Item->References;
            P = Item->Memory;
            return ERROR_ALREADY_EXISTS;
        }
    HANDLE Handle = OpenFileMappingA(DesiredAccess, FALSE, Name.c_str());
    if (Handle) {
        Result = ERROR_ALREADY_EXISTS;
    } else {
        if (Size == 0)
            throw ESharedMemError(Format(JclResources::RsInvalidMMFEmpty, {Name}));
        const DWORD Protect = (Win32Platform == VER_PLATFORM_WIN32_WINDOWS && DesiredAccess == FILE_MAP_COPY)
                                  ? PAGE_WRITECOPY
                                  : PAGE_READWRITE;
        Handle = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, Protect, 0, Size, Name.c_str());
        const DWORD Code = GetLastError();
        if (!Handle)
            RaiseLastOSError(Code);
        if (Code == ERROR_ALREADY_EXISTS)
            Result = ERROR_ALREADY_EXISTS;
    }
    void* Memory = MapViewOfFile(Handle, DesiredAccess, 0, 0, Size);
    if (!Memory) {
        const DWORD Code = GetLastError();
        CloseHandle(Handle);
        RaiseLastOSError(Code);
    }
    MMFHandleList = new TMMFHandleListItem{MMFHandleList, Memory, Handle, Name, 1};
    P = Memory;
    return Result;
}

bool SharedCloseView(void*& P) {
    if (!P)
        return true;
    TJclLockReference Lock = AcquireRegistryLock();
    TMMFHandleListItem** Link = &MMFHandleList;
    while (*Link && (*Link)->Memory != P)
        Link = &(*Link)->Next;
    TMMFHandleListItem* Item = *Link;
    if (!Item)
        return false;
    if (Item->References < 2) {
        UnmapViewOfFile(Item->Memory);
        CloseHandle(Item->Handle);
        *Link = Item->Next;
        delete Item;
    } else {
        --Item->References;
    }
    P = nullptr;
    return true;
}

bool SharedCloseMapping(void*& P) { return SharedCloseView(P); }

int DynamicMethodCount(TClass Class) {
    const Word* Table = Class ? Class->DynamicTable() : nullptr;
    return Table ? Table[0] : 0;
}

Word* DynamicMethodIndexes(TClass Class) { return Class->DynamicTable() + 1; }

TMessageHandler* DynamicMethodAddresses(TClass Class) {
    return reinterpret_cast<TMessageHandler*>(Class->DynamicTable() + 1 + DynamicMethodCount(Class));
}

namespace {
const TUnitVersionInfo JclSysUtilsBanner = UnitBanner("JclSysUtils", 3321, "common");
}

void JclSysUtilsInitialization() { RegisterProgramUnitBanner(JclSysUtilsBanner); }

void JclSysUtilsFinalization() {
    UnregisterProgramUnitBanners();
    ShuttingDown = true;
    FreeObject(GlobalMMFHandleListCS.exchange(nullptr));
}
