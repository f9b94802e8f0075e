// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Controller.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace sim {

namespace {

constexpr double kVoltsPerRaw = 0.01960784 * 3.2;

void PutWord(MemoryImage& memory, std::uint8_t address, std::uint16_t value)
{
    const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(value >> 8),
                                            static_cast<std::uint8_t>(value & 0xFF)};
    StoreMemory(memory, address, bytes);
}

std::uint8_t ClampedRound(double value, double high)
{
    return static_cast<std::uint8_t>(std::clamp(std::round(value), 0.0, high));
}

}  // namespace

MemoryImage DefaultMemory()
{
    MemoryImage memory{};
    PutWord(memory, 0x02, 1024);
    PutWord(memory, 0x0A, 1025);
    for (int channel = 1; channel <= 4; ++channel) {
        const auto base = static_cast<std::uint8_t>(0x10 * channel);
        PutWord(memory, base, static_cast<std::uint16_t>(1000 + 5 * (channel - 1)));
        const std::string serial = "SN00" + std::to_string(channel);
        StoreMemory(memory, static_cast<std::uint8_t>(base + 8),
                    std::span(reinterpret_cast<const std::uint8_t*>(serial.data()), serial.size()));
    }
    return memory;
}

void StoreMemory(MemoryImage& memory, std::uint8_t address, std::span<const std::uint8_t> data)
{
    for (std::size_t i = 0; i < data.size(); ++i)
        memory[(address + i) % memory.size()] = data[i];
}

std::uint16_t LambdaRaw(double lambda)
{
    if (std::isnan(lambda))
        return 0;
    return static_cast<std::uint16_t>(std::clamp(std::round(lambda * 1000.0), 0.0, 65535.0));
}

std::uint8_t VoltsRaw(double volts)
{
    if (std::isnan(volts))
        return 0;
    return ClampedRound(volts / kVoltsPerRaw, 255.0);
}

Bytes LiveReply(const LiveSample& sample)
{
    Bytes reply{kStartByte, 17, kLiveRequest};
    for (const double lambda : sample.Lambda) {
        const std::uint16_t raw = LambdaRaw(lambda);
        reply.push_back(static_cast<std::uint8_t>(raw >> 8));
        reply.push_back(static_cast<std::uint8_t>(raw & 0xFF));
    }
    reply.push_back(0);  // status
    reply.push_back(sample.WarmingUp ? 1 : 0);
    reply.push_back(0);
    reply.push_back(0);
    reply.push_back(VoltsRaw(sample.Volts));
    reply.push_back(Checksum(reply));
    return reply;
}

Bytes VersionReply(std::uint8_t tenths)
{
    const std::array<std::uint8_t, 1> parameters{tenths};
    return MakeFrame(kVersionRequest, parameters);
}

Bytes ReadReply(const MemoryImage& memory, std::uint8_t address, std::uint8_t count)
{
    const std::uint8_t sent = std::min(count, kMaxReadCount);
    Bytes parameters{address, sent};
    for (std::size_t i = 0; i < sent; ++i)
        parameters.push_back(memory[(address + i) % memory.size()]);
    return MakeFrame(kReadMemory, parameters);
}

Bytes WriteAck(std::uint8_t address, std::uint8_t count)
{
    const std::array<std::uint8_t, 2> parameters{address, count};
    return MakeFrame(kWriteMemory, parameters);
}

std::optional<Answer> Handle(std::span<const std::uint8_t> frame, ControllerState& state,
                             const std::function<LiveSample()>& sample)
{
    if (frame.size() < 4)
        return std::nullopt;
    switch (frame[2]) {
    case kLiveRequest:
        return Answer{RequestKind::Live, LiveReply(sample())};
    case kVersionRequest:
        return Answer{RequestKind::Version, VersionReply(state.Version)};
    case kReadMemory:
        if (frame.size() < 6)
            return std::nullopt;
        return Answer{RequestKind::Read, ReadReply(state.Memory, frame[3], frame[4])};
    case kWriteMemory: {
        if (frame.size() < 6 || frame.size() != 6u + frame[4])
            return std::nullopt;
        StoreMemory(state.Memory, frame[3], frame.subspan(5, frame[4]));
        return Answer{RequestKind::Write, WriteAck(frame[3], frame[4])};
    }
    default:
        return std::nullopt;
    }
}

}  // namespace sim
