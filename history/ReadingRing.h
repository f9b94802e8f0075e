// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstddef>

#include "history/Reading.h"

// The readings of the last ten minutes, collected whether a window shows them or not. A
// fixed ring: its room is part of the object, so adding a reading never allocates; the
// newest reading takes the place of the oldest. Times never go backwards: a reading older
// than the newest one is taken as happening with it.
//
// Not thread-safe: the live tick adds and the views read on the user-interface thread.
class TReadingRing {
public:
    // Ten minutes of the 10 Hz tick, with room for a timer that runs up to 10 % fast.
    static constexpr double kSeconds = 600;
    static constexpr size_t kCapacity = 6600;

    void Add(double time, const std::array<float, 4>& lambda);
    void Clear();
    size_t Size() const { return FSize; }
    // Oldest first.
    TReadingView View() const;

private:
    std::array<TReading, kCapacity> FReadings{};
    size_t FStart = 0;  // index of the oldest reading
    size_t FSize = 0;
};

// Seconds on the steady clock, which no change of the wall clock moves: the time base of
// live readings.
double SteadySeconds();
