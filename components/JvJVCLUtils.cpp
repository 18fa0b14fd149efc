#include "JvJVCLUtils.h"

#include "Forms.h"

void JvJVCLUtilsInitialization() {
    if (!Screen)
        return;
    try {
        Screen->SetCursors(crMultiDragLink, Screen->Cursors(crMultiDrag));
        Screen->SetCursors(crDragAlt, Screen->Cursors(crDrag));
        Screen->SetCursors(crMultiDragAlt, Screen->Cursors(crMultiDrag));
        Screen->SetCursors(crMultiDragLinkAlt, Screen->Cursors(crMultiDrag));
    } catch (const Exception&) {
        // Cursors are a nicety: a program without them still starts.
    }
}
