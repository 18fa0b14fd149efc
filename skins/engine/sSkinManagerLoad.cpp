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
