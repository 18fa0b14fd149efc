// The alpha image list: PNG and ICO files generated into the system list, images as 32-bit bitmaps
// (resampled, repaired without alpha), drawing blended by alpha, strip frames, copies between lists
// and the files stored with the form.
#include "../engine/SkinPixelSupport.h"
#include "../engine/acPNGTestSupport.h"

#include "Streams.h"
#include "acAlphaImageList.h"
#include "acPNG.h"
#include "sGraphUtils.h"

#include <cstdlib>

using namespace skintests;
using pngtests::Bytes;

namespace {

// RGBA pixels, rows top down, as a colour-type-6 PNG file.
Bytes PngFile(int W, int H, const std::vector<TPx>& Pixels) {
    pngtests::TImage I;
    I.Width = W;
    I.Height = H;
    I.ColorType = 6;
    for (const TPx& P : Pixels)
        I.Samples.insert(I.Samples.end(), {std::uint16_t(P.R), std::uint16_t(P.G), std::uint16_t(P.B), std::uint16_t(P.A)});
    return pngtests::Encode(I);
}

// An RGB PNG file (no alpha) of one colour with a different bottom-left corner.
Bytes RgbPngFile(int W, int H, TPx Fill, TPx Corner) {
    pngtests::TImage I;
    I.Width = W;
    I.Height = H;
    I.ColorType = 2;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            TPx P = X == 0 && Y == H - 1 ? Corner : Fill;
            I.Samples.insert(I.Samples.end(), {std::uint16_t(P.R), std::uint16_t(P.G), std::uint16_t(P.B)});
        }
    return pngtests::Encode(I);
}

// A 32-bit ICO file of one image; pixels with alpha 0 are transparent in its AND mask as well.
Bytes IcoFile(int W, int H, const std::vector<TPx>& Pixels) {
    auto Put16 = [](Bytes& B, unsigned V) { B.insert(B.end(), {Byte(V), Byte(V >> 8)}); };
    auto Put32 = [&](Bytes& B, unsigned V) {
        Put16(B, V & 0xFFFF);
        Put16(B, V >> 16);
    };
    const int MaskStride = (W + 31) / 32 * 4;
    const unsigned ImageBytes = 40 + W * H * 4 + MaskStride * H;
    Bytes B;
    Put16(B, 0), Put16(B, 1), Put16(B, 1);
    B.insert(B.end(), {Byte(W), Byte(H), 0, 0});
    Put16(B, 1), Put16(B, 32), Put32(B, ImageBytes), Put32(B, 22);
    Put32(B, 40), Put32(B, W), Put32(B, 2 * H), Put16(B, 1), Put16(B, 32);
    for (int K = 0; K < 6; ++K)
        Put32(B, 0);
    for (int Y = H - 1; Y >= 0; --Y)
        for (int X = 0; X < W; ++X) {
            const TPx& P = Pixels[Y * W + X];
            B.insert(B.end(), {Byte(P.B), Byte(P.G), Byte(P.R), Byte(P.A)});
        }
    for (int Y = H - 1; Y >= 0; --Y) {
        Bytes Row(MaskStride, 0);
        for (int X = 0; X < W; ++X)
            if (Pixels[Y * W + X].A == 0)
                Row[X / 8] |= Byte(0x80 >> (X % 8));
        B.insert(B.end(), Row.begin(), Row.end());
    }
    return B;
}

const TPx Red{0, 0, 255, 255}, Blue{255, 0, 0, 255}, Green{0, 200, 0, 255}, Clear{0, 0, 0, 0};

// W x H pixels: column X of frame F (frames FrameW wide) gets Frames[F].
std::vector<TPx> Strip(int FrameW, int H, std::initializer_list<TPx> Frames) {
    std::vector<TPx> P;
    for (int Y = 0; Y < H; ++Y)
        for (const TPx& F : Frames)
            P.insert(P.end(), FrameW, F);
    return P;
}

class acAlphaImageListTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acPNGInitialization();
        acAlphaImageListInitialization();
    }
    TsAlphaImageList* MakeList(int W, int H) {
        auto* L = Create<TsAlphaImageList>(Form);
        L->SetSize(W, H);
        return L;
    }
    static TsImgListItem* AddFile(TsAlphaImageList* L, const Bytes& File, TsImageFormat Format = ifPNG) {
        TsImgListItem* Item = L->Items()->Add();
        Item->SetImageFormat(Format);
        Item->ImageData()->WriteBuffer(File.data(), static_cast<LongInt>(File.size()));
        return Item;
    }
    static std::string BytesOfItem(TsImgListItem* Item) {
        TMemoryStream* S = Item->ImageData();
        return std::string(static_cast<const char*>(S->Memory()), static_cast<std::size_t>(S->Size()));
    }
};

