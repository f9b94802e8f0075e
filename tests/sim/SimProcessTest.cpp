// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/sim/HexBytes.h"
#include "tests/sim/SerialEnd.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"
#include "tools/korvant-sim/Protocol.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

using sim::Bytes;
namespace fs = std::filesystem;

namespace {

const Bytes kLiveRequest = Hex("C0 04 26 15");
constexpr std::size_t kLiveLength = 17;

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string LinkTarget(const std::string& path)
{
    std::error_code error;
    return fs::read_symlink(path, error).string();
}

// Longer than the stand-in accepts as one command.
const char* LongLine()
{
    static const std::string line(5000, 'x');
    return line.c_str();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

// How a stand-in is told to end; each must remove its port link.
struct StopCase {
    const char* Name;
    int Signal;  // 0: the "quit" command
};

class SimPortLink : public ::testing::TestWithParam<StopCase> {};

TEST_P(SimPortLink, LinksComNToTheDeviceAndRemovesTheLinkOnExit)
{
    ScopedConfigHome home;
    const std::string link = home.PortDir() + "/COM9";
    SimProcess sim({"--com", "9"});
    EXPECT_EQ(LinkTarget(link), sim.DevicePath());
    EXPECT_EQ(sim.FirstLine(), "korvant-sim: serving " + sim.DevicePath() + " as COM9");

    if (GetParam().Signal != 0)
        sim.Signal(GetParam().Signal);
    else
        EXPECT_EQ(sim.Command("quit"), "ok bye");
    EXPECT_EQ(sim.WaitForExit(), 0);
    EXPECT_FALSE(Exists(link));
}

INSTANTIATE_TEST_SUITE_P(Endings, SimPortLink,
                         ::testing::Values(StopCase{"Terminate", SIGTERM}, StopCase{"Interrupt", SIGINT},
                                           StopCase{"Quit", 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SimPortLinkFiles, CreatesTheDirectoriesAndReplacesAStaleLink)
{
    ScopedConfigHome home;
    fs::remove_all(home.PortDir());
    {
        SimProcess sim({"--com", "3"});
        EXPECT_EQ(LinkTarget(home.PortDir() + "/COM3"), sim.DevicePath());
    }
    home.Link("COM3", "/nonexistent/ttyUSB7");
    SimProcess sim({"--com", "3"});
    EXPECT_EQ(LinkTarget(home.PortDir() + "/COM3"), sim.DevicePath());
}

TEST(SimPortLinkFiles, RefusesToReplaceAFileOrALinkToAnotherDevice)
{
    ScopedConfigHome home;
    const std::string file = home.PortDir() + "/COM4";
    std::ofstream(file) << "mine";
    home.Link("COM5", "/dev/null");

    const auto onFile = SimProcess::Run({"--com", "4"});
    EXPECT_EQ(onFile.ExitCode, 1);
    EXPECT_NE(onFile.Err.find(file + " exists and is not a symbolic link"), std::string::npos) << onFile.Err;
    EXPECT_EQ(ReadFile(file), "mine");

    const auto onLink = SimProcess::Run({"--com", "5"});
    EXPECT_EQ(onLink.ExitCode, 1);
    EXPECT_NE(onLink.Err.find("already links to /dev/null"), std::string::npos) << onLink.Err;
    EXPECT_EQ(LinkTarget(home.PortDir() + "/COM5"), "/dev/null");
}

struct BadArguments {
    std::vector<std::string> Args;
    const char* Mentions;
};

class SimCommandLine : public ::testing::TestWithParam<BadArguments> {};

TEST_P(SimCommandLine, BadOptionsExitWithCode2AndSayWhy)
{
    const auto result = SimProcess::Run(GetParam().Args);
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_TRUE(result.Out.empty()) << result.Out;
    EXPECT_NE(result.Err.find(std::string("korvant-sim: ") + GetParam().Mentions), std::string::npos)
        << result.Err;
}

INSTANTIATE_TEST_SUITE_P(
    Args, SimCommandLine,
    ::testing::Values(
        //           arguments, start of the message
        BadArguments{{"--nonsense"}, "unknown option '--nonsense'"},
        BadArguments{{"--com"}, "--com needs a value"},
        BadArguments{{"--lambda", "9=1.0"}, "lambda channel"},
        BadArguments{{"--fault", "checksum:every:0"}, "checksum every"},
        BadArguments{{"--memory", "/nonexistent/image.bin"}, "cannot read memory file /nonexistent/image.bin"}));

TEST(SimCommandLineHelp, ListsTheOptionsAndCommands)
{
    const auto result = SimProcess::Run({"--help"});
    EXPECT_EQ(result.ExitCode, 0);
    for (const char* word : {"--com N", "--lambda CH=WAVE", "--fault FAULT", "stats [reset]", "peek ADDR COUNT"})
        EXPECT_NE(result.Out.find(word), std::string::npos) << word;
}

// A stand-in on a private configuration home and the program's end of its device.
class SimDevice : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args)
    {
        FSim = std::make_unique<SimProcess>(args);
        FEnd = std::make_unique<SerialEnd>(FSim->DevicePath());
    }
    SimProcess& Sim() { return *FSim; }
    SerialEnd& End() { return *FEnd; }

    ScopedConfigHome FHome;
    std::unique_ptr<SimProcess> FSim;
    std::unique_ptr<SerialEnd> FEnd;
};

TEST_F(SimDevice, AnswersALiveRequestWithAValid17ByteReply)
{
    Start({"--lambda", "all=1.234", "--lambda", "2=0.95", "--volts", "12.0"});
    const Bytes reply = End().Ask(kLiveRequest, kLiveLength);
    ASSERT_EQ(reply.size(), kLiveLength);
    EXPECT_EQ(Hex(reply), "C0 11 26 04 D2 03 B6 04 D2 04 D2 00 00 00 00 BF " +
                              Hex(Bytes{sim::Checksum(std::span(reply).first(16))}));
    EXPECT_TRUE(sim::HasValidChecksum(reply));
    EXPECT_TRUE(End().ReadNow().empty());  // nothing beyond the reply
}

TEST_F(SimDevice, CommandsChangeWhatTheLiveReplyCarries)
{
    Start({"--lambda", "all=1.0", "--warmup", "1000"});
    EXPECT_EQ(End().Ask(kLiveRequest, kLiveLength)[12], 1);

    EXPECT_EQ(Sim().Command("warmup off"), "ok warmup off");
    EXPECT_EQ(Sim().Command("lambda 3 0.8"), "ok lambda 1 1 0.8 1");
    EXPECT_EQ(Sim().Command("volts 16"), "ok volts 16 raw 255");
    const Bytes reply = End().Ask(kLiveRequest, kLiveLength);
    ASSERT_EQ(reply.size(), kLiveLength);
    EXPECT_EQ(reply[12], 0);
    EXPECT_EQ(reply[7] * 256 + reply[8], 800);
    EXPECT_EQ(reply[15], 255);

    EXPECT_EQ(Sim().Command("warmup on"), "ok warmup on");
    EXPECT_EQ(End().Ask(kLiveRequest, kLiveLength)[12], 1);

    const auto stats = Sim().Stats();
    EXPECT_EQ(stats.at("live_warmup"), 2);
    EXPECT_EQ(stats.at("live_valid"), 1);
}

TEST_F(SimDevice, DefaultWaveformsStayBetween08And12)
{
    Start({});
    for (int i = 0; i < 5; ++i) {
        const Bytes reply = End().Ask(kLiveRequest, kLiveLength);
        ASSERT_EQ(reply.size(), kLiveLength);
        for (int channel = 0; channel < 4; ++channel) {
            const int raw = reply[3 + 2 * channel] * 256 + reply[4 + 2 * channel];
            EXPECT_GE(raw, 800);
            EXPECT_LE(raw, 1200);
        }
        EXPECT_EQ(reply[15], 220);  // 13.8 V
    }
}

TEST_F(SimDevice, AnswersTheVersionRequest)
{
    Start({"--firmware", "2.9"});
    EXPECT_EQ(Hex(End().Ask(Hex("C0 04 24 17"), 5)), "C0 05 24 1D F9");
    EXPECT_EQ(Sim().Command("version 31"), "ok version 31");
    EXPECT_EQ(End().Ask(Hex("C0 04 24 17"), 5)[3], 31);
}

TEST_F(SimDevice, ReadMemoryReturnsTheImageFromOffset5)
{
    Start({"--poke", "0x10=1234", "--poke", "0x18=4142434445", "--poke", "0x00=000007FE"});
    const Bytes sensor = End().Ask(Hex("C0 06 60 10 10 B9"), 22);
    ASSERT_EQ(sensor.size(), 22u);
    EXPECT_EQ(Hex(Bytes(sensor.begin() + 5, sensor.begin() + 7)), "12 34");
    EXPECT_EQ(std::string(sensor.begin() + 13, sensor.begin() + 18), "ABCDE");
    EXPECT_TRUE(sim::HasValidChecksum(sensor));

    const Bytes config = End().Ask(Hex("C0 06 60 00 20 B9"), 38);
    ASSERT_EQ(config.size(), 38u);
    EXPECT_EQ(Hex(Bytes(config.begin() + 5, config.begin() + 9)), "00 00 07 FE");
    EXPECT_EQ(Hex(Bytes(config.begin() + 13, config.begin() + 17)), "00 00 04 01");
}

TEST_F(SimDevice, WriteMemoryChangesTheImage)
{
    Start({});
    EXPECT_EQ(Hex(End().Ask(sim::MakeFrame(0x62, Hex("20 02 0B B8")), 6)),
              Hex(sim::MakeFrame(0x62, Hex("20 02"))));
    EXPECT_EQ(Sim().Command("peek 0x20 2"), "ok 0B B8");
    const Bytes read = End().Ask(sim::MakeFrame(0x60, Hex("20 10")), 22);
    ASSERT_EQ(read.size(), 22u);
    EXPECT_EQ(read[5], 0x0B);
    EXPECT_EQ(read[6], 0xB8);

    EXPECT_EQ(Sim().Command("poke 0x28 585931"), "ok poked 3");
    const Bytes after = End().Ask(sim::MakeFrame(0x60, Hex("20 10")), 22);
    ASSERT_EQ(after.size(), 22u);
    EXPECT_EQ(std::string(after.begin() + 13, after.begin() + 18), "XY102");  // over "SN002"
}

TEST_F(SimDevice, LoadsAndSavesTheMemoryImage)
{
    const std::string image = FHome.Path() + "/image.bin";
    const std::string saved = FHome.Path() + "/saved.bin";
    std::ofstream(image, std::ios::binary) << "\x11\x22\x33";
    Start({"--memory", image, "--save", saved});
    EXPECT_EQ(Hex(End().Ask(sim::MakeFrame(0x60, Hex("00 04")), 10)),
              Hex(sim::MakeFrame(0x60, Hex("00 04 11 22 33 00"))));
    End().Ask(sim::MakeFrame(0x62, Hex("FF 01 99")), 6);
    EXPECT_EQ(Sim().Command("save"), "ok saved " + saved);
    std::string bytes = ReadFile(saved);
    ASSERT_EQ(bytes.size(), 256u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0xFF]), 0x99);

