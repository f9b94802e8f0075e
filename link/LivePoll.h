// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

#include "link/LiveDisplays.h"
#include "link/ReceiveBuffers.h"
#include "platform/framework/Object.h"

class TVaCustomComm;

// The acquisition cycle: the received-characters handler that fills the receive buffers
// and the 100 ms live tick that requests, checks and shows a reading.
//
// Threads: both handlers run on the user-interface thread (the tick from a window timer,
// the handler from the serial component's delivery), one after the other.
class TLivePoll {
public:
    TLivePoll(TVaCustomComm& comm, TReceiveBuffers& buffers, ILiveDisplays& displays);

    // Handler of the serial component's OnRxChar; Count is not needed, all waiting bytes
    // are read.
    void VaComm1RxChar(TObject* Sender, std::int32_t Count);
    // Handler of the 100 ms live-poll timer.
    void Timer2Timer(TObject* Sender);

    // At most this many bytes of one delivery are kept.
    static constexpr int kMaxChunk = 100;
    // Ticks without bytes after which the online lamp goes dark.
    static constexpr int kNoDataTicks = 10;

private:
    // Checks and shows the reply in LiveArray; false when it is not valid.
    void DecodeLiveReply();

    TVaCustomComm& FComm;
    TReceiveBuffers& FBuffers;
    ILiveDisplays& FDisplays;
};

// The checksum test of a live reply: positions 1 to 16 summed, inverted, against 17, with
// the reply's start byte, length and command at positions 1 to 3.
bool LiveReplyValid(const TReceiveBuffers& buffers);
