// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <span>

#include "config/ConfigFields.h"
#include "link/Protocol.h"
#include "link/ReceiveBuffers.h"

class TVaCustomComm;

// The configuration read: pauses live polling, requests the four sensor blocks, the
// configuration block and the version one per 100 ms tick, then fills the configuration
// window's fields from the replies, twice. While it runs, LoadingConfig keeps the fields'
// write handlers silent.
//
// Runs on the user-interface thread, like the live poll it shares the buffers with.
class TConfigSequence {
public:
    TConfigSequence(TVaCustomComm& comm, TReceiveBuffers& buffers, IConfigFields& fields, IConfigHost& host);

    bool LoadingConfig() const { return FLoadingConfig; }
    std::int32_t ReadStep() const { return FReadStep; }
    bool Running() const { return FRunning; }

    // "Read Configuration from KORVANT": nothing while the port is closed.
    void Start();
    // One tick of Timer1.
    void Timer1Timer();
    // The configuration window was closed: live polling resumes when the port is open, and a
    // read still running stops, so it fills no hidden field from replies that now go to the
    // live buffer.
    void WindowClosed();

    // Each sends its request and points the receive path at the start of its buffer.
    void Sensor1Request() { Request(protocol::Sensor1Request, TReceiveBuffers::rtSensor1); }
    void Sensor2Request() { Request(protocol::Sensor2Request, TReceiveBuffers::rtSensor2); }
    void Sensor3Request() { Request(protocol::Sensor3Request, TReceiveBuffers::rtSensor3); }
    void Sensor4Request() { Request(protocol::Sensor4Request, TReceiveBuffers::rtSensor4); }
    void ConfigRequest() { Request(protocol::ConfigRequest, TReceiveBuffers::rtConfig); }
    void VersionRequest() { Request(protocol::VersionRequest, TReceiveBuffers::rtVersion); }

    static constexpr std::int32_t kLastStep = 9;

private:
    void Request(std::span<const std::uint8_t> frame, TReceiveBuffers::TargetBuffer target);
    void Stop();
    void DecodeFields();

    TVaCustomComm& FComm;
    TReceiveBuffers& FBuffers;
    IConfigFields& FFields;
    IConfigHost& FHost;
    bool FLoadingConfig = false;
    bool FRunning = false;
    std::int32_t FReadStep = 0;
};
