// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/SysfsFixture.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "tests/support/PseudoTerminal.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

// A sysfs attribute as the kernel shows it: the value and a newline.
void Attribute(const fs::path& dir, const char* name, const std::string& value)
{
    if (!value.empty())
        WriteFile(dir / name, value + "\n");
}

}  // namespace

SysfsFixture::SysfsFixture()
{
    if (!FDir.isValid())
        throw std::runtime_error("cannot create a temporary folder for the sysfs fixture");
    fs::create_directories(fs::path(SysRoot()) / "class" / "tty");
    fs::create_directories(DevRoot());
    const fs::path hub = fs::path(SysRoot()) / "devices/pci0000:00/0000:00:14.0/usb1";
    fs::create_directories(hub);
    Attribute(hub, "idVendor", "1d6b");
    Attribute(hub, "manufacturer", "Linux 6.1.0 xhci-hcd");
    Attribute(hub, "product", "xHCI Host Controller");
    Attribute(hub, "serial", "0000:00:14.0");
}

SysfsFixture::~SysfsFixture() = default;

std::string SysfsFixture::SysRoot() const
{
    return FDir.path().toStdString() + "/sys";
}

std::string SysfsFixture::DevRoot() const
{
    return FDir.path().toStdString() + "/dev";
}

std::string SysfsFixture::AddUsb(const std::string& name, const UsbStrings& strings, const std::string& byId)
{
    const std::string busPort = "1-" + std::to_string(FNextBusPort++);
    const fs::path device = fs::path(SysRoot()) / "devices/pci0000:00/0000:00:14.0/usb1" / busPort;
    const fs::path interface = device / (busPort + ":1.0");
    const bool usbSerial = name.starts_with("ttyUSB");
    const fs::path parent = usbSerial ? interface / name : interface;
    const fs::path tty = parent / "tty" / name;
    fs::create_directories(tty);
    Attribute(device, "idVendor", "0403");
    Attribute(device, "idProduct", "6001");
    Attribute(device, "manufacturer", strings.maker);
    Attribute(device, "product", strings.product);
    Attribute(device, "serial", strings.serial);
    Attribute(interface, "bInterfaceClass", usbSerial ? "ff" : "02");
    fs::create_directory_symlink("../..", tty / "device");
    ClassLink(name, tty.string());
    const std::string node = AddNode(name);
    if (!byId.empty()) {
        fs::create_directories(DevRoot() + "/serial/by-id");
        fs::create_symlink("../../" + name, DevRoot() + "/serial/by-id/" + byId);
    }
    return node;
}

std::string SysfsFixture::AddUart(const std::string& name, int type)
{
    const fs::path tty = fs::path(SysRoot()) / "devices/platform/serial8250/tty" / name;
    fs::create_directories(tty);
    Attribute(tty, "type", std::to_string(type));
    fs::create_directory_symlink("../..", tty / "device");
    ClassLink(name, tty.string());
    return AddNode(name);
}

std::string SysfsFixture::AddConsole(const std::string& name)
{
    const fs::path tty = fs::path(SysRoot()) / "devices/virtual/tty" / name;
    fs::create_directories(tty);
    ClassLink(name, tty.string());
    return AddNode(name);
}

void SysfsFixture::RemoveNode(const std::string& name) const
{
    fs::remove(DevRoot() + "/" + name);
}

std::string SysfsFixture::AddNode(const std::string& name)
{
    FTerminals.push_back(std::make_unique<PseudoTerminal>());
    const std::string node = DevRoot() + "/" + name;
    fs::create_symlink(FTerminals.back()->SlavePath(), node);
    return node;
}

void SysfsFixture::ClassLink(const std::string& name, const std::string& ttyDir) const
{
    fs::create_directory_symlink(ttyDir, fs::path(SysRoot()) / "class" / "tty" / name);
}
