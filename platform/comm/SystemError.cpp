// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/comm/SystemError.h"

#include <cstring>

namespace comm {

std::string ErrorText(int code)
{
    char buffer[256] = {};
    // GNU strerror_r returns the text, which may or may not live in buffer.
    std::string text = ::strerror_r(code, buffer, sizeof buffer);
    while (!text.empty()) {
        const unsigned char last = static_cast<unsigned char>(text.back());
        if (last <= ' ' || last == '.')
            text.pop_back();
        else
            break;
    }
    return text;
}

}  // namespace comm
