#include "IdCoderUUE.h"

namespace {
std::string UUEAlphabet() {
    std::string A(1, '`');
    for (char C = 33; C <= 95; ++C)
        A += C;
    return A;
}
}  // namespace

const std::string GUUECodeTable = UUEAlphabet();
TIdDecodeTable GUUEDecodeTable{};

void IdCoderUUEInitialization() {
    BuildDecodeTable(GUUECodeTable, GUUEDecodeTable);
    // Encoders of old wrote a blank where the grave accent stands for 0.
    GUUEDecodeTable[' ' - 1] = GUUEDecodeTable['`' - 1];
}
