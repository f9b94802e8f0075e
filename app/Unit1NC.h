// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "config/ConfigFields.h"
#include "history/ReadingRing.h"
#include "link/LiveDisplays.h"
#include "link/LivePoll.h"
#include "link/ReceiveBuffers.h"
#include "log/CsvLog.h"
#include "platform/framework/ErrorDialog.h"

class QAction;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class TAb270Meter;
class TAbLED;
class TAbValueInd;
class TAboutForm;
class TComPortForm;
class TConfigForm;
class TTrendWindow;
class TObject;
class TVaComm;

// The main window: four lambda meters and readouts, the supply voltage, the online and
// warm-up lamps, the log controls and the menu. It owns the serial component, the two
// 100 ms timers, the receive buffers and the log, and it is the application's error
// reporter: an error that reveals a vanished serial device closes the port and is reported
// once, naming the device.
//
// Everything runs on the user-interface thread.
class TForm1 : public QMainWindow, public ILiveDisplays, public IConfigHost {
public:
    TForm1();
    ~TForm1() override;

    // The windows the menu shows; the application creates them after this one.
    TComPortForm* ComPortForm = nullptr;
    TAboutForm* AboutForm = nullptr;
    TConfigForm* ConfigForm = nullptr;
    TTrendWindow* TrendForm = nullptr;

    std::array<TAb270Meter*, 4> Meters{};         // Meter1..Meter4
    std::array<TAbValueInd*, 4> ValueInds{};      // ValueInd1..ValueInd4
    TAbValueInd* VoltsInd1 = nullptr;
    TAbLED* DiskLED = nullptr;
    TAbLED* Online_LED1 = nullptr;
    TAbLED* LED2 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* LogStartButton = nullptr;
    QPushButton* LogStopButton = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* StaticText2 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QAction* ComPortMenu = nullptr;
    QAction* Config1 = nullptr;
    QAction* About1 = nullptr;
    QAction* Chart1 = nullptr;  // "Chart", after "About": the trend window

    TVaComm& VaComm() { return *FVaComm1; }
    TReceiveBuffers& Buffers() { return FBuffers; }
    TCsvLog& Log() { return FLog; }
    TErrorDialog& Errors() { return FErrors; }
    // The readings of the last ten minutes, collected from start-up on.
    const TReadingRing& History() const { return *FHistory; }

    // The mode switch: checked means live polling, clear means configuration mode.
    bool OnlineButtonChecked() const override { return FOnlineChecked; }
    // Live polling that resumes starts with nothing received.
    void SetOnlineButtonChecked(bool Value) override;
    void SetTimer1Enabled(bool Value) override;
    void TakeInWaiting() override;

    // Asks for the log file's name; empty when the user cancels. Tests replace it.
    std::function<QString()> AskLogFileName;

    void Timer1Timer();
    void Timer2Timer();
    void LogStartClick();
    void LogStopClick();
    void ComPortMenuClick();
    void Config1Click();
    void About1Click();
    void Chart1Click();
    // Passes an error on to the message boxes, unless it comes from a serial device that has
    // gone: then the port is closed and one message names the device.
    void ReportError(const std::string& Message);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

    // ILiveDisplays: what the live poll shows and logs.
    void SetMeterValue(int channel, float value) override;
    float MeterValue(int channel) const override;
    void SetReadoutValue(int channel, float value) override;
    void SetVoltsValue(float value) override;
    void SetOnlineLed(bool checked) override;
    void SetWarmupLed(bool checked) override;
    bool Logging() const override;
    void AppendLogLine(const std::array<float, 4>& meters, TDateTime time) override;

private:
    void VaComm1Close(TObject* Sender);
    void FormClose();
    void StopLog();
    void UpdateLogControls();
    bool DeviceGone();
    QString SaveTextFileDialog1();

    TErrorDialog FErrors;
    std::unique_ptr<TVaComm> FVaComm1;
    TReceiveBuffers FBuffers;
    TCsvLog FLog;
    std::unique_ptr<TReadingRing> FHistory;
    std::unique_ptr<TLivePoll> FPoll;
    bool FOnlineChecked = true;
    bool FPlaced = false;
};
