// The Menus unit: menu items, main menus and popup menus over the system's menus, short cuts.
//
// Items form a tree under the menu's Items; form files nest them:
//
//   object PopupMenu: TPopupMenu
//     OnPopup = PopupMenuPopup
//     object pmOpenProgram: TMenuItem
//       Caption = 'Open'
//       Default = True
//       OnClick = pmOpenProgramClick
//     end
//     object N1: TMenuItem
//       Caption = '-'                  // a separator
//     end
//   end
//
// Every item has a command number that is unique in the process, so whichever window receives the
// system's WM_COMMAND for a menu (a form for its menu bar, the popup menus' hidden window) passes it
// to DispatchMenuCommand, which clicks the item. The system menu is built again from the items
// whenever they change (lazily, on the next use of the menu's Handle).
//
// A form's key path asks its main menu through MenuIsShortCut: an item fires on its ShortCut even
// while it is invisible (the program's hidden help item on F1), as long as it and its parents are
// enabled.
#pragma once

#include "Controls.h"
#include "ImgList.h"
#include "StdCtrls.h"

#include <string>
#include <vector>

class TMenu;
class TMenuItem;
class TPopupMenu;

// A short cut: a virtual key in the low byte plus these flags.
using TShortCut = Word;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+Shift+F1", "Del", "A"; "" for scNone. Key names are the English ones the platform uses.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse, without regard to case; scNone for text it does not know.
TShortCut TextToShortCut(const std::string& Text);

DECLARE_ENUM(TMenuBreak, mbNone, mbBreak, mbBarBreak)
DECLARE_ENUM(TFindItemKind, fkCommand, fkHandle, fkShortCut)
DECLARE_ENUM(TPopupAlignment, paLeft, paRight, paCenter)
DECLARE_ENUM(TTrackButton, tbRightButton, tbLeftButton)
DECLARE_ENUM(TMenuAnimations, maLeftToRight, maRightToLeft, maTopToBottom, maBottomToTop, maNone)
DECLARE_SET(TMenuAnimation, TMenuAnimations)

namespace MenusConsts {
inline constexpr const char* SMenuIndexError = "Menu index out of range";
inline constexpr const char* SMenuReinserted = "Menu inserted twice";
inline constexpr const char* SMenuNotFound = "Sub-menu is not in menu";
inline constexpr const char* SNoMoreCommands = "Too many menu items";
}  // namespace MenusConsts
DECLARE_EXCEPTION(EMenuError, Exception);

// Owner-drawn items (the menu's OwnerDraw): the item asks for its size and paints itself on a canvas
// over the system's DC; Selected is odSelected of the state.
using TMenuMeasureItemEvent = TMethodOf<TObject*, TCanvas*, int&, int&>;
using TMenuDrawItemEvent = TMethodOf<TObject*, TCanvas*, TRect, bool>;
using TAdvancedMenuDrawItemEvent = TMethodOf<TObject*, TCanvas*, TRect, TOwnerDrawState>;
DECLARE_EVENT_NAME(TMenuMeasureItemEvent)
DECLARE_EVENT_NAME(TMenuDrawItemEvent)
DECLARE_EVENT_NAME(TAdvancedMenuDrawItemEvent)

class TMenuItem : public TComponent {
    DECLARE_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TMenuItem>& B);

    // The tree
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;  // EMenuError "Menu index out of range"
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);  // EMenuError for an item that already has a parent
    void Delete(int Index);                   // takes the item out without freeing it
    void Remove(TMenuItem* Item);
    // Frees every child item.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    TMenuItem* Find(const std::string& ACaption) const;  // by caption without "&", case-insensitive
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    TMenu* GetParentMenu() const;
    bool IsLine() const { return FCaption == "-"; }

    // Properties
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    Byte GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(Byte Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    // A picture of its own, used when the menu has no Images or the item no ImageIndex.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value);

    // The command number the system reports for this item.
    Word Command() const { return FCommand; }
    // The system submenu of an item with children (built on demand).
    HMENU Handle();

    // Runs OnClick; with AutoCheck the check mark toggles first.
    virtual void Click();
    TNotifyEvent OnClick;

    // Owner drawing. MeasureItem: the standard size (a separator half a menu line high, other items
    // a menu line high and as wide as their caption, short cut and a glyph column on either side),
    // then OnMeasureItem. AdvancedDrawItem: OnAdvancedDrawItem, else OnDrawItem, else the standard
    // look (highlight colours when selected, grey text when disabled, a line for a separator).
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    virtual void AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;

protected:
    void ReadState(TReader& Reader) override;
    // Rebuild: the menu's structure changed (not only a state shown on an item).
    virtual void MenuChanged(bool Rebuild);

private:
    friend class TMenu;
    void AppendTo(HMENU Menu, TMenu* Owner);
    void FreeImageBitmap();
    void TurnSiblingsOff();
    bool BitmapStored() { return FBitmap && !FBitmap->Empty(); }

    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on a menu's root item
    std::vector<TMenuItem*> FItems;
    std::string FCaption;
    std::string FHint;
    bool FChecked = false;
    bool FEnabled = true;
    bool FDefault = false;
    bool FVisible = true;
    bool FRadioItem = false;
    bool FAutoCheck = false;
    Byte FGroupIndex = 0;
    TMenuBreak FBreak = mbNone;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    int FHelpContext = 0;
    Word FCommand = 0;
    HMENU FHandle = nullptr;
    TBitmap* FBitmap = nullptr;
    HBITMAP FImageBitmap = nullptr;  // the picture handed to the system menu
};

