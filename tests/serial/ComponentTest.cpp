// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The serial component against real pseudo-terminals: open, close, settings, transfers.
#include <gtest/gtest.h>

#include <termios.h>

#include <functional>
#include <memory>
#include <thread>

#include "platform/comm/CustomSpeed.h"
#include "platform/comm/SystemError.h"
#include "serial/VaComm.h"
#include "tests/support/MessageOf.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/ScopedConfigHome.h"

namespace {

// A component set up as this program uses it, on a pseudo-terminal linked as COM7 in a
// private port directory, with counters on its open and close events.
class ComponentTest : public testing::Test {
protected:
    ComponentTest()
    {
        home.Link("COM7", pty.SlavePath());
        port->SetBaudrate(br19200);
        port->SetPortNum(7);
        port->SetDirectWrite(true);
        port->OnOpen = [this](TObject*) { ++opened; };
        port->OnClose = [this](TObject*) {
            ++closed;
            activeInOnClose = port->Active();
        };
    }

    speed_t SlaveSpeed() const
    {
        termios t{};
        tcgetattr(pty.SlaveFd(), &t);
        return cfgetospeed(&t);
    }

    int opened = 0;
    int closed = 0;
    bool activeInOnClose = true;
    ScopedConfigHome home;
    PseudoTerminal pty;
    std::unique_ptr<TVaComm> port = std::make_unique<TVaComm>(nullptr);
};

}  // namespace

TEST_F(ComponentTest, OpenAndCloseFireTheirEventsOnce)
{
    port->Open();
    EXPECT_TRUE(port->Active());
    EXPECT_GE(port->Handle(), 0);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(port->DevicePath(), pty.SlavePath());

    port->Close();
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(port->Handle(), -1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(activeInOnClose) << "Active must already be false inside OnClose";

    port->Close();  // closed: nothing fires
    EXPECT_EQ(closed, 1);

    port->Open();  // and it opens again
    EXPECT_EQ(opened, 2);
}

TEST_F(ComponentTest, FailingOnOpenHandlerDoesNotUndoTheOpen)
{
    port->OnOpen = [](TObject*) { throw EVaCommError("handler failed"); };
    port->Open();
    EXPECT_TRUE(port->Active());
}

TEST_F(ComponentTest, MissingDeviceNamesTheResolvedPath)
{
    struct Case {
        const char* what;
        std::function<void(TVaComm&)> set;
        std::string path;
    };
    home.Link("COM5", "/nonexistent/korvant-adapter");
    const Case cases[] = {
        // what                  settings                                                   path in the message
        {"dangling link", [](TVaComm& c) { c.SetPortNum(5); }, "/nonexistent/korvant-adapter"},
        {"link name any case", [](TVaComm& c) { c.SetDeviceName("com%d"); c.SetPortNum(5); }, "/nonexistent/korvant-adapter"},
        {"absolute template", [](TVaComm& c) { c.SetDeviceName("/dev/korvant-none%d"); c.SetPortNum(3); }, "/dev/korvant-none3"},
        {"other name", [](TVaComm& c) { c.SetDeviceName("korvant-none%d"); c.SetPortNum(4); }, "/dev/korvant-none4"},
    };
    for (const Case& c : cases) {
        c.set(*port);
        EXPECT_EQ(MessageOf([&] { port->Open(); }), "Specified device not found (" + c.path + ").") << c.what;
        EXPECT_FALSE(port->Active()) << c.what;
    }
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(closed, 0);
}

TEST_F(ComponentTest, DeviceHeldByAnotherOpenIsBusy)
{
    TVaComm other(nullptr);
    other.SetDeviceName(pty.SlavePath());
    other.Open();

    EXPECT_EQ(MessageOf([&] { port->Open(); }),
              "Can't open specified device " + pty.SlavePath() + " (Error 16, " + comm::ErrorText(EBUSY) + ")");
    EXPECT_EQ(comm::ErrorText(EBUSY), "Device or resource busy");
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(port->Handle(), -1);
    EXPECT_EQ(opened + closed, 0);

    other.Close();
    port->Open();  // free again
    EXPECT_TRUE(port->Active());
}

TEST_F(ComponentTest, NonTerminalIsRefused)
{
    port->SetDeviceName("/dev/null");
    EXPECT_EQ(MessageOf([&] { port->Open(); }),
              "Can't open specified device /dev/null (Error 25, Inappropriate ioctl for device)");
    EXPECT_FALSE(port->Active());
}

TEST_F(ComponentTest, OpenWhileOpenFailsAndLeavesThePortWorking)
{
    port->Open();
    const int handle = port->Handle();
    EXPECT_EQ(MessageOf([&] { port->Open(); }), "Can't perform this operation while port is open");
    EXPECT_EQ(port->Handle(), handle);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(port->WriteText("ok"));
    EXPECT_EQ(pty.Receive(2), "ok");
}

TEST_F(ComponentTest, StructuralChangesAreRefusedWhileOpenAndNotKept)
{
    port->Open();
    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<bool()> unchanged;
    };
    TVaBuffers bigger;
    bigger.SetReadSize(9999);
    const Case cases[] = {
        {"PortNum", [&] { port->SetPortNum(8); }, [&] { return port->PortNum() == 7; }},
        {"DeviceName", [&] { port->SetDeviceName("x%d"); }, [&] { return port->DeviceName() == "COM%d"; }},
        {"MonitorEvents", [&] { port->SetMonitorEvents({}); },
         [&] { return port->MonitorEvents() == TVaCommEvents{ceError, ceRxChar, ceTxEmpty}; }},
        {"DirectWrite", [&] { port->SetDirectWrite(false); }, [&] { return port->DirectWrite(); }},
        {"UpdateDCB", [&] { port->SetUpdateDCB(false); }, [&] { return port->UpdateDCB(); }},
        {"Buffers", [&] { port->SetBuffers(bigger); }, [&] { return port->Buffers().ReadSize() == 4096; }},
        {"ReadSize", [&] { port->Buffers().SetReadSize(1); }, [&] { return port->Buffers().ReadSize() == 4096; }},
        {"WriteSize", [&] { port->Buffers().SetWriteSize(1); }, [&] { return port->Buffers().WriteSize() == 2048; }},
        {"XonLimit", [&] { port->Buffers().SetXonLimit(1); }, [&] { return port->Buffers().XonLimit() == 1024; }},
        {"XoffLimit", [&] { port->Buffers().SetXoffLimit(1); }, [&] { return port->Buffers().XoffLimit() == 1024; }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf(c.change), "Can't perform this operation while port is open") << c.what;
        EXPECT_TRUE(c.unchanged()) << c.what;
    }
    EXPECT_TRUE(port->Active());

    // The timeouts may change at any time.
    port->Buffers().SetReadTimeout(5);
    port->Buffers().SetWriteTimeout(6);
    EXPECT_EQ(port->Buffers().WriteTimeout(), 6);
}

