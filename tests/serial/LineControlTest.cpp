// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Line control, status reads, device defaults, the port list and the settings store.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/ioctl.h>
#include <termios.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/comm/CustomSpeed.h"
#include "platform/comm/SystemError.h"
#include "platform/framework/Strings.h"
#include "serial/VaComm.h"
#include "serial/VaDispatcher.h"
#include "tests/support/MessageOf.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/ScopedConfigHome.h"

namespace {

class LineControlTest : public testing::Test {
protected:
    LineControlTest() { port.SetDeviceName(pty.SlavePath()); }

    ScopedConfigHome home;
    PseudoTerminal pty;
    TVaComm port{nullptr};
};

}  // namespace

TEST_F(LineControlTest, HandshakeLinesRefuseUpdatesOpenOrClosed)
{
    const std::string dtr = "DTR line updates not allowed when flowcontrol is set to Handshake.";
    const std::string rts = "RTS line updates not allowed when flowcontrol is set to Handshake or Toggle.";
    port.FlowControl().SetControlDtr(dtrHandshake);
    port.FlowControl().SetControlRts(rtsHandshake);
    EXPECT_EQ(MessageOf([&] { port.SetDTR(true); }), dtr);
    EXPECT_EQ(MessageOf([&] { port.SetRTS(false); }), rts);
    port.FlowControl().SetControlRts(rtsToggle);
    EXPECT_EQ(MessageOf([&] { port.SetRTS(true); }), rts);
    port.Open();
    EXPECT_EQ(MessageOf([&] { port.SetDTR(false); }), dtr);
    EXPECT_EQ(MessageOf([&] { port.SetRTS(true); }), rts);
}

TEST_F(LineControlTest, ClosedPortLineControlAndStatusDoNothing)
{
    EXPECT_NO_THROW(port.SetDTR(true));
    EXPECT_NO_THROW(port.SetRTS(true));
    EXPECT_NO_THROW(port.SetBreak(true));
    EXPECT_NO_THROW(port.SetXon(false));
    EXPECT_NO_THROW(port.ResetDev());
    EXPECT_FALSE(port.CTS());
    EXPECT_FALSE(port.DSR());
    EXPECT_FALSE(port.RING());
    EXPECT_FALSE(port.RLSD());
    EXPECT_FALSE(port.CTSHold());
    EXPECT_FALSE(port.XOffSent());
    EXPECT_EQ(MessageOf([&] { port.Properties(); }), "Can't perform this operation while port is closed");
}

TEST_F(LineControlTest, DeviceWithoutModemLinesReportsTheSystemError)
{
    port.Open();
    // A pseudo-terminal has no modem lines: the driver's own error comes back.
    int lines = 0;
    const int error = ioctl(pty.SlaveFd(), TIOCMGET, &lines) == 0 ? 0 : errno;
    ASSERT_NE(error, 0) << "this device has modem lines after all";
    const std::string suffix = " (" + std::to_string(error) + "), " + comm::ErrorText(error);
    EXPECT_EQ(MessageOf([&] { port.CTS(); }), "Error reading modem state" + suffix);
    EXPECT_EQ(MessageOf([&] { port.SetDTR(true); }), "Error calling comm function" + suffix);
    EXPECT_EQ(MessageOf([&] { port.SetRTS(false); }), "Error calling comm function" + suffix);
    EXPECT_EQ(MessageOf([&] { port.ResetDev(); }),
              "Error calling comm function (95), " + comm::ErrorText(EOPNOTSUPP));
    EXPECT_NO_THROW(port.SetXon(false));
    EXPECT_NO_THROW(port.SetXon(true));
    EXPECT_FALSE(port.CTSHold()) << "no flow control, no hold";
    EXPECT_TRUE(port.Active());
    EXPECT_TRUE(port.WriteText("still works"));
}

namespace {

class SilentClient : public IVaCommUser {
public:
    void HandleCommEvent(std::int32_t) override {}
    void HandleCommData(const std::uint8_t*, std::int32_t) override {}
};

}  // namespace

// A client drives DTR through its dispatcher exactly as the component's own SetDTR does.
TEST_F(LineControlTest, DispatcherSetsDTRThroughTheComponent)
{
    TVaDispatcher dispatcher(std::make_shared<SilentClient>());
    EXPECT_NO_THROW(dispatcher.SetDTRState(true)) << "without a component it does nothing";
    port.InsertClient(&dispatcher);
    port.FlowControl().SetControlDtr(dtrHandshake);
    EXPECT_EQ(MessageOf([&] { dispatcher.SetDTRState(true); }),
              "DTR line updates not allowed when flowcontrol is set to Handshake.");
    port.FlowControl().SetControlDtr(dtrDisabled);
    port.Open();
    const std::string deviceAnswer = MessageOf([&] { port.SetDTR(false); });
    ASSERT_NE(deviceAnswer, "(no EVaCommError)") << "this device has modem lines after all";
    EXPECT_EQ(MessageOf([&] { dispatcher.SetDTRState(false); }), deviceAnswer);
    port.RemoveClient(&dispatcher);
}

