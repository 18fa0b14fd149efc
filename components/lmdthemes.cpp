#include "lmdthemes.h"

#include <string_view>

HMODULE ThemeLibraryHandle = nullptr;
bool ThemeLibraryLoaded = false;

const std::array<const char*, ThemeFunctionCount> ThemeFunctionNames = {
    "DrawThemeEdge",     "DrawThemeBackground",   "DrawThemeParentBackground",
    "DrawThemeText",     "DrawThemeIcon",         "OpenThemeData",
    "CloseThemeData",    "IsThemeBackgroundPartiallyTransparent",
    "GetThemeBackgroundContentRect",              "SetWindowTheme",
    "SetThemeAppProperties",                      "IsThemePartDefined",
    "GetThemeColor",     "GetThemeMetric",        "GetThemeString",
    "GetThemeBool",      "GetThemeInt",           "GetThemeEnumValue",
    "GetThemePosition",  "GetThemeFont",          "GetThemeRect",
    "GetThemeFilename",  "GetThemeSysColor",      "GetThemeSysColorBrush",
    "GetThemeSysBool",   "IsThemeActive",         "IsAppThemed",
    "GetWindowTheme",    "EnableThemeDialogTexture", "IsThemeDialogTextureEnabled",
    "EnableTheming"};

std::array<FARPROC, ThemeFunctionCount> ThemeFunctions{};

namespace {
FARPROC FunctionNamed(std::string_view Name) {
    for (int I = 0; I < ThemeFunctionCount; ++I)
        if (Name == ThemeFunctionNames[static_cast<size_t>(I)])
            return ThemeFunctions[static_cast<size_t>(I)];
    return nullptr;
}
}  // namespace

TIsThemeActive IsThemeActiveFunction() { return reinterpret_cast<TIsThemeActive>(reinterpret_cast<void*>(FunctionNamed("IsThemeActive"))); }
TSetThemeAppProperties SetThemeAppPropertiesFunction() {
    return reinterpret_cast<TSetThemeAppProperties>(reinterpret_cast<void*>(FunctionNamed("SetThemeAppProperties")));
}

void ThemeLibraryUnitInitialization() {
    ThemeLibraryHandle = LoadLibraryA("UxTheme.dll");
    ThemeLibraryLoaded = ThemeLibraryHandle != nullptr;
    if (!ThemeLibraryLoaded)
        return;
    for (int I = 0; I < ThemeFunctionCount; ++I)
        ThemeFunctions[static_cast<size_t>(I)] = GetProcAddress(ThemeLibraryHandle, ThemeFunctionNames[static_cast<size_t>(I)]);
}

void ThemeLibraryUnitFinalization() {
    ThemeFunctions.fill(nullptr);
    if (ThemeLibraryHandle)
        FreeLibrary(ThemeLibraryHandle);
    ThemeLibraryHandle = nullptr;
    ThemeLibraryLoaded = false;
}
