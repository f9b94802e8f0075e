// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The options korvant answers before any window: --help and --version end the run, and
// everything else, Qt's options included, starts the program.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "packaging/Version.h"

namespace {

struct InfoCase {
    std::vector<std::string_view> args;
    std::optional<int> exitCode;  // none: the program starts
    std::string printed;          // the start of what is printed
};

void PrintTo(const InfoCase& c, std::ostream* os)
{
    for (const std::string_view arg : c.args)
        *os << arg << ' ';
}

class AnswerInfoOptionsTest : public testing::TestWithParam<InfoCase> {};

TEST_P(AnswerInfoOptionsTest, AnswersOnlyHelpAndVersion)
{
    const InfoCase& c = GetParam();
    std::ostringstream out;
    EXPECT_EQ(AnswerInfoOptions(c.args, out), c.exitCode);
    EXPECT_TRUE(out.str().starts_with(c.printed)) << out.str();
    EXPECT_EQ(out.str().empty(), c.printed.empty()) << out.str();
}

const std::string kVersionLine = "korvant " + std::string(kKorvantVersion) + "\n";

INSTANTIATE_TEST_SUITE_P(
    Korvant, AnswerInfoOptionsTest,
    testing::Values(
        //       args                                  exit  printed
        InfoCase{{},                                   {},   ""},
        InfoCase{{"-platform", "offscreen"},           {},   ""},
        InfoCase{{"--helpful"},                        {},   ""},
        InfoCase{{"--help"},                           0,    "Usage: korvant [OPTION]...\n"},
        InfoCase{{"-h"},                               0,    "Usage: korvant "},
        InfoCase{{"-platform", "xcb", "--version"},    0,    kVersionLine},
        InfoCase{{"--version", "--help"},              0,    kVersionLine}));

}  // namespace
