// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "history/LogData.h"
#include "history/LogScanner.h"
#include "history/LogSummary.h"
#include "log/CsvLog.h"
#include "platform/framework/FormatFloat.h"

namespace {

const std::string kHeader = "KORVANT Log V1.0  10/12/2026\r\nTime, CH1, CH2, CH3, CH4\r\n";

double Seconds(int h, int m, int s)
{
    return (h * 60 + m) * 60 + s;
}

// column: name, file contents, readings, damaged lines, times of the readings (seconds
// from midnight), the error's text for a file that is not a log
struct FileCase {
    const char* name;
    std::string contents;
    size_t readings;
    size_t skipped;
    std::vector<double> times;
    const char* error;
};

void PrintTo(const FileCase& c, std::ostream* out)
{
    *out << c.name;
}

const double k1427 = Seconds(14, 3, 27);

const FileCase kFiles[] = {
    {"TwentyFourHoursSharingSeconds",
     kHeader + "14:03:27, 0.998, 1.020, 0.987, 1.000\r\n14:03:27, 0.999, 1.021, 0.988, 1.001\r\n"
               "14:03:27, 1.000, 1.022, 0.989, 1.002\r\n14:03:28, 1.001, 1.023, 0.990, 1.003\r\n"
               "14:03:28, 1.002, 1.024, 0.991, 1.004\r\n",
     5, 0, {k1427, k1427 + 1.0 / 3, k1427 + 2.0 / 3, k1427 + 1, k1427 + 1.5}, nullptr},
    {"TwelveHoursWithMarkers",
     kHeader + "11:59:59 AM, 1.000, 1.000, 1.000, 1.000\r\n12:00:00 PM, 1.000, 1.000, 1.000, 1.000\r\n"
               "1:00:00 PM, 1.000, 1.000, 1.000, 1.000\r\n",
     3, 0, {Seconds(11, 59, 59), Seconds(12, 0, 0), Seconds(13, 0, 0)}, nullptr},
    {"PastMidnight",
     kHeader + "11:59:59 PM, 1.000, 1.000, 1.000, 1.000\r\n11:59:59 PM, 1.000, 1.000, 1.000, 1.000\r\n"
               "12:00:00 AM, 1.000, 1.000, 1.000, 1.000\r\n12:00:01 AM, 1.000, 1.000, 1.000, 1.000\r\n",
     4, 0, {86399, 86399.5, 86400, 86401}, nullptr},
    {"LineFeedsOnly",
     "KORVANT Log V1.0  10/12/2026\nTime, CH1, CH2, CH3, CH4\n14:03:27, 0.998, 1.020, 0.987, 1.000\n"
     "14:03:28, 0.998, 1.020, 0.987, 1.000\n",
     2, 0, {k1427, k1427 + 1}, nullptr},
    {"DamagedLinesAreSkipped",
     kHeader + "14:03:27, 0.998, 1.020, 0.987, 1.000\r\n"
               "14:03:27, 0.998, 1.020, 0.98\r\n"            // cut short, then the next line
               "14:03:2" + std::string(300, '\0') + "\r\n"    // zeros of a lost block
               "14:03:27, 0.998, 1.020, 0.987, 1.000, 1.000\r\n"  // a field too many
               "14:03:27, 0.998, 1.02, 0.987, 1.000\r\n"      // two decimals
               "14:03:27, -0.998, 1.020, 0.987, 1.000\r\n"    // no such reading
               "14:03:27, 65.536, 1.020, 0.987, 1.000\r\n"    // beyond the controller's range
               "14:03:27,0.998,1.020,0.987,1.000\r\n"         // not the log's separator
               "14:93:27, 0.998, 1.020, 0.987, 1.000\r\n"     // no such time
               + std::string(10000, 'x') + "\r\n"             // overlong
               "\r\n"
               "14:03:28, 65.535, 0.000, 0.987, 1.000\r\n"
               "14:03:28, 0.998, 1.020, 0.9",  // the last line, cut off while it was written
     2, 11, {k1427, k1427 + 1}, nullptr},
    {"CommaDecimalsAndAByteOrderMark",
     "\xEF\xBB\xBF" + kHeader + "14:03:27, 0,998, 1,020, 0,987, 1,000\r\n14:03:28, 0.998, 1.020, 0.987, 1.000",
     2, 0, {k1427, k1427 + 1}, nullptr},
    {"HeaderOnly", kHeader, 0, 0, {}, nullptr},
    {"Empty", "", 0, 0, {}, "is not a KORVANT log: the file is empty"},
    {"Binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0", 20) + std::string(5000, '\x7f'), 0, 0, {},
     "is not a KORVANT log: line 1 does not begin with \"KORVANT Log V1.0  \": \"?PNG\""},
    {"BinaryWithoutLineEnds", std::string(100000, '\xff'), 0, 0, {},
     "is not a KORVANT log: line 1 does not begin with \"KORVANT Log V1.0  \": \"????????????????????????????????????????...\""},
    {"OnlyTheFirstLine", "KORVANT Log V1.0  10/12/2026\r\n", 0, 0, {}, "is not a KORVANT log: it ends after line 1"},
    {"OtherColumns", "KORVANT Log V1.0  10/12/2026\r\nTime,CH1,CH2\r\n14:03:27, 1.000, 1.000, 1.000, 1.000\r\n", 0, 0, {},
     "is not a KORVANT log: line 2 is not \"Time, CH1, CH2, CH3, CH4\": \"Time,CH1,CH2\""},
    {"AnotherCsvFile", "Date,Open,High,Low,Close\r\n2026-12-10,1,2,0,1\r\n", 0, 0, {},
     "is not a KORVANT log: line 1 does not begin with \"KORVANT Log V1.0  \": \"Date,Open,High,Low,Close\""},
};

