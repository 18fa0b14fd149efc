// The component-state questions that the skinned controls ask before painting or answering a
// message: is the component being read from its form file, edited at design time, or destroyed.
// Included by the units that ask them, not by the library's public headers.
#pragma once

#include "Classes.h"

inline bool InState(const TComponent* C, TComponentStateItem Item) { return C->ComponentState().Contains(Item); }
inline bool Loading(const TComponent* C) { return InState(C, csLoading); }
inline bool Designing(const TComponent* C) { return InState(C, csDesigning); }
inline bool IsDestroying(const TComponent* C) { return InState(C, csDestroying); }
