// The skin manager: the component that owns the loaded skin (its section, image and texture records)
// and answers the index and colour lookups every painter makes. The first manager created is the
// default manager, used by every control whose own SkinManager is nil; without any manager every
// skinned control stays on its standard path.
#pragma once

#include "Classes.h"
#include "Lists.h"
#include "Streams.h"
#include "Graphics.h"
#include "Menus.h"
#include "sConst.h"
#include "sMaskData.h"
#include "sStyleSimply.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class TsSkinManager;
class TJPEGImage;
class TMemIniFile;
class TacSkinConvertor;
class TPNGGraphic;

// Indexes of the sections and images that painters and hooks read often; -1 when absent.
struct TsCommonIndexes {
    int GlobalInfo = -1;
    int ExBorder = -1;
    int CheckBoxChecked = -1, CheckBoxUnchecked = -1, CheckBoxGrayed = -1;
    int RadioChecked = -1, RadioUnchecked = -1, RadioGrayed = -1;
    int SmallBoxChecked = -1, SmallBoxUnchecked = -1, SmallBoxGrayed = -1;
    int ComboButton = -1, ComboButtonBorder = -1, ComboButtonTexture = -1, ComboButtonHotTexture = -1;
    int ComboGlyph = -1;
    // Top, bottom, left, right.
    int Tab[4] = {-1, -1, -1, -1}, TabBorder[4] = {-1, -1, -1, -1};
    // Top, bottom, left, right.
    int ScrollButton[4] = {-1, -1, -1, -1}, ScrollButtonBorder[4] = {-1, -1, -1, -1};
    int ScrollButtonTexture[4] = {-1, -1, -1, -1}, ScrollButtonHotTexture[4] = {-1, -1, -1, -1};
    int ScrollButtonGlyph[4] = {-1, -1, -1, -1};
    // Vertical, horizontal.
    int ScrollSlider[2] = {-1, -1}, ScrollSliderBorder[2] = {-1, -1}, ScrollSliderGlyph[2] = {-1, -1};
    int ScrollSliderTexture[2] = {-1, -1}, ScrollSliderHotTexture[2] = {-1, -1};
    // 1H, 1V, 2H, 2V.
    int ScrollBar[4] = {-1, -1, -1, -1}, ScrollBarBorder[4] = {-1, -1, -1, -1};
    int ScrollBarTexture[4] = {-1, -1, -1, -1}, ScrollBarHotTexture[4] = {-1, -1, -1, -1};
};


// ---------------------------------------------------------------------------------------------
// Skins kept in the form file: a packed skin stream ("Data"), or the skin spelled out as sections,
// images, patterns and a master bitmap.

class TsSkinGeneral : public TCollectionItem {
    DECLARE_CLASS(TsSkinGeneral, TCollectionItem)
public:
    explicit TsSkinGeneral(TCollection* ACollection) : TCollectionItem(ACollection) {}
    static void DefineClass(TClassBuilder<TsSkinGeneral>& B);

    std::string Name;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    int HotImagePercent = 0;
    int Transparency = 0;
    int HotTransparency = 0;
    int FadingIterations = 0;
    std::string HotFontColor;  // five integers separated by blanks
    int HotGradientPercent = 0;
    int GradientPercent = 0;
    int ImagePercent = 0;
    std::string HotGradientData;
    std::string GradientData;
    std::string ParentClass;
    TColor HotColor = 0;
    TColor Color = 0;
    std::string SectionName;
    std::string FontColor;  // text colour, then contour colours left, top, right, bottom
    bool ReservedBoolean = false;
    bool GiveOwnFont = false;
    int GlowCount = 0;
    int GlowMargin = 0;
    TColor HotGlowSize = 0;  // only the low byte is used
    TColor GlowColor = 0;
    TColor HotGlowColor = 0;
    TColor GlowSize = 0;
};

class TsSkinImage : public TCollectionItem {
    DECLARE_CLASS(TsSkinImage, TCollectionItem)
public:
    explicit TsSkinImage(TCollection* ACollection);
    ~TsSkinImage() override;
    static void DefineClass(TClassBuilder<TsSkinImage>& B);
    TBitmap* Image() const { return FImage; }
    void SetImage(TBitmap* Value) { FImage->Assign(Value); }

