// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

#include "platform/comm/LineSettings.h"

namespace comm {

// Outcome of a transfer: bytes moved, or the errno of a failure (count is then 0).
struct IoResult {
    size_t count = 0;
    int error = 0;
};

// Queue counts of an open device.
struct QueueCounts {
    std::uint32_t received = 0;  // bytes received and not yet read
    std::uint32_t unsent = 0;    // bytes written and not yet on the line
};

// The driver's running counts of line events and errors (where the driver keeps them).
struct LineCounters {
    int cts = 0, dsr = 0, rng = 0, dcd = 0;
    int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    bool operator==(const LineCounters&) const = default;
};

// What the driver can do, in the terms of the classic port-capabilities record.
struct PortCapabilities {
    std::uint32_t maxBaud = 0;        // highest settable speed in bit/s
    std::uint32_t currentRxQueue = 0;  // driver queue sizes in bytes (0: not known)
    std::uint32_t currentTxQueue = 0;
    bool modemLines = false;           // DTR/RTS/CTS/DSR/RI/DCD are real lines
    bool lineCounters = false;         // line events and errors are counted
};

// Modem-control line bits for SetModemLine and ModemLines.
enum ModemLine : int { mlDTR = 0x002, mlRTS = 0x004, mlCTS = 0x020, mlDCD = 0x040, mlRI = 0x080, mlDSR = 0x100 };

// One open serial device (a terminal device), owned exclusively. Every call that can fail
// returns 0 on success or the errno value; EINTR is retried here and EAGAIN means "nothing
// now", so callers see only real failures. Not thread-safe by itself: the owner serialises.
class SerialDevice {
public:
    SerialDevice() = default;
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens path for reading and writing, non-blocking, not as controlling terminal, and
    // exclusively: a device that another program (or another open) holds fails with EBUSY;
    // a file that is not a terminal fails with ENOTTY.
    int Open(const std::string& path);
    void Close();
    bool IsOpen() const { return FFd >= 0; }
    int Fd() const { return FFd; }

    // Writes the settings record to the driver: raw mode, speed (also non-standard
    // speeds), data bits, parity (mark and space too), stop bits, RTS/CTS and XON/XOFF flow
    // control and characters, DTR and RTS levels, no hang-up on close. Devices without
    // modem-control lines (pseudo-terminals) keep the rest of the settings.
    int WriteSettings(const LineSettings& settings);
    // Reads the driver's current settings into a record: speed, data bits, parity, stop bits,
    // parity check, RTS/CTS and XON/XOFF flow control, DTR and RTS levels (where the device
    // has such lines) and the XON/XOFF characters. Fields the driver does not keep (limits,
    // error, end-of-file and event characters) are left as the caller filled them.
    int ReadSettings(LineSettings& settings) const;

    int Counts(QueueCounts& counts) const;
    IoResult Read(void* buffer, size_t count);
    IoResult Write(const void* buffer, size_t count);
    // Waits until the device can take more output: 0, ETIMEDOUT, or the failure.
    int WaitWritable(int timeoutMs) const;
    // Waits until input is waiting: 0, ETIMEDOUT, or the failure.
    int WaitReadable(int timeoutMs) const;
    // Discards received and/or unsent bytes in the driver.
    int Purge(bool received, bool unsent);

    int SetModemLine(ModemLine line, bool on);
    int ModemLines(int& lines) const;
    int SetBreak(bool on);
    // Resumes (true) or suspends (false) output, as a received XON or XOFF would.
    int SetOutputFlow(bool on);
    int Counters(LineCounters& counters) const;
    int Capabilities(PortCapabilities& caps) const;

private:
    friend int ReadDeviceSettings(const std::string& path, LineSettings& settings);
    int FFd = -1;
    bool FExclusive = false;  // this descriptor set the device's exclusive mode
};

// One non-blocking write to fd (EINTR retried; EAGAIN is a count of 0 without error). For
// threads that share an open device's descriptor.
IoResult WriteSome(int fd, const void* buffer, size_t count);

// Waits until the first of several descriptors is ready: for each, the poll events wanted.
// Returns the index of the first ready one in list order, -1 on timeout (negative timeout:
// no limit). A descriptor that reports an error or hang-up counts as ready.
struct WaitItem {
    int fd;
    short events;
};
int WaitFirst(const WaitItem* items, int count, int timeoutMs);

// The line counters of an open descriptor (for threads that share a device's descriptor).
int ReadCounters(int fd, LineCounters& counters);
// The queue counts of an open descriptor (for threads that share a device's descriptor).
int ReadQueueCounts(int fd, QueueCounts& counts);

// Reads the current settings of the device at path without taking it: opened read-only,
// not exclusively, and closed again.
int ReadDeviceSettings(const std::string& path, LineSettings& settings);

// Whether an errno from a modem-control call means "this device has no such lines".
bool IsUnsupported(int error);

}  // namespace comm
