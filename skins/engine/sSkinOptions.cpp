#include "sSkinOptions.h"

#include "acntUtils.h"
#include "sGradient.h"

#include <algorithm>
#include <array>

namespace {

constexpr const char* AbsentText = "?";
constexpr int AbsentInteger = -1;

// The keys of the options themselves: their texts are values, never image names.
constexpr std::array<const char*, 32> SectionKeys{
    "PARENTCLASS", "COLOR", "RESERVEDBOOLEAN", "GIVEOWNFONT", "GLOW", "GLOWMARGIN", "FONTCOLOR", "TCLEFT",
    "TCTOP", "TCRIGHT", "TCBOTTOM", "HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM",
    "TRANSPARENCY", "GRADIENTPERCENT", "IMAGEPERCENT", "GRADIENTDATA", "SHOWFOCUS", "FADINGENABLED",
    "FADINGITERATIONS", "HOTCOLOR", "HOTTRANSPARENCY", "HOTGRADIENTPERCENT", "HOTGRADIENTDATA", "HOTIMAGEPERCENT",
    "HGCOL", "HGSIZE", "GCOL", "GSIZE"};
constexpr std::array<const char*, 27> GlobalKeys{
    "VERSION", "AUTHOR", "DESCRIPTION", "MASTERBITMAP", "BORDERWIDTH", "TITLEHEIGHT", "MAXHEIGHT", "FORMOFFSET",
    "CENTEROFFSET", "BORDERMODE", "SHADOW1COLOR", "SHADOW1OFFSET", "SHADOW1BLUR", "SHADOW1TRANSPARENCY",
    "BISPACE", "BIVALIGN", "BIRIGHT", "BILEFT", "BITOP", "BORDERCOLOR", "BIKEEPHUE", "BICONCLOSEGLOW",
    "BICONCLOSEGLOWMARGIN", "BICONMAXGLOW", "BICONMAXGLOWMARGIN", "BICONMINGLOW", "BICONMINGLOWMARGIN"};

template <size_t N>
bool Listed(const std::array<const char*, N>& Keys, const std::string& UpperKey) {
    return std::any_of(Keys.begin(), Keys.end(), [&](const char* K) { return UpperKey == K; });
}

// Walks Section and its PARENTCLASS chain until Read gives a present value. Sections are named
// without regard to case in the text, so a chain back to any section already seen ends the walk.
template <class T, class ReadFn>
T ReadInherited(TCustomIniFile* Ini, std::string Section, ReadFn Read, bool (*IsAbsent)(const T&), T Default) {
    std::vector<std::string> Visited;
    for (;;) {
        T Value = Read(Section);
        if (!IsAbsent(Value))
            return Value;
        Visited.push_back(UpperCase(Section));
        std::string Parent = Ini->ReadString(Section, "PARENTCLASS", AbsentText);
        if (Parent.empty() || Parent == AbsentText || Parent == Section)
            return Default;
        if (std::find(Visited.begin(), Visited.end(), UpperCase(Parent)) != Visited.end())
            return Default;
        Section = Parent;
    }
}

bool AbsentString(const std::string& V) { return V == AbsentText; }
bool AbsentInt(const int& V) { return V == AbsentInteger; }

TColor ReadSkinColor(TCustomIniFile* Ini, const std::string& Section, const char* Key, TColor Default, bool ToRgb) {
    TColor C = ReadSkinInteger(Ini, Section, Key, Default);
    return ToRgb ? ColorToRGB(C) : C;
}

// 1-based copy: characters Pos..Pos + Count - 1 (1-based) as far as S has them.
std::string Columns(const std::string& S, size_t Pos, size_t Count) {
    if (Pos > S.size())
        return "";
    return S.substr(Pos - 1, Count);
}
int ColumnInt(const std::string& S, size_t Pos, size_t Count) { return StrToInt(Columns(S, Pos, Count)); }

SmallInt Small(int V) { return static_cast<SmallInt>(V); }

TRect FixedColumnRect(const std::string& V) {
    return Rect(ColumnInt(V, 2, 4), ColumnInt(V, 7, 4), ColumnInt(V, 12, 4), ColumnInt(V, 17, 4));
}

// The gradients parsed from their texts (" " is none) and the image indexes cleared, as every new
// section record has them.
void FinishSection(TsGeneralData& Data) {
    if (Data.GradientData != " ")
        ParseGradientData(Data.GradientData, Data.Gradient);
    if (Data.HotGradientData != " ")
        ParseGradientData(Data.HotGradientData, Data.HotGradient);
    Data.BorderIndex = Data.ImgTL = Data.ImgTR = Data.ImgBL = Data.ImgBR = -1;
}

}  // namespace