    std::string Name;
    std::string SectionName;
    std::string PropertyName;
    int MaskType = 0;
    int ImageCount = 0;
    int Top = 0, Left = 0, Right = 0, Bottom = 0;  // the rectangle in the master bitmap
    int BorderWidth = 0;
    int StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    int WR = 0, WT = 0, WL = 0, WB = 0;

private:
    TBitmap* FImage = nullptr;
};

class TsSkinPattern : public TCollectionItem {
    DECLARE_CLASS(TsSkinPattern, TCollectionItem)
public:
    explicit TsSkinPattern(TCollection* ACollection);
    ~TsSkinPattern() override;
    static void DefineClass(TClassBuilder<TsSkinPattern>& B);
    TJPEGImage* Image() const { return FImage; }
    void SetImage(TJPEGImage* Value);

    std::string Name;
    std::string SectionName;
    std::string PropertyName;

private:
    TJPEGImage* FImage = nullptr;
};

// The three item collections of a stored skin, owned by it.
template <class Item>
class TsStoredSkinItems : public TOwnedCollection {
public:
    explicit TsStoredSkinItems(TPersistent* Owner) : TOwnedCollection(Owner, Item::StaticClass()) {}
    Item* Items(int Index) const { return static_cast<Item*>(TCollection::Items(Index)); }
    Item* Add() { return static_cast<Item*>(TCollection::Add()); }
};
class TsSkinGenerals : public TsStoredSkinItems<TsSkinGeneral> {
    DECLARE_CLASS(TsSkinGenerals, TOwnedCollection)
public:
    using TsStoredSkinItems::TsStoredSkinItems;
};
class TsSkinImages : public TsStoredSkinItems<TsSkinImage> {
    DECLARE_CLASS(TsSkinImages, TOwnedCollection)
public:
    using TsStoredSkinItems::TsStoredSkinItems;
};
class TsSkinPatterns : public TsStoredSkinItems<TsSkinPattern> {
    DECLARE_CLASS(TsSkinPatterns, TOwnedCollection)
public:
    using TsStoredSkinItems::TsStoredSkinItems;
};

class TsStoredSkin : public TCollectionItem {
    DECLARE_CLASS(TsStoredSkin, TCollectionItem)
public:
    explicit TsStoredSkin(TCollection* ACollection);
    ~TsStoredSkin() override;
    static void DefineClass(TClassBuilder<TsStoredSkin>& B);
    // Copies the data stream, the name, the collections, the master bitmap and the skin-wide values.
    void Assign(TPersistent* Source) override;

    TsSkinGenerals* GeneralData() const { return FGeneralData; }
    void SetGeneralData(TsSkinGenerals* Value) { FGeneralData->Assign(Value); }
    TsSkinImages* Images() const { return FImages; }
    void SetImages(TsSkinImages* Value) { FImages->Assign(Value); }
    TsSkinPatterns* Patterns() const { return FPatterns; }
    void SetPatterns(TsSkinPatterns* Value) { FPatterns->Assign(Value); }
    TBitmap* MasterBitmap() const { return FMasterBitmap; }
    void SetMasterBitmap(TBitmap* Value) { FMasterBitmap->Assign(Value); }
    // The packed skin as it is stored; empty when the skin is spelled out.
    TMemoryStream* Data() const { return FData; }

    std::string Name;
    double Version = 0;
    std::string Description;
    std::string Author;
    int Shadow1Offset = 0;
    TColor Shadow1Color = 0;
    int Shadow1Blur = -1;
    int Shadow1Transparency = 0;
    TColor BorderColor = 0xFF00FF;

protected:
    void DefineProperties(TFiler& Filer) override;

private:
    TsSkinImages* FImages = nullptr;
    TsSkinGenerals* FGeneralData = nullptr;
    TsSkinPatterns* FPatterns = nullptr;
    TBitmap* FMasterBitmap = nullptr;
    TMemoryStream* FData = nullptr;
};

