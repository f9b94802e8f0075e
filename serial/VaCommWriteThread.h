// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <memory>

#include "platform/framework/Thread.h"
#include "serial/VaCommBuffer.h"
#include "serial/VaObjects.h"

class TVaCustomComm;

// Writes the component's write queue to the device and reports each drain (transmit empty)
// and each failed write (error batch) through the component's HandleEvents, on the
// user-interface thread when Sync is set.
//
// Threads: WriteData and PurgeWrite run on the caller's thread (the user-interface thread),
// Execute on this thread. The queue is changed and measured under the component's write
// lock, except that WriteData reads Size without it. The device write reads the queued bytes
// outside the lock: appends only copy behind them, and only this thread moves them. A purge
// request, its acknowledgement and its withdrawal also happen under the write lock. The
// write lock is never held while waiting for an event or for the user-interface thread.
class TVaCommWriteThread : public TThread {
public:
    TVaCommWriteThread(TVaCustomComm* AOwner, int Device, std::int32_t Capacity);
    ~TVaCommWriteThread() override;

    bool Sync() const { return FSync; }
    void SetSync(bool Value) { FSync = Value; }
    TVaCommBuffer& Buffer() { return *FBuffer; }
    // Whether one of this thread's deliveries runs on the calling thread right now.
    bool DeliveringHere() const { return FDelivery.Here(); }

    // Queues Count bytes. When they do not fit, waits until the queue has room (strictly
    // below its capacity with them) and refuses with false after WriteTimeout ms.
    bool WriteData(const void* Buf, std::int32_t Count, std::int32_t WriteTimeout);
    // Drops the queue once the thread has acknowledged (up to 2000 ms). A request that was
    // not acknowledged in time is withdrawn: it never touches what is queued afterwards.
    void PurgeWrite();
    // Makes the thread end at its next wait; queued bytes are not sent.
    void Stop();

    // Shortest and longest pause before a failed device write is tried again.
    static constexpr int kRetryPauseMs = 100;
    static constexpr int kMaxRetryPauseMs = 1000;

protected:
    void Execute() override;

private:
    void CompleteWrite(std::int32_t Written);
    void NotifyTxEmpty();
    void NotifyWriteError();
    void Deliver(std::uint32_t Mask);

    std::unique_ptr<TVaCommBuffer> FBuffer;
    TVaWaitEvent FWriteEvent;
    TVaWaitEvent FCloseEvent;
    TVaWaitEvent FFlushEvent;
    TVaWaitEvent FFlushDoneEvent;
    TVaDeliveryMark FDelivery;
    TVaCustomComm* FOwner;
    bool FSync = true;
    int FDevice;
};
