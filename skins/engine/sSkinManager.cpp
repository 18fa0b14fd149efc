#include "sSkinManager.h"

#include "sMessages.h"

#include "IniFiles.h"
#include "Jpeg.h"
#include "SysUtils.h"
#include "acPNG.h"
#include "acSkinPack.h"
#include "acntUtils.h"
#include "sGradient.h"
#include "acGlow.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"
#include "sGraphUtils.h"
#include "sSkinOptions.h"

#include <algorithm>
#include <memory>
#include <set>

TsSkinManager* DefaultManager = nullptr;
bool SkinBroadcastRunning = false;
bool SkinRemoving = false;
bool SkinLoading = false;
bool IsNTPlatform = false;
TPNGGraphic* DefaultShadowA = nullptr;
TPNGGraphic* DefaultShadowI = nullptr;

TsSkinManager::TsSkinManager(TComponent* AOwner) : TComponent(AOwner) {
    IsDefaultFlag = DefaultManager == nullptr;
    SkinData = Create<TsSkinData>();
    InternalSkins = Create<TsStoredSkins>(this);
    CommonSections = Create<TStringList>();
    AnimEffects = Create<TacAnimEffects>();
    AnimEffects->Manager = this;
    AnimEffects->Buttons->Manager = this;
    ThirdParty = Create<ThirdPartyList>();
    for (TStringList*& L : ThirdLists)
        L = Create<TStringList>();
    if (!DefaultManager)
        DefaultManager = this;
}

TsSkinManager::~TsSkinManager() {
    if (Active && SkinData && SkinData->SkinActive)
        SendRemoveSkin();
    Active = false;
    RemoveDialogHook();
    if (DefaultManager == this)
        DefaultManager = nullptr;
    ClearMasks();
    ClearPatterns();
    FreeAndNil(AnimEffects);
    FreeAndNil(InternalSkins);
    FreeAndNil(CommonSections);
    FreeAndNil(ExBorderActive);
    FreeAndNil(ExBorderInactive);
    FreeAndNil(SkinData);
    StoreThirdNames();
    for (TStringList*& L : ThirdLists)
        FreeAndNil(L);
    FreeAndNil(ThirdParty);
    FreeAndNil(MasterBitmap);
}

// ---------------------------------------------------------------------------------------------
// Stored skins

void TsSkinGeneral::DefineClass(TClassBuilder<TsSkinGeneral>& B) {
    using G = TsSkinGeneral;
    B.Property("SectionName", &G::SectionName, &G::SectionName);
    B.Property("ParentClass", &G::ParentClass, &G::ParentClass);
    B.Property("Color", &G::Color, &G::Color).TypeName("TColor");
    B.Property("ReservedBoolean", &G::ReservedBoolean, &G::ReservedBoolean);
    B.Property("FontColor", &G::FontColor, &G::FontColor);
    B.Property("HotFontColor", &G::HotFontColor, &G::HotFontColor);
    B.Property("Transparency", &G::Transparency, &G::Transparency);
    B.Property("GlowCount", &G::GlowCount, &G::GlowCount);
    B.Property("GlowMargin", &G::GlowMargin, &G::GlowMargin);
    B.Property("GradientPercent", &G::GradientPercent, &G::GradientPercent);
    B.Property("GradientData", &G::GradientData, &G::GradientData);
    B.Property("ImagePercent", &G::ImagePercent, &G::ImagePercent);
    B.Property("ShowFocus", &G::ShowFocus, &G::ShowFocus);
    B.Property("FadingEnabled", &G::FadingEnabled, &G::FadingEnabled);
    B.Property("FadingIterations", &G::FadingIterations, &G::FadingIterations);
    B.Property("HotColor", &G::HotColor, &G::HotColor).TypeName("TColor");
    B.Property("HotTransparency", &G::HotTransparency, &G::HotTransparency);
    B.Property("HotGradientPercent", &G::HotGradientPercent, &G::HotGradientPercent);
    B.Property("HotGradientData", &G::HotGradientData, &G::HotGradientData);
    B.Property("HotImagePercent", &G::HotImagePercent, &G::HotImagePercent);
    B.Property("Name", &G::Name, &G::Name);
    B.Property("GiveOwnFont", &G::GiveOwnFont, &G::GiveOwnFont);
    B.Property("HotGlowColor", &G::HotGlowColor, &G::HotGlowColor).TypeName("TColor");
    B.Property("GlowColor", &G::GlowColor, &G::GlowColor).TypeName("TColor");
    B.Property("HotGlowSize", &G::HotGlowSize, &G::HotGlowSize).TypeName("TColor");
    B.Property("GlowSize", &G::GlowSize, &G::GlowSize).TypeName("TColor");
}

TsSkinImage::TsSkinImage(TCollection* ACollection) : TCollectionItem(ACollection) { FImage = Create<TBitmap>(); }
TsSkinImage::~TsSkinImage() { FreeAndNil(FImage); }

void TsSkinImage::DefineClass(TClassBuilder<TsSkinImage>& B) {
    using I = TsSkinImage;
    B.Property("SectionName", &I::SectionName, &I::SectionName);
    B.Property("Image", &I::Image, &I::SetImage);
    B.Property("Name", &I::Name, &I::Name);
    B.Property("PropertyName", &I::PropertyName, &I::PropertyName);
    B.Property("Left", &I::Left, &I::Left);
    B.Property("Top", &I::Top, &I::Top);
    B.Property("Right", &I::Right, &I::Right);
    B.Property("Bottom", &I::Bottom, &I::Bottom);
    B.Property("ImageCount", &I::ImageCount, &I::ImageCount);
    B.Property("MaskType", &I::MaskType, &I::MaskType);
    B.Property("BorderWidth", &I::BorderWidth, &I::BorderWidth);
    B.Property("StretchMode", &I::StretchMode, &I::StretchMode);
    B.Property("ImgType", &I::ImgType, &I::ImgType);
    B.Property("WL", &I::WL, &I::WL);
    B.Property("WR", &I::WR, &I::WR);
    B.Property("WT", &I::WT, &I::WT);
    B.Property("WB", &I::WB, &I::WB);
}

TsSkinPattern::TsSkinPattern(TCollection* ACollection) : TCollectionItem(ACollection) {
    FImage = Create<TJPEGImage>();
}
TsSkinPattern::~TsSkinPattern() { FreeAndNil(FImage); }
void TsSkinPattern::SetImage(TJPEGImage* Value) { FImage->Assign(Value); }

void TsSkinPattern::DefineClass(TClassBuilder<TsSkinPattern>& B) {
    B.Property("SectionName", &TsSkinPattern::SectionName, &TsSkinPattern::SectionName);
    B.Property("Image", &TsSkinPattern::Image, &TsSkinPattern::SetImage);
    B.Property("Name", &TsSkinPattern::Name, &TsSkinPattern::Name);
    B.Property("PropertyName", &TsSkinPattern::PropertyName, &TsSkinPattern::PropertyName);
}

TsStoredSkin::TsStoredSkin(TCollection* ACollection) : TCollectionItem(ACollection) {
    FMasterBitmap = Create<TBitmap>();
    FImages = Create<TsSkinImages>(this);
    FGeneralData = Create<TsSkinGenerals>(this);
    FPatterns = Create<TsSkinPatterns>(this);
    FData = Create<TMemoryStream>();
}

TsStoredSkin::~TsStoredSkin() {
    FreeAndNil(FImages);
    FreeAndNil(FPatterns);
    FreeAndNil(FGeneralData);
    FreeAndNil(FMasterBitmap);
    FreeAndNil(FData);
}

void TsStoredSkin::DefineClass(TClassBuilder<TsStoredSkin>& B) {
    using S = TsStoredSkin;
    B.Property("Name", &S::Name, &S::Name);
    B.Property("GeneralData", &S::GeneralData, &S::SetGeneralData);
    B.Property("Images", &S::Images, &S::SetImages);
    B.Property("Patterns", &S::Patterns, &S::SetPatterns);
    B.Property("MasterBitmap", &S::MasterBitmap, &S::SetMasterBitmap);
    B.Property("Shadow1Color", &S::Shadow1Color, &S::Shadow1Color).TypeName("TColor");
    B.Property("Shadow1Offset", &S::Shadow1Offset, &S::Shadow1Offset);
    B.Property("Shadow1Blur", &S::Shadow1Blur, &S::Shadow1Blur).Default(-1);
    B.Property("Shadow1Transparency", &S::Shadow1Transparency, &S::Shadow1Transparency);
    B.Property("BorderColor", &S::BorderColor, &S::BorderColor).TypeName("TColor").Default(TColor(0xFF00FF));
    B.Property("Version", &S::Version, &S::Version);
    B.Property("Author", &S::Author, &S::Author);
    B.Property("Description", &S::Description, &S::Description);
}

