// Containers: items keep their header and data through streams and container files, an item is read
// back by its offset, damaged directories are refused, and bulk changes give one change event.
#include "lmdcont.h"

#include "lmdstreams.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

struct TStringsContainer {
    TOwned<TLMDStringList> List{Create<TLMDStringList>(nullptr)};
    int Changes = 0;
    TStringsContainer() {
        List->OnChange = TNotifyEvent::FromFunction([this](TObject*) { ++Changes; });
        for (const char* Text : {"alpha", "beta\r\ngamma"}) {
            TLMDStringListItem* Item = List->Items(List->AddItem());
            Item->Items()->SetText(Text);
            Item->SetDescription(Text[0] == 'a' ? "first" : "");
            Item->SetIdent(Text[0] == 'a' ? 0 : 7);
            Item->Compressed = Text[0] == 'b';
        }
        List->AddItem();  // an empty item
    }
};

std::vector<std::string> Texts(TLMDStringList* L) {
    std::vector<std::string> V;
    for (int I = 0; I < L->Count(); ++I)
        V.push_back(L->Items(I)->Description() + "|" + std::to_string(L->Items(I)->Ident()) + "|" + L->Items(I)->Items()->Text());
    return V;
}

TEST(LibraryContainers, ItemHeaderForms) {
    TStringsContainer C;
    TMemoryStream S;
    C.List->Items(2)->WriteToStream(&S);
    EXPECT_EQ(S.Size(), 1) << "an empty item with no description and ident 0 is its flags byte alone";
    TLMDStringListItem* First = C.List->Items(0);
    EXPECT_EQ(First->HeaderFlags(), TLMDListItem::hfDescription | TLMDListItem::hfData);
    EXPECT_EQ(C.List->Items(1)->HeaderFlags(), TLMDListItem::hfCompressed | TLMDListItem::hfIdent | TLMDListItem::hfData);
}

TEST(LibraryContainers, StreamRoundTripWithOneChangeEvent) {
    TStringsContainer C;
    for (bool WithOffsets : {false, true}) {
        TMemoryStream S;
        C.List->WriteToStream(&S, WithOffsets);
        S.SetPosition(0);
        TStringsContainer Back;
        Back.Changes = 0;
        Back.List->ReadFromStream(&S, WithOffsets);
        EXPECT_EQ(Texts(Back.List.get()), Texts(C.List.get()));
        EXPECT_EQ(Back.Changes, 1) << "one change event after the bulk read";
        EXPECT_EQ(S.Position(), S.Size());
    }
    TStringsContainer Copy;
    Copy.List->Assign(C.List.get());
    EXPECT_EQ(Texts(Copy.List.get()), Texts(C.List.get()));
}

struct TContainerFile {
    std::string Path;
    explicit TContainerFile(const std::string& Bytes) {
        char Dir[MAX_PATH];
        GetTempPathA(MAX_PATH, Dir);
        Path = std::string(Dir) + "h33_container" + ContainerFileExtension(3, true);
        TFileStream F(Path, fmCreate);
        F.WriteBuffer(Bytes.data(), static_cast<LongInt>(Bytes.size()));
    }
    ~TContainerFile() { DeleteFileA(Path.c_str()); }
};

std::string FileBytes(TLMDCustomContainer* List, int Kind) {
    TStringStream S(ContainerSignature(Kind));
    S.SetPosition(S.Size());
    TMemoryStream Body;
    // Offsets are positions in the file: the body follows the 9 signature bytes.
    Body.SetSize(9);
    Body.SetPosition(9);
    List->WriteToStream(&Body, true);
    Body.SetPosition(9);
    S.CopyFrom(&Body, Body.Size() - 9);
    return S.DataString();
}

TEST(LibraryContainers, ItemReadBackByItsOffset) {
    TStringsContainer C;
    TContainerFile File(FileBytes(C.List.get(), 3));
    int Count = 0;
    std::vector<LongInt> Offsets;
    EXPECT_EQ(ReadContainerDirectory(File.Path, Count, Offsets), 3);
    EXPECT_EQ(Count, 3);
    TOwned<TLMDStringListItem> Item(Create<TLMDStringListItem>(nullptr));
    ReadItemFromContainerFile(File.Path, 3, Item.get(), 1);
    EXPECT_EQ(Item->Items()->Text(), C.List->Items(1)->Items()->Text());
    EXPECT_EQ(Item->Ident(), 7);

    for (int Index : {3, -1})
        EXPECT_THROW(ReadItemFromContainerFile(File.Path, 3, Item.get(), Index), Exception) << Index;
    EXPECT_THROW(ReadItemFromContainerFile(File.Path, 2, Item.get(), 0), Exception) << "another kind";
}

