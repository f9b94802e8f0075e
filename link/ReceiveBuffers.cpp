// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/ReceiveBuffers.h"

#include <algorithm>

std::span<std::uint8_t> TReceiveBuffers::Target(std::int32_t target)
{
    switch (target) {
    case rtSensor1: return Sensor1Array;
    case rtSensor2: return Sensor2Array;
    case rtSensor3: return Sensor3Array;
    case rtSensor4: return Sensor4Array;
    case rtConfig: return ConfigArray;
    case rtVersion: return VersionArray;
    default: return {};
    }
}

void TReceiveBuffers::Store(std::span<const std::uint8_t> bytes, bool live)
{
    const std::span<std::uint8_t> buffer = live ? std::span<std::uint8_t>(LiveArray) : Target(RxTarget);
    for (const std::uint8_t b : bytes) {
        if (RxIndex < 1 || RxIndex > static_cast<std::int32_t>(buffer.size()))
            return;  // nothing fits any more
        buffer[static_cast<size_t>(RxIndex - 1)] = b;
        ++RxIndex;
        if (live)
            ++LiveReceived;
    }
}

void TReceiveBuffers::ClearArray()
{
    Sensor1Array.fill(0);
    Sensor2Array.fill(0);
    Sensor3Array.fill(0);
    Sensor4Array.fill(0);
    ConfigArray.fill(0);
}
