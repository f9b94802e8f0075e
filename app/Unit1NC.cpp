// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Unit1NC.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/DesignSettings.h"
#include "app/Logo.h"
#include "app/Unit2.h"
#include "app/Unit4.h"
#include "app/Unit7.h"
#include "app/WindowFonts.h"
#include "charts/TrendWindow.h"
#include "platform/framework/ApplicationErrors.h"
#include "platform/framework/Canvas.h"
#include "platform/framework/Exception.h"
#include "serial/VaComm.h"
#include "widgets/AbLED.h"
#include "widgets/AbRMeter.h"
#include "widgets/AbVInd.h"

namespace {

constexpr int kClientWidth = 894;
constexpr int kClientHeight = 529;
constexpr int kTimerInterval = 100;

}  // namespace

TForm1::TForm1() : FVaComm1(std::make_unique<TVaComm>(nullptr)), FHistory(std::make_unique<TReadingRing>())
{
    setObjectName("Form1");
    setWindowTitle("KORVANT");

    auto* client = new QWidget(this);  // the window frees it
    client->setObjectName("ClientArea");
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setFont(WindowFont("MS Sans Serif", 11, true));
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, ToQColor(clBtnFace));
    client->setPalette(palette);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    // Widgets are placed on the client area, which frees them.
    const struct {
        int left, top;
        const char* name;
        const char* format;
    } meters[] = {{17, 9, "LAMBDA CH1", "#0.000"}, {296, 8, "LAMBDA CH2", "#0.0"},
                  {16, 256, "LAMBDA CH3", "#0.0"}, {296, 256, "LAMBDA CH4", "#0.0"}};
    for (size_t i = 0; i < 4; ++i) {
        Meters[i] = new TAb270Meter(nullptr, client);
        Meters[i]->setObjectName(QString("Meter%1").arg(i + 1));
        SetUpLambdaMeter(*Meters[i], meters[i].left, meters[i].top, meters[i].name, meters[i].format);
    }
    const struct {
        int left, top;
        const char* name;
    } readouts[] = {{584, 8, "CH1 LAMBDA"}, {736, 8, "CH2 LAMBDA"}, {584, 96, "CH3 LAMBDA"}, {738, 96, "CH4 LAMBDA"}};
    for (size_t i = 0; i < 4; ++i) {
        ValueInds[i] = new TAbValueInd(nullptr, client);
        ValueInds[i]->setObjectName(QString("ValueInd%1").arg(i + 1));
        SetUpLambdaReadout(*ValueInds[i], readouts[i].left, readouts[i].top, readouts[i].name);
    }
    VoltsInd1 = new TAbValueInd(nullptr, client);
    VoltsInd1->setObjectName("VoltsInd1");
    SetUpVoltsReadout(*VoltsInd1, 621, 182);

    Bevel1 = new QFrame(client);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setGeometry(752, 174, 106, 102);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    DiskLED = new TAbLED(nullptr, client);
    DiskLED->setObjectName("DiskLED");
    SetUpLamp(*DiskLED, 761, 174, 97, "Log to Disk", 15, "MS Sans Serif", 11, true, clLime, clBtnFace);
    LogStartButton = new QPushButton("Log Start", client);
    LogStartButton->setObjectName("LogStartButton");
    LogStartButton->setGeometry(766, 210, 75, 25);
    LogStopButton = new QPushButton("Log Stop", client);
    LogStopButton->setObjectName("LogStopButton");
    LogStopButton->setGeometry(766, 241, 75, 25);
    LogStopButton->setEnabled(false);

    Online_LED1 = new TAbLED(nullptr, client);
    Online_LED1->setObjectName("Online_LED1");
    SetUpLamp(*Online_LED1, 624, 304, 217, "LAMBDA DATA ONLINE", 18, "Arial", 16, true, clRed, clAppWorkSpace);
    LED2 = new TAbLED(nullptr, client);
    LED2->setObjectName("LED2");
    SetUpLamp(*LED2, 624, 330, 217, "SENSOR WARMUP", 18, "Arial", 16, true, clRed, clAppWorkSpace);

    Image2 = new LogoLabel(client);
    Image2->setObjectName("Image2");
    Image2->setGeometry(607, 383, 234, 114);
    StaticText2 = new QLabel(client);
    StaticText2->setObjectName("StaticText2");
    StaticText2->move(621, 503);

    ComPortMenu = menuBar()->addAction("ComPort");
    Config1 = menuBar()->addAction("Config");
    About1 = menuBar()->addAction("About");
    Chart1 = menuBar()->addAction("Chart");

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTimerInterval);
    Timer2 = new QTimer(this);
    Timer2->setInterval(kTimerInterval);

    TVaComm& comm = *FVaComm1;
    comm.SetName("VaComm1");
    comm.SetBaudrate(br19200);
    comm.SetPortNum(6);
    comm.SetDeviceName("COM%d");
    FPoll = std::make_unique<TLivePoll>(comm, FBuffers, *this);
    FPoll->OnReading = [this](const std::array<float, 4>& meters) { FHistory->Add(SteadySeconds(), meters); };
    comm.OnRxChar = [this](TObject* sender, std::int32_t count) { FPoll->VaComm1RxChar(sender, count); };
    // A port opened again knows nothing of what came before it closed.
    comm.OnOpen = [this](TObject*) { FPoll->StartOver(); };
    comm.OnClose = [this](TObject* sender) { VaComm1Close(sender); };

    // Every handler goes through the application's error handling: no exception crosses
    // the event loop.
    const auto guarded = [](auto handler) { return [handler] { GuardedCall(handler); }; };
    connect(Timer1, &QTimer::timeout, this, guarded([this] { Timer1Timer(); }));
    connect(Timer2, &QTimer::timeout, this, guarded([this] { Timer2Timer(); }));
    connect(LogStartButton, &QPushButton::clicked, this, guarded([this] { LogStartClick(); }));
    connect(LogStopButton, &QPushButton::clicked, this, guarded([this] { LogStopClick(); }));
    connect(ComPortMenu, &QAction::triggered, this, guarded([this] { ComPortMenuClick(); }));
    connect(Config1, &QAction::triggered, this, guarded([this] { Config1Click(); }));
    connect(About1, &QAction::triggered, this, guarded([this] { About1Click(); }));
    connect(Chart1, &QAction::triggered, this, guarded([this] { Chart1Click(); }));

    AskLogFileName = [this] { return SaveTextFileDialog1(); };
    SetApplicationExceptionHandler([this](const std::string& message) { ReportError(message); });
    Timer2->start();
}