class LogFile : public testing::TestWithParam<FileCase> {
protected:
    std::string Write(const std::string& contents)
    {
        const std::string path = dir.filePath("log.csv").toStdString();
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents.data(), static_cast<qint64>(contents.size()));
        return path;
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_P(LogFile, LoadsReadingsOrSaysWhyNot)
{
    const FileCase& file = GetParam();
    const std::string path = Write(file.contents);
    if (file.error) {
        try {
            LoadLog(path);
            ADD_FAILURE() << "loaded";
        } catch (const ELogFormatError& e) {
            EXPECT_EQ(e.what(), path + " " + file.error);
        }
        EXPECT_THROW(SummariseLog(path), ELogFormatError);
        return;
    }
    const TLogData data = LoadLog(path);
    EXPECT_EQ(data.Path, path);
    EXPECT_EQ(data.Skipped, file.skipped);
    ASSERT_EQ(data.Readings.size(), file.readings);
    for (size_t i = 0; i < file.times.size(); ++i)
        EXPECT_NEAR(data.Readings[i].Time, file.times[i], 1e-9) << i;

    const TLogSummary summary = SummariseLog(path);
    EXPECT_EQ(summary.Readings, file.readings);
    EXPECT_EQ(summary.Skipped, file.skipped);
    EXPECT_NEAR(summary.Span, file.times.empty() ? 0 : file.times.back() - file.times.front(), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(LogReader, LogFile, testing::ValuesIn(kFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LogReader, ReadsBackWhatTheLogWritesInEachLocale)
{
    const QLocale locales[] = {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany),
                               QLocale(QLocale::Korean, QLocale::SouthKorea), QLocale(QLocale::Arabic, QLocale::Egypt),
                               QLocale(QLocale::Finnish, QLocale::Finland)};
    const std::array<float, 4> values[] = {{0.998f, 1.0234f, 0.98765f, 1.0f}, {65.535f, 0.0f, 0.5f, 2.0f}};
    QTemporaryDir dir;
    for (const QLocale& locale : locales) {
        const ScopedFormatLocale pinned(locale);
        const std::string path = dir.filePath(locale.name() + ".csv").toStdString();
        TCsvLog log;
        log.Start(path, ToDateTime(2026, 12, 10, 23, 59, 59));
        log.WriteReading(values[0], ToDateTime(2026, 12, 10, 23, 59, 59));
        log.WriteReading(values[1], ToDateTime(2026, 12, 11, 0, 0, 0, 300));
        log.WriteReading(values[0], ToDateTime(2026, 12, 11, 13, 0, 0));
        log.Stop();

        const TLogData data = LoadLog(path);
        ASSERT_EQ(data.Readings.size(), 3u) << locale.name().toStdString();
        EXPECT_EQ(data.Skipped, 0u);
        const double times[] = {86399, 86400, 86400 + Seconds(13, 0, 0)};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(data.Readings[i].Time, times[i]) << locale.name().toStdString() << " " << i;
            for (size_t c = 0; c < 4; ++c)
                EXPECT_NEAR(data.Readings[i].Lambda[c], values[i % 2][c], 0.0005f);
        }
    }
}

TEST(LogReader, SummaryIsTheSameTextInEveryLocale)
{
    TLogSummary summary;
    summary.Readings = 1234;
    summary.Skipped = 2;
    summary.Span = 123.45;
    for (size_t c = 0; c < 4; ++c) {
        for (const double v : {800.0, 1000.0, 1200.0 + 100.0 * static_cast<double>(c)})
            summary.Channels[c].Add(v);
    }
    summary.Channels[2].Add(1070.0);  // a mean of 1067.5 thousandths, halfway
    summary.Channels[3] = {};
    const ScopedFormatLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(SummaryText(summary),
              "readings 1234 skipped 2 span 123.5 s\n"
              "CH1 min 0.800 mean 1.000 max 1.200\n"
              "CH2 min 0.800 mean 1.033 max 1.300\n"
              "CH3 min 0.800 mean 1.068 max 1.400\n"
              "CH4 min - mean - max -\n");
}

// Several gigabytes (a sparse file: a valid header, then nothing but zeros): the viewer
// refuses it at once. The summary reads any size through in constant memory; it is shown
// on a tenth of it, as reading the zeros of a sparse file takes the kernel seconds per
// gigabyte.
TEST(LogReader, AFileOfGigabytesNeitherCrashesNorHangs)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("huge.csv").toStdString();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, kHeader.data(), kHeader.size()), static_cast<ssize_t>(kHeader.size()));
    ASSERT_EQ(::ftruncate(fd, off_t{3} << 30), 0);
    ::close(fd);
    try {
        LoadLog(path);
        ADD_FAILURE() << "loaded";
    } catch (const ELogFormatError& e) {
        EXPECT_EQ(e.what(), path + " is too large to view: 3072 MB, where the viewer takes up to 256 MB. "
                                   "korvant-view --summary reads a log of any size.");
    }
    ASSERT_EQ(::truncate(path.c_str(), off_t{300} << 20), 0);
    const TLogSummary summary = SummariseLog(path);
    EXPECT_EQ(summary.Readings, 0u);
    EXPECT_EQ(summary.Skipped, 1u);
}

// Without a line end in sight, the first line is judged by its start: no need to read on.
TEST(LogReader, AnEndlessFileWithoutLineEndsIsToldAtOnce)
{
    for (const auto read : {+[] { LoadLog("/dev/zero"); }, +[] { SummariseLog("/dev/zero"); }}) {
        try {
            read();
            ADD_FAILURE() << "read";
        } catch (const ELogFormatError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("/dev/zero is not a KORVANT log: line 1 does not begin with", 0), 0u);
        }
    }
}

TEST(LogReader, AMissingFileNamesTheSystemsReason)
{
    try {
        LoadLog("/nonexistent/drive.csv");
        ADD_FAILURE() << "loaded";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "Cannot open log file /nonexistent/drive.csv: No such file or directory");
    }
    QTemporaryDir dir;
    EXPECT_THROW(LoadLog(dir.path().toStdString()), EInOutError) << "a folder";
}
