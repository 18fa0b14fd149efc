#include "LMDCustomComponent.h"

void TLMDCustomComponent::NotifyChange() {
    if (FChangeLock != 1)
        OnChange(this);
}

void TLMDCustomComponent::ChildChanged(TObject*) { NotifyChange(); }

void TLMDCustomComponent::EndChangeLock(bool Notify) {
    FChangeLock = 0;
    if (Notify)
        NotifyChange();
}
