// Pixel row conversion: depth checks, converter choice, masks, scaling, gamma and palettes.
#include "acColorManager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace acColorManagerMessages;

void SetFormats(TColorManager& M, Byte From, Byte To, Byte SourceSamples, Byte TargetSamples, Byte SourceBits,
                Byte TargetBits) {
    M.SetSourceScheme(From);
    M.SetTargetScheme(To);
    M.SetSourceSamples(SourceSamples);
    M.SetTargetSamples(TargetSamples);
    M.SetSourceBits(SourceBits);
    M.SetTargetBits(TargetBits);
}

std::vector<PALETTEENTRY> Entries(HPALETTE P) {
    std::vector<PALETTEENTRY> E(GetPaletteEntries(P, 0, 0, nullptr));
    GetPaletteEntries(P, 0, static_cast<UINT>(E.size()), E.data());
    DeleteObject(P);
    return E;
}

std::string ErrorOf(const std::function<void()>& F) {
    try {
        F();
    } catch (const EColorConversionError& E) {
        return E.Message();
    }
    return "";
}

TEST(ColorManagerSetup, DepthAndSampleCountsOutsideTheirRangesRaiseAndKeepTheOldValue) {
    struct Case {
        const char* Name;
        std::function<void(TColorManager&)> Set;
        const char* Message;
    };
    const Case Cases[] = {
        {"source bits 0", [](TColorManager& M) { M.SetSourceBits(0); }, SBitsPerSample},
        {"source bits 17", [](TColorManager& M) { M.SetSourceBits(17); }, SBitsPerSample},
        {"target bits 0", [](TColorManager& M) { M.SetTargetBits(0); }, SBitsPerSample},
        {"source bits 3", [](TColorManager& M) { M.SetSourceBits(3); }, ""},
        {"target bits 16", [](TColorManager& M) { M.SetTargetBits(16); }, ""},
        {"source samples 0", [](TColorManager& M) { M.SetSourceSamples(0); }, SSampleCount},
        {"target samples 5", [](TColorManager& M) { M.SetTargetSamples(5); }, SSampleCount},
        {"target samples 4", [](TColorManager& M) { M.SetTargetSamples(4); }, ""},
    };
    for (const Case& C : Cases) {
        TColorManager M;
        EXPECT_EQ(ErrorOf([&] { C.Set(M); }), C.Message) << C.Name;
    }
    TColorManager M;
    ErrorOf([&] { M.SetSourceBits(0); });
    EXPECT_EQ(M.SourceBits(), 8);
}

TEST(ColorManagerSetup, IndexedAndNonIndexedSidesDoNotMix) {
    Byte Row[4] = {10, 20, 30, 40}, Out[8] = {};
    TColorManager M;
    SetFormats(M, SchemeGrayAlpha, SchemeIndexed, 1, 1, 8, 8);
    M.ConvertPixelRow(Row, 0xFF, 2, Out);
    EXPECT_EQ(Out[0], 10);
    EXPECT_EQ(Out[1], 30);  // the alpha samples are stepped over

    TColorManager N;
    SetFormats(N, SchemeRGB, SchemeGray, 3, 1, 8, 8);
    EXPECT_EQ(ErrorOf([&] { N.ConvertPixelRow(Row, 0xFF, 1, Out); }), SIndexedConversion);

    TColorManager Cmy;
    SetFormats(Cmy, SchemeCMY, SchemeBGR, 3, 3, 8, 8);
    EXPECT_EQ(ErrorOf([&] { Cmy.ConvertPixelRow(Row, 0xFF, 1, Out); }), SNoConverter);
}

