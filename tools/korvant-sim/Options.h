// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tools/korvant-sim/Controller.h"
#include "tools/korvant-sim/Waveform.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace sim {

struct Poke {
    std::uint8_t Address = 0;
    Bytes Data;
};

// The lively default: four different shapes between 0.8 and 1.2.
std::array<Waveform, 4> DefaultWaveforms();

// The command line, checked. Memory files are read later by BuildMemory.
struct Options {
    bool Help = false;
    bool ShowVersion = false;  // --version: the stand-in's own; the firmware's is Version
    std::optional<int> Com;
    std::array<Waveform, 4> Lambda = DefaultWaveforms();
    double WarmupSeconds = 0;
    double Volts = 13.8;
    std::uint8_t Version = 28;
    std::optional<std::string> MemoryFile;
    std::vector<Poke> Pokes;
    std::optional<std::string> SaveFile;
    std::uint32_t Seed = 1;
    std::vector<std::string> Faults;  // as given, each already checked
    bool ExitOnEof = false;
    bool ExitOnHangup = false;
};

// Throws std::invalid_argument with a message for the user.
Options ParseOptions(std::span<const std::string> args);

// "CH=WAVE" with CH 1..4 or "all".
void ApplyLambdaOption(std::array<Waveform, 4>& lambda, std::string_view text);
// "28" (tenths) or "2.8".
std::uint8_t ParseVersion(std::string_view text);
// "ADDR=HEXBYTES", e.g. "0x00=000007FE".
Poke ParsePoke(std::string_view text);
double ParseVolts(std::string_view text);

// Defaults, then the memory file over the first bytes, then the pokes in order. Throws
// std::runtime_error naming the file.
MemoryImage BuildMemory(const Options& options);
// Writes all 256 bytes. Throws std::runtime_error naming the file.
void SaveMemory(const MemoryImage& memory, const std::string& path);

// The usage text printed by --help (the tool's README).
std::string_view HelpText();

}  // namespace sim
