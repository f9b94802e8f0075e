// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The component's settings objects and the pure parts of its configuration: no device.
#include <gtest/gtest.h>

#include "serial/VaComm.h"

TEST(TVaPersistent, BatchesChangesIntoOne)
{
    TVaFlowControl flow;
    int changes = 0;
    flow.SetOnChange([&](TObject* sender) {
        EXPECT_EQ(sender, &flow);
        ++changes;
    });
    flow.SetOutCtsFlow(true);
    flow.SetOutCtsFlow(true);  // unchanged: no report
    EXPECT_EQ(changes, 1);

    flow.BeginUpdate();
    flow.BeginUpdate();
    flow.SetXonXoffIn(true);
    flow.SetControlDtr(dtrEnabled);
    flow.EndUpdate();
    EXPECT_EQ(changes, 1) << "still inside the outer batch";
    flow.EndUpdate();
    EXPECT_EQ(changes, 2);
    flow.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(changes, 2);
}

TEST(TVaEventChars, EachCharacterIsItsOwnAndEveryWriteReports)
{
    TVaEventChars chars;
    EXPECT_EQ(chars.XonChar(), 17);
    EXPECT_EQ(chars.XoffChar(), 19);
    int changes = 0;
    chars.SetOnChange([&](TObject*) { ++changes; });
    chars.SetEofChar(0x1A);
    chars.SetEventChar(0x0D);
    chars.SetEventChar(0x0D);
    EXPECT_EQ(chars.EofChar(), 0x1A);
    EXPECT_EQ(chars.EventChar(), 0x0D);
    EXPECT_EQ(changes, 3) << "an equal value still reports";
    EXPECT_THROW(chars.SetChar(6, 'x'), ERangeError);

    TVaEventChars copy;
    int copyChanges = 0;
    copy.SetOnChange([&](TObject*) { ++copyChanges; });
    chars.SetXonChar(1);
    chars.SetXoffChar(2);
    chars.SetErrorChar(3);
    copy.Assign(chars);
    EXPECT_EQ(copyChanges, 1);
    EXPECT_EQ(copy.XonChar(), 1);
    EXPECT_EQ(copy.XoffChar(), 2);
    EXPECT_EQ(copy.ErrorChar(), 3);
    EXPECT_EQ(copy.EventChar(), 0x0D);
    EXPECT_EQ(copy.EofChar(), 0x1A);
}

TEST(TVaBuffers, DefaultsRangeAndSilentTimeouts)
{
    TVaBuffers buffers;
    EXPECT_EQ(buffers.ReadSize(), 4096);
    EXPECT_EQ(buffers.WriteSize(), 2048);
    EXPECT_EQ(buffers.ReadTimeout(), 1000);
    EXPECT_EQ(buffers.WriteTimeout(), 1000);
    EXPECT_EQ(buffers.XonLimit(), 1024);
    EXPECT_EQ(buffers.XoffLimit(), 1024);
    int changes = 0;
    buffers.SetOnChange([&](TObject*) { ++changes; });
    buffers.SetReadTimeout(50);
    buffers.SetWriteTimeout(60);
    EXPECT_EQ(changes, 0);
    buffers.SetWriteSize(16);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(buffers.SetReadSize(-1), ERangeError);
    EXPECT_EQ(buffers.ReadSize(), 4096);
}

TEST(TVaPersistent, AssignFromAnotherClassIsRefused)
{
    TVaBuffers buffers;
    TVaFlowControl flow;
    try {
        buffers.Assign(flow);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TVaFlowControl to a TVaBuffers");
    }
}

TEST(TVaComm, DefaultsAndVersion)
{
    TVaComm port(nullptr);
    EXPECT_FALSE(port.Active());
    EXPECT_EQ(port.Handle(), -1);
    EXPECT_EQ(port.Baudrate(), br1200);
    EXPECT_EQ(port.Parity(), paNone);
    EXPECT_EQ(port.Databits(), db8);
    EXPECT_EQ(port.Stopbits(), sb1);
    EXPECT_EQ(port.PortNum(), 0);
    EXPECT_EQ(port.DeviceName(), "COM%d");
    EXPECT_EQ(port.MonitorEvents(), (TVaCommEvents{ceError, ceRxChar, ceTxEmpty}));
    EXPECT_EQ(port.EventPriority(), tpNormal);
    EXPECT_EQ(port.WritePriority(), tpHighest);
    EXPECT_FALSE(port.DirectWrite());
    EXPECT_TRUE(port.UpdateDCB());
    EXPECT_TRUE(port.SyncThreads());
    EXPECT_EQ(port.Version(), "1.9.5.1");
    port.SetVersion("2.0");
    EXPECT_EQ(port.Version(), "1.9.5.1");
}

