// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace sim {

// One channel's lambda over time. Syntax:
//   1.000                    constant
//   sine:LOW:HIGH:PERIOD     sine between LOW and HIGH, PERIOD in seconds
//   triangle:LOW:HIGH:PERIOD up and down linearly
//   ramp:LOW:HIGH:PERIOD     LOW up to HIGH, then back to LOW at once
//   square:LOW:HIGH:PERIOD   LOW for the first half of each period, HIGH for the second
//   walk:LOW:HIGH:STEP       bounded random walk: every 0.1 s a uniform step of at most
//                            STEP, reflected at the bounds, starting midway
// The random walk depends only on the seed and the time asked for, so two runs with the
// same seed report the same values at the same times.
class Waveform {
public:
    enum class Shape { Constant, Sine, Triangle, Ramp, Square, Walk };

    Waveform() = default;
    static Waveform Constant(double value);
    // Throws std::invalid_argument with a message naming the problem.
    static Waveform Parse(std::string_view text);

    void Seed(std::uint32_t seed);
    // Value at `seconds` since start. Times must not go backwards for a random walk (an
    // earlier time returns the current value).
    double At(double seconds);
    std::string Describe() const;
    Shape GetShape() const { return FShape; }

private:
    Shape FShape = Shape::Constant;
    double FLow = 1.0;
    double FHigh = 1.0;
    double FPeriod = 1.0;  // seconds, or the step size of a random walk

    std::mt19937 FRandom{1};
    long long FWalkSteps = 0;
    double FWalkValue = 1.0;
};

}  // namespace sim
