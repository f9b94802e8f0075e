// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The acquisition cycle through a real pseudo-terminal: the test plays the controller on
// the master side (or korvant-sim does), calls the live tick itself and watches what the
// displays are given.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "link/LivePoll.h"
#include "link/Protocol.h"
#include "serial/VaComm.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"

using namespace std::chrono_literals;

namespace {

// The main window's displays as the live poll sees them, recorded.
struct RecordingDisplays : ILiveDisplays {
    bool online = true;  // the mode switch
    std::array<float, 5> meters{0, 0.5f, 0.5f, 0.5f, 0.5f};
    std::array<float, 5> readouts{0, 0.5f, 0.5f, 0.5f, 0.5f};
    float volts = 0;
    bool onlineLed = false;
    bool warmupLed = false;
    bool logging = true;
    std::vector<std::array<float, 4>> log;
    int displayWrites = 0;

    bool OnlineButtonChecked() const override { return online; }
    void SetMeterValue(int c, float v) override { meters.at(static_cast<size_t>(c)) = v; ++displayWrites; }
    float MeterValue(int c) const override { return meters.at(static_cast<size_t>(c)); }
    void SetReadoutValue(int c, float v) override { readouts.at(static_cast<size_t>(c)) = v; ++displayWrites; }
    void SetVoltsValue(float v) override { volts = v; ++displayWrites; }
    void SetOnlineLed(bool on) override { onlineLed = on; }
    void SetWarmupLed(bool on) override { warmupLed = on; }
    bool Logging() const override { return logging; }
    void AppendLogLine(const std::array<float, 4>& m, TDateTime) override { log.push_back(m); }
};

std::string LiveReply(std::array<std::uint16_t, 4> raws, std::uint8_t warmup, std::uint8_t volts, bool corrupt = false)
{
    std::vector<std::uint8_t> r{0xC0, 0x11, 0x26};
    for (const std::uint16_t raw : raws) {
        r.push_back(static_cast<std::uint8_t>(raw >> 8));
        r.push_back(static_cast<std::uint8_t>(raw & 0xFF));
    }
    r.insert(r.end(), {0x00, warmup, 0x00, 0x00, volts});
    r.push_back(static_cast<std::uint8_t>(protocol::Checksum(r) ^ (corrupt ? 0x01 : 0x00)));
    return std::string(r.begin(), r.end());
}

const std::string kRequest("\xC0\x04\x26\x15", 4);

bool ProcessUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The program's serial component on a pseudo-terminal, wired to a live poll.
class LivePollTest : public testing::Test {
protected:
    LivePollTest()
    {
        port.SetDeviceName(pty.SlavePath());
        port.SetBaudrate(br19200);
        port.OnRxChar = [this](TObject* sender, std::int32_t count) {
            ++rxEvents;
            poll.VaComm1RxChar(sender, count);
        };
    }
    // A delivery still queued runs inside Close: close while the poll is alive.
    ~LivePollTest() override { port.Close(); }

    // One tick, and the request it sent as the controller receives it. The event loop runs
    // meanwhile, as it does between the window timer's ticks: the write thread reports each
    // drained queue there.
    std::string Tick()
    {
        poll.Timer2Timer(nullptr);
        std::string got;
        const size_t wanted = port.Active() && displays.online ? 4 : 0;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (got.size() < wanted && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            got += pty.Receive(wanted - got.size(), 10ms);
        }
        return got + pty.Drain(20ms);
    }

    // The controller answers; returns once the handler has taken all of it.
    void Answer(const std::string& bytes)
    {
        const int before = rxEvents;
        const int index = buffers.RxIndex;
        pty.Send(bytes);
        ASSERT_TRUE(ProcessUntil([&] {
            return rxEvents > before && (buffers.RxIndex - index >= static_cast<int>(bytes.size()) ||
                                         buffers.RxIndex > TReceiveBuffers::kLiveSize || !displays.online);
        }));
    }

    PseudoTerminal pty;
    TVaComm port{nullptr};
    TReceiveBuffers buffers;
    RecordingDisplays displays;
    TLivePoll poll{port, buffers, displays};
    int rxEvents = 0;
};

}  // namespace

TEST_F(LivePollTest, EveryTickSendsExactlyTheLiveRequest)
{
    port.Open();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Tick(), kRequest);
    EXPECT_EQ(pty.Drain(50ms), "");
}

