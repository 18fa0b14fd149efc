// The skin engine's image paths on a 1024 x 768 picture: PNG decoding by colour type and with
// interlace, resampling with the alpha image list's filter and with the triangle, and unpacking a
// packed skin; then a form opened, resized 100 times and closed with and without a skin (the small
// frame skin of the tests). Prints the time of one operation of each kind and the ratio of the forms.
#include "../tests/skins/engine/acPNGTestSupport.h"

#include "Graphics.h"
#include "acPNG.h"
#include "acResample.h"
#include "acSkinPack.h"
#include "sConst.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

#include <chrono>
#include <cstdio>
#include <functional>

namespace {
// The time of one run of Work, after one run to warm up.
void Measure(const char* What, int Times, const std::function<void()>& Work) {
    Work();
    const auto Start = std::chrono::steady_clock::now();
    for (int I = 0; I < Times; ++I)
        Work();
    const std::chrono::duration<double, std::milli> Spent = std::chrono::steady_clock::now() - Start;
    std::printf("%-48s %9.3f ms\n", What, Spent.count() / Times);
}

constexpr std::uint32_t W = 1024, H = 768;

// A smooth picture (as skin images are), so that it compresses as real ones do.
pngtests::Bytes PngFile(int ColorType, int Depth, bool Interlaced) {
    pngtests::TImage I;
    I.Width = W;
    I.Height = H;
    I.ColorType = ColorType;
    I.Depth = Depth;
    I.Interlaced = Interlaced;
    I.Filter = 5;
    int N = pngtests::SamplesPerPixel(ColorType);
    unsigned Max = (1u << Depth) - 1;
    I.Samples.resize(size_t(W) * H * N);
    for (std::uint32_t Y = 0; Y < H; ++Y)
        for (std::uint32_t X = 0; X < W; ++X)
            for (int K = 0; K < N; ++K)
                I.Samples[(size_t(Y) * W + X) * N + K] = static_cast<std::uint16_t>(((X + Y * (K + 1)) / 4) % (Max + 1));
    return pngtests::Encode(I);
}

// The time of one run of Work in milliseconds, after one run to warm up.
double TimeOf(int Times, const std::function<void()>& Work) {
    Work();
    const auto Start = std::chrono::steady_clock::now();
    for (int I = 0; I < Times; ++I)
        Work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count() / Times;
}

void PumpMessages() {
    MSG M;
    while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&M);
        DispatchMessageA(&M);
    }
}

// A form opened, resized 100 times (each size painted) and closed; with a provider when skinned.
void OpenResizeClose(bool Skinned) {
    TForm* F = TForm::CreateNew(nullptr);
    F->SetBounds(40, 40, 400, 300);
    if (Skinned)
        Create<TsSkinProvider>(F);
    F->Show();
    for (int I = 0; I < 100; ++I) {
        F->SetBounds(40, 40, 400 + I % 50 * 4, 300 + I % 50 * 3);
        UpdateWindow(F->Handle());
        PumpMessages();
    }
    F->Free();
    PumpMessages();
}

// The skin folder of the tests, in the source tree.
std::string FrameSkinFolder() {
    std::string P = std::string("Z:") + QUARNEL_SOURCE_DIR + "/tests/skins/frames/skin";
    for (char& C : P)
        if (C == '/')
            C = '\\';
    return P;
}

void PutInt(pngtests::Bytes& Out, LongInt V) {
    for (int I = 0; I < 4; ++I)
        Out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(V) >> (8 * I)));
}
}  // namespace

