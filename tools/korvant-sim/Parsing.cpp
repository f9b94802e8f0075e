// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Parsing.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace sim {

namespace {

std::invalid_argument Problem(std::string_view what, std::string_view text, std::string_view is)
{
    return std::invalid_argument(std::string(what) + ": '" + std::string(text) + "' " +
                                 std::string(is));
}

}  // namespace

std::vector<std::string_view> SplitColons(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const auto colon = text.find(':');
        parts.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos)
            return parts;
        text.remove_prefix(colon + 1);
    }
}

std::vector<std::string_view> SplitWords(std::string_view text)
{
    std::vector<std::string_view> words;
    constexpr std::string_view kSpace = " \t\r\n";
    for (;;) {
        const auto start = text.find_first_not_of(kSpace);
        if (start == std::string_view::npos)
            return words;
        text.remove_prefix(start);
        const auto end = text.find_first_of(kSpace);
        words.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return words;
        text.remove_prefix(end);
    }
}

double ParseNumber(std::string_view text, std::string_view what)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end || !std::isfinite(value))
        throw Problem(what, text, "is not a number");
    return value;
}

unsigned long ParseCount(std::string_view text, std::string_view what, unsigned long low,
                         unsigned long high)
{
    int base = 10;
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        base = 16;
        digits.remove_prefix(2);
    }
    unsigned long value = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, base);
    if (digits.empty() || ec != std::errc{} || ptr != end || value < low || value > high)
        throw Problem(what, text,
                      "is not a whole number from " + std::to_string(low) + " to " +
                          std::to_string(high));
    return value;
}

std::vector<std::uint8_t> ParseHexBytes(std::string_view text, std::string_view what)
{
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X"))
        digits.remove_prefix(2);
    if (digits.empty() || digits.size() % 2 != 0)
        throw Problem(what, text, "is not an even number of hex digits");
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        unsigned value = 0;
        const char* first = digits.data() + i;
        const auto [ptr, ec] = std::from_chars(first, first + 2, value, 16);
        if (ec != std::errc{} || ptr != first + 2)
            throw Problem(what, text, "is not an even number of hex digits");
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

std::string HexDump(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace sim
