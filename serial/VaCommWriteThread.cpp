// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/VaCommWriteThread.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include <poll.h>

#include "platform/comm/SerialDevice.h"
#include "platform/framework/ApplicationErrors.h"
#include "serial/VaComm.h"

TVaCommWriteThread::TVaCommWriteThread(TVaCustomComm* AOwner, int Device, std::int32_t Capacity)
    : FBuffer(std::make_unique<TVaCommBuffer>(Capacity)), FOwner(AOwner), FDevice(Device)
{
}

TVaCommWriteThread::~TVaCommWriteThread()
{
    Stop();
    WaitFor();
}

void TVaCommWriteThread::Stop()
{
    FCloseEvent.SetEvent();
}

bool TVaCommWriteThread::WriteData(const void* Buf, std::int32_t Count, std::int32_t WriteTimeout)
{
    if (Count <= 0)
        return true;
    const std::int64_t capacity = FBuffer->Capacity();
    if (FBuffer->Size() + std::int64_t{Count} > capacity) {
        // Wait for the thread to make room; the queue is polled, never locked, meanwhile.
        const auto start = std::chrono::steady_clock::now();
        while (FBuffer->Size() + std::int64_t{Count} >= capacity) {
            const auto elapsed = std::chrono::steady_clock::now() - start;
            if (elapsed > std::chrono::milliseconds(WriteTimeout))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::lock_guard lock(FOwner->FWriteSection);
    FBuffer->Write(Buf, Count);
    FWriteEvent.SetEvent();
    return true;
}

void TVaCommWriteThread::PurgeWrite()
{
    {
        std::lock_guard lock(FOwner->FWriteSection);
        FFlushDoneEvent.ResetEvent();
        FFlushEvent.SetEvent();
    }
    // The thread may itself be waiting for the user-interface thread with a delivery; keep
    // running such deliveries here so the acknowledgement can come. A thread that has ended
    // acknowledges nothing.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2000);
    bool acknowledged = false;
    while (!acknowledged && !Finished() && std::chrono::steady_clock::now() < deadline) {
        acknowledged = FFlushDoneEvent.WaitFor(10) == wrSignaled;
        if (!acknowledged && TThread::IsMainThread())
            TThread::CheckSynchronize();
    }
    std::lock_guard lock(FOwner->FWriteSection);
    if (FFlushDoneEvent.Signaled())
        FBuffer->Clear();
    else
        FFlushEvent.ResetEvent();  // withdrawn before the thread reached it
}

void TVaCommWriteThread::Execute()
{
    int pause = kRetryPauseMs;
    // The queue is dropped here, before the acknowledgement, so that no pass can write bytes
    // the caller has already given up; a request the caller has withdrawn drops nothing.
    const auto acknowledgeFlush = [this] {
        std::lock_guard lock(FOwner->FWriteSection);
        if (!FFlushEvent.Signaled())
            return;
        FFlushEvent.ResetEvent();
        FBuffer->Clear();
        FWriteEvent.ResetEvent();
        FFlushDoneEvent.SetEvent();
    };
    while (!Terminated()) {
        const comm::WaitItem wakes[] = {
            {FCloseEvent.Handle(), POLLIN}, {FFlushEvent.Handle(), POLLIN}, {FWriteEvent.Handle(), POLLIN}};
        const int which = comm::WaitFirst(wakes, 3, -1);
        if (which == 0) {
            Terminate();
            break;
        }
        if (which == 1) {
            acknowledgeFlush();
            continue;
        }
        if (which != 2)
            continue;

        const std::uint8_t* data;
        std::int32_t size;
        {
            std::lock_guard lock(FOwner->FWriteSection);
            size = FBuffer->Size();
            data = FBuffer->DataPtr();
            if (size == 0) {  // purged meanwhile
                FWriteEvent.ResetEvent();
                continue;
            }
        }
        const comm::IoResult result = comm::WriteSome(FDevice, data, static_cast<size_t>(size));
        if (result.error == 0 && result.count > 0) {
            pause = kRetryPauseMs;
            CompleteWrite(static_cast<std::int32_t>(result.count));
            continue;
        }
        if (result.error == 0) {
            // The device takes nothing now: wait until it can, or for close or flush.
            const comm::WaitItem pending[] = {
                {FCloseEvent.Handle(), POLLIN}, {FFlushEvent.Handle(), POLLIN}, {FDevice, POLLOUT}};
            const int next = comm::WaitFirst(pending, 3, -1);
            if (next == 0)
                Terminate();
            else if (next == 1)
                acknowledgeFlush();
            continue;
        }
        // A failing device (an adapter pulled out) is retried after a pause that grows, so
        // the error batches never flood the user-interface thread.
        NotifyWriteError();
        const comm::WaitItem retry[] = {{FCloseEvent.Handle(), POLLIN}, {FFlushEvent.Handle(), POLLIN}};
        const int next = comm::WaitFirst(retry, 2, pause);
        pause = std::min(pause * 2, kMaxRetryPauseMs);
        if (next == 0)
            Terminate();
        else if (next == 1)
            acknowledgeFlush();
    }
}

void TVaCommWriteThread::CompleteWrite(std::int32_t Written)
{
    bool drained;
    {
        std::lock_guard lock(FOwner->FWriteSection);
        FBuffer->Remove(Written);  // never more than the queue holds
        drained = FBuffer->Size() == 0;
        if (drained)
            FWriteEvent.ResetEvent();
        else
            FWriteEvent.SetEvent();
    }
    if (drained)
        NotifyTxEmpty();
}

void TVaCommWriteThread::NotifyTxEmpty()
{
    Deliver(EV_TXEMPTY);
}

void TVaCommWriteThread::NotifyWriteError()
{
    Deliver(EV_ERR);
}

void TVaCommWriteThread::Deliver(std::uint32_t Mask)
{
    // A handler that fails is reported like any other; the thread carries on.
    const auto call = [this, Mask] {
        FDelivery.Run([this, Mask] { GuardedCall([this, Mask] { FOwner->HandleEvents(Mask); }); });
        FOwner->DeliveryReturned();
    };
    if (FSync)
        TThread::Synchronize(call);
    else
        call();
}
