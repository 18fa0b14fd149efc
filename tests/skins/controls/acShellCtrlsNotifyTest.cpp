// The shell change notifier: its worker exists only with a handler, reports changes of the watched
// folder in the main thread, follows new options and calls nothing once it is being freed.
#include "../engine/SkinTestSupport.h"

#include "TestSupport.h"
#include "acShellCtrlsNotify.h"

using namespace skintests;
using testing_support::PumpUntil;
using testing_support::TempDir;
using testing_support::WriteFileText;

namespace {

class acShellCtrlsNotifyTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureSkinUnits();
        acShellCtrlsInitialization();
        Notifier = Create<TacShellChangeNotifier>(nullptr);
    }
    void TearDown() override {
        FreeAndNil(Notifier);
        acShellCtrlsFinalization();
    }
    TThreadMethod Counter() {
        return TThreadMethod::FromFunction([this] {
            EXPECT_EQ(GetCurrentThreadId(), MainThreadID) << "handlers run in the main thread";
            ++Calls;
        });
    }
    bool WaitForCalls(int Count) {
        return PumpUntil(
            [&] {
                CheckSynchronize();
                return Calls >= Count;
            },
            10000);
    }

    TacShellChangeNotifier* Notifier = nullptr;
    int Calls = 0;
    TempDir Dir;
};

TEST_F(acShellCtrlsNotifyTest, DefaultsAndFilterFlags) {
    EXPECT_EQ(Notifier->Root(), "C:\\");
    EXPECT_TRUE(Notifier->WatchSubTree());
    EXPECT_EQ(Notifier->NotifyFilters(), (TacNotifyFilters{nfFileNameChange, nfDirNameChange}));
    Notifier->SetRoot(Dir.Path());
    Notifier->SetWatchSubTree(false);
    EXPECT_EQ(Notifier->Thread(), nullptr) << "options alone start no worker";

    EXPECT_EQ(NotifyFiltersToFlags({nfFileNameChange, nfDirNameChange}), 3u);
    EXPECT_EQ(NotifyFiltersToFlags({nfAttributeChange}), static_cast<DWORD>(FILE_NOTIFY_CHANGE_ATTRIBUTES));
    EXPECT_EQ(NotifyFiltersToFlags({nfSizeChange, nfWriteChange}), 0x18u);
    EXPECT_EQ(NotifyFiltersToFlags({nfSecurityChange}), 0x100u);
    EXPECT_EQ(NotifyFiltersToFlags({}), 0u);
}

TEST_F(acShellCtrlsNotifyTest, ChangesOfTheWatchedFolderReachTheHandler) {
    TempDir Other;
    Notifier->SetRoot(Dir.Path());
    Notifier->SetWatchSubTree(false);
    Notifier->SetOnChange(Counter());
    ASSERT_NE(Notifier->Thread(), nullptr);
    WriteFileText(Dir / "one.txt", "1");
    ASSERT_TRUE(WaitForCalls(1));

    // Moved to another folder: its changes are reported there.
    Notifier->SetRoot(Other.Path());
    int Before = Calls;
    WriteFileText(Other / "two.txt", "2");
    EXPECT_TRUE(WaitForCalls(Before + 1));
}

TEST_F(acShellCtrlsNotifyTest, AClearedHandlerKeepsTheWorkerAndCallsNothing) {
    Notifier->SetRoot(Dir.Path());
    Notifier->SetOnChange(Counter());
    TacShellChangeThread* Worker = Notifier->Thread();
    ASSERT_NE(Worker, nullptr);
    Notifier->SetOnChange(TThreadMethod());
    EXPECT_EQ(Notifier->Thread(), Worker);
    WriteFileText(Dir / "one.txt", "1");
    // A marker handler set afterwards shows that the change was handed over and ran nothing.
    bool Marker = false;
    Notifier->SetOnChange(TThreadMethod::FromFunction([&] { Marker = true; }));
    EXPECT_EQ(Notifier->Thread(), Worker);
    WriteFileText(Dir / "two.txt", "2");
    PumpUntil(
        [&] {
            CheckSynchronize();
            return Marker;
        },
        10000);
    EXPECT_TRUE(Marker);
    EXPECT_EQ(Calls, 0);
}

TEST_F(acShellCtrlsNotifyTest, FreeingWhileAChangeIsPendingCallsNoHandler) {
    Notifier->SetRoot(Dir.Path());
    Notifier->SetOnChange(Counter());
    WriteFileText(Dir / "one.txt", "1");
    // The worker is now waiting in its hand-over (or about to): the main thread does not serve it.
    Sleep(200);
    FreeAndNil(Notifier);
    PumpUntil(
        [&] {
            CheckSynchronize();
            return false;
        },
        100);
    EXPECT_EQ(Calls, 0);
}

TEST_F(acShellCtrlsNotifyTest, AFolderThatCannotBeWatchedEndsTheWorkerQuietly) {
    Notifier->SetRoot(Dir / "missing");
    Notifier->SetOnChange(Counter());
    TacShellChangeThread* Worker = Notifier->Thread();
    ASSERT_NE(Worker, nullptr);
    Worker->WaitFor();
    EXPECT_FALSE(Worker->Active());
    EXPECT_EQ(Notifier->Thread(), Worker) << "kept until the notifier goes";
}

}  // namespace
