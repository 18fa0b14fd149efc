// The persistent base of the second component library's sub-objects: a change event that an update
// flag can hold back.
#pragma once

#include "Classes.h"

class TLMDObject : public TPersistent {
    DECLARE_CLASS(TLMDObject, TPersistent)
public:
    TLMDObject() = default;
    // Fires OnChange unless the update flag is 1.
    virtual void NotifyChange();
    virtual void Changed() { NotifyChange(); }

    TNotifyEvent OnChange;
    Byte UpdateFlag = 0;
};