TEST_F(LivePollTest, ValidReplyIsShownAndLoggedOnTheNextTick)
{
    port.Open();
    Tick();
    Answer(LiveReply({1000, 650, 1350, 65535}, 0, 0xCC));
    EXPECT_TRUE(displays.onlineLed);
    EXPECT_EQ(displays.meters[1], 0.5f) << "nothing is shown before the tick";
    Tick();
    EXPECT_EQ(displays.meters[1], 1.0f);
    EXPECT_EQ(displays.readouts[1], 1.0f);
    EXPECT_EQ(displays.meters[2], 0.65f);
    EXPECT_EQ(displays.meters[3], 1.35f);
    EXPECT_EQ(displays.meters[4], 65.535f);
    EXPECT_EQ(displays.readouts[4], 65.535f);
    EXPECT_EQ(displays.volts, static_cast<float>(12.799997952L));
    EXPECT_FALSE(displays.warmupLed);
    ASSERT_EQ(displays.log.size(), 1u);
    EXPECT_EQ(displays.log[0], (std::array<float, 4>{1.0f, 0.65f, 1.35f, 65.535f}));
}

TEST_F(LivePollTest, WarmupByteTwoCountsAsValid)
{
    port.Open();
    Tick();
    Answer(LiveReply({900, 900, 900, 900}, 2, 200));
    Tick();
    EXPECT_EQ(displays.meters[1], 0.9f);
    EXPECT_FALSE(displays.warmupLed);
    EXPECT_EQ(displays.log.size(), 1u);
}

TEST_F(LivePollTest, WarmupReplySetsEveryLambdaToOneAndLogsNothing)
{
    port.Open();
    displays.warmupLed = false;
    Tick();
    Answer(LiveReply({700, 800, 900, 1100}, 1, 255));
    Tick();
    for (int c = 1; c <= 4; ++c) {
        EXPECT_EQ(displays.meters[static_cast<size_t>(c)], 1.0f) << c;
        EXPECT_EQ(displays.readouts[static_cast<size_t>(c)], 1.0f) << c;
    }
    EXPECT_EQ(displays.volts, static_cast<float>(15.99999744L));
    EXPECT_TRUE(displays.warmupLed);
    EXPECT_TRUE(displays.log.empty());
}

TEST_F(LivePollTest, WrongChecksumChangesNothing)
{
    port.Open();
    Tick();
    Answer(LiveReply({1000, 1000, 1000, 1000}, 0, 200, true));
    Tick();
    EXPECT_EQ(displays.displayWrites, 0);
    EXPECT_TRUE(displays.log.empty());
    EXPECT_EQ(displays.meters[1], 0.5f);
}

TEST_F(LivePollTest, SilentControllerDarkensTheLampOnTheTenthTickAndNothingRepeats)
{
    port.Open();
    Tick();
    Answer(LiveReply({1000, 1000, 1000, 1000}, 0, 200));
    Tick();  // shows and logs the reply
    ASSERT_EQ(displays.log.size(), 1u);
    const int writes = displays.displayWrites;
    for (int tick = 2; tick <= 9; ++tick) {
        Tick();
        EXPECT_TRUE(displays.onlineLed) << "tick " << tick;
    }
    Tick();  // the tenth tick since the bytes came
    EXPECT_FALSE(displays.onlineLed);
    for (int tick = 11; tick <= 25; ++tick)
        Tick();
    EXPECT_EQ(displays.log.size(), 1u) << "an old reply is never logged again";
    EXPECT_EQ(displays.displayWrites, writes) << "the displays keep their last values";
    EXPECT_EQ(displays.meters[1], 1.0f);
}

TEST_F(LivePollTest, ReplySplitAcrossATickIsNotShown)
{
    port.Open();
    Tick();
    const std::string reply = LiveReply({1100, 1100, 1100, 1100}, 0, 200);
    Answer(reply.substr(0, 9));
    Tick();
    Answer(reply.substr(9));
    Tick();
    EXPECT_EQ(displays.displayWrites, 0);
    EXPECT_TRUE(displays.log.empty());
}

// The end of one reply and the start of the next hold every byte of a reply once, so
// they pass the checksum together; they must still not be shown.
TEST_F(LivePollTest, PiecesOfTwoRepliesAroundATickAreNotShown)
{
    port.Open();
    const std::string reply = LiveReply({1100, 1100, 1100, 1100}, 0, 200);
    Tick();
    Answer(reply.substr(0, 8));
    Tick();
    Answer(reply.substr(8) + reply.substr(0, 8));
    Tick();
    EXPECT_EQ(displays.displayWrites, 0);
    EXPECT_TRUE(displays.log.empty());
}

TEST_F(LivePollTest, BytesBeyondTheLiveBufferAreDropped)
{
    port.Open();
    Tick();
    const std::string reply = LiveReply({1200, 1200, 1200, 1200}, 0, 200);
    Answer(reply + reply);  // 34 bytes: the live buffer holds 30
    EXPECT_EQ(buffers.RxIndex, 31);
    EXPECT_EQ(buffers.Sensor1Array, decltype(buffers.Sensor1Array){});
    Tick();
    EXPECT_EQ(displays.meters[1], 1.2f) << "the first reply is whole and valid";
}

