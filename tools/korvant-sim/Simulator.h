// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tools/korvant-sim/Controller.h"
#include "tools/korvant-sim/Faults.h"
#include "tools/korvant-sim/Options.h"
#include "tools/korvant-sim/PortLink.h"
#include "tools/korvant-sim/Protocol.h"
#include "tools/korvant-sim/PtyDevice.h"
#include "tools/korvant-sim/Stats.h"

#include <signal.h>

#include <csignal>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

namespace sim {

// The stand-in's event loop: one thread, one ppoll() over the pseudo-terminal's master,
// stdin and the earliest timer (next output chunk, scheduled hang-up, stalled partial
// frame). Requests read from the master are answered through the fault shaper; lines on
// stdin are control commands, each answered with exactly one line on stdout ("ok ..." or
// "error: ..."). Nothing else is written to stdout after the first line.
class Simulator {
public:
    // Opens the pseudo-terminal and, with --com, the port link. Throws std::runtime_error.
    Simulator(Options options, const MemoryImage& memory);

    // Serves until "quit", stopFlag becoming non-zero (SIGINT/SIGTERM, which must be
    // blocked outside ppoll and are unblocked by waitMask inside it), end of stdin with
    // --exit-on-eof, or a hang-up with --exit-on-hangup. Returns the exit code.
    int Run(const volatile std::sig_atomic_t& stopFlag, const sigset_t& waitMask);

    // One control command line; returns the answer line without its newline.
    std::string Execute(std::string_view line);

private:
    LiveSample Sample(Clock::time_point now);
    bool WarmingUp(Clock::time_point now) const;
    std::string ServingLine() const;

    void ReadDevice(Clock::time_point now);
    void AnswerFrames(Clock::time_point now);
    void Enqueue(std::vector<Chunk> chunks);
    void WriteDue(Clock::time_point now);
    void Count(const Chunk& chunk);
    void RunTimers(Clock::time_point now);
    std::optional<Clock::time_point> NextDeadline() const;
    void ReadStdin();
    void HangUp();

    std::string FaultCommand(const std::vector<std::string_view>& words);
    std::string WarmupCommand(const std::vector<std::string_view>& words);
    std::string SaveCommand(const std::vector<std::string_view>& words);
    std::string ReopenCommand();

    Options FOptions;
    Clock::time_point FStart = Clock::now();
    ControllerState FState;
    double FVolts;
    bool FWarmupForever = false;
    Clock::time_point FWarmupUntil;

    ReplyShaper FShaper;
    FrameParser FParser;
    Stats FStats;
    std::deque<Chunk> FQueue;
    std::size_t FHeadWritten = 0;  // bytes of FQueue.front() already written
    bool FWaitWritable = false;
    bool FQueueFullReported = false;

    std::unique_ptr<PtyDevice> FPty;
    std::unique_ptr<PortLink> FLink;

    std::string FStdinLine;
    bool FStdinOpen = true;
    bool FDiscardingLongLine = false;
    bool FStop = false;
};

}  // namespace sim
