// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program in-process, against the controller stand-in on a pseudo-terminal linked as
// COM1: real windows on the offscreen platform, real clicks on the menu and buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Unit1NC.h"
#include "app/Unit4.h"
#include "app/Unit7.h"
#include "platform/framework/FormatFloat.h"
#include "serial/VaComm.h"
#include "tests/support/GuiDriver.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"
#include "widgets/AbLED.h"
#include "widgets/AbRMeter.h"
#include "widgets/AbVInd.h"

using namespace std::chrono_literals;

namespace {

std::string ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("(unreadable)");
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back("(unterminated) " + text.substr(start));
    return lines;
}

void SaveScreenshot(QWidget& window, const char* name)
{
    QDir().mkpath(KORVANT_SCREENSHOT_DIR);
    window.grab().save(QString(KORVANT_SCREENSHOT_DIR) + "/" + name);
}

class AppTest : public testing::Test {
protected:
    AppTest()
    {
        form.Errors().SetShowBox([this](const std::string& message) { messages.push_back(message); });
    }

    void StartSim(std::vector<std::string> args = {})
    {
        args.insert(args.begin(), {"--com", "1"});
        sim = std::make_unique<SimProcess>(args);
    }

    void ClickMenu(QAction* action) { ::ClickMenu(form, action); }

    // "ComPort", then "Open Port" with the number typed into the spin box.
    void OpenPort(const QString& typed)
    {
        ClickMenu(form.ComPortMenu);
        ASSERT_TRUE(WaitUntil([&] { return comPort.isVisible(); }));
        QSpinBox* box = comPort.ComPortEdit1;
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, typed);
        QTest::mouseClick(comPort.Button1, Qt::LeftButton);
    }

    bool LiveDataArrived(float lambda1)
    {
        return WaitUntil([&] { return form.Meters[0]->Value() == lambda1 && form.ValueInds[0]->Value() == lambda1; });
    }

    ScopedConfigHome home;
    ScopedFormatLocale locale{QLocale(QLocale::English, QLocale::UnitedKingdom)};
    std::unique_ptr<SimProcess> sim;
    TKorvantApplication app;
    TForm1& form = app.Form1();
    TComPortForm& comPort = app.ComPortForm();
    std::vector<std::string> messages;
};

}  // namespace

TEST_F(AppTest, StartsIdleWithNothingOpenAndNothingSent)
{
    form.show();
    for (TAb270Meter* meter : form.Meters)
        EXPECT_EQ(meter->Value(), -92.9f);
    EXPECT_FALSE(form.Online_LED1->Checked());
    EXPECT_FALSE(form.LED2->Checked());
    EXPECT_FALSE(form.DiskLED->Checked());
    EXPECT_TRUE(form.LogStartButton->isEnabled());
    EXPECT_FALSE(form.LogStopButton->isEnabled());
    EXPECT_TRUE(form.OnlineButtonChecked());
    EXPECT_TRUE(form.Timer2->isActive());
    EXPECT_FALSE(comPort.isVisible());
    QTest::qWait(300);  // a few ticks without a port
    EXPECT_FALSE(form.VaComm().Active());
    EXPECT_FALSE(form.Online_LED1->Checked());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(form.centralWidget()->size(), QSize(894, 529));
    EXPECT_EQ(form.windowTitle(), "KORVANT");
}

TEST_F(AppTest, OpeningThePortStartsLiveData)
{
    StartSim({"--lambda", "1=1.000", "--lambda", "2=0.900", "--lambda", "3=1.100", "--lambda", "4=0.800",
              "--volts", "13.8"});
    form.show();
    OpenPort("1");
    EXPECT_TRUE(comPort.ComPortLED->Checked());
    EXPECT_TRUE(comPort.DeviceLabel->text().contains("present"));
    ASSERT_TRUE(LiveDataArrived(1.0f)) << (messages.empty() ? "" : messages.front());
    EXPECT_EQ(form.Meters[1]->Value(), 0.9f);
    EXPECT_EQ(form.ValueInds[3]->Value(), 0.8f);
    EXPECT_NEAR(form.VoltsInd1->Value(), 13.8f, 0.05f);
    EXPECT_TRUE(form.Online_LED1->Checked());
    EXPECT_FALSE(form.LED2->Checked());
    SaveScreenshot(form, "main.png");
    SaveScreenshot(comPort, "comport.png");

    // Open Port on the open port closes and reopens it.
    QTest::mouseClick(comPort.Button1, Qt::LeftButton);
    EXPECT_TRUE(comPort.ComPortLED->Checked());
    EXPECT_TRUE(form.VaComm().Active());
    EXPECT_TRUE(messages.empty());
}

TEST_F(AppTest, AboutWindowNamesTheProgram)
{
    form.show();
    ClickMenu(form.About1);
    TAboutForm& about = app.AboutForm();
    ASSERT_TRUE(WaitUntil([&] { return about.isVisible(); }));
    EXPECT_EQ(about.Label1->text(), "KORVANT Monitor");
    EXPECT_EQ(about.Label2->text(), "Ver 2.8XE        2016");
    EXPECT_TRUE(about.Label4->text().contains("https://www.korvant.example"));
    EXPECT_TRUE(about.StaticText1->text().contains("For support go to "));
    EXPECT_TRUE(about.StaticText1->text().contains("https://www.korvant.example/Uego_support"));
    SaveScreenshot(about, "about.png");
}

