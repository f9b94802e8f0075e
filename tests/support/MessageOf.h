// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <string>

#include "serial/VaCommTypes.h"

// The message of the EVaCommError that call raises, or a marker when it raises none.
inline std::string MessageOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const EVaCommError& e) {
        return e.what();
    }
    return "(no EVaCommError)";
}