class TsStoredSkins : public TsStoredSkinItems<TsStoredSkin> {
    DECLARE_CLASS(TsStoredSkins, TOwnedCollection)
public:
    using TsStoredSkinItems::TsStoredSkinItems;
    // The first skin named exactly Name; -1.
    int IndexOf(const std::string& Name) const;
    // Copies nothing: form streaming fills the collection item by item.
    void Assign(TPersistent*) override {}
};

// ---------------------------------------------------------------------------------------------
// Animation options

class TacBtnEffects : public TPersistent {
    DECLARE_CLASS(TacBtnEffects, TPersistent)
public:
    TacBtnEffects() = default;
    static void DefineClass(TClassBuilder<TacBtnEffects>& B);
    TacBtnEvents Events{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp};
    TsSkinManager* Manager = nullptr;
};

class TacFormAnimation : public TPersistent {
    DECLARE_CLASS(TacFormAnimation, TPersistent)
public:
    TacFormAnimation() = default;
    static void DefineClass(TClassBuilder<TacFormAnimation>& B);
    Word Time = 0;  // milliseconds
    bool Active = true;
    TacAnimType Mode = atAero;
};
class TacFormShow : public TacFormAnimation {
    DECLARE_CLASS(TacFormShow, TacFormAnimation)
public:
    static void DefineClass(TClassBuilder<TacFormShow>& B);
};
class TacFormHide : public TacFormAnimation {
    DECLARE_CLASS(TacFormHide, TacFormAnimation)
public:
    static void DefineClass(TClassBuilder<TacFormHide>& B);
};
class TacPageChange : public TacFormAnimation {
    DECLARE_CLASS(TacPageChange, TacFormAnimation)
};
class TacDialogShow : public TacFormAnimation {
    DECLARE_CLASS(TacDialogShow, TacFormAnimation)
public:
    static void DefineClass(TClassBuilder<TacDialogShow>& B);
};
class TacSkinChanging : public TacFormAnimation {
    DECLARE_CLASS(TacSkinChanging, TacFormAnimation)
public:
    TacSkinChanging() {
        Time = 100;
        Mode = atFading;
    }
    static void DefineClass(TClassBuilder<TacSkinChanging>& B);
};

class TacAnimEffects : public TPersistent {
    DECLARE_CLASS(TacAnimEffects, TPersistent)
public:
    TacAnimEffects();
    ~TacAnimEffects() override;
    static void DefineClass(TClassBuilder<TacAnimEffects>& B);
    TacBtnEffects* Buttons = nullptr;
    TacDialogShow* DialogShow = nullptr;
    TacFormShow* FormShow = nullptr;
    TacFormHide* FormHide = nullptr;
    TacSkinChanging* SkinChanging = nullptr;
    TacPageChange* PageChange = nullptr;
    TacFormHide* DialogHide = nullptr;
    TsSkinManager* Manager = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Menus

// The manager's menu options (its published MenuSupport): the section of the popups' glyph column
// and the optional extra line, a vertical strip with a caption down the left of a popup.
class TacMenuSupport : public TPersistent {
    DECLARE_CLASS(TacMenuSupport, TPersistent)
public:
    TacMenuSupport();
    ~TacMenuSupport() override;
    static void DefineClass(TClassBuilder<TacMenuSupport>& B);
    TFont* GetExtraLineFont() const { return ExtraLineFont; }
    void SetExtraLineFont(TFont* Value) { ExtraLineFont->Assign(Value); }

