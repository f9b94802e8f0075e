// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <span>
#include <string>

namespace korvantview {

struct Options {
    bool Help = false;
    bool Version = false;
    bool Summary = false;               // print the figures, no window
    std::optional<std::string> File;    // the log to show
};

// The command line without the program's name. Raises std::invalid_argument with the
// message for the user.
Options ParseOptions(std::span<const std::string> args);

std::string HelpText();
// "korvant-view" and the version, one line.
std::string VersionText();

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;   // the file cannot be read or is not a log
constexpr int kExitUsage = 2;  // a bad command line

}  // namespace korvantview
