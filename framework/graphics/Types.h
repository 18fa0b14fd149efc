// Points, rectangles and sizes as the platform's records: the same memory layout as POINT, RECT and
// SIZE, so that they go straight into Win32 calls (`FillRect(DC, R, Brush)` takes a TRect where a
// RECT* is asked for), with the field names the framework and the system use (Left, Top, X, cx ...).
#pragma once

#include <windows.h>

// may_alias: Win32 writes these records through RECT*/POINT* pointers that point at ours; without
// it the optimiser could assume the two views never alias.
struct __attribute__((may_alias)) TPoint {
    LONG X = 0;
    LONG Y = 0;

    operator POINT*() { return reinterpret_cast<POINT*>(this); }
    operator const POINT*() const { return reinterpret_cast<const POINT*>(this); }
    operator POINT() const { return POINT{X, Y}; }
    bool operator==(const TPoint&) const = default;
};

struct __attribute__((may_alias)) TSize {
    LONG cx = 0;
    LONG cy = 0;

    operator SIZE*() { return reinterpret_cast<SIZE*>(this); }
    operator const SIZE*() const { return reinterpret_cast<const SIZE*>(this); }
    bool operator==(const TSize&) const = default;
};

struct __attribute__((may_alias)) TRect {
    LONG Left = 0;
    LONG Top = 0;
    LONG Right = 0;
    LONG Bottom = 0;

    static TRect From(const RECT& R) { return TRect{R.left, R.top, R.right, R.bottom}; }
    operator RECT*() { return reinterpret_cast<RECT*>(this); }
    operator const RECT*() const { return reinterpret_cast<const RECT*>(this); }
    operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
    bool operator==(const TRect&) const = default;

    LONG Width() const { return Right - Left; }
    LONG Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return TPoint{Left, Top}; }
    TPoint BottomRight() const { return TPoint{Right, Bottom}; }
    // No area: right not beyond left or bottom not below top.
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(const TPoint& P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
};

static_assert(sizeof(TPoint) == sizeof(POINT) && sizeof(TRect) == sizeof(RECT) && sizeof(TSize) == sizeof(SIZE));

inline TPoint Point(LONG X, LONG Y) { return TPoint{X, Y}; }
inline TRect Rect(LONG Left, LONG Top, LONG Right, LONG Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline TRect Rect(const TPoint& TopLeft, const TPoint& BottomRight) {
    return TRect{TopLeft.X, TopLeft.Y, BottomRight.X, BottomRight.Y};
}
inline TRect Bounds(LONG Left, LONG Top, LONG Width, LONG Height) { return TRect{Left, Top, Left + Width, Top + Height}; }
