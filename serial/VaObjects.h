// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/framework/Object.h"

// Owns one operating-system handle (a file descriptor) and the last error of a call on it;
// closes the handle when destroyed.
class TVaHandleObject : public TObject {
public:
    ~TVaHandleObject() override;
    int Handle() const { return FHandle; }
    int Error() const { return FError; }

protected:
    int FHandle = -1;
    int FError = 0;
};

enum TVaEventWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

// An event that threads wait on. Manual reset: it stays signalled until ResetEvent. Built on
// an eventfd, so a thread can wait on it together with a device in one poll.
class TVaEvent : public TVaHandleObject {
public:
    TVaEvent(bool ManualReset, bool InitialState);

    // Waits up to Timeout ms (negative: without limit). wrError when the wait itself failed;
    // Error() then holds the errno.
    TVaEventWaitResult WaitFor(int Timeout);
    void SetEvent();
    void ResetEvent();
    bool Signaled() const;

private:
    bool FManualReset;
};

// The unnamed, manual-reset event that starts not signalled.
class TVaWaitEvent : public TVaEvent {
public:
    TVaWaitEvent() : TVaEvent(true, false) {}
};

// A re-entrant lock.
class TVaCriticalSection : public TObject {
public:
    void Acquire() { FMutex.lock(); }
    void Release() { FMutex.unlock(); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }
    // For std::lock_guard and friends.
    void lock() { Acquire(); }
    void unlock() { Release(); }

private:
    std::recursive_mutex FMutex;
};

// Where one of the component's threads is delivering right now: the thread that runs the
// delivery (the user-interface thread, or the delivering thread itself) is marked for as
// long as it runs, so that code called from inside a delivery can tell.
class TVaDeliveryMark {
public:
    void Run(const std::function<void()>& Delivery);
    // Whether a delivery runs on the calling thread, somewhere below the caller.
    bool Here() const { return FThread.load() == std::this_thread::get_id(); }

private:
    std::atomic<std::thread::id> FThread{};
};
