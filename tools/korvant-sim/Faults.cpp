// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Faults.h"

#include "tools/korvant-sim/Parsing.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace sim {

namespace {

Clock::duration Seconds(std::string_view text, std::string_view what)
{
    const double seconds = ParseNumber(text, what);
    if (seconds < 0 || seconds > 1e6)
        throw std::invalid_argument(std::string(what) + " must be from 0 to 1000000 seconds");
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

void NeedParts(const std::vector<std::string_view>& parts, std::size_t low, std::size_t high,
               std::string_view usage)
{
    if (parts.size() < low || parts.size() > high)
        throw std::invalid_argument("fault syntax: " + std::string(usage));
}

std::string SecondsLeft(Clock::time_point until, Clock::time_point now)
{
    std::ostringstream out;
    out << std::chrono::duration<double>(std::max(until - now, Clock::duration::zero())).count();
    return out.str();
}

}  // namespace

void ApplyFault(FaultSettings& faults, std::string_view text, Clock::time_point now)
{
    const auto parts = SplitColons(text);
    const std::string_view kind = parts[0];
    if (kind == "checksum") {
        NeedParts(parts, 2, 3, "checksum:P or checksum:every:N");
        if (parts.size() == 3) {
            if (parts[1] != "every")
                throw std::invalid_argument("fault syntax: checksum:P or checksum:every:N");
            faults.ChecksumEvery = static_cast<unsigned>(ParseCount(parts[2], "checksum every", 1, 1000000));
            faults.ChecksumProbability = 0;
        } else {
            const double p = ParseNumber(parts[1], "checksum probability");
            if (p < 0 || p > 1)
                throw std::invalid_argument("checksum probability must be from 0 to 1");
            faults.ChecksumProbability = p;
            faults.ChecksumEvery = 0;
        }
    } else if (kind == "silence") {
        NeedParts(parts, 1, 2, "silence or silence:SECONDS");
        std::optional<Clock::time_point> until;
        if (parts.size() == 2)
            until = now + Seconds(parts[1], "silence");
        faults.Silent = true;
        faults.SilentUntil = until;
    } else if (kind == "split") {
        NeedParts(parts, 1, 3, "split[:MS[:BYTES]]");
        const Milliseconds delay(parts.size() >= 2 ? ParseCount(parts[1], "split delay", 0, 60000) : 150);
        faults.SplitAt = parts.size() == 3 ? ParseCount(parts[2], "split bytes", 1, 254) : 0;
        faults.SplitDelay = delay;
    } else if (kind == "garbage") {
        NeedParts(parts, 2, 2, "garbage:N");
        faults.Garbage = ParseCount(parts[1], "garbage bytes", 0, 4096);
    } else if (kind == "slow") {
        NeedParts(parts, 2, 2, "slow:MS");
        faults.Slow = Milliseconds(ParseCount(parts[1], "slow delay", 0, 60000));
    } else if (kind == "hangup") {
        NeedParts(parts, 2, 2, "hangup:SECONDS");
        faults.HangupAt = now + Seconds(parts[1], "hangup");
    } else {
        throw std::invalid_argument("unknown fault '" + std::string(kind) +
                                    "' (checksum, silence, split, garbage, slow or hangup)");
    }
}

void ClearFault(FaultSettings& faults, std::string_view kind)
{
    if (kind == "all") {
        faults = FaultSettings{};
    } else if (kind == "checksum") {
        faults.ChecksumProbability = 0;
        faults.ChecksumEvery = 0;
    } else if (kind == "silence") {
        faults.Silent = false;
        faults.SilentUntil.reset();
    } else if (kind == "split") {
        faults.SplitDelay.reset();
        faults.SplitAt = 0;
    } else if (kind == "garbage") {
        faults.Garbage = 0;
    } else if (kind == "slow") {
        faults.Slow = Milliseconds(0);
    } else if (kind == "hangup") {
        faults.HangupAt.reset();
    } else {
        throw std::invalid_argument("unknown fault '" + std::string(kind) +
                                    "' (checksum, silence, split, garbage, slow, hangup or all)");
    }
}

std::string DescribeFaults(const FaultSettings& faults, Clock::time_point now)
{
    std::ostringstream out;
    if (faults.ChecksumEvery > 0)
        out << " checksum:every:" << faults.ChecksumEvery;
    else if (faults.ChecksumProbability > 0)
        out << " checksum:" << faults.ChecksumProbability;
    if (faults.Silent) {
        out << " silence";
        if (faults.SilentUntil)
            out << ':' << SecondsLeft(*faults.SilentUntil, now);
    }
    if (faults.SplitDelay) {
        out << " split:" << faults.SplitDelay->count();
        if (faults.SplitAt > 0)
            out << ':' << faults.SplitAt;
    }
    if (faults.Garbage > 0)
        out << " garbage:" << faults.Garbage;
    if (faults.Slow.count() > 0)
        out << " slow:" << faults.Slow.count();
    if (faults.HangupAt)
        out << " hangup:" << SecondsLeft(*faults.HangupAt, now);
    const std::string text = out.str();
    return text.empty() ? "none" : text.substr(1);
}

bool ReplyShaper::Silent(Clock::time_point now) const
{
    return FFaults.Silent && (!FFaults.SilentUntil || now < *FFaults.SilentUntil);
}

std::vector<Chunk> ReplyShaper::Shape(RequestKind kind, Bytes reply, Clock::time_point now)
{
    if (Silent(now) || reply.empty())
        return {};

    Tally counts = Tally::None;
    if (kind == RequestKind::Live) {
        ++FLiveReplies;
        bool corrupt = false;
        if (FFaults.ChecksumEvery > 0)
            corrupt = FLiveReplies % FFaults.ChecksumEvery == 0;
        else if (FFaults.ChecksumProbability > 0)
            // Uses the raw generator output so the draw is the same on every library.
            corrupt = static_cast<double>(FRandom()) < FFaults.ChecksumProbability * 4294967296.0;
        if (corrupt)
            reply.back() = static_cast<std::uint8_t>(reply.back() + 1);
        counts = corrupt ? Tally::LiveCorrupt
                 : reply.size() > 12 && reply[12] == 1 ? Tally::LiveWarmup
                                                       : Tally::LiveValid;
    }

    std::vector<Chunk> chunks;
    const Clock::time_point due = now + FFaults.Slow;
    if (FFaults.SplitDelay && reply.size() > 1) {
        const std::size_t at = FFaults.SplitAt > 0 ? std::min(FFaults.SplitAt, reply.size() - 1)
                                                   : reply.size() / 2;
        const auto cut = reply.begin() + static_cast<std::ptrdiff_t>(at);
        chunks.push_back({due, Bytes(reply.begin(), cut), Tally::None});
        chunks.push_back({due + *FFaults.SplitDelay, Bytes(cut, reply.end()), counts});
    } else {
        chunks.push_back({due, std::move(reply), counts});
    }
    if (FFaults.Garbage > 0) {
        Bytes garbage(FFaults.Garbage);
        for (auto& byte : garbage)
            byte = static_cast<std::uint8_t>(FRandom() >> 24);
        chunks.push_back({chunks.back().Due, std::move(garbage), Tally::Garbage});
    }
    return chunks;
}

}  // namespace sim
