// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <optional>
#include <string>

namespace korvantlog {

// What the live poll last showed, as the logger keeps it for its status line.
struct LiveStatus {
    // The four lambda values; none before the first valid reading.
    std::optional<std::array<float, 4>> Lambda;
    std::optional<float> Volts;
    bool Online = false;  // bytes arrive from the controller
    bool Warmup = false;  // the controller reports its sensors warming up
    bool Logging = false;
    long long LinesWritten = 0;
};

// One line of the once-a-second status, e.g.
// "14:03:27  lambda 0.998 1.020 0.987 1.000  13.8 V  online  warm-up off  30 lines".
// Numbers always use "." so the lines read the same as the log.
std::string StatusLine(const std::string& time, const LiveStatus& status);

// Advice that follows the serial component's message when a port does not open, naming
// what to do about it; empty when there is none. ruleFile is where the udev rule example
// is installed, if it is.
std::string OpenFailureHint(const std::string& message, const std::string& devicePath,
                            const std::optional<std::string>& ruleFile);

}  // namespace korvantlog
