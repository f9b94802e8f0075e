// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// korvant-soak: the program in-process, polling the stand-in on its own 100 ms timer for a
// long time while the stand-in's faults change at random, logging all along. At the end the
// log must hold one line per valid reply the stand-in counted, no error may have been shown
// other than those of the planned hang-ups, and resident memory may grow by less than 1 MB.
//
// Faults are chosen so that each reply still arrives whole between two ticks (short splits
// and delays, garbage that fits the live buffer); hang-ups come while the stand-in is
// silent, after the last reply was shown. Everything else would lose or garble a reading by
// design, not by fault.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/Unit1NC.h"
#include "serial/VaComm.h"
#include "tests/faults/ProgramRig.h"

using namespace std::chrono;
using namespace std::chrono_literals;

namespace {

struct Options {
    int DurationSeconds = 3600;
    int ReportSeconds = 60;
    int HangupEverySeconds = 600;
    unsigned Seed = 1;
};

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--duration")
            options.DurationSeconds = value;
        else if (name == "--report")
            options.ReportSeconds = value;
        else if (name == "--hangup-every")
            options.HangupEverySeconds = value;
        else if (name == "--seed")
            options.Seed = static_cast<unsigned>(value);
        else {
            std::fprintf(stderr, "usage: korvant-soak [--duration S] [--report S] [--hangup-every S] [--seed N]\n");
            std::exit(2);
        }
    }
    return options;
}

// A random set of faults under which every reply still arrives whole between two ticks.
std::string RandomFaults(std::mt19937& random)
{
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::string chosen;
    if (pick(0, 2) == 0)
        chosen += " checksum:0." + std::to_string(pick(1, 5));
    if (pick(0, 2) == 0)
        chosen += " garbage:" + std::to_string(pick(1, 13));
    if (pick(0, 3) == 0)
        chosen += " split:" + std::to_string(pick(1, 25)) + ":" + std::to_string(pick(1, 16));
    else if (pick(0, 3) == 0)
        chosen += " slow:" + std::to_string(pick(1, 25));
    if (pick(0, 5) == 0)
        chosen += " silence:" + std::to_string(pick(1, 4));
    return chosen;
}

