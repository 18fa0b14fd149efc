#pragma once
// What the manager's own units share about loading a skin.

#include "sSkinManager.h"

// Whatever way a load ends, the flag goes back to what it was: a load inside a skin change must
// not clear it before the change has been broadcast.
struct LoadingGuard {
    bool Was = SkinLoading;
    LoadingGuard() { SkinLoading = true; }
    ~LoadingGuard() { SkinLoading = Was; }
    LoadingGuard(const LoadingGuard&) = delete;
    LoadingGuard& operator=(const LoadingGuard&) = delete;
};
