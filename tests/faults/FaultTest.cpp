// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program against a stand-in that misbehaves on request, with logging on. The live
// tick is driven by the test, each one only after the stand-in's answer to the previous
// request has arrived (or was withheld), so every case is exact: the log must hold one line
// per valid non-warm-up reply the stand-in counted, no more and no less.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/Unit1NC.h"
#include "link/LivePoll.h"
#include "serial/VaComm.h"
#include "tests/faults/ProgramRig.h"
#include "widgets/AbLED.h"
#include "widgets/AbRMeter.h"

using namespace std::chrono_literals;

namespace {

constexpr int kReplySize = 17;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 20s)
{
    return QTest::qWaitFor(done, static_cast<int>(timeout.count()));
}

class FaultTest : public testing::Test {
protected:
    void Start(const std::vector<std::string>& simArguments)
    {
        rig = std::make_unique<ProgramRig>(simArguments);
        Form().Timer2->stop();  // the test ticks
        ASSERT_TRUE(rig->OpenPort()) << Messages();
        rig->StartLog();
        ASSERT_TRUE(Form().Log().Logging()) << Messages();
    }

    TForm1& Form() { return rig->Form(); }
    SimProcess& Sim() { return rig->Sim(); }

    std::string Messages() const
    {
        std::string all;
        for (const std::string& m : rig->Messages())
            all += m + "\n";
        return all;
    }

    // Waits until the stand-in has taken `requests` live requests and written all it
    // scheduled, then until the program holds `stored` bytes since the last tick.
    void AwaitAnswer(long long requests, int stored)
    {
        // The event loop runs meanwhile, as between the window timer's ticks: the write
        // thread reports each drained queue there before it sends the next request.
        SimProcess::StatsMap stats;
        ASSERT_TRUE(WaitUntil([&] {
            stats = Sim().Stats();
            return stats.at("live_requests") >= requests && stats.at("pending") == 0;
        })) << "the stand-in took " << stats["live_requests"] << " requests, expected " << requests;
        ASSERT_EQ(stats.at("live_requests"), requests);
        ASSERT_TRUE(WaitUntil([&] { return Form().Buffers().RxIndex == 1 + stored; }))
            << "holds " << Form().Buffers().RxIndex - 1 << " bytes, expected " << stored;
    }

    // One tick whose answer arrives before the next: `stored` bytes land in the live buffer
    // (the reply, garbage behind it, capped by the buffer; 0 when the stand-in is silent).
    void Exchange(int stored)
    {
        Form().Timer2Timer();
        AwaitAnswer(++requests, stored);
    }

    // A last tick shows the last answer; its own request is withheld.
    void Finish()
    {
        ASSERT_EQ(Sim().Command("fault silence").rfind("ok", 0), 0u);
        Exchange(0);
    }

    // The log against the stand-in's count.
    void ExpectLogReconciles()
    {
        const auto stats = Sim().Stats();
        const ProgramRig::LogContents log = rig->ReadLog();
        EXPECT_EQ(static_cast<long long>(log.Readings), stats.at("live_valid"));
        EXPECT_TRUE(log.BadLines.empty()) << log.BadLines.front();
        EXPECT_TRUE(rig->Messages().empty()) << Messages();
    }

    std::unique_ptr<ProgramRig> rig;
    long long requests = 0;
};

// column: name, stand-in arguments, bytes stored per answered tick
struct ReplyFault {
    const char* name;
    std::vector<std::string> arguments;
    int stored;
};

void PrintTo(const ReplyFault& fault, std::ostream* out)
{
    *out << fault.name;
}

class ReplyFaultTest : public FaultTest, public testing::WithParamInterface<ReplyFault> {};

const ReplyFault kReplyFaults[] = {
    {"None", {}, kReplySize},
    {"GarbageBetweenReplies", {"--fault", "garbage:8"}, kReplySize + 8},
    {"GarbageFillingTheBuffer", {"--fault", "garbage:13"}, TReceiveBuffers::kLiveSize},
    {"WrongChecksums", {"--seed", "7", "--fault", "checksum:0.4"}, kReplySize},
    {"EveryOtherChecksumWrong", {"--fault", "checksum:every:2"}, kReplySize},
    {"ReplySplitBeforeTheNextTick", {"--fault", "split:40"}, kReplySize},
    {"SlowReplies", {"--fault", "slow:250"}, kReplySize},
    {"Combined", {"--seed", "3", "--fault", "checksum:0.3", "--fault", "split:30:5", "--fault", "garbage:4",
                  "--fault", "slow:20"}, kReplySize + 4},
};

}  // namespace

TEST_P(ReplyFaultTest, LogHoldsOneLinePerValidReply)
{
    const ReplyFault& fault = GetParam();
    Start(fault.arguments);
    for (int i = 0; i < 20; ++i)
        Exchange(fault.stored);
    Finish();
    ExpectLogReconciles();
    const auto stats = Sim().Stats();
    EXPECT_GT(stats.at("live_valid"), 0);
    EXPECT_EQ(stats.at("live_valid") + stats.at("live_corrupt"), 20);
}

