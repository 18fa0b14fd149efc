// The units of the utility library and the archive layer that this system keeps only for their
// start-up and shut-down work: each registers its version banner when it starts and withdraws the
// program's banners when it shuts down. Their routines are not part of the system.
#pragma once

#define BANNER_ONLY_UNIT(Unit)           \
    void Unit##Initialization();        \
    void Unit##Finalization();

BANNER_ONLY_UNIT(JclResources)
BANNER_ONLY_UNIT(JclWin32)
BANNER_ONLY_UNIT(JclLogic)
// Its character-set table is not kept: no routine reads it.
BANNER_ONLY_UNIT(JclCharsets)
BANNER_ONLY_UNIT(JclFpuControl)
BANNER_ONLY_UNIT(Snmp)
BANNER_ONLY_UNIT(JclIniFiles)
BANNER_ONLY_UNIT(JclAnsiStrings)
BANNER_ONLY_UNIT(JclShell)
BANNER_ONLY_UNIT(JclSecurity)
BANNER_ONLY_UNIT(JclDateTime)
BANNER_ONLY_UNIT(JclConsole)
BANNER_ONLY_UNIT(JclMime)
BANNER_ONLY_UNIT(zlibh)
BANNER_ONLY_UNIT(bzip2)

#undef BANNER_ONLY_UNIT
