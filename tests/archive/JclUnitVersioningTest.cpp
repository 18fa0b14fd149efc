// The registry of unit version banners, shared through a named mutex and a named block.
#include "ArchiveTestMain.h"
#include "JclUnitVersioning.h"

#include <gtest/gtest.h>

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

const TUnitVersionInfo BannerA{"$URL: archive/A $", "$Revision: 1 $", "$Date: 2026-01-01 $", "source\\common", "",
                               nullptr};
const TUnitVersionInfo BannerB{"$URL: archive/B $", "$Revision: 2 $", "$Date: 2026-01-01 $", "source\\windows", "",
                               nullptr};

HINSTANCE FakeInstance(int N) { return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(0x10000 * N)); }
}  // namespace

// One test, run in order: the shut-down at its end is for the rest of the process.
TEST(JclUnitVersioning, SharedRegistryBannersAndShutDown) {
    RegisterUnitBanner(FakeInstance(1), BannerA);
    TUnitVersioning* R = GetUnitVersioning();
    ASSERT_NE(R, nullptr);

    HANDLE Mutex = OpenMutexA(SYNCHRONIZE, FALSE, UnitVersioningMutexName().c_str());
    EXPECT_NE(Mutex, nullptr);
    HANDLE Block = OpenFileMappingA(FILE_MAP_READ, FALSE, UnitVersioningSharedName().c_str());
    ASSERT_NE(Block, nullptr);
    void* View = MapViewOfFile(Block, FILE_MAP_READ, 0, 0, sizeof(void*));
    ASSERT_NE(View, nullptr);
    EXPECT_EQ(*static_cast<TUnitVersioning* const*>(View), R);

    RegisterUnitBanner(FakeInstance(1), BannerA);
    RegisterUnitBanner(FakeInstance(1), BannerB);
    RegisterUnitBanner(FakeInstance(2), BannerA);
    ASSERT_EQ(R->ModuleCount(), 2);
    EXPECT_EQ(R->Modules(0)->Count(), 2);  // the same record twice is kept once
    EXPECT_EQ(R->Modules(0)->IndexOfInfo(&BannerB), 1);
    UnregisterUnitBanners(FakeInstance(3));
    EXPECT_EQ(R->ModuleCount(), 2);
    UnregisterUnitBanners(FakeInstance(1));
    ASSERT_EQ(R->ModuleCount(), 1);
    EXPECT_EQ(R->Modules(0)->Instance(), FakeInstance(2));

    JclUnitVersioningFinalization();
    EXPECT_EQ(*static_cast<TUnitVersioning* const*>(View), nullptr);
    UnmapViewOfFile(View);
    CloseHandle(Block);
    CloseHandle(Mutex);
    EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, UnitVersioningMutexName().c_str()), nullptr);
    RegisterUnitBanner(FakeInstance(1), BannerA);
    EXPECT_EQ(GetUnitVersioning(), nullptr);
    EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, UnitVersioningMutexName().c_str()), nullptr);  // none made again
}
