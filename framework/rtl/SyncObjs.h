// Synchronisation objects: events and critical sections.
#pragma once

#include "SysUtils.h"

#include <string>

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class TSynchroObject : public TObject {
    DECLARE_CLASS(TSynchroObject, TObject)
public:
    virtual void Acquire() {}
    virtual void Release() {}
};

// An object with a waitable Win32 handle, closed with the object.
class THandleObject : public TSynchroObject {
    DECLARE_CLASS(THandleObject, TSynchroObject)
public:
    THandleObject(const THandleObject&) = delete;
    THandleObject& operator=(const THandleObject&) = delete;
    ~THandleObject() override;
    HANDLE Handle() const { return FHandle; }
    // The system's error code of the last wrError.
    DWORD LastError() const { return FLastError; }
    virtual TWaitResult WaitFor(DWORD Timeout);

protected:
    THandleObject() = default;
    HANDLE FHandle = nullptr;
    DWORD FLastError = 0;
};

// A Win32 event. Raises EOSError when the system cannot create it.
class TEvent : public THandleObject {
    DECLARE_CLASS(TEvent, THandleObject)
public:
    // A manual-reset event, not signalled, without a name.
    TEvent() : TEvent(nullptr, true, false, std::string()) {}
    TEvent(LPSECURITY_ATTRIBUTES EventAttributes, bool ManualReset, bool InitialState, const std::string& Name);
    void SetEvent();
    void ResetEvent();
};

// A manual-reset event that starts not signalled.
class TSimpleEvent : public TEvent {
    DECLARE_CLASS(TSimpleEvent, TEvent)
public:
    TSimpleEvent() = default;
};

// A critical section: the thread that holds it may enter it again (each Enter needs its Leave).
class TCriticalSection : public TSynchroObject {
    DECLARE_CLASS(TCriticalSection, TSynchroObject)
public:
    TCriticalSection() { InitializeCriticalSection(&FSection); }
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;
    ~TCriticalSection() override { DeleteCriticalSection(&FSection); }
    void Acquire() override { EnterCriticalSection(&FSection); }
    void Release() override { LeaveCriticalSection(&FSection); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }
    bool TryEnter() { return TryEnterCriticalSection(&FSection) != 0; }

private:
    CRITICAL_SECTION FSection;
};