void TsStoredSkin::DefineProperties(TFiler& Filer) {
    TCollectionItem::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            FData->Clear();
            if (Int64 Left = S.Size() - S.Position(); Left > 0)
                FData->CopyFrom(&S, Left);
            FData->SetPosition(0);
        },
        [this](TStream& S) { FData->SaveToStream(&S); }, true);
}

void TsStoredSkin::Assign(TPersistent* Source) {
    auto* Src = DynCast<TsStoredSkin>(Source);
    if (!Src) {
        TCollectionItem::Assign(Source);
        return;
    }
    FData->Clear();
    Src->FData->SaveToStream(FData);
    FData->SetPosition(0);
    Name = Src->Name;
    FGeneralData->Assign(Src->FGeneralData);
    FImages->Assign(Src->FImages);
    FPatterns->Assign(Src->FPatterns);
    FMasterBitmap->Assign(Src->FMasterBitmap);
    Shadow1Offset = Src->Shadow1Offset;
    Shadow1Color = Src->Shadow1Color;
    Shadow1Blur = Src->Shadow1Blur;
    Shadow1Transparency = Src->Shadow1Transparency;
    BorderColor = Src->BorderColor;
    Version = Src->Version;
    Author = Src->Author;
    Description = Src->Description;
}

int TsStoredSkins::IndexOf(const std::string& Name) const {
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->Name == Name)
            return I;
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Animation options

void TacBtnEffects::DefineClass(TClassBuilder<TacBtnEffects>& B) {
    B.Property("Events", &TacBtnEffects::Events, &TacBtnEffects::Events)
        .Default(TacBtnEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp});
}

void TacFormAnimation::DefineClass(TClassBuilder<TacFormAnimation>& B) {
    B.Property("Active", &TacFormAnimation::Active, &TacFormAnimation::Active).Default(true);
    B.Property("Time", &TacFormAnimation::Time, &TacFormAnimation::Time).Default(Word(0));
}

void TacFormShow::DefineClass(TClassBuilder<TacFormShow>& B) {
    B.Property("Mode", &TacFormShow::Mode, &TacFormShow::Mode).Default(atAero);
}

void TacFormHide::DefineClass(TClassBuilder<TacFormHide>& B) {
    B.Property("Mode", &TacFormHide::Mode, &TacFormHide::Mode).Default(atAero);
}

void TacDialogShow::DefineClass(TClassBuilder<TacDialogShow>& B) {
    B.Property("Mode", &TacDialogShow::Mode, &TacDialogShow::Mode).Default(atAero);
}

void TacSkinChanging::DefineClass(TClassBuilder<TacSkinChanging>& B) {
    B.Property("Time", &TacSkinChanging::Time, &TacSkinChanging::Time).Default(Word(100));
    B.Property("Mode", &TacSkinChanging::Mode, &TacSkinChanging::Mode).Default(atFading);
}

TacAnimEffects::TacAnimEffects() {
    Buttons = Create<TacBtnEffects>();
    DialogShow = Create<TacDialogShow>();
    FormShow = Create<TacFormShow>();
    FormHide = Create<TacFormHide>();
    SkinChanging = Create<TacSkinChanging>();
    PageChange = Create<TacPageChange>();
    DialogHide = Create<TacFormHide>();
}

TacAnimEffects::~TacAnimEffects() {
    for (TPersistent* P : std::initializer_list<TPersistent*>{Buttons, DialogShow, FormShow, FormHide, SkinChanging,
                                                             PageChange, DialogHide})
        P->Free();
}

void TacAnimEffects::DefineClass(TClassBuilder<TacAnimEffects>& B) {
    using A = TacAnimEffects;
    B.Property("Buttons", &A::Buttons);
    B.Property("DialogShow", &A::DialogShow);
    B.Property("FormShow", &A::FormShow);
    B.Property("FormHide", &A::FormHide);
    B.Property("DialogHide", &A::DialogHide);
    B.Property("PageChange", &A::PageChange);
    B.Property("SkinChanging", &A::SkinChanging);
}

// ---------------------------------------------------------------------------------------------
// The manager

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
    // A 32-bit program on a 64-bit system without desktop composition cannot show glow windows.
    return AllowGlowingFlag && LayeredWindowsAvailable() && !Wow64NoComposition;
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

// ---------------------------------------------------------------------------------------------
// Loading a skin

namespace {

bool Contains(const std::string& Text, const char* Part) { return Text.find(Part) != std::string::npos; }

TMemIniFile* IniFromText(const std::string& Name, const std::string& Text) {
    auto* Ini = Create<TMemIniFile>(Name);
    TOwned<TStringList> Lines(Create<TStringList>());
    Lines->SetText(Text);
    Ini->SetStrings(Lines.get());
    return Ini;
}

TMemIniFile* IniFromStream(TStream* Stream) {
    std::string Text(static_cast<std::size_t>(Stream->Size()), '\0');
    Stream->SetPosition(0);
    if (!Text.empty())
        Stream->ReadBuffer(Text.data(), static_cast<LongInt>(Text.size()));
    return IniFromText("", Text);
}

// The three colour bytes of a pixel as a TColor and back.
TColor PixelColor(const BYTE* P) { return TColor(P[2] | (P[1] << 8) | (P[0] << 16)); }
void StoreColor(BYTE* P, TColor C) {
    P[0] = BYTE((C >> 16) & 0xFF);
    P[1] = BYTE((C >> 8) & 0xFF);
    P[2] = BYTE(C & 0xFF);
}

// Change applied to every pixel that is not KeyColor and, with SkipGrey, not grey.
void ChangePixels(TBitmap* Bitmap, bool SkipGrey, const std::function<TColor(TColor)>& Change) {
    const int Bytes = Bitmap->PixelFormat() == pf32bit ? 4 : 3;
    const TColor Key = ColorToRGB(KeyColor) & 0xFFFFFF;
    for (int Y = 0; Y < Bitmap->Height(); ++Y) {
        BYTE* P = static_cast<BYTE*>(Bitmap->ScanLine(Y));
        for (int X = 0; X < Bitmap->Width(); ++X, P += Bytes) {
            TColor C = PixelColor(P);
            if (C == Key || (SkipGrey && P[0] == P[1] && P[1] == P[2]))
                continue;
            StoreColor(P, Change(C) & 0xFFFFFF);
        }
    }
}

// Whatever way a load ends, the flag goes back to what it was: a load inside a skin change must
// not clear it before the change has been broadcast.
struct LoadingGuard {
    bool Was = SkinLoading;
    LoadingGuard() { SkinLoading = true; }
    ~LoadingGuard() { SkinLoading = Was; }
    LoadingGuard(const LoadingGuard&) = delete;
    LoadingGuard& operator=(const LoadingGuard&) = delete;
};

void MakeMasterFormat(TBitmap* Bitmap) {
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetTransparentColor(0xFF00FF);
    Bitmap->SetTransparent(true);
    Bitmap->SetHandleType(bmDIB);
}

}  // namespace

std::string TsSkinManager::FullSkinDirectory() const {
    std::string App = GetAppFolder();
    while (!App.empty() && (App.back() == '\\' || App.back() == '/'))
        App.pop_back();
    const std::string& D = SkinDirectory;
    if (D.rfind("..", 0) == 0) {
        std::size_t Cut = App.find_last_of("\\/");
        return (Cut == std::string::npos ? std::string() : App.substr(0, Cut + 1)) + D.substr(std::min<std::size_t>(3, D.size()));
    }
    if (D.rfind(".\\", 0) == 0 || D.rfind("./", 0) == 0)
        return App + "\\" + D.substr(2);
    if (!Contains(D, ":") && !Contains(D, "\\\\"))
        return App + "\\" + D;
    return D;
}

