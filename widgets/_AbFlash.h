// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/framework/Component.h"
#include "platform/framework/Thread.h"

class TAbFlash;

// Base of the widgets' threads.
class TAbThread : public TThread {
public:
    // Set once the application shuts down; every widget thread stops at its next check.
    static void SetApplicationTerminating(bool Value);
    static bool ApplicationTerminating();
};

// Sleeps tInterval milliseconds, then runs its owner's Timer on the user-interface thread,
// until it is stopped, the application terminates or its owner reference is cleared.
//
// Threads: the owner (user-interface thread) creates it, resumes, suspends and stops it and
// waits for its end; Execute runs on the thread and only sleeps and hands over through
// Synchronize. The mutex guards the suspended flag and the sleep; the owner reference and
// the interval are atomics read at each tick.
class TTimerThread : public TAbThread {
public:
    explicit TTimerThread(TAbFlash* Owner);
    ~TTimerThread() override;

    std::atomic<TAbFlash*> tOwner;
    std::atomic<unsigned> tInterval{16};

    void Suspend();
    // Lets a suspended thread run, starting it the first time.
    void Resume();
    bool Suspended() const;
    // Asks the thread to end and wakes it from its sleep.
    void Stop();

protected:
    void Execute() override;

private:
    bool MustStop() const;

    mutable std::mutex FMutex;
    std::condition_variable FWake;
    bool FSuspended = true;
};

// A timer driven by its own thread: OnTimer runs on the user-interface thread every
// Interval milliseconds while Enabled and assigned.
class TAbFlash : public TComponent {
public:
    explicit TAbFlash(TComponent* AOwner);
    ~TAbFlash() override;
    std::string ClassName() const override { return "TAbFlash"; }

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority Value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);

    // One tick, on the user-interface thread.
    void Timer();
    bool Running() const { return FTimerThread && !FTimerThread->Suspended(); }

protected:
    void UpdateTimer();

private:
    bool FEnabled = true;
    unsigned FInterval = 16;
    TNotifyEvent FOnTimer;
    std::unique_ptr<TTimerThread> FTimerThread;
    TThreadPriority FThreadPriority = tpNormal;
};
