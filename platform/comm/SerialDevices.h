// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/comm/DevicePath.h"
#include "platform/comm/PortAccess.h"

namespace comm {

// Where the listing looks. The defaults are this machine's; tests point them at a
// fixture. mayOpen is asked for every device listed.
struct DeviceSources {
    std::string sysRoot = "/sys";
    std::string devRoot = "/dev";
    std::string portDir = PortDirectory();
    std::function<bool(const std::string& path)> mayOpen = MayOpenDevice;
};

enum class SerialDeviceKind {
    Usb,     // a USB serial adapter (ttyUSB*, ttyACM*, or any terminal on a USB device)
    Uart,    // a built-in UART with a port fitted
    Linked,  // another terminal that only a link in the port directory names
};

// One serial device that is there, as the COM port window lists it.
struct SerialDeviceEntry {
    SerialDeviceKind kind = SerialDeviceKind::Usb;
    std::string path;          // its node, e.g. /dev/ttyUSB0, or the link's target
    std::vector<int> numbers;  // the port numbers that open it: links first, then the fixed table
    std::string maker;         // USB only, from sysfs; empty where the device names none
    std::string product;
    std::string serialNumber;
    std::string byId;          // the stable name in <devRoot>/serial/by-id, if there is one
    bool mayOpen = true;
};

// The serial devices present: USB serial adapters, built-in UARTs that have hardware
// behind them, and the terminals the port directory's links lead to, each device once
// however many names reach it. A link that leads nowhere still shadows its table number,
// as it does when the port is opened. Sorted by the first number; devices that no number
// opens come last, by path. Reads sysfs and stats nodes; never opens a device.
std::vector<SerialDeviceEntry> ListSerialDevices(const DeviceSources& sources);

}  // namespace comm
