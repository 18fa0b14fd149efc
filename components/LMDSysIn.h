// Questions about the platform (screen colour depth, version fields, the user's name) and the flags
// about the platform family and version set at start-up.
#pragma once

#include <string>

extern bool SysIs9x, SysIs98OrLater, SysIsMe, SysHasExtension, SysIsNT, SysIsNT50, SysIsNT50Suite2, SysIsNT51,
    SysIsNT51Suite3, SysIsNT51NotSuite3, SysIsNT51Suite2;

// The platform's version as the flags read it (the start-up reads the system's own).
struct TSysVersion {
    unsigned PlatformId = 0, Major = 0, Minor = 0, SuiteMask = 0;
    bool ExtensionAnswer = false;  // the 9x family's system-parameters query 92
};
void SetSysFlags(const TSysVersion& Version);

void LMDSysInInitialization();

int ScreenColourDepth();
// 0 major, 1 minor, 2 platform, 3 build, 4 and 5 service pack major and minor, 6 suite mask,
// 7 product type; 0 for another selector or a failed query.
unsigned VersionInfoField(int Which);
unsigned MajorVersionWord();
unsigned MinorVersionWord();
unsigned SuiteMaskField();
// The logged-on user's name; "(Unknown)" when the platform does not say.
std::string CurrentUserName();
