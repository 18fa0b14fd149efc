// Threads: Synchronize onto the main thread while WaitFor waits, exceptions across threads, the
// end handler, self-freeing threads, queued calls, the wake-up hook; events and critical sections.
#include "SyncObjs.h"
#include "Threads.h"

#include <gtest/gtest.h>

#include <thread>

namespace {
// Runs a function as its Execute.
class TFnThread : public TThread {
public:
    TFnThread(bool Suspended, std::function<void(TFnThread&)> Body) : TThread(Suspended), FBody(std::move(Body)) {}
    using TThread::Synchronize;
    std::function<void(TFnThread&)> FBody;
    std::function<void()> OnDestroy;
    ~TFnThread() override {
        if (OnDestroy)
            OnDestroy();
    }

protected:
    void Execute() override { FBody(*this); }
};

TOwned<TFnThread> Start(std::function<void(TFnThread&)> Body, bool Suspended = false) {
    return TOwned<TFnThread>(Create<TFnThread>(Suspended, std::move(Body)));
}
}  // namespace

TEST(Thread, SynchronizeRunsOnTheMainThreadWhileWaitForWaits) {
    std::vector<DWORD> Callers;
    std::string Log;
    auto T = Start([&](TFnThread& Self) {
        for (int I = 0; I < 3; ++I)
            Self.Synchronize([&] {
                Callers.push_back(GetCurrentThreadId());
                Log += 's';
            });
        Self.SetReturnValue(42);
    });
    T->OnTerminate = TNotifyEvent::FromFunction([&](TObject* Sender) {
        EXPECT_EQ(Sender, T.get());
        EXPECT_EQ(GetCurrentThreadId(), MainThreadID);
        Log += 't';
    });
    EXPECT_EQ(T->WaitFor(), 42);
    EXPECT_EQ(Log, "ssst") << "OnTerminate after Execute";
    ASSERT_EQ(Callers.size(), 3u);
    for (DWORD Id : Callers)
        EXPECT_EQ(Id, MainThreadID);
    EXPECT_TRUE(T->Finished());
    EXPECT_FALSE(T->FatalException());
}

TEST(Thread, ExceptionsOfSynchronizedCallsReachTheWorker) {
    std::string Caught;
    auto T = Start([&](TFnThread& Self) {
        try {
            Self.Synchronize([] { throw EConvertError("main thread failed"); });
        } catch (const EConvertError& E) {
            Caught = E.Message() + " in " + (GetCurrentThreadId() == MainThreadID ? "main" : "worker");
        }
        throw EListError("left Execute");
    });
    T->WaitFor();
    EXPECT_EQ(Caught, "main thread failed in worker");
    ASSERT_TRUE(T->FatalException());
    try {
        std::rethrow_exception(T->FatalException());
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "left Execute");
    }
}

TEST(Thread, SuspendedThreadsStartOnceAndTerminatedOnesSkipExecute) {
    std::atomic<int> Runs{0};
    auto T = Start([&](TFnThread&) { ++Runs; }, true);
    EXPECT_TRUE(T->Suspended());
    EXPECT_THROW(T->WaitFor(), EThread) << "it would never end";
    T->Start();
    EXPECT_THROW(T->Start(), EThread);
    T->WaitFor();
    EXPECT_EQ(Runs, 1);
    EXPECT_THROW(T->SetSuspended(true), EThread);

    auto Skipped = Start([&](TFnThread&) { ++Runs; }, true);
    bool Ended = false;
    Skipped->OnTerminate = TNotifyEvent::FromFunction([&](TObject*) { Ended = true; });
    Skipped->Terminate();
    Skipped->SetSuspended(false);
    Skipped->WaitFor();
    EXPECT_EQ(Runs, 1) << "Execute is skipped";
    EXPECT_TRUE(Ended);
}

TEST(Thread, FreeingARunningThreadTerminatesAndWaits) {
    std::atomic<bool> Stopped{false};
    {
        auto T = Start([&](TFnThread& Self) {
            while (!Self.Terminated())
                Sleep(1);
            Stopped = true;
        });
        Sleep(20);
    }
    EXPECT_TRUE(Stopped);
    TFnThread* Never = Create<TFnThread>(true, [](TFnThread&) { FAIL() << "never started, never run"; });
    Never->Free();
}

TEST(Thread, FreeOnTerminateFreesItselfAfterTheEndHandler) {
    std::atomic<bool> Freed{false};
    std::string Log;
    auto* T = Create<TFnThread>(true, [&](TFnThread& Self) { Self.Synchronize([&] { Log += 'e'; }); });
    T->SetFreeOnTerminate(true);
    T->OnTerminate = TNotifyEvent::FromFunction([&](TObject*) { Log += 't'; });
    T->OnDestroy = [&] { Freed = true; };
    T->Start();
    DWORD Begin = GetTickCount();
    while (!Freed && GetTickCount() - Begin < 10000)
        CheckSynchronize(50);
    EXPECT_TRUE(Freed);
    EXPECT_EQ(Log, "et");
}

