// Image lists: the image operations of a bitmap list and of a strip list, cell drawing checked in
// pixels, the containers' published defaults read from a form resource, and the clients a container
// tells of changes and of its end.
#include "lmdcont.h"

#include "Filer.h"
#include "lmddraw.h"
#include "lmdstreams.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const TColor Red = TColor(RGB(255, 0, 0)), Green = TColor(RGB(0, 255, 0)), Blue = TColor(RGB(0, 0, 255)),
             White = TColor(RGB(255, 255, 255));

// Two 4x4 cells read through the item's stream form: cell 0 red on its right half, cell 1 green on
// its top half. The rest of a cell is white, or, when Masked, black and masked out.
void FillStrip(TLMDImageListItem* Item, bool Masked) {
    TOwned<TBitmap> Strip(Create<TBitmap>()), Mask(Create<TBitmap>());
    Strip->SetSize(8, 4);
    Mask->SetMonochrome(true);
    Mask->SetSize(8, 4);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 8; ++X) {
            const bool On = X < 4 ? X >= 2 : Y < 2;
            Strip->Canvas()->SetPixels(X, Y, On ? (X < 4 ? Red : Green) : Masked ? TColor(0) : White);
            Mask->Canvas()->SetPixels(X, Y, On ? TColor(0) : White);
        }
    TMemoryStream Form;
    lmdstreams::WriteByteValue(&Form, TLMDListItem::hfData);
    for (LongInt V : {4, 4, 4})
        lmdstreams::WriteLongInt(&Form, V);
    lmdstreams::WriteByteValue(&Form, Masked ? 1 : 0);
    lmdstreams::WriteLongInt(&Form, 2);
    lmdstreams::WriteBitmapData(&Form, Strip.get(), false, -1);
    if (Masked)
        lmdstreams::WriteBitmapData(&Form, Mask.get(), false, 2);
    Form.SetPosition(0);
    Item->ReadFromStream(&Form);
}

struct TStrips {
    explicit TStrips(bool Masked) { FillStrip(List->Items(List->AddItem()), Masked); }
    TOwned<TLMDImageList> List{Create<TLMDImageList>(nullptr)};
};

// A 16x8 canvas painted blue.
struct TBlueCanvas {
    TBlueCanvas() {
        Bitmap->SetSize(16, 8);
        Bitmap->Canvas()->Brush()->SetColor(Blue);
        Bitmap->Canvas()->FillRect(TRect{0, 0, 16, 8});
    }
    TColor At(int X, int Y) { return Bitmap->Canvas()->Pixels(X, Y); }
    TCanvas* Canvas() { return Bitmap->Canvas(); }
    TOwned<TBitmap> Bitmap{Create<TBitmap>()};
};

