// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/Options.h"

#include "tools/korvant-sim/Faults.h"
#include "tools/korvant-sim/Parsing.h"
#include "tools/korvant-sim/SimHelpText.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace sim {

std::array<Waveform, 4> DefaultWaveforms()
{
    std::array<Waveform, 4> lambda{
        Waveform::Parse("sine:0.8:1.2:6"),
        Waveform::Parse("triangle:0.85:1.15:8"),
        Waveform::Parse("walk:0.8:1.2:0.01"),
        Waveform::Parse("square:0.95:1.05:4"),
    };
    return lambda;
}

void ApplyLambdaOption(std::array<Waveform, 4>& lambda, std::string_view text)
{
    const auto equals = text.find('=');
    if (equals == std::string_view::npos)
        throw std::invalid_argument("--lambda needs CH=WAVE, e.g. 1=0.95 or all=sine:0.8:1.2:5");
    const std::string_view channel = text.substr(0, equals);
    const Waveform wave = Waveform::Parse(text.substr(equals + 1));
    if (channel == "all") {
        lambda.fill(wave);
        return;
    }
    const auto index = ParseCount(channel, "lambda channel", 1, 4);
    lambda[index - 1] = wave;
}

std::uint8_t ParseVersion(std::string_view text)
{
    if (text.find('.') == std::string_view::npos)
        return static_cast<std::uint8_t>(ParseCount(text, "version", 0, 255));
    const double version = ParseNumber(text, "version");
    const double tenths = std::round(version * 10);
    if (tenths < 0 || tenths > 255)
        throw std::invalid_argument("version must be from 0.0 to 25.5");
    return static_cast<std::uint8_t>(tenths);
}

Poke ParsePoke(std::string_view text)
{
    const auto separator = text.find_first_of("= ");
    if (separator == std::string_view::npos)
        throw std::invalid_argument("poke needs ADDR=HEXBYTES, e.g. 0x00=000007FE");
    Poke poke;
    poke.Address = static_cast<std::uint8_t>(ParseCount(text.substr(0, separator), "poke address", 0, 255));
    poke.Data = ParseHexBytes(text.substr(separator + 1), "poke bytes");
    if (poke.Data.size() > 256)
        throw std::invalid_argument("poke bytes: more than 256");
    return poke;
}

double ParseVolts(std::string_view text)
{
    const double volts = ParseNumber(text, "volts");
    if (volts < 0 || volts > 16.5)
        throw std::invalid_argument("volts must be from 0 to 16.5");
    return volts;
}

Options ParseOptions(std::span<const std::string> args)
{
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto flag = [&] {
            if (inlineValue)
                throw std::invalid_argument(name + " takes no value");
        };
        const auto value = [&]() -> std::string {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= args.size())
                throw std::invalid_argument(name + " needs a value");
            return args[++i];
        };

        if (name == "--help" || name == "-h") {
            flag();
            options.Help = true;
        } else if (name == "--version") {
            if (inlineValue)
                throw std::invalid_argument("--version takes no value (the firmware version is --firmware)");
            options.ShowVersion = true;
        } else if (name == "--com") {
            options.Com = static_cast<int>(ParseCount(value(), "--com", 1, 255));
        } else if (name == "--lambda") {
            ApplyLambdaOption(options.Lambda, value());
        } else if (name == "--warmup") {
            const std::string text = value();
            options.WarmupSeconds = ParseNumber(text, "--warmup");
            if (options.WarmupSeconds < 0 || options.WarmupSeconds > 1e6)
                throw std::invalid_argument("--warmup must be from 0 to 1000000 seconds");
        } else if (name == "--volts") {
            options.Volts = ParseVolts(value());
        } else if (name == "--firmware") {
            options.Version = ParseVersion(value());
        } else if (name == "--memory") {
            options.MemoryFile = value();
        } else if (name == "--poke") {
            options.Pokes.push_back(ParsePoke(value()));
        } else if (name == "--save") {
            options.SaveFile = value();
        } else if (name == "--seed") {
            options.Seed = static_cast<std::uint32_t>(ParseCount(value(), "--seed", 0, 0xFFFFFFFFul));
        } else if (name == "--fault") {
            const std::string text = value();
            FaultSettings scratch;
            ApplyFault(scratch, text, Clock::now());
            options.Faults.push_back(text);
        } else if (name == "--exit-on-eof") {
            flag();
            options.ExitOnEof = true;
        } else if (name == "--exit-on-hangup") {
            flag();
            options.ExitOnHangup = true;
        } else {
            throw std::invalid_argument("unknown option '" + args[i] + "' (try --help)");
        }
    }
    return options;
}

MemoryImage BuildMemory(const Options& options)
{
    MemoryImage memory = DefaultMemory();
    if (options.MemoryFile) {
        const std::string& path = *options.MemoryFile;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read memory file " + path + ": " + std::strerror(errno));
        const Bytes data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (in.bad())
            throw std::runtime_error("cannot read memory file " + path);
        if (data.size() > memory.size())
            throw std::runtime_error("memory file " + path + " has " + std::to_string(data.size()) +
                                     " bytes, more than 256");
        StoreMemory(memory, 0, data);
    }
    for (const Poke& poke : options.Pokes)
        StoreMemory(memory, poke.Address, poke.Data);
    return memory;
}

void SaveMemory(const MemoryImage& memory, const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write memory file " + path + ": " + std::strerror(errno));
}

std::string_view HelpText()
{
    return kSimHelpText;
}

}  // namespace sim
