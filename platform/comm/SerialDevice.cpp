// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/comm/SerialDevice.h"

#include "platform/comm/CustomSpeed.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <utility>

namespace comm {

namespace {

struct SpeedCode {
    unsigned speed;
    speed_t code;
};

constexpr SpeedCode kSpeeds[] = {
    {50, B50}, {75, B75}, {110, B110}, {134, B134}, {150, B150}, {200, B200}, {300, B300},
    {600, B600}, {1200, B1200}, {1800, B1800}, {2400, B2400}, {4800, B4800}, {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
    {460800, B460800}, {500000, B500000}, {576000, B576000}, {921600, B921600},
    {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000}, {2000000, B2000000},
    {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool StandardCode(unsigned speed, speed_t& code)
{
    for (const SpeedCode& s : kSpeeds) {
        if (s.speed == speed) {
            code = s.code;
            return true;
        }
    }
    return false;
}

int CallIoctl(int fd, unsigned long request, void* arg)
{
    while (::ioctl(fd, request, arg) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Waits for one poll event on fd; EINTR restarts with the time that is left.
int WaitFor(int fd, short events, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now()).count();
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ETIMEDOUT;
        if (p.revents & POLLNVAL)
            return EBADF;
        if ((p.revents & events) != 0)
            return 0;
        if (p.revents & (POLLERR | POLLHUP))
            return EIO;
        return 0;
    }
}

}  // namespace

bool IsUnsupported(int error)
{
    return error == ENOTTY || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

SerialDevice::~SerialDevice()
{
    Close();
}

int SerialDevice::Open(const std::string& path)
{
    Close();
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno;
    if (!::isatty(fd)) {
        ::close(fd);
        return ENOTTY;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = (errno == EWOULDBLOCK) ? EBUSY : errno;
        ::close(fd);
        return error;
    }
    // Keeps out other programs that do not take the lock (root can still get through).
    FExclusive = ::ioctl(fd, TIOCEXCL) == 0;
    FFd = fd;
    return 0;
}

void SerialDevice::Close()
{
    if (FFd < 0)
        return;
    if (FExclusive)
        ::ioctl(FFd, TIOCNXCL);
    ::close(FFd);
    FFd = -1;
    FExclusive = false;
}

int SerialDevice::WriteSettings(const LineSettings& s)
{
    termios t{};
    if (::tcgetattr(FFd, &t) != 0)
        return errno;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(HUPCL | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR);

    switch (s.ByteSize) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return EINVAL;
    }
    switch (s.Parity) {
    case 0: break;
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: return EINVAL;
    }
    switch (s.StopBits) {
    case 0: break;
    case 1:  // one and a half: the hardware does that for 5 data bits when asked for two
    case 2: t.c_cflag |= CSTOPB; break;
    default: return EINVAL;
    }
    t.c_iflag |= (s.Flags & fParity) ? INPCK : IGNPAR;
    const std::uint32_t rts = s.Flags & fRtsControlMask;
    if ((s.Flags & fOutxCtsFlow) || rts == fRtsControlHandshake)
        t.c_cflag |= CRTSCTS;
    if (s.Flags & fOutX)
        t.c_iflag |= IXON;
    if (s.Flags & fInX)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;

    speed_t code = B0;
    const bool standard = StandardCode(s.BaudRate, code);
    if (standard) {
        ::cfsetispeed(&t, code);
        ::cfsetospeed(&t, code);
    } else if (s.BaudRate == 0) {
        return EINVAL;
    }
    if (::tcsetattr(FFd, TCSANOW, &t) != 0)
        return errno;
    if (!standard) {
        if (const int error = SetCustomSpeed(FFd, s.BaudRate))
            return error;
    }

    // DTR and RTS levels; handshake and toggle leave the line to the driver.
    const std::uint32_t dtr = s.Flags & fDtrControlMask;
    if (dtr != fDtrControlHandshake) {
        const int error = SetModemLine(mlDTR, dtr == fDtrControlEnable);
        if (error && !IsUnsupported(error))
            return error;
    }
    if (rts == 0 || rts == fRtsControlEnable) {
        const int error = SetModemLine(mlRTS, rts == fRtsControlEnable);
        if (error && !IsUnsupported(error))
            return error;
    }
    return 0;
}

int SerialDevice::ReadSettings(LineSettings& s) const
{
    termios t{};
    if (::tcgetattr(FFd, &t) != 0)
        return errno;
    unsigned speed = 0;
    if (GetSpeed(FFd, speed) != 0) {
        const speed_t code = ::cfgetospeed(&t);
        for (const SpeedCode& sc : kSpeeds) {
            if (sc.code == code)
                speed = sc.speed;
        }
    }
    s.BaudRate = speed;
    switch (t.c_cflag & CSIZE) {
    case CS5: s.ByteSize = 5; break;
    case CS6: s.ByteSize = 6; break;
    case CS7: s.ByteSize = 7; break;
    default: s.ByteSize = 8; break;
    }
    s.Parity = 0;
    if (t.c_cflag & PARENB) {
        const bool odd = (t.c_cflag & PARODD) != 0;
        if (t.c_cflag & CMSPAR)
            s.Parity = odd ? 3 : 4;
        else
            s.Parity = odd ? 1 : 2;
    }
    s.StopBits = (t.c_cflag & CSTOPB) ? 2 : 0;

    std::uint32_t flags = s.Flags & ~(fParity | fOutxCtsFlow | fOutX | fInX);
    flags |= fBinary;
    if (t.c_iflag & INPCK)
        flags |= fParity;
    if (t.c_cflag & CRTSCTS)
        flags = (flags & ~fRtsControlMask) | fOutxCtsFlow | fRtsControlHandshake;
    if (t.c_iflag & IXON)
        flags |= fOutX;
    if (t.c_iflag & IXOFF)
        flags |= fInX;
    int lines = 0;
    if (ModemLines(lines) == 0) {
        flags = (flags & ~fDtrControlMask) | ((lines & mlDTR) ? fDtrControlEnable : 0);
        if (!(t.c_cflag & CRTSCTS))
            flags = (flags & ~fRtsControlMask) | ((lines & mlRTS) ? fRtsControlEnable : 0);
    }
    s.Flags = flags;
    s.XonChar = static_cast<char>(t.c_cc[VSTART]);
    s.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return 0;
}

int ReadDeviceSettings(const std::string& path, LineSettings& settings)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno;
    SerialDevice device;
    device.FFd = fd;  // closed by the device's destructor
    return device.ReadSettings(settings);
}

int ReadQueueCounts(int fd, QueueCounts& counts)
{
    int received = 0;
    int unsent = 0;
    if (const int error = CallIoctl(fd, FIONREAD, &received))
        return error;
    if (const int error = CallIoctl(fd, TIOCOUTQ, &unsent))
        return error;
    counts.received = received > 0 ? static_cast<std::uint32_t>(received) : 0;
    counts.unsent = unsent > 0 ? static_cast<std::uint32_t>(unsent) : 0;
    return 0;
}

int SerialDevice::Counts(QueueCounts& counts) const
{
    return ReadQueueCounts(FFd, counts);
}

IoResult SerialDevice::Read(void* buffer, size_t count)
{
    for (;;) {
        const ssize_t n = ::read(FFd, buffer, count);
        if (n >= 0)
            return {static_cast<size_t>(n), 0};
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return {0, 0};
        return {0, errno};
    }
}

IoResult WriteSome(int fd, const void* buffer, size_t count)
{
    for (;;) {
        const ssize_t n = ::write(fd, buffer, count);
        if (n >= 0)
            return {static_cast<size_t>(n), 0};
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return {0, 0};
        return {0, errno};
    }
}

int WaitFirst(const WaitItem* items, int count, int timeoutMs)
{
    constexpr int kMax = 8;
    pollfd fds[kMax];
    const int n = count < kMax ? count : kMax;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        for (int i = 0; i < n; ++i)
            fds[i] = pollfd{items[i].fd, items[i].events, 0};
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now()).count();
            wait = left > 0 ? static_cast<int>(left) : 0;
        }
        const int ready = ::poll(fds, static_cast<nfds_t>(n), wait);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return -1;
        for (int i = 0; i < n; ++i) {
            if (fds[i].revents != 0)
                return i;
        }
    }
}

