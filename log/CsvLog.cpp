// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/CsvLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "platform/framework/Exception.h"

TCsvLog::~TCsvLog()
{
    FSync.reset();
    if (FFd >= 0)
        ::close(FFd);
}

std::string TCsvLog::HeaderLine(TDateTime now)
{
    return kHeaderStart + DateToStr(now);
}

std::string TCsvLog::DataLine(TDateTime now, const std::array<float, 4>& meters)
{
    std::string line = TimeToStr(now);
    for (const float value : meters) {
        // to_chars ignores the C locale, which the application sets from the user's.
        char text[64];
        const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                          std::chars_format::fixed, 3);
        line += kSeparator;
        line.append(text, result.ptr);
    }
    return line;
}

void TCsvLog::Start(const std::string& path, TDateTime now)
{
    Stop();
    FLogFileName = path;
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw EInOutError("Cannot create log file " + path + ": " + std::strerror(errno));
    FFd = fd;
    FSync = std::make_unique<TLogSync>(FFd, FSyncFunction);
    WriteLine(HeaderLine(now));
    WriteLine(kColumnLine);
}

void TCsvLog::WriteReading(const std::array<float, 4>& meters, TDateTime now)
{
    if (FFd < 0)
        return;
    if (const int error = FSync->Failure())
        Fail("write", error);
    WriteLine(DataLine(now, meters));
}

void TCsvLog::Stop()
{
    if (FFd < 0)
        return;
    const int syncError = FSync->Finish();
    FSync.reset();
    const int fd = FFd;
    FFd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw EInOutError("Cannot close log file " + FLogFileName + ": " + std::strerror(errno));
    if (syncError != 0)
        throw EInOutError("Cannot write log file " + FLogFileName + ": " + std::strerror(syncError));
}

void TCsvLog::WriteLine(const std::string& line)
{
    const std::string bytes = line + "\r\n";
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(FFd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail("write", n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    FSync->Written();
}

void TCsvLog::Fail(const std::string& what, int error)
{
    FSync.reset();
    ::close(FFd);
    FFd = -1;
    throw EInOutError("Cannot " + what + " log file " + FLogFileName + ": " + std::strerror(error));
}
