// Protocol helpers of the socket library: the temporary-files folder and the English names of
// months and days the protocols write.
#pragma once

#include <string>

// The system's temporary folder with a trailing "\".
std::string TempPath();

extern const char* const IdMonthNames[12];  // "Jan" .. "Dec"
extern const char* const IdDayNames[7];     // "Sun" .. "Sat"
extern const char* const IdBooleanNames[2]; // "FALSE", "TRUE"

void IdGlobalProtocolsInitialization();
