// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The trend window in the whole program against the controller stand-in. Most tests tick
// the live poll themselves, paced like the window timer, each tick only after the
// stand-in's answer (or its silence) has arrived, so the readings are exact.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QValueAxis>

#include <memory>
#include <string>
#include <vector>

#include "app/Unit1NC.h"
#include "charts/LambdaChart.h"
#include "charts/LogWindow.h"
#include "charts/TrendWindow.h"
#include "charts/UnitChooser.h"
#include "history/LogData.h"
#include "tests/charts/ChartProbe.h"
#include "tests/faults/ProgramRig.h"
#include "tests/support/GuiDriver.h"

using namespace std::chrono_literals;

namespace {

constexpr int kReplySize = 17;
constexpr int kTickMs = 100;

class TrendTest : public testing::Test {
protected:
    // The program with the port open and a log running, "Chart" clicked unless the test
    // clicks it later. The live poll is left to the window timer when `timer` is set, else
    // ticked by Tick().
    void Start(const std::vector<std::string>& simArguments, bool timer = false, bool chart = true)
    {
        rig = std::make_unique<ProgramRig>(simArguments);
        if (!timer)
            Form().Timer2->stop();
        Form().show();
        ASSERT_TRUE(rig->OpenPort()) << Messages();
        rig->StartLog();
        if (chart)
            OpenChart();
        paced.start();
    }

    void OpenChart()
    {
        ClickMenu(Form(), Form().Chart1);
        ASSERT_TRUE(WaitUntil([&] { return Trend().isVisible(); }));
        Trend().RefreshTimer->stop();  // the test redraws when it looks
    }

    TForm1& Form() { return rig->Form(); }
    TTrendWindow& Trend() { return *Form().TrendForm; }
    const TReadingRing& History() { return Form().History(); }

    std::string Messages() const
    {
        std::string all;
        for (const std::string& m : rig->Messages())
            all += m + "\n";
        return all;
    }

    void Command(const std::string& line) { ASSERT_EQ(rig->Sim().Command(line).rfind("ok", 0), 0u) << line; }

    // One tick, at least a tick's time after the one before; then the stand-in's answer
    // to its request, or the stand-in's silence, before anything else happens.
    void Tick(bool answered)
    {
        QTest::qWait(static_cast<int>(std::max<qint64>(0, kTickMs - paced.elapsed())));
        paced.restart();
        const long long silenced = rig->Sim().Stats().at("silenced");
        Form().Timer2Timer();
        if (answered)
            ASSERT_TRUE(WaitUntil([&] { return Form().Buffers().RxIndex == 1 + kReplySize; }));
        else
            ASSERT_TRUE(WaitUntil([&] { return rig->Sim().Stats().at("silenced") > silenced; }));
    }

    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            Tick(true);
    }

    // A last tick shows the last answer; its own request is withheld.
    void Finish()
    {
        Command("fault silence");
        Tick(false);
    }

    // A fault from `on` to `off`, for `ticks` ticks: no reading may come of it.
    void FaultPhase(const std::string& on, const std::string& off, int ticks, bool answered)
    {
        Command(on);
        Tick(answered);  // still shows the answer from before the fault
        const size_t before = History().Size();
        for (int i = 1; i < ticks; ++i)
            Tick(answered);
        Command(off);
        Tick(true);  // shows the last answer of the fault
        EXPECT_EQ(History().Size(), before) << on;
    }

    std::unique_ptr<ProgramRig> rig;
    QElapsedTimer paced;
};

}  // namespace

