// The PNG reader: every colour type and depth into the bitmap, interlace, filters, chunk handling,
// format errors and the picture registration.
#include "acPNGTestSupport.h"

#include "Picture.h"
#include "SkinTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace pngtests;
using namespace acPNGMessages;

class PngTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        skintests::EnsureSkinUnits();
        acPNGInitialization();
    }
    void SetUp() override { Png.reset(Create<TPNGGraphic>()); }

    // A small image of the colour type and depth with samples from the fixed sequence.
    static TImage Sample(int ColorType, int Depth, std::uint32_t Width = 11, std::uint32_t Height = 7) {
        TImage I;
        I.Width = Width;
        I.Height = Height;
        I.ColorType = ColorType;
        I.Depth = Depth;
        I.Samples = PatternSamples(I);
        if (ColorType == 3)
            I.Before.push_back({"PLTE", PaletteData(1 << Depth)});
        return I;
    }

    // Every stored pixel of the bitmap, rows top down.
    std::vector<unsigned> Pixels() {
        std::vector<unsigned> P;
        for (int Y = 0; Y < Png->Height(); ++Y)
            for (int X = 0; X < Png->Width(); ++X)
                P.push_back(StoredPixel(Png.get(), X, Y));
        return P;
    }

    std::string LoadError(const Bytes& Data) {
        try {
            LoadPng(Png.get(), Data);
        } catch (const Exception& E) {
            return E.ClassName() + ": " + E.Message();
        }
        return "";
    }

    TOwned<TPNGGraphic> Png;
};

std::string Invalid(const char* Fmt) { return "EInvalidGraphic: " + Format(Fmt, {"PNG"}); }

TEST(PngCrc, StandardCheckValueAndContinuation) {
    const char* Text = "123456789";
    EXPECT_EQ(UpdateCrc32(0, Text, 9), 0xCBF43926u);
    EXPECT_EQ(UpdateCrc32(UpdateCrc32(0, Text, 4), Text + 4, 5), 0xCBF43926u);
    EXPECT_EQ(UpdateCrc32(0x1234u, Text, 0), 0x1234u);
}

TEST_F(PngTest, EveryColourTypeAndDepthLoadsIntoItsBitmapFormat) {
    auto Reduce = [](unsigned V) { return V * 255 / 65535; };
    struct Case {
        int ColorType, Depth;
        TPixelFormat Format;
        // The stored value expected for pixel (X, Y) of image I.
        std::function<unsigned(const TImage& I, std::uint32_t X, std::uint32_t Y)> Expected;
    };
    auto Same = [](const TImage& I, std::uint32_t X, std::uint32_t Y) -> unsigned { return I.Sample(X, Y, 0); };
    auto TimesFive = [](const TImage& I, std::uint32_t X, std::uint32_t Y) -> unsigned { return I.Sample(X, Y, 0) * 5; };
    auto Grey16 = [Reduce](const TImage& I, std::uint32_t X, std::uint32_t Y) { return Reduce(I.Sample(X, Y, 0)); };
    auto Rgb = [Reduce](const TImage& I, std::uint32_t X, std::uint32_t Y) {
        auto S = [&](int K) { return I.Depth == 16 ? Reduce(I.Sample(X, Y, K)) : unsigned(I.Sample(X, Y, K)); };
        unsigned V = S(2) | (S(1) << 8) | (S(0) << 16);
        return I.ColorType == 6 ? V | (S(3) << 24) : V;
    };
    const Case Cases[] = {
        {0, 1, pf1bit, Same},    {0, 2, pf4bit, TimesFive}, {0, 4, pf4bit, Same},   {0, 8, pf8bit, Same},
        {0, 16, pf8bit, Grey16}, {2, 8, pf24bit, Rgb},      {2, 16, pf24bit, Rgb},  {3, 1, pf1bit, Same},
        {3, 2, pf4bit, TimesFive}, {3, 4, pf4bit, Same},    {3, 8, pf8bit, Same},   {4, 8, pf8bit, Same},
        {4, 16, pf8bit, Grey16}, {6, 8, pf32bit, Rgb},      {6, 16, pf32bit, Rgb},
    };
    for (const Case& C : Cases) {
        TImage I = Sample(C.ColorType, C.Depth);
        LoadPng(Png.get(), Encode(I));
        SCOPED_TRACE("colour type " + std::to_string(C.ColorType) + " depth " + std::to_string(C.Depth));
        ASSERT_EQ(Png->PixelFormat(), C.Format);
        ASSERT_EQ(Png->Width(), 11);
        ASSERT_EQ(Png->Height(), 7);
        std::vector<unsigned> Expected;
        for (std::uint32_t Y = 0; Y < I.Height; ++Y)
            for (std::uint32_t X = 0; X < I.Width; ++X)
                Expected.push_back(C.Expected(I, X, Y));
        EXPECT_EQ(Pixels(), Expected);
        EXPECT_EQ(Png->Info().HasAlphaChannel, C.ColorType == 4 || C.ColorType == 6);
    }
}

