// abfVclUtils: showing and hiding the application's taskbar window and main form, finding and
// bringing forward another copy of the program, and the shell library's icons.
//
// The keyboard shift state (Shift, Ctrl, Alt from the key states) is the framework's GetShiftState.
#pragma once

#include "Forms.h"
#include "Icons.h"

void ShowApplicationWindow();
void HideApplicationWindow();
// The taskbar window, then the main form when there is one.
void ShowApplication();
void HideApplication();
// A top-level window of the application object's class with the application's title that is not
// this process's application window; null when there is none.
HWND FindPreviousInstance();
// Restores the other copy when it is minimised, else brings it to the foreground; false when none.
bool ActivatePreviousInstance();
// Icon number Index of the system folder's shell library, large and small (either may be null);
// on any failure both icons are left empty.
void ExtractShellIcon(int Index, TIcon* LargeIcon, TIcon* SmallIcon);

// Unit start-up and shut-down: nothing to do, kept for the unit table.
void abfVclUtilsInitialization();
void abfVclUtilsFinalization();
