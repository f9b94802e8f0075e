// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

PseudoTerminal::PseudoTerminal()
{
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&FMaster, &FKeepSlave, name, &raw, nullptr) != 0)
        throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
    fcntl(FMaster, F_SETFL, fcntl(FMaster, F_GETFL) | O_NONBLOCK);
    fcntl(FMaster, F_SETFD, FD_CLOEXEC);
    fcntl(FKeepSlave, F_SETFD, FD_CLOEXEC);
    FSlavePath = name;
}

PseudoTerminal::~PseudoTerminal()
{
    HangUp();
    if (FKeepSlave >= 0)
        ::close(FKeepSlave);
}

void PseudoTerminal::HangUp()
{
    if (FMaster >= 0)
        ::close(FMaster);
    FMaster = -1;
}

void PseudoTerminal::Send(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(FMaster, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{FMaster, POLLOUT, 0};
            ::poll(&p, 1, 1000);
        } else {
            throw std::runtime_error(std::string("pty write: ") + std::strerror(errno));
        }
    }
}

std::string PseudoTerminal::Receive(size_t count, std::chrono::milliseconds timeout)
{
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (out.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{FMaster, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buf[512];
        const ssize_t n = ::read(FMaster, buf, std::min(sizeof buf, count - out.size()));
        if (n > 0)
            out.append(buf, static_cast<size_t>(n));
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return out;
}

std::string PseudoTerminal::Drain(std::chrono::milliseconds quiet)
{
    std::string out;
    for (;;) {
        pollfd p{FMaster, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0)
            return out;
        char buf[512];
        const ssize_t n = ::read(FMaster, buf, sizeof buf);
        if (n <= 0)
            return out;
        out.append(buf, static_cast<size_t>(n));
    }
}
