// Theme services: whether the system draws controls with visual styles, and the few themed parts
// the skinned controls draw when it does (push buttons, tool-bar buttons and separators). Styles
// need an active theme and version 6 of the common controls, which the program does not ask for:
// so callers take their classic path (DrawFrameControl, DrawEdge) and nothing here draws.
#pragma once

#include "System.h"
#include "Types.h"

enum TThemedElement { teButton, teToolBar };

// Numbered as callers count them: 0 "don't care", 1 the root, then the states of each part in
// order (normal 2, hot 3, pressed 4, disabled 5 for the first part).
enum TThemedButton {
    tbButtonDontCare,
    tbButtonRoot,
    tbPushButtonNormal,
    tbPushButtonHot,
    tbPushButtonPressed,
    tbPushButtonDisabled,
    tbPushButtonDefaulted,
};

enum TThemedToolBar {
    ttbToolBarDontCare,
    ttbToolBarRoot,
    ttbButtonNormal,
    ttbButtonHot,
    ttbButtonPressed,
    ttbButtonDisabled,
    ttbButtonChecked,
    ttbButtonCheckedHot,
    ttbDropDownButtonNormal,
    ttbDropDownButtonHot,
    ttbDropDownButtonPressed,
    ttbDropDownButtonDisabled,
    ttbDropDownButtonChecked,
    ttbDropDownButtonCheckedHot,
    ttbSplitButtonNormal,
    ttbSplitButtonHot,
    ttbSplitButtonPressed,
    ttbSplitButtonDisabled,
    ttbSplitButtonChecked,
    ttbSplitButtonCheckedHot,
    ttbSplitButtonDropDownNormal,
    ttbSplitButtonDropDownHot,
    ttbSplitButtonDropDownPressed,
    ttbSplitButtonDropDownDisabled,
    ttbSplitButtonDropDownChecked,
    ttbSplitButtonDropDownCheckedHot,
    ttbSeparatorNormal,
    ttbSeparatorHot,
    ttbSeparatorPressed,
    ttbSeparatorDisabled,
    ttbSeparatorChecked,
    ttbSeparatorCheckedHot,
    ttbSeparatorVertNormal,
    ttbSeparatorVertHot,
    ttbSeparatorVertPressed,
    ttbSeparatorVertDisabled,
    ttbSeparatorVertChecked,
    ttbSeparatorVertCheckedHot,
};

// A part and state of an element as the visual-styles library numbers them.
struct TThemedElementDetails {
    TThemedElement Element = teButton;
    int Part = 0;
    int State = 0;
};

class TThemeServices : public TObject {
    DECLARE_CLASS(TThemeServices, TObject)
public:
    TThemeServices();
    ~TThemeServices() override;

    // The visual-styles library is there; styles are on for the system and for this program's
    // common controls.
    bool ThemesAvailable() const { return FLibrary != nullptr; }
    bool ThemesEnabled();
    // Reads the state again (after WM_THEMECHANGED) and drops the open theme data.
    void UpdateThemes();

    static TThemedElementDetails GetElementDetails(TThemedButton Detail);
    static TThemedElementDetails GetElementDetails(TThemedToolBar Detail);
    // Only while ThemesEnabled; otherwise they do nothing (ContentRect gives R back).
    void DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R);
    TRect ContentRect(HDC DC, const TThemedElementDetails& Details, const TRect& R);
    void DrawParentBackground(HWND Window, HDC Target, const TRect* R);

private:
    HANDLE Theme(TThemedElement Element);
    HMODULE FLibrary = nullptr;
    HANDLE FThemes[2] = {nullptr, nullptr};
    int FEnabled = -1;  // unknown until asked
};

// The one instance, made on first use and freed by GraphicsFinalization.
TThemeServices* ThemeServices();
void FreeThemeServices();
