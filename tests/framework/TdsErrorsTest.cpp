// The OLE error classes the ADO layer raises, and the provider's codes per kind of failure.
#include "TdsErrors.h"

#include <gtest/gtest.h>

TEST(TdsErrors, CaughtThroughEveryBaseWithTheProvidersCode) {
    const std::pair<TTdsErrorKind, HRESULT> Cases[] = {
        {TTdsErrorKind::Server, static_cast<HRESULT>(0x80040E14)},
        {TTdsErrorKind::Timeout, static_cast<HRESULT>(0x80040E31)},
        {TTdsErrorKind::Cancelled, static_cast<HRESULT>(0x80040E4E)},
        {TTdsErrorKind::Login, static_cast<HRESULT>(0x80004005)},
        {TTdsErrorKind::Network, static_cast<HRESULT>(0x80004005)},
    };
    TTdsMessage First, Second;
    First.Number = 3201;
    Second.Number = 3013;
    for (const auto& [Kind, Code] : Cases) {
        try {
            throw ETdsError(Kind, "text", {First, Second});
        } catch (const Exception& E) {  // the program catches the root class and reads the message
            EXPECT_EQ(E.Message(), "text");
            const auto* O = DynCast<EOleException>(const_cast<Exception*>(&E));
            ASSERT_NE(O, nullptr);
            EXPECT_EQ(O->ErrorCode, Code);
            EXPECT_EQ(O->Source, "Microsoft OLE DB Provider for SQL Server");
            EXPECT_TRUE(E.InheritsFrom(EOleSysError::StaticClass()));
            EXPECT_TRUE(E.InheritsFrom(EOleError::StaticClass()));
            EXPECT_EQ(static_cast<const ETdsError&>(E).Messages.size(), 2u);
        }
    }
    EXPECT_EQ(ETdsError(TTdsErrorKind::Config, "x", {}, TdsProviderNotFound).ErrorCode, TdsProviderNotFound);
}

TEST(TdsErrors, OleCheckPassesSuccessAndRaisesFailure) {
    EXPECT_EQ(OleCheck(S_FALSE), S_FALSE);
    try {
        OleCheck(E_OUTOFMEMORY);
        ADD_FAILURE() << "no error";
    } catch (const EOleSysError& E) {
        EXPECT_EQ(E.ErrorCode, E_OUTOFMEMORY);
        EXPECT_FALSE(E.Message().empty());
        EXPECT_NE(E.Message().back(), '.') << "the system text without its final period";
    }
}
