// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tools/korvant-sim/Parsing.h"
#include "tools/korvant-sim/Protocol.h"

#include <string>
#include <string_view>

// "C0 04 26 15" → bytes; spaces are ignored.
inline sim::Bytes Hex(std::string_view text)
{
    std::string digits;
    for (const char c : text)
        if (c != ' ')
            digits += c;
    return digits.empty() ? sim::Bytes{} : sim::ParseHexBytes(digits, "test bytes");
}

inline std::string Hex(const sim::Bytes& bytes)
{
    return sim::HexDump(bytes);
}
