// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// korvant-bench-view FILE: the log viewer as korvant-view starts it, then the steps a user
// takes. It prints, one per line:
//   "opened MS"           reading the file (TLogWindow::Open)
//   "painted MS"          from its start (KORVANT_BENCH_T0, as korvant-bench-program) to the
//                         first painted picture of the log
//   "zoom MEAN MAX CPU"   a wheel step in, redrawn and painted, over 20 steps: the mean and
//                         the longest time, and the mean CPU time of this thread
//   "pan MEAN MAX CPU"    a tenth of the width later, likewise
//   "whole MEAN MAX CPU"  the whole log again from half of it, likewise, 5 times
//   "memory RSS PEAK"     resident memory in MB now, and its peak
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>

#include "bench/FirstPaint.h"
#include "charts/LambdaChart.h"
#include "charts/LogWindow.h"

namespace {

double StatusMb(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::string(field).size())) / 1024.0;
    }
    return -1;
}

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct TStepTime {
    double Ms = 0;
    double CpuMs = 0;
};

// One step, its redraw and the paint of the picture.
TStepTime Timed(TLogWindow& window, const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = ThreadCpuMs();
    step();
    QCoreApplication::processEvents();  // what the change of range asks for
    QCoreApplication::processEvents();  // the chart's own update of its items
    window.Chart->viewport()->repaint();
    return {static_cast<double>(timer.nsecsElapsed()) / 1e6, ThreadCpuMs() - cpu};
}

// Each step after `prepare`, which is not timed.
void Report(const char* name, TLogWindow& window, int steps, const std::function<void()>& step,
            const std::function<void()>& prepare = {})
{
    double sum = 0, most = 0, cpu = 0;
    for (int i = 0; i < steps; ++i) {
        if (prepare) {
            prepare();
            QCoreApplication::processEvents();
        }
        const TStepTime time = Timed(window, step);
        sum += time.Ms;
        most = std::max(most, time.Ms);
        cpu += time.CpuMs;
    }
    std::printf("%s %.2f %.2f %.2f\n", name, sum / steps, most, cpu / steps);
}

// What a user does once the log is shown, timed.
void TakeSteps(TLogWindow& w)
{
    std::printf("painted %.1f\n", MsSinceBenchStart());
    Report("zoom", w, 20, [&] {
        const auto [from, to] = w.Range();
        w.ZoomAt(0.8, (from + to) / 2);
    });
    Report("pan", w, 20, [&] { w.Pan(0.1); });
    Report("whole", w, 5, [&] { w.ShowWhole(); }, [&] { w.ZoomAt(0.5, w.Range().first); });
    std::printf("memory %.1f %.1f\n", StatusMb("VmRSS:"), StatusMb("VmHWM:"));
    std::fflush(stdout);
    QCoreApplication::quit();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    TLogWindow window;
    QElapsedTimer opening;
    opening.start();
    window.Open(QString::fromLocal8Bit(argv[1]));
    std::printf("opened %.1f\n", static_cast<double>(opening.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
    // The window frees the filter.
    window.Chart->viewport()->installEventFilter(new TFirstPaint([&window] { TakeSteps(window); }, &window));
    window.show();
    return QApplication::exec();
}