TEST(LibraryImageLists, OperationsOfBothKinds) {
    TOwned<TLMDBitmapList> Bitmaps(Create<TLMDBitmapList>(nullptr));
    TBitmap* B = Bitmaps->Items(Bitmaps->AddItem())->Bitmap();
    B->SetSize(5, 3);
    B->Canvas()->SetPixels(1, 1, Green);
    TLMDCustomImageList* L = Bitmaps.get();
    EXPECT_EQ(L->ImageBounds(0, 9), (TRect{0, 0, 5, 3})) << "the cell is ignored";
    EXPECT_EQ(L->ImageExtent(0, 0), 5);
    EXPECT_EQ(L->ImageExtent(0, 1), 3);
    EXPECT_EQ(L->ImageCount(0), 1);
    EXPECT_TRUE(L->IsValidImage(0, 7));
    EXPECT_FALSE(L->IsValidImage(1, 0));
    EXPECT_FALSE(L->ItemMasked(0));
    EXPECT_EQ(L->ImagePixel(TPoint{1, 1}, 0, 0), Green);
    EXPECT_EQ(L->TransparentColour(0, 0), B->TransparentColor());
    EXPECT_EQ(L->TransparentColour(4, 0), clWhite);
    EXPECT_EQ(L->ItemCanvas(0), B->Canvas());
    TOwned<TBitmap> Copy(Create<TBitmap>());
    L->CopyToBitmap(0, 0, Copy.get());
    EXPECT_EQ(Copy->Width(), 5);
    EXPECT_EQ(Copy->Canvas()->Pixels(1, 1), Green);

    TStrips Strips(false);
    L = Strips.List.get();
    EXPECT_EQ(L->ImageBounds(0, 1), (TRect{4, 0, 8, 4}));
    EXPECT_EQ(L->ImageExtent(0, 0), 4);
    EXPECT_EQ(L->ImageExtent(0, 2), 0) << "a bad selector";
    EXPECT_EQ(L->ImageExtent(3, 0), 0) << "a bad item";
    EXPECT_EQ(L->ImageCount(0), 2);
    EXPECT_EQ(L->ImageCount(3), -1);
    EXPECT_TRUE(L->IsValidImage(0, 1));
    EXPECT_FALSE(L->IsValidImage(0, 2));
    EXPECT_EQ(L->ImagePixel(TPoint{2, 0}, 0, 0), Red);
    EXPECT_EQ(L->ImagePixel(TPoint{0, 0}, 0, 1), Green) << "the point is taken from the cell's offset";
    EXPECT_EQ(L->ImagePixel(TPoint{0, 0}, 3, 0), clWhite);
    EXPECT_EQ(L->TransparentColour(0, 1), White) << "the cell's bottom-left pixel";
    EXPECT_EQ(L->TransparentColour(0, 5), clWhite);
    EXPECT_EQ(L->ItemCanvas(0), Strips.List->Items(0)->Strip()->Canvas());
    L->CopyToBitmap(0, 1, Copy.get());
    EXPECT_EQ(Copy->Width(), 4);
    EXPECT_EQ(Copy->Height(), 4);
    EXPECT_EQ(Copy->Canvas()->Pixels(0, 0), Green);
    EXPECT_EQ(Copy->Canvas()->Pixels(0, 3), White);
}

TEST(LibraryImageLists, MaskedCellsByDrawingStyle) {
    TStrips Strips(true);
    TLMDImageListItem* Item = Strips.List->Items(0);
    EXPECT_TRUE(Strips.List->ItemMasked(0));
    const struct {
        int Style;
        TColor Background, Blend;
        TColor At00, At20, At30, At31;  // pixels (0,0) masked out, then image pixels (2,0), (3,0), (3,1)
    } Cases[] = {
        {2, clNone, clNone, Blue, Red, Red, Red},
        {3, White, clNone, Blue, Red, Red, Red},
        {2, White, clNone, White, Red, Red, Red},
        {1, White, Green, White, Red, Green, Red},  // a checkerboard: x and y of different parity
        {0, White, Green, Green, Green, Green, Red},  // all but odd x with odd y
    };
    for (const auto& C : Cases) {
        TBlueCanvas Canvas;
        Item->DrawingStyle = C.Style;
        Item->BkColor = C.Background;
        Item->BlendColor = C.Blend;
        Strips.List->DrawAt(Canvas.Canvas(), 0, 0, 0, 0);
        EXPECT_EQ(Canvas.At(0, 0), C.At00) << C.Style;
        EXPECT_EQ(Canvas.At(2, 0), C.At20) << C.Style;
        EXPECT_EQ(Canvas.At(3, 0), C.At30) << C.Style;
        EXPECT_EQ(Canvas.At(3, 1), C.At31) << C.Style;
        EXPECT_EQ(Canvas.At(4, 0), Blue) << "nothing beyond the cell";
    }
    TBlueCanvas Canvas;
    Item->ImageType = 1;
    Strips.List->DrawAt(Canvas.Canvas(), 0, 0, 0, 0);
    EXPECT_EQ(Canvas.At(0, 0), White) << "image type 1 shows the mask";
    EXPECT_EQ(Canvas.At(2, 0), TColor(0));
}

