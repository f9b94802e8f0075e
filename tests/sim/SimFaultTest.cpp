// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/sim/HexBytes.h"
#include "tests/sim/SerialEnd.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"
#include "tools/korvant-sim/Protocol.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>

using sim::Bytes;
namespace fs = std::filesystem;

namespace {

const Bytes kLiveRequest = Hex("C0 04 26 15");
constexpr std::size_t kLiveLength = 17;

}  // namespace

// A stand-in with faults on a private configuration home, and the program's end of it.
class SimFaultInjection : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args)
    {
        FSim = std::make_unique<SimProcess>(args);
        FEnd = std::make_unique<SerialEnd>(FSim->DevicePath());
    }
    SimProcess& Sim() { return *FSim; }
    SerialEnd& End() { return *FEnd; }

    // Waits until the stand-in has taken in `requests` live requests.
    SimProcess::StatsMap SeenLiveRequests(long long requests)
    {
        auto stats = Sim().WaitForStats([&](const auto& s) { return s.at("live_requests") >= requests; });
        EXPECT_EQ(stats.at("live_requests"), requests);
        return stats;
    }

    ScopedConfigHome FHome;
    std::unique_ptr<SimProcess> FSim;
    std::unique_ptr<SerialEnd> FEnd;
};

TEST_F(SimFaultInjection, ChecksumEveryNthCorruptsExactlyThoseReplies)
{
    Start({"--fault", "checksum:every:2"});
    std::string marks;
    for (int i = 0; i < 4; ++i) {
        const Bytes reply = End().Ask(kLiveRequest, kLiveLength);
        ASSERT_EQ(reply.size(), kLiveLength);
        marks += sim::HasValidChecksum(reply) ? '.' : 'x';
    }
    EXPECT_EQ(marks, ".x.x");
    const auto stats = Sim().Stats();
    EXPECT_EQ(stats.at("live_valid"), 2);
    EXPECT_EQ(stats.at("live_corrupt"), 2);

    EXPECT_EQ(Sim().Command("fault off checksum"), "ok faults none");
    EXPECT_TRUE(sim::HasValidChecksum(End().Ask(kLiveRequest, kLiveLength)));
    EXPECT_EQ(Sim().Command("fault checksum:1"), "ok faults checksum:1");
    EXPECT_FALSE(sim::HasValidChecksum(End().Ask(kLiveRequest, kLiveLength)));
}

TEST_F(SimFaultInjection, RandomChecksumFaultsRepeatForTheSameSeed)
{
    const auto pattern = [this](const char* seed) {
        Start({"--seed", seed, "--fault", "checksum:0.5"});
        std::string marks;
        for (int i = 0; i < 24; ++i) {
            const Bytes reply = End().Ask(kLiveRequest, kLiveLength);
            EXPECT_EQ(reply.size(), kLiveLength);
            marks += sim::HasValidChecksum(reply) ? '.' : 'x';
        }
        const auto stats = Sim().Stats();
        EXPECT_EQ(stats.at("live_corrupt"), std::count(marks.begin(), marks.end(), 'x'));
        FEnd.reset();
        FSim.reset();
        return marks;
    };
    const std::string first = pattern("11");
    EXPECT_NE(first.find('x'), std::string::npos);
    EXPECT_NE(first.find('.'), std::string::npos);
    EXPECT_EQ(pattern("11"), first);
}

TEST_F(SimFaultInjection, SilenceAnswersNothingUntilTurnedOff)
{
    Start({"--fault", "silence"});
    End().Write(kLiveRequest);
    End().Write(sim::MakeFrame(0x62, Hex("10 02 0B B8")));  // still carried out, just not answered
    const auto stats = Sim().WaitForStats([](const auto& s) { return s.at("write") >= 1; });
    EXPECT_EQ(stats.at("live_requests"), 1);
    EXPECT_EQ(stats.at("silenced"), 2);
    // Replies are written before the stats are answered, so any would be here already.
    EXPECT_TRUE(End().ReadNow().empty());
    EXPECT_EQ(Sim().Command("peek 0x10 2"), "ok 0B B8");

    EXPECT_EQ(Sim().Command("fault off silence"), "ok faults none");
    EXPECT_TRUE(sim::HasValidChecksum(End().Ask(kLiveRequest, kLiveLength)));
    EXPECT_EQ(Sim().Stats().at("live_valid"), 1);
}

TEST_F(SimFaultInjection, SplitSendsTheFirstPartNowAndTheRestLater)
{
    // A long delay, so the test can look in between without racing the second part.
    Start({"--fault", "split:3000"});
    End().Write(kLiveRequest);
    const Bytes first = End().Read(8);
    ASSERT_EQ(first.size(), 8u);
    auto stats = Sim().Stats();
    EXPECT_EQ(stats.at("pending"), 1);
    EXPECT_EQ(stats.at("live_valid"), 0);  // not counted before the whole reply is out
    EXPECT_TRUE(End().ReadNow().empty());

    Bytes reply = first;
    const Bytes rest = End().Read(9);
    reply.insert(reply.end(), rest.begin(), rest.end());
    ASSERT_EQ(reply.size(), kLiveLength);
    EXPECT_TRUE(sim::HasValidChecksum(reply));
    stats = Sim().Stats();
    EXPECT_EQ(stats.at("live_valid"), 1);
    EXPECT_EQ(stats.at("pending"), 0);
}

