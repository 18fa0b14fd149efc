#include "Text.h"

#include <windows.h>

#include <cwctype>

namespace standin {

std::string ToCodePage(const std::wstring& Text, unsigned CodePage) {
    if (Text.empty())
        return {};
    int N = WideCharToMultiByte(CodePage, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0, nullptr, nullptr);
    std::string Out(static_cast<std::size_t>(N), '\0');
    WideCharToMultiByte(CodePage, 0, Text.data(), static_cast<int>(Text.size()), Out.data(), N, nullptr, nullptr);
    return Out;
}

std::wstring FromCodePage(const std::string& Text, unsigned CodePage) {
    if (Text.empty())
        return {};
    int N = MultiByteToWideChar(CodePage, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring Out(static_cast<std::size_t>(N), L'\0');
    MultiByteToWideChar(CodePage, 0, Text.data(), static_cast<int>(Text.size()), Out.data(), N);
    return Out;
}

std::string ToUtf8(const std::wstring& Text) { return ToCodePage(Text, CP_UTF8); }
std::wstring FromUtf8(const std::string& Text) { return FromCodePage(Text, CP_UTF8); }

std::wstring Upper(std::wstring Text) {
    if (!Text.empty())
        CharUpperBuffW(Text.data(), static_cast<DWORD>(Text.size()));
    return Text;
}

bool SameText(const std::wstring& A, const std::wstring& B) { return A.size() == B.size() && Upper(A) == Upper(B); }

bool ContainsText(const std::wstring& Haystack, const std::wstring& Needle) {
    return Upper(Haystack).find(Upper(Needle)) != std::wstring::npos;
}

template <class S>
static S TrimAny(const S& Text) {
    std::size_t B = 0, E = Text.size();
    while (B < E && static_cast<unsigned>(Text[B]) <= ' ')
        ++B;
    while (E > B && static_cast<unsigned>(Text[E - 1]) <= ' ')
        --E;
    return Text.substr(B, E - B);
}
std::wstring Trim(const std::wstring& Text) { return TrimAny(Text); }
std::string Trim(const std::string& Text) { return TrimAny(Text); }

std::string Escape(const std::string& Utf8) {
    static const char Digits[] = "0123456789ABCDEF";
    std::string Out;
    Out.reserve(Utf8.size());
    for (unsigned char C : Utf8) {
        if (C < 0x20 || C == 0x7F || C == '%') {
            Out += '%';
            Out += Digits[C >> 4];
            Out += Digits[C & 15];
        } else {
            Out += static_cast<char>(C);
        }
    }
    return Out;
}

static int HexDigit(char C) {
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}

std::string Unescape(const std::string& Escaped) {
    std::string Out;
    for (std::size_t I = 0; I < Escaped.size(); ++I) {
        if (Escaped[I] == '%' && I + 2 < Escaped.size() && HexDigit(Escaped[I + 1]) >= 0 &&
            HexDigit(Escaped[I + 2]) >= 0) {
            Out += static_cast<char>(HexDigit(Escaped[I + 1]) * 16 + HexDigit(Escaped[I + 2]));
            I += 2;
        } else {
            Out += Escaped[I];
        }
    }
    return Out;
}

std::vector<std::string> Split(const std::string& Text, char Separator) {
    std::vector<std::string> Parts;
    std::size_t Start = 0;
    for (;;) {
        std::size_t P = Text.find(Separator, Start);
        if (P == std::string::npos) {
            Parts.push_back(Text.substr(Start));
            return Parts;
        }
        Parts.push_back(Text.substr(Start, P - Start));
        Start = P + 1;
    }
}

std::string Hex(const std::uint8_t* Data, std::size_t Size) {
    static const char Digits[] = "0123456789abcdef";
    std::string Out;
    for (std::size_t I = 0; I < Size; ++I) {
        Out += Digits[Data[I] >> 4];
        Out += Digits[Data[I] & 15];
    }
    return Out;
}

}  // namespace standin
