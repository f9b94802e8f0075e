// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <memory>
#include <string>

#include "log/LogSync.h"
#include "platform/framework/DateTime.h"

// The CSV log of live readings: two header lines, then one line per valid reading with the
// time of day and the four lambda values, each line ended by CR LF.
//
// Every line goes to the file as it is written, so a crash or kill of the program loses no
// reading that was already shown. A thread of its own (TLogSync) brings the file to its
// medium at most once a second, so a power loss loses at most the last second, and a slow
// medium never holds up the writer. A failing write or sync closes the log before it
// reports the failure, so a full disk or a removed stick is reported once and logging ends
// cleanly. Runs on the user-interface thread.
class TCsvLog {
public:
    TCsvLog() = default;
    ~TCsvLog();
    TCsvLog(const TCsvLog&) = delete;
    TCsvLog& operator=(const TCsvLog&) = delete;

    bool Logging() const { return FFd >= 0; }
    // The path of the last log started; kept after it stops.
    const std::string& LogFileName() const { return FLogFileName; }

    // Creates the file or empties an existing one and writes the header. Raises EInOutError
    // (and is not logging) when that fails.
    void Start(const std::string& path, TDateTime now = Now());
    // Appends the line of one reading. A failure, of this write or of a sync since the last
    // one, closes the log, then raises EInOutError.
    void WriteReading(const std::array<float, 4>& meters, TDateTime now = Now());
    // Closes the log, once what was written is on its medium; nothing when none is open.
    // Raises EInOutError when the last sync or the close failed (the log is closed then too).
    void Stop();

    // How the file is brought to its medium, from the next Start on; tests hold it to stand
    // for a slow medium.
    void SetSyncFunction(TLogSync::SyncFunction sync) { FSyncFunction = std::move(sync); }

    // kHeaderStart and the date in the locale's short date format.
    static std::string HeaderLine(TDateTime now);
    static constexpr const char* kHeaderStart = "KORVANT Log V1.0  ";
    static constexpr const char* kColumnLine = "Time, CH1, CH2, CH3, CH4";
    // Between the time and the values of a data line.
    static constexpr const char* kSeparator = ", ";
    // The time in the locale's long time format, then ", " and each value with three
    // decimals; the decimal separator is always "." so that no value splits into two fields.
    static std::string DataLine(TDateTime now, const std::array<float, 4>& meters);

private:
    void WriteLine(const std::string& line);
    [[noreturn]] void Fail(const std::string& what, int error);

    int FFd = -1;
    std::string FLogFileName;
    TLogSync::SyncFunction FSyncFunction = TLogSync::DataSync;
    std::unique_ptr<TLogSync> FSync;  // while FFd is open
};