void TsSkinManager::LoadSkin() {
    if (!Active)
        return;
    LoadingGuard Guard;
    FreeAndNil(SkinIni);
    std::string Folder = FullSkinDirectory() + "\\" + SkinName + "\\";
    if (FileExists(Folder + "Options.dat")) {
        FromPack = false;
        SkinIni = Create<TMemIniFile>(Folder + "Options.dat");
        SkinData->SkinFolder = Folder;
        LoadFromOptions();
        return;
    }
    SkinData->SkinFolder.clear();
    int Stored = InternalSkins->IndexOf(SkinName);
    if (Stored < 0) {
        if (InternalSkins->Count() == 0) {
            Active = false;
            return;
        }
        Stored = 0;
        SkinName = InternalSkins->Items(0)->Name;
    }
    TsStoredSkin* Skin = InternalSkins->Items(Stored);
    FromPack = Skin->Data()->Size() > 0;
    if (FromPack) {
        // The stream stays the stored skin's: the convertor reads a copy of it.
        CurrentPack = Create<TacSkinConvertor>();
        auto* Copy = Create<TMemoryStream>();
        Skin->Data()->SaveToStream(Copy);
        CurrentPack->PackedData = Copy;
        ReadSkinPack(CurrentPack);
        if (!CurrentPack || !CurrentPack->Options) {
            FreeAndNil(CurrentPack);
            throw Exception("The stored skin " + SkinName + " holds no \"Options.dat\"");
        }
        SkinIni = IniFromStream(CurrentPack->Options);
    }
    LoadFromOptions();
}

void TsSkinManager::LoadPackedSkin() {
    if (!Active)
        return;
    LoadingGuard Guard;
    FreeAndNil(SkinIni);
    CurrentPack = nullptr;
    std::string File = FullSkinDirectory() + "\\" + SkinName + ".asz";
    LoadSkinPack(File, CurrentPack, true);
    if (!CurrentPack || !CurrentPack->Options) {
        std::string Message = CurrentPack ? "The packed skin " + File + " holds no \"Options.dat\""
                                          : "The packed skin " + File + " was not found";
        FreeAndNil(CurrentPack);
        throw Exception(Message);
    }
    SkinIni = IniFromStream(CurrentPack->Options);
    SkinData->SkinFolder = FullSkinDirectory() + "\\";
    LoadFromOptions();
}

void TsSkinManager::LoadFromOptions() {
    struct Done {
        TsSkinManager* M;
        ~Done() {
            FreeAndNil(M->SkinIni);
            FreeAndNil(M->CurrentPack);
        }
    } Cleanup{this};
    LoadMasks();
    LoadPatterns();
    LoadGeneralData();
    CacheCommonIndexes();
}

TBitmap* TsSkinManager::LoadImageFile(const std::string& FileName) {
    const std::string Upper = UpperCase(FileName);
    TOwned<TBitmap> Image(Contains(Upper, ".PNG") ? static_cast<TBitmap*>(Create<TPNGGraphic>())
                                                           : Create<TBitmap>());
    if (FromPack && CurrentPack) {
        for (TacImageItem& Item : CurrentPack->ImageItems)
            if (UpperCase(Item.Name) == Upper && Item.Data) {
                Item.Data->SetPosition(0);
                Image->LoadFromStream(Item.Data);
                return Image.release();
            }
        return nullptr;
    }
    std::string Path = Contains(FileName, ":") ? FileName : SkinData->SkinFolder + FileName;
    if (!FileExists(Path))
        return nullptr;
    Image->LoadFromFile(Path);
    return Image.release();
}

void TsSkinManager::ForEachImageKey(
    TMemIniFile* Ini, bool SkipGlobalInfo,
    const std::function<void(const std::string&, const std::string&, const std::string&)>& Visit) {
    TOwned<TStringList> Sections(Create<TStringList>());
    TOwned<TStringList> Keys(Create<TStringList>());
    Ini->ReadSections(Sections.get());
    for (int S = 0; S < Sections->Count(); ++S) {
        std::string Section = Sections->Strings(S);
        if (SkipGlobalInfo && UpperCase(Section) == SkinGlobalSection)
            continue;
        Keys->Clear();
        Ini->ReadSection(Section, Keys.get());
        for (int K = 0; K < Keys->Count(); ++K)
            Visit(Section, Keys->Strings(K), Ini->ReadString(Section, Keys->Strings(K), ""));
    }
}

void TsSkinManager::ClearMasks() {
    while (!MaskList.empty()) {
        FreeAndNil(MaskList.back().Bmp);
        MaskList.pop_back();
    }
    FreeAndNil(MasterBitmap);
}

void TsSkinManager::ClearPatterns() {
    while (!PatternList.empty()) {
        FreeAndNil(PatternList.back().Img);
        PatternList.pop_back();
    }
}

void TsSkinManager::LoadMasks() {
    ClearMasks();
    if (!SkinIni) {
        LoadStoredMasks();
        AddCommonSections();
        return;
    }
    MasterBitmap = Create<TBitmap>();
    std::string MasterName = SkinIni->ReadString(SkinGlobalSection, SkinMasterBitmapKey, "");
    if (!MasterName.empty()) {
        if (TBitmap* Loaded = LoadImageFile(MasterName)) {
            MasterBitmap->Assign(Loaded);
            Loaded->Free();
        }
    }
    MakeMasterFormat(MasterBitmap);

    ForEachImageKey(SkinIni, false, [&](const std::string& Section, const std::string& Key, const std::string& Value) {
        if (Value.empty())
            return;
        TSkinImageValue V = ParseSkinImageKey(Section, Key, Value);
        TsMaskData M = V.Mask;
        M.Manager = this;
        switch (V.Kind) {
        case TSkinImageKind::FileImage:
        case TSkinImageKind::BitmapFile: {
            TOwned<TBitmap> Image(LoadImageFile(V.FileName));
            if (!Image || Image->Width() <= 0)
                return;
            bool Png = Contains(UpperCase(V.FileName), ".PNG");
            TBitmap* Own = Create<TBitmap>();
            Own->Assign(Image.get());
            if (Png && Own->PixelFormat() == pf32bit) {
                // Transparent white carries no colour of its own.
                for (int Y = 0; Y < Own->Height(); ++Y) {
                    auto* P = static_cast<Cardinal*>(Own->ScanLine(Y));
                    for (int X = 0; X < Own->Width(); ++X)
                        if (P[X] == 0x00FFFFFFu)
                            P[X] = 0;
                }
            }
            if (V.Kind == TSkinImageKind::BitmapFile || (!Png && M.ImgType != itisaTexture))
                Own->SetPixelFormat(pf24bit);
            M.Bmp = Own;
            M.R = TRect{0, 0, Own->Width(), Own->Height()};
            M.SectionName = V.Kind == TSkinImageKind::BitmapFile ? UpperCase(Section) : Section;
            M.PropertyName = V.Kind == TSkinImageKind::BitmapFile ? UpperCase(Key) : Key;
            try {
                DeriveBorderWidths(M);
            } catch (...) {
                Own->Free();
                throw;
            }
            break;
        }
        case TSkinImageKind::MasterGlyph:
        case TSkinImageKind::MasterBorder:
        case TSkinImageKind::MasterTexture:
            M.SectionName = Section;
            M.PropertyName = Key;
            break;
        case TSkinImageKind::MasterFree:
            M.SectionName = UpperCase(Section);
            M.PropertyName = UpperCase(Key);
            break;
        default:
            return;
        }
        MaskList.push_back(M);
    });
    AddCommonSections();
}