std::string ReadSkinString(TCustomIniFile* Ini, const std::string& Section, const std::string& Key,
                           const std::string& Default) {
    return ReadInherited<std::string>(
        Ini, Section, [&](const std::string& S) { return Ini->ReadString(S, Key, AbsentText); }, AbsentString,
        Default);
}

int ReadSkinInteger(TCustomIniFile* Ini, const std::string& Section, const std::string& Key, int Default) {
    return ReadInherited<int>(
        Ini, Section, [&](const std::string& S) { return static_cast<int>(Ini->ReadInteger(S, Key, AbsentInteger)); },
        AbsentInt, Default);
}

bool ReadSkinBool(TCustomIniFile* Ini, const std::string& Section, const std::string& Key, bool Default) {
    return UpperCase(ReadSkinString(Ini, Section, Key, Default ? "TRUE" : "FALSE")) == "TRUE";
}

void ReadSkinGlobalInfo(TCustomIniFile* Ini, TsSkinData* Data) {
    const std::string G = SkinGlobalSection;
    TFormatSettings Dot = FormatSettings;
    Dot.DecimalSeparator = '.';
    double Version = 0;
    if (!TryStrToFloat(Ini->ReadString(G, "VERSION", "0"), Version, Dot))
        Version = 0;
    Data->Version = Version;
    Data->Author = Ini->ReadString(G, "AUTHOR", "");
    Data->Description = Ini->ReadString(G, "DESCRIPTION", "");
    auto Int = [&](const char* Key, int Default) { return static_cast<int>(Ini->ReadInteger(G, Key, Default)); };
    auto Strict = [&](const char* Key, const char* Default) { return Small(StrToInt(Ini->ReadString(G, Key, Default))); };
    Data->ExtBorderWidth = Small(Int("BORDERWIDTH", 4));
    Data->ExtTitleHeight = Small(Int("TITLEHEIGHT", 30));
    Data->ExtMaxTitleHeight = Small(Int("MAXHEIGHT", 0));
    if (Data->ExtMaxTitleHeight == 0)
        Data->ExtMaxTitleHeight = Data->ExtTitleHeight;
    Data->ExtFormOffset = Small(Int("FORMOFFSET", 8));
    Data->ExtCenterOffset = Small(Int("CENTEROFFSET", 0));
    Data->ExtBorderMode = Small(Int("BORDERMODE", 0));
    Data->Shadow1Color = Int("SHADOW1COLOR", 0);
    Data->Shadow1Offset = Strict("SHADOW1OFFSET", "0");
    Data->Shadow1Blur = Strict("SHADOW1BLUR", "-1");
    Data->Shadow1Transparency = Strict("SHADOW1TRANSPARENCY", "0");
    Data->TitleButtonSpacing = Small(Int("BISPACE", 0));
    Data->TitleButtonVAlign = Small(Int("BIVALIGN", 0));
    Data->TitleRightMargin = Small(Int("BIRIGHT", 0));
    Data->TitleLeftMargin = Small(Int("BILEFT", 0));
    Data->TitleTopMargin = Small(Int("BITOP", 0));
    Data->BorderColor = Int("BORDERCOLOR", 0);
    Data->TitleButtonKeepHue = Small(Int("BIKEEPHUE", 0));
    Data->CloseButtonGlow = Strict("BICONCLOSEGLOW", "0");
    Data->CloseButtonGlowMargin = Strict("BICONCLOSEGLOWMARGIN", "0");
    Data->MaxButtonGlow = Strict("BICONMAXGLOW", "0");
    Data->MaxButtonGlowMargin = Strict("BICONMAXGLOWMARGIN", "0");
    Data->MinButtonGlow = Strict("BICONMINGLOW", "0");
    Data->MinButtonGlowMargin = Strict("BICONMINGLOWMARGIN", "0");
}

