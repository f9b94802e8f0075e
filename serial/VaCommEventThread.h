// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <cstdint>

#include "platform/framework/Thread.h"
#include "serial/VaObjects.h"

class TVaCustomComm;

// Waits for the device's events while the port is open and hands each batch to the
// component's DispatchEvents: on the user-interface thread (Sync, the default) or on this
// thread. It never reads data itself.
//
// Threads: constructed, started, stopped and destroyed on the user-interface thread by the
// component; Execute runs on its own thread and reads only the device handle (fixed while
// the thread lives) and its own fields. One wake of the wait is one delivery; the thread
// waits again only after the delivery has returned, so deliveries never overlap.
//
// The wait is edge-triggered: each arrival of bytes is announced once, bytes arriving
// during a delivery are announced by the next wait, and bytes left unread never wake the
// thread again. A device that hangs up ends the waiting on it; the thread then idles until
// Stop.
//
// With the transmit-empty event in its mask (direct writes), NoteDirectWrite, called on the
// writing thread after a write, makes the thread watch the device's output queue until it
// is empty and then report the event, once for everything written until then.
class TVaCommEventThread : public TThread {
public:
    explicit TVaCommEventThread(TVaCustomComm* AOwner, int Device, std::uint32_t Mask);
    ~TVaCommEventThread() override;

    bool Sync() const { return FSync; }
    void SetSync(bool Value) { FSync = Value; }
    // The event bits of the last completed wait.
    std::uint32_t EvtMask() const { return FEvtMask.load(); }
    // Whether one of this thread's deliveries runs on the calling thread right now.
    bool DeliveringHere() const { return FDelivery.Here(); }

    // Requests the end and wakes a pending wait; no delivery follows.
    void Stop();
    void NoteDirectWrite();

    // How often the output queue is looked at while it drains.
    static constexpr int kDrainPollMs = 5;

protected:
    void Execute() override;

private:
    std::atomic<std::uint32_t> FEvtMask{0};
    TVaWaitEvent FEvent;
    TVaWaitEvent FWritten;  // a direct write gave the device bytes to send
    TVaDeliveryMark FDelivery;
    TVaCustomComm* FOwner;
    bool FSync = true;
    int FDevice;
    std::uint32_t FMask;
};
