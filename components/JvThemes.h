// The print-client fix: for the whole run, the windowed control's WM_PRINTCLIENT handler is
// wrapped so that the device context handed in the message is saved before the framework paints
// into it and restored afterwards, whatever the painting leaves selected in it.
#pragma once

#include "Controls.h"

// The wrapper that takes the handler's slot in TWinControl's message table.
void PrintClientWithSavedDC(TObject* Self, TMessage& Message);
// The framework's handler the wrapper calls (null while the wrapper is not installed).
TMessageHandler SavedPrintClientHandler();

// Installs the wrapper: finds the WM_PRINTCLIENT slot of TWinControl's own message table, keeps
// its handler and writes the wrapper in; nothing happens without a slot or when the table's page
// protection cannot be changed.
void JvThemesInitialization();
// Writes the kept handler back into the slot.
void JvThemesFinalization();
