// Pictures and icons: files load by extension into the class registered for it (the newest
// registration first) and keep the old graphic on any error, filters and masks of the formats, the
// "Data" of a picture in form streams, icons through ICO data.
#include "GraphicsTestSupport.h"
#include "TestSupport.h"

using graphics_test::MakeBitmap;
using graphics_test::RowPixel;
using graphics_test::Saved;
using testing_support::TempDir;

namespace {
using GraphicsPicture = graphics_test::TGraphicsFixture;

// A bitmap class of its own, as the skin engine adds its PNG reader.
class TCountingBitmap : public TBitmap {
    DECLARE_CLASS(TCountingBitmap, TBitmap)
public:
    void LoadFromStream(TStream* Stream) override {
        ++Loads;
        TBitmap::LoadFromStream(Stream);
    }
    static inline int Loads = 0;
};

class TPictureHolder : public TComponent {
    DECLARE_CLASS(TPictureHolder, TComponent)
public:
    explicit TPictureHolder(TComponent* AOwner)
        : TComponent(AOwner), FPicture(Create<TPicture>()), FGlyph(Create<TBitmap>()) {}
    ~TPictureHolder() override {
        FreeAndNil(FPicture);
        FreeAndNil(FGlyph);
    }
    static void DefineClass(TClassBuilder<TPictureHolder>& B) {
        B.Property("Picture", &TPictureHolder::FPicture, &TPictureHolder::SetPicture);
        B.Property("Glyph", &TPictureHolder::FGlyph, &TPictureHolder::SetGlyph);
    }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    TPicture* FPicture;
    TBitmap* FGlyph;
};

// Files of every kind the tests load.
struct TPictureFiles {
    TempDir Dir;
    std::string Bmp = Dir / "a.bmp", Jpg = Dir / "b.JPG", Jpeg = Dir / "c.jpeg", Junk = Dir / "d.bmp";
    TPictureFiles() {
        MakeBitmap(pf24bit, 5, 4, clRed)->SaveToFile(Bmp);
        TOwned<TJPEGImage> J(Create<TJPEGImage>());
        J->Assign(MakeBitmap(pf24bit, 16, 8, clBlue).get());
        J->SaveToFile(Jpg);
        J->SaveToFile(Jpeg);
        testing_support::WriteFileText(Junk, "BM this is no bitmap");
    }
};

TComponent* RoundTrip(TComponent* Root) {
    TMemoryStream M;
    M.WriteComponent(Root);
    M.SetPosition(0);
    return M.ReadComponent(nullptr);
}
}  // namespace

