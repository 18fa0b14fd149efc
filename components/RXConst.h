// Cursor identifiers of the component library; its start-up enters the two cursors of the
// program's resources ("RX_HANDCUR", "RX_DRAGCUR") in the application's cursor table.
#pragma once

#include "Controls.h"

inline constexpr TCursor crHand = 14000;
inline constexpr TCursor crDragHand = 14001;

// Unit start-up: needs the screen object (the controls' start-up) to exist.
void RXConstInitialization();
