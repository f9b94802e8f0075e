// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "platform/comm/SerialDevices.h"

// The texts of the COM port window's device list, apart from any widget.

// The first of the device's numbers that the spin box can take, or 0 when none.
int ReachableNumber(const comm::SerialDeviceEntry& device, int minimum, int maximum);

// The lines of a device's row: the number that opens it and its path, what it is (maker,
// product and serial number of a USB adapter, its name in serial/by-id), and what would keep it
// from opening. number is 0 for a device that no number reaches.
QStringList DeviceRowLines(const comm::SerialDeviceEntry& device, int number);

// What the user can do about a device that no number reaches, or that the user may not
// open; empty when it opens. A link is suggested under the lowest number above the fixed
// table that the port directory does not use yet.
QString DeviceHint(const comm::SerialDeviceEntry& device, int number, const QString& portDir, int maximum);
