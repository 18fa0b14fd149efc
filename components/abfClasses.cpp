#include "abfClasses.h"

TCriticalSection* abfFolderMonitorLock = nullptr;
TCriticalSection* abfRegistryMonitorLock = nullptr;

namespace {
// Holds a critical section for a scope.
class TLockScope {
public:
    explicit TLockScope(TCriticalSection* Lock) : FLock(Lock) { FLock->Enter(); }
    ~TLockScope() { FLock->Leave(); }
    TLockScope(const TLockScope&) = delete;
    TLockScope& operator=(const TLockScope&) = delete;

private:
    TCriticalSection* FLock;
};

// Runs the handler on the main thread, read there under the lock, so that a handler forgotten by
// Stop is never called, even when the worker had already decided to report a change.
void SynchronizeChange(TThread* Thread, TCriticalSection* Lock, const TThreadMethod& OnChange) {
    Thread->Synchronize([Lock, &OnChange] {
        TThreadMethod Handler;
        {
            TLockScope L(Lock);
            Handler = OnChange;
        }
        Handler();
    });
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TabfEventThread

TabfEventThread::TabfEventThread(bool CreateSuspended) : TThread(CreateSuspended) {
    FWakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

TabfEventThread::~TabfEventThread() {
    if (FWakeEvent)
        CloseHandle(FWakeEvent);
}

TNotifyEvent TabfEventThread::OnEvent() const {
    std::lock_guard<std::mutex> L(FEventLock);
    return FOnEvent;
}

void TabfEventThread::SetOnEvent(const TNotifyEvent& Value) {
    std::lock_guard<std::mutex> L(FEventLock);
    FOnEvent = Value;
}

void TabfEventThread::BeforeDestruction() {
    SetOnEvent(nullptr);
    Terminate();
    FPaused = false;
    SetEvent(FWakeEvent);
    TThread::BeforeDestruction();
}

void TabfEventThread::SetIsSuspended(bool Value) {
    if (Value) {
        if (!Suspended())
            FPaused = true;
    } else if (Suspended())
        Start();
    else if (FPaused.exchange(false))
        SetEvent(FWakeEvent);
}

void TabfEventThread::WakeUp() {
    try {
        FPaused = false;
        SetEvent(FWakeEvent);
    } catch (...) {
    }
}

void TabfEventThread::WaitWhilePaused() {
    while (FPaused && !Terminated())
        WaitForSingleObject(FWakeEvent, INFINITE);
}

void TabfEventThread::Execute() {
    if (Terminated())
        return;
    WaitWhilePaused();
    if (Terminated())
        return;
    if (FSynchronized)
        Synchronize([this] { DoEvent(); });
    else
        DoEvent();
}

void TabfEventThread::DoEvent() {
    TNotifyEvent Handler = OnEvent();
    if (!Terminated() && Handler)
        Handler(this);
}

// ---------------------------------------------------------------------------------------------
// TabfTimerThread

TabfTimerThread::TabfTimerThread(bool CreateSuspended) : TabfEventThread(CreateSuspended) {}

void TabfTimerThread::SetInterval(Cardinal Value) {
    if (FInterval.exchange(Value) != Value)
        SetEvent(WakeEvent());
}

void TabfTimerThread::Execute() {
    while (!Terminated()) {
        WaitWhilePaused();
        if (Terminated())
            break;
        if (WaitForSingleObject(WakeEvent(), FInterval) == WAIT_TIMEOUT && !Terminated() && !IsSuspended())
            TabfEventThread::Execute();
    }
}

// ---------------------------------------------------------------------------------------------
// TabfFolderMonitorThread

TabfFolderMonitorThread::TabfFolderMonitorThread(const TThreadMethod& OnChange)
    : TThread(true), FOnChange(OnChange) {
    FWakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

TabfFolderMonitorThread::~TabfFolderMonitorThread() {
    if (FNotification != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(FNotification);
    if (FWakeEvent)
        CloseHandle(FWakeEvent);
}

void TabfFolderMonitorThread::BeforeDestruction() {
    Stop();
    TThread::BeforeDestruction();
}

void TabfFolderMonitorThread::SetParameters(const std::string& Folder, bool WatchSubTree, DWORD Filter) {
    {
        TLockScope L(abfFolderMonitorLock);
        FFolder = Trim(Folder).empty() ? GetCurrentDir() : Folder;
        FWatchSubTree = WatchSubTree;
        FFilter = Filter;
        FRestart = true;
    }
    SetEvent(FWakeEvent);
}

void TabfFolderMonitorThread::Stop() {
    {
        TLockScope L(abfFolderMonitorLock);
        FOnChange = nullptr;
    }
    Terminate();
    SetEvent(FWakeEvent);
}

bool TabfFolderMonitorThread::StartNotification() {
    if (FNotification != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(FNotification);
    FNotification = FindFirstChangeNotificationA(FFolder.c_str(), FWatchSubTree, FFilter);
    FRestart = false;
    return FNotification != INVALID_HANDLE_VALUE;
}

void TabfFolderMonitorThread::Changed() { SynchronizeChange(this, abfFolderMonitorLock, FOnChange); }

void TabfFolderMonitorThread::Execute() {
    {
        TLockScope L(abfFolderMonitorLock);
        if (!StartNotification())
            return;
    }
    while (!Terminated()) {
        HANDLE Handles[2] = {FNotification, FWakeEvent};
        DWORD R = WaitForMultipleObjects(2, Handles, FALSE, INFINITE);
        if (R == WAIT_FAILED)
            break;
        if (Terminated())
            break;
        if (R == WAIT_OBJECT_0) {
            Changed();
            FindNextChangeNotification(FNotification);
        }
        TLockScope L(abfFolderMonitorLock);
        if (FRestart && !StartNotification())
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// TabfRegistryMonitorThread

TabfRegistryMonitorThread::TabfRegistryMonitorThread(const TThreadMethod& OnChange)
    : TThread(true), FOnChange(OnChange) {
    FWakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

TabfRegistryMonitorThread::~TabfRegistryMonitorThread() {
    CloseNotificationHandle(FKeyEvent);
    CloseNotificationHandle(FRootEvent);
    CloseKey();
    if (FWakeEvent)
        CloseHandle(FWakeEvent);
}

void TabfRegistryMonitorThread::BeforeDestruction() {
    Stop();
    TThread::BeforeDestruction();
}

void TabfRegistryMonitorThread::SetParameters(HKEY RootKey, const std::string& Key, DWORD Filter, bool WatchSubTree) {
    {
        TLockScope L(abfRegistryMonitorLock);
        FRootKey = RootKey;
        FKeyPath = Key;
        FFilter = Filter;
        FWatchSubTree = WatchSubTree;
        FRestart = true;
    }
    SetEvent(FWakeEvent);
}

void TabfRegistryMonitorThread::Stop() {
    {
        TLockScope L(abfRegistryMonitorLock);
        FOnChange = nullptr;
    }
    Terminate();
    SetEvent(FWakeEvent);
}

bool TabfRegistryMonitorThread::OpenKey() {
    CloseKey();
    FKeyExists = RegOpenKeyExA(FRootKey, FKeyPath.c_str(), 0, KEY_READ, &FKey) == ERROR_SUCCESS;
    if (!FKeyExists)
        FKey = nullptr;
    return FKeyExists;
}

void TabfRegistryMonitorThread::CloseKey() {
    CloseNotificationHandle(FKeyEvent);
    FKeyEvent = INVALID_HANDLE_VALUE;
    if (FKey)
        RegCloseKey(FKey);
    FKey = nullptr;
}

void TabfRegistryMonitorThread::StartKeyNotification() {
    CloseNotificationHandle(FKeyEvent);
    FKeyEvent = StartRegistryNotification(FKey, FWatchSubTree, FFilter, FKeyRequest);
}

void TabfRegistryMonitorThread::Changed() { SynchronizeChange(this, abfRegistryMonitorLock, FOnChange); }

void TabfRegistryMonitorThread::KeyDeleted() {
    CloseKey();
    FKeyExists = false;
    Changed();
}

namespace {
bool KeyOpens(HKEY Root, const std::string& Path) {
    HKEY K = nullptr;
    if (RegOpenKeyExA(Root, Path.c_str(), 0, KEY_READ, &K) != ERROR_SUCCESS)
        return false;
    RegCloseKey(K);
    return true;
}
}  // namespace

void TabfRegistryMonitorThread::Execute() {
    {
        TLockScope L(abfRegistryMonitorLock);
        if (OpenKey())
            StartKeyNotification();
        // Creation and deletion of the key show as name changes anywhere under the root.
        FRootEvent = StartRegistryNotification(FRootKey, true, REG_NOTIFY_CHANGE_NAME, FRootRequest);
        FRestart = false;
    }
    while (!Terminated()) {
        HANDLE Handles[3] = {FWakeEvent};
        DWORD Count = 1;
        DWORD RootIndex = MAXDWORD, KeyIndex = MAXDWORD;
        if (FRootEvent != INVALID_HANDLE_VALUE) {
            RootIndex = Count;
            Handles[Count++] = FRootEvent;
        }
        if (FKeyEvent != INVALID_HANDLE_VALUE) {
            KeyIndex = Count;
            Handles[Count++] = FKeyEvent;
        }
        DWORD R = WaitForMultipleObjects(Count, Handles, FALSE, INFINITE);
        if (R == WAIT_FAILED || Terminated())
            break;
        DWORD Index = R - WAIT_OBJECT_0;
        if (Index == RootIndex) {
            bool Exists = KeyOpens(FRootKey, FKeyPath);
            if (!Exists && FKeyExists)
                KeyDeleted();
            else if (Exists && !FKeyExists) {
                if (OpenKey())
                    StartKeyNotification();
                Changed();
            }
            RearmRegistryNotification(FRootEvent, FRootRequest);
        } else if (Index == KeyIndex) {
            // A deleted key also signals its own notification: report the deletion once, here or
            // through the root, whichever comes first.
            if (!KeyOpens(FRootKey, FKeyPath))
                KeyDeleted();
            else {
                Changed();
                if (!RearmRegistryNotification(FKeyEvent, FKeyRequest)) {
                    CloseNotificationHandle(FKeyEvent);
                    FKeyEvent = INVALID_HANDLE_VALUE;
                }
            }
        }
        TLockScope L(abfRegistryMonitorLock);
        if (FRestart) {
            if (OpenKey())
                StartKeyNotification();
            CloseNotificationHandle(FRootEvent);
            FRootEvent = StartRegistryNotification(FRootKey, true, REG_NOTIFY_CHANGE_NAME, FRootRequest);
            FRestart = false;
        }
    }
}

// ---------------------------------------------------------------------------------------------

void abfClassesInitialization() {
    if (!abfFolderMonitorLock)
        abfFolderMonitorLock = new TCriticalSection();
    if (!abfRegistryMonitorLock)
        abfRegistryMonitorLock = new TCriticalSection();
}

void abfClassesFinalization() {
    FreeAndNil(abfFolderMonitorLock);
    FreeAndNil(abfRegistryMonitorLock);
}
