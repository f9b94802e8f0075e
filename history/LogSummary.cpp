// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "history/LogSummary.h"

#include <cmath>
#include <cstdio>

#include "history/LogScanner.h"
#include "platform/framework/FormatFloat.h"

TLogSummary SummariseLog(const std::string& path)
{
    TLogScanner scanner(path);
    TLogSummary summary;
    double first = 0;
    double lastSecond = 0;
    size_t inLastSecond = 0;
    scanner.Run([&](double second, const std::array<float, 4>& lambda) {
        if (summary.Readings == 0)
            first = second;
        if (summary.Readings > 0 && second == lastSecond) {
            ++inLastSecond;
        } else {
            lastSecond = second;
            inLastSecond = 1;
        }
        ++summary.Readings;
        for (size_t c = 0; c < 4; ++c)
            summary.Channels[c].Add(static_cast<double>(std::lround(lambda[c] * 1000.0f)));
    });
    if (summary.Readings > 0)
        summary.Span = SpreadOverSecond(lastSecond, inLastSecond - 1, inLastSecond) - first;
    summary.Skipped = scanner.Skipped();
    return summary;
}

std::string SummaryText(const TLogSummary& summary)
{
    // The same text in every locale: a script reads it.
    const TFormatSettings plain;
    std::string text = "readings " + std::to_string(summary.Readings) + " skipped " + std::to_string(summary.Skipped) +
                       " span " + FormatFloat("0.0", summary.Span, plain) + " s\n";
    for (size_t c = 0; c < 4; ++c) {
        const TChannelStats& s = summary.Channels[c];
        const auto value = [&](double thousandths) {
            if (s.Count == 0)
                return std::string("-");
            const long long rounded = std::llround(thousandths);
            char text[32];
            std::snprintf(text, sizeof text, "%lld.%03lld", rounded / 1000, rounded % 1000);
            return std::string(text);
        };
        text += "CH" + std::to_string(c + 1) + " min " + value(s.Min) + " mean " + value(s.Count ? s.Mean() : 0) +
                " max " + value(s.Max) + "\n";
    }
    return text;
}
