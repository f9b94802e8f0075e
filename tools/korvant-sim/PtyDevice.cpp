// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/PtyDevice.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace sim {

namespace {

std::runtime_error SystemFailure(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        Reset();
        FFd = other.Release();
    }
    return *this;
}

int UniqueFd::Release()
{
    return std::exchange(FFd, -1);
}

void UniqueFd::Reset()
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
}

PtyDevice::PtyDevice()
{
    FMaster = UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (FMaster.Get() < 0)
        throw SystemFailure("cannot open a pseudo-terminal (posix_openpt)");
    if (::grantpt(FMaster.Get()) != 0)
        throw SystemFailure("grantpt");
    if (::unlockpt(FMaster.Get()) != 0)
        throw SystemFailure("unlockpt");
    char name[128] = {};
    if (::ptsname_r(FMaster.Get(), name, sizeof name) != 0)
        throw SystemFailure("ptsname_r");
    FPath = name;

    FKeepSlave = UniqueFd(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (FKeepSlave.Get() < 0)
        throw SystemFailure("cannot open " + FPath);
    termios raw{};
    if (::tcgetattr(FKeepSlave.Get(), &raw) != 0)
        throw SystemFailure("tcgetattr " + FPath);
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B19200);
    ::cfsetospeed(&raw, B19200);
    raw.c_cflag |= CLOCAL | CREAD;
    raw.c_cflag &= ~static_cast<tcflag_t>(HUPCL);
    if (::tcsetattr(FKeepSlave.Get(), TCSANOW, &raw) != 0)
        throw SystemFailure("tcsetattr " + FPath);

    const int flags = ::fcntl(FMaster.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(FMaster.Get(), F_SETFL, flags | O_NONBLOCK) != 0)
        throw SystemFailure("fcntl O_NONBLOCK");
}

}  // namespace sim
