#include "sStyleSimply.h"

std::string ChangedSection;
