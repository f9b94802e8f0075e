// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace comm {

// The system's text for an errno value, without trailing blanks, control characters and
// periods, ready to be placed inside a sentence.
std::string ErrorText(int code);

}  // namespace comm
