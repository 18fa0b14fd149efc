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

#include <string>
#include <vector>

class TsSkinManager;
class TJPEGImage;

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