TEST_F(PngTest, SixteenBitAlphaReducesTheTopValues) {
    TImage I = Sample(6, 16, 2, 1);
    I.Samples = {65535, 0, 65534, 65535, 0, 65534, 256, 65534};
    LoadPng(Png.get(), Encode(I));
    EXPECT_EQ(StoredPixel(Png.get(), 0, 0), 0xFFFF00FEu);  // B 254, G 0, R 255, A 255
    EXPECT_EQ(StoredPixel(Png.get(), 1, 0), 0xFE00FE00u);  // B 0, G 254, R 0, A 254
}

TEST_F(PngTest, LowDepthImagesGetPalettesThatShowTheRightColours) {
    auto EntriesOf = [](HPALETTE P) {
        std::vector<PALETTEENTRY> E(GetPaletteEntries(P, 0, 0, nullptr));
        GetPaletteEntries(P, 0, static_cast<UINT>(E.size()), E.data());
        return E;
    };
    LoadPng(Png.get(), Encode(Sample(0, 2)));
    auto Grey = EntriesOf(Png->Palette());
    ASSERT_EQ(Grey.size(), 16u);
    EXPECT_EQ(Grey[5].peRed, 85);
    EXPECT_EQ(Grey[10].peGreen, 170);

    LoadPng(Png.get(), Encode(Sample(3, 2)));
    auto Indexed = EntriesOf(Png->Palette());
    ASSERT_EQ(Indexed.size(), 16u);
    Bytes Plte = PaletteData(4);
    for (int I = 0; I < 16; ++I) {
        int Entry = I < 5 ? 0 : I < 10 ? 1 : I < 15 ? 2 : 3;
        EXPECT_EQ(Indexed[I].peRed, Plte[3 * Entry]) << I;
        EXPECT_EQ(Indexed[I].peGreen, Plte[3 * Entry + 1]) << I;
    }
}

TEST_F(PngTest, InterlacedImagesAndEveryFilterGiveTheSamePixels) {
    struct Case {
        int ColorType, Depth;
        std::uint32_t Width, Height;
    };
    const Case Cases[] = {{2, 8, 1, 1}, {2, 8, 9, 9}, {6, 16, 17, 3}, {0, 1, 13, 10}, {3, 4, 5, 12}, {4, 8, 3, 2}};
    for (const Case& C : Cases) {
        TImage Plain = Sample(C.ColorType, C.Depth, C.Width, C.Height);
        LoadPng(Png.get(), Encode(Plain));
        std::vector<unsigned> Expected = Pixels();
        for (int Filter = 0; Filter <= 5; ++Filter)
            for (bool Interlaced : {false, true}) {
                TImage I = Plain;
                I.Filter = Filter;
                I.Interlaced = Interlaced;
                LoadPng(Png.get(), Encode(I));
                EXPECT_EQ(Pixels(), Expected) << C.ColorType << "/" << C.Depth << " " << C.Width << "x" << C.Height
                                              << " filter " << Filter << (Interlaced ? " interlaced" : "");
            }
    }
}

