// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Options.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <stdexcept>

using namespace sim;

namespace {

Options Parse(std::vector<std::string> args)
{
    return ParseOptions(args);
}

}  // namespace

TEST(SimOptions, DefaultsAreALivelyControllerWithoutFaults)
{
    Options options = Parse({});
    EXPECT_FALSE(options.Help);
    EXPECT_FALSE(options.Com);
    EXPECT_EQ(options.Version, 28);
    EXPECT_DOUBLE_EQ(options.Volts, 13.8);
    EXPECT_EQ(options.WarmupSeconds, 0);
    EXPECT_TRUE(options.Faults.empty());
    for (Waveform& wave : options.Lambda) {
        EXPECT_NE(wave.GetShape(), Waveform::Shape::Constant);
        for (double t = 0; t < 20; t += 0.1) {
            ASSERT_GE(wave.At(t), 0.8);
            ASSERT_LE(wave.At(t), 1.2);
        }
    }
}

TEST(SimOptions, ReadsEveryOptionInBothSpellings)
{
    Options options = Parse({"--com", "9", "--lambda=all=0.9", "--lambda", "3=sine:0.8:1.2:5",
                             "--warmup", "2.5", "--volts=12.0", "--firmware", "2.9", "--seed", "77",
                             "--memory", "image.bin", "--poke", "0x00=000007FE", "--save=out.bin",
                             "--fault", "split:100", "--fault=checksum:every:5", "--exit-on-eof",
                             "--exit-on-hangup"});
    EXPECT_EQ(options.Com, 9);
    EXPECT_EQ(options.Lambda[0].At(3), 0.9);
    EXPECT_EQ(options.Lambda[3].At(3), 0.9);
    EXPECT_EQ(options.Lambda[2].GetShape(), Waveform::Shape::Sine);
    EXPECT_EQ(options.WarmupSeconds, 2.5);
    EXPECT_EQ(options.Volts, 12.0);
    EXPECT_EQ(options.Version, 29);
    EXPECT_EQ(options.Seed, 77u);
    EXPECT_EQ(options.MemoryFile, "image.bin");
    ASSERT_EQ(options.Pokes.size(), 1u);
    EXPECT_EQ(options.Pokes[0].Address, 0x00);
    EXPECT_EQ(options.Pokes[0].Data, (Bytes{0x00, 0x00, 0x07, 0xFE}));
    EXPECT_EQ(options.SaveFile, "out.bin");
    EXPECT_EQ(options.Faults, (std::vector<std::string>{"split:100", "checksum:every:5"}));
    EXPECT_TRUE(options.ExitOnEof);
    EXPECT_TRUE(options.ExitOnHangup);
    EXPECT_TRUE(Parse({"--help"}).Help);
    EXPECT_TRUE(Parse({"--version"}).ShowVersion);
}

TEST(SimOptions, VersionInTenthsOrAsADecimal)
{
    EXPECT_EQ(ParseVersion("28"), 28);
    EXPECT_EQ(ParseVersion("2.8"), 28);
    EXPECT_EQ(ParseVersion("0.5"), 5);
    EXPECT_EQ(ParseVersion("125"), 125);
    EXPECT_EQ(ParseVersion("25.5"), 255);
}

struct BadOption {
    std::vector<std::string> Args;
    const char* Mentions;  // the message names what is wrong
};

class SimOptionErrors : public ::testing::TestWithParam<BadOption> {};

TEST_P(SimOptionErrors, AreRejectedWithAClearMessage)
{
    const BadOption& c = GetParam();
    try {
        ParseOptions(c.Args);
        FAIL() << "accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find(c.Mentions), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Args, SimOptionErrors,
    ::testing::Values(
        //        arguments, part of the message
        BadOption{{"--frobnicate"}, "unknown option '--frobnicate'"},
        BadOption{{"--com"}, "--com needs a value"},
        BadOption{{"--com", "0"}, "--com"},
        BadOption{{"--com", "COM9"}, "--com"},
        BadOption{{"--lambda", "5=1.0"}, "lambda channel"},
        BadOption{{"--lambda", "1.0"}, "CH=WAVE"},
        BadOption{{"--lambda", "1=wobble:1:2:3"}, "unknown waveform"},
        BadOption{{"--warmup", "-1"}, "--warmup"},
        BadOption{{"--volts", "20"}, "volts"},
        BadOption{{"--firmware", "26.0"}, "version"},
        BadOption{{"--firmware", "256"}, "version"},
        BadOption{{"--version=2.8"}, "the firmware version is --firmware"},
        BadOption{{"--poke", "0x100=00"}, "poke address"},
        BadOption{{"--poke", "0x10=ABC"}, "hex digits"},
        BadOption{{"--poke", "0x10"}, "ADDR=HEXBYTES"},
        BadOption{{"--seed", "-3"}, "--seed"},
        BadOption{{"--fault", "explode"}, "unknown fault"},
        BadOption{{"--help=yes"}, "takes no value"}));

TEST(SimOptions, MemoryFileThenPokesInOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string image = dir.filePath("image.bin").toStdString();
    {
        std::ofstream out(image, std::ios::binary);
        out.write("\x01\x02\x03\x04\x05\x06", 6);
    }
    Options options = Parse({"--poke", "0x01=AA", "--memory", image, "--poke", "0x02=BBCC", "--poke", "0xFF=DDEE"});
    const MemoryImage memory = BuildMemory(options);
    EXPECT_EQ(memory[0x01], 0xAA);  // pokes come after the file, whatever the order given
    EXPECT_EQ(memory[0x02], 0xBB);
    EXPECT_EQ(memory[0x03], 0xCC);
    EXPECT_EQ(memory[0x04], 0x05);  // from the file
    EXPECT_EQ(memory[0x05], 0x06);
    EXPECT_EQ(memory[0xFF], 0xDD);
    EXPECT_EQ(memory[0x00], 0xEE);  // a poke past the end wraps to address 0
    EXPECT_EQ(memory[0x10], DefaultMemory()[0x10]);  // beyond the file: defaults

    const std::string saved = dir.filePath("saved.bin").toStdString();
    SaveMemory(memory, saved);
    Options reload = Parse({"--memory", saved});
    EXPECT_EQ(BuildMemory(reload), memory);
}

TEST(SimOptions, UnusableMemoryFilesAreNamedInTheError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string missing = dir.filePath("missing.bin").toStdString();
    const std::string large = dir.filePath("large.bin").toStdString();
    {
        std::ofstream out(large, std::ios::binary);
        out << std::string(257, 'x');
    }
    for (const std::string& path : {missing, large}) {
        try {
            BuildMemory(Parse({"--memory", path}));
            FAIL() << path << " accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}

TEST(SimOptions, HelpNamesEveryOptionAndCommand)
{
    const std::string help(HelpText());
    for (const char* word : {"--com", "--lambda", "--warmup", "--volts", "--firmware", "--memory",
                             "--poke", "--save", "--seed", "--fault", "--exit-on-eof",
                             "--exit-on-hangup", "--help", "--version", "stats", "peek", "poke",
                             "hangup", "reopen", "quit", "checksum:every:N", "silence:SECONDS",
                             "split", "garbage:N", "slow:MS", "hangup:SECONDS", "walk:LOW:HIGH:STEP"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}
