// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/framework/Exception.h"

// Raised for a file that is not a log; the message names the file and the line.
class ELogFormatError : public Exception {
public:
    using Exception::Exception;
};

// Reads a CSV log as korvant and korvant-log write it (TCsvLog) once, from start to end:
// the two header lines, then one line per reading, with CR LF or LF line ends. Lines that
// are not a reading (cut short, overwritten, garbage) are skipped and counted. Memory
// stays the same whatever the size of the file.
class TLogScanner {
public:
    // The time of a reading is the second of its line, counted from midnight before the
    // first reading; a time earlier than the one before continues on the next day.
    using TSink = std::function<void(double second, const std::array<float, 4>& lambda)>;

    // Opens the file and checks its header lines. Raises EInOutError when it cannot be
    // read, ELogFormatError when it is not a log.
    explicit TLogScanner(const std::string& path);
    ~TLogScanner();
    TLogScanner(const TLogScanner&) = delete;
    TLogScanner& operator=(const TLogScanner&) = delete;

    const std::string& Path() const { return FPath; }
    std::uint64_t FileSize() const { return FFileSize; }

    // Hands every reading of the rest of the file to sink, in order.
    void Run(const TSink& sink);
    size_t Skipped() const { return FSkipped; }

private:
    // The next line without its line end; false at the end of the file. A line longer
    // than any reading comes back as its start, with whole cleared; the rest of it is
    // skipped unless `atOnce` (a header line: no need to read a file without line ends to
    // its end to know it is no log).
    bool NextLine(std::string_view& line, bool& whole, bool atOnce = false);
    // Reads more behind the unread rest; 0 at the end of the file.
    size_t Fill();
    [[noreturn]] void NotALog(const std::string& why) const;
    // Hands the reading of a data line to sink; false when the line is damaged.
    bool Take(std::string_view line, const TSink& sink);

    std::string FPath;
    int FFd = -1;
    std::uint64_t FFileSize = 0;
    std::string FBuffer;
    size_t FBegin = 0;  // the unread bytes are FBuffer[FBegin, FEnd)
    size_t FEnd = 0;
    std::string FCutStart;  // the start of an overlong line
    size_t FSkipped = 0;
    // The lines of one second share their time: its text is parsed once.
    std::string FLastTime;
    double FLastSecond = 0;
    int FLastTimeOfDay = -1;
    int FDay = 0;
};

// The time of the index-th of count readings whose lines share one second: spread evenly
// over it.
inline double SpreadOverSecond(double second, size_t index, size_t count)
{
    return second + static_cast<double>(index) / static_cast<double>(count);
}
