// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QEvent>
#include <QObject>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <utility>

// For the benchmarks' program twins: milliseconds since KORVANT_BENCH_T0, the starter's
// steady clock in nanoseconds taken just before it started this process (-1 without it).
inline double MsSinceBenchStart()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const char* t0 = std::getenv("KORVANT_BENCH_T0");
    return t0 ? std::chrono::duration<double, std::milli>(now - std::chrono::nanoseconds(std::atoll(t0))).count() : -1;
}

// Installed as an event filter on a widget: calls painted once, when the widget's first
// paint has been handled and shown.
class TFirstPaint : public QObject {
public:
    TFirstPaint(std::function<void()> painted, QObject* parent) : QObject(parent), FPainted(std::move(painted)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !FSeen) {
            FSeen = true;
            QMetaObject::invokeMethod(this, FPainted, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> FPainted;
    bool FSeen = false;
};
