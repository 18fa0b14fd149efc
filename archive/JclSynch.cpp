#include "JclSynch.h"

#include "JclUnitVersioning.h"

#include "JclResources.h"

TJclDispatcherObject::~TJclDispatcherObject() {
    if (FHandle)
        CloseHandle(FHandle);
}

TJclWaitResult TJclDispatcherObject::WaitSignal(DWORD TimeOut) {
    switch (WaitForSingleObject(FHandle, TimeOut)) {
    case WAIT_OBJECT_0: return wrSignaled;
    case WAIT_ABANDONED: return wrAbandoned;
    case WAIT_IO_COMPLETION: return wrIoCompletion;
    case WAIT_TIMEOUT: return wrTimeout;
    default: return wrError;
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