TEST_F(ComponentTest, LineSettingsReachTheDeviceAtOnce)
{
    port->Open();
    EXPECT_EQ(SlaveSpeed(), B19200);
    termios t{};
    tcgetattr(pty.SlaveFd(), &t);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS | HUPCL), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u) << "raw mode";

    port->SetBaudrate(br115200);
    EXPECT_EQ(SlaveSpeed(), B115200);
    port->SetStopbits(sb2);
    port->FlowControl().SetXonXoffIn(true);
    port->FlowControl().SetOutCtsFlow(true);
    port->EventChars().SetXonChar(0x05);
    tcgetattr(pty.SlaveFd(), &t);
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
    EXPECT_NE(t.c_iflag & IXOFF, 0u);
    EXPECT_EQ(t.c_cc[VSTART], 0x05);

    port->SetUserBaudrate(14400);  // no standard code: set through the kernel's own speed field
    unsigned speed = 0;
    ASSERT_EQ(comm::GetSpeed(pty.SlaveFd(), speed), 0);
    EXPECT_EQ(speed, 14400u);
    EXPECT_EQ(port->Baudrate(), brUser);
    port->SetBaudrate(br19200);
    EXPECT_EQ(SlaveSpeed(), B19200);
}

TEST_F(ComponentTest, RefusedLineSettingKeepsTheOldValue)
{
    port->Open();
    // Four data bits exist nowhere on this platform; a pseudo-terminal has no parity.
    EXPECT_EQ(MessageOf([&] { port->SetDatabits(db4); }), "Error writing dcb (22), Invalid argument");
    EXPECT_EQ(port->Databits(), db8);
    EXPECT_EQ(MessageOf([&] { port->SetParity(paEven); }), "Error writing dcb (22), Invalid argument");
    EXPECT_EQ(port->Parity(), paNone);
    EXPECT_TRUE(port->Active());
}