void TsSkinManager::LoadStoredMasks() {
    int Stored = InternalSkins->IndexOf(SkinName);
    if (Stored < 0)
        return;
    TsStoredSkin* Skin = InternalSkins->Items(Stored);
    MasterBitmap = Create<TBitmap>();
    if (!Skin->MasterBitmap()->Empty())
        MasterBitmap->Assign(Skin->MasterBitmap());
    MakeMasterFormat(MasterBitmap);
    for (int I = 0; I < Skin->Images()->Count(); ++I) {
        TsSkinImage* Item = Skin->Images()->Items(I);
        TsMaskData M;
        if (!Item->Name.empty()) {
            M.Bmp = Create<TBitmap>();
            M.Bmp->Assign(Item->Image());
            M.Bmp->SetPixelFormat(pf24bit);
            M.R = TRect{0, 0, M.Bmp->Width(), M.Bmp->Height()};
        } else {
            M.R = TRect{Item->Left, Item->Top, Item->Right, Item->Bottom};
        }
        M.PropertyName = UpperCase(Item->PropertyName);
        M.SectionName = UpperCase(Item->SectionName);
        M.ImageCount = SmallInt(Item->ImageCount);
        M.MaskType = SmallInt(Item->MaskType);
        M.BorderWidth = SmallInt(Item->BorderWidth);
        M.StretchMode = SmallInt(Item->StretchMode);
        M.ImgType = Item->ImgType;
        M.WL = SmallInt(Item->WL);
        M.WT = SmallInt(Item->WT);
        M.WR = SmallInt(Item->WR);
        M.WB = SmallInt(Item->WB);
        if (M.ImageCount == 0) {
            M.MaskType = 1;
            M.ImageCount = 3;
        }
        M.Manager = this;
        try {
            DeriveBorderWidths(M);
        } catch (...) {
            FreeAndNil(M.Bmp);
            throw;
        }
        MaskList.push_back(M);
    }
}

void TsSkinManager::AddCommonSections() {
    if (CommonSections->Count() == 0)
        return;
    TOwned<TMemIniFile> Common(IniFromText("1.tmp", CommonSections->Text()));
    ForEachImageKey(Common.get(), true, [&](const std::string& Section, const std::string& Key, const std::string& Raw) {
        std::string Value = Raw.empty() ? "-" : Raw;
        if (!MasterBitmap || !Contains(Value, "#")) {
            Value = UpperCase(Value);
            if (!Contains(Value, ".BMP"))
                return;
            std::string Path = Contains(Value, ":") ? Value : SkinData->SkinFolder + Value;
            if (!FileExists(Path))
                return;
            TsMaskData M;
            M.Bmp = Create<TBitmap>();
            M.Bmp->LoadFromFile(Path);
            if (M.Bmp->Width() < 1) {
                FreeAndNil(M.Bmp);
                return;
            }
            M.Bmp->SetPixelFormat(pf24bit);
            M.SectionName = UpperCase(Section);
            M.PropertyName = UpperCase(Key);
            M.Manager = this;
            MaskList.push_back(M);
        } else if (Value != "#") {
            TSkinImageValue V = ParseSkinImageValue(Value);
            if (V.Kind != TSkinImageKind::MasterFree)
                return;
            V.Mask.SectionName = UpperCase(Section);
            V.Mask.PropertyName = UpperCase(Key);
            V.Mask.Manager = this;
            MaskList.push_back(V.Mask);
        }
    });
}

void TsSkinManager::LoadPatterns() {
    ClearPatterns();
    auto AddFrom = [&](TMemIniFile* Ini, bool FromSkin) {
        ForEachImageKey(Ini, !FromSkin, [&](const std::string& Section, const std::string& Key, const std::string& Raw) {
            std::string Value = UpperCase(Raw.empty() ? "-" : Raw);
            if (!IsSkinPatternValue(Value))
                return;
            TOwned<TJPEGImage> Jpeg(Create<TJPEGImage>());
            bool Found = false;
            if (FromSkin && FromPack && CurrentPack) {
                for (TacImageItem& Item : CurrentPack->ImageItems)
                    if (UpperCase(Item.Name) == Value && Item.Data) {
                        Item.Data->SetPosition(0);
                        Jpeg->LoadFromStream(Item.Data);
                        Found = true;
                        break;
                    }
            } else {
                std::string Path = Contains(Value, ":") ? Value : SkinData->SkinFolder + Value;
                if (FileExists(Path)) {
                    Jpeg->LoadFromFile(Path);
                    Found = true;
                }
            }
            if (!Found || Jpeg->Width() == 0)
                return;
            if (!FromSkin || Jpeg->Width() * Jpeg->Height() >= 90000) {
                TsPatternData P;
                P.Img = Jpeg.release();
                P.SectionName = UpperCase(Section);
                P.PropertyName = UpperCase(Key);
                PatternList.push_back(P);
                return;
            }
            // Small textures are drawn from a bitmap of their own.
            TsMaskData M;
            M.Bmp = NewBitmap24(Jpeg->Width(), Jpeg->Height());
            M.Bmp->Canvas()->Draw(0, 0, Jpeg.get());
            M.R = TRect{0, 0, M.Bmp->Width(), M.Bmp->Height()};
            M.ImgType = itisaTexture;
            M.ImageCount = 1;
            M.SectionName = UpperCase(Section);
            M.PropertyName = UpperCase(Key);
            M.Manager = this;
            MaskList.push_back(M);
        });
    };
    if (SkinIni) {
        AddFrom(SkinIni, true);
    } else if (int Stored = InternalSkins->IndexOf(SkinName); Stored >= 0) {
        TsSkinPatterns* Items = InternalSkins->Items(Stored)->Patterns();
        for (int I = 0; I < Items->Count(); ++I) {
            TsSkinPattern* Item = Items->Items(I);
            TJPEGImage* Picture = Item->Image();
            // Items may share one picture by name.
            for (int J = 0; Picture->Empty() && J < Items->Count(); ++J)
                if (J != I && Items->Items(J)->Name == Item->Name && !Items->Items(J)->Image()->Empty())
                    Picture = Items->Items(J)->Image();
            TsPatternData P;
            P.Img = Create<TJPEGImage>();
            P.Img->Assign(Picture);
            P.SectionName = UpperCase(Item->SectionName);
            P.PropertyName = UpperCase(Item->PropertyName);
            PatternList.push_back(P);
        }
    }
    if (CommonSections->Count() > 0) {
        TOwned<TMemIniFile> Common(IniFromText("2.tmp", CommonSections->Text()));
        AddFrom(Common.get(), false);
    }
}

void TsSkinManager::CheckSkinVersion() {
    // Loading goes on either way: the message only warns.
    if (ComponentState().Contains(csDesigning) && SkinData->Version < 6)
        SkinMessageDlg("The skin " + SkinName + " is of an old version. Update the skin or ask the skin library's "
                       "support for a new one. This message is shown at design time only.",
                       2, TMsgDlgButtons{mbOK}, 0);
    else if (SkinData->Version > 6.99)
        SkinMessageDlg("This version of the skin " + SkinName + " is not completely supported by the skin library "
                       "release in use. The components must be updated.",
                       0, TMsgDlgButtons{mbOK}, 0);
}

void TsSkinManager::LoadGeneralData() {
    if (SkinIni) {
        ReadSkinGlobalInfo(SkinIni, SkinData);
        CheckSkinVersion();
        SectionList.clear();
        TOwned<TStringList> Sections(Create<TStringList>());
        SkinIni->ReadSections(Sections.get());
        for (int S = 0; S < Sections->Count(); ++S) {
            TsGeneralData D;
            ReadSkinSection(SkinIni, Sections->Strings(S), D);
            SectionList.push_back(D);
        }
    } else if (int Stored = InternalSkins->IndexOf(SkinName); Stored >= 0) {
        LoadStoredSections(InternalSkins->Items(Stored));
    } else {
        return;
    }
    if (CommonSections->Count() > 0) {
        // A common section takes what it lacks from the skin section its PARENTCLASS names.
        TOwned<TStringList> Sections(Create<TStringList>());
        ParseIniSections(CommonSections, Sections.get());
        for (int S = 0; S < Sections->Count(); ++S) {
            std::string Name = Sections->Strings(S);
            if (FindSectionIndex(Name) >= 0)
                continue;
            const std::string ParentClass = UpperCase(GetSectionText(Sections.get(), Name, "PARENTCLASS", "-1"));
            auto Parent = std::find_if(SectionList.begin(), SectionList.end(), [&](const TsGeneralData& D) {
                return UpperCase(D.SectionName) == ParentClass;
            });
            TsGeneralData D;
            ReadCommonSection(Sections.get(), Name, Parent == SectionList.end() ? nullptr : &*Parent, D);
            D.ParentClass = ParentClass;
            SectionList.push_back(D);
        }
        FreeIniSections(Sections.get());
    }
    UpdateSectionMaskIndexes();
    ApplyHueOffset(HueOffset);
    ApplySaturation(Saturation);
}