int main() {
    GraphicsInitialization();
    acPNGInitialization();
    std::printf("Skin images on %u x %u pixels\n", W, H);

    struct Kind {
        const char* Name;
        int ColorType, Depth;
        bool Interlaced;
    };
    const Kind Kinds[] = {{"PNG decode, RGBA 8 bits", 6, 8, false},
                          {"PNG decode, RGBA 8 bits, interlaced", 6, 8, true},
                          {"PNG decode, RGB 16 bits", 2, 16, false},
                          {"PNG decode, indexed 4 bits", 3, 4, false},
                          {"PNG decode, grey 1 bit", 0, 1, false}};
    for (const Kind& K : Kinds) {
        pngtests::Bytes Data = PngFile(K.ColorType, K.Depth, K.Interlaced);
        if (K.ColorType == 3) {
            pngtests::Bytes Plte = pngtests::PaletteData(16);
            // PLTE goes right after the header: 8 signature bytes and 25 of the header chunk.
            pngtests::Bytes Chunk = pngtests::ChunkBytes("PLTE", Plte);
            Data.insert(Data.begin() + 33, Chunk.begin(), Chunk.end());
        }
        TOwned<TPNGGraphic> Png(Create<TPNGGraphic>());
        Measure(K.Name, 10, [&] { pngtests::LoadPng(Png.get(), Data); });
    }

    TOwned<TPNGGraphic> Source(Create<TPNGGraphic>());
    pngtests::LoadPng(Source.get(), PngFile(6, 8, false));
    TOwned<TBitmap> Dst(Create<TBitmap>());
    Measure("Resample 32 bits to 512 x 384, filter 6", 10, [&] { ResampleBitmap(Source.get(), Dst.get(), 512, 384, 6); });
    Measure("Resample 32 bits to 1280 x 960, filter 1", 5, [&] { ResampleBitmap(Source.get(), Dst.get(), 1280, 960, 1); });
    TOwned<TBitmap> Small(Create<TBitmap>());
    ResampleBitmap(Source.get(), Small.get(), 48, 48, 6);
    Measure("Resample 48 x 48 to 16 x 16, filter 6", 2000, [&] { ResampleBitmap(Small.get(), Dst.get(), 16, 16, 6); });

    // A pack of the options text and twenty images of 200 KB each.
    pngtests::Bytes Pack{'A', 'S', 'z', 'f'};
    PutInt(Pack, 21);
    auto AddEntry = [&](const std::string& Name, const pngtests::Bytes& Data) {
        PutInt(Pack, static_cast<LongInt>(Name.size()));
        Pack.insert(Pack.end(), Name.begin(), Name.end());
        PutInt(Pack, static_cast<LongInt>(Data.size()));
        pngtests::Bytes Z = pngtests::Compress(Data);
        Pack.insert(Pack.end(), Z.begin(), Z.end());
    };
    AddEntry("Options.dat", pngtests::Bytes(20000, 'x'));
    pngtests::Bytes Image = PngFile(6, 8, false);
    Image.resize(200000);
    for (int I = 0; I < 20; ++I)
        AddEntry("IMAGE" + std::to_string(I) + ".PNG", Image);
    std::printf("%-48s %9zu bytes\n", "Packed skin size", Pack.size());
    Measure("Packed skin unpack, 21 entries, 4 MB", 5, [&] {
        TacSkinConvertor* C = Create<TacSkinConvertor>();
        auto* S = Create<TMemoryStream>();
        S->Write(Pack.data(), static_cast<LongInt>(Pack.size()));
        C->PackedData = S;
        ReadSkinPack(C);
        C->Free();
    });

    // Forms: unskinned first, then with the frame skin loaded.
    InitControls();
    TForm* MainForm = nullptr;
    Application->CreateForm(MainForm);
    sConstInitialization();
    sMessagesInitialization();
    sVclUtilsInitialization();
    sGraphUtilsInitialization();
    const double Plain = TimeOf(3, [] { OpenResizeClose(false); });
    TsSkinManager* Manager = Create<TsSkinManager>(nullptr);
    Manager->SkinDirectory = FrameSkinFolder();
    Manager->SetSkinName("FrameTest");
    if (!Manager->SkinData->SkinActive) {
        std::printf("The frame skin did not load from %s\n", FrameSkinFolder().c_str());
        return 1;
    }
    const double Skinned = TimeOf(3, [] { OpenResizeClose(true); });
    std::printf("%-48s %9.3f ms\n", "Form open, 100 resizes, close, unskinned", Plain);
    std::printf("%-48s %9.3f ms\n", "Form open, 100 resizes, close, skinned", Skinned);
    std::printf("%-48s %9.2f\n", "Skinned / unskinned", Skinned / Plain);
    Manager->Free();
    return 0;
}
