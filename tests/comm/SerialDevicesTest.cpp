// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/comm/SerialDevices.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SysfsFixture.h"

using namespace comm;

namespace {

class SerialDevicesTest : public testing::Test {
protected:
    // One line per device: "numbers path kind [maker|product|serial] by-id=name denied",
    // paths below the fixture's dev/ written as dev/...
    std::vector<std::string> Listed() const
    {
        std::vector<std::string> rows;
        for (const SerialDeviceEntry& device : ListSerialDevices(sources))
            rows.push_back(Describe(device));
        return rows;
    }

    std::string Describe(const SerialDeviceEntry& device) const
    {
        std::string numbers;
        for (const int n : device.numbers)
            numbers += (numbers.empty() ? "" : ",") + std::to_string(n);
        std::string row = (numbers.empty() ? "-" : numbers) + " " + Short(device.path);
        switch (device.kind) {
        case SerialDeviceKind::Usb:
            row += " usb [" + device.maker + "|" + device.product + "|" + device.serialNumber + "]";
            break;
        case SerialDeviceKind::Uart:
            row += " uart";
            break;
        case SerialDeviceKind::Linked:
            row += " linked";
            break;
        }
        if (!device.byId.empty())
            row += " by-id=" + Short(device.byId);
        if (!device.mayOpen)
            row += " denied";
        return row;
    }

    std::string Short(const std::string& path) const
    {
        const std::string dev = machine.DevRoot() + "/";
        return path.starts_with(dev) ? "dev/" + path.substr(dev.size()) : path;
    }

    SysfsFixture machine;
    ScopedConfigHome home;
    DeviceSources sources{machine.SysRoot(), machine.DevRoot(), home.PortDir(), MayOpenDevice};
};

}  // namespace

TEST_F(SerialDevicesTest, ListsAdaptersAndFittedUartsWithTheirNumbers)
{
    machine.AddUsb("ttyUSB0", {"FTDI", "FT232R USB UART", "A50285BI"}, "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    const std::string acm = machine.AddUsb("ttyACM0", {"Arduino (www.arduino.cc)", "Arduino Uno", ""});
    machine.AddUsb("ttyUSB1", {"", "", ""});                                        // names nothing
    machine.AddUsb("ttyUSB2", {"Evil\x1b[2J", "two\nlines", std::string(300, 'x')});  // untrusted strings
    machine.AddUsb("ttyUSB40", {"Prolific Technology Inc.", "USB-Serial Controller", ""});
    machine.AddUsb("ttyUSB3", {"FTDI", "gone", ""});
    machine.RemoveNode("ttyUSB3");  // in sysfs, no node yet
    machine.AddUart("ttyS0", 0);    // a UART node without a port fitted
    machine.AddUart("ttyS1", 4);
    machine.AddUart("ttyAMA0", 95);  // a UART that the fixed table does not name
    machine.AddConsole("tty0");
    sources.mayOpen = [&](const std::string& path) { return path != acm; };

    const std::vector<std::string> expected{
        "2 dev/ttyS1 uart",
        "33 dev/ttyUSB0 usb [FTDI|FT232R USB UART|A50285BI] by-id=dev/serial/by-id/"
        "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
        "34 dev/ttyUSB1 usb [||]",
        "35 dev/ttyUSB2 usb [Evil?[2J|two|" + std::string(256, 'x') + "]",
        "65 dev/ttyACM0 usb [Arduino (www.arduino.cc)|Arduino Uno|] denied",
        "- dev/ttyAMA0 uart",
        "- dev/ttyUSB40 usb [Prolific Technology Inc.|USB-Serial Controller|]",
    };
    EXPECT_EQ(Listed(), expected);
}

TEST_F(SerialDevicesTest, LinksGiveTheirNumbersAndEachDeviceIsListedOnce)
{
    const std::string usb0 = machine.AddUsb("ttyUSB0", {"FTDI", "FT232R USB UART", "A1"});
    machine.AddUsb("ttyACM0", {"Arduino", "Uno", ""});
    machine.AddUsb("ttyACM1", {"Arduino", "Mega", ""});
    const std::string usb40 = machine.AddUsb("ttyUSB40", {"FTDI", "far", ""});
    machine.AddUart("ttyS9", 0);  // the table's COM10, no port fitted
    SimProcess sim({"--com", "9"});
    home.Link("com12", sim.DevicePath());      // a second name for the stand-in
    home.Link("COM40", usb0);                  // a link beside the table's COM33
    home.Link("COM66", "/nonexistent/ttyX");   // leads nowhere, yet shadows the table's ttyACM1
    home.Link("COM010", usb40);                // not what opening port 10 looks for

    const std::vector<std::string> expected{
        "9,12 " + sim.DevicePath() + " linked",
        "40,33 dev/ttyUSB0 usb [FTDI|FT232R USB UART|A1]",
        "65 dev/ttyACM0 usb [Arduino|Uno|]",
        "- dev/ttyACM1 usb [Arduino|Mega|]",
        "- dev/ttyUSB40 usb [FTDI|far|]",
    };
    EXPECT_EQ(Listed(), expected);
    // Every number listed opens that device.
    for (const SerialDeviceEntry& device : ListSerialDevices(sources)) {
        for (const int n : device.numbers) {
            const std::string opened = ResolveDevicePath("COM" + std::to_string(n), sources.portDir, sources.devRoot);
            EXPECT_EQ(opened, device.path) << n;
        }
    }
}

TEST_F(SerialDevicesTest, NothingThereListsNothing)
{
    sources.sysRoot = machine.SysRoot() + "/missing";
    sources.portDir = home.PortDir() + "/missing";
    EXPECT_TRUE(Listed().empty());
}
