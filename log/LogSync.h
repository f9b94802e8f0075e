// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Brings an open log file to its medium in the background: at most once a second, and only
// when lines were written since the last time. A slow medium (a USB stick, an SD card) then
// holds up this thread alone, never the writer.
//
// Threads: the constructor, Written, Failure, Finish and the destructor are called on the
// writer's thread (the user-interface thread); the sync thread only calls the sync function
// on the file. FMutex guards FDirty, FEnd and FError and is never held while a sync runs, so
// Written never waits for one.
class TLogSync {
public:
    // Brings the file to its medium; returns 0 or the error number.
    using SyncFunction = std::function<int(int fd)>;
    // fdatasync; a file that cannot be synced (EINVAL, EROFS) has nothing to bring out.
    static int DataSync(int fd);

    static constexpr std::chrono::seconds kInterval{1};

    // fd stays open, and owned by the caller, until the thread has ended.
    TLogSync(int fd, SyncFunction sync);
    // Ends the thread without a further sync; waits for a sync under way.
    ~TLogSync();
    TLogSync(const TLogSync&) = delete;
    TLogSync& operator=(const TLogSync&) = delete;

    // Lines were written: they reach the medium within about a second.
    void Written();
    // The error number of a sync that failed, or 0. No sync follows a failed one.
    int Failure() const;
    // Syncs what was written since the last sync, ends the thread and waits for it; the
    // error number of a failed sync, or 0.
    int Finish();

private:
    enum class End { No, AfterSync, Now };

    void Run();
    void Stop(End how);

    const int FFd;
    const SyncFunction FSync;
    mutable std::mutex FMutex;
    std::condition_variable FWake;
    bool FDirty = false;
    End FEnd = End::No;
    int FError = 0;
    std::thread FThread;  // last: it starts once everything above exists
};
