// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvantlog {

// What the process returns; scripts on a logging board tell the failures apart by it.
enum ExitCode : int {
    kExitOk = 0,         // the duration passed, Ctrl-C or SIGTERM, or --help or --version
    kExitPort = 1,       // the port could not be opened, or it stopped working
    kExitUsage = 2,      // a bad command line
    kExitLogFile = 3,    // the log file could not be created or written
};

// The command line, checked.
struct Options {
    bool Help = false;
    bool Version = false;
    // A port name such as COM9, resolved like the program does, or a path starting with "/".
    std::string Port;
    // The CSV file; none means status lines only.
    std::optional<std::string> Out;
    // Seconds to log; none means until Ctrl-C or SIGTERM.
    std::optional<double> DurationSeconds;
};

// Throws std::invalid_argument with a message for the user. --help and --version need no
// other option.
Options ParseOptions(std::span<const std::string> args);

// The serial component's device-name template for a port: the name itself, with "%"
// doubled so that no part of a path is taken for the port-number placeholder.
std::string DeviceNameTemplate(std::string_view port);

// The text --help prints.
std::string_view HelpText();

}  // namespace korvantlog