class TMenu : public TComponent {
    DECLARE_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TMenu>& B);

    // The root item; its children are the menu's top-level items.
    TMenuItem* Items() const { return FItems; }
    // The system menu, built from the items when needed.
    HMENU Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The window that shows this menu (a form for its menu bar); settable, as skin hooks use it.
    HWND WindowHandle() const { return FWindowHandle; }
    virtual void SetWindowHandle(HWND Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);

    // fkCommand: a command number; fkHandle: a submenu's HMENU; fkShortCut: a short cut, visible
    // or not. Null when none.
    TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
    // Clicks the enabled item whose short cut the key message is; true when one did.
    bool IsShortCut(TWMKey& Message);
    // Clicks the item with this command number; true when it is one of this menu's.
    bool DispatchCommand(Word ACommand);
    // WM_INITMENUPOPUP for a submenu of this menu: its item's OnClick runs (items fill submenus there).
    bool DispatchPopup(HMENU AMenuHandle);

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;

    // The items changed: the system menu is built again on its next use.
    virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    virtual HMENU CreateMenuHandle() = 0;
    void DestroyMenuHandle();
    // The top-level items the system menu holds, in their order (the root's children).
    virtual std::vector<TMenuItem*> ShownItems() const;

private:
    void ImageListChange(TObject* Sender);

    TMenuItem* FItems = nullptr;
    HMENU FHandle = nullptr;
    HWND FWindowHandle = nullptr;
    TCustomImageList* FImages = nullptr;
    TChangeLink* FImageChangeLink = nullptr;
    bool FOwnerDraw = false;
};

class TMainMenu : public TMenu {
    DECLARE_CLASS(TMainMenu, TMenu)
public:
    using TMenu::TMenu;
    static void DefineClass(TClassBuilder<TMainMenu>& B);
    bool AutoMerge() const { return FAutoMerge; }
    void SetAutoMerge(bool Value) { FAutoMerge = Value; }
    // Shows the menu as the window's menu bar (0 detaches it).
    void SetWindowHandle(HWND Value) override;
    void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;
    // The active MDI child's menu on this (the MDI form's) bar: the child's items take the places of
    // this menu's items of their GroupIndex and come in order of GroupIndex (nil: this menu alone).
    void Merge(TMainMenu* Menu);
    TMainMenu* Merged() const { return FMerged; }

protected:
    HMENU CreateMenuHandle() override { return CreateMenu(); }
    std::vector<TMenuItem*> ShownItems() const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void UpdateMenuBar();
    // Position of Menu holds an item of this menu or of the merged one (not one the system added).
    bool HoldsOwnItem(HMENU Menu, int Position) const;
    bool FAutoMerge = false;
    TMainMenu* FMerged = nullptr;
};

class TPopupMenu : public TMenu {
    DECLARE_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    static void DefineClass(TClassBuilder<TPopupMenu>& B);

    // OnPopup, then the menu at the screen point; the chosen item's Click runs when the system's
    // command arrives (after Popup returns, from the message loop).
    virtual void Popup(int X, int Y);
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    TTrackButton TrackButton() const { return FTrackButton; }
    void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
    TMenuAnimation MenuAnimation() const { return FMenuAnimation; }
    void SetMenuAnimation(TMenuAnimation Value) { FMenuAnimation = Value; }
    // The hidden window that receives the popup menus' commands.
    static HWND PopupListWindow();

    TNotifyEvent OnPopup;

protected:
    HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
    virtual void DoPopup(TObject* Sender) { OnPopup(Sender); }

private:
    TPopupAlignment FAlignment = paLeft;
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
    TTrackButton FTrackButton = tbRightButton;
    TMenuAnimation FMenuAnimation;
};

// Clicks the item of any menu with this command number; true when there is one.
bool DispatchMenuCommand(Word Command);
// The item of any menu with this command number, or null (it may have been freed meanwhile).
TMenuItem* FindMenuItemByCommand(Word Command);
// WM_MEASUREITEM and WM_DRAWITEM of an owner-drawn menu item (CtlType ODT_MENU), answered by the
// item of that command number: true when one did. Windows that show menus pass theirs here.
bool DispatchMenuMeasureItem(MEASUREITEMSTRUCT* Info);
bool DispatchMenuDrawItem(DRAWITEMSTRUCT* Info);
// The main menu a form shows or owns (the first TMainMenu among its components), or null.
TMainMenu* FindMainMenu(TComponent* Form);
// The form's short cuts: its main menu's items, invisible ones included. TCustomForm::IsShortCut
// answers with this.
bool MenuIsShortCut(TComponent* Form, TWMKey& Message);

// The unit's start-up and shut-down: class registrations; the popup menus' hidden window.
void InitMenus();
void DoneMenus();