    End().Ask(sim::MakeFrame(0x62, Hex("FE 01 77")), 6);
    EXPECT_EQ(Sim().Stop(), 0);  // saves on exit
    bytes = ReadFile(saved);
    ASSERT_EQ(bytes.size(), 256u);
    EXPECT_EQ(bytes.substr(0, 3), "\x11\x22\x33");
    EXPECT_EQ(static_cast<unsigned char>(bytes[0xFE]), 0x77);
}

TEST_F(SimDevice, KeepsServingWhenTheProgramClosesAndReopensTheDevice)
{
    Start({});
    ASSERT_EQ(End().Ask(kLiveRequest, kLiveLength).size(), kLiveLength);
    FEnd.reset();
    FEnd = std::make_unique<SerialEnd>(Sim().DevicePath());
    ASSERT_EQ(End().Ask(kLiveRequest, kLiveLength).size(), kLiveLength);
    FEnd.reset();
    EXPECT_EQ(Sim().Stats().at("hangups"), 0);
}

TEST_F(SimDevice, GivesUpAStalledPartialFrameAndAnswersTheRequestBehindIt)
{
    Start({});
    End().Write(Hex("C0 0A 62 10 04"));  // a write header whose data never comes
    const Bytes reply = End().Ask(kLiveRequest, kLiveLength);
    ASSERT_EQ(reply.size(), kLiveLength);
    EXPECT_TRUE(sim::HasValidChecksum(reply));
    const auto stats = Sim().Stats();
    EXPECT_EQ(stats.at("bad_frames"), 1);
    EXPECT_EQ(stats.at("write"), 0);
}