    std::string IcoLineSkin;
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
    TFont* ExtraLineFont = nullptr;  // owned
};

// Asked for the extra line of the popup whose first item is FirstItem: its section, caption, glyph
// (handed over to the menus, which free it) and whether it shows.
using TacGetExtraLineData = TMethodOf<TMenuItem*, std::string&, std::string&, TBitmap*&, bool&>;
DECLARE_EVENT_NAME(TacGetExtraLineData)

// The manager's skinned menus as the engine reaches them; the frames library makes them (its
// sSkinMenus unit sets TsSkinManager::MakeSkinableMenus at start-up).
class TacSkinableMenusLink {
public:
    virtual ~TacSkinableMenusLink() = default;
    // Skinned while the manager's skin is active.
    virtual void UpdateActive() = 0;
    virtual void SetActive(bool Value) = 0;
    // Gives a popup menu's items the skinned drawing (Value) or takes it away.
    virtual void HookMenu(TPopupMenu* Menu, bool Value) = 0;
    // The cached border width of the popups is read from the skin again.
    virtual void ResetSkinBorderWidth() = 0;
    // The popup window showing Item (found at the item's place on the screen), or Window, gets its
    // background and shape.
    virtual void HookPopupOfItem(TMenuItem* Item) = 0;
    virtual void HookPopupOfWindow(HWND Window) = 0;
};

// Posted by the skinned menus to the application window when a popup window could not be reached
// from an item's drawing: LParam is the item's command number (an item freed before the message
// arrives is then simply not found), or (the second message) the popup window.
inline constexpr UINT MenuBorderMsg = 0xBCB3;
inline constexpr UINT MenuBorderItemMsg = 0xBCB4;

// ---------------------------------------------------------------------------------------------
// The manager

// What a manager skins beyond its own controls: forms, standard dialogs, controls of other classes
// (through hooks picked by the class lists of its ThirdParty).
DECLARE_ENUM(TacSkinningRule, srStdForms, srStdDialogs, srThirdParty)
DECLARE_SET(TacSkinningRules, TacSkinningRule)

class TsSkinManager : public TComponent {
    DECLARE_CLASS(TsSkinManager, TComponent)
public:
    explicit TsSkinManager(TComponent* AOwner);
    ~TsSkinManager() override;
    static void DefineClass(TClassBuilder<TsSkinManager>& B);
    void AfterConstruction() override;
    void Loaded() override;

    // Published
    const std::string& GetSkinName() const { return SkinName; }
    // Loads the skin Value (a packed file of the folder when one exists) and tells every form; a skin
    // that fails to load is reported in the error box and the previous skin stays.
    void SetSkinName(const std::string& Value);
    bool GetActive() const { return Active; }
    void SetActive(bool Value);
    void SetHueOffset(int Value);
    void SetSaturation(int Value);
    bool GetIsDefault() const { return IsDefault(); }
    void SetIsDefault(bool Value);
    // The loaded skin's version with "." as decimal separator, "N/A" without an active skin.
    std::string GetSkinInfo() const;
    TNotifyEvent OnBeforeChange;
    TNotifyEvent OnAfterChange;
    bool SkinnedPopups = true;
    // Stores a changed value; switched on at run time, the default manager's menus re-read whether
    // they are skinned.
    void SetSkinnedPopups(bool Value);
    TacMenuSupport* MenuSupport = nullptr;  // owned
    TacGetExtraLineData OnGetMenuExtraLineData;
    // The skinned menus (owned); nil when the frames library has not started.
    TacSkinableMenusLink* SkinableMenus = nullptr;
    static inline TacSkinableMenusLink* (*MakeSkinableMenus)(TsSkinManager* Manager) = nullptr;
    // The default manager's hook of the application window: menu border messages, the system
    // command last seen, the hide animation of the main form as the program ends.
    void MainWindowHook(TMessage& Message, bool& Handled);
    // Called after construction, loading and every skin change with whether a skin is active, and
    // after a skin was broadcast.
    static inline void (*SkinActiveHook)(bool Active) = nullptr;
    static inline void (*SkinLoadedHook)() = nullptr;
    // The dialog hook (standard dialogs and forms without a provider skinned as they appear): the
    // default manager installs it at run time once its skin is active and removes it with the skin.
    // The dialog-hook unit sets DialogHookSwitch at start-up; without it nothing is installed.
    bool DialogHookInstalled = false;
    void InstallDialogHook();
    void RemoveDialogHook();
    static inline void (*DialogHookSwitch)(bool Install) = nullptr;

