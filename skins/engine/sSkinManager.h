// The skin manager: the component that owns the loaded skin (its section, image and texture records)
// and answers the index and colour lookups every painter makes. The first manager created is the
// default manager, used by every control whose own SkinManager is nil; without any manager every
// skinned control stays on its standard path.
#pragma once

#include "Classes.h"
#include "Graphics.h"
#include "sConst.h"
#include "sStyleSimply.h"

#include <string>
#include <vector>

class TsSkinManager;
class TJPEGImage;

// ---------------------------------------------------------------------------------------------
// Skin records

// One image of the skin.
struct TsMaskData {
    TBitmap* Bmp = nullptr;  // its own bitmap; nil when it is a rectangle of the master bitmap
    std::string SectionName;
    std::string PropertyName;  // the key it was given under, e.g. "BORDERSMASK"
    TRect R{};                 // in the master bitmap when Bmp is nil, else (0, 0, width, height)
    SmallInt ImageCount = 0;   // states side by side in R
    SmallInt MaskType = 0;     // mask parts stacked below the image (0 = none)
    SmallInt BorderWidth = 0;  // uniform border width, 0 = not given
    SmallInt StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    TsSkinManager* Manager = nullptr;
    SmallInt WL = 0, WT = 0, WR = 0, WB = 0;  // borders that stay unscaled when stretched
};

// One JPEG texture.
struct TsPatternData {
    TJPEGImage* Img = nullptr;
    std::string SectionName;
    std::string PropertyName;
};

// One step of a gradient.
struct GradientStep {
    TColor Color1 = 0;
    TColor Color2 = 0;
    int Percent = 0;  // 0..100
    int Mode = 0;     // only the first step's counts: 0 vertical, 1 horizontal, 2 four corners
    int Reserved = 0;
};
using TsGradArray = std::vector<GradientStep>;

// One skin section's options.
struct TsGeneralData {
    std::string ParentClass;
    std::string SectionName;
    TColor Color = 0;
    // [0] text colour; [1]..[4] contour colours left, top, right, bottom (-1 = none on that side)
    TColor FontColor[5] = {0, -1, -1, -1, -1};
    TColor HotFontColor[5] = {0, -1, -1, -1, -1};
    bool GiveOwnFont = false;
    int GlowCount = 0;
    int GlowMargin = 0;
    bool ReservedBoolean = false;
    int Transparency = 0;  // percent
    int GradientPercent = 0;
    std::string GradientData;
    TsGradArray Gradient;
    int ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    int FadingIterations = 0;
    TColor HotColor = 0;
    int HotTransparency = 0;
    int HotGradientPercent = 0;
    std::string HotGradientData;
    TsGradArray HotGradient;
    int HotImagePercent = 0;
    TColor HotGlowColor = 0;
    TColor GlowColor = 0;
    Byte HotGlowSize = 0;
    Byte GlowSize = 0;
    int BorderIndex = -1;  // the section's "BORDERSMASK" image
    int ImgTL = -1, ImgTR = -1, ImgBL = -1, ImgBR = -1;
};

using TsMaskArray = std::vector<TsMaskData>;
using TsPatternArray = std::vector<TsPatternData>;
using TsGeneralDataArray = std::vector<TsGeneralData>;

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
    TsSkinData* SkinData = nullptr;  // owned
    HWND HotWindow = nullptr;         // the window under the mouse
    bool AllowGlowingFlag = true;

    bool IsDefault() const;

    // Lookups: -1 when absent; names compared exactly.
    int FindSectionIndex(const std::string& Name) const;
    int FindMaskIndex(int SectionIndex, const std::string& SectionName, const std::string& MaskName) const;
    int FindTextureIndex(int SectionIndex, const std::string& SectionName, const std::string& PropertyName) const;
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
    int FindImageIndex(int SectionIndex, const std::string& SectionName, const std::string& Name,
                       bool TexturesOnly) const;
};

// The default manager, or nil.
extern TsSkinManager* DefaultManager;
// True while a manager caches its indexes and broadcasts SKIN_LOADED.
extern bool SkinBroadcastRunning;
// True while a manager removes its skin.
extern bool SkinRemoving;
