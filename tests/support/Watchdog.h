// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Ends the test process with a message naming the running test when that test has not
// finished within the limit, so that a test which hangs fails instead of blocking the run.
// Create one at the start of a test that could hang; it stands down when destroyed.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds Limit = std::chrono::seconds(30));
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex FMutex;
    std::condition_variable FFinished;
    bool FDone = false;
    std::string FTest;
    std::thread FThread;
};
