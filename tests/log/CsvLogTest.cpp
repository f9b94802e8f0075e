// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

#include "log/CsvLog.h"
#include "platform/framework/Exception.h"
#include "platform/framework/FormatFloat.h"
#include "tests/support/HeldSync.h"

using namespace std::chrono_literals;

namespace {

std::string ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "(unreadable)";
    return f.readAll().toStdString();
}

const TDateTime kNoon = ToDateTime(2026, 12, 10, 14, 3, 27);

size_t LineCount(const std::string& text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Checks until done holds, at most for the timeout, without an event loop.
bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds timeout = 20s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class CsvLogTest : public testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ScopedFormatLocale locale{QLocale(QLocale::English, QLocale::UnitedKingdom)};
    HeldSync sync;  // before the log, whose thread may call it until the log ends
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

// A medium that takes long to sync: the writer never waits for it. Lines keep reaching the
// file while a sync is held, and the lines written meanwhile need one more sync, not one each.
TEST_F(CsvLogTest, SlowSyncHoldsUpNoWrite)
{
    const QString path = Path("slow.csv");
    log.SetSyncFunction(sync.Function());
    log.Start(path.toStdString(), kNoon);
    ASSERT_TRUE(sync.WaitUntilHolding()) << "the header is synced at once";
    for (int i = 0; i < 30; ++i)
        log.WriteReading({1.0f, 1.0f, 1.0f, 1.0f}, kNoon);
    EXPECT_EQ(LineCount(ReadAll(path)), 32u) << "every line is in the file while the sync is held";
    EXPECT_FALSE(sync.GaveUp()) << "a write waited for the sync";
    EXPECT_EQ(sync.Calls(), 1);
    sync.Release();
    log.Stop();
    EXPECT_EQ(sync.Calls(), 2) << "the 30 lines took one sync";
    EXPECT_FALSE(sync.CalledOn(std::this_thread::get_id())) << "never synced on the writer's thread";
}

// A sync that fails ends the log with one error, whether a line or the stop comes next.
TEST_F(CsvLogTest, FailingSyncEndsTheLogWithOneError)
{
    const QString path = Path("failing.csv");
    const std::string expected = "Cannot write log file " + path.toStdString() + ": Input/output error";
    for (const bool lineAfterwards : {true, false}) {
        HeldSync failing(EIO);
        failing.Release();
        log.SetSyncFunction(failing.Function());
        log.Start(path.toStdString(), kNoon);
        std::string message;
        const auto failed = [&](const std::function<void()>& call) {
            try {
                call();
                return false;
            } catch (const EInOutError& e) {
                message = e.what();
                return true;
            }
        };
        if (lineAfterwards) {
            // The failure is learnt by the next write after it.
            EXPECT_TRUE(Eventually([&] { return failed([&] { log.WriteReading({1, 1, 1, 1}, kNoon); }); }));
        } else {
            ASSERT_TRUE(Eventually([&] { return failing.Calls() > 0; }));
            EXPECT_TRUE(failed([&] { log.Stop(); }));
        }
        EXPECT_EQ(message, expected) << (lineAfterwards ? "write" : "stop");
        EXPECT_FALSE(log.Logging());
        EXPECT_EQ(failing.Calls(), 1) << "no sync after a failed one";
        EXPECT_NO_THROW(log.WriteReading({1, 1, 1, 1}, kNoon)) << "no log, nothing more to report";
        EXPECT_NO_THROW(log.Stop());
    }
}

// column: locale, how a data line at 14:03:27 begins
TEST(CsvLogLocales, TimeFieldOfTheLocaleKeepsTheColumns)
{
    const std::pair<QLocale, const char*> cases[] = {
        {QLocale(QLocale::Belarusian, QLocale::Belarus), "14:03:27, "},     // "HH:mm:ss, t"
        {QLocale(QLocale::Albanian, QLocale::Albania), "2:03:27 E PASDITES, "},  // "h:mm:ss AP, t"
        {QLocale(QLocale::Catalan, QLocale::Spain), "14:03:27, "},         // "H:mm:ss (t)"
        {QLocale(QLocale::English, QLocale::UnitedStates), "2:03:27 PM, "},
    };
    for (const auto& [locale, start] : cases) {
        const ScopedFormatLocale pinned(locale);
        const std::string line = TCsvLog::DataLine(kNoon, {1.0f, 0.9f, 1.1f, 0.8f});
        EXPECT_EQ(line, std::string(start) + "1.000, 0.900, 1.100, 0.800") << locale.name().toStdString();
    }
}

// In every locale Qt knows, morning and afternoon: the time is one field, without commas,
// without stray spaces and without what set the time zone apart.
TEST(CsvLogLocales, TimeFieldIsOneCleanFieldInEveryLocale)
{
    const auto locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(locales.size(), 100);
    static const QRegularExpression twoSpaces(QStringLiteral("\\s\\s"));
    for (const QLocale& locale : locales) {
        const ScopedFormatLocale pinned(locale);
        for (const TDateTime time : {kNoon, ToDateTime(2026, 12, 10, 9, 5, 7)}) {
            const QString line = QString::fromStdString(TCsvLog::DataLine(time, {1, 1, 1, 1}));
            const QString field = line.section(", ", 0, 0);
            const QString where = locale.name() + ": " + line;
            EXPECT_EQ(line, field + ", 1.000, 1.000, 1.000, 1.000") << where.toStdString();
            EXPECT_FALSE(field.isEmpty()) << where.toStdString();
            EXPECT_EQ(field, field.trimmed()) << where.toStdString();
            EXPECT_FALSE(field.contains(twoSpaces)) << where.toStdString();
            for (const char c : {',', '(', ')', '[', ']'})
                EXPECT_FALSE(field.contains(QChar(c))) << where.toStdString();
        }
    }
}
