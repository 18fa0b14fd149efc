// BMP files and bitmap resources: every pixel format written and read back unchanged, the layouts
// other writers produce (top-down, run-length coded, old headers, channel masks), and malformed or
// cut-short data refused with "Bitmap image is not valid" without touching the bitmap.
#include "GraphicsTestSupport.h"

using graphics_test::MakeBitmap;
using graphics_test::RowPixel;
using graphics_test::Saved;

namespace {
using BitmapFile = graphics_test::TGraphicsFixture;

// A BMP put together field by field.
struct TBmp {
    std::string Bytes;
    void U16(unsigned V) { Bytes.append({char(V & 0xFF), char((V >> 8) & 0xFF)}); }
    void U32(std::uint32_t V) {
        U16(V & 0xFFFF);
        U16(V >> 16);
    }
    void Raw(const std::string& S) { Bytes += S; }
};

struct TBmpFields {
    std::int32_t Width = 2;
    std::int32_t Height = 2;
    unsigned Planes = 1;
    unsigned Bits = 24;
    std::uint32_t Compression = BI_RGB;
    std::uint32_t SizeImage = 0;
    std::uint32_t ClrUsed = 0;
    std::string Extra;   // masks or colour table
    std::string Pixels;  // as stored
};

std::string MakeBmp(const TBmpFields& S) {
    TBmp B;
    std::uint32_t Off = 14 + 40 + std::uint32_t(S.Extra.size());
    B.Raw("BM");
    B.U32(Off + std::uint32_t(S.Pixels.size()));
    B.U32(0);
    B.U32(Off);
    B.U32(40);
    B.U32(std::uint32_t(S.Width));
    B.U32(std::uint32_t(S.Height));
    B.U16(S.Planes);
    B.U16(S.Bits);
    B.U32(S.Compression);
    B.U32(S.SizeImage);
    B.U32(0);
    B.U32(0);
    B.U32(S.ClrUsed);
    B.U32(0);
    B.Raw(S.Extra);
    B.Raw(S.Pixels);
    return B.Bytes;
}

std::string Quads(std::initializer_list<std::uint32_t> Colors) {  // 0x00RRGGBB as stored
    TBmp B;
    for (auto C : Colors)
        B.U32(C);
    return B.Bytes;
}

void Load(TBitmap* B, const std::string& Data) {
    TPointerStream S(Data.data(), static_cast<LongInt>(Data.size()));
    B->LoadFromStream(&S);
}

// Two rows of 24-bit pixels, padded: top row as given first.
std::string Rows24(const std::string& Top, const std::string& Bottom) {
    auto Pad = [](std::string R) {
        R.resize((R.size() + 3) / 4 * 4, '\0');
        return R;
    };
    return Pad(Bottom) + Pad(Top);
}
const std::string Red3("\x00\x00\xFF", 3), Blue3("\xFF\x00\x00", 3);
}  // namespace

TEST_F(BitmapFile, EveryFormatReadsBackAsWritten) {
    for (TPixelFormat F : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        TOwned<TBitmap> A = MakeBitmap(pf24bit, 7, 5, clWhite);
        A->Canvas()->Brush()->SetColor(clRed);
        A->Canvas()->FillRect(Rect(1, 1, 4, 3));
        A->SetPixelFormat(F);
        std::string Data = Saved(A.get());
        TOwned<TBitmap> B(Create<TBitmap>());
        Load(B.get(), Data);
        EXPECT_EQ(B->PixelFormat(), F);
        EXPECT_EQ(B->Width(), 7);
        EXPECT_EQ(B->Height(), 5);
        EXPECT_EQ(Saved(B.get()), Data) << "format " << F;
    }
}

