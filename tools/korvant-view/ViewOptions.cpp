// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-view/ViewOptions.h"

#include <stdexcept>

#include "packaging/Version.h"

namespace korvantview {

Options ParseOptions(std::span<const std::string> args)
{
    Options options;
    bool onlyFiles = false;  // after "--"
    for (const std::string& arg : args) {
        if (!onlyFiles && (arg == "-h" || arg == "--help")) {
            options.Help = true;
        } else if (!onlyFiles && arg == "--version") {
            options.Version = true;
        } else if (!onlyFiles && arg == "--summary") {
            options.Summary = true;
        } else if (!onlyFiles && arg == "--") {
            onlyFiles = true;
        } else if (!onlyFiles && arg.size() > 1 && arg.front() == '-') {
            throw std::invalid_argument("unknown option " + arg);
        } else if (options.File) {
            throw std::invalid_argument("one log at a time: " + *options.File + " or " + arg);
        } else {
            options.File = arg;
        }
    }
    if (options.Summary && !options.File && !options.Help && !options.Version)
        throw std::invalid_argument("--summary needs the log's file name");
    return options;
}

std::string HelpText()
{
    return R"(Usage: korvant-view [FILE.csv]
       korvant-view --summary FILE.csv

Shows a CSV log of the KORVANT lambda controller as korvant and korvant-log write it:
the four channels over the whole log, in lambda or as the air-fuel ratio of a fuel.
Zoom with the mouse wheel or by dragging a box (a right click goes back out), move by
dragging with the middle button or with the arrow keys, "Whole Log" or Home shows all
of it. Below the chart: the time and the four values under the mouse, and each
channel's minimum, mean and maximum over what is shown. "Save as PNG..." saves the
picture. Damaged lines are skipped and counted in the status line.

Options:
  --summary    print the log's figures and exit, without a window:
                 readings N skipped M span S s
                 CHn min X mean Y max Z          (one line per channel)
  -h, --help   show this text and exit
  --version    show the version and exit

Exit status: 0 success, 1 the file cannot be read or is not a log, 2 a bad command line.
)";
}

std::string VersionText()
{
    return "korvant-view " + std::string(kKorvantVersion) + "\n";
}

}  // namespace korvantview
