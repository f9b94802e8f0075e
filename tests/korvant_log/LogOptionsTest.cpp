// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The logger's pure parts: the command line, the device-name template, the status line and
// the advice after a failed open.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/comm/DevicePath.h"
#include "tools/korvant-log/Options.h"
#include "tools/korvant-log/StatusLine.h"

using namespace korvantlog;

namespace {

struct GoodCommandLine {
    std::vector<std::string> args;
    std::string port;
    std::optional<std::string> out;
    std::optional<double> duration;
    bool help;
    bool version;
};

std::string Joined(const std::vector<std::string>& args)
{
    std::string text;
    for (const std::string& a : args)
        text += (text.empty() ? "" : " ") + a;
    return text;
}

void PrintTo(const GoodCommandLine& c, std::ostream* os)
{
    *os << Joined(c.args);
}

class ParseOptionsGood : public testing::TestWithParam<GoodCommandLine> {};

TEST_P(ParseOptionsGood, TakesEveryForm)
{
    const GoodCommandLine& c = GetParam();
    const Options options = ParseOptions(c.args);
    EXPECT_EQ(options.Port, c.port);
    EXPECT_EQ(options.Out, c.out);
    EXPECT_EQ(options.DurationSeconds, c.duration);
    EXPECT_EQ(options.Help, c.help);
    EXPECT_EQ(options.Version, c.version);
}

INSTANTIATE_TEST_SUITE_P(
    Logger, ParseOptionsGood,
    testing::Values(
        //             args                                                   port            out        duration help version
        GoodCommandLine{{"--port", "COM9"},                                     "COM9",         {},        {},      false, false},
        GoodCommandLine{{"--port", "COM9", "--duration", "3", "--out", "x.csv"}, "COM9",        "x.csv",   3.0,     false, false},
        GoodCommandLine{{"--port=/dev/ttyUSB0", "--out=a b.csv", "--duration=0.5"}, "/dev/ttyUSB0", "a b.csv", 0.5, false, false},
        GoodCommandLine{{"-p", "com33", "-o", "-", "-d", "600"},                "com33",        "-",       600.0,   false, false},
        // a value that looks like an option is still the value
        GoodCommandLine{{"--out", "--port", "--port", "COM1"},                  "COM1",         "--port",  {},      false, false},
        GoodCommandLine{{"--help"},                                             "",             {},        {},      true,  false},
        GoodCommandLine{{"--duration", "5", "-h"},                              "",             {},        5.0,     true,  false},
        GoodCommandLine{{"--version"},                                          "",             {},        {},      false, true}));

struct BadCommandLine {
    std::vector<std::string> args;
    std::string error;  // part of the message
};

void PrintTo(const BadCommandLine& c, std::ostream* os)
{
    *os << Joined(c.args);
}

class ParseOptionsBad : public testing::TestWithParam<BadCommandLine> {};

TEST_P(ParseOptionsBad, SaysWhatIsWrong)
{
    const BadCommandLine& c = GetParam();
    try {
        ParseOptions(c.args);
        FAIL() << "accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Logger, ParseOptionsBad,
    testing::Values(
        //            args                                        part of the message
        BadCommandLine{{},                                         "--port is missing"},
        BadCommandLine{{"--out", "x.csv"},                         "--port is missing"},
        BadCommandLine{{"--port"},                                 "--port needs a value"},
        BadCommandLine{{"--port", ""},                             "--port needs a port name"},
        BadCommandLine{{"--port", "COM1", "--port", "COM2"},       "--port given twice"},
        BadCommandLine{{"--port", "COM1", "--out", ""},            "--out needs a file name"},
        BadCommandLine{{"--port", "COM1", "--speed", "9600"},      "unknown option --speed"},
        BadCommandLine{{"--port", "COM1", "x.csv"},                "unexpected argument \"x.csv\""},
        BadCommandLine{{"--help=yes"},                             "takes no value"},
        BadCommandLine{{"--version=1"},                            "takes no value"},
        BadCommandLine{{"--port", "COM1", "--duration", "0"},      "above 0"},
        BadCommandLine{{"--port", "COM1", "--duration", "-2"},     "above 0"},
        BadCommandLine{{"--port", "COM1", "--duration", "3s"},     "(got \"3s\")"},
        BadCommandLine{{"--port", "COM1", "--duration", "nan"},    "above 0"},
        BadCommandLine{{"--port", "COM1", "--duration", "1e99"},   "above 0"},
        BadCommandLine{{"--port", "COM1", "--duration", ""},       "above 0"},
        BadCommandLine{{"--port", "COM1", "-d", "1", "-d", "2"},   "--duration given twice"}));

TEST(LoggerDeviceName, EveryPortComesBackFromTheTemplateUnchanged)
{
    for (const std::string port : {"COM9", "/dev/ttyUSB0", "/tmp/odd%dname", "/tmp/100%", "/tmp/%%x", "ttyACM0"})
        EXPECT_EQ(comm::FormatDeviceName(DeviceNameTemplate(port), 7), port);
}

struct StatusCase {
    const char* name;
    LiveStatus status;
    std::string line;
};

void PrintTo(const StatusCase& c, std::ostream* os)
{
    *os << c.name;
}

class LoggerStatusLine : public testing::TestWithParam<StatusCase> {};

TEST_P(LoggerStatusLine, ShowsWhatThePollShows)
{
    EXPECT_EQ(StatusLine("14:03:27", GetParam().status), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Logger, LoggerStatusLine,
    testing::Values(
        StatusCase{"NothingYet", {{}, {}, false, false, true, 0},
                   "14:03:27  lambda ----- ----- ----- -----  --.- V  offline  warm-up off  0 lines"},
        StatusCase{"Live", {std::array<float, 4>{0.998f, 1.0234f, 0.98765f, 65.535f}, 13.7999f, true, false, true, 30},
                   "14:03:27  lambda 0.998 1.023 0.988 65.535  13.8 V  online  warm-up off  30 lines"},
        StatusCase{"OneLine", {std::array<float, 4>{1, 1, 1, 1}, 12.8f, true, false, true, 1},
                   "14:03:27  lambda 1.000 1.000 1.000 1.000  12.8 V  online  warm-up off  1 line"},
        StatusCase{"WarmingUpWithoutLog", {std::array<float, 4>{1, 1, 1, 1}, 0.0f, true, true, false, 0},
                   "14:03:27  lambda 1.000 1.000 1.000 1.000  0.0 V  online  warm-up on  not logging"},
        StatusCase{"SilentAfterData", {std::array<float, 4>{0.8f, 0.9f, 1.1f, 1.2f}, 14.1f, false, false, true, 7},
                   "14:03:27  lambda 0.800 0.900 1.100 1.200  14.1 V  offline  warm-up off  7 lines"}),
    [](const testing::TestParamInfo<StatusCase>& info) { return std::string(info.param.name); });

TEST(LoggerOpenFailureHint, NamesTheRemedyForEachFailure)
{
    const std::string denied = "Can't open specified device /dev/ttyUSB0 (Error 13, Permission denied)";
    const std::string installed = OpenFailureHint(denied, "/dev/ttyUSB0", "/usr/share/korvant/60-korvant-serial.rules");
    for (const char* part : {"/dev/ttyUSB0", "dialout", "sudo adduser $USER dialout",
                             "udev rule /usr/share/korvant/60-korvant-serial.rules", "/etc/udev/rules.d/",
                             "udevadm control --reload"})
        EXPECT_NE(installed.find(part), std::string::npos) << part << " in\n" << installed;
    // Not installed: the rule itself is shown.
    const std::string bare = OpenFailureHint(denied, "/dev/ttyUSB0", std::nullopt);
    for (const char* part : {"dialout", "TAG+=\"uaccess\"", "ttyUSB[0-9]*", "ttyACM[0-9]*",
                             "/etc/udev/rules.d/60-korvant-serial.rules"})
        EXPECT_NE(bare.find(part), std::string::npos) << part << " in\n" << bare;

    EXPECT_NE(OpenFailureHint("Can't open specified device /dev/pts/3 (Error 16, Device or resource busy)",
                              "/dev/pts/3", std::nullopt)
                  .find("Another program holds /dev/pts/3"),
              std::string::npos);
    EXPECT_NE(OpenFailureHint("Specified device not found (/dev/ttyS8).", "/dev/ttyS8", std::nullopt)
                  .find("~/.config/korvant/ports/"),
              std::string::npos);
    EXPECT_EQ(OpenFailureHint("Can't open specified device /etc/passwd (Error 25, Inappropriate ioctl for device)",
                              "/etc/passwd", std::nullopt),
              "");
}

}  // namespace