// The history is collected with the window closed; opened, it shows all of it.
TEST_F(TrendTest, SeriesHoldExactlyTheReadingsTheLogWrites)
{
    Start({}, false, false);
    Ticks(25);
    Finish();
    EXPECT_FALSE(Trend().isVisible());
    OpenChart();
    Trend().Refresh();
    const long long valid = rig->Sim().Stats().at("live_valid");
    EXPECT_EQ(valid, 25);
    const TLogData log = LoadLog(rig->LogPath().toStdString());
    ASSERT_EQ(static_cast<long long>(log.Readings.size()), valid);
    ASSERT_EQ(static_cast<long long>(History().Size()), valid);
    for (int c = 0; c < 4; ++c) {
        const std::vector<QPointF> drawn = DrawnPoints(*Trend().Chart, c);
        ASSERT_EQ(static_cast<long long>(drawn.size()), valid) << "CH" << c + 1;
        for (size_t i = 0; i < drawn.size(); ++i) {
            const float lambda = History().View()[i].Lambda[static_cast<size_t>(c)];
            EXPECT_EQ(lambda, log.Readings[i].Lambda[static_cast<size_t>(c)]) << i;
            EXPECT_EQ(drawn[i].y(), static_cast<double>(lambda)) << i;
            EXPECT_LE(drawn[i].x(), 0.0) << "seconds before now";
            EXPECT_GT(drawn[i].x(), -60.0);
        }
    }
    EXPECT_TRUE(rig->Messages().empty()) << Messages();
}

TEST_F(TrendTest, WarmUpSilenceAndWrongChecksumsAddNothingAndBreakTheLine)
{
    Start({});
    Ticks(5);
    FaultPhase("warmup on", "warmup off", 4, true);
    Ticks(5);
    FaultPhase("fault silence", "fault off silence", 6, false);
    Ticks(5);
    FaultPhase("fault checksum:every:1", "fault off checksum", 4, true);
    Ticks(5);
    Finish();
    Trend().Refresh();

    const long long valid = rig->Sim().Stats().at("live_valid");
    ASSERT_EQ(static_cast<long long>(History().Size()), valid);
    EXPECT_EQ(static_cast<long long>(LoadLog(rig->LogPath().toStdString()).Readings.size()), valid);
    // Each fault left at least three ticks without a reading: the line breaks there. (A
    // busy machine may break it elsewhere too: time without a reading is a gap.)
    const TReadingView readings = History().View();
    for (int c = 0; c < 4; ++c) {
        ASSERT_EQ(static_cast<long long>(DrawnPoints(*Trend().Chart, c).size()), valid);
        // The drawn points are the readings in order; a NaN between two is a break.
        std::vector<bool> breakBefore(readings.size(), false);
        size_t next = 0;
        for (const QPointF& p : Trend().Chart->Series(c)->points()) {
            if (std::isnan(p.y()))
                breakBefore.at(next) = true;
            else
                ++next;
        }
        int faults = 0;
        for (size_t i = 1; i < readings.size(); ++i) {
            if (readings[i].Time - readings[i - 1].Time < 0.35)
                continue;
            ++faults;
            EXPECT_TRUE(breakBefore[i]) << "CH" << c + 1 << ": the line bridges the gap before reading " << i;
        }
        EXPECT_GE(faults, 3) << "CH" << c + 1;
    }
}

TEST_F(TrendTest, AfrForGasolineOfLambdaOneIs14_70)
{
    Start({"--lambda", "all=1.000"});
    Ticks(6);
    Finish();
    QComboBox* units = Trend().Units->UnitBox;
    units->setFocus();
    QTest::keyClick(units, Qt::Key_Down);
    ASSERT_EQ(units->currentText().toStdString(), "AFR gasoline 14.7");
    Trend().Refresh();
    EXPECT_EQ(Trend().Chart->ValueAxis()->titleText(), "AFR");
    const std::vector<QPointF> drawn = DrawnPoints(*Trend().Chart, 0);
    ASSERT_FALSE(drawn.empty());
    EXPECT_DOUBLE_EQ(drawn.back().y(), 14.7);
    const auto [low, high] = Trend().Chart->ValueRange();
    EXPECT_DOUBLE_EQ(low, 0.65 * 14.7) << "the meters' range, in AFR";
    EXPECT_DOUBLE_EQ(high, 1.35 * 14.7);

    HoverAt(*Trend().Chart, drawn[drawn.size() / 2]);
    EXPECT_TRUE(WaitUntil([&] { return Trend().Readout->text().contains("CH1 14.70"); }))
        << Trend().Readout->text().toStdString();
    EXPECT_TRUE(Trend().Readout->text().endsWith("CH4 14.70")) << Trend().Readout->text().toStdString();
    EXPECT_TRUE(Trend().Readout->text().contains(" s   ")) << "the time before now";
}

