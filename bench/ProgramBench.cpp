// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole program polling the stand-in at 10 Hz, with the trend window closed and open
// on its default minute: its CPU time per second of polling (user + system, all threads),
// its resident memory at the end, the time from its start to the first painted main window,
// and the device pixel ratio its window is drawn at. And the log viewer on a log of a
// million lines: to its first picture, its memory, and a zoom or pan step. Each runs as a
// process of its own on the display in force (make bench provides Xvfb, at the screen
// scale SCALE asks for).
#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchLog.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"

namespace {

constexpr auto kPollingTime = std::chrono::seconds(30);

// The CPU time of a whole process, all its threads, in seconds: from its CPU-time clock,
// which counts nanoseconds, where /proc/<pid>/stat counts clock ticks of 10 ms (0.03 % of a
// core over the polling time, as much as the differences measured). Negative if unreadable.
double CpuSeconds(pid_t pid)
{
    clockid_t clock;
    timespec t{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &t) != 0)
        return -1;
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double ResidentMb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

// The program started with its output on a pipe.
struct Program {
    pid_t pid = -1;
    FILE* out = nullptr;

    explicit Program(const std::string& path, const std::vector<std::string>& arguments = {})
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        // Everything the child needs is made before fork(): this process has threads, so the
        // child may only call async-signal-safe functions until it executes the program.
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e)
            environment.emplace_back(*e);
        environment.push_back("KORVANT_BENCH_T0=" +
                              std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                 std::chrono::steady_clock::now().time_since_epoch())
                                                 .count()));
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::vector<std::string> args{path};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        close(fds[1]);
        out = fdopen(fds[0], "r");
    }
    ~Program()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (out)
            fclose(out);
    }
    std::string Line()
    {
        char buffer[256];
        return out && fgets(buffer, sizeof buffer, out) ? std::string(buffer) : std::string();
    }
};

// Argument 1: with the trend window open, showing its default minute.
void PollingProgram(benchmark::State& state)
{
    ScopedConfigHome home;
    SimProcess sim({"--com", "1"});
    const std::vector<std::string> trend{"--trend"};
    for (auto _ : state) {
        Program program(KORVANT_BENCH_PROGRAM, state.range(0) ? trend : std::vector<std::string>{});
        const std::string painted = program.Line();
        const std::string ratio = program.Line();
        if (painted.rfind("painted ", 0) != 0 || ratio.rfind("ratio ", 0) != 0 || program.Line() != "polling\n") {
            state.SkipWithError("the program did not start polling");
            return;
        }
        state.counters["first_window_ms"] = std::stod(painted.substr(8));
        state.counters["pixel_ratio"] = std::stod(ratio.substr(6));
        std::this_thread::sleep_for(std::chrono::seconds(2));  // settle after start-up
        const long long validBefore = sim.Stats()["live_valid"];
        const double cpuBefore = CpuSeconds(program.pid);
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(kPollingTime);
        const double cpuAfter = CpuSeconds(program.pid);
        if (cpuBefore < 0 || cpuAfter < 0) {
            state.SkipWithError("the program's CPU time cannot be read");
            return;
        }
        const double cpu = cpuAfter - cpuBefore;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["cpu_percent"] = 100.0 * cpu / seconds;
        state.counters["rss_MB"] = ResidentMb(program.pid);
        state.counters["replies_per_s"] = static_cast<double>(sim.Stats()["live_valid"] - validBefore) / seconds;
    }
}
BENCHMARK(PollingProgram)->ArgName("trend")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// A log of a million lines in the viewer, as korvant-bench-view reports it.
void ViewMillionLines(benchmark::State& state)
{
    const std::string log = BenchLogFile(1'000'000);
    for (auto _ : state) {
        Program viewer(KORVANT_BENCH_VIEW, {log});
        bool complete = false;
        for (std::string line; !(line = viewer.Line()).empty();) {
            std::istringstream fields(line);
            std::string name;
            double first = 0, second = 0, third = 0;
            fields >> name >> first >> second >> third;
            if (name == "opened") {
                state.counters["open_ms"] = first;
            } else if (name == "painted") {
                state.counters["first_picture_ms"] = first;
            } else if (name == "memory") {
                state.counters["rss_MB"] = first;
                state.counters["peak_rss_MB"] = second;
                complete = true;
            } else {
                state.counters[name + "_ms"] = first;
                state.counters[name + "_max_ms"] = second;
                state.counters[name + "_cpu_ms"] = third;
            }
        }
        if (!complete) {
            state.SkipWithError("the viewer did not report");
            return;
        }
    }
}
BENCHMARK(ViewMillionLines)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