namespace {
// Five integers separated by blanks fill the colours; any other text gives 0, -1, -1, -1, -1.
void ReadFontColors(const std::string& Text, TColor (&Colors)[5]) {
    std::vector<std::string> Words;
    std::size_t At = 0;
    while ((At = Text.find_first_not_of(' ', At)) != std::string::npos) {
        std::size_t End = Text.find(' ', At);
        Words.push_back(Text.substr(At, End == std::string::npos ? std::string::npos : End - At));
        At = End;
    }
    TColor Result[5] = {0, -1, -1, -1, -1};
    if (Words.size() == 5)
        for (int I = 0; I < 5; ++I)
            Result[I] = TColor(StrToInt(Words[I]));
    std::copy(std::begin(Result), std::end(Result), Colors);
}
}  // namespace

void TsSkinManager::LoadStoredSections(TsStoredSkin* Skin) {
    SkinData->Version = Skin->Version;
    SkinData->Author = Skin->Author;
    SkinData->Description = Skin->Description;
    SkinData->Shadow1Color = Skin->Shadow1Color;
    SkinData->Shadow1Offset = SmallInt(Skin->Shadow1Offset);
    SkinData->Shadow1Blur = SmallInt(Skin->Shadow1Blur);
    SkinData->Shadow1Transparency = SmallInt(Skin->Shadow1Transparency);
    SkinData->BorderColor = Skin->BorderColor;
    CheckSkinVersion();
    SectionList.clear();
    for (int I = 0; I < Skin->GeneralData()->Count(); ++I) {
        TsSkinGeneral* G = Skin->GeneralData()->Items(I);
        TsGeneralData D;
        D.SectionName = G->SectionName;
        D.ParentClass = G->ParentClass;
        D.Color = G->Color;
        D.ReservedBoolean = G->ReservedBoolean;
        ReadFontColors(G->FontColor, D.FontColor);
        ReadFontColors(G->HotFontColor, D.HotFontColor);
        D.Transparency = G->Transparency;
        D.GlowCount = G->GlowCount;
        D.GlowMargin = G->GlowMargin;
        D.GradientPercent = G->GradientPercent;
        D.GradientData = G->GradientData;
        D.ImagePercent = G->ImagePercent;
        D.ShowFocus = G->ShowFocus;
        D.FadingEnabled = G->FadingEnabled;
        D.FadingIterations = G->FadingIterations;
        D.HotColor = G->HotColor;
        D.HotTransparency = G->HotTransparency;
        D.HotGradientPercent = G->HotGradientPercent;
        D.HotGradientData = G->HotGradientData;
        D.HotImagePercent = G->HotImagePercent;
        D.GiveOwnFont = G->GiveOwnFont;
        D.HotGlowColor = G->HotGlowColor;
        D.GlowColor = G->GlowColor;
        D.HotGlowSize = Byte(G->HotGlowSize & 0xFF);
        D.GlowSize = Byte(G->GlowSize & 0xFF);
        if (D.GradientData != " ")
            ParseGradientData(D.GradientData, D.Gradient);
        if (D.HotGradientData != " ")
            ParseGradientData(D.HotGradientData, D.HotGradient);
        SectionList.push_back(D);
    }
}

void TsSkinManager::UpdateSectionMaskIndexes() {
    int Global = FindSectionIndex(SkinGlobalSection);
    for (int I = 0; I < static_cast<int>(SectionList.size()); ++I) {
        if (I == Global)
            continue;
        TsGeneralData& S = SectionList[I];
        S.BorderIndex = FindMaskIndex(I, S.SectionName, "BORDERSMASK");
        S.ImgTL = FindMaskIndex(I, S.SectionName, "IMGTOPLEFT");
        S.ImgTR = FindMaskIndex(I, S.SectionName, "IMGTOPRIGHT");
        S.ImgBL = FindMaskIndex(I, S.SectionName, "IMGBTMLEFT");
        S.ImgBR = FindMaskIndex(I, S.SectionName, "IMGBTMRIGHT");
    }
}

