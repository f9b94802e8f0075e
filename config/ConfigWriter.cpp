// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "config/ConfigWriter.h"

#include "config/ConfigSequence.h"
#include "link/Protocol.h"
#include "link/Sendbyte.h"

TConfigWriter::TConfigWriter(TVaCustomComm& comm, TReceiveBuffers& buffers, const TConfigSequence& sequence)
    : FComm(comm), FBuffers(buffers), FSequence(sequence)
{
}

void TConfigWriter::WriteValue(std::uint8_t address, std::int32_t valueAsInt)
{
    if (FSequence.LoadingConfig())
        return;
    protocol::SendFrame(FComm, protocol::Write16Frame(address, static_cast<std::uint16_t>(valueAsInt & 0xFFFF)));
    FBuffers.ClearArray();
    FBuffers.RxTarget = TReceiveBuffers::rtNone;
}

void TConfigWriter::CalibrationChanged(int channel, std::int32_t valueAsInt)
{
    WriteValue(protocol::CalibrationAddress(channel), valueAsInt);
}

void TConfigWriter::CanAddressChanged(std::int32_t valueAsInt)
{
    WriteValue(protocol::kCanAddress, valueAsInt);
}

void TConfigWriter::SlaveCanAddressChanged(std::int32_t valueAsInt)
{
    WriteValue(protocol::kSlaveCanAddress, valueAsInt);
}

void TConfigWriter::SerialNumberChanged(int channel, const QString& text)
{
    if (FSequence.LoadingConfig())
        return;
    protocol::SendFrame(FComm, protocol::SerialNumberFrame(channel, text));
}