TForm1::~TForm1()
{
    SetApplicationExceptionHandler(nullptr);
    // Deliveries still queued run inside Close; they must find everything they touch.
    FVaComm1->OnClose = nullptr;
    FVaComm1->Close();
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FPlaced)
        return;
    FPlaced = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect frame = frameGeometry();
        move(screen->availableGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
}

void TForm1::SetOnlineButtonChecked(bool Value)
{
    if (Value && !FOnlineChecked)
        FPoll->StartOver();
    FOnlineChecked = Value;
}

void TForm1::TakeInWaiting()
{
    FPoll->TakeInWaiting();
}

void TForm1::SetTimer1Enabled(bool Value)
{
    if (Value)
        Timer1->start();
    else
        Timer1->stop();
}

void TForm1::Timer1Timer()
{
    if (ConfigForm)
        ConfigForm->Timer1Timer();
}

void TForm1::Timer2Timer()
{
    FPoll->Timer2Timer(nullptr);
}

// --- the displays of the live poll

void TForm1::SetMeterValue(int channel, float value)
{
    Meters.at(static_cast<size_t>(channel - 1))->SetValue(value);
}

float TForm1::MeterValue(int channel) const
{
    return Meters.at(static_cast<size_t>(channel - 1))->Value();
}

void TForm1::SetReadoutValue(int channel, float value)
{
    ValueInds.at(static_cast<size_t>(channel - 1))->SetValue(value);
}

