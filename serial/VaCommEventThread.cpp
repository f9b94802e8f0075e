// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/VaCommEventThread.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/comm/SerialDevice.h"
#include "serial/VaComm.h"

namespace {

// Line changes and errors are not announced by the device here; where the driver counts
// them they are found by comparing its counts this often.
constexpr int kCounterPollMs = 50;
constexpr std::uint32_t kCountedEvents = EV_CTS | EV_DSR | EV_RING | EV_RLSD | EV_BREAK | EV_ERR;

std::uint32_t CountedChanges(const comm::LineCounters& was, const comm::LineCounters& now)
{
    std::uint32_t mask = 0;
    if (now.cts != was.cts)
        mask |= EV_CTS;
    if (now.dsr != was.dsr)
        mask |= EV_DSR;
    if (now.rng != was.rng)
        mask |= EV_RING;
    if (now.dcd != was.dcd)
        mask |= EV_RLSD;
    if (now.brk != was.brk)
        mask |= EV_BREAK;
    if (now.frame != was.frame || now.overrun != was.overrun || now.parity != was.parity ||
        now.bufOverrun != was.bufOverrun)
        mask |= EV_ERR;
    return mask;
}

}  // namespace

TVaCommEventThread::TVaCommEventThread(TVaCustomComm* AOwner, int Device, std::uint32_t Mask)
    : FOwner(AOwner), FDevice(Device), FMask(Mask)
{
}

TVaCommEventThread::~TVaCommEventThread()
{
    Stop();
    WaitFor();
}

void TVaCommEventThread::Stop()
{
    Terminate();
    FEvent.SetEvent();
}

void TVaCommEventThread::NoteDirectWrite()
{
    if (FMask & EV_TXEMPTY)
        FWritten.SetEvent();
}

void TVaCommEventThread::Execute()
{
    const int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    if (epoll < 0) {
        FEvent.WaitFor(-1);
        return;
    }
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.fd = FEvent.Handle();
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, FEvent.Handle(), &wake);

    comm::LineCounters counters;
    bool counting = (FMask & kCountedEvents) != 0 && comm::ReadCounters(FDevice, counters) == 0;

    if (FMask & EV_RXCHAR) {
        epoll_event device{};
        device.events = EPOLLIN | EPOLLET;
        device.data.fd = FDevice;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, FDevice, &device);
    }
    if (FMask & EV_TXEMPTY) {
        epoll_event written{};
        written.events = EPOLLIN;
        written.data.fd = FWritten.Handle();
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, FWritten.Handle(), &written);
    }

    bool draining = false;  // written bytes may still wait in the output queue
    while (!Terminated()) {
        epoll_event events[3];
        const int timeout = draining ? kDrainPollMs : counting ? kCounterPollMs : -1;
        const int n = ::epoll_wait(epoll, events, 3, timeout);
        if (n < 0 && errno != EINTR)
            break;
        if (Terminated())
            break;
        std::uint32_t mask = 0;
        if (counting) {
            comm::LineCounters now;
            if (comm::ReadCounters(FDevice, now) == 0) {
                mask |= CountedChanges(counters, now) & FMask;
                counters = now;
            } else {
                counting = false;  // the device is gone
            }
        }
        for (int i = 0; i < std::max(n, 0); ++i) {
            if (events[i].data.fd == FWritten.Handle()) {
                // Taken before the queue is looked at, so no write goes unreported.
                FWritten.ResetEvent();
                draining = true;
            }
            if (events[i].data.fd != FDevice)
                continue;
            if (events[i].events & EPOLLIN)
                mask |= EV_RXCHAR;
            if (events[i].events & (EPOLLHUP | EPOLLERR)) {
                // The device is gone: stop waiting on it, idle until Stop.
                ::epoll_ctl(epoll, EPOLL_CTL_DEL, FDevice, nullptr);
            }
        }
        if (draining) {
            comm::QueueCounts queue;
            const int error = comm::ReadQueueCounts(FDevice, queue);
            if (error == 0 && queue.unsent == 0)
                mask |= EV_TXEMPTY;
            draining = error == 0 && queue.unsent != 0;  // a failing device sends nothing more
        }
        if (mask == 0)
            continue;
        FEvtMask.store(mask);
        const auto deliver = [this, mask] {
            FDelivery.Run([this, mask] { FOwner->DispatchEvents(mask); });
            FOwner->DeliveryReturned();
        };
        if (FSync)
            TThread::Synchronize(deliver);
        else
            deliver();
    }
    ::close(epoll);
}
