// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

// One valid reading: when it was taken, in seconds on its source's clock, and the lambda
// value of each of the four channels.
struct TReading {
    double Time = 0;
    std::array<float, 4> Lambda{};
};

// Readings in time order, held in one or two pieces (a ring that has wrapped is two).
class TReadingView {
public:
    TReadingView() = default;
    explicit TReadingView(std::span<const TReading> first, std::span<const TReading> second = {})
        : FFirst(first), FSecond(second)
    {
    }

    size_t size() const { return FFirst.size() + FSecond.size(); }
    bool empty() const { return size() == 0; }
    const TReading& operator[](size_t i) const { return i < FFirst.size() ? FFirst[i] : FSecond[i - FFirst.size()]; }
    const TReading& front() const { return (*this)[0]; }
    const TReading& back() const { return (*this)[size() - 1]; }

    // The index of the first reading taken at or after time (at `from` or later), size()
    // when there is none.
    size_t LowerBound(double time, size_t from = 0) const;
    // The index of the first reading taken after time, size() when there is none.
    size_t UpperBound(double time) const;
    // The reading nearest to time, if one lies within tolerance of it.
    const TReading* Nearest(double time, double tolerance) const;

    // Calls visit(reading, index) for the readings first..last-1, piece by piece.
    template <typename Visit>
    void Scan(size_t first, size_t last, Visit&& visit) const
    {
        const size_t split = FFirst.size();
        for (size_t i = first; i < std::min(last, split); ++i)
            visit(FFirst[i], i);
        for (size_t i = std::max(first, split); i < last; ++i)
            visit(FSecond[i - split], i);
    }

private:
    std::span<const TReading> FFirst;
    std::span<const TReading> FSecond;
};
