#include "TdsErrors.h"

#include <windows.h>

ETdsError::ETdsError(TTdsErrorKind K, std::string Msg, std::vector<TTdsMessage> Msgs, HRESULT Code)
    : EOleException(std::move(Msg),
                    Code                            ? Code
                    : K == TTdsErrorKind::Server    ? TdsErrorsInCommand
                    : K == TTdsErrorKind::Timeout   ? TdsAbortLimitReached
                    : K == TTdsErrorKind::Cancelled ? TdsCanceled
                                                    : TdsFail,
                    SqlProviderSource),
      Kind(K), Messages(std::move(Msgs)) {}

const char* const TdsTextNotFound = "[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.";
const char* const TdsTextTimeout = "Timeout expired";
const char* const TdsTextCancelled = "Operation cancelled";
const char* const TdsTextReadFailed =
    "[DBNETLIB][ConnectionRead (recv()).]General network error. Check your network documentation.";
const char* const TdsTextWriteFailed =
    "[DBNETLIB][ConnectionWrite (send()).]General network error. Check your network documentation.";
const char* const TdsTextInvalidServer = "[DBNETLIB][ConnectionOpen (ParseConnectParams()).]Invalid connection.";
const char* const TdsTextEncryption =
    "The server requires an encrypted connection (TLS); this program does not support it. Turn off 'Force "
    "Encryption' for this SQL Server instance or connect to another one.";
const char* const TdsTextProviderNotFound = "Provider cannot be found. It may not be properly installed.";
const char* const TdsTextClosed = "Operation is not allowed when the object is closed.";

std::string TdsProtocolErrorText(const char* What) { return std::string("Protocol error in TDS stream: ") + What; }
