// Connection strings as the SQL Server provider reads them: ";"-separated key=value pairs, keys
// case-insensitive, values optionally in double or single quotes (the quote doubled inside).
#pragma once

#include "TdsClient.h"

#include <string>
#include <utility>
#include <vector>

struct TSqlConnectionString {
    std::wstring Provider;
    std::wstring DataSource;
    std::wstring InitialCatalog;
    std::wstring UserID;
    std::wstring Password;
    bool IntegratedSecurity = false;  // "Integrated Security=SSPI"
};

// The pairs in order, keys and values trimmed and unquoted. A pair without "=" or a broken quote
// raises ETdsError (kind Config).
std::vector<std::pair<std::wstring, std::wstring>> SplitConnectionString(const std::wstring& S);

// Reads the keys the provider knows (a later pair wins over an earlier one; unknown keys and
// "Persist Security Info" are ignored). A Provider other than "SQLOLEDB" or "SQLOLEDB.1" raises the
// provider's "Provider cannot be found. It may not be properly installed."
TSqlConnectionString ParseConnectionString(const std::wstring& S);

// A value as a connection string must hold it: quoted when it has ";", a quote or edge blanks.
std::wstring QuoteConnectionStringValue(const std::wstring& Value);
// S with Key set to Value: the first pair of that key replaced (later ones removed), else appended.
std::wstring SetConnectionStringValue(const std::wstring& S, const std::wstring& Key, const std::wstring& Value);

// What the TDS client needs from a parsed string; the time-out in seconds (0: none).
TTdsConnectParams SqlConnectParams(const TSqlConnectionString& C, unsigned ConnectionTimeoutSec = 15);
