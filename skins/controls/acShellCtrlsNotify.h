// The shell change notifier, part of the shell controls unit (acShellCtrls.h): a component that
// watches one directory (optionally with its subtree) and calls its OnChange handler in the main
// thread whenever the system reports a change there. A worker thread waits on the system's change
// notification and hands each change to the main thread; it exists only while a handler is
// assigned.
#pragma once

#include "Classes.h"
#include "SyncObjs.h"
#include "Threads.h"
#include "acShellCtrls.h"

#include <string>

DECLARE_ENUM(TacNotifyFilter, nfFileNameChange, nfDirNameChange, nfAttributeChange, nfSizeChange, nfWriteChange,
             nfSecurityChange)
DECLARE_SET(TacNotifyFilters, TacNotifyFilter)

// The FILE_NOTIFY_CHANGE_* flags of a set of filters.
DWORD NotifyFiltersToFlags(TacNotifyFilters Filters);

// The worker of a notifier. Created suspended; freed by its notifier (Free), which stops it and
// waits for it first.
class TacShellChangeThread : public TThread {
    DECLARE_CLASS(TacShellChangeThread, TThread)
public:
    explicit TacShellChangeThread(const TThreadMethod& ChangeEvent);
    ~TacShellChangeThread() override;
    void BeforeDestruction() override;

    // New options, applied by the worker as soon as it wakes (any thread).
    void SetDirectoryOptions(const std::string& Directory, bool WatchSubTree, DWORD NotifyFlags);
    // The handler run for each change (main thread only; the worker never reads it).
    void SetChangeEvent(const TThreadMethod& Value) { FChangeEvent = Value; }
    const TThreadMethod& ChangeEvent() const { return FChangeEvent; }
    // Set while Execute runs.
    bool Active() const { return FActiveEvent->WaitFor(0) == wrSignaled; }

protected:
    void Execute() override;

private:
    // The directory's notification handle for the current options (under the unit's lock).
    void OpenWaitHandle();
    void RunChangeEvent();

    HANDLE FWakeEvent = nullptr;  // auto-reset: new options are waiting
    HANDLE FWaitHandle = INVALID_HANDLE_VALUE;
    TThreadMethod FChangeEvent;
    std::string FDirectory;
    bool FWatchSubTree = false;
    bool FWaitChanged = false;
    DWORD FNotifyFlags = 0;
    TEvent* FStopEvent = nullptr;
    TEvent* FActiveEvent = nullptr;
};

class TacCustomShellChangeNotifier : public TComponent {
    DECLARE_CLASS(TacCustomShellChangeNotifier, TComponent)
public:
    explicit TacCustomShellChangeNotifier(TComponent* AOwner);
    ~TacCustomShellChangeNotifier() override;
    void BeforeDestruction() override;

    TacNotifyFilters NotifyFilters() const { return FNotifyFilters; }
    void SetNotifyFilters(TacNotifyFilters Value);
    const TacRoot& Root() const { return FRoot; }
    void SetRoot(const TacRoot& Value);
    bool WatchSubTree() const { return FWatchSubTree; }
    void SetWatchSubTree(bool Value);
    const TThreadMethod& OnChange() const { return FOnChange; }
    void SetOnChange(const TThreadMethod& Value);
    // The worker, null while there is none.
    TacShellChangeThread* Thread() const { return FThread; }
    // The current options to a running worker.
    void Change();

protected:
    void Start();

private:
    void StopThread();

    TacNotifyFilters FNotifyFilters{nfFileNameChange, nfDirNameChange};
    bool FWatchSubTree = true;
    TacRoot FRoot = "C:\\";
    TacShellChangeThread* FThread = nullptr;
    TThreadMethod FOnChange;
};

class TacShellChangeNotifier : public TacCustomShellChangeNotifier {
    DECLARE_CLASS(TacShellChangeNotifier, TacCustomShellChangeNotifier)
public:
    using TacCustomShellChangeNotifier::TacCustomShellChangeNotifier;
    static void DefineClass(TClassBuilder<TacShellChangeNotifier>& B);
};
