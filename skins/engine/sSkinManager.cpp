#include "sSkinManager.h"

#include "sMessages.h"

#include <set>

TsSkinManager* DefaultManager = nullptr;
bool SkinBroadcastRunning = false;
bool SkinRemoving = false;

TsSkinManager::TsSkinManager(TComponent* AOwner) : TComponent(AOwner) {
    SkinData = Create<TsSkinData>();
    if (!DefaultManager)
        DefaultManager = this;
}

TsSkinManager::~TsSkinManager() {
    if (DefaultManager == this)
        DefaultManager = nullptr;
    FreeAndNil(SkinData);
    FreeAndNil(MasterBitmap);
}

bool TsSkinManager::IsDefault() const { return DefaultManager == this; }

int TsSkinManager::FindSectionIndex(const std::string& Name) const {
    for (std::size_t I = 0; I < SectionList.size(); ++I)
        if (lstrcmpA(SectionList[I].SectionName.c_str(), Name.c_str()) == 0)
            return static_cast<int>(I);
    return -1;
}

template <class F>
int TsSkinManager::FindInSectionChain(int SectionIndex, const std::string& SectionName, F Found) const {
    // A chain of parent classes that loops back is followed once round, not for ever.
    std::set<int> Visited;
    std::string Section = SectionName;
    while (SectionIndex >= 0 && !Section.empty() && Visited.insert(SectionIndex).second) {
        int Index = Found(Section);
        if (Index >= 0)
            return Index;
        if (SectionIndex >= static_cast<int>(SectionList.size()))
            break;
        std::string Parent = SectionList[SectionIndex].ParentClass;
        if (Parent.empty() || Parent == Section)
            break;
        SectionIndex = FindSectionIndex(Parent);
        Section = Parent;
    }
    return -1;
}

int TsSkinManager::FindImageIndex(int SectionIndex, const std::string& SectionName, const std::string& Name,
                                  bool TexturesOnly) const {
    return FindInSectionChain(SectionIndex, SectionName, [&](const std::string& Section) {
        for (std::size_t I = 0; I < MaskList.size(); ++I) {
            const TsMaskData& M = MaskList[I];
            if ((!TexturesOnly || M.ImgType == itisaTexture) && M.SectionName == Section && M.PropertyName == Name)
                return static_cast<int>(I);
        }
        return -1;
    });
}

int TsSkinManager::FindPatternIndex(int SectionIndex, const std::string& SectionName,
                                    const std::string& PropertyName) const {
    return FindInSectionChain(SectionIndex, SectionName, [&](const std::string& Section) {
        for (std::size_t I = 0; I < PatternList.size(); ++I)
            if (PatternList[I].SectionName == Section && PatternList[I].PropertyName == PropertyName)
                return static_cast<int>(I);
        return -1;
    });
}

int TsSkinManager::FindMaskIndex(int SectionIndex, const std::string& SectionName, const std::string& MaskName) const {
    return FindImageIndex(SectionIndex, SectionName, MaskName, false);
}

int TsSkinManager::FindTextureIndex(int SectionIndex, const std::string& SectionName,
                                    const std::string& PropertyName) const {
    return FindImageIndex(SectionIndex, SectionName, PropertyName, true);
}

TColor TsSkinManager::GetMainColor() const {
    int I = FindSectionIndex("GLOBALINFO");
    return ColorToRGB(I >= 0 ? SectionList[I].Color : clBtnFace);
}

bool TsSkinManager::GetAllowGlowing() const {
    static const bool LayeredWindows = GetProcAddress(GetModuleHandleA("user32.dll"), "UpdateLayeredWindow") != nullptr;
    return AllowGlowingFlag && LayeredWindows;
}

void TsSkinManager::SetHotWindow(HWND Handle) {
    if (Handle == HotWindow)
        return;
    HWND Old = HotWindow;
    HotWindow = Handle;
    if (Old)
        SendMessageA(Old, SM_ALPHACMD, SkinCommandParam(SKIN_HOTWINDOWCLEARED), reinterpret_cast<LPARAM>(this));
    if (Handle)
        SendMessageA(Handle, SM_ALPHACMD, SkinCommandParam(SKIN_HOTWINDOWSET), reinterpret_cast<LPARAM>(this));
}
