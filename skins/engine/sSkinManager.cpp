#include "sSkinManager.h"
#include "sSkinManagerLoading.h"

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
    MenuSupport = Create<TacMenuSupport>();
    if (!DefaultManager) {
        DefaultManager = this;
        if (IsNTPlatform && Application && !ComponentState().Contains(csDesigning)) {
            Application->HookMainWindow(TWindowHook::Bind<&TsSkinManager::MainWindowHook>(this));
            MainWindowHooked = true;
        }
    }
    if (MakeSkinableMenus)
        SkinableMenus = MakeSkinableMenus(this);
}

TsSkinManager::~TsSkinManager() {
    if (Active && SkinData && SkinData->SkinActive)
        SendRemoveSkin();
    Active = false;
    RemoveDialogHook();
    // A manager that hooked the application window unhooks it even when another one has become the
    // default meanwhile: the hook must not outlive it.
    if (MainWindowHooked && Application)
        Application->UnhookMainWindow(TWindowHook::Bind<&TsSkinManager::MainWindowHook>(this));
    if (DefaultManager == this)
        DefaultManager = nullptr;
    if (SkinableMenus) {
        FreeObject(dynamic_cast<TObject*>(SkinableMenus));
        SkinableMenus = nullptr;
    }
    FreeAndNil(MenuSupport);
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
// The manager as a component

void TsSkinManager::DefineClass(TClassBuilder<TsSkinManager>& B) {
    using M = TsSkinManager;
    B.Property("AnimEffects", &M::AnimEffects);
    B.Property("HueOffset", &M::HueOffset, &M::SetHueOffset).Default(0);
    B.Property("Saturation", &M::Saturation, &M::SetSaturation).Default(0);
    B.Property("SkinDirectory", &M::SkinDirectory, &M::SetSkinDirectory);
    B.Property("SkinName", &M::GetSkinName, &M::SetSkinName);
    B.Property("SkinnedPopups", &M::SkinnedPopups, &M::SetSkinnedPopups).Default(true);
    B.Property("MenuSupport", &M::MenuSupport);
    B.Property("OnGetMenuExtraLineData", &M::OnGetMenuExtraLineData, &M::OnGetMenuExtraLineData);
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
    if (MenuSupport->IcoLineSkin.empty())
        MenuSupport->IcoLineSkin = "ICOLINE";
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
    if (SkinableMenus)
        SkinableMenus->ResetSkinBorderWidth();
    SkinData->SkinActive = false;
    SkinBroadcastRunning = true;
    CacheCommonIndexes();
    TMessage M{SM_ALPHACMD, MAKEWPARAM(0, SKIN_LOADED), reinterpret_cast<LPARAM>(this), 0};
    BroadcastToAllForms(M);
    SkinBroadcastRunning = false;
    SkinData->SkinActive = true;
    if (SkinableMenus)
        SkinableMenus->UpdateActive();
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
    if (SkinableMenus)
        SkinableMenus->UpdateActive();
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
