// The registry of saved window procedures. Hooks chain window procedures: each keeps the one it
// replaced and passes messages on to it. Hooks can leave in any order, so a hook that leaves from
// under a later one must hand what it replaced up to that one; else the later hook keeps passing
// messages to a freed object (or to a pooled thunk that serves another window by then). Every saved
// procedure of a live hook is registered for that.
#pragma once

#include "Controls.h"

#include <algorithm>
#include <vector>

template <class TProc>
std::vector<TProc*>& SavedProcSlots() {
    static std::vector<TProc*> Slots;
    return Slots;
}
template <class TProc>
void RegisterSavedProc(TProc& Slot) {
    SavedProcSlots<TProc>().push_back(&Slot);
}
template <class TProc>
void UnregisterSavedProc(TProc& Slot) {
    auto& L = SavedProcSlots<TProc>();
    L.erase(std::remove(L.begin(), L.end(), &Slot), L.end());
}
// The registered slot that holds Installed takes Replaced instead; false when no live hook saved it.
template <class TProc>
bool SpliceSavedProc(const TProc& Installed, const TProc& Replaced) {
    for (TProc* Slot : SavedProcSlots<TProc>())
        if (*Slot == Installed) {
            *Slot = Replaced;
            return true;
        }
    return false;
}

// Puts Mine on top of Control's WindowProc; Saved keeps the previous one (registered).
inline void ChainWindowProc(TControl* Control, const TWndMethod& Mine, TWndMethod& Saved) {
    Saved = Control->WindowProc;
    Control->WindowProc = Mine;
    RegisterSavedProc(Saved);
}

// Takes Mine out of Control's chain: from the top, or from under the later hook that saved it. False
// when neither holds (a hook that is none of ours sits above); Saved is then left as it is.
inline bool UnchainWindowProc(TControl* Control, const TWndMethod& Mine, TWndMethod& Saved) {
    bool Done = true;
    if (Control && Control->WindowProc == Mine)
        Control->WindowProc = Saved;
    else
        Done = SpliceSavedProc(Mine, Saved);
    if (Done)
        UnregisterSavedProc(Saved);
    return Done;
}
