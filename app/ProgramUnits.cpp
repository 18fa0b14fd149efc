#include "ProgramUnits.h"

namespace {
// Order: the framework's units, then the system's units in the order of the unit table.
const TUnitEntry Table[] = {
    {"System", nullptr, nullptr},
};
}  // namespace

const TUnitEntry* ProgramUnits(std::size_t& Count) {
    Count = sizeof Table / sizeof Table[0];
    return Table;
}