void TsSkinManager::CacheCommonIndexes() {
    TsCommonIndexes& C = CommonIndexes;
    C = TsCommonIndexes{};
    auto Exact = [&](int Section, const std::string& Name, const char* Mask) {
        if (Section < 0)
            return -1;
        for (std::size_t I = 0; I < MaskList.size(); ++I)
            if (MaskList[I].SectionName == Name && MaskList[I].PropertyName == Mask)
                return static_cast<int>(I);
        return -1;
    };
    C.GlobalInfo = FindSectionIndex(SkinGlobalSection);
    int* GlobalMasks[] = {&C.ExBorder,     &C.CheckBoxChecked,   &C.CheckBoxUnchecked, &C.CheckBoxGrayed,
                          &C.RadioChecked, &C.RadioUnchecked,    &C.RadioGrayed,       &C.SmallBoxChecked,
                          &C.SmallBoxUnchecked, &C.SmallBoxGrayed};
    const char* GlobalNames[] = {"EXBORDER",     "BOXCHECKED",     "BOXUNCHECKED", "BOXGRAYED",     "RADIOCHECKED",
                                 "RADIOUNCHECKED", "RADIOGRAYED", "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED"};
    if (C.GlobalInfo >= 0)
        for (int I = 0; I < 10; ++I)
            *GlobalMasks[I] = FindMaskIndex(C.GlobalInfo, SkinGlobalSection, GlobalNames[I]);
    C.ComboButton = FindSectionIndex("COMBOBTN");
    C.ComboButtonBorder = Exact(C.ComboButton, "COMBOBTN", "BORDERSMASK");
    C.ComboButtonTexture = FindTextureIndex(C.ComboButton, "COMBOBTN", "PATTERN");
    C.ComboButtonHotTexture = FindTextureIndex(C.ComboButton, "COMBOBTN", "HOTPATTERN");
    C.ComboGlyph = Exact(FindSectionIndex("COMBOBOX"), "COMBOBOX", "GLYPHMASK");
    const char* Tabs[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    const char* Buttons[] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
    const char* Bars[] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
    for (int I = 0; I < 4; ++I) {
        C.Tab[I] = FindSectionIndex(Tabs[I]);
        C.TabBorder[I] = FindMaskIndex(C.Tab[I], Tabs[I], "BORDERSMASK");
        C.ScrollButton[I] = FindSectionIndex(Buttons[I]);
        C.ScrollButtonBorder[I] = FindMaskIndex(C.ScrollButton[I], Buttons[I], "BORDERSMASK");
        C.ScrollButtonTexture[I] = FindMaskIndex(C.ScrollButton[I], Buttons[I], "PATTERN");
        C.ScrollButtonHotTexture[I] = FindMaskIndex(C.ScrollButton[I], Buttons[I], "HOTPATTERN");
        if (C.ScrollButton[I] >= 0)
            C.ScrollButtonGlyph[I] = FindMaskIndex(C.ScrollButton[I], Buttons[I], "GLYPHMASK");
        C.ScrollBar[I] = FindSectionIndex(Bars[I]);
        C.ScrollBarBorder[I] = FindMaskIndex(C.ScrollBar[I], Bars[I], "BORDERSMASK");
        C.ScrollBarTexture[I] = FindMaskIndex(C.ScrollBar[I], Bars[I], "PATTERN");
        C.ScrollBarHotTexture[I] = FindMaskIndex(C.ScrollBar[I], Bars[I], "HOTPATTERN");
    }
    const char* Sliders[] = {"SCROLLSLIDERV", "SCROLLSLIDERH"};
    for (int I = 0; I < 2; ++I) {
        C.ScrollSlider[I] = FindSectionIndex(Sliders[I]);
        C.ScrollSliderBorder[I] = FindMaskIndex(C.ScrollSlider[I], Sliders[I], "BORDERSMASK");
        if (C.ScrollSlider[I] >= 0)
            C.ScrollSliderGlyph[I] = FindMaskIndex(C.ScrollSlider[I], Sliders[I], "GLYPHMASK");
        C.ScrollSliderTexture[I] = FindMaskIndex(C.ScrollSlider[I], Sliders[I], "PATTERN");
        C.ScrollSliderHotTexture[I] = FindMaskIndex(C.ScrollSlider[I], Sliders[I], "HOTPATTERN");
    }
    UpdateSectionMaskIndexes();
    PrepareExtendedBorders();
}

void TsSkinManager::ChangeColours(const std::function<TColor(TColor)>& Change, const std::vector<int>& KeepMasks) {
    if (MasterBitmap && !MasterBitmap->Empty())
        ChangePixels(MasterBitmap, true, Change);
    for (int I = 0; I < static_cast<int>(MaskList.size()); ++I) {
        TBitmap* B = MaskList[I].Bmp;
        if (!B || std::find(KeepMasks.begin(), KeepMasks.end(), I) != KeepMasks.end())
            continue;
        bool Alpha = B->PixelFormat() == pf32bit;
        if (!Alpha)
            B->SetPixelFormat(pf24bit);
        ChangePixels(B, Alpha, Change);
    }
    for (TsGeneralData& S : SectionList) {
        for (TColor* C : {&S.Color, &S.HotColor, &S.GlowColor, &S.HotGlowColor})
            *C = Change(*C);
        for (int I = 0; I < 5; ++I) {
            if (S.FontColor[I] != -1)
                S.FontColor[I] = Change(S.FontColor[I]);
            if (S.HotFontColor[I] != -1)
                S.HotFontColor[I] = Change(S.HotFontColor[I]);
        }
        for (TsGradArray* G : {&S.Gradient, &S.HotGradient})
            for (GradientStep& Step : *G) {
                Step.Color1 = Change(Step.Color1);
                Step.Color2 = Change(Step.Color2);
            }
    }
    SkinData->Shadow1Color = Change(SkinData->Shadow1Color);
    SkinData->BorderColor = Change(SkinData->BorderColor);
}

void TsSkinManager::ApplyHueOffset(int Offset) {
    if (Offset == 0)
        return;
    std::vector<int> Keep;
    std::vector<std::pair<TRect, TOwned<TBitmap>>> Aside;
    if (SkinData->TitleButtonKeepHue != 0) {
        std::vector<std::string> Names{"BICONCLOSE", "SICONCLOSE"};
        if (SkinData->TitleButtonKeepHue == 1)
            for (const char* N : {"BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "SICONMAX", "SICONMIN", "SICONNORM"})
                Names.push_back(N);
        int Global = FindSectionIndex(SkinGlobalSection);
        auto Lookup = [&](const std::string& Name) {
            for (std::size_t I = 0; I < MaskList.size(); ++I)
                if (MaskList[I].SectionName == SkinGlobalSection && MaskList[I].PropertyName == Name)
                    return static_cast<int>(I);
            return -1;
        };
        for (const std::string& Name : Names) {
            int I = Global >= 0 ? Lookup(Name) : -1;
            if (I >= 0 && !MaskList[I].Bmp && MasterBitmap) {
                const TRect R = MaskList[I].R;
                TOwned<TBitmap> Copy(NewBitmap24(R.Width(), R.Height()));
                BitBlt(Copy->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), MasterBitmap->Canvas()->Handle(), R.Left,
                       R.Top, SRCCOPY);
                Aside.emplace_back(R, std::move(Copy));
            } else {
                Keep.push_back(I);
            }
            int Glow = Lookup(Name + "GLOW0");
            if (Glow >= 0 && MaskList[Glow].Bmp)
                Keep.push_back(Glow);
        }
    }
    ChangeColours([Offset](TColor C) { return ShiftHue(Offset, C); }, Keep);
    for (auto& [R, Copy] : Aside)
        BitBlt(MasterBitmap->Canvas()->Handle(), R.Left, R.Top, R.Width(), R.Height(), Copy->Canvas()->Handle(), 0, 0,
               SRCCOPY);
}

void TsSkinManager::ApplySaturation(int Value) {
    if (Value == 0)
        return;
    const int Amount = (-Value) % 101;
    ChangeColours([Amount](TColor C) { return ChangeSaturation(C, Amount); }, {});
}

// ---------------------------------------------------------------------------------------------
// The manager as a component

void TsSkinManager::DefineClass(TClassBuilder<TsSkinManager>& B) {
    using M = TsSkinManager;
    B.Property("AnimEffects", &M::AnimEffects);
    B.Property("HueOffset", &M::HueOffset, &M::SetHueOffset).Default(0);
    B.Property("Saturation", &M::Saturation, &M::SetSaturation).Default(0);
    B.Property("SkinDirectory", &M::SkinDirectory, &M::SetSkinDirectory);
    B.Property("SkinName", &M::GetSkinName, &M::SetSkinName);
    B.Property("SkinnedPopups", &M::SkinnedPopups, &M::SkinnedPopups).Default(true);
    B.Property("IsDefault", &M::GetIsDefault, &M::SetIsDefault).Default(true);
    B.Property("Active", &M::GetActive, &M::SetActive).Default(true);
    B.Property("SkinInfo", &M::GetSkinInfo, &M::SetReadOnlyText);
    B.Property("Version", &M::GetVersion, &M::SetReadOnlyText);
    B.Property("CommonSections", &M::GetCommonSections, &M::SetCommonSectionsLines);
    B.Property("InternalSkins", &M::InternalSkins);
    B.Property("SkinningRules", &M::SkinningRules, &M::SkinningRules)
        .Default(TacSkinningRules{srStdForms, srStdDialogs, srThirdParty});
    B.Property("ThirdParty", &M::ThirdParty);
    B.Property("ExtendedBorders", &M::GetExtendedBorders, &M::SetExtendedBorders).Default(false);
    B.Property("AllowGlowing", &M::GetAllowGlowing, &M::AllowGlowingFlag).Default(true);
    B.Property("OnAfterChange", &M::OnAfterChange, &M::OnAfterChange);
    B.Property("OnBeforeChange", &M::OnBeforeChange, &M::OnBeforeChange);
}

void TsSkinManager::AfterConstruction() {
    TComponent::AfterConstruction();
    UpdateThirdNames(false);
    if (SkinDirectory.empty())
        SkinDirectory = "c:\\Skins";
    if (!ComponentState().Contains(csLoading) && SkinActiveHook)
        SkinActiveHook(Active && !SkinName.empty());
}

void TsSkinManager::Loaded() {
    TComponent::Loaded();
    UpdateThirdNames(false);
    if (SkinDirectory.empty())
        SkinDirectory = "c:\\Skins";
    // The skin named in the form file loads only now, when the stored skins have been read too.
    if (Active && !SkinName.empty())
        SetSkinName(SkinName);
    if (SkinActiveHook)
        SkinActiveHook(Active && !SkinName.empty());
}

namespace {
// The loaded skin taken aside while another loads, so that a failed load leaves it in place.
struct TLoadedSkin {
    TsMaskArray Masks;
    TsPatternArray Patterns;
    TsGeneralDataArray Sections;
    TBitmap* Master = nullptr;
    TsCommonIndexes Indexes;
    TsSkinData Values;
};
}  // namespace

void TsSkinManager::LoadCurrentSkin() {
    FromPack = FileExists(FullSkinDirectory() + "\\" + SkinName + ".asz");
    if (FromPack)
        LoadPackedSkin();
    else
        LoadSkin();
}

bool TsSkinManager::LoadKeepingPrevious() {
    TLoadedSkin Previous{std::move(MaskList), std::move(PatternList), std::move(SectionList), MasterBitmap,
                         CommonIndexes, *SkinData};
    MaskList.clear();
    PatternList.clear();
    SectionList.clear();
    MasterBitmap = nullptr;
    try {
        LoadCurrentSkin();
    } catch (Exception& E) {
        // The half-loaded skin goes; the previous one comes back with its skin-wide values.
        ClearMasks();
        ClearPatterns();
        MaskList = std::move(Previous.Masks);
        PatternList = std::move(Previous.Patterns);
        SectionList = std::move(Previous.Sections);
        MasterBitmap = Previous.Master;
        CommonIndexes = Previous.Indexes;
        const bool WasActive = SkinData->SkinActive;
        *SkinData = Previous.Values;
        SkinData->SkinActive = WasActive;
        ShowErrorBox(E.Message());
        return false;
    }
    for (TsMaskData& M : Previous.Masks)
        FreeAndNil(M.Bmp);
    for (TsPatternData& P : Previous.Patterns)
        FreeAndNil(P.Img);
    FreeAndNil(Previous.Master);
    return true;
}

void TsSkinManager::SetSkinName(const std::string& Value) {
    const std::string OldName = SkinName;
    SkinName = Value;
    if (!Active || ComponentState().Contains(csLoading))
        return;
    if (OnBeforeChange)
        OnBeforeChange(this);
    {
        LoadingGuard Guard;
        SkinData->SkinActive = false;
        const bool Failed = !LoadKeepingPrevious();
        if (Failed)
            SkinName = OldName;
        if (!Active)
            SendRemoveSkin();
        else if (!Failed || !SectionList.empty())
            SendNewSkin(true);
        else
            SendRemoveSkin();
    }
    if (OnAfterChange)
        OnAfterChange(this);
}

void TsSkinManager::SetActive(bool Value) {
    if (Value == Active)
        return;
    Active = Value;
    if (Value) {
        SetSkinName(SkinName);
        return;
    }
    if (!ComponentState().Contains(csLoading))
        SendRemoveSkin();
    CacheCommonIndexes();
}

void TsSkinManager::Reapply(bool RepaintAtDesignTime) {
    if (!SkinData->SkinActive)
        return;
    {
        LoadingGuard Guard;
        LoadKeepingPrevious();
    }
    if (!ComponentState().Contains(csLoading) && (RepaintAtDesignTime || !ComponentState().Contains(csDesigning)))
        RepaintForms();
}

void TsSkinManager::SetHueOffset(int Value) {
    if (Value == HueOffset)
        return;
    HueOffset = Value;
    Reapply(true);
}

void TsSkinManager::SetSaturation(int Value) {
    if (Value == Saturation)
        return;
    Saturation = Value;
    Reapply(true);
}

void TsSkinManager::SetIsDefault(bool Value) {
    if (!Value && DefaultManager && DefaultManager != this) {
        IsDefaultFlag = false;
        return;
    }
    if (!Value && DefaultManager == this)
        return;
    DefaultManager = this;
    IsDefaultFlag = true;
    if (ComponentState().Contains(csLoading))
        return;
    if (Active) {
        SendNewSkin(true);
        RepaintForms();
    } else {
        SendRemoveSkin();
    }
}

std::string TsSkinManager::GetSkinInfo() const {
    if (!SkinData->SkinActive)
        return "N/A";
    TFormatSettings Dot = FormatSettings;
    Dot.DecimalSeparator = '.';
    return FloatToStr(SkinData->Version, Dot);
}

void TsSkinManager::SendNewSkin(bool Repaint) {
    if (SkinLoading && !Repaint)
        return;
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading))
        return;
    ClearGlowEffects();
    if (Repaint)
        LockFormsRedraw(this);
    SkinData->SkinActive = false;
    SkinBroadcastRunning = true;
    CacheCommonIndexes();
    TMessage M{SM_ALPHACMD, MAKEWPARAM(0, SKIN_LOADED), reinterpret_cast<LPARAM>(this), 0};
    BroadcastToAllForms(M);
    SkinBroadcastRunning = false;
    SkinData->SkinActive = true;
    if (IsDefault())
        InstallDialogHook();
    if (SkinActiveHook)
        SkinActiveHook(true);
    if (SkinLoadedHook)
        SkinLoadedHook();
    if (Repaint)
        RepaintForms();
    else
        UnlockFormsRedraw(this, false);
}

