// Threads: TThread and the synchronisation of worker threads with the main thread.
//
// A worker hands a call to the main thread with Synchronize (waits for it; an exception of the
// call is raised again in the worker) or Queue (does not wait). The main thread runs the waiting
// calls in CheckSynchronize, which the application calls from its message loop when idle and on
// the message that WakeMainThread posts; WaitFor on the main thread serves them too while it waits.
#pragma once

#include "SysUtils.h"
#include "TypInfo.h"

#include <atomic>
#include <exception>
#include <functional>

// With its names: thread components publish a priority.
DECLARE_ENUM(TThreadPriority, tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical)

// A method of an object without arguments (Bind<&TForm::Method>(Form)), or a function (FromFunction).
using TThreadMethod = TMethodOf<>;

// The thread that started the process: the program's main (GUI) thread.
extern const DWORD MainThreadID;

// Runs the calls that workers have handed to the main thread, in order; waits up to Timeout ms for
// one to arrive when there is none. True when a call ran. Only on the main thread (else EThread).
// A queued call's exception is raised from here once the other waiting calls have run.
bool CheckSynchronize(DWORD Timeout = 0);

// Called (on the worker) each time a call is handed to the main thread, with the thread as sender:
// the application sets it to post a message to its window, so that its loop runs CheckSynchronize.
void SetWakeMainThread(TNotifyEvent Wake);
TNotifyEvent WakeMainThread();

// A worker thread. Construct through Create<T>(...) (or the class factory), whose AfterConstruction
// starts it unless CreateSuspended; free it with Free()/FreeAndNil/TOwned, which terminates the
// thread and waits for it while the derived class is still whole. With FreeOnTerminate the thread
// frees itself once Execute and OnTerminate are done; do not WaitFor or free such a thread.
class TThread : public TObject {
    DECLARE_CLASS(TThread, TObject)
public:
    explicit TThread(bool CreateSuspended);
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    ~TThread() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // Starts a thread created suspended; raises EThread for one already started.
    void Start();
    void Resume() { Start(); }
    bool Suspended() const { return !FStarted; }
    // false starts the thread; a started thread cannot be suspended safely (EThread).
    void SetSuspended(bool Value);
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    bool Finished() const { return FFinished; }
    // Waits for the end of Execute and OnTerminate and gives ReturnValue. On the main thread the
    // calls the worker hands over are served meanwhile. A thread never started raises EThread
    // (it would never end).
    int WaitFor();

    bool FreeOnTerminate() const { return FFreeOnTerminate; }
    void SetFreeOnTerminate(bool Value) { FFreeOnTerminate = Value; }
    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority Value);
    int ReturnValue() const { return FReturnValue; }
    void SetReturnValue(int Value) { FReturnValue = Value; }
    HANDLE Handle() const { return FHandle; }
    DWORD ThreadID() const { return FThreadID; }
    // The exception that left Execute, if any.
    std::exception_ptr FatalException() const { return FFatalException; }

    // Runs on the main thread after Execute, with the thread as sender.
    TNotifyEvent OnTerminate;

    // Runs Method on the main thread and waits for it (at once when called on the main thread).
    void Synchronize(const TThreadMethod& Method);
    void Synchronize(std::function<void()> Method);
    static void Synchronize(TThread* Thread, std::function<void()> Method);
    // Hands Method to the main thread without waiting (at once when called on the main thread).
    void Queue(const TThreadMethod& Method);
    void Queue(std::function<void()> Method);
    static void Queue(TThread* Thread, std::function<void()> Method);
    // Drops the calls this thread has queued and that have not run yet.
    static void RemoveQueuedEvents(TThread* Thread);

protected:
    virtual void Execute() = 0;
    // Runs OnTerminate through Synchronize.
    virtual void DoTerminate();

private:
    static unsigned __stdcall ThreadProc(void* Param);
    void StopAndWait();

    HANDLE FHandle = nullptr;
    DWORD FThreadID = 0;
    bool FCreateSuspended;
    std::atomic<bool> FStarted{false};
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    bool FFreeOnTerminate = false;
    int FReturnValue = 0;
    std::exception_ptr FFatalException;
};
