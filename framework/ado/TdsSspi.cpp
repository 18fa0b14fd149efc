#include "TdsSspi.h"

#include "TdsErrors.h"

#define SECURITY_WIN32
#include <windows.h>
#include <security.h>

#include <cstdio>

namespace {

// The security library is loaded on the first integrated login, not with the program: loading it
// starts every security package of the platform, which costs a start-up that never logs in.
PSecurityFunctionTableW Sspi() {
    static PSecurityFunctionTableW Table = [] {
        HMODULE Lib = LoadLibraryA("secur32.dll");
        auto Init = Lib ? reinterpret_cast<INIT_SECURITY_INTERFACE_W>(
                              reinterpret_cast<void*>(GetProcAddress(Lib, "InitSecurityInterfaceW")))
                        : nullptr;
        return Init ? Init() : nullptr;
    }();
    if (!Table)
        throw ETdsError(TTdsErrorKind::Login,
                        "Integrated security is not available: the security library cannot be loaded.");
    return Table;
}

class TNegotiateSspi : public ITdsSspi {
public:
    ~TNegotiateSspi() override {
        if (FHaveContext)
            Sspi()->DeleteSecurityContext(&FContext);
        if (FHaveCredentials)
            Sspi()->FreeCredentialsHandle(&FCredentials);
    }

    TTdsBytes Start(const std::wstring& TargetName) override {
        FTarget = TargetName;
        TimeStamp Expiry;
        SECURITY_STATUS S = Sspi()->AcquireCredentialsHandleW(nullptr, const_cast<SEC_WCHAR*>(L"Negotiate"), SECPKG_CRED_OUTBOUND,
                                                      nullptr, nullptr, nullptr, nullptr, &FCredentials, &Expiry);
        if (S != SEC_E_OK)
            Fail("the security package \"Negotiate\" has no credentials for the current user", S);
        FHaveCredentials = true;
        return Step(nullptr);
    }

    TTdsBytes Next(const TTdsBytes& ServerToken) override { return Step(&ServerToken); }

private:
    [[noreturn]] static void Fail(const char* Why, SECURITY_STATUS S) {
        char Buf[320];
        std::snprintf(Buf, sizeof Buf, "Integrated security is not available: %s (status 0x%08lX).", Why,
                      static_cast<unsigned long>(S));
        throw ETdsError(TTdsErrorKind::Login, Buf);
    }

    TTdsBytes Step(const TTdsBytes* In) {
        SecBuffer InBuf{In ? static_cast<unsigned long>(In->size()) : 0, SECBUFFER_TOKEN,
                        In ? const_cast<std::uint8_t*>(In->data()) : nullptr};
        SecBufferDesc InDesc{SECBUFFER_VERSION, 1, &InBuf};
        SecBuffer OutBuf{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc OutDesc{SECBUFFER_VERSION, 1, &OutBuf};
        ULONG Attrs = 0;
        TimeStamp Expiry;
        SECURITY_STATUS S = Sspi()->InitializeSecurityContextW(
            &FCredentials, FHaveContext ? &FContext : nullptr, const_cast<SEC_WCHAR*>(FTarget.c_str()),
            ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_CONNECTION, 0, SECURITY_NATIVE_DREP, In ? &InDesc : nullptr, 0,
            &FContext, &OutDesc, &Attrs, &Expiry);
        if (S == SEC_I_COMPLETE_NEEDED || S == SEC_I_COMPLETE_AND_CONTINUE)
            Sspi()->CompleteAuthToken(&FContext, &OutDesc);
        if (S == SEC_E_OK || S == SEC_I_CONTINUE_NEEDED || S == SEC_I_COMPLETE_NEEDED || S == SEC_I_COMPLETE_AND_CONTINUE)
            FHaveContext = true;
        TTdsBytes Out;
        if (OutBuf.pvBuffer) {
            const auto* P = static_cast<const std::uint8_t*>(OutBuf.pvBuffer);
            Out.assign(P, P + OutBuf.cbBuffer);
            Sspi()->FreeContextBuffer(OutBuf.pvBuffer);
        }
        if (FAILED(S))
            Fail("the security package \"Negotiate\" could not make a logon token", S);
        if (!In && Out.empty())
            Fail("the security package \"Negotiate\" gave an empty logon token", S);
        return Out;
    }

    std::wstring FTarget;
    CredHandle FCredentials{};
    CtxtHandle FContext{};
    bool FHaveCredentials = false;
    bool FHaveContext = false;
};

}  // namespace

std::unique_ptr<ITdsSspi> CreateNegotiateSspi() { return std::make_unique<TNegotiateSspi>(); }
