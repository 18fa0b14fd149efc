// The skin manager: the component that owns the loaded skin (its section, image and texture records)
// and answers the index and colour lookups every painter makes. The first manager created is the
// default manager, used by every control whose own SkinManager is nil; without any manager every
// skinned control stays on its standard path.
#pragma once

#include "Classes.h"
#include "Graphics.h"
#include "sConst.h"
#include "sMaskData.h"
#include "sStyleSimply.h"

#include <functional>
#include <string>
#include <vector>

class TsSkinManager;
class TJPEGImage;
class TMemIniFile;
class TacSkinConvertor;

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
// The manager

class TsSkinManager : public TComponent {
    DECLARE_CLASS(TsSkinManager, TComponent)
public:
    explicit TsSkinManager(TComponent* AOwner);
    ~TsSkinManager() override;

    // The loaded skin.
    TsMaskArray MaskList;
    TsPatternArray PatternList;
    TsGeneralDataArray SectionList;
    TBitmap* MasterBitmap = nullptr;  // owned: the skin's images, 24-bit DIB, key colour 0xFF00FF
    TsSkinData* SkinData = nullptr;  // owned
    HWND HotWindow = nullptr;         // the window under the mouse
    bool AllowGlowingFlag = true;

    bool IsDefault() const;

    // What to load and how: the skin's name (a folder of SkinDirectory, or a packed file of it
    // without ".asz"), the folder of skins, sections added to every skin, and colour changes.
    bool Active = true;
    std::string SkinName;
    std::string SkinDirectory;
    std::string CommonSections;  // an options text; blanks already removed from its lines
    int HueOffset = 0;
    int Saturation = 0;
    bool FromPack = false;  // images come from the packed skin being loaded
    TsCommonIndexes CommonIndexes;

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
    TMemIniFile* SkinIni = nullptr;
    TacSkinConvertor* CurrentPack = nullptr;
    void LoadFromOptions();
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
