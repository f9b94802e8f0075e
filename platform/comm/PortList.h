// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

namespace comm {

// The port names (COM1, COM33, ...) that open a serial device present on this machine:
// first the links of the per-user port directory (sorted by name, dangling ones skipped),
// then the names of the fixed table whose device exists, each name once (compared without
// regard to case).
std::vector<std::string> ListPortNames();

// Whether path is a terminal device that is really there: a character device, and for the
// built-in UART nodes (which exist whether or not a port is fitted) one whose port type is
// known. The device is never opened.
bool DevicePresent(const std::string& path);

}  // namespace comm