TEST_F(SimDevice, SurvivesRandomBytesAndStillAnswers)
{
    Start({});
    std::mt19937 random(2024);
    Bytes noise(20000);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random() % 4 == 0 ? 0xC0 : random());
    End().Write(noise);

    // Whatever the noise happened to contain gets answered too; keep asking until a live
    // reply turns up in what comes back.
    const auto hasLiveReply = [](const Bytes& bytes) {
        for (std::size_t i = 0; i + kLiveLength <= bytes.size(); ++i)
            if (bytes[i] == 0xC0 && bytes[i + 1] == 0x11 && bytes[i + 2] == 0x26 &&
                sim::HasValidChecksum(std::span(bytes).subspan(i, kLiveLength)))
                return true;
        return false;
    };
    Bytes received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!hasLiveReply(received) && std::chrono::steady_clock::now() < deadline) {
        End().Write(kLiveRequest);
        const Bytes more = End().Read(4096, std::chrono::milliseconds(500));
        received.insert(received.end(), more.begin(), more.end());
    }
    EXPECT_TRUE(hasLiveReply(received));
    EXPECT_GT(Sim().Stats().at("bad_frames"), 100);
}

TEST_F(SimDevice, StatsCountExactly)
{
    Start({"--warmup", "1000"});
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(End().Ask(kLiveRequest, kLiveLength).size(), kLiveLength);
    ASSERT_EQ(Sim().Command("warmup off"), "ok warmup off");
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(End().Ask(kLiveRequest, kLiveLength).size(), kLiveLength);
    ASSERT_EQ(End().Ask(Hex("C0 04 24 17"), 5).size(), 5u);
    ASSERT_EQ(End().Ask(Hex("C0 06 60 10 10 B9"), 22).size(), 22u);
    ASSERT_EQ(End().Ask(Hex("C0 08 62 10 02 03 E8 D8"), 6).size(), 6u);
    // Noise, a live request with a wrong checksum, then one more good request: the good
    // one is answered after the others were dealt with, so the counts are final.
    End().Write(Hex("00 11 22 C0 04 26 16"));
    ASSERT_EQ(End().Ask(kLiveRequest, kLiveLength).size(), kLiveLength);

    auto stats = Sim().Stats();
    const SimProcess::StatsMap expected{
        {"live_requests", 6}, {"live_valid", 4}, {"live_warmup", 2}, {"live_corrupt", 0},
        {"silenced", 0},      {"version", 1},    {"read", 1},        {"write", 1},
        {"garbage_bytes", 0}, {"bad_frames", 1}, {"noise_bytes", 6}, {"hangups", 0},
        {"pending", 0}};
    EXPECT_EQ(stats, expected);

    EXPECT_EQ(Sim().Command("stats reset").substr(0, 20), "ok live_requests=0 l");
    stats = Sim().Stats();
    for (const auto& [key, value] : stats)
        EXPECT_EQ(value, 0) << key;
}

