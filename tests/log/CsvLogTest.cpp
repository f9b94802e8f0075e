// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "log/CsvLog.h"
#include "platform/framework/Exception.h"
#include "platform/framework/FormatFloat.h"

namespace {

std::string ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "(unreadable)";
    return f.readAll().toStdString();
}

const TDateTime kNoon = ToDateTime(2026, 12, 10, 14, 3, 27);

class CsvLogTest : public testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ScopedFormatLocale locale{QLocale(QLocale::English, QLocale::UnitedKingdom)};
    TCsvLog log;
};

}  // namespace

TEST_F(CsvLogTest, HeaderAndLinesEndWithCrLf)
{
    const QString path = Path("run.csv");
    log.Start(path.toStdString(), kNoon);
    EXPECT_TRUE(log.Logging());
    log.WriteReading({0.998f, 1.0234f, 0.98765f, 1.0f}, kNoon);
    log.Stop();
    EXPECT_FALSE(log.Logging());
    EXPECT_EQ(log.LogFileName(), path.toStdString()) << "kept after the stop";
    EXPECT_EQ(ReadAll(path),
              "KORVANT Log V1.0  10/12/2026\r\n"
              "Time, CH1, CH2, CH3, CH4\r\n"
              "14:03:27, 0.998, 1.023, 0.988, 1.000\r\n");
}

TEST_F(CsvLogTest, ValuesHaveThreeDecimalsAndAlwaysAPoint)
{
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        // value     written
        {1.0234f, "1.023"}, {0.98765f, "0.988"}, {1.0f, "1.000"}, {12.345f, "12.345"},
        {65.535f, "65.535"}, {0.0f, "0.000"}, {-92.9f, "-92.900"},
    };
    const ScopedFormatLocale german(QLocale(QLocale::German, QLocale::Germany));
    for (const Case& c : cases) {
        const std::string line = TCsvLog::DataLine(kNoon, {c.value, c.value, c.value, c.value});
        EXPECT_EQ(line.substr(line.find(", ") + 2, std::string(c.text).size()), c.text) << c.value;
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 4) << line;
    }
}

TEST_F(CsvLogTest, StartingAgainEmptiesTheFile)
{
    const QString path = Path("again.csv");
    log.Start(path.toStdString(), kNoon);
    log.WriteReading({1, 1, 1, 1}, kNoon);
    log.WriteReading({1, 1, 1, 1}, kNoon);
    log.Start(path.toStdString(), kNoon);
    log.Stop();
    EXPECT_EQ(ReadAll(path), "KORVANT Log V1.0  10/12/2026\r\nTime, CH1, CH2, CH3, CH4\r\n");
}

TEST_F(CsvLogTest, EveryLineIsOnDiskAsSoonAsItIsWritten)
{
    const QString path = Path("live.csv");
    log.Start(path.toStdString(), kNoon);
    log.WriteReading({0.9f, 0.9f, 0.9f, 0.9f}, kNoon);
    // Read while the log is still open: nothing waits in a buffer.
    EXPECT_NE(ReadAll(path).find("14:03:27, 0.900, 0.900, 0.900, 0.900\r\n"), std::string::npos);
}

TEST_F(CsvLogTest, FileThatCannotBeCreatedLeavesNoLogOpen)
{
    const std::string path = Path("missing-folder/x.csv").toStdString();
    try {
        log.Start(path, kNoon);
        FAIL() << "no exception";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create log file " + path + ": No such file or directory");
    }
    EXPECT_FALSE(log.Logging());
}

TEST_F(CsvLogTest, FullDiskEndsTheLogWithOneError)
{
    // /dev/full takes the open and refuses every write, like a full disk.
    EXPECT_THROW(log.Start("/dev/full", kNoon), EInOutError);
    EXPECT_FALSE(log.Logging());
    EXPECT_NO_THROW(log.WriteReading({1, 1, 1, 1}, kNoon)) << "no log, nothing more to report";
    EXPECT_NO_THROW(log.Stop());
}
