// The registry of unit version banners, shared through a named mutex and a named block.
#include "ArchiveTestMain.h"
#include "JclBannerUnits.h"
#include "JclCompression.h"
#include "JclFileUtils.h"
#include "JclMath.h"
#include "JclRTTI.h"
#include "JclRegistry.h"
#include "JclStreams.h"
#include "JclStringConversions.h"
#include "JclStrings.h"
#include "JclSynch.h"
#include "JclSysInfo.h"
#include "JclSysUtils.h"
#include "JclUnicode.h"
#include "JclUnitVersioning.h"
#include "JclWideStrings.h"

#include <map>

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

    // Every unit of the utility library and the archive layer registers its banner at start-up.
    for (void (*Start)() : {JclResourcesInitialization, JclBaseInitialization, JclWin32Initialization,
                            JclLogicInitialization, JclStringConversionsInitialization, JclCharsetsInitialization,
                            JclFpuControlInitialization, SnmpInitialization, JclIniFilesInitialization,
                            JclSysInfoInitialization, JclUnicodeInitialization, JclWideStringsInitialization,
                            JclRegistryInitialization, JclSynchInitialization, JclMathInitialization,
                            JclStreamsInitialization, JclAnsiStringsInitialization, JclStringsInitialization,
                            JclShellInitialization, JclSecurityInitialization, JclDateTimeInitialization,
                            JclFileUtilsInitialization, JclConsoleInitialization, JclSysUtilsInitialization,
                            JclUnitVersioningInitialization, JclRTTIInitialization, JclMimeInitialization,
                            SevenzipInitialization, JclCompressionInitialization, zlibhInitialization,
                            bzip2Initialization})
        Start();
    std::map<std::string, std::string> Registered;  // unit: revision and folder
    for (int I = 0; I < Program->Count(); ++I) {
        const TUnitVersionInfo* Info = Program->Items(I)->Info();
        const std::string Unit = Info->RCSfile.substr(14, Info->RCSfile.size() - 14 - 6);  // "$URL: archive/" X ".cpp $"
        EXPECT_TRUE(Registered.emplace(Unit, Info->Revision + " " + Info->LogPath).second) << Unit << " twice";
    }
    const std::map<std::string, std::string> Expected = {
        {"JclResources", "3266 common"}, {"JclBase", "3471 common"}, {"JclWin32", "3276 windows"},
        {"JclLogic", "2921 common"}, {"JclStringConversions", "2921 common"}, {"JclCharsets", "2892 common"},
        {"JclFpuControl", "2921 common"}, {"Snmp", "3188 windows"}, {"JclIniFiles", "2892 common"},
        {"JclSysInfo", "3213 common"}, {"JclUnicode", "3256 common"}, {"JclWideStrings", "3139 common"},
        {"JclRegistry", "3321 windows"}, {"JclSynch", "2984 common"}, {"JclMath", "3070 common"},
        {"JclStreams", "3160 common"}, {"JclAnsiStrings", "3321 common"}, {"JclStrings", "3321 common"},
        {"JclShell", "3179 windows"}, {"JclSecurity", "3097 windows"}, {"JclDateTime", "2921 common"},
        {"JclFileUtils", "3321 common"}, {"JclConsole", "2993 windows"}, {"JclSysUtils", "3321 common"},
        {"JclUnitVersioning", "3188 common"}, {"JclRTTI", "3193 common"}, {"JclMime", "2921 common"},
        {"sevenzip", "3298 common"}, {"JclCompression", "3320 common"}, {"zlibh", "2921 common"},
        {"bzip2", "2921 common"},
    };
    std::map<std::string, std::string> Wanted;
    for (const auto& [Unit, RevisionFolder] : Expected) {
        const std::string Revision = RevisionFolder.substr(0, 4), Folder = RevisionFolder.substr(5);
        Wanted[Unit] = "$Revision: " + Revision + " $ source\\" + Folder;
    }
    EXPECT_EQ(Registered, Wanted);

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
