// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>

namespace sim {

// Counts reported by the "stats" command. Replies count once their last byte has been
// written to the device, so a split reply counts when its second part is out and a reply
// lost to a hang-up never counts.
struct Stats {
    std::uint64_t LiveRequests = 0;  // live-data requests received
    std::uint64_t LiveValid = 0;     // live replies sent with a good checksum, warm-up flag 0
    std::uint64_t LiveWarmup = 0;    // live replies sent with a good checksum, warm-up flag 1
    std::uint64_t LiveCorrupt = 0;   // live replies sent with a wrong checksum
    std::uint64_t Silenced = 0;      // replies of any kind withheld by silence
    std::uint64_t Version = 0;       // version requests received
    std::uint64_t Read = 0;          // read-memory requests received
    std::uint64_t Write = 0;         // write-memory frames received
    std::uint64_t GarbageBytes = 0;  // garbage bytes sent
    std::uint64_t BadFrames = 0;     // start bytes dropped: bad length, command or checksum
    std::uint64_t NoiseBytes = 0;    // received bytes outside any frame
    std::uint64_t Hangups = 0;
    std::uint64_t Pending = 0;       // replies scheduled but not completely sent

    // key=value pairs separated by spaces.
    std::string Format() const;
};

}  // namespace sim
