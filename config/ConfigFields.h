// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The configuration window's fields as the read sequence fills them, and the main window's
// parts the sequence switches. Channels count from 1.
class IConfigFields {
public:
    virtual ~IConfigFields() = default;

    virtual void SetCalibration(int channel, double value) = 0;
    virtual void SetSerialNumber(int channel, const QString& text) = 0;
    virtual void SetCanAddress(double value) = 0;
    virtual void SetSlaveCanAddress(double value) = 0;
    virtual void SetVersionCaption(const QString& text) = 0;
};

class IConfigHost {
public:
    virtual ~IConfigHost() = default;

    // The mode switch: checked means live polling.
    virtual void SetOnlineButtonChecked(bool checked) = 0;
    // "LAMBDA DATA ONLINE"
    virtual void SetOnlineLed(bool checked) = 0;
    // Timer1, the 100 ms timer of the sequence.
    virtual void SetTimer1Enabled(bool enabled) = 0;
    // Bytes that have arrived but whose delivery has not run yet are taken in now, into the
    // buffer the receive path points at.
    virtual void TakeInWaiting() = 0;
};
