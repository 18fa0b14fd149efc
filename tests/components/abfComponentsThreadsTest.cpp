// Thread components: the handler on its worker or on the main thread, starting after loading,
// running again on Execute, errors reported on the main thread, and the thread timer.
#include "abfTestSupport.h"

#include <atomic>

using namespace abftests;

namespace {

TEST(abfComponentsThreads, StoredSuspendedFalseStartsTheThreadWhenLoaded) {
    std::atomic<int> Runs{0};
    std::atomic<DWORD> RanOn{0};
    TOwned<TabfThreadComponent> C(Create<TabfThreadComponent>(nullptr));
    C->OnExecute = TNotifyEvent::FromFunction([&](TObject*) {
        RanOn = GetCurrentThreadId();
        ++Runs;
    });
    EXPECT_TRUE(C->Suspended());
    C->IncludeState(csLoading);
    C->SetSuspended(false);  // as read from the form: stored, not applied yet
    Pump(100);
    EXPECT_EQ(Runs, 0);
    C->Loaded();
    ASSERT_TRUE(PumpUntil([&] { return Runs == 1; }));
    EXPECT_NE(RanOn, GetCurrentThreadId()) << "on the worker";
}

TEST(abfComponentsThreads, SuspendedRunsNothingUntilExecuteRunsItAgainOnAFreshThread) {
    std::atomic<int> Runs{0};
    TOwned<TabfThreadComponent> C(Create<TabfThreadComponent>(nullptr));
    C->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++Runs; });
    C->IncludeState(csLoading);
    C->SetSynchronized(true);
    C->Loaded();
    Pump(100);
    EXPECT_EQ(Runs, 0);
    TabfEventThread* First = C->Thread();
    C->Execute();
    ASSERT_TRUE(PumpUntil([&] { return Runs == 1; }));
    EXPECT_NE(C->Thread(), First);
    EXPECT_TRUE(C->Synchronized()) << "kept by the new thread";
    C->Execute();
    ASSERT_TRUE(PumpUntil([&] { return Runs == 2; }));
}

TEST(abfComponentsThreads, SynchronizedHandlerRunsOnTheMainThread) {
    DWORD RanOn = 0;
    TOwned<TabfThreadComponent> C(Create<TabfThreadComponent>(nullptr));
    C->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { RanOn = GetCurrentThreadId(); });
    C->SetSynchronized(true);
    C->SetSuspended(false);
    ASSERT_TRUE(PumpUntil([&] { return RanOn != 0; }));
    EXPECT_EQ(RanOn, GetCurrentThreadId());
}

TEST(abfComponentsThreads, AnErrorWithoutHandlerShowsTheThreadsBox) {
    TBoxRecorderScope Boxes;
    TOwned<TabfThreadComponent> C(Create<TabfThreadComponent>(nullptr));
    C->SetName("Worker1");
    C->OnExecute = TNotifyEvent::FromFunction([](TObject*) { throw EConvertError("bad value"); });
    C->SetSuspended(false);
    ASSERT_TRUE(PumpUntil([&] { return !Boxes.Recorder.Boxes.empty(); }));
    EXPECT_EQ(Boxes.Recorder.Boxes[0].Text, "Thread Worker1 raised exception class EConvertError with message \"bad value\".");
    EXPECT_EQ(Boxes.Recorder.Boxes[0].Caption, Application->Title());
    EXPECT_EQ(Boxes.Recorder.Boxes[0].Flags, UINT(MB_ICONHAND | MB_SETFOREGROUND));
}

TEST(abfComponentsThreads, AnErrorGoesToOnExceptionOnTheMainThread) {
    std::string Seen;
    DWORD RanOn = 0;
    TOwned<TabfThreadComponent> C(Create<TabfThreadComponent>(nullptr));
    C->OnExecute = TNotifyEvent::FromFunction([](TObject*) { throw Exception("failed"); });
    C->OnException = TNotifyEvent::FromFunction([&](TObject* E) {
        Seen = static_cast<Exception*>(E)->Message();
        RanOn = GetCurrentThreadId();
    });
    C->SetSuspended(false);
    ASSERT_TRUE(PumpUntil([&] { return !Seen.empty(); }));
    EXPECT_EQ(Seen, "failed");
    EXPECT_EQ(RanOn, GetCurrentThreadId());
}

TEST(abfComponentsThreads, ASecondSynchronizeExWhileOneIsPendingIsIgnored) {
    TOwned<TabfThreadComponent> C(Create<TabfThreadComponent>(nullptr));
    std::vector<int> Calls;
    TabfThreadMethodEx Inner = TabfThreadMethodEx::FromFunction([&](void*) { Calls.push_back(2); });
    TabfThreadMethodEx Outer = TabfThreadMethodEx::FromFunction([&](void*) {
        Calls.push_back(1);
        C->SynchronizeEx(nullptr, Inner);
    });
    C->SynchronizeEx(nullptr, Outer);
    C->SynchronizeEx(nullptr, Inner);
    EXPECT_EQ(Calls, (std::vector<int>{1, 2})) << "only the one issued after the first ended ran";
}

TEST(abfComponentsThreads, TimerTicksWhileEnabledAndTakesANewIntervalAtOnce) {
    std::atomic<int> Ticks{0};
    TOwned<TabfThreadTimer> T(Create<TabfThreadTimer>(nullptr));
    EXPECT_FALSE(T->Enabled());
    EXPECT_EQ(T->Interval(), 1000u);
    T->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++Ticks; });
    T->SetInterval(60000);
    T->SetEnabled(true);
    Pump(100);
    EXPECT_EQ(Ticks, 0) << "still in the long wait";
    T->SetInterval(20);  // ends that wait: the next tick comes about 20 ms later
    ASSERT_TRUE(PumpUntil([&] { return Ticks >= 3; }, 3000));
    T->SetEnabled(false);
    EXPECT_FALSE(T->Enabled());
    Pump(50);
    int Paused = Ticks;
    Pump(200);
    EXPECT_EQ(Ticks, Paused) << "no tick while paused";
    T->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return Ticks > Paused; }, 3000));
}

}  // namespace
