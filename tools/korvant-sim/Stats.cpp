// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Stats.h"

namespace sim {

std::string Stats::Format() const
{
    const std::pair<const char*, std::uint64_t> fields[] = {
        {"live_requests", LiveRequests}, {"live_valid", LiveValid},
        {"live_warmup", LiveWarmup},     {"live_corrupt", LiveCorrupt},
        {"silenced", Silenced},          {"version", Version},
        {"read", Read},                  {"write", Write},
        {"garbage_bytes", GarbageBytes}, {"bad_frames", BadFrames},
        {"noise_bytes", NoiseBytes},     {"hangups", Hangups},
        {"pending", Pending},
    };
    std::string text;
    for (const auto& [key, value] : fields) {
        if (!text.empty())
            text += ' ';
        text += key;
        text += '=';
        text += std::to_string(value);
    }
    return text;
}

}  // namespace sim
