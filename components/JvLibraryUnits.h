// Start-up and shut-down work of the further component library's units that the library leaves
// unnamed here: the shell's restart message, the check-box size, the starting thread's values.
#pragma once

#include <windows.h>

// "TaskbarCreated" as this library registers it (the same number the tray icon reads elsewhere).
extern UINT TaskbarRestartMessage;
void TaskbarRestartUnitInitialization();
void TaskbarRestartUnitFinalization();

// A quarter of the width and a third of the height of the system's check-box bitmap.
extern int CheckBoxWidth;
extern int CheckBoxHeight;
void CheckBoxSizeUnitInitialization();

// Nine 32-bit values of each thread; the starting thread's are set to 0 at start-up.
inline constexpr int ThreadValueCount = 9;
extern thread_local DWORD ThreadValues[ThreadValueCount];
void ThreadValuesUnitInitialization();
