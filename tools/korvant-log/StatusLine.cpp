// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-log/StatusLine.h"

#include <charconv>

#include "platform/comm/PortAccess.h"

namespace korvantlog {

namespace {

// Locale-free fixed-point text, so a comma locale prints the same digits as the log.
std::string Fixed(float value, int decimals)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                      std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

}  // namespace

std::string StatusLine(const std::string& time, const LiveStatus& status)
{
    std::string line = time + "  lambda";
    for (size_t channel = 0; channel < 4; ++channel)
        line += " " + (status.Lambda ? Fixed((*status.Lambda)[channel], 3) : std::string("-----"));
    line += "  " + (status.Volts ? Fixed(*status.Volts, 1) : std::string("--.-")) + " V";
    line += status.Online ? "  online" : "  offline";
    line += status.Warmup ? "  warm-up on" : "  warm-up off";
    if (status.Logging)
        line += "  " + std::to_string(status.LinesWritten) + (status.LinesWritten == 1 ? " line" : " lines");
    else
        line += "  not logging";
    return line;
}

std::string OpenFailureHint(const std::string& message, const std::string& devicePath,
                            const std::optional<std::string>& ruleFile)
{
    // The serial component's messages carry the system's error number in a fixed form.
    if (message.find("(Error 13,") != std::string::npos)
        return comm::PermissionAdvice(devicePath, ruleFile);
    if (message.find("(Error 16,") != std::string::npos)
        return "Another program holds " + devicePath + "; close it (or its port) and try again.";
    if (message.starts_with("Specified device not found"))
        return "Check the port name, that the adapter is plugged in, or link the name to the device in "
               "~/.config/korvant/ports/ (e.g. ln -s /dev/ttyUSB0 ~/.config/korvant/ports/COM9).";
    return {};
}

}  // namespace korvantlog
