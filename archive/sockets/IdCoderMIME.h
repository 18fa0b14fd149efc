// The base64 alphabet of the MIME encoding and its decoding table.
#pragma once

#include "IdCoder3to4.h"

extern const char* const GBase64CodeTable;
extern TIdDecodeTable GBase64DecodeTable;
void IdCoderMIMEInitialization();
