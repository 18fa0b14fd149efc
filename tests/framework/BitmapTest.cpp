// Bitmaps as DIB sections: rows and their step, conversions between pixel formats, resizing,
// copies, handles (adopted, released, device-dependent), dormant images and masks.
#include "GraphicsTestSupport.h"

#include <cstring>

using graphics_test::MakeBitmap;
using graphics_test::RowPixel;

namespace {
using Bitmap = graphics_test::TGraphicsFixture;

std::ptrdiff_t Distance(void* A, void* B) { return static_cast<BYTE*>(B) - static_cast<BYTE*>(A); }

const TColor Pure[] = {clBlack, clWhite, clRed, clLime, clBlue, clFuchsia, clYellow, clAqua};
constexpr int PureCount = sizeof Pure / sizeof Pure[0];

// One column per pure colour, drawn through the canvas into a 24-bit image.
TOwned<TBitmap> ColourStripes() {
    TOwned<TBitmap> B = MakeBitmap(pf24bit, PureCount, 3);
    for (int I = 0; I < PureCount; ++I) {
        B->Canvas()->Brush()->SetColor(Pure[I]);
        B->Canvas()->FillRect(Rect(I, 0, I + 1, 3));
    }
    return B;
}
}  // namespace

TEST_F(Bitmap, ScanLinesGoTopDownWithAConstantNegativeStep) {
    struct {
        TPixelFormat Format;
        int Width;
        std::ptrdiff_t Stride;
    } Cases[] = {{pf1bit, 3, 4}, {pf4bit, 9, 8}, {pf8bit, 5, 8}, {pf15bit, 3, 8}, {pf24bit, 5, 16}, {pf32bit, 3, 12}};
    for (const auto& C : Cases) {
        TOwned<TBitmap> B = MakeBitmap(C.Format, C.Width, 4);
        std::ptrdiff_t Step = Distance(B->ScanLine(0), B->ScanLine(1));
        EXPECT_EQ(Step, -C.Stride) << "bottom-up rows, format " << C.Format;
        for (int Row = 2; Row < 4; ++Row)
            EXPECT_EQ(Distance(B->ScanLine(0), B->ScanLine(Row)), Row * Step);
        EXPECT_THROW(B->ScanLine(4), EInvalidGraphicOperation);
        EXPECT_THROW(B->ScanLine(-1), EInvalidGraphicOperation);
    }

    // Row 0 is the top row as the canvas sees it.
    TOwned<TBitmap> B = MakeBitmap(pf24bit, 2, 3, clWhite);
    B->Canvas()->Brush()->SetColor(clBlue);
    B->Canvas()->FillRect(Rect(0, 0, 2, 1));
    auto* Top = static_cast<BYTE*>(B->ScanLine(0));
    EXPECT_EQ(Top[0], 0xFF) << "blue first";
    EXPECT_EQ(Top[2], 0x00);
    static_cast<BYTE*>(B->ScanLine(2))[2] = 0xFF;  // red byte of the bottom-left pixel
    static_cast<BYTE*>(B->ScanLine(2))[0] = 0x00;
    static_cast<BYTE*>(B->ScanLine(2))[1] = 0x00;
    EXPECT_EQ(B->Canvas()->Pixels(0, 2), clRed) << "rows written directly reach the canvas";
}

TEST_F(Bitmap, ConversionsKeepTheColoursTheFormatCanHold) {
    for (TPixelFormat F : {pf4bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice}) {
        TOwned<TBitmap> B = ColourStripes();
        B->SetPixelFormat(F);
        EXPECT_EQ(B->PixelFormat(), F);
        EXPECT_EQ(B->HandleType(), F == pfDevice ? bmDDB : bmDIB);
        B->SetPixelFormat(pf24bit);
        for (int I = 0; I < PureCount; ++I)
            EXPECT_EQ(RowPixel(B.get(), I, 1), Pure[I]) << "format " << F << ", colour " << I;
    }

    // 8 bits start with a grey ramp: black and white stay, colours become their nearest grey.
    TOwned<TBitmap> Grey = ColourStripes();
    Grey->SetPixelFormat(pf8bit);
    EXPECT_EQ(static_cast<BYTE*>(Grey->ScanLine(0))[1], 255);
    Grey->SetPixelFormat(pf24bit);
    EXPECT_EQ(RowPixel(Grey.get(), 0, 0), clBlack);
    EXPECT_EQ(RowPixel(Grey.get(), 1, 0), clWhite);
    TColor Red = RowPixel(Grey.get(), 2, 0);
    EXPECT_EQ(Red & 0xFF, (Red >> 8) & 0xFF) << "grey";

    // One bit: black and white.
    TOwned<TBitmap> Mono = ColourStripes();
    Mono->SetMonochrome(true);
    EXPECT_TRUE(Mono->Monochrome());
    EXPECT_EQ(Mono->PixelFormat(), pf1bit);
    Mono->SetPixelFormat(pf24bit);
    EXPECT_EQ(RowPixel(Mono.get(), 0, 0), clBlack);
    EXPECT_EQ(RowPixel(Mono.get(), 1, 0), clWhite);

    EXPECT_THROW(Mono->SetPixelFormat(pfCustom), EInvalidGraphic);
}

