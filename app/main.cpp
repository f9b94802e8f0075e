// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <iostream>
#include <string_view>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"

int main(int argc, char** argv)
{
    // Before the application object, which would need a display.
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (const auto exitCode = AnswerInfoOptions(args, std::cout))
        return *exitCode;
    return RunKorvant(argc, argv);
}
