// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "link/LiveDisplays.h"
#include "link/ReceiveBuffers.h"
#include "platform/framework/DateTime.h"
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

    // Bytes that have arrived but whose delivery has not run yet (a busy moment of this
    // thread) are taken in now, into the buffer they were meant for, so that the caller can
    // point the receive path elsewhere without them landing there later.
    void TakeInWaiting();
    // Live polling starts again (the port was opened, configuration mode ended): nothing
    // received before counts. Bytes arriving before the next tick are dropped, and that tick
    // shows nothing, so no old reply is ever shown or logged under a new time.
    void StartOver();

    // Called with each valid, non-warm-up reading of the four meters, in the tick that logs
    // it and whether or not a log is open: the readings' history.
    std::function<void(const std::array<float, 4>& meters)> OnReading;

    // At most this many bytes of one delivery are kept.
    static constexpr int kMaxChunk = 100;
    // Ticks without bytes after which the online lamp goes dark.
    static constexpr int kNoDataTicks = 10;

private:
    // Shows the reply in LiveArray, which has passed the checks.
    void DecodeLiveReply();
    // The one place a valid, non-warm-up reading leaves the tick: whatever keeps readings
    // gets exactly the values the meters show; the log line gets the time of this tick.
    void RecordReading(const std::array<float, 4>& meters);

    TVaCustomComm& FComm;
    TReceiveBuffers& FBuffers;
    ILiveDisplays& FDisplays;
};

// The checksum test of a live reply: positions 1 to 16 summed, inverted, against 17, with
// the reply's start byte, length and command at positions 1 to 3.
bool LiveReplyValid(const TReceiveBuffers& buffers);
