#include "uEncrypt.h"

void CryptText(std::string& Text, std::string_view Key, bool Decrypt) {
    const std::size_t K = Key.size();
    if (K == 0)
        return;
    const int Sign = Decrypt ? -1 : 1;
    // Position i counts from 1 and takes key byte (i mod k) + 1, also counted from 1: the first
    // byte of the text goes with the second byte of the key.
    std::size_t KeyIndex = 1 % K;
    for (char& C : Text) {
        C = static_cast<char>(static_cast<unsigned char>(C) + Sign * static_cast<unsigned char>(Key[KeyIndex]));
        if (++KeyIndex == K)
            KeyIndex = 0;
    }
}