TEST_F(acAlphaImageListTest, PngOfTheListsSizeIsTakenUnchangedAndAnotherSizeIsResampled) {
    TsAlphaImageList* L = MakeList(4, 4);
    std::vector<TPx> Half = Strip(2, 4, {Red, Blue});
    Half[5] = TPx{10, 20, 30, 128};
    AddFile(L, PngFile(4, 4, Half));
    AddFile(L, PngFile(8, 8, Strip(4, 8, {Red, Blue})));
    L->GenerateImages();
    ASSERT_EQ(L->Count(), 2);

    TOwned<TBitmap> Same(NewBitmap32(4, 4));
    ASSERT_TRUE(L->GetBitmap32(0, Same.get()));
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X)
            EXPECT_EQ(GetPx(Same.get(), X, Y), Half[Y * 4 + X]) << X << "," << Y;

    // The resampled image takes the bitmap's own size; each half keeps its colour at the outer edge
    // (the filter's lobes leave the edges a step short of full).
    TOwned<TBitmap> Big(NewBitmap32(6, 6));
    ASSERT_TRUE(L->GetBitmap32(1, Big.get()));
    EXPECT_EQ(Big->Width(), 6);
    EXPECT_EQ(Big->Height(), 6);
    EXPECT_EQ(Big->PixelFormat(), pf32bit);
    auto Near = [](TPx A, TPx B) {
        return std::abs(A.B - B.B) <= 3 && std::abs(A.G - B.G) <= 3 && std::abs(A.R - B.R) <= 3 && std::abs(A.A - B.A) <= 3;
    };
    EXPECT_TRUE(Near(GetPx(Big.get(), 0, 3), Red)) << GetPx(Big.get(), 0, 3);
    EXPECT_TRUE(Near(GetPx(Big.get(), 5, 3), Blue)) << GetPx(Big.get(), 5, 3);
}

TEST_F(acAlphaImageListTest, GetBitmap32RefusesWhatItCannotGive) {
    TsAlphaImageList* L = MakeList(4, 4);
    AddFile(L, PngFile(4, 4, Strip(4, 4, {Red})));
    L->GenerateImages();
    TOwned<TBitmap> B(NewBitmap32(4, 4));
    EXPECT_FALSE(L->GetBitmap32(-1, B.get()));
    EXPECT_FALSE(L->GetBitmap32(1, B.get()));
    EXPECT_FALSE(L->GetBitmap32(0, nullptr));
    L->Assign(nullptr);  // releases the system list
    EXPECT_FALSE(L->GetBitmap32(0, B.get()));
}

TEST_F(acAlphaImageListTest, ImageWithoutAlphaGetsItsBottomLeftColourTransparent) {
    const TPx Grey{90, 90, 90, 0}, Corner{0, 255, 0, 0};
    // An RGB PNG comes out 32-bit and repaired.
    TsAlphaImageList* L = MakeList(3, 3);
    AddFile(L, RgbPngFile(3, 3, Grey, Corner));
    L->GenerateImages();
    TOwned<TBitmap> B(NewBitmap32(3, 3));
    ASSERT_TRUE(L->GetBitmap32(0, B.get()));
    EXPECT_EQ(B->PixelFormat(), pf32bit);
    EXPECT_EQ(GetPx(B.get(), 0, 2).A, 0);
    EXPECT_EQ(GetPx(B.get(), 1, 2).A, 255);
    EXPECT_EQ(GetPx(B.get(), 2, 0).A, 255);

    // Corner-coloured pixels elsewhere go as well; a bitmap with any alpha stays as it is.
    TOwned<TBitmap> Plain(MakeBitmap(2, 2, pf32bit, Grey));
    SetPx(Plain.get(), 0, 1, Corner);
    SetPx(Plain.get(), 1, 0, Corner);
    TsAlphaImageList::FixAlphaChannel(Plain.get());
    EXPECT_EQ(GetPx(Plain.get(), 1, 0).A, 0);
    EXPECT_EQ(GetPx(Plain.get(), 1, 1).A, 255);
    TOwned<TBitmap> Some(MakeBitmap(2, 2, pf32bit, Grey));
    SetPx(Some.get(), 1, 1, TPx{90, 90, 90, 7});
    TsAlphaImageList::FixAlphaChannel(Some.get());
    EXPECT_EQ(GetPx(Some.get(), 0, 0).A, 0);
    EXPECT_EQ(GetPx(Some.get(), 1, 1).A, 7);
}

