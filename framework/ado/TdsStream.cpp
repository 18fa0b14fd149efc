#include "TdsStream.h"

#include "TdsErrors.h"

void TdsProtocolError(const char* What) { throw ETdsError(TTdsErrorKind::Protocol, TdsProtocolErrorText(What)); }

void TTdsInput::Fill() {
    while (FPos == FEnd)
        if (!NextChunk())
            TdsProtocolError("the reply ends inside a token");
}

// Dst null: the bytes are skipped.
void TTdsInput::ReadSlow(std::uint8_t* Dst, size_t N) {
    while (N) {
        if (FPos == FEnd)
            Fill();
        size_t K = static_cast<size_t>(FEnd - FPos);
        if (K > N)
            K = N;
        if (Dst) {
            std::memcpy(Dst, FPos, K);
            Dst += K;
        }
        FPos += K;
        N -= K;
    }
}

std::wstring TTdsInput::WText(size_t Chars) {
    std::wstring S(Chars, L'\0');
    if (static_cast<size_t>(FEnd - FPos) >= Chars * 2) {
        for (size_t I = 0; I < Chars; ++I)
            S[I] = static_cast<wchar_t>(FPos[2 * I] | (FPos[2 * I + 1] << 8));
        FPos += Chars * 2;
        return S;
    }
    for (size_t I = 0; I < Chars; ++I)
        S[I] = static_cast<wchar_t>(U16());
    return S;
}

bool TTdsInput::AtMessageEnd() {
    while (FPos == FEnd)
        if (!NextChunk())
            return true;
    return false;
}
