#include "LMDObject.h"

void TLMDObject::NotifyChange() {
    if (UpdateFlag != 1)
        OnChange(this);
}
