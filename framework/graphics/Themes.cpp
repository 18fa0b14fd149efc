#include "Themes.h"

namespace {
using TIsThemeActive = BOOL(WINAPI*)();
using TOpenThemeData = HANDLE(WINAPI*)(HWND, LPCWSTR);
using TCloseThemeData = HRESULT(WINAPI*)(HANDLE);
using TDrawThemeBackground = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
using TGetThemeBackgroundContentRect = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, RECT*);
using TDrawThemeParentBackground = HRESULT(WINAPI*)(HWND, HDC, RECT*);

// The library's entry points, looked up by name: a system without them has no styles.
template <class F>
F Entry(HMODULE Library, const char* Name) {
    return Library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Library, Name))) : nullptr;
}

// Styled standard controls come with version 6 of the common controls, which a program gets only
// through its manifest; without it the system draws them the classic way whatever the theme.
int CommonControlsVersion() {
    struct {
        DWORD cbSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformID;
    } Info{sizeof Info, 0, 0, 0, 0};
    HMODULE Module = GetModuleHandleA("comctl32.dll");
    bool Loaded = !Module;
    if (Loaded)
        Module = LoadLibraryA("comctl32.dll");
    using TDllGetVersion = HRESULT(CALLBACK*)(void*);
    if (auto GetVersion = Entry<TDllGetVersion>(Module, "DllGetVersion"))
        if (FAILED(GetVersion(&Info)))
            Info.dwMajorVersion = 0;
    if (Loaded && Module)
        FreeLibrary(Module);
    return static_cast<int>(Info.dwMajorVersion);
}

TThemeServices* Instance = nullptr;
}  // namespace

TThemeServices::TThemeServices() { FLibrary = LoadLibraryA("uxtheme.dll"); }

TThemeServices::~TThemeServices() {
    UpdateThemes();
    if (FLibrary)
        FreeLibrary(FLibrary);
}

bool TThemeServices::ThemesEnabled() {
    if (FEnabled < 0) {
        auto Active = Entry<TIsThemeActive>(FLibrary, "IsThemeActive");
        auto AppThemed = Entry<TIsThemeActive>(FLibrary, "IsAppThemed");
        FEnabled = Active && AppThemed && Active() && AppThemed() && CommonControlsVersion() >= 6 ? 1 : 0;
    }
    return FEnabled == 1;
}

void TThemeServices::UpdateThemes() {
    auto Close = Entry<TCloseThemeData>(FLibrary, "CloseThemeData");
    for (HANDLE& T : FThemes) {
        if (T && Close)
            Close(T);
        T = nullptr;
    }
    FEnabled = -1;
}

HANDLE TThemeServices::Theme(TThemedElement Element) {
    if (!FThemes[Element]) {
        auto Open = Entry<TOpenThemeData>(FLibrary, "OpenThemeData");
        static const wchar_t* Classes[] = {L"BUTTON", L"TOOLBAR"};
        if (Open)
            FThemes[Element] = Open(nullptr, Classes[Element]);
    }
    return FThemes[Element];
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedButton Detail) {
    TThemedElementDetails D;
    D.Element = teButton;
    if (Detail >= tbPushButtonNormal) {
        D.Part = 1;  // BP_PUSHBUTTON
        D.State = Detail - tbPushButtonNormal + 1;
    }
    return D;
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedToolBar Detail) {
    TThemedElementDetails D;
    D.Element = teToolBar;
    if (Detail >= ttbButtonNormal) {
        // Six states per part, parts from TP_BUTTON on.
        D.Part = (Detail - ttbButtonNormal) / 6 + 1;
        D.State = (Detail - ttbButtonNormal) % 6 + 1;
    }
    return D;
}

void TThemeServices::DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R) {
    if (!ThemesEnabled())
        return;
    if (auto Draw = Entry<TDrawThemeBackground>(FLibrary, "DrawThemeBackground"))
        if (HANDLE T = Theme(Details.Element))
            Draw(T, DC, Details.Part, Details.State, R, nullptr);
}

TRect TThemeServices::ContentRect(HDC DC, const TThemedElementDetails& Details, const TRect& R) {
    TRect Result = R;
    if (!ThemesEnabled())
        return Result;
    if (auto Content = Entry<TGetThemeBackgroundContentRect>(FLibrary, "GetThemeBackgroundContentRect"))
        if (HANDLE T = Theme(Details.Element))
            Content(T, DC, Details.Part, Details.State, R, Result);
    return Result;
}

void TThemeServices::DrawParentBackground(HWND Window, HDC Target, const TRect* R) {
    if (!ThemesEnabled())
        return;
    if (auto Draw = Entry<TDrawThemeParentBackground>(FLibrary, "DrawThemeParentBackground")) {
        TRect Copy = R ? *R : TRect{};
        Draw(Window, Target, R ? static_cast<RECT*>(Copy) : nullptr);
    }
}

TThemeServices* ThemeServices() {
    if (!Instance)
        Instance = Create<TThemeServices>();
    return Instance;
}

void FreeThemeServices() {
    TThemeServices* T = Instance;
    Instance = nullptr;
    FreeObject(T);
}
