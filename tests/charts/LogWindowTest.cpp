// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The log viewer on files, with real mouse and key input on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <cmath>
#include <string>
#include <vector>

#include "charts/LambdaChart.h"
#include "charts/LogWindow.h"
#include "charts/UnitChooser.h"
#include "history/ChannelStats.h"
#include "log/CsvLog.h"
#include "platform/framework/ApplicationErrors.h"
#include "platform/framework/FormatFloat.h"
#include "tests/charts/ChartProbe.h"
#include "tests/support/GuiDriver.h"

using namespace std::string_literals;

namespace {

constexpr double kStart = 14 * 3600 + 3 * 60 + 27;  // 14:03:27

float Wave(int i, int channel)
{
    return 1.0f + 0.25f * static_cast<float>(std::sin(i / 150.0 + channel));
}

// A log as TCsvLog writes it, in the locale in force: 10 readings a second from 14:03:27
// for `seconds`, none from `gapFrom` for `gapSeconds`.
std::string LogText(int seconds, int gapFrom = -1, int gapSeconds = 0)
{
    const TDateTime day = ToDateTime(2026, 12, 10);
    std::string text = TCsvLog::HeaderLine(day) + "\r\n" + TCsvLog::kColumnLine + "\r\n";
    for (int i = 0; i < seconds * 10; ++i) {
        const int second = i / 10;
        if (second >= gapFrom && second < gapFrom + gapSeconds)
            continue;
        text += TCsvLog::DataLine(day + (kStart + second) / 86400.0, {Wave(i, 0), Wave(i, 1), Wave(i, 2), Wave(i, 3)}) +
                "\r\n";
    }
    return text;
}

class LogWindowTest : public testing::Test {
protected:
    LogWindowTest()
    {
        SetApplicationExceptionHandler([this](const std::string& message) { messages.push_back(message); });
    }
    ~LogWindowTest() override { SetApplicationExceptionHandler(nullptr); }

    QString Write(const char* name, const std::string& contents)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents.data(), static_cast<qint64>(contents.size()));
        return path;
    }

    // The viewer shown, made in the locale in force.
    TLogWindow& Viewer()
    {
        if (!viewer) {
            viewer = std::make_unique<TLogWindow>();
            viewer->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(viewer.get()));
        }
        return *viewer;
    }

    // The point of the plot area at a fraction of its width, halfway up.
    QPoint PlotPoint(double fraction)
    {
        TLambdaChart& chart = *Viewer().Chart;
        const QRectF plot = chart.chart()->plotArea();
        const QPointF inChart(plot.left() + fraction * plot.width(), plot.center().y());
        return chart.mapFromScene(chart.chart()->mapToScene(inChart));
    }

    void Wheel(double fraction, int angle)
    {
        QWidget* viewport = Viewer().Chart->viewport();
        const QPointF at = PlotPoint(fraction);
        QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
    }

    // Waits for the redraw that follows a change of the range.
    bool Drawn() { return WaitUntil([&] { return !Viewer().Chart->Series(0)->points().isEmpty(); }); }

    QTemporaryDir dir;
    ScopedFormatLocale locale{QLocale(QLocale::English, QLocale::UnitedKingdom)};
    std::unique_ptr<TLogWindow> viewer;
    std::vector<std::string> messages;
};

}  // namespace

