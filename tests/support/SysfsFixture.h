// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

class PseudoTerminal;

// A machine's sysfs and /dev in a temporary folder, for the serial device listing. Each
// terminal is added as the kernel shows it: a class/tty link into the devices tree, the
// USB descriptors on the adapter above its interface (and a root hub above that), a UART's
// port type. Its node in dev/ is a link to a pseudo-terminal of its own, so it is a real
// character device with a device number of its own.
class SysfsFixture {
public:
    // USB descriptor strings; an empty one is a missing file, as for a device without it.
    struct UsbStrings {
        std::string maker;
        std::string product;
        std::string serial;
    };

    SysfsFixture();
    ~SysfsFixture();
    SysfsFixture(const SysfsFixture&) = delete;
    SysfsFixture& operator=(const SysfsFixture&) = delete;

    std::string SysRoot() const;
    std::string DevRoot() const;

    // A USB serial adapter on a bus port of its own: ttyUSB* on a port below the interface
    // (usb-serial), anything else on the interface itself (cdc-acm). byId names its link in
    // dev/serial/by-id, if it has one. Returns the node's path.
    std::string AddUsb(const std::string& name, const UsbStrings& strings, const std::string& byId = {});
    // A built-in UART of the given port type (0: no port fitted). Returns the node's path.
    std::string AddUart(const std::string& name, int type);
    // A terminal with no device behind it (a virtual console). Returns the node's path.
    std::string AddConsole(const std::string& name);
    // Takes a node away from dev/, keeping the sysfs entry (udev has not made it yet).
    void RemoveNode(const std::string& name) const;

private:
    std::string AddNode(const std::string& name);
    void ClassLink(const std::string& name, const std::string& ttyDir) const;

    QTemporaryDir FDir;
    std::vector<std::unique_ptr<PseudoTerminal>> FTerminals;
    int FNextBusPort = 1;
};
