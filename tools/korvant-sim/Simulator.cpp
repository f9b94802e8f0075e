// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Simulator.h"

#include "tools/korvant-sim/Parsing.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <stdexcept>

namespace sim {

namespace {

// A partial request older than this is given up: even at 19200 baud a whole frame takes
// under 150 ms, and a stray start byte must not hold back the requests behind it for long.
constexpr auto kStallLimit = std::chrono::milliseconds(300);
// Output waiting for a reader that never comes is bounded.
constexpr std::size_t kMaxQueuedChunks = 1024;
constexpr std::size_t kMaxCommandLine = 4096;

constexpr std::string_view kCommandList =
    "commands: stats [reset] | fault [FAULT...|off [KIND|all]] | lambda CH|all WAVE | "
    "warmup on|off|SECONDS | volts V | version TENTHS|X.Y | poke ADDR HEX | peek ADDR COUNT | "
    "save [FILE] | hangup | reopen | device | quit";

void WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n > 0)
            text.remove_prefix(static_cast<std::size_t>(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else
            return;  // nobody listens any more; the answer is lost, the device still served
    }
}

void Note(const std::string& text)
{
    std::cerr << "korvant-sim: " << text << std::endl;
}

std::string Error(const std::string& text)
{
    return "error: " + text;
}

timespec ToTimespec(Clock::duration duration)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::max(duration, Clock::duration::zero()))
                        .count();
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

}  // namespace

Simulator::Simulator(Options options, const MemoryImage& memory)
    : FOptions(std::move(options)), FVolts(FOptions.Volts), FShaper(FOptions.Seed)
{
    FState.Memory = memory;
    FState.Version = FOptions.Version;
    FWarmupUntil = FStart + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(FOptions.WarmupSeconds));
    for (std::size_t i = 0; i < FOptions.Lambda.size(); ++i)
        FOptions.Lambda[i].Seed(FOptions.Seed * 4 + static_cast<std::uint32_t>(i));
    for (const std::string& text : FOptions.Faults)
        ApplyFault(FShaper.Faults(), text, FStart);

    FPty = std::make_unique<PtyDevice>();
    if (FOptions.Com)
        FLink = std::make_unique<PortLink>(*FOptions.Com, FPty->Path());
}

std::string Simulator::ServingLine() const
{
    std::string line = "serving " + FPty->Path();
    if (FLink)
        line += " as " + FLink->Name();
    return line;
}

int Simulator::Run(const volatile std::sig_atomic_t& stopFlag, const sigset_t& waitMask)
{
    WriteAll(STDOUT_FILENO, "korvant-sim: " + ServingLine() + "\n");

    while (!FStop && stopFlag == 0) {
        RunTimers(Clock::now());
        if (FStop)
            break;

        pollfd fds[2] = {};
        nfds_t count = 0;
        int stdinIndex = -1;
        int deviceIndex = -1;
        if (FStdinOpen) {
            stdinIndex = static_cast<int>(count);
            fds[count++] = pollfd{STDIN_FILENO, POLLIN, 0};
        }
        if (FPty) {
            deviceIndex = static_cast<int>(count);
            const short events = static_cast<short>(POLLIN | (FWaitWritable ? POLLOUT : 0));
            fds[count++] = pollfd{FPty->MasterFd(), events, 0};
        }

        const auto deadline = NextDeadline();
        timespec timeout{};
        if (deadline)
            timeout = ToTimespec(*deadline - Clock::now());
        const int ready = ::ppoll(fds, count, deadline ? &timeout : nullptr, &waitMask);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            Note(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }

        const auto now = Clock::now();
        if (deviceIndex >= 0 && (fds[deviceIndex].revents & POLLOUT))
            FWaitWritable = false;
        if (deviceIndex >= 0 && (fds[deviceIndex].revents & (POLLIN | POLLHUP | POLLERR)))
            ReadDevice(now);
        if (stdinIndex >= 0 && (fds[stdinIndex].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)))
            ReadStdin();
    }

    if (FOptions.SaveFile) {
        try {
            SaveMemory(FState.Memory, *FOptions.SaveFile);
        } catch (const std::exception& e) {
            Note(e.what());
            return 1;
        }
    }
    return 0;
}

