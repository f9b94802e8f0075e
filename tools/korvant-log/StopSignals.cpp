// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-log/StopSignals.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include <QSocketNotifier>

namespace korvantlog {

namespace {

sigset_t StopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

void BlockStopSignals()
{
    const sigset_t set = StopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TStopSignals::TStopSignals(std::function<void(int signal)> onSignal) : FOnSignal(std::move(onSignal))
{
    const sigset_t set = StopSet();
    FFd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (FFd < 0)
        throw std::runtime_error(std::string("Cannot watch for Ctrl-C: ") + std::strerror(errno));
    FNotifier = std::make_unique<QSocketNotifier>(FFd, QSocketNotifier::Read);
    QObject::connect(FNotifier.get(), &QSocketNotifier::activated, FNotifier.get(), [this] { Read(); });
}

TStopSignals::~TStopSignals()
{
    FNotifier.reset();
    ::close(FFd);
}

void TStopSignals::Read()
{
    signalfd_siginfo info{};
    for (;;) {
        const ssize_t n = ::read(FFd, &info, sizeof info);
        if (n < 0 && errno == EINTR)
            continue;
        if (n != static_cast<ssize_t>(sizeof info))
            return;  // nothing (more) pending
        FOnSignal(static_cast<int>(info.ssi_signo));
    }
}

}  // namespace korvantlog
