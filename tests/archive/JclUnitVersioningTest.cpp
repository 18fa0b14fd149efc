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
    auto ModuleOf = [&](HINSTANCE Instance) -> TUnitVersioningModule* {
        for (int I = 0; I < R->ModuleCount(); ++I)
            if (R->Modules(I)->Instance() == Instance)
                return R->Modules(I);
        return nullptr;
    };
    // The units started for the tests registered their banners with the program's instance.
    TUnitVersioningModule* Program = ModuleOf(GetModuleHandleA(nullptr));
    ASSERT_NE(Program, nullptr);
    EXPECT_GE(Program->Count(), 3);
    EXPECT_EQ(Program->Items(0)->Info()->Revision, "$Revision: 3471 $");  // the base unit starts first

    const int Before = R->ModuleCount();
    RegisterUnitBanner(FakeInstance(2), BannerA);
    ASSERT_EQ(R->ModuleCount(), Before + 1);
    ASSERT_NE(ModuleOf(FakeInstance(1)), nullptr);
    EXPECT_EQ(ModuleOf(FakeInstance(1))->Count(), 2);  // the same record twice is kept once
    EXPECT_EQ(ModuleOf(FakeInstance(1))->IndexOfInfo(&BannerB), 1);
    UnregisterUnitBanners(FakeInstance(3));
    EXPECT_EQ(R->ModuleCount(), Before + 1);
    UnregisterUnitBanners(FakeInstance(1));
    EXPECT_EQ(R->ModuleCount(), Before);
    EXPECT_EQ(ModuleOf(FakeInstance(1)), nullptr);
    EXPECT_NE(ModuleOf(FakeInstance(2)), nullptr);

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
