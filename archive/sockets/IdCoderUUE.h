// The uuencode alphabet and its decoding table.
#pragma once

#include "IdCoder3to4.h"

extern const std::string GUUECodeTable;
extern TIdDecodeTable GUUEDecodeTable;
void IdCoderUUEInitialization();
