// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/CommandLine.h"

#include "packaging/Version.h"

std::string_view KorvantHelpText()
{
    return R"(Usage: korvant [OPTION]...
Shows the four lambda channels of a KORVANT wideband lambda (UEGO) controller on a
serial port: ten times a second it asks the controller for a reading and shows each
channel on a round meter and a readout, with the supply voltage and the "LAMBDA DATA
ONLINE" and "SENSOR WARMUP" lamps. It logs valid readings to a CSV file, and reads and
writes the controller's stored settings. Everything else is done in its windows: open
the port from "ComPort" after each start.

Options:
  -h, --help     show this text and exit
      --version  show the program's name and version and exit

Qt's own options, such as -platform NAME or -style NAME, are passed on to Qt.
)";
}

std::optional<int> AnswerInfoOptions(std::span<const std::string_view> Args, std::ostream& Out)
{
    for (const std::string_view arg : Args) {
        if (arg == "--help" || arg == "-h") {
            Out << KorvantHelpText();
            return 0;
        }
        if (arg == "--version") {
            Out << "korvant " << kKorvantVersion << '\n';
            return 0;
        }
    }
    return std::nullopt;
}
