// The mathematics unit of the utility library: only its two formats of complex numbers, which no
// routine of the system uses, and its version banner.
#pragma once

#include <string>

// "%g + %gi" and "%g e^%gi"; empty outside the unit's life.
const std::string& JclComplexRectangularFormat();
const std::string& JclComplexPolarFormat();

void JclMathInitialization();
void JclMathFinalization();