TEST_F(PngTest, ImageDataInManyChunksWithEmptyAndSurplusOnesAfterIt) {
    TImage I = Sample(2, 8, 6, 5);
    LoadPng(Png.get(), Encode(I));
    std::vector<unsigned> Expected = Pixels();
    I.IdatSplit = 3;
    I.After = {{"IDAT", {}}, {"IDAT", {1, 2, 3}}, {"IDAT", {}}};
    Bytes Data = Encode(I);
    LoadPng(Png.get(), Data);
    EXPECT_EQ(Pixels(), Expected);

    // an empty image-data chunk first is accepted too
    TImage Empty = Sample(2, 8, 6, 5);
    Empty.Before.push_back({"IDAT", {}});
    LoadPng(Png.get(), Encode(Empty));
    EXPECT_EQ(Pixels(), Expected);
}

TEST_F(PngTest, ChunkNamesCompareWithoutCaseAndUnknownAncillaryChunksAreSkippedUnchecked) {
    TImage I = Sample(2, 8, 4, 4);
    LoadPng(Png.get(), Encode(I));
    std::vector<unsigned> Expected = Pixels();

    Bytes LowerCase = Signature();
    Append(LowerCase, ChunkBytes("IHDR", HeaderData(I)));
    Append(LowerCase, ChunkBytes("idat", Compress(ImageData(I))));
    Append(LowerCase, ChunkBytes("IEND", {}));
    LoadPng(Png.get(), LowerCase);
    EXPECT_EQ(Pixels(), Expected);

    TImage Text = I;
    Text.Before.push_back({"tEXt", {'a', 0, 'b'}});
    Bytes WithText = Encode(Text);
    WithText[8 + 25 + 8 + 3] ^= 0xFF;  // that chunk's CRC
    LoadPng(Png.get(), WithText);
    EXPECT_EQ(Pixels(), Expected);
}

