// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "packaging/Version.h"
#include "tools/korvant-sim/Options.h"
#include "tools/korvant-sim/Simulator.h"

#include <signal.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int)
{
    stopRequested = 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    sim::Options options;
    sim::MemoryImage memory{};
    try {
        options = sim::ParseOptions(args);
        if (options.Help) {
            std::cout << sim::HelpText();
            return 0;
        }
        if (options.ShowVersion) {
            std::cout << "korvant-sim " << kKorvantVersion << "\n";
            return 0;
        }
        memory = sim::BuildMemory(options);
    } catch (const std::exception& e) {
        std::cerr << "korvant-sim: " << e.what() << "\n";
        return 2;
    }

    // The signals stay blocked except inside the loop's ppoll(), so a stop request can
    // never slip in between checking the flag and waiting.
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigset_t waitMask;
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);

    try {
        sim::Simulator simulator(std::move(options), memory);
        return simulator.Run(stopRequested, waitMask);
    } catch (const std::exception& e) {
        std::cerr << "korvant-sim: " << e.what() << "\n";
        return 1;
    }
}
