#include "JclBannerUnits.h"

#include "JclUnitVersioning.h"

// The banner lives as long as the program: the registry keeps its address.
#define JCL_BANNER_UNIT(Unit, Revision, Folder)                                        \
    namespace {                                                                        \
    const TUnitVersionInfo Unit##Banner = UnitBanner(#Unit, Revision, Folder);         \
    }                                                                                  \
    void Unit##Initialization() { RegisterProgramUnitBanner(Unit##Banner); }           \
    void Unit##Finalization() { UnregisterProgramUnitBanners(); }

JCL_BANNER_UNIT(JclResources, 3266, "common")
JCL_BANNER_UNIT(JclWin32, 3276, "windows")
JCL_BANNER_UNIT(JclLogic, 2921, "common")
JCL_BANNER_UNIT(JclCharsets, 2892, "common")
JCL_BANNER_UNIT(Jcl8087, 2921, "common")
JCL_BANNER_UNIT(Snmp, 3188, "windows")
JCL_BANNER_UNIT(JclIniFiles, 2892, "common")
JCL_BANNER_UNIT(JclAnsiStrings, 3321, "common")
JCL_BANNER_UNIT(JclShell, 3179, "windows")
JCL_BANNER_UNIT(JclSecurity, 3097, "windows")
JCL_BANNER_UNIT(JclDateTime, 2921, "common")
JCL_BANNER_UNIT(JclConsole, 2993, "windows")
JCL_BANNER_UNIT(JclMime, 2921, "common")
JCL_BANNER_UNIT(zlibh, 2921, "common")
JCL_BANNER_UNIT(bzip2, 2921, "common")
