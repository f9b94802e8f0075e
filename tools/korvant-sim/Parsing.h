// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Text to numbers for options and commands. Each throws std::invalid_argument with a
// message naming `what`, so callers can show it as it is.
namespace sim {

std::vector<std::string_view> SplitColons(std::string_view text);
std::vector<std::string_view> SplitWords(std::string_view text);

// A whole-string decimal number.
double ParseNumber(std::string_view text, std::string_view what);
// A whole number from low to high, decimal or with a 0x prefix hexadecimal.
unsigned long ParseCount(std::string_view text, std::string_view what, unsigned long low,
                         unsigned long high);
// An even number of hex digits, optionally with a 0x prefix: "000007FE" → 00 00 07 FE.
std::vector<std::uint8_t> ParseHexBytes(std::string_view text, std::string_view what);
// Space-separated upper-case hex: "03 E8".
std::string HexDump(const std::vector<std::uint8_t>& bytes);

}  // namespace sim
