// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Protocol.h"

#include <numeric>
#include <stdexcept>

namespace sim {

std::uint8_t Checksum(std::span<const std::uint8_t> bytes)
{
    const unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0u);
    return static_cast<std::uint8_t>(0xFF - (sum & 0xFF));
}

bool HasValidChecksum(std::span<const std::uint8_t> frame)
{
    return !frame.empty() && Checksum(frame.first(frame.size() - 1)) == frame.back();
}

Bytes MakeFrame(std::uint8_t command, std::span<const std::uint8_t> parameters)
{
    const std::size_t length = parameters.size() + 4;
    if (length > 0xFF)
        throw std::length_error("frame longer than 255 bytes");
    Bytes frame{kStartByte, static_cast<std::uint8_t>(length), command};
    frame.insert(frame.end(), parameters.begin(), parameters.end());
    frame.push_back(Checksum(frame));
    return frame;
}

void FrameParser::Feed(std::span<const std::uint8_t> bytes, Clock::time_point now)
{
    if (FBuffer.empty())
        FHeadSince = now;
    FLastFeed = now;
    FBuffer.insert(FBuffer.end(), bytes.begin(), bytes.end());
}

FrameParser::HeadState FrameParser::ExamineHead() const
{
    // The buffer starts with a start byte here.
    if (FBuffer.size() < 2)
        return HeadState::Partial;
    const std::size_t length = FBuffer[1];
    if (length < 4)
        return HeadState::Bad;
    if (FBuffer.size() >= 3) {
        // Checking the length against the command early keeps a stray start byte from
        // swallowing the requests behind it while it waits for a long frame.
        switch (FBuffer[2]) {
        case kLiveRequest:
        case kVersionRequest:
            if (length != 4)
                return HeadState::Bad;
            break;
        case kReadMemory:
            if (length != 6)
                return HeadState::Bad;
            break;
        case kWriteMemory:
            if (length < 6 || (FBuffer.size() >= 5 && length != 6u + FBuffer[4]))
                return HeadState::Bad;
            break;
        default:
            return HeadState::Bad;
        }
    }
    if (FBuffer.size() < length)
        return HeadState::Partial;
    return HasValidChecksum(std::span(FBuffer).first(length)) ? HeadState::Complete
                                                               : HeadState::Bad;
}

void FrameParser::DropHead(std::size_t count)
{
    FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(count));
    FHeadSince = FLastFeed;
}

std::optional<Bytes> FrameParser::Next()
{
    for (;;) {
        std::size_t noise = 0;
        while (noise < FBuffer.size() && FBuffer[noise] != kStartByte)
            ++noise;
        if (noise > 0) {
            FNoiseBytes += noise;
            DropHead(noise);
        }
        if (FBuffer.empty())
            return std::nullopt;
        switch (ExamineHead()) {
        case HeadState::Partial:
            return std::nullopt;
        case HeadState::Bad:
            ++FBadFrames;
            DropHead(1);
            break;
        case HeadState::Complete: {
            const std::size_t length = FBuffer[1];
            Bytes frame(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(length));
            DropHead(length);
            return frame;
        }
        }
    }
}

void FrameParser::Expire(Clock::time_point now, Clock::duration limit)
{
    if (FBuffer.empty() || now - FHeadSince < limit)
        return;
    ++FBadFrames;
    DropHead(1);
    FHeadSince = now;
}

std::optional<Clock::time_point> FrameParser::WaitingSince() const
{
    if (FBuffer.empty())
        return std::nullopt;
    return FHeadSince;
}

void FrameParser::Clear()
{
    FBuffer.clear();
}

}  // namespace sim
