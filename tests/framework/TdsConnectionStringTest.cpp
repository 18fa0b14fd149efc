// Connection strings as the program builds and stores them.
#include "ConnectionString.h"

#include <gtest/gtest.h>

namespace {

std::string FailureText(const std::wstring& S, HRESULT* Code = nullptr) {
    try {
        ParseConnectionString(S);
    } catch (const ETdsError& E) {
        EXPECT_EQ(E.Kind, TTdsErrorKind::Config);
        if (Code)
            *Code = E.ErrorCode;
        return E.Message();
    }
    return "accepted";
}

}  // namespace

TEST(TdsConnectionString, TheProgramsTwoForms) {
    TSqlConnectionString W = ParseConnectionString(
        L"Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=master;"
        L"Data Source=PC1\\SQL2005");
    EXPECT_TRUE(W.IntegratedSecurity);
    EXPECT_EQ(W.DataSource, L"PC1\\SQL2005");
    EXPECT_EQ(W.InitialCatalog, L"master");

    TSqlConnectionString L = ParseConnectionString(
        L"Provider=SQLOLEDB.1;Password=;Persist Security Info=False;User ID=sa;Initial Catalog=master;Data Source=.");
    EXPECT_FALSE(L.IntegratedSecurity);
    EXPECT_EQ(L.UserID, L"sa");
    EXPECT_EQ(L.Password, L"");
    EXPECT_EQ(L.DataSource, L".");
    TTdsConnectParams P = SqlConnectParams(L, 20);
    EXPECT_EQ(P.UserName, L"sa");
    EXPECT_EQ(P.Database, L"master");
    EXPECT_EQ(P.ConnectTimeoutMs, 20000u);
}

TEST(TdsConnectionString, KeysValuesAndQuotes) {
    TSqlConnectionString C = ParseConnectionString(
        L" provider = sqloledb ;DATA SOURCE= host,1500 ;Password=\"a;b\"\"c\";user id='it''s';;Initial Catalog=x;"
        L"Initial Catalog=y;Integrated Security=True");
    EXPECT_EQ(C.Provider, L"sqloledb");
    EXPECT_EQ(C.DataSource, L"host,1500");
    EXPECT_EQ(C.Password, L"a;b\"c");
    EXPECT_EQ(C.UserID, L"it's");
    EXPECT_EQ(C.InitialCatalog, L"y") << "a later key wins";
    EXPECT_FALSE(C.IntegratedSecurity) << "only SSPI asks for it";
}

TEST(TdsConnectionString, ProviderAndFormatErrors) {
    const std::string NotFound = "Provider cannot be found. It may not be properly installed.";
    HRESULT Code = 0;
    EXPECT_EQ(FailureText(L"Provider=OTHER.1;Data Source=x", &Code), NotFound);
    EXPECT_EQ(Code, static_cast<HRESULT>(0x800A0E7A));
    EXPECT_EQ(FailureText(L"Data Source=x"), NotFound);
    const std::string BadFormat = "Format of the connection string is invalid.";
    EXPECT_EQ(FailureText(L"Provider=SQLOLEDB;Data Source"), BadFormat);
    EXPECT_EQ(FailureText(L"Provider=SQLOLEDB;Password=\"open"), BadFormat);
    EXPECT_EQ(FailureText(L"Provider=SQLOLEDB;Password=\"a\"b"), BadFormat);
    EXPECT_EQ(FailureText(L"=x;Provider=SQLOLEDB"), BadFormat);
}

TEST(TdsConnectionString, SettingAKeyKeepsTheRestAsWritten) {
    const std::wstring S = L"Provider=SQLOLEDB.1;Password=p;Data Source=PC1\\SQL2005";
    EXPECT_EQ(SetConnectionStringValue(S, L"provider", L"SQLOLEDB"),
              L"Provider=SQLOLEDB;Password=p;Data Source=PC1\\SQL2005");
    EXPECT_EQ(SetConnectionStringValue(L"Data Source=x", L"Provider", L"SQLOLEDB.1"),
              L"Data Source=x;Provider=SQLOLEDB.1");
    EXPECT_EQ(SetConnectionStringValue(L"", L"Provider", L"SQLOLEDB.1"), L"Provider=SQLOLEDB.1");
    EXPECT_EQ(SetConnectionStringValue(L"Password=1;Data Source=x;password=2", L"Password", L"a;b"),
              L"Password=\"a;b\";Data Source=x;");
    EXPECT_EQ(QuoteConnectionStringValue(L"plain"), L"plain");
    EXPECT_EQ(QuoteConnectionStringValue(L"say \"hi\""), L"'say \"hi\"'");
    EXPECT_EQ(ParseConnectionString(L"Provider=SQLOLEDB;Password=" + QuoteConnectionStringValue(L"'\";x ")).Password,
              L"'\";x ");
}
