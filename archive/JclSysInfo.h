// System information read once at start-up: processor figures, the platform family and the
// Windows version with one flag per version.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

enum TWindowsVersion : std::uint8_t {
    wvUnknown,
    wvWin95,
    wvWin95OSR2,
    wvWin98,
    wvWin98SE,
    wvWinME,
    wvWinNT31,
    wvWinNT35,
    wvWinNT351,
    wvWinNT4,
    wvWin2000,
    wvWinXP,
    wvWin2003,
    wvWinXP64,
    wvWin2003R2,
    wvWinVista,
    wvWinServer2008,
    wvWin7,
    wvWinServer2008R2,
};

// Everything the version rule looks at, so that the rule itself can be tried on any system.
struct TWindowsVersionFacts {
    DWORD PlatformId = 0;            // 1 the 9x family, 2 the NT family
    DWORD MajorVersion = 0;
    DWORD MinorVersion = 0;
    std::string ServicePack;         // trimmed service-pack text
    DWORD KernelProductVersionHi = 0;  // 9x family only
    int SecondReleaseMetric = 0;     // the platform's metric 89
    WORD NativeArchitecture = 0;     // processor architecture of the native system information
    bool ExtendedInfoRead = false;   // the 156-byte extended version information could be read
    BYTE ProductType = 0;            // of the extended information; 1 = workstation
};

// The version rule over the given facts.
TWindowsVersion WindowsVersionFromFacts(const TWindowsVersionFacts& Facts);
// The facts of the running system.
TWindowsVersionFacts CurrentWindowsVersionFacts();
// The version of the running system, computed anew on each call.
TWindowsVersion WindowsVersionOf();

// The native system information when the platform has the native entry point (true), otherwise the
// ordinary one (false).
bool NativeSystemInfo(SYSTEM_INFO& Info);

// Filled by JclSysInfoInitialization.
extern int ProcessorCount;
extern DWORD AllocGranularity;
extern DWORD PageSize;
extern bool IsWinNT;
extern DWORD KernelVersionHi;
extern TWindowsVersion WindowsVersion;
extern bool IsWin95, IsWin95OSR2, IsWin98, IsWin98SE, IsWinME;
extern bool IsWinNT3, IsWinNT31, IsWinNT35, IsWinNT351, IsWinNT4;
extern bool IsWin2K, IsWinXP, IsWin2003, IsWinXP64, IsWin2003R2;
extern bool IsWinVista, IsWinServer2008, IsWin7, IsWinServer2008R2;

// Sets the version flags for Version (and clears the others).
void SetWindowsVersionFlags(TWindowsVersion Version);

// Unit start-up: reads the figures and the version; never raises.
void JclSysInfoInitialization();
