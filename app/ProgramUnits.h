// The program's unit table: start-up routines run in this order before the main program,
// shut-down routines in reverse after the message loop ends.
#pragma once

#include "Units.h"

#include <cstddef>

const TUnitEntry* ProgramUnits(std::size_t& Count);

// How many units at the table's end the program starts only once its main window is up: the
// tree-list and data-aware grid library, which no window places. Their start-up (cursors, image
// lists, class registrations) has no effect the main window's start needs, and it is a good part
// of the whole start-up's time.
std::size_t ProgramUnitsStartedLater();
