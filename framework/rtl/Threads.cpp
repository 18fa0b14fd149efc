#include "Threads.h"

#include <process.h>

#include <deque>
#include <mutex>

const DWORD MainThreadID = GetCurrentThreadId();

namespace {

const char* const SThreadCreateError = "Thread creation error: %s";
const char* const SThreadStartError = "Cannot call Start on a running or suspended thread";
const char* const SThreadSuspendError = "A running thread cannot be suspended";
const char* const SCheckSynchronizeError = "CheckSynchronize called from thread $%x, which is NOT the main thread";
const char* const SThreadError = "Thread Error: %s (%d)";
const char* const SThreadNotStarted = "Cannot wait for a thread that was never started";

// One call handed to the main thread. A synchronised one lives on the waiting worker's stack; a
// queued one on the heap, freed once it has run.
struct TSyncProc {
    TThread* Thread = nullptr;
    std::function<void()> Method;
    bool Queued = false;
    HANDLE Signal = nullptr;  // set when a synchronised call has run
    std::exception_ptr Exception;
};

struct TSyncState {
    std::mutex Lock;
    std::deque<TSyncProc*> List;
    HANDLE Event = CreateEventA(nullptr, TRUE, FALSE, nullptr);  // signalled while calls wait
    TNotifyEvent Wake;
};

TSyncState& Sync() {
    static TSyncState State;
    return State;
}

void CheckThreadError(bool Ok) {
    if (!Ok) {
        DWORD Code = GetLastError();
        throw EThread(SThreadError, {SysErrorMessage(Code), static_cast<LongInt>(Code)});
    }
}

// Hands a call to the main thread and tells it so.
void Post(TSyncProc* Proc) {
    TSyncState& S = Sync();
    TNotifyEvent Wake;
    {
        std::lock_guard<std::mutex> G(S.Lock);
        S.List.push_back(Proc);
        SetEvent(S.Event);
        Wake = S.Wake;
    }
    Wake(Proc->Thread);
}

void RunSynchronized(TThread* Thread, std::function<void()> Method) {
    if (GetCurrentThreadId() == MainThreadID) {
        Method();
        return;
    }
    TSyncProc Proc;
    Proc.Thread = Thread;
    Proc.Method = std::move(Method);
    Proc.Signal = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CheckThreadError(Proc.Signal != nullptr);
    Post(&Proc);
    WaitForSingleObject(Proc.Signal, INFINITE);
    CloseHandle(Proc.Signal);
    if (Proc.Exception)
        std::rethrow_exception(Proc.Exception);
}

void RunQueued(TThread* Thread, std::function<void()> Method) {
    if (GetCurrentThreadId() == MainThreadID) {
        Method();
        return;
    }
    auto* Proc = new TSyncProc;
    Proc->Thread = Thread;
    Proc->Method = std::move(Method);
    Proc->Queued = true;
    Post(Proc);
}

}  // namespace

bool CheckSynchronize(DWORD Timeout) {
    if (GetCurrentThreadId() != MainThreadID)
        throw EThread(SCheckSynchronizeError, {static_cast<std::uint32_t>(GetCurrentThreadId())});
    TSyncState& S = Sync();
    if (Timeout > 0)
        WaitForSingleObject(S.Event, Timeout);
    std::deque<TSyncProc*> Local;
    {
        std::lock_guard<std::mutex> G(S.Lock);
        ResetEvent(S.Event);
        Local.swap(S.List);
    }
    bool Ran = !Local.empty();
    std::exception_ptr QueuedError;
    for (TSyncProc* Proc : Local) {
        if (Proc->Queued) {
            try {
                Proc->Method();
            } catch (...) {
                if (!QueuedError)
                    QueuedError = std::current_exception();
            }
            delete Proc;
        } else {
            try {
                Proc->Method();
            } catch (...) {
                Proc->Exception = std::current_exception();
            }
            SetEvent(Proc->Signal);  // the worker owns Proc from here on
        }
    }
    if (QueuedError)
        std::rethrow_exception(QueuedError);
    return Ran;
}

void SetWakeMainThread(TNotifyEvent Wake) {
    std::lock_guard<std::mutex> G(Sync().Lock);
    Sync().Wake = std::move(Wake);
}

TNotifyEvent WakeMainThread() {
    std::lock_guard<std::mutex> G(Sync().Lock);
    return Sync().Wake;
}

// ---------------------------------------------------------------------------------------------
// TThread

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended) {
    unsigned Id = 0;
    FHandle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ThreadProc, this, CREATE_SUSPENDED, &Id));
    if (!FHandle)
        throw EThread(SThreadCreateError, {SysErrorMessage(GetLastError())});
    FThreadID = Id;
}

void TThread::AfterConstruction() {
    if (!FCreateSuspended)
        Start();
}

void TThread::Start() {
    if (FStarted.exchange(true))
        throw EThread(SThreadStartError);
    CheckThreadError(ResumeThread(FHandle) != DWORD(-1));
}

