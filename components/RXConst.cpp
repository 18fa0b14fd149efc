#include "RXConst.h"

#include "Forms.h"

void RXConstInitialization() {
    if (!Screen)
        return;
    HINSTANCE Module = GetModuleHandleA(nullptr);
    Screen->SetCursors(crHand, LoadCursorA(Module, "RX_HANDCUR"));
    Screen->SetCursors(crDragHand, LoadCursorA(Module, "RX_DRAGCUR"));
}
