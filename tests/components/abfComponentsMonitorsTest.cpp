// Folder and registry monitors: changes reported on the main thread, a key deleted and created
// again, a new folder, and the cases that start no worker.
#include "abfTestSupport.h"

#include "TestSupport.h"

using namespace abftests;
using testing_support::TempDir;

namespace {

struct TChangeCounter {
    int Count = 0;
    DWORD Thread = 0;
    TThreadMethod Method() {
        return TThreadMethod::FromFunction([this] {
            ++Count;
            Thread = GetCurrentThreadId();
        });
    }
};

TEST(abfComponentsFolderMonitor, ReportsAChangeOnTheMainThread) {
    TempDir Dir;
    TChangeCounter Changes;
    TOwned<TabfFolderMonitor> M(Create<TabfFolderMonitor>(nullptr));
    EXPECT_EQ(M->Folder(), "C:\\");
    EXPECT_TRUE(M->WatchSubTree());
    M->SetFolder(Dir.Path());
    M->SetOnChange(Changes.Method());
    M->SetActive(true);
    ASSERT_NE(M->Worker(), nullptr);
    Pump(100);
    testing_support::WriteFileText(Dir / "new.txt", "x");
    ASSERT_TRUE(PumpUntil([&] { return Changes.Count > 0; }));
    EXPECT_EQ(Changes.Thread, GetCurrentThreadId());
    M->SetActive(false);
    EXPECT_EQ(M->Worker(), nullptr);
    int Before = Changes.Count;
    testing_support::WriteFileText(Dir / "later.txt", "x");
    Pump(300);
    EXPECT_EQ(Changes.Count, Before) << "nothing after stopping";
}

TEST(abfComponentsFolderMonitor, ChangingTheFolderMovesTheWorker) {
    TempDir First, Second;
    TChangeCounter Changes;
    TOwned<TabfFolderMonitor> M(Create<TabfFolderMonitor>(nullptr));
    M->SetFolder(First.Path());
    M->SetOnChange(Changes.Method());
    M->SetActive(true);
    M->SetFolder(Second.Path());
    ASSERT_NE(M->Worker(), nullptr);
    Pump(100);
    testing_support::WriteFileText(First / "x.txt", "x");
    Pump(300);
    EXPECT_EQ(Changes.Count, 0) << "the old folder is no longer watched";
    testing_support::WriteFileText(Second / "y.txt", "y");
    EXPECT_TRUE(PumpUntil([&] { return Changes.Count > 0; }));
}

TEST(abfComponentsFolderMonitor, NoWorkerWithoutHandlerAndNoChangesForAMissingFolder) {
    TempDir Dir;
    TOwned<TabfFolderMonitor> M(Create<TabfFolderMonitor>(nullptr));
    M->SetFolder(Dir.Path());
    M->SetActive(true);
    EXPECT_EQ(M->Worker(), nullptr);
    TChangeCounter Changes;
    M->SetFolder(Dir / "missing");
    M->SetOnChange(Changes.Method());
    ASSERT_NE(M->Worker(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return M->Worker()->Finished(); })) << "the worker ends at once";
    EXPECT_EQ(Changes.Count, 0);
}

class abfComponentsRegistryMonitor : public ::testing::Test {
protected:
    const char* Key = "Software\\quarnel registry monitor test";
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, Key); }
    void CreateKey() {
        HKEY K = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &K, nullptr);
        RegCloseKey(K);
    }
    void SetValue(DWORD V) {
        HKEY K = nullptr;
        RegOpenKeyExA(HKEY_CURRENT_USER, Key, 0, KEY_ALL_ACCESS, &K);
        RegSetValueExA(K, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&V), sizeof V);
        RegCloseKey(K);
    }
};

TEST_F(abfComponentsRegistryMonitor, ValueChangeDeletionAndCreationAreReported) {
    CreateKey();
    TChangeCounter Changes;
    TOwned<TabfRegistryMonitor> M(Create<TabfRegistryMonitor>(nullptr));
    EXPECT_EQ(M->RootKey(), rrkCurrentUser);
    M->SetRegistryKey(Key);
    M->SetOnChange(Changes.Method());
    M->SetActive(true);
    Pump(200);
    SetValue(1);
    ASSERT_TRUE(PumpUntil([&] { return Changes.Count >= 1; }));
    Pump(200);
    int AfterValue = Changes.Count;

    RegDeleteKeyA(HKEY_CURRENT_USER, Key);
    ASSERT_TRUE(PumpUntil([&] { return Changes.Count > AfterValue; }));
    Pump(300);
    EXPECT_EQ(Changes.Count, AfterValue + 1) << "a deletion is reported once";

    CreateKey();
    ASSERT_TRUE(PumpUntil([&] { return Changes.Count > AfterValue + 1; }));
    Pump(300);
    int AfterCreation = Changes.Count;
    EXPECT_EQ(AfterCreation, AfterValue + 2) << "so is the creation";
    SetValue(2);
    EXPECT_TRUE(PumpUntil([&] { return Changes.Count > AfterCreation; })) << "the new key is watched";
}

TEST(abfComponentsMonitorFilters, FiltersMapToTheSystemsFlags) {
    EXPECT_EQ(FolderMonitorFilterFlags({fmfFileNameChange, fmfDirNameChange}), DWORD(0x3));
    EXPECT_EQ(FolderMonitorFilterFlags({fmfAttributeChange, fmfSizeChange, fmfWriteChange, fmfSecurityChange}),
              DWORD(0x4 | 0x8 | 0x10 | 0x100));
    EXPECT_EQ(RegistryMonitorFilterFlags({rmfSubTreeChange, rmfValueChange}), DWORD(0x1 | 0x4));
    EXPECT_EQ(RegistryMonitorFilterFlags({rmfAttributeChange, rmfSecurityChange}), DWORD(0x2 | 0x8));
}

}  // namespace