void TThread::SetSuspended(bool Value) {
    if (!Value) {
        if (!FStarted)
            Start();
    } else if (FStarted)
        throw EThread(SThreadSuspendError);
}

unsigned __stdcall TThread::ThreadProc(void* Param) {
    auto* Thread = static_cast<TThread*>(Param);
    if (!Thread->FTerminated) {
        try {
            Thread->Execute();
        } catch (...) {
            Thread->FFatalException = std::current_exception();
        }
    }
    bool FreeThread = Thread->FFreeOnTerminate;
    unsigned Result = static_cast<unsigned>(Thread->FReturnValue);
    try {
        Thread->DoTerminate();
    } catch (...) {
        // The end handler's error has nowhere else to go: keep it with the thread.
        if (!Thread->FFatalException)
            Thread->FFatalException = std::current_exception();
    }
    Thread->FFinished = true;
    SetEvent(Sync().Event);  // a WaitFor on the main thread looks again
    if (FreeThread)
        Thread->Free();
    return Result;
}

void TThread::DoTerminate() {
    if (OnTerminate)
        Synchronize(std::function<void()>([this] { OnTerminate(this); }));
}

int TThread::WaitFor() {
    if (!FStarted)
        throw EThread(SThreadNotStarted);
    HANDLE H[2] = {FHandle, Sync().Event};
    if (GetCurrentThreadId() == MainThreadID) {
        DWORD R = 0;
        do {
            // A worker blocked in SendMessage to this thread needs the sent message delivered.
            if (R == WAIT_OBJECT_0 + 2) {
                MSG Msg;
                PeekMessageA(&Msg, nullptr, 0, 0, PM_NOREMOVE);
            }
            R = MsgWaitForMultipleObjects(2, H, FALSE, 1000, QS_SENDMESSAGE);
            CheckThreadError(R != WAIT_FAILED);
            if (R == WAIT_OBJECT_0 + 1)
                CheckSynchronize();
        } while (R != WAIT_OBJECT_0);
    } else
        WaitForSingleObject(FHandle, INFINITE);
    DWORD Code = 0;
    CheckThreadError(GetExitCodeThread(FHandle, &Code) != 0);
    return static_cast<int>(Code);
}

void TThread::StopAndWait() {
    if (FFinished || !FHandle || GetCurrentThreadId() == FThreadID)
        return;
    Terminate();
    if (!FStarted) {
        // Never started: let it run to its end, which skips Execute.
        FStarted = true;
        ResumeThread(FHandle);
    }
    WaitFor();
}

void TThread::BeforeDestruction() {
    StopAndWait();
    TObject::BeforeDestruction();
}

TThread::~TThread() {
    StopAndWait();  // for an object freed without Free(): better late than never
    RemoveQueuedEvents(this);
    if (FHandle)
        CloseHandle(FHandle);
}

TThreadPriority TThread::Priority() const {
    switch (GetThreadPriority(FHandle)) {
    case THREAD_PRIORITY_IDLE:
        return tpIdle;
    case THREAD_PRIORITY_LOWEST:
        return tpLowest;
    case THREAD_PRIORITY_BELOW_NORMAL:
        return tpLower;
    case THREAD_PRIORITY_ABOVE_NORMAL:
        return tpHigher;
    case THREAD_PRIORITY_HIGHEST:
        return tpHighest;
    case THREAD_PRIORITY_TIME_CRITICAL:
        return tpTimeCritical;
    default:
        return tpNormal;
    }
}

void TThread::SetPriority(TThreadPriority Value) {
    static const int Priorities[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,  THREAD_PRIORITY_BELOW_NORMAL,
                                     THREAD_PRIORITY_NORMAL,       THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                     THREAD_PRIORITY_TIME_CRITICAL};
    CheckThreadError(SetThreadPriority(FHandle, Priorities[Value]) != 0);
}

void TThread::Synchronize(const TThreadMethod& Method) {
    RunSynchronized(this, [Method] { Method(); });
}

void TThread::Synchronize(std::function<void()> Method) { RunSynchronized(this, std::move(Method)); }

void TThread::Synchronize(TThread* Thread, std::function<void()> Method) { RunSynchronized(Thread, std::move(Method)); }

void TThread::Queue(const TThreadMethod& Method) {
    RunQueued(this, [Method] { Method(); });
}

void TThread::Queue(std::function<void()> Method) { RunQueued(this, std::move(Method)); }

void TThread::Queue(TThread* Thread, std::function<void()> Method) { RunQueued(Thread, std::move(Method)); }

void TThread::RemoveQueuedEvents(TThread* Thread) {
    TSyncState& S = Sync();
    std::lock_guard<std::mutex> G(S.Lock);
    for (auto It = S.List.begin(); It != S.List.end();) {
        if ((*It)->Queued && (*It)->Thread == Thread) {
            delete *It;
            It = S.List.erase(It);
        } else
            ++It;
    }
}
