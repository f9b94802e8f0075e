// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Number patterns under arbitrary patterns and values, with either decimal separator.
// Input: eight bytes of the value's bit pattern (any double, NaN and infinities included),
// a byte choosing the separators, two bytes of precision and digits for the fixed-point
// form, then the pattern.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/framework/FormatFloat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 11)
        return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    TFormatSettings settings;
    if (data[8] & 1) {
        settings.DecimalSeparator = ",";
        settings.ThousandSeparator = ".";
    }
    const int precision = static_cast<std::int8_t>(data[9]);
    const int digits = static_cast<std::int8_t>(data[10]);
    const std::string_view pattern(reinterpret_cast<const char*>(data + 11), size - 11);

    const std::string text = FormatFloat(pattern, value, settings);
    // The text grows with the pattern, never beyond: at most 309 integer digits, a
    // separator per three of them, and what the pattern itself asks for.
    if (text.size() > 2 * pattern.size() + 500)
        std::abort();
    const std::string fixed = FormatFixed(value, precision, digits, settings);
    if (fixed.empty() || fixed.size() > 420)
        std::abort();
    return 0;
}
