// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/VaWaitThread.h"

#include <poll.h>

#include <chrono>
#include <thread>

#include "platform/comm/SerialDevice.h"

TWaitThread::TWaitThread(TVaCustomComm* AComm, int Device) : FComm(AComm), FDevice(Device) {}

TWaitThread::~TWaitThread()
{
    SetDone(true);
    WaitFor();
}

void TWaitThread::Execute()
{
    // The receive count comes from the device itself, not through the component, whose
    // lock the caller of WaitChar may hold (inside Close or a purge). Between looks the
    // thread sleeps on the device instead of spinning.
    const comm::WaitItem device{FDevice, POLLIN};
    bool ready = false;
    while (!Done()) {
        comm::QueueCounts counts;
        if (comm::ReadQueueCounts(FDevice, counts) != 0)
            break;  // a failing device ends the wait without a byte
        if (counts.received > 0) {
            FFound.store(true);
            break;
        }
        if (ready)  // ready without a byte, as a device hanging up is: do not spin on it
            std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
        ready = comm::WaitFirst(&device, 1, kSliceMs) == 0;
    }
    FEnded.SetEvent();
}
