// Image lists: masked images drawn into bitmaps with the expected pixels, icons, change links,
// the streamed image data and the errors of bad sizes and indexes.
#include "ComCtrlsTestForm.h"

#include <gtest/gtest.h>

using namespace comctltests;

namespace {

constexpr TColor Red = 0x0000FF, Blue = 0xFF0000, White = 0xFFFFFF, Olive = 0x008080;

// A strip of two 8 x 8 images: each a white field with a 4 x 4 square (red, then blue) at (2, 2).
TOwned<TBitmap> MakeStrip() {
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetPixelFormat(pf24bit);
    B->SetSize(16, 8);
    B->Canvas()->Brush()->SetColor(White);
    B->Canvas()->FillRect(Rect(0, 0, 16, 8));
    B->Canvas()->Brush()->SetColor(Red);
    B->Canvas()->FillRect(Rect(2, 2, 6, 6));
    B->Canvas()->Brush()->SetColor(Blue);
    B->Canvas()->FillRect(Rect(10, 2, 14, 6));
    return B;
}

TOwned<TBitmap> Canvas24(TColor Fill) {
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetPixelFormat(pf24bit);
    B->SetSize(20, 20);
    B->Canvas()->Brush()->SetColor(Fill);
    B->Canvas()->FillRect(Rect(0, 0, 20, 20));
    return B;
}

class ImageListTest : public controltests::ControlsTest {
protected:
    void SetUp() override {
        controltests::ControlsTest::SetUp();
        EnsureComCtrls();
        List.reset(TCustomImageList::CreateSize<TImageList>(8, 8));
    }
    TOwned<TImageList> List;
};

TEST_F(ImageListTest, MaskedImagesLeaveTheBackgroundAlone) {
    auto Strip = MakeStrip();
    EXPECT_EQ(List->AddMasked(Strip.get(), White), 0);
    EXPECT_EQ(List->Count(), 2);
    // The source keeps its white pixels.
    EXPECT_EQ(Strip->Canvas()->Pixels(0, 0), White);
    auto Target = Canvas24(Olive);
    List->Draw(Target->Canvas(), 4, 4, 1);
    EXPECT_EQ(Target->Canvas()->Pixels(4 + 3, 4 + 3), Blue);  // inside the square
    EXPECT_EQ(Target->Canvas()->Pixels(4 + 0, 4 + 0), Olive);  // transparent corner
    EXPECT_EQ(Target->Canvas()->Pixels(0, 0), Olive);          // outside the image
    List->Draw(Target->Canvas(), 4, 4, 0);
    EXPECT_EQ(Target->Canvas()->Pixels(4 + 2, 4 + 5), Red);
}

TEST_F(ImageListTest, DefaultMaskColourIsTheBottomLeftPixel) {
    auto Strip = MakeStrip();
    List->AddMasked(Strip.get(), clDefault);
    auto Target = Canvas24(Olive);
    List->Draw(Target->Canvas(), 0, 0, 0);
    EXPECT_EQ(Target->Canvas()->Pixels(0, 7), Olive);
    EXPECT_EQ(Target->Canvas()->Pixels(3, 3), Red);
}

TEST_F(ImageListTest, DisabledImageIsEmbossedNotColoured) {
    auto Strip = MakeStrip();
    List->AddMasked(Strip.get(), White);
    auto Target = Canvas24(Olive);
    List->Draw(Target->Canvas(), 0, 0, 0, false);
    TColor Inside = Target->Canvas()->Pixels(3, 3);
    EXPECT_NE(Inside, Red);
    EXPECT_EQ(Inside, ColorToRGB(clBtnShadow));
    EXPECT_EQ(Target->Canvas()->Pixels(0, 0), Olive);
}

TEST_F(ImageListTest, BitmapAndIconOfAnImage) {
    auto Strip = MakeStrip();
    List->AddMasked(Strip.get(), White);
    TOwned<TBitmap> B(Create<TBitmap>());
    ASSERT_TRUE(List->GetBitmap(1, B.get()));
    EXPECT_EQ(B->Width(), 8);
    EXPECT_EQ(B->Canvas()->Pixels(3, 3), Blue);
    TOwned<TIcon> I(Create<TIcon>());
    ASSERT_TRUE(List->GetIcon(0, I.get()));
    EXPECT_NE(I->Handle(), nullptr);
    auto Target = Canvas24(Olive);
    DrawIconEx(Target->Canvas()->Handle(), 0, 0, I->Handle(), 8, 8, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(Target->Canvas()->Pixels(3, 3), Red);
    EXPECT_EQ(Target->Canvas()->Pixels(0, 0), Olive);
}

TEST_F(ImageListTest, BadIndexesAndSizes) {
    auto Strip = MakeStrip();
    List->AddMasked(Strip.get(), White);
    TOwned<TBitmap> B(Create<TBitmap>());
    TOwned<TIcon> I(Create<TIcon>());
    for (int Bad : {-1, 2, 1000}) {
        EXPECT_FALSE(List->GetBitmap(Bad, B.get())) << Bad;
        EXPECT_FALSE(List->GetIcon(Bad, I.get())) << Bad;
        EXPECT_THROW(List->Delete(Bad == -1 ? -2 : Bad), EInvalidOperation) << Bad;
        EXPECT_THROW(List->Replace(Bad, Strip.get(), nullptr), EInvalidOperation) << Bad;
    }
    auto Target = Canvas24(Olive);
    List->Draw(Target->Canvas(), 0, 0, 5);  // nothing to draw, nothing drawn
    EXPECT_EQ(Target->Canvas()->Pixels(3, 3), Olive);
    for (auto [W, H] : {std::pair{0, 8}, {-16, 8}, {8, -1}})
        EXPECT_THROW(List->SetSize(W, H), EInvalidOperation);
    EXPECT_EQ(List->Width(), 8);
    EXPECT_EQ(List->Count(), 2);
    TOwned<TBitmap> Tall(Create<TBitmap>());
    Tall->SetSize(8, 16);
    EXPECT_THROW(List->AddMasked(Tall.get(), White), EInvalidOperation);
}

TEST_F(ImageListTest, ChangeLinksHearEveryChangeOnceAfterAnUpdate) {
    int Heard = 0;
    TOwned<TChangeLink> Link(Create<TChangeLink>());
    Link->OnChange = TNotifyEvent::FromFunction([&](TObject* Sender) {
        EXPECT_EQ(Sender, List.get());
        ++Heard;
    });
    List->RegisterChanges(Link.get());
    auto Strip = MakeStrip();
    List->AddMasked(Strip.get(), White);
    EXPECT_EQ(Heard, 1);
    List->BeginUpdate();
    List->Delete(0);
    List->Delete(0);
    EXPECT_EQ(Heard, 1);
    List->EndUpdate();
    EXPECT_EQ(Heard, 2);
    // A freed link leaves the list; a freed list leaves its links.
    Link.reset();
    List->AddMasked(Strip.get(), White);
    TOwned<TChangeLink> Other(Create<TChangeLink>());
    List->RegisterChanges(Other.get());
    List.reset();
    EXPECT_EQ(Other->Sender(), nullptr);
}

TEST_F(ImageListTest, StreamedImagesComeBackPixelForPixel) {
    auto Strip = MakeStrip();
    List->AddMasked(Strip.get(), White);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    List->WriteData(*S);
    TOwned<TImageList> Copy(Create<TImageList>(nullptr));
    S->SetPosition(0);
    Copy->ReadData(*S);
    ASSERT_EQ(Copy->Count(), 2);
    EXPECT_EQ(Copy->Width(), 8);
    auto Target = Canvas24(Olive);
    Copy->Draw(Target->Canvas(), 0, 0, 1);
    EXPECT_EQ(Target->Canvas()->Pixels(3, 3), Blue);
    EXPECT_EQ(Target->Canvas()->Pixels(0, 0), Olive);
}

TEST_F(ImageListTest, DamagedStreamRaisesAndKeepsTheList) {
    auto Strip = MakeStrip();
    List->AddMasked(Strip.get(), White);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    List->WriteData(*S);
    const Int64 Cuts[] = {3, 20, S->Size() - 1};
    for (Int64 Cut : Cuts) {
        TOwned<TMemoryStream> Short(Create<TMemoryStream>());
        S->SetPosition(0);
        Short->CopyFrom(S.get(), Cut);
        Short->SetPosition(0);
        TOwned<TImageList> Target(TCustomImageList::CreateSize<TImageList>(8, 8));
        Target->AddMasked(Strip.get(), White);
        EXPECT_THROW(Target->ReadData(*Short), EReadError) << Cut;
        EXPECT_EQ(Target->Count(), 2) << Cut;
    }
}

TEST_F(ImageListTest, FormFileCarriesTheImages) {
    // Written by the framework's writer and read back by its reader as a form would be.
    auto Strip = MakeStrip();
    TOwned<TComponent> Root(Create<TComponent>(nullptr));
    auto* Source = Create<TImageList>(Root.get());
    Source->SetName("ilMain");
    Source->SetSize(8, 8);
    Source->AddMasked(Strip.get(), White);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->WriteComponent(Source);
    S->SetPosition(0);
    TOwned<TImageList> Copy(Create<TImageList>(nullptr));
    S->ReadComponent(Copy.get());
    EXPECT_EQ(Copy->Count(), 2);
    EXPECT_EQ(Copy->Height(), 8);
}

}  // namespace