TEST_F(acAlphaImageListTest, DrawBlendsPngByAlphaAndIcoThroughItsMask) {
    TsAlphaImageList* L = MakeList(2, 2);
    AddFile(L, PngFile(2, 2, {Red, Clear, TPx{255, 0, 0, 128}, Red}));
    AddFile(L, IcoFile(2, 2, {Green, Clear, Clear, Green}), ifICO);
    L->GenerateImages();
    ASSERT_EQ(L->Count(), 2);
    TOwned<TBitmap> Canvas(MakeBitmap(8, 4, pf24bit, TPx{255, 255, 255, 0}));
    L->Draw(Canvas->Canvas(), 1, 1, 0);
    L->Draw(Canvas->Canvas(), 5, 1, 1);

    EXPECT_EQ(GetPx(Canvas.get(), 1, 1), (TPx{0, 0, 255, 0}));
    EXPECT_EQ(GetPx(Canvas.get(), 2, 1), (TPx{255, 255, 255, 0}));
    TPx Half = GetPx(Canvas.get(), 1, 2);  // half-opaque blue over white
    EXPECT_EQ(Half.B, 255);
    EXPECT_GT(Half.R, 100);
    EXPECT_LT(Half.R, 155);
    EXPECT_EQ(GetPx(Canvas.get(), 0, 0), (TPx{255, 255, 255, 0}));  // outside the image

    EXPECT_EQ(GetPx(Canvas.get(), 5, 1), (TPx{0, 200, 0, 0}));
    EXPECT_EQ(GetPx(Canvas.get(), 6, 1), (TPx{255, 255, 255, 0}));
    EXPECT_EQ(GetPx(Canvas.get(), 6, 2), (TPx{0, 200, 0, 0}));
}

TEST_F(acAlphaImageListTest, DrawFramePicksTheStatesFrameLimitedToTheLast) {
    // The same strip of three 2-pixel frames in an alpha list and in a plain list.
    TsAlphaImageList* Alpha = MakeList(6, 2);
    AddFile(Alpha, PngFile(6, 2, Strip(2, 2, {Red, Blue, Green})));
    Alpha->GenerateImages();
    auto* Plain = Create<TImageList>(Form);
    Plain->SetSize(6, 2);
    Plain->SetMasked(false);
    TOwned<TBitmap> StripBmp(MakeBitmap(6, 2, pf24bit));
    for (int X = 0; X < 6; ++X)
        for (int Y = 0; Y < 2; ++Y)
            SetPx(StripBmp.get(), X, Y, X < 2 ? Red : X < 4 ? Blue : Green);
    Plain->Add(StripBmp.get(), nullptr);

    struct Case {
        int State;
        TPx Colour;
    } Cases[] = {{0, Red}, {1, Blue}, {2, Green}, {5, Green}};
    for (TCustomImageList* List : {static_cast<TCustomImageList*>(Alpha), static_cast<TCustomImageList*>(Plain)})
        for (const Case& C : Cases) {
            TOwned<TBitmap> Dst(MakeBitmap(4, 4, pf24bit, TPx{255, 255, 255, 0}));
            TSize Size;
            TsAlphaImageList::DrawFrame(List, Dst.get(), 1, 1, 0, 0, NoTint, C.State, 3, false, Size);
            EXPECT_EQ(Size, (TSize{2, 2}));
            TPx Want = C.Colour;
            Want.A = 0;
            EXPECT_EQ(GetPx(Dst.get(), 2, 2), Want) << List->ClassName() << " state " << C.State;
            EXPECT_EQ(GetPx(Dst.get(), 3, 2), (TPx{255, 255, 255, 0})) << List->ClassName() << " state " << C.State;
        }

    // Onto a device context: the frame lands at the point given.
    TOwned<TBitmap> Target(MakeBitmap(6, 6, pf24bit, TPx{255, 255, 255, 0}));
    TsAlphaImageList::DrawFrameToDC(Alpha, Target->Canvas()->Handle(), 3, 2, 0, 0, NoTint, 1, 3, false);
    EXPECT_EQ(GetPx(Target.get(), 4, 3), (TPx{255, 0, 0, 0}));
    EXPECT_EQ(GetPx(Target.get(), 2, 3), (TPx{255, 255, 255, 0}));
}

