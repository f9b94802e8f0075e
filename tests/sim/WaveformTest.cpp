// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Waveform.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using sim::Waveform;

struct ShapeCase {
    const char* Text;
    double Seconds;
    double Expected;
};

class SimWaveformShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(SimWaveformShapes, ValueAtTime)
{
    const ShapeCase& c = GetParam();
    Waveform wave = Waveform::Parse(c.Text);
    EXPECT_NEAR(wave.At(c.Seconds), c.Expected, 1e-9) << c.Text << " at " << c.Seconds;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SimWaveformShapes,
    ::testing::Values(
        //        text, seconds, value
        ShapeCase{"1.000", 0, 1.0},
        ShapeCase{"0.95", 1234.5, 0.95},
        ShapeCase{"sine:0.8:1.2:4", 0, 1.0},
        ShapeCase{"sine:0.8:1.2:4", 1, 1.2},
        ShapeCase{"sine:0.8:1.2:4", 3, 0.8},
        ShapeCase{"sine:0.8:1.2:4", 5, 1.2},  // the next period repeats
        ShapeCase{"triangle:0.8:1.2:4", 0, 0.8},
        ShapeCase{"triangle:0.8:1.2:4", 1, 1.0},
        ShapeCase{"triangle:0.8:1.2:4", 2, 1.2},
        ShapeCase{"triangle:0.8:1.2:4", 3, 1.0},
        ShapeCase{"ramp:0.8:1.2:4", 0, 0.8},
        ShapeCase{"ramp:0.8:1.2:4", 3, 1.1},
        ShapeCase{"ramp:0.8:1.2:4", 4, 0.8},
        ShapeCase{"square:0.8:1.2:4", 1.9, 0.8},
        ShapeCase{"square:0.8:1.2:4", 2.1, 1.2},
        ShapeCase{"walk:0.8:1.2:0.01", 0.05, 1.0}));  // starts midway

class SimWaveformErrors : public ::testing::TestWithParam<const char*> {};

TEST_P(SimWaveformErrors, AreRejectedWithAMessage)
{
    try {
        Waveform::Parse(GetParam());
        FAIL() << GetParam() << " was accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_GT(std::string(e.what()).size(), 10u);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, SimWaveformErrors,
                         ::testing::Values("", "abc", "1.0x", "nan", "inf", "sine", "sine:0.8:1.2",
                                           "sine:0.8:1.2:0", "sine:0.8:1.2:-1", "sine:1.2:0.8:5",
                                           "zigzag:0.8:1.2:5", "walk:0.8:1.2:0", "sine:0.8:1.2:5:9"));

TEST(SimWaveform, RandomWalkStaysInBoundsAndRepeatsForTheSameSeed)
{
    const auto run = [](std::uint32_t seed) {
        Waveform wave = Waveform::Parse("walk:0.9:1.1:0.05");
        wave.Seed(seed);
        std::vector<double> values;
        for (int tick = 0; tick < 6000; ++tick)
            values.push_back(wave.At(tick * 0.1));
        return values;
    };
    const auto first = run(7);
    for (const double value : first) {
        ASSERT_GE(value, 0.9);
        ASSERT_LE(value, 1.1);
    }
    EXPECT_EQ(first, run(7));
    EXPECT_NE(first, run(8));
    // It moves: a walk stuck at one value would be a constant.
    EXPECT_NE(first.front(), first.back());
}

TEST(SimWaveform, RandomWalkDependsOnTimeNotOnHowOftenItIsAsked)
{
    Waveform often = Waveform::Parse("walk:0.8:1.2:0.02");
    Waveform rarely = often;
    for (int tick = 0; tick <= 300; ++tick)
        often.At(tick * 0.1);
    EXPECT_EQ(often.At(30.0), rarely.At(30.0));
}