TEST(Thread, QueuedCallsRunLaterInOrderAndTheirErrorsComeOut) {
    std::string Log;
    TSimpleEvent Queued;
    auto T = Start([&](TFnThread& Self) {
        Self.Queue(std::function<void()>([&] { Log += '1'; }));
        Self.Queue(std::function<void()>([] { throw EConvertError("queued failure"); }));
        Self.Queue(std::function<void()>([&] { Log += '2'; }));
        Queued.SetEvent();
    });
    ASSERT_EQ(Queued.WaitFor(10000), wrSignaled);
    EXPECT_EQ(Log, "") << "nothing runs until the main thread looks";
    try {
        CheckSynchronize();
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "queued failure");
    }
    EXPECT_EQ(Log, "12") << "the other calls ran first";
    T->WaitFor();
    EXPECT_FALSE(CheckSynchronize());
}

TEST(Thread, WakeMainThreadHookAndCheckSynchronizeOffTheMainThread) {
    std::atomic<int> Wakes{0};
    TObject* WokenBy = nullptr;
    SetWakeMainThread(TNotifyEvent::FromFunction([&](TObject* Sender) {
        ++Wakes;
        WokenBy = Sender;
    }));
    auto T = Start([](TFnThread& Self) { Self.Synchronize([] {}); });
    T->WaitFor();
    SetWakeMainThread(nullptr);
    EXPECT_EQ(Wakes, 1);
    EXPECT_EQ(WokenBy, T.get());

    std::string Message;
    std::thread Other([&] {
        try {
            CheckSynchronize();
        } catch (const EThread& E) {
            Message = E.Message();
        }
    });
    Other.join();
    EXPECT_NE(Message.find("NOT the main thread"), std::string::npos) << Message;
    bool Direct = false;
    TThread::Synchronize(nullptr, [&] { Direct = true; });
    EXPECT_TRUE(Direct) << "on the main thread a call runs at once";
}

TEST(Thread, PriorityAndIdentity) {
    TSimpleEvent Go;
    auto T = Start([&](TFnThread&) { Go.WaitFor(10000); }, true);
    T->SetPriority(tpLower);
    EXPECT_EQ(T->Priority(), tpLower);
    T->SetPriority(tpTimeCritical);
    EXPECT_EQ(T->Priority(), tpTimeCritical);
    EXPECT_NE(T->Handle(), nullptr);
    EXPECT_NE(T->ThreadID(), MainThreadID);
    T->Start();
    Go.SetEvent();
    T->WaitFor();
}

TEST(SyncObjs, EventsSignalTimeOutAndReset) {
    TEvent Manual(nullptr, true, false, "");
    EXPECT_EQ(Manual.WaitFor(0), wrTimeout);
    Manual.SetEvent();
    EXPECT_EQ(Manual.WaitFor(0), wrSignaled);
    EXPECT_EQ(Manual.WaitFor(0), wrSignaled) << "manual reset stays signalled";
    Manual.ResetEvent();
    EXPECT_EQ(Manual.WaitFor(10), wrTimeout);

    TEvent Auto(nullptr, false, true, "");
    EXPECT_EQ(Auto.WaitFor(0), wrSignaled);
    EXPECT_EQ(Auto.WaitFor(0), wrTimeout) << "auto reset after one wait";

    TSimpleEvent Simple;
    std::thread Setter([&] { Simple.SetEvent(); });
    EXPECT_EQ(Simple.WaitFor(10000), wrSignaled);
    Setter.join();

    std::string Name = "Quarnel h2 event " + std::to_string(GetCurrentProcessId());
    TEvent Named(nullptr, true, false, Name);
    TEvent Same(nullptr, true, false, Name);
    Named.SetEvent();
    EXPECT_EQ(Same.WaitFor(0), wrSignaled) << "one system event under one name";
}

TEST(SyncObjs, CriticalSectionIsRecursiveAndExclusive) {
    TCriticalSection CS;
    CS.Enter();
    CS.Enter();
    std::atomic<bool> OtherGot{true};
    std::thread Probe([&] {
        OtherGot = CS.TryEnter();
        if (OtherGot)
            CS.Leave();
    });
    Probe.join();
    EXPECT_FALSE(OtherGot) << "held by this thread";
    CS.Leave();
    CS.Leave();

    int Counter = 0;
    std::vector<std::thread> Threads;
    for (int T = 0; T < 4; ++T)
        Threads.emplace_back([&] {
            for (int I = 0; I < 10000; ++I) {
                CS.Acquire();
                ++Counter;
                CS.Release();
            }
        });
    for (auto& T : Threads)
        T.join();
    EXPECT_EQ(Counter, 40000);
}

// Thread components publish a priority: its names stream both ways.
TEST(Thread, PriorityHasTypeInformation) {
    PTypeInfo T = TypeInfoFor<TThreadPriority>();
    ASSERT_EQ(T->Kind, tkEnumeration);
    EXPECT_EQ(GetEnumName(T, tpIdle), "tpIdle");
    EXPECT_EQ(GetEnumName(T, tpTimeCritical), "tpTimeCritical");
    EXPECT_EQ(GetEnumValue(T, "TPHIGHER"), tpHigher);
}
