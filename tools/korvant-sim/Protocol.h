// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

inline constexpr std::uint8_t kStartByte = 0xC0;

// The requests the controller understands (command byte at offset 2).
inline constexpr std::uint8_t kLiveRequest = 0x26;
inline constexpr std::uint8_t kVersionRequest = 0x24;
inline constexpr std::uint8_t kReadMemory = 0x60;
inline constexpr std::uint8_t kWriteMemory = 0x62;

// 0xFF minus the byte sum modulo 256: the last byte of every frame, computed over all
// bytes before it.
std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

// True when the last byte is the checksum of the ones before it.
bool HasValidChecksum(std::span<const std::uint8_t> frame);

// Start byte, length, command, parameters and checksum. Parameters beyond what a one-byte
// length can describe (251 bytes) are an error of the caller and throw.
Bytes MakeFrame(std::uint8_t command, std::span<const std::uint8_t> parameters);

// Cuts request frames out of an arbitrary byte stream. Bytes before a start byte are
// noise; a start byte whose frame has an impossible length, an unknown command or a wrong
// checksum is dropped on its own and the search resumes at the next start byte, so a frame
// hidden behind garbage is still found. After Next() has returned nothing, at most one
// partial frame (under 256 bytes) stays buffered.
class FrameParser {
public:
    void Feed(std::span<const std::uint8_t> bytes, Clock::time_point now);
    // The next complete frame with a valid checksum, if one is buffered.
    std::optional<Bytes> Next();
    // A partial frame that has waited longer than `limit` is given up (its start byte is
    // dropped), so a stray start byte cannot hold back the requests queued behind it.
    // Call Next() afterwards.
    void Expire(Clock::time_point now, Clock::duration limit);
    // When the buffered partial frame started waiting; empty when nothing waits.
    std::optional<Clock::time_point> WaitingSince() const;
    // Forgets buffered bytes (not the counts).
    void Clear();

    std::size_t Buffered() const { return FBuffer.size(); }
    void ResetCounts() { FNoiseBytes = FBadFrames = 0; }
    std::uint64_t NoiseBytes() const { return FNoiseBytes; }
    std::uint64_t BadFrames() const { return FBadFrames; }

private:
    enum class HeadState { Partial, Bad, Complete };
    HeadState ExamineHead() const;
    void DropHead(std::size_t count);

    Bytes FBuffer;
    Clock::time_point FLastFeed{};
    Clock::time_point FHeadSince{};
    std::uint64_t FNoiseBytes = 0;
    std::uint64_t FBadFrames = 0;
};

}  // namespace sim
