// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Runs the controller stand-in (korvant-sim) for a test. The constructor starts it with the
// given arguments and waits for the first line that names the device it serves; the
// destructor stops it (SIGTERM, then SIGKILL if it does not end) and reaps it, so a failing
// test never leaves one behind. The stand-in inherits the environment (so a
// ScopedConfigHome created before applies) and standard error (its diagnostics appear in
// the test's output). It also gets --exit-on-eof: should the test process die, the
// stand-in ends with it.
//
// Failures to start, answers that do not come in time and a stand-in that ended throw
// std::runtime_error with what it printed.
class SimProcess {
public:
    using Milliseconds = std::chrono::milliseconds;
    static constexpr Milliseconds kDefaultTimeout = std::chrono::seconds(20);

    explicit SimProcess(const std::vector<std::string>& arguments = {},
                        Milliseconds timeout = kDefaultTimeout);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The pseudo-terminal it serves, e.g. /dev/pts/7 (updated by Command("reopen")).
    const std::string& DevicePath() const { return FDevicePath; }
    // The whole first line, e.g. "korvant-sim: serving /dev/pts/7 as COM9".
    const std::string& FirstLine() const { return FFirstLine; }
    pid_t Pid() const { return FPid; }

    // Sends one control command and returns its answer line without the newline.
    std::string Command(const std::string& line, Milliseconds timeout = kDefaultTimeout);

    using StatsMap = std::map<std::string, long long>;
    // The "stats" answer as key → value.
    StatsMap Stats();
    // Asks for stats until `ready` holds or the timeout passes; returns the last answer.
    template <typename Predicate>
    StatsMap WaitForStats(Predicate ready, Milliseconds timeout = kDefaultTimeout);

    // Sends a signal (e.g. SIGINT) to the process.
    void Signal(int signal) const;
    // Waits for the process to end on its own; its exit code (128 + signal number when a
    // signal ended it), or nothing on timeout.
    std::optional<int> WaitForExit(Milliseconds timeout = kDefaultTimeout);
    // SIGTERM and wait (SIGKILL after the timeout); the exit code. Idempotent.
    int Stop(Milliseconds timeout = kDefaultTimeout);

    // Runs the stand-in with stdin at end of file until it ends by itself (--help, a bad
    // option, a failure to start), capturing both outputs. ExitCode is -1 when it was
    // still running at the timeout (it is then killed).
    struct Finished {
        int ExitCode = -1;
        std::string Out;
        std::string Err;
    };
    static Finished Run(const std::vector<std::string>& arguments,
                        Milliseconds timeout = kDefaultTimeout);

    // KORVANT_SIM from the environment, else the path the build put in.
    static std::string ExecutablePath();

private:
    std::optional<std::string> ReadLine(Milliseconds timeout);
    bool Reap(bool block);

    pid_t FPid = -1;
    int FStdin = -1;   // socket: writes never raise SIGPIPE
    int FStdout = -1;  // pipe
    std::string FPending;
    std::string FDevicePath;
    std::string FFirstLine;
    std::optional<int> FExitCode;
};

template <typename Predicate>
SimProcess::StatsMap SimProcess::WaitForStats(Predicate ready, Milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        StatsMap stats = Stats();
        if (ready(stats) || std::chrono::steady_clock::now() >= deadline)
            return stats;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // a pause between polls
    }
}
