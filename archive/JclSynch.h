// Thin wrappers over the platform's synchronisation objects: a waitable object with its name, the
// named mutex, and the critical section.
#pragma once

#include "JclBase.h"

#include <windows.h>

#include <string>

// The framework's own wait results share these names; these live in a namespace of their own so that
// both headers can meet in one file (SynchWaitResults::wrSignaled names this one).
namespace SynchWaitResults {
enum TJclWaitResult : Byte { wrAbandoned, wrError, wrIoCompletion, wrSignaled, wrTimeout };
}
using SynchWaitResults::TJclWaitResult;

class TJclDispatcherObject : public TObject {
    DECLARE_CLASS(TJclDispatcherObject, TObject)
public:
    ~TJclDispatcherObject() override;
    // Timeout in milliseconds; -1 (INFINITE) waits for ever.
    TJclWaitResult WaitSignal(DWORD TimeOut = INFINITE);
    bool Existed() const { return FExisted; }
    HANDLE Handle() const { return FHandle; }
    const std::string& Name() const { return FName; }

protected:
    bool FExisted = false;
    HANDLE FHandle = nullptr;
    std::string FName;
};

class TJclMutex : public TJclDispatcherObject {
    DECLARE_CLASS(TJclMutex, TJclDispatcherObject)
public:
    TJclMutex() = default;
    // Creates or opens the named mutex; EJclMutexError "Failed to create mutex" when the platform
    // gives no handle.
    TJclMutex(LPSECURITY_ATTRIBUTES SecAttr, bool InitialOwner, const std::string& Name);
    bool ReleaseOwnership();
};

class TJclCriticalSection : public TObject {
    DECLARE_CLASS(TJclCriticalSection, TObject)
public:
    TJclCriticalSection() { InitializeCriticalSection(&FCriticalSection); }
    ~TJclCriticalSection() override { DeleteCriticalSection(&FCriticalSection); }
    void EnterSection() { EnterCriticalSection(&FCriticalSection); }
    void LeaveSection() { LeaveCriticalSection(&FCriticalSection); }

private:
    CRITICAL_SECTION FCriticalSection;
};

// Unit start-up and shut-down: the unit's version banner.
void JclSynchInitialization();
void JclSynchFinalization();