TEST(LibraryContainers, DamagedDirectoriesAreRefused) {
    std::string Huge = ContainerSignature(3);
    Huge.append("\xFF\xFF\xFF\x0F", 4);
    TContainerFile File(Huge);
    TOwned<TLMDStringListItem> Item(Create<TLMDStringListItem>(nullptr));
    try {
        ReadItemFromContainerFile(File.Path, 3, Item.get(), 0);
        FAIL() << "a count the file cannot hold was taken";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Cannot open file %s: " + File.Path);
    }
    int Count = 0;
    std::vector<LongInt> Offsets;
    TContainerFile Other("\x08NOTKNOWN");
    EXPECT_EQ(ReadContainerDirectory(Other.Path, Count, Offsets), 6);
}

TEST(LibraryContainers, BitmapsAndWavesAndTheGlobalContainer) {
    TOwned<TLMDBitmapList> Bitmaps(Create<TLMDBitmapList>(nullptr));
    TLMDBitmapListItem* Item = Bitmaps->Items(Bitmaps->AddItem());
    TOwned<TBitmap> Picture(Create<TBitmap>());
    Picture->SetSize(5, 3);
    Item->SetBitmap(Picture.get());
    for (TLMDSavePixelFormat Format : {spfDefault, spf8bit}) {
        Item->PixelFormat = Format;
        Item->Compressed = Format == spf8bit;
        TMemoryStream S;
        Item->WriteToStream(&S);
        S.SetPosition(0);
        TOwned<TLMDBitmapListItem> Back(Create<TLMDBitmapListItem>(nullptr));
        Back->ReadFromStream(&S);
        EXPECT_EQ(Back->Bitmap()->Width(), 5);
        EXPECT_EQ(Back->Bitmap()->Height(), 3);
        EXPECT_EQ(Back->PixelFormat, Format);
    }
    Item->Free();
    EXPECT_EQ(Bitmaps->Count(), 0) << "an item freed on its own leaves the list";

    lmdcontInitialization();
    ASSERT_NE(GlobalContainer, nullptr);
    EXPECT_EQ(GlobalContainer->Waves()->ListKind(), 2);
    lmdcontFinalization();
    EXPECT_EQ(GlobalContainer, nullptr);
}

}  // namespace

namespace {

TEST(LibraryImageStrips, AppendAndRoundTrip) {
    TOwned<TLMDImageList> List(Create<TLMDImageList>(nullptr));
    TLMDImageListItem* Target = List->Items(List->AddItem());
    Target->SetWidth(8);
    Target->SetHeight(6);
    TOwned<TLMDImageListItem> Source(Create<TLMDImageListItem>(nullptr));
    Source->SetWidth(8);
    Source->SetHeight(6);
    TMemoryStream Written;
    Target->WriteToStream(&Written);
    EXPECT_EQ(Written.Size(), 1 + 4 + 4 + 4 + 1 + 4) << "an empty strip still writes its sizes and count";

    // Two cells read into the source through the item's own stream form.
    TOwned<TBitmap> Cells(Create<TBitmap>());
    Cells->SetSize(16, 6);
    Cells->Canvas()->SetPixels(8, 0, TColor(RGB(0, 200, 0)));
    TMemoryStream Form;
    lmdstreams::WriteByteValue(&Form, TLMDListItem::hfData);
    for (LongInt V : {6, 8, 4})
        lmdstreams::WriteLongInt(&Form, V);
    lmdstreams::WriteByteValue(&Form, 0);
    lmdstreams::WriteLongInt(&Form, 2);
    lmdstreams::WriteBitmapData(&Form, Cells.get(), false, -1);
    Form.SetPosition(0);
    Source->ReadFromStream(&Form);
    ASSERT_EQ(Source->ImageCount(), 2);

    Target->AppendImagesFrom(Source.get());
    Target->AppendImagesFrom(Source.get());
    EXPECT_EQ(Target->ImageCount(), 4);
    EXPECT_EQ(Target->CellRect(3), (TRect{24, 0, 32, 6}));
    EXPECT_EQ(Target->Strip()->Canvas()->Pixels(24, 0), TColor(RGB(0, 200, 0)));

    TOwned<TLMDImageListItem> Wide(Create<TLMDImageListItem>(nullptr));
    Wide->SetWidth(9);
    Wide->SetHeight(6);
    EXPECT_THROW(Target->AppendImagesFrom(Wide.get()), EInvalidGraphicOperation);
    EXPECT_EQ(Target->ImageCount(), 4) << "a refused append leaves the strip";

    TMemoryStream Round;
    Target->WriteToStream(&Round);
    Round.SetPosition(0);
    TOwned<TLMDImageListItem> Back(Create<TLMDImageListItem>(nullptr));
    Back->ReadFromStream(&Round);
    EXPECT_EQ(Back->ImageCount(), 4);
    EXPECT_EQ(Back->Strip()->Canvas()->Pixels(8, 0), TColor(RGB(0, 200, 0)));
    EXPECT_EQ(Back->Strip()->Width(), 32) << "the strip is written as far as cells use it";
}

}  // namespace
