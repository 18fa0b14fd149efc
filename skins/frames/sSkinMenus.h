// The skinned menus of a skin manager: the application's menus drawn by their owner. Every item of
// a popup menu gets the handlers here as its measuring and drawing events; an item is painted into
// a bitmap from the skin's "MENUITEM" section over the popup's background, which is built once per
// open popup from "MAINMENU" (with the glyph column's section and the optional extra line) and
// from which the popup window's border strips and shape are taken. A divider is drawn from the
// "DIVIDERV" border mask (a bevel line without one), a caption item ("-Word-") centred on the
// "TOOLBAR" section. The items of a form's menu bar are painted over the form image of its skin
// provider.
//
// One TsSkinableMenus belongs to each manager (its SkinableMenus); sSkinMenusInitialization() lets
// managers make theirs.
#pragma once

#include "Menus.h"
#include "sConst.h"
#include "sSkinManager.h"

#include <string>
#include <vector>

DECLARE_ENUM(TsMenuItemType, smCaption, smDivider, smNormal, smTopLine)
using TsMenuManagerDrawItemEvent = TMethodOf<TObject*, TCanvas*, TRect, TOwnerDrawState, TsMenuItemType>;
DECLARE_EVENT_NAME(TsMenuManagerDrawItemEvent)

// The background of one open popup, found by the popup's first item or by its window.
struct TacMenuInfo {
    TMenuItem* FirstItem = nullptr;
    TBitmap* Background = nullptr;  // owned by the list: 24-bit, the popup window's size
    HWND Window = nullptr;
    bool ExtraLineShown = false;
};
extern std::vector<TacMenuInfo> MenuBackgrounds;
// The extra line as last asked of the manager's OnGetMenuExtraLineData.
extern std::string ExtraLineSection;
extern std::string ExtraLineCaption;
extern TBitmap* ExtraLineGlyph;
// Margin + glyph width + Spacing of the last background built.
extern int GlyphColumnWidth;
// The kind of the item being measured or drawn.
extern TsMenuItemType CurrentItemType;

class TsSkinableMenus : public TPersistent, public TacSkinableMenusLink {
    DECLARE_CLASS(TsSkinableMenus, TPersistent)
public:
    explicit TsSkinableMenus(TsSkinManager* Manager);
    ~TsSkinableMenus() override;
    static void DefineClass(TClassBuilder<TsSkinableMenus>& B);

    // The engine's view
    void UpdateActive() override;
    void SetActive(bool Value) override;
    void HookMenu(TPopupMenu* Menu, bool Value) override;
    void ResetSkinBorderWidth() override { SkinBorderWidth = -1; }
    void HookPopupOfItem(TMenuItem* Item) override;
    void HookPopupOfWindow(HWND Window) override;

    // Handlers of the items
    void HookMainMenu(TMainMenu* Menu, bool Value);
    void HookItems(TMenuItem* Item, bool Value);
    void SetItemOwnerDraw(TMenuItem* Item, bool Value);
    virtual void DrawMenuItem(TObject* Sender, TCanvas* Canvas, TRect Rect, TOwnerDrawState State);
    void MeasureMenuItem(TObject* Sender, TCanvas* Canvas, int& Width, int& Height);
    virtual void DrawTopLineItem(TObject* Sender, TCanvas* Canvas, TRect Rect, TOwnerDrawState State);
    void MeasureTopLineItem(TObject* Sender, TCanvas* Canvas, int& Width, int& Height);

    // The popup's background record (Width 0: look up only, never build); true when found.
    bool FindMenuBackground(TMenuItem* Item, int Width, TacMenuInfo& Info, HWND Window, int Height);
    // Subclasses the popup window and cuts its shape from the background's corners.
    void HookPopupWindow(HWND Window, TBitmap* Background);
    // The border width of the "MAINMENU" border mask, cached until the manager loads a skin.
    int GetSkinBorderWidth();
    int ItemHeight(TMenuItem* Item, TCanvas* Canvas);
    // The popup's size from its items, for a popup whose window is not known.
    int PopupWidth(TMenuItem* Item, TCanvas* Canvas);
    int PopupHeight(TMenuItem* Item, TCanvas* Canvas);
    int ExtraLineWidthFor(const TacMenuInfo& Info) const;

