// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A background thread whose work can be handed to the user-interface thread.
//
// Threads: the constructor, Start, Terminate, WaitFor and the destructor are called on the
// owner's thread (the user-interface thread in this program); Execute runs on the new thread
// and calls Synchronize to run a call on the user-interface thread.
//
// Synchronize queues the call, wakes the user-interface thread through a queued Qt call and
// blocks until the call has run there; an exception thrown by the call is rethrown in the
// waiting thread. WaitFor, when called on the user-interface thread, keeps running calls
// that are already queued until the thread has ended, so an owner that stops a thread never
// deadlocks with a delivery that thread is waiting on.
//
// The owner must end the thread (Terminate and WaitFor, or its own stop protocol) before the
// derived object is destroyed; the destructor only waits as a last resort.
class TThread {
public:
    // A thread is always created suspended here; Start lets it run.
    TThread();
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    // Asks Execute to end; Execute polls Terminated.
    void Terminate() { FTerminated.store(true); }
    bool Terminated() const { return FTerminated.load(); }
    bool Started() const { return FStarted; }
    bool Finished() const;
    // Waits until Execute has returned (see above for calls queued meanwhile).
    void WaitFor();

    TThreadPriority Priority() const { return FPriority.load(); }
    // Applied at once to a running thread, best effort: raising a priority needs privileges.
    void SetPriority(TThreadPriority Value);

    // Runs call on the user-interface thread and waits for it; on that thread it runs at once.
    static void Synchronize(const std::function<void()>& call);
    // Runs every queued call now; returns whether any ran. The user-interface thread calls it.
    static bool CheckSynchronize();
    // How many calls wait for the user-interface thread right now.
    static int QueuedCalls();
    // True on the thread that runs the Qt application's event loop.
    static bool IsMainThread();

protected:
    virtual void Execute() = 0;

private:
    void Run();
    void ApplyPriority();

    std::thread FThread;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<int> FNativeId{0};
    bool FStarted = false;
    std::atomic<TThreadPriority> FPriority{tpNormal};
};
