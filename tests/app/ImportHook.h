// Recorders at the program's edge to the shell: a system function the program imports is replaced,
// for the life of a hook, by the test's own function through the program's import slot, so the test
// sees every call as the program made it.
#pragma once

#include <windows.h>

#include <vector>

// The import slots of the shell functions the main window calls. Their symbols carry the 32-bit
// calling convention's decoration only on 32 bits.
#if defined(_WIN64)
extern "C" void* AppImpShellNotifyIconA __asm__("__imp_Shell_NotifyIconA");
extern "C" void* AppImpShellExecuteA __asm__("__imp_ShellExecuteA");
#else
extern "C" void* AppImpShellNotifyIconA __asm__("__imp__Shell_NotifyIconA@8");
extern "C" void* AppImpShellExecuteA __asm__("__imp__ShellExecuteA@24");
#endif

namespace app_tests {

class TImportHook {
public:
    // Library and Function name the imported function. A delay-loaded library's slot holds a stub
    // that writes the function into the slot on the first call: a call passed on through it would
    // put the function back over the hook, so the hook passes calls on to the function itself.
    TImportHook(void*& Slot, void* Hook, const char* Library, const char* Function)
        : FSlot(Slot), FOriginal(Slot),
          FFunction(reinterpret_cast<void*>(GetProcAddress(LoadLibraryA(Library), Function))) {
        Set(Hook);
    }
    ~TImportHook() { Set(FOriginal); }
    TImportHook(const TImportHook&) = delete;
    TImportHook& operator=(const TImportHook&) = delete;
    // The imported function, for a hook that passes the call on.
    template <class F>
    F Original() const {
        return reinterpret_cast<F>(FFunction);
    }

private:
    void Set(void* Value) {
        DWORD Old = 0;
        VirtualProtect(&FSlot, sizeof(void*), PAGE_READWRITE, &Old);
        FSlot = Value;
        VirtualProtect(&FSlot, sizeof(void*), Old, &Old);
    }
    void*& FSlot;
    void* FOriginal;
    void* FFunction;
};

// The colours of a 16 x 16 picture as drawn on Background, row by row from the top.
struct TPixels {
    std::vector<COLORREF> Colours;
    bool operator==(const TPixels&) const = default;
    // Pixels of another colour than the background.
    int Drawn(COLORREF Background) const {
        int N = 0;
        for (COLORREF C : Colours)
            N += C != Background;
        return N;
    }
};

// Draws into a top-down 32-bit picture of Width x Height filled with Background and reads it back.
template <class Paint>
TPixels DrawnPixels(int Width, int Height, COLORREF Background, Paint P) {
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    void* Bits = nullptr;
    HDC DC = CreateCompatibleDC(nullptr);
    HBITMAP B = CreateDIBSection(DC, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    HGDIOBJ Old = SelectObject(DC, B);
    HBRUSH Brush = CreateSolidBrush(Background);
    RECT R{0, 0, Width, Height};
    FillRect(DC, &R, Brush);
    DeleteObject(Brush);
    P(DC);
    GdiFlush();
    TPixels Out;
    for (int I = 0; I < Width * Height; ++I) {
        const DWORD V = static_cast<const DWORD*>(Bits)[I];
        Out.Colours.push_back(RGB((V >> 16) & 0xFF, (V >> 8) & 0xFF, V & 0xFF));
    }
    SelectObject(DC, Old);
    DeleteObject(B);
    DeleteDC(DC);
    return Out;
}

}  // namespace app_tests
