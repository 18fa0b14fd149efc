// The units of the utility library and the archive layer that this system keeps only for their
// start-up and shut-down work: each registers its version banner when it starts and withdraws the
// program's banners when it shuts down. Their routines are not part of the system.
#pragma once

#define JCL_BANNER_UNIT(Unit)           \
    void Unit##Initialization();        \
    void Unit##Finalization();

JCL_BANNER_UNIT(JclResources)
JCL_BANNER_UNIT(JclWin32)
JCL_BANNER_UNIT(JclLogic)
// Its character-set table is not kept: no routine reads it.
JCL_BANNER_UNIT(JclCharsets)
JCL_BANNER_UNIT(Jcl8087)
JCL_BANNER_UNIT(Snmp)
JCL_BANNER_UNIT(JclIniFiles)
JCL_BANNER_UNIT(JclAnsiStrings)
JCL_BANNER_UNIT(JclShell)
JCL_BANNER_UNIT(JclSecurity)
JCL_BANNER_UNIT(JclDateTime)
JCL_BANNER_UNIT(JclConsole)
JCL_BANNER_UNIT(JclMime)
JCL_BANNER_UNIT(zlibh)
JCL_BANNER_UNIT(bzip2)

#undef JCL_BANNER_UNIT
