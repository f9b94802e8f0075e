// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/sim/HexBytes.h"
#include "tools/korvant-sim/Faults.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace sim;
using namespace std::chrono_literals;

namespace {

const Bytes kLive = Hex("C0 11 26 03 E8 03 52 04 D3 FF FF 00 00 00 00 DC 17");
const Bytes kWarmLive = Hex("C0 11 26 00 00 00 00 00 01 FF FF 00 01 00 00 FF 09");
const Bytes kVersion = Hex("C0 05 24 1C FA");

ReplyShaper With(std::initializer_list<const char*> texts, Clock::time_point now,
                 std::uint32_t seed = 1)
{
    ReplyShaper shaper(seed);
    for (const char* text : texts)
        ApplyFault(shaper.Faults(), text, now);
    return shaper;
}

Bytes Joined(const std::vector<Chunk>& chunks)
{
    Bytes all;
    for (const Chunk& chunk : chunks)
        all.insert(all.end(), chunk.Data.begin(), chunk.Data.end());
    return all;
}

}  // namespace

TEST(SimReplyShaper, WithoutFaultsSendsTheReplyAtOnceAndTalliesIt)
{
    const auto now = Clock::now();
    ReplyShaper shaper(1);
    const auto live = shaper.Shape(RequestKind::Live, kLive, now);
    ASSERT_EQ(live.size(), 1u);
    EXPECT_EQ(live[0].Due, now);
    EXPECT_EQ(live[0].Data, kLive);
    EXPECT_EQ(live[0].Counts, Tally::LiveValid);
    EXPECT_EQ(shaper.Shape(RequestKind::Live, kWarmLive, now)[0].Counts, Tally::LiveWarmup);
    EXPECT_EQ(shaper.Shape(RequestKind::Version, kVersion, now)[0].Counts, Tally::None);
}

TEST(SimReplyShaper, CorruptsEveryNthLiveReplyOnly)
{
    const auto now = Clock::now();
    ReplyShaper shaper = With({"checksum:every:3"}, now);
    std::vector<Tally> tallies;
    for (int i = 0; i < 6; ++i) {
        const auto chunks = shaper.Shape(RequestKind::Live, kLive, now);
        tallies.push_back(chunks.back().Counts);
        EXPECT_EQ(HasValidChecksum(Joined(chunks)), chunks.back().Counts == Tally::LiveValid);
        // A version reply in between neither is corrupted nor shifts the count.
        EXPECT_EQ(Joined(shaper.Shape(RequestKind::Version, kVersion, now)), kVersion);
    }
    const std::vector<Tally> expected{Tally::LiveValid,   Tally::LiveValid, Tally::LiveCorrupt,
                                      Tally::LiveValid,   Tally::LiveValid, Tally::LiveCorrupt};
    EXPECT_EQ(tallies, expected);
}

TEST(SimReplyShaper, RandomCorruptionFollowsProbabilityAndSeed)
{
    const auto now = Clock::now();
    const auto pattern = [now](const char* text, std::uint32_t seed) {
        ReplyShaper shaper = With({text}, now, seed);
        std::string marks;
        for (int i = 0; i < 400; ++i)
            marks += shaper.Shape(RequestKind::Live, kLive, now).back().Counts == Tally::LiveCorrupt ? 'x' : '.';
        return marks;
    };
    EXPECT_EQ(pattern("checksum:0", 1), std::string(400, '.'));
    EXPECT_EQ(pattern("checksum:1", 1), std::string(400, 'x'));
    const std::string half = pattern("checksum:0.5", 3);
    EXPECT_EQ(half, pattern("checksum:0.5", 3));
    EXPECT_NE(half, pattern("checksum:0.5", 4));
    const auto corrupt = std::count(half.begin(), half.end(), 'x');
    EXPECT_GT(corrupt, 140);
    EXPECT_LT(corrupt, 260);
}

TEST(SimReplyShaper, SilenceWithholdsEverythingForItsDuration)
{
    const auto now = Clock::now();
    ReplyShaper timed = With({"silence:2"}, now);
    EXPECT_TRUE(timed.Silent(now));
    EXPECT_TRUE(timed.Shape(RequestKind::Version, kVersion, now + 1999ms).empty());
    EXPECT_FALSE(timed.Silent(now + 2s));
    EXPECT_EQ(timed.Shape(RequestKind::Version, kVersion, now + 2s).size(), 1u);

    ReplyShaper open = With({"silence"}, now);
    EXPECT_TRUE(open.Silent(now + 24h));
    ClearFault(open.Faults(), "silence");
    EXPECT_FALSE(open.Silent(now));
}

TEST(SimReplyShaper, SplitSendsTheRestLaterAndTalliesOnlyTheLastPart)
{
    const auto now = Clock::now();
    ReplyShaper halves = With({"split"}, now);
    const auto chunks = halves.Shape(RequestKind::Live, kLive, now);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].Data.size(), 8u);
    EXPECT_EQ(chunks[0].Due, now);
    EXPECT_EQ(chunks[0].Counts, Tally::None);
    EXPECT_EQ(chunks[1].Due, now + 150ms);
    EXPECT_EQ(chunks[1].Counts, Tally::LiveValid);
    EXPECT_EQ(Joined(chunks), kLive);

    ReplyShaper early = With({"split:40:3"}, now);
    const auto three = early.Shape(RequestKind::Live, kLive, now);
    ASSERT_EQ(three.size(), 2u);
    EXPECT_EQ(three[0].Data.size(), 3u);
    EXPECT_EQ(three[1].Due, now + 40ms);
}

TEST(SimReplyShaper, SlowSplitAndGarbageCombineInOrder)
{
    const auto now = Clock::now();
    ReplyShaper shaper = With({"slow:300", "split:100", "garbage:5"}, now);
    const auto chunks = shaper.Shape(RequestKind::Live, kLive, now);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].Due, now + 300ms);
    EXPECT_EQ(chunks[1].Due, now + 400ms);
    EXPECT_EQ(chunks[2].Due, now + 400ms);
    EXPECT_EQ(chunks[2].Data.size(), 5u);
    EXPECT_EQ(chunks[2].Counts, Tally::Garbage);
    const Bytes all = Joined(chunks);
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 17), kLive);
}

TEST(SimFaultSettings, DescriptionReadsBackAsTheSameSettings)
{
    const auto now = Clock::now();
    FaultSettings faults;
    for (const char* text : {"checksum:every:4", "split:120:5", "garbage:3", "slow:50"})
        ApplyFault(faults, text, now);
    const std::string text = DescribeFaults(faults, now);
    EXPECT_EQ(text, "checksum:every:4 split:120:5 garbage:3 slow:50");

    ClearFault(faults, "all");
    EXPECT_EQ(DescribeFaults(faults, now), "none");
}

class SimFaultTextErrors : public ::testing::TestWithParam<const char*> {};

TEST_P(SimFaultTextErrors, AreRejectedAndLeaveNothingHalfSet)
{
    FaultSettings faults;
    EXPECT_THROW(ApplyFault(faults, GetParam(), Clock::now()), std::invalid_argument);
    EXPECT_EQ(DescribeFaults(faults, Clock::now()), "none");
}

INSTANTIATE_TEST_SUITE_P(Texts, SimFaultTextErrors,
                         ::testing::Values("", "boom", "checksum", "checksum:1.5", "checksum:-0.1",
                                           "checksum:every:0", "checksum:each:3", "silence:x",
                                           "silence:-1", "split:abc", "split:100:0", "garbage",
                                           "garbage:-2", "slow", "slow:1.5", "hangup", "hangup:-1"));
