// The print-client fix: for the whole run, the windowed control's WM_PRINTCLIENT handler is
// wrapped so that the device context handed in the message is saved before the framework paints
// into it and restored afterwards, whatever the painting leaves selected in it.
#pragma once

#include "Controls.h"

// The wrapper that takes the place of TWinControl's own WM_PRINTCLIENT handler.
void PrintClientWithSavedDC(TObject* Self, TMessage& Message);
// The framework's handler the wrapper calls (null while the wrapper is not installed).
TMessageHandler SavedPrintClientHandler();

// Installs the wrapper through the class record's hook point, keeping the handler it replaces;
// nothing happens when TWinControl has no own WM_PRINTCLIENT handler or the wrapper is in already.
void JvThemesInitialization();
// Puts the kept handler back.
void JvThemesFinalization();
