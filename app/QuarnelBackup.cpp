// The main program.
#include "ProgramUnits.h"
#include "SysUtils.h"

#include <windows.h>

namespace {
const char MainClassName[] = "TfrmSetting";
const char AppTitle[] = "Quarnel Backup";

LRESULT CALLBACK MainWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

int RunProgram(HINSTANCE Instance, int Show) {
    WNDCLASSA Cls{};
    Cls.lpfnWndProc = MainWndProc;
    Cls.hInstance = Instance;
    Cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Cls.lpszClassName = MainClassName;
    if (!RegisterClassA(&Cls))
        return 1;
    HWND Wnd = CreateWindowExA(0, MainClassName, AppTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                               450, nullptr, nullptr, Instance, nullptr);
    if (!Wnd)
        return 1;
    ShowWindow(Wnd, Show);
    UpdateWindow(Wnd);
    MSG M;
    while (GetMessageA(&M, nullptr, 0, 0) > 0) {
        TranslateMessage(&M);
        DispatchMessageA(&M);
    }
    return static_cast<int>(M.wParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int Show) {
    std::size_t Count = 0;
    const TUnitEntry* Units = ProgramUnits(Count);
    int Code = 0;
    try {
        InitializeUnits(Units, Count);
        Code = RunProgram(Instance, Show);
    } catch (const Exception& E) {
        MessageBoxA(nullptr, E.Message().c_str(), AppTitle, MB_OK | MB_ICONSTOP);
        Code = 1;
    }
    FinalizeUnits();
    return Code;
}