TEST_F(PngTest, FormatErrorsRaiseTheirMessages) {
    const Bytes Good = Encode(Sample(2, 8, 3, 3));
    auto Corrupt = [&](size_t At) {
        Bytes D = Good;
        D[At] ^= 0x01;
        return D;
    };
    auto WithChunk = [](const char* Type, Bytes Data, bool BeforeData = true) {
        TImage I = Sample(2, 8, 3, 3);
        (BeforeData ? I.Before : I.After).push_back({Type, std::move(Data)});
        return Encode(I);
    };
    auto Header = [](std::function<void(TImage&)> Change) {
        TImage I = Sample(2, 8, 3, 3);
        Change(I);
        return Encode(I);
    };
    Bytes NotIhdrFirst = Signature();
    Append(NotIhdrFirst, ChunkBytes("tEXt", {1}));
    Append(NotIhdrFirst, ChunkBytes("IEND", {}));
    Bytes BadDepth = Header([](TImage& I) { I.Depth = 4; I.Samples = PatternSamples(I); });
    auto HeaderOnly = [](std::uint32_t Width) {
        TImage I = Sample(2, 8, 3, 3);
        I.Width = Width;
        Bytes D = Signature();
        Append(D, ChunkBytes("IHDR", HeaderData(I)));
        Append(D, ChunkBytes("IEND", {}));
        return D;
    };
    struct Case {
        const char* Name;
        Bytes Data;
        std::string Expected;
    };
    const Case Cases[] = {
        {"bad signature", Corrupt(1), Invalid(SInvalidImage)},
        {"first chunk not the header", NotIhdrFirst, Invalid(SInvalidImage)},
        {"zero width", HeaderOnly(0), Invalid(SInvalidImage)},
        {"width beyond 31 bits", HeaderOnly(0x80000003u), Invalid(SInvalidImage)},
        {"compression method 1", Header([](TImage& I) { I.CompressionByte = 1; }),
         "EInvalidGraphic: " + Format(SUnsupported, {SCompressionScheme, "PNG"})},
        {"header CRC", Corrupt(8 + 8 + 5), Invalid(SCrcError)},
        {"image data CRC", Corrupt(8 + 25 + 10), Invalid(SCrcError)},
        {"palette CRC", [&] { Bytes D = WithChunk("PLTE", PaletteData(2)); D[8 + 25 + 9] ^= 1; return D; }(),
         Invalid(SCrcError)},
        {"gamma CRC", [&] { Bytes D = WithChunk("gAMA", {0, 0, 0xB1, 0x8F}); D[8 + 25 + 9] ^= 1; return D; }(),
         Invalid(SCrcError)},
        {"background CRC", [&] { Bytes D = WithChunk("bKGD", {0, 1, 0, 2, 0, 3}); D[8 + 25 + 9] ^= 1; return D; }(),
         Invalid(SCrcError)},
        {"transparency CRC", [&] { Bytes D = WithChunk("tRNS", {0, 1, 0, 2, 0, 3}); D[8 + 25 + 9] ^= 1; return D; }(),
         Invalid(SCrcError)},
        {"palette not of triples", WithChunk("PLTE", {1, 2, 3, 4}), Invalid(SInvalidPalette)},
        {"unknown critical chunk", WithChunk("ABCD", {1}), "EInvalidGraphic: " + std::string(SUnknownCriticalChunk)},
        {"depth 4 for RGB", BadDepth, Invalid(SInvalidColorFormat)},
        {"surplus image data after the image", WithChunk("IDAT", {1, 2}, false), ""},
        {"cut short", Bytes(Good.begin(), Good.begin() + 50), "EReadError: Stream read error"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(LoadError(C.Data), C.Expected) << C.Name;
}

TEST_F(PngTest, BytesAfterTheCompressedStreamInItsChunkAreRefused) {
    TImage I = Sample(2, 8, 3, 3);
    Bytes Z = Compress(ImageData(I));
    Z.push_back(0);
    Bytes Data = Signature();
    Append(Data, ChunkBytes("IHDR", HeaderData(I)));
    Append(Data, ChunkBytes("IDAT", Z));
    Append(Data, ChunkBytes("IEND", {}));
    EXPECT_EQ(LoadError(Data), Invalid(SExtraCompressedData));

    Bytes Broken = Compress(ImageData(I));
    Broken[2] = 0xFF;  // an invalid block type
    Bytes Bad = Signature();
    Append(Bad, ChunkBytes("IHDR", HeaderData(I)));
    Append(Bad, ChunkBytes("IDAT", Broken));
    Append(Bad, ChunkBytes("IEND", {}));
    EXPECT_EQ(LoadError(Bad), Invalid(SCompressionError));
}

TEST_F(PngTest, ImageDataEndingBeforeTheLastRowKeepsTheRowsDecoded) {
    TImage I = Sample(0, 8, 40, 40);
    Bytes Z = Compress(ImageData(I));
    Bytes Data = Signature();
    Append(Data, ChunkBytes("IHDR", HeaderData(I)));
    Append(Data, ChunkBytes("IDAT", Bytes(Z.begin(), Z.begin() + Z.size() / 2)));
    Append(Data, ChunkBytes("IEND", {}));
    EXPECT_EQ(LoadError(Data), "");
    EXPECT_EQ(Png->Width(), 40);
    EXPECT_EQ(StoredPixel(Png.get(), 0, 0), I.Sample(0, 0, 0));
    EXPECT_EQ(StoredPixel(Png.get(), 39, 5), I.Sample(39, 5, 0));
}

TEST_F(PngTest, TransparencyAndBackgroundChunks) {
    TImage Indexed = Sample(3, 8, 2, 2);
    Indexed.Samples = {0, 1, 2, 3};
    Indexed.Before.push_back({"tRNS", {10, 20, 30}});
    LoadPng(Png.get(), Encode(Indexed));
    ASSERT_EQ(Png->PaletteAlpha().size(), 256u);
    EXPECT_EQ(Png->PaletteAlpha()[0], 10);
    EXPECT_EQ(Png->PaletteAlpha()[2], 30);
    EXPECT_EQ(Png->PaletteAlpha()[3], 255);
    EXPECT_EQ(Png->PaletteAlpha()[255], 255);
    EXPECT_FALSE(Png->Transparent());

    TImage Rgb = Sample(2, 16, 2, 2);
    Rgb.Before.push_back({"tRNS", {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00}});
    Rgb.Before.push_back({"bKGD", {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}});
    LoadPng(Png.get(), Encode(Rgb));
    EXPECT_EQ(Png->TransparentValue(), TColor(0x7F00FF));
    EXPECT_TRUE(Png->Transparent());
    EXPECT_EQ(Png->TransparentColor(), TColor(0x7F00FF));
    EXPECT_EQ(Png->BackgroundValue(), TColor(0x00FF00));

    TImage Grey = Sample(0, 2, 2, 2);
    Grey.Before.push_back({"tRNS", {0, 3}});
    Grey.Before.push_back({"bKGD", {0, 2}});
    LoadPng(Png.get(), Encode(Grey));
    EXPECT_EQ(Png->TransparentValue(), TColor(0x0F0F0F));
    EXPECT_EQ(Png->BackgroundValue(), TColor(10));

    // the next image without such chunks is not transparent
    LoadPng(Png.get(), Encode(Sample(2, 8, 2, 2)));
    EXPECT_FALSE(Png->Transparent());
    EXPECT_EQ(Png->TransparentValue(), TColor(0x1FFFFFFF));
}

TEST_F(PngTest, GammaChunkCorrectsThisFileOnly) {
    TImage I = Sample(2, 8, 1, 1);
    I.Samples = {128, 0, 255};
    TImage Corrected = I;
    Corrected.Before.push_back({"gAMA", {0x00, 0x01, 0x86, 0xA0}});  // 100000: gamma 1.0
    LoadPng(Png.get(), Encode(Corrected));
    EXPECT_EQ(StoredPixel(Png.get(), 0, 0), 0xBA00FFu);  // B 255, G 0, R 186
    EXPECT_TRUE(Png->Info().InfoFlags & PngInfoGamma);
    EXPECT_FLOAT_EQ(Png->Info().FileGamma, 1.0f);

    LoadPng(Png.get(), Encode(I));
    EXPECT_EQ(StoredPixel(Png.get(), 0, 0), 0x8000FFu);
    EXPECT_FALSE(Png->Info().InfoFlags & PngInfoGamma);
}

TEST_F(PngTest, StreamIsLeftAfterTheEndChunk) {
    TImage I = Sample(2, 8, 2, 2);
    I.Trailer = {1, 2, 3, 4, 5};
    Bytes Data = Encode(I);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    Bytes Prefix{9, 9, 9};
    S->Write(Prefix.data(), 3);
    S->Write(Data.data(), static_cast<LongInt>(Data.size()));
    S->SetPosition(3);
    Png->LoadFromStream(S.get());
    EXPECT_EQ(S->Position(), Int64(3 + Data.size() - 5));
}

TEST_F(PngTest, ProgressStagesAndTexts) {
    struct TRecorder : TObject {
        std::vector<std::pair<TProgressStage, std::string>> Events;
        void OnProgress(TObject*, TProgressStage Stage, Byte, bool, const TRect&, const std::string& Msg) {
            Events.emplace_back(Stage, Msg);
        }
    } Recorder;
    Png->OnProgress = TProgressEvent::Bind<&TRecorder::OnProgress>(&Recorder);
    LoadPng(Png.get(), Encode(Sample(2, 8, 2, 3)));
    ASSERT_GE(Recorder.Events.size(), 5u);
    EXPECT_EQ(Recorder.Events.front(), std::make_pair(psStarting, std::string("Preparing...")));
    EXPECT_EQ(Recorder.Events[2], std::make_pair(psStarting, std::string("Transfering...")));
    EXPECT_EQ(Recorder.Events[3].first, psRunning);
    EXPECT_EQ(Recorder.Events.back().first, psEnding);
}

TEST_F(PngTest, AssignCopiesTheHeaderRecordAndPicturesLoadPngFiles) {
    TImage I = Sample(6, 8, 5, 4);
    LoadPng(Png.get(), Encode(I));
    TOwned<TPNGGraphic> Copy(Create<TPNGGraphic>());
    Copy->Assign(Png.get());
    EXPECT_EQ(Copy->Info().ImageWidth, 5u);
    EXPECT_EQ(Copy->Info().Scheme, SchemeRGBA);
    EXPECT_EQ(StoredPixel(Copy.get(), 4, 3), StoredPixel(Png.get(), 4, 3));

    testing_support::TempDir Dir;
    testing_support::WriteFileBytes(Dir / "image.png", Encode(I));
    TOwned<TPicture> Picture(Create<TPicture>());
    Picture->LoadFromFile(Dir / "image.png");
    ASSERT_TRUE(Picture->Graphic()->Is<TPNGGraphic>());
    EXPECT_EQ(Picture->Width(), 5);
    EXPECT_NE(GraphicFilter(TGraphic::StaticClass()).find("Portable network graphics"), std::string::npos);
}

}  // namespace