TEST(LibraryImageLists, CellsInRectanglesAndClipped) {
    TStrips Plain(false);
    TBlueCanvas Canvas;
    TRect Drawn;
    Plain.List->DrawInRect(Canvas.Canvas(), TRect{8, 0, 16, 8}, Drawn, 0, 0, LayoutFlags::Stretch);
    EXPECT_EQ(Drawn, (TRect{8, 0, 16, 8}));
    EXPECT_EQ(Canvas.At(8, 0), White) << "a plain copy, twice the size";
    EXPECT_EQ(Canvas.At(12, 7), Red);
    Plain.List->DrawInRect(Canvas.Canvas(), TRect{0, 0, 8, 8}, Drawn, 0, 1, LayoutFlags::Centre | LayoutFlags::KeyColourMask);
    EXPECT_EQ(Drawn, (TRect{2, 2, 6, 6}));
    EXPECT_EQ(Canvas.At(2, 2), Green);
    EXPECT_EQ(Canvas.At(2, 5), Blue) << "the key colour, the cell's bottom-left pixel, is left out";

    TStrips Masked(true);
    TBlueCanvas Masks;
    Masked.List->DrawInRect(Masks.Canvas(), TRect{0, 0, 4, 4}, Drawn, 0, 0, 0);
    EXPECT_EQ(Masks.At(0, 0), Blue) << "a masked cell draws through its mask";
    EXPECT_EQ(Masks.At(2, 0), Red);

    // Clipped to the target moved two pixels right: the cell's first two columns are cut.
    TBlueCanvas Clipped;
    Plain.List->DrawClippedImage(Clipped.Canvas(), TRect{0, 0, 4, 4}, 0, 1, nullptr, 2, LayoutFlags::Clipped);
    EXPECT_EQ(Clipped.At(1, 0), Blue);
    EXPECT_EQ(Clipped.At(2, 0), Green);
    EXPECT_EQ(Clipped.At(3, 0), Green);
    Clipped.Canvas()->Brush()->SetColor(Red);
    Clipped.Canvas()->FillRect(TRect{0, 0, 16, 8});
    EXPECT_EQ(Clipped.At(0, 0), Red) << "the clip is gone afterwards";
}

TEST(LibraryImageLists, BitmapsDrawnByLayout) {
    TOwned<TLMDBitmapList> Bitmaps(Create<TLMDBitmapList>(nullptr));
    TBitmap* B = Bitmaps->Items(Bitmaps->AddItem())->Bitmap();
    B->SetSize(2, 2);
    B->Canvas()->Brush()->SetColor(Red);
    B->Canvas()->FillRect(TRect{0, 0, 2, 2});
    B->Canvas()->SetPixels(0, 1, White);
    TBlueCanvas Canvas;
    Bitmaps->DrawAt(Canvas.Canvas(), 3, 3, 0, 0);
    EXPECT_EQ(Canvas.At(3, 3), Red);
    EXPECT_EQ(Canvas.At(3, 4), White) << "at natural size, no key colour";
    EXPECT_EQ(Canvas.At(5, 3), Blue);
    TRect Drawn;
    Bitmaps->DrawInRect(Canvas.Canvas(), TRect{8, 0, 16, 8}, Drawn, 0, 0, LayoutFlags::Tile | LayoutFlags::BrushCopy);
    EXPECT_EQ(Drawn, (TRect{8, 0, 16, 8}));
    EXPECT_EQ(Canvas.At(14, 6), Red) << "tiled";
    EXPECT_EQ(Canvas.At(14, 7), Blue) << "the bitmap's transparent colour (its bottom-left pixel) is left out";
    TBlueCanvas Clipped;
    Bitmaps->DrawClippedImage(Clipped.Canvas(), TRect{0, 0, 8, 8}, 0, 0, nullptr, 0x00010000, LayoutFlags::Clipped | LayoutFlags::Stretch);
    EXPECT_EQ(Clipped.At(0, 0), Blue) << "the clip is moved one pixel down";
    EXPECT_EQ(Clipped.At(0, 1), Red);
}

