// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <string>

// A pseudo-terminal pair for tests: the slave path stands in for a serial device, the
// master end plays the device's far side. Closed on destruction.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return FSlavePath; }
    int MasterFd() const { return FMaster; }
    // A slave descriptor the test holds, to inspect the line settings the code under test made.
    int SlaveFd() const { return FKeepSlave; }

    // Writes all bytes to the master side (they arrive at the slave).
    void Send(const std::string& bytes);
    // Reads from the master side until `count` bytes came or the timeout passed.
    std::string Receive(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Reads whatever the master side holds within a short settling time.
    std::string Drain(std::chrono::milliseconds quiet = std::chrono::milliseconds(100));
    // Closes the master side: the slave sees a hang-up.
    void HangUp();

private:
    int FMaster = -1;
    int FKeepSlave = -1;  // keeps the slave alive between opens by the code under test
    std::string FSlavePath;
};