TEST(ColorManagerRows, MaskWritesOnlyItsPixelsAndConsumesOneSourcePixelEach) {
    for (Byte Scheme : {SchemeGray, SchemeIndexed}) {
        TColorManager M;
        SetFormats(M, Scheme, Scheme, 1, 1, 8, 8);
        Byte Source[8] = {11, 12, 13, 14, 15, 16, 17, 18};
        Byte Target[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        M.ConvertPixelRow(Source, 0x55, 8, Target);
        EXPECT_EQ(Bytes(Target, Target + 8), (Bytes{0, 11, 0, 12, 0, 13, 0, 14})) << int(Scheme);
    }
}

TEST(ColorManagerRows, TwoBitValuesSpreadOverAFourBitTarget) {
    for (Byte Scheme : {SchemeGray, SchemeIndexed}) {
        TColorManager M;
        SetFormats(M, Scheme, Scheme, 1, 1, 2, 4);
        Byte Source[1] = {0x1B};  // 0, 1, 2, 3
        Byte Target[2] = {0xFF, 0xFF};
        M.ConvertPixelRow(Source, 0xFF, 4, Target);
        EXPECT_EQ(Target[0], 0x05) << int(Scheme);
        EXPECT_EQ(Target[1], 0xAF) << int(Scheme);
    }
}

TEST(ColorManagerRows, LowDepthMaskKeepsTheOtherBitsOfATargetByte) {
    TColorManager M;
    SetFormats(M, SchemeIndexed, SchemeIndexed, 1, 1, 1, 1);
    Byte Source[1] = {0xF0};     // 1, 1, 1, 1, 0, ...
    Byte Target[1] = {0x00};
    M.ConvertPixelRow(Source, 0xAA, 8, Target);  // pixels 0, 2, 4, 6 take 1, 1, 1, 1
    EXPECT_EQ(Target[0], 0xAA);
}

TEST(ColorManagerRows, SixteenBitSamplesAreSwappedThenReduced) {
    struct Case {
        Byte High, Low;
        Byte Expected;
    };
    const Case Cases[] = {{0x12, 0x34, 18}, {0xFF, 0xFF, 255}, {0xFF, 0xFE, 254}, {0x00, 0xFF, 0}};
    for (const Case& C : Cases) {
        TColorManager M;
        SetFormats(M, SchemeRGB, SchemeBGR, 3, 3, 16, 8);
        M.SourceOptions = coNeedByteSwap;
        Byte Source[6] = {C.High, C.Low, 0, 0, 0, 0};
        Byte Target[3] = {};
        M.ConvertPixelRow(Source, 0xFF, 1, Target);
        EXPECT_EQ(Target[2], C.Expected) << int(C.High) << " " << int(C.Low);
    }
}

TEST(ColorManagerRows, ChannelOrderAndAlphaFollowTheSchemes) {
    struct Case {
        const char* Name;
        Byte From, To;
        Bytes Source;
        Bytes Expected;  // the target starts as 0xEE bytes
    };
    const Case Cases[] = {
        {"RGB to BGR", SchemeRGB, SchemeBGR, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        {"RGB to RGB", SchemeRGB, SchemeRGB, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},
        {"BGR to RGB", SchemeBGR, SchemeRGB, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        {"RGBA to BGRA", SchemeRGBA, SchemeBGRA, {1, 2, 3, 9, 4, 5, 6, 8}, {3, 2, 1, 9, 6, 5, 4, 8}},
        {"RGBA to BGR drops alpha", SchemeRGBA, SchemeBGR, {1, 2, 3, 9, 4, 5, 6, 8}, {3, 2, 1, 6, 5, 4}},
        {"RGB to BGRA keeps the target's alpha", SchemeRGB, SchemeBGRA, {1, 2, 3, 4, 5, 6},
         {3, 2, 1, 0xEE, 6, 5, 4, 0xEE}},
    };
    for (const Case& C : Cases) {
        TColorManager M;
        SetFormats(M, C.From, C.To, C.From == SchemeRGBA ? 4 : 3, C.To == SchemeBGRA ? 4 : 3, 8, 8);
        Bytes Target(C.Expected.size(), 0xEE);
        M.ConvertPixelRow(C.Source.data(), 0xFF, 2, Target.data());
        EXPECT_EQ(Target, C.Expected) << C.Name;
    }
}

TEST(ColorManagerRows, SamplePlanesAdvanceOneSampleEach) {
    TColorManager M;
    SetFormats(M, SchemeRGB, SchemeBGR, 3, 3, 8, 8);
    Byte Red[2] = {10, 11}, Green[2] = {20, 21}, Blue[2] = {30, 31};
    const void* Planes[3] = {Red, Green, Blue};
    Byte Target[6] = {};
    M.ConvertPixelRow(Planes, 3, 0xFF, 2, Target);
    EXPECT_EQ(Bytes(Target, Target + 6), (Bytes{30, 20, 10, 31, 21, 11}));
}

TEST(ColorManagerRows, WideningWritesSixteenBitTargets) {
    TColorManager M;
    SetFormats(M, SchemeGray, SchemeGray, 1, 1, 8, 16);
    Byte Source[2] = {255, 1};
    Byte Target[4] = {};
    M.ConvertPixelRow(Source, 0xFF, 2, Target);
    EXPECT_EQ(Bytes(Target, Target + 4), (Bytes{0xFF, 0xFF, 0x01, 0x01}));
}

TEST(ColorManagerRows, OtherColourSpacesGiveRedGreenBlue) {
    struct Case {
        const char* Name;
        Byte Scheme;
        Byte Samples;
        Bytes Source;
        Byte Options;
        Bytes ExpectedRgb;
    };
    const Case Cases[] = {
        {"CMYK white", SchemeCMYK, 4, {0, 0, 0, 0}, 0, {255, 255, 255}},
        {"CMYK cyan", SchemeCMYK, 4, {255, 0, 0, 0}, 0, {0, 255, 255}},
        {"CMYK full black", SchemeCMYK, 4, {0, 0, 0, 255}, 0, {0, 0, 0}},
        {"YCbCr grey", SchemeYCbCr, 3, {128, 128, 128}, 0, {128, 128, 128}},
        {"YCbCr red difference", SchemeYCbCr, 3, {0, 128, 255}, 0, {178, 0, 0}},
        {"Lab white", SchemeLab, 3, {100, 0, 0}, 0, {255, 255, 255}},
        {"Lab black", SchemeLab, 3, {0, 0, 0}, 0, {0, 0, 0}},
        {"Lab white with byte range and offset", SchemeLab, 3, {255, 128, 128},
         coLabByteRange | coLabChromaOffset, {255, 255, 255}},
    };
    for (const Case& C : Cases) {
        TColorManager M;
        SetFormats(M, C.Scheme, SchemeRGB, C.Samples, 3, 8, 8);
        M.SourceOptions = C.Options;
        Bytes Target(3, 0);
        M.ConvertPixelRow(C.Source.data(), 0xFF, 1, Target.data());
        EXPECT_EQ(Target, C.ExpectedRgb) << C.Name;
    }
}

TEST(ColorManagerGamma, TableOfOnePointZeroAndTwoPointTwo) {
    TColorManager M;
    M.SetGammaValues(1.0f, 2.2f);
    EXPECT_EQ(M.GammaTable()[0], 0);
    EXPECT_EQ(M.GammaTable()[255], 255);
    EXPECT_EQ(M.GammaTable()[128], 186);

    SetFormats(M, SchemeRGB, SchemeBGR, 3, 3, 8, 8);
    M.TargetOptions = coApplyGamma;
    Byte Source[3] = {128, 0, 255}, Target[3] = {};
    M.ConvertPixelRow(Source, 0xFF, 1, Target);
    EXPECT_EQ(Bytes(Target, Target + 3), (Bytes{255, 0, 186}));
}

TEST(ColorManagerGamma, ZeroOrNegativeValuesFallBackToTheDefaults) {
    TColorManager M;
    M.SetGammaValues(0, -1);
    EXPECT_FLOAT_EQ(M.MainGamma(), 1.0f);
    EXPECT_FLOAT_EQ(M.DisplayGamma(), 2.2f);
}

TEST(ColorManagerPalettes, ColourPaletteIsSpreadLikeTheScaledIndexes) {
    TColorManager M;
    SetFormats(M, SchemeIndexed, SchemeIndexed, 1, 1, 2, 4);
    Byte Triples[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    auto E = Entries(M.MakeColorPalette(Triples, 0, 4, false));
    ASSERT_EQ(E.size(), 16u);
    for (int I = 0; I < 16; ++I) {
        int Colour = I < 5 ? 0 : I < 10 ? 1 : I < 15 ? 2 : 3;
        EXPECT_EQ(E[I].peRed, Triples[3 * Colour]) << I;
        EXPECT_EQ(E[I].peBlue, Triples[3 * Colour + 2]) << I;
    }
}

TEST(ColorManagerPalettes, InterleavedEntriesMayBeBlueFirstButPlanesAreRedFirst) {
    TColorManager M;
    SetFormats(M, SchemeIndexed, SchemeIndexed, 1, 1, 8, 8);
    Byte Quads[8] = {1, 2, 3, 99, 4, 5, 6, 99};
    auto E = Entries(M.MakeColorPalette(Quads, 1, 2, true));
    ASSERT_EQ(E.size(), 2u);
    EXPECT_EQ(E[1].peRed, 6);
    EXPECT_EQ(E[1].peGreen, 5);
    EXPECT_EQ(E[1].peBlue, 4);

    Byte R[2] = {10, 11}, G[2] = {20, 21}, B[2] = {30, 31};
    const void* Planes[3] = {R, G, B};
    auto P = Entries(M.MakeColorPalette(Planes, 3, 2, 2, true));
    EXPECT_EQ(P[1].peRed, 11);
    EXPECT_EQ(P[1].peBlue, 31);
}

TEST(ColorManagerPalettes, GreyRampHasOneEntryPerTargetValue) {
    TColorManager M;
    SetFormats(M, SchemeGray, SchemeGray, 1, 1, 4, 4);
    auto E = Entries(M.MakeGrayPalette(false));
    ASSERT_EQ(E.size(), 16u);
    EXPECT_EQ(E[1].peRed, 17);
    EXPECT_EQ(E[15].peGreen, 255);
    auto Inverse = Entries(M.MakeGrayPalette(true));
    EXPECT_EQ(Inverse[0].peBlue, 255);
    EXPECT_EQ(Inverse[15].peBlue, 0);
}

TEST(ColorManagerPalettes, PixelFormatOfEachSide) {
    struct Case {
        Byte Samples, Bits;
        TPixelFormat Expected;
    };
    const Case Cases[] = {{1, 1, pf1bit}, {1, 2, pf4bit}, {1, 4, pf4bit}, {1, 8, pf8bit}, {1, 16, pf8bit},
                          {1, 5, pfCustom}, {3, 5, pf15bit}, {3, 8, pf24bit}, {4, 8, pf32bit}, {4, 4, pfCustom},
                          {2, 8, pfCustom}};
    for (const Case& C : Cases) {
        TColorManager M;
        M.SetTargetSamples(C.Samples);
        M.SetTargetBits(C.Bits);
        EXPECT_EQ(M.PixelFormatOf(1), C.Expected) << int(C.Samples) << "x" << int(C.Bits);
    }
}

}  // namespace