void ReadSkinSection(TCustomIniFile* Ini, const std::string& Section, TsGeneralData& Data) {
    auto Int = [&](const char* Key, int Default) { return ReadSkinInteger(Ini, Section, Key, Default); };
    auto Bool = [&](const char* Key) { return ReadSkinBool(Ini, Section, Key, false); };
    Data = TsGeneralData{};
    Data.SectionName = Section;
    Data.ParentClass = Ini->ReadString(Section, "PARENTCLASS", "");
    Data.Color = ReadSkinColor(Ini, Section, "COLOR", 0xFFFFFF, true);
    Data.ReservedBoolean = Bool("RESERVEDBOOLEAN");
    Data.GiveOwnFont = Bool("GIVEOWNFONT");
    Data.GlowCount = Int("GLOW", 0);
    Data.GlowMargin = Int("GLOWMARGIN", 0);
    static const char* const FontKeys[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
    static const char* const HotFontKeys[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
    for (int I = 0; I < 5; ++I) {
        Data.FontColor[I] = ReadSkinColor(Ini, Section, FontKeys[I], I == 0 ? 0 : -1, false);
        Data.HotFontColor[I] = ReadSkinColor(Ini, Section, HotFontKeys[I], I == 0 ? 0 : -1, false);
    }
    Data.Transparency = Int("TRANSPARENCY", 0);
    Data.GradientPercent = Int("GRADIENTPERCENT", 0);
    Data.ImagePercent = Int("IMAGEPERCENT", 0);
    Data.GradientData = ReadSkinString(Ini, Section, "GRADIENTDATA", " ");
    Data.ShowFocus = Bool("SHOWFOCUS");
    Data.FadingEnabled = Bool("FADINGENABLED");
    Data.FadingIterations = Int("FADINGITERATIONS", 5);
    Data.HotColor = ReadSkinColor(Ini, Section, "HOTCOLOR", 0xFFFFFF, false);
    Data.HotTransparency = Int("HOTTRANSPARENCY", 0);
    Data.HotGradientPercent = Int("HOTGRADIENTPERCENT", 0);
    Data.HotGradientData = ReadSkinString(Ini, Section, "HOTGRADIENTDATA", "");
    Data.HotImagePercent = Int("HOTIMAGEPERCENT", 0);
    Data.HotGlowColor = ReadSkinColor(Ini, Section, "HGCOL", 0xFFFFFF, true);
    Data.HotGlowSize = static_cast<Byte>(Int("HGSIZE", 0));
    Data.GlowColor = ReadSkinColor(Ini, Section, "GCOL", 0xFFFFFF, true);
    Data.GlowSize = static_cast<Byte>(Int("GSIZE", 0));
    FinishSection(Data);
}

void ReadCommonSection(TStringList* Sections, const std::string& Section, const TsGeneralData* Parent,
                       TsGeneralData& Data) {
    TsGeneralData Defaults;
    if (!Parent) {
        TOwned<TMemIniFile> Empty(Create<TMemIniFile>(""));
        ReadSkinSection(Empty.get(), Section, Defaults);
    }
    const TsGeneralData& Base = Parent ? *Parent : Defaults;
    // A text that no line of the section can hold: the key is missing.
    const std::string Missing(1, '\0');
    auto Text = [&](const char* Key, const std::string& Inherited) {
        std::string V = GetSectionText(Sections, Section, Key, Missing);
        return V == Missing ? Inherited : V;
    };
    auto Has = [&](const char* Key) { return GetSectionText(Sections, Section, Key, Missing) != Missing; };
    auto Int = [&](const char* Key, int Inherited) {
        return Has(Key) ? GetSectionInteger(Sections, Section, Inherited, Key) : Inherited;
    };
    auto Bool = [&](const char* Key, bool Inherited) { return Has(Key) ? UpperCase(Text(Key, "")) == "TRUE" : Inherited; };
    auto Glow = [&](const char* Key, int Inherited) {
        int V = GetSectionInteger(Sections, Section, 0, Key);
        return V == -1 ? Inherited : V;
    };
    Data = TsGeneralData{};
    Data.SectionName = Section;
    Data.Color = Has("COLOR") ? ColorToRGB(Int("COLOR", Base.Color)) : Base.Color;
    Data.ReservedBoolean = Bool("RESERVEDBOOLEAN", Base.ReservedBoolean);
    Data.GiveOwnFont = Bool("GIVEOWNFONT", Base.GiveOwnFont);
    Data.GlowCount = Glow("GLOW", Base.GlowCount);
    Data.GlowMargin = Glow("GLOWMARGIN", Base.GlowMargin);
    static const char* const FontKeys[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
    static const char* const HotFontKeys[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
    for (int I = 0; I < 5; ++I) {
        Data.FontColor[I] = Int(FontKeys[I], Base.FontColor[I]);
        Data.HotFontColor[I] = Int(HotFontKeys[I], Base.HotFontColor[I]);
    }
    Data.Transparency = Int("TRANSPARENCY", Base.Transparency);
    Data.GradientPercent = Int("GRADIENTPERCENT", Base.GradientPercent);
    Data.ImagePercent = Int("IMAGEPERCENT", Base.ImagePercent);
    Data.GradientData = Text("GRADIENTDATA", Base.GradientData);
    Data.ShowFocus = Bool("SHOWFOCUS", Base.ShowFocus);
    Data.FadingEnabled = Bool("FADINGENABLED", Base.FadingEnabled);
    Data.FadingIterations = Int("FADINGITERATIONS", Base.FadingIterations);
    Data.HotColor = Int("HOTCOLOR", Base.HotColor);
    Data.HotTransparency = Int("HOTTRANSPARENCY", Base.HotTransparency);
    Data.HotGradientPercent = Int("HOTGRADIENTPERCENT", Base.HotGradientPercent);
    Data.HotGradientData = Text("HOTGRADIENTDATA", Base.HotGradientData);
    Data.HotImagePercent = Int("HOTIMAGEPERCENT", Base.HotImagePercent);
    Data.HotGlowColor = Has("HGCOL") ? ColorToRGB(Int("HGCOL", Base.HotGlowColor)) : Base.HotGlowColor;
    Data.HotGlowSize = static_cast<Byte>(Glow("HGSIZE", Base.HotGlowSize));
    Data.GlowColor = Has("GCOL") ? ColorToRGB(Int("GCOL", Base.GlowColor)) : Base.GlowColor;
    Data.GlowSize = static_cast<Byte>(Glow("GSIZE", Base.GlowSize));
    FinishSection(Data);
}

// ---------------------------------------------------------------------------------------------
// Image values

bool IsSkinOptionKey(const std::string& Section, const std::string& Key) {
    std::string K = UpperCase(Key);
    return Listed(SectionKeys, K) || (SameText(Section, SkinGlobalSection) && Listed(GlobalKeys, K));
}

TSkinImageValue ParseSkinImageKey(const std::string& Section, const std::string& Key, const std::string& Value) {
    if ((Section == SkinGlobalSection && Key == SkinMasterBitmapKey) || IsSkinOptionKey(Section, Key))
        return {};
    return ParseSkinImageValue(Value);
}

TSkinImageValue ParseSkinImageValue(const std::string& Value) {
    TSkinImageValue Result;
    if (Value.empty())
        return Result;
    TsMaskData& M = Result.Mask;
    switch (Value[0]) {
    case '!': {
        const TacCharSet Bang = MakeCharSet("!");
        std::string File = GetWordAt(1, Value, Bang);
        if (File.find(".BMP") == std::string::npos && File.find(".PNG") == std::string::npos)
            return Result;
        Result.Kind = TSkinImageKind::FileImage;
        Result.FileName = File;
        M.ImageCount = Small(StrToInt(GetWordAt(2, Value, Bang)));
        M.MaskType = Small(StrToInt(GetWordAt(3, Value, Bang)));
        M.ImgType = static_cast<TacImgType>(std::clamp(StrToInt(GetWordAt(4, Value, Bang)), 0, int(itisaPngGlyph)));
        M.StretchMode = 4;
        if (CountWords(Value, Bang) >= 8) {
            M.WL = Small(StrToInt(GetWordAt(5, Value, Bang)));
            M.WT = Small(StrToInt(GetWordAt(6, Value, Bang)));
            M.WR = Small(StrToInt(GetWordAt(7, Value, Bang)));
            M.WB = Small(StrToInt(GetWordAt(8, Value, Bang)));
        }
        return Result;
    }
    case '@':
        Result.Kind = TSkinImageKind::MasterGlyph;
        M.R = FixedColumnRect(Value);
        M.ImageCount = Small(ColumnInt(Value, 22, 1));
        M.MaskType = Small(ColumnInt(Value, 24, 1));
        M.ImgType = itisaGlyph;
        return Result;
    case '^':
        Result.Kind = TSkinImageKind::MasterBorder;
        M.R = FixedColumnRect(Value);
        M.WL = Small(ColumnInt(Value, 22, 4));
        M.WT = Small(ColumnInt(Value, 27, 4));
        M.WR = Small(ColumnInt(Value, 32, 4));
        M.WB = Small(ColumnInt(Value, 37, 4));
        M.ImageCount = Small(ColumnInt(Value, 42, 1));
        M.MaskType = Small(ColumnInt(Value, 44, 1));
        M.StretchMode = Small(ColumnInt(Value, 46, 1));
        M.BorderWidth = Small(ColumnInt(Value, 48, 1));
        M.ImgType = itisaBorder;
        DeriveBorderWidths(M);
        return Result;
    case '~':
        Result.Kind = TSkinImageKind::MasterTexture;
        M.R = FixedColumnRect(Value);
        M.StretchMode = Small(ColumnInt(Value, 22, 2));
        M.MaskType = Value.size() >= 25 ? Small(ColumnInt(Value, 25, 1)) : SmallInt(0);
        M.ImageCount = 1;
        M.ImgType = itisaTexture;
        return Result;
    default:
        break;
    }
    if (Value.find('#') == std::string::npos) {
        std::string Upper = UpperCase(Value);
        if (Upper.find(".BMP") != std::string::npos) {
            Result.Kind = TSkinImageKind::BitmapFile;
            Result.FileName = Upper;
            M.ImageCount = 3;
            M.MaskType = 1;
        }
        return Result;
    }
    if (Value == "#") {
        Result.Kind = TSkinImageKind::NoImage;
        return Result;
    }
    const TacCharSet Groups = MakeCharSet(" ()");
    const TacCharSet Numbers = MakeCharSet(" ,");
    std::string RectText = GetWordAt(2, Value, Groups);
    std::string Counts = GetWordAt(3, Value, Groups);
    Result.Kind = TSkinImageKind::MasterFree;
    M.R = Rect(StrToInt(GetWordAt(1, RectText, Numbers)), StrToInt(GetWordAt(2, RectText, Numbers)),
               StrToInt(GetWordAt(3, RectText, Numbers)), StrToInt(GetWordAt(4, RectText, Numbers)));
    M.ImageCount = Small(std::max(1, StrToInt(GetWordAt(1, Counts, Numbers))));
    M.MaskType = Small(std::max(0, StrToInt(GetWordAt(2, Counts, Numbers))));
    std::string Border = GetWordAt(3, Counts, Numbers);
    std::string Stretch = GetWordAt(4, Counts, Numbers);
    M.BorderWidth = Small(Border.empty() ? 0 : std::max(0, StrToInt(Border)));
    M.StretchMode = Small(Stretch.empty() ? 1 : StrToInt(Stretch));
    M.ImgType = itisaBorder;
    DeriveBorderWidths(M);
    return Result;
}

void DeriveBorderWidths(TsMaskData& Mask) {
    if (Mask.WL + Mask.WT + Mask.WR + Mask.WB != 0)
        return;
    if (Mask.BorderWidth != 0) {
        Mask.WL = Mask.WT = Mask.WR = Mask.WB = Mask.BorderWidth;
        return;
    }
    int Across = Mask.ImageCount * 3;
    int Down = (Mask.MaskType + 1) * 3;
    // Integer division by zero is no exception here: the load fails with an error instead.
    if (Across == 0 || Down == 0)
        throw EConvertError(std::string("Division by zero"));
    Mask.WL = Mask.WR = Small(Mask.R.Width() / Across);
    Mask.WT = Mask.WB = Small(Mask.R.Height() / Down);
}

bool IsSkinPatternValue(const std::string& Value) {
    std::string Upper = UpperCase(Value);
    return Upper.find(".JPG") != std::string::npos || Upper.find(".JPEG") != std::string::npos;
}