    // The lines of an options text added to every skin; blanks leave every line that is no comment,
    // then the skin loads again. A form file fills the list itself, before the skin loads.
    void SetCommonSections(const std::string& Text);
    TStrings* GetCommonSections() const;
    void SetCommonSectionsLines(TStrings* Value);
    // The library's version; written values (form files store it) are ignored, as for SkinInfo.
    std::string GetVersion() const { return "6.68"; }
    void SetReadOnlyText(const std::string&) {}
    // Stores a changed folder of skins and points the skin-wide folder at it.
    void SetSkinDirectory(const std::string& Value);
    bool GetExtendedBorders() const;
    void SetExtendedBorders(bool Value);
    // The extended (shadowed) border images of an active and an inactive form, and the content
    // margins of that border; empty without extended borders.
    TPNGGraphic* ExBorderActive = nullptr;    // owned
    TPNGGraphic* ExBorderInactive = nullptr;  // owned
    TRect ExBorderMargins{};
    void PrepareExtendedBorders();

    // Skin changes told to every form.
    void SendNewSkin(bool Repaint);
    void SendRemoveSkin();
    void RepaintForms();
    // Names of the skins: stored skins first, then (Kinds 0 or 2) folders holding "Options.dat" and
    // (Kinds 1 or 2) packed ".asz" files of the skin folder; sorted. FirstName is the first added.
    void ListSkins(TStrings* List, int Kinds, std::string& FirstName);

    // Lookups and colours of the loaded skin.
    int FindMaskIndexBySection(const std::string& SectionName, const std::string& MaskName) const;
    void GetMaskCellSize(int Index, TSize& Size) const;
    int GetMaskLeftWidth(int Index);
    int GetMaskTopWidth(int Index);
    int GetMaskRightWidth(int Index);
    int GetMaskBottomWidth(int Index);
    TColor GetMainFontColor() const;
    TColor GetMainHotColor() const;
    TColor GetEditHotFontColor() const;
    TColor GetMenuSelectColor() const;
    TColor GetMenuSelectFontColor() const;

    // The loaded skin.
    TsMaskArray MaskList;
    TsPatternArray PatternList;
    TsGeneralDataArray SectionList;
    TBitmap* MasterBitmap = nullptr;  // owned: the skin's images, 24-bit DIB, key colour 0xFF00FF
    TsSkinData* SkinData = nullptr;  // owned
    Byte LastSysCommand = 0;
    HWND HotWindow = nullptr;         // the window under the mouse
    bool AllowGlowingFlag = true;

    bool IsDefault() const;

    // What to load and how: the skin's name (a folder of SkinDirectory, or a packed file of it
    // without ".asz"), the folder of skins, sections added to every skin, and colour changes.
    bool Active = true;
    std::string SkinName;
    std::string SkinDirectory;
    TStringList* CommonSections = nullptr;  // owned: an options text; blanks removed by the setter
    int HueOffset = 0;
    int Saturation = 0;
    bool FromPack = false;  // images come from the packed skin being loaded
    TsStoredSkins* InternalSkins = nullptr;  // owned
    TacAnimEffects* AnimEffects = nullptr;   // owned
    TsCommonIndexes CommonIndexes;

    TacSkinningRules SkinningRules{srStdForms, srStdDialogs, srThirdParty};
    // The class names of controls of other classes, one text per category (published), and the same
    // as one list of names per category by category index.
    ThirdPartyList* ThirdParty = nullptr;  // owned
    std::array<TStringList*, ThirdPartyCategoryCount> ThirdLists{};  // owned
    // Each category's list from its text; with Reset, or for an empty text, the category's default.
    void UpdateThirdNames(bool Reset);
    // Each list's names back into the category's text.
    void StoreThirdNames();

    // SkinDirectory made absolute against the program's folder, without a trailing backslash.
    std::string FullSkinDirectory() const;
    // The skin SkinName from its folder; without one Active becomes False. Errors of the files
    // (conversion, packed data, PNG, JPEG) raise and leave what was loaded so far.
    void LoadSkin();
    // The packed skin SkinName + ".asz" of the skin folder; a missing file or a pack without
    // options raises.
    void LoadPackedSkin();
    void LoadMasks();
    void LoadPatterns();
    void LoadGeneralData();
    void CacheCommonIndexes();
    // The border mask and corner images of every section but GLOBALINFO looked up again.
    void UpdateSectionMaskIndexes();
    // Hue turned by Offset degrees / saturation changed by -Value, in the images and colours.
    void ApplyHueOffset(int Offset);
    void ApplySaturation(int Value);
    void ClearMasks();
    void ClearPatterns();

