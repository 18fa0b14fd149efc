// The registry unit of the utility library: only its table of the predefined root keys with their
// long and short names, which no routine of the system reads, and its version banner.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TRootKey {
    HKEY Key;
    std::string AnsiName;
    std::wstring WideName;
};

// The seven long names, then the seven short ones; empty outside the unit's life.
const std::vector<TRootKey>& JclRootKeys();

// Start-up builds the table (the UTF-16 names from the 8-bit ones) and registers the banner;
// shut-down releases the table and withdraws the banners.
void JclRegistryInitialization();
void JclRegistryFinalization();
