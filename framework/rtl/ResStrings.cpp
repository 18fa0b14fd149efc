#include "ResStrings.h"

#include <atomic>

namespace {
std::atomic<TResStringLoader> Loader{nullptr};
}

std::string DefaultLoadResString(const TResStringRec* Res) {
    if (!Res)
        return {};
    if (Res->Literal)
        return Res->Literal;
    HMODULE Module = Res->Module ? *Res->Module : GetModuleHandleA(nullptr);
    char Buf[1024];
    int N = LoadStringA(Module, Res->Identifier, Buf, sizeof Buf);
    return N > 0 ? std::string(Buf, static_cast<size_t>(N)) : std::string();
}

std::string LoadResString(const TResStringRec* Res) {
    TResStringLoader Hook = Loader.load();
    return Hook ? Hook(Res) : DefaultLoadResString(Res);
}

std::string LoadStr(int Ident) {
    TResStringRec Rec{nullptr, static_cast<unsigned>(Ident), nullptr};
    return LoadResString(&Rec);
}

TResStringLoader SetResStringLoader(TResStringLoader NewLoader) { return Loader.exchange(NewLoader); }
TResStringLoader ResStringLoader() { return Loader.load(); }
