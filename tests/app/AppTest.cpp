// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program in-process, against the controller stand-in on a pseudo-terminal linked as
// COM1: real windows on the offscreen platform, real clicks on the menu and buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/PortFinder.h"
#include "app/Unit1NC.h"
#include "app/Unit4.h"
#include "app/Unit7.h"
#include "platform/framework/FormatFloat.h"
#include "serial/VaComm.h"
#include "tests/support/GuiDriver.h"
#include "tests/support/HeldSync.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SysfsFixture.h"
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

    void ShowComPortWindow()
    {
        ClickMenu(form.ComPortMenu);
        ASSERT_TRUE(WaitUntil([&] { return comPort.isVisible(); }));
    }

    // The device list's row of the device at path, or null.
    QListWidgetItem* RowOf(const std::string& path) const
    {
        for (int i = 0; i < finder.DeviceList->count(); ++i) {
            QListWidgetItem* item = finder.DeviceList->item(i);
            if (finder.Devices().at(static_cast<size_t>(item->data(Qt::UserRole).toInt())).path == path)
                return item;
        }
        return nullptr;
    }

    void ClickRow(QListWidgetItem* row)
    {
        finder.DeviceList->scrollToItem(row);
        QTest::mouseClick(finder.DeviceList->viewport(), Qt::LeftButton, {},
                          finder.DeviceList->visualItemRect(row).center());
    }

    bool LiveDataArrived(float lambda1)
    {
        return WaitUntil([&] { return form.Meters[0]->Value() == lambda1 && form.ValueInds[0]->Value() == lambda1; });
    }

    ScopedConfigHome home;
    ScopedFormatLocale locale{QLocale(QLocale::English, QLocale::UnitedKingdom)};
    std::unique_ptr<SimProcess> sim;
    HeldSync sync;  // before the program, whose log may call it until the program ends
    TKorvantApplication app;
    TForm1& form = app.Form1();
    TComPortForm& comPort = app.ComPortForm();
    PortFinder& finder = *comPort.Finder;
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

    // Open Port on the open port closes and reopens it.
    QTest::mouseClick(comPort.Button1, Qt::LeftButton);
    EXPECT_TRUE(comPort.ComPortLED->Checked());
    EXPECT_TRUE(form.VaComm().Active());
    EXPECT_TRUE(messages.empty());
}

// The window moved to a screen of twice the scale (the suite has two): the instruments are
// drawn at its resolution, which the picture main-2x.png shows beside main.png.
TEST_F(AppTest, ShowsLiveDataAtTheResolutionOfAScreenOfTwiceTheScale)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_GE(screens.size(), 2) << "the suite runs on two screens";
    StartSim({"--lambda", "1=1.000", "--lambda", "2=0.900", "--lambda", "3=1.100", "--lambda", "4=0.800",
              "--volts", "13.8"});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.move(screens[1]->geometry().topLeft() + QPoint(40, 40));
    ASSERT_TRUE(WaitUntil([&] { return form.devicePixelRatioF() == 2 * screens[0]->devicePixelRatio(); }));
    OpenPort("1");
    ASSERT_TRUE(LiveDataArrived(1.0f)) << (messages.empty() ? "" : messages.front());
    ASSERT_TRUE(WaitUntil([&] { return form.Meters[3]->Value() == 0.8f; }));
    for (TGraphicControl* c : {static_cast<TGraphicControl*>(form.Meters[0]), static_cast<TGraphicControl*>(form.ValueInds[0]),
                               static_cast<TGraphicControl*>(form.Online_LED1)})
        EXPECT_EQ(c->Image().devicePixelRatio(), form.devicePixelRatioF()) << c->ClassName();
    const QPixmap picture = form.grab();
    EXPECT_EQ(picture.devicePixelRatio(), form.devicePixelRatioF());
    SaveScreenshot(form, "main-2x.png");
}

// Readings of 10 and more, in readouts sized for "0.000": the picture main-wide.png shows
// them with every digit before the point (the readout's own test checks the pixels).
TEST_F(AppTest, ShowsReadingsOfTenAndMore)
{
    StartSim({"--lambda", "1=12.345", "--lambda", "2=9.999", "--lambda", "3=65.535", "--lambda", "4=10.000"});
    form.show();
    OpenPort("1");
    ASSERT_TRUE(LiveDataArrived(12.345f)) << (messages.empty() ? "" : messages.front());
    EXPECT_EQ(form.ValueInds[1]->Value(), 9.999f);
    EXPECT_EQ(form.ValueInds[2]->Value(), 65.535f);
    EXPECT_EQ(form.ValueInds[3]->Value(), 10.0f);
    SaveScreenshot(form, "main-wide.png");
}

