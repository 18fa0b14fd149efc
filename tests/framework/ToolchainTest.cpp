// The toolchain end to end: the libraries the build links, windows and messages under Wine, and the
// system language that follows LANG.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <zlib.h>

using namespace testing_support;

namespace {

std::vector<unsigned char> GradientRgb(int W, int H) {
    std::vector<unsigned char> Px(W * H * 3);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            unsigned char* P = &Px[(Y * W + X) * 3];
            P[0] = static_cast<unsigned char>(X * 255 / (W - 1));
            P[1] = static_cast<unsigned char>(Y * 255 / (H - 1));
            P[2] = 128;
        }
    return Px;
}

}  // namespace

TEST(Toolchain, JpegEncodesAndDecodesAPicture) {
    const int W = 32, H = 24;
    auto Px = GradientRgb(W, H);

    jpeg_compress_struct C{};
    jpeg_error_mgr Err{};
    C.err = jpeg_std_error(&Err);
    jpeg_create_compress(&C);
    unsigned char* Buf = nullptr;
    unsigned long Len = 0;
    jpeg_mem_dest(&C, &Buf, &Len);
    C.image_width = W;
    C.image_height = H;
    C.input_components = 3;
    C.in_color_space = JCS_RGB;
    jpeg_set_defaults(&C);
    jpeg_set_quality(&C, 95, TRUE);
    jpeg_start_compress(&C, TRUE);
    while (C.next_scanline < C.image_height) {
        JSAMPROW Row = &Px[C.next_scanline * W * 3];
        jpeg_write_scanlines(&C, &Row, 1);
    }
    jpeg_finish_compress(&C);
    jpeg_destroy_compress(&C);
    ASSERT_GT(Len, 100u);
    EXPECT_EQ(Buf[0], 0xFF);
    EXPECT_EQ(Buf[1], 0xD8);

    jpeg_decompress_struct D{};
    D.err = jpeg_std_error(&Err);
    jpeg_create_decompress(&D);
    jpeg_mem_src(&D, Buf, Len);
    ASSERT_EQ(jpeg_read_header(&D, TRUE), JPEG_HEADER_OK);
    jpeg_start_decompress(&D);
    ASSERT_EQ(static_cast<int>(D.output_width), W);
    ASSERT_EQ(static_cast<int>(D.output_height), H);
    ASSERT_EQ(D.output_components, 3);
    std::vector<unsigned char> Out(W * H * 3);
    while (D.output_scanline < D.output_height) {
        JSAMPROW Row = &Out[D.output_scanline * W * 3];
        jpeg_read_scanlines(&D, &Row, 1);
    }
    jpeg_finish_decompress(&D);
    jpeg_destroy_decompress(&D);
    free(Buf);

    int MaxDiff = 0;
    for (size_t I = 0; I < Out.size(); ++I)
        MaxDiff = std::max(MaxDiff, std::abs(int(Out[I]) - int(Px[I])));
    EXPECT_LE(MaxDiff, 12) << "a smooth gradient at quality 95 comes back close";
}

TEST(Toolchain, ZlibInflatesWhatItDeflated) {
    std::string Text;
    for (int I = 0; I < 2000; ++I)
        Text += "BACKUP DATABASE [db" + std::to_string(I % 7) + "] ";
    uLongf PackedLen = compressBound(Text.size());
    std::vector<Bytef> Packed(PackedLen);
    ASSERT_EQ(compress2(Packed.data(), &PackedLen, reinterpret_cast<const Bytef*>(Text.data()), Text.size(), 9), Z_OK);
    EXPECT_LT(PackedLen, Text.size() / 10);
    std::vector<Bytef> Back(Text.size());
    uLongf BackLen = Back.size();
    ASSERT_EQ(uncompress(Back.data(), &BackLen, Packed.data(), PackedLen), Z_OK);
    EXPECT_EQ(std::string(Back.begin(), Back.begin() + BackLen), Text);
}

namespace {
int TimerTicks = 0;
bool Destroyed = false;
LRESULT CALLBACK TimerWndProc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
    if (Msg == WM_TIMER && WP == 7)
        ++TimerTicks;
    if (Msg == WM_DESTROY)
        Destroyed = true;
    return DefWindowProcA(W, Msg, WP, LP);
}
}  // namespace

TEST(Toolchain, WindowReceivesTimerMessagesAndIsDestroyed) {
    WNDCLASSA Cls{};
    Cls.lpfnWndProc = TimerWndProc;
    Cls.hInstance = GetModuleHandleA(nullptr);
    Cls.lpszClassName = "QuarnelToolchainTimerWnd";
    ASSERT_NE(RegisterClassA(&Cls), 0);
    HWND W = CreateWindowExA(0, Cls.lpszClassName, "timer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                             Cls.hInstance, nullptr);
    ASSERT_NE(W, nullptr);
    ShowWindow(W, SW_SHOW);
    ASSERT_NE(SetTimer(W, 7, 20, nullptr), 0u);
    EXPECT_TRUE(PumpUntil([] { return TimerTicks >= 2; }, 5000));
    KillTimer(W, 7);
    EXPECT_TRUE(DestroyWindow(W));
    EXPECT_TRUE(Destroyed);
    EXPECT_FALSE(IsWindow(W));
    UnregisterClassA(Cls.lpszClassName, Cls.hInstance);
}

// The whole test program runs under the locale its CTest entry sets (LC_ALL: Wine 8 here took the
// locale from it, not from LANG alone, and a child process keeps its parent's locale).
TEST(ToolchainLocale, SystemLanguageFollowsTheLocaleOfTheProcess) {
    const char* Lc = std::getenv("LC_ALL");
    ASSERT_NE(Lc, nullptr) << "the test entry sets LC_ALL";
    std::string Locale = Lc;
    if (Locale.rfind("ru_RU", 0) == 0) {
        EXPECT_EQ(GetSystemDefaultLangID(), 1049);
        EXPECT_EQ(GetACP(), 1251u);
    } else if (Locale.rfind("en_US", 0) == 0) {
        EXPECT_EQ(GetSystemDefaultLangID(), 1033);
        EXPECT_EQ(GetACP(), 1252u);
    } else {
        FAIL() << "unexpected locale " << Locale;
    }
}