TEST_F(ComponentTest, ReadTextKeepsZeroBytesAndEmptiesTheQueue)
{
    port->Open();
    EXPECT_EQ(port->ReadText(), "");
    const std::string sent("\x00\x01\xC0\x00\xFF", 5);
    pty.Send(sent);
    ASSERT_TRUE(port->WaitChar(5000));
    std::string got;
    while (got.size() < sent.size() && port->WaitChar(5000))
        got += port->ReadText();
    EXPECT_EQ(got, sent);
    EXPECT_EQ(port->ReadBufUsed(), 0);
    EXPECT_EQ(port->ReadText(), "");
}

TEST_F(ComponentTest, PurgeReadDiscardsWhatWasReceived)
{
    port->Open();
    pty.Send("stale bytes");
    ASSERT_TRUE(port->WaitChar(5000));
    port->PurgeRead();
    EXPECT_EQ(port->ReadBufUsed(), 0);
    EXPECT_EQ(port->ReadText(), "");
    pty.Send("x");
    ASSERT_TRUE(port->WaitChar(5000));
    char c = 0;
    EXPECT_TRUE(port->ReadChar(c));
    EXPECT_EQ(c, 'x');
}

TEST_F(ComponentTest, WaitCharSeesBytesThatComeLaterAndTimesOutOtherwise)
{
    port->Open();
    EXPECT_FALSE(port->WaitChar(50));
    std::thread late([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        pty.Send("L");
    });
    char c = 0;
    EXPECT_TRUE(port->ReadCharWait(c, 10000));
    late.join();
    EXPECT_EQ(c, 'L');
}

TEST_F(ComponentTest, DirectWritesReachTheDevice)
{
    port->Open();
    EXPECT_TRUE(port->WriteChar('\xC0'));
    EXPECT_TRUE(port->WriteText(std::string("\x04\x26\x15", 3)));
    EXPECT_TRUE(port->WriteText(""));
    EXPECT_EQ(pty.Receive(4), std::string("\xC0\x04\x26\x15", 4));
    const char block[] = "0123456789";
    EXPECT_EQ(port->WriteBuf(block, 10), 10);
    EXPECT_EQ(pty.Receive(10), "0123456789");
}

TEST_F(ComponentTest, ClosedPortReadsAndWritesNothingAndRaisesNothing)
{
    char c = 'q';
    EXPECT_FALSE(port->WriteChar('a'));
    EXPECT_FALSE(port->WriteText("abc"));
    EXPECT_TRUE(port->WriteText(""));
    EXPECT_EQ(port->WriteBuf("abc", 3), 0);
    EXPECT_EQ(port->ReadText(), "");
    EXPECT_FALSE(port->ReadChar(c));
    EXPECT_EQ(port->ReadBuf(&c, 1), 0);
    EXPECT_FALSE(port->WaitChar(10));
    EXPECT_NO_THROW(port->PurgeRead());
    EXPECT_NO_THROW(port->PurgeReadWrite());
    EXPECT_EQ(port->ReadBufUsed(), 0);
    EXPECT_EQ(port->ReadBufFree(), 0);
    EXPECT_EQ(port->WriteBufUsed(), 0);
    EXPECT_EQ(port->WriteBufFree(), 0);
    EXPECT_EQ(pty.Drain(std::chrono::milliseconds(50)), "");
}

TEST_F(ComponentTest, DestroyingAnOpenComponentFiresNoOnClose)
{
    port->Open();
    port.reset();
    EXPECT_EQ(closed, 0);
    // The device was released: another open succeeds.
    TVaComm again(nullptr);
    again.SetDeviceName(pty.SlavePath());
    EXPECT_NO_THROW(again.Open());
}

TEST_F(ComponentTest, OwnedComponentIsClosedWithItsOwner)
{
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* owned = new TVaComm(owner.get());  // the owner frees it
    owned->SetDeviceName(pty.SlavePath());
    int ownedClosed = 0;
    owned->OnClose = [&](TObject*) { ++ownedClosed; };
    owned->Open();
    owner.reset();
    EXPECT_EQ(ownedClosed, 0);
    port->SetDeviceName(pty.SlavePath());
    EXPECT_NO_THROW(port->Open());
}

TEST_F(ComponentTest, HungUpDeviceFailsReadsAndStillCloses)
{
    port->Open();
    pty.HangUp();
    EXPECT_EQ(MessageOf([&] { port->ReadText(); }), "Error retrieving statistics (5), Input/output error");
    EXPECT_EQ(MessageOf([&] { port->WriteChar('x'); }), "Write error (5), Input/output error");
    EXPECT_TRUE(port->Active()) << "the port stays open until Close";
    port->Close();
    EXPECT_EQ(closed, 1);
}