TEST_F(acAlphaImageListTest, StoredListReadsBackTheSameFilesAndGeneratesOnce) {
    TsAlphaImageList* L = MakeList(2, 2);
    L->SetName("Images");
    Bytes Png = PngFile(2, 2, {Red, Clear, Blue, Red}), Ico = IcoFile(2, 2, {Green, Clear, Clear, Green});
    AddFile(L, Png);
    AddFile(L, Ico, ifICO);
    TsImgListItem* Empty = L->Items()->Add();
    Empty->SetPixelFormat(pf24bit);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->WriteComponent(L);

    auto* Copy = Create<TsAlphaImageList>(nullptr);
    S->SetPosition(0);
    S->ReadComponent(Copy);
    ASSERT_EQ(Copy->Items()->Count(), 3);
    EXPECT_EQ(BytesOfItem(Copy->Items()->Items(0)), std::string(Png.begin(), Png.end()));
    EXPECT_EQ(BytesOfItem(Copy->Items()->Items(1)), std::string(Ico.begin(), Ico.end()));
    EXPECT_EQ(Copy->Items()->Items(1)->ImageFormat(), ifICO);
    EXPECT_EQ(BytesOfItem(Copy->Items()->Items(2)), "");
    EXPECT_EQ(Copy->Items()->Items(2)->PixelFormat(), pf24bit);
    EXPECT_TRUE(Copy->Generated());
    // An item without an image keeps its place with an empty one.
    EXPECT_EQ(Copy->Count(), 3);
    EXPECT_EQ(Copy->Width(), 2);
    Copy->Free();
}

TEST_F(acAlphaImageListTest, AssignCopiesItemsAndSizeButAPlainListLeavesNoItemsBehind) {
    TsAlphaImageList* Src = MakeList(3, 3);
    AddFile(Src, PngFile(3, 3, Strip(3, 3, {Blue})));
    Src->GenerateImages();
    TsAlphaImageList* Dst = MakeList(16, 16);
    int Changes = 0;
    Dst->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    Dst->Assign(Src);
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Dst->Width(), 3);
    EXPECT_EQ(Dst->Height(), 3);
    ASSERT_EQ(Dst->Items()->Count(), 1);
    EXPECT_EQ(BytesOfItem(Dst->Items()->Items(0)), BytesOfItem(Src->Items()->Items(0)));
    EXPECT_EQ(Dst->Count(), 1);
    TOwned<TBitmap> B(NewBitmap32(3, 3));
    ASSERT_TRUE(Dst->GetBitmap32(0, B.get()));
    EXPECT_EQ(GetPx(B.get(), 1, 1), Blue);

    // The old items must not stand for the images a plain list brings.
    auto* Plain = Create<TImageList>(Form);
    Plain->SetSize(3, 3);
    TOwned<TBitmap> Image(MakeBitmap(3, 3, pf24bit, Red));
    Plain->Add(Image.get(), nullptr);
    Dst->Assign(Plain);
    EXPECT_EQ(Dst->Items()->Count(), 0);
    EXPECT_EQ(Dst->Count(), 1);
}

TEST_F(acAlphaImageListTest, ImagesAddedWithoutAlphaBecomeOpaqueExceptTheKeyColour) {
    TsAlphaImageList* L = MakeList(2, 2);
    L->SetKeepItems(false);
    L->SetMasked(false);
    AddFile(L, PngFile(2, 2, Strip(2, 2, {Red})));
    L->GenerateImages();
    ASSERT_TRUE(L->Generated());
    EXPECT_EQ(L->Items()->Count(), 0);  // not kept after generation
    TOwned<TBitmap> Image(MakeBitmap(2, 2, pf24bit, Blue));
    SetPx(Image.get(), 1, 0, PxOf(KeyColor));
    L->Add(Image.get(), nullptr);
    ASSERT_EQ(L->Count(), 2);
    TOwned<TBitmap> B(NewBitmap32(2, 2));
    ASSERT_TRUE(L->GetBitmap32(1, B.get()));
    EXPECT_EQ(GetPx(B.get(), 0, 0), Blue);
    EXPECT_EQ(GetPx(B.get(), 1, 0).A, 0);
}

}  // namespace
