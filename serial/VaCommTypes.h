// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/framework/Exception.h"
#include "platform/framework/Object.h"
#include "platform/framework/Set.h"

enum TVaBaudrate {
    brUser, br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400,
    br56000, br57600, br115200, br128000, br256000
};
enum TVaParity { paNone, paOdd, paEven, paMark, paSpace };
enum TVaDatabits { db4, db5, db6, db7, db8 };
enum TVaStopbits { sb1, sb15, sb2 };
enum TVaCommOption { coErrorChar, coNullStrip, coParityCheck };
enum TVaCommEvent {
    ceBreak, ceCts, ceDsr, ceError, ceRing, ceRlsd, ceRxChar, ceTxEmpty, ceRxFlag, cePErr,
    ceRx80Full, ceEvent1, ceEvent2
};
using TVaCommOptions = TSet<TVaCommOption>;
using TVaCommEvents = TSet<TVaCommEvent>;

// Event bits of one delivery.
inline constexpr std::uint32_t EV_RXCHAR = 0x0001;
inline constexpr std::uint32_t EV_RXFLAG = 0x0002;
inline constexpr std::uint32_t EV_TXEMPTY = 0x0004;
inline constexpr std::uint32_t EV_CTS = 0x0008;
inline constexpr std::uint32_t EV_DSR = 0x0010;
inline constexpr std::uint32_t EV_RLSD = 0x0020;
inline constexpr std::uint32_t EV_BREAK = 0x0040;
inline constexpr std::uint32_t EV_ERR = 0x0080;
inline constexpr std::uint32_t EV_RING = 0x0100;
inline constexpr std::uint32_t EV_PERR = 0x0200;
inline constexpr std::uint32_t EV_RX80FULL = 0x0400;
inline constexpr std::uint32_t EV_EVENT1 = 0x0800;
inline constexpr std::uint32_t EV_EVENT2 = 0x1000;

// Line error bits reported through OnError.
inline constexpr std::uint32_t CE_RXOVER = 0x0001;
inline constexpr std::uint32_t CE_OVERRUN = 0x0002;
inline constexpr std::uint32_t CE_RXPARITY = 0x0004;
inline constexpr std::uint32_t CE_FRAME = 0x0008;
inline constexpr std::uint32_t CE_BREAK = 0x0010;
inline constexpr std::uint32_t CE_TXFULL = 0x0100;

// Purge flags.
inline constexpr std::uint32_t PURGE_TXABORT = 0x0001;
inline constexpr std::uint32_t PURGE_RXABORT = 0x0002;
inline constexpr std::uint32_t PURGE_TXCLEAR = 0x0004;
inline constexpr std::uint32_t PURGE_RXCLEAR = 0x0008;

using TVaCommRxCharEvent = std::function<void(TObject* Sender, std::int32_t Count)>;
using TVaCommRxBufEvent = std::function<void(TObject* Sender, const std::uint8_t* Data, std::int32_t Count)>;
using TVaCommErrorEvent = std::function<void(TObject* Sender, std::int32_t Errors)>;

// Every failure of the serial component.
class EVaCommError : public Exception {
public:
    using Exception::Exception;
};

// The speed in bit/s of a baud-rate value (0 for brUser, whose speed is set elsewhere).
std::uint32_t BaudrateSpeed(TVaBaudrate Value);

// The event bits waited for with the given events; in queued mode the transmit-empty event
// comes from the write thread, so its bit is left out.
std::uint32_t EventMaskFor(TVaCommEvents Events, bool DirectWrite);