TEST_F(LineControlTest, PropertiesDescribeTheOpenPort)
{
    port.Open();
    const TCommProp p = port.Properties();
    EXPECT_EQ(p.wPacketLength, sizeof(TCommProp));
    EXPECT_EQ(p.dwServiceMask, 1u);
    EXPECT_EQ(p.dwProvCapabilities & 0x0002u, 0u) << "no RTS/CTS on a pseudo-terminal";
    EXPECT_NE(p.dwSettableParams & 0x0002u, 0u) << "the speed is settable";
}

TEST_F(LineControlTest, ResetPortParametersTakesTheDriversSettings)
{
    termios t{};
    ASSERT_EQ(tcgetattr(pty.SlaveFd(), &t), 0);
    cfsetspeed(&t, B57600);
    t.c_cflag |= CSTOPB;
    t.c_iflag |= IXON;
    t.c_cc[VSTART] = 0x07;
    ASSERT_EQ(tcsetattr(pty.SlaveFd(), TCSANOW, &t), 0);
    port.Buffers().SetXonLimit(512);
    port.EventChars().SetEofChar(0x1A);

    port.ResetPortParameters();  // closed: the device is read without taking it
    EXPECT_EQ(port.Baudrate(), br57600);
    EXPECT_EQ(port.UserBaudrate(), 0);
    EXPECT_EQ(port.Stopbits(), sb2);
    EXPECT_EQ(port.Databits(), db8);
    EXPECT_EQ(port.Parity(), paNone);
    EXPECT_TRUE(port.FlowControl().XonXoffOut());
    EXPECT_FALSE(port.FlowControl().XonXoffIn());
    EXPECT_EQ(port.EventChars().XonChar(), 0x07);
    EXPECT_EQ(port.Buffers().XonLimit(), 512) << "what the driver does not keep stays";
    EXPECT_EQ(port.EventChars().EofChar(), 0x1A);

    port.Open();
    ASSERT_EQ(comm::SetCustomSpeed(pty.SlaveFd(), 31250), 0);  // changed behind the port's back
    port.ResetPortParameters();
    EXPECT_EQ(port.Baudrate(), brUser);
    EXPECT_EQ(port.UserBaudrate(), 31250);

    TVaComm missing(nullptr);
    missing.SetDeviceName("/dev/korvant-missing");
    EXPECT_EQ(MessageOf([&] { missing.ResetPortParameters(); }), "Error reading default port parameters.");
}

TEST_F(LineControlTest, PortNamesListLinkedDevicesOnceAndSkipDanglingLinks)
{
    home.Link("COM40", pty.SlavePath());
    home.Link("com40", pty.SlavePath());
    home.Link("COM41", "/nonexistent/adapter");
    TStrings names;
    names.Add("stale");
    port.GetComPortNames(names);
    EXPECT_EQ(names.IndexOf("stale"), -1);
    int count40 = 0;
    for (int i = 0; i < names.Count(); ++i) {
        const std::string& n = names.Strings(i);
        if (n == "COM40" || n == "com40")
            ++count40;
        EXPECT_NE(n, "COM41");
    }
    EXPECT_EQ(count40, 1);
    EXPECT_LE(names.IndexOf("COM40") + names.IndexOf("com40") + 1, 0) << "links come first";
}

class SettingsStoreTest : public LineControlTest {
protected:
    SettingsStoreTest()
    {
        port.SetName("VaComm1");
        port.SettingsStore().SetKey(File().toStdString());
    }
    QString File() const { return dir.filePath("korvant.INI"); }

    QTemporaryDir dir;
};