INSTANTIATE_TEST_SUITE_P(Faults, ReplyFaultTest, testing::ValuesIn(kReplyFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FaultTest, SilenceDarkensTheLampAndLogsNothingMeanwhile)
{
    Start({});
    for (int i = 0; i < 5; ++i)
        Exchange(kReplySize);
    ASSERT_EQ(Sim().Command("fault silence").rfind("ok", 0), 0u);
    Exchange(0);  // shows the last reply
    const size_t before = rig->ReadLog().Readings;
    for (int i = 0; i < TLivePoll::kNoDataTicks + 2; ++i)
        Exchange(0);
    EXPECT_FALSE(Form().Online_LED1->Checked());
    EXPECT_EQ(rig->ReadLog().Readings, before) << "an old reply is never logged again";
    ASSERT_EQ(Sim().Command("fault off silence").rfind("ok", 0), 0u);
    for (int i = 0; i < 5; ++i)
        Exchange(kReplySize);
    EXPECT_TRUE(Form().Online_LED1->Checked());
    Finish();
    ExpectLogReconciles();
    EXPECT_EQ(Sim().Stats().at("live_valid"), 10);
}

// Warm-up replies are whole and valid but carry no reading: counted apart, never logged.
TEST_F(FaultTest, WarmUpRepliesAreNeverLogged)
{
    Start({});
    for (const char* warmup : {"warmup off", "warmup on", "warmup off"}) {
        ASSERT_EQ(Sim().Command(warmup).rfind("ok", 0), 0u);
        for (int i = 0; i < 5; ++i)
            Exchange(kReplySize);
    }
    Finish();
    ExpectLogReconciles();
    EXPECT_EQ(Sim().Stats().at("live_valid"), 10);
    EXPECT_EQ(Sim().Stats().at("live_warmup"), 5);
}

// A busy user-interface thread: the answer is in the driver's buffer, but its delivery has
// not run yet when the next tick comes. The tick must still count it as the answer to the
// previous request, or the reading and the answer to the next request are both lost.
TEST_F(FaultTest, ReplyWaitingForItsDeliveryAtTheTickIsNotLost)
{
    Start({});
    for (int i = 0; i < 3; ++i)
        Exchange(kReplySize);
    Form().Timer2Timer();
    ++requests;
    // No event loop meanwhile: the delivery of the answer waits. The request itself must
    // still leave whole (the write thread reports a drained queue only through this loop).
    const auto stats = Sim().WaitForStats([&](const SimProcess::StatsMap& s) {
        return s.at("live_valid") >= requests && s.at("pending") == 0;
    });
    ASSERT_EQ(stats.at("live_valid"), requests) << "the request did not reach the stand-in whole";
    ASSERT_EQ(Form().Buffers().RxIndex, 1) << "the answer was delivered already";
    Exchange(kReplySize);
    Exchange(kReplySize);
    Finish();
    ExpectLogReconciles();
    EXPECT_EQ(Sim().Stats().at("live_valid"), 6);
}

// A reply that straddles a tick is stored in two pieces around the index reset: the
// second piece of one reply followed by the first piece of the next. Together they hold
// every byte of a reply once, so they pass the checksum; they must still never be shown.
TEST_F(FaultTest, ReplySplitAcrossATickIsNeverShownNorLogged)
{
    constexpr int kFirstPiece = 8;
    Start({"--lambda", "all=0.950", "--fault", "split:1000:8"});
    for (int i = 0; i < 4; ++i) {
        Form().Timer2Timer();  // shows what the previous round left, if it were valid
        ASSERT_TRUE(WaitUntil([&] { return Form().Buffers().RxIndex == 1 + kFirstPiece; }));
        Form().Timer2Timer();  // falls between the pieces of that reply
        requests += 2;
        // The rest of that reply, then the whole of the next, in two pieces.
        AwaitAnswer(requests, 2 * kReplySize - kFirstPiece);
    }
    Form().Timer2Timer();
    for (TAb270Meter* meter : Form().Meters)
        EXPECT_EQ(meter->Value(), -92.9f) << "nothing was shown";
    EXPECT_EQ(rig->ReadLog().Readings, 0u);
    EXPECT_EQ(Sim().Stats().at("live_valid"), 8);
    EXPECT_TRUE(rig->Messages().empty()) << Messages();
}

// The stand-in hangs up between two ticks, after the last answer was shown: one message,
// the log keeps every line, and after "Open Port" the count goes on exactly.
TEST_F(FaultTest, HangUpLosesNoLineAndAddsNone)
{
    Start({"--lambda", "all=1.020"});
    for (int i = 0; i < 5; ++i)
        Exchange(kReplySize);
    Finish();
    ASSERT_EQ(Sim().Command("hangup").rfind("ok", 0), 0u);
    ASSERT_TRUE(WaitUntil([&] { return !rig->Messages().empty(); }));
    EXPECT_FALSE(Form().VaComm().Active());
    EXPECT_EQ(rig->Messages().size(), 1u);
    EXPECT_EQ(rig->ReadLog().Readings, 5u);
    Form().Timer2Timer();  // a tick without a port sends nothing
    EXPECT_EQ(Sim().Stats().at("live_requests"), requests);

    ASSERT_EQ(Sim().Command("reopen").rfind("ok", 0), 0u);
    ASSERT_EQ(Sim().Command("fault off").rfind("ok", 0), 0u);
    ASSERT_TRUE(rig->OpenPort());
    EXPECT_TRUE(Form().Log().Logging());
    for (int i = 0; i < 5; ++i)
        Exchange(kReplySize);
    Finish();
    const ProgramRig::LogContents log = rig->ReadLog();
    EXPECT_EQ(static_cast<long long>(log.Readings), Sim().Stats().at("live_valid"));
    EXPECT_EQ(log.Readings, 10u);
    EXPECT_TRUE(log.BadLines.empty());
    EXPECT_EQ(rig->Messages().size(), 1u);
}
