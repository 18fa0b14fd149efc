// The records of a loaded skin, kept in the skin manager's arrays and reached by index: one per
// skin section with its colours and options, one per image cut from the master bitmap (or held in
// a bitmap of its own) with its border widths, one per JPEG texture; and the parsed form of a
// section's gradient text.
#pragma once

#include "Graphics.h"
#include "sConst.h"

#include <string>
#include <vector>

class TsSkinManager;
class TJPEGImage;

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

// Width of one state image: the width of R div ImageCount; 0 when ImageCount is 0.
int GetMaskImageWidth(const TsMaskData& Mask);
// Height of the image part: the height of R div (MaskType + 1); 0 when MaskType is -1.
int GetMaskImageHeight(const TsMaskData& Mask);
