// What the whole skin library shares about the loaded skin: the skin-wide values of its GLOBALINFO
// section, and the section name that a skin-wide section change announces.
#pragma once

#include "Messages.h"
#include <vector>

class TComponent;
class TsSkinManager;

#include "Graphics.h"
#include "System.h"

#include <string>

// The skin-wide values of the loaded skin; the skin manager owns one.
class TsSkinData : public TObject {
    DECLARE_CLASS(TsSkinData, TObject)
public:
    std::string SkinFolder;  // ends in "\"
    bool SkinActive = false;  // a skin is loaded and may be painted with
    double Version = 0;
    std::string Author;
    std::string Description;
    TColor Shadow1Color = 0;
    SmallInt Shadow1Offset = 0;
    SmallInt Shadow1Blur = 0;
    SmallInt Shadow1Transparency = 0;
    SmallInt ExtBorderWidth = 0;
    SmallInt ExtTitleHeight = 0;
    SmallInt ExtMaxTitleHeight = 0;
    SmallInt ExtFormOffset = 0;
    SmallInt ExtCenterOffset = 0;
    SmallInt ExtBorderMode = 0;
    TColor BorderColor = 0;  // 0xFF00FF: none
    SmallInt TitleButtonSpacing = 0;
    SmallInt TitleButtonVAlign = 0;
    SmallInt TitleRightMargin = 0;
    SmallInt TitleLeftMargin = 0;
    SmallInt TitleTopMargin = 0;
    SmallInt TitleButtonKeepHue = 0;
    SmallInt CloseButtonGlow = 0;
    SmallInt CloseButtonGlowMargin = 0;
    SmallInt MaxButtonGlow = 0;
    SmallInt MaxButtonGlowMargin = 0;
    SmallInt MinButtonGlow = 0;
    SmallInt MinButtonGlowMargin = 0;
};

// The section (upper case) that a skin-wide SKIN_SECTIONCHANGED is about.
extern std::string ChangedSection;

// Forms whose window procedure a form provider replaced; they get broadcasts through this list.
extern std::vector<TComponent*> HookedForms;
void AddHookedForm(TComponent* Form);
// Every occurrence of Form removed (a form added twice must not stay behind to receive a broadcast
// after it is freed); the last entry takes each freed slot.
void RemoveHookedForm(TComponent* Form);

// The executable's small and large shell icons (nil when it has none): the default title icon.
// Read by LoadAppIcons on first use: the shell's first icon request is slow, and only a skinned
// title bar without an icon of its own shows them.
extern TIcon* AppIconSmall;
extern TIcon* AppIconLarge;
void LoadAppIcons();

// A window that the dialog hook skins, as the broadcasts see it.
class TacDialogProviderLink {
public:
    // The wrapped dialog window, 0 while there is no wrapper.
    virtual HWND DialogWindow() const = 0;

protected:
    ~TacDialogProviderLink() = default;
};
// The dialog hook's providers; nil while the dialog hook has made none.
extern std::vector<TacDialogProviderLink*>* DialogProviders;
// The message to the application's plain forms (last to first), their skin-aware children and MDI
// client windows, then to the hooked forms.
void BroadcastToAllForms(TMessage& Message);
void BroadcastToHookedForms(TMessage& Message);
// Before and after a skin change: the visible skinned top-level forms of Manager stop drawing and
// are repainted afterwards; nothing while the application is minimised.
void LockFormsRedraw(TsSkinManager* Manager);
void UnlockFormsRedraw(TsSkinManager* Manager, bool Repaint);

// Shut-down: frees the application icons and empties the lists.
void sStyleSimplyFinalization();
