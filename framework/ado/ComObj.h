// Errors of COM-style components: the ADO layer raises these with the provider's texts.
#pragma once

#include "SysUtils.h"

#include <string>

// Source of every error the SQL Server provider (our TDS client) raises.
inline constexpr const char* SqlProviderSource = "Microsoft OLE DB Provider for SQL Server";

class EOleError : public Exception {
    DECLARE_CLASS(EOleError, Exception)
public:
    using Exception::Exception;
    EOleError() = default;
};

// An error with the failing call's result code.
class EOleSysError : public EOleError {
    DECLARE_CLASS(EOleSysError, EOleError)
public:
    EOleSysError() = default;
    EOleSysError(std::string Msg, HRESULT Code, int HelpCtx = 0) : EOleError(std::move(Msg)), ErrorCode(Code) {
        HelpContext = HelpCtx;
    }
    HRESULT ErrorCode = 0;
};

// An error described by its source (the provider) besides the code and the message.
class EOleException : public EOleSysError {
    DECLARE_CLASS(EOleException, EOleSysError)
public:
    EOleException() = default;
    EOleException(std::string Msg, HRESULT Code, std::string Src, std::string HelpFileName = {}, int HelpCtx = 0)
        : EOleSysError(std::move(Msg), Code, HelpCtx), Source(std::move(Src)), HelpFile(std::move(HelpFileName)) {}
    std::string Source;
    std::string HelpFile;
};

// Raises EOleSysError with the system's text for a failed result code; passes success codes through.
HRESULT OleCheck(HRESULT Result);
