// JPEG images: encoded from a bitmap and decoded again with their colours, drawn on a canvas,
// scaled and grey decoding, quality, and broken or cut-short data refused without harm.
#include "GraphicsTestSupport.h"

using graphics_test::ColorDistance;
using graphics_test::MakeBitmap;
using graphics_test::RowPixel;
using graphics_test::Saved;

namespace {
using Jpeg = graphics_test::TGraphicsFixture;

// Left half red, right half blue, 32 x 16.
TOwned<TBitmap> Halves() {
    TOwned<TBitmap> B = MakeBitmap(pf24bit, 32, 16, clRed);
    B->Canvas()->Brush()->SetColor(clBlue);
    B->Canvas()->FillRect(Rect(16, 0, 32, 16));
    return B;
}

// Fine detail, so that the quality shows in the size.
TOwned<TBitmap> Pattern() {
    TOwned<TBitmap> B = MakeBitmap(pf24bit, 32, 32);
    for (int Y = 0; Y < 32; ++Y) {
        auto* P = static_cast<BYTE*>(B->ScanLine(Y));
        for (int I = 0; I < 32 * 3; ++I)
            P[I] = static_cast<BYTE>((I * 37 + Y * 91) & 0xFF);
    }
    return B;
}

std::string Encoded(TBitmap* B, int Quality = 90) {
    TOwned<TJPEGImage> J(Create<TJPEGImage>());
    J->SetCompressionQuality(Quality);
    J->Assign(B);
    return Saved(J.get());
}
std::string Encoded() { return Encoded(Halves().get()); }

void Load(TGraphic* G, const std::string& Data) {
    TPointerStream S(Data.data(), static_cast<LongInt>(Data.size()));
    G->LoadFromStream(&S);
}
}  // namespace

TEST_F(Jpeg, EncodedBitmapDecodesWithItsColours) {
    std::string Data = Encoded();
    ASSERT_GT(Data.size(), 100u);
    EXPECT_EQ(Data.substr(0, 2), std::string("\xFF\xD8", 2)) << "a JPEG stream";
    TOwned<TJPEGImage> J(Create<TJPEGImage>());
    Load(J.get(), Data);
    EXPECT_EQ(J->Width(), 32);
    EXPECT_EQ(J->Height(), 16);
    TOwned<TBitmap> B(Create<TBitmap>());
    B->Assign(J.get());
    EXPECT_EQ(B->PixelFormat(), pf24bit);
    EXPECT_LE(ColorDistance(RowPixel(B.get(), 4, 8), clRed), 24);
    EXPECT_LE(ColorDistance(RowPixel(B.get(), 27, 8), clBlue), 24);
    EXPECT_EQ(Saved(J.get()), Data) << "loaded data is saved as it came";
}

TEST_F(Jpeg, DrawnByTheCanvas) {
    TOwned<TJPEGImage> J(Create<TJPEGImage>());
    Load(J.get(), Encoded());
    TOwned<TBitmap> Target = MakeBitmap(pf32bit, 40, 20, clWhite);
    Target->Canvas()->Draw(4, 2, J.get());
    EXPECT_LE(ColorDistance(RowPixel(Target.get(), 8, 10), clRed), 24);
    EXPECT_LE(ColorDistance(RowPixel(Target.get(), 31, 10), clBlue), 24);
    EXPECT_EQ(RowPixel(Target.get(), 37, 10), clWhite);
    Target->Canvas()->StretchDraw(Rect(0, 0, 16, 8), J.get());
    EXPECT_LE(ColorDistance(RowPixel(Target.get(), 12, 4), clBlue), 32);
}

TEST_F(Jpeg, ScaleGreyAndQuality) {
    std::string Data = Encoded();
    TOwned<TJPEGImage> J(Create<TJPEGImage>());
    Load(J.get(), Data);
    J->SetScale(jsHalf);
    EXPECT_EQ(J->Width(), 16);
    EXPECT_EQ(J->Height(), 8);
    J->SetScale(jsEighth);
    EXPECT_EQ(J->Width(), 4);

    J->SetScale(jsFullSize);
    J->SetGrayscale(true);
    TOwned<TBitmap> B(Create<TBitmap>());
    B->Assign(J.get());
    EXPECT_EQ(B->PixelFormat(), pf8bit) << "grey levels";
    B->SetPixelFormat(pf24bit);
    TColor P = RowPixel(B.get(), 4, 8);
    EXPECT_EQ(P & 0xFF, (P >> 16) & 0xFF);

    EXPECT_LT(Encoded(Pattern().get(), 10).size(), Encoded(Pattern().get(), 95).size());
    EXPECT_THROW(J->SetWidth(10), EInvalidGraphicOperation);
}

TEST_F(Jpeg, BrokenDataIsRefusedAndChangesNothing) {
    std::string Data = Encoded();
    struct {
        const char* What;
        std::string Bytes;
    } Cases[] = {
        {"empty", ""},
        {"no JPEG", "this is not a picture at all"},
        {"cut in the header", Data.substr(0, 40)},
        {"cut in the image data", Data.substr(0, Data.size() * 2 / 3)},
    };
    TOwned<TJPEGImage> J(Create<TJPEGImage>());
    Load(J.get(), Data);
    for (const auto& C : Cases) {
        EXPECT_THROW(Load(J.get(), C.Bytes), EJPEG) << C.What;
        EXPECT_EQ(J->Width(), 32) << C.What;
        EXPECT_EQ(Saved(J.get()), Data) << C.What;
    }
    try {
        Load(J.get(), "junk");
        ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& E) {
        EXPECT_EQ(E.Message().rfind("JPEG error #", 0), 0u) << E.Message();
    }
}
