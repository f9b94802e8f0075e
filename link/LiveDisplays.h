// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>

#include "platform/framework/DateTime.h"

// What the live poll shows and logs, as the main window provides it: four meters, four
// readouts, the supply-voltage readout, the online and warm-up lamps, the mode switch and
// the log. Channels count from 1.
class ILiveDisplays {
public:
    virtual ~ILiveDisplays() = default;

    // Checked: live polling; clear: configuration mode.
    virtual bool OnlineButtonChecked() const = 0;

    virtual void SetMeterValue(int channel, float value) = 0;
    // The value the meter holds now.
    virtual float MeterValue(int channel) const = 0;
    virtual void SetReadoutValue(int channel, float value) = 0;
    virtual void SetVoltsValue(float value) = 0;
    // "LAMBDA DATA ONLINE"
    virtual void SetOnlineLed(bool checked) = 0;
    // "SENSOR WARMUP"
    virtual void SetWarmupLed(bool checked) = 0;

    // Whether a log file is open, and one line for a valid reading of the four meters,
    // taken at time.
    virtual bool Logging() const = 0;
    virtual void AppendLogLine(const std::array<float, 4>& meters, TDateTime time) = 0;
};
