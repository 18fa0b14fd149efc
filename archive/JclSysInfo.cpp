#include "JclSysInfo.h"

#include "JclUnitVersioning.h"

#include "JclFileUtils.h"

int ProcessorCount = 0;
DWORD AllocGranularity = 0;
DWORD PageSize = 0;
DWORD KernelVersionHi = 0;
TWindowsVersion WindowsVersion = wvUnknown;
bool IsWin95, IsWin95OSR2, IsWin98, IsWin98SE, IsWinME;
bool IsWinNT3, IsWinNT31, IsWinNT35, IsWinNT351, IsWinNT4;
bool IsWin2K, IsWinXP, IsWin2003, IsWinXP64, IsWin2003R2;
bool IsWinVista, IsWinServer2008, IsWin7, IsWinServer2008R2;

namespace {

constexpr DWORD KernelVersionME = 0x4005A;  // 4.90: the kernel of Windows ME
constexpr int SmServerR2 = 89;

bool ServicePackIs(const std::string& Sp, char A, char B) {
    return Sp.size() == 1 && (Sp[0] == A || Sp[0] == B);
}

}  // namespace

TWindowsVersion WindowsVersionFromFacts(const TWindowsVersionFacts& F) {
    if (F.PlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (F.MinorVersion < 10)
            return ServicePackIs(F.ServicePack, 'B', 'C') ? wvWin95OSR2 : wvWin95;
        if (F.MinorVersion == 90)
            return wvWinME;
        if (F.MinorVersion < 90) {
            if (F.KernelProductVersionHi == KernelVersionME)
                return wvWinME;
            return ServicePackIs(F.ServicePack, 'A', 'B') ? wvWin98SE : wvWin98;
        }
        return wvUnknown;
    }
    if (F.PlatformId != VER_PLATFORM_WIN32_NT)
        return wvUnknown;
    const bool Workstation = F.ProductType == VER_NT_WORKSTATION;
    switch (F.MajorVersion) {
    case 3:
        switch (F.MinorVersion) {
        case 1: return wvWinNT31;
        case 5: return wvWinNT35;
        case 51: return wvWinNT351;
        default: return wvUnknown;
        }
    case 4:
        return wvWinNT4;
    case 5:
        switch (F.MinorVersion) {
        case 0: return wvWin2000;
        case 1: return wvWinXP;
        case 2:
            if (F.SecondReleaseMetric != 0)
                return wvWin2003R2;
            if (F.NativeArchitecture != PROCESSOR_ARCHITECTURE_INTEL && F.ExtendedInfoRead && Workstation)
                return wvWinXP64;
            return wvWin2003;
        default: return wvUnknown;
        }
    case 6:
        switch (F.MinorVersion) {
        case 0: return Workstation ? wvWinVista : wvWinServer2008;
        case 1: return Workstation ? wvWin7 : wvWinServer2008R2;
        default: return wvUnknown;
        }
    default:
        return wvUnknown;
    }
}

bool NativeSystemInfo(SYSTEM_INFO& Info) {
    using TGetNativeSystemInfo = void(WINAPI*)(LPSYSTEM_INFO);
    HMODULE Kernel = GetModuleHandleA("kernel32.dll");
    auto Native = Kernel ? reinterpret_cast<TGetNativeSystemInfo>(
                               reinterpret_cast<void*>(GetProcAddress(Kernel, "GetNativeSystemInfo")))
                         : nullptr;
    if (Native) {
        Native(&Info);
        return true;
    }
    GetSystemInfo(&Info);
    return false;
}

TWindowsVersionFacts CurrentWindowsVersionFacts() {
    TWindowsVersionFacts F;
    OSVERSIONINFOEXA Ex{};
    Ex.dwOSVersionInfoSize = sizeof(Ex);  // the 156-byte extended form
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&Ex))) {
        F.ExtendedInfoRead = true;
        F.ProductType = Ex.wProductType;
    } else {
        Ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&Ex)))
            return F;
    }
    F.PlatformId = Ex.dwPlatformId;
    F.MajorVersion = Ex.dwMajorVersion;
    F.MinorVersion = Ex.dwMinorVersion;
    F.ServicePack = Trim(Ex.szCSDVersion);
    if (F.PlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        VS_FIXEDFILEINFO Info;
        if (ReadFixedFileInfo("kernel32.dll", Info))
            F.KernelProductVersionHi = Info.dwProductVersionMS;
    }
    F.SecondReleaseMetric = GetSystemMetrics(SmServerR2);
    SYSTEM_INFO Si{};
    NativeSystemInfo(Si);
    F.NativeArchitecture = Si.wProcessorArchitecture;
    return F;
}

TWindowsVersion WindowsVersionOf() { return WindowsVersionFromFacts(CurrentWindowsVersionFacts()); }

void SetWindowsVersionFlags(TWindowsVersion V) {
    IsWin95 = V == wvWin95;
    IsWin95OSR2 = V == wvWin95OSR2;
    IsWin98 = V == wvWin98;
    IsWin98SE = V == wvWin98SE;
    IsWinME = V == wvWinME;
    IsWinNT31 = V == wvWinNT31;
    IsWinNT35 = V == wvWinNT35 || V == wvWinNT351;
    IsWinNT351 = V == wvWinNT351;
    IsWinNT3 = V == wvWinNT31 || V == wvWinNT35 || V == wvWinNT351;
    IsWinNT4 = V == wvWinNT4;
    IsWin2K = V == wvWin2000;
    IsWinXP = V == wvWinXP;
    IsWin2003 = V == wvWin2003;
    IsWinXP64 = V == wvWinXP64;
    IsWin2003R2 = V == wvWin2003R2;
    IsWinVista = V == wvWinVista;
    IsWinServer2008 = V == wvWinServer2008;
    IsWin7 = V == wvWin7;
    IsWinServer2008R2 = V == wvWinServer2008R2;
}

namespace {
const TUnitVersionInfo JclSysInfoBanner = UnitBanner("JclSysInfo", 3213, "common");
}  // namespace

void JclSysInfoInitialization() {
    RegisterProgramUnitBanner(JclSysInfoBanner);
    SYSTEM_INFO Si{};
    GetSystemInfo(&Si);
    ProcessorCount = static_cast<int>(Si.dwNumberOfProcessors);
    AllocGranularity = Si.dwAllocationGranularity;
    PageSize = Si.dwPageSize;
    TWindowsVersionFacts F = CurrentWindowsVersionFacts();
    IsWinNT = F.PlatformId == VER_PLATFORM_WIN32_NT;
    KernelVersionHi = F.KernelProductVersionHi;
    WindowsVersion = WindowsVersionFromFacts(F);
    SetWindowsVersionFlags(WindowsVersion);
}
