// The component base of the second component library: a change event, held back while a bulk change
// runs under the change lock so that one event follows it.
#pragma once

#include "Classes.h"

class TLMDCustomComponent : public TComponent {
    DECLARE_CLASS(TLMDCustomComponent, TComponent)
public:
    explicit TLMDCustomComponent(TComponent* AOwner) : TComponent(AOwner) {}

    // Fires OnChange unless the lock is held.
    virtual void NotifyChange();
    // Sub-objects point their change events here.
    virtual void ChildChanged(TObject* Sender);
    void BeginChangeLock() { FChangeLock = 1; }
    void EndChangeLock(bool Notify);
    bool ChangeLocked() const { return FChangeLock == 1; }

    TNotifyEvent OnChange;

private:
    Byte FChangeLock = 0;
};