TEST_F(AppTest, MissingDeviceShowsTheComponentsMessage)
{
    form.show();
    OpenPort("77");
    ASSERT_TRUE(WaitUntil([&] { return !messages.empty(); }));
    EXPECT_EQ(messages, std::vector<std::string>{"Specified device not found (/dev/ttyACM12)."});
    EXPECT_FALSE(form.VaComm().Active());
    EXPECT_FALSE(comPort.ComPortLED->Checked());
    EXPECT_TRUE(comPort.DeviceLabel->text().contains("not present"));
}

TEST_F(AppTest, TextThatIsNoNumberTriesPortOne)
{
    StartSim({"--lambda", "all=1.000"});
    form.show();
    OpenPort("ab");
    EXPECT_TRUE(form.VaComm().Active()) << (messages.empty() ? "" : messages.front());
    EXPECT_EQ(form.VaComm().PortNum(), 1);
}

TEST_F(AppTest, ClosingTheWindowWhileLoggingLeavesACompleteLog)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.csv");
    form.AskLogFileName = [&] { return path; };
    StartSim({"--lambda", "all=0.987"});
    form.show();
    OpenPort("1");
    ASSERT_TRUE(LiveDataArrived(0.987f));
    QTest::mouseClick(form.LogStartButton, Qt::LeftButton);
    EXPECT_TRUE(form.DiskLED->Checked());
    EXPECT_FALSE(form.LogStartButton->isEnabled());
    EXPECT_EQ(form.StaticText2->text(), path);
    ASSERT_TRUE(WaitUntil([&] { return Lines(ReadAll(path)).size() >= 7; }));
    form.close();
    EXPECT_FALSE(form.VaComm().Active());
    EXPECT_FALSE(form.Log().Logging());

    const std::vector<std::string> lines = Lines(ReadAll(path));
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[0].rfind("KORVANT Log V1.0  ", 0), 0u);
    EXPECT_EQ(lines[1], "Time, CH1, CH2, CH3, CH4");
    for (size_t i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].substr(lines[i].find(',')), ", 0.987, 0.987, 0.987, 0.987") << lines[i];
}

TEST_F(AppTest, WarmUpAndConfigurationModeWriteNoLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("warm.csv");
    form.AskLogFileName = [&] { return path; };
    StartSim({"--warmup", "3600"});
    form.show();
    OpenPort("1");
    ASSERT_TRUE(WaitUntil([&] { return form.LED2->Checked(); }));
    QTest::mouseClick(form.LogStartButton, Qt::LeftButton);
    const long long before = sim->Stats()["live_warmup"];
    ASSERT_TRUE(WaitUntil([&] { return sim->Stats()["live_warmup"] >= before + 5; }));
    EXPECT_EQ(Lines(ReadAll(path)).size(), 2u);
    QTest::mouseClick(form.LogStopButton, Qt::LeftButton);
    EXPECT_FALSE(form.DiskLED->Checked());
    EXPECT_TRUE(form.LogStartButton->isEnabled());
    EXPECT_EQ(form.StaticText2->text(), path) << "the path stays after a stop";
}

TEST_F(AppTest, FullDiskShowsOneMessageAndStaysStopped)
{
    form.AskLogFileName = [] { return QString("/dev/full"); };
    form.show();
    QTest::mouseClick(form.LogStartButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !messages.empty(); }));
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot write log file /dev/full: No space left on device"});
    EXPECT_FALSE(form.DiskLED->Checked());
    EXPECT_TRUE(form.LogStartButton->isEnabled());
    EXPECT_FALSE(form.LogStopButton->isEnabled());
}

TEST_F(AppTest, UnpluggedAdapterIsReportedOnceAndThePortOpensAgainLater)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("unplug.csv");
    form.AskLogFileName = [&] { return path; };
    StartSim({"--lambda", "all=1.050"});
    form.show();
    OpenPort("1");
    ASSERT_TRUE(LiveDataArrived(1.05f));
    QTest::mouseClick(form.LogStartButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return Lines(ReadAll(path)).size() >= 4; }));

    const std::string device = form.VaComm().DevicePath();
    ASSERT_EQ(sim->Command("hangup").rfind("ok", 0), 0u);
    ASSERT_TRUE(WaitUntil([&] { return !form.VaComm().Active(); }));
    QTest::qWait(1500);  // a second and a half of ticks after the loss
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(device), std::string::npos) << messages[0];
    EXPECT_FALSE(comPort.ComPortLED->Checked());
    EXPECT_FALSE(form.Online_LED1->Checked());
    const std::vector<std::string> kept = Lines(ReadAll(path));
    EXPECT_GE(kept.size(), 4u);
    for (const std::string& line : kept)
        EXPECT_EQ(line.find("(unterminated)"), std::string::npos);

    // The adapter comes back: Open Port works again.
    ASSERT_EQ(sim->Command("reopen").rfind("ok", 0), 0u);
    QTest::mouseClick(comPort.Button1, Qt::LeftButton);
    EXPECT_TRUE(form.VaComm().Active());
    EXPECT_TRUE(comPort.ComPortLED->Checked());
    EXPECT_TRUE(WaitUntil([&] { return form.Online_LED1->Checked(); }));
    EXPECT_EQ(messages.size(), 1u);
}
