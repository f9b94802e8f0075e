// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "config/ConfigSequence.h"

#include <array>

#include "link/Protocol.h"
#include "link/Sendbyte.h"
#include "serial/VaComm.h"

namespace {

using Buffer = std::array<std::uint8_t, TReceiveBuffers::kSensorSize>;

// Calibration value at positions 6 and 7 of a sensor block.
double Calibration(const Buffer& b)
{
    return protocol::BigEndian(TReceiveBuffers::At(b, 6), TReceiveBuffers::At(b, 7));
}

// Serial number at positions 14 to 18 of a sensor block.
QString SerialNumber(const Buffer& b)
{
    return protocol::SerialNumberText(std::span<const std::uint8_t, 5>(b.data() + 13, 5));
}

// CAN address decode of the four bytes from position first on.
double CanAddress(const Buffer& b, int first)
{
    return protocol::CanAddress(TReceiveBuffers::At(b, first), TReceiveBuffers::At(b, first + 1),
                                TReceiveBuffers::At(b, first + 2), TReceiveBuffers::At(b, first + 3));
}

}  // namespace

TConfigSequence::TConfigSequence(TVaCustomComm& comm, TReceiveBuffers& buffers, IConfigFields& fields,
                                 IConfigHost& host)
    : FComm(comm), FBuffers(buffers), FFields(fields), FHost(host)
{
}

void TConfigSequence::Start()
{
    if (!FComm.Active())
        return;
    FHost.SetOnlineButtonChecked(false);
    FLoadingConfig = true;
    FRunning = true;
    FReadStep = 1;
    FComm.PurgeRead();
    FBuffers.RxIndex = 1;
    FHost.SetTimer1Enabled(true);
    FBuffers.ClearArray();
    FBuffers.RxTarget = TReceiveBuffers::rtSensor3;
}

void TConfigSequence::Request(std::span<const std::uint8_t> frame, TReceiveBuffers::TargetBuffer target)
{
    FLoadingConfig = true;
    protocol::SendFrame(FComm, frame);
    FBuffers.RxIndex = 1;
    FBuffers.RxTarget = target;
}

void TConfigSequence::Timer1Timer()
{
    // A reply still waiting for its delivery (a busy moment of this thread) answers the
    // previous request: it goes into that request's buffer before this step points the
    // receive path at the next one.
    FHost.TakeInWaiting();
    FHost.SetOnlineLed(false);
    ++FReadStep;
    switch (FReadStep) {
    case 2: Sensor1Request(); break;
    case 3: Sensor2Request(); break;
    case 4: Sensor3Request(); break;
    case 5: Sensor4Request(); break;
    case 6: ConfigRequest(); break;
    case 7: VersionRequest(); break;
    default: break;
    }
    if (FReadStep > 7)
        DecodeFields();
    FFields.SetVersionCaption(protocol::VersionText(TReceiveBuffers::At(FBuffers.VersionArray, 4)));
    if (FReadStep > 8)
        Stop();
}

void TConfigSequence::DecodeFields()
{
    const Buffer* sensors[] = {&FBuffers.Sensor1Array, &FBuffers.Sensor2Array, &FBuffers.Sensor3Array,
                               &FBuffers.Sensor4Array};
    for (int channel = 1; channel <= 4; ++channel) {
        const Buffer& block = *sensors[channel - 1];
        FFields.SetCalibration(channel, Calibration(block));
        FFields.SetSerialNumber(channel, SerialNumber(block));
    }
    FFields.SetCanAddress(CanAddress(FBuffers.ConfigArray, 6));
    FFields.SetSlaveCanAddress(CanAddress(FBuffers.ConfigArray, 14));
}

void TConfigSequence::Stop()
{
    FHost.SetTimer1Enabled(false);
    FLoadingConfig = false;
    FRunning = false;
}

void TConfigSequence::WindowClosed()
{
    if (FRunning)
        Stop();
    if (FComm.Active())
        FHost.SetOnlineButtonChecked(true);
}