bool Simulator::WarmingUp(Clock::time_point now) const
{
    return FWarmupForever || now < FWarmupUntil;
}

LiveSample Simulator::Sample(Clock::time_point now)
{
    const double seconds = std::chrono::duration<double>(now - FStart).count();
    LiveSample sample;
    for (std::size_t i = 0; i < sample.Lambda.size(); ++i)
        sample.Lambda[i] = FOptions.Lambda[i].At(seconds);
    sample.WarmingUp = WarmingUp(now);
    sample.Volts = FVolts;
    return sample;
}

void Simulator::ReadDevice(Clock::time_point now)
{
    std::uint8_t buffer[512];
    for (;;) {
        const ssize_t n = ::read(FPty->MasterFd(), buffer, sizeof buffer);
        if (n > 0) {
            FParser.Feed(std::span(buffer, static_cast<std::size_t>(n)), now);
            AnswerFrames(now);
            if (!FPty)
                return;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            break;
        // The slave stays open in this process, so the master only fails when the system
        // takes the terminal away; there is nothing left to serve.
        Note("device read failed: " + std::string(n == 0 ? "end of file" : std::strerror(errno)));
        HangUp();
        return;
    }
    WriteDue(now);
}

void Simulator::AnswerFrames(Clock::time_point now)
{
    while (auto frame = FParser.Next()) {
        auto answer = Handle(*frame, FState, [&] { return Sample(now); });
        if (!answer)
            continue;
        switch (answer->Kind) {
        case RequestKind::Live:
            ++FStats.LiveRequests;
            break;
        case RequestKind::Version:
            ++FStats.Version;
            break;
        case RequestKind::Read:
            ++FStats.Read;
            break;
        case RequestKind::Write:
            ++FStats.Write;
            break;
        }
        if (FShaper.Silent(now)) {
            ++FStats.Silenced;
            continue;
        }
        Enqueue(FShaper.Shape(answer->Kind, std::move(answer->Reply), now));
    }
}

void Simulator::Enqueue(std::vector<Chunk> chunks)
{
    if (FQueue.size() + chunks.size() > kMaxQueuedChunks) {
        if (!FQueueFullReported)
            Note("nobody reads the device; dropping replies until the output drains");
        FQueueFullReported = true;
        return;
    }
    FQueueFullReported = false;
    for (Chunk& chunk : chunks) {
        // Output keeps its order even when a fault's delay changed in between.
        if (!FQueue.empty())
            chunk.Due = std::max(chunk.Due, FQueue.back().Due);
        FQueue.push_back(std::move(chunk));
    }
}

void Simulator::WriteDue(Clock::time_point now)
{
    while (FPty && !FQueue.empty() && FQueue.front().Due <= now) {
        const Chunk& head = FQueue.front();
        const ssize_t n = ::write(FPty->MasterFd(), head.Data.data() + FHeadWritten,
                                  head.Data.size() - FHeadWritten);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            FWaitWritable = true;
            return;
        }
        if (n < 0) {
            Note("device write failed: " + std::string(std::strerror(errno)));
            HangUp();
            return;
        }
        FHeadWritten += static_cast<std::size_t>(n);
        if (FHeadWritten == head.Data.size()) {
            Count(head);
            FQueue.pop_front();
            FHeadWritten = 0;
        }
    }
}

void Simulator::Count(const Chunk& chunk)
{
    switch (chunk.Counts) {
    case Tally::None:
        break;
    case Tally::LiveValid:
        ++FStats.LiveValid;
        break;
    case Tally::LiveWarmup:
        ++FStats.LiveWarmup;
        break;
    case Tally::LiveCorrupt:
        ++FStats.LiveCorrupt;
        break;
    case Tally::Garbage:
        FStats.GarbageBytes += chunk.Data.size();
        break;
    }
}

void Simulator::RunTimers(Clock::time_point now)
{
    auto& faults = FShaper.Faults();
    if (faults.HangupAt && *faults.HangupAt <= now) {
        faults.HangupAt.reset();
        if (FPty)
            HangUp();
    }
    if (FPty) {
        FParser.Expire(now, kStallLimit);
        AnswerFrames(now);
    }
    if (!FWaitWritable)
        WriteDue(now);
}

