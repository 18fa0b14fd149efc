#include "SyncObjs.h"

THandleObject::~THandleObject() {
    if (FHandle)
        CloseHandle(FHandle);
}

TWaitResult THandleObject::WaitFor(DWORD Timeout) {
    switch (WaitForSingleObject(FHandle, Timeout)) {
    case WAIT_OBJECT_0:
        return wrSignaled;
    case WAIT_TIMEOUT:
        return wrTimeout;
    case WAIT_ABANDONED:
        return wrAbandoned;
    default:
        FLastError = GetLastError();
        return wrError;
    }
}

TEvent::TEvent(LPSECURITY_ATTRIBUTES EventAttributes, bool ManualReset, bool InitialState, const std::string& Name) {
    FHandle = CreateEventA(EventAttributes, ManualReset, InitialState, Name.empty() ? nullptr : Name.c_str());
    if (!FHandle)
        RaiseLastOSError();
}

void TEvent::SetEvent() { ::SetEvent(FHandle); }
void TEvent::ResetEvent() { ::ResetEvent(FHandle); }
