// Painting of the tree list.
#include "dxTL.h"

void TCustomdxTreeList::Paint() {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}
