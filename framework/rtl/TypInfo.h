// Published-property and published-method information of class records.
#pragma once

#include "System.h"

// One published property. Kinds, accessors and defaults are described by the derived records
// that the property helpers create.
struct TPropInfo {
    virtual ~TPropInfo() = default;
    std::string Name;
};

// One published method: a name and the code that binds it to an instance as an event.
struct TMethodEntry {
    virtual ~TMethodEntry() = default;
    std::string Name;
};