IoResult SerialDevice::Write(const void* buffer, size_t count)
{
    return WriteSome(FFd, buffer, count);
}

int SerialDevice::WaitWritable(int timeoutMs) const
{
    return WaitFor(FFd, POLLOUT, timeoutMs);
}

int SerialDevice::WaitReadable(int timeoutMs) const
{
    return WaitFor(FFd, POLLIN, timeoutMs);
}

int SerialDevice::Purge(bool received, bool unsent)
{
    if (!received && !unsent)
        return 0;
    const int queue = received && unsent ? TCIOFLUSH : (received ? TCIFLUSH : TCOFLUSH);
    if (::tcflush(FFd, queue) != 0)
        return errno;
    return 0;
}

int SerialDevice::SetModemLine(ModemLine line, bool on)
{
    int bits = line;
    return CallIoctl(FFd, on ? TIOCMBIS : TIOCMBIC, &bits);
}

int SerialDevice::ModemLines(int& lines) const
{
    return CallIoctl(FFd, TIOCMGET, &lines);
}

int SerialDevice::SetBreak(bool on)
{
    return CallIoctl(FFd, on ? TIOCSBRK : TIOCCBRK, nullptr);
}

int SerialDevice::SetOutputFlow(bool on)
{
    if (::tcflow(FFd, on ? TCOON : TCOOFF) != 0)
        return errno;
    return 0;
}

int ReadCounters(int fd, LineCounters& c)
{
    serial_icounter_struct ic{};
    if (const int error = CallIoctl(fd, TIOCGICOUNT, &ic))
        return error;
    c = LineCounters{ic.cts, ic.dsr, ic.rng, ic.dcd, ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
    return 0;
}

int SerialDevice::Counters(LineCounters& c) const
{
    return ReadCounters(FFd, c);
}

int SerialDevice::Capabilities(PortCapabilities& caps) const
{
    termios t{};
    if (::tcgetattr(FFd, &t) != 0)
        return errno;
    caps = PortCapabilities{};
    caps.maxBaud = 4000000;
    serial_struct info{};
    if (CallIoctl(FFd, TIOCGSERIAL, &info) == 0) {
        caps.currentTxQueue = static_cast<std::uint32_t>(info.xmit_fifo_size);
        if (info.baud_base > 0)
            caps.maxBaud = static_cast<std::uint32_t>(info.baud_base);
    }
    int lines = 0;
    caps.modemLines = ModemLines(lines) == 0;
    LineCounters counters;
    caps.lineCounters = Counters(counters) == 0;
    return 0;
}

}  // namespace comm
