// abfClasses: the component set's worker threads. An event thread runs one handler (on itself or on
// the main thread); a timer thread runs it every Interval milliseconds; the folder and registry
// monitor threads wait for the system's change notifications and report each change on the main
// thread.
//
// The framework's threads cannot be suspended once started (a thread frozen inside a lock would
// freeze the process), so these threads have a paused state instead: a paused thread waits on its
// wake-up event and does nothing else.
#pragma once

#include "SyncObjs.h"
#include "Threads.h"
#include "abfSysUtils.h"

#include <atomic>
#include <mutex>
#include <string>

// Runs OnEvent once, on the worker or, with Synchronized, on the main thread.
class TabfEventThread : public TThread {
    DECLARE_CLASS(TabfEventThread, TThread)
public:
    explicit TabfEventThread(bool CreateSuspended);
    ~TabfEventThread() override;
    void BeforeDestruction() override;

    // Read and written under a lock: the main thread clears it while the worker may be about to call it.
    TNotifyEvent OnEvent() const;
    void SetOnEvent(const TNotifyEvent& Value);
    bool Synchronized() const { return FSynchronized; }
    void SetSynchronized(bool Value) { FSynchronized = Value; }

    // Never started, or started and paused.
    bool IsSuspended() const { return Suspended() || FPaused; }
    // False starts a thread never started, or lets a paused one go on; True pauses a running one.
    void SetIsSuspended(bool Value);
    // Signals the wake-up event (a waiting worker looks at its state again) and lets a paused
    // thread go on; exceptions are swallowed.
    virtual void WakeUp();

protected:
    void Execute() override;
    virtual void DoEvent();
    // Waits while paused and not terminated; the wake-up event ends each wait.
    void WaitWhilePaused();
    HANDLE WakeEvent() const { return FWakeEvent; }

private:
    mutable std::mutex FEventLock;
    TNotifyEvent FOnEvent;
    bool FSynchronized = false;
    std::atomic<bool> FPaused{false};
    HANDLE FWakeEvent = nullptr;  // auto-reset
};

// Runs the inherited Execute (one event) every Interval milliseconds until terminated.
class TabfTimerThread : public TabfEventThread {
    DECLARE_CLASS(TabfTimerThread, TabfEventThread)
public:
    explicit TabfTimerThread(bool CreateSuspended);

    Cardinal Interval() const { return FInterval; }
    // The current wait ends at once, so the next tick comes Value ms after the change.
    void SetInterval(Cardinal Value);

protected:
    void Execute() override;

private:
    std::atomic<Cardinal> FInterval{1000};
};

// Guards the parameters of all folder (and of all registry) workers between the main thread and
// the workers; made by the unit's start-up.
extern TCriticalSection* abfFolderMonitorLock;
extern TCriticalSection* abfRegistryMonitorLock;

// Waits for changes in a folder and runs OnChange on the main thread for each.
class TabfFolderMonitorThread : public TThread {
    DECLARE_CLASS(TabfFolderMonitorThread, TThread)
public:
    explicit TabfFolderMonitorThread(const TThreadMethod& OnChange);
    ~TabfFolderMonitorThread() override;
    void BeforeDestruction() override;

    // An empty or blank folder means the current directory. Takes effect at once (the worker sets
    // its notification up again).
    void SetParameters(const std::string& Folder, bool WatchSubTree, DWORD Filter);
    // Forgets the handler (under the lock), asks the worker to end and wakes it.
    void Stop();

protected:
    void Execute() override;

private:
    bool StartNotification();
    void Changed();

    HANDLE FWakeEvent = nullptr;
    HANDLE FNotification = INVALID_HANDLE_VALUE;
    std::string FFolder;
    bool FWatchSubTree = false;
    DWORD FFilter = 0;
    bool FRestart = false;
    TThreadMethod FOnChange;
};

// Waits for changes of a registry key, its creation and its deletion, and runs OnChange on the
// main thread for each.
class TabfRegistryMonitorThread : public TThread {
    DECLARE_CLASS(TabfRegistryMonitorThread, TThread)
public:
    explicit TabfRegistryMonitorThread(const TThreadMethod& OnChange);
    ~TabfRegistryMonitorThread() override;
    void BeforeDestruction() override;

    void SetParameters(HKEY RootKey, const std::string& Key, DWORD Filter, bool WatchSubTree);
    void Stop();

protected:
    void Execute() override;

private:
    bool OpenKey();
    void CloseKey();
    void StartKeyNotification();
    void Changed();
    // The watched key went away: reported once, its notification closed.
    void KeyDeleted();

    HANDLE FWakeEvent = nullptr;
    HANDLE FKeyEvent = INVALID_HANDLE_VALUE;
    HANDLE FRootEvent = INVALID_HANDLE_VALUE;
    std::string FKeyPath;
    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FKey = nullptr;
    bool FKeyExists = false;
    bool FWatchSubTree = false;
    bool FRestart = false;
    DWORD FFilter = 0;
    TThreadMethod FOnChange;
    TabfRegistryNotifyRequest FKeyRequest;
    TabfRegistryNotifyRequest FRootRequest;
};

// Unit start-up: the two monitor locks. Shut-down: frees them.
void abfClassesInitialization();
void abfClassesFinalization();
