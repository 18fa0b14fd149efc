// Integer maximum and minimum of the component library.
#pragma once

// A when B < A, else B.
inline int MaxInteger(int A, int B) { return B < A ? A : B; }
// A when B > A, else B.
inline int MinInteger(int A, int B) { return B > A ? A : B; }
