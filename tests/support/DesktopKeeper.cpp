// Keeps the test server's desktop open for a whole test run.
//
// Wine closes a desktop about a second after the last program using it ends, and the next program
// to create a window starts it again. The test programs run one after another, so without this
// every program started the desktop anew: a program starting while the old desktop was still
// closing failed to create its first window ("Class does not exist"), and the desktop process a
// test program started inherited that program's output pipes, so CTest waited on it until the
// time-out. This program holds one hidden window until the server is killed at the end of the run.
//
// The first argument names a file written once the window exists: the run waits for it.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR CmdLine, int) {
    HWND Wnd = CreateWindowExA(0, "STATIC", "desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, Instance,
                               nullptr);
    if (!Wnd)
        return 1;
    if (CmdLine && *CmdLine) {
        if (FILE* F = std::fopen(CmdLine, "w"))
            std::fclose(F);
    }
    MSG M;
    while (GetMessageA(&M, nullptr, 0, 0) > 0)
        DispatchMessageA(&M);
    return 0;
}
