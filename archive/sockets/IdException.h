// The exceptions of the socket library.
#pragma once

#include "SysUtils.h"

DECLARE_EXCEPTION(EIdException, Exception);
DECLARE_EXCEPTION(EIdSocketHandleError, EIdException);
DECLARE_EXCEPTION(EIdPackageSizeTooBig, EIdSocketHandleError);
DECLARE_EXCEPTION(EIdNotAllBytesSent, EIdSocketHandleError);
DECLARE_EXCEPTION(EIdInvalidIPv6Address, EIdException);
DECLARE_EXCEPTION(EIdStackError, EIdException);
DECLARE_EXCEPTION(EIdIPVersionUnsupported, EIdStackError);
DECLARE_EXCEPTION(EIdStackInitializationFailed, EIdStackError);
DECLARE_EXCEPTION(EIdStackSetSizeExceeded, EIdStackError);
DECLARE_EXCEPTION(EIdInvalidServiceName, EIdException);
DECLARE_EXCEPTION(EIdIPv6Unavailable, EIdException);

class EIdSocketError : public EIdException {
    DECLARE_CLASS(EIdSocketError, EIdException)
public:
    EIdSocketError() = default;
    EIdSocketError(const std::string& Msg, int ALastError) : EIdException(Msg), LastError(ALastError) {}
    int LastError = 0;
};
DECLARE_EXCEPTION(EIdNotASocket, EIdSocketError);

namespace IdResourceStrings {
inline constexpr const char* RSPackageSizeTooBig = "Package Size Too Big.";
inline constexpr const char* RSNotAllBytesSent = "Not all bytes sent.";
inline constexpr const char* RSInvalidIPv6Address = "%s is not a valid IPv6 address";
inline constexpr const char* RSIPVersionUnsupported = "The requested IPVersion / Address family is not supported.";
inline constexpr const char* RSSetSizeExceeded = "Set Size Exceeded.";
inline constexpr const char* RSInvalidServiceName = "%s is not a valid service.";
inline constexpr const char* RSIPv6Unavailable = "IPv6 unavailable";
inline constexpr const char* RSStackError = "Socket Error # %d\r\n%s";
inline constexpr const char* RSWinsockLoadError = "Error on loading Winsock2 library (%s)";
inline constexpr const char* RSWinsockCallError = "Error on call to Winsock2 library function %s";
}  // namespace IdResourceStrings