bool Ok(const std::string& answer)
{
    if (answer.rfind("ok", 0) == 0)
        return true;
    std::fprintf(stderr, "soak: stand-in answered: %s\n", answer.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const Options options = ParseOptions(argc, argv);
    std::mt19937 random(options.Seed);

    ProgramRig rig({"--seed", std::to_string(options.Seed)});
    TForm1& form = rig.Form();
    form.show();
    if (!rig.OpenPort()) {
        std::fprintf(stderr, "soak: the port did not open\n");
        return 1;
    }
    rig.StartLog();

    const auto start = steady_clock::now();
    const auto end = start + seconds(options.DurationSeconds);
    auto nextReport = start + seconds(options.ReportSeconds);
    auto nextHangup = start + seconds(options.HangupEverySeconds);
    const auto baselineAt = start + std::min(seconds(60), seconds(options.DurationSeconds / 4));
    long baselineKb = -1;
    int hangups = 0;
    std::printf("soak: %d s, seed %u, log %s\n", options.DurationSeconds, options.Seed,
                rig.LogPath().toStdString().c_str());

    // Waits until the stand-in has withheld `count` more requests: the reply before them has
    // then been shown by a tick.
    const auto silenceAndSettle = [&](int count) {
        if (!Ok(rig.Sim().Command("fault off")) || !Ok(rig.Sim().Command("fault silence")))
            return false;
        const long long silenced = rig.Sim().Stats()["silenced"];
        const auto deadline = steady_clock::now() + 20s;
        while (rig.Sim().Stats()["silenced"] < silenced + count) {
            if (steady_clock::now() > deadline)
                return false;
            QTest::qWait(50);
        }
        return true;
    };

    bool failed = false;
    while (steady_clock::now() < end && !failed) {
        const std::string faults = RandomFaults(random);
        failed = !Ok(rig.Sim().Command("fault off")) || (!faults.empty() && !Ok(rig.Sim().Command("fault" + faults)));
        const auto phaseEnd = std::min(end, steady_clock::now() + seconds(std::uniform_int_distribution<int>(5, 30)(random)));
        while (steady_clock::now() < phaseEnd)
            QTest::qWait(200);

        if (baselineKb < 0 && steady_clock::now() >= baselineAt)
            baselineKb = ProgramRig::ResidentKb();
        if (steady_clock::now() >= nextHangup && steady_clock::now() + 30s < end) {
            nextHangup += seconds(options.HangupEverySeconds);
            ++hangups;
            failed = !silenceAndSettle(2) || !Ok(rig.Sim().Command("hangup"));
            const auto deadline = steady_clock::now() + 20s;
            while (!failed && form.VaComm().Active() && steady_clock::now() < deadline)
                QTest::qWait(50);
            failed = failed || form.VaComm().Active() || !Ok(rig.Sim().Command("reopen")) ||
                     !Ok(rig.Sim().Command("fault off")) || !rig.OpenPort();
        }
        if (steady_clock::now() >= nextReport || failed) {
            nextReport += seconds(options.ReportSeconds);
            auto stats = rig.Sim().Stats();
            // One reply may be waiting for the tick that shows it; more are missing.
            const size_t logged = rig.ReadLog().Readings;
            std::printf("soak: %5lld s  polls %lld  valid %lld  corrupt %lld  log %zu (behind %lld)  rss %ld kB  "
                        "faults:%s\n",
                        static_cast<long long>(duration_cast<seconds>(steady_clock::now() - start).count()),
                        stats["live_requests"], stats["live_valid"], stats["live_corrupt"], logged,
                        stats["live_valid"] - static_cast<long long>(logged), ProgramRig::ResidentKb(),
                        faults.empty() ? " none" : faults.c_str());
            std::fflush(stdout);
        }
    }
    failed = failed || !silenceAndSettle(2);
    form.Timer2->stop();

    const long endKb = ProgramRig::ResidentKb();
    auto stats = rig.Sim().Stats();
    const ProgramRig::LogContents log = rig.ReadLog();
    const long growthKb = baselineKb < 0 ? 0 : endKb - baselineKb;
    const size_t unexpected = rig.Messages().size() - std::min<size_t>(rig.Messages().size(), hangups);
    const bool reconciled = static_cast<long long>(log.Readings) == stats["live_valid"] && log.BadLines.empty();

    std::printf("soak: result after %lld s\n",
                static_cast<long long>(duration_cast<seconds>(steady_clock::now() - start).count()));
    std::printf("  polls answered or withheld  %lld (valid %lld, corrupt %lld, warm-up %lld, withheld %lld)\n",
                stats["live_requests"], stats["live_valid"], stats["live_corrupt"], stats["live_warmup"],
                stats["silenced"]);
    std::printf("  garbage bytes               %lld\n", stats["garbage_bytes"]);
    std::printf("  log lines                   %zu (malformed %zu)  %s\n", log.Readings, log.BadLines.size(),
                reconciled ? "= valid replies" : "MISMATCH");
    std::printf("  hang-ups                    %d, messages shown %zu, unexpected %zu\n", hangups,
                rig.Messages().size(), unexpected);
    for (const std::string& message : rig.Messages())
        std::printf("    message: %s\n", message.c_str());
    for (size_t i = 0; i < log.BadLines.size() && i < 5; ++i)
        std::printf("    malformed: %s\n", log.BadLines[i].c_str());
    std::printf("  resident memory             %ld kB at %lld s, %ld kB at the end: growth %ld kB %s\n", baselineKb,
                static_cast<long long>(duration_cast<seconds>(baselineAt - start).count()), endKb, growthKb,
                growthKb < 1024 ? "(< 1 MB)" : "(1 MB OR MORE)");
    const bool passed = !failed && reconciled && unexpected == 0 && growthKb < 1024;
    std::printf("soak: %s\n", passed ? "PASS" : "FAIL");
    return passed ? 0 : 1;
}
