// The string cipher that guards "Settings.ini" and the stored SQL password: every byte moves by a
// byte of the key, and moves back by the same byte.
#pragma once

#include <string>
#include <string_view>

// Enciphers Text in place with Key (adds the key's bytes), or deciphers it when Decrypt is set
// (subtracts them). Byte i (from 1) pairs with key byte (i mod key length) + 1; an empty key leaves
// the text as it is. Works on the bytes alone, so any byte, NUL, CR and LF included, round-trips.
void CryptText(std::string& Text, std::string_view Key, bool Decrypt);
