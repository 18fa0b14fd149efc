// Bitmap resampling: a 24-bit or 32-bit bitmap resized with one of seven reconstruction filters,
// in two separable passes (rows, then columns) with precomputed contributor lists and 16.16
// fixed-point weights.
//
//   ResampleBitmap(Src, Dst, 64, 48, 6);   // Mitchell-Netravali, the alpha image list's filter
#pragma once

#include "Bitmaps.h"

namespace acResampleMessages {
inline constexpr const char* SSourceTooSmall = "Source bitmap is too small";
}

// The filters by index: 0 box, 1 triangle, 2 Hermite, 3 bell, 4 cubic B-spline, 5 the windowed sine
// (sin(pi h) sin(h) / (pi h^2)), 6 Mitchell-Netravali with B = C = 1/3.
inline constexpr int ResampleFilterCount = 7;
// Support radius and kernel of a filter at distance H (0 <= H); the box kernel takes the signed
// distance.
float ResampleFilterSupport(int Filter);
double ResampleFilterKernel(int Filter, double X);

// Dst receives Src scaled to NewWidth x NewHeight in Src's format (32 bits when Src is pf32bit, else
// 24 bits; Src is converted to that format too). The same size assigns Src to Dst (nothing when they
// are one object). A source narrower or lower than 2 pixels raises Exception "Source bitmap is too
// small" before anything changes; a filter outside 0..6 is taken as 6.
void ResampleBitmap(TBitmap* Src, TBitmap* Dst, int NewWidth, int NewHeight, int Filter);
