// Unit start-up and shut-down: one ordered table, run explicitly by the program (and by test
// programs), never by static initialisers whose order C++ does not fix.
#pragma once

#include <cstddef>

struct TUnitEntry {
    const char* Name;
    void (*Initialization)();  // may be null
    void (*Finalization)();    // may be null
};

// Runs the start-up routines in table order; a later call adds its units after those started
// before. A unit whose start-up raises is not finalised; the error goes on to the caller after the
// units this call already started have been finalised (those of earlier calls stay).
void InitializeUnits(const TUnitEntry* Units, std::size_t Count);
template <std::size_t N>
void InitializeUnits(const TUnitEntry (&Units)[N]) { InitializeUnits(Units, N); }

// Whether the unit's start-up has run (and its shut-down not yet).
bool UnitStarted(const TUnitEntry* Unit);

// Runs the shut-down routines of every started unit, in reverse order. Safe to call twice.
void FinalizeUnits();
