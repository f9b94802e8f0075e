// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <algorithm>

// Integer geometry of the raster canvas. A rectangle covers Left..Right-1 × Top..Bottom-1,
// so its width is Right - Left.
struct TPoint {
    int x = 0;
    int y = 0;
    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }

// Moves all four sides inwards by dx horizontally and dy vertically (outwards when negative).
constexpr void InflateRect(TRect& R, int dx, int dy)
{
    R.Left -= dx;
    R.Top -= dy;
    R.Right += dx;
    R.Bottom += dy;
}

constexpr void OffsetRect(TRect& R, int dx, int dy)
{
    R.Left += dx;
    R.Right += dx;
    R.Top += dy;
    R.Bottom += dy;
}

// The overlap of two rectangles; may come out empty (Right < Left or Bottom < Top).
constexpr TRect IntersectRect(const TRect& A, const TRect& B)
{
    return {std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom)};
}
