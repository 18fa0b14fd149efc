// Foundations of the utility library: its exception classes, the system-error wrapper, the ANSI
// replacement character and a few text helpers the other units share.
#pragma once

#include "SysUtils.h"

#include <windows.h>

#include <string>

DECLARE_EXCEPTION(EJclError, Exception);
DECLARE_EXCEPTION(EJclInternalError, EJclError);

// Wraps a failed system call: keeps its error code and the system's text for it.
class EJclWin32Error : public EJclError {
    DECLARE_CLASS(EJclWin32Error, EJclError)
public:
    EJclWin32Error() = default;
    // Reads the calling thread's last error first, so that loading the texts cannot change it.
    explicit EJclWin32Error(const std::string& ResourceText);
    // For callers that already hold the code.
    EJclWin32Error(DWORD ErrorCode, const std::string& ResourceText);

    DWORD LastError = 0;
    std::string LastErrorMsg;

private:
    void Build(DWORD ErrorCode, const std::string& ResourceText);
};

DECLARE_EXCEPTION(EJclMutexError, EJclWin32Error);
DECLARE_EXCEPTION(EJclStreamError, EJclError);
DECLARE_EXCEPTION(EJclStringError, EJclError);
DECLARE_EXCEPTION(EJclStringConversionError, EJclError);
DECLARE_EXCEPTION(EJclUnexpectedEOSequenceError, EJclStringConversionError);
DECLARE_EXCEPTION(EJclDateTimeError, EJclError);
DECLARE_EXCEPTION(EJclFileUtilsError, EJclError);
DECLARE_EXCEPTION(ESharedMemError, EJclError);

// Copies Count characters of Source from zero-based index From into Dest at zero-based index To.
// Both ranges are checked: a copy that would read or write past either string raises
// EJclStringError "Argument out of range" instead of touching memory it does not own.
void CopyCharsToString(const std::string& Source, int From, std::string& Dest, int To, int Count);

// The replacement character of the system ANSI code page, read by the unit's start-up.
extern char AnsiReplacementCharacter;

// Unit start-up: reads the ANSI replacement character; raises EJclInternalError when the platform
// refuses.
void JclBaseInitialization();
