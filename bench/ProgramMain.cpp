// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// korvant-bench-program [--trend]: the program as RunKorvant starts it, plus what a user
// does first: "ComPort", port 1, "Open Port", and with --trend "Chart". It prints
// "painted MS" once the main window has been painted, MS counted from KORVANT_BENCH_T0
// (the starter's steady clock in nanoseconds, taken just before it started this process),
// then "ratio R", the main window's device pixel ratio (the screen scale it is drawn at),
// then "polling" or "not polling".
#include <QAction>
#include <QPushButton>
#include <QSpinBox>

#include <cstdio>
#include <cstring>

#include "app/Application.h"
#include "app/Unit1NC.h"
#include "app/Unit7.h"
#include "bench/FirstPaint.h"
#include "serial/VaComm.h"

namespace {

void StartPolling(TKorvantApplication& windows, bool trend)
{
    std::printf("painted %.1f\n", MsSinceBenchStart());
    std::printf("ratio %g\n", windows.Form1().devicePixelRatioF());
    TComPortForm& comPort = windows.ComPortForm();
    comPort.ComPortEdit1->setValue(1);
    comPort.Button1->click();
    if (trend)
        windows.Form1().Chart1->trigger();
    std::printf("%s\n", windows.Form1().VaComm().Active() ? "polling" : "not polling");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool trend = argc > 1 && std::strcmp(argv[1], "--trend") == 0;
    // Owned by the main window, which outlives the event loop.
    return RunKorvant(argc, argv, [trend](TKorvantApplication& windows) {
        windows.Form1().centralWidget()->installEventFilter(
            new TFirstPaint([&windows, trend] { StartPolling(windows, trend); }, &windows.Form1()));
    });
}
