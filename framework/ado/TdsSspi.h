// Integrated security: the security tokens of the login come from the platform's SSPI
// ("Negotiate" for the current user), behind an interface that tests replace.
#pragma once

#include "TdsStream.h"

#include <memory>
#include <string>

class ITdsSspi {
public:
    virtual ~ITdsSspi() = default;
    // The first token for the server named by TargetName ("MSSQLSvc/host:port"). Raises ETdsError
    // (kind Login) naming the reason when the platform gives none.
    virtual TTdsBytes Start(const std::wstring& TargetName) = 0;
    // The answer to a token of the server; empty when nothing is to be sent.
    virtual TTdsBytes Next(const TTdsBytes& ServerToken) = 0;
};

std::unique_ptr<ITdsSspi> CreateNegotiateSspi();
