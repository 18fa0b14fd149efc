// The yardstick of the start-up benchmark: the least a Win32 program does to show a window.
#include <windows.h>

namespace {
LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int Show) {
    WNDCLASSA Cls{};
    Cls.lpfnWndProc = WindowProc;
    Cls.hInstance = Instance;
    Cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    Cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Cls.lpszClassName = "QuarnelBareWindow";
    RegisterClassA(&Cls);
    HWND Wnd = CreateWindowExA(0, Cls.lpszClassName, "Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                               640, 480, nullptr, nullptr, Instance, nullptr);
    ShowWindow(Wnd, Show);
    UpdateWindow(Wnd);
    MSG M;
    while (GetMessageA(&M, nullptr, 0, 0) > 0) {
        TranslateMessage(&M);
        DispatchMessageA(&M);
    }
    return 0;
}
