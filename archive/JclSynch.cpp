#include "JclSynch.h"

#include "JclUnitVersioning.h"

#include "JclResources.h"

TJclDispatcherObject::~TJclDispatcherObject() {
    if (FHandle)
        CloseHandle(FHandle);
}

TJclWaitResult TJclDispatcherObject::WaitSignal(DWORD TimeOut) {
    switch (WaitForSingleObject(FHandle, TimeOut)) {
    case WAIT_OBJECT_0: return SynchWaitResults::wrSignaled;
    case WAIT_ABANDONED: return SynchWaitResults::wrAbandoned;
    case WAIT_IO_COMPLETION: return SynchWaitResults::wrIoCompletion;
    case WAIT_TIMEOUT: return SynchWaitResults::wrTimeout;
    default: return SynchWaitResults::wrError;
    }
}

TJclMutex::TJclMutex(LPSECURITY_ATTRIBUTES SecAttr, bool InitialOwner, const std::string& Name) {
    FName = Name;
    FHandle = CreateMutexA(SecAttr, InitialOwner, Name.empty() ? nullptr : Name.c_str());
    if (!FHandle)
        throw EJclMutexError(JclResources::RsSynchCreateMutex);
    FExisted = GetLastError() == ERROR_ALREADY_EXISTS;
}

bool TJclMutex::ReleaseOwnership() { return ReleaseMutex(FHandle) != 0; }

namespace {
const TUnitVersionInfo JclSynchBanner = UnitBanner("JclSynch", 2984, "common");
}

void JclSynchInitialization() { RegisterProgramUnitBanner(JclSynchBanner); }

void JclSynchFinalization() { UnregisterProgramUnitBanners(); }