TEST_F(Bitmap, AlphaOnTheWayToAndFrom32Bits) {
    TOwned<TBitmap> B = MakeBitmap(pf24bit, 2, 1, clFuchsia);
    B->SetPixelFormat(pf32bit);
    auto* P = static_cast<BYTE*>(B->ScanLine(0));
    std::uint32_t Pixel;
    std::memcpy(&Pixel, P, 4);
    EXPECT_EQ(Pixel, 0x00FF00FFu) << "magenta with alpha 0";
    P[3] = 0x80;
    B->SetPixelFormat(pf24bit);
    B->SetPixelFormat(pf32bit);
    EXPECT_EQ(static_cast<BYTE*>(B->ScanLine(0))[3], 0) << "24 bits carry no alpha";
}

TEST_F(Bitmap, PaletteSetBeforeTheSizeColoursTheIndexes) {
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetPixelFormat(pf4bit);
    std::vector<BYTE> Buf(sizeof(LOGPALETTE) + 16 * sizeof(PALETTEENTRY));
    auto* LP = reinterpret_cast<LOGPALETTE*>(Buf.data());
    LP->palVersion = 0x300;
    LP->palNumEntries = 16;
    for (int I = 0; I < 16; ++I)
        LP->palPalEntry[I] = PALETTEENTRY{BYTE(I * 16), 0, BYTE(255 - I * 16), 0};
    B->SetPalette(CreatePalette(LP));
    B->SetSize(2, 1);
    static_cast<BYTE*>(B->ScanLine(0))[0] = 0x5F;  // pixels 5 and 15
    B->SetPixelFormat(pf24bit);
    EXPECT_EQ(RowPixel(B.get(), 0, 0), TColor(80 | (175 << 16)));
    EXPECT_EQ(RowPixel(B.get(), 1, 0), TColor(240 | (15 << 16)));
}

TEST_F(Bitmap, ResizingKeepsTheTopLeftAndFillsWhite) {
    for (TPixelFormat F : {pfDevice, pf8bit, pf24bit, pf32bit}) {
        TOwned<TBitmap> B = MakeBitmap(F, 3, 3, clBlack);
        B->SetSize(5, 4);
        B->SetPixelFormat(pf24bit);
        EXPECT_EQ(RowPixel(B.get(), 2, 2), clBlack) << F;
        EXPECT_EQ(RowPixel(B.get(), 3, 2), clWhite) << F;
        EXPECT_EQ(RowPixel(B.get(), 0, 3), clWhite) << F;
    }
    TOwned<TBitmap> B = MakeBitmap(pf24bit, 3, 3, clBlack);
    EXPECT_THROW(B->SetWidth(-1), EInvalidGraphicOperation);
    EXPECT_THROW(B->SetSize(2, -5), EInvalidGraphicOperation);
    EXPECT_THROW(B->SetSize(100000, 100000), EInvalidGraphicOperation) << "beyond what a bitmap may hold";
    EXPECT_EQ(B->Width(), 3) << "unchanged after the refusal";
    EXPECT_EQ(RowPixel(B.get(), 2, 2), clBlack);
    B->SetWidth(0);
    EXPECT_TRUE(B->Empty());
    EXPECT_EQ(B->Height(), 3);
}

