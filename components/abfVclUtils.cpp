#include "abfVclUtils.h"

#include "abfSysUtils.h"

#include <shellapi.h>

namespace {
HWND ApplicationWindow() { return Application ? Application->Handle() : nullptr; }

struct TInstanceSearch {
    std::string ClassName, Title;
    HWND Own = nullptr;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchInstance(HWND W, LPARAM Param) {
    auto* S = reinterpret_cast<TInstanceSearch*>(Param);
    if (W == S->Own)
        return TRUE;
    char Class[256] = {};
    GetClassNameA(W, Class, sizeof Class);
    if (S->ClassName != Class)
        return TRUE;
    int Len = GetWindowTextLengthA(W);
    std::string Text(static_cast<std::size_t>(Len) + 1, '\0');
    Text.resize(static_cast<std::size_t>(GetWindowTextA(W, Text.data(), Len + 1)));
    if (Text != S->Title)
        return TRUE;
    S->Found = W;
    return FALSE;
}
}  // namespace

void ShowApplicationWindow() {
    HWND W = ApplicationWindow();
    if (W && IsWindow(W))
        ShowWindow(W, SW_SHOWNORMAL);
}

void HideApplicationWindow() {
    HWND W = ApplicationWindow();
    if (W && IsWindow(W) && IsWindowVisible(W))
        ShowWindow(W, SW_HIDE);
}

void ShowApplication() {
    ShowApplicationWindow();
    if (Application && Application->MainForm())
        Application->MainForm()->SetVisible(true);
}

void HideApplication() {
    HideApplicationWindow();
    if (Application && Application->MainForm())
        Application->MainForm()->SetVisible(false);
}

HWND FindPreviousInstance() {
    if (!Application)
        return nullptr;
    TInstanceSearch S{Application->ClassName(), Application->Title(), Application->Handle(), nullptr};
    EnumWindows(MatchInstance, reinterpret_cast<LPARAM>(&S));
    return S.Found;
}

bool ActivatePreviousInstance() {
    HWND W = FindPreviousInstance();
    if (!W || !IsWindow(W))
        return false;
    if (IsIconic(W))
        OpenIcon(W);
    else
        SetForegroundWindow(W);
    return true;
}

void ExtractShellIcon(int Index, TIcon* LargeIcon, TIcon* SmallIcon) {
    HICON Large = nullptr, Small = nullptr;
    try {
        std::string Library = SystemFolder() + "shell32.dll";
        ExtractIconExA(Library.c_str(), Index, LargeIcon ? &Large : nullptr, SmallIcon ? &Small : nullptr, 1);
        if (LargeIcon)
            LargeIcon->SetHandle(Large);
        Large = nullptr;
        if (SmallIcon)
            SmallIcon->SetHandle(Small);
    } catch (...) {
        if (Large)
            DestroyIcon(Large);
        if (Small)
            DestroyIcon(Small);
        if (LargeIcon)
            LargeIcon->SetHandle(nullptr);
        if (SmallIcon)
            SmallIcon->SetHandle(nullptr);
    }
}

void abfVclUtilsInitialization() {}
void abfVclUtilsFinalization() {}