TEST_F(LivePollTest, ConfigurationModeDropsBytesWithoutTargetButLightsTheLamp)
{
    port.Open();
    displays.online = false;
    buffers.RxTarget = TReceiveBuffers::rtNone;
    buffers.RxIndex = 1;
    EXPECT_EQ(Tick(), "") << "no live request in configuration mode";
    EXPECT_FALSE(displays.onlineLed);
    pty.Send("\x01\x02\x03");
    ASSERT_TRUE(ProcessUntil([&] { return displays.onlineLed; }));
    EXPECT_EQ(buffers.NoDataCount, 1);
    EXPECT_EQ(port.ReadBufUsed(), 0) << "read and dropped";
    EXPECT_EQ(buffers.LiveArray, decltype(buffers.LiveArray){});
    EXPECT_EQ(buffers.Sensor3Array, decltype(buffers.Sensor3Array){});
    poll.Timer2Timer(nullptr);
    EXPECT_FALSE(displays.onlineLed) << "every tick of configuration mode clears it";
}

TEST_F(LivePollTest, ClosedPortTickSendsAndChangesNothing)
{
    displays.onlineLed = true;
    EXPECT_EQ(Tick(), "");
    EXPECT_TRUE(displays.onlineLed);
    EXPECT_EQ(buffers.NoDataCount, 0);
    EXPECT_EQ(buffers.RxIndex, 0);
    EXPECT_EQ(displays.displayWrites, 0);
}

TEST(TReceiveBuffers, StoresOnlyInsideTheSelectedBuffer)
{
    TReceiveBuffers b;
    const std::uint8_t bytes[] = {1, 2, 3};
    b.RxTarget = TReceiveBuffers::rtSensor2;
    b.Store(bytes, false);  // RxIndex not set yet: dropped
    EXPECT_EQ(b.Sensor2Array, decltype(b.Sensor2Array){});
    b.RxIndex = 49;
    b.Store(bytes, false);
    EXPECT_EQ(b.Sensor2Array[48], 1);
    EXPECT_EQ(b.Sensor2Array[49], 2);
    EXPECT_EQ(b.Sensor3Array[0], 0) << "the third byte went nowhere";
    EXPECT_EQ(b.RxIndex, 51);

    b.RxTarget = TReceiveBuffers::rtVersion;
    b.RxIndex = 1;
    b.Store(bytes, false);
    EXPECT_EQ(b.VersionArray[2], 3);
    b.ClearArray();
    EXPECT_EQ(b.Sensor2Array, decltype(b.Sensor2Array){});
    EXPECT_EQ(b.VersionArray[2], 3) << "ClearArray leaves the version buffer";
}

// The same cycle against the controller stand-in.
class LivePollSimTest : public testing::Test {
protected:
    ~LivePollSimTest() override { port.Close(); }

    void Start(const std::vector<std::string>& args)
    {
        sim = std::make_unique<SimProcess>(args);
        port.SetDeviceName(sim->DevicePath());
        port.SetBaudrate(br19200);
        port.OnRxChar = [this](TObject* sender, std::int32_t count) { poll.VaComm1RxChar(sender, count); };
        port.Open();
    }

    // n ticks, each answered by the stand-in before the next, then the tick that shows the
    // last answer.
    void TickAndWaitForReplies(int n)
    {
        for (int i = 0; i < n; ++i) {
            poll.Timer2Timer(nullptr);
            ASSERT_TRUE(ProcessUntil([&] { return buffers.LiveReceived >= 17; }));
        }
        poll.Timer2Timer(nullptr);
    }

    ScopedConfigHome home;
    std::unique_ptr<SimProcess> sim;
    TVaComm port{nullptr};
    TReceiveBuffers buffers;
    RecordingDisplays displays;
    TLivePoll poll{port, buffers, displays};
};

TEST_F(LivePollSimTest, ReadingsMatchTheStandIn)
{
    Start({"--lambda", "1=1.000", "--lambda", "2=0.650", "--lambda", "3=1.350", "--lambda", "4=0.987",
           "--volts", "12.8"});
    TickAndWaitForReplies(3);
    EXPECT_EQ(displays.meters[1], 1.0f);
    EXPECT_EQ(displays.meters[2], 0.65f);
    EXPECT_EQ(displays.meters[3], 1.35f);
    EXPECT_EQ(displays.meters[4], 0.987f);
    EXPECT_NEAR(displays.volts, 12.8f, 0.04f);
    EXPECT_EQ(displays.log.size(), 3u) << "the first tick had nothing to show";
}

TEST_F(LivePollSimTest, WarmingUpStandInLightsTheWarmupLamp)
{
    Start({"--lambda", "all=0.800", "--warmup", "3600"});
    TickAndWaitForReplies(2);
    EXPECT_TRUE(displays.warmupLed);
    EXPECT_EQ(displays.meters[1], 1.0f);
    EXPECT_TRUE(displays.log.empty());
    EXPECT_EQ(sim->Stats()["live_valid"], 0);
    EXPECT_GE(sim->Stats()["live_warmup"], 2);
}
