// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "history/LogScanner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "history/TimeOfDay.h"
#include "log/CsvLog.h"

namespace {

constexpr size_t kChunk = 1 << 20;
// Far longer than any line the log writes: a longer one is damage, never a reading.
constexpr size_t kMaxLine = 4096;
constexpr int kSecondsPerDay = 24 * 60 * 60;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What a message shows of a line: its start, with anything that is not plain text as '?'.
std::string Excerpt(std::string_view line)
{
    constexpr size_t kShown = 40;
    std::string text;
    for (const char c : line.substr(0, kShown))
        text += c >= 0x20 && c < 0x7F ? c : '?';
    return "\"" + text + (line.size() > kShown ? "...\"" : "\"");
}

// A value as the log writes it: digits, the decimal separator ("." or a locale's ","),
// three digits. The controller's values are thousandths from 0 to 65.535.
std::optional<float> ParseLambda(std::string_view text)
{
    if (text.size() < 5 || text.size() > 6 || (text[text.size() - 4] != '.' && text[text.size() - 4] != ','))
        return std::nullopt;
    long thousandths = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == text.size() - 4)
            continue;
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        thousandths = thousandths * 10 + (text[i] - '0');
    }
    if (thousandths > 65535)
        return std::nullopt;
    return static_cast<float>(thousandths) / 1000.0f;
}

}  // namespace

TLogScanner::TLogScanner(const std::string& path) : FPath(path), FBuffer(kChunk + kMaxLine + 1, '\0')
{
    do {
        FFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (FFd < 0 && errno == EINTR);
    if (FFd < 0)
        throw EInOutError("Cannot open log file " + path + ": " + std::strerror(errno));
    struct stat status {};
    if (::fstat(FFd, &status) == 0)
        FFileSize = static_cast<std::uint64_t>(status.st_size);

    std::string_view line;
    bool whole = true;
    if (!NextLine(line, whole, true))
        NotALog("the file is empty");
    if (line.starts_with(kByteOrderMark))
        line.remove_prefix(kByteOrderMark.size());
    if (!whole || !line.starts_with(TCsvLog::kHeaderStart))
        NotALog("line 1 does not begin with \"" + std::string(TCsvLog::kHeaderStart) + "\": " + Excerpt(line));
    if (!NextLine(line, whole, true))
        NotALog("it ends after line 1");
    if (!whole || line != TCsvLog::kColumnLine)
        NotALog("line 2 is not \"" + std::string(TCsvLog::kColumnLine) + "\": " + Excerpt(line));
}

TLogScanner::~TLogScanner()
{
    if (FFd >= 0)
        ::close(FFd);
}

void TLogScanner::NotALog(const std::string& why) const
{
    throw ELogFormatError(FPath + " is not a KORVANT log: " + why);
}

size_t TLogScanner::Fill()
{
    // The unread rest moves to the front; behind it there is room for a chunk.
    std::memmove(FBuffer.data(), FBuffer.data() + FBegin, FEnd - FBegin);
    FEnd -= FBegin;
    FBegin = 0;
    ssize_t n;
    do {
        n = ::read(FFd, FBuffer.data() + FEnd, FBuffer.size() - FEnd);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        throw EInOutError("Cannot read log file " + FPath + ": " + std::strerror(errno));
    FEnd += static_cast<size_t>(n);
    return static_cast<size_t>(n);
}

bool TLogScanner::NextLine(std::string_view& line, bool& whole, bool atOnce)
{
    bool overlong = false;
    for (;;) {
        const char* begin = FBuffer.data() + FBegin;
        if (const void* found = std::memchr(begin, '\n', FEnd - FBegin)) {
            const char* newline = static_cast<const char*>(found);
            FBegin += static_cast<size_t>(newline - begin) + 1;
            line = overlong ? std::string_view(FCutStart) : std::string_view(begin, static_cast<size_t>(newline - begin));
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            whole = !overlong;
            return true;
        }
        if (!overlong && FEnd - FBegin > kMaxLine) {
            overlong = true;
            FCutStart.assign(begin, 64);
            if (atOnce) {
                line = FCutStart;
                whole = false;
                return true;
            }
        }
        if (overlong)
            FBegin = FEnd;  // the rest of an overlong line is of no use
        if (Fill() == 0) {
            // A last line without a line end counts like the others: a reading cut short
            // while it was written does not fit the line format.
            if (!overlong && FBegin == FEnd)
                return false;
            line = overlong ? std::string_view(FCutStart) : std::string_view(FBuffer.data() + FBegin, FEnd - FBegin);
            FBegin = FEnd;
            whole = !overlong;
            return true;
        }
    }
}

void TLogScanner::Run(const TSink& sink)
{
    std::string_view line;
    bool whole = true;
    while (NextLine(line, whole)) {
        if (!whole || !Take(line, sink))
            ++FSkipped;
    }
}

bool TLogScanner::Take(std::string_view line, const TSink& sink)
{
    const std::string_view separator = TCsvLog::kSeparator;
    const size_t end = line.find(separator);
    if (end == std::string_view::npos)
        return false;
    std::array<float, 4> lambda{};
    std::string_view rest = line.substr(end + separator.size());
    for (size_t c = 0; c < 4; ++c) {
        const size_t next = c < 3 ? rest.find(separator) : rest.size();
        if (next == std::string_view::npos)
            return false;
        const auto value = ParseLambda(rest.substr(0, next));
        if (!value)
            return false;
        lambda[c] = *value;
        rest.remove_prefix(std::min(rest.size(), next + separator.size()));
    }
    const std::string_view time = line.substr(0, end);
    if (time != FLastTime) {
        const auto timeOfDay = ParseTimeOfDay(time);
        if (!timeOfDay)
            return false;
        if (*timeOfDay < FLastTimeOfDay)
            ++FDay;
        FLastTimeOfDay = *timeOfDay;
        FLastTime = time;
        FLastSecond = static_cast<double>(FDay) * kSecondsPerDay + *timeOfDay;
    }
    sink(FLastSecond, lambda);
    return true;
}
