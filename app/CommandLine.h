// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string_view>

// The two options korvant answers itself, before Qt or any window exists, so that they
// work without a display: --help (or -h) and --version print their text to Out and give
// the exit code. The program has no settings on its command line; every other argument is
// Qt's (-platform NAME, -style NAME, ...) and is left to it.
std::optional<int> AnswerInfoOptions(std::span<const std::string_view> Args, std::ostream& Out);

// The text --help prints.
std::string_view KorvantHelpText();