std::optional<Clock::time_point> Simulator::NextDeadline() const
{
    std::optional<Clock::time_point> next;
    const auto consider = [&next](Clock::time_point t) {
        if (!next || t < *next)
            next = t;
    };
    if (FShaper.Faults().HangupAt)
        consider(*FShaper.Faults().HangupAt);
    if (FPty && !FQueue.empty() && !FWaitWritable)
        consider(FQueue.front().Due);
    if (FPty) {
        if (const auto since = FParser.WaitingSince())
            consider(*since + kStallLimit);
    }
    return next;
}

void Simulator::ReadStdin()
{
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        FStdinOpen = false;
        if (!FStdinLine.empty() && !FDiscardingLongLine)
            WriteAll(STDOUT_FILENO, Execute(FStdinLine) + "\n");
        FStdinLine.clear();
        if (FOptions.ExitOnEof)
            FStop = true;
        return;
    }
    for (const char c : std::string_view(buffer, static_cast<std::size_t>(n))) {
        if (c == '\n') {
            if (FDiscardingLongLine)
                WriteAll(STDOUT_FILENO, Error("command line longer than 4096 bytes") + "\n");
            else if (!SplitWords(FStdinLine).empty())
                WriteAll(STDOUT_FILENO, Execute(FStdinLine) + "\n");
            FStdinLine.clear();
            FDiscardingLongLine = false;
            if (FStop)
                return;
        } else if (!FDiscardingLongLine) {
            FStdinLine += c;
            if (FStdinLine.size() > kMaxCommandLine) {
                FStdinLine.clear();
                FDiscardingLongLine = true;
            }
        }
    }
}

void Simulator::HangUp()
{
    Note("hanging up " + FPty->Path());
    FQueue.clear();
    FHeadWritten = 0;
    FWaitWritable = false;
    FParser.Clear();
    FPty.reset();
    ++FStats.Hangups;
    if (FOptions.ExitOnHangup)
        FStop = true;
}

std::string Simulator::Execute(std::string_view line)
{
    const auto words = SplitWords(line);
    if (words.empty())
        return Error("empty command");
    const std::string_view command = words[0];
    const auto arguments = [&](std::size_t low, std::size_t high, std::string_view usage) {
        if (words.size() < low + 1 || words.size() > high + 1)
            throw std::invalid_argument("usage: " + std::string(usage));
    };
    try {
        if (command == "stats") {
            arguments(0, 1, "stats [reset]");
            if (words.size() == 2) {
                if (words[1] != "reset")
                    throw std::invalid_argument("usage: stats [reset]");
                FStats = Stats{};
                FParser.ResetCounts();
            }
            Stats stats = FStats;
            stats.BadFrames = FParser.BadFrames();
            stats.NoiseBytes = FParser.NoiseBytes();
            stats.Pending = FQueue.size();
            return "ok " + stats.Format();
        }
        if (command == "fault" || command == "faults")
            return FaultCommand(words);
        if (command == "lambda") {
            if (words.size() == 2) {
                ApplyLambdaOption(FOptions.Lambda, words[1]);
            } else {
                arguments(2, 2, "lambda CH|all WAVE");
                ApplyLambdaOption(FOptions.Lambda, std::string(words[1]) + "=" + std::string(words[2]));
            }
            for (std::size_t i = 0; i < FOptions.Lambda.size(); ++i)
                FOptions.Lambda[i].Seed(FOptions.Seed * 4 + static_cast<std::uint32_t>(i));
            std::string text = "ok lambda";
            for (const Waveform& wave : FOptions.Lambda)
                text += ' ' + wave.Describe();
            return text;
        }
        if (command == "warmup")
            return WarmupCommand(words);
        if (command == "volts") {
            arguments(1, 1, "volts V");
            FVolts = ParseVolts(words[1]);
            return "ok volts " + std::string(words[1]) + " raw " + std::to_string(VoltsRaw(FVolts));
        }
        if (command == "version") {
            arguments(1, 1, "version TENTHS|X.Y");
            FState.Version = ParseVersion(words[1]);
            return "ok version " + std::to_string(FState.Version);
        }
        if (command == "poke") {
            arguments(1, 2, "poke ADDR HEXBYTES");
            const Poke poke = ParsePoke(words.size() == 3 ? std::string(words[1]) + "=" + std::string(words[2])
                                                          : std::string(words[1]));
            StoreMemory(FState.Memory, poke.Address, poke.Data);
            return "ok poked " + std::to_string(poke.Data.size());
        }
        if (command == "peek") {
            arguments(2, 2, "peek ADDR COUNT");
            const auto address = ParseCount(words[1], "peek address", 0, 255);
            const auto count = ParseCount(words[2], "peek count", 1, 256);
            Bytes bytes;
            for (std::size_t i = 0; i < count; ++i)
                bytes.push_back(FState.Memory[(address + i) % FState.Memory.size()]);
            return "ok " + HexDump(bytes);
        }
        if (command == "save")
            return SaveCommand(words);
        if (command == "hangup") {
            arguments(0, 0, "hangup");
            if (!FPty)
                return Error("not serving a device (use reopen)");
            HangUp();
            return "ok hung up";
        }
        if (command == "reopen") {
            arguments(0, 0, "reopen");
            return ReopenCommand();
        }
        if (command == "device") {
            arguments(0, 0, "device");
            return FPty ? "ok " + ServingLine() : "ok none";
        }
        if (command == "quit" || command == "exit") {
            FStop = true;
            return "ok bye";
        }
        if (command == "help")
            return "ok " + std::string(kCommandList);
        return Error("unknown command '" + std::string(command) + "' (try help)");
    } catch (const std::exception& e) {
        return Error(e.what());
    }
}

