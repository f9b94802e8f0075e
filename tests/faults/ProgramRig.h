// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "platform/framework/FormatFloat.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"

class TForm1;

// The whole program in-process against the controller stand-in linked as COM1, logging to
// a file of its own: what the fault tests and the soak run share. Messages the program
// would show in a box are collected instead.
//
// Everything runs on the calling (user-interface) thread; the caller runs the event loop.
class ProgramRig {
public:
    explicit ProgramRig(const std::vector<std::string>& simArguments);
    ~ProgramRig();
    ProgramRig(const ProgramRig&) = delete;
    ProgramRig& operator=(const ProgramRig&) = delete;

    TForm1& Form() { return FApp.Form1(); }
    SimProcess& Sim() { return *FSim; }
    const std::vector<std::string>& Messages() const { return FMessages; }

    // "Open Port" for port 1, as the COM port window does it; whether the port is open.
    bool OpenPort();
    // "Log Start" into the rig's file.
    void StartLog();
    const QString& LogPath() const { return FLogPath; }

    struct LogContents {
        size_t Readings = 0;  // data lines below the two header lines
        std::vector<std::string> BadLines;  // anything not shaped as a reading, or unterminated
    };
    LogContents ReadLog() const;

    // Resident memory of this process in kB.
    static long ResidentKb();

private:
    ScopedConfigHome FHome;
    ScopedFormatLocale FLocale;
    QTemporaryDir FDir;
    QString FLogPath;
    std::unique_ptr<SimProcess> FSim;
    TKorvantApplication FApp;
    std::vector<std::string> FMessages;
};
