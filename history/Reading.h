// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

    // The index of the first reading taken at or after time, size() when there is none.
    size_t LowerBound(double time) const;
    // The index of the first reading taken after time, size() when there is none.
    size_t UpperBound(double time) const;
    // The reading nearest to time, if one lies within tolerance of it.
    const TReading* Nearest(double time, double tolerance) const;

private:
    std::span<const TReading> FFirst;
    std::span<const TReading> FSecond;
};
