// Exceptions and the run-time library's general routines.
#pragma once

#include "System.h"

#include <string>

// Root of every error the framework and the system raise. Thrown by value, caught as
// `const Exception&`.
class Exception : public TObject {
    DECLARE_CLASS(Exception, TObject)
public:
    Exception() = default;
    explicit Exception(std::string Msg) : FMessage(std::move(Msg)) {}
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;

    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string Msg) { FMessage = std::move(Msg); }
    int HelpContext = 0;

private:
    std::string FMessage;
};

// Declares an exception class with the constructors of its parent.
#define DECLARE_EXCEPTION(E, P)       \
    class E : public P {              \
        DECLARE_CLASS(E, P)           \
    public:                           \
        using P::P;                   \
        E() = default;                \
    }

DECLARE_EXCEPTION(EAbstractError, Exception);
DECLARE_EXCEPTION(EInvalidCast, Exception);
DECLARE_EXCEPTION(EConvertError, Exception);
