// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tools/korvant-sim/Protocol.h"

#include <array>
#include <functional>
#include <optional>

namespace sim {

// The controller's 256-byte setting memory. Addresses wrap around: a read or write that
// runs past 0xFF continues at 0x00.
using MemoryImage = std::array<std::uint8_t, 256>;

// CAN address 1024 and slave CAN address 1025; channel n has calibration value
// 1000 + 5 (n - 1) and serial number "SN00n"; everything else is zero.
MemoryImage DefaultMemory();

// Copies data into the image at address, wrapping past 0xFF.
void StoreMemory(MemoryImage& memory, std::uint8_t address, std::span<const std::uint8_t> data);

// What one live-data reply reports.
struct LiveSample {
    std::array<double, 4> Lambda{1.0, 1.0, 1.0, 1.0};
    bool WarmingUp = false;
    double Volts = 13.8;
};

// lambda × 1000, rounded and clamped to 0..65535.
std::uint16_t LambdaRaw(double lambda);
// volts ÷ (0.01960784 × 3.2), rounded and clamped to 0..255.
std::uint8_t VoltsRaw(double volts);

// Live-data reply, 17 bytes: C0 11 26, four big-endian lambda raws, status 0, warm-up
// flag, two zero bytes, supply raw, checksum.
Bytes LiveReply(const LiveSample& sample);
// Version reply: C0 05 24 <version in tenths> checksum.
Bytes VersionReply(std::uint8_t tenths);

// Largest count a read-memory reply can carry: its length byte is 6 + count.
inline constexpr std::uint8_t kMaxReadCount = 249;
// Read-memory reply: C0 (6 + count) 60 address count data... checksum, data starting at
// offset 5. A count above 249 is answered with 249 bytes (and that count in the reply).
Bytes ReadReply(const MemoryImage& memory, std::uint8_t address, std::uint8_t count);
// Acknowledgement of a write-memory frame: C0 06 62 address count checksum.
Bytes WriteAck(std::uint8_t address, std::uint8_t count);

enum class RequestKind { Live, Version, Read, Write };

struct Answer {
    RequestKind Kind;
    Bytes Reply;
};

// What the controller keeps between requests.
struct ControllerState {
    MemoryImage Memory = DefaultMemory();
    std::uint8_t Version = 28;
};

// Answers one complete request frame with a valid checksum (as FrameParser delivers
// them); a write-memory frame changes state.Memory. `sample` is asked only for live data.
// Frames of another command give no answer.
std::optional<Answer> Handle(std::span<const std::uint8_t> frame, ControllerState& state,
                             const std::function<LiveSample()>& sample);

}  // namespace sim
