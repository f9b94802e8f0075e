// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/VaWaitThread.h"

#include <poll.h>

#include <chrono>
#include <thread>

#include "platform/comm/SerialDevice.h"
#include "serial/VaComm.h"

TWaitThread::TWaitThread(TVaCustomComm* AComm, int Device) : FComm(AComm), FDevice(Device) {}

TWaitThread::~TWaitThread()
{
    SetDone(true);
    WaitFor();
}

void TWaitThread::Execute()
{
    try {
        // Sleeps on the device between looks instead of spinning.
        const comm::WaitItem device{FDevice, POLLIN};
        while (!Done()) {
            if (FComm->ReadBufUsed() > 0) {
                FFound.store(true);
                break;
            }
            // A hung-up device reports ready at once without bytes: do not spin on it.
            if (comm::WaitFirst(&device, 1, kSliceMs) == 0 && FComm->ReadBufUsed() <= 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
        }
    } catch (...) {
        // A failing device ends the wait without a byte.
    }
    FEnded.SetEvent();
}
