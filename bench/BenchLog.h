// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

// The log the viewer benchmarks read: `lines` readings as TCsvLog writes them, ten a second
// from 08:00:00 on (past midnight too), the four channels moving like the stand-in's
// default waveforms. Written once per path and size; returns the path.
std::string BenchLogFile(size_t lines);
