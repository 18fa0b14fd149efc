// The size grip of sizeable popups, drawn in any corner (the system grip mirrored for the left and
// top corners). The unit has no start-up or shut-down work.
#pragma once

#include "Types.h"

#include <windows.h>

// Corner: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right. R becomes the grip box.
void DrawGripCorner(HDC DC, TRect& R, int Corner);
