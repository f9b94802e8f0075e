// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What one reading costs the instruments: a meter's full paint against a value change that
// redraws only the pointer, and a readout's value change. Both draw into the control's
// off-screen image; showing it is the window system's share, measured with the program.
#include <benchmark/benchmark.h>

#include <time.h>

#include <iterator>

#include "app/DesignSettings.h"
#include "widgets/AbRMeter.h"
#include "widgets/AbVInd.h"

namespace {

// CPU time of the calling thread, which does all the drawing: unlike the wall clock it
// does not count the time other processes on the machine take.
double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Values a lambda meter sees from a running engine, so the pointer really moves.
constexpr float kLambdas[] = {0.82f, 0.97f, 1.04f, 1.21f, 0.91f, 1.13f, 0.88f, 1.00f};

void MeterFullPaint(benchmark::State& state)
{
    TAb270Meter meter(nullptr);
    SetUpLambdaMeter(meter, 0, 0, "LAMBDA CH1", "#0.000");
    if (meter.Width() != 273 || meter.Height() != 241)
        state.SkipWithError("the meter is not 273 x 241");
    meter.SetValue(1.0f);
    for (auto _ : state) {
        meter.Repaint();
        benchmark::DoNotOptimize(meter.Image().constBits());
    }
}
BENCHMARK(MeterFullPaint)->Unit(benchmark::kMicrosecond);

void MeterPointerUpdate(benchmark::State& state)
{
    TAb270Meter meter(nullptr);
    SetUpLambdaMeter(meter, 0, 0, "LAMBDA CH1", "#0.000");
    // A full paint timed here too, so the table shows how many pointer updates it costs.
    constexpr int kFullPaints = 200;
    double start = ThreadSeconds();
    for (int i = 0; i < kFullPaints; ++i)
        meter.Repaint();  // the last one leaves the background the pointer is drawn over
    const double fullPaint = (ThreadSeconds() - start) / kFullPaints;
    size_t i = 0;
    start = ThreadSeconds();
    for (auto _ : state) {
        meter.SetValue(kLambdas[i++ % std::size(kLambdas)]);
        benchmark::DoNotOptimize(meter.Image().constBits());
    }
    const double pointer = (ThreadSeconds() - start) / static_cast<double>(state.iterations());
    state.counters["full_paint_ratio"] = fullPaint / pointer;
}
BENCHMARK(MeterPointerUpdate)->Unit(benchmark::kMicrosecond);

void ValueIndUpdate(benchmark::State& state)
{
    TAbValueInd readout(nullptr);
    SetUpLambdaReadout(readout, 0, 0, "CH1 LAMBDA");
    readout.Repaint();
    size_t i = 0;
    for (auto _ : state) {
        readout.SetValue(kLambdas[i++ % std::size(kLambdas)]);
        benchmark::DoNotOptimize(readout.Image().constBits());
    }
}
BENCHMARK(ValueIndUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace
