// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>

// Minimum, mean and maximum of one channel's values.
struct TChannelStats {
    size_t Count = 0;
    double Min = std::numeric_limits<double>::infinity();
    double Max = -std::numeric_limits<double>::infinity();
    double Sum = 0;

    void Add(double value)
    {
        ++Count;
        Min = std::min(Min, value);
        Max = std::max(Max, value);
        Sum += value;
    }
    // Adds count values whose minimum, maximum and sum are given.
    void Merge(size_t count, double min, double max, double sum)
    {
        Count += count;
        Min = std::min(Min, min);
        Max = std::max(Max, max);
        Sum += sum;
    }
    // Meaningful only when Count is not 0.
    double Mean() const { return Sum / static_cast<double>(Count); }
};
