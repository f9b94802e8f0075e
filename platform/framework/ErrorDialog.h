// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <string>

// Shows the application's errors in message boxes, one at a time, from the event loop.
//
// A message is never shown inside the code that reported it: it waits for the event loop,
// so a failure inside a serial delivery returns at once and the box's own event loop never
// runs inside that delivery (where closing the port would wait for itself). While a box is
// open or messages wait, a message equal to the one shown or to one waiting is dropped, so a
// failure that repeats on every timer tick never stacks boxes.
class TErrorDialog {
public:
    // Shows one message and returns when the user has closed it; tests replace it.
    using TShowBox = std::function<void(const std::string& Message)>;

    TErrorDialog();
    explicit TErrorDialog(TShowBox ShowBox);
    ~TErrorDialog();
    TErrorDialog(const TErrorDialog&) = delete;
    TErrorDialog& operator=(const TErrorDialog&) = delete;

    void SetShowBox(TShowBox ShowBox) { FShowBox = std::move(ShowBox); }

    // Makes Show the application exception handler, until destruction.
    void Install();

    void Show(const std::string& Message);
    bool Showing() const { return FShowing; }
    const std::deque<std::string>& Waiting() const { return FWaiting; }

    // The default box: a critical message box over the active window.
    static void MessageBox(const std::string& Message);

private:
    void ShowWaiting();

    TShowBox FShowBox;
    QObject FContext;  // queued calls die with the dialog
    bool FInstalled = false;
    bool FShowing = false;
    bool FScheduled = false;
    std::string FCurrent;
    std::deque<std::string> FWaiting;
};
