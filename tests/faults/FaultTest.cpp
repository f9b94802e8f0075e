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
#include <thread>
#include <vector>

#include <QLineEdit>
#include <QPushButton>

#include "app/Unit1NC.h"
#include "app/Unit2.h"
#include "config/ConfigSequence.h"
#include "link/LivePoll.h"
#include "serial/VaComm.h"
#include "tests/faults/ProgramRig.h"
#include "widgets/AbLED.h"
#include "widgets/AbNumEdit.h"
#include "widgets/AbRMeter.h"
#include "widgets/AbVInd.h"

using namespace std::chrono_literals;

namespace {

constexpr int kReplySize = 17;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 20s)
{
    return QTest::qWaitFor(done, static_cast<int>(timeout.count()));
}

// The same while this thread stays busy: no delivery runs meanwhile.
bool WaitWithoutEventLoop(const std::function<bool()>& done, std::chrono::milliseconds timeout = 20s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);  // a pause between checks
    }
    return true;
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
    // Written by the stand-in is not yet readable here: the pseudo-terminal passes it on a
    // moment later, which a loaded machine stretches.
    ASSERT_TRUE(WaitWithoutEventLoop([&] { return Form().VaComm().ReadBufUsed() >= kReplySize; }))
        << "the answer did not arrive";
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

namespace {

// What comes between a reply's arrival and the next live tick.
enum class Interruption { PortOpenedAgain, ConfigurationRead, DeviceGoneAndBack };

// column: name, interruption, messages it shows
struct OldReplyCase {
    const char* name;
    Interruption interruption;
    size_t messages;
};

void PrintTo(const OldReplyCase& c, std::ostream* out)
{
    *out << c.name;
}

class OldReplyTest : public FaultTest, public testing::WithParamInterface<OldReplyCase> {
protected:
    void Interrupt(Interruption interruption)
    {
        switch (interruption) {
        case Interruption::PortOpenedAgain:
            ASSERT_TRUE(rig->OpenPort()) << Messages();
            break;
        case Interruption::ConfigurationRead: {
            TConfigForm& config = *Form().ConfigForm;
            config.ShowWindow();
            config.Button1->click();
            ASSERT_TRUE(WaitUntil([&] { return !config.Sequence().Running(); }));
            config.close();
            ASSERT_TRUE(Form().OnlineButtonChecked());
            break;
        }
        case Interruption::DeviceGoneAndBack:
            ASSERT_EQ(Sim().Command("hangup").rfind("ok", 0), 0u);
            ASSERT_TRUE(WaitUntil([&] { return !rig->Messages().empty() && !Form().VaComm().Active(); }));
            ASSERT_EQ(Sim().Command("reopen").rfind("ok", 0), 0u);
            ASSERT_TRUE(rig->OpenPort()) << Messages();
            break;
        }
    }
};

}  // namespace

// A reply came in after the last tick, then live polling was interrupted; the controller
// stays silent afterwards. That reply answered a request from before the interruption and
// must never be shown or logged as a reading of the new time.
TEST_P(OldReplyTest, IsNeitherShownNorLoggedAfterwards)
{
    Start({"--lambda", "all=1.000"});
    for (int i = 0; i < 3; ++i)
        Exchange(kReplySize);
    ASSERT_EQ(Sim().Command("lambda all 1.234").rfind("ok", 0), 0u);
    Exchange(kReplySize);  // shows 1.000; the reply of 1.234 waits in the live buffer
    ASSERT_EQ(Sim().Command("fault silence").rfind("ok", 0), 0u);
    const size_t logged = rig->ReadLog().Readings;
    ASSERT_EQ(logged, 3u);

    Interrupt(GetParam().interruption);
    for (int i = 0; i < 3; ++i)
        Exchange(0);
    for (size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(Form().Meters[c]->Value(), 1.0f) << "meter " << c + 1;
        EXPECT_EQ(Form().ValueInds[c]->Value(), 1.0f) << "readout " << c + 1;
    }
    EXPECT_EQ(rig->ReadLog().Readings, logged);
    EXPECT_EQ(rig->Messages().size(), GetParam().messages) << Messages();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, OldReplyTest,
    testing::Values(OldReplyCase{"PortOpenedAgain", Interruption::PortOpenedAgain, 0},
                    OldReplyCase{"ConfigurationRead", Interruption::ConfigurationRead, 0},
                    OldReplyCase{"DeviceGoneAndBack", Interruption::DeviceGoneAndBack, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The busy window of the live tick's delayed-delivery case, during the configuration read:
// the answer to one block's request waits for its delivery when the next step sends the
// next request. It must still land in the block it answers, or channel 1's calibration and
// serial number would show up as channel 2's (and channel 1 empty).
TEST_F(FaultTest, ConfigurationReplyWaitingForItsDeliveryFillsItsOwnBlock)
{
    constexpr int kSensor1Reply = 6 + 16;
    Start({"--poke", "0x10=03E8", "--poke", "0x18=5859313233", "--poke", "0x20=1234", "--poke", "0x28=4142434445"});
    TConfigForm& config = *Form().ConfigForm;
    config.ShowWindow();
    config.Button1->click();
    Form().Timer1->stop();  // the test steps the read
    config.Timer1Timer();   // the request of channel 1's block
    // No event loop meanwhile: the delivery of the answer waits.
    ASSERT_TRUE(WaitWithoutEventLoop([&] { return Form().VaComm().ReadBufUsed() >= kSensor1Reply; }))
        << "the answer did not arrive";
    ASSERT_EQ(Form().Buffers().RxIndex, 1) << "the answer was delivered already";
    config.Timer1Timer();  // the request of channel 2's block
    Form().Timer1->start();
    ASSERT_TRUE(WaitUntil([&] { return !config.Sequence().Running(); }));
    EXPECT_EQ(config.AbNumEdits[0]->text(), "1000");
    EXPECT_EQ(config.SensorSN_Edits[0]->text(), "XY123");
    EXPECT_EQ(config.AbNumEdits[1]->text(), "4660");
    EXPECT_EQ(config.SensorSN_Edits[1]->text(), "ABCDE");
    EXPECT_TRUE(rig->Messages().empty()) << Messages();
}
