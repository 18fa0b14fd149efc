#include "LMDSysIn.h"

#include <windows.h>

bool SysIs9x = false, SysIs98OrLater = false, SysIsMe = false, SysHasExtension = false, SysIsNT = false,
     SysIsNT50 = false, SysIsNT50Suite2 = false, SysIsNT51 = false, SysIsNT51Suite3 = false,
     SysIsNT51NotSuite3 = false, SysIsNT51Suite2 = false;

void SetSysFlags(const TSysVersion& V) {
    for (bool* Flag : {&SysIs9x, &SysIs98OrLater, &SysIsMe, &SysHasExtension, &SysIsNT, &SysIsNT50, &SysIsNT50Suite2,
                       &SysIsNT51, &SysIsNT51Suite3, &SysIsNT51NotSuite3, &SysIsNT51Suite2})
        *Flag = false;
    if (V.PlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        SysIs9x = true;
        SysIs98OrLater = V.Minor > 9;
        SysIsMe = V.Major >= 4 && V.Minor >= 90;
        SysHasExtension = V.ExtensionAnswer;
        return;
    }
    SysHasExtension = true;
    SysIsNT = V.PlatformId == VER_PLATFORM_WIN32_NT;
    const bool Five = (V.Major & 0xFF) == 5;
    SysIsNT50 = Five && V.Minor == 0;
    SysIsNT50Suite2 = SysIsNT50 && V.SuiteMask == 2;
    SysIsNT51 = Five && V.Minor == 1;
    SysIsNT51Suite3 = SysIsNT51 && V.SuiteMask == 3;
    SysIsNT51NotSuite3 = SysIsNT51 && V.SuiteMask != 3;
    SysIsNT51Suite2 = Five && V.Minor == 1 && V.SuiteMask == 2;
}

namespace {
bool ReadVersion(OSVERSIONINFOEXA& Info) {
    Info = {};
    Info.dwOSVersionInfoSize = sizeof Info;
    return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&Info));
}
}  // namespace

void LMDSysInInitialization() {
    OSVERSIONINFOEXA Info;
    if (!ReadVersion(Info))
        return;
    TSysVersion V{Info.dwPlatformId, Info.dwMajorVersion, Info.dwMinorVersion, Info.wSuiteMask, false};
    if (V.PlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        BOOL Answer = FALSE;
        V.ExtensionAnswer = SystemParametersInfoA(92, 0, &Answer, 0) != 0;
    }
    SetSysFlags(V);
}

int ScreenColourDepth() {
    HDC DC = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (!DC)
        return 0;
    const int Depth = GetDeviceCaps(DC, PLANES) * GetDeviceCaps(DC, BITSPIXEL);
    DeleteDC(DC);
    return Depth;
}

unsigned VersionInfoField(int Which) {
    OSVERSIONINFOEXA Info;
    if (!ReadVersion(Info))
        return 0;
    switch (Which) {
        case 0: return Info.dwMajorVersion;
        case 1: return Info.dwMinorVersion;
        case 2: return Info.dwPlatformId;
        case 3: return Info.dwBuildNumber;
        case 4: return Info.wServicePackMajor;
        case 5: return Info.wServicePackMinor;
        case 6: return Info.wSuiteMask;
        case 7: return Info.wProductType;
        default: return 0;
    }
}

unsigned MajorVersionWord() { return VersionInfoField(0) & 0xFFFF; }
unsigned MinorVersionWord() { return VersionInfoField(1) & 0xFFFF; }
unsigned SuiteMaskField() { return VersionInfoField(6); }

std::string CurrentUserName() {
    char Buffer[64];
    DWORD Size = 63;
    if (!GetUserNameA(Buffer, &Size) || Size == 0)
        return "(Unknown)";
    return std::string(Buffer, Size - 1);
}
