// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>

#include <chrono>
#include <functional>

// Runs the event loop until done() holds or the (generous) timeout passes.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(15))
{
    return QTest::qWaitFor(done, static_cast<int>(timeout.count()));
}

// Clicks an item of a window's menu bar where it is drawn.
inline void ClickMenu(QMainWindow& window, QAction* action)
{
    QMenuBar* bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(action).center());
}
