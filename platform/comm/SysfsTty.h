// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace comm {

// What sysfs (mounted at sysRoot, normally /sys) tells about terminal devices. Nothing
// here opens a device: an open would raise DTR and may reset whatever hangs on the line.

// The names of the terminal devices the kernel knows (<sysRoot>/class/tty), sorted.
std::vector<std::string> TtyNames(const std::string& sysRoot);

// The port type of a built-in UART, 0 for a node without a port fitted; -1 when sysfs
// does not say (the device is no UART, or sysfs is not there).
int UartPortType(const std::string& sysRoot, const std::string& name);

// The USB device a terminal hangs on, as its descriptors name it. Each text is one line
// with control characters replaced by '?', empty where the device gives none.
struct UsbIdentity {
    std::string maker;
    std::string product;
    std::string serialNumber;
};

// The identity of the first USB device above the terminal's sysfs device (the adapter,
// above its interface and port), or nothing when the terminal is not on USB.
std::optional<UsbIdentity> UsbIdentityOf(const std::string& sysRoot, const std::string& name);

}  // namespace comm
