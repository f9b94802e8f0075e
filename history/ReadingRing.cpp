// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "history/ReadingRing.h"

#include <algorithm>
#include <chrono>
#include <span>

void TReadingRing::Add(double time, const std::array<float, 4>& lambda)
{
    if (FSize > 0)
        time = std::max(time, View().back().Time);
    if (FSize < kCapacity) {
        FReadings[(FStart + FSize) % kCapacity] = {time, lambda};
        ++FSize;
    } else {
        FReadings[FStart] = {time, lambda};
        FStart = (FStart + 1) % kCapacity;
    }
}

void TReadingRing::Clear()
{
    FStart = 0;
    FSize = 0;
}

TReadingView TReadingRing::View() const
{
    const std::span<const TReading> all(FReadings);
    const size_t firstPart = std::min(FSize, kCapacity - FStart);
    return TReadingView(all.subspan(FStart, firstPart), all.first(FSize - firstPart));
}

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
