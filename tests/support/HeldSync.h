// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A log sync that stands for a slow medium: every call blocks until the test releases it,
// then returns Result. So that a writer that waits for it fails a test instead of hanging
// it, a call gives up holding after kLongestHold and notes that it did.
class HeldSync {
public:
    static constexpr std::chrono::seconds kLongestHold{10};

    explicit HeldSync(int result = 0) : FResult(result) {}

    // The sync function to hand to the log; it must not outlive this object.
    std::function<int(int)> Function()
    {
        return [this](int) {
            std::unique_lock lock(FMutex);
            FCallers.push_back(std::this_thread::get_id());
            ++FHolding;
            FChanged.notify_all();
            if (!FChanged.wait_for(lock, kLongestHold, [this] { return FReleased; }))
                FGaveUp = true;
            --FHolding;
            return FResult;
        };
    }

    // Lets every call held now, and every later one, return.
    void Release()
    {
        const std::lock_guard lock(FMutex);
        FReleased = true;
        FChanged.notify_all();
    }

    // Waits, without an event loop, until a call is being held.
    bool WaitUntilHolding(std::chrono::milliseconds timeout = std::chrono::seconds(20))
    {
        std::unique_lock lock(FMutex);
        return FChanged.wait_for(lock, timeout, [this] { return FHolding > 0; });
    }

    bool Holding() const
    {
        const std::lock_guard lock(FMutex);
        return FHolding > 0;
    }
    int Calls() const
    {
        const std::lock_guard lock(FMutex);
        return static_cast<int>(FCallers.size());
    }
    // Whether a call came from the given thread.
    bool CalledOn(std::thread::id thread) const
    {
        const std::lock_guard lock(FMutex);
        for (const std::thread::id caller : FCallers)
            if (caller == thread)
                return true;
        return false;
    }
    // Whether a call stopped holding on its own: nobody released it in time.
    bool GaveUp() const
    {
        const std::lock_guard lock(FMutex);
        return FGaveUp;
    }

private:
    const int FResult;
    mutable std::mutex FMutex;
    std::condition_variable FChanged;
    std::vector<std::thread::id> FCallers;
    int FHolding = 0;
    bool FReleased = false;
    bool FGaveUp = false;
};