TEST_F(SettingsStoreTest, SaveThenLoadRoundTripsTheSettings)
{
    port.SetBaudrate(br57600);
    port.SetStopbits(sb2);
    port.SetPortNum(9);
    port.FlowControl().SetControlDtr(dtrEnabled);
    port.FlowControl().SetXonXoffIn(true);
    port.SaveSettings();

    QSettings file(File(), QSettings::IniFormat);
    file.beginGroup("VaComm1");
    EXPECT_EQ(file.value("FLOWCONTROL").toInt(), 1) << "DTR held on wins over XON/XOFF";
    EXPECT_EQ(file.value("COMNAME").toString(), "COM9");
    EXPECT_EQ(file.value("BAUDRATE").toInt(), static_cast<int>(br57600));
    EXPECT_EQ(file.value("FLAG").toInt(), 1);

    TVaComm other(nullptr);
    other.SetName("VaComm1");
    other.SettingsStore().SetKey(File().toStdString());
    other.FlowControl().SetXonXoffOut(true);
    EXPECT_TRUE(other.LoadSettings());
    EXPECT_EQ(other.Baudrate(), br57600);
    EXPECT_EQ(other.Stopbits(), sb2);
    EXPECT_EQ(other.PortNum(), 9);
    EXPECT_EQ(other.FlowControl().ControlDtr(), dtrEnabled);
    EXPECT_EQ(other.FlowControl().ControlRts(), rtsEnabled);
    EXPECT_FALSE(other.FlowControl().XonXoffIn());
    EXPECT_FALSE(other.FlowControl().XonXoffOut());
}

TEST_F(SettingsStoreTest, FileWithoutMarkerChangesNothing)
{
    {
        QSettings file(File(), QSettings::IniFormat);
        file.setValue("VaComm1/BAUDRATE", static_cast<int>(br115200));
    }
    EXPECT_FALSE(port.LoadSettings());
    EXPECT_EQ(port.Baudrate(), br1200);
    port.SettingsStore().SetSection("Elsewhere");
    EXPECT_FALSE(port.LoadSettings());
}

TEST_F(SettingsStoreTest, DamagedFileIsRefusedAndChangesNothing)
{
    {
        QSettings file(File(), QSettings::IniFormat);
        file.setValue("VaComm1/FLAG", 1);
        file.setValue("VaComm1/BAUDRATE", static_cast<int>(br9600));
        file.setValue("VaComm1/PARITY", 99);
    }
    EXPECT_EQ(MessageOf([&] { port.LoadSettings(); }),
              "Invalid PARITY in settings file " + File().toStdString());
    EXPECT_EQ(port.Baudrate(), br1200);
}

TEST_F(SettingsStoreTest, LoadWhileOpenFailsAtThePortNumber)
{
    port.SetPortNum(3);
    port.SaveSettings();
    port.Open();
    EXPECT_EQ(MessageOf([&] { port.LoadSettings(); }), "Can't perform this operation while port is open");
    EXPECT_TRUE(port.Active());
}

TEST_F(SettingsStoreTest, DefaultsAreStoredWhenFirstUsed)
{
    TVaComm fresh(nullptr);
    fresh.SetName("Port2");
    EXPECT_FALSE(fresh.LoadSettings());  // nothing saved next to the program
    EXPECT_EQ(fresh.SettingsStore().Section(), "Port2");
    EXPECT_EQ(QString::fromStdString(fresh.SettingsStore().Key()),
              QCoreApplication::applicationFilePath() + ".INI");
}

TEST_F(SettingsStoreTest, RegistryMediumKeepsAFilePerRootInTheConfigFolder)
{
    port.SettingsStore().SetLocation(slRegistry);
    port.SettingsStore().SetKey("Software\\Korvant");
    port.SetBaudrate(br19200);
    port.SaveSettings();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(home.Path()) + "/korvant/CURRENTUSER.ini"));

    TVaComm other(nullptr);
    other.SetName("VaComm1");
    TSettingsStore store;
    store.Assign(port.SettingsStore());
    other.SetSettingsStore(store);
    EXPECT_TRUE(other.LoadSettings());
    EXPECT_EQ(other.Baudrate(), br19200);

    other.SettingsStore().SetRegRoot(rrLOCALMACHINE);
    EXPECT_FALSE(other.LoadSettings()) << "the other root holds nothing";
}

TEST(TSettingsStore, AssignCopiesFromAStoreAndIgnoresOthers)
{
    TSettingsStore a;
    a.SetKey("k");
    a.SetSection("s");
    a.SetLocation(slRegistry);
    a.SetRegRoot(rrLOCALMACHINE);
    TSettingsStore b;
    b.Assign(a);
    EXPECT_EQ(b.Key(), "k");
    EXPECT_EQ(b.Section(), "s");
    EXPECT_EQ(b.Location(), slRegistry);
    EXPECT_EQ(b.RegRoot(), rrLOCALMACHINE);
    TVaBuffers other;
    EXPECT_NO_THROW(b.Assign(other));
    EXPECT_EQ(b.Key(), "k");
}
