#include "IdCoderXXE.h"

const char* const GXXECodeTable = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
TIdDecodeTable GXXEDecodeTable{};

void IdCoderXXEInitialization() { BuildDecodeTable(GXXECodeTable, GXXEDecodeTable); }
