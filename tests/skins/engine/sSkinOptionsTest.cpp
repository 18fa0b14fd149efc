// The skin options text: skin-wide values, inherited section keys and the image value grammars.
#include "sSkinOptions.h"

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

namespace {

std::unique_ptr<TMemIniFile> IniOf(const std::string& Text) {
    auto Ini = std::make_unique<TMemIniFile>("");
    TStringList Lines;
    Lines.SetText(Text);
    Ini->SetStrings(&Lines);
    return Ini;
}

const char* const SkinText =
    "[GLOBALINFO]\r\n"
    "VERSION=6.52\r\n"
    "AUTHOR=Someone #1\r\n"
    "MASTERBITMAP=MASTER.BMP\r\n"
    "TITLEHEIGHT=24\r\n"
    "MAXHEIGHT=0\r\n"
    "SHADOW1BLUR=3\r\n"
    "BORDERCOLOR=0x1F\r\n"
    "[BASE]\r\n"
    "COLOR=$8000000F\r\n"
    "FADINGITERATIONS=7\r\n"
    "SHOWFOCUS=TrUe\r\n"
    "FADINGENABLED=yes\r\n"
    "FONTCOLOR=255\r\n"
    "GRADIENTDATA=16777215;0;100;0;0\r\n"
    "HGSIZE=300\r\n"
    "[CHILD]\r\n"
    "PARENTCLASS=BASE\r\n"
    "TRANSPARENCY=-1\r\n"
    "FONTCOLOR=-1\r\n"
    "TCLEFT=-1\r\n"
    "HOTCOLOR=$8000000F\r\n"
    "HOTGRADIENTDATA=?\r\n"
    "[LOOPA]\r\n"
    "PARENTCLASS=LOOPB\r\n"
    "[LOOPB]\r\n"
    "PARENTCLASS=loopa\r\n"
    "[SELF]\r\n"
    "PARENTCLASS=SELF\r\n";

TEST(SkinOptionsLocale, GlobalValuesWithTheirDefaultsAndADotForTheVersion) {
    skintests::EnsureSkinUnits();
    auto Ini = IniOf(SkinText);
    TsSkinData Data;
    ReadSkinGlobalInfo(Ini.get(), &Data);
    EXPECT_DOUBLE_EQ(Data.Version, 6.52);
    EXPECT_EQ(Data.Author, "Someone #1");
    EXPECT_EQ(Data.ExtTitleHeight, 24);
    EXPECT_EQ(Data.ExtMaxTitleHeight, 24);
    EXPECT_EQ(Data.ExtBorderWidth, 4);
    EXPECT_EQ(Data.ExtFormOffset, 8);
    EXPECT_EQ(Data.Shadow1Blur, 3);
    EXPECT_EQ(Data.Shadow1Offset, 0);
    EXPECT_EQ(Data.BorderColor, 31);

    auto Empty = IniOf("[OTHER]\r\nA=1\r\n");
    ReadSkinGlobalInfo(Empty.get(), &Data);
    EXPECT_EQ(Data.Version, 0);
    EXPECT_EQ(Data.ExtTitleHeight, 30);
    EXPECT_EQ(Data.ExtMaxTitleHeight, 30);
    EXPECT_EQ(Data.Shadow1Blur, -1);

    auto Bad = IniOf("[GLOBALINFO]\r\nSHADOW1OFFSET=abc\r\n");
    EXPECT_THROW(ReadSkinGlobalInfo(Bad.get(), &Data), EConvertError);
}

TEST(SkinOptionsSections, KeysAreInheritedThroughTheParentChain) {
    skintests::EnsureSkinUnits();
    auto Ini = IniOf(SkinText);
    TsGeneralData D;
    ReadSkinSection(Ini.get(), "CHILD", D);
    EXPECT_EQ(D.SectionName, "CHILD");
    EXPECT_EQ(D.ParentClass, "BASE");
    EXPECT_EQ(D.Color, ColorToRGB(clBtnFace));
    EXPECT_EQ(D.HotColor, TColor(0x8000000F));  // stored as written
    EXPECT_EQ(D.FadingIterations, 7);
    EXPECT_TRUE(D.ShowFocus);
    EXPECT_FALSE(D.FadingEnabled);
    EXPECT_EQ(D.FontColor[0], 255);   // written as -1: inherited
    EXPECT_EQ(D.FontColor[1], -1);
    EXPECT_EQ(D.Transparency, 0);
    EXPECT_EQ(D.GradientData, "16777215;0;100;0;0");
    ASSERT_EQ(D.Gradient.size(), 1u);
    EXPECT_EQ(D.Gradient[0].Color1, 16777215);
    EXPECT_EQ(D.HotGradientData, "");  // "?" counts as absent
    EXPECT_TRUE(D.HotGradient.empty());
    EXPECT_EQ(D.HotGlowSize, 300 % 256);
    EXPECT_EQ(D.GlowColor, 0xFFFFFF);
    EXPECT_EQ(D.BorderIndex, -1);
    EXPECT_EQ(D.ImgBR, -1);

    for (const char* Section : {"LOOPA", "SELF", "MISSING"}) {
        ReadSkinSection(Ini.get(), Section, D);
        EXPECT_EQ(D.FadingIterations, 5) << Section;
        EXPECT_EQ(D.GradientData, " ") << Section;
        EXPECT_TRUE(D.Gradient.empty()) << Section;
        EXPECT_EQ(D.Color, 0xFFFFFF) << Section;
    }
}

TEST(SkinOptionsImages, ValuesByTheirGrammars) {
    using K = TSkinImageKind;
    struct Case {
        const char* Value;
        K Kind;
        TRect R;
        int ImageCount, MaskType, BorderWidth, StretchMode;
        TacImgType ImgType;
        int WL, WT, WR, WB;
        const char* FileName;
    };
    const Case Cases[] = {
        {"@0010 0020 0050 0060 3 1", K::MasterGlyph, {10, 20, 50, 60}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0, ""},
        {"!CLOSE.BMP!3!1!2", K::FileImage, {}, 3, 1, 0, 4, itisaGlyph, 0, 0, 0, 0, "CLOSE.BMP"},
        {"!!PIC.PNG!!2!0!9!1!2!3!4", K::FileImage, {}, 2, 0, 0, 4, itisaPngGlyph, 1, 2, 3, 4, "PIC.PNG"},
        {"!close.bmp!3!1!2", K::None, {}, 0, 0, 0, 0, itisaBorder, 0, 0, 0, 0, ""},
        {"^0000 0000 0060 0020 0005 0002 0005 0002 3 1 4 0", K::MasterBorder, {0, 0, 60, 20}, 3, 1, 0, 4,
         itisaBorder, 5, 2, 5, 2, ""},
        {"^0000 0000 0060 0020 0000 0000 0000 0000 3 1 1 0", K::MasterBorder, {0, 0, 60, 20}, 3, 1, 0, 1,
         itisaBorder, 6, 3, 6, 3, ""},
        {"^0000 0000 0060 0020 0000 0000 0000 0000 3 1 1 2", K::MasterBorder, {0, 0, 60, 20}, 3, 1, 2, 1,
         itisaBorder, 2, 2, 2, 2, ""},
        {"~0000 0000 0010 0010 02 ", K::MasterTexture, {0, 0, 10, 10}, 1, 0, 0, 2, itisaTexture, 0, 0, 0, 0, ""},
        {"~0000 0000 0010 0010 02 1", K::MasterTexture, {0, 0, 10, 10}, 1, 1, 0, 2, itisaTexture, 0, 0, 0, 0, ""},
        {"#(0,0,60,20)(3,1)", K::MasterFree, {0, 0, 60, 20}, 3, 1, 0, 1, itisaBorder, 6, 3, 6, 3, ""},
        {"x#(0,0,90,30) (0,-2,4,3)", K::MasterFree, {0, 0, 90, 30}, 1, 0, 4, 3, itisaBorder, 4, 4, 4, 4, ""},
        {"#", K::NoImage, {}, 0, 0, 0, 0, itisaBorder, 0, 0, 0, 0, ""},
        {"border.bmp", K::BitmapFile, {}, 3, 1, 0, 0, itisaBorder, 0, 0, 0, 0, "BORDER.BMP"},
        {"plain text", K::None, {}, 0, 0, 0, 0, itisaBorder, 0, 0, 0, 0, ""},
    };
    for (const Case& C : Cases) {
        TSkinImageValue V = ParseSkinImageValue(C.Value);
        SCOPED_TRACE(C.Value);
        EXPECT_EQ(V.Kind, C.Kind);
        EXPECT_EQ(V.FileName, C.FileName);
        EXPECT_EQ(V.Mask.R, C.R);
        EXPECT_EQ(V.Mask.ImageCount, C.ImageCount);
        EXPECT_EQ(V.Mask.MaskType, C.MaskType);
        EXPECT_EQ(V.Mask.BorderWidth, C.BorderWidth);
        EXPECT_EQ(V.Mask.StretchMode, C.StretchMode);
        EXPECT_EQ(V.Mask.ImgType, C.ImgType);
        EXPECT_EQ((std::array<int, 4>{V.Mask.WL, V.Mask.WT, V.Mask.WR, V.Mask.WB}),
                  (std::array<int, 4>{C.WL, C.WT, C.WR, C.WB}));
    }
}

TEST(SkinOptionsImages, MalformedValuesEndTheLoadWithAConversionError) {
    for (const char* Value : {"@12", "^0000 0000 0060 0020 0000 0000 0000 0000 0 1 1 0", "#(1,2,3)(1,1)",
                              "!A.BMP!x!1!2", "Someone #1"}) {
        EXPECT_THROW(ParseSkinImageValue(Value), EConvertError) << Value;
    }
    try {
        ParseSkinImageValue("^0000 0000 0060 0020 0000 0000 0000 0000 0 1 1 0");
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Division by zero");
    }
}

TEST(SkinOptionsImages, KeysOfTheOptionsAreNeverImages) {
    EXPECT_EQ(ParseSkinImageKey("GLOBALINFO", "AUTHOR", "Someone #1").Kind, TSkinImageKind::None);
    EXPECT_EQ(ParseSkinImageKey("GLOBALINFO", "DESCRIPTION", "see readme.bmp").Kind, TSkinImageKind::None);
    EXPECT_EQ(ParseSkinImageKey("GLOBALINFO", "MASTERBITMAP", "MASTER.BMP").Kind, TSkinImageKind::None);
    EXPECT_EQ(ParseSkinImageKey("EDIT", "GRADIENTDATA", "#").Kind, TSkinImageKind::None);
    EXPECT_EQ(ParseSkinImageKey("EDIT", "AUTHOR", "A.BMP").Kind, TSkinImageKind::BitmapFile);
    EXPECT_EQ(ParseSkinImageKey("EDIT", "BORDERSMASK", "#(0,0,60,20)(3,1)").Kind, TSkinImageKind::MasterFree);
}

TEST(SkinOptionsImages, PatternValues) {
    for (auto [Value, Expected] : {std::pair{"wood.jpg", true}, {"WOOD.JPEG", true}, {"wood.bmp", false},
                                   {"x.jp", false}}) {
        EXPECT_EQ(IsSkinPatternValue(Value), Expected) << Value;
    }
}

}  // namespace
