// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/VaObjects.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <system_error>

TVaHandleObject::~TVaHandleObject()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

TVaEvent::TVaEvent(bool ManualReset, bool InitialState) : FManualReset(ManualReset)
{
    FHandle = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (FHandle < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    if (InitialState)
        SetEvent();
}

void TVaEvent::SetEvent()
{
    // The counter only needs to be non-zero; writing 1 again keeps it from ever filling up.
    if (Signaled())
        return;
    const std::uint64_t one = 1;
    while (::write(FHandle, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void TVaEvent::ResetEvent()
{
    std::uint64_t value = 0;
    while (::read(FHandle, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

bool TVaEvent::Signaled() const
{
    pollfd p{FHandle, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

TVaEventWaitResult TVaEvent::WaitFor(int Timeout)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(Timeout < 0 ? 0 : Timeout);
    for (;;) {
        int wait = -1;
        if (Timeout >= 0) {
            // Rounded up: a wait never ends before its time.
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = left > 0 ? static_cast<int>(left) : 0;
        }
        pollfd p{FHandle, POLLIN, 0};
        const int n = ::poll(&p, 1, wait);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            FError = errno;
            return wrError;
        }
        if (n == 0 && Clock::now() < deadline)
            continue;  // the clock the poll went by ran a little ahead
        if (n == 0)
            return wrTimeout;
        if (!FManualReset)
            ResetEvent();
        return wrSignaled;
    }
}

void TVaDeliveryMark::Run(const std::function<void()>& Delivery)
{
    // One thread's deliveries never overlap, so there is no earlier mark to keep.
    FThread.store(std::this_thread::get_id());
    try {
        Delivery();
    } catch (...) {
        FThread.store(std::thread::id());
        throw;
    }
    FThread.store(std::thread::id());
}
