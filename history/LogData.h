// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/Reading.h"

// A whole log in memory, for the viewer.
struct TLogData {
    std::string Path;
    // Times in seconds from midnight before the first reading; the lines of one second
    // are spread evenly over it.
    std::vector<TReading> Readings;
    size_t Skipped = 0;  // damaged lines

    TReadingView View() const { return TReadingView(Readings); }
};

// The largest log the viewer loads: about six million readings, 160 MB of memory.
constexpr std::uint64_t kMaxLogBytes = std::uint64_t{256} << 20;

// Reads a log (TLogScanner). Raises EInOutError when it cannot be read, ELogFormatError
// when it is not a log or larger than maxBytes.
TLogData LoadLog(const std::string& path, std::uint64_t maxBytes = kMaxLogBytes);
