// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The component's line control, modem and status reads, capabilities, device defaults and
// port list.
#include <mutex>

#include "platform/comm/PortList.h"
#include "platform/comm/SystemError.h"
#include "platform/framework/Strings.h"
#include "serial/VaComm.h"

namespace {

// Modem status bits.
constexpr std::uint32_t MS_CTS_ON = 0x10;
constexpr std::uint32_t MS_DSR_ON = 0x20;
constexpr std::uint32_t MS_RING_ON = 0x40;
constexpr std::uint32_t MS_RLSD_ON = 0x80;

// Status flags of the statistics read.
constexpr std::uint32_t fCtsHold = 0x01;
constexpr std::uint32_t fDsrHold = 0x02;
constexpr std::uint32_t fRlsdHold = 0x04;
constexpr std::uint32_t fXoffHold = 0x08;
constexpr std::uint32_t fXoffSent = 0x10;

[[noreturn]] void Fail(const std::string& prefix, int error)
{
    throw EVaCommError(prefix + " (" + std::to_string(error) + "), " + comm::ErrorText(error));
}

}  // namespace

void TVaCustomComm::EscapeFunction(const std::function<int()>& call)
{
    if (!Active())
        return;
    if (const int error = call())
        Fail("Error calling comm function", error);
}

void TVaCustomComm::SetDTR(bool Value)
{
    if (FFlowControl->ControlDtr() == dtrHandshake)
        throw EVaCommError("DTR line updates not allowed when flowcontrol is set to Handshake.");
    EscapeFunction([&] { return FHandle.SetModemLine(comm::mlDTR, Value); });
}

void TVaCustomComm::SetRTS(bool Value)
{
    const TVaControlRts rts = FFlowControl->ControlRts();
    if (rts == rtsHandshake || rts == rtsToggle)
        throw EVaCommError("RTS line updates not allowed when flowcontrol is set to Handshake or Toggle.");
    EscapeFunction([&] { return FHandle.SetModemLine(comm::mlRTS, Value); });
}

void TVaCustomComm::SetXon(bool Value)
{
    EscapeFunction([&] { return FHandle.SetOutputFlow(Value); });
}

void TVaCustomComm::SetBreak(bool Value)
{
    EscapeFunction([&] { return FHandle.SetBreak(Value); });
}

void TVaCustomComm::ResetDev()
{
    // Serial drivers on this platform have no reset request; say so rather than pretend.
    EscapeFunction([] { return EOPNOTSUPP; });
}

std::uint32_t TVaCustomComm::ModemStatus()
{
    if (!Active())
        return 0;
    int lines = 0;
    if (const int error = FHandle.ModemLines(lines))
        Fail("Error reading modem state", error);
    std::uint32_t status = 0;
    if (lines & comm::mlCTS)
        status |= MS_CTS_ON;
    if (lines & comm::mlDSR)
        status |= MS_DSR_ON;
    if (lines & comm::mlRI)
        status |= MS_RING_ON;
    if (lines & comm::mlDCD)
        status |= MS_RLSD_ON;
    return status;
}

bool TVaCustomComm::CTS() { return (ModemStatus() & MS_CTS_ON) != 0; }
bool TVaCustomComm::DSR() { return (ModemStatus() & MS_DSR_ON) != 0; }
bool TVaCustomComm::RING() { return (ModemStatus() & MS_RING_ON) != 0; }
bool TVaCustomComm::RLSD() { return (ModemStatus() & MS_RLSD_ON) != 0; }

bool TVaCustomComm::CTSHold() { return (GetStatistics().Flags & fCtsHold) != 0; }
bool TVaCustomComm::DSRHold() { return (GetStatistics().Flags & fDsrHold) != 0; }
bool TVaCustomComm::RLSDHold() { return (GetStatistics().Flags & fRlsdHold) != 0; }
bool TVaCustomComm::XOffHold() { return (GetStatistics().Flags & fXoffHold) != 0; }
bool TVaCustomComm::XOffSent() { return (GetStatistics().Flags & fXoffSent) != 0; }

