// The component set's start-up and shut-down: classes for form streaming, "TaskbarCreated", the
// instance mutex given up by its owner.
#include "abfTestSupport.h"

#include <thread>

using namespace abftests;

namespace {

TEST(abfComponentsStartup, RegistersTheSetsClassesForFormStreaming) {
    const char* Names[] = {"TabfComponent", "TabfCustomThreadComponent", "TabfCustomTimer", "TabfCustomThreadTimer",
                           "TabfCustomWndProcHook", "TabfCustomFileStorage", "TabfAutoRun", "TabfOneInstance",
                           "TabfShutdown", "TabfTrayIcon", "TabfWndProcHook", "TabfFileStorage", "TabfWav",
                           "TabfThreadComponent", "TabfThreadTimer", "TabfFileOperation", "TabfFileAssociation",
                           "TabfCustomFolderMonitor", "TabfFolderMonitor", "TabfCustomRegistryMonitor",
                           "TabfRegistryMonitor", "TabfStartButtonProperties", "TabfColorPicker"};
    for (const char* Name : Names) {
        TClass C = GetClass(Name);
        ASSERT_NE(C, nullptr) << Name;
        EXPECT_EQ(C->ClassName(), Name);
    }
    // Running the start-up again (another unit registered them first) raises nothing.
    EXPECT_NO_THROW(abfComponentsInitialization());
}

TEST(abfComponentsStartup, TaskbarCreatedIsTheSystemsNumber) {
    EXPECT_NE(WM_TASKBARCREATED, 0u);
    EXPECT_EQ(WM_TASKBARCREATED, RegisterWindowMessageA("TaskbarCreated"));
}

TEST(abfComponentsStartup, ShutDownGivesUpTheInstanceMutexAndARefusedCopysReleaseIsHarmless) {
    std::string Name = "quarnel startup test " + std::to_string(GetCurrentProcessId()) + ".OneInstance.Default";
    abfOneInstanceMutex = CreateMutexA(nullptr, TRUE, Name.c_str());
    ASSERT_NE(abfOneInstanceMutex, nullptr);
    abfComponentsFinalization();
    EXPECT_EQ(abfOneInstanceMutex, nullptr);
    HANDLE Probe = OpenMutexA(SYNCHRONIZE, FALSE, Name.c_str());
    EXPECT_EQ(Probe, nullptr) << "released and closed";
    if (Probe)
        CloseHandle(Probe);

    // A copy that does not own the mutex (another thread of ours holds it here) releases it in vain.
    HANDLE Owner = CreateMutexA(nullptr, FALSE, Name.c_str());
    std::thread([&] { WaitForSingleObject(Owner, INFINITE); }).join();
    abfOneInstanceMutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, Name.c_str());
    EXPECT_NO_THROW(abfComponentsFinalization());
    EXPECT_EQ(abfOneInstanceMutex, nullptr);
    CloseHandle(Owner);
    abfComponentsInitialization();
}

TEST(abfComponentsStartup, ShutDownFreesAHookListLeftBehind) {
    abfWndProcHookList = Create<TabfWndProcHookList>();
    abfComponentsFinalization();
    EXPECT_EQ(abfWndProcHookList, nullptr);
    abfComponentsInitialization();
}

}  // namespace
