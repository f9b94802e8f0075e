// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-log/Logger.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/framework/ApplicationErrors.h"
#include "platform/framework/DateTime.h"
#include "platform/framework/Exception.h"
#include "serial/VaComm.h"

namespace korvantlog {

namespace {

// The main window's timer period: one request per tick.
constexpr int kPollInterval = 100;
constexpr int kStatusInterval = 1000;
// Long runs are timed in pieces a QTimer can hold.
constexpr qint64 kLongestWait = 3600 * 1000;

void Say(const std::string& text)
{
    std::fprintf(stderr, "korvant-log: %s\n", text.c_str());
    std::fflush(stderr);
}

}  // namespace

TKorvantLogger::TKorvantLogger(Options options, std::optional<std::string> ruleFile)
    : FOptions(std::move(options)), FRuleFile(std::move(ruleFile)), FComm(std::make_unique<TVaComm>(nullptr))
{
    // The line settings of the main window; the port is the name or path as given.
    FComm->SetName("VaComm1");
    FComm->SetBaudrate(br19200);
    FComm->SetDeviceName(DeviceNameTemplate(FOptions.Port));
    FPoll = std::make_unique<TLivePoll>(*FComm, FBuffers, *this);
    FComm->OnRxChar = [this](TObject* sender, std::int32_t count) { FPoll->VaComm1RxChar(sender, count); };
    FStatus.Logging = FOptions.Out.has_value();

    FPollTimer.setInterval(kPollInterval);
    QObject::connect(&FPollTimer, &QTimer::timeout, &FPollTimer,
                     [this] { GuardedCall([this] { FPoll->Timer2Timer(nullptr); }); });
    FStatusTimer.setInterval(kStatusInterval);
    QObject::connect(&FStatusTimer, &QTimer::timeout, &FStatusTimer, [this] { PrintStatus(); });
    // Until the run starts, and after it ends, a failure is only printed.
    SetApplicationExceptionHandler(Say);
    FStopTimer.setSingleShot(true);
    FStopTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&FStopTimer, &QTimer::timeout, &FStopTimer, [this] { ArmStopTimer(); });
}

TKorvantLogger::~TKorvantLogger()
{
    // Deliveries still queued run inside Close; they must find everything they touch.
    GuardedCall([this] { FComm->Close(); });
    SetApplicationExceptionHandler(nullptr);
}

int TKorvantLogger::Run()
{
    if (!OpenPort())
        return kExitPort;
    if (!StartLog()) {
        GuardedCall([this] { FComm->Close(); });
        return kExitLogFile;
    }
    std::string what = "reading " + FOptions.Port;
    if (FComm->DevicePath() != FOptions.Port)
        what += " (" + FComm->DevicePath() + ")";
    what += FOptions.Out ? ", logging to " + *FOptions.Out : ", not logging";
    if (FOptions.DurationSeconds) {
        char seconds[32];
        const auto end = std::to_chars(seconds, seconds + sizeof seconds, *FOptions.DurationSeconds).ptr;
        what += ", for " + std::string(seconds, end) + " s";
    }
    Say(what + "; Ctrl-C stops.");

    SetApplicationExceptionHandler([this](const std::string& message) { ReportError(message); });
    FPollTimer.start();
    FStatusTimer.start();
    if (FOptions.DurationSeconds) {
        FDeadline = QDeadlineTimer(std::llround(*FOptions.DurationSeconds * 1000), Qt::PreciseTimer);
        ArmStopTimer();
    }
    QCoreApplication::exec();

    FPollTimer.stop();
    FStatusTimer.stop();
    FStopTimer.stop();
    SetApplicationExceptionHandler(Say);
    GuardedCall([this] { FComm->Close(); });
    if (FOptions.Out) {
        try {
            FLog.Stop();
        } catch (const std::exception& e) {
            Say(e.what());
            FExitCode = kExitLogFile;
        }
        Say(std::to_string(FStatus.LinesWritten) + (FStatus.LinesWritten == 1 ? " line" : " lines") +
            " written to " + *FOptions.Out + ".");
    }
    return FExitCode;
}

bool TKorvantLogger::OpenPort()
{
    try {
        FComm->Open();
        return true;
    } catch (const std::exception& e) {
        Say(e.what());
        const std::string hint = OpenFailureHint(e.what(), FComm->DevicePath(), FRuleFile);
        if (!hint.empty())
            Say(hint);
        return false;
    }
}

bool TKorvantLogger::StartLog()
{
    if (!FOptions.Out)
        return true;
    try {
        FLog.Start(*FOptions.Out);
        return true;
    } catch (const std::exception& e) {
        Say(e.what());
        return false;
    }
}

void TKorvantLogger::ArmStopTimer()
{
    const qint64 left = FDeadline.remainingTime();
    if (left <= 0) {
        Finish(kExitOk);
        return;
    }
    FStopTimer.start(static_cast<int>(std::min(left, kLongestWait)));
}

void TKorvantLogger::RequestStop(const std::string& why)
{
    if (FFinishing)
        return;
    Say(why + ": stopping.");
    Finish(kExitOk);
}

void TKorvantLogger::SetMeterValue(int channel, float value)
{
    FMeters.at(static_cast<size_t>(channel - 1)) = value;
    FStatus.Lambda = FMeters;
}

float TKorvantLogger::MeterValue(int channel) const
{
    return FMeters.at(static_cast<size_t>(channel - 1));
}

void TKorvantLogger::AppendLogLine(const std::array<float, 4>& meters, TDateTime time)
{
    FLog.WriteReading(meters, time);
    ++FStatus.LinesWritten;
}

void TKorvantLogger::PrintStatus()
{
    const std::string line = StatusLine(TimeToStr(Now()), FStatus) + "\n";
    // A closed pipe on standard output is no reason to stop logging.
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

void TKorvantLogger::ReportError(const std::string& message)
{
    if (FFinishing)
        return;  // the run is ending; later failures add nothing
    if (FOptions.Out && !FLog.Logging()) {
        // The log closed itself on the failing write: every earlier line is on disk.
        Say(message);
        Finish(kExitLogFile);
        return;
    }
    if (FComm->Active() && DeviceGone()) {
        Say("The serial device " + FComm->DevicePath() + " stopped working (" + message + ").");
        Finish(kExitPort);
        return;
    }
    Say(message);
}

bool TKorvantLogger::DeviceGone()
{
    try {
        FComm->ReadBufUsed();
        return false;
    } catch (const std::exception&) {
        return true;
    }
}

void TKorvantLogger::Finish(int exitCode)
{
    if (FFinishing)
        return;
    FFinishing = true;
    FExitCode = exitCode;
    FPollTimer.stop();
    // Queued: this may run inside a serial delivery, which must end before the port closes.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [exitCode] { QCoreApplication::exit(exitCode); },
                              Qt::QueuedConnection);
}

}  // namespace korvantlog
