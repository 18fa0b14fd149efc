// The program's unit table: start-up routines run in this order before the main program,
// shut-down routines in reverse after the message loop ends.
#pragma once

#include "Units.h"

#include <cstddef>
#include <string>

const TUnitEntry* ProgramUnits(std::size_t& Count);

// How many units at the table's end the program starts only once its main window is up: the
// component libraries no start-up window places (the theme and timer library, the skin engine with
// its skinned controls, the tree-list and data-aware grid library). Their start-up (cursors, image
// lists, class registrations) has no effect the main window's start needs, and it is a good part
// of the whole start-up's time.
std::size_t ProgramUnitsStartedLater();

// Starts those units, the first time it is called: when the main window has painted (before its
// start's remaining work, whose error window is made of skinned controls) or at the application's
// first idle moment, whichever comes first. A failure asks the application to end; false then,
// with the failure's text kept for the program's start-up error box.
bool StartLaterProgramUnits();
const std::string& LaterProgramUnitsFailure();