    // Lookups: -1 when absent; names compared exactly.
    int FindSectionIndex(const std::string& Name) const;
    int FindMaskIndex(int SectionIndex, const std::string& SectionName, const std::string& MaskName) const;
    int FindTextureIndex(int SectionIndex, const std::string& SectionName, const std::string& PropertyName) const;
    // The JPEG texture of the section (or of a section it inherits from) given under PropertyName.
    int FindPatternIndex(int SectionIndex, const std::string& SectionName, const std::string& PropertyName) const;
    bool MaskIndexInRange(int Index) const { return Index >= 0 && Index < static_cast<int>(MaskList.size()); }
    bool SectionIndexInRange(int Index) const {
        return SkinData && Index >= 0 && Index < static_cast<int>(SectionList.size());
    }

    // ColorToRGB of GLOBALINFO's colour; of clBtnFace without that section.
    TColor GetMainColor() const;
    // Glow windows may be shown: the stored flag and layered windows available.
    bool GetAllowGlowing() const;
    // Remembers the window under the mouse, telling the old one and the new one.
    void SetHotWindow(HWND Handle);

private:
    bool IsDefaultFlag = false;
    // This manager hooked the application window (as the first default manager) and must unhook it.
    bool MainWindowHooked = false;
    bool ExtendedBordersFlag = false;
    // Reloads the current skin for changed colour settings; a failed load keeps the skin shown.
    void Reapply(bool RepaintAtDesignTime);
    // SkinName from its packed file when the skin folder has one, else from its folder or the
    // stored skins.
    void LoadCurrentSkin();
    // LoadCurrentSkin into fresh arrays; when it raises, the previous skin and its skin-wide values
    // come back, the error box shows the message and the result is False.
    bool LoadKeepingPrevious();
    TMemIniFile* SkinIni = nullptr;
    TacSkinConvertor* CurrentPack = nullptr;
    void LoadFromOptions();
    void LoadStoredMasks();
    void CheckSkinVersion();
    void LoadStoredSections(TsStoredSkin* Skin);
    TBitmap* LoadImageFile(const std::string& FileName);
    void ForEachImageKey(TMemIniFile* Ini, bool SkipGlobalInfo,
                         const std::function<void(const std::string&, const std::string&, const std::string&)>& Visit);
    void AddCommonSections();
    // Every colour of the images, sections and skin-wide data passed through Change.
    void ChangeColours(const std::function<TColor(TColor)>& Change, const std::vector<int>& KeepMasks);

    int FindImageIndex(int SectionIndex, const std::string& SectionName, const std::string& Name,
                       bool TexturesOnly) const;
    // Follows the section's chain of parent classes, asking Found(section name) at each; -1 when no
    // section of the chain answers with an index.
    template <class F>
    int FindInSectionChain(int SectionIndex, const std::string& SectionName, F Found) const;
};

// The default manager, or nil.
extern TsSkinManager* DefaultManager;
// True while a manager caches its indexes and broadcasts SKIN_LOADED.
extern bool SkinBroadcastRunning;
// True while a manager removes its skin.
extern bool SkinRemoving;
// True while a skin is loaded or reapplied; fades skip their frames meanwhile.
extern bool SkinLoading;
// The platform is of the NT line.
extern bool IsNTPlatform;
// The default extended-border images of an active and an inactive form (program resources
// "acSHDA" and "acSHDI"); nil when the program carries none.
extern TPNGGraphic* DefaultShadowA;
extern TPNGGraphic* DefaultShadowI;

// Start-up: the platform, the default border images and the "/acver" parameter, which shows the
// library's version; shut-down frees the images.
void sSkinManagerInitialization();
void sSkinManagerFinalization();
