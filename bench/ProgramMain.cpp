// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// korvant-bench-program: the program as RunKorvant starts it, plus what a user does first:
// "ComPort", port 1, "Open Port". It prints "painted MS" once the main window has been
// painted, MS counted from KORVANT_BENCH_T0 (the starter's steady clock in nanoseconds,
// taken just before it started this process), then "polling" or "not polling".
#include <QEvent>
#include <QPushButton>
#include <QSpinBox>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/Application.h"
#include "app/Unit1NC.h"
#include "app/Unit7.h"
#include "serial/VaComm.h"

namespace {

class FirstPaint : public QObject {
public:
    FirstPaint(TKorvantApplication& windows, QObject* parent) : QObject(parent), FWindows(windows) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !FSeen) {
            FSeen = true;
            // Runs once the paint has been handled and shown.
            QMetaObject::invokeMethod(this, [this] { Painted(); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Painted()
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        const char* t0 = std::getenv("KORVANT_BENCH_T0");
        const double ms = t0 ? std::chrono::duration<double, std::milli>(now - std::chrono::nanoseconds(std::atoll(t0))).count() : -1;
        std::printf("painted %.1f\n", ms);
        TComPortForm& comPort = FWindows.ComPortForm();
        comPort.ComPortEdit1->setValue(1);
        comPort.Button1->click();
        std::printf("%s\n", FWindows.Form1().VaComm().Active() ? "polling" : "not polling");
        std::fflush(stdout);
    }

    TKorvantApplication& FWindows;
    bool FSeen = false;
};

}  // namespace

int main(int argc, char** argv)
{
    // Owned by the main window, which outlives the event loop.
    return RunKorvant(argc, argv, [](TKorvantApplication& windows) {
        windows.Form1().centralWidget()->installEventFilter(new FirstPaint(windows, &windows.Form1()));
    });
}
