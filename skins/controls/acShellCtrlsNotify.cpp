#include "acShellCtrlsNotify.h"

#include "Forms.h"

namespace {
struct TShellLock {
    TShellLock() { EnterCriticalSection(&ShellCtrlsLock); }
    ~TShellLock() { LeaveCriticalSection(&ShellCtrlsLock); }
    TShellLock(const TShellLock&) = delete;
    TShellLock& operator=(const TShellLock&) = delete;
};
}  // namespace

DWORD NotifyFiltersToFlags(TacNotifyFilters Filters) {
    DWORD Flags = 0;
    for (auto [Filter, Flag] : {std::pair{nfFileNameChange, FILE_NOTIFY_CHANGE_FILE_NAME},
                                std::pair{nfDirNameChange, FILE_NOTIFY_CHANGE_DIR_NAME},
                                std::pair{nfAttributeChange, FILE_NOTIFY_CHANGE_ATTRIBUTES},
                                std::pair{nfSizeChange, FILE_NOTIFY_CHANGE_SIZE},
                                std::pair{nfWriteChange, FILE_NOTIFY_CHANGE_LAST_WRITE},
                                std::pair{nfSecurityChange, FILE_NOTIFY_CHANGE_SECURITY}})
        if (Filters.Contains(Filter))
            Flags |= Flag;
    return Flags;
}

// ---------------------------------------------------------------------------------------------
// TacShellChangeThread

TacShellChangeThread::TacShellChangeThread(const TThreadMethod& ChangeEvent) : TThread(true) {
    FChangeEvent = ChangeEvent;
    FWakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!FWakeEvent)
        RaiseLastOSError();
    FStopEvent = Create<TEvent>();
    FActiveEvent = Create<TEvent>();
}

void TacShellChangeThread::BeforeDestruction() {
    // A worker that has not reached its wait yet still sees the stop: the thread is always joined
    // before any handle it may wait on is closed.
    FStopEvent->SetEvent();
    TThread::BeforeDestruction();
}

TacShellChangeThread::~TacShellChangeThread() {
    if (FWaitHandle != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(FWaitHandle);
    if (FWakeEvent)
        CloseHandle(FWakeEvent);
    FreeAndNil(FStopEvent);
    FreeAndNil(FActiveEvent);
}

void TacShellChangeThread::SetDirectoryOptions(const std::string& Directory, bool WatchSubTree, DWORD NotifyFlags) {
    {
        TShellLock Lock;
        FDirectory = Directory;
        FWatchSubTree = WatchSubTree;
        FNotifyFlags = NotifyFlags;
        FWaitChanged = true;
    }
    SetEvent(FWakeEvent);
}

void TacShellChangeThread::OpenWaitHandle() {
    FWaitHandle = FindFirstChangeNotificationA(FDirectory.c_str(), FWatchSubTree, FNotifyFlags);
    FWaitChanged = false;
}

void TacShellChangeThread::RunChangeEvent() {
    // On the main thread: the handler as it is now, so that one cleared meanwhile runs nothing.
    TThreadMethod Handler = FChangeEvent;
    if (!Handler)
        return;
    try {
        Handler();
    } catch (...) {
        if (Application)
            Application->HandleException(this);
    }
}

void TacShellChangeThread::Execute() {
    FActiveEvent->SetEvent();
    struct TInactive {
        TEvent* Event;
        ~TInactive() { Event->ResetEvent(); }
    } Inactive{FActiveEvent};
    {
        TShellLock Lock;
        OpenWaitHandle();
        if (FWaitHandle == INVALID_HANDLE_VALUE)
            return;
    }
    while (!Terminated()) {
        // Without a notification handle (new options that could not be opened) only a wake-up or
        // the stop can come.
        HANDLE Handles[3];
        DWORD Count = 0;
        bool Watching = FWaitHandle != INVALID_HANDLE_VALUE;
        if (Watching)
            Handles[Count++] = FWaitHandle;
        Handles[Count++] = FWakeEvent;
        Handles[Count++] = FStopEvent->Handle();
        DWORD Result = WaitForMultipleObjects(Count, Handles, FALSE, INFINITE);
        if (Result == WAIT_FAILED || Result >= WAIT_OBJECT_0 + Count)
            return;
        DWORD Index = Result - WAIT_OBJECT_0 + (Watching ? 0 : 1);
        if (Index == 0) {
            Synchronize(std::function<void()>([this] { RunChangeEvent(); }));
            if (FStopEvent->WaitFor(0) == wrTimeout)
                FindNextChangeNotification(FWaitHandle);
        } else if (Index == 2) {
            Terminate();
            return;
        }
        TShellLock Lock;
        if (FWaitChanged) {
            if (FWaitHandle != INVALID_HANDLE_VALUE)
                FindCloseChangeNotification(FWaitHandle);
            OpenWaitHandle();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Notifier

TacCustomShellChangeNotifier::TacCustomShellChangeNotifier(TComponent* AOwner) : TComponent(AOwner) { Start(); }

TacCustomShellChangeNotifier::~TacCustomShellChangeNotifier() { StopThread(); }

void TacCustomShellChangeNotifier::BeforeDestruction() {
    StopThread();
    TComponent::BeforeDestruction();
}

void TacCustomShellChangeNotifier::StopThread() {
    if (!FThread)
        return;
    // No handler runs any more, not even one the worker is handing over right now.
    SetOnChange(TThreadMethod());
    TacShellChangeThread* T = std::exchange(FThread, nullptr);
    T->Free();
}

void TacCustomShellChangeNotifier::Start() {
    if (!FOnChange)
        return;
    FThread = Create<TacShellChangeThread>(FOnChange);
    FThread->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyFiltersToFlags(FNotifyFilters));
    FThread->Resume();
}

void TacCustomShellChangeNotifier::Change() {
    if (FThread)
        FThread->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyFiltersToFlags(FNotifyFilters));
}

void TacCustomShellChangeNotifier::SetNotifyFilters(TacNotifyFilters Value) {
    FNotifyFilters = Value;
    Change();
}

void TacCustomShellChangeNotifier::SetRoot(const TacRoot& Value) {
    if (SameText(Value, FRoot))
        return;
    FRoot = Value;
    Change();
}

void TacCustomShellChangeNotifier::SetWatchSubTree(bool Value) {
    FWatchSubTree = Value;
    Change();
}

void TacCustomShellChangeNotifier::SetOnChange(const TThreadMethod& Value) {
    FOnChange = Value;
    if (FThread)
        FThread->SetChangeEvent(Value);
    else
        Start();
}

void TacShellChangeNotifier::DefineClass(TClassBuilder<TacShellChangeNotifier>& B) {
    B.Property("NotifyFilters", &TacShellChangeNotifier::NotifyFilters, &TacShellChangeNotifier::SetNotifyFilters);
    B.Property("Root", &TacShellChangeNotifier::Root, &TacShellChangeNotifier::SetRoot);
    B.Property("WatchSubTree", &TacShellChangeNotifier::WatchSubTree, &TacShellChangeNotifier::SetWatchSubTree);
    B.Property("OnChange", &TacShellChangeNotifier::OnChange, &TacShellChangeNotifier::SetOnChange);
}