TEST_F(BitmapFile, LayoutsOfOtherWriters) {
    TOwned<TBitmap> B(Create<TBitmap>());

    TBmpFields TopDown;
    TopDown.Height = -2;
    TopDown.Pixels = Rows24(Blue3 + Blue3, Red3 + Red3);  // stored top row first: red, then blue
    Load(B.get(), MakeBmp(TopDown));
    EXPECT_EQ(RowPixel(B.get(), 0, 0), clRed) << "top-down: the first stored row is the top";
    EXPECT_EQ(RowPixel(B.get(), 1, 1), clBlue);

    TBmpFields Rle;
    Rle.Width = 4;
    Rle.Bits = 8;
    Rle.Compression = BI_RLE8;
    Rle.ClrUsed = 3;
    Rle.Extra = Quads({0x000000, 0xFF0000, 0x0000FF});
    // Bottom row: four red. Top row: two blue, a skip of one pixel, one red. End.
    Rle.Pixels = std::string("\x04\x01\x00\x00\x02\x02\x00\x02\x01\x00\x01\x01\x00\x01", 14);
    Rle.SizeImage = std::uint32_t(Rle.Pixels.size());
    Load(B.get(), MakeBmp(Rle));
    EXPECT_EQ(B->PixelFormat(), pf8bit);
    B->SetPixelFormat(pf24bit);
    EXPECT_EQ(RowPixel(B.get(), 1, 0), clBlue);
    EXPECT_EQ(RowPixel(B.get(), 2, 0), clBlack) << "a delta skips pixels";
    EXPECT_EQ(RowPixel(B.get(), 3, 0), clRed);
    EXPECT_EQ(RowPixel(B.get(), 0, 1), clRed);
    EXPECT_EQ(RowPixel(B.get(), 3, 1), clRed);

    TBmpFields Masks565;
    Masks565.Width = 1;
    Masks565.Height = 1;
    Masks565.Bits = 16;
    Masks565.Compression = BI_BITFIELDS;
    Masks565.Extra = Quads({0xF800, 0x07E0, 0x001F});
    Masks565.Pixels = std::string("\x00\xF8\x00\x00", 4);
    Load(B.get(), MakeBmp(Masks565));
    EXPECT_EQ(B->PixelFormat(), pf16bit);
    B->SetPixelFormat(pf24bit);
    EXPECT_EQ(RowPixel(B.get(), 0, 0), clRed);

    TBmpFields OddMasks = Masks565;
    OddMasks.Bits = 32;
    OddMasks.Extra = Quads({0x000000FF, 0x0000FF00, 0x00FF0000});
    OddMasks.Pixels = std::string("\xFF\x00\x00\x00", 4);
    Load(B.get(), MakeBmp(OddMasks));
    EXPECT_EQ(B->PixelFormat(), pf32bit) << "other masks are widened to plain 32 bits";
    EXPECT_EQ(RowPixel(B.get(), 0, 0), clRed);

    // The old 12-byte header with a table of three-byte entries.
    TBmp Core;
    Core.Raw("BM");
    Core.U32(14 + 12 + 6 + 4);
    Core.U32(0);
    Core.U32(14 + 12 + 6);
    Core.U32(12);
    Core.U16(2);
    Core.U16(1);
    Core.U16(1);
    Core.U16(1);
    Core.Raw(std::string("\x00\x00\xFF\xFF\x00\x00", 6));  // red, blue
    Core.Raw(std::string("\x40\x00\x00\x00", 4));
    Load(B.get(), Core.Bytes);
    EXPECT_EQ(B->PixelFormat(), pf1bit);
    B->SetPixelFormat(pf24bit);
    EXPECT_EQ(RowPixel(B.get(), 0, 0), clRed);
    EXPECT_EQ(RowPixel(B.get(), 1, 0), clBlue);
}

TEST_F(BitmapFile, ReadingStopsAfterTheImage) {
    TOwned<TBitmap> A = MakeBitmap(pf24bit, 3, 3, clRed);
    std::string Data = Saved(A.get()) + "TAIL";
    TPointerStream S(Data.data(), static_cast<LongInt>(Data.size()));
    TOwned<TBitmap> B(Create<TBitmap>());
    B->LoadFromStream(&S);
    EXPECT_EQ(S.Position(), Int64(Data.size() - 4));

    TPointerStream Empty(Data.data(), 0);
    B->LoadFromStream(&Empty);
    EXPECT_TRUE(B->Empty()) << "no data, no image";
}

TEST_F(BitmapFile, MalformedDataIsRefusedAndChangesNothing) {
    TBmpFields Good;
    Good.Pixels = Rows24(Red3 + Red3, Red3 + Red3);
    struct {
        const char* What;
        std::string Data;
    } Cases[] = {
        {"signature", "XM" + MakeBmp(Good).substr(2)},
        {"cut in the header", MakeBmp(Good).substr(0, 20)},
        {"one pixel byte short", MakeBmp(Good).substr(0, MakeBmp(Good).size() - 1)},
        {"zero width", MakeBmp([&] { auto S = Good; S.Width = 0; return S; }())},
        {"negative width", MakeBmp([&] { auto S = Good; S.Width = -2; return S; }())},
        {"zero height", MakeBmp([&] { auto S = Good; S.Height = 0; return S; }())},
        {"two planes", MakeBmp([&] { auto S = Good; S.Planes = 2; return S; }())},
        {"seven bits", MakeBmp([&] { auto S = Good; S.Bits = 7; return S; }())},
        {"masks on 24 bits", MakeBmp([&] { auto S = Good; S.Compression = BI_BITFIELDS; return S; }())},
        {"embedded JPEG", MakeBmp([&] { auto S = Good; S.Compression = BI_JPEG; return S; }())},
        {"colour table too long", MakeBmp([&] { auto S = Good; S.Bits = 8; S.ClrUsed = 300; return S; }())},
        {"run-length without size",
         MakeBmp([&] { auto S = Good; S.Bits = 8; S.ClrUsed = 1; S.Extra = Quads({0}); S.Compression = BI_RLE8; return S; }())},
        {"huge", MakeBmp([&] { auto S = Good; S.Width = 70000; S.Height = 70000; return S; }())},
    };
    TOwned<TBitmap> B = MakeBitmap(pf24bit, 3, 2, clLime);
    for (const auto& C : Cases) {
        try {
            Load(B.get(), C.Data);
            ADD_FAILURE() << C.What << ": accepted";
        } catch (const EInvalidGraphic& E) {
            EXPECT_EQ(E.Message(), "Bitmap image is not valid") << C.What;
        }
        EXPECT_EQ(B->Width(), 3) << C.What;
        EXPECT_EQ(RowPixel(B.get(), 2, 1), clLime) << C.What;
    }
}

TEST_F(BitmapFile, BitmapResources) {
    TOwned<TBitmap> B(Create<TBitmap>());
    EXPECT_THROW(B->LoadFromResourceName(MainInstance(), "NO_SUCH_BITMAP"), EResNotFound);
    // The system's own bitmaps are packed DIBs without a file header.
    constexpr int CloseButton = 32754;
    B->LoadFromResourceID(GetModuleHandleA("user32.dll"), CloseButton);
    EXPECT_GT(B->Width(), 0);
    EXPECT_GT(B->Height(), 0);
    EXPECT_EQ(B->HandleType(), bmDIB);
}
