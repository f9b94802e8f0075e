// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <string>

#include "history/ChannelStats.h"

// The figures of a whole log, for a terminal or a script.
struct TLogSummary {
    size_t Readings = 0;
    size_t Skipped = 0;
    double Span = 0;  // seconds from the first reading to the last one
    // In thousandths, as the log writes the values: exact, so that a mean that lies halfway
    // rounds as it would on paper.
    std::array<TChannelStats, 4> Channels;
};

// Goes through a log of any size once, in constant memory (TLogScanner; its errors).
TLogSummary SummariseLog(const std::string& path);

// "readings N skipped M span S s", then "CHn min X mean Y max Z" for each channel, each
// line ended by "\n"; the span with one decimal, values with three (halves away from
// zero), always with ".". A channel without readings shows "-" for its values.
std::string SummaryText(const TLogSummary& summary);
