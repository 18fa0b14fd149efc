// Errors of the TDS client: one exception class (an EOleException, as the provider raised) with the
// kind of failure and the server's messages, and the provider's texts.
#pragma once

#include "ComObj.h"
#include <cstdint>

#include <string>
#include <vector>

// A message of the server: an ERROR or INFO token.
struct TTdsMessage {
    bool IsError = false;  // came as an ERROR token
    std::int32_t Number = 0;
    std::uint8_t State = 0;
    std::uint8_t Class = 0;  // severity
    std::wstring Text;
    std::wstring Server;
    std::wstring Procedure;
    std::int32_t Line = 0;

    // Only errors above class 10 fail a call; lower ones count as information.
    bool Fails() const { return IsError && Class > 10; }
};

enum class TTdsErrorKind {
    Server,      // the server reported an error (class above 10); the connection stays usable
    Login,       // the server refused the login; the connection is closed
    Timeout,     // the time-out passed; after a request the connection stays usable
    Cancelled,   // the request was cancelled; the connection stays usable
    Network,     // unreachable, refused or lost; the connection is closed
    Protocol,    // the peer broke the protocol; the connection is closed
    Unsupported, // the server asks for what the client does not do (encryption, old versions)
    Config,      // a bad connection string or server name
};

// HRESULTs the provider reported for these failures.
inline constexpr HRESULT TdsErrorsInCommand = static_cast<HRESULT>(0x80040E14);
inline constexpr HRESULT TdsAbortLimitReached = static_cast<HRESULT>(0x80040E31);  // time-out
inline constexpr HRESULT TdsCanceled = static_cast<HRESULT>(0x80040E4E);
inline constexpr HRESULT TdsFail = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT TdsProviderNotFound = static_cast<HRESULT>(0x800A0E7A);
inline constexpr HRESULT TdsObjectClosed = static_cast<HRESULT>(0x800A0E78);

class ETdsError : public EOleException {
    DECLARE_CLASS(ETdsError, EOleException)
public:
    ETdsError() = default;
    // Code 0: the provider's code for the kind.
    ETdsError(TTdsErrorKind K, std::string Msg, std::vector<TTdsMessage> Msgs = {}, HRESULT Code = 0);
    TTdsErrorKind Kind = TTdsErrorKind::Server;
    // Every message of the failed reply in order (errors and information); for a server error the
    // first one that fails gave the exception's text.
    std::vector<TTdsMessage> Messages;
};

// The provider's texts.
extern const char* const TdsTextNotFound;        // unreachable server
extern const char* const TdsTextTimeout;         // "Timeout expired"
extern const char* const TdsTextCancelled;
extern const char* const TdsTextReadFailed;      // connection lost while reading
extern const char* const TdsTextWriteFailed;     // connection lost while sending
extern const char* const TdsTextInvalidServer;   // a Data Source that names no server
extern const char* const TdsTextEncryption;      // the server insists on encryption
extern const char* const TdsTextProviderNotFound;
extern const char* const TdsTextClosed;          // a request on a closed connection
std::string TdsProtocolErrorText(const char* What);
