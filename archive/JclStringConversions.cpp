#include "JclStringConversions.h"

#include "JclUnitVersioning.h"

bool PutUtf16CodePoint(std::wstring& S, int& Index, std::uint32_t CodePoint) {
    const int Length = static_cast<int>(S.size());
    if (CodePoint <= 0xFFFF || CodePoint > 0x10FFFF) {
        if (Index < 1 || Index > Length)
            return false;
        S[static_cast<size_t>(Index - 1)] = static_cast<wchar_t>(CodePoint <= 0xFFFF ? CodePoint : 0xFFFD);
        ++Index;
        return true;
    }
    if (Index < 1 || Index >= Length)
        return false;
    const std::uint32_t V = CodePoint - 0x10000;
    S[static_cast<size_t>(Index - 1)] = static_cast<wchar_t>((V >> 10) | 0xD800);
    S[static_cast<size_t>(Index)] = static_cast<wchar_t>((V & 0x3FF) | 0xDC00);
    Index += 2;
    return true;
}

namespace {
const TUnitVersionInfo JclStringConversionsBanner = UnitBanner("JclStringConversions", 2921, "common");
}

void JclStringConversionsInitialization() { RegisterProgramUnitBanner(JclStringConversionsBanner); }

void JclStringConversionsFinalization() { UnregisterProgramUnitBanners(); }