TEST_F(GraphicsPicture, FilesLoadByExtensionAndErrorsKeepTheOldGraphic) {
    TPictureFiles Files;
    TOwned<TPicture> P(Create<TPicture>());
    int Changes = 0;
    P->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    P->LoadFromFile(Files.Bmp);
    ASSERT_NE(P->Graphic(), nullptr);
    EXPECT_EQ(P->Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(P->Width(), 5);
    EXPECT_EQ(Changes, 1);
    P->LoadFromFile(Files.Jpg);
    EXPECT_EQ(P->Graphic()->ClassName(), "TJPEGImage") << "extensions in any case";
    EXPECT_EQ(P->Height(), 8);
    P->LoadFromFile(Files.Jpeg);
    EXPECT_EQ(P->Graphic()->ClassName(), "TJPEGImage");

    TGraphic* Before = P->Graphic();
    try {
        P->LoadFromFile(Files.Dir / "e.xyz");
        ADD_FAILURE() << "unknown extension accepted";
    } catch (const EInvalidGraphic& E) {
        EXPECT_EQ(E.Message(), "Unknown picture file extension (.xyz)");
    }
    EXPECT_THROW(P->LoadFromFile(Files.Junk), EInvalidGraphic);
    EXPECT_THROW(P->LoadFromFile(Files.Dir / "missing.bmp"), EFOpenError);
    EXPECT_EQ(P->Graphic(), Before);
    EXPECT_EQ(P->Width(), 16);
}

TEST_F(GraphicsPicture, TheNewestRegistrationServesAnExtension) {
    TPictureFiles Files;
    TOwned<TPicture> P(Create<TPicture>());
    TPicture::RegisterFileFormat("bmp", "Counted bitmaps", TCountingBitmap::StaticClass());
    P->LoadFromFile(Files.Bmp);
    EXPECT_EQ(P->Graphic()->ClassName(), "TCountingBitmap");
    EXPECT_EQ(TCountingBitmap::Loads, 1);
    EXPECT_EQ(GraphicFilter(TCountingBitmap::StaticClass()), "Counted bitmaps (*.bmp)|*.bmp");
    TPicture::UnregisterGraphicClass(TCountingBitmap::StaticClass());
    P->LoadFromFile(Files.Bmp);
    EXPECT_EQ(P->Graphic()->ClassName(), "TBitmap");

    EXPECT_EQ(GraphicExtension(TBitmap::StaticClass()), "bmp");
    EXPECT_EQ(GraphicExtension(TJPEGImage::StaticClass()), "jpg");
    EXPECT_EQ(GraphicFilter(TBitmap::StaticClass()), "Bitmaps (*.bmp)|*.bmp");
    std::string All = GraphicFilter(TGraphic::StaticClass());
    EXPECT_EQ(All.rfind("All (", 0), 0u) << All;
    for (const char* Mask : {"*.bmp", "*.ico", "*.jpg", "*.jpeg"})
        EXPECT_NE(GraphicFileMask(TGraphic::StaticClass()).find(Mask), std::string::npos) << Mask;
}

TEST_F(GraphicsPicture, AssignCopiesAndTypedAccessReplaces) {
    TOwned<TPicture> P(Create<TPicture>()), Q(Create<TPicture>());
    P->Bitmap()->Assign(MakeBitmap(pf24bit, 3, 3, clRed).get());
    Q->Assign(P.get());
    ASSERT_NE(Q->Graphic(), P->Graphic());
    P->Bitmap()->Canvas()->FillRect(Rect(0, 0, 3, 3));
    EXPECT_EQ(RowPixel(Q->Bitmap(), 1, 1), clRed) << "a copy of its own";
    EXPECT_NE(Q->Icon(), nullptr);
    EXPECT_EQ(Q->Graphic()->ClassName(), "TIcon") << "asking for an icon replaces the bitmap";
    Q->Assign(nullptr);
    EXPECT_EQ(Q->Graphic(), nullptr);
    EXPECT_EQ(Q->Width(), 0);
}

TEST_F(GraphicsPicture, PicturesTravelInFormStreamsWithTheirClass) {
    RegisterClass(TPictureHolder::StaticClass());
    TOwned<TPictureHolder> H(Create<TPictureHolder>(nullptr));
    H->SetName("Holder");
    H->FPicture->Bitmap()->Assign(MakeBitmap(pf24bit, 3, 2, clRed).get());
    H->FGlyph->Assign(MakeBitmap(pf8bit, 4, 4, clWhite).get());
    TOwned<TComponent> Copy(RoundTrip(H.get()));
    TPicture* P = As<TPictureHolder>(Copy.get())->FPicture;
    ASSERT_NE(P->Graphic(), nullptr);
    EXPECT_EQ(P->Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(RowPixel(P->Bitmap(), 2, 1), clRed);
    TBitmap* Glyph = As<TPictureHolder>(Copy.get())->FGlyph;
    EXPECT_EQ(Glyph->PixelFormat(), pf8bit) << "a published bitmap streams its own data";
    EXPECT_EQ(Glyph->Width(), 4);

    TMemoryStream M;
    M.WriteComponent(H.get());
    std::string Text = ObjectBinaryToText(std::string(static_cast<char*>(M.Memory()), size_t(M.Size())));
    EXPECT_NE(Text.find("Picture.Data"), std::string::npos) << Text;
    EXPECT_NE(Text.find("07544269746D6170"), std::string::npos) << "the class name first: " << Text;

    TOwned<TJPEGImage> J(Create<TJPEGImage>());
    J->Assign(MakeBitmap(pf24bit, 16, 8, clBlue).get());
    H->FPicture->SetGraphic(J.get());
    TOwned<TComponent> JpegCopy(RoundTrip(H.get()));
    P = As<TPictureHolder>(JpegCopy.get())->FPicture;
    EXPECT_EQ(P->Graphic()->ClassName(), "TJPEGImage");
    EXPECT_EQ(P->Width(), 16);

    H->FPicture->Assign(nullptr);
    TOwned<TComponent> EmptyCopy(RoundTrip(H.get()));
    EXPECT_EQ(As<TPictureHolder>(EmptyCopy.get())->FPicture->Graphic(), nullptr);
}

TEST_F(GraphicsPicture, IconsThroughTheirData) {
    TOwned<TBitmap> Colour = MakeBitmap(pf24bit, 16, 16, clRed);
    TOwned<TBitmap> Mask = MakeBitmap(pf1bit, 16, 16, clBlack);
    ICONINFO II{TRUE, 0, 0, Mask->Handle(), Colour->Handle()};
    TOwned<TIcon> A(Create<TIcon>());
    A->SetHandle(CreateIconIndirect(&II));
    EXPECT_EQ(A->Width(), 16);
    EXPECT_EQ(A->Height(), 16);

    std::string Data = Saved(A.get());
    TOwned<TIcon> B(Create<TIcon>());
    TPointerStream S(Data.data(), static_cast<LongInt>(Data.size()));
    B->LoadFromStream(&S);
    EXPECT_EQ(B->Width(), 16);
    EXPECT_EQ(Saved(B.get()), Data) << "kept as read";
    TOwned<TBitmap> Target = MakeBitmap(pf24bit, 20, 20, clWhite);
    Target->Canvas()->Draw(2, 2, B.get());
    EXPECT_EQ(RowPixel(Target.get(), 9, 9), clRed);
    EXPECT_EQ(RowPixel(Target.get(), 19, 19), clWhite);
    EXPECT_THROW(B->SetWidth(32), EInvalidGraphicOperation);

    std::string Cursor = Data;
    Cursor[2] = 2;
    std::string Cut = Data.substr(0, Data.size() - 10);
    for (const std::string& Bad : {Cursor, Cut, std::string("\0\0\1\0", 4)}) {
        TPointerStream In(Bad.data(), static_cast<LongInt>(Bad.size()));
        try {
            B->LoadFromStream(&In);
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidGraphic& E) {
            EXPECT_EQ(E.Message(), "Icon image is not valid");
        }
        EXPECT_EQ(B->Width(), 16);
    }
    HICON H = B->ReleaseHandle();
    EXPECT_TRUE(B->Empty());
    EXPECT_TRUE(DestroyIcon(H));
}