// A medium that takes long to sync, such as a slow USB stick: while the log's sync is held,
// the ticks go on and new readings reach the displays and the file.
TEST_F(AppTest, SlowLogMediumHoldsUpNeitherTicksNorReadings)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("slow.csv");
    form.AskLogFileName = [&] { return path; };
    form.Log().SetSyncFunction(sync.Function());
    StartSim({"--lambda", "all=1.000"});
    form.show();
    OpenPort("1");
    ASSERT_TRUE(LiveDataArrived(1.0f));
    QTest::mouseClick(form.LogStartButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return sync.Holding(); })) << "the first sync is under way";

    const long long requests = sim->Stats()["live_requests"];
    ASSERT_EQ(sim->Command("lambda all 1.111").rfind("ok", 0), 0u);
    EXPECT_TRUE(LiveDataArrived(1.111f));
    EXPECT_TRUE(WaitUntil([&] { return ReadAll(path).find(", 1.111, 1.111, 1.111, 1.111\r\n") != std::string::npos; }));
    EXPECT_TRUE(WaitUntil([&] { return sim->Stats()["live_requests"] >= requests + 10; }));
    EXPECT_TRUE(sync.Holding());
    EXPECT_EQ(sync.Calls(), 1);
    EXPECT_FALSE(sync.GaveUp()) << "the window waited for the sync";

    sync.Release();
    QTest::mouseClick(form.LogStopButton, Qt::LeftButton);
    EXPECT_FALSE(form.DiskLED->Checked());
    EXPECT_TRUE(messages.empty()) << messages.front();
}

namespace {

// column: name, stand-in arguments, whether the user stops the log
struct FailingSyncCase {
    const char* name;
    std::vector<std::string> simArgs;
    bool logStop;
};

void PrintTo(const FailingSyncCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailingLogSyncTest : public AppTest, public testing::WithParamInterface<FailingSyncCase> {};

}  // namespace

// A sync that fails (a stick pulled out): one message, and the log stops cleanly, whether the
// next reading or "Log Stop" learns of it.
TEST_P(FailingLogSyncTest, ShowsOneMessageAndStopsTheLog)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("failing.csv");
    form.AskLogFileName = [&] { return path; };
    form.Log().SetSyncFunction([](int) { return EIO; });
    StartSim(GetParam().simArgs);
    form.show();
    OpenPort("1");
    QTest::mouseClick(form.LogStartButton, Qt::LeftButton);
    if (GetParam().logStop) {
        ASSERT_TRUE(WaitUntil([&] { return sim->Stats()["live_requests"] >= 5; }));
        EXPECT_TRUE(messages.empty()) << "no reading came to learn of it";
        QTest::mouseClick(form.LogStopButton, Qt::LeftButton);
    }
    ASSERT_TRUE(WaitUntil([&] { return !messages.empty(); }));
    const long long requests = sim->Stats()["live_requests"];
    ASSERT_TRUE(WaitUntil([&] { return sim->Stats()["live_requests"] >= requests + 5; }));
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot write log file " + path.toStdString() + ": Input/output error"});
    EXPECT_FALSE(form.Log().Logging());
    EXPECT_FALSE(form.DiskLED->Checked());
    EXPECT_TRUE(form.LogStartButton->isEnabled());
    EXPECT_FALSE(form.LogStopButton->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(App, FailingLogSyncTest,
                         testing::Values(FailingSyncCase{"NextReading", {"--lambda", "all=1.000"}, false},
                                         FailingSyncCase{"LogStop", {"--fault", "silence"}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

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

TEST_F(AppTest, LinkMadeWhileTheWindowIsOpenIsListedAndItsRowOpensIt)
{
    sim = std::make_unique<SimProcess>(std::vector<std::string>{"--lambda", "all=0.950"});
    form.show();
    ShowComPortWindow();
    EXPECT_EQ(RowOf(sim->DevicePath()), nullptr);

    home.Link("COM7", sim->DevicePath());
    QListWidgetItem* row = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (row = RowOf(sim->DevicePath())) != nullptr; }));
    EXPECT_TRUE(row->text().startsWith("COM7 ")) << row->text().toStdString();
    EXPECT_EQ(comPort.ComPortEdit1->value(), 1) << "a new row sets no number";
    ClickRow(row);
    EXPECT_EQ(comPort.ComPortEdit1->value(), 7);
    EXPECT_FALSE(form.VaComm().Active()) << "choosing a row opens nothing";
    EXPECT_TRUE(comPort.DeviceLabel->text().endsWith("(present)"));
    QTest::mouseClick(comPort.Button1, Qt::LeftButton);
    EXPECT_TRUE(form.VaComm().Active()) << (messages.empty() ? "" : messages.front());
    EXPECT_TRUE(comPort.ComPortLED->Checked());
    ASSERT_TRUE(LiveDataArrived(0.95f));

    // A number typed after the choice stays when the list is read again with the row kept.
    comPort.ComPortEdit1->selectAll();
    QTest::keyClicks(comPort.ComPortEdit1, "3");
    ASSERT_EQ(comPort.ComPortEdit1->value(), 3);
    home.Link("COM8", sim->DevicePath());
    const auto bothNumbers = [&] {
        const QListWidgetItem* item = RowOf(sim->DevicePath());
        return item && finder.Devices().at(static_cast<size_t>(item->data(Qt::UserRole).toInt())).numbers ==
                           std::vector<int>{7, 8};
    };
    ASSERT_TRUE(WaitUntil(bothNumbers));
    EXPECT_TRUE(RowOf(sim->DevicePath())->isSelected());
    EXPECT_EQ(comPort.ComPortEdit1->value(), 3);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(home.PortDir() + "/COM8")));