TEST_F(LogWindowTest, ShowsAWholeLogDecimatedWithItsFigures)
{
    // An hour with three minutes missing at half time.
    const QString path = Write("hour.csv", LogText(3600, 1800, 180));
    Viewer().Open(path);
    ASSERT_TRUE(Drawn());
    const TLogData& data = Viewer().Data();
    EXPECT_EQ(data.Readings.size(), 34200u);
    EXPECT_EQ(Viewer().StatusLine->text().toStdString(),
              "34200 readings, 0 damaged lines skipped   " + path.toStdString());
    const auto [from, to] = Viewer().Range();
    EXPECT_NEAR(from, kStart, 0.01);
    EXPECT_NEAR(to, kStart + 3599.9, 0.01);

    const int columns = Viewer().Chart->Columns();
    for (int c = 0; c < 4; ++c) {
        EXPECT_LE(static_cast<int>(DrawnPoints(*Viewer().Chart, c).size()), 2 * columns + 2) << "CH" << c + 1;
        EXPECT_EQ(PieceLengths(*Viewer().Chart, c).size(), 2u) << "the missing minutes break the line";
        TChannelStats stats;
        for (const TReading& r : data.Readings)
            stats.Add(r.Lambda[static_cast<size_t>(c)]);
        const auto& labels = Viewer().StatsLabels[static_cast<size_t>(c)];
        EXPECT_EQ(labels[0]->text().toStdString(), FormatFloat("0.000", stats.Min));
        EXPECT_EQ(labels[1]->text().toStdString(), FormatFloat("0.000", stats.Mean()));
        EXPECT_EQ(labels[2]->text().toStdString(), FormatFloat("0.000", stats.Max));
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(LogWindowTest, WheelBoxKeysAndDraggingZoomAndMove)
{
    Viewer().Open(Write("ten-minutes.csv", LogText(600)));
    ASSERT_TRUE(Drawn());
    const auto whole = Viewer().Range();
    const double span = whole.second - whole.first;

    // The wheel zooms in around the time under the mouse, and out again.
    Wheel(0.25, 120);
    auto range = Viewer().Range();
    EXPECT_NEAR(range.second - range.first, span * 0.8, 0.5);
    EXPECT_NEAR(range.first + 0.25 * (range.second - range.first), whole.first + 0.25 * span, 0.5);
    Wheel(0.25, -120);
    range = Viewer().Range();
    EXPECT_NEAR(range.second - range.first, span, 0.5);

    // A box dragged from a quarter to a half of the width shows that time.
    TLambdaChart& chart = *Viewer().Chart;
    QTest::mousePress(chart.viewport(), Qt::LeftButton, {}, PlotPoint(0.25) - QPoint(0, 50));
    QTest::mouseMove(chart.viewport(), PlotPoint(0.4));
    QTest::mouseMove(chart.viewport(), PlotPoint(0.5) + QPoint(0, 50));
    QTest::mouseRelease(chart.viewport(), Qt::LeftButton, {}, PlotPoint(0.5) + QPoint(0, 50));
    ASSERT_TRUE(WaitUntil([&] { return Viewer().Range().second - Viewer().Range().first < span * 0.3; }));
    range = Viewer().Range();
    EXPECT_NEAR(range.first, whole.first + 0.25 * span, span * 0.01);
    EXPECT_NEAR(range.second, whole.first + 0.5 * span, span * 0.01);
    ASSERT_TRUE(Drawn());
    for (int c = 0; c < 4; ++c)
        EXPECT_LE(static_cast<int>(DrawnPoints(chart, c).size()), 2 * chart.Columns() + 2);

    // The arrow keys move by a tenth, the middle button drags, Home shows it all.
    const auto boxed = Viewer().Range();
    chart.setFocus();
    QTest::keyClick(&chart, Qt::Key_Left);
    range = Viewer().Range();
    EXPECT_NEAR(range.first, boxed.first - 0.1 * (boxed.second - boxed.first), 0.01);
    QTest::mousePress(chart.viewport(), Qt::MiddleButton, {}, PlotPoint(0.6));
    QTest::mouseMove(chart.viewport(), PlotPoint(0.4));
    QTest::mouseRelease(chart.viewport(), Qt::MiddleButton, {}, PlotPoint(0.4));
    const auto dragged = Viewer().Range();
    EXPECT_NEAR(dragged.first, range.first + 0.2 * (range.second - range.first), 0.05 * (range.second - range.first));
    QTest::keyClick(&chart, Qt::Key_Home);
    range = Viewer().Range();
    EXPECT_NEAR(range.first, whole.first, 0.01);
    EXPECT_NEAR(range.second, whole.second, 0.01);

    // Never beyond the log, never narrower than a second.
    Viewer().Pan(-5);
    EXPECT_NEAR(Viewer().Range().first, whole.first, 0.01);
    for (int i = 0; i < 60; ++i)
        Wheel(0.5, 120);
    range = Viewer().Range();
    EXPECT_NEAR(range.second - range.first, TLogWindow::kMinSpan, 0.01);
    EXPECT_TRUE(messages.empty());
}

TEST_F(LogWindowTest, ShowsTheTimeAndValuesUnderTheMouse)
{
    Viewer().Open(Write("minute.csv", LogText(60)));
    ASSERT_TRUE(Drawn());
    Viewer().ShowRange(kStart + 10, kStart + 20);
    ASSERT_TRUE(WaitUntil([&] { return Viewer().Range().first == kStart + 10; }));
    QTest::mouseMove(Viewer().Chart->viewport(), PlotPoint(0.5));  // 14:03:42
    ASSERT_TRUE(WaitUntil([&] { return Viewer().Readout->text().startsWith("14:03:42"); }))
        << Viewer().Readout->text().toStdString();
    const TReading* reading = Viewer().Data().View().Nearest(kStart + 15, 0.1);
    ASSERT_NE(reading, nullptr);
    EXPECT_TRUE(Viewer().Readout->text().contains("CH2 " + QString::fromStdString(FormatFloat("0.000", reading->Lambda[1]))))
        << Viewer().Readout->text().toStdString();

    // AFR of a fuel, as in the trend.
    QComboBox* units = Viewer().Units->UnitBox;
    units->setFocus();
    QTest::keyClick(units, Qt::Key_Down);
    QTest::mouseMove(Viewer().Chart->viewport(), PlotPoint(0.5) + QPoint(1, 0));
    ASSERT_TRUE(WaitUntil([&] {
        return Viewer().Readout->text().contains("CH2 " + QString::fromStdString(FormatFloat("0.00", reading->Lambda[1] * 14.7)));
    })) << Viewer().Readout->text().toStdString();
    EXPECT_EQ(Viewer().StatsLabels[0][0]->text().count('.'), 1);
    SaveScreenshot(Viewer(), "view.png");
}

// A user whose locale has a decimal comma and 12-hour times reads logs from anywhere.
TEST_F(LogWindowTest, OtherLocalesReadTheSameLogs)
{
    const QString written = Write("uk.csv", LogText(30));  // 14:03:27, 0.998, ...
    {
        const ScopedFormatLocale german(QLocale(QLocale::German, QLocale::Germany));
        TLogWindow viewer;
        viewer.Open(written);
        EXPECT_EQ(viewer.Data().Readings.size(), 300u);
        EXPECT_EQ(viewer.Data().Skipped, 0u);
        EXPECT_TRUE(viewer.StatsLabels[0][1]->text().contains(',')) << viewer.StatsLabels[0][1]->text().toStdString();
    }
    const ScopedFormatLocale american(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString twelveHours = Write("us.csv", LogText(30));  // 2:03:27 PM, 0.998, ...
    ASSERT_TRUE(LogText(1).find("2:03:27 PM, ") != std::string::npos);
    Viewer().Open(twelveHours);
    EXPECT_EQ(Viewer().Data().Readings.size(), 300u);
    EXPECT_EQ(Viewer().Data().Readings.front().Time, kStart);
    ASSERT_TRUE(Drawn());
    QTest::mouseMove(Viewer().Chart->viewport(), PlotPoint(0.5));  // 2:03:42 PM
    EXPECT_TRUE(WaitUntil([&] { return Viewer().Readout->text().startsWith("2:03:4"); }))
        << Viewer().Readout->text().toStdString();
    EXPECT_TRUE(Viewer().Readout->text().contains(" PM   CH1 "));
}

namespace {

// column: file, contents, what the status line or the one message says
struct BadFile {
    const char* name;
    std::string contents;
    const char* says;
};

void PrintTo(const BadFile& f, std::ostream* out)
{
    *out << f.name;
}

class LogWindowBadFile : public LogWindowTest, public testing::WithParamInterface<BadFile> {};

const BadFile kBadFiles[] = {
    {"Empty", "", "is not a KORVANT log: the file is empty"},
    {"Binary", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0", 16) + std::string(3000, '\0'),
     "is not a KORVANT log: line 1 does not begin with \"KORVANT Log V1.0  \": \"?ELF????????????"},
    {"HeaderOnly", "KORVANT Log V1.0  10/12/2026\r\nTime, CH1, CH2, CH3, CH4\r\n", "0 readings, 0 damaged lines skipped"},
    {"DamagedLines",
     "KORVANT Log V1.0  10/12/2026\r\nTime, CH1, CH2, CH3, CH4\r\n14:03:27, 0.998, 1.020, 0.987, 1.000\r\n"
     "14:03:27, 0.9\0\0\0\r\n14:03:28, 0.998, 1.020, 0.987, 1.000\r\n#*!\r\n"s,
     "2 readings, 2 damaged lines skipped"},
};

}  // namespace

TEST_P(LogWindowBadFile, NeverCrashesAndSaysWhatItFound)
{
    const BadFile& file = GetParam();
    const QString good = Write("good.csv", LogText(20));
    Viewer().AskLogFileName = [&] { return good; };
    QTest::mouseClick(Viewer().OpenButton, Qt::LeftButton);
    ASSERT_EQ(Viewer().Data().Readings.size(), 200u);
    const QString status = Viewer().StatusLine->text();

    const QString path = Write(file.name, file.contents);
    Viewer().AskLogFileName = [&] { return path; };
    QTest::mouseClick(Viewer().OpenButton, Qt::LeftButton);
    QApplication::processEvents();
    if (Viewer().Data().Path == path.toStdString()) {
        EXPECT_TRUE(messages.empty());
        EXPECT_TRUE(Viewer().StatusLine->text().startsWith(file.says)) << Viewer().StatusLine->text().toStdString();
        Viewer().ShowWhole();
        ASSERT_TRUE(WaitUntil([&] { return Viewer().Range().second > Viewer().Range().first; }));
    } else {
        ASSERT_EQ(messages.size(), 1u) << "one message, nothing else";
        EXPECT_EQ(messages[0].rfind(path.toStdString() + " " + file.says, 0), 0u) << messages[0];
        EXPECT_EQ(Viewer().StatusLine->text(), status) << "the log shown stays";
        EXPECT_EQ(Viewer().Data().Readings.size(), 200u);
    }
}

INSTANTIATE_TEST_SUITE_P(LogWindow, LogWindowBadFile, testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });
