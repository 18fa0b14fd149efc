#include "JclBase.h"

#include "JclResources.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

char AnsiReplacementCharacter = '?';

std::string JclFormat(const char* Fmt, ...) {
    va_list Args;
    va_start(Args, Fmt);
    va_list Copy;
    va_copy(Copy, Args);
    int Len = std::vsnprintf(nullptr, 0, Fmt, Copy);
    va_end(Copy);
    std::string Result;
    if (Len > 0) {
        std::vector<char> Buffer(static_cast<size_t>(Len) + 1);
        std::vsnprintf(Buffer.data(), Buffer.size(), Fmt, Args);
        Result.assign(Buffer.data(), static_cast<size_t>(Len));
    }
    va_end(Args);
    return Result;
}

std::string JclSysErrorMessage(DWORD ErrorCode) {
    char Buffer[256];
    DWORD Len = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                   FORMAT_MESSAGE_ARGUMENT_ARRAY,
                               nullptr, ErrorCode, 0, Buffer, sizeof(Buffer), nullptr);
    while (Len > 0 && (static_cast<unsigned char>(Buffer[Len - 1]) <= 32 || Buffer[Len - 1] == '.'))
        --Len;
    return std::string(Buffer, Len);
}

EJclWin32Error::EJclWin32Error(const std::string& ResourceText) {
    // The code must be taken before anything else runs: the message lookup below may reset it.
    DWORD Code = GetLastError();
    Build(Code, ResourceText);
}

EJclWin32Error::EJclWin32Error(DWORD ErrorCode, const std::string& ResourceText) { Build(ErrorCode, ResourceText); }

void EJclWin32Error::Build(DWORD ErrorCode, const std::string& ResourceText) {
    LastError = ErrorCode;
    LastErrorMsg = JclSysErrorMessage(ErrorCode);
    SetMessage(JclFormat(JclResources::RsWin32Prefix, LastErrorMsg.c_str(), static_cast<unsigned>(LastError), "\r\n",
                         ResourceText.c_str()));
}

void CopyCharsToString(const std::string& Source, int From, std::string& Dest, int To, int Count) {
    if (Count <= 0)
        return;
    if (From < 0 || To < 0 || static_cast<size_t>(From) + static_cast<size_t>(Count) > Source.size() ||
        static_cast<size_t>(To) + static_cast<size_t>(Count) > Dest.size())
        throw EJclStringError(JclResources::RsArgumentOutOfRange);
    Source.copy(&Dest[static_cast<size_t>(To)], static_cast<size_t>(Count), static_cast<size_t>(From));
}

void JclBaseInitialization() {
    CPINFO Info;
    if (!GetCPInfo(CP_ACP, &Info))
        throw EJclInternalError(JclResources::RsCannotGetAnsiReplacementChar);
    AnsiReplacementCharacter = static_cast<char>(Info.DefaultChar[0]);
}
