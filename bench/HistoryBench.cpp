// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The history without windows: reading a log of a million lines, decimating it to a plot's
// columns, and a reading into the live ring.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/BenchLog.h"
#include "history/Decimation.h"
#include "history/LogData.h"
#include "history/ReadingRing.h"

namespace {

constexpr size_t kMillion = 1'000'000;
constexpr int kColumns = 880;  // about the viewer's plot

void LoadMillionLines(benchmark::State& state)
{
    const std::string path = BenchLogFile(kMillion);
    for (auto _ : state) {
        const TLogData data = LoadLog(path);
        benchmark::DoNotOptimize(data.Readings.data());
        state.counters["readings"] = static_cast<double>(data.Readings.size());
    }
}
BENCHMARK(LoadMillionLines)->Unit(benchmark::kMillisecond);

void DecimateMillionReadings(benchmark::State& state)
{
    const TLogData data = LoadLog(BenchLogFile(kMillion));
    const double from = data.Readings.front().Time;
    const double to = data.Readings.back().Time;
    for (auto _ : state) {
        const TDecimated out = Decimate(data.View(), {.From = from, .To = to, .Columns = kColumns, .MaxGap = 1});
        benchmark::DoNotOptimize(out.Points[0].data());
        state.counters["points_per_channel"] = static_cast<double>(out.Points[0].size());
    }
}
BENCHMARK(DecimateMillionReadings)->Unit(benchmark::kMillisecond);

// A minute of the trend: 600 readings of the live ring.
void DecimateTrendMinute(benchmark::State& state)
{
    const auto ring = std::make_unique<TReadingRing>();
    for (size_t i = 0; i < TReadingRing::kCapacity; ++i)
        ring->Add(static_cast<double>(i) / 10, {1.0f, 0.9f, 1.1f, 0.8f});
    const double now = ring->View().back().Time;
    for (auto _ : state) {
        const TDecimated out = Decimate(ring->View(), {.From = now - 60, .To = now, .Columns = kColumns, .MaxGap = 0.15,
                                                       .XOffset = -now});
        benchmark::DoNotOptimize(out.Points[0].data());
    }
}
BENCHMARK(DecimateTrendMinute)->Unit(benchmark::kMicrosecond);

void RingAdd(benchmark::State& state)
{
    const auto ring = std::make_unique<TReadingRing>();
    double t = 0;
    for (auto _ : state) {
        ring->Add(t, {1.0f, 0.9f, 1.1f, 0.8f});
        t += 0.1;
    }
}
BENCHMARK(RingAdd);

}  // namespace
