#include "JclBannerUnits.h"

#include "JclUnitVersioning.h"

// The banner lives as long as the program: the registry keeps its address.
#define BANNER_ONLY_UNIT(Unit, Revision, Folder)                                        \
    namespace {                                                                        \
    const TUnitVersionInfo Unit##Banner = UnitBanner(#Unit, Revision, Folder);         \
    }                                                                                  \
    void Unit##Initialization() { RegisterProgramUnitBanner(Unit##Banner); }           \
    void Unit##Finalization() { UnregisterProgramUnitBanners(); }

BANNER_ONLY_UNIT(JclResources, 3266, "common")
BANNER_ONLY_UNIT(JclWin32, 3276, "windows")
BANNER_ONLY_UNIT(JclLogic, 2921, "common")
BANNER_ONLY_UNIT(JclCharsets, 2892, "common")
BANNER_ONLY_UNIT(JclFpuControl, 2921, "common")
BANNER_ONLY_UNIT(Snmp, 3188, "windows")
BANNER_ONLY_UNIT(JclIniFiles, 2892, "common")
BANNER_ONLY_UNIT(JclAnsiStrings, 3321, "common")
BANNER_ONLY_UNIT(JclShell, 3179, "windows")
BANNER_ONLY_UNIT(JclSecurity, 3097, "windows")
BANNER_ONLY_UNIT(JclDateTime, 2921, "common")
BANNER_ONLY_UNIT(JclConsole, 2993, "windows")
BANNER_ONLY_UNIT(JclMime, 2921, "common")
BANNER_ONLY_UNIT(zlibh, 2921, "common")
BANNER_ONLY_UNIT(bzip2, 2921, "common")
