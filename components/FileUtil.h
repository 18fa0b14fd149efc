// File routine of the component library that the skin engine also calls.
#pragma once

#include <string>

// True when Path's attributes can be read and mark a directory; never raises.
bool DirectoryPathExists(const std::string& Path);
