// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/sim/HexBytes.h"
#include "tools/korvant-sim/Protocol.h"

#include <gtest/gtest.h>

#include <random>

using namespace sim;
using namespace std::chrono_literals;

TEST(SimChecksum, MatchesTheKnownFrames)
{
    EXPECT_EQ(Checksum(Hex("C0 04 26")), 0x15);
    EXPECT_EQ(Checksum(Hex("C0 04 24")), 0x17);
    EXPECT_EQ(Checksum(Hex("C0 06 60 00 20")), 0xB9);
    EXPECT_EQ(Checksum(Hex("C0 06 60 10 10")), 0xB9);
    EXPECT_EQ(Checksum(Hex("")), 0xFF);
    EXPECT_TRUE(HasValidChecksum(Hex("C0 06 60 40 20 79")));
    EXPECT_FALSE(HasValidChecksum(Hex("C0 06 60 40 20 7A")));
}

TEST(SimMakeFrame, AddsStartLengthAndChecksum)
{
    EXPECT_EQ(Hex(MakeFrame(0x62, Hex("10 02 03 E8"))), "C0 08 62 10 02 03 E8 D8");
    EXPECT_EQ(Hex(MakeFrame(0x62, Hex("18 05 58 59 31 32 33"))), "C0 0B 62 18 05 58 59 31 32 33 6E");
    EXPECT_EQ(Hex(MakeFrame(0x26, {})), "C0 04 26 15");
    EXPECT_THROW(MakeFrame(0x62, Bytes(252)), std::length_error);
}

struct ParseCase {
    const char* Name;
    std::vector<const char*> Chunks;  // fed one after the other
    std::vector<const char*> Frames;  // expected, in order
    std::uint64_t Noise;
    std::uint64_t Bad;
    bool Waiting;  // a partial frame is left over
};

class SimFrameParserCases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(SimFrameParserCases, FindsEveryValidFrame)
{
    const ParseCase& c = GetParam();
    FrameParser parser;
    std::vector<std::string> frames;
    const auto now = Clock::now();
    for (const char* chunk : c.Chunks) {
        parser.Feed(Hex(chunk), now);
        while (auto frame = parser.Next())
            frames.push_back(Hex(*frame));
    }
    const std::vector<std::string> expected(c.Frames.begin(), c.Frames.end());
    EXPECT_EQ(frames, expected);
    EXPECT_EQ(parser.NoiseBytes(), c.Noise);
    EXPECT_EQ(parser.BadFrames(), c.Bad);
    EXPECT_EQ(parser.WaitingSince().has_value(), c.Waiting);
}

INSTANTIATE_TEST_SUITE_P(
    Stream, SimFrameParserCases,
    ::testing::Values(
        //       name, chunks, frames, noise, bad, waiting
        ParseCase{"Whole", {"C0 04 26 15"}, {"C0 04 26 15"}, 0, 0, false},
        ParseCase{"SplitInTwo", {"C0 04", "26 15"}, {"C0 04 26 15"}, 0, 0, false},
        ParseCase{"ByteByByte", {"C0", "06", "60", "10", "10", "B9"}, {"C0 06 60 10 10 B9"}, 0, 0, false},
        ParseCase{"NoiseBefore", {"00 FF 12 C0 04 24 17"}, {"C0 04 24 17"}, 3, 0, false},
        ParseCase{"TwoAndAPartial", {"C0 04 26 15 C0 04 24 17 C0 06"}, {"C0 04 26 15", "C0 04 24 17"}, 0, 0, true},
        ParseCase{"BadChecksumThenGood", {"C0 04 26 16 C0 04 26 15"}, {"C0 04 26 15"}, 3, 1, false},
        ParseCase{"StartByteInGarbage", {"C0 C0 04 26 15"}, {"C0 04 26 15"}, 0, 1, false},
        ParseCase{"LengthTooShort", {"C0 03 26 C0 04 26 15"}, {"C0 04 26 15"}, 2, 1, false},
        ParseCase{"UnknownCommand", {"C0 04 99 A2 C0 04 24 17"}, {"C0 04 24 17"}, 3, 1, false},
        ParseCase{"LengthWrongForCommand", {"C0 06 26 00 00 13 C0 04 26 15"}, {"C0 04 26 15"}, 5, 1, false},
        // A write whose count contradicts its length is dropped at once, so the request
        // behind it is not held back waiting for bytes that will never come.
        ParseCase{"WriteCountMismatch", {"C0 0A 62 10 02 C0 04 26 15"}, {"C0 04 26 15"}, 4, 1, false},
        ParseCase{"WriteAcrossChunks", {"C0 08 62", "10 02 03", "E8 D8"}, {"C0 08 62 10 02 03 E8 D8"}, 0, 0, false},
        ParseCase{"ReplyEchoIsNotARequest", {"C0 11 26 03 E8 03 52 04 D3 FF FF 00 00 00 00 DC 17"}, {}, 16, 1, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SimFrameParser, GivesUpAStalledPartialFrameOnlyAfterTheLimit)
{
    FrameParser parser;
    const auto start = Clock::now();
    // A plausible write header that never completes, with a live request behind it.
    parser.Feed(Hex("C0 0A 62 10 04"), start);
    parser.Feed(Hex("C0 04 26 15"), start + 10ms);
    EXPECT_FALSE(parser.Next());

    parser.Expire(start + 299ms, 300ms);
    EXPECT_FALSE(parser.Next());
    ASSERT_TRUE(parser.WaitingSince());

    parser.Expire(start + 300ms, 300ms);
    const auto frame = parser.Next();
    ASSERT_TRUE(frame);
    EXPECT_EQ(Hex(*frame), "C0 04 26 15");
    EXPECT_EQ(parser.BadFrames(), 1u);
    EXPECT_FALSE(parser.WaitingSince());
}

TEST(SimFrameParser, RandomBytesNeverYieldABadFrameNorGrowTheBuffer)
{
    std::mt19937 random(42);
    FrameParser parser;
    const auto now = Clock::now();
    const Bytes request = Hex("C0 04 26 15");
    std::size_t found = 0;
    for (int round = 0; round < 200; ++round) {
        Bytes chunk(random() % 64);
        for (auto& byte : chunk)
            byte = static_cast<std::uint8_t>(random() % 3 == 0 ? 0xC0 : random());
        if (round % 10 == 0)
            chunk.insert(chunk.end(), request.begin(), request.end());
        parser.Feed(chunk, now);
        while (auto frame = parser.Next()) {
            EXPECT_TRUE(HasValidChecksum(*frame));
            EXPECT_EQ(frame->size(), (*frame)[1]);
            ++found;
        }
        EXPECT_LT(parser.Buffered(), 256u);
        parser.Expire(now + 1s, 300ms);
    }
    // Garbage may hide a request only by swallowing its start into a longer frame; most
    // of the twenty planted requests come through.
    EXPECT_GE(found, 10u);
}
