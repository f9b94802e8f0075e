// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/Watchdog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

Watchdog::Watchdog(std::chrono::seconds Limit)
{
    if (const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info())
        FTest = std::string(test->test_suite_name()) + "." + test->name();
    FThread = std::thread([this, Limit] {
        std::unique_lock lock(FMutex);
        if (FFinished.wait_for(lock, Limit, [this] { return FDone; }))
            return;
        std::fprintf(stderr, "%s did not finish within %lld s: it hangs\n", FTest.c_str(),
                     static_cast<long long>(Limit.count()));
        std::fflush(stderr);
        std::_Exit(EXIT_FAILURE);
    });
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(FMutex);
        FDone = true;
    }
    FFinished.notify_all();
    FThread.join();
}