TEST_F(SimFaultInjection, GarbageFollowsEachReply)
{
    Start({"--fault", "garbage:5"});
    for (int i = 0; i < 2; ++i) {
        const Bytes bytes = End().Ask(kLiveRequest, kLiveLength + 5);
        ASSERT_EQ(bytes.size(), kLiveLength + 5);
        EXPECT_TRUE(sim::HasValidChecksum(std::span(bytes).first(kLiveLength)));
    }
    const auto stats = Sim().Stats();
    EXPECT_EQ(stats.at("garbage_bytes"), 10);
    EXPECT_EQ(stats.at("live_valid"), 2);
}

TEST_F(SimFaultInjection, SlowRepliesComeLater)
{
    Start({"--fault", "slow:3000"});
    End().Write(kLiveRequest);
    const auto stats = SeenLiveRequests(1);
    EXPECT_EQ(stats.at("pending"), 1);
    EXPECT_EQ(stats.at("live_valid"), 0);
    EXPECT_TRUE(End().ReadNow().empty());
    EXPECT_TRUE(sim::HasValidChecksum(End().Read(kLiveLength)));
    EXPECT_EQ(Sim().Stats().at("live_valid"), 1);
}

TEST_F(SimFaultInjection, HangupEndsTheDeviceAndReopenServesANewOne)
{
    Start({"--com", "7"});
    const std::string link = FHome.PortDir() + "/COM7";
    const std::string oldPath = Sim().DevicePath();
    EXPECT_EQ(Sim().Command("hangup"), "ok hung up");
    EXPECT_TRUE(End().WaitForHangup());
    FEnd.reset();
    EXPECT_FALSE(fs::exists(oldPath));
    EXPECT_TRUE(fs::is_symlink(link));  // left pointing nowhere, like an unplugged adapter
    EXPECT_EQ(Sim().Command("device"), "ok none");

    const std::string answer = Sim().Command("reopen");
    EXPECT_EQ(answer, "ok serving " + Sim().DevicePath() + " as COM7");
    EXPECT_EQ(fs::read_symlink(link).string(), Sim().DevicePath());
    SerialEnd again(Sim().DevicePath());
    EXPECT_TRUE(sim::HasValidChecksum(again.Ask(kLiveRequest, kLiveLength)));
    EXPECT_EQ(Sim().Stats().at("hangups"), 1);
}

TEST_F(SimFaultInjection, ScheduledHangupHappensByItself)
{
    // Scheduled only once the device is open here, so it cannot beat the open.
    Start({});
    EXPECT_TRUE(Sim().Command("fault hangup:0.2").starts_with("ok faults hangup:"));
    EXPECT_TRUE(End().WaitForHangup());
    EXPECT_EQ(Sim().WaitForStats([](const auto& s) { return s.at("hangups") == 1; }).at("hangups"), 1);
}

TEST_F(SimFaultInjection, ExitOnHangupEndsTheStandInAndRemovesItsLink)
{
    Start({"--com", "8", "--exit-on-hangup"});
    EXPECT_EQ(Sim().Command("hangup"), "ok hung up");
    EXPECT_TRUE(End().WaitForHangup());
    EXPECT_EQ(Sim().WaitForExit(), 0);
    EXPECT_FALSE(fs::is_symlink(FHome.PortDir() + "/COM8"));
}

TEST_F(SimFaultInjection, CombinedFaultsStillDeliverEveryByteInOrder)
{
    Start({"--fault", "split:50:4", "--fault", "slow:20", "--fault", "garbage:3"});
    // Three requests at once: their delayed, split replies must not interleave.
    End().Write(Bytes{0xC0, 0x04, 0x26, 0x15, 0xC0, 0x04, 0x24, 0x17, 0xC0, 0x04, 0x26, 0x15});
    const Bytes bytes = End().Read(3 * 3 + 2 * kLiveLength + 5);
    ASSERT_EQ(bytes.size(), 3 * 3 + 2 * kLiveLength + 5);
    const std::span all(bytes);
    EXPECT_TRUE(sim::HasValidChecksum(all.subspan(0, kLiveLength)));
    EXPECT_EQ(Hex(Bytes(bytes.begin() + 20, bytes.begin() + 25)), "C0 05 24 1C FA");
    EXPECT_TRUE(sim::HasValidChecksum(all.subspan(28, kLiveLength)));
    const auto stats = Sim().WaitForStats([](const auto& s) { return s.at("pending") == 0; });
    EXPECT_EQ(stats.at("live_valid"), 2);
    EXPECT_EQ(stats.at("garbage_bytes"), 9);
}
