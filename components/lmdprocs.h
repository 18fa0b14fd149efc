// Routines of the second component library: blanks and trailing backslashes, the folders a path can
// be relative to, fitting a rectangle with its proportions, and the block compressor of its packed
// streams. They live in a namespace of their own: other libraries of the program have routines of
// the same names with other rules.
#pragma once

#include "Types.h"
#include "TypInfo.h"

#include <string>
#include <string_view>

DECLARE_ENUM(TLMDPathPrefix, ppWindows, ppSystem, ppProgram, ppFixed)

namespace lmdprocs {

bool IsBlankText(std::string_view Text);
// "\" appended unless Text is not blank and ends in "\" already; a blank text gets one too.
std::string WithTrailingBackslash(std::string_view Text);
// Exactly one final "\" removed; a blank text unchanged.
std::string WithoutTrailingBackslash(std::string_view Text);

std::string ProgramDirectory();  // ends in "\"
std::string SystemDirectoryPath();
std::string WindowsDirectoryPath();
// The folder Prefix stands for, with or without its final "\"; ppFixed gives "".
std::string PathForPrefix(TLMDPathPrefix Prefix, bool WithBackslash);

// Image scaled by the smaller of the two ratios into Target, placed at Target's top-left. An empty
// image (no width or height) gives an empty rectangle there.
void FitRectKeepingAspect(const TRect& Image, const TRect& Target, TRect& Result);
// The smallest of Count values; 0 for none.
long double SmallestOfReals(const long double* Values, int Count);

// Block compression. A block is at most 32,781 bytes; its packed form is at most one byte longer.
inline constexpr int MaxBlockSize = 32781;
// Packs N bytes (N < 65536) into Dest, which holds at least N + 1 bytes; returns the packed size.
int Lzrw1PackBlock(const Byte* Source, Byte* Dest, int N);
// Unpacks a packed block into Dest (DestCapacity bytes); returns the unpacked size. Data that would
// copy from before the output's start or write past DestCapacity raises EReadError.
int Lzrw1UnpackBlock(const Byte* Source, Byte* Dest, int PackedSize, int DestCapacity = MaxBlockSize);

}  // namespace lmdprocs
