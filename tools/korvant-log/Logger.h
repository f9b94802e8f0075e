// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDeadlineTimer>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "link/LiveDisplays.h"
#include "link/LivePoll.h"
#include "link/ReceiveBuffers.h"
#include "log/CsvLog.h"
#include "tools/korvant-log/Options.h"
#include "tools/korvant-log/StatusLine.h"

class TVaComm;

namespace korvantlog {

// The headless logger: the main window's serial component, receive buffers, live poll and
// CSV log without the window. It stands in for the window's displays, keeps what they
// would show for the status line, and decides when the run ends: the duration passed, a
// stop request, or a failure of the port or of the log file.
//
// Everything runs on the thread of the Qt event loop, like the window's handlers: the
// 100 ms poll timer, the serial component's deliveries, the status timer and the stops.
class TKorvantLogger : public ILiveDisplays {
public:
    // ruleFile: the installed udev rule example, named in the advice on a permission failure.
    TKorvantLogger(Options options, std::optional<std::string> ruleFile);
    ~TKorvantLogger() override;
    TKorvantLogger(const TKorvantLogger&) = delete;
    TKorvantLogger& operator=(const TKorvantLogger&) = delete;

    // Opens the port, then the log, and runs the event loop until the run ends; closes
    // both. Returns the exit code.
    int Run();
    // Ends the run with exit code 0, the log complete (Ctrl-C, SIGTERM).
    void RequestStop(const std::string& why);

    // ILiveDisplays: the poll's readings land here instead of on meters and lamps.
    bool OnlineButtonChecked() const override { return true; }
    void SetMeterValue(int channel, float value) override;
    float MeterValue(int channel) const override;
    void SetReadoutValue(int, float) override {}
    void SetVoltsValue(float value) override { FStatus.Volts = value; }
    void SetOnlineLed(bool checked) override { FStatus.Online = checked; }
    void SetWarmupLed(bool checked) override { FStatus.Warmup = checked; }
    bool Logging() const override { return FLog.Logging(); }
    void AppendLogLine(const std::array<float, 4>& meters, TDateTime time) override;

private:
    bool OpenPort();
    bool StartLog();
    void ArmStopTimer();
    void PrintStatus();
    // The application's error handler: failures from the poll, the log and the serial
    // deliveries arrive here instead of crossing the event loop.
    void ReportError(const std::string& message);
    bool DeviceGone();
    void Finish(int exitCode);

    const Options FOptions;
    const std::optional<std::string> FRuleFile;
    std::unique_ptr<TVaComm> FComm;
    TReceiveBuffers FBuffers;
    TCsvLog FLog;
    std::unique_ptr<TLivePoll> FPoll;
    std::array<float, 4> FMeters{};
    LiveStatus FStatus;
    QTimer FPollTimer;
    QTimer FStatusTimer;
    QTimer FStopTimer;
    QDeadlineTimer FDeadline;
    bool FFinishing = false;
    int FExitCode = kExitOk;
};

}  // namespace korvantlog