TCommProp TVaCustomComm::Properties()
{
    if (!Active())
        throw EVaCommError("Can't perform this operation while port is closed");
    comm::PortCapabilities caps;
    if (const int error = FHandle.Capabilities(caps))
        Fail("Error reading port properties", error);
    TCommProp p;
    p.wPacketLength = sizeof(TCommProp);
    p.wPacketVersion = 2;
    p.dwServiceMask = 0x0001;              // serial communication
    p.dwMaxBaud = 0x10000000;              // any speed
    p.dwProvSubType = 0x00000001;          // RS-232
    p.dwProvCapabilities = 0x0010 | 0x0020;  // XON/XOFF, settable XON/XOFF characters
    p.dwSettableParams = 0x0002 | 0x0004 | 0x0008 | 0x0010;  // speed, data bits, stop bits, handshaking
    if (caps.modemLines) {
        p.dwProvCapabilities |= 0x0001 | 0x0002 | 0x0004 | 0x0008;  // DTR/DSR, RTS/CTS, RLSD, parity check
        p.dwSettableParams |= 0x0001 | 0x0020 | 0x0040;               // parity, parity check, RLSD
    }
    p.dwSettableBaud = 0x10000000 | 0x0003FFFF;
    p.wSettableData = 0x0002 | 0x0004 | 0x0008 | 0x0010;  // 5 to 8 data bits
    p.wSettableStopParity = 0x0001 | 0x0004 | (caps.modemLines ? 0x1F00 : 0x0100);
    p.dwCurrentTxQueue = caps.currentTxQueue;
    p.dwCurrentRxQueue = caps.currentRxQueue;
    return p;
}

void TVaCustomComm::ResetPortParameters()
{
    // Fields the driver does not keep stay as they are now.
    comm::LineSettings s = BuildLineSettings();
    const int error = Active() ? FHandle.ReadSettings(s) : comm::ReadDeviceSettings(DevicePath(), s);
    if (error != 0)
        throw EVaCommError("Error reading default port parameters.");

    FBaudrate = brUser;
    FUserBaudrate = static_cast<std::int32_t>(s.BaudRate);
    for (int b = br110; b <= br256000; ++b) {
        if (BaudrateSpeed(static_cast<TVaBaudrate>(b)) == s.BaudRate) {
            FBaudrate = static_cast<TVaBaudrate>(b);
            FUserBaudrate = 0;
        }
    }
    FParity = s.Parity <= paSpace ? static_cast<TVaParity>(s.Parity) : paNone;
    FDatabits = s.ByteSize >= 4 && s.ByteSize <= 8 ? static_cast<TVaDatabits>(s.ByteSize - 4) : db8;
    FStopbits = s.StopBits <= sb2 ? static_cast<TVaStopbits>(s.StopBits) : sb1;

    static constexpr TVaControlDtr kDtr[] = {dtrDisabled, dtrEnabled, dtrHandshake, dtrHandshake};
    static constexpr TVaControlRts kRts[] = {rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle};
    TVaFlowControl& f = *FFlowControl;
    f.SetControlDtr(kDtr[(s.Flags & comm::fDtrControlMask) >> 4]);
    f.SetControlRts(kRts[(s.Flags & comm::fRtsControlMask) >> 12]);
    f.SetOutCtsFlow((s.Flags & comm::fOutxCtsFlow) != 0);
    f.SetOutDsrFlow((s.Flags & comm::fOutxDsrFlow) != 0);
    f.SetXonXoffOut((s.Flags & comm::fOutX) != 0);
    f.SetXonXoffIn((s.Flags & comm::fInX) != 0);
    f.SetDsrSensitivity((s.Flags & comm::fDsrSensitivity) != 0);
    f.SetTxContinueOnXoff((s.Flags & comm::fTXContinueOnXoff) != 0);
    TVaEventChars& c = *FEventChars;
    c.SetXonChar(s.XonChar);
    c.SetXoffChar(s.XoffChar);
    c.SetErrorChar(s.ErrorChar);
    c.SetEofChar(s.EofChar);
    c.SetEventChar(s.EvtChar);
    FBuffers->SetXonLimit(s.XonLim);
    FBuffers->SetXoffLimit(s.XoffLim);
    TVaCommOptions options;
    if (s.Flags & comm::fErrorChar)
        options.Include(coErrorChar);
    if (s.Flags & comm::fNull)
        options.Include(coNullStrip);
    if (s.Flags & comm::fParity)
        options.Include(coParityCheck);
    FOptions = options;
}

void TVaCustomComm::GetComPortNames(TStrings& Value)
{
    Value.Clear();
    for (const std::string& name : comm::ListPortNames())
        Value.Add(name);
}
