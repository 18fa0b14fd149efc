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
    // Makes files in Folder until the handler has run Count times in all: the worker may not watch
    // yet when the first file comes.
    bool ChangeUntilCalled(const TempDir& Folder, int Count) {
        int Made = 0;
        return PumpUntil(
            [&] {
                CheckSynchronize();
                if (Calls >= Count)
                    return true;
                WriteFileText(Folder / ("file" + IntToStr(++Made) + ".txt"), "x");
                return false;
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
    ASSERT_TRUE(ChangeUntilCalled(Dir, 1));

    // Moved to another folder: its changes are reported there.
    Notifier->SetRoot(Other.Path());
    EXPECT_TRUE(ChangeUntilCalled(Other, Calls + 1));
}

TEST_F(acShellCtrlsNotifyTest, AClearedHandlerKeepsTheWorkerAndCallsNothing) {
    Notifier->SetRoot(Dir.Path());
    Notifier->SetOnChange(Counter());
    TacShellChangeThread* Worker = Notifier->Thread();
    ASSERT_NE(Worker, nullptr);
    ASSERT_TRUE(ChangeUntilCalled(Dir, 1));
    Notifier->SetOnChange(TThreadMethod());
    int Before = Calls;
    EXPECT_EQ(Notifier->Thread(), Worker);
    WriteFileText(Dir / "cleared.txt", "1");
    // A marker handler set afterwards shows that the worker still runs.
    bool Marker = false;
    Notifier->SetOnChange(TThreadMethod::FromFunction([&] { Marker = true; }));
    EXPECT_EQ(Notifier->Thread(), Worker);
    int Made = 0;
    EXPECT_TRUE(PumpUntil(
        [&] {
            CheckSynchronize();
            if (!Marker)
                WriteFileText(Dir / ("marker" + IntToStr(++Made) + ".txt"), "x");
            return Marker;
        },
        10000));
    EXPECT_EQ(Calls, Before);
}

TEST_F(acShellCtrlsNotifyTest, FreeingWhileAChangeIsPendingCallsNoHandler) {
    Notifier->SetRoot(Dir.Path());
    Notifier->SetOnChange(Counter());
    ASSERT_TRUE(ChangeUntilCalled(Dir, 1));
    int Before = Calls;
    WriteFileText(Dir / "pending.txt", "1");
    // The worker now hands the change over (or is about to): the main thread does not serve it.
    Sleep(200);
    FreeAndNil(Notifier);
    PumpUntil(
        [&] {
            CheckSynchronize();
            return false;
        },
        100);
    EXPECT_EQ(Calls, Before);
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
