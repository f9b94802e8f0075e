// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/sim/SerialEnd.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

std::runtime_error Failure(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

SerialEnd::SerialEnd(const std::string& path) : FPath(path)
{
    FFd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (FFd < 0)
        throw Failure("cannot open " + path);
    termios raw{};
    if (::tcgetattr(FFd, &raw) != 0) {
        ::close(FFd);
        throw Failure("tcgetattr " + path);
    }
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B19200);
    ::cfsetospeed(&raw, B19200);
    if (::tcsetattr(FFd, TCSANOW, &raw) != 0) {
        ::close(FFd);
        throw Failure("tcsetattr " + path);
    }
}

SerialEnd::~SerialEnd()
{
    ::close(FFd);
}

void SerialEnd::Write(const sim::Bytes& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(FFd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{FFd, POLLOUT, 0};
            ::poll(&p, 1, 1000);
        } else {
            throw Failure("write to " + FPath);
        }
    }
}

sim::Bytes SerialEnd::Read(std::size_t count, Milliseconds timeout)
{
    sim::Bytes out;
    const auto deadline = Clock::now() + timeout;
    while (out.size() < count) {
        const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd p{FFd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        if (p.revents & (POLLHUP | POLLERR))
            break;
        std::uint8_t buffer[512];
        const ssize_t n = ::read(FFd, buffer, std::min(sizeof buffer, count - out.size()));
        if (n > 0)
            out.insert(out.end(), buffer, buffer + n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return out;
}

sim::Bytes SerialEnd::ReadNow()
{
    sim::Bytes out;
    for (;;) {
        std::uint8_t buffer[512];
        const ssize_t n = ::read(FFd, buffer, sizeof buffer);
        if (n <= 0)
            return out;
        out.insert(out.end(), buffer, buffer + n);
    }
}

sim::Bytes SerialEnd::Ask(const sim::Bytes& request, std::size_t length)
{
    Write(request);
    return Read(length);
}

bool SerialEnd::WaitForHangup(Milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        pollfd p{FFd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
        if (::poll(&p, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0)
            continue;
        if (p.revents & (POLLHUP | POLLERR))
            return true;
        std::uint8_t buffer[512];
        const ssize_t n = ::read(FFd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno == EIO))
            return true;
    }
    return false;
}