TEST(LibraryImageLists, PublishedDefaultsReadFromAFormResource) {
    for (TClass C : {TLMDImageList::StaticClass(), TLMDBitmapList::StaticClass(), TLMDStringList::StaticClass(),
                     TLMDWaveList::StaticClass()})
        RegisterClass(C);
    const std::string Text = "object Holder: TComponent\n"
                             "  object Images: TLMDImageList\n    DefaultCompressed = True\n    DefaultPixelFormat = spf8bit\n  end\n"
                             "  object Bitmaps: TLMDBitmapList\n    DefaultPixelFormat = spfMono\n  end\n"
                             "  object Texts: TLMDStringList\n    DefaultCompressed = True\n  end\n"
                             "  object Waves: TLMDWaveList\n    DefaultCompressed = True\n  end\n"
                             "end\n";
    const std::string Binary = ObjectTextToBinary(Text);
    TMemoryStream M;
    M.WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    M.SetPosition(0);
    TOwned<TComponent> Holder(Create<TComponent>(nullptr));
    M.ReadComponent(Holder.get());
    auto* Images = As<TLMDImageList>(Holder->FindComponent("Images"));
    auto* Bitmaps = As<TLMDBitmapList>(Holder->FindComponent("Bitmaps"));
    EXPECT_TRUE(Images->DefaultCompressed);
    EXPECT_EQ(Images->DefaultPixelFormat, spf8bit);
    EXPECT_FALSE(Bitmaps->DefaultCompressed);
    EXPECT_EQ(Bitmaps->DefaultPixelFormat, spfMono);
    EXPECT_TRUE(As<TLMDStringList>(Holder->FindComponent("Texts"))->DefaultCompressed);
    EXPECT_TRUE(As<TLMDWaveList>(Holder->FindComponent("Waves"))->DefaultCompressed);

    TMemoryStream Written;
    Written.WriteComponent(Images);
    const std::string Bytes(static_cast<const char*>(Written.Memory()), static_cast<size_t>(Written.Size()));
    EXPECT_NE(Bytes.find("DefaultPixelFormat"), std::string::npos);
    EXPECT_EQ(Bytes.find("About"), std::string::npos) << "the design-time text is not stored";
    TOwned<TLMDImageList> Copy(Create<TLMDImageList>(nullptr));
    Copy->Assign(Images);
    EXPECT_EQ(Copy->DefaultPixelFormat, spf8bit);
}

// Records what a container tells its client.
struct TRecordingClient : TLMDContainerClient {
    void ContainerChanged(TLMDBaseContainer* C) override { Events.push_back(C->ClassName() + " changed"); }
    void DetachContainer(TLMDBaseContainer* C) override {
        Events.push_back(C->ClassName() + " gone");
        Container = nullptr;
    }
    TLMDBaseContainer* Container = nullptr;
    std::vector<std::string>& Events;
    explicit TRecordingClient(std::vector<std::string>& E) : Events(E) {}
};

TEST(LibraryContainers, ClientsHearOfChangesFirstAndLoseTheContainer) {
    std::vector<std::string> Events;
    TRecordingClient A(Events), B(Events);
    TLMDStringList* List = Create<TLMDStringList>(nullptr);
    List->OnChange = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("event"); });
    for (TRecordingClient* C : {&A, &B}) {
        C->Container = List;
        List->RegisterClient(C);
    }
    List->RegisterClient(&A);
    EXPECT_EQ(List->ClientCount(), 2) << "registered once";
    List->AddItem();
    EXPECT_EQ(Events, (std::vector<std::string>{"TLMDStringList changed", "TLMDStringList changed", "event"}));
    List->UnregisterClient(&B);
    Events.clear();
    List->Free();
    EXPECT_EQ(A.Container, nullptr);
    EXPECT_NE(B.Container, nullptr) << "an unregistered client is not told";
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "TLMDStringList gone"), 1);
}

}  // namespace