std::string Simulator::FaultCommand(const std::vector<std::string_view>& words)
{
    const auto now = Clock::now();
    if (words.size() >= 2 && words[1] == "off") {
        if (words.size() > 3)
            throw std::invalid_argument("usage: fault off [KIND|all]");
        ClearFault(FShaper.Faults(), words.size() == 3 ? words[2] : "all");
    } else {
        // All or nothing: a bad fault leaves the faults as they were.
        FaultSettings updated = FShaper.Faults();
        for (std::size_t i = 1; i < words.size(); ++i)
            ApplyFault(updated, words[i], now);
        FShaper.Faults() = updated;
    }
    return "ok faults " + DescribeFaults(FShaper.Faults(), now);
}

std::string Simulator::WarmupCommand(const std::vector<std::string_view>& words)
{
    if (words.size() != 2)
        throw std::invalid_argument("usage: warmup on|off|SECONDS");
    const auto now = Clock::now();
    if (words[1] == "on") {
        FWarmupForever = true;
    } else if (words[1] == "off") {
        FWarmupForever = false;
        FWarmupUntil = now;
    } else {
        const double seconds = ParseNumber(words[1], "warm-up seconds");
        if (seconds < 0 || seconds > 1e6)
            throw std::invalid_argument("warm-up must be from 0 to 1000000 seconds");
        FWarmupForever = false;
        FWarmupUntil = now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    }
    return std::string("ok warmup ") + (WarmingUp(now) ? "on" : "off");
}

std::string Simulator::SaveCommand(const std::vector<std::string_view>& words)
{
    if (words.size() > 2)
        throw std::invalid_argument("usage: save [FILE]");
    const std::string path = words.size() == 2 ? std::string(words[1]) : FOptions.SaveFile.value_or("");
    if (path.empty())
        return Error("no file: give one or start with --save FILE");
    SaveMemory(FState.Memory, path);
    return "ok saved " + path;
}

std::string Simulator::ReopenCommand()
{
    if (FPty)
        return Error("already serving " + FPty->Path());
    FPty = std::make_unique<PtyDevice>();
    FParser.Clear();
    if (FLink)
        FLink->Retarget(FPty->Path());
    Note("serving " + FPty->Path());
    return "ok " + ServingLine();
}

}  // namespace sim
