#include "lmdprocs.h"

#include "Streams.h"
#include "SysUtils.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace lmdprocs {

bool IsBlankText(std::string_view Text) { return Text.find_first_not_of(' ') == std::string_view::npos; }

std::string WithTrailingBackslash(std::string_view Text) {
    std::string Result(Text);
    if (IsBlankText(Text) || Result.back() != '\\')
        Result += '\\';
    return Result;
}

std::string WithoutTrailingBackslash(std::string_view Text) {
    std::string Result(Text);
    if (!IsBlankText(Text) && Result.back() == '\\')
        Result.pop_back();
    return Result;
}

std::string ProgramDirectory() {
    char Path[MAX_PATH];
    DWORD N = GetModuleFileNameA(nullptr, Path, MAX_PATH);
    return ExtractFilePath(std::string(Path, N));
}

namespace {
template <class F>
std::string DirectoryFrom(F Query) {
    char Buffer[MAX_PATH];
    UINT N = Query(Buffer, MAX_PATH);
    return std::string(Buffer, std::min<UINT>(N, MAX_PATH));
}
}  // namespace

std::string SystemDirectoryPath() { return DirectoryFrom(GetSystemDirectoryA); }
std::string WindowsDirectoryPath() { return DirectoryFrom(GetWindowsDirectoryA); }

std::string PathForPrefix(TLMDPathPrefix Prefix, bool WithBackslash) {
    std::string Path;
    switch (Prefix) {
        case ppWindows: Path = WindowsDirectoryPath(); break;
        case ppSystem: Path = SystemDirectoryPath(); break;
        case ppProgram: Path = ProgramDirectory(); break;
        case ppFixed: return {};
    }
    return WithBackslash ? WithTrailingBackslash(Path) : WithoutTrailingBackslash(Path);
}

long double SmallestOfReals(const long double* Values, int Count) {
    if (Count < 1 || !Values)
        return 0;
    return *std::min_element(Values, Values + Count);
}

void FitRectKeepingAspect(const TRect& Image, const TRect& Target, TRect& Result) {
    const long Width = Image.Right - Image.Left, Height = Image.Bottom - Image.Top;
    Result = TRect{Target.Left, Target.Top, Target.Left, Target.Top};
    if (Width <= 0 || Height <= 0)
        return;
    const long double Ratios[2] = {static_cast<long double>(Target.Right - Target.Left) / Width,
                                   static_cast<long double>(Target.Bottom - Target.Top) / Height};
    const long double Scale = SmallestOfReals(Ratios, 2);
    Result.Right = Target.Left + static_cast<LONG>(Width * Scale);
    Result.Bottom = Target.Top + static_cast<LONG>(Height * Scale);
}

// ---------------------------------------------------------------------------------------------
// Block compression

namespace {
constexpr Byte PackedFlag = 0x40, StoredFlag = 0x80;
constexpr int MinRun = 16, MaxRun = 4095, MaxMatch = 18, MaxOffset = 4095;

int Stored(const Byte* Source, Byte* Dest, int N) {
    Dest[0] = StoredFlag;
    if (N > 0)
        std::memcpy(Dest + 1, Source, static_cast<size_t>(N));
    return N + 1;
}

unsigned HashOf(const Byte* P) { return ((((P[0] << 4) ^ P[1]) << 4 ^ P[2]) * 40543u >> 4) & 0xFFF; }
}  // namespace