TEST(TVaComm, BaudrateAndUserBaudrateFollowEachOther)
{
    TVaComm port(nullptr);
    port.SetUserBaudrate(57600);
    EXPECT_EQ(port.Baudrate(), brUser);
    EXPECT_EQ(port.BuildLineSettings().BaudRate, 57600u);
    port.SetBaudrate(br19200);
    EXPECT_EQ(port.UserBaudrate(), 0);
    EXPECT_EQ(port.BuildLineSettings().BaudRate, 19200u);
    port.SetUserBaudrate(31250);
    port.SetBaudrate(brUser);  // unchanged: keeps the user speed
    EXPECT_EQ(port.UserBaudrate(), 31250);
    EXPECT_THROW(port.SetUserBaudrate(-5), ERangeError);
    EXPECT_THROW(port.SetPortNum(-1), ERangeError);
}

TEST(TVaComm, LineSettingsRecordOfThisProgram)
{
    TVaComm port(nullptr);
    port.SetBaudrate(br19200);
    const comm::LineSettings s = port.BuildLineSettings();
    EXPECT_EQ(s.BaudRate, 19200u);
    EXPECT_EQ(s.Flags, 0x0001u);
    EXPECT_EQ(s.XonLim, 1024);
    EXPECT_EQ(s.XoffLim, 1024);
    EXPECT_EQ(s.ByteSize, 8);
    EXPECT_EQ(s.Parity, 0);
    EXPECT_EQ(s.StopBits, 0);
    EXPECT_EQ(s.XonChar, 0x11);
    EXPECT_EQ(s.XoffChar, 0x13);
    EXPECT_EQ(s.ErrorChar, 0);
    EXPECT_EQ(s.EofChar, 0);
    EXPECT_EQ(s.EvtChar, 0);
}

TEST(TVaComm, FlagsWordIsBuiltFromOptionsAndFlowControl)
{
    struct Case {
        const char* what;
        std::function<void(TVaComm&)> set;
        std::uint32_t flags;
    };
    const Case cases[] = {
        // what                set                                                       flags
        {"parity check", [](TVaComm& c) { c.SetOptions({coParityCheck}); }, 0x0003},
        {"error char", [](TVaComm& c) { c.SetOptions({coErrorChar}); }, 0x0401},
        {"null strip", [](TVaComm& c) { c.SetOptions({coNullStrip}); }, 0x0801},
        {"cts flow", [](TVaComm& c) { c.FlowControl().SetOutCtsFlow(true); }, 0x0005},
        {"dsr flow", [](TVaComm& c) { c.FlowControl().SetOutDsrFlow(true); }, 0x0009},
        {"dtr enabled", [](TVaComm& c) { c.FlowControl().SetControlDtr(dtrEnabled); }, 0x0011},
        {"dtr handshake", [](TVaComm& c) { c.FlowControl().SetControlDtr(dtrHandshake); }, 0x0021},
        {"dsr sensitivity", [](TVaComm& c) { c.FlowControl().SetDsrSensitivity(true); }, 0x0041},
        {"tx continue", [](TVaComm& c) { c.FlowControl().SetTxContinueOnXoff(true); }, 0x0081},
        {"xon/xoff out", [](TVaComm& c) { c.FlowControl().SetXonXoffOut(true); }, 0x0101},
        {"xon/xoff in", [](TVaComm& c) { c.FlowControl().SetXonXoffIn(true); }, 0x0201},
        {"rts enabled", [](TVaComm& c) { c.FlowControl().SetControlRts(rtsEnabled); }, 0x1001},
        {"rts handshake", [](TVaComm& c) { c.FlowControl().SetControlRts(rtsHandshake); }, 0x2001},
        {"rts toggle", [](TVaComm& c) { c.FlowControl().SetControlRts(rtsToggle); }, 0x3001},
    };
    for (const Case& c : cases) {
        TVaComm port(nullptr);
        c.set(port);
        EXPECT_EQ(port.BuildLineSettings().Flags, c.flags) << c.what;
    }
}

TEST(TVaComm, LimitsKeepTheirLow16Bits)
{
    TVaComm port(nullptr);
    port.Buffers().SetXonLimit(0x12345);
    port.Buffers().SetXoffLimit(70000);
    EXPECT_EQ(port.BuildLineSettings().XonLim, 0x2345);
    EXPECT_EQ(port.BuildLineSettings().XoffLim, 70000 & 0xFFFF);
}

TEST(EventMask, QueuedModeLeavesTransmitEmptyToTheWriteThread)
{
    const TVaCommEvents defaults{ceError, ceRxChar, ceTxEmpty};
    EXPECT_EQ(EventMaskFor(defaults, false), 0x0081u);
    EXPECT_EQ(EventMaskFor(defaults, true), 0x0085u);
    EXPECT_EQ(EventMaskFor({}, true), 0u);
    EXPECT_EQ(EventMaskFor({ceBreak, ceCts, ceDsr, ceRing, ceRlsd, ceRxFlag, cePErr, ceRx80Full, ceEvent1, ceEvent2}, false),
              0x0040u | 0x0008u | 0x0010u | 0x0100u | 0x0020u | 0x0002u | 0x0200u | 0x0400u | 0x0800u | 0x1000u);
}
