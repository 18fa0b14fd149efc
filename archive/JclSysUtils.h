// Process helpers of the utility library: the process-wide registry of named shared-memory views
// with its lock, zeroing memory, releasing a module, and the readers of a class's message-handler
// ("dynamic-method") table.
#pragma once

#include "JclBase.h"

#include <windows.h>
#include <unknwn.h>

#include <string>

// Held as an interface reference: taking the reference enters the lock, dropping it leaves.
// Never freed through its count.
class TJclIntfCriticalSection : public TObject, public IUnknown {
    DECLARE_CLASS(TJclIntfCriticalSection, TObject)
public:
    TJclIntfCriticalSection() { InitializeCriticalSection(&FSection); }
    ~TJclIntfCriticalSection() override { DeleteCriticalSection(&FSection); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override;
    ULONG STDMETHODCALLTYPE AddRef() override {
        EnterCriticalSection(&FSection);
        return 0;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LeaveCriticalSection(&FSection);
        return 0;
    }

private:
    CRITICAL_SECTION FSection;
};

// A reference to the registry lock, entered while held; empty (nothing locked) once the process
// is shutting down.
class TJclLockReference {
public:
    explicit TJclLockReference(IUnknown* Lock = nullptr) : FLock(Lock) {}
    ~TJclLockReference() { Clear(); }
    TJclLockReference(TJclLockReference&& Other) noexcept : FLock(Other.FLock) { Other.FLock = nullptr; }
    TJclLockReference(const TJclLockReference&) = delete;
    TJclLockReference& operator=(const TJclLockReference&) = delete;
    void Clear() {
        if (FLock)
            FLock->Release();
        FLock = nullptr;
    }
    IUnknown* Get() const { return FLock; }

private:
    IUnknown* FLock;
};

TJclLockReference AcquireRegistryLock();

void ZeroMemoryBlock(void* P, size_t Size);
void ReleaseModule(HMODULE& Module);

// Maps the named shared-memory block of the paging file, one view per name in the process.
// Gives 0 when it was created, ERROR_ALREADY_EXISTS (183) when it existed in the process or the
// system.
DWORD SharedOpenOrCreate(const std::string& Name, DWORD Size, DWORD DesiredAccess, void*& P);
// Releases one reference to the view at P; false (P unchanged) when P is no registered view.
bool SharedCloseView(void*& P);
bool SharedCloseMapping(void*& P);

int DynamicMethodCount(TClass Class);
Word* DynamicMethodIndexes(TClass Class);
TMessageHandler* DynamicMethodAddresses(TClass Class);

// Unit start-up: the unit's version banner.
void JclSysUtilsInitialization();
// Unit shut-down: the banner and the registry lock go; views still registered stay mapped until the process ends.
void JclSysUtilsFinalization();
