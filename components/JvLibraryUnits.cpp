#include "JvLibraryUnits.h"

namespace {
// The system bitmap of check boxes (OBM_CHECKBOXES; the header gives it only to OEM builds).
constexpr WORD CheckBoxesBitmap = 32759;
}  // namespace

UINT TaskbarRestartMessage = 0;
int CheckBoxWidth = 0;
int CheckBoxHeight = 0;
thread_local DWORD ThreadValues[ThreadValueCount];

void TaskbarRestartUnitInitialization() { TaskbarRestartMessage = RegisterWindowMessageA("TaskbarCreated"); }

void TaskbarRestartUnitFinalization() { TaskbarRestartMessage = 0; }

void CheckBoxSizeUnitInitialization() {
    HBITMAP Bitmap = LoadBitmapA(nullptr, MAKEINTRESOURCEA(CheckBoxesBitmap));
    BITMAP Info{};
    if (Bitmap && GetObjectA(Bitmap, sizeof Info, &Info)) {
        CheckBoxWidth = Info.bmWidth / 4;
        CheckBoxHeight = Info.bmHeight / 3;
    }
    if (Bitmap)
        DeleteObject(Bitmap);
}

void ThreadValuesUnitInitialization() {
    for (DWORD& V : ThreadValues)
        V = 0;
}
