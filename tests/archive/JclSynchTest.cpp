// Synchronisation wrappers, the shared-memory view registry and the message-handler table readers.
#include "ArchiveTestMain.h"
#include "Controls.h"
#include "JclSynch.h"
#include "JclSysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

std::string UniqueName(const char* Stem) { return Stem + std::to_string(GetCurrentProcessId()); }
}  // namespace

TEST(JclSynch, MutexWaitsAndNames) {
    const std::string Name = UniqueName("JclSynchTest_Mutex_");
    TJclMutex Mutex(nullptr, false, Name);
    EXPECT_FALSE(Mutex.Existed());
    EXPECT_EQ(Mutex.Name(), Name);
    EXPECT_EQ(Mutex.WaitSignal(0), SynchWaitResults::wrSignaled);
    EXPECT_TRUE(Mutex.ReleaseOwnership());
    EXPECT_FALSE(Mutex.ReleaseOwnership());  // not owned any more

    TJclWaitResult Other = SynchWaitResults::wrError;
    std::thread([&] {
        TJclMutex Same(nullptr, true, Name);  // an existing mutex ignores the initial owner
        EXPECT_TRUE(Same.Existed());
        EXPECT_EQ(Same.WaitSignal(0), SynchWaitResults::wrSignaled);
        std::thread([&] { Other = Mutex.WaitSignal(0); }).join();
        Same.ReleaseOwnership();
    }).join();
    EXPECT_EQ(Other, SynchWaitResults::wrTimeout);
}

TEST(JclSysUtils, SharedViewsAreCountedPerName) {
    const std::string Name = UniqueName("JclSynchTest_Shm_");
    void* P1 = nullptr;
    void* P2 = nullptr;
    EXPECT_EQ(SharedOpenOrCreate(Name, 4, FILE_MAP_ALL_ACCESS, P1), 0u);
    EXPECT_EQ(SharedOpenOrCreate(Name, 4, FILE_MAP_ALL_ACCESS, P2), 183u);
    ASSERT_NE(P1, nullptr);
    EXPECT_EQ(P1, P2);
    *static_cast<volatile std::uint32_t*>(P1) = 0xC0FFEE;

    void* Copy = P1;
    EXPECT_TRUE(SharedCloseView(P1));
    EXPECT_EQ(P1, nullptr);
    EXPECT_EQ(*static_cast<volatile std::uint32_t*>(Copy), 0xC0FFEEu);  // still mapped
    EXPECT_TRUE(SharedCloseView(P2));
    void* Stranger = &Copy;
    EXPECT_FALSE(SharedCloseView(Stranger));
    EXPECT_EQ(Stranger, static_cast<void*>(&Copy));

    void* None = nullptr;
    try {
        SharedOpenOrCreate(Name + "_missing", 0, FILE_MAP_ALL_ACCESS, None);
        ADD_FAILURE() << "nothing raised";
    } catch (const ESharedMemError& E) {
        EXPECT_EQ(E.Message(), "The MMF named \"" + Name + "_missing\" cannot be created empty");
    }
    EXPECT_EQ(None, nullptr);
}

TEST(JclSysUtils, MessageHandlerTableReaders) {
    EXPECT_EQ(DynamicMethodCount(TObject::StaticClass()), 0);
    TClass Class = TWinControl::StaticClass();
    const int Count = DynamicMethodCount(Class);
    ASSERT_GT(Count, 0);
    bool Found = false;
    for (int I = 0; I < Count; ++I)
        if (DynamicMethodIndexes(Class)[I] == WM_PRINTCLIENT) {
            Found = true;
            EXPECT_NE(DynamicMethodAddresses(Class)[I], nullptr);
        }
    EXPECT_TRUE(Found);
}

TEST(JclSysUtils, ZeroingModulesAndTheRegistryLock) {
    char Block[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ZeroMemoryBlock(Block, 5);
    EXPECT_EQ(std::string(Block, 8), std::string("\0\0\0\0\0\x06\x07\x08", 8));
    HMODULE Module = LoadLibraryA("version.dll");
    ASSERT_NE(Module, nullptr);
    ReleaseModule(Module);
    EXPECT_EQ(Module, nullptr);
    // The lock is the platform's critical section: the holder may take it again, and a view
    // operation on the same thread still goes through.
    TJclLockReference Lock = AcquireRegistryLock();
    ASSERT_NE(Lock.Get(), nullptr);
    void* P = nullptr;
    const std::string Name = UniqueName("JclSynchTest_Locked_");
    EXPECT_EQ(SharedOpenOrCreate(Name, 16, FILE_MAP_ALL_ACCESS, P), 0u);
    EXPECT_TRUE(SharedCloseView(P));
}