void TForm1::SetVoltsValue(float value)
{
    VoltsInd1->SetValue(value);
}

void TForm1::SetOnlineLed(bool checked)
{
    Online_LED1->SetChecked(checked);
}

void TForm1::SetWarmupLed(bool checked)
{
    LED2->SetChecked(checked);
}

bool TForm1::Logging() const
{
    return FLog.Logging();
}

void TForm1::AppendLogLine(const std::array<float, 4>& meters, TDateTime time)
{
    try {
        FLog.WriteReading(meters, time);
    } catch (const EInOutError&) {
        // The log has closed itself; the window follows, and the error is shown once.
        UpdateLogControls();
        throw;
    }
}

// --- the log

QString TForm1::SaveTextFileDialog1()
{
    QFileDialog dialog(this, "Save log");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("csv");
    dialog.setNameFilter("csv (*.csv)");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void TForm1::LogStartClick()
{
    const QString name = AskLogFileName ? AskLogFileName() : QString();
    if (name.isEmpty())
        return;
    FLog.Start(name.toStdString());
    UpdateLogControls();
    StaticText2->setText(name);
    StaticText2->adjustSize();
}

void TForm1::LogStopClick()
{
    StopLog();
}

void TForm1::StopLog()
{
    try {
        FLog.Stop();
    } catch (const EInOutError&) {
        // The log is closed all the same (its last sync or the close failed); the window
        // follows, and the error is shown once.
        UpdateLogControls();
        throw;
    }
    UpdateLogControls();
}

void TForm1::UpdateLogControls()
{
    const bool logging = FLog.Logging();
    DiskLED->SetChecked(logging);
    LogStopButton->setEnabled(logging);
    LogStartButton->setEnabled(!logging);
}

// --- menu, port and close

void TForm1::ComPortMenuClick()
{
    if (ComPortForm)
        ComPortForm->ShowWindow();
}

void TForm1::Config1Click()
{
    if (ConfigForm)
        ConfigForm->ShowWindow();
}

void TForm1::About1Click()
{
    if (AboutForm)
        AboutForm->ShowOver();
}

void TForm1::Chart1Click()
{
    if (TrendForm)
        TrendForm->ShowWindow();
}

void TForm1::VaComm1Close(TObject*)
{
    if (ComPortForm)
        ComPortForm->ComPortLED->SetChecked(false);
    if (!FVaComm1->Active())
        Online_LED1->SetChecked(false);
}

void TForm1::FormClose()
{
    FVaComm1->Close();
    if (FLog.Logging())
        StopLog();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    GuardedCall([this] { FormClose(); });
    event->accept();
    // Closing the main window ends the program, whatever other windows are open.
    for (QWidget* window : {static_cast<QWidget*>(ComPortForm), static_cast<QWidget*>(AboutForm),
                            static_cast<QWidget*>(ConfigForm), static_cast<QWidget*>(TrendForm)}) {
        if (window)
            window->close();
    }
}

// --- errors

bool TForm1::DeviceGone()
{
    try {
        FVaComm1->ReadBufUsed();
        return false;
    } catch (const std::exception&) {
        return true;
    }
}

void TForm1::ReportError(const std::string& Message)
{
    if (FVaComm1->Active() && DeviceGone()) {
        // Inside one of the port's own deliveries, it closes once the delivery has returned.
        GuardedCall([this] { FVaComm1->Close(); });
        FErrors.Show("The serial device " + FVaComm1->DevicePath() + " stopped working (" + Message +
                     "). The port was closed; open it again once the device is back.");
        return;
    }
    FErrors.Show(Message);
}