TEST_F(TrendTest, SaveAsPngWritesThePictureAndSaysWhenItCannot)
{
    Start({});
    Ticks(10);
    Finish();
    Trend().Refresh();
    QTemporaryDir dir;
    const QString path = dir.filePath("trend.png");
    Trend().AskPngFileName = [&] { return path; };
    QTest::mouseClick(Trend().SaveButton, Qt::LeftButton);
    const QImage picture(path);
    ASSERT_FALSE(picture.isNull()) << "no picture at " << path.toStdString();
    EXPECT_EQ(picture.size(), Trend().Chart->size());
    for (int c = 0; c < 4; ++c)
        EXPECT_GT(PixelsOf(picture, ChannelColor(c)), 20) << "the line of CH" << c + 1;

    Trend().AskPngFileName = [] { return QString("/nonexistent/folder/trend.png"); };
    QTest::mouseClick(Trend().SaveButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !rig->Messages().empty(); }));
    EXPECT_EQ(rig->Messages(), std::vector<std::string>{"Cannot write the picture /nonexistent/folder/trend.png"});
}

// The window timer polls; "Pause" freezes the picture while the history goes on.
TEST_F(TrendTest, PauseFreezesThePictureWhileReadingsAreCollected)
{
    Start({}, true);
    ASSERT_TRUE(WaitUntil([&] { return History().Size() >= 60; }));
    Command("fault silence");
    QTest::qWait(1000);  // a second of silence, to be seen as a gap
    Command("fault off silence");
    ASSERT_TRUE(WaitUntil([&] { return History().Size() >= 90; }));
    Trend().SpanBox->setFocus();
    QTest::keyClick(Trend().SpanBox, Qt::Key_Home);  // "10 s"
    ASSERT_EQ(Trend().Span(), 10.0);
    QTest::mouseClick(Trend().PauseButton, Qt::LeftButton);
    ASSERT_TRUE(Trend().Paused());
    const std::vector<QPointF> frozen = DrawnPoints(*Trend().Chart, 0);
    const size_t collected = History().Size();
    EXPECT_GE(PieceLengths(*Trend().Chart, 0).size(), 2u) << "the silence breaks the line";
    SaveScreenshot(Trend(), "trend.png");

    ASSERT_TRUE(WaitUntil([&] { return History().Size() >= collected + 5; }));
    EXPECT_EQ(DrawnPoints(*Trend().Chart, 0), frozen);
    QTest::mouseClick(Trend().PauseButton, Qt::LeftButton);
    EXPECT_FALSE(Trend().Paused());
    EXPECT_NE(DrawnPoints(*Trend().Chart, 0), frozen);
    EXPECT_TRUE(rig->Messages().empty()) << Messages();
}

TEST_F(TrendTest, OpenLogShowsTheLogInTheViewer)
{
    Start({});
    Ticks(8);
    Finish();
    Trend().AskLogFileName = [&] { return rig->LogPath(); };
    QTest::mouseClick(Trend().OpenLogButton, Qt::LeftButton);
    TLogWindow& viewer = Trend().LogWindow();
    ASSERT_TRUE(WaitUntil([&] { return viewer.isVisible(); }));
    EXPECT_EQ(viewer.Data().Readings.size(), History().Size());
    EXPECT_TRUE(viewer.StatusLine->text().startsWith(QString("%1 readings, 0 damaged lines skipped").arg(History().Size())))
        << viewer.StatusLine->text().toStdString();
}
