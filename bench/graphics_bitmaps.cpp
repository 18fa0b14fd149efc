// The graphics layer's heavy paths on a 1024 x 768 image: canvas fills and text, transparent
// drawing, pixel-format conversions, BMP writing and reading, JPEG encoding and decoding. Prints
// the time of one operation of each kind.
#include "Graphics.h"
#include "Jpeg.h"

#include <windows.h>

#include <cstdio>
#include <functional>

namespace {
double Milliseconds() {
    LARGE_INTEGER F, C;
    QueryPerformanceFrequency(&F);
    QueryPerformanceCounter(&C);
    return static_cast<double>(C.QuadPart) * 1000.0 / static_cast<double>(F.QuadPart);
}

void Measure(const char* What, int Times, const std::function<void()>& Work) {
    Work();  // once to warm up
    double Start = Milliseconds();
    for (int I = 0; I < Times; ++I)
        Work();
    std::printf("%-44s %9.3f ms\n", What, (Milliseconds() - Start) / Times);
}

constexpr int W = 1024, H = 768;

TOwned<TBitmap> Picture(TPixelFormat Format) {
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetPixelFormat(Format);
    B->SetSize(W, H);
    for (int Y = 0; Y < H; ++Y) {
        auto* P = static_cast<BYTE*>(B->ScanLine(Y));
        int Step = Format == pf32bit ? 4 : 3;
        for (int X = 0; X < W; ++X, P += Step) {
            P[0] = static_cast<BYTE>(X);
            P[1] = static_cast<BYTE>(Y);
            P[2] = static_cast<BYTE>(X ^ Y);
        }
    }
    return B;
}
}  // namespace

int main() {
    GraphicsInitialization();
    JpegInitialization();
    std::printf("Graphics on %d x %d pixels\n", W, H);

    TOwned<TBitmap> B24 = Picture(pf24bit);
    TOwned<TBitmap> B32 = Picture(pf32bit);
    Measure("FillRect, whole 24-bit image", 200, [&] {
        B24->Canvas()->Brush()->SetColor(clBtnFace);
        B24->Canvas()->FillRect(Rect(0, 0, W, H));
    });
    Measure("TextOut of 40 characters", 2000, [&] { B24->Canvas()->TextOut(10, 10, "The quick brown fox jumps over the dog."); });

    TOwned<TBitmap> Glyph = Picture(pf24bit);
    Glyph->SetSize(64, 64);
    Glyph->SetTransparent(true);
    Measure("Draw of a transparent 64 x 64 bitmap", 2000, [&] { B32->Canvas()->Draw(100, 100, Glyph.get()); });
    Measure("Draw of the 24-bit image onto 32 bits", 50, [&] { B32->Canvas()->Draw(0, 0, B24.get()); });

    Measure("PixelFormat 24 -> 32 -> 24 bits", 10, [&] {
        TOwned<TBitmap> C = Picture(pf24bit);
        C->SetPixelFormat(pf32bit);
        C->SetPixelFormat(pf24bit);
    });
    Measure("PixelFormat 24 -> 8 bits (nearest grey)", 5, [&] {
        TOwned<TBitmap> C = Picture(pf24bit);
        C->SetPixelFormat(pf8bit);
    });

    TMemoryStream Bmp;
    Picture(pf24bit)->SaveToStream(&Bmp);
    Measure("BMP write, 24 bits", 20, [&] {
        TMemoryStream M;
        B24->SaveToStream(&M);
    });
    Measure("BMP read, 24 bits", 20, [&] {
        Bmp.SetPosition(0);
        TOwned<TBitmap> C(Create<TBitmap>());
        C->LoadFromStream(&Bmp);
    });

    TOwned<TJPEGImage> J(Create<TJPEGImage>());
    J->Assign(Picture(pf24bit).get());
    TMemoryStream Jpg;
    Measure("JPEG encode, quality 90", 10, [&] {
        TMemoryStream M;
        J->Assign(B24.get());
        J->SaveToStream(&M);
    });
    J->Assign(Picture(pf24bit).get());
    J->SaveToStream(&Jpg);
    Measure("JPEG decode", 10, [&] {
        Jpg.SetPosition(0);
        TOwned<TJPEGImage> D(Create<TJPEGImage>());
        D->LoadFromStream(&Jpg);
    });
    std::printf("JPEG data: %lld bytes\n", static_cast<long long>(Jpg.Size()));
    return 0;
}
