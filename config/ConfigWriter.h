// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

#include <QString>

#include "link/ReceiveBuffers.h"

class TConfigSequence;
class TVaCustomComm;

// Writes one changed setting to the controller at once, as one write-memory frame; silent
// while the read sequence fills the fields. Channels count from 1.
class TConfigWriter {
public:
    TConfigWriter(TVaCustomComm& comm, TReceiveBuffers& buffers, const TConfigSequence& sequence);

    // A numeric field: its whole value, high byte first. The controller's answer is read
    // and dropped.
    void WriteValue(std::uint8_t address, std::int32_t valueAsInt);
    void CalibrationChanged(int channel, std::int32_t valueAsInt);
    void CanAddressChanged(std::int32_t valueAsInt);
    void SlaveCanAddressChanged(std::int32_t valueAsInt);
    // A serial-number field: its text as five bytes.
    void SerialNumberChanged(int channel, const QString& text);

private:
    TVaCustomComm& FComm;
    TReceiveBuffers& FBuffers;
    const TConfigSequence& FSequence;
};
