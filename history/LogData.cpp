// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "history/LogData.h"

#include "history/LogScanner.h"

namespace {

// The shortest data line: "0:00:00, 0.000, 0.000, 0.000, 0.000" and LF.
constexpr std::uint64_t kShortestLine = 36;

}  // namespace

TLogData LoadLog(const std::string& path, std::uint64_t maxBytes)
{
    TLogScanner scanner(path);
    if (scanner.FileSize() > maxBytes) {
        throw ELogFormatError(path + " is too large to view: " + std::to_string(scanner.FileSize() >> 20) +
                              " MB, where the viewer takes up to " + std::to_string(maxBytes >> 20) +
                              " MB. korvant-view --summary reads a log of any size.");
    }
    TLogData data;
    data.Path = path;
    // Room for the most lines the file can hold, so that the readings are never copied.
    data.Readings.reserve(static_cast<size_t>(scanner.FileSize() / kShortestLine + 1));
    size_t secondStart = 0;  // the first reading of the current second
    const auto spread = [&] {
        const size_t count = data.Readings.size() - secondStart;
        for (size_t i = 0; i < count; ++i) {
            TReading& r = data.Readings[secondStart + i];
            r.Time = SpreadOverSecond(r.Time, i, count);
        }
    };
    scanner.Run([&](double second, const std::array<float, 4>& lambda) {
        if (!data.Readings.empty() && data.Readings[secondStart].Time != second) {
            spread();
            secondStart = data.Readings.size();
        }
        data.Readings.push_back({second, lambda});
    });
    spread();
    data.Skipped = scanner.Skipped();
    return data;
}
