// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/LogSync.h"

#include <unistd.h>

#include <cerrno>

int TLogSync::DataSync(int fd)
{
    int result;
    do {
        result = ::fdatasync(fd);
    } while (result != 0 && errno == EINTR);
    if (result == 0 || errno == EINVAL || errno == EROFS)
        return 0;
    return errno;
}

TLogSync::TLogSync(int fd, SyncFunction sync) : FFd(fd), FSync(std::move(sync)), FThread([this] { Run(); }) {}

TLogSync::~TLogSync()
{
    Stop(End::Now);
}

void TLogSync::Written()
{
    {
        const std::lock_guard lock(FMutex);
        FDirty = true;
    }
    FWake.notify_one();
}

int TLogSync::Failure() const
{
    const std::lock_guard lock(FMutex);
    return FError;
}

int TLogSync::Finish()
{
    Stop(End::AfterSync);
    return Failure();
}

void TLogSync::Stop(End how)
{
    if (!FThread.joinable())
        return;
    {
        const std::lock_guard lock(FMutex);
        FEnd = how;
    }
    FWake.notify_one();
    FThread.join();
}

void TLogSync::Run()
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(FMutex);
    Clock::time_point next{};  // no sync starts before this
    for (;;) {
        FWake.wait(lock, [this] { return FDirty || FEnd != End::No; });
        if (FEnd == End::Now || !FDirty)
            return;
        // An end request cuts the pause between two syncs short.
        FWake.wait_until(lock, next, [this] { return FEnd != End::No; });
        if (FEnd == End::Now)
            return;
        FDirty = false;
        next = Clock::now() + kInterval;
        lock.unlock();
        const int error = FSync(FFd);
        lock.lock();
        if (error != 0) {
            FError = error;
            return;
        }
    }
}
