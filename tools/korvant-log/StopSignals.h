// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace korvantlog {

// SIGINT and SIGTERM as events of the Qt event loop, read from a signalfd.
//
// BlockStopSignals must run at the start of main, before any thread exists: threads
// inherit the blocked set, so the signals stay pending for the signalfd and never
// interrupt a serial thread or run a handler. The callback runs on the thread of the
// event loop.
void BlockStopSignals();

class TStopSignals {
public:
    // Throws std::runtime_error when the signalfd cannot be made.
    explicit TStopSignals(std::function<void(int signal)> onSignal);
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

private:
    void Read();

    int FFd = -1;
    std::function<void(int)> FOnSignal;
    std::unique_ptr<QSocketNotifier> FNotifier;
};

}  // namespace korvantlog
