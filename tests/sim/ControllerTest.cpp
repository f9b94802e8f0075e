// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/sim/HexBytes.h"
#include "tools/korvant-sim/Controller.h"

#include <gtest/gtest.h>

using namespace sim;

namespace {

LiveSample Lively()
{
    LiveSample sample;
    sample.Lambda = {1.0, 0.85, 1.2346, 70.0};  // the last one beyond the 16-bit range
    sample.Volts = 13.8;
    return sample;
}

LiveSample WarmingAtTheLimits()
{
    LiveSample sample;
    sample.Lambda = {-0.5, 0.0004, 0.0006, 65.535};
    sample.WarmingUp = true;
    sample.Volts = 16.0;
    return sample;
}

}  // namespace

struct ReplyCase {
    const char* Name;
    LiveSample (*Sample)();
    const char* Request;
    const char* Reply;
};

class SimControllerReplies : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(SimControllerReplies, AnswerByteForByte)
{
    const ReplyCase& c = GetParam();
    ControllerState state;
    state.Memory[0xFE] = 0xAB;
    state.Memory[0xFF] = 0xCD;
    const auto answer = Handle(Hex(c.Request), state, c.Sample);
    ASSERT_TRUE(answer);
    EXPECT_EQ(Hex(answer->Reply), c.Reply);
    EXPECT_TRUE(HasValidChecksum(answer->Reply));
    EXPECT_EQ(answer->Reply.size(), answer->Reply[1]);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, SimControllerReplies,
    ::testing::Values(
        //        name, live sample, request, reply
        ReplyCase{"Live", Lively, "C0 04 26 15",
                  "C0 11 26 03 E8 03 52 04 D3 FF FF 00 00 00 00 DC 17"},
        ReplyCase{"LiveWarmingClamped", WarmingAtTheLimits, "C0 04 26 15",
                  "C0 11 26 00 00 00 00 00 01 FF FF 00 01 00 00 FF 09"},
        ReplyCase{"Version", Lively, "C0 04 24 17", "C0 05 24 1C FA"},
        ReplyCase{"ReadSensorBlock1", Lively, "C0 06 60 10 10 B9",
                  "C0 16 60 10 10 03 E8 00 00 00 00 00 00 53 4E 30 30 31 00 00 00 8C"},
        ReplyCase{"ReadConfigBlock", Lively, "C0 06 60 00 20 B9",
                  "C0 26 60 00 20 00 00 04 00 00 00 00 00 00 00 04 01 00 00 00 00 "
                  "03 E8 00 00 00 00 00 00 53 4E 30 30 31 00 00 00 73"},
        ReplyCase{"ReadWrapsPastTheEnd", Lively, "C0 06 60 FE 04 D7", "C0 0A 60 FE 04 AB CD 00 00 5B"},
        ReplyCase{"WriteIsAcknowledged", Lively, "C0 08 62 10 02 03 E8 D8", "C0 06 62 10 02 C5"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SimController, DefaultMemoryHoldsDistinctChannelSettings)
{
    const MemoryImage memory = DefaultMemory();
    for (int channel = 1; channel <= 4; ++channel) {
        const int base = 0x10 * channel;
        EXPECT_EQ(memory[base] * 256 + memory[base + 1], 1000 + 5 * (channel - 1)) << channel;
        EXPECT_EQ(std::string(memory.begin() + base + 8, memory.begin() + base + 13),
                  "SN00" + std::to_string(channel));
    }
    EXPECT_EQ(memory[0x00] * 1024 + memory[0x01] * 576 + memory[0x02] * 256 + memory[0x03], 1024);
    EXPECT_EQ(memory[0x08] * 1024 + memory[0x09] * 576 + memory[0x0A] * 256 + memory[0x0B], 1025);
}

struct WriteCase {
    const char* Name;
    const char* Frame;
    int Address;       // where the following read starts
    const char* Data;  // what it then finds
};

class SimControllerWrites : public ::testing::TestWithParam<WriteCase> {};

TEST_P(SimControllerWrites, ChangeWhatALaterReadReturns)
{
    const WriteCase& c = GetParam();
    ControllerState state;
    const MemoryImage before = state.Memory;
    const auto live = [] { return LiveSample{}; };
    ASSERT_TRUE(Handle(Hex(c.Frame), state, live));

    const Bytes data = Hex(c.Data);
    const Bytes read = MakeFrame(kReadMemory, Bytes{static_cast<std::uint8_t>(c.Address),
                                                    static_cast<std::uint8_t>(data.size())});
    const auto answer = Handle(read, state, live);
    ASSERT_TRUE(answer);
    EXPECT_EQ(Hex(Bytes(answer->Reply.begin() + 5, answer->Reply.end() - 1)), Hex(data));

    // Nothing outside the written range moved.
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        changed += before[i] != state.Memory[i];
    EXPECT_LE(changed, data.size());
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SimControllerWrites,
    ::testing::Values(
        //        name, write frame, read address, data found
        WriteCase{"Calibration1", "C0 08 62 10 02 03 E8 D8", 0x10, "03 E8"},
        WriteCase{"Calibration4", "C0 08 62 40 02 12 34 4D", 0x40, "12 34"},
        WriteCase{"Serial1", "C0 0B 62 18 05 58 59 31 32 33 6E", 0x18, "58 59 31 32 33"},
        WriteCase{"CanAddress", "C0 08 62 02 02 07 FE CC", 0x00, "00 00 07 FE"},
        WriteCase{"WrapsToZero", "C0 09 62 FE 03 11 22 33 6D", 0xFE, "11 22 33"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SimController, IgnoresFramesItDoesNotKnow)
{
    ControllerState state;
    int asked = 0;
    const auto live = [&asked] {
        ++asked;
        return LiveSample{};
    };
    EXPECT_FALSE(Handle(MakeFrame(0x99, {}), state, live));
    EXPECT_FALSE(Handle(Hex("C0 07 62 10 02 00 00"), state, live));  // count beyond length
    EXPECT_EQ(asked, 0);
    ASSERT_TRUE(Handle(Hex("C0 04 24 17"), state, live));
    EXPECT_EQ(asked, 0);  // the waveforms advance only for live data
}

TEST(SimController, ReadCountIsCappedAtWhatTheLengthByteCanCarry)
{
    ControllerState state;
    const Bytes reply = ReadReply(state.Memory, 0x00, 0xFF);
    EXPECT_EQ(reply.size(), 255u);
    EXPECT_EQ(reply[1], 255);
    EXPECT_EQ(reply[4], kMaxReadCount);
    EXPECT_TRUE(HasValidChecksum(reply));
}

TEST(SimController, RawScalingRoundsAndClamps)
{
    EXPECT_EQ(LambdaRaw(0.9996), 1000);
    EXPECT_EQ(LambdaRaw(0.9994), 999);
    EXPECT_EQ(LambdaRaw(-1.0), 0);
    EXPECT_EQ(LambdaRaw(1e9), 65535);
    EXPECT_EQ(VoltsRaw(13.8), 220);
    EXPECT_EQ(VoltsRaw(12.0), 191);
    EXPECT_EQ(VoltsRaw(0.0), 0);
    EXPECT_EQ(VoltsRaw(99.0), 255);
}
