#include "JclRegistry.h"

#include "JclUnitVersioning.h"

namespace {
const TUnitVersionInfo Banner = UnitBanner("JclRegistry", 3321, "windows");
std::vector<TRootKey> RootKeys;
}  // namespace

const std::vector<TRootKey>& JclRootKeys() { return RootKeys; }

void JclRegistryInitialization() {
    static const struct {
        HKEY Key;
        const char* Name;
    } Keys[] = {
        {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"}, {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}, {HKEY_USERS, "HKEY_USERS"},
        {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"}, {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
        {HKEY_DYN_DATA, "HKEY_DYN_DATA"}, {HKEY_CLASSES_ROOT, "HKCR"}, {HKEY_CURRENT_USER, "HKCU"},
        {HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_USERS, "HKUS"}, {HKEY_PERFORMANCE_DATA, "HKPD"},
        {HKEY_CURRENT_CONFIG, "HKCC"}, {HKEY_DYN_DATA, "HKDD"},
    };
    RootKeys.clear();
    for (const auto& K : Keys) {
        const std::string Name = K.Name;
        RootKeys.push_back({K.Key, Name, std::wstring(Name.begin(), Name.end())});
    }
    RegisterProgramUnitBanner(Banner);
}

void JclRegistryFinalization() {
    RootKeys.clear();
    RootKeys.shrink_to_fit();
    UnregisterProgramUnitBanners();
}
