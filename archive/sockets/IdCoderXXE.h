// The xxencode alphabet and its decoding table.
#pragma once

#include "IdCoder3to4.h"

extern const char* const GXXECodeTable;
extern TIdDecodeTable GXXEDecodeTable;
void IdCoderXXEInitialization();
