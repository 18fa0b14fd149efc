#include "uEncrypt.h"

void CryptText(std::string& Text, std::string_view Key, bool Decrypt) {
    const std::size_t K = Key.size();
    if (K == 0)
        return;
    const int Sign = Decrypt ? -1 : 1;
    // Position i counts from 1 and takes key byte (i mod k) + 1, also counted from 1: for the
    // 0-based index j = i - 1 that is Key[(j + 1) % k].
    for (std::size_t J = 0; J < Text.size(); ++J) {
        const int KeyByte = static_cast<unsigned char>(Key[(J + 1) % K]);
        Text[J] = static_cast<char>(static_cast<unsigned char>(Text[J]) + Sign * KeyByte);
    }
}
