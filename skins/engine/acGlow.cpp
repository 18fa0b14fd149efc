// No glow window is made yet: every request answers "none shown", so the list stays empty and the
// removals have nothing to free.
#include "acGlow.h"

int AddGlowEffect(TRect, TRect, const std::string&, TsSkinManager*, HWND, int, int, const std::string&) { return -1; }

void RemoveGlowEffect(int) {}

void ClearGlowEffects() {}