TEST_F(Bitmap, AssignCopiesAndNilEmpties) {
    TOwned<TBitmap> A = ColourStripes();
    A->SetTransparent(true);
    A->SetTransparentColor(clLime);
    TOwned<TBitmap> B(Create<TBitmap>());
    B->Assign(A.get());
    EXPECT_EQ(B->PixelFormat(), pf24bit);
    EXPECT_EQ(B->Width(), A->Width());
    EXPECT_TRUE(B->Transparent());
    EXPECT_EQ(B->TransparentColor(), clLime);
    B->Canvas()->Brush()->SetColor(clBlack);
    B->Canvas()->FillRect(Rect(0, 0, 8, 3));
    EXPECT_EQ(RowPixel(A.get(), 1, 0), clWhite) << "the copy has its own pixels";
    B->Assign(nullptr);
    EXPECT_TRUE(B->Empty());
    EXPECT_EQ(B->Width(), 0);
}

TEST_F(Bitmap, HandlesAdoptedAndReleased) {
    // A top-down DIB made elsewhere: row 0 is still the top row, the step positive.
    BITMAPINFO BI{};
    BI.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* Bits = nullptr;
    HBITMAP H = CreateDIBSection(nullptr, &BI, DIB_RGB_COLORS, &Bits, nullptr, 0);
    static_cast<std::uint32_t*>(Bits)[0] = 0x000000FF;  // top-left blue
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetHandle(H);
    EXPECT_EQ(B->PixelFormat(), pf32bit);
    EXPECT_EQ(B->Height(), 2);
    EXPECT_EQ(Distance(B->ScanLine(0), B->ScanLine(1)), 8);
    EXPECT_EQ(RowPixel(B.get(), 0, 0), clBlue);
    EXPECT_EQ(B->Canvas()->Pixels(0, 0), clBlue);

    HBITMAP Released = B->ReleaseHandle();
    EXPECT_EQ(Released, H);
    EXPECT_TRUE(B->Empty());
    DIBSECTION DS{};
    EXPECT_EQ(GetObjectA(Released, sizeof DS, &DS), int(sizeof DS)) << "still alive: the caller owns it";
    DeleteObject(Released);

    // Device-dependent bitmaps: pfDevice; their rows exist only after becoming a DIB.
    TOwned<TBitmap> D = MakeBitmap(pfDevice, 3, 2, clRed);
    EXPECT_EQ(D->HandleType(), bmDDB);
    EXPECT_EQ(RowPixel(D.get(), 2, 1), clRed);
    EXPECT_EQ(D->HandleType(), bmDIB);

    D->SetHandle(nullptr);
    EXPECT_TRUE(D->Empty());
    EXPECT_EQ(D->Width(), 0);
    EXPECT_EQ(D->PixelFormat(), pfDevice) << "an emptied bitmap has no format of its own";
}

TEST_F(Bitmap, DormantImagesComeBackOnUse) {
    TOwned<TBitmap> B = ColourStripes();
    B->Dormant();
    EXPECT_FALSE(B->HandleAllocated());
    EXPECT_FALSE(B->Empty());
    EXPECT_EQ(B->Width(), PureCount);
    EXPECT_EQ(RowPixel(B.get(), 2, 2), clRed);
    EXPECT_TRUE(B->HandleAllocated());
}

TEST_F(Bitmap, MasksMarkTheTransparentColour) {
    TOwned<TBitmap> B = MakeBitmap(pf24bit, 4, 2, clFuchsia);
    B->Canvas()->SetPixels(1, 0, clBlue);
    B->SetTransparentColor(clFuchsia);
    HBITMAP Mask = B->MaskHandle();
    BITMAP BM{};
    ASSERT_TRUE(GetObjectA(Mask, sizeof BM, &BM));
    EXPECT_EQ(BM.bmBitsPixel, 1);
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Mask);
    EXPECT_EQ(GetPixel(DC, 0, 0), COLORREF(0xFFFFFF)) << "transparent: set";
    EXPECT_EQ(GetPixel(DC, 1, 0), COLORREF(0)) << "opaque: clear";
    SelectObject(DC, Old);
    DeleteDC(DC);

    B->Mask(clBlue);
    EXPECT_TRUE(B->Monochrome());
    EXPECT_EQ(B->Canvas()->Pixels(1, 0), clWhite);
    EXPECT_EQ(B->Canvas()->Pixels(0, 0), clBlack);
}

TEST_F(Bitmap, ChangesReachOnChange) {
    TOwned<TBitmap> B = MakeBitmap(pf24bit, 2, 2);
    int Changes = 0;
    B->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    B->Canvas()->FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(Changes, 1);
    B->SetSize(3, 3);
    EXPECT_EQ(Changes, 2);
    B->SetPixelFormat(pf32bit);
    EXPECT_EQ(Changes, 3);
}