int Lzrw1PackBlock(const Byte* Source, Byte* Dest, int N) {
    std::vector<uint16_t> Hash(4096, 0xFFFF);
    // One more group may run past N before the packer notices that packing does not pay; the work
    // buffer has room for it, the caller's only for N + 1 bytes.
    std::vector<Byte> Out(static_cast<size_t>(N) + 64);
    Out[0] = PackedFlag;
    size_t ControlAt = 1, OutPos = 3;
    unsigned Control = 0;
    int Items = 0, In = 0;
    auto Emit = [&](Byte B) { Out[OutPos++] = B; };
    while (In < N && OutPos <= static_cast<size_t>(N)) {
        if (Items == 16) {
            Out[ControlAt] = static_cast<Byte>(Control >> 8);
            Out[ControlAt + 1] = static_cast<Byte>(Control);
            ControlAt = OutPos;
            OutPos += 2;
            Control = 0;
            Items = 0;
        }
        int Run = 1;
        while (In + Run < N && Run < MaxRun && Source[In + Run] == Source[In])
            ++Run;
        if (Run >= MinRun) {
            Control = Control << 1 | 1;
            const int Extra = Run - MinRun;
            Emit(0);
            Emit(static_cast<Byte>(Extra >> 8));
            Emit(static_cast<Byte>(Extra));
            Emit(Source[In]);
            In += Run;
        } else {
            int Length = 0, Offset = 0;
            if (In + 3 <= N) {
                const unsigned H = HashOf(Source + In);
                const int16_t Candidate = static_cast<int16_t>(Hash[H]);
                Hash[H] = static_cast<uint16_t>(In);
                if (Candidate >= 0 && In - Candidate > 0 && In - Candidate <= MaxOffset) {
                    Offset = In - Candidate;
                    while (Length < MaxMatch && In + Length < N && Source[Candidate + Length] == Source[In + Length])
                        ++Length;
                }
            }
            if (Length >= 3) {
                Control = Control << 1 | 1;
                Emit(static_cast<Byte>(Offset >> 4));
                Emit(static_cast<Byte>((Offset & 15) << 4 | (Length - 3)));
                In += Length;
            } else {
                Control <<= 1;
                Emit(Source[In++]);
            }
        }
        ++Items;
    }
    Control <<= 16 - Items;
    Out[ControlAt] = static_cast<Byte>(Control >> 8);
    Out[ControlAt + 1] = static_cast<Byte>(Control);
    if (OutPos > static_cast<size_t>(N) || In < N)
        return Stored(Source, Dest, N);
    std::memcpy(Dest, Out.data(), OutPos);
    return static_cast<int>(OutPos);
}

int Lzrw1UnpackBlock(const Byte* Source, Byte* Dest, int PackedSize, int DestCapacity) {
    auto Bad = [] { throw EReadError("Stream read error"); };
    if (PackedSize < 1)
        Bad();
    if (Source[0] == StoredFlag) {
        if (PackedSize - 1 > DestCapacity)
            Bad();
        std::memcpy(Dest, Source + 1, static_cast<size_t>(PackedSize - 1));
        return PackedSize - 1;
    }
    if (Source[0] != PackedFlag || PackedSize < 3)
        Bad();
    int Pos = 3, OutPos = 0, Bits = 16;
    unsigned Control = Source[1] << 8 | Source[2];
    auto Need = [&](int Count) {
        if (Pos + Count > PackedSize)
            Bad();
    };
    while (Pos < PackedSize) {
        if (Bits == 0) {
            Need(2);
            Control = Source[Pos] << 8 | Source[Pos + 1];
            Pos += 2;
            Bits = 16;
            continue;
        }
        const bool Item = Control & 0x8000;
        Control = (Control << 1) & 0xFFFF;
        --Bits;
        if (!Item) {
            if (OutPos >= DestCapacity)
                Bad();
            Dest[OutPos++] = Source[Pos++];
            continue;
        }
        Need(2);
        const int Offset = Source[Pos] * 16 + (Source[Pos + 1] >> 4);
        if (Offset == 0) {
            Need(4);
            const int Count = (Source[Pos + 1] << 8 | Source[Pos + 2]) + MinRun;
            if (OutPos + Count > DestCapacity)
                Bad();
            std::memset(Dest + OutPos, Source[Pos + 3], static_cast<size_t>(Count));
            OutPos += Count;
            Pos += 4;
            continue;
        }
        const int Length = (Source[Pos + 1] & 15) + 3;
        if (Offset > OutPos || OutPos + Length > DestCapacity)
            Bad();
        for (int I = 0; I < Length; ++I, ++OutPos)
            Dest[OutPos] = Dest[OutPos - Offset];
        Pos += 2;
    }
    return OutPos;
}

}  // namespace lmdprocs