    const TsMenuManagerDrawItemEvent& GetOnDrawItem() const { return OnDrawItem; }
    TFont* GetCaptionFont() const { return CaptionFont; }
    void SetCaptionFont(TFont* Value) { CaptionFont->Assign(Value); }

    int Margin = 2;
    TAlignment Alignment = taLeftJustify;
    int BevelWidth = 0;
    int BorderWidth = 3;
    TFont* CaptionFont = nullptr;  // owned
    int SkinBorderWidth = -1;
    int Spacing = 6;
    TsMenuManagerDrawItemEvent OnDrawItem;
    TAOR BorderRects;
    bool Active = false;
    TsSkinManager* Owner = nullptr;
    bool HookingPopup = false;

private:
    TBitmap* BuildMenuBackground(TMenuItem* Item, int Width, HWND Window, int Height);
    void PaintExtraLine(TBitmap* Background, int Height, bool Glyph);
    void DrawDivider(TMenuItem* Item, TCanvas* Canvas, TRect Rect, TBitmap* Background, int ExtraW);
    void DrawCaptionItem(TMenuItem* Item, TCanvas* Canvas, TRect Rect, TBitmap* Background, int ExtraW);
    void PaintItemGlyph(TMenuItem* Item, TBitmap* ItemBitmap, TRect Rect, TOwnerDrawState State);
    void HookComponents(TComponent* Owner, bool Value);
    TAdvancedMenuDrawItemEvent DrawHandler() { return TAdvancedMenuDrawItemEvent::Bind<&TsSkinableMenus::DrawMenuItem>(this); }
    TMenuMeasureItemEvent MeasureHandler() {
        return TMenuMeasureItemEvent::Bind<&TsSkinableMenus::MeasureMenuItem>(this);
    }
    TAdvancedMenuDrawItemEvent TopDrawHandler() {
        return TAdvancedMenuDrawItemEvent::Bind<&TsSkinableMenus::DrawTopLineItem>(this);
    }
    TMenuMeasureItemEvent TopMeasureHandler() {
        return TMenuMeasureItemEvent::Bind<&TsSkinableMenus::MeasureTopLineItem>(this);
    }
};

// The manager's skinned menus, or nil.
inline TsSkinableMenus* SkinableMenusOf(TsSkinManager* Manager) {
    return Manager ? dynamic_cast<TsSkinableMenus*>(Manager->SkinableMenus) : nullptr;
}

// Frees every background bitmap and empties MenuBackgrounds.
void FreeMenuBackgrounds();
// The kind of an item by its caption: "-" a divider, "-Word-" a caption item, else normal.
TsMenuItemType MenuItemType(TMenuItem* Item);
// The size of an item's glyph: its own bitmap, else its menu's images, else 16 x 16.
TSize MenuItemGlyphSize(TMenuItem* Item);
// The system's menu font, with the character set of the font of the menu's owner form and bold for
// a default item.
void AssignMenuFont(TFont* Font, TMenuItem* Item, bool Bold);
// The provider's window procedure passes WM_MEASUREITEM here: an item of the form's main menu is
// given the skinned handlers before it is measured.
void PrepareMeasuredMenuItem(TCustomForm* Form, TsSkinManager* Manager, const TMessage& Message);
// The skinned MDI parent's active child is maximised and has a window menu: its icon starts the
// parent's menu line. (A form of this framework always shows an icon: its class's.)
bool MDIChildIconShown();

void sSkinMenusInitialization();
void sSkinMenusFinalization();
