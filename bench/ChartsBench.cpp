// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One step of the trend window on ten minutes of live history: decimated, handed to Qt
// Charts and painted, for the default minute and for ten minutes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

#include "charts/LambdaChart.h"
#include "charts/TrendWindow.h"
#include "history/ReadingRing.h"

namespace {

// Argument: the span's place in the window's choices (2: a minute, 4: ten minutes).
void TrendRefresh(benchmark::State& state)
{
    const auto ring = std::make_unique<TReadingRing>();
    const double now = SteadySeconds();
    for (size_t i = 0; i < TReadingRing::kCapacity; ++i) {
        const double t = now - 660 + static_cast<double>(i) / 10;
        const auto wave = [t](double period, double phase) {
            return static_cast<float>(1.0 + 0.2 * std::sin(t * 2 * M_PI / period + phase));
        };
        ring->Add(t, {wave(6, 0), wave(8, 1), wave(37, 2), wave(4, 3)});
    }
    TTrendWindow window(*ring, nullptr);
    window.SpanBox->setCurrentIndex(static_cast<int>(state.range(0)));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    window.RefreshTimer->stop();
    for (auto _ : state) {
        window.Refresh();
        QCoreApplication::processEvents();
        window.Chart->viewport()->repaint();
    }
}
BENCHMARK(TrendRefresh)->ArgName("span")->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