    // The link goes away: so does its row, and the number stays as it was.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(home.PortDir() + "/COM7")));
    ASSERT_TRUE(WaitUntil([&] { return RowOf(sim->DevicePath()) == nullptr; }));
    EXPECT_EQ(comPort.ComPortEdit1->value(), 3);
    EXPECT_TRUE(messages.empty());
}

TEST_F(AppTest, DeviceTheUserMayNotOpenIsMarkedWithTheAdviceOneClickAway)
{
    StartSim();
    // The superuser may open anything, so the permission probe stands in for a user who may not.
    finder.Sources.mayOpen = [&](const std::string& path) { return path != sim->DevicePath(); };
    form.show();
    ShowComPortWindow();
    QListWidgetItem* row = RowOf(sim->DevicePath());
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->text().contains("no permission")) << row->text().toStdString();
    EXPECT_TRUE(finder.HintText->toPlainText().contains(QString::fromStdString("may not open " + sim->DevicePath())));
    ASSERT_TRUE(finder.AdviceButton->isVisible());

    QTest::mouseClick(finder.AdviceButton, Qt::LeftButton);
    QTest::mouseClick(finder.AdviceButton, Qt::LeftButton);
    ASSERT_NE(finder.AdviceBox(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return finder.AdviceBox()->isVisible(); }));
    const QString advice = finder.AdviceBox()->text();
    for (const char* part : {"sudo adduser $USER dialout", "uaccess", "udevadm trigger"})
        EXPECT_TRUE(advice.contains(part)) << part;
    EXPECT_TRUE(advice.contains(QString::fromStdString(sim->DevicePath())));
    int shown = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        shown += qobject_cast<QMessageBox*>(window) && window->isVisible();
    EXPECT_EQ(shown, 1) << "asking twice shows the one box again";
    EXPECT_FALSE(form.VaComm().Active());
    EXPECT_TRUE(messages.empty());
}

TEST_F(AppTest, DeviceListNamesAdaptersAndSaysWhatToDoAboutUnreachableOnes)
{
    SysfsFixture machine;
    machine.AddUsb("ttyUSB0", {"FTDI", "FT232R USB UART", "A50285BI"}, "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    const std::string acm = machine.AddUsb("ttyACM0", {"Arduino (www.arduino.cc)", "Arduino Uno", "8573632383835"});
    const std::string far = machine.AddUsb("ttyUSB40", {"Prolific Technology Inc.", "USB-Serial Controller", ""});
    StartSim();
    finder.Sources.sysRoot = machine.SysRoot();
    finder.Sources.devRoot = machine.DevRoot();
    finder.Sources.mayOpen = [&](const std::string& path) { return path != acm; };
    form.show();
    ShowComPortWindow();
    ASSERT_EQ(finder.DeviceList->count(), 4);
    const auto rowText = [&](int i) { return finder.DeviceList->item(i)->text().toStdString(); };
    EXPECT_EQ(rowText(0), "COM1    " + sim->DevicePath() + "\nlinked in the port directory");
    EXPECT_EQ(rowText(1), "COM33    " + machine.DevRoot() +
                              "/ttyUSB0\nFTDI  FT232R USB UART  A50285BI\n"
                              "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    EXPECT_NE(rowText(2).find("no permission"), std::string::npos) << rowText(2);
    EXPECT_EQ(rowText(3).find(far + "\nProlific"), 0u) << rowText(3);

    // Tabbing into the list chooses nothing; the arrow keys choose as a click does.
    comPort.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&comPort));
    finder.DeviceList->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(comPort.ComPortEdit1->value(), 1);
    QTest::keyClick(finder.DeviceList, Qt::Key_Down);
    EXPECT_EQ(comPort.ComPortEdit1->value(), 33);
    ClickRow(RowOf(sim->DevicePath()));
    ClickRow(RowOf(far));
    EXPECT_EQ(comPort.ComPortEdit1->value(), 1) << "a device no number reaches leaves the number";
    EXPECT_EQ(finder.HintText->toPlainText().toStdString(),
              "To open " + far + ", link a number to it:\nln -s " + far + " " + home.PortDir() + "/COM97");
    EXPECT_FALSE(finder.AdviceButton->isVisible());
    // Nothing cut off: the hint fits its box, every row fits the list's width.
    EXPECT_EQ(finder.HintText->verticalScrollBar()->maximum(), 0);
    for (int i = 0; i < finder.DeviceList->count(); ++i)
        EXPECT_EQ(rowText(i).find("\u2026"), std::string::npos) << rowText(i);
    SaveScreenshot(comPort, "comport.png");
}
