#include "JclBase.h"

#include "JclUnitVersioning.h"

#include "JclResources.h"

#include <vector>

char AnsiReplacementCharacter = '?';

EJclWin32Error::EJclWin32Error(const std::string& ResourceText) {
    // The code must be taken before anything else runs: the message lookup below may reset it.
    DWORD Code = GetLastError();
    Build(Code, ResourceText);
}

EJclWin32Error::EJclWin32Error(DWORD ErrorCode, const std::string& ResourceText) { Build(ErrorCode, ResourceText); }

void EJclWin32Error::Build(DWORD ErrorCode, const std::string& ResourceText) {
    LastError = ErrorCode;
    LastErrorMsg = SysErrorMessage(ErrorCode);
    SetMessage(Format(JclResources::RsWin32Prefix, {LastErrorMsg, LastError, "\r\n", ResourceText}));
}

void CopyCharsToString(const std::string& Source, int From, std::string& Dest, int To, int Count) {
    if (Count <= 0)
        return;
    if (From < 0 || To < 0 || static_cast<size_t>(From) + static_cast<size_t>(Count) > Source.size() ||
        static_cast<size_t>(To) + static_cast<size_t>(Count) > Dest.size())
        throw EJclStringError(JclResources::RsArgumentOutOfRange);
    Source.copy(&Dest[static_cast<size_t>(To)], static_cast<size_t>(Count), static_cast<size_t>(From));
}

namespace {
const TUnitVersionInfo JclBaseBanner = UnitBanner("JclBase", 3471, "common");
}  // namespace

void JclBaseInitialization() {
    RegisterProgramUnitBanner(JclBaseBanner);
    CPINFO Info;
    if (!GetCPInfo(CP_ACP, &Info))
        throw EJclInternalError(JclResources::RsCannotGetAnsiReplacementChar);
    AnsiReplacementCharacter = static_cast<char>(Info.DefaultChar[0]);
}
