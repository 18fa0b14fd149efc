// The program's unit table: start-up routines run in this order before the main program,
// shut-down routines in reverse after the message loop ends.
#pragma once

#include "Units.h"

#include <cstddef>

const TUnitEntry* ProgramUnits(std::size_t& Count);
