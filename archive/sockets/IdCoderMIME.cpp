#include "IdCoderMIME.h"

const char* const GBase64CodeTable = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
TIdDecodeTable GBase64DecodeTable{};

void IdCoderMIMEInitialization() { BuildDecodeTable(GBase64CodeTable, GBase64DecodeTable); }
