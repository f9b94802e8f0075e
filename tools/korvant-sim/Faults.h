// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tools/korvant-sim/Controller.h"
#include "tools/korvant-sim/Protocol.h"

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace sim {

using Milliseconds = std::chrono::milliseconds;

// The faults in force. Syntax (for --fault and the "fault" command):
//   checksum:P          corrupt each live reply's checksum with probability P (0..1)
//   checksum:every:N    corrupt every Nth live reply
//   silence             answer nothing until the fault is turned off
//   silence:SECONDS     answer nothing for that long
//   split[:MS[:BYTES]]  send the first BYTES of each reply (default half of it) and the
//                       rest MS later (default 150)
//   garbage:N           send N random bytes after each reply
//   slow:MS             send each reply MS later
//   hangup:SECONDS      hang up that long from now (the "hangup" command does it at once)
struct FaultSettings {
    double ChecksumProbability = 0;
    unsigned ChecksumEvery = 0;
    bool Silent = false;
    std::optional<Clock::time_point> SilentUntil;  // empty with Silent: until turned off
    std::optional<Milliseconds> SplitDelay;
    std::size_t SplitAt = 0;  // 0: half of the reply
    std::size_t Garbage = 0;
    Milliseconds Slow{0};
    std::optional<Clock::time_point> HangupAt;
};

// Turns one fault on; durations count from `now`. Throws std::invalid_argument.
void ApplyFault(FaultSettings& faults, std::string_view text, Clock::time_point now);
// Turns off one kind of fault (checksum, silence, split, garbage, slow, hangup) or "all".
void ClearFault(FaultSettings& faults, std::string_view kind);
// The faults in force, in the option syntax, or "none".
std::string DescribeFaults(const FaultSettings& faults, Clock::time_point now);

// What a chunk counts for once its last byte has been written.
enum class Tally { None, LiveValid, LiveWarmup, LiveCorrupt, Garbage };

// A piece of output due at a given time.
struct Chunk {
    Clock::time_point Due;
    Bytes Data;
    Tally Counts = Tally::None;
};

// Applies the faults to each reply: silence drops it, a checksum fault corrupts it, slow
// delays it, split cuts it in two, garbage follows it. Random choices come from one
// generator seeded once, so a run is repeatable for the same seed and request sequence.
class ReplyShaper {
public:
    explicit ReplyShaper(std::uint32_t seed) : FRandom(seed) {}

    FaultSettings& Faults() { return FFaults; }
    const FaultSettings& Faults() const { return FFaults; }
    bool Silent(Clock::time_point now) const;

    // The chunks to send for one reply, in order; none while silent.
    std::vector<Chunk> Shape(RequestKind kind, Bytes reply, Clock::time_point now);

private:
    FaultSettings FFaults;
    std::mt19937 FRandom;
    std::uint64_t FLiveReplies = 0;
};

}  // namespace sim