void TsSkinManager::SendRemoveSkin() {
    if (SkinActiveHook)
        SkinActiveHook(false);
    SkinRemoving = true;
    ClearGlowEffects();
    RemoveDialogHook();
    SkinData->SkinActive = false;
    TMessage M{SM_ALPHACMD, MAKEWPARAM(0, SKIN_REMOVED), reinterpret_cast<LPARAM>(this), 0};
    BroadcastToAllForms(M);
    ClearMasks();
    ClearPatterns();
    SectionList.clear();
    SkinRemoving = false;
}

void TsSkinManager::RepaintForms() {
    TMessage Done{SM_ALPHACMD, MAKEWPARAM(0, SKIN_ANIMDONE), reinterpret_cast<LPARAM>(this), 0};
    BroadcastToAllForms(Done);
    TMessage Refresh{SM_ALPHACMD, MAKEWPARAM(0, SKIN_REFRESH), reinterpret_cast<LPARAM>(this), 0};
    // A skin change locked the forms already: this unlock ends that lock too. Only a manager read
    // from its form file leaves them alone.
    const bool Reading = ComponentState().Contains(csLoading);
    if (!Reading)
        LockFormsRedraw(this);
    BroadcastToAllForms(Refresh);
    if (!Reading)
        UnlockFormsRedraw(this, true);
    else
        AnimationInProgress = false;
    if (RefreshTarget && RefreshTarget->HandleAllocated())
        SendMessageA(RefreshTarget->Handle(), Refresh.Msg, Refresh.WParam, Refresh.LParam);
    for (std::size_t I = 0; DialogProviders && I < DialogProviders->size(); ++I)
        if (TacDialogProviderLink* P = (*DialogProviders)[I])
            if (HWND Wnd = P->DialogWindow(); Wnd && IsWindowVisible(Wnd))
                RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinManager::InstallDialogHook() {
    if (ComponentState().Contains(csDesigning) || !IsDefault() || DialogHookInstalled || !DialogHookSwitch)
        return;
    DialogHookInstalled = true;
    DialogHookSwitch(true);
}

void TsSkinManager::RemoveDialogHook() {
    if (!DialogHookInstalled)
        return;
    DialogHookInstalled = false;
    if (DialogHookSwitch)
        DialogHookSwitch(false);
}

void TsSkinManager::ListSkins(TStrings* List, int Kinds, std::string& FirstName) {
    FirstName.clear();
    List->Clear();
    TOwned<TStringList> Names(Create<TStringList>());
    for (int I = 0; I < InternalSkins->Count(); ++I) {
        Names->Add(InternalSkins->Items(I)->Name);
        if (FirstName.empty())
            FirstName = InternalSkins->Items(I)->Name;
    }
    const std::string Folder = FullSkinDirectory();
    WIN32_FIND_DATAA Found;
    HANDLE Find = FindFirstFileA((Folder + "\\*").c_str(), &Found);
    if (Find != INVALID_HANDLE_VALUE) {
        do {
            std::string Name = Found.cFileName;
            if (Name.empty() || Name[0] == '.')
                continue;
            std::string Added;
            bool IsFolder = (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (IsFolder && (Kinds == 0 || Kinds == 2) && FileExists(Folder + "\\" + Name + "\\Options.dat"))
                Added = Name;
            else if (!IsFolder && (Kinds == 1 || Kinds == 2) && Name.size() > 4 &&
                     Name.compare(Name.size() - 4, 4, ".asz") == 0)
                Added = Name.substr(0, Name.size() - 4);  // only the final extension goes
            if (!Added.empty()) {
                Names->Add(Added);
                if (FirstName.empty())
                    FirstName = Added;
            }
        } while (FindNextFileA(Find, &Found));
        FindClose(Find);
    }
    Names->Sort();
    List->AddStrings(Names.get());
}

// ---------------------------------------------------------------------------------------------
// Lookups and colours

int TsSkinManager::FindMaskIndexBySection(const std::string& SectionName, const std::string& MaskName) const {
    for (std::size_t I = 0; I < MaskList.size(); ++I)
        if (MaskList[I].SectionName == SectionName && MaskList[I].PropertyName == MaskName)
            return static_cast<int>(I);
    return -1;
}

void TsSkinManager::GetMaskCellSize(int Index, TSize& Size) const {
    if (!MaskIndexInRange(Index)) {
        Size = TSize{};
        return;
    }
    const TsMaskData& M = MaskList[Index];
    if (M.Bmp)
        Size = TSize{M.Bmp->Width() / 3, M.Bmp->Height() / 2};
    else
        Size = TSize{GetMaskImageWidth(M), GetMaskImageHeight(M)};
}

namespace {
int BorderOrImage(TsMaskData& M, SmallInt Width, bool Across) {
    if (Width > 0)
        return Width;
    if (M.BorderWidth > 0)
        return M.BorderWidth;
    if (M.ImageCount == 0)
        M.ImageCount = 1;
    return Across ? GetMaskImageWidth(M) : GetMaskImageHeight(M);
}
}  // namespace

int TsSkinManager::GetMaskLeftWidth(int Index) {
    return MaskIndexInRange(Index) ? BorderOrImage(MaskList[Index], MaskList[Index].WL, true) : 0;
}
int TsSkinManager::GetMaskTopWidth(int Index) {
    return MaskIndexInRange(Index) ? BorderOrImage(MaskList[Index], MaskList[Index].WT, false) : 0;
}
int TsSkinManager::GetMaskRightWidth(int Index) {
    return MaskIndexInRange(Index) ? BorderOrImage(MaskList[Index], MaskList[Index].WR, true) : 0;
}
int TsSkinManager::GetMaskBottomWidth(int Index) {
    return MaskIndexInRange(Index) ? BorderOrImage(MaskList[Index], MaskList[Index].WB, false) : 0;
}

TColor TsSkinManager::GetMainFontColor() const {
    int I = FindSectionIndex(SkinGlobalSection);
    return I >= 0 ? ColorToRGB(SectionList[I].FontColor[0]) : TColor(0xFF00FF);
}

TColor TsSkinManager::GetMainHotColor() const {
    int I = FindSectionIndex(SkinGlobalSection);
    return ColorToRGB(I >= 0 ? SectionList[I].HotColor : clWindow);
}

TColor TsSkinManager::GetEditHotFontColor() const {
    int I = FindSectionIndex("EDIT");
    return I >= 0 ? ColorToRGB(SectionList[I].HotFontColor[0]) : TColor(0xFF00FF);
}

namespace {
bool PlainSelectColor(TColor C) { return C == TColor(-1) || C == TColor(0xFF00FF) || C == TColor(0xFFFFFF); }
}  // namespace

TColor TsSkinManager::GetMenuSelectColor() const {
    int I = FindSectionIndex("MENUITEM");
    if (I >= 0 && !PlainSelectColor(SectionList[I].HotColor))
        return ColorToRGB(SectionList[I].HotColor);
    return clHighlight;
}

TColor TsSkinManager::GetMenuSelectFontColor() const {
    int I = FindSectionIndex("MENUITEM");
    if (I >= 0) {
        TColor F = SectionList[I].HotFontColor[0];
        if (!PlainSelectColor(F) && F != 0 && !PlainSelectColor(SectionList[I].HotColor))
            return F;
    }
    return clHighlightText;
}

// ---------------------------------------------------------------------------------------------
// Options that reload the skin

void TsSkinManager::SetCommonSections(const std::string& Text) {
    TOwned<TStringList> Lines(Create<TStringList>());
    Lines->SetText(Text);
    for (int I = 0; I < Lines->Count(); ++I) {
        std::string Line = Lines->Strings(I);
        if (!Line.empty() && Line[0] == ';')
            continue;
        Line.erase(std::remove(Line.begin(), Line.end(), ' '), Line.end());
        Lines->SetStrings(I, Line);
    }
    CommonSections->Assign(Lines.get());
    SetSkinName(SkinName);
}

TStrings* TsSkinManager::GetCommonSections() const { return CommonSections; }

void TsSkinManager::SetCommonSectionsLines(TStrings* Value) { SetCommonSections(Value ? Value->Text() : ""); }

void TsSkinManager::SetSkinDirectory(const std::string& Value) {
    if (Value == SkinDirectory)
        return;
    SkinDirectory = Value;
    SkinData->SkinFolder = FullSkinDirectory();
}

bool TsSkinManager::GetExtendedBorders() const { return ExtendedBordersFlag && LayeredWindowsAvailable(); }

void TsSkinManager::SetExtendedBorders(bool Value) {
    if (Value == ExtendedBordersFlag)
        return;
    ExtendedBordersFlag = Value;
    if (!SkinData->SkinActive)
        return;
    PrepareExtendedBorders();
    Reapply(false);
}

void TsSkinManager::PrepareExtendedBorders() {
    if (!Active || !GetExtendedBorders()) {
        ExBorderMargins = TRect{};
        return;
    }
    FreeAndNil(ExBorderActive);
    FreeAndNil(ExBorderInactive);
    ExBorderActive = Create<TPNGGraphic>();
    ExBorderInactive = Create<TPNGGraphic>();
    const int Index = CommonIndexes.ExBorder;
    if (MaskIndexInRange(Index)) {
        const TsMaskData& M = MaskList[Index];
        const int Offset = SkinData->ExtFormOffset;
        if (SkinData->ExtBorderMode != 0)
            ExBorderMargins = TRect{Offset, Offset, Offset, Offset};
        else
            ExBorderMargins = TRect{M.WL - Offset, M.WT - Offset, M.WR - Offset, M.WB - Offset};
        // An image cut from the master bitmap is copied from there.
        TBitmap* Source = M.Bmp ? M.Bmp : MasterBitmap;
        const int SX = M.Bmp ? 0 : M.R.Left, SY = M.Bmp ? 0 : M.R.Top;
        const int W = GetMaskImageWidth(M), H = GetMaskImageHeight(M);
        auto Cell = [&](TPNGGraphic* Into, int Column) {
            Into->SetPixelFormat(pf32bit);
            Into->SetSize(W, H);
            if (Source)
                BitBlt(Into->Canvas()->Handle(), 0, 0, W, H, Source->Canvas()->Handle(), SX + Column * W, SY, SRCCOPY);
        };
        Cell(ExBorderInactive, 0);
        Cell(ExBorderActive, M.ImageCount == 1 ? 0 : 1);
    } else if (DefaultShadowA && DefaultShadowI) {
        const int More = DesktopCompositionEnabled() ? 1 : 0;
        ExBorderMargins = TRect{11 + More, 7 + More, 11 + More, 11 + More};
        ExBorderActive->Assign(DefaultShadowA);
        ExBorderInactive->Assign(DefaultShadowI);
    }
    for (TPNGGraphic* Image : {ExBorderActive, ExBorderInactive}) {
        if (Image->PixelFormat() != pf32bit)
            continue;
        for (int Y = 0; Y < Image->Height(); ++Y) {
            auto* P = static_cast<Cardinal*>(Image->ScanLine(Y));
            for (int X = 0; X < Image->Width(); ++X)
                if (P[X] == 0x00FFFFFFu)
                    P[X] = 0;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up

namespace {
TPNGGraphic* ShadowResource(const char* Name) {
    HINSTANCE Module = GetModuleHandleA(nullptr);
    if (!FindResourceA(Module, Name, MAKEINTRESOURCEA(10)))
        return nullptr;
    TOwned<TResourceStream> Stream(Create<TResourceStream>(Module, Name, MAKEINTRESOURCEA(10)));
    TPNGGraphic* Image = Create<TPNGGraphic>();
    try {
        Image->LoadFromStream(Stream.get());
    } catch (...) {
        Image->Free();
        return nullptr;
    }
    return Image;
}
}  // namespace

void sSkinManagerInitialization() {
    RegisterClasses({TsSkinManager::StaticClass(), TsStoredSkins::StaticClass(), TsStoredSkin::StaticClass(),
                     TsSkinGenerals::StaticClass(), TsSkinGeneral::StaticClass(), TsSkinImages::StaticClass(),
                     TsSkinImage::StaticClass(), TsSkinPatterns::StaticClass(), TsSkinPattern::StaticClass()});
    OSVERSIONINFOA Info{};
    Info.dwOSVersionInfoSize = sizeof Info;
    IsNTPlatform = GetVersionExA(&Info) && Info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    DefaultShadowA = ShadowResource("acSHDA");
    DefaultShadowI = ShadowResource("acSHDI");
    for (int I = 1; I <= ParamCount(); ++I)
        if (LowerCase(ParamStr(I)) == "/acver") {
            SkinMessageDlg("Skin library, version 6.68", 2, TMsgDlgButtons{mbOK}, 0);
            break;
        }
}

void sSkinManagerFinalization() {
    FreeAndNil(DefaultShadowA);
    FreeAndNil(DefaultShadowI);
}
