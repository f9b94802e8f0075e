// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Waveform.h"

#include "tools/korvant-sim/Parsing.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace sim {

namespace {

constexpr double kWalkInterval = 0.1;

// A uniform number in [-1, 1) from the generator's raw output, the same on every library
// (the standard distributions are not).
double UnitStep(std::mt19937& random)
{
    return static_cast<double>(random()) / 2147483648.0 - 1.0;
}

}  // namespace

Waveform Waveform::Constant(double value)
{
    Waveform wave;
    wave.FLow = wave.FHigh = value;
    return wave;
}

Waveform Waveform::Parse(std::string_view text)
{
    const auto parts = SplitColons(text);
    if (parts.size() == 1)
        return Constant(ParseNumber(parts[0], "lambda"));

    static constexpr std::pair<std::string_view, Shape> kShapes[] = {
        {"sine", Shape::Sine},     {"triangle", Shape::Triangle}, {"ramp", Shape::Ramp},
        {"square", Shape::Square}, {"walk", Shape::Walk},
    };
    Waveform wave;
    bool known = false;
    for (const auto& [name, shape] : kShapes) {
        if (parts[0] == name) {
            wave.FShape = shape;
            known = true;
        }
    }
    if (!known)
        throw std::invalid_argument("unknown waveform '" + std::string(parts[0]) +
                                    "' (constant, sine, triangle, ramp, square or walk)");
    if (parts.size() != 4)
        throw std::invalid_argument("waveform '" + std::string(text) + "' needs " +
                                    std::string(parts[0]) + ":LOW:HIGH:" +
                                    (wave.FShape == Shape::Walk ? "STEP" : "PERIOD"));
    wave.FLow = ParseNumber(parts[1], "waveform low value");
    wave.FHigh = ParseNumber(parts[2], "waveform high value");
    wave.FPeriod = ParseNumber(parts[3], wave.FShape == Shape::Walk ? "walk step" : "period");
    if (wave.FPeriod <= 0)
        throw std::invalid_argument(std::string(wave.FShape == Shape::Walk ? "walk step"
                                                                           : "period") +
                                    " must be above 0");
    if (wave.FLow > wave.FHigh)
        throw std::invalid_argument("waveform low value above its high value");
    wave.FWalkValue = (wave.FLow + wave.FHigh) / 2;
    return wave;
}

void Waveform::Seed(std::uint32_t seed)
{
    FRandom.seed(seed);
    FWalkSteps = 0;
    FWalkValue = (FLow + FHigh) / 2;
}

double Waveform::At(double seconds)
{
    const double phase = FShape == Shape::Walk || FShape == Shape::Constant
                             ? 0.0
                             : seconds / FPeriod - std::floor(seconds / FPeriod);
    const double span = FHigh - FLow;
    switch (FShape) {
    case Shape::Constant:
        return FLow;
    case Shape::Sine:
        return FLow + span * (0.5 + 0.5 * std::sin(2 * std::numbers::pi * phase));
    case Shape::Triangle:
        return FLow + span * (phase < 0.5 ? 2 * phase : 2 - 2 * phase);
    case Shape::Ramp:
        return FLow + span * phase;
    case Shape::Square:
        return phase < 0.5 ? FLow : FHigh;
    case Shape::Walk: {
        const auto steps = static_cast<long long>(std::floor(std::max(seconds, 0.0) / kWalkInterval));
        for (; FWalkSteps < steps; ++FWalkSteps) {
            double next = FWalkValue + FPeriod * UnitStep(FRandom);
            if (next > FHigh)
                next = 2 * FHigh - next;
            if (next < FLow)
                next = 2 * FLow - next;
            FWalkValue = std::clamp(next, FLow, FHigh);
        }
        return FWalkValue;
    }
    }
    return FLow;
}

std::string Waveform::Describe() const
{
    std::ostringstream out;
    static constexpr const char* kNames[] = {"constant", "sine", "triangle", "ramp", "square", "walk"};
    if (FShape == Shape::Constant)
        out << FLow;
    else
        out << kNames[static_cast<int>(FShape)] << ':' << FLow << ':' << FHigh << ':' << FPeriod;
    return out.str();
}

}  // namespace sim