// Each bad command gets one "error:" line, and the stand-in carries on serving.
struct BadCommand {
    const char* Name;
    const char* Line;
};

class SimBadCommands : public SimDevice, public ::testing::WithParamInterface<BadCommand> {};

TEST_P(SimBadCommands, AreAnsweredWithAnErrorLine)
{
    Start({});
    const std::string answer = Sim().Command(GetParam().Line);
    EXPECT_TRUE(answer.starts_with("error: ")) << answer;
    EXPECT_EQ(Sim().Command("fault"), "ok faults none");
    EXPECT_EQ(End().Ask(kLiveRequest, kLiveLength).size(), kLiveLength);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SimBadCommands,
    ::testing::Values(
        //         name, command line
        BadCommand{"Unknown", "frobnicate"},
        BadCommand{"PeekWithoutArguments", "peek"},
        BadCommand{"PeekBeyondMemory", "peek 0x100 1"},
        BadCommand{"PeekNothing", "peek 0 0"},
        BadCommand{"PeekTooMuch", "peek 0 257"},
        BadCommand{"PokeOddDigits", "poke 0x10 ABC"},
        BadCommand{"PokeWithoutBytes", "poke 0x10"},
        BadCommand{"LambdaChannel", "lambda 5 1.0"},
        BadCommand{"LambdaText", "lambda 1 sine:1"},
        BadCommand{"FaultHalfGood", "fault slow:10 explode"},  // leaves the faults as they were
        BadCommand{"FaultOffUnknown", "fault off nothing"},
        BadCommand{"Warmup", "warmup maybe"},
        BadCommand{"Volts", "volts x"},
        BadCommand{"Version", "version 300"},
        BadCommand{"StatsArgument", "stats now"},
        BadCommand{"SaveWithoutFile", "save"},
        BadCommand{"ReopenWhileServing", "reopen"},
        BadCommand{"HangupArgument", "hangup now"},
        BadCommand{"OverlongLine", LongLine()}),
    [](const auto& info) { return std::string(info.param.Name); });
