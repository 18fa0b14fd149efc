// The benchmarks' clock: milliseconds from the performance counter.
#pragma once

#include <windows.h>

inline double BenchNow() {
    static const LARGE_INTEGER Freq = [] {
        LARGE_INTEGER F;
        QueryPerformanceFrequency(&F);
        return F;
    }();
    LARGE_INTEGER C;
    QueryPerformanceCounter(&C);
    return static_cast<double>(C.QuadPart) * 1000.0 / static_cast<double>(Freq.QuadPart);
}

// Milliseconds one run of Work takes.
template <class F>
double BenchTime(F Work) {
    const double Start = BenchNow();
    Work();
    return BenchNow() - Start;
}
