// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-log/Options.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace korvantlog {

namespace {

// Ten years: far beyond any drive, small enough for millisecond arithmetic.
constexpr double kMaxDurationSeconds = 10.0 * 366 * 24 * 3600;

double ParseDuration(std::string_view text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || ec != std::errc{} || ptr != end || !std::isfinite(value) || value <= 0 ||
        value > kMaxDurationSeconds) {
        throw std::invalid_argument("--duration needs a number of seconds above 0, e.g. 3 or 0.5 (got \"" +
                                    std::string(text) + "\")");
    }
    return value;
}

}  // namespace

Options ParseOptions(std::span<const std::string> args)
{
    Options options;
    bool havePort = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const bool help = name == "-h" || name == "--help";
        if (help || name == "--version") {
            if (value)
                throw std::invalid_argument(name + " takes no value");
            (help ? options.Help : options.Version) = true;
            continue;
        }
        const bool port = name == "-p" || name == "--port";
        const bool out = name == "-o" || name == "--out";
        const bool duration = name == "-d" || name == "--duration";
        if (!port && !out && !duration) {
            throw std::invalid_argument(name.starts_with("-") ? "unknown option " + name
                                                               : "unexpected argument \"" + name + "\"");
        }
        if (!value) {
            if (i + 1 >= args.size())
                throw std::invalid_argument(name + " needs a value");
            value = args[++i];
        }
        if (port) {
            if (havePort)
                throw std::invalid_argument("--port given twice");
            if (value->empty())
                throw std::invalid_argument("--port needs a port name such as COM9 or a path such as /dev/ttyUSB0");
            havePort = true;
            options.Port = *value;
        } else if (out) {
            if (options.Out)
                throw std::invalid_argument("--out given twice");
            if (value->empty())
                throw std::invalid_argument("--out needs a file name");
            options.Out = *value;
        } else {
            if (options.DurationSeconds)
                throw std::invalid_argument("--duration given twice");
            options.DurationSeconds = ParseDuration(*value);
        }
    }
    if (!options.Help && !options.Version && !havePort)
        throw std::invalid_argument("--port is missing, e.g. --port COM9 or --port /dev/ttyUSB0");
    return options;
}

std::string DeviceNameTemplate(std::string_view port)
{
    std::string name;
    for (const char c : port) {
        name += c;
        if (c == '%')
            name += '%';
    }
    return name;
}

std::string_view HelpText()
{
    return R"(Usage: korvant-log --port PORT [--out FILE.csv] [--duration SECONDS]
Logs the KORVANT controller's four lambda channels without a window: ten times a second
it asks the controller for a reading, exactly as the program's main window does, and
writes every valid reading to a CSV file in the program's format. Once a second it prints
a status line: the time, the four lambda values, the supply voltage, whether data
arrives (online/offline), the sensors' warm-up state and the lines written.

Options:
  -p, --port PORT          COM9 and the like, found as the program finds them (a link
                           in ~/.config/korvant/ports/, then COM1-32 = /dev/ttyS0-31,
                           COM33-64 = /dev/ttyUSB0-31, COM65-96 = /dev/ttyACM0-31), or
                           a device path such as /dev/ttyUSB0
  -o, --out FILE.csv       write the log there; an existing file is replaced. The file
                           is created only once the port is open; every line is in it
                           as soon as it is written, and on its medium within a second
  -d, --duration SECONDS   stop after that long (e.g. 600 or 0.5); without it the
                           logger runs until Ctrl-C or SIGTERM
  -h, --help               show this text
      --version            show the name and version

A value may also follow an equals sign: --port=COM9.
Ctrl-C and SIGTERM stop it cleanly, with a complete file.

Exit codes:
  0  stopped by the duration, Ctrl-C or SIGTERM
  1  the port could not be opened (not found, busy, no permission) or stopped working
  2  a bad command line
  3  the log file could not be created or written
)";
}

}  // namespace korvantlog
