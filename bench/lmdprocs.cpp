// Block compression speed of the second component library's packed streams: packing and unpacking
// 4 MB of text-like data (repeated lines with numbers) and of random bytes, which the packer stores.
#include "lmdprocs.h"
#include "lmdstreams.h"

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>

namespace {
double Seconds(LARGE_INTEGER From, LARGE_INTEGER To) {
    LARGE_INTEGER F;
    QueryPerformanceFrequency(&F);
    return static_cast<double>(To.QuadPart - From.QuadPart) / static_cast<double>(F.QuadPart);
}

void Measure(const char* Name, const std::string& Data) {
    LARGE_INTEGER T0, T1, T2;
    TStringStream Source(Data), Packed, Back;
    QueryPerformanceCounter(&T0);
    lmdstreams::PackStream(&Source, &Packed, static_cast<LongInt>(Data.size()));
    QueryPerformanceCounter(&T1);
    Packed.SetPosition(0);
    lmdstreams::UnpackStream(&Packed, &Back);
    QueryPerformanceCounter(&T2);
    const double MB = static_cast<double>(Data.size()) / (1024.0 * 1024.0);
    std::printf("%-6s %6.2f MB -> %6.2f MB (%5.1f%%)  pack %7.1f MB/s  unpack %7.1f MB/s  %s\n", Name, MB,
                static_cast<double>(Packed.Size()) / (1024.0 * 1024.0), 100.0 * Packed.Size() / Data.size(),
                MB / Seconds(T0, T1), MB / Seconds(T1, T2), Back.DataString() == Data ? "round trip ok" : "MISMATCH");
}
}  // namespace

int main() {
    const size_t Size = 4 * 1024 * 1024;
    std::string Text;
    for (int I = 0; Text.size() < Size; ++I)
        Text += "2026-12-10 17:" + std::to_string(I % 60) + "\tSuccesfull\tSERVER\tDemo_" + std::to_string(I % 97) + "\r\n";
    Text.resize(Size);
    std::string Random(Size, '\0');
    std::mt19937 Gen(7);
    for (char& C : Random)
        C = static_cast<char>(Gen());
    Measure("text", Text);
    Measure("random", Random);
    return 0;
}
