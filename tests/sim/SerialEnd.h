// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tools/korvant-sim/Protocol.h"

#include <chrono>
#include <string>

// The program's end of a device the stand-in serves, opened as the serial layer opens a
// port (read-write, no controlling terminal, raw), for writing requests and reading what
// comes back.
class SerialEnd {
public:
    using Milliseconds = std::chrono::milliseconds;

    // Throws std::runtime_error naming the path.
    explicit SerialEnd(const std::string& path);
    ~SerialEnd();
    SerialEnd(const SerialEnd&) = delete;
    SerialEnd& operator=(const SerialEnd&) = delete;

    void Write(const sim::Bytes& bytes);
    // Reads until `count` bytes came or the timeout passed.
    sim::Bytes Read(std::size_t count, Milliseconds timeout = std::chrono::seconds(10));
    // What is waiting right now, without waiting for more.
    sim::Bytes ReadNow();
    // Sends a request and reads a reply of `length` bytes.
    sim::Bytes Ask(const sim::Bytes& request, std::size_t length);
    // True once the far side has hung up (the device is gone).
    bool WaitForHangup(Milliseconds timeout = std::chrono::seconds(10));

private:
    int FFd = -1;
    std::string FPath;
};
