// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace sim {

// Owns one file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : FFd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : FFd(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return FFd; }
    int Release();
    void Reset();

private:
    int FFd = -1;
};

// A pseudo-terminal whose slave side is the device the program under test opens. The
// slave is put into raw mode before anyone else sees it, so nothing is echoed, and one
// slave descriptor stays open for the object's life (never read), so the program can close
// and reopen the device without the master seeing a hang-up. Destroying the object closes
// the master: the slave side sees a hang-up and the device node goes away.
class PtyDevice {
public:
    // Throws std::runtime_error naming the failing call.
    PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    int MasterFd() const { return FMaster.Get(); }
    const std::string& Path() const { return FPath; }

private:
    UniqueFd FMaster;  // non-blocking
    UniqueFd FKeepSlave;
    std::string FPath;
};

}  // namespace sim
